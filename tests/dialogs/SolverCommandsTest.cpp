// The main window's ways into the solvers: the two force payment buttons, the double-click
// on the adjusted cap cost and the single-payment lease command.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/ForceCap.h"
#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

double PaymentWT(double cap, double residual, double factor, double months) {
  return ((cap + residual) * factor + (cap - residual) / months) * 1.06;
}

class SolverCommandsTest : public SampleDealTest<ForcePmt, ForceLoan, ForceCap> {};

TEST_F(SolverCommandsTest, LeaseForcePaymentOpensTheForcedPaymentWindow) {
  ASSERT_TRUE(qv->cmdbut2[4]->isEnabled());
  prompt.Modal([](ui::ModalWindow& m) {
    auto& w = dynamic_cast<ForcePmt&>(m);
    w.Option1[4]->setChecked(true);  // the residual for 400 a month
    w.Text1_GotFocus();
    w.Text1->setText("400");
    w.Text1_LostFocus();
    w.Command2_Click(0);
    return w.result();
  });
  qv->cmdbut2[4]->click();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, "ForcePmt");
  EXPECT_FALSE(windows.Loaded<ForcePmt>());
  EXPECT_EQ(windows.Shared().ForcePmtOpen, 0);
  EXPECT_NEAR(PaymentWT(21500, eng.page.Residual, 0.0025, 36), 400, 0.011);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(SolverCommandsTest, CancelledForcePaymentLeavesThePage) {
  const PageInputs before = eng.SnapshotInputs();
  prompt.Modal([](ui::ModalWindow& m) {
    auto& w = dynamic_cast<ForcePmt&>(m);
    w.Text1_GotFocus();
    w.Text1->setText("450");
    w.Text1_LostFocus();
    w.Command2_Click(1);
    return w.result();
  });
  qv->cmdbut2_click(4);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_NEAR(eng.res.PaymentWT, 368.497222, 5e-7);
}

TEST_F(SolverCommandsTest, LoanForcePaymentOpensTheLoanSolver) {
  ASSERT_TRUE(qv->cmdbut2[8]->isEnabled());
  prompt.Modal([](ui::ModalWindow& m) {
    auto& w = dynamic_cast<ForceLoan&>(m);
    w.Text1->setText("$500.00");
    w.Command1_Click(3);
    w.Command2_Click(0);
    return w.result();
  });
  qv->cmdbut2[8]->click();
  EXPECT_EQ(prompt.Asked().at(0).text, "ForceLoan");
  // 36 x 500 financed of 21500 + 1290 tax.
  EXPECT_NEAR(eng.page.DownPmt, 4790, 1e-3);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_FALSE(windows.Loaded<ForceLoan>());
}

TEST_F(SolverCommandsTest, DoubleClickOnTheAdjustedCapCostOpensTheCapCostTarget) {
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(qv->lblAdjustedCap, &dbl);
  ASSERT_TRUE(windows.Loaded<ForceCap>());
  ForceCap& w = windows.Get<ForceCap>();
  EXPECT_TRUE(w.isVisible()) << "modeless";
  EXPECT_EQ(w.Text1->text(), "$21,500.00");
  w.Text1->setText("$22,000.00");
  w.Command1_Click(0);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1500);
  EXPECT_EQ(qv->lblAdjustedCap->text(), "$22,000.00");
  EXPECT_EQ(eng.WorksheetModified, -1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(windows.Loaded<ForceCap>());
}

TEST_F(SolverCommandsTest, SinglePaymentLeaseSolvesTheMarginForNoMonthlyPayment) {
  ASSERT_TRUE(qv->mnuSinglePayLease->isEnabled());
  prompt.Input("$15,000");
  qv->mnuSinglePayLease->trigger();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].kind, ui::PromptRecord::Kind::InputBox);
  EXPECT_EQ(prompt.Asked()[0].text,
            "Enter the dollar amount of the single payment (do not include trade equity):");
  EXPECT_EQ(eng.page.CapRd, 15000);
  // Cap cost 20500 + margin - 15000 with a payment of 0.00.
  EXPECT_NEAR(PaymentWT(5500 + eng.page.Margin, 12000, 0.0025, 36), 0, 0.011);
  EXPECT_NEAR(eng.res.PaymentWT, 0, 0.011);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_FALSE(windows.Loaded<ForcePmt>());
  EXPECT_EQ(windows.Shared().ForcePmtOpen, 0);

  // Cancelled or empty: nothing happens.
  eng.WorksheetModified = 0;
  const PageInputs before = eng.SnapshotInputs();
  prompt.Input(std::nullopt);
  qv->mnuSinglePayLease_Click();
  prompt.Input("");
  qv->mnuSinglePayLease_Click();
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

}  // namespace
}  // namespace qv::test
