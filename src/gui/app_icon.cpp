#include "gui/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel::gui {
namespace {

// The drawing is made on a square of this side and scaled to the size asked for.
constexpr double kDrawingSide = 256.0;

QPainterPath TrackLine() {
  QPainterPath track;
  track.moveTo(34, 208);
  track.cubicTo(70, 150, 104, 230, 140, 186);
  track.cubicTo(170, 150, 198, 206, 226, 152);
  return track;
}

// A falcon's outline from above: pointed, swept wings and a long tail.
QPainterPath Kestrel() {
  QPainterPath bird;
  bird.moveTo(128, 44);
  bird.cubicTo(138, 48, 142, 64, 144, 78);
  bird.cubicTo(174, 64, 204, 60, 234, 68);
  bird.cubicTo(204, 82, 174, 96, 146, 108);
  bird.lineTo(156, 152);
  bird.lineTo(100, 152);
  bird.lineTo(110, 108);
  bird.cubicTo(82, 96, 52, 82, 22, 68);
  bird.cubicTo(52, 60, 82, 64, 112, 78);
  bird.cubicTo(114, 64, 118, 48, 128, 44);
  bird.closeSubpath();
  return bird;
}

}  // namespace

QImage DrawApplicationIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kDrawingSide, size / kDrawingSide);

  QLinearGradient sky(0, 0, 0, kDrawingSide);
  sky.setColorAt(0, QColor(0x3d, 0x84, 0xd1));
  sky.setColorAt(1, QColor(0xd9, 0xec, 0xf9));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sky);
  painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 28, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(TrackLine());
  painter.setPen(QPen(QColor(0xd9, 0x30, 0x25), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(TrackLine());

  painter.setPen(QPen(QColor(0x4a, 0x24, 0x10), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(QColor(0xbc, 0x62, 0x2c));
  painter.drawPath(Kestrel());
  // The dark band at the end of the tail.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x4a, 0x24, 0x10));
  painter.drawRect(QRectF(101, 140, 54, 12));
  return image;
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(DrawApplicationIcon(size)));
  return icon;
}

}  // namespace kestrel::gui
