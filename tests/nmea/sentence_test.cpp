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

constexpr RequiredTags kAllFour = kTagGga | kTagGll | kTagRmc | kTagZda;

enum class Outcome { Agree, CountsDisagree };

// A log: the name of a file under the test data, or the bytes of one.
struct LogCase {
  std::string input;
  Outcome result;
  std::int64_t recordCount;  // when the counts agree
  RequiredTags tags;
  std::int64_t skippedLines = 0;
};

void ExpectCheck(const std::string& bytes, const LogCase& expected) {
  MemorySource log(bytes, "case.log");
  const Result<NmeaLogCheck> check = CheckNmeaLog(log);
  ASSERT_TRUE(check);
  EXPECT_EQ(check->countsAgree, expected.result == Outcome::Agree);
  if (check->countsAgree) {
    EXPECT_EQ(check->recordCount, expected.recordCount);
  }
  EXPECT_EQ(check->tags, expected.tags);
  EXPECT_EQ(check->skippedLines, expected.skippedLines);
}

TEST(CheckNmeaLog, CountsTheLogsOfTheTestData) {
  const LogCase cases[] = {
      {"nmea/gga-only.log", Outcome::Agree, 120, kTagGga},
      {"nmea/gga-rmc-noise.log", Outcome::Agree, 300, kTagGga | kTagRmc},
      {"nmea/mismatch.log", Outcome::CountsDisagree, 0, kTagGga | kTagRmc},
      {"nmea/all-four-midnight.log", Outcome::Agree, 40, 0x0143},
      {"nmea/no-position.log", Outcome::Agree, 0, 0},
      {"nmea/empty.log", Outcome::Agree, 0, 0},
      {"real/gpsd-quectel-l76k-nmea.log", Outcome::Agree, 150, kAllFour},
      {"real/gpsd-telit-he910.log", Outcome::Agree, 224, kTagGga | kTagGll | kTagRmc},
      {"real/dotmorten-TrimbleR2SampleData.txt", Outcome::Agree, 34, kAllFour},
      // The RMC line that starts with a blank still ends its address field
      // in RMC: 10 GGA and 10 RMC.
      {"real/gpsd-beidou-bd.log", Outcome::Agree, 10, kTagGga | kTagRmc},
      // A binary blob runs into the first RMC sentence without a line feed;
      // that line is an RMC line too (its sentence, from its "$", has the
      // right checksum), and the truncated last line counts: 73 RMC against
      // 72 of each other type.
      {"real/gpsd-ublox-8.log", Outcome::CountsDisagree, 0, kAllFour},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.input);
    ExpectCheck(test::ReadFileBytes(DataPath(c.input)), c);
  }
}

// Lines of the log cases below, as a sentence of each kind.
const std::string kGga = "$GPGGA,123519,3540.1234,N,13945.6789,E,1,08,0.9,45.3,M,39.4,M,,*7E";
const std::string kGll = "$GPGLL,3540.1234,N,13945.6789,E,123519,A*2B";
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
       Outcome::Agree, 50, 0x0041},
      {Repeat(kGga, 50) + Repeat(kRmc, 49), Outcome::CountsDisagree, 0, kTagGga | kTagRmc},
      {Repeat(kRmc, 50) + Repeat(kZda, 51), Outcome::CountsDisagree, 0, kTagRmc | kTagZda},
      {Repeat(kGll, 3) + Repeat(kZda, 2), Outcome::CountsDisagree, 0, kTagGll | kTagZda},
      {Repeat(kGga + "\n" + kGll + "\n" + kRmc + "\n" + kZda, 50), Outcome::Agree, 50, 0x0143},
      {Repeat(kGga, 5) + Repeat(kGll, 5) + Repeat(kRmc, 5) + Repeat(kZda, 6), Outcome::CountsDisagree, 0, kAllFour},
      {Repeat(kZda, 7), Outcome::Agree, 7, kTagZda},
      {Repeat(kGsa + "\n" + kGsv + "\n" + kVtg, 20), Outcome::Agree, 0, 0},
      // Lines beginning with "@" are skipped, whatever follows.
      {"@" + kGga + "\n" + Repeat(kRmc, 1), Outcome::Agree, 1, kTagRmc},
      {"@KESTREL\n@" + kRmc + "\n" + Repeat(kGga + "\n" + kRmc, 2), Outcome::Agree, 2, kTagGga | kTagRmc},
      // Only a leading "@" makes a header line.
      {" @" + kGga + "\n" + kRmc + "\n", Outcome::Agree, 1, kTagGga | kTagRmc},
      // Lower case and bare tags are not counted; empty lines are ignored.
      {"$gpgga,1\nGGA\n\n\n" + kRmc + "\nGGA,1,2\n", Outcome::Agree, 1, kTagGga | kTagRmc},
      // Line ends: CR LF like LF, and a last line without a line feed counts.
      {Repeat(kGga + "\r\n" + kRmc, 3, "\r\n"), Outcome::Agree, 3, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc, Outcome::Agree, 1, kTagGga | kTagRmc},
      {kGga + "\n" + kRmc + "\n\n", Outcome::Agree, 1, kTagGga | kTagRmc},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    ExpectCheck(c.input, c);
  }
}

TEST(CheckNmeaLog, SkipsAndCountsLinesThatCannotBeTrusted) {
  const std::string wrongGga = kGga.substr(0, kGga.size() - 2) + "7F";
  const std::string longLine(kLongestLine + 1, 'x');
  const LogCase cases[] = {
      // A sentence of the four types whose checksum is wrong; its type then
      // disagrees in number.
      {kGga + "\n" + kRmc + "\n" + wrongGga + "\n" + kRmc + "\n", Outcome::CountsDisagree, 0, kTagGga | kTagRmc, 1},
      // No checksum, or one that is not two hexadecimal digits, is none;
      // lower-case digits are digits; other types are not checked.
      {kGga.substr(0, kGga.size() - 3) + "\n" + kRmc.substr(0, kRmc.size() - 2) + "1G\n", Outcome::Agree, 1,
       kTagGga | kTagRmc},
      {kGll.substr(0, kGll.size() - 1) + "b\n$GPGSV,2,1,08*00\n", Outcome::Agree, 1, kTagGll},
      // The sentence of a line begins after the last "$" of its address
      // field; a carriage return after the checksum is no part of it.
      {"junk$" + kRmc.substr(1) + "\r\n  " + kGga + "\r\n", Outcome::Agree, 1, kTagGga | kTagRmc},
      // Lines over the limit, whatever they hold, and one just at it.
      {longLine + "\n" + kRmc + "\n" + kRmc + longLine + "\n" + longLine, Outcome::Agree, 1, kTagRmc, 3},
      {std::string(kLongestLine - kRmc.size(), ' ') + kRmc + "\n", Outcome::Agree, 1, kTagRmc},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input.substr(0, 200)));
    ExpectCheck(c.input, c);
  }
}

TEST(HasWrongChecksum, ComparesTheExclusiveOrOfTheSentence) {
  EXPECT_FALSE(HasWrongChecksum(kRmc));
  EXPECT_FALSE(HasWrongChecksum("$GPGLL,3540.1234,N,13945.6789,E,123519,A*2b\r"));
  EXPECT_TRUE(HasWrongChecksum("$GPGLL,3540.1234,N,13945.6789,E,123519,A*2C"));
  EXPECT_FALSE(HasWrongChecksum("*00"));  // nothing before the "*": 0
  EXPECT_TRUE(HasWrongChecksum("*01"));
  EXPECT_FALSE(HasWrongChecksum("$GPGGA,1*"));
  EXPECT_FALSE(HasWrongChecksum(""));
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
       Outcome::Agree, 1, kTagGga},
      // Bytes that are no text, with and without sentences among them.
      {binary, Outcome::Agree, 0, 0},
      {binary + "\n" + kGga + "\n" + binary + kRmc + "\n" + binary, Outcome::Agree, 1, kTagGga | kTagRmc},
      // Lines of 50 MB are no sentences, wherever they end: a long field,
      // and a long address field on a last line without a line feed.
      {kGga + longField + "\n" + kRmc + "\n", Outcome::Agree, 1, kTagRmc, 1},
      {kRmc + "\n" + longField + "GGA,1", Outcome::Agree, 1, kTagRmc, 1},
      // Without a line feed the whole file is one line, classified by its
      // first comma; carriage returns alone do not end lines. Sentences run
      // together so are damaged: the checksum at the end is not theirs.
      {kGga + kRmc + kRmc, Outcome::Agree, 0, 0, 1},
      {Repeat(kRmc + "\r" + kGga, 5, "\r"), Outcome::Agree, 0, 0, 1},
      {"\r\r\r\r", Outcome::Agree, 0, 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    ExpectCheck(cases[i].input, cases[i]);
  }
}

}  // namespace
}  // namespace kestrel
