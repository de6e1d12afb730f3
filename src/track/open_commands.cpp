#include "track/open_commands.h"

#include <limits>
#include <new>

#include "nmea/sentence.h"
#include "platform/paths.h"
#include "track/summary.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

// The log checked and loaded whole; the text of the information box.
Result<std::string> ReadNmeaLog(TrackData& track, ByteSource& file, Shell& shell,
                                const std::optional<CalendarDate>& date) {
  const Result<NmeaLogCheck> check = CheckNmeaLog(file, ProgressTo(shell));
  if (!check) return check.error();
  LoadRequest request;
  request.kind = LoadKind::NmeaLog;
  request.tagMask = check->tags;
  request.records = check->ReadAsFirstRelease() ? NmeaRecords::OneOfEachType : NmeaRecords::ByTime;
  request.recordCount = check->ReadAsFirstRelease() ? check->recordCount : check->sentenceCount;
  request.date = date;
  const Result<std::optional<Message>> load = LoadPoints(track, request, file, ProgressTo(shell));
  if (!load) return load.error();
  if (*load) shell.ShowMessage(**load);
  track.summary.SetFileName(FileNameOf(file.Name()));
  track.summary.skippedLines = check->skippedLines;
  track.summary.cutShort = false;
  track.name = SplitSystemPathOf(file.Name()).baseName;
  track.loadedFrom = file.Identity();
  return NmeaSummaryText(track.summary);
}

}  // namespace

std::unique_ptr<ByteSource> OpenTrackInput(const std::string& path, TrackFileKind kind, Shell& shell) {
  return TrackInputOf(OpenInput(path), kind, shell);
}

std::unique_ptr<ByteSource> TrackInputOf(Result<std::unique_ptr<ByteSource>> file, TrackFileKind kind,
                                         Shell& shell) {
  if (file) return std::move(file).value();
  if (kind == TrackFileKind::Usr) {
    shell.ShowMessage(Retold(file.error(), kUsrCannotOpen).message);
    shell.ShowMessage({kNoDataMessage});
  } else {
    ShowFailure(shell, file.error());
  }
  return nullptr;
}

std::optional<std::string> OpenUsrFile(TrackData& track, ByteSource& file, Shell& shell) {
  track.ReleasePoints();
  try {
    if (const Result<void> read = ReadUsrFile(track, file); !read) {
      shell.ShowMessage(read.error().message);
      shell.ShowMessage({kNoDataMessage});
      return std::nullopt;
    }
    return UsrFileSummaryText(track.summary);
  } catch (const std::bad_alloc&) {
    shell.ShowMessage({kNoMemoryMessage});
    return std::nullopt;
  }
}

std::optional<std::string> OpenNmeaLog(TrackData& track, ByteSource& file, Shell& shell,
                                       const std::optional<CalendarDate>& date) {
  track.ReleasePoints();
  try {
    Result<std::string> text = ReadNmeaLog(track, file, shell, date);
    if (!text) {
      ShowFailure(shell, text.error());
      return std::nullopt;
    }
    return std::move(text).value();
  } catch (const std::bad_alloc&) {
    track.ReleasePoints();
    shell.ShowMessage({kNoMemoryMessage});
    return std::nullopt;
  }
}

Result<TrailEntry> FindTrail(const TrackSummary& summary, const std::string& trailName,
                             const std::string& trackFilePath) {
  if (trailName.empty()) return Fail(kNoTrailNameMessage);
  if (trackFilePath.empty()) return Fail(kNoTrackFileMessage);
  if (summary.trailCount <= 0) return Fail(kTrailNotFoundMessage);
  const TrailEntry* found = nullptr;
  for (const TrailEntry& trail : summary.trails) {
    if (trail.name == trailName) found = &trail;
  }
  if (found == nullptr || found->pointCount == 0) return Fail(kTrailNotFoundMessage);
  return *found;
}

Result<TrailEntry> FindTrailAt(const TrackSummary& summary, std::int64_t place, const std::string& trackFilePath) {
  if (trackFilePath.empty()) return Fail(kNoTrackFileMessage);
  if (place < 1 || place > static_cast<std::int64_t>(summary.trails.size())) return Fail(kTrailNotFoundMessage);
  const TrailEntry& trail = summary.trails[static_cast<std::size_t>(place - 1)];
  if (trail.pointCount == 0) return Fail(kTrailNotFoundMessage);
  return trail;
}

std::optional<std::string> LoadTrail(TrackData& track, ByteSource& file, const TrailEntry& trail, Shell& shell) {
  track.summary.SetFileName(FileNameOf(file.Name()));
  track.summary.SetTrailName(trail.name);
  track.name = trail.name;
  track.loadedFrom = file.Identity();
  LoadRequest request;
  request.kind = LoadKind::UsrTrail;
  request.recordCount = trail.pointCount;
  request.dataOffset = trail.dataOffset;
  request.layout = trail.layout;
  const Result<std::optional<Message>> load = LoadPoints(track, request, file, ProgressTo(shell));
  if (!load) {
    ShowFailure(shell, load.error());
    return std::nullopt;
  }
  if (*load) shell.ShowMessage(**load);
  track.summary.skippedLines = 0;
  track.summary.cutShort = load->has_value();
  return TrailSummaryText(track.summary);
}

}  // namespace kestrel
