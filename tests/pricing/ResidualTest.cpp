// The residual guide: the index and record files, line classes and texts, runs, and the
// lookup's group lines, residual lines, locks, mileage points and the residual put on the
// page.
#include <gtest/gtest.h>

#include "PricingSupport.h"
#include "engine/Engine.h"
#include "pricing/ResidualLookup.h"

namespace qv::pricing {
namespace {

using test::StrictPrompt;
using test::TempFolder;

// A record of 114 bytes from its fields.
std::string Record(const std::string& maker, const std::string& kind, const std::string& code,
                   const std::string& desc, std::array<const char*, 4> terms = {"", "", "", ""},
                   const std::string& v6 = "", const std::string& v7 = "") {
  auto fit = [](std::string s, size_t n) {
    s.resize(n, ' ');
    return s;
  };
  auto right = [](const std::string& s, size_t n) { return std::string(n - s.size(), ' ') + s; };
  std::string r = right(maker, 3) + "  0" + fit(kind, 3) + fit(code, 6) + fit(desc, 25) + right(v6, 7) +
                  right(v7, 7) + std::string(8, ' ');
  for (const char* t : terms) r += right(t, 6);
  r += std::string(28, ' ');
  EXPECT_EQ(r.size(), 114u);
  return r;
}

TEST(ResidualIndex, SkipsEmptyLinesAndReadsNamesAndRecords) {
  const ResidualIndex idx = ParseResidualIndex(
      "HEADER ONE\r\nHEADER TWO\r\nTARVIC              1\r\n\r\nOSKARO             31\r\nSHORT\r\n"
      "NONUMBER         abcd\r\n");
  EXPECT_EQ(idx.header1, "HEADER ONE");
  EXPECT_EQ(idx.header2, "HEADER TWO");
  ASSERT_EQ(idx.items.size(), 4u);
  EXPECT_EQ(idx.items[0].name, "TARVIC           ");
  EXPECT_EQ(idx.items[0].firstRecord, 1);
  EXPECT_EQ(idx.items[1].firstRecord, 31);
  EXPECT_EQ(idx.items[2].name, "SHORT");
  EXPECT_EQ(idx.items[2].firstRecord, 0);
  EXPECT_EQ(idx.items[3].firstRecord, 0);
  EXPECT_TRUE(ParseResidualIndex("").items.empty());
  EXPECT_NE(ReadResidualIndex("/no/such/ALG00.DR1").error.find("/no/such/ALG00.DR1"), std::string::npos);
}

TEST(ResidualRecord, FieldsByWidth) {
  const ResidualRecord r =
      ParseResidualRecord(Record("1", " 20", "MR", "POWER MOONROOF", {"52", "", "", ""}, "350", "425"));
  EXPECT_EQ(r.field(1), "  1");
  EXPECT_EQ(r.Kind(), " 20");
  EXPECT_EQ(r.Code(), "MR    ");
  EXPECT_EQ(r.Description(), "POWER MOONROOF           ");
  EXPECT_EQ(r.field(6), "    350");
  EXPECT_EQ(r.field(10), "    52");
  EXPECT_EQ(r.TermValue(0), 52);
  EXPECT_EQ(r.TermValue(1), 0);
  EXPECT_TRUE(r.HasResidualData());
  // A short record reads its missing bytes as blanks.
  const ResidualRecord s = ParseResidualRecord("  1");
  EXPECT_EQ(s.field(5), std::string(25, ' '));
  EXPECT_FALSE(s.HasResidualData());
}

TEST(ResidualLines, ClassesAndListTexts) {
  const std::string ten(10, ' ');
  struct Case {
    std::string record;
    ResidualLineClass cls;
    std::string text;
  } cases[] = {
      {Record("1", "  1", "TSO", "SOLVANE"), ResidualLineClass::Model,
       "TSO   SOLVANE" + std::string(20, ' ')},
      {Record("1", "ADD", "", "MOONROOF"), ResidualLineClass::Model, std::string(6, ' ') + "MOONROOF" + std::string(19, ' ')},
      {Record("1", " 20", "MR", "MOONROOF", {"", "", "", ""}, "350", "425"), ResidualLineClass::Option,
       ten + "MR     MOONROOF" + std::string(19, ' ') + std::string(27, ' ') + "    350     425"},
      {Record("1", "190", "", "ALLOY WHEELS"), ResidualLineClass::Add,
       ten + "   ALLOY WHEELS Add" + std::string(13, ' ')},
      {Record("1", "197", "", "X"), ResidualLineClass::Add, ten + "   X Add" + std::string(24, ' ')},
      {Record("1", "198", "", "FLEET"), ResidualLineClass::Deduct, ten + "   FLEET Deduct" + std::string(17, ' ')},
      {Record("1", "EAA", "", " AIR COND | NOT FITTED"), ResidualLineClass::DeductAdjust,
       ten + " w/o AIR COND Deduct" + std::string(12, ' ')},
      {Record("1", "EDA", "", "AUTOMATIC"), ResidualLineClass::DeductAdjust,
       ten + " w/o AUTOMATIC Deduct" + std::string(11, ' ')},
      {Record("1", "9.5", "", "M"), ResidualLineClass::Model, std::string(6, ' ') + "M" + std::string(26, ' ')},
      {Record("1", " 10", "", "O"), ResidualLineClass::Option,
       ten + "       O" + std::string(26, ' ') + std::string(27, ' ') + std::string(7, ' ') + " " + std::string(7, ' ')},
  };
  for (const Case& c : cases) {
    const ResidualRecord r = ParseResidualRecord(c.record);
    EXPECT_EQ(ClassOf(r), c.cls) << c.record;
    EXPECT_EQ(ListText(r), c.text) << c.record;
  }
  // A long name is cut so that the text keeps its width.
  const ResidualRecord longAdd = ParseResidualRecord(Record("1", "ADD", "", "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  EXPECT_EQ(ListText(longAdd), std::string(6, ' ') + "ABCDEFGHIJKLMNOPQRSTUVWXY  ");
  const ResidualRecord longAddLine = ParseResidualRecord(Record("1", "195", "", "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  EXPECT_EQ(ListText(longAddLine), ten + "   ABCDEFGHIJKLMNOPQRSTUVWXY Add");
  const ResidualRecord longDeduct = ParseResidualRecord(Record("1", "199", "", "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  EXPECT_EQ(ListText(longDeduct), ten + "   ABCDEFGHIJKLMNOPQRSTUVWXY Ded");
}

TEST(ResidualRun, RunsEndAtAnotherMakerOrTheLastRecord) {
  const std::string bytes = Record("1", "  1", "A", "FIRST") + Record("1", "  2", "", "    TRIM", {"50", "", "", ""}) +
                            Record("2", "  1", "B", "SECOND") + Record("2", "ADD", "", "X", {"1", "", "", ""}) +
                            "partial record";
  ResidualRun run = ListRunFromBytes(bytes, 1);
  ASSERT_TRUE(run.error.empty());
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_EQ(run.lines[0].recordNumber, 1);
  EXPECT_EQ(run.lines[0].text, "A     FIRST" + std::string(20, ' '));
  EXPECT_EQ(run.lines[1].recordNumber, 2);
  run = ListRunFromBytes(bytes, 3);
  ASSERT_EQ(run.lines.size(), 2u);  // the partial record is ignored
  EXPECT_EQ(run.lines[1].recordNumber, 4);
  // The first record is listed as code and description whatever its kind.
  run = ListRunFromBytes(bytes, 4);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0].text, std::string(6, ' ') + "X" + std::string(24, ' '));
  for (int64_t first : {0, 5, -1}) {
    run = ListRunFromBytes(bytes, first);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.error.find("record " + std::to_string(first)), std::string::npos) << run.error;
  }
}

// A year of two makers: TARVIC (records 1-9) and OSKARO (records 10-11).
class LookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto item = [](const std::string& name, const std::string& rec) {
      return name + std::string(17 - name.size(), ' ') + std::string(4 - rec.size(), ' ') + rec + "\r\n";
    };
    // Found whatever the case of its name; an empty line between the items.
    t.Write("alg00.dr1", "HEAD 1\r\nHEAD 2\r\n" + item("TARVIC", "1") + "\r\n" + item("OSKARO", "10") +
                             item("BROKEN", "99"));
    t.Write("ALG00.RV1", Record("1", "  1", "TSO", "SOLVANE") +                               // 0
                             Record("1", "  2", "", "    SOLVANE BASE", {"52", "45", "40", "33"}) +  // 1
                             Record("1", "  2", "", "    SOLVANE PLUS", {"53", "46", "41", "34"}) +  // 2
                             Record("1", "ADD", "", "    MOONROOF", {"2", "2", "1", "1"}) +       // 3
                             Record("1", "EAA", "", "AIR|NOT FITTED", {"2", "2", "3", "3"}) +     // 4
                             Record("1", "ADD", "", "    ZERO FIRST", {"0", "1", "1", "1"}) +     // 5
                             Record("1", " 20", "MR", "OPTION", {"5", "5", "5", "5"}, "1", "2") + // 6
                             Record("1", "  1", "TQU", "QUILLET") +                             // 7
                             Record("1", "ADD", "", "    SPOILER", {"1", "1", "1", "1"}) +        // 8
                             Record("2", "  1", "OTR", "TREVIAN") +
                             Record("2", "  2", "", "    TREVIAN S", {"50", "44", "38", "31"}));
    std::string error;
    ASSERT_TRUE(look.Load(t.Folder(), "2000", error)) << error;
    ASSERT_TRUE(look.UpdateModel(0, error)) << error;
  }
  TempFolder t;
  ResidualLookup look;
};

TEST_F(LookupTest, LoadsTheMakersAndTheRunOfTheFirst) {
  EXPECT_EQ(look.Caption(), "ALG Residuals for 2000 Models");
  ASSERT_EQ(look.ManufacturerTexts().size(), 3u);
  EXPECT_EQ(look.ManufacturerTexts()[1], "OSKARO           ");
  ASSERT_EQ(look.LineCount(), 9);
  EXPECT_EQ(look.LineText(0), "TSO   SOLVANE                  ");
  EXPECT_EQ(look.Line(4).recordNumber, 5);
  std::string error;
  ASSERT_TRUE(look.UpdateModel(1, error));
  EXPECT_EQ(look.LineCount(), 2);
  // An index line naming a record past the end: an empty list and one message.
  EXPECT_FALSE(look.UpdateModel(2, error));
  EXPECT_EQ(look.LineCount(), 0);
  EXPECT_EQ(error, "The data file \"" + t.File("ALG00.RV1") +
                       "\" is damaged: its index names record 99, but it holds 11 records.");
}

TEST_F(LookupTest, MissingYearFilesGiveAMessageNamingThem) {
  ResidualLookup other;
  std::string error;
  EXPECT_FALSE(other.Load(t.Folder(), "1997", error));
  EXPECT_EQ(error, "The data file \"" + t.File("ALG97.DR1") + "\" is missing or cannot be read.");
  EXPECT_TRUE(other.ManufacturerTexts().empty());
  t.Remove("ALG00.RV1");
  EXPECT_FALSE(look.UpdateModel(0, error));
  EXPECT_EQ(error, "The data file \"" + t.File("ALG00.RV1") + "\" is missing or cannot be read.");
}

TEST_F(LookupTest, GroupLinesAreTheModelLinesAbove) {
  EXPECT_EQ(look.FindModelHeader(0), "");
  EXPECT_EQ(look.FindModelHeader(1), look.LineText(0));
  EXPECT_EQ(look.FindModelHeader(4), look.LineText(0));
  EXPECT_EQ(look.FindModelHeader(8), look.LineText(7));
  EXPECT_EQ(look.FindModelHeader(7), look.LineText(0));  // a model line's group is the one above
  EXPECT_EQ(look.GroupLineOf(2), 0);
  EXPECT_EQ(look.GroupLineOf(0), std::nullopt);
}

TEST_F(LookupTest, ResidualLinesWithMileagePoints) {
  ResidualLookup::ResView v = look.UpdateRes(1);
  ASSERT_TRUE(v.showsResidual);
  EXPECT_EQ(v.label1, "Residual Value in % of MSRP");
  EXPECT_FALSE(v.button2Visible);
  EXPECT_EQ(v.lines, (std::vector<std::string>{" 24 Months: 52 + 0 = 52%  of  MSRP", " 36 Months: 45 + 0 = 45%  of  MSRP",
                                               " 48 Months: 40 + 0 = 40%  of  MSRP",
                                               " 60 Months: 33 + 0 = 33%  of  MSRP"}));
  look.SetMiles12000(true);
  v = look.UpdateRes(1);
  EXPECT_EQ(v.lines, (std::vector<std::string>{" 24 Months: 53 + 0 = 53%  of  MSRP", " 36 Months: 47 + 0 = 47%  of  MSRP",
                                               " 48 Months: 42 + 0 = 42%  of  MSRP",
                                               " 60 Months: 36 + 0 = 36%  of  MSRP"}));
  // A line without residual data shows nothing.
  EXPECT_FALSE(look.UpdateRes(0).showsResidual);
  EXPECT_TRUE(look.UpdateRes(0).lines.empty());
  EXPECT_FALSE(look.UpdateRes(-1).showsResidual);
}

TEST_F(LookupTest, AdjustmentLinesShowTheirPointsAndTheLockButton) {
  ResidualLookup::ResView v = look.UpdateRes(3);
  EXPECT_EQ(v.label1, "Add (Click 'Add' to Lock In)");
  EXPECT_TRUE(v.button2Visible);
  EXPECT_EQ(v.button2Caption, "&Add");
  EXPECT_EQ(v.lines[0], " 24 Months:      2%  of  MSRP");
  v = look.UpdateRes(4);
  EXPECT_EQ(v.label1, "Deduct (Click 'Deduct' to Lock In)");
  EXPECT_EQ(v.button2Caption, "&Deduct");
}

TEST_F(LookupTest, LockingADeductAndUnlockingIt) {
  ASSERT_TRUE(look.ToggleLock(4));  // EAA 2, 2, 3, 3
  EXPECT_TRUE(look.IsLocked(4));
  EXPECT_EQ(look.LineText(4), std::string(" <lock>") + look.Line(4).text);
  EXPECT_EQ(look.LockedAdjust(0), -2);
  EXPECT_EQ(look.LockedAdjust(2), -3);
  EXPECT_EQ(look.LockedHeader(), 0);
  EXPECT_EQ(look.UpdateRes(4).button2Caption, "Un-&Lock");
  // The lock shows on the lines of its group.
  EXPECT_EQ(look.UpdateRes(1).lines[2], " 48 Months: 40 - 3 = 37%  of  MSRP");
  // A locked line does not become a group line.
  EXPECT_EQ(look.GroupLineOf(5), 0);

  ASSERT_TRUE(look.ToggleLock(4));
  EXPECT_FALSE(look.IsLocked(4));
  EXPECT_EQ(look.LineText(4), look.Line(4).text);
  EXPECT_EQ(look.LockedAdjust(0), 0);
  EXPECT_EQ(look.LockedAdjust(3), 0);
  EXPECT_FALSE(look.HasLocks());
  EXPECT_EQ(look.UpdateRes(4).button2Caption, "&Deduct");
}

TEST_F(LookupTest, LocksAddUpInOneGroupAndBelongToIt) {
  ASSERT_TRUE(look.ToggleLock(3));  // ADD 2, 2, 1, 1
  ASSERT_TRUE(look.ToggleLock(5));  // ADD 0, 1, 1, 1: a 24-month 0 does not drop the locks
  EXPECT_TRUE(look.HasLocks());
  EXPECT_EQ(look.LockedAdjust(0), 2);
  EXPECT_EQ(look.LockedAdjust(1), 3);
  EXPECT_EQ(look.UpdateRes(2).lines[1], " 36 Months: 46 + 3 = 49%  of  MSRP");
  // Another group's line sees none of them and cannot lock while they stand.
  EXPECT_FALSE(look.UpdateRes(8).button2Visible);
  EXPECT_FALSE(look.ToggleLock(8));
  // Lines that are no adjustments cannot be locked.
  EXPECT_FALSE(look.ToggleLock(1));
  EXPECT_FALSE(look.ToggleLock(6));

  // Another manufacturer clears the locks and the group they belonged to.
  std::string error;
  ASSERT_TRUE(look.UpdateModel(0, error));
  EXPECT_FALSE(look.HasLocks());
  EXPECT_EQ(look.LockedAdjust(1), 0);
  EXPECT_FALSE(look.IsLocked(3));
  EXPECT_TRUE(look.ToggleLock(8));
}

TEST_F(LookupTest, UseResidualComputesFromTheModelLine) {
  look.SetMiles12000(true);
  ResidualLookup::UseChoice c = look.PrepareUse(1, 0, 20000, 1);
  ASSERT_TRUE(c.ok) << c.refusal;
  EXPECT_EQ(c.months, 24);
  EXPECT_DOUBLE_EQ(c.fraction, 0.54);  // 52 + 2 points for 24 months
  EXPECT_EQ(c.value, 10800);
  EXPECT_EQ(c.allowedMiles, 12000);
  EXPECT_EQ(c.question, "Page 1 of the Worksheet will be modified to include\ra residual value of $20000 x .54 = $10800");

  look.SetMiles12000(false);
  c = look.PrepareUse(1, 0, 20000, 3);
  EXPECT_EQ(c.value, 10400);
  EXPECT_EQ(c.allowedMiles, 15000);

  // 60 months with a lock of the group: 33 - 3 (deduct) + 3 points for 12,000 miles.
  ASSERT_TRUE(look.ToggleLock(4));
  look.SetMiles12000(true);
  c = look.PrepareUse(1, 3, 25999.99, 2);
  EXPECT_EQ(c.months, 60);
  EXPECT_DOUBLE_EQ(c.fraction, 0.33);
  EXPECT_EQ(c.value, 8580);  // 25999.99 x .33 = 8579.9967, to the cent 8580.00
}

TEST_F(LookupTest, UseResidualRefusesLinesThatShowNoResidual) {
  struct Case {
    int sel, res;
    double msrp;
    const char* refusal;
  } cases[] = {
      {1, 0, 0, "CANNOT CALCULATE RESIDUAL VALUE\rBECAUSE MSRP IS ZERO."},
      {1, -1, 20000, "RESIDUAL VALUE MUST BE SELECTED"},
      {3, 0, 20000, "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE"},  // ADD
      {4, 0, 20000, "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE"},  // EAA
      {0, 0, 20000, "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE"},  // no residual data
      {-1, 0, 20000, "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE"},
  };
  for (const Case& c : cases) {
    const ResidualLookup::UseChoice u = look.PrepareUse(c.sel, c.res, c.msrp, 1);
    EXPECT_FALSE(u.ok) << c.sel;
    EXPECT_EQ(u.refusal, c.refusal) << c.sel;
  }
  // An option-class line with residual data shows a residual and gives it.
  EXPECT_EQ(look.UpdateRes(6).label1, "Residual Value in % of MSRP");
  const ResidualLookup::UseChoice u = look.PrepareUse(6, 2, 20000, 1);
  ASSERT_TRUE(u.ok) << u.refusal;
  EXPECT_DOUBLE_EQ(u.fraction, 0.05);
  EXPECT_EQ(u.value, 1000);  // 20000 x .05
}

// A group line, a model line, its trim (an option-class line) and a deduct adjustment of
// the trims below the model.
TEST(LookupTrim, ALockedDeductReachesTheTrimAndItsResidual) {
  TempFolder t;
  t.Write("ALG99.DR1", "HEADER\r\nHEADER 2\r\nMAKER               1\r\n");
  t.Write("ALG99.RV1", Record("1", "  1", "MK000", "MAKER 1999 MODELS") +
                           Record("1", "  2", "SED100", "SEDAN 4DR", {"52", "47", "41", "35"}) +
                           Record("1", " 20", "SED110", "BASE", {"53", "48", "42", "36"}, "18450", "20000") +
                           Record("1", "EAA", "", "AIR CONDITIONING|A/C", {"2", "2", "3", "3"}));
  ResidualLookup look;
  std::string error;
  ASSERT_TRUE(look.Load(t.Folder(), "1999", error)) << error;
  ASSERT_TRUE(look.UpdateModel(0, error)) << error;
  ASSERT_EQ(look.LineCount(), 4);
  ASSERT_EQ(ClassOf(look.Line(2).record), ResidualLineClass::Option);
  ASSERT_TRUE(look.ToggleLock(3));
  EXPECT_EQ(look.UpdateRes(2).lines[1], " 36 Months: 48 - 2 = 46%  of  MSRP");
  EXPECT_EQ(look.UpdateRes(1).lines[1], " 36 Months: 47 + 0 = 47%  of  MSRP");  // another group

  ResidualLookup::UseChoice c = look.PrepareUse(2, 1, 20000, 1);
  ASSERT_TRUE(c.ok) << c.refusal;
  EXPECT_EQ(c.months, 36);
  EXPECT_DOUBLE_EQ(c.fraction, 0.46);
  EXPECT_EQ(c.value, 9200);  // 20000 x .46
  EXPECT_EQ(c.question, "Page 1 of the Worksheet will be modified to include\ra residual value of $20000 x .46 = $9200");
  c = look.PrepareUse(1, 1, 20000, 1);
  ASSERT_TRUE(c.ok) << c.refusal;
  EXPECT_EQ(c.value, 9400);  // the model line: 47 %, without the lock
  // The adjustment itself stays refused.
  EXPECT_EQ(look.PrepareUse(3, 1, 20000, 1).refusal, "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE");
}

TEST_F(LookupTest, UseResidualAsksAndWritesThePage) {
  StrictPrompt sp;
  Engine eng;
  eng.page.BaseMSRP = 19500;
  eng.page.Dest = 500;
  eng.RecalcPage();
  ASSERT_EQ(eng.res.MSRP, 20000);
  look.SetMiles12000(true);

  sp.prompt.Answer(ui::Answer::Cancel);
  EXPECT_FALSE(look.UseResidual(eng, 1, 1, nullptr));
  EXPECT_EQ(eng.page.Residual, 0);
  EXPECT_EQ(sp.prompt.Asked().back().buttons, ui::Buttons::OKCancel);

  sp.prompt.Answer(ui::Answer::OK);
  std::string miles;
  ASSERT_TRUE(look.UseResidual(eng, 1, 1, &miles));
  EXPECT_EQ(sp.prompt.MessageTexts().back(),
            "Page 1 of the Worksheet will be modified to include\ra residual value of $20000 x .47 = $9400");
  EXPECT_EQ(eng.page.Residual, 9400);
  EXPECT_EQ(eng.page.Months, 36);
  EXPECT_EQ(eng.page.AllowedMiles, 12000);
  EXPECT_EQ(miles, "12,000");

  eng.res.MSRP = 0;
  sp.prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(look.UseResidual(eng, 1, 1, nullptr));
  EXPECT_EQ(sp.prompt.Asked().back().text, "CANNOT CALCULATE RESIDUAL VALUE\rBECAUSE MSRP IS ZERO.");
  EXPECT_EQ(sp.prompt.Asked().back().buttons, ui::Buttons::OK);
}

}  // namespace
}  // namespace qv::pricing
