#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include "app/form1.h"
#include "app/german_translations.h"
#include "app/qt_desktop.h"
#include "build_config.h"
#include "engine/messages.h"
#include "engine/messages_window.h"
#include "support/write_log.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The name is also the window's X11 class, which the desktop entry names as StartupWMClass;
  // the desktop file name ties the window to that entry on Wayland.
  QCoreApplication::setApplicationName(QStringLiteral(TERVANDO_APP_NAME));
  QCoreApplication::setOrganizationName(QStringLiteral(TERVANDO_ORGANIZATION));
  QCoreApplication::setApplicationVersion(QStringLiteral(TERVANDO_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(TERVANDO_APP_ID));
  tervando::LoadGermanQtTranslations(application);

  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromUtf8(tervando::kWindowProgramDescription));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QString::fromUtf8(tervando::kFolderArgumentName),
                               QString::fromUtf8(tervando::kFolderArgumentHelp),
                               QString::fromUtf8(tervando::kFolderArgumentSyntax));
  parser.process(application);

  tervando::QtDesktop desktop;
  tervando::ActivityLog log;  // Application.log in the log folder
  tervando::Form1 form(desktop, log);
  const QStringList folders = parser.positionalArguments();
  form.FormLoad(folders.isEmpty() ? std::string()
                                  : QFile::encodeName(folders.constFirst()).toStdString());
  return QApplication::exec();
}
