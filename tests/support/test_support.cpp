#include "support/test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "platform/paths.h"

namespace kestrel::test {

std::string DataPath(const std::string& name) { return std::string(KRM_TEST_DATA_DIR) + "/" + name; }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void ExpectMatchesGolden(const std::string& actual, const std::string& goldenName) {
  const std::string path = DataPath(goldenName);
  const char* update = std::getenv("KRM_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFileBytes(path, actual);
    return;
  }
  if (!kestrel::PathExists(path)) {
    ADD_FAILURE() << "missing golden file " << goldenName;
    return;
  }
  const std::string expected = ReadFileBytes(path);
  if (expected == actual) return;
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  ADD_FAILURE() << goldenName << " differs at byte " << at << " (expected " << expected.size()
                << " bytes, got " << actual.size() << ")\n  expected: "
                << testing::PrintToString(expected.substr(at > 40 ? at - 40 : 0, 100))
                << "\n  actual:   " << testing::PrintToString(actual.substr(at > 40 ? at - 40 : 0, 100));
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "krm-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  root_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // A test may have taken the write permission away; give it back to clean up.
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::Path(const std::string& name) const {
  return name.empty() ? root_.string() : (root_ / name).string();
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(root_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
  if (const char* current = std::getenv("TZ")) previous_ = current;
  setenv("TZ", zone, 1);
  tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (previous_) {
    setenv("TZ", previous_->c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

std::vector<std::string> ScriptedShell::Messages() const {
  std::vector<std::string> texts;
  for (const Shown& s : shown) {
    if (s.kind == Shown::Kind::Message) texts.push_back(s.text);
  }
  return texts;
}

void PrintTo(const ScriptedShell::Shown& shown, std::ostream* out) {
  *out << "{kind " << static_cast<int>(shown.kind) << ", \"" << shown.text << "\", icon " << static_cast<int>(shown.icon)
       << ", \"" << shown.detail << "\"";
  for (const ListedTrail& trail : shown.trails) *out << ", " << trail.name << " (" << trail.pointCount << ")";
  *out << "}";
}

void ScriptedShell::ShowMessage(const Message& message) {
  shown.push_back({Shown::Kind::Message, message.text, message.icon, {}, message.detail});
}

bool ScriptedShell::AskYesNo(std::string_view question) {
  shown.push_back({Shown::Kind::Question, std::string(question), MessageIcon::None, {}});
  if (yesNoAnswers.empty()) throw std::logic_error("unexpected question: " + std::string(question));
  bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

namespace {
template <typename T>
T TakeAnswer(std::deque<T>& answers, const char* what) {
  if (answers.empty()) throw std::logic_error(std::string("unexpected ") + what);
  T answer = answers.front();
  answers.pop_front();
  return answer;
}
}  // namespace

std::optional<std::string> ScriptedShell::ChooseFileToOpen(const FileDialogRequest& request) {
  shown.push_back({Shown::Kind::OpenDialog, {}, MessageIcon::None, request});
  return TakeAnswer(fileAnswers, "open dialog");
}

std::optional<std::string> ScriptedShell::ChooseFileToSave(const FileDialogRequest& request) {
  shown.push_back({Shown::Kind::SaveDialog, {}, MessageIcon::None, request});
  return TakeAnswer(fileAnswers, "save dialog");
}

bool ScriptedShell::PathExists(const std::string& path) {
  if (!existingPaths) return kestrel::PathExists(path);
  return std::find(existingPaths->begin(), existingPaths->end(), path) != existingPaths->end();
}

std::optional<std::uint32_t> ScriptedShell::ChooseColor(std::uint32_t initial) {
  shown.push_back({Shown::Kind::ColorChooser, std::to_string(initial), MessageIcon::None, {}});
  return TakeAnswer(colorAnswers, "colour chooser");
}

std::optional<TrailChoice> ScriptedShell::PromptTrailName(const std::string& initial,
                                                          const std::vector<ListedTrail>& trails) {
  shown.push_back({Shown::Kind::TrailPrompt, initial, MessageIcon::None, {}, {}, trails});
  if (!trailPicks.empty()) {
    const std::size_t pick = TakeAnswer(trailPicks, "trail pick");
    return TrailChoice{trails.at(pick).name, pick};
  }
  const std::optional<std::string> typed = TakeAnswer(promptAnswers, "trail prompt");
  if (!typed) return std::nullopt;
  return TrailChoice{*typed};
}

std::optional<std::string> ScriptedShell::PromptApiKey(const std::string& initial) {
  shown.push_back({Shown::Kind::ApiKeyPrompt, initial, MessageIcon::None, {}});
  return TakeAnswer(promptAnswers, "API key prompt");
}

void ScriptedShell::ShowVersionInfo(const std::string& versionLine, const std::string& legalNotice) {
  shown.push_back({Shown::Kind::VersionInfo, versionLine + "\n" + legalNotice, MessageIcon::None, {}});
}

void ScriptedShell::OpenInBrowser(const std::string& path) {
  shown.push_back({Shown::Kind::Browser, path, MessageIcon::None, {}});
}

bool ScriptedShell::ReportProgress(std::int64_t done, std::int64_t total) {
  if (atFirstReport) std::exchange(atFirstReport, nullptr)();
  progress.emplace_back(done, total);
  return !cancelAtReport || progress.size() < *cancelAtReport;
}

}  // namespace kestrel::test
