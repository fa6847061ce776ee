#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/Runtime.h"

namespace qv {
namespace {

// ---- Format ------------------------------------------------------------------------------

struct FormatCase {
  const char* pattern;
  double value;
  const char* expected;
};

// Expected texts worked out by hand from the pattern rules: "#" optional digit (nothing
// before the point below 1), "0" required digit, "," grouping, "%" times 100, an empty
// section falls back to the first one (negative then with a leading minus), a written zero
// section shows as written, halves round away from zero at the shown decimals.
const FormatCase kFormatCases[] = {
    // money with a blank zero section
    {"$#,###.00;; ", 1234.5, "$1,234.50"},
    {"$#,###.00;; ", -1234.5, "-$1,234.50"},
    {"$#,###.00;; ", 0, " "},
    {"$#,###.00;; ", 2.675, "$2.68"},
    {"$#,###.00;; ", 0.5, "$.50"},
    {"$#,###.00;; ", 1234567.891, "$1,234,567.89"},
    {"$#,###.00;; ", 999.995, "$1,000.00"},
    {"$#,###.00;; ", 0.001, "$.00"},
    {"$#,###.00;; ", -0.001, "$.00"},
    // money with parentheses for negatives
    {"$#,###.00;($#,###.00); ", 1234.5, "$1,234.50"},
    {"$#,###.00;($#,###.00); ", -1234.5, "($1,234.50)"},
    {"$#,###.00;($#,###.00); ", 0, " "},
    {"$#,###.00;($#,###.00); ", -0.125, "($.13)"},
    {"$##,###.00;; ", 12345.6, "$12,345.60"},
    {"$#,##0.00", 0, "$0.00"},
    {"$#,##0.00", -5, "-$5.00"},
    {"$#,##0.00", 1234567, "$1,234,567.00"},
    {"$#,##0.00", 0.125, "$0.13"},
    {"$#,###.00;;$0", 0, "$0"},
    {"$#,###.00;;$0", 5, "$5.00"},
    {"$#,###;;N/A", 0, "N/A"},
    {"$#,###;;N/A", 1500, "$1,500"},
    // percentages
    {"##.00%;; ", 0.0725, "7.25%"},
    {"##.00%;; ", -0.0725, "-7.25%"},
    {"##.00%;; ", 0, " "},
    {"##.00%;; ", 0.00125, ".13%"},
    {"##.00%;; ", 1.23456, "123.46%"},
    {" ##.00%;; ", 0.05, " 5.00%"},
    {"(##%);; ", 0.55, "(55%)"},
    {"(##%);; ", -0.1, "-(10%)"},
    {"(##%);; ", 0, " "},
    {"(##%);; ", 0.125, "(13%)"},
    {"(##%);; ", 0.004, "(%)"},
    {"##.0%", 0.055, "5.5%"},
    {"##.0%", -0.055, "-5.5%"},
    {"##.0%", 0, ".0%"},
    {"##.0%", 0.0625, "6.3%"},
    {"##.0%", 1, "100.0%"},
    {"#.0%", 0.004, ".4%"},
    {"0.00%", 0.07125, "7.13%"},
    {"0.00%", 0, "0.00%"},
    {"0.00%", -0.5, "-50.00%"},
    {"0.00%;;", 0.085, "8.50%"},
    {"##.000%", 0.0625, "6.250%"},
    {"(0%); ", 0, "(0%)"},
    {"(0%); ", -0.1, " "},
    // factors and rates
    {"0.000000;; ", 0.0025, "0.002500"},
    {"0.000000;; ", -0.0025, "-0.002500"},
    {"0.000000;; ", 0, " "},
    {"0.000000;; ", 0.0000005, "0.000001"},
    {"0.000000", 0, "0.000000"},
    {".0000000;; ", 0.0025, ".0025000"},
    {".0000000;; ", 1.5, "1.5000000"},
    {"0.0##;;", 6, "6.0"},
    {"0.0##;;", 6.125, "6.125"},
    {"0.0##;;", -6.1, "-6.1"},
    {"0.0##;;", 0, "0.0"},
    {"0.0##;;", 6.1235, "6.124"},
    {"0.0##;;", 0.5, "0.5"},
    {"0.000###;; ", 6, "6.000"},
    {"0.000###;; ", 6.1234, "6.1234"},
    {"0.000###;; ", 6.12345678, "6.123457"},
    {".00#;; ", 0.15, ".15"},
    {".00#;; ", 0.125, ".125"},
    {".00#;; ", 1.5, "1.50"},
    // cell texts
    {"#.###", 1234.5, "1234.5"},
    {"#.###", -12.25, "-12.25"},
    {"#.###", 0, "."},
    {"#.###", 0.0005, ".001"},
    {"#.###", 100, "100."},
    {"#.###", 0.25, ".25"},
    {"#.###", -0.0004, "."},
    // whole numbers
    {"#,###;; ", 12000, "12,000"},
    {"#,###;; ", -1500, "-1,500"},
    {"#,###;; ", 0, " "},
    {"#,###;; ", 2.5, "3"},
    {"#,###;; ", 999.5, "1,000"},
    {"#,###;; ", 0.4, ""},
    {"#,##0", 1234.5, "1,235"},
    {"#,##0", 0, "0"},
    {"#,##0", -0.4, "0"},
    {"#,##0", 1e15, "1,000,000,000,000,000"},
    {"##", 7, "7"},
    {"##", -7, "-7"},
    {"##", 0, ""},
    {"##", 2.5, "3"},
    {"0", -2.5, "-3"},
    {"0;; ", 30, "30"},
    {"0;; ", 0, " "},
    {"##.00;;N/A", 0, "N/A"},
    {"##.00;;N/A", 36.5, "36.50"},
    {"#.0;;  ", 0, "  "},
    {"#.0;;  ", 36, "36.0"},
    {"####.00", 12345.678, "12345.68"},
    {"####.00", 0, ".00"},
    {"###0.00", 0.5, "0.50"},
    {"0.0", 1.25, "1.3"},
    {"0.0", -1.25, "-1.3"},
    {"0.0", 0, "0.0"},
    {"0.0", 0.05, "0.1"},
    {"0.0", 0.04, "0.0"},
    {"0.00", 1.005, "1.01"},
    // literal characters, signs, quotes and escapes
    {" + 0; - 0", 2, " + 2"},
    {" + 0; - 0", -2, " - 2"},
    {" + 0; - 0", 0, " + 0"},
    {"\"Rate \"0.0", 1.5, "Rate 1.5"},
    {"0.0\\x", 1.5, "1.5x"},
    {"0.0\"a;b\";(0.0)", -1.5, "(1.5)"},
};

TEST(FormatTest, PatternTable) {
  for (const FormatCase& c : kFormatCases)
    EXPECT_EQ(Format(c.value, c.pattern), c.expected)
        << "pattern \"" << c.pattern << "\" value " << c.value;
}

TEST(FormatTest, NonFiniteValuesFormatAsZero) {
  EXPECT_EQ(Format(std::numeric_limits<double>::quiet_NaN(), "$#,###.00;; "), " ");
  EXPECT_EQ(Format(std::numeric_limits<double>::infinity(), "0.00"), "0.00");
  EXPECT_EQ(Format(1e307, "0%"), "0%");  // times 100 leaves the double range
}

// ---- TextValue -----------------------------------------------------------------------

struct ValueCase {
  std::string text;
  double expected;
};

TEST(TextValueTest, LeadingNumberRule) {
  const ValueCase cases[] = {
      {"", 0},          {"abc", 0},          {"$5", 0},        {"12abc", 12},
      {"1,5", 1},       {"1 2", 12},         {"1.5E3", 1500},  {"1.5e3", 1500},
      {"1D2", 100},     {"2e-1", 0.2},       {"1E", 1},        {"1E+", 1},
      {"5.", 5},        {".5", 0.5},         {"-.5", -0.5},    {"-25", -25},
      {"+7", 7},        {"- 7", -7},         {"--7", 0},       {" \t\n3.5", 3.5},
      {"3\t5\n", 35},   {"3\r5", 3},         {".", 0},         {"&H1F", 31},
      {"&h1f", 31},     {"&O17", 15},        {"&O8", 0},       {"&HZ", 0},
      {"1.2.3", 1.2},   {"1e2e3", 100},      {"0.1", 0.1},     {"-0", 0},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(TextValue(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_FALSE(std::signbit(TextValue("-0")));
}

TEST(TextValueTest, OutOfRangeReadsZeroAndNothingCrashes) {
  EXPECT_EQ(TextValue("9E999"), 0);
  EXPECT_EQ(TextValue("-9E999"), 0);
  EXPECT_EQ(TextValue("1E-999"), 0);
  EXPECT_EQ(TextValue("1E99999999999999999999"), 0);
  EXPECT_EQ(TextValue("&H" + std::string(400, 'F')), 0);
  EXPECT_EQ(TextValue("1" + std::string(500, '0')), 0);          // 1E500
  EXPECT_EQ(TextValue("1" + std::string(299, '0')), 1e299);
  EXPECT_EQ(TextValue("1" + std::string(450, '0') + "E-400"), 1e50);
  EXPECT_EQ(TextValue("0." + std::string(500, '0') + "1"), 0);
  std::string junk;
  for (int i = 0; i < 256; ++i) junk += static_cast<char>(i);
  EXPECT_EQ(TextValue(junk), 0);
  EXPECT_EQ(TextValue(std::string_view("7\0" "8", 3)), 7);
}

TEST(TextValueTest, IsNumberText) {
  EXPECT_TRUE(IsNumberText("12"));
  EXPECT_TRUE(IsNumberText(" -1.5 "));
  EXPECT_TRUE(IsNumberText("1E5"));
  EXPECT_TRUE(IsNumberText("&H1F"));
  EXPECT_TRUE(IsNumberText(""));
  EXPECT_TRUE(IsNumberText("5."));
  EXPECT_FALSE(IsNumberText("abc"));
  EXPECT_FALSE(IsNumberText("12abc"));
  EXPECT_FALSE(IsNumberText("1,5"));
}

// ---- Str and general forms -------------------------------------------------------------

TEST(NumberFormsTest, StrForm) {
  const std::pair<double, const char*> cases[] = {
      {2, " 2"},          {-2, "-2"},          {0, " 0"},
      {0.5, " .5"},       {-0.25, "-.25"},     {1234.5, " 1234.5"},
      {0.1 + 0.2, " .3"}, {1.0 / 3, " .333333333333333"},
      {123456789012345.0, " 123456789012345"}, {1e15, " 1E+15"},
      {1.5e-5, " 1.5E-05"}, {0.0001, " .0001"}, {-1e100, "-1E+100"},
      {-1, "-1"},
  };
  for (auto& [v, s] : cases) EXPECT_EQ(StrNum(v), s) << v;
  EXPECT_EQ("Page" + StrNum(2), "Page 2");
  EXPECT_EQ(StrNum(std::numeric_limits<double>::quiet_NaN()), " 0");
}

TEST(NumberFormsTest, GeneralForm) {
  EXPECT_EQ(GeneralNumber(0.5), "0.5");
  EXPECT_EQ(GeneralNumber(-0.25), "-0.25");
  EXPECT_EQ(GeneralNumber(2.0), "2");
  EXPECT_EQ(GeneralNumber(0.0), "0");
  EXPECT_EQ(GeneralNumber(0.06), "0.06");
  EXPECT_EQ(GeneralNumber(1234.5678), "1234.5678");
  EXPECT_EQ(GeneralNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(GeneralNumber(6.1f), "6.1");
  EXPECT_EQ(GeneralNumber(1.1f), "1.1");
  EXPECT_EQ(GeneralNumber(0.0725f), "0.0725");
  EXPECT_EQ(GeneralNumber(12345678.0f), "1.234568E+07");
  // The general form reads back as the same double.
  for (double v : {0.1, 1.0 / 3, 2.0 / 3 * 1e-3, 123456.789, -98765.4321})
    EXPECT_NEAR(TextValue(GeneralNumber(v)), v, std::fabs(v) * 1e-14);
}

// ---- integer conversions ---------------------------------------------------------------

TEST(IntegerConversionTest, HalvesToEvenAndClamping) {
  const std::pair<double, int> cases16[] = {
      {2.5, 2},        {3.5, 4},          {-2.5, -2},      {-3.5, -4},   {2.4, 2},
      {2.6, 3},        {0.5, 0},          {1.5, 2},        {32767.4, 32767},
      {32767.5, 32767}, {1e6, 32767},     {-1e6, -32768},  {-32768.5, -32768},
  };
  for (auto& [v, e] : cases16) EXPECT_EQ(ToInt16(v), e) << v;
  EXPECT_EQ(ToInt16(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ToInt32(2.5), 2);
  EXPECT_EQ(ToInt32(-3.5), -4);
  EXPECT_EQ(ToInt32(1e12), 2147483647);
  EXPECT_EQ(ToInt32(-1e12), -2147483647 - 1);
  EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_FALSE(std::signbit(RoundHalfEven(-0.5)));
  EXPECT_EQ(RoundHalfEven(1e20 + 0.5), 1e20);
}

TEST(IntegerConversionTest, IntDiv) {
  EXPECT_EQ(IntDiv(7.5, 2), 4);   // 8 \ 2
  EXPECT_EQ(IntDiv(7, 2), 3);
  EXPECT_EQ(IntDiv(-7, 2), -3);
  EXPECT_EQ(IntDiv(6.5, 2.5), 3);  // 6 \ 2
  EXPECT_EQ(IntDiv(5.5, 1.5), 3);  // 6 \ 2
  EXPECT_EQ(IntDiv(36, 12), 3);
  EXPECT_EQ(IntDiv(10, 0.4), 0);   // divisor rounds to zero
  EXPECT_EQ(IntDiv(10, 0), 0);
  EXPECT_EQ(IntDiv(1e300, 1), std::numeric_limits<int64_t>::max());
}

// ---- records ---------------------------------------------------------------------------

TEST(RecordTest, WrittenLines) {
  EXPECT_EQ(WriteRecord({RecordValue::Text("QVEdit"), RecordValue::Number(0)}), "\"QVEdit\",0");
  EXPECT_EQ(WriteRecord({RecordValue::Number(0.06), RecordValue::Number(0.085)}), "0.06,0.085");
  EXPECT_EQ(WriteRecord({RecordValue::Number(-1)}), "-1");
  EXPECT_EQ(WriteRecord({RecordValue::Text("a \"b\"")}), "\"a \"\"b\"\"\"");
  EXPECT_EQ(WriteRecord({RecordValue::Text("")}), "\"\"");
}

TEST(RecordTest, RoundTripByCountWithQuotesAndCommas) {
  const std::string quoted = "He said \"hi\", then left";
  const std::string path = "C:\\Quorvant, Inc\\Lease.rtf";
  std::string file;
  file += WriteRecord({RecordValue::Number(0.06), RecordValue::Number(0.085)}) + "\r\n";
  file += WriteRecord({RecordValue::Text("QVEdit"), RecordValue::Number(0)}) + "\r\n";
  file += WriteRecord({RecordValue::Text(quoted)}) + "\r\n";
  file += WriteRecord({RecordValue::Text(path)}) + "\r\n";
  file += WriteRecord({RecordValue::Text("")}) + "\r\n";
  file += WriteRecord({RecordValue::Text("\"")}) + "\r\n";
  file += WriteRecord({RecordValue::Text("two\r\nlines")}) + "\r\n";
  file += WriteRecord({RecordValue::Number(-1)}) + "\r\n";

  RecordReader r(file);
  double n = 0;
  std::string t;
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, 0.06);
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, 0.085);
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "QVEdit");
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, 0);
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, quoted);
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, path);
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "");
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "\"");
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "two\r\nlines");
  bool isNumber = false;
  ASSERT_TRUE(r.NextNumber(n, &isNumber));
  EXPECT_EQ(n, -1);
  EXPECT_TRUE(isNumber);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_FALSE(r.NextText(t));
}

TEST(RecordTest, ReadsLooseInput) {
  // Blanks around values, bare words, text after a closing quote, empty values between
  // commas, LF and CR line ends, blank lines, booleans and a final value without line end.
  RecordReader r("  \"a b\"  , bare word ,12\n\"x\"junk,,\r\n\r\n#TRUE#,#FALSE#\rlast");
  std::string t;
  double n = 0;
  bool isNumber = true;
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "a b");
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "bare word");
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, 12);
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "x");
  ASSERT_TRUE(r.NextText(t));
  EXPECT_EQ(t, "");
  ASSERT_TRUE(r.NextNumber(n, &isNumber));  // empty value before the line end
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(isNumber);
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, -1);
  ASSERT_TRUE(r.NextNumber(n));
  EXPECT_EQ(n, 0);
  EXPECT_FALSE(r.AtEnd());
  ASSERT_TRUE(r.NextNumber(n, &isNumber));
  EXPECT_FALSE(isNumber);  // a text where a number was expected
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_FALSE(r.NextNumber(n));
}

TEST(RecordTest, TrailingCommaAndUnclosedQuote) {
  RecordReader a("1,");
  std::string t;
  ASSERT_TRUE(a.NextText(t));
  EXPECT_FALSE(a.AtEnd());
  ASSERT_TRUE(a.NextText(t));
  EXPECT_EQ(t, "");
  EXPECT_FALSE(a.NextText(t));

  RecordReader b("\"open, never closed\r\n2");
  ASSERT_TRUE(b.NextText(t));
  EXPECT_EQ(t, "open, never closed\r\n2");
  EXPECT_FALSE(b.NextText(t));

  RecordReader empty("");
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_FALSE(empty.NextText(t));
}

TEST(SplitLinesTest, LineEnds) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
  EXPECT_EQ(SplitLines(""), V{});
  EXPECT_EQ(SplitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\r\n"), (V{""}));
  EXPECT_EQ(SplitLines("a\n\rb"), (V{"a", "", "b"}));
}

TEST(TrimTest, OnlySpacesGo) {
  struct Case {
    const char* text;
    const char* trimmed;
    const char* trimmedRight;
  } cases[] = {
      {"  $1,200.50  ", "$1,200.50", "  $1,200.50"},
      {"a b", "a b", "a b"},
      {"   ", "", ""},
      {"", "", ""},
      {"\tx \t ", "\tx \t", "\tx \t"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.text), c.trimmed) << "\"" << c.text << "\"";
    EXPECT_EQ(TrimRight(c.text), c.trimmedRight) << "\"" << c.text << "\"";
  }
}

// ---- dates ---------------------------------------------------------------------------

TEST(DateTest, Serials) {
  EXPECT_EQ((Date{1899, 12, 30}.Serial()), 0);
  EXPECT_EQ((Date{1899, 12, 31}.Serial()), 1);
  EXPECT_EQ((Date{1900, 1, 1}.Serial()), 2);
  EXPECT_EQ((Date{1900, 3, 1}.Serial()), 61);  // 1900 is no leap year
  EXPECT_EQ((Date{2000, 1, 1}.Serial()), 36526);
  EXPECT_EQ((Date{2000, 2, 29}.Serial()), 36585);
  EXPECT_EQ((Date{2000, 3, 1}.Serial()), 36586);
  EXPECT_EQ((Date{2024, 1, 1}.Serial()), 45292);
  EXPECT_EQ(Date::FromSerial(45292.75), (Date{2024, 1, 1}));
  EXPECT_EQ(Date::FromSerial(-1.5), (Date{1899, 12, 29}));
  for (double s = -1000; s < 80000; s += 37) EXPECT_EQ(Date::FromSerial(s).Serial(), s);
  // The ends of the dates the old runtime knew, and serials far beyond them.
  EXPECT_EQ((Date{100, 1, 1}).Serial(), -657434);
  EXPECT_EQ((Date{9999, 12, 31}).Serial(), 2958465);
  const std::pair<double, Date> ends[] = {{1e308, {9999, 12, 31}},  {-1e308, {100, 1, 1}},
                                          {1e19, {9999, 12, 31}},   {2958466, {9999, 12, 31}},
                                          {-657435, {100, 1, 1}},   {std::nan(""), {1899, 12, 30}},
                                          {HUGE_VAL, {1899, 12, 30}}};
  for (const auto& [serial, date] : ends) EXPECT_EQ(Date::FromSerial(serial), date) << serial;
}

TEST(DateTest, ParseDateTexts) {
  const std::pair<const char*, Date> good[] = {
      {"10/15/2026", {2026, 10, 15}},   {" 10/15/2026 ", {2026, 10, 15}},
      {"1/5/26", {2026, 1, 5}},         {"1/5/30", {1930, 1, 5}},
      {"12/31/99", {1999, 12, 31}},     {"10-15-2026", {2026, 10, 15}},
      {"10.15.2026", {2026, 10, 15}},   {"2026-10-15", {2026, 10, 15}},
      {"2026/1/5", {2026, 1, 5}},       {"October 15, 2026", {2026, 10, 15}},
      {"oct 15 2026", {2026, 10, 15}},  {"Sept. 3, 2026", {2026, 9, 3}},
      {"15 October 2026", {2026, 10, 15}}, {"15-Oct-2026", {2026, 10, 15}},
      {"15/10/2026", {2026, 10, 15}},   {"2/29/2024", {2024, 2, 29}},
  };
  for (auto& [text, d] : good) {
    auto got = ParseDateText(text);
    ASSERT_TRUE(got.has_value()) << text;
    EXPECT_EQ(*got, d) << text;
  }
  for (const char* bad : {"", "abc", "2/30/2026", "2/29/2025", "13/13/2026", "10/15",
                          "10/15/2026x", "10/15-2026", "Smarch 1, 2026", "0/1/2026",
                          "10/15/12345", "1/1/1/1"})
    EXPECT_FALSE(ParseDateText(bad).has_value()) << bad;
}

TEST(DateTest, DateTexts) {
  EXPECT_EQ(FormatDateMDY({2026, 10, 5}), "10/05/2026");
  EXPECT_EQ(FormatDateMDY({1999, 1, 31}), "01/31/1999");
  EXPECT_EQ(FormatDateLong({2026, 10, 5}), "October 5, 2026");
  EXPECT_EQ(FormatDateLong({2027, 1, 31}), "January 31, 2027");
  auto back = ParseDateText(FormatDateMDY({2031, 7, 4}));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, (Date{2031, 7, 4}));
}

TEST(DateTest, NowAndTheSixtyDayReminder) {
  const double now = NowSerial();
  const Date day = Date::FromSerial(now);
  EXPECT_GE(now - day.Serial(), 0);
  EXPECT_LT(now - day.Serial(), 1);
  const Date today = Today();
  EXPECT_TRUE(today == day || today.Serial() == day.Serial() + 1);  // midnight in between
  // A data date 60 days back is more than 60 days old once the day has begun (the time of
  // day is the fraction); one 59 days back is not.
  EXPECT_LE(now - (day.Serial() - 60), 61);
  EXPECT_GE(now - (day.Serial() - 60), 60);
  EXPECT_LT(now - (day.Serial() - 59), 60);
}

}  // namespace
}  // namespace qv
