#include "track/track_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kestrel {
namespace {

TrackPoint At(double latitude, double longitude, double altitude = kNoAltitude, std::int32_t time = 0) {
  return TrackPoint{latitude, longitude, altitude, time};
}

TrackData TrackOf(std::vector<TrackPoint> points) {
  TrackData track;
  EXPECT_TRUE(track.AllocatePoints(static_cast<std::int32_t>(points.size())));
  track.points = std::move(points);
  track.ComputeStatistics();
  return track;
}

TEST(AllocatePoints, GivesInitialPointsAndSetsBothCounts) {
  TrackData track;
  EXPECT_EQ(track.pointCount, -1);
  ASSERT_TRUE(track.AllocatePoints(3));
  EXPECT_EQ(track.pointCount, 3);
  EXPECT_EQ(track.summary.pointCount, 3);
  for (const TrackPoint& p : track.points) {
    EXPECT_EQ(p.latitude, 0.0);
    EXPECT_EQ(p.longitude, 0.0);
    EXPECT_EQ(p.altitude, -9999.0);
    EXPECT_EQ(p.time, 0);
  }
  ASSERT_TRUE(track.AllocatePoints(0));
  EXPECT_EQ(track.pointCount, 0);
  EXPECT_TRUE(track.points.empty());
}

TEST(ReleasePoints, DropsOnlyAHeldArray) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(2));
  track.ReleasePoints();
  EXPECT_EQ(track.pointCount, -1);
  EXPECT_TRUE(track.points.empty());
  // An empty array is not "held": the count stays 0.
  ASSERT_TRUE(track.AllocatePoints(0));
  track.ReleasePoints();
  EXPECT_EQ(track.pointCount, 0);
}

TEST(Statistics, OnePointTrack) {
  const TrackSummary s = TrackOf({At(35.5, 139.25, 12.0, 77)}).summary;
  EXPECT_EQ(s.distance, 0.0);
  EXPECT_EQ(s.minLatitude, 35.5);
  EXPECT_EQ(s.maxLatitude, 35.5);
  EXPECT_EQ(s.meanLatitude, 35.5);
  EXPECT_EQ(s.minLongitude, 139.25);
  EXPECT_EQ(s.maxLongitude, 139.25);
  EXPECT_EQ(s.minAltitude, 12.0);
  EXPECT_EQ(s.maxAltitude, 12.0);
  EXPECT_EQ(s.startTime, 77);
  EXPECT_EQ(s.endTime, 77);
}

TEST(Statistics, MaximaOfPositionsAreSignedAndOfAltitudesAboveZero) {
  const TrackSummary s = TrackOf({At(-10.0, -2.0, 0.0), At(-5.0, -1.0, -3.0)}).summary;
  EXPECT_EQ(s.maxLatitude, -5.0);
  EXPECT_EQ(s.maxLongitude, -1.0);
  EXPECT_EQ(s.maxAltitude, -9999);
  EXPECT_EQ(s.minLatitude, -10.0);
  EXPECT_EQ(s.minAltitude, -3.0);
}

TEST(Statistics, UsrTrailWithoutAltitudes) {
  const TrackSummary s = TrackOf({At(35.0, 139.0), At(35.1, 139.1)}).summary;
  EXPECT_EQ(s.minAltitude, -9999);
  EXPECT_EQ(s.maxAltitude, -9999);
  EXPECT_EQ(s.meanAltitude, -9999);
}

TEST(Statistics, PointLeftAtItsInitialPositionGivesZeroMinima) {
  const TrackSummary s = TrackOf({At(35.0, 139.0), At(0.0, 0.0)}).summary;
  EXPECT_EQ(s.minLatitude, 0.0);
  EXPECT_EQ(s.minLongitude, 0.0);
  EXPECT_EQ(s.maxLatitude, 35.0);
}

TEST(Statistics, EmptyTrack) {
  const TrackSummary s = TrackOf({}).summary;
  EXPECT_EQ(s.minLatitude, -1);
  EXPECT_EQ(s.maxLatitude, -1);
  EXPECT_EQ(s.minAltitude, -1);
  EXPECT_EQ(s.maxAltitude, -9999);
  EXPECT_EQ(s.distance, 0.0);
  EXPECT_TRUE(std::isnan(s.meanLatitude));
  EXPECT_TRUE(std::isnan(s.meanAltitude));
  EXPECT_EQ(s.startTime, 0);
  EXPECT_EQ(s.endTime, 0);
}

TEST(Distance, FlatEarthSegments) {
  // One arc second of longitude at 35 degrees north.
  const double oneSecond = SegmentLength(At(35.0, 139.0), At(35.0, 139.0 + 1.0 / 3600));
  EXPECT_NEAR(oneSecond, 6378137.0 * std::cos(35.0 * std::numbers::pi / 180) * std::numbers::pi / 180 / 3600, 1e-6);
  EXPECT_NEAR(oneSecond, 25.3, 0.05);
  // The cosine is that of the first point of the pair.
  const TrackPoint a = At(10.0, 139.0), b = At(60.0, 140.0);
  EXPECT_NE(SegmentLength(a, b), SegmentLength(b, a));
  // Identical points add nothing; a sum that is not a number reads as -1.
  EXPECT_EQ(TrackDistance(3, TrackOf({a, a, a}).points.data()), 0.0);
  const TrackPoint broken = At(NAN, 139.0);
  EXPECT_EQ(TrackDistance(2, TrackOf({a, broken}).points.data()), -1);
}

TEST(Distance, SumsSegmentsInOrder) {
  const std::vector<TrackPoint> points = {At(35.0, 139.0), At(35.001, 139.002), At(35.003, 139.001)};
  const double expected = (0.0 + SegmentLength(points[0], points[1])) + SegmentLength(points[1], points[2]);
  EXPECT_EQ(TrackOf(points).summary.distance, expected);
}

}  // namespace
}  // namespace kestrel
