#include "artwork.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <cmath>
#include <map>

#include "catalogue_plan.h"
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

// A page with three lines of text, the base of the default icon and the page pictures.
void DrawLinedPage(QPainter& p) {
  DrawPage(p, QRectF(3.5, 1.5, 21, 27));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  for (double y : {10.5, 14.5, 18.5}) {
    p.drawLine(QPointF(7, y), QPointF(17, y));
  }
}

// The picture shown while no favicon of the site is in use: a web page with a globe.
QImage DefaultIcon() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawLinedPage(p);
  DrawGlobe(p, QPointF(21.5, 21.5), 9.5);
  return image;
}

QPainterPath StarPath(QPointF centre, double outer, double inner) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double r = i % 2 == 0 ? outer : inner;
    const QPointF point = centre + QPointF(r * std::cos(angle), r * std::sin(angle));
    if (i == 0) {
      path.moveTo(point);
    } else {
      path.lineTo(point);
    }
  }
  path.closeSubpath();
  return path;
}

void DrawStar(QPainter& p, QPointF centre, double outer, bool red = false) {
  QLinearGradient gold(centre - QPointF(0, outer), centre + QPointF(0, outer));
  gold.setColorAt(0, red ? QColor(255, 110, 90) : QColor(255, 240, 120));
  gold.setColorAt(1, red ? QColor(200, 0, 0) : QColor(235, 160, 0));
  p.setPen(QPen(red ? QColor(120, 0, 0) : QColor(150, 90, 0), 1));
  p.setBrush(gold);
  p.drawPath(StarPath(centre, outer, outer * 0.42));
}

void DrawFolder(QPainter& p, QRectF r) {
  const double tab_w = r.width() * 0.4;
  const double tab_h = r.height() * 0.18;
  QPainterPath back;
  back.moveTo(r.left(), r.top() + tab_h);
  back.lineTo(r.left(), r.top());
  back.lineTo(r.left() + tab_w, r.top());
  back.lineTo(r.left() + tab_w + tab_h, r.top() + tab_h);
  back.lineTo(r.right(), r.top() + tab_h);
  back.lineTo(r.right(), r.bottom());
  back.lineTo(r.left(), r.bottom());
  back.closeSubpath();
  p.setPen(QPen(QColor(150, 110, 0), 1));
  p.setBrush(QColor(230, 180, 40));
  p.drawPath(back);
  QLinearGradient front(r.topLeft(), r.bottomLeft());
  front.setColorAt(0, QColor(255, 230, 120));
  front.setColorAt(1, QColor(245, 195, 50));
  p.setBrush(front);
  p.drawRect(QRectF(r.left(), r.top() + tab_h * 2, r.width(), r.height() - tab_h * 2));
}

QImage PageWithSign(bool check) {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawLinedPage(p);
  if (check) {
    p.setPen(QPen(QColor(0, 140, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF(QList<QPointF>{{14, 21}, {19, 27}, {29, 14}}));
  } else {
    p.setPen(QPen(QColor(210, 0, 0), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 17), QPointF(28, 29));
    p.drawLine(QPointF(28, 17), QPointF(16, 29));
  }
  return image;
}

QImage FolderIcon() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawFolder(p, QRectF(1.5, 5.5, 29, 22));
  return image;
}

QImage StarIcon() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  DrawStar(p, QPointF(16, 17), 15);
  return image;
}

// The program's own icon: a browser window whose tab shows a favicon star.
QImage WindowIcon() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 50, 110), 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 2, 2);
  QLinearGradient bar(0, 4, 0, 11);
  bar.setColorAt(0, QColor(70, 130, 220));
  bar.setColorAt(1, QColor(20, 70, 170));
  p.setBrush(bar);
  p.drawRect(QRectF(1.5, 3.5, 29, 7));
  p.setPen(QPen(QColor(170, 170, 170), 1));
  for (double y : {15.5, 19.5, 23.5}) {
    p.drawLine(QPointF(5, y), QPointF(14, y));
  }
  DrawStar(p, QPointF(21.5, 19.5), 9);
  return image;
}

// Draws rows of characters as pixels; characters missing from `colours` stay transparent.
void DrawPixels(QImage& image, QPoint at, const QStringList& rows,
                const std::map<QChar, QRgb>& colours) {
  for (int y = 0; y < rows.size(); ++y) {
    for (int x = 0; x < rows[y].size(); ++x) {
      const auto colour = colours.find(rows[y][x]);
      if (colour != colours.end()) {
        image.setPixel(at.x() + x, at.y() + y, colour->second);
      }
    }
  }
}

// The picture button that shows the web root's current favicon: a folder with a star,
// drawn pixel by pixel because it is shown at 16x16.
QImage CurrentFaviconButtonIcon() {
  QImage image = Canvas(16, 16);
  const std::map<QChar, QRgb> folder_colours = {
      {'o', qRgb(140, 100, 0)}, {'y', qRgb(230, 180, 40)}, {'Y', qRgb(255, 215, 80)}};
  DrawPixels(image, QPoint(0, 5),
             {"oooo.........", "oyyyo........", "ooooooooooooo", "oYYYYYYYYYYYo", "oYYYYYYYYYYYo",
              "oYYYYYYYYYYYo", "oYYYYYYYYYYYo", "oYYYYYYYYYYYo", "oYYYYYYYYYYYo", "ooooooooooooo"},
             folder_colours);
  const std::map<QChar, QRgb> star_colours = {{'m', qRgb(128, 0, 0)}, {'R', qRgb(230, 0, 0)}};
  DrawPixels(image, QPoint(6, 0),
             {"....m....", "...mRm...", "mmmmRmmmm", "mRRRRRRRm", ".mRRRRRm.", "..mRRRm..",
              ".mRRmRRm.", ".mRm.mRm.", ".mm...mm."},
             star_colours);
  return image;
}

// A browser's favourites list seen at an angle, with favicons of the catalogue.
QImage FavouritesPicture() {
  const QStringList names = {"Startseite", "Nachrichten", "Wetter",    "Reisen",     "Fotoalbum",
                             "Musik",      "Bibliothek",  "Einkaufen", "Kontakt",    "Verein",
                             "Garten",     "Rezepte",     "Kalender",  "Sicherheit", "Familie",
                             "Termine",    "Technik",     "Fragen"};
  const int entries[] = {9,   54,  243, 297, 103, 92,  120, 177, 73,
                         393, 150, 33,  465, 321, 378, 339, 143, 511};
  const int w = 240;
  const int row_h = 26;
  const int h = 40 + row_h * static_cast<int>(names.size()) + 12;
  QImage flat(w, h, QImage::Format_ARGB32);
  flat.fill(QColor(250, 250, 250));
  {
    QPainter p(&flat);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient head(0, 0, 0, 34);
    head.setColorAt(0, QColor(80, 140, 225));
    head.setColorAt(1, QColor(25, 75, 170));
    p.fillRect(QRect(0, 0, w, 34), head);
    DrawStar(p, QPointF(18, 17), 10);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(36, 0, w - 40, 34), Qt::AlignVCenter, "Favoriten");
    font.setBold(false);
    font.setPixelSize(13);
    p.setFont(font);
    for (int i = 0; i < names.size(); ++i) {
      const int y = 40 + i * row_h;
      if (i == 4) {
        p.fillRect(QRect(4, y, w - 8, row_h - 2), QColor(200, 220, 250));
      }
      p.drawImage(QPoint(10, y + (row_h - 18) / 2), RenderEntry(entries[i], 16));
      p.setPen(QColor(30, 30, 30));
      p.drawText(QRect(34, y, w - 40, row_h - 2), Qt::AlignVCenter, names[i]);
      p.setPen(QColor(225, 225, 225));
      p.drawLine(QPoint(34, y + row_h - 1), QPoint(w - 8, y + row_h - 1));
    }
    p.setPen(QPen(QColor(90, 100, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, w - 2, h - 2));
  }

  QImage picture = Canvas(201, 489);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const QPolygonF target(QList<QPointF>{{8, 4}, {193, 30}, {193, 456}, {8, 482}});
  QTransform tilt;
  const QPolygonF source(
      QList<QPointF>{{0, 0}, {double(w), 0}, {double(w), double(h)}, {0, double(h)}});
  QTransform::quadToQuad(source, target, tilt);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 50));
  p.drawPolygon(target.translated(4, 4));
  p.setTransform(tilt);
  p.drawImage(0, 0, flat);
  return picture;
}

void DrawOrbitMark(QPainter& p, QPointF centre, double r) {
  QRadialGradient ball(centre - QPointF(r * 0.3, r * 0.3), r);
  ball.setColorAt(0, QColor(255, 220, 120));
  ball.setColorAt(1, QColor(230, 120, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(ball);
  p.drawEllipse(centre, r * 0.55, r * 0.55);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 220), r * 0.12));
  p.save();
  p.translate(centre);
  p.rotate(-25);
  p.drawEllipse(QPointF(0, 0), r * 1.05, r * 0.38);
  p.restore();
}

// The maker's banner; shown strongly reduced, so the name fills it.
QImage MakerBanner() {
  QImage image(1020, 224, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient back(0, 0, 1020, 224);
  back.setColorAt(0, QColor(10, 40, 110));
  back.setColorAt(1, QColor(0, 120, 150));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(0, 0, 1020, 224), 28, 28);
  DrawOrbitMark(p, QPointF(140, 112), 80);
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(168);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(250, 0, 760, 224), Qt::AlignVCenter | Qt::AlignLeft, "Orvatek");
  return image;
}

// The tall banner of the About dialog: the program's name, read from bottom to top.
QImage AboutBanner() {
  const int w = 61;
  const int h = 409;
  QImage image(w, h, QImage::Format_ARGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient back(0, 0, 0, h);
  back.setColorAt(0, QColor(10, 40, 110));
  back.setColorAt(1, QColor(0, 120, 150));
  p.fillRect(QRect(0, 0, w, h), back);
  p.drawImage(QPoint((w - 32) / 2, 12), WindowIcon());
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(36);
  p.setFont(font);
  p.setPen(Qt::white);
  p.translate(w / 2.0 + 13, h - 14);
  p.rotate(-90);
  p.drawText(QPointF(0, 0), "Tervando");
  return image;
}

// A 32x32 pointer in black and white showing a computer mouse with its cable; the hot spot
// is the cable's end at (16, 1).
QImage MousePointer() {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  QPainterPath cable;
  cable.moveTo(16, 1);
  cable.cubicTo(16, 5, 12, 5, 13, 8);
  cable.cubicTo(14, 10, 16, 9, 16, 11);
  p.drawPath(cable);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRect(8, 11, 16, 20), 7, 7);
  p.drawLine(QPoint(8, 19), QPoint(23, 19));
  p.drawLine(QPoint(16, 11), QPoint(16, 19));
  p.setBrush(Qt::black);
  p.drawRect(QRect(15, 13, 2, 4));
  p.end();
  // Keep the picture strictly two-coloured.
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) < 128) {
        image.setPixel(x, y, 0u);
      } else {
        image.setPixel(x, y, qGray(pixel) < 128 ? 0xFF000000u : 0xFFFFFFFFu);
      }
    }
  }
  return image;
}

}  // namespace

std::vector<ArtFile> BuildArtwork() {
  return {
      {"window_icon.ico", Ico256(WindowIcon())},
      {"current_favicon_button.png", Png(CurrentFaviconButtonIcon())},
      {"main_icon_list_1.ico", Ico256(FolderIcon())},
      {kDefaultIconName, Ico256(DefaultIcon())},
      {"main_icon_list_3.ico", Ico256(PageWithSign(true))},
      {"main_icon_list_4.ico", Ico256(PageWithSign(false))},
      {"main_icon_list_5.ico", Ico256(StarIcon())},
      {"picture1.png", Png(FavouritesPicture())},
      {"image2.png", Png(MakerBanner())},
      {"image1.png", Png(AboutBanner())},
      {"mouse_pointer.png", Png(MousePointer())},
  };
}

}  // namespace tervando::icongen
