// krm convert end to end: the files it writes from the fixtures, byte for
// byte, and every refusal with its message and exit status.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "cli/krm_runner.h"
#include "support/failing_disk.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using test::RunKrm;

constexpr const char* kDone = "変換終了    \n";

struct ConvertCase {
  std::string name;
  std::string input;               // a fixture under tests/data, copied into the working folder
  std::vector<std::string> args;   // after "convert" and the input's file name
  std::string profile;             // written to krm.ini and given as --profile when not empty
  std::string timeZone;
  int status;
  std::string err;
  std::string output;              // the file expected in the working folder, or empty for none
  std::string golden;              // tests/data/cli/convert/<golden>, or empty: the input unchanged
};

void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }

class KrmConvert : public testing::TestWithParam<ConvertCase> {};

TEST_P(KrmConvert, WritesTheFileOrRefuses) {
  const ConvertCase& c = GetParam();
  const test::TempDir folder;
  const std::string inputName = std::filesystem::path(c.input).filename();
  const std::string inputBytes = test::ReadFileBytes(test::DataPath(c.input));
  test::WriteFileBytes(folder.Path(inputName), inputBytes);
  std::vector<std::string> args = {"convert", inputName};
  args.insert(args.end(), c.args.begin(), c.args.end());
  std::vector<std::string> expectedNames = {inputName};
  if (!c.profile.empty()) {
    test::WriteFileBytes(folder.Path("krm.ini"), c.profile);
    args.insert(args.end(), {"--profile", "krm.ini"});
    expectedNames.push_back("krm.ini");
  }
  if (!c.output.empty() && c.output != inputName) expectedNames.push_back(c.output);
  std::sort(expectedNames.begin(), expectedNames.end());

  const test::KrmRun run = RunKrm(args, c.timeZone, folder.Path());
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, c.err);
  EXPECT_EQ(folder.Names(), expectedNames);
  if (!c.golden.empty()) {
    test::ExpectMatchesGolden(test::ReadFileBytes(folder.Path(c.output)), "cli/convert/" + c.golden);
  }
  if (c.output != inputName || c.golden.empty()) {
    EXPECT_EQ(test::ReadFileBytes(folder.Path(inputName)), inputBytes);
  }
}

const char* const kLog = "nmea/gga-rmc-noise.log";  // 300 points
const char* const kUsr = "usr/three-trails.usr";
const char* const kTooFew = "Point数は2以上を指定して下さい\n";

std::vector<ConvertCase> Cases() {
  return {
      // Written files, named after the input.
      {"log-csv", kLog, {}, "", "Asia/Tokyo", 0, kDone, "gga-rmc-noise.csv", "log-tokyo.csv"},
      {"log-csv-newyork", kLog, {"--to", "csv"}, "", "America/New_York", 0, kDone, "gga-rmc-noise.csv",
       "log-newyork.csv"},
      {"log-csv-utc", kLog, {"--utc"}, "", "America/New_York", 0, kDone, "gga-rmc-noise.csv", "log-utc.csv"},
      {"log-trk", kLog, {"--to", "trk", "--rate", "10"}, "", "Asia/Tokyo", 0, kDone, "gga-rmc-noise.trk",
       "log-rate10.trk"},
      {"log-trk-points-smooth", kLog, {"--to", "trk", "--points", " 7abc", "--smooth", "--utc"}, "", "Asia/Tokyo", 0,
       kDone, "gga-rmc-noise.trk", "log-points7-smooth-utc.trk"},
      {"usr-trk", kUsr, {"--trail", "TrailA", "--to", "trk", "--rate", "5"}, "", "Asia/Tokyo", 0, kDone,
       "three-trails.trk", "TrailA-rate5.trk"},
      {"usr-japanese-trail-csv", kUsr, {"--trail", "東京散歩", "--smooth"}, "", "Asia/Tokyo", 0, kDone,
       "three-trails.csv", "東京散歩-smooth.csv"},
      {"usr-log", kUsr, {"--trail", "Second", "--to", "log", "--points", "20"}, "", "Asia/Tokyo", 0, kDone,
       "three-trails.log", "Second-points20.log"},
      {"named-output", kLog, {"--to", "trk", "--rate", "1", "-o", "picked.txt"}, "", "Asia/Tokyo", 0, kDone,
       "picked.txt", "log-rate1.trk"},
      // A GPX file's track, chosen by its place, with its segments, times and
      // the file's way point.
      {"gpx-track", "gpx/two-tracks.gpx", {"--trail-index", "2", "--to", "gpx", "-o", "morning.gpx"}, "",
       "Asia/Tokyo", 0, kDone, "morning.gpx", "morning.gpx"},
      // A load that shows "Data Error!" goes on with the points read so far;
      // the work is done on part of the trail (exit 3).
      {"data-error", "usr/ends-inside-trail.usr", {"--trail", "Short"}, "", "Asia/Tokyo", 3,
       std::string("Data Error!\n  ends-inside-trail.usr: the file ends inside point record 231 of 250\n") + kDone,
       "ends-inside-trail.csv", "Short-data-error.csv"},
      // South and west; damaged lines skipped, and said (exit 3).
      {"south-west", "nmea/south-west.log", {"--utc"}, "", "Asia/Tokyo", 3,
       std::string("NMEAﾃﾞｰﾀの1行を読み飛ばしました\n") + kDone, "south-west.csv", "south-west.csv"},
      // The profile's settings, the command line's switches over them. Its
      // "拡張子のみ変更" does not matter: without -o the name is derived.
      {"profile-trk", kLog, {},
       "[DConv_Section]\ndconbfiletype=2\ndconvsamename=OFF\ndconbsmoothing=ON\ndconvuseutc=ON\n", "Asia/Tokyo", 0,
       kDone, "gga-rmc-noise.trk", "log-profile-smooth-utc.trk"},
      {"profile-log", kUsr, {"--trail", "Second"}, "[DConv_Section]\ndconbfiletype=1\n", "Asia/Tokyo", 0, kDone,
       "three-trails.log", "Second.log"},
      {"profile-overridden", kLog, {"--to", "csv", "--utc"}, "[DConv_Section]\ndconbfiletype=2\ndconvuseutc=OFF\n",
       "America/New_York", 0, kDone, "gga-rmc-noise.csv", "log-utc.csv"},
      {"profile-other-type", kLog, {}, "[DConv_Section]\ndconbfiletype=9\n", "America/New_York", 0, kDone,
       "gga-rmc-noise.csv", "log-newyork.csv"},
      // A log converted into its own name is refused, with --force too.
      {"log-into-itself", kLog, {"--to", "log"}, "", "Asia/Tokyo", 1,
       "gga-rmc-noise.logは既に存在します\n上書きしますか?\n", "gga-rmc-noise.log", ""},
      {"log-into-itself-forced", kLog, {"--to", "log", "--force", "--rate", "2"}, "", "Asia/Tokyo", 1,
       "ERROR:出力ﾌｧｲﾙがﾄﾗｯｸﾌｧｲﾙと同じです\n  gga-rmc-noise.log\n", "gga-rmc-noise.log", ""},
      // Refusals after the load.
      {"usr-type", kUsr, {"--trail", "TrailA"}, "[DConv_Section]\ndconbfiletype=0\n", "Asia/Tokyo", 1,
       "ERROR:usr形式への変換には対応していません\n", "", ""},
      {"too-many-points", kLog, {"--points", "301"}, "", "Asia/Tokyo", 1, "Point数がﾄﾗｯｸﾃﾞｰﾀ内の数を越えてます\n", "", ""},
      {"one-point", kLog, {"--points", "1"}, "", "Asia/Tokyo", 1, kTooFew, "", ""},
      {"letters-for-points", kLog, {"--points", "abc"}, "", "Asia/Tokyo", 1, kTooFew, "", ""},
      {"thirty-digits", kLog, {"--points", "123456789012345678901234567890"}, "", "Asia/Tokyo", 1,
       "Point数がﾄﾗｯｸﾃﾞｰﾀ内の数を越えてます\n", "", ""},
      {"no-points", "nmea/empty.log", {"--points", "abc"}, "", "Asia/Tokyo", 1,
       "ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です\n", "", ""},
      {"missing-folder", kLog, {"-o", "missing/out.csv"}, "", "Asia/Tokyo", 1,
       "ERROR:出力ﾌｧｲﾙが開けません\n  missing/out.csv: No such file or directory\n", "", ""},
      {"under-a-file", kLog, {"-o", "gga-rmc-noise.log/out.csv"}, "", "Asia/Tokyo", 1,
       "ERROR:出力ﾌｧｲﾙが開けません\n  gga-rmc-noise.log/out.csv: Not a directory\n", "", ""},
      {"folder-target", kLog, {"-o", ".", "--force"}, "", "Asia/Tokyo", 1,
       "ERROR:出力ﾌｧｲﾙが開けません\n  .: Is a directory\n", "", ""},
      // Refusals of the load.
      {"unknown-trail", kUsr, {"--trail", "Nowhere"}, "", "Asia/Tokyo", 1, "対象Trailが見付かりません\n", "", ""},
      // A GPX file of several tracks needs one named.
      {"gpx-without-track", "gpx/two-tracks.gpx", {"--to", "csv"}, "", "Asia/Tokyo", 2, "ﾄﾚｲﾙ名を指定して下さい\n",
       "", ""},
      // Usage errors, before the file is opened.
      {"usr-without-trail", kUsr, {"--to", "trk"}, "", "Asia/Tokyo", 2, "ﾄﾚｲﾙ名を指定して下さい\n", "", ""},
  };
}

INSTANTIATE_TEST_SUITE_P(Fixtures, KrmConvert, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ConvertCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(KrmConvertOutput, ReplacesAnExistingOutputOnlyWithForce) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  for (const std::string& target : {std::string("walk.csv"), std::string("chosen.csv")}) {
    const std::vector<std::string> named =
        target == "walk.csv" ? std::vector<std::string>{} : std::vector<std::string>{"-o", target};
    test::WriteFileBytes(folder.Path(target), "old");
    std::vector<std::string> args = {"convert", "walk.log"};
    args.insert(args.end(), named.begin(), named.end());
    const test::KrmRun refused = RunKrm(args, "Asia/Tokyo", folder.Path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, target + "は既に存在します\n上書きしますか?\n");
    EXPECT_EQ(test::ReadFileBytes(folder.Path(target)), "old");

    args.push_back("--force");
    const test::KrmRun forced = RunKrm(args, "Asia/Tokyo", folder.Path());
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.err, kDone);
    test::ExpectMatchesGolden(test::ReadFileBytes(folder.Path(target)), "cli/convert/log-tokyo.csv");
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"chosen.csv", "walk.csv", "walk.log"}));
}

// The new formats take their names from the input; --append adds a track to
// a GeoPackage that exists, with no question, and a new one is made where
// none does.
TEST(KrmConvertOutput, NamesTheNewFormatsAndAppendsToAGeoPackage) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  for (const char* type : {"gpx", "kml", "geojson", "gpkg"}) {
    const test::KrmRun run = RunKrm({"convert", "walk.log", "--to", type}, "Asia/Tokyo", folder.Path());
    EXPECT_EQ(run.status, 0) << type;
    EXPECT_EQ(run.err, kDone) << type;
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"walk.geojson", "walk.gpkg", "walk.gpx", "walk.kml", "walk.log"}));
  for (const char* target : {"walk.gpkg", "batch.gpkg", "batch.gpkg"}) {
    const test::KrmRun run = RunKrm({"convert", "walk.log", "--to", "gpkg", "--append", "--rate", "10", "-o", target},
                                    "Asia/Tokyo", folder.Path());
    EXPECT_EQ(run.status, 0) << target;
    EXPECT_EQ(run.err, kDone) << target;
  }
  const std::string counts = "sqlite3 " + folder.Path("walk.gpkg") + " 'SELECT count(*), sum(point_count) FROM tracks' && sqlite3 " +
                             folder.Path("batch.gpkg") + " 'SELECT count(*), sum(point_count) FROM tracks'";
  FILE* pipe = popen(counts.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char text[64] = {};
  const std::size_t got = std::fread(text, 1, sizeof text - 1, pipe);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(std::string(text, got), "2|330\n2|60\n");
}

// A full disk: the message instead of the end report, the old file as it
// was, no temporary file.
TEST(KrmConvertOutput, KeepsTheOldFileWhenTheDiskIsFull) {
  const test::TempDir folder;
  const test::SmallFileSystem disk(folder.Path("disk"), "8k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  test::WriteFileBytes(folder.Path("disk/out.csv"), "precious");
  const test::KrmRun run =
      RunKrm({"convert", test::DataPath(kLog), "-o", folder.Path("disk/out.csv"), "--force"}, "Asia/Tokyo");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "ERROR:出力ﾌｧｲﾙへの書き込みに失敗しました\n  " + folder.Path("disk/out.csv") + ": No space left on device\n");
  EXPECT_EQ(test::ReadFileBytes(folder.Path("disk/out.csv")), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("disk")), {}), 1);
}

// "-o -" writes to the standard output, and a failed write there fails.
TEST(KrmConvertOutput, WritesToTheStandardOutput) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  const test::KrmRun run = RunKrm({"convert", "walk.log", "-o", "-"}, "Asia/Tokyo", folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, kDone);
  test::ExpectMatchesGolden(run.out, "cli/convert/log-tokyo.csv");
  const test::KrmRun full =
      RunKrm({"convert", "walk.log", "-o", "-"}, "Asia/Tokyo", folder.Path(), test::StandardOutput::Full);
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "ERROR:出力ﾌｧｲﾙへの書き込みに失敗しました\n  standard output: No space left on device\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"walk.log"});
}

// A profile that is no regular file is read once, as far as its bound: a
// pipe gives what the file gives; a device without end is refused.
TEST(KrmConvertOutput, ReadsAProfileThatIsNoFileOnce) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  test::WriteFileBytes(folder.Path("krm.ini"), "[DConv_Section]\ndconbfiletype=2\ndconbsmoothing=ON\ndconvuseutc=ON\n");
  const test::KrmRun piped =
      test::RunShell("\"$KRM\" convert walk.log --profile <(cat krm.ini) -o piped.trk", "Asia/Tokyo", folder.Path());
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.err, kDone);
  test::ExpectMatchesGolden(test::ReadFileBytes(folder.Path("piped.trk")), "cli/convert/log-profile-smooth-utc.trk");
  const test::KrmRun run = RunKrm({"convert", "walk.log", "--profile", "/dev/zero"}, "Asia/Tokyo", folder.Path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "設定を読み込めませんでした\n  /dev/zero: larger than 16 MiB (a profile is at most 16 MiB)\n");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"krm.ini", "piped.trk", "walk.log"}));
}

TEST(KrmConvertUsage, WrongCommandLinesExitWithTwoAndWriteNothing) {
  const test::TempDir folder;
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--rate", "0"},
      {"--rate", "101"},
      {"--rate", "abc"},
      {"--rate", "50", "--points", "5"},
      {"--points"},
      {"--to", "shp"},
      {"--to", "usr"},
      {"--to", "gpx", "--append"},
      {"--to", "3"},
      {"--format", "kml"},
      {"--profile", "missing.ini"},
      {"--no-such-option"},
  };
  for (const std::vector<std::string>& extra : cases) {
    std::vector<std::string> args = {"convert"};
    if (!extra.empty()) args.push_back("walk.log");
    args.insert(args.end(), extra.begin(), extra.end());
    const test::KrmRun run = RunKrm(args, "Asia/Tokyo", folder.Path());
    EXPECT_EQ(run.status, 2) << testing::PrintToString(extra);
    EXPECT_NE(run.err, "");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"walk.log"});
  }
}

// A log piped in converts as the file does; the output of standard input
// is named by -o.
TEST(KrmConvert, ConvertsStandardInputIntoTheOutputNamed) {
  const test::TempDir folder;
  const std::string log = test::DataPath("nmea/gga-rmc-noise.log");
  const test::KrmRun run = test::RunShell("cat '" + log + "' | \"$KRM\" convert - --to csv -o out.csv", "Asia/Tokyo",
                                          folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, kDone);
  test::ExpectMatchesGolden(test::ReadFileBytes(folder.Path("out.csv")), "cli/convert/log-tokyo.csv");
  const test::KrmRun unnamed = test::RunShell("cat '" + log + "' | \"$KRM\" convert - --to csv", "Asia/Tokyo",
                                              folder.Path());
  EXPECT_EQ(unnamed.status, 2);
  EXPECT_EQ(unnamed.err, "the output of standard input is named by -o\n");
  // Nor is a pipe named by its path given a name beside it.
  const test::KrmRun named = test::RunShell("cat '" + log + "' | \"$KRM\" convert /dev/stdin --to csv", "Asia/Tokyo",
                                            folder.Path());
  EXPECT_EQ(named.status, 2);
  EXPECT_EQ(named.err, "/dev/stdin: not a regular file; its output is named by -o\n");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.csv"});
  // Standard input read from a file is that file: it cannot be the output.
  test::WriteFileBytes(folder.Path("walk.log"), test::ReadFileBytes(log));
  // Nor does /dev/stdin standing for a regular file give a name in /dev.
  const test::KrmRun redirected =
      test::RunShell("\"$KRM\" convert /dev/stdin --to csv < walk.log", "Asia/Tokyo", folder.Path());
  EXPECT_EQ(redirected.status, 2);
  EXPECT_EQ(redirected.err, "/dev/stdin: a name of a device or descriptor; its output is named by -o\n");
  const test::KrmRun itself = test::RunShell("\"$KRM\" convert - --to log -o walk.log --force < walk.log",
                                             "Asia/Tokyo", folder.Path());
  EXPECT_EQ(itself.status, 1);
  EXPECT_EQ(itself.err, "ERROR:出力ﾌｧｲﾙがﾄﾗｯｸﾌｧｲﾙと同じです\n  walk.log\n");
  EXPECT_EQ(test::ReadFileBytes(folder.Path("walk.log")), test::ReadFileBytes(log));
}

}  // namespace
}  // namespace kestrel
