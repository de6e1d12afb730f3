#include "gui/main_window_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include "gui/app_icon.h"
#include "gui/convert_page_view.h"
#include "gui/dialog_layout.h"
#include "gui/map_page_view.h"
#include "gui/tab_control.h"

namespace kestrel::gui {
namespace {

// The window as designed, in dialog units.
constexpr int kWindowWidth = 402;
constexpr int kWindowHeight = 289;

constexpr const char* kVersionItem = "Kestrelmarking のﾊﾞｰｼﾞｮﾝ情報(&A)...";

}  // namespace

MainWindowView::MainWindowView(MainWindow& model, Shell& shell)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      model_(model) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Kestrelmarking"));
  setWindowIcon(ApplicationIcon());
  setFont(DialogFont());
  DialogLayout layout(this);
  setFixedSize(layout.Units().ToPixels(kWindowWidth, kWindowHeight));
  MainWindowControls& c = model.controls;

  layout.Frame("fileFrame", {7, 3, 305, 47});
  layout.Label("trackFileCaption", "トラックファイル", {13, 15, 52, 8});
  binder_.Text(layout.Edit("trackFilePath", {66, 13, 186, 14}), c.trackFilePath);
  QPushButton* open = layout.Button("open", "開く", {256, 13, 50, 14});
  binder_.Button(open, [&model, &shell] { model.OnOpenTrackFile(shell); });
  layout.Label("dataFormatCaption", "ﾃﾞｰﾀ形式", {13, 33, 30, 8});
  binder_.Choice(layout.List("dataFormat", {45, 31, 40, 40}, "NMEA"), c.dataFormatItems, c.dataFormatIndex,
                 [&model] { model.OnDataFormatChanged(); });
  QLabel* trailLabel = layout.Label("trailLabel", "", {95, 33, 110, 8});
  binder_.Text(trailLabel, c.trailLabel);
  binder_.Enabled({trailLabel}, c.trailLabelEnabled);
  QPushButton* chooseTrail = layout.Button("chooseTrail", "Trail指定", {256, 30, 50, 14});
  binder_.Button(chooseTrail, [&model, &shell] { model.OnChooseTrail(shell); });
  binder_.Enabled({chooseTrail}, c.trailButtonEnabled);

  auto* tabControl = new TabControl(this);
  layout.Place(tabControl, "tabControl", {7, 54, 305, 228});
  binder_.Tabs(tabControl->Tabs(), c.tabItems, c.selectedTab, [&model] { model.OnTabChanged(); });
  mapPage_ = new MapPageView(model.mapPage, shell, binder_, tabControl);
  convertPage_ = new ConvertPageView(model.convertPage, shell, binder_, tabControl);
  tabControl->AddPage(mapPage_);
  tabControl->AddPage(convertPage_);
  binder_.Visible(mapPage_, c.mapPageVisible);
  binder_.Visible(convertPage_, c.convertPageVisible);

  binder_.Text(layout.TextBox("info", {316, 8, 79, 250}), c.infoText);
  binder_.Button(layout.Button("exit", "終了", {324, 266, 64, 16}), [&model] { model.OnExit(); });

  auto* versionInfo = new QAction(QString::fromUtf8(kVersionItem), this);
  versionInfo->setObjectName(QStringLiteral("versionInfo"));
  versionInfo->setShortcut(QKeySequence(Qt::Key_F1));
  connect(versionInfo, &QAction::triggered, this, [this, &model, &shell] { Run([&] { model.OnVersionInfo(shell); }); });
  addAction(versionInfo);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  // Opening a track file is the first thing to do.
  open->setFocus();

  // The window ends when its model has closed it.
  binder_.AfterRefresh([this] {
    if (model_.Closed() && isVisible()) done(QDialog::Rejected);
  });
  Refresh();
}

void MainWindowView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      Run([this] { model_.OnEscape(); });
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Run([this] { model_.OnAccept(); });
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  Run([this] { model_.OnExit(); });
  if (model_.Closed()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace kestrel::gui
