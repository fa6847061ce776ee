// A worksheet file whose pages hold values no deal can have (amounts of 1e308, a loan rate
// of -1e308, a negative term) is refused whole with a message naming the file and the page;
// the worksheet in memory stays as it was.
#include <cmath>

#include "tests/worksheet/PagesFixture.h"

namespace qv::test {
namespace {

class WorksheetValuesTest : public WorksheetPagesTest {};
class StartupValuesTest : public QVTest {};

TEST_F(WorksheetValuesTest, AWorksheetWithValuesNoDealCanHaveIsRefusedWhole) {
  NamePage("Van", 18000);
  AddPage();
  NamePage("Sedan", 25000);
  GoToPage(1);
  const std::string good = folder + "good.QVX";
  prompt.File(good);
  qv->mnuOpenSave_click(2);
  std::string error;
  grid::Workbook saved;
  ASSERT_TRUE(saved.Read(good, error)) << error;

  struct Case {
    const char* file;
    int col;  // of page 2's row in sheet "Worksht"
    double value;
    const char* why;
  } cases[] = {
      {"invoice-1e308.QVX", 3, 1e308, "page 2 holds an amount too large for a deal"},
      {"loanrate.QVX", 21, -1e308, "page 2 holds an amount too large for a deal"},
      {"months.QVX", 9, -12, "page 2 holds a negative number of months"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = folder + c.file;
    grid::Workbook bad = saved;
    bad.SheetAt(1).SetNumberRC(2, c.col, c.value);
    ASSERT_TRUE(bad.Write(path, error)) << error;

    eng.page.Margin = 777;  // on screen, not stored
    eng.WorksheetModified = 0;
    const grid::Workbook before = eng.WKS;
    const std::string caption = qv->windowTitle().toStdString();
    prompt.ClearAsked();
    prompt.File(path).Answer(ui::Answer::OK);
    qv->mnuOpenSave_click(0);
    EXPECT_EQ(prompt.MessageTexts(),
              std::vector<std::string>{"The file " + path + " cannot be opened: " + c.why + "."});
    EXPECT_TRUE(eng.WKS.SameContent(before));
    EXPECT_DOUBLE_EQ(eng.page.Margin, 777);
    EXPECT_EQ(eng.WorksheetFileName, good);
    EXPECT_EQ(qv->windowTitle().toStdString(), caption);
    EXPECT_EQ(eng.WorksheetModified, 0);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Van", "Sedan"}));
  }
}

// Settings and tax settings holding values no deal can have: each file gives one message
// naming it and the line, the values take their defaults, and the program starts.
TEST_F(StartupValuesTest, SettingsWithNanInfOrHugeValuesGiveOneMessageEach) {
  WriteFile(folder + "Quorvant.Cfg",
            "nan,inf\r\n\"QVEdit\",-inf\r\n\"Home\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\nnan\r\ninf\r\nNaN\r\n");
  WriteFile(folder + "Taxset.txt",
            "Name,LeaseTaxRate\r\nHome,1e39,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,1e39,3.4e38,3.4e38,1,3e38,1,3e38,1,3e38,0\r\n");
  prompt.Answer(ui::Answer::OK).Answer(ui::Answer::OK);
  Load();
  EXPECT_EQ(prompt.MessageTexts(),
            (std::vector<std::string>{"Quorvant.Cfg, lines 1, 2, 11, 12 and 13: values that are not numbers, or are "
                                      "out of range, were replaced by their defaults.",
                                      "Taxset.txt, line 2: a value that is not a number, or is out of range, was "
                                      "replaced by its default."}));
  EXPECT_EQ(eng.cfg.DefaultLoanRate, ProgramSettings{}.DefaultLoanRate);
  EXPECT_EQ(eng.cfg.DefaultInvestRate, ProgramSettings{}.DefaultInvestRate);
  EXPECT_EQ(eng.tax.LeaseTaxRate, 6.0f);
  EXPECT_EQ(eng.tax.MaxTax, 0.0f);
  EXPECT_EQ(eng.tax.LuxuryThreshold, 36000);
  // Figures are those of an ordinary deal.
  eng.page.BaseInv = 20000;
  eng.page.BaseMSRP = 22000;
  eng.page.Months = 36;
  eng.page.Factor = 0.0025;
  eng.page.Residual = 12000;
  eng.RecalcPage();
  EXPECT_TRUE(std::isfinite(eng.res.PaymentWT));
  EXPECT_LT(eng.res.PaymentWT, 1000);
}

}  // namespace
}  // namespace qv::test
