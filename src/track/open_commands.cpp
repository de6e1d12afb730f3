#include "track/open_commands.h"

#include "nmea/sentence.h"
#include "platform/byte_source.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "track/loader.h"
#include "track/summary.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

// The log opened once, checked and loaded whole; the text of the
// information box.
Result<std::string> ReadNmeaLog(TrackData& track, const std::string& path, Shell& shell) {
  Result<FileSource> file = OpenFileSource(path);
  if (!file) return file.error();
  const Result<NmeaLogCheck> check = CheckNmeaLog(*file, ProgressTo(shell));
  if (!check) return check.error();
  if (!track.AllocatePoints(check->recordCount)) return Fail(kNoMemoryMessage);
  const LoadRequest request{check->recordCount, 0, LoadKind::NmeaLog, check->tags};
  const Result<std::optional<Message>> load = LoadPoints(track, request, *file, ProgressTo(shell));
  if (!load) return load.error();
  if (*load) shell.ShowMessage(**load);
  track.summary.SetFileName(FileNameOf(path));
  track.name = SplitSystemPathOf(path).baseName;
  return NmeaSummaryText(track.summary);
}

}  // namespace

std::optional<std::string> OpenUsrFile(TrackData& track, const std::string& path, Shell& shell) {
  track.ReleasePoints();
  Result<FileSource> file = OpenFileSource(path);
  const Result<void> read = file ? ReadUsrFile(track, *file) : Retold(file.error(), kUsrCannotOpen);
  if (!read) {
    shell.ShowMessage(read.error().message);
    shell.ShowMessage({kNoDataMessage});
    return std::nullopt;
  }
  return UsrFileSummaryText(track.summary);
}

std::optional<std::string> OpenNmeaLog(TrackData& track, const std::string& path, Shell& shell) {
  track.ReleasePoints();
  Result<std::string> text = ReadNmeaLog(track, path, shell);
  if (!text) {
    ShowFailure(shell, text.error());
    return std::nullopt;
  }
  return std::move(text).value();
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

std::optional<std::string> LoadTrail(TrackData& track, const std::string& path, const TrailLocation& trail,
                                     const std::string& trailName, Shell& shell) {
  if (!track.AllocatePoints(trail.pointCount)) {
    shell.ShowMessage({kNoMemoryMessage});
    return std::nullopt;
  }
  track.summary.SetFileName(FileNameOf(path));
  track.summary.SetTrailName(trailName);
  track.name = trailName;
  ConvertToUtf8(track.name);
  const LoadRequest request{trail.pointCount, trail.dataOffset, LoadKind::UsrTrail, 0};
  Result<FileSource> file = OpenFileSource(path);
  const Result<std::optional<Message>> load =
      file ? LoadPoints(track, request, *file, ProgressTo(shell)) : Result<std::optional<Message>>(file.error());
  if (!load) {
    track.ReleasePoints();
    ShowFailure(shell, load.error());
    return std::nullopt;
  }
  if (*load) shell.ShowMessage(**load);
  return TrailSummaryText(track.summary);
}

}  // namespace kestrel
