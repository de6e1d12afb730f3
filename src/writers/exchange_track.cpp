#include "writers/exchange_track.h"

#include <algorithm>
#include <ctime>
#include <new>

#include "platform/number_format.h"
#include "platform/time_zone.h"
#include "select/selection.h"

namespace kestrel {
std::vector<std::span<const TrackPoint>> ExchangeTrack::Segments() const {
  std::vector<std::span<const TrackPoint>> segments;
  std::size_t start = 0;
  for (std::size_t i = 1; i <= points.size(); ++i) {
    if (i == points.size() || points[i].segmentStart) {
      segments.emplace_back(points.data() + start, i - start);
      start = i;
    }
  }
  return segments;
}

Result<ExchangeTrack> MakeExchangeTrack(const TrackData& track, const TrackWriterOptions& options) {
  ExchangeTrack exchange;
  exchange.name = track.name;
  try {
    exchange.points.assign(track.points.begin(), track.points.begin() + PointCountOrZero(track));
  } catch (const std::bad_alloc&) {
    return Fail(kNoMemoryMessage);
  }
  if (options.smoothing) SmoothPoints(exchange.points, MissingAltitudes::Skipped);
  KeepPoints(exchange.points, track, options.usageRate);
  return exchange;
}

bool AllTimesKnown(std::span<const TrackPoint> points) {
  return std::all_of(points.begin(), points.end(), HasDateAndTime);
}

void AppendDegrees(std::string& text, double degrees) { AppendFixed(text, degrees, 8); }

void AppendMetres(std::string& text, double metres) { AppendFixed(text, metres, 3); }

void AppendUtcTime(std::string& text, std::int32_t time) {
  std::tm when{};
  ToUtcTime(time, when);
  AppendInteger(text, when.tm_year + 1900);
  text.push_back('-');
  AppendTwoDigits(text, when.tm_mon + 1);
  text.push_back('-');
  AppendTwoDigits(text, when.tm_mday);
  text.push_back('T');
  AppendTwoDigits(text, when.tm_hour);
  text.push_back(':');
  AppendTwoDigits(text, when.tm_min);
  text.push_back(':');
  AppendTwoDigits(text, when.tm_sec);
  text.push_back('Z');
}

}  // namespace kestrel
