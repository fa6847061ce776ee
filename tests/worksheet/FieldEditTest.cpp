// Deal field editing: typed text to page values, the money-factor question, the Enter
// focus order and the tax-rate box.
#include <QApplication>
#include <QKeyEvent>

#include <cmath>
#include <functional>

#include "tests/worksheet/QVFixture.h"
#include "worksheet/Settings.h"

namespace qv::test {
namespace {

using ui::Answer;
using ui::Buttons;

// The money factor of a constant-yield lease at an annual rate, from the annuity-due
// payment that runs the cap cost down to the residual.
double FactorAt(double cap, double residual, double apr, double months) {
  const double i = apr / 12;
  const double p = std::pow(1 + i, months);
  const double payment = (cap - residual / p) * i * std::pow(1 + i, months - 1) / (p - 1);
  return (payment - (cap - residual) / months) / (cap + residual);
}

class FieldEditTest : public SampleDealTest<> {};

TEST_F(FieldEditTest, TypedTextBecomesThePageValue) {
  // On the sample page: total invoice 20500, purchase price 21500, MSRP 22500.
  struct Case {
    int box;
    const char* typed;
    std::function<double(const Engine&)> field;
    double expected;
  };
  auto inv = [](const Engine& e) { return e.page.BaseInv; };
  auto margin = [](const Engine& e) { return e.page.Margin; };
  auto capRd = [](const Engine& e) { return e.page.CapRd; };
  auto residual = [](const Engine& e) { return e.page.Residual; };
  auto invest = [](const Engine& e) { return e.page.InvestRate; };
  auto loanRate = [](const Engine& e) { return e.page.LoanRate; };
  auto fordApr = [](const Engine& e) { return e.page.FordAPR; };
  auto down = [](const Engine& e) { return e.page.DownPmt; };
  auto endLoan = [](const Engine& e) { return e.page.EndLoan; };
  auto days = [](const Engine& e) { return double(e.page.DaysToFirstPayment); };
  auto miles = [](const Engine& e) { return double(e.page.AllowedMiles); };
  const Case cases[] = {
      {0, "$21,000", inv, 21000},
      {4, ".05", margin, 1025},  // 5 % of 20500, whole dollars
      {4, "-300", margin, -300},
      {4, "1,500", margin, 1500},
      {5, "(500)", capRd, 500},
      {6, "48", [](const Engine& e) { return e.page.Months; }, 48},
      {7, ".55", residual, 12375},  // 55 % of 22500
      {7, "12,500", residual, 12500},
      {8, "12,000", miles, 12000},
      {11, "9", invest, 0.09},
      {11, "9%", invest, 0.09},
      {11, ".09", invest, 0.09},
      {15, "4.5", invest, 0.045},
      {18, "1", invest, 1},
      {19, "6%", invest, 0.06},
      {14, "9", loanRate, 0.09},
      {14, ".085", loanRate, 0.085},
      {24, "3.9", fordApr, 0.039},
      {12, ".1", down, 2150},  // 10 % of 21500, not rounded
      {12, "3000", down, 3000},
      {12, "-500", down, -500},  // a negative amount is an amount
      {16, ".5", endLoan, 11250},
      {17, "-100", endLoan, -100},
      {13, "48", [](const Engine& e) { return e.page.LoanMonths; }, 48},
      {23, "5,000", [](const Engine& e) { return e.page.Balloon; }, 5000},
      {20, "1000", [](const Engine& e) { return double(e.page.PurchRebate); }, 1000},
      {26, "45", days, 45},
      {10, "3618", [](const Engine& e) { return e.page.Factor; }, 0.003},  // 3618 / (33500 x 36)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.box) + " " + c.typed);
    Load();
    CommonPage();
    eng.WorksheetModified = 0;
    Type(c.box, c.typed);
    EXPECT_NEAR(c.field(eng), c.expected, 1e-9);
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_EQ(windows.Shared().GotFocusText, Text(qv->Text3[c.box]));
  }
  EXPECT_TRUE(prompt.Asked().empty());
}

TEST_F(FieldEditTest, TradeInFieldsSetTheTradeEquity) {
  Type(21, "5000");
  EXPECT_DOUBLE_EQ(eng.items.TradeAllowance, 5000);
  Type(22, "1,500");
  EXPECT_DOUBLE_EQ(eng.items.TradePayoff, 1500);
  EXPECT_DOUBLE_EQ(eng.items.TradeEquity.Amount, 3500);
  EXPECT_DOUBLE_EQ(eng.items.TradeEquity.Cap + eng.items.TradeEquity.Cash, 3500);
}

TEST_F(FieldEditTest, LeavingAnUneditedBoxChangesNothing) {
  const PageInputs before = eng.SnapshotInputs();
  for (int box = 0; box < 27; ++box) {
    qv->Text3_GotFocus(box);
    qv->Text3_LostFocus(box);
  }
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
}

TEST_F(FieldEditTest, MoneyFactorQuestion) {
  const double cap = 21500, residual = 12000, months = 36;
  const std::string conversion = "The interest rate 7.50% converts to\ra money factor of " +
                                 Format(FactorAt(cap, residual, 0.075, months), ".0000000") +
                                 " for the cap cost,\rresidual, and number of months shown.\r\r"
                                 "Use this Money Factor in the Worksheet?";
  struct Case {
    const char* typed;
    int16_t ltype;
    std::vector<Answer> answers;
    std::vector<std::string> asked;
    double factor;
  };
  const Case cases[] = {
      {".003", 0, {}, {}, 0.003},
      {".05", 0, {Answer::No}, {"Is .05 an Interest Rate?"}, 0.05},
      {"7.5", 0, {Answer::Yes, Answer::OK}, {"Is 7.5 an Interest Rate?", conversion},
       FactorAt(cap, residual, 0.075, months)},
      {"7.5", 0, {Answer::Yes, Answer::Cancel}, {"Is 7.5 an Interest Rate?", conversion}, 0.0025},
      {"7.5", 0, {Answer::No, Answer::OK}, {"Is 7.5 an Interest Rate?", " 7.5 is an invalid Factor."}, 0.0025},
      {"50", 0, {}, {}, 0.0025},
      {"5", 2, {}, {}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Load();
    CommonPage();
    eng.page.LType = c.ltype;
    prompt.ClearAsked();
    for (Answer a : c.answers) prompt.Answer(a);
    Type(9, c.typed);
    EXPECT_EQ(prompt.MessageTexts(), c.asked);
    for (const ui::PromptRecord& r : prompt.Asked()) EXPECT_EQ(r.title, std::nullopt);
    if (!prompt.Asked().empty()) {
      EXPECT_EQ(prompt.Asked()[0].buttons, Buttons::YesNo);
    }
    EXPECT_NEAR(eng.page.Factor, c.factor, 1e-12);
  }
}

TEST_F(FieldEditTest, AprBoxSolvesTheFactor) {
  Type(25, "6%");
  EXPECT_NEAR(eng.page.Factor, FactorAt(21500, 12000, 0.06, 36), 1e-12);
}

TEST_F(FieldEditTest, RentChargeWithoutATermStoresNothing) {
  eng.page.Months = 0;
  eng.RecalcPage();
  Type(10, "3000");
  EXPECT_DOUBLE_EQ(eng.page.Factor, 0.0025);
}

TEST_F(FieldEditTest, OutOfRangeDaysAndMilesAreRefused) {
  struct Case {
    int tab, box;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {2, 26, "40000", " 40000 is not a valid number of days."},
      {1, 8, "1e308", " 1E+308 is not a valid number of miles."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    qv->SelectTab(c.tab);
    const PageInputs before = eng.SnapshotInputs();
    const std::string shown = Text(qv->Text3[c.box]);
    eng.WorksheetModified = 0;
    prompt.ClearAsked();
    prompt.Answer(Answer::OK);
    Type(c.box, c.typed);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    EXPECT_EQ(Text(qv->Text3[c.box]), shown);
    EXPECT_EQ(eng.WorksheetModified, 0);
  }
  EXPECT_EQ(Text(qv->Text3[26]), "30");
}

TEST_F(FieldEditTest, RedisplayedBoxIsNotReadBackAsAnEdit) {
  // Page 2 holds a residual with more cents than the box shows.
  eng.SavePageFields();
  eng.SavePageItems();
  eng.CurrentPage = 2;
  eng.PageCount = 2;
  eng.page.Residual = 12345.678;
  eng.SavePageFields();
  eng.SavePageItems();
  qv->Combo2->addItem("Second");
  eng.CurrentPage = 1;
  eng.LoadPage();

  ASSERT_TRUE(ShowActive());
  qv->Text3[7]->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(qv->focusWidget(), qv->Text3[7]);
  EXPECT_EQ(windows.Shared().GotFocusText, "$12,000.00");
  // Page Up in the box brings page 2 into it.
  qv->Text3_KeyDown(7, 33, 0);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(Text(qv->Text3[7]), "$12,345.68");
  qv->Text3_LostFocus(7);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 12345.678);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(FieldEditTest, EnterTargetsFollowTheOrderOverTheBoxesShown) {
  struct Case {
    int tab;
    int16_t ltype;
    int box;
    int target;
  };
  const Case cases[] = {
      {1, 0, 0, 1},   {1, 0, 3, 4},   {1, 0, 4, 5},   {2, 0, 4, 21},  {3, 0, 4, 17}, {4, 0, 4, 0},
      {1, 0, 8, 9},   {1, 3, 8, 24},  {1, 0, 24, 25}, {1, 0, 11, 0},  {4, 0, 19, -1},
      {2, 0, 12, 20}, {2, 0, 20, 13}, {2, 0, 22, 23}, {2, 0, 26, 13},
      // On the cash view the down payment and the loan boxes are not shown: from the trade
      // boxes Enter goes down the purchase box to the rebate, not back to the invoice.
      {3, 0, 21, 22}, {3, 0, 22, 20}, {3, 0, 20, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.tab) + "/" + std::to_string(c.box));
    eng.page.LType = c.ltype;
    qv->SelectTab(c.tab);
    EXPECT_EQ(qv->EnterTarget(c.box), c.target);
  }
}

TEST_F(FieldEditTest, EnterSkipsBoxesUnderASlideOutPanel) {
  qv->SelectTab(1);
  qv->setWindowState(Qt::WindowNoState);
  qv->show();
  QApplication::processEvents();
  // A panel laid over the whole lease view.
  QWidget* host = qv->Picture3->parentWidget();
  qv->Picture3->setGeometry(QRect(qv->picTab[0]->mapTo(host, QPoint(0, 0)), qv->picTab[0]->size()));
  qv->Picture3->show();
  EXPECT_EQ(qv->EnterTarget(5), 0);
  EXPECT_EQ(qv->EnterTarget(4), 5);
  qv->Picture3->hide();
  EXPECT_EQ(qv->EnterTarget(5), 6);
}

TEST_F(FieldEditTest, EnterMovesTheFocusAndCommitsTheBox) {
  ASSERT_TRUE(ShowActive());
  qv->Text3[4]->setFocus();
  QApplication::processEvents();
  qv->Text3[4]->setText("2000");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(qv->Text3[4], &enter);
  QApplication::processEvents();
  EXPECT_EQ(qv->focusWidget(), qv->Text3[5]);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 2000);
  EXPECT_EQ(windows.Shared().GotFocusText, Text(qv->Text3[5]));
}

TEST_F(FieldEditTest, TaxRateBoxRewritesTheSettingsAndTheTaxSetting) {
  struct Case {
    const char* typed;
    float rate;
  };
  for (const Case c : {Case{"7", 7.0f}, Case{"6.5%", 6.5f}}) {
    SCOPED_TRACE(c.typed);
    qv->Text5_GotFocus(0);
    qv->Text5[0]->setText(c.typed);
    qv->Text5_LostFocus(0);
    EXPECT_FLOAT_EQ(eng.tax.LeaseTaxRate, c.rate);
    EXPECT_FLOAT_EQ(eng.tax.BuyTaxRate, c.rate);
    EXPECT_EQ(eng.WorksheetModified, 0);
    const std::vector<std::string> lines = SplitLines(ReadFile(folder + "Taxset.txt"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, lines[1].find(',', 5)), "Home," + GeneralNumber(c.rate));
    EXPECT_EQ(ReadFile(folder + "Quorvant.Cfg"), BuildConfigText(eng));
    EXPECT_NEAR(eng.res.PaymentWT, eng.res.PaymentNT * (1 + c.rate / 100.0), 1e-5);
  }
}

TEST_F(FieldEditTest, TaxRateBoxRefusesWhatIsNoRateAndWritesNothing) {
  const std::string taxset = ReadFile(folder + "Taxset.txt");
  const std::string config = ReadFile(folder + "Quorvant.Cfg");
  const std::string shown = Text(qv->Text5[0]);
  const float rate = eng.tax.LeaseTaxRate;
  // No number, a decimal comma (the amount reader took "6,5" for 65), text after the
  // number, and rates outside 0 to 100 (1e39 overflows a float).
  for (const char* typed : {"abc", "6,5", "6.5x", "-1", "100.5", "1e39", "%"}) {
    SCOPED_TRACE(typed);
    prompt.Answer(ui::Answer::OK);
    qv->Text5_GotFocus(0);
    qv->Text5[0]->setText(typed);
    qv->Text5_LostFocus(0);
    EXPECT_EQ(prompt.MessageTexts().back(),
              "\"" + std::string(typed) + "\" is not a tax rate. Please enter a rate from 0 to 100, such as 6.5.");
    EXPECT_EQ(Text(qv->Text5[0]), shown);
    EXPECT_EQ(eng.tax.LeaseTaxRate, rate);
    EXPECT_EQ(eng.tax.BuyTaxRate, rate);
    EXPECT_EQ(ReadFile(folder + "Taxset.txt"), taxset);
    EXPECT_EQ(ReadFile(folder + "Quorvant.Cfg"), config);
  }
  EXPECT_TRUE(prompt.Exhausted());
  // The ends of the range are rates.
  for (const char* typed : {"0", "100%"}) {
    qv->Text5_GotFocus(0);
    qv->Text5[0]->setText(typed);
    qv->Text5_LostFocus(0);
    EXPECT_FLOAT_EQ(eng.tax.LeaseTaxRate, typed[0] == '0' ? 0.0f : 100.0f);
  }
}

}  // namespace
}  // namespace qv::test
