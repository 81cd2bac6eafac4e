#include "site/page_list.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "site/collation.h"

namespace tervando {
namespace {

std::vector<std::string> Rows(const PageList& list) {
  std::vector<std::string> rows;
  for (int row = 0; row < list.Count(); ++row) {
    rows.emplace_back(list.Path(row));
  }
  return rows;
}

// Sets the collation for one test and puts the previous one back.
class Collation {
 public:
  explicit Collation(const char* name) : m_before(std::setlocale(LC_COLLATE, nullptr)) {
    m_set = std::setlocale(LC_COLLATE, name) != nullptr;
  }
  ~Collation() { std::setlocale(LC_COLLATE, m_before.c_str()); }
  bool Set() const { return m_set; }

 private:
  std::string m_before;
  bool m_set = false;
};

TEST(PageList, InsertsMarkedRowsAtTheTop) {
  PageList list;
  EXPECT_EQ(list.InsertMarkedAtTop("/s/a.htm"), 0);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/b.htm"), 0);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/c.htm"), 0);
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/s/c.htm", "/s/b.htm", "/s/a.htm"}));
  for (int row = 0; row < list.Count(); ++row) {
    EXPECT_TRUE(list.Marked(row));
  }
}

TEST(PageList, DuplicatesAreComparedByteForByte) {
  PageList list;
  list.InsertMarkedAtTop("/s/A.htm");
  EXPECT_EQ(list.InsertMarkedAtTop("/s/A.htm"), -1);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/a.htm"), 0);  // another file on Linux
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Contains("/s/A.htm"));
  EXPECT_TRUE(list.Contains("/s/a.htm"));
  EXPECT_FALSE(list.Contains("/s/a.HTM"));
}

// The list sorts as a person reads, folder by folder, whatever order the pages were found in,
// and a page inserted while sorting is on lands where the sort would have put it.
TEST(PageList, SortsByTheUsersCollationWithABytewiseTieBreak) {
  const struct {
    const char* locale;
    std::vector<std::string> ascending;
  } cases[] = {
      {"C",
       {"/s/a/z.htm", "/s/about.html", "/s/B.htm", "/s/b.htm", "/s/Zeta.htm", "/s/\xC3\xA4.htm",
        "/s/\xFF.htm"}},
      {"C.UTF-8", {"/s/About.htm", "/s/about.htm", "/s/x/y.htm", "/s/Zeta.htm"}},
      {"de_DE.UTF-8",
       {"/s/a/z.htm", "/s/\xC3\x84/a.htm", "/s/about.html", "/s/Apfel.htm", "/s/\xC3\x84pfel.htm",
        "/s/b.htm", "/s/B.htm", "/s/Birne.htm", "/s/Zeta.htm"}},
  };
  for (const auto& c : cases) {
    const Collation collation(c.locale);
    if (!collation.Set()) {
      ADD_FAILURE() << c.locale << " is missing (scripts/install-deps makes it)";
      continue;
    }
    PageList list;
    for (std::size_t i = 0; i < c.ascending.size(); ++i) {
      list.InsertMarkedAtTop(c.ascending[(i * 5) % c.ascending.size()]);  // shuffled
    }
    list.SetMarked(list.Find(c.ascending[1]), false);
    list.SetSortingEnabled(true);
    EXPECT_EQ(Rows(list), c.ascending) << c.locale;
    EXPECT_FALSE(list.Marked(1)) << c.locale;
    list.SetSortOrder(SortOrder::Descending);
    EXPECT_EQ(Rows(list), std::vector<std::string>(c.ascending.rbegin(), c.ascending.rend()));
    EXPECT_FALSE(list.Marked(list.Count() - 2)) << c.locale;

    PageList sorted;
    sorted.SetSortingEnabled(true);
    for (std::size_t i = 0; i < c.ascending.size(); ++i) {
      sorted.InsertMarkedAtTop(c.ascending[(i * 5 + 3) % c.ascending.size()]);
    }
    EXPECT_EQ(Rows(sorted), c.ascending) << c.locale;
    for (std::size_t i = 0; i + 1 < c.ascending.size(); ++i) {
      EXPECT_LT(Collate(c.ascending[i], c.ascending[i + 1]), 0) << c.ascending[i];
      EXPECT_GT(Collate(c.ascending[i + 1], c.ascending[i]), 0) << c.ascending[i];
    }
  }
}

TEST(PageList, InsertWhileSortedGoesToItsPlace) {
  PageList list;
  list.SetSortingEnabled(true);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/m.htm"), 0);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/z.htm"), 1);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/a.htm"), 0);
  EXPECT_EQ(list.PlaceFor("/s/n.htm"), 2);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/n.htm"), 2);
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/s/a.htm", "/s/m.htm", "/s/n.htm", "/s/z.htm"}));
  EXPECT_EQ(list.InsertMarkedAtTop("/s/n.htm"), -1);
  list.SetSortOrder(SortOrder::Descending);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/b.htm"), 3);
  EXPECT_EQ(list.Find("/s/z.htm"), 0);
  EXPECT_EQ(list.Find("/s/a.htm"), 4);
}

TEST(PageList, SortingOffKeepsTheOrderAndOrderSurvivesSwitching) {
  PageList list;
  list.SetSortOrder(SortOrder::Descending);
  list.InsertMarkedAtTop("/a");
  list.InsertMarkedAtTop("/c");
  list.InsertMarkedAtTop("/b");
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/b", "/c", "/a"}));
  list.SetSortingEnabled(true);
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/c", "/b", "/a"}));
  list.SetSortingEnabled(false);
  list.InsertMarkedAtTop("/d");
  EXPECT_EQ(Rows(list).front(), "/d");
  list.SetSortingEnabled(true);
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/d", "/c", "/b", "/a"}));
}

TEST(PageList, HoldsAHundredThousandPages) {
  PageList list;
  for (int i = 0; i < 100000; ++i) {
    ASSERT_EQ(list.InsertMarkedAtTop("/site/folder" + std::to_string(i % 997) + "/page" +
                                     std::to_string(i) + ".htm"),
              0);
  }
  EXPECT_EQ(list.Count(), 100000);
  EXPECT_EQ(list.InsertMarkedAtTop("/site/folder0/page0.htm"), -1);
  const std::uint32_t id = list.IdAt(0);
  list.SetSortingEnabled(true);
  EXPECT_EQ(list.Path(list.RowOfId(id)), "/site/folder299/page99999.htm");
  EXPECT_EQ(list.Find("/site/folder299/page99999.htm"), list.RowOfId(id));
  for (int row = 1; row < list.Count(); ++row) {
    ASSERT_LT(Collate(list.Path(row - 1), list.Path(row)), 0) << row;
  }
}

TEST(PageList, ClearAndMarkAll) {
  PageList list;
  list.InsertMarkedAtTop("/a");
  list.InsertMarkedAtTop("/b");
  list.MarkAll(false);
  EXPECT_FALSE(list.Marked(0));
  EXPECT_FALSE(list.Marked(1));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Contains("/a"));
  EXPECT_EQ(list.InsertMarkedAtTop("/a"), 0);
}

}  // namespace
}  // namespace tervando
