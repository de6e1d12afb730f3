// krm: the command line of Kestrelmarking. It loads a track exactly as the
// desktop program does and writes the same bytes with the same settings.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <new>
#include <sstream>

#include "cli/cli_shell.h"
#include "cli/commands.h"

namespace {

// A standard stream the caller closed keeps its number taken, read only, so
// that no file opened later takes it: the summary or a message must never
// land in an output file. Writing there fails, and says so.
void HoldClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) ::open("/dev/null", O_RDONLY);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrel::cli;
  HoldClosedStandardStreams();
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
    std::ostringstream text;
    const int status = program.exit(help, text);
    kestrel::cli::CliShell shell(std::cerr, false, std::nullopt);
    return PrintToStandardOutput(text.str(), shell) ? status : kExitFailure;
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
