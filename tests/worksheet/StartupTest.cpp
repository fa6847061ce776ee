// Start-up and shut-down of the main window.
#include <QAction>
#include <QCheckBox>

#include "tests/worksheet/QVFixture.h"
#include "platform/profile/Profile.h"

namespace qv::test {
namespace {

using ui::Answer;
using ui::Buttons;

TEST_F(QVTest, NormalStartShowsAnUntitledWorksheetWithTheSettings) {
  Load();
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant: UNTITLED.VTS");
  EXPECT_EQ(eng.WorksheetFileName, "Untitled.vts");
  EXPECT_EQ(eng.ReleaseString, "5.0 Pro");
  EXPECT_EQ(eng.AppFolder, folder);
  EXPECT_EQ(Text(qv->lblDataDate), "Rel: 5.0 Pro   Data: " + FormatDateMDY(Today()));
  EXPECT_EQ(Text(qv->lblpagenum), "Page 1 of 1");
  EXPECT_EQ(qv->Combo2->count(), 1);
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), "");
  // The shipped settings: investment 5 %, loan 9 %, the "Home" tax setting at 6 %.
  EXPECT_DOUBLE_EQ(eng.page.InvestRate, 0.05);
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0.09);
  EXPECT_EQ(eng.page.DaysToFirstPayment, 30);
  EXPECT_EQ(eng.tax.TaxSetName, "Home");
  EXPECT_EQ(qv->Combo1->currentText().toStdString(), "Home");
  EXPECT_FLOAT_EQ(eng.tax.LeaseTaxRate, 6.0f);
  EXPECT_EQ(Text(qv->Text5[0]), "6.0");
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease.rtf");
  EXPECT_EQ(eng.SettingsIniPath, folder + "QVX.INI");
  EXPECT_FALSE(qv->cmdbut2[2]->isEnabled());
  EXPECT_EQ(eng.WorksheetModified, 0);
  EXPECT_FALSE(windows.Shared().PageListBusy);
  EXPECT_FALSE(prompt.Busy());
  EXPECT_FALSE(windows.Loaded<Update>());
  EXPECT_TRUE(prompt.Asked().empty());
}

// A settings or data-date file that is there but is no file to read (a folder, a device, far
// larger than such a file can be) is reported with the reason, once, and defaults apply.
TEST_F(QVTest, SettingsAndDataDateFilesThatAreNoFilesAreReportedWithTheReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"Quorvant.Cfg", "Error  75.  Path/File access error: Quorvant.Cfg: it is a folder, not a file"},
      {"UpDate.Dat", "Error  75.  Path/File access error: UpDate.Dat: it is a folder, not a file"},
  };
  for (const auto& [name, message] : cases) {
    SCOPED_TRACE(name);
    const std::string saved = ReadFile(folder + name);
    std::filesystem::remove(folder + name);
    std::filesystem::create_directory(folder + name);
    prompt.ClearAsked();
    prompt.Answer(Answer::OK);
    Load();
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease.rtf");
    std::filesystem::remove(folder + name);
    WriteFile(folder + name, saved);
  }
  // Far larger than a settings file: refused before it is read.
  WriteFile(folder + "Quorvant.Cfg", "");
  std::filesystem::resize_file(folder + "Quorvant.Cfg", (1u << 20) + 1);
  prompt.ClearAsked();
  prompt.Answer(Answer::OK);
  Load();
  EXPECT_EQ(prompt.MessageTexts(),
            std::vector<std::string>{"Error  75.  Path/File access error: Quorvant.Cfg: it is larger than 1 MB, the most "
                                     "that is read from such a file"});
}

TEST_F(QVTest, MissingSettingsFileIsReportedOnceAndDefaultsApply) {
  std::filesystem::remove(folder + "Quorvant.Cfg");
  prompt.Answer(Answer::OK);
  Load();
  ASSERT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Error  53.  File not found: Quorvant.Cfg"});
  EXPECT_EQ(prompt.Asked()[0].title, std::nullopt);
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease.rtf");
  EXPECT_EQ(eng.cfg.LoanTemplatePath, folder + "Loan.rtf");
  EXPECT_EQ(eng.cfg.CashTemplatePath, folder + "Cash.rtf");
  EXPECT_EQ(eng.cfg.LVBTemplatePath, folder + "LVB.rtf");
  EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0);
  // No setting was named: the first one of the list becomes current.
  EXPECT_EQ(eng.tax.TaxSetName, "Home");
  EXPECT_FLOAT_EQ(eng.tax.LeaseTaxRate, 6.0f);
}

TEST_F(QVTest, DamagedSettingsFileReportsEachFailureAndKeepsWhatWasRead) {
  // A text where the investment rate belongs, and the file ends after three records.
  WriteFile(folder + "Quorvant.Cfg", "\"abc\",0.07\r\n\"WordPad\",0\r\n\"Home\"\r\n");
  prompt.Answer(Answer::OK).Answer(Answer::OK);
  Load();
  EXPECT_EQ(prompt.MessageTexts(),
            (std::vector<std::string>{
                "Quorvant.Cfg, line 1: a value that is not a number, or is out of range, was replaced by its default.",
                "Error  62.  Input past end of file: Quorvant.Cfg"}));
  EXPECT_DOUBLE_EQ(eng.cfg.DefaultInvestRate, 0);
  EXPECT_DOUBLE_EQ(eng.cfg.DefaultLoanRate, 0.07);
  EXPECT_EQ(eng.cfg.ReportViewer, "WordPad");
  EXPECT_EQ(eng.tax.TaxSetName, "Home");
  EXPECT_EQ(eng.cfg.WordPath, "");
  EXPECT_EQ(eng.cfg.CashTemplatePath, folder + "Cash.rtf");
  EXPECT_EQ(eng.cfg.NoUpdateReminder, 0);
}

TEST_F(QVTest, UpdateNoticeFollowsTheDataDateAndTheReminderSetting) {
  struct Case {
    int daysOld;
    int16_t noReminder;
    bool shown;
  };
  for (const Case c : {Case{61, 0, true}, Case{60, 0, true}, Case{59, 0, false}, Case{400, -1, false}}) {
    SCOPED_TRACE(c.daysOld);
    windows.Unload<Update>();
    const Date d = Date::FromSerial(Today().Serial() - c.daysOld);
    WriteFile(folder + "UpDate.Dat", "\"" + FormatDateMDY(d) + "\",\"5.0\"\r\n");
    std::string cfg = ReadFile(folder + "Quorvant.Cfg");
    cfg.replace(cfg.rfind("\r\n", cfg.size() - 3) + 2, std::string::npos, c.noReminder ? "-1\r\n" : "0\r\n");
    WriteFile(folder + "Quorvant.Cfg", cfg);
    Load();
    EXPECT_EQ(windows.Loaded<Update>(), c.shown);
    EXPECT_EQ(Text(qv->lblDataDate), "Rel: 5.0 Pro   Data: " + FormatDateMDY(d));
  }
}

TEST_F(QVTest, MissingOrUnreadableDataDateIsReportedAndShowsNoNotice) {
  std::filesystem::remove(folder + "UpDate.Dat");
  prompt.Answer(Answer::OK);
  Load();
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Error  53.  File not found: UpDate.Dat"});
  EXPECT_EQ(Text(qv->lblDataDate), "Rel: 5.0 Pro   Data: ");
  EXPECT_FALSE(windows.Loaded<Update>());

  WriteFile(folder + "UpDate.Dat", "\"soon\",\"5.0\"\r\n");
  prompt.ClearAsked();
  prompt.Answer(Answer::OK);
  Load();
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Error  13.  Type mismatch: UpDate.Dat"});
  EXPECT_EQ(Text(qv->lblDataDate), "Rel: 5.0 Pro   Data: soon");
  EXPECT_FALSE(windows.Loaded<Update>());
}

TEST_F(QVTest, UpdateNoticeTickedSwitchesTheReminderOffInTheSettingsFile) {
  WriteFile(folder + "UpDate.Dat", "\"01/15/1999\",\"5.0\"\r\n");
  Load();
  ASSERT_TRUE(windows.Loaded<Update>());
  Update& u = windows.Get<Update>();
  EXPECT_EQ(u.windowTitle().toStdString(), "Update Available");
  u.Check1->setChecked(true);
  u.Command1_Click(1);
  QApplication::processEvents();
  EXPECT_EQ(eng.cfg.NoUpdateReminder, -1);
  const std::vector<std::string> lines = SplitLines(ReadFile(folder + "Quorvant.Cfg"));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[12], "-1");
}

TEST_F(QVTest, RecentFilesComeFromTheProfileFileNamedByTheFolderFile) {
  std::filesystem::create_directories(folder + "profile");
  WriteFile(folder + "Wini.pat", "\"" + folder + "profile\"\r\n");
  WriteFile(folder + "profile/QVX.INI", "[Last File List]\r\n0=/deals/a.QVX\r\n1=/deals/b & c.QVX\r\n2=\r\n3=\r\n");
  Load();
  EXPECT_EQ(eng.SettingsIniPath, folder + "profile/QVX.INI");
  EXPECT_EQ(eng.RecentFiles[0], "/deals/a.QVX");
  EXPECT_EQ(eng.RecentFiles[1], "/deals/b & c.QVX");
  EXPECT_TRUE(qv->mnuBar111->isVisible());
  EXPECT_TRUE(qv->mnuLastFile[1]->isVisible());
  EXPECT_EQ(qv->mnuLastFile[1]->data().toString().toStdString(), "/deals/b & c.QVX");
  EXPECT_FALSE(qv->mnuLastFile[2]->isVisible());
}

TEST_F(QVTest, TaxSettingListStopsAtAnEmptyLine) {
  const std::string header = SplitLines(ReadFile(folder + "Taxset.txt"))[0];
  WriteFile(folder + "Taxset.txt", header + "\r\nHome,6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6,0,0,1,6,1,36000,1,0,0\r\n"
                                            "Away,8,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,8,0,0,1,6,1,36000,1,0,0\r\n\r\n"
                                            "Hidden,5,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,5,0,0,1,6,1,36000,1,0,0\r\n");
  Load();
  ASSERT_EQ(qv->Combo1->count(), 2);
  EXPECT_EQ(qv->Combo1->itemText(1).toStdString(), "Away");
}

// A worksheet file of two pages written by an engine of its own.
std::string WriteTwoPageWorksheet(const std::string& path) {
  Engine other;
  other.page.CarName = "Van";
  other.page.BaseInv = 18000;
  other.page.Months = 36;
  other.SavePageFields();
  other.SavePageItems();
  other.CurrentPage = 2;
  other.PageCount = 2;
  other.page = PageRecord{};
  other.page.CarName = "Sedan";
  other.page.BaseInv = 25000;
  other.SavePageFields();
  other.SavePageItems();
  std::string error;
  EXPECT_TRUE(other.WKS.Write(path, error)) << error;
  return path;
}

TEST_F(QVTest, WorksheetOnTheCommandLineIsOpened) {
  const std::string path = WriteTwoPageWorksheet(folder + "deal two.QVX");
  qv->CommandLine = path;
  Load();
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant:" + path);
  EXPECT_EQ(eng.WorksheetFileName, path);
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.CurrentPage, 1);
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 18000);
  ASSERT_EQ(qv->Combo2->count(), 2);
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), "Van");
  EXPECT_EQ(qv->Combo2->itemText(1).toStdString(), "Sedan");
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), "Van");
  EXPECT_EQ(Text(qv->lblpagenum), "Page 1 of 2");
  EXPECT_EQ(Text(qv->Text3[0]), "$18,000.00");
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(QVTest, UnreadableCommandLineWorksheetIsReportedAndChangesNothing) {
  const std::string path = folder + "missing.QVX";
  qv->CommandLine = path;
  prompt.Answer(Answer::OK);
  Load();
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_NE(prompt.MessageTexts()[0].find(path), std::string::npos) << prompt.MessageTexts()[0];
  EXPECT_EQ(qv->windowTitle().toStdString(), "Quorvant: UNTITLED.VTS");
  EXPECT_EQ(eng.WorksheetFileName, "Untitled.vts");
  EXPECT_EQ(eng.PageCount, 1);
}

// ---- shut-down ----------------------------------------------------------------------

TEST_F(QVTest, ClosingAnUnmodifiedWorksheetAsksNothingAndWritesTheRecentFiles) {
  Load();
  eng.RecentFiles[0] = "/deals/a.QVX";
  int16_t cancel = 0;
  qv->Form_Unload(cancel);
  EXPECT_EQ(cancel, 0);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_EQ(ReadProfileString("Last File List", "0", "", 1000, folder + "QVX.INI"), "/deals/a.QVX");
}

TEST_F(QVTest, ARecentFilesListThatCannotBeSavedIsReportedAndTheProfileKept) {
  struct Case {
    const char* name;
    bool folderInPlace;  // a folder where the profile file should be: there, but unreadable
    bool failWrite;
    const char* why;
  } cases[] = {
      {"profile that cannot be read", true, false, "the file cannot be read, so it is left as it is"},
      {"write that fails", false, true, "the write was interrupted"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ini = folder + "QVX.INI";
    std::filesystem::remove_all(ini);
    if (c.folderInPlace) std::filesystem::create_directory(ini);
    else WriteFile(ini, "[Other]\r\nkey=kept\r\n[Last File List]\r\n0=/deals/old.QVX\r\n");
    const std::string before = ReadFile(ini);
    Load();
    eng.RecentFiles[0] = "/deals/a.QVX";
    files::SetWriteFaultForTesting([&](const std::string& p) { return c.failWrite && p == ini; });
    prompt.ClearAsked();
    prompt.Answer(Answer::OK);
    int16_t cancel = 0;
    qv->Form_Unload(cancel);
    files::SetWriteFaultForTesting(nullptr);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"The list of recent worksheets could not be saved.\r\n"
                                                              "Unable to write file " + ini + ": " + c.why});
    EXPECT_EQ(std::filesystem::is_directory(ini), c.folderInPlace);
    EXPECT_EQ(ReadFile(ini), before);
    ended = 0;
  }
}

TEST_F(QVTest, ExitQuestionAnswers) {
  struct Case {
    Answer answer;
    bool ends;
  };
  for (const Case c : {Case{Answer::Cancel, false}, Case{Answer::No, true}}) {
    SCOPED_TRACE(ui::ToString(c.answer));
    ended = 0;
    prompt.ClearAsked();
    Load();
    eng.WorksheetModified = -1;
    prompt.Answer(c.answer);
    int16_t cancel = 0;
    qv->Form_Unload(cancel);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    const ui::PromptRecord& q = prompt.Asked()[0];
    EXPECT_EQ(q.text, "Save Worksheet Before Exiting?");
    EXPECT_EQ(q.title, std::optional<std::string>("Exit"));
    EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ended, c.ends ? 1 : 0);
    EXPECT_EQ(cancel, c.ends ? 0 : -1);
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_EQ(std::filesystem::exists(folder + "QVX.INI"), c.ends);
  }
}

TEST_F(QVTest, ExitWithYesSavesAnUntitledWorksheetUnderTheChosenName) {
  Load();
  CommonPage();
  eng.WorksheetModified = -1;
  prompt.Answer(Answer::Yes).File(folder + "deal");
  int16_t cancel = 0;
  qv->Form_Unload(cancel);
  EXPECT_EQ(cancel, 0);
  EXPECT_EQ(ended, 1);
  ASSERT_TRUE(std::filesystem::exists(folder + "deal.QVX"));
  EXPECT_EQ(prompt.Asked()[1].kind, ui::PromptRecord::Kind::SaveFile);
  EXPECT_EQ(prompt.Asked()[1].file.title, "Save As");
  grid::Workbook back;
  std::string error;
  ASSERT_TRUE(back.Read(folder + "deal.QVX", error)) << error;
  back.SetSheet(1);
  EXPECT_EQ(back.TextRC(1, 2), "Sample Sedan");
  EXPECT_EQ(eng.RecentFiles[0], folder + "deal.QVX");
}

TEST_F(QVTest, ExitStaysOpenWhenTheSaveIsCancelledOrFails) {
  Load();
  eng.WorksheetModified = -1;
  // Cancel in the save dialog.
  prompt.Answer(Answer::Yes).File(std::nullopt);
  int16_t cancel = 0;
  qv->Form_Unload(cancel);
  EXPECT_EQ(cancel, -1);
  EXPECT_EQ(windows.Shared().SaveAbandoned, -1);
  EXPECT_EQ(ended, 0);

  // A save that cannot be written: reported, and the program stays with its worksheet.
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  prompt.ClearAsked();
  prompt.Answer(Answer::Yes).File(folder + "deal.QVX").Answer(Answer::OK);
  cancel = 0;
  qv->Form_Unload(cancel);
  EXPECT_EQ(cancel, -1);
  EXPECT_EQ(windows.Shared().SaveAbandoned, 0);
  EXPECT_EQ(ended, 0);
  EXPECT_EQ(eng.WorksheetModified, -1);
  ASSERT_EQ(prompt.MessageTexts().size(), 2u);
  EXPECT_NE(prompt.MessageTexts()[1].find("deal.QVX"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder + "deal.QVX"));
}

TEST_F(QVTest, EndOfProgramRunsTheUnloadDutiesOfTheOtherWindows) {
  WriteFile(folder + "UpDate.Dat", "\"01/15/1999\",\"5.0\"\r\n");
  Load();
  ASSERT_TRUE(windows.Loaded<Update>());
  windows.Get<Update>().Check1->setChecked(true);
  realEndProgram();
  EXPECT_FALSE(windows.Loaded<Update>());
  EXPECT_EQ(SplitLines(ReadFile(folder + "Quorvant.Cfg"))[12], "-1");
}

TEST_F(QVTest, ClosingTheWindowCommitsTheFieldBeingEditedAndAsks) {
  Load();
  CommonPage();
  ASSERT_TRUE(ShowActive());
  qv->Text3[4]->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(qv->focusWidget(), qv->Text3[4]);
  qv->Text3[4]->setText("1500");
  prompt.Answer(Answer::Cancel);
  EXPECT_FALSE(qv->close());
  EXPECT_DOUBLE_EQ(eng.page.Margin, 1500);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Save Worksheet Before Exiting?"});
  EXPECT_TRUE(qv->isVisible());
}

}  // namespace
}  // namespace qv::test
