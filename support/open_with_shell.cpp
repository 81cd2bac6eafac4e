#include "support/open_with_shell.h"

#include <QDir>

namespace tervando {

QUrl ShellUrl(const std::string& target) {
  const QString text = QString::fromUtf8(target);
  if (QDir::isAbsolutePath(text)) {
    return QUrl::fromLocalFile(text);
  }
  if (text.contains(QStringLiteral("://"))) {
    return QUrl(text);
  }
  return QUrl(QStringLiteral("http://") + text);
}

void OpenWithShell(Desktop& desktop, const std::string& target, int show) {
  if (show == 0) {
    show = kShowNormal;
  }
  desktop.OpenUrl(ShellUrl(target), show);
}

void OpenMakerSite(Desktop& desktop) { OpenWithShell(desktop, kMakerAddress, kShowMaximized); }

}  // namespace tervando
