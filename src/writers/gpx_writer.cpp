#include "writers/gpx_writer.h"

#include "writers/exchange_track.h"
#include "writers/markup_text.h"

namespace kestrel {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"Kestrelmarking\" xmlns=\"http://www.topografix.com/GPX/1/1\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";

// <tag lat=".." lon=".."><ele>..</ele><time>..</time>, the element left open.
void AppendPointStart(std::string& text, std::string_view tag, double latitude, double longitude, double altitude,
                      bool hasTime, std::int32_t time) {
  text.push_back('<');
  text.append(tag);
  text.append(" lat=\"");
  AppendDegrees(text, latitude);
  text.append("\" lon=\"");
  AppendDegrees(text, longitude);
  text.append("\">");
  if (altitude != kNoAltitude) {
    text.append("<ele>");
    AppendMetres(text, altitude);
    text.append("</ele>");
  }
  if (hasTime) {
    text.append("<time>");
    AppendUtcTime(text, time);
    text.append("</time>");
  }
}

void AppendWayPoint(std::string& text, const WayPoint& point) {
  text.append("  ");
  AppendPointStart(text, "wpt", point.latitude, point.longitude, point.altitude,
                   point.timeKind == TimeKind::DateAndTime, point.time);
  if (!point.name.empty()) AppendXmlElement(text, "name", point.name);
  if (!point.description.empty()) AppendXmlElement(text, "desc", point.description);
  text.append("</wpt>\n");
}

}  // namespace

Result<void> WriteGpxTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress) {
  const Result<ExchangeTrack> exchange = MakeExchangeTrack(track, options);
  if (!exchange) return exchange.error();
  PieceOutput out(output, progress, static_cast<std::int64_t>(exchange->points.size()));
  out.text.append(kHeader);
  for (const WayPoint& point : track.wayPoints) AppendWayPoint(out.text, point);
  out.text.append("  <trk>\n");
  if (!exchange->name.empty()) {
    out.text.append("    ");
    AppendXmlElement(out.text, "name", exchange->name);
    out.text.push_back('\n');
  }
  std::int64_t done = 0;
  for (const std::span<const TrackPoint> segment : exchange->Segments()) {
    out.text.append("    <trkseg>\n");
    for (const TrackPoint& point : segment) {
      out.text.append("      ");
      AppendPointStart(out.text, "trkpt", point.latitude, point.longitude, point.altitude, HasDateAndTime(point),
                       point.time);
      out.text.append("</trkpt>\n");
      if (!out.Done(++done)) return Cancelled();
    }
    out.text.append("    </trkseg>\n");
  }
  out.text.append("  </trk>\n</gpx>\n");
  out.Finish();
  return {};
}

}  // namespace kestrel
