#pragma once
// A track file loaded as the main window loads it, for the tests of what
// comes after the load.

#include <string>

#include "track/track_data.h"

namespace kestrel::test {

// A log, or a trail (by its UTF-8 name) of a .usr file; every message shown
// fails the test.
TrackData LoadedTrack(const std::string& path, const std::string& trail = "");

}  // namespace kestrel::test
