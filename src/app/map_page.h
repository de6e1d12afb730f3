#pragma once
// The map page (tab " GoogleMaps "): every setting of the map site, kept in
// GMap_Section, the preview of the line, and the map output command. A model
// without a window: it holds what each control shows and the page's members,
// and moves them between each other exactly where the page does.

#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/shell.h"
#include "webmap/fade_color.h"
#include "webmap/map_settings.h"

namespace kestrel {

class MainWindow;

struct MapPageControls {
  std::string title;                  // edit 1027
  // The drop-down list beside the title: Google Maps (API v2), 地理院地図,
  // OpenStreetMap, in the order of MapService.
  std::vector<std::string> serviceItems;
  int serviceIndex = -1;
  std::vector<std::string> widthItems;  // list 1015: 極太 太い 標準 細い 極細
  int widthIndex = -1;                  // -1 when the text typed into the list names no item
  bool transparency = false;          // 1016 "透過"
  bool routeReplay = false;           // 1019 "ﾙｰﾄ再生"
  bool dropTrailChecked = false;      // radio 1010 "軌跡を残さない"
  bool keepTrailChecked = false;      // radio 1011 "軌跡を残す"
  bool trailRadiosEnabled = true;
  bool overviewControl = false;       // 1012 "ｵｰﾊﾞｰﾋﾞｭｰｺﾝﾄﾛｰﾙ"
  bool smoothing = false;             // 1043 "ﾃﾞｰﾀの平滑化"
  // Percentage list 1058 ("100" … "1"), with 1040 "使用率", 1047 "%" and the
  // points label 1066 enabled together.
  std::vector<std::string> rateItems;
  int rateIndex = -1;
  bool rateControlsEnabled = true;
  std::string pointsLabel = "Static";  // 1066, emptied at start
  bool usePointCount = false;          // 1067 "Point数指定"
  std::string pointCountText;          // 1063, with 1064 "Points"
  bool pointCountEnabled = true;
  bool sameName = false;               // 1045 "拡張子のみ変更"
  bool showUsrInfoEnabled = true;      // 1068 "usr情報再表示 >>"

  bool operator==(const MapPageControls&) const = default;
};

// What the page draws: the preview line and the key-state label 1023.
struct PreviewLine {
  PackedColor color;
  int width;
};
struct KeyState {
  std::string text;        // "未設定" or "設定済み"
  PackedColor background;  // red, or light blue (R 128, G 128, B 255)
};

class MapPage {
 public:
  // Runs the page's initialisation: reads GMap_Section of the profile.
  MapPage(MainWindow& window, Profile& profile);

  MapPageControls controls;

  // The members.
  std::string apiKey;
  FadeColor trackColor;  // the chosen colour, faded while transparency is on
  int trackWidth = 3;
  PackedColor previewColor = 0;
  bool transparency = false;
  std::string title;
  MapService mapService = MapService::Google;
  bool routeReplay = false;
  bool overviewControl = false;
  std::string pointsLabel;
  bool usePointCount = false;
  bool smoothing = false;
  std::string pointCountText;
  bool sameName = false;

  void Read();  // controls to members
  void Show();  // members to controls

  // The chosen colour; reading it changes neither the line nor the preview colour.
  PackedColor ChosenColor() const;

  void OnChooseColor(Shell& shell);
  void OnApiKey(Shell& shell);
  void OnTransparencyToggled();
  void OnRouteReplayToggled();
  void OnWidthChanged();
  void OnRateChanged();
  void OnPointCountToggled();
  void OnShowUsrInfo();
  void OnSaveSettings();
  void OnResetSettings();
  void OnOutput(Shell& shell);
  // The page's paint request: reads the controls, then gives the line to draw.
  PreviewLine OnPaintPreview();
  // The colour request of label 1023.
  KeyState OnDrawKeyState() const;

 private:
  MainWindow& window_;
  Profile& profile_;
};

}  // namespace kestrel
