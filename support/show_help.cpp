#include "support/show_help.h"

#include "site/app_folder.h"
#include "support/help_page.h"
#include "support/message_box.h"
#include "support/open_with_shell.h"

namespace tervando {

void ShowHelp() { ShowHelpIn(DataFolder()); }

void ShowHelpIn(const std::string& folder) {
  const std::string page = FindHelpPage(folder);
  if (page.empty()) {
    ShowMessage({kHelpNotFound, MessageIcon::Information});
    return;
  }
  OpenWithShell(page, 0);
}

}  // namespace tervando
