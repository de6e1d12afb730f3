#include "support/written_text.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "support/test_support.h"

namespace kestrel::test {

TrackData TrackOf(const std::vector<TrackPoint>& points) {
  TrackData track;
  EXPECT_TRUE(track.AllocatePoints(static_cast<std::int32_t>(points.size())));
  track.points = points;
  return track;
}

TrackData SampleTrack() {
  return TrackOf({
      {35.66872333333334, 139.76131500000002, 45.3, 1236256519},  // 2009-03-05 12:35:19 UTC
      {5.5, 139.25, 45.9, 1236297903},                            // 2009-03-06 00:05:03 UTC
      {35.5, 139.25, -0.5, 0},                                     // no time known
      {35.7, 139.8, kNoAltitude, -1},                              // 1969-12-31 23:59:59 UTC
      {35.71, 139.81, 12.0, 1236297600},                           // 2009-03-06 00:00:00 UTC
      {35.72, 139.82, 1234.56, 1236351600},                        // 2009-03-07 00:00:00 in Tokyo
      {35.73, 139.83, 100.0, 1246449600},                          // 2009-07-01 08:00:00 in New York
  });
}

TrackData SegmentedTrack() {
  constexpr TimeKind kDated = TimeKind::DateAndTime;
  TrackData track = TrackOf({
      {35.66872333333334, 139.76131500000002, 45.3, 1714699200, kDated},
      {35.6688, 139.7614, kNoAltitude, 1714699205, kDated},
      {35.6689, 139.7615, 46.25, 1714699210, kDated},
      {35.67, 139.77, 50.0, 1714702800, kDated, true},  // an hour later
      {-0.000000004, -0.5, -1.5, 1714706400, kDated, true},
      {-33.8567844, -151.2152967, 8848.86, 1714706405, kDated},
  });
  track.name = "朝 & <walk>";
  track.wayPoints = {
      {"Tea & \"cake\"", "2F, <left>\nthen right\x01", 35.5, 139.25, 12.5, 1714698000, kDated},
      {"南", "", -33.9, -151.2},
  };
  return track;
}

std::string WrittenText(TrackWriter writer, const TrackData& track, const TrackWriterOptions& options) {
  TempDir folder;
  const std::string path = folder.Path("written");
  TextOutput output;
  EXPECT_TRUE(output.Create(path));
  EXPECT_TRUE(writer(track, output, options, {}));
  EXPECT_TRUE(output.Commit());
  return ReadFileBytes(path);
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
  }
  return lines;
}

}  // namespace kestrel::test
