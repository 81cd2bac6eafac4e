#pragma once

#include <QByteArray>
#include <QImage>

#include "icons/icon_catalogue.h"

namespace tervando::icongen {

inline constexpr int kCatalogueSize = kIconCount;

// Which images an entry's icon file holds, in file order.
enum class EntryLayout {
  kLargeAndSmall,   // 32x32 16 colours, 16x16 16 colours
  kLargeOnly,       // 32x32 16 colours
  kMonoLarge,       // 32x32 monochrome, 32x32 16 colours
  kMonoLargeLarge,  // 32x32 monochrome, 32x32 16 colours, 32x32 16 colours
  kLargeMonoLarge,  // 32x32 16 colours, 32x32 monochrome, 32x32 16 colours
};

EntryLayout LayoutOf(int entry);

// The entry's motif drawn at `size` (16 or 32) in its own colours.
QImage RenderEntry(int entry, int size);

// The complete icon file of entry 1..kCatalogueSize.
QByteArray BuildEntryFile(int entry);

}  // namespace tervando::icongen
