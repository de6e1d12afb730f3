#pragma once
// The map page (tab " GoogleMaps "): every setting of the map site, kept in
// GMap_Section, the preview of the line, and the map output command. A model
// without a window: it holds what each control shows and the page's members,
// and moves them between each other exactly where the page does.

#include <string>
#include <vector>

#include "app/thinning_controls.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "track/track_data.h"
#include "webmap/fade_color.h"
#include "webmap/map_settings.h"

namespace kestrel {

struct MapPageControls {
  std::string title;                  // edit 1027
  // The drop-down list beside the title: Google Maps (whose API version 2
  // is no longer served), 地理院地図, OpenStreetMap, in the order of MapService.
  std::vector<std::string> serviceItems;
  int serviceIndex = -1;
  std::vector<std::string> widthItems;  // list 1015: 極太 太い 標準 細い 極細
  int widthIndex = -1;                  // -1 when a stored width names no item
  bool transparency = false;          // 1016 "透過"
  bool routeReplay = false;           // 1019 "ﾙｰﾄ再生"
  bool dropTrailChecked = false;      // radio 1010 "軌跡を残さない"
  bool keepTrailChecked = false;      // radio 1011 "軌跡を残す"
  bool trailRadiosEnabled = true;
  bool overviewControl = false;       // 1012 "ｵｰﾊﾞｰﾋﾞｭｰｺﾝﾄﾛｰﾙ"
  bool sameName = false;               // 1045 "拡張子のみ変更"
  bool showUsrInfoEnabled = true;      // 1068 "usr情報再表示 >>"
  // The key state "：未設定" beside "API_KEY設定" concerns only Google's map.
  bool keyStateVisible = true;

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
  explicit MapPage(Profile& profile);

  MapPageControls controls;
  ThinningControls thinning;  // 1043 "ﾃﾞｰﾀの平滑化" and the percentage or count

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
  bool sameName = false;

  void Read();  // controls to members
  void Show();  // members to controls

  // The chosen colour; reading it changes neither the line nor the preview colour.
  PackedColor ChosenColor() const;

  void OnChooseColor(Dialogs& dialogs);
  // The key is stored at once; a failure is shown.
  void OnApiKey(Dialogs& dialogs, Shell& shell);
  void OnServiceChanged();
  void OnTransparencyToggled();
  void OnRouteReplayToggled();
  void OnWidthChanged();
  void OnRateChanged(const TrackData& track);
  void OnPointCountToggled();
  // "usr情報再表示 >>" applies while the .usr file's overview can be shown.
  void EnableUsrInfo(bool enabled) { controls.showUsrInfoEnabled = enabled; }
  // Another trail was loaded.
  void ForgetThinning();
  void OnSaveSettings(Shell& shell);
  // Asks first, then shows and stores the defaults.
  void OnResetSettings(Shell& shell);
  // Writes the site of the loaded track, whose file is trackFilePath, and
  // offers to open its page in the browser.
  void OnOutput(const TrackData& track, const std::string& trackFilePath, Shell& shell, Dialogs& dialogs);
  // The page's paint request: reads the controls, then gives the line to draw.
  PreviewLine OnPaintPreview();
  // The colour request of label 1023.
  KeyState OnDrawKeyState() const;

 private:
  Profile& profile_;
};

inline constexpr const char* kOpenInBrowserQuestion = "作成したページをブラウザで開きますか?";

}  // namespace kestrel
