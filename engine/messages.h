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

// The activity log. A log that is no regular file (a named pipe, a device) is refused: it
// could hold the program or swallow the record. A lost line is said, never passed over.
std::string LogNotARegularFileText(const std::string& path);
std::string LogNotWritableText(const std::string& path, const std::string& reason);
// The window shows a failed log once, with this box.
Message LogFailedMessage(const std::string& text);
// The last line of the block of a run the program was asked to end before its last page.
std::string RunInterruptedLogLine();

// A picture for the icon: an SVG drawing that would take part of itself from elsewhere.
std::string SvgOutsideReferenceText(const std::string& name, const std::string& reference);

}  // namespace tervando
