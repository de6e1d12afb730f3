#include "track/loader.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "gpx/gpx_reader.h"
#include "nmea/fields.h"
#include "platform/time_zone.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

// The points of a track never exceed what its 32-bit count holds.
constexpr std::size_t kMostPoints = std::numeric_limits<std::int32_t>::max();

// Room for the points a log can give at most. Room that cannot be had is
// no failure yet: a log of many records without a fix needs none of it.
void MakeRoom(std::vector<TrackPoint>& points, std::int64_t records) {
  try {
    points.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(records, 0, kMostPoints)));
  } catch (const std::bad_alloc&) {
  }
}

// The date of the records that carry none: the last date a record carried
// (or the one the user gave), moved on by a day where the clock passed
// midnight.
class CarriedDate {
 public:
  explicit CarriedDate(const std::optional<CalendarDate>& given) {
    if (!given) return;
    known_ = true;
    date_.tm_year = given->year - 1900;
    date_.tm_mon = given->month - 1;
    date_.tm_mday = given->day;
  }

  // Gives a dateless record the carried date; remembers the date of one
  // that has its own. False when no date is known.
  bool Apply(std::tm& fields) {
    const std::int32_t clock = fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
    if (fields.tm_year != 0 || fields.tm_mon != 0 || fields.tm_mday != 0) {
      known_ = true;
      date_ = fields;
    } else if (known_) {
      // A clock that goes back by more than half a day has passed midnight
      // (a day that cannot count on is no date anyway).
      if (clock + 43200 < lastClock_ && date_.tm_mday < std::numeric_limits<int>::max()) ++date_.tm_mday;
      fields.tm_year = date_.tm_year;
      fields.tm_mon = date_.tm_mon;
      fields.tm_mday = date_.tm_mday;
    }
    lastClock_ = clock;
    return known_;
  }

 private:
  bool known_ = false;
  std::tm date_{};
  std::int32_t lastClock_ = -1;
};

// One record of a log as its sentences are read.
struct Record {
  TrackPoint point;
  std::tm fields{};
  FixStatus fix;
  bool started = false;
};

class NmeaTrack {
 public:
  NmeaTrack(std::vector<TrackPoint>& points, const std::optional<CalendarDate>& date)
      : points_(points), date_(date), bias_(StandardBiasMinutes()) {}

  // Adds the record's point when it has a valid position, with its time.
  void Complete(Record& record) {
    TrackPoint point = record.point;
    if (date_.Apply(record.fields)) {
      point.time = RecordTime(record.fields, bias_);
      point.timeKind = TimeKind::DateAndTime;
    } else if (record.fix.timeGiven) {
      // No date anywhere: the time of day, on 1970-01-01 UTC.
      point.time = record.fields.tm_hour * 3600 + record.fields.tm_min * 60 + record.fields.tm_sec;
      point.timeKind = TimeKind::TimeOfDay;
    }
    Add(record, point);
    record = Record{};
  }
  // A record that a log ended before all its sentences came keeps what they
  // gave, without a time, as the first release kept it.
  void AddUnfinished(const Record& record) { Add(record, record.point); }

 private:
  void Add(const Record& record, const TrackPoint& point) {
    if (!record.fix.positionGiven || record.fix.noFix || !IsPosition(point.latitude, point.longitude)) return;
    if (points_.size() == kMostPoints) throw std::bad_alloc();
    points_.push_back(point);
  }

  std::vector<TrackPoint>& points_;
  CarriedDate date_;
  int bias_;
};

Result<void> LoadNmeaLog(ByteSource& source, std::vector<TrackPoint>& points, const LoadRequest& request,
                         const Progress& progress) {
  NmeaTrack track(points, request.date);
  NmeaLines lines(source, progress);
  std::string_view line;
  NmeaTag tag = 0;
  Record record;
  if (request.records == NmeaRecords::OneOfEachType) {
    RequiredTags pending = request.tagMask;
    while (lines.Next(line, tag)) {
      // A sentence whose type is not required, or whose type has already
      // been taken for this record, is ignored.
      if ((tag & pending) == 0) continue;
      ParseSentence(record.point, line, record.fields, tag, record.fix);
      pending = static_cast<RequiredTags>(pending & ~tag);
      if (pending == 0) {
        track.Complete(record);
        pending = request.tagMask;
      }
    }
    if (pending != request.tagMask) track.AddUnfinished(record);
  } else {
    std::optional<double> recordTime;
    while (lines.Next(line, tag)) {
      if ((tag & kPositionAndTimeTags) == 0) continue;
      const std::optional<double> time = SentenceTime(line, tag);
      if (time && recordTime && *time != *recordTime) {
        track.Complete(record);
        recordTime.reset();
      }
      if (!recordTime) recordTime = time;
      ParseSentence(record.point, line, record.fields, tag, record.fix);
      record.started = true;
    }
    if (record.started) track.Complete(record);
  }
  return lines.Status();
}

Result<std::optional<Message>> ReadRecords(std::vector<TrackPoint>& points, const LoadRequest& request,
                                           ByteSource& file, const Progress& progress) {
  switch (request.kind) {
    case LoadKind::UsrTrail: {
      const TrailEntry trail{request.dataOffset,
                             static_cast<std::int32_t>(std::clamp<std::int64_t>(request.recordCount, 0, kMostPoints)),
                             {}, request.layout};
      return ReadUsrTrailPoints(file, trail, points, progress);
    }
    case LoadKind::NmeaLog:
      MakeRoom(points, request.recordCount);
      if (Result<void> read = LoadNmeaLog(file, points, request, progress); !read) return read.error();
      return std::optional<Message>();
    case LoadKind::GpxTrack: {
      points.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(request.recordCount, 0, kMostPoints)));
      const Result<GpxContents> read =
          ReadGpx(file, static_cast<std::int32_t>(request.dataOffset), points, progress);
      if (!read) return read.error();
      return std::optional<Message>();
    }
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
  // The points held are released first; a load that fails holds none.
  track.points = {};
  track.pointCount = -1;
  std::vector<TrackPoint> points;
  Result<std::optional<Message>> load = std::optional<Message>();
  try {
    load = ReadRecords(points, request, file, progress);
  } catch (const std::bad_alloc&) {
    load = Fail(kNoMemoryMessage);
  }
  if (!load) return load;
  track.SetPoints(std::move(points));
  track.ComputeStatistics();
  return load;
}

}  // namespace kestrel
