// krm info on the fixtures, in three time zones, byte for byte.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>

#include "cli/krm_runner.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::RunKrm;

struct InfoCase {
  std::string golden;  // tests/data/cli/info/<golden>.out and .err
  std::vector<std::string> args;
  std::string timeZone;
  int status;
};

void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.golden; }

class KrmInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(KrmInfo, PrintsTheInformationBox) {
  const InfoCase& c = GetParam();
  std::vector<std::string> args = {"info"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const test::KrmRun run = RunKrm(args, c.timeZone, DataPath(""));
  EXPECT_EQ(run.status, c.status);
  test::ExpectMatchesGolden(run.out, "cli/info/" + c.golden + ".out");
  test::ExpectMatchesGolden(run.err, "cli/info/" + c.golden + ".err");
}

std::vector<InfoCase> Cases() {
  std::vector<InfoCase> cases = {
      {"three-trails", {"usr/three-trails.usr"}, "Asia/Tokyo", 0},
      {"three-trails-TrailA", {"usr/three-trails.usr", "--trail", "TrailA"}, "Asia/Tokyo", 0},
      {"three-trails-japanese", {"usr/three-trails.usr", "--trail", "東京散歩"}, "Asia/Tokyo", 0},
      {"names-twice", {"usr/names.usr", "--trail", "Twice"}, "Asia/Tokyo", 0},
      {"names-fullwidth", {"usr/names.usr", "--trail", "ＲＵＮ"}, "Asia/Tokyo", 0},
      {"names-gone", {"usr/names.usr", "--trail", "Gone"}, "Asia/Tokyo", 1},
      {"names-unknown", {"usr/names.usr", "--trail", "RUN"}, "Asia/Tokyo", 1},
      {"names-empty-name", {"usr/names.usr", "--trail", ""}, "Asia/Tokyo", 1},
      // Version 3 in the first release's layout of version 2 is no file.
      {"version3", {"usr/version3.usr"}, "Asia/Tokyo", 1},
      {"truncated", {"usr/truncated.usr"}, "Asia/Tokyo", 1},
      {"no-trails", {"usr/no-trails.usr"}, "Asia/Tokyo", 0},
      {"no-trails-lookup", {"usr/no-trails.usr", "--trail", "X"}, "Asia/Tokyo", 1},
      // A grid value just south of the tables: by the projection's formula.
      {"out-of-range", {"usr/out-of-range.usr", "--trail", "Bad"}, "Asia/Tokyo", 0},
      // The points before the end of the file, and exit 3: part of the trail.
      {"ends-inside-trail", {"usr/ends-inside-trail.usr", "--trail", "Short"}, "Asia/Tokyo", 3},
      {"missing", {"usr/missing.usr"}, "Asia/Tokyo", 1},
      // 50 GGA and 49 RMC: read by time.
      {"mismatch", {"nmea/mismatch.log"}, "Asia/Tokyo", 0},
      {"missing-log", {"nmea/missing.log"}, "Asia/Tokyo", 1},
      {"usr-as-nmea", {"usr/three-trails.usr", "--format", "nmea"}, "Asia/Tokyo", 0},
      {"log-trail-ignored", {"nmea/gga-only.log", "--trail", "X"}, "UTC", 0},
      // A sentence behind a blank still classifies by its address field.
      {"real-beidou", {"real/gpsd-beidou-bd.log"}, "Asia/Tokyo", 0},
      // A binary blob with a whole RMC sentence behind it: one RMC more than
      // each other type, and the log is read by time. From the west.
      {"real-ublox-8", {"real/gpsd-ublox-8.log"}, "Asia/Tokyo", 0},
      // South and west, a void fix, a damaged line skipped (exit 3).
      {"south-west", {"nmea/south-west.log"}, "UTC", 3},
      // A log without a date, given one.
      {"gga-only-dated", {"nmea/gga-only.log", "--date", "2009-03-05"}, "America/New_York", 0},
      // Files of other writers: the overview, a trail by its place among two
      // of one name, a version-4 trail with its times.
      {"japan-device", {"usr-world/japan-device.usr"}, "Asia/Tokyo", 0},
      {"japan-device-index-2", {"usr-world/japan-device.usr", "--trail-index", "2"}, "Asia/Tokyo", 0},
      {"tokyo-v4", {"usr-world/tokyo-v4.usr", "--trail-index", "1"}, "Asia/Tokyo", 0},
      {"sanfrancisco-v3", {"usr-world/sanfrancisco-v3.usr", "--trail", "Bay ride"}, "Asia/Tokyo", 0},
      // A GPX file of a route and a track: the overview, then each chosen by
      // name and by place, as trails are.
      {"gpx-two-tracks", {"gpx/two-tracks.gpx"}, "Asia/Tokyo", 0},
      {"gpx-two-tracks-morning", {"gpx/two-tracks.gpx", "--trail", "morning"}, "Asia/Tokyo", 0},
      {"gpx-two-tracks-index-1", {"gpx/two-tracks.gpx", "--trail-index", "1"}, "Asia/Tokyo", 0},
      // One track, loaded as it is; its point with a time that is none is
      // left out (exit 3).
      {"gpx-walk", {"gpx/walk.gpx"}, "UTC", 3},
      {"gpx-truncated", {"gpx/truncated.gpx"}, "Asia/Tokyo", 1},
      {"gpx-no-track", {"gpx/no-track.gpx"}, "Asia/Tokyo", 1},
  };
  // The logs in every zone: clock times are local.
  const std::pair<const char*, const char*> zones[] = {
      {"Asia/Tokyo", "tokyo"}, {"UTC", "utc"}, {"America/New_York", "newyork"}};
  const char* logs[] = {"nmea/gga-rmc-noise.log", "nmea/gga-only.log", "nmea/all-four-midnight.log",
                        "nmea/no-position.log", "nmea/empty.log", "real/gpsd-quectel-l76k-nmea.log",
                        "real/gpsd-telit-he910.log", "real/dotmorten-TrimbleR2SampleData.txt"};
  for (const char* log : logs) {
    std::string stem = std::string(log).substr(std::string(log).find('/') + 1);
    stem = stem.substr(0, stem.find('.'));
    for (const auto& [zone, zoneName] : zones) cases.push_back({stem + "-" + zoneName, {log}, zone, 0});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, KrmInfo, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<InfoCase>& info) {
                           std::string name = info.param.golden;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// A file name that is not UTF-8 is shown with U+FFFD for what does not
// decode: the summary stays valid UTF-8.
TEST(KrmInfo, PrintsValidUtf8WhateverTheFileName) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("\xFF\xFE walk.log"), test::ReadFileBytes(DataPath("nmea/gga-only.log")));
  const test::KrmRun run = RunKrm({"info", "\xFF\xFE walk.log"}, "UTC", folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.starts_with("【トラック】\r\n\xEF\xBF\xBD\xEF\xBF\xBD walk.log\r\n")) << run.out;
}

// A summary that cannot be written is a failure with its message.
TEST(KrmInfo, AFailedWriteOfTheSummaryFails) {
  const std::pair<test::StandardOutput, std::string> cases[] = {
      {test::StandardOutput::Full, "No space left on device"}, {test::StandardOutput::Closed, "Bad file descriptor"}};
  for (const auto& [output, reason] : cases) {
    const test::KrmRun run = RunKrm({"info", "nmea/gga-only.log"}, "UTC", DataPath(""), output);
    EXPECT_EQ(run.status, 1) << reason;
    EXPECT_EQ(run.err, "ERROR:出力ﾌｧｲﾙへの書き込みに失敗しました\n  standard output: " + reason + "\n");
  }
}

TEST(KrmUsage, WrongCommandLinesExitWithTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"info"}, {"info", "a.log", "--format", "kml"}, {"frobnicate"},
        {"info", "a.log", "--no-such-option"}, {"info", "a.log", "--format", "1"},
        {"info", "a.usr", "--trail", "A", "--trail-index", "1"}, {"info", "a.usr", "--trail-index", "0"},
        {"info", "a.usr", "--trail-index", "x"}, {"info", "a.log", "--date", "2009-02-29"},
        {"info", "a.log", "--date", "5.3.2009"}}) {
    const test::KrmRun run = RunKrm(args);
    EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
  }
}

// Inputs that can be read only once: standard input as "-" and as
// /dev/stdin, a process substitution and a named pipe give what the file
// gives; only the name differs.
TEST(KrmInfo, ReadsInputsThatCanBeReadOnce) {
  const std::string log = test::ReadFileBytes(DataPath("cli/info/gga-rmc-noise-tokyo.out"));
  const std::string trail = test::ReadFileBytes(DataPath("cli/info/three-trails-TrailA.out"));
  const std::string track = test::ReadFileBytes(DataPath("cli/info/gpx-two-tracks-morning.out"));
  // The summary after the line of the file's name.
  const auto rest = [](const std::string& text) { return text.substr(text.find("\r\n\r\n")); };
  const std::string logBody = rest(log.substr(log.find("\r\n") + 2));
  const std::string trailBody = rest(trail.substr(trail.find("\r\n") + 2));
  const std::string trackBody = rest(track.substr(track.find("\r\n") + 2));
  const struct {
    std::string command;
    std::string body;
  } cases[] = {
      {"cat nmea/gga-rmc-noise.log | \"$KRM\" info -", logBody},
      {"cat nmea/gga-rmc-noise.log | \"$KRM\" info /dev/stdin", logBody},
      {"\"$KRM\" info <(cat nmea/gga-rmc-noise.log)", logBody},
      {"\"$KRM\" info --format usr --trail TrailA <(cat usr/three-trails.usr)", trailBody},
      {"f=$(mktemp -u) && mkfifo \"$f\" && (cat usr/three-trails.usr > \"$f\" &) && "
       "\"$KRM\" info --format usr --trail TrailA \"$f\"; s=$?; rm -f \"$f\"; exit $s",
       trailBody},
      {"cat gpx/two-tracks.gpx | \"$KRM\" info --format gpx --trail morning -", trackBody},
  };
  for (const auto& c : cases) {
    const test::KrmRun run = test::RunShell(c.command, "Asia/Tokyo", DataPath(""));
    EXPECT_EQ(run.status, 0) << c.command;
    EXPECT_EQ(run.err, "") << c.command;
    ASSERT_NE(run.out.find("\r\n"), std::string::npos) << c.command;
    EXPECT_EQ(rest(run.out.substr(run.out.find("\r\n") + 2)), c.body) << c.command;
  }
}

// A line of a log is never held whole: a file of 512 MB without a line
// feed is one line skipped, read in the memory of a small one.
TEST(KrmInfo, ALogWithoutLineEndsTakesLittleMemory) {
  const test::TempDir folder;
  const std::string path = folder.Path("sparse.log");
  test::WriteFileBytes(path, "");
  ASSERT_EQ(::truncate(path.c_str(), std::int64_t{512} << 20), 0);
  const test::KrmRun run = RunKrm({"info", path}, "UTC");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "NMEAﾃﾞｰﾀの1行を読み飛ばしました\n");
  EXPECT_NE(run.out.find("【データ数】\r\n0 (Points)"), std::string::npos);
  EXPECT_LT(run.maxResidentKiB, 128 * 1024);
}

}  // namespace
}  // namespace kestrel
