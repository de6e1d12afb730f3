#pragma once
// The load sequences of the main window's open and trail commands, without a
// window: each shows its messages through the shell (the reason the system
// gave, or where a file is damaged, as their detail) and returns the new text
// of the information box, or nothing when it stopped. A load that the user
// cancels stops without a message; a load that stops holds no points.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

// Releases the points and reads the .usr file's directory.
std::optional<std::string> OpenUsrFile(TrackData& track, const std::string& path, Shell& shell);

// Releases the points, then opens the log once, checks it and loads it whole.
std::optional<std::string> OpenNmeaLog(TrackData& track, const std::string& path, Shell& shell);

struct TrailLocation {
  std::int32_t pointCount = 0;
  std::int32_t dataOffset = 0;
};

// Looks a trail name (code page 932 bytes) up in the directory of the last
// .usr file read: byte comparison, the last match wins. Fails with the
// message of the first problem: no name, no track file, no such trail.
Result<TrailLocation> FindTrail(const TrackSummary& summary, const std::string& trailName,
                                const std::string& trackFilePath);

// Loads the located trail of the file at path; trailName is the name looked up.
std::optional<std::string> LoadTrail(TrackData& track, const std::string& path,
                                     const TrailLocation& trail, const std::string& trailName,
                                     Shell& shell);

inline constexpr const char* kNoTrackFileMessage = "ﾄﾗｯｸﾌｧｲﾙを指定して下さい";
inline constexpr const char* kNoTrailNameMessage = "対象Trailが指定されませんでした";
inline constexpr const char* kTrailNotFoundMessage = "対象Trailが見付かりません";

}  // namespace kestrel
