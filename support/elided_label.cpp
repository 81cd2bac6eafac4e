#include "support/elided_label.h"

#include <QEvent>
#include <QLabel>
#include <QVariant>

namespace tervando {

namespace {

constexpr char kFullTextProperty[] = "tervandoFullText";

void Elide(QLabel& label) {
  const QString text = FullText(label);
  const int room = label.contentsRect().width() - 2 * label.margin() - 4;
  const QString shown = label.fontMetrics().elidedText(text, Qt::ElideMiddle, room);
  label.setText(shown);
  label.setToolTip(shown == text ? QString() : text);
}

class ElideOnResize : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) {
      Elide(*static_cast<QLabel*>(watched));
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void ShowElided(QLabel& label, const QString& text) {
  if (!label.property(kFullTextProperty).isValid()) {
    label.installEventFilter(new ElideOnResize(&label));
  }
  label.setProperty(kFullTextProperty, text);
  Elide(label);
}

QString FullText(const QLabel& label) { return label.property(kFullTextProperty).toString(); }

}  // namespace tervando
