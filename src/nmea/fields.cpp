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
// a line, which holds the checksum, is never read as a value. Only a status
// may stand last (GLL's, before the checksum): Status reads it there too.
struct Fields {
  std::array<std::string_view, kLastFieldRead + 1> value;
  std::size_t lastIndex = kLastFieldRead + 1;  // the field that no comma follows
  std::string_view last;                       // its text, up to the checksum

  std::string_view Status(std::size_t k) const { return k == lastIndex ? last : k < lastIndex ? value[k] : ""; }
};

Fields SplitFields(std::string_view line) {
  Fields fields;
  for (std::size_t k = 0; k <= kLastFieldRead; ++k) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
      fields.lastIndex = k;
      fields.last = line.substr(0, line.find_first_of("*\r"));
      break;
    }
    fields.value[k] = line.substr(0, comma);
    line.remove_prefix(comma + 1);
  }
  return fields;
}

// A coordinate with its hemisphere letter: south and west are negative.
double SignedDegrees(std::string_view text, std::string_view hemisphere, char negative) {
  const double degrees = DegreesFromNmea(text);
  return !hemisphere.empty() && hemisphere.front() == negative ? -degrees : degrees;
}

// The field of the time of day, by tag; empty for a tag without one.
std::string_view TimeField(const Fields& fields, NmeaTag tag) {
  switch (tag) {
    case kTagGga:
    case kTagRmc:
    case kTagZda:
      return fields.value[1];
    case kTagGll:
      return fields.value[5];
    default:
      return {};
  }
}

// Characters from `first` (counted from 0), at most `count` of them; a text
// that is too short gives a shorter piece, or an empty one.
std::string_view Piece(std::string_view text, std::size_t first, std::size_t count) {
  return first < text.size() ? text.substr(first, count) : std::string_view{};
}

// A year - 1900 or a month - 1 as a field of the time record. A value
// read from a text fits 32 bits, the difference may not: it is taken in 64
// bits and wraps into the field rather than overflow.
int TimeRecordField(std::int32_t value, std::int64_t offset) {
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

bool ParseSentence(TrackPoint& point, std::string_view line, std::tm& time, NmeaTag tag, FixStatus& fix) {
  const Fields fields = SplitFields(line);
  const auto& field = fields.value;
  std::string_view latitude, longitude, north, east, altitude;
  bool hasDate = false;
  bool noFix = false;
  std::int32_t year = 0, month = 0, day = 0;
  switch (tag) {
    case kTagGga:
      latitude = field[2], north = field[3];
      longitude = field[4], east = field[5];
      noFix = fields.Status(6) == "0";  // fix quality
      altitude = field[9];
      break;
    case kTagGll:
      latitude = field[1], north = field[2];
      longitude = field[3], east = field[4];
      noFix = fields.Status(6).starts_with('V');
      break;
    case kTagRmc: {
      noFix = fields.Status(2).starts_with('V');
      latitude = field[3], north = field[4];
      longitude = field[5], east = field[6];
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
      hasDate = true;
      day = ReadIntegerNumber(field[2]);
      month = ReadIntegerNumber(field[3]);
      year = ReadIntegerNumber(field[4]);
      break;
    default:
      return false;
  }
  const std::string_view clock = TimeField(fields, tag);

  if (!latitude.empty()) point.latitude = SignedDegrees(latitude, north, 'S');
  if (!longitude.empty()) point.longitude = SignedDegrees(longitude, east, 'W');
  if (!altitude.empty()) point.altitude = ReadDecimalNumber(altitude);
  fix.positionGiven = fix.positionGiven || (!latitude.empty() && !longitude.empty());
  fix.noFix = fix.noFix || noFix;
  fix.timeGiven = fix.timeGiven || !clock.empty();
  // Within one record the first sentence that carries a date or a time sets
  // it; a group of fields that are all 0 is not yet set.
  if (hasDate && time.tm_year == 0 && time.tm_mon == 0 && time.tm_mday == 0) {
    time.tm_year = TimeRecordField(year, -1900);
    time.tm_mon = TimeRecordField(month, -1);
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

std::optional<double> SentenceTime(std::string_view line, NmeaTag tag) {
  const std::string_view clock = TimeField(SplitFields(line), tag);
  if (clock.empty()) return std::nullopt;
  return ReadDecimalNumber(clock);
}

}  // namespace kestrel
