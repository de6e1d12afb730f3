// The line colour with its fade, and the map settings read from a profile.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "webmap/fade_color.h"
#include "webmap/map_settings.h"

namespace kestrel {
namespace {

PackedColor Rgb(PackedColor red, PackedColor green, PackedColor blue) { return red | green << 8 | blue << 16; }

TEST(FadeColor, FadesThirtyPercentTowardGreyAndPacksRoundedAndHeld) {
  FadeColor red(kRed);
  EXPECT_EQ(red.red, 255.0);
  EXPECT_EQ(red.green, 0.0);
  red.Fade();
  // What the preview shows after "設定リセット".
  EXPECT_EQ(red.Pack(), Rgb(236, 58, 58));

  FadeColor odd;
  odd.red = 127.5;
  odd.green = 300.0;
  odd.blue = -7.0;
  EXPECT_EQ(odd.Pack(), Rgb(128, 255, 0));
  odd.red = 127.49999999999999;
  odd.blue = -0.5;  // truncates toward zero
  EXPECT_EQ(odd.Pack(), Rgb(127, 255, 0));
}

TEST(FadeColor, GivesBackTheChosenColourInBothStates) {
  // The channels are independent, so every value on every channel covers all colours.
  for (PackedColor c = 0; c <= 255; ++c) {
    for (const PackedColor chosen : {Rgb(c, 255 - c, c / 2), Rgb(c, c, c)}) {
      for (const bool transparency : {false, true}) {
        const FadeColor line = LineColorFor(chosen, transparency);
        EXPECT_EQ(ChosenColorOf(line, transparency), chosen) << chosen << " " << transparency;
        if (!transparency) {
          EXPECT_EQ(line.Pack(), chosen);
        }
      }
      // Toggling transparency any number of times returns to the chosen colour.
      FadeColor line(chosen);
      for (int i = 0; i < 5; ++i) {
        line.Fade();
        line.Unfade();
      }
      EXPECT_EQ(line.Pack(), chosen);
    }
  }
  // Only the transparent line is faded.
  EXPECT_EQ(LineColorFor(Rgb(0, 128, 255), true).Pack(), Rgb(58, 147, 236));
}

TEST(LineWidth, ListEntriesAndPixels) {
  const std::pair<int, int> entries[] = {{0, 5}, {1, 4}, {2, 3}, {3, 2}, {4, 1}, {-1, 3}, {5, 3}};
  for (const auto& [index, pixels] : entries) {
    EXPECT_EQ(LineWidthOfIndex(index), pixels) << index;
    if (index >= 0 && index < kWidthEntryCount) {
      EXPECT_EQ(WidthIndexOfLineWidth(pixels), index);
    }
  }
}

struct ProfileCase {
  const char* name;
  std::string ini;  // the GMap_Section lines
  MapSettings expected;
};

void PrintTo(const ProfileCase& c, std::ostream* os) { *os << c.name; }

MapSettings With(void (*change)(MapSettings&)) {
  MapSettings settings;
  change(settings);
  return settings;
}

class ReadMapSettingsCase : public testing::TestWithParam<ProfileCase> {};

TEST_P(ReadMapSettingsCase, FollowsThePagesReadRules) {
  const ProfileCase& c = GetParam();
  test::TempDir folder;
  const std::string path = folder.Path("KRM.INI");
  test::WriteFileBytes(path, "[GMap_Section]\r\n" + c.ini);
  const MapSettings read = ReadMapSettings(Profile(path));
  const MapSettings& e = c.expected;
  EXPECT_EQ(read.title, e.title);
  EXPECT_EQ(read.apiKey, e.apiKey);
  EXPECT_EQ(read.chosenColor, e.chosenColor);
  EXPECT_EQ(read.widthIndex, e.widthIndex);
  EXPECT_EQ(read.transparency, e.transparency);
  EXPECT_EQ(read.routeReplay, e.routeReplay);
  EXPECT_EQ(read.keepTrail, e.keepTrail);
  EXPECT_EQ(read.overviewControl, e.overviewControl);
  EXPECT_EQ(read.sameName, e.sameName);
  EXPECT_EQ(read.smoothing, e.smoothing);
  EXPECT_EQ(read.service, e.service);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ReadMapSettingsCase,
    testing::Values(
        ProfileCase{"Empty", "", MapSettings{}},
        ProfileCase{
            "EverythingSet",
            "gmapapikey=KEY-1\r\ngmaplinewidth=0\r\ngmaplinetrans=OFF\r\ngmaplinecolor_r=0\r\n"
            "gmaplinecolor_g=128\r\ngmaplinecolor_b=255\r\ngmaptitle=鎌倉\r\ngmaproute=OFF\r\n"
            "gmaptrack=ON\r\ngmapoverview=OFF\r\ngmapsamename=ON\r\ngmapsmoothing=ON\r\ngmapservice=OSM\r\n",
            MapSettings{"鎌倉", "KEY-1", Rgb(0, 128, 255), 0, false, false, true, false, true, true, MapService::Osm}},
        // Only the exact texts count: "on" keeps a switch at its default.
        ProfileCase{"LowerCaseSwitches",
                    "gmaplinetrans=off\r\ngmaproute=Off\r\ngmaptrack=on\r\ngmapoverview=no\r\n"
                    "gmapsamename=on\r\ngmapsmoothing=1\r\n",
                    MapSettings{}},
        ProfileCase{"DefaultTexts",
                    "gmaplinetrans=ON\r\ngmaproute=ON\r\ngmaptrack=OFF\r\ngmapoverview=ON\r\n"
                    "gmapsamename=OFF\r\ngmapsmoothing=OFF\r\n",
                    MapSettings{}},
        ProfileCase{"ChannelOutOfRange", "gmaplinecolor_r=0\r\ngmaplinecolor_g=300\r\ngmaplinecolor_b=255\r\n",
                    MapSettings{}},
        ProfileCase{"ChannelMissing", "gmaplinecolor_r=0\r\ngmaplinecolor_g=128\r\n", MapSettings{}},
        ProfileCase{"ChannelNotANumber", "gmaplinecolor_r=0\r\ngmaplinecolor_g=12x\r\ngmaplinecolor_b=255\r\n",
                    MapSettings{}},
        ProfileCase{"Black", "gmaplinecolor_r=0\r\ngmaplinecolor_g=0\r\ngmaplinecolor_b=0\r\n",
                    With([](MapSettings& s) { s.chosenColor = 0; })},
        ProfileCase{"WidthFiveIsStandard", "gmaplinewidth=5\r\n", MapSettings{}},
        ProfileCase{"WidthNoneIsStandard", "gmaplinewidth=-1\r\n", MapSettings{}},
        ProfileCase{"WidthFinest", "gmaplinewidth=4\r\n", With([](MapSettings& s) { s.widthIndex = 4; })},
        ProfileCase{"EmptyTitle", "gmaptitle=\r\n", MapSettings{}},
        // The map: only the exact stored names count; anything else is the GSI's.
        ProfileCase{"ServiceGsi", "gmapservice=GSI\r\n", With([](MapSettings& s) { s.service = MapService::Gsi; })},
        ProfileCase{"ServiceOsm", "gmapservice=OSM\r\n", With([](MapSettings& s) { s.service = MapService::Osm; })},
        ProfileCase{"ServiceGoogle", "gmapservice=GOOGLE\r\n",
                    With([](MapSettings& s) { s.service = MapService::Google; })},
        ProfileCase{"ServiceLowerCase", "gmapservice=gsi\r\n", MapSettings{}},
        ProfileCase{"ServiceJunk", "gmapservice=OSM2\r\n", MapSettings{}},
        ProfileCase{"ServiceEmpty", "gmapservice=\r\n", MapSettings{}},
        ProfileCase{"KeyKeptAsItIs", "gmapapikey=a&b<c>\r\n", With([](MapSettings& s) { s.apiKey = "a&b<c>"; })},
        // A profile written on Windows holds the title in code page 932.
        ProfileCase{"TitleInCodePage932", "gmaptitle=\x92\x6e\x90\x7d\r\n",
                    With([](MapSettings& s) { s.title = "地図"; })}),
    [](const testing::TestParamInfo<ProfileCase>& info) { return std::string(info.param.name); });

TEST(ReadMapSettings, AProfileFileThatIsMissingGivesTheDefaults) {
  const MapSettings read = ReadMapSettings(Profile("/nonexistent/KRM.INI"));
  EXPECT_EQ(read.title, "Sample GPS Data");
  EXPECT_EQ(read.chosenColor, kRed);
  EXPECT_EQ(LineWidthOfIndex(read.widthIndex), 3);
  EXPECT_TRUE(read.transparency && read.routeReplay && read.overviewControl);
  EXPECT_FALSE(read.keepTrail || read.sameName || read.smoothing);
  EXPECT_EQ(read.apiKey, "");
  EXPECT_EQ(read.service, MapService::Gsi);
}

}  // namespace
}  // namespace kestrel
