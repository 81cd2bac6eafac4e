#include "app/page_list_model.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "site/collation.h"
#include "support_gui/isolated_qt_test.h"

namespace tervando {

namespace {

std::vector<std::string> ViewTexts(const PageListModel& model) {
  std::vector<std::string> texts;
  for (int row = 0; row < model.rowCount(); ++row) {
    texts.push_back(model.data(model.index(row, 0), Qt::DisplayRole).toString().toStdString());
  }
  return texts;
}

std::string Page(int i) { return "/web/seite" + std::to_string(100000 + i) + ".htm"; }

}  // namespace

class PageListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsGoInAtTheTopChecked() {
    PageListModel model;
    model.InsertCheckedAtTop("/web/a.htm");
    model.InsertCheckedAtTop("/web/b.htm");
    model.Publish();
    QCOMPARE(ViewTexts(model), (std::vector<std::string>{"/web/b.htm", "/web/a.htm"}));
    QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Gefundene Web-Seiten"));
  }

  void duplicatesAreSkippedAndCaseCounts() {
    PageListModel model;
    model.InsertCheckedAtTop("/web/index.htm");
    model.InsertCheckedAtTop("/web/index.htm");
    model.InsertCheckedAtTop("/web/Index.htm");  // another file on this file system
    QCOMPARE(model.Count(), 2);
  }

  void gatheredRowsReachTheViewInOneStep() {
    PageListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 100; ++i) model.InsertCheckedAtTop(Page(i));
    QCOMPARE(model.Count(), 100);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(inserted.count(), 0);
    model.Publish();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(model.rowCount(), 100);
    QCOMPARE(model.Text(0), Page(99));
  }

  void checkBoxChangesTheMark() {
    PageListModel model;
    model.InsertCheckedAtTop("/web/a.htm");
    model.Publish();
    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!model.Marked(0));
    QVERIFY(!model.setData(model.index(0, 0), "/anders.htm", Qt::EditRole));
    QCOMPARE(model.Text(0), std::string("/web/a.htm"));
  }

  void marksOfUnpublishedRowsAreKept() {
    PageListModel model;
    model.InsertCheckedAtTop("/web/a.htm");
    model.Publish();
    model.InsertCheckedAtTop("/web/b.htm");  // not yet shown: view row 0 is still a.htm
    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model.Marked(0));   // b.htm
    QVERIFY(!model.Marked(1));  // a.htm
  }

  void sortingFollowsOrderAndKeepsSelection() {
    PageListModel model;
    for (const char* path : {"/web/B.htm", "/web/d.htm", "/web/a.htm", "/web/c.htm"}) {
      model.InsertCheckedAtTop(path);
    }
    model.Publish();
    QItemSelectionModel selection(&model);
    const QModelIndex dRow = model.index(2, 0);  // rows from the top: c, a, d, b
    QCOMPARE(model.Text(2), std::string("/web/d.htm"));
    selection.select(dRow, QItemSelectionModel::Select);
    selection.setCurrentIndex(dRow, QItemSelectionModel::NoUpdate);
    model.SetMarked(2, false);

    model.SetSorted(true);
    QCOMPARE(ViewTexts(model),
             (std::vector<std::string>{"/web/a.htm", "/web/B.htm", "/web/c.htm", "/web/d.htm"}));
    QCOMPARE(selection.selectedRows().size(), 1);
    QCOMPARE(selection.selectedRows()[0].row(), 3);
    QCOMPARE(selection.currentIndex().row(), 3);
    QVERIFY(!model.Marked(3));

    model.SetOrder(SortOrder::Descending);
    QCOMPARE(ViewTexts(model),
             (std::vector<std::string>{"/web/d.htm", "/web/c.htm", "/web/B.htm", "/web/a.htm"}));
    QCOMPARE(selection.selectedRows()[0].row(), 0);

    model.InsertCheckedAtTop("/web/bb.htm");  // sorting on: at its sorted place
    QCOMPARE(ViewTexts(model), (std::vector<std::string>{"/web/d.htm", "/web/c.htm", "/web/bb.htm",
                                                         "/web/B.htm", "/web/a.htm"}));
    QCOMPARE(selection.selectedRows()[0].row(), 0);
  }

  // A large list is collated beside the window while it handles its events: the same order,
  // marks set meanwhile kept, the selection following its row.
  void largeListIsCollatedAsideInTheSameOrder() {
    PageListModel aside;
    PageListModel here;
    for (int i = 0; i < 20000; ++i) {
      const std::string path = Page((i * 7919) % 20000);  // an order of its own
      aside.InsertCheckedAtTop(path);
      here.InsertCheckedAtTop(path);
    }
    aside.Publish();
    QItemSelectionModel selection(&aside);
    selection.select(aside.index(0, 0), QItemSelectionModel::Select);
    const std::string selected = aside.Text(0);
    // Collated as the window's worker does it, with a mark changed meanwhile.
    std::vector<std::uint32_t> collated = CollatedOrder(aside.PathsById());
    aside.SetMarked(1, false);
    const std::string unmarkedPath = aside.Text(1);
    aside.SetSortedWith(std::move(collated));
    here.SetSorted(true);
    QVERIFY(!aside.Marked(aside.Pages().Find(unmarkedPath)));
    QCOMPARE(ViewTexts(aside), ViewTexts(here));
    QCOMPARE(aside.Text(selection.selectedRows()[0].row()), selected);
    int unmarked = 0;
    for (int row = 0; row < aside.Count(); ++row) unmarked += aside.Marked(row) ? 0 : 1;
    QCOMPARE(unmarked, 1);
  }

  void orderChosenWhileSortingIsOffWaitsForTheSwitch() {
    PageListModel model;
    for (const char* path : {"/web/a.htm", "/web/c.htm", "/web/b.htm"}) {
      model.InsertCheckedAtTop(path);
    }
    model.SetOrder(SortOrder::Descending);
    model.Publish();
    QCOMPARE(ViewTexts(model),
             (std::vector<std::string>{"/web/b.htm", "/web/c.htm", "/web/a.htm"}));
    model.SetSorted(true);
    QCOMPARE(ViewTexts(model),
             (std::vector<std::string>{"/web/c.htm", "/web/b.htm", "/web/a.htm"}));
  }

  void clearEmptiesEverything() {
    PageListModel model;
    model.InsertCheckedAtTop("/web/a.htm");
    model.InsertCheckedAtTop("/web/b.htm");
    model.Publish();
    model.InsertCheckedAtTop("/web/c.htm");
    model.Clear();
    QCOMPARE(model.Count(), 0);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.Contains("/web/a.htm"));
    model.InsertCheckedAtTop("/web/a.htm");
    QCOMPARE(model.Count(), 1);
  }

  void hundredThousandRowsWithBulkMarks() {
    PageListModel model;
    constexpr int kRows = 100000;
    for (int i = 0; i < kRows; ++i) {
      model.InsertCheckedAtTop(Page(i));
      if (i % 5000 == 0) model.Publish();
    }
    model.InsertCheckedAtTop(Page(12345));
    model.Publish();
    QCOMPARE(model.rowCount(), kRows);
    std::vector<bool> marks(kRows, false);
    marks[7] = true;
    model.SetMarks(marks);
    QCOMPARE(model.Marks(), marks);
    model.SetSorted(true);
    QCOMPARE(model.Text(0), Page(0));
    QCOMPARE(model.Text(kRows - 1), Page(kRows - 1));
    QVERIFY(model.Marked(kRows - 1 - 7));  // the row that was 8th from the top
  }
};

}  // namespace tervando

TERVANDO_ISOLATED_QTEST_MAIN(tervando::PageListModelTest)
#include "page_list_model_test.moc"
