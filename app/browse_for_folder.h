#pragma once

#include <QFileDialog>
#include <QWidget>
#include <memory>
#include <string>

#include "engine/messages.h"  // kWebRootPrompt

namespace tervando {

// The folder dialog (folders only), opened in `startFolder`, or in the home folder while that
// is empty. Returns the chosen folder, or the empty text when the user cancels.
std::string BrowseForFolder(QWidget* owner, const std::string& prompt,
                            const std::string& startFolder = {});

// The dialog BrowseForFolder shows.
std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* owner, const std::string& prompt,
                                              const std::string& startFolder);

}  // namespace tervando
