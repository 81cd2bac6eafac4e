#pragma once

#include <QByteArray>
#include <QDialog>
#include <memory>
#include <string>

#include "engine/site_state.h"
#include "support/desktop.h"

class QButtonGroup;
class QKeyEvent;

namespace tervando {

namespace Ui {
class SelIconDialog;
}
class IconCatalogueModel;

// The modal dialog that shows the catalogue and lets the user confirm one icon, or take an icon
// made from a picture of their own. Every opening starts afresh with icon 1 current. The picture
// dialog and the message for a picture that can't be used come from `desktop`.
class SelIconDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SelIconDialog(Desktop& desktop, QWidget* parent = nullptr);
  ~SelIconDialog() override;

  // Opens the dialog modally and returns the confirmed icon, pending: the catalogue entry's icon
  // file, or the one made from the user's own picture with that picture. Empty bytes when the
  // dialog was cancelled or closed in any other way.
  static PreviewIcon ChooseIcon(Desktop& desktop, QWidget* parent);

 signals:
  // Raised with the current entry on "OK" and with 0 on "Abbrechen"; 0 asks for no change.
  void ApplyChosenIcon(int index);
  // Raised with the icon made from the user's own picture ("Eigenes Bild ...").
  void ApplyOwnIcon(const tervando::PreviewIcon& icon);

 protected:
  // Escape cancels as "Abbrechen" does; Enter presses the focused button, and on an icon
  // chooses it as "OK" does (no button is the default).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnBtnClicked(int index);
  void ChooseOwnImage();

  Desktop& m_desktop;
  std::unique_ptr<Ui::SelIconDialog> m_ui;
  IconCatalogueModel* m_model;
  QButtonGroup* m_Btn;
};

}  // namespace tervando
