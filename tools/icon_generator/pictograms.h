#pragma once

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <vector>

#include "palette.h"

namespace tervando::icongen {

struct Colours {
  Std fill;
  Std line;
};

// A pictogram is drawn in a 32-unit square scaled to the target size, without antialiasing
// so that every pixel is one of the 16 standard colours. The body is filled with the fill
// colour and gets a one-pixel outline in the line colour; the details are drawn on top.
struct Pictogram {
  std::string name;
  std::function<void(QPainter&, const Colours&, int size)> body;
  std::function<void(QPainter&, const Colours&, int size)> details;
};

const std::vector<Pictogram>& Pictograms();

QImage RenderPictogram(const Pictogram& pictogram, const Colours& colours, int size);

// Gives every opaque pixel that touches a transparent pixel or the border the colour `line`.
void OutlineSilhouette(QImage& image, QRgb line);

}  // namespace tervando::icongen
