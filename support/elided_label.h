#pragma once

#include <QString>

class QLabel;

namespace tervando {

// Shows `text` in the label, shortened in the middle with an ellipsis when it is wider than the
// label (a long path keeps its start and its file name), again whenever the label is resized
// or its font changes. The whole text is the label's tooltip when it had to be shortened.
void ShowElided(QLabel& label, const QString& text);

// The text last given to ShowElided, whole.
QString FullText(const QLabel& label);

}  // namespace tervando
