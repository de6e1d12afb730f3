#include <iostream>
#include <memory>

#include "cli/cli_shell.h"
#include "cli/commands.h"

namespace kestrel::cli {

void AddInputOptions(CLI::App& command, InputOptions& input) {
  command.add_option("FILE", input.file, "track file: a .usr file or an NMEA log")->required();
  command.add_option("--trail", input.trail, "name of the trail to load from a .usr file");
  command.add_option("--format", input.format, "input format (default: by extension)")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, InputFormat>{{"usr", InputFormat::Usr}, {"nmea", InputFormat::Nmea}}));
}

void AddInfoCommand(CLI::App& program, int& exitStatus) {
  auto input = std::make_shared<InputOptions>();
  CLI::App* info = program.add_subcommand("info", "show the summary of a track file");
  AddInputOptions(*info, *input);
  info->callback([input, &exitStatus] {
    CliShell shell(std::cerr, false, std::nullopt);
    TrackData track;
    const std::optional<std::string> text = LoadInput(*input, track, shell);
    shell.EndProgress();
    if (!text) {
      exitStatus = kExitFailure;
      return;
    }
    std::cout << *text << std::flush;
    exitStatus = kExitSuccess;
  });
}

}  // namespace kestrel::cli
