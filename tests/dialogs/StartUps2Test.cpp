// The start-up costs window on the common page: the sheet it shows, hand splits and their
// bold marking, the trade-equity and double-click rules, the Taxable boxes and the save
// question of OK, the Miles and Trade buttons, the Taxes toggle and the main window's button.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/Milage.h"
#include "dialogs/StartUps2.h"
#include "dialogs/Trade.h"
#include "tests/dialogs/DealInputsFixture.h"

namespace qv::test {
namespace {

constexpr int kSecurityRow = 3, kTradeRow = 11, kAcquisitionRow = 12, kMilesRow = 14, kOtherRow = 15;
constexpr int kAcquisitionBox = 10;

class StartUps2Test : public DealInputsTest {
 protected:
  StartUps2& Open() {
    StartUps2& w = windows.Get<StartUps2>();
    w.Form_Activate();
    return w;
  }
  bool Bold(int row, int col) const { return eng.StartUpsSheet.FontRC(row, col).bold; }
  std::string Shown(StartUps2& w, int row, int col) { return w.StartUpsSheet->displayText(row, col).toStdString(); }
};

TEST_F(StartUps2Test, TheMainWindowButtonShowsTheSheetAndOkHidesTheWindow) {
  ASSERT_TRUE(qv->Command1[0]->isEnabled());
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<StartUps2&>(m);
    EXPECT_EQ(w.windowTitle(), "Start Ups");
    EXPECT_EQ(Shown(w, 2, 1), "First Payment");
    EXPECT_EQ(Shown(w, 2, 3), "368.50");
    EXPECT_EQ(Shown(w, kSecurityRow, 3), "375.00");
    EXPECT_EQ(Shown(w, kTradeRow, 1), "Less              Equity");
    EXPECT_EQ(Shown(w, 17, 3), "743.50");
    EXPECT_EQ(Text(w.Label1[0]), "Cap Reduction (Cash)");
    EXPECT_EQ(Text(w.Label1[1]), "Total Cash Required at Signing:");
    EXPECT_EQ(Text(w.Label2[0]), " ");
    EXPECT_EQ(Text(w.Label2[1]), "$743.50");
    const char* captions[5] = {" &OK", " &Miles", " &Trade", "T&axes >>", "&Calculate Value"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Command1[i]->text().toStdString(), captions[i]);
    w.Command1_Click(0);
    return 1;
  });
  qv->Command1[0]->click();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "StartUps2");
  // OK hides the window; it stays loaded.
  ASSERT_TRUE(windows.Loaded<StartUps2>());
  EXPECT_FALSE(windows.Get<StartUps2>().isVisible());
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_FALSE(prompt.Busy());
}

TEST_F(StartUps2Test, AHandSplitStaysBoldThroughRecalculationsUntilTheAutomaticAmountIsBack) {
  StartUps2& w = Open();
  TypeInCell(w.StartUpsSheet, kSecurityRow, 2, "100");
  const StartUpItem& sec = eng.items.Security;
  EXPECT_EQ(sec.Cap, 100);
  EXPECT_EQ(sec.Cash, 375);
  EXPECT_EQ(sec.ManualSplit, 1);
  EXPECT_EQ(eng.WorksheetModified, -1);
  // 100 more is capitalised: the payment and the cash follow.
  EXPECT_NEAR(eng.res.CapCost, 21600, 1e-9);
  EXPECT_NEAR(eng.res.PaymentWT, HomePaymentWT(21600), 1e-6);
  EXPECT_NEAR(eng.res.TotalStartUps.Cash, Cents(HomePaymentWT(21600)) + 375, 1e-9);
  for (int pass = 0; pass < 2; ++pass) {
    eng.RecalcPage();
    EXPECT_EQ(sec.Cap, 100);
    EXPECT_EQ(sec.Cash, 375);
    EXPECT_TRUE(Bold(kSecurityRow, 2) && Bold(kSecurityRow, 3));
    EXPECT_FALSE(Bold(kSecurityRow + 1, 2));
  }
  EXPECT_EQ(Shown(w, kSecurityRow, 2), "100.00");

  // Cap + Cash equal to the computed amount again: split by the calculation, plain type.
  TypeInCell(w.StartUpsSheet, kSecurityRow, 2, "0");
  EXPECT_EQ(sec.ManualSplit, 0);
  EXPECT_FALSE(Bold(kSecurityRow, 2) || Bold(kSecurityRow, 3));
  EXPECT_NEAR(eng.res.CapCost, 21500, 1e-9);
  // Less than a cent away from the amount is no hand split either.
  TypeInCell(w.StartUpsSheet, kSecurityRow, 3, "$375.004");
  EXPECT_EQ(sec.ManualSplit, 0);
  EXPECT_EQ(sec.Cash, 375);
}

TEST_F(StartUps2Test, TradeEquityKeepsItsTotalAndDoubleClicksMoveOrResetAnItem) {
  StartUps2& w = Open();
  StartUpItem& te = eng.items.TradeEquity;
  // Without trade equity the other part stays as it is.
  TypeInCell(w.StartUpsSheet, kTradeRow, 2, "500");
  EXPECT_EQ(te.Cap, 500);
  EXPECT_EQ(te.Cash, 0);

  eng.items.TradeAllowance = 2000;
  te = StartUpItem{};
  te.Cap = 2000;
  eng.RecalcPage();
  TypeInCell(w.StartUpsSheet, kTradeRow, 2, "500");
  EXPECT_EQ(te.Cap, 500);
  EXPECT_EQ(te.Cash, 1500);
  TypeInCell(w.StartUpsSheet, kTradeRow, 3, "$1,200");
  EXPECT_EQ(te.Cash, 1200);
  EXPECT_EQ(te.Cap, 800);

  // A right double-click gives the placement back to the calculation.
  w.StartUpsSheet_RightDblClick(kTradeRow, 2);
  EXPECT_EQ(te.ManualSplit, 0);
  EXPECT_EQ(te.Cap + te.Cash, 2000);

  // A double-click moves the whole item into the clicked column.
  te = StartUpItem{};
  eng.items.TradeAllowance = 0;
  eng.items.OtherFee.Cap = 300;
  eng.items.OtherFee.Cash = 200;
  eng.RecalcPage();
  w.StartUpsSheet_DblClick(kOtherRow, 3);
  EXPECT_EQ(eng.items.OtherFee.Cap, 0);
  EXPECT_EQ(eng.items.OtherFee.Cash, 500);
  EXPECT_NEAR(eng.res.TotalStartUps.Cash, 743.50 + 500, 1e-9);
  w.StartUpsSheet_DblClick(kOtherRow, 2);
  EXPECT_EQ(eng.items.OtherFee.Cap, 500);
  EXPECT_NEAR(eng.res.CapCost, 22000, 1e-9);

  // Calculate Value in the Taxable column changes nothing but marks the worksheet.
  const PageInputs before = eng.SnapshotInputs();
  eng.WorksheetModified = 0;
  w.StartUpsSheet->setActiveCell(kOtherRow, 4);
  w.Command1_Click(4);
  EXPECT_TRUE(eng.SnapshotInputs().items.OtherFee == before.items.OtherFee);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

// Calculate Value (and a right double-click) on an item split by hand gives the item its
// computed amount, all on the side the tax setting chooses: no part of the hand split stays.
// The common page: cap cost 21500, payment ((21500 + 12000) x .0025 + 9500 / 36) x 1.06 =
// 368.50, deposit 375 (the next multiple of 25), 743.50 in cash at signing.
TEST_F(StartUps2Test, CalculateValueGivesAHandSplitItemItsComputedAmountOnItsSide) {
  constexpr int kFirstPaymentRow = 2, kLuxuryRow = 10;
  struct Case {
    const char* name;
    int row;
    int16_t luxuryCapCash;  // the tax setting's side for the luxury tax
    double cap, cash;       // what Calculate Value leaves
    double capCost, cashAtSigning;
  };
  // A luxury threshold of 20000 taxes 21500 - 20000 = 1500 at 6 %: 90.00 (6 % taken in
  // single precision). Capitalised it adds 90 to the cap cost and is repaid without rent:
  // the payment is (347.64 + 90 / 36) x 1.06 = 350.14 x 1.06 = 371.15, with the deposit
  // 375 that is 746.15 at signing; paid in cash it adds 90 to the 743.50.
  const Case cases[] = {
      {"security deposit", kSecurityRow, 1, 0, 375, 21500, 743.50},
      {"first payment", kFirstPaymentRow, 1, 0, 368.50, 21500, 743.50},
      {"luxury tax capitalised", kLuxuryRow, 1, 90, 0, 21590, 746.15},
      {"luxury tax in cash", kLuxuryRow, 0, 0, 90, 21500, 833.50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    eng.tax.LuxuryThreshold = c.row == kLuxuryRow ? 20000 : 36000;
    eng.tax.LuxuryTaxCapCash = c.luxuryCapCash;
    StartUps2& w = Open();
    StartUpItem& it = *eng.ItemOfRow(c.row);
    // The hand split: 100 typed into Capitalize beside the amount in its column.
    TypeInCell(w.StartUpsSheet, c.row, 2, "100");
    TypeInCell(w.StartUpsSheet, c.row, 3, "475");
    ASSERT_EQ(it.ManualSplit, 1);
    ASSERT_EQ(it.Cap, 100);
    ASSERT_EQ(it.Cash, 475);

    w.StartUpsSheet->setActiveCell(c.row, 2);
    w.Command1_Click(4);
    EXPECT_EQ(it.ManualSplit, 0);
    EXPECT_NEAR(it.Cap, c.cap, 1e-5);
    EXPECT_NEAR(it.Cash, c.cash, 0.005);
    EXPECT_NEAR(it.Cap + it.Cash, it.Amount, 1e-9);
    EXPECT_NEAR(eng.res.CapCost, c.capCost, 1e-5);
    EXPECT_NEAR(eng.res.LCashReqd, c.cashAtSigning, 0.005);
    EXPECT_FALSE(Bold(c.row, 2) || Bold(c.row, 3));
    // Stored with the page: a reload gives the same split.
    eng.SavePageItems();
    eng.LoadPageItems();
    EXPECT_NEAR(eng.ItemOfRow(c.row)->Cash, c.cash, 0.005);

    // A right double-click does the same.
    TypeInCell(w.StartUpsSheet, c.row, 2, "100");
    TypeInCell(w.StartUpsSheet, c.row, 3, "475");
    w.StartUpsSheet_RightDblClick(c.row, 3);
    EXPECT_NEAR(it.Cap, c.cap, 1e-5);
    EXPECT_NEAR(it.Cash, c.cash, 0.005);
  }

  // A typed fee has no computed amount: the reset leaves what was typed.
  StartUps2& w = Open();
  TypeInCell(w.StartUpsSheet, kOtherRow, 2, "300");
  TypeInCell(w.StartUpsSheet, kOtherRow, 3, "200");
  w.StartUpsSheet_RightDblClick(kOtherRow, 2);
  EXPECT_EQ(eng.items.OtherFee.Cap, 300);
  EXPECT_EQ(eng.items.OtherFee.Cash, 200);
}

TEST_F(StartUps2Test, TickingTaxableTaxesTheItemAndOkAsksToSaveTheSetting) {
  const std::string fileBefore = TaxSetFile();
  for (ui::Answer answer : {ui::Answer::No, ui::Answer::Yes}) {
    SCOPED_TRACE(ui::ToString(answer));
    WriteFile(folder + "Taxset.txt", fileBefore);
    eng.items.Acquisition.AlsoTax = 0;
    eng.items.Acquisition.Cash = 0;
    StartUps2& w = Open();
    TypeInCell(w.StartUpsSheet, kAcquisitionRow, 3, "595");
    EXPECT_EQ(eng.items.Acquisition.Tax, 0);
    w.StartUpsSheet->toggleObj(kAcquisitionBox);
    EXPECT_EQ(eng.items.Acquisition.AlsoTax, 1);
    EXPECT_NEAR(eng.items.Acquisition.Tax, 595 * 0.06, 1e-9);
    EXPECT_NEAR(eng.items.STaxOnFeesTaxes.Cash, 35.70, 1e-9);
    EXPECT_EQ(eng.StartUpsSheet.TextRC(kAcquisitionRow, 5), "$35.70");
    EXPECT_NEAR(eng.res.TotalStartUps.Cash, 743.50 + 595 + 35.70, 1e-9);

    // Coming back from the trade window does not forget the change.
    prompt.Modal([](ui::ModalWindow& m) {
      dynamic_cast<Trade&>(m).Command1_Click();
      return 1;
    });
    w.Command1_Click(2);
    EXPECT_EQ(w.TaxSettingChanged, -1);

    prompt.Answer(answer);
    prompt.ClearAsked();
    w.Command1_Click(0);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    const ui::PromptRecord& q = prompt.Asked()[0];
    EXPECT_EQ(q.text, "The Home tax setting has changed. Do you wish to save changes?");
    EXPECT_EQ(q.buttons, ui::Buttons::YesNo);
    EXPECT_EQ(q.icon, ui::Icon::None);
    EXPECT_FALSE(q.title.has_value());
    EXPECT_EQ(w.TaxSettingChanged, 0);
    EXPECT_EQ(eng.items.Acquisition.AlsoTax, 1);  // in memory either way
    if (answer == ui::Answer::No) {
      EXPECT_EQ(TaxSetFile(), fileBefore);
    } else {
      // Field 14 of the line, the acquisition fee's flag, is now 1.
      EXPECT_NE(TaxSetFile().find("Home,6,0,1,1,0,0,0,0,0,1,0,0,1,1,0,0,6,0,0,1,6,1,36000,1,0,0\r\n"),
                std::string::npos)
          << TaxSetFile();
    }
  }
}

TEST_F(StartUps2Test, ChecksSetByARecalculationOrAnEarlierOpeningAreNoChange) {
  StartUps2& w = Open();
  eng.items.Acquisition.AlsoTax = 1;
  eng.RecalcPage();
  EXPECT_EQ(eng.StartUpsSheet.ObjValue(kAcquisitionBox), 1);
  EXPECT_EQ(w.TaxSettingChanged, 0);
  // A box ticked in an earlier opening is forgotten when the window opens again.
  w.StartUpsSheet->toggleObj(kAcquisitionBox);
  EXPECT_EQ(w.TaxSettingChanged, -1);
  w.Form_Activate();
  EXPECT_EQ(w.TaxSettingChanged, 0);
  w.Command1_Click(0);  // no question: the failure handler would report one
  EXPECT_TRUE(prompt.Asked().empty());
}

TEST_F(StartUps2Test, MilesAndTradeWindowsChangeTheItemsAndTheWindowRecalculates) {
  eng.page.AllowedMiles = 12000;
  StartUps2& w = Open();
  windows.Shared().MileageEOLMode = 1;  // left over: the Miles button always opens the pre-paid use
  prompt.Modal([](ui::ModalWindow& m) {
    auto& mw = dynamic_cast<Milage&>(m);
    EXPECT_EQ(mw.windowTitle(), "Pre-Paid Miles");
    mw.Text1[1]->setText("15000");
    mw.Text1_LostFocus(1);
    mw.Text1[2]->setText("15");
    mw.Text1_LostFocus(2);
    mw.Command1_Click();
    return 1;
  });
  w.Command1_Click(1);
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_EQ(eng.page.PrePaidActualMiles, 15000);
  EXPECT_NEAR(eng.items.PrePaidMileFee.Cash, 1350, 1e-9);
  EXPECT_NEAR(eng.res.LCashReqd, 743.50 + 1350, 1e-9);
  EXPECT_EQ(Text(w.Label2[1]), "$2,093.50");

  prompt.Modal([](ui::ModalWindow& m) {
    auto& t = dynamic_cast<Trade&>(m);
    t.Text1[0]->setText("8000");
    t.Text1_LostFocus(0);
    t.Text1[1]->setText("5500");
    t.Text1_LostFocus(1);
    t.Command1_Click();
    return 1;
  });
  w.Command1_Click(2);
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_NEAR(eng.items.TradeEquity.Cap, 2500, 1e-9);
  EXPECT_NEAR(eng.res.CapCost, 19000, 1e-9);
  EXPECT_NEAR(eng.res.PaymentWT, HomePaymentWT(19000), 1e-6);
  EXPECT_EQ(eng.StartUpsSheet.NumberRC(kTradeRow, 2), 2500);
  EXPECT_NEAR(eng.StartUpsSheet.NumberRC(kMilesRow, 3), 1350, 1e-9);
}

TEST_F(StartUps2Test, TheTaxesToggleShowsTheTaxColumnsAndComesBack) {
  StartUps2& w = Open();
  EXPECT_FALSE(w.Expanded());
  EXPECT_EQ(w.StartUpsSheet->columnCount(), 3);
  w.Command1_Click(3);
  EXPECT_TRUE(w.Expanded());
  EXPECT_EQ(w.StartUpsSheet->columnCount(), 5);
  EXPECT_EQ(w.Command1[3]->text().toStdString(), "<<T&axes");
  EXPECT_EQ(w.width(), 412);
  EXPECT_EQ(w.x(), 219);
  w.Command1_Click(3);
  EXPECT_EQ(w.StartUpsSheet->columnCount(), 3);
  EXPECT_EQ(w.Command1[3]->text().toStdString(), "T&axes>>");
  EXPECT_EQ(w.width(), 307);
  EXPECT_EQ(w.x(), 329);
}

TEST_F(StartUps2Test, WhileShownTheWindowFollowsEveryRecalculation) {
  StartUps2& w = Open();
  w.show();
  eng.page.CapRd = 1000;
  eng.RecalcPage();
  // Cap reduction 1000: cap cost 20500, the 6 % tax on the cap reduction (60) in cash.
  const double payment = HomePaymentWT(20500);
  EXPECT_EQ(Text(w.Label2[0]), "$1,000.00");
  EXPECT_EQ(Text(w.Label2[1]), Format(1000 + Cents(payment) + DepositFor(payment) + 60, "$#,###.00"));
  EXPECT_EQ(Shown(w, 2, 3), Format(Cents(payment), "#,###.00"));
  w.hide();
}

// The total is what the customer pays at signing, as the main window shows it: 368.50 first
// payment + 375.00 deposit + a $300 adjustment paid in cash = 1,043.50.
TEST_F(StartUps2Test, TheTotalIsTheWholeCashDueCashAdjustmentsIncluded) {
  StartUps2& w = Open();
  w.show();
  ASSERT_EQ(Text(w.Label2[1]), "$743.50");
  eng.items.Adjustments[1] = {"Paint", 0, 300};
  eng.items.TotalAdjust.Cash = 300;
  eng.SkipItemReload = -1;
  eng.RecalcPage();
  eng.SkipItemReload = 0;
  EXPECT_EQ(Text(w.Label2[1]), "$1,043.50");
  EXPECT_EQ(Trim(Text(qv->lblPayment[0])), "$1,043.50");
  w.hide();
}

}  // namespace
}  // namespace qv::test
