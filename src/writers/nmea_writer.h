#pragma once
// The NMEA log (.log): a header line that marks the log as this program's,
// then one $GPGGA sentence per output point, carrying the position only.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// The UTC flag of the options is ignored: the sentences carry no time.
Result<void> WriteNmeaLog(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                          const Progress& progress = {});

// Appends the sentence of one point, with its line feed:
// $GPGGA,,DDMM.MMMMMM,N,DDDMM.MMMMMM,E,,,,,,,,*hh (S and W south and west)
void WriteGgaSentence(std::string& text, const TrackPoint& point);

// The exclusive or of the bytes of a sentence up to its first "*", every "$"
// left out.
std::uint8_t NmeaChecksum(std::string_view sentence);

inline constexpr std::string_view kNmeaLogHeader = "@Kestrelmarking/wgs-84\n";

}  // namespace kestrel
