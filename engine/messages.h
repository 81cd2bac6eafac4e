#pragma once

#include <string>

#include "engine/host_events.h"
#include "engine/message.h"

namespace tervando {

// The program's own texts for what the core tells and asks, in one place. The window shows
// them as they are; tervando-cli prints them, answers the questions from its options.
Message NoticeMessage(const Notice& notice);
Message PageFailedMessage(const PageFailure& failure);
Message OverwriteFaviconMessage();
Message FaviconWriteFailedMessage(const std::string& errorInfo);
std::string StatusText(const Status& status);

}  // namespace tervando
