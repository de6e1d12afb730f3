// krm info on the fixtures, in three time zones, byte for byte.

#include <gtest/gtest.h>

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
      {"version3", {"usr/version3.usr"}, "Asia/Tokyo", 1},
      {"truncated", {"usr/truncated.usr"}, "Asia/Tokyo", 1},
      {"no-trails", {"usr/no-trails.usr"}, "Asia/Tokyo", 0},
      {"no-trails-lookup", {"usr/no-trails.usr", "--trail", "X"}, "Asia/Tokyo", 1},
      {"out-of-range", {"usr/out-of-range.usr", "--trail", "Bad"}, "Asia/Tokyo", 0},
      {"ends-inside-trail", {"usr/ends-inside-trail.usr", "--trail", "Short"}, "Asia/Tokyo", 0},
      {"missing", {"usr/missing.usr"}, "Asia/Tokyo", 1},
      {"mismatch", {"nmea/mismatch.log"}, "Asia/Tokyo", 1},
      {"missing-log", {"nmea/missing.log"}, "Asia/Tokyo", 1},
      {"usr-as-nmea", {"usr/three-trails.usr", "--format", "nmea"}, "Asia/Tokyo", 0},
      {"log-trail-ignored", {"nmea/gga-only.log", "--trail", "X"}, "UTC", 0},
      // A sentence behind a blank still classifies by its address field.
      {"real-beidou", {"real/gpsd-beidou-bd.log"}, "Asia/Tokyo", 0},
      // A binary blob with a whole RMC sentence behind it: one RMC too many.
      {"real-ublox-8", {"real/gpsd-ublox-8.log"}, "Asia/Tokyo", 1},
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
       {std::vector<std::string>{}, {"info"}, {"info", "a.log", "--format", "gpx"}, {"frobnicate"},
        {"info", "a.log", "--no-such-option"}, {"info", "a.log", "--format", "1"}}) {
    const test::KrmRun run = RunKrm(args);
    EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
  }
}

}  // namespace
}  // namespace kestrel
