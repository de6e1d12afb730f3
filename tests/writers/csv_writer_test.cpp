// The CSV track file: its header row and the row of one point.

#include "writers/csv_writer.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "support/written_text.h"

namespace kestrel {
namespace {

TEST(WriteCsvTrack, WritesTheHeaderRowThenOneRowPerPoint) {
  const struct {
    TrackPoint point;
    bool useUtc;
    const char* timeZone;
    const char* row;
  } cases[] = {
      // The examples of the format; the sample track's golden files hold the
      // other times, the time of 0 in every zone and the missing altitude.
      {{35.66872333333334, 139.76131500000002, 45.3, 1236256519}, true, "Asia/Tokyo",
       "N35.668723,E139.761315,H45.300000,12:35:19, "},
      {{35.5, 139.25, kNoAltitude, 1236297903}, false, "Asia/Tokyo", "N35.500000,E139.250000,H-9999.000000,9:5:3, "},
      // Negative values keep their sign after the letter, also when they
      // round to zero.
      // South and west: the letter, then the magnitude.
      {{-0.0000004, -139.25, -0.5, 1}, true, "UTC", "S0.000000,W139.250000,H-0.500000,0:0:1, "},
  };
  for (const auto& c : cases) {
    const test::ScopedTimeZone zone(c.timeZone);
    const std::vector<std::string> lines =
        test::CrLfLines(test::WrittenText(WriteCsvTrack, test::TrackOf({c.point}), {1.0, false, c.useUtc}));
    EXPECT_EQ(lines, (std::vector<std::string>{"latitude,longitude,altitude,time", c.row}));
  }
}

}  // namespace
}  // namespace kestrel
