#include "support/artwork.h"

#include <QFile>
#include <QPainter>

#include "support/crisp_pixmap.h"

// The artwork resources live in a static library, so they are registered by hand.
static void RegisterArtwork() { Q_INIT_RESOURCE(artwork); }

namespace tervando {

namespace {

struct ArtworkFile {
  const char* resource;
  QSize size;
};

ArtworkFile FileOf(Artwork which) {
  switch (which) {
    case Artwork::kWindowIcon:
      return {":/art/window_icon.ico", {32, 32}};
    case Artwork::kCurrentFavicon:
      return {":/art/current_favicon_button.png", {16, 16}};
    case Artwork::kFavouritesPicture:
      return {":/art/picture1.png", {201, 489}};
    case Artwork::kMakerBanner:
      return {":/art/image2.png", {1020, 224}};
    case Artwork::kInfoBanner:
      return {":/art/image1.png", {61, 409}};
    case Artwork::kInfoFormIcon:
      return {":/art/window_icon.ico", {32, 32}};
  }
  return {"", {32, 32}};
}

QPixmap Placeholder(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter painter(&pixmap);
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
  return pixmap;
}

}  // namespace

QPixmap ArtworkPixmap(Artwork which) {
  static const bool registered = (RegisterArtwork(), true);
  (void)registered;
  const ArtworkFile file = FileOf(which);
  QPixmap pixmap;
  if (QFile::exists(QString::fromLatin1(file.resource)) &&
      pixmap.load(QString::fromLatin1(file.resource))) {
    return pixmap;
  }
  return Placeholder(file.size);
}

QIcon ArtworkIcon(Artwork which) { return CrispIcon(ArtworkPixmap(which)); }

QCursor ArtworkCursor() {
  ArtworkPixmap(Artwork::kWindowIcon);  // registers the resources
  QPixmap pixmap;
  if (pixmap.load(QStringLiteral(":/art/mouse_pointer.png"))) {
    return QCursor(pixmap, 0, 0);
  }
  return QCursor(Qt::PointingHandCursor);
}

}  // namespace tervando
