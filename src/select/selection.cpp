#include "select/selection.h"

#include <new>

#include "platform/numbers.h"

namespace kestrel {

std::int32_t PointCountOrZero(const TrackData& track) { return track.pointCount < 0 ? 0 : track.pointCount; }

std::int32_t TargetPointCount(const TrackData& track, double percent) {
  return TruncateToInt32(static_cast<double>(track.pointCount) * percent * 0.01 + 0.5);
}

bool IsPointKept(const TrackData& track, std::int32_t i, double usageRate) {
  const std::int32_t count = track.pointCount;
  const std::int32_t c = TargetPointCount(track, usageRate * 100.0);
  const double x = static_cast<double>(static_cast<std::int64_t>(c) - 1) / static_cast<double>(count);
  if (i == 0 || i == count - 1) return true;
  return static_cast<std::int64_t>(TruncateToInt32(static_cast<double>(i + 1) * x)) ==
         static_cast<std::int64_t>(TruncateToInt32(static_cast<double>(i) * x)) + 1;
}

Result<std::vector<TrackPoint>> MakeWorkingCopy(const TrackData& track, bool smooth) {
  std::vector<TrackPoint> copy;
  try {
    copy.assign(track.points.begin(), track.points.begin() + PointCountOrZero(track));
  } catch (const std::bad_alloc&) {
    return Fail(kNoMemoryMessage);
  }
  if (smooth) SmoothPoints(copy, MissingAltitudes::Averaged);
  return copy;
}

void SmoothPoints(std::vector<TrackPoint>& points, MissingAltitudes missing) {
  if (points.size() <= 3) return;
  constexpr double oneThird = 0.3333333333333333;
  const auto known = [missing](const TrackPoint& point) {
    return missing == MissingAltitudes::Averaged || point.altitude != kNoAltitude;
  };
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    if (points[i].segmentStart || points[i + 1].segmentStart) continue;
    const TrackPoint& before = points[i - 1];
    const TrackPoint& after = points[i + 1];
    TrackPoint& point = points[i];
    for (double TrackPoint::*field : {&TrackPoint::latitude, &TrackPoint::longitude}) {
      point.*field = ((before.*field + after.*field) + point.*field) * oneThird;
    }
    if (!known(point)) continue;
    if (known(before) && known(after)) {
      point.altitude = ((before.altitude + after.altitude) + point.altitude) * oneThird;
    } else if (known(before) || known(after)) {
      point.altitude = ((known(before) ? before.altitude : after.altitude) + point.altitude) * 0.5;
    }
  }
}

void KeepPoints(std::vector<TrackPoint>& copy, const TrackData& track, double usageRate) {
  // The kept points are gathered at the front of the copy itself: the k-th
  // kept index is never below k, so nothing is overwritten before it is
  // read, and no second array is needed.
  std::size_t kept = 0;
  bool segmentStarted = false;  // at a point since the last kept one
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(copy.size()); ++i) {
    TrackPoint point = copy[static_cast<std::size_t>(i)];
    segmentStarted = segmentStarted || point.segmentStart;
    if (!IsPointKept(track, i, usageRate)) continue;
    point.segmentStart = segmentStarted;
    segmentStarted = false;
    copy[kept++] = point;
  }
  copy.resize(kept);
}

Result<std::vector<TrackPoint>> SelectLatLon(const TrackData& track, double usageRate, bool smooth) {
  Result<std::vector<TrackPoint>> copy = MakeWorkingCopy(track, smooth);
  if (!copy) return copy;
  std::vector<TrackPoint>& points = *copy;
  KeepPoints(points, track, usageRate);
  for (TrackPoint& point : points) {
    point = TrackPoint{point.latitude, point.longitude, kNoAltitude, 0, TimeKind::None, point.segmentStart};
  }
  return copy;
}

}  // namespace kestrel
