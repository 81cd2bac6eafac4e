#pragma once

#include <string>

#include "engine/host.h"
#include "site/page_list.h"

namespace tervando {

// A host whose page list is a PageList (the command-line front end, the tests). Host rows
// count from 1, PageList rows from 0.
class PageListHost : public Host {
 public:
  PageList& Pages() { return m_pages; }
  const PageList& Pages() const { return m_pages; }

  int RowCount() const override { return m_pages.Count(); }
  std::string RowText(int row) const override { return std::string(m_pages.Path(row - 1)); }
  bool RowMarked(int row) const override { return m_pages.Marked(row - 1); }
  bool ContainsRow(const std::string& path) const override { return m_pages.Contains(path); }
  void InsertCheckedRowAtTop(const std::string& path) override { m_pages.InsertMarkedAtTop(path); }
  void SetSortingEnabled(bool enabled) override { m_pages.SetSortingEnabled(enabled); }

 private:
  PageList m_pages;
};

}  // namespace tervando
