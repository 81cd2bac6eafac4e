#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace tervando {

// The pictures of the windows. They come from the program's artwork resources; a missing one
// is drawn as a plain placeholder of the right size, so a window never lacks a picture box.
enum class Artwork {
  kWindowIcon,         // main window, 32x32
  kCurrentFavicon,     // the current-favicon button, 16x16
  kFavouritesPicture,  // Picture1 at the main window's left edge, 201x489
  kMakerBanner,        // Image2, the maker's logo banner, 1020x224
  kInfoBanner,         // Image1 of the About dialog, a tall banner
  kInfoFormIcon,       // the About dialog's icon, 32x32
};

QPixmap ArtworkPixmap(Artwork which);
QIcon ArtworkIcon(Artwork which);

// The pointer over the clickable pictures: a computer mouse, 32x32 monochrome.
QCursor ArtworkCursor();

}  // namespace tervando
