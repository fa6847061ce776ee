// The residual-basis window and the question it answers for the residual field.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/ResBase.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class ResBaseTest : public SampleDealTest<ResBase> {};

TEST_F(ResBaseTest, ShowsBothBasesWithTheResidualEachGives) {
  eng.res.MSRP = 30000;
  eng.res.OptionDiscountTotal = 1000;
  qv->Text3[7]->setText("58%");
  ResBase w(eng, *qv);
  EXPECT_EQ(w.windowTitle(), "Residual Basis");
  EXPECT_EQ(Text(w.Label1),
            "Some options contain discounts. Do you wish to base residual on full MSRP or discounted MSRP?");
  EXPECT_EQ(Text(w.lblFullMSRP), "$31,000.00");
  EXPECT_EQ(Text(w.lblDiscountMSRP), "$30,000.00");
  EXPECT_EQ(Text(w.lblPerc[0]), "58.0%");
  EXPECT_EQ(Text(w.lblPerc[1]), "58.0%");
  EXPECT_EQ(Text(w.lblAmount[0]), "$17,980.00");
  EXPECT_EQ(Text(w.lblAmount[1]), "$17,400.00");
  EXPECT_EQ(w.Command1[0]->text(), "Use &Discounted MSRP");
  EXPECT_EQ(w.Command1[1]->text(), "Use &Full MSRP");
}

TEST_F(ResBaseTest, TheChoiceSetsTheBasisAndEveryCloseEndsTheWait) {
  struct Case {
    const char* name;
    int16_t before;
    int button;  // -1: the close box
    int16_t after;
  };
  const Case cases[] = {
      {"full", 0, 1, -1},
      {"discounted", -1, 0, 0},
      {"close box keeps full", -1, -1, -1},
      {"close box keeps discounted", 0, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    eng.page.UseFullMSRP = c.before;
    eng.DialogDone = 0;
    ResBase& w = windows.Get<ResBase>();
    if (c.button >= 0) w.Command1[c.button]->click();
    else w.reject();
    EXPECT_EQ(eng.page.UseFullMSRP, c.after);
    EXPECT_EQ(eng.DialogDone, -1);
    windows.Unload<ResBase>();
  }
  // Unloaded without any close (a scripted show that only returns): the wait ends too.
  eng.DialogDone = 0;
  windows.Get<ResBase>();
  windows.Unload<ResBase>();
  EXPECT_EQ(eng.DialogDone, -1);
}

// A residual typed as a fraction on a page whose options carry a discount asks for the
// basis; the window reads the percentage from the residual field.
TEST_F(ResBaseTest, TheResidualFieldAsksForTheBasis) {
  eng.WKS.SetSheet(2);
  eng.WKS.SetNumberRC(1, 1, 1);
  eng.WKS.SetTextRC(1, 2, "Value Package Discount 1000");
  eng.WKS.SetNumberRC(1, 3, -800);
  eng.WKS.SetNumberRC(1, 4, -1000);
  eng.ShowPageOptions();
  eng.RecalcPage();
  ASSERT_DOUBLE_EQ(eng.res.MSRP, 21500);

  struct Case {
    int button;
    double residual;
    int16_t useFull;
  };
  // 55% of 21500 + 1000 and of 21500.
  const Case cases[] = {{1, 12375, -1}, {0, 11825, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    prompt.Modal([&](ui::ModalWindow& m) {
      auto& w = dynamic_cast<ResBase&>(m);
      EXPECT_EQ(Text(w.lblPerc[0]), "55.0%");
      EXPECT_EQ(Text(w.lblFullMSRP), "$22,500.00");
      w.Command1[c.button]->click();
      return 1;
    });
    Type(7, "55%");
    EXPECT_EQ(prompt.Last()->text, "ResBase");
    EXPECT_DOUBLE_EQ(eng.page.Residual, c.residual);
    EXPECT_EQ(eng.page.UseFullMSRP, c.useFull);
    EXPECT_EQ(eng.DialogDone, 0);
    EXPECT_FALSE(windows.Loaded<ResBase>());
  }
  EXPECT_TRUE(prompt.Exhausted());
}

}  // namespace
}  // namespace qv::test
