// Option list editing: cell edits reach the page's rows of sheet "Options" and the totals,
// options are added and deleted, and the headings show the totals.
#include <QLineEdit>
#include <QAction>
#include <QMenu>

#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class OptionEditTest : public SampleDealTest<> {
 protected:
  grid::Sheet& Options() { return eng.WKS.SheetAt(2); }
  grid::Sheet& Grid() { return eng.OptionList; }

  // Puts option rows into sheet "Options": page, name, invoice, MSRP.
  struct Row {
    int page;
    const char* name;
    double inv, msrp;
  };
  void SetOptions(std::initializer_list<Row> rows) {
    Options().ClearAll();
    int r = 0;
    for (const Row& row : rows) {
      ++r;
      Options().SetNumberRC(r, 1, row.page);
      Options().SetTextRC(r, 2, row.name);
      Options().SetNumberRC(r, 3, row.inv);
      Options().SetNumberRC(r, 4, row.msrp);
    }
    Options().SetMaxRow(r);
    eng.ShowPageOptions();
    eng.RecalcPage();
  }

  // A cell edit as the user ends it: the grid's active cell is the edited cell.
  bool Edit(int row, int col, const char* text) {
    qv->OptionList->refresh();
    return qv->OptionList->commitEdit(row, col, QString::fromUtf8(text));
  }
};

TEST_F(OptionEditTest, ANewOptionIsStoredForThePageAlongItsRow) {
  ASSERT_FALSE(qv->OptionList->isReadOnly());
  // An empty page shows one empty row; typing into it makes the option.
  ASSERT_EQ(Grid().MaxRow(), 1);
  ASSERT_EQ(Options().MaxRow(), 1);

  ASSERT_TRUE(Edit(1, 1, "Moon\troof"));
  // The option's row is the sheet's next row, tagged with the page; the grid links to it.
  EXPECT_EQ(Options().NumberRC(2, 1), 1);
  EXPECT_EQ(Options().TextRC(2, 2), "Moon roof");
  EXPECT_EQ(Grid().TextRC(1, 1), "Moon roof");
  EXPECT_EQ(Grid().NumberRC(1, 5), 2);
  EXPECT_EQ(Grid().ActiveRow(), 1);
  EXPECT_EQ(Grid().ActiveCol(), 2);
  EXPECT_EQ(eng.WorksheetModified, -1);

  ASSERT_TRUE(Edit(1, 2, "$1,250"));
  EXPECT_EQ(Options().NumberRC(2, 3), 1250);
  EXPECT_TRUE(Options().IsNumber(2, 3));
  EXPECT_EQ(Grid().NumberRC(1, 2), 1250);
  EXPECT_EQ(Grid().ActiveCol(), 3);
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 1250);
  EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 22750);  // 20500 + 1250 + 1000 margin
  EXPECT_EQ(Text(qv->lblPurchPrice), "$22,750.00");

  // The MSRP changes the page's MSRP: the residual may keep its percent (No keeps it).
  prompt.Answer(ui::Answer::No);
  ASSERT_TRUE(Edit(1, 3, "1,400"));
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text,
            "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n53.3% of MSRP?");
  EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::YesNo);
  EXPECT_EQ(Options().NumberRC(2, 4), 1400);
  EXPECT_DOUBLE_EQ(eng.res.TotalOptMSRP, 1400);
  EXPECT_DOUBLE_EQ(eng.res.TotalMSRP, 23900);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 12000);
  EXPECT_EQ(Options().MaxRow(), 2) << "one sheet row for the option";
}

// The main window destroyed while an option's cell is being edited: the edit is dropped and
// no handler of the window runs on the half-destroyed window (the sanitizer build checks
// that); the options on the sheet stay as they were.
TEST_F(OptionEditTest, TheWindowDestroyedDuringAnOptionEditDropsTheEdit) {
  SetOptions({{1, "Mats", 100, 120}});
  ASSERT_TRUE(ShowActive());
  qv->SelectTab(1);
  qv->OptionList->refresh();
  QApplication::processEvents();
  ASSERT_TRUE(qv->OptionList->editCell(1, 1));
  auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(box, nullptr);
  box->setText("Roof rack");
  qv.reset();
  QApplication::processEvents();
  EXPECT_EQ(Options().MaxRow(), 1);
  EXPECT_EQ(Options().TextRC(1, 2), "Mats");
  EXPECT_EQ(Options().NumberRC(1, 3), 100);
}

TEST_F(OptionEditTest, YesToTheResidualQuestionKeepsTheResidualPercent) {
  SetOptions({{1, "Moonroof", 1250, 1400}});
  prompt.Answer(ui::Answer::Yes);
  ASSERT_TRUE(Edit(1, 3, "2400"));
  // 12000 of 23900 is 50.2092...%; the same percent of 24900.
  EXPECT_DOUBLE_EQ(eng.page.Residual, 12502.09);
  EXPECT_NEAR(eng.res.ResPerc, 12000.0 / 23900, 1e-6);

  // An edit that leaves the MSRP as it was asks nothing.
  ASSERT_TRUE(Edit(1, 3, "2400"));
  EXPECT_EQ(prompt.Asked().size(), 1u);
}

TEST_F(OptionEditTest, EditsReachTheRightRowOfTheRightPage) {
  SetOptions({{1, "Alarm", 100, 120}, {2, "Tow hitch", 200, 250}, {1, "Mats", 300, 350}});
  ASSERT_EQ(Grid().MaxRow(), 2);
  EXPECT_EQ(Grid().NumberRC(2, 5), 3);

  ASSERT_TRUE(Edit(2, 2, "400"));
  EXPECT_EQ(Options().NumberRC(3, 3), 400);
  EXPECT_EQ(Options().NumberRC(2, 3), 200) << "page 2's option is untouched";
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 500);
  EXPECT_EQ(Options().MaxRow(), 3);

  // On page 2, a price typed first into a new row makes the row for page 2.
  eng.StorePage();
  eng.PageCount = 2;
  eng.CurrentPage = 2;
  eng.LoadPage();
  ASSERT_EQ(Grid().MaxRow(), 1);
  qv->mnuAddDelOption_Click(0);
  ASSERT_EQ(Grid().MaxRow(), 2);
  EXPECT_EQ(Grid().ActiveRow(), 2);
  EXPECT_EQ(Grid().ActiveCol(), 1);
  EXPECT_EQ(Options().MaxRow(), 3) << "nothing is stored by adding";
  ASSERT_TRUE(Edit(2, 3, "75"));  // no residual on page 2: no question
  EXPECT_EQ(Options().MaxRow(), 4);
  EXPECT_EQ(Options().NumberRC(4, 1), 2);
  EXPECT_EQ(Options().NumberRC(4, 4), 75);
  EXPECT_EQ(Options().TextRC(4, 2), "");
  EXPECT_DOUBLE_EQ(eng.res.TotalOptMSRP, 325);

  // Back on page 1 the grid holds page 1's options only.
  eng.StorePage();
  eng.CurrentPage = 1;
  eng.LoadPage();
  EXPECT_EQ(Grid().MaxRow(), 2);
  EXPECT_EQ(Grid().TextRC(1, 1), "Alarm");
  EXPECT_EQ(Grid().NumberRC(2, 2), 400);
}

TEST_F(OptionEditTest, DeleteAsksAndRemovesTheRightRow) {
  SetOptions({{1, "Alarm", 100, 120}, {2, "Tow hitch", 200, 250}, {1, "Mats", 300, 350}});
  qv->OptionList->setActiveCell(2, 1);

  prompt.Answer(ui::Answer::Cancel);
  qv->mnuAddDelOption[1]->trigger();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "Delete Option 2?");
  EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::OKCancel);
  EXPECT_EQ(Options().MaxRow(), 3);
  EXPECT_EQ(eng.WorksheetModified, 0);

  prompt.Answer(ui::Answer::OK);
  qv->mnuAddDelOption_Click(1);
  EXPECT_EQ(Options().MaxRow(), 2);
  EXPECT_EQ(Options().TextRC(1, 2), "Alarm");
  EXPECT_EQ(Options().TextRC(2, 2), "Tow hitch");
  EXPECT_EQ(Grid().MaxRow(), 1);
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 100);
  EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 21600);
  EXPECT_EQ(eng.WorksheetModified, -1);

  // A row added but never edited: no sheet row goes.
  qv->mnuAddDelOption_Click(0);
  ASSERT_EQ(Grid().MaxRow(), 2);
  prompt.Answer(ui::Answer::OK);
  qv->mnuAddDelOption_Click(1);
  EXPECT_EQ(prompt.Last()->text, "Delete Option 2?");
  EXPECT_EQ(Options().MaxRow(), 2);
  EXPECT_EQ(Grid().MaxRow(), 1);
}

TEST_F(OptionEditTest, DeletingTheLastOptionLeavesOneEmptyRow) {
  SetOptions({{1, "Alarm", 100, 120}});
  prompt.Answer(ui::Answer::OK);
  qv->mnuAddDelOption_Click(1);
  EXPECT_EQ(Options().MaxRow(), 1);
  EXPECT_EQ(Options().NumberRC(1, 1), 0);
  EXPECT_EQ(Grid().MaxRow(), 1);
  EXPECT_EQ(Grid().TextRC(1, 1), "");
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 0);
}

TEST_F(OptionEditTest, TotalsInTheHeadingsAndTheExpandedList) {
  SetOptions({{1, "Alarm", 100, 120}, {1, "Mats", 1200, 1350}});
  auto headings = [&] { return Grid().ColText(2) + "|" + Grid().ColText(3); };
  ASSERT_TRUE(qv->mnuShowTotals->isEnabled());

  qv->mnuShowTotals->trigger();
  EXPECT_TRUE(qv->mnuShowTotals->isChecked());
  EXPECT_EQ(headings(), "Invoice\r\n$1,300.00|MSRP\r\n$1,470.00");
  EXPECT_EQ(Grid().HeaderHeight(), 480);
  // Each calculation writes the totals of the moment.
  ASSERT_TRUE(Edit(1, 2, "200"));
  EXPECT_EQ(headings(), "Invoice\r\n$1,400.00|MSRP\r\n$1,470.00");

  qv->mnuShowTotals->trigger();
  EXPECT_FALSE(qv->mnuShowTotals->isChecked());
  EXPECT_EQ(headings(), "Invoice|MSRP");
  EXPECT_EQ(Grid().HeaderHeight(), 240);

  // Expanding shows the totals whatever the item says; collapsing puts the plain headings
  // back only when the item is unchecked.
  const int collapsed = qv->OptionList->minimumHeight();
  qv->mnuExpandOptions->trigger();
  EXPECT_TRUE(qv->OptionListExpanded);
  EXPECT_EQ(qv->mnuExpandOptions->text(), "&Collapse Option List");
  EXPECT_EQ(headings(), "Invoice\r\n$1,400.00|MSRP\r\n$1,470.00");
  EXPECT_GE(qv->OptionList->minimumHeight(), 4550 / 15);
  qv->mnuExpandOptions_Click();
  EXPECT_EQ(qv->mnuExpandOptions->text(), "&Expand Option List");
  EXPECT_EQ(headings(), "Invoice|MSRP");
  EXPECT_EQ(qv->OptionList->minimumHeight(), collapsed);

  qv->mnuShowTotals_Click();
  qv->mnuExpandOptions_Click();
  qv->mnuExpandOptions_Click();
  EXPECT_FALSE(qv->OptionListExpanded);
  EXPECT_EQ(headings(), "Invoice\r\n$1,400.00|MSRP\r\n$1,470.00");
  EXPECT_EQ(Grid().HeaderHeight(), 480);
}

TEST_F(OptionEditTest, ARightClickOnTheListPopsUpTheOptionsMenu) {
  ASSERT_FALSE(qv->mnuOptions->isVisible());
  emit qv->OptionList->rightClick(1, 1, QPoint(40, 40));
  EXPECT_TRUE(qv->mnuOptions->isVisible());
  qv->mnuOptions->hide();
}

}  // namespace
}  // namespace qv::test
