#pragma once
// The controls both tab pages have at the same places: the thinning frame
// (smoothing, the percentage list with its points label, the explicit point
// count), "usr情報再表示 >>", "拡張子のみ変更" and the save and reset buttons.
// The two page models name these controls and handlers alike.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "app/main_window.h"
#include "gui/control_binder.h"
#include "gui/dialog_layout.h"
#include "platform/shell.h"

namespace kestrel::gui {

// The controls in the order the Tab key visits them: the frame's first,
// then the naming switch and the two settings buttons.
struct SharedPageControls {
  QPushButton* showUsrInfo;
  std::vector<QWidget*> thinning;
  QCheckBox* sameName;
  QPushButton* saveSettings;
  QPushButton* resetSettings;
};

template <typename PageModel>
SharedPageControls MakeSharedPageControls(DialogLayout& layout, ControlBinder& binder, MainWindow& window,
                                          PageModel& page, Shell& shell) {
  auto& c = page.controls;
  ThinningControlState& t = page.thinning.controls;
  SharedPageControls made{};

  made.showUsrInfo = layout.Button("showUsrInfo", "usr情報再表示 >>", {232, 7, 64, 14});
  binder.Button(made.showUsrInfo, [&window] { window.OnShowUsrInfo(); });
  binder.Enabled({made.showUsrInfo}, c.showUsrInfoEnabled);

  layout.Frame("thinningFrame", {9, 92, 128, 74});
  layout.Label("thinningHeading", "データ数調整", {14, 101, 40, 8});
  QCheckBox* smoothing = layout.CheckBox("smoothing", "ﾃﾞｰﾀの平滑化", {68, 100, 56, 10});
  binder.Check(smoothing, t.smoothing);
  QLabel* rateCaption = layout.Label("rateCaption", "使用率", {16, 122, 22, 8});
  QComboBox* rateList = layout.List("rateList", {39, 119, 27, 68}, "100");
  // A list of a hundred entries opens as a short scrolling list, not as
  // high as the screen.
  rateList->setStyleSheet(QStringLiteral("combobox-popup: 0;"));
  rateList->setMaxVisibleItems(10);
  binder.Choice(rateList, t.rateItems, t.rateIndex, [&window, &page] { page.OnRateChanged(window.track); });
  QLabel* percent = layout.Label("percent", "%", {69, 123, 8, 8});
  QLabel* pointsLabel = layout.Label("pointsLabel", "", {78, 123, 57, 8});
  binder.Text(pointsLabel, t.pointsLabel);
  binder.Enabled({rateCaption, rateList, percent, pointsLabel}, t.rateControlsEnabled);
  QCheckBox* usePointCount = layout.CheckBox("usePointCount", "Point数指定", {16, 146, 51, 10});
  binder.Check(usePointCount, t.usePointCount, [&page] { page.OnPointCountToggled(); });
  QLineEdit* pointCount = layout.Edit("pointCount", {67, 144, 23, 14});
  binder.Text(pointCount, t.pointCountText);
  binder.Enabled({pointCount, layout.Label("pointsUnit", "Points", {92, 147, 21, 8})}, t.pointCountEnabled);
  made.thinning = {smoothing, rateList, usePointCount, pointCount};

  made.sameName = layout.CheckBox("sameName", "拡張子のみ変更", {230, 135, 64, 10});
  binder.Check(made.sameName, c.sameName);
  made.saveSettings = layout.Button("saveSettings", "設定の保存", {171, 155, 50, 14});
  binder.Button(made.saveSettings, [&page, &shell] { page.OnSaveSettings(shell); });
  made.resetSettings = layout.Button("resetSettings", "設定リセット", {171, 172, 50, 14});
  binder.Button(made.resetSettings, [&page, &shell] { page.OnResetSettings(shell); });
  return made;
}

}  // namespace kestrel::gui
