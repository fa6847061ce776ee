// The margin window: the five parts of the margin, the total that becomes the margin, the
// keys of its grid and its way in from the main window.
#include <QPushButton>

#include "dialogs/Margin2.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class Margin2Test : public SampleDealTest<Margin2> {
 protected:
  Margin2& Open() { return windows.Get<Margin2>(); }
  static std::string Shown(const Margin2& w, int row) { return w.F1Book1->displayText(row, 1).toStdString(); }
};

TEST_F(Margin2Test, OtherIsTheMarginLessTheOtherPartsSoClosingWithoutAnEditKeepsTheMargin) {
  struct Case {
    const char* name;
    double profit, advertising, incentive, holdback, storedOther;
    double other;
  };
  const Case cases[] = {
      {"parts below the margin", 600, 100, -200, -300, 0, 800},
      // A stored Other that no longer fits is put right, so the total stays the margin.
      {"stale other", 600, 100, 200, 100, 50, 0},
      {"parts above the margin", 900, 400, 0, 0, 25, -300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageRecord& p = eng.page;
    p.Margin = 1000;
    p.Profit = c.profit;
    p.Advertising = c.advertising;
    p.Incentive = c.incentive;
    p.Holdback = c.holdback;
    p.Other = c.storedOther;
    eng.WorksheetModified = 0;
    Margin2& w = Open();
    EXPECT_EQ(w.windowTitle(), "Margin");
    EXPECT_DOUBLE_EQ(p.Other, c.other);
    EXPECT_DOUBLE_EQ(w.F1Book1Data.NumberRC(Margin2::kOther, 1), c.other);
    EXPECT_EQ(Shown(w, Margin2::kTotal), "$1,000.00");
    w.Command1_Click();
    windows.Unload<Margin2>();
    EXPECT_EQ(p.Margin, 1000);
    EXPECT_EQ(eng.WorksheetModified, 0);
  }
}

TEST_F(Margin2Test, TypedPartsMakeTheNewMargin) {
  Margin2& w = Open();
  ASSERT_DOUBLE_EQ(eng.page.Other, 1000);
  struct Edit {
    int row;
    const char* typed;
    double stored;
    const char* shown;
  };
  const Edit edits[] = {
      {Margin2::kProfit, "$1,200", 1200, "$1,200.00"},
      {Margin2::kAdvertising, "150", 150, "$150.00"},
      // Factory credits are negative unless typed with a "+".
      {Margin2::kIncentive, "300", -300, "($300.00)"},
      {Margin2::kHoldback, "+500", 500, "$500.00"},
      {Margin2::kHoldback, "-250", -250, "($250.00)"},
      {Margin2::kOther, "-100", -100, "($100.00)"},
  };
  for (const Edit& e : edits) {
    SCOPED_TRACE(e.typed);
    ASSERT_TRUE(w.F1Book1->commitEdit(e.row, 1, QString::fromUtf8(e.typed)));
    EXPECT_DOUBLE_EQ(w.F1Book1Data.NumberRC(e.row, 1), e.stored);
    EXPECT_EQ(Shown(w, e.row), e.shown);
  }
  EXPECT_EQ(eng.page.Profit, 1200);
  EXPECT_EQ(eng.page.Advertising, 150);
  EXPECT_EQ(eng.page.Incentive, -300);
  EXPECT_EQ(eng.page.Holdback, -250);
  EXPECT_EQ(eng.page.Other, -100);
  // The grid reader knows no parentheses: "(100)" is no number here, and is refused.
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(w.F1Book1->commitEdit(Margin2::kOther, 1, "(100)"));
  EXPECT_EQ(prompt.MessageTexts().back(), "\"(100)\" is not a number.");
  EXPECT_EQ(eng.page.Other, -100);
  EXPECT_EQ(Shown(w, Margin2::kOther), "($100.00)");
  // 1200 + 150 - 300 - 250 - 100.
  EXPECT_EQ(Shown(w, Margin2::kTotal), "$700.00");
  EXPECT_FALSE(w.F1Book1->isCellEditable(Margin2::kTotal, 1));
  EXPECT_EQ(eng.page.Margin, 1000) << "the margin changes when the window closes";

  w.Command1_Click();
  EXPECT_DOUBLE_EQ(eng.page.Margin, 700);
  EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 21200);  // 20500 invoice + 700
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(Margin2Test, TheCloseBoxAlsoWritesTheMargin) {
  Margin2& w = Open();
  w.F1Book1->commitEdit(Margin2::kProfit, 1, "250");
  w.reject();
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1250);
  EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 21750);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(Margin2Test, KeysAndClicksKeepTheCursorOnTheFiveParts) {
  Margin2& w = Open();
  struct Case {
    const char* name;
    int from;
    int key;  // Qt key for key down, or 13 for Enter
    int to;
    bool swallowed;
  };
  const Case cases[] = {
      {"Enter on profit", Margin2::kProfit, 13, Margin2::kAdvertising, false},
      {"Enter on holdback", Margin2::kHoldback, 13, Margin2::kOther, false},
      {"Enter on other", Margin2::kOther, 13, Margin2::kProfit, true},
      {"Enter on the total", Margin2::kTotal, 13, Margin2::kProfit, true},
      {"Down on other", Margin2::kOther, Qt::Key_Down, Margin2::kProfit, true},
      {"Down on profit", Margin2::kProfit, Qt::Key_Down, Margin2::kProfit, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    w.F1Book1->setActiveCell(c.from, 1);
    int key = c.key;
    if (c.key == 13) w.F1Book1_KeyPress(&key);
    else w.F1Book1_KeyDown(&key);
    EXPECT_EQ(w.F1Book1->activeRow(), c.to);
    EXPECT_EQ(key == 0, c.swallowed);
  }
  w.F1Book1->setActiveCell(Margin2::kTotal, 1);
  w.F1Book1_Click();
  EXPECT_EQ(w.F1Book1->activeRow(), Margin2::kOther);
}

TEST_F(Margin2Test, TheMarginButtonOpensTheWindowModally) {
  ASSERT_TRUE(qv->Command1[2]->isEnabled());
  prompt.Modal([](ui::ModalWindow& m) {
    auto& w = dynamic_cast<Margin2&>(m);
    w.F1Book1->commitEdit(Margin2::kHoldback, 1, "400");
    return 1;
  });
  qv->Command1[2]->click();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "Margin2");
  EXPECT_FALSE(windows.Loaded<Margin2>());
  EXPECT_DOUBLE_EQ(eng.page.Margin, 600);
  EXPECT_EQ(test::Text(qv->Text3[4]), "$600.00");
  EXPECT_EQ(eng.WorksheetModified, -1);
}

}  // namespace
}  // namespace qv::test
