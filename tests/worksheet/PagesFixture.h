#pragma once
// A main window after start-up with helpers to build a worksheet of several pages through
// the window (the toolbar's Add Blank Page), to give pages options, start-up items,
// adjustments and fees, and to check that the page count, the current page, the five sheets
// and the page selector agree.
#include <QComboBox>
#include <QSignalBlocker>

#include <string>
#include <vector>

#include "tests/worksheet/QVFixture.h"

namespace qv::test {

class WorksheetPagesTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    Load();
  }

  // Describes the current page and gives it a base invoice (and an MSRP above it).
  void NamePage(const std::string& name, double baseInv) {
    eng.page.CarName = name;
    eng.page.BaseInv = baseInv;
    eng.page.BaseMSRP = baseInv + 2000;
    eng.page.Months = 36;
    eng.page.Factor = 0.0025;
    eng.page.Residual = baseInv / 2;
    qv->Combo2->setItemText(eng.CurrentPage - 1, QString::fromStdString(name));
    qv->SetCombo2Text(name);
    eng.RecalcPage();
  }

  // Appends an option of the current page to sheet "Options" and shows it.
  void AddOption(const std::string& name, double inv, double msrp) {
    grid::Sheet& s = eng.WKS.SheetAt(2);
    const int row = (s.MaxRow() == 1 && s.IsEmpty(1, 1)) ? 1 : s.MaxRow() + 1;
    s.SetNumberRC(row, 1, eng.CurrentPage);
    s.SetTextRC(row, 2, name);
    s.SetNumberRC(row, 3, inv);
    s.SetNumberRC(row, 4, msrp);
    eng.ShowPageOptions();
    eng.RecalcPage();
  }

  // A cash registration fee, a trade-in, an adjustment and an end-of-lease fee, by amount.
  void GiveItems(double amount) {
    eng.items.Registration.Cash = amount;
    eng.items.Registration.ManualSplit = 1;
    eng.items.TradeAllowance = amount * 10;
    eng.items.TradePayoff = amount * 4;
    eng.items.Adjustments[1] = {"Paint " + std::to_string(static_cast<int>(amount)), amount * 2, amount / 2};
    eng.items.EOLFees[2] = {"Disposition", amount * 3};
    eng.RecalcPage();
  }

  void AddPage() {
    prompt.Answer(ui::Answer::OK);
    qv->Toolbar_ButtonClick(7);
  }

  // Chooses a page in the page selector, as a click on its entry does.
  void GoToPage(int page) {
    {
      QSignalBlocker block(qv->Combo2);
      qv->Combo2->setCurrentIndex(page - 1);
    }
    qv->Combo2_Click();
  }

  // Pages A, B and C: invoices 10000, 20000, 30000; A has two options, B and C one each;
  // every page has its own items. Page 3 is current, nothing is stored of it yet.
  void ThreePages() {
    NamePage("A", 10000);
    AddOption("A roof", 500, 600);
    AddOption("A wheels", 700, 800);
    GiveItems(100);
    AddPage();
    NamePage("B", 20000);
    AddOption("B stereo", 300, 400);
    GiveItems(200);
    AddPage();
    NamePage("C", 30000);
    AddOption("C paint", 250, 300);
    GiveItems(300);
    prompt.ClearAsked();
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    for (int i = 0; i < qv->Combo2->count(); ++i) out.push_back(qv->Combo2->itemText(i).toStdString());
    return out;
  }

  // The page descriptions as the worksheet holds them (the current page from memory).
  std::vector<std::string> PageNames() const {
    std::vector<std::string> out;
    const grid::Sheet& s = eng.WKS.SheetAt(1);
    for (int r = 1; r <= eng.PageCount; ++r) out.push_back(r == eng.CurrentPage ? eng.page.CarName : s.TextRC(r, 2));
    return out;
  }

  // The option names of a page in sheet "Options", in row order.
  std::vector<std::string> OptionsOf(int page) const {
    std::vector<std::string> out;
    const grid::Sheet& s = eng.WKS.SheetAt(2);
    for (int r = 1; r <= s.MaxRow(); ++r)
      if (s.NumberRC(r, 1) == page) out.push_back(s.TextRC(r, 2));
    return out;
  }

  void ExpectInStep() {
    for (int sheet : {1, 3, 4, 5}) EXPECT_EQ(eng.WKS.SheetAt(sheet).MaxRow(), eng.PageCount) << "sheet " << sheet;
    EXPECT_GE(eng.CurrentPage, 1);
    EXPECT_LE(eng.CurrentPage, eng.PageCount);
    EXPECT_EQ(Entries(), PageNames());
    EXPECT_EQ(qv->Combo2->currentIndex(), eng.CurrentPage - 1);
    EXPECT_EQ(qv->Combo2->currentText().toStdString(), eng.page.CarName);
    EXPECT_EQ(Text(qv->lblpagenum), "Page" + StrNum(eng.CurrentPage) + " of" + StrNum(eng.PageCount));
    const grid::Sheet& options = eng.WKS.SheetAt(2);
    for (int r = 1; r <= options.MaxRow(); ++r) {
      const double page = options.NumberRC(r, 1);
      if (options.IsEmpty(r, 1)) continue;  // the empty first row of a sheet without options
      EXPECT_GE(page, 1) << "option row " << r;
      EXPECT_LE(page, eng.PageCount) << "option row " << r;
    }
  }
};

}  // namespace qv::test
