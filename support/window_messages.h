#pragma once

#include <QString>

#include "engine/messages.h"
#include "engine/messages_window.h"

namespace tervando {

// The window's texts are made in engine/messages_window.*; this is the QString form the main
// window still asks for by this name.
inline QString RunProgressText(int done, int total) {
  return QString::fromStdString(ProgressCountText(done, total));
}

}  // namespace tervando
