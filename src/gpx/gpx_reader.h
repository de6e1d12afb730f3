#pragma once
// The GPX file (.gpx), versions 1.0 and 1.1: its tracks with their
// segments, its routes and its way points, read by a streaming XML parser
// (expat), so that a file of any size takes no more memory than its way
// points and the points of the one track kept. A file is read whole before anything of it counts:
// damaged XML, or a value that is not what GPX allows, fails with the line
// where it was found, and nothing is half loaded.
//
// Reading is done in two passes where a file is chosen from (as a .usr file's
// trails are): the first lists the tracks and routes with their point counts
// and reads the way points; the second, with the points of the chosen track
// allocated, fills them.

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
  std::int32_t pointCount = 0;
  bool route = false;
  bool operator==(const GpxTrackEntry&) const = default;
};

struct GpxContents {
  std::vector<GpxTrackEntry> tracks;  // tracks and routes, in the order of the file
  std::vector<WayPoint> wayPoints;
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

// An XML Schema dateTime (2024-05-03T01:20:00Z, with fractions of a second,
// which are dropped, and a zone offset, or none, which is read as UTC) as
// seconds since 1970-01-01 00:00:00 UTC; nothing for any other text and for
// a time outside the 32-bit range of a point time.
std::optional<std::int32_t> ReadUtcDateTime(std::string_view text);

inline constexpr const char* kGpxDamagedMessage = "GPXﾌｧｲﾙの内容が正しくありません\n";

}  // namespace kestrel
