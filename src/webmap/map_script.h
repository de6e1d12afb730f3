#pragma once
// The script of the map site: the line and view parameters, the function that
// builds the map when the page loads, the route replay, and pushData with one
// statement per kept point of the track (and a mark after each point that
// starts a recording segment, but the first).

#include <cstdint>
#include <string>

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

// Writes the script with CR LF line ends. false, with an existing file of
// that name left as it was, when the file cannot be written or when the
// target count is 0 (a page with no points to list). The callers have
// checked the thinning choice (ThinningProblem).
bool WriteMapScript(const std::string& scriptPath, const MapSettings& settings, const ThinningChoice& thinning,
                    const TrackData& track);

}  // namespace kestrel
