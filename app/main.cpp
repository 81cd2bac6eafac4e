#include <QApplication>

#include "app/form1.h"
#include "app/german_translations.h"
#include "app/qt_desktop.h"
#include "support/write_log.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Ties the window to its desktop entry (icon and name in task bars on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.orvatek.Tervando"));
  tervando::LoadGermanQtTranslations(application);
  tervando::QtDesktop desktop;
  tervando::ActivityLog log;  // Application.log in the log folder
  tervando::Form1 form(desktop, log);
  form.FormLoad();
  return QApplication::exec();
}
