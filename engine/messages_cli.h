#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/page_check.h"

namespace tervando {

// The texts only tervando-cli prints. The option table's help texts stay in the table
// (cli/cli_option_table.cpp): they are the help page and make the manual page too.

// --help: the lines before and after the options.
inline constexpr char kCliUsageHead[] =
    "Aufruf: tervando-cli [OPTIONEN] HAUPTVERZEICHNIS\n"
    "\n"
    "Setzt in jeder Web-Seite unter HAUPTVERZEICHNIS den Favicon-Verweis ein (oder\n"
    "frischt ihn auf) und legt favicon.ico in das Hauptverzeichnis.\n"
    "\n";
inline constexpr char kCliUsageTail[] =
    "\n"
    "Rückgabewert: 0 fertig, 1 eine Seite, favicon.ico oder das Protokoll ging\n"
    "nicht, keine Seite gefunden oder der Lauf wurde abgebrochen, 2 falscher\n"
    "Aufruf, kein lesbares Hauptverzeichnis, ein Systemordner oder ein anderer\n"
    "Lauf bearbeitet es gerade.\n"
    "Mit --check: 0 keine Seite braucht Aufmerksamkeit, 1 eine oder mehr\n"
    "(\"!\" in der Tabelle), 2 falscher Aufruf, kein lesbares Hauptverzeichnis\n"
    "oder die Ausgabe ließ sich nicht schreiben.\n";

// A wrong call: the line after the error.
inline constexpr char kCliHelpHint[] = "Weitere Hinweise: tervando-cli --help\n";
std::string UnknownOptionText(const std::string& option);
std::string OptionTakesNoValueText(const std::string& option);
std::string OptionNeedsValueText(const std::string& option);
std::string CheckExcludesText(const std::string& option);
std::string OnlyWithCheckText(const std::string& option);
std::string ExclusiveOptionsText(const std::string& first, const std::string& second);
// An option given twice with values that mean different things.
std::string ConflictingValuesText(const std::string& option, const std::string& first,
                                  const std::string& second);
inline constexpr char kWebRootMissingText[] = "Das Hauptverzeichnis fehlt.";
inline constexpr char kOneWebRootOnlyText[] = "Nur ein Hauptverzeichnis ist erlaubt.";

// The favicon run: what was asked for that cannot be had, what a dry run would write and what
// did not get done.
std::string NotAReadableFolderText(const std::string& path);
std::string IconMissingText(int number);
// The log can't be written: `problem` and that the run stopped before changing anything.
std::string NothingChangedText(const std::string& problem);
std::string ListedCountText(int count);
// The run (or --list) found no page with these extensions (".htm") and wrote nothing.
std::string NoPagesWrittenText(const std::string& webRoot,
                               const std::vector<std::string>& extensions);
std::string WouldBeWrittenText(const std::string& name, const std::string& path);
std::string NotDoneCountText(int failed);
// favicon.ico at `path` was not written (`declined`: not overwritten, as the user chose).
std::string FaviconNotWrittenText(bool declined, const std::string& path);
// The modern set was not written: the chosen icon is not in the web root `webRoot`
// (`declined`: as the user chose).
std::string SetNotPlacedText(bool declined, const std::string& webRoot);
inline constexpr char kInterruptedText[] =
    "Abgebrochen: die begonnenen Dateien wurden fertig bearbeitet.";

// The terminal's answers to the core's questions.
inline constexpr char kNoInputOverwriteText[] =
    "Keine Eingabe möglich: Abbrechen (--overwrite überschreibt ohne Rückfrage).";
inline constexpr char kOkCancelPrompt[] = "[OK = j, Abbrechen = n] (j) ";
inline constexpr char kYesNoPrompt[] = "[Ja = j, Nein = n] (n) ";

// --check's table. Paths come as the terminal shows them; each text but a row's label ends its
// line(s) itself.
std::string NoPagesFoundText(const std::string& webRoot);
std::string CheckHeadingText(bool remove, std::size_t pageCount, const std::string& webRoot);
// Among the pages that would change, those left with an icon link browsers prefer to ours.
std::string OtherIconAfterRunLabel(bool modern);
inline constexpr char kBaseHrefLabel[] =
    "mit <base href>: relative Verweise, auch unsere, gelten von dort aus";
// Pages whose charset declaration the run's tags push past the first `bytes` bytes.
std::string LateCharsetLabel(std::size_t bytes);
inline constexpr char kSiteFindingsHeading[] = "\nHauptverzeichnis:\n";
std::string AttentionSummaryText(std::size_t attention, std::size_t pageCount);
// After "tervando-cli: ", when the report could not be written.
inline constexpr char kOutputNotWritableText[] = "Die Ausgabe ließ sich nicht schreiben.";

// --check's findings about the web root's files, one line each without its end.
inline constexpr char kIcoUnreadableText[] = "favicon.ico ist keine lesbare Icon-Datei.";
// The sizes (longer sides) favicon.ico holds, ascending; the second text when all of them lie
// below `sharpSide`, the least a high-resolution screen shows sharply.
std::string IcoSidesText(const std::vector<int>& sides);
std::string IcoBlurryText(const std::vector<int>& sides, int sharpSide);
std::string ManifestNotJsonText(const std::string& manifest);
std::string ManifestWithoutIconsText(const std::string& manifest);
std::string ManifestIconMissingText(const std::string& manifest, const std::string& source);
std::string SetFileMissingText(const std::string& name);
std::string SvgWithoutDarkModeText(const std::string& svg);
// What a manifest lacks that browsers need to install the site as an app.
enum class ManifestLack { kName, kStartUrl, kDisplay, kIcon192, kIcon512 };
std::string ManifestNotInstallableText(const std::string& manifest, ManifestLack lack);
std::string ManifestWithoutMaskableText(const std::string& manifest);

}  // namespace tervando
