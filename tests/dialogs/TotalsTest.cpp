// The vehicle totals window: the invoice and MSRP build-up of the current vehicle.
#include <QAction>
#include <QLabel>

#include "dialogs/Totals.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class TotalsTest : public SampleDealTest<Totals> {};

TEST_F(TotalsTest, ShowsTheBuildUpOfTheLastCalculation) {
  // One option: 1250 invoice, 1400 MSRP.
  eng.WKS.SetSheet(2);
  eng.WKS.SetNumberRC(1, 1, 1);
  eng.WKS.SetTextRC(1, 2, "Moonroof");
  eng.WKS.SetNumberRC(1, 3, 1250);
  eng.WKS.SetNumberRC(1, 4, 1400);
  eng.ShowPageOptions();
  eng.RecalcPage();

  ASSERT_TRUE(qv->mnuOptionTotals->isEnabled());
  qv->mnuOptionTotals->trigger();
  ASSERT_TRUE(windows.Loaded<Totals>());
  Totals& w = windows.Get<Totals>();
  EXPECT_TRUE(w.isVisible()) << "modeless";
  EXPECT_FALSE(w.isModal());
  EXPECT_EQ(w.windowTitle(), "Current Vehicle Totals");
  const char* expected[10] = {"$20,000.00", "$1,250.00", "$500.00", "$21,750.00", "$1,000.00",
                              "$22,750.00", "$22,000.00", "$1,400.00", "$500.00", "$23,900.00"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Text(w.Label3[i]), expected[i]) << "Label3(" << i << ")";

  // It does not follow later changes.
  eng.page.Margin = 2000;
  eng.RecalcPage();
  EXPECT_EQ(Text(w.Label3[4]), "$1,000.00");

  w.Command1_Click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(windows.Loaded<Totals>());
  // Opened again, it shows the page as it is now.
  qv->mnuOptionTotals_Click();
  EXPECT_EQ(Text(windows.Get<Totals>().Label3[4]), "$2,000.00");
}

TEST_F(TotalsTest, NoOptionsAndANegativeMarginShowAsTheFormatSays) {
  eng.page.Margin = -300;
  eng.RecalcPage();
  Totals& w = windows.Get<Totals>();
  EXPECT_EQ(Text(w.Label3[1]), " ");
  EXPECT_EQ(Text(w.Label3[7]), " ");
  EXPECT_EQ(Text(w.Label3[4]), "-$300.00");
  EXPECT_EQ(Text(w.Label3[5]), "$20,200.00");
}

}  // namespace
}  // namespace qv::test
