#pragma once
// The main window: the track file and trail controls, the information box,
// the tab control with the map page and the conversion page, and the loaded
// track. A model without a window: it holds what each control shows and its
// members, and moves them between each other exactly where the window does.

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/convert_page.h"
#include "app/map_page.h"
#include "platform/byte_source.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "track/track_data.h"
#include "track/track_file_kind.h"

namespace kestrel {

enum class Tab { Map = 0, Convert = 1 };

struct MainWindowControls {
  std::vector<std::string> dataFormatItems;  // list 1006: "usr", "NMEA", "gpx"
  int dataFormatIndex = -1;
  std::string trackFilePath;                 // edit 1002, whose list holds the recent files
  std::vector<std::string> recentFiles;      // the files opened last, the latest first
  int recentIndex = -1;                      // the recent file picked, -1 while none is
  std::string trailLabel;                    // static 1051
  bool trailLabelEnabled = true;
  bool trailButtonEnabled = true;            // 1050 "Trail指定"
  std::string infoText;                      // edit 1056 (read-only)
  std::string noticeText;                    // the line under it: lines of a log or points of a GPX file skipped
  std::vector<std::string> tabItems;         // tab control 1007: " GoogleMaps ", " フォーマット変換 "
  int selectedTab = 0;
  bool mapPageVisible = false;
  bool convertPageVisible = false;

  bool operator==(const MainWindowControls&) const = default;
};

class MainWindow {
 public:
  // Runs the window's initialisation; both pages read their profile
  // sections, the window its data format and recent files.
  MainWindow(Profile& profile, ApplicationInfo info);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  MainWindowControls controls;

  // The members bound to controls.
  int dataFormat = -1;  // 0 usr, 1 NMEA, 2 GPX, -1 none selected
  std::string trackFilePath;
  std::string trailLabel;
  std::string infoText;
  std::string noticeText;
  // The further fields of the open and trail commands.
  std::string trailName;  // as typed last, UTF-8
  bool trailLoaded = false;
  TrackData track;

  MapPage mapPage;
  ConvertPage convertPage;

  const ApplicationInfo& Info() const { return info_; }
  bool Closed() const { return closed_; }

  void Read();  // controls to members
  void Show();  // members to controls

  // "開く": the open dialog for the selected data format.
  void OnOpenTrackFile(Dialogs& dialogs, Shell& shell);
  // Opens a file without the dialog (named on the command line, typed into
  // the box, dropped on the window or picked from the recent files): the
  // data format follows its name as for krm, then it opens as with "開く".
  void OpenTrackFile(const std::string& path, Shell& shell);
  // Enter in the track file box opens the path typed there.
  void OnTrackPathEntered(Shell& shell);
  void OnRecentFilePicked(Shell& shell);
  void OnDataFormatChanged(Shell& shell);
  void OnChooseTrail(Dialogs& dialogs, Shell& shell);
  void OnTabChanged();
  // Each page's "usr情報再表示 >>": the overview of the last .usr (or GPX)
  // file read becomes the information box's text.
  void OnShowUsrInfo();
  // The pages' output commands on the loaded track. The map output takes
  // the track file box's text as the track's path, as typed.
  void OnMapOutput(Shell& shell, Dialogs& dialogs);
  void OnConvert(Shell& shell);
  void OnExit();
  // Enter (the default button) and Escape do nothing.
  void OnAccept() {}
  void OnEscape() {}
  void OnVersionInfo(Dialogs& dialogs);

 private:
  // The trail controls and "usr情報再表示 >>" follow the data format read;
  // false while none is selected.
  bool ApplyDataFormat();
  void Open(const std::string& path, TrackFileKind kind, Shell& shell);
  // Keeps the data format and the recent files in the profile.
  void Remember(Shell& shell);

  Profile& profile_;
  ApplicationInfo info_;
  // The .usr or GPX file whose directory the track holds, open since it was
  // read: its trails (or tracks) are read from it.
  std::unique_ptr<ByteSource> listedFile_;
  bool closed_ = false;
  bool rememberFailureShown_ = false;
};

}  // namespace kestrel
