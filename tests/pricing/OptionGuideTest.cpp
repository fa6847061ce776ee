// The option guide: option lines, price codes, the option grid rows, marks of the page's
// options, and selecting and un-selecting options on the "Options" sheet.
#include <gtest/gtest.h>

#include "PricingSupport.h"
#include "engine/Engine.h"
#include "pricing/OptionGuide.h"

namespace qv::pricing {
namespace {

using test::IndexBytes;
using test::StrictPrompt;
using test::TempFolder;

TEST(ParseOptionLine, CutsSixFields) {
  OptionLine o = ParseOptionLine("Packages|Sport Group|612|720|3|9|extra");
  EXPECT_EQ(o.group, "Packages");
  EXPECT_EQ(o.description, "Sport Group");
  EXPECT_EQ(o.code, 612);
  EXPECT_EQ(o.msrp, 720);
  EXPECT_EQ(o.key, 3);
  EXPECT_EQ(o.extra, 9);  // the whole rest after the fifth "|", read by its leading number

  o = ParseOptionLine("G|D| -777 |  1,250|12");
  EXPECT_EQ(o.code, -777);
  EXPECT_EQ(o.msrp, 1);
  EXPECT_EQ(o.key, 12);
  EXPECT_EQ(o.extra, 0);

  o = ParseOptionLine("Only a group");
  EXPECT_EQ(o.group, "Only a group");
  EXPECT_EQ(o.description, "");
  EXPECT_EQ(o.key, 0);
  o = ParseOptionLine("");
  EXPECT_EQ(o.group, "");
}

TEST(OptionPrices, FollowThePriceCodes) {
  struct Case {
    double code, msrp;
    const char* invoice;
    const char* shownMsrp;
  } cases[] = {
      {0, 500, "   N/C", "   N/C"},        {-888, 0, "   N/A", "   N/A"},   {-777, 5, "   Pkg", "   Pkg"},
      {-666, 0, "   Std", "   Std"},       {-555, 0, "      ", "      "}, {612, 720, "$612", "$720"},
      {1394, 1640, "$1,394", "$1,640"},    {-85, -100, "-$85", "-$100"},  {612.5, 0, "$613", " "},
  };
  for (const Case& c : cases) {
    const OptionPriceTexts t = OptionPrices(c.code, c.msrp);
    EXPECT_EQ(t.invoice, c.invoice) << c.code;
    EXPECT_EQ(t.msrp, c.shownMsrp) << c.code;
  }
}

std::vector<std::string> Block(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

TEST(OptionRows, GroupHeadingsCodesAndAmounts) {
  const OptionGrid g = OptionRowsFromLines(Block({
                                               "Packages|Convenience Group|612|720|1|0",
                                               "Packages|Paint|0|150|1|0",
                                               "Other|Floor mats|68.4|95|1|0",
                                               "|No group|-666|0|1|0",
                                           }),
                                           1);
  using K = OptionRow::Kind;
  ASSERT_EQ(g.rows.size(), 6u);
  EXPECT_EQ(g.rows[0].kind, K::Heading);
  EXPECT_EQ(g.rows[0].mark, "Packages");
  EXPECT_EQ(g.rows[1].description, "Convenience Group");
  EXPECT_EQ(g.rows[1].invoiceText, "$612");
  EXPECT_EQ(g.rows[1].invoice, 612);
  EXPECT_EQ(g.rows[1].msrp, 720);
  EXPECT_EQ(g.rows[2].invoiceText, "   N/C");  // N/C even with an MSRP
  EXPECT_EQ(g.rows[2].msrpText, "   N/C");
  EXPECT_EQ(g.rows[2].msrp, 0);
  EXPECT_EQ(g.rows[3].mark, "Other");
  EXPECT_EQ(g.rows[4].invoice, 68);  // whole dollars, as shown
  EXPECT_EQ(g.rows[5].description, "No group");
  EXPECT_EQ(g.rows[5].kind, K::Option);
  EXPECT_EQ(g.rows[5].invoiceText, "   Std");
}

TEST(OptionRows, TheBlockEndsAtAnotherKeyButTheFirstLineIsNotTested) {
  const OptionGrid g = OptionRowsFromLines(Block({"G|First|10|12|7|0", "G|Second|20|24|3|0", "G|Other|1|1|4|0",
                                                  "G|Third|30|36|3|0"}),
                                           3);
  ASSERT_EQ(g.rows.size(), 3u);
  EXPECT_EQ(g.rows[1].description, "First");
  EXPECT_EQ(g.rows[2].description, "Second");
}

TEST(OptionRows, ASubHeadingGoesBeforeTheNextOptionAndOnlyTheFirstCounts) {
  const OptionGrid g = OptionRowsFromLines(Block({
                                               "Sub group|Sport Group includes: |-999|0|1|5",
                                               "Ignored|Second heading |-999|0|1|6",
                                               "Own group|alloy wheels|500|600|1|7",
                                           }),
                                           1);
  ASSERT_EQ(g.rows.size(), 2u);
  EXPECT_EQ(g.rows[0].mark, "Sub group");  // the saved group decides the heading
  EXPECT_EQ(g.rows[1].description, "Sport Group includes: alloy wheels");
  EXPECT_EQ(g.rows[1].invoiceText, "$500");
}

TEST(OptionRows, ASubHeadingAtTheEndOfItsBlockDoesNotTakeTheNextVehiclesOption) {
  const OptionGrid g = OptionRowsFromLines(Block({
                                               "G|Real option|100|120|1|0",
                                               "G|Dangling heading: |-999|0|1|0",
                                               "H|Next vehicle's option|200|240|2|0",
                                           }),
                                           1);
  ASSERT_EQ(g.rows.size(), 3u);
  EXPECT_EQ(g.rows[2].kind, OptionRow::Kind::SubHeading);
  EXPECT_EQ(g.rows[2].description, "Dangling heading: ");
  EXPECT_FALSE(g.rows[2].Selectable());
  for (const OptionRow& r : g.rows) EXPECT_EQ(r.description.find("Next vehicle"), std::string::npos);
}

TEST(OptionRows, ALongDescriptionTakesTwoRowsAndTheSecondIsNotSelectable) {
  std::string desc(249, 'a');
  desc += ' ';
  desc += std::string(50, 'b');  // 300 characters, a blank at position 250
  const OptionGrid g = OptionRowsFromLines({"G|" + desc + "|1000|1200|1|0"}, 1);
  ASSERT_EQ(g.rows.size(), 3u);
  EXPECT_EQ(g.rows[1].description.size(), 250u);
  EXPECT_EQ(g.rows[1].invoiceText, "$1,000");
  EXPECT_EQ(g.rows[1].fullDescription, desc);
  EXPECT_EQ(g.rows[2].kind, OptionRow::Kind::Continuation);
  EXPECT_EQ(g.rows[2].description, std::string(50, 'b'));
  EXPECT_EQ(g.rows[2].invoiceText, "");
  EXPECT_FALSE(g.rows[2].Selectable());

  // No blank in the first 255 characters: cut at 255.
  const OptionGrid h = OptionRowsFromLines({"G|" + std::string(300, 'c') + "|1|1|1|0"}, 1);
  ASSERT_EQ(h.rows.size(), 3u);
  EXPECT_EQ(h.rows[1].description.size(), 255u);
  EXPECT_EQ(h.rows[2].description.size(), 45u);
}

TEST(LoadOptions, ReadsTheBlockOfTheVehicleLine) {
  TempFolder t;
  t.WriteGuide("C", R"(
vehicle: 2000 | A | B | 500
option: G | One | 10 | 12
option: G | Two | 20 | 24
vehicle: 2000 | C | D | 500
vehicle: 2000 | E | F | 500
option: H | Three | 30 | 36
)");
  OptionGrid g = LoadOptions(t.Folder(), "C", 3);
  ASSERT_TRUE(g.error.empty()) << g.error;
  ASSERT_EQ(g.rows.size(), 2u);
  EXPECT_EQ(g.rows[1].description, "Three");
  g = LoadOptions(t.Folder(), "C", 1);
  EXPECT_EQ(g.rows.size(), 3u);
  // A vehicle line without options, and a page without a vehicle line: empty, no message.
  for (int64_t n : {2, 0}) {
    g = LoadOptions(t.Folder(), "C", n);
    EXPECT_TRUE(g.rows.empty());
    EXPECT_TRUE(g.error.empty());
  }
  // Past the index, a record past the text, and missing files: empty with a message.
  g = LoadOptions(t.Folder(), "C", 9);
  EXPECT_TRUE(g.rows.empty());
  EXPECT_NE(g.error.find("COptions.ndx"), std::string::npos);
  t.Write("COptions.ndx", IndexBytes({5000}));
  g = LoadOptions(t.Folder(), "C", 1);
  EXPECT_TRUE(g.rows.empty());
  EXPECT_NE(g.error.find("is damaged"), std::string::npos);
  t.Remove("COptions.ndx");
  g = LoadOptions(t.Folder(), "C", 1);
  EXPECT_EQ(g.error, "The data file \"" + t.File("COptions.ndx") + "\" is missing or cannot be read.");
  t.Remove("COptions.txt");
  g = LoadOptions(t.Folder(), "C", 1);
  EXPECT_EQ(g.error, "The data file \"" + t.File("COptions.txt") + "\" is missing or cannot be read.");
}

OptionGrid SampleGrid() {
  return OptionRowsFromLines(Block({
                                 "Paint|Paint|150|175|1|0",
                                 "Paint|Two-tone Paint Protection|200|240|1|0",
                                 "Other|Floor mats|68|95|1|0",
                                 "Other|Moonroof|850|1000|1|0",
                             }),
                             1);
}
// Grid rows: 1 "Paint" heading, 2 Paint, 3 Two-tone..., 4 "Other" heading, 5 Floor mats,
// 6 Moonroof.

TEST(MarkChosenOptions, MarksOptionsWhoseBeginningIsEqual) {
  OptionGrid g = SampleGrid();
  grid::Sheet list;
  list.SetTextRC(1, 1, "  Paint  ");
  list.SetNumberRC(1, 5, 4);
  list.SetTextRC(2, 1, "Moonroof");
  list.SetNumberRC(2, 5, 9);
  MarkChosenOptions(g, list);
  EXPECT_TRUE(g.rows[1].Marked());
  EXPECT_EQ(g.rows[1].sheetRow, 4);
  EXPECT_FALSE(g.rows[2].Marked());  // "Paint" does not mark "Two-tone Paint Protection"
  EXPECT_TRUE(g.rows[5].Marked());
  EXPECT_EQ(g.rows[5].sheetRow, 9);
  EXPECT_FALSE(g.rows[0].Marked());  // headings keep their group name
  EXPECT_EQ(g.rows[0].mark, "Paint");
}

TEST(MarkChosenOptions, ComparesTheFirst51Characters) {
  const std::string longName = std::string(51, 'x') + " with a longer end";
  OptionGrid g = OptionRowsFromLines({"G|" + longName + "|1|1|1|0"}, 1);
  grid::Sheet list;
  list.SetTextRC(1, 1, std::string(51, 'x') + " and another end");
  list.SetNumberRC(1, 5, 1);
  MarkChosenOptions(g, list);
  EXPECT_TRUE(g.rows[1].Marked());
}

TEST(MarkChosenOptions, AnEmptyOptionListMarksNothing) {
  OptionGrid g = OptionRowsFromLines({"G||1|1|1|0"}, 1);
  grid::Sheet list;
  MarkChosenOptions(g, list);
  for (const OptionRow& r : g.rows) EXPECT_FALSE(r.Marked());
}

class SelectTest : public ::testing::Test {
 protected:
  grid::Sheet& Options() { return eng.WKS.SheetAt(2); }
  StrictPrompt sp;
  Engine eng;
  OptionGrid g = SampleGrid();
};

TEST_F(SelectTest, SelectingOnAnEmptySheetWritesRowOne) {
  eng.CurrentPage = 1;
  ASSERT_TRUE(SelectOpt(eng, g, 6));
  EXPECT_EQ(Options().MaxRow(), 1);
  EXPECT_EQ(Options().NumberRC(1, 1), 1);
  EXPECT_EQ(Options().TextRC(1, 2), "Moonroof");
  EXPECT_EQ(Options().NumberRC(1, 3), 850);
  EXPECT_EQ(Options().NumberRC(1, 4), 1000);
  EXPECT_TRUE(g.rows[5].Marked());
  EXPECT_EQ(g.rows[5].sheetRow, 1);
  EXPECT_EQ(eng.OptionCount, 1);
  EXPECT_EQ(eng.LastOptionCount, 1);
  EXPECT_EQ(ButtonsForRow(g, 6).unSelect, true);
  EXPECT_EQ(ButtonsForRow(g, 6).select, false);
}

TEST_F(SelectTest, OnlyUnmarkedOptionRowsCanBeSelected) {
  EXPECT_FALSE(SelectOpt(eng, g, 1));  // heading
  ASSERT_TRUE(SelectOpt(eng, g, 2));
  EXPECT_FALSE(SelectOpt(eng, g, 2));  // already marked
  EXPECT_FALSE(SelectOpt(eng, g, 0));
  EXPECT_FALSE(SelectOpt(eng, g, 99));
  EXPECT_FALSE(UnSelectOpt(eng, g, 3));  // not marked
  EXPECT_EQ(eng.OptionCount, 1);
  EXPECT_EQ((ButtonsForRow(g, 1).select || ButtonsForRow(g, 1).unSelect), false);
  EXPECT_EQ(ButtonsForRow(g, 0).select, false);
  EXPECT_EQ(ButtonsForRow(g, 3).select, true);
}

TEST_F(SelectTest, UnSelectRemovesTheRowAndKeepsTheOtherMarksMatched) {
  // Another page's option first, then three options of page 2.
  Options().SetNumberRC(1, 1, 1);
  Options().SetTextRC(1, 2, "Other page option");
  eng.CurrentPage = 2;
  ASSERT_TRUE(SelectOpt(eng, g, 2));  // sheet row 2
  ASSERT_TRUE(SelectOpt(eng, g, 5));  // sheet row 3
  ASSERT_TRUE(SelectOpt(eng, g, 6));  // sheet row 4
  EXPECT_EQ(Options().MaxRow(), 4);

  ASSERT_TRUE(UnSelectOpt(eng, g, 2));
  EXPECT_FALSE(g.rows[1].Marked());
  EXPECT_EQ(g.rows[1].mark, "");
  EXPECT_EQ(Options().MaxRow(), 3);
  EXPECT_EQ(g.rows[4].sheetRow, 2);
  EXPECT_EQ(g.rows[5].sheetRow, 3);
  EXPECT_EQ(eng.OptionCount, 3);  // stays raised

  // The later un-select takes its own option, not the other page's.
  ASSERT_TRUE(UnSelectOpt(eng, g, 6));
  ASSERT_EQ(Options().MaxRow(), 2);
  EXPECT_EQ(Options().TextRC(1, 2), "Other page option");
  EXPECT_EQ(Options().TextRC(2, 2), "Floor mats");
  ASSERT_TRUE(UnSelectOpt(eng, g, 5));
  EXPECT_EQ(Options().MaxRow(), 1);
  EXPECT_EQ(Options().TextRC(1, 2), "Other page option");
}

TEST_F(SelectTest, UnSelectFindsTheOptionWhenTheRememberedRowIsWrong) {
  eng.CurrentPage = 1;
  Options().SetNumberRC(1, 1, 1);
  Options().SetTextRC(1, 2, "Floor mats");
  Options().SetNumberRC(2, 1, 1);
  Options().SetTextRC(2, 2, "Moonroof");
  grid::Sheet list;
  list.SetTextRC(1, 1, "Moonroof");
  list.SetNumberRC(1, 5, 1);  // stale: row 1 holds the floor mats
  MarkChosenOptions(g, list);
  ASSERT_TRUE(g.rows[5].Marked());
  ASSERT_TRUE(UnSelectOpt(eng, g, 6));
  EXPECT_EQ(Options().MaxRow(), 1);
  EXPECT_EQ(Options().TextRC(1, 2), "Floor mats");
}

TEST_F(SelectTest, TheWholeLongDescriptionGoesOnThePage) {
  const std::string desc = std::string(260, 'd') + " end";
  OptionGrid longGrid = OptionRowsFromLines({"G|" + desc + "|10|12|1|0"}, 1);
  EXPECT_FALSE(SelectOpt(eng, longGrid, 3));  // the continuation row
  ASSERT_TRUE(SelectOpt(eng, longGrid, 2));
  EXPECT_EQ(Options().TextRC(1, 2), desc);
}

TEST_F(SelectTest, ClosingRefillsRecalculatesAndAsksAboutTheResidual) {
  eng.page.BaseMSRP = 20000;
  eng.page.Residual = 10000;
  eng.RecalcPage();
  ASSERT_EQ(eng.res.TotalMSRP, 20000);
  ASSERT_TRUE(SelectOpt(eng, g, 6));  // MSRP 1000
  bool hidden = false;
  sp.prompt.Answer(ui::Answer::Yes);
  FinishOptionLookup(eng, [&] {
    hidden = true;
    EXPECT_TRUE(sp.prompt.Asked().empty());  // the question comes after the window is hidden
  });
  EXPECT_TRUE(hidden);
  ASSERT_EQ(sp.prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(sp.prompt.MessageTexts()[0],
            "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n50.0% of MSRP?");
  EXPECT_EQ(eng.OptionList.TextRC(1, 1), "Moonroof");
  EXPECT_EQ(eng.res.TotalMSRP, 21000);
  EXPECT_EQ(eng.page.Residual, 10500);  // 50% of 21000
  EXPECT_EQ(eng.SkipItemReload, 0);
}

TEST(OptionWindowLabel, CutsAtTheDashAfterTheColon) {
  EXPECT_EQ(OptionWindowLabel("2000 Tarvic Solvane: Sedans 4dr - Base"), "2000 Tarvic Solvane: Sedans 4dr ");
  EXPECT_EQ(OptionWindowLabel("2000 Off-Road: Brask"), "2000 Off-Road: Brask");
  EXPECT_EQ(OptionWindowLabel("Typed-in car"), "Typed");
  EXPECT_TRUE(StdEquipEnabled("2000 Tarvic Solvane: Sedans"));
  EXPECT_FALSE(StdEquipEnabled("Typed"));
}

}  // namespace
}  // namespace qv::pricing
