#pragma once
// The script of the map site: the line and view parameters, the function that
// builds the map when the page loads, the route replay, and pushData with one
// statement per kept point of the track (and a mark after each point that
// starts a recording segment, but the first).

#include <cstdint>
#include <string>

#include "platform/atomic_file.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "select/thinning.h"
#include "track/track_data.h"
#include "webmap/map_settings.h"

namespace kestrel {

// The points the script lists: the target count N and the usage rate that
// selects them. Count mode: N is the typed count, the rate N over the
// track's point count. Percentage mode: N is the target count of the list
// entry's percentage, the rate that percentage × 0.01.
struct ScriptThinning {
  std::int32_t targetCount = 0;
  double usageRate = 1.0;
};
ScriptThinning ScriptThinningOf(const TrackData& track, const ThinningChoice& choice);

// The colour as six lower-case hexadecimal digits, red first.
std::string ColorText(PackedColor color);

// The parameter block: colour, width and opacity of the line, and the centre
// and bounds of the whole loaded track from its summary.
std::string MapScriptParameters(const MapSettings& settings, const TrackSummary& summary);

// The function blocks of the route-replay choice, each followed by four line
// ends; setMap without its overview line when the overview is off; last,
// for a track with recording breaks, the block that splits lines at them.
std::string MapScriptFunctions(const MapSettings& settings, bool recordingBreaks);

// What a script lists: points, or nothing, when the thinning leaves no
// point (a target count of 0). A script without points would stop the page
// when it loads, so it must not be put in place.
enum class ScriptListing { Points, NothingToList };

// Writes the script into the output. With each piece of the point list the
// progress hears how many of the listed points are done; its false stops the
// writing (a cancel). Fails with kNoMemoryMessage when the working copy of
// the points cannot be had. The callers have checked the thinning choice
// (ThinningProblem).
Result<ScriptListing> WriteMapScript(TextOutput& output, const MapSettings& settings, const ThinningChoice& thinning,
                                     const TrackData& track, const Progress& progress = {});

}  // namespace kestrel
