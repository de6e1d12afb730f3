#pragma once
// The conversion page (tab " フォーマット変換 "): the output format, the
// thinning, smoothing, UTC and naming choices, kept in DConv_Section, and the
// conversion command. A model without a window: it holds what each control
// shows and the page's stored values, and moves them between each other
// exactly where the page does ("read" and "show").

#include <string>
#include <vector>

#include "app/thinning_controls.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

struct ConvertPageControls {
  // List 1035 "変換後の形式": the output types the page offers, and the
  // selected entry; -1 selects none, as a stored type that the list does not
  // offer (usr) does.
  std::vector<std::string> formatItems;
  int formatIndex = -1;
  bool useUtc = false;                 // 1071 "UTC時間で出力"
  bool sameName = false;               // 1045 "拡張子のみ変更"
  bool showUsrInfoEnabled = true;      // 1068 "usr情報再表示 >>"

  bool operator==(const ConvertPageControls&) const = default;
};

class ConvertPage {
 public:
  // Runs the page's initialisation: reads DConv_Section of the profile.
  explicit ConvertPage(Profile& profile);

  ConvertPageControls controls;
  ThinningControls thinning;  // 1057 "ﾃﾞｰﾀの平滑化" and the percentage or count

  // The stored values, one per value control.
  bool sameName = false;
  bool useUtc = false;

  void Read();  // controls to stored values
  void Show();  // stored values to controls

  void OnRateChanged(const TrackData& track);
  void OnPointCountToggled();
  // "usr情報再表示 >>" applies while the .usr file's overview can be shown.
  void EnableUsrInfo(bool enabled) { controls.showUsrInfoEnabled = enabled; }
  // Another trail was loaded.
  void ForgetThinning();
  void OnSaveSettings(Shell& shell);
  // Asks first, then shows and stores the defaults.
  void OnResetSettings(Shell& shell);
  // Converts the loaded track, whose file is trackFilePath.
  void OnConvert(const TrackData& track, const std::string& trackFilePath, Shell& shell);

 private:
  Profile& profile_;
};

}  // namespace kestrel
