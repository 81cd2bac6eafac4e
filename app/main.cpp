#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <csignal>
#include <cstring>

#include "app/form1.h"
#include "app/german_translations.h"
#include "app/qt_desktop.h"
#include "build_config.h"
#include "engine/messages.h"
#include "engine/messages_window.h"
#include "support/write_log.h"

namespace {

// True when the command line asks only for a text (help or version): that needs no display.
bool AsksForTextOnly(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) {
      return false;
    }
    for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) {
        return true;
      }
    }
  }
  return false;
}

// Parses the command line; help, version and a wrong option are printed and end the program.
QStringList FoldersOnCommandLine(QCoreApplication& application) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromUtf8(tervando::kWindowProgramDescription));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QString::fromUtf8(tervando::kFolderArgumentName),
                               QString::fromUtf8(tervando::kFolderArgumentHelp),
                               QString::fromUtf8(tervando::kFolderArgumentSyntax));
  parser.process(application);
  return parser.positionalArguments();
}

}  // namespace

int main(int argc, char* argv[]) {
  // A file over the size limit (ulimit -f) fails its write with EFBIG, which is reported for that
  // one file; the signal would end the program unlogged, leaving temporaries.
  std::signal(SIGXFSZ, SIG_IGN);
  // The name is also the window's X11 class, which the desktop entry names as StartupWMClass;
  // the desktop file name ties the window to that entry on Wayland.
  QCoreApplication::setApplicationName(QStringLiteral(TERVANDO_APP_NAME));
  QCoreApplication::setOrganizationName(QStringLiteral(TERVANDO_ORGANIZATION));
  QCoreApplication::setApplicationVersion(QStringLiteral(TERVANDO_VERSION));
  if (AsksForTextOnly(argc, argv)) {
    QCoreApplication core(argc, argv);
    tervando::LoadGermanQtTranslations(core);
    FoldersOnCommandLine(core);  // prints and ends
    return 0;
  }

  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral(TERVANDO_APP_ID));
  tervando::LoadGermanQtTranslations(application);
  const QStringList folders = FoldersOnCommandLine(application);

  tervando::QtDesktop desktop;
  tervando::ActivityLog log;  // Application.log in the log folder
  tervando::Form1 form(desktop, log);
  form.FormLoad(folders.isEmpty() ? std::string()
                                  : QFile::encodeName(folders.constFirst()).toStdString());
  return QApplication::exec();
}
