#pragma once
// Filling the allocated point array from a .usr trail or an NMEA log.

#include <cstdint>
#include <ctime>
#include <optional>

#include "nmea/sentence.h"
#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

enum class LoadKind : std::int32_t { UsrTrail = 0, NmeaLog = 1 };

// What to read from the track file.
struct LoadRequest {
  std::int32_t recordCount = 0;  // equals the size of the allocated array
  std::int32_t dataOffset = 0;   // usr: the trail's first record
  LoadKind kind = LoadKind::UsrTrail;
  RequiredTags tagMask = 0;      // NMEA: the types that make one record
};

// Reads the request's records from the track file into track.points (never
// more than the array holds) and ends with ComputeStatistics. A bad record
// stops the reading with "Data Error!", and an unknown kind reads nothing
// with "001:Internal Error!": the load still counts as done, and the result
// holds the message to show. A failed read or a cancel of the progress fails,
// and the points are released: nothing is half loaded.
Result<std::optional<Message>> LoadPoints(TrackData& track, const LoadRequest& request, ByteSource& file,
                                          const Progress& progress = {});

// The time of a completed NMEA record: its UTC date and time read on a clock
// of local standard time, then moved by the bias; a date the clock cannot
// show (before 1970 or beyond 32 bits) reads as -1 before the move.
std::int32_t RecordTime(const std::tm& fields, int biasMinutes);

inline constexpr const char* kInternalErrorMessage = "001:Internal Error!";

}  // namespace kestrel
