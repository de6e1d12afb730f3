// krm on many inputs at once: folders searched, every good input worked
// on whatever the others do, the same bytes with any number of jobs, and the
// records of info --json read back.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/krm_runner.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const char* const kLog = "nmea/gga-rmc-noise.log";  // 300 points
const char* const kUsr = "usr/three-trails.usr";     // TrailA, Second, 東京散歩

// Every file below a folder with its bytes, by path relative to it.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = test::ReadFileBytes(entry.path());
    }
  }
  return files;
}

// A folder of good, damaged and empty inputs with a loop of links, and two
// logs of one base name.
void MakeMixedFolder(const test::TempDir& folder) {
  fs::create_directories(folder.Path("in/sub"));
  fs::create_directories(folder.Path("out"));
  test::WriteFileBytes(folder.Path("in/sub/walk.log"), test::ReadFileBytes(test::DataPath(kLog)));
  test::WriteFileBytes(folder.Path("in/walk.nmea"), test::ReadFileBytes(test::DataPath("nmea/south-west.log")));
  test::WriteFileBytes(folder.Path("in/sub/trails.usr"), test::ReadFileBytes(test::DataPath(kUsr)));
  test::WriteFileBytes(folder.Path("in/sub/cut.usr"), test::ReadFileBytes(test::DataPath("usr/truncated.usr")));
  test::WriteFileBytes(folder.Path("in/empty.log"), "");
  test::WriteFileBytes(folder.Path("in/notes.csv"), "not a track\r\n");
  fs::create_directory_symlink("..", folder.Path("in/sub/loop"));
  test::WriteFileBytes(folder.Path("out/trails-Second.csv"), "kept\r\n");
}

TEST(KrmBatch, ConvertsEveryGoodInputOfAFolderAndNamesEveryBadOne) {
  const test::TempDir folder;
  MakeMixedFolder(folder);
  const test::KrmRun run = test::RunKrm({"convert", "in", "--recursive", "-o", "out", "--to", "csv", "--jobs", "3"},
                                        "Asia/Tokyo", folder.Path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "in/empty.log: ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です\n"
            "in/sub/cut.usr: ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n"
            "in/sub/cut.usr:   in/sub/cut.usr: the file ends inside trail record 2 of 3\n"
            "in/sub/cut.usr: Error:ﾃﾞｰﾀが取得出来ませんでした\n"
            "in/sub/trails.usr: 変換終了    \n"
            "in/sub/trails.usr: out/trails-Second.csvは既に存在します\n"
            "in/sub/trails.usr: 上書きしますか?\n"
            "in/sub/trails.usr: 変換終了    \n"
            "in/sub/walk.log: 変換終了    \n"
            "in/walk.nmea: ERROR:another input of this run has the same output (--keep-tree keeps the input "
            "folders apart)\n");
  const std::map<std::string, std::string> files = FilesBelow(folder.Path("out"));
  std::vector<std::string> names;
  for (const auto& [name, bytes] : files) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"trails-Second.csv", "trails-TrailA.csv", "trails-東京散歩.csv",
                                             "walk.csv"}));
  EXPECT_EQ(files.at("trails-Second.csv"), "kept\r\n");
  test::ExpectMatchesGolden(files.at("walk.csv"), "cli/convert/log-tokyo.csv");

  // --keep-tree mirrors the folders, so both logs named walk are converted;
  // a partly read input is the worst left: status 3.
  const test::KrmRun tree = test::RunKrm(
      {"convert", "in/sub/walk.log", "in/walk.nmea", "-o", "tree", "--keep-tree", "--to", "csv"}, "Asia/Tokyo",
      folder.Path());
  EXPECT_EQ(tree.status, 3);
  EXPECT_EQ(FilesBelow(folder.Path("tree")).size(), 2U);
  EXPECT_TRUE(fs::exists(folder.Path("tree/in/walk.csv")));

  // A folder needs --recursive: nothing is done.
  const test::KrmRun flat = test::RunKrm({"info", "in", "in/walk.nmea"}, "Asia/Tokyo", folder.Path());
  EXPECT_EQ(flat.status, 2);
  EXPECT_EQ(flat.err, "in: a folder; --recursive searches it\n");
}

TEST(KrmBatch, GivesTheSameBytesWithAnyNumberOfJobs) {
  const test::TempDir folder;
  MakeMixedFolder(folder);
  for (const char* format : {"csv", "gpx"}) {
    const test::KrmRun one = test::RunKrm({"convert", "in", "--recursive", "-o", "one", "--to", format, "--jobs", "1"},
                                          "Asia/Tokyo", folder.Path());
    const test::KrmRun four = test::RunKrm(
        {"convert", "in", "--recursive", "-o", "four", "--to", format, "--jobs", "4"}, "Asia/Tokyo", folder.Path());
    EXPECT_EQ(one.status, four.status);
    EXPECT_EQ(one.err, four.err);
    EXPECT_EQ(FilesBelow(folder.Path("one")), FilesBelow(folder.Path("four")));
    fs::remove_all(folder.Path("one"));
    fs::remove_all(folder.Path("four"));
  }
  const test::KrmRun one = test::RunKrm({"convert", "in", "--recursive", "--to", "geojson", "-o", "-", "--jobs", "1"},
                                        "Asia/Tokyo", folder.Path());
  const test::KrmRun four = test::RunKrm({"convert", "in", "--recursive", "--to", "geojson", "-o", "-", "--jobs", "4"},
                                         "Asia/Tokyo", folder.Path());
  EXPECT_EQ(one.out, four.out);
  // A GeoJSON text sequence: RS, a whole GeoJSON text, LF; one per track.
  std::size_t texts = 0;
  for (std::size_t at = one.out.find('\x1e'); at != std::string::npos; at = one.out.find('\x1e', at + 1)) {
    const std::size_t end = one.out.find('\x1e', at + 1);
    const std::string text = one.out.substr(at + 1, (end == std::string::npos ? one.out.size() : end) - at - 1);
    EXPECT_TRUE(text.ends_with("\n"));
    EXPECT_EQ(nlohmann::json::parse(text)["type"], "FeatureCollection");
    ++texts;
  }
  EXPECT_EQ(texts, 5U);  // both logs and three trails
}

TEST(KrmBatch, JsonRecordsHoldTheValuesOfInfo) {
  const std::string log = test::DataPath(kLog);
  const std::string usr = test::DataPath(kUsr);
  const std::string gpx = test::DataPath("gpx/two-tracks.gpx");
  const test::KrmRun run = test::RunKrm({"info", "--json", log, usr, gpx});
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::vector<nlohmann::json> records;
  for (std::string line; std::getline(lines, line);) records.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(records.size(), 6U);  // the log, each trail of the .usr file and each track of the GPX file

  const test::KrmRun info = test::RunKrm({"info", log});
  const nlohmann::json& walk = records[0];
  EXPECT_EQ(walk["file"], log);
  EXPECT_EQ(walk["trail"], nullptr);
  EXPECT_EQ(walk["kind"], "nmea");
  const std::string points = std::to_string(walk["points"].get<int>());
  EXPECT_NE(info.out.find("【データ数】\r\n" + points + " (Points)"), std::string::npos);
  char distance[32];
  std::snprintf(distance, sizeof distance, "【行程距離】\r\n%.2f (m)", walk["distance_m"].get<double>());
  EXPECT_NE(info.out.find(distance), std::string::npos) << info.out;
  char latitudes[64];
  std::snprintf(latitudes, sizeof latitudes, "【緯度】\r\n%.5f ～ %.5f", walk["min_latitude"].get<double>(),
                walk["max_latitude"].get<double>());
  EXPECT_NE(info.out.find(latitudes), std::string::npos) << info.out;
  EXPECT_EQ(walk["start"], "2009-03-05T12:35:19Z");
  EXPECT_EQ(walk["segments"], 1);
  EXPECT_EQ(walk["skipped_lines"], 0);

  const nlohmann::json& trail = records[3];
  EXPECT_EQ(trail["trail"], "東京散歩");
  EXPECT_EQ(trail["kind"], "usr");
  EXPECT_EQ(trail["points"], 3);
  EXPECT_EQ(trail["min_altitude_m"], nullptr);
  EXPECT_EQ(trail["start"], nullptr);
  EXPECT_EQ(records[5]["trail"], "morning");
  EXPECT_EQ(records[5]["kind"], "gpx");
  EXPECT_EQ(records[5]["segments"], 2);

  // --csv: the same fields as a table.
  const test::KrmRun csv = test::RunKrm({"info", "--csv", log});
  EXPECT_TRUE(csv.out.starts_with("file,trail,kind,points,distance_m,min_latitude,max_latitude,min_longitude,"
                                  "max_longitude,min_altitude_m,max_altitude_m,start,end,segments,skipped_lines,"
                                  "skipped_points\r\n" +
                                  log + ",,nmea,300,"))
      << csv.out;
}

// One GeoPackage of many tracks, written by one thread while the inputs are
// read by several: every track a row, with all of its points.
TEST(KrmBatch, AppendsFiftyTracksToOneGeoPackage) {
  const test::TempDir folder;
  fs::create_directories(folder.Path("logs"));
  const std::string log = test::ReadFileBytes(test::DataPath(kLog));
  for (int i = 0; i < 50; ++i) test::WriteFileBytes(folder.Path("logs/day" + std::to_string(i) + ".log"), log);
  const test::KrmRun run = test::RunKrm(
      {"convert", "logs", "--recursive", "--to", "gpkg", "--append", "-o", "archive.gpkg", "--jobs", "4"},
      "Asia/Tokyo", folder.Path());
  EXPECT_EQ(run.status, 0) << run.err;
  const test::KrmRun tracks = test::RunShell("ogrinfo -ro -so archive.gpkg tracks", "UTC", folder.Path());
  EXPECT_NE(tracks.out.find("Feature Count: 50\n"), std::string::npos) << tracks.out << tracks.err;
  const test::KrmRun points = test::RunShell("ogrinfo -ro -so archive.gpkg track_points", "UTC", folder.Path());
  EXPECT_NE(points.out.find("Feature Count: 15000\n"), std::string::npos) << points.out << points.err;
}

}  // namespace
}  // namespace kestrel
