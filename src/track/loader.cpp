#include "track/loader.h"

#include <algorithm>

#include "nmea/fields.h"
#include "platform/buffered_reader.h"
#include "platform/time_zone.h"
#include "track/grid.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

// Progress is reported about every 4 MB of file.
constexpr std::int64_t kProgressStep = std::int64_t{4} << 20;

// A point record of a trail (9 bytes):
//   0  4  grid latitude, signed little-endian
//   4  4  grid longitude, signed little-endian
//   8  1  not used
// Before every record whose index is a positive multiple of 200 lie 2 bytes
// that are not used.
std::optional<Message> LoadUsrTrail(BufferedReader& file, TrackData& track,
                                    const LoadRequest& request, const Progress& progress) {
  file.Seek(request.dataOffset);
  for (std::int32_t j = 0; j < request.recordCount; ++j) {
    if (j > 0 && j % 200 == 0) file.Skip(2);
    unsigned char record[9];
    file.Read(record, sizeof record);
    const auto gridLatitude = static_cast<std::int32_t>(LittleEndianValue(record, 4));
    const auto gridLongitude = static_cast<std::int32_t>(LittleEndianValue(record + 4, 4));
    TrackPoint& point = track.points[static_cast<std::size_t>(j)];
    if (!GridToDegrees(gridLatitude, gridLongitude, point.latitude, point.longitude)) {
      return Message{kDataErrorMessage, MessageIcon::Error};
    }
    if (progress && j % 65536 == 65535) progress(file.Position(), file.Size());
  }
  return std::nullopt;
}

void LoadNmeaLog(BufferedReader& file, TrackData& track, const LoadRequest& request,
                 const Progress& progress) {
  const int bias = StandardBiasMinutes();
  const auto capacity = static_cast<std::size_t>(request.recordCount);
  RequiredTags pending = request.tagMask;
  std::size_t k = 0;
  std::tm fields{};
  std::int64_t nextReport = kProgressStep;
  std::string_view line;
  // The log may have grown since it was checked: points beyond the array are
  // never written.
  while (k < capacity && file.ReadLine(line)) {
    if (!line.empty() && line.front() == '@') continue;
    const NmeaTag tag = ClassifySentence(line);
    if ((tag & pending) == 0) continue;
    ParseSentence(track.points[k], line, fields, tag);
    pending = static_cast<RequiredTags>(pending & ~tag);
    if (pending == 0) {
      track.points[k].time = RecordTime(fields, bias);
      fields = std::tm{};
      pending = request.tagMask;
      ++k;
    }
    if (progress && file.Position() >= nextReport) {
      progress(file.Position(), file.Size());
      nextReport = file.Position() + kProgressStep;
    }
  }
}

// Days from 1970-01-01 to the first day of a month of the proleptic
// Gregorian calendar (month 1 to 12).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::int32_t RecordTime(const std::tm& fields, int biasMinutes) {
  // The moment a clock on local standard time shows these fields is their
  // reading as UTC moved by the bias. The fields are normalised as the C
  // library does (month 0 is January, day 0 the last day of the month
  // before), in 64 bits so that no field value can overflow.
  std::int64_t year = std::int64_t{fields.tm_year} + 1900 + fields.tm_mon / 12;
  std::int64_t month = fields.tm_mon % 12;
  if (month < 0) month += 12, --year;
  const std::int64_t days = DaysFromCivil(year, month + 1) + fields.tm_mday - 1;
  const std::int64_t asUtc =
      days * 86400 + std::int64_t{fields.tm_hour} * 3600 + std::int64_t{fields.tm_min} * 60 + fields.tm_sec;
  std::int64_t local = asUtc + std::int64_t{biasMinutes} * 60;
  if (local < 0 || local > 2147483647) local = -1;
  return static_cast<std::int32_t>(local - std::int64_t{biasMinutes} * 60);
}

LoadResult LoadPoints(TrackData& track, const LoadRequest& request, const Progress& progress) {
  LoadResult result;
  BufferedReader file;
  if (!file.Open(request.path)) return result;
  result.read = true;
  switch (request.kind) {
    case LoadKind::UsrTrail:
      result.message = LoadUsrTrail(file, track, request, progress);
      break;
    case LoadKind::NmeaLog:
      LoadNmeaLog(file, track, request, progress);
      break;
    default:
      result.message = Message{kInternalErrorMessage, MessageIcon::Error};
      break;
  }
  file.Close();
  track.ComputeStatistics();
  return result;
}

}  // namespace kestrel
