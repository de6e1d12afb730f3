#pragma once
// Loading the input track of a command exactly as the main window does.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/shell.h"
#include "track/loader.h"
#include "track/track_data.h"
#include "track/track_file_kind.h"

namespace kestrel::cli {

enum class InputFormat { ByExtension, Usr, Nmea, Gpx };

struct InputOptions {
  std::string file;                       // "-": standard input
  std::optional<std::string> trail;       // UTF-8, as typed
  std::optional<std::int64_t> trailPlace;  // --trail-index: from 1, as the overview lists the trails (or tracks)
  InputFormat format = InputFormat::ByExtension;
  std::optional<CalendarDate> date;       // --date: of a log's records that carry none
};

// How the input is read: by --format, else by its extension as the window
// takes it.
TrackFileKind InputKind(const InputOptions& options);

// Whether a .usr or GPX input names its trail or track (by name or by place).
bool NamesATrail(const InputOptions& options);

// A trail of a .usr or GPX file loaded in turn: its place from 1 (0 for a GPX
// file's only track), and the information box text, or nothing after the
// load's failure was shown.
using EachTrail = std::function<void(TrackData& track, std::int64_t place, const std::optional<std::string>& text)>;

// Loads the input into the track, opening it once: an NMEA log whole; a
// .usr file's directory, and with a trail named or placed that trail; a GPX
// file's tracks, and the one named or placed, or else its only one.
// Returns the information box text, or nothing after the failure was shown.
// Lines of a log skipped as damaged, and points of a GPX file left out, are
// told on a line of their own. Given eachTrail, every track of a .usr or GPX
// file that names none is loaded in turn and handed to it: each listed trail
// that holds points, or a GPX file's only track (place 0); the return is then
// the overview, or the only track's text.
std::optional<std::string> LoadInput(const InputOptions& options, TrackData& track, Shell& shell,
                                     const EachTrail& eachTrail = nullptr);

// The date of --date: YYYY-MM-DD of a day that exists; nothing otherwise.
std::optional<CalendarDate> DateOfText(const std::string& text);

inline constexpr const char* kTrailNameRequiredMessage = "ﾄﾚｲﾙ名を指定して下さい";

// The FILE that stands for standard input.
inline constexpr const char* kStandardInput = "-";

}  // namespace kestrel::cli
