#include "support/on_click.h"

#include <QEvent>
#include <QMouseEvent>
#include <utility>

namespace tervando {

namespace {

class ClickFilter : public QObject {
 public:
  ClickFilter(QWidget* widget, std::function<void()> action)
      : QObject(widget), m_action(std::move(action)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonRelease) {
      return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (mouse->button() == Qt::LeftButton && widget &&
        widget->rect().contains(mouse->position().toPoint())) {
      m_action();
      return true;
    }
    return false;
  }

 private:
  std::function<void()> m_action;
};

}  // namespace

void OnClick(QWidget* widget, std::function<void()> action) {
  widget->installEventFilter(new ClickFilter(widget, std::move(action)));
}

}  // namespace tervando
