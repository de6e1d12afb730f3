// The input as an NMEA log: the check, then the points and the summary text,
// as the open command reads a log (with a date given, so that dateless
// records are dated too).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "nmea/sentence.h"
#include "platform/byte_source.h"
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
  MemorySource log(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.log");

  const Result<NmeaLogCheck> check = CheckNmeaLog(log);
  if (!check) return 0;
  LoadRequest request;
  request.kind = LoadKind::NmeaLog;
  request.tagMask = check->tags;
  request.records = check->ReadAsFirstRelease() ? NmeaRecords::OneOfEachType : NmeaRecords::ByTime;
  request.recordCount = check->ReadAsFirstRelease() ? check->recordCount : check->sentenceCount;
  request.date = CalendarDate{2026, 12, 31};
  TrackData track;
  if (LoadPoints(track, request, log)) NmeaSummaryText(track.summary);
  return 0;
}
