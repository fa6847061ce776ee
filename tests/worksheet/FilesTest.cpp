// Worksheet files (Open, Save, Save As, New Worksheet) and the recent-files list.
#include <QAction>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "platform/grid/GridWidget.h"

#include "tests/worksheet/PagesFixture.h"
#include "platform/profile/Profile.h"

namespace qv::test {
namespace {

using ui::Answer;
using ui::Buttons;
using Kind = ui::PromptRecord::Kind;

constexpr const char* kUnableToOpen = "Unable to open file. This file may have been deleted or moved to a new path.";

class FilesTest : public WorksheetPagesTest {
 protected:
  // Two stored pages, page 1 current, saved as `name` in the test folder.
  std::string SavedTwoPages(const std::string& name) {
    NamePage("Van", 18000);
    AddOption("Van racks", 300, 350);
    GiveItems(100);
    AddPage();
    NamePage("Sedan", 25000);
    GiveItems(200);
    GoToPage(1);
    const std::string path = folder + name;
    prompt.File(path);
    qv->mnuOpenSave_click(2);
    prompt.ClearAsked();
    return path;
  }

  void Recent(const std::array<std::string, 4>& entries) {
    for (int k = 0; k < 4; ++k) eng.RecentFiles[k] = entries[k];
    qv->ShowRecentFiles();
  }
  std::vector<std::string> RecentList() const { return {eng.RecentFiles.begin(), eng.RecentFiles.begin() + 4}; }
};

TEST_F(FilesTest, SaveThenOpenGivesBackEveryPage) {
  NamePage("Van", 18000);
  AddOption("Van racks", 300, 350);
  AddOption("Van tow hitch", 250, 300);
  GiveItems(100);
  eng.page.Memo = "first notes";
  eng.page.LType = 3;
  eng.page.FordAPR = 0.059;
  AddPage();
  NamePage("Sedan", 25000);
  AddOption("Sedan roof", 800, 950);
  GiveItems(200);
  GoToPage(1);
  const PageRecord page1 = eng.page;
  const PageItems items1 = eng.items;
  GoToPage(2);
  const PageRecord page2 = eng.page;
  const PageItems items2 = eng.items;
  GoToPage(1);
  const grid::Workbook stored = eng.WKS;

  prompt.File(folder + "deal");
  qv->mnuOpenSave_click(2);
  const std::string path = folder + "deal.QVX";
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + path);
  EXPECT_EQ(eng.WorksheetModified, 0);

  // A new worksheet, then the file again.
  prompt.Answer(Answer::OK);
  qv->mnuOpenSave_click(3);
  ASSERT_EQ(eng.PageCount, 1);
  prompt.File(path);
  qv->mnuOpenSave_click(0);
  const ui::PromptRecord& open = prompt.Asked().back();
  EXPECT_EQ(open.kind, Kind::OpenFile);
  EXPECT_EQ(open.file.title, "Open");
  EXPECT_EQ(open.file.filter, "Quorvant Pro|*.QVX|Quorvant 2.X|*.QDB");
  EXPECT_TRUE(open.file.mustExist);

  EXPECT_TRUE(eng.WKS.SameContent(stored));
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_EQ(eng.page, page1);
  EXPECT_EQ(eng.items, items1);
  EXPECT_EQ(eng.OptionList.TextRC(2, 1), "Van tow hitch");
  // The option grid on screen follows at once, not only at its next paint.
  EXPECT_EQ(qv->OptionList->rowCount(), 2);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"Van", "Sedan"}));
  EXPECT_EQ(Text(qv->lblpagenum), "Page 1 of 2");
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + path);
  EXPECT_EQ(eng.WorksheetFileName, path);
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_EQ(eng.RecentFiles[0], path);
  // Page 1 uses the Ford APR method: the Method menu follows it.
  EXPECT_TRUE(qv->mnuType[3]->isChecked());
  EXPECT_FALSE(qv->mnuType[0]->isChecked());
  GoToPage(2);
  EXPECT_EQ(eng.page, page2);
  EXPECT_EQ(eng.items, items2);
  ExpectInStep();

  // A file of the older release goes through the same reader.
  std::filesystem::copy_file(path, folder + "old.QDB");
  prompt.File(folder + "old.QDB");
  qv->mnuOpenSave_click(0);
  EXPECT_EQ(eng.WorksheetFileName, folder + "old.QDB");
  EXPECT_EQ(eng.page, page1);
}

TEST_F(FilesTest, FilesThatCannotBeReadAreRefusedAndChangeNothing) {
  const std::string good = SavedTwoPages("good.QVX");
  WriteFile(folder + "damaged.QVX", ReadFile(good).substr(0, 200));
  grid::Workbook foreign;
  std::string error;
  ASSERT_TRUE(foreign.Write(folder + "foreign.QVX", error)) << error;
  // More pages than the page count holds.
  grid::Workbook many;
  ASSERT_TRUE(many.Read(good, error)) << error;
  for (int r = 1; r <= 70000; ++r) many.SheetAt(1).SetTextRC(r, 2, "Page " + std::to_string(r));
  ASSERT_TRUE(many.Write(folder + "many.QVX", error)) << error;
  // What is no worksheet file, or far larger than one, is refused before it is read.
  std::filesystem::create_directory(folder + "folder.QVX");
  std::filesystem::create_symlink("/dev/zero", folder + "zero.QVX");
  ASSERT_EQ(::mkfifo((folder + "pipe.QVX").c_str(), 0600), 0);
  WriteFile(folder + "huge.QVX", "{");
  ASSERT_EQ(::truncate((folder + "huge.QVX").c_str(), (256 << 20) + 1), 0);

  struct Case {
    std::string file;
    std::string message;  // the message, or "" for one that names the file
    std::string mentions = "";
  };
  const Case cases[] = {
      {"missing.QVX", kUnableToOpen},
      {"damaged.QVX", ""},
      {"foreign.QVX", ""},
      {"many.QVX", "", "it holds more than the 32767 pages a worksheet can hold"},
      {"folder.QVX", "", "it is a folder, not a file"},
      {"zero.QVX", "", "it is not a regular file (a device or a pipe)"},
      {"pipe.QVX", "", "it is not a regular file (a device or a pipe)"},
      {"huge.QVX", "", "it is larger than 256 MB, the most that is read from such a file"},
  };
  for (bool fromRecent : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.file + (fromRecent ? " (recent)" : " (open)"));
      const std::string path = folder + c.file;
      eng.page.Margin = 777;  // on screen, not stored
      eng.WorksheetModified = 0;
      const grid::Workbook before = eng.WKS;
      const std::string caption = qv->windowTitle().toStdString();
      Recent({good, path, "", ""});
      prompt.ClearAsked();
      if (fromRecent) {
        prompt.Answer(Answer::OK);
        qv->mnuLastFile_Click(1);
      } else {
        prompt.File(path).Answer(Answer::OK);
        qv->mnuOpenSave_click(0);
      }
      const std::vector<std::string> texts = prompt.MessageTexts();
      ASSERT_EQ(texts.size(), 1u);
      if (c.message.empty()) EXPECT_NE(texts[0].find(path), std::string::npos) << texts[0];
      else EXPECT_EQ(texts[0], c.message);
      EXPECT_NE(texts[0].find(c.mentions), std::string::npos) << texts[0];
      EXPECT_TRUE(eng.WKS.SameContent(before));
      EXPECT_DOUBLE_EQ(eng.page.Margin, 777);
      EXPECT_EQ(eng.WorksheetFileName, good);
      EXPECT_EQ(qv->windowTitle().toStdString(), caption);
      EXPECT_EQ(eng.PageCount, 2);
      EXPECT_EQ(Entries(), (std::vector<std::string>{"Van", "Sedan"}));
      EXPECT_EQ(RecentList(), (std::vector<std::string>{good, path, "", ""}));
      EXPECT_FALSE(prompt.Busy());
    }
  }
  // The next Save writes the worksheet that stayed, to its own file, without a dialog.
  prompt.ClearAsked();
  qv->mnuOpenSave_click(1);
  EXPECT_TRUE(prompt.Asked().empty());
  grid::Workbook back;
  ASSERT_TRUE(back.Read(good, error)) << error;
  back.SetSheet(1);
  EXPECT_DOUBLE_EQ(back.NumberRC(1, 6), 777);
  EXPECT_FALSE(std::filesystem::exists(folder + "missing.QVX"));
}

TEST_F(FilesTest, FailingSavesKeepThePreviousFile) {
  const std::string path = SavedTwoPages("deal.QVX");
  const std::string other = folder + "other.QVX";
  WriteFile(other, "previous content");
  const std::string saved = ReadFile(path);
  eng.page.Margin = 1234;
  eng.WorksheetModified = -1;
  files::SetWriteFaultForTesting([](const std::string&) { return true; });

  prompt.Answer(Answer::OK);
  qv->mnuOpenSave_click(1);
  prompt.File(other).Answer(Answer::OK);
  qv->mnuOpenSave_click(2);
  const std::vector<std::string> texts = prompt.MessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find(path), std::string::npos) << texts[0];
  EXPECT_NE(texts[1].find(other), std::string::npos) << texts[1];
  EXPECT_EQ(ReadFile(path), saved);
  EXPECT_EQ(ReadFile(other), "previous content");
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_EQ(eng.WorksheetFileName, path);
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + path);
  EXPECT_EQ(eng.RecentFiles[0], path);
  EXPECT_FALSE(prompt.Busy());

  files::SetWriteFaultForTesting(nullptr);
  qv->mnuOpenSave_click(1);
  EXPECT_NE(ReadFile(path), saved);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(FilesTest, SavingOverAReadOnlyWorksheetIsRefusedWithItsName) {
  const std::string path = SavedTwoPages("deal.QVX");
  const std::string saved = ReadFile(path);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  eng.page.Margin = 1234;
  eng.WorksheetModified = -1;
  prompt.Answer(Answer::OK);
  qv->mnuOpenSave_click(1);
  EXPECT_EQ(prompt.MessageTexts(),
            std::vector<std::string>{"Unable to write file " + path + ": the file is read-only"});
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(ReadFile(path), saved);
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1234);
}

TEST_F(FilesTest, SavingALinkedWorksheetReplacesTheFileTheLinkLeadsTo) {
  const std::string real = SavedTwoPages("deal.QVX");
  const std::string link = folder + "linked.QVX";
  std::filesystem::create_symlink(real, link);
  prompt.File(link);
  qv->mnuOpenSave_click(0);
  ASSERT_EQ(eng.WorksheetFileName, link);
  eng.page.Margin = 4321;
  qv->mnuOpenSave_click(1);
  EXPECT_TRUE(prompt.MessageTexts().empty());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  grid::Workbook back;
  std::string error;
  ASSERT_TRUE(back.Read(real, error)) << error;
  back.SetSheet(1);
  EXPECT_DOUBLE_EQ(back.NumberRC(1, 6), 4321);
}

TEST_F(FilesTest, SaveAsAddsTheExtensionOnlyToAFileNameWithoutADot) {
  std::filesystem::create_directories(folder + "d.x");
  struct Case {
    std::string chosen, written;
  };
  const Case cases[] = {
      {"deal", "deal.QVX"},
      {"deal.old", "deal.old"},
      {"d.x/deal", "d.x/deal.QVX"},
      {"d.x/deal.v2", "d.x/deal.v2"},
  };
  NamePage("Van", 18000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    eng.WorksheetModified = -1;
    prompt.File(folder + c.chosen);
    qv->mnuOpenSave_click(2);
    const ui::PromptRecord& dialog = prompt.Asked().back();
    EXPECT_EQ(dialog.file.title, "Save As");
    EXPECT_EQ(dialog.file.filter, "Quorvant (*.QVX)|*.QVX");
    EXPECT_TRUE(dialog.file.confirmOverwrite);
    EXPECT_TRUE(std::filesystem::exists(folder + c.written));
    EXPECT_EQ(eng.WorksheetFileName, folder + c.written);
    EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + folder + c.written);
    EXPECT_EQ(eng.RecentFiles[0], folder + c.written);
    EXPECT_EQ(eng.WorksheetModified, 0);
  }
  // Cancel in the dialog: nothing changes but SaveAbandoned.
  eng.WorksheetModified = -1;
  prompt.File(std::nullopt);
  qv->mnuOpenSave_click(2);
  EXPECT_EQ(windows.Shared().SaveAbandoned, -1);
  EXPECT_EQ(eng.WorksheetFileName, folder + "d.x/deal.v2");
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(FilesTest, SaveAsksForANameWhileTheWorksheetIsUntitled) {
  std::filesystem::create_directories(folder + "UNTITLED");
  std::filesystem::create_directories(folder + "untitled");
  NamePage("Van", 18000);
  struct Case {
    std::string file;
    bool asksName;
  };
  for (const Case& c : {Case{"UNTITLED/A.QVX", true}, Case{"untitled/a.qvx", false}}) {
    SCOPED_TRACE(c.file);
    std::string error;
    eng.StorePage();
    ASSERT_TRUE(eng.WKS.Write(folder + c.file, error)) << error;
    prompt.File(folder + c.file);
    qv->mnuOpenSave_click(0);
    prompt.ClearAsked();
    if (c.asksName) prompt.File(std::nullopt);
    qv->mnuOpenSave_click(1);
    EXPECT_EQ(prompt.Asked().size(), c.asksName ? 1u : 0u);
  }

  // Deleting the only page of the start-up worksheet rewrites the caption without
  // capitals; Save still asks for a name instead of writing "Untitled.vts".
  windows.Shared().SaveAbandoned = 0;
  eng.ResetWorkbook();
  eng.WorksheetFileName.clear();
  Load();
  prompt.Answer(Answer::OK);
  qv->Toolbar_ButtonClick(9);
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:Untitled.vts");
  prompt.ClearAsked();
  prompt.File(std::nullopt);
  qv->mnuOpenSave_click(1);
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].kind, Kind::SaveFile);
  EXPECT_EQ(windows.Shared().SaveAbandoned, -1);
}

TEST_F(FilesTest, NewWorksheetLeavesOneEmptyPage) {
  const std::string path = SavedTwoPages("deal.QVX");
  eng.WorksheetModified = -1;
  prompt.Answer(Answer::Cancel);
  qv->mnuOpenSave_click(3);
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.WorksheetModified, -1);

  prompt.ClearAsked();
  prompt.Answer(Answer::No).Answer(Answer::OK);
  qv->mnuOpenSave_click(3);
  ASSERT_EQ(prompt.Asked().size(), 2u);
  EXPECT_EQ(prompt.Asked()[0].text, "Save " + path + " Before Loading New File?");
  EXPECT_EQ(prompt.Asked()[1].text, "All Worksheet pages will be erased. Continue?");
  EXPECT_EQ(prompt.Asked()[1].buttons, Buttons::OKCancel);
  EXPECT_EQ(prompt.Asked()[1].icon, ui::Icon::Exclamation);
  EXPECT_EQ(prompt.Asked()[1].title, std::optional<std::string>(""));
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_EQ(eng.page.CarName, "");
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:UNTITLED.QVX");
  EXPECT_EQ(Entries(), std::vector<std::string>{""});
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_EQ(eng.RecentFiles[0], path);  // the list is not touched
  ExpectInStep();
  // Pages added to the new worksheet keep the selector in step.
  AddPage();
  ExpectInStep();
  EXPECT_EQ(Entries().size(), 2u);
}

// With unsaved changes New Worksheet asks to save first, with Open's question: Cancel stops
// and Yes writes the pages before they are erased. Page 1 of the new worksheet quotes the
// settings' rates (9 % loan, 5 % investment in the shipped settings), as at start-up.
TEST_F(FilesTest, NewWorksheetOffersToSaveAndQuotesTheDefaultRates) {
  const std::string path = SavedTwoPages("deal.QVX");
  NamePage("Unsaved", 9000);
  eng.page.LoanRate = 0.12;
  eng.page.InvestRate = 0.02;
  eng.WorksheetModified = -1;
  const std::string onDisk = ReadFile(path);

  prompt.ClearAsked();
  prompt.Answer(Answer::Cancel);
  qv->mnuOpenSave_click(3);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Save " + path + " Before Loading New File?"});
  EXPECT_EQ(prompt.Asked()[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(eng.page.CarName, "Unsaved");
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(ReadFile(path), onDisk);

  // Yes saves, then the erase question; its Cancel keeps the saved pages on screen.
  prompt.ClearAsked();
  prompt.Answer(Answer::Yes).Answer(Answer::Cancel);
  qv->mnuOpenSave_click(3);
  EXPECT_EQ(prompt.MessageTexts(), (std::vector<std::string>{"Save " + path + " Before Loading New File?",
                                                             "All Worksheet pages will be erased. Continue?"}));
  EXPECT_NE(ReadFile(path), onDisk) << "the changes were written";
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_EQ(eng.PageCount, 2);

  // Saved now: only the erase question.
  prompt.ClearAsked();
  prompt.Answer(Answer::OK);
  qv->mnuOpenSave_click(3);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"All Worksheet pages will be erased. Continue?"});
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_DOUBLE_EQ(eng.cfg.DefaultLoanRate, 0.09);
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0.09);
  EXPECT_DOUBLE_EQ(eng.page.InvestRate, 0.05);
  EXPECT_DOUBLE_EQ(eng.page.FordAdminFactor, eng.cfg.DefaultAdminFactor);

  // The loan is quoted at 9 %: the payment is the 9 % annuity of the amount financed, not
  // the amount over the months of a loan at 0 %.
  eng.page.BaseInv = 10000;
  eng.page.LoanMonths = 36;
  eng.RecalcPage();
  const double P = eng.res.LoanPrinciple, i = 0.09 / 12, g = std::pow(1 + i, 36);
  ASSERT_GT(P, 10000);
  EXPECT_NEAR(eng.res.PurPmnt, P * i * g / (g - 1), 0.005);
  EXPECT_GT(eng.res.PurPmnt, P / 36 + 40);
}

TEST_F(FilesTest, OpenOffersToSaveUnsavedPagesFirst) {
  const std::string path = SavedTwoPages("deal.QVX");
  prompt.Answer(Answer::OK);
  qv->mnuOpenSave_click(3);
  NamePage("Unsaved", 9000);
  eng.WorksheetModified = -1;
  prompt.ClearAsked();
  prompt.File(path).Answer(Answer::Cancel);
  qv->mnuOpenSave_click(0);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Save UNTITLED.QVX Before Loading New File?"});
  EXPECT_EQ(eng.page.CarName, "Unsaved");
  prompt.File(path).Answer(Answer::No);
  qv->mnuOpenSave_click(0);
  EXPECT_EQ(eng.page.CarName, "Van");
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(FilesTest, RecentFileReopenAsksToSaveAndAnUntitledWorksheetGetsAName) {
  const std::string path = SavedTwoPages("deal.QVX");
  struct Case {
    const char* name;
    Answer answer;
    std::optional<std::string> saveAs;  // the Save As answer after Yes
    bool failWrite;
    bool opens;
  };
  const Case cases[] = {
      {"cancel", Answer::Cancel, std::nullopt, false, false},
      {"yes, save as cancelled", Answer::Yes, std::nullopt, false, false},
      {"yes, save fails", Answer::Yes, std::string("mine"), true, false},
      {"yes, saved", Answer::Yes, std::string("mine"), false, true},
      {"no", Answer::No, std::nullopt, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // An untitled worksheet.
    eng.ResetWorkbook();
    eng.WorksheetFileName.clear();
    Load();
    NamePage("Typed", 5000);
    eng.WorksheetModified = -1;
    std::filesystem::remove(folder + "mine.QVX");
    Recent({path, "", "", ""});
    prompt.ClearAsked();
    files::SetWriteFaultForTesting([&](const std::string&) { return c.failWrite; });
    prompt.Answer(c.answer);
    if (c.answer == Answer::Yes) prompt.File(c.saveAs ? std::optional<std::string>(folder + *c.saveAs) : std::nullopt);
    if (c.failWrite) prompt.Answer(Answer::OK);
    qv->mnuLastFile_Click(0);
    const ui::PromptRecord& q = prompt.Asked()[0];
    EXPECT_EQ(q.text, "Save Untitled.vts Before Loading New File?");
    EXPECT_EQ(q.title, std::optional<std::string>("Exit"));
    EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
    if (c.answer == Answer::Yes) {
      EXPECT_EQ(prompt.Asked()[1].file.title, "Save As");
    }
    EXPECT_EQ(std::filesystem::exists(folder + "mine.QVX"), c.saveAs && !c.failWrite);
    EXPECT_FALSE(std::filesystem::exists(folder + "Untitled.vts"));
    EXPECT_EQ(eng.page.CarName, c.opens ? "Van" : "Typed");
    EXPECT_EQ(eng.WorksheetFileName, c.opens ? path : (c.saveAs && !c.failWrite ? folder + "mine.QVX" : "Untitled.vts"));
    EXPECT_EQ(eng.WorksheetModified, c.opens ? 0 : -1);
    EXPECT_EQ(eng.RecentFiles[0], path);
    EXPECT_TRUE(prompt.Exhausted());
    files::SetWriteFaultForTesting(nullptr);
  }
}

TEST_F(FilesTest, RecentFilesOrder) {
  // Opening files: the same path twice changes nothing; an older entry moves to the top.
  const std::string first = SavedTwoPages("first.QVX");
  std::filesystem::copy_file(first, folder + "second.QVX");
  std::filesystem::copy_file(first, folder + "third.QVX");
  EXPECT_EQ(RecentList(), (std::vector<std::string>{first, "", "", ""}));
  for (const char* f : {"third.QVX", "second.QVX", "first.QVX", "first.QVX"}) {
    prompt.File(folder + f);
    qv->mnuOpenSave_click(0);
  }
  EXPECT_EQ(RecentList(), (std::vector<std::string>{first, folder + "second.QVX", folder + "third.QVX", ""}));
  EXPECT_TRUE(qv->mnuBar111->isVisible());
  EXPECT_TRUE(qv->mnuLastFile[2]->isVisible());
  EXPECT_FALSE(qv->mnuLastFile[3]->isVisible());
  qv->mnuLastFile_Click(2);
  EXPECT_EQ(eng.WorksheetFileName, folder + "third.QVX");
  EXPECT_EQ(RecentList(), (std::vector<std::string>{folder + "third.QVX", first, folder + "second.QVX", ""}));

  const std::array<std::string, 4> start = {"/w/a.QVX", "/w/b.QVX", "/w/c.QVX", "/w/d.QVX"};
  struct Case {
    std::string added;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"", {"/w/a.QVX", "/w/b.QVX", "/w/c.QVX", "/w/d.QVX"}},
      {"/w/UNTITLED.QVX", {"/w/a.QVX", "/w/b.QVX", "/w/c.QVX", "/w/d.QVX"}},
      {"/w/a.QVX", {"/w/a.QVX", "/w/b.QVX", "/w/c.QVX", "/w/d.QVX"}},
      {"/w/b.QVX", {"/w/b.QVX", "/w/a.QVX", "/w/c.QVX", "/w/d.QVX"}},
      {"/w/c.QVX", {"/w/c.QVX", "/w/a.QVX", "/w/b.QVX", "/w/d.QVX"}},
      {"/w/d.QVX", {"/w/d.QVX", "/w/a.QVX", "/w/b.QVX", "/w/c.QVX"}},
      {"/w/e.QVX", {"/w/e.QVX", "/w/a.QVX", "/w/b.QVX", "/w/c.QVX"}},  // the oldest is dropped
      {"/w/untitled.QVX", {"/w/untitled.QVX", "/w/a.QVX", "/w/b.QVX", "/w/c.QVX"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.added);
    Recent(start);
    qv->AddRecentFile(c.added);
    EXPECT_EQ(RecentList(), c.expected);
    for (int k = 0; k < 4; ++k) {
      EXPECT_TRUE(qv->mnuLastFile[k]->isVisible());
      EXPECT_EQ(qv->mnuLastFile[k]->data().toString().toStdString(), c.expected[k]);
    }
  }
}

TEST_F(FilesTest, RecentFilePathsOfAnyLengthAreKeptWhole) {
  const std::string longPath = "/deals/" + std::string(40000, 'x') + "/deal.QVX";
  const std::string blanks = "  /deals/with blanks & ampersand.QVX  ";
  const std::string quoted = "\"/deals/quoted\".QVX";
  Recent({longPath, blanks, quoted, "/deals/plain.QVX"});
  qv->UpdateQVXINI();
  Recent({"", "", "", ""});
  Load();
  EXPECT_EQ(eng.RecentFiles[0], longPath);
  EXPECT_EQ(eng.RecentFiles[1], blanks);
  EXPECT_EQ(eng.RecentFiles[2], quoted);
  EXPECT_EQ(eng.RecentFiles[3], "/deals/plain.QVX");
  EXPECT_EQ(qv->mnuLastFile[0]->data().toString().toStdString(), longPath);
  EXPECT_EQ(qv->mnuLastFile[1]->text().toStdString(), "  /deals/with blanks && ampersand.QVX  ");
  // The profile file is replaced whole: no temporary file is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(FilesTest, APathWithALineBreakIsNotListedAmongTheRecentFiles) {
  const std::string path = SavedTwoPages("good.QVX");
  const std::string odd = folder + "two\n[Injected]\r\nkey=lines.QVX";
  std::filesystem::copy_file(path, odd);
  prompt.File(odd);
  qv->mnuOpenSave_click(0);
  EXPECT_EQ(eng.WorksheetFileName, odd);  // it opens
  EXPECT_EQ(RecentList(), (std::vector<std::string>{path, "", "", ""}));
  qv->UpdateQVXINI();
  EXPECT_TRUE(prompt.MessageTexts().empty());
  EXPECT_EQ(ReadFile(eng.SettingsIniPath), "[Last File List]\r\n0=" + path + "\r\n1=\r\n2=\r\n3=\r\n");
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// The whole road: pages built in the window, saved, the program closed and started again,
// the worksheet reopened from the recent-files list, edited and saved again.
TEST_F(FilesTest, WorksheetSurvivesClosingAndReopeningFromTheRecentFiles) {
  const std::string path = SavedTwoPages("road.QVX");
  AddPage();
  NamePage("Coupe", 31000);
  prompt.ClearAsked();
  prompt.Answer(Answer::Yes);
  int16_t cancel = 0;
  eng.WorksheetModified = -1;
  qv->Form_Unload(cancel);
  ASSERT_EQ(ended, 1);
  EXPECT_EQ(ReadProfileString("Last File List", "0", "", folder + "QVX.INI"), path);

  Engine again;
  WindowSet againWindows(again);
  QV second(again, againWindows);
  second.EndProgram = [] {};
  second.ProgramFolder = qv->ProgramFolder;
  second.Form_Load();
  ASSERT_TRUE(second.mnuLastFile[0]->isVisible());
  second.mnuLastFile_Click(0);
  EXPECT_EQ(again.PageCount, 3);
  EXPECT_EQ(again.page.CarName, "Van");
  EXPECT_EQ(second.Combo2->itemText(2).toStdString(), "Coupe");
  EXPECT_EQ(second.windowTitle().toStdString(), "Quorvant:" + path);
  // Edited on: a new margin, a page copied, saved in place.
  second.Text3_GotFocus(4);
  second.Text3[4]->setText("1750");
  second.Text3_LostFocus(4);
  EXPECT_EQ(again.WorksheetModified, -1);
  prompt.Answer(Answer::OK);
  second.Toolbar_ButtonClick(8);
  second.mnuOpenSave_click(1);
  EXPECT_EQ(again.WorksheetModified, 0);
  grid::Workbook back;
  std::string error;
  ASSERT_TRUE(back.Read(path, error)) << error;
  back.SetSheet(1);
  EXPECT_EQ(back.MaxRow(), 4);
  EXPECT_DOUBLE_EQ(back.NumberRC(1, 6), 1750);
  EXPECT_EQ(back.TextRC(4, 2), "*Copy* Van");
  EXPECT_DOUBLE_EQ(back.NumberRC(4, 6), 1750);
  EXPECT_TRUE(prompt.Exhausted());
}

}  // namespace
}  // namespace qv::test
