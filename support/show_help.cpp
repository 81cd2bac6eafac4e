#include "support/show_help.h"

#include "engine/messages_window.h"
#include "site/app_folder.h"
#include "support/help_page.h"
#include "support/open_with_shell.h"

namespace tervando {

void ShowHelp(Desktop& desktop) { ShowHelpIn(desktop, DataFolder()); }

void ShowHelpIn(Desktop& desktop, const std::string& folder) {
  const std::string page = FindHelpPage(folder);
  if (page.empty()) {
    desktop.ShowMessage({kHelpNotFound, MessageIcon::Information});
    return;
  }
  if (!OpenWithShell(desktop, page, 0)) {
    desktop.ShowMessage(OpenFailedMessage(OpenTarget::kHelpPage, page));
  }
}

}  // namespace tervando
