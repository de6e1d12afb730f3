// Versions 2 and 3 of the .usr file: the layout devices and other programs
// write, and version 2 as the first release read it (usr_layout.h).

#include <bit>
#include <limits>

#include "track/usr_layout.h"
#include "track/usr_reader.h"

namespace kestrel::usr {
namespace {

constexpr double kMetresPerFoot = 0.3048;

// A way point altitude in metres. Writers store it in feet as a float, or
// as an integer (in stream 1, and some in any stream: bits that read as no
// ordinary float are an integer); an unknown altitude is stored as about
// -10000 m.
double AltitudeOf(std::uint32_t bits, bool integer) {
  const std::uint32_t exponent = bits >> 23 & 0xFF;
  const double feet = integer || exponent == 0 || exponent == 0xFF ? static_cast<double>(static_cast<std::int32_t>(bits))
                                                                    : static_cast<double>(std::bit_cast<float>(bits));
  const double metres = feet * kMetresPerFoot;
  return metres > kNoAltitude ? metres : kNoAltitude;
}

// The position and altitude of a way point, which keeps no position when
// its grid values are none.
bool PlaceWayPoint(WayPoint& wayPoint, std::int32_t northing, std::int32_t easting, std::uint32_t altitude,
                   bool integerAltitude) {
  wayPoint.altitude = AltitudeOf(altitude, integerAltitude);
  return GridPosition(northing, easting, wayPoint.latitude, wayPoint.longitude);
}

// A text of a record: its length, then its bytes. Nothing when the length
// is negative, which the detail then tells.
std::optional<std::string> RecordText(FieldReader& in, const char* what, const std::string& record,
                                      std::string& wrong) {
  const std::int32_t length = in.Signed32();
  if (length < 0) {
    wrong = record + " has the " + what + " length " + std::to_string(length);
    return std::nullopt;
  }
  return in.Cp932Text(length);
}

struct Version {
  bool version3 = false;
  bool integerAltitude = false;
};

// A way point record after its object number (also a route leg). Adds it
// to wayPoints, when given and a position; otherwise fails with what is
// wrong where.
Result<void> ReadWayPoint(FieldReader& in, const Version& version, const std::string& record,
                          std::vector<WayPoint>* wayPoints) {
  const std::int32_t northing = in.Signed32();
  const std::int32_t easting = in.Signed32();
  const std::uint32_t altitude = in.Unsigned32();
  std::string wrong;
  std::optional<std::string> name = RecordText(in, "name", record, wrong);
  std::optional<std::string> description = name ? RecordText(in, "description", record, wrong) : std::nullopt;
  if (description) in.Skip(kWayPointFieldsAfterTexts + (version.version3 ? kVersion3Depth : 0));
  if (!description || in.Ended()) return Damaged(in, in.EndedOr(record, wrong));
  WayPoint wayPoint;
  wayPoint.name = std::move(*name);
  wayPoint.description = std::move(*description);
  if (wayPoints != nullptr && PlaceWayPoint(wayPoint, northing, easting, altitude, version.integerAltitude)) {
    wayPoints->push_back(std::move(wayPoint));
  }
  return {};
}

// The sections of a trail of pointCount points: their counts must add up to
// it. false when the file ends inside them.
Result<bool> PassSections(FieldReader& in, std::int64_t pointCount, const std::string& record) {
  for (std::int64_t left = pointCount; left > 0;) {
    const std::uint16_t section = in.Count16();
    if (in.Ended()) return false;
    if (section == 0 || section > left) {
      return Damaged(in, record + " has a section of " + std::to_string(section) + " points where " +
                             std::to_string(left) + " are left");
    }
    in.Skip(static_cast<std::int64_t>(kPointRecordSize) * section);
    left -= section;
  }
  return !in.Ended();
}

// The degrees of a point record; false when it is no position.
bool PointOf(const unsigned char (&record)[kPointRecordSize], TrackPoint& point) {
  const auto northing = static_cast<std::int32_t>(LittleEndianValue(record, 4));
  const auto easting = static_cast<std::int32_t>(LittleEndianValue(record + kGridLongitudeOffset, 4));
  return GridPosition(northing, easting, point.latitude, point.longitude);
}

}  // namespace

Result<Directory> ReadSectionsDirectory(FieldReader& in) {
  Directory directory;
  const std::uint32_t header = in.Unsigned32();
  directory.version = static_cast<std::int32_t>(header & 0xFFFF);
  const Version version{(header & 0xFFFF) == kVersion3, header >> 16 == kAltitudeIntegerStream};

  const std::uint16_t wayPoints = in.Count16();
  directory.wayPointCount = wayPoints;
  for (int w = 0; w < wayPoints; ++w) {
    in.Skip(kWayPointNumberSize);
    if (Result<void> read = ReadWayPoint(in, version, RecordOf("way point", w, wayPoints), &directory.wayPoints);
        !read) {
      return read.error();
    }
  }
  const std::uint16_t routes = in.Count16();
  for (int r = 0; r < routes; ++r) {
    const std::string record = RecordOf("route", r, routes);
    std::string wrong;
    if (!RecordText(in, "name", record, wrong)) return Damaged(in, in.EndedOr(record, wrong));
    const std::uint16_t legs = in.Count16();
    in.Skip(kRouteReversed);
    for (int l = 0; l < legs; ++l) {
      if (Result<void> read = ReadWayPoint(in, version, record, nullptr); !read) return read.error();
    }
  }
  in.Skip(kIconSize * in.Count16());

  const std::uint16_t trails = in.Count16();
  for (int t = 0; t < trails; ++t) {
    const std::string record = RecordOf("trail", t, trails);
    std::string wrong;
    std::optional<std::string> name = RecordText(in, "name", record, wrong);
    if (!name) return Damaged(in, in.EndedOr(record, wrong));
    TrailEntry trail{0, 0, std::move(*name), UsrLayout::Sections};
    in.Skip(kTrailVisible);
    trail.pointCount = in.Count16();
    in.Skip(kTrailMaximumSize);
    if (in.Ended()) return Damaged(in, in.EndedOr(record, wrong));
    trail.dataOffset = in.Position();
    const Result<bool> passed = PassSections(in, trail.pointCount, record);
    if (!passed) return passed.error();
    directory.trails.push_back(std::move(trail));
    // A file that ends inside a trail's points holds no trail after it; the
    // trail gives the points before the end.
    if (!*passed) break;
  }
  return directory;
}

Result<Directory> ReadFirstReleaseDirectory(FieldReader& in) {
  Directory directory;
  directory.version = in.Signed32();
  if (directory.version != static_cast<std::int32_t>(kVersion2)) {
    return Damaged(in, "version " + std::to_string(directory.version));
  }
  const std::uint16_t wayPoints = in.Count16();
  directory.wayPointCount = wayPoints;
  for (int w = 0; w < wayPoints; ++w) {
    in.Skip(kWayPointNumberSize);
    const std::int32_t northing = in.Signed32();
    const std::int32_t easting = in.Signed32();
    const std::uint32_t altitude = in.Unsigned32();
    const std::int32_t textLength = in.Signed32();
    // A negative length would move backwards, over records already passed.
    if (textLength < 0) {
      const std::string record = RecordOf("way point", w, wayPoints);
      return Damaged(in, in.EndedOr(record, record + " has the text length " + std::to_string(textLength)));
    }
    WayPoint wayPoint;
    wayPoint.name = in.Cp932Text(textLength);
    in.Skip(kFirstReleaseAfterWayPointName);
    if (PlaceWayPoint(wayPoint, northing, easting, altitude, false)) directory.wayPoints.push_back(std::move(wayPoint));
  }
  in.Skip(kFirstReleaseGap);
  const std::uint16_t trails = in.Count16();
  for (int t = 0; t < trails; ++t) {
    const std::string record = RecordOf("trail", t, trails);
    const std::int32_t nameLength = in.Signed32();
    if (nameLength < 1) {
      return Damaged(in, in.EndedOr(record, record + " has the name length " + std::to_string(nameLength)));
    }
    TrailEntry trail{0, 0, in.Cp932Text(nameLength), UsrLayout::FirstRelease};
    in.Skip(kFirstReleaseAfterName);
    trail.pointCount = in.Count16();
    if (trail.pointCount == 0) {
      in.Skip(kFirstReleaseAfterEmptyCount);
    } else {
      in.Skip(kFirstReleaseBeforePoints);
      // Huge name lengths can carry the position past what a 32-bit file
      // position holds; such a trail's points cannot be in the file.
      if (in.Position() > std::numeric_limits<std::int32_t>::max()) {
        return Damaged(in, record + " has its points beyond 2 GB");
      }
      trail.dataOffset = in.Position();
      const std::int64_t sections = (trail.pointCount - 1) / kFirstReleasePointsPerSection;
      in.Skip(static_cast<std::int64_t>(kPointRecordSize) * trail.pointCount + kFirstReleaseSectionCount * sections);
    }
    directory.trails.push_back(std::move(trail));
  }
  return directory;
}

std::optional<Message> ReadSectionPoints(FieldReader& in, std::int64_t pointCount, std::vector<TrackPoint>& points) {
  for (std::int64_t j = 0; j < pointCount;) {
    const std::uint16_t section = in.Count16();
    if (in.Ended() || section == 0 || section > pointCount - j) return BadPointRecord(in, j, pointCount);
    for (const std::int64_t end = j + section; j < end; ++j) {
      unsigned char record[kPointRecordSize];
      in.PointRecord(record);
      TrackPoint point;
      if (in.Ended() || !PointOf(record, point)) return BadPointRecord(in, j, pointCount);
      point.segmentStart = j > 0 && record[kContinuityOffset] == 0;
      points.push_back(point);
    }
  }
  return std::nullopt;
}

std::optional<Message> ReadFirstReleasePoints(FieldReader& in, std::int64_t pointCount,
                                              std::vector<TrackPoint>& points) {
  for (std::int64_t j = 0; j < pointCount; ++j) {
    if (j > 0 && j % kFirstReleasePointsPerSection == 0) in.Skip(kFirstReleaseSectionCount);
    unsigned char record[kPointRecordSize];
    in.PointRecord(record);
    TrackPoint point;
    if (in.Ended() || !PointOf(record, point)) return BadPointRecord(in, j, pointCount);
    points.push_back(point);
  }
  return std::nullopt;
}

}  // namespace kestrel::usr
