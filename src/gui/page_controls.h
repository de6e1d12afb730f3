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

#include "gui/control_binder.h"
#include "gui/dialog_layout.h"

namespace kestrel::gui {

template <typename PageModel>
void MakeSharedPageControls(DialogLayout& layout, ControlBinder& binder, PageModel& page) {
  auto& c = page.controls;

  QPushButton* showUsrInfo = layout.Button("showUsrInfo", "usr情報再表示 >>", {235, 7, 60, 14});
  binder.Button(showUsrInfo, [&page] { page.OnShowUsrInfo(); });
  binder.Enabled({showUsrInfo}, c.showUsrInfoEnabled);

  layout.Frame("thinningFrame", {9, 92, 114, 74});
  layout.Label("thinningHeading", "データ数調整", {14, 101, 40, 8});
  binder.Check(layout.CheckBox("smoothing", "ﾃﾞｰﾀの平滑化", {68, 100, 52, 10}), c.smoothing);
  QLabel* rateCaption = layout.Label("rateCaption", "使用率", {16, 122, 22, 8});
  QComboBox* rateList = layout.List("rateList", {39, 119, 27, 68}, "100");
  binder.Choice(rateList, c.rateItems, c.rateIndex, [&page] { page.OnRateChanged(); });
  QLabel* percent = layout.Label("percent", "%", {69, 123, 8, 8});
  QLabel* pointsLabel = layout.Label("pointsLabel", "", {78, 123, 43, 8});
  binder.Text(pointsLabel, c.pointsLabel);
  binder.Enabled({rateCaption, rateList, percent, pointsLabel}, c.rateControlsEnabled);
  binder.Check(layout.CheckBox("usePointCount", "Point数指定", {16, 146, 51, 10}), c.usePointCount,
               [&page] { page.OnPointCountToggled(); });
  QLineEdit* pointCount = layout.Edit("pointCount", {67, 144, 23, 14});
  binder.Text(pointCount, c.pointCountText);
  binder.Enabled({pointCount, layout.Label("pointsUnit", "Points", {92, 147, 19, 8})}, c.pointCountEnabled);

  binder.Check(layout.CheckBox("sameName", "拡張子のみ変更", {230, 135, 64, 10}), c.sameName);
  binder.Button(layout.Button("saveSettings", "設定の保存", {171, 155, 50, 14}), [&page] { page.OnSaveSettings(); });
  binder.Button(layout.Button("resetSettings", "設定リセット", {171, 172, 50, 14}),
                [&page] { page.OnResetSettings(); });
}

}  // namespace kestrel::gui
