#pragma once
// The point types that every reader fills and every writer reads: one fix of
// a track and one way point. They sit below the readers, so that no reader
// includes the track model above it.

#include <cmath>
#include <cstdint>
#include <string>

namespace kestrel {

inline constexpr double kNoAltitude = -9999.0;

// What a point's time tells: nothing, a time of day on 1970-01-01 UTC (the
// source gave no date), or a full UTC date and time.
enum class TimeKind : std::uint8_t { None, TimeOfDay, DateAndTime };

// One fix of a track. 32 bytes: the program's memory budget is counted in them.
struct TrackPoint {
  double latitude = 0.0;     // decimal degrees, north positive, south negative
  double longitude = 0.0;    // decimal degrees, east positive, west negative
  double altitude = kNoAltitude;  // metres; -9999.0 when the source gives none
  std::int32_t time = 0;     // seconds since 1970-01-01 00:00:00 UTC; 0 when unknown
  TimeKind timeKind = TimeKind::None;
  // The recording broke before this point: a new segment starts here. The
  // first point of a track starts its first segment whatever this says.
  bool segmentStart = false;
};
static_assert(sizeof(TrackPoint) == 32, "a point is counted as 32 bytes in the memory budget");

// Whether two values in degrees are a position on the Earth: finite, the
// latitude within ±90 and the longitude within ±180.
inline bool IsPosition(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
         std::fabs(longitude) <= 180.0;
}

// A named position stored beside the track (a .usr or GPX way point).
struct WayPoint {
  std::string name;         // UTF-8
  std::string description;  // UTF-8, empty when there is none
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = kNoAltitude;
  std::int32_t time = 0;
  TimeKind timeKind = TimeKind::None;
};

}  // namespace kestrel
