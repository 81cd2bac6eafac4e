#include "support/crisp_pixmap.h"

#include <cmath>

namespace tervando {

QPixmap CrispPixmap(const QPixmap& source, QSize logical, qreal devicePixelRatio) {
  if (source.isNull() || logical.isEmpty()) {
    return source;
  }
  const QSize device(static_cast<int>(std::lround(logical.width() * devicePixelRatio)),
                     static_cast<int>(std::lround(logical.height() * devicePixelRatio)));
  const bool enlarged = device.width() >= source.width() && device.height() >= source.height();
  QPixmap scaled = source.scaled(device, Qt::IgnoreAspectRatio,
                                 enlarged ? Qt::FastTransformation : Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(devicePixelRatio);
  return scaled;
}

QIcon CrispIcon(const QPixmap& source) {
  QIcon icon;
  for (const qreal factor : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0}) {
    QPixmap scaled = CrispPixmap(source, source.size(), factor);
    scaled.setDevicePixelRatio(1.0);  // QIcon picks its pixmaps by their pixel size
    icon.addPixmap(scaled);
  }
  return icon;
}

}  // namespace tervando
