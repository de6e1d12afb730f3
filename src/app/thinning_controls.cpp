#include "app/thinning_controls.h"

#include "select/selection.h"

namespace kestrel {

std::vector<std::string> RateListItems() {
  std::vector<std::string> items;
  for (int percent = 100; percent >= 1; --percent) items.push_back(std::to_string(percent));
  return items;
}

std::optional<std::string> PointsLabelFor(const TrackData& track, int rateIndex) {
  if (track.pointCount <= 0) return std::nullopt;
  const std::int32_t points = TargetPointCount(track, 100.0 - rateIndex);
  return "(" + std::to_string(points) + " Points" + ")";
}

}  // namespace kestrel
