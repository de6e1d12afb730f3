#include "track/track_data.h"

#include <cmath>
#include <new>
#include <utility>

namespace kestrel {
namespace {

using Field = double TrackPoint::*;

double Minimum(std::int32_t n, const TrackPoint* points, Field field) {
  if (n <= 0) return -1;
  double m = 9999.9999;
  for (std::int32_t i = 0; i < n; ++i) {
    if (points[i].*field < m) m = points[i].*field;
  }
  return m == 9999.9999 ? -1 : m;
}

double Maximum(std::int32_t n, const TrackPoint* points, Field field) {
  double m = -9999.9999;
  for (std::int32_t i = 0; i < n; ++i) {
    if (m < points[i].*field) m = points[i].*field;
  }
  return m;
}

double Mean(std::int32_t n, const TrackPoint* points, Field field) {
  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) sum += points[i].*field;
  return sum / n;  // 0/0 for an empty track: not a number
}

}  // namespace

void TrackSummary::SetUsrInfo(std::int32_t version, std::int32_t wayPoints, std::int32_t trailTotal,
                              std::vector<TrailEntry> directory) {
  usrVersion = version;
  wayPointCount = wayPoints;
  trailCount = trailTotal;
  trails = std::move(directory);
}

bool TrackData::AllocatePoints(std::int32_t n) {
  points.clear();
  points.shrink_to_fit();
  pointCount = -1;
  if (n < 0) return false;
  try {
    points.assign(static_cast<std::size_t>(n), TrackPoint{});
  } catch (const std::bad_alloc&) {
    return false;
  }
  pointCount = n;
  summary.pointCount = n;
  return true;
}

void TrackData::ReleasePoints() {
  if (pointCount <= 0) return;
  points.clear();
  points.shrink_to_fit();
  pointCount = -1;
}

void TrackData::SetPoints(std::vector<TrackPoint> loaded) {
  points = std::move(loaded);
  pointCount = static_cast<std::int32_t>(points.size());
  summary.pointCount = pointCount;
}

void TrackData::ComputeStatistics() {
  const std::int32_t n = pointCount < 0 ? 0 : pointCount;
  const TrackPoint* p = points.data();
  summary.distance = TrackDistance(n, p);
  summary.minLatitude = MinLatitude(n, p);
  summary.maxLatitude = MaxLatitude(n, p);
  summary.meanLatitude = MeanLatitude(n, p);
  summary.minLongitude = MinLongitude(n, p);
  summary.maxLongitude = MaxLongitude(n, p);
  summary.meanLongitude = MeanLongitude(n, p);
  summary.minAltitude = MinAltitude(n, p);
  summary.maxAltitude = MaxAltitude(n, p);
  summary.meanAltitude = MeanAltitude(n, p);
  summary.startTime = n > 0 ? p[0].time : 0;
  summary.endTime = n > 0 ? p[n - 1].time : 0;
  summary.timeKind = n > 0 ? p[0].timeKind : TimeKind::None;
}

double MinLatitude(std::int32_t n, const TrackPoint* p) { return Minimum(n, p, &TrackPoint::latitude); }
double MaxLatitude(std::int32_t n, const TrackPoint* p) { return n > 0 ? Maximum(n, p, &TrackPoint::latitude) : -1; }
double MeanLatitude(std::int32_t n, const TrackPoint* p) { return Mean(n, p, &TrackPoint::latitude); }
double MinLongitude(std::int32_t n, const TrackPoint* p) { return Minimum(n, p, &TrackPoint::longitude); }
double MaxLongitude(std::int32_t n, const TrackPoint* p) {
  return n > 0 ? Maximum(n, p, &TrackPoint::longitude) : -1;
}
double MeanLongitude(std::int32_t n, const TrackPoint* p) { return Mean(n, p, &TrackPoint::longitude); }
double MinAltitude(std::int32_t n, const TrackPoint* p) { return Minimum(n, p, &TrackPoint::altitude); }
double MaxAltitude(std::int32_t n, const TrackPoint* p) {
  const double m = Maximum(n, p, &TrackPoint::altitude);
  return n > 0 && m > 0 ? m : -9999;
}
double MeanAltitude(std::int32_t n, const TrackPoint* p) { return Mean(n, p, &TrackPoint::altitude); }

double TrackDistance(std::int32_t n, const TrackPoint* points) {
  if (n <= 1) return 0.0;
  double sum = 0.0;
  for (std::int32_t i = 0; i + 1 < n; ++i) sum += SegmentLength(points[i], points[i + 1]);
  return sum >= 0 ? sum : -1;
}

double SegmentLength(const TrackPoint& a, const TrackPoint& b) {
  constexpr double R = 6378137.0;
  constexpr double k = 0.017453292519943295;
  const double dy = (b.latitude * k - a.latitude * k) * R;
  const double dx = std::cos(a.latitude * k) * (b.longitude * k - a.longitude * k) * R;
  return std::pow(dy * dy + dx * dx, 0.5);
}

}  // namespace kestrel
