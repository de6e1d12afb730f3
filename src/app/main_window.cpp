#include "app/main_window.h"

#include <optional>

#include "platform/text_encoding.h"
#include "track/open_commands.h"
#include "track/summary.h"

namespace kestrel {
namespace {

constexpr int kUsrFormat = 0;
constexpr int kNmeaFormat = 1;

constexpr const char* kTrailLabel = "対象Trailを指定して下さい ：";
constexpr const char* kNoDataFormatMessage = "最初にﾃﾞｰﾀ形式を選択して下さい\n";

const FileDialogRequest kUsrFileDialog{"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"};
const FileDialogRequest kNmeaLogDialog{"log", "*.log", "NMEAﾌｧｲﾙ(*.log)|*.log|全て(*.*)|*.*||"};

// A trail of another name has been loaded: the points label and the
// percentage of each page belonged to the previous one.
template <typename Page>
void ForgetThinning(Page& page) {
  page.pointsLabel.clear();
  page.controls.rateIndex = 0;
  page.Show();
}

}  // namespace

MainWindow::MainWindow(Profile& profile, ApplicationInfo info)
    : mapPage(*this, profile), convertPage(*this, profile), info_(std::move(info)) {
  // Both pages have read their profile sections while they were created.
  // The pages are created hidden; the map page's tab is the selected one.
  controls.tabItems = {" GoogleMaps ", " フォーマット変換 "};
  controls.selectedTab = static_cast<int>(Tab::Map);
  controls.mapPageVisible = true;
  controls.dataFormatItems = {"usr", "NMEA"};
  dataFormat = kUsrFormat;
  trailLabel = kTrailLabel;
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
}

void MainWindow::OnOpenTrackFile(Shell& shell) {
  Read();
  if (dataFormat != kUsrFormat && dataFormat != kNmeaFormat) {
    shell.ShowMessage({kNoDataFormatMessage});
    return;
  }
  const bool usr = dataFormat == kUsrFormat;
  const std::optional<std::string> path = shell.ChooseFileToOpen(usr ? kUsrFileDialog : kNmeaLogDialog);
  if (!path) return;
  // From here on the new path stays, even when the file cannot be read.
  trackFilePath = *path;
  const std::optional<std::string> text =
      usr ? OpenUsrFile(track, trackFilePath, shell) : OpenNmeaLog(track, trackFilePath, shell);
  if (!text) return;
  // A log has no .usr overview to show again on the map page.
  if (!usr) mapPage.controls.showUsrInfoEnabled = false;
  infoText = *text;
  Show();
}

void MainWindow::OnDataFormatChanged() {
  Read();
  if (dataFormat == kUsrFormat) {
    controls.trailLabelEnabled = true;
    controls.trailButtonEnabled = true;
    if (trailLoaded) {
      mapPage.controls.showUsrInfoEnabled = true;
      convertPage.controls.showUsrInfoEnabled = true;
    }
    Show();
  } else if (dataFormat == kNmeaFormat) {
    controls.trailLabelEnabled = false;
    controls.trailButtonEnabled = false;
    mapPage.controls.showUsrInfoEnabled = false;
    convertPage.controls.showUsrInfoEnabled = false;
    Show();
  }
}

void MainWindow::OnChooseTrail(Shell& shell) {
  const std::string previousName = trailName;
  if (trackFilePath.empty()) {
    shell.ShowMessage({kNoTrackFileMessage});
    return;
  }
  const std::optional<std::string> typed = shell.PromptTrailName(trailName);
  if (!typed) return;
  trailName = *typed;
  // The directory holds names in code page 932; the comparison is byte for byte.
  const std::string name = Utf8ToCp932(trailName);
  const Result<TrailLocation> trail = FindTrail(track.summary, name, trackFilePath);
  if (!trail) {
    ShowFailure(shell, trail.error());
    trailLoaded = false;
    return;
  }
  recordCount = trail->pointCount;
  dataOffset = trail->dataOffset;
  const std::optional<std::string> text = LoadTrail(track, trackFilePath, *trail, name, shell);
  if (!text) return;
  infoText = *text;
  mapPage.controls.showUsrInfoEnabled = true;
  convertPage.controls.showUsrInfoEnabled = true;
  trailLoaded = true;
  Show();
  if (trailName != previousName) {
    ForgetThinning(mapPage);
    ForgetThinning(convertPage);
  }
}

void MainWindow::OnTabChanged() {
  controls.mapPageVisible = controls.selectedTab == static_cast<int>(Tab::Map);
  controls.convertPageVisible = controls.selectedTab == static_cast<int>(Tab::Convert);
}

void MainWindow::OnExit() { closed_ = true; }

void MainWindow::OnVersionInfo(Shell& shell) { shell.ShowVersionInfo(info_.VersionLine(), info_.legalNotice); }

void MainWindow::ShowUsrFileOverview() {
  infoText = UsrFileSummaryText(track.summary);
  Show();
}

}  // namespace kestrel
