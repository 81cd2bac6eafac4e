#include "badges.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace tervando::icongen {

namespace {

QPainterPath ShapePath(BadgeShape shape) {
  QPainterPath path;
  switch (shape) {
    case BadgeShape::kCircle:
      path.addEllipse(QRectF(0.5, 0.5, 31, 31));
      break;
    case BadgeShape::kRoundedSquare:
      path.addRoundedRect(QRectF(0.5, 0.5, 31, 31), 7, 7);
      break;
    case BadgeShape::kShield:
      path.moveTo(1, 1);
      path.lineTo(31, 1);
      path.lineTo(31, 14);
      path.cubicTo(31, 23, 24, 28, 16, 32);
      path.cubicTo(8, 28, 1, 23, 1, 14);
      path.closeSubpath();
      break;
    case BadgeShape::kHexagon:
      path.addPolygon(
          QPolygonF(QList<QPointF>{{8, 1}, {24, 1}, {31.5, 16}, {24, 31}, {8, 31}, {0.5, 16}}));
      path.closeSubpath();
      break;
  }
  return path;
}

QPainterPath SignPath(const QString& sign, int size) {
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(size == 16 ? 10 : 20);
  font.setStyleStrategy(QFont::NoAntialias);
  QPainterPath path;
  path.addText(0, 0, font, sign);
  return path;
}

}  // namespace

QImage RenderBadge(const QString& sign, BadgeShape shape, const Colours& colours, int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size / 32.0, size / 32.0);
    p.fillPath(ShapePath(shape), StdColor(colours.fill));
  }
  OutlineSilhouette(image, StdRgb(colours.line));

  // Centre the sign on whole pixels so that its strokes stay crisp.
  QPainterPath glyph = SignPath(sign, size);
  const QRectF bounds = glyph.boundingRect();
  const double centre_y = shape == BadgeShape::kShield ? size * 0.45 : size / 2.0;
  const double dx = std::round(size / 2.0 - bounds.center().x());
  const double dy = std::round(centre_y - bounds.center().y());
  glyph.translate(dx, dy);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillPath(glyph, IsLight(colours.fill) ? Qt::black : Qt::white);
  return image;
}

}  // namespace tervando::icongen
