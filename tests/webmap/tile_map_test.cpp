// The map site on map tiles: golden pages and tile map scripts, the script
// and the style sheet the same as on the map service, Leaflet's files as the
// site holds them, the order of the files and what stays when one fails.

#include "webmap/tile_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>

#include "platform/atomic_file.h"
#include "support/failing_disk.h"
#include "support/test_support.h"
#include "webmap/leaflet_dist.h"
#include "webmap/map_output.h"
#include "webmap/map_page.h"
#include "webmap/test_tracks.h"

namespace kestrel {
namespace {

using test::ReadFileBytes;
using test::ScriptedShell;
using test::TempDir;
using Names = std::vector<std::string>;

const Names kTileSite = {"track.css",         "track.html",       "track.js",
                         "track.leaflet.css", "track.leaflet.js", "track.map.js"};

// The site of the request, named after track.usr in the folder.
bool WriteSite(const MapRequest& request, const TrackData& track, const TempDir& folder, ScriptedShell& shell) {
  MapRequest named = request;
  named.settings.sameName = true;
  return RunMapOutput(named, track, folder.Path("track.usr"), shell).has_value();
}

struct TileSiteCase {
  const char* name;  // golden files tests/data/webmap/<name>/track.html.golden and track.map.js.golden
  std::function<void(MapRequest&)> change;
};

void PrintTo(const TileSiteCase& c, std::ostream* os) { *os << c.name; }

class TileSite : public testing::TestWithParam<TileSiteCase> {};

TEST_P(TileSite, MatchesTheGoldenPageAndKeepsTheSiteOfTheMapService) {
  const TrackData track = test::FixtureTrack("usr/names.usr", "Run");
  MapRequest request;
  GetParam().change(request);
  TempDir tiles;
  ScriptedShell shell;
  ASSERT_TRUE(WriteSite(request, track, tiles, shell));
  EXPECT_EQ(shell.Messages(), Names{"変換終了    "});
  EXPECT_EQ(tiles.Names(), kTileSite);
  const std::string golden = std::string("webmap/") + GetParam().name + "/";
  const std::string page = ReadFileBytes(tiles.Path("track.html"));
  test::ExpectMatchesGolden(page, golden + "track.html.golden");
  test::ExpectMatchesGolden(ReadFileBytes(tiles.Path("track.map.js")), golden + "track.map.js.golden");

  // The same settings on the map service: the same script and style sheet
  // byte for byte, and the same page after its head.
  request.settings.service = MapService::Google;
  TempDir service;
  ScriptedShell serviceShell;
  ASSERT_TRUE(WriteSite(request, track, service, serviceShell));
  EXPECT_EQ(service.Names(), (Names{"track.css", "track.html", "track.js"}));
  EXPECT_EQ(ReadFileBytes(tiles.Path("track.js")), ReadFileBytes(service.Path("track.js")));
  EXPECT_EQ(ReadFileBytes(tiles.Path("track.css")), ReadFileBytes(service.Path("track.css")));
  const std::string servicePage = ReadFileBytes(service.Path("track.html"));
  const std::string headEnd = "</head>\r\n";
  ASSERT_NE(page.find(headEnd), std::string::npos);
  EXPECT_EQ(page.substr(page.find(headEnd)), servicePage.substr(servicePage.find(headEnd)));
}

INSTANTIATE_TEST_SUITE_P(
    Services, TileSite,
    testing::Values(TileSiteCase{"tiles-gsi", [](MapRequest& r) { r.settings.service = MapService::Gsi; }},
                    // The other body, and a title and a page name that need escaping.
                    TileSiteCase{"tiles-osm-no-replay",
                                 [](MapRequest& r) {
                                   r.settings.service = MapService::Osm;
                                   r.settings.routeReplay = false;
                                   r.settings.overviewControl = false;
                                   r.settings.title = "Tom & Jerry <b>\"run\"</b>";
                                 }}),
    [](const testing::TestParamInfo<TileSiteCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == '-') ch = '_';
      }
      return name;
    });

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The two heads differ only where the map is loaded and in the tile pages'
// viewport: nothing else of the page may drift apart.
TEST(TileMapPageHead, DiffersFromTheServicesHeadOnlyWhereTheMapIsLoaded) {
  MapSettings settings;
  settings.service = MapService::Google;
  settings.title = "鎌倉 & 江ノ島";
  const std::vector<std::string> serviceHead = Lines(MapPageHead("a&b", settings));
  settings.service = MapService::Osm;
  const std::vector<std::string> tileHead = Lines(MapPageHead("a&b", settings));
  EXPECT_EQ(Lines(TileMapPageHead("a&b", settings)), tileHead);
  const auto without = [](std::vector<std::string> lines, const std::vector<std::string>& gone) {
    for (const std::string& line : gone) {
      const auto at = std::find(lines.begin(), lines.end(), line);
      EXPECT_NE(at, lines.end()) << line;
      if (at != lines.end()) lines.erase(at);
    }
    return lines;
  };
  EXPECT_EQ(without(serviceHead, {"<script src=\"http://maps.google.com/maps?file=api&v=1&key=hjhjh\" "
                                  "type=\"text/javascript\"></script>"}),
            without(tileHead, {"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />",
                               "<link rel=\"stylesheet\" type=\"text/css\" href=\"a&amp;b.leaflet.css\" />",
                               "<script type=\"text/javascript\" src=\"a&amp;b.leaflet.js\"></script>",
                               "<script type=\"text/javascript\" src=\"a&amp;b.map.js\"></script>"}));
}

TEST(TileMapOf, GivesTheTilesOfEachMapWithoutAKey) {
  EXPECT_EQ(TileMapOf(MapService::Google), nullptr);
  EXPECT_EQ(TileMapOf(MapService::Gsi), &kGsiTiles);
  EXPECT_EQ(TileMapOf(MapService::Osm), &kOsmTiles);
  const std::string gsi = TileMapScript(kGsiTiles);
  EXPECT_NE(gsi.find("address: 'https://cyberjapandata.gsi.go.jp/xyz/std/{z}/{x}/{y}.png',\n"), std::string::npos);
  EXPECT_NE(gsi.find(">国土地理院</a>',\n"), std::string::npos);
  EXPECT_NE(gsi.find("maxZoom: 18\n"), std::string::npos);
  const std::string osm = TileMapScript(kOsmTiles);
  EXPECT_NE(osm.find("address: 'https://tile.openstreetmap.org/{z}/{x}/{y}.png',\n"), std::string::npos);
  EXPECT_NE(osm.find("'© <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors',\n"),
            std::string::npos);
  EXPECT_NE(osm.find("maxZoom: 19\n"), std::string::npos);
}

// The page's links, in order: every href and src of the head.
Names LinksOf(const std::string& page) {
  Names links;
  const std::regex link("(?:href|src)=\"([^\"]*)\"");
  const std::string head = page.substr(0, page.find("</head>"));
  for (auto it = std::sregex_iterator(head.begin(), head.end(), link); it != std::sregex_iterator(); ++it) {
    links.push_back((*it)[1].str());
  }
  return links;
}

TEST(TileSiteFiles, ThePageLinksTheFilesWrittenBesideIt) {
  TempDir folder;
  ScriptedShell shell;
  shell.fileAnswers.push_back(folder.Path("walk.2009.htm"));
  MapRequest request;
  request.settings.service = MapService::Gsi;
  ASSERT_TRUE(RunMapOutput(request, test::StraightTrack(10), "t.usr", shell));
  const Names links = LinksOf(ReadFileBytes(folder.Path("walk.2009.htm")));
  EXPECT_EQ(links, (Names{"walk.2009.leaflet.css", "walk.2009.css", "walk.2009.leaflet.js", "walk.2009.map.js",
                          "walk.2009.js"}));
  Names written = links;
  written.push_back("walk.2009.htm");
  std::sort(written.begin(), written.end());
  EXPECT_EQ(folder.Names(), written);
}

// The dist files' copyright notice, as it opens leaflet.js.
const std::regex kLeafletNotice(
    "/\\* @preserve\n \\* Leaflet 1\\.9\\.\\d+, a JS library for interactive maps\\. https://leafletjs\\.com\n"
    " \\* \\(c\\) 2010-\\d{4} Vladimir Agafonkin, \\(c\\) 2010-2011 CloudMade\n \\*/\n");

std::string WithoutCarriageReturns(std::string_view text) {
  std::string lines(text);
  std::erase(lines, '\r');
  return lines;
}

TEST(LeafletFiles, AreTheDistFilesWithTheSitesLineEndsAndNotice) {
  // A 1.9 release, with its notice.
  std::match_results<std::string_view::const_iterator> notice;
  const std::string_view dist = LeafletDistScript();
  ASSERT_TRUE(std::regex_search(dist.begin(), dist.end(), notice, kLeafletNotice,
                                std::regex_constants::match_continuous));

  const std::string script = LeafletScriptText();
  EXPECT_EQ(script.find('\r'), std::string::npos);
  EXPECT_TRUE(script.starts_with(notice.str()));
  EXPECT_TRUE(script.ends_with("\n"));
  EXPECT_EQ(script.find("sourceMappingURL"), std::string::npos) << "no pointer to a map the site does not hold";
  EXPECT_TRUE(dist.starts_with(script)) << "nothing else changed";
  EXPECT_EQ(dist.substr(script.size()), "//# sourceMappingURL=leaflet.js.map");

  // The style sheet as published ends its lines with CR LF: the site's copy
  // has one line end for each, and the notice of the script before it.
  const std::string style = LeafletStyleText();
  EXPECT_EQ(style.find('\r'), std::string::npos);
  EXPECT_EQ(style, notice.str() + WithoutCarriageReturns(LeafletDistStyle()));
  EXPECT_NE(style.find(".leaflet-container {"), std::string::npos);
}

TEST(LeafletFiles, AreWrittenWithCrLfLineEnds) {
  TempDir folder;
  MapRequest request;
  request.settings.service = MapService::Gsi;
  ScriptedShell shell;
  ASSERT_TRUE(WriteSite(request, test::StraightTrack(10), folder, shell));
  const std::pair<const char*, std::string> files[] = {{"track.leaflet.js", LeafletScriptText()},
                                                       {"track.leaflet.css", LeafletStyleText()},
                                                       {"track.map.js", TileMapScript(kGsiTiles)}};
  for (const auto& [name, text] : files) {
    std::string written = ReadFileBytes(folder.Path(name));
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(written.size(), text.size() + lines) << name;
    std::erase(written, '\r');
    EXPECT_EQ(written, text) << name;
  }
}

// The files come in order: the page, the script, the style sheet, then
// Leaflet's script and style sheet and the tile map script. A file that
// cannot be written (a folder has its name) stops the site there with
// "実行エラー\n"; the files before it stay.
TEST(TileSiteFiles, AFailingFileStopsTheSiteThere) {
  for (std::size_t blocked = 0; blocked < 6; ++blocked) {
    const Names order = {"track.html",        "track.js",         "track.css",
                         "track.leaflet.js", "track.leaflet.css", "track.map.js"};
    TempDir folder;
    std::filesystem::create_directory(folder.Path(order[blocked]));
    MapRequest request;
    request.settings.service = MapService::Osm;
    ScriptedShell shell;
    shell.yesNoAnswers.push_back(true);  // the page's name is taken by the folder
    EXPECT_FALSE(WriteSite(request, test::StraightTrack(10), folder, shell));
    EXPECT_EQ(shell.Messages(), Names{"実行エラー\n"}) << order[blocked];
    Names present(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(blocked) + 1);
    std::sort(present.begin(), present.end());
    EXPECT_EQ(folder.Names(), present) << order[blocked];
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path(order[blocked])));
  }
}

// Leaflet's script fails part-way: the old file of that name stays as it was.
TEST(TileSiteFiles, KeepsAnOldLeafletFileWhenItsWriteFails) {
  TempDir folder;
  test::WriteFileBytes(folder.Path("track.leaflet.js"), "precious");
  MapRequest request;
  request.settings.service = MapService::Gsi;
  ScriptedShell shell;
  {
    // Room for the page, the script and the style sheet, not for Leaflet.
    const test::ScopedFileSizeLimit limit(64 * 1024);
    ASSERT_TRUE(limit.Active());
    EXPECT_FALSE(WriteSite(request, test::StraightTrack(10), folder, shell));
  }
  EXPECT_EQ(shell.Messages(), Names{"実行エラー\n"});
  EXPECT_EQ(folder.Names(), (Names{"track.css", "track.html", "track.js", "track.leaflet.js"}));
  EXPECT_EQ(ReadFileBytes(folder.Path("track.leaflet.js")), "precious");
}

// The page validated against the XHTML 1.0 Strict DTD by xmllint, where it
// and the DTD (w3c-sgml-lib) are installed.
bool XhtmlValid(const std::string& path) {
  const std::string command = "xmllint --noout --valid --nonet '" + path + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(TilePage, IsValidXhtmlStrict) {
  TempDir folder;
  // A page known to be valid tells whether the validator can run here.
  const std::string known = folder.Path("known.html");
  test::WriteFileBytes(known,
                       "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                       "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head>"
                       "<body><p>t</p></body></html>\n");
  if (!XhtmlValid(known)) GTEST_SKIP() << "xmllint or the XHTML DTD (w3c-sgml-lib) is not installed";
  for (const bool replay : {true, false}) {
    for (const bool keepTrail : {true, false}) {
      MapSettings settings;
      settings.service = MapService::Gsi;
      settings.routeReplay = replay;
      settings.keepTrail = keepTrail;
      settings.title = "鎌倉 & <江ノ島>";
      const std::string path = folder.Path("page.html");
      TextOutput output;
      ASSERT_TRUE(output.Create(path));
      WriteMapPage(output, "a&b", settings);
      ASSERT_TRUE(output.Commit());
      EXPECT_TRUE(XhtmlValid(path)) << "replay " << replay << " keep trail " << keepTrail;
    }
  }
}

}  // namespace
}  // namespace kestrel
