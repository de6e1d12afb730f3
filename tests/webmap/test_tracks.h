#pragma once
// Tracks for the map site tests: straight lines of n points, and the
// fixtures loaded as the main window loads them.

#include <gtest/gtest.h>

#include <string>

#include "platform/text_encoding.h"
#include "support/test_support.h"
#include "track/open_commands.h"

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
  TrackData track;
  ScriptedShell shell;
  const std::string path = DataPath(file);
  if (trail.empty()) {
    EXPECT_TRUE(OpenNmeaLog(track, path, shell).has_value()) << file;
  } else {
    EXPECT_TRUE(OpenUsrFile(track, path, shell).has_value()) << file;
    const std::string name = Utf8ToCp932(trail);
    const Result<TrailLocation> found = FindTrail(track.summary, name, path);
    EXPECT_TRUE(found && LoadTrail(track, path, *found, name, shell).has_value()) << trail;
  }
  return track;
}

}  // namespace kestrel::test
