// The PCX5 track file: its fixed header and the T line of one point.

#include "writers/pcx5_writer.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/test_support.h"
#include "support/written_text.h"

namespace kestrel {
namespace {

TEST(WritePcx5Track, WritesTheTwelveHeaderLinesExactly) {
  const std::vector<std::string> lines = test::CrLfLines(test::WrittenText(WritePcx5Track, test::TrackOf({{}}), {}));
  ASSERT_EQ(lines.size(), 13u);
  const std::vector<std::string> header(lines.begin(), lines.begin() + 12);
  EXPECT_EQ(header, (std::vector<std::string>{
                        "H  SOFTWARE NAME & VERSION",
                        "I  PCX5 2.09",
                        "",
                        "H  COORDINATE SYSTEM",
                        "U  LAT LON DEG",
                        "",
                        "H  R DATUM                IDX DA            DF            DX            DY            DZ",
                        "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 "
                        "+0.000000e+00",
                        "",
                        "H \x90\x56\x8B\x4B",  // 新規 in code page 932
                        "",
                        "H  LATITUDE    LONGITUDE    DATE      TIME     ALT",
                    }));
  EXPECT_EQ(header[6].size(), 88u);
  EXPECT_EQ(header[7].size(), 99u);
  EXPECT_EQ(header[11].size(), 50u);
}

std::string TrackLine(const TrackPoint& point, bool useUtc) {
  const std::vector<std::string> lines =
      test::CrLfLines(test::WrittenText(WritePcx5Track, test::TrackOf({point}), {1.0, false, useUtc}));
  return lines.size() == 13 ? lines[12] : "";
}

TEST(WritePcx5Track, WritesPositionDateTimeAndTruncatedAltitude) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const struct {
    TrackPoint point;
    bool useUtc;
    const char* timeZone;
    const char* line;
  } cases[] = {
      // The examples of the format; the sample track's golden files hold the
      // other altitudes, the time of 0 and the local times.
      {{35.66872333333334, 139.76131500000002, 45.3, 1236256519}, true, "Asia/Tokyo",
       "T  N35.6687233 E139.7613150 05-MAR-09 12:35:19 45"},
      {{5.5, 139.25, 45.9, 0}, true, "Asia/Tokyo", "T  N5.5000000 E139.2500000 01-JAN-70 00:00:00 45"},
      // Negative values keep their sign after the letter.
      {{-0.5, -139.25, -12.7, 0}, true, "UTC", "T  S0.5000000 W139.2500000 01-JAN-70 00:00:00 -12"},
      // The ends of the 32-bit times, as the C library converts them.
      {{35.5, 139.25, 0.0, std::numeric_limits<std::int32_t>::min()}, true, "UTC",
       "T  N35.5000000 E139.2500000 13-DEC-01 20:45:52 0"},
      {{35.5, 139.25, 0.0, std::numeric_limits<std::int32_t>::max()}, false, "Asia/Tokyo",
       "T  N35.5000000 E139.2500000 19-JAN-38 12:14:07 0"},
      // An altitude beyond 32 bits truncates as the conversion instruction
      // does; a number shorter than the field is right-aligned in it.
      {{inf, 139.25, 1e300, 0}, true, "UTC", "T  N      inf E139.2500000 01-JAN-70 00:00:00 -2147483648"},
  };
  for (const auto& c : cases) {
    const test::ScopedTimeZone zone(c.timeZone);
    EXPECT_EQ(TrackLine(c.point, c.useUtc), c.line);
  }
}

TEST(WritePcx5Track, NamesTheMonthsInEnglishUpperCase) {
  const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const test::ScopedTimeZone zone("UTC");
  for (int month = 0; month < 12; ++month) {
    // The 15th of each month of 2009 at noon.
    std::tm date{};
    date.tm_year = 109;
    date.tm_mon = month;
    date.tm_mday = 15;
    date.tm_hour = 12;
    const auto time = static_cast<std::int32_t>(timegm(&date));
    EXPECT_EQ(TrackLine({35.5, 139.25, 0.0, time}, true).substr(28, 18),
              std::string("15-") + months[month] + "-09 12:00:00");
  }
}

}  // namespace
}  // namespace kestrel
