// The text of the settings file: what BuildConfigText writes, ParseConfigText reads back.
#include <gtest/gtest.h>

#include "engine/SettingsFile.h"

namespace qv {
namespace {

TEST(SettingsText, WrittenSettingsReadBackTheSame) {
  ProgramSettings cfg;
  cfg.DefaultInvestRate = 0.05;
  cfg.DefaultLoanRate = 0.0875;
  cfg.ReportViewer = "Word";
  cfg.SpareCfgText = "a \"quoted\" word, and a comma";
  cfg.WordPath = "/usr/bin/lowriter";
  cfg.WordPadPath = "C:\\Program Files\\WordPad\\wordpad.exe";
  cfg.LeaseTemplatePath = "/data/Lease.rtf";
  cfg.LoanTemplatePath = "two\r\nlines";
  cfg.CashTemplatePath = "";
  cfg.LVBTemplatePath = "\"";
  cfg.DefaultAdminFactor = 0.0004;
  cfg.NoUpdateReminder = -1;
  TaxSetting tax;
  tax.TaxSetName = "Home, \"county\"";
  tax.ExclTradeFromLocal = 1;

  const std::string text = BuildConfigText(cfg, tax);
  ProgramSettings back;
  TaxSetting backTax;
  EXPECT_TRUE(ParseConfigText(text, back, backTax).empty());
  EXPECT_EQ(back.DefaultInvestRate, cfg.DefaultInvestRate);
  EXPECT_EQ(back.DefaultLoanRate, cfg.DefaultLoanRate);
  EXPECT_EQ(back.ReportViewer, cfg.ReportViewer);
  EXPECT_EQ(back.SpareCfgText, cfg.SpareCfgText);
  EXPECT_EQ(back.WordPath, cfg.WordPath);
  EXPECT_EQ(back.WordPadPath, cfg.WordPadPath);
  EXPECT_EQ(back.LeaseTemplatePath, cfg.LeaseTemplatePath);
  EXPECT_EQ(back.LoanTemplatePath, cfg.LoanTemplatePath);
  EXPECT_EQ(back.CashTemplatePath, cfg.CashTemplatePath);
  EXPECT_EQ(back.LVBTemplatePath, cfg.LVBTemplatePath);
  EXPECT_EQ(back.DefaultAdminFactor, cfg.DefaultAdminFactor);
  EXPECT_EQ(back.NoUpdateReminder, cfg.NoUpdateReminder);
  EXPECT_EQ(backTax.TaxSetName, tax.TaxSetName);
  EXPECT_EQ(backTax.ExclTradeFromLocal, tax.ExclTradeFromLocal);
  EXPECT_EQ(BuildConfigText(back, backTax), text);
}

TEST(SettingsText, ShortOrOddTextsGiveOneErrorEach) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<StartupError> errors;
  } cases[] = {
      {"empty", "", {{62, "Input past end of file: Quorvant.Cfg"}}},
      {"a rate that is no number", "abc,0.08\r\n",
       {{0, "Quorvant.Cfg, line 1: a value that is not a number, or is out of range, was replaced by its default."},
        {62, "Input past end of file: Quorvant.Cfg"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramSettings cfg;
    cfg.DefaultInvestRate = 0.07;
    TaxSetting tax;
    EXPECT_EQ(ParseConfigText(c.text, cfg, tax), c.errors);
    EXPECT_EQ(cfg.DefaultInvestRate, 0.07);  // a value that could not be read stays
  }
}

// Values no deal can have (not numbers, infinities, $100,000,000 or more in size) keep their
// defaults; all of them give one message that names the file and the lines.
TEST(SettingsText, ValuesNoDealCanHaveGiveOneMessageNamingTheLines) {
  struct Case {
    const char* name;
    std::string text;
    const char* message;
  } cases[] = {
      {"huge numbers",
       "1e308,-1e308\r\n\"QVEdit\",1e308\r\n\"Home\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
       "1e308\r\n-1e308\r\n99999999999999999999999999999\r\n",
       "Quorvant.Cfg, lines 1, 2, 11, 12 and 13: values that are not numbers, or are out of range, were replaced by "
       "their defaults."},
      {"nan and inf",
       "nan,inf\r\n\"QVEdit\",-inf\r\n\"Home\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\nnan\r\ninf\r\nNaN\r\n",
       "Quorvant.Cfg, lines 1, 2, 11, 12 and 13: values that are not numbers, or are out of range, were replaced by "
       "their defaults."},
      {"one loan rate", "0.05,-1e308\r\n\"QVEdit\",0\r\n\"Home\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n1\r\n0\r\n",
       "Quorvant.Cfg, line 1: a value that is not a number, or is out of range, was replaced by its default."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramSettings cfg;
    TaxSetting tax;
    const std::vector<StartupError> errors = ParseConfigText(c.text, cfg, tax);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(StartupErrorText(errors[0]), c.message);
    EXPECT_EQ(cfg.DefaultLoanRate, 0);
    EXPECT_EQ(cfg.DefaultAdminFactor, 0);
    EXPECT_EQ(cfg.NoUpdateReminder, 0);
    EXPECT_EQ(tax.TaxSetName, "Home");
  }
}

}  // namespace
}  // namespace qv
