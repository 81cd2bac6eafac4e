#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tervando {

enum class SortOrder { Ascending, Descending };

// The rows of the page list: one page path and its mark per row, rows numbered 0..Count()-1
// from the top. Paths are unique, compared byte for byte as the file system compares names;
// the duplicate test is a hash lookup. Rows are stored bottom row first, so inserting at the
// top is an amortised O(1) append. While sorting is on, the rows are kept in byte order of
// their paths (ascending or descending) and inserted rows go to their sorted place.
class PageList {
 public:
  PageList();
  PageList(const PageList&) = delete;
  PageList& operator=(const PageList&) = delete;

  int Count() const { return static_cast<int>(m_rows.size()); }
  const std::string& Path(int row) const { return m_rows[Slot(row)].path; }
  bool Marked(int row) const { return m_rows[Slot(row)].marked; }
  void SetMarked(int row, bool marked) { m_rows[Slot(row)].marked = marked; }
  void MarkAll(bool marked);

  bool Contains(std::string_view path) const;
  // Adds a marked row for `path` at the top (at its sorted place while sorting is on) and
  // returns its row, or returns -1 without change when the path is already listed.
  int InsertMarkedAtTop(const std::string& path);
  void Clear();

  bool SortingEnabled() const { return m_sortingEnabled; }
  SortOrder Order() const { return m_order; }
  // Switching sorting on (or changing the order while it is on) re-sorts the rows.
  void SetSortingEnabled(bool enabled);
  void SetSortOrder(SortOrder order);

 private:
  struct Row {
    std::string path;
    bool marked = true;
  };
  // The hash set holds slot numbers and compares them through the rows they name.
  struct SlotHash {
    using is_transparent = void;
    const std::vector<Row>* rows;
    std::size_t operator()(std::uint32_t slot) const;
    std::size_t operator()(std::string_view path) const;
  };
  struct SlotEqual {
    using is_transparent = void;
    const std::vector<Row>* rows;
    bool operator()(std::uint32_t a, std::uint32_t b) const;
    bool operator()(std::string_view path, std::uint32_t slot) const;
    bool operator()(std::uint32_t slot, std::string_view path) const;
  };

  std::size_t Slot(int row) const { return m_rows.size() - 1 - static_cast<std::size_t>(row); }
  // True when a row of `a` belongs nearer the top than one of `b` in the current order.
  bool Above(const std::string& a, const std::string& b) const;
  void Sort();
  void RebuildIndex();

  std::vector<Row> m_rows;  // m_rows.back() is the top row
  std::unordered_set<std::uint32_t, SlotHash, SlotEqual> m_index;
  bool m_sortingEnabled = false;
  SortOrder m_order = SortOrder::Ascending;
};

}  // namespace tervando
