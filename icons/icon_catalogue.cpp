#include "icons/icon_catalogue.h"

#include "icons/embedded_icons.h"

namespace tervando {

std::string_view IconFile(int index) {
  if (index < 1 || index > kIconCount) {
    return {};
  }
  return embedded::kCatalogueFiles[index - 1];
}

std::string_view DefaultIconFile() { return embedded::kDefaultIconFiles[0]; }

}  // namespace tervando
