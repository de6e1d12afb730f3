#include "track/usr_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"
#include "track/loader.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::ReadFileBytes;
using test::TempDir;

struct Trail {
  std::string name;
  std::int32_t pointCount;
  std::int64_t dataOffset;  // 0 for a trail without points
  UsrLayout layout = UsrLayout::FirstRelease;
};

std::string Int16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string Int32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return Int16(static_cast<std::uint16_t>(u & 0xFFFF)) + Int16(static_cast<std::uint16_t>(u >> 16));
}

std::string Double(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  return Int32(static_cast<std::int32_t>(bits & 0xFFFFFFFF)) + Int32(static_cast<std::int32_t>(bits >> 32));
}

// A text with its 32-bit length.
std::string Text(std::string_view text) { return Int32(static_cast<std::int32_t>(text.size())) + std::string(text); }

// Bytes the reader must not look at.
std::string Unused(std::size_t n) { return std::string(n, '\xA5'); }

std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

// --- Version 2 as the first release read it

// Header, way points with the given texts, and the trail count.
std::string UsrHead(const std::vector<std::string>& wayPointTexts, std::uint16_t trailCount,
                    std::int32_t version = 2) {
  std::string bytes = Int32(version) + Int16(static_cast<std::uint16_t>(wayPointTexts.size()));
  for (const std::string& text : wayPointTexts) bytes += Unused(14) + Text(text) + Unused(14);
  return bytes + Unused(28) + Int16(trailCount);
}

// A trail record of the given name bytes and point count, with 2-byte
// separators before records 200, 400, ...
std::string TrailRecord(std::string_view name, std::uint16_t points) {
  std::string bytes = Text(name) + Unused(1) + Int16(points);
  if (points == 0) return bytes + Unused(2);
  bytes += Unused(4);
  for (int j = 0; j < points; ++j) {
    if (j > 0 && j % 200 == 0) bytes += Unused(2);
    bytes += Int32(3491803 + j) + Int32(14423013 + j) + Unused(1);
  }
  return bytes;
}

// --- Versions 2 and 3 as devices and other programs write them

// The grid position of a place, as the writers compute it.
std::string Grid(double latitude, double longitude) {
  constexpr double kRadius = 6356752.3142;
  const double phi = latitude * M_PI / 180.0;
  return Int32(static_cast<std::int32_t>(std::lround(kRadius * std::log(std::tan(M_PI / 4 + phi / 2))))) +
         Int32(static_cast<std::int32_t>(std::lround(kRadius * longitude * M_PI / 180.0)));
}

// A way point record without its object number; altitude as stored.
std::string WayPointFields(double latitude, double longitude, std::uint32_t altitude, std::string_view name,
                           std::string_view description, bool version3 = false) {
  return Grid(latitude, longitude) + Int32(static_cast<std::int32_t>(altitude)) + Text(name) + Text(description) +
         Int32(0) + Int32(10003) + Int16(0) + (version3 ? Int32(0) : "");
}

// A trail of points along a line from a place, in sections of the given
// sizes; a continuity byte 0 before the points at the breaks.
std::string SectionTrail(std::string_view name, double latitude, double longitude,
                         const std::vector<std::uint16_t>& sections, const std::vector<int>& breaks = {}) {
  int points = 0;
  for (const std::uint16_t size : sections) points += size;
  std::string bytes = Text(name) + "\x01" + Int16(static_cast<std::uint16_t>(points)) + Int16(9999);
  int j = 0;
  for (const std::uint16_t size : sections) {
    bytes += Int16(size);
    for (int k = 0; k < size; ++k, ++j) {
      const bool broken = std::find(breaks.begin(), breaks.end(), j) != breaks.end();
      bytes += Grid(latitude + 0.0001 * j, longitude + 0.0001 * j) + (broken ? '\0' : '\x01');
    }
  }
  return bytes;
}

// A file: header, way points, routes (given whole), icons and trails.
std::string DeviceFile(std::uint32_t header, const std::vector<std::string>& wayPoints,
                       const std::vector<std::string>& routes, std::uint16_t icons,
                       const std::vector<std::string>& trails) {
  std::string bytes = Int32(static_cast<std::int32_t>(header)) + Int16(static_cast<std::uint16_t>(wayPoints.size()));
  for (std::size_t i = 0; i < wayPoints.size(); ++i) bytes += Int16(static_cast<std::uint16_t>(i)) + wayPoints[i];
  bytes += Int16(static_cast<std::uint16_t>(routes.size()));
  for (const std::string& route : routes) bytes += route;
  bytes += Int16(icons);
  for (int i = 0; i < icons; ++i) bytes += Grid(35.0, 135.0) + Int32(10003);
  bytes += Int16(static_cast<std::uint16_t>(trails.size()));
  for (const std::string& trail : trails) bytes += trail;
  return bytes;
}

// --- Version 4 and later

std::string Utf16Text(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) bytes += Int16(c);
  return Text(bytes);
}

// A version-4 file with no way points and no routes, and one trail of
// points (time, latitude, longitude in degrees) with an attribute each.
struct V4Point {
  std::int32_t time;
  double latitude, longitude;
};
std::string Version4File(std::uint32_t version, const std::vector<V4Point>& points,
                         std::uint32_t claimedPoints = 0, std::uint32_t wayPoints = 0) {
  std::string bytes = Int32(static_cast<std::int32_t>(version)) + Int32(10) + Text("title") + Text("12/07/2026") +
                      Unused(9) + Unused(4) + Text("content") + Int32(static_cast<std::int32_t>(wayPoints)) +
                      Int32(0) + Int32(1);
  bytes += Unused(12) + Int16(3) + Utf16Text(u"Rundweg \u00fc\u6b69") + Unused(8) + Utf16Text(u"") + Unused(8) +
           Unused(3) + Int32(0) + Int32(static_cast<std::int32_t>(claimedPoints ? claimedPoints : points.size()));
  for (const V4Point& p : points) {
    bytes += Unused(3) + Int32(p.time) + Double(p.longitude * M_PI / 180.0) + Double(p.latitude * M_PI / 180.0) +
             Int32(1) + "\x01" + Int32(0);
  }
  return bytes;
}

void ExpectDirectory(const TrackData& track, std::int32_t version, std::int32_t wayPoints,
                     const std::vector<Trail>& expected) {
  const TrackSummary& directory = track.summary;
  EXPECT_EQ(directory.usrVersion, version);
  EXPECT_EQ(directory.wayPointCount, wayPoints);
  EXPECT_EQ(directory.trailCount, static_cast<std::int32_t>(expected.size()));
  ASSERT_EQ(directory.trails.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("trail " + std::to_string(i));
    EXPECT_EQ(directory.trails[i].name, expected[i].name);
    EXPECT_EQ(directory.trails[i].pointCount, expected[i].pointCount);
    EXPECT_EQ(directory.trails[i].dataOffset, expected[i].dataOffset);
    EXPECT_EQ(directory.trails[i].layout, expected[i].layout);
  }
}

// A directory that no reader would produce, to see whether a failed read kept it.
void SetPreviousDirectory(TrackData& track) {
  track.summary.SetUsrInfo(2, 7, 1, {TrailEntry{99, 5, "Before"}});
  WayPoint kept;
  kept.name = "Kept";
  track.wayPoints = {kept};
}

void ExpectPreviousDirectory(const TrackData& track) {
  ExpectDirectory(track, 2, 7, {{"Before", 5, 99}});
  ASSERT_EQ(track.wayPoints.size(), 1u);
  EXPECT_EQ(track.wayPoints[0].name, "Kept");
}

// Reads the bytes as a file named file.usr: nothing when the directory was
// read, else the failure.
std::optional<Failure> ReadFailure(TrackData& track, std::string_view bytes) {
  MemorySource file(bytes, "file.usr");
  const Result<void> read = ReadUsrFile(track, file);
  if (read) return std::nullopt;
  return read.error();
}

std::optional<std::string> ReadMessage(TrackData& track, std::string_view bytes) {
  const std::optional<Failure> failure = ReadFailure(track, bytes);
  if (!failure) return std::nullopt;
  return failure->message.text;
}

// The points of a trail of the directory read from bytes, and the message
// of its load.
std::vector<TrackPoint> TrailPoints(std::string_view bytes, std::size_t trail, std::optional<Message>* message = nullptr) {
  MemorySource file(bytes, "file.usr");
  TrackData track;
  EXPECT_TRUE(ReadUsrFile(track, file));
  if (trail >= track.summary.trails.size()) {
    ADD_FAILURE() << "no trail " << trail;
    return {};
  }
  std::vector<TrackPoint> points;
  const Result<std::optional<Message>> load = ReadUsrTrailPoints(file, track.summary.trails[trail], points);
  EXPECT_TRUE(load);
  if (load && message != nullptr) *message = *load;
  if (load && message == nullptr) {
    EXPECT_FALSE(load->has_value()) << (*load)->detail;
  }
  return points;
}

TEST(LittleEndianValue, ReadsLowByteFirst) {
  const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x84, 0x05};
  const unsigned char ones[] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(LittleEndianValue(bytes, 0), 0u);
  EXPECT_EQ(LittleEndianValue(bytes, 1), 0x01u);
  EXPECT_EQ(LittleEndianValue(bytes, 2), 0x0201u);
  EXPECT_EQ(LittleEndianValue(bytes, 3), 0x030201u);
  EXPECT_EQ(LittleEndianValue(bytes, 4), 0x84030201u);
  EXPECT_EQ(LittleEndianValue(bytes, 5), 0u);
  EXPECT_EQ(LittleEndianValue(ones, 2), 65535u);
  EXPECT_EQ(static_cast<std::int32_t>(LittleEndianValue(ones, 4)), -1);
}

// --- Files from other writers and devices, against an independent reader

// The rows of a reference: latitude, longitude, and for version 4 the UTC
// date and time ("2024/05/03 01:20:00").
struct ReferenceRow {
  double latitude, longitude;
  std::string time;
};

std::vector<ReferenceRow> Reference(const std::string& name) {
  std::istringstream in(ReadFileBytes(DataPath("usr-world/reference/" + name + ".csv")));
  std::string line;
  std::getline(in, line);  // the header
  std::vector<ReferenceRow> rows;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    rows.push_back({std::stod(fields[1]), std::stod(fields[2]), fields.size() > 4 ? fields[3] + " " + fields[4] : ""});
  }
  return rows;
}

std::string UtcText(std::int32_t time) {
  const std::time_t t = time;
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &utc);
  return text;
}

bool InsideTheTables(double latitude, double longitude) {
  return latitude >= 30.0 && latitude <= 45.99722222 && longitude >= 130.0 && longitude <= 145.9972222;
}

TEST(UsrReader, ReadsFilesOfOtherWritersAsAnIndependentReaderDoes) {
  struct WorldCase {
    std::string name;
    std::int32_t version;
    std::vector<std::pair<std::string, std::int32_t>> trails;
  };
  std::vector<WorldCase> cases;
  const std::pair<const char*, std::pair<const char*, std::int32_t>> places[] = {
      {"tokyo", {"Tokyo walk", 500}},
      {"sydney", {"Harbour", 350}},
      {"sanfrancisco", {"Bay ride", 400}},
      {"buenosaires", {"Pampas", 150}}};
  for (const auto& [place, trail] : places) {
    for (const std::int32_t version : {2, 3, 4}) {
      cases.push_back({std::string(place) + "-v" + std::to_string(version), version, {{trail.first, trail.second}}});
    }
  }
  cases.push_back({"japan-device", 2, {{"歩き", 470}, {"Trail 1", 130}, {"Trail 1", 40}}});

  for (const WorldCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = ReadFileBytes(DataPath("usr-world/" + c.name + ".usr"));
    MemorySource file(bytes, c.name);
    TrackData track;
    ASSERT_TRUE(ReadUsrFile(track, file));
    EXPECT_EQ(track.summary.usrVersion, c.version);
    ASSERT_EQ(track.summary.trails.size(), c.trails.size());
    const std::vector<ReferenceRow> reference = Reference(c.name);
    std::size_t row = 0;
    for (std::size_t t = 0; t < c.trails.size(); ++t) {
      const TrailEntry& trail = track.summary.trails[t];
      EXPECT_EQ(trail.name, c.trails[t].first);
      ASSERT_EQ(trail.pointCount, c.trails[t].second);
      std::vector<TrackPoint> points;
      const Result<std::optional<Message>> load = ReadUsrTrailPoints(file, trail, points);
      ASSERT_TRUE(load && !*load);
      ASSERT_EQ(points.size(), static_cast<std::size_t>(trail.pointCount));
      for (const TrackPoint& point : points) {
        ASSERT_LT(row, reference.size());
        const ReferenceRow& expected = reference[row++];
        const double tolerance = InsideTheTables(expected.latitude, expected.longitude) ? 0.00001 : 0.000002;
        EXPECT_NEAR(point.latitude, expected.latitude, tolerance) << "row " << row;
        EXPECT_NEAR(point.longitude, expected.longitude, tolerance) << "row " << row;
        EXPECT_EQ(point.timeKind, expected.time.empty() ? TimeKind::None : TimeKind::DateAndTime);
        if (!expected.time.empty()) {
          EXPECT_EQ(UtcText(point.time), expected.time) << "row " << row;
        }
      }
    }
    EXPECT_EQ(row, reference.size());
  }
}

TEST(UsrReader, KeepsWayPointsRecordingBreaksAndNamesOfEveryVersion) {
  TrackData track;
  const std::string device = ReadFileBytes(DataPath("usr-world/japan-device.usr"));
  MemorySource file(device, "japan-device.usr");
  ASSERT_TRUE(ReadUsrFile(track, file));
  ASSERT_EQ(track.wayPoints.size(), 2u);
  EXPECT_EQ(track.wayPoints[0].name, "清水寺");
  EXPECT_EQ(track.wayPoints[1].name, "Clock");
  EXPECT_EQ(track.wayPoints[1].description, "tower, since 1878");
  EXPECT_NEAR(track.wayPoints[1].latitude, 43.06, 0.00001);
  EXPECT_NEAR(track.wayPoints[1].altitude, 30.0 * 0.3048, 1e-9);  // 30 feet, as a float
  // The recording broke before point 301 of the first trail, in its second
  // section: a segment starts there, and nowhere else.
  std::vector<TrackPoint> points;
  ASSERT_TRUE(ReadUsrTrailPoints(file, track.summary.trails[0], points));
  for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].segmentStart, i == 300) << i;

  // Another writer: integer altitudes in feet (41 feet), routes between the
  // way points and the trails; version 4 holds its names in UTF-16, and no
  // altitude known here.
  for (const auto& [name, altitude] : {std::pair{"tokyo-v2.usr", 41 * 0.3048}, std::pair{"tokyo-v4.usr", kNoAltitude}}) {
    SCOPED_TRACE(name);
    TrackData other;
    const std::string bytes = ReadFileBytes(DataPath(std::string("usr-world/") + name));
    MemorySource source(bytes, name);
    ASSERT_TRUE(ReadUsrFile(other, source));
    ASSERT_GE(other.wayPoints.size(), 3u);
    EXPECT_EQ(other.wayPoints[0].name, "Start");
    EXPECT_EQ(other.wayPoints[1].description, "view point, 2 benches");
    // Inside the tables, as the first release's tables read it: about a metre.
    EXPECT_NEAR(other.wayPoints[0].latitude, 35.6822, 0.00002);
    EXPECT_NEAR(other.wayPoints[0].longitude, 139.7691, 0.00002);
    EXPECT_EQ(other.wayPoints[0].altitude, altitude);
  }
}

// --- Files in the layout the first release read

struct FixtureCase {
  const char* file;
  std::optional<std::string> message;
  std::int32_t wayPoints;
  std::vector<Trail> trails;
};

TEST(UsrReader, Fixtures) {
  const std::vector<FixtureCase> cases = {
      // Way points of 32 + 5 and 32 + 12 bytes from offset 6, 28 bytes, the
      // count at 115; TrailA at 117 (450 points, 2 separators), Second at
      // 134 + 4050 + 4 = 4188, the last at 4205 + 1809 + 2 = 6016.
      {"three-trails.usr",
       std::nullopt,
       2,
       {{"TrailA", 450, 117 + 4 + 6 + 7}, {"Second", 201, 4188 + 4 + 6 + 7}, {"東京散歩", 3, 6016 + 4 + 8 + 7}}},
      {"names.usr",
       std::nullopt,
       0,
       {{"Run", 20, 36 + 14},
        {"run", 5, 230 + 14},
        {"ＲＵＮ", 6, 289 + 17},
        {"Lap", 7, 360 + 19},
        {"Twice", 8, 442 + 16},
        {"Twice", 9, 530 + 16},
        {"Gone", 10, 627 + 15},
        {"Gone", 0, 0},
        {"Empty", 0, 0}}},
      {"no-trails.usr", std::nullopt, 2, {}},
      {"out-of-range.usr", std::nullopt, 0, {{"Bad", 10, 50}}},
      // The reader does not look at point records; the loader finds the gap.
      {"ends-inside-trail.usr", std::nullopt, 0, {{"Short", 250, 52}}},
      // Version 3 in this layout is no layout of version 3.
      {"version3.usr", kUsrNoTrailData, 0, {}},
      {"truncated.usr", kUsrNoTrailData, 0, {}},
  };
  for (const FixtureCase& c : cases) {
    SCOPED_TRACE(c.file);
    TrackData track;
    SetPreviousDirectory(track);
    EXPECT_EQ(ReadMessage(track, ReadFileBytes(DataPath(std::string("usr/") + c.file))), c.message);
    if (c.message) {
      ExpectPreviousDirectory(track);
    } else {
      ExpectDirectory(track, 2, c.wayPoints, c.trails);
    }
  }
}

struct LayoutCase {
  const char* what;
  std::string bytes;
  std::optional<std::string> message;
  std::int32_t wayPoints;
  std::vector<Trail> trails;
};

TEST(UsrReader, FirstReleaseLayouts) {
  const std::string twoHundred = TrailRecord("A", 200);
  const std::string twoHundredOne = TrailRecord("BB", 201);
  const std::vector<LayoutCase> cases = {
      {"no way points: the trail count at 34", UsrHead({}, 1) + TrailRecord("A", 1), std::nullopt, 0,
       {{"A", 1, 36 + 4 + 1 + 7}}},
      {"way points of 32 + N bytes", UsrHead({"", "Tower"}, 1) + TrailRecord("A", 1), std::nullopt, 2,
       {{"A", 1, 6 + 32 + 37 + 28 + 2 + 4 + 1 + 7}}},
      {"no trails", UsrHead({"x"}, 0), std::nullopt, 1, {}},
      {"200 points, then 201 with a separator before record 200",
       UsrHead({}, 3) + twoHundred + twoHundredOne + TrailRecord("C", 1),
       std::nullopt,
       0,
       {{"A", 200, 36 + 12},
        {"BB", 201, 36 + (4 + 1 + 1 + 2 + 4 + 1800) + 13},
        {"C", 1, 36 + 1812 + (4 + 2 + 1 + 2 + 4 + 1800 + 2 + 9) + 12}}},
      {"zero bytes inside a name", UsrHead({}, 2) + TrailRecord(std::string_view("ab\0cd\0e", 7), 1) + TrailRecord("E", 1),
       std::nullopt, 0, {{"ab", 1, 36 + 18}, {"E", 1, 36 + 27 + 12}}},
      {"a trail without points is followed by 2 bytes", UsrHead({}, 2) + TrailRecord("Z", 0) + TrailRecord("A", 2),
       std::nullopt, 0, {{"Z", 0, 0}, {"A", 2, 36 + 10 + 12}}},
      {"bytes after the last trail are not read", UsrHead({}, 1) + TrailRecord("A", 1) + Int32(-1),
       std::nullopt, 0, {{"A", 1, 48}}},
      {"name length 0", UsrHead({}, 1) + Int32(0) + Unused(20), kUsrNoTrailData, 0, {}},
      {"negative name length", UsrHead({}, 1) + Int32(-5) + Unused(20), kUsrNoTrailData, 0, {}},
      {"second trail missing", UsrHead({}, 2) + TrailRecord("A", 1), kUsrNoTrailData, 0, {}},
      {"more way points than the file holds", Int32(2) + Int16(3) + Unused(14) + Int32(1) + "a" + Unused(14),
       kUsrNoTrailData, 0, {}},
      {"name running past the end, then another trail", UsrHead({}, 2) + Int32(100) + "abc", kUsrNoTrailData, 0, {}},
      {"empty file", "", kUsrNoTrailData, 0, {}},
      // Only version 2 was read by the first release.
      {"version 3", UsrHead({}, 1, 3) + TrailRecord("A", 1), kUsrNoTrailData, 0, {}},
      {"version 2 of stream 1", UsrHead({}, 1, 0x00010002) + TrailRecord("A", 1), kUsrNoTrailData, 0, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    TrackData track;
    SetPreviousDirectory(track);
    EXPECT_EQ(ReadMessage(track, c.bytes), c.message);
    if (c.message) {
      ExpectPreviousDirectory(track);
    } else {
      ExpectDirectory(track, 2, c.wayPoints, c.trails);
    }
  }
}

// --- Versions 2 and 3 as devices and other programs write them

TEST(UsrReader, DeviceLayouts) {
  const std::string wayPoint = WayPointFields(35.0, 135.0, 0, "A", "");
  const std::string described = WayPointFields(35.0, 135.0, 41, "B", "desc");
  const std::string route = Text("Route") + Int16(2) + Zeros(1) + WayPointFields(35.0, 135.0, 0, "R0", "") +
                            WayPointFields(35.1, 135.1, 0, "R1", "");
  const std::string trail = SectionTrail("T", 35.0, 135.0, {3});
  const std::vector<LayoutCase> cases = {
      // A device's file: empty descriptions, 0 routes and 2 icons, which
      // the first release read as well.
      {"the device layout", DeviceFile(2, {wayPoint}, {}, 2, {trail}), std::nullopt, 1,
       {{"T", 3, 6 + 33 + 2 + 2 + 24 + 2 + 10, UsrLayout::Sections}}},
      {"a description, a route and no icons", DeviceFile(2, {described}, {route}, 0, {trail}), std::nullopt, 1,
       {{"T", 3, 6 + 37 + 2 + 76 + 2 + 2 + 10, UsrLayout::Sections}}},
      // A file that ends inside a trail's points holds no trail after it.
      {"cut inside the second trail", DeviceFile(2, {}, {}, 0, {trail, trail, trail}).substr(0, 80), std::nullopt, 0,
       {{"T", 3, 12 + 10, UsrLayout::Sections}, {"T", 3, 12 + 39 + 10, UsrLayout::Sections}}},
      // Bytes after the trails, as a copy padded to a block leaves them.
      {"padded", DeviceFile(2, {}, {}, 0, {trail}) + std::string(100, '\x1A'), std::nullopt, 0,
       {{"T", 3, 12 + 10, UsrLayout::Sections}}},
      // Damage, in version 3: the first release's reading does not stand in.
      {"a section larger than the trail",
       DeviceFile(3, {}, {}, 0, {Text("T") + "\x01" + Int16(3) + Int16(9999) + Int16(4) + std::string(36, '\0')}),
       kUsrNoTrailData, 0, {}},
      {"a section of no points", DeviceFile(3, {}, {}, 0, {Text("T") + "\x01" + Int16(3) + Int16(9999) + Int16(0)}),
       kUsrNoTrailData, 0, {}},
      {"a negative description length", DeviceFile(3, {Grid(35, 135) + Int32(0) + Text("A") + Int32(-1)}, {}, 0, {}),
       kUsrNoTrailData, 0, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    TrackData track;
    SetPreviousDirectory(track);
    EXPECT_EQ(ReadMessage(track, c.bytes), c.message);
    if (c.message) {
      ExpectPreviousDirectory(track);
    } else {
      ExpectDirectory(track, 2, c.wayPoints, c.trails);
    }
  }
}

TEST(UsrReader, ReadsVersion3AndTheStreamOfIntegerAltitudes) {
  // Version 3 has a depth after each way point; stream 1 stores altitudes
  // as integers (whose bits would read as an ordinary float here).
  const std::string integerAltitude = WayPointFields(35.0, 135.0, 0x42280000, "A", "", true);
  for (const std::uint32_t header : {3u, 0x00010003u}) {
    TrackData track;
    ASSERT_EQ(ReadMessage(track, DeviceFile(header, {integerAltitude}, {}, 0, {SectionTrail("T", 35, 135, {2})})),
              std::nullopt);
    EXPECT_EQ(track.summary.usrVersion, 3);
    ASSERT_EQ(track.wayPoints.size(), 1u);
    EXPECT_EQ(track.wayPoints[0].altitude,
              header == 3u ? 42.0 * 0.3048 : static_cast<double>(0x42280000) * 0.3048);
  }
  // An unknown altitude, stored as about -10000 m, is none.
  TrackData track;
  ASSERT_EQ(ReadMessage(track, DeviceFile(2, {WayPointFields(35.0, 135.0, 0xFFFF7FD8, "A", "")}, {}, 0, {})),
            std::nullopt);
  EXPECT_EQ(track.wayPoints[0].altitude, kNoAltitude);
}

TEST(UsrReader, ReadsTrailsBySectionsWithTheirBreaks) {
  const std::string bytes = DeviceFile(2, {}, {}, 0, {SectionTrail("T", -33.8, -58.3, {150, 50, 7}, {0, 160})});
  const std::vector<TrackPoint> points = TrailPoints(bytes, 0);
  ASSERT_EQ(points.size(), 207u);
  // Anywhere on Earth: south and west negative, by the projection's formula
  // (the grid holds whole metres).
  EXPECT_NEAR(points[0].latitude, -33.8, 0.000005);
  EXPECT_NEAR(points[0].longitude, -58.3, 0.000005);
  EXPECT_NEAR(points[206].latitude, -33.8 + 0.0206, 0.000005);
  // A break on the first point starts nothing new; one inside a section does.
  for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].segmentStart, i == 160) << i;
}

// The detail of a damaged file says what is wrong where, records counted from 1.
TEST(UsrReader, DamageIsToldWithWhereItLies) {
  const std::string trail = SectionTrail("T", 35, 135, {2});
  const struct {
    std::string bytes;
    const char* detail;
  } cases[] = {
      {"", "file.usr: the file ends inside the version"},
      {"\x02\x00", "file.usr: the file ends inside the version"},
      {DeviceFile(3, {WayPointFields(35, 135, 0, "A", "", true)}, {}, 0, {}).substr(0, 20),
       "file.usr: the file ends inside way point record 1 of 1"},
      {DeviceFile(3, {Grid(35, 135) + Int32(0) + Int32(-14)}, {}, 0, {}),
       "file.usr: way point record 1 of 1 has the name length -14"},
      {DeviceFile(3, {}, {Text("R") + Int16(1) + Zeros(1) + Grid(35, 135) + Int32(0) + Text("") + Int32(-2)}, 0, {}),
       "file.usr: route record 1 of 1 has the description length -2"},
      {DeviceFile(3, {}, {}, 0, {trail, Int32(-3)}), "file.usr: trail record 2 of 2 has the name length -3"},
      {DeviceFile(3, {}, {}, 0, {Text("T") + "\x01" + Int16(3) + Int16(9) + Int16(2) + std::string(18, '\0') +
                                   Int16(5)}),
       "file.usr: trail record 1 of 1 has a section of 5 points where 1 are left"},
      // A first release's file that the end cuts: where its reading found it.
      {ReadFileBytes(DataPath("usr/truncated.usr")), "file.usr: the file ends inside trail record 2 of 3"},
      {Int32(2) + Int16(0) + Zeros(28) + Int16(1) + Int32(0x7FFFFFFF) + "abc",
       "file.usr: trail record 1 of 1 has its points beyond 2 GB"},
  };
  for (const auto& c : cases) {
    TrackData track;
    const std::optional<Failure> failure = ReadFailure(track, c.bytes);
    ASSERT_TRUE(failure) << c.detail;
    EXPECT_EQ(failure->message.detail, c.detail);
  }
}

// --- Version 4 and later

TEST(UsrReader, ReadsVersion4AndVersions5And6WhereTheirLayoutIsKnown) {
  const std::vector<V4Point> walk = {{1714699200, 47.37, 8.54}, {1714699205, 47.3701, 8.5402}};
  for (const std::uint32_t version : {4u, 5u, 6u}) {
    SCOPED_TRACE(version);
    const std::string bytes = Version4File(version, walk);
    TrackData track;
    ASSERT_EQ(ReadMessage(track, bytes), std::nullopt);
    EXPECT_EQ(track.summary.usrVersion, static_cast<std::int32_t>(version));
    ASSERT_EQ(track.summary.trails.size(), 1u);
    EXPECT_EQ(track.summary.trails[0].name, "Rundweg ü歩");
    const std::vector<TrackPoint> points = TrailPoints(bytes, 0);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[1].latitude, 47.3701, 1e-12);
    EXPECT_NEAR(points[1].longitude, 8.5402, 1e-12);
    EXPECT_EQ(points[1].time, 1714699205);
    EXPECT_EQ(points[1].timeKind, TimeKind::DateAndTime);
  }
  // Their way points and routes are laid out in a way not known here; other
  // versions are not read. The message names the version found.
  TrackData track;
  SetPreviousDirectory(track);
  EXPECT_EQ(ReadMessage(track, Version4File(5, walk, 0, 1)), UsrVersionMessage(5));
  EXPECT_EQ(UsrVersionMessage(5), "usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝ5は読めません\nﾊﾞｰｼﾞｮﾝ2～4で書き出して下さい\n");
  EXPECT_EQ(ReadMessage(track, Version4File(7, walk)), UsrVersionMessage(7));
  EXPECT_EQ(ReadMessage(track, Int32(1) + Int16(0)), UsrVersionMessage(1));
  ExpectPreviousDirectory(track);
}

// --- Point records that are no positions, and files that end inside a trail

TEST(UsrTrailPoints, KeepThePointsBeforeARecordThatIsNone) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t kept;
    const char* detail;
  };
  const std::string cutV4 = Version4File(4, {{1, 10, 10}, {2, 10, 10}, {3, 10, 10}});
  const std::string deviceTrail = SectionTrail("T", 35.0, 135.0, {5});
  // An easting beyond 180 degrees of the grid's sphere.
  const std::string offTheEarth = Text("T") + "\x01" + Int16(3) + Int16(9) + Int16(3) + Grid(1, 1) + "\x01" +
                                  Grid(2, 2) + "\x01" + Int32(0) + Int32(0x7FFFFFFF) + "\x01";
  const Case cases[] = {
      {"a device trail that the end cuts", DeviceFile(2, {}, {}, 0, {deviceTrail}).substr(0, 10 + 12 + 2 + 9 * 3 + 4),
       3, "file.usr: the file ends inside point record 4 of 5"},
      {"a longitude beyond 180 degrees", DeviceFile(2, {}, {}, 0, {offTheEarth}), 2,
       "file.usr: point record 3 of 3 is no position"},
      {"a version-4 trail that the end cuts", cutV4.substr(0, cutV4.size() - 10), 2,
       "file.usr: the file ends inside point record 3 of 3"},
      {"a version-4 latitude that is not a number", Version4File(4, {{1, 10, 10}, {2, std::nan(""), 10}}), 1,
       "file.usr: point record 2 of 2 is no position"},
      {"a version-4 latitude beyond 90 degrees", Version4File(4, {{1, 90.5, 10}}), 0,
       "file.usr: point record 1 of 1 is no position"},
      // A damaged count claims far more points than the file holds: room is
      // made for what the file can hold only.
      {"a version-4 trail claiming 2^31 - 1 points", Version4File(4, {{1, 10, 10}}, 0x7FFFFFFF), 1,
       "file.usr: the file ends inside point record 2 of 2147483647"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<Message> message;
    const std::vector<TrackPoint> points = TrailPoints(c.bytes, 0, &message);
    EXPECT_EQ(points.size(), c.kept);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, kDataErrorMessage);
    EXPECT_EQ(message->detail, c.detail);
  }
}

TEST(UsrReader, AFileThatCannotBeReadCannotBeOpened) {
  const TempDir dir;
  Result<FileSource> folder = OpenFileSource(dir.Path());
  ASSERT_TRUE(folder);
  TrackData track;
  SetPreviousDirectory(track);
  const Result<void> read = ReadUsrFile(track, *folder);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().message.text, kUsrCannotOpen);
  EXPECT_EQ(read.error().message.detail, dir.Path() + ": Is a directory");
  ExpectPreviousDirectory(track);
}

TEST(UsrReader, ReplacesTheDirectoryAndLeavesThePoints) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(4));
  ASSERT_EQ(ReadMessage(track, ReadFileBytes(DataPath("usr/three-trails.usr"))), std::nullopt);
  ASSERT_EQ(ReadMessage(track, ReadFileBytes(DataPath("usr/out-of-range.usr"))), std::nullopt);
  ExpectDirectory(track, 2, 0, {{"Bad", 10, 50}});
  EXPECT_TRUE(track.wayPoints.empty());
  EXPECT_EQ(track.pointCount, 4);
  EXPECT_EQ(track.points.size(), 4u);
}

// Every cut of every fixture either reads or fails with the reader's
// message of damage.
TEST(UsrReader, EveryPrefixOfEveryFixture) {
  for (const char* folder : {"usr", "usr-world"}) {
    for (const auto& entry : std::filesystem::directory_iterator(DataPath(folder))) {
      if (!entry.is_regular_file()) continue;
      const std::string whole = ReadFileBytes(entry.path().string());
      for (std::size_t size = whole.size() + 1; size-- > 0;) {
        TrackData track;
        const std::optional<std::string> result = ReadMessage(track, std::string_view(whole).substr(0, size));
        ASSERT_TRUE(!result || *result == kUsrNoTrailData) << entry.path().filename() << " cut at " << size;
      }
    }
  }
}

}  // namespace
}  // namespace kestrel
