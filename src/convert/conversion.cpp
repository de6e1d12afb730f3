#include "convert/conversion.h"

#include <new>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/output_path.h"
#include "platform/result.h"
#include "writers/csv_writer.h"
#include "writers/geojson_writer.h"
#include "writers/geopackage_writer.h"
#include "writers/gpx_writer.h"
#include "writers/kml_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pcx5_writer.h"

namespace kestrel {
namespace {

// Writes the track into the file at a path; progress and questions go to the shell.
using WriteFile = Result<void> (*)(const TrackData& track, const std::string& path, const TrackWriterOptions& options,
                                   Shell& shell);

// How one output type names its file and which writer writes it.
struct OutputFormat {
  std::string_view extension;  // of a derived name
  std::string_view dialogExtension;
  std::string_view dialogFileName;
  std::string_view dialogFilter;
  WriteFile write;
};

// The text formats are written beside their target and take its place only
// when complete: a failed or cancelled write never destroys an existing
// file nor leaves a temporary one.
template <Result<void> (*Write)(const TrackData&, TextOutput&, const TrackWriterOptions&, const Progress&)>
Result<void> WriteTextFile(const TrackData& track, const std::string& path, const TrackWriterOptions& options,
                           Shell& shell) {
  TextOutput output;
  if (Result<void> created = output.Create(path); !created) return created;
  if (Result<void> written = Write(track, output, options, ProgressTo(shell)); !written) return written;
  return CommitOutput(output, path, shell);
}

Result<void> WriteGeoPackageFile(const TrackData& track, const std::string& path, const TrackWriterOptions& options,
                                 Shell& shell) {
  return WriteGeoPackage(track, path, options, ProgressTo(shell));
}

constexpr OutputFormat kNmeaFormat = {".log", "log", "*.log", "NMEAﾌｧｲﾙ(*.log)|*.log|全て(*.*)|*.*||",
                                      WriteTextFile<WriteNmeaLog>};
constexpr OutputFormat kTrkFormat = {".trk", "trk", "*.trk", "trkﾌｧｲﾙ(*.trk)|*.trk|全て(*.*)|*.*||",
                                     WriteTextFile<WritePcx5Track>};
constexpr OutputFormat kCsvFormat = {".csv", "csv", "*.csv", "csvﾌｧｲﾙ(*.csv)|*.csv|全て(*.*)|*.*||",
                                     WriteTextFile<WriteCsvTrack>};
constexpr OutputFormat kGpxFormat = {".gpx", "gpx", "*.gpx", "GPXﾌｧｲﾙ(*.gpx)|*.gpx|全て(*.*)|*.*||",
                                     WriteTextFile<WriteGpxTrack>};
constexpr OutputFormat kKmlFormat = {".kml", "kml", "*.kml", "KMLﾌｧｲﾙ(*.kml)|*.kml|全て(*.*)|*.*||",
                                     WriteTextFile<WriteKmlTrack>};
constexpr OutputFormat kGeoJsonFormat = {".geojson", "geojson", "*.geojson",
                                         "GeoJSONﾌｧｲﾙ(*.geojson)|*.geojson|全て(*.*)|*.*||",
                                         WriteTextFile<WriteGeoJsonTrack>};
constexpr OutputFormat kGeoPackageFormat = {".gpkg", "gpkg", "*.gpkg", "GeoPackageﾌｧｲﾙ(*.gpkg)|*.gpkg|全て(*.*)|*.*||",
                                            WriteGeoPackageFile};

// Nothing for the usr type: this program writes no .usr files. Were it
// named like the others, converting with the same name would empty the
// user's own .usr file.
const OutputFormat* OutputFormatOf(OutputType type) {
  switch (type) {
    case OutputType::Nmea:
      return &kNmeaFormat;
    case OutputType::Trk:
      return &kTrkFormat;
    case OutputType::Csv:
      return &kCsvFormat;
    case OutputType::Gpx:
      return &kGpxFormat;
    case OutputType::Kml:
      return &kKmlFormat;
    case OutputType::GeoJson:
      return &kGeoJsonFormat;
    case OutputType::GeoPackage:
      return &kGeoPackageFormat;
    case OutputType::Usr:
      break;
  }
  return nullptr;
}

}  // namespace

double ConversionUsageRate(const TrackData& track, const ThinningChoice& choice) {
  const double rate = choice.usePointCount
                          ? static_cast<double>(ExplicitPointCount(choice)) / static_cast<double>(track.pointCount)
                          : (100.0 - choice.rateIndex) * 0.01;
  if (rate > 1.0) return 1.0;
  if (!(rate > 0.0)) return 0.01;
  return rate;
}

std::string OutputExtensionOf(OutputType type) {
  const OutputFormat* format = OutputFormatOf(type);
  return format == nullptr ? "" : std::string(format->extension);
}

bool RunConversion(const ConversionRequest& request, const TrackData& track, const std::string& trackFilePath,
                   Shell& shell) {
  if (const std::optional<std::string> problem = ThinningProblem(track, request.thinning)) {
    shell.ShowMessage({*problem});
    return false;
  }
  if (!request.type) {
    shell.ShowMessage({kNoOutputTypeMessage});
    return false;
  }
  const OutputFormat* format = OutputFormatOf(*request.type);
  if (format == nullptr) {
    shell.ShowMessage({kUsrOutputMessage});
    return false;
  }
  const FileDialogRequest dialog{std::string(format->dialogExtension), std::string(format->dialogFileName),
                                 std::string(format->dialogFilter)};
  const std::optional<std::string> path =
      NameOutputFile(shell, request.sameName, trackFilePath, std::string(format->extension), dialog);
  if (!path) return false;
  if (track.loadedFrom && IsSameFile(*path, *track.loadedFrom)) {
    ShowFailure(shell, Fail(kOutputIsInputMessage, *path));
    return false;
  }

  const TrackWriterOptions options{ConversionUsageRate(track, request.thinning), request.smoothing, request.useUtc,
                                   request.append};
  Result<void> written;
  try {
    written = format->write(track, *path, options, shell);
  } catch (const std::bad_alloc&) {
    written = Fail(kNoMemoryMessage);
  }
  if (!written) {
    ShowFailure(shell, written.error());
    return false;
  }
  shell.ShowMessage({kConversionDoneMessage, MessageIcon::Information});
  return true;
}

}  // namespace kestrel
