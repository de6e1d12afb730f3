#include "track/loader.h"

#include <algorithm>
#include <limits>
#include <memory>
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

// The date that records without one of their own carry: the last date a
// record carried (or the one the user gave), moved on by a day where the
// clock passed midnight.
struct CarriedDate {
  bool known = false;
  std::tm date{};
  std::int32_t lastClock = -1;  // of the last record

  // A clock that goes back by more than half a day from the last record's
  // has passed midnight.
  bool PassedMidnight(std::int32_t clock) const { return clock + 43200 < lastClock; }
  // The date count days on (a day that cannot count on is no date anyway).
  void MoveOn(std::int64_t days) {
    date.tm_mday = static_cast<int>(std::min<std::int64_t>(std::int64_t{date.tm_mday} + days,
                                                           std::numeric_limits<int>::max()));
  }
};

CarriedDate DateGiven(const std::optional<CalendarDate>& given) {
  CarriedDate carried;
  if (!given) return carried;
  carried.known = true;
  carried.date.tm_year = given->year - 1900;
  carried.date.tm_mon = given->month - 1;
  carried.date.tm_mday = given->day;
  return carried;
}

// One record of a log as its sentences are read.
struct Record {
  TrackPoint point;
  std::tm fields{};
  FixStatus fix;
  bool started = false;
};

// Where the reading of records of one of each type stands between two
// parts of a log: the record being made and the types it still lacks.
struct OpenRecord {
  Record record;
  RequiredTags pending = 0;
};

// The points of the records of a log, or of a part of one. The first part
// knows the date carried into it; a later part does not until the parts
// before it are read, so the points of its records before the first that
// has a date of its own (its head) are read as if no date were known, and
// Settle dates them once it is.
class NmeaTrack {
 public:
  NmeaTrack(std::vector<TrackPoint> points, std::optional<CarriedDate> carriedIn, int bias)
      : points_(std::move(points)), carried_(carriedIn.value_or(CarriedDate{})), inHead_(!carriedIn), bias_(bias) {}

  // Adds the record's point when it has a valid position, with its time.
  void Complete(Record& record) {
    TrackPoint point = record.point;
    const std::int32_t clock = record.fields.tm_hour * 3600 + record.fields.tm_min * 60 + record.fields.tm_sec;
    if (CarryDate(record.fields, clock)) {
      point.time = RecordTime(record.fields, bias_);
      point.timeKind = TimeKind::DateAndTime;
    } else if (record.fix.timeGiven) {
      // No date anywhere: the time of day, on 1970-01-01 UTC.
      point.time = clock;
      point.timeKind = TimeKind::TimeOfDay;
    }
    if (Add(record, point) && inHead_) head_.push_back({clock, headMidnights_});
    record = Record{};
  }
  // A record that a log ended before all its sentences came keeps what they
  // gave, without a time, as the first release kept it.
  void AddUnfinished(const Record& record) { Add(record, record.point); }

  // Dates the head's points by the date carried into the part, and gives
  // the date carried out of it.
  CarriedDate Settle(const CarriedDate& carriedIn) {
    if (records_ == 0) return carriedIn;
    if (!inHeadAtStart_) return carried_;
    const std::int64_t firstMidnight = carriedIn.known && carriedIn.PassedMidnight(firstClock_) ? 1 : 0;
    if (carriedIn.known) {
      for (std::size_t i = 0; i < head_.size(); ++i) {
        CarriedDate day = carriedIn;
        day.MoveOn(firstMidnight + head_[i].midnights);
        day.date.tm_hour = 0;
        day.date.tm_min = 0;
        day.date.tm_sec = head_[i].clock;
        points_[i].time = RecordTime(day.date, bias_);
        points_[i].timeKind = TimeKind::DateAndTime;
      }
    }
    if (carried_.known) return carried_;
    CarriedDate carriedOut = carriedIn;
    if (carriedOut.known) carriedOut.MoveOn(firstMidnight + headMidnights_);
    carriedOut.lastClock = carried_.lastClock;
    return carriedOut;
  }

  std::vector<TrackPoint>& Points() { return points_; }

 private:
  // A point of the head: its record's clock, and the midnights passed
  // since the part's first record.
  struct HeadPoint {
    std::int32_t clock;
    std::int32_t midnights;
  };

  // Gives a dateless record the carried date; remembers the date of one
  // that has its own. False when no date is known.
  bool CarryDate(std::tm& fields, std::int32_t clock) {
    if (fields.tm_year != 0 || fields.tm_mon != 0 || fields.tm_mday != 0) {
      carried_.known = true;
      carried_.date = fields;
      inHead_ = false;
    } else if (carried_.known) {
      if (carried_.PassedMidnight(clock)) carried_.MoveOn(1);
      fields.tm_year = carried_.date.tm_year;
      fields.tm_mon = carried_.date.tm_mon;
      fields.tm_mday = carried_.date.tm_mday;
    } else if (inHead_ && records_ > 0 && carried_.PassedMidnight(clock)) {
      ++headMidnights_;
    }
    if (records_ == 0) firstClock_ = clock;
    ++records_;
    carried_.lastClock = clock;
    return carried_.known;
  }

  bool Add(const Record& record, const TrackPoint& point) {
    if (!record.fix.positionGiven || record.fix.noFix || !IsPosition(point.latitude, point.longitude)) return false;
    if (points_.size() == kMostPoints) throw std::bad_alloc();
    points_.push_back(point);
    return true;
  }

  std::vector<TrackPoint> points_;
  CarriedDate carried_;  // from the part's own records while in the head
  bool inHead_;
  bool inHeadAtStart_ = inHead_;
  std::vector<HeadPoint> head_;
  std::int32_t headMidnights_ = 0;
  std::int32_t firstClock_ = 0;
  std::int64_t records_ = 0;
  int bias_;
};

// Reads the records of a log, or of a part of one. Records of one of each
// type go on from open and leave the last one open there; records by time
// start afresh, since a part begins with a new time, and the last one is
// completed.
Result<void> ReadNmeaRecords(ByteSource& source, const LoadRequest& request, const Progress& progress,
                             NmeaTrack& track, OpenRecord& open) {
  NmeaLines lines(source, progress);
  std::string_view line;
  NmeaTag tag = 0;
  if (request.records == NmeaRecords::OneOfEachType) {
    Record& record = open.record;
    RequiredTags& pending = open.pending;
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
  } else {
    Record record;
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

// Reads a log, a large one in parts at once (see SplitLog), into points.
Result<void> LoadNmeaLog(ByteSource& source, std::vector<TrackPoint>& points, const LoadRequest& request,
                         const Progress& progress) {
  const int bias = StandardBiasMinutes();
  const std::vector<std::unique_ptr<ByteSource>> parts = SplitLog(source, request.parallel);
  const std::size_t count = std::max<std::size_t>(parts.size(), 1);
  const CarriedDate given = DateGiven(request.date);
  // A later part has room for its share of the records.
  const auto partTrack = [&](std::size_t i) {
    std::vector<TrackPoint> room;
    MakeRoom(room, static_cast<std::int64_t>(static_cast<double>(request.recordCount) *
                                              static_cast<double>(parts[i]->Size()) /
                                              static_cast<double>(std::max<std::int64_t>(source.Size(), 1))));
    return NmeaTrack(std::move(room), std::nullopt, bias);
  };
  std::vector<NmeaTrack> tracks;
  tracks.reserve(count);
  tracks.emplace_back(std::move(points), given, bias);
  for (std::size_t i = 1; i < count; ++i) tracks.push_back(partTrack(i));
  std::vector<OpenRecord> open(count, OpenRecord{Record{}, request.tagMask});
  std::vector<Result<void>> read(count);
  ReadParts(source, parts, progress, [&](std::size_t i, ByteSource& part, const Progress& partProgress) {
    read[i] = ReadNmeaRecords(part, request, partProgress, tracks[i], open[i]);
  });
  // A part was read from the start of a record; where the part before left
  // a record of one of each type open, it is read again from that record.
  for (std::size_t i = 1; i < count && read[i - 1]; ++i) {
    if (open[i - 1].pending == request.tagMask) continue;
    tracks[i] = partTrack(i);
    open[i] = open[i - 1];
    read[i] = ReadNmeaRecords(*parts[i], request, {}, tracks[i], open[i]);
  }
  for (const Result<void>& part : read) {
    if (!part) return part.error();
  }
  if (open.back().pending != request.tagMask) tracks.back().AddUnfinished(open.back().record);

  // The date goes from part to part in their order; then the points are
  // joined.
  CarriedDate carried = given;
  std::size_t total = 0;
  for (NmeaTrack& track : tracks) {
    carried = track.Settle(carried);
    total += track.Points().size();
  }
  if (total > kMostPoints) throw std::bad_alloc();
  points = std::move(tracks[0].Points());
  for (std::size_t i = 1; i < count; ++i) {
    points.insert(points.end(), tracks[i].Points().begin(), tracks[i].Points().end());
    tracks[i].Points() = {};
  }
  return {};
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
