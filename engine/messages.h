#pragma once

#include <string>

#include "engine/host_events.h"
#include "engine/message.h"
#include "engine/page_check.h"

namespace tervando {

// The program's own texts for what the core tells and asks, in one place. The window shows
// them as they are; tervando-cli prints them, answers the questions from its options.
Message NoticeMessage(const Notice& notice);
Message PageFailedMessage(const PageFailure& failure);
Message OverwriteFaviconMessage();
Message FaviconWriteFailedMessage(const std::string& errorInfo);
std::string StatusText(const Status& status);

// The end of Start: "Fertig: Alle Eintragungen abgeschlossen." when every marked page was
// handled and will show the icon; otherwise what was not, with the counts and the log file.
std::string FinishedText(const RunCounts& counts, const std::string& logPath);
// The log line of a marked row that lies outside the current web root and was passed over.
std::string PassedOverLogLine(const std::string& path);
// Why such a row is never edited (the list's tooltip names it).
std::string OutsideWebRootText(const std::string& webRoot);
// What one class of the page check means, as the list's tooltip and tervando-cli --check say.
std::string PageClassText(PageClass pageClass, bool remove);

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

// What went wrong with a page or folder on the walk from the web root (the run's error info).
inline constexpr char kWalkLinkText[] = "Verknüpfung statt Ordner oder Datei, nicht gefolgt";
inline constexpr char kWalkNoFolderText[] = "Ordner auf dem Weg ist kein Ordner mehr";
inline constexpr char kWalkOutsideRootText[] = "Liegt nicht im Hauptverzeichnis";
inline constexpr char kPageSwappedText[] =
    "Datei wurde während der Bearbeitung durch eine andere ersetzt";
inline constexpr char kPageReadOnlyText[] = "Datei ist schreibgeschützt";
inline constexpr char kPageBusyText[] = "Datei wird gerade von einem anderen Programm geschrieben";
inline constexpr char kPageChangedText[] = "Datei wurde während der Bearbeitung von außen geändert";

}  // namespace tervando
