// The lease / loan / cash comparison and the loan payment.
#include <gtest/gtest.h>

#include "tests/engine/CommonPage.h"

namespace qv {
namespace {

class CompareTest : public ::testing::Test {
 protected:
  void SetUp() override { test::SetUpCommonPage(e); }
  // A loan of `principal` on its own: the page's other values do not take part.
  double Loan(double principal, double rate, double months, double leaseMonths, double balloon = 0, int16_t days = 30) {
    e.res.LoanPrinciple = principal;
    e.page.Months = leaseMonths;
    e.page.Balloon = balloon;
    e.page.DaysToFirstPayment = days;
    return e.CalcLoanPayment(rate, months);
  }
  Engine e;
};

TEST_F(CompareTest, CommonPageEndToEnd) {
  e.RecalcPage();
  const PageResults& r = e.res;
  EXPECT_DOUBLE_EQ(r.LCashReqd, 743.50);
  EXPECT_DOUBLE_EQ(r.LInitCost, 743.50);
  EXPECT_EQ(r.LLIIC, 0);
  EXPECT_EQ(r.LLIPmt, 0);
  EXPECT_NEAR(r.LeaseFC, 13265.902778, 5e-7);
  // Purchase tax 21500 x (6 / 100 in single precision).
  const double salesTax = 1289.999971166253;
  EXPECT_DOUBLE_EQ(e.page.PurchSales, salesTax);
  EXPECT_DOUBLE_EQ(r.TotalTaxFee, salesTax);
  EXPECT_DOUBLE_EQ(r.LoanPrinciple, 21500 + salesTax - 2000);
  EXPECT_EQ(e.page.LoanMonths, 36) << "an empty loan term takes the lease term";
  EXPECT_EQ(e.page.EndLoan, 12000) << "an empty end-of-loan value takes the residual";
  EXPECT_NEAR(r.PurPmnt, (21500 + salesTax - 2000) / 36, 1e-9);
  EXPECT_NEAR(r.Payoff, 0, 1e-9);
  EXPECT_EQ(r.PCashReqd, 2000);
  EXPECT_EQ(r.PInitCost, 2000);
  EXPECT_NEAR(r.PurchFC, 2000 + 21500 + salesTax - 2000 - 12000, 1e-8);
  EXPECT_DOUBLE_EQ(r.CCashReqd, 21500 + salesTax);
  EXPECT_DOUBLE_EQ(r.CInitCost, 21500 + salesTax);
  EXPECT_DOUBLE_EQ(r.CashFC, 21500 + salesTax - 12000);
  EXPECT_NEAR(r.LeaseCashRatio, 13265.902778 / (9500 + salesTax), 1e-9);
  EXPECT_NEAR(r.LeaseLoanRatio, 13265.902778 / (9500 + salesTax), 1e-9);
  EXPECT_NEAR(r.LoanCashRatio, 1, 1e-12);
}

// A page calculation on its own (as the field editors run it) compares with the deposit
// and first payment it has just set, not with the ones it found: on a fresh page both were 0.
TEST_F(CompareTest, OneCalculationComparesWithTheDepositItSets) {
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(e.items.Security.Cash, 375);
  EXPECT_DOUBLE_EQ(e.res.TotalStartUps.Cash, 743.50);
  EXPECT_DOUBLE_EQ(e.res.LCashReqd, 743.50);
  EXPECT_NEAR(e.res.LeaseFC, 13265.902778, 5e-7);
}

TEST_F(CompareTest, InterestLostOnMoneyPaidOut) {
  EXPECT_NEAR(Engine::LostInterestLump(1000, 0.06, 36), 196.6805, 5e-5);
  EXPECT_NEAR(Engine::LostInterestStream(300, 0.06, 36, 1), 1000.8315, 5e-5);
  EXPECT_NEAR(Engine::LostInterestStream(300, 0.06, 36, 0), 1000.8315, 5e-5);
  EXPECT_EQ(Engine::LostInterestStream(300, 0, 36, 1), 0);
  EXPECT_EQ(Engine::LostInterestLump(1000, 0, 36), 0);

  // With an investment rate the lease's future cost carries both.
  e.page.InvestRate = 0.06;
  e.RecalcPage();
  // 743.50 x (1.005^36 - 1), and the payments' interest 368.497222 x (1.005 x (1.005^35 - 1) / 0.005 - 35).
  EXPECT_NEAR(e.res.LLIIC, 146.231970, 5e-7);
  EXPECT_NEAR(e.res.LLIPmt, 1229.345413, 5e-7);
  // 743.50 + 35 x 368.497222 + 146.231970 + 1229.345413 - the deposit 375.
  EXPECT_NEAR(e.res.LeaseFC, 14641.480161, 5e-7);
  EXPECT_NEAR(e.res.PLIIC, 2000 * (1.19668052 - 1), 1e-4);
}

// Worked with the annuity formulas.
TEST_F(CompareTest, LoanPayment) {
  struct Case {
    const char* what;
    double principal, rate, months, leaseMonths, balloon;
    int16_t days;
    double payment, payoff;
  };
  const Case cases[] = {
      {"8 %, 48 months", 20000, 0.08, 48, 36, 0, 30, 488.2584468, 5612.9125674},
      {"45 days to the first payment", 20000, 0.08, 48, 36, 0, 45, 489.8661452, 5631.3943175},
      {"balloon", 20000, 0.08, 48, 36, 5000, 30, 406.7453759, 8917.0903612},
      {"zero rate", 20000, 0, 48, 36, 0, 30, 416.6666667, 5000},
      {"zero rate, balloon", 20000, 0, 48, 36, 5000, 30, 319.1489362, 8510.6382979},
      {"12 %, 12 months", 10000, 0.12, 12, 6, 0, 30, 888.487887, 5149.210646},
      {"12 %, balloon", 10000, 0.12, 12, 6, 2000, 30, 793.344568, 5734.533778},
      {"60 days to the first payment", 10000, 0.12, 12, 6, 0, 60, 897.292959, 5200.2402321},
      // One month with a balloon: the principal and its interest less the balloon, which
      // is still owed after the month.
      {"one month, balloon, 12 %", 10000, 0.12, 1, 1, 2000, 30, 8100, 2000},
      {"one month, balloon, zero rate", 10000, 0, 1, 1, 2000, 30, 8000, 2000},
      {"one month, no balloon", 10000, 0.12, 1, 1, 0, 30, 10100, 0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Loan(c.principal, c.rate, c.months, c.leaseMonths, c.balloon, c.days), c.payment, 5e-7) << c.what;
    ASSERT_FALSE(e.res.Payoff.IsEmpty()) << c.what;
    EXPECT_NEAR(e.res.Payoff, c.payoff, 5e-7) << c.what;
  }
  // The principal grows by the daily interest of the odd days: 20065.8544 at 45 days.
  EXPECT_NEAR(Loan(20065.85440250202, 0.08, 48, 36), 489.8661452, 5e-7);
}

TEST_F(CompareTest, LoanPayoffOnlyWithinTheLoanTerm) {
  Loan(20000, 0.08, 48, 60);
  EXPECT_TRUE(e.res.Payoff.IsEmpty()) << "the lease runs past the loan";
  // No loan term: no payment, and no balance left over from an earlier loan.
  Loan(20000, 0.08, 48, 36);
  ASSERT_FALSE(e.res.Payoff.IsEmpty());
  EXPECT_EQ(Loan(20000, 0.08, 0, 36), 0);
  EXPECT_TRUE(e.res.Payoff.IsEmpty());

  // An empty payoff adds nothing to the loan's future cost.
  e.page.Months = 60;
  e.page.LoanMonths = 48;
  test::CalcLeaseInMemory(e);
  EXPECT_TRUE(e.res.Payoff.IsEmpty());
  // (21500 + sales tax 1289.999971 - 2000) / 48 = 433.124999 a month, paid over the 60 months.
  EXPECT_NEAR(e.res.PurPmnt, 433.124999399, 5e-9);
  EXPECT_NEAR(e.res.PurchFC, 2000 + 433.124999399 * 60 - 12000, 5e-7);
}

TEST_F(CompareTest, RatiosOfAZeroCostAreZero) {
  // A cash cost of 0: price and taxes met by the vehicle's end value.
  e.page.EndLoan = 21500 + 1289.999971166253;
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(e.res.CashFC, 0);
  EXPECT_FALSE(e.res.LeaseCashRatio.IsEmpty());
  EXPECT_EQ(double(e.res.LeaseCashRatio), 0);
  EXPECT_EQ(double(e.res.LoanCashRatio), 0);
  // And a loan cost of 0: no term, no down payment, no end value.
  test::SetUpCommonPage(e);
  e.page.Months = 0;
  e.page.Residual = 0;
  e.page.DownPmt = 0;
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(e.res.PurchFC, 0);
  EXPECT_FALSE(e.res.LeaseLoanRatio.IsEmpty());
  EXPECT_EQ(double(e.res.LeaseLoanRatio), 0);
  EXPECT_NE(e.res.CashFC, 0);
}

TEST_F(CompareTest, PurchaseFeesAndTrade) {
  e.page.PurchRegistration = 150;
  e.page.PurchOther = 50;
  e.page.PurchRebate = 1000;
  e.page.PurchSalesOverride = -1;
  e.page.PurchSales = 1000;
  e.items.TradeAllowance = 3000;
  e.items.TradePayoff = 1000;
  e.items.TradeEquity.Cash = 2000;
  e.RecalcPage();
  EXPECT_EQ(double(e.page.PurchSales), 1000) << "a typed sales tax is kept";
  EXPECT_DOUBLE_EQ(e.res.TotalTaxFee, 1200);
  EXPECT_DOUBLE_EQ(e.res.LoanPrinciple, (21500 - 3000) + 1200 + 1000 - 2000 - 1000);
  EXPECT_DOUBLE_EQ(e.res.TotalTradeEquity, 2000);
  EXPECT_DOUBLE_EQ(e.res.PInitCost, 4000);
  EXPECT_DOUBLE_EQ(e.res.CCashReqd, 18500 + 1200 + 1000 - 1000);
  EXPECT_DOUBLE_EQ(e.res.CInitCost, 19700 + 2000);
  // The trade equity in cash is a credit at signing but part of the lease's initial cost.
  // First payment 368.50 + deposit 375 - trade equity 2000.
  EXPECT_DOUBLE_EQ(e.res.LCashReqd, -1256.50);
  EXPECT_DOUBLE_EQ(e.res.LInitCost, 743.50);
}

}  // namespace
}  // namespace qv
