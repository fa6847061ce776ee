// The road through the guides from the main window: a vehicle taken with "Ca&r" onto an
// empty page, options added and taken off with "Opt&ions", a residual with a locked
// adjustment from the residual menu, then an option taken off again with the residual
// question. Every figure is worked by hand from the sample guide.
#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "GuideWindowFixture.h"
#include "platform/grid/GridWidget.h"
#include "pricing/ALGRes.h"
#include "pricing/OptLookUp.h"
#include "pricing/Prices.h"

namespace qv::test {
namespace {

using ui::Answer;

class GuideRoadTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    CopySampleGuide(folder);
    Load();
    eng.WorksheetModified = 0;
  }
  void TearDown() override {
    windows.Unload<Prices>();
    windows.Unload<OptLookUp>();
    windows.Unload<ALGRes>();
    QVTest::TearDown();
  }
  template <class W>
  void Next(std::function<void(W&)> act) {
    prompt.Modal([act](ui::ModalWindow& w) {
      act(dynamic_cast<W&>(w));
      return 0;
    });
  }
  static int OptionRow(const OptLookUp& w, const std::string& start) {
    for (int r = 1; r <= w.OptionLookUpData.MaxRow(); ++r)
      if (w.OptionLookUpData.TextRC(r, 2).rfind(start, 0) == 0) return r;
    return 0;
  }
  static int ModelLine(const ALGRes& w, const std::string& start) {
    for (int i = 0; i < w.lstModel->count(); ++i)
      if (w.lstModel->item(i)->text().toStdString().rfind(start, 0) == 0) return i;
    return -1;
  }
};

TEST_F(GuideRoadTest, CarOptionsAndResidualOntoOnePage) {
  // Before a vehicle is taken the Options buttons have nothing to look up.
  for (int i : {0, 1, 5, 6, 10, 11}) EXPECT_TRUE(qv->cmdbut2[i]->isEnabled()) << i;
  EXPECT_FALSE(qv->cmdbut2[2]->isEnabled());
  for (QAction* a : qv->mnuResidual) EXPECT_TRUE(a->isEnabled());

  // "Ca&r": the 1998 models too, then the 2000 Solvane, "4dr Sedan Plus".
  Next<Prices>([](Prices& p) {
    p.Check1[0]->setChecked(true);
    int t = 'T';
    p.List1_KeyPress(t);
    ASSERT_EQ(p.SelectedVehicle(), 0);
    p.List1_DblClick();
    p.Price1->setActiveCell(4, 1);
    p.Price1_DblClick();
  });
  qv->cmdbut2[0]->click();
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Solvane: Sedans 4dr Sedan Plus");
  EXPECT_EQ(Text(qv->Text3[0]), "$17,301.00");
  EXPECT_EQ(Text(qv->lblTotals[1]), "$19,480.00");  // 18995 + 485
  EXPECT_TRUE(qv->cmdbut2[2]->isEnabled());
  EXPECT_TRUE(qv->cmdbut2[7]->isEnabled());
  EXPECT_TRUE(qv->cmdbut2[9]->isEnabled());

  // "Opt&ions": the Convenience Group and floor mats on, the mats off again.
  Next<OptLookUp>([](OptLookUp& w) {
    w.OptionLookUp_DblClick(OptionRow(w, "Convenience Group"), 2);
    const int mats = OptionRow(w, "Floor mats");
    w.OptionLookUp_DblClick(mats, 2);
    w.OptionLookUp_DblClick(mats, 2);
    w.Command1_Click(1);
  });
  qv->cmdbut2[2]->click();
  EXPECT_EQ(eng.OptionList.TextRC(1, 1).rfind("Convenience Group", 0), 0u);
  EXPECT_EQ(eng.OptionList.TextRC(2, 1), "");
  EXPECT_EQ(Text(qv->lblTotals[1]), "$20,200.00");  // 19480 + 720

  // "200&0 Residuals": the moonroof locked in, 36 months at 52 + 2 = 54 % of 20200.
  Next<ALGRes>([](ALGRes& w) {
    w.lstMfg->setCurrentRow(0);
    w.lstModel->setCurrentRow(ModelLine(w, std::string(10, ' ') + "POWER MOONROOF"));
    w.cmdbutUse_Click(2);
    w.lstModel->setCurrentRow(ModelLine(w, std::string(10, ' ') + "SOLVANE 4DR PLUS"));
    w.lstResValues->setCurrentRow(1);
    w.cmdbutUse_Click(0);
  });
  prompt.Answer(Answer::OK);
  qv->mnuResidual[3]->trigger();
  EXPECT_EQ(prompt.MessageTexts().back(),
            "Page 1 of the Worksheet will be modified to include\ra residual value of $20200 x .54 = $10908");
  EXPECT_DOUBLE_EQ(eng.page.Residual, 10908);
  EXPECT_EQ(eng.page.Months, 36);
  EXPECT_EQ(Text(qv->Text3[8]), "15,000");

  // Taking the option off again: the residual question at the old 54 %, of 19480.
  Next<OptLookUp>([](OptLookUp& w) {
    const int row = OptionRow(w, "Convenience Group");
    EXPECT_EQ(w.OptionLookUpData.TextRC(row, 1), "<TAG>");
    w.OptionLookUp_DblClick(row, 2);
    w.Command1_Click(1);
  });
  prompt.Answer(Answer::Yes);
  qv->cmdbut2[9]->click();
  EXPECT_EQ(prompt.MessageTexts().back(),
            "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n54.0% of MSRP?");
  EXPECT_NEAR(eng.page.Residual, 10519.20, 0.005);
  EXPECT_EQ(Text(qv->lblTotals[1]), "$19,480.00");
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(GuideRoadTest, AVehicleTakenOntoANewPageLeavesTheMethodMenuOnThatPagesMethod) {
  // A Ford APR page holding a vehicle: the vehicle goes onto a new page, whose method the
  // Method menu then shows.
  eng.page.CarName = "Old Van";
  eng.page.BaseInv = 15000;
  eng.page.LType = 3;
  eng.RecalcPage();
  ASSERT_TRUE(qv->mnuType[3]->isChecked());
  Next<Prices>([](Prices& p) {
    p.Check1[0]->setChecked(true);
    int t = 'T';
    p.List1_KeyPress(t);
    p.List1_DblClick();
    p.Price1->setActiveCell(4, 1);
    p.Price1_DblClick();
  });
  prompt.Answer(Answer::OK);  // "A new page will be created to contain pricing data."
  qv->cmdbut2[0]->click();
  ASSERT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(eng.page.LType, 0);
  EXPECT_EQ(qv->mnuType[3]->isChecked(), eng.page.LType != 0);
  EXPECT_EQ(qv->mnuType[0]->isChecked(), eng.page.LType == 0);
}

}  // namespace
}  // namespace qv::test
