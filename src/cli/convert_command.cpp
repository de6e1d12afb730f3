// krm convert: the conversion command of the conversion page, with the
// page's settings taken from the options and from --profile.

#include <iostream>
#include <map>
#include <memory>

#include "cli/commands.h"
#include "cli/output_command.h"
#include "convert/conversion.h"
#include "platform/atomic_file.h"

namespace kestrel::cli {
namespace {

constexpr const char* kAppendNeedsGeoPackageMessage = "--append: only a GeoPackage (--to gpkg) can be added to";
constexpr const char* kSequenceNeedsGeoJsonMessage =
    "-o -: several inputs go to the standard output only as GeoJSON text sequences (--to geojson)";

struct ConvertOptions {
  InputOptions input;
  BatchOptions batch;
  OutputOptions output;
  std::optional<std::string> to;  // --to: one of kOutputTypeNames
  bool useUtc = false;            // --utc
  bool append = false;            // --append
};

// The names of --to.
const std::map<std::string, OutputType> kOutputTypeNames = {
    {"csv", OutputType::Csv},         {"trk", OutputType::Trk},         {"log", OutputType::Nmea},
    {"gpx", OutputType::Gpx},         {"kml", OutputType::Kml},         {"geojson", OutputType::GeoJson},
    {"gpkg", OutputType::GeoPackage},
};

// The type of --to, else the one the profile selects.
OutputType TypeOf(const ConvertOptions& options, const ConversionSettings& settings) {
  return options.to ? kOutputTypeNames.at(*options.to) : settings.type;
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
  request.append = options.append;
  return request;
}

}  // namespace

void AddConvertCommand(CLI::App& program, int& exitStatus) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = program.add_subcommand(
      "convert", "convert a track into a CSV, PCX5, NMEA, GPX, KML, GeoJSON or GeoPackage file");
  AddInputOptions(*convert, options->input, options->batch);
  AddKeepTreeOption(*convert, options->batch);
  convert->add_option("--to", options->to, "output format (default: from --profile, else csv)")
      ->check(CLI::IsMember(kOutputTypeNames));
  AddOutputOptions(*convert, options->output);
  convert->add_flag("--utc", options->useUtc, "write times in UTC instead of local time");
  convert->add_flag("--append", options->append, "gpkg: add the track to an existing GeoPackage");
  convert->callback([options, &exitStatus] {
    const std::optional<Profile> profile = ProfileOf(options->output);
    if (!profile) {
      exitStatus = kExitFailure;
      return;
    }
    const ConversionRequest request = RequestOf(*options, *profile);
    if (request.append && request.type != OutputType::GeoPackage) {
      std::cerr << kAppendNeedsGeoPackageMessage << '\n';
      exitStatus = kExitUsage;
      return;
    }
    // An existing GeoPackage is added to, never replaced: there is nothing to
    // ask before writing into it.
    if (request.append) options->output.force = true;
    const OutputWork work = [&request](const TrackData& track, const std::string& trackFilePath, bool sameName,
                                       Shell& shell) {
      ConversionRequest named = request;
      named.sameName = sameName;
      return RunConversion(named, track, trackFilePath, shell);
    };
    if (!IsBatch(options->batch)) {
      options->input.file = options->batch.inputs.front();
      exitStatus = RunOutputCommand(options->input, options->output, work);
      return;
    }
    SharedOutput shared = SharedOutput::None;
    if (options->output.output == kStandardOutputPath) {
      if (request.type != OutputType::GeoJson) {
        std::cerr << kSequenceNeedsGeoJsonMessage << '\n';
        exitStatus = kExitUsage;
        return;
      }
      shared = SharedOutput::StandardOutput;
    } else if (request.append && options->output.output) {
      shared = SharedOutput::OneFile;
    }
    exitStatus = RunBatchOutputCommand(options->batch, options->input, options->output,
                                       request.type ? OutputExtensionOf(*request.type) : "", shared, work);
  });
}

}  // namespace kestrel::cli
