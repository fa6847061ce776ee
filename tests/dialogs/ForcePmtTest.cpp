// The forced payment window on the main window's sample page: what each lease method lets
// it solve, each item found back and stored by OK, the with-tax box, OK without a result,
// Cancel, the desired-payment text and the hidden drive.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTest>

#include <cmath>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "dialogs/ForcePmt.h"
#include "tests/worksheet/QVFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

// Constant-yield payment with the 6 % tax of the "Home" setting.
double PaymentWT(double cap, double residual, double factor, double months) {
  return ((cap + residual) * factor + (cap - residual) / months) * 1.06;
}

double FordFactor(double cap, double residual, double apr, double months) {
  const double i = apr / 12;
  const double p = std::pow(1 + i, months);
  const double a = (cap - residual / p) * i * std::pow(1 + i, months - 1) / (p - 1);
  return (a - (cap - residual) / months) / (cap + residual);
}

class ForcePmtTest : public SampleDealTest<ForcePmt> {
 protected:
  ForcePmt& Open() { return windows.Get<ForcePmt>(); }
  static void TypePayment(ForcePmt& w, const std::string& text) {
    w.Text1_GotFocus();
    w.Text1->setText(QString::fromStdString(text));
    w.Text1_LostFocus();
  }
  static std::string Result(const ForcePmt& w) { return w.Label3->text().toStdString(); }
};

TEST_F(ForcePmtTest, LoadShowsThePaymentAndTheMarginAndWhatTheMethodAllows) {
  struct Case {
    int16_t method;
    std::array<bool, 6> enabled;  // margin, cap reduction, factor, Ford APR, residual, months
  };
  const Case cases[] = {
      {0, {true, true, true, false, true, true}},
      {1, {true, true, true, false, true, true}},
      {2, {true, true, false, false, true, false}},
      {3, {true, true, false, true, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    eng.page.LType = c.method;
    ForcePmt& w = Open();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w.Option1[i]->isEnabled(), c.enabled[i]) << i;
    EXPECT_TRUE(w.Option1[0]->isChecked());
    EXPECT_TRUE(w.Check1->isChecked());
    EXPECT_EQ(windows.Shared().ForcePmtOpen, -1);
    windows.Unload<ForcePmt>();
    EXPECT_EQ(windows.Shared().ForcePmtOpen, 0);
  }
  eng.page.LType = 0;
  ForcePmt& w = Open();
  EXPECT_EQ(w.windowTitle(), "Force Payment");
  EXPECT_EQ(w.Text1->text(), "$368.50");
  EXPECT_EQ(Result(w), "$1,000.00   (4.88%)");
  EXPECT_FALSE(w.Check2->isVisibleTo(&w));
}

struct ItemCase {
  std::string name;
  int item;
  std::function<void(Engine&)> change;
  const char* typed;
  std::function<double(const Engine&)> field;
  double expected, tolerance;
  std::function<double(const Engine&)> handPayment;  // the payment of the stored page, by hand
  const char* label;  // pattern of the shown result
};

TEST_F(ForcePmtTest, EachItemFindsTheInputBackAndOkStoresIt) {
  // The sample page: margin 1000, factor .0025, residual 12000 and 36 months give 368.497.
  const std::vector<ItemCase> cases = {
      {"margin", 0, [](Engine& e) { e.page.Margin = 400; }, "368.50", [](const Engine& e) { return e.page.Margin; },
       1000, 0.3, [](const Engine& e) { return PaymentWT(20500 + e.page.Margin, 12000, 0.0025, 36); },
       R"(\$(999|1,000)\.\d\d   \(4\.88%\))"},
      {"cap reduction", 1, [](Engine& e) { e.page.Margin = 1500; }, "368.50",
       [](const Engine& e) { return e.page.CapRd; }, 500, 0.3,
       [](const Engine& e) { return PaymentWT(22000 - e.page.CapRd, 12000, 0.0025, 36); }, R"(\$(499|500)\.\d\d)"},
      {"factor", 2, [](Engine& e) { e.page.Factor = 0.0031; }, "368.50",
       [](const Engine& e) { return e.page.Factor; }, 0.0025, 3e-7,
       [](const Engine& e) { return PaymentWT(21500, 12000, e.page.Factor, 36); }, R"(0\.002500   \(6\.0% APR\))"},
      {"Ford APR", 3,
       [](Engine& e) {
         e.page.LType = 3;
         e.page.FordAdminFactor = 0.0002;
         e.page.FordAPR = 0.09;
       },
       "372.67", [](const Engine& e) { return e.page.FordAPR; }, 0.06, 1e-5,
       [](const Engine& e) {
         return PaymentWT(21500, 12000, FordFactor(21500, 12000, e.page.FordAPR, 36), 36) + 21500 * 0.0002 * 1.06;
       },
       R"((5\.999|6\.000|6\.001)%)"},
      {"residual", 4, [](Engine& e) { e.page.Residual = 10500; }, "368.50",
       [](const Engine& e) { return e.page.Residual; }, 12000, 0.4,
       [](const Engine& e) { return PaymentWT(21500, e.page.Residual, 0.0025, 36); },
       R"(\$(11,999|12,000)\.\d\d  \(53\.3%\))"},
      {"months", 5, [](Engine& e) { e.page.Months = 30; }, "368.50", [](const Engine& e) { return e.page.Months; },
       36, 0.2, [](const Engine& e) { return PaymentWT(21500, 12000, 0.0025, e.page.Months); },
       R"(3[56]\.\d\d)"},
  };
  for (const ItemCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    c.change(eng);
    eng.RecalcPage();
    eng.WorksheetModified = 0;
    ForcePmt& w = Open();
    w.Option1[c.item]->setChecked(true);
    TypePayment(w, c.typed);
    EXPECT_TRUE(std::regex_match(Result(w), std::regex(c.label))) << Result(w);
    EXPECT_TRUE(w.HasApplicableResult());
    w.Command2_Click(0);
    EXPECT_NEAR(c.field(eng), c.expected, c.tolerance);
    EXPECT_NEAR(c.handPayment(eng), std::stod(c.typed), c.item == 5 ? 0.9 : 0.011);
    EXPECT_NEAR(eng.res.PaymentWT, std::stod(c.typed), c.item == 5 ? 0.9 : 0.011) << "the page was recalculated";
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_EQ(windows.Shared().ForcePmtOpen, 0);
    windows.Unload<ForcePmt>();
  }
}

TEST_F(ForcePmtTest, TheCurrentPaymentKeepsTheMarginAndTheTaxBoxSwitchesThePayment) {
  ForcePmt& w = Open();
  EXPECT_EQ(w.Text1->text(), "$368.50");
  w.Option1_Click(0);  // the payment shown at load: the page already meets it
  EXPECT_EQ(w.ReqMargin, 1000);
  EXPECT_EQ(Result(w), "$1,000.00   (4.88%)");
  // Without tax 368.50 is PaymentNT: cap cost (368.50 + 12000 x (1/36 - .0025)) / (.0025 + 1/36).
  w.Check1->setChecked(false);
  const double cap = (368.50 + 12000 * (1.0 / 36 - 0.0025)) / (0.0025 + 1.0 / 36);
  EXPECT_NEAR(w.ReqMargin, cap - 20500, 0.2);
}

TEST_F(ForcePmtTest, OkWithoutAResultForTheseInputsChangesNothing) {
  const PageInputs before = eng.SnapshotInputs();
  struct Case {
    std::string name;
    std::function<void(ForcePmt&)> act;
  };
  const Case cases[] = {
      {"nothing computed", [](ForcePmt&) {}},
      // 80 a month is below the rent charge: no term gives it.
      {"N/A", [](ForcePmt& w) {
         w.Option1[5]->setChecked(true);
         TypePayment(w, "80");
         EXPECT_EQ(Result(w), "N/A");
         EXPECT_EQ(w.Text1->text(), "$80.00");
       }},
      {"payment changed after the result", [](ForcePmt& w) {
         TypePayment(w, "400");
         w.Text1->setText("$420.00");
       }},
      {"tax box changed after the result", [](ForcePmt& w) {
         TypePayment(w, "400");
         QSignalBlocker b(w.Check1);
         w.Check1->setChecked(false);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ForcePmt& w = Open();
    c.act(w);
    EXPECT_FALSE(w.HasApplicableResult());
    w.Command2_Click(0);
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    EXPECT_EQ(eng.WorksheetModified, 0);
    EXPECT_NEAR(eng.res.PaymentWT, 368.497222, 5e-7);
    windows.Unload<ForcePmt>();
  }
}

TEST_F(ForcePmtTest, CancelAfterSeveralSolvesPutsEveryInputAndSplitBack) {
  // Luxury tax split by the calculation, a capitalised first payment, a cash cap reduction.
  eng.page.BaseInv = 35000;
  eng.page.CapRd = 1000;
  eng.items.FirstPayment.Cap = 1;
  eng.RecalcPage();
  ASSERT_GT(eng.items.LuxuryTax.Cap, 0);
  const PageInputs before = eng.SnapshotInputs();
  const double payment = eng.res.PaymentWT;
  ForcePmt& w = Open();
  for (int item : {0, 1, 2, 4, 5}) {
    w.Option1[item]->setChecked(true);
    TypePayment(w, item % 2 ? "650" : "700");
  }
  w.Command2_Click(1);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_DOUBLE_EQ(eng.res.PaymentWT, payment) << "recalculated";
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_TRUE(w.Finished());
}

TEST_F(ForcePmtTest, ANegativeOrUnreadableDesiredPaymentIsRefusedAndNothingApplied) {
  const std::pair<const char*, std::string> cases[] = {
      {"($150.00)", ForcePmt::kNegativePaymentMessage},
      {"-50", ForcePmt::kNegativePaymentMessage},
      {"about 300", "\"about 300\" is not a number."},
  };
  for (const auto& [typed, message] : cases) {
    SCOPED_TRACE(typed);
    Reset();
    eng.WorksheetModified = 0;
    const PageInputs before = eng.SnapshotInputs();
    ForcePmt& w = Open();
    w.Option1[0]->setChecked(true);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    TypePayment(w, typed);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(w.Text1->text(), "$368.50") << "the box shows what it held";
    EXPECT_EQ(Result(w), "$1,000.00   (4.88%)") << "the result shown stays";
    EXPECT_FALSE(w.HasApplicableResult());
    w.Command2_Click(0);
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    EXPECT_DOUBLE_EQ(eng.page.Margin, 1000);
    EXPECT_NEAR(eng.res.PaymentWT, PaymentWT(21500, 12000, 0.0025, 36), 1e-9);
    EXPECT_EQ(eng.WorksheetModified, 0);
    windows.Unload<ForcePmt>();
  }
}

// Payments that only a value no deal can have would give: "N/A", and OK writes nothing.
// By hand on the sample page (cap cost 21,500, residual 12,000, factor .0025, 36 months,
// 6 % tax): $100 needs a factor of (36 x 100 / 1.06 - 9,500) / (36 x 33,500) = -0.00506;
// $20 needs a residual of (20 / 1.06 - 53.75 - 597.22) / (.0025 - 1 / 36) = 25,006, above the
// cap cost; $200 under the Ford APR method needs a negative rate as the factor does.
TEST_F(ForcePmtTest, AnAnswerNoDealCanHaveShowsNAAndOkWritesNothing) {
  struct Case {
    const char* name;
    int item;
    const char* typed;
    bool ford;
  };
  const Case cases[] = {
      {"factor", 2, "100", false},
      {"residual", 4, "20", false},
      {"Ford APR", 3, "200", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.ford) {
      eng.page.LType = 3;
      eng.page.FordAPR = 0.06;
      eng.RecalcPage();
    }
    eng.WorksheetModified = 0;
    const PageInputs before = eng.SnapshotInputs();
    const double payment = eng.res.PaymentWT;
    ForcePmt& w = Open();
    w.Option1[c.item]->setChecked(true);
    TypePayment(w, c.typed);
    EXPECT_EQ(Result(w), "N/A");
    EXPECT_FALSE(w.HasApplicableResult());
    w.Command2_Click(0);
    EXPECT_TRUE(eng.SnapshotInputs() == before) << "nothing written";
    EXPECT_DOUBLE_EQ(eng.res.PaymentWT, payment);
    EXPECT_EQ(eng.WorksheetModified, 0);
    windows.Unload<ForcePmt>();
  }
}

TEST_F(ForcePmtTest, TheHiddenDriveAlwaysComputesAndApplies) {
  // The single-payment command: the payment text "0", whatever the box held before.
  windows.Shared().GotFocusText = "0";
  ForcePmt& w = Open();
  w.Text1->setText("0");
  windows.Shared().GotFocusText = "0";
  w.Check2->setChecked(true);
  EXPECT_TRUE(w.Finished());
  EXPECT_EQ(eng.WorksheetModified, -1);
  // The margin that brings the payment to 0.00 (aimed at a tenth of a cent).
  EXPECT_NEAR(PaymentWT(20500 + eng.page.Margin, 12000, 0.0025, 36), 0, 0.011);
  EXPECT_NEAR(eng.res.PaymentWT, 0, 0.011);
}

// Typed and left with Enter, a negative payment is refused: the box keeps the focus with its
// old payment selected, and OK by its accelerator then applies nothing.
TEST_F(ForcePmtTest, ANegativePaymentLeftWithEnterKeepsTheFocusInTheBox) {
  eng.WorksheetModified = 0;
  const PageInputs before = eng.SnapshotInputs();
  ForcePmt& w = Open();
  if (!MakeActive(&w)) GTEST_SKIP() << "no active window on this platform";
  w.Text1->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  QTest::keyClicks(w.Text1, "-50");
  prompt.Answer(ui::Answer::OK);
  QTest::keyClick(w.Text1, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{ForcePmt::kNegativePaymentMessage});
  EXPECT_EQ(QApplication::focusWidget(), w.Text1);
  EXPECT_EQ(w.Text1->text(), "$368.50");
  EXPECT_EQ(w.Text1->selectedText(), "$368.50");
  EXPECT_FALSE(w.HasApplicableResult());
  w.Command2_Click(0);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(ForcePmtTest, EnterComputesOnceAndMovesToOk) {
  ForcePmt& w = Open();
  if (!MakeActive(&w)) GTEST_SKIP() << "no active window on this platform";
  w.Text1->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  w.Text1->setText("$400.00");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(w.Text1, &enter);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w.Command2[0]);
  EXPECT_TRUE(w.HasApplicableResult());
  EXPECT_NEAR(PaymentWT(20500 + w.ReqMargin, 12000, 0.0025, 36), 400, 0.0051);
  EXPECT_FALSE(w.Finished()) << "Enter in the box does not press OK";
}

}  // namespace
}  // namespace qv::test
