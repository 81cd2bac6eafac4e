#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tervando::icongen {

struct ArtFile {
  QString name;  // file name inside the artwork folder
  QByteArray bytes;
};

// The main window's pictures, the dialogs' banners, the window icon and the mouse pointer.
// The second image of the main window's image list is the default favicon.
std::vector<ArtFile> BuildArtwork();

inline constexpr const char* kDefaultIconName = "main_icon_list_2.ico";

}  // namespace tervando::icongen
