#include "site/page_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tervando {
namespace {

std::vector<std::string> Rows(const PageList& list) {
  std::vector<std::string> rows;
  for (int row = 0; row < list.Count(); ++row) {
    rows.push_back(list.Path(row));
  }
  return rows;
}

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

TEST(PageList, SortsByBytesBothWaysAndKeepsMarks) {
  PageList list;
  for (const char* path : {"/s/b.htm", "/s/\xC3\xA4.htm", "/s/B.htm", "/s/a/z.htm", "/s/a.htm"}) {
    list.InsertMarkedAtTop(path);
  }
  list.SetMarked(0, false);  // "/s/a.htm", the last inserted
  list.SetSortingEnabled(true);
  const std::vector<std::string> ascending{"/s/B.htm", "/s/a.htm", "/s/a/z.htm", "/s/b.htm",
                                           "/s/\xC3\xA4.htm"};
  EXPECT_EQ(Rows(list), ascending);
  EXPECT_FALSE(list.Marked(1));
  list.SetSortOrder(SortOrder::Descending);
  EXPECT_EQ(Rows(list), std::vector<std::string>(ascending.rbegin(), ascending.rend()));
  EXPECT_FALSE(list.Marked(3));
  for (const std::string& path : ascending) {
    EXPECT_TRUE(list.Contains(path));
  }
}

TEST(PageList, InsertWhileSortedGoesToItsPlace) {
  PageList list;
  list.SetSortingEnabled(true);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/m.htm"), 0);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/z.htm"), 1);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/a.htm"), 0);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/n.htm"), 2);
  EXPECT_EQ(Rows(list), (std::vector<std::string>{"/s/a.htm", "/s/m.htm", "/s/n.htm", "/s/z.htm"}));
  EXPECT_EQ(list.InsertMarkedAtTop("/s/n.htm"), -1);
  list.SetSortOrder(SortOrder::Descending);
  EXPECT_EQ(list.InsertMarkedAtTop("/s/b.htm"), 3);
  EXPECT_TRUE(list.Contains("/s/z.htm"));
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
  list.SetSortingEnabled(true);
  EXPECT_TRUE(list.Contains("/site/folder299/page99999.htm"));
  for (int row = 1; row < list.Count(); ++row) {
    ASSERT_LT(list.Path(row - 1), list.Path(row));
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
