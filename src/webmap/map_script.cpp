#include "webmap/map_script.h"

#include <algorithm>
#include <vector>

#include "platform/number_format.h"
#include "select/selection.h"
#include "webmap/site_templates.h"
#include "webmap/template_text.h"

namespace kestrel {
namespace {

constexpr int kDecimals = 6;
// The point list goes to the file in pieces of about this size.
constexpr std::size_t kPieceSize = std::size_t{1} << 16;

std::string Fixed(double value) { return FixedText(value, kDecimals); }

}  // namespace

ScriptThinning ScriptThinningOf(const TrackData& track, const ThinningChoice& choice) {
  ScriptThinning thinning;
  if (choice.usePointCount) {
    thinning.targetCount = ExplicitPointCount(choice);
    thinning.usageRate = static_cast<double>(thinning.targetCount) / static_cast<double>(track.pointCount);
  } else {
    const double percent = 100 - choice.rateIndex;
    thinning.targetCount = TargetPointCount(track, percent);
    thinning.usageRate = percent * 0.01;
  }
  return thinning;
}

std::string ColorText(PackedColor color) {
  const PackedColor red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
  const PackedColor value = red << 16 | green << 8 | blue;
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text(6, '0');
  for (int i = 0; i < 6; ++i) text[static_cast<std::size_t>(5 - i)] = kDigits[(value >> (4 * i)) & 0xF];
  return text;
}

std::string MapScriptParameters(const MapSettings& settings, const TrackSummary& summary) {
  return FillTemplate(kScriptParameters,
                      {{"colour", ColorText(settings.chosenColor)},
                       {"width", std::to_string(LineWidthOfIndex(settings.widthIndex))},
                       {"opacity", settings.transparency ? "0.7" : "1.0"},
                       {"centre latitude", Fixed((summary.minLatitude + summary.maxLatitude) * 0.5)},
                       {"centre longitude", Fixed((summary.minLongitude + summary.maxLongitude) * 0.5)},
                       {"minimum latitude", Fixed(summary.minLatitude)},
                       {"minimum longitude", Fixed(summary.minLongitude)},
                       {"maximum latitude", Fixed(summary.maxLatitude)},
                       {"maximum longitude", Fixed(summary.maxLongitude)}});
}

std::string MapScriptFunctions(const MapSettings& settings, bool recordingBreaks) {
  const std::string setMap =
      settings.overviewControl ? std::string(kSetMapFunction) : WithoutLine(kSetMapFunction, kOverviewControlLine);
  std::string functions;
  const auto add = [&functions](std::string_view block) {
    functions.append(block);
    functions.append("\n\n\n\n");
  };
  add(setMap);
  add(kDisplayLineFunction);
  if (settings.routeReplay) {
    for (const std::string_view block :
         {kTrackLineFunction, kDisplayTailLineFunction, kDrawLineFunction, kDisplayDivDrawLineFunction,
          kDrawLineSettingFunction, kSetStepUnitFunction, kStopRouteFunction, kTrackEndProcessFunction,
          kDrawEndProcessFunction, kRestoreLineFunction}) {
      add(block);
    }
  } else {
    add(kEraseLineFunction);
  }
  add(kRouteOnOffFunction);
  if (recordingBreaks) add(kSplitAtBreaksFunction);
  return functions;
}

Result<ScriptListing> WriteMapScript(TextOutput& output, const MapSettings& settings, const ThinningChoice& thinning,
                                     const TrackData& track, const Progress& progress) {
  const ScriptThinning keep = ScriptThinningOf(track, thinning);
  if (keep.targetCount == 0) return ScriptListing::NothingToList;
  const Result<std::vector<TrackPoint>> points = SelectLatLon(track, keep.usageRate, settings.smoothing);
  if (!points) return points.error();
  // The first point starts the first segment whatever it says.
  const auto isBreak = [&points](const TrackPoint& point) { return point.segmentStart && &point != &points->front(); };
  const bool recordingBreaks = std::any_of(points->begin(), points->end(), isBreak);
  const auto count = static_cast<std::int64_t>(points->size());

  output.Write(kScriptHeader);
  output.Write("\n\n");
  output.Write(kScriptGlobals);
  output.Write("\n");
  output.Write(MapScriptParameters(settings, track.summary));
  output.Write("\n\n\n");
  output.Write(MapScriptFunctions(settings, recordingBreaks));

  std::string piece(kPointListHead);
  for (std::int64_t i = 0; i < count; ++i) {
    const TrackPoint& point = (*points)[static_cast<std::size_t>(i)];
    piece.append(kPointLineStart);
    AppendFixed(piece, point.latitude, kDecimals);
    piece.append(kPointLineMiddle);
    AppendFixed(piece, point.longitude, kDecimals);
    piece.append(kPointLineEnd);
    if (isBreak(point)) piece.append(kSegmentStartLine);
    if (piece.size() >= kPieceSize) {
      output.Write(piece);
      piece.clear();
      if (progress && !progress(i + 1, count)) return Cancelled();
    }
  }
  piece.append(kPointListTail);
  output.Write(piece);
  return ScriptListing::Points;
}

}  // namespace kestrel
