#pragma once
// Loading the input track of a command exactly as the main window does.

#include <optional>
#include <string>

#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel::cli {

enum class InputFormat { ByExtension, Usr, Nmea };

struct InputOptions {
  std::string file;
  std::optional<std::string> trail;  // UTF-8, as typed
  InputFormat format = InputFormat::ByExtension;
};

// Whether the input is read as a .usr file: by --format, else by the
// extension ".usr" in any letter case.
bool IsUsrInput(const InputOptions& options);

// Loads the input into the track: an NMEA log whole; a .usr file's directory,
// and with a trail name that trail. Returns the information box text, or
// nothing after the failure was shown.
std::optional<std::string> LoadInput(const InputOptions& options, TrackData& track, Shell& shell);

inline constexpr const char* kTrailNameRequiredMessage = "ﾄﾚｲﾙ名を指定して下さい";

}  // namespace kestrel::cli
