#include "writers/kml_writer.h"

#include "writers/exchange_track.h"
#include "writers/markup_text.h"

namespace kestrel {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
    "  <Document>\n";
constexpr std::string_view kFooter =
    "  </Document>\n"
    "</kml>\n";

void AppendTextElement(std::string& text, std::string_view indent, std::string_view tag, std::string_view value) {
  text.append(indent);
  AppendXmlElement(text, tag, value);
  text.push_back('\n');
}

// "lon,lat[,alt]": KML's tuple of a coordinates element; gx:coord takes the
// same numbers separated by blanks.
void AppendTuple(std::string& text, const TrackPoint& point, char separator) {
  AppendDegrees(text, point.longitude);
  text.push_back(separator);
  AppendDegrees(text, point.latitude);
  if (HasAltitude(point)) {
    text.push_back(separator);
    AppendMetres(text, point.altitude);
  }
}

void AppendWayPoint(std::string& text, const WayPoint& point) {
  text.append("    <Placemark>\n");
  if (!point.name.empty()) AppendTextElement(text, "      ", "name", point.name);
  if (!point.description.empty()) AppendTextElement(text, "      ", "description", point.description);
  text.append("      <Point><coordinates>");
  AppendTuple(text, {point.latitude, point.longitude, point.altitude}, ',');
  text.append("</coordinates></Point>\n");
  text.append("    </Placemark>\n");
}

// The geometry of the track, its points counted in done.
class TrackGeometry {
 public:
  TrackGeometry(PieceOutput& out, std::int64_t& done) : out_(out), done_(done) {}

  // A gx:Track: every time, then every position.
  bool TimedSegment(std::span<const TrackPoint> segment, std::string_view indent) {
    std::string& text = out_.text;
    text.append(indent).append("<gx:Track>\n");
    for (const TrackPoint& point : segment) {
      text.append(indent).append("  <when>");
      AppendUtcTime(text, point.time);
      text.append("</when>\n");
      if (!out_.Done(++done_)) return false;
    }
    for (const TrackPoint& point : segment) {
      text.append(indent).append("  <gx:coord>");
      AppendTuple(text, point, ' ');
      text.append("</gx:coord>\n");
      if (!out_.Done(++done_)) return false;
    }
    text.append(indent).append("</gx:Track>\n");
    return true;
  }

  bool LineSegment(std::span<const TrackPoint> segment, std::string_view indent) {
    std::string& text = out_.text;
    text.append(indent).append("<LineString>\n");
    text.append(indent).append("  <coordinates>\n");
    for (std::size_t i = 0; i < LinePositionCount(segment); ++i) {
      text.append(indent).append("    ");
      AppendTuple(text, LinePosition(segment, i), ',');
      text.push_back('\n');
      if (i < segment.size() && !out_.Done(done_ += 2)) return false;
    }
    text.append(indent).append("  </coordinates>\n");
    text.append(indent).append("</LineString>\n");
    return true;
  }

 private:
  PieceOutput& out_;
  std::int64_t& done_;
};

}  // namespace

Result<void> WriteKmlTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress) {
  const Result<ExchangeTrack> exchange = MakeExchangeTrack(track, options);
  if (!exchange) return exchange.error();
  // Every point is visited twice on a gx:Track and counted twice on a line.
  PieceOutput out(output, progress, 2 * static_cast<std::int64_t>(exchange->points.size()));
  out.text.append(kHeader);
  if (!exchange->name.empty()) AppendTextElement(out.text, "    ", "name", exchange->name);
  for (const WayPoint& point : track.wayPoints) AppendWayPoint(out.text, point);

  out.text.append("    <Placemark>\n");
  if (!exchange->name.empty()) AppendTextElement(out.text, "      ", "name", exchange->name);
  const std::vector<std::span<const TrackPoint>> segments = exchange->Segments();
  const bool timed = AllTimesKnown(exchange->points);
  const bool several = segments.size() > 1;
  if (several) out.text.append(timed ? "      <gx:MultiTrack>\n" : "      <MultiGeometry>\n");
  std::int64_t done = 0;
  TrackGeometry geometry(out, done);
  const std::string_view indent = several ? "        " : "      ";
  for (const std::span<const TrackPoint> segment : segments) {
    if (!(timed ? geometry.TimedSegment(segment, indent) : geometry.LineSegment(segment, indent))) {
      return Cancelled();
    }
  }
  if (several) out.text.append(timed ? "      </gx:MultiTrack>\n" : "      </MultiGeometry>\n");
  out.text.append("    </Placemark>\n");
  out.text.append(kFooter);
  out.Finish();
  return {};
}

}  // namespace kestrel
