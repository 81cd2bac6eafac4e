#include "icons/choose_image_file.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QStringList>
#include <utility>

namespace tervando {

namespace {

ImageFileChooser& Chooser() {
  static ImageFileChooser chooser;
  return chooser;
}

// WebP only where this Qt has the plugin for it.
QString NameFilters() {
  QStringList patterns = {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp"};
  if (QImageReader::supportedImageFormats().contains("webp")) {
    patterns << "*.webp";
  }
  patterns << "*.svg"
           << "*.svgz"
           << "*.ico";
  return QStringLiteral("Bilder (") + patterns.join(' ') + QStringLiteral(");;Alle Dateien (*)");
}

}  // namespace

std::string ChooseImageFile(QWidget* owner) {
  if (const auto& chooser = Chooser()) {
    return chooser();
  }
  const QString file = QFileDialog::getOpenFileName(owner, QString::fromUtf8(kOwnImageTitle),
                                                    QString(), NameFilters());
  return QFile::encodeName(file).toStdString();
}

void SetImageFileChooser(ImageFileChooser chooser) { Chooser() = std::move(chooser); }

}  // namespace tervando
