// The payment table on the common page: cells against the constant-yield formula, the page
// put back after a fill, sets not in use left empty, the margin rows and the step rules,
// and the table text.
#include <gtest/gtest.h>

#include <string>

#include "CommonPage.h"
#include "engine/PaymentTable.h"
#include "engine/Runtime.h"

namespace qv {
namespace {

using test::CountingHost;
using test::SetUpCommonPage;

// Constant-yield payment without tax; the "Home" setting taxes it at 6 %.
double PaymentNT(double cap, double residual, double factor, double months) {
  return (cap + residual) * factor + (cap - residual) / months;
}
double Cents(double v) { return Engine::RoundNum(v, 2); }

void SetSet(Engine& e, int i, double months, double factor, double residual) {
  e.TableMonths[i] = months;
  e.TableFactors[i] = factor;
  e.TableResiduals[i] = residual;
}

class PaymentTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpCommonPage(e);
    e.host = &host;
    e.RecalcPage();
    host.shown = 0;
    for (int i = 1; i <= 4; ++i) SetSet(e, i, 0, 0, 0);
    e.TableMarginStart = 0;
    e.TableMarginEnd = 2000;
    e.TableMarginStep = 50;
  }
  Engine e;
  CountingHost host;
  grid::Sheet sheet;
};

TEST_F(PaymentTableTest, CellsArePaymentsOfTheRowMarginAndTheSetTerms) {
  SetSet(e, 2, 36, 0.0025, 12000);
  SetSet(e, 3, 48, 0.0020, 10000);
  for (bool withTax : {false, true}) {
    SCOPED_TRACE(withTax);
    const double tax = withTax ? 1.06 : 1.0;
    EXPECT_EQ(FillPaymentTableSheet(e, sheet, withTax), 41 * 2);
    ASSERT_EQ(sheet.MaxRow(), 41);
    // Row 21 is the margin 1000: the common page itself in set 2.
    EXPECT_DOUBLE_EQ(sheet.NumberRC(21, 1), 1000);
    EXPECT_DOUBLE_EQ(sheet.NumberRC(21, 4), withTax ? 368.50 : 347.64);
    EXPECT_DOUBLE_EQ(sheet.NumberRC(21, 2), 21500);
    // Margin 0 and margin 500, worked by the formula.
    EXPECT_DOUBLE_EQ(sheet.NumberRC(1, 4), Cents(PaymentNT(20500, 12000, 0.0025, 36) * tax));
    EXPECT_DOUBLE_EQ(sheet.NumberRC(11, 5), Cents(PaymentNT(21000, 10000, 0.0020, 48) * tax));
    EXPECT_DOUBLE_EQ(sheet.NumberRC(41, 1), 2000);
    EXPECT_DOUBLE_EQ(sheet.NumberRC(41, 2), 22500);
  }
  EXPECT_EQ(sheet.ColText(4), "Months 36\r\nRes 12,000\r\nFact 0.00250");
  EXPECT_EQ(sheet.ColText(5), "Months 48\r\nRes 10,000\r\nFact 0.00200");
}

// With a capitalised luxury tax the cap cost grows faster than the margin: each row shows the
// page's own cap cost at its margin. By hand: 6 % of the price over 20,000, capitalised, so
// the cap cost at margin m is 20,500 + m + 0.06 x (500 + m); the payments follow it, the
// luxury tax repaid without a rent charge.
TEST_F(PaymentTableTest, EachRowShowsItsOwnCapCost) {
  e.tax.LuxuryTaxRate = 6;
  e.tax.LuxuryThreshold = 20000;
  e.tax.LuxuryTaxCapCash = 1;
  e.RecalcPage();
  auto cap = [](double m) { return 20500 + m + 0.06 * (500 + m); };
  ASSERT_NEAR(e.res.CapCost, cap(1000), 0.001) << "the page itself at margin 1,000";
  struct Case {
    const char* name;
    int set;  // the set in use: 2 is the page's own deal, 1 another
    double months, factor, residual;
    int trials;
  };
  const Case cases[] = {
      {"a set of the page's own deal", 2, 36, 0.0025, 12000, 41},
      {"no set of the page's own deal", 1, 24, 0.0030, 14000, 41 * 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 1; i <= 4; ++i) SetSet(e, i, 0, 0, 0);
    SetSet(e, c.set, c.months, c.factor, c.residual);
    EXPECT_EQ(FillPaymentTableSheet(e, sheet, false), c.trials);
    for (int r : {1, 2, 21, 41}) {
      const double m = 50.0 * (r - 1);
      SCOPED_TRACE(m);
      EXPECT_NEAR(sheet.NumberRC(r, 2), cap(m), 0.001);
      const double lux = 0.06 * (500 + m);
      EXPECT_NEAR(sheet.NumberRC(r, c.set + 2),
                  (cap(m) - lux + c.residual) * c.factor + (cap(m) - c.residual) / c.months, 0.0051);
    }
    EXPECT_NEAR(e.res.CapCost, cap(1000), 0.001) << "the page is its own again";
  }
}

TEST_F(PaymentTableTest, AFillPutsThePageBackAndRecalculatesItOnce) {
  // A page whose inputs the trials move: a capitalised first payment settled by the
  // recalculation and a hand-split document fee.
  e.items.FirstPayment.Cap = 300;
  e.items.FirstPayment.Cash = 0;
  e.items.DocumentFee.Cap = 40;
  e.items.DocumentFee.Cash = 60;
  e.items.DocumentFee.ManualSplit = 1;
  e.RecalcPage();
  host.shown = 0;
  const PageInputs before = e.SnapshotInputs();
  const double payment = e.res.PaymentWT;

  SetSet(e, 1, 24, 0.0030, 14000);
  SetSet(e, 4, 60, 0.0021, 8000);
  FillPaymentTableSheet(e, sheet, true);

  EXPECT_EQ(e.SnapshotInputs(), before);
  EXPECT_DOUBLE_EQ(e.res.PaymentWT, payment);
  EXPECT_EQ(host.shown, 1);
  EXPECT_EQ(e.host, &host);
}

TEST_F(PaymentTableTest, SetsNotInUseAreLeftEmptyHeadingsIncluded) {
  // Left over from an earlier table.
  for (int c = 3; c <= 6; ++c) {
    sheet.SetColText(c, "old");
    for (int r = 1; r <= 60; ++r) sheet.SetNumberRC(r, c, 999);
  }
  SetSet(e, 1, 24, 0.0030, 0);     // no residual
  SetSet(e, 2, 36, 0.0025, 12000);  // in use
  SetSet(e, 3, 0, 0.0020, 10000);   // no months
  EXPECT_EQ(FillPaymentTableSheet(e, sheet, false), 41);
  EXPECT_EQ(sheet.MaxRow(), 41);
  for (int c : {3, 5, 6}) {
    SCOPED_TRACE(c);
    EXPECT_EQ(sheet.ColText(c), "");
    for (int r = 1; r <= 41; ++r) EXPECT_TRUE(sheet.IsEmpty(r, c));
  }
  EXPECT_FALSE(sheet.IsEmpty(41, 4));
}

TEST_F(PaymentTableTest, RowsRunFromStartTowardsEndInWholeSteps) {
  struct Case {
    double start, end, step;
    int rows;
    double fittedStep, lastMargin;
  };
  const Case cases[] = {
      {0, 2000, 50, 41, 50, 2000},
      {0, 2150, 50, 44, 50, 2150},
      {0, 100, 2.5, 41, 2.5, 100},       // the real quotient, not the rounded operands
      {0, 100, 0.4, 101, 1, 100},        // a step below 1 becomes 1
      {0, 100, 0, 101, 1, 100},          // so does a zero step
      {500, 500, 0, 1, 1, 500},          // a zero range is one row
      {1000, 0, 1000, 2, 1000, 0},       // an end below the start runs downwards
      {1000, 0, 300, 4, 300, 100},
      {0, 10000, 1, 1667, 6, 9996},      // at most 2001 rows: the step is raised
      {0, 100000, 50, 2001, 50, 100000},
      {0, 110000, 50, 1965, 56, 109984},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + " " + std::to_string(c.end) + " " + std::to_string(c.step));
    EXPECT_DOUBLE_EQ(FittedTableStep(c.start, c.end, c.step), c.fittedStep);
    EXPECT_EQ(TableRowCount(c.start, c.end, c.step), c.rows);
    EXPECT_LE(TableRowCount(c.start, c.end, c.step), kMaxTableRows);
    EXPECT_DOUBLE_EQ(TableRowMargin(c.start, c.end, c.step, c.rows), c.lastMargin);
    EXPECT_DOUBLE_EQ(TableRowMargin(c.start, c.end, c.step, 1), c.start);
  }
}

TEST_F(PaymentTableTest, TheStepBoxRules) {
  struct Case {
    double typed, start, end, step;
  };
  const Case cases[] = {
      {0.4, 0, 2000, 1},      {-20, 0, 2000, 1},     {5000, 0, 2000, 2000},  // larger than the range: two rows
      {1, 0, 10000, 6},       {50, 1000, 0, 50},     {5000, 1000, 0, 1000},
      {10, 500, 500, 10},     {25, 0, 2000, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_DOUBLE_EQ(TableStepFromEntry(c.typed, c.start, c.end), c.step);
  }
}

TEST_F(PaymentTableTest, AFillRaisesAStepThatGivesTooManyRowsWhicheverValueChanged) {
  SetSet(e, 2, 36, 0.0025, 12000);
  e.TableMarginStep = 1;
  e.TableMarginEnd = 50000;  // the end changed after the step
  FillPaymentTableSheet(e, sheet, false);
  EXPECT_DOUBLE_EQ(e.TableMarginStep, 26);
  EXPECT_EQ(sheet.MaxRow(), 1924);
}

TEST_F(PaymentTableTest, TheTextHasTheHeadingsAndEveryRowFromTheFirst) {
  SetSet(e, 2, 36, 0.0025, 12000);
  e.TableMarginEnd = 50;
  for (int c = 1; c <= 6; ++c) sheet.SetColText(c, DefaultTableHeading(c));
  FillPaymentTableSheet(e, sheet, true);
  const std::string expected =
      "Margin\tCap Cost\t\tMonths 36 Res 12,000 Fact 0.00250\t\t\r\n"
      "0\t20500\t\t" + GeneralNumber(Cents(PaymentNT(20500, 12000, 0.0025, 36) * 1.06)) + "\t\t\r\n"
      "50\t20550\t\t" + GeneralNumber(Cents(PaymentNT(20550, 12000, 0.0025, 36) * 1.06)) + "\t\t\r\n";
  EXPECT_EQ(PaymentTableText(sheet), expected);
}

TEST_F(PaymentTableTest, ThePackedTextLeavesTheCurrentPageAlone) {
  e.page.TabParam = "current page's own text";
  SetSet(e, 1, 36, 0.0025, 12000);
  const std::string packed = PackedRateTableText(e);
  EXPECT_EQ(e.page.TabParam, "current page's own text");
  ASSERT_EQ(packed.size(), 108u);
  EXPECT_EQ(packed.substr(0, 27), "36       0.002500 12000.00 ");
}

}  // namespace
}  // namespace qv
