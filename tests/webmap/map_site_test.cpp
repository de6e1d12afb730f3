// The map site as the output command writes it: golden sites for the
// settings that change it, and the point list and parameter block.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/number_format.h"
#include "support/test_support.h"
#include "webmap/map_output.h"
#include "webmap/map_script.h"
#include "webmap/site_templates.h"
#include "webmap/test_tracks.h"

namespace kestrel {
namespace {

using test::ReadFileBytes;
using test::TempDir;

struct SiteCase {
  const char* name;  // golden files tests/data/webmap/<name>/track.html.golden and track.js.golden
  std::function<TrackData()> track;
  std::function<void(MapRequest&)> change;
};

void PrintTo(const SiteCase& c, std::ostream* os) { *os << c.name; }

TrackData Run20() { return test::FixtureTrack("usr/names.usr", "Run"); }
TrackData Log120() { return test::FixtureTrack("nmea/gga-only.log"); }
// The recording broke before point 10, and before point 12, which 80 %
// drops: the kept point 13 starts that segment. The browser tests run the
// golden script.
TrackData Run20WithBreaks() {
  TrackData track = Run20();
  track.points[10].segmentStart = track.points[12].segmentStart = true;
  return track;
}

class MapSite : public testing::TestWithParam<SiteCase> {};

TEST_P(MapSite, MatchesTheGoldenSite) {
  const SiteCase& c = GetParam();
  const TrackData track = c.track();
  MapRequest request;
  request.settings.sameName = true;
  // The page on the map service; the pages on tiles are the tile map tests'.
  request.settings.service = MapService::Google;
  c.change(request);
  TempDir folder;
  test::ScriptedShell shell;
  ASSERT_TRUE(RunMapOutput(request, track, folder.Path("track.usr"), shell));
  EXPECT_EQ(shell.shown,
            (std::vector<test::ScriptedShell::Shown>{
                {test::ScriptedShell::Shown::Kind::Message, "変換終了    ", MessageIcon::Information, {}}}));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"track.css", "track.html", "track.js"}));
  const std::string golden = std::string("webmap/") + c.name + "/";
  test::ExpectMatchesGolden(ReadFileBytes(folder.Path("track.html")), golden + "track.html.golden");
  test::ExpectMatchesGolden(ReadFileBytes(folder.Path("track.js")), golden + "track.js.golden");
  // The style sheet is the same for every site.
  test::ExpectMatchesGolden(ReadFileBytes(folder.Path("track.css")), "webmap/track.css.golden");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MapSite,
    testing::Values(SiteCase{"tail-replay", Run20, [](MapRequest&) {}},
                    SiteCase{"draw-replay", Run20, [](MapRequest& r) { r.settings.keepTrail = true; }},
                    SiteCase{"no-replay", Run20, [](MapRequest& r) { r.settings.routeReplay = false; }},
                    // The trail option only chooses a start button; without replay there is none.
                    SiteCase{"no-replay-keep-trail", Run20,
                             [](MapRequest& r) {
                               r.settings.routeReplay = false;
                               r.settings.keepTrail = true;
                             }},
                    SiteCase{"no-overview", Run20, [](MapRequest& r) { r.settings.overviewControl = false; }},
                    SiteCase{"no-replay-no-overview", Run20,
                             [](MapRequest& r) {
                               r.settings.routeReplay = false;
                               r.settings.overviewControl = false;
                             }},
                    SiteCase{"opaque", Run20, [](MapRequest& r) { r.settings.transparency = false; }},
                    // (0, 128, 255), widest line, transparency on: the chosen colour is written.
                    SiteCase{"colour-width", Run20,
                             [](MapRequest& r) {
                               r.settings.chosenColor = 0xFF8000;
                               r.settings.widthIndex = 0;
                             }},
                    SiteCase{"smoothing", Run20, [](MapRequest& r) { r.settings.smoothing = true; }},
                    SiteCase{"rate-30", Log120, [](MapRequest& r) { r.thinning.rateIndex = 70; }},
                    SiteCase{"points-7", Log120,
                             [](MapRequest& r) {
                               r.thinning.usePointCount = true;
                               r.thinning.pointCountText = " 7 points";
                             }},
                    SiteCase{"api-key", Run20, [](MapRequest& r) { r.settings.apiKey = "ABQIAAAAx-kestrel_key"; }},
                    SiteCase{"japanese-title", Run20,
                             [](MapRequest& r) { r.settings.title = "鎌倉・江ノ島\u3000散歩（春）"; }},
                    SiteCase{"escaped-title", Run20,
                             [](MapRequest& r) {
                               r.settings.title = "Tom & Jerry <b>\"run\"</b>";
                               r.settings.apiKey = "k&y\"><script>";
                             }},
                    SiteCase{"empty-title", Run20, [](MapRequest& r) { r.settings.title = ""; }},
                    SiteCase{"recording-breaks", Run20WithBreaks, [](MapRequest& r) { r.thinning.rateIndex = 20; }}),
    [](const testing::TestParamInfo<SiteCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == '-') ch = '_';
      }
      return name;
    });

// The point lines of a script, as text.
std::vector<std::string> PointLines(const std::string& script) {
  std::vector<std::string> lines;
  const std::string start = "\tpoints.push(new GLatLng(";
  for (std::size_t at = script.find(start); at != std::string::npos; at = script.find(start, at + 1)) {
    const std::size_t end = script.find("));\r\n", at);
    lines.push_back(script.substr(at + start.size(), end - at - start.size()));
  }
  return lines;
}

std::string PointText(const TrackData& track, std::size_t i) {
  return FixedText(track.points[i].latitude, 6) + ", " + FixedText(track.points[i].longitude, 6);
}

ThinningChoice Rate(int percent) {
  ThinningChoice choice;
  choice.rateIndex = 100 - percent;
  return choice;
}

// The script as WriteMapScript writes it into a file; nothing when it has
// no points to list.
std::optional<std::string> ScriptOf(const TrackData& track, const ThinningChoice& thinning,
                                    const MapSettings& settings = {}) {
  TempDir folder;
  TextOutput output;
  EXPECT_TRUE(output.Create(folder.Path("s.js")));
  const Result<ScriptListing> listing = WriteMapScript(output, settings, thinning, track);
  EXPECT_TRUE(listing);
  if (!listing || *listing == ScriptListing::NothingToList) return std::nullopt;
  EXPECT_TRUE(output.Commit());
  return ReadFileBytes(folder.Path("s.js"));
}

TEST(WriteMapScript, ListsThePointsThatPassTheKeepTest) {
  struct Case {
    std::int32_t points;
    int percent;
    std::vector<std::size_t> kept;  // empty: every index
    std::size_t count;
  };
  const Case cases[] = {
      {10, 50, {0, 2, 4, 7, 9}, 5},
      // TargetPointCount(58) is 15, but 0.58 × 100 is 57.99999999999999: 14 pass.
      {25, 58, {}, 14},
      // N = 1: the first and the last still pass.
      {100, 1, {0, 99}, 2},
      {1000, 1, {}, 10},
      {7, 100, {0, 1, 2, 3, 4, 5, 6}, 7},
      {1, 100, {0}, 1},
      {2, 50, {0, 1}, 2},
  };
  for (const Case& c : cases) {
    const TrackData track = test::StraightTrack(c.points);
    const std::optional<std::string> script = ScriptOf(track, Rate(c.percent));
    ASSERT_TRUE(script) << c.points << " at " << c.percent;
    const std::vector<std::string> lines = PointLines(*script);
    EXPECT_EQ(lines.size(), c.count) << c.points << " at " << c.percent;
    for (std::size_t k = 0; k < c.kept.size() && k < lines.size(); ++k) {
      EXPECT_EQ(lines[k], PointText(track, c.kept[k])) << c.points << " at " << c.percent;
    }
  }
}

TEST(WriteMapScript, CountModeKeepsExactlyTheTypedCount) {
  const TrackData track = test::StraightTrack(1000);
  for (const char* text : {"2", "3", "7", "333", "999", "1000"}) {
    ThinningChoice choice;
    choice.usePointCount = true;
    choice.pointCountText = text;
    const std::optional<std::string> script = ScriptOf(track, choice);
    ASSERT_TRUE(script) << text;
    EXPECT_EQ(PointLines(*script).size(), std::stoul(text));
  }
}

TEST(WriteMapScript, TellsAScriptWithNoPointsToList) {
  // 30 points at 1 %: the target count is 0.
  for (const bool replay : {true, false}) {
    MapSettings settings;
    settings.routeReplay = replay;
    EXPECT_EQ(ScriptOf(test::StraightTrack(30), Rate(1), settings), std::nullopt);
  }
  // 50 points at 1 % round up to one.
  EXPECT_TRUE(ScriptOf(test::StraightTrack(50), Rate(1)));
}

TEST(WriteMapScript, WritesTheSameBytesTwiceAndLeavesTheTrackAsItWas) {
  // Not const: a writer that smoothed the loaded points themselves instead
  // of a copy would change them here, and the second script with them.
  TrackData track = Log120();
  MapSettings settings;
  settings.smoothing = true;
  const std::optional<std::string> first = ScriptOf(track, Rate(45), settings);
  ASSERT_TRUE(first);
  EXPECT_EQ(ScriptOf(track, Rate(45), settings), first);
  const TrackData fresh = Log120();
  ASSERT_EQ(track.points.size(), fresh.points.size());
  for (std::size_t i = 0; i < fresh.points.size(); ++i) {
    ASSERT_EQ(track.points[i].latitude, fresh.points[i].latitude) << i;
    ASSERT_EQ(track.points[i].longitude, fresh.points[i].longitude) << i;
    ASSERT_EQ(track.points[i].altitude, fresh.points[i].altitude) << i;
  }
}

TEST(MapScriptParameters, PrintsTheChosenColourAndTheSummaryAsItIs) {
  TrackSummary summary;
  summary.minLatitude = 35.0;
  summary.maxLatitude = 35.5;
  summary.minLongitude = 139.0;
  summary.maxLongitude = 139.8;
  EXPECT_EQ(MapScriptParameters(MapSettings{}, summary),
            "/* パラメータ設定用 */\n"
            "var lineColor = \"#ff0000\";\n"
            "var lineWidth = 3;\n"
            "var lineTrans = 0.7;\n"
            "var midPoint = new GLatLng(35.250000, 139.400000);\n"
            "var minPoint = new GLatLng(35.000000, 139.000000);\n"
            "var maxPoint = new GLatLng(35.500000, 139.800000);\n");

  // A track wholly south of the equator has the maximum latitude -1.
  summary.minLatitude = -33.87;
  summary.maxLatitude = -1.0;
  summary.minLongitude = 151.2;
  summary.maxLongitude = 151.2;
  MapSettings settings;
  settings.chosenColor = 0xFF8000;  // (0, 128, 255)
  settings.widthIndex = 4;
  settings.transparency = false;
  EXPECT_EQ(MapScriptParameters(settings, summary),
            "/* パラメータ設定用 */\n"
            "var lineColor = \"#0080ff\";\n"
            "var lineWidth = 1;\n"
            "var lineTrans = 1.0;\n"
            "var midPoint = new GLatLng(-17.435000, 151.200000);\n"
            "var minPoint = new GLatLng(-33.870000, 151.200000);\n"
            "var maxPoint = new GLatLng(-1.000000, 151.200000);\n");
}

TEST(ColorText, SixLowerCaseDigitsRedFirst) {
  const std::pair<PackedColor, const char*> cases[] = {
      {0x0000FF, "ff0000"}, {0xFF8000, "0080ff"}, {0x000000, "000000"}, {0xFFFFFF, "ffffff"}, {0x0A0B0C, "0c0b0a"}};
  for (const auto& [color, text] : cases) EXPECT_EQ(ColorText(color), text);
}

}  // namespace
}  // namespace kestrel
