#include "track/open_commands.h"

#include "nmea/sentence.h"
#include "platform/paths.h"
#include "track/loader.h"
#include "track/summary.h"
#include "track/usr_reader.h"

namespace kestrel {
std::optional<std::string> OpenUsrFile(TrackData& track, const std::string& path, Shell& shell) {
  track.ReleasePoints();
  if (std::optional<std::string> failure = ReadUsrFile(track, path)) {
    shell.ShowMessage({*failure});
    shell.ShowMessage({kNoDataMessage});
    return std::nullopt;
  }
  return UsrFileSummaryText(track.summary);
}

std::optional<std::string> OpenNmeaLog(TrackData& track, const std::string& path, Shell& shell) {
  track.ReleasePoints();
  const NmeaLogCheck check = CheckNmeaLog(path, ProgressTo(shell));
  switch (check.result) {
    case NmeaLogCheck::Result::CountsDisagree:
      shell.ShowMessage({kTagCountMismatchMessage});
      return std::nullopt;
    case NmeaLogCheck::Result::CannotOpen:
      shell.ShowMessage({kNoDataMessage});
      return std::nullopt;
    case NmeaLogCheck::Result::Ok:
      break;
  }
  if (!track.AllocatePoints(check.recordCount)) {
    shell.ShowMessage({kNoMemoryMessage});
    return std::nullopt;
  }
  const LoadRequest request{path, check.recordCount, 0, LoadKind::NmeaLog, check.tags};
  const LoadResult load = LoadPoints(track, request, ProgressTo(shell));
  if (load.message) shell.ShowMessage(*load.message);
  if (!load.read) {
    shell.ShowMessage({kNoDataMessage});
    return std::nullopt;
  }
  track.summary.SetFileName(FileNameOf(path));
  return NmeaSummaryText(track.summary);
}

Result<TrailLocation> FindTrail(const TrackSummary& summary, const std::string& trailName,
                                const std::string& trackFilePath) {
  if (trailName.empty()) return Fail(kNoTrailNameMessage);
  if (trackFilePath.empty()) return Fail(kNoTrackFileMessage);
  if (summary.trailCount <= 0) return Fail(kTrailNotFoundMessage);
  std::optional<TrailLocation> found;
  for (const TrailEntry& trail : summary.trails) {
    if (trail.name == trailName) found = TrailLocation{trail.pointCount, trail.dataOffset};
  }
  if (!found || found->pointCount == 0) return Fail(kTrailNotFoundMessage);
  return *found;
}

std::optional<std::string> LoadTrail(TrackData& track, const std::string& path,
                                     const TrailLocation& trail, const std::string& trailName,
                                     Shell& shell) {
  if (!track.AllocatePoints(trail.pointCount)) {
    shell.ShowMessage({kNoMemoryMessage});
    return std::nullopt;
  }
  track.summary.SetFileName(FileNameOf(path));
  track.summary.SetTrailName(trailName);
  const LoadRequest request{path, trail.pointCount, trail.dataOffset, LoadKind::UsrTrail, 0};
  const LoadResult load = LoadPoints(track, request, ProgressTo(shell));
  if (load.message) shell.ShowMessage(*load.message);
  if (!load.read) {
    shell.ShowMessage({kNoDataMessage});
    return std::nullopt;
  }
  return TrailSummaryText(track.summary);
}

}  // namespace kestrel
