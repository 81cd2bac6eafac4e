#pragma once

#include <QObject>
#include <QSize>
#include <utility>
#include <vector>

class QWidget;

namespace Ui {
class Form1;
}

namespace tervando {

// The main window's controls in Qt layouts that keep the drawn arrangement: at the drawn font
// every control lies where the form has it; a larger font makes the controls as large as their
// captions need, and what the window lacks in height is taken from the page list. The picture
// at the left edge gives up its lower part on a low screen. Rows of buttons stay together when
// the window grows; the list takes the room.
class Form1Layout : public QObject {
 public:
  // Lays out `form` (the window set up from `ui`) from the controls' drawn geometry.
  Form1Layout(::Ui::Form1& ui, QWidget& form);

  // The size the window opens with: the drawn size, or more where the font needs it, never
  // above `available`.
  QSize OpeningSize(QSize available) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Sizes that follow the font: equal list buttons, the list's smallest height, the count panel.
  void FitToFont();

  ::Ui::Form1& m_ui;
  QWidget& m_form;
  QSize m_drawnSize;
  std::vector<std::pair<QWidget*, QSize>> m_drawn;  // controls at least as large as drawn
  int m_drawnListHeight = 0;
  int m_listButtonSpacing = 0;
};

}  // namespace tervando
