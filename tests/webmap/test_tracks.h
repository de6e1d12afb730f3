#pragma once
// Tracks for the map site tests: straight lines of n points, and the
// fixtures loaded as the main window loads them.

#include <gtest/gtest.h>

#include <string>

#include "support/loaded_track.h"
#include "support/test_support.h"

namespace kestrel::test {

// n points from 35.0 N 139.0 E, 0.001° north and 0.002° east apart, with
// their statistics.
inline TrackData StraightTrack(std::int32_t n) {
  TrackData track;
  EXPECT_TRUE(track.AllocatePoints(n));
  for (std::int32_t i = 0; i < n; ++i) {
    track.points[static_cast<std::size_t>(i)].latitude = 35.0 + 0.001 * i;
    track.points[static_cast<std::size_t>(i)].longitude = 139.0 + 0.002 * i;
  }
  track.ComputeStatistics();
  return track;
}

// A log of tests/data, or a trail (UTF-8 name) of a .usr file of tests/data.
inline TrackData FixtureTrack(const std::string& file, const std::string& trail = "") {
  return LoadedTrack(DataPath(file), trail);
}

}  // namespace kestrel::test
