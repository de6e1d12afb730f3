#include "cli/output_command.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>

#include "cli/cli_shell.h"
#include "cli/commands.h"
#include "platform/atomic_file.h"
#include "platform/byte_source.h"
#include "platform/paths.h"
#include "platform/result.h"
#include "platform/text_encoding.h"

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRecordSeparator = "\x1e";

// Why the output of an input cannot be named beside it: standard input, an
// existing file that is no regular one (a pipe, a device), and a name in the
// kernel's folders of devices and descriptors (/dev/stdin, /dev/fd/N,
// /proc/self/fd/N, even when they stand for a regular file) have no place to
// name it after. Nothing when it can.
std::optional<std::string> UnnamedOutputProblem(const std::string& file) {
  if (file == kStandardInput) return kOutputOfStandardInputMessage;
  struct stat status {};
  if (::stat(file.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return ValidUtf8(file) + kOutputOfStreamMessage;
  std::error_code error;
  const std::string folder = fs::weakly_canonical(fs::absolute(file, error).parent_path(), error).string();
  if (folder == "/dev" || folder.starts_with("/dev/") || folder == "/proc" || folder.starts_with("/proc/")) {
    return ValidUtf8(file) + kOutputOfDescriptorMessage;
  }
  return std::nullopt;
}

// The output of one track of a batch input: in -o's folder (under the
// input's folder with --keep-tree) or beside the input; the input's base
// name, "-TRAIL" for a trail of a .usr or GPX file that names none, the
// extension.
std::string BatchOutputPath(const BatchInput& input, const BatchOptions& batch, const OutputOptions& options,
                            const std::string& trail, const std::string& extension) {
  const SplitPath split = SplitSystemPathOf(input.path);
  const std::string folder = options.output ? *options.output + "/" + (batch.keepTree ? input.treeFolder : "")
                                            : split.directory;
  return folder + split.baseName + (trail.empty() ? "" : "-" + SafeFileNamePart(trail)) + extension;
}

// The folder of -o, made when missing; false, with the message, when -o is
// something else.
bool MakeOutputFolder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (fs::is_directory(folder)) return true;
  std::cerr << kOutputFolderMessage << '\n';
  return false;
}

}  // namespace

void AddOutputOptions(CLI::App& command, OutputOptions& options) {
  command.add_option("-o", options.output,
                     "output path (default: the input path with the output's extension); - is the standard output");
  command.add_flag("--force", options.force, "replace an existing output");
  CLI::Option* rate = command.add_option("--rate", options.rate, "percentage of the points to keep, 1-100")
                          ->check(CLI::Range(1, 100));
  CLI::Option* points = command.add_option("--points", options.points, "number of points to keep");
  rate->excludes(points);
  points->excludes(rate);
  command.add_flag("--smooth", options.smooth, "smooth the points (three-point average)");
  command.add_option("--profile", options.profilePath, "read the settings from this profile file")
      ->check(CLI::ExistingFile);
}

ThinningChoice ThinningOf(const OutputOptions& options) {
  ThinningChoice choice;
  if (options.points) {
    choice.usePointCount = true;
    choice.pointCountText = *options.points;
  }
  choice.rateIndex = 100 - options.rate.value_or(100);
  return choice;
}

std::optional<Profile> ProfileOf(const OutputOptions& options) {
  if (!options.profilePath) return Profile("");
  CliShell shell(std::cerr, false, std::nullopt);
  // Read once through the descriptor it was opened with, so that a pipe
  // (--profile <(...)) reads as a file does; krm never saves it.
  Result<FileSource> file = OpenFileSource(*options.profilePath);
  if (!file) {
    ShowFailure(shell, Retold(file.error(), kProfileReadFailedMessage));
    return std::nullopt;
  }
  Profile profile(*options.profilePath, *file);
  if (profile.Loaded()) return profile;
  ShowFailure(shell, profile.Loaded().error());
  return std::nullopt;
}

int RunOutputCommand(const InputOptions& input, const OutputOptions& options, const OutputWork& work) {
  if (InputKind(input) == TrackFileKind::Usr && !NamesATrail(input)) {
    std::cerr << kTrailNameRequiredMessage << '\n';
    return kExitUsage;
  }
  if (!options.output) {
    if (const std::optional<std::string> problem = UnnamedOutputProblem(input.file)) {
      std::cerr << *problem << '\n';
      return kExitUsage;
    }
  }
  CliShell shell(std::cerr, options.force, options.output);
  TrackData track;
  const bool loaded = LoadInput(input, track, shell).has_value();
  shell.EndProgress();
  if (!loaded) return kExitFailure;
  // A GPX file of several tracks gave its overview: the command line must
  // name one of them.
  if (track.pointCount < 0) {
    std::cerr << kTrailNameRequiredMessage << '\n';
    return kExitUsage;
  }
  return work(track, input.file, !options.output.has_value(), shell) ? DoneStatus(track) : kExitFailure;
}

int RunBatchOutputCommand(const BatchOptions& batch, const InputOptions& input, const OutputOptions& options,
                          const std::string& extension, SharedOutput shared, const OutputWork& work) {
  int status = kExitSuccess;
  const std::vector<BatchInput> inputs = FindBatchInputs(batch, status);
  if (status == kExitUsage) return status;
  if (shared == SharedOutput::None && options.output && !MakeOutputFolder(*options.output)) return kExitUsage;

  const auto optionsOf = [&input, &inputs](std::size_t index) {
    InputOptions one = input;
    one.file = inputs[index].path;
    return one;
  };
  // A .usr or GPX file that names no trail gives one output per track, named
  // once its tracks are known.
  const auto everyTrail = [](const InputOptions& one) {
    return InputKind(one) != TrackFileKind::NmeaLog && !NamesATrail(one);
  };
  // The names known before the load are taken in the order of the inputs,
  // so that the same input is refused whatever the number of jobs.
  OutputNames names;
  std::vector<char> nameFree(inputs.size(), 1);
  if (shared == SharedOutput::None) {
    for (std::size_t index = 0; index < inputs.size(); ++index) {
      if (!everyTrail(optionsOf(index))) {
        nameFree[index] = names.Take(BatchOutputPath(inputs[index], batch, options, "", extension));
      }
    }
  }

  const auto runWork = [&work](const TrackData& track, const std::string& trackFile, const std::string& path,
                               bool force, JobReport& report) {
    CliShell shell(report.err, force, path, false);
    const bool done = work(track, trackFile, false, shell);
    report.status = WorseStatus(report.status, done ? DoneStatus(track) : kExitFailure);
    return done;
  };
  // A text of the sequence on the standard output is written whole into a
  // fresh temporary folder first, so that only complete texts go out.
  const auto addSequenceText = [&runWork, &extension](const TrackData& track, const std::string& trackFile,
                                                      JobReport& report) {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    std::string folder = ((error ? fs::path("/tmp") : temporary) / "krm-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
      CliShell shell(report.err, false, std::nullopt, false);
      ShowFailure(shell, Fail(kCannotOpenOutputMessage, SystemDetail(folder, errno)));
      report.status = WorseStatus(report.status, kExitFailure);
      return;
    }
    const std::string path = folder + "/track" + extension;
    if (runWork(track, trackFile, path, false, report)) {
      std::ifstream text(path, std::ios::binary);
      report.out += kRecordSeparator;
      report.out.append(std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>());
      report.out += '\n';
    }
    fs::remove_all(folder, error);
  };

  return RunBatch(inputs, batch, status, [&](std::size_t index, JobReport& report) {
    const InputOptions one = optionsOf(index);
    if (!options.output) {
      if (const std::optional<std::string> problem = UnnamedOutputProblem(one.file)) {
        report.err << *problem << '\n';
        report.status = kExitUsage;
        return;
      }
    }
    if (!nameFree[index]) {
      report.err << kOutputNameTakenMessage << '\n';
      report.status = kExitFailure;
      return;
    }
    std::set<std::string> trailNames;  // of this file: a second trail of one name takes its place too
    const auto writeTrack = [&](TrackData& track, std::int64_t place, const std::optional<std::string>& text) {
      if (!text) {
        report.status = WorseStatus(report.status, kExitFailure);
        return;
      }
      report.points += track.pointCount;
      if (shared == SharedOutput::StandardOutput) {
        addSequenceText(track, one.file, report);
        return;
      }
      if (shared == SharedOutput::OneFile) {
        report.sharedWrites.push_back([&runWork, &options, trackFile = one.file,
                                       kept = std::make_shared<const TrackData>(track)](JobReport& writer) {
          runWork(*kept, trackFile, *options.output, options.force, writer);
        });
        return;
      }
      std::string trail = place > 0 ? track.summary.trailName : "";
      if (place > 0 && !trailNames.insert(trail).second) trail += "-" + std::to_string(place);
      const std::string path = BatchOutputPath(inputs[index], batch, options, trail, extension);
      if (everyTrail(one) && !names.Take(path)) {
        report.err << kOutputNameTakenMessage << '\n';
        report.status = WorseStatus(report.status, kExitFailure);
        return;
      }
      std::error_code error;
      fs::create_directories(fs::path(path).parent_path(), error);
      runWork(track, one.file, path, options.force, report);
    };
    TrackData track;
    CliShell shell(report.err, options.force, std::nullopt, false);
    const EachTrail each = everyTrail(one) ? EachTrail(writeTrack) : EachTrail();
    const std::optional<std::string> text = LoadInput(one, track, shell, each);
    if (!text) {
      report.status = WorseStatus(report.status, kExitFailure);
    } else if (!everyTrail(one)) {
      writeTrack(track, 0, text);
    }
  });
}

}  // namespace kestrel::cli
