#include <QApplication>

#include "app/form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  tervando::Form1 form;
  form.FormLoad();
  return QApplication::exec();
}
