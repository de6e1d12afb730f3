#pragma once
// Many inputs at once: the files and folders of the command line, searched
// for track files, worked on by several threads. Each input's work is the
// single-file command's; what it prints is kept whole and goes out in the
// order of the inputs, by one writer of each stream, so that the output is
// the same whatever the number of jobs.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace kestrel::cli {

struct BatchOptions {
  std::vector<std::string> inputs;  // FILE...: track files and folders
  bool recursive = false;           // --recursive: search the folders
  std::optional<unsigned> jobs;     // --jobs: threads (default: the number of cores)
  bool keepTree = false;            // --keep-tree: outputs under -o mirror the input folders
};

// FILE... with --recursive and --jobs; --keep-tree where the command names outputs.
void AddBatchOptions(CLI::App& command, BatchOptions& options);
void AddKeepTreeOption(CLI::App& command, BatchOptions& options);

// Whether the command works on several inputs: more than one FILE, or a folder.
bool IsBatch(const BatchOptions& options);

// One track file of a batch.
struct BatchInput {
  std::string path;
  // Its folder as --keep-tree mirrors it: below the folder searched, or the
  // folder of a FILE as given (without a leading "/" or "..").
  std::string treeFolder;
};

// The track files of the inputs, in the order given, each folder's files in
// the order of their names; a folder is searched (its links to folders
// followed, each folder once, so a loop of links ends) only with --recursive.
// A folder that cannot be read, or folders without a track file, are told
// on stderr and raise the status to 1; a folder without --recursive, or standard input among several inputs,
// is a usage error (status 2, nothing found).
std::vector<BatchInput> FindBatchInputs(const BatchOptions& options, int& status);

// What one input's work leaves for the writer: its standard output text and
// its messages, whole, its exit status and the number of points it read;
// and the writes to one file that all inputs share (one GeoPackage), which
// the writer runs in the order of the inputs.
struct JobReport {
  std::string out;
  std::ostringstream err;
  int status = 0;
  std::int64_t points = 0;
  std::vector<std::function<void(JobReport& report)>> sharedWrites;
};

// The work on the input of that index.
using BatchWork = std::function<void(std::size_t index, JobReport& report)>;

// Runs the work on every input with the threads of --jobs; each line of an
// input's messages goes to stderr after its file's name. On a
// terminal, a progress line on stderr counts the files done and the points
// read per second. Returns the worst exit status of all, with status.
int RunBatch(const std::vector<BatchInput>& inputs, const BatchOptions& options, int status, const BatchWork& work);

// The worse of two exit statuses: usage over failure over partial over success.
int WorseStatus(int a, int b);

// The output names taken in a batch: no two outputs of one run may share
// one, whichever thread asks.
class OutputNames {
 public:
  // True when the path was free, and is now taken.
  bool Take(const std::string& path);

 private:
  std::mutex mutex_;
  std::set<std::string> taken_;
};

// A trail name as part of a file name: what a file system would refuse or
// take as a separator (/ \ : * ? " < > |, control characters) becomes "_".
std::string SafeFileNamePart(const std::string& name);

}  // namespace kestrel::cli
