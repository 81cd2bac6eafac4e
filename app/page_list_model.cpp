#include "app/page_list_model.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QStyle>
#include <algorithm>
#include <cstdint>

#include "engine/messages.h"
#include "engine/messages_window.h"
#include "engine/paths.h"

namespace tervando {

PageListModel::PageListModel(QObject* parent) : QAbstractListModel(parent) {}

void PageListModel::SetMarked(int row, bool marked) {
  if (m_pages.Marked(row) == marked) {
    return;
  }
  m_pages.SetMarked(row, marked);
  if (row >= m_unpublished) {
    const QModelIndex changed = index(row - m_unpublished, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
  }
}

void PageListModel::SetMarks(const std::vector<bool>& marks) {
  const int n = std::min(Count(), static_cast<int>(marks.size()));
  for (int row = 0; row < n; ++row) {
    m_pages.SetMarked(row, marks[row]);
  }
  if (rowCount() > 0) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
  }
}

std::vector<bool> PageListModel::Marks() const {
  std::vector<bool> marks(static_cast<size_t>(Count()));
  for (int row = 0; row < Count(); ++row) {
    marks[row] = m_pages.Marked(row);
  }
  return marks;
}

void PageListModel::InsertCheckedAtTop(const std::string& path) {
  if (!m_pages.SortingEnabled()) {
    if (m_pages.InsertMarkedAtTop(path) >= 0) {  // the insert itself skips a duplicate
      ++m_unpublished;
    }
    return;
  }
  if (m_pages.Contains(path)) {
    return;
  }
  Publish();
  const int place = m_pages.PlaceFor(path);
  beginInsertRows({}, place, place);
  m_pages.InsertMarkedAtTop(path);
  endInsertRows();
}

void PageListModel::Publish() {
  if (m_unpublished == 0) {
    return;
  }
  // The gathered rows already sit at the top; the view learns of them in one step.
  const int count = m_unpublished;
  m_unpublished = 0;
  beginInsertRows({}, 0, count - 1);
  endInsertRows();
}

void PageListModel::Clear() {
  beginResetModel();
  m_pages.Clear();
  m_checks.clear();
  m_unpublished = 0;
  endResetModel();
}

template <typename Change>
void PageListModel::Resort(Change change) {
  Publish();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<std::uint32_t> ids;
  ids.reserve(static_cast<size_t>(before.size()));
  for (const QModelIndex& old : before) {
    ids.push_back(m_pages.IdAt(old.row()));
  }
  change();
  QModelIndexList after;
  after.reserve(before.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    after.push_back(index(m_pages.RowOfId(ids[i]), before[static_cast<qsizetype>(i)].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PageListModel::SetSorted(bool sorted) {
  if (!sorted) {
    m_pages.SetSortingEnabled(false);
    return;
  }
  Resort([this] { m_pages.SetSortingEnabled(true); });
}

void PageListModel::SetSortedWith(std::vector<std::uint32_t> collated) {
  Resort([this, &collated] { m_pages.SetSortingEnabled(std::move(collated)); });
}

void PageListModel::SetOrder(SortOrder order) {
  if (!m_pages.SortingEnabled()) {
    m_pages.SetSortOrder(order);
    return;
  }
  Resort([this, order] { m_pages.SetSortOrder(order); });
}

void PageListModel::AllRowsChanged(const QList<int>& roles) {
  if (rowCount() > 0) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), roles);
  }
}

void PageListModel::SetWebRoot(const std::string& webRoot) {
  if (webRoot == m_webRoot) {
    return;
  }
  m_webRoot = webRoot;
  AllRowsChanged({Qt::ForegroundRole, Qt::ToolTipRole});
}

void PageListModel::SetChecks(const std::vector<std::pair<std::uint32_t, PageClass>>& marks,
                              bool remove, bool modern) {
  m_checkedForRemove = remove;
  m_checkedForModern = modern;
  for (const auto& [id, mark] : marks) {
    if (id >= m_checks.size()) {
      m_checks.resize(std::max<std::size_t>(id + 1, static_cast<std::size_t>(m_pages.Count())), -1);
    }
    m_checks[id] = static_cast<std::int8_t>(mark);
  }
  AllRowsChanged({Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void PageListModel::ClearChecks() {
  if (m_checks.empty()) {
    return;
  }
  m_checks.clear();
  AllRowsChanged({Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

std::optional<PageClass> PageListModel::CheckOf(int row) const {
  const std::uint32_t id = m_pages.IdAt(row);
  if (id >= m_checks.size() || m_checks[id] < 0) {
    return std::nullopt;
  }
  return static_cast<PageClass>(m_checks[id]);
}

int PageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count() - m_unpublished;
}

QVariant PageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  const int row = RowOf(index);
  const std::string_view path = m_pages.Path(row);
  const bool outside = !m_webRoot.empty() && !LiesUnderWebRoot(path, m_webRoot);
  switch (role) {
    case Qt::DisplayRole:
      // Paths are bytes; the view shows them as UTF-8, the page list keeps them unchanged.
      return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    case Qt::ToolTipRole: {  // the whole path, where the row shows it shortened, and why to look
      QString tip = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
      if (outside) {
        tip += QLatin1Char('\n') + QString::fromStdString(OutsideWebRootText(m_webRoot));
      } else if (const std::optional<PageClass> check = CheckOf(row)) {
        tip += QLatin1Char('\n') + QString::fromStdString(PageClassLabel(*check, m_checkedForRemove,
                                                                         m_checkedForModern));
      }
      return tip;
    }
    case Qt::AccessibleDescriptionRole:  // what the warning sign says, for screen readers
      if (const std::optional<PageClass> check = CheckOf(row); check && !outside) {
        return QString::fromStdString(
            PageClassLabel(*check, m_checkedForRemove, m_checkedForModern));
      }
      return outside ? QString::fromStdString(OutsideWebRootText(m_webRoot)) : QVariant();
    case Qt::ForegroundRole:
      if (outside) {
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      }
      return {};
    case Qt::DecorationRole:
      if (!outside && CheckOf(row)) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
      }
      return {};
    case Qt::CheckStateRole:
      return m_pages.Marked(row) ? Qt::Checked : Qt::Unchecked;
    default:
      return {};
  }
}

bool PageListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole) {
    return false;
  }
  SetMarked(RowOf(index), static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
  return true;
}

Qt::ItemFlags PageListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
         Qt::ItemNeverHasChildren;
}

QVariant PageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) {
    return QString::fromUtf8(kPageListHeading);
  }
  return {};
}

}  // namespace tervando
