#include "gui/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace kestrel::gui {
namespace {

// In order of preference. The two proportional gothics set kana as narrow
// as the design expects; the last one is a full-width gothic that every
// set-up of this program installs.
const char* const kDialogFontFamilies[] = {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", "Noto Sans CJK JP"};
constexpr int kDialogFontPoints = 9;

// The base units of the font the layouts were drawn with (9 points at 96
// dots per inch), for the places the design gives in pixels.
constexpr int kDesignAverageCharWidth = 6;
constexpr int kDesignCharHeight = 12;

// a × b / c, rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QString DialogFontFamily() {
  for (const char* family : kDialogFontFamilies) {
    const QString name = QString::fromUtf8(family);
    // Asked by name and not looked for in the list of families: the list
    // holds the names of the desktop's language ("IPA Pゴシック" under a
    // Japanese locale), the name here is known in every language.
    if (QFontDatabase::hasFamily(name)) return name;
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QFont DialogFont() {
  QFont font(DialogFontFamily());
  font.setPointSize(kDialogFontPoints);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  averageCharWidth_ = (alphabetWidth / 26 + 1) / 2;
  charHeight_ = metrics.height();
}

int DialogUnits::ToPixelsX(int x) const { return MulDiv(x, averageCharWidth_, 4); }
int DialogUnits::ToPixelsY(int y) const { return MulDiv(y, charHeight_, 8); }

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
  return {ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width), ToPixelsY(rect.height)};
}

QSize DialogUnits::ToPixels(int width, int height) const { return {ToPixelsX(width), ToPixelsY(height)}; }

QPoint DialogUnits::FromDesignPixels(QPoint designPixels) const {
  return {MulDiv(designPixels.x(), averageCharWidth_, kDesignAverageCharWidth),
          MulDiv(designPixels.y(), charHeight_, kDesignCharHeight)};
}

}  // namespace kestrel::gui
