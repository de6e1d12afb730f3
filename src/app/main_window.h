#pragma once
// The main window: the track file and trail controls, the information box,
// the tab control with the map page and the conversion page, and the loaded
// track. A model without a window: it holds what each control shows and its
// members, and moves them between each other exactly where the window does.

#include <cstdint>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/convert_page.h"
#include "app/map_page.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

enum class Tab { Map = 0, Convert = 1 };

struct MainWindowControls {
  std::vector<std::string> dataFormatItems;  // list 1006: "usr", "NMEA"
  int dataFormatIndex = -1;
  std::string trackFilePath;                 // edit 1002
  std::string trailLabel;                    // static 1051
  bool trailLabelEnabled = true;
  bool trailButtonEnabled = true;            // 1050 "Trail指定"
  std::string infoText;                      // edit 1056 (read-only)
  std::vector<std::string> tabItems;         // tab control 1007: " GoogleMaps ", " フォーマット変換 "
  int selectedTab = 0;
  bool mapPageVisible = false;
  bool convertPageVisible = false;

  bool operator==(const MainWindowControls&) const = default;
};

class MainWindow {
 public:
  // Runs the window's initialisation; both pages read their profile sections.
  MainWindow(Profile& profile, ApplicationInfo info);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  MainWindowControls controls;

  // The members bound to controls.
  int dataFormat = -1;  // 0 usr, 1 NMEA, -1 none selected
  std::string trackFilePath;
  std::string trailLabel;
  std::string infoText;
  // The further fields of the open and trail commands.
  std::string trailName;  // as typed last, UTF-8
  std::int32_t recordCount = 0;
  std::int32_t dataOffset = 0;
  bool trailLoaded = false;
  TrackData track;

  MapPage mapPage;
  ConvertPage convertPage;

  const ApplicationInfo& Info() const { return info_; }
  bool Closed() const { return closed_; }

  void Read();  // controls to members
  void Show();  // members to controls

  void OnOpenTrackFile(Shell& shell);
  void OnDataFormatChanged();
  void OnChooseTrail(Shell& shell);
  void OnTabChanged();
  void OnExit();
  // Enter (the default button) and Escape do nothing.
  void OnAccept() {}
  void OnEscape() {}
  void OnVersionInfo(Shell& shell);

  // For the pages' "usr情報再表示 >>": the overview of the last .usr file read
  // becomes the information box's text, and the window shows its members.
  void ShowUsrFileOverview();

 private:
  ApplicationInfo info_;
  bool closed_ = false;
};

}  // namespace kestrel
