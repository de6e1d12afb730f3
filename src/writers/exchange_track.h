#pragma once
// What the formats that other programs exchange tracks in (GPX, KML, GeoJSON,
// GeoPackage) share: the kept points with their recording segments, the
// track's name, times in UTC, and the digits of positions and altitudes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/result.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// The track as these formats write it.
struct ExchangeTrack {
  std::string name;  // UTF-8; empty when the track has none
  // The kept points of the working copy, smoothed when asked, in index
  // order; a point without altitude keeps none and takes no part in the
  // smoothing of its neighbours' altitudes.
  std::vector<TrackPoint> points;

  // The recording segments: runs of points, each from a point that starts a
  // segment (or the first) to the next one.
  std::vector<std::span<const TrackPoint>> Segments() const;
};

// Fails with kNoMemoryMessage when the memory for the points cannot be had.
Result<ExchangeTrack> MakeExchangeTrack(const TrackData& track, const TrackWriterOptions& options);

inline bool HasAltitude(const TrackPoint& point) { return point.altitude != kNoAltitude; }
inline bool HasDateAndTime(const TrackPoint& point) { return point.timeKind == TimeKind::DateAndTime; }
// Whether every point has its date and time.
bool AllTimesKnown(std::span<const TrackPoint> points);

// A line needs two positions: a segment of one point is written as a line
// of no length, that point twice.
inline std::size_t LinePositionCount(std::span<const TrackPoint> segment) {
  return segment.size() == 1 ? 2 : segment.size();
}
inline const TrackPoint& LinePosition(std::span<const TrackPoint> segment, std::size_t i) {
  return segment[i < segment.size() ? i : segment.size() - 1];
}

// Degrees with 8 decimals (about 1 mm on the ground), metres with 3.
void AppendDegrees(std::string& text, double degrees);
void AppendMetres(std::string& text, double metres);
// 2024-05-03T01:20:00Z
void AppendUtcTime(std::string& text, std::int32_t time);

}  // namespace kestrel
