// krm: the command line of Kestrelmarking. It loads a track exactly as the
// desktop program does and writes the same bytes with the same settings.

#include <iostream>
#include <new>

#include "cli/commands.h"

int main(int argc, char** argv) {
  using namespace kestrel::cli;
  CLI::App program("Kestrelmarking: GPS track summaries, conversion and map sites", "krm");
  program.require_subcommand(1);
  // A repeated option: the last one wins.
  program.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  int exitStatus = kExitSuccess;
  AddInfoCommand(program, exitStatus);
  AddConvertCommand(program, exitStatus);
  AddMapCommand(program, exitStatus);

  try {
    program.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return program.exit(help);
  } catch (const CLI::ParseError& error) {
    program.exit(error);
    return kExitUsage;
  } catch (const std::bad_alloc&) {
    // Where a command did not meet the shortage itself.
    std::cerr << kestrel::kNoMemoryMessage << std::flush;
    return kExitFailure;
  }
  return exitStatus;
}
