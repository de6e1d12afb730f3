// One person's afternoon with the program, from the first start to the
// second, through both pages.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/desktop.h"

namespace kestrel {
namespace {

using namespace test;

TEST(Story, OpenNameLookChangeSaveAndFindThemAgain) {
  const ScopedTimeZone zone("Asia/Tokyo");
  Desktop desktop;
  const std::string track = desktop.folder.Path("three-trails.usr");
  std::filesystem::copy_file(DataPath("usr/three-trails.usr"), track);

  desktop.OpenTrackFile(track);
  EXPECT_EQ(desktop.Window().controls.trackFilePath, track);
  desktop.ChooseTrail("東京散歩");
  const std::string summary =
      "【トラック】\r\nthree-trails.usr\r\n\r\n【対象Trail】\r\n東京散歩\r\n\r\n【データ数】\r\n3 (Points)";
  EXPECT_EQ(desktop.Window().controls.infoText.substr(0, summary.size()), summary);

  // The map page: a title, a blue line, thin, opaque, the trail kept.
  MapPage& map = desktop.Map();
  desktop.shell.colorAnswers.push_back(0xFF0000);
  map.OnChooseColor(desktop.shell);
  map.controls.widthIndex = 3;
  map.OnWidthChanged();
  map.controls.transparency = false;
  map.OnTransparencyToggled();
  map.controls.title = "東京散歩";
  map.controls.dropTrailChecked = false;
  map.controls.keepTrailChecked = true;
  map.OnSaveSettings(desktop.shell);

  // The conversion page: Trk, smoothed, named after the track.
  desktop.SelectTab(Tab::Convert);
  ConvertPage& convert = desktop.Convert();
  convert.controls.formatIndex = 1;  // Trk
  convert.thinning.controls.smoothing = true;
  convert.controls.sameName = true;
  convert.OnSaveSettings(desktop.shell);
  desktop.shell.shown.clear();
  desktop.Window().OnConvert(desktop.shell);
  map.controls.sameName = true;
  desktop.shell.yesNoAnswers.push_back(false);  // not in the browser
  desktop.Window().OnMapOutput(desktop.shell, desktop.shell);
  EXPECT_EQ(desktop.shell.Messages(), (std::vector<std::string>{"変換終了    ", "変換終了    "}));
  EXPECT_EQ(desktop.folder.Names(),
            (std::vector<std::string>{"kestrelmarking.INI", "three-trails.css", "three-trails.html",
                                      "three-trails.js", "three-trails.leaflet.css", "three-trails.leaflet.js",
                                      "three-trails.map.js", "three-trails.trk", "three-trails.usr"}));

  desktop.Restart();
  EXPECT_TRUE(desktop.Window().controls.mapPageVisible);
  EXPECT_EQ(desktop.Window().controls.infoText, "");
  // The track is the first of the recent files.
  EXPECT_EQ(desktop.Window().controls.recentFiles, std::vector<std::string>{track});
  const MapPage& again = desktop.Map();
  EXPECT_EQ(again.controls.title, "東京散歩");
  EXPECT_EQ(again.ChosenColor(), 0xFF0000u);
  EXPECT_EQ(again.previewColor, 0xFF0000u);
  EXPECT_EQ(again.controls.widthIndex, 3);
  EXPECT_EQ(again.trackWidth, 2);
  EXPECT_FALSE(again.controls.transparency);
  EXPECT_TRUE(again.controls.keepTrailChecked);
  // "拡張子のみ変更" on the map page was checked after its save.
  EXPECT_FALSE(again.controls.sameName);
  const ConvertPageControls& converted = desktop.Convert().controls;
  EXPECT_EQ(converted.formatItems.at(static_cast<std::size_t>(converted.formatIndex)), "Trk");
  EXPECT_TRUE(desktop.Convert().thinning.controls.smoothing && converted.sameName && !converted.useUtc);
}

}  // namespace
}  // namespace kestrel
