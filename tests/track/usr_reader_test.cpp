#include "track/usr_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::ReadFileBytes;
using test::TempDir;

struct Trail {
  std::string name;
  std::int32_t pointCount;
  std::int32_t dataOffset;  // 0 for a trail without points
};

std::string Int16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string Int32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return Int16(static_cast<std::uint16_t>(u & 0xFFFF)) + Int16(static_cast<std::uint16_t>(u >> 16));
}

// Bytes the reader must not look at.
std::string Unused(std::size_t n) { return std::string(n, '\xA5'); }

// Header, way points with the given texts, and the trail count.
std::string UsrHead(const std::vector<std::string>& wayPointTexts, std::uint16_t trailCount,
                    std::int32_t version = 2) {
  std::string bytes = Int32(version) + Int16(static_cast<std::uint16_t>(wayPointTexts.size()));
  for (const std::string& text : wayPointTexts) {
    bytes += Unused(14) + Int32(static_cast<std::int32_t>(text.size())) + text + Unused(14);
  }
  return bytes + Unused(28) + Int16(trailCount);
}

// A trail record of the given name bytes and point count, with 2-byte
// separators before records 200, 400, ...
std::string TrailRecord(std::string_view name, std::uint16_t points) {
  std::string bytes = Int32(static_cast<std::int32_t>(name.size())) + std::string(name) + Unused(1) + Int16(points);
  if (points == 0) return bytes + Unused(2);
  bytes += Unused(4);
  for (int j = 0; j < points; ++j) {
    if (j > 0 && j % 200 == 0) bytes += Unused(2);
    bytes += Int32(3491803 + j) + Int32(14423013 + j) + Unused(1);
  }
  return bytes;
}

void ExpectDirectory(const TrackData& track, std::int32_t wayPoints, const std::vector<Trail>& expected) {
  const TrackSummary& directory = track.summary;
  EXPECT_EQ(directory.usrVersion, 2);
  EXPECT_EQ(directory.wayPointCount, wayPoints);
  EXPECT_EQ(directory.trailCount, static_cast<std::int32_t>(expected.size()));
  ASSERT_EQ(directory.trails.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("trail " + std::to_string(i));
    EXPECT_EQ(directory.trails[i].name, expected[i].name);
    EXPECT_EQ(directory.trails[i].pointCount, expected[i].pointCount);
    EXPECT_EQ(directory.trails[i].dataOffset, expected[i].dataOffset);
  }
}

// A directory that no reader would produce, to see whether a failed read kept it.
void SetPreviousDirectory(TrackData& track) {
  track.summary.SetUsrInfo(2, 7, 1, {TrailEntry{99, 5, "Before"}});
}

void ExpectPreviousDirectory(const TrackData& track) { ExpectDirectory(track, 7, {{"Before", 5, 99}}); }

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
       {{"TrailA", 450, 117 + 4 + 6 + 7},
        {"Second", 201, 4188 + 4 + 6 + 7},
        {"\x93\x8C\x8B\x9E\x8E\x55\x95\xE0", 3, 6016 + 4 + 8 + 7}}},
      {"names.usr",
       std::nullopt,
       0,
       {{"Run", 20, 36 + 14},
        {"run", 5, 230 + 14},
        {"\x82\x71\x82\x74\x82\x6D", 6, 289 + 17},
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
      {"version3.usr", kUsrWrongVersion, 0, {}},
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
      ExpectDirectory(track, c.wayPoints, c.trails);
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

TEST(UsrReader, Layouts) {
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
      // Moving back by the length would land on a readable trail list here.
      {"negative way point text length", Int32(2) + Int16(1) + Unused(14) + Int32(-14) + Unused(28) + Int16(1) +
           TrailRecord("A", 1),
       kUsrNoTrailData, 0, {}},
      {"more way points than the file holds", Int32(2) + Int16(3) + Unused(14) + Int32(1) + "a" + Unused(14),
       kUsrNoTrailData, 0, {}},
      {"name running past the end, then another trail", UsrHead({}, 2) + Int32(100) + "abc", kUsrNoTrailData, 0, {}},
      // Only a name length near 2^31 can carry a trail's points past what a
      // 32-bit file position holds.
      {"name length 2^31 - 1", UsrHead({}, 1) + Int32(0x7FFFFFFF) + "abc", kUsrNoTrailData, 0, {}},
      {"empty file", "", kUsrWrongVersion, 0, {}},
      {"version 1", UsrHead({}, 1, 1) + TrailRecord("A", 1), kUsrWrongVersion, 0, {}},
      {"version 3", UsrHead({}, 1, 3) + TrailRecord("A", 1), kUsrWrongVersion, 0, {}},
      {"version in the high bytes", UsrHead({}, 1, 0x00010002) + TrailRecord("A", 1), kUsrWrongVersion, 0, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    TrackData track;
    SetPreviousDirectory(track);
    EXPECT_EQ(ReadMessage(track, c.bytes), c.message);
    if (c.message) {
      ExpectPreviousDirectory(track);
    } else {
      ExpectDirectory(track, c.wayPoints, c.trails);
    }
  }
}

// The detail of a damaged file says what is wrong where, records counted from 1.
TEST(UsrReader, DamageIsToldWithWhereItLies) {
  const struct {
    std::string bytes;
    const char* detail;
  } cases[] = {
      {"", "file.usr: the file ends inside the version"},
      {UsrHead({}, 1, 3) + TrailRecord("A", 1), "file.usr: version 3"},
      {Int32(2) + Int16(2) + Unused(14) + Int32(1) + "a" + Unused(28) + Int32(-14),
       "file.usr: way point record 2 of 2 has the text length -14"},
      {Int32(2) + Int16(2) + Unused(14) + Int32(1) + "a" + Unused(14), "file.usr: the file ends inside way point record 2 of 2"},
      {UsrHead({}, 3) + TrailRecord("A", 1) + Int32(0), "file.usr: trail record 2 of 3 has the name length 0"},
      {UsrHead({}, 2) + TrailRecord("A", 1), "file.usr: the file ends inside trail record 2 of 2"},
      {UsrHead({}, 1) + Int32(0x7FFFFFFF) + "abc", "file.usr: trail record 1 of 1 has its points beyond 2 GB"},
  };
  for (const auto& c : cases) {
    TrackData track;
    const std::optional<Failure> failure = ReadFailure(track, c.bytes);
    ASSERT_TRUE(failure) << c.detail;
    EXPECT_EQ(failure->message.detail, c.detail);
  }
}

TEST(UsrReader, LastNameRunningPastTheEndKeepsTheBytesThere) {
  const std::string bytes = UsrHead({}, 1) + Int32(100) + std::string("ab\xFF", 3);
  TrackData track;
  ASSERT_EQ(ReadMessage(track, bytes), std::nullopt);
  ASSERT_EQ(track.summary.trails.size(), 1u);
  EXPECT_EQ(track.summary.trails[0].name, "ab\xFF");
  EXPECT_EQ(track.summary.trails[0].pointCount, 65535);  // read past the end
  EXPECT_GT(track.summary.trails[0].dataOffset, static_cast<std::int32_t>(bytes.size()));
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
  ExpectDirectory(track, 0, {{"Bad", 10, 50}});
  EXPECT_EQ(track.pointCount, 4);
  EXPECT_EQ(track.points.size(), 4u);
}

// Every cut of every fixture either reads or fails with one of the reader's
// messages.
TEST(UsrReader, EveryPrefixOfEveryFixture) {
  const std::vector<std::optional<std::string>> allowed = {std::nullopt, kUsrWrongVersion, kUsrNoTrailData};
  for (const auto& entry : std::filesystem::directory_iterator(DataPath("usr"))) {
    const std::string whole = ReadFileBytes(entry.path().string());
    for (std::size_t size = whole.size() + 1; size-- > 0;) {
      TrackData track;
      const std::optional<std::string> result = ReadMessage(track, std::string_view(whole).substr(0, size));
      ASSERT_NE(std::find(allowed.begin(), allowed.end(), result), allowed.end())
          << entry.path().filename() << " cut at " << size;
    }
  }
}

}  // namespace
}  // namespace kestrel
