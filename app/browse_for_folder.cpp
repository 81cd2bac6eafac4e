#include "app/browse_for_folder.h"

#include <QFile>
#include <QFileDialog>
#include <utility>

namespace tervando {

namespace {
FolderChooser& Chooser() {
  static FolderChooser chooser;
  return chooser;
}
}  // namespace

std::string BrowseForFolder(QWidget* owner, const std::string& prompt) {
  if (const auto& chooser = Chooser()) {
    return chooser(prompt);
  }
  const QString folder = QFileDialog::getExistingDirectory(owner, QString::fromUtf8(prompt),
                                                           QString(), QFileDialog::ShowDirsOnly);
  return QFile::encodeName(folder).toStdString();
}

void SetFolderChooser(FolderChooser chooser) { Chooser() = std::move(chooser); }

}  // namespace tervando
