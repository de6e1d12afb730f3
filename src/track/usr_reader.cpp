#include "track/usr_reader.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/buffered_reader.h"
#include "track/grid.h"

namespace kestrel {
namespace {

// Layout of a version-2 .usr file. Integers are little-endian; two-byte
// counts are unsigned, four-byte values signed. A read past the end of the
// file gives 0xFF bytes, so a count reads as 65535 and a length as -1.
//
// File
//   0      4   version, must be 2
//   4      2   way point count W
//   6          W way point records
//   next  28   not used
//   next   2   trail count T
//   next       T trail records; nothing after the last one is read
//
// Way point record (32 + N bytes)
//   0      2   not used
//   2     12   not used
//   14     4   N, length of the text
//   18     N   text, not used
//   18+N  14   not used
//
// Trail record
//   0      4   N, name length, 1 or more
//   4      N   name (code page 932), ending at its first zero byte if any
//   4+N    1   not used
//   5+N    2   P, point count
//   7+N    2   P = 0 only: not used, and the record ends here
//   7+N    4   P >= 1 only: not used
//   11+N       P point records, with 2 bytes not used before every record
//              whose index is a positive multiple of 200 (blocks of 200)
//
// Point record (9 bytes)
//   0      4   grid latitude, signed
//   4      4   grid longitude, signed
//   8      1   not used
constexpr std::int32_t kSupportedVersion = 2;
constexpr std::int64_t kWayPointBeforeLength = 2 + 12;
constexpr std::int64_t kWayPointAfterText = 14;
constexpr std::int64_t kUnusedBeforeTrailCount = 28;
constexpr std::int64_t kUnusedAfterName = 1;
constexpr std::int64_t kUnusedAfterEmptyCount = 2;
constexpr std::int64_t kUnusedBeforePoints = 4;
constexpr std::size_t kPointRecordSize = 9;
constexpr std::size_t kGridLongitudeOffset = 4;
constexpr std::size_t kPointsPerBlock = 200;
constexpr std::int64_t kBlockSeparatorSize = 2;

// A name is read in pieces of this size, so that a damaged length cannot
// make a buffer larger than the bytes the file holds.
constexpr std::size_t kNamePiece = 4096;

// Bytes taken by the point records of a trail of p >= 1 points.
std::int64_t PointRecordsSize(std::int64_t p) {
  return static_cast<std::int64_t>(kPointRecordSize) * p +
         kBlockSeparatorSize * ((p - 1) / static_cast<std::int64_t>(kPointsPerBlock));
}

// The fields of a file, read in order. A field that runs past the end of the
// file reads as 0xFF bytes; the reader remembers that the file ended, so that
// a failure can say so.
class FieldReader {
 public:
  explicit FieldReader(ByteSource& source, Progress progress = {})
      : source_(source), in_(source, std::move(progress)) {}

  std::uint16_t Count() { return static_cast<std::uint16_t>(Value(2)); }
  std::int32_t Signed() { return static_cast<std::int32_t>(Value(4)); }

  // n name bytes, up to the first zero byte among them. The position moves on
  // by n, also where the file ends before.
  std::string Name(std::int32_t n) {
    std::string name;
    for (std::int64_t read = 0; read < n;) {
      const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(n - read, kNamePiece));
      const std::size_t start = name.size();
      name.resize(start + piece);
      const std::size_t got = Bytes(reinterpret_cast<unsigned char*>(name.data() + start), piece);
      name.resize(start + got);
      read += static_cast<std::int64_t>(got);
      if (got < piece) {
        in_.Skip(n - read);
        break;
      }
    }
    if (const auto end = name.find('\0'); end != std::string::npos) name.resize(end);
    return name;
  }

  // The grid latitude and longitude of a point record.
  void PointRecord(std::int32_t& gridLatitude, std::int32_t& gridLongitude) {
    unsigned char record[kPointRecordSize];
    Bytes(record, sizeof record);
    gridLatitude = static_cast<std::int32_t>(LittleEndianValue(record, 4));
    gridLongitude = static_cast<std::int32_t>(LittleEndianValue(record + kGridLongitudeOffset, 4));
  }

  void Skip(std::int64_t n) { in_.Skip(n); }
  void Seek(std::int64_t position) { in_.Seek(position); }
  std::int64_t Position() const { return in_.Position(); }
  Result<void> Status() const { return in_.Status(); }

  // The detail of a damaged file: its name, and what is wrong where.
  std::string Detail(const std::string& where) const { return source_.Name() + ": " + where; }
  // That the file ended inside the element, where it did; else what is wrong.
  std::string EndedOr(const std::string& element, const std::string& wrong) const {
    return ended_ ? "the file ends inside " + element : wrong;
  }

 private:
  std::size_t Bytes(unsigned char* out, std::size_t n) {
    const std::size_t got = in_.Read(out, n);
    if (got < n) ended_ = true;
    return got;
  }
  std::uint32_t Value(std::size_t n) {
    unsigned char bytes[4];
    Bytes(bytes, n);
    return LittleEndianValue(bytes, n);
  }

  ByteSource& source_;
  BufferedReader in_;
  bool ended_ = false;
};

std::string RecordOf(const char* kind, std::int64_t index, std::int64_t total) {
  return std::string(kind) + " record " + std::to_string(index + 1) + " of " + std::to_string(total);
}

struct Directory {
  std::int32_t version = 0;
  std::uint16_t wayPoints = 0;
  std::uint16_t trailTotal = 0;
  std::vector<TrailEntry> trails;
};

Result<Directory> ReadDirectory(FieldReader& in) {
  Directory directory;
  directory.version = in.Signed();
  if (directory.version != kSupportedVersion) {
    return Fail(kUsrWrongVersion, in.Detail(in.EndedOr("the version", "version " + std::to_string(directory.version))));
  }
  directory.wayPoints = in.Count();
  for (int w = 0; w < directory.wayPoints; ++w) {
    in.Skip(kWayPointBeforeLength);
    const std::int32_t textLength = in.Signed();
    // A negative length would move backwards, over records already passed.
    if (textLength < 0) {
      const std::string record = RecordOf("way point", w, directory.wayPoints);
      return Fail(kUsrNoTrailData,
                  in.Detail(in.EndedOr(record, record + " has the text length " + std::to_string(textLength))));
    }
    in.Skip(textLength + kWayPointAfterText);
  }
  in.Skip(kUnusedBeforeTrailCount);
  directory.trailTotal = in.Count();
  for (int t = 0; t < directory.trailTotal; ++t) {
    TrailEntry trail;
    const std::int32_t nameLength = in.Signed();
    if (nameLength < 1) {
      const std::string record = RecordOf("trail", t, directory.trailTotal);
      return Fail(kUsrNoTrailData,
                  in.Detail(in.EndedOr(record, record + " has the name length " + std::to_string(nameLength))));
    }
    trail.name = in.Name(nameLength);
    in.Skip(kUnusedAfterName);
    trail.pointCount = in.Count();
    if (trail.pointCount == 0) {
      in.Skip(kUnusedAfterEmptyCount);
    } else {
      in.Skip(kUnusedBeforePoints);
      // Huge name lengths can carry the position past what a 32-bit file
      // position holds; such a trail's points cannot be in the file.
      if (in.Position() > std::numeric_limits<std::int32_t>::max()) {
        const std::string record = RecordOf("trail", t, directory.trailTotal);
        return Fail(kUsrNoTrailData, in.Detail(record + " has its points beyond 2 GB"));
      }
      trail.dataOffset = static_cast<std::int32_t>(in.Position());
      in.Skip(PointRecordsSize(trail.pointCount));
    }
    directory.trails.push_back(std::move(trail));
  }
  return directory;
}

}  // namespace

std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n) {
  if (n > 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = n; i > 0; --i) value = (value << 8) | bytes[i - 1];
  return value;
}

Result<void> ReadUsrFile(TrackData& track, ByteSource& source) {
  FieldReader in(source);
  Result<Directory> directory = ReadDirectory(in);
  // A read that failed is what went wrong, whatever the bytes it left made of the file.
  if (Result<void> status = in.Status(); !status) return Retold(status.error(), kUsrCannotOpen);
  if (!directory) return directory.error();
  track.summary.SetUsrInfo(directory->version, directory->wayPoints, directory->trailTotal,
                           std::move(directory->trails));
  return {};
}

Result<std::optional<Message>> ReadUsrTrailPoints(ByteSource& source, std::int32_t dataOffset,
                                                  std::span<TrackPoint> points, const Progress& progress) {
  FieldReader in(source, progress);
  in.Seek(dataOffset);
  std::optional<Message> dataError;
  for (std::size_t j = 0; j < points.size(); ++j) {
    if (j > 0 && j % kPointsPerBlock == 0) in.Skip(kBlockSeparatorSize);
    std::int32_t gridLatitude = 0, gridLongitude = 0;
    in.PointRecord(gridLatitude, gridLongitude);
    if (!GridToDegrees(gridLatitude, gridLongitude, points[j].latitude, points[j].longitude)) {
      const std::string record =
          RecordOf("point", static_cast<std::int64_t>(j), static_cast<std::int64_t>(points.size()));
      dataError = Message{kDataErrorMessage, MessageIcon::Error,
                          in.Detail(in.EndedOr(record, record + " has a grid position outside the tables"))};
      break;
    }
  }
  if (Result<void> status = in.Status(); !status) return status.error();
  return dataError;
}

}  // namespace kestrel
