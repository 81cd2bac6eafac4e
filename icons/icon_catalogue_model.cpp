#include "icons/icon_catalogue_model.h"

#include <QPixmap>

#include "engine/messages.h"
#include "engine/messages_window.h"
#include "icons/icon_catalogue.h"
#include "icons/icon_image.h"
#include "support/crisp_pixmap.h"

namespace tervando {

namespace {
constexpr int kIconSize = 32;
}

IconCatalogueModel::IconCatalogueModel(QObject* parent)
    : QAbstractListModel(parent), m_icons(kIconCount) {}

int IconCatalogueModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kIconCount;
}

QVariant IconCatalogueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= kIconCount) {
    return {};
  }
  switch (role) {
    case Qt::DisplayRole:
      return QString::number(index.row() + 1);
    case Qt::DecorationRole:
      return IconOf(index.row());
    case Qt::AccessibleTextRole:
      return QString::fromStdString(IconAccessibleName(index.row() + 1, kIconCount));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignTop);
    default:
      return {};
  }
}

int IconCatalogueModel::EntryOf(const QModelIndex& index) {
  return index.isValid() ? index.row() + 1 : 0;
}

QIcon IconCatalogueModel::IconOf(int row) const {
  QIcon& icon = m_icons[static_cast<std::size_t>(row)];
  if (icon.isNull()) {
    const QImage image = DecodeIconImage(IconFile(row + 1), kIconSize);
    if (!image.isNull()) {
      icon = CrispIcon(QPixmap::fromImage(image));
    }
  }
  return icon;
}

}  // namespace tervando
