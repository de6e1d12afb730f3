#include "gui/main_window_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app_icon.h"
#include "gui/convert_page_view.h"
#include "gui/dialog_layout.h"
#include "gui/map_page_view.h"
#include "gui/tab_control.h"

namespace kestrel::gui {
namespace {

// The window as designed, in dialog units; the information box may make it wider.
constexpr int kWindowWidth = 402;
constexpr int kWindowHeight = 289;
constexpr DialogRect kInfoBox{316, 8, 79, 232};
// Under the box: how many lines of a log were skipped, on up to two lines.
constexpr DialogRect kNotice{316, 242, 79, 16};
constexpr int kExitWidth = 64;

// The widest lines of a summary, which the information box shows unbroken.
constexpr const char* kWidestSummaryLines[] = {"【時刻(ローカル時間)】", "-180.0000 ～ -180.0000",
                                               "-9999.0 ～ -9999.0 (m)", "      ～ 23時59分59秒"};

constexpr const char* kVersionItem = "Kestrelmarking のﾊﾞｰｼﾞｮﾝ情報(&A)...";

// The width in pixels that shows every summary line of the box unbroken.
int InfoBoxWidth(const QPlainTextEdit& box) {
  int text = 0;
  for (const char* line : kWidestSummaryLines) {
    text = std::max(text, box.fontMetrics().horizontalAdvance(QString::fromUtf8(line)));
  }
  const int margins = 2 * static_cast<int>(box.document()->documentMargin()) + 2 * box.frameWidth();
  return text + margins + box.verticalScrollBar()->sizeHint().width() + box.fontMetrics().averageCharWidth();
}

// The local file a drag carries, or empty.
QString DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl url = data->urls().constFirst();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

MainWindowView::MainWindowView(MainWindow& model, Shell& shell, Dialogs& dialogs)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      model_(model),
      shell_(shell) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QStringLiteral("Kestrelmarking"));
  setWindowIcon(ApplicationIcon());
  setFont(DialogFont());
  setAcceptDrops(true);
  content_ = new QWidget(this);
  content_->setObjectName(QStringLiteral("content"));
  DialogLayout layout(content_);
  const DialogUnits& units = layout.Units();
  MainWindowControls& c = model.controls;

  layout.Frame("fileFrame", {7, 3, 305, 47});
  layout.Label("trackFileCaption", "トラックファイル", {13, 15, 52, 8});
  // The path box lists the recent files; Enter opens what is typed in it.
  QComboBox* path = layout.List("trackFilePath", {66, 13, 186, 80}, "", true);
  path->setDuplicatesEnabled(true);  // so that Enter never picks an entry by itself
  path->lineEdit()->setAcceptDrops(false);
  binder_.Choice(path, c.recentFiles, c.recentIndex, [&model, &shell] { model.OnRecentFilePicked(shell); });
  binder_.Text(path->lineEdit(), c.trackFilePath);
  connect(path->lineEdit(), &QLineEdit::returnPressed, this,
          [this, &model, &shell] { Run([&] { model.OnTrackPathEntered(shell); }); });
  QPushButton* open = layout.Button("open", "開く(&O)", {256, 13, 50, 14});
  const auto openFile = [&model, &shell, &dialogs] { model.OnOpenTrackFile(dialogs, shell); };
  binder_.Button(open, openFile);
  layout.Label("dataFormatCaption", "ﾃﾞｰﾀ形式", {13, 33, 30, 8});
  QComboBox* dataFormat = layout.List("dataFormat", {45, 31, 40, 40}, "NMEA");
  binder_.Choice(dataFormat, c.dataFormatItems, c.dataFormatIndex, [&model, &shell] { model.OnDataFormatChanged(shell); });
  QLabel* trailLabel = layout.Label("trailLabel", "", {95, 33, 110, 8});
  binder_.Text(trailLabel, c.trailLabel);
  binder_.Enabled({trailLabel}, c.trailLabelEnabled);
  QPushButton* chooseTrail = layout.Button("chooseTrail", "Trail指定(&T)", {256, 30, 50, 14});
  binder_.Button(chooseTrail, [&model, &shell, &dialogs] { model.OnChooseTrail(dialogs, shell); });
  binder_.Enabled({chooseTrail}, c.trailButtonEnabled);

  auto* tabControl = new TabControl(content_);
  layout.Place(tabControl, "tabControl", {7, 54, 305, 228});
  binder_.Tabs(tabControl->Tabs(), c.tabItems, c.selectedTab, [&model] { model.OnTabChanged(); });
  mapPage_ = new MapPageView(model, shell, dialogs, binder_, tabControl);
  convertPage_ = new ConvertPageView(model, shell, binder_, tabControl);
  tabControl->AddPage(mapPage_);
  tabControl->AddPage(convertPage_);
  binder_.Visible(mapPage_, c.mapPageVisible);
  binder_.Visible(convertPage_, c.convertPageVisible);

  QPlainTextEdit* info = layout.TextBox("info", kInfoBox);
  info->resize(std::max(info->width(), InfoBoxWidth(*info)), info->height());
  binder_.Text(info, c.infoText);
  QLabel* notice = layout.Label("notice", "", kNotice);
  notice->resize(info->width(), notice->height());
  notice->setWordWrap(true);
  binder_.Text(notice, c.noticeText);
  QPushButton* exit = layout.Button("exit", "終了(&X)", {0, 266, kExitWidth, 16});
  exit->move(info->x() + (info->width() - exit->width()) / 2, exit->y());
  binder_.Button(exit, [&model] { model.OnExit(); });
  content_->setFixedSize(std::max(units.ToPixelsX(kWindowWidth), info->geometry().right() + 1 + units.ToPixelsX(7)),
                         units.ToPixelsY(kWindowHeight));

  SetTabOrder({path, open, dataFormat, chooseTrail, tabControl->Tabs(), info, exit});

  // The controls keep their places; a window smaller than they need scrolls.
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidget(content_);
  auto* whole = new QVBoxLayout(this);
  whole->setContentsMargins(0, 0, 0, 0);
  whole->addWidget(scroll_);
  QSize size = content_->size();
  if (const QScreen* screen = this->screen()) size = size.boundedTo(screen->availableGeometry().size());
  resize(size);

  auto* versionInfo = new QAction(QString::fromUtf8(kVersionItem), this);
  versionInfo->setObjectName(QStringLiteral("versionInfo"));
  versionInfo->setShortcut(QKeySequence(Qt::Key_F1));
  connect(versionInfo, &QAction::triggered, this,
          [this, &model, &dialogs] { Run([&] { model.OnVersionInfo(dialogs); }); });
  addAction(versionInfo);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  // The same keys on every desktop, whatever its own key scheme says.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
          [this, openFile] { Run(openFile); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
          [this, &model] { Run([&model] { model.OnExit(); }); });

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

void MainWindowView::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindowView::dropEvent(QDropEvent* event) {
  const QString file = DraggedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // The drag ends first, so that the messages of the open come after it.
  QMetaObject::invokeMethod(
      this, [this, path = file.toStdString()] { Run([&] { model_.OpenTrackFile(path, shell_); }); },
      Qt::QueuedConnection);
}

}  // namespace kestrel::gui
