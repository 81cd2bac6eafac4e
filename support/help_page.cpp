#include "support/help_page.h"

#include "engine/favicon_file.h"
#include "site/app_folder.h"

namespace tervando {

std::string FindHelpPage(const std::string& folder) {
  for (const char* name : {"hilfe.htm", "index.htm"}) {
    std::string candidate = folder + name;
    if (FileExists(candidate)) {
      return candidate;
    }
  }
  return {};
}

std::string FindHelpPage() { return FindHelpPage(DataFolder()); }

}  // namespace tervando
