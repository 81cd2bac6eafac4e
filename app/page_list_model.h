#pragma once

#include <QAbstractListModel>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_check.h"
#include "site/page_list.h"

namespace tervando {

// The page list `Liste` as the view sees it: one checkable item per row of the core PageList,
// its text the page's full path, in the PageList's order. Rows found by the collection go in at
// the top; while sorting is off they are gathered and handed to the view in batches (Publish),
// so 100,000 pages fill without the view re-laying itself out for every row. Row numbers in the
// page-list methods count every row, the view's rows only the published ones.
class PageListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit PageListModel(QObject* parent = nullptr);

  const PageList& Pages() const { return m_pages; }
  int Count() const { return m_pages.Count(); }
  std::string Text(int row) const { return std::string(m_pages.Path(row)); }
  bool Marked(int row) const { return m_pages.Marked(row); }
  void SetMarked(int row, bool marked);
  // Sets every row's mark at once: marks[row] for row 0..Count()-1.
  void SetMarks(const std::vector<bool>& marks);
  std::vector<bool> Marks() const;
  bool Contains(const std::string& path) const { return m_pages.Contains(path); }
  // A new checked row at the top, or at its sorted place while sorting is on.
  void InsertCheckedAtTop(const std::string& path);
  void Clear();

  // The sorted switch and the order. Switching on (or a new order while on) re-sorts; the
  // view's selection and current item follow their rows.
  void SetSorted(bool sorted);
  bool Sorted() const { return m_pages.SortingEnabled(); }
  // Switching on in two halves, for a large list collated on another thread: whether it must
  // collate at all, the paths to collate (valid until Clear, which must wait), and switching on
  // with CollatedOrder's result for them.
  bool NeedsCollation() const { return m_pages.NeedsCollation(); }
  std::vector<std::string_view> PathsById() const { return m_pages.PathsById(); }
  void SetSortedWith(std::vector<std::uint32_t> collated);
  void SetOrder(SortOrder order);
  SortOrder Order() const { return m_pages.Order(); }
  // Hands the rows gathered at the top to the view.
  void Publish();
  // Rows that don't lie under this web root are shown greyed, with the reason as tooltip.
  void SetWebRoot(const std::string& webRoot);
  // What the page check marks on the rows with these ids (PageList::IdAt, ListMark): they show
  // a warning sign and the reason as tooltip. ClearChecks forgets every mark.
  // `remove` and `modern`: the mode and set the pages were checked for, which the reasons name.
  void SetChecks(const std::vector<std::pair<std::uint32_t, PageClass>>& marks, bool remove,
                 bool modern);
  void ClearChecks();
  // The check shown for a page-list row, if any.
  std::optional<PageClass> CheckOf(int row) const;

  // The page-list row of a view row.
  int RowOf(const QModelIndex& index) const { return index.row() + m_unpublished; }

  // QAbstractListModel
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  template <typename Change>
  void Resort(Change change);

  void AllRowsChanged(const QList<int>& roles);

  PageList m_pages;
  std::string m_webRoot;
  std::vector<std::int8_t> m_checks;  // by row id: -1 or the PageClass marked
  bool m_checkedForRemove = false;
  bool m_checkedForModern = false;
  int m_unpublished = 0;  // rows at the top that the view does not know yet
};

}  // namespace tervando
