#pragma once
// What convert and map have in common: the thinning and output options, and
// the run of an output command on the loaded track.

#include <functional>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/batch.h"
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

// Refuses a .usr file without a trail named or placed, and without -o an
// input that is no regular file (standard input, a pipe, a device: exit 2,
// before the input is read), loads the input as the main window does, and
// runs the work with the output named by -o or derived from the input
// (sameName). Returns the exit status (DoneStatus when the work is done).
int RunOutputCommand(const InputOptions& input, const OutputOptions& options, const OutputWork& work);

// Where the outputs of a batch go: each track to a file of its own, or all
// of them to one output that -o names (the standard output, one GeoPackage).
enum class SharedOutput { None, StandardOutput, OneFile };

// Runs the work on every input of the batch, each .usr file that names no
// trail on every trail. Without a shared output, -o names a folder (made when
// missing): each track's output is named there, or beside its input without
// -o, after the input's base name (and "-TRAIL" for a trail of a .usr file
// that names none) with the extension; --keep-tree puts it under -o in the
// input's folder. A name that another output of the run has taken is refused
// for this input. On the standard output each track is one whole text of a
// sequence (RS before it, LF after it); one file that -o names is written by
// one thread, a track at a time; both in the order of the inputs. Returns
// the worst status.
int RunBatchOutputCommand(const BatchOptions& batch, const InputOptions& input, const OutputOptions& options,
                          const std::string& extension, SharedOutput shared, const OutputWork& work);

inline constexpr const char* kOutputOfStandardInputMessage = "the output of standard input is named by -o";
inline constexpr const char* kOutputOfStreamMessage = ": not a regular file; its output is named by -o";
inline constexpr const char* kOutputOfDescriptorMessage = ": a name of a device or descriptor; its output is named by -o";
inline constexpr const char* kOutputFolderMessage = "-o: several inputs need a folder for their outputs";
inline constexpr const char* kOutputNameTakenMessage =
    "ERROR:another input of this run has the same output (--keep-tree keeps the input folders apart)";

}  // namespace kestrel::cli
