// The conversion command: its checks in order, the naming of the output, and
// what becomes of the file system when writing fails.

#include "convert/conversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#include "platform/atomic_file.h"
#include "platform/output_path.h"
#include "support/failing_disk.h"
#include "support/loaded_track.h"
#include "support/memory_limit.h"
#include "support/test_support.h"
#include "support/written_text.h"
#include "track/track_data.h"
#include "writers/csv_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pcx5_writer.h"

namespace kestrel {
namespace {

using Shown = test::ScriptedShell::Shown;

const Shown kDone{Shown::Kind::Message, kConversionDoneMessage, MessageIcon::Information, {}};

Shown MessageShown(const std::string& text) { return {Shown::Kind::Message, text, MessageIcon::None, {}}; }

ConversionRequest RequestFor(OutputType type, bool sameName) {
  ConversionRequest request;
  request.type = type;
  request.sameName = sameName;
  return request;
}

TrackData TrackOfSize(std::size_t count) {
  std::vector<TrackPoint> points;
  for (std::size_t i = 0; i < count; ++i) {
    points.push_back({35.0 + 0.0001 * static_cast<double>(i), 139.0 + 0.0002 * static_cast<double>(i),
                      static_cast<double>(i % 100), 1236256519 + static_cast<std::int32_t>(i)});
  }
  return test::TrackOf(points);
}

TEST(ConversionUsageRate, TurnsTheThinningChoiceIntoAShareOfPoints) {
  const struct {
    ThinningChoice choice;
    double rate;
  } cases[] = {
      {{false, "", 0}, 1.0},        // entry "100"
      {{false, "abc", 50}, 0.5},    // the count text is ignored
      {{false, "", 99}, 0.01},      // entry "1"
      {{false, "", -1}, 1.0},       // no entry: 1.01 becomes 1
      {{false, "", 100}, 0.01},     // 0 becomes 0.01
      {{true, " 7abc", 0}, 0.7},
      {{true, "10", 0}, 1.0},
      {{true, "2", 99}, 0.2},
  };
  const TrackData track = TrackOfSize(10);
  for (const auto& c : cases) {
    EXPECT_EQ(ConversionUsageRate(track, c.choice), c.rate) << c.choice.pointCountText << " " << c.choice.rateIndex;
  }
}

// Every refusal comes before a file is named, so no dialog, question or file.
TEST(RunConversion, RefusesBeforeNamingAFile) {
  const test::TempDir folder;
  const std::string usrFile = folder.Path("day1.usr");
  test::WriteFileBytes(usrFile, "the user's own track");
  const auto count = [](const char* text) { return ThinningChoice{true, text, 0}; };
  const ThinningChoice allPoints{};  // percentage mode, entry "100"
  const struct {
    std::size_t points;  // 0: no track loaded
    std::optional<OutputType> type;
    ThinningChoice thinning;
    std::string message;
  } cases[] = {
      {0, OutputType::Csv, count("abc"), kNoTrackMessage},
      {10, OutputType::Csv, count("11"), kTooManyPointsMessage},
      {10, OutputType::Csv, count("1"), kTooFewPointsMessage},
      {10, OutputType::Csv, count("-5"), kTooFewPointsMessage},
      {10, OutputType::Csv, count("abc"), kTooFewPointsMessage},
      {10, std::nullopt, count("11"), kTooManyPointsMessage},
      {10, std::nullopt, allPoints, kNoOutputTypeMessage},
      {10, OutputType::Usr, count("11"), kTooManyPointsMessage},
      {10, OutputType::Usr, allPoints, kUsrOutputMessage},
  };
  for (const bool sameName : {true, false}) {
    for (const auto& c : cases) {
      const TrackData track = c.points == 0 ? TrackData{} : TrackOfSize(c.points);
      ConversionRequest request;
      request.type = c.type;
      request.thinning = c.thinning;
      request.sameName = sameName;
      test::ScriptedShell shell;
      EXPECT_FALSE(RunConversion(request, track, usrFile, shell));
      EXPECT_EQ(shell.shown, std::vector<Shown>{MessageShown(c.message)}) << c.message;
    }
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"day1.usr"});
  EXPECT_EQ(test::ReadFileBytes(usrFile), "the user's own track");
}

TEST(RunConversion, WritesBesideTheTrackFileWithTheRequestedOptions) {
  const test::ScopedTimeZone zone("Asia/Tokyo");
  const TrackData track = test::SampleTrack();
  const struct {
    OutputType type;
    const char* name;
    test::TrackWriter writer;
  } cases[] = {{OutputType::Trk, "day1.trk", WritePcx5Track},
               {OutputType::Csv, "day1.csv", WriteCsvTrack},
               {OutputType::Nmea, "day1.log", WriteNmeaLog}};
  for (const auto& c : cases) {
    const test::TempDir folder;
    ConversionRequest request = RequestFor(c.type, true);
    request.thinning.rateIndex = 50;
    request.smoothing = true;
    request.useUtc = true;
    test::ScriptedShell shell;
    EXPECT_TRUE(RunConversion(request, track, folder.Path("day1.usr"), shell));
    EXPECT_EQ(shell.shown, std::vector<Shown>{kDone});
    ASSERT_EQ(folder.Names(), std::vector<std::string>{c.name});
    EXPECT_EQ(test::ReadFileBytes(folder.Path(c.name)), test::WrittenText(c.writer, track, {0.5, true, true}));
  }
}

TEST(RunConversion, AsksBeforeReplacingAnExistingDerivedFile) {
  const test::TempDir folder;
  const std::string target = folder.Path("day1.trk");
  for (const bool yes : {false, true}) {
    test::WriteFileBytes(target, "old");
    test::ScriptedShell shell;
    shell.yesNoAnswers = {yes};
    EXPECT_EQ(RunConversion(RequestFor(OutputType::Trk, true), TrackOfSize(3), folder.Path("day1.usr"), shell), yes);
    const Shown question{Shown::Kind::Question, OverwriteQuestion(target), MessageIcon::None, {}};
    EXPECT_EQ(shell.shown, yes ? (std::vector<Shown>{question, kDone}) : (std::vector<Shown>{question}));
    EXPECT_EQ(test::ReadFileBytes(target) == "old", !yes);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"day1.trk"});
  }
}

// The output is never the track file it is made from: not under its own
// name, even after Yes, nor under another name of the same file, nor under
// the name it was given after the load.
TEST(RunConversion, RefusesToOverwriteTheLoadedTrackFile) {
  const test::TempDir folder;
  const std::string log = folder.Path("run.2009.log");
  const std::string bytes = test::ReadFileBytes(test::DataPath("nmea/gga-rmc-noise.log"));
  test::WriteFileBytes(log, bytes);
  std::filesystem::create_hard_link(log, folder.Path("same.log"));
  const TrackData track = test::LoadedTrack(log);
  for (const bool sameName : {true, false}) {
    test::ScriptedShell shell;
    shell.yesNoAnswers = {true};
    shell.fileAnswers = {folder.Path("same.log")};
    EXPECT_FALSE(RunConversion(RequestFor(OutputType::Nmea, sameName), track, log, shell));
    const std::string output = sameName ? log : folder.Path("same.log");
    EXPECT_EQ(shell.shown.back(), (Shown{Shown::Kind::Message, kOutputIsInputMessage, MessageIcon::None, {}, output}));
  }
  std::filesystem::rename(log, folder.Path("moved.log"));
  test::ScriptedShell shell;
  shell.yesNoAnswers = {true};
  shell.fileAnswers = {folder.Path("moved.log")};
  EXPECT_FALSE(RunConversion(RequestFor(OutputType::Nmea, false), track, log, shell));
  EXPECT_EQ(shell.shown.back().text, kOutputIsInputMessage);
  EXPECT_EQ(test::ReadFileBytes(folder.Path("moved.log")), bytes);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"moved.log", "same.log"}));
}

TEST(RunConversion, OpensTheSaveDialogOfTheType) {
  const struct {
    OutputType type;
    FileDialogRequest dialog;
  } cases[] = {
      {OutputType::Csv, {"csv", "*.csv", "csvﾌｧｲﾙ(*.csv)|*.csv|全て(*.*)|*.*||"}},
      {OutputType::Trk, {"trk", "*.trk", "trkﾌｧｲﾙ(*.trk)|*.trk|全て(*.*)|*.*||"}},
      {OutputType::Nmea, {"log", "*.log", "NMEAﾌｧｲﾙ(*.log)|*.log|全て(*.*)|*.*||"}},
  };
  for (const auto& c : cases) {
    const test::TempDir folder;
    // The dialog proposes the track file's name with the type's extension.
    FileDialogRequest proposal = c.dialog;
    proposal.initialFileName = folder.Path("day1." + c.dialog.defaultExtension);
    const Shown dialog{Shown::Kind::SaveDialog, "", MessageIcon::None, proposal};
    test::ScriptedShell cancelled;
    cancelled.fileAnswers = {std::nullopt};
    EXPECT_FALSE(RunConversion(RequestFor(c.type, false), TrackOfSize(3), folder.Path("day1.usr"), cancelled));
    EXPECT_EQ(cancelled.shown, std::vector<Shown>{dialog});

    test::ScriptedShell chosen;
    chosen.fileAnswers = {folder.Path("out")};
    EXPECT_TRUE(RunConversion(RequestFor(c.type, false), TrackOfSize(3), folder.Path("day1.usr"), chosen));
    EXPECT_EQ(chosen.shown, (std::vector<Shown>{dialog, kDone}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out"});
  }
}

TEST(RunConversion, ReportsATargetThatCannotBeCreated) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("plain"), "a file");
  std::filesystem::create_directory(folder.Path("sub"));
  for (const std::string& target : {folder.Path("missing/out.csv"), folder.Path("plain/out.csv"),
                                    folder.Path("sub"), std::string("/proc/out.csv")}) {
    test::ScriptedShell shell;
    shell.fileAnswers = {target};
    EXPECT_FALSE(RunConversion(RequestFor(OutputType::Csv, false), TrackOfSize(3), folder.Path("day1.usr"), shell));
    EXPECT_EQ(shell.Messages(), std::vector<std::string>{kCannotOpenOutputMessage}) << target;
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"plain", "sub"})) << target;
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path("sub")));
    EXPECT_EQ(test::ReadFileBytes(folder.Path("plain")), "a file");
  }
}

// A write that fails part-way: the message instead of the end report, the
// old file exactly as it was, and no temporary file left in the folder.
void ExpectFailedWriteKeeps(const std::string& folder, const std::string& target) {
  test::WriteFileBytes(target, "precious");
  test::ScriptedShell shell;
  shell.fileAnswers = {target};
  EXPECT_FALSE(RunConversion(RequestFor(OutputType::Csv, false), TrackOfSize(40000), folder + "/day1.usr", shell));
  EXPECT_EQ(shell.Messages(), std::vector<std::string>{kWriteFailedMessage});
  EXPECT_EQ(test::ReadFileBytes(target), "precious");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{std::filesystem::path(target).filename()});
}

TEST(RunConversion, KeepsTheOldFileWhenTheFileSizeLimitStopsTheWrite) {
  const test::TempDir folder;
  const test::ScopedFileSizeLimit limit(64 * 1024);
  ASSERT_TRUE(limit.Active());
  ExpectFailedWriteKeeps(folder.Path(), folder.Path("out.csv"));
}

TEST(RunConversion, KeepsTheOldFileWhenTheDiskIsFull) {
  const test::TempDir folder;
  const test::SmallFileSystem disk(folder.Path("disk"), "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  ExpectFailedWriteKeeps(folder.Path("disk"), folder.Path("disk/out.csv"));
}

// Cancelled while the file is written: nothing more is shown, no file is
// left behind, and the old file of that name stays as it was.
TEST(RunConversion, ACancelLeavesTheOldFileAndNoOther) {
  const test::TempDir folder;
  const std::string target = folder.Path("out.csv");
  test::WriteFileBytes(target, "precious");
  test::ScriptedShell shell;
  shell.fileAnswers = {target};
  shell.cancelAtReport = 1;
  EXPECT_FALSE(RunConversion(RequestFor(OutputType::Csv, false), TrackOfSize(40000), folder.Path("day1.usr"), shell));
  EXPECT_EQ(shell.progress.size(), 1u);
  EXPECT_TRUE(shell.Messages().empty());
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.csv"});
  EXPECT_EQ(test::ReadFileBytes(target), "precious");
}

// A file made at the output's name while the conversion wrote it: the
// question again, and that file stays unless the answer is Yes.
TEST(RunConversion, ANameTakenWhileWritingIsAskedAboutAgain) {
  const test::TempDir folder;
  const std::string target = folder.Path("out.csv");
  const TrackData track = TrackOfSize(40000);
  for (const bool yes : {false, true}) {
    test::ScriptedShell shell;
    shell.fileAnswers = {target};
    shell.yesNoAnswers = {yes};
    shell.atFirstReport = [&target] { test::WriteFileBytes(target, "someone else's"); };
    EXPECT_EQ(RunConversion(RequestFor(OutputType::Csv, false), track, folder.Path("day1.usr"), shell), yes);
    ASSERT_GE(shell.shown.size(), 2u);
    EXPECT_EQ(shell.shown[1], (Shown{Shown::Kind::Question, OverwriteQuestion(target), MessageIcon::None, {}}));
    EXPECT_EQ(test::ReadFileBytes(target) == "someone else's", !yes);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.csv"});
    std::filesystem::remove(target);
  }
}

// Memory that runs out while the file is written: the program's memory
// message, and no file, temporary or not.
TEST(RunConversion, MemoryRunningOutWhileWritingLeavesNoFile) {
  const test::TempDir folder;
  test::ScriptedShell shell;
  shell.fileAnswers = {folder.Path("out.csv")};
  shell.atFirstReport = [] { throw std::bad_alloc(); };
  EXPECT_FALSE(RunConversion(RequestFor(OutputType::Csv, false), TrackOfSize(40000), folder.Path("day1.usr"), shell));
  EXPECT_EQ(shell.Messages(), std::vector<std::string>{kNoMemoryMessage});
  EXPECT_TRUE(folder.Names().empty());
}

// The working copy of a track that the memory cannot hold twice: the
// program's memory message, and no file.
TEST(RunConversion, MemoryForTheWorkingCopyThatCannotBeHad) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(2000000));  // 64 MB of points
  const test::TempDir folder;
  test::ScriptedShell shell;
  {
    const test::ScopedMemoryLimit limit(16 << 20);
    if (!limit.Active()) GTEST_SKIP() << "the address space cannot be limited here";
    EXPECT_FALSE(RunConversion(RequestFor(OutputType::Trk, true), track, folder.Path("day1.usr"), shell));
  }
  EXPECT_EQ(shell.Messages(), std::vector<std::string>{kNoMemoryMessage});
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace kestrel
