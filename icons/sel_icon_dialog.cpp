#include "icons/sel_icon_dialog.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QScreen>

#include "engine/messages.h"
#include "engine/messages_window.h"
#include "icons/icon_catalogue.h"
#include "icons/icon_catalogue_model.h"
#include "icons/image_to_icon.h"
#include "support/form_scaler.h"
#include "ui_sel_icon_dialog.h"

namespace tervando {

SelIconDialog::SelIconDialog(Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_desktop(desktop),
      m_ui(std::make_unique<Ui::SelIconDialog>()),
      m_model(new IconCatalogueModel(this)),
      m_Btn(new QButtonGroup(this)) {
  m_ui->setupUi(this);

  const int count = m_model->rowCount();
  setWindowTitle(QString::fromStdString(IconDialogTitle(count)));

  m_ui->IconListView->setModel(m_model);
  m_ui->IconListView->setCurrentIndex(m_model->index(0));

  m_Btn->setObjectName(QStringLiteral("Btn"));
  m_Btn->addButton(m_ui->Btn0, 0);
  m_Btn->addButton(m_ui->Btn1, 1);
  m_Btn->addButton(m_ui->Btn2, 2);
  connect(m_Btn, &QButtonGroup::idClicked, this, &SelIconDialog::OnBtnClicked);
  // A double-click on an icon chooses it, as "OK" does.
  connect(m_ui->IconListView, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) m_ui->Btn0->click();
  });

  // Tab runs as the eye reads: the icons, then the buttons from left to right.
  setTabOrder(m_ui->IconListView, m_ui->Btn2);
  setTabOrder(m_ui->Btn2, m_ui->Btn1);
  setTabOrder(m_ui->Btn1, m_ui->Btn0);
  m_ui->IconListView->setAccessibleName(m_ui->Frame1->title().trimmed());

  // Laid out for the desktop's font; the dialog keeps the size that gives it.
  FormScaler scaler(*this, m_ui->IconListView);
  scaler.Update();
  setFixedSize(scaler.MinimumSize());

  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

SelIconDialog::~SelIconDialog() = default;

PreviewIcon SelIconDialog::ChooseIcon(Desktop& desktop, QWidget* parent) {
  SelIconDialog dialog(desktop, parent);
  PreviewIcon chosen;
  connect(&dialog, &SelIconDialog::ApplyChosenIcon, &dialog, [&chosen](int index) {
    chosen = {std::string(IconFile(index)), true};
  });
  connect(&dialog, &SelIconDialog::ApplyOwnIcon, &dialog,
          [&chosen](const PreviewIcon& icon) { chosen = icon; });
  dialog.exec();
  return chosen;
}

void SelIconDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      m_ui->Btn1->click();  // as "Abbrechen"
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
          focused && m_Btn->id(focused) >= 0) {
        focused->click();
      } else if (focusWidget() == m_ui->IconListView &&
                 m_ui->IconListView->currentIndex().isValid()) {
        m_ui->Btn0->click();  // Enter on an icon chooses it, as "OK" does
      }
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void SelIconDialog::OnBtnClicked(int index) {
  switch (index) {
    case 0:
      emit ApplyChosenIcon(IconCatalogueModel::EntryOf(m_ui->IconListView->currentIndex()));
      accept();
      break;
    case 2:
      ChooseOwnImage();
      break;
    default:
      emit ApplyChosenIcon(0);
      reject();
  }
}

// The picture becomes the icon as a catalogue entry does on "OK". A cancelled file dialog or a
// picture that can't be used leaves the dialog open for another choice.
void SelIconDialog::ChooseOwnImage() {
  const std::string path = m_desktop.ChooseImageFile(this);
  if (path.empty()) {
    return;
  }
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  IconFromImage icon = IconFromImageFile(path);
  QGuiApplication::restoreOverrideCursor();
  if (!icon.error.empty()) {
    m_desktop.ShowMessage(
        {icon.error, MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok});
    return;
  }
  emit ApplyOwnIcon({std::move(icon.iconFile), true, std::move(icon.picture), path});
  accept();
}

}  // namespace tervando
