#include "track/loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>
#include <string_view>

#include "nmea/fields.h"
#include "nmea/sentence.h"
#include "support/memory_limit.h"
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
    LoadRequest request;
    request.recordCount = trail.pointCount;
    request.dataOffset = trail.dataOffset;
    request.layout = trail.layout;
    const LoadResult load = LoadPoints(track, request, source);
    EXPECT_TRUE(load);
    if (load) message = *load;
    return track;
  }
  ADD_FAILURE() << "no trail " << trailName;
  return track;
}

// The request the open command makes of a log's check.
LoadRequest LogRequest(const NmeaLogCheck& check, std::optional<CalendarDate> date = std::nullopt) {
  LoadRequest request;
  request.kind = LoadKind::NmeaLog;
  request.tagMask = check.tags;
  request.records = check.ReadAsFirstRelease() ? NmeaRecords::OneOfEachType : NmeaRecords::ByTime;
  request.recordCount = check.ReadAsFirstRelease() ? check.recordCount : check.sentenceCount;
  request.date = date;
  return request;
}

// Checks and loads the bytes of a log, as the open command does.
TrackData LoadLogBytes(const std::string& bytes, std::optional<CalendarDate> date = std::nullopt) {
  MemorySource source(bytes, "t.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(source);
  EXPECT_TRUE(check);
  TrackData track;
  if (!check) return track;
  const LoadResult load = LoadPoints(track, LogRequest(*check, date), source);
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

TEST(LoadUsrTrail, ReadsGridValuesOutsideTheTablesByTheFormula) {
  std::optional<Message> message;
  const TrackData track = LoadTrailOf("usr/out-of-range.usr", "Bad", message);
  EXPECT_FALSE(message);
  ASSERT_EQ(track.pointCount, 10);
  // One unit below the first row of the tables: just south of 30 degrees.
  EXPECT_LT(track.points[3].latitude, 30.0);
  EXPECT_GT(track.points[3].latitude, 29.9999);
  EXPECT_EQ(track.summary.minLatitude, track.points[3].latitude);
}

TEST(LoadUsrTrail, KeepsOnlyThePointsBeforeTheEndOfTheFile) {
  std::optional<Message> message;
  const TrackData track = LoadTrailOf("usr/ends-inside-trail.usr", "Short", message);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->text, "Data Error!");
  EXPECT_EQ(message->icon, MessageIcon::Error);
  EXPECT_EQ(message->detail, "trails.usr: the file ends inside point record 231 of 250");
  // The summary runs over the points read, none made up.
  ASSERT_EQ(track.pointCount, 230);
  EXPECT_EQ(track.summary.pointCount, 230);
  EXPECT_GT(track.summary.minLatitude, 30.0);
}

TEST(LoadPoints, UnknownKindIsAnInternalError) {
  TrackData track;
  const std::string bytes = test::ReadFileBytes(DataPath("nmea/gga-only.log"));
  MemorySource source(bytes, "gga-only.log");
  LoadRequest request;
  request.kind = static_cast<LoadKind>(7);
  const LoadResult result = LoadPoints(track, request, source);
  ASSERT_TRUE(result && *result);
  EXPECT_EQ((*result)->text, "001:Internal Error!");
  EXPECT_EQ((*result)->icon, MessageIcon::Error);
  EXPECT_EQ(track.pointCount, 0);
}

TEST(LoadNmeaLog, AssemblesOneRecordFromOneSentenceOfEachType) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  // GGA then RMC, then RMC then GGA: position from the last, date from RMC,
  // time from the first.
  const TrackData track = LoadLogBytes(
      "$GPGGA,010203,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,\r\n"
      "$GPGSV,3,1,11*00\r\n"
      "$GPRMC,010204,A,3541.0000,N,13946.0000,E,0.0,0.0,061226,,\r\n"
      "$GPRMC,010205,A,3542.0000,N,13947.0000,E,0.0,0.0,061226,,\r\n"
      "$GPGGA,010206,3543.0000,N,13948.0000,E,1,08,0.9,50.0,M,39.4,M,,\r\n");
  ASSERT_EQ(track.pointCount, 2);
  EXPECT_EQ(track.points[0].latitude, DegreesFromNmea("3541.0000"));  // from RMC
  EXPECT_EQ(track.points[0].altitude, 45.3);
  EXPECT_EQ(track.points[0].time, 1796518923);             // 2026-12-06 01:02:03 UTC
  EXPECT_EQ(track.points[0].timeKind, TimeKind::DateAndTime);
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
  EXPECT_EQ(track.points[1].timeKind, TimeKind::None);
}

TEST(LoadNmeaLog, HeaderAndEmptyLinesAreIgnored) {
  const TrackData track = LoadLogBytes(
      "@$GPGGA,010203,3550.0000,N,13955.0000,E,1,08,0.9,20.0,M,,,,\n\n"
      "$GPGGA,010203,3540.0000,N,13945.0000,E,1,08,0.9,10.0,M,,,,\n");
  ASSERT_EQ(track.pointCount, 1);
  EXPECT_EQ(track.points[0].altitude, 10.0);
}

TEST(LoadNmeaLog, RecordsWithoutADateKeepTheirTimeOfDay) {
  // Whatever the zone: on 1970-01-01 UTC, or on the date given.
  for (const char* zone : {"Asia/Tokyo", "UTC", "America/New_York"}) {
    test::ScopedTimeZone pinned(zone);
    const TrackData track = LoadLog(DataPath("nmea/gga-only.log"));
    ASSERT_EQ(track.pointCount, 120);
    EXPECT_EQ(track.points[0].time, 12 * 3600 + 35 * 60 + 19) << zone;
    EXPECT_EQ(track.points[119].time, 12 * 3600 + 37 * 60 + 18) << zone;
    for (const TrackPoint& p : track.points) EXPECT_EQ(p.timeKind, TimeKind::TimeOfDay);
    const TrackData dated = LoadLogBytes(test::ReadFileBytes(DataPath("nmea/gga-only.log")), CalendarDate{2009, 3, 5});
    EXPECT_EQ(dated.points[0].time, 1236256519) << zone;  // 2009-03-05 12:35:19 UTC
    EXPECT_EQ(dated.points[0].timeKind, TimeKind::DateAndTime);
  }
}

TEST(LoadNmeaLog, TimesAreUtcWhateverTheZone) {
  for (const char* zone : {"Asia/Tokyo", "UTC", "America/New_York", "Europe/London"}) {
    test::ScopedTimeZone pinned(zone);
    const TrackData track = LoadLog(DataPath("nmea/all-four-midnight.log"));
    ASSERT_EQ(track.pointCount, 38) << zone;
    EXPECT_EQ(track.points.front().time, 1796601580) << zone;  // 2026-12-06 23:59:40 UTC
    EXPECT_EQ(track.points.back().time, 1796601619) << zone;   // 2026-12-07 00:00:19 UTC
    EXPECT_EQ(track.summary.startTime, track.points.front().time);
    EXPECT_EQ(track.summary.endTime, track.points.back().time);
  }
}

TEST(LoadNmeaLog, OnlyValidPositionsBecomePoints) {
  // Fixes 5 and 6 of the log are void: GGA without a position and of
  // quality 0, GLL and RMC of status V. The points of the other seconds stay.
  const TrackData track = LoadLog(DataPath("nmea/all-four-midnight.log"));
  ASSERT_EQ(track.pointCount, 38);
  EXPECT_EQ(track.points[4].time + 3, track.points[5].time);
  EXPECT_EQ(track.summary.minAltitude, 12.5);
  // Values that are no position: a latitude of 1e400, beyond 90 degrees, a
  // longitude beyond 180.
  const TrackData odd = LoadLogBytes(
      "$GPGGA,000001,1e400,N,13945.0,E,1,08,0.9,1.0,M,,,,\n"
      "$GPGGA,000002,9001.0,S,13945.0,E,1,08,0.9,1.0,M,,,,\n"
      "$GPGGA,000003,3540.0,N,18000.5,W,1,08,0.9,1.0,M,,,,\n"
      "$GPGGA,000004,9000.0,S,18000.0,W,1,08,0.9,1.0,M,,,,\n");
  ASSERT_EQ(odd.pointCount, 1);
  EXPECT_EQ(odd.points[0].latitude, -90.0);
  EXPECT_EQ(odd.points[0].longitude, -180.0);
  EXPECT_EQ(odd.summary.maxLatitude, -90.0);  // signed, as the points are
}

TEST(LoadNmeaLog, LogsWhoseCountsDisagreeAreReadByTime) {
  test::ScopedTimeZone zone("America/New_York");
  // An RMC is missing at 23:59:59, a GGA at 00:00:01 (its RMC carries the
  // record's position), and the log stops before the RMC of 00:00:02: the
  // date of the last RMC goes on, to the next day past midnight.
  const TrackData track = LoadLogBytes(
      "$GPGGA,235958.00,3540.0,N,13945.0,E,1,08,0.9,1.0,M,,,,\n"
      "$GPRMC,235958.00,A,3540.0,N,13945.0,E,0.0,0.0,061226,,\n"
      "$GPGGA,235959.00,3540.1,N,13945.1,E,1,08,0.9,2.0,M,,,,\n"
      "$GPGGA,000000.00,3540.2,N,13945.2,E,1,08,0.9,3.0,M,,,,\n"
      "$GPRMC,000000.000,A,3540.2,N,13945.2,E,0.0,0.0,071226,,\n"
      "$GPRMC,000001.00,A,3540.3,N,13945.3,E,0.0,0.0,071226,,\n"
      "$GPGGA,000002.00,3540.4,N,13945.4,E,1,08,0.9,5.0,M,,,,\n");
  ASSERT_EQ(track.pointCount, 5);
  const std::int32_t start = 1796601598;  // 2026-12-06 23:59:58 UTC
  for (std::int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(track.points[static_cast<std::size_t>(i)].time, start + i) << i;
    EXPECT_EQ(track.points[static_cast<std::size_t>(i)].timeKind, TimeKind::DateAndTime);
  }
  EXPECT_EQ(track.points[2].altitude, 3.0);
  EXPECT_EQ(track.points[3].altitude, kNoAltitude);
  // A log of GGA sentences with one RMC: dated from there on; the records
  // before it keep their time of day.
  const TrackData late = LoadLogBytes(
      "$GPGGA,120000,3540.0,N,13945.0,E,1,08,0.9,1.0,M,,,,\n"
      "$GPGGA,120001,3540.0,N,13945.0,E,1,08,0.9,1.0,M,,,,\n"
      "$GPRMC,120001,A,3540.0,N,13945.0,E,0.0,0.0,061226,,\n"
      "$GPGGA,120002,3540.0,N,13945.0,E,1,08,0.9,1.0,M,,,,\n");
  ASSERT_EQ(late.pointCount, 3);
  EXPECT_EQ(late.points[0].timeKind, TimeKind::TimeOfDay);
  EXPECT_EQ(late.points[0].time, 43200);
  EXPECT_EQ(late.points[2].time, 1796558402);  // 2026-12-06 12:00:02 UTC
}

TEST(LoadNmeaLog, SkipsTheLinesTheCheckSkipsAndReadsTheRestByTime) {
  // A GGA whose checksum is wrong (its position would be far off) and a
  // line over the limit leave GGA and RMC in agreement; the log is read by
  // time all the same, so that no record takes sentences of two times.
  const std::string log = "$GPGGA,010203,3540.0,N,13945.0,E,1,08,0.9,1.0,M,,,,\n"
                          "$GPRMC,010203,A,3540.0,N,13945.0,E,0.0,0.0,061226,,\n" +
                          std::string(kLongestLine + 1, ',') +
                          "\n"
                          "$GPGGA,010204,0000.0,N,00000.0,E,1,08,0.9,1.0,M,,,,*00\n"
                          "$GPGGA,010204,3540.1,N,13945.1,E,1,08,0.9,1.0,M,,,,\n"
                          "$GPRMC,010204,A,3540.1,N,13945.1,E,0.0,0.0,061226,,\n";
  MemorySource source(log, "t.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(source);
  ASSERT_TRUE(check);
  EXPECT_TRUE(check->countsAgree);
  EXPECT_EQ(check->skippedLines, 2);
  EXPECT_FALSE(check->ReadAsFirstRelease());
  TrackData track;
  ASSERT_TRUE(LoadPoints(track, LogRequest(*check), source));
  ASSERT_EQ(track.pointCount, 2);
  EXPECT_EQ(track.summary.minLatitude, DegreesFromNmea("3540.0"));
}

// A file cut or grown between the check and the load, or while either
// reads it, is not read as a track of part of one and part of another.
TEST(LoadNmeaLog, AFileThatChangesWhileItIsReadIsAnError) {
  const std::string log = test::ReadFileBytes(DataPath("nmea/gga-rmc-noise.log"));
  // A source that says it is larger than what it holds: cut after its size was taken.
  class Cut final : public ByteSource {
   public:
    explicit Cut(std::string_view bytes) : ByteSource("cut.log"), memory_(bytes, "cut.log") {}
    std::int64_t Size() const override { return memory_.Size() + 100; }
    ReadCount Read(char* out, std::size_t n) override { return memory_.Read(out, n); }
    int Seek(std::int64_t position) override { return memory_.Seek(position); }

   private:
    MemorySource memory_;
  } cut(log);
  const Result<NmeaLogCheck> check = CheckNmeaLog(cut);
  ASSERT_FALSE(check);
  EXPECT_EQ(check.error().message.text, kNoDataMessage);
  EXPECT_EQ(check.error().message.detail, "cut.log: the file changed while it was read");
  MemorySource whole(log, "cut.log");
  const Result<NmeaLogCheck> counted = CheckNmeaLog(whole);
  ASSERT_TRUE(counted);
  TrackData track;
  const LoadResult load = LoadPoints(track, LogRequest(*counted), cut);
  ASSERT_FALSE(load);
  EXPECT_EQ(load.error().message.detail, "cut.log: the file changed while it was read");
  EXPECT_EQ(track.pointCount, -1);
}

TEST(LoadNmeaLog, ATrackBeyondTheMemoryIsRefused) {
  std::string log;
  for (int i = 0; i < 200000; ++i) log += "GGA,1,3540,N,13945,E,1,\n";
  MemorySource source(log, "big.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(source);
  ASSERT_TRUE(check);
  TrackData track;
  const test::ScopedMemoryLimit limit(2 << 20);
  if (!limit.Active()) GTEST_SKIP() << "no memory limit here";
  const LoadResult load = LoadPoints(track, LogRequest(*check), source);
  ASSERT_FALSE(load);
  EXPECT_EQ(load.error().message.text, kNoMemoryMessage);
  EXPECT_EQ(track.pointCount, -1);
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
  NmeaLogCheck counted;
  counted.recordCount = 300;
  counted.tags = kTagGga | kTagRmc;
  const LoadResult logLoad = LoadPoints(track, LogRequest(counted), halfLog);
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

  ASSERT_TRUE(track.AllocatePoints(450));
  LoadRequest trailA;  // from offset 134
  trailA.recordCount = 450;
  trailA.dataOffset = 134;
  const LoadResult trailLoad = LoadPoints(track, trailA, headOnly);
  ASSERT_FALSE(trailLoad);
  ExpectReadFailure(trailLoad.error(), kNoDataMessage, "three.usr");
  EXPECT_EQ(track.pointCount, -1);
}

// A sentence with its checksum and line end.
std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

// A GGA or GLL sentence of record i at a clock of seconds since midnight.
std::string PositionSentence(const char* type, int i, int seconds, const char* quality = "1") {
  char body[128];
  const int clock = seconds % 86400;
  const std::string time = seconds < 0 ? "" : [&] {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d.00", clock / 3600, clock / 60 % 60, clock % 60);
    return std::string(text);
  }();
  if (std::string_view(type) == "GGA") {
    std::snprintf(body, sizeof body, "GPGGA,%s,35%02d.%04d,N,139%02d.%04d,E,%s,08,0.9,%d.5,M,36.7,M,,", time.c_str(),
                  i % 60, i * 7 % 10000, i / 60 % 60, i * 13 % 10000, quality, i % 900);
  } else {
    std::snprintf(body, sizeof body, "GPGLL,35%02d.%04d,N,139%02d.%04d,E,%s,A", i % 60, i * 11 % 10000, i / 60 % 60,
                  i * 3 % 10000, time.c_str());
  }
  return Sentence(body);
}

// A log read by time: records without a date first, then dated by RMC,
// midnight passed with and without a date, and lines of every kind the
// reader passes over or keeps in the record before.
std::string LogReadByTime() {
  std::string log = "@header line of a logger\r\n";
  for (int i = 0; i < 600; ++i) {
    // First every other record passes midnight, then every 288th.
    const int seconds = i < 300 ? (i % 2 == 0 ? 82800 : 3600) + i : 80000 + i * 300;
    log += PositionSentence("GGA", i, seconds, i % 61 == 0 ? "0" : "1");
    if (i % 37 == 0) log += PositionSentence("GGA", i + 1, -1);
    if (i % 53 == 0) log += "$GPGGA,000000.00,3500.0000,N,13900.0000,E,1,08,0.9,1.0,M,,M,,*00\r\n";
    if (i % 97 == 0) log += "@" + std::to_string(i) + "\r\n";
    if (i == 200 || i == 450) log += Sentence(i == 200 ? "GPRMC,,A,,,,,,,280224,,," : "GPRMC,,A,,,,,,,010324,,,");
    if (i == 400) log += std::string(70 * 1024, 'x') + "\r\n";
    log += "$GPGSV,3,1,12,02,36,006,38,05,26,168,38,07,15,346,40,09,47,317,44*7E\r\n";
  }
  return log;
}

// A log of one GGA and one GLL a second whose counts agree, read as the
// first release read it; twice a second's sentences come in the order of
// their types, so that the records go on across the seconds from there.
std::string LogOfOneOfEachType() {
  std::string log;
  for (int i = 0; i < 400; ++i) {
    const int seconds = 72000 + i * 400;
    if (i == 150 || i == 300) {
      log += PositionSentence("GGA", i, seconds) + PositionSentence("GGA", i + 1, seconds + 400) +
             PositionSentence("GLL", i, seconds) + PositionSentence("GLL", i + 1, seconds + 400);
      ++i;
    } else {
      log += PositionSentence("GGA", i, seconds) + PositionSentence("GLL", i, seconds);
    }
  }
  return log;
}

TEST(LoadNmeaLog, ALogReadInPartsGivesWhatOnePassGives) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  test::TempDir folder;
  std::vector<std::string> logs;
  for (const char* name : {"nmea/all-four-midnight.log", "nmea/empty.log", "nmea/gga-only.log",
                           "nmea/gga-rmc-noise.log", "nmea/mismatch.log", "nmea/no-position.log",
                           "nmea/south-west.log", "real/dotmorten-TrimbleR2SampleData.txt", "real/gpsd-beidou-bd.log",
                           "real/gpsd-quectel-l76k-nmea.log", "real/gpsd-telit-he910.log", "real/gpsd-ublox-8.log",
                           "cli/convert/Second.log"}) {
    logs.push_back(test::ReadFileBytes(DataPath(name)));
  }
  logs.push_back(LogReadByTime());
  logs.push_back(LogOfOneOfEachType());
  const auto points = [](const TrackData& track) {
    std::vector<std::tuple<double, double, double, std::int32_t, TimeKind, bool>> fields;
    for (const TrackPoint& p : track.points) {
      fields.emplace_back(p.latitude, p.longitude, p.altitude, p.time, p.timeKind, p.segmentStart);
    }
    return fields;
  };
  for (std::size_t n = 0; n < logs.size(); ++n) {
    const std::string path = folder.Path("log" + std::to_string(n));
    test::WriteFileBytes(path, logs[n]);
    Result<FileSource> file = OpenFileSource(path);
    ASSERT_TRUE(file);
    const Result<NmeaLogCheck> check = CheckNmeaLog(*file, {}, {1, 0});
    ASSERT_TRUE(check);
    if (n + 2 == logs.size()) {
      EXPECT_FALSE(check->ReadAsFirstRelease());
    } else if (n + 1 == logs.size()) {
      EXPECT_TRUE(check->ReadAsFirstRelease());
    }
    for (const std::optional<CalendarDate> date : {std::optional<CalendarDate>(), std::optional(CalendarDate{2009, 3, 5})}) {
      LoadRequest request = LogRequest(*check, date);
      request.parallel = {1, 0};
      TrackData onePass;
      ASSERT_TRUE(LoadPoints(onePass, request, *file));
      for (const int parts : {2, 3, 5, 8, 13, 32}) {
        SCOPED_TRACE("log " + std::to_string(n) + ", " + std::to_string(parts) + " parts");
        // The two logs made here are large enough to be split every time.
        if (n + 2 >= logs.size()) {
          EXPECT_GT(SplitLog(*file, {parts, 0}).size(), 1U);
        }
        const Result<NmeaLogCheck> inParts = CheckNmeaLog(*file, {}, {parts, 0});
        ASSERT_TRUE(inParts);
        EXPECT_EQ(inParts->countsAgree, check->countsAgree);
        EXPECT_EQ(inParts->recordCount, check->recordCount);
        EXPECT_EQ(inParts->tags, check->tags);
        EXPECT_EQ(inParts->sentenceCount, check->sentenceCount);
        EXPECT_EQ(inParts->skippedLines, check->skippedLines);
        request.parallel = {parts, 0};
        TrackData track;
        ASSERT_TRUE(LoadPoints(track, request, *file));
        EXPECT_EQ(points(track), points(onePass));
      }
    }
  }
  // A file cut or grown while its parts are read is no track.
  const std::string path = folder.Path("changing.log");
  for (const std::int64_t size : {std::int64_t{1000}, std::int64_t{200000}}) {
    test::WriteFileBytes(path, LogReadByTime());
    Result<FileSource> file = OpenFileSource(path);
    ASSERT_TRUE(file);
    const Result<NmeaLogCheck> check = CheckNmeaLog(*file, {}, {4, 0});
    ASSERT_TRUE(check);
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    LoadRequest request = LogRequest(*check);
    request.parallel = {4, 0};
    TrackData track;
    const LoadResult load = LoadPoints(track, request, *file);
    ASSERT_FALSE(load);
    EXPECT_EQ(load.error().message.detail, path + ": the file changed while it was read");
  }
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
