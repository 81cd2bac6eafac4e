#pragma once

#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/host_events.h"
#include "engine/message.h"
#include "engine/messages_files.h"
#include "engine/messages_picture.h"
#include "engine/messages_scan.h"
#include "engine/page_check.h"

namespace tervando {

// Every German text the programs show, print or log is made in this module, from typed values:
// the topic headers above hold why a file operation failed, the scan's counts and the pictures'
// texts; this one what the core tells and asks. The texts of one front end alone are in
// engine/messages_window.h and engine/messages_cli.h, included only where they are used, so a
// change to one rebuilds that front end and not the other. The window shows
// them as they are; tervando-cli prints them and answers the questions from its options.
Message NoticeMessage(const Notice& notice);
Message PageFailedMessage(const PageFailure& failure);
Message OverwriteFaviconMessage();
Message FaviconWriteFailedMessage(const ErrorInfo& errorInfo);
std::string StatusText(const Status& status);
// The count panel of the status bar and of the terminal's progress line: "<n> Dateien".
std::string FileCountText(int count);
// What a checked page is (--check's rows, the list's tooltips): `remove` for a remove run's
// check, `modern` for the modern set.
std::string PageClassLabel(PageClass pageClass, bool remove, bool modern);
// A run is already working on the web root (or on a folder below it).
std::string WebRootBusyText(const std::string& webRoot);
// The web root's path names another folder than the one read (also the log's line).
std::string WebRootMovedText(const std::string& webRoot, bool duringRun);

// Error info in its two forms: the run's "text [code]" (a page that failed) and the favicon.ico
// write's "text (Code n)".
std::string PageErrorInfoText(const ErrorInfo& info);
std::string FaviconErrorInfoText(const ErrorInfo& info);

// The end of Start: "Fertig: Alle Eintragungen abgeschlossen." (in remove mode "… Favicon-Verweise
// entfernt.") when no marked page was left undone, otherwise what was not; then the counts, the
// pages that need a look, and the log file.
std::string FinishedText(const RunCounts& counts, const std::string& logPath);
// The counts of the closing message as one log line, for a run whose program ended before the
// message could be shown.
std::string SummaryLogLine(const RunCounts& counts);
// The log line of a page that the check after the run found in need of a look, with the reason.
std::string CheckedPageLogLine(const std::string& path, const std::string& reason);
// The log line of a marked row that lies outside the current web root and was passed over.
std::string PassedOverLogLine(const std::string& path);
// Why such a row is never edited (the list's tooltip names it).
std::string OutsideWebRootText(const std::string& webRoot);

// The activity log. A log that is no regular file (a named pipe, a device) is refused: it
// could hold the program or swallow the record. A lost line is said, never passed over.
std::string LogNotARegularFileText(const std::string& path);
// Why the log can't be written: the system's reason for `errnoValue`, with its code.
std::string LogNotWritableText(const std::string& path, int errnoValue);
// The window shows a failed log once, with this box.
Message LogFailedMessage(const std::string& text);
// The lines of a run's block in the log: the start (after the date and time), the heading of
// the page list, a page that failed, and the count at the end.
std::string RunStartedLogLine(const std::string& dateTime);
std::string PageListLogLine();
std::string PageFailedLogLine(const std::string& path, const std::string& errorInfo);
std::string ChangedCountLogLine(int count);
// The last line of the block of a run the program was asked to end before its last page.
std::string RunInterruptedLogLine();

// The favicon set: the log line of a page whose own icon links were switched off or on.
std::string ForeignLinksLogLine(bool switchedOn, int count, const std::string& path);
// The one overwrite question for the files of the modern set a new icon would replace: the set
// is written from one picture or not at all.
Message OverwriteSetFilesMessage(const std::vector<std::string>& names);

}  // namespace tervando
