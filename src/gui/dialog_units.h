#pragma once
// The windows of this program are laid out in dialog units, as their designs
// are drawn: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its character height. The
// same layout therefore fits any font the desktop provides.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace kestrel::gui {

// A rectangle in dialog units: left, top, width, height.
struct DialogRect {
  int x;
  int y;
  int width;
  int height;
};

// The family of the dialog font: "ＭＳ Ｐゴシック" where the desktop has it,
// else the first Japanese font of the set-up that it has.
QString DialogFontFamily();
// The dialog font, 9 points.
QFont DialogFont();

class DialogUnits {
 public:
  // The base units of a font: the average width of "A"…"Z" "a"…"z" (rounded
  // as the desktop rounds it) and the character height, in pixels.
  explicit DialogUnits(const QFont& font);
  DialogUnits(int averageCharWidth, int charHeight) : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

  int averageCharWidth() const { return averageCharWidth_; }
  int charHeight() const { return charHeight_; }

  int ToPixelsX(int x) const;
  int ToPixelsY(int y) const;
  QRect ToPixels(const DialogRect& rect) const;
  QSize ToPixels(int width, int height) const;

  // A point given in the pixels of the font the layouts were drawn with,
  // moved to the same place in this font's layout.
  QPoint FromDesignPixels(QPoint designPixels) const;

 private:
  int averageCharWidth_;
  int charHeight_;
};

}  // namespace kestrel::gui
