#include "app/app_settings.h"

#include <QSettings>

namespace tervando {

namespace {
QSettings Store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                   QStringLiteral("Orvatek Software"), QStringLiteral("Tervando"));
}
}  // namespace

std::string GetAppSetting(const std::string& key) {
  return Store().value(QString::fromStdString(key)).toString().toStdString();
}

void SaveAppSetting(const std::string& key, const std::string& value) {
  QSettings store = Store();
  store.setValue(QString::fromStdString(key), QString::fromStdString(value));
  store.sync();
}

}  // namespace tervando
