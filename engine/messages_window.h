#pragma once

#include <string>

#include "engine/message.h"

namespace tervando {

// The texts only the window program shows: its captions, accessible names and message boxes.
// Kept free of Qt like the rest of the core; the window turns them into QStrings.

// How far the run has come, with German thousands separators: "1.234 von 10.000".
std::string ProgressCountText(int done, int total);

// Main window: the web-root label before a folder is chosen, and its accessible name after.
inline constexpr char kNoWebRootText[] = "(Bitte Pfad angeben ...)";
std::string WebRootAccessibleName(const std::string& webRoot);
// The page list's column heading (also its accessible name) and the other accessible names.
inline constexpr char kPageListHeading[] = "Gefundene Web-Seiten";
inline constexpr char kProgressBarName[] = "Fortschritt";
inline constexpr char kFavouritesPictureName[] = "Bild: Favoriten eines Browsers";
inline constexpr char kMakerLogoName[] = "Logo von Orvatek";
inline constexpr char kFaviconPreviewName[] = "Favicon in Gebrauch";

// The check box of the window's failure prompt: its answer holds for the rest of the run.
inline constexpr char kLaterFailuresCheckBox[] = "Für alle weiteren Fehler dieses Laufs";

// A new web root leaves marked rows of another one in the list: they lose their marks.
Message OtherRootRowsMessage(int count);

// The folder dialog's prompt.
inline constexpr char kWebRootPrompt[] = "Wo liegt das Hauptverzeichnis Ihrer lokalen Web-Dateien?";

// The window program's command line (--help).
inline constexpr char kWindowProgramDescription[] =
    "Setzt in jede Seite einer lokalen Web-Site den Favicon-Verweis ein.";
inline constexpr char kFolderArgumentName[] = "ORDNER";
inline constexpr char kFolderArgumentHelp[] = "Hauptverzeichnis der Web-Site, wie mit \"Pfad\"";
inline constexpr char kFolderArgumentSyntax[] = "[ORDNER]";

// The notice shown once per user and version, with \n escapes that ExpandEscapes turns into
// line breaks.
inline constexpr char kShowOnceNoticeText[] =
    "BITTE UNBEDINGT LESEN - dieser Dialog erscheint nur ein einziges Mal!\\n\\n"
    "Dieses Programm wurde nach bestem Wissen und Gewissen programmiert und vor seiner "
    "Veröffentlichung vollständig getestet. Eventuelle Fehler können daher weitestgehend "
    "ausgeschlossen werden.\\n\\n"
    "Aber: Eine 100%ige Garantie auf Fehlerlosigkeit kann jedoch kein ehrlicher "
    "Software-Entwickler geben.\\n\\n"
    "Daher sollten Sie VOR den ersten Versuchen mit diesem Utility unbedingt ein Backup der zu "
    "bearbeitenden Dateien machen - denn sicher ist sicher :-)\\n\\n"
    "Bitte beherzigen Sie diesen Vorschlag, denn die Software bietet KEINE UnDo-Funktion.\\n\\n"
    "Eventuelle Fragen und Anregungen zu diesem Produkt werden unter der E-Mail-Adresse "
    "support@orvatek.example gerne angenommen.";

// The About dialog: the line after the program name and version, the banner's accessible
// name, the title and the lead of the whole version.
inline constexpr char kAboutTagline[] =
    " \u2013 Aut. Einfügen und Löschen von Favicons in Web-Seiten";
inline constexpr char kMakerBannerName[] = "Banner von Orvatek";
inline constexpr char kAboutTitle[] = "Info über Tervando";
inline constexpr char kVersionLead[] = "Version ";

// Help and web links.
inline constexpr char kHelpNotFound[] = "Die Online-Hilfe konnte leider nicht gefunden werden ...";
// What the desktop was asked to open when it could not.
enum class OpenTarget { kHelpPage, kWebAddress, kPageInEditor };
Message OpenFailedMessage(OpenTarget target, const std::string& what);

// A folder named on the command line that is none.
Message NoFolderMessage(const std::string& path);

// The icon selection dialog: its title, each icon's accessible name, and the file dialog for
// the user's own picture with its filter ("Bilder (*.png *.ico);;Alle Dateien (*)").
std::string IconDialogTitle(int iconCount);
std::string IconAccessibleName(int number, int iconCount);
inline constexpr char kOwnImageTitle[] = "Eigenes Bild wählen";
std::string ImageFileFilter(const std::string& patterns);

}  // namespace tervando
