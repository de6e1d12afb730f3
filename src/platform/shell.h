#pragma once
// How the program's commands reach the person using them. Shell is what
// every command needs: messages, questions, the name of an output, "does
// this path exist" and progress; the Qt program shows dialogs, the command
// line answers from its options. Dialogs are the window's own: the open
// dialog, the colour chooser, the two prompts, the version dialog and the
// browser; only the desktop program has them. Tests answer both from a script.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class MessageIcon { None, Error, Information };

// A message a command wants shown in a box with an OK button.
struct Message {
  std::string text;
  MessageIcon icon = MessageIcon::None;
  // What explains the text, or empty: the reason the system gave or where in
  // a file the data went wrong. The window shows it as the box's detailed
  // text, krm as a second line that begins with two spaces.
  std::string detail{};
};

// Settings of an open or save dialog. The filter is a list of
// description|pattern pairs ended by "||"; the first pair is in force when
// the dialog opens. The initial file name may be a whole path: the dialog
// then starts in its folder.
struct FileDialogRequest {
  std::string defaultExtension;
  std::string initialFileName;
  std::string filter;
  std::string folder{};  // where the dialog starts; empty: where it likes
  bool operator==(const FileDialogRequest&) const = default;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // A modal message box with an OK button; its caption is the program's name.
  virtual void ShowMessage(const Message& message) = 0;
  // A modal question with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // The save dialog (no read-only box, with its own question before an
  // existing file is replaced); appends the default extension when the typed
  // name has none. nullopt when cancelled.
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) = 0;
  virtual bool PathExists(const std::string& path) = 0;
  // Progress of long work: done of total, in bytes or points (total is -1
  // when it is not known in advance). false when the user cancelled: the
  // work stops, leaves nothing half done behind and shows no further message.
  virtual bool ReportProgress(std::int64_t done, std::int64_t total) = 0;
};

// A trail as the trail prompt lists it.
struct ListedTrail {
  std::string name;  // UTF-8
  std::int32_t pointCount = 0;
  bool operator==(const ListedTrail&) const = default;
};

// What the trail prompt gave: the name typed, or the trail picked from its
// list (then its place in the list, from 0, and its name).
struct TrailChoice {
  std::string name;
  std::optional<std::size_t> listed{};
  bool operator==(const TrailChoice&) const = default;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // The open dialog (no read-only box); nullopt when cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) = 0;
  // The colour chooser, colours packed as 0x00BBGGRR; nullopt when cancelled.
  virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;
  // The trail prompt, listing the trails to pick from beside the name to
  // type; nullopt when cancelled.
  virtual std::optional<TrailChoice> PromptTrailName(const std::string& initial,
                                                     const std::vector<ListedTrail>& trails) = 0;
  // The API key prompt; nullopt when cancelled.
  virtual std::optional<std::string> PromptApiKey(const std::string& initial) = 0;
  // The version dialog, modal: the program's description and version on its
  // first line, the legal notice on its second.
  virtual void ShowVersionInfo(const std::string& versionLine, const std::string& legalNotice) = 0;
  // Opens a local file in the person's web browser.
  virtual void OpenInBrowser(const std::string& path) = 0;
};

// Progress as the readers and writers report it, with the same meaning as
// Shell::ReportProgress.
using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The progress of a command's work, reported to its shell.
inline Progress ProgressTo(Shell& shell) {
  return [&shell](std::int64_t done, std::int64_t total) { return shell.ReportProgress(done, total); };
}

}  // namespace kestrel
