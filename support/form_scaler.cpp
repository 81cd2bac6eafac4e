#include "support/form_scaler.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tervando {

namespace {

QStyleOptionButton ButtonOption(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  if (const auto* push = qobject_cast<const QPushButton*>(&button)) {
    if (push->autoDefault() || push->isDefault()) {
      option.features |= QStyleOptionButton::AutoDefaultButton;
    }
  }
  return option;
}

QString Caption(const QWidget& control) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    return button->text();
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
    return frame->title();
  }
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    return label->text();
  }
  return {};
}

bool WrapsText(const QWidget& control) {
  const auto* label = qobject_cast<const QLabel*>(&control);
  return label && label->wordWrap();
}

// Height the text takes when wrapped at `width`.
int WrappedHeight(const QWidget& control, int width) {
  return control.fontMetrics()
      .boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap, Caption(control))
      .height();
}

QRect Scaled(const QRect& rect, double factor) {
  const auto scale = [factor](int value) { return static_cast<int>(std::lround(value * factor)); };
  const int left = scale(rect.left());
  const int top = scale(rect.top());
  return {left, top, scale(rect.left() + rect.width()) - left,
          scale(rect.top() + rect.height()) - top};
}

}  // namespace

QRect CaptionRoom(const QWidget& control) {
  const QStyle& style = *control.style();
  if (const auto* radio = qobject_cast<const QRadioButton*>(&control)) {
    const QStyleOptionButton option = ButtonOption(*radio);
    return style.subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
  }
  if (const auto* check = qobject_cast<const QCheckBox*>(&control)) {
    const QStyleOptionButton option = ButtonOption(*check);
    return style.subElementRect(QStyle::SE_CheckBoxContents, &option, check);
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    const QStyleOptionButton option = ButtonOption(*button);
    QRect room = style.subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (!button->icon().isNull()) {
      room.setLeft(room.left() + button->iconSize().width() + 4);
    }
    return room;
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label =
        style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    // The title starts after an indent and must end before the frame's far edge.
    return {label.left(), label.top(), frame->width() - 2 * std::max(label.left(), 0),
            label.height()};
  }
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    const int indent = label->indent() > 0 ? label->indent() : 0;
    return label->contentsRect().adjusted(label->margin() + indent, label->margin(),
                                          -label->margin(), -label->margin());
  }
  return {};
}

QSize CaptionSize(const QWidget& control) {
  const QString caption = Caption(control);
  if (caption.isEmpty()) {
    return {};
  }
  if (WrapsText(control)) {
    const QRect room = CaptionRoom(control);
    return {std::min(room.width(), control.fontMetrics().horizontalAdvance(caption)),
            WrappedHeight(control, room.width())};
  }
  return control.fontMetrics().size(Qt::TextShowMnemonic, caption);
}

FormScaler::FormScaler(QWidget& form, QWidget* stretch)
    : QObject(&form), m_form(form), m_stretch(stretch), m_drawnSize(form.size()) {
  std::vector<QWidget*> containers{&form};
  for (size_t next = 0; next < containers.size(); ++next) {
    QWidget* container = containers[next];
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow()) {
        continue;
      }
      const QPoint origin =
          container == &form ? QPoint() : child->parentWidget()->mapTo(&form, QPoint());
      m_drawn.push_back({child, child->geometry().translated(origin)});
      if (qobject_cast<QGroupBox*>(child)) {
        containers.push_back(child);
      }
    }
  }
  form.installEventFilter(this);
}

QSize FormScaler::MinimumSize() const {
  return Scaled(QRect(QPoint(), m_drawnSize), m_factor).size();
}

int FormScaler::VisibleWidth(const Drawn& drawn) const {
  QWidget* parent = drawn.control->parentWidget();
  const QObjectList& siblings = parent->children();
  const qsizetype own = siblings.indexOf(drawn.control);
  int visible = drawn.rect.width();
  for (const Drawn& other : m_drawn) {
    if (other.control->parentWidget() != parent || siblings.indexOf(other.control) < own ||
        other.control->isHidden()) {
      continue;
    }
    const QRect& rect = other.rect;
    if (rect.left() > drawn.rect.left() && rect.left() <= drawn.rect.right() &&
        rect.top() <= drawn.rect.bottom() && rect.bottom() >= drawn.rect.top()) {
      visible = std::min(visible, rect.left() - drawn.rect.left());
    }
  }
  return visible;
}

double FormScaler::FittingFactor() const {
  double factor = 1.0;
  std::vector<const Drawn*> wrapping;
  for (const Drawn& drawn : m_drawn) {
    const QWidget& control = *drawn.control;
    if (control.isHidden() || drawn.rect.isEmpty()) {
      continue;
    }
    if (WrapsText(control)) {
      wrapping.push_back(&drawn);
      continue;
    }
    const QSize caption = CaptionSize(control);
    if (caption.isEmpty()) {
      continue;
    }
    // The bevel and padding around the room stay the same at every size.
    const QRect room = CaptionRoom(control);
    const int sideWidth = control.width() - room.width();
    const int sideHeight = control.height() - room.height();
    factor = std::max({factor, double(caption.width() + sideWidth) / drawn.rect.width(),
                       double(caption.height() + sideHeight) / drawn.rect.height()});
    // A control drawn over this one's far part (an option beside an option) hides what lies
    // under it: the caption must end before it.
    if (const int visible = VisibleWidth(drawn); visible < drawn.rect.width()) {
      factor = std::max(factor, double(room.left() + caption.width()) / visible);
    }
  }
  // Wrapped text gets taller as the box gets narrower: widen until it fits.
  for (const Drawn* drawn : wrapping) {
    const QWidget& control = *drawn->control;
    const QRect room = CaptionRoom(control);
    const int sideWidth = control.width() - room.width();
    const int sideHeight = control.height() - room.height();
    for (int step = 0; step < 200; ++step) {
      const QRect scaled = Scaled(drawn->rect, factor);
      if (WrappedHeight(control, scaled.width() - sideWidth) <= scaled.height() - sideHeight) {
        break;
      }
      factor += 0.02;
    }
  }
  return factor;
}

void FormScaler::Update() {
  m_factor = FittingFactor();
  const QSize minimum = MinimumSize();
  m_form.setMinimumSize(minimum);
  if (m_form.width() < minimum.width() || m_form.height() < minimum.height()) {
    m_form.resize(m_form.size().expandedTo(minimum));
  }
  Apply();
}

void FormScaler::Apply() {
  if (m_applying) {
    return;
  }
  m_applying = true;
  const QSize minimum = MinimumSize();
  const int dx = std::max(0, m_form.width() - minimum.width());
  const int dy = std::max(0, m_form.height() - minimum.height());
  const QRect stretch = [&] {
    for (const Drawn& drawn : m_drawn) {
      if (drawn.control == m_stretch) return Scaled(drawn.rect, m_factor);
    }
    return QRect(QPoint(), minimum);
  }();

  // One axis: grow with the room, move with the far edge, or stay.
  const auto follow = [](int start, int length, int middle, int stretchLength, int extra,
                         bool keepSize, bool grow) {
    if (keepSize) {
      return start > middle ? std::pair{start + extra, length} : std::pair{start, length};
    }
    if (grow || (start <= middle && middle <= start + length && 2 * length >= stretchLength)) {
      return std::pair{start, length + extra};
    }
    if (start + length / 2 > middle) {
      return std::pair{start + extra, length};
    }
    return std::pair{start, length};
  };

  std::vector<std::pair<QWidget*, QRect>> placed;
  for (const Drawn& drawn : m_drawn) {
    const QRect rect = Scaled(drawn.rect, m_factor);
    const bool keep = m_keepSize.contains(drawn.control);
    const auto [x, width] = follow(rect.left(), rect.width(), stretch.center().x(), stretch.width(),
                                   dx, keep, m_stretchWidth.contains(drawn.control));
    const auto [y, height] =
        follow(rect.top(), rect.height(), stretch.center().y(), stretch.height(), dy, keep, false);
    const QRect onForm(x, y, width, height);
    placed.emplace_back(drawn.control, onForm);
    QPoint origin;
    for (const auto& [control, where] : placed) {
      if (control == drawn.control->parentWidget()) origin = where.topLeft();
    }
    drawn.control->setGeometry(onForm.translated(-origin));
  }
  m_applying = false;
}

bool FormScaler::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_form) {
    switch (event->type()) {
      case QEvent::Resize:
        Apply();
        break;
      case QEvent::FontChange:
      case QEvent::StyleChange:
        Update();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tervando
