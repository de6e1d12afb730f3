#pragma once
// The subcommands of krm. Each one registers its options on the program and
// a callback that runs it and stores its exit status.

#include <CLI/CLI.hpp>

#include "cli/batch.h"
#include "cli/track_input.h"

namespace kestrel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a failure message was shown
inline constexpr int kExitUsage = 2;    // the command line itself is wrong
inline constexpr int kExitPartial = 3;  // the work was done on part of the input

// FILE... (with --recursive and --jobs), --trail, --trail-index, --format
// and --date, common to every subcommand.
void AddInputOptions(CLI::App& command, InputOptions& input, BatchOptions& batch);

// The status of work done on the loaded track: kExitPartial when the load
// read part of the file only (a bad record ended a trail, damaged lines of a
// log were skipped).
int DoneStatus(const TrackData& track);

void AddInfoCommand(CLI::App& program, int& exitStatus);
void AddConvertCommand(CLI::App& program, int& exitStatus);
void AddMapCommand(CLI::App& program, int& exitStatus);

}  // namespace kestrel::cli
