// The forced-payment searches: each finds back the input that gives a known payment, puts
// the page back exactly, and reports no value where there is none to give.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Solvers.h"
#include "tests/engine/CommonPage.h"

namespace qv {

void PrintTo(SolveStatus s, std::ostream* os) {
  *os << (s == SolveStatus::Solved ? "Solved" : s == SolveStatus::NotReached ? "NotReached" : "NoValue");
}

namespace {

// ---- payments worked out independently --------------------------------------------------

// Constant-yield lease payment with the "Home" 6 % tax on the payment. A capitalised
// luxury tax `lux` bears no rent charge (NoInterestOnLuxuryTax) but is repaid over the term.
double HandPaymentWT(double C, double R, double F, double n, double lux = 0) {
  const double nt = ((C - lux) + R) * F + ((C - lux) - R) / n + lux / n;
  return nt * 1.06;
}

// The money factor of an annual rate: the level payment in advance that pays C down to R,
// less the straight-line depreciation, over C + R.
double HandFordFactor(double C, double R, double apr, double n) {
  const double i = apr / 12;
  const double P = std::pow(1 + i, n);
  const double A = (C - R / P) * i * std::pow(1 + i, n - 1) / (P - 1);
  return (A - (C - R) / n) / (C + R);
}

// The common page's cap cost at a margin and cash cap reduction (nothing else capitalised).
double CommonCap(double margin, double capRd = 0) { return 20500 + margin - capRd; }

// The luxury tax of a selling price under "Home" (6 % above 36000).
double HandLuxury(double price) { return price > 36000 ? (price - 36000) * 0.06 : 0; }

class SolversTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetUpCommonPage(e);
    e.host = &host;
    e.RecalcPage();
  }
  void Recalc() {
    e.RecalcPage();
    host.shown = 0;
  }
  Engine e;
  test::CountingHost host;
};

// ---- each search finds the input back ------------------------------------------------

struct FindBackCase {
  std::string name;
  std::function<void(Engine&)> change;  // moves the input away from the value to find
  double desired;                       // the payment the known input gives, to the cent
  std::function<SolveResult(PaymentSolver&, Engine&)> solve;
  double expected;                      // the known input
  double valueTolerance;
  std::function<double(double)> handPayment;  // the payment at a value, worked out by hand
  double paymentTolerance;
};

std::vector<FindBackCase> FindBackCases() {
  // Common page: Margin 1000, Factor 0.0025, Residual 12000, Months 36 give 368.497222.
  auto base = [](Engine& e) { return std::array<double, 4>{e.page.Months, e.page.Factor, e.page.Residual, e.res.CapCost}; };
  return {
      {"margin", [](Engine& e) { e.page.Margin = 400; }, 368.50,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.SolveMargin(b[0], b[1], b[2]); }, 1000, 0.3,
       [](double m) { return HandPaymentWT(CommonCap(m), 12000, 0.0025, 36); }, 0.0051},
      {"factor", [](Engine& e) { e.page.Factor = 0.0031; }, 368.50,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.SolveFactor(b[0], b[3], b[2]); }, 0.0025, 3e-7,
       [](double f) { return HandPaymentWT(21500, 12000, f, 36); }, 0.0051},
      {"residual", [](Engine& e) { e.page.Residual = 10500; }, 368.50,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.SolveResidual(b[0], b[1], b[3]); }, 12000,
       0.4, [](double r) { return HandPaymentWT(21500, r, 0.0025, 36); }, 0.0051},
      {"months", [](Engine& e) { e.page.Months = 30; }, 368.50,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.SolveMonths(b[3], b[2], b[1]); }, 36, 0.2,
       [](double n) { return HandPaymentWT(21500, 12000, 0.0025, n); }, 0.9},
      // Ford APR method, admin factor 0.0002: 6 % gives 372.666368.
      {"Ford APR",
       [](Engine& e) {
         e.page.LType = 3;
         e.page.FordAdminFactor = 0.0002;
         e.page.FordAPR = 0.09;
       },
       372.67,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.NFordAPR(b[0], b[3], b[2]); }, 0.06, 1e-5,
       [](double apr) {
         return HandPaymentWT(21500, 12000, HandFordFactor(21500, 12000, apr, 36), 36) + 21500 * 0.0002 * 1.06;
       },
       0.0051},
      // A margin search that carries the selling price over the luxury-tax threshold:
      // invoice 34500, residual 20000, the luxury tax capitalised without rent charge.
      {"margin over the luxury threshold",
       [](Engine& e) {
         e.page.BaseInv = 34000;
         e.page.BaseMSRP = 37000;
         e.page.Residual = 20000;
       },
       700,
       [base](PaymentSolver& s, Engine& e) { auto b = base(e); return s.SolveMargin(b[0], b[1], b[2]); }, 3877.03, 0.3,
       [](double m) {
         const double price = 34500 + m;
         const double lux = HandLuxury(price);
         return HandPaymentWT(price + lux, 20000, 0.0025, 36, lux);
       },
       0.0052},
  };
}

TEST_F(SolversTest, EachSearchFindsBackTheInputThatGivesThePayment) {
  for (const FindBackCase& c : FindBackCases()) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    c.change(e);
    Recalc();
    const PageInputs before = e.SnapshotInputs();
    PaymentSolver s(e, c.desired, 1);
    const SolveResult r = c.solve(s, e);
    ASSERT_EQ(r.status, SolveStatus::Solved);
    EXPECT_NEAR(r.value, c.expected, c.valueTolerance);
    EXPECT_NEAR(c.handPayment(r.value), c.desired, c.paymentTolerance);
    EXPECT_GE(r.trials, 1);
    EXPECT_LT(r.trials, 40) << "the start values put the search near the result";
    EXPECT_TRUE(e.SnapshotInputs() == before) << "the page's inputs are put back";
    EXPECT_EQ(host.shown, 1) << "the trials run without the display, which shows the last trial once";
  }
}

TEST_F(SolversTest, ExactStartsAndPagesThatAlreadyMeetThePaymentNeedOneTrial) {
  // Constant yield without tax: the factor's closed form is exact.
  PaymentSolver nt(e, 347.64, 0);
  SolveResult r = nt.SolveFactor(36, e.res.CapCost, 12000);
  ASSERT_TRUE(r.Solved());
  EXPECT_EQ(r.trials, 1);
  EXPECT_NEAR(r.value, (36 * 347.64 - 21500 + 12000) / (36 * 33500.0), 1e-15);

  // The page's payment already rounds to the desired one: the margin stays.
  PaymentSolver wt(e, 368.50, 1);
  r = wt.SolveMargin(36, 0.0025, 12000);
  ASSERT_TRUE(r.Solved());
  EXPECT_EQ(r.trials, 1);
  EXPECT_EQ(r.value, 1000);
}

TEST_F(SolversTest, MarginForAZeroPaymentAimsAtATenthOfACent) {
  PaymentSolver s(e, 0, 1);
  const SolveResult r = s.SolveMargin(36, 0.0025, 12000);
  EXPECT_EQ(s.DesiredPmt, 0.001);
  ASSERT_TRUE(r.Solved());
  EXPECT_NEAR(HandPaymentWT(CommonCap(r.value), 12000, 0.0025, 36), 0, 0.0051);
}

TEST_F(SolversTest, CapReductionGivesTheCapCostOfTheSolvedMargin) {
  e.page.Margin = 1500;
  Recalc();
  const PageInputs before = e.SnapshotInputs();
  const double capCost = e.res.CapCost;
  PaymentSolver s(e, 368.50, 1);
  const SolveResult m = s.SolveMargin(36, 0.0025, 12000);
  ASSERT_TRUE(m.Solved());
  EXPECT_EQ(e.res.CapCost, capCost) << "the margin search puts the cap cost back";
  const SolveResult c = s.AdjustCapReduction(m.value);
  ASSERT_TRUE(c.Solved());
  EXPECT_LE(c.trials, 3);
  // The cap reduction takes the place of the 500 of margin (its tax is paid in cash).
  EXPECT_NEAR(c.value, 500, 0.3);
  EXPECT_NEAR(HandPaymentWT(CommonCap(1500, c.value), 12000, 0.0025, 36), 368.50, 0.0051);
  EXPECT_TRUE(e.SnapshotInputs() == before);
}

// The forced payment window's cap-reduction answer: the margin search, then the cap
// reduction, which the window applies to the page as it was and recalculates. Whenever the
// answer says solved, that page gives the desired payment.
TEST_F(SolversTest, EverySolvedCapReductionGivesTheDesiredPaymentWhenApplied) {
  struct Page {
    double baseInv;
    int16_t leaseMethod;
    float taxMethod;
    int16_t noInterestOnLuxury;
    bool capitalisedFirstPayment;
  };
  std::vector<Page> pages;
  for (double inv : {15000.0, 28000.0, 36000.0, 41000.0})
    for (int16_t lt : {int16_t{0}, int16_t{1}, int16_t{3}})
      for (float tm : {0.0f, 1.0f, 2.0f, 3.0f})
        for (int16_t nl : {int16_t{0}, int16_t{1}})
          for (bool fp : {false, true}) pages.push_back({inv, lt, tm, nl, fp});
  int answered = 0;
  int solved = 0;
  for (const Page& pg : pages) {
    for (double desired : {368.50, 700.0}) {
      test::SetUpCommonPage(e);
      e.page.BaseInv = pg.baseInv;
      e.page.BaseMSRP = pg.baseInv * 1.1;
      e.page.Residual = std::round(pg.baseInv * 0.6);
      e.page.LType = pg.leaseMethod;
      e.page.FordAPR = 0.06;
      e.tax.TaxMethod = pg.taxMethod;
      e.tax.NoInterestOnLuxuryTax = pg.noInterestOnLuxury;
      if (pg.capitalisedFirstPayment) e.items.FirstPayment.Cap = 1;
      Recalc();
      const PageInputs before = e.SnapshotInputs();
      PaymentSolver s(e, desired, 1);
      const SolveResult m = s.SolveMargin(e.page.Months, e.page.Factor, e.page.Residual);
      if (!m.Solved()) continue;
      ++answered;
      const SolveResult c = s.AdjustCapReduction(m.value);
      ASSERT_TRUE(e.SnapshotInputs() == before);
      if (!c.Solved()) continue;
      ++solved;
      e.page.CapRd = c.value;
      e.RecalcPage();
      EXPECT_LE(std::fabs(Engine::RoundNum(e.res.PaymentWT, 2) - desired), 0.005)
          << "invoice " << pg.baseInv << ", method " << pg.leaseMethod << ", tax method " << pg.taxMethod
          << ", no interest on luxury tax " << pg.noInterestOnLuxury << ", first payment capitalised "
          << pg.capitalisedFirstPayment << ": cap reduction " << c.value << " for " << desired << " gives "
          << e.res.PaymentWT;
    }
  }
  // The sweep means something: most pages have an answer.
  EXPECT_GT(answered, 300);
  EXPECT_GT(solved, answered * 9 / 10);
}

// The two pages where the cap cost of the margin answer gave another payment: a selling
// price above the luxury-tax threshold (the luxury tax kept out of the rent charge), and the
// tax on the sum of payments.
TEST_F(SolversTest, CapReductionOnPagesWhereTheCapCostIsNotThePayment) {
  struct Case {
    const char* what;
    double baseInv;
    float taxMethod;
    double desired;
  };
  const Case cases[] = {
      {"priced at 37,500", 36000, 0, 700},
      {"tax on the sum of payments", 20000, 2, 368.50},
  };
  for (const Case& c : cases) {
    test::SetUpCommonPage(e);
    e.page.BaseInv = c.baseInv;
    e.page.BaseMSRP = c.baseInv * 1.1;
    e.tax.TaxMethod = c.taxMethod;
    Recalc();
    PaymentSolver s(e, c.desired, 1);
    const SolveResult m = s.SolveMargin(36, 0.0025, 12000);
    ASSERT_TRUE(m.Solved()) << c.what;
    const SolveResult r = s.AdjustCapReduction(m.value);
    ASSERT_TRUE(r.Solved()) << c.what;
    e.page.CapRd = r.value;
    e.RecalcPage();
    EXPECT_NEAR(e.res.PaymentWT, c.desired, 0.005) << c.what;
  }
}

TEST_F(SolversTest, EstimateMarginTakesTheLuxuryTaxWhenThePriceCrossesTheThreshold) {
  // Invoice 34500, residual 20000, 36 months at 0.0025: K = (36 tt + 0.91 R) / 1.09;
  // without luxury tax m0 = K - 34500, with it m1 = (K + 0.06 * 36000) / 1.06 - 34500.
  struct Case {
    double margin, tt, expected;
  };
  const Case cases[] = {
      {1000, 700, 5100.4847},   // price below: m0 + I = 39816.51 is above 36000, so m1
      {1000, 500, -1288.9908},  // price below and stays below: m0
      {2000, 700, 5100.4847},   // price above and stays above: m1
      {2000, 500, -1288.9908},  // price above, m1 + I = 33368.87 below: m0
  };
  for (const Case& c : cases) {
    test::SetUpCommonPage(e);
    e.page.BaseInv = 34000;
    e.page.Residual = 20000;
    e.page.Margin = c.margin;
    Recalc();
    const PaymentSolver s(e, c.tt, 1);
    EXPECT_NEAR(s.EstimateMargin(36, 0.0025, 20000, c.tt), c.expected, 1e-3) << c.margin << " " << c.tt;
  }
}

// ---- no value where there is none ----------------------------------------------------

struct NoValueCase {
  std::string name;
  std::function<void(Engine&)> change;
  double desired;
  int16_t check1;
  std::function<SolveResult(PaymentSolver&, Engine&)> solve;
  int maxTrials;
};

std::vector<NoValueCase> NoValueCases() {
  auto n = [](Engine& e) { return e.page.Months; };
  auto C = [](Engine& e) { return e.res.CapCost; };
  auto R = [](Engine& e) { return e.page.Residual; };
  auto F = [](Engine& e) { return e.page.Factor; };
  auto none = [](Engine&) {};
  return {
      // Below the rent charge F (C + R) = 83.75 (88.78 with tax) no term gives the payment.
      {"months below the rent charge", none, 80, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveMonths(C(e), R(e), F(e)); }, 0},
      {"months at the rent charge", none, 83.75, 0, [=](PaymentSolver& s, Engine& e) { return s.SolveMonths(C(e), R(e), F(e)); }, 0},
      // More than the one-month payment (10158.48 with tax) needs less than a month.
      {"months below one", none, 20000, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveMonths(C(e), R(e), F(e)); }, 3},
      {"months for a negative payment", none, -10, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveMonths(C(e), R(e), F(e)); }, 0},
      // A payment of 2000 needs a negative residual.
      {"residual of the wrong sign", none, 2000, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveResidual(n(e), F(e), C(e)); }, 0},
      {"residual starting from 0",
       [](Engine& e) {
         e.page.LType = 3;
         e.page.FordAPR = 0.06;
         e.page.Residual = 0;
       },
       300, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveResidual(n(e), F(e), C(e)); }, 0},
      {"residual with n F = 1", none, 300, 1, [=](PaymentSolver& s, Engine&) { return s.SolveResidual(400, 0.0025, 21500); }, 0},
      {"factor at a zero term", [](Engine& e) { e.page.Months = 0; }, 300, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveFactor(n(e), C(e), R(e)); }, 0},
      {"margin at a zero term", [](Engine& e) { e.page.Months = 0; }, 300, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveMargin(n(e), F(e), R(e)); }, 0},
      // Under the Ford APR method the factor follows the APR: every trial pays the same.
      {"factor under the Ford APR method",
       [](Engine& e) {
         e.page.LType = 3;
         e.page.FordAPR = 0.06;
       },
       300, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveFactor(n(e), C(e), R(e)); }, 3},
      // Method 2 with no factor gives no margin estimate: the trials pay the same.
      {"margin under method 2 without factor",
       [](Engine& e) {
         e.page.LType = 2;
         e.page.Factor = 0;
         e.page.Factor2 = 0.001;
       },
       300, 1, [=](PaymentSolver& s, Engine& e) { return s.SolveMargin(n(e), F(e), R(e)); }, 3},
      // No residual: no APR converts, both starts are 0 and the trials pay the same.
      {"Ford APR without residual",
       [](Engine& e) {
         e.page.LType = 3;
         e.page.FordAPR = 0.06;
         e.page.Residual = 0;
       },
       300, 1, [=](PaymentSolver& s, Engine& e) { return s.NFordAPR(n(e), C(e), R(e)); }, 3},
      {"Ford APR at a zero term", [](Engine& e) { e.page.LType = 3; e.page.Months = 0; }, 300, 1,
       [=](PaymentSolver& s, Engine& e) { return s.NFordAPR(n(e), C(e), R(e)); }, 0},
  };
}

TEST_F(SolversTest, SearchesWithoutAnAnswerReportNoValueAndLeaveThePage) {
  for (const NoValueCase& c : NoValueCases()) {
    SCOPED_TRACE(c.name);
    test::SetUpCommonPage(e);
    c.change(e);
    Recalc();
    const PageInputs before = e.SnapshotInputs();
    PaymentSolver s(e, c.desired, c.check1);
    const SolveResult r = c.solve(s, e);
    EXPECT_EQ(r.status, SolveStatus::NoValue);
    EXPECT_LE(r.trials, c.maxTrials);
    EXPECT_TRUE(e.SnapshotInputs() == before);
  }
}

// Records the term of every trial the display sees.
class RecordingHost : public EngineHost {
 public:
  explicit RecordingHost(Engine& e) : e_(e) {}
  void ShowPageResults() override { months.push_back(e_.page.Months); }
  std::vector<double> months;

 private:
  Engine& e_;
};

TEST_F(SolversTest, MonthsSearchNeverTriesLessThanOneMonth) {
  RecordingHost rec(e);
  e.host = &rec;
  for (double desired : {20000.0, 9000.0, 2000.0}) {
    rec.months.clear();
    PaymentSolver s(e, desired, 1);
    s.QuietTrials = false;
    const SolveResult r = s.SolveMonths(e.res.CapCost, 12000, 0.0025);
    ASSERT_FALSE(rec.months.empty());
    for (double m : rec.months) EXPECT_GE(m, 1) << desired;
    if (r.Solved()) {
      EXPECT_NEAR(HandPaymentWT(21500, 12000, 0.0025, r.value), desired, 0.9) << desired;
    }
    EXPECT_EQ(e.page.Months, 36);
  }
}

TEST_F(SolversTest, QuietTrialsGiveTheSameResultsAsDisplayedOnes) {
  // Under the Ford APR method the display leaves the effective factor in the page after
  // every trial; quiet trials must do the same.
  e.page.LType = 3;
  e.page.FordAdminFactor = 0.0002;
  e.page.FordAPR = 0.09;
  Recalc();
  const PageInputs start = e.SnapshotInputs();
  SolveResult results[2];
  PageResults after[2];
  for (int quiet = 0; quiet < 2; ++quiet) {
    e.RestoreInputs(start);
    Recalc();
    PaymentSolver s(e, 372.67, 1);
    s.QuietTrials = quiet == 1;
    results[quiet] = s.NFordAPR(36, e.res.CapCost, 12000);
    after[quiet] = e.res;
    EXPECT_EQ(host.shown, quiet ? 1 : results[quiet].trials);
  }
  EXPECT_EQ(results[0].status, results[1].status);
  EXPECT_EQ(results[0].value, results[1].value);
  EXPECT_EQ(results[0].trials, results[1].trials);
  EXPECT_EQ(after[0].PaymentWT, after[1].PaymentWT);
}

TEST_F(SolversTest, EverySearchPutsBackEveryInputAndSplitOfABusyPage) {
  // A page whose trials move start-up splits: capitalised first payment, luxury tax split
  // by the calculation, a cash cap reduction with its tax, a capitalised adjustment.
  e.page.BaseInv = 35000;
  e.page.Margin = 1500;
  e.page.CapRd = 1000;
  e.items.FirstPayment.Cap = 1;
  e.items.Acquisition.Cap = 450;
  e.items.TotalAdjust.Cap = 200;
  Recalc();
  ASSERT_GT(e.items.LuxuryTax.Cap, 0);
  const PageInputs before = e.SnapshotInputs();
  const double capCost = e.res.CapCost;
  const double n = 36, F = 0.0025, R = 12000;
  const std::vector<std::pair<std::string, std::function<SolveResult(PaymentSolver&)>>> searches = {
      {"margin", [&](PaymentSolver& s) { return s.SolveMargin(n, F, R); }},
      {"factor", [&](PaymentSolver& s) { return s.SolveFactor(n, capCost, R); }},
      {"residual", [&](PaymentSolver& s) { return s.SolveResidual(n, F, capCost); }},
      {"months", [&](PaymentSolver& s) { return s.SolveMonths(capCost, R, F); }},
      {"cap reduction", [&](PaymentSolver& s) { return s.AdjustCapReduction(800); }},
  };
  for (const auto& [name, search] : searches) {
    for (double desired : {450.0, 600.0}) {
      PaymentSolver s(e, desired, 1);
      const SolveResult r = search(s);
      EXPECT_TRUE(std::isfinite(r.value)) << name;
      EXPECT_TRUE(e.SnapshotInputs() == before) << name << " " << desired;
      e.RestoreInputs(before);
      Recalc();
    }
  }
}

}  // namespace
}  // namespace qv
