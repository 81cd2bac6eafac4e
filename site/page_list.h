#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tervando {

enum class SortOrder { Ascending, Descending };

// The rows of the page list: one page path and its mark per row, rows numbered 0..Count()-1
// from the top. Paths are unique, compared byte for byte as the file system compares names.
//
// Built for a million pages: each path is stored once, in large blocks, with its mark under an
// id that never changes; the duplicate test is one probe of a hash table of ids, which sorting
// leaves alone; the rows are a vector of ids, bottom row first, so inserting at the top is an
// append. While sorting is on, the rows are kept in the order of CollatedOrder (site/collation.h),
// ascending or descending, and inserted rows go to their sorted place.
class PageList {
 public:
  PageList() = default;
  PageList(const PageList&) = delete;
  PageList& operator=(const PageList&) = delete;

  int Count() const { return static_cast<int>(m_rows.size()); }
  // The path stays valid, and ends in a NUL byte, until Clear.
  std::string_view Path(int row) const { return Entry(row).Path(); }
  bool Marked(int row) const { return Entry(row).marked; }
  void SetMarked(int row, bool marked) { m_entries[IdAt(row)].marked = marked; }
  void MarkAll(bool marked);

  bool Contains(std::string_view path) const { return Find(path) >= 0; }
  // The row holding `path`, or -1.
  int Find(std::string_view path) const;
  // The row a new `path` would get: 0 while sorting is off, its sorted place while it is on.
  int PlaceFor(std::string_view path) const;
  // Adds a marked row for `path` at PlaceFor(path) and returns its row, or returns -1 without
  // change when the path is already listed.
  int InsertMarkedAtTop(std::string_view path);
  void Clear();

  // A row's id stays with its path through sorting and insertion, until Clear.
  std::uint32_t IdAt(int row) const { return m_rows[Slot(row)]; }
  int RowOfId(std::uint32_t id) const { return Count() - 1 - static_cast<int>(m_slotOf[id]); }

  bool SortingEnabled() const { return m_sortingEnabled; }
  SortOrder Order() const { return m_order; }
  // Switching sorting on (or changing the order while it is on) re-sorts the rows.
  void SetSortingEnabled(bool enabled);
  void SetSortOrder(SortOrder order);

  // Switching sorting on in two halves, so that the collation may run on another thread:
  // whether it must collate at all, the paths by id for CollatedOrder (they stay valid until
  // Clear), and switching on with the order CollatedOrder gave for them. An order for another
  // number of rows (rows were added meanwhile) is not taken; the rows are collated anew.
  bool NeedsCollation() const { return m_arranged == Arranged::Unsorted; }
  std::vector<std::string_view> PathsById() const;
  void SetSortingEnabled(std::vector<std::uint32_t> collated);

 private:
  struct PageEntry {
    const char* path;
    std::uint32_t length;
    bool marked;
    std::string_view Path() const { return {path, length}; }
  };
  enum class Arranged { Unsorted, Ascending, Descending };

  std::size_t Slot(int row) const { return m_rows.size() - 1 - static_cast<std::size_t>(row); }
  const PageEntry& Entry(int row) const { return m_entries[IdAt(row)]; }
  // True when a row of `a` belongs nearer the top than one of `b` in the current order.
  bool Above(std::string_view a, std::string_view b) const;
  const char* Store(std::string_view path);
  // The index slot holding `path`, or the empty slot where it would go.
  std::size_t Probe(std::string_view path, std::uint32_t hash) const;
  void GrowIndex();
  void Arrange();
  void ArrangeBy(std::vector<std::uint32_t> collated);
  void NumberSlots(std::size_t from);

  std::vector<PageEntry> m_entries;               // by id
  std::vector<std::unique_ptr<char[]>> m_blocks;  // the paths, each followed by a NUL byte
  std::size_t m_blockRoom = 0;
  char* m_blockEnd = nullptr;
  // Open addressing with linear probing: (hash << 32) | (id + 1) per slot, 0 when empty.
  std::vector<std::uint64_t> m_index;
  std::vector<std::uint32_t> m_rows;    // ids by slot; the last slot is the top row
  std::vector<std::uint32_t> m_slotOf;  // slots by id
  bool m_sortingEnabled = false;
  SortOrder m_order = SortOrder::Ascending;
  Arranged m_arranged = Arranged::Ascending;  // how m_rows stands now
};

}  // namespace tervando
