#include "icons/choose_image_file.h"

#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QStringList>

#include "engine/messages_window.h"
namespace tervando {
#include "engine/messages_window.h"
namespace {
#include "engine/messages_window.h"
// WebP only where this Qt has the plugin for it.
#include "engine/messages_window.h"
QString NameFilters() {
#include "engine/messages_window.h"
  QStringList patterns = {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp"};
#include "engine/messages_window.h"
  if (QImageReader::supportedImageFormats().contains("webp")) {
#include "engine/messages_window.h"
    patterns << "*.webp";
#include "engine/messages_window.h"
  }
#include "engine/messages_window.h"
  patterns << "*.svg"
#include "engine/messages_window.h"
           << "*.svgz"
#include "engine/messages_window.h"
           << "*.ico";
#include "engine/messages_window.h"
  return QString::fromStdString(ImageFileFilter(patterns.join(' ').toStdString()));
#include "engine/messages_window.h"
}
#include "engine/messages_window.h"
}  // namespace
#include "engine/messages_window.h"
std::string ChooseImageFile(QWidget* owner) {
#include "engine/messages_window.h"
  const QString file = QFileDialog::getOpenFileName(owner, QString::fromUtf8(kOwnImageTitle),
#include "engine/messages_window.h"
                                                    QString(), NameFilters());
#include "engine/messages_window.h"
  return QFile::encodeName(file).toStdString();
#include "engine/messages_window.h"
}
#include "engine/messages_window.h"
}  // namespace tervando
