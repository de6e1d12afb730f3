// The conversion page: its profile section, the controls that return to
// their stored values, save and reset, and the conversion through the page.

#include "app/convert_page.h"

#include <gtest/gtest.h>

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

// The checked format buttons, in the order CSV, Trk, NMEA, usr.
std::string Checks(const ConvertPageControls& c) {
  return std::string(c.csvChecked ? "C" : "-") + (c.trkChecked ? "T" : "-") + (c.nmeaChecked ? "N" : "-") +
         (c.usrChecked ? "U" : "-");
}

TEST(ConvertPage, StartsFromItsProfileSection) {
  struct Case {
    std::string profile;
    std::string checks;
    bool sameName, smoothing, useUtc;
  };
  const Case cases[] = {
      {"", "C---", false, false, false},
      {"[DConv_Section]\ndconbfiletype=7\n", "C---", false, false, false},
      {"[DConv_Section]\ndconbfiletype=x2\n", "C---", false, false, false},
      {"[DConv_Section]\ndconbfiletype=2\n", "-T--", false, false, false},
      {"[DConv_Section]\ndconbfiletype=1\n", "--N-", false, false, false},
      {"[DConv_Section]\ndconbfiletype=0\n", "---U", false, false, false},
      {"[dconv_section]\nDCONBFILETYPE=2\ndconvsamename=ON\ndconbsmoothing=ON\ndconvuseutc=ON\n", "-T--", true, true, true},
      {"[DConv_Section]\ndconvsamename=on\ndconbsmoothing=On\ndconvuseutc=yes\n", "C---", false, false, false},
  };
  for (const Case& c : cases) {
    Desktop desktop(c.profile);
    const ConvertPageControls& controls = desktop.Convert().controls;
    EXPECT_EQ(Checks(controls), c.checks) << c.profile;
    EXPECT_EQ(controls.sameName, c.sameName) << c.profile;
    EXPECT_EQ(controls.smoothing, c.smoothing) << c.profile;
    EXPECT_EQ(controls.useUtc, c.useUtc) << c.profile;
    EXPECT_FALSE(controls.nmeaEnabled || controls.usrEnabled || controls.showUsrInfoEnabled) << c.profile;
    EXPECT_EQ(controls.rateItems.size(), 100u);
    EXPECT_EQ(controls.rateItems.front() + controls.rateItems[1] + controls.rateItems.back(), "100991");
    EXPECT_EQ(controls.rateIndex, 0);
    EXPECT_EQ(controls.pointsLabel, "");
    EXPECT_FALSE(controls.usePointCount || controls.pointCountEnabled);
    EXPECT_TRUE(controls.rateControlsEnabled);
  }
}

TEST(ConvertPage, SavesInItsOrderAndLeavesOutAMissingType) {
  Desktop desktop;
  ConvertPageControls& controls = desktop.Convert().controls;
  controls.csvChecked = false;
  controls.trkChecked = true;
  controls.sameName = true;
  controls.useUtc = true;
  desktop.Convert().OnSaveSettings();
  EXPECT_EQ(desktop.ProfileText(),
            "[DConv_Section]\ndconvsamename=ON\ndconbsmoothing=OFF\ndconbfiletype=2\ndconvuseutc=ON\n");

  Desktop none;
  none.Convert().controls.csvChecked = false;
  none.Convert().OnSaveSettings();
  EXPECT_EQ(none.ProfileText(), "[DConv_Section]\ndconvsamename=OFF\ndconbsmoothing=OFF\ndconvuseutc=OFF\n");
}

TEST(ConvertPage, AStoredNmeaTypeIsSavedAgainAndConverted) {
  Desktop desktop("[DConv_Section]\ndconbfiletype=1\n");
  desktop.Convert().OnSaveSettings();
  EXPECT_EQ(desktop.profile.ReadInteger(kSection, "dconbfiletype", -1), 1);
  // With a visible button checked as well, saving prefers the hidden NMEA
  // button and converting the Trk one.
  desktop.Convert().controls.trkChecked = true;
  desktop.Convert().OnSaveSettings();
  EXPECT_EQ(desktop.profile.ReadInteger(kSection, "dconbfiletype", -1), 1);
  desktop.SelectFormat(kNmea);
  desktop.OpenTrackFile(DataPath(kLog));
  desktop.shell.fileAnswers.push_back(desktop.folder.Path("out.trk"));
  desktop.Convert().OnConvert(desktop.shell);
  EXPECT_EQ(desktop.shell.shown.back(), kDone);
  EXPECT_EQ(ReadFileBytes(desktop.folder.Path("out.trk")).substr(0, 2), "H ");
}

TEST(ConvertPage, ResetWritesAtOnceAndReturnsTheCountControls) {
  Desktop desktop("[DConv_Section]\ndconbfiletype=2\ndconvsamename=ON\ndconbsmoothing=ON\ndconvuseutc=ON\n");
  ConvertPage& page = desktop.Convert();
  page.controls.rateIndex = 30;
  page.controls.usePointCount = true;
  page.controls.pointCountText = "12";
  page.OnResetSettings();
  EXPECT_EQ(desktop.ProfileText(),
            "[DConv_Section]\ndconbfiletype=3\ndconvsamename=OFF\ndconbsmoothing=OFF\ndconvuseutc=OFF\n");
  EXPECT_EQ(Checks(page.controls), "C---");
  EXPECT_FALSE(page.controls.sameName || page.controls.smoothing || page.controls.useUtc);
  EXPECT_FALSE(page.controls.usePointCount);
  EXPECT_EQ(page.controls.pointCountText, "");
  EXPECT_EQ(page.controls.rateIndex, 30);
}

// A control changed since the last read returns to its stored value when the
// page shows them; the conversion reads them only once a track is loaded.
TEST(ConvertPage, ControlsReturnToTheirStoredValues) {
  Desktop desktop;
  ConvertPage& page = desktop.Convert();
  const auto checkUtcThen = [&page](const std::function<void()>& act) {
    page.controls.useUtc = true;
    page.controls.pointCountText = "7";
    act();
    page.controls.rateIndex = 10;
    page.OnRateChanged();
    return page.controls.useUtc && page.controls.pointCountText == "7";
  };
  EXPECT_FALSE(checkUtcThen([] {}));
  EXPECT_FALSE(checkUtcThen([&] { page.OnConvert(desktop.shell); }));
  EXPECT_EQ(desktop.shell.shown, ShownList{MessageBox("ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です")});
  EXPECT_TRUE(checkUtcThen([&] { page.OnSaveSettings(); }));
}

TEST(ConvertPage, PointCountModeSwitchesBetweenTheCountAndTheList) {
  Desktop desktop;
  for (const bool on : {true, false}) {
    desktop.Convert().controls.usePointCount = on;
    desktop.Convert().OnPointCountToggled();
    EXPECT_EQ(desktop.Convert().controls.pointCountEnabled, on);
    EXPECT_EQ(desktop.Convert().controls.rateControlsEnabled, !on);
    desktop.Map().controls.usePointCount = on;
    desktop.Map().OnPointCountToggled();
    EXPECT_EQ(desktop.Map().controls.pointCountEnabled, on);
    EXPECT_EQ(desktop.Map().controls.rateControlsEnabled, !on);
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
    desktop.Convert().pointsLabel = desktop.Map().pointsLabel = "(7 Points)";
    if (c.points >= 0) {
      ASSERT_TRUE(desktop.Window().track.AllocatePoints(c.points));
    }
    desktop.Convert().controls.rateIndex = c.rateIndex;
    desktop.Convert().OnRateChanged();
    desktop.Map().controls.rateIndex = c.rateIndex;
    desktop.Map().OnRateChanged();
    EXPECT_EQ(desktop.Convert().controls.pointsLabel, c.label) << c.points << " " << c.rateIndex;
    EXPECT_EQ(desktop.Map().controls.pointsLabel, c.label) << c.points << " " << c.rateIndex;
  }
}

// Each conversion gives the bytes that krm convert gives for the same choices.
TEST(ConvertPage, ConvertsWithEveryOption) {
  struct Case {
    const char* what;
    std::string input;
    std::string trail;  // empty for a log
    std::string profile;
    std::function<void(ConvertPageControls&)> choose;
    std::string output;  // in the folder; the save dialog's answer unless the name is derived
    const char* zone;
    std::string golden;
  };
  const auto trk = [](ConvertPageControls& c) {
    c.csvChecked = false;
    c.trkChecked = true;
  };
  const Case cases[] = {
      {"Trk at 5 %, named after the track", kUsrFile, "TrailA", "",
       [&](ConvertPageControls& c) {
         trk(c);
         c.rateIndex = 95;
         c.sameName = true;
       },
       "three-trails.trk", "Asia/Tokyo", "TrailA-rate5.trk"},
      {"CSV smoothed", kUsrFile, "東京散歩", "", [](ConvertPageControls& c) { c.smoothing = true; }, "picked.csv",
       "Asia/Tokyo", "東京散歩-smooth.csv"},
      {"NMEA log of 20 points", kUsrFile, "Second", "[DConv_Section]\ndconbfiletype=1\n",
       [](ConvertPageControls& c) {
         c.usePointCount = true;
         c.pointCountText = "20";
       },
       "out.log", "Asia/Tokyo", "Second-points20.log"},
      {"Trk of 7 points, smoothed, in UTC", kLog, "", "",
       [&](ConvertPageControls& c) {
         trk(c);
         c.usePointCount = true;
         c.pointCountText = " 7abc";
         c.smoothing = true;
         c.useUtc = true;
       },
       "out.trk", "Asia/Tokyo", "log-points7-smooth-utc.trk"},
      {"CSV in UTC", kLog, "", "", [](ConvertPageControls& c) { c.useUtc = true; }, "out.csv", "America/New_York",
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
    c.choose(page.controls);
    if (!page.controls.sameName) desktop.shell.fileAnswers.push_back(desktop.folder.Path(c.output));
    desktop.shell.shown.clear();
    page.OnConvert(desktop.shell);
    EXPECT_EQ(desktop.shell.shown.back(), kDone) << c.what;
    ExpectMatchesGolden(ReadFileBytes(desktop.folder.Path(c.output)), "cli/convert/" + c.golden);
  }
}

}  // namespace
}  // namespace kestrel
