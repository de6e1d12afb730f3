#include "track/open_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::ScriptedShell;
using Texts = std::vector<std::string>;

// A track file opened as the commands open it, for the duration of a test.
struct Opened {
  Opened(const std::string& path, TrackFileKind kind, Shell& shell) : file(OpenTrackInput(path, kind, shell)) {}
  std::unique_ptr<ByteSource> file;
};

std::optional<std::string> OpenUsr(TrackData& track, const std::string& path, ScriptedShell& shell,
                                   std::unique_ptr<ByteSource>* kept = nullptr) {
  Opened opened(path, TrackFileKind::Usr, shell);
  if (!opened.file) return std::nullopt;
  std::optional<std::string> text = OpenUsrFile(track, *opened.file, shell);
  if (kept != nullptr) *kept = std::move(opened.file);
  return text;
}

std::optional<std::string> OpenLog(TrackData& track, const std::string& path, ScriptedShell& shell,
                                   std::optional<CalendarDate> date = std::nullopt) {
  Opened opened(path, TrackFileKind::NmeaLog, shell);
  if (!opened.file) return std::nullopt;
  return OpenNmeaLog(track, *opened.file, shell, date);
}

TEST(OpenUsrFile, ShowsTheDirectoryAndDropsThePoints) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(5));
  ScriptedShell shell;
  const auto text = OpenUsr(track, DataPath("usr/three-trails.usr"), shell);
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
                        Case{"usr/truncated.usr", "ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n"}}) {
    TrackData track;
    ScriptedShell shell;
    EXPECT_EQ(OpenUsr(track, DataPath(c.file), shell), std::nullopt) << c.file;
    EXPECT_EQ(shell.Messages(), (Texts{c.first, "Error:ﾃﾞｰﾀが取得出来ませんでした\n"})) << c.file;
    for (const auto& shown : shell.shown) EXPECT_EQ(shown.icon, MessageIcon::None);
  }
}

TEST(FindTrail, ComparesBytesAndTakesTheLastMatch) {
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenUsr(track, DataPath("usr/names.usr"), shell));
  const std::string path = DataPath("usr/names.usr");
  struct Case {
    std::string name;  // as typed, UTF-8
    std::int32_t pointCount;
  };
  for (const Case& c : {Case{"Run", 20}, Case{"run", 5}, Case{"ＲＵＮ", 6}, Case{"Lap", 7}, Case{"Twice", 9}}) {
    const Result<TrailEntry> found = FindTrail(track.summary, c.name, path);
    ASSERT_TRUE(found) << c.name;
    EXPECT_EQ(found->pointCount, c.pointCount) << c.name;
  }
  // The first "Twice" is found by its place in the list.
  const Result<TrailEntry> first = FindTrailAt(track.summary, 5, path);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->name, "Twice");
  EXPECT_EQ(first->pointCount, 8);
}

TEST(FindTrail, FailsWithTheMessageOfTheFirstProblem) {
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenUsr(track, DataPath("usr/names.usr"), shell));
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
    const Result<TrailEntry> found = FindTrail(track.summary, c.name, c.path);
    ASSERT_FALSE(found) << c.name;
    EXPECT_EQ(found.error().message.text, c.message) << c.name;
  }
  TrackSummary noTrails;
  const Result<TrailEntry> none = FindTrail(noTrails, "Run", path);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error().message.text, "対象Trailが見付かりません");
  // Places outside the list, or of a trail without points.
  for (const std::int64_t place : {0, 8, 10}) {
    const Result<TrailEntry> placed = FindTrailAt(track.summary, place, path);
    ASSERT_FALSE(placed) << place;
    EXPECT_EQ(placed.error().message.text, "対象Trailが見付かりません");
  }
}

TEST(LoadTrail, LoadsAndSummarisesFromTheFileTheDirectoryCameFrom) {
  TrackData track;
  ScriptedShell shell;
  test::TempDir dir;
  const std::string path = dir.Path("walk.usr");
  test::WriteFileBytes(path, test::ReadFileBytes(DataPath("usr/three-trails.usr")));
  std::unique_ptr<ByteSource> file;
  ASSERT_TRUE(OpenUsr(track, path, shell, &file));
  // The name now leads elsewhere: the file opened is read all the same.
  ASSERT_EQ(std::rename(path.c_str(), dir.Path("moved.usr").c_str()), 0);
  const auto text = LoadTrail(track, *file, *FindTrail(track.summary, "東京散歩", path), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->starts_with("【トラック】\r\nwalk.usr\r\n\r\n【対象Trail】\r\n東京散歩\r\n\r\n"
                                "【データ数】\r\n3 (Points)\r\n"))
      << *text;
  EXPECT_EQ(track.pointCount, 3);
  EXPECT_TRUE(shell.shown.empty());
}

TEST(LoadTrail, DataErrorIsShownAndOnlyThePointsBeforeItAreHeld) {
  TrackData track;
  ScriptedShell shell;
  std::unique_ptr<ByteSource> file;
  ASSERT_TRUE(OpenUsr(track, DataPath("usr/ends-inside-trail.usr"), shell, &file));
  const auto text = LoadTrail(track, *file, *FindTrailAt(track.summary, 1, "x"), shell);
  ASSERT_TRUE(text.has_value());
  ASSERT_EQ(shell.shown.size(), 1u);
  EXPECT_EQ(shell.shown[0].text, "Data Error!");
  EXPECT_EQ(shell.shown[0].icon, MessageIcon::Error);
  EXPECT_NE(text->find("【データ数】\r\n230 (Points)"), std::string::npos);
  EXPECT_EQ(text->find("NoData"), std::string::npos);
  EXPECT_TRUE(track.summary.cutShort);
}

TEST(LoadTrail, AVersion4TrailShowsItsTimes) {
  test::ScopedTimeZone zone("UTC");
  TrackData track;
  ScriptedShell shell;
  std::unique_ptr<ByteSource> file;
  ASSERT_TRUE(OpenUsr(track, DataPath("usr-world/tokyo-v4.usr"), shell, &file));
  const auto text = LoadTrail(track, *file, *FindTrailAt(track.summary, 1, "x"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->ends_with("【時刻(ローカル時間)】\r\n1時20分0秒\r\n      ～ 2時11分35秒")) << *text;
}

// A load that the user cancels stops there, shows nothing more and holds no
// points: while the log is checked, while it is loaded, while a trail is.
TEST(OpenCommands, ACancelledLoadShowsNothingAndHoldsNoPoints) {
  for (const std::size_t report : {1u, 2u}) {
    TrackData track;
    ScriptedShell shell;
    shell.cancelAtReport = report;
    EXPECT_EQ(OpenLog(track, DataPath("nmea/gga-rmc-noise.log"), shell), std::nullopt);
    EXPECT_EQ(shell.progress.size(), report);
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_EQ(track.pointCount, -1);
  }
  TrackData track;
  ScriptedShell shell;
  std::unique_ptr<ByteSource> file;
  ASSERT_TRUE(OpenUsr(track, DataPath("usr/three-trails.usr"), shell, &file));
  shell.cancelAtReport = 1;
  EXPECT_EQ(LoadTrail(track, *file, *FindTrail(track.summary, "TrailA", "x"), shell), std::nullopt);
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_EQ(track.pointCount, -1);
}

TEST(OpenNmeaLog, LoadsAndSummarises) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  TrackData track;
  ScriptedShell shell;
  const auto text = OpenLog(track, DataPath("nmea/gga-rmc-noise.log"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_TRUE(text->starts_with("【トラック】\r\ngga-rmc-noise.log\r\n\r\n【データ数】\r\n300 (Points)\r\n")) << *text;
  EXPECT_NE(text->find("【時刻(ローカル時間)】\r\n21時35分19秒\r\n      ～ 21時40分18秒"), std::string::npos) << *text;
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_EQ(track.summary.skippedLines, 0);
}

TEST(OpenNmeaLog, LogWithoutPositionSentencesIsAnEmptyTrack) {
  TrackData track;
  ScriptedShell shell;
  const auto text = OpenLog(track, DataPath("nmea/no-position.log"), shell);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(track.pointCount, 0);
  EXPECT_NE(text->find("【データ数】\r\n0 (Points)"), std::string::npos);
}

TEST(OpenNmeaLog, ReadsLogsWhoseCountsDisagreeAndRefusesUnreadableFiles) {
  TrackData track;
  ScriptedShell shell;
  ASSERT_TRUE(OpenLog(track, DataPath("nmea/mismatch.log"), shell));
  EXPECT_EQ(track.pointCount, 50);
  EXPECT_TRUE(shell.shown.empty());
  EXPECT_EQ(OpenLog(track, DataPath("nmea/missing.log"), shell), std::nullopt);
  EXPECT_EQ(shell.Messages(), (Texts{"Error:ﾃﾞｰﾀが取得出来ませんでした\n"}));
  EXPECT_EQ(shell.shown[0].detail, DataPath("nmea/missing.log") + ": No such file or directory");
}

// Inputs that can be read once only: a named pipe, read in one pass for
// the check and the load of a log, and for the directory and a trail of a
// .usr file.
TEST(OpenCommands, ReadAPipeOnce) {
  test::TempDir dir;
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto feed = [&fifo](const std::string& bytes) {
    return std::thread([&fifo, bytes] { test::WriteFileBytes(fifo, bytes); });
  };
  TrackData track;
  ScriptedShell shell;
  std::thread writer = feed(test::ReadFileBytes(DataPath("nmea/gga-rmc-noise.log")));
  const auto log = OpenLog(track, fifo, shell);
  writer.join();
  ASSERT_TRUE(log.has_value());
  EXPECT_EQ(track.pointCount, 300);

  writer = feed(test::ReadFileBytes(DataPath("usr/three-trails.usr")));
  std::unique_ptr<ByteSource> file;
  const auto overview = OpenUsr(track, fifo, shell, &file);
  writer.join();
  ASSERT_TRUE(overview.has_value());
  ASSERT_TRUE(LoadTrail(track, *file, *FindTrail(track.summary, "Second", fifo), shell));
  EXPECT_EQ(track.pointCount, 201);
  EXPECT_TRUE(shell.shown.empty());
}

}  // namespace
}  // namespace kestrel
