#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/NumText.h"

namespace qv {
namespace {

// ---- amount readers ----------------------------------------------------------------------

struct AmountCase {
  std::string text;
  double amount;  // ParseAmountText
  double money;   // ParseMoneyText
};

TEST(AmountTextTest, WorkedExamples) {
  const AmountCase cases[] = {
      {"$1,234,567.50", 1234567.5, 1234567.5},
      {"(1,500)", -1500, 0},
      {"7.25%", 0.0725, 7.25},
      {"-$25", -25, -25},
      {"(5%)", -0.05, 0},
      {"(12", 12, 0},
      {"$ 12", 12, 12},
      {"%", 0, 0},
      {"", 0, 0},
      // one parenthesis alone does not negate; every thousands separator is skipped
      {"12)", 12, 12},
      {"1,000,000", 1000000, 1000000},
      {"$1,234,567,890.25", 1234567890.25, 1234567890.25},
      {"9%", 0.09, 9},
      {".09", 0.09, 0.09},
      {"0.0025", 0.0025, 0.0025},
      {"($1,234.50)", -1234.5, 0},
      {"$$5", 0, 0},         // only the first "$" is blanked
      {"5%%", 0.05, 5},      // only the first "%" is blanked
      {"9E999", 0, 0},
      {"abc", 0, 0},
  };
  for (const AmountCase& c : cases) {
    EXPECT_EQ(ParseAmountText(c.text), c.amount) << '"' << c.text << '"';
    EXPECT_EQ(ParseMoneyText(c.text), c.money) << '"' << c.text << '"';
    EXPECT_EQ(ParseAmountText(&c.text), c.amount) << '"' << c.text << '"';
    EXPECT_EQ(ParseMoneyText(&c.text), c.money) << '"' << c.text << '"';
  }
}

TEST(AmountTextTest, NoTextAndOddTextGiveZero) {
  EXPECT_EQ(ParseAmountText(nullptr), 0);
  EXPECT_EQ(ParseMoneyText(nullptr), 0);
  EXPECT_FALSE(std::signbit(ParseAmountText("()")));
  const std::string longText = "$" + std::string(300, ',') + "1" + std::string(300, '0') + ".5%";
  EXPECT_DOUBLE_EQ(ParseAmountText(longText), 1e298);
  std::string junk;
  for (int i = 255; i >= 0; --i) junk += static_cast<char>(i);
  EXPECT_EQ(ParseAmountText(junk), 0);
  EXPECT_EQ(ParseMoneyText(junk), 0);
}

// ---- PadRight, CleanGridText, StripLineBreaks -------------------------------------------

TEST(TaxRateTextTest, ReadsPlainPercentagesAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool ok;
    double rate;
  };
  const Case cases[] = {
      {"6.5", true, 6.5},   {" 7 ", true, 7},     {"6.5%", true, 6.5},  {"6.5 %", true, 6.5},
      {".25", true, 0.25},  {"0", true, 0},       {"100", true, 100},   {"1e1", true, 10},
      {"abc", false, 0},    {"", false, 0},       {"%", false, 0},      {"6,5", false, 0},
      {"6.5x", false, 0},   {"-1", false, 0},     {"100.01", false, 0}, {"1e39", false, 0},
      {"1e999", false, 0},  {"nan", false, 0},    {"inf", false, 0},    {"$6", false, 0},
      {"6%%", false, 0},    {"+6", false, 0},
  };
  for (const Case& c : cases) {
    double rate = -7;
    EXPECT_EQ(ParseTaxRateText(c.text, rate), c.ok) << c.text;
    EXPECT_EQ(rate, c.ok ? c.rate : -7) << c.text;
  }
}

TEST(TextHelperTest, PadRight) {
  EXPECT_EQ(PadRight("ab", 5), "   ab");
  EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
  EXPECT_EQ(PadRight("ab", 2), "ab");
  EXPECT_EQ(PadRight("", 5), "");
  EXPECT_EQ(PadRight("ab", 0), "ab");
  EXPECT_EQ(PadRight("\xC3\xA9", 3), "  \xC3\xA9");  // one character, two bytes
}

TEST(TextHelperTest, CleanGridTextChangesItsArgument) {
  std::string s = "Invoice\r\n$1,234.00";
  std::string& r = CleanGridText(s);
  EXPECT_EQ(&r, &s);
  EXPECT_EQ(s, "Invoice $1,234.00");
  std::string two = "a\r\n\r\nb";
  EXPECT_EQ(CleanGridText(two), "a  b");
  std::string mixed = "a\nb\rc";
  EXPECT_EQ(CleanGridText(mixed), "ab c");
}

TEST(TextHelperTest, StripLineBreaks) {
  std::string s = "a\r\nb\rc\nd\r\n";
  StripLineBreaks(s);
  EXPECT_EQ(s, "abcd");
  std::string none = "plain text";
  StripLineBreaks(none);
  EXPECT_EQ(none, "plain text");
}

// ---- WrapText ----------------------------------------------------------------------------

struct WrapCase {
  int width;
  std::string text;
  std::string prefix;
  std::string expected;
};

TEST(WrapTextTest, Cases) {
  const WrapCase cases[] = {
      // not longer than the width: unchanged, however many blanks
      {5, "a b c", "/", "a b c"},
      {20, "a b c d e f", "/", "a b c d e f"},
      {8, "", "/", ""},
      // one break at position 8, then 15 - 9 = 6 is below the width
      {8, "aaa bbb ccc ddd", "/", "aaa bbb/ccc ddd"},
      {8, "aaa bbb ccc ddd eee fff", "/", "aaa bbb/ccc ddd/eee fff"},
      // a prefix with blanks counts towards the next line but is never broken inside
      {10, "aaaa bbbb cccc dddd eeee", " | ", "aaaa bbbb | cccc | dddd | eeee"},
      {10, "aaaa bbbbbbbbbbbb", " | ", "aaaa | bbbbbbbb | bbbb"},
      // a run longer than the width is broken at the width, nothing lost
      {4, "abcdefghij", "/", "abcd/efgh/ij"},
      // ... and a blank just after a full window is the break
      {4, "abcd efghij", "/", "abcd/efgh/ij"},
      // a line holding a line break breaks after its carriage return
      {8, "ab\r\ncd ef gh", "/", "ab\r/cd ef gh"},
      {8, "ab\rcd ef gh", "/", "ab\r/cd ef gh"},
      // UTF-8 characters are never cut
      {4, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "/",
       "\xC3\xA9\xC3\xA9/\xC3\xA9\xC3\xA9/\xC3\xA9"},
      {3, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "/",
       "\xC3\xA9/\xC3\xA9/\xC3\xA9/\xC3\xA9/\xC3\xA9"},
      // a prefix longer than the width still ends, one character per line
      {3, "abcdefgh", "-----", "abc-----d-----e-----f-----g-----h"},
      // no usable width: unchanged
      {0, "aaa bbb", "/", "aaa bbb"},
  };
  for (const WrapCase& c : cases)
    EXPECT_EQ(WrapText(static_cast<int16_t>(c.width), c.text, c.prefix), c.expected)
        << "width " << c.width << " text \"" << c.text << "\" prefix \"" << c.prefix << '"';
}

// Removes every occurrence of `prefix` (which holds no character of `text`).
std::string Unwrap(std::string s, const std::string& prefix) {
  for (size_t p; (p = s.find(prefix)) != std::string::npos;) s.erase(p, prefix.size());
  return s;
}

TEST(WrapTextTest, EndsAndKeepsEveryCharacterOfLongRuns) {
  const std::string prefix = "\\par    ";  // report markup: blanks inside the prefix
  const std::string run(500, 'x');
  for (int width : {1, 2, 5, 7, 8, 9, 40}) {
    std::string wrapped = WrapText(static_cast<int16_t>(width), run, prefix);
    EXPECT_EQ(Unwrap(wrapped, prefix), run) << width;
    EXPECT_GT(wrapped.size(), run.size()) << width;
  }
  // Blanks at the breaks are taken by the prefix; every other character stays.
  const std::string words = "Leather seats, power moonroof, premium sound and a towing package";
  std::string wrapped = WrapText(16, words, prefix);
  std::string restored = wrapped;
  for (size_t p; (p = restored.find(prefix)) != std::string::npos;) restored.replace(p, prefix.size(), " ");
  EXPECT_EQ(restored, words);
  // No line of words holds more than the width after its prefix's first character.
  size_t start = 0;
  for (size_t p = wrapped.find(prefix); p != std::string::npos; p = wrapped.find(prefix, start)) {
    EXPECT_LE(p - start, 16u) << wrapped;
    start = p + 1;
  }
}

// What a user types: the amount rule's shapes read as before; text it cannot read as a whole
// is refused rather than read as 0 (or as the number it starts with).
TEST(ReadAmountTextTest, ReadsWhatTheRuleReadsAndRefusesTheRest) {
  struct Case {
    const char* text;
    bool read;
    double value;
  } cases[] = {
      {"$1,234.50", true, 1234.5},  {"(500)", true, -500},  {"9%", true, 0.09},
      {".09", true, 0.09},          {"29500 ", true, 29500}, {"", true, 0},
      {"   ", true, 0},             {"-12", true, -12},     {"1 2", true, 12},
      {"1e308", true, 1e308},       {"abc", false, 0},      {"12abc", false, 0},
      {"Down payment: $1,234.50 (cash)", false, 0},         {"$", false, 0},
      {"1.2.3", false, 0},          {"nan", false, 0},      {"inf", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double v = -7;
    EXPECT_EQ(ReadAmountText(c.text, v), c.read);
    EXPECT_DOUBLE_EQ(v, c.read ? c.value : -7) << "unchanged when refused";
  }
  // A number beyond a double is not 0: it is too large, and the deal limits refuse it.
  double v = 0;
  ASSERT_TRUE(ReadAmountText("1e999", v));
  EXPECT_TRUE(std::isinf(v) && v > 0);
  ASSERT_TRUE(ReadAmountText("-9e400", v));
  EXPECT_TRUE(std::isinf(v) && v < 0);
  ASSERT_TRUE(ReadAmountText("1e-999", v));
  EXPECT_EQ(v, 0);
  // The money rule of the grids: no parentheses, no percent.
  EXPECT_TRUE(ReadMoneyText("$1,500", v));
  EXPECT_EQ(v, 1500);
  EXPECT_FALSE(ReadMoneyText("(1,500)", v));
  EXPECT_FALSE(ReadMoneyText("7%", v));
}

TEST(ReadAmountTextTest, DealValuesStayBelowOneHundredMillion) {
  EXPECT_TRUE(IsDealValue(99999999.99));
  EXPECT_TRUE(IsDealValue(-99999999.99));
  EXPECT_FALSE(IsDealValue(100000000));
  EXPECT_FALSE(IsDealValue(-100000000));
  EXPECT_FALSE(IsDealValue(1e21));
  EXPECT_FALSE(IsDealValue(std::nan("")));
  EXPECT_FALSE(IsDealValue(HUGE_VAL));
}

}  // namespace
}  // namespace qv
