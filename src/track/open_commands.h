#pragma once
// The load sequences of the main window's open and trail commands, without a
// window: each shows its messages through the shell (the reason the system
// gave, or where a file is damaged, as their detail) and returns the new text
// of the information box, or nothing when it stopped. A load that the user
// cancels stops without a message; a load that stops holds no points. Each
// input is opened once: a .usr file's trail, or a GPX file's track, is read
// through the descriptor its directory was read from.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/loader.h"
#include "track/track_data.h"
#include "track/track_file_kind.h"

namespace kestrel {

// Opens a track file for reading (OpenInput). A failure shows its message
// (for a .usr file kUsrCannotOpen first, then kNoDataMessage) and gives
// nothing.
std::unique_ptr<ByteSource> OpenTrackInput(const std::string& path, TrackFileKind kind, Shell& shell);
// The same for an input opened otherwise (standard input).
std::unique_ptr<ByteSource> TrackInputOf(Result<std::unique_ptr<ByteSource>> opened, TrackFileKind kind,
                                         Shell& shell);

// Releases the points and reads the .usr file's directory.
std::optional<std::string> OpenUsrFile(TrackData& track, ByteSource& file, Shell& shell);

// Releases the points, then checks the log and loads it whole. date is the
// date of the records before the first that carries one.
std::optional<std::string> OpenNmeaLog(TrackData& track, ByteSource& file, Shell& shell,
                                       const std::optional<CalendarDate>& date = std::nullopt);

// Releases the points and reads the GPX file: its tracks and routes become
// the directory, listed as a .usr file's trails and chosen as they are, its
// way points go with the track. A file of one track or route loads it and
// shows the log's summary under the file's name; one of several shows the
// overview. A file without either fails with kGpxNoTrackMessage.
std::optional<std::string> OpenGpxFile(TrackData& track, ByteSource& file, Shell& shell);

// Looks a trail name (UTF-8) up in the directory of the last .usr or GPX file
// read: byte comparison, the last match wins. Fails with the message of the
// first problem: no name, no track file, no such trail (or one without
// points).
Result<TrailEntry> FindTrail(const TrackSummary& summary, const std::string& trailName,
                             const std::string& trackFilePath);
// The trail at a place of the directory, counted from 1 as the overview
// lists the trails; fails as FindTrail does.
Result<TrailEntry> FindTrailAt(const TrackSummary& summary, std::int64_t place, const std::string& trackFilePath);

// Loads the trail from the .usr file (or the track from the GPX file) its
// directory was read from.
std::optional<std::string> LoadTrail(TrackData& track, ByteSource& file, const TrailEntry& trail, Shell& shell);

inline constexpr const char* kNoTrackFileMessage = "ﾄﾗｯｸﾌｧｲﾙを指定して下さい";
inline constexpr const char* kNoTrailNameMessage = "対象Trailが指定されませんでした";
inline constexpr const char* kTrailNotFoundMessage = "対象Trailが見付かりません";
inline constexpr const char* kGpxNoTrackMessage = "GPXﾌｧｲﾙにﾄﾗｯｸがありません\n";

}  // namespace kestrel
