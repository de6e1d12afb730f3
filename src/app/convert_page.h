#pragma once
// The conversion page (tab " フォーマット変換 "): the output format, the
// thinning, smoothing, UTC and naming choices, kept in DConv_Section, and the
// conversion command. A model without a window: it holds what each control
// shows and the page's stored values, and moves them between each other
// exactly where the page does ("read" and "show").

#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/shell.h"

namespace kestrel {

class MainWindow;

struct ConvertPageControls {
  // Format radio buttons 1035 CSV, 1032 Trk, 1033 NMEA (hidden), 1034 usr (hidden).
  bool csvChecked = false;
  bool trkChecked = false;
  bool nmeaChecked = false;
  bool usrChecked = false;
  bool nmeaEnabled = true;
  bool usrEnabled = true;
  // Percentage list 1058 ("100" … "1"), with 1040 "使用率", 1047 "%" and the
  // points label 1066 enabled together.
  std::vector<std::string> rateItems;
  int rateIndex = -1;
  bool rateControlsEnabled = true;
  std::string pointsLabel = "Static";  // 1066, emptied at start
  bool usePointCount = false;          // 1067 "Point数指定"
  std::string pointCountText;          // 1063, with 1064 "Points"
  bool pointCountEnabled = true;
  bool smoothing = false;              // 1057 "ﾃﾞｰﾀの平滑化"
  bool useUtc = false;                 // 1071 "UTC時間で出力"
  bool sameName = false;               // 1045 "拡張子のみ変更"
  bool showUsrInfoEnabled = true;      // 1068 "usr情報再表示 >>"

  bool operator==(const ConvertPageControls&) const = default;
};

class ConvertPage {
 public:
  // Runs the page's initialisation: reads DConv_Section of the profile.
  ConvertPage(MainWindow& window, Profile& profile);

  ConvertPageControls controls;

  // The stored values, one per value control.
  bool sameName = false;
  std::string pointsLabel;
  bool usePointCount = false;
  std::string pointCountText;
  bool smoothing = false;
  bool useUtc = false;

  void Read();  // controls to stored values
  void Show();  // stored values to controls

  void OnRateChanged();
  void OnPointCountToggled();
  void OnShowUsrInfo();
  void OnSaveSettings();
  void OnResetSettings();
  void OnConvert(Shell& shell);

 private:
  MainWindow& window_;
  Profile& profile_;
};

}  // namespace kestrel
