#pragma once
// The shell of the command line: every message goes to stderr (its detail, if
// any, on a second line that begins with two spaces), questions are answered
// from the options, and there is no window with dialogs of its own.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace kestrel::cli {

class CliShell : public Shell {
 public:
  // force answers every overwrite question with Yes; outputPath is what the
  // save dialog "chooses" (-o), or nothing when the command derives the name.
  // The progress is drawn when stderr is a terminal, or as showProgress says.
  CliShell(std::ostream& err, bool force, std::optional<std::string> outputPath);
  CliShell(std::ostream& err, bool force, std::optional<std::string> outputPath, bool showProgress);

  void ShowMessage(const Message& message) override;
  bool AskYesNo(std::string_view question) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  bool PathExists(const std::string& path) override;
  // A percentage on a terminal; the command line is never cancelled this way.
  bool ReportProgress(std::int64_t done, std::int64_t total) override;

  // Ends a progress line on the terminal, if one was drawn.
  void EndProgress();

 private:
  void Print(std::string_view text);

  std::ostream& err_;
  bool force_;
  std::optional<std::string> outputPath_;
  bool showProgress_;
  int shownPercent_ = -1;
};

// Writes the text to the standard output; a failed write (a full disk, a
// closed output) is shown through the shell and gives false.
bool PrintToStandardOutput(std::string_view text, Shell& shell);

}  // namespace kestrel::cli
