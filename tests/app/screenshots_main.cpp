// Renders the windows of the program to PNG files, for checking by eye that every caption fits
// with the fonts of this desktop. Run under a display (scripts/screenshots uses xvfb-run).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/browse_for_folder.h"
#include "app/form1.h"
#include "app/german_translations.h"
#include "app/show_once_notice.h"
#include "engine/messages_window.h"
#include "icons/image_to_icon.h"
#include "icons/sel_icon_dialog.h"
#include "support/expand_escapes.h"
#include "support/info_form_freeware.h"
#include "support/message_box.h"
#include "support/show_help.h"
#include "support_gui/isolated_qt_test.h"
#include "support_gui/scripted_desktop.h"

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
  tervando::LoadGermanQtTranslations(application);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [POINT_SIZE] [dark]\n", argv[0]);
    return 2;
  }
  g_folder = QString::fromLocal8Bit(argv[1]);
  // The desktop's font size and a dark colour scheme, as a user may have set them.
  if (argc >= 3) {
    QFont font = QApplication::font();
    font.setPointSizeF(QString::fromLocal8Bit(argv[2]).toDouble());
    QApplication::setFont(font);
  }
  if (argc >= 4 && QString::fromLocal8Bit(argv[3]) == QStringLiteral("dark")) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(55, 55, 58));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
  }
  QDir().mkpath(g_folder);

  // Messages are recorded, not shown, while the window starts.
  tervando::testing::ScriptedDesktop desktop;
  desktop.answer = [](const tervando::Message&) { return tervando::MessageAnswer::Ok; };
  tervando::ActivityLog log;
  tervando::Form1 form(desktop, log);
  form.FormLoad();
  QTest::qWait(100);
  Save(form, QStringLiteral("form1_start"));

  // A small site, collected through "&Pfad".
  QTemporaryDir site;
  const std::string root = site.path().toStdString();
  for (int i = 1; i <= 40; ++i) {
    const QString page =
        site.filePath(QStringLiteral("kapitel-%1/unterseite-mit-einem-recht-langen-namen-%2.htm")
                          .arg(i % 7)
                          .arg(i));
    QDir().mkpath(QFileInfo(page).path());
    QFile file(page);
    if (file.open(QIODevice::WriteOnly)) file.write("<html><head><title>x</title></head></html>");
  }
  desktop.folder = root;
  // The scan and the run work beside the window: wait for them as a user would.
  const auto waitForTheWork = [&form] {
    while (form.Busy()) QTest::qWait(10);
  };
  QTest::mouseClick(form.findChild<QPushButton*>("Btn_4"), Qt::LeftButton);
  waitForTheWork();
  form.PageList().SetMarked(2, false);
  form.ApplyChosenIcon(133);
  Save(form, QStringLiteral("form1_filled"));
  // Grown by the user: the list takes the room.
  const QSize drawn = form.size();
  form.resize(drawn + QSize(300, 200));
  Save(form, QStringLiteral("form1_grown"));
  form.resize(drawn);

  // A run in progress, caught at the question for a page that has gone missing.
  QFile::remove(
      site.filePath(QStringLiteral("kapitel-3/unterseite-mit-einem-recht-langen-namen-10.htm")));
  desktop.answer = [&form](const tervando::Message& message) {
    if (message.buttons == tervando::MessageButtons::OkCancel &&
        message.text.find("Folgende Datei") == 0) {
      Save(form, QStringLiteral("form1_run_in_progress"));
      SaveMessage(message, QStringLiteral("page_failed"));
    } else {
      SaveMessage(message, message.icon == tervando::MessageIcon::Information
                               ? QStringLiteral("finished")
                               : QStringLiteral("question"));
    }
    return message.defaultAnswer;
  };
  QTest::mouseClick(form.findChild<QPushButton*>("Btn_8"), Qt::LeftButton);
  waitForTheWork();
  Save(form, QStringLiteral("form1_after_run"));

  // The user's own picture in the preview, and the message for one that can't be used.
  const QString logo = site.filePath(QStringLiteral("logo.svg"));
  QFile logoFile(logo);
  if (logoFile.open(QIODevice::WriteOnly)) {
    logoFile.write(
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 40 30'><rect width='40' height='30'"
        " rx='6' fill='#c03020'/><text x='20' y='22' font-size='18' text-anchor='middle'"
        " fill='white'>T</text></svg>");
    logoFile.close();
  }
  form.ApplyChosenIcon({tervando::IconFromImageFile(logo.toStdString()).iconFile, true});
  Save(form, QStringLiteral("form1_own_picture"));
  SaveMessage({tervando::IconFromImageBytes("\x89PNG\r\n\x1a\n...", "/home/anna/logo.png").error,
               tervando::MessageIcon::Critical},
              QStringLiteral("own_picture_failed"));

  tervando::SelIconDialog iconDialog(desktop, &form);
  Save(iconDialog, QStringLiteral("sel_icon_dialog"));
  iconDialog.close();

  const QSize screen = application.primaryScreen()->geometry().size();
  auto* info = tervando::InfoFormFreeware::ShowInstance(desktop, screen);
  Save(*info, QStringLiteral("info_form_freeware"));
  info->close();

  const auto folderDialog = tervando::MakeFolderDialog(&form, tervando::kWebRootPrompt, {});
  folderDialog->setOption(QFileDialog::DontUseNativeDialog);
  Save(*folderDialog, QStringLiteral("folder_dialog"));
  folderDialog->close();

  SaveMessage(
      {tervando::ExpandEscapes(tervando::kShowOnceNoticeText), tervando::MessageIcon::Exclamation},
      QStringLiteral("notice"));
  SaveMessage({tervando::kHelpNotFound, tervando::MessageIcon::Information},
              QStringLiteral("help_not_found"));
  return 0;
}
