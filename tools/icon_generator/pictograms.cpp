#include "pictograms.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace tervando::icongen {

namespace {

using Points = std::initializer_list<QPointF>;

QPolygonF Poly(Points points) { return QPolygonF(QList<QPointF>(points)); }

QPen LinePen(const Colours& c, double width = 2.0) {
  QPen pen(StdColor(c.line), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  return pen;
}

void FillPath(QPainter& p, const QPainterPath& path, QColor colour) { p.fillPath(path, colour); }

void Clear(QPainter& p, const QPainterPath& path) {
  const auto mode = p.compositionMode();
  p.setCompositionMode(QPainter::CompositionMode_Clear);
  p.fillPath(path, Qt::black);
  p.setCompositionMode(mode);
}

QPainterPath Circle(double cx, double cy, double r) {
  QPainterPath path;
  path.addEllipse(QPointF(cx, cy), r, r);
  return path;
}

QPainterPath PolyPath(Points points) {
  QPainterPath path;
  path.addPolygon(Poly(points));
  path.closeSubpath();
  return path;
}

QPainterPath StarPath(double cx, double cy, double outer, double inner, int points) {
  QPolygonF poly;
  for (int i = 0; i < points * 2; ++i) {
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / points;
    const double r = i % 2 == 0 ? outer : inner;
    poly << QPointF(cx + r * std::cos(angle), cy + r * std::sin(angle));
  }
  QPainterPath path;
  path.addPolygon(poly);
  path.closeSubpath();
  return path;
}

void NoDetails(QPainter&, const Colours&, int) {}

std::vector<Pictogram> MakePictograms() {
  std::vector<Pictogram> list;

  list.push_back(
      {"house",
       [](QPainter& p, const Colours& c, int) {
         FillPath(p, PolyPath({{16, 2}, {31, 16}, {27, 16}, {27, 30}, {5, 30}, {5, 16}, {1, 16}}),
                  StdColor(c.fill));
       },
       [](QPainter& p, const Colours& c, int) {
         p.fillRect(QRectF(13, 20, 6, 10), StdColor(c.line));
       }});

  list.push_back({"star",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, StarPath(16, 17, 16, 6.5, 5), StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back({"heart",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.moveTo(16, 30);
                    path.cubicTo(-4, 16, 4, -2, 16, 8);
                    path.cubicTo(28, -2, 36, 16, 16, 30);
                    FillPath(p, path, StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back({"globe",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, Circle(16, 16, 15), StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int size) {
                    p.setPen(LinePen(c, 32.0 / size));  // one pixel at every size
                    p.setBrush(Qt::NoBrush);
                    p.drawEllipse(QPointF(16, 16), 6, 15);
                    p.drawLine(QPointF(1, 16), QPointF(31, 16));
                    if (size < 32) {
                      return;  // more lines would fill the small globe
                    }
                    p.drawLine(QPointF(16, 1), QPointF(16, 31));
                    p.drawLine(QPointF(4, 9), QPointF(28, 9));
                    p.drawLine(QPointF(4, 23), QPointF(28, 23));
                  }});

  list.push_back({"envelope",
                  [](QPainter& p, const Colours& c, int) {
                    p.fillRect(QRectF(1, 6, 30, 21), StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    p.setPen(LinePen(c));
                    p.drawPolyline(Poly({{2, 7}, {16, 19}, {30, 7}}));
                  }});

  list.push_back({"note",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.addEllipse(QPointF(8, 25), 6, 4.5);
                    path.addEllipse(QPointF(23, 22), 6, 4.5);
                    path.addRect(QRectF(10, 6, 4, 19));
                    path.addRect(QRectF(25, 3, 4, 19));
                    path.addPolygon(Poly({{10, 6}, {29, 2}, {29, 8}, {10, 12}}));
                    path.setFillRule(Qt::WindingFill);
                    FillPath(p, path.simplified(), StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back({"camera",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.addRect(QRectF(1, 9, 30, 20));
                    path.addRect(QRectF(10, 4, 12, 6));
                    FillPath(p, path.simplified(), StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, Circle(16, 19, 7), StdColor(c.line));
                    FillPath(p, Circle(16, 19, 3.5), StdColor(c.fill));
                    p.fillRect(QRectF(24, 12, 4, 3), StdColor(c.line));
                  }});

  list.push_back({"book",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p,
                             PolyPath({{1, 6},
                                       {14, 6},
                                       {16, 8},
                                       {18, 6},
                                       {31, 6},
                                       {31, 28},
                                       {18, 28},
                                       {16, 30},
                                       {14, 28},
                                       {1, 28}}),
                             StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    p.setPen(LinePen(c));
                    p.drawLine(QPointF(16, 8), QPointF(16, 29));
                    for (double y : {12.0, 17.0, 22.0}) {
                      p.drawLine(QPointF(4, y), QPointF(13, y));
                      p.drawLine(QPointF(19, y), QPointF(28, y));
                    }
                  }});

  list.push_back({"gear",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath gear = Circle(16, 16, 11.5);
                    for (int i = 0; i < 8; ++i) {
                      QPainterPath tooth;
                      tooth.addRect(QRectF(-3, -16, 6, 8));
                      QTransform t;
                      t.translate(16, 16);
                      t.rotate(i * 45.0);
                      gear = gear.united(t.map(tooth));
                    }
                    FillPath(p, gear, StdColor(c.fill));
                    Clear(p, Circle(16, 16, 4.5));
                  },
                  NoDetails});

  list.push_back({"leaf",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.moveTo(3, 29);
                    path.cubicTo(1, 10, 14, 2, 31, 1);
                    path.cubicTo(31, 20, 20, 30, 3, 29);
                    FillPath(p, path, StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    p.setPen(LinePen(c));
                    p.drawLine(QPointF(2, 30), QPointF(24, 8));
                  }});

  list.push_back(
      {"sun",
       [](QPainter& p, const Colours& c, int) { FillPath(p, Circle(16, 16, 9), StdColor(c.fill)); },
       [](QPainter& p, const Colours& c, int size) {
         // Rays as lines in the outline colour stay crisp at 16 pixels.
         p.setPen(LinePen(c, size < 32 ? 2.0 : 2.5));
         for (int i = 0; i < 8; ++i) {
           QTransform t;
           t.translate(16, 16);
           t.rotate(i * 45.0);
           p.drawLine(t.map(QLineF(0, -11.5, 0, -16.5)));
         }
       }});

  list.push_back({"cart",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, PolyPath({{7, 7}, {31, 7}, {27, 20}, {10, 20}}), StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    p.setPen(LinePen(c));
                    p.drawPolyline(Poly({{0, 3}, {5, 3}, {10, 22}, {28, 22}}));
                    FillPath(p, Circle(12, 27, 3), StdColor(c.line));
                    FillPath(p, Circle(25, 27, 3), StdColor(c.line));
                  }});

  list.push_back({"phone",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.addRoundedRect(QRectF(8, 1, 16, 30), 3, 3);
                    FillPath(p, path, StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    p.fillRect(QRectF(10, 4, 12, 20), StdColor(c.line));
                    const Std screen = c.fill == Std::kWhite ? Std::kSilver : Std::kWhite;
                    p.fillRect(QRectF(12, 6, 8, 16), StdColor(screen));
                    p.fillRect(QRectF(14, 26, 4, 2), StdColor(c.line));
                  }});

  list.push_back({"check",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, PolyPath({{1, 17}, {7, 11}, {13, 17}, {25, 3}, {31, 9}, {13, 29}}),
                             StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back(
      {"arrow",
       [](QPainter& p, const Colours& c, int) {
         FillPath(p, PolyPath({{1, 11}, {16, 11}, {16, 3}, {31, 16}, {16, 29}, {16, 21}, {1, 21}}),
                  StdColor(c.fill));
       },
       NoDetails});

  list.push_back({"cloud",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path = Circle(9, 20, 7);
                    path = path.united(Circle(17, 13, 9));
                    path = path.united(Circle(24, 20, 7));
                    QPainterPath base;
                    base.addRect(QRectF(9, 18, 15, 9));
                    path = path.united(base);
                    FillPath(p, path, StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back({"moon",
                  [](QPainter& p, const Colours& c, int) {
                    FillPath(p, Circle(15, 16, 14).subtracted(Circle(23, 11, 12)),
                             StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back(
      {"bolt",
       [](QPainter& p, const Colours& c, int) {
         FillPath(p, PolyPath({{19, 1}, {5, 18}, {14, 18}, {10, 31}, {27, 12}, {18, 12}, {23, 1}}),
                  StdColor(c.fill));
       },
       NoDetails});

  list.push_back(
      {"flag",
       [](QPainter& p, const Colours& c, int) {
         FillPath(p, PolyPath({{8, 3}, {30, 3}, {24, 10}, {30, 17}, {8, 17}}), StdColor(c.fill));
       },
       [](QPainter& p, const Colours& c, int) {
         p.fillRect(QRectF(4, 2, 4, 30), StdColor(c.line));
       }});

  list.push_back({"key",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path = Circle(9, 16, 8);
                    QPainterPath shaft;
                    shaft.addRect(QRectF(15, 13, 16, 6));
                    shaft.addRect(QRectF(21, 19, 4, 6));
                    shaft.addRect(QRectF(27, 19, 4, 8));
                    path = path.united(shaft);
                    FillPath(p, path, StdColor(c.fill));
                    Clear(p, Circle(8, 16, 3));
                  },
                  NoDetails});

  list.push_back({"lock",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath shackle;
                    shackle.addRoundedRect(QRectF(8, 1, 16, 22), 8, 8);
                    QPainterPath inner;
                    inner.addRoundedRect(QRectF(12, 5, 8, 16), 4, 4);
                    FillPath(p, shackle.subtracted(inner), StdColor(c.fill));
                    p.fillRect(QRectF(4, 13, 24, 18), StdColor(c.fill));
                  },
                  [](QPainter& p, const Colours& c, int) {
                    // A light keyhole on dark locks, where a dark one would vanish.
                    const QColor hole = StdColor(IsLight(c.fill) ? c.line : Std::kWhite);
                    FillPath(p, Circle(16, 20, 3), hole);
                    p.fillRect(QRectF(15, 20, 2, 7), hole);
                  }});

  list.push_back({"bell",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path;
                    path.moveTo(16, 2);
                    path.cubicTo(25, 2, 25, 10, 25, 16);
                    path.lineTo(30, 25);
                    path.lineTo(2, 25);
                    path.lineTo(7, 16);
                    path.cubicTo(7, 10, 7, 2, 16, 2);
                    path = path.united(Circle(16, 26, 4));
                    FillPath(p, path, StdColor(c.fill));
                  },
                  NoDetails});

  list.push_back({"magnifier",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path = Circle(12, 12, 11);
                    QTransform t;
                    t.translate(20, 20);
                    t.rotate(45);
                    QPainterPath handle;
                    handle.addRect(QRectF(0, -3.5, 15, 7));
                    path = path.united(t.map(handle));
                    FillPath(p, path, StdColor(c.fill));
                    Clear(p, Circle(12, 12, 6.5));
                  },
                  NoDetails});

  list.push_back({"person",
                  [](QPainter& p, const Colours& c, int) {
                    QPainterPath path = Circle(16, 9, 7);
                    QPainterPath body;
                    body.moveTo(3, 31);
                    body.cubicTo(3, 17, 29, 17, 29, 31);
                    body.closeSubpath();
                    FillPath(p, path.united(body), StdColor(c.fill));
                  },
                  NoDetails});

  return list;
}

}  // namespace

const std::vector<Pictogram>& Pictograms() {
  static const std::vector<Pictogram> list = MakePictograms();
  return list;
}

void OutlineSilhouette(QImage& image, QRgb line) {
  const QImage source = image.copy();
  const int w = image.width();
  const int h = image.height();
  auto transparent = [&](int x, int y) {
    return x < 0 || y < 0 || x >= w || y >= h || qAlpha(source.pixel(x, y)) < 128;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (transparent(x, y)) {
        continue;
      }
      if (transparent(x - 1, y) || transparent(x + 1, y) || transparent(x, y - 1) ||
          transparent(x, y + 1)) {
        image.setPixel(x, y, line);
      }
    }
  }
}

QImage RenderPictogram(const Pictogram& pictogram, const Colours& colours, int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    pictogram.body(p, colours, size);
  }
  OutlineSilhouette(image, StdRgb(colours.line));
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    pictogram.details(p, colours, size);
  }
  return image;
}

}  // namespace tervando::icongen
