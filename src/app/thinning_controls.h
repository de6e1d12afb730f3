#pragma once
// The thinning frame that both tab pages have: smoothing, the percentage
// list "100" … "1" with the points label beside it, and the explicit point
// count. Its controls and members move between each other with the page's
// own ("read" and "show").

#include <string>
#include <vector>

#include "select/thinning.h"
#include "track/track_data.h"

namespace kestrel {

struct ThinningControlState {
  bool smoothing = false;  // "ﾃﾞｰﾀの平滑化"
  // Percentage list 1058 ("100" … "1"), with 1040 "使用率", 1047 "%" and the
  // points label 1066 enabled together.
  std::vector<std::string> rateItems;
  int rateIndex = 0;
  bool rateControlsEnabled = true;
  std::string pointsLabel = "Static";  // 1066, emptied when the page first shows its members
  bool usePointCount = false;          // 1067 "Point数指定"
  std::string pointCountText;          // 1063, with 1064 "Points"
  bool pointCountEnabled = false;

  bool operator==(const ThinningControlState&) const = default;
};

class ThinningControls {
 public:
  ThinningControls();

  ThinningControlState controls;

  // The members.
  bool smoothing = false;
  std::string pointsLabel;
  bool usePointCount = false;
  std::string pointCountText;

  void Read();  // controls to members
  void Show();  // members to controls

  // A percentage was picked: the points label names the number of points it
  // keeps of the loaded track, "(" N " Points" ")"; with no points loaded the
  // label stays as it is.
  void CountPoints(const TrackData& track);
  // "Point数指定" was toggled (and read): the count or the list is enabled.
  void EnableByMode();
  // Another trail was loaded: the label and the percentage were the old one's.
  void Forget();

  ThinningChoice Choice() const { return {usePointCount, pointCountText, controls.rateIndex}; }
};

}  // namespace kestrel
