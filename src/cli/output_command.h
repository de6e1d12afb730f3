#pragma once
// What convert and map have in common: the thinning and output options, and
// the run of an output command on the loaded track.

#include <functional>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/track_input.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "select/thinning.h"

namespace kestrel::cli {

struct OutputOptions {
  std::optional<std::string> output;       // -o: the output path exactly as given
  bool force = false;                      // replace an existing output
  std::optional<int> rate;                 // --rate: the percentage entry, 1 to 100
  std::optional<std::string> points;       // --points: the point count text, as typed
  bool smooth = false;                     // --smooth
  std::optional<std::string> profilePath;  // --profile
};

void AddOutputOptions(CLI::App& command, OutputOptions& options);

// The thinning choice of the options: the list entry of --rate (100 when
// absent) or the count mode with the text of --points.
ThinningChoice ThinningOf(const OutputOptions& options);

// The profile of --profile, or one without a file (every value missing);
// nothing, after its message on stderr, when the file cannot be read.
std::optional<Profile> ProfileOf(const OutputOptions& options);

// The work of an output command on the loaded track: true when it ended
// with its success report.
using OutputWork = std::function<bool(const TrackData& track, const std::string& trackFilePath,
                                      bool sameName, Shell& shell)>;

// Refuses a .usr file without a trail named or placed, and standard input
// without -o (exit 2, before the input is read), loads the input as the main window does, and runs the
// work with the output named by -o or derived from the input (sameName).
// Returns the exit status (DoneStatus when the work is done).
int RunOutputCommand(const InputOptions& input, const OutputOptions& options, const OutputWork& work);

inline constexpr const char* kOutputOfStandardInputMessage = "the output of standard input is named by -o";

}  // namespace kestrel::cli
