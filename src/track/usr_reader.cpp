#include "track/usr_reader.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "platform/buffered_reader.h"

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
//   11+N       P point records of 9 bytes (grid latitude 4, grid longitude 4,
//              1 not used), with 2 bytes not used before every record whose
//              index is a positive multiple of 200
constexpr std::int64_t kWayPointBeforeLength = 2 + 12;
constexpr std::int64_t kWayPointAfterText = 14;
constexpr std::int64_t kUnusedBeforeTrailCount = 28;
constexpr std::int64_t kUnusedAfterName = 1;
constexpr std::int64_t kUnusedAfterEmptyCount = 2;
constexpr std::int64_t kUnusedBeforePoints = 4;
constexpr std::int64_t kPointRecordSize = 9;
constexpr std::int64_t kPointsPerBlock = 200;
constexpr std::int64_t kBlockSeparatorSize = 2;
constexpr int kSupportedVersion = 2;

std::uint16_t ReadCount(BufferedReader& in) {
  unsigned char bytes[2];
  in.Read(bytes, sizeof bytes);
  return static_cast<std::uint16_t>(LittleEndianValue(bytes, sizeof bytes));
}

std::int32_t ReadSigned(BufferedReader& in) {
  unsigned char bytes[4];
  in.Read(bytes, sizeof bytes);
  return static_cast<std::int32_t>(LittleEndianValue(bytes, sizeof bytes));
}

// Bytes taken by the point records of a trail of p >= 1 points.
std::int64_t PointRecordsSize(std::int64_t p) {
  return kPointRecordSize * p + kBlockSeparatorSize * ((p - 1) / kPointsPerBlock);
}

// Reads n name bytes. Only the bytes the file holds are kept, so a damaged
// length cannot make a huge buffer; the position moves on by n all the same.
std::string ReadName(BufferedReader& in, std::int32_t n) {
  const std::int64_t available = std::max<std::int64_t>(0, in.Size() - in.Position());
  std::string name(static_cast<std::size_t>(std::min<std::int64_t>(n, available)), '\0');
  in.Read(reinterpret_cast<unsigned char*>(name.data()), name.size());
  in.Skip(n - static_cast<std::int64_t>(name.size()));
  if (const auto end = name.find('\0'); end != std::string::npos) name.resize(end);
  return name;
}

}  // namespace

std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n) {
  if (n > 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = n; i > 0; --i) value = (value << 8) | bytes[i - 1];
  return value;
}

std::optional<std::string> ReadUsrFile(TrackData& track, const std::string& path) {
  BufferedReader in;
  if (!in.Open(path)) return kUsrCannotOpen;

  const std::int32_t version = ReadSigned(in);
  if (version != kSupportedVersion) return kUsrWrongVersion;

  const std::uint16_t wayPoints = ReadCount(in);
  for (int w = 0; w < wayPoints; ++w) {
    in.Skip(kWayPointBeforeLength);
    const std::int32_t textLength = ReadSigned(in);
    // A negative length would move backwards, over records already passed.
    if (textLength < 0) return kUsrNoTrailData;
    in.Skip(textLength + kWayPointAfterText);
  }

  in.Skip(kUnusedBeforeTrailCount);
  const std::uint16_t trailTotal = ReadCount(in);
  std::vector<TrailEntry> trails;
  // Every trail that reads has its 4-byte name length inside the file, which
  // bounds what a damaged count can make us allocate up front.
  const std::int64_t remaining = std::max<std::int64_t>(0, in.Size() - in.Position());
  trails.reserve(static_cast<std::size_t>(std::min<std::int64_t>(trailTotal, remaining / 4)));
  for (int t = 0; t < trailTotal; ++t) {
    TrailEntry trail;
    const std::int32_t nameLength = ReadSigned(in);
    if (nameLength < 1) return kUsrNoTrailData;
    trail.name = ReadName(in, nameLength);
    in.Skip(kUnusedAfterName);
    trail.pointCount = ReadCount(in);
    if (trail.pointCount == 0) {
      in.Skip(kUnusedAfterEmptyCount);
    } else {
      in.Skip(kUnusedBeforePoints);
      // Huge name lengths can carry the position past what a 32-bit file
      // position holds; such a trail's points cannot be in the file.
      if (in.Position() > std::numeric_limits<std::int32_t>::max()) return kUsrNoTrailData;
      trail.dataOffset = static_cast<std::int32_t>(in.Position());
      in.Skip(PointRecordsSize(trail.pointCount));
    }
    trails.push_back(std::move(trail));
  }

  track.summary.SetUsrInfo(version, wayPoints, trailTotal, std::move(trails));
  return std::nullopt;
}

}  // namespace kestrel
