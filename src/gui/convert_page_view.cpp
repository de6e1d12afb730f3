#include "gui/convert_page_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <vector>

#include "gui/dialog_layout.h"
#include "gui/page_controls.h"

namespace kestrel::gui {
namespace {

// The page as designed, in dialog units.
constexpr int kPageWidth = 301;
constexpr int kPageHeight = 193;
constexpr const char* kWidestFormatItem = "CSV（ｶﾝﾏ区切り）";

}  // namespace

ConvertPageView::ConvertPageView(MainWindow& window, Shell& shell, ControlBinder& binder, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("convertPage"));
  ConvertPage& model = window.convertPage;
  DialogLayout layout(this);
  resize(layout.Units().ToPixels(kPageWidth, kPageHeight));
  ConvertPageControls& c = model.controls;

  // The output format: one drop-down list of the seven types.
  layout.Frame("formatFrame", {9, 20, 120, 56});
  layout.Label("formatHeading", "変換後の形式", {14, 29, 48, 8});
  QComboBox* format = layout.List("format", {22, 43, 96, 100}, kWidestFormatItem);
  binder.Choice(format, c.formatItems, c.formatIndex);

  const SharedPageControls shared = MakeSharedPageControls(layout, binder, window, model, shell);
  QCheckBox* useUtc = layout.CheckBox("useUtc", "UTC時間で出力", {140, 100, 70, 10});
  binder.Check(useUtc, c.useUtc);

  QPushButton* convert = layout.Button("convert", "データ変換(&C)", {228, 153, 67, 33});
  binder.Button(convert, [&window, &shell] { window.OnConvert(shell); });

  std::vector<QWidget*> order{shared.showUsrInfo, format};
  order.insert(order.end(), shared.thinning.begin(), shared.thinning.end());
  order.insert(order.end(), {useUtc, shared.sameName, shared.saveSettings, shared.resetSettings, convert});
  SetTabOrder(order);
}

}  // namespace kestrel::gui
