#pragma once
// Sentence types of an NMEA 0183 log and the consistency check run before a
// log is loaded.

#include <cstdint>
#include <string_view>

#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace kestrel {

// The bit value of a sentence type; an unrecognised line has a bit of its own,
// so that it has no bit in common with any set of required types.
using NmeaTag = std::uint16_t;
inline constexpr NmeaTag kTagGga = 0x0001;
inline constexpr NmeaTag kTagGll = 0x0002;
inline constexpr NmeaTag kTagGsa = 0x0004;
inline constexpr NmeaTag kTagGsv = 0x0008;
inline constexpr NmeaTag kTagRmc = 0x0040;
inline constexpr NmeaTag kTagVtg = 0x0080;
inline constexpr NmeaTag kTagZda = 0x0100;
inline constexpr NmeaTag kTagUnrecognised = 0x8000;

// The set of sentence types (a bitwise OR of tags) that together make one record.
using RequiredTags = std::uint16_t;

// The type of one line, by the last three bytes of its address field (the
// text before the first comma); the talker prefix is ignored.
NmeaTag ClassifySentence(std::string_view line);

struct NmeaLogCheck {
  std::int32_t recordCount = 0;  // the number of records the log gives
  RequiredTags tags = 0;         // the types that make one record
};

// Counts the GGA, GLL, RMC and ZDA sentences of a log (lines beginning with
// "@" are skipped). The counts that are not 0 must agree; their common value
// is the number of records. Counts that disagree fail with
// kTagCountMismatchMessage and the counts as detail; so does a count beyond
// 32 bits. A failed read, or a cancel of the progress, fails too.
Result<NmeaLogCheck> CheckNmeaLog(ByteSource& source, const Progress& progress = {});

inline constexpr const char* kTagCountMismatchMessage = "NMEAﾃﾞｰﾀのﾀｸﾞ数に不一致があります\n";

}  // namespace kestrel
