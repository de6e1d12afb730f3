// The input as a .usr file: the directory and its summary text, then the
// points and the summary of the first trails, as the open and trail commands
// read them.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/byte_source.h"
#include "track/loader.h"
#include "track/summary.h"
#include "track/usr_reader.h"

namespace {

// A trail may claim many points wherever it lies; loading the first few
// trails only keeps one input to milliseconds.
constexpr int kTrailsLoaded = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  MemorySource file(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.usr");

  TrackData track;
  if (!ReadUsrFile(track, file)) return 0;  // refused, with its message
  UsrFileSummaryText(track.summary);
  int loaded = 0;
  for (const TrailEntry& trail : track.summary.trails) {
    if (trail.pointCount <= 0) continue;
    if (loaded++ == kTrailsLoaded) break;
    track.summary.SetTrailName(trail.name);
    LoadRequest request;
    request.recordCount = trail.pointCount;
    request.dataOffset = trail.dataOffset;
    request.layout = trail.layout;
    if (LoadPoints(track, request, file)) TrailSummaryText(track.summary);
  }
  return 0;
}
