// The main window's buttons and double-click labels: the desired cash required and
// purchase price targets, the vehicle and option commands and Page Up / Page Down on the
// buttons.
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class ButtonsTest : public SampleDealTest<> {
 protected:
  static void DoubleClick(QWidget* w) {
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
  }
};

// The cash cap reduction C that makes the lease cash required T on the common page, worked
// from the formulas: the cap cost is 21500 - C, the tax on the cash cap reduction (6 %)
// is paid in cash, and the cash required is C + 0.06 C + the first payment (with tax) + the
// security deposit (the payment rounded up to 25).
double CapReductionFor(double T) {
  const double p0 = 1.06 * ((21500 + 12000) * 0.0025 + (21500 - 12000) / 36.0);
  const double k = 1.06 * (0.0025 + 1 / 36.0);  // payment less per dollar of cap reduction
  for (double security = 25; security < 1000; security += 25) {
    const double c = (T - p0 - security) / (1.06 - k);
    const double payment = p0 - k * c;
    if (std::ceil(payment / 25) * 25 == security) return c;
  }
  return NAN;
}

TEST_F(ButtonsTest, DesiredCashRequiredIsReachedByTheCashCapReduction) {
  struct Case {
    const char* typed;
    double target;
  };
  // 500 lies below what the payment and deposit alone need: the cap reduction goes negative.
  const Case cases[] = {{"2000", 2000}, {"$2,500.00", 2500}, {"500", 500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    CommonPage();
    eng.WorksheetModified = 0;
    prompt.ClearAsked();
    prompt.Input(std::string(c.typed));
    DoubleClick(qv->lblPayment[0]);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].kind, ui::PromptRecord::Kind::InputBox);
    EXPECT_EQ(prompt.Asked()[0].text, "Enter desired Cash Required:");
    EXPECT_FALSE(prompt.Asked()[0].title.has_value());
    EXPECT_NEAR(eng.res.LCashReqd, c.target, 0.01);
    EXPECT_NEAR(eng.page.CapRd, CapReductionFor(c.target), 0.02);
    EXPECT_EQ(eng.WorksheetModified, -1);
  }
  EXPECT_LT(eng.page.CapRd, -200);
  EXPECT_NEAR(CapReductionFor(2000), 1246.71, 0.01);
}

TEST_F(ButtonsTest, DesiredPurchasePriceMovesTheMargin) {
  struct Case {
    const char* typed;
    double margin;
  };
  const Case cases[] = {{"$23,000", 2500}, {"21500", 1000}, {"20000.50", -499.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    CommonPage();
    eng.WorksheetModified = 0;
    prompt.ClearAsked();
    prompt.Input(std::string(c.typed));
    DoubleClick(qv->lblPurchPrice);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Enter desired Purchase Price:");
    EXPECT_DOUBLE_EQ(eng.page.Margin, c.margin);
    EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 20500 + c.margin);
    EXPECT_EQ(Text(qv->lblPurchPrice), Format(20500 + c.margin, "$#,###.00;; "));
    EXPECT_EQ(eng.WorksheetModified, -1);
  }
}

// Cancel and an empty answer change nothing; a text that is not a number as a whole is
// refused with a message naming it and changes nothing either.
TEST_F(ButtonsTest, TargetsWithoutANumberChangeNothing) {
  const PageInputs before = eng.SnapshotInputs();
  const std::optional<std::string> answers[] = {std::nullopt, "", "  ", "abc", "$", "--", "(,)", " % ", " 12abc"};
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.value_or("<Cancel>"));
    const bool refused = answer && !Trim(*answer).empty();
    prompt.ClearAsked();
    prompt.Input(answer);
    if (refused) prompt.Answer(ui::Answer::OK);
    qv->lblPayment_DblClick(0);
    prompt.Input(answer);
    if (refused) prompt.Answer(ui::Answer::OK);
    qv->lblPurchPrice_DblClick();
    if (refused)
      EXPECT_EQ(prompt.MessageTexts(),
                std::vector<std::string>(2, "\"" + Trim(*answer) + "\" is not a number."));
  }
  EXPECT_TRUE(prompt.Exhausted());
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
  // The payment labels do not ask.
  prompt.ClearAsked();
  DoubleClick(qv->lblPayment[1]);
  qv->lblPayment_DblClick(2);
  EXPECT_TRUE(prompt.Asked().empty());
}


TEST_F(ButtonsTest, VehicleButtonsStoreThePageFirstAndOptionButtonsDoNot) {
  std::vector<std::string> seen;
  qv->ShowPrices = [&](const std::string& classLetter) {
    eng.WKS.SetSheet(1);
    seen.push_back(classLetter + " stored margin " + StrNum(eng.WKS.NumberRC(1, 6)));
  };
  qv->ShowOptLookUp = [&] {
    eng.WKS.SetSheet(1);
    seen.push_back("options, stored margin " + StrNum(eng.WKS.NumberRC(1, 6)));
  };
  struct Case {
    int index;
    const char* seen;
  };
  const Case cases[] = {
      {0, "C stored margin  1500"},           {5, "C stored margin  1500"},
      {11, "C stored margin  1500"},          {1, "T stored margin  1500"},
      {6, "T stored margin  1500"},           {10, "T stored margin  1500"},
      {2, "options, stored margin  1000"},    {7, "options, stored margin  1000"},
      {9, "options, stored margin  1000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    CommonPage();
    eng.page.CT = "C";
    eng.page.Margin = 1500;  // typed in, not stored yet
    eng.WorksheetModified = 0;
    seen.clear();
    qv->cmdbut2_click(c.index);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], c.seen);
    EXPECT_EQ(eng.WorksheetModified, -1);
    // The page's class changes only when a vehicle is taken from the guide.
    EXPECT_EQ(eng.page.CT, "C");
  }
}

TEST_F(ButtonsTest, PageKeysOnAButtonStepThroughThePages) {
  eng.StorePage();
  eng.CurrentPage = 2;
  eng.page.CarName = "Second";
  eng.page.Margin = 700;
  eng.StorePage();
  eng.PageCount = 2;
  eng.CurrentPage = 1;
  eng.LoadPage();
  QKeyEvent up(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
  QApplication::sendEvent(qv->cmdbut2[4], &up);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 700);
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), "Second");
  qv->cmdbut2_KeyDown(0, 34, 0);
  EXPECT_EQ(eng.CurrentPage, 1);
  qv->cmdbut2_KeyDown(0, 65, 0);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_EQ(eng.WorksheetModified, 0) << "stepping is no change";
}

}  // namespace
}  // namespace qv::test
