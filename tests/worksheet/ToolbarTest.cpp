// The toolbar in its rebar band, and the page management of its buttons: erase, add, copy
// and delete keep the page count, the current page, the five sheets and the page selector
// in step.
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/Notes.h"
#include "tests/worksheet/PagesFixture.h"
#include "worksheet/CRebar.h"

namespace qv::test {
namespace {

using ui::Answer;
using ui::Buttons;

class ToolbarTest : public WorksheetPagesTest {
 protected:
  void TearDown() override {
    windows.Unload<Notes>();
    WorksheetPagesTest::TearDown();
  }
  // The row of a page sheet as text, for comparing rows that moved.
  std::string Row(int sheet, int row) const {
    const grid::Sheet& s = eng.WKS.SheetAt(sheet);
    return s.ClipRange(row, 1, row, sheet == 5 ? 6 : (sheet == 1 ? 50 : 22));
  }
};

TEST_F(ToolbarTest, ButtonsSitFlatInOneRebarBandWithTheirTips) {
  ASSERT_NE(qv->Rebar, nullptr);
  EXPECT_EQ(qv->Rebar->BandCount(), 1);
  EXPECT_EQ(qv->Rebar->Band(0), qv->Toolbar);
  EXPECT_EQ(qv->Rebar->GetBandId(0), 1);
  EXPECT_EQ(qv->toolBarArea(qv->Toolbar), Qt::TopToolBarArea);
  // The band never gets narrower than 150 pixels; below its buttons' width the toolbar
  // shows its chevron.
  EXPECT_EQ(qv->Toolbar->minimumWidth(), 150);
  EXPECT_EQ(qv->Toolbar->toolButtonStyle(), Qt::ToolButtonIconOnly);
  const char* tips[10] = {nullptr,
                          "Erase Worksheet",
                          "Open",
                          "Save All Pages",
                          "Print/Preview Report",
                          "Attach Note to Worksheet Page",
                          nullptr,
                          "Add Blank Page",
                          "Copy Current Page To New Page",
                          "Delete Current Page"};
  for (int i = 1; i <= 9; ++i) {
    SCOPED_TRACE(i);
    QAction* a = qv->ToolbarButtons[i];
    ASSERT_NE(a, nullptr);
    if (i == 6) {
      EXPECT_TRUE(a->isSeparator());
      continue;
    }
    EXPECT_EQ(a->toolTip().toStdString(), tips[i]);
    EXPECT_FALSE(a->icon().isNull());
    auto* button = qobject_cast<QToolButton*>(qv->Toolbar->widgetForAction(a));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->autoRaise());
    EXPECT_TRUE(a->isEnabled());
  }
  // A second start-up keeps the one band.
  Load();
  EXPECT_EQ(qv->Rebar->BandCount(), 1);
}

TEST_F(ToolbarTest, RebarFacade) {
  QMainWindow window;
  CRebar rebar;
  EXPECT_FALSE(rebar.Create());  // no parent
  EXPECT_EQ(rebar.hwnd(), nullptr);
  rebar.SetParent(&window);
  ASSERT_TRUE(rebar.Create());
  EXPECT_EQ(rebar.GetRebarWindow(), &window);

  auto* first = new QToolBar(&window);
  auto* second = new QToolBar(&window);
  auto* third = new QToolBar(&window);
  rebar.AddBands("one", 7, first, 0, 10);
  rebar.AddBands("two", 8, second, 1);
  rebar.AddBands("three", 9, third, 2, 4);
  ASSERT_EQ(rebar.BandCount(), 3);
  // Style selector 1 continues the row; every other value, 0 included, breaks the line.
  EXPECT_EQ(rebar.BandStyle(0), 0x2A5u);
  EXPECT_EQ(rebar.BandStyle(1), 0x2A4u);
  EXPECT_EQ(rebar.BandStyle(2), 0x2A5u);
  EXPECT_FALSE(window.toolBarBreak(second));
  EXPECT_TRUE(window.toolBarBreak(third));
  EXPECT_EQ(first->minimumWidth(), 150);
  EXPECT_EQ(third->minimumWidth(), 60);
  EXPECT_EQ(first->windowTitle().toStdString(), "one");
  EXPECT_EQ(rebar.GetBandId(1), 8);
  EXPECT_EQ(rebar.GetBandId(3), 0);  // past the last band
  EXPECT_EQ(rebar.GetBandId(-1), 0);

  // A widget that is not a toolbar gets a band of its own.
  auto* box = new QLabel("box", &window);
  rebar.AddBands("", 10, box, 1);
  ASSERT_EQ(rebar.BandCount(), 4);
  EXPECT_EQ(rebar.Band(3)->widgetForAction(rebar.Band(3)->actions().value(0)), box);

  // Band colours follow the system's button colours.
  rebar.SetBandColors();
  EXPECT_EQ(first->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
  EXPECT_EQ(first->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::ButtonText));

  rebar.RemoveBands(1);
  EXPECT_EQ(rebar.BandCount(), 3);
  EXPECT_EQ(rebar.GetBandId(1), 9);
  rebar.DestroyRebar();
  EXPECT_EQ(rebar.BandCount(), 0);
  EXPECT_EQ(rebar.hwnd(), &window);  // the handle keeps its value
  EXPECT_EQ(box->parentWidget(), &window);

  // Flat toolbars: a container without a toolbar is left alone; list style puts the texts
  // beside the images.
  QWidget plain;
  rebar.TBMakeFlat(&plain, -1);
  QWidget holder;
  auto* inner = new QToolBar(&holder);
  rebar.TBMakeFlat(&holder, -1);
  EXPECT_EQ(inner->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  rebar.TBMakeFlat(&holder, 0);
  EXPECT_EQ(inner->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST_F(ToolbarTest, AddCopyAndDeleteAskFirstAndCancelChangesNothing) {
  ThreePages();
  GoToPage(2);
  struct Case {
    int button;
    std::string question;
    ui::Icon icon;
  };
  const Case cases[] = {
      {1, "All Worksheet pages will be erased. Continue?", ui::Icon::Exclamation},
      {7, "Add a new page to the Worksheet?", ui::Icon::None},
      {8, "Copy the contents of Page 2 to a new page?", ui::Icon::None},
      {9, "Delete Page 2 From the Worksheet?", ui::Icon::None},
  };
  const grid::Workbook before = eng.WKS;
  const PageInputs inputs = eng.SnapshotInputs();
  eng.page.Memo = "typed, not stored";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    prompt.ClearAsked();
    eng.WorksheetModified = 0;
    prompt.Answer(Answer::Cancel);
    qv->Toolbar_ButtonClick(c.button);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, c.question);
    EXPECT_EQ(prompt.Asked()[0].buttons, Buttons::OKCancel);
    EXPECT_EQ(prompt.Asked()[0].icon, c.icon);
    EXPECT_EQ(prompt.Asked()[0].title, std::optional<std::string>(""));
    EXPECT_TRUE(eng.WKS.SameContent(before));
    EXPECT_EQ(eng.page.Memo, "typed, not stored");
    EXPECT_EQ(eng.PageCount, 3);
    EXPECT_EQ(eng.CurrentPage, 2);
    EXPECT_EQ(eng.WorksheetModified, 0);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "B", "C"}));
  }
  EXPECT_EQ(eng.items, inputs.items);
  // Buttons without a command do nothing and ask nothing.
  for (int i : {0, 6, 10}) qv->Toolbar_ButtonClick(i);
  EXPECT_EQ(prompt.Asked().size(), 1u);
}

TEST_F(ToolbarTest, AddedPageIsEmptyWithTheDefaultRates) {
  NamePage("A", 10000);
  AddOption("A roof", 500, 600);
  eng.page.LoanRate = 0.12;
  eng.WorksheetModified = 0;
  AddPage();
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(eng.page.CarName, "");
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 0);
  // The settings' defaults: loan 9 %, investment 5 %, the shipped admin factor.
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, eng.cfg.DefaultLoanRate);
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0.09);
  EXPECT_DOUBLE_EQ(eng.page.InvestRate, 0.05);
  EXPECT_DOUBLE_EQ(eng.page.FordAdminFactor, eng.cfg.DefaultAdminFactor);
  EXPECT_EQ(eng.OptionCount, 0);
  EXPECT_EQ(eng.OptionList.MaxRow(), 1);
  EXPECT_EQ(eng.OptionList.TextRC(1, 1), "");
  EXPECT_EQ(eng.WorksheetModified, -1);
  // The page left was stored, with its changed rate.
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 2), "A");
  EXPECT_DOUBLE_EQ(eng.WKS.SheetAt(1).NumberRC(1, 21), 0.12);
  EXPECT_EQ(OptionsOf(1), std::vector<std::string>{"A roof"});
  ExpectInStep();
}

// Erasing a worksheet with unsaved changes first offers to save it, as New Worksheet does;
// the page left is the settings' rates, not an empty row's 0 %.
TEST_F(ToolbarTest, EraseOffersToSaveFirstAndLeavesTheDefaultRates) {
  ThreePages();
  eng.page.LoanRate = 0.12;
  eng.WorksheetModified = -1;
  const grid::Workbook before = eng.WKS;
  prompt.ClearAsked();
  prompt.Answer(Answer::Cancel);
  qv->Toolbar_ButtonClick(1);
  EXPECT_EQ(prompt.MessageTexts(),
            std::vector<std::string>{"Save " + eng.WorksheetFileName + " Before Loading New File?"});
  EXPECT_TRUE(eng.WKS.SameContent(before));
  EXPECT_EQ(eng.PageCount, 3);

  prompt.ClearAsked();
  prompt.Answer(Answer::No).Answer(Answer::OK);
  qv->Toolbar_ButtonClick(1);
  EXPECT_EQ(prompt.MessageTexts().size(), 2u);
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0.09);
  EXPECT_DOUBLE_EQ(eng.page.InvestRate, 0.05);
}

TEST_F(ToolbarTest, CopyMakesANewLastPageWithTheOptionsAndItems) {
  ThreePages();
  GoToPage(1);
  eng.page.CarName = "Van";
  qv->Combo2->setItemText(0, "Van");
  prompt.Answer(Answer::OK);
  qv->Toolbar_ButtonClick(8);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Copy the contents of Page 1 to a new page?"});
  EXPECT_EQ(eng.PageCount, 4);
  EXPECT_EQ(eng.CurrentPage, 4);
  EXPECT_EQ(eng.page.CarName, "*Copy* Van");
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 10000);
  EXPECT_EQ(OptionsOf(4), (std::vector<std::string>{"A roof", "A wheels"}));
  EXPECT_EQ(OptionsOf(1), (std::vector<std::string>{"A roof", "A wheels"}));
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 1200);
  EXPECT_DOUBLE_EQ(eng.items.Registration.Cash, 100);
  EXPECT_EQ(eng.items.Adjustments[1].Desc, "Paint 100");
  EXPECT_DOUBLE_EQ(eng.items.EOLFees[2].Amount, 300);
  for (int sheet : {3, 4, 5}) EXPECT_EQ(Row(sheet, 4), Row(sheet, 1)) << "sheet " << sheet;
  // The source keeps its description; the copy's reaches the sheet at the next store.
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 2), "Van");
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(4, 2), "Van");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Van", "B", "C", "*Copy* Van"}));
  EXPECT_EQ(eng.WorksheetModified, -1);
  ExpectInStep();
  eng.StorePage();
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(4, 2), "*Copy* Van");

  // A page without options copies the one empty row its option grid shows.
  AddPage();
  NamePage("Bare", 5000);
  const int optionRows = eng.WKS.SheetAt(2).MaxRow();
  prompt.Answer(Answer::OK);
  qv->Toolbar_ButtonClick(8);
  EXPECT_EQ(eng.CurrentPage, 6);
  EXPECT_EQ(eng.WKS.SheetAt(2).MaxRow(), optionRows + 1);
  EXPECT_EQ(eng.WKS.SheetAt(2).NumberRC(optionRows + 1, 1), 6);
  EXPECT_EQ(OptionsOf(6), std::vector<std::string>{""});
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 0);
  ExpectInStep();
}

TEST_F(ToolbarTest, DeleteRenumbersThePagesAndTheirOptions) {
  struct Case {
    int page;           // deleted
    int current;        // shown afterwards
    double baseInv;     // of the page shown
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> options;  // by page
  };
  const Case cases[] = {
      {1, 1, 20000, {"B", "C"}, {{"B stereo"}, {"C paint"}}},
      {2, 2, 30000, {"A", "C"}, {{"A roof", "A wheels"}, {"C paint"}}},
      {3, 2, 20000, {"A", "B"}, {{"A roof", "A wheels"}, {"B stereo"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    eng.WorksheetModified = 0;
    prompt.Answer(Answer::OK);
    qv->Toolbar_ButtonClick(1);
    ThreePages();
    GoToPage(1);  // every page stored
    GoToPage(c.page);
    std::vector<std::string> moved;
    if (c.page < 3)
      for (int sheet : {1, 3, 4, 5}) moved.push_back(Row(sheet, c.page + 1));
    eng.WorksheetModified = 0;
    prompt.Answer(Answer::OK);
    qv->Toolbar_ButtonClick(9);
    EXPECT_EQ(prompt.MessageTexts().back(), "Delete Page" + StrNum(c.page) + " From the Worksheet?");
    EXPECT_EQ(eng.PageCount, 2);
    EXPECT_EQ(eng.CurrentPage, c.current);
    EXPECT_DOUBLE_EQ(eng.page.BaseInv, c.baseInv);
    EXPECT_EQ(Entries(), c.names);
    for (int p = 1; p <= 2; ++p) EXPECT_EQ(OptionsOf(p), c.options[p - 1]) << "page " << p;
    EXPECT_TRUE(OptionsOf(3).empty());
    EXPECT_EQ(eng.WKS.SheetAt(2).MaxRow(), 4 - (c.page == 1 ? 2 : 1));
    // The rows after the deleted page moved up one row in every page sheet.
    if (c.page < 3) {
      const int sheets[4] = {1, 3, 4, 5};
      for (int k = 0; k < 4; ++k) EXPECT_EQ(Row(sheets[k], c.page), moved[k]) << "sheet " << sheets[k];
    }
    EXPECT_EQ(eng.WorksheetModified, -1);
    ExpectInStep();
  }
}

TEST_F(ToolbarTest, DeletingTheOnlyPageLeavesOneEmptyPage) {
  const std::string path = folder + "one.QVX";
  NamePage("Only", 15000);
  AddOption("Only roof", 400, 500);
  GiveItems(50);
  prompt.File(path);
  qv->mnuOpenSave_click(2);
  eng.WorksheetModified = 0;
  prompt.ClearAsked();
  prompt.Answer(Answer::OK);
  qv->Toolbar_ButtonClick(9);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Delete Page 1 From the Worksheet?"});
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_EQ(eng.page.CarName, "");
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 0);
  EXPECT_DOUBLE_EQ(eng.items.Registration.Cash, 0);
  EXPECT_EQ(eng.WKS.SheetAt(2).MaxRow(), 1);  // its options were the only ones
  EXPECT_TRUE(OptionsOf(1).empty());
  EXPECT_EQ(Entries(), std::vector<std::string>{""});
  EXPECT_EQ(eng.WorksheetFileName, path);
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + path);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_FALSE(prompt.Busy());
  ExpectInStep();
}

TEST_F(ToolbarTest, EraseLeavesOnePageAndOneEmptySelectorEntry) {
  ThreePages();
  for (int16_t modified : {int16_t(0), int16_t(-1)}) {
    SCOPED_TRACE(modified);
    eng.WorksheetModified = modified;
    prompt.Answer(Answer::OK);
    qv->Toolbar_ButtonClick(1);
    EXPECT_EQ(eng.PageCount, 1);
    EXPECT_EQ(eng.CurrentPage, 1);
    EXPECT_EQ(eng.page.CarName, "");
    EXPECT_EQ(eng.WorksheetFileName, "UNTITLED.QVX");
    EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:UNTITLED.QVX");
    EXPECT_EQ(Entries(), std::vector<std::string>{""});
    EXPECT_EQ(eng.WKS.SheetAt(2).MaxRow(), 1);
    EXPECT_TRUE(eng.WKS.SheetAt(2).IsEmpty(1, 1));
    EXPECT_EQ(eng.WorksheetModified, modified);  // erase leaves the flag alone
    ExpectInStep();
  }
  // The selector stays in step with the pages added after an erase.
  AddPage();
  NamePage("Second", 1000);
  AddPage();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"", "Second", ""}));
  ExpectInStep();
}

TEST_F(ToolbarTest, OpenSaveAndNotesButtons) {
  // Save of the untitled worksheet asks for a name; Cancel abandons it.
  prompt.File(std::nullopt);
  qv->Toolbar_ButtonClick(3);
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].kind, ui::PromptRecord::Kind::SaveFile);
  EXPECT_EQ(prompt.Asked()[0].file.title, "Save As");
  EXPECT_EQ(windows.Shared().SaveAbandoned, -1);
  windows.Shared().SaveAbandoned = 0;
  prompt.File(std::nullopt);
  qv->Toolbar_ButtonClick(2);
  EXPECT_EQ(prompt.Asked()[1].kind, ui::PromptRecord::Kind::OpenFile);
  EXPECT_EQ(prompt.Asked()[1].file.title, "Open");
  EXPECT_EQ(windows.Shared().SaveAbandoned, -1);

  eng.WorksheetModified = 0;
  qv->Toolbar_ButtonClick(5);
  ASSERT_TRUE(windows.Loaded<Notes>());
  EXPECT_TRUE(windows.Get<Notes>().isVisible());
  EXPECT_EQ(windows.Shared().NotesOpen, -1);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// A toolbar button takes no focus: its command first takes what is typed in the deal field
// being edited, also when that asks a question, and then runs (a click whose release went to
// the question must not lose the command, or Save saves nothing).
TEST_F(ToolbarTest, SaveTakesTheFieldBeingEditedFirst) {
  ASSERT_TRUE(ShowActive());
  const std::string path = folder + "edited.QVX";
  prompt.File(path);
  qv->mnuOpenSave_click(2);
  prompt.ClearAsked();

  qv->Text3[0]->setFocus();
  qv->Text3[0]->setText("31000");
  qv->Text3[9]->setFocus();  // the base invoice is left: stored
  qv->Text3[9]->setText("7.5");
  prompt.Answer(Answer::No).Answer(Answer::OK);
  qv->ToolbarButtons[3]->trigger();
  EXPECT_EQ(prompt.MessageTexts(), (std::vector<std::string>{"Is 7.5 an Interest Rate?", " 7.5 is an invalid Factor."}));
  EXPECT_EQ(eng.page.BaseInv, 31000);
  EXPECT_EQ(eng.WorksheetModified, 0);
  grid::Workbook saved;
  std::string error;
  ASSERT_TRUE(saved.Read(path, error)) << error;
  EXPECT_EQ(saved.SheetAt(1).NumberRC(1, 3), 31000);
  EXPECT_EQ(saved.SheetAt(1).NumberRC(1, 7), eng.page.Factor);  // the factor kept
}

}  // namespace
}  // namespace qv::test
