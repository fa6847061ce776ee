// The details sheets, the cash-flow panel texts and the comparison column on the common
// page, against figures worked out by hand:
//   lease: purchase and cap cost 21500, payment 368.497222 with tax, first payment 368.50 and
//     security deposit 375 in cash (initial cost 743.50), future cost
//     743.50 + 35 x 368.497222 - 375 = 13265.902778;
//   loan (rates 0, loan term = lease term 36): sales tax 6 % of 21500 = 1290 (at the
//     single-precision rate, so to the cent), principal 21500 + 1290 - 2000 = 20790,
//     payment 20790 / 36 = 577.50, nothing owed after 36 months, value after 36 months
//     12000, future cost 2000 + 20790 - 12000 = 10790;
//   cash: 21500 + 1290 = 22790 required, future cost 22790 - 12000 = 10790.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "CommonPage.h"
#include "engine/CostComparison.h"
#include "engine/Runtime.h"

namespace qv {
namespace {

using test::CountingHost;
using test::SetUpCommonPage;

class CostComparisonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpCommonPage(e);
    e.host = &host;
    e.RecalcPage();
    SetUpCostComparisonBook(book);
  }
  double B(int sheet, int row) const { return book.SheetAt(sheet).NumberRC(row, 2); }
  double E(int sheet, int row) const { return book.SheetAt(sheet).NumberRC(row, 5); }
  // Amounts that carry the sales tax at its single-precision rate are right to the cent.
  static constexpr double kCent = 0.005;
  Engine e;
  CountingHost host;
  grid::Workbook book;
};

TEST_F(CostComparisonTest, TheLeaseSheetBuildsUpCapCostAndFutureCost) {
  for (int tab : {1, 4}) {
    SCOPED_TRACE(tab);
    book.SetSheet(3);
    FillCostComparisonSheet(e, book, tab);
    EXPECT_EQ(book.ActiveSheet(), 1);
    EXPECT_DOUBLE_EQ(B(1, 1), 20000);
    EXPECT_DOUBLE_EQ(B(1, 3), 500);
    EXPECT_DOUBLE_EQ(B(1, 4), 1000);
    EXPECT_DOUBLE_EQ(B(1, 5), 21500);
    EXPECT_DOUBLE_EQ(B(1, 11), 21500);
    EXPECT_NEAR(E(1, 2), 743.50, 1e-9);
    EXPECT_NEAR(E(1, 5), 743.50, 1e-9);
    EXPECT_NEAR(E(1, 6), 35 * 368.497222, 1e-4);
    EXPECT_DOUBLE_EQ(E(1, 9), -375);
    EXPECT_NEAR(E(1, 11), 13265.902778, 1e-5);
  }
  EXPECT_EQ(book.SheetAt(1).TextRC(11, 4), "Total Future Cost:");
}

TEST_F(CostComparisonTest, TheLoanAndCashSheetsBuildUpPrincipalRequiredCashAndFutureCosts) {
  FillCostComparisonSheet(e, book, 2);
  EXPECT_EQ(book.ActiveSheet(), 2);
  EXPECT_DOUBLE_EQ(B(2, 5), 21500);
  EXPECT_NEAR(B(2, 8), 1290, kCent);
  EXPECT_DOUBLE_EQ(B(2, 10), -2000);
  EXPECT_NEAR(B(2, 12), 20790, kCent);
  EXPECT_DOUBLE_EQ(E(2, 1), 2000);
  EXPECT_DOUBLE_EQ(E(2, 5), 2000);
  EXPECT_NEAR(E(2, 7), 20790, kCent);
  EXPECT_DOUBLE_EQ(E(2, 11), -12000);
  EXPECT_NEAR(E(2, 12), 10790, kCent);
  EXPECT_EQ(book.SheetAt(2).TextRC(11, 4), "Value after 36.0 months:");

  FillCostComparisonSheet(e, book, 3);
  EXPECT_EQ(book.ActiveSheet(), 3);
  EXPECT_NEAR(E(3, 2), 22790, kCent);
  EXPECT_DOUBLE_EQ(B(3, 6), 21500);
  EXPECT_NEAR(B(3, 11), 22790, kCent);
  EXPECT_NEAR(E(3, 6), 22790, kCent);
  EXPECT_NEAR(E(3, 11), 10790, kCent);
  EXPECT_EQ(book.SheetAt(3).TextRC(10, 4), "Value after 36.0 months:");
  EXPECT_EQ(book.SheetAt(3).TextRC(1, 1), "");
  EXPECT_EQ(book.SheetAt(3).TextRC(2, 1), "Base Price:");

  // Another tab writes nothing and leaves the active sheet.
  book.SheetAt(1).SetNumberRC(1, 2, 7);
  FillCostComparisonSheet(e, book, 0);
  EXPECT_EQ(book.ActiveSheet(), 3);
  EXPECT_DOUBLE_EQ(B(1, 1), 7);
}

TEST_F(CostComparisonTest, NegativeAmountsOfTheRedCellsAreRedAndAOneMonthLeaseHasNoRemainingPayments) {
  e.page.CapRd = 1000;
  e.page.Months = 1;
  e.RecalcPage();
  FillCostComparisonSheet(e, book, 1);
  const grid::Sheet& s = book.SheetAt(1);
  EXPECT_DOUBLE_EQ(s.NumberRC(6, 5), 0);
  EXPECT_DOUBLE_EQ(s.NumberRC(8, 2), -1000);
  EXPECT_EQ(s.FontRC(8, 2).color, kRedColor);   // cap reduction
  EXPECT_EQ(s.FontRC(9, 5).color, kRedColor);   // security deposit refund
  EXPECT_EQ(s.FontRC(11, 2).color, 0u);         // a positive cap cost
  EXPECT_EQ(s.FontRC(4, 2).color, 0u);          // not a red cell

  e.page.CapRd = 0;
  e.RecalcPage();
  FillCostComparisonSheet(e, book, 1);
  EXPECT_EQ(s.FontRC(8, 2).color, 0u);  // back to black once no longer negative
}

TEST_F(CostComparisonTest, PanelsShowTheLeaseTheLoanThatAppliesAndTheCash) {
  CostComparisonPanels p;
  p.lblLoanDown2 = p.lblpayoff = p.lblPicMonth[2] = "untouched";
  FillCostComparisonPanels(e, p);
  EXPECT_EQ(p.lblPicMonth[1], "36");
  EXPECT_EQ(p.lblLeasePmt, " 36 pmts @ $368.50");
  EXPECT_EQ(p.lblLeaseCash, "Initial Cost: $743.50");
  EXPECT_EQ(p.lblLeaseSecDep, "Security Dep: $375.00");
  // Equal terms: the loan that ends within the lease.
  EXPECT_EQ(p.lblLoanDown1, "Initial Cost: $2,000.00 ");
  EXPECT_EQ(p.lblLoanPmt1, " 36 pmts @ $577.50");
  EXPECT_EQ(p.lblLoanLoanEnd1, "Value after 36.0 months: 12,000.00");
  EXPECT_EQ(p.lblPicMonth[3], "36");
  EXPECT_EQ(p.lblLoanDown2, "untouched");
  EXPECT_EQ(p.lblpayoff, "untouched");
  EXPECT_EQ(p.lblPicMonth[2], "untouched");
  EXPECT_EQ(p.lblCashPP, "Initial Cost: $22,790.00");
  EXPECT_EQ(p.lblCashLoanEnd, "Value after 36.0 months: $12,000.00");
  EXPECT_EQ(p.lblPicMonth[0], "36");

  // A 48-month loan without sales tax: 19500 / 48 = 406.25 a month, 19500 - 36 x 406.25 =
  // 4875 owed.
  e.tax.BuyTaxRate = 0;
  e.page.LoanMonths = 48;
  e.RecalcPage();
  p.lblLoanDown1 = "untouched";
  FillCostComparisonPanels(e, p);
  EXPECT_EQ(p.lblLoanDown2, "Initial Cost: $2,000.00");
  EXPECT_EQ(p.lblLoanPmt2, " 36 pmts @ $406.25");
  EXPECT_EQ(p.lblLoanLoanEnd2, "Value after 36.0 months: $12,000.00");
  EXPECT_EQ(p.lblpayoff, "Payoff: $4,875.00");
  EXPECT_EQ(p.lblLoanDown1, "untouched");

  // Nothing financed: nothing owed.
  e.page.DownPmt = 21500;
  e.RecalcPage();
  FillCostComparisonPanels(e, p);
  EXPECT_EQ(p.lblpayoff, "Payoff:  ");
}

// The annual rate whose constant-yield money factor is `factor`: the level payment in
// advance that pays `cap` down to `residual`, less the straight-line depreciation, per
// dollar of cap plus residual, solved by bisection.
double RateOfFactor(double cap, double residual, double factor, double months) {
  auto f = [&](double apr) {
    const double i = apr / 12;
    const double p = std::pow(1 + i, months);
    const double a = (cap - residual / p) * i * std::pow(1 + i, months - 1) / (p - 1);
    return (a - (cap - residual) / months) / (cap + residual);
  };
  double lo = 0.0001, hi = 1;
  for (int k = 0; k < 200; ++k) {
    const double mid = (lo + hi) / 2;
    (f(mid) < factor ? lo : hi) = mid;
  }
  return lo;
}

TEST_F(CostComparisonTest, TheComparisonColumnAndItsText) {
  grid::Sheet s;
  WriteCompareColumn(e, s, 2);
  EXPECT_EQ(s.MaxRow(), kCompareRows);
  EXPECT_EQ(s.TextRC(1, 2), "Common test page");
  EXPECT_EQ(s.TextRC(3, 2), "21,500.00");
  EXPECT_EQ(s.TextRC(4, 2), "21,500.00");
  EXPECT_EQ(s.TextRC(5, 2), "36.00");
  EXPECT_EQ(s.TextRC(6, 2), ".0025000");
  EXPECT_EQ(s.TextRC(7, 2), Format(RateOfFactor(21500, 12000, 0.0025, 36), "#.00%"));
  EXPECT_EQ(s.TextRC(8, 2), "12,000  (53%)");  // 12000 of 22500
  EXPECT_EQ(s.TextRC(9, 2), "375.00");
  EXPECT_EQ(s.TextRC(10, 2), "368.50");
  EXPECT_EQ(s.TextRC(11, 2), "743.50");
  EXPECT_EQ(s.TextRC(13, 2), "13,265.90");
  EXPECT_EQ(s.TextRC(14, 2), "1.23");  // 13265.90 / 10790
  EXPECT_EQ(s.TextRC(15, 2), "1.23");
  EXPECT_EQ(s.TextRC(1, 1), "");

  const std::string text = CompareText(s);
  EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), "\t\tCommon test page\t\r\n");
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 14u);
  EXPECT_NE(text.find("\r\nPayment (w/tax)\t\t368.50\t\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nCash Required\t\t743.50\t\r\n \t\t\t\r\nFuture Cost\t"), std::string::npos);
}

}  // namespace
}  // namespace qv
