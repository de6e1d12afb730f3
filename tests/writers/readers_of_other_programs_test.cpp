// Every format as other programs read it: GPX valid against the GPX 1.1
// schema (xmllint); GPX, KML and GeoJSON read by gpsbabel with the same
// positions, altitudes, times and point counts; GeoJSON's times as GDAL
// reads them; the GeoPackage checked by SQLite and read by GDAL, a second
// track appended.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/atomic_file.h"
#include "support/test_support.h"
#include "support/written_text.h"
#include "writers/exchange_track.h"
#include "writers/geojson_writer.h"
#include "writers/geopackage_writer.h"
#include "writers/gpx_writer.h"
#include "writers/kml_writer.h"

namespace kestrel {
namespace {

struct Ran {
  int status = -1;
  std::string output;  // stdout and stderr
};

// Runs a command line through the shell.
Ran RunCommand(const std::string& command) {
  Ran ran;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return ran;
  char block[4096];
  while (const std::size_t got = std::fread(block, 1, sizeof block, pipe)) ran.output.append(block, got);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The segmented track in two segments of three points, which every reader
// reads point for point (a segment of one point is a line of two positions).
TrackData OracleTrack() {
  TrackData track = test::SegmentedTrack();
  track.points[4].segmentStart = false;
  return track;
}

std::string WrittenFile(const test::TempDir& folder, const std::string& name, test::TrackWriter writer) {
  const std::string path = folder.Path(name);
  test::WriteFileBytes(path, test::WrittenText(writer, OracleTrack(), {}));
  return path;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    parts.push_back(part);
  }
  return parts;
}

TEST(ReadersOfOtherPrograms, XmllintFindsTheGpxValid) {
  const test::TempDir folder;
  const std::string gpx = WrittenFile(folder, "walk.gpx", WriteGpxTrack);
  const Ran ran = RunCommand("xmllint --noout --nonet --schema " + Quoted(test::DataPath("xsd/gpx-1.1.xsd")) + " " + Quoted(gpx));
  EXPECT_EQ(ran.status, 0) << ran.output;
  EXPECT_NE(ran.output.find("validates"), std::string::npos) << ran.output;
}

TEST(ReadersOfOtherPrograms, GpsbabelReadsThePointsOfGpxKmlAndGeoJson) {
  const test::TempDir folder;
  const TrackData track = OracleTrack();
  const struct {
    const char* format;
    test::TrackWriter writer;
    const char* kind;  // what gpsbabel makes of the line
    bool altitudes, times;
  } cases[] = {
      {"gpx", WriteGpxTrack, "-t", true, true},
      {"kml", WriteKmlTrack, "-t", true, true},
      // gpsbabel reads a MultiLineString as tracks, without altitudes or times.
      {"geojson", WriteGeoJsonTrack, "-t", false, false},
  };
  for (const auto& c : cases) {
    const std::string path = WrittenFile(folder, std::string("walk.") + c.format, c.writer);
    const Ran ran = RunCommand(std::string("gpsbabel ") + c.kind + " -i " + c.format + " -f " + Quoted(path) +
                        " -o unicsv,utc=0 -F -");
    ASSERT_EQ(ran.status, 0) << ran.output;
    const std::vector<std::string> lines = Split(ran.output, '\n');
    ASSERT_EQ(lines.size(), track.points.size() + 1) << c.format << "\n" << ran.output;
    const std::vector<std::string> header = Split(lines[0], ',');
    const auto column = [&header](const char* name) {
      return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    for (std::size_t i = 0; i < track.points.size(); ++i) {
      const TrackPoint& point = track.points[i];
      std::vector<std::string> fields = Split(lines[i + 1], ',');
      fields.resize(header.size());
      // gpsbabel prints 6 decimals of a degree and 1 of a metre.
      EXPECT_NEAR(std::stod(fields[column("Latitude")]), point.latitude, 0.51e-6) << c.format << " " << i;
      EXPECT_NEAR(std::stod(fields[column("Longitude")]), point.longitude, 0.51e-6) << c.format << " " << i;
      if (c.altitudes) {
        if (HasAltitude(point)) {
          EXPECT_NEAR(std::stod(fields.at(column("Altitude"))), point.altitude, 0.051) << c.format << " " << i;
        } else {
          EXPECT_EQ(fields.at(column("Altitude")), "") << c.format << " " << i;
        }
      }
      if (c.times) {
        std::string time;
        AppendUtcTime(time, point.time);  // 2024-05-03T01:20:00Z
        std::replace(time.begin(), time.end(), '-', '/');
        EXPECT_EQ(fields.at(column("Date")) + "T" + fields.at(column("Time")) + "Z", time) << c.format << " " << i;
      }
    }
  }
}

TEST(ReadersOfOtherPrograms, GdalReadsTheTimesOfGeoJson) {
  const test::TempDir folder;
  const std::string path = WrittenFile(folder, "walk.geojson", WriteGeoJsonTrack);
  const Ran ran = RunCommand("ogrinfo -ro -al -q -geom=NO " + Quoted(path));
  ASSERT_EQ(ran.status, 0) << ran.output;
  std::string times = "coordTimes (String(JSON)) = [ ";
  const TrackData track = OracleTrack();
  for (std::size_t i = 0; i < track.points.size(); ++i) {
    times += i == 0 ? "[ \"" : i == 3 ? " ], [ \"" : ", \"";
    AppendUtcTime(times, track.points[i].time);
    times += "\"";
  }
  times += " ] ]";
  EXPECT_NE(ran.output.find(times), std::string::npos) << times << "\n" << ran.output;
}

TEST(ReadersOfOtherPrograms, SqliteAndGdalAcceptTheGeoPackageOfTwoTracks) {
  const test::TempDir folder;
  const std::string path = folder.Path("walks.gpkg");
  TrackData second = test::TrackOf({{1.5, 2.5}, {1.6, 2.6}});
  second.name = "second";
  ASSERT_TRUE(WriteGeoPackage(test::SegmentedTrack(), path, {}));
  ASSERT_TRUE(WriteGeoPackage(second, path, {1.0, false, false, true}));

  const Ran sqlite = RunCommand("sqlite3 " + Quoted(path) +
                         " 'PRAGMA integrity_check' 'PRAGMA foreign_key_check' 'PRAGMA application_id'"
                         " 'PRAGMA user_version'"
                         " 'SELECT fid, name, start_time, end_time, point_count, round(distance) FROM tracks'"
                         " 'SELECT track_fid, segment, count(*), count(altitude), count(time) FROM track_points"
                         " GROUP BY track_fid, segment'"
                         " 'SELECT table_name, min_x, min_y, max_x, max_y FROM gpkg_contents ORDER BY table_name'");
  EXPECT_EQ(sqlite.status, 0);
  EXPECT_EQ(sqlite.output,
            "ok\n"
            "1196444487\n"
            "10300\n"
            "1|朝 & <walk>|2024-05-03T01:20:00.000Z|2024-05-03T03:20:05.000Z|6|17195692.0\n"
            "2|second|||2|15740.0\n"
            "1|1|3|2|3\n"
            "1|2|1|1|1\n"
            "1|3|2|2|2\n"
            "2|1|2|0|0\n"
            "track_points|-151.2152967|-33.8567844|139.77|35.67\n"
            "tracks|-151.2152967|-33.8567844|139.77|35.67\n");

  const Ran summary = RunCommand("ogrinfo -ro -al -so " + Quoted(path));
  EXPECT_EQ(summary.status, 0) << summary.output;
  for (const char* line : {"Layer name: tracks\n", "Geometry: Multi Line String\nFeature Count: 2\n",
                           "Layer name: track_points\n", "Geometry: Point\nFeature Count: 8\n"}) {
    EXPECT_NE(summary.output.find(line), std::string::npos) << line << summary.output;
  }
  for (const char* complaint : {"ERROR", "Warning"}) {
    EXPECT_EQ(summary.output.find(complaint), std::string::npos) << summary.output;
  }
  // ogrinfo shows 15 significant digits.
  const Ran points = RunCommand("ogrinfo -ro -q " + Quoted(path) + " -sql 'SELECT geom FROM track_points'");
  for (const char* point : {"POINT (139.761315 35.6687233333333)", "POINT (-0.5 -0.000000004)",
                            "POINT (-151.2152967 -33.8567844)"}) {
    EXPECT_NE(points.output.find(point), std::string::npos) << point << points.output;
  }
  const Ran lines = RunCommand("ogrinfo -ro -q " + Quoted(path) + " -sql 'SELECT geom FROM tracks WHERE fid = 2'");
  EXPECT_NE(lines.output.find("MULTILINESTRING ((2.5 1.5,2.6 1.6))"), std::string::npos) << lines.output;
}

}  // namespace
}  // namespace kestrel
