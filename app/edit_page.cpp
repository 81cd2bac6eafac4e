#include "app/edit_page.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace tervando {

namespace {

// The desktop entry of the default program for plain text, e.g. "org.gnome.TextEditor.desktop".
QString DefaultTextEditorEntry() {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) {
    return {};
  }
  QProcess query;
  query.start(xdgMime,
              {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished(1000);
    return {};
  }
  const QString entry = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
  return entry.endsWith(QStringLiteral(".desktop")) ? entry : QString();
}

bool LaunchDesktopEntry(const QString& entry, const QString& file) {
  const QString entryPath = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (!entryPath.isEmpty() && !gio.isEmpty()) {
    return QProcess::startDetached(gio, {QStringLiteral("launch"), entryPath, file});
  }
  const QString gtkLaunch = QStandardPaths::findExecutable(QStringLiteral("gtk-launch"));
  if (!gtkLaunch.isEmpty()) {
    return QProcess::startDetached(gtkLaunch, {entry.chopped(8), file});
  }
  return false;
}

// $VISUAL or $EDITOR in a terminal window, for desktops without a registered editor.
bool LaunchTerminalEditor(const QString& file) {
  QString editor = qEnvironmentVariable("VISUAL");
  if (editor.isEmpty()) {
    editor = qEnvironmentVariable("EDITOR");
  }
  if (editor.isEmpty()) {
    return false;
  }
  QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
  if (terminal.isEmpty()) {
    terminal = QStandardPaths::findExecutable(QStringLiteral("xterm"));
  }
  if (terminal.isEmpty()) {
    return false;
  }
  QStringList arguments{QStringLiteral("-e")};
  arguments << QProcess::splitCommand(editor) << file;
  return QProcess::startDetached(terminal, arguments);
}

}  // namespace

bool EditPage(const std::string& path) {
  const QString file = QFile::decodeName(QByteArray::fromStdString(path));
  const QString entry = DefaultTextEditorEntry();
  if (!entry.isEmpty() && LaunchDesktopEntry(entry, file)) {
    return true;
  }
  return LaunchTerminalEditor(file);
}

}  // namespace tervando
