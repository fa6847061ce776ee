// The mileage window in its two uses and the trade window: the excess miles and fee, the
// price per mile typed as cents or dollars, where the pre-paid fee and the trade equity go,
// the end-of-lease fee row, and the DialogDone hand-shake with the openers.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/EOLFee.h"
#include "dialogs/Milage.h"
#include "dialogs/Trade.h"
#include "tests/dialogs/DealInputsFixture.h"

namespace qv::test {
namespace {

class MileageTradeTest : public DealInputsTest {
 protected:
  void SetUp() override {
    DealInputsTest::SetUp();
    eng.page.AllowedMiles = 12000;
  }
  void TearDown() override {
    windows.Unload<Milage>();
    windows.Unload<Trade>();
    windows.Unload<EOLFee>();
    DealInputsTest::TearDown();
  }
  static void Type(Milage& w, int box, const std::string& text) {
    w.Text1_GotFocus(box);
    w.Text1[box]->setText(QString::fromStdString(text));
    w.Text1_LostFocus(box);
  }
  static void Type(Trade& w, int box, const std::string& text) {
    w.Text1_GotFocus(box);
    w.Text1[box]->setText(QString::fromStdString(text));
    w.Text1_LostFocus(box);
  }
};

TEST_F(MileageTradeTest, ExcessMilesAndFeeOfEachUse) {
  struct Case {
    int16_t mode;
    const char* caption;
    const char* actual;
    int32_t actualMiles;
    const char* price;
    double perMile;
    const char* excessShown;
    const char* feeShown;
    double fee;
  };
  // 36 months: (actual - 12,000) a year for three years.
  const Case cases[] = {
      {0, "Pre-Paid Miles", "15000", 15000, "15", 0.15, "       9,000", " $1,350.00", 1350},
      {0, "Pre-Paid Miles", "15,000.4", 15000, ".15", 0.15, "       9,001", " $1,350.18", 1350.18},
      {1, "End-of-Lease Miles", "16500", 16500, "1", 0.01, "      13,500", "   $135.00", 135},
      // Below the allowance: no excess and no fee (zero shows as blanks).
      {1, "End-of-Lease Miles", "11000", 11000, "20", 0.20, "            ", "          ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " " + c.actual + " " + c.price);
    SetUpCommonPage(eng);
    eng.page.AllowedMiles = 12000;
    eng.RecalcPage();
    windows.Shared().MileageEOLMode = c.mode;
    Milage& w = windows.Get<Milage>();
    EXPECT_EQ(w.windowTitle().toStdString(), c.caption);
    EXPECT_EQ(Text(w.Label6), "    12,000");
    Type(w, 1, c.actual);
    Type(w, 2, c.price);
    EXPECT_DOUBLE_EQ(w.CentsPerMile, c.perMile);
    EXPECT_EQ(Text(w.lblExcessMiles), c.excessShown);
    EXPECT_EQ(Text(w.lblMilagefee), c.feeShown);
    EXPECT_NEAR(w.MileageFee, c.fee, 1e-9);
    w.Command1_Click();
    windows.Unload<Milage>();
    EXPECT_EQ(eng.DialogDone, -1);
    EXPECT_EQ(windows.Shared().MileageEOLMode, 0);
    eng.DialogDone = 0;
    if (c.mode == 0) {
      EXPECT_EQ(eng.page.PrePaidActualMiles, c.actualMiles);
      EXPECT_DOUBLE_EQ(eng.page.PrePaidCentsPerMile, c.perMile);
      EXPECT_NEAR(eng.items.PrePaidMileFee.Cash, c.fee, 1e-9);
      EXPECT_EQ(eng.items.PrePaidMileFee.ManualSplit, 0);
    } else {
      EXPECT_EQ(eng.page.EOLActualMiles, c.actualMiles);
      EXPECT_DOUBLE_EQ(eng.page.EOLCentsperMile, c.perMile);
      EXPECT_NEAR(eng.items.EOLFees[1].Amount, c.fee, 1e-9);
      // The end-of-lease fee reaches the lease's future cost at once.
      EXPECT_NEAR(eng.res.LeaseFC, 13265.902778 + c.fee, 1e-6);
    }
  }
}

TEST_F(MileageTradeTest, PrePaidFeeGoesWhereTheItemAlreadyIsAndBoxesShowTheirFormats) {
  eng.page.PrePaidActualMiles = 15000;
  eng.page.PrePaidCentsPerMile = 0.15;
  eng.items.PrePaidMileFee.Cap = 1;  // capitalised already
  eng.items.PrePaidMileFee.ManualSplit = 1;
  Milage& w = windows.Get<Milage>();
  EXPECT_EQ(Text(w.Text1[1]), "    15,000");
  EXPECT_EQ(Text(w.Text1[2]), "   .15");
  EXPECT_NEAR(eng.items.PrePaidMileFee.Cap, 1350, 1e-9);
  EXPECT_EQ(eng.items.PrePaidMileFee.Cash, 0);
  Type(w, 2, "0.10");
  EXPECT_NEAR(eng.items.PrePaidMileFee.Cap, 900, 1e-9);
  w.Command1_Click();
  EXPECT_EQ(eng.items.PrePaidMileFee.ManualSplit, 0);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(MileageTradeTest, EndOfLeaseModeFillsRowOneOfTheFeeWindowAndTheNextOpeningIsPrePaid) {
  EOLFee& fees = windows.Get<EOLFee>();
  TypeInCell(fees.EOLSheet, 2, 2, "350");
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<Milage&>(m);
    EXPECT_EQ(w.Mode(), 1);
    EXPECT_EQ(w.pos(), QPoint(337, 21));
    Type(w, 1, "15000");
    Type(w, 2, "20");
    w.Command1_Click();
    return 1;
  });
  fees.Command1_Click(1);
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_EQ(windows.Shared().MileageEOLMode, 0);
  EXPECT_EQ(fees.EOLSheetData.NumberRC(1, 2), 1800);
  EXPECT_EQ(Text(fees.lblTotalFees), "$2,150.00");
  EXPECT_EQ(eng.items.TotalEOLFees, 2150);
  EXPECT_NEAR(eng.res.LeaseFC, 13265.902778 + 2150, 1e-6);

  Milage& again = windows.Get<Milage>();
  EXPECT_EQ(again.windowTitle(), "Pre-Paid Miles");
}

TEST_F(MileageTradeTest, TradeEquityGoesToTheCashOrTheCapSide) {
  struct Case {
    const char* allowance;
    const char* payoff;
    const char* allowanceShown;
    double cashBefore;
    double cap, cash;
    const char* shown;
  };
  const Case cases[] = {
      {"8000", "5500", " $8,000.00", 0, 2500, 0, " $2,500.00"},
      {"$8,000", "$5,500.00", " $8,000.00", 300, 0, 2500, " $2,500.00"},
      {"3000", "4200", " $3,000.00", 0, -1200, 0, "($1,200.00)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.allowance) + " - " + c.payoff);
    eng.items.TradeEquity = StartUpItem{};
    eng.items.TradeEquity.Cash = c.cashBefore;
    eng.items.TradeEquity.ManualSplit = 1;
    Trade& w = windows.Get<Trade>();
    EXPECT_EQ(w.windowTitle(), "Trade");
    Type(w, 0, c.allowance);
    Type(w, 1, c.payoff);
    EXPECT_EQ(Text(w.Text1[0]), c.allowanceShown);
    EXPECT_EQ(eng.items.TradeEquity.Cap, c.cap);
    EXPECT_EQ(eng.items.TradeEquity.Cash, c.cash);
    EXPECT_EQ(Text(w.lblTradeEquity), c.shown);
    w.Command1_Click();
    windows.Unload<Trade>();
    EXPECT_EQ(eng.items.TradeEquity.ManualSplit, 0);
    EXPECT_EQ(eng.DialogDone, -1);
    eng.DialogDone = 0;
  }
  // The opener recalculates: a capitalised negative equity adds to the cap cost.
  eng.RecalcPage();
  EXPECT_NEAR(eng.res.CapCost, 21500 + 1200, 1e-9);
  EXPECT_NEAR(eng.res.PaymentWT, HomePaymentWT(22700), 1e-6);
}

TEST_F(MileageTradeTest, ClosingByTheCloseBoxKeepsWhatWasTypedAndEndsTheWait) {
  prompt.Modal([](ui::ModalWindow& m) {
    auto& w = dynamic_cast<Trade&>(m);
    w.Text1[0]->setText("1000");
    w.Text1_LostFocus(0);
    w.reject();
    return 0;
  });
  EXPECT_TRUE(Trade::ShowModalAndWait(*qv));
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_EQ(eng.items.TradeAllowance, 1000);
  EXPECT_FALSE(windows.Loaded<Trade>());
}

}  // namespace
}  // namespace qv::test
