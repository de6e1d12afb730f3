#include "nmea/sentence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "support/test_support.h"

namespace kestrel {
namespace {

using test::DataPath;

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

enum class Outcome { Ok, CountsDisagree };

// A log: the name of a file under the test data, or the bytes of one.
struct LogCase {
  std::string input;
  Outcome result;
  std::int32_t recordCount;
  RequiredTags tags;
};

void ExpectCheck(const std::string& bytes, const LogCase& expected) {
  MemorySource log(bytes, "case.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(log);
  ASSERT_EQ(check.has_value(), expected.result == Outcome::Ok);
  if (check) {
    EXPECT_EQ(check->recordCount, expected.recordCount);
    EXPECT_EQ(check->tags, expected.tags);
  } else {
    EXPECT_EQ(check.error().message.text, kTagCountMismatchMessage);
  }
}

constexpr RequiredTags kAllFour = kTagGga | kTagGll | kTagRmc | kTagZda;

TEST(CheckNmeaLog, CountsTheLogsOfTheTestData) {
  const LogCase cases[] = {
      {"nmea/gga-only.log", Outcome::Ok, 120, kTagGga},
      {"nmea/gga-rmc-noise.log", Outcome::Ok, 300, kTagGga | kTagRmc},
      {"nmea/mismatch.log", Outcome::CountsDisagree, 0, 0},
      {"nmea/all-four-midnight.log", Outcome::Ok, 40, 0x0143},
      {"nmea/no-position.log", Outcome::Ok, 0, 0},
      {"nmea/empty.log", Outcome::Ok, 0, 0},
      {"real/gpsd-quectel-l76k-nmea.log", Outcome::Ok, 150, kAllFour},
      {"real/gpsd-telit-he910.log", Outcome::Ok, 224, kTagGga | kTagGll | kTagRmc},
      {"real/dotmorten-TrimbleR2SampleData.txt", Outcome::Ok, 34, kAllFour},
      // The RMC line that starts with a blank still ends its address field
      // in RMC: 10 GGA and 10 RMC.
      {"real/gpsd-beidou-bd.log", Outcome::Ok, 10, kTagGga | kTagRmc},
      // A binary blob runs into the first RMC sentence without a line feed;
      // that line is an RMC line too, and the truncated last line counts:
      // 73 RMC against 72 of each other type.
      {"real/gpsd-ublox-8.log", Outcome::CountsDisagree, 0, 0},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.input);
    ExpectCheck(test::ReadFileBytes(DataPath(c.input)), c);
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
       Outcome::Ok, 50, 0x0041},
      {Repeat(kGga, 50) + Repeat(kRmc, 49), Outcome::CountsDisagree, 0, 0},
      {Repeat(kRmc, 50) + Repeat(kZda, 51), Outcome::CountsDisagree, 0, 0},
      {Repeat(kGll, 3) + Repeat(kZda, 2), Outcome::CountsDisagree, 0, 0},
      {Repeat(kGga + "\n" + kGll + "\n" + kRmc + "\n" + kZda, 50), Outcome::Ok, 50, 0x0143},
      {Repeat(kGga, 5) + Repeat(kGll, 5) + Repeat(kRmc, 5) + Repeat(kZda, 6), Outcome::CountsDisagree, 0, 0},
      {Repeat(kZda, 7), Outcome::Ok, 7, kTagZda},
      {Repeat(kGsa + "\n" + kGsv + "\n" + kVtg, 20), Outcome::Ok, 0, 0},
      // Lines beginning with "@" are skipped, whatever follows.
      {"@" + kGga + "\n" + Repeat(kRmc, 1), Outcome::Ok, 1, kTagRmc},
      {"@KESTREL\n@" + kRmc + "\n" + Repeat(kGga + "\n" + kRmc, 2), Outcome::Ok, 2, kTagGga | kTagRmc},
      // Only a leading "@" makes a header line.
      {" @" + kGga + "\n" + kRmc + "\n", Outcome::Ok, 1, kTagGga | kTagRmc},
      // Lower case and bare tags are not counted; empty lines are ignored.
      {"$gpgga,1\nGGA\n\n\n" + kRmc + "\nGGA,1,2\n", Outcome::Ok, 1, kTagGga | kTagRmc},
      // Line ends: CR LF like LF, and a last line without a line feed counts.
      {Repeat(kGga + "\r\n" + kRmc, 3, "\r\n"), Outcome::Ok, 3, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc, Outcome::Ok, 1, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc + "\n\n", Outcome::Ok, 1, kTagGga | kTagRmc},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    ExpectCheck(c.input, c);
  }
  // The detail gives the counts that disagree.
  const std::string disagreeing = Repeat(kGga, 50) + Repeat(kRmc, 49);
  MemorySource log(disagreeing, "day.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(log);
  ASSERT_FALSE(check);
  EXPECT_EQ(check.error().message.detail, "day.log: GGA 50, RMC 49");
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
       Outcome::Ok, 1, kTagGga},
      // Bytes that are no text, with and without sentences among them.
      {binary, Outcome::Ok, 0, 0},
      {binary + "\n" + kGga + "\n" + binary + kRmc + "\n" + binary, Outcome::Ok, 1, kTagGga | kTagRmc},
      // Lines of 50 MB: a long field, and a long address field on a last
      // line without a line feed.
      {kGga + longField + "\n" + kRmc + "\n", Outcome::Ok, 1, kTagGga | kTagRmc},
      {kRmc + "\n" + longField + "GGA,1", Outcome::Ok, 1, kTagGga | kTagRmc},
      // Without a line feed the whole file is one line, classified by its
      // first comma; carriage returns alone do not end lines.
      {kGga + kRmc + kRmc, Outcome::Ok, 1, kTagGga},
      {Repeat(kRmc + "\r" + kGga, 5, "\r"), Outcome::Ok, 1, kTagRmc},
      {"\r\r\r\r", Outcome::Ok, 0, 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    ExpectCheck(cases[i].input, cases[i]);
  }
}

}  // namespace
}  // namespace kestrel
