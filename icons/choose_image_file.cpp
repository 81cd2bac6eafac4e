#include "icons/choose_image_file.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QStringList>

namespace tervando {

namespace {

// WebP only where this Qt has the plugin for it.
QString NameFilters() {
  QStringList patterns = {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp"};
  if (QImageReader::supportedImageFormats().contains("webp")) {
    patterns << "*.webp";
  }
  patterns << "*.svg"
           << "*.svgz"
           << "*.ico";
  return QString::fromStdString(ImageFileFilter(patterns.join(' ').toStdString()));
}

}  // namespace

std::string ChooseImageFile(QWidget* owner) {
  const QString file = QFileDialog::getOpenFileName(owner, QString::fromUtf8(kOwnImageTitle),
                                                    QString(), NameFilters());
  return QFile::encodeName(file).toStdString();
}

}  // namespace tervando
