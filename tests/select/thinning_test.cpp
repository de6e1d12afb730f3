// The checks of an explicit point count, on texts of any bytes.

#include "select/thinning.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

ThinningChoice CountOf(const std::string& text) { return {true, text, 0}; }
// Percentage mode at the list's first entry, "100".
const ThinningChoice kAllPoints{};

TrackData TrackOf(std::int32_t count) {
  TrackData track;
  EXPECT_TRUE(track.AllocatePoints(count));
  return track;
}

TEST(ExplicitPointCount, ReadsTheLeadingDecimalNumberOfAnyText) {
  const struct {
    std::string text;
    std::int32_t expected;
  } cases[] = {
      {"", 0},
      {"7", 7},
      {" 7abc", 7},
      {"\t\n12", 12},
      {"+5", 5},
      {"-5", -5},
      {"5 7", 5},
      {"+ 5", 0},
      {"--5", 0},
      {"0x10", 0},
      {"abc", 0},
      {"123456789012345678901234567890", 2147483647},
      {"-123456789012345678901234567890", -2147483647 - 1},
      {"\xEF\xBC\x97", 0},  // a full-width 7
      {std::string("\0" "9", 2), 0},
      {"\xFF\xFE" "8", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ExplicitPointCount(CountOf(c.text)), c.expected) << c.text;
}

TEST(ThinningProblem, ReportsTheFirstProblemInTheCommandsOrder) {
  const std::optional<std::string> none;
  const struct {
    std::int32_t points;  // -1: no track loaded
    ThinningChoice choice;
    std::optional<std::string> expected;
  } cases[] = {
      {-1, CountOf("abc"), kNoTrackMessage},  // no track comes before the count
      {0, CountOf("5"), kNoTrackMessage},
      {-1, kAllPoints, kNoTrackMessage},
      {10, CountOf("11"), kTooManyPointsMessage},
      {10, CountOf("123456789012345678901234567890"), kTooManyPointsMessage},
      {10, CountOf("1"), kTooFewPointsMessage},
      {10, CountOf("-5"), kTooFewPointsMessage},
      {10, CountOf("abc"), kTooFewPointsMessage},
      {10, CountOf(""), kTooFewPointsMessage},
      {10, CountOf("-123456789012345678901234567890"), kTooFewPointsMessage},
      {10, CountOf("\xEF\xBC\x97"), kTooFewPointsMessage},
      {1, CountOf("1"), kTooFewPointsMessage},
      {1, CountOf("2"), kTooManyPointsMessage},  // the upper bound is tested first
      {10, CountOf(" 7abc"), none},
      {10, CountOf("10"), none},
      {10, CountOf("2"), none},
      {10, {false, "abc", 0}, none},  // the count text is ignored in percentage mode
      {1, kAllPoints, none},
  };
  for (const auto& c : cases) {
    const TrackData track = c.points < 0 ? TrackData{} : TrackOf(c.points);
    EXPECT_EQ(ThinningProblem(track, c.choice), c.expected)
        << c.points << " points, text " << testing::PrintToString(c.choice.pointCountText);
  }
}

}  // namespace
}  // namespace kestrel
