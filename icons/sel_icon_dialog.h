#pragma once

#include <QDialog>
#include <memory>

class QButtonGroup;
class QKeyEvent;

namespace tervando {

namespace Ui {
class SelIconDialog;
}
class IconCatalogueModel;

// The modal dialog that shows the catalogue and lets the user confirm one icon. Every opening
// starts afresh with icon 1 current.
class SelIconDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SelIconDialog(QWidget* parent = nullptr);
  ~SelIconDialog() override;

  // Opens the dialog modally and returns the confirmed entry (1..kIconCount), or 0 when the
  // dialog was cancelled or closed in any other way.
  static int ChooseIcon(QWidget* parent);

 signals:
  // Raised with the current entry on "OK" and with 0 on "Abbrechen"; 0 asks for no change.
  void ApplyChosenIcon(int index);

 protected:
  // Neither button is the default or the cancel button: Escape leaves the dialog open, and
  // Enter presses only a button that has the focus.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnBtnClicked(int index);

  std::unique_ptr<Ui::SelIconDialog> m_ui;
  IconCatalogueModel* m_model;
  QButtonGroup* m_Btn;
};

}  // namespace tervando
