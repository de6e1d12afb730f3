// The conversion page: its profile section, the controls that return to
// their stored values, save and reset, and the conversion through the page.

#include "app/convert_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/desktop.h"

namespace kestrel {
namespace {

using namespace test;

const std::string kLog = "nmea/gga-rmc-noise.log";  // 300 points
const std::string kUsrFile = "usr/three-trails.usr";
const Shown kDone = MessageBox("変換終了    ", MessageIcon::Information);
const std::string kSection = "DConv_Section";

// The selected entry of the format list, "-" for none.
std::string Selected(const ConvertPageControls& c) {
  return c.formatIndex < 0 ? "-" : c.formatItems.at(static_cast<std::size_t>(c.formatIndex));
}

// Selects the entry of the format list with this text.
void Select(ConvertPageControls& c, const std::string& item) {
  const auto found = std::find(c.formatItems.begin(), c.formatItems.end(), item);
  ASSERT_NE(found, c.formatItems.end()) << item;
  c.formatIndex = static_cast<int>(found - c.formatItems.begin());
}

TEST(ConvertPage, StartsFromItsProfileSection) {
  struct Case {
    std::string profile;
    std::string selected;
    bool sameName, smoothing, useUtc;
  };
  const std::string csv = "CSV（ｶﾝﾏ区切り）";
  const Case cases[] = {
      {"", csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=8\n", csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=x2\n", csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=2\n", "Trk", false, false, false},
      {"[DConv_Section]\ndconbfiletype=1\n", "NMEA", false, false, false},
      {"[DConv_Section]\ndconbfiletype=4\n", "GPX", false, false, false},
      {"[DConv_Section]\ndconbfiletype=7\n", "GeoPackage", false, false, false},
      // The list does not offer the usr type: nothing is selected.
      {"[DConv_Section]\ndconbfiletype=0\n", "-", false, false, false},
      {"[dconv_section]\nDCONBFILETYPE=2\ndconvsamename=ON\ndconbsmoothing=ON\ndconvuseutc=ON\n", "Trk", true, true, true},
      {"[DConv_Section]\ndconvsamename=on\ndconbsmoothing=On\ndconvuseutc=yes\n", csv, false, false, false},
  };
  for (const Case& c : cases) {
    Desktop desktop(c.profile);
    const ConvertPageControls& controls = desktop.Convert().controls;
    EXPECT_EQ(controls.formatItems,
              (std::vector<std::string>{csv, "Trk", "NMEA", "GPX", "KML", "GeoJSON", "GeoPackage"}));
    EXPECT_EQ(Selected(controls), c.selected) << c.profile;
    const ThinningControlState& thinning = desktop.Convert().thinning.controls;
    EXPECT_EQ(controls.sameName, c.sameName) << c.profile;
    EXPECT_EQ(thinning.smoothing, c.smoothing) << c.profile;
    EXPECT_EQ(controls.useUtc, c.useUtc) << c.profile;
    EXPECT_FALSE(controls.showUsrInfoEnabled) << c.profile;
    EXPECT_EQ(thinning.rateItems.size(), 100u);
    EXPECT_EQ(thinning.rateItems.front() + thinning.rateItems[1] + thinning.rateItems.back(), "100991");
    EXPECT_EQ(thinning.rateIndex, 0);
    EXPECT_EQ(thinning.pointsLabel, "");
    EXPECT_FALSE(thinning.usePointCount || thinning.pointCountEnabled);
    EXPECT_TRUE(thinning.rateControlsEnabled);
  }
}

TEST(ConvertPage, SavesInItsOrderAndLeavesOutAMissingType) {
  Desktop desktop;
  ConvertPageControls& controls = desktop.Convert().controls;
  Select(controls, "Trk");
  controls.sameName = true;
  controls.useUtc = true;
  desktop.Convert().OnSaveSettings(desktop.shell);
  EXPECT_EQ(desktop.ProfileText(),
            "[DConv_Section]\ndconvsamename=ON\ndconbsmoothing=OFF\ndconbfiletype=2\ndconvuseutc=ON\n");

  Desktop none;
  none.Convert().controls.formatIndex = -1;
  none.Convert().OnSaveSettings(none.shell);
  EXPECT_EQ(none.ProfileText(), "[DConv_Section]\ndconvsamename=OFF\ndconbsmoothing=OFF\ndconvuseutc=OFF\n");
}

TEST(ConvertPage, AStoredNmeaTypeIsSavedAgainAndConverted) {
  Desktop desktop("[DConv_Section]\ndconbfiletype=1\n");
  desktop.Convert().OnSaveSettings(desktop.shell);
  EXPECT_EQ(desktop.profile.ReadInteger(kSection, "dconbfiletype", -1), 1);
  desktop.SelectFormat(kNmea);
  desktop.OpenTrackFile(DataPath(kLog));
  desktop.shell.fileAnswers.push_back(desktop.folder.Path("out.log"));
  desktop.Window().OnConvert(desktop.shell);
  EXPECT_EQ(desktop.shell.shown.back(), kDone);
  EXPECT_EQ(ReadFileBytes(desktop.folder.Path("out.log")).substr(0, 16), "@Kestrelmarking/");
}

TEST(ConvertPage, ResetAsksThenWritesAtOnceAndReturnsTheCountControls) {
  const std::string stored = "[DConv_Section]\ndconbfiletype=2\ndconvsamename=ON\ndconbsmoothing=ON\ndconvuseutc=ON\n";
  Desktop desktop(stored);
  ConvertPage& page = desktop.Convert();
  page.thinning.controls.rateIndex = 30;
  page.thinning.controls.usePointCount = true;
  page.thinning.controls.pointCountText = "12";
  desktop.shell.yesNoAnswers = {false, true};
  page.OnResetSettings(desktop.shell);
  EXPECT_EQ(desktop.ProfileText(), stored);
  EXPECT_EQ(Selected(page.controls), "Trk");
  page.OnResetSettings(desktop.shell);
  EXPECT_EQ(desktop.shell.shown, (ShownList{Question("保存されている設定を初期値に戻します\nよろしいですか?"),
                                            Question("保存されている設定を初期値に戻します\nよろしいですか?")}));
  EXPECT_EQ(desktop.ProfileText(),
            "[DConv_Section]\ndconbfiletype=3\ndconvsamename=OFF\ndconbsmoothing=OFF\ndconvuseutc=OFF\n");
  EXPECT_EQ(Selected(page.controls), "CSV（ｶﾝﾏ区切り）");
  EXPECT_FALSE(page.controls.sameName || page.thinning.controls.smoothing || page.controls.useUtc);
  EXPECT_FALSE(page.thinning.controls.usePointCount);
  EXPECT_EQ(page.thinning.controls.pointCountText, "");
  EXPECT_EQ(page.thinning.controls.rateIndex, 30);
}

// A save that cannot be written is said, with the system's reason.
TEST(ConvertPage, AFailedSaveIsShown) {
  Desktop desktop;
  std::filesystem::create_directory(desktop.profile.Path());  // a folder where the file should be
  desktop.Convert().OnSaveSettings(desktop.shell);
  ASSERT_EQ(desktop.shell.shown.size(), 1u);
  EXPECT_EQ(desktop.shell.shown[0].text, "設定を保存出来ませんでした");
  EXPECT_EQ(desktop.shell.shown[0].detail.rfind(desktop.profile.Path() + ": ", 0), 0u) << desktop.shell.shown[0].detail;
}

// A control changed since the last read returns to its stored value when the
// page shows them; the conversion reads them only once a track is loaded.
TEST(ConvertPage, ControlsReturnToTheirStoredValues) {
  Desktop desktop;
  ConvertPage& page = desktop.Convert();
  const auto checkUtcThen = [&](const std::function<void()>& act) {
    page.controls.useUtc = true;
    page.thinning.controls.pointCountText = "7";
    act();
    page.thinning.controls.rateIndex = 10;
    page.OnRateChanged(desktop.Window().track);
    return page.controls.useUtc && page.thinning.controls.pointCountText == "7";
  };
  EXPECT_FALSE(checkUtcThen([] {}));
  EXPECT_FALSE(checkUtcThen([&] { desktop.Window().OnConvert(desktop.shell); }));
  EXPECT_EQ(desktop.shell.shown, ShownList{MessageBox("ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です")});
  EXPECT_TRUE(checkUtcThen([&] { page.OnSaveSettings(desktop.shell); }));
}

TEST(ConvertPage, PointCountModeSwitchesBetweenTheCountAndTheList) {
  Desktop desktop;
  for (const bool on : {true, false}) {
    desktop.Convert().thinning.controls.usePointCount = on;
    desktop.Convert().OnPointCountToggled();
    EXPECT_EQ(desktop.Convert().thinning.controls.pointCountEnabled, on);
    EXPECT_EQ(desktop.Convert().thinning.controls.rateControlsEnabled, !on);
    desktop.Map().thinning.controls.usePointCount = on;
    desktop.Map().OnPointCountToggled();
    EXPECT_EQ(desktop.Map().thinning.controls.pointCountEnabled, on);
    EXPECT_EQ(desktop.Map().thinning.controls.rateControlsEnabled, !on);
  }
}

TEST(ConvertPage, RateLabelCountsThePointsOfTheLoadedTrack) {
  struct Case {
    std::int32_t points;  // -1: none loaded
    int rateIndex;
    std::string label;
  };
  const Case cases[] = {{200, 50, "(100 Points)"}, {200, 99, "(2 Points)"}, {200, 0, "(200 Points)"},
                        {25, 42, "(15 Points)"},   {-1, 50, "(7 Points)"},  {0, 50, "(7 Points)"}};
  for (const Case& c : cases) {
    Desktop desktop;
    // As an earlier track left it.
    desktop.Convert().thinning.pointsLabel = desktop.Map().thinning.pointsLabel = "(7 Points)";
    const TrackData& track = desktop.Window().track;
    if (c.points >= 0) {
      ASSERT_TRUE(desktop.Window().track.AllocatePoints(c.points));
    }
    desktop.Convert().thinning.controls.rateIndex = c.rateIndex;
    desktop.Convert().OnRateChanged(track);
    desktop.Map().thinning.controls.rateIndex = c.rateIndex;
    desktop.Map().OnRateChanged(track);
    EXPECT_EQ(desktop.Convert().thinning.controls.pointsLabel, c.label) << c.points << " " << c.rateIndex;
    EXPECT_EQ(desktop.Map().thinning.controls.pointsLabel, c.label) << c.points << " " << c.rateIndex;
  }
}

// Each conversion gives the bytes that krm convert gives for the same choices.
TEST(ConvertPage, ConvertsWithEveryOption) {
  struct Case {
    const char* what;
    std::string input;
    std::string trail;  // empty for a log
    std::string profile;
    std::function<void(ConvertPageControls&, ThinningControlState&)> choose;
    std::string output;  // in the folder; the save dialog's answer unless the name is derived
    const char* zone;
    std::string golden;
  };
  const auto trk = [](ConvertPageControls& c) { Select(c, "Trk"); };
  const Case cases[] = {
      {"Trk at 5 %, named after the track", kUsrFile, "TrailA", "",
       [&](ConvertPageControls& c, ThinningControlState& t) {
         trk(c);
         t.rateIndex = 95;
         c.sameName = true;
       },
       "three-trails.trk", "Asia/Tokyo", "TrailA-rate5.trk"},
      {"CSV smoothed", kUsrFile, "東京散歩", "", [](ConvertPageControls&, ThinningControlState& t) { t.smoothing = true; }, "picked.csv",
       "Asia/Tokyo", "東京散歩-smooth.csv"},
      {"NMEA log of 20 points", kUsrFile, "Second", "[DConv_Section]\ndconbfiletype=1\n",
       [](ConvertPageControls&, ThinningControlState& t) {
         t.usePointCount = true;
         t.pointCountText = "20";
       },
       "out.log", "Asia/Tokyo", "Second-points20.log"},
      {"Trk of 7 points, smoothed, in UTC", kLog, "", "",
       [&](ConvertPageControls& c, ThinningControlState& t) {
         trk(c);
         t.usePointCount = true;
         t.pointCountText = " 7abc";
         t.smoothing = true;
         c.useUtc = true;
       },
       "out.trk", "Asia/Tokyo", "log-points7-smooth-utc.trk"},
      {"CSV in UTC", kLog, "", "", [](ConvertPageControls& c, ThinningControlState&) { c.useUtc = true; }, "out.csv", "America/New_York",
       "log-utc.csv"},
  };
  for (const Case& c : cases) {
    const ScopedTimeZone zone(c.zone);
    Desktop desktop(c.profile);
    const std::string input = desktop.folder.Path(std::filesystem::path(c.input).filename().string());
    std::filesystem::copy_file(DataPath(c.input), input);
    if (c.trail.empty()) desktop.SelectFormat(kNmea);
    desktop.OpenTrackFile(input);
    if (!c.trail.empty()) desktop.ChooseTrail(c.trail);
    ConvertPage& page = desktop.Convert();
    c.choose(page.controls, page.thinning.controls);
    if (!page.controls.sameName) desktop.shell.fileAnswers.push_back(desktop.folder.Path(c.output));
    desktop.shell.shown.clear();
    desktop.Window().OnConvert(desktop.shell);
    EXPECT_EQ(desktop.shell.shown.back(), kDone) << c.what;
    ExpectMatchesGolden(ReadFileBytes(desktop.folder.Path(c.output)), "cli/convert/" + c.golden);
  }
}

}  // namespace
}  // namespace kestrel
