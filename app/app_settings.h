#pragma once

#include <string>

namespace tervando {

// The per-user settings store: string values under organization "Orvatek Software",
// application "Tervando" (an INI file under the user's config folder on Linux).
std::string GetAppSetting(const std::string& key);  // "" when the value does not exist
void SaveAppSetting(const std::string& key, const std::string& value);

}  // namespace tervando
