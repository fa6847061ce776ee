// The template merge: single fields, the five row families, the standard equipment, the
// escaping of values and the faults of a template.
#include <gtest/gtest.h>

#include "engine/Runtime.h"
#include "reports/ReportMerge.h"
#include "reports/RtfText.h"

namespace qv::reports {
namespace {

class MergeTest : public ::testing::Test {
 protected:
  // Merges `tmpl`; fails the test when the merge does not succeed.
  std::string Merge(const std::string& tmpl) {
    std::string doc = tmpl;
    const MergeResult r = MergeReportFields(ctx, doc, "[", "]", "Test.rtf");
    EXPECT_TRUE(r.ok()) << r.message;
    return doc;
  }
  // Merges `tmpl`, expecting a fault; the document must stay as it was.
  MergeResult Fails(const std::string& tmpl) {
    std::string doc = tmpl;
    const MergeResult r = MergeReportFields(ctx, doc, "[", "]", "Test.rtf");
    EXPECT_FALSE(r.ok()) << tmpl;
    EXPECT_EQ(doc, tmpl);
    return r;
  }
  void Adjust(int row, const char* desc, double cap, double cash) { e.items.Adjustments[row] = {desc, cap, cash}; }

  Engine e;
  ReportContext ctx{e};
};

// ---- single values -------------------------------------------------------------------------

TEST_F(MergeTest, ReplacesFieldsAndRemovesUnknownNames) {
  e.page.Margin = 1234.5;
  EXPECT_EQ(Merge("Margin: [Margin].[NoSuchField][paymentnt]"), "Margin: $1,234.50.");
  EXPECT_EQ(Merge("no fields at all"), "no fields at all");
  EXPECT_EQ(Merge("a ] stray close"), "a ] stray close");
}

TEST_F(MergeTest, AStrayBracketIsKeptAsWrittenAndTheMergeGoesOn) {
  e.res.PaymentWT = 412.5;
  EXPECT_EQ(Merge("{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}\\f0 Options [see page 2 for details\\par [PaymentWT]\\par }"),
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}\\f0 Options [see page 2 for details\\par $412.50\\par }");
  EXPECT_EQ(Merge("a [{\\b bold} note] b"), "a [{\\b bold} note] b");
}

TEST_F(MergeTest, RemovesLineBreaksOfTheTemplate) {
  e.page.Margin = 5;
  EXPECT_EQ(Merge("a\r\nb\rc\n[Mar\r\ngin]"), "abc$5.00");
}

TEST_F(MergeTest, ControlWordBeforeAFieldOrALineBreakKeepsItsEnd) {
  e.page.CarName = "Corvane";
  e.page.Months = 36;
  EXPECT_EQ(Merge("{\\b[CarName]}"), "{\\b Corvane}");
  EXPECT_EQ(Merge("{\\fs24[Months]}"), "{\\fs24 36.0}");
  EXPECT_EQ(Merge("{\\b\r\nTotal}"), "{\\b Total}");
  EXPECT_EQ(Merge("{\\b[Unknown]Total}"), "{\\b Total}");
}

TEST_F(MergeTest, InsertedTextIsNeverMergedAgain) {
  e.page.Memo = "Asked for [Memo] and [PaymentNT]";
  e.res.PaymentNT = 300;
  EXPECT_EQ(Merge("Notes: [Memo] / [PaymentNT]"), "Notes: Asked for [Memo] and [PaymentNT] / $300.00");
}

TEST_F(MergeTest, ValuesAreEscapedAndMarkupIsNot) {
  e.page.CarName = "Model {X} \\ Sp\xC3\xA9" "cial\tEdition";
  EXPECT_EQ(Merge("{\\b [CarName]}\\par "), "{\\b Model \\{X\\} \\\\ Sp\\'e9cial\\tab Edition}\\par ");
}

TEST_F(MergeTest, MonthlyDepreciationWithoutATermIsTheZeroSection) {
  e.res.CapCost = 21500;
  e.page.Residual = 12000;
  e.page.Months = 0;
  EXPECT_EQ(Merge("[MonthlyDepreciation]"), " ");
}

// ---- adjustments ---------------------------------------------------------------------------

TEST_F(MergeTest, NoAdjustments) {
  EXPECT_EQ(Merge("A[AdjustAll.Desc]030 [AdjustAll.Cap]\\tab [AdjustAll.Cash]\\par Z"),
            "ANo Adjustments \\par \\par Z");
}

TEST_F(MergeTest, AdjustmentRowsStopAtTheFirstEmptyRow) {
  Adjust(1, "Rust proofing", 0, 150);
  Adjust(2, "Wheel locks", 0, 40);
  Adjust(4, "Not printed", 0, 99);
  EXPECT_EQ(Merge("A[AdjustAll.Desc]030 [AdjustAll.Cash]\\par Z"),
            "ARust proofing\\tab \\tab $150.00\\tab \\par "
            "Wheel locks\\tab \\tab $40.00\\tab \\par Z");
}

TEST_F(MergeTest, AdjustmentSectionFieldSetsItsOwnColumn) {
  Adjust(1, "Rust proofing", 0, 150);
  Adjust(2, "Wheel locks", 10, 40);
  // The cash section field writes the cash and the total; row 1's total is followed by a tab.
  EXPECT_EQ(Merge("A[AdjustAll.Cash]\\par Z"),
            "A\\tab $150.00\\tab $150.00\\tab \\par "
            "\\tab $40.00\\tab $50.00\\par Z");
  // Every column the row template names, the zero cap as one blank.
  EXPECT_EQ(Merge("[AdjustAll.Desc]030 [AdjustAll.Cap][AdjustAll.Cash][AdjustAll.Total]\\par "),
            "Rust proofing\\tab  \\tab $150.00\\tab $150.00\\tab \\par "
            "Wheel locks\\tab $10.00\\tab $40.00\\tab $50.00\\par ");
}

TEST_F(MergeTest, TotalMarkersStartTheAdjustmentSection) {
  Adjust(1, "Rust proofing", 100, 50);
  EXPECT_EQ(Merge("[AdjustAll.Total]\\par Z"), "\\tab \\tab $150.00\\tab \\par Z");
  EXPECT_EQ(Merge("[AdjustmentsAll.Total]\\par Z"), "\\tab \\tab $150.00\\tab \\par Z");
}

TEST_F(MergeTest, LongDescriptionsAreWrappedBelowTheRow) {
  Adjust(1, "Extended service contract covering powertrain", 0, 1200);
  EXPECT_EQ(Merge("[AdjustAll.Desc]030 [AdjustAll.Cash]\\par "),
            "Extended service contract\\tab \\tab $1,200.00\\tab \\par covering powertrain\\par ");
  // The width is the three characters read as a number: "30 " and " 30" are 30, and a width
  // that is no number ("abc") is 0: the description is not wrapped.
  for (const char* width : {"30 ", " 30"})
    EXPECT_EQ(Merge(std::string("[AdjustAll.Desc]") + width + " [AdjustAll.Cash]\\par "),
              "Extended service contract\\tab \\tab $1,200.00\\tab \\par covering powertrain\\par ")
        << width;
  EXPECT_EQ(Merge("[AdjustAll.Desc]abc [AdjustAll.Cash]\\par "),
            "Extended service contract covering powertrain\\tab \\tab $1,200.00\\tab \\par ");
}

TEST_F(MergeTest, DescriptionsAreEscapedPieceByPiece) {
  Adjust(1, "Tint {rear} \\ front windows and the windshield strip", 0, 300);
  EXPECT_EQ(Merge("[AdjustAll.Desc]020 [AdjustAll.Cash]\\par "),
            "Tint \\{rear\\} \\\\ front\\tab \\tab $300.00\\tab \\par windows and the\\par windshield strip\\par ");
}

// ---- end-of-lease fees --------------------------------------------------------------------

TEST_F(MergeTest, EndOfLeaseFees) {
  EXPECT_EQ(Merge("[EOLFeesAll.Desc]020 [EOLFeesAll.Amount]\\par Z"), "No End-of-lease Fees \\par \\par Z");
  e.items.EOLFees[1] = {"Excess mileage", 0};
  e.items.EOLFees[2] = {"Disposition fee", 395};
  EXPECT_EQ(Merge("[EOLFeesAll.Desc]020 [EOLFeesAll.Amount]\\par Z"),
            "Excess mileage\\tab  \\par Disposition fee\\tab $395.00\\par Z");
  // The amount marker also starts the section.
  EXPECT_EQ(Merge("[EOLFeesAll.Amount]\\par Z"), " \\par $395.00\\par Z");
}

// ---- options -------------------------------------------------------------------------------

TEST_F(MergeTest, OptionRows) {
  EXPECT_EQ(Merge("[OptName.All]030 [OptInv.All][OptMSRP.All]\\par Z"), "No Options \\par \\par Z");
  e.OptionList.SetTextRC(1, 1, "Moonroof");
  e.OptionList.SetNumberRC(1, 2, 400);
  e.OptionList.SetNumberRC(1, 3, 500);
  e.OptionList.SetTextRC(3, 1, "Mats");
  e.OptionList.SetNumberRC(3, 2, 60);
  e.OptionList.SetNumberRC(3, 3, 90);
  // An empty row does not end the list; every row is followed by one more paragraph end.
  EXPECT_EQ(Merge("[OptName.All]030 [OptInv.All][OptMSRP.All]\\par Z"),
            "Moonroof\\tab $400.00\\tab $500.00\\par \\par "
            "\\tab  \\tab  \\par \\par "
            "Mats\\tab $60.00\\tab $90.00\\par \\par Z");
  EXPECT_EQ(Merge("[OptMSRP.All]\\par "), "$500.00\\par \\par  \\par \\par $90.00\\par \\par ");
}

// ---- lease comparison ------------------------------------------------------------------------

TEST_F(MergeTest, ComparisonClosedStopsTheMergeWithItsMessage) {
  const MergeResult r = Fails("A [Compare]024  and [Compare]024 ");
  EXPECT_EQ(r.status, MergeResult::Status::CompareClosed);
  EXPECT_EQ(r.message, "Compare Leases Window must be open.");
  ctx.sources.compareSheet = [] { return nullptr; };
  EXPECT_EQ(Fails("[Compare]024 ").message, "Compare Leases Window must be open.");
}

TEST_F(MergeTest, ComparisonTable) {
  grid::Sheet s;
  s.SetTextRC(1, 1, "Corvane Stratos LX four-door");
  s.SetTextRC(1, 2, "Page {2}");
  for (int r = 3; r <= 15; ++r)
    for (int c = 1; c <= 3; ++c) s.SetTextRC(r, c, std::to_string(r * 10 + c));
  ctx.sources.compareSheet = [&] { return &s; };
  const std::string out = Merge("<[Compare]015 >");
  std::string expected = "<\r\n";
  // The first heading wraps at the last blank within the width.
  expected += "\\tab Corvane\\tab Page \\{2\\}\\tab \r\n\\par ";
  expected += "\\tab Stratos LX\\tab \\tab \r\n\\par ";
  expected += "\\tab four-door\\tab \\tab \r\n\\par ";
  expected += "Purchase Price\\tab 31\\tab 32\\tab 33\r\n\\par ";
  EXPECT_EQ(out.substr(0, expected.size()), expected);
  EXPECT_NE(out.find("Lease / Cash Ratio\\tab 151\\tab 152\\tab 153\r\n\\par >"), std::string::npos) << out;
}

// ---- payment table ---------------------------------------------------------------------------

TEST_F(MergeTest, PaymentTableCopiesEveryRow) {
  grid::Sheet s;
  s.SetColText(1, "Margin");
  s.SetColText(2, "Cap\r\nCost");
  s.SetColText(3, "Lease 36\r\nRes 12,000");
  s.SetColText(4, "Months 48\r\nRes 11,000");
  s.SetNumberRC(1, 1, 500);
  s.SetNumberRC(1, 2, 21600);
  s.SetNumberRC(1, 3, 371.71);
  s.SetNumberRC(2, 1, 1000);
  s.SetNumberRC(2, 2, 22100);
  s.SetNumberRC(2, 3, 387.75);
  s.SetNumberRC(2, 4, 1313.4);
  ctx.sources.tablesSheet = [&] { return &s; };
  EXPECT_EQ(Merge("A[TableData]000 Z"),
            "AMargin\\tab Cap Cost\\tab Months=36\\tab Months=48\\tab \\tab \\par "
            "500\\tab 21,600.00\\tab 371.71\\tab \\tab \\tab \\par "
            "1,000\\tab 22,100.00\\tab 387.75\\tab 1,313.40\\tab \\tab \\par Z");
  ctx.sources.tablesSheet = nullptr;
  EXPECT_EQ(Merge("A[TableData]000 Z"), "AZ");
}

// ---- standard equipment -------------------------------------------------------------------

TEST_F(MergeTest, StandardEquipment) {
  std::string line;
  ctx.sources.standardEquipment = [&](int16_t) { return line; };
  line = "<h>Engine</h>Type: V6; Radio; x";
  EXPECT_EQ(Merge("[StdEquipment]"), "Engine Type:\\par  V6\\par Radio\\par ");
  line = "A~B; C";
  EXPECT_EQ(Merge("[StdEquipment]"), "A\\par B\\par ");
  line = "Seats {cloth}; <b>Safety</b>Dual front air bags; ";
  EXPECT_EQ(Merge("[StdEquipment]"), "Seats \\{cloth\\}\\par Safety Dual front air bags\\par ");
  line = "Lead <b>Audio</b>Speakers: 6; ";
  EXPECT_EQ(Merge("[StdEquipment]"), "Lead \\par Audio Speakers:\\par  6\\par ");
  e.page.MfgNum = 12;
  line = "<b>Engine Type: V6; ";
  const MergeResult r = Fails("[StdEquipment]");
  EXPECT_EQ(r.status, MergeResult::Status::TemplateFault);
  EXPECT_NE(r.message.find("Test.rtf"), std::string::npos);
  EXPECT_NE(r.message.find("vehicle line 12"), std::string::npos) << r.message;
}

// ---- template faults ---------------------------------------------------------------------------

TEST_F(MergeTest, MalformedTemplatesAreReportedByName) {
  struct Case {
    const char* tmpl;
    const char* says;
  };
  const Case cases[] = {
      {"Total [PaymentNT", "has no \"]\" after it"},
      {"[AdjustAll.Desc]030 [AdjustAll.Cash] no paragraph end", "has no \"\\par \" after it"},
      {"[OptName.All]\\par ", "has no \"\\par \" after it"},  // width "\pa" is 0; "r " skipped
      {"[EOLFeesAll.Desc]03", "must be followed by a width"},
      {"[TableData]00", "four characters"},
      {"[{\\b PaymentNT}]", "holds RTF markup"},
      // A known name split by markup, as a word processor writes a field typed in two formats.
      {"{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}\\f0 Pay {\\b [Payment}{\\i NT]}\\par }", "holds RTF markup"},
      {"[Opt{\\b Name.All]030 [OptInv.All]\\par ", "holds RTF markup"},
  };
  for (const auto& c : cases) {
    const MergeResult r = Fails(c.tmpl);
    EXPECT_EQ(r.status, MergeResult::Status::TemplateFault);
    EXPECT_NE(r.message.find("\"Test.rtf\""), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
  }
}

TEST_F(MergeTest, AReportOver16MBIsRefusedByTemplateName) {
  e.page.Memo = std::string(64 * 1024, 'm');
  std::string tmpl;
  for (int k = 0; k < 240; ++k) tmpl += "[Memo]";  // 15 MB: merged
  EXPECT_EQ(Merge(tmpl).size(), 240u * 64 * 1024);
  for (int k = 0; k < 20; ++k) tmpl += "[Memo]";  // 16.25 MB: refused
  const MergeResult r = Fails(tmpl);
  EXPECT_EQ(r.message, "The report template \"Test.rtf\" cannot be merged: the report would be larger than 16 MB.");
}

TEST_F(MergeTest, DroppedMarkupKeepsTheGroupsBalanced) {
  e.OptionList.SetTextRC(1, 1, "Moonroof");
  e.OptionList.SetNumberRC(1, 2, 400);
  // A word processor's row template: the runs are groups that open and close around the markers.
  const std::string tmpl = "{\\rtf1 {\\b [OptName.All]030 }{\\i [OptInv.All]}\\par }";
  const std::string out = Merge(tmpl);
  EXPECT_TRUE(BracesBalanced(out)) << out;
  EXPECT_EQ(out, "{\\rtf1 {\\b Moonroof\\tab $400.00\\par \\par }{}}");
  // A backslash as the last of the four dropped characters escapes nothing that stays.
  EXPECT_TRUE(BracesBalanced(Merge("{[TableData]123\\{}")));
}

TEST_F(MergeTest, OtherFieldMarks) {
  e.page.Margin = 7;
  std::string doc = "<<Margin>> and [Margin]";
  EXPECT_TRUE(MergeReportFields(ctx, doc, "<<", ">>").ok());
  EXPECT_EQ(doc, "$7.00 and [Margin]");
  doc = "x";
  EXPECT_FALSE(MergeReportFields(ctx, doc, "", "]").ok());
}

}  // namespace
}  // namespace qv::reports
