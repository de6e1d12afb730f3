#include "app/thinning_controls.h"

#include "select/selection.h"

namespace kestrel {

ThinningControls::ThinningControls() {
  for (int percent = 100; percent >= 1; --percent) controls.rateItems.push_back(std::to_string(percent));
}

void ThinningControls::Read() {
  smoothing = controls.smoothing;
  pointsLabel = controls.pointsLabel;
  usePointCount = controls.usePointCount;
  pointCountText = controls.pointCountText;
}

void ThinningControls::Show() {
  controls.smoothing = smoothing;
  controls.pointsLabel = pointsLabel;
  controls.usePointCount = usePointCount;
  controls.pointCountText = pointCountText;
}

void ThinningControls::CountPoints(const TrackData& track) {
  if (track.pointCount <= 0) return;
  // Item k of the list stands for 100 − k per cent.
  const std::int32_t points = TargetPointCount(track, 100.0 - controls.rateIndex);
  pointsLabel = "(" + std::to_string(points) + " Points" + ")";
}

void ThinningControls::EnableByMode() {
  controls.pointCountEnabled = usePointCount;
  controls.rateControlsEnabled = !usePointCount;
}

void ThinningControls::Forget() {
  pointsLabel.clear();
  controls.rateIndex = 0;
}

}  // namespace kestrel
