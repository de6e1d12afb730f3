#pragma once
// The subcommands of krm. Each one registers its options on the program and
// a callback that runs it and stores its exit status.

#include <CLI/CLI.hpp>

#include "cli/track_input.h"

namespace kestrel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a failure message was shown
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// FILE, --trail and --format, common to every subcommand.
void AddInputOptions(CLI::App& command, InputOptions& input);

void AddInfoCommand(CLI::App& program, int& exitStatus);
void AddConvertCommand(CLI::App& program, int& exitStatus);
void AddMapCommand(CLI::App& program, int& exitStatus);

}  // namespace kestrel::cli
