#include "nmea/fields.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/numbers.h"

namespace kestrel {
namespace {

// The highest field number any sentence type is read from (GGA altitude, RMC date).
constexpr std::size_t kLastFieldRead = 9;

// Fields 0 to kLastFieldRead of a line, as views into it. A field that no
// comma follows is empty, and so is every field beyond it: the last field of
// a line, which holds the checksum, is never read.
std::array<std::string_view, kLastFieldRead + 1> SplitFields(std::string_view line) {
  std::array<std::string_view, kLastFieldRead + 1> fields;
  for (std::string_view& field : fields) {
    field = TakeFirstField(line);
    line = DropFirstField(line);
  }
  return fields;
}

// Characters from `first` (counted from 0), at most `count` of them; a text
// that is too short gives a shorter piece, or an empty one.
std::string_view Piece(std::string_view text, std::size_t first, std::size_t count) {
  return first < text.size() ? text.substr(first, count) : std::string_view{};
}

// A year - 1900 or a month - 1 as a field of the time record. A value
// read from a text fits 32 bits, the difference may not: it is taken in 64
// bits and wraps into the field rather than overflow.
int TimeField(std::int32_t value, std::int64_t offset) {
  return static_cast<int>(std::int64_t{value} + offset);
}

// The four-digit year of a two-digit RMC year: 00-69 are 2000-2069, 70-99
// 1970-1999, chosen by the first character (a character that is not a digit
// counts as 0).
std::int32_t YearOfTwoDigits(std::string_view twoDigits) {
  const char first = twoDigits.empty() ? '0' : twoDigits.front();
  const int decade = first >= '0' && first <= '9' ? first - '0' : 0;
  std::array<char, 4> text = {decade < 7 ? '2' : '1', decade < 7 ? '0' : '9'};
  for (std::size_t i = 0; i < twoDigits.size(); ++i) text[2 + i] = twoDigits[i];
  return ReadIntegerNumber(std::string_view(text.data(), 2 + twoDigits.size()));
}

}  // namespace

std::string_view TakeFirstField(std::string_view text) {
  const std::size_t comma = text.find(',');
  return comma == std::string_view::npos ? std::string_view{} : text.substr(0, comma);
}

std::string_view DropFirstField(std::string_view text, char separator) {
  const std::size_t at = text.find(separator);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

double DegreesFromNmea(std::string_view text) {
  // One rounding per operation in this order; the factor is the double
  // nearest to 100/60.
  const double v = ReadDecimalNumber(text) * 0.01;
  const double degrees = TruncateToInt32(v);
  return (v - degrees) * 1.6666666666666667 + degrees;
}

bool ParseSentence(TrackPoint& point, std::string_view line, std::tm& time, NmeaTag tag) {
  const auto field = SplitFields(line);
  std::string_view latitude, longitude, altitude, clock;
  bool hasDate = false;
  std::int32_t year = 0, month = 0, day = 0;
  switch (tag) {
    case kTagGga:
      clock = field[1];
      latitude = field[2];
      longitude = field[4];
      altitude = field[9];
      break;
    case kTagGll:
      latitude = field[1];
      longitude = field[3];
      clock = field[5];
      break;
    case kTagRmc: {
      clock = field[1];
      latitude = field[3];
      longitude = field[5];
      const std::string_view date = field[9];  // ddmmyy
      if (!date.empty()) {
        hasDate = true;
        day = ReadIntegerNumber(Piece(date, 0, 2));
        month = ReadIntegerNumber(Piece(date, 2, 2));
        year = YearOfTwoDigits(Piece(date, 4, 2));
      }
      break;
    }
    case kTagZda:
      clock = field[1];
      hasDate = true;
      day = ReadIntegerNumber(field[2]);
      month = ReadIntegerNumber(field[3]);
      year = ReadIntegerNumber(field[4]);
      break;
    default:
      return false;
  }

  if (!latitude.empty()) point.latitude = DegreesFromNmea(latitude);
  if (!longitude.empty()) point.longitude = DegreesFromNmea(longitude);
  if (!altitude.empty()) point.altitude = ReadDecimalNumber(altitude);
  // Within one record the first sentence that carries a date or a time sets
  // it; a group of fields that are all 0 is not yet set.
  if (hasDate && time.tm_year == 0 && time.tm_mon == 0 && time.tm_mday == 0) {
    time.tm_year = TimeField(year, -1900);
    time.tm_mon = TimeField(month, -1);
    time.tm_mday = day;
  }
  if (!clock.empty() && time.tm_hour == 0 && time.tm_min == 0 && time.tm_sec == 0) {
    // hhmmss; a fraction of a second after it is dropped.
    time.tm_hour = ReadIntegerNumber(Piece(clock, 0, 2));
    time.tm_min = ReadIntegerNumber(Piece(clock, 2, 2));
    time.tm_sec = ReadIntegerNumber(Piece(clock, 4, 2));
  }
  return true;
}

}  // namespace kestrel
