#pragma once
// The thinning choice of a page (a percentage from the list, or an explicit
// point count) and the checks that every output command makes before it
// names a file.

#include <cstdint>
#include <optional>
#include <string>

#include "track/track_data.h"

namespace kestrel {

struct ThinningChoice {
  bool usePointCount = false;  // an explicit count instead of a percentage
  std::string pointCountText;  // the count as typed
  int rateIndex = 0;           // selected entry of the list "100" … "1"; -1 when none
};

// The explicit point count: the decimal number at the start of the text
// (leading white space, an optional sign, digits), 0 without digits.
std::int32_t ExplicitPointCount(const ThinningChoice& choice);

// The first reason not to output the track, or nothing: no points loaded, or
// (in count mode) a count above the track's or below 2.
std::optional<std::string> ThinningProblem(const TrackData& track, const ThinningChoice& choice);

inline constexpr const char* kNoTrackMessage = "ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です";
inline constexpr const char* kTooManyPointsMessage = "Point数がﾄﾗｯｸﾃﾞｰﾀ内の数を越えてます";
inline constexpr const char* kTooFewPointsMessage = "Point数は2以上を指定して下さい";

}  // namespace kestrel
