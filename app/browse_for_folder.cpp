#include "app/browse_for_folder.h"

#include <QDir>
#include <QFile>

namespace tervando {

std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* owner, const std::string& prompt,
                                              const std::string& startFolder) {
  const QString start =
      startFolder.empty() ? QDir::homePath() : QFile::decodeName(startFolder.c_str());
  auto dialog = std::make_unique<QFileDialog>(owner, QString::fromUtf8(prompt), start);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  return dialog;
}

std::string BrowseForFolder(QWidget* owner, const std::string& prompt,
                            const std::string& startFolder) {
  const std::unique_ptr<QFileDialog> dialog = MakeFolderDialog(owner, prompt, startFolder);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return {};
  }
  return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

}  // namespace tervando
