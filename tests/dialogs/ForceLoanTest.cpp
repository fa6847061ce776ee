// The loan payment solver window on the sample page (36 months at 0 %, 20790 financed):
// each target solved and stored, failures said and not stored, Cancel.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/ForceLoan.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

// The level monthly payment of an amount at an annual rate (annuity formula).
double Annuity(double amount, double rate, double n) {
  const double i = rate / 12;
  if (i == 0) return amount / n;
  const double g = std::pow(1 + i, n);
  return amount * i * g / (g - 1);
}

class ForceLoanTest : public SampleDealTest<ForceLoan> {
 protected:
  ForceLoan& Open() { return windows.Get<ForceLoan>(); }
  static std::string Label(const ForceLoan& w, int i) { return w.Label3[i]->text().toStdString(); }
};

TEST_F(ForceLoanTest, LoadShowsTheLoanPaymentAndTheMargin) {
  ForceLoan& w = Open();
  EXPECT_EQ(w.windowTitle(), "Force Payment");
  EXPECT_EQ(w.Text1->text(), "$577.50");
  EXPECT_EQ(Label(w, 0), "$1,000.00");
  EXPECT_EQ(w.VisibleLabel(), 0);
  EXPECT_EQ(w.Command1[1], nullptr);
  for (int i = 1; i < 5; ++i) EXPECT_FALSE(w.Label3[i]->isVisibleTo(&w)) << i;
}

TEST_F(ForceLoanTest, EachTargetIsSolvedShownAndStored) {
  struct Case {
    std::string name;
    int button;
    const char* typed;
    const char* label;
    std::function<double(const Engine&)> field;
    double expected, tolerance;
  };
  const Case cases[] = {
      // 36 x 500 = 18000 financed: 21500 + 1290 tax - 18000 down.
      {"down payment", 3, "500", "$4,790.00", [](const Engine& e) { return e.page.DownPmt; }, 4790, 1e-3},
      // 20790 - 35 x 400 left for month 36.
      {"balloon", 5, "400", "$6,790.00", [](const Engine& e) { return e.page.Balloon; }, 6790, 1e-3},
      {"months", 4, "500", "41.58", [](const Engine& e) { return e.page.LoanMonths; }, 20790 / 500.0, 0.001},
      // 600 a month pays 20790 off in 36 months at 2.497 %.
      {"rate", 2, "600", "2.50%", [](const Engine& e) { return e.page.LoanRate; }, 0.0249693, 2e-5},
      // 36 x 600 = 21600 financed: price x 1.06 - 2000, margin 23600 / 1.06 - 20500.
      {"margin", 0, "600", nullptr, [](const Engine& e) { return e.page.Margin; }, 1764.151, 0.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    ForceLoan& w = Open();
    w.Text1->setText(c.typed);
    w.Command1_Click(c.button);
    const int l = w.VisibleLabel();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Label3[i]->isVisibleTo(&w), i == l);
    if (c.label) {
      EXPECT_EQ(Label(w, l), c.label);
    }
    w.Command2_Click(0);
    EXPECT_NEAR(c.field(eng), c.expected, c.tolerance);
    EXPECT_NEAR(eng.res.PurPmnt, std::stod(c.typed), 0.0051) << "stored and recalculated";
    if (c.button == 2) {
      // The rate found against the annuity formula.
      EXPECT_NEAR(Annuity(20790, eng.page.LoanRate, 36), 600, 0.0051);
    }
    EXPECT_EQ(eng.WorksheetModified, -1);
    windows.Unload<ForceLoan>();
  }
}

TEST_F(ForceLoanTest, AFailedSolveSaysSoAndOkKeepsTheOldValue) {
  eng.page.LoanMonths = 0;  // no term: the payment does not follow the rate
  ForceLoan& w = Open();
  w.Text1->setText("$600.00");
  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(2);
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0], "Cannot solve due to division by zero.");
  EXPECT_EQ(prompt.Last()->buttons, ui::Buttons::OK);
  EXPECT_EQ(Label(w, 1), "");
  prompt.Answer(ui::Answer::OK);
  w.Command2_Click(0);
  EXPECT_EQ(prompt.MessageTexts().size(), 2u);
  EXPECT_EQ(eng.page.LoanRate, 0);
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_TRUE(w.isVisible() || !w.result()) << "the window stays for another try";

  // 50 a month never pays off 20790 at 6 %.
  Reset();
  eng.page.LoanRate = 0.06;
  eng.RecalcPage();
  windows.Unload<ForceLoan>();
  ForceLoan& w2 = Open();
  w2.Text1->setText("$50.00");
  prompt.Answer(ui::Answer::OK);
  w2.Command1_Click(4);
  const std::string said = prompt.MessageTexts().back();
  EXPECT_TRUE(said == "The desired payment cannot be reached." || said == "Cannot solve due to division by zero.")
      << said;
  EXPECT_EQ(Label(w2, 3), "");
}

// Payments that only a value no loan can have would give are not reached and not stored.
// By hand on the sample page (20,790 financed at 0 % over 36 months, 577.50): 36 x 500 =
// 18,000 pays off 20,790 only at a negative rate; 35 x 700 = 24,500 leaves a balloon of
// 20,790 - 24,500 = -3,710. A negative desired payment is refused as typed.
TEST_F(ForceLoanTest, AnAnswerNoLoanCanHaveIsNotReachedAndNotStored) {
  struct Case {
    const char* name;
    int button;
    const char* typed;
  };
  const Case cases[] = {{"rate", 2, "500"}, {"balloon", 5, "700"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    eng.WorksheetModified = 0;
    const PageInputs before = eng.SnapshotInputs();
    ForceLoan& w = Open();
    w.Text1->setText(c.typed);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    w.Command1_Click(c.button);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{ForceLoan::kNotReachedMessage});
    EXPECT_EQ(Label(w, w.VisibleLabel()), "");
    prompt.Answer(ui::Answer::OK);
    w.Command2_Click(0);
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    EXPECT_EQ(eng.WorksheetModified, 0);
    windows.Unload<ForceLoan>();
  }

  Reset();
  ForceLoan& w = Open();
  w.Command1_Click(3);
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::OK);
  w.Text1_GotFocus();
  w.Text1->setText("-50");
  w.Text1_LostFocus();
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{ForceLoan::kNegativePaymentMessage});
  EXPECT_EQ(w.Text1->text(), "$577.50");
  EXPECT_EQ(Label(w, 2), "$2,000.00") << "the result shown stays";
  w.Command2_Click(0);
  EXPECT_NEAR(eng.page.DownPmt, 2000, 0.01) << "OK solves the payment the box shows";
}

TEST_F(ForceLoanTest, CancelLeavesThePageAsItWas) {
  eng.page.BaseInv = 34000;  // the margin trials re-price a luxury tax
  eng.RecalcPage();
  const PageInputs before = eng.SnapshotInputs();
  const double principle = eng.res.LoanPrinciple;
  ForceLoan& w = Open();
  w.Text1->setText("$1,200.00");
  w.Command1_Click(0);
  ASSERT_NE(Label(w, 0), "");
  w.Command2_Click(1);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.res.LoanPrinciple, principle);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(ForceLoanTest, TypedPaymentSolvesTheVisibleTarget) {
  ForceLoan& w = Open();
  w.Command1_Click(3);  // down payment for the current 577.50: the current 2000
  EXPECT_EQ(Label(w, 2), "$2,000.00");
  w.Text1_GotFocus();
  w.Text1->setText("($0)");
  w.Text1_LostFocus();
  EXPECT_EQ(w.Text1->text(), "$0.00");
  // A payment of 0 is solved as one cent: 36 cents financed.
  EXPECT_EQ(Label(w, 2), "$22,789.64");
}

}  // namespace
}  // namespace qv::test
