#include "support/info_form_freeware.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>

#include "engine/messages.h"
#include "engine/messages_window.h"
#include "support/artwork.h"
#include "support/form_scaler.h"
#include "support/on_click.h"
#include "support/open_with_shell.h"
#include "support/version_text.h"
#include "ui_info_form_freeware.h"

namespace tervando {

namespace {

QPointer<InfoFormFreeware>& Instance() {
  static QPointer<InfoFormFreeware> instance;
  return instance;
}

// The text font is Arial 9.75 pt; where Arial is missing the system's nearest sans face
// stands in at the same size.
QFont LabelFont() {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(9.75);
  return font;
}

}  // namespace

QString InfoFormText() {
  return QStringLiteral("Tervando") + QString::fromStdString(VersionText(256)) +
         QString::fromUtf8(kAboutTagline);
}

QPoint CenteredPosition(QSize screen, QSize frame) {
  return {(screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2};
}

void CenterForm(QWidget& form, QSize screen) { PlaceByFrame(form, screen, CenteredPosition); }

namespace {

// Waits for the first event after which the window has a frame, places it once by it, and
// goes. Without a window manager (no frame ever) the first placement stands.
class FramePlacement : public QObject {
 public:
  FramePlacement(QWidget& window, QSize screen, PlacementRule rule)
      : QObject(&window), m_window(window), m_screen(screen), m_rule(rule) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show ||
        type == QEvent::WindowActivate) {
      const QSize frame = m_window.frameGeometry().size();
      if (frame != m_window.size()) {
        m_window.removeEventFilter(this);
        m_window.move(m_rule(m_screen, frame));
        deleteLater();
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget& m_window;
  QSize m_screen;
  PlacementRule m_rule;
};

}  // namespace

void PlaceByFrame(QWidget& window, QSize screen, PlacementRule rule) {
  window.move(rule(screen, window.frameGeometry().size()));
  if (window.frameGeometry().size() == window.size()) {
    new FramePlacement(window, screen, rule);
  }
}

QPoint InfoFormPosition(QSize screen, QSize frame) {
  if (screen.width() <= 640 || screen.height() <= 480) {
    return {0, 0};
  }
  return CenteredPosition(screen, frame);
}

InfoFormFreeware::InfoFormFreeware(Desktop& desktop, QSize screenSize, QWidget* parent)
    : QDialog(parent), m_desktop(desktop), m_ui(std::make_unique<::Ui::InfoFormFreeware>()) {
  m_ui->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(ArtworkIcon(Artwork::kInfoFormIcon));

  m_ui->Image1->setPixmap(ArtworkPixmap(Artwork::kInfoBanner));
  m_ui->Image1->setCursor(ArtworkCursor());
  OnClick(m_ui->Image1, [this] { OpenMakerSite(m_desktop); });
  m_ui->Image1->setAccessibleName(QString::fromUtf8(kMakerBannerName));
  m_ui->Image1->setAccessibleDescription(m_ui->Image1->toolTip());

  m_ui->Label_0->setFont(LabelFont());
  m_btn.addButton(m_ui->Btn_1, 1);
  m_btn.addButton(m_ui->Btn_3, 3);
  connect(&m_btn, &QButtonGroup::idClicked, this, &InfoFormFreeware::BtnClick);

  // Laid out for the desktop's font (the text keeps its own) before it is placed.
  m_ui->Label_0->setText(InfoFormText());
  FormScaler scaler(*this, nullptr);
  scaler.Update();
  setFixedSize(scaler.MinimumSize());
  FormLoad(screenSize);
}

InfoFormFreeware::~InfoFormFreeware() = default;

void InfoFormFreeware::FormLoad(QSize screenSize) {
  PlaceByFrame(*this, screenSize, InfoFormPosition);
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  m_ui->Label_0->setText(InfoFormText());
  // The line keeps its short form; the whole version, as the package and the manual page give
  // it, is there for whoever points at it or reads it aloud.
  const QString version = QString::fromUtf8(kVersionLead) + QString::fromStdString(VersionText(1));
  m_ui->Label_0->setToolTip(version);
  m_ui->Label_0->setAccessibleDescription(version);
  // Enter or Space right after opening closes the dialog; the web link is a deliberate step.
  m_ui->Btn_3->setFocus(Qt::OtherFocusReason);
}

void InfoFormFreeware::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();  // as "Fenster &schliessen"
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void InfoFormFreeware::BtnClick(int index) {
  switch (index) {
    case 1:
      OpenMakerSite(m_desktop);
      break;
    case 3:
      close();
      break;
    default:
      break;
  }
}

InfoFormFreeware* InfoFormFreeware::ShowInstance(Desktop& desktop, QSize screenSize) {
  QPointer<InfoFormFreeware>& instance = Instance();
  if (!instance) {
    instance = new InfoFormFreeware(desktop, screenSize);
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
  return instance;
}

InfoFormFreeware* InfoFormFreeware::OpenInstance() { return Instance(); }

}  // namespace tervando
