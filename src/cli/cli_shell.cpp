#include "cli/cli_shell.h"

#include <unistd.h>

#include <ostream>
#include <stdexcept>

#include "platform/atomic_file.h"
#include "platform/output_path.h"
#include "platform/paths.h"
#include "platform/result.h"
#include "platform/text_encoding.h"

namespace kestrel::cli {

CliShell::CliShell(std::ostream& err, bool force, std::optional<std::string> outputPath)
    : CliShell(err, force, std::move(outputPath), isatty(STDERR_FILENO) == 1) {}

CliShell::CliShell(std::ostream& err, bool force, std::optional<std::string> outputPath, bool showProgress)
    : err_(err), force_(force), outputPath_(std::move(outputPath)), showProgress_(showProgress) {}

void CliShell::Print(std::string_view text) {
  EndProgress();
  err_ << ValidUtf8(text);
  if (text.empty() || text.back() != '\n') err_ << '\n';
  err_.flush();
}

void CliShell::ShowMessage(const Message& message) {
  Print(message.text);
  if (!message.detail.empty()) Print("  " + message.detail);
}

bool CliShell::AskYesNo(std::string_view question) {
  if (force_) return true;
  Print(question);
  return false;
}

std::optional<std::string> CliShell::ChooseFileToSave(const FileDialogRequest& request) {
  (void)request;
  if (!outputPath_) throw std::logic_error("no output path given");
  // -o is taken exactly as given; the dialog's own question before replacing
  // a file becomes the same question as for a derived name. A stream (the
  // standard output "-", a device, a pipe) replaces nothing.
  if (!IsStreamTarget(*outputPath_) && kestrel::PathExists(*outputPath_) &&
      !AskYesNo(OverwriteQuestion(*outputPath_))) {
    return std::nullopt;
  }
  return outputPath_;
}

bool CliShell::PathExists(const std::string& path) { return kestrel::PathExists(path); }

bool CliShell::ReportProgress(std::int64_t done, std::int64_t total) {
  // The command line has no cancel button: the work always goes on.
  if (!showProgress_ || total <= 0) return true;
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == shownPercent_) return true;
  shownPercent_ = percent;
  err_ << "\r" << (percent > 100 ? 100 : percent) << "%" << std::flush;
  return true;
}

void CliShell::EndProgress() {
  if (shownPercent_ < 0) return;
  err_ << "\r    \r" << std::flush;
  shownPercent_ = -1;
}

bool PrintToStandardOutput(std::string_view text, Shell& shell) {
  AtomicFile out;
  Result<void> printed = out.Create(kStandardOutputPath);
  if (printed) {
    out.Write(text);
    printed = out.Commit();
  }
  if (!printed) ShowFailure(shell, printed.error());
  return printed.has_value();
}

}  // namespace kestrel::cli
