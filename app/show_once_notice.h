#pragma once

#include <string>

#include "engine/messages.h"  // kShowOnceNoticeText
#include "support/desktop.h"

namespace tervando {

inline constexpr char kShowOnceKey[] = "ShowOnceWarning";

// Shows the notice about backups and the missing undo once per user and program version:
// when the stored "ShowOnceWarning" differs from VersionText(1), then stores the current one.
void ShowOnceNotice(Desktop& desktop);

}  // namespace tervando
