// The input as an NMEA log: the check, then, when the counts agree, the
// points and the summary text, as the open command reads a log.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "input_file.h"
#include "nmea/sentence.h"
#include "track/loader.h"
#include "track/summary.h"

// A zone with a bias, so that the moves between local and universal time are
// exercised; fixed here so that a finding reproduces in any environment.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TZ", "JST-9", 1);
  ::tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  static fuzz::InputFile input;
  const std::string& path = input.Hold(data, size);

  const NmeaLogCheck check = CheckNmeaLog(path);
  if (check.result != NmeaLogCheck::Result::Ok) return 0;
  TrackData track;
  if (!track.AllocatePoints(check.recordCount)) return 0;
  LoadPoints(track, {path, check.recordCount, 0, LoadKind::NmeaLog, check.tags});
  NmeaSummaryText(track.summary);
  return 0;
}
