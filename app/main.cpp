#include <QApplication>

#include "app/form1.h"
#include "app/german_translations.h"
#include "app/qt_desktop.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Ties the window to its desktop entry (icon and name in task bars on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.orvatek.Tervando"));
  tervando::LoadGermanQtTranslations(application);
  tervando::QtDesktop desktop;
  tervando::Form1 form(desktop);
  form.FormLoad();
  return QApplication::exec();
}
