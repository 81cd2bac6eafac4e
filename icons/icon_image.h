#pragma once

#include <QImage>
#include <string_view>

namespace tervando {

// The picture of an icon file (or of any picture file Qt reads) for showing at `size` pixels:
// the image of that size with the most colours, else the largest image. A null image when the
// bytes hold no readable picture; never throws.
QImage DecodeIconImage(std::string_view file, int size);

}  // namespace tervando
