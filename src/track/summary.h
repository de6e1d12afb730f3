#pragma once
// The three texts of the information box: UTF-8, lines ending in CR LF.

#include <string>

#include "track/track_data.h"

namespace kestrel {

std::string TrailSummaryText(const TrackSummary& summary);
std::string NmeaSummaryText(const TrackSummary& summary);
std::string UsrFileSummaryText(const TrackSummary& summary);

// The line under the information box that tells how many lines of a log were
// skipped as damaged, or points of a GPX file left out; empty when none were.
std::string SkippedText(const TrackSummary& summary);

}  // namespace kestrel
