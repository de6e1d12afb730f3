#include "gui/qt_shell.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "gui/packed_color.h"
#include "gui/prompt_dialogs.h"
#include "platform/paths.h"

namespace kestrel::gui {

// One command's long work: it starts with the first progress report and
// ends when the command returns to the event loop (deferred deletion waits
// for that, while the events processed during the work do not end it).
class LongWork : public QObject {
 public:
  LongWork(QWidget* window, QObject* owner) : QObject(owner), window_(window) {
    started_.start();
    // At once, so that a click during a short load is seen not to be taken.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    deleteLater();
  }
  ~LongWork() override {
    delete dialog_;
    QApplication::restoreOverrideCursor();
  }
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  bool Report(std::int64_t done, std::int64_t total) {
    if (!dialog_ && !cancelled_ && started_.elapsed() >= kShowAfterMilliseconds) ShowDialog();
    // A value set after Cancel would show the dialog again.
    if (dialog_ && !cancelled_ && total > 0) dialog_->setValue(static_cast<int>(std::min(done, total) * kSteps / total));
    // Paint the windows. Clicks and keys wait until the dialog is up: then
    // they reach its Cancel button, and the windows beneath it take none.
    QCoreApplication::processEvents(dialog_ && dialog_->isVisible() ? QEventLoop::AllEvents
                                                                    : QEventLoop::ExcludeUserInputEvents);
    return !cancelled_;
  }

 private:
  void ShowDialog() {
    dialog_ = new QProgressDialog(window_);
    dialog_->setObjectName(QStringLiteral("progress"));
    dialog_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog_->setWindowTitle(window_ ? window_->windowTitle() : QString());
    dialog_->setLabelText(QStringLiteral("処理しています..."));
    dialog_->setCancelButtonText(QStringLiteral("ｷｬﾝｾﾙ"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setRange(0, kSteps);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    QObject::connect(dialog_, &QProgressDialog::canceled, this, [this] {
      cancelled_ = true;
      dialog_->hide();
    });
    // Laid out whole before it shows: a dialog that grows while shown
    // leaves stripes of old pixels at its edge.
    dialog_->setFixedSize(dialog_->sizeHint().expandedTo(QSize(dialog_->fontMetrics().averageCharWidth() * 40, 0)));
    dialog_->show();
  }

  static constexpr qint64 kShowAfterMilliseconds = 500;
  static constexpr int kSteps = 1000;

  QPointer<QWidget> window_;
  QElapsedTimer started_;
  QPointer<QProgressDialog> dialog_;
  bool cancelled_ = false;
};

namespace {

// The patterns of a filter list, separated by ";", as a dialog's name filter
// wants them: separated by blanks, and "*.*" as every file.
QString PatternsOf(std::string_view patterns) {
  QStringList result;
  for (const QString& pattern :
       QString::fromUtf8(patterns.data(), static_cast<qsizetype>(patterns.size())).split(u';', Qt::SkipEmptyParts)) {
    result << (pattern.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*") : pattern.trimmed());
  }
  return result.join(u' ');
}

// What a window manager's title bar takes beside the caption: the icon and
// the buttons, with room to spare.
constexpr int kCaptionButtonsWidth = 160;

// A message box wide enough for the window manager to show its whole
// caption beside its buttons; a box as narrow as its text gets "K...g".
class CaptionedMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  // The box sets its own size as it is shown, before the window manager
  // sees it, and again whenever its layout changes.
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    Widen();
  }
  bool event(QEvent* event) override {
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::LayoutRequest) Widen();
    return handled;
  }

 private:
  void Widen() {
    const int needed = fontMetrics().horizontalAdvance(windowTitle()) + kCaptionButtonsWidth;
    if (width() < needed) setFixedWidth(needed);
  }
};

// A message box's buttons carry their caption only, as the desktop's own do.
void SetCaption(QAbstractButton* button, const QString& caption) {
  button->setText(caption);
  button->setIcon(QIcon());
}

}  // namespace

QStringList NameFiltersOf(std::string_view filterList) {
  QStringList filters;
  std::size_t position = 0;
  while (position < filterList.size()) {
    const std::size_t descriptionEnd = filterList.find('|', position);
    if (descriptionEnd == std::string_view::npos || descriptionEnd == position) break;
    const std::string_view description = filterList.substr(position, descriptionEnd - position);
    const std::size_t patternEnd = filterList.find('|', descriptionEnd + 1);
    const std::string_view patterns =
        filterList.substr(descriptionEnd + 1, patternEnd == std::string_view::npos ? std::string_view::npos
                                                                                   : patternEnd - descriptionEnd - 1);
    // The dialog hides the pattern part in parentheses at the end, so the
    // description shows as it is written.
    filters << QString::fromUtf8(description.data(), static_cast<qsizetype>(description.size())) +
                   QStringLiteral(" (") + PatternsOf(patterns) + u')';
    if (patternEnd == std::string_view::npos) break;
    position = patternEnd + 1;
  }
  return filters;
}

QtShell::QtShell(std::string caption) : caption_(std::move(caption)) {}

QtShell::~QtShell() = default;

std::unique_ptr<QMessageBox> QtShell::MakeMessageBox(const Message& message) const {
  auto box = std::make_unique<CaptionedMessageBox>(window_);
  box->setWindowTitle(QString::fromStdString(caption_));
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(message.text));
  if (!message.detail.empty()) box->setDetailedText(QString::fromStdString(message.detail));
  switch (message.icon) {
    case MessageIcon::None:
      box->setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::Error:
      box->setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Information:
      box->setIcon(QMessageBox::Information);
      break;
  }
  box->setStandardButtons(QMessageBox::Ok);
  SetCaption(box->button(QMessageBox::Ok), QStringLiteral("OK"));
  return box;
}

std::unique_ptr<QMessageBox> QtShell::MakeQuestionBox(std::string_view question) const {
  auto box = MakeMessageBox({std::string(question), MessageIcon::None});
  box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  SetCaption(box->button(QMessageBox::Yes), QStringLiteral("はい(&Y)"));
  SetCaption(box->button(QMessageBox::No), QStringLiteral("いいえ(&N)"));
  box->setDefaultButton(QMessageBox::Yes);
  return box;
}

std::unique_ptr<QFileDialog> QtShell::MakeFileDialog(const FileDialogRequest& request, bool save) const {
  auto dialog = std::make_unique<QFileDialog>(window_);
  // The program's own dialog on every desktop: it keeps the descriptions of
  // the filter list, the default extension and the overwrite question alike.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setWindowTitle(save ? QStringLiteral("名前を付けて保存") : QStringLiteral("開く"));
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setNameFilters(NameFiltersOf(request.filter));
  dialog->setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (!request.folder.empty()) dialog->setDirectory(QString::fromStdString(request.folder));
  // An initial name with wildcards only repeats the first filter, which is
  // in force already. A whole path also chooses the folder.
  const QString initial = QString::fromStdString(request.initialFileName);
  if (!initial.isEmpty() && !initial.contains(u'*') && !initial.contains(u'?')) dialog->selectFile(initial);
  return dialog;
}

void QtShell::ShowMessage(const Message& message) { MakeMessageBox(message)->exec(); }

bool QtShell::AskYesNo(std::string_view question) {
  const auto box = MakeQuestionBox(question);
  box->exec();
  return box->clickedButton() == box->button(QMessageBox::Yes);
}

std::optional<std::string> QtShell::ChooseFile(const FileDialogRequest& request, bool save) {
  const auto dialog = MakeFileDialog(request, save);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return dialog->selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtShell::ChooseFileToOpen(const FileDialogRequest& request) {
  return ChooseFile(request, false);
}

std::optional<std::string> QtShell::ChooseFileToSave(const FileDialogRequest& request) {
  return ChooseFile(request, true);
}

bool QtShell::PathExists(const std::string& path) { return kestrel::PathExists(path); }

std::optional<std::uint32_t> QtShell::ChooseColor(std::uint32_t initial) {
  QColorDialog dialog(ToQColor(initial), window_);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToPackedColor(dialog.selectedColor());
}

std::optional<TrailChoice> QtShell::PromptTrailName(const std::string& initial,
                                                    const std::vector<ListedTrail>& trails) {
  TrailDialog dialog(window_);
  dialog.SetTrails(trails);
  dialog.SetText(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

std::optional<std::string> QtShell::PromptApiKey(const std::string& initial) {
  ApiKeyDialog dialog(window_);
  dialog.SetText(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Text();
}

void QtShell::ShowVersionInfo(const std::string& versionLine, const std::string& legalNotice) {
  AboutDialog(versionLine, legalNotice, window_).exec();
}

void QtShell::OpenInBrowser(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtShell::ReportProgress(std::int64_t done, std::int64_t total) {
  if (!work_) work_ = new LongWork(window_, qApp);
  return work_->Report(done, total);
}

}  // namespace kestrel::gui
