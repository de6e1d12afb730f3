// The main window: start-up, the open and trail commands with their
// messages and the state they leave, the tabs, and the version dialog.

#include "app/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/desktop.h"
#include "platform/paths.h"

namespace kestrel {
namespace {

using namespace test;

const std::string kThreeTrails = DataPath("usr/three-trails.usr");
const std::string kNames = DataPath("usr/names.usr");
const std::string kLog = DataPath("nmea/gga-rmc-noise.log");  // 300 points
const std::string kOverview =
    "【Way Point数】： 2\r\n\r\n【Trail数】： 3\r\n TrailA (450)\r\n Second (201)\r\n 東京散歩 (3)\r\n";

const FileDialogRequest kUsrDialog{"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"};
const FileDialogRequest kLogDialog{"log", "*.log", "NMEAﾌｧｲﾙ(*.log;*.nmea;*.txt)|*.log;*.nmea;*.txt|全て(*.*)|*.*||"};

Shown OpenDialog(const FileDialogRequest& request) { return {Kind::OpenDialog, "", MessageIcon::None, request}; }
// The trails of three-trails.usr and names.usr as the trail prompt lists them.
const std::vector<ListedTrail> kThreeTrailsListed = {{"TrailA", 450}, {"Second", 201}, {"東京散歩", 3}};
const std::vector<ListedTrail> kNamesListed = {{"Run", 20}, {"run", 5},  {"ＲＵＮ", 6},  {"Lap", 7},   {"Twice", 8},
                                               {"Twice", 9}, {"Gone", 10}, {"Gone", 0}, {"Empty", 0}};

Shown TrailPrompt(std::string initial, std::vector<ListedTrail> trails) {
  return {Kind::TrailPrompt, std::move(initial), MessageIcon::None, {}, {}, std::move(trails)};
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

TEST(MainWindow, FirstStartShowsTheMapPageWithUsrSelected) {
  Desktop desktop;
  const MainWindow& window = desktop.Window();
  EXPECT_EQ(window.controls.tabItems, (std::vector<std::string>{" GoogleMaps ", " フォーマット変換 "}));
  EXPECT_EQ(window.controls.selectedTab, 0);
  EXPECT_TRUE(window.controls.mapPageVisible);
  EXPECT_FALSE(window.controls.convertPageVisible);
  EXPECT_EQ(window.controls.dataFormatItems, (std::vector<std::string>{"usr", "NMEA", "gpx"}));
  EXPECT_EQ(window.controls.dataFormatIndex, 0);
  EXPECT_EQ(window.controls.trailLabel, "対象Trailを指定して下さい ：");
  EXPECT_TRUE(window.controls.trailLabelEnabled && window.controls.trailButtonEnabled);
  EXPECT_EQ(window.controls.trackFilePath, "");
  EXPECT_EQ(window.controls.infoText, "");
  EXPECT_FALSE(window.trailLoaded);
  // Starting reads the profile and writes nothing.
  EXPECT_FALSE(kestrel::PathExists(desktop.profile.Path()));
}

// The state each event leaves: points held, trailLoaded, the two
// "usr情報再表示 >>" buttons and the information box.
TEST(MainWindow, FollowsTheStateTableRowByRow) {
  Desktop desktop;
  MainWindow& window = desktop.Window();
  struct Row {
    const char* event;
    std::function<void()> act;
    std::int32_t points;
    bool trailLoaded;
    bool mapButton;
    bool convertButton;
    std::string infoStart;
    bool trailControls = true;  // static 1051 and "Trail指定"
  };
  const std::string trailSummary = "【トラック】\r\nthree-trails.usr\r\n\r\n【対象Trail】\r\nTrailA\r\n\r\n【データ数】\r\n450";
  const std::string logSummary = "【トラック】\r\ngga-rmc-noise.log\r\n\r\n【データ数】\r\n300";
  const Row rows[] = {
      {"start", [] {}, -1, false, false, false, ""},
      {"usr file opened", [&] { desktop.OpenTrackFile(kThreeTrails); }, -1, false, false, false, kOverview},
      {"trail loaded", [&] { desktop.ChooseTrail("TrailA"); }, 450, true, true, true, trailSummary},
      {"usr file opened again", [&] { desktop.OpenTrackFile(kThreeTrails); }, -1, true, true, true, kOverview},
      {"trail loaded again", [&] { desktop.ChooseTrail("TrailA"); }, 450, true, true, true, trailSummary},
      // The list changes without its handler here, so that the row shows what
      // the open command itself does.
      {"NMEA log opened",
       [&] {
         window.controls.dataFormatIndex = kNmea;
         desktop.OpenTrackFile(kLog);
       },
       300, true, false, true, logSummary},
      {"format set to NMEA", [&] { desktop.SelectFormat(kNmea); }, 300, true, false, false, logSummary, false},
      {"format set to usr", [&] { desktop.SelectFormat(kUsr); }, 300, true, true, true, logSummary},
      // The name is looked up in the last .usr directory read.
      {"trail lookup failed", [&] { desktop.ChooseTrail("Nowhere"); }, 300, false, true, true, logSummary},
      {"format set to NMEA", [&] { desktop.SelectFormat(kNmea); }, 300, false, false, false, logSummary, false},
      {"format set to usr", [&] { desktop.SelectFormat(kUsr); }, 300, false, false, false, logSummary},
  };
  for (const Row& row : rows) {
    row.act();
    EXPECT_EQ(window.track.pointCount, row.points) << row.event;
    EXPECT_EQ(window.trailLoaded, row.trailLoaded) << row.event;
    EXPECT_EQ(desktop.Map().controls.showUsrInfoEnabled, row.mapButton) << row.event;
    EXPECT_EQ(desktop.Convert().controls.showUsrInfoEnabled, row.convertButton) << row.event;
    EXPECT_TRUE(StartsWith(window.controls.infoText, row.infoStart)) << row.event;
    EXPECT_EQ(window.controls.trailButtonEnabled, row.trailControls) << row.event;
    EXPECT_EQ(window.controls.trailLabelEnabled, row.trailControls) << row.event;
  }
}

TEST(MainWindow, ShowsEveryMessageOfTheOpenAndTrailCommands) {
  struct Case {
    const char* what;
    std::function<void(Desktop&)> act;
    ShownList shown;
    bool trailLoaded;
  };
  const auto openNames = [](Desktop& d) {
    d.OpenTrackFile(kNames);
    d.shell.shown.clear();
  };
  const auto trail = [openNames](std::string name) {
    return [openNames, name](Desktop& d) {
      openNames(d);
      d.ChooseTrail(name);
    };
  };
  const Case cases[] = {
      {"no data format",
       [](Desktop& d) {
         d.Window().controls.dataFormatIndex = -1;
         d.Window().OnOpenTrackFile(d.shell, d.shell);
       },
       {MessageBox("最初にﾃﾞｰﾀ形式を選択して下さい\n")}, false},
      {"usr of another version",
       [](Desktop& d) {
         WriteFileBytes(d.folder.Path("v7.usr"), std::string("\x07\0\0\0\0\0", 6));
         d.OpenTrackFile(d.folder.Path("v7.usr"));
         d.shell.shown.at(1).detail.erase(0, d.folder.Path().size() + 1);
       },
       {OpenDialog(kUsrDialog),
        MessageBox("usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝ7は読めません\nﾊﾞｰｼﾞｮﾝ2～4で書き出して下さい\n", MessageIcon::None,
                   "v7.usr: version 7"),
        MessageBox("Error:ﾃﾞｰﾀが取得出来ませんでした\n")},
       false},
      {"log whose counts disagree",
       [](Desktop& d) {
         d.SelectFormat(kNmea);
         d.OpenTrackFile(DataPath("nmea/mismatch.log"));
       },
       {OpenDialog(kLogDialog)}, false},
      // The prompt is not shown before a file is open.
      {"trail before a file", [](Desktop& d) { d.ChooseTrail("Run"); }, {MessageBox("ﾄﾗｯｸﾌｧｲﾙを指定して下さい")}, false},
      {"empty name", trail(""), {TrailPrompt("", kNamesListed), MessageBox("対象Trailが指定されませんでした")}, false},
      {"other letter case", trail("RUN"), {TrailPrompt("", kNamesListed), MessageBox("対象Trailが見付かりません")},
       false},
      {"trailing blank", trail("Run "), {TrailPrompt("", kNamesListed), MessageBox("対象Trailが見付かりません")},
       false},
      {"later namesake without points", trail("Gone"),
       {TrailPrompt("", kNamesListed), MessageBox("対象Trailが見付かりません")}, false},
      {"full-width name", trail("ＲＵＮ"), {TrailPrompt("", kNamesListed)}, true},
      {"picked from the list without points",
       [openNames](Desktop& d) {
         openNames(d);
         d.shell.trailPicks.push_back(8);
         d.Window().OnChooseTrail(d.shell, d.shell);
       },
       {TrailPrompt("", kNamesListed), MessageBox("対象Trailが見付かりません")}, false},
      {"file ending inside the trail",
       [](Desktop& d) {
         d.OpenTrackFile(DataPath("usr/ends-inside-trail.usr"));
         d.ChooseTrail("Short");
       },
       {OpenDialog(kUsrDialog), TrailPrompt("", {{"Short", 250}}),
        MessageBox("Data Error!", MessageIcon::Error,
                   DataPath("usr/ends-inside-trail.usr") + ": the file ends inside point record 231 of 250")},
       true},
  };
  for (const Case& c : cases) {
    Desktop desktop;
    c.act(desktop);
    EXPECT_EQ(desktop.shell.shown, c.shown) << c.what;
    EXPECT_EQ(desktop.Window().trailLoaded, c.trailLoaded) << c.what;
  }
}

TEST(MainWindow, CancellingADialogChangesNothing) {
  Desktop desktop;
  desktop.OpenTrackFile(kThreeTrails);
  desktop.ChooseTrail("TrailA");
  const MainWindowControls controls = desktop.Window().controls;
  desktop.shell.fileAnswers.push_back(std::nullopt);
  desktop.Window().OnOpenTrackFile(desktop.shell, desktop.shell);
  desktop.shell.promptAnswers.push_back(std::nullopt);
  desktop.Window().OnChooseTrail(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.Window().controls, controls);
  EXPECT_EQ(desktop.Window().trackFilePath, kThreeTrails);
  EXPECT_EQ(desktop.Window().trailName, "TrailA");
  EXPECT_EQ(desktop.Window().track.pointCount, 450);
  // The prompt offers the name entered last.
  EXPECT_EQ(desktop.shell.shown.back(), TrailPrompt("TrailA", kThreeTrailsListed));
}

// Of two trails of one name, the first is loaded when it is picked from the
// list; its name is the name entered.
TEST(MainWindow, ATrailPickedFromTheListIsLoadedWhateverItsNamesakes) {
  Desktop desktop;
  desktop.OpenTrackFile(kNames);
  desktop.shell.trailPicks.push_back(4);
  desktop.Window().OnChooseTrail(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.Window().track.pointCount, 8);
  EXPECT_EQ(desktop.Window().trailName, "Twice");
  desktop.ChooseTrail("Twice");
  EXPECT_EQ(desktop.Window().track.pointCount, 9);
}

// A log with damaged lines loads without them, and the line under the
// information box says how many were skipped, until another track is shown.
TEST(MainWindow, SaysHowManyLinesOfALogWereSkipped) {
  Desktop desktop;
  const std::string log = ReadFileBytes(kLog);
  WriteFileBytes(desktop.folder.Path("damaged.log"), "$GPGGA,1*00\n" + std::string(70000, 'x') + "\n" + log);
  desktop.Window().OpenTrackFile(desktop.folder.Path("damaged.log"), desktop.shell);
  EXPECT_EQ(desktop.Window().track.pointCount, 300);
  EXPECT_TRUE(desktop.shell.Messages().empty());
  EXPECT_EQ(desktop.Window().controls.noticeText, "NMEAﾃﾞｰﾀの2行を読み飛ばしました");
  desktop.Window().OpenTrackFile(kThreeTrails, desktop.shell);
  EXPECT_EQ(desktop.Window().controls.noticeText, "");
}

// The points of the previous track are released before the new file is
// read: after a failure the window shows no track.
TEST(MainWindow, AFailedOpenShowsNothingOfThePreviousTrack) {
  for (const std::string& bad :
       {DataPath("usr/version3.usr"), DataPath("nmea/missing.log"), DataPath("gpx/truncated.gpx")}) {
    Desktop desktop;
    desktop.OpenTrackFile(kThreeTrails);
    desktop.ChooseTrail("TrailA");
    desktop.Window().OpenTrackFile(bad, desktop.shell);
    const MainWindow& window = desktop.Window();
    EXPECT_EQ(window.controls.trackFilePath, "") << bad;
    EXPECT_EQ(window.controls.infoText, "") << bad;
    EXPECT_EQ(window.track.pointCount, -1) << bad;
    EXPECT_FALSE(desktop.Map().controls.showUsrInfoEnabled || desktop.Convert().controls.showUsrInfoEnabled) << bad;
    // The failed file is no recent one.
    EXPECT_EQ(window.controls.recentFiles, std::vector<std::string>{kThreeTrails}) << bad;
  }
}

// Without the dialog (a file named on the command line, typed, dropped or
// picked from the recent files) the data format follows the file's name.
TEST(MainWindow, OpensAFileByItsNameAndRemembersIt) {
  Desktop desktop;
  MainWindow& window = desktop.Window();
  const std::string upperCase = desktop.folder.Path("TRACK.USR");
  std::filesystem::copy_file(kThreeTrails, upperCase);
  window.OpenTrackFile(kLog, desktop.shell);
  EXPECT_EQ(window.controls.dataFormatIndex, kNmea);
  EXPECT_FALSE(window.controls.trailButtonEnabled);
  EXPECT_EQ(window.track.pointCount, 300);

  // A path typed into the box opens on Enter.
  window.controls.trackFilePath = upperCase;
  window.OnTrackPathEntered(desktop.shell);
  EXPECT_EQ(window.controls.dataFormatIndex, kUsr);
  EXPECT_EQ(window.controls.infoText, kOverview);
  EXPECT_TRUE(window.controls.trailButtonEnabled);

  // The latest first, each file once; picking one opens it.
  window.OpenTrackFile(kLog, desktop.shell);
  EXPECT_EQ(window.controls.recentFiles, (std::vector<std::string>{kLog, upperCase}));
  window.controls.recentIndex = 1;
  window.OnRecentFilePicked(desktop.shell);
  EXPECT_EQ(window.controls.trackFilePath, upperCase);
  EXPECT_EQ(window.controls.recentFiles, (std::vector<std::string>{upperCase, kLog}));
  EXPECT_TRUE(desktop.shell.Messages().empty());

  // The list keeps eight files; it and the data format outlive the window.
  for (int i = 0; i < 9; ++i) {
    const std::string copy = desktop.folder.Path("copy" + std::to_string(i) + ".log");
    std::filesystem::copy_file(kLog, copy);
    window.OpenTrackFile(copy, desktop.shell);
  }
  const std::vector<std::string> recent = window.controls.recentFiles;
  EXPECT_EQ(recent.size(), 8u);
  EXPECT_EQ(recent.front(), desktop.folder.Path("copy8.log"));
  desktop.Restart();
  EXPECT_EQ(desktop.Window().controls.recentFiles, recent);
  EXPECT_EQ(desktop.Window().controls.dataFormatIndex, kNmea);
  EXPECT_FALSE(desktop.Window().controls.trailButtonEnabled);
  EXPECT_EQ(desktop.Window().controls.trackFilePath, "");

  // The open dialog starts in the last file's folder.
  desktop.shell.fileAnswers.push_back(std::nullopt);
  desktop.Window().OnOpenTrackFile(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.shell.shown.back().dialog.folder, desktop.folder.Path("") + "/");
}

// A GPX file opens by its name in any letter case. One of several tracks is
// chosen as a trail is, by name or from the list; a file of one track loads
// it at once and says what it left out. The data format outlives the window.
TEST(MainWindow, OpensGpxFilesAndChoosesTheirTracks) {
  Desktop desktop;
  MainWindow& window = desktop.Window();
  const std::string upperCase = desktop.folder.Path("TWO.GPX");
  std::filesystem::copy_file(DataPath("gpx/two-tracks.gpx"), upperCase);
  window.OpenTrackFile(upperCase, desktop.shell);
  EXPECT_EQ(window.controls.dataFormatIndex, kGpx);
  EXPECT_TRUE(window.controls.trailButtonEnabled);
  EXPECT_EQ(window.controls.infoText, "【Way Point数】： 1\r\n\r\n【Trail数】： 2\r\n plan (2)\r\n morning (3)\r\n");
  EXPECT_EQ(window.track.pointCount, -1);
  desktop.ChooseTrail("morning");
  EXPECT_EQ(window.track.pointCount, 3);
  EXPECT_TRUE(StartsWith(window.controls.infoText, "【トラック】\r\nTWO.GPX\r\n\r\n【データ数】\r\n3 (Points)"));
  EXPECT_EQ(window.track.wayPoints.size(), 1u);
  desktop.shell.trailPicks.push_back(0);
  window.OnChooseTrail(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.shell.shown.back(), TrailPrompt("morning", {{"plan", 2}, {"morning", 3}}));
  EXPECT_EQ(window.track.pointCount, 2);
  EXPECT_EQ(window.trailName, "plan");
  EXPECT_TRUE(desktop.shell.Messages().empty());

  window.OpenTrackFile(DataPath("gpx/walk.gpx"), desktop.shell);
  EXPECT_EQ(window.track.pointCount, 3);
  EXPECT_TRUE(StartsWith(window.controls.infoText, "【トラック】\r\nwalk.gpx\r\n\r\n【データ数】\r\n3 (Points)"));
  EXPECT_EQ(window.controls.noticeText, "GPXﾃﾞｰﾀの1点を読み飛ばしました");
  desktop.Restart();
  EXPECT_EQ(desktop.Window().controls.dataFormatIndex, kGpx);
  desktop.shell.fileAnswers.push_back(std::nullopt);
  desktop.Window().OnOpenTrackFile(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.shell.shown.back().dialog.filter, "GPXﾌｧｲﾙ(*.gpx)|*.gpx|全て(*.*)|*.*||");
}

TEST(MainWindow, AProfileThatCannotBeWrittenIsSaidOnce) {
  Desktop desktop;
  std::filesystem::create_directory(desktop.profile.Path());
  desktop.Window().OpenTrackFile(kLog, desktop.shell);
  desktop.Window().OpenTrackFile(kLog, desktop.shell);
  EXPECT_EQ(desktop.shell.Messages(), std::vector<std::string>{"設定を保存出来ませんでした"});
  EXPECT_EQ(desktop.Window().track.pointCount, 300);
}

TEST(MainWindow, ATrailOfAnotherNameResetsThePointsLabelAndRateOfBothPages) {
  Desktop desktop;
  desktop.OpenTrackFile(kThreeTrails);
  desktop.ChooseTrail("TrailA");
  ThinningControlState& map = desktop.Map().thinning.controls;
  ThinningControlState& convert = desktop.Convert().thinning.controls;
  const auto pickHalf = [&] {
    map.rateIndex = 50;
    desktop.Map().OnRateChanged(desktop.Window().track);
    convert.rateIndex = 50;
    desktop.Convert().OnRateChanged(desktop.Window().track);
  };
  pickHalf();
  desktop.ChooseTrail("TrailA");
  EXPECT_EQ(map.pointsLabel, "(225 Points)");
  EXPECT_EQ(convert.rateIndex, 50);
  desktop.ChooseTrail("Second");
  for (const ThinningControlState* page : {&map, &convert}) {
    EXPECT_EQ(page->pointsLabel, "");
    EXPECT_EQ(page->rateIndex, 0);
  }
  // A lookup that fails is no new trail.
  pickHalf();
  desktop.ChooseTrail("Nowhere");
  EXPECT_EQ(map.pointsLabel, "(101 Points)");
}

TEST(MainWindow, TheUsrButtonsShowTheOverviewAgain) {
  Desktop desktop;
  desktop.OpenTrackFile(kThreeTrails);
  desktop.ChooseTrail("東京散歩");
  desktop.Window().OnShowUsrInfo();
  EXPECT_EQ(desktop.Window().controls.infoText, kOverview);
}

TEST(MainWindow, TabsShowOnePageAndKeepEveryControl) {
  Desktop desktop;
  desktop.Map().controls.title = "typed, not yet read";
  desktop.Map().thinning.controls.usePointCount = true;
  const MapPageControls map = desktop.Map().controls;
  desktop.SelectTab(Tab::Convert);
  EXPECT_FALSE(desktop.Window().controls.mapPageVisible);
  EXPECT_TRUE(desktop.Window().controls.convertPageVisible);
  desktop.SelectTab(Tab::Map);
  EXPECT_TRUE(desktop.Window().controls.mapPageVisible);
  EXPECT_FALSE(desktop.Window().controls.convertPageVisible);
  EXPECT_EQ(desktop.Map().controls, map);
  EXPECT_TRUE(desktop.Map().thinning.controls.usePointCount);
}

TEST(MainWindow, EnterAndEscapeDoNothingAndExitCloses) {
  Desktop desktop;
  desktop.OpenTrackFile(kThreeTrails);
  const MainWindowControls controls = desktop.Window().controls;
  desktop.Window().OnAccept();
  desktop.Window().OnEscape();
  EXPECT_EQ(desktop.Window().controls, controls);
  EXPECT_FALSE(desktop.Window().Closed());
  desktop.Window().OnExit();
  EXPECT_TRUE(desktop.Window().Closed());
}

TEST(MainWindow, VersionDialogShowsDescriptionVersionAndNotice) {
  Desktop desktop;
  desktop.Window().OnVersionInfo(desktop.shell);
  EXPECT_EQ(desktop.shell.shown, (ShownList{{Kind::VersionInfo,
                                             "Kestrelmarking ver 1.00\nCopyright (C) 2026 Kestrelmarking developers",
                                             MessageIcon::None,
                                             {}}}));
}

}  // namespace
}  // namespace kestrel
