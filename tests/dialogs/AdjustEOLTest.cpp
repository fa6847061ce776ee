// The adjustments and end-of-lease fees windows on the common page: what they show, edits
// and the one amount rule, edits outside the rows, Enter, OK and the close box, and the
// totals reaching the cap cost, the cash required and the lease's future cost.
#include <QLabel>
#include <QPushButton>

#include "dialogs/Adjust.h"
#include "dialogs/EOLFee.h"
#include "tests/dialogs/DealInputsFixture.h"

namespace qv::test {
namespace {

class AdjustEOLTest : public DealInputsTest {
 protected:
  void TearDown() override {
    windows.Unload<Adjust>();
    windows.Unload<EOLFee>();
    DealInputsTest::TearDown();
  }
};

TEST_F(AdjustEOLTest, AdjustmentsOpenWithTheRecordsAndTheirTotals) {
  eng.items.Adjustments[1] = {"Dealer prep", 500, 0};
  eng.items.Adjustments[2] = {"Note only", 0, 0};
  eng.items.Adjustments[3] = {"Credit", 0, -100};
  Adjust& w = windows.Get<Adjust>();
  EXPECT_EQ(w.windowTitle(), "Adjustments");
  EXPECT_EQ(w.Command1->text(), " &Ok");
  const grid::Sheet& s = w.AdjustmentSheetData;
  EXPECT_EQ(s.ColText(1), "Adjustment");
  EXPECT_EQ(s.ColText(2), "Capitalize");
  EXPECT_EQ(s.ColText(3), "Cash");
  EXPECT_EQ(w.AdjustmentSheet->rowCount(), 10);
  EXPECT_EQ(w.AdjustmentSheet->columnCount(), 3);
  EXPECT_EQ(s.TextRC(1, 1), "Dealer prep");
  EXPECT_EQ(s.NumberRC(1, 2), 500);
  EXPECT_TRUE(s.IsEmpty(1, 3));
  EXPECT_EQ(s.TextRC(2, 1), "Note only");
  EXPECT_TRUE(s.IsEmpty(2, 2) && s.IsEmpty(2, 3));
  EXPECT_EQ(w.AdjustmentSheet->displayText(3, 3).toStdString(), "($100.00)");
  EXPECT_EQ(Text(w.lblTotalCap), "$500.00");
  EXPECT_EQ(Text(w.lblTotalCash), "($100.00)");
}

TEST_F(AdjustEOLTest, EditsAndOkStoreTheSameAmountsAndTheTotalsReachThePage) {
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<Adjust&>(m);
    grid::GridWidget* g = w.AdjustmentSheet;
    TypeInCell(g, 1, 1, "Dealer prep");
    TypeInCell(g, 1, 2, "$500");
    TypeInCell(g, 2, 1, "Credit");
    TypeInCell(g, 2, 3, "(250)");
    TypeInCell(g, 3, 3, "-100");
    TypeInCell(g, 4, 1, "Description only");
    EXPECT_EQ(eng.items.Adjustments[2].Cash, -250);
    EXPECT_EQ(w.AdjustmentSheetData.NumberRC(2, 3), -250);
    EXPECT_EQ(Text(w.lblTotalCap), "$500.00");
    EXPECT_EQ(Text(w.lblTotalCash), "($350.00)");
    // Nothing is recalculated before the window closes.
    EXPECT_NEAR(eng.res.CapCost, 21500, 1e-9);
    w.Command1_Click();
    return 1;
  });
  ASSERT_TRUE(qv->Command1[1]->isEnabled());
  qv->Command1[1]->click();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "Adjust");
  const PageItems& it = eng.items;
  EXPECT_EQ(it.Adjustments[1], (AdjustmentRec{"Dealer prep", 500, 0}));
  EXPECT_EQ(it.Adjustments[2], (AdjustmentRec{"Credit", 0, -250}));
  EXPECT_EQ(it.Adjustments[3], (AdjustmentRec{"", 0, -100}));
  EXPECT_EQ(it.Adjustments[4], (AdjustmentRec{"Description only", 0, 0}));
  EXPECT_EQ(it.TotalAdjust.Cap, 500);
  EXPECT_EQ(it.TotalAdjust.Cash, -350);
  EXPECT_EQ(eng.WorksheetModified, -1);
  // Cap cost 22000: payment, first payment 384.54 and a deposit of 400 in cash, less 350.
  const double payment = HomePaymentWT(22000);
  EXPECT_NEAR(eng.res.CapCost, 22000, 1e-9);
  EXPECT_NEAR(eng.res.PaymentWT, payment, 1e-6);
  EXPECT_NEAR(eng.res.LCashReqd, Cents(payment) + DepositFor(payment) - 350, 1e-9);
  // The records are in the workbook: a reload gives them back.
  PageItems stored = eng.items;
  eng.items = PageItems{};
  eng.LoadPageItems();
  EXPECT_EQ(eng.items.Adjustments, stored.Adjustments);
  EXPECT_EQ(eng.items.TotalAdjust, stored.TotalAdjust);
}

TEST_F(AdjustEOLTest, EditsOutsideTheTenRowsNeverReachTheRecords) {
  const PageItems before = eng.items;
  Adjust& a = windows.Get<Adjust>();
  EXPECT_FALSE(TypeInCell(a.AdjustmentSheet, 11, 2, "5"));
  EXPECT_FALSE(TypeInCell(a.AdjustmentSheet, 1, 4, "5"));
  a.AdjustmentSheetData.SetActiveCell(11, 2);
  QString text("5");
  bool cancel = false;
  a.AdjustmentSheet_EndEdit(&text, &cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(eng.items.Adjustments, before.Adjustments);

  EOLFee& f = windows.Get<EOLFee>();
  EXPECT_FALSE(TypeInCell(f.EOLSheet, 11, 2, "5"));
  EXPECT_FALSE(TypeInCell(f.EOLSheet, 2, 1, "Renamed"));  // the fixed kinds keep their names
  f.EOLSheetData.SetActiveCell(11, 2);
  cancel = false;
  f.EOLSheet_EndEdit(&text, &cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(eng.items.EOLFees, before.EOLFees);
}

TEST_F(AdjustEOLTest, EnterMovesTheActiveCell) {
  struct Move {
    int row, col, toRow, toCol;
  };
  Adjust& a = windows.Get<Adjust>();
  for (const Move& m : {Move{2, 1, 2, 2}, Move{2, 2, 2, 3}, Move{4, 3, 5, 1}, Move{10, 3, 10, 1}}) {
    a.AdjustmentSheet->setActiveCell(m.row, m.col);
    a.AdjustmentSheet_KeyUp(13, 0);
    EXPECT_EQ(a.AdjustmentSheetData.ActiveRow(), m.toRow) << m.row << "," << m.col;
    EXPECT_EQ(a.AdjustmentSheetData.ActiveCol(), m.toCol) << m.row << "," << m.col;
  }
  EOLFee& f = windows.Get<EOLFee>();
  for (const Move& m : {Move{5, 1, 5, 2}, Move{3, 2, 4, 1}, Move{10, 2, 10, 1}}) {
    f.EOLSheet->setActiveCell(m.row, m.col);
    f.EOLSheet_KeyUp(13, 0);
    EXPECT_EQ(f.EOLSheetData.ActiveRow(), m.toRow) << m.row << "," << m.col;
    EXPECT_EQ(f.EOLSheetData.ActiveCol(), m.toCol) << m.row << "," << m.col;
  }
  // Other keys do nothing.
  f.EOLSheet->setActiveCell(5, 1);
  f.EOLSheet_KeyUp(40, 0);
  EXPECT_EQ(f.EOLSheetData.ActiveRow(), 5);
}

TEST_F(AdjustEOLTest, TheCloseBoxKeepsTheEditsAsOkDoes) {
  Adjust& w = windows.Get<Adjust>();
  TypeInCell(w.AdjustmentSheet, 5, 2, "1,000");
  w.reject();
  windows.Unload<Adjust>();
  EXPECT_EQ(eng.items.Adjustments[5].Cap, 1000);
  EXPECT_EQ(eng.items.TotalAdjust.Cap, 1000);
  EXPECT_NEAR(eng.res.CapCost, 22500, 1e-9);
  // Stored with the page.
  eng.items.Adjustments[5].Cap = 0;
  eng.LoadPageItems();
  EXPECT_EQ(eng.items.Adjustments[5].Cap, 1000);
}

TEST_F(AdjustEOLTest, FeesOpenWithTheFixedKindsAndEveryChangeReachesTheFutureCost) {
  eng.items.EOLFees[2].Desc = "something else";  // rows 1 to 3 show their fixed kinds anyway
  eng.items.EOLFees[5] = {"Key replacement", 75};
  EOLFee& w = windows.Get<EOLFee>();
  EXPECT_EQ(w.windowTitle(), "End of Lease Fees");
  EXPECT_EQ(w.Command1[0]->text(), " &Ok");
  EXPECT_EQ(w.Command1[1]->text(), " &Milage");
  const grid::Sheet& s = w.EOLSheetData;
  EXPECT_EQ(s.ColText(1), "Fee Description");
  EXPECT_EQ(s.ColText(2), "Amount");
  EXPECT_EQ(s.TextRC(1, 1), "Excess Milage Fee");
  EXPECT_EQ(s.TextRC(2, 1), "Disposition Fee");
  EXPECT_EQ(s.TextRC(3, 1), "Excessive Wear and Tear");
  EXPECT_EQ(s.TextRC(5, 1), "Key replacement");
  EXPECT_TRUE(s.IsEmpty(1, 2) && s.IsEmpty(2, 2));
  EXPECT_EQ(Text(w.lblTotalFees), "$75.00");

  TypeInCell(w.EOLSheet, 2, 2, "350");
  EXPECT_EQ(Text(w.lblTotalFees), "$425.00");
  EXPECT_NEAR(eng.res.LeaseFC, 13265.902778 + 425, 1e-6);
  TypeInCell(w.EOLSheet, 1, 2, "$1,200");
  EXPECT_EQ(Text(w.lblTotalFees), "$1,625.00");
  EXPECT_EQ(s.NumberRC(1, 2), 1200);
  EXPECT_NEAR(eng.res.LeaseFC, 13265.902778 + 1625, 1e-6);
  TypeInCell(w.EOLSheet, 6, 2, "(25)");  // a credit
  TypeInCell(w.EOLSheet, 6, 1, "Credit");
  EXPECT_EQ(eng.items.EOLFees[6], (EOLFeeRec{"Credit", -25}));
  EXPECT_EQ(eng.items.EOLFees[2].Desc, "Disposition Fee");
  EXPECT_EQ(eng.WorksheetModified, -1);

  w.Command1_Click(0);
  windows.Unload<EOLFee>();
  EXPECT_EQ(eng.items.TotalEOLFees, 1600);
  PageItems stored = eng.items;
  eng.items = PageItems{};
  eng.LoadPageItems();
  EXPECT_EQ(eng.items.EOLFees, stored.EOLFees);
  EXPECT_EQ(eng.items.TotalEOLFees, 1600);
}

TEST_F(AdjustEOLTest, APageWithoutFeesOpensEmpty) {
  EOLFee& w = windows.Get<EOLFee>();
  for (int r = 1; r <= 10; ++r) EXPECT_TRUE(w.EOLSheetData.IsEmpty(r, 2)) << r;
  EXPECT_EQ(Text(w.lblTotalFees), " ");
  EXPECT_EQ(eng.items.TotalEOLFees, 0);
}

}  // namespace
}  // namespace qv::test
