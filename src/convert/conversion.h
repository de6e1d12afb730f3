#pragma once
// The conversion command: checks the thinning choice, names the output file,
// writes the loaded track in the chosen format and reports the end. The
// conversion page and krm convert run this same function, so both write the
// same bytes and show the same messages.

#include <optional>
#include <string>

#include "convert/conversion_settings.h"
#include "platform/shell.h"
#include "select/thinning.h"
#include "track/track_data.h"

namespace kestrel {

struct ConversionRequest {
  std::optional<OutputType> type;  // nothing when no format is chosen
  ThinningChoice thinning;
  bool smoothing = false;
  bool useUtc = false;
  bool sameName = false;  // the track file's name with the type's extension, else the save dialog
  bool append = false;    // GeoPackage: add the track to an existing file instead of replacing it
};

// The usage rate of the thinning choice: the explicit count over the track's
// point count, or the list entry's percentage; above 1 it is 1, at or below
// 0 it is 0.01.
double ConversionUsageRate(const TrackData& track, const ThinningChoice& choice);

// The extension of an output named after its track file (".csv"); empty
// for the usr type, which this program does not write.
std::string OutputExtensionOf(OutputType type);

// Runs the conversion of the loaded track, whose file is trackFilePath, and
// shows every message through the shell: an output that is the file the
// track was read from, under any name (kOutputIsInputMessage, with the
// path), a failure to create or
// write the file (kCannotOpenOutputMessage, kWriteFailedMessage) or to have
// the memory for it (kNoMemoryMessage) with its detail; a cancel shows
// nothing. true only when the file was written and the end was reported.
bool RunConversion(const ConversionRequest& request, const TrackData& track, const std::string& trackFilePath,
                   Shell& shell);

inline constexpr const char* kNoOutputTypeMessage = "ERROR:ﾃﾞｰﾀﾀｲﾌﾟが選択されてません\n";
inline constexpr const char* kUsrOutputMessage = "ERROR:usr形式への変換には対応していません\n";
inline constexpr const char* kConversionDoneMessage = "変換終了    ";

}  // namespace kestrel
