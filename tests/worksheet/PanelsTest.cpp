// The Lease view's slide-out panels: the motion, the cash-due grid and the payment
// breakdown.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "engine/NumText.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class PanelsTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    Load();
  }
  std::string Value(int i) const { return Text(qv->lblValue[i]); }
  std::string Descrip(int i) const { return Text(qv->lblDescrip[i]); }
  std::vector<std::pair<std::string, std::string>> CashRows() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (int r = 1; r <= qv->CashSheetData.MaxRow(); ++r)
      out.emplace_back(qv->CashSheetData.TextRC(r, 1), qv->CashSheetData.TextRC(r, 2));
    return out;
  }
};

TEST_F(PanelsTest, PanelsSlideInTwelveStepsAndLandOnTheirEnds) {
  struct Case {
    int panel;
    float outLeft, outWidth;
  };
  for (const Case c : {Case{0, 510, 5745}, Case{1, 2805, 3435}}) {
    SCOPED_TRACE(c.panel);
    std::vector<std::pair<float, float>> steps;
    prompt.SetDoEventsAction([&] { steps.emplace_back(qv->PanelLeft[c.panel], qv->PanelWidth[c.panel]); });
    auto slide = [&](int direction) {
      steps.clear();
      if (c.panel == 0) qv->SlidePaymentPanel(direction);
      else qv->SlideCashPanel(direction);
    };
    QFrame* frame = c.panel == 0 ? qv->Picture3 : qv->Picture5;

    slide(0);
    ASSERT_EQ(steps.size(), 12u);
    // Equal steps from 6240 / 3145, the first one already moved.
    EXPECT_FLOAT_EQ(steps[0].first, 6240 + (c.outLeft - 6240) / 12);
    EXPECT_FLOAT_EQ(steps[0].second, 3145 + (c.outWidth - 3145) / 12);
    EXPECT_FLOAT_EQ(steps[5].first, 6240 + (c.outLeft - 6240) / 2);
    EXPECT_EQ(steps[11].first, c.outLeft);
    EXPECT_EQ(steps[11].second, c.outWidth);
    EXPECT_FALSE(frame->isHidden());
    EXPECT_TRUE(c.panel == 0 ? qv->PaymentPanelOut() : qv->CashPanelOut());

    slide(1);
    ASSERT_EQ(steps.size(), 12u);
    EXPECT_FLOAT_EQ(steps[0].first, c.outLeft + (6240 - c.outLeft) / 12);
    EXPECT_EQ(qv->PanelLeft[c.panel], 6240.0f);
    EXPECT_EQ(qv->PanelWidth[c.panel], 3145.0f);
    EXPECT_TRUE(frame->isHidden());
    EXPECT_FALSE(c.panel == 0 ? qv->PaymentPanelOut() : qv->CashPanelOut());
  }
}

TEST_F(PanelsTest, ButtonsSlideOutAndBackAndATabChangeClosesThePanel) {
  CommonPage();
  ASSERT_TRUE(qv->Command5[0]->isEnabled());
  ASSERT_TRUE(qv->Command5[1]->isEnabled());
  EXPECT_TRUE(qv->Command6[0]->isEnabled());  // prints the payment calculations report
  qv->Command5_Click(0);
  EXPECT_TRUE(qv->PaymentPanelOut());
  // The sample deal: 9500 / 36 = 263.89 plus 33500 x .0025 = 83.75 gives 347.64; with 6 %
  // tax 20.86 the payment is 368.50, as the Lease view shows it.
  EXPECT_EQ(Value(12), "$347.64");
  EXPECT_EQ(Value(15), "$368.50");
  EXPECT_EQ(Value(15), Text(qv->lblPayment[1]));
  qv->Command5_Click(0);
  EXPECT_FALSE(qv->PaymentPanelOut());
  EXPECT_TRUE(qv->Picture3->isHidden());

  qv->Command5_Click(1);
  EXPECT_TRUE(qv->CashPanelOut());
  qv->Command7_Click(1);
  EXPECT_FALSE(qv->CashPanelOut());

  qv->Command5_Click(1);
  qv->SelectTab(2);
  EXPECT_FALSE(qv->CashPanelOut());
  qv->SelectTab(1);
  qv->Command5_Click(1);  // out again, not back
  EXPECT_TRUE(qv->CashPanelOut());
  qv->Command6_Click(1);  // the other panel's close leaves this one
  EXPECT_TRUE(qv->CashPanelOut());
}

// One panel at a time: the two cover the same deal fields and their buttons share letters
// ("&Print", "C&lose"). Opening one slides the other back first, whichever is out.
TEST_F(PanelsTest, OpeningOnePanelSlidesTheOtherBackFirst) {
  CommonPage();
  struct Case {
    int first, second;
  };
  for (const Case c : {Case{0, 1}, Case{1, 0}}) {
    SCOPED_TRACE(c.first);
    QFrame* panels[2] = {qv->Picture3, qv->Picture5};
    auto out = [&](int i) { return i == 0 ? qv->PaymentPanelOut() : qv->CashPanelOut(); };
    qv->Command5_Click(c.first);
    ASSERT_TRUE(out(c.first));
    qv->Command5_Click(c.second);
    EXPECT_TRUE(out(c.second));
    EXPECT_FALSE(out(c.first));
    EXPECT_TRUE(panels[c.first]->isHidden());
    EXPECT_EQ(qv->PanelLeft[c.first], 6240.0f);
    // Only the open panel's Print and Close can be reached.
    EXPECT_EQ(qv->Command6[0]->isVisibleTo(qv.get()), c.second == 0);
    EXPECT_EQ(qv->Command7[0]->isVisibleTo(qv.get()), c.second == 1);
    qv->Command5_Click(c.second);
    EXPECT_TRUE(panels[0]->isHidden() && panels[1]->isHidden());
  }
}

// Escape slides an open panel back, as its "C&lose" button does, wherever the focus is
// while the panel is out: on the button that opened it (a click), in the deal field where the
// Alt letter was pressed, or in the cash-due grid clicked on the panel.
TEST_F(PanelsTest, EscapeSlidesAnOpenPanelBack) {
  CommonPage();
  ASSERT_TRUE(ShowActive());
  ASSERT_TRUE(qv->Picture3->isHidden() && qv->Picture5->isHidden());
  QLineEdit* field = nullptr;
  for (QLineEdit* box : qv->Text3)
    if (box && box->isVisible() && box->isEnabled()) {
      field = box;
      break;
    }
  ASSERT_NE(field, nullptr);
  enum class How { ClickButton, AltLetterInAField, ClickGrid };
  struct Case {
    int panel;
    How how;
  };
  for (const Case c : {Case{0, How::ClickButton}, Case{1, How::ClickButton}, Case{0, How::AltLetterInAField},
                       Case{1, How::AltLetterInAField}, Case{1, How::ClickGrid}}) {
    SCOPED_TRACE(testing::Message() << "panel " << c.panel << " how " << int(c.how));
    auto out = [&] { return c.panel == 0 ? qv->PaymentPanelOut() : qv->CashPanelOut(); };
    if (c.how == How::AltLetterInAField) {
      QTest::mouseClick(field, Qt::LeftButton);
      ASSERT_EQ(QApplication::focusWidget(), field);
      QTest::keyClick(field, c.panel == 0 ? Qt::Key_Y : Qt::Key_Q, Qt::AltModifier);
      // A button's letter presses it as a click that shows: it goes through a moment later.
      for (int i = 0; i < 100 && !out(); ++i) QTest::qWait(10);
    } else {
      QTest::mouseClick(qv->Command5[c.panel], Qt::LeftButton);
    }
    ASSERT_TRUE(out());
    if (c.how == How::ClickGrid) {
      auto* view = qv->CashSheet->findChild<QTableView*>();
      ASSERT_NE(view, nullptr);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
      ASSERT_TRUE(qv->CashSheet->isAncestorOf(QApplication::focusWidget()) ||
                  QApplication::focusWidget() == qv->CashSheet);
      ASSERT_TRUE(out());
    }
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_FALSE(out());
    EXPECT_TRUE(qv->Picture3->isHidden() && qv->Picture5->isHidden());
    EXPECT_EQ(qv->PanelLeft[c.panel], 6240.0f);
  }
  // With no panel out Escape does nothing, and the deal field keeps what it shows.
  QTest::mouseClick(field, Qt::LeftButton);
  const QString shown = field->text();
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_EQ(field->text(), shown);
  EXPECT_TRUE(qv->Picture3->isHidden() && qv->Picture5->isHidden());
}

TEST_F(PanelsTest, CashDueGridListsTheCashItemsThenTheTotals) {
  eng.tax.TaxMethod = 0;
  eng.items = PageItems{};
  eng.items.FirstPayment.Cap = 368.5;  // capitalised: not listed
  eng.items.Security.Cash = 375;
  eng.items.Registration.Cash = 150;
  eng.items.STaxSumPmt.Cash = 40.25;
  eng.items.TradeEquity.Cash = -1200;  // an equity entered as cash keeps its sign
  eng.items.LeaseRebate.Cash = -500;
  eng.items.STaxOnFeesTaxes.Cash = 9;
  eng.items.TotalAdjust.Cash = 60;
  eng.page.CapRd = 1000;
  eng.res.TotalStartUps.Cash = 375 + 150 + 40.25 - 1200 - 500 + 9;
  eng.res.LCashReqd = 2345.67;
  qv->FillCashDueGrid();
  using Rows = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(CashRows(), (Rows{{"Security Deposit", "375"},
                             {"Registration", "150"},
                             {"Tax on Sum of Pmts", "40.25"},
                             {"Less Trade Equity", "-1200"},
                             {"Less Rebate", "-500"},
                             {"Tax on Fees & Taxes", "9"},
                             {"Total Cash Start-Ups", "-1125.75"},
                             {"Cap Reduction Cash", "1000"},
                             {"Cash Adjustments", "60"},
                             {"Total Cash Required", "2345.67"}}));
  EXPECT_FALSE(qv->Picture5->isHidden());

  // A second fill with fewer items leaves nothing of the first; tax method 1 names the
  // payment tax after the purchase price.
  eng.tax.TaxMethod = 1;
  eng.items = PageItems{};
  eng.items.STaxSumPmt.Cash = 1290;
  eng.res.TotalStartUps.Cash = 1290;
  eng.page.CapRd = 0;
  eng.res.LCashReqd = 1290;
  qv->FillCashDueGrid();
  EXPECT_EQ(CashRows(), (Rows{{"Tax on Purchase Price", "1290"},
                             {"Total Cash Start-Ups", "1290"},
                             {"Cap Reduction Cash", "0"},
                             {"Cash Adjustments", "0"},
                             {"Total Cash Required", "1290"}}));
  // Nothing in cash: the totals are rows 1 to 4.
  eng.items = PageItems{};
  qv->FillCashDueGrid();
  ASSERT_EQ(qv->CashSheetData.MaxRow(), 4);
  EXPECT_EQ(qv->CashSheetData.TextRC(1, 1), "Total Cash Start-Ups");
}

TEST_F(PanelsTest, PaymentBreakdownShowsHowThePaymentIsBuilt) {
  // Cap cost 24500, residual 15500 over 36 months: depreciation 9000 / 36 = 250.00; rent
  // 40000 x .0025 = 100.00; base 350.00; tax 6 % of it 21.00; payment 371.00.
  eng.page.Months = 36;
  eng.page.Residual = 15500;
  eng.page.Factor = 0.0025;
  eng.page.LType = 0;
  eng.res.CapCost = 24500;
  eng.tax.LeaseTaxRate = 6;
  eng.tax.TaxMethod = 0;
  qv->ShowPaymentBreakdown();
  const std::vector<std::string> values = {
      "$24,500.00", "$15,500.00", "$9,000.00", "36.00",     "$250.00",   "$24,500.00",
      "$15,500.00", "$40,000.00", ".002500",   "$100.00",   "$250.00",   "$100.00",
      "$350.00",    "N/A ",       "$21.00",    "$371.00",
      "36.00 x $371.00 = $13,356.00", "36.00 x $100.00 = $3,600.00"};
  for (int i = 0; i < 18; ++i) EXPECT_EQ(Value(i), values[i]) << "lblValue " << i;
  EXPECT_EQ(Descrip(11), "Sales Tax: (.0600 x $350.00)");
  EXPECT_EQ(Descrip(15), "Ford Admin Fee:");
  EXPECT_EQ(Descrip(0), "Adjusted Cap Cost:");

  // Tax up front (methods 1 to 3): no tax in the payment.
  eng.tax.TaxMethod = 2;
  qv->ShowPaymentBreakdown();
  EXPECT_EQ(Value(14), "N/A ");
  EXPECT_EQ(Value(15), "$350.00");
  EXPECT_EQ(Descrip(11), "Sales Tax: (.0600 x $350.00)");

  // No term: no depreciation, and the totals multiply by 0.
  eng.page.Months = 0;
  qv->ShowPaymentBreakdown();
  EXPECT_EQ(Value(3), " ");
  EXPECT_EQ(Value(4), " ");
  EXPECT_EQ(Value(16), ".00 x $100.00 =  ");
  EXPECT_EQ(Value(15), "$100.00");

  // Ford APR method: the admin fee .00111 x 19,950.00 = 22.1445, 22.14 added to the payment.
  eng.page.Months = 36;
  eng.page.LType = 3;
  eng.page.FordAPR = 0.06;
  eng.page.FordAdminFactor = 0.00111;
  eng.res.CapCost = 19950;
  eng.page.Residual = 11000;
  qv->ShowPaymentBreakdown();
  EXPECT_EQ(Descrip(15), "Ford Admin Fee: (.00111 x $19,950.00)");
  EXPECT_EQ(Value(13), "$22.14");
  const double base = ParseAmountText(Value(12));
  EXPECT_NEAR(ParseAmountText(Value(15)) - base, 22.14, 1e-9);
  EXPECT_NE(Value(8), ".002500");  // the factor comes from the APR
}

}  // namespace
}  // namespace qv::test
