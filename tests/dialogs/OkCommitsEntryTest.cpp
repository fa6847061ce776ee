// Every window's OK, pressed by its accelerator while an entry box still holds what was
// typed, takes that entry first: the accelerator clicks without moving the focus, so the
// box's LostFocus would never run.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

#include "dialogs/AdjRes.h"
#include "dialogs/ForceCap.h"
#include "dialogs/ForcePmt.h"
#include "dialogs/TaxSet.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class OkCommitsEntryTest : public SampleDealTest<ForcePmt, ForceCap, AdjRes, TaxSet> {
 protected:
  // Shows the window active, types `typed` into `box` and presses Alt+`letter`; true once
  // the window has closed.
  bool TypeThenAccelerator(QDialog* w, QLineEdit* box, const char* typed, Qt::Key letter) {
    QPointer<QDialog> window(w);
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    for (int i = 0; i < 50 && QApplication::activeWindow() != w; ++i) QApplication::processEvents();
    if (QApplication::activeWindow() != w) return false;
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
