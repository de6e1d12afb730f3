#include "nmea/fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <string>

namespace kestrel {
namespace {

TEST(Fields, TakeAndDropSplitAtTheFirstSeparator) {
  const struct {
    std::string text;
    std::string first;
    std::string rest;
  } cases[] = {
      {"a,b,c", "a", "b,c"},
      {"abc", "", "abc"},  // no comma: nothing taken, nothing dropped
      {",x", "", "x"},
      {"x,", "x", ""},
      {",", "", ""},
      {"", "", ""},
      {",,", "", ","},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TakeFirstField(c.text), c.first);
    EXPECT_EQ(DropFirstField(c.text), c.rest);
  }
  EXPECT_EQ(DropFirstField("45.3*50", '*'), "50");
  EXPECT_EQ(DropFirstField("45.3,M*50", '*'), "50");
  EXPECT_EQ(DropFirstField("45.3", '*'), "45.3");
}

TEST(DegreesFromNmea, TurnsDegreesAndMinutesIntoDegrees) {
  const struct {
    std::string text;
    double expected;
  } cases[] = {
      {"3540.1234", 35.66872333333334},
      {"13945.6789", 139.76131500000002},
      {"  3540.1234N", 35.66872333333334},
      {"-3540.1234", -35.66872333333334},
      {"0000.0000", 0.0},
      {"0030.0000", 0.5},
      {"9000.0000", 90.0},
      {"", 0.0},
      {"N", 0.0},
      {"1e400", std::numeric_limits<double>::infinity()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DegreesFromNmea(c.text), c.expected);
  }
}

TEST(DegreesFromNmea, GivesNoUndefinedConversionBeyondThe32BitRange) {
  // Beyond the 32-bit range the whole degrees read as -2147483648, as the
  // processor's conversion gives; the result stays a number.
  const double result = DegreesFromNmea("1e20");
  EXPECT_FALSE(std::isnan(result));
  EXPECT_EQ(result, (1e18 + 2147483648.0) * 1.6666666666666667 - 2147483648.0);
}

// A point as the loader hands it over before the first sentence of a record.
TrackPoint FreshPoint() { return TrackPoint{}; }

struct Time {
  int year, mon, mday, hour, min, sec;
  bool operator==(const Time&) const = default;
};

std::tm ToTm(const Time& t) {
  std::tm tm{};
  tm.tm_year = t.year;
  tm.tm_mon = t.mon;
  tm.tm_mday = t.mday;
  tm.tm_hour = t.hour;
  tm.tm_min = t.min;
  tm.tm_sec = t.sec;
  return tm;
}

Time FromTm(const std::tm& tm) { return {tm.tm_year, tm.tm_mon, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}; }

void PrintTo(const Time& t, std::ostream* out) {
  *out << t.year << "/" << t.mon << "/" << t.mday << " " << t.hour << ":" << t.min << ":" << t.sec;
}

constexpr double kLat = 35.66872333333334;
constexpr double kLon = 139.76131500000002;
constexpr double kNoAlt = kNoAltitude;

// What a sentence tells of its fix: position given, no fix.
struct Fix {
  bool position, noFix;
  bool operator==(const Fix&) const = default;
};
constexpr Fix kFix{true, false};
constexpr Fix kNoPosition{false, false};

struct ParseCase {
  std::string line;
  NmeaTag tag;
  double latitude, longitude, altitude;  // expected, from a fresh point
  Time time;                             // expected, from an unset time
  Fix fix;
};

// Parses into a fresh fix status.
bool Parse(TrackPoint& point, const std::string& line, std::tm& time, NmeaTag tag) {
  FixStatus fix;
  return ParseSentence(point, line, time, tag, fix);
}

TEST(ParseSentence, ReadsTheFieldsOfEachType) {
  const ParseCase cases[] = {
      {"$GPGGA,123519.00,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,*50", kTagGga, kLat, kLon, 45.3,
       {0, 0, 0, 12, 35, 19}, kFix},
      // South and west are negative; any other letter, or none, is north and east.
      {"$GPGGA,123519.00,3540.1234,S,13945.6789,W,1,08,0.9,45.3,M,39.4,M,,*50", kTagGga, -kLat, -kLon, 45.3,
       {0, 0, 0, 12, 35, 19}, kFix},
      {"$GPGGA,123519,3540.1234,,13945.6789,x,1,08,0.9,-12.5,M,39.4,M,,*50\r", kTagGga, kLat, kLon, -12.5,
       {0, 0, 0, 12, 35, 19}, kFix},
      // No fix: position and altitude as they were, the time all the same.
      {"$GNGGA,074150.799,,,,,0,00,,,M,0.0,M,,0000,*64\r", kTagGga, 0.0, 0.0, kNoAlt, {0, 0, 0, 7, 41, 50},
       {false, true}},
      // Quality 0 is no fix, whatever the position fields hold.
      {"$GPGGA,123519,3540.1234,N,13945.6789,E,0,00,,,M,,M,,*50", kTagGga, kLat, kLon, kNoAlt,
       {0, 0, 0, 12, 35, 19}, {true, true}},
      // Cut off after the altitude: the last field is never read.
      {"$GPGGA,123519,3540.1234,N,13945.6789,E,1,08,0.9,45.3", kTagGga, kLat, kLon, kNoAlt,
       {0, 0, 0, 12, 35, 19}, kFix},
      {"$GPGGA,123519,3540.1234", kTagGga, 0.0, 0.0, kNoAlt, {0, 0, 0, 12, 35, 19}, kNoPosition},
      {"$GPGGA", kTagGga, 0.0, 0.0, kNoAlt, {0, 0, 0, 0, 0, 0}, kNoPosition},
      // A text that is not a number reads as its leading number, or 0.
      {"$GPGGA,12h35,x,N,13945.6789E,E,1,08,0.9,M,M", kTagGga, 0.0, kLon, 0.0, {0, 0, 0, 12, 0, 5}, kFix},

      {"$GPGLL,3540.1234,S,13945.6789,E,123519,A*2C", kTagGll, -kLat, kLon, kNoAlt, {0, 0, 0, 12, 35, 19}, kFix},
      // A void GLL: its status may be the last field, before the checksum.
      {"$GPGLL,3540.1234,N,13945.6789,E,123519,V*2C", kTagGll, kLat, kLon, kNoAlt, {0, 0, 0, 12, 35, 19},
       {true, true}},
      {"$GPGLL,3540.1234,N,13945.6789,E,123519,V,N*2C", kTagGll, kLat, kLon, kNoAlt, {0, 0, 0, 12, 35, 19},
       {true, true}},
      // An older GLL without status: its time is the last field.
      {"$GPGLL,3540.1234,N,13945.6789,E,123519*2C", kTagGll, kLat, kLon, kNoAlt, {0, 0, 0, 0, 0, 0}, kFix},

      {"$GPRMC,123519,A,3540.1234,N,13945.6789,W,0.0,0.0,050309,,*13", kTagRmc, kLat, -kLon, kNoAlt,
       {109, 2, 5, 12, 35, 19}, kFix},
      // A void fix gives its values, and says that it is void.
      {"$GPRMC,123519,V,3540.1234,N,13945.6789,E,0.0,0.0,050309,,*13", kTagRmc, kLat, kLon, kNoAlt,
       {109, 2, 5, 12, 35, 19}, {true, true}},
      // No date: none set.
      {"$GPRMC,123519,A,3540.1234,N,13945.6789,E,0.0,0.0,,,*13", kTagRmc, kLat, kLon, kNoAlt,
       {0, 0, 0, 12, 35, 19}, kFix},
      {"$GPRMC,123519,A,3540.1234,N,13945.6789,E,0.0,0.0,050309", kTagRmc, kLat, kLon, kNoAlt,
       {0, 0, 0, 12, 35, 19}, kFix},

      {"$GPZDA,123519.00,05,03,2009,00,00*66", kTagZda, 0.0, 0.0, kNoAlt, {109, 2, 5, 12, 35, 19}, kNoPosition},
      {"$GPZDA,235959,31,12,1999,,", kTagZda, 0.0, 0.0, kNoAlt, {99, 11, 31, 23, 59, 59}, kNoPosition},
      // Empty date fields read as 0, which still makes a date.
      {"$GPZDA,,,,,,", kTagZda, 0.0, 0.0, kNoAlt, {-1900, -1, 0, 0, 0, 0}, kNoPosition},
      // Far out of range: the differences wrap into the fields.
      {"$GPZDA,,2147483647,-2147483648,-2147483648,,", kTagZda, 0.0, 0.0, kNoAlt,
       {2147481748, 2147483647, 2147483647, 0, 0, 0}, kNoPosition},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.line);
    TrackPoint point = FreshPoint();
    std::tm time{};
    FixStatus fix;
    EXPECT_TRUE(ParseSentence(point, c.line, time, c.tag, fix));
    EXPECT_EQ(point.latitude, c.latitude);
    EXPECT_EQ(point.longitude, c.longitude);
    EXPECT_EQ(point.altitude, c.altitude);
    EXPECT_EQ(point.time, 0);
    EXPECT_EQ(FromTm(time), c.time);
    EXPECT_EQ((Fix{fix.positionGiven, fix.noFix}), c.fix);
  }
}

TEST(SentenceTime, IsTheNumberOfTheTimeField) {
  EXPECT_EQ(SentenceTime("$GPGGA,123519.00,3540.1234,N", kTagGga), 123519.0);
  EXPECT_EQ(SentenceTime("$GPRMC,123519.000,A", kTagRmc), 123519.0);
  EXPECT_EQ(SentenceTime("$GPGLL,3540.1234,N,13945.6789,E,123519.5,A*2C", kTagGll), 123519.5);
  EXPECT_EQ(SentenceTime("$GPZDA,000000,05,03,2009,00,00*66", kTagZda), 0.0);
  EXPECT_EQ(SentenceTime("$GPGGA,,3540.1234,N", kTagGga), std::nullopt);
  EXPECT_EQ(SentenceTime("$GPGLL,3540.1234,N,13945.6789,E,123519*2C", kTagGll), std::nullopt);
  EXPECT_EQ(SentenceTime("$GPGSV,123519,1", kTagGsv), std::nullopt);
}

TEST(ParseSentence, ChoosesTheCenturyOfTheTwoDigitYear) {
  const struct {
    std::string date;
    Time expected;
  } cases[] = {
      {"050309", {109, 2, 5, 0, 0, 0}},
      {"050300", {100, 2, 5, 0, 0, 0}},
      {"050369", {169, 2, 5, 0, 0, 0}},
      {"050370", {70, 2, 5, 0, 0, 0}},
      {"050375", {75, 2, 5, 0, 0, 0}},
      {"311299", {99, 11, 31, 0, 0, 0}},
      {"061226", {126, 11, 6, 0, 0, 0}},
      // A year that does not begin with a digit counts as 20-something: "20x9" reads 20.
      {"0503x9", {-1880, 2, 5, 0, 0, 0}},
      // Shorter texts give shorter pieces: "197", "20", and month and day 0.
      {"05037", {-1703, 2, 5, 0, 0, 0}},
      {"0503", {-1880, 2, 5, 0, 0, 0}},
      {"05", {-1880, -1, 5, 0, 0, 0}},
      // A longer text is cut after six characters.
      {"05030912", {109, 2, 5, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    TrackPoint point = FreshPoint();
    std::tm time{};
    Parse(point, "$GPRMC,,A,,N,,E,0.0,0.0," + c.date + ",,*13", time, kTagRmc);
    EXPECT_EQ(FromTm(time), c.expected);
  }
}

TEST(ParseSentence, ReadsTheTimeFromItsFirstSixCharacters) {
  const struct {
    std::string text;
    Time expected;
  } cases[] = {
      {"123519", {0, 0, 0, 12, 35, 19}},
      {"123519.999", {0, 0, 0, 12, 35, 19}},
      {"1235", {0, 0, 0, 12, 35, 0}},
      {"1", {0, 0, 0, 1, 0, 0}},
      {"000000.00", {0, 0, 0, 0, 0, 0}},
      {"12:35:19", {0, 0, 0, 12, 0, 5}},
      {" 9 5 7", {0, 0, 0, 9, 5, 7}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TrackPoint point = FreshPoint();
    std::tm time{};
    Parse(point, "$GPGGA," + c.text + ",,,,,0,00,,,M,,M,,*64", time, kTagGga);
    EXPECT_EQ(FromTm(time), c.expected);
  }
}

TEST(ParseSentence, SetsDateAndTimeOnlyWhenTheyAreUnset) {
  const std::string zda = "$GPZDA,123519.00,05,03,2009,00,00*66";
  const struct {
    Time before;
    Time expected;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0}, {109, 2, 5, 12, 35, 19}},
      // Any field of a group that is not 0 keeps the whole group.
      {{1, 0, 0, 0, 0, 0}, {1, 0, 0, 12, 35, 19}},
      {{0, 1, 0, 0, 0, 0}, {0, 1, 0, 12, 35, 19}},
      {{0, 0, 1, 0, 0, 0}, {0, 0, 1, 12, 35, 19}},
      {{0, 0, 0, 1, 0, 0}, {109, 2, 5, 1, 0, 0}},
      {{0, 0, 0, 0, 1, 0}, {109, 2, 5, 0, 1, 0}},
      {{0, 0, 0, 0, 0, 1}, {109, 2, 5, 0, 0, 1}},
      {{126, 11, 6, 1, 2, 3}, {126, 11, 6, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    TrackPoint point = FreshPoint();
    std::tm time = ToTm(c.before);
    Parse(point, zda, time, kTagZda);
    EXPECT_EQ(FromTm(time), c.expected) << testing::PrintToString(c.before);
  }
}

TEST(ParseSentence, BuildsOneRecordFromSeveralSentences) {
  // GGA then RMC: the RMC position wins, the altitude and the time come from
  // GGA, the date from RMC.
  TrackPoint point = FreshPoint();
  std::tm time{};
  FixStatus fix;
  ParseSentence(point, "$GPGGA,010203,3540.0000,N,13945.0000,E,1,08,0.9,45.3,M,39.4,M,,*50", time, kTagGga, fix);
  ParseSentence(point, "$GPRMC,010204,A,3540.1234,N,13945.6789,E,0.0,0.0,061226,,*13", time, kTagRmc, fix);
  EXPECT_EQ(point.latitude, kLat);
  EXPECT_EQ(point.longitude, kLon);
  EXPECT_EQ(point.altitude, 45.3);
  EXPECT_EQ(FromTm(time), (Time{126, 11, 6, 1, 2, 3}));
  EXPECT_TRUE(fix.positionGiven && !fix.noFix && fix.timeGiven);

  // A record at midnight reads its time again from every sentence: the same.
  point = FreshPoint();
  time = std::tm{};
  fix = FixStatus{};
  ParseSentence(point, "$GNGGA,000000.00,,,,,0,00,,,M,,M,,*64", time, kTagGga, fix);
  ParseSentence(point, "$GNGLL,,,,,000000.00,V,N*64", time, kTagGll, fix);
  ParseSentence(point, "$GNZDA,000000.00,07,12,2026,00,00*66", time, kTagZda, fix);
  EXPECT_EQ(FromTm(time), (Time{126, 11, 7, 0, 0, 0}));
  EXPECT_EQ(point.latitude, 0.0);
  EXPECT_EQ(point.altitude, kNoAlt);
  EXPECT_TRUE(!fix.positionGiven && fix.noFix && fix.timeGiven);
}

TEST(ParseSentence, RefusesOtherTypesAndChangesNothing) {
  const std::string line = "$GPGGA,123519.00,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,*50";
  for (const NmeaTag tag : {kTagGsa, kTagGsv, kTagVtg, kTagUnrecognised, NmeaTag{0}, NmeaTag{kTagGga | kTagRmc}}) {
    SCOPED_TRACE(tag);
    TrackPoint point{1.5, 2.5, 3.5, 4};
    std::tm time = ToTm({0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(Parse(point, line, time, tag));
    EXPECT_EQ(point.latitude, 1.5);
    EXPECT_EQ(point.longitude, 2.5);
    EXPECT_EQ(point.altitude, 3.5);
    EXPECT_EQ(point.time, 4);
    EXPECT_EQ(FromTm(time), (Time{0, 0, 0, 0, 0, 0}));
  }
}

}  // namespace
}  // namespace kestrel
