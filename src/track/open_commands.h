#pragma once
// The load sequences of the main window's open and trail commands, without a
// window: each shows its messages through the shell and returns the new text
// of the information box, or nothing when it stopped.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

// Releases the points and reads the .usr file's directory.
std::optional<std::string> OpenUsrFile(TrackData& track, const std::string& path, Shell& shell);

// Releases the points, checks the log and loads it whole.
std::optional<std::string> OpenNmeaLog(TrackData& track, const std::string& path, Shell& shell);

struct TrailLocation {
  std::int32_t pointCount = 0;
  std::int32_t dataOffset = 0;
};

// A trail lookup that failed, with the message to show.
class TrailLookupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Looks a trail name (code page 932 bytes) up in the directory of the last
// .usr file read: byte comparison, the last match wins. Throws TrailLookupError.
TrailLocation FindTrail(const TrackSummary& summary, const std::string& trailName,
                        const std::string& trackFilePath);

// Loads the located trail of the file at path; trailName is the name looked up.
std::optional<std::string> LoadTrail(TrackData& track, const std::string& path,
                                     const TrailLocation& trail, const std::string& trailName,
                                     Shell& shell);

inline constexpr const char* kNoDataMessage = "Error:ﾃﾞｰﾀが取得出来ませんでした\n";
inline constexpr const char* kNoMemoryMessage = "Error:ﾒﾓﾘが確保出来ませんでした\n";
inline constexpr const char* kTagCountMismatchMessage = "NMEAﾃﾞｰﾀのﾀｸﾞ数に不一致があります\n";
inline constexpr const char* kNoTrackFileMessage = "ﾄﾗｯｸﾌｧｲﾙを指定して下さい";
inline constexpr const char* kNoTrailNameMessage = "対象Trailが指定されませんでした";
inline constexpr const char* kTrailNotFoundMessage = "対象Trailが見付かりません";

}  // namespace kestrel
