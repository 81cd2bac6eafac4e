#pragma once

#include <string_view>

#include "icons/icon_catalogue.h"

// The icon files compiled into the program; the arrays are generated at build time.
namespace tervando::embedded {

extern const std::string_view kCatalogueFiles[kIconCount];
extern const std::string_view kDefaultIconFiles[1];

}  // namespace tervando::embedded
