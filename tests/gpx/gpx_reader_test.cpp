// The GPX reader: the listing of tracks, routes and way points, the points of
// the chosen track, GPX 1.0 and files without a namespace, the dateTime
// texts, damaged and hostile files, and a track written by the GPX writer
// read back.

#include "gpx/gpx_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/memory_limit.h"
#include "support/test_support.h"
#include "support/written_text.h"
#include "writers/gpx_writer.h"

namespace kestrel {

// Points are compared field by field (the padding of the struct is no field).
bool operator==(const TrackPoint& a, const TrackPoint& b) {
  return a.latitude == b.latitude && a.longitude == b.longitude && a.altitude == b.altitude && a.time == b.time &&
         a.timeKind == b.timeKind && a.segmentStart == b.segmentStart;
}
void PrintTo(const TrackPoint& p, std::ostream* os) {
  *os << "{" << p.latitude << ", " << p.longitude << ", " << p.altitude << ", " << p.time << ", "
      << static_cast<int>(p.timeKind) << ", " << p.segmentStart << "}";
}

namespace {

Result<GpxContents> Read(std::string_view text, std::optional<std::int32_t> chosen = std::nullopt,
                         std::span<TrackPoint> points = {}) {
  MemorySource source(text, "walk.gpx");
  return ReadGpx(source, chosen, points);
}

// The points of the track at a position: listed first, then read.
std::vector<TrackPoint> ReadTrack(std::string_view text, std::int32_t position) {
  const Result<GpxContents> listing = Read(text);
  EXPECT_TRUE(listing) << (listing ? "" : listing.error().message.detail);
  if (!listing) return {};
  std::vector<TrackPoint> points(static_cast<std::size_t>(listing->tracks.at(position).pointCount));
  const Result<GpxContents> read = Read(text, position, points);
  EXPECT_TRUE(read) << (read ? "" : read.error().message.detail);
  return points;
}


constexpr std::string_view kFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1"
     xmlns:x="http://example.com/extensions">
  <metadata><name>not a track</name><time>2024-05-03T00:00:00Z</time></metadata>
  <wpt lat="35.5" lon="139.25"><ele>12.5</ele><time>2024-05-03T01:00:00Z</time>
    <name>Tea &amp; &lt;cake&gt;</name><cmt>comment</cmt><desc>二階</desc><sym>Flag</sym></wpt>
  <wpt lat="-33.9" lon="-151.2"><name><![CDATA[a<b]]></name></wpt>
  <rte><name>way</name><rtept lat="1" lon="2"/><rtept lat="3" lon="4"><ele>-5</ele></rtept></rte>
  <trk>
    <name>morning</name>
    <trkseg>
      <trkpt lat="35.1" lon="139.1"><ele>10</ele><time>2024-05-03T01:20:00Z</time>
        <extensions><x:ele>999</x:ele><x:time>bad</x:time></extensions></trkpt>
      <trkpt lat=" +35.2 " lon="139.2"><time>2024-05-03T10:20:05.75+09:00</time></trkpt>
    </trkseg>
    <trkseg/>
    <trkseg>
      <trkpt lat="35.3" lon="139.3"><ele>1.5e1</ele></trkpt>
    </trkseg>
  </trk>
  <trk><trkseg><trkpt lat="0" lon="0"/></trkseg></trk>
  <x:trk><trkseg><trkpt lat="9" lon="9"/></trkseg></x:trk>
</gpx>
)";

TEST(ReadGpx, ListsTracksRoutesAndWayPoints) {
  const Result<GpxContents> contents = Read(kFile);
  ASSERT_TRUE(contents) << contents.error().message.detail;
  EXPECT_EQ(contents->tracks, (std::vector<GpxTrackEntry>{{"way", 2, true}, {"morning", 3, false}, {"", 1, false}}));
  ASSERT_EQ(contents->wayPoints.size(), 2u);
  const WayPoint& tea = contents->wayPoints[0];
  EXPECT_EQ(tea.name, "Tea & <cake>");
  EXPECT_EQ(tea.description, "二階");
  EXPECT_EQ(tea.latitude, 35.5);
  EXPECT_EQ(tea.longitude, 139.25);
  EXPECT_EQ(tea.altitude, 12.5);
  EXPECT_EQ(tea.time, 1714698000);
  EXPECT_EQ(tea.timeKind, TimeKind::DateAndTime);
  const WayPoint& south = contents->wayPoints[1];
  EXPECT_EQ(south.name, "a<b");
  EXPECT_EQ(south.latitude, -33.9);
  EXPECT_EQ(south.altitude, kNoAltitude);
  EXPECT_EQ(south.timeKind, TimeKind::None);
}

TEST(ReadGpx, ReadsTheChosenTrackWithItsSegmentsAltitudesAndTimes) {
  EXPECT_EQ(ReadTrack(kFile, 1), (std::vector<TrackPoint>{
                                     {35.1, 139.1, 10.0, 1714699200, TimeKind::DateAndTime, false},
                                     {35.2, 139.2, kNoAltitude, 1714699205, TimeKind::DateAndTime, false},
                                     {35.3, 139.3, 15.0, 0, TimeKind::None, true},
                                 }));
  EXPECT_EQ(ReadTrack(kFile, 0), (std::vector<TrackPoint>{{1, 2}, {3, 4, -5.0}}));
}

TEST(ReadGpx, ReadsGpx10AndFilesWithoutANamespace) {
  for (const char* root : {R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0">)", "<gpx>"}) {
    const std::string text = std::string(root) +
                             "<trk><name>a</name><trkseg><trkpt lat=\"1\" lon=\"2\"><ele>3</ele>"
                             "<time>2001-02-03T04:05:06Z</time></trkpt></trkseg></trk></gpx>";
    EXPECT_EQ(ReadTrack(text, 0), (std::vector<TrackPoint>{{1, 2, 3, 981173106, TimeKind::DateAndTime}})) << root;
  }
}

TEST(ReadUtcDateTime, ReadsXmlSchemaDateTimes) {
  const struct {
    const char* text;
    std::optional<std::int32_t> time;
  } cases[] = {
      {"2024-05-03T01:20:00Z", 1714699200},
      {" 2024-05-03T01:20:00.999Z\n", 1714699200},
      {"2024-05-03T01:20:00", 1714699200},
      {"2024-05-03T10:50:00+09:30", 1714699200},
      {"2024-05-02T20:20:00-05:00", 1714699200},
      {"2024-02-29T00:00:00Z", 1709164800},
      {"1970-01-01T00:00:00Z", 0},
      {"1901-12-13T20:45:52Z", -2147483648},
      {"2038-01-19T03:14:07Z", 2147483647},
      {"2038-01-19T03:14:08Z", std::nullopt},
      {"2023-02-29T00:00:00Z", std::nullopt},
      {"2024-13-01T00:00:00Z", std::nullopt},
      {"2024-05-03 01:20:00Z", std::nullopt},
      {"2024-05-03T24:00:00Z", std::nullopt},
      {"2024-05-03T01:20:00.Z", std::nullopt},
      {"2024-05-03T01:20:00+9:00", std::nullopt},
      {"2024-05-03T01:20Z", std::nullopt},
      {"24-05-03T01:20:00Z", std::nullopt},
      {"2024-05-03T01:20:00Zjunk", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadUtcDateTime(c.text), c.time) << c.text;
}

// Bytes made while they are read, so that a huge file takes no memory of
// the test: a head, a byte repeated, a tail.
class RepeatedSource final : public ByteSource {
 public:
  RepeatedSource(std::string head, char repeated, std::int64_t count, std::string tail)
      : ByteSource("big.gpx"), head_(std::move(head)), tail_(std::move(tail)), repeated_(repeated), count_(count) {}
  std::int64_t Size() const override {
    return static_cast<std::int64_t>(head_.size() + tail_.size()) + count_;
  }
  ReadCount Read(char* out, std::size_t n) override {
    std::size_t done = 0;
    while (done < n && position_ < Size()) {
      const auto head = static_cast<std::int64_t>(head_.size());
      if (position_ < head) {
        out[done] = head_[static_cast<std::size_t>(position_)];
      } else if (position_ < head + count_) {
        out[done] = repeated_;
      } else {
        out[done] = tail_[static_cast<std::size_t>(position_ - head - count_)];
      }
      ++done;
      ++position_;
    }
    return {done, 0};
  }
  int Seek(std::int64_t position) override {
    position_ = position;
    return 0;
  }

 private:
  std::string head_, tail_;
  char repeated_;
  std::int64_t count_;
  std::int64_t position_ = 0;
};

TEST(ReadGpx, RefusesDamagedFilesSayingWhere) {
  const std::string head = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
  const struct {
    std::string text;
    const char* detail;
  } cases[] = {
      {"", "walk.gpx: line 1: no element found"},
      {head + "<trkpt lat=\"1\" lon=\"2\"></trkpt>\n<trkpt lat=\"1\"", "walk.gpx: line 4: unclosed token"},
      {head + "<trkpt lat=\"1\" lon=\"2\"></trk>", "walk.gpx: line 3: mismatched tag"},
      {head + "<trkpt lat=\"1\" lon=\"2\"/>\n", "walk.gpx: line 4: no element found"},
      {"<?xml version=\"1.0\"?>\n<kml><Document/></kml>", "walk.gpx: line 2: the file is no GPX file: its first element is kml"},
      {"<gpx>" + std::string(300, ' ') + std::string(300, '<') + "a>",
       "walk.gpx: line 1: not well-formed (invalid token)"},
  };
  for (const auto& c : cases) {
    const Result<GpxContents> contents = Read(c.text);
    ASSERT_FALSE(contents) << c.text;
    EXPECT_EQ(contents.error().message.text, kGpxDamagedMessage);
    EXPECT_EQ(contents.error().message.detail, c.detail) << c.text;
  }
}

TEST(ReadGpx, RefusesHostileFilesWithoutTheirMemory) {
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n <!ENTITY a \"hahahahahahahahahaha\">\n"
      " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n"
      "<gpx><wpt lat=\"1\" lon=\"2\"><name>&c;&c;&c;&c;</name></wpt></gpx>";
  const std::int64_t k50MB = std::int64_t{50} << 20;
  std::string nested;
  for (int i = 0; i < 1000; ++i) nested += "<a>";
  struct Case {
    RepeatedSource source;
    const char* detail;
  };
  Case cases[] = {
      {{laughs, ' ', 0, ""}, "big.gpx: line 3: the file declares an entity, which GPX does not use"},
      {{"<gpx>\n<trk name=\"", 'x', k50MB, "\"/></gpx>"}, "big.gpx: line 2: a tag or comment longer than 1 MB"},
      {{"<gpx>\n<!--", 'x', k50MB, "--></gpx>"}, "big.gpx: line 2: a tag or comment longer than 1 MB"},
      {{"<gpx>\n<wpt lat=\"1\" lon=\"2\"><desc>", 'x', k50MB, "</desc></wpt></gpx>"},
       "big.gpx: line 2: a text longer than 1 MB"},
      {{"<gpx>\n<extensions>", '\n', 0, nested},
       "big.gpx: line 2: elements nested deeper than 256"},
  };
  for (Case& c : cases) {
    const test::ScopedMemoryLimit limit(std::size_t{24} << 20);
    const Result<GpxContents> contents = ReadGpx(c.source);
    ASSERT_FALSE(contents) << c.detail;
    EXPECT_EQ(contents.error().message.text, kGpxDamagedMessage);
    EXPECT_EQ(contents.error().message.detail, c.detail);
  }
}

// A point or way point whose position, ele or time is unusable is left out
// and counted; the points around it are read.
TEST(ReadGpx, LeavesOutAndCountsPointsWithUnusableValues) {
  const std::string text =
      "<gpx><wpt lat=\"1\" lon=\"2\"><ele>x</ele></wpt><wpt lat=\"1\" lon=\"2\"><name>ok</name></wpt>"
      "<trk><trkseg><trkpt lat=\"91\" lon=\"2\"/><trkpt lat=\"nan\" lon=\"2\"/><trkpt lat=\"1\" lon=\"2,5\"/>"
      "<trkpt lat=\"1\"/><trkpt lat=\"1\" lon=\"2\"><ele>high</ele></trkpt>"
      "<trkpt lat=\"3\" lon=\"4\"/><trkpt lat=\"1\" lon=\"2\"><time>yesterday</time></trkpt></trkseg>"
      "<trkseg><trkpt lat=\"1\" lon=\"-180.5\"/><trkpt lat=\"5\" lon=\"6\"/></trkseg></trk></gpx>";
  const Result<GpxContents> contents = Read(text);
  ASSERT_TRUE(contents) << contents.error().message.detail;
  ASSERT_EQ(contents->tracks.size(), 1u);
  EXPECT_EQ(contents->tracks[0].pointCount, 2);
  EXPECT_EQ(contents->tracks[0].skippedPoints, 7);
  EXPECT_EQ(contents->skippedWayPoints, 1);
  ASSERT_EQ(contents->wayPoints.size(), 1u);
  EXPECT_EQ(contents->wayPoints[0].name, "ok");
  EXPECT_EQ(ReadTrack(text, 0), (std::vector<TrackPoint>{{3, 4}, {5, 6, kNoAltitude, 0, TimeKind::None, true}}));
}

// The listing keeps the points of a file's only track where they fit in the
// room given, and none of a file of several tracks.
TEST(ListGpx, KeepsThePointsOfTheOnlyTrackThatFit) {
  const std::string one = "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/><trkpt lat=\"3\" lon=\"4\"/></trkseg></trk>";
  const struct {
    std::string text;
    std::size_t room;
    std::vector<TrackPoint> kept;
  } cases[] = {
      {one + "</gpx>", 2, {{1, 2}, {3, 4}}},
      {one + "</gpx>", 1, {}},
      {one + "<rte><rtept lat=\"5\" lon=\"6\"/></rte></gpx>", 2, {}},
  };
  for (const auto& c : cases) {
    MemorySource source(c.text, "walk.gpx");
    std::vector<TrackPoint> only;
    only.reserve(c.room);
    ASSERT_TRUE(ListGpx(source, only)) << c.text;
    EXPECT_EQ(only, c.kept) << c.text << " " << c.room;
    EXPECT_LE(only.capacity(), c.room);
  }
}

TEST(ReadGpx, AFileWithoutATrackListsNone) {
  const Result<GpxContents> contents = Read("<gpx><wpt lat=\"1\" lon=\"2\"><name>here</name></wpt></gpx>");
  ASSERT_TRUE(contents);
  EXPECT_TRUE(contents->tracks.empty());
  EXPECT_EQ(contents->wayPoints.size(), 1u);
}

TEST(ReadGpx, AChosenTrackOfAnotherCountFailsAsChanged) {
  std::vector<TrackPoint> points(2);
  const Result<GpxContents> fewer = Read(kFile, 1, points);
  ASSERT_FALSE(fewer);
  EXPECT_EQ(fewer.error().message.detail, "walk.gpx: line 18: the file has changed");
  points.resize(4);
  const Result<GpxContents> more = Read(kFile, 1, points);
  ASSERT_FALSE(more);
  EXPECT_EQ(more.error().message.detail, "walk.gpx: the file has changed");
}

TEST(ReadGpx, StopsWhenTheProgressSaysSo) {
  RepeatedSource source("<gpx>", ' ', std::int64_t{4} << 20, "</gpx>");
  int reports = 0;
  const Result<GpxContents> contents =
      ReadGpx(source, std::nullopt, {}, [&reports](std::int64_t, std::int64_t) { return ++reports < 3; });
  ASSERT_FALSE(contents);
  EXPECT_TRUE(contents.error().cancelled);
  EXPECT_EQ(reports, 3);
}

// A track written as GPX comes back with the same points, segments and
// times: positions to the 8 decimals written, altitudes to 3.
TEST(ReadGpx, ReadsBackWhatTheGpxWriterWrote) {
  std::vector<TrackPoint> written = {
      {35.66872333333334, 139.76131500000002, 45.3, 1236256519, TimeKind::DateAndTime},
      {-33.8567844, -151.2152967, kNoAltitude, 1236256520, TimeKind::DateAndTime},
      {0.000000004, -0.000000004, -12.25, 0, TimeKind::None, true},
      {89.99999999, 179.99999999, 8848.86, -1, TimeKind::DateAndTime},
      {1.0, 2.0, 3.0, 5, TimeKind::TimeOfDay, true},
  };
  TrackData track = test::TrackOf(written);
  const std::string text = test::WrittenText(WriteGpxTrack, track, {});
  const std::vector<TrackPoint> read = ReadTrack(text, 0);
  ASSERT_EQ(read.size(), written.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_NEAR(read[i].latitude, written[i].latitude, 0.5e-8) << i;
    EXPECT_NEAR(read[i].longitude, written[i].longitude, 0.5e-8) << i;
    EXPECT_NEAR(read[i].altitude, written[i].altitude, 0.5e-3) << i;
    // A time of day alone is no time in GPX.
    const bool dated = written[i].timeKind == TimeKind::DateAndTime;
    EXPECT_EQ(read[i].timeKind, dated ? TimeKind::DateAndTime : TimeKind::None) << i;
    EXPECT_EQ(read[i].time, dated ? written[i].time : 0) << i;
    EXPECT_EQ(read[i].segmentStart, written[i].segmentStart) << i;
  }
}

}  // namespace
}  // namespace kestrel
