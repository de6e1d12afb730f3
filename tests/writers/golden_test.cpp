// The three writers on a small track, byte for byte: local time and UTC in
// two zones, smoothing, and thinning by percentage and by count.

#include <gtest/gtest.h>

#include <cctype>

#include "support/test_support.h"
#include "writers/csv_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pcx5_writer.h"
#include "support/written_text.h"

namespace kestrel {
namespace {

struct GoldenCase {
  std::string golden;  // tests/data/writers/<golden>
  test::TrackWriter writer;
  TrackWriterOptions options;
  const char* timeZone;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.golden; }

class WriterGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(WriterGolden, WritesTheExpectedBytes) {
  const GoldenCase& c = GetParam();
  const test::ScopedTimeZone zone(c.timeZone);
  test::ExpectMatchesGolden(test::WrittenText(c.writer, test::SampleTrack(), c.options), "writers/" + c.golden);
}

std::vector<GoldenCase> Cases() {
  // The sample track has 7 points: 50 % keeps 4 of them, 3 / 7 keeps 3.
  const TrackWriterOptions local{1.0, false, false};
  const TrackWriterOptions utc{1.0, false, true};
  const TrackWriterOptions smooth{1.0, true, true};
  const TrackWriterOptions half{0.5, false, true};
  const TrackWriterOptions three{3.0 / 7.0, true, true};
  std::vector<GoldenCase> cases;
  const std::pair<const char*, test::TrackWriter> writers[] = {{"trk", WritePcx5Track}, {"csv", WriteCsvTrack}};
  for (const auto& [extension, writer] : writers) {
    const std::string ext = extension;
    cases.push_back({"local-tokyo." + ext, writer, local, "Asia/Tokyo"});
    cases.push_back({"local-newyork." + ext, writer, local, "America/New_York"});
    cases.push_back({"utc-tokyo." + ext, writer, utc, "Asia/Tokyo"});
    cases.push_back({"utc-newyork." + ext, writer, utc, "America/New_York"});
    cases.push_back({"smooth." + ext, writer, smooth, "Asia/Tokyo"});
    cases.push_back({"rate50." + ext, writer, half, "Asia/Tokyo"});
    cases.push_back({"points3-smooth." + ext, writer, three, "Asia/Tokyo"});
  }
  cases.push_back({"plain.log", WriteNmeaLog, local, "Asia/Tokyo"});
  cases.push_back({"smooth.log", WriteNmeaLog, smooth, "Asia/Tokyo"});
  cases.push_back({"rate50.log", WriteNmeaLog, half, "Asia/Tokyo"});
  cases.push_back({"points3-smooth.log", WriteNmeaLog, three, "Asia/Tokyo"});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(SampleTrack, WriterGolden, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.golden;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// Every writer: the header, then one line per kept point, each ending in CR
// LF; the first and last point at any rate.
TEST(TrackWriters, WriteTheHeaderAndOneLinePerKeptPoint) {
  const struct {
    test::TrackWriter writer;
    std::size_t headerLines;
  } writers[] = {{WritePcx5Track, 12}, {WriteNmeaLog, 1}, {WriteCsvTrack, 1}};
  const struct {
    std::size_t points;
    double usageRate;
    std::size_t kept;
  } cases[] = {{1, 1.0, 1}, {1, 0.01, 1}, {2, 0.01, 2}, {10, 1.0, 10}, {10, 0.5, 5}, {0, 1.0, 0}};
  for (const auto& w : writers) {
    for (const auto& c : cases) {
      const TrackData track = test::TrackOf(std::vector<TrackPoint>(c.points, TrackPoint{35.5, 139.25, 10.0, 1}));
      const std::vector<std::string> lines = test::CrLfLines(test::WrittenText(w.writer, track, {c.usageRate}));
      EXPECT_EQ(lines.size(), w.headerLines + c.kept) << c.points << " points at " << c.usageRate;
    }
  }
}

}  // namespace
}  // namespace kestrel
