// The details window from the main window: its sheets and panels follow the view and every
// recalculation, the two views and their panel positions, the sheet tabs, the dialogs of its
// buttons with the topmost band, and a modal show while it is open modeless.
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <string>

#include "platform/grid/GridWidget.h"
#include "tests/dialogs/AnalysisFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

class DetailsTest : public AnalysisTest {
 protected:
  // The main window's "&Details" button of view `view` (1..4), with that view selected.
  Details2& OpenFromView(int view) {
    qv->SelectTab(view);
    EXPECT_TRUE(qv->Command2[view - 1]->isEnabled());
    qv->Command2[view - 1]->click();
    Details2* d = windows.IfLoaded<Details2>();
    EXPECT_NE(d, nullptr);
    d->Form_Activate();
    return *d;
  }
  static double Amount(const Details2& d, int sheet, int row, int col) {
    return d.F1Book1Data.SheetAt(sheet).NumberRC(row, col);
  }
  static int Top(const QFrame* p) { return Details2::PictureTop(p); }
};

TEST_F(DetailsTest, OpensModelessOnTheSheetOfTheMainWindowsView) {
  Details2& d = OpenFromView(1);
  EXPECT_EQ(d.windowTitle().toStdString(), "Lease/Buy Details");
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(d.isModal());
  EXPECT_EQ(windows.Shared().DetailsOpen, -1);
  EXPECT_TRUE(d.IsTopmost());
  EXPECT_EQ(d.F1Book1Data.ActiveSheet(), 1);
  EXPECT_DOUBLE_EQ(Amount(d, 1, 11, 2), 21500);           // capitalised cost
  EXPECT_NEAR(Amount(d, 1, 11, 5), 13265.902778, 1e-5);   // lease future cost
  EXPECT_EQ(d.FrontPicture(), d.Picture1);
  EXPECT_EQ(Text(d.lblLeasePmt), " 36 pmts @ $368.50");
  EXPECT_EQ(Text(d.lblPicMonth[1]), "36");
  EXPECT_EQ(Text(d.lblLoanPmt1), " 36 pmts @ " + Format((21500 + 21500 * static_cast<double>(0.06f) - 2000) / 36, "$#,###.00"));
  EXPECT_FALSE(d.Option1[1]->isChecked());

  // The comparison view shows the lease sheet; the loan view the loan sheet.
  qv->SelectTab(4);
  d.Form_Activate();
  EXPECT_EQ(d.F1Book1Data.ActiveSheet(), 1);
  qv->SelectTab(2);
  EXPECT_EQ(d.F1Book1Data.ActiveSheet(), 2);
  EXPECT_EQ(d.FrontPicture(), d.Picture3);  // equal terms: the loan ending within the lease
  EXPECT_EQ(d.F1Book1Data.SheetAt(2).TextRC(11, 4), "Value after 36.0 months:");
}

TEST_F(DetailsTest, EveryRecalculationRefreshesItExceptOnTheComparisonView) {
  Details2& d = OpenFromView(1);
  Type(4, "2000");  // the margin
  EXPECT_DOUBLE_EQ(Amount(d, 1, 4, 2), 2000);
  EXPECT_DOUBLE_EQ(Amount(d, 1, 5, 2), 22500);

  qv->SelectTab(4);
  eng.page.Margin = 1500;
  eng.RecalcPage();
  EXPECT_DOUBLE_EQ(Amount(d, 1, 4, 2), 2000);
}

TEST_F(DetailsTest, TheTwoViewsPlaceThePanelsAndTheNumbersViewPutsBothLoanPanelsBack) {
  Details2& d = OpenFromView(1);
  for (QFrame* p : {d.Picture1, d.Picture2, d.Picture3, d.Picture4}) EXPECT_EQ(Top(p), Details2::kNumbersTop);

  d.Option1[1]->setChecked(true);  // "&Cash Flows"
  EXPECT_TRUE(d.IsCashFlowView());
  EXPECT_TRUE(d.F1Book1->isHidden());
  EXPECT_EQ(Top(d.Picture1), 90);
  EXPECT_EQ(Top(d.Picture3), 1925);
  EXPECT_FALSE(d.Picture3->isHidden());
  EXPECT_TRUE(d.Picture4->isHidden());
  EXPECT_EQ(Top(d.Picture2), 3760);

  // The loan now runs past the lease: the display swaps the loan panels.
  Type(13, "48");
  EXPECT_EQ(eng.page.LoanMonths, 48);
  EXPECT_EQ(Top(d.Picture4), 1925);
  EXPECT_FALSE(d.Picture4->isHidden());
  EXPECT_TRUE(d.Picture3->isHidden());
  EXPECT_EQ(Text(d.lblpayoff), "Payoff: " + Format((21500 + 21500 * static_cast<double>(0.06f) - 2000) / 4, "$#,###.00"));

  d.Option1[0]->setChecked(true);  // "&Numbers"
  EXPECT_FALSE(d.IsCashFlowView());
  EXPECT_FALSE(d.F1Book1->isHidden());
  for (QFrame* p : {d.Picture1, d.Picture2, d.Picture3, d.Picture4}) {
    EXPECT_EQ(Top(p), Details2::kNumbersTop);
    EXPECT_FALSE(p->isHidden());
  }
  // Choosing the view already shown changes nothing.
  d.Option1_Click(0);
  EXPECT_FALSE(d.IsCashFlowView());
}

TEST_F(DetailsTest, ASheetTabSelectsTheMainWindowsViewAndACellClickDoesNot) {
  Details2& d = OpenFromView(1);
  d.SheetTab_Click(3);
  EXPECT_EQ(qv->SelectedTab(), 3);
  EXPECT_EQ(d.F1Book1Data.ActiveSheet(), 3);
  EXPECT_EQ(d.FrontPicture(), d.Picture2);

  d.F1Book1Data.SetSheet(2);
  d.F1Book1_Click(3, 2);
  d.F1Book1_MouseUp();
  EXPECT_EQ(qv->SelectedTab(), 3);
}

TEST_F(DetailsTest, DialogButtonsLeaveTheTopmostBandWhileTheirWindowIsShown) {
  Details2& d = OpenFromView(1);
  EXPECT_EQ(d.Command1[4], nullptr);  // there is no button 4
  for (int i : {0, 1, 2, 3, 5}) EXPECT_TRUE(d.Command1[i]->isEnabled());

  // The trade window changes the page and, closing, sets DialogDone; the details window
  // recalculates afterwards.
  prompt.Modal([&](ui::ModalWindow& w) {
    EXPECT_EQ(w.ModalName(), "Trade");
    EXPECT_FALSE(d.IsTopmost());
    eng.page.Margin = 2000;
    eng.DialogDone = -1;
    return 0;
  });
  d.Command1_Click(0);
  EXPECT_TRUE(d.IsTopmost());
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_DOUBLE_EQ(eng.res.PurchPrice, 22500);
  EXPECT_DOUBLE_EQ(Amount(d, 1, 4, 2), 2000);

  const std::pair<int, const char*> others[] = {{1, "StartUps2"}, {2, "Adjust"}, {5, "EOLFee"}};
  for (const auto& [index, name] : others) {
    SCOPED_TRACE(name);
    prompt.Modal([&, name = name](ui::ModalWindow& w) {
      EXPECT_EQ(w.ModalName(), name);
      EXPECT_FALSE(d.IsTopmost());
      return 0;
    });
    d.Command1_Click(index);
    EXPECT_TRUE(d.IsTopmost());
  }
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(DetailsTest, SwitchingToItTakesTheFieldBeingEditedFirst) {
  Details2& d = OpenFromView(1);
  ASSERT_TRUE(ShowActive());
  auto typeMargin = [this](const char* text) {
    qv->Text3[4]->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    qv->Text3[4]->setText(text);
  };
  // A window that is none of the program's windows (as a message box): its activation and
  // its return run no LostFocus, and the typed text stays in the box.
  typeMargin("2500");
  QDialog question;
  ASSERT_TRUE(MakeActive(&question));
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1000);
  question.hide();
  ASSERT_TRUE(ShowActive());
  EXPECT_EQ(Text(qv->Text3[4]), "2500");
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1000);
  // Straight to the details window: the margin is taken, and the details show it.
  ASSERT_TRUE(MakeActive(&d));
  EXPECT_DOUBLE_EQ(eng.page.Margin, 2500);
  EXPECT_EQ(Text(qv->Text3[4]), "$2,500.00");
  eng.RecalcPage();
  EXPECT_EQ(Text(qv->Text3[4]), "$2,500.00");
}

TEST_F(DetailsTest, CloseUnloadsIt) {
  Details2& d = OpenFromView(2);
  d.Command1_Click(3);
  EXPECT_FALSE(windows.Loaded<Details2>());
  EXPECT_EQ(windows.Shared().DetailsOpen, 0);
  EXPECT_FALSE(static_cast<bool>(qv->DetailsRefresh));
  DeleteClosedWindows();
  // A recalculation afterwards reaches no window.
  eng.RecalcPage();
  // A new one opens afresh.
  Details2& again = OpenFromView(1);
  EXPECT_NE(&again, nullptr);
  EXPECT_EQ(windows.Shared().DetailsOpen, -1);
}

TEST_F(DetailsTest, AModalShowWhileOpenModelessTakesTheWindowOver) {
  Details2& d = OpenFromView(1);
  Details2* first = &d;
  Compare& c = windows.Get<Compare>();

  // The real modal loop: the window is shown modal and closed from inside the loop.
  prompt.SetRunUnscriptedModals(true);
  bool wasModal = false;
  QTimer::singleShot(0, [&] {
    Details2* now = windows.IfLoaded<Details2>();
    wasModal = now == first && now->isVisible() && QApplication::activeModalWidget() == now;
    if (now) now->Command1_Click(3);
  });
  c.Command1_Click(0);
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(windows.Loaded<Details2>());
  EXPECT_EQ(windows.Shared().DetailsOpen, 0);
  EXPECT_EQ(c.CompareSheetData.TextRC(10, 1), "368.50");
}

}  // namespace
}  // namespace qv::test
