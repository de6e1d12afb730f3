#include "cli/track_record.h"

#include <algorithm>
#include <optional>

#include "platform/text_encoding.h"
#include "writers/exchange_track.h"

namespace kestrel::cli {
namespace {

// The least and greatest of the values that exist, or null for both.
struct Range {
  std::optional<double> least, greatest;

  void Add(double value) {
    least = least ? std::min(*least, value) : value;
    greatest = greatest ? std::max(*greatest, value) : value;
  }
};

TrackRecord NumberOrNull(const std::optional<double>& value) { return value ? TrackRecord(*value) : TrackRecord(); }

TrackRecord UtcTimeOf(const TrackPoint& point) {
  if (!HasDateAndTime(point)) return nullptr;
  std::string text;
  AppendUtcTime(text, point.time);
  return text;
}

std::string CsvFieldOf(const TrackRecord& value) {
  if (value.is_null()) return "";
  if (!value.is_string()) return value.dump();
  const std::string& text = value.get_ref<const std::string&>();
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

TrackRecord TrackRecordOf(const std::string& file, const std::string& kind, const TrackData& track) {
  const TrackSummary& summary = track.summary;
  const std::size_t count = track.pointCount > 0 ? static_cast<std::size_t>(track.pointCount) : 0;
  Range latitude, longitude, altitude;
  std::int64_t segments = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const TrackPoint& point = track.points[i];
    latitude.Add(point.latitude);
    longitude.Add(point.longitude);
    if (HasAltitude(point)) altitude.Add(point.altitude);
    if (i == 0 || point.segmentStart) ++segments;
  }
  TrackRecord record;
  record["file"] = ValidUtf8(file);
  record["trail"] = kind == "nmea" ? TrackRecord() : TrackRecord(ValidUtf8(summary.trailName));
  record["kind"] = kind;
  record["points"] = count;
  record["distance_m"] = summary.distance;
  record["min_latitude"] = NumberOrNull(latitude.least);
  record["max_latitude"] = NumberOrNull(latitude.greatest);
  record["min_longitude"] = NumberOrNull(longitude.least);
  record["max_longitude"] = NumberOrNull(longitude.greatest);
  record["min_altitude_m"] = NumberOrNull(altitude.least);
  record["max_altitude_m"] = NumberOrNull(altitude.greatest);
  record["start"] = count > 0 ? UtcTimeOf(track.points.front()) : nullptr;
  record["end"] = count > 0 ? UtcTimeOf(track.points[count - 1]) : nullptr;
  record["segments"] = segments;
  record["skipped_lines"] = summary.skippedLines;
  record["skipped_points"] = summary.skippedPoints;
  return record;
}

std::string JsonLineOf(const TrackRecord& record) {
  return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string CsvHeader() {
  std::string header;
  const TrackRecord fields = TrackRecordOf("", "", TrackData{});
  for (const auto& field : fields.items()) {
    header += (header.empty() ? "" : ",") + field.key();
  }
  return header + "\r\n";
}

std::string CsvRowOf(const TrackRecord& record) {
  std::string row;
  bool first = true;
  for (const auto& field : record) {
    if (!first) row += ',';
    row += CsvFieldOf(field);
    first = false;
  }
  return row + "\r\n";
}

}  // namespace kestrel::cli
