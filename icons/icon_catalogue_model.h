#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <vector>

namespace tervando {

// The built-in catalogue as a list: row i shows entry i + 1 with its number as text. Icons are
// decoded when a view first asks for them, so a dialog over the model opens at once.
class IconCatalogueModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit IconCatalogueModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Catalogue entry number of a row (1-based); 0 for an invalid index.
  static int EntryOf(const QModelIndex& index);

 private:
  QIcon IconOf(int row) const;

  mutable std::vector<QIcon> m_icons;
};

}  // namespace tervando
