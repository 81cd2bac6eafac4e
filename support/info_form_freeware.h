#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <memory>

#include "support/desktop.h"

namespace Ui {
class InfoFormFreeware;
}

namespace tervando {

// The dialog's one line: product name, bracketed version with revision letter, purpose.
QString InfoFormText();

// Where CenterForm puts a window of outer size `frame` on a screen of size `screen` (pixels):
// half the difference, the fraction cut off toward zero; not clamped to the screen.
QPoint CenteredPosition(QSize screen, QSize frame);
void CenterForm(QWidget& form, QSize screen);

// Places a top-level window by its outer (framed) size with `rule` (CenteredPosition,
// InfoFormPosition). The window manager adds the frame only once the window is on screen, so
// until then the client size stands in and the window is placed again when its frame is known.
using PlacementRule = QPoint (*)(QSize screen, QSize frame);
void PlaceByFrame(QWidget& window, QSize screen, PlacementRule rule);

// Small screens (640 wide or less, or 480 high or less) get the top-left corner instead.
QPoint InfoFormPosition(QSize screen, QSize frame);

// The About dialog: name, version and purpose, a picture and a button that open the maker's
// web address, and a button that closes it. Not modal; deletes itself when closed. `desktop`
// must outlive it.
class InfoFormFreeware : public QDialog {
  Q_OBJECT

 public:
  InfoFormFreeware(Desktop& desktop, QSize screenSize, QWidget* parent = nullptr);
  ~InfoFormFreeware() override;

  // Shows the one open instance, or loads a new one on a screen of the given size.
  static InfoFormFreeware* ShowInstance(Desktop& desktop, QSize screenSize);
  static InfoFormFreeware* OpenInstance();

 protected:
  // Escape closes the dialog as "Fenster &schliessen" does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormLoad(QSize screenSize);
  void BtnClick(int index);

  Desktop& m_desktop;
  std::unique_ptr<::Ui::InfoFormFreeware> m_ui;
  QButtonGroup m_btn;
};

}  // namespace tervando
