// krm convert: the conversion command of the conversion page, with the
// page's settings taken from the options and from --profile.

#include <memory>

#include "cli/commands.h"
#include "cli/output_command.h"
#include "convert/conversion.h"

namespace kestrel::cli {
namespace {

struct ConvertOptions {
  InputOptions input;
  OutputOptions output;
  std::optional<std::string> to;  // --to: csv, trk or log
  bool useUtc = false;            // --utc
};

// The type of --to, else the one the profile selects.
OutputType TypeOf(const ConvertOptions& options, const ConversionSettings& settings) {
  if (!options.to) return settings.type;
  if (*options.to == "trk") return OutputType::Trk;
  if (*options.to == "log") return OutputType::Nmea;
  return OutputType::Csv;
}

// The request the page would build with the profile's settings, the
// options' switches turned on over them. The profile's "拡張子のみ変更" is not
// used: the command line names its output by -o, or derives it from the
// input when -o is absent, and has no save dialog to open.
ConversionRequest RequestOf(const ConvertOptions& options, const Profile& profile) {
  const ConversionSettings settings = ReadConversionSettings(profile);
  ConversionRequest request;
  request.type = TypeOf(options, settings);
  request.thinning = ThinningOf(options.output);
  request.smoothing = options.output.smooth || settings.smoothing;
  request.useUtc = options.useUtc || settings.useUtc;
  return request;
}

}  // namespace

void AddConvertCommand(CLI::App& program, int& exitStatus) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = program.add_subcommand("convert", "convert a track into a CSV, PCX5 or NMEA file");
  AddInputOptions(*convert, options->input);
  convert->add_option("--to", options->to, "output format (default: from --profile, else csv)")
      ->check(CLI::IsMember({"csv", "trk", "log"}));
  AddOutputOptions(*convert, options->output);
  convert->add_flag("--utc", options->useUtc, "write times in UTC instead of local time");
  convert->callback([options, &exitStatus] {
    const std::optional<Profile> profile = ProfileOf(options->output);
    if (!profile) {
      exitStatus = kExitFailure;
      return;
    }
    ConversionRequest request = RequestOf(*options, *profile);
    exitStatus = RunOutputCommand(options->input, options->output,
                                  [&request](const TrackData& track, const std::string& trackFilePath,
                                             bool sameName, Shell& shell) {
                                    request.sameName = sameName;
                                    return RunConversion(request, track, trackFilePath, shell);
                                  });
  });
}

}  // namespace kestrel::cli
