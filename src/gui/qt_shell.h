#pragma once
// The desktop's side of the commands: message boxes captioned with the
// program's name, the open and save dialogs, the colour chooser, the trail
// and key prompts, the version dialog, the browser, and a progress dialog
// with a Cancel button for long work.

#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace kestrel::gui {

// A filter list of description|pattern pairs ended by "||" as the name
// filters of a file dialog. Each description is shown exactly as given; a
// pattern "*.*" means every file, as it does in such lists.
QStringList NameFiltersOf(std::string_view filterList);

class LongWork;

class QtShell : public Shell, public Dialogs {
 public:
  explicit QtShell(std::string caption);
  ~QtShell() override;

  // The window that owns the dialogs; none before it exists.
  void SetWindow(QWidget* window) { window_ = window; }

  // The dialogs as they are shown, for a look at them without a command.
  std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message) const;
  std::unique_ptr<QMessageBox> MakeQuestionBox(std::string_view question) const;
  std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogRequest& request, bool save) const;

  void ShowMessage(const Message& message) override;
  bool AskYesNo(std::string_view question) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  bool PathExists(const std::string& path) override;
  std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
  std::optional<TrailChoice> PromptTrailName(const std::string& initial,
                                             const std::vector<ListedTrail>& trails) override;
  std::optional<std::string> PromptApiKey(const std::string& initial) override;
  void ShowVersionInfo(const std::string& versionLine, const std::string& legalNotice) override;
  void OpenInBrowser(const std::string& path) override;
  // Shows a busy cursor at once and a progress dialog once the work has
  // taken half a second, and keeps the windows painting; both go when the
  // command returns. false once "ｷｬﾝｾﾙ" was pressed.
  bool ReportProgress(std::int64_t done, std::int64_t total) override;

 private:
  std::optional<std::string> ChooseFile(const FileDialogRequest& request, bool save);

  std::string caption_;
  QPointer<QWidget> window_;
  QPointer<LongWork> work_;
};

}  // namespace kestrel::gui
