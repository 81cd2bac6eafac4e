// Renders the windows of the program to PNG files, for checking by eye that every caption fits
// with the fonts of this desktop. Run under a display (scripts/screenshots uses xvfb-run).
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "app/form1.h"
#include "app/show_once_notice.h"
#include "support/expand_escapes.h"
#include "support/info_form_freeware.h"
#include "support/message_box.h"
#include "support/show_help.h"
#include "support_gui/isolated_qt_test.h"

namespace {

QString g_folder;

void Save(QWidget& widget, const QString& name) {
  widget.show();
  widget.raise();
  QTest::qWait(150);
  const QString path = QDir(g_folder).filePath(name + QStringLiteral(".png"));
  if (widget.grab().save(path)) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
  }
}

void SaveMessage(const tervando::Message& message, const QString& name) {
  const auto box = tervando::MakeMessageBox(message, nullptr);
  Save(*box, name);
}

}  // namespace

int main(int argc, char* argv[]) {
  tervando::testing::IsolatedHome home;
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  g_folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_folder);

  // Messages are recorded, not shown, while the window starts.
  tervando::SetMessageHandler([](const tervando::Message&) { return tervando::MessageAnswer::Ok; });
  tervando::Form1 form;
  form.FormLoad();
  QTest::qWait(100);
  Save(form, QStringLiteral("form1_start"));

  for (int i = 1; i <= 40; ++i) {
    form.InsertCheckedRowAtTop("/home/anna/web/site/kapitel-" + std::to_string(i % 7) +
                               "/unterseite-mit-einem-recht-langen-namen-" + std::to_string(i) +
                               ".htm");
  }
  form.SetSortingEnabled(true);
  form.SetStatusCount(form.RowCount());
  form.SetStatusText("Eintragung beendet");
  form.PageList().SetMarked(2, false);
  Save(form, QStringLiteral("form1_filled"));

  const QSize screen = application.primaryScreen()->geometry().size();
  auto* info = tervando::InfoFormFreeware::ShowInstance(screen);
  Save(*info, QStringLiteral("info_form_freeware"));
  info->close();

  tervando::SetMessageHandler({});
  SaveMessage(
      {tervando::ExpandEscapes(tervando::kShowOnceNoticeText), tervando::MessageIcon::Exclamation},
      QStringLiteral("notice"));
  SaveMessage({tervando::kHelpNotFound, tervando::MessageIcon::Information},
              QStringLiteral("help_not_found"));
  return 0;
}
