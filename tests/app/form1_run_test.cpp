// The main window from the folder dialog to the finished run, with every question answered by
// script: pages, favicon.ico and the activity log are checked byte for byte.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <csignal>
#include <deque>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/form1.h"
#include "app/show_once_notice.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/icon_block.h"
#include "engine/messages.h"
#include "icons/ico_reader.h"
#include "icons/icon_catalogue.h"
#include "icons/sel_icon_dialog.h"
#include "support/window_messages.h"
#include "support/write_log.h"
#include "support_gui/isolated_qt_test.h"
#include "support_gui/scripted_desktop.h"

namespace tervando {

namespace {

const std::string kIndexPage = "<html><head><title>A</title></head><body>x</body></html>";
const std::string kSubPage = "<HTML><HEAD>\r\n<title>B</title>\r\n</HEAD><body></body></HTML>";
const std::string kDeeperPage =
    "<html><head><link rel=\"SHORTCUT ICON\" href=\"../../favicon.ico\"></head></html>";

std::string ReadBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll().toStdString();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
  QFile file(QString::fromStdString(path));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The counts of an insert run that left nothing undone.
RunCounts Changed(int changed, int unchanged) {
  RunCounts counts;
  counts.changed = changed;
  counts.unchanged = unchanged;
  return counts;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

QString StatusText(QWidget& form, int panel) {
  return form.findChild<QStatusBar*>("Status")->findChildren<QLabel*>()[panel]->text();
}

}  // namespace

class Form1RunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Windows of finished tests must not end the event loop that one test runs.
    QApplication::setQuitOnLastWindowClosed(false);
  }

  void init() {
    SaveAppSetting(kShowOnceKey, "2.1.202");
    m_site = std::make_unique<QTemporaryDir>();
    m_logs = std::make_unique<QTemporaryDir>();
    m_root = m_site->path().toStdString();
    m_log = m_logs->filePath("Application.log").toStdString();
    m_activityLog = std::make_unique<ActivityLog>(m_log);  // this test's own log
    m_desktop = testing::ScriptedDesktop();
    m_desktop.folder = m_root;
    m_form = std::make_unique<Form1>(m_desktop, *m_activityLog);
    m_form->FormLoad();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
  }

  void cleanup() { m_form.reset(); }

  void pathCollectsPagesAndEnablesStart() {
    MakeSite();
    Click("Btn_4");
    QCOMPARE(
        m_prompts,
        (std::vector<std::string>{"Wo liegt das Hauptverzeichnis Ihrer lokalen Web-Dateien?"}));
    QCOMPARE(Rows(), (std::vector<std::string>{Page("index.htm"), Page("sub/deeper/p.html"),
                                               Page("sub/page.htm")}));
    for (int row = 1; row <= m_form->RowCount(); ++row) QVERIFY(m_form->RowMarked(row));
    QCOMPARE(m_form->findChild<QLabel*>("LocalWebRootLBL")->text(),
             QString::fromStdString(m_root + "/"));
    QCOMPARE(m_form->State().webRoot, m_root + "/");
    QVERIFY(m_form->findChild<QPushButton*>("Btn_8")->isEnabled());
    QVERIFY(m_form->findChild<QPushButton*>("Btn_11")->isEnabled());
    QCOMPARE(StatusText(*m_form, 0), QStringLiteral("3 Dateien"));
    QCOMPARE(StatusText(*m_form, 1), QStringLiteral("Eintragung beendet"));
    QCOMPARE(m_form->findChild<QProgressBar*>("Bar")->value(), 0);
    // No favicon.ico yet: the default icon is shown and pending.
    QVERIFY(m_form->State().preview.pending);
    QCOMPARE(m_form->State().preview.bytes, std::string(DefaultIconFile()));
    QVERIFY(!m_form->findChild<QLabel*>("IconPreviewImg")->pixmap().isNull());
    QVERIFY(m_messages.empty());
  }

  // A folder named on the command line or dropped onto the window becomes the web root as
  // through "&Pfad", without the folder dialog; a name that is no folder is said; a dragged
  // file is refused. The next folder dialog opens at the last web root, also after a restart.
  void folderFromCommandLineOrDrop() {
    MakeSite();
    m_form = std::make_unique<Form1>(m_desktop, *m_activityLog);
    m_form->FormLoad(m_root);
    QTRY_COMPARE(m_form->RowCount(), 3);
    QCOMPARE(m_form->State().webRoot, m_root + "/");

    Click("Btn_0");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_site->filePath("sub"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_form.get(), &drop);
    QTRY_COMPARE(m_form->RowCount(), 2);
    QCOMPARE(m_form->State().webRoot, m_root + "/sub/");
    QVERIFY(m_prompts.empty());

    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Page("index.htm")))});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    refused.setAccepted(false);
    QApplication::sendEvent(m_form.get(), &refused);
    QVERIFY(!refused.isAccepted());

    m_form = std::make_unique<Form1>(m_desktop, *m_activityLog);
    m_form->FormLoad(m_root + "/fehlt");
    QTRY_COMPARE(m_messages.size(), size_t{1});
    QVERIFY(m_messages[0].text.find(m_root + "/fehlt") != std::string::npos);
    QCOMPARE(m_form->RowCount(), 0);

    std::string start;
    m_desktop.folder.clear();
    m_onFolderDialog = [&] { start = m_desktop.folderStarts.back(); };
    Click("Btn_4");
    QCOMPARE(start, m_root + "/sub/");
  }

  void cancelledFolderDialogChangesNothing() {
    MakeSite();
    Click("Btn_4");
    m_desktop.folder.clear();  // the dialog now returns "": cancelled
    Click("Btn_4");
    QCOMPARE(m_form->State().webRoot, m_site->path().toStdString() + "/");
    QCOMPARE(m_form->RowCount(), 3);
  }

  void startInsertsReferencesWritesFaviconAndLogs() {
    MakeSite();
    Click("Btn_4");
    Click("Btn_8");
    QCOMPARE(ReadBytes(Page("index.htm")),
             std::string("<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\">"
                         "<title>A</title></head><body>x</body></html>"));
    QCOMPARE(ReadBytes(Page("sub/page.htm")),
             std::string("<HTML><HEAD><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\">\r\n"
                         "<title>B</title>\r\n</HEAD><body></body></HTML>"));
    QCOMPARE(ReadBytes(Page("sub/deeper/p.html")), kDeeperPage);
    QCOMPARE(ReadBytes(Page("style.css")), std::string("<head></head>"));
    QCOMPARE(ReadBytes(Page("favicon.ico")), std::string(DefaultIconFile()));

    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log.size(), size_t{6});
    QCOMPARE(log[0], std::string(40, '_'));
    QVERIFY(log[1].size() > 26);
    QCOMPARE(log[1].substr(log[1].size() - 26), std::string(" Suchen&Ersetzen gestartet"));
    QCOMPARE(log[2], std::string("Dateiliste:"));
    QCOMPARE(log[3], "1: " + Page("sub/page.htm"));  // last row first
    QCOMPARE(log[4], "2: " + Page("index.htm"));
    QCOMPARE(log[5], std::string("Anzahl veränderter Dateien: 2"));

    QCOMPARE(StatusText(*m_form, 1), QStringLiteral("Ersetzen beendet: 2 Dateien verändert."));
    QCOMPARE(m_form->findChild<QProgressBar*>("Bar")->value(), 0);
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(m_messages[0].text, FinishedText(Changed(2, 1), m_log));
    QCOMPARE(m_messages[0].icon, MessageIcon::Information);
    // The preview now shows the root's own file, which needs no writing.
    QVERIFY(!m_form->State().preview.pending);
    QVERIFY(!m_form->findChild<QLabel*>("IconPreviewImg")->pixmap().isNull());

    // A second Start repeats every step; nothing changes any more and nothing is asked.
    m_messages.clear();
    Click("Btn_8");
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(Lines(ReadBytes(m_log)).back(), std::string("Anzahl veränderter Dateien: 0"));
  }

  // "modern" with the foreign-links box: the set's files and the block are written, the choice
  // is kept for the next start, and "klassisch" then "löschen" go back to the exact pages.
  void modernSetFromTheWindowIsWrittenAndRemembered() {
    MakeSite();
    WriteBytes(Page("own.htm"), "<head><link rel=\"icon\" href=\"o.png\"></head>");
    Click("Btn_4");
    ClickOption("FaviconSetOPT_1");
    QTest::mouseClick(m_form->findChild<QCheckBox*>("ForeignIconsCHK"), Qt::LeftButton, {},
                      QPoint(6, 8));
    Click("Btn_8");
    for (const char* name : {"favicon.ico", "icon.svg", "apple-touch-icon.png", "icon-192.png",
                             "icon-512.png", "manifest.webmanifest"}) {
      QVERIFY2(QFile::exists(QString::fromStdString(Page(name))), name);
    }
    QVERIFY(
        ReadBytes(Page("sub/page.htm")).find("href=\"../manifest.webmanifest\" data-tervando>") !=
        std::string::npos);
    QCOMPARE(
        ReadBytes(Page("own.htm")),
        "<head>" +
            BuildIconBlock(BuildFaviconLinkPrefix(), LinksOfSet(FaviconSet::kModern, true), 0) +
            "<link data-tervando-off-rel=\"icon\" href=\"o.png\"></head>");
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QVERIFY(std::find(log.begin(), log.end(),
                      "Fremde Icon-Verweise stillgelegt (1): " + Page("own.htm")) != log.end());
    // A file of the set gone: the list's check names the set, not favicon.ico.
    QFile::remove(QString::fromStdString(Page(kAppleTouchIconFileName)));
    Click("Btn_4");
    QAbstractItemModel* model = m_form->findChild<QTreeView*>("Liste")->model();
    const QString missing =
        QString::fromStdString(PageClassLabel(PageClass::kFaviconMissing, false, true));
    QTRY_VERIFY(model->data(model->index(0, 0), Qt::ToolTipRole).toString().endsWith(missing));
    Form1 next(m_desktop, *m_activityLog);
    next.FormLoad();
    QVERIFY(next.findChild<QRadioButton*>("FaviconSetOPT_1")->isChecked());
    QVERIFY(next.findChild<QCheckBox*>("ForeignIconsCHK")->isChecked());
    next.close();

    ClickOption("FaviconSetOPT_0");
    Click("Btn_8");
    QCOMPARE(ReadBytes(Page("index.htm")),
             std::string("<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\">"
                         "<title>A</title></head><body>x</body></html>"));
    ClickOption("SetUnsetFaviconOPT_1");
    Click("Btn_8");
    QCOMPARE(ReadBytes(Page("index.htm")), kIndexPage);
    QCOMPARE(ReadBytes(Page("own.htm")),
             std::string("<head><link rel=\"icon\" href=\"o.png\"></head>"));
    QTest::mouseClick(m_form->findChild<QCheckBox*>("ForeignIconsCHK"), Qt::LeftButton, {},
                      QPoint(6, 8));
    QCOMPARE(GetAppSetting("FaviconSet"), std::string("klassisch"));
    QCOMPARE(GetAppSetting("DisableForeignIcons"), std::string("0"));
  }

  // A log that takes no line is said once, and the run goes on.
  void lostLogIsShownOnce() {
    MakeSite();
    QVERIFY(QDir().mkdir(QString::fromStdString(m_log)));  // a folder where the log should be
    Click("Btn_4");
    Click("Btn_8");
    QCOMPARE(m_messages.size(), size_t{2});
    QCOMPARE(m_messages[0].text, LogFailedMessage(LogNotARegularFileText(m_log)).text);
    QCOMPARE(m_messages[0].icon, MessageIcon::Exclamation);
    QCOMPARE(m_messages[1].text, FinishedText(Changed(2, 1), m_log));
    QVERIFY(ReadBytes(Page("index.htm")) != kIndexPage);
  }

  void removeModeTakesReferencesOutAndKeepsFavicon() {
    MakeSite();
    Click("Btn_4");
    Click("Btn_8");
    const std::string favicon = ReadBytes(Page("favicon.ico"));
    ClickOption("SetUnsetFaviconOPT_1");
    QVERIFY(!m_form->findChild<QWidget*>("FaviconSelFrame")->isEnabled());
    m_form->ApplyChosenIcon(7);  // a chosen icon is not written in remove mode
    m_messages.clear();
    Click("Btn_8");
    QCOMPARE(ReadBytes(Page("index.htm")), kIndexPage);
    QCOMPARE(ReadBytes(Page("sub/page.htm")), kSubPage);
    QCOMPARE(ReadBytes(Page("sub/deeper/p.html")), std::string("<html><head></head></html>"));
    QCOMPARE(ReadBytes(Page("favicon.ico")), favicon);
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(Lines(ReadBytes(m_log)).back(), std::string("Anzahl veränderter Dateien: 3"));
  }

  void failingPagesAskToGoOnOrStop() {
    WriteBytes(Page("a.htm"), kIndexPage);
    WriteBytes(Page("b.htm"), kIndexPage);
    WriteBytes(Page("c.htm"), "");  // an empty page cannot be edited
    WriteBytes(Page("d.htm"), kIndexPage);
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    Click("Btn_4");
    QVERIFY(QFile::remove(QString::fromStdString(Page("b.htm"))));
    m_answers = {MessageAnswer::Ok, MessageAnswer::Cancel};  // c: go on; b: stop
    QStringList statuses;  // what the status said when each question came up
    m_onMessage = [&](const Message&) { statuses << StatusText(*m_form, 1); };
    Click("Btn_8");
    QCOMPARE(statuses.size(), 3);
    for (int i : {0, 1}) {
      QVERIFY2(QRegularExpression(QStringLiteral("^Bearbeitung läuft \\.\\.\\. [0-4] von 4$"))
                   .match(statuses[i])
                   .hasMatch(),
               qPrintable(statuses[i]));
    }
    QCOMPARE(RunProgressText(1234, 10000), QStringLiteral("1.234 von 10.000"));

    QCOMPARE(m_messages.size(), size_t{3});
    for (int i : {0, 1}) {
      QCOMPARE(m_messages[i].buttons, MessageButtons::OkCancel);
      QCOMPARE(m_messages[i].icon, MessageIcon::None);
      QCOMPARE(m_messages[i].defaultAnswer, MessageAnswer::Ok);
    }
    const std::string& first = m_messages[0].text;
    QVERIFY(first.rfind(
                "Folgende Datei liess sich nicht bearbeiten: \r\r" + Page("c.htm") + "\r\r(", 0) ==
            0);
    const std::string ending =
        ")\r\rKlicken Sie 'OK', um fortzusetzen oder 'Abbrechen' um die Aktion zu beenden.";
    QCOMPARE(first.substr(first.size() - ending.size()), ending);
    QVERIFY(m_messages[1].text.find(Page("b.htm")) != std::string::npos);
    // The end says what was not done: d changed, c and b failed, a not reached after "Abbrechen".
    QCOMPARE(m_messages[2].text,
             "Abgebrochen: nicht alle Eintragungen wurden vorgenommen.\r\rVerändert: 1\r"
             "Unverändert: 0\rFehlgeschlagen: 2\rÜbergangen (außerhalb des "
             "Hauptverzeichnisses): 0\rNicht erreicht: 1\r\rEinzelheiten stehen im Protokoll: " +
                 m_log);
    QCOMPARE(m_messages[2].icon, MessageIcon::Exclamation);

    QVERIFY(ReadBytes(Page("d.htm")) != kIndexPage);
    QCOMPARE(ReadBytes(Page("c.htm")), std::string());
    QCOMPARE(ReadBytes(Page("a.htm")), kIndexPage);  // after Cancel
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log.size(), size_t{7});
    QCOMPARE(log[3], "1: " + Page("d.htm"));
    QVERIFY(log[4].rfind("Fehler bei Datei " + Page("c.htm") + ": ", 0) == 0);
    QVERIFY(log[5].rfind("Fehler bei Datei " + Page("b.htm") + ": ", 0) == 0);
    QCOMPARE(log[6], std::string("Anzahl veränderter Dateien: 1"));
    QCOMPARE(StatusText(*m_form, 1), QStringLiteral("Ersetzen beendet: 1 Dateien verändert."));
  }

  // The failure prompt's check box answers every later failure of the run the same way; the
  // closing message and the log still name each page. The next run asks again.
  void laterFailuresAnsweredAtOnce_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("failed");
    QTest::newRow("ticked, OK") << true << true << 1 << 3;
    QTest::newRow("ticked, Abbrechen") << true << false << 1 << 1;
    QTest::newRow("one by one") << false << true << 3 << 3;
  }
  void laterFailuresAnsweredAtOnce() {
    QFETCH(bool, ticked);
    QFETCH(bool, goOn);
    QFETCH(int, asked);
    QFETCH(int, failed);
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    WriteBytes(Page("a.htm"), kIndexPage);
    for (const char* name : {"r1.htm", "r2.htm", "r3.htm"}) {
      WriteBytes(Page(name), kIndexPage);
      QVERIFY(QFile::setPermissions(QString::fromStdString(Page(name)), QFile::ReadOwner));
    }
    Click("Btn_4");
    for (int run = 0; run < 2; ++run) {
      m_messages.clear();
      m_desktop.ticks = {ticked};
      m_answers = {goOn ? MessageAnswer::Ok : MessageAnswer::Cancel};
      Click("Btn_8");
      const int prompts = static_cast<int>(m_messages.size()) - 1;
      QCOMPARE(prompts, asked);
      QCOMPARE(m_desktop.checkBoxes.back(), std::string("Für alle weiteren Fehler dieses Laufs"));
      QVERIFY(m_messages.back().text.find("Fehlgeschlagen: " + std::to_string(failed) + "\r") !=
              std::string::npos);
      int logged = 0;
      for (const std::string& line : Lines(ReadBytes(m_log))) {
        logged += line.rfind("Fehler bei Datei ", 0) == 0 ? 1 : 0;
      }
      QCOMPARE(logged, (run + 1) * failed);
    }
  }

  // Rows of an earlier web root stay in the list, greyed and saying why, and Start leaves their
  // pages as they are: a link built for the new root would lead nowhere from there.
  void secondPfadKeepsEarlierRowsUntouched() {
    const std::string deep = Page("t/a/b/c/tief/seite.html");
    const std::string flat = Page("t/flach/index.htm");
    WriteBytes(deep, kIndexPage);
    WriteBytes(flat, kIndexPage);
    m_desktop.folder = m_root + "/t/a/b/c/tief";
    Click("Btn_4");
    m_desktop.folder = m_root + "/t/flach";
    Click("Btn_4");
    QCOMPARE(Rows(), (std::vector<std::string>{deep, flat}));
    // Said once, at that moment; the other root's row loses its mark, and the end stays plain.
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(m_messages[0].text,
             std::string("1 Seite eines anderen Hauptverzeichnisses bleibt in der Liste und wird "
                         "beim Start übergangen; ihr Häkchen ist entfernt."));
    QVERIFY(!m_form->RowMarked(1) && m_form->RowMarked(2));
    m_messages.clear();
    QAbstractItemModel* model = m_form->findChild<QTreeView*>("Liste")->model();
    const QModelIndex deepRow = model->index(0, 0);
    QVERIFY(model->data(deepRow, Qt::ToolTipRole)
                .toString()
                .endsWith(QString::fromStdString(OutsideWebRootText(m_root + "/t/flach/"))));
    QVERIFY(model->data(deepRow, Qt::ForegroundRole).isValid());
    QVERIFY(!model->data(model->index(1, 0), Qt::ForegroundRole).isValid());

    Click("Btn_8");
    QCOMPARE(ReadBytes(deep), kIndexPage);
    QVERIFY(ReadBytes(flat) != kIndexPage);
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log[3], "1: " + flat);
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(m_messages[0].text, FinishedText(Changed(1, 0), m_log));
    QCOMPARE(m_messages[0].icon, MessageIcon::Information);
  }

  // A page that names an icon of its own after ours shows that one in browsers: the list says so
  // once the pages are read after the fill, and again after Start, whose end counts it.
  void foreignIconAfterOursIsMarked() {
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    WriteBytes(Page("index.htm"), kIndexPage);
    WriteBytes(Page("py.htm"),
               "<html><head><link rel=\"icon\" href=\"_static/py.svg\"></head></html>");
    Click("Btn_4");
    QAbstractItemModel* model = m_form->findChild<QTreeView*>("Liste")->model();
    const QString foreign =
        QString::fromStdString(PageClassLabel(PageClass::kOtherIcon, false, false));
    QTRY_VERIFY(model->data(model->index(1, 0), Qt::ToolTipRole).toString().endsWith(foreign));
    QVERIFY(model->data(model->index(1, 0), Qt::DecorationRole).isValid());
    QVERIFY(!model->data(model->index(0, 0), Qt::DecorationRole).isValid());
    QCOMPARE(model->data(model->index(1, 0), Qt::AccessibleDescriptionRole).toString(), foreign);
    // Switching the page's own links off leaves it nothing to warn of; on again, the mark is back.
    auto* foreignLinks = m_form->findChild<QCheckBox*>("ForeignIconsCHK");
    foreignLinks->click();
    QTRY_VERIFY(!model->data(model->index(1, 0), Qt::DecorationRole).isValid());
    foreignLinks->click();
    QTRY_VERIFY(model->data(model->index(1, 0), Qt::DecorationRole).isValid());

    Click("Btn_8");
    QVERIFY(model->data(model->index(1, 0), Qt::ToolTipRole).toString().endsWith(foreign));
    QVERIFY(!model->data(model->index(0, 0), Qt::DecorationRole).isValid());
    QCOMPARE(m_messages.size(), size_t{1});
    QVERIFY(m_messages[0].text.find("\r\rAuf 1 Seite zeigen Browser trotzdem ein anderes Icon") !=
            std::string::npos);
    QCOMPARE(m_messages[0].icon, MessageIcon::Information);  // nothing was left undone
    // The log names the page and why, as the box says.
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log.back(), "Zu prüfen: " + Page("py.htm") + ": " + foreign.toStdString());
  }

  void overwriteQuestionCancelKeepsOldFileOkWritesChosenIcon() {
    MakeSite();
    const std::string old(IconFile(1));
    WriteBytes(Page("favicon.ico"), old);
    Click("Btn_4");
    QVERIFY(!m_form->State().preview.pending);
    QCOMPARE(m_form->State().preview.bytes, old);

    ChooseInDialog(133);
    QCOMPARE(m_form->State().preview.bytes, std::string(IconFile(133)));
    QVERIFY(m_form->State().preview.pending);
    m_answers = {MessageAnswer::Cancel};
    Click("Btn_8");
    QCOMPARE(m_messages.size(), size_t{2});
    QCOMPARE(m_messages[0].text, OverwriteFaviconMessage().text);
    QCOMPARE(m_messages[0].buttons, MessageButtons::OkCancel);
    QCOMPARE(ReadBytes(Page("favicon.ico")), old);
    QVERIFY(ReadBytes(Page("index.htm")) != kIndexPage);  // the pages are edited all the same
    QCOMPARE(m_form->State().preview.bytes, old);         // the chosen icon is discarded
    QVERIFY(!m_form->State().preview.pending);

    m_messages.clear();
    ChooseInDialog(133);
    m_answers = {MessageAnswer::Ok};
    Click("Btn_8");
    QCOMPARE(m_messages.size(), size_t{2});
    QCOMPARE(ReadBytes(Page("favicon.ico")), std::string(IconFile(133)));
  }

  // "Eigenes Bild ..." in the dialog: the icon made of the picture is pending like a catalogue
  // icon, and Start writes it after the overwrite question. With the modern set, an SVG picture
  // goes into the site as the drawing it is.
  void ownPictureIsWrittenLikeACatalogueIcon() {
    MakeSite();
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    QImage logo(60, 30, QImage::Format_ARGB32);
    logo.fill(QColor(200, 0, 0, 160));
    const std::string picture = Page("logo.png");
    QVERIFY(logo.save(QString::fromStdString(picture)));
    Click("Btn_4");
    const auto chooseOwnPicture = [this](const std::string& file) {
      m_desktop.imageFile = file;
      QTimer::singleShot(0, this, [] {
        auto* dialog = qobject_cast<SelIconDialog*>(QApplication::activeModalWidget());
        if (dialog) QTest::mouseClick(dialog->findChild<QPushButton*>("Btn2"), Qt::LeftButton);
      });
      Click("Btn_7");
    };
    chooseOwnPicture(picture);
    const std::string icon = m_form->State().preview.bytes;
    QVERIFY(m_form->State().preview.pending);
    QCOMPARE(ReadIcoDirectory(icon).value_or(std::vector<IcoDirEntry>{}).size(), size_t{4});
    m_answers = {MessageAnswer::Ok};
    Click("Btn_8");
    QCOMPARE(m_messages.at(0).text, OverwriteFaviconMessage().text);
    QCOMPARE(ReadBytes(Page("favicon.ico")), icon);

    const std::string drawing =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\">"
        "<circle cx=\"8\" cy=\"8\" r=\"7\" fill=\"teal\"/></svg>";
    WriteBytes(Page("logo.svg"), drawing);
    chooseOwnPicture(Page("logo.svg"));
    ClickOption("FaviconSetOPT_1");
    m_answers = {MessageAnswer::Ok};
    Click("Btn_8");
    QCOMPARE(ReadBytes(Page("icon.svg")), drawing);
    ClickOption("FaviconSetOPT_0");  // the choice is kept in the settings
  }

  void cancelledIconDialogChangesNothing() {
    MakeSite();
    Click("Btn_4");
    const PreviewIcon before = m_form->State().preview;
    QTimer::singleShot(0, this, [] {
      auto* dialog = qobject_cast<SelIconDialog*>(QApplication::activeModalWidget());
      if (dialog) QTest::mouseClick(dialog->findChild<QPushButton*>("Btn1"), Qt::LeftButton);
    });
    Click("Btn_7");
    QCOMPARE(m_form->State().preview.bytes, before.bytes);
    QCOMPARE(m_form->State().preview.pending, before.pending);
  }

  void currentFaviconButtonDiscardsChosenIcon() {
    MakeSite();
    Click("Btn_4");
    m_form->ApplyChosenIcon(42);
    QCOMPARE(m_form->State().preview.bytes, std::string(IconFile(42)));
    Click("Btn_11");
    QCOMPARE(m_form->State().preview.bytes, std::string(DefaultIconFile()));
    QVERIFY(m_form->State().preview.pending);
  }

  void startAfterResetStillRunsEveryStep() {
    MakeSite();
    Click("Btn_4");
    Click("Btn_0");
    QVERIFY(m_form->findChild<QPushButton*>("Btn_8")->isEnabled());
    Click("Btn_8");
    QCOMPARE(m_messages.size(), size_t{2});
    QCOMPARE(m_messages[0].text,
             std::string("Bitte legen Sie zunächst das Hauptverzeichnis Ihrer lokalen "
                         "Web-Seiten fest."));
    QCOMPARE(m_messages[0].icon, MessageIcon::Critical);
    QCOMPARE(m_messages[1].text, FinishedText(RunCounts{}, m_log));
    QCOMPARE(m_messages[1].icon, MessageIcon::Information);
    QCOMPARE(ReadBytes(Page("favicon.ico")), std::string(DefaultIconFile()));
    QCOMPARE(ReadBytes(Page("index.htm")), kIndexPage);
    QCOMPARE(ReadBytes(m_log), std::string("<missing>"));
  }

  void commandsDuringAScanAreIgnoredAndSortingWaits() {
    MakeSite();
    int scans = 0;
    m_onFolderDialog = [&scans] { ++scans; };
    // Clicked while the scan works: the list, Start and the web root wait; the header's column
    // is taken, and the fill ends sorted by it.
    QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_4"), Qt::LeftButton);
    QVERIFY(m_form->Busy());
    Click("Btn_4");
    Click("Btn_0");
    Click("Btn_8");
    ClickHeader();
    QTRY_VERIFY(!m_form->Busy());
    QCOMPARE(scans, 1);
    QCOMPARE(m_form->RowCount(), 3);
    QVERIFY(m_messages.empty());  // no run was started
    QCOMPARE(m_form->LastSortColumn(), 1);
    QCOMPARE(Rows().front(), Page("index.htm"));  // still ascending
  }

  void sortingDuringARunWaitsUntilTheRunEnds() {
    for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"}) {
      WriteBytes(Page(name), kIndexPage);
    }
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    Click("Btn_4");
    QVERIFY(QFile::remove(QString::fromStdString(Page("d.htm"))));
    // At the failure prompt for d.htm the user sorts the list the other way round.
    m_onMessage = [this](const Message& message) {
      if (message.buttons != MessageButtons::OkCancel) return;
      ClickHeader();
      ClickHeader();
    };
    Click("Btn_8");
    for (const char* name : {"a.htm", "b.htm", "c.htm", "e.htm"}) {
      QVERIFY2(ReadBytes(Page(name)) != kIndexPage, name);
    }
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log[3], "1: " + Page("e.htm"));
    QCOMPARE(log[5], "2: " + Page("c.htm"));
    QCOMPARE(log[6], "3: " + Page("b.htm"));
    QCOMPARE(log[7], "4: " + Page("a.htm"));
    // The clicks took effect afterwards: descending now.
    QCOMPARE(Rows().front(), Page("e.htm"));
  }

  // "&Ende", closing the window and SIGTERM all end the program the same way: the page under way
  // is finished, nothing after it is touched, the log gets its closing line, no temporary file
  // is left.
  // Esc and "A&bbrechen" (shown only while a Start runs) stop the run at the next page's turn,
  // as "Abbrechen" at a failure does; the closing message's counts are those of the disk.
  void stopDuringARunShowsTheCountsOfTheDisk_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("Abbrechen") << false;
  }
  void stopDuringARunShowsTheCountsOfTheDisk() {
    QFETCH(bool, escape);
    const std::vector<std::string> names = {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"};
    for (const std::string& name : names) WriteBytes(Page(name), kIndexPage);
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    Click("Btn_4");
    auto* stop = m_form->findChild<QPushButton*>("StopRunBtn");
    QVERIFY(!stop->isVisible());
    QVERIFY(QFile::remove(QString::fromStdString(Page("c.htm"))));
    bool shownDuringRun = false;
    // At the failure prompt for c.htm the user answers "OK" but stops the run.
    m_onMessage = [&](const Message& message) {
      if (message.buttons != MessageButtons::OkCancel) return;
      shownDuringRun = stop->isVisible();
      if (escape) {
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
      } else {
        stop->click();
      }
    };
    Click("Btn_8");
    QVERIFY(shownDuringRun);
    QVERIFY(!stop->isVisible());
    QCOMPARE(m_messages.size(), size_t{2});
    int changed = 0;
    for (const std::string& name : names) {
      changed += name != "c.htm" && ReadBytes(Page(name)) != kIndexPage ? 1 : 0;
    }
    QCOMPARE(changed, 2);  // e and d; b was prepared ahead and dropped
    RunCounts counts = Changed(changed, 0);
    counts.failed = 1;
    counts.notReached = 2;
    counts.stopped = true;
    QCOMPARE(m_messages[1].text, FinishedText(counts, m_log));
    QCOMPARE(m_messages[1].icon, MessageIcon::Exclamation);
    QVERIFY(m_form->isVisible());
  }

  void endDuringARunLetsTheRestGoAndEndsTheEventLoop_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Ende") << "Ende";
    QTest::newRow("close") << "close";
    QTest::newRow("SIGTERM") << "SIGTERM";
  }
  void endDuringARunLetsTheRestGoAndEndsTheEventLoop() {
    QFETCH(QString, how);
    for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"}) {
      WriteBytes(Page(name), kIndexPage);
    }
    WriteBytes(Page("favicon.ico"), std::string(IconFile(1)));
    Click("Btn_4");
    QVERIFY(QFile::remove(QString::fromStdString(Page("c.htm"))));
    // At the failure prompt for c.htm the program is asked to end.
    m_onMessage = [this, how](const Message& message) {
      if (message.buttons != MessageButtons::OkCancel) return;
      if (how == "Ende") Click("Btn_9");
      if (how == "close") m_form->close();
      if (how == "SIGTERM") ::raise(SIGTERM);
    };
    QTimer::singleShot(0, this, [this] {
      QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_8"), Qt::LeftButton);
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(1); });  // never hang
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!m_form->isVisible());
    QVERIFY(ReadBytes(Page("e.htm")) != kIndexPage);
    QVERIFY(ReadBytes(Page("d.htm")) != kIndexPage);
    QCOMPARE(ReadBytes(Page("b.htm")), kIndexPage);  // prepared ahead, then dropped
    QCOMPARE(ReadBytes(Page("a.htm")), kIndexPage);
    QCOMPARE(m_messages.size(), size_t{1});  // no closing message: the log keeps its counts
    const std::vector<std::string> log = Lines(ReadBytes(m_log));
    QCOMPARE(log[log.size() - 3], std::string("Anzahl veränderter Dateien: 2"));
    QCOMPARE(log[log.size() - 2], RunInterruptedLogLine());
    QCOMPARE(log.back(), std::string("Zusammenfassung: verändert 2, unverändert 0, "
                                     "fehlgeschlagen 1, übergangen 0, nicht erreicht 2"));
    QCOMPARE(log.size(), size_t{9});
    QCOMPARE(QDir(m_site->path()).entryList(QDir::Hidden | QDir::Files).size(), 5);
  }

 private:
  std::string Page(const std::string& name) const {
    return m_site->path().toStdString() + "/" + name;
  }

  void MakeSite() {
    WriteBytes(Page("index.htm"), kIndexPage);
    WriteBytes(Page("sub/page.htm"), kSubPage);
    WriteBytes(Page("sub/deeper/p.html"), kDeeperPage);
    WriteBytes(Page("style.css"), "<head></head>");
    WriteBytes(Page("_vti_cnf/index.htm"), kIndexPage);
    WriteBytes(Page(".git/x.htm"), kIndexPage);
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int row = 1; row <= m_form->RowCount(); ++row) rows.push_back(m_form->RowText(row));
    return rows;
  }

  // Clicks and, when the click starts the window's work, waits until it is done.
  void Click(const char* button) {
    const bool busy = m_form->Busy();
    QTest::mouseClick(m_form->findChild<QPushButton*>(button), Qt::LeftButton);
    if (!busy) QTRY_VERIFY_WITH_TIMEOUT(!m_form->Busy(), 20000);
  }

  void ClickOption(const char* option) {
    auto* radio = m_form->findChild<QRadioButton*>(option);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
  }

  void ClickHeader() {
    QHeaderView* header = m_form->findChild<QTreeView*>("Liste")->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(40, header->height() / 2));
  }

  // Picks catalogue entry `index` in the real icon dialog and confirms it with "OK".
  void ChooseInDialog(int index) {
    bool answered = false;
    QTimer::singleShot(0, this, [index, &answered] {
      auto* dialog = qobject_cast<SelIconDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      auto* list = dialog->findChild<QListView*>("IconListView");
      list->setCurrentIndex(list->model()->index(index - 1, 0));
      QTest::mouseClick(dialog->findChild<QPushButton*>("Btn0"), Qt::LeftButton);
      answered = true;
    });
    Click("Btn_7");
    QVERIFY(answered);
  }

  std::unique_ptr<QTemporaryDir> m_site;
  std::unique_ptr<QTemporaryDir> m_logs;
  std::string m_root;
  std::string m_log;
  testing::ScriptedDesktop m_desktop;
  std::unique_ptr<ActivityLog> m_activityLog;
  std::unique_ptr<Form1> m_form;
  // What the desktop was asked and how it answers, under the names the tests use.
  std::vector<Message>& m_messages = m_desktop.messages;
  std::deque<MessageAnswer>& m_answers = m_desktop.answers;
  std::vector<std::string>& m_prompts = m_desktop.folderPrompts;
  std::function<void(const Message&)>& m_onMessage = m_desktop.onMessage;
  std::function<void()>& m_onFolderDialog = m_desktop.onFolderDialog;
};

}  // namespace tervando

TERVANDO_ISOLATED_QTEST_MAIN(tervando::Form1RunTest)
#include "form1_run_test.moc"
