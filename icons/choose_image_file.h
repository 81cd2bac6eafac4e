#pragma once

#include <QWidget>
#include <string>

#include "engine/messages.h"  // kOwnImageTitle

namespace tervando {

// The file dialog for the user's own picture, showing the picture kinds Tervando takes. Returns
// the chosen file's path, or the empty text when the user cancels.
std::string ChooseImageFile(QWidget* owner);

}  // namespace tervando
