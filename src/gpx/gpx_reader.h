#pragma once
// The GPX file (.gpx), versions 1.0 and 1.1: its tracks with their
// segments, its routes and its way points, read by a streaming XML parser
// (expat), so that a file of any size takes no more memory than its way
// points and the points of the one track kept. A file is read whole before anything of it counts:
// damaged XML fails with the line where it was found, and nothing is half
// loaded. A point whose position, ele or time is not what GPX allows is
// left out and counted, as a damaged line of a log is skipped.
//
// The listing reads the tracks and routes with their point counts and the
// way points, and keeps the points of a file's only track where they fit in
// the room given. Where a file has several (they are chosen from as a .usr
// file's trails are), or its track is larger, a second pass fills the points
// of the chosen track, allocated to the count the listing gave.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geo/track_point.h"
#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace kestrel {

// One track (trk) or route (rte) of the file.
struct GpxTrackEntry {
  std::string name;  // UTF-8; empty when the file gives none
  std::int32_t pointCount = 0;  // the points read; those left out are not counted
  bool route = false;
  std::int64_t skippedPoints = 0;
  bool operator==(const GpxTrackEntry&) const = default;
};

struct GpxContents {
  std::vector<GpxTrackEntry> tracks;  // tracks and routes, in the order of the file
  std::vector<WayPoint> wayPoints;
  std::int64_t skippedWayPoints = 0;
};

// Reads the file from its start. When chosen is the position of an entry of
// the listing, its points go into points, which must be exactly as many as
// the entry has: the first point of each trkseg after the first starts a
// segment, ele gives the altitude and time a UTC date and time. A file whose
// chosen track no longer has that many points fails as damaged. A failed
// read fails with kNoDataMessage and the system's reason, damaged content
// with kGpxDamagedMessage and "<name>: line N: <what>", and a cancel of the
// progress as a cancel.
Result<GpxContents> ReadGpx(ByteSource& source, std::optional<std::int32_t> chosen = std::nullopt,
                            std::span<TrackPoint> points = {}, const Progress& progress = {});

// Lists the file as ReadGpx does, and keeps the points of its first track or
// route in only when the file has no other one and they fit in only's
// capacity, the room the caller reserved (it never grows); only is empty
// otherwise.
Result<GpxContents> ListGpx(ByteSource& source, std::vector<TrackPoint>& only, const Progress& progress = {});

// An XML Schema dateTime (2024-05-03T01:20:00Z, with fractions of a second,
// which are dropped, and a zone offset, or none, which is read as UTC) as
// seconds since 1970-01-01 00:00:00 UTC; nothing for any other text and for
// a time outside the 32-bit range of a point time.
std::optional<std::int32_t> ReadUtcDateTime(std::string_view text);

inline constexpr const char* kGpxDamagedMessage = "GPXﾌｧｲﾙの内容が正しくありません\n";

}  // namespace kestrel
