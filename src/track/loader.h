#pragma once
// Filling the allocated point array from a .usr trail or an NMEA log.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "nmea/sentence.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

enum class LoadKind : std::int32_t { UsrTrail = 0, NmeaLog = 1 };

struct LoadRequest {
  std::string path;
  std::int32_t recordCount = 0;  // equals the size of the allocated array
  std::int32_t dataOffset = 0;   // usr: the trail's first record
  LoadKind kind = LoadKind::UsrTrail;
  RequiredTags tagMask = 0;      // NMEA: the types that make one record
};

struct LoadResult {
  bool read = false;               // false when the file cannot be opened
  std::optional<Message> message;  // "Data Error!" or "001:Internal Error!"
};

// Reads the request's records into track.points and ends with
// ComputeStatistics. A bad record stops the reading with "Data Error!"; the
// load still counts as read.
LoadResult LoadPoints(TrackData& track, const LoadRequest& request,
                      const Progress& progress = {});

// The time of a completed NMEA record: its UTC date and time read on a clock
// of local standard time, then moved by the bias; a date the clock cannot
// show (before 1970 or beyond 32 bits) reads as -1 before the move.
std::int32_t RecordTime(const std::tm& fields, int biasMinutes);

inline constexpr const char* kDataErrorMessage = "Data Error!";
inline constexpr const char* kInternalErrorMessage = "001:Internal Error!";

}  // namespace kestrel
