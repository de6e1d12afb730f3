#pragma once

#include <cstdint>

namespace kestrel {

inline constexpr double kNoAltitude = -9999.0;

// One fix of a track.
struct TrackPoint {
  double latitude = 0.0;     // decimal degrees, north positive
  double longitude = 0.0;    // decimal degrees, east positive
  double altitude = kNoAltitude;  // metres; -9999.0 when the source gives none
  std::int32_t time = 0;     // seconds since 1970-01-01 00:00:00 UTC; 0 when unknown
};

}  // namespace kestrel
