#include "app/form1.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/app_settings.h"
#include "app/show_once_notice.h"
#include "engine/head_editor.h"
#include "engine/internal_error.h"
#include "engine/messages_window.h"
#include "icons/sel_icon_dialog.h"
#include "site/options.h"
#include "support/expand_escapes.h"
#include "support/form_scaler.h"
#include "support/info_form_freeware.h"
#include "support/open_with_shell.h"
#include "support_gui/isolated_qt_test.h"
#include "support_gui/scripted_desktop.h"

namespace tervando {

namespace {

// What the window looked like at the moment a message came up.
struct SeenMessage {
  Message message;
  bool windowVisible = false;
};

QString CountPanelText(Form1& form) {
  const auto labels = form.findChild<QStatusBar*>("Status")->findChildren<QLabel*>();
  return labels.size() >= 2 ? labels[0]->text() : QString();
}

QString TextPanelText(Form1& form) {
  const auto labels = form.findChild<QStatusBar*>("Status")->findChildren<QLabel*>();
  return labels.size() >= 2 ? labels[1]->text() : QString();
}

std::vector<std::string> Rows(Form1& form) {
  std::vector<std::string> rows;
  for (int row = 1; row <= form.RowCount(); ++row) rows.push_back(form.RowText(row));
  return rows;
}

// The face the window was drawn for; at it the window keeps its drawn size and places.
QFont DrawnFace() {
  QFont face = QApplication::font();
  face.setPointSize(8);
  face.setStretch(QFont::SemiCondensed);
  return face;
}

QRect OnWindow(QWidget& window, const char* name) {
  auto* control = window.findChild<QWidget*>(name);
  return control ? QRect(control->mapTo(&window, QPoint()), control->size()) : QRect();
}

// Where a control's caption ends, in the control's own coordinates, and whether it fits its
// room and is not covered by a control stacked above.
QString CutCaption(QWidget& control) {
  const QRect room = CaptionRoom(control);
  QString text;
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) text = button->text();
  if (auto* frame = qobject_cast<QGroupBox*>(&control)) text = frame->title();
  auto* label = qobject_cast<QLabel*>(&control);
  if (label) text = label->text();
  if (text.isEmpty() || !control.isVisibleTo(control.window())) return {};
  const QFontMetrics metrics(control.font());
  QSize needed = metrics.size(Qt::TextShowMnemonic, text);
  if (label && label->wordWrap()) {
    needed =
        metrics.boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, text).size();
  }
  if (needed.width() > room.width() || needed.height() > room.height()) {
    return QStringLiteral("%1 needs %2x%3, has %4x%5")
        .arg(control.objectName())
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
  }
  const QPoint end(room.left() + needed.width() - 1, room.center().y());
  QWidget* parent = control.parentWidget();
  QWidget* hit = parent ? parent->childAt(control.mapTo(parent, end)) : &control;
  if (hit && hit != &control && !control.isAncestorOf(hit)) {
    return control.objectName() + QStringLiteral(" is covered by ") + hit->objectName();
  }
  return {};
}

// How far a control laid out at the drawn face may lie from its drawn place, in pixels.
constexpr int kDrawnTolerance = 4;

// Room a screen keeps for the window's title bar, in logical pixels.
constexpr int kTitleBar = 16;

// The desktop's font at a size while it lives; the drawn face again after.
class DesktopFont {
 public:
  explicit DesktopFont(int points) {
    QFont font = QApplication::font();
    font.setPointSize(points);
    font.setStretch(QFont::Unstretched);
    QApplication::setFont(font);
  }
  ~DesktopFont() { QApplication::setFont(DrawnFace()); }
  DesktopFont(const DesktopFont&) = delete;
  DesktopFont& operator=(const DesktopFont&) = delete;
};

std::vector<bool> Marks(Form1& form) {
  std::vector<bool> marks;
  for (int row = 1; row <= form.RowCount(); ++row) marks.push_back(form.RowMarked(row));
  return marks;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setFont(DrawnFace()); }

  void init() {
    m_messages.clear();
    m_desktop = testing::ScriptedDesktop();
    SaveAppSetting(kShowOnceKey, "2.1.202");  // most tests start after the notice was seen
    m_desktop.onMessage = [this](const Message& message) {
      m_messages.push_back({message, m_form && m_form->isVisible()});
    };
    m_form = std::make_unique<Form1>(m_desktop, m_log);
  }

  void cleanup() {
    m_form.reset();
    if (InfoFormFreeware* open = InfoFormFreeware::OpenInstance()) delete open;
  }

  void startUpSetsCaptionListOptionsPrefixThenShowsNotice() {
    SaveAppSetting(kShowOnceKey, "");
    Form1& form = *m_form;
    form.FormLoad();
    QVERIFY(form.isVisible());
    QCOMPARE(form.windowTitle(), QStringLiteral("Tervando"));
    QCOMPARE(form.findChild<QLabel*>("LocalWebRootLBL")->text(),
             QStringLiteral("(Bitte Pfad angeben ...)"));
    QCOMPARE(CountPanelText(form), QStringLiteral("0 Dateien"));
    QCOMPARE(TextPanelText(form), QString());
    QCOMPARE(form.RowCount(), 0);
    QCOMPARE(form.LoadedOptions().pageExtensions,
             (std::vector<std::string>{".htm", ".html", ".shtml", ".asp"}));
    const std::string prefix = kFaviconLinkPrefix;
    QCOMPARE(prefix, std::string("<link rel=\"SHORTCUT ICON\" href="));
    QCOMPARE(prefix.size(), size_t{31});
    QVERIFY(!form.findChild<QPushButton*>("Btn_8")->isEnabled());
    QVERIFY(!form.findChild<QPushButton*>("Btn_11")->isEnabled());
    QVERIFY(form.findChild<QRadioButton*>("SetUnsetFaviconOPT_0")->isChecked());
    QVERIFY(form.findChild<QGroupBox*>("FaviconSelFrame")->isEnabled());
    QVERIFY(form.findChild<QLabel*>("IconPreviewImg")->pixmap().isNull());

    QVERIFY(m_messages.empty());  // the notice waits until the window is on screen
    QTRY_COMPARE(m_messages.size(), size_t{1});
    QVERIFY(m_messages[0].windowVisible);
    QCOMPARE(m_messages[0].message.icon, MessageIcon::Exclamation);
    QCOMPARE(m_messages[0].message.buttons, MessageButtons::Ok);
    QCOMPARE(m_messages[0].message.text, ExpandEscapes(kShowOnceNoticeText));
    QCOMPARE(GetAppSetting(kShowOnceKey), std::string("2.1.202"));
  }

  void noticeTextIsExpandedWithCarriageReturns() {
    const std::string text = ExpandEscapes(kShowOnceNoticeText);
    QVERIFY(text.rfind("BITTE UNBEDINGT LESEN - dieser Dialog erscheint nur ein einziges Mal!\r\r"
                       "Dieses Programm wurde",
                       0) == 0);
    QVERIFY(text.find("\n") == std::string::npos);
    QVERIFY(text.find("KEINE UnDo-Funktion.\r\rEventuelle Fragen") != std::string::npos);
    const std::string ending = "unter der E-Mail-Adresse support@orvatek.example gerne angenommen.";
    QCOMPARE(text.substr(text.size() - ending.size()), ending);
  }

  void noticeShowsOncePerVersion_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("first start") << "" << 1;
    QTest::newRow("same version") << "2.1.202" << 0;
    QTest::newRow("older version") << "2.0.150" << 1;
    QTest::newRow("other case") << "2.1.202 " << 1;
  }
  void noticeShowsOncePerVersion() {
    QFETCH(QString, stored);
    QFETCH(int, shown);
    SaveAppSetting(kShowOnceKey, stored.toStdString());
    m_form->FormLoad();
    QTest::qWait(20);
    QCOMPARE(static_cast<int>(m_messages.size()), shown);
    QCOMPARE(GetAppSetting(kShowOnceKey), std::string("2.1.202"));
    // The next start of the same version stays quiet.
    m_messages.clear();
    ShowOnceNotice(m_desktop);
    QVERIFY(m_messages.empty());
  }

  void windowGrowsTheListTakesTheRoomAndTheSizeIsKept() {
    Form1& form = *m_form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(608, 462));
    QVERIFY(form.minimumWidth() < 608 && form.minimumHeight() < 462);  // the list may shrink
    QVERIFY(form.maximumSize().width() > 608 && form.maximumSize().height() > 462);
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    const char* names[] = {"Liste",
                           "Btn_4",
                           "Btn_8",
                           "Bar",
                           "Picture1",
                           "LocalWebRootLBL",
                           "Btn_25",
                           "Btn_9",
                           "SetUnsetFaviconOPT_0",
                           "SetUnsetFaviconOPT_1"};
    std::vector<QRect> before;
    for (const char* name : names) before.push_back(OnWindow(form, name));
    form.resize(708, 532);
    // The list takes the room (the picture column may take a pixel of it), the controls at the
    // right edge go with it, and rows of buttons and options stay together.
    const QRect list = OnWindow(form, "Liste");
    QCOMPARE(list.topLeft(), before[0].topLeft() + QPoint(list.x() - before[0].x(), 0));
    QVERIFY(list.width() >= before[0].width() + 99 && list.right() == before[0].right() + 100);
    QCOMPARE(list.height(), before[0].height() + 70);
    QCOMPARE(OnWindow(form, "Btn_4"), before[1].translated(100, 0));
    QCOMPARE(OnWindow(form, "Btn_8"), before[2].translated(100, 70));
    QCOMPARE(OnWindow(form, "Bar").bottomRight(), before[3].bottomRight() + QPoint(100, 70));
    QVERIFY(OnWindow(form, "Bar").width() >= before[3].width() + 99);
    QVERIFY(OnWindow(form, "Picture1").width() - before[4].width() <= 1);
    QCOMPARE(OnWindow(form, "LocalWebRootLBL").right(), before[5].right() + 100);
    QCOMPARE(OnWindow(form, "Btn_25"), before[6].translated(100, 70));
    QCOMPARE(OnWindow(form, "Btn_9"), before[7].translated(100, 70));
    QCOMPARE(OnWindow(form, "SetUnsetFaviconOPT_1").left() -
                 OnWindow(form, "SetUnsetFaviconOPT_0").right(),
             before[9].left() - before[8].right());
    form.close();
    Form1 next(m_desktop, m_log);
    next.FormLoad();
    QCOMPARE(next.size(), QSize(708, 532));
  }

  // With the desktop's font at these sizes no caption of any window is wider or taller than
  // its room, nor hidden under another control, and no two controls side by side touch.
  void noCaptionIsCut_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("points");
    for (const char* window : {"Form1", "SelIconDialog", "InfoFormFreeware"}) {
      for (int points : {8, 10, 11, 14}) {
        const QString name = QStringLiteral("%1 %2 pt").arg(QLatin1String(window)).arg(points);
        QTest::newRow(qPrintable(name)) << QString::fromLatin1(window) << points;
      }
    }
  }
  void noCaptionIsCut() {
    QFETCH(QString, window);
    QFETCH(int, points);
    const DesktopFont desktopFont(points);
    std::unique_ptr<QWidget> shown;
    if (window == QLatin1String("Form1")) {
      shown = std::make_unique<Form1>(m_desktop, m_log);
    } else if (window == QLatin1String("SelIconDialog")) {
      shown = std::make_unique<SelIconDialog>(m_desktop);
    } else {
      shown = std::make_unique<InfoFormFreeware>(m_desktop, QSize(1024, 768));
    }
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    QStringList cut;
    for (QWidget* control : shown->findChildren<QWidget*>()) {
      if (const QString why = CutCaption(*control); !why.isEmpty()) cut << why;
      for (QWidget* other : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        for (QWidget* beside : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          if (other < beside && other->isVisible() && beside->isVisible() &&
              !other->objectName().isEmpty() && !beside->objectName().isEmpty() &&
              other->geometry().intersects(beside->geometry())) {
            cut << other->objectName() + " touches " + beside->objectName();
          }
        }
      }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
  }

  // The window fits the screen with the desktop's font at the scale the screen needs: the list
  // gives up its height, nothing else goes off-screen (the screen's size in pixels; room for the
  // window's title bar).
  void windowFitsTheScreen_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("screen");
    for (int points : {8, 10, 11, 14}) {
      QTest::newRow(qPrintable(QStringLiteral("%1 pt, 1366x768").arg(points)))
          << points << 1.0 << QSize(1366, 768);
    }
    for (int points : {8, 10, 11}) {
      QTest::newRow(qPrintable(QStringLiteral("%1 pt, 150 %, 1366x768").arg(points)))
          << points << 1.5 << QSize(1366, 768);
    }
    for (int points : {8, 10}) {
      QTest::newRow(qPrintable(QStringLiteral("%1 pt, 200 %, 1280x720").arg(points)))
          << points << 2.0 << QSize(1280, 720);
    }
  }
  void windowFitsTheScreen() {
    QFETCH(int, points);
    QFETCH(double, scale);
    QFETCH(QSize, screen);
    const DesktopFont desktopFont(points);
    Form1 form(m_desktop, m_log);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize logical(static_cast<int>(screen.width() / scale),
                        static_cast<int>(screen.height() / scale) - kTitleBar);
    QVERIFY2(
        form.minimumSize().width() <= logical.width() &&
            form.minimumSize().height() <= logical.height(),
        qPrintable(QStringLiteral("%1x%2").arg(form.minimumWidth()).arg(form.minimumHeight())));
    form.resize(form.minimumSize());
    QVERIFY(form.findChild<QWidget*>("Liste")->height() >= 2 * form.fontMetrics().height());
    QCOMPARE(form.findChild<QWidget*>("Status")->geometry().bottom(), form.height() - 1);
  }

  void controlsSitWhereTheTableSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");
    // twips / 15, relative to the container
    QTest::newRow("FaviconSelFrame") << "FaviconSelFrame"
                                     << "Form1" << QRect(456, 336, 145, 47);
    QTest::newRow("Btn_11") << "Btn_11"
                            << "FaviconSelFrame" << QRect(78, 18, 27, 21);
    QTest::newRow("Btn_7") << "Btn_7"
                           << "FaviconSelFrame" << QRect(10, 18, 65, 21);
    QTest::newRow("IconPreviewImg") << "IconPreviewImg"
                                    << "FaviconSelFrame" << QRect(110, 18, 21, 21);
    QTest::newRow("Picture1") << "Picture1"
                              << "Form1" << QRect(6, 6, 121, 325);
    QTest::newRow("Frame4") << "Frame4"
                            << "Form1" << QRect(134, 336, 317, 47);
    QTest::newRow("FaviconSetFrame") << "FaviconSetFrame"
                                     << "Form1" << QRect(134, 284, 467, 47);
    QTest::newRow("FaviconSetOPT_0") << "FaviconSetOPT_0"
                                     << "FaviconSetFrame" << QRect(14, 20, 124, 17);
    QTest::newRow("FaviconSetOPT_1") << "FaviconSetOPT_1"
                                     << "FaviconSetFrame" << QRect(142, 20, 62, 17);
    QTest::newRow("ForeignIconsCHK") << "ForeignIconsCHK"
                                     << "FaviconSetFrame" << QRect(210, 20, 248, 17);
    QTest::newRow("OPT_1") << "SetUnsetFaviconOPT_1"
                           << "Frame4" << QRect(242, 20, 63, 17);
    QTest::newRow("OPT_0") << "SetUnsetFaviconOPT_0"
                           << "Frame4" << QRect(108, 20, 143, 17);
    QTest::newRow("Label1") << "Label1"
                            << "Frame4" << QRect(14, 20, 94, 15);
    QTest::newRow("Frame2") << "Frame2"
                            << "Form1" << QRect(134, 388, 467, 51);
    QTest::newRow("Btn_25") << "Btn_25"
                            << "Frame2" << QRect(228, 18, 55, 25);
    QTest::newRow("Btn_8") << "Btn_8"
                           << "Frame2" << QRect(402, 18, 53, 25);
    QTest::newRow("Btn_9") << "Btn_9"
                           << "Frame2" << QRect(344, 18, 55, 25);
    QTest::newRow("Btn_10") << "Btn_10"
                            << "Frame2" << QRect(286, 18, 55, 25);
    QTest::newRow("Bar") << "Bar"
                         << "Frame2" << QRect(10, 18, 205, 25);
    QTest::newRow("Frame1") << "Frame1"
                            << "Form1" << QRect(133, 6, 468, 274);
    QTest::newRow("Btn_6") << "Btn_6"
                           << "Frame1" << QRect(234, 242, 221, 23);
    QTest::newRow("Btn_5") << "Btn_5"
                           << "Frame1" << QRect(10, 242, 221, 23);
    QTest::newRow("Btn_4") << "Btn_4"
                           << "Frame1" << QRect(414, 26, 43, 21);
    QTest::newRow("Btn_3") << "Btn_3"
                           << "Frame1" << QRect(122, 214, 109, 23);
    QTest::newRow("Btn_2") << "Btn_2"
                           << "Frame1" << QRect(234, 214, 109, 23);
    QTest::newRow("Btn_1") << "Btn_1"
                           << "Frame1" << QRect(10, 214, 109, 23);
    QTest::newRow("Btn_0") << "Btn_0"
                           << "Frame1" << QRect(346, 214, 109, 23);
    QTest::newRow("Liste") << "Liste"
                           << "Frame1" << QRect(10, 58, 447, 151);
    QTest::newRow("LocalWebRootLBL") << "LocalWebRootLBL"
                                     << "Frame1" << QRect(12, 26, 399, 21);
    QTest::newRow("Status") << "Status"
                            << "Form1" << QRect(0, 445, 608, 17);
    QTest::newRow("Image2") << "Image2"
                            << "Form1" << QRect(7, 393, 118, 46);
  }
  // Laid out at the drawn face, each control lies where it was drawn, give or take the few
  // pixels the style's frames and titles take.
  void controlsSitWhereTheTableSays() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    auto* widget = m_form->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    const QRect placed = widget->geometry();
    const int off = std::max({std::abs(placed.left() - geometry.left()),
                              std::abs(placed.top() - geometry.top()),
                              std::abs(placed.right() - geometry.right()),
                              std::abs(placed.bottom() - geometry.bottom())});
    QVERIFY2(off <= kDrawnTolerance, qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                    .arg(placed.x())
                                                    .arg(placed.y())
                                                    .arg(placed.width())
                                                    .arg(placed.height())));
  }

  void captionsAndTooltips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("FaviconSelFrame") << "FaviconSelFrame"
                                     << "Favicon";
    QTest::newRow("Frame4") << "Frame4"
                            << "Wie sollen die markierten [v] Dateien bearbeitet werden?";
    QTest::newRow("Frame2") << "Frame2"
                            << "Steuerung";
    QTest::newRow("Frame1") << "Frame1"
                            << "Vorgaben";
    QTest::newRow("OPT_1") << "SetUnsetFaviconOPT_1"
                           << "lös&chen";
    QTest::newRow("OPT_0") << "SetUnsetFaviconOPT_0"
                           << "einse&tzen / auffrischen";
    QTest::newRow("Label1") << "Label1"
                            << "Favicon-Verweise";
    QTest::newRow("Btn_0") << "Btn_0"
                           << "Liste l&öschen";
    QTest::newRow("Btn_1") << "Btn_1"
                           << "&Alle auswählen";
    QTest::newRow("Btn_2") << "Btn_2"
                           << "Auswahl &löschen";
    QTest::newRow("Btn_3") << "Btn_3"
                           << "Auswahl &umkehren";
    QTest::newRow("Btn_4") << "Btn_4"
                           << "&Pfad";
    QTest::newRow("Btn_5") << "Btn_5"
                           << "Auswahl als &Markierung übernehmen";
    QTest::newRow("Btn_6") << "Btn_6"
                           << "Auswahl auf Mar&kierung anwenden";
    QTest::newRow("Btn_7") << "Btn_7"
                           << "&Wählen ...";
    QTest::newRow("Btn_8") << "Btn_8"
                           << "&Start";
    QTest::newRow("Btn_9") << "Btn_9"
                           << "&Ende";
    QTest::newRow("Btn_10") << "Btn_10"
                            << "&Hilfe";
    QTest::newRow("Btn_11") << "Btn_11"
                            << "";
    QTest::newRow("Btn_25") << "Btn_25"
                            << "&Info";
    QTest::newRow("FaviconSetOPT_0") << "FaviconSetOPT_0"
                                     << "klassisch (ein &Verweis)";
    QTest::newRow("FaviconSetOPT_1") << "FaviconSetOPT_1"
                                     << "m&odern";
    QTest::newRow("ForeignIconsCHK") << "ForeignIconsCHK"
                                     << "F&remde Icon-Verweise stilllegen";
  }
  void captionsAndTooltips() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QObject* control = m_form->findChild<QObject*>(name);
    QVERIFY(control);
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
      QCOMPARE(frame->title(), caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      QCOMPARE(button->text(), caption);
    } else {
      QCOMPARE(qobject_cast<QLabel*>(control)->text(), caption);
    }
  }

  // Each Alt key reaches one control: a letter shared by two would only move the focus.
  void everyMnemonicIsUnique() {
    QMap<QChar, QString> owners;
    QStringList clashes;
    for (QWidget* control : m_form->findChildren<QWidget*>()) {
      QString text;
      if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
      if (auto* frame = qobject_cast<QGroupBox*>(control)) text = frame->title();
      const qsizetype at = text.indexOf(QLatin1Char('&'));
      if (at < 0 || at + 1 >= text.size()) continue;
      const QChar key = text[at + 1].toLower();
      if (owners.contains(key)) clashes << owners[key] + "/" + control->objectName();
      owners[key] = control->objectName();
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral(", "))));
    QCOMPARE(owners.size(), 18);
  }

  void tooltipsFontsAndList() {
    QCOMPARE(m_form->findChild<QWidget*>("Btn_11")->toolTip(),
             QStringLiteral("Aktuelles Favicon im oben eingestellten Pfad"));
    QCOMPARE(m_form->findChild<QWidget*>("IconPreviewImg")->toolTip(),
             QStringLiteral("Dies ist das zurzeit festgelegte Icon. Die Anzeige kann von der "
                            "tatsächlichen Größe abweichen."));
    QCOMPARE(m_form->findChild<QWidget*>("Image2")->toolTip(),
             QStringLiteral("Klicken Sie hier, um noch mehr interessante Orvatek-Programme "
                            "kennenzulernen ..."));
    QVERIFY(m_form->findChild<QWidget*>("Btn_8")->font().bold());
    QVERIFY(!m_form->findChild<QWidget*>("Btn_9")->font().bold());
    auto* list = m_form->findChild<QTreeView*>("Liste");
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The column fills the list; a long path loses its middle and is whole in the tooltip.
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(list->header()->sectionSize(0), list->viewport()->width());
    QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
    const std::string path = "/srv/" + std::string(300, 'x') + "/seite.htm";
    Fill({path});
    QCOMPARE(list->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
             QString::fromStdString(path));
    QCOMPARE(list->accessibleName(), QStringLiteral("Gefundene Web-Seiten"));
    QCOMPARE(m_form->findChild<QWidget*>("Bar")->accessibleName(), QStringLiteral("Fortschritt"));
    for (const char* picture : {"Picture1", "Image2"}) {
      QVERIFY(!m_form->findChild<QWidget*>(picture)->accessibleName().isEmpty());
    }
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Gefundene Web-Seiten"));
  }

  void tabOrderFollowsTheTable() {
    const QStringList expected = {"Btn_4",
                                  "Liste",
                                  "Btn_1",
                                  "Btn_3",
                                  "Btn_2",
                                  "Btn_0",
                                  "Btn_5",
                                  "Btn_6",
                                  "SetUnsetFaviconOPT_0",
                                  "SetUnsetFaviconOPT_1",
                                  "Btn_7",
                                  "Btn_11",
                                  "Btn_25",
                                  "Btn_10",
                                  "Btn_9",
                                  "Btn_8"};
    QStringList chain;
    QWidget* widget = m_form->findChild<QWidget*>("Btn_4");
    for (int steps = 0; steps < 200 && chain.size() < expected.size(); ++steps) {
      if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName())) {
        chain << widget->objectName();
      }
      widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
  }

  // Space right after start acts on "&Pfad", not on "&Info".
  void startFocusIsOnPfad() {
    m_form->FormLoad();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QCOMPARE(QApplication::focusWidget(), m_form->findChild<QWidget*>("Btn_4"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(m_desktop.folderPrompts.size(), size_t{1});
    QVERIFY(!InfoFormFreeware::OpenInstance());
  }

  void listeSelectChangesSelectionOrMarks() {
    Fill({"/w/1.htm", "/w/2.htm", "/w/3.htm", "/w/4.htm"});
    m_form->PageList().SetMarked(1, false);
    SelectRows({0, 2});

    m_form->ListeSelect(101);  // marks := selection
    QCOMPARE(Marks(*m_form), (std::vector<bool>{true, false, true, false}));
    QCOMPARE(SelectedRows(), (std::vector<int>{0, 2}));

    m_form->ListeSelect(102);  // selected rows toggle their marks
    QCOMPARE(Marks(*m_form), (std::vector<bool>{false, false, false, false}));
    m_form->PageList().SetMarked(1, true);
    m_form->ListeSelect(102);
    m_form->ListeSelect(102);
    QCOMPARE(Marks(*m_form), (std::vector<bool>{false, true, false, false}));

    m_form->ListeSelect(2);  // invert
    QCOMPARE(SelectedRows(), (std::vector<int>{1, 3}));
    m_form->ListeSelect(2);
    QCOMPARE(SelectedRows(), (std::vector<int>{0, 2}));
    m_form->ListeSelect(0);
    QCOMPARE(SelectedRows(), (std::vector<int>{}));
    QCOMPARE(Marks(*m_form), (std::vector<bool>{false, true, false, false}));
    m_form->ListeSelect(1);
    QCOMPARE(SelectedRows(), (std::vector<int>{0, 1, 2, 3}));
    m_form->ListeSelect(101);
    QCOMPARE(Marks(*m_form), (std::vector<bool>{true, true, true, true}));
    QVERIFY(m_messages.empty());
  }

  void unknownModeSaysSoOnceAndChangesNothing() {
    m_form->ListeSelect(5);  // empty list: no item is visited, no message
    QVERIFY(m_messages.empty());
    Fill({"/w/1.htm", "/w/2.htm", "/w/3.htm"});
    SelectRows({1});
    m_form->PageList().SetMarked(0, false);
    m_form->ListeSelect(5);
    QCOMPARE(m_messages.size(), size_t{1});
    QCOMPARE(m_messages[0].message.text, std::string("Unknown Mode 5 in ListeSelect(Mode)"));
    QCOMPARE(m_messages[0].message.icon, MessageIcon::Critical);
    QCOMPARE(m_messages[0].message.buttons, MessageButtons::Ok);
    QCOMPARE(SelectedRows(), (std::vector<int>{1}));
    QCOMPARE(Marks(*m_form), (std::vector<bool>{false, true, true}));
  }

  // The engine's internal errors end the program after a plain box of the window's desktop
  // (OK only, no icon), not silently on a terminal the user may not have.
  void internalErrorShowsAPlainBoxThenEnds() {
    int seen[2];
    QVERIFY(pipe(seen) == 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
      m_desktop.onMessage = [&seen](const Message& message) {
        const bool plain =
            message.icon == MessageIcon::None && message.buttons == MessageButtons::Ok;
        const std::string report = message.text + (plain ? " (plain)" : " (other)");
        (void)!write(seen[1], report.data(), report.size());
      };
      EndWithInternalError("SplitUnsplitHtmlString: Unknown Mode 3");
    }
    close(seen[1]);
    char report[128] = {};
    const ssize_t length = read(seen[0], report, sizeof report - 1);
    close(seen[0]);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(length > 0);
    QCOMPARE(std::string(report), std::string("SplitUnsplitHtmlString: Unknown Mode 3 (plain)"));
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == EXIT_FAILURE);
  }

  void listButtonsDispatchAndGiveTheListFocus_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<bool>>("marks");
    // start: rows 0 and 2 selected, every row marked
    QTest::newRow("Btn_1 select all") << "Btn_1" << QList<int>{0, 1, 2} << QList<bool>{1, 1, 1};
    QTest::newRow("Btn_2 deselect") << "Btn_2" << QList<int>{} << QList<bool>{1, 1, 1};
    QTest::newRow("Btn_3 invert") << "Btn_3" << QList<int>{1} << QList<bool>{1, 1, 1};
    QTest::newRow("Btn_5 take over") << "Btn_5" << QList<int>{0, 2} << QList<bool>{1, 0, 1};
    QTest::newRow("Btn_6 apply") << "Btn_6" << QList<int>{0, 2} << QList<bool>{0, 1, 0};
  }
  void listButtonsDispatchAndGiveTheListFocus() {
    QFETCH(QString, button);
    QFETCH(QList<int>, selected);
    QFETCH(QList<bool>, marks);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    Fill({"/w/1.htm", "/w/2.htm", "/w/3.htm"});
    SelectRows({0, 2});
    m_form->findChild<QWidget*>("Btn_4")->setFocus();
    QTest::mouseClick(m_form->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(SelectedRows(), std::vector<int>(selected.begin(), selected.end()));
    QCOMPARE(Marks(*m_form), std::vector<bool>(marks.begin(), marks.end()));
    QVERIFY(m_form->findChild<QTreeView*>("Liste")->hasFocus());
  }

  // F1 opens the help page, Esc cancels the icon dialog and closes Info; a page the editor
  // or a help page the browser can't open is said in a box naming it.
  void keysReachHelpAndDialogsAndFailuresAreSaid() {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form.get(), Qt::Key_F1);
    QCOMPARE(m_shellCalls.size() + m_messages.size(), size_t{1});

    m_form->ApplyChosenIcon(5);
    const std::string icon = m_form->State().preview.bytes;
    bool escaped = false;
    QTimer::singleShot(0, this, [&escaped] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog);
      QTest::keyClick(dialog, Qt::Key_Escape);
      escaped = !dialog->isVisible();
    });
    QTest::keyClick(m_form->findChild<QPushButton*>("Btn_7"), Qt::Key_Space);
    QVERIFY(escaped);
    QCOMPARE(m_form->State().preview.bytes, icon);

    QTest::keyClick(m_form->findChild<QPushButton*>("Btn_25"), Qt::Key_Space);
    QPointer<InfoFormFreeware> info = InfoFormFreeware::OpenInstance();
    QVERIFY(info && info->isVisible());
    QTest::keyClick(info->findChild<QPushButton*>("Btn_1"), Qt::Key_Escape);
    QTRY_VERIFY(info.isNull());

    m_messages.clear();
    m_desktop.editorWorks = false;
    Fill({"/w/1.htm"});
    m_form->findChild<QTreeView*>("Liste")->setCurrentIndex(m_form->PageList().index(0, 0));
    m_form->ListeDblClick();
    m_desktop.browserWorks = false;
    QTest::mouseClick(m_form->findChild<QLabel*>("Image2"), Qt::LeftButton);
    QCOMPARE(m_messages.size(), size_t{2});
    QVERIFY(m_messages[0].message.text.find("/w/1.htm") != std::string::npos);
    QVERIFY(m_messages[1].message.text.find("www.orvatek.example") != std::string::npos);
    for (const SeenMessage& seen : m_messages) {
      QCOMPARE(seen.message.icon, MessageIcon::Critical);
    }
  }

  void enterPressesTheFocusedButton() {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    Fill({"/w/1.htm", "/w/2.htm"});
    auto* selectAll = m_form->findChild<QPushButton*>("Btn_1");
    selectAll->setFocus();
    QTest::keyClick(selectAll, Qt::Key_Return);
    QCOMPARE(SelectedRows(), (std::vector<int>{0, 1}));
  }

  void resetEmptiesListButKeepsStatusTextAndStart() {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    Fill({"/w/1.htm", "/w/2.htm"});
    m_form->ShowStatus({StatusKind::kFillDone, {}, 0});
    m_form->SetStatusCount(2);
    m_form->findChild<QLabel*>("LocalWebRootLBL")->setText("/w/");
    m_form->findChild<QPushButton*>("Btn_8")->setEnabled(true);
    m_form->findChild<QWidget*>("Btn_4")->setFocus();
    QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_0"), Qt::LeftButton);
    QCOMPARE(m_form->RowCount(), 0);
    QCOMPARE(CountPanelText(*m_form), QStringLiteral("0 Dateien"));
    QCOMPARE(TextPanelText(*m_form), QStringLiteral("Eintragung beendet"));
    QCOMPARE(m_form->findChild<QLabel*>("LocalWebRootLBL")->text(),
             QStringLiteral("(Bitte Pfad angeben ...)"));
    QVERIFY(m_form->findChild<QPushButton*>("Btn_8")->isEnabled());
    QVERIFY(m_form->findChild<QTreeView*>("Liste")->hasFocus());
  }

  void statusCountAlwaysSaysDateien_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0 Dateien";
    QTest::newRow("1") << 1 << "1 Dateien";
    QTest::newRow("32767") << 32767 << "32767 Dateien";
    QTest::newRow("100000") << 100000 << "100000 Dateien";
  }
  void statusCountAlwaysSaysDateien() {
    QFETCH(int, count);
    QFETCH(QString, text);
    m_form->SetStatusCount(count);
    QCOMPARE(CountPanelText(*m_form), text);
  }

  void headerClicksSortAscendingThenToggle() {
    m_form->show();
    Fill({"/w/b.htm", "/w/c.htm", "/w/a.htm"});  // the fill leaves them ascending
    auto* header = m_form->findChild<QTreeView*>("Liste")->header();
    QCOMPARE(m_form->LastSortColumn(), 0);
    QVERIFY(header->isSortIndicatorShown());  // the fill sorts: the arrow says how
    ClickHeader(header);
    QCOMPARE(m_form->LastSortColumn(), 1);
    QCOMPARE(Rows(*m_form), (std::vector<std::string>{"/w/a.htm", "/w/b.htm", "/w/c.htm"}));
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(header);
    QCOMPARE(Rows(*m_form), (std::vector<std::string>{"/w/c.htm", "/w/b.htm", "/w/a.htm"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(header);
    QCOMPARE(Rows(*m_form), (std::vector<std::string>{"/w/a.htm", "/w/b.htm", "/w/c.htm"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(m_form->LastSortColumn(), 1);
  }

  void descendingOrderStaysForTheNextFill() {
    m_form->show();
    Fill({"/w/b.htm", "/w/a.htm"});
    auto* header = m_form->findChild<QTreeView*>("Liste")->header();
    ClickHeader(header);
    ClickHeader(header);  // descending
    Fill({"/w/c.htm", "/w/0.htm"});
    QCOMPARE(Rows(*m_form),
             (std::vector<std::string>{"/w/c.htm", "/w/b.htm", "/w/a.htm", "/w/0.htm"}));
  }

  void doubleClickEditsTheCurrentPage() {
    m_form->ListeDblClick();  // empty list: nothing
    QVERIFY(m_edited.empty());
    Fill({"/w/1.htm", "/w/2.htm", "/w/3.htm"});
    auto* list = m_form->findChild<QTreeView*>("Liste");
    list->setCurrentIndex(list->model()->index(1, 0));
    m_form->ListeDblClick();
    QCOMPARE(m_edited, (std::vector<std::string>{"/w/2.htm"}));
  }

  void modePairEnablesTheFaviconFrame() {
    m_form->show();
    auto* frame = m_form->findChild<QGroupBox*>("FaviconSelFrame");
    auto* remove = m_form->findChild<QRadioButton*>("SetUnsetFaviconOPT_1");
    auto* insert = m_form->findChild<QRadioButton*>("SetUnsetFaviconOPT_0");
    QVERIFY(!m_form->RemoveMode());
    QTest::mouseClick(remove, Qt::LeftButton, {}, QPoint(6, remove->height() / 2));
    QVERIFY(remove->isChecked());
    QVERIFY(m_form->RemoveMode());
    QVERIFY(!frame->isEnabled());
    // the controls inside only follow the frame; their own state is unchanged
    QVERIFY(!m_form->findChild<QWidget*>("Btn_7")->testAttribute(Qt::WA_ForceDisabled));
    QTest::mouseClick(remove, Qt::LeftButton, {}, QPoint(6, remove->height() / 2));
    QVERIFY(!frame->isEnabled());
    QTest::mouseClick(insert, Qt::LeftButton, {}, QPoint(6, insert->height() / 2));
    QVERIFY(frame->isEnabled());
    QVERIFY(!m_form->RemoveMode());

    // Clicked where the user sees them: the round box of each option belongs to that option,
    // though the first option's box reaches into the second's.
    QWidget* options = m_form->findChild<QGroupBox*>("Frame4");
    for (QRadioButton* option : {remove, insert}) {
      const QPoint roundBox = option->geometry().topLeft() + QPoint(6, option->height() / 2);
      QWidget* hit = options->childAt(roundBox);
      QCOMPARE(hit, option);
      QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(options, roundBox));
      QVERIFY(option->isChecked());
    }
  }

  void picturesOpenTheMakerSite() {
    m_form->show();
    QTest::mouseClick(m_form->findChild<QLabel*>("Picture1"), Qt::LeftButton);
    QTest::mouseClick(m_form->findChild<QLabel*>("Image2"), Qt::LeftButton);
    QCOMPARE(m_shellCalls.size(), size_t{2});
    for (const auto& [url, show] : m_shellCalls) {
      QCOMPARE(url, QUrl(QStringLiteral("http://www.orvatek.example")));
      QCOMPARE(show, kShowMaximized);
    }
  }

  void infoOpensOneNonModalAboutDialog() {
    m_form->show();
    QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_25"), Qt::LeftButton);
    InfoFormFreeware* info = InfoFormFreeware::OpenInstance();
    QVERIFY(info);
    QVERIFY(info->isVisible());
    QVERIFY(!info->isModal());
    QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_25"), Qt::LeftButton);
    QCOMPARE(InfoFormFreeware::OpenInstance(), info);
    QVERIFY(m_form->findChild<QPushButton*>("Btn_0")->isEnabled());
  }

  void openAboutDialogKeepsTheProgramRunning() {
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    m_form->show();
    QTest::mouseClick(m_form->findChild<QPushButton*>("Btn_25"), Qt::LeftButton);
    bool runningWithoutMainWindow = false;
    QTimer::singleShot(0, this, [&] {
      m_form->close();
      QTimer::singleShot(50, this, [&] {
        runningWithoutMainWindow = lastClosed.count() == 0;
        InfoFormFreeware::OpenInstance()->close();
      });
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(1); });  // never hang
    QCOMPARE(QApplication::exec(), 0);  // closing the last window ends the event loop
    QVERIFY(runningWithoutMainWindow);
    QCOMPARE(lastClosed.count(), 1);
  }

  void progressBarNeverBecomesABusyIndicator() {
    m_form->SetProgressRange(0, 0);
    auto* bar = m_form->findChild<QProgressBar*>("Bar");
    QVERIFY(bar->maximum() > bar->minimum());
    QCOMPARE(bar->value(), 0);
    m_form->SetProgressRange(0, 10);
    m_form->SetProgressValue(4);
    QCOMPARE(bar->maximum(), 10);
    QCOMPARE(bar->value(), 4);
  }

 private:
  // As the collection fills: sorting off, rows in at the top, sorting on again.
  void Fill(const std::vector<std::string>& paths) {
    m_form->SetSortingEnabled(false);
    for (const std::string& path : paths) m_form->InsertCheckedRowAtTop(path);
    m_form->SetSortingEnabled(true);
  }

  void SelectRows(const std::vector<int>& rows) {
    auto* list = m_form->findChild<QTreeView*>("Liste");
    list->selectionModel()->clearSelection();
    for (int row : rows) {
      list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    }
  }

  std::vector<int> SelectedRows() {
    auto* list = m_form->findChild<QTreeView*>("Liste");
    std::vector<int> rows;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      if (list->selectionModel()->isRowSelected(row)) rows.push_back(row);
    }
    return rows;
  }

  static void ClickHeader(QHeaderView* header) {
    const QPoint centre(header->sectionViewportPosition(0) + 40, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  }

  testing::ScriptedDesktop m_desktop;
  ActivityLog m_log;
  std::unique_ptr<Form1> m_form;
  std::vector<SeenMessage> m_messages;
  std::vector<testing::ScriptedDesktop::Opened>& m_shellCalls = m_desktop.opened;
  std::vector<std::string>& m_edited = m_desktop.editedPages;
};

}  // namespace tervando

TERVANDO_ISOLATED_QTEST_MAIN(tervando::Form1Test)
#include "form1_test.moc"
