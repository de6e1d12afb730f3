#pragma once
// The program's icon: a kestrel hovering over the line of a track. It is
// drawn, not loaded, so the window and the installed icon files come from
// the same drawing at every size.

#include <QIcon>
#include <QImage>

namespace kestrel::gui {

// The sizes of the installed icon files and of the window icon, in pixels:
// those the desktops' icon themes ask for.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

QImage DrawApplicationIcon(int size);
QIcon ApplicationIcon();

}  // namespace kestrel::gui
