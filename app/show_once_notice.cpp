#include "app/show_once_notice.h"

#include "app/app_settings.h"
#include "engine/messages_window.h"
#include "support/expand_escapes.h"
#include "support/version_text.h"

namespace tervando {

void ShowOnceNotice(Desktop& desktop) {
  const std::string stored = GetAppSetting(kShowOnceKey);
  const std::string current = VersionText(1);
  if (stored == current) {
    return;
  }
  desktop.ShowMessage({ExpandEscapes(kShowOnceNoticeText), MessageIcon::Exclamation});
  SaveAppSetting(kShowOnceKey, current);
}

}  // namespace tervando
