#include "webmap/fade_color.h"

#include "platform/numbers.h"

namespace kestrel {
namespace {

constexpr double kGrey = 192.0;
constexpr double kFadeFactor = 0.7;
constexpr double kUnfadeFactor = 1.4285714285714286;  // the double nearest 1 / 0.7

double Moved(double channel, double factor) { return (channel - kGrey) * factor + kGrey; }

PackedColor PackedChannel(double channel) {
  const std::int32_t value = TruncateToInt32(channel + 0.5);
  return static_cast<PackedColor>(value > 255 ? 255 : value < 0 ? 0 : value);
}

}  // namespace

FadeColor::FadeColor(PackedColor packed)
    : red(packed & 0xFF), green((packed >> 8) & 0xFF), blue((packed >> 16) & 0xFF) {}

void FadeColor::Fade() {
  red = Moved(red, kFadeFactor);
  green = Moved(green, kFadeFactor);
  blue = Moved(blue, kFadeFactor);
}

void FadeColor::Unfade() {
  red = Moved(red, kUnfadeFactor);
  green = Moved(green, kUnfadeFactor);
  blue = Moved(blue, kUnfadeFactor);
}

PackedColor FadeColor::Pack() const {
  return PackedChannel(red) | PackedChannel(green) << 8 | PackedChannel(blue) << 16;
}

FadeColor LineColorFor(PackedColor chosen, bool transparency) {
  FadeColor line(chosen);
  if (transparency) line.Fade();
  return line;
}

PackedColor ChosenColorOf(const FadeColor& lineColor, bool transparency) {
  if (!transparency) return lineColor.Pack();
  FadeColor copy = lineColor;
  copy.Unfade();
  return copy.Pack();
}

}  // namespace kestrel
