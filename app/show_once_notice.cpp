#include "app/show_once_notice.h"

#include "app/app_settings.h"
#include "support/expand_escapes.h"
#include "support/version_text.h"

namespace tervando {

const char kShowOnceNoticeText[] =
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
