#pragma once
// Reading the fields of GGA, GLL, RMC and ZDA sentences into the point being
// assembled and its broken-down UTC time.

#include <ctime>
#include <optional>
#include <string_view>

#include "nmea/sentence.h"
#include "geo/track_point.h"

namespace kestrel {

// The text before the first comma, or empty when there is no comma.
std::string_view TakeFirstField(std::string_view text);
// The text after the first separator, or the whole text when there is none.
std::string_view DropFirstField(std::string_view text, char separator = ',');

// The NMEA form dddmm.mmmm (degrees times 100 plus minutes) in decimal degrees.
double DegreesFromNmea(std::string_view text);

// What the sentences of one record tell about its fix, besides its values.
struct FixStatus {
  bool positionGiven = false;  // a sentence gave both coordinates
  bool noFix = false;          // a sentence said there is no fix: GGA quality 0, RMC or GLL status V
  bool timeGiven = false;      // a sentence gave a time of day
};

// Reads the sentence's position (south and west negative), altitude, date
// and time into the point and the time record (year, month, day, hour,
// minute, second), and what it tells of the fix into fix. Within one record
// the first sentence that carries a date or a time sets it; every sentence
// that carries a position overwrites it. false for a tag other than GGA,
// GLL, RMC or ZDA, which changes nothing.
bool ParseSentence(TrackPoint& point, std::string_view line, std::tm& time, NmeaTag tag, FixStatus& fix);

// The time of day of a GGA, GLL, RMC or ZDA sentence as the number its
// field reads as (hhmmss.ss), so that "123519.00" and "123519.000" are one
// time; nothing when the field is empty or the tag another.
std::optional<double> SentenceTime(std::string_view line, NmeaTag tag);

inline constexpr const char* kNmeaTagErrorMessage = "NMEA Tag Error.\n";

}  // namespace kestrel
