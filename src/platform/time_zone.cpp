#include "platform/time_zone.h"

namespace kestrel {

int StandardBiasMinutes() {
  tzset();
  return static_cast<int>(timezone / 60);
}

bool ToLocalTime(std::int32_t time, std::tm& out) {
  std::time_t t = time;
  return localtime_r(&t, &out) != nullptr;
}

bool ToUtcTime(std::int32_t time, std::tm& out) {
  std::time_t t = time;
  return gmtime_r(&t, &out) != nullptr;
}

}  // namespace kestrel
