#include "gui/map_page_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "gui/dialog_layout.h"
#include "gui/packed_color.h"
#include "gui/page_controls.h"

namespace kestrel::gui {
namespace {

// The widest entry of the map list, for the list's width.
constexpr const char* kWidestServiceItem = "Google (API v2 提供終了)";

// The page as designed, in dialog units.
constexpr int kPageWidth = 302;
constexpr int kPageHeight = 193;

// The preview line runs between these points, given in the pixels of the
// design's font.
constexpr QPoint kPreviewStart(100, 75);
constexpr QPoint kPreviewEnd(150, 75);

// The preview line, the page's paint request: it reads the page's controls
// and draws the line in the preview colour and width. It lies above the
// line frame, whose style may tint what is below it.
class PreviewLineView : public QWidget {
 public:
  PreviewLineView(MapPage& model, QPoint start, QPoint end, QWidget* parent)
      : QWidget(parent), model_(model), start_(start), end_(end) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(QRect(start, end).normalized().adjusted(-kMargin, -kMargin, kMargin, kMargin));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const PreviewLine line = model_.OnPaintPreview();
    QPainter painter(this);
    painter.setPen(QPen(ToQColor(line.color), line.width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(mapFromParent(start_), mapFromParent(end_));
  }

 private:
  // Room for the widest line.
  static constexpr int kMargin = 8;

  MapPage& model_;
  QPoint start_;
  QPoint end_;
};

// The key-state label: the model gives its text and background each time it
// is drawn.
class KeyStateLabel : public QWidget {
 public:
  KeyStateLabel(const MapPage& model, QWidget* parent) : QWidget(parent), model_(model) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    const KeyState state = model_.OnDrawKeyState();
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(state.background));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(state.text));
  }

 private:
  const MapPage& model_;
};

}  // namespace

MapPageView::MapPageView(MainWindow& window, Shell& shell, Dialogs& dialogs, ControlBinder& binder, QWidget* parent)
    : QWidget(parent), units_(font()) {
  setObjectName(QStringLiteral("mapPage"));
  MapPage& model = window.mapPage;
  DialogLayout layout(this);
  resize(units_.ToPixels(kPageWidth, kPageHeight));
  MapPageControls& c = model.controls;

  layout.Label("titleCaption", "タイトル", {10, 16, 24, 8});
  QLineEdit* title = layout.Edit("title", {35, 14, 90, 14});
  binder.Text(title, c.title);
  // The map service, beside the title.
  QComboBox* service = layout.List("mapService", {129, 14, 98, 50}, kWidestServiceItem);
  binder.Choice(service, c.serviceItems, c.serviceIndex, [&model] { model.OnServiceChanged(); });
  service->setToolTip(
      QString::fromUtf8("地理院地図の詳細な地図は日本国内だけです。海外のﾄﾗｯｸにはOpenStreetMapを選んで下さい"));

  layout.Frame("lineFrame", {9, 35, 158, 55});
  layout.Label("lineHeading", "航跡線の設定", {13, 46, 42, 8});
  auto* preview = new PreviewLineView(model, PreviewStart(), PreviewEnd(), this);
  preview->setObjectName(QStringLiteral("preview"));
  QPushButton* chooseColor = layout.Button("chooseColor", "色選択", {21, 67, 50, 14});
  binder.Button(chooseColor, [&model, &dialogs] { model.OnChooseColor(dialogs); });
  layout.Label("widthCaption", "太さ ：", {81, 58, 19, 8});
  QComboBox* widthList = layout.List("widthList", {80, 67, 36, 70}, "極太");
  binder.Choice(widthList, c.widthItems, c.widthIndex, [&model] { model.OnWidthChanged(); });
  QCheckBox* transparency = layout.CheckBox("transparency", "透過", {127, 69, 30, 10});
  binder.Check(transparency, c.transparency, [&model] { model.OnTransparencyToggled(); });

  layout.Frame("replayFrame", {171, 36, 74, 55});
  QCheckBox* routeReplay = layout.CheckBox("routeReplay", "ﾙｰﾄ再生", {174, 43, 42, 10});
  binder.Check(routeReplay, c.routeReplay, [&model] { model.OnRouteReplayToggled(); });
  QRadioButton* dropTrail = layout.RadioButton("dropTrail", "軌跡を残さない", {180, 57, 60, 10});
  QRadioButton* keepTrail = layout.RadioButton("keepTrail", "軌跡を残す", {180, 71, 49, 10});
  binder.Check(dropTrail, c.dropTrailChecked);
  binder.Check(keepTrail, c.keepTrailChecked);
  binder.Enabled({dropTrail, keepTrail}, c.trailRadiosEnabled);
  QCheckBox* overview = layout.CheckBox("overviewControl", "ｵｰﾊﾞｰﾋﾞｭｰｺﾝﾄﾛｰﾙ", {202, 97, 73, 10});
  binder.Check(overview, c.overviewControl);

  const SharedPageControls shared = MakeSharedPageControls(layout, binder, window, model, shell);

  QPushButton* apiKey = layout.Button("apiKey", "API_KEY設定", {17, 172, 50, 14});
  binder.Button(apiKey, [&model, &dialogs, &shell] { model.OnApiKey(dialogs, shell); });
  // The key state concerns only the map that needs a key.
  QLabel* keyStateColon = layout.Label("keyStateColon", "：", {68, 175, 8, 8}, true);
  auto* keyState = new KeyStateLabel(model, this);
  layout.Place(keyState, "keyState", {76, 175, 34, 8});
  binder.Visible(keyStateColon, c.keyStateVisible);
  binder.Visible(keyState, c.keyStateVisible);

  QPushButton* output = layout.Button("output", "ファイル出力(&F)", {228, 153, 67, 33});
  binder.Button(output, [&window, &shell, &dialogs] { window.OnMapOutput(shell, dialogs); });

  std::vector<QWidget*> order{shared.showUsrInfo, title,    service,  chooseColor, widthList, transparency,
                              routeReplay,        dropTrail, keepTrail, overview};
  order.insert(order.end(), shared.thinning.begin(), shared.thinning.end());
  order.insert(order.end(), {apiKey, shared.sameName, shared.saveSettings, shared.resetSettings, output});
  SetTabOrder(order);

  // The preview and the key state follow whatever a handler changed.
  binder.AfterRefresh([preview, keyState] {
    preview->update();
    keyState->update();
  });
}

QPoint MapPageView::PreviewStart() const { return units_.FromDesignPixels(kPreviewStart); }
QPoint MapPageView::PreviewEnd() const { return units_.FromDesignPixels(kPreviewEnd); }

}  // namespace kestrel::gui
