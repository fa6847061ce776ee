// The loan payment solver: closed forms for the balloon and the down payment, the secant
// search for the term, the rate and the margin, and the failures it reports.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/LoanSolver.h"
#include "tests/engine/CommonPage.h"

namespace qv {

void PrintTo(LoanSolveStatus s, std::ostream* os) {
  *os << (s == LoanSolveStatus::Solved          ? "Solved"
          : s == LoanSolveStatus::EqualPayments ? "EqualPayments"
                                                : "NotReached");
}

namespace {

// The level monthly payment of an amount at an annual rate over n months (annuity formula),
// with a balloon paid in place of the last payment.
double Annuity(double amount, double rate, double n, double balloon = 0) {
  const double i = rate / 12;
  if (i == 0) return balloon != 0 ? (amount - balloon) / (n - 1) : amount / n;
  const double g = std::pow(1 + i, n);
  return balloon != 0 ? (amount * g - balloon) / ((g - 1) / i - 1) : amount * i * g / (g - 1);
}

// The common page's amount financed at a margin: price with 6 % sales tax (and the luxury
// tax above 36000, itself in the amount), less the 2000 down payment.
double Financed(double invoice, double margin) {
  const double price = invoice + margin;
  const double lux = price > 36000 ? (price - 36000) * 0.06 : 0;
  return price + price * 0.06 + lux - 2000;
}

class LoanSolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetUpCommonPage(e);
    e.host = &host;
    e.RecalcPage();
  }
  Engine e;
  test::CountingHost host;
};

TEST_F(LoanSolverTest, CommonPageFinances20790) {
  // 21500 + 1290 sales tax - 2000 down, 36 months at 0 %.
  EXPECT_NEAR(e.res.LoanPrinciple, 20790, 1e-3);
  EXPECT_NEAR(e.res.PurPmnt, 577.50, 1e-4);
}

struct SearchCase {
  std::string name;
  std::function<void(Engine&)> page;        // the page as the known input leaves it
  double desired;                           // the payment of the known input, to the cent
  std::function<void(Engine&)> change;      // moves the input away
  std::function<LoanSolveResult(LoanSolver&, double&)> solve;
  double expected;
  double valueTolerance;
  std::function<double(double)> handPayment;
};

TEST_F(LoanSolverTest, SearchesFindBackTheInputThatGivesThePayment) {
  const double P = Financed(20500, 1000);
  const std::vector<SearchCase> cases = {
      {"rate", [](Engine& e) { e.page.LoanRate = 0.06; }, std::round(Annuity(P, 0.06, 36) * 100) / 100,
       [](Engine& e) { e.page.LoanRate = 0.09; }, [](LoanSolver& s, double& p) { return s.LoanIntRate(p); }, 0.06,
       2e-5, [P](double r) { return Annuity(P, r, 36); }},
      {"months", [](Engine& e) { e.page.LoanRate = 0.06; }, std::round(Annuity(P, 0.06, 48) * 100) / 100,
       [](Engine&) {}, [](LoanSolver& s, double& p) { return s.NewLoanMonths(p); }, 48, 0.01,
       [P](double n) { return Annuity(P, 0.06, n); }},
      {"months at 0 %", [](Engine&) {}, 433.13, [](Engine&) {},
       [](LoanSolver& s, double& p) { return s.NewLoanMonths(p); }, P / 433.13, 0.001,
       [P](double n) { return P / n; }},
      {"margin", [](Engine& e) { e.page.LoanRate = 0.06; }, std::round(Annuity(P, 0.06, 36) * 100) / 100,
       [](Engine& e) { e.page.Margin = 0; }, [](LoanSolver& s, double& p) { return s.LoanMargin(p); }, 1000, 0.3,
       [](double m) { return Annuity(Financed(20500, m), 0.06, 36); }},
      // Invoice 34500: margin 3000 prices the car at 37500, 90 of luxury tax financed.
      {"margin over the luxury threshold",
       [](Engine& e) {
         e.page.BaseInv = 34000;
         e.page.Margin = 3000;
         e.page.LoanRate = 0.06;
       },
       std::round(Annuity(Financed(34500, 3000), 0.06, 36) * 100) / 100, [](Engine& e) { e.page.Margin = 1000; },
       [](LoanSolver& s, double& p) { return s.LoanMargin(p); }, 3000, 0.3,
       [](double m) { return Annuity(Financed(34500, m), 0.06, 36); }},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    c.page(e);
    e.RecalcPage();
    c.change(e);
    e.RecalcPage();
    const PageInputs before = e.SnapshotInputs();
    const double principle = e.res.LoanPrinciple;
    const Var payoff = e.res.Payoff;
    LoanSolver s(e);
    double p = c.desired;
    const LoanSolveResult r = c.solve(s, p);
    ASSERT_EQ(r.status, LoanSolveStatus::Solved);
    EXPECT_NEAR(r.value, c.expected, c.valueTolerance);
    EXPECT_NEAR(c.handPayment(r.value), c.desired, 0.0051);
    EXPECT_LE(r.evaluations, 60);
    // Nothing of the trials stays: fields, luxury-tax split, amount financed, payoff.
    EXPECT_TRUE(e.SnapshotInputs() == before);
    EXPECT_EQ(e.res.LoanPrinciple, principle);
    EXPECT_TRUE(e.res.Payoff == payoff);
  }
}

TEST_F(LoanSolverTest, ClosedFormsGiveBackTheDesiredPayment) {
  struct Case {
    std::string name;
    double rate, balloon;
    int16_t days;
    bool downPayment;  // else the balloon
    double desired;
    double handValue;  // worked out by hand where the arithmetic is short (NaN: none)
  };
  const double none = std::nan("");
  const Case cases[] = {
      // No rate, balloon 5000: V = 35 x 400 + 5000 = 19000; down = 21500 + 1290 - 19000.
      {"down, 0 %, balloon", 0, 5000, 30, true, 400, 3790},
      {"down, 6 %", 0.06, 0, 30, true, 600, none},
      {"down, 6 %, balloon, 45 days", 0.06, 5000, 45, true, 450, none},
      // No rate: B = 20790 - 35 p; a payment of 0 leaves the whole amount for the balloon.
      {"balloon, 0 %, no payment", 0, 0, 30, false, 0, 20790},
      {"balloon, 0 %", 0, 0, 30, false, 400, 20790 - 35 * 400},
      {"balloon, 6 %", 0.06, 0, 30, false, 500, none},
      {"balloon, 6 %, 45 days", 0.06, 0, 45, false, 500, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    e.page.LoanRate = c.rate;
    e.page.Balloon = c.balloon;
    e.page.DaysToFirstPayment = c.days;
    e.RecalcPage();
    LoanSolver s(e);
    double p = c.desired;
    const LoanSolveResult r = c.downPayment ? s.LoanDownPmt(p) : s.LoanBalloon(p);
    ASSERT_TRUE(r.Solved());
    if (!std::isnan(c.handValue)) {
      EXPECT_NEAR(r.value, c.handValue, 1e-3);
    }
    (c.downPayment ? e.page.DownPmt : e.page.Balloon) = r.value;
    e.RecalcPage();
    // The amount financed, grown over the odd days, pays back at the desired payment.
    const double grown = e.res.LoanPrinciple * std::pow(1 + c.rate / 365, c.days - 30);
    EXPECT_NEAR(Annuity(grown, c.rate, 36, e.page.Balloon), c.desired, 1e-6);
    EXPECT_NEAR(e.res.PurPmnt, c.desired, 1e-6);
  }
}

// One-month loans with a balloon: the one payment is the amount with its month of interest
// less the balloon. The common page finances 21500 + sales tax 1289.999971 - 2000 down.
TEST_F(LoanSolverTest, OneMonthBalloonClosedFormsGiveThePayment) {
  struct Case {
    std::string name;
    double rate, balloon;
    bool downPayment;
    double desired, handValue;
  };
  const Case cases[] = {
      // 20789.999971 x 1.01 - 8000.
      {"balloon, 12 %", 0.12, 0, false, 8000, 12997.899971},
      {"balloon, 0 %", 0, 0, false, 8000, 12789.999971},
      // (8000 + 5000) / 1.01 = 12871.287129 financed: down = 21500 + 1289.999971 - 12871.287129.
      {"down, 12 %, balloon 5000", 0.12, 5000, true, 8000, 9918.712842},
      {"down, 0 %, balloon 5000", 0, 5000, true, 8000, 9789.999971},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    e.page.LoanMonths = 1;
    e.page.LoanRate = c.rate;
    e.page.Balloon = c.balloon;
    e.RecalcPage();
    LoanSolver s(e);
    double p = c.desired;
    const LoanSolveResult r = c.downPayment ? s.LoanDownPmt(p) : s.LoanBalloon(p);
    ASSERT_TRUE(r.Solved());
    EXPECT_NEAR(r.value, c.handValue, 5e-7);
    (c.downPayment ? e.page.DownPmt : e.page.Balloon) = r.value;
    e.RecalcPage();
    EXPECT_NEAR(e.res.PurPmnt, c.desired, 1e-6);
  }
}

// A solve is solved only with a finite value whose payment meets the desired one: not with a
// value that overflowed (whose payment then reads as 0, within half a cent of a desired
// payment below 0.005), and not from a closed form where no value gives the payment.
TEST_F(LoanSolverTest, NoSolveWithoutAFiniteValueThatGivesThePayment) {
  struct Case {
    std::string name;
    std::function<void(Engine&)> change;
    std::function<LoanSolveResult(LoanSolver&, double&)> solve;
    double desired;
  };
  const auto margin = [](LoanSolver& s, double& p) { return s.LoanMargin(p); };
  const auto rate = [](LoanSolver& s, double& p) { return s.LoanIntRate(p); };
  const auto months = [](LoanSolver& s, double& p) { return s.NewLoanMonths(p); };
  const auto balloon = [](LoanSolver& s, double& p) { return s.LoanBalloon(p); };
  const auto down = [](LoanSolver& s, double& p) { return s.LoanDownPmt(p); };
  const Case cases[] = {
      {"margin at 2400 %", [](Engine& e) { e.page.LoanRate = 24; e.page.LoanMonths = 1000; }, margin, 0.001},
      {"margin over a million months", [](Engine& e) { e.page.LoanRate = 0.06; e.page.LoanMonths = 1e6; }, margin,
       0.001},
      {"rate over a million months", [](Engine& e) { e.page.LoanMonths = 1e6; }, rate, 0.001},
      {"months at 1e300 %", [](Engine& e) { e.page.LoanRate = 1e300; }, months, 0.001},
      {"balloon at no term", [](Engine& e) { e.page.LoanMonths = 0; }, balloon, 400},
      {"down payment at no term", [](Engine& e) { e.page.LoanMonths = 0; }, down, 400},
      {"balloon at 1e300 %", [](Engine& e) { e.page.LoanRate = 1e300; }, balloon, 400},
      {"down payment at 1e300 %", [](Engine& e) { e.page.LoanRate = 1e300; e.page.Balloon = 100; }, down, 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    e.RecalcPage();
    c.change(e);
    const PageInputs before = e.SnapshotInputs();
    LoanSolver s(e);
    double p = c.desired;
    const LoanSolveResult r = c.solve(s, p);
    EXPECT_NE(r.status, LoanSolveStatus::Solved) << r.value;
    EXPECT_EQ(r.value, 0);
    EXPECT_TRUE(e.SnapshotInputs() == before);
  }
}

TEST_F(LoanSolverTest, ZeroPaymentIsSolvedAsOneCentExceptForTheBalloon) {
  LoanSolver s(e);
  double p = 0;
  ASSERT_TRUE(s.LoanDownPmt(p).Solved());
  EXPECT_EQ(p, 0.01);
  p = 0;
  const LoanSolveResult m = s.NewLoanMonths(p);
  EXPECT_EQ(p, 0.01);
  ASSERT_TRUE(m.Solved());
  EXPECT_NEAR(20790 / m.value, 0.01, 0.0051);
  p = 0;
  s.LoanBalloon(p);
  EXPECT_EQ(p, 0);
}

TEST_F(LoanSolverTest, FailedSearchesSaySoAndLeaveThePage) {
  struct Case {
    std::string name;
    std::function<void(Engine&)> change;  // after the recalculation
    std::function<LoanSolveResult(LoanSolver&, double&)> solve;
    double desired;
    std::optional<LoanSolveStatus> status;  // nullopt: either failure
  };
  const Case cases[] = {
      // No term: every rate and every margin pays 0.
      {"rate at no term", [](Engine& e) { e.page.LoanMonths = 0; },
       [](LoanSolver& s, double& p) { return s.LoanIntRate(p); }, 500, LoanSolveStatus::EqualPayments},
      {"margin at no term", [](Engine& e) { e.page.LoanMonths = 0; },
       [](LoanSolver& s, double& p) { return s.LoanMargin(p); }, 500, LoanSolveStatus::EqualPayments},
      // 50 a month does not cover the 103.95 of interest at 6 %: no term pays the loan off.
      {"months below the interest", [](Engine& e) { e.page.LoanRate = 0.06; },
       [](LoanSolver& s, double& p) { return s.NewLoanMonths(p); }, 50, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    e.RecalcPage();
    c.change(e);
    const PageInputs before = e.SnapshotInputs();
    const double principle = e.res.LoanPrinciple;
    LoanSolver s(e);
    double p = c.desired;
    const LoanSolveResult r = c.solve(s, p);
    EXPECT_NE(r.status, LoanSolveStatus::Solved);
    if (c.status) {
      EXPECT_EQ(r.status, *c.status);
    }
    EXPECT_EQ(r.value, 0);
    EXPECT_LE(r.evaluations, LoanSolver::kPassLimit);
    EXPECT_TRUE(e.SnapshotInputs() == before);
    EXPECT_EQ(e.res.LoanPrinciple, principle);
  }
}

TEST_F(LoanSolverTest, TrialPricingReplacesTheLuxuryTaxOnTheSideThatHeldIt) {
  e.page.BaseInv = 34000;  // invoice 34500
  e.RecalcPage();
  LoanSolver s(e);
  // Margin 3000: price 37500, luxury tax 6 % of 1500 = 90, capitalised by the setting.
  EXPECT_NEAR(s.calcnewpmt(3000), (37500 + 2250 + 90 - 2000) / 36.0, 1e-4);
  EXPECT_NEAR(e.items.LuxuryTax.Cap, 90, 1e-5);
  EXPECT_EQ(e.items.LuxuryTax.Cash, 0);
  EXPECT_NEAR(e.page.PurchLuxuryTax, 90, 1e-5);
  EXPECT_NEAR(e.res.LoanPrinciple, 37840, 1e-3);
  // Held in cash: it stays in cash.
  e.items.LuxuryTax.Cap = 0;
  e.items.LuxuryTax.Cash = 1;
  s.calcnewpmt(4000);
  EXPECT_EQ(e.items.LuxuryTax.Cap, 0);
  EXPECT_NEAR(e.items.LuxuryTax.Cash, 150, 1e-5);
}

}  // namespace
}  // namespace qv
