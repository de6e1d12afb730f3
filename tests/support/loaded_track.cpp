#include "support/loaded_track.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "track/open_commands.h"

namespace kestrel::test {

TrackData LoadedTrack(const std::string& path, const std::string& trail) {
  TrackData track;
  ScriptedShell shell;
  const TrackFileKind kind = trail.empty() ? TrackFileKind::NmeaLog : TrackFileKind::Usr;
  const std::unique_ptr<ByteSource> file = OpenTrackInput(path, kind, shell);
  if (file && trail.empty()) {
    EXPECT_TRUE(OpenNmeaLog(track, *file, shell).has_value()) << path;
  } else if (file && OpenUsrFile(track, *file, shell)) {
    const Result<TrailEntry> found = FindTrail(track.summary, trail, path);
    EXPECT_TRUE(found && LoadTrail(track, *file, *found, shell).has_value()) << trail;
  }
  EXPECT_TRUE(shell.Messages().empty()) << path;
  return track;
}

}  // namespace kestrel::test
