// Report generation: which file is read and which is written, the size limit, the missing
// template and folder, the comparison report without its window, the custom-report menu.
#include <QAction>
#include <QMenu>

#include "reports/ReportGen.h"
#include "tests/reportwin/ReportFixture.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

TEST(SplitFilePath, FolderNameAndExtension) {
  struct Case {
    std::string path, folderBefore, folder, name, ext;
  } cases[] = {
      {"/deals/forms/Lease.RTF", "", "/deals/forms/", "Lease", "RTF"},
      {"/deals/my.old.rtf", "", "/deals/", "my", "old.rtf"},
      {"Spring.doc", "/kept/", "/kept/", "Spring", "doc"},  // no folder: the old one stays
      {"/deals/Spring", "", "/deals/", "Spring", ".QVX"},    // no dot: ".QVX", with its dot
      {"C:\\QV\\Lease.rtf", "", "C:\\QV\\", "Lease", "rtf"},  // settings written on Windows
      {"/deals/", "", "/deals/", "", ".QVX"},
  };
  for (const Case& c : cases) {
    std::string folder = c.folderBefore, name, ext;
    reports::SplitFilePath(c.path, folder, name, ext);
    EXPECT_EQ(folder, c.folder) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_EQ(ext, c.ext) << c.path;
  }
}

TEST(CustomReportCaptions, SkipsTheConfiguredAndStandardTemplates) {
  ProgramSettings cfg;
  cfg.LeaseTemplatePath = "/qv/Lease.rtf";
  cfg.LoanTemplatePath = "/elsewhere/Loan.rtf";  // outside the folder: hides nothing
  EXPECT_EQ(reports::CustomReportCaptions("/qv/", {"Lease.rtf", "MYRPT.RTF", "tables.rtf"}, cfg),
            std::vector<std::string>{"Myrpt"});
  EXPECT_EQ(reports::CustomReportCaptions(
                "/qv/", {"compare.rtf", "Loan.rtf", "my.old.rtf", "RovOzevi.rtf", "STDEQUIP.rtf", "x.y.rtf"}, cfg),
            (std::vector<std::string>{"Loan", "My", "Rovozevi", "X"}));
}

using ReportGenerate = ReportTest;

TEST_F(ReportGenerate, TheMenuListsTheUserTemplatesAndAnEntryMergesItsTemplate) {
  // The shipped templates that are not configured or standard are listed like any other.
  EXPECT_EQ(CustomMenu(), (std::vector<std::string>{"Cashreqd", "Pmtcalc", "Rovozevi"}));
  fs::copy_file(folder + "Lease.rtf", folder + "MYRPT.RTF");
  fs::copy_file(folder + "Cash.rtf", folder + "my.old.rtf");
  qv->BuildCustomReportMenu();
  ASSERT_EQ(CustomMenu(), (std::vector<std::string>{"Cashreqd", "My", "Myrpt", "Pmtcalc", "Rovozevi"}));
  for (size_t i = 1; i < qv->mnuCustomRpt.size(); ++i) EXPECT_TRUE(qv->mnuCustomRpt[i]->isEnabled());

  // "Myrpt": the template is found without regard to case, the report written beside it.
  qv->mnuCustomRpt[3]->trigger();
  EXPECT_EQ(windows.Shared().CustomTemplatePath, folder + "Myrpt.rtf");
  EXPECT_EQ(qv->LastReportPath, folder + "Myrpt.QVR");
  EXPECT_NE(ReadFile(folder + "Myrpt.QVR").find("368.50"), std::string::npos);
  // "My" of "my.old.rtf": the file read is my.rtf, which is not there.
  prompt.Answer(ui::Answer::OK);
  qv->mnuCustomRpt[2]->trigger();
  EXPECT_EQ(prompt.MessageTexts().back(), "Can't open file: " + folder + "My.rtf");
  EXPECT_TRUE(qv->LastReportPath.empty());
}

TEST_F(ReportGenerate, TheFileReadEndsInRtfAndTheReportInQvr) {
  fs::create_directories(folder + "forms");
  fs::copy_file(folder + "Lease.rtf", folder + "forms/Lease.rtf");
  eng.cfg.LeaseTemplatePath = folder + "forms/Lease.RTF";
  qv->mnuReports_Click(0);
  EXPECT_EQ(qv->LastReportPath, folder + "forms/Lease.QVR");
  const std::string report = ReadFile(folder + "forms/Lease.QVR");
  EXPECT_EQ(report.rfind("{\\rtf", 0), 0u);
  EXPECT_NE(report.find("368.50"), std::string::npos);
  EXPECT_EQ(report.find("[PaymentWT]"), std::string::npos);
  EXPECT_FALSE(Exists("Lease.QVR"));

  // A template with two dots: my.old.rtf reads my.rtf and writes my.QVR.
  fs::copy_file(folder + "Loan.rtf", folder + "forms/my.rtf");
  windows.Shared().CustomTemplatePath = folder + "forms/my.old.rtf";
  qv->GenerateReport(6);
  EXPECT_EQ(qv->LastReportPath, folder + "forms/my.QVR");
  EXPECT_TRUE(fs::exists(folder + "forms/my.QVR"));

  // A second report replaces the first whole: no tail of a longer one is left.
  WriteFile(folder + "forms/my.QVR", std::string(200000, 'x'));
  qv->GenerateReport(6);
  EXPECT_EQ(ReadFile(folder + "forms/my.QVR").find('x' + std::string(100, 'x')), std::string::npos);
  EXPECT_LT(fs::file_size(folder + "forms/my.QVR"), 200000u);
}

TEST_F(ReportGenerate, TemplatesOfUpTo64000BytesAreMerged) {
  // An RTF document padded with blanks to the size asked for.
  auto templateOf = [](size_t size) {
    std::string t = "{\\rtf1\\ansi Payment [PaymentWT]\\par }";
    return t.insert(t.size() - 1, std::string(size - t.size(), ' '));
  };
  WriteFile(folder + "Big.rtf", templateOf(64000));
  windows.Shared().CustomTemplatePath = folder + "Big.rtf";
  qv->GenerateReport(6);
  EXPECT_EQ(qv->LastReportPath, folder + "Big.QVR");
  EXPECT_NE(ReadFile(folder + "Big.QVR").find("$368.50"), std::string::npos);

  fs::remove(folder + "Big.QVR");
  WriteFile(folder + "Big.rtf", templateOf(64001));
  prompt.Answer(ui::Answer::OK);
  qv->GenerateReport(6);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Textfile too big: " + folder + "Big.rtf"});
  EXPECT_FALSE(Exists("Big.QVR"));
  EXPECT_TRUE(qv->LastReportPath.empty());
}

TEST_F(ReportGenerate, AMissingTemplateIsReportedAndNothingIsCreated) {
  fs::remove(folder + "Loan.rtf");
  prompt.Answer(ui::Answer::OK);
  qv->mnuReports_Click(1);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't open file: " + folder + "Loan.rtf"});
  EXPECT_FALSE(Exists("Loan.rtf"));
  EXPECT_FALSE(Exists("Loan.QVR"));
  EXPECT_TRUE(qv->LastReportPath.empty());
}

TEST_F(ReportGenerate, AMissingFolderFallsBackToTheProgramFolderAndSavesTheSetting) {
  eng.cfg.LeaseTemplatePath = folder + "gone/Lease.rtf";
  qv->mnuReports_Click(0);
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease.rtf");
  EXPECT_EQ(qv->LastReportPath, folder + "Lease.QVR");
  EXPECT_NE(ReadFile(folder + "Quorvant.Cfg").find("\"" + folder + "Lease.rtf\""), std::string::npos);
}

TEST_F(ReportGenerate, AReportThatCannotBeWrittenNamesItsFile) {
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  prompt.Answer(ui::Answer::OK);
  qv->mnuReports_Click(2);
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_NE(prompt.MessageTexts()[0].find(folder + "Cash.QVR"), std::string::npos) << prompt.MessageTexts()[0];
  EXPECT_TRUE(qv->LastReportPath.empty());
}

TEST_F(ReportGenerate, TheComparisonReportNeedsItsWindowAndAsksOnce) {
  prompt.Answer(ui::Answer::OK);
  qv->GenerateReport(7);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Compare Leases Window must be open."});
  EXPECT_FALSE(Exists("Compare.QVR"));

  // From the window's own button it merges the window's grid.
  Compare& c = windows.Get<Compare>();
  ASSERT_TRUE(c.Command2[1]->isEnabled());
  c.Command2_Click(1);
  EXPECT_EQ(qv->LastReportPath, folder + "Compare.QVR");
  EXPECT_NE(ReadFile(folder + "Compare.QVR").find("368.50"), std::string::npos);
}

TEST_F(ReportGenerate, ThePaymentTablesReportComesFromItsWindow) {
  Tables& t = windows.Get<Tables>();
  ASSERT_TRUE(t.mnuViewReport->isEnabled());
  t.mnuViewReport->trigger();
  EXPECT_EQ(qv->LastReportPath, folder + "Tables.QVR");
}

TEST_F(ReportGenerate, EveryMainWindowControlMakesItsReport) {
  struct Case {
    std::function<void()> click;
    std::string report;
  } cases[] = {
      {[&] { qv->mnuReports[0]->trigger(); }, "Lease.QVR"},
      {[&] { qv->mnuReports[1]->trigger(); }, "Loan.QVR"},
      {[&] { qv->mnuReports[2]->trigger(); }, "Cash.QVR"},
      {[&] { qv->mnuReports[3]->trigger(); }, "LVB.QVR"},
      {[&] { qv->Command2[4]->click(); }, "LVB.QVR"},
      {[&] { qv->Command6[0]->click(); }, "pmtcalc.QVR"},
      {[&] { qv->Command7[0]->click(); }, "cashreqd.QVR"},
  };
  for (const Case& c : cases) {
    fs::remove(folder + c.report);
    c.click();
    EXPECT_EQ(qv->LastReportPath, folder + c.report);
    EXPECT_TRUE(Exists(c.report)) << c.report;
  }
  EXPECT_TRUE(prompt.MessageTexts().empty()) << ::testing::PrintToString(prompt.MessageTexts());
}

TEST_F(ReportGenerate, AFieldBeingEditedIsCommittedBeforeTheReport) {
  ASSERT_TRUE(ShowActive());
  qv->Text3[6]->setFocus();
  qv->Text3_GotFocus(6);
  qv->Text3[6]->setText("48");  // months, still being typed
  qv->mnuReports_Click(0);
  EXPECT_DOUBLE_EQ(eng.page.Months, 48);
  const std::string report = ReadFile(folder + "Lease.QVR");
  EXPECT_EQ(report.find("368.50"), std::string::npos);  // the 36-month payment is gone
}

TEST_F(ReportGenerate, BrowseMergesThePickedTemplateAndACancelMakesNothing) {
  prompt.File(std::nullopt);
  qv->mnuCustomRpt[0]->trigger();
  EXPECT_TRUE(qv->LastReportPath.empty());
  EXPECT_EQ(prompt.Last()->file.title, "Custom Report RTF File");
  EXPECT_EQ(prompt.Last()->file.filter, "Rich Text Format (*.rtf)|*.rtf");

  prompt.File(folder + "Cash.rtf");
  qv->mnuCustomRpt[0]->trigger();
  EXPECT_EQ(qv->LastReportPath, folder + "Cash.QVR");
  EXPECT_TRUE(windows.Shared().CustomTemplatePath.empty());  // the custom setting is not changed
}

}  // namespace
}  // namespace qv::test
