#include "cli/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <new>
#include <thread>
#include <utility>

#include "cli/cli_shell.h"
#include "cli/commands.h"
#include "platform/result.h"
#include "platform/text_encoding.h"
#include "track/track_data.h"
#include "track/track_file_kind.h"

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

using FolderIdentity = std::pair<dev_t, ino_t>;

constexpr const char* kFolderNeedsRecursiveMessage = ": a folder; --recursive searches it";
constexpr const char* kStandardInputAmongOthersMessage = "standard input (-) cannot be one of several inputs";
constexpr const char* kNoTrackFilesMessage = "Error:no track file (.usr, .gpx, .log, .nmea, .txt) in the folders given";
constexpr const char* kFolderUnreadableMessage = "Error:a folder cannot be read";

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The folder of a FILE as --keep-tree mirrors it: without a leading "/", "."
// or "..", so that it stays below -o.
std::string TreeFolderOfFile(const std::string& path) {
  std::string folder;
  for (const fs::path& part : fs::path(path).lexically_normal().parent_path()) {
    if (part == "/" || part == "." || part == ".." || part.empty()) continue;
    folder += part.string() + "/";
  }
  return folder;
}

// Adds the track files below a folder, in the order of their names; each
// folder is searched once, so that a loop of links ends.
void SearchFolder(const std::string& folder, const std::string& treeFolder, std::set<FolderIdentity>& searched,
                  std::vector<BatchInput>& found, int& status) {
  struct stat folderStatus {};
  if (::stat(folder.c_str(), &folderStatus) != 0 ||
      !searched.insert({folderStatus.st_dev, folderStatus.st_ino}).second) {
    return;
  }
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    names.push_back(entry->path().filename().string());
  }
  if (error) {
    CliShell shell(std::cerr, false, std::nullopt, false);
    shell.ShowMessage({kFolderUnreadableMessage, MessageIcon::Error, SystemDetail(folder, error.value())});
    status = WorseStatus(status, kExitFailure);
    return;
  }
  std::sort(names.begin(), names.end());
  const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
  for (const std::string& name : names) {
    const std::string path = prefix + name;
    struct stat entry {};
    if (::stat(path.c_str(), &entry) != 0) continue;
    if (S_ISDIR(entry.st_mode)) {
      SearchFolder(path, treeFolder + name + "/", searched, found, status);
    } else if (S_ISREG(entry.st_mode) && IsTrackFileName(name)) {
      found.push_back({path, treeFolder});
    }
  }
}

// A progress line on a terminal: the files done of all, and the points read per second.
class ProgressLine {
 public:
  explicit ProgressLine(std::size_t total)
      : total_(total), shown_(isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {}

  void Show(std::size_t done, std::int64_t points) {
    if (!shown_) return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const auto perSecond = static_cast<std::int64_t>(seconds > 0.0 ? static_cast<double>(points) / seconds : 0.0);
    std::cerr << "\r\033[K" << done << "/" << total_ << " files, " << perSecond << " points/s" << std::flush;
    drawn_ = true;
  }

  void Clear() {
    if (drawn_) std::cerr << "\r\033[K" << std::flush;
    drawn_ = false;
  }

 private:
  std::size_t total_;
  bool shown_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

// Each line of an input's messages after its file's name.
std::string MessagesOfInput(const std::string& path, const std::string& messages) {
  const std::string name = ValidUtf8(path) + ": ";
  std::string text;
  std::size_t begin = 0;
  while (begin < messages.size()) {
    const std::size_t end = std::min(messages.find('\n', begin), messages.size() - 1) + 1;
    text += name;
    text.append(messages, begin, end - begin);
    begin = end;
  }
  return text;
}

unsigned JobsOf(const BatchOptions& options) {
  if (options.jobs) return *options.jobs;
  return std::max(1U, std::thread::hardware_concurrency());
}

}  // namespace

void AddBatchOptions(CLI::App& command, BatchOptions& options) {
  command
      .add_option("FILE", options.inputs,
                  "track files (a .usr file, an NMEA log or a GPX file; - reads standard input) or, with --recursive, folders")
      ->required();
  command.add_flag("--recursive", options.recursive,
                   "search the folders given for .usr files, GPX files and NMEA logs (.log, .nmea, .txt)");
  command.add_option("--jobs", options.jobs, "inputs worked on at once (default: the number of cores)")
      ->check(CLI::PositiveNumber);
}

void AddKeepTreeOption(CLI::App& command, BatchOptions& options) {
  command.add_flag("--keep-tree", options.keepTree, "several inputs: the outputs under -o mirror the input folders");
}

bool IsBatch(const BatchOptions& options) { return options.inputs.size() > 1 || IsFolder(options.inputs.front()); }

std::vector<BatchInput> FindBatchInputs(const BatchOptions& options, int& status) {
  std::vector<BatchInput> found;
  std::set<FolderIdentity> searched;
  for (const std::string& input : options.inputs) {
    if (input == kStandardInput && options.inputs.size() > 1) {
      std::cerr << kStandardInputAmongOthersMessage << '\n';
      status = kExitUsage;
      return {};
    }
    if (!IsFolder(input)) {
      found.push_back({input, TreeFolderOfFile(input)});
    } else if (options.recursive) {
      SearchFolder(input, "", searched, found, status);
    } else {
      std::cerr << ValidUtf8(input) << kFolderNeedsRecursiveMessage << '\n';
      status = kExitUsage;
      return {};
    }
  }
  if (found.empty() && status == kExitSuccess) {
    std::cerr << kNoTrackFilesMessage << '\n';
    status = kExitFailure;
  }
  return found;
}

int WorseStatus(int a, int b) {
  const auto rank = [](int status) {
    switch (status) {
      case kExitSuccess:
        return 0;
      case kExitPartial:
        return 1;
      case kExitFailure:
        return 2;
      default:
        return 3;
    }
  };
  return rank(a) >= rank(b) ? a : b;
}

int RunBatch(const std::vector<BatchInput>& inputs, const BatchOptions& options, int status, const BatchWork& work) {
  const std::size_t total = inputs.size();
  const std::size_t jobs = std::min<std::size_t>(JobsOf(options), std::max<std::size_t>(total, 1));
  // The workers run at most this far ahead of the writer, so that the
  // reports waiting for their turn stay few.
  const std::size_t window = 4 * jobs;
  std::vector<std::unique_ptr<JobReport>> reports(total);
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t next = 0;
  std::size_t written = 0;

  const auto worker = [&] {
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return next >= total || next < written + window; });
        if (next >= total) return;
        index = next++;
      }
      auto report = std::make_unique<JobReport>();
      try {
        work(index, *report);
      } catch (const std::bad_alloc&) {
        report->err << kNoMemoryMessage;
        report->status = WorseStatus(report->status, kExitFailure);
      }
      {
        std::lock_guard lock(mutex);
        reports[index] = std::move(report);
      }
      changed.notify_all();
    }
  };
  std::vector<std::jthread> threads;
  for (std::size_t i = 0; i < jobs; ++i) threads.emplace_back(worker);

  ProgressLine progress(total);
  std::int64_t points = 0;
  try {
    for (std::size_t index = 0; index < total; ++index) {
      std::unique_ptr<JobReport> report;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return reports[index] != nullptr; });
        report = std::move(reports[index]);
      }
      progress.Clear();
      for (const auto& write : report->sharedWrites) write(*report);
      if (!report->out.empty()) {
        CliShell shell(report->err, false, std::nullopt, false);
        if (!PrintToStandardOutput(report->out, shell)) report->status = WorseStatus(report->status, kExitFailure);
      }
      std::cerr << MessagesOfInput(inputs[index].path, report->err.str()) << std::flush;
      status = WorseStatus(status, report->status);
      points += report->points;
      {
        std::lock_guard lock(mutex);
        written = index + 1;
      }
      changed.notify_all();
      progress.Show(index + 1, points);
    }
  } catch (...) {
    // The workers stop taking inputs, so that they end and can be joined.
    {
      std::lock_guard lock(mutex);
      next = total;
    }
    changed.notify_all();
    throw;
  }
  progress.Clear();
  return status;
}

bool OutputNames::Take(const std::string& path) {
  std::lock_guard lock(mutex_);
  return taken_.insert(fs::path(path).lexically_normal().string()).second;
}

std::string SafeFileNamePart(const std::string& name) {
  std::string safe = name;
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return safe;
}

}  // namespace kestrel::cli
