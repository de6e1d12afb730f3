#include "gui/convert_page_view.h"

#include <QCheckBox>
#include <vector>
#include <QPushButton>
#include <QRadioButton>

#include "gui/dialog_layout.h"
#include "gui/page_controls.h"

namespace kestrel::gui {
namespace {

// The page as designed, in dialog units.
constexpr int kPageWidth = 301;
constexpr int kPageHeight = 193;

}  // namespace

ConvertPageView::ConvertPageView(MainWindow& window, Shell& shell, ControlBinder& binder, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("convertPage"));
  ConvertPage& model = window.convertPage;
  DialogLayout layout(this);
  resize(layout.Units().ToPixels(kPageWidth, kPageHeight));
  ConvertPageControls& c = model.controls;

  // The output format: one group of radio buttons; NMEA and usr are chosen
  // only through the stored setting, so they are there but never shown.
  layout.Frame("formatFrame", {9, 20, 120, 56});
  layout.Label("formatHeading", "変換後の形式", {14, 29, 48, 8});
  QRadioButton* csv = layout.RadioButton("csv", "CSV（ｶﾝﾏ区切り）", {22, 43, 80, 10});
  QRadioButton* trk = layout.RadioButton("trk", "Trk", {22, 57, 40, 10});
  binder.Check(csv, c.csvChecked);
  binder.Check(trk, c.trkChecked);
  QRadioButton* nmea = layout.RadioButton("nmea", "NMEA", {72, 57, 30, 10});
  QRadioButton* usr = layout.RadioButton("usr", "usr", {104, 57, 20, 10});
  nmea->hide();
  usr->hide();
  binder.Check(nmea, c.nmeaChecked);
  binder.Check(usr, c.usrChecked);
  binder.Enabled({nmea}, c.nmeaEnabled);
  binder.Enabled({usr}, c.usrEnabled);

  const SharedPageControls shared = MakeSharedPageControls(layout, binder, window, model, shell);
  QCheckBox* useUtc = layout.CheckBox("useUtc", "UTC時間で出力", {140, 100, 70, 10});
  binder.Check(useUtc, c.useUtc);

  QPushButton* convert = layout.Button("convert", "データ変換(&C)", {228, 153, 67, 33});
  binder.Button(convert, [&window, &shell] { window.OnConvert(shell); });

  std::vector<QWidget*> order{shared.showUsrInfo, csv, trk};
  order.insert(order.end(), shared.thinning.begin(), shared.thinning.end());
  order.insert(order.end(), {useUtc, shared.sameName, shared.saveSettings, shared.resetSettings, convert});
  SetTabOrder(order);
}

}  // namespace kestrel::gui
