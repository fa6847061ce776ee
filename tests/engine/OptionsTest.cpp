// The option grid of the current page and stepping through the pages.
#include <gtest/gtest.h>

#include "PageModelSupport.h"
#include "engine/Engine.h"

namespace qv {
namespace {

using testing_support::RecordingHost;
using testing_support::StrictPrompt;

void AddOption(Engine& e, int row, int pageNo, const std::string& name, double inv, double msrp) {
  grid::Sheet& s = e.WKS.SheetAt(2);
  s.SetNumberRC(row, 1, pageNo);
  s.SetTextRC(row, 2, name);
  s.SetNumberRC(row, 3, inv);
  s.SetNumberRC(row, 4, msrp);
}

TEST(ShowPageOptions, ShowsThePageOptionsInSheetOrder) {
  StrictPrompt sp;
  RecordingHost host;
  Engine e;
  e.host = &host;
  AddOption(e, 1, 2, "Moonroof", 850, 1000);
  AddOption(e, 2, 1, "Other page", 1, 1);
  AddOption(e, 3, 2, "Discount package", -500, -600);
  AddOption(e, 4, 3, "Third page", 2, 2);
  AddOption(e, 5, 2, "Floor mats", 40.5, 65);
  e.CurrentPage = 2;
  // Left-overs of the page shown before.
  for (int r = 1; r <= 6; ++r) e.OptionList.SetTextRC(r, 1, "stale");
  e.OptionList.SetActiveCell(4, 3);

  e.ShowPageOptions();

  const grid::Sheet& g = e.OptionList;
  ASSERT_EQ(g.MaxRow(), 3);
  struct Row {
    const char* name;
    double inv, msrp;
    int sheetRow;
  } expected[] = {{"Moonroof", 850, 1000, 1}, {"Discount package", -500, -600, 3}, {"Floor mats", 40.5, 65, 5}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(g.TextRC(i + 1, 1), expected[i].name);
    EXPECT_TRUE(g.IsNumber(i + 1, 2));
    EXPECT_EQ(g.NumberRC(i + 1, 2), expected[i].inv);
    EXPECT_EQ(g.NumberRC(i + 1, 3), expected[i].msrp);
    EXPECT_TRUE(g.IsEmpty(i + 1, 4));
    EXPECT_EQ(g.NumberRC(i + 1, 5), expected[i].sheetRow);
  }
  EXPECT_TRUE(g.IsEmpty(4, 1));
  EXPECT_EQ(g.ActiveRow(), 1);
  EXPECT_EQ(g.ActiveCol(), 1);
  EXPECT_EQ(e.WKS.ActiveSheet(), 2);
  // Pending events ran once and the window side heard of the new list.
  EXPECT_EQ(sp.prompt.DoEventsCount(), 1);
  EXPECT_GE(host.optionListShown, 1);
}

TEST(ShowPageOptions, ATabInANameFromAFileIsShownAsABlank) {
  StrictPrompt sp;
  Engine e;
  AddOption(e, 1, 1, "Roof\track", 300, 350);
  e.ShowPageOptions();
  EXPECT_EQ(e.OptionList.TextRC(1, 1), "Roof rack");
  EXPECT_EQ(e.OptionList.NumberRC(1, 2), 300);
}

// A crafted file may hold sum cells in the page-number column of sheet "Options": showing
// the options reads every row, and the sums are worked out once for all of them.
TEST(ShowPageOptions, SumCellsInTheOptionsSheetAreWorkedOutOnce) {
  StrictPrompt sp;
  Engine e;
  grid::Sheet& s = e.WKS.SheetAt(2);
  s.SetNumberRC(1, 1000, 1);
  for (int r = 1; r <= grid::Sheet::kMaxSumCells; ++r) s.SetSumFormula(r, 1, 1, 1000, grid::Sheet::kMaxRows, 1000);
  const uint64_t before = s.SumPasses();
  e.ShowPageOptions();
  EXPECT_EQ(e.WKS.SheetAt(2).SumPasses(), before + 1);
  EXPECT_EQ(e.OptionList.MaxRow(), grid::Sheet::kMaxSumCells);  // every row sums to page 1
  e.ShowPageOptions();
  EXPECT_EQ(e.WKS.SheetAt(2).SumPasses(), before + 1);  // nothing changed: nothing worked out again
}

TEST(ShowPageOptions, PageWithoutOptionsShowsOneEmptyRow) {
  StrictPrompt sp;
  Engine e;
  AddOption(e, 1, 1, "Moonroof", 850, 1000);
  e.CurrentPage = 2;
  e.OptionList.SetTextRC(1, 1, "stale");
  e.OptionList.SetNumberRC(2, 5, 1);
  e.ShowPageOptions();
  EXPECT_EQ(e.OptionList.MaxRow(), 1);
  EXPECT_EQ(e.OptionList.LastCol(), 0);
}

TEST(ShowPageOptions, CustomerLabels) {
  StrictPrompt sp;
  Engine e;
  e.Label25Caption = "old name";
  e.lblCustIDCaption = " 7";
  e.page.CustomerID = 0;
  e.page.CustomerName = "Detached";
  e.ShowPageOptions();
  EXPECT_EQ(e.Label25Caption, "");
  EXPECT_EQ(e.lblCustIDCaption, "");

  e.page.CustomerID = 1042;
  e.page.CustomerName = "Jane Roe";
  e.ShowPageOptions();
  EXPECT_EQ(e.Label25Caption, "Jane Roe");
  EXPECT_EQ(e.lblCustIDCaption, " 1042");
}

// ---- page stepping ---------------------------------------------------------------------

// A worksheet of three stored pages, page 2 current.
struct ThreePages {
  StrictPrompt sp;
  RecordingHost host;
  Engine e;
  ThreePages() {
    e.host = &host;
    e.PageCount = 3;
    const char* names[] = {"", "1997 Taurus GL", "1998 Explorer XLT", "1998 Ranger XL"};
    for (int16_t n = 1; n <= 3; ++n) {
      e.CurrentPage = n;
      e.page = PageRecord{};
      e.page.CarName = names[n];
      e.page.BaseInv = 10000.0 * n;
      e.items = PageItems{};
      e.items.Security.Cash = 100.0 * n;
      e.StorePage();
    }
    AddOption(e, 1, 3, "Bed liner", 200, 300);
    e.CurrentPage = 2;
    e.page.CarName = "1998 Explorer XLT";
    e.page.BaseInv = 20000;
    e.items = PageItems{};
    e.items.Security.Cash = 200;
  }
};

TEST(PageUpDown, StepsAtTheEndsChangeNothing) {
  struct Case {
    int16_t page;
    int key;
  } cases[] = {{3, 33}, {1, 34}, {2, 13}, {2, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("page " + std::to_string(c.page) + ", key " + std::to_string(c.key));
    ThreePages w;
    w.e.CurrentPage = c.page;
    w.e.page.CarName = "edited, not stored";
    const grid::Workbook before = w.e.WKS;
    w.e.PageUpDown(c.key);
    EXPECT_EQ(w.e.CurrentPage, c.page);
    EXPECT_EQ(w.e.page.CarName, "edited, not stored");
    EXPECT_TRUE(w.e.WKS.SameContent(before));
    EXPECT_FALSE(w.host.selectorSet);
    EXPECT_EQ(w.host.resultsShown, 0);
  }
}

TEST(PageUpDown, PageUpStoresAndShowsTheNextPage) {
  ThreePages w;
  w.e.page.Margin = 777;  // an edit of page 2, stored by the step
  w.e.PageUpDown(33);

  EXPECT_EQ(w.e.CurrentPage, 3);
  EXPECT_EQ(w.e.page.CarName, "1998 Ranger XL");
  EXPECT_EQ(w.e.page.BaseInv, 30000);
  EXPECT_EQ(w.e.OptionList.TextRC(1, 1), "Bed liner");
  EXPECT_EQ(w.host.selectorText, "1998 Ranger XL");
  EXPECT_GE(w.host.resultsShown, 1);  // the page was recalculated and shown
  EXPECT_EQ(w.e.WorksheetModified, 0);
  EXPECT_EQ(w.e.WKS.SheetAt(1).NumberRC(2, 6), 777);

  w.e.PageUpDown(34);
  EXPECT_EQ(w.e.CurrentPage, 2);
  EXPECT_EQ(w.e.page.CarName, "1998 Explorer XLT");
  EXPECT_EQ(w.e.page.Margin, 777);
  EXPECT_EQ(w.host.selectorText, "1998 Explorer XLT");
  EXPECT_EQ(w.e.OptionList.MaxRow(), 1);
  EXPECT_EQ(w.e.OptionList.LastCol(), 0);
}

}  // namespace
}  // namespace qv
