// Version 4 of the .usr file, and versions 5 and 6 where their layout is
// known: files without way points and routes (usr_layout.h).

#include <limits>
#include <numbers>

#include "track/usr_reader.h"
#include "track/usr_layout.h"

namespace kestrel::usr {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// Passes over a text of the header or a record: its length, then its bytes.
// false when the length is negative.
bool SkipText(FieldReader& in) {
  const std::int32_t length = in.Signed32();
  if (length < 0) return false;
  in.Skip(length);
  return true;
}

// Reads a UTF-16LE text of a record; nothing when its length is negative.
std::optional<std::string> Text(FieldReader& in) {
  const std::int32_t length = in.Signed32();
  if (length < 0) return std::nullopt;
  return in.Utf16Text(length);
}

// Versions 5 and 6 store way points and routes in a layout not known here.
Result<void> RefuseUnknown(const FieldReader& in, std::uint32_t version, std::uint32_t count, const char* what) {
  if (version == kFirstVersion4Layout || count == 0) return {};
  return Fail(UsrVersionMessage(version),
              in.Detail("the " + std::string(what) + " of version " + std::to_string(version) + " are not known"));
}

// Passes over the point records of a trail; false when the file ends
// inside them.
bool PassPoints(FieldReader& in, std::int64_t pointCount) {
  for (std::int64_t j = 0; j < pointCount && !in.Ended(); ++j) {
    in.Skip(kPointFixedSize - 4);
    const std::uint32_t attributes = in.Unsigned32();
    in.Skip(kAttributeSize * attributes);
  }
  return !in.Ended();
}

}  // namespace

Result<Directory> ReadVersion4Directory(FieldReader& in) {
  Directory directory;
  const std::uint32_t version = in.Unsigned32();
  directory.version = static_cast<std::int32_t>(version);
  in.Skip(4);  // the data stream version
  const bool header = SkipText(in) && SkipText(in) && (in.Skip(kHeaderDates + kSerialNumber), SkipText(in));
  if (!header || in.Ended()) return Damaged(in, in.EndedOr("the header", "the header has a negative text length"));

  const std::uint32_t wayPoints = in.Unsigned32();
  directory.wayPointCount = wayPoints;
  if (Result<void> known = RefuseUnknown(in, version, wayPoints, "way points"); !known) return known.error();
  for (std::uint32_t w = 0; w < wayPoints; ++w) {
    in.Skip(kRecordIds + kRecordVersion);
    std::optional<std::string> name = Text(in);
    const std::int32_t easting = in.Signed32();
    const std::int32_t northing = in.Signed32();
    in.Skip(kWayPointNotKnownBeforeDescription);
    std::optional<std::string> description = name ? Text(in) : std::nullopt;
    in.Skip(kWayPointNotKnownAfterDescription);
    const std::string record = RecordOf("way point", w, wayPoints);
    if (!description || in.Ended()) return Damaged(in, in.EndedOr(record, record + " has a negative text length"));
    WayPoint wayPoint;
    wayPoint.name = std::move(*name);
    wayPoint.description = std::move(*description);
    if (GridPosition(northing, easting, wayPoint.latitude, wayPoint.longitude)) {
      directory.wayPoints.push_back(std::move(wayPoint));
    }
  }

  const std::uint32_t routes = in.Unsigned32();
  if (Result<void> known = RefuseUnknown(in, version, routes, "routes"); !known) return known.error();
  for (std::uint32_t r = 0; r < routes; ++r) {
    in.Skip(kRecordIds + kRecordVersion);
    const bool named = SkipText(in);
    in.Skip(kRouteLegSize * in.Unsigned32() + kRouteNotKnownAtEnd);
    const std::string record = RecordOf("route", r, routes);
    if (!named || in.Ended()) return Damaged(in, in.EndedOr(record, record + " has a negative text length"));
  }

  const std::uint32_t trails = in.Unsigned32();
  for (std::uint32_t t = 0; t < trails; ++t) {
    in.Skip(kRecordIds + kRecordVersion);
    std::optional<std::string> name = Text(in);
    in.Skip(kTrailFlagsAndColour);
    const bool described = name && SkipText(in);
    in.Skip(kTrailCreation + kTrailNotKnownBeforeCounts + kTrailDataCount);
    const std::uint32_t pointCount = in.Unsigned32();
    const std::string record = RecordOf("trail", t, trails);
    if (!described || in.Ended()) return Damaged(in, in.EndedOr(record, record + " has a negative text length"));
    if (pointCount > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
      return Damaged(in, record + " claims " + std::to_string(pointCount) + " points");
    }
    directory.trails.push_back(
        TrailEntry{in.Position(), static_cast<std::int32_t>(pointCount), std::move(*name), UsrLayout::Version4});
    // A file that ends inside a trail's points holds no trail after it; the
    // trail gives the points before the end.
    if (!PassPoints(in, pointCount)) break;
  }
  return directory;
}

std::optional<Message> ReadVersion4Points(FieldReader& in, std::int64_t pointCount, std::vector<TrackPoint>& points) {
  for (std::int64_t j = 0; j < pointCount; ++j) {
    in.Skip(kPointNotKnown);
    TrackPoint point;
    point.time = in.Signed32();
    point.timeKind = point.time != 0 ? TimeKind::DateAndTime : TimeKind::None;
    point.longitude = in.Double() * kDegreesPerRadian;
    point.latitude = in.Double() * kDegreesPerRadian;
    in.Skip(kAttributeSize * in.Unsigned32());
    if (in.Ended() || !IsPosition(point.latitude, point.longitude)) return BadPointRecord(in, j, pointCount);
    points.push_back(point);
  }
  return std::nullopt;
}

}  // namespace kestrel::usr
