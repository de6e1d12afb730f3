#include "track/open_commands.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::ScriptedShell;
using Texts = std::vector<std::string>;

TEST(OpenUsrFile, ShowsTheDirectoryAndDropsThePoints) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(5));
  ScriptedShell shell;
  const auto text = OpenUsrFile(track, DataPath("usr/three-trails.usr"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text,
            "【Way Point数】： 2\r\n\r\n【Trail数】： 3\r\n"
            " TrailA (450)\r\n Second (201)\r\n 東京散歩 (3)\r\n");
  EXPECT_EQ(track.pointCount, -1);
  EXPECT_TRUE(shell.shown.empty());
}

TEST(OpenUsrFile, FailureShowsTheReadersMessageThenItsOwn) {
  struct Case {
    const char* file;
    const char* first;
  };
  for (const Case& c : {Case{"usr/missing.usr", "Usrﾌｧｲﾙが開けません\n"},
                        Case{"usr/version3.usr", "usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝは2のみ対応です\nﾊﾞｰｼﾞｮﾝ2で書き出して下さい\n"},
                        Case{"usr/truncated.usr", "ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n"}}) {
    TrackData track;
    ScriptedShell shell;
    EXPECT_EQ(OpenUsrFile(track, DataPath(c.file), shell), std::nullopt) << c.file;
    EXPECT_EQ(shell.Messages(), (Texts{c.first, "Error:ﾃﾞｰﾀが取得出来ませんでした\n"})) << c.file;
    for (const auto& shown : shell.shown) EXPECT_EQ(shown.icon, MessageIcon::None);
  }
}

TEST(FindTrail, ComparesBytesAndTakesTheLastMatch) {
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenUsrFile(track, DataPath("usr/names.usr"), shell));
  const std::string path = DataPath("usr/names.usr");
  struct Case {
    std::string name;  // as typed, UTF-8
    std::int32_t pointCount;
  };
  for (const Case& c : {Case{"Run", 20}, Case{"run", 5}, Case{"ＲＵＮ", 6}, Case{"Lap", 7}, Case{"Twice", 9}}) {
    const Result<TrailLocation> found = FindTrail(track.summary, Utf8ToCp932(c.name), path);
    ASSERT_TRUE(found) << c.name;
    EXPECT_EQ(found->pointCount, c.pointCount) << c.name;
  }
  // The later "Twice" lies further into the file.
  const Result<TrailLocation> twice = FindTrail(track.summary, "Twice", path);
  ASSERT_TRUE(twice);
  for (const TrailEntry& trail : track.summary.trails) {
    if (trail.name == "Twice" && trail.pointCount == 8) {
      EXPECT_GT(twice->dataOffset, trail.dataOffset);
    }
  }
}

TEST(FindTrail, FailsWithTheMessageOfTheFirstProblem) {
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenUsrFile(track, DataPath("usr/names.usr"), shell));
  const std::string path = DataPath("usr/names.usr");
  struct Case {
    std::string name;
    std::string path;
    const char* message;
  };
  const Case cases[] = {
      {"", "", "対象Trailが指定されませんでした"},
      {"Run", "", "ﾄﾗｯｸﾌｧｲﾙを指定して下さい"},
      {"RUN", path, "対象Trailが見付かりません"},    // letter case differs
      {"Run ", path, "対象Trailが見付かりません"},   // blanks count
      {"Gone", path, "対象Trailが見付かりません"},   // the last "Gone" has no points
      {"Empty", path, "対象Trailが見付かりません"},
      {std::string("Lap\0junk", 8), path, "対象Trailが見付かりません"},
  };
  for (const Case& c : cases) {
    const Result<TrailLocation> found = FindTrail(track.summary, c.name, c.path);
    ASSERT_FALSE(found) << c.name;
    EXPECT_EQ(found.error().message.text, c.message) << c.name;
  }
  TrackSummary noTrails;
  const Result<TrailLocation> none = FindTrail(noTrails, "Run", path);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error().message.text, "対象Trailが見付かりません");
}

TEST(LoadTrail, LoadsAndSummarises) {
  TrackData track;
  ScriptedShell shell;
  const std::string path = DataPath("usr/three-trails.usr");
  ASSERT_TRUE(OpenUsrFile(track, path, shell));
  const std::string name = Utf8ToCp932("東京散歩");
  const auto text = LoadTrail(track, path, *FindTrail(track.summary, name, path), name, shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->starts_with("【トラック】\r\nthree-trails.usr\r\n\r\n【対象Trail】\r\n東京散歩\r\n\r\n"
                                "【データ数】\r\n3 (Points)\r\n"))
      << *text;
  EXPECT_EQ(track.pointCount, 3);
  EXPECT_TRUE(shell.shown.empty());
}

TEST(LoadTrail, DataErrorIsShownAndTheLoadGoesOn) {
  TrackData track;
  ScriptedShell shell;
  const std::string path = DataPath("usr/out-of-range.usr");
  ASSERT_TRUE(OpenUsrFile(track, path, shell));
  const auto text = LoadTrail(track, path, *FindTrail(track.summary, "Bad", path), "Bad", shell);
  ASSERT_TRUE(text.has_value());
  ASSERT_EQ(shell.shown.size(), 1u);
  EXPECT_EQ(shell.shown[0].text, "Data Error!");
  EXPECT_EQ(shell.shown[0].icon, MessageIcon::Error);
  EXPECT_NE(text->find("【経度】\r\nNoData ～ "), std::string::npos);
}

TEST(LoadTrail, VanishedFileGivesNoData) {
  test::TempDir dir;
  const std::string path = dir.Path("gone.usr");
  test::WriteFileBytes(path, test::ReadFileBytes(DataPath("usr/three-trails.usr")));
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenUsrFile(track, path, shell));
  const TrailLocation trail = *FindTrail(track.summary, "Second", path);
  std::filesystem::remove(path);
  EXPECT_EQ(LoadTrail(track, path, trail, "Second", shell), std::nullopt);
  ASSERT_EQ(shell.shown.size(), 1u);
  EXPECT_EQ(shell.shown[0].text, "Error:ﾃﾞｰﾀが取得出来ませんでした\n");
  EXPECT_EQ(shell.shown[0].detail, path + ": No such file or directory");
  EXPECT_EQ(track.pointCount, -1);  // the points allocated for the trail are released
}

// A load that the user cancels stops there, shows nothing more and holds no
// points: while the log is checked, while it is loaded, while a trail is.
TEST(OpenCommands, ACancelledLoadShowsNothingAndHoldsNoPoints) {
  for (const std::size_t report : {1u, 2u}) {
    TrackData track;
    ScriptedShell shell;
    shell.cancelAtReport = report;
    EXPECT_EQ(OpenNmeaLog(track, DataPath("nmea/gga-rmc-noise.log"), shell), std::nullopt);
    EXPECT_EQ(shell.progress.size(), report);
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_EQ(track.pointCount, -1);
  }
  TrackData track;
  ScriptedShell shell;
  const std::string path = DataPath("usr/three-trails.usr");
  ASSERT_TRUE(OpenUsrFile(track, path, shell));
  shell.cancelAtReport = 1;
  EXPECT_EQ(LoadTrail(track, path, *FindTrail(track.summary, "TrailA", path), "TrailA", shell), std::nullopt);
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_EQ(track.pointCount, -1);
}

TEST(OpenNmeaLog, LoadsAndSummarises) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  TrackData track;
  ScriptedShell shell;
  const auto text = OpenNmeaLog(track, DataPath("nmea/gga-rmc-noise.log"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->starts_with("【トラック】\r\ngga-rmc-noise.log\r\n\r\n【データ数】\r\n300 (Points)\r\n")) << *text;
  EXPECT_NE(text->find("【時刻(ローカル時間)】\r\n21時35分19秒\r\n      ～ 21時40分18秒"), std::string::npos) << *text;
  EXPECT_TRUE(shell.shown.empty());
}

TEST(OpenNmeaLog, LogWithoutPositionSentencesIsAnEmptyTrack) {
  TrackData track;
  ScriptedShell shell;
  const auto text = OpenNmeaLog(track, DataPath("nmea/no-position.log"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(track.pointCount, 0);
  EXPECT_NE(text->find("【データ数】\r\n0 (Points)"), std::string::npos);
}

TEST(OpenNmeaLog, RefusesDisagreeingCountsAndUnreadableFiles) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(4));
  ScriptedShell shell;
  EXPECT_EQ(OpenNmeaLog(track, DataPath("nmea/mismatch.log"), shell), std::nullopt);
  EXPECT_EQ(track.pointCount, -1);  // released before the check
  EXPECT_EQ(OpenNmeaLog(track, DataPath("nmea/missing.log"), shell), std::nullopt);
  EXPECT_EQ(shell.Messages(),
            (Texts{"NMEAﾃﾞｰﾀのﾀｸﾞ数に不一致があります\n", "Error:ﾃﾞｰﾀが取得出来ませんでした\n"}));
}

}  // namespace
}  // namespace kestrel
