#pragma once
// Sentence types of an NMEA 0183 log, the lines of a log that its track is
// made of, and the count of its position and time sentences that is taken
// before a log is loaded.

#include <cstdint>
#include <string_view>

#include "nmea/log_parts.h"
#include "platform/buffered_reader.h"
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

// The types a track is made of: GGA, GLL, RMC and ZDA.
inline constexpr RequiredTags kPositionAndTimeTags = kTagGga | kTagGll | kTagRmc | kTagZda;

// No sentence is longer than a few hundred bytes: a longer line is no
// sentence, and is passed over without being held.
inline constexpr std::size_t kLongestLine = 64 * 1024;

// The type of one line, by the last three bytes of its address field (the
// text before the first comma); the talker prefix is ignored.
NmeaTag ClassifySentence(std::string_view line);

// Whether the line ends in a checksum ("*" and two hexadecimal digits, then
// at most a carriage return) that is not the exclusive or of the bytes of
// its sentence: those after the last "$" of the address field (else after
// the line's start) up to the "*".
bool HasWrongChecksum(std::string_view line);

// The lines of a log, read once from the start of the source, that a track
// is made of: header lines (beginning with "@") are left out, and lines
// that cannot be trusted are skipped and counted: lines over kLongestLine,
// and GGA, GLL, RMC and ZDA sentences whose checksum is wrong.
class NmeaLines {
 public:
  explicit NmeaLines(ByteSource& source, Progress progress = {});

  // The next line with its type; false at the end.
  bool Next(std::string_view& line, NmeaTag& tag);
  std::int64_t Skipped() const { return damaged_ + reader_.LongLinesSkipped(); }
  // Position of the first byte of the line Next gave last.
  std::int64_t LineStart() const { return reader_.LineStart(); }
  // A failed read, a file that changed while it was read, or a cancel.
  Result<void> Status() const { return reader_.Status(); }

 private:
  BufferedReader reader_;
  std::int64_t damaged_ = 0;
};

struct NmeaLogCheck {
  bool countsAgree = true;         // the counts of the types that occur are equal
  std::int64_t recordCount = 0;    // counts agreeing: their common value
  RequiredTags tags = 0;           // the types that occur
  std::int64_t sentenceCount = 0;  // GGA, GLL, RMC and ZDA sentences in all
  std::int64_t skippedLines = 0;   // as NmeaLines counts them

  // A log whose counts agree and that has no damaged line passes the first
  // release's check and is read as the first release read it: a record from
  // one sentence of each type. Any other log is read by time, a record being
  // the sentences of one time (a damaged line would make the first
  // release's records take the sentences of different times).
  bool ReadAsFirstRelease() const { return countsAgree && skippedLines == 0; }
};

// Counts the GGA, GLL, RMC and ZDA sentences among the lines of a log, a
// large log in parts at once (see SplitLog). A failed read, a file that
// changed while it was read, or a cancel of the progress fails.
Result<NmeaLogCheck> CheckNmeaLog(ByteSource& source, const Progress& progress = {},
                                  const ParallelReading& reading = {});

}  // namespace kestrel
