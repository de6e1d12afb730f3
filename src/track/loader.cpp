#include "track/loader.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "nmea/fields.h"
#include "platform/buffered_reader.h"
#include "platform/time_zone.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

Result<void> LoadNmeaLog(ByteSource& source, std::span<TrackPoint> points, const LoadRequest& request,
                         const Progress& progress) {
  const int bias = StandardBiasMinutes();
  RequiredTags pending = request.tagMask;
  std::size_t k = 0;
  std::tm fields{};
  BufferedReader file(source, progress);
  std::string_view line;
  // The log may have grown since it was checked: points beyond the array are
  // never written.
  while (k < points.size() && file.ReadLine(line)) {
    if (!line.empty() && line.front() == '@') continue;
    const NmeaTag tag = ClassifySentence(line);
    if ((tag & pending) == 0) continue;
    ParseSentence(points[k], line, fields, tag);
    pending = static_cast<RequiredTags>(pending & ~tag);
    if (pending == 0) {
      points[k].time = RecordTime(fields, bias);
      fields = std::tm{};
      pending = request.tagMask;
      ++k;
    }
  }
  return file.Status();
}

Result<std::optional<Message>> ReadRecords(std::span<TrackPoint> points, const LoadRequest& request, ByteSource& file,
                                           const Progress& progress) {
  switch (request.kind) {
    case LoadKind::UsrTrail:
      return ReadUsrTrailPoints(file, request.dataOffset, points, progress);
    case LoadKind::NmeaLog:
      if (Result<void> read = LoadNmeaLog(file, points, request, progress); !read) return read.error();
      return std::optional<Message>();
  }
  return std::optional<Message>(Message{kInternalErrorMessage, MessageIcon::Error});
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

Result<std::optional<Message>> LoadPoints(TrackData& track, const LoadRequest& request, ByteSource& file,
                                          const Progress& progress) {
  const auto records = static_cast<std::size_t>(std::max(0, request.recordCount));
  const std::span<TrackPoint> points(track.points.data(), std::min(track.points.size(), records));
  Result<std::optional<Message>> load = ReadRecords(points, request, file, progress);
  if (!load) {
    track.ReleasePoints();
    return load;
  }
  track.ComputeStatistics();
  return load;
}

}  // namespace kestrel
