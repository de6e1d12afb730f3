// Thinning by index and three-point smoothing on the working copy.

#include "select/selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

TrackData TrackOf(std::int32_t count) {
  TrackData track;
  EXPECT_TRUE(track.AllocatePoints(count));
  for (std::int32_t i = 0; i < count; ++i) {
    TrackPoint& p = track.points[static_cast<std::size_t>(i)];
    p.latitude = 35.0 + i * 0.001;
    p.longitude = 139.0 + i * 0.002;
    p.altitude = 10.0 * i;
    p.time = 1236256519 + i;
  }
  return track;
}

std::vector<std::int32_t> KeptIndices(const TrackData& track, double usageRate) {
  std::vector<std::int32_t> kept;
  for (std::int32_t i = 0; i < track.pointCount; ++i) {
    if (IsPointKept(track, i, usageRate)) kept.push_back(i);
  }
  return kept;
}

TEST(PointCountOrZero, IsZeroWithoutPoints) {
  TrackData none;
  EXPECT_EQ(PointCountOrZero(none), 0);
  EXPECT_EQ(PointCountOrZero(TrackOf(0)), 0);
  EXPECT_EQ(PointCountOrZero(TrackOf(7)), 7);
}

TEST(TargetPointCount, RoundsHalfUpInDoubleArithmetic) {
  const struct {
    std::int32_t count;
    double percent;
    std::int32_t expected;
  } cases[] = {
      {25, 58, 15}, {25, 57.99999999999999, 14}, {200, 50, 100}, {200, 1, 2},
      {150, 1, 2},  {100, 1, 1},                 {10, 100, 10},   {3, 10, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TargetPointCount(TrackOf(c.count), c.percent), c.expected) << c.count << " at " << c.percent;
  }
}

TEST(IsPointKept, KeepsTheFirstTheLastAndEvenlySpreadIndices) {
  const struct {
    std::int32_t count;
    double usageRate;
    std::vector<std::int32_t> kept;
  } cases[] = {
      {10, 0.5, {0, 2, 4, 7, 9}},
      {10, 0.3, {0, 4, 9}},
      {1000, 0.004, {0, 333, 666, 999}},
      {100, 0.01, {0, 99}},      // one point wanted: the first and the last pass
      {150, 0.001, {0, 149}},    // none wanted
      {1, 0.01, {0}},
      {1, 1.0, {0}},
      {2, 0.01, {0, 1}},
      {5, 1.0, {0, 1, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeptIndices(TrackOf(c.count), c.usageRate), c.kept) << c.count << " at " << c.usageRate;
  }
}

TEST(IsPointKept, Keeps14Of25At58PercentBecauseTheRateTimes100IsBelow58) {
  EXPECT_EQ(0.58 * 100.0, 57.99999999999999);
  const TrackData track = TrackOf(25);
  EXPECT_EQ(TargetPointCount(track, 58), 15);
  EXPECT_EQ(KeptIndices(track, 0.58).size(), 14u);
}

TEST(IsPointKept, AnExplicitCountOverThePointCountKeepsExactlyThatMany) {
  for (const std::int32_t count : {2, 3, 7, 10, 25, 99, 150, 1000}) {
    const TrackData track = TrackOf(count);
    for (std::int32_t n = 2; n <= count; ++n) {
      const std::vector<std::int32_t> kept =
          KeptIndices(track, static_cast<double>(n) / static_cast<double>(count));
      ASSERT_EQ(kept.size(), static_cast<std::size_t>(n)) << n << " of " << count;
      EXPECT_EQ(kept.front(), 0);
      EXPECT_EQ(kept.back(), count - 1);
    }
  }
}

TEST(MakeWorkingCopy, SmoothsInnerPointsInPlaceInIndexOrder) {
  TrackData track = TrackOf(4);
  const double values[] = {0, 3, 0, 3};
  for (std::size_t i = 0; i < 4; ++i) {
    track.points[i].latitude = track.points[i].longitude = track.points[i].altitude = values[i];
  }
  const std::vector<TrackPoint> before = track.points;
  const std::vector<TrackPoint> copy = *MakeWorkingCopy(track, true);
  // The third value is averaged with the already smoothed second one.
  const double expected[] = {0, 1, 1.3333333333333333, 3};
  ASSERT_EQ(copy.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(copy[i].latitude, expected[i]) << i;
    EXPECT_EQ(copy[i].longitude, expected[i]) << i;
    EXPECT_EQ(copy[i].altitude, expected[i]) << i;
    EXPECT_EQ(copy[i].time, before[i].time) << i;
  }
  // The loaded track is never changed.
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(track.points[i].latitude, before[i].latitude);
}

TEST(MakeWorkingCopy, CopiesUnchangedWithoutSmoothingOrWithThreePointsOrFewer) {
  const struct {
    std::int32_t count;
    bool smooth;
  } cases[] = {{3, true}, {2, true}, {1, true}, {0, true}, {10, false}};
  for (const auto& c : cases) {
    const TrackData track = TrackOf(c.count);
    const std::vector<TrackPoint> copy = *MakeWorkingCopy(track, c.smooth);
    ASSERT_EQ(copy.size(), static_cast<std::size_t>(c.count));
    for (std::size_t i = 0; i < copy.size(); ++i) {
      EXPECT_EQ(copy[i].latitude, track.points[i].latitude);
      EXPECT_EQ(copy[i].longitude, track.points[i].longitude);
      EXPECT_EQ(copy[i].altitude, track.points[i].altitude);
      EXPECT_EQ(copy[i].time, track.points[i].time);
    }
  }
}

TEST(MakeWorkingCopy, SmoothsOnlyWithinARecordingSegment) {
  TrackData track = TrackOf(8);
  const double values[] = {0, 3, 0, 3, 0, 3, 0, 3};
  for (std::size_t i = 0; i < 8; ++i) track.points[i].latitude = values[i];
  track.points[4].segmentStart = true;  // the recording broke between 3 and 4
  const std::vector<TrackPoint> copy = *MakeWorkingCopy(track, true);
  // 3 and 4 lie next to the break and keep their values; 1, 2, 5 and 6 are
  // averaged with their neighbours in their own segment.
  const double expected[] = {0, 1, 1.3333333333333333, 3, 0, 1, 1.3333333333333333, 3};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(copy[i].latitude, expected[i]) << i;
  EXPECT_TRUE(copy[4].segmentStart);
}

TEST(SelectLatLon, CarriesEachRecordingBreakToTheNextKeptPoint) {
  // At 50 % of 10 points the indices 0 2 4 7 9 are kept.
  const struct {
    std::vector<std::size_t> starts;  // points that start a segment
    std::vector<bool> kept;           // segmentStart of the five kept points
  } cases[] = {
      {{}, {false, false, false, false, false}},
      {{4}, {false, false, true, false, false}},
      // A segment whose first point is dropped starts at its next kept point.
      {{3}, {false, false, true, false, false}},
      // A segment without a kept point (5 and 6) leaves its break only.
      {{5, 7}, {false, false, false, true, false}},
      {{1, 3, 8}, {false, true, true, false, true}},
  };
  for (const auto& c : cases) {
    TrackData track = TrackOf(10);
    for (const std::size_t i : c.starts) track.points[i].segmentStart = true;
    const Result<std::vector<TrackPoint>> selected = SelectLatLon(track, 0.5, false);
    ASSERT_TRUE(selected);
    std::vector<bool> kept;
    for (const TrackPoint& point : *selected) kept.push_back(point.segmentStart);
    EXPECT_EQ(kept, c.kept) << testing::PrintToString(c.starts);
  }
}

TEST(SelectLatLon, GivesThePositionsOfTheKeptSmoothedPointsOnly) {
  TrackData track = TrackOf(10);
  for (std::size_t i = 0; i < 10; ++i) track.points[i].latitude = (i % 2 == 0) ? 0.0 : 3.0;
  const std::vector<TrackPoint> smoothed = *MakeWorkingCopy(track, true);
  const std::vector<TrackPoint> selected = *SelectLatLon(track, 0.5, true);
  const std::size_t kept[] = {0, 2, 4, 7, 9};
  ASSERT_EQ(selected.size(), 5u);
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(selected[k].latitude, smoothed[kept[k]].latitude) << k;
    EXPECT_EQ(selected[k].longitude, smoothed[kept[k]].longitude) << k;
    EXPECT_EQ(selected[k].altitude, TrackPoint{}.altitude) << k;
    EXPECT_EQ(selected[k].time, 0) << k;
  }
  EXPECT_EQ(track.points[1].latitude, 3.0);
}

}  // namespace
}  // namespace kestrel
