// The map output command: its checks, the naming of the three files, and
// what stays on disk when a step fails.

#include "webmap/map_output.h"

#include <gtest/gtest.h>

#include <new>

#include "support/failing_disk.h"
#include "support/memory_limit.h"
#include "support/test_support.h"
#include "webmap/test_tracks.h"

namespace kestrel {
namespace {

using test::ReadFileBytes;
using test::ScriptedShell;
using test::TempDir;
using Kind = ScriptedShell::Shown::Kind;
using Names = std::vector<std::string>;

const ScriptedShell::Shown kDone{Kind::Message, "変換終了    ", MessageIcon::Information, {}};
const ScriptedShell::Shown kFailed{Kind::Message, "実行エラー\n", MessageIcon::None, {}};

// A site of three files (page, script, style sheet): on the map service.
MapRequest ThreeFiles() {
  MapRequest request;
  request.settings.service = MapService::Google;
  return request;
}

MapRequest DerivedName() {
  MapRequest request = ThreeFiles();
  request.settings.sameName = true;
  return request;
}

TEST(RunMapOutput, RefusesBeforeAnyFileIsNamed) {
  struct Case {
    std::int32_t points;  // -1: nothing loaded
    bool usePointCount;
    std::string text;
    const char* message;  // nullptr: the site is written
  };
  const Case cases[] = {
      {-1, false, "", kNoTrackMessage},
      {0, false, "", kNoTrackMessage},
      {-1, true, "5", kNoTrackMessage},
      {10, true, "abc", kTooFewPointsMessage},
      {10, true, "11", kTooManyPointsMessage},
      {10, true, "-5", kTooFewPointsMessage},
      {10, true, "1", kTooFewPointsMessage},
      {10, true, "", kTooFewPointsMessage},
      {10, true, "10", nullptr},
      {10, true, " 2x", nullptr},
      // Count mode off: the text is not looked at.
      {10, false, "abc", nullptr},
  };
  for (const Case& c : cases) {
    TrackData track = c.points < 0 ? TrackData{} : test::StraightTrack(c.points);
    MapRequest request = DerivedName();
    request.thinning.usePointCount = c.usePointCount;
    request.thinning.pointCountText = c.text;
    TempDir folder;
    ScriptedShell shell;
    EXPECT_EQ(RunMapOutput(request, track, folder.Path("t.log"), shell).has_value(), c.message == nullptr) << c.text;
    if (c.message == nullptr) {
      EXPECT_EQ(shell.shown, std::vector<ScriptedShell::Shown>{kDone});
      EXPECT_EQ(folder.Names(), (Names{"t.css", "t.html", "t.js"}));
    } else {
      EXPECT_EQ(shell.shown, (std::vector<ScriptedShell::Shown>{{Kind::Message, c.message, MessageIcon::None, {}}}))
          << c.points << " " << c.text;
      EXPECT_TRUE(folder.Names().empty());
    }
  }
}

TEST(RunMapOutput, NamesTheSiteAfterTheTrackFile) {
  TempDir folder;
  ScriptedShell shell;
  ASSERT_TRUE(RunMapOutput(DerivedName(), test::StraightTrack(5), folder.Path("run.2009.usr"), shell));
  EXPECT_EQ(folder.Names(), (Names{"run.2009.css", "run.2009.html", "run.2009.js"}));
  const std::string page = ReadFileBytes(folder.Path("run.2009.html"));
  EXPECT_NE(page.find("href=\"run.2009.css\""), std::string::npos);
  EXPECT_NE(page.find("src=\"run.2009.js\""), std::string::npos);
}

TEST(RunMapOutput, AsksOnlyAboutAnExistingPage) {
  struct Case {
    Names present;
    std::optional<bool> answer;  // nothing: no question
    bool written;
  };
  const Case cases[] = {
      {{"t.html"}, false, false},
      {{"t.html"}, true, true},
      {{"t.html", "t.js", "t.css"}, false, false},
      // Script and style sheet of the same name are replaced without a question.
      {{"t.js", "t.css"}, std::nullopt, true},
  };
  for (const Case& c : cases) {
    TempDir folder;
    for (const std::string& name : c.present) test::WriteFileBytes(folder.Path(name), "old");
    ScriptedShell shell;
    if (c.answer) shell.yesNoAnswers.push_back(*c.answer);
    EXPECT_EQ(RunMapOutput(DerivedName(), test::StraightTrack(5), folder.Path("t.usr"), shell).has_value(), c.written);
    std::vector<ScriptedShell::Shown> expected;
    if (c.answer) {
      expected.push_back(
          {Kind::Question, folder.Path("t.html") + "は既に存在します\n上書きしますか?", MessageIcon::None, {}});
    }
    if (c.written) expected.push_back(kDone);
    EXPECT_EQ(shell.shown, expected);
    for (const char* name : {"t.html", "t.js", "t.css"}) {
      const bool old = !c.written && std::find(c.present.begin(), c.present.end(), name) != c.present.end();
      if (old) {
        EXPECT_EQ(ReadFileBytes(folder.Path(name)), "old") << name;
      }
      if (c.written) {
        EXPECT_NE(ReadFileBytes(folder.Path(name)), "old") << name;
      }
    }
  }
}

TEST(RunMapOutput, TakesTheNameFromTheSaveDialog) {
  TempDir folder;
  ScriptedShell shell;
  shell.fileAnswers.push_back(folder.Path("map.htm"));
  ASSERT_TRUE(RunMapOutput(ThreeFiles(), test::StraightTrack(5), "/elsewhere/t.usr", shell));
  // The dialog proposes the track file's name.
  const FileDialogRequest dialog{"html", "/elsewhere/t.html", "htmlﾌｧｲﾙ(*.html)|*.html|全て(*.*)|*.*||"};
  EXPECT_EQ(shell.shown, (std::vector<ScriptedShell::Shown>{{Kind::SaveDialog, "", MessageIcon::None, dialog}, kDone}));
  EXPECT_EQ(folder.Names(), (Names{"map.css", "map.htm", "map.js"}));

  // Cancelling is silent.
  ScriptedShell cancelled;
  cancelled.fileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(RunMapOutput(ThreeFiles(), test::StraightTrack(5), "/elsewhere/t.usr", cancelled));
  EXPECT_EQ(cancelled.shown.size(), 1u);
}

TEST(RunMapOutput, AFailingStepStopsTheSiteThere) {
  // The folder of the page is a regular file: nothing can be written in it,
  // not even by root.
  TempDir folder;
  test::WriteFileBytes(folder.Path("plain"), "x");
  ScriptedShell shell;
  shell.fileAnswers.push_back(folder.Path("plain/site.html"));
  EXPECT_FALSE(RunMapOutput(ThreeFiles(), test::StraightTrack(5), "t.usr", shell));
  EXPECT_EQ(shell.Messages(), Names{"実行エラー\n"});
  EXPECT_EQ(folder.Names(), Names{"plain"});

  // No points to list (30 points at 1 %): the page stays, the script is not
  // put in place (an old one stays as it was) and no style sheet is written.
  TempDir site;
  test::WriteFileBytes(site.Path("t.js"), "old script");
  MapRequest request = DerivedName();
  request.thinning.rateIndex = 99;
  ScriptedShell noPoints;
  EXPECT_FALSE(RunMapOutput(request, test::StraightTrack(30), site.Path("t.usr"), noPoints));
  EXPECT_EQ(noPoints.shown, std::vector<ScriptedShell::Shown>{kFailed});
  EXPECT_EQ(site.Names(), (Names{"t.html", "t.js"}));
  EXPECT_EQ(ReadFileBytes(site.Path("t.js")), "old script");
}

// A page that cannot be written whole (the file size limit holds for root
// too): the message with the system's reason, and every old file of the
// site as it was, with no temporary file beside it.
TEST(RunMapOutput, AFailedWriteKeepsTheOldSite) {
  const Names site = {"t.css", "t.html", "t.js"};
  TempDir folder;
  for (const std::string& name : site) test::WriteFileBytes(folder.Path(name), "precious");
  ScriptedShell shell;
  shell.yesNoAnswers.push_back(true);
  {
    const test::ScopedFileSizeLimit limit(512);
    ASSERT_TRUE(limit.Active());
    EXPECT_FALSE(RunMapOutput(DerivedName(), test::StraightTrack(200), folder.Path("t.usr"), shell));
  }
  ASSERT_EQ(shell.Messages(), Names{"実行エラー\n"});
  EXPECT_EQ(shell.shown.back().detail, folder.Path("t.html") + ": File too large");
  EXPECT_EQ(folder.Names(), site);
  for (const std::string& name : site) EXPECT_EQ(ReadFileBytes(folder.Path(name)), "precious") << name;
}

// Cancelled while the points are written: no file of the site is left
// behind, an old page stays as it was, and nothing more is shown.
TEST(RunMapOutput, ACancelLeavesNoFileBehind) {
  TempDir folder;
  test::WriteFileBytes(folder.Path("t.html"), "old page");
  ScriptedShell shell;
  shell.yesNoAnswers.push_back(true);
  shell.cancelAtReport = 1;
  EXPECT_FALSE(RunMapOutput(DerivedName(), test::StraightTrack(20000), folder.Path("t.usr"), shell));
  EXPECT_EQ(shell.progress.size(), 1u);
  EXPECT_TRUE(shell.Messages().empty());
  EXPECT_EQ(folder.Names(), Names{"t.html"});
  EXPECT_EQ(ReadFileBytes(folder.Path("t.html")), "old page");
}

// The working copy of a track that the memory cannot hold twice: the
// program's memory message, and no temporary file left.
TEST(RunMapOutput, MemoryForTheWorkingCopyThatCannotBeHad) {
  const TrackData track = test::StraightTrack(2000000);  // 64 MB of points
  TempDir folder;
  ScriptedShell shell;
  {
    const test::ScopedMemoryLimit limit(16 << 20);
    if (!limit.Active()) GTEST_SKIP() << "the address space cannot be limited here";
    EXPECT_FALSE(RunMapOutput(DerivedName(), track, folder.Path("t.usr"), shell));
  }
  EXPECT_EQ(shell.Messages(), Names{"Error:ﾒﾓﾘが確保出来ませんでした\n"});
  // The page came before the script and stays; the script is not left half written.
  EXPECT_EQ(folder.Names(), Names{"t.html"});
}

// Memory that runs out anywhere while the site is written: the same
// message, and no file of the site, temporary or not.
TEST(RunMapOutput, MemoryRunningOutWhileWritingLeavesNoFile) {
  TempDir folder;
  ScriptedShell shell;
  shell.atFirstReport = [] { throw std::bad_alloc(); };
  EXPECT_FALSE(RunMapOutput(DerivedName(), test::StraightTrack(20000), folder.Path("t.usr"), shell));
  EXPECT_EQ(shell.Messages(), Names{"Error:ﾒﾓﾘが確保出来ませんでした\n"});
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace kestrel
