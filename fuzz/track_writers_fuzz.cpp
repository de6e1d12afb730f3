// The input as a track: the three track file writers and the map script
// writer write it, and every text they write must be lines ending in CR LF
// with no "nan" or "inf" in them, since every position given is finite.
//
// Layout: byte 0 holds switches (bit 0 smoothing, bit 1 UTC times, bit 2 the
// point count mode of the map script, bit 3 its draw replay); byte 1 the
// percentage (1 to 100) or the point count; then 22 bytes a point:
// latitude and longitude as signed 32-bit 1e-7 degrees, altitude as signed
// 32-bit centimetres (-999900 for none), time as signed 32-bit seconds, one
// byte of time kind (low bits) and segment start (bit 7), one unused byte;
// all little-endian.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "output_folder.h"
#include "platform/atomic_file.h"
#include "webmap/map_script.h"
#include "webmap/site_templates.h"
#include "writers/csv_writer.h"
#include "writers/nmea_writer.h"
#include "writers/pcx5_writer.h"

namespace {

using namespace kestrel;

constexpr std::size_t kRecordSize = 22;

std::int32_t Int32At(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                   static_cast<std::uint32_t>(bytes[2]) << 16 |
                                   static_cast<std::uint32_t>(bytes[3]) << 24);
}

TrackData TrackOf(const std::uint8_t* data, std::size_t size) {
  TrackData track;
  const std::size_t count = size / kRecordSize;
  if (!track.AllocatePoints(static_cast<std::int32_t>(count))) std::abort();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* record = data + i * kRecordSize;
    TrackPoint& point = track.points[i];
    point.latitude = Int32At(record) * 1e-7;
    point.longitude = Int32At(record + 4) * 1e-7;
    const std::int32_t altitude = Int32At(record + 8);
    point.altitude = altitude == -999900 ? kNoAltitude : altitude * 0.01;
    point.time = Int32At(record + 12);
    point.timeKind = static_cast<TimeKind>((record[16] & 0x7F) % 3);
    point.segmentStart = (record[16] & 0x80) != 0;
  }
  track.ComputeStatistics();
  return track;
}

// Every line feed comes with its carriage return, and no number is infinite
// or not a number.
void Check(const std::string& text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    if (at == 0 || text[at - 1] != '\r') std::abort();
  }
  if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TZ", "JST-9", 1);
  ::tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static fuzz::OutputFolder folder;
  const std::uint8_t switches = data[0];
  const int rate = 1 + data[1] % 100;
  const TrackData track = TrackOf(data + 2, size - 2);
  const TrackWriterOptions options{rate * 0.01, (switches & 1) != 0, (switches & 2) != 0};

  for (const auto writer : {WriteCsvTrack, WritePcx5Track, WriteNmeaLog}) {
    TextOutput output;
    if (!output.Create(folder.Path())) std::abort();
    if (!writer(track, output, options, {})) std::abort();
    if (!output.Commit(AtomicFile::Overwrite::AnyFile)) std::abort();
    Check(folder.Read());
  }

  MapSettings settings;
  settings.smoothing = (switches & 1) != 0;
  settings.keepTrail = (switches & 8) != 0;
  ThinningChoice thinning;
  thinning.usePointCount = (switches & 4) != 0;
  thinning.pointCountText = std::to_string(data[1]);
  thinning.rateIndex = 100 - rate;
  if (ThinningProblem(track, thinning)) return 0;
  TextOutput output;
  if (!output.Create(folder.Path())) std::abort();
  const Result<ScriptListing> listing = WriteMapScript(output, settings, thinning, track);
  if (!listing) std::abort();
  if (!output.Commit(AtomicFile::Overwrite::AnyFile)) std::abort();
  const std::string script = folder.Read();
  // The points listed are numbers.
  for (std::size_t at = script.find(kPointLineStart); at != std::string::npos;
       at = script.find(kPointLineStart, at + 1)) {
    const std::size_t end = script.find('\n', at);
    const std::string line = script.substr(at, end - at);
    if (line.find("nan") != std::string::npos || line.find("inf") != std::string::npos) std::abort();
  }
  return 0;
}
