#pragma once
// Clock time of the process's time zone (the TZ environment variable decides).

#include <cstdint>
#include <ctime>

namespace kestrel {

// The standard bias of the local time zone in minutes: UTC = local standard
// time + bias (-540 for Japan Standard Time). Daylight saving time is not applied.
int StandardBiasMinutes();

// Calendar time of a point time, in local time or in UTC; false when the C
// library cannot convert it.
bool ToLocalTime(std::int32_t time, std::tm& out);
bool ToUtcTime(std::int32_t time, std::tm& out);

}  // namespace kestrel
