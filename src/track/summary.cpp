#include "track/summary.h"

#include <cmath>
#include <ctime>

#include "platform/number_format.h"
#include "platform/time_zone.h"

namespace kestrel {
namespace {

constexpr const char* kRangeMark = " ～ ";  // the tilde is U+FF5E


std::string Integer(std::int32_t value) { return std::to_string(value); }

// A coordinate or altitude with its number of decimals; an exact 0.0 (or
// not a number) means no data.
std::string Coordinate(int decimals, double value) {
  if (value == 0.0 || std::isnan(value)) return "NoData";
  return FixedText(value, decimals);
}

std::string Range(int decimals, double minimum, double maximum) {
  return Coordinate(decimals, minimum) + kRangeMark + Coordinate(decimals, maximum);
}

std::string Section(const char* heading, const std::string& body) {
  return std::string(heading) + "\r\n" + body + "\r\n\r\n";
}

std::string ClockTime(std::int32_t time) {
  std::tm local{};
  if (!ToLocalTime(time, local)) return "-";
  return std::to_string(local.tm_hour) + "時" + std::to_string(local.tm_min) + "分" +
         std::to_string(local.tm_sec) + "秒";
}

std::string CommonSections(const TrackSummary& s) {
  return Section("【データ数】", Integer(s.pointCount) + " (Points)") +
         Section("【行程距離】", FixedText(s.distance, 2) + " (m)") +
         Section("【経度】", Range(4, s.minLongitude, s.maxLongitude)) +
         Section("【緯度】", Range(5, s.minLatitude, s.maxLatitude));
}

// The clock times of the first and the last point; the last text of a summary.
std::string TimeSection(const TrackSummary& s) {
  return "【時刻(ローカル時間)】\r\n" + ClockTime(s.startTime) + "\r\n" + "     " + kRangeMark + ClockTime(s.endTime);
}

}  // namespace

std::string TrailSummaryText(const TrackSummary& s) {
  // A trail whose points carry times (version 4) shows them as a log does.
  return Section("【トラック】", s.fileName) + Section("【対象Trail】", s.trailName) + CommonSections(s) +
         (s.timeKind == TimeKind::None ? "" : TimeSection(s));
}

std::string NmeaSummaryText(const TrackSummary& s) {
  return Section("【トラック】", s.fileName) + CommonSections(s) +
         Section("【高さ】", Range(1, s.minAltitude, s.maxAltitude) + " (m)") + TimeSection(s);
}

std::string SkippedText(const TrackSummary& s) {
  if (s.skippedPoints > 0) return "GPXﾃﾞｰﾀの" + std::to_string(s.skippedPoints) + "点を読み飛ばしました";
  if (s.skippedLines == 0) return "";
  return "NMEAﾃﾞｰﾀの" + std::to_string(s.skippedLines) + "行を読み飛ばしました";
}

std::string UsrFileSummaryText(const TrackSummary& s) {
  std::string text = "【Way Point数】： " + Integer(s.wayPointCount) + "\r\n\r\n" +
                     "【Trail数】： " + Integer(s.trailCount) + "\r\n";
  for (const TrailEntry& trail : s.trails) {
    text += " " + trail.name + " (" + Integer(trail.pointCount) + ")\r\n";
  }
  return text;
}

}  // namespace kestrel
