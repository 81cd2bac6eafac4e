#pragma once

#include <QCoreApplication>

namespace tervando {

// Loads Qt's own German texts (standard buttons, the folder dialog) whatever the user's
// locale, so Qt's words match the program's: a prompt that says 'Abbrechen' shows a button
// that says so. Dates keep following the locale. False when qtbase_de.qm is not installed.
bool LoadGermanQtTranslations(QCoreApplication& application);

}  // namespace tervando
