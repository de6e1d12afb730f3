#include "track/open_commands.h"

#include <algorithm>
#include <limits>
#include <new>

#include "gpx/gpx_reader.h"
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
  track.summary.skippedPoints = 0;
  track.summary.cutShort = false;
  track.name = SplitSystemPathOf(file.Name()).baseName;
  track.loadedFrom = file.Identity();
  return NmeaSummaryText(track.summary);
}

// The points of a GPX file's only track are read while the file is listed,
// in one pass, where they fit in this room: at most the 16 MiB the program
// may use beyond its points, and no more points than the file can hold (each
// takes at least 24 of its bytes). A larger track is read in a second pass
// into memory of its size. Room that cannot be had is none.
void MakeRoomForOnlyTrack(std::vector<TrackPoint>& points, const ByteSource& file) {
  constexpr std::int64_t kMostRoom = (std::int64_t{16} << 20) / static_cast<std::int64_t>(sizeof(TrackPoint));
  constexpr std::int64_t kLeastPointBytes = 24;
  const std::int64_t size = file.Size();
  try {
    points.reserve(static_cast<std::size_t>(size < 0 ? kMostRoom : std::min(kMostRoom, size / kLeastPointBytes)));
  } catch (const std::bad_alloc&) {
  }
}

// What a GPX track loaded shows: the log's summary under the file's name.
std::string ShowGpxTrack(TrackData& track, const ByteSource& file, const TrailEntry& trail) {
  track.summary.SetFileName(FileNameOf(file.Name()));
  track.summary.SetTrailName(trail.name);
  track.summary.skippedLines = 0;
  track.summary.skippedPoints = trail.skippedPoints;
  track.summary.cutShort = false;
  track.name = trail.name.empty() ? SplitSystemPathOf(file.Name()).baseName : trail.name;
  track.loadedFrom = file.Identity();
  return NmeaSummaryText(track.summary);
}

// The file's tracks and routes into the directory, its way points into the
// track, and into only the points of an only track that fit there.
Result<void> ListGpxFile(TrackData& track, ByteSource& file, std::vector<TrackPoint>& only, Shell& shell) {
  Result<GpxContents> contents = ListGpx(file, only, ProgressTo(shell));
  if (!contents) return contents.error();
  if (contents->tracks.empty()) return Fail(kGpxNoTrackMessage, file.Name());
  std::vector<TrailEntry> trails;
  for (std::size_t i = 0; i < contents->tracks.size(); ++i) {
    const GpxTrackEntry& entry = contents->tracks[i];
    trails.push_back({static_cast<std::int64_t>(i), entry.pointCount, entry.name, UsrLayout::FirstRelease,
                      TrackFileKind::Gpx, entry.skippedPoints + contents->skippedWayPoints});
  }
  const auto wayPointCount = static_cast<std::int32_t>(
      std::min<std::size_t>(contents->wayPoints.size(), std::numeric_limits<std::int32_t>::max()));
  const auto trailCount = static_cast<std::int32_t>(trails.size());
  track.summary.SetUsrInfo(0, wayPointCount, trailCount, std::move(trails));
  track.wayPoints = std::move(contents->wayPoints);
  track.summary.SetFileName(FileNameOf(file.Name()));
  track.summary.skippedLines = 0;
  track.summary.skippedPoints = contents->skippedWayPoints;
  track.summary.cutShort = false;
  return {};
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

std::optional<std::string> OpenGpxFile(TrackData& track, ByteSource& file, Shell& shell) {
  track.ReleasePoints();
  try {
    std::vector<TrackPoint> only;
    MakeRoomForOnlyTrack(only, file);
    if (const Result<void> listed = ListGpxFile(track, file, only, shell); !listed) {
      ShowFailure(shell, listed.error());
      return std::nullopt;
    }
    if (track.summary.trails.size() > 1) return UsrFileSummaryText(track.summary);
    const TrailEntry trail = track.summary.trails.front();
    if (static_cast<std::int64_t>(only.size()) != trail.pointCount) return LoadTrail(track, file, trail, shell);
    track.SetPoints(std::move(only));
    track.ComputeStatistics();
    return ShowGpxTrack(track, file, trail);
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
  if (trail.file == TrackFileKind::Gpx) {
    LoadRequest request;
    request.kind = LoadKind::GpxTrack;
    request.recordCount = trail.pointCount;
    request.dataOffset = trail.dataOffset;
    const Result<std::optional<Message>> load = LoadPoints(track, request, file, ProgressTo(shell));
    if (!load) {
      ShowFailure(shell, load.error());
      return std::nullopt;
    }
    return ShowGpxTrack(track, file, trail);
  }
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
  track.summary.skippedPoints = 0;
  track.summary.cutShort = load->has_value();
  return TrailSummaryText(track.summary);
}

}  // namespace kestrel
