#pragma once
// Which reader a track file goes to when nothing else says: the window and
// krm share this one rule.

#include <string_view>

namespace kestrel {

enum class TrackFileKind { Usr, NmeaLog, Gpx };

// By the file's name: the extension ".usr" in any letter case is a .usr file,
// ".gpx" a GPX file, anything else an NMEA log.
TrackFileKind TrackFileKindOf(std::string_view path);

}  // namespace kestrel
