#include "select/thinning.h"

#include "platform/numbers.h"
#include "select/selection.h"

namespace kestrel {

std::int32_t ExplicitPointCount(const ThinningChoice& choice) { return ReadIntegerNumber(choice.pointCountText); }

std::optional<std::string> ThinningProblem(const TrackData& track, const ThinningChoice& choice) {
  if (PointCountOrZero(track) == 0) return kNoTrackMessage;
  if (!choice.usePointCount) return std::nullopt;
  const std::int32_t n = ExplicitPointCount(choice);
  if (n > track.pointCount) return kTooManyPointsMessage;
  if (n <= 1) return kTooFewPointsMessage;
  return std::nullopt;
}

}  // namespace kestrel
