#include "track/loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "nmea/fields.h"
#include "nmea/sentence.h"
#include "support/test_support.h"
#include "track/usr_reader.h"

namespace kestrel {
namespace {

using test::DataPath;
using LoadResult = Result<std::optional<Message>>;

// Reads a fixture's directory and loads the named trail.
TrackData LoadTrailOf(const std::string& file, const std::string& trailName, std::optional<Message>& message) {
  TrackData track;
  const std::string bytes = test::ReadFileBytes(DataPath(file));
  MemorySource source(bytes, "trails.usr");
  EXPECT_TRUE(ReadUsrFile(track, source));
  for (const TrailEntry& trail : track.summary.trails) {
    if (trail.name != trailName) continue;
    EXPECT_TRUE(track.AllocatePoints(trail.pointCount));
    const LoadResult load = LoadPoints(track, {trail.pointCount, trail.dataOffset, LoadKind::UsrTrail, 0}, source);
    EXPECT_TRUE(load);
    if (load) message = *load;
    return track;
  }
  ADD_FAILURE() << "no trail " << trailName;
  return track;
}

// Checks and loads the bytes of a log, as the open command does.
TrackData LoadLogBytes(const std::string& bytes) {
  MemorySource source(bytes, "t.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(source);
  EXPECT_TRUE(check);
  TrackData track;
  if (!check) return track;
  EXPECT_TRUE(track.AllocatePoints(check->recordCount));
  const LoadResult load = LoadPoints(track, {check->recordCount, 0, LoadKind::NmeaLog, check->tags}, source);
  EXPECT_TRUE(load && !*load);
  return track;
}

TrackData LoadLog(const std::string& path) { return LoadLogBytes(test::ReadFileBytes(path)); }

TEST(LoadUsrTrail, ReadsRecordsAcrossBlockSeparators) {
  std::optional<Message> message;
  const TrackData track = LoadTrailOf("usr/three-trails.usr", "TrailA", message);
  EXPECT_FALSE(message);
  ASSERT_EQ(track.pointCount, 450);
  // Every record decoded to a position inside the tables; a missed separator
  // would shift records 200 and 400 and make nonsense of them.
  for (const TrackPoint& p : track.points) {
    EXPECT_GE(p.latitude, 30.0);
    EXPECT_LE(p.latitude, 46.0);
    EXPECT_GE(p.longitude, 130.0);
    EXPECT_LE(p.longitude, 146.0);
    EXPECT_EQ(p.altitude, kNoAltitude);
    EXPECT_EQ(p.time, 0);
  }
  // Consecutive points of a walk lie close together, also across the separators.
  for (std::size_t i = 1; i < track.points.size(); ++i) {
    EXPECT_LT(SegmentLength(track.points[i - 1], track.points[i]), 1000.0) << "at record " << i;
  }
  EXPECT_GT(track.summary.distance, 0.0);
}

TEST(LoadUsrTrail, StopsAtAGridValueOutsideTheTables) {
  std::optional<Message> message;
  const TrackData track = LoadTrailOf("usr/out-of-range.usr", "Bad", message);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->text, "Data Error!");
  EXPECT_EQ(message->icon, MessageIcon::Error);
  EXPECT_EQ(message->detail, "trails.usr: point record 4 of 10 has a grid position outside the tables");
  ASSERT_EQ(track.pointCount, 10);
  for (int i = 0; i < 3; ++i) EXPECT_GT(track.points[static_cast<std::size_t>(i)].latitude, 30.0);
  for (int i = 3; i < 10; ++i) {
    EXPECT_EQ(track.points[static_cast<std::size_t>(i)].latitude, 0.0);
    EXPECT_EQ(track.points[static_cast<std::size_t>(i)].longitude, 0.0);
  }
  EXPECT_EQ(track.summary.minLatitude, 0.0);
}

TEST(LoadUsrTrail, FileEndingInsideTheTrailIsADataError) {
  std::optional<Message> message;
  const TrackData track = LoadTrailOf("usr/ends-inside-trail.usr", "Short", message);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->text, "Data Error!");
  EXPECT_EQ(message->detail, "trails.usr: the file ends inside point record 231 of 250");
  ASSERT_EQ(track.pointCount, 250);
  EXPECT_GT(track.points[229].latitude, 30.0);
  EXPECT_EQ(track.points[230].latitude, 0.0);
}

TEST(LoadPoints, UnknownKindIsAnInternalError) {
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(2));
  const std::string bytes = test::ReadFileBytes(DataPath("nmea/gga-only.log"));
  MemorySource source(bytes, "gga-only.log");
  const LoadResult result = LoadPoints(track, {2, 0, static_cast<LoadKind>(7), kTagGga}, source);
  ASSERT_TRUE(result && *result);
  EXPECT_EQ((*result)->text, "001:Internal Error!");
  EXPECT_EQ((*result)->icon, MessageIcon::Error);
  EXPECT_EQ(track.points[0].latitude, 0.0);
  EXPECT_EQ(track.summary.minLatitude, 0.0);
}

TEST(LoadNmeaLog, AssemblesOneRecordFromOneSentenceOfEachType) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  // GGA then RMC, then RMC then GGA: position from the last, date from RMC,
  // time from the first.
  const TrackData track = LoadLogBytes(
      "$GPGGA,010203,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,*00\r\n"
      "$GPGSV,3,1,11*00\r\n"
      "$GPRMC,010204,A,3541.0000,N,13946.0000,E,0.0,0.0,061226,,*00\r\n"
      "$GPRMC,010205,A,3542.0000,N,13947.0000,E,0.0,0.0,061226,,*00\r\n"
      "$GPGGA,010206,3543.0000,N,13948.0000,E,1,08,0.9,50.0,M,39.4,M,,*00\r\n");
  ASSERT_EQ(track.pointCount, 2);
  EXPECT_EQ(track.points[0].latitude, DegreesFromNmea("3541.0000"));  // from RMC
  EXPECT_EQ(track.points[0].altitude, 45.3);
  EXPECT_EQ(track.points[0].time, 1796518923);             // 2026-12-06 01:02:03 UTC
  EXPECT_EQ(track.points[1].latitude, DegreesFromNmea("3543.0000"));  // from GGA
  EXPECT_EQ(track.points[1].time, 1796518925);
}

TEST(LoadNmeaLog, SentenceOfATypeAlreadyTakenIsIgnored) {
  const TrackData track = LoadLogBytes(
      "$GPGGA,010203,3540.0000,N,13945.0000,E,1,08,0.9,10.0,M,,,,\n"
      "$GPGGA,010204,3550.0000,N,13955.0000,E,1,08,0.9,20.0,M,,,,\n"
      "$GPRMC,010205,A,,N,,E,0.0,0.0,061226,,\n"
      "$GPRMC,010206,A,3541.0000,N,13946.0000,E,0.0,0.0,061226,,\n");
  // 2 GGA and 2 RMC make two records. The second GGA came while the first
  // record still waited for its RMC: it is dropped, not kept for the next one.
  ASSERT_EQ(track.pointCount, 2);
  EXPECT_EQ(track.points[0].altitude, 10.0);
  EXPECT_EQ(track.points[0].latitude, DegreesFromNmea("3540.0000"));
  EXPECT_NE(track.points[0].time, 0);
  // The second record never completes: the RMC position, no altitude, no time.
  EXPECT_EQ(track.points[1].latitude, DegreesFromNmea("3541.0000"));
  EXPECT_EQ(track.points[1].altitude, kNoAltitude);
  EXPECT_EQ(track.points[1].time, 0);
}

TEST(LoadNmeaLog, HeaderAndEmptyLinesAreIgnored) {
  const TrackData track = LoadLogBytes(
      "@$GPGGA,010203,3550.0000,N,13955.0000,E,1,08,0.9,20.0,M,,,,\n\n"
      "$GPGGA,010203,3540.0000,N,13945.0000,E,1,08,0.9,10.0,M,,,,\n");
  ASSERT_EQ(track.pointCount, 1);
  EXPECT_EQ(track.points[0].altitude, 10.0);
}

TEST(LoadNmeaLog, RecordsWithoutADateShareOneTime) {
  struct Zone {
    const char* tz;
    std::int32_t time;
  };
  for (const Zone& zone : {Zone{"Asia/Tokyo", 32399}, Zone{"UTC", -1}, Zone{"America/New_York", -18001}}) {
    test::ScopedTimeZone pinned(zone.tz);
    const TrackData track = LoadLog(DataPath("nmea/gga-only.log"));
    ASSERT_EQ(track.pointCount, 120);
    for (const TrackPoint& p : track.points) EXPECT_EQ(p.time, zone.time) << zone.tz;
  }
}

TEST(LoadNmeaLog, TimesAreUtcWhateverTheZone) {
  for (const char* zone : {"Asia/Tokyo", "UTC", "America/New_York", "Europe/London"}) {
    test::ScopedTimeZone pinned(zone);
    const TrackData track = LoadLog(DataPath("nmea/all-four-midnight.log"));
    ASSERT_EQ(track.pointCount, 40) << zone;
    EXPECT_EQ(track.points.front().time, 1796601580) << zone;  // 2026-12-06 23:59:40 UTC
    EXPECT_EQ(track.points.back().time, 1796601619) << zone;   // 2026-12-07 00:00:19 UTC
    EXPECT_EQ(track.summary.startTime, track.points.front().time);
    EXPECT_EQ(track.summary.endTime, track.points.back().time);
  }
}

TEST(LoadNmeaLog, EmptyTagSetUsesNoLine) {
  const TrackData track = LoadLog(DataPath("nmea/no-position.log"));
  EXPECT_EQ(track.pointCount, 0);
}

TEST(LoadNmeaLog, NeverWritesPastTheAllocatedPoints) {
  // The log grew after it was checked: three records for two. A third point
  // behind the two stands guard: the third record must not reach it.
  const std::string log = "GGA,1,3540,N\nGGA,2,3541,N\nGGA,3,3542,N\n";
  MemorySource source(log, "t.log");
  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(3));
  const LoadResult result = LoadPoints(track, {2, 0, LoadKind::NmeaLog, kTagGga}, source);
  EXPECT_TRUE(result);
  EXPECT_EQ(track.points[1].latitude, DegreesFromNmea("3541.0000"));
  EXPECT_EQ(track.points[2].latitude, 0.0);
}

// The bytes of a file, then a read that fails as a damaged disk does.
class FailingSource final : public ByteSource {
 public:
  FailingSource(std::string_view readable, std::string name) : ByteSource(std::move(name)), readable_(readable) {}
  std::int64_t Size() const override { return static_cast<std::int64_t>(readable_.size()) + 4096; }
  ReadCount Read(char* out, std::size_t n) override {
    if (position_ >= readable_.size()) return {0, EIO};
    const std::size_t count = std::min(n, readable_.size() - position_);
    std::copy_n(readable_.data() + position_, count, out);
    position_ += count;
    return {count, 0};
  }
  int Seek(std::int64_t position) override {
    position_ = static_cast<std::size_t>(position);
    return 0;
  }

 private:
  std::string_view readable_;
  std::size_t position_ = 0;
};

void ExpectReadFailure(const Failure& failure, const char* message, const char* name) {
  EXPECT_EQ(failure.message.text, message);
  EXPECT_EQ(failure.message.detail, std::string(name) + ": Input/output error");
}

// A read that fails in the middle of a file is reported with the system's
// reason, never taken for the end of the file; a load then holds no points.
TEST(ReadErrors, AreReportedAndLeaveNothingHalfLoaded) {
  const std::string log = test::ReadFileBytes(DataPath("nmea/gga-rmc-noise.log"));
  const std::string_view firstHalf = std::string_view(log).substr(0, log.size() / 2);
  FailingSource halfLog(firstHalf, "noise.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(halfLog);
  ASSERT_FALSE(check);
  ExpectReadFailure(check.error(), kNoDataMessage, "noise.log");

  TrackData track;
  ASSERT_TRUE(track.AllocatePoints(300));
  const LoadResult logLoad = LoadPoints(track, {300, 0, LoadKind::NmeaLog, kTagGga | kTagRmc}, halfLog);
  ASSERT_FALSE(logLoad);
  ExpectReadFailure(logLoad.error(), kNoDataMessage, "noise.log");
  EXPECT_EQ(track.pointCount, -1);
  EXPECT_TRUE(track.points.empty());

  const std::string usr = test::ReadFileBytes(DataPath("usr/three-trails.usr"));
  FailingSource headOnly(std::string_view(usr).substr(0, 200), "three.usr");
  TrackData directory;
  const Result<void> read = ReadUsrFile(directory, headOnly);
  ASSERT_FALSE(read);
  ExpectReadFailure(read.error(), kUsrCannotOpen, "three.usr");
  EXPECT_TRUE(directory.summary.trails.empty());

  ASSERT_TRUE(track.AllocatePoints(450));  // TrailA, from offset 134
  const LoadResult trailLoad = LoadPoints(track, {450, 134, LoadKind::UsrTrail, 0}, headOnly);
  ASSERT_FALSE(trailLoad);
  ExpectReadFailure(trailLoad.error(), kNoDataMessage, "three.usr");
  EXPECT_EQ(track.pointCount, -1);
}

TEST(RecordTime, NormalisesFieldsAndRefusesWhatTheClockCannotShow) {
  auto fields = [](int year, int mon, int mday, int hour, int min, int sec) {
    std::tm tm{};
    tm.tm_year = year, tm.tm_mon = mon, tm.tm_mday = mday;
    tm.tm_hour = hour, tm.tm_min = min, tm.tm_sec = sec;
    return tm;
  };
  EXPECT_EQ(RecordTime(fields(126, 11, 6, 1, 2, 3), -540), 1796518923);
  EXPECT_EQ(RecordTime(fields(126, 11, 6, 1, 2, 3), 300), 1796518923);
  // Day 0 is the last day of the month before; month 12 is January next year.
  EXPECT_EQ(RecordTime(fields(126, 2, 0, 0, 0, 0), 0), RecordTime(fields(126, 1, 28, 0, 0, 0), 0));
  EXPECT_EQ(RecordTime(fields(126, 12, 1, 0, 0, 0), 0), RecordTime(fields(127, 0, 1, 0, 0, 0), 0));
  EXPECT_EQ(RecordTime(fields(70, 0, 1, 0, 0, 0), 0), 0);
  // Before 1970 or beyond 32 bits on the local standard clock: -1, then moved.
  EXPECT_EQ(RecordTime(fields(0, 0, 0, 0, 0, 0), -540), 32399);
  EXPECT_EQ(RecordTime(fields(70, 0, 1, 0, 0, 0), 300), 0);
  EXPECT_EQ(RecordTime(fields(70, 0, 1, 0, 0, 0), -540), -1 + 32400);
  EXPECT_EQ(RecordTime(fields(138, 0, 19, 3, 14, 8), 0), -1);
  // Extreme field values do not overflow.
  EXPECT_EQ(RecordTime(fields(2147483647, 2147483647, 2147483647, 2147483647, 0, 0), 0), -1);
  EXPECT_EQ(RecordTime(fields(-2147483647 - 1, -2147483647 - 1, 0, 0, 0, 0), 0), -1);
}

}  // namespace
}  // namespace kestrel
