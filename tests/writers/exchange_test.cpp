// The formats other programs exchange tracks in (GPX, KML, GeoJSON) byte for
// byte, the texts they escape, and the smoothing of altitudes they write.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "support/written_text.h"
#include "writers/exchange_track.h"
#include "writers/geojson_writer.h"
#include "writers/gpx_writer.h"
#include "writers/kml_writer.h"
#include "writers/markup_text.h"

namespace kestrel {
namespace {

// Every format on two tracks: the segmented one (all times known, way
// points; KML's gx:MultiTrack, GeoJSON's MultiLineString with coordTimes)
// and one segment without all its times, thinned and smoothed (a LineString,
// no coordTimes, no time where a point has none, no altitude where the
// smoothing met none).
TEST(ExchangeWriters, WriteTheExpectedBytes) {
  TrackData plain = test::TrackOf({
      {35.1, 139.1, 10.0, 1714699200, TimeKind::DateAndTime},
      {35.2, 139.2, kNoAltitude, 1714699205, TimeKind::DateAndTime},
      {35.3, 139.3, 20.0, 45, TimeKind::TimeOfDay},
      {35.4, 139.4, 40.0},
      {35.5, 139.5, 50.0, 1714699220, TimeKind::DateAndTime},
      {35.6, 139.6, 60.0, 1714699225, TimeKind::DateAndTime},
  });
  plain.name = "plain";
  const std::pair<const char*, test::TrackWriter> writers[] = {
      {"gpx", WriteGpxTrack}, {"kml", WriteKmlTrack}, {"geojson", WriteGeoJsonTrack}};
  for (const auto& [extension, writer] : writers) {
    const std::string ext = extension;
    test::ExpectMatchesGolden(test::WrittenText(writer, test::SegmentedTrack(), {}), "writers/segments." + ext);
    // 5 of the 6 points, smoothed.
    test::ExpectMatchesGolden(test::WrittenText(writer, plain, {5.0 / 6.0, true}), "writers/plain-smooth." + ext);
  }
}

TEST(ExchangeTrack, AMissingAltitudeTakesNoPartInSmoothing) {
  const TrackData track = test::TrackOf({{0, 0, 10.0}, {0, 0, kNoAltitude}, {0, 0, 20.0}, {0, 0, 40.0}, {0, 0, 50.0}});
  const Result<ExchangeTrack> exchange = MakeExchangeTrack(track, {1.0, true});
  ASSERT_TRUE(exchange);
  std::vector<double> altitudes;
  for (const TrackPoint& point : exchange->points) altitudes.push_back(point.altitude);
  // (40 + 20) / 2, then (30 + 50 + 40) / 3.
  EXPECT_EQ(altitudes, (std::vector<double>{10.0, kNoAltitude, 30.0, 40.0, 50.0}));
}

TEST(MarkupText, EscapesWhatEachFormatCannotHoldAndReplacesWhatNoneCan) {
  const struct {
    std::string text;
    const char* xml;
    const char* json;
  } cases[] = {
      {"a&b<c>d\"e'f\\g", "a&amp;b&lt;c&gt;d&quot;e'f\\g", R"("a&b<c>d\"e'f\\g")"},
      {"tab\tline\ncr\r", "tab\tline\ncr\xEF\xBF\xBD", R"("tab\tline\ncr\r")"},
      {std::string("nul\0\x01\x1F\x7F", 7), "nul\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\x7F",
       "\"nul\\u0000\\u0001\\u001f\x7F\""},
      {"東京 \xF0\x9F\x97\xBC", "東京 \xF0\x9F\x97\xBC", "\"東京 \xF0\x9F\x97\xBC\""},
      // Not UTF-8: a lone continuation byte, a code page 932 byte pair, an
      // overlong "/", a surrogate, a character cut short.
      {"\x80|\x93\x8C|\xC0\xAF|\xED\xA0\x80|\xE6\x9D",
       "\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
       "\xEF\xBF\xBD\xEF\xBF\xBD",
       "\"\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
       "\xEF\xBF\xBD\xEF\xBF\xBD\""},
      // XML 1.0 has no U+FFFE; JSON has.
      {"\xEF\xBF\xBE", "\xEF\xBF\xBD", "\"\xEF\xBF\xBE\""},
  };
  for (const auto& c : cases) {
    std::string xml, json;
    AppendXmlText(xml, c.text);
    AppendJsonString(json, c.text);
    EXPECT_EQ(xml, c.xml) << c.text;
    EXPECT_EQ(json, c.json) << c.text;
  }
}

}  // namespace
}  // namespace kestrel
