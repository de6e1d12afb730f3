#pragma once
// What the three track file writers share: their options, the choice of the
// points they write, and the way their text reaches the file.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

struct TrackWriterOptions {
  double usageRate = 1.0;  // share of the points to keep, in (0, 1]
  bool smoothing = false;  // smooth the working copy first
  bool useUtc = false;     // times in UTC instead of local time (the NMEA writer writes none)
  bool append = false;     // GeoPackage: add the track to an existing file instead of replacing it
};

// A text file written in large pieces: the text of the points goes out when
// it has grown large, and the progress hears how many of the total units of
// work are done.
class PieceOutput {
 public:
  PieceOutput(TextOutput& output, const Progress& progress, std::int64_t total);

  std::string text;

  // After one unit of work: passes a large text on and reports progress.
  // false when the progress asked to stop.
  bool Done(std::int64_t done);
  // Passes the rest of the text on.
  void Finish();

 private:
  TextOutput& output_;
  const Progress& progress_;
  std::int64_t total_;
};

// Appends the text of one output point.
using AppendPointText = void (*)(std::string& text, const TrackPoint& point, const TrackWriterOptions& options);

// Writes the header, then the text of every output point: the points of the
// working copy (smoothed when asked) at the indices that pass the keep test,
// in index order. The text goes to the output in large pieces; the output
// turns each line feed into CR LF, and its Commit reports a failed write.
// With each piece the progress hears how many of the track's points are
// done, and its false stops the writing (a cancel). Fails with
// kNoMemoryMessage, before anything is written, when the working copy
// cannot be had.
Result<void> WriteTrackFile(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                            std::string_view header, AppendPointText appendPoint, const Progress& progress);

// The calendar time of a point time in UTC or in local time. A time the C
// library cannot convert (none of the 32-bit times here) gives all fields 0.
std::tm CalendarTime(std::int32_t time, bool useUtc);

// A coordinate as the track formats write it: the hemisphere letter, then
// the magnitude in the format's own number format (north and east for 0
// and above, south and west below).
void AppendHemisphere(std::string& text, double value, char positive, char negative,
                      void (*appendMagnitude)(std::string& text, double magnitude));

// Number texts without the C library's locale: a decimal integer, and a
// number 0 to 99 as two digits.
void AppendInteger(std::string& text, std::int64_t value);
void AppendTwoDigits(std::string& text, int value);

}  // namespace kestrel
