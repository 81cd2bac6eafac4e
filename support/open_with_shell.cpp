#include "support/open_with_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <utility>

namespace tervando {

namespace {
ShellHandler& Handler() {
  static ShellHandler handler;
  return handler;
}
}  // namespace

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

void OpenWithShell(const std::string& target, int show) {
  if (show == 0) {
    show = kShowNormal;
  }
  const QUrl url = ShellUrl(target);
  if (const auto& handler = Handler()) {
    handler(url, show);
    return;
  }
  QDesktopServices::openUrl(url);  // the result is not looked at
}

void OpenMakerSite() { OpenWithShell(kMakerAddress, kShowMaximized); }

void SetShellHandler(ShellHandler handler) { Handler() = std::move(handler); }

}  // namespace tervando
