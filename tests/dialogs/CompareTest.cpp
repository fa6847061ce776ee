// The lease comparison window on the three-page worksheet: what it opens with, choosing the
// page of a column (pages told apart by number, not by description), the details of a
// column, copy, and closing.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/grid/GridWidget.h"
#include "tests/dialogs/AnalysisFixture.h"

namespace qv::test {
namespace {

class CompareTest : public AnalysisTest {
 protected:
  Compare& Open() { return windows.Get<Compare>(); }
  static std::string Cell(const Compare& w, int row, int col) { return w.CompareSheetData.TextRC(row, col); }
  static std::string NoDollar(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '$'), s.end());
    return s;
  }
  // Chooses page `page` for column `col` (1..3) from the page list.
  static void Choose(Compare& w, int col, int page) {
    w.Command3_Click(col - 1);
    w.PageList_DblClick(page, 1);
  }
};

TEST_F(CompareTest, OpensWithTheCurrentPageInTheFirstColumn) {
  eng.page.DownPmt = 0;
  eng.page.CashMonths = 0;
  Compare& w = Open();
  EXPECT_EQ(w.windowTitle().toStdString(), "Compare Leases");
  EXPECT_EQ(windows.Shared().CompareOpen, -1);
  EXPECT_DOUBLE_EQ(eng.page.DownPmt, 2150);  // a tenth of the purchase price
  EXPECT_DOUBLE_EQ(eng.page.CashMonths, 36);
  EXPECT_EQ(w.ColumnPage[1], 1);
  EXPECT_EQ(w.ColumnPage[2], 0);
  EXPECT_TRUE(w.Command2[1]->isEnabled());

  // The figures of the main window's lease view, and worked by hand: cap cost 21500,
  // payment 368.50 with tax, future cost 743.50 + 35 x 368.497222 - 375 = 13265.90.
  EXPECT_EQ(Cell(w, 1, 1), kSampleName);
  EXPECT_EQ(Cell(w, 3, 1), "21,500.00");
  EXPECT_EQ(Cell(w, 4, 1), "21,500.00");
  EXPECT_EQ(Cell(w, 4, 1), NoDollar(Text(qv->lblAdjustedCap)));
  EXPECT_EQ(Cell(w, 5, 1), "36.00");
  EXPECT_EQ(Cell(w, 6, 1), ".0025000");
  EXPECT_EQ(Cell(w, 7, 1), Text(qv->Text3[25]));
  EXPECT_EQ(Cell(w, 10, 1), "368.50");
  EXPECT_EQ(Cell(w, 10, 1), NoDollar(Text(qv->lblPayment[1])));
  EXPECT_EQ(Cell(w, 11, 1), "743.50");
  EXPECT_EQ(Cell(w, 13, 1), "13,265.90");
  EXPECT_EQ(Cell(w, 13, 1), NoDollar(Text(qv->Label2[0])));
  EXPECT_EQ(Cell(w, 1, 2), "");
  EXPECT_EQ(Cell(w, 3, 3), "");

  // The page list: one row per page, blank description included.
  ASSERT_EQ(w.PageListData.MaxRow(), 3);
  EXPECT_EQ(w.PageListData.TextRC(1, 1), kSampleName);
  EXPECT_EQ(w.PageListData.TextRC(2, 1), "");
  EXPECT_EQ(w.PageListData.TextRC(3, 1), kSampleName);
  EXPECT_FALSE(w.PageList->isVisible());
}

TEST_F(CompareTest, ColumnsShowAndRememberTheirPagesByNumber) {
  Compare& w = Open();
  w.show();

  // Page 3 has the same description as page 1; page 2 has none.
  Choose(w, 2, 3);
  EXPECT_EQ(eng.CurrentPage, 3);
  EXPECT_EQ(qv->Combo2->currentIndex(), 2);
  EXPECT_EQ(w.ColumnPage[2], 3);
  EXPECT_EQ(Cell(w, 5, 2), "48.00");
  EXPECT_FALSE(w.PageList->isVisible());
  Choose(w, 3, 2);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(Cell(w, 1, 3), "");
  EXPECT_EQ(Cell(w, 3, 3), "21,000.00");  // margin 500

  // Reopening the list over a column marks that column's own page.
  w.Command3_Click(1);
  EXPECT_TRUE(w.PageList->isVisible());
  EXPECT_EQ(w.PageList->activeRow(), 3);
  int key = 27;  // Escape hides the list
  w.PageList_KeyPress(key);
  EXPECT_FALSE(w.PageList->isVisible());
  w.Command3_Click(2);
  EXPECT_EQ(w.PageList->activeRow(), 2);
  // Enter chooses the marked row.
  w.PageList->setActiveCell(1, 1);
  key = 13;
  w.PageList_KeyPress(key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_EQ(w.ColumnPage[3], 1);
  EXPECT_EQ(Cell(w, 5, 3), "36.00");
}

TEST_F(CompareTest, APageDeletedSinceTheListWasMadeIsNotChosen) {
  Compare& w = Open();
  eng.PageCount = 2;  // page 3 went while the window was open
  Choose(w, 2, 3);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_EQ(w.ColumnPage[2], 0);
  EXPECT_EQ(Cell(w, 1, 2), "");
}

TEST_F(CompareTest, DetailsOpenTheColumnsOwnPageAndRefreshTheColumn) {
  Compare& w = Open();
  Choose(w, 2, 3);
  GoToPage(2);

  Details2* shown = nullptr;
  prompt.Modal([&](ui::ModalWindow& m) {
    EXPECT_EQ(m.ModalName(), "Details2");
    shown = dynamic_cast<Details2*>(&m);
    // The details window changes the page: a cap reduction of 1000.
    eng.page.CapRd = 1000;
    eng.RecalcPage();
    return 0;
  });
  w.Command1_Click(1);
  EXPECT_TRUE(prompt.Exhausted());
  EXPECT_EQ(eng.CurrentPage, 3);  // not page 1, the first page with that description
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle().toStdString(), "Sample Sedan ");  // before the first "-"
  EXPECT_EQ(Cell(w, 4, 2), "20,500.00");
  EXPECT_FALSE(prompt.Busy());

  // Closing the comparison unloads the details window and leaves the page chosen last.
  w.Command2_Click(0);
  DeleteClosedWindows();
  EXPECT_FALSE(windows.Loaded<Compare>());
  EXPECT_FALSE(windows.Loaded<Details2>());
  EXPECT_EQ(windows.Shared().CompareOpen, 0);
  EXPECT_EQ(windows.Shared().DetailsOpen, 0);
  EXPECT_EQ(eng.CurrentPage, 3);
  EXPECT_EQ(Text(qv->lblAdjustedCap), "$20,500.00");
}

TEST_F(CompareTest, ADescriptionWithoutAHyphenLeavesTheDetailsCaption) {
  eng.page.CarName = "Coupe";
  Compare& w = Open();
  prompt.Modal([](ui::ModalWindow&) { return 0; });
  w.Command1_Click(0);
  ASSERT_TRUE(windows.Loaded<Details2>());
  EXPECT_EQ(windows.IfLoaded<Details2>()->windowTitle().toStdString(), "Lease/Buy Details");
}

TEST_F(CompareTest, CopyGivesTheHeadsAndRowsThreeToFifteen) {
  Compare& w = Open();
  Choose(w, 3, 2);
  w.mnuCopy_Click();
  const std::string text = QGuiApplication::clipboard()->text().toStdString();
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "\t" + kSampleName + "\t\t");
  EXPECT_EQ(lines[1], "Purchase Price\t21,500.00\t\t21,000.00");
  EXPECT_EQ(lines[10], " \t\t\t");  // row 12
  EXPECT_EQ(lines[13].substr(0, 19), "Lease / Cash Ratio\t");
}

TEST_F(CompareTest, TheAnalysisMenuOpensTheWindow) {
  ASSERT_TRUE(qv->mnuAnalysis[1]->isEnabled());
  qv->mnuAnalysis[1]->trigger();
  ASSERT_TRUE(windows.Loaded<Compare>());
  EXPECT_TRUE(windows.IfLoaded<Compare>()->isVisible());
  windows.IfLoaded<Compare>()->close();
  DeleteClosedWindows();
  EXPECT_FALSE(windows.Loaded<Compare>());
  EXPECT_EQ(windows.Shared().CompareOpen, 0);
}

}  // namespace
}  // namespace qv::test
