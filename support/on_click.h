#pragma once

#include <QWidget>
#include <functional>

namespace tervando {

// Pictures (labels) have no click of their own: a release of the left button over the widget
// runs the action, as a click on a button would.
void OnClick(QWidget* widget, std::function<void()> action);

}  // namespace tervando
