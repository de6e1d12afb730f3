// Writes the track files the benchmarks run on and the bundled samples.
//
//   generate_tracks nmea FIXES PATH   an NMEA log of FIXES one-second fixes of a
//                                     car wandering around Tokyo
//   generate_tracks usr POINTS PATH   a .usr file (version 2) with two way points
//                                     and one trail of POINTS points around Tokyo
//   generate_tracks usr4 POINTS PATH  a .usr file (version 4) with one trail of
//                                     POINTS timed points around Tokyo
//   generate_tracks gpx POINTS PATH   a GPX 1.1 file of one track of POINTS one-second
//                                     points with altitudes and times, in two segments
//   generate_tracks samples DIR       DIR/kanto-walk.usr and DIR/yokohama-drive.log
//
// Every output is fixed by the arguments: the random numbers come from a
// seeded generator of our own and the times from fixed start moments, so the
// same command writes the same bytes on every run.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/numbers.h"
#include "platform/text_encoding.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kEarthRadius = 6378137.0;  // metres, for moving on the map
constexpr double kMetresPerSecondToKnots = 3600.0 / 1852.0;

struct LatLon {
  double latitude = 0.0;
  double longitude = 0.0;
};

// One fix as a receiver reports it.
struct Fix {
  LatLon position;
  double altitude = 0.0;  // metres above the geoid
  double speed = 0.0;     // metres per second
  double course = 0.0;    // degrees from true north
};

// splitmix64: small, fast and the same on every platform, unlike the
// distributions of the standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
  bool Chance(double probability) { return Uniform() < probability; }
  // Mean 0 and standard deviation 1, bell-shaped (the sum of four uniforms).
  double Gaussian() {
    return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0) * std::sqrt(3.0);
  }

 private:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  std::uint64_t state_;
};

// Flat-earth geometry is plenty for the few kilometres between two samples.
LatLon MoveBy(const LatLon& from, double northMetres, double eastMetres) {
  return {from.latitude + northMetres / kEarthRadius / kDegree,
          from.longitude + eastMetres / (kEarthRadius * std::cos(from.latitude * kDegree)) / kDegree};
}

LatLon MoveAlong(const LatLon& from, double courseDegrees, double metres) {
  return MoveBy(from, metres * std::cos(courseDegrees * kDegree), metres * std::sin(courseDegrees * kDegree));
}

double NorthMetres(const LatLon& from, const LatLon& to) {
  return (to.latitude - from.latitude) * kDegree * kEarthRadius;
}

double EastMetres(const LatLon& from, const LatLon& to) {
  return (to.longitude - from.longitude) * kDegree * kEarthRadius * std::cos(from.latitude * kDegree);
}

double DistanceMetres(const LatLon& from, const LatLon& to) {
  return std::hypot(NorthMetres(from, to), EastMetres(from, to));
}

double NormalisedCourse(double degrees) {
  const double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0.0 ? wrapped + 360.0 : wrapped;
}

double CourseDegrees(const LatLon& from, const LatLon& to) {
  return NormalisedCourse(std::atan2(EastMetres(from, to), NorthMetres(from, to)) / kDegree);
}

// Gentle hills a couple of kilometres across, like the Kanto lowlands: the
// same place always has the same height, between about 5 and 45 m.
double GroundHeight(const LatLon& at) {
  return 25.0 + 12.0 * std::sin(at.latitude * 290.0) * std::cos(at.longitude * 230.0) +
         6.0 * std::sin(at.longitude * 710.0 + 1.3);
}

// The wander of a receiver's position around the true one: correlated from
// second to second, about sigma metres in each direction.
class PositionNoise {
 public:
  explicit PositionNoise(double sigmaMetres) : sigma_(sigmaMetres) {}

  LatLon Apply(const LatLon& truth, Random& random, double seconds) {
    const double keep = std::exp(-seconds / 20.0);
    const double fresh = sigma_ * std::sqrt(1.0 - keep * keep);
    north_ = keep * north_ + fresh * random.Gaussian();
    east_ = keep * east_ + fresh * random.Gaussian();
    return MoveBy(truth, north_, east_);
  }

 private:
  double sigma_;
  double north_ = 0.0;
  double east_ = 0.0;
};

// A car that wanders the streets around a centre for as long as asked:
// cruising, curving, turning at junctions, stopping at lights, and heading
// back whenever it strays too far.
class WanderingCar {
 public:
  WanderingCar(const LatLon& centre, double radiusMetres, std::uint64_t seed)
      : centre_(centre), radius_(radiusMetres), random_(seed), position_(centre),
        course_(random_.Uniform(0.0, 360.0)), noise_(2.0) {}

  Fix Next() {
    Steer();
    Drive();
    position_ = MoveAlong(position_, course_, speed_);
    Fix fix;
    fix.position = noise_.Apply(position_, random_, 1.0);
    fix.altitude = GroundHeight(position_) + 0.8 * random_.Gaussian();
    fix.speed = std::max(0.0, speed_ + 0.05 * random_.Gaussian());
    fix.course = course_;
    return fix;
  }

 private:
  void Steer() {
    if (speed_ < 0.5) return;  // a standing car keeps its heading
    if (turnLeft_ > 0) {
      --turnLeft_;
      course_ = NormalisedCourse(course_ + turnRate_);
      return;
    }
    if (random_.Chance(1.0 / 150.0)) {  // a junction: a right or left turn in 5 s
      turnLeft_ = 5;
      turnRate_ = random_.Chance(0.5) ? 18.0 : -18.0;
    }
    drift_ = std::clamp(0.9 * drift_ + 0.4 * random_.Gaussian(), -4.0, 4.0);
    double turn = drift_;
    if (DistanceMetres(centre_, position_) > radius_) {
      const double home = NormalisedCourse(CourseDegrees(position_, centre_) - course_ + 180.0) - 180.0;
      turn += std::clamp(0.05 * home, -3.0, 3.0);
    }
    course_ = NormalisedCourse(course_ + turn);
  }

  void Drive() {
    if (stopLeft_ > 0) {
      --stopLeft_;
      speed_ = 0.0;
      if (stopLeft_ == 0) cruise_ = random_.Uniform(6.0, 17.0);
      return;
    }
    if (cruise_ > 0.0 && random_.Chance(1.0 / 200.0)) cruise_ = 0.0;  // red light ahead
    if (cruise_ > 0.0 && random_.Chance(1.0 / 60.0)) cruise_ = random_.Uniform(6.0, 17.0);
    speed_ += std::clamp(cruise_ - speed_, -3.0, 1.5);
    if (cruise_ == 0.0 && speed_ == 0.0) stopLeft_ = static_cast<int>(random_.Uniform(10.0, 60.0));
  }

  LatLon centre_;
  double radius_;
  Random random_;
  LatLon position_;
  double course_;
  double speed_ = 0.0;
  double cruise_ = 10.0;
  double drift_ = 0.0;
  double turnRate_ = 0.0;
  int turnLeft_ = 0;
  int stopLeft_ = 0;
  PositionNoise noise_;
};

// How someone moves along a route: cruising speed, the speed at corners, and
// pauses at some of the route's corners (lights, sights).
struct Pace {
  double cruise = 1.3;       // metres per second
  double corner = 1.0;       // metres per second at a corner
  double braking = 1.0;      // metres per second squared
  double pauseChance = 0.0;  // at each corner
  double pauseMin = 0.0, pauseMax = 0.0;  // seconds
  double noiseMetres = 2.0;
};

// Goes along a route of corners from the first to the last with a pace, and
// stands still at the last corner once there.
class RouteTraveller {
 public:
  RouteTraveller(std::vector<LatLon> route, const Pace& pace, std::uint64_t seed)
      : route_(std::move(route)), pace_(pace), random_(seed), position_(route_.front()),
        noise_(pace.noiseMetres) {
    PlanCorner();
  }

  bool Arrived() const { return next_ >= route_.size(); }

  // The fix after the given number of seconds more.
  Fix Next(double seconds) {
    double left = seconds;
    while (left > 0.0 && !Arrived()) {
      if (pauseLeft_ > 0.0) {
        const double pause = std::min(pauseLeft_, left);
        pauseLeft_ -= pause;
        left -= pause;
        speed_ = 0.0;
        continue;
      }
      const double toCorner = DistanceMetres(position_, route_[next_]);
      // Slow down in time to take the corner at the corner speed (or stop).
      const double cornerSpeed = pauseHere_ ? 0.0 : pace_.corner;
      const double allowed = std::sqrt(cornerSpeed * cornerSpeed + 2.0 * pace_.braking * toCorner);
      const double wanted = std::min(cruise_, allowed);
      speed_ = std::max(0.3, speed_ + std::clamp(wanted - speed_, -2.0 * pace_.braking, pace_.braking));
      course_ = CourseDegrees(position_, route_[next_]);
      const double step = std::min(left, 1.0);
      if (speed_ * step >= toCorner) {
        position_ = route_[next_];
        left -= toCorner / speed_;
        ++next_;
        if (pauseHere_) pauseLeft_ = random_.Uniform(pace_.pauseMin, pace_.pauseMax);
        PlanCorner();
      } else {
        position_ = MoveAlong(position_, course_, speed_ * step);
        left -= step;
      }
    }
    if (Arrived()) speed_ = 0.0;
    Fix fix;
    fix.position = noise_.Apply(position_, random_, seconds);
    fix.altitude = GroundHeight(position_) + 0.8 * random_.Gaussian();
    fix.speed = speed_ > 0.0 ? std::max(0.0, speed_ + 0.05 * random_.Gaussian()) : 0.0;
    fix.course = course_;
    return fix;
  }

 private:
  void PlanCorner() {
    cruise_ = pace_.cruise * random_.Uniform(0.85, 1.15);
    pauseHere_ = next_ + 1 < route_.size() && random_.Chance(pace_.pauseChance);
  }

  std::vector<LatLon> route_;
  Pace pace_;
  Random random_;
  LatLon position_;
  std::size_t next_ = 1;
  double speed_ = 0.0;
  double cruise_ = 0.0;
  double course_ = 0.0;
  double pauseLeft_ = 0.0;
  bool pauseHere_ = false;
  PositionNoise noise_;
};

// ---------------------------------------------------------------------------
// NMEA log

// The satellites a receiver sees: twelve, rising and setting slowly, their
// signal strength following their elevation.
class Sky {
 public:
  struct Satellite {
    int prn = 0;
    double elevation = 0.0, azimuth = 0.0;  // degrees
    double climb = 0.0, sweep = 0.0;        // degrees per second
    double strength = 0.0;                  // dB-Hz at the horizon
    int snr = 0;                            // this second's signal to noise ratio
  };

  explicit Sky(std::uint64_t seed) : random_(seed) {
    constexpr int kPrns[] = {2, 5, 7, 9, 13, 15, 18, 20, 23, 26, 29, 30};
    for (const int prn : kPrns) {
      satellites_.push_back({prn, random_.Uniform(8.0, 80.0), random_.Uniform(0.0, 360.0),
                             random_.Uniform(-0.008, 0.008), random_.Uniform(-0.01, 0.01),
                             random_.Uniform(30.0, 38.0), 0});
    }
  }

  void Advance(double seconds) {
    for (Satellite& satellite : satellites_) {
      satellite.elevation += satellite.climb * seconds;
      // Keep all twelve in view, so that every second has three GSV sentences.
      if (satellite.elevation < 5.0 || satellite.elevation > 85.0) satellite.climb = -satellite.climb;
      satellite.azimuth = NormalisedCourse(satellite.azimuth + satellite.sweep * seconds);
      satellite.snr = static_cast<int>(std::lround(std::clamp(
          satellite.strength + 12.0 * satellite.elevation / 90.0 + 1.5 * random_.Gaussian(), 15.0, 50.0)));
    }
    hdopNoise_ = 0.9 * hdopNoise_ + 0.05 * random_.Gaussian();
  }

  const std::vector<Satellite>& Satellites() const { return satellites_; }

  // Satellites high and strong enough to be used in the fix.
  std::vector<int> UsedPrns() const {
    std::vector<int> used;
    for (const Satellite& satellite : satellites_) {
      if (satellite.elevation >= 12.0 && satellite.snr >= 36) used.push_back(satellite.prn);
    }
    return used;
  }

  double Hdop() const {
    const auto used = static_cast<double>(std::max<std::size_t>(UsedPrns().size(), 3));
    return std::clamp(0.5 + 4.0 / used + hdopNoise_, 0.6, 9.9);
  }

 private:
  Random random_;
  std::vector<Satellite> satellites_;
  double hdopNoise_ = 0.0;
};

// Writes sentences into one buffer and the buffer to the file now and then.
class NmeaLogWriter {
 public:
  explicit NmeaLogWriter(const std::string& path) : file_(path, std::ios::binary) {
    if (!file_) throw std::runtime_error("cannot create " + path);
    buffer_.reserve(kFlushSize + 4096);
  }

  // One second of a receiver's output: GGA, GSA, three GSV, RMC and VTG.
  void WriteSecond(std::int64_t utcSeconds, const Fix& fix, const Sky& sky) {
    const auto time = static_cast<std::time_t>(utcSeconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char clock[40], date[40];
    std::snprintf(clock, sizeof clock, "%02d%02d%02d.00", utc.tm_hour, utc.tm_min, utc.tm_sec);
    std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
    const std::string latitude = NmeaCoordinate(fix.position.latitude, 2);
    const std::string longitude = NmeaCoordinate(fix.position.longitude, 3);
    const std::vector<int> used = sky.UsedPrns();
    const double hdop = sky.Hdop();
    const double knots = fix.speed * kMetresPerSecondToKnots;

    Sentence("GPGGA,%s,%s,N,%s,E,1,%02zu,%.1f,%.1f,M,36.7,M,,", clock, latitude.c_str(), longitude.c_str(),
             used.size(), hdop, fix.altitude);
    std::string slots;
    for (std::size_t i = 0; i < 12; ++i) {
      char prn[8] = "";
      if (i < used.size()) std::snprintf(prn, sizeof prn, "%02d", used[i]);
      slots += prn;
      slots += ',';
    }
    Sentence("GPGSA,A,3,%s%.1f,%.1f,%.1f", slots.c_str(), hdop * 1.6, hdop, hdop * 1.25);
    const std::vector<Sky::Satellite>& satellites = sky.Satellites();
    for (std::size_t first = 0; first < satellites.size(); first += 4) {
      std::string entries;
      for (std::size_t i = first; i < first + 4; ++i) {
        char entry[80];
        std::snprintf(entry, sizeof entry, ",%02d,%02ld,%03ld,%02d", satellites[i].prn,
                      std::lround(satellites[i].elevation), std::lround(satellites[i].azimuth) % 360,
                      satellites[i].snr);
        entries += entry;
      }
      Sentence("GPGSV,3,%zu,%02zu%s", first / 4 + 1, satellites.size(), entries.c_str());
    }
    // Like most receivers, no magnetic variation and no magnetic course.
    Sentence("GPRMC,%s,A,%s,N,%s,E,%.1f,%.1f,%s,,,A", clock, latitude.c_str(), longitude.c_str(), knots,
             fix.course, date);
    Sentence("GPVTG,%.1f,T,,M,%.1f,N,%.1f,K,A", fix.course, knots, fix.speed * 3.6);
  }

  void Close() {
    Flush();
    file_.close();
    if (!file_) throw std::runtime_error("cannot write the log");
  }

 private:
  static constexpr std::size_t kFlushSize = std::size_t{1} << 20;

  // ddmm.mmmm (or dddmm.mmmm): degrees, then minutes to four decimals.
  static std::string NmeaCoordinate(double degrees, int degreeDigits) {
    const long long tenThousandths = std::llround(degrees * 600000.0);
    char text[64];
    std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld", degreeDigits, tenThousandths / 600000,
                  tenThousandths % 600000 / 10000, tenThousandths % 10000);
    return text;
  }

  // "$" + body + "*" + checksum + CR LF; the checksum is the XOR of the body's bytes.
  __attribute__((format(printf, 2, 3))) void Sentence(const char* format, ...) {
    char body[256];
    std::va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(body, sizeof body, format, args);
    va_end(args);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof body) throw std::logic_error("sentence too long");
    unsigned checksum = 0;
    for (int i = 0; i < length; ++i) checksum ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    buffer_ += '$';
    buffer_.append(body, static_cast<std::size_t>(length));
    buffer_ += tail;
    if (buffer_.size() >= kFlushSize) Flush();
  }

  void Flush() {
    file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

  std::ofstream file_;
  std::string buffer_;
};

// Seconds since 1970-01-01 00:00:00 UTC of a UTC date and time.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute) {
  std::int64_t y = year - (month <= 2);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t days = era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return days * 86400 + hour * 3600 + minute * 60;
}

// ---------------------------------------------------------------------------
// .usr file

// A position in the file's map grid: northing and easting in metres of a
// Mercator projection of a sphere.
struct GridPosition {
  std::int32_t northing = 0;
  std::int32_t easting = 0;
};

GridPosition ToGrid(const LatLon& at) {
  // The grid is understood only from 30 to 45.99722222 degrees north and
  // from 130 to 145.9972222 degrees east.
  if (at.latitude < 30.0 || at.latitude > 45.99722222 || at.longitude < 130.0 || at.longitude > 145.9972222) {
    throw std::out_of_range("position outside the grid");
  }
  const double phi = at.latitude * kDegree;
  return {static_cast<std::int32_t>(std::lround(6356752.09 * std::log(std::tan(std::numbers::pi / 4 + phi / 2)))),
          static_cast<std::int32_t>(std::lround(6356752.12483 * at.longitude * kDegree))};
}

// Builds a .usr file, version 2, field by field in little-endian order:
//
//   file       4 version (2), 2 way point count, way points, 28 not used,
//              2 trail count, trails
//   way point  2 number, 12 not read (grid northing, easting, altitude),
//              4 name length N, N name, 14 not used
//   trail      4 name length N, N name (code page 932), 1 not used,
//              2 point count P, then 2 not used when P is 0, otherwise
//              4 not used and P point records; 2 bytes not used before
//              every record whose index is a positive multiple of 200
//   point      4 grid northing, 4 grid easting, 1 not used
class UsrFileBuilder {
 public:
  struct WayPoint {
    std::string name;  // code page 932
    LatLon position;
    std::int32_t altitude = 0;
  };
  struct Trail {
    std::string name;  // code page 932
    std::vector<GridPosition> points;
  };

  void AddWayPoint(WayPoint wayPoint) { wayPoints_.push_back(std::move(wayPoint)); }
  void AddTrail(Trail trail) {
    if (trail.name.empty() || trail.points.size() > 65535) throw std::invalid_argument("unusable trail");
    trails_.push_back(std::move(trail));
  }

  std::string Bytes() const {
    std::string out;
    PutInt32(out, 2);
    PutUint16(out, wayPoints_.size());
    for (std::size_t i = 0; i < wayPoints_.size(); ++i) {
      const WayPoint& wayPoint = wayPoints_[i];
      const GridPosition grid = ToGrid(wayPoint.position);
      PutUint16(out, i + 1);
      PutInt32(out, grid.northing);
      PutInt32(out, grid.easting);
      PutInt32(out, wayPoint.altitude);
      PutInt32(out, static_cast<std::int32_t>(wayPoint.name.size()));
      out += wayPoint.name;
      out.append(14, '\0');
    }
    out.append(28, '\0');
    PutUint16(out, trails_.size());
    for (const Trail& trail : trails_) {
      PutInt32(out, static_cast<std::int32_t>(trail.name.size()));
      out += trail.name;
      out += '\0';
      PutUint16(out, trail.points.size());
      out.append(trail.points.empty() ? 2 : 4, '\0');
      for (std::size_t j = 0; j < trail.points.size(); ++j) {
        if (j > 0 && j % 200 == 0) out.append(2, '\0');
        PutInt32(out, trail.points[j].northing);
        PutInt32(out, trail.points[j].easting);
        out += '\0';
      }
    }
    return out;
  }

 private:
  static void PutUint16(std::string& out, std::size_t value) {
    if (value > 0xFFFF) throw std::out_of_range("count beyond 16 bits");
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
  }
  static void PutInt32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
  }

  std::vector<WayPoint> wayPoints_;
  std::vector<Trail> trails_;
};

// Builds a .usr file of version 4 without way points and routes, field by
// field in little-endian order:
//
//   file       4 version (4), 4 data stream version, 4+n title, 4+n date
//              text, 4 creation date, 4 creation time, 1, 4 serial number,
//              4+n content description, 4 way point count (0), 4 route
//              count (0), 4 trail count, trails
//   trail      12 unit id and sequence numbers, 2 trail version, 4+n name
//              (UTF-16LE), 4 flags, 4 colour, 4+n description, 8 creation,
//              3, 4 data count, 4 point count P, P point records
//   point      3, 4 time (POSIX, UTC), 8 longitude and 8 latitude (doubles,
//              radians), 4 attribute count, then 1 kind and 4 float each
//              (kind 1: the speed)
class Usr4FileBuilder {
 public:
  struct Point {
    LatLon position;
    std::int64_t utcSeconds = 0;
    float speed = 0.0F;  // metres per second
  };

  void AddTrail(const std::u16string& name, std::vector<Point> points) { trails_.push_back({name, std::move(points)}); }

  std::string Bytes() const {
    std::string out;
    PutUint32(out, 4);
    PutUint32(out, 10);
    PutText(out, "Kestrelmarking benchmark data");
    PutText(out, "12/07/2026");
    PutUint32(out, 2461382);  // the creation date, a Julian day
    PutUint32(out, 0);
    out += '\0';
    PutUint32(out, 0);
    PutText(out, "Trails");
    PutUint32(out, 0);
    PutUint32(out, 0);
    PutUint32(out, static_cast<std::uint32_t>(trails_.size()));
    for (const Trail& trail : trails_) {
      out.append(12, '\0');
      out += '\x03';
      out += '\0';
      std::string name;
      for (const char16_t c : trail.name) PutUint16(name, c);
      PutText(out, name);
      PutUint32(out, 2);
      PutUint32(out, 0);
      PutText(out, "");
      out.append(8 + 3, '\0');
      PutUint32(out, 0);
      PutUint32(out, static_cast<std::uint32_t>(trail.points.size()));
      for (const Point& point : trail.points) {
        out.append(3, '\0');
        PutUint32(out, static_cast<std::uint32_t>(point.utcSeconds));
        PutDouble(out, point.position.longitude * kDegree);
        PutDouble(out, point.position.latitude * kDegree);
        PutUint32(out, 1);
        out += '\x01';
        PutUint32(out, std::bit_cast<std::uint32_t>(point.speed));
      }
    }
    return out;
  }

 private:
  struct Trail {
    std::u16string name;
    std::vector<Point> points;
  };

  static void PutUint16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
  }
  static void PutUint32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
  }
  static void PutDouble(std::string& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    PutUint32(out, static_cast<std::uint32_t>(bits & 0xFFFFFFFF));
    PutUint32(out, static_cast<std::uint32_t>(bits >> 32));
  }
  // A text of the header or a record: its byte length, then its bytes.
  static void PutText(std::string& out, const std::string& bytes) {
    PutUint32(out, static_cast<std::uint32_t>(bytes.size()));
    out += bytes;
  }

  std::vector<Trail> trails_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

// ---------------------------------------------------------------------------
// The outputs

constexpr LatLon kTokyo{35.6812, 139.7671};

// fixCount seconds of a receiver's output from startUtc on, one fix from
// nextFix() per second.
template <typename NextFix>
void WriteNmeaLog(const std::string& path, std::int32_t fixCount, std::int64_t startUtc, std::uint64_t skySeed,
                  NextFix nextFix) {
  Sky sky(skySeed);
  NmeaLogWriter log(path);
  for (std::int32_t i = 0; i < fixCount; ++i) {
    sky.Advance(1.0);
    log.WriteSecond(startUtc + i, nextFix(), sky);
  }
  log.Close();
}

// A long drive around Tokyo, starting on the evening of 28 February 2024 UTC
// so that the dates pass a leap day and the end of a month.
void WriteTokyoLog(std::int32_t fixCount, const std::string& path) {
  WanderingCar car(kTokyo, 15000.0, 20240228);
  WriteNmeaLog(path, fixCount, UtcSeconds(2024, 2, 28, 22, 0), 7, [&car] { return car.Next(); });
}

void WriteTokyoUsr(std::int32_t pointCount, const std::string& path) {
  WanderingCar car(kTokyo, 15000.0, 65535);
  UsrFileBuilder::Trail trail{"Tokyo drive", {}};
  for (std::int32_t i = 0; i < pointCount; ++i) trail.points.push_back(ToGrid(car.Next().position));
  UsrFileBuilder usr;
  usr.AddWayPoint({"Tokyo Sta.", {35.6812, 139.7671}, 4});
  usr.AddWayPoint({"Shinjuku", {35.6896, 139.7006}, 38});
  usr.AddTrail(std::move(trail));
  WriteFile(path, usr.Bytes());
}

// The same drive as a version-4 trail with a time per point, one a second
// from the evening of 28 February 2024 UTC.
void WriteTokyoUsr4(std::int32_t pointCount, const std::string& path) {
  WanderingCar car(kTokyo, 15000.0, 65535);
  std::vector<Usr4FileBuilder::Point> points;
  const std::int64_t start = UtcSeconds(2024, 2, 28, 22, 0);
  for (std::int32_t i = 0; i < pointCount; ++i) {
    const Fix fix = car.Next();
    points.push_back({fix.position, start + i, static_cast<float>(fix.speed)});
  }
  Usr4FileBuilder usr;
  usr.AddTrail(u"Tokyo drive", std::move(points));
  WriteFile(path, usr.Bytes());
}

// The drive of the log as GPX, as a logger's program writes it: positions
// with 9 decimals, altitudes, times, and a break halfway.
void WriteTokyoGpx(std::int32_t pointCount, const std::string& path) {
  WanderingCar car(kTokyo, 15000.0, 20240228);
  const std::int64_t start = UtcSeconds(2024, 2, 28, 22, 0);
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"generate_tracks\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
      "  <wpt lat=\"35.681200000\" lon=\"139.767100000\"><ele>4</ele><name>Tokyo Sta.</name></wpt>\n"
      "  <trk>\n    <name>Tokyo drive</name>\n    <trkseg>\n";
  for (std::int32_t i = 0; i < pointCount; ++i) {
    if (i == pointCount / 2) text += "    </trkseg>\n    <trkseg>\n";
    const Fix fix = car.Next();
    const std::time_t when = static_cast<std::time_t>(start + i);
    std::tm utc{};
    gmtime_r(&when, &utc);
    char line[256];
    std::snprintf(line, sizeof line,
                  "      <trkpt lat=\"%.9f\" lon=\"%.9f\">\n        <ele>%.1f</ele>\n"
                  "        <time>%04d-%02d-%02dT%02d:%02d:%02dZ</time>\n      </trkpt>\n",
                  fix.position.latitude, fix.position.longitude, fix.altitude, utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    text += line;
  }
  text += "    </trkseg>\n  </trk>\n</gpx>\n";
  WriteFile(path, text);
}

// A walk of the route sampled every interval seconds, in grid positions.
std::vector<GridPosition> Walk(const std::vector<LatLon>& route, double interval, std::uint64_t seed) {
  const Pace walking{1.25, 1.0, 0.5, 0.35, 20.0, 150.0, 3.0};
  RouteTraveller walker(route, walking, seed);
  std::vector<GridPosition> points{ToGrid(route.front())};
  while (!walker.Arrived()) points.push_back(ToGrid(walker.Next(interval).position));
  return points;
}

// A day out in Kamakura: the station, the shrine up the shopping street, the
// temples to the east, the beach and back; Enoshima island; and the short
// way from Hase station to the great Buddha.
void WriteKantoWalk(const std::string& path) {
  UsrFileBuilder usr;
  usr.AddWayPoint({kestrel::Utf8ToCp932("鎌倉駅"), {35.31912, 139.55048}, 10});
  usr.AddWayPoint({"Daibutsu", {35.31670, 139.53576}, 14});
  usr.AddWayPoint({"Enoshima", {35.29980, 139.48020}, 30});
  usr.AddTrail({kestrel::Utf8ToCp932("鎌倉"),
                Walk({{35.31912, 139.55048}, {35.32110, 139.55230}, {35.32380, 139.55390},
                      {35.32590, 139.55520}, {35.32640, 139.55660}, {35.32690, 139.55980},
                      {35.32990, 139.56310}, {35.32520, 139.56520}, {35.31960, 139.56810},
                      {35.31800, 139.56100}, {35.31690, 139.55280}, {35.31380, 139.54920},
                      {35.31040, 139.54420}, {35.31190, 139.54580}, {35.31560, 139.54890},
                      {35.31912, 139.55048}},
                     10.0, 1)});
  usr.AddTrail({"Enoshima",
                Walk({{35.30930, 139.48350}, {35.30520, 139.48290}, {35.30160, 139.48150},
                      {35.30050, 139.48060}, {35.29970, 139.47990}, {35.29950, 139.47870},
                      {35.29820, 139.47660}, {35.29690, 139.47420}, {35.29820, 139.47660},
                      {35.30050, 139.48060}, {35.30520, 139.48290}, {35.30930, 139.48350}},
                     10.0, 2)});
  usr.AddTrail({"Hase",
                Walk({{35.31210, 139.53600}, {35.31240, 139.53380}, {35.31250, 139.53300},
                      {35.31240, 139.53380}, {35.31440, 139.53520}, {35.31670, 139.53576}},
                     20.0, 3)});
  WriteFile(path, usr.Bytes());
}

// Ten minutes through central Yokohama on 3 November 2025 from 10:20 JST:
// from the station past Minato Mirai and the brick warehouses to Yamashita
// Park, Chinatown and Kannai.
void WriteYokohamaDrive(const std::string& path) {
  const Pace driving{11.0, 4.0, 1.5, 0.4, 15.0, 45.0, 1.5};
  RouteTraveller car({{35.46580, 139.62230}, {35.46320, 139.62690}, {35.45980, 139.63010},
                      {35.45660, 139.63200}, {35.45430, 139.63610}, {35.45270, 139.64250},
                      {35.44800, 139.64450}, {35.44560, 139.65050}, {35.44250, 139.64610},
                      {35.44330, 139.63700}, {35.44640, 139.63280}, {35.45100, 139.63100}},
                     driving, 4);
  WriteNmeaLog(path, 600, UtcSeconds(2025, 11, 3, 1, 20), 11, [&car] { return car.Next(1.0); });
}

// A positive count given in decimal digits only.
std::int32_t CountArgument(std::string_view text, std::int32_t limit) {
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
    return c >= '0' && c <= '9';
  });
  const std::int32_t count = digits ? kestrel::ReadIntegerNumber(text) : 0;
  if (count < 1 || count > limit) {
    throw std::invalid_argument("count must be 1 to " + std::to_string(limit) + ": " + std::string(text));
  }
  return count;
}

int Usage() {
  std::cerr << "usage: generate_tracks nmea FIXES PATH\n"
               "       generate_tracks usr POINTS PATH\n"
               "       generate_tracks usr4 POINTS PATH\n"
               "       generate_tracks gpx POINTS PATH\n"
               "       generate_tracks samples DIR\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 3 && args[0] == "nmea") {
      WriteTokyoLog(CountArgument(args[1], 10'000'000), args[2]);
    } else if (args.size() == 3 && args[0] == "usr") {
      WriteTokyoUsr(CountArgument(args[1], 65535), args[2]);
    } else if (args.size() == 3 && args[0] == "usr4") {
      WriteTokyoUsr4(CountArgument(args[1], 10'000'000), args[2]);
    } else if (args.size() == 3 && args[0] == "gpx") {
      WriteTokyoGpx(CountArgument(args[1], 10'000'000), args[2]);
    } else if (args.size() == 2 && args[0] == "samples") {
      WriteKantoWalk(args[1] + "/kanto-walk.usr");
      WriteYokohamaDrive(args[1] + "/yokohama-drive.log");
    } else {
      return Usage();
    }
  } catch (const std::exception& failure) {
    std::cerr << "generate_tracks: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
