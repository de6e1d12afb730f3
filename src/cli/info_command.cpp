#include <iostream>
#include <memory>

#include "cli/cli_shell.h"
#include "cli/commands.h"
#include "platform/text_encoding.h"

namespace kestrel::cli {

void AddInputOptions(CLI::App& command, InputOptions& input) {
  command.add_option("FILE", input.file, "track file: a .usr file, an NMEA log or a GPX file; - reads standard input")
      ->required();
  CLI::Option* trail =
      command.add_option("--trail", input.trail, "name of the trail (or track) to load from a .usr (or GPX) file");
  CLI::Option* place =
      command
          .add_option("--trail-index", input.trailPlace,
                      "the trail (or track) to load from a .usr (or GPX) file by its place in the overview, from 1")
          ->check(CLI::PositiveNumber);
  trail->excludes(place);
  place->excludes(trail);
  command.add_option_function<std::string>(
             "--format",
             [&input](const std::string& format) {
               input.format = format == "usr"   ? InputFormat::Usr
                              : format == "gpx" ? InputFormat::Gpx
                                                : InputFormat::Nmea;
             },
             "input format (default: by extension)")
      ->check(CLI::IsMember({"usr", "nmea", "gpx"}));
  command
      .add_option_function<std::string>(
          "--date", [&input](const std::string& text) { input.date = DateOfText(text); },
          "the date of a log's records that carry none, YYYY-MM-DD (UTC)")
      ->check(CLI::Validator(
          [](const std::string& text) { return DateOfText(text) ? "" : "the date must be YYYY-MM-DD: " + text; },
          "YYYY-MM-DD"));
}

int DoneStatus(const TrackData& track) {
  const TrackSummary& summary = track.summary;
  return summary.cutShort || summary.skippedLines > 0 || summary.skippedPoints > 0 ? kExitPartial : kExitSuccess;
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
    // A file name in another encoding must not make the summary invalid UTF-8.
    exitStatus = PrintToStandardOutput(ValidUtf8(*text), shell) ? DoneStatus(track) : kExitFailure;
  });
}

}  // namespace kestrel::cli
