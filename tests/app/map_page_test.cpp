// The map page: its profile section, the colour with its fade, save and
// reset, the key dialog, the preview, and the map site through the page.

#include "app/map_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/desktop.h"
#include "platform/paths.h"

namespace kestrel {
namespace {

using namespace test;

const Shown kDone = MessageBox("変換終了    ", MessageIcon::Information);
constexpr PackedColor kFadedRed = 236 | 58 << 8 | 58 << 16;

// What the page shows, in a form that compares as a whole.
struct Look {
  int widthIndex = 2;
  int width = 3;
  bool transparency = true;
  PackedColor chosen = kRed;
  PackedColor preview = kFadedRed;
  std::string title = "Sample GPS Data";
  bool routeReplay = true;
  bool radiosEnabled = true;
  bool keepTrail = false;
  bool overview = true;
  bool sameName = false;
  bool smoothing = false;
  std::string keyState = "未設定";
  PackedColor keyBackground = kRed;
  int service = 1;  // the entry of the map list: Google Maps (API v2), 地理院地図, OpenStreetMap
  bool keyVisible = false;  // the key state, only for Google's map
  bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Look& l) {
  return out << l.widthIndex << "/" << l.width << " trans " << l.transparency << " chosen " << std::hex << l.chosen
             << " preview " << l.preview << std::dec << " '" << l.title << "' route " << l.routeReplay << l.radiosEnabled
             << " keep " << l.keepTrail << " overview " << l.overview << " same " << l.sameName << " smooth "
             << l.smoothing << " " << l.keyState << l.keyVisible << " map " << l.service;
}

Look LookOf(MapPage& page) {
  const MapPageControls& c = page.controls;
  const PreviewLine preview = page.OnPaintPreview();
  const KeyState key = page.OnDrawKeyState();
  EXPECT_NE(c.keepTrailChecked, c.dropTrailChecked);
  return {c.widthIndex, preview.width, c.transparency, page.ChosenColor(), preview.color, c.title, c.routeReplay,
          c.trailRadiosEnabled, c.keepTrailChecked, c.overviewControl, c.sameName, page.thinning.controls.smoothing,
          key.text, key.background, c.serviceIndex, c.keyStateVisible};
}

TEST(MapPage, StartsFromItsProfileSection) {
  struct Case {
    std::string profile;  // lines of GMap_Section
    std::function<void(Look&)> differs;
  };
  const Case cases[] = {
      {"", [](Look&) {}},
      {"gmaplinewidth=5", [](Look&) {}},
      {"gmaplinewidth=-1", [](Look&) {}},
      {"gmaplinewidth=0", [](Look& l) { l.widthIndex = 0, l.width = 5; }},
      {"gmaplinewidth=4", [](Look& l) { l.widthIndex = 4, l.width = 1; }},
      {"gmaplinecolor_r=0\ngmaplinecolor_g=128\ngmaplinecolor_b=255\ngmaplinetrans=OFF",
       [](Look& l) { l.transparency = false, l.chosen = l.preview = 0xFF8000; }},
      {"gmaplinecolor_r=0\ngmaplinecolor_g=300\ngmaplinecolor_b=255", [](Look&) {}},
      {"gmaplinecolor_r=0\ngmaplinecolor_g=128", [](Look&) {}},
      {"gmaplinetrans=on\ngmapsamename=on\ngmapsmoothing=on\ngmaproute=off\ngmaptrack=on\ngmapoverview=off",
       [](Look&) {}},
      {"gmapsamename=ON\ngmapsmoothing=ON\ngmaproute=OFF\ngmaptrack=ON\ngmapoverview=OFF",
       [](Look& l) { l.sameName = l.smoothing = true, l.routeReplay = l.radiosEnabled = false, l.keepTrail = true, l.overview = false; }},
      {"gmaptitle=\ngmapapikey=", [](Look&) {}},
      {"gmaptitle=東京 散歩\ngmapapikey=ABQ", [](Look& l) { l.title = "東京 散歩", l.keyState = "設定済み", l.keyBackground = 0xFF8080; }},
      {"gmapservice=GSI", [](Look&) {}},
      {"gmapservice=OSM", [](Look& l) { l.service = 2; }},
      {"gmapservice=GOOGLE", [](Look& l) { l.service = 0, l.keyVisible = true; }},
      {"gmapservice=osm", [](Look&) {}},
      {"gmapservice=Google Maps (API v2)", [](Look&) {}},
  };
  for (const Case& c : cases) {
    Desktop desktop(c.profile.empty() ? "" : "[GMap_Section]\n" + c.profile + "\n");
    Look expected;
    c.differs(expected);
    EXPECT_EQ(LookOf(desktop.Map()), expected) << c.profile;
    const MapPageControls& controls = desktop.Map().controls;
    EXPECT_EQ(controls.widthItems, (std::vector<std::string>{"極太", "太い", "標準", "細い", "極細"}));
    EXPECT_EQ(controls.serviceItems,
              (std::vector<std::string>{"Google (API v2 提供終了)", "地理院地図", "OpenStreetMap"}));
    const ThinningControlState& thinning = desktop.Map().thinning.controls;
    EXPECT_EQ(thinning.rateItems.size(), 100u);
    EXPECT_EQ(thinning.rateIndex, 0);
    EXPECT_EQ(thinning.pointsLabel, "");
    EXPECT_FALSE(thinning.usePointCount || thinning.pointCountEnabled || controls.showUsrInfoEnabled);
    EXPECT_TRUE(thinning.rateControlsEnabled);
  }
}

TEST(MapPage, TogglingTransparencyGivesBackTheChosenColourExactly) {
  Desktop desktop;
  MapPage& page = desktop.Map();
  for (PackedColor channel = 0; channel < 256; ++channel) {
    const PackedColor chosen = channel | (255 - channel) << 8 | (channel * 7 % 256) << 16;
    desktop.shell.colorAnswers.push_back(chosen);
    page.OnChooseColor(desktop.shell);
    FadeColor faded(chosen);
    faded.Fade();
    for (int toggle = 0; toggle < 9; ++toggle) {
      page.controls.transparency = !page.controls.transparency;
      page.OnTransparencyToggled();
      ASSERT_EQ(page.ChosenColor(), chosen) << channel << " " << toggle;
      ASSERT_EQ(page.OnPaintPreview().color, page.transparency ? faded.Pack() : chosen) << channel << " " << toggle;
    }
  }
}

TEST(MapPage, ColourChooserStartsFromTheChosenColour) {
  Desktop desktop;
  MapPage& page = desktop.Map();
  desktop.shell.colorAnswers = {0x00FF00, std::nullopt};
  page.OnChooseColor(desktop.shell);
  page.OnChooseColor(desktop.shell);
  const Shown chooser{Kind::ColorChooser, std::to_string(kRed), MessageIcon::None, {}};
  EXPECT_EQ(desktop.shell.shown, (ShownList{chooser, {Kind::ColorChooser, std::to_string(0x00FF00), MessageIcon::None, {}}}));
  EXPECT_EQ(page.ChosenColor(), 0x00FF00u);
  EXPECT_EQ(page.OnPaintPreview().color, 0x3AEC3Au);
}

TEST(MapPage, SaveStoresTheChosenColourAndTheTrailOption) {
  Desktop desktop;
  MapPage& page = desktop.Map();
  page.controls.title = "朝の散歩";
  page.controls.widthIndex = 0;
  page.OnWidthChanged();
  page.controls.keepTrailChecked = true;
  page.controls.dropTrailChecked = false;
  page.controls.overviewControl = false;
  page.thinning.controls.smoothing = true;
  page.OnSaveSettings(desktop.shell);
  const std::string saved =
      "[GMap_Section]\ngmaptitle=朝の散歩\ngmapservice=GSI\ngmaplinecolor_r=255\ngmaplinecolor_g=0\n"
      "gmaplinecolor_b=0\ngmaplinetrans=ON\ngmaplinewidth=0\ngmaproute=ON\ngmaptrack=ON\ngmapoverview=OFF\ngmapsamename=OFF\n"
      "gmapsmoothing=ON\n";
  EXPECT_EQ(desktop.ProfileText(), saved);
  EXPECT_EQ(page.OnPaintPreview().color, kFadedRed);
  page.OnSaveSettings(desktop.shell);
  EXPECT_EQ(desktop.ProfileText(), saved);

  // Route replay off keeps the radio buttons' checks and disables them.
  page.controls.routeReplay = false;
  page.OnRouteReplayToggled();
  EXPECT_FALSE(page.controls.trailRadiosEnabled);
  EXPECT_TRUE(page.controls.keepTrailChecked);
  // No entry of the width list selected: stored as -1, read as 標準.
  page.controls.widthIndex = -1;
  page.controls.serviceIndex = 2;
  page.OnSaveSettings(desktop.shell);
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmapservice", ""), "OSM");
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmaproute", ""), "OFF");
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmaptrack", ""), "ON");
  EXPECT_EQ(desktop.profile.ReadInteger("GMap_Section", "gmaplinewidth", 0), -1);
  desktop.Restart();
  Look expected;
  expected.title = "朝の散歩";
  expected.routeReplay = expected.radiosEnabled = false;
  expected.keepTrail = true;
  expected.overview = false;
  expected.smoothing = true;
  expected.service = 2;
  expected.keyVisible = false;
  EXPECT_EQ(LookOf(desktop.Map()), expected);
  EXPECT_TRUE(desktop.shell.shown.empty());
}

TEST(MapPage, ResetWritesAtOnceAndKeepsTheKeyAndTheThinning) {
  Desktop desktop(
      "[GMap_Section]\ngmapapikey=ABQ\ngmaplinewidth=4\ngmaplinetrans=OFF\ngmaplinecolor_r=1\ngmaplinecolor_g=2\n"
      "gmaplinecolor_b=3\ngmaptitle=t\ngmapservice=OSM\ngmaproute=OFF\ngmaptrack=ON\ngmapoverview=OFF\n"
      "gmapsamename=ON\ngmapsmoothing=ON\n");
  MapPage& page = desktop.Map();
  page.thinning.controls.rateIndex = 40;
  page.thinning.controls.usePointCount = true;
  page.OnPointCountToggled();
  page.thinning.controls.pointCountText = "12";
  desktop.shell.yesNoAnswers.push_back(true);
  page.OnResetSettings(desktop.shell);
  EXPECT_EQ(desktop.ProfileText(),
            "[GMap_Section]\ngmapapikey=ABQ\ngmaplinewidth=2\ngmaplinetrans=ON\ngmaplinecolor_r=255\n"
            "gmaplinecolor_g=0\ngmaplinecolor_b=0\ngmaptitle=Sample GPS Data\ngmapservice=GSI\ngmaproute=ON\n"
            "gmaptrack=OFF\ngmapoverview=ON\ngmapsamename=OFF\ngmapsmoothing=OFF\n");
  Look expected;
  expected.keyState = "設定済み";
  expected.keyBackground = 0xFF8080;
  EXPECT_EQ(LookOf(page), expected);
  EXPECT_EQ(page.thinning.controls.rateIndex, 40);
  EXPECT_TRUE(page.thinning.controls.usePointCount && page.thinning.controls.pointCountEnabled);
  // Not read before: the text typed since returns to its stored value.
  EXPECT_EQ(page.thinning.controls.pointCountText, "");
}

TEST(MapPage, KeyDialogWritesTheKeyAtOnce) {
  Desktop desktop;
  MapPage& page = desktop.Map();
  desktop.shell.promptAnswers = {"ABQIAAAA", std::nullopt, ""};
  page.OnApiKey(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmapapikey", "-"), "ABQIAAAA");
  EXPECT_EQ(page.OnDrawKeyState().text, "設定済み");
  EXPECT_EQ(page.OnDrawKeyState().background, 0xFF8080u);
  page.OnApiKey(desktop.shell, desktop.shell);
  EXPECT_EQ(page.apiKey, "ABQIAAAA");
  page.OnApiKey(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmapapikey", "-"), "");
  EXPECT_EQ(page.OnDrawKeyState().text, "未設定");
  EXPECT_EQ(page.OnDrawKeyState().background, kRed);
  const auto prompt = [](std::string key) { return Shown{Kind::ApiKeyPrompt, std::move(key), MessageIcon::None, {}}; };
  EXPECT_EQ(desktop.shell.shown, (ShownList{prompt(""), prompt("ABQIAAAA"), prompt("ABQIAAAA")}));
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(MapPage, WritesTheMapSiteWithThePagesSettings) {
  Desktop desktop;
  const std::string track = desktop.folder.Path("three-trails.usr");
  std::filesystem::copy_file(DataPath("usr/three-trails.usr"), track);
  desktop.OpenTrackFile(track);
  desktop.ChooseTrail("TrailA");
  MapPage& page = desktop.Map();
  desktop.shell.promptAnswers.push_back("ABQ-key");
  page.OnApiKey(desktop.shell, desktop.shell);
  desktop.shell.colorAnswers.push_back(0xFF8000);
  page.OnChooseColor(desktop.shell);
  page.controls.transparency = false;
  page.OnTransparencyToggled();
  page.controls.widthIndex = 0;
  page.OnWidthChanged();
  page.thinning.controls.rateIndex = 90;
  page.OnRateChanged(desktop.Window().track);
  EXPECT_EQ(page.thinning.controls.pointsLabel, "(45 Points)");
  // Typed after the percentage: picking one shows the stored values again.
  page.controls.title = "朝の散歩";
  page.controls.overviewControl = false;
  page.controls.sameName = true;
  page.controls.serviceIndex = 0;  // the map service, whose page holds the key
  // The track path edit is read too: the site is named after what it shows.
  desktop.Window().controls.trackFilePath = desktop.folder.Path("walk.usr");
  desktop.shell.shown.clear();
  desktop.shell.yesNoAnswers.push_back(true);
  desktop.Window().OnMapOutput(desktop.shell, desktop.shell);
  // The page is offered to the browser.
  EXPECT_EQ(desktop.shell.shown, (ShownList{kDone, Question("作成したページをブラウザで開きますか?"),
                                            {Kind::Browser, desktop.folder.Path("walk.html"), MessageIcon::None, {}}}));
  const std::string html = ReadFileBytes(desktop.folder.Path("walk.html"));
  const std::string script = ReadFileBytes(desktop.folder.Path("walk.js"));
  EXPECT_TRUE(Contains(html, "<title>朝の散歩</title>"));
  EXPECT_TRUE(Contains(html, "key=ABQ-key"));
  EXPECT_TRUE(Contains(html, "walk.js") && Contains(html, "walk.css"));
  EXPECT_TRUE(Contains(script, "var lineColor = \"#0080ff\";\r\nvar lineWidth = 5;\r\nvar lineTrans = 1.0;"));
  EXPECT_FALSE(Contains(script, "GOverviewMapControl"));
  EXPECT_EQ(CountOf(script, "\tpoints.push(new GLatLng("), 45);
  EXPECT_TRUE(kestrel::PathExists(desktop.folder.Path("walk.css")));
}

// The map list has no handler: the page reads it with the other controls,
// and a handler that shows the members sets it back to the page's value.
TEST(MapPage, WritesTheSiteOnTheMapOfTheList) {
  Desktop desktop;
  const std::string track = desktop.folder.Path("three-trails.usr");
  std::filesystem::copy_file(DataPath("usr/three-trails.usr"), track);
  desktop.OpenTrackFile(track);
  desktop.ChooseTrail("TrailA");
  MapPage& page = desktop.Map();
  const int stored = page.controls.serviceIndex;
  page.controls.serviceIndex = 0;
  page.OnServiceChanged();
  EXPECT_TRUE(page.controls.keyStateVisible);
  page.thinning.controls.rateIndex = 50;
  page.OnRateChanged(desktop.Window().track);
  EXPECT_EQ(page.controls.serviceIndex, stored) << "not read before";

  page.controls.serviceIndex = 2;
  page.controls.sameName = true;
  desktop.shell.shown.clear();
  desktop.shell.yesNoAnswers.push_back(false);
  desktop.Window().OnMapOutput(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.shell.shown, (ShownList{kDone, Question("作成したページをブラウザで開きますか?")}));
  EXPECT_EQ(page.mapService, MapService::Osm);
  for (const char* name : {"three-trails.html", "three-trails.js", "three-trails.css", "three-trails.leaflet.js",
                           "three-trails.leaflet.css", "three-trails.map.js"}) {
    EXPECT_TRUE(kestrel::PathExists(desktop.folder.Path(name))) << name;
  }
  EXPECT_TRUE(Contains(ReadFileBytes(desktop.folder.Path("three-trails.map.js")), "https://tile.openstreetmap.org/"));
  EXPECT_FALSE(Contains(ReadFileBytes(desktop.folder.Path("three-trails.html")), "maps.google.com"));
  EXPECT_EQ(desktop.profile.ReadString("GMap_Section", "gmapservice", "-"), "-") << "only saving stores it";
}

}  // namespace
}  // namespace kestrel
