#pragma once
// Helpers shared by the test programs: test data, temporary folders, a pinned
// time zone and a scripted shell that records every message.

#include <cstdint>
#include <deque>
#include <ostream>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kestrel::test {

// Path of a file under tests/data.
std::string DataPath(const std::string& name);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Compares a produced text with a golden file under tests/data, byte for
// byte. With KRM_UPDATE_GOLDEN=1 in the environment the golden file is
// written instead; a missing golden file is a failure.
void ExpectMatchesGolden(const std::string& actual, const std::string& goldenName);

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name = "") const;
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path root_;
};

// Sets TZ for the scope and restores the previous zone after it.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

// A shell with the window's dialogs that records what the program shows and
// answers from lists.
class ScriptedShell : public Shell, public Dialogs {
 public:
  struct Shown {
    enum class Kind {
      Message, Question, OpenDialog, SaveDialog, ColorChooser, TrailPrompt, ApiKeyPrompt, VersionInfo, Browser
    };
    Kind kind;
    // The message or question text; the version dialog's two lines joined by
    // "\n"; the path opened in the browser.
    std::string text;
    MessageIcon icon = MessageIcon::None;  // for messages
    FileDialogRequest dialog;              // for file dialogs
    std::string detail{};                  // for messages
    std::vector<ListedTrail> trails{};     // for the trail prompt
    bool operator==(const Shown&) const = default;
  };

  std::vector<Shown> shown;
  friend void PrintTo(const Shown& shown, std::ostream* out);
  std::deque<bool> yesNoAnswers;
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<std::optional<std::uint32_t>> colorAnswers;
  std::deque<std::optional<std::string>> promptAnswers;
  // Trails the trail prompt picks from its list (their places, from 0),
  // before any name of promptAnswers is typed.
  std::deque<std::size_t> trailPicks;
  // Paths that PathExists reports; when unset, the file system answers.
  std::optional<std::vector<std::string>> existingPaths;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  // The progress report (counted from 1) at which the user cancels; none: never.
  std::optional<std::size_t> cancelAtReport;
  // Runs at the first progress report, once: what happens meanwhile (another
  // program at work, memory running out).
  std::function<void()> atFirstReport;

  // The texts of the messages shown (not questions), in order.
  std::vector<std::string> Messages() const;

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
  bool ReportProgress(std::int64_t done, std::int64_t total) override;
};

}  // namespace kestrel::test
