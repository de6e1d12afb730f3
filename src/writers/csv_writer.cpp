#include "writers/csv_writer.h"

#include "platform/number_format.h"

namespace kestrel {
namespace {

constexpr std::string_view kHeaderRow = "latitude,longitude,altitude,time\n";

// "N<lat>,E<lon>,H<alt>,h:m:s, " with six decimals and the time of day
// without leading zeros.
void AppendRow(std::string& text, const TrackPoint& point, const TrackWriterOptions& options) {
  text.push_back('N');
  AppendFixed(text, point.latitude, 6);
  text.append(",E");
  AppendFixed(text, point.longitude, 6);
  text.append(",H");
  AppendFixed(text, point.altitude, 6);
  text.push_back(',');
  // A time of 0 means that the source gave none: it is written as midnight
  // in every time zone.
  const std::tm when = point.time == 0 ? std::tm{} : CalendarTime(point.time, options.useUtc);
  AppendInteger(text, when.tm_hour);
  text.push_back(':');
  AppendInteger(text, when.tm_min);
  text.push_back(':');
  AppendInteger(text, when.tm_sec);
  text.append(", \n");
}

}  // namespace

Result<void> WriteCsvTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress) {
  return WriteTrackFile(track, output, options, kHeaderRow, AppendRow, progress);
}

}  // namespace kestrel
