#pragma once
// Which reader a track file goes to when nothing else says: the window and
// krm share this one rule.

#include <string_view>

namespace kestrel {

enum class TrackFileKind { Usr, NmeaLog, Gpx };

// By the file's name: the extension ".usr" in any letter case is a .usr file,
// ".gpx" a GPX file, anything else an NMEA log.
TrackFileKind TrackFileKindOf(std::string_view path);

// Whether a folder search takes the file by its name: the extensions of
// the track files read (.usr, .gpx, and the NMEA logs' .log, .nmea and
// .txt), in any letter case.
bool IsTrackFileName(std::string_view path);

}  // namespace kestrel
