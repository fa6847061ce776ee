// Price-guide lines: the numeric field rule, the three parsers, tags, amount codes, the
// year filter, and the vehicle-list entry with its decoding.
#include <gtest/gtest.h>

#include <cmath>

#include "pricing/GuideLines.h"

namespace qv::pricing {
namespace {

TEST(GuideNumber, ReadsTheLeadingDecimalNumber) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"550", 550},       {"  550", 550},    {"-555", -555},    {"12.5", 12.5},  {"12.5.3", 12.5},
      {"21450abc", 21450}, {"", 0},          {"abc", 0},        {"-", 0},        {".", 0},
      {" 1 2", 1},        {"+5", 0},         {"1e5", 1},        {"-0", 0},       {".75", 0.75},
  };
  for (const Case& c : cases) EXPECT_EQ(GuideNumber(c.text), c.value) << '"' << c.text << '"';
  EXPECT_FALSE(std::signbit(GuideNumber("-0")));
}

TEST(ParseManuf, TakesTheFiveFieldsAndConsumesTheLine) {
  std::string line = "Tarvic|2000|Solvane|485|7";
  std::string n1 = "x", year = "x", n2 = "x";
  double dest = 9, extra = 9;
  ParseManuf(line, n1, year, n2, dest, extra);
  EXPECT_EQ(n1, "Tarvic");
  EXPECT_EQ(year, "2000");
  EXPECT_EQ(n2, "Solvane");
  EXPECT_EQ(dest, 485);
  EXPECT_EQ(extra, 7);
  EXPECT_EQ(line, "7");

  // Texts keep their blanks.
  line = " Old Maker |1999| Line Two |  500|";
  ParseManuf(line, n1, year, n2, dest, extra);
  EXPECT_EQ(n1, " Old Maker ");
  EXPECT_EQ(n2, " Line Two ");
  EXPECT_EQ(dest, 500);
  EXPECT_EQ(extra, 0);
}

TEST(ParseManuf, ShortAndEmptyLinesReadMissingFieldsAsEmptyAndZero) {
  struct Case {
    const char* line;
    const char* n1;
    const char* year;
    const char* n2;
    double dest;
  } cases[] = {
      {"", "", "", "", 0},
      {"Tarvic", "Tarvic", "", "", 0},
      {"Tarvic|2000", "Tarvic", "2000", "", 0},
      {"Tarvic|2000|Solvane|485", "Tarvic", "2000", "Solvane", 485},
  };
  for (const Case& c : cases) {
    std::string line = c.line, n1 = "x", year = "x", n2 = "x";
    double dest = 9, extra = 9;
    ParseManuf(line, n1, year, n2, dest, extra);
    EXPECT_EQ(n1, c.n1) << c.line;
    EXPECT_EQ(year, c.year) << c.line;
    EXPECT_EQ(n2, c.n2) << c.line;
    EXPECT_EQ(dest, c.dest) << c.line;
    EXPECT_EQ(extra, 0) << c.line;
  }
}

TEST(ParseModelAndType, TakeTheirFields) {
  std::string line = "Solvane GT|12|34.0";
  std::string name;
  double key, rec;
  ParseModel(line, name, key, rec);
  EXPECT_EQ(name, "Solvane GT");
  EXPECT_EQ(key, 12);
  EXPECT_EQ(rec, 34);

  line = "|3";  // a blank model name, no type record
  ParseModel(line, name, key, rec);
  EXPECT_EQ(name, "");
  EXPECT_EQ(key, 3);
  EXPECT_EQ(rec, 0);

  line = "4dr Sedan  |15712|17195|8|99";
  double inv, msrp, fifth;
  ParseType(line, name, inv, msrp, key, fifth);
  EXPECT_EQ(name, "4dr Sedan  ");
  EXPECT_EQ(inv, 15712);
  EXPECT_EQ(msrp, 17195);
  EXPECT_EQ(key, 8);
  EXPECT_EQ(fifth, 99);

  line = "Heading|-999";
  ParseType(line, name, inv, msrp, key, fifth);
  EXPECT_EQ(inv, -999);
  EXPECT_EQ(msrp, 0);
  EXPECT_EQ(key, 0);

  EXPECT_EQ(ModelLineKey("A|12|3"), 12);
  EXPECT_EQ(TypeLineKey("A|1|2|31|0"), 31);
  EXPECT_EQ(TypeLineKey("A|1"), 0);
}

TEST(StripTags, RemovesThreeCharactersAtEachEnd) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"<B>Sedans<B>", "Sedans"}, {"<D>Fleet Models<D>", "Fleet Models"}, {"<B>x<B>", "x"},
               {"<B><B>", ""},             {"<B>", ""},                        {"", ""}};
  for (const Case& c : cases) {
    std::string t = c.in;
    StripTags(t);
    EXPECT_EQ(t, c.out) << c.in;
  }
  EXPECT_TRUE(HasTag("<B>Sedans<B>   "));
  EXPECT_TRUE(HasTag("Fleet <D>"));
  EXPECT_FALSE(HasTag("<b>lower<b>"));
}

TEST(AmountText, ShowsCodesAndNumbers) {
  EXPECT_EQ(AmountText(-555), std::string(11, ' '));
  EXPECT_EQ(AmountText(-999), std::string(11, ' '));
  EXPECT_EQ(AmountText(-888), "N/A");
  EXPECT_EQ(AmountText(21450), "21450");
  EXPECT_EQ(AmountText(21450.5), "21450.5");
  EXPECT_EQ(AmountText(0), "0");
  EXPECT_EQ(AmountText(-100), "-100");
  EXPECT_TRUE(IsHeadingCode(-555));
  EXPECT_TRUE(IsHeadingCode(-999));
  EXPECT_FALSE(IsHeadingCode(-888));
}

TEST(YearFilter, TestsSubstringsOfTheYear) {
  struct Case {
    const char* year;
    bool y2000, y1999, y1998, listed;
  } cases[] = {
      {"2000", true, false, false, true},  {"2000", false, true, true, false}, {"1999", false, true, false, true},
      {"1998", false, false, true, true},  {"1998", true, true, false, false}, {"2001", true, false, false, true},
      {"2008", false, false, true, true},  {"2008", true, false, false, true}, {"", true, true, true, false},
  };
  for (const Case& c : cases) {
    YearFilter f{c.y2000, c.y1999, c.y1998};
    EXPECT_EQ(f.Passes(c.year), c.listed) << c.year << " " << c.y2000 << c.y1999 << c.y1998;
  }
  // The browser opens with 2000 and 1999 checked.
  YearFilter opening;
  EXPECT_TRUE(opening.Passes("2000"));
  EXPECT_TRUE(opening.Passes("1999"));
  EXPECT_FALSE(opening.Passes("1998"));
}

TEST(ListEntry, HasFixedColumnsAndDecodesBack) {
  const std::string e = MakeListEntry("Tarvic", "2000", "Solvane", 550, 12);
  ASSERT_EQ(e.size(), 94u);
  EXPECT_EQ(e.substr(0, 36), "2000 Tarvic Solvane" + std::string(17, ' '));
  EXPECT_EQ(e.substr(36, 50), std::string(50, ' '));
  EXPECT_EQ(e.substr(86), " 550  12");
  const DecodedEntry d = DecodeListEntry(e);
  EXPECT_EQ(d.lineNumber, 12);
  EXPECT_EQ(d.dest, 550);
  EXPECT_EQ(d.description, "2000 Tarvic Solvane");
}

TEST(ListEntry, CutsALongDescriptionTo36Characters) {
  const std::string e = MakeListEntry("Brenmoor Motor Works", "1999", "Pentrow Grand Touring", 1500, 9999);
  EXPECT_EQ(e.substr(0, 36), "1999 Brenmoor Motor Works Pentrow Gr");
  EXPECT_EQ(e.substr(86), "15009999");
  const DecodedEntry d = DecodeListEntry(e);
  EXPECT_EQ(d.lineNumber, 9999);
  EXPECT_EQ(d.dest, 1500);
  EXPECT_EQ(d.description, "1999 Brenmoor Motor Works Pentrow Gr");
}

TEST(ListEntry, NumbersOfFiveDigitsDoNotDecodeFromTheText) {
  // Why the list carries the numbers beside the text: the text pushes them right.
  const std::string e = MakeListEntry("Tarvic", "2000", "Solvane", 550, 12345);
  EXPECT_EQ(e.size(), 95u);
  const DecodedEntry d = DecodeListEntry(e);
  EXPECT_NE(d.lineNumber, 12345);
}

TEST(ListEntry, DecodingShortTextDoesNotFail) {
  EXPECT_EQ(DecodeListEntry("").lineNumber, 0);
  EXPECT_EQ(DecodeListEntry("12").lineNumber, 12);
  EXPECT_EQ(DecodeListEntry("12").description, "");
}

TEST(TypeAhead, FindsTheFirstEntryByTheMakersInitial) {
  const std::vector<std::string> entries = {"2000 Tarvic Solvane", "2000 Oskaro Trevian", "1999 Oskaro Lumetta",
                                            "x"};
  EXPECT_EQ(TypeAheadIndex(entries, 'o', 0), 1);
  EXPECT_EQ(TypeAheadIndex(entries, 'T', 2), 0);
  EXPECT_EQ(TypeAheadIndex(entries, 'z', 2), 2);
}

}  // namespace
}  // namespace qv::pricing
