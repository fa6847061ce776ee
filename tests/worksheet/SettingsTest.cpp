// The settings file "Quorvant.Cfg" and the profile file of the recent-files list.
#include "tests/worksheet/QVFixture.h"
#include "platform/profile/Profile.h"
#include "worksheet/Settings.h"

namespace qv::test {
namespace {

class SettingsTest : public QVTest {
 protected:
  void Fill(Engine& e) {
    e.AppFolder = folder;
    e.cfg.DefaultInvestRate = 0.045;
    e.cfg.DefaultLoanRate = 0.0825;
    e.cfg.ReportViewer = "WinWord";
    e.tax.TaxSetName = "Home";
    e.cfg.SpareCfgText = "kept \"as is\", with a comma";
    e.cfg.WordPath = "C:\\Office\\WINWORD.EXE";
    e.cfg.WordPadPath = "/usr/bin/wordpad";
    e.cfg.LeaseTemplatePath = folder + "My, Lease.rtf";
    e.cfg.LoanTemplatePath = folder + "Loan.rtf";
    e.cfg.CashTemplatePath = folder + "Cash.rtf";
    e.cfg.LVBTemplatePath = folder + "LVB.rtf";
    e.cfg.DefaultAdminFactor = 0.00111;
    e.tax.ExclTradeFromLocal = 1;
    e.cfg.NoUpdateReminder = -1;
  }
};

TEST_F(SettingsTest, WrittenFileReadsBackTheSameThirteenValues) {
  Engine a;
  Fill(a);
  std::string error;
  ASSERT_TRUE(WriteConfigFileQuiet(a, error)) << error;
  const std::vector<std::string> lines = SplitLines(ReadFile(folder + "Quorvant.Cfg"));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "0.045,0.0825");
  EXPECT_EQ(lines[1], "\"WinWord\",0");
  EXPECT_EQ(lines[12], "-1");

  Engine b;
  b.AppFolder = folder;
  EXPECT_TRUE(ReadConfigFile(b).empty());
  EXPECT_DOUBLE_EQ(b.cfg.DefaultInvestRate, 0.045);
  EXPECT_DOUBLE_EQ(b.cfg.DefaultLoanRate, 0.0825);
  EXPECT_EQ(b.cfg.ReportViewer, "WinWord");
  EXPECT_EQ(b.tax.TaxSetName, "Home");
  EXPECT_EQ(b.cfg.SpareCfgText, a.cfg.SpareCfgText);
  EXPECT_EQ(b.cfg.WordPath, a.cfg.WordPath);
  EXPECT_EQ(b.cfg.WordPadPath, a.cfg.WordPadPath);
  EXPECT_EQ(b.cfg.LeaseTemplatePath, a.cfg.LeaseTemplatePath);
  EXPECT_EQ(b.cfg.LoanTemplatePath, a.cfg.LoanTemplatePath);
  EXPECT_EQ(b.cfg.CashTemplatePath, a.cfg.CashTemplatePath);
  EXPECT_EQ(b.cfg.LVBTemplatePath, a.cfg.LVBTemplatePath);
  EXPECT_DOUBLE_EQ(b.cfg.DefaultAdminFactor, 0.00111);
  EXPECT_EQ(b.tax.ExclTradeFromLocal, 1);
  EXPECT_EQ(b.cfg.NoUpdateReminder, -1);
}

TEST_F(SettingsTest, ExcludeTradeFromLocalTaxReadsAsZeroOrOne) {
  const std::pair<const char*, int16_t> cases[] = {{"-1", 1}, {"2", 1}, {"1", 1}, {"0", 0}, {"0.4", 0}};
  for (const auto& [text, flag] : cases) {
    WriteFile(folder + "Quorvant.Cfg", std::string("0.05,0.09\r\n\"QVEdit\",0\r\n\"Home\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n") +
                                           "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n" + text + "\r\n0\r\n");
    Engine e;
    e.AppFolder = folder;
    EXPECT_TRUE(ReadConfigFile(e).empty()) << text;
    EXPECT_EQ(e.tax.ExclTradeFromLocal, flag) << text;
  }
}

TEST_F(SettingsTest, FileWithOnlyTheFirstThreeLines) {
  WriteFile(folder + "Quorvant.Cfg", "0.05,0.09\r\n\"QVEdit\",0\r\n\"Home\"\r\n");
  Engine e;
  e.AppFolder = folder;
  const std::vector<StartupError> errors = ReadConfigFile(e);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(StartupErrorText(errors[0]), "Error  62.  Input past end of file: Quorvant.Cfg");
  EXPECT_EQ(e.tax.TaxSetName, "Home");
  EXPECT_EQ(e.cfg.SpareCfgText, "");
  EXPECT_DOUBLE_EQ(e.cfg.DefaultAdminFactor, 0);
  EXPECT_EQ(e.cfg.LeaseTemplatePath, folder + "Lease.rtf");
  EXPECT_EQ(e.cfg.LoanTemplatePath, folder + "Loan.rtf");
  EXPECT_EQ(e.cfg.CashTemplatePath, folder + "Cash.rtf");
  EXPECT_EQ(e.cfg.LVBTemplatePath, folder + "LVB.rtf");
}

TEST_F(SettingsTest, FailedWriteIsReportedAndKeepsTheOldFile) {
  const std::string before = ReadFile(folder + "Quorvant.Cfg");
  Engine e;
  Fill(e);
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(WriteConfigFile(e));
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0].rfind("The settings could not be saved.", 0), 0u);
  EXPECT_NE(prompt.MessageTexts()[0].find("Quorvant.Cfg"), std::string::npos);
  EXPECT_EQ(ReadFile(folder + "Quorvant.Cfg"), before);
}

TEST_F(SettingsTest, SaveConfigurationMenuWritesTheFile) {
  Load();
  eng.cfg.DefaultLoanRate = 0.11;
  qv->mnuSaveConfig_click();
  EXPECT_EQ(SplitLines(ReadFile(folder + "Quorvant.Cfg"))[0], "0.05,0.11");
}

TEST_F(SettingsTest, ProfileFileKeepsOtherLinesAndReadsKeysWithoutRegardToCase) {
  const std::string ini = folder + "QVX.INI";
  WriteFile(ini, "[Other]\r\n0=keep\r\n[last file list]\r\n0=old\r\n");
  ASSERT_TRUE(WriteProfileStrings("Last File List", {{"0", "/a b/c.QVX"}, {"1", ""}}, ini));
  EXPECT_EQ(ReadProfileString("Other", "0", "", 100, ini), "keep");
  EXPECT_EQ(ReadProfileString("LAST FILE LIST", "0", "", 100, ini), "/a b/c.QVX");
  EXPECT_EQ(ReadProfileString("Last File List", "1", "x", 100, ini), "");
  EXPECT_EQ(ReadProfileString("Last File List", "2", "none", 100, ini), "none");
  EXPECT_EQ(ReadProfileString("Last File List", "0", "", 4, ini), "/a ");
  EXPECT_EQ(ReadProfileString("Last File List", "0", "dflt", 100, folder + "missing.ini"), "dflt");
}

}  // namespace
}  // namespace qv::test
