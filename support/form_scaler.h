#pragma once

#include <QObject>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <vector>

class QWidget;

namespace tervando {

// The room a control's caption is drawn in, and the size its caption needs there, in the
// control's current font and style (an empty size for controls without a caption).
QRect CaptionRoom(const QWidget& control);
QSize CaptionSize(const QWidget& control);

// Lays out a form drawn with fixed positions for the font it is shown in and the size it is
// given, the way dialog units do: every position and size grows by one factor, the smallest at
// which each caption fits its box (never below 1, so the drawn form is kept as drawn). Room
// beyond that goes to the stretch widget; the others follow by where they lie: a large control
// across the stretch widget's middle grows with it, one past its middle moves with its far
// edge, the rest stays. Fonts and styles changing later lay the form out again.
class FormScaler : public QObject {
 public:
  // Records the drawn geometry of the form's controls (those inside group boxes too).
  FormScaler(QWidget& form, QWidget* stretch);

  // A picture that keeps its size; it moves when it starts past the stretch widget's middle.
  void KeepSize(QWidget* control) { m_keepSize.insert(control); }
  // A control that takes the extra width although it lies beside the middle (a progress bar).
  void StretchWidth(QWidget* control) { m_stretchWidth.insert(control); }

  double Factor() const { return m_factor; }
  // The drawn size of the form times the factor: the smallest size it is laid out for.
  QSize MinimumSize() const;
  // Works out the factor for the current font and lays the form out for its current size.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Drawn {
    QWidget* control;
    QRect rect;  // in form coordinates, as drawn
  };
  double FittingFactor() const;
  // The drawn width of the control that no control stacked above it covers.
  int VisibleWidth(const Drawn& drawn) const;
  void Apply();

  QWidget& m_form;
  QWidget* m_stretch;
  QSize m_drawnSize;
  std::vector<Drawn> m_drawn;  // parents before their children
  QSet<QWidget*> m_keepSize;
  QSet<QWidget*> m_stretchWidth;
  double m_factor = 1.0;
  bool m_applying = false;
};

}  // namespace tervando
