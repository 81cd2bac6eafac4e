#include <QApplication>
#include <QSocketNotifier>

#include "app/form1.h"
#include "engine/interrupt.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  tervando::Form1 form;
  // SIGTERM, SIGINT and SIGHUP end the program the way "&Ende" does: a run under way finishes
  // the pages it has begun and logs them first.
  const tervando::InterruptScope interrupts;
  QSocketNotifier interrupted(interrupts.NotifyDescriptor(), QSocketNotifier::Read);
  QObject::connect(&interrupted, &QSocketNotifier::activated, &form, &tervando::Form1::EndProgram);
  form.FormLoad();
  return QApplication::exec();
}
