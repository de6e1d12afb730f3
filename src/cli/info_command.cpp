#include <iostream>
#include <memory>

#include "cli/cli_shell.h"
#include "cli/commands.h"
#include "cli/track_record.h"
#include "platform/text_encoding.h"

namespace kestrel::cli {
namespace {

// How info prints: the summary text, or a record of each track.
enum class InfoForm { Text, JsonLines, Csv };

struct InfoOptions {
  InputOptions input;
  BatchOptions batch;
  bool json = false;  // --json
  bool csv = false;   // --csv
};

InfoForm FormOf(const InfoOptions& options) {
  if (options.json) return InfoForm::JsonLines;
  return options.csv ? InfoForm::Csv : InfoForm::Text;
}

// The summary of one input as info prints it alone: the text, or its status
// after the failure was shown.
int RunSingleInfo(const InputOptions& input) {
  CliShell shell(std::cerr, false, std::nullopt);
  TrackData track;
  const std::optional<std::string> text = LoadInput(input, track, shell);
  shell.EndProgress();
  if (!text) return kExitFailure;
  // A file name in another encoding must not make the summary invalid UTF-8.
  return PrintToStandardOutput(ValidUtf8(*text), shell) ? DoneStatus(track) : kExitFailure;
}

// The work on one input of a batch: its summary text, followed by an empty
// line, or a record of each track (each trail of a .usr or GPX file that names
// none).
void InfoOfInput(const InputOptions& input, InfoForm form, JobReport& report) {
  CliShell shell(report.err, false, std::nullopt, false);
  TrackData track;
  const TrackFileKind fileKind = InputKind(input);
  const std::string kind = fileKind == TrackFileKind::Usr ? "usr" : fileKind == TrackFileKind::Gpx ? "gpx" : "nmea";
  const auto addTrack = [&](TrackData& loaded, std::int64_t, const std::optional<std::string>& text) {
    if (!text) {
      report.status = WorseStatus(report.status, kExitFailure);
      return;
    }
    report.points += loaded.pointCount;
    report.status = WorseStatus(report.status, DoneStatus(loaded));
    const TrackRecord record = TrackRecordOf(input.file, kind, loaded);
    report.out += form == InfoForm::JsonLines ? JsonLineOf(record) : CsvRowOf(record);
  };
  const bool everyTrail = form != InfoForm::Text && fileKind != TrackFileKind::NmeaLog && !NamesATrail(input);
  const EachTrail each = everyTrail ? EachTrail(addTrack) : EachTrail();
  const std::optional<std::string> text = LoadInput(input, track, shell, each);
  if (!text) {
    report.status = WorseStatus(report.status, kExitFailure);
  } else if (form == InfoForm::Text) {
    report.points += std::max(track.pointCount, 0);
    report.status = DoneStatus(track);
    report.out = ValidUtf8(*text) + (text->ends_with('\n') ? "\r\n" : "\r\n\r\n");
  } else if (!everyTrail) {
    addTrack(track, 0, text);
  }
}

}  // namespace

void AddInputOptions(CLI::App& command, InputOptions& input, BatchOptions& batch) {
  AddBatchOptions(command, batch);
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
  auto options = std::make_shared<InfoOptions>();
  CLI::App* info = program.add_subcommand("info", "show the summary of a track file");
  AddInputOptions(*info, options->input, options->batch);
  CLI::Option* json = info->add_flag("--json", options->json, "one JSON object per track (JSON Lines)");
  CLI::Option* csv = info->add_flag("--csv", options->csv, "one CSV table with a row per track");
  json->excludes(csv);
  csv->excludes(json);
  info->callback([options, &exitStatus] {
    const InfoForm form = FormOf(*options);
    if (form == InfoForm::Text && !IsBatch(options->batch)) {
      InputOptions input = options->input;
      input.file = options->batch.inputs.front();
      exitStatus = RunSingleInfo(input);
      return;
    }
    int status = kExitSuccess;
    const std::vector<BatchInput> inputs = FindBatchInputs(options->batch, status);
    if (status == kExitUsage) {
      exitStatus = status;
      return;
    }
    CliShell shell(std::cerr, false, std::nullopt, false);
    if (form == InfoForm::Csv && !PrintToStandardOutput(CsvHeader(), shell)) {
      exitStatus = kExitFailure;
      return;
    }
    exitStatus = RunBatch(inputs, options->batch, status, [&](std::size_t index, JobReport& report) {
      InputOptions input = options->input;
      input.file = inputs[index].path;
      InfoOfInput(input, form, report);
    });
  });
}

}  // namespace kestrel::cli
