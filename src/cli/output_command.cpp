#include "cli/output_command.h"

#include <iostream>

#include "cli/cli_shell.h"
#include "cli/commands.h"
#include "platform/byte_source.h"

namespace kestrel::cli {

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
  // Standard input has no name to name the output after.
  if (input.file == kStandardInput && !options.output) {
    std::cerr << kOutputOfStandardInputMessage << '\n';
    return kExitUsage;
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

}  // namespace kestrel::cli
