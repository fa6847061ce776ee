// The page selector and the tax-setting list.
#include <QApplication>

#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class PagesTest : public QVTest {
 protected:
  // Two pages, "Van" (invoice 18000) and "Sedan" (invoice 25000); page 1 shown.
  void SetUp() override {
    QVTest::SetUp();
    Load();
    AddPage(1, "Van", 18000);
    AddPage(2, "Sedan", 25000);
    eng.PageCount = 2;
    eng.CurrentPage = 1;
    eng.LoadPage();
    QSignalBlocker b(qv->Combo2);
    qv->Combo2->clear();
    qv->Combo2->addItem("Van");
    qv->Combo2->addItem("Sedan");
    qv->Combo2->setCurrentIndex(0);
    eng.WorksheetModified = 0;
  }
  void AddPage(int n, const std::string& name, double invoice) {
    eng.CurrentPage = static_cast<int16_t>(n);
    eng.page = PageRecord{};
    eng.page.CarName = name;
    eng.page.BaseInv = invoice;
    eng.page.Months = 36;
    eng.SavePageFields();
    eng.SavePageItems();
  }
  void Choose(int index) {
    {
      QSignalBlocker b(qv->Combo2);
      qv->Combo2->setCurrentIndex(index);
    }
    qv->Combo2_Click();
  }
};

TEST_F(PagesTest, ChoosingAPageStoresTheOldOneAndShowsTheNewOne) {
  eng.page.Margin = 750;  // an edit of page 1 not stored yet
  Choose(1);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 25000);
  EXPECT_EQ(Text(qv->Text3[0]), "$25,000.00");
  EXPECT_EQ(Text(qv->lblpagenum), "Page 2 of 2");
  Choose(0);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 750);
  // The same page again: stored and reloaded, nothing lost, not modified.
  Choose(0);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 750);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(PagesTest, PageUpInAFieldTakesTheTypedValueFirst) {
  ASSERT_TRUE(ShowActive());
  qv->Text3[4]->setFocus();
  QApplication::processEvents();
  qv->Text3[4]->setText("1500");
  qv->Text3_KeyDown(4, 33, 0);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), "Sedan");
  EXPECT_EQ(Text(qv->Text3[4]), " ");
  qv->Text3_LostFocus(4);  // leaving the box now stores nothing into page 2
  EXPECT_DOUBLE_EQ(eng.page.Margin, 0);
  qv->Text3_KeyDown(4, 34, 0);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1500);
}

// The box keeping the focus across a page step shows the new page's figure selected, as if
// just entered: what is typed next replaces it instead of being added to its end.
TEST_F(PagesTest, AFieldKeepingTheFocusAcrossAPageStepHasItsNewFigureSelected) {
  ASSERT_TRUE(ShowActive());
  qv->Text3[0]->setFocus();
  QApplication::processEvents();
  qv->Text3_KeyDown(0, 33, 0);
  ASSERT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(Text(qv->Text3[0]), "$25,000.00");
  EXPECT_EQ(qv->Text3[0]->selectedText().toStdString(), "$25,000.00");
  qv->Text3[0]->insert("26000");  // typed over the selection
  qv->Text3_LostFocus(0);
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 26000);
}

TEST_F(PagesTest, PageListBusyIgnoresTheChoice) {
  windows.Shared().PageListBusy = true;
  Choose(1);
  windows.Shared().PageListBusy = false;
  EXPECT_EQ(eng.CurrentPage, 1);
}

TEST_F(PagesTest, RenameWithF2) {
  qv->Combo2_KeyUp(113, 0);
  ASSERT_TRUE(qv->Text1->isVisibleTo(qv.get()));
  EXPECT_EQ(Text(qv->Text1), "Van");
  EXPECT_FALSE(qv->RenameCancelled);
  qv->Text1->setText("Wagon");
  qv->Text1_LostFocus();
  EXPECT_FALSE(qv->Text1->isVisibleTo(qv.get()));
  EXPECT_EQ(eng.page.CarName, "Wagon");
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), "Wagon");
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), "Wagon");
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(PagesTest, RenameWithF2CancelledByEscape) {
  qv->Combo2_KeyUp(113, 0);
  qv->Text1->setText("Wagon");
  int key = 27;
  qv->Text1_KeyPress(key);
  qv->Text1_LostFocus();
  EXPECT_TRUE(qv->RenameCancelled);
  EXPECT_FALSE(qv->Text1->isVisibleTo(qv.get()));
  EXPECT_EQ(eng.page.CarName, "Van");
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), "Van");
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(PagesTest, TypingOverTheSelectorRenamesTheCurrentPageOnly) {
  // Both pages carry the same name; the second one is shown.
  qv->Combo2->setItemText(1, "Van");
  Choose(1);
  eng.page.CarName = "Van";
  qv->Combo2_GotFocus();
  qv->Combo2->setEditText("Truck");
  qv->Combo2_LostFocus();
  EXPECT_EQ(eng.page.CarName, "Truck");
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), "Van");
  EXPECT_EQ(qv->Combo2->itemText(1).toStdString(), "Truck");
  EXPECT_EQ(qv->Combo2->currentIndex(), 1);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(PagesTest, EnterInTheSelectorGoesToTheBaseInvoice) {
  ASSERT_TRUE(ShowActive());
  qv->Combo2->setFocus();
  QApplication::processEvents();
  int key = 13;
  qv->Combo2_KeyPress(key);
  QApplication::processEvents();
  EXPECT_EQ(qv->focusWidget(), qv->Text3[0]);
}

TEST_F(PagesTest, ChoosingATaxSettingLoadsItAndRecalculates) {
  const std::string header = SplitLines(ReadFile(folder + "Taxset.txt"))[0];
  WriteFile(folder + "Taxset.txt", header + "\r\nHome,6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6,0,0,1,6,1,36000,1,0,0\r\n"
                                            "Away,8,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,8,0,0,1,6,1,36000,1,0,0\r\n");
  qv->FillTaxSetList();
  eng.page.Factor = 0.0025;
  eng.page.Residual = 10000;
  {
    QSignalBlocker b(qv->Combo1);
    qv->Combo1->setCurrentIndex(1);
  }
  qv->Combo1_Click();
  EXPECT_EQ(eng.tax.TaxSetName, "Away");
  EXPECT_FLOAT_EQ(eng.tax.LeaseTaxRate, 8.0f);
  EXPECT_NEAR(eng.res.PaymentWT, eng.res.PaymentNT * 1.08, 1e-6);
  EXPECT_EQ(Text(qv->Text5[0]), "8.0");
}

}  // namespace
}  // namespace qv::test
