#include "icons/sel_icon_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "icons/ico_reader.h"
#include "icons/icon_catalogue.h"
#include "icons/icon_image.h"
#include "icons/image_to_icon.h"
#include "support_gui/scripted_desktop.h"

namespace tervando {

class SelIconDialogTest : public QObject {
  Q_OBJECT

 private:
  static QListView* List(SelIconDialog& dialog) {
    return dialog.findChild<QListView*>(QStringLiteral("IconListView"));
  }
  static QPushButton* Button(SelIconDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  static void MakeCurrent(SelIconDialog& dialog, int entry) {
    QListView* list = List(dialog);
    list->setCurrentIndex(list->model()->index(entry - 1, 0));
  }
  // Runs `step` on the modal dialog once ChooseIcon has shown it.
  PreviewIcon ChooseIconWith(const std::function<void(SelIconDialog&)>& step) {
    QTimer::singleShot(0, [step] {
      auto* dialog = qobject_cast<SelIconDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      step(*dialog);
    });
    return SelIconDialog::ChooseIcon(m_desktop, nullptr);
  }
  // The chosen icon file.
  std::string ChooseWith(const std::function<void(SelIconDialog&)>& step) {
    return ChooseIconWith(step).bytes;
  }

 private slots:  // NOLINT(readability-redundant-access-specifiers): Qt needs the slots marker
  void init() { m_desktop = testing::ScriptedDesktop(); }

  void TitleCountsTheCatalogue() {
    SelIconDialog dialog(m_desktop);
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Tervando - Icon-Auswahl (511 Stück)"));
  }

  void ControlsAndTexts() {
    SelIconDialog dialog(m_desktop);
    auto* frame = dialog.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->title(), QString::fromUtf8("Bitte wählen Sie das gewünschte Icon aus ... "));
    QCOMPARE(Button(dialog, "Btn0")->text(), QStringLiteral("OK"));
    QCOMPARE(Button(dialog, "Btn1")->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(Button(dialog, "Btn2")->text(), QStringLiteral("Eigenes &Bild ..."));
    for (const char* name : {"Btn0", "Btn1", "Btn2"}) {
      QVERIFY(!Button(dialog, name)->isDefault());
      QVERIFY(!Button(dialog, name)->autoDefault());
    }
    // Twips / 15: client 8205 x 5835, list 120, 240, 7755, 4815 inside the frame.
    QCOMPARE(dialog.size(), QSize(547, 389));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(frame->geometry(), QRect(6, 6, 535, 347));
    QCOMPARE(List(dialog)->geometry(), QRect(8, 16, 517, 321));
    QCOMPARE(Button(dialog, "Btn0")->geometry(), QRect(460, 358, 81, 25));
    QCOMPARE(Button(dialog, "Btn1")->geometry(), QRect(374, 358, 81, 25));
    QCOMPARE(Button(dialog, "Btn2")->geometry(), QRect(254, 358, 115, 25));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(List(dialog)->viewMode(), QListView::IconMode);
    QCOMPARE(List(dialog)->iconSize(), QSize(32, 32));
  }

  void TextsFitTheirControls() {
    SelIconDialog dialog(m_desktop);
    for (const char* name : {"Btn0", "Btn1", "Btn2"}) {
      QPushButton* button = Button(dialog, name);
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 8, name);
    }
    auto* frame = dialog.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width() - 16);
  }

  void ListShowsEveryEntryWithItsNumber() {
    SelIconDialog dialog(m_desktop);
    const QAbstractItemModel* model = List(dialog)->model();
    QCOMPARE(model->rowCount(), 511);
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex index = model->index(row, 0);
      QCOMPARE(index.data(Qt::DisplayRole).toString(), QString::number(row + 1));
      const auto icon = index.data(Qt::DecorationRole).value<QIcon>();
      QVERIFY2(!icon.isNull(), qPrintable(QString("entry %1 has no picture").arg(row + 1)));
      QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
    }
  }

  void EveryImageOfEveryEntryLoads() {
    for (int entry = 1; entry <= kIconCount; ++entry) {
      const std::string_view file = IconFile(entry);
      QBuffer buffer;
      buffer.setData(QByteArray(file.data(), static_cast<qsizetype>(file.size())));
      QImageReader reader(&buffer, "ico");
      const int count = static_cast<int>(ReadIcoDirectory(file).value().size());
      QCOMPARE(reader.imageCount(), count);
      for (int i = 0; i < count; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(QString("entry %1 image %2").arg(entry).arg(i)));
        QVERIFY(image.hasAlphaChannel());
      }
    }
  }

  void IconOneIsCurrentAtEveryOpening() {
    {
      SelIconDialog first(m_desktop);
      QCOMPARE(List(first)->currentIndex().row(), 0);
      MakeCurrent(first, 300);
      QTest::mouseClick(Button(first, "Btn0"), Qt::LeftButton);
    }
    SelIconDialog second(m_desktop);
    QCOMPARE(List(second)->currentIndex().row(), 0);
  }

  void OkAppliesTheCurrentEntry() {
    SelIconDialog dialog(m_desktop);
    QSignalSpy applied(&dialog, &SelIconDialog::ApplyChosenIcon);
    dialog.show();
    MakeCurrent(dialog, 300);
    QTest::mouseClick(Button(dialog, "Btn0"), Qt::LeftButton);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(applied.at(0).at(0).toInt(), 300);
    QVERIFY(!dialog.isVisible());
  }

  void OkAtOnceAppliesIconOne() {
    QCOMPARE(ChooseWith([](SelIconDialog& d) { Button(d, "Btn0")->click(); }),
             std::string(IconFile(1)));
  }

  void ChooseIconReturnsTheConfirmedEntry() {
    QCOMPARE(ChooseWith([](SelIconDialog& d) {
               MakeCurrent(d, kIconCount);
               Button(d, "Btn0")->click();
             }),
             std::string(IconFile(kIconCount)));
  }

  void CancelAppliesNothing() {
    SelIconDialog dialog(m_desktop);
    QSignalSpy applied(&dialog, &SelIconDialog::ApplyChosenIcon);
    dialog.show();
    MakeCurrent(dialog, 42);
    QTest::mouseClick(Button(dialog, "Btn1"), Qt::LeftButton);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(applied.at(0).at(0).toInt(), 0);
    QVERIFY(!dialog.isVisible());

    QCOMPARE(ChooseWith([](SelIconDialog& d) {
               MakeCurrent(d, 42);
               Button(d, "Btn1")->click();
             }),
             std::string());
  }

  void OtherClosesApplyNothing() {
    SelIconDialog dialog(m_desktop);
    QSignalSpy applied(&dialog, &SelIconDialog::ApplyChosenIcon);
    dialog.show();
    MakeCurrent(dialog, 7);
    dialog.close();
    QCOMPARE(applied.count(), 0);

    QCOMPARE(ChooseWith([](SelIconDialog& d) {
               MakeCurrent(d, 7);
               d.close();
             }),
             std::string());
  }

  // Escape is "Abbrechen" wherever the focus is; Tab runs from the icons through the buttons
  // from left to right.
  void EscapeCancelsAndTabRunsLeftToRight() {
    for (const char* focused : {"Btn0", "Btn1", "Btn2", "IconListView"}) {
      SelIconDialog dialog(m_desktop);
      QSignalSpy applied(&dialog, &SelIconDialog::ApplyChosenIcon);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowActive(&dialog));
      MakeCurrent(dialog, 9);
      QWidget* focus = dialog.findChild<QWidget*>(QString::fromLatin1(focused));
      focus->setFocus();
      QTest::keyClick(focus, Qt::Key_Escape);
      QVERIFY2(!dialog.isVisible(), focused);
      QCOMPARE(applied.count(), 1);
      QCOMPARE(applied[0][0].toInt(), 0);
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    SelIconDialog dialog(m_desktop);
    QStringList chain;
    QWidget* widget = List(dialog);
    for (int step = 0; step < 4; ++step, widget = widget->nextInFocusChain()) {
      while (widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
      chain << widget->objectName();
    }
    QCOMPARE(chain, (QStringList{"IconListView", "Btn2", "Btn1", "Btn0"}));
  }

  // Enter on an icon and a double-click on one choose it, as "OK" does; a double-click beside
  // the icons chooses nothing.
  void EnterOrDoubleClickOnAnIconChoosesIt_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("applied");
    QTest::newRow("Return") << "Return" << 12;
    QTest::newRow("Enter") << "Enter" << 12;
    QTest::newRow("double-click") << "double-click" << 12;
    QTest::newRow("double-click beside") << "double-click beside" << -1;
  }
  void EnterOrDoubleClickOnAnIconChoosesIt() {
    QFETCH(QString, gesture);
    QFETCH(int, applied);
    SelIconDialog dialog(m_desktop);
    QSignalSpy spy(&dialog, &SelIconDialog::ApplyChosenIcon);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    MakeCurrent(dialog, 12);
    QListView* list = List(dialog);
    list->setFocus();
    if (gesture == QLatin1String("Return")) QTest::keyClick(list, Qt::Key_Return);
    if (gesture == QLatin1String("Enter")) QTest::keyClick(list, Qt::Key_Enter);
    if (gesture.startsWith(QLatin1String("double-click"))) {
      QPoint where = list->visualRect(list->model()->index(11, 0)).center();
      if (gesture != QLatin1String("double-click")) {  // the room after the last icon
        list->scrollToBottom();
        where = list->visualRect(list->model()->index(kIconCount - 1, 0)).center();
        while (list->indexAt(where).isValid()) where.rx() += 4;
        QVERIFY(list->viewport()->rect().contains(where));
      }
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);  // a double-click's first
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
    }
    QCOMPARE(spy.count(), applied < 0 ? 0 : 1);
    if (applied >= 0) QCOMPARE(spy.at(0).at(0).toInt(), applied);
    QCOMPARE(dialog.isVisible(), applied < 0);
  }

  // Enter acts on the focused button only, as Space does.
  void EnterPressesTheFocusedButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("applied");
    QTest::newRow("OK") << "Btn0" << 12;
    QTest::newRow("Abbrechen") << "Btn1" << 0;
  }
  void EnterPressesTheFocusedButton() {
    QFETCH(QString, button);
    QFETCH(int, applied);
    SelIconDialog dialog(m_desktop);
    QSignalSpy spy(&dialog, &SelIconDialog::ApplyChosenIcon);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    MakeCurrent(dialog, 12);
    QPushButton* focused = Button(dialog, qPrintable(button));
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), applied);
    QVERIFY(!dialog.isVisible());
  }

  // "Eigenes Bild ...": a usable picture closes the dialog with its icon file; a cancelled file
  // dialog or a bad file (after its message) leaves the dialog open.
  void OwnImage_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("message");
    QTest::newRow("picture") << "logo.png" << true << "";
    QTest::newRow("file dialog cancelled") << "" << false << "";
    QTest::newRow("broken picture")
        << "broken.png" << false << "Das Bild in der Datei \"%1\" ist beschädigt";
  }
  void OwnImage() {
    QFETCH(QString, file);
    QFETCH(bool, closes);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QImage logo(64, 32, QImage::Format_ARGB32);
    logo.fill(QColor(0, 0, 255, 128));
    QVERIFY(logo.save(folder.filePath("logo.png")));
    QFile broken(folder.filePath("broken.png"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\nnot really");
    broken.close();
    const QString path = file.isEmpty() ? QString() : folder.filePath(file);
    m_desktop.imageFile = path.toStdString();
    const std::vector<Message>& shown = m_desktop.messages;
    bool stayedOpen = false;
    const PreviewIcon icon = ChooseIconWith([&stayedOpen](SelIconDialog& d) {
      Button(d, "Btn2")->click();
      stayedOpen = d.isVisible();
      if (stayedOpen) {
        Button(d, "Btn1")->click();
      }
    });
    QCOMPARE(m_desktop.imageDialogs, 1);
    QCOMPARE(stayedOpen, !closes);
    if (closes) {
      const auto directory = ReadIcoDirectory(icon.bytes);
      QVERIFY(directory);
      QCOMPARE(directory->size(), std::size(kIconSizes));
      QCOMPARE(DecodeIconImage(icon.bytes, 32).pixelColor(16, 16), QColor(0, 0, 255, 128));
      // The picture goes along, for the modern set.
      QFile picture(path);
      QVERIFY(picture.open(QIODevice::ReadOnly));
      QCOMPARE(icon.picture, picture.readAll().toStdString());
      QCOMPARE(icon.pictureName, path.toStdString());
    } else {
      QCOMPARE(icon.bytes, std::string());
    }
    if (message.isEmpty()) {
      QCOMPARE(shown.size(), std::size_t{0});
    } else {
      QCOMPARE(shown.size(), std::size_t{1});
      QVERIFY2(QString::fromStdString(shown[0].text).startsWith(message.arg(path)),
               shown[0].text.c_str());
      QCOMPARE(shown[0].icon, MessageIcon::Critical);
      QCOMPARE(shown[0].buttons, MessageButtons::Ok);
    }
  }

  void DecodingPicksTheRightImage() {
    // Entry 85 holds a monochrome image first; the colour image must be the one shown.
    const QImage colour = DecodeIconImage(IconFile(85), 32);
    QCOMPARE(colour.size(), QSize(32, 32));
    bool coloured = false;
    for (int y = 0; y < 32 && !coloured; ++y) {
      for (int x = 0; x < 32 && !coloured; ++x) {
        const QColor c = colour.pixelColor(x, y);
        coloured = c.alpha() > 0 && (c.red() != c.green() || c.green() != c.blue());
      }
    }
    QVERIFY(coloured);
    QCOMPARE(DecodeIconImage(IconFile(300), 16).size(), QSize(16, 16));
    QCOMPARE(DecodeIconImage(IconFile(56), 16).size(), QSize(32, 32));  // has no small image
    QCOMPARE(DecodeIconImage(DefaultIconFile(), 32).size(), QSize(32, 32));
  }

  void DecodingSurvivesBadBytes() {
    QVERIFY(DecodeIconImage("", 32).isNull());
    QVERIFY(DecodeIconImage("not a picture at all", 32).isNull());
    const std::string_view entry = IconFile(1);
    for (std::size_t cut : {std::size_t{5}, std::size_t{21}, std::size_t{60}, entry.size() / 2}) {
      (void)DecodeIconImage(entry.substr(0, cut), 32);  // must not crash
    }
    std::string lying(entry);
    lying[4] = static_cast<char>(200);  // more directory entries than bytes
    (void)DecodeIconImage(lying, 32);
    // A PNG stored under an icon name still shows.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(20, 20, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    picture.save(&buffer, "PNG");
    QCOMPARE(DecodeIconImage(std::string_view(png.constData(), png.size()), 32).size(),
             QSize(20, 20));
  }

 private:
  testing::ScriptedDesktop m_desktop;
};

}  // namespace tervando

QTEST_MAIN(tervando::SelIconDialogTest)
#include "sel_icon_dialog_test.moc"
