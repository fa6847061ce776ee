// The cap-cost target window: margin or cash cap reduction moved until the cap cost meets
// the target.
#include <QLineEdit>
#include <QRadioButton>

#include <string>
#include <vector>

#include "dialogs/ForceCap.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class ForceCapTest : public SampleDealTest<ForceCap> {
 protected:
  ForceCap& Open() { return windows.Get<ForceCap>(); }
};

TEST_F(ForceCapTest, TheTargetIsReachedByTheChosenValue) {
  struct Case {
    const char* name;
    int option;
    const char* typed;
    double margin, capRd;
    int passes;
  };
  const Case cases[] = {
      // Nothing capitalised depends on the margin or the cap reduction: one pass.
      {"margin", 0, "$22,000.00", 1500, 0, 1},
      {"cap reduction above the cap cost", 1, "22000", 1000, -500, 1},
      {"cap reduction", 1, "$20,000", 1000, 1500, 1},
      {"the cap cost itself", 0, "$21,500.00", 1000, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommonPage();
    eng.WorksheetModified = 0;
    ForceCap& w = Open();
    EXPECT_EQ(w.windowTitle(), "Cap Cost");
    EXPECT_EQ(w.Text1->text(), "$21,500.00");
    w.Option1[c.option]->setChecked(true);
    w.Text1->setText(c.typed);
    w.Command1_Click(0);
    EXPECT_EQ(w.Passes(), c.passes);
    EXPECT_TRUE(w.Reached());
    EXPECT_DOUBLE_EQ(eng.page.Margin, c.margin);
    EXPECT_DOUBLE_EQ(eng.page.CapRd, c.capRd);
    EXPECT_EQ(eng.WorksheetModified, c.passes > 0 ? -1 : 0);
    windows.Unload<ForceCap>();
  }
}

TEST_F(ForceCapTest, ACapitalisedFirstPaymentTakesSeveralPasses) {
  // The first payment is in the cap cost and follows the margin: each pass comes nearer.
  eng.items.FirstPayment.Cap = 1;
  eng.items.FirstPayment.Cash = 0;
  eng.RecalcPage();
  ForceCap& w = Open();
  w.Text1->setText("$25,000.00");
  w.Command1_Click(0);
  EXPECT_GT(w.Passes(), 1);
  EXPECT_TRUE(w.Reached());
  EXPECT_NEAR(eng.res.CapCost, 25000, 0.01);
}

TEST_F(ForceCapTest, ANegativeCapCostIsRefused) {
  eng.WorksheetModified = 0;
  const PageInputs before = eng.SnapshotInputs();
  ForceCap& w = Open();
  w.Text1->setText("($1,000.00)");
  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(0);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{ForceCap::kNegativeCapCostMessage});
  EXPECT_EQ(w.Text1->text(), "$21,500.00");
  EXPECT_EQ(w.Passes(), 0);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(ForceCapTest, CancelChangesNothing) {
  const PageInputs before = eng.SnapshotInputs();
  ForceCap& w = Open();
  w.Text1->setText("$30,000.00");
  w.Command1_Click(1);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

}  // namespace
}  // namespace qv::test
