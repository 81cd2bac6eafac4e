#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "support/crisp_pixmap.h"
#include "support/info_form_freeware.h"
#include "support/message_box.h"
#include "support/open_with_shell.h"
#include "support/show_help.h"
#include "support_gui/isolated_qt_test.h"
#include "support_gui/scripted_desktop.h"

namespace tervando {

namespace {

void WriteFile(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("<html></html>");
}

std::string Folder(const QTemporaryDir& dir) { return dir.path().toStdString() + "/"; }

}  // namespace

class SupportGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { m_desktop = testing::ScriptedDesktop(); }

  void cleanup() {
    if (InfoFormFreeware* open = InfoFormFreeware::OpenInstance()) delete open;
  }

  void shellUrlTurnsTargetsIntoAddresses_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("url");
    QTest::newRow("bare host") << "www.orvatek.example"
                               << "http://www.orvatek.example";
    QTest::newRow("host and path") << "www.orvatek.example/neu"
                                   << "http://www.orvatek.example/neu";
    QTest::newRow("with scheme") << "https://www.orvatek.example"
                                 << "https://www.orvatek.example";
    QTest::newRow("file path") << "/srv/tervando/hilfe.htm"
                               << "file:///srv/tervando/hilfe.htm";
    QTest::newRow("path with blank") << "/srv/mein prog/index.htm"
                                     << "file:///srv/mein%20prog/index.htm";
  }
  void shellUrlTurnsTargetsIntoAddresses() {
    QFETCH(QString, target);
    QFETCH(QString, url);
    QCOMPARE(ShellUrl(target.toStdString()).toString(QUrl::FullyEncoded), url);
  }

  void showCommandZeroMeansNormalWindow() {
    OpenWithShell(m_desktop, "www.orvatek.example", 0);
    OpenWithShell(m_desktop, "www.orvatek.example", kShowMaximized);
    QCOMPARE(m_desktop.opened.size(), size_t{2});
    QCOMPARE(m_desktop.opened[0].show, kShowNormal);
    QCOMPARE(m_desktop.opened[1].show, kShowMaximized);
  }

  void makerSiteOpensMaximised() {
    OpenMakerSite(m_desktop);
    QCOMPARE(m_desktop.opened.size(), size_t{1});
    QCOMPARE(m_desktop.opened[0].url, QUrl(QStringLiteral("http://www.orvatek.example")));
    QCOMPARE(m_desktop.opened[0].show, kShowMaximized);
  }

  void helpPrefersHilfeOverIndex() {
    QTemporaryDir dir;
    WriteFile(dir.filePath("hilfe.htm"));
    WriteFile(dir.filePath("index.htm"));
    ShowHelpIn(m_desktop, Folder(dir));
    QCOMPARE(m_desktop.opened.size(), size_t{1});
    QCOMPARE(m_desktop.opened[0].url, QUrl::fromLocalFile(dir.filePath("hilfe.htm")));
    QCOMPARE(m_desktop.opened[0].show, kShowNormal);
    QVERIFY(m_desktop.messages.empty());
  }

  void helpFallsBackToIndexSilently() {
    QTemporaryDir dir;
    WriteFile(dir.filePath("index.htm"));
    ShowHelpIn(m_desktop, Folder(dir));
    QCOMPARE(m_desktop.opened.size(), size_t{1});
    QCOMPARE(m_desktop.opened[0].url, QUrl::fromLocalFile(dir.filePath("index.htm")));
    QVERIFY(m_desktop.messages.empty());
  }

  void folderNamedHilfeCountsAsMissing() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("hilfe.htm"));
    WriteFile(dir.filePath("index.htm"));
    ShowHelpIn(m_desktop, Folder(dir));
    QCOMPARE(m_desktop.opened.size(), size_t{1});
    QCOMPARE(m_desktop.opened[0].url, QUrl::fromLocalFile(dir.filePath("index.htm")));
  }

  void missingHelpShowsOneMessageAndOpensNothing() {
    QTemporaryDir dir;
    QTemporaryDir workingDir;  // a help page in the current folder does not count
    WriteFile(workingDir.filePath("hilfe.htm"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingDir.path());
    ShowHelpIn(m_desktop, Folder(dir));
    QDir::setCurrent(previous);
    QVERIFY(m_desktop.opened.empty());
    QCOMPARE(m_desktop.messages.size(), size_t{1});
    QCOMPARE(m_desktop.messages[0].text,
             std::string("Die Online-Hilfe konnte leider nicht gefunden werden ..."));
    QCOMPARE(m_desktop.messages[0].icon, MessageIcon::Information);
    QCOMPARE(m_desktop.messages[0].buttons, MessageButtons::Ok);
  }

  void messageLineBreaksAreShownAsLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("cr") << "a\rb"
                        << "a\nb";
    QTest::newRow("empty line") << "a\r\rb"
                                << "a\n\nb";
    QTest::newRow("cr lf") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("umlauts") << "lös\rchen"
                             << "lös\nchen";
  }
  void messageLineBreaksAreShownAsLines() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(MessageDisplayText(text.toStdString()), shown);
  }

  void messageBoxCarriesTitleIconButtonsAndDefault() {
    const auto box = MakeMessageBox(
        {"Frage\r\rweiter?", MessageIcon::Critical, MessageButtons::YesNo, MessageAnswer::No},
        nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("Tervando"));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
    QCOMPARE(box->text(), QStringLiteral("Frage\n\nweiter?"));
    QVERIFY(!box->checkBox());
    const auto withBox = MakeMessageBox({"Fehler"}, nullptr, "Für alle");
    QVERIFY(withBox->checkBox() && !withBox->checkBox()->isChecked());
    QCOMPARE(withBox->checkBox()->text(), QStringLiteral("Für alle"));
  }

  void aboutTextNamesProductVersionAndPurpose() {
    QCOMPARE(InfoFormText(),
             QStringLiteral("Tervando (V2.1b) \u2013 Aut. Einfügen und Löschen von Favicons in "
                            "Web-Seiten"));
    InfoFormFreeware form(m_desktop, QSize(1024, 768));
    QCOMPARE(form.windowTitle(), QStringLiteral("Info über Tervando"));
    QCOMPARE(form.findChild<QLabel*>("Label_0")->text(), InfoFormText());
  }

  void aboutGeometryAndControls() {
    InfoFormFreeware form(m_desktop, QSize(1024, 768));
    QCOMPARE(form.size(), QSize(626, 424));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!form.isModal());
    const std::pair<const char*, QRect> controls[] = {
        {"Image1", QRect(6, 8, 61, 409)},
        {"Label_0", QRect(76, 8, 541, 361)},
        {"Btn_1", QRect(286, 386, 205, 25)},
        {"Btn_3", QRect(496, 386, 125, 25)},
    };
    for (const auto& [name, rect] : controls) {
      auto* widget = form.findChild<QWidget*>(name);
      QVERIFY2(widget, name);
      QCOMPARE(widget->geometry(), rect);
    }
    auto* label = form.findChild<QLabel*>("Label_0");
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pointSizeF(), 9.75);
    QVERIFY(label->wordWrap());
    QCOMPARE(form.findChild<QPushButton*>("Btn_1")->text(),
             QStringLiteral("Was gibts Neues auf &Orvatek?"));
    QCOMPARE(form.findChild<QPushButton*>("Btn_3")->text(), QStringLiteral("Fenster &schliessen"));
    QVERIFY(!form.findChild<QPushButton*>("Btn_1")->isDefault());
    QVERIFY(!form.findChild<QPushButton*>("Btn_3")->isDefault());
    QCOMPARE(form.findChild<QLabel*>("Image1")->toolTip(),
             QStringLiteral("Klicken Sie hier, um noch mehr interessante Orvatek-Programme "
                            "kennenzulernen ..."));
  }

  // Each caption fits its button on one line.
  void captionsFitTheirButtonsOnOneLine() {
    InfoFormFreeware form(m_desktop, QSize(1024, 768));
    for (const char* name : {"Btn_1", "Btn_3"}) {
      auto* button = form.findChild<QPushButton*>(name);
      const QFontMetrics metrics(button->font());
      QVERIFY2(!button->text().contains('\n'), name);
      QVERIFY2(metrics.size(Qt::TextShowMnemonic, button->text()).width() <= button->width() - 8,
               name);
    }
  }

  void aboutPlacement_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("topLeft");
    QTest::newRow("640x480") << QSize(640, 480) << true;
    QTest::newRow("narrow 640 wide") << QSize(640, 1024) << true;
    QTest::newRow("low 480 high") << QSize(1280, 480) << true;
    QTest::newRow("641x481") << QSize(641, 481) << false;
    QTest::newRow("800x600") << QSize(800, 600) << false;
    QTest::newRow("1024x768") << QSize(1024, 768) << false;
  }
  void aboutPlacement() {
    QFETCH(QSize, screen);
    QFETCH(bool, topLeft);
    InfoFormFreeware form(m_desktop, screen);
    const QSize frame = form.frameGeometry().size();
    const QPoint expected = topLeft ? QPoint(0, 0)
                                    : QPoint((screen.width() - frame.width()) / 2,
                                             (screen.height() - frame.height()) / 2);
    QCOMPARE(form.pos(), expected);
  }

  void centringHalvesTheDifferenceTowardZero() {
    QCOMPARE(CenteredPosition(QSize(1024, 768), QSize(626, 424)), QPoint(199, 172));
    QCOMPARE(CenteredPosition(QSize(1024, 768), QSize(627, 425)), QPoint(198, 171));
    QCOMPARE(CenteredPosition(QSize(641, 481), QSize(646, 486)), QPoint(-2, -2));
    QCOMPARE(InfoFormPosition(QSize(640, 768), QSize(626, 424)), QPoint(0, 0));
  }

  // Pixel art keeps exactly its own colours when enlarged for 150 % and 200 % screens.
  void pixelArtIsEnlargedWithoutSmoothing_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("150 %") << 1.5;
    QTest::newRow("200 %") << 2.0;
  }
  void pixelArtIsEnlargedWithoutSmoothing() {
    QFETCH(qreal, scale);
    QImage checker(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) checker.setPixel(x, y, (x + y) % 2 ? 0xFF000000 : 0xFFFFFFFF);
    }
    const QPixmap source = QPixmap::fromImage(checker);
    const int device = qRound(16 * scale);
    const QImage fromIcon = CrispIcon(source).pixmap(QSize(16, 16), scale).toImage();
    const QImage fromBox = CrispPixmap(source, QSize(16, 16), scale).toImage();
    for (const QImage& image : {fromIcon, fromBox}) {
      QCOMPARE(image.size(), QSize(device, device));
      for (int y = 0; y < device; ++y) {
        for (int x = 0; x < device; ++x) {
          const QRgb pixel = image.pixel(x, y);
          QVERIFY2(pixel == 0xFF000000 || pixel == 0xFFFFFFFF, "a blended pixel");
        }
      }
    }
  }

  void aboutIsOneInstanceBroughtToFront() {
    InfoFormFreeware* first = InfoFormFreeware::ShowInstance(m_desktop, QSize(1024, 768));
    first->move(3, 4);  // a load would place it again; bringing to front must not
    InfoFormFreeware* second = InfoFormFreeware::ShowInstance(m_desktop, QSize(1024, 768));
    QCOMPARE(second, first);
    QCOMPARE(second->pos(), QPoint(3, 4));
    QVERIFY(second->isVisible());
  }

  void closeButtonUnloadsAndReopeningLoadsAgain() {
    InfoFormFreeware* first = InfoFormFreeware::ShowInstance(m_desktop, QSize(1024, 768));
    QPointer<InfoFormFreeware> watch(first);
    QTest::mouseClick(first->findChild<QPushButton*>("Btn_3"), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
    QCOMPARE(InfoFormFreeware::OpenInstance(), nullptr);
    InfoFormFreeware* again = InfoFormFreeware::ShowInstance(m_desktop, QSize(640, 480));
    QCOMPARE(again->pos(), QPoint(0, 0));
    QCOMPARE(again->findChild<QLabel*>("Label_0")->text(), InfoFormText());
  }

  void escapeClosesTheDialogEnterPressesTheFocusedButton() {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {  // the focus starts on closing
      QPointer<InfoFormFreeware> closing =
          InfoFormFreeware::ShowInstance(m_desktop, QSize(1024, 768));
      QVERIFY(QTest::qWaitForWindowActive(closing));
      QCOMPARE(QApplication::focusWidget(), closing->findChild<QWidget*>("Btn_3"));
      QTest::keyClick(QApplication::focusWidget(), key);
      QTRY_VERIFY(closing.isNull());
    }
    QVERIFY(m_desktop.opened.empty());
    InfoFormFreeware* form = InfoFormFreeware::ShowInstance(m_desktop, QSize(1024, 768));
    auto* whatsNew = form->findChild<QPushButton*>("Btn_1");
    whatsNew->setFocus();
    QTest::keyClick(whatsNew, Qt::Key_Return);
    QCOMPARE(m_desktop.opened.size(), size_t{1});
    QVERIFY(form->isVisible());
  }

  // A key typed just before a box comes up (during a run) does not answer it; one typed once
  // the box has settled does.
  void earlyKeysDoNotAnswerABox() {
    const auto box = MakeMessageBox(
        {"Frage", MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok}, nullptr);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QTest::keyClick(box.get(), Qt::Key_Return);
    QVERIFY(box->isVisible());
    QTest::qWait(kBoxSettleMs + 50);
    QTest::keyClick(box.get(), Qt::Key_Return);
    QTRY_VERIFY(!box->isVisible());
    QCOMPARE(box->clickedButton(), box->button(QMessageBox::Ok));
  }

  void pictureAndButtonOpenTheMakerSite() {
    InfoFormFreeware form(m_desktop, QSize(1024, 768));
    form.show();
    QTest::mouseClick(form.findChild<QLabel*>("Image1"), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton*>("Btn_1"), Qt::LeftButton);
    QCOMPARE(m_desktop.opened.size(), size_t{2});
    for (const auto& call : m_desktop.opened) {
      QCOMPARE(call.url, QUrl(QStringLiteral("http://www.orvatek.example")));
      QCOMPARE(call.show, kShowMaximized);
    }
    QVERIFY(form.isVisible());
  }

 private:
  testing::ScriptedDesktop m_desktop;
};

}  // namespace tervando

TERVANDO_ISOLATED_QTEST_MAIN(tervando::SupportGuiTest)
#include "support_gui_test.moc"
