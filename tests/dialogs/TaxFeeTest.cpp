// The taxes and fees window on the common page: what it shows, overrides and their bold
// marking, recalculating the taxes, the lease's registration and title fees, moving in the
// grid, and closing through the main window's button.
#include <QLabel>
#include <QPushButton>

#include "dialogs/TaxFee.h"
#include "tests/dialogs/DealInputsFixture.h"

namespace qv::test {
namespace {

// The purchase sales tax of the common page: 21500 at 6 % with the rate fraction in single
// precision.
const double kSalesTax = 21500 * static_cast<double>(6.0f / 100.0f);

class TaxFeeTest : public DealInputsTest {
 protected:
  void TearDown() override {
    windows.Unload<TaxFee>();
    DealInputsTest::TearDown();
  }
  TaxFee& Open() { return windows.Get<TaxFee>(); }
  static std::string Shown(TaxFee& w, int row) { return w.F1Book1->displayText(row, 1).toStdString(); }
  static bool Bold(TaxFee& w, int row) { return w.F1Book1Data.FontRC(row, 1).bold; }
};

TEST_F(TaxFeeTest, OpensWithThePurchaseTaxesAndFeesAndTheirTotal) {
  eng.page.PurchRegistration = 80;
  eng.page.PurchOther = 20;
  TaxFee& w = Open();
  EXPECT_EQ(w.windowTitle(), "Taxes and Fees");
  const char* captions[8] = {"Registration Fee:", "Title Fee:", "Sales Tax:", "Use Tax:",
                             "Property Tax:",     "Luxury Tax:", "Total:",    "Other:"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Text(w.Label1[i]), captions[i]);
  EXPECT_EQ(w.Command1[0]->text(), "&OK");
  EXPECT_EQ(w.Command1[1]->text(), "&Re-calculate Taxes");
  EXPECT_EQ(w.Command1[2]->text(), "Use Lease Regist && &Title Fee");
  EXPECT_EQ(Shown(w, 1), "$80.00");
  EXPECT_EQ(Shown(w, 2), "$0.00");  // an empty field shows 0
  EXPECT_EQ(Shown(w, 3), "$1,290.00");
  EXPECT_EQ(Shown(w, 8), Format(80 + kSalesTax + 20, "$#,##0.00"));
  for (int row = 3; row <= 6; ++row) EXPECT_FALSE(Bold(w, row)) << row;
  // The total is no input.
  EXPECT_FALSE(TypeInCell(w.F1Book1, 8, 1, "5"));
}

TEST_F(TaxFeeTest, ATypedTaxIsAnOverrideThatTheRecalculationKeeps) {
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<TaxFee&>(m);
    TypeInCell(w.F1Book1, 3, 1, "$1,500");
    EXPECT_TRUE(Bold(w, 3));
    EXPECT_EQ(eng.page.PurchSalesOverride, -1);
    EXPECT_EQ(Shown(w, 8), "$1,500.00");
    w.Command1_Click(0);
    return 1;
  });
  ASSERT_TRUE(qv->Command4[1]->isEnabled());
  qv->Command4[1]->click();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "TaxFee");
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_EQ(static_cast<double>(eng.page.PurchSales), 1500);
  EXPECT_NEAR(eng.res.TotalTaxFee, 1500, 1e-9);
  // Price less the down payment plus the taxes and fees.
  EXPECT_NEAR(eng.res.LoanPrinciple, 21500 - 2000 + 1500, 1e-9);
}

TEST_F(TaxFeeTest, TypingTheValueTheFieldHoldsGivesTheTaxBackToTheCalculation) {
  TaxFee& w = Open();
  TypeInCell(w.F1Book1, 3, 1, "1290");  // the computed tax as shown: no override
  EXPECT_EQ(eng.page.PurchSalesOverride, 0);
  TypeInCell(w.F1Book1, 3, 1, "1500");
  EXPECT_EQ(eng.page.PurchSalesOverride, -1);
  TypeInCell(w.F1Book1, 3, 1, "1,500.00");
  EXPECT_EQ(eng.page.PurchSalesOverride, 0);
  EXPECT_FALSE(Bold(w, 3));
  eng.RecalcPage();
  EXPECT_DOUBLE_EQ(static_cast<double>(eng.page.PurchSales), kSalesTax);
}

TEST_F(TaxFeeTest, RecalculateTaxesClearsEveryOverride) {
  TaxFee& w = Open();
  const struct {
    int row;
    const char* text;
  } typed[] = {{3, "1500"}, {4, "100"}, {5, "50"}, {6, "999"}};
  for (const auto& t : typed) TypeInCell(w.F1Book1, t.row, 1, t.text);
  for (int row = 3; row <= 6; ++row) EXPECT_TRUE(Bold(w, row)) << row;
  eng.items.LuxuryTax.Cap = 240;
  w.Command1_Click(1);
  const PageRecord& p = eng.page;
  EXPECT_EQ(p.PurchSalesOverride | p.PurchUseTaxOverride | p.PurchPropertyTaxOverride | p.PurchLuxuryTaxOverride, 0);
  for (int row = 3; row <= 6; ++row) EXPECT_FALSE(Bold(w, row)) << row;
  EXPECT_DOUBLE_EQ(static_cast<double>(p.PurchSales), kSalesTax);
  EXPECT_EQ(static_cast<double>(p.PurchLuxuryTax), 240);
  EXPECT_EQ(static_cast<double>(p.PurchUseTax), 100);
  EXPECT_EQ(static_cast<double>(p.PurchPropertyTax), 50);
  EXPECT_EQ(Shown(w, 8), Format(kSalesTax + 100 + 50 + 240, "$#,##0.00"));
}

TEST_F(TaxFeeTest, LeaseRegistrationAndTitleFeesAreTakenWhole) {
  eng.items.Registration.Cap = 100;
  eng.items.Registration.Cash = 20;
  eng.items.Title.Cash = 30;
  TaxFee& w = Open();
  w.Command1_Click(2);
  EXPECT_EQ(static_cast<double>(eng.page.PurchRegistration), 120);
  EXPECT_EQ(static_cast<double>(eng.page.PurchTitle), 30);
  EXPECT_EQ(Shown(w, 1), "$120.00");
  EXPECT_EQ(Shown(w, 2), "$30.00");
  // Text that is not a number is refused with a message; the fee rows take a value without
  // an override.
  TypeInCell(w.F1Book1, 7, 1, "$12");
  prompt.Answer(ui::Answer::OK);
  TypeInCell(w.F1Book1, 7, 1, "abc");
  EXPECT_EQ(prompt.MessageTexts().back(), "\"abc\" is not a number.");
  EXPECT_EQ(static_cast<double>(eng.page.PurchOther), 12);
  TypeInCell(w.F1Book1, 7, 1, "$25.50");
  EXPECT_EQ(static_cast<double>(eng.page.PurchOther), 25.5);
  EXPECT_EQ(Shown(w, 8), Format(120 + 30 + kSalesTax + 25.5, "$#,##0.00"));
}

TEST_F(TaxFeeTest, MovingInTheGridSkipsTheTotal) {
  TaxFee& w = Open();
  const grid::Sheet& s = w.F1Book1Data;
  w.F1Book1->setActiveCell(8, 1);
  w.F1Book1_Click();
  EXPECT_EQ(s.ActiveRow(), 7);
  int key = 40;
  w.F1Book1_KeyDown(key, 0);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(s.ActiveRow(), 1);
  for (int row : {1, 3, 6}) {
    w.F1Book1->setActiveCell(row, 1);
    int ascii = 13;
    w.F1Book1_KeyPress(ascii);
    EXPECT_EQ(s.ActiveRow(), row + 1);
  }
  w.F1Book1->setActiveCell(7, 1);
  int ascii = 13;
  w.F1Book1_KeyPress(ascii);
  EXPECT_EQ(ascii, 0);
  EXPECT_EQ(s.ActiveRow(), 1);
}

TEST_F(TaxFeeTest, TheCloseBoxRecalculatesAndEndsTheWaitLikeOk) {
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<TaxFee&>(m);
    TypeInCell(w.F1Book1, 4, 1, "300");
    w.reject();
    return 0;
  });
  EXPECT_TRUE(TaxFee::ShowModalAndWait(*qv));
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_NEAR(eng.res.TotalTaxFee, kSalesTax + 300, 1e-9);
}

}  // namespace
}  // namespace qv::test
