#include "writers/geojson_writer.h"

#include "writers/exchange_track.h"
#include "writers/markup_text.h"

namespace kestrel {
namespace {

// [lon, lat] or [lon, lat, alt]
void AppendPosition(std::string& text, double latitude, double longitude, double altitude) {
  text.push_back('[');
  AppendDegrees(text, longitude);
  text.append(", ");
  AppendDegrees(text, latitude);
  if (altitude != kNoAltitude) {
    text.append(", ");
    AppendMetres(text, altitude);
  }
  text.push_back(']');
}

void AppendWayPoint(std::string& text, const WayPoint& point) {
  text.append(",\n    {\"type\": \"Feature\", \"geometry\": {\"type\": \"Point\", \"coordinates\": ");
  AppendPosition(text, point.latitude, point.longitude, point.altitude);
  text.append("}, \"properties\": {\"name\": ");
  AppendJsonString(text, point.name);
  if (!point.description.empty()) {
    text.append(", \"description\": ");
    AppendJsonString(text, point.description);
  }
  if (point.timeKind == TimeKind::DateAndTime) {
    text.append(", \"time\": \"");
    AppendUtcTime(text, point.time);
    text.push_back('"');
  }
  text.append("}}");
}

// The positions or the times of the segments, each segment a list when there
// are several, one line per value.
class SegmentLists {
 public:
  SegmentLists(PieceOutput& out, const std::vector<std::span<const TrackPoint>>& segments)
      : out_(out), segments_(segments) {}

  template <typename AppendValue>
  bool Write(AppendValue appendValue) {
    std::string& text = out_.text;
    const bool several = segments_.size() > 1;
    text.push_back('[');
    for (std::size_t s = 0; s < segments_.size(); ++s) {
      const std::span<const TrackPoint> segment = segments_[s];
      if (several) text.append(s == 0 ? "\n        [" : ",\n        [");
      for (std::size_t i = 0; i < LinePositionCount(segment); ++i) {
        text.append(i == 0 ? "\n" : ",\n");
        text.append(several ? "          " : "        ");
        appendValue(text, LinePosition(segment, i));
        if (i < segment.size() && !out_.Done(++done_)) return false;
      }
      if (several) text.append("\n        ]");
    }
    text.append("\n      ]");
    return true;
  }

 private:
  PieceOutput& out_;
  const std::vector<std::span<const TrackPoint>>& segments_;
  std::int64_t done_ = 0;
};

}  // namespace

Result<void> WriteGeoJsonTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                               const Progress& progress) {
  const Result<ExchangeTrack> exchange = MakeExchangeTrack(track, options);
  if (!exchange) return exchange.error();
  const std::vector<std::span<const TrackPoint>> segments = exchange->Segments();
  const bool timed = AllTimesKnown(exchange->points);
  const auto count = static_cast<std::int64_t>(exchange->points.size());
  PieceOutput out(output, progress, timed ? 2 * count : count);
  SegmentLists lists(out, segments);

  out.text.append("{\"type\": \"FeatureCollection\", \"features\": [\n");
  out.text.append("    {\"type\": \"Feature\", \"geometry\": {\"type\": \"");
  out.text.append(segments.size() > 1 ? "MultiLineString" : "LineString");
  out.text.append("\", \"coordinates\": ");
  const bool written = lists.Write([](std::string& text, const TrackPoint& point) {
    AppendPosition(text, point.latitude, point.longitude, point.altitude);
  });
  if (!written) return Cancelled();
  out.text.append("}, \"properties\": {\"name\": ");
  AppendJsonString(out.text, exchange->name);
  if (timed) {
    out.text.append(", \"coordTimes\": ");
    const bool timesWritten = lists.Write([](std::string& text, const TrackPoint& point) {
      text.push_back('"');
      AppendUtcTime(text, point.time);
      text.push_back('"');
    });
    if (!timesWritten) return Cancelled();
  }
  out.text.append("}}");
  for (const WayPoint& point : track.wayPoints) AppendWayPoint(out.text, point);
  out.text.append("\n]}\n");
  out.Finish();
  return {};
}

}  // namespace kestrel
