#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tervando {

// Pixel art (icons of 16 or 32 pixels) on high-density screens. Enlarged, it repeats its
// pixels instead of being smoothed, so edges stay sharp at 150 % and 200 %; made smaller, it is
// averaged as before.

// `source` for a box of `logical` size on a screen with `devicePixelRatio`.
QPixmap CrispPixmap(const QPixmap& source, QSize logical, qreal devicePixelRatio);

// An icon that holds `source` ready for the usual scale factors (100 % to 400 %), so Qt never
// has to smooth it up.
QIcon CrispIcon(const QPixmap& source);

}  // namespace tervando
