// Escaping values for RTF, joining pieces of RTF without running a control word into the
// text after it, and the template line-break removal.
#include <gtest/gtest.h>

#include "reports/RtfText.h"

namespace qv::reports {
namespace {

struct EscapeCase {
  const char* text;
  const char* rtf;
};

TEST(RtfText, EscapesEverythingThatIsNotPlainText) {
  const EscapeCase cases[] = {
      {"Plain text, 1 & 2 $5.00", "Plain text, 1 & 2 $5.00"},
      {"C:\\deals", "C:\\\\deals"},
      {"{braces}", "\\{braces\\}"},
      {"a\tb", "a\\tab b"},
      {"a\r\nb", "a\\line b"},
      {"a\nb\rc", "a\\line b\\line c"},
      {"Jos\xC3\xA9", "Jos\\'e9"},               // U+00E9 as a Windows-1252 byte
      {"\xE2\x82\xAC 5", "\\u8364? 5"},          // the euro sign beyond U+00FF
      {"\xEF\xBF\xBD", "\\u-3?"},                // U+FFFD as a signed 16-bit number
      {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // U+1F600 as a surrogate pair
      {"caf\xE9", "caf\\'e9"},                   // not UTF-8: the byte as it stands
      {"a\x01" "b\x7F" "c", "abc"},              // control characters dropped
      {"\xC2\x85x", "x"},                        // a C1 control character dropped
      {"[Memo]", "[Memo]"},                      // brackets mean nothing to RTF
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeRtf(c.text), c.rtf) << c.text;
}

TEST(RtfText, TellsWhenTheTextEndsInsideAControlWordOrEscape) {
  const std::pair<const char*, bool> cases[] = {
      {"", false},         {"text", false},      {"\\b", true},        {"\\fs24", true},
      {"\\li-", true},     {"\\li-20", true},    {"\\b ", false},      {"\\\\b", false},
      {"\\\\\\b", true},   {"\\", true},         {"\\\\", false},      {"\\'", true},
      {"\\'e", true},      {"\\'e9", false},     {"\\~", false},       {"\\{", false},
      {"\\b0x", false},    {"x\\par", true},     {"\\u233?", false},
  };
  for (const auto& [rtf, open] : cases) EXPECT_EQ(EndsOpen(rtf), open) << rtf;
}

TEST(RtfText, AppendingAfterAnOpenControlWordAddsItsDelimiter) {
  std::string out = "{\\b";
  AppendRtf(out, "Total");
  EXPECT_EQ(out, "{\\b Total");
  out = "{\\b ";
  AppendRtf(out, "Total");
  EXPECT_EQ(out, "{\\b Total");
  out = "{\\fs24";
  AppendRtf(out, "36.0");
  EXPECT_EQ(out, "{\\fs24 36.0") << "a digit would become part of the parameter";
  out = "\\b";
  AppendRtf(out, "");
  EXPECT_EQ(out, "\\b") << "nothing appended, nothing added";
  out = "x\\";
  AppendRtf(out, "{");
  EXPECT_EQ(out, "x\\ {") << "a lone backslash never escapes what follows";
}

TEST(RtfText, KeepsOnlyTheGroupMarksOfDroppedMarkup) {
  EXPECT_EQ(GroupMarks("}{\\rtlch\\b x\\{\\}\\\\}"), "}{}");
  EXPECT_EQ(GroupMarks("plain"), "");
}

TEST(RtfText, ChecksThatGroupsBalance) {
  EXPECT_TRUE(BracesBalanced("{\\rtf1 {\\b a}\\{}"));
  EXPECT_TRUE(BracesBalanced(""));
  EXPECT_FALSE(BracesBalanced("{a\\}"));
  EXPECT_FALSE(BracesBalanced("}{"));
  EXPECT_FALSE(BracesBalanced("{{}"));
}

TEST(RtfText, LineBreaksAreRemovedWithoutJoiningAControlWordToTheText) {
  const std::pair<const char*, const char*> cases[] = {
      {"\\b\r\nTotal", "\\b Total"},
      {"\\b \r\nTotal", "\\b Total"},
      {"Tot\r\nal", "Total"},
      {"[Payment\r\nNT]", "[PaymentNT]"},
      {"a\\\r\nb", "a\\par b"},  // backslash and line break: a paragraph mark
      {"\\par\n\\pard", "\\par \\pard"},
      {"\\fs20\n\n\n24", "\\fs20 24"},
      {"a\rb\nc", "abc"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(StripTemplateLineBreaks(in), out) << in;
}

TEST(RtfText, PlainTextDropsTheMarkup) {
  const std::pair<std::string, std::string> cases[] = {
      {"Payment}{\\i NT", "PaymentNT"},
      {"{\\b Pay}ment", "Payment"},
      {"\\fs-24 a\\'e9b", "ab"},
      {"x\\{y\\}\\\\z\\~", "x{y}\\z"},
      {"see page 2\\par [PaymentWT", "see page 2[PaymentWT"},
      {"end\\", "end"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(PlainText(in), out) << in;
}

TEST(RtfText, AControlWordHasAtMost32LettersAndDigits) {
  const std::string letters(kMaxControlWord, 'a'), digits(kMaxControlWord, '1');
  EXPECT_TRUE(EndsOpen("\\" + letters));
  EXPECT_FALSE(EndsOpen("\\" + letters + "a"));
  EXPECT_TRUE(EndsOpen("\\fs" + digits));
  EXPECT_FALSE(EndsOpen("\\fs" + digits + "1"));
  // A long run of letters is text, however it started.
  EXPECT_FALSE(EndsOpen("\\b " + std::string(100000, 'x')));
}

}  // namespace
}  // namespace qv::reports
