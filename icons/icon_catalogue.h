#pragma once

#include <string_view>

namespace tervando {

// The built-in catalogue: complete Windows icon files, compiled into the programs.
inline constexpr int kIconCount = 511;

// Entry 1..kIconCount as its icon file bytes; empty for an index outside that range.
std::string_view IconFile(int index);

// The default icon (second image of the main window's image list): 32x32, 256 colours,
// 2238 bytes. Written as favicon.ico when the web root has none and no icon was chosen.
std::string_view DefaultIconFile();

}  // namespace tervando
