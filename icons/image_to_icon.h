#pragma once

#include <QImage>
#include <string>
#include <string_view>

namespace tervando {

// The icon file made from the user's own picture, or why none could be made.
struct IconFromImage {
  std::string iconFile;  // empty when it failed
  std::string error;     // German, one line, for a message box or the terminal; empty on success
  std::string picture;   // the file as read (IconFromImageFile, on success)
};

// The sizes written for a picture: 16, 32 and 48 px as 32-bit bitmaps with alpha (and their
// masks for readers without alpha), 256 px as PNG.
inline constexpr int kIconSizes[] = {16, 32, 48, 256};

// Reads the file at `path` (a local file name in UTF-8) and makes the icon file of it: an icon
// file is taken byte for byte once it proves sound; a PNG, JPEG, GIF, BMP or WebP picture is
// scaled, an SVG drawing drawn afresh, at each size. Runs without a display; never throws.
IconFromImage IconFromImageFile(const std::string& path);

// The same for bytes already read; `name` is shown in messages and tells an SVG by its ending.
IconFromImage IconFromImageBytes(std::string_view bytes, const std::string& name);

// A decoded picture as icon file: fitted into the square, centred on transparency, scaled down
// by halving and a last smooth step. Takes the picture over so that its memory is given back
// after the first halving. Empty when the picture has no visible pixel.
std::string IconFromPicture(QImage picture);

// One size of an icon file as a 32-bit bitmap with alpha (straight ARGB32 pixels); fully
// transparent pixels are black and masked, so readers without alpha leave the screen as it is.
std::string IcoBitmapPayload(const QImage& straight);

// An SVG drawing drawn afresh into a transparent square of `side` pixels, fitted and centred
// (premultiplied); a null image when the drawing can't be read or has no size. Needs no display.
QImage RenderSvgSquare(std::string_view svg, int side);
// A transparent square of `side` pixels in `format` with the picture's 32-bit pixels copied into
// its middle as they are (the picture is no larger than the square and already in that format).
QImage CentredInSquare(const QImage& image, int side, QImage::Format format);
// True when some pixel of the picture is not wholly transparent.
bool HasVisiblePixel(const QImage& image);

}  // namespace tervando
