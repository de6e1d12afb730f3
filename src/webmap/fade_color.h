#pragma once
// The line colour of the map site and its fade toward grey. While
// transparency is on, the page shows the line 30 % of the way toward grey 192;
// the colour the user chose is what gets stored and written to the script,
// never the faded one. The channels stay unrounded, so fading and unfading
// give back the chosen colour exactly.

#include <cstdint>

namespace kestrel {

// A colour packed as 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23.
using PackedColor = std::uint32_t;

inline constexpr PackedColor kRed = 0x0000FF;

struct FadeColor {
  FadeColor() = default;
  explicit FadeColor(PackedColor packed);

  // Every channel c becomes (c - 192) × 0.7 + 192.
  void Fade();
  // The inverse: (c - 192) × 1.4285714285714286 + 192.
  void Unfade();
  // Every channel rounded half up (truncation of c + 0.5), held to 0..255.
  PackedColor Pack() const;

  // Nominally 0..255, never rounded while held.
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
};

// The line colour for a chosen colour: the colour itself, faded while
// transparency is on.
FadeColor LineColorFor(PackedColor chosen, bool transparency);

// The chosen colour behind a line colour; the line colour stays as it is.
PackedColor ChosenColorOf(const FadeColor& lineColor, bool transparency);

}  // namespace kestrel
