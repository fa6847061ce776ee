// The deal windows' boxes and grid cells at the edges, with real key events and focus moves:
// a refused entry shows its own value again, and text that is not a number is refused with
// a message naming it rather than read as 0.
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <string>
#include <vector>

#include "dialogs/AdjRes.h"
#include "dialogs/Adjust.h"
#include "dialogs/Margin2.h"
#include "dialogs/TaxFee.h"
#include "dialogs/TaxSet.h"
#include "dialogs/Trade.h"
#include "owner/FiniteEntry.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/ActivatingPrompt.h"
#include "tests/worksheet/QVFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

class DialogRefusalTest : public SampleDealTest<AdjRes, Adjust, Margin2, TaxFee, TaxSet, Trade> {
 protected:
  void SetUp() override {
    SampleDealTest::SetUp();
    active.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected question: " << what; });
  }
  // Tabs into `box`, types `text` over its selected text and presses Tab.
  static void TypeAndTab(QLineEdit* box, const std::string& text) {
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    box->selectAll();
    QTest::keyClicks(box, QString::fromStdString(text));
    QTest::keyClick(box, Qt::Key_Tab);
    QApplication::processEvents();
  }
  // The editor a grid opened on a cell.
  static QLineEdit* CellEditor(grid::GridWidget* g, int row, int col) {
    if (!g->editCell(row, col)) return nullptr;
    for (auto* e : g->view()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }

  ActivatingPrompt active;
  ui::ScopedPrompt scopedActive{active};
};

// A box refused after the focus went on to a box that never had it before: the message's
// activation must not let that box's GotFocus overwrite the text the refused box gets back.
TEST_F(DialogRefusalTest, ARefusedDialogBoxShowsItsOwnValueAgain) {
  struct Case {
    const char* typed;
    std::string message;
  } cases[] = {
      {"1e308", kEntryTooLargeMessage},
      {"abc", "\"abc\" is not a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    {
      AdjRes& w = windows.Get<AdjRes>();
      w.txtAdditionalMiles->setText("1000");
      w.txtCentsPerMile->setText("15");
      ASSERT_TRUE(MakeActive(&w));
      active.ClearAsked();
      active.Answer(ui::Answer::OK);
      TypeAndTab(w.txtAdditionalMiles, c.typed);
      EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{c.message});
      EXPECT_NE(QApplication::focusWidget(), w.txtAdditionalMiles);
      EXPECT_EQ(Text(w.txtAdditionalMiles), "1000");
      EXPECT_EQ(Text(w.txtCentsPerMile), "15");
      EXPECT_EQ(Text(w.lblAdjustment), "$150.00");
      w.hide();
    windows.Unload<AdjRes>();
    }
    {
      // The tax settings: the rate box refused, the next box keeps its own text.
      TaxSet& w = windows.Get<TaxSet>();
      ASSERT_TRUE(MakeActive(&w));
      const std::string own = Text(w.Text2[0]);
      const float rate = eng.tax.LeaseTaxRate;
      active.ClearAsked();
      active.Answer(ui::Answer::OK);
      TypeAndTab(w.Text2[0], std::string(c.typed) == "abc" ? "abc" : "1e308");
      ASSERT_EQ(active.MessageTexts().size(), 1u);
      if (std::string(c.typed) == "abc") EXPECT_EQ(active.MessageTexts()[0], c.message);
      EXPECT_EQ(Text(w.Text2[0]), own);
      EXPECT_EQ(eng.tax.LeaseTaxRate, rate);
      w.hide();
    windows.Unload<TaxSet>();
    }
  }
}

TEST_F(DialogRefusalTest, TextThatIsNotANumberIsRefusedInBoxesAndCells) {
  // The trade-in allowance: pasted text keeps the amount.
  {
    Trade& w = windows.Get<Trade>();
    ASSERT_TRUE(MakeActive(&w));
    TypeAndTab(w.Text1[0], "5000");
    ASSERT_EQ(eng.items.TradeAllowance, 5000);
    const std::string own = Text(w.Text1[0]);
    active.Answer(ui::Answer::OK);
    TypeAndTab(w.Text1[0], "Trade: $4,000 (Civic)");
    EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{"\"Trade: $4,000 (Civic)\" is not a number."});
    EXPECT_EQ(eng.items.TradeAllowance, 5000);
    EXPECT_EQ(Text(w.Text1[0]), own);
    w.hide();
    windows.Unload<Trade>();
  }
  // A grid cell of the adjustments: the cell and the record keep their amount.
  {
    Adjust& w = windows.Get<Adjust>();
    ASSERT_TRUE(MakeActive(&w));
    grid::GridWidget* g = w.AdjustmentSheet;
    QLineEdit* editor = CellEditor(g, 1, 3);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "300");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(eng.items.Adjustments[1].Cash, 300);
    const PageInputs before = eng.SnapshotInputs();
    const std::string cell = w.AdjustmentSheetData.TextRC(1, 3);
    active.ClearAsked();
    active.Answer(ui::Answer::OK);
    editor = CellEditor(g, 1, 3);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "abc");
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{"\"abc\" is not a number."});
    EXPECT_EQ(eng.items.Adjustments[1].Cash, 300);
    EXPECT_EQ(w.AdjustmentSheetData.TextRC(1, 3), cell);
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    w.hide();
    windows.Unload<Adjust>();
  }
  // The margin parts: a cell read as plain money.
  {
    Margin2& w = windows.Get<Margin2>();
    ASSERT_TRUE(MakeActive(&w));
    const double profit = eng.page.Profit;
    active.ClearAsked();
    active.Answer(ui::Answer::OK);
    QLineEdit* editor = CellEditor(w.F1Book1, Margin2::kProfit, 1);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "lots");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{"\"lots\" is not a number."});
    EXPECT_EQ(eng.page.Profit, profit);
    w.hide();
    windows.Unload<Margin2>();
  }
}

}  // namespace
}  // namespace qv::test
