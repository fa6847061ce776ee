// Every window's OK, pressed by its accelerator while an entry box still holds what was
// typed, takes that entry first: the accelerator clicks without moving the focus, so the
// box's LostFocus would never run.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <string>

#include "dialogs/AdjRes.h"
#include "dialogs/ForceCap.h"
#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "dialogs/Margin2.h"
#include "dialogs/Milage.h"
#include "dialogs/TaxSet.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

class OkCommitsEntryTest : public SampleDealTest<ForcePmt, ForceCap, ForceLoan, AdjRes, Margin2, Milage, TaxSet> {
 protected:
  // Shows the window active, types `typed` into `box` and presses Alt+`letter`; true once
  // the window has closed.
  // The editor a grid opened on a cell.
  static QLineEdit* CellEditor(grid::GridWidget* g, int row, int col) {
    if (!g->editCell(row, col)) return nullptr;
    for (auto* e : g->view()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }
  bool TypeThenAccelerator(QDialog* w, QLineEdit* box, const char* typed, Qt::Key letter) {
    QPointer<QDialog> window(w);
    if (!MakeActive(w) || !box) return false;
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, letter, Qt::AltModifier);
    // The accelerator presses the button, which clicks a moment later.
    for (int i = 0; i < 100 && window && window->isVisible(); ++i) QTest::qWait(10);
    return !window || !window->isVisible();
  }
};

TEST_F(OkCommitsEntryTest, AltOTakesWhatWasTypedInEveryWindow) {
  struct Case {
    const char* name;
    std::function<bool()> run;
    std::function<void()> check;
  };
  const int allowed = eng.page.AllowedMiles;
  const Case cases[] = {
      {"forced payment",
       [&] {
         ForcePmt& w = windows.Get<ForcePmt>();
         return TypeThenAccelerator(&w, w.Text1, "400", Qt::Key_O);
       },
       [&] { EXPECT_NEAR(eng.res.PaymentWT, 400, 0.01); }},
      {"cap cost",
       [&] {
         ForceCap& w = windows.Get<ForceCap>();
         return TypeThenAccelerator(&w, w.Text1, "22000", Qt::Key_O);
       },
       [&] { EXPECT_NEAR(eng.res.CapCost, 22000, 0.01); }},
      {"residual adjustment",
       [&] {
         AdjRes& w = windows.Get<AdjRes>();
         return TypeThenAccelerator(&w, w.txtAdditionalMiles, "1000", Qt::Key_O);
       },
       [&] { EXPECT_EQ(eng.page.AllowedMiles, allowed + 1000); }},
      {"margin parts (a grid cell being edited)",
       [&] {
         Margin2& w = windows.Get<Margin2>();
         if (!MakeActive(&w)) return false;
         return TypeThenAccelerator(&w, CellEditor(w.F1Book1, Margin2::kProfit, 1), "1500", Qt::Key_O);
       },
       [&] {
         EXPECT_DOUBLE_EQ(eng.page.Profit, 1500);
         EXPECT_DOUBLE_EQ(eng.page.Margin, 2500);  // 1500 profit + 1000 other
       }},
      {"loan solver",
       [&] {
         ForceLoan& w = windows.Get<ForceLoan>();
         return TypeThenAccelerator(&w, w.Text1, "600", Qt::Key_O);
       },
       [&] { EXPECT_NEAR(eng.res.PurPmnt, 600, 0.0051); }},
      {"pre-paid miles",
       [&] {
         windows.Shared().MileageEOLMode = 0;
         Milage& w = windows.Get<Milage>();
         return TypeThenAccelerator(&w, w.Text1[1], "15000", Qt::Key_O);
       },
       [&] { EXPECT_EQ(eng.page.PrePaidActualMiles, 15000); }},
      {"tax settings",
       [&] {
         TaxSet& w = windows.Get<TaxSet>();
         return TypeThenAccelerator(&w, w.Text2[1], "7.5", Qt::Key_O);
       },
       [&] { EXPECT_FLOAT_EQ(eng.tax.BuyTaxRate, 7.5f); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    ASSERT_TRUE(c.run()) << "the window did not close";
    c.check();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
}  // namespace qv::test
