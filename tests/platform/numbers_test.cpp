#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kestrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct DecimalCase {
  std::string text;
  double expected;
};

TEST(ReadDecimalNumber, ReadsTheLongestLeadingNumber) {
  const DecimalCase cases[] = {
      // Blanks before the number are skipped; anything else ends it.
      {"", 0.0},
      {"   ", 0.0},
      {"12", 12.0},
      {" \t\n\v\f\r12.5", 12.5},
      {"\xA0" "1", 0.0},  // a non-breaking space is not a blank
      {"45.3,M,39.4", 45.3},
      {"12abc", 12.0},
      {"1.5.5", 1.5},
      {"1 2", 1.0},
      // Signs.
      {"+3.25", 3.25},
      {"-3.25", -3.25},
      {"-", 0.0},
      {"+-1", 0.0},
      {"--1", 0.0},
      {"- 1", 0.0},
      // A point needs digits on one side.
      {".5", 0.5},
      {"-.5", -0.5},
      {"5.", 5.0},
      {".", 0.0},
      {"-.", 0.0},
      // An exponent counts only with digits; otherwise the number ends before the e.
      {"1e3", 1000.0},
      {"1E-2", 0.01},
      {"1e+2", 100.0},
      {"1.e2", 100.0},
      {".5e1", 5.0},
      {"2.5e", 2.5},
      {"1e+", 1.0},
      {"1e-x", 1.0},
      {"1ee2", 1.0},
      {"e5", 0.0},
      {".e5", 0.0},
      // Words and other bases are not numbers: their leading number, or 0.
      {"inf", 0.0},
      {"-inf", 0.0},
      {"infinity", 0.0},
      {"nan", 0.0},
      {"NAN(1)", 0.0},
      {"0x10", 0.0},
      {"0x1p3", 0.0},
      {"010", 10.0},
      // Range.
      {"1e400", kInf},
      {"-1e400", -kInf},
      {"1e99999999999999999999", kInf},
      {"1e-400", 0.0},
      {"1e-99999999999999999999", 0.0},
      {"0e99999", 0.0},
      {"1e0000000000000000000005", 1e5},
      {"1e-0000000000000000000005", 1e-5},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"1.8e308", kInf},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {"0." + std::string(400, '0') + "1e400", 0.1},
      {"0." + std::string(400, '0') + "1", 0.0},
      {"1" + std::string(400, '0') + "e-400", 1.0},
      {"1" + std::string(400, '0'), kInf},
      {"0.1", 0.1},
      {"3540.1234", 3540.1234},
  };
  for (const DecimalCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ReadDecimalNumber(c.text), c.expected);
  }
}

TEST(ReadDecimalNumber, KeepsTheSignOfZero) {
  for (const std::string_view text : {"-0", "-0.0e5", "-.0", "-1e-400"}) {
    SCOPED_TRACE(text);
    const double value = ReadDecimalNumber(text);
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(std::signbit(value));
  }
  EXPECT_FALSE(std::signbit(ReadDecimalNumber("0")));
}

TEST(ReadDecimalNumber, StopsAtTheEndOfTheView) {
  // The view may be part of a longer line: nothing after it is read.
  const std::string_view line = "12.34e5";
  EXPECT_EQ(ReadDecimalNumber(line.substr(0, 3)), 12.0);
  EXPECT_EQ(ReadDecimalNumber(line.substr(0, 6)), 12.34);
  EXPECT_EQ(ReadDecimalNumber(line.substr(0, 0)), 0.0);
}

struct IntegerCase {
  std::string text;
  std::int32_t expected;
};

TEST(ReadIntegerNumber, ReadsSignAndDigitsAndClamps) {
  const IntegerCase cases[] = {
      {"", 0},
      {"0", 0},
      {"42", 42},
      {"  -42x", -42},
      {"+7", 7},
      {" \t\n9", 9},
      {"-", 0},
      {"+", 0},
      {"+-3", 0},
      {"x1", 0},
      {"12.9", 12},
      {"1e3", 1},
      {"0x1A", 0},
      {"08", 8},  // decimal, not octal
      {"09", 9},
      {"000000000000000000000000000012", 12},  // leading zeros do not clamp
      {"2147483647", kMax},
      {"2147483648", kMax},
      {"-2147483647", -kMax},
      {"-2147483648", kMin},
      {"-2147483649", kMin},
      {"123456789012345678901234567890", kMax},
      {"-123456789012345678901234567890", kMin},
      {std::string(1000, '9'), kMax},
  };
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ReadIntegerNumber(c.text), c.expected);
  }
}

TEST(ReadIntegerNumber, StopsAtTheEndOfTheView) {
  const std::string_view date = "050309";
  EXPECT_EQ(ReadIntegerNumber(date.substr(0, 2)), 5);
  EXPECT_EQ(ReadIntegerNumber(date.substr(2, 2)), 3);
  EXPECT_EQ(ReadIntegerNumber(date.substr(4, 2)), 9);
}

TEST(TruncateToInt32, TruncatesTowardZeroAndGivesTheMinimumOutsideTheRange) {
  const struct {
    double value;
    std::int32_t expected;
  } cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {0.5, 0},
      {-0.5, 0},
      {1.9, 1},
      {-1.9, -1},
      {1e-300, 0},
      {35.401234, 35},
      {-139.456789, -139},
      {2147483647.0, kMax},
      {2147483647.9, kMax},
      {2147483648.0, kMin},
      {-2147483648.0, kMin},
      {-2147483648.9, kMin},
      {-2147483647.9, -kMax},
      {-2147483649.0, kMin},
      {1e10, kMin},
      {-1e10, kMin},
      {kInf, kMin},
      {-kInf, kMin},
      {std::numeric_limits<double>::quiet_NaN(), kMin},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.value));
    EXPECT_EQ(TruncateToInt32(c.value), c.expected);
  }
}

}  // namespace
}  // namespace kestrel
