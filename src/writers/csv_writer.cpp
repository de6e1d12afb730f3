#include "writers/csv_writer.h"

#include "platform/number_format.h"

namespace kestrel {
namespace {

constexpr std::string_view kHeaderRow = "latitude,longitude,altitude,time\n";

void AppendSixDecimals(std::string& text, double value) { AppendFixed(text, value, 6); }

// "N<lat>,E<lon>,H<alt>,h:m:s, " (S and W south and west) with six decimals
// and the time of day without leading zeros.
void AppendRow(std::string& text, const TrackPoint& point, const TrackWriterOptions& options) {
  AppendHemisphere(text, point.latitude, 'N', 'S', AppendSixDecimals);
  text.push_back(',');
  AppendHemisphere(text, point.longitude, 'E', 'W', AppendSixDecimals);
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
