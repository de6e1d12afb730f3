#pragma once
// What both pages' thinning controls have in common: the percentage list
// "100" … "1" with the points label beside it.

#include <optional>
#include <string>
#include <vector>

#include "track/track_data.h"

namespace kestrel {

// The items of the percentage list; item k stands for 100 − k per cent.
std::vector<std::string> RateListItems();

// The points label for item k of the list: "(" N " Points" ")", N the number
// of points the percentage keeps of the loaded track; nothing while no
// points are loaded, when the label stays as it is.
std::optional<std::string> PointsLabelFor(const TrackData& track, int rateIndex);

}  // namespace kestrel
