// The option window over the sample guide: the grid with its headings and price codes,
// selecting and un-selecting, the marks of options already on the page, closing (option
// list, residual question, recalculation), standard equipment, copy, print, and missing
// files.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include "GuideWindowFixture.h"
#include "platform/grid/GridWidget.h"
#include "pricing/GuideFiles.h"
#include "pricing/OptLookUp.h"
#include "pricing/StdEquip.h"

namespace qv::test {
namespace {

using ui::Answer;

const std::string kConvenience = "Convenience Group: power windows, power door locks, cruise control";

class OptLookUpTest : public GuideWindowTest<OptLookUp, StdEquip> {
 protected:
  void SetUp() override {
    GuideWindowTest::SetUp();
    PutGuideVehicle();
  }
  OptLookUp& Open() { return windows.Get<OptLookUp>(); }
  // The grid row whose description starts with `text` (0 when none).
  static int RowOf(const OptLookUp& w, const std::string& text) {
    for (int r = 1; r <= w.OptionLookUpData.MaxRow(); ++r)
      if (w.OptionLookUpData.TextRC(r, 2).rfind(text, 0) == 0) return r;
    return 0;
  }
  // The rows of sheet "Options": page, name, invoice, MSRP.
  std::vector<std::string> OptionsSheet() {
    std::vector<std::string> out;
    const grid::Sheet& s = eng.WKS.SheetAt(2);
    for (int r = 1; r <= s.MaxRow(); ++r)
      out.push_back(GeneralNumber(s.NumberRC(r, 1)) + " " + s.TextRC(r, 2) + " " + GeneralNumber(s.NumberRC(r, 3)) +
                    " " + GeneralNumber(s.NumberRC(r, 4)));
    return out;
  }
};

TEST_F(OptLookUpTest, GridShowsHeadingsPriceCodesSubHeadingsAndLongDescriptions) {
  OptLookUp& w = Open();
  EXPECT_EQ(w.windowTitle().toStdString(), "Option Data");
  EXPECT_EQ(w.lblCarname->text().toStdString(), kGuideCar);
  EXPECT_TRUE(w.Command1[3]->isEnabled());
  const grid::Sheet& s = w.OptionLookUpData;
  EXPECT_EQ(s.ColText(2), "Option");
  EXPECT_EQ(s.ColText(3), "Invoice");
  EXPECT_EQ(s.ColText(4), "MSRP");
  // Headings: the group in column 1, bold blue.
  for (const auto& [row, group] : std::vector<std::pair<int, std::string>>{{1, "Packages"}, {7, "Mechanical"},
                                                                           {11, "Paint"}, {14, "Other"}}) {
    EXPECT_EQ(s.TextRC(row, 1), group);
    EXPECT_TRUE(s.FontRC(row, 1).bold);
    EXPECT_EQ(s.FontRC(row, 1).color, 0xFF0000u);
  }
  struct Row {
    const char* start;
    const char* invoice;
    const char* msrp;
  };
  const Row rows[] = {
      {"Convenience Group", "$612", "$720"},
      // The sub-heading goes in front of the next option's description.
      {"Value Edition Package includes: alloy wheels", "$868", "$1,020"},
      {"Premium Package: power moonroof", "$1,394", "$1,640"},
      {"Power moonroof (included", "   Pkg", "   Pkg"},
      {"Anti-lock brakes", "   Std", "   Std"},
      {"Metallic paint", "   N/C", "   N/C"},
      {"Two-tone paint", "   N/A", "   N/A"},
      {"Emissions equipment", "      ", "      "},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.start);
    const int row = RowOf(w, r.start);
    ASSERT_GT(row, 0);
    EXPECT_EQ(s.TextRC(row, 3), r.invoice);
    EXPECT_EQ(s.TextRC(row, 4), r.msrp);
    EXPECT_EQ(s.TextRC(row, 1), "");
  }
  // A description over 255 characters takes two rows, split at a blank; prices on the first.
  const int premium = RowOf(w, "Premium Package");
  EXPECT_LE(s.TextRC(premium, 2).size(), 255u);
  EXPECT_EQ(s.TextRC(premium, 2).back(), ' ');
  EXPECT_NE(s.TextRC(premium + 1, 2).find("requires Convenience Group"), std::string::npos);
  EXPECT_EQ(s.TextRC(premium + 1, 3), "");
  // 17 rows and one empty row after them.
  EXPECT_EQ(s.MaxRow(), 18);
  EXPECT_EQ(w.OptionLookUp->rowCount(), 18);
  for (int c = 1; c <= 5; ++c) EXPECT_EQ(s.TextRC(18, c), "") << c;
  EXPECT_NE(s.TextRC(17, 2), "");
}

TEST_F(OptLookUpTest, SelectAndUnSelectKeepTheSheetRowsOfTheOtherOptionsMatched) {
  // Another page's option is on the sheet first.
  grid::Sheet& options = eng.WKS.SheetAt(2);
  options.SetNumberRC(1, 1, 2);
  options.SetTextRC(1, 2, "Other page's option");
  OptLookUp& w = Open();
  const int convenience = RowOf(w, "Convenience Group");
  const int automatic = RowOf(w, "4-speed automatic");
  const int mats = RowOf(w, "Floor mats");
  for (int row : {convenience, automatic, mats}) {
    w.OptionLookUp->setActiveCell(row, 2);
    w.Command1_Click(0);
    EXPECT_EQ(w.OptionLookUpData.TextRC(row, 1), "<TAG>");
    EXPECT_FALSE(w.Command1[0]->isEnabled());
    EXPECT_TRUE(w.Command1[2]->isEnabled());
  }
  EXPECT_EQ(eng.OptionCount, 3);
  EXPECT_EQ(w.OptionLookUpData.NumberRC(mats, 5), 4);
  EXPECT_EQ(OptionsSheet(), (std::vector<std::string>{"2 Other page's option 0 0", "1 " + kConvenience + " 612 720",
                                                      "1 4-speed automatic transmission 702 815",
                                                      "1 Floor mats 68 95"}));
  // Taking off the first moves the remembered rows of the others up with their rows...
  w.OptionLookUp_DblClick(convenience, 2);
  EXPECT_EQ(w.OptionLookUpData.TextRC(convenience, 1), "");
  EXPECT_EQ(w.OptionLookUpData.NumberRC(mats, 5), 3);
  // ... so taking off the last removes that option, not another page's.
  w.OptionLookUp->setActiveCell(mats, 2);
  w.Command1_Click(2);
  EXPECT_EQ(OptionsSheet(), (std::vector<std::string>{"2 Other page's option 0 0",
                                                      "1 4-speed automatic transmission 702 815"}));
  EXPECT_EQ(eng.OptionCount, 3) << "the count stays raised";
  EXPECT_TRUE(w.Command1[0]->isEnabled());
  EXPECT_FALSE(w.Command1[2]->isEnabled());
  // The residual question comes when the window closes (the MSRP changed by 815).
  prompt.Answer(Answer::No);
  w.Command1_Click(1);
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(OptLookUpTest, SelectAndUnSelectTellTheViewOfTheMarkTheyChange) {
  OptLookUp& w = Open();
  const int row = RowOf(w, "Floor mats");
  w.show();
  QApplication::processEvents();
  QAbstractItemModel* model = w.OptionLookUp->view()->model();
  const QModelIndex mark = model->index(row - 1, 0);
  // True when a dataChanged signal since the last look covered the mark's cell.
  QSignalSpy spy(model, &QAbstractItemModel::dataChanged);
  auto markChanged = [&] {
    bool covered = false;
    for (const QList<QVariant>& args : spy) {
      const QModelIndex from = args[0].value<QModelIndex>(), to = args[1].value<QModelIndex>();
      covered = covered || (from.row() <= mark.row() && mark.row() <= to.row() && from.column() <= 0 && 0 <= to.column());
    }
    spy.clear();
    return covered;
  };
  w.OptionLookUp->setActiveCell(row, 2);
  w.Command1_Click(0);
  EXPECT_TRUE(markChanged());
  EXPECT_EQ(model->data(mark).toString().toStdString(), "<TAG>");
  w.Command1_Click(2);
  EXPECT_TRUE(markChanged());
  EXPECT_EQ(model->data(mark).toString().toStdString(), "");
}

TEST_F(OptLookUpTest, HeadingsAndTheSecondRowOfALongDescriptionAreNotSelectable) {
  OptLookUp& w = Open();
  const int premium = RowOf(w, "Premium Package");
  for (int row : {1, 7, premium + 1}) {
    SCOPED_TRACE(row);
    w.OptionLookUp_Click(row, 2);
    EXPECT_FALSE(w.Command1[0]->isEnabled());
    EXPECT_FALSE(w.Command1[2]->isEnabled());
    w.OptionLookUp_DblClick(row, 2);
    EXPECT_EQ(w.OptionLookUpData.TextRC(row, 1), row == 1 ? "Packages" : row == 7 ? "Mechanical" : "");
  }
  EXPECT_EQ(eng.OptionCount, 0);
  EXPECT_EQ(eng.WKS.SheetAt(2).NumberRC(1, 1), 0);
  // The first row of the long description puts the whole description on the page.
  w.OptionLookUp_DblClick(premium, 2);
  EXPECT_NE(eng.WKS.SheetAt(2).TextRC(1, 2).find("requires Convenience Group"), std::string::npos);
  EXPECT_EQ(eng.WKS.SheetAt(2).NumberRC(1, 3), 1394);
  // The heading row of the grid (row 0) disables both buttons.
  w.OptionLookUp_Click(0, 2);
  EXPECT_FALSE(w.Command1[0]->isEnabled());
  EXPECT_FALSE(w.Command1[2]->isEnabled());
  prompt.Answer(Answer::No);
}

TEST_F(OptLookUpTest, OptionsOnThePageAreMarkedOnlyWhenTheirNamesAreEqual) {
  grid::Sheet& options = eng.WKS.SheetAt(2);
  options.SetNumberRC(1, 1, 1);
  options.SetTextRC(1, 2, "Paint");
  options.SetNumberRC(2, 1, 1);
  options.SetTextRC(2, 2, "Metallic paint");
  eng.ShowPageOptions();
  OptLookUp& w = Open();
  const int metallic = RowOf(w, "Metallic paint");
  EXPECT_EQ(w.OptionLookUpData.TextRC(metallic, 1), "<TAG>");
  EXPECT_EQ(w.OptionLookUpData.NumberRC(metallic, 5), 2);
  // "Paint" is no option of the guide: "Two-tone paint ..." holds the word but is not it.
  int marked = 0;
  for (int r = 1; r <= w.OptionLookUpData.MaxRow(); ++r) marked += w.OptionLookUpData.TextRC(r, 1) == "<TAG>";
  EXPECT_EQ(marked, 1);
  // Un-selecting the marked option takes its own sheet row.
  w.OptionLookUp_DblClick(metallic, 2);
  ASSERT_EQ(options.MaxRow(), 1);
  EXPECT_EQ(options.TextRC(1, 2), "Paint");
}

TEST_F(OptLookUpTest, ClosingRefillsTheOptionListAsksAboutTheResidualAndRecalculates) {
  prompt.Modal([this](ui::ModalWindow& mw) {
    auto& w = dynamic_cast<OptLookUp&>(mw);
    w.OptionLookUp_DblClick(RowOf(w, "Convenience Group"), 2);
    w.Command1_Click(1);
    return 0;
  });
  prompt.Answer(Answer::Yes);
  const double residualPercent = eng.page.Residual / eng.res.MSRP;
  EXPECT_NEAR(residualPercent, 12000.0 / (18995 + 485), 1e-12);
  qv->cmdbut2_click(2);
  EXPECT_FALSE(windows.Loaded<OptLookUp>());
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0],
            "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n61.6% of MSRP?");
  // The option is on the main window's list and in the totals.
  EXPECT_EQ(eng.OptionList.TextRC(1, 1), kConvenience);
  EXPECT_EQ(eng.OptionList.NumberRC(1, 2), 612);
  EXPECT_DOUBLE_EQ(eng.res.TotalMSRP, 18995 + 485 + 720);
  EXPECT_DOUBLE_EQ(eng.res.TotalInvoice, 17301 + 485 + 612);
  // The residual at the old percentage of the new MSRP, worked by hand.
  EXPECT_NEAR(eng.page.Residual, 12000.0 / 19480 * 20200, 0.005);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

TEST_F(OptLookUpTest, StandardEquipmentOpensFromTheButtonOrSaysTheGroupIsUnknown) {
  prompt.Modal([this](ui::ModalWindow& mw) {
    auto& s = dynamic_cast<StdEquip&>(mw);
    EXPECT_EQ(s.windowTitle().toStdString(), "Standard Equipment");
    EXPECT_EQ(s.Label1->text().toStdString(), kGuideCar);
    const std::string text = s.Text1->toPlainText().toStdString();
    EXPECT_EQ(text.rfind("<B>Powertrain<B>Engine: 2.2L 16-valve four-cylinder, 135 hp\n5-speed manual transmission; ", 0),
              0u)
        << text;
    EXPECT_NE(text.find("\n5-year/60,000-mile powertrain warranty; "), std::string::npos);
    s.Command1_Click(1);
    return 0;
  });
  OptLookUp& w = Open();
  w.Command1_Click(3);
  EXPECT_FALSE(windows.Loaded<StdEquip>());
  windows.Unload<OptLookUp>();

  eng.page.CarName = "Solvane Sedan";
  prompt.Answer(Answer::OK);
  OptLookUp& w2 = Open();
  EXPECT_FALSE(w2.Command1[3]->isEnabled());
  w2.Command1_Click(3);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Cannot Identify Model Group"});
}

TEST_F(OptLookUpTest, TheLabelEndsBeforeADashAfterTheColon) {
  eng.page.CarName = "2000 Tarvic Solvane: Sedans 4dr Sedan Plus - 36 months";
  EXPECT_EQ(Open().lblCarname->text().toStdString(), "2000 Tarvic Solvane: Sedans 4dr Sedan Plus ");
}

TEST_F(OptLookUpTest, PrintsTheOptionListToPdfAndCopiesTheSelection) {
  const std::string pdf = folder + "options.pdf";
  ui::PrintTarget target;
  target.pdfPath = pdf;
  prompt.Print(target).PageSetup(true);
  OptLookUp& w = Open();
  w.Command1_Click(4);
  w.mnuPageSetup_Click();
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find(kGuideCar), std::string::npos) << text;
  EXPECT_NE(text.find("Convenience Group"), std::string::npos) << text;
  EXPECT_NE(text.find("Emissions equipment for high-altitude states"), std::string::npos) << text;

  const int row = RowOf(w, "Floor mats");
  w.OptionLookUpData.SetSelection(row, 2, row, 4);
  w.OptionLookUp->refresh();
  w.mnuCopy_Click();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString().rfind("Floor mats\t$68\t$95", 0), 0u)
      << QApplication::clipboard()->text().toStdString();
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(OptLookUpTest, NoVehicleLineOrAMissingFileGivesAnEmptyGrid) {
  // A page without a vehicle from the guide: no block, no message.
  eng.page.MfgNum = 0;
  EXPECT_EQ(Open().Rows().rows.size(), 0u);
  EXPECT_EQ(Open().OptionLookUpData.MaxRow(), 1);
  windows.Unload<OptLookUp>();
  // A missing option file: one message naming it.
  eng.page.MfgNum = 1;
  std::filesystem::remove(folder + "COptions.txt");
  prompt.Answer(Answer::OK);
  OptLookUp& w = Open();
  EXPECT_EQ(w.Rows().rows.size(), 0u);
  EXPECT_EQ(w.OptionLookUpData.TextRC(1, 2), "");
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{pricing::MissingFileMessage(folder + "COptions.txt")});
}

TEST_F(OptLookUpTest, StdEquipWithoutAVehicleLineOrFileIsEmpty) {
  eng.page.MfgNum = 0;
  EXPECT_EQ(windows.Get<StdEquip>().Text1->toPlainText().toStdString(), "");
  windows.Unload<StdEquip>();
  eng.page.MfgNum = 1;
  std::filesystem::remove(folder + "CMajorSE.ndx");
  prompt.Answer(Answer::OK);
  EXPECT_EQ(windows.Get<StdEquip>().Text1->toPlainText().toStdString(), "");
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{pricing::MissingFileMessage(folder + "CMajorSE.ndx")});
}

}  // namespace
}  // namespace qv::test
