#include "nmea/sentence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;
using test::TempDir;
using test::WriteFileBytes;
using Result = NmeaLogCheck::Result;

struct ClassifyCase {
  std::string line;
  NmeaTag expected;
};

TEST(ClassifySentence, TakesTheLastThreeBytesOfTheAddressField) {
  const ClassifyCase cases[] = {
      // Every known type, the talker prefix ignored.
      {"$GPGGA,123519,3540.1234,N", kTagGga},
      {"$GNGGA,", kTagGga},
      {"$GPGLL,3540.1234,N", kTagGll},
      {"$GPGSA,A,3", kTagGsa},
      {"$GPGSV,4,1,16", kTagGsv},
      {"$GPRMC,123519,A", kTagRmc},
      {"$GNRMC,", kTagRmc},
      {"$LCRMC,", kTagRmc},
      {"$GPVTG,,T", kTagVtg},
      {"$GPZDA,123519.00,05", kTagZda},
      // No dollar sign is needed, and anything before the tag is prefix.
      {"GGA,1,2", kTagGga},
      {"RMC,", kTagRmc},
      {" $GNRMC,074157.799,A", kTagRmc},
      {std::string("\xFF\x01$GNRMC,0", 9), kTagRmc},
      {std::string("\0$GPGGA,", 8), kTagGga},
      // Case matters; so does every byte of the three.
      {"$gpgga,", kTagUnrecognised},
      {"$GPGGa,", kTagUnrecognised},
      {"$GPGGA ,", kTagUnrecognised},
      {"$GPGGAX,", kTagUnrecognised},
      {std::string("$GPRMC\0,", 8), kTagUnrecognised},
      {"$GPTXT,01,01,02,GGA,", kTagUnrecognised},
      // Only the address field is looked at.
      {"$PSRF151,3,GGA", kTagUnrecognised},
      {"$GPGGA", kTagUnrecognised},
      {"GGA", kTagUnrecognised},
      {"$GPGGA\r", kTagUnrecognised},
      {"$GPGGA*5B", kTagUnrecognised},
      // Address fields shorter than three bytes.
      {"", kTagUnrecognised},
      {",", kTagUnrecognised},
      {",GGA,", kTagUnrecognised},
      {"GA,", kTagUnrecognised},
      {"A,", kTagUnrecognised},
      // A carriage return at the end of the line changes nothing.
      {"$GPGGA,123519\r", kTagGga},
      {"GGA,\r", kTagGga},
  };
  for (const ClassifyCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    EXPECT_EQ(ClassifySentence(c.line), c.expected);
  }
}

TEST(ClassifySentence, ReadsNothingBeyondTheView) {
  // The view ends before the comma of the text it lies in.
  const std::string text = "$GPGGA,1";
  EXPECT_EQ(ClassifySentence(std::string_view(text).substr(0, 6)), kTagUnrecognised);
  EXPECT_EQ(ClassifySentence(std::string_view(text).substr(0, 7)), kTagGga);
  EXPECT_EQ(ClassifySentence(std::string_view()), kTagUnrecognised);
}

// A log: the name of a file under the test data, or the bytes of one.
struct LogCase {
  std::string input;
  Result result;
  std::int32_t recordCount;
  RequiredTags tags;
};

void ExpectCheck(const std::string& path, const LogCase& expected) {
  const NmeaLogCheck check = CheckNmeaLog(path);
  EXPECT_EQ(check.result, expected.result);
  if (expected.result == Result::Ok) {
    EXPECT_EQ(check.recordCount, expected.recordCount);
    EXPECT_EQ(check.tags, expected.tags);
  }
}

constexpr RequiredTags kAllFour = kTagGga | kTagGll | kTagRmc | kTagZda;

TEST(CheckNmeaLog, CountsTheLogsOfTheTestData) {
  const LogCase cases[] = {
      {"nmea/gga-only.log", Result::Ok, 120, kTagGga},
      {"nmea/gga-rmc-noise.log", Result::Ok, 300, kTagGga | kTagRmc},
      {"nmea/mismatch.log", Result::CountsDisagree, 0, 0},
      {"nmea/all-four-midnight.log", Result::Ok, 40, 0x0143},
      {"nmea/no-position.log", Result::Ok, 0, 0},
      {"nmea/empty.log", Result::Ok, 0, 0},
      {"real/gpsd-quectel-l76k-nmea.log", Result::Ok, 150, kAllFour},
      {"real/gpsd-telit-he910.log", Result::Ok, 224, kTagGga | kTagGll | kTagRmc},
      {"real/dotmorten-TrimbleR2SampleData.txt", Result::Ok, 34, kAllFour},
      // The RMC line that starts with a blank still ends its address field
      // in RMC: 10 GGA and 10 RMC.
      {"real/gpsd-beidou-bd.log", Result::Ok, 10, kTagGga | kTagRmc},
      // A binary blob runs into the first RMC sentence without a line feed;
      // that line is an RMC line too, and the truncated last line counts:
      // 73 RMC against 72 of each other type.
      {"real/gpsd-ublox-8.log", Result::CountsDisagree, 0, 0},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.input);
    ExpectCheck(DataPath(c.input), c);
  }
}

// Lines of the log cases below, as a sentence of each kind.
const std::string kGga = "$GPGGA,123519,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,*50";
const std::string kGll = "$GPGLL,3540.1234,N,13945.6789,E,123519,A*2C";
const std::string kRmc = "$GPRMC,123519,A,3540.1234,N,13945.6789,E,0.0,0.0,050309,,*13";
const std::string kZda = "$GPZDA,123519.00,05,03,2009,00,00*66";
const std::string kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";
const std::string kGsv = "$GPGSV,2,1,08,01,40,083,46,02,17,308,41*75";
const std::string kVtg = "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48";

std::string Repeat(const std::string& line, int times, const char* end = "\n") {
  std::string text;
  for (int i = 0; i < times; ++i) text += line + end;
  return text;
}

TEST(CheckNmeaLog, RequiresTheCountsThatAreNotZeroToAgree) {
  const LogCase cases[] = {
      {Repeat(kGga + "\n" + kRmc + "\n" + kGsv + "\n" + kGsv + "\n" + kGsv + "\n" + kGsa, 50),
       Result::Ok, 50, 0x0041},
      {Repeat(kGga, 50) + Repeat(kRmc, 49), Result::CountsDisagree, 0, 0},
      {Repeat(kRmc, 50) + Repeat(kZda, 51), Result::CountsDisagree, 0, 0},
      {Repeat(kGll, 3) + Repeat(kZda, 2), Result::CountsDisagree, 0, 0},
      {Repeat(kGga + "\n" + kGll + "\n" + kRmc + "\n" + kZda, 50), Result::Ok, 50, 0x0143},
      {Repeat(kGga, 5) + Repeat(kGll, 5) + Repeat(kRmc, 5) + Repeat(kZda, 6), Result::CountsDisagree, 0, 0},
      {Repeat(kZda, 7), Result::Ok, 7, kTagZda},
      {Repeat(kGsa + "\n" + kGsv + "\n" + kVtg, 20), Result::Ok, 0, 0},
      // Lines beginning with "@" are skipped, whatever follows.
      {"@" + kGga + "\n" + Repeat(kRmc, 1), Result::Ok, 1, kTagRmc},
      {"@KESTREL\n@" + kRmc + "\n" + Repeat(kGga + "\n" + kRmc, 2), Result::Ok, 2, kTagGga | kTagRmc},
      // Only a leading "@" makes a header line.
      {" @" + kGga + "\n" + kRmc + "\n", Result::Ok, 1, kTagGga | kTagRmc},
      // Lower case and bare tags are not counted; empty lines are ignored.
      {"$gpgga,1\nGGA\n\n\n" + kRmc + "\nGGA,1,2\n", Result::Ok, 1, kTagGga | kTagRmc},
      // Line ends: CR LF like LF, and a last line without a line feed counts.
      {Repeat(kGga + "\r\n" + kRmc, 3, "\r\n"), Result::Ok, 3, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc, Result::Ok, 1, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc + "\n\n", Result::Ok, 1, kTagGga | kTagRmc},
  };
  TempDir dir;
  const std::string path = dir.Path("case.log");
  for (const LogCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    WriteFileBytes(path, c.input);
    ExpectCheck(path, c);
  }
}

TEST(CheckNmeaLog, SurvivesDamagedLogs) {
  // Every byte value but the comma, line feeds included.
  std::string binary;
  for (int round = 0; round < 16; ++round) {
    for (int byte = 0; byte < 256; ++byte) {
      if (byte != ',') binary += static_cast<char>(byte);
    }
  }
  const std::string longField(50 << 20, 'x');
  const LogCase cases[] = {
      // Zero bytes are bytes like any other.
      {std::string("\0\0\0\n", 4) + std::string("\0", 1) + kGga + "\n" + std::string("$GPRMC\0,1\n", 10) +
           std::string(1000, '\0'),
       Result::Ok, 1, kTagGga},
      // Bytes that are no text, with and without sentences among them.
      {binary, Result::Ok, 0, 0},
      {binary + "\n" + kGga + "\n" + binary + kRmc + "\n" + binary, Result::Ok, 1, kTagGga | kTagRmc},
      // Lines of 50 MB: a long field, and a long address field on a last
      // line without a line feed.
      {kGga + longField + "\n" + kRmc + "\n", Result::Ok, 1, kTagGga | kTagRmc},
      {kRmc + "\n" + longField + "GGA,1", Result::Ok, 1, kTagGga | kTagRmc},
      // Without a line feed the whole file is one line, classified by its
      // first comma; carriage returns alone do not end lines.
      {kGga + kRmc + kRmc, Result::Ok, 1, kTagGga},
      {Repeat(kRmc + "\r" + kGga, 5, "\r"), Result::Ok, 1, kTagRmc},
      {"\r\r\r\r", Result::Ok, 0, 0},
  };
  TempDir dir;
  const std::string path = dir.Path("damaged.log");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    WriteFileBytes(path, cases[i].input);
    ExpectCheck(path, cases[i]);
  }
}

TEST(CheckNmeaLog, RefusesWhatCannotBeOpened) {
  TempDir dir;
  EXPECT_EQ(CheckNmeaLog(dir.Path("missing.log")).result, Result::CannotOpen);
  EXPECT_EQ(CheckNmeaLog(dir.Path()).result, Result::CannotOpen);
  EXPECT_EQ(CheckNmeaLog("").result, Result::CannotOpen);
}

TEST(CheckNmeaLog, ReportsProgressAboutEveryFourMegabytes) {
  TempDir dir;
  const std::string path = dir.Path("large.log");
  constexpr int kRecords = 100000;  // about 13 MB
  WriteFileBytes(path, Repeat(kGga + "\r\n" + kRmc, kRecords, "\r\n"));
  const std::int64_t size = static_cast<std::int64_t>((kGga.size() + kRmc.size() + 4) * kRecords);

  std::vector<std::pair<std::int64_t, std::int64_t>> reports;
  const NmeaLogCheck check =
      CheckNmeaLog(path, [&reports](std::int64_t done, std::int64_t total) {
        reports.emplace_back(done, total);
        return true;
      });
  EXPECT_EQ(check.result, Result::Ok);
  EXPECT_EQ(check.recordCount, kRecords);

  ASSERT_GE(reports.size(), 2u);
  EXPECT_LE(reports.size(), 4u);
  std::int64_t previous = 0;
  for (const auto& [done, total] : reports) {
    EXPECT_EQ(total, size);
    EXPECT_LE(done, total);
    EXPECT_GE(done - previous, std::int64_t{4} << 20);
    previous = done;
  }

  // A small log is read without a report.
  reports.clear();
  CheckNmeaLog(DataPath("nmea/gga-only.log"), [&reports](std::int64_t done, std::int64_t total) {
    reports.emplace_back(done, total);
    return true;
  });
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace kestrel
