#include "support/wrap_caption.h"

#include <QFontMetrics>
#include <QStringList>

namespace tervando {

namespace {
// Room the button's bevel and padding take from the text, per side.
constexpr int kTextMargin = 4;

QString Shown(QString caption) {  // as displayed: a single & marks the access key
  return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
      .remove(QLatin1Char('&'))
      .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}
}  // namespace

void WrapCaptionToWidth(QPushButton& button) {
  const QFontMetrics metrics(button.font());
  const int room = button.width() - 2 * kTextMargin;
  const QStringList words = button.text().split(QLatin1Char(' '));
  QStringList lines;
  QString line;
  for (const QString& word : words) {
    const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(Shown(longer)) > room) {
      lines << line;
      line = word;
    } else {
      line = longer;
    }
  }
  lines << line;
  button.setText(lines.join(QLatin1Char('\n')));
}

}  // namespace tervando
