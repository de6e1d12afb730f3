#pragma once
// Thinning a track to a share of its points, keeping the first and the last,
// and smoothing it by a three-point moving average. Both work on a copy: the
// loaded track is never changed. Both keep the track's recording segments
// (TrackPoint::segmentStart): smoothing never averages across a break, and
// thinning never loses one.
//
// All arithmetic is double precision with one rounding per operation in the
// order written; which points pass depends on it exactly (25 points at 58 %
// keep 14 because 0.58 × 100 is 57.99999999999999).

#include <cstdint>
#include <vector>

#include "platform/result.h"
#include "track/track_data.h"

namespace kestrel {

// pointCount, or 0 when no points are held.
std::int32_t PointCountOrZero(const TrackData& track);

// The number of points wanted for a percentage: count × percent / 100
// rounded half up, in the double arithmetic that the keep test uses.
std::int32_t TargetPointCount(const TrackData& track, double percent);

// Whether the point at index i is output at the usage rate (a share in (0, 1]).
bool IsPointKept(const TrackData& track, std::int32_t i, double usageRate);

// A copy of all points; with smooth and four points or more, the latitude,
// longitude and altitude of every inner point are averaged with their
// neighbours, in place and in index order. A point next to a recording break
// keeps its values, as the first and the last point do. Fails with
// kNoMemoryMessage when the memory for the copy cannot be had.
Result<std::vector<TrackPoint>> MakeWorkingCopy(const TrackData& track, bool smooth);

// How smoothing takes the altitude kNoAltitude: as the number it is, as the
// first release's formats always have, or as no altitude: the point keeps
// none and its neighbours average over the altitudes known.
enum class MissingAltitudes { Averaged, Skipped };

// The smoothing of MakeWorkingCopy, on points in place.
void SmoothPoints(std::vector<TrackPoint>& points, MissingAltitudes missing);

// Keeps the points of a working copy that pass the keep test at the usage
// rate, in index order, and drops the others. A kept point starts a segment
// when its segment's first point was dropped; a segment without a kept
// point leaves only its break.
void KeepPoints(std::vector<TrackPoint>& copy, const TrackData& track, double usageRate);

// Latitude, longitude and segment start of the kept points of the (smoothed)
// working copy, in index order; no other field is set. Fails as
// MakeWorkingCopy does.
Result<std::vector<TrackPoint>> SelectLatLon(const TrackData& track, double usageRate, bool smooth);

}  // namespace kestrel
