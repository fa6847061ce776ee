// The price guide of one class: vehicle list, model grid, standard equipment and taking a
// type onto a page, over a small guide written by the guide writer.
#include <gtest/gtest.h>

#include "PricingSupport.h"
#include "engine/Engine.h"
#include "pricing/PriceGuide.h"

namespace qv::pricing {
namespace {

using test::IndexBytes;
using test::StrictPrompt;
using test::TempFolder;

const std::string kGuide = R"(
vehicle: 2000 | Tarvic | Solvane | 550
model: Solvane
type: <B>Sedans<B> | -555 | -555
type: 4dr Sedan | 15000 | 16500
type: <B>Wagons<B> | -999 | 21450
type: Wagon | -888 | 21450 | 5
model:
type: Fleet | 14000 | 15000
type: "" | 0 | 0
model: Solvane GT
type: GT | 20000 | 22000
equipment: <B>Engine<B>Standard: 2.4L four~5-speed
equipment: Dual air bags
vehicle: 1999 | Oskaro | Trevian | 500
model: Trevian
type: S | 16000 | 17600
blank:
vehicle: 1998 | Brenmoor | Ellisar | 480
)";

class PriceGuideTest : public ::testing::Test {
 protected:
  void SetUp() override { t.WriteGuide("C", kGuide); }
  TempFolder t;
  PriceGuide guide{t.Folder(), "C"};
};

const std::string kBlank11(11, ' ');

TEST_F(PriceGuideTest, ListsTheVehicleLinesOfTheCheckedYearsWithTheirNumbers) {
  const VehicleList all = guide.ShowManufacturers({true, true, true});
  ASSERT_TRUE(all.error.empty()) << all.error;
  ASSERT_EQ(all.entries.size(), 3u);
  // The blank line 3 is not listed but counts: Ellisar is line 4.
  EXPECT_EQ(all.entries[0].lineNumber, 1);
  EXPECT_EQ(all.entries[1].lineNumber, 2);
  EXPECT_EQ(all.entries[2].lineNumber, 4);
  EXPECT_EQ(all.entries[2].dest, 480);
  EXPECT_EQ(all.entries[2].description, "1998 Brenmoor Ellisar");
  EXPECT_EQ(all.entries[2].text.substr(86), " 480   4");
  EXPECT_EQ(all.entries[0].text, MakeListEntry("Tarvic", "2000", "Solvane", 550, 1));

  const VehicleList opening = guide.ShowManufacturers(YearFilter{});
  ASSERT_EQ(opening.entries.size(), 2u);
  EXPECT_EQ(opening.entries[1].description, "1999 Oskaro Trevian");
}

TEST_F(PriceGuideTest, ModelGridRowsFollowTheModelAndTypeLines) {
  const ModelGrid g = guide.ShowModels(1);
  ASSERT_TRUE(g.error.empty()) << g.error;
  using K = ModelRow::Kind;
  const std::vector<ModelRow> expected = {
      {K::ModelHeading, "** Solvane **", "", "", ""},
      {K::TypeHeading, "** Sedans **", kBlank11, kBlank11, "Sedans"},
      {K::Type, "4dr Sedan", "15000", "16500", "Sedans"},
      {K::TypeHeading, "** Wagons **", kBlank11, "21450", "Wagons"},
      {K::Type, "Wagon", "N/A", "21450", "Wagons"},
      {K::Empty, "", "", "", ""},  // the blank model name leaves its row empty
      {K::Type, "Fleet", "14000", "15000", ""},  // and its types carry no group
      {K::ModelHeading, "** Solvane GT **", "", "", ""},
      {K::Type, "GT", "20000", "22000", "Solvane GT"},
      {K::Empty, "", "", "", ""},  // the row of the line that ended the block
  };
  ASSERT_EQ(g.rows.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(g.rows[i].kind, expected[i].kind) << "row " << i + 1;
    EXPECT_EQ(g.rows[i].name, expected[i].name) << "row " << i + 1;
    EXPECT_EQ(g.rows[i].invoiceText, expected[i].invoiceText) << "row " << i + 1;
    EXPECT_EQ(g.rows[i].msrpText, expected[i].msrpText) << "row " << i + 1;
    EXPECT_EQ(g.rows[i].group, expected[i].group) << "row " << i + 1;
  }
  EXPECT_TRUE(g.rows[0].BoldBlue());
  EXPECT_TRUE(g.rows[1].BoldBlue());
  EXPECT_FALSE(g.rows[2].BoldBlue());

  // The last block of "Model.txt" ends at the end of the file: no empty last row.
  const ModelGrid last = guide.ShowModels(2);
  ASSERT_EQ(last.rows.size(), 2u);
  EXPECT_EQ(last.rows[1].name, "S");
  EXPECT_EQ(last.rows[1].group, "Trevian");
}

TEST_F(PriceGuideTest, AVehicleLineWithoutModelsGivesAnEmptyGridWithoutMessage) {
  for (int64_t n : {3, 4, 0, -2}) {
    const ModelGrid g = guide.ShowModels(n);
    EXPECT_TRUE(g.rows.empty()) << n;
    EXPECT_TRUE(g.error.empty()) << n << ": " << g.error;
  }
}

TEST_F(PriceGuideTest, DamagedIndexesGiveOneMessageAndNoRowsFromOutside) {
  // A vehicle line past the end of "Model.ndx".
  ModelGrid g = guide.ShowModels(9);
  EXPECT_TRUE(g.rows.empty());
  EXPECT_NE(g.error.find("CModel.ndx"), std::string::npos) << g.error;

  // Model records that point before the file, past its end, and far beyond.
  t.Write("CModel.ndx", IndexBytes({-7, 100000, 0x7fffffff}));
  for (int64_t n : {1, 2, 3}) {
    g = guide.ShowModels(n);
    EXPECT_TRUE(g.rows.empty()) << n;
    EXPECT_NE(g.error.find("is damaged"), std::string::npos) << g.error;
  }

  // A type record past the end: the models still show, with one message.
  t.WriteGuide("C", kGuide);
  t.Write("CType.ndx", IndexBytes({1, 99999}));
  g = guide.ShowModels(1);
  ASSERT_FALSE(g.rows.empty());
  EXPECT_EQ(g.rows[0].name, "** Solvane **");
  EXPECT_NE(g.error.find("CType.ndx"), std::string::npos) << g.error;
}

TEST_F(PriceGuideTest, MissingFilesGiveAnEmptyResultAndTheirName) {
  for (const char* name : {"CModel.txt", "CModel.ndx", "CType.txt", "CType.ndx"}) {
    t.WriteGuide("C", kGuide);
    t.Remove(name);
    const ModelGrid g = guide.ShowModels(1);
    EXPECT_TRUE(g.rows.empty()) << name;
    EXPECT_EQ(g.error, "The data file \"" + t.File(name) + "\" is missing or cannot be read.");
  }
  t.Remove("CMANUF.TXT");
  const VehicleList l = guide.ShowManufacturers(YearFilter{});
  EXPECT_TRUE(l.entries.empty());
  EXPECT_EQ(l.error, "The data file \"" + t.File("CMANUF.TXT") + "\" is missing or cannot be read.");
  // The other class is looked for under its own letter.
  const VehicleList trucks = PriceGuide(t.Folder(), "T").ShowManufacturers(YearFilter{});
  EXPECT_NE(trucks.error.find("TMANUF.TXT"), std::string::npos);
}

TEST_F(PriceGuideTest, FilesAreFoundWhateverTheirCase) {
  std::filesystem::rename(t.File("CMANUF.TXT"), t.File("cmanuf.txt"));
  std::filesystem::rename(t.File("CType.txt"), t.File("CTYPE.TXT"));
  EXPECT_EQ(guide.ShowManufacturers(YearFilter{}).entries.size(), 2u);
  EXPECT_EQ(guide.ShowModels(1).rows.size(), 10u);
}

TEST_F(PriceGuideTest, TypesOfOneBlock) {
  const ModelGrid g = guide.ShowTypes(2);  // the blank-named model's block
  ASSERT_EQ(g.rows.size(), 1u);
  EXPECT_EQ(g.rows[0].name, "Fleet");
  EXPECT_TRUE(guide.ShowTypes(0).rows.empty());
}

TEST_F(PriceGuideTest, StandardEquipmentLine) {
  std::string error;
  EXPECT_EQ(guide.GetMajorSELine(1, &error), "<B>Engine<B>Standard: 2.4L four~5-speed; Dual air bags; ");
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(guide.GetMajorSELine(1.4, &error), guide.GetMajorSELine(1));
  // No line for the vehicle (index record 0), and a key past the index.
  EXPECT_EQ(guide.GetMajorSELine(2, &error), std::nullopt);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(guide.GetMajorSELine(50, &error), std::nullopt);
  EXPECT_NE(error.find("CMajorSE.ndx"), std::string::npos);

  t.Remove("CMajorSE.txt");
  EXPECT_EQ(guide.GetMajorSELine(1, &error), std::nullopt);
  EXPECT_NE(error.find("missing"), std::string::npos);
  // Key 0 touches no file.
  EXPECT_EQ(PriceGuide("/no/such/folder/", "C").GetMajorSELine(0, &error), std::nullopt);
  EXPECT_TRUE(error.empty());
}

TEST(StandardEquipment, TildesBecomeLineBreaks) {
  EXPECT_EQ(StdEquipText("Air bags~ABS~"), "Air bags\r\nABS\r\n");
  EXPECT_EQ(StdEquipText("a~b~c~d~e"), "a\r\nb\r\nc\r\nd\r\ne");
  EXPECT_EQ(StdEquipPrintHeader(MakeListEntry("Tarvic", "2000", "Solvane", 485, 1)), "&C2000 Tarvic Solvane");
}

TEST(StandardEquipment, LayoutOfItemsLabelsAndValues) {
  const std::vector<StdEquipRow> rows = LayoutStandardEquipment(
      "<B>Engine<B>Standard: 2.4L four~5-speed; Dual air bags; Comfort <B>Seating<B>Front: buckets; "
      "<B>Warranty<B>; <B>Audio<B>: ; not shown");
  const std::vector<StdEquipRow> expected = {
      {"Engine Standard:", true}, {" 2.4L four\r\n5-speed", false}, {"Dual air bags", false},
      {"Comfort ", false},        {"Seating Front:", true},          {" buckets", false},
      {"Warranty ", true},        {"Audio :", true},
  };
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].text, expected[i].text) << i;
    EXPECT_EQ(rows[i].boldBlue, expected[i].boldBlue) << i;
  }
  EXPECT_TRUE(LayoutStandardEquipment("No semicolon at all").empty());
  EXPECT_TRUE(LayoutStandardEquipment("").empty());
}

TEST(StandardEquipment, ASuffixIsNotCarriedToTheNextItem) {
  const std::vector<StdEquipRow> rows = LayoutStandardEquipment("<B>A<B>x: 1; <B>B<B>; ");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].text, "B ");
}

TEST(StandardEquipment, LongTextsGoOverSeveralRows) {
  const std::string value(300, 'v');
  std::vector<StdEquipRow> rows = LayoutStandardEquipment("<B>L<B>s:" + value + "; ");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].text, value.substr(0, 255));
  EXPECT_EQ(rows[2].text, value.substr(255));

  // An untagged item without blanks: 255 characters a row.
  const std::string plain(600, 'p');
  rows = LayoutStandardEquipment(plain + "; ");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, plain.substr(0, 255));
  EXPECT_EQ(rows[2].text, plain.substr(510));
}

TEST(StandardEquipment, ALongUntaggedItemIsSplitAfterItsLastBlankBefore256) {
  // 262 characters; "covers" spans characters 251 to 256.
  std::string item;
  for (int i = 0; i < 15; ++i) item += "protection film ";
  item += "wraps and covers hoods";
  ASSERT_EQ(item.size(), 262u);
  ASSERT_EQ(item[249], ' ');
  const std::vector<StdEquipRow> rows = LayoutStandardEquipment(item + "; Full-size spare;");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, item.substr(0, 250));  // up to and with the blank before "covers"
  EXPECT_EQ(rows[1].text, "covers hoods");
  EXPECT_EQ(rows[2].text, "Full-size spare");
  // A blank at character 255 itself ends the first row there.
  const std::string at255 = std::string(254, 'a') + " " + "bcd";
  EXPECT_EQ(LayoutStandardEquipment(at255 + "; ")[0].text, at255.substr(0, 255));
}

TEST(StandardEquipment, ATagWithoutItsClosingPartStillShows) {
  const std::vector<StdEquipRow> rows = LayoutStandardEquipment("<B>Open label; <; ");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, "Open label ");
  EXPECT_EQ(rows[1].text, " ");
}

TEST(VehicleText, LeavesOutAGroupThatTheDescriptionHolds) {
  ModelRow r{ModelRow::Kind::Type, "S", "1", "2", "Trevian"};
  EXPECT_EQ(VehicleText("1999 Oskaro Trevian", r), "1999 Oskaro Trevian:  S");
  r.group = "Sedans";
  EXPECT_EQ(VehicleText("1999 Oskaro Trevian", r), "1999 Oskaro Trevian: Sedans S");
  r.group = "";
  EXPECT_EQ(VehicleText("1999 Oskaro Trevian", r), "1999 Oskaro Trevian:  S");
}

class TakeTypeTest : public PriceGuideTest {
 protected:
  void SetUp() override {
    PriceGuideTest::SetUp();
    eng.cfg.DefaultLoanRate = 0.09;
    eng.cfg.DefaultInvestRate = 0.05;
    eng.cfg.DefaultAdminFactor = 0.0004;
    list = guide.ShowManufacturers({true, true, true});
    grid = guide.ShowModels(1);
  }
  StrictPrompt sp;
  Engine eng;
  VehicleList list;
  ModelGrid grid;
};

TEST_F(TakeTypeTest, AnEmptyPageTakesTheTypeWithoutAsking) {
  const TakeTypeResult r = TakeType(eng, "T", list.entries[0], grid, 3);
  EXPECT_TRUE(r.taken);
  EXPECT_FALSE(r.newPage);
  EXPECT_TRUE(sp.prompt.MessageTexts().empty());
  const PageRecord& p = eng.page;
  EXPECT_EQ(p.CarName, "2000 Tarvic Solvane: Sedans 4dr Sedan");
  EXPECT_EQ(r.carName, p.CarName);
  EXPECT_EQ(p.CT, "T");
  EXPECT_EQ(p.MfgNum, 1);
  EXPECT_EQ(p.BaseInv, 15000);
  EXPECT_EQ(p.BaseMSRP, 16500);
  EXPECT_EQ(p.Dest, 550);
  EXPECT_EQ(p.LoanRate, 0.09);
  EXPECT_EQ(p.InvestRate, 0.05);
  EXPECT_EQ(p.FordAdminFactor, 0.0004);
  EXPECT_EQ(eng.PageCount, 1);
  // Recalculated: base MSRP and destination.
  EXPECT_EQ(eng.res.TotalMSRP, 17050);
  EXPECT_FALSE(sp.prompt.Busy());
}

TEST_F(TakeTypeTest, HeadingRowsAndNotAvailablePricesReadAsZero) {
  TakeType(eng, "C", list.entries[0], grid, 4);  // "** Wagons **", 11 blanks, 21450
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Solvane: Wagons ** Wagons **");
  EXPECT_EQ(eng.page.BaseInv, 0);
  EXPECT_EQ(eng.page.BaseMSRP, 21450);

  eng.page = PageRecord{};
  TakeType(eng, "C", list.entries[0], grid, 1);  // the model heading: no group, no amounts
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Solvane:  ** Solvane **");
  EXPECT_EQ(eng.page.BaseMSRP, 0);

  eng.page = PageRecord{};
  TakeType(eng, "C", list.entries[0], grid, 5);  // "N/A" invoice
  EXPECT_EQ(eng.page.BaseInv, 0);
  EXPECT_EQ(eng.page.BaseMSRP, 21450);
}

TEST_F(TakeTypeTest, APageWithAVehicleAsksAndCancelChangesNothing) {
  eng.page.CarName = "Typed car";
  eng.page.CT = "C";
  sp.prompt.Answer(ui::Answer::Cancel);
  const PageRecord before = eng.page;
  const TakeTypeResult r = TakeType(eng, "T", list.entries[0], grid, 3);
  EXPECT_FALSE(r.taken);
  ASSERT_EQ(sp.prompt.Asked().size(), 1u);
  EXPECT_EQ(sp.prompt.Asked()[0].text, "A new page will be created to contain pricing data.");
  EXPECT_EQ(sp.prompt.Asked()[0].buttons, ui::Buttons::OKCancel);
  EXPECT_EQ(sp.prompt.Asked()[0].title, std::nullopt);
  EXPECT_EQ(eng.page, before);
  EXPECT_EQ(eng.PageCount, 1);
}

TEST_F(TakeTypeTest, OKPutsTheVehicleOnANewPage) {
  eng.page.BaseInv = 9000;  // a page with a typed vehicle but no name
  eng.page.CT = "C";
  eng.OptionCount = 4;
  sp.prompt.Answer(ui::Answer::OK);
  const TakeTypeResult r = TakeType(eng, "T", list.entries[1], guide.ShowModels(2), 2);
  EXPECT_TRUE(r.taken);
  EXPECT_TRUE(r.newPage);
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(eng.OptionCount, 0);
  EXPECT_EQ(eng.page.CarName, "1999 Oskaro Trevian:  S");
  EXPECT_EQ(eng.page.CT, "T");
  EXPECT_EQ(eng.page.MfgNum, 2);
  EXPECT_EQ(eng.page.BaseMSRP, 17600);
  EXPECT_EQ(eng.page.Dest, 500);
  EXPECT_EQ(eng.page.DaysToFirstPayment, 30);
  // The page left behind was stored and keeps its vehicle.
  EXPECT_EQ(eng.WKS.SheetAt(1).NumberRC(1, 3), 9000);
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 1), "C");
  for (int s : {1, 3, 4, 5}) EXPECT_EQ(eng.WKS.SheetAt(s).MaxRow(), 2) << s;
}

TEST_F(TakeTypeTest, ALineNumberBeyondThePageFieldIsRefused) {
  VehicleLineEntry e = list.entries[0];
  e.lineNumber = 40000;
  sp.prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(TakeType(eng, "C", e, grid, 3).taken);
  ASSERT_EQ(sp.prompt.MessageTexts().size(), 1u);
  EXPECT_NE(sp.prompt.MessageTexts()[0].find("40000"), std::string::npos);
  EXPECT_TRUE(eng.page.CarName.empty());
}

// Three models that all name one block of four types: five rows a model.
TEST(ModelGridLimit, RowsStopAtTheLimitWithAMessage) {
  TempFolder t;
  t.Write("CModel.txt", "Alpha|1|1\r\nBeta|1|1\r\nGamma|1|1\r\n");
  t.Write("CModel.ndx", IndexBytes({1}));
  t.Write("CType.txt", "A|100|110|1|0\r\nB|200|220|1|0\r\nC|300|330|1|0\r\nD|400|440|1|0\r\n");
  t.Write("CType.ndx", IndexBytes({1}));
  const PriceGuide guide(t.Folder(), "C");
  struct Case {
    int limit;
    size_t rows;
    bool stopped;
  } cases[] = {{PriceGuide::kModelRowLimit, 15, false}, {15, 15, false}, {12, 12, true}, {10, 10, true}, {1, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    const ModelGrid g = guide.ShowModels(1, c.limit);
    ASSERT_EQ(g.rows.size(), c.rows);
    EXPECT_EQ(g.error, c.stopped ? RowLimitMessage(c.limit) : std::string());
    EXPECT_EQ(g.rows[0].name, "** Alpha **");
  }
  const ModelGrid g = guide.ShowModels(1, 12);
  EXPECT_EQ(g.rows[10].name, "** Gamma **");
  EXPECT_EQ(g.rows[11].name, "A");
  EXPECT_EQ(PriceGuide::kModelRowLimit, grid::Sheet::kMaxRows);
  EXPECT_EQ(RowLimitMessage(1000000),
            "This vehicle has more models and types than the grid can hold; only the first 1,000,000 rows are shown.");
}

}  // namespace
}  // namespace qv::pricing
