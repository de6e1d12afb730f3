#pragma once
// Filling the track's points from a .usr trail or an NMEA log.

#include <cstdint>
#include <ctime>
#include <optional>

#include "nmea/log_parts.h"
#include "nmea/sentence.h"
#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

enum class LoadKind : std::int32_t { UsrTrail = 0, NmeaLog = 1, GpxTrack = 2 };

// How the records of an NMEA log are made: from one sentence of each
// required type, as the first release read a log whose counts agree; or
// from the sentences of one time each.
enum class NmeaRecords : std::uint8_t { OneOfEachType, ByTime };

// A calendar date (month 1-12).
struct CalendarDate {
  std::int32_t year = 1970;
  std::int32_t month = 1;
  std::int32_t day = 1;
};

// What to read from the track file.
struct LoadRequest {
  // The records there are at most: usr, the trail's point count; NMEA, the
  // records or sentences the check counted. Only room is made by it. GPX:
  // the track's point count as the listing gave it.
  std::int64_t recordCount = 0;
  // usr: the trail's first record; GPX: the track's place in the file.
  std::int64_t dataOffset = 0;
  LoadKind kind = LoadKind::UsrTrail;
  UsrLayout layout = UsrLayout::FirstRelease;  // usr
  RequiredTags tagMask = 0;                    // NMEA: the types of the log
  NmeaRecords records = NmeaRecords::OneOfEachType;
  // NMEA: the date of the records before the first that carries one.
  std::optional<CalendarDate> date;
  // NMEA: how a large log is read at once on several threads; the points
  // are those of one pass.
  ParallelReading parallel;
};

// Reads the request's records from the track file into the track's points
// (any held before are replaced) and ends with ComputeStatistics. Only
// positions become points: a .usr record that is none (or one the end of
// the file cuts) stops the reading with "Data Error!", and the track holds
// the points before it; a GPX track whose count is not the listing's fails
// as damaged; an NMEA record without a valid position (no fix, a
// value that is no position) adds no point. An unknown kind reads nothing
// with "001:Internal Error!". The result holds the message to show. A failed
// read, a file that changed while it was read, or a cancel of the progress
// fails, and the points are released: nothing is half loaded; so does a
// track that does not fit in memory (kNoMemoryMessage).
Result<std::optional<Message>> LoadPoints(TrackData& track, const LoadRequest& request, ByteSource& file,
                                          const Progress& progress = {});

// The time of a completed NMEA record: its UTC date and time read on a clock
// of local standard time, then moved by the bias; a date the clock cannot
// show (before 1970 or beyond 32 bits) reads as -1 before the move.
std::int32_t RecordTime(const std::tm& fields, int biasMinutes);

inline constexpr const char* kInternalErrorMessage = "001:Internal Error!";

}  // namespace kestrel
