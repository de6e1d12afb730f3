#pragma once
// Colours of the models are packed as 0x00BBGGRR.

#include <QColor>

#include "webmap/fade_color.h"

namespace kestrel::gui {

inline QColor ToQColor(PackedColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

inline PackedColor ToPackedColor(const QColor& color) {
  return static_cast<PackedColor>(color.red()) | static_cast<PackedColor>(color.green()) << 8 |
         static_cast<PackedColor>(color.blue()) << 16;
}

}  // namespace kestrel::gui
