#pragma once
// Inside the .usr reader: the byte layouts of the versions it reads, as one
// table of constants, and the field reader the layouts share. Integers are
// little-endian; two-byte counts are unsigned, four-byte values signed
// unless said otherwise. A read past the end of the file gives 0xFF bytes,
// so a count reads as 65535 and a length as -1; the reader remembers that
// the file ended, so that a failure can say so.
//
// Versions 2 and 3, as devices and other programs write them (UsrLayout::Sections)
//   file        4  version: low 16 bits 2 or 3, high 16 bits the data stream
//                  (stream 1: way point altitudes are integers)
//               2  way point count W, then W way point records
//               2  route count R, then R route records
//               2  event-marker icon count I, then I × 12 (N, E, icon number)
//               2  trail count T, then T trail records; the file ends there
//   way point   2  object number, 4 N, 4 E, 4 altitude (feet: a float, or an
//                  integer), 4+n name (code page 932), 4+n description,
//                  4 time, 4 icon number, 2 type; version 3: 4 depth more
//   route       4+n name, 2 leg count L, 1 reversed, L way point records
//                  without their object number
//   trail       4+n name (code page 932), 1 visible, 2 point count P,
//               2  maximum size, then sections until P points are read:
//               2  section point count s, then s point records
//   point       4  N, 4 E, 1 continuity: 0 (other than on the first point)
//                  means the recording broke before this point
//
// Version 2 as the first release read it (UsrLayout::FirstRelease): a
// device's layout with 0 routes and 2 icons, taken as fixed; the bytes it
// calls not used are those of the fields above.
//   file        4  version, exactly 2
//               2  way point count W, then W way point records
//              28  not used (route count 0, icon count 2, two icons)
//               2  trail count T, then T trail records; nothing after them is read
//   way point   2  number, 4 N, 4 E, 4 altitude, 4+n name, 14 not used
//   trail       4+n name, 1 not used, 2 point count P; P = 0: 2 not used,
//                  and the record ends; else 4 not used, then P point
//                  records with 2 bytes not used before every record whose
//                  index is a positive multiple of 200 (sections of 200)
//   point       4  N, 4 E, 1 not used
//
// Version 4 (UsrLayout::Version4); 5 and 6 add fields to way points and
// routes, so that only their files without way points and routes are read.
//   file        4  version, 4 data stream version, 4+n title, 4+n date text,
//               4  creation date, 4 creation time, 1, 4 serial number,
//               4+n content description
//               4  way point count W, then W way point records
//               4  route count R, then R route records
//               4  trail count T, then T trail records
//   way point  12  unit id and two sequence numbers, 2 record version,
//               4+n name (UTF-16LE), 4 E, 4 N, 8 not known,
//               4+n description (UTF-16LE), 29 not known
//   route      12  unit id and two sequence numbers, 2 record version,
//               4+n name (UTF-16LE), 4 leg count L, L × 12 (the unit id and
//               sequence numbers of a way point), 1 not known
//   trail      12  unit id and two sequence numbers, 2 trail version,
//               4+n name (UTF-16LE), 4 flags, 4 colour, 4+n description
//               (UTF-16LE), 8 creation, 3 not known, 4 data count,
//               4  point count P, then P point records
//   point       3  not known, 4 time (POSIX seconds, UTC), 8 longitude and
//               8  latitude (doubles, radians), 4 count k of attributes,
//               k × 5 (1 kind, 4 float)
//
// Grid positions (N northing, E easting): metres of a spherical Mercator on
// the semi-minor axis of WGS 84 (track/grid.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geo/track_point.h"
#include "platform/buffered_reader.h"
#include "platform/byte_source.h"
#include "platform/result.h"
#include "track/track_data.h"

namespace kestrel::usr {

// Versions 2 and 3.
inline constexpr std::uint32_t kVersion2 = 2;
inline constexpr std::uint32_t kVersion3 = 3;
inline constexpr std::uint16_t kAltitudeIntegerStream = 1;
inline constexpr std::int64_t kWayPointNumberSize = 2;
inline constexpr std::int64_t kWayPointFieldsAfterTexts = 4 + 4 + 2;  // time, icon number, type
inline constexpr std::int64_t kVersion3Depth = 4;
inline constexpr std::int64_t kRouteReversed = 1;
inline constexpr std::int64_t kIconSize = 12;
inline constexpr std::int64_t kTrailVisible = 1;
inline constexpr std::int64_t kTrailMaximumSize = 2;
inline constexpr std::size_t kPointRecordSize = 9;  // also the first release's
inline constexpr std::size_t kGridLongitudeOffset = 4;
inline constexpr std::size_t kContinuityOffset = 8;

// Version 2 as the first release read it.
inline constexpr std::int64_t kFirstReleaseAfterWayPointName = 14;
inline constexpr std::int64_t kFirstReleaseGap = 28;
inline constexpr std::int64_t kFirstReleaseAfterName = 1;
inline constexpr std::int64_t kFirstReleaseAfterEmptyCount = 2;
inline constexpr std::int64_t kFirstReleaseBeforePoints = 4;
inline constexpr std::int64_t kFirstReleasePointsPerSection = 200;
inline constexpr std::int64_t kFirstReleaseSectionCount = 2;

// Version 4 and later.
inline constexpr std::int64_t kHeaderDates = 4 + 4 + 1;  // creation date and time, 1 byte
inline constexpr std::int64_t kSerialNumber = 4;
inline constexpr std::int64_t kRecordIds = 12;          // unit id and two sequence numbers
inline constexpr std::int64_t kRecordVersion = 2;
inline constexpr std::int64_t kWayPointNotKnownBeforeDescription = 8;
inline constexpr std::int64_t kWayPointNotKnownAfterDescription = 29;
inline constexpr std::int64_t kRouteLegSize = 12;
inline constexpr std::int64_t kRouteNotKnownAtEnd = 1;
inline constexpr std::int64_t kTrailFlagsAndColour = 8;
inline constexpr std::int64_t kTrailCreation = 8;
inline constexpr std::int64_t kTrailNotKnownBeforeCounts = 3;
inline constexpr std::int64_t kTrailDataCount = 4;
inline constexpr std::int64_t kPointNotKnown = 3;
inline constexpr std::int64_t kPointFixedSize = 3 + 4 + 8 + 8 + 4;
inline constexpr std::int64_t kAttributeSize = 5;
inline constexpr std::uint32_t kLastVersion4Layout = 6;

// Room made for the points of a trail in a file of unknown size.
inline constexpr std::int64_t kUnknownSizeRoom = 65536;

// The versions read in the layout of version 4.
inline constexpr std::uint32_t kFirstVersion4Layout = 4;

// The directory of a file: its way points and trails.
struct Directory {
  std::int32_t version = 0;
  std::int64_t wayPointCount = 0;  // as the file counts them
  std::vector<WayPoint> wayPoints;
  std::vector<TrailEntry> trails;
};

// The fields of a file, read in order from a position.
class FieldReader {
 public:
  explicit FieldReader(ByteSource& source, Progress progress = {});

  std::uint16_t Count16() { return static_cast<std::uint16_t>(Value(2)); }
  std::int32_t Signed32() { return static_cast<std::int32_t>(Value(4)); }
  std::uint32_t Unsigned32() { return Value(4); }
  double Double();
  // n bytes, held whatever n claims only as far as the file holds them.
  std::string Bytes(std::int64_t n);
  // A text of n bytes: in code page 932 (up to the first zero byte), or in
  // UTF-16LE (up to the first zero character); in UTF-8.
  std::string Cp932Text(std::int64_t n);
  std::string Utf16Text(std::int64_t n);
  // The bytes of one point record of versions 2 and 3.
  void PointRecord(unsigned char (&record)[kPointRecordSize]);

  // Moves on by n bytes; a move beyond the end of the file counts as a
  // field read past it.
  void Skip(std::int64_t n);
  void Seek(std::int64_t position) { in_.Seek(position); }
  std::int64_t Position() const { return in_.Position(); }
  // Whether the file has ended before a field that was read.
  bool Ended() const { return ended_; }
  // Whether nothing follows the position (reads one byte to see).
  bool AtEnd();
  Result<void> Status() const { return in_.Status(); }

  // The detail of a damaged file: its name, and what is wrong where.
  std::string Detail(const std::string& where) const { return name_ + ": " + where; }
  // That the file ended inside the element, where it did; else what is wrong.
  std::string EndedOr(const std::string& element, const std::string& wrong) const {
    return ended_ ? "the file ends inside " + element : wrong;
  }

 private:
  std::uint32_t Value(std::size_t n);
  std::size_t Read(unsigned char* out, std::size_t n);

  std::string name_;
  BufferedReader in_;
  bool ended_ = false;
};

// "way point record 2 of 3"
std::string RecordOf(const char* kind, std::int64_t index, std::int64_t total);

// A failure of a damaged file: kUsrNoTrailData with the detail.
Failure Damaged(const FieldReader& in, const std::string& where);

// The degrees of a grid position: by the first release's tables inside
// their range, by the projection's formula outside it. False when the
// values are no position (a longitude beyond 180 degrees).
bool GridPosition(std::int32_t northing, std::int32_t easting, double& latitude, double& longitude);

// The directories and the point records of the layouts. A directory reader
// starts at the version; the point readers append to points and stop at a
// record that is no position, or that the end of the file cuts, with
// "Data Error!".
Result<Directory> ReadSectionsDirectory(FieldReader& in);
Result<Directory> ReadFirstReleaseDirectory(FieldReader& in);
Result<Directory> ReadVersion4Directory(FieldReader& in);
std::optional<Message> ReadSectionPoints(FieldReader& in, std::int64_t pointCount, std::vector<TrackPoint>& points);
std::optional<Message> ReadFirstReleasePoints(FieldReader& in, std::int64_t pointCount,
                                              std::vector<TrackPoint>& points);
std::optional<Message> ReadVersion4Points(FieldReader& in, std::int64_t pointCount, std::vector<TrackPoint>& points);

// "Data Error!" for point record index (from 0) of total, that the file cut
// or that is no position.
Message BadPointRecord(const FieldReader& in, std::int64_t index, std::int64_t total);

}  // namespace kestrel::usr
