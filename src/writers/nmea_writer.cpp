#include "writers/nmea_writer.h"

#include <cmath>

#include "platform/number_format.h"
#include "platform/numbers.h"

namespace kestrel {
namespace {

// Degrees and minutes as one number, degrees × 100 + minutes, with six
// decimals; the degrees are truncated toward zero.
void AppendDegreesMinutes(std::string& text, double value) {
  const auto degrees = static_cast<double>(TruncateToInt32(value));
  const double minutes = (value - degrees) * 60.0;
  AppendFixed(text, degrees * 100.0 + minutes, 6);
}

void AppendSentenceLine(std::string& text, const TrackPoint& point, const TrackWriterOptions&) {
  WriteGgaSentence(text, point);
}

}  // namespace

Result<void> WriteNmeaLog(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                          const Progress& progress) {
  return WriteTrackFile(track, output, options, kNmeaLogHeader, AppendSentenceLine, progress);
}

void WriteGgaSentence(std::string& text, const TrackPoint& point) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  const std::size_t start = text.size();
  // Only the position is known to the sentence: the time of fix and the
  // eight fields after the position stay empty.
  text.append("$GPGGA,,");
  AppendDegreesMinutes(text, std::fabs(point.latitude));
  text.append(point.latitude < 0 ? ",S," : ",N,");
  AppendDegreesMinutes(text, std::fabs(point.longitude));
  text.append(point.longitude < 0 ? ",W" : ",E");
  text.append(",,,,,,,,*");
  const std::uint8_t checksum = NmeaChecksum(std::string_view(text).substr(start));
  text.push_back(kHexDigits[checksum >> 4]);
  text.push_back(kHexDigits[checksum & 0x0F]);
  text.push_back('\n');
}

std::uint8_t NmeaChecksum(std::string_view sentence) {
  std::uint8_t sum = 0;
  for (const char c : sentence) {
    if (c == '*') break;
    if (c != '$') sum ^= static_cast<std::uint8_t>(c);
  }
  return sum;
}

}  // namespace kestrel
