#pragma once

#include <QImage>
#include <QString>

#include "pictograms.h"

namespace tervando::icongen {

enum class BadgeShape { kCircle, kRoundedSquare, kShield, kHexagon };

// A monogram: one letter, digit or sign on a coloured badge with a one-pixel outline; the
// sign is white on dark badges and black on light ones. Drawn without antialiasing.
QImage RenderBadge(const QString& sign, BadgeShape shape, const Colours& colours, int size);

}  // namespace tervando::icongen
