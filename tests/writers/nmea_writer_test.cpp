// The NMEA log: its sentences, their checksum, and reading the log back.

#include "writers/nmea_writer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/loaded_track.h"
#include "support/test_support.h"
#include "support/written_text.h"

namespace kestrel {
namespace {

TEST(NmeaChecksum, CombinesEveryByteBeforeTheFirstStarExceptDollars) {
  const struct {
    std::string_view text;
    std::uint8_t sum;
  } cases[] = {
      {"$GPGGA,,3540.123400,N,13945.678900,E,,,,,,,,*", 0x4d},
      {"$GPGGA,,3540.123400,N,13945.678900,E,,,,,,,,*4d", 0x4d},
      {"GPGGA,,3540.123400,N,13945.678900,E,,,,,,,,", 0x4d},
      {"$$A$", 'A'},
      {"A*B*C", 'A'},
      {"AB", 'A' ^ 'B'},
      {"", 0},
      {"*A", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NmeaChecksum(c.text), c.sum) << c.text;
}

TEST(WriteGgaSentence, WritesThePositionInDegreesAndMinutes) {
  const struct {
    double latitude, longitude;
    const char* sentence;
  } cases[] = {
      {35.66872333333334, 139.76131500000002, "$GPGGA,,3540.123400,N,13945.678900,E,,,,,,,,*4d\n"},
      {35.5, 139.25, "$GPGGA,,3530.000000,N,13915.000000,E,,,,,,,,*4b\n"},
      {5.5, 0.0, "$GPGGA,,530.000000,N,0.000000,E,,,,,,,,*77\n"},
      // The letters stay N and E; both parts of a negative value are negative.
      {-35.5, -139.25, "$GPGGA,,3530.000000,S,13915.000000,W,,,,,,,,*44\n"},
  };
  for (const auto& c : cases) {
    std::string text = "kept:";
    WriteGgaSentence(text, {c.latitude, c.longitude, 123.0, 1236256519});
    EXPECT_EQ(text, std::string("kept:") + c.sentence);
  }
}

TEST(WriteNmeaLog, IgnoresTheUtcFlag) {
  const test::ScopedTimeZone zone("Asia/Tokyo");
  const TrackData track = test::SampleTrack();
  EXPECT_EQ(test::WrittenText(WriteNmeaLog, track, {1.0, false, true}),
            test::WrittenText(WriteNmeaLog, track, {1.0, false, false}));
}

// The log read back by the program's own NMEA reader: the same positions to
// six decimals of a minute, south and west included, and neither altitude
// nor time.
TEST(WriteNmeaLog, ReadsBackThroughTheNmeaReader) {
  TrackData southWest = test::SampleTrack();
  for (TrackPoint& point : southWest.points) point.latitude = -point.latitude, point.longitude -= 180.0;
  southWest.ComputeStatistics();
  for (const TrackData& source : {test::SampleTrack(), test::LoadedTrack(test::DataPath("nmea/gga-rmc-noise.log")),
                                  southWest}) {
    {
      const std::string text = test::WrittenText(WriteNmeaLog, source, {});
      const test::TempDir folder;
      test::WriteFileBytes(folder.Path("back.log"), text);
      const TrackData back = test::LoadedTrack(folder.Path("back.log"));
      ASSERT_EQ(back.pointCount, source.pointCount);
      for (std::size_t i = 0; i < source.points.size(); ++i) {
        const TrackPoint& a = source.points[i];
        const TrackPoint& b = back.points[i];
        EXPECT_LE(std::fabs(a.latitude - b.latitude) * 60.0, 0.5e-6 + 1e-9) << i;
        EXPECT_LE(std::fabs(a.longitude - b.longitude) * 60.0, 0.5e-6 + 1e-9) << i;
        EXPECT_EQ(b.altitude, kNoAltitude) << i;
        EXPECT_EQ(b.time, 0) << i;
        EXPECT_EQ(b.timeKind, TimeKind::None) << i;
      }
      // The positions read back give the same digits again.
      EXPECT_EQ(test::WrittenText(WriteNmeaLog, back, {}), text);
    }
  }
}

}  // namespace
}  // namespace kestrel
