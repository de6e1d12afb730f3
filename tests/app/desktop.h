#pragma once
// The desktop program without its window, as a person uses it: a profile in
// a fresh folder, the main window with both pages on it, and a scripted
// shell that answers the dialogs.

#include <memory>
#include <string>

#include "app/application.h"
#include "app/main_window.h"
#include "support/test_support.h"

namespace kestrel::test {

using Kind = ScriptedShell::Shown::Kind;
using Shown = ScriptedShell::Shown;
using ShownList = std::vector<Shown>;

inline Shown MessageBox(std::string text, MessageIcon icon = MessageIcon::None, std::string detail = {}) {
  return {Kind::Message, std::move(text), icon, {}, std::move(detail)};
}
inline Shown Question(std::string text) { return {Kind::Question, std::move(text), MessageIcon::None, {}}; }

inline constexpr int kUsr = 0;
inline constexpr int kNmea = 1;
inline constexpr int kGpx = 2;

class Desktop {
 public:
  // Starts the program on a profile holding the given text (none when empty).
  explicit Desktop(const std::string& profileText = "") : profile(folder.Path("kestrelmarking.INI")) {
    if (!profileText.empty()) WriteFileBytes(profile.Path(), profileText);
    Restart();
  }

  // Closes the window and starts the program again on the same profile.
  void Restart() {
    window_.reset();
    profile = Profile(profile.Path());  // read once, as the program does when it starts
    window_ = std::make_unique<MainWindow>(profile, TheApplicationInfo());
  }

  MainWindow& Window() { return *window_; }
  MapPage& Map() { return window_->mapPage; }
  ConvertPage& Convert() { return window_->convertPage; }

  // Picks an entry of the data-format list.
  void SelectFormat(int format) {
    window_->controls.dataFormatIndex = format;
    window_->OnDataFormatChanged(shell);
  }

  // "開く" and the file in the dialog.
  void OpenTrackFile(const std::string& path) {
    shell.fileAnswers.push_back(path);
    window_->OnOpenTrackFile(shell, shell);
  }

  // "Trail指定", typing the name and pressing OK.
  void ChooseTrail(const std::string& name) {
    shell.promptAnswers.push_back(name);
    window_->OnChooseTrail(shell, shell);
  }

  void SelectTab(Tab tab) {
    window_->controls.selectedTab = static_cast<int>(tab);
    window_->OnTabChanged();
  }

  std::string ProfileText() const { return ReadFileBytes(profile.Path()); }

  TempDir folder;
  Profile profile;
  ScriptedShell shell;

 private:
  std::unique_ptr<MainWindow> window_;
};

}  // namespace kestrel::test
