#pragma once

#include <QWidget>
#include <functional>
#include <string>

namespace tervando {

inline constexpr char kWebRootPrompt[] = "Wo liegt das Hauptverzeichnis Ihrer lokalen Web-Dateien?";

// The folder dialog (folders only, no preselected folder). Returns the chosen folder, or the
// empty text when the user cancels.
std::string BrowseForFolder(QWidget* owner, const std::string& prompt);

// Tests choose the folder by script; an empty chooser restores the dialog.
using FolderChooser = std::function<std::string(const std::string& prompt)>;
void SetFolderChooser(FolderChooser chooser);

}  // namespace tervando
