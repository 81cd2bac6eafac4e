#include "support/open_with_shell.h"

#include <QDir>

#include "engine/messages.h"
#include "engine/messages_window.h"

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

bool OpenWithShell(Desktop& desktop, const std::string& target, int show) {
  if (show == 0) {
    show = kShowNormal;
  }
  return desktop.OpenUrl(ShellUrl(target), show);
}

void OpenMakerSite(Desktop& desktop) {
  if (!OpenWithShell(desktop, kMakerAddress, kShowMaximized)) {
    desktop.ShowMessage(OpenFailedMessage(OpenTarget::kWebAddress,
                                          ShellUrl(kMakerAddress).toString().toStdString()));
  }
}

}  // namespace tervando
