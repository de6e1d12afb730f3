#include "app/main_window.h"

#include <algorithm>
#include <optional>

#include "platform/paths.h"
#include "select/selection.h"
#include "track/open_commands.h"
#include "track/summary.h"
#include "track/track_file_kind.h"

namespace kestrel {
namespace {

constexpr int kUsrFormat = 0;
constexpr int kNmeaFormat = 1;
constexpr int kGpxFormat = 2;

constexpr const char* kTrailLabel = "対象Trailを指定して下さい ：";
constexpr const char* kNoDataFormatMessage = "最初にﾃﾞｰﾀ形式を選択して下さい\n";

const FileDialogRequest kUsrFileDialog{"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"};
const FileDialogRequest kNmeaLogDialog{"log", "*.log",
                                       "NMEAﾌｧｲﾙ(*.log;*.nmea;*.txt)|*.log;*.nmea;*.txt|全て(*.*)|*.*||"};
const FileDialogRequest kGpxFileDialog{"gpx", "*.gpx", "GPXﾌｧｲﾙ(*.gpx)|*.gpx|全て(*.*)|*.*||"};

// What the window keeps between runs: the data format (an integer, 0 usr,
// 1 NMEA or 2 GPX; anything else reads as usr) and the recent files, the
// latest first.
constexpr const char* kWindowSection = "Window_Section";
constexpr const char* kDataFormatKey = "dataformat";
constexpr const char* kRecentFileKey = "recentfile";  // numbered from 1
constexpr std::size_t kRecentFileCount = 8;

std::string RecentFileKey(std::size_t index) { return kRecentFileKey + std::to_string(index + 1); }

int DataFormatOf(TrackFileKind kind) {
  switch (kind) {
    case TrackFileKind::NmeaLog:
      return kNmeaFormat;
    case TrackFileKind::Gpx:
      return kGpxFormat;
    case TrackFileKind::Usr:
      break;
  }
  return kUsrFormat;
}

TrackFileKind KindOf(int dataFormat) {
  if (dataFormat == kNmeaFormat) return TrackFileKind::NmeaLog;
  if (dataFormat == kGpxFormat) return TrackFileKind::Gpx;
  return TrackFileKind::Usr;
}

// The folder part of a path, or empty.
std::string FolderOf(const std::string& path) {
  const SplitPath split = SplitPathOf(path);
  return split.drive + split.directory;
}

}  // namespace

MainWindow::MainWindow(Profile& profile, ApplicationInfo info)
    : mapPage(profile), convertPage(profile), profile_(profile), info_(std::move(info)) {
  // Both pages have read their profile sections while they were created.
  // The pages are created hidden; the map page's tab is the selected one.
  controls.tabItems = {" GoogleMaps ", " フォーマット変換 "};
  controls.selectedTab = static_cast<int>(Tab::Map);
  controls.mapPageVisible = true;
  controls.dataFormatItems = {"usr", "NMEA", "gpx"};
  const int stored = profile_.ReadInteger(kWindowSection, kDataFormatKey, kUsrFormat);
  dataFormat = stored == kNmeaFormat || stored == kGpxFormat ? stored : kUsrFormat;
  for (std::size_t i = 0; i < kRecentFileCount; ++i) {
    const std::string path = profile_.ReadString(kWindowSection, RecentFileKey(i), "");
    if (!path.empty()) controls.recentFiles.push_back(path);
  }
  trailLabel = kTrailLabel;
  controls.trailLabelEnabled = controls.trailButtonEnabled = dataFormat != kNmeaFormat;
  Show();
}

void MainWindow::Read() {
  dataFormat = controls.dataFormatIndex;
  trackFilePath = controls.trackFilePath;
  trailLabel = controls.trailLabel;
  infoText = controls.infoText;
}

void MainWindow::Show() {
  controls.dataFormatIndex = dataFormat;
  controls.trackFilePath = trackFilePath;
  controls.trailLabel = trailLabel;
  controls.infoText = infoText;
  controls.noticeText = noticeText;
}

void MainWindow::OnOpenTrackFile(Dialogs& dialogs, Shell& shell) {
  Read();
  if (dataFormat != kUsrFormat && dataFormat != kNmeaFormat && dataFormat != kGpxFormat) {
    shell.ShowMessage({kNoDataFormatMessage});
    return;
  }
  const TrackFileKind kind = KindOf(dataFormat);
  FileDialogRequest request = kind == TrackFileKind::Usr       ? kUsrFileDialog
                              : kind == TrackFileKind::NmeaLog ? kNmeaLogDialog
                                                               : kGpxFileDialog;
  // The dialog starts where the current track lies, or else the last one opened.
  if (!trackFilePath.empty()) {
    request.folder = FolderOf(trackFilePath);
  } else if (!controls.recentFiles.empty()) {
    request.folder = FolderOf(controls.recentFiles.front());
  }
  const std::optional<std::string> path = dialogs.ChooseFileToOpen(request);
  if (!path) return;
  Open(*path, kind, shell);
}

void MainWindow::OpenTrackFile(const std::string& path, Shell& shell) {
  const TrackFileKind kind = TrackFileKindOf(path);
  controls.dataFormatIndex = DataFormatOf(kind);
  Read();
  ApplyDataFormat();
  Open(path, kind, shell);
}

void MainWindow::OnTrackPathEntered(Shell& shell) {
  controls.recentIndex = -1;
  const std::string path = controls.trackFilePath;
  if (!path.empty()) OpenTrackFile(path, shell);
}

void MainWindow::OnRecentFilePicked(Shell& shell) {
  const int index = controls.recentIndex;
  controls.recentIndex = -1;
  if (index < 0 || index >= static_cast<int>(controls.recentFiles.size())) return;
  // A copy: opening reorders the list.
  const std::string path = controls.recentFiles[static_cast<std::size_t>(index)];
  OpenTrackFile(path, shell);
}

void MainWindow::Open(const std::string& path, TrackFileKind kind, Shell& shell) {
  trackFilePath = path;
  track.ReleasePoints();
  std::unique_ptr<ByteSource> file = OpenTrackInput(path, kind, shell);
  std::optional<std::string> text;
  if (file) {
    switch (kind) {
      case TrackFileKind::Usr:
        text = OpenUsrFile(track, *file, shell);
        break;
      case TrackFileKind::NmeaLog:
        text = OpenNmeaLog(track, *file, shell);
        break;
      case TrackFileKind::Gpx:
        text = OpenGpxFile(track, *file, shell);
        break;
    }
  }
  noticeText.clear();
  if (!text) {
    // The points held before were released: nothing of the previous track
    // is shown any more.
    trackFilePath.clear();
    infoText.clear();
    trailLoaded = false;
    mapPage.EnableUsrInfo(false);
    convertPage.EnableUsrInfo(false);
    Show();
    return;
  }
  // A log, and a GPX file's only track, have no overview to show again on
  // the map page.
  if (kind != TrackFileKind::NmeaLog) listedFile_ = std::move(file);
  if (kind == TrackFileKind::NmeaLog || track.pointCount >= 0) mapPage.EnableUsrInfo(false);
  if (kind != TrackFileKind::Usr) noticeText = SkippedText(track.summary);
  infoText = *text;
  std::vector<std::string>& recent = controls.recentFiles;
  recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
  recent.insert(recent.begin(), path);
  if (recent.size() > kRecentFileCount) recent.resize(kRecentFileCount);
  Remember(shell);
  Show();
}

void MainWindow::Remember(Shell& shell) {
  Profile::Values values{{kDataFormatKey, std::to_string(DataFormatOf(KindOf(dataFormat)))}};
  for (std::size_t i = 0; i < controls.recentFiles.size(); ++i) {
    values.emplace_back(RecentFileKey(i), controls.recentFiles[i]);
  }
  const Result<void> written = profile_.WriteValues(kWindowSection, values);
  // Said once: the person may go on without the profile.
  if (!written && !rememberFailureShown_) {
    rememberFailureShown_ = true;
    shell.ShowMessage(written.error().message);
  }
}

void MainWindow::OnDataFormatChanged(Shell& shell) {
  Read();
  if (!ApplyDataFormat()) return;
  Show();
  Remember(shell);
}

bool MainWindow::ApplyDataFormat() {
  if (dataFormat == kUsrFormat || dataFormat == kGpxFormat) {
    controls.trailLabelEnabled = true;
    controls.trailButtonEnabled = true;
    if (trailLoaded) {
      mapPage.EnableUsrInfo(true);
      convertPage.EnableUsrInfo(true);
    }
  } else if (dataFormat == kNmeaFormat) {
    controls.trailLabelEnabled = false;
    controls.trailButtonEnabled = false;
    mapPage.EnableUsrInfo(false);
    convertPage.EnableUsrInfo(false);
  } else {
    return false;
  }
  return true;
}

void MainWindow::OnChooseTrail(Dialogs& dialogs, Shell& shell) {
  const std::string previousName = trailName;
  if (trackFilePath.empty()) {
    shell.ShowMessage({kNoTrackFileMessage});
    return;
  }
  std::vector<ListedTrail> listed;
  for (const TrailEntry& entry : track.summary.trails) listed.push_back({entry.name, entry.pointCount});
  const std::optional<TrailChoice> choice = dialogs.PromptTrailName(trailName, listed);
  if (!choice) return;
  trailName = choice->name;
  // A trail picked from the list is the one at its place, whatever its
  // namesakes; a typed name is compared byte for byte.
  const Result<TrailEntry> trail = choice->listed
                                       ? FindTrailAt(track.summary, static_cast<std::int64_t>(*choice->listed) + 1,
                                                     trackFilePath)
                                       : FindTrail(track.summary, trailName, trackFilePath);
  if (!trail || !listedFile_) {
    ShowFailure(shell, trail ? Fail(kTrailNotFoundMessage) : trail.error());
    trailLoaded = false;
    return;
  }
  if (choice->listed) trailName = trail->name;
  const std::optional<std::string> text = LoadTrail(track, *listedFile_, *trail, shell);
  if (!text) return;
  infoText = *text;
  noticeText = SkippedText(track.summary);
  mapPage.EnableUsrInfo(true);
  convertPage.EnableUsrInfo(true);
  trailLoaded = true;
  Show();
  if (trailName != previousName) {
    mapPage.ForgetThinning();
    convertPage.ForgetThinning();
  }
}

void MainWindow::OnTabChanged() {
  controls.mapPageVisible = controls.selectedTab == static_cast<int>(Tab::Map);
  controls.convertPageVisible = controls.selectedTab == static_cast<int>(Tab::Convert);
}

void MainWindow::OnShowUsrInfo() {
  infoText = UsrFileSummaryText(track.summary);
  Show();
}

void MainWindow::OnMapOutput(Shell& shell, Dialogs& dialogs) {
  // With no points loaded the command stops before it reads the controls.
  if (PointCountOrZero(track) > 0) Read();
  mapPage.OnOutput(track, trackFilePath, shell, dialogs);
}

void MainWindow::OnConvert(Shell& shell) { convertPage.OnConvert(track, trackFilePath, shell); }

void MainWindow::OnExit() { closed_ = true; }

void MainWindow::OnVersionInfo(Dialogs& dialogs) { dialogs.ShowVersionInfo(info_.VersionLine(), info_.legalNotice); }

}  // namespace kestrel
