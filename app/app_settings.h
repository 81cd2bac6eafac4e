#pragma once

#include <QString>
#include <string>

namespace tervando {

// The per-user settings store: string values in section "Tervando" of
// $XDG_CONFIG_HOME/tervando/settings.ini (beside options.ini).
std::string GetAppSetting(const std::string& key);  // "" when the value does not exist
void SaveAppSetting(const std::string& key, const std::string& value);
QString SettingsFile();

}  // namespace tervando
