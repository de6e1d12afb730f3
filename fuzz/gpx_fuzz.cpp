// The input as a GPX file: the listing, keeping the points of an only track,
// then the points of each track it lists, as the open and trail commands
// read a GPX file.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gpx/gpx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  MemorySource file(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.gpx");
  std::vector<TrackPoint> only;
  only.reserve(64);
  const Result<GpxContents> listing = ListGpx(file, only);
  if (!listing) return 0;
  for (std::size_t i = 0; i < listing->tracks.size(); ++i) {
    // Each point takes at least a dozen bytes of the file: no count here can
    // ask for much memory.
    std::vector<TrackPoint> points(static_cast<std::size_t>(listing->tracks[i].pointCount));
    const Result<GpxContents> read = ReadGpx(file, static_cast<std::int32_t>(i), points);
    if (!read) __builtin_trap();  // the same bytes read twice must read the same
    // The points kept while listing are the track's points, in one pass.
    if (!only.empty() && (i != 0 || only.size() != points.size())) __builtin_trap();
    for (std::size_t p = 0; p < only.size(); ++p) {
      if (only[p].latitude != points[p].latitude || only[p].longitude != points[p].longitude ||
          only[p].segmentStart != points[p].segmentStart) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
