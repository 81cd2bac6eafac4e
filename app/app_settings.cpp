#include "app/app_settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace tervando {

namespace {
// One file beside options.ini under the user's config folder.
QSettings Store() { return QSettings(SettingsFile(), QSettings::IniFormat); }

// The values lie in the section named after the program.
QString Key(const std::string& key) {
  return QStringLiteral("Tervando/") + QString::fromStdString(key);
}
}  // namespace

QString SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/tervando/settings.ini");
}

std::string GetAppSetting(const std::string& key) {
  return Store().value(Key(key)).toString().toStdString();
}

void SaveAppSetting(const std::string& key, const std::string& value) {
  QSettings store = Store();
  store.setValue(Key(key), QString::fromStdString(value));
  store.sync();
}

}  // namespace tervando
