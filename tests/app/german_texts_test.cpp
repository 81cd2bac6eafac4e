#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/browse_for_folder.h"
#include "app/form1.h"
#include "app/german_translations.h"
#include "app/show_once_notice.h"
#include "engine/messages_window.h"
#include "support/message_box.h"
#include "support/write_log.h"
#include "support_gui/isolated_qt_test.h"
#include "support_gui/scripted_desktop.h"

namespace tervando {

namespace {

// The captions of a real box built the way the window builds it, mnemonics removed.
QStringList ButtonTexts(const Message& message) {
  const std::unique_ptr<QMessageBox> box = MakeMessageBox(message, nullptr);
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts << button->text().remove(QLatin1Char('&'));
  texts.sort();
  return texts;
}

// Every 'name' that a message tells the user to click.
QStringList QuotedNames(const std::string& text) {
  QStringList names;
  const QString shown = QString::fromStdString(text);
  for (qsizetype open = shown.indexOf(QLatin1Char('\'')); open >= 0;) {
    const qsizetype close = shown.indexOf(QLatin1Char('\''), open + 1);
    if (close < 0) break;
    names << shown.mid(open + 1, close - open - 1);
    open = shown.indexOf(QLatin1Char('\''), close + 1);
  }
  names.sort();
  return names;
}

}  // namespace

class GermanTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Whatever the locale, Qt's own texts are German.
    qputenv("LANG", "C.UTF-8");
    QVERIFY2(LoadGermanQtTranslations(*qApp), "qtbase_de.qm (qt6-translations-l10n) is missing");
    QApplication::setQuitOnLastWindowClosed(false);
    SaveAppSetting(kShowOnceKey, "2.1.202");
  }

  void standardButtonsAreGerman_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Ok") << int(MessageButtons::Ok) << QStringList{"OK"};
    QTest::newRow("OkCancel") << int(MessageButtons::OkCancel) << QStringList{"Abbrechen", "OK"};
    QTest::newRow("YesNo") << int(MessageButtons::YesNo) << QStringList{"Ja", "Nein"};
  }

  void standardButtonsAreGerman() {
    QFETCH(int, buttons);
    QFETCH(QStringList, expected);
    QCOMPARE(ButtonTexts({"x", MessageIcon::None, static_cast<MessageButtons>(buttons)}), expected);
  }

  // A page that cannot be edited stops the run with a prompt naming its buttons; the box
  // shown for it carries exactly those captions.
  void failurePromptNamesTheButtonsItShows() {
    QTemporaryDir site;
    QTemporaryDir logs;
    QFile page(site.filePath("leer.htm"));  // an empty page cannot be edited
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    ActivityLog log(logs.filePath("Application.log").toStdString());
    std::vector<Message> prompts;
    testing::ScriptedDesktop desktop;
    desktop.answer = [&](const Message& message) {
      if (message.buttons == MessageButtons::OkCancel) prompts.push_back(message);
      return SafeAnswer(message.buttons);
    };
    desktop.folder = site.path().toStdString();
    {
      Form1 form(desktop, log);
      form.FormLoad();
      form.BtnClick(4);
      QTRY_VERIFY(!form.Busy());
      form.BtnClick(8);
      QTRY_VERIFY(!form.Busy());
    }
    QVERIFY(!prompts.empty());
    for (const Message& prompt : prompts) {
      QCOMPARE(QuotedNames(prompt.text), (QStringList{"Abbrechen", "OK"}));
      QCOMPARE(ButtonTexts(prompt), QuotedNames(prompt.text));
    }
  }

  void folderDialogIsGermanAndStartsAtHomeOrTheWebRoot() {
    const auto fresh = MakeFolderDialog(nullptr, kWebRootPrompt, {});
    QCOMPARE(fresh->windowTitle(), QString::fromUtf8(kWebRootPrompt));
    QCOMPARE(QDir(fresh->directory()), QDir(QDir::homePath()));
    QCOMPARE(fresh->fileMode(), QFileDialog::Directory);
    QVERIFY(fresh->testOption(QFileDialog::ShowDirsOnly));
    fresh->setOption(QFileDialog::DontUseNativeDialog);
    fresh->show();
    QCOMPARE(fresh->findChild<QLabel*>("lookInLabel")->text(), QStringLiteral("Suchen in:"));
    fresh->close();

    QTemporaryDir root;
    const auto later = MakeFolderDialog(nullptr, kWebRootPrompt, root.path().toStdString() + "/");
    QCOMPARE(QDir(later->directory()), QDir(root.path()));
  }
};

}  // namespace tervando

TERVANDO_ISOLATED_QTEST_MAIN(tervando::GermanTextsTest)
#include "german_texts_test.moc"
