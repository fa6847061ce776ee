// The residual adjustment window: additional miles at a price per mile off the residual.
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "dialogs/AdjRes.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class AdjResTest : public SampleDealTest<AdjRes> {
 protected:
  void SetUp() override {
    SampleDealTest::SetUp();
    eng.page.AllowedMiles = 12000;
    eng.RecalcPage();
    eng.WorksheetModified = 0;
  }
  AdjRes& Open() { return windows.Get<AdjRes>(); }
};

TEST_F(AdjResTest, MilesAtAPricePerMileLowerTheResidual) {
  struct Case {
    const char* miles;
    const char* cents;
    const char* adjustment;
    double residual;
    int32_t allowed;
  };
  const Case cases[] = {
      {"5000", "15", "$750.00", 11250, 17000},
      {"5,000", "0.15", "$750.00", 11250, 17000},  // a price in dollars is taken as cents
      {"5000", "1", "$50.00", 11950, 17000},       // exactly 1 is one cent
      {"5000", ".99", "$4950.00", 7050, 17000},    // 99 cents
      {"2500.5", "20", "$500.10", 11499.9, 14500},  // the allowance rounds half to even
      {"", "", "$0.00", 12000, 12000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.miles) + " at " + c.cents);
    CommonPage();
    eng.page.AllowedMiles = 12000;
    eng.RecalcPage();
    AdjRes& w = Open();
    EXPECT_EQ(w.windowTitle(), "Adjust Residual");
    EXPECT_EQ(Text(w.lblCurrentResidual), "$12000.00");
    w.txtAdditionalMiles->setText(c.miles);
    w.txtCentsPerMile->setText(c.cents);
    w.CalcAdjustment();
    EXPECT_EQ(Text(w.lblAdjustment), c.adjustment);
    w.Command1_Click(0);
    EXPECT_NEAR(eng.page.Residual, c.residual, 1e-9);
    EXPECT_EQ(eng.page.AllowedMiles, c.allowed);
    EXPECT_NEAR(eng.res.ResPerc, c.residual / 22500, 1e-12) << "the page was recalculated";
    windows.Unload<AdjRes>();
  }
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(AdjResTest, TheLabelsFollowTheBoxesAndOkTakesWhatIsTyped) {
  AdjRes& w = Open();
  w.txtAdditionalMiles->setText("1000");
  w.txtCentsPerMile->setText("10");
  w.CalcAdjustment();
  EXPECT_EQ(Text(w.lblAdjustment), "$100.00");
  EXPECT_EQ(Text(w.lblAdjustedResidual), "$11900.00");
  // Typed without leaving the box: OK still takes it.
  w.txtCentsPerMile->setText("20");
  w.Command1_Click(0);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11800);
  EXPECT_EQ(eng.page.AllowedMiles, 13000);
}

TEST_F(AdjResTest, CancelAndTheCloseBoxChangeNothing) {
  const PageInputs before = eng.SnapshotInputs();
  AdjRes& w = Open();
  w.txtAdditionalMiles->setText("5000");
  w.txtCentsPerMile->setText("15");
  w.CalcAdjustment();
  w.Command1_Click(1);
  windows.Unload<AdjRes>();
  AdjRes& v = Open();
  v.txtAdditionalMiles->setText("5000");
  v.reject();
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(AdjResTest, AnAllowanceBeyondTheIntegerRangeIsRefused) {
  AdjRes& w = Open();
  w.txtAdditionalMiles->setText("3000000000");
  w.txtCentsPerMile->setText("0");
  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(0);
  EXPECT_EQ(prompt.Asked().at(0).text, " 3000000000 is not a valid number of miles.");
  EXPECT_EQ(eng.page.AllowedMiles, 12000);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 12000);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(AdjResTest, EnterMovesOnWithoutATypedCharacter) {
  AdjRes& w = Open();
  int key = 13;
  w.txtAdditionalMiles_KeyPress(key);
  EXPECT_EQ(key, 0);
  key = 13;
  w.txtCentsPerMile_KeyPress(key);
  EXPECT_EQ(key, 0);
  key = 'a';
  w.txtCentsPerMile_KeyPress(key);
  EXPECT_EQ(key, 'a');
}

// The ways in from the main window: the menu, a double-click on a caption label or on the
// miles field. The label and the field mark the worksheet modified however the window
// closes.
TEST_F(AdjResTest, MainWindowOpensTheWindowModally) {
  auto apply = [](ui::ModalWindow& m) {
    auto& w = dynamic_cast<AdjRes&>(m);
    w.txtAdditionalMiles->setText("1000");
    w.txtCentsPerMile->setText("10");
    w.Command1_Click(0);
    return 1;
  };
  ASSERT_TRUE(qv->mnuAdjustResidual->isEnabled());
  prompt.Modal(apply);
  qv->mnuAdjustResidual->trigger();
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11900);
  EXPECT_EQ(eng.page.AllowedMiles, 13000);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_FALSE(windows.Loaded<AdjRes>());

  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  for (QWidget* target : {static_cast<QWidget*>(qv->Label14[1]), static_cast<QWidget*>(qv->Text3[8])}) {
    eng.WorksheetModified = 0;
    prompt.Modal([](ui::ModalWindow& m) {
      dynamic_cast<AdjRes&>(m).Command1_Click(1);
      return 0;
    });
    QApplication::sendEvent(target, &dbl);
    EXPECT_EQ(prompt.Last()->text, "AdjRes");
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_FALSE(windows.Loaded<AdjRes>());
  }
  EXPECT_EQ(prompt.Asked().size(), 3u);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11900);
}

}  // namespace
}  // namespace qv::test
