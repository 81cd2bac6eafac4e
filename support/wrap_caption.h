#pragma once

#include <QPushButton>

namespace tervando {

// Push buttons here are sized for their caption to wrap onto several lines when it is wider
// than the button; Qt buttons don't wrap, so the line breaks are put in at the blanks.
void WrapCaptionToWidth(QPushButton& button);

}  // namespace tervando
