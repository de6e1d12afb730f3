#pragma once
// Reading the fields of GGA, GLL, RMC and ZDA sentences into the point being
// assembled and its broken-down UTC time.

#include <ctime>
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

// Reads the sentence's position, altitude, date and time into the point and
// the time record (year, month, day, hour, minute, second). Within one record
// the first sentence that carries a date or a time sets it; every sentence
// that carries a position overwrites it. false for a tag other than GGA, GLL,
// RMC or ZDA, which changes nothing.
bool ParseSentence(TrackPoint& point, std::string_view line, std::tm& time, NmeaTag tag);

inline constexpr const char* kNmeaTagErrorMessage = "NMEA Tag Error.\n";

}  // namespace kestrel
