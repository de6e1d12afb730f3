#include "writers/pcx5_writer.h"

#include "platform/number_format.h"
#include "platform/numbers.h"

namespace kestrel {
namespace {

// The runs of blanks belong to the format. The name of the track, 新規
// ("new"), is in code page 932, as the format's readers expect; it is the
// one text of the file that is not ASCII.
constexpr std::string_view kHeader =
    "H  SOFTWARE NAME & VERSION\n"
    "I  PCX5 2.09\n"
    "\n"
    "H  COORDINATE SYSTEM\n"
    "U  LAT LON DEG\n"
    "\n"
    "H  R DATUM                IDX DA            DF            DX            DY            DZ\n"
    "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00\n"
    "\n"
    "H \x90\x56\x8B\x4B\n"
    "\n"
    "H  LATITUDE    LONGITUDE    DATE      TIME     ALT\n";

// English and upper case whatever the user's locale: the format's readers
// know no other month names.
constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// A number with 7 decimals right-aligned in at least 9 characters ("%9.7f").
void AppendCoordinate(std::string& text, double value) {
  constexpr std::size_t kWidth = 9;
  const std::size_t start = text.size();
  AppendFixed(text, value, 7);
  const std::size_t length = text.size() - start;
  if (length < kWidth) text.insert(start, kWidth - length, ' ');
}

// "T  N<lat> E<lon> DD-MON-YY HH:MM:SS <alt>" (S and W south and west)
void AppendTrackLine(std::string& text, const TrackPoint& point, const TrackWriterOptions& options) {
  text.append("T  ");
  AppendHemisphere(text, point.latitude, 'N', 'S', AppendCoordinate);
  text.push_back(' ');
  AppendHemisphere(text, point.longitude, 'E', 'W', AppendCoordinate);
  const std::tm when = CalendarTime(point.time, options.useUtc);
  text.push_back(' ');
  AppendTwoDigits(text, when.tm_mday);
  text.push_back('-');
  text.append(kMonths[when.tm_mon]);
  text.push_back('-');
  AppendTwoDigits(text, (when.tm_year + 1900) % 100);
  text.push_back(' ');
  AppendTwoDigits(text, when.tm_hour);
  text.push_back(':');
  AppendTwoDigits(text, when.tm_min);
  text.push_back(':');
  AppendTwoDigits(text, when.tm_sec);
  text.push_back(' ');
  AppendInteger(text, TruncateToInt32(point.altitude));
  text.push_back('\n');
}

}  // namespace

Result<void> WritePcx5Track(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                            const Progress& progress) {
  return WriteTrackFile(track, output, options, kHeader, AppendTrackLine, progress);
}

}  // namespace kestrel
