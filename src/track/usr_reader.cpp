#include "track/usr_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <utility>

#include "platform/text_encoding.h"
#include "track/grid.h"
#include "track/usr_layout.h"

namespace kestrel {
namespace usr {
namespace {

// Texts are read in pieces of this size, so that a damaged length cannot
// make a buffer larger than the bytes the file holds.
constexpr std::size_t kTextPiece = 4096;

// The sphere of the grid: the semi-minor axis of WGS 84, in metres.
constexpr double kGridRadius = 6356752.3142;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

}  // namespace

FieldReader::FieldReader(ByteSource& source, Progress progress)
    : name_(source.Name()), in_(source, std::move(progress)) {}

std::size_t FieldReader::Read(unsigned char* out, std::size_t n) {
  const std::size_t got = in_.Read(out, n);
  if (got < n) ended_ = true;
  return got;
}

std::uint32_t FieldReader::Value(std::size_t n) {
  unsigned char bytes[4];
  Read(bytes, n);
  return LittleEndianValue(bytes, n);
}

double FieldReader::Double() {
  unsigned char bytes[8];
  Read(bytes, sizeof bytes);
  std::uint64_t bits = 0;
  for (std::size_t i = sizeof bytes; i > 0; --i) bits = (bits << 8) | bytes[i - 1];
  return std::bit_cast<double>(bits);
}

std::string FieldReader::Bytes(std::int64_t n) {
  std::string bytes;
  for (std::int64_t read = 0; read < n;) {
    const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(n - read, kTextPiece));
    const std::size_t start = bytes.size();
    bytes.resize(start + piece);
    const std::size_t got = Read(reinterpret_cast<unsigned char*>(bytes.data() + start), piece);
    bytes.resize(start + got);
    read += static_cast<std::int64_t>(got);
    if (got < piece) {
      in_.Skip(n - read);
      break;
    }
  }
  return bytes;
}

std::string FieldReader::Cp932Text(std::int64_t n) {
  std::string text = Bytes(n);
  if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
  ConvertToUtf8(text);
  return text;
}

std::string FieldReader::Utf16Text(std::int64_t n) {
  std::string bytes = Bytes(n);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
      bytes.resize(i);
      break;
    }
  }
  return Utf16LeToUtf8(bytes);
}

void FieldReader::Skip(std::int64_t n) {
  if (n <= 0) {
    in_.Skip(n);
    return;
  }
  // The last byte of the span tells whether the file holds it.
  in_.Skip(n - 1);
  unsigned char last = 0;
  Read(&last, 1);
}

void FieldReader::PointRecord(unsigned char (&record)[kPointRecordSize]) { Read(record, kPointRecordSize); }

bool FieldReader::AtEnd() {
  unsigned char byte = 0;
  if (in_.Read(&byte, 1) == 0) return true;
  in_.Skip(-1);
  return false;
}

std::string RecordOf(const char* kind, std::int64_t index, std::int64_t total) {
  return std::string(kind) + " record " + std::to_string(index + 1) + " of " + std::to_string(total);
}

Failure Damaged(const FieldReader& in, const std::string& where) { return Fail(kUsrNoTrailData, in.Detail(where)); }

Message BadPointRecord(const FieldReader& in, std::int64_t index, std::int64_t total) {
  const std::string record = RecordOf("point", index, total);
  return {kDataErrorMessage, MessageIcon::Error, in.Detail(in.EndedOr(record, record + " is no position"))};
}

bool GridPosition(std::int32_t northing, std::int32_t easting, double& latitude, double& longitude) {
  if (GridToDegrees(northing, easting, latitude, longitude)) return true;
  const double lat = (2.0 * std::atan(std::exp(northing / kGridRadius)) - std::numbers::pi / 2) * kDegreesPerRadian;
  const double lon = easting / kGridRadius * kDegreesPerRadian;
  if (!IsPosition(lat, lon)) return false;
  latitude = lat;
  longitude = lon;
  return true;
}

}  // namespace usr

namespace {

using usr::Directory;
using usr::FieldReader;

// A read that failed is what went wrong, whatever the bytes it left made
// of the file.
Failure ReadFailure(const Result<void>& status) { return Retold(status.error(), kUsrCannotOpen); }

// Versions 2 and 3 in the layout devices and other programs write; when it
// fails or stops short of the file's end, the first release's reading, if
// it reads the file; otherwise what the layout found.
Result<Directory> ReadVersion2Or3(ByteSource& source) {
  FieldReader in(source);
  Result<Directory> sections = usr::ReadSectionsDirectory(in);
  const bool whole = sections && in.AtEnd();
  if (Result<void> status = in.Status(); !status) return ReadFailure(status);
  if (whole) return sections;
  FieldReader again(source);
  Result<Directory> firstRelease = usr::ReadFirstReleaseDirectory(again);
  if (Result<void> status = again.Status(); !status) return ReadFailure(status);
  if (firstRelease) return firstRelease;
  // Bytes after the trails (a file padded by the program that copied it)
  // are left as the first release left them. Where no trail was found and
  // the file goes on, the layout found nothing of it: the first release's
  // reading tells where that file is damaged.
  if (!sections || !sections->trails.empty()) return sections;
  return firstRelease;
}

Result<Directory> ReadDirectory(ByteSource& source) {
  FieldReader in(source);
  const std::uint32_t version = in.Unsigned32();
  if (Result<void> status = in.Status(); !status) return ReadFailure(status);
  if (in.Ended()) return usr::Damaged(in, "the file ends inside the version");
  // Versions 2 and 3 may carry a data stream number in their high 16 bits.
  const std::uint32_t low = version & 0xFFFF;
  if (low == usr::kVersion2 || low == usr::kVersion3) return ReadVersion2Or3(source);
  if (version >= usr::kFirstVersion4Layout && version <= usr::kLastVersion4Layout) {
    FieldReader v4(source);
    Result<Directory> directory = usr::ReadVersion4Directory(v4);
    if (Result<void> status = v4.Status(); !status) return ReadFailure(status);
    return directory;
  }
  return Fail(UsrVersionMessage(version), in.Detail("version " + std::to_string(version)));
}

}  // namespace

std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n) {
  if (n > 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = n; i > 0; --i) value = (value << 8) | bytes[i - 1];
  return value;
}

std::string UsrVersionMessage(std::uint32_t version) {
  return "usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝ" + std::to_string(version) + "は読めません\nﾊﾞｰｼﾞｮﾝ2～4で書き出して下さい\n";
}

Result<void> ReadUsrFile(TrackData& track, ByteSource& source) {
  Result<Directory> directory = ReadDirectory(source);
  if (!directory) return directory.error();
  const auto trailCount = static_cast<std::int32_t>(directory->trails.size());
  track.summary.SetUsrInfo(directory->version, static_cast<std::int32_t>(directory->wayPointCount), trailCount,
                           std::move(directory->trails));
  track.wayPoints = std::move(directory->wayPoints);
  return {};
}

Result<std::optional<Message>> ReadUsrTrailPoints(ByteSource& source, const TrailEntry& trail,
                                                  std::vector<TrackPoint>& points, const Progress& progress) {
  // Room for the points the file can hold, whatever the trail claims.
  const std::int64_t size = source.Size();
  const std::int64_t smallest =
      trail.layout == UsrLayout::Version4 ? usr::kPointFixedSize : static_cast<std::int64_t>(usr::kPointRecordSize);
  const std::int64_t fit = size < 0 ? usr::kUnknownSizeRoom : std::max<std::int64_t>(size - trail.dataOffset, 0) / smallest;
  points.reserve(points.size() + static_cast<std::size_t>(std::clamp<std::int64_t>(trail.pointCount, 0, fit)));
  FieldReader in(source, progress);
  in.Seek(trail.dataOffset);
  std::optional<Message> dataError;
  switch (trail.layout) {
    case UsrLayout::FirstRelease:
      dataError = usr::ReadFirstReleasePoints(in, trail.pointCount, points);
      break;
    case UsrLayout::Sections:
      dataError = usr::ReadSectionPoints(in, trail.pointCount, points);
      break;
    case UsrLayout::Version4:
      dataError = usr::ReadVersion4Points(in, trail.pointCount, points);
      break;
  }
  if (Result<void> status = in.Status(); !status) return status.error();
  return dataError;
}

}  // namespace kestrel
