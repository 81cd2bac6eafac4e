#include "artwork.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ico_encoder.h"

namespace tervando::icongen {

namespace {

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray Ico256(const QImage& image) { return EncodeIco({{image, IcoDepth::kColours256}}); }

// A sheet of paper with a folded corner, as a web page.
void DrawPage(QPainter& p, QRectF r) {
  const double fold = r.width() * 0.3;
  QPainterPath page;
  page.moveTo(r.topLeft());
  page.lineTo(r.right() - fold, r.top());
  page.lineTo(r.right(), r.top() + fold);
  page.lineTo(r.bottomRight());
  page.lineTo(r.bottomLeft());
  page.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  corner.closeSubpath();
  p.setBrush(QColor(200, 200, 200));
  p.drawPath(corner);
}

void DrawGlobe(QPainter& p, QPointF centre, double r) {
  QRadialGradient shade(centre - QPointF(r * 0.4, r * 0.4), r * 1.6);
  shade.setColorAt(0, QColor(120, 200, 255));
  shade.setColorAt(1, QColor(0, 60, 170));
  p.setPen(QPen(QColor(0, 40, 110), 1));
  p.setBrush(shade);
  p.drawEllipse(centre, r, r);
  p.setPen(QPen(QColor(210, 240, 255), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, r * 0.45, r - 0.5);
  p.drawLine(centre + QPointF(-r + 0.5, 0), centre + QPointF(r - 0.5, 0));
  p.drawLine(centre + QPointF(0, -r + 0.5), centre + QPointF(0, r - 0.5));
}

// The picture shown while no favicon of the site is in use: a web page with a globe.
QImage DefaultIcon() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawPage(p, QRectF(3.5, 1.5, 21, 27));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  for (double y : {10.5, 14.5, 18.5}) p.drawLine(QPointF(7, y), QPointF(17, y));
  DrawGlobe(p, QPointF(21.5, 21.5), 9.5);
  return image;
}

}  // namespace

std::vector<ArtFile> BuildArtwork() {
  std::vector<ArtFile> files;
  files.push_back({kDefaultIconName, Ico256(DefaultIcon())});
  return files;
}

}  // namespace tervando::icongen
