// The RTF reader on what word processors write.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "editor/richtext/Rtf.h"
#include "tests/richtext/Samples.h"

using namespace qv::richtext;

namespace {

Document Read(const std::string& body, const std::string& header = {}) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}" +
                    std::string("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
                    header + body + "}";
  RtfReadResult r = ReadRtf(rtf);
  EXPECT_TRUE(r.ok) << r.error << "\n" << rtf;
  return r.document;
}

const Paragraph& Para(const Document& d, size_t k = 0) {
  static const Paragraph none;
  if (k >= d.blocks.size() || !std::holds_alternative<Paragraph>(d.blocks[k])) {
    ADD_FAILURE() << "no paragraph " << k;
    return none;
  }
  return std::get<Paragraph>(d.blocks[k]);
}

const Table& TableAt(const Document& d, size_t k) {
  static const Table none;
  if (k >= d.blocks.size() || !std::holds_alternative<Table>(d.blocks[k])) {
    ADD_FAILURE() << "no table " << k;
    return none;
  }
  return std::get<Table>(d.blocks[k]);
}

}  // namespace

TEST(RtfReader, TextAndCharacterFormatsRunByRun) {
  // Every run in a group of its own, with the associated-font words (\rtlch, \af, \afs,
  // \ab, \hich, \dbch, \loch) that must change nothing.
  Document d = Read(
      "\\pard\\plain {\\rtlch\\af1\\afs40\\ab\\ltrch\\loch\\b\\loch Bold}"
      "{\\rtlch\\ab0\\ai\\hich\\af1\\dbch\\af1\\loch\\i\\f1\\fs28 Italic}"
      "{\\ul under}{\\uldb double}{\\strike gone}{\\cf1 red}{\\chcbpat2 shaded}"
      "{\\highlight1 marked}{\\up6 up}{\\dn4 down}{\\super sup}{\\sub sub}"
      "{\\b\\b0 plain}\\par");
  const Paragraph& p = Para(d);
  ASSERT_EQ(p.runs.size(), 13u);
  struct Case {
    const char* text;
    CharFormat format;
  };
  auto with = [](auto set) {
    CharFormat f;
    set(f);
    return f;
  };
  const Case cases[] = {
      {"Bold", with([](CharFormat& f) { f.bold = true; })},
      {"Italic", with([](CharFormat& f) { f.italic = true, f.font = "Arial", f.sizeHalfPoints = 28; })},
      {"under", with([](CharFormat& f) { f.underline = Underline::Single; })},
      {"double", with([](CharFormat& f) { f.underline = Underline::Double; })},
      {"gone", with([](CharFormat& f) { f.strike = true; })},
      {"red", with([](CharFormat& f) { f.color = Color{255, 0, 0}; })},
      {"shaded", with([](CharFormat& f) { f.background = Color{0, 0, 255}; })},
      {"marked", with([](CharFormat& f) { f.background = Color{255, 0, 0}; })},
      {"up", with([](CharFormat& f) { f.raiseHalfPoints = 6; })},
      {"down", with([](CharFormat& f) { f.raiseHalfPoints = -4; })},
      {"sup", with([](CharFormat& f) { f.position = VerticalPosition::Superscript; })},
      {"sub", with([](CharFormat& f) { f.position = VerticalPosition::Subscript; })},
      {"plain", CharFormat{}},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    EXPECT_EQ(p.runs[k].text, cases[k].text) << k;
    EXPECT_EQ(p.runs[k].format, cases[k].format) << cases[k].text;
  }
}

TEST(RtfReader, FontsAreMatchedByNameWhateverTheirNumbers) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff3{\\fonttbl{\\f3\\froman\\fcharset0 Liberation Serif;}"
      "{\\f0\\fswiss\\fcharset0{\\*\\panose 020b0604020202020204}Liberation Sans{\\*\\falt Arial};}"
      "\\f7\\fmodern Courier New;}"
      "\\pard\\plain{\\f0 sans}{\\f7 mono}{\\f3 serif}{\\f9 unknown}\\par}");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.document.defaultFont, "Liberation Serif");
  const Paragraph& p = Para(r.document);
  ASSERT_EQ(p.runs.size(), 3u);
  EXPECT_EQ(p.runs[0].text, "sans");
  EXPECT_EQ(p.runs[0].format.font, "Liberation Sans");
  EXPECT_EQ(p.runs[1].text, "mono");
  EXPECT_EQ(p.runs[1].format.font, "Courier New");
  EXPECT_EQ(p.runs[2].text, "serifunknown");  // the default font and an unknown one read alike
  EXPECT_EQ(p.runs[2].format.font, "");
}

TEST(RtfReader, CharactersByCodeAndByCodePage) {
  struct Case {
    const char* rtf;
    const char* text;
  } cases[] = {
      {"\\'e9t\\'e9 \\'80 \\'93q\\'94", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D"},
      {"\\uc1\\u233\\'e9t\\u233?", "\xC3\xA9t\xC3\xA9"},
      {"\\uc2\\u8364 xyz", "\xE2\x82\xACz"},                        // two fallback characters
      {"\\uc1\\u8364\\'80\\'80", "\xE2\x82\xAC\xE2\x82\xAC"},       // one fallback, then text
      {"\\uc0\\u8364 x", "\xE2\x82\xACx"},                          // no fallback
      {"\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},                   // a surrogate pair
      {"{\\uc2\\u8364 ab}c\\u8364?", "\xE2\x82\xAC" "c\xE2\x82\xAC"},  // \uc ends with its group
      {"a\\~b\\_c\\{\\}\\\\", "a\xC2\xA0" "b\xE2\x80\x91" "c{}\\"},
      {"\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
       "\xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D"},
      {"a\\tab b", "a\tb"},
      {"\\u55357?x", "\xEF\xBF\xBDx"},  // a lone high surrogate
  };
  for (const Case& c : cases) {
    Document d = Read(std::string("\\pard ") + c.rtf + "\\par");
    EXPECT_EQ(d.PlainText(), c.text) << c.rtf;
  }
}

// Bytes in the code page the font or the document declares; the texts are those the
// writers show.
TEST(RtfReader, BytesInTheCodePageInForce) {
  struct Case {
    const char* rtf;
    const char* text;
  } cases[] = {
      // the document's code page
      {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'d2\\'e0\\'e1\\'eb\\'e8\\'f6\\'ff\\par}",
       "\xD0\xA2\xD0\xB0\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x86\xD1\x8F"},  // Таблиця
      {"{\\rtf1\\mac{\\fonttbl{\\f0 Times;}}Don\\'d5t \\'d2q\\'d3 caf\\'8e\\par}",
       "Don\xE2\x80\x99t \xE2\x80\x9Cq\xE2\x80\x9D caf\xC3\xA9"},
      {"{\\rtf1\\pc \\'82\\'9c\\par}", "\xC3\xA9\xC2\xA3"},
      {"{\\rtf1\\pca \\'d5\\par}", "\xC4\xB1"},
      // a font's charset over the document's code page, and only inside that font
      {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}{\\f1\\fcharset238 Calibri CE;}}"
       "{\\f1 \\'c8l\\'e1nek}\\'c8\\par}",
       "\xC4\x8Cl\xC3\xA1nek\xC3\x88"},
      {"{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Times;}{\\f1\\fcharset161 Arial Greek;}}\\'e1\\plain\\'e2\\par}",
       "\xCE\xB1\xCE\xB2"},  // the default font's charset holds after \\plain too
      // a font's \\cpg over its charset, and without one
      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1251 Arial;}}\\f0 \\'c0\\par}", "\xD0\x90"},
      {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}{\\f1\\fswiss\\cpg1251 Arial;}}{\\f1 \\'cf\\'f0}\\'cf\\par}",
       "\xD0\x9F\xD1\x80\xC3\x8F"},  // Пр, then Ï in the document's code page
      // 8-bit bytes written as they are
      {"{\\rtf1\\ansi\\ansicpg1251 \xC0\\par}", "\xD0\x90"},
      // double-byte code pages: the trail byte escaped or as it is
      {"{\\rtf1\\ansi\\ansicpg932 \\'83\\'6f\\'81\\'5b\\'83W\\par}",
       "\xE3\x83\x90\xE3\x83\xBC\xE3\x82\xB8"},  // バージ
      {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset134 SimSun;}}\\f1 \\'d0\\'c2a\\par}",
       "\xE6\x96\xB0" "a"},  // 新a
      {"{\\rtf1\\ansi\\ansicpg949 \\'c7\\'d1\\par}", "\xED\x95\x9C"},
      {"{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4\\par}", "\xE4\xB8\xAD"},
      {"{\\rtf1\\ansi\\ansicpg932 \\'83\\\\\\par}", "\xE3\x82\xBD"},  // trail byte 5C escaped: ソ
      // a trail byte written as it is is one whatever it is, "\\", "{" and "}" too
      {"{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \x95\\\\par}", "\xE8\xA1\xA8"},  // 表
      {"{\\rtf1\\ansi\\ansicpg932 a\x96{\x83}b\x90}\x83\\\\par}",
       "a\xE6\x9C\xAC\xE3\x83\x9E" "b\xE5\x9B\xB3\xE3\x82\xBD"},  // a本マb図ソ
      // Mac Japanese as TextEdit writes it
      {"{\\rtf1\\mac\\ansicpg10001{\\fonttbl\\f0\\fnil\\fcharset78 HiraKakuProN-W3;\\f1\\fcharset77 Helvetica;}"
       "\\f0 \\'8c\\'a9\\'97\\'5c\\f1 \\'8e\\par}",
       "\xE8\xA6\x8B\xE4\xBA\x88\xC3\xA9"},  // 見予é
      // \\u keeps its fallback skipping in a double-byte code page
      {"{\\rtf1\\ansi\\ansicpg932\\uc2 \\u12354\\'82\\'a0x\\par}", "\xE3\x81\x82x"},
      // a lead byte without its trail byte
      {"{\\rtf1\\ansi\\ansicpg932 \\'83\\par}", "\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    RtfReadResult r = ReadRtf(c.rtf);
    ASSERT_TRUE(r.ok) << c.rtf;
    EXPECT_EQ(r.document.PlainText(), c.text) << c.rtf;
  }
}

// The Symbol and Wingdings fonts' bytes, plain or escaped, are the characters they show; the
// runs keep the font's name.
TEST(RtfReader, SymbolFontBytesAreTheirCharacters) {
  struct Case {
    const char* fonts;
    const char* text;
    const char* shown;
  } cases[] = {
      {"{\\f1\\fcharset2 Symbol;}", "a\\'62 p\\'b7\\'b9\\'a3\\'d6", "\xCE\xB1\xCE\xB2 \xCF\x80\xE2\x80\xA2\xE2\x89\xA0\xE2\x89\xA4\xE2\x88\x9A"},
      {"{\\f1 Symbol;}", "W-1", "\xCE\xA9\xE2\x88\x92" "1"},  // by its name alone
      {"{\\f1\\fcharset2 Wingdings;}", "\\'a7\\'d8\\'fc\\'6c", "\xE2\x96\xAA\xE2\x9E\xA2\xE2\x9C\x93\xE2\x97\x8F"},
      {"{\\f1\\fcharset2 Marlett;}", "a", "\xEF\x81\xA1"},  // another symbol font: its own character
  };
  for (const Case& c : cases) {
    RtfReadResult r = ReadRtf(std::string("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}") + c.fonts +
                              "}\\pard{\\f1 " + c.text + "}x\\par}");
    ASSERT_TRUE(r.ok) << c.text;
    EXPECT_EQ(r.document.PlainText(), std::string(c.shown) + "x") << c.text;
    const Paragraph& p = Para(r.document);
    ASSERT_EQ(p.runs.size(), 2u) << c.text;
    EXPECT_NE(p.runs[0].format.font, "") << c.text;
    // A save writes the characters and the font back.
    RtfReadResult again = ReadRtf(WriteRtf(r.document));
    EXPECT_EQ(again.document, r.document) << c.text;
  }
}

// A footnote as Word writes it is kept at its mark with its text; a save writes it back.
TEST(RtfReader, FootnotesAreKeptAtTheirMarks) {
  Document d = Read("\\pard\\plain Footnote here{\\super\\chftn{\\footnote\\pard\\plain{\\super\\chftn} "
                    "This is a {\\b footnote}.\\par\\pard Second line}} and on.\\par");
  const Paragraph& p = Para(d);
  EXPECT_EQ(p.PlainText(), "Footnote here and on.");
  ASSERT_EQ(p.runs.size(), 3u);
  EXPECT_EQ(p.runs[1].kind, TextRun::Kind::Footnote);
  EXPECT_EQ(p.runs[1].text, "This is a footnote.\nSecond line");
  EXPECT_EQ(p.runs[1].format.position, VerticalPosition::Superscript);
  std::string rtf = WriteRtf(d);
  EXPECT_NE(rtf.find("\\chftn{\\footnote\\pard\\plain{\\super\\chftn} This is a footnote.\\par"), std::string::npos) << rtf;
  RtfReadResult again = ReadRtf(rtf);
  EXPECT_EQ(again.document, d);
  // A footnote of a note and one in a skipped group are not kept; the text around them is.
  Document nested = Read("\\pard a{\\footnote x{\\footnote y}z}{\\*\\ignored{\\footnote w}}b\\par");
  ASSERT_EQ(Para(nested).runs.size(), 3u);
  EXPECT_EQ(Para(nested).runs[1].text, "xz");
}

TEST(RtfReader, AnUnmappedByteShowsAsReplacementAndIsNamed) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\ansicpg1253 a\\'aab\\par}");  // AA has no character in 1253
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.document.PlainText(), "a\xEF\xBF\xBD" "b");
  EXPECT_NE(r.warning.find("code page 1253"), std::string::npos) << r.warning;
  EXPECT_EQ(ReadRtf("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\par}").warning, "");
}

// Each Mac character set, and the document's Mac code page, read as its text (the closest code
// page the C library has where it lacks one).
TEST(RtfReader, MacCharacterSets) {
  struct Case {
    int charset;
    const char* bytes;
    const char* text;
  } cases[] = {
      {77, "\\'8e", "\xC3\xA9"},                // Roman: é
      {78, "\\'95\\'5c", "\xE8\xA1\xA8"},       // Japanese: 表
      {79, "\\'c7\\'d1", "\xED\x95\x9C"},       // Korean: 한
      {80, "\\'d6\\'d0", "\xE4\xB8\xAD"},       // Chinese (Simplified): 中
      {81, "\\'a4\\'a4", "\xE4\xB8\xAD"},       // Chinese (Traditional): 中
      {82, "\\'d0\\'65", "\xED\x95\x9C"},       // Korean (Johab): 한
      {83, "\\'e0", "\xD7\x90"},                // Hebrew: א
      {84, "\\'c7", "\xD8\xA7"},                // Arabic: ا
      {85, "\\'e1\\'e3", "\xCE\xB1\xCF\x88"},    // Greek: αψ
      {86, "\\'da\\'dd", "\xC4\x9E\xC4\xB1"},    // Turkish: Ğı
      {87, "\\'a1", "\xE0\xB8\x81"},             // Thai: ก
      {88, "\\'8b", "\xC4\x8D"},                // Central European: č
      {89, "\\'88\\'e2\\'e0\\'ed", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"},  // Cyrillic: Иван
  };
  for (const Case& c : cases) {
    const std::string rtf = "{\\rtf1\\mac\\deff0{\\fonttbl{\\f0\\fcharset77 Helvetica;}{\\f1\\fcharset" +
                            std::to_string(c.charset) + " Font;}}\\pard\\plain\\f1 " + c.bytes + "\\par}";
    RtfReadResult r = ReadRtf(rtf);
    ASSERT_TRUE(r.ok) << rtf;
    EXPECT_EQ(r.document.PlainText(), c.text) << c.charset;
    EXPECT_EQ(r.warning, "") << c.charset;
    // A save writes the same characters.
    EXPECT_EQ(ReadRtf(WriteRtf(r.document)).document.PlainText(), c.text) << c.charset;
  }
  // The document's Mac code page holds for fonts without a charset.
  for (const auto& [words, text] : {std::pair{"\\mac\\ansicpg10007 \\'88", "\xD0\x98"},
                                    std::pair{"\\mac\\ansicpg10006 \\'e3", "\xCF\x88"},
                                    std::pair{"\\mac\\ansicpg10029 \\'8b", "\xC4\x8D"},
                                    std::pair{"\\mac\\ansicpg10001 \\'82\\'a0\\'fd", "\xE3\x81\x82\xC2\xA9"},
                                    std::pair{"\\mac\\ansicpg10008 \\'d6\\'d0\\'fe", "\xE4\xB8\xAD\xE2\x84\xA2"},
                                    std::pair{"\\mac\\ansicpg10002 \\'a4\\'a4\\'ff", "\xE4\xB8\xAD\xE2\x80\xA6"}}) {
    EXPECT_EQ(ReadRtf(std::string("{\\rtf1") + words + "\\par}").document.PlainText(), text) << words;
  }
}

// Raw double-byte text whose trail bytes are "\\", "{" and "}" keeps the groups around it.
TEST(RtfReader, RawTrailBytesAreNoSyntax) {
  // 予 97 5C, 本 96 7B, マ 83 7D, each at the end of a group or before a control word
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}"
                            "\\pard{\\b \x97\\}{\\i \x96{\\par\\pard\x83}}\\par\\pard end\\par}");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.document.blocks.size(), 3u);
  EXPECT_EQ(r.document.PlainText(), "\xE4\xBA\x88\xE6\x9C\xAC\n\xE3\x83\x9E\nend");
  const Paragraph& first = Para(r.document);
  ASSERT_EQ(first.runs.size(), 2u);
  EXPECT_TRUE(first.runs[0].format.bold);
  EXPECT_FALSE(first.runs[1].format.bold);
  EXPECT_TRUE(first.runs[1].format.italic);
  EXPECT_TRUE(Para(r.document, 1).runs[0].format.italic);
  EXPECT_FALSE(Para(r.document, 2).runs[0].format.italic);
}

TEST(RtfReader, ALineBreakEndsAControlWord) {
  Document d = Read("\\pard\\plain\\b\r\nBold\\i\nBoth\\par\r\nNext\\par\n\\pard Third\\\nFourth\\par");
  ASSERT_EQ(d.blocks.size(), 4u);
  const Paragraph& p = Para(d, 0);
  ASSERT_EQ(p.runs.size(), 2u);
  EXPECT_EQ(p.runs[0].text, "Bold");
  EXPECT_TRUE(p.runs[0].format.bold);
  EXPECT_EQ(p.runs[1].text, "Both");
  EXPECT_TRUE(p.runs[1].format.italic);
  EXPECT_EQ(Para(d, 1).PlainText(), "Next");
  EXPECT_EQ(Para(d, 2).PlainText(), "Third");  // a backslash before a line end is \par
  EXPECT_EQ(Para(d, 3).PlainText(), "Fourth");
}

TEST(RtfReader, DestinationsSkippedOrRead) {
  Document d = Read(
      "{\\info{\\title Not text}{\\author Nobody}}{\\stylesheet{\\s1 Heading;}}"
      "{\\*\\pgdsctbl{\\pgdsc0{\\header \\pard Header in the page table\\par}}}"
      "{\\header \\pard Header\\par}{\\footer \\pard Footer\\par}"
      "{\\*\\generator Some Writer}{\\*\\unknowndest {\\b nested} text}"
      "\\pard A{\\unknownword B}{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
      "{\\*\\bkmkstart mark}C{\\upr{\\fs20 ansi}{\\*\\ud{\\fs20 wide}}}"
      "{\\footnote not here}{\\listtext 1.\\tab}D{\\nonesttables nested copy}\\par");
  EXPECT_EQ(d.PlainText(), "ABlinkCwide1.\tD");
}

TEST(RtfReader, ParagraphFormats) {
  Document d = Read(
      "\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 Centered\\par"
      "\\qr Right keeps the indents\\par"
      "\\pard\\qj Justified\\par"
      "\\pard\\tqr\\tldot\\tx5000\\tqc\\tx3000\\tqdec\\tlhyph\\tx7000\\tx1000 Tabs\\par"
      "\\pard\\pagebb After a break\\par"
      "\\pard Before\\page After\\par");
  ASSERT_EQ(d.blocks.size(), 7u);
  ParagraphFormat f = Para(d, 0).format;
  EXPECT_EQ(f.alignment, Alignment::Center);
  EXPECT_EQ(f.leftIndent, 720);
  EXPECT_EQ(f.rightIndent, 360);
  EXPECT_EQ(f.firstLineIndent, -360);
  EXPECT_EQ(f.spaceBefore, 120);
  EXPECT_EQ(f.spaceAfter, 240);
  EXPECT_EQ(f.lineSpacing, 360);
  EXPECT_TRUE(f.lineSpacingMultiple);
  EXPECT_EQ(Para(d, 1).format.alignment, Alignment::Right);
  EXPECT_EQ(Para(d, 1).format.leftIndent, 720);
  EXPECT_EQ(Para(d, 2).format.alignment, Alignment::Justify);
  EXPECT_EQ(Para(d, 2).format.leftIndent, 0);
  std::vector<TabStop> tabs = {{5000, TabKind::Right, TabLeader::Dots},
                               {3000, TabKind::Center, TabLeader::None},
                               {7000, TabKind::Decimal, TabLeader::Hyphens},
                               {1000, TabKind::Left, TabLeader::None}};
  EXPECT_EQ(Para(d, 3).format.tabs, tabs);
  EXPECT_TRUE(Para(d, 4).format.pageBreakBefore);
  EXPECT_FALSE(Para(d, 5).format.pageBreakBefore);
  EXPECT_EQ(Para(d, 5).PlainText(), "Before");
  EXPECT_TRUE(Para(d, 6).format.pageBreakBefore);
  EXPECT_EQ(Para(d, 6).PlainText(), "After");
}

// Shading of paragraphs, characters and cells is kept as the one colour that shows: the
// background colour, or the foreground colour laid over it at the shading's percentage (over
// white when no background is given). A save writes that colour back.
TEST(RtfReader, ShadingIsTheColourThatShows) {
  const std::optional<Color> none, red = Color{255, 0, 0}, blue = Color{0, 0, 255};
  struct Case {
    const char* rtf;
    std::optional<Color> paragraph, characters;
  } cases[] = {
      {"\\pard\\cbpat1 x\\par", red, none},
      {"\\pard\\shading5000\\cfpat2 x\\par", Color{128, 128, 255}, none},
      {"\\pard\\cfpat1\\cbpat2\\shading10000 x\\par", red, none},
      {"\\pard\\shading1000 x\\par", Color{230, 230, 230}, none},
      {"\\pard\\cbpat1\\par\\pard x\\par", none, none},  // \\pard ends the shading (second paragraph)
      {"\\pard{\\chcbpat2 x}\\par", none, blue},
      {"\\pard{\\chshdng2500\\chcfpat1 x}\\par", none, Color{255, 191, 191}},
      {"\\pard{\\highlight1\\chshdng0\\chcfpat0 x}\\par", none, red},  // as Word writes a highlight
      {"\\pard{\\chcbpat1\\plain x}\\par", none, none},
  };
  for (const Case& c : cases) {
    Document d = Read(c.rtf);
    const Paragraph& p = Para(d, d.blocks.size() - 1);
    EXPECT_EQ(p.format.background, c.paragraph) << c.rtf;
    ASSERT_EQ(p.runs.size(), 1u) << c.rtf;
    EXPECT_EQ(p.runs[0].format.background, c.characters) << c.rtf;
    EXPECT_EQ(ReadRtf(WriteRtf(d)).document, d) << c.rtf;
  }
  // A cell's shading, by its colour or by a percentage of black.
  Document d = Read("\\trowd\\clcbpat2\\cellx1000\\clshdng2000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row");
  const TableRow& row = TableAt(d, 0).rows.at(0);
  ASSERT_EQ(row.cells.size(), 3u);
  EXPECT_EQ(row.cells[0].background, blue);
  EXPECT_EQ(row.cells[1].background, (Color{204, 204, 204}));
  EXPECT_EQ(row.cells[2].background, none);
  EXPECT_EQ(ReadRtf(WriteRtf(d)).document, d);
}

TEST(RtfReader, ParagraphFrames) {
  Document d = Read(
      "\\pard\\brdrt\\brdrs\\brdrw15\\brsp40\\brdrcf1\\brdrb\\brdrdb\\brdrw30 Top and bottom\\par"
      "\\pard\\box\\brdrdot\\brdrw10\\brsp80 Boxed\\par"
      "\\pard\\brdrl\\brdrth\\brdrw20\\brdrr\\brdrdash\\brdrw5\\brdrbtw\\brdrs Sides\\par"
      "\\pard\\brdrt\\brdrnone Nothing\\par");
  ASSERT_EQ(d.blocks.size(), 4u);
  ParagraphBorders b0 = Para(d, 0).format.borders;
  EXPECT_EQ(b0.top, (BorderLine{BorderStyle::Single, 15, 40, Color{255, 0, 0}}));
  EXPECT_EQ(b0.bottom, (BorderLine{BorderStyle::Double, 30, 0, std::nullopt}));
  EXPECT_FALSE(b0.left.present());
  ParagraphBorders b1 = Para(d, 1).format.borders;
  BorderLine dotted{BorderStyle::Dotted, 10, 80, std::nullopt};
  EXPECT_EQ(b1.top, dotted);
  EXPECT_EQ(b1.bottom, dotted);
  EXPECT_EQ(b1.left, dotted);
  EXPECT_EQ(b1.right, dotted);
  ParagraphBorders b2 = Para(d, 2).format.borders;
  EXPECT_EQ(b2.left, (BorderLine{BorderStyle::Thick, 20, 0, std::nullopt}));
  EXPECT_EQ(b2.right, (BorderLine{BorderStyle::Dashed, 5, 0, std::nullopt}));
  EXPECT_FALSE(b2.top.present());  // the line between paragraphs is no side
  EXPECT_FALSE(Para(d, 3).format.borders.any());
}

TEST(RtfReader, TablesRowByRow) {
  // As word processors write them: a full row definition before each row (repeated before
  // \row by some), cells with several paragraphs, and text after the table.
  Document d = Read(
      "\\pard Before\\par"
      "\\trowd\\trgaph108\\trleft-108\\trqc\\clbrdrt\\brdrs\\brdrw10\\clcbpat1\\cellx2000"
      "\\clvertalc\\cellx5000"
      "\\pard\\intbl{\\b Name}\\cell\\pard\\intbl\\qr Amount\\par Second line\\cell"
      "{\\trowd\\trgaph108\\trleft-108\\trqc\\clbrdrt\\brdrs\\brdrw10\\clcbpat1\\cellx2000"
      "\\clvertalc\\cellx5000\\row}"
      "\\trowd\\trgaph108\\cellx3000\\cellx5000\\cellx6000"
      "\\pard\\intbl One\\cell Two\\cell\\cell\\row"
      "\\pard After\\par");
  ASSERT_EQ(d.blocks.size(), 3u);
  EXPECT_EQ(Para(d, 0).PlainText(), "Before");
  EXPECT_EQ(Para(d, 2).PlainText(), "After");
  const Table& t = TableAt(d, 1);
  ASSERT_EQ(t.rows.size(), 2u);
  const TableRow& r0 = t.rows[0];
  EXPECT_EQ(r0.alignment, Alignment::Center);
  EXPECT_EQ(r0.leftEdge, -108);
  EXPECT_EQ(r0.gap, 108);
  ASSERT_EQ(r0.cells.size(), 2u);
  EXPECT_EQ(r0.cells[0].rightEdge, 2000);
  EXPECT_EQ(r0.cells[0].top, (BorderLine{BorderStyle::Single, 10, 0, std::nullopt}));
  EXPECT_EQ(r0.cells[0].background, (Color{255, 0, 0}));
  EXPECT_EQ(r0.cells[1].rightEdge, 5000);
  EXPECT_EQ(r0.cells[1].verticalAlignment, VerticalAlignment::Center);
  ASSERT_EQ(r0.cells[0].paragraphs.size(), 1u);
  EXPECT_TRUE(r0.cells[0].paragraphs[0].runs[0].format.bold);
  ASSERT_EQ(r0.cells[1].paragraphs.size(), 2u);
  EXPECT_EQ(r0.cells[1].paragraphs[0].PlainText(), "Amount");
  EXPECT_EQ(r0.cells[1].paragraphs[0].format.alignment, Alignment::Right);
  EXPECT_EQ(r0.cells[1].paragraphs[1].PlainText(), "Second line");
  const TableRow& r1 = t.rows[1];
  ASSERT_EQ(r1.cells.size(), 3u);
  EXPECT_EQ(r1.alignment, Alignment::Left);
  EXPECT_EQ(r1.cells[2].rightEdge, 6000);
  EXPECT_EQ(r1.cells[2].paragraphs.size(), 1u);
  EXPECT_EQ(d.PlainText(), "Before\nName\tAmount Second line\nOne\tTwo\t\nAfter");
}

TEST(RtfReader, PicturesAndTheirShownSize) {
  std::string png = samples::TinyPng();
  std::string hex = samples::Hex(png);
  Document d = Read(
      "\\pard A{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}\\picscalex50\\picscaley200"
      "\\piccropl0\\picw2\\pich1\\picwgoal1440\\pichgoal720\\pngblip\r\n" + hex + "}}"
      "{\\nonshppict{\\pict\\wmetafile8\\picwgoal1440\\pichgoal720 0102}}B"
      "{\\pict\\jpegblip\\picwgoal100\\pichgoal100 " + samples::Hex(samples::TinyJpeg()) + "}"
      "{\\pict\\emfblip 0102}"
      "{\\pict\\pngblip\\bin" + std::to_string(png.size()) + " " + png + "}\\par");
  const Paragraph& p = Para(d);
  ASSERT_EQ(p.runs.size(), 5u);
  EXPECT_EQ(p.runs[0].text, "A");
  ASSERT_EQ(p.runs[1].kind, TextRun::Kind::Picture);
  EXPECT_EQ(p.runs[1].picture.format, PictureFormat::Png);
  EXPECT_EQ(p.runs[1].picture.data, png);
  EXPECT_EQ(p.runs[1].picture.width, 720);    // 1440 at 50 %
  EXPECT_EQ(p.runs[1].picture.height, 1440);  // 720 at 200 %
  EXPECT_EQ(p.runs[2].text, "B");
  EXPECT_EQ(p.runs[3].picture.format, PictureFormat::Jpeg);
  EXPECT_EQ(p.runs[3].picture.width, 100);
  ASSERT_EQ(p.runs[4].kind, TextRun::Kind::Picture);
  EXPECT_EQ(p.runs[4].picture.data, png);  // binary data
  EXPECT_EQ(p.runs[4].picture.width, 2 * 15);  // no goal: the pixels at 96 to the inch
  EXPECT_EQ(p.runs[4].picture.height, 15);
}

TEST(RtfReader, PageSizeAndMargins) {
  Document d = Read("\\pard x\\par", "\\paperw11906\\paperh16838\\margl1134\\margr567\\margt850\\margb0");
  EXPECT_EQ(d.page, (PageSetup{11906, 16838, 1134, 567, 850, 0}));
  Document s = Read("\\sectd\\pgwsxn12240\\pghsxn20160\\marglsxn720\\pard x\\sect\\sectd\\pgwsxn100\\pard y\\par");
  EXPECT_EQ(s.page.width, 12240);  // the first section's
  EXPECT_EQ(s.page.height, 20160);
  EXPECT_EQ(s.page.marginLeft, 720);
  Document n = Read("\\pard x\\par", "\\paperw0\\paperh-5");
  EXPECT_EQ(n.page.width, PageSetup{}.width);  // no page has no size
}

TEST(RtfReader, LineBreaksHiddenTextAndTheLastParagraph) {
  Document d = Read("\\pard one\\line two{\\v hidden}\\par\\pard last without mark");
  ASSERT_EQ(d.blocks.size(), 2u);
  const Paragraph& p = Para(d, 0);
  ASSERT_EQ(p.runs.size(), 4u);
  EXPECT_EQ(p.runs[1].kind, TextRun::Kind::LineBreak);
  EXPECT_FALSE(p.runs[2].format.hidden);
  EXPECT_TRUE(p.runs[3].format.hidden);  // hidden text is kept, as hidden
  EXPECT_EQ(p.runs[3].text, "hidden");
  EXPECT_EQ(p.PlainText(), "one\ntwohidden");
  EXPECT_EQ(Para(d, 1).PlainText(), "last without mark");
}

TEST(RtfReader, RefusalsAndDamage) {
  EXPECT_FALSE(ReadRtf("Plain text, not RTF").ok);
  EXPECT_FALSE(ReadRtf("").ok);
  EXPECT_TRUE(ReadRtf("\xEF\xBB\xBF \r\n{\\rtf1 x}").ok);
  std::string deep = "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "}";
  RtfReadResult r = ReadRtf(deep);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  RtfLimits small;
  small.maxInputBytes = 10;
  EXPECT_FALSE(ReadRtf("{\\rtf1 too long for the limit}", small).ok);
  // A text cut short keeps what was read; odd parameters and words do no harm.
  struct Case {
    const char* rtf;
    const char* text;
  } cases[] = {
      {"{\\rtf1\\pard one\\par two", "one\ntwo"},
      {"{\\rtf1\\pard\\fs99999999999999999999 big\\u99999999999999 x\\par}", "big\xEF\xBF\xBD"},
      {"{\\rtf1\\pard a\\'zzb\\'4\\par}", "azzb4"},
      {"{\\rtf1\\pard\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz x\\par}", "x"},
      {"{\\rtf1\\pard{\\pict\\pngblip\\bin99999 ab}}", ""},
      {"{\\rtf1\\cell\\row\\cellx100\\row x}", "\n\nx"},
      {"{\\rtf1 a}} b}", "a"},
      {"{\\rtf1\\", ""},
  };
  for (const Case& c : cases) {
    RtfReadResult rr = ReadRtf(c.rtf);
    EXPECT_TRUE(rr.ok) << c.rtf << ": " << rr.error;
    EXPECT_EQ(rr.document.PlainText(), c.text) << c.rtf;
  }
}

// Each \row makes every cell of its definition, and those cells count against the budget:
// a row of 256 cells repeated 4,000 times (17 KB making a million cells) is refused, a
// table of 1,000 rows of 8 cells written the same way (4 KB) is read whole.
TEST(RtfReader, CellsOfRepeatedRowsCountAgainstTheBudget) {
  auto repeated = [](int cells, int rows) {
    std::string rtf = "{\\rtf1 \\trowd";
    for (int c = 1; c <= cells; ++c) rtf += "\\cellx" + std::to_string(c * 10);
    rtf += "\\intbl";
    for (int r = 0; r < rows; ++r) rtf += "\\row";
    return rtf + "}";
  };
  const std::string bomb = repeated(256, 4000);
  ASSERT_LT(bomb.size(), 20000u);
  const RtfReadResult refused = ReadRtf(bomb);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, "The document is too large.");
  EXPECT_TRUE(refused.document.blocks.empty());

  const RtfReadResult table = ReadRtf(repeated(8, 1000));
  ASSERT_TRUE(table.ok) << table.error;
  ASSERT_EQ(table.document.blocks.size(), 1u);
  const Table& t = TableAt(table.document, 0);
  ASSERT_EQ(t.rows.size(), 1000u);
  EXPECT_EQ(t.rows.back().cells.size(), 8u);
  EXPECT_EQ(t.rows.back().cells.back().rightEdge, 80);
}

TEST(RtfReader, ShapesGiveTheirPictures) {
  std::string hex = samples::Hex(samples::TinyPng());
  Document d = Read(
      "\\trowd\\cellx2000\\cellx4000\\pard\\intbl A\\cell\\pard\\intbl B\\cell\\row"
      "\\pard{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv{\\pict\\pngblip"
      "\\picwgoal300\\pichgoal150 " + hex + "}}}{\\shptxt \\pard Box text\\par}}"
      "{\\shprslt{\\pict\\wmetafile8 0102}}}After\\par");
  ASSERT_EQ(d.blocks.size(), 3u);
  const Paragraph& p = Para(d, 1);  // the shape's picture, then its text box's text
  ASSERT_EQ(p.runs.size(), 2u);
  EXPECT_EQ(p.runs[0].kind, TextRun::Kind::Picture);
  EXPECT_EQ(p.runs[0].picture.width, 300);
  EXPECT_EQ(p.runs[1].text, "Box text");
  EXPECT_EQ(Para(d, 2).PlainText(), "After");  // the old readers' copy of the shape is skipped
}

namespace {

std::string NestedFixture() {
  std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/richtext/fixtures/nested.rtf", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string CellText(const TableCell& cell) {
  std::string s;
  for (const Paragraph& p : cell.paragraphs) s += p.PlainText();
  return s;
}

}  // namespace

// Word's nested tables (\itap, \nestcell, each inner row defined at its end in
// \*\nesttableprops before \nestrow) are tables inside their cell, at their place among the
// cell's paragraphs, three levels deep here.
TEST(RtfReader, NestedTablesAreTablesInTheirCell) {
  RtfReadResult r = ReadRtf(NestedFixture());
  ASSERT_TRUE(r.ok) << r.error;
  const Document& d = r.document;
  ASSERT_EQ(d.blocks.size(), 3u);
  EXPECT_EQ(Para(d, 0).PlainText(), "Rates");
  EXPECT_EQ(Para(d, 2).PlainText(), "After");
  const Table& outer = TableAt(d, 1);
  ASSERT_EQ(outer.rows.size(), 2u);
  ASSERT_EQ(outer.rows[0].cells.size(), 2u);
  const TableCell& lenders = outer.rows[0].cells[0];
  EXPECT_EQ(lenders.rightEdge, 5000);
  ASSERT_EQ(lenders.paragraphs.size(), 2u);  // "Lenders", the table, the cell's own last paragraph
  EXPECT_EQ(lenders.paragraphs[0].PlainText(), "Lenders");
  EXPECT_EQ(lenders.paragraphs[1].PlainText(), "");
  ASSERT_EQ(lenders.tables.size(), 1u);
  EXPECT_EQ(lenders.tables[0].before, 1u);
  const Table& inner = lenders.tables[0].table;
  ASSERT_EQ(inner.rows.size(), 2u);
  for (const TableRow& row : inner.rows) {
    ASSERT_EQ(row.cells.size(), 2u);
    EXPECT_EQ(row.gap, 108);
    EXPECT_EQ(row.cells[0].rightEdge, 2500);
    EXPECT_EQ(row.cells[1].rightEdge, 4800);
    EXPECT_EQ(row.cells[1].bottom, (BorderLine{BorderStyle::Single, 10, 0, std::nullopt}));
    EXPECT_FALSE(row.cells[1].top.present());
  }
  EXPECT_EQ(CellText(inner.rows[0].cells[0]), "Bank");
  EXPECT_EQ(CellText(inner.rows[0].cells[1]), "Rate");
  EXPECT_EQ(CellText(inner.rows[1].cells[0]), "North");
  const TableCell& rate = inner.rows[1].cells[1];
  ASSERT_EQ(rate.tables.size(), 1u);
  EXPECT_EQ(rate.tables[0].before, 0u);
  ASSERT_EQ(rate.tables[0].table.rows.size(), 1u);
  ASSERT_EQ(rate.tables[0].table.rows[0].cells.size(), 1u);
  EXPECT_EQ(rate.tables[0].table.rows[0].cells[0].rightEdge, 4000);
  EXPECT_EQ(CellText(rate.tables[0].table.rows[0].cells[0]), "3.9");
  // The outer table keeps its own row definitions, given again before \row.
  EXPECT_EQ(outer.rows[0].cells[1].rightEdge, 9000);
  EXPECT_EQ(outer.rows[0].cells[1].top, (BorderLine{BorderStyle::Single, 10, 0, std::nullopt}));
  EXPECT_EQ(CellText(outer.rows[0].cells[1]), "Outer right");
  EXPECT_TRUE(outer.rows[0].cells[1].tables.empty());
  EXPECT_EQ(CellText(outer.rows[1].cells[0]), "One");
  EXPECT_EQ(d.PlainText(), "Rates\nLenders Bank Rate North 3.9\tOuter right\nOne\tTwo\nAfter");
}

// Damaged and extreme nesting: tables deeper than the deepest level read as paragraphs of
// the cell there; a nested cell without its row, or a row without a cell, still keeps the
// text; merged cells inside an inner table are kept.
TEST(RtfReader, NestedTablesDepthAndDamage) {
  // 20 levels, one cell each, written from the inside out as Word does.
  std::string deep = "\\trowd\\cellx9000";
  for (int level = 20; level >= 2; --level) {
    std::string l = std::to_string(level);
    deep += "\\pard\\intbl\\itap" + l + " L" + l + "\\nestcell";
    deep += "\\pard\\intbl\\itap" + l + "{\\*\\nesttableprops\\trowd\\cellx" + std::to_string(level * 100) +
            "\\nestrow}";
  }
  deep += "\\pard\\intbl L1\\cell\\row\\pard After\\par";
  Document d = Read(deep);
  ASSERT_EQ(d.blocks.size(), 2u);
  const TableCell* cell = &TableAt(d, 0).rows.at(0).cells.at(0);
  int depth = 1;
  while (!cell->tables.empty()) {
    ASSERT_EQ(cell->tables.size(), 1u);
    cell = &cell->tables[0].table.rows.at(0).cells.at(0);
    ++depth;
  }
  EXPECT_EQ(depth, kMaxTableDepth);
  // The deepest cell holds the text of the levels beyond it, the innermost first.
  ASSERT_GE(cell->paragraphs.size(), 5u);
  EXPECT_EQ(cell->paragraphs.front().PlainText(), "L20");
  EXPECT_EQ(cell->paragraphs.back().PlainText(), "L16");
  EXPECT_EQ(Para(d, 1).PlainText(), "After");

  struct Case {
    const char* name;
    std::string body;
    std::string text;
  };
  const Case cases[] = {
      {"a nested cell whose row never ends",
       "\\trowd\\cellx4000\\pard\\intbl\\itap2 Inner\\nestcell\\pard\\intbl\\itap1 Outer\\cell\\row",
       "Inner Outer"},
      {"a nested row with no cell", "\\trowd\\cellx4000\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd"
       "\\cellx100\\nestrow}\\pard\\intbl A\\cell\\row", "A"},
      {"a nested cell outside any table", "\\pard Loose\\nestcell\\pard Text\\par", "Loose\nText"},
      {"a file ending inside an inner row", "\\trowd\\cellx4000\\pard\\intbl\\itap2 Cut\\nestcell", "Cut"},
      {"merged cells of an inner table",
       "\\trowd\\cellx6000\\pard\\intbl\\itap2 Wide\\nestcell\\nestcell\\pard\\intbl\\itap2"
       "{\\*\\nesttableprops\\trowd\\clmgf\\cellx2000\\clmrg\\cellx4000\\nestrow}\\pard\\intbl\\cell\\row",
       "Wide "},
  };
  for (const Case& c : cases) {
    Document doc = Read(c.body);
    EXPECT_EQ(doc.PlainText(), c.text) << c.name;
  }
  Document merged = Read(cases[4].body);
  const TableCell& outerCell = TableAt(merged, 0).rows.at(0).cells.at(0);
  ASSERT_EQ(outerCell.tables.size(), 1u);
  const TableRow& mergedRow = outerCell.tables[0].table.rows.at(0);
  ASSERT_EQ(mergedRow.cells.size(), 2u);
  EXPECT_EQ(mergedRow.cells[0].mergeAcross, CellMerge::First);
  EXPECT_EQ(mergedRow.cells[1].mergeAcross, CellMerge::Next);
}

// A nested table repeated many times counts its cells against the budget like any table.
TEST(RtfReader, NestedCellsCountAgainstTheBudget) {
  std::string rtf = "{\\rtf1 \\trowd\\cellx100\\intbl\\itap2{\\*\\nesttableprops\\trowd";
  for (int c = 1; c <= 256; ++c) rtf += "\\cellx" + std::to_string(c * 10);
  rtf += "\\nestrow";
  for (int r = 0; r < 4000; ++r) rtf += "\\nestrow";
  rtf += "}}";
  ASSERT_LT(rtf.size(), 40000u);
  const RtfReadResult refused = ReadRtf(rtf);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, "The document is too large.");
}

TEST(RtfReader, FieldsKeepTheirInstructionAndShowTheirResult) {
  struct Case {
    const char* rtf;
    std::vector<std::pair<std::string, std::string>> runs;  // instruction ("" text), text
  } cases[] = {
      {"\\pard Page {\\field{\\*\\fldinst {\\rtlch  PAGE }}{\\fldrslt {\\b 3}}} of "
       "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 9}}\\par",
       {{"", "Page "}, {"PAGE", "3"}, {"", " of "}, {"NUMPAGES", "9"}}},
      // The result in the format of the text before it is still the field's alone.
      {"\\pard Dear {\\field{\\*\\fldinst MERGEFIELD Name \\\\* MERGEFORMAT}{\\fldrslt \\'abName\\'bb}},\\par",
       {{"", "Dear "}, {"MERGEFIELD Name \\* MERGEFORMAT", "\xC2\xABName\xC2\xBB"}, {"", ","}}},
      {"\\pard A{\\field{\\*\\fldinst DATE}}B\\par", {{"", "A"}, {"DATE", ""}, {"", "B"}}},
      // A field inside an instruction gives its instruction's words; inside a result, its text.
      {"\\pard {\\field{\\*\\fldinst IF {\\field{\\*\\fldinst MERGEFIELD a}{\\fldrslt 1}} = 1 y}"
       "{\\fldrslt {\\field{\\*\\fldinst MERGEFIELD b}{\\fldrslt y}}}}\\par",
       {{"IF MERGEFIELD a = 1 y", "y"}}},
      // A result over a paragraph's end stays text.
      {"\\pard {\\field{\\*\\fldinst TOC}{\\fldrslt one\\par two}}\\par", {{"", "two"}}},
      {"\\pard {\\field{\\*\\fldinst   }{\\fldrslt plain}}\\par", {{"", "plain"}}},
  };
  for (const Case& c : cases) {
    Document d = Read(c.rtf);
    const Paragraph& p = Para(d, d.blocks.size() - 1);
    std::vector<std::pair<std::string, std::string>> runs;
    for (const TextRun& r : p.runs) {
      EXPECT_EQ(r.kind == TextRun::Kind::Field, !r.instruction.empty()) << c.rtf;
      runs.emplace_back(r.instruction, r.text);
    }
    EXPECT_EQ(runs, c.runs) << c.rtf;
  }
  Document bold = Read("\\pard x{\\b{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}\\par");
  ASSERT_EQ(Para(bold).runs.size(), 2u);
  EXPECT_TRUE(Para(bold).runs[1].format.bold);
}

TEST(RtfReader, HeadersAndFootersAreKeptBesideTheText) {
  Document d = Read(
      "{\\header \\pard Top {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
      "\\trowd\\cellx1000\\pard\\intbl a\\cell"
      "{\\footerf \\pard First footer\\par\\trowd\\cellx2000\\pard\\intbl f\\cell\\row\\pard end}"
      "\\pard\\intbl b\\cell\\row\\pard Body\\par");
  ASSERT_EQ(d.headersFooters.size(), 2u);
  EXPECT_EQ(d.headersFooters[0].kind, "header");
  ASSERT_EQ(d.headersFooters[0].blocks.size(), 1u);
  const Paragraph& top = std::get<Paragraph>(d.headersFooters[0].blocks[0]);
  ASSERT_EQ(top.runs.size(), 2u);
  EXPECT_EQ(top.runs[1].kind, TextRun::Kind::Field);
  EXPECT_EQ(top.runs[1].instruction, "PAGE");
  EXPECT_EQ(d.headersFooters[1].kind, "footerf");
  ASSERT_EQ(d.headersFooters[1].blocks.size(), 3u);
  EXPECT_TRUE(std::holds_alternative<Table>(d.headersFooters[1].blocks[1]));
  // The table the footer came in the middle of goes on with its cells.
  ASSERT_EQ(d.blocks.size(), 2u);
  ASSERT_EQ(TableAt(d, 0).rows.size(), 1u);
  EXPECT_EQ(TableAt(d, 0).rows[0].cells.size(), 2u);
  EXPECT_EQ(d.PlainText(), "a\tb\nBody");
  // One cut short keeps what was read.
  RtfReadResult cut = ReadRtf("{\\rtf1 \\pard x\\par{\\footer \\pard y {\\field{\\*\\fldinst PAGE}{\\fldrslt 2");
  ASSERT_TRUE(cut.ok);
  ASSERT_EQ(cut.document.headersFooters.size(), 1u);
  EXPECT_EQ(cut.document.PlainText(), "x");
}

// The words that choose which header a page shows are kept: the first section's \\titlepg and
// the document's \\facingp.
TEST(RtfReader, TitlePageAndFacingPagesAreKept) {
  Document both = Read("\\pard x\\par", "\\facingp\\sectd\\titlepg{\\headerf \\pard Cover\\par}{\\headerl \\pard Left\\par}");
  EXPECT_TRUE(both.titlePage);
  EXPECT_TRUE(both.facingPages);
  EXPECT_EQ(both.headersFooters.size(), 2u);
  EXPECT_EQ(both.PlainText(), "x");
  Document none = Read("\\pard x\\par", "{\\headerf \\pard Cover\\par}");
  EXPECT_FALSE(none.titlePage);
  EXPECT_FALSE(none.facingPages);
  // A later section's \\titlepg is not the first section's.
  Document later = Read("\\pard x\\sect\\sectd\\titlepg\\pard y\\par");
  EXPECT_FALSE(later.titlePage);
  EXPECT_FALSE(Read("\\pard x\\par", "\\titlepg0\\facingp0").titlePage);
}

TEST(RtfReader, SectionMarginsAddToTheDocumentsMargins) {
  // LibreOffice writes the page's margin in the document and the margin with the header's
  // height in the section.
  Document lo = Read("\\pard x\\par", "\\margl1134\\margr1134\\margt720\\margb720\\sectd\\marglsxn1134"
                                      "\\margrsxn1134\\margtsxn1134\\margbsxn1020");
  EXPECT_EQ(lo.page.marginTop, 720);
  EXPECT_EQ(lo.page.marginBottom, 720);
  EXPECT_EQ(lo.page.marginLeft, 1134);
  EXPECT_EQ(lo.page.sectionExtraTop, 414);
  EXPECT_EQ(lo.page.sectionExtraBottom, 300);
  EXPECT_EQ(lo.page.sectionExtraLeft, 0);
  // Without the document's word, the section's margin is the page's.
  Document only = Read("\\pard x\\par", "\\sectd\\margtsxn850");
  EXPECT_EQ(only.page.marginTop, 850);
  EXPECT_EQ(only.page.sectionExtraTop, 0);
  // Beside a margin beyond the page, the section's margin stays on the page too, and a save
  // reads back the same.
  Document beyond = Read("\\pard x\\par", "\\paperh15840\\margt2147483647\\sectd\\margtsxn1134");
  EXPECT_EQ(beyond.page.marginTop + beyond.page.sectionExtraTop, 0);
  EXPECT_EQ(ReadRtf(WriteRtf(beyond)).document, beyond);
}

TEST(RtfReader, WhatIsNotKeptIsNamedOnce) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}\\listid1}}"
      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
      "\\pard\\ls1{\\listtext 1.\\tab}Item {\\v hidden}\\par"
      "\\pard{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 0102}{\\pict\\emfblip 0304}"
      "{\\*\\shppict{\\pict\\pngblip 89}}{\\nonshppict{\\pict\\wmetafile8 05}}\\par}");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.document.PlainText(), "1.\tItem hidden\n");
  EXPECT_EQ(r.warning,
            "This document holds what the editor cannot keep: 2 pictures in a form other than PNG or JPEG "
            "(such as WMF or EMF), which are left out; and lists, which are saved as paragraphs with their "
            "numbers as text.");
  RtfReadResult old = ReadRtf("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}Old list\\par}");
  EXPECT_EQ(old.document.PlainText(), "1.\tOld list");
  EXPECT_EQ(old.warning,
            "This document holds what the editor cannot keep: lists, which are saved as paragraphs with "
            "their numbers as text.");
  EXPECT_EQ(ReadRtf("{\\rtf1\\pard{\\v hidden} {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}").warning, "");
}

namespace {

// The paragraphs of the text, one string each (a field as {instruction=result}).
std::vector<std::string> Paragraphs(const std::vector<Block>& blocks) {
  std::vector<std::string> out;
  for (const Block& b : blocks) {
    if (!std::holds_alternative<Paragraph>(b)) {
      out.push_back("(table)");
      continue;
    }
    std::string s;
    for (const TextRun& r : std::get<Paragraph>(b).runs)
      s += r.kind == TextRun::Kind::Field ? "{" + r.instruction + "=" + r.text + "}" : r.text;
    out.push_back(s);
  }
  return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(RtfReader, TextBoxesShowTheirTextOnceWhereTheyAreAnchored) {
  struct Case {
    const char* rtf;
    Lines paragraphs;
  } cases[] = {
      // A Word 95 drawing object's text box.
      {"\\pard Before\\par\\pard {\\*\\do\\dobxcolumn\\dobypara\\dodhgt8192\\dptxbx{\\dptxbxtext\\pard\\fs20 In "
       "the box\\par}\\dpx0\\dpy0\\dpxsize3600\\dpysize720\\dplinew15}After\\par",
       {"Before", "In the box", "After"}},
      // A shape's text box with the drawing object for older readers in its result: once.
      {"\\pard Before\\par\\pard {\\shp{\\*\\shpinst\\shpleft0\\shpright100{\\sp{\\sn shapeType}{\\sv 202}}"
       "{\\shptxt\\pard In the box\\par}}{\\shprslt{\\*\\do\\dptxbx{\\dptxbxtext\\pard In the box\\par}}}}After\\par",
       {"Before", "In the box", "After"}},
      // Shape properties are never text, inside an instance or straight in the shape.
      {"\\pard Stock 7781{\\shp{\\sp{\\sn fFilled}{\\sv 0}}{\\sp{\\sn fLine}{\\sv 0}}} ready\\par",
       {"Stock 7781 ready"}},
      {"\\pard A{\\sp{\\sn shapeType}{\\sv 1}}B\\par", {"AB"}},
      // A text box in a table cell stays in its cell.
      {"\\trowd\\cellx2000\\cellx4000\\pard\\intbl a{\\*\\do\\dptxbx{\\dptxbxtext\\pard boxed\\par}}\\cell"
       "\\pard\\intbl b\\cell\\row\\pard end\\par",
       {"(table)", "end"}},
  };
  for (const Case& c : cases) {
    RtfReadResult r = ReadRtf(std::string("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}") + c.rtf + "}");
    ASSERT_TRUE(r.ok) << c.rtf;
    EXPECT_EQ(Paragraphs(r.document.blocks), c.paragraphs) << c.rtf;
  }
  RtfReadResult cell = ReadRtf(std::string("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}") + cases[4].rtf + "}");
  ASSERT_EQ(cell.document.blocks.size(), 2u);
  const Table& t = TableAt(cell.document, 0);
  ASSERT_EQ(t.rows.size(), 1u);
  ASSERT_EQ(t.rows[0].cells.size(), 2u);
  EXPECT_EQ(Paragraphs({t.rows[0].cells[0].paragraphs.begin(), t.rows[0].cells[0].paragraphs.end()}),
            (Lines{"aboxed", ""}));
  // The message names the boxes, and what a save writes reads back the same.
  RtfReadResult box = ReadRtf(std::string("{\\rtf1 ") + cases[0].rtf + "}");
  EXPECT_EQ(box.warning,
            "This document holds what the editor cannot keep: 1 text box, which is saved as paragraphs where it "
            "is anchored.");
  RtfReadResult back = ReadRtf(WriteRtf(box.document));
  EXPECT_EQ(back.document, box.document);
}

TEST(RtfReader, ListLabelsTheFileDoesNotSpellOutAreMadeFromTheList) {
  const std::string table =
      "{\\*\\listtable"
      "{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}"
      "\\fi-360\\li720}{\\listlevel\\levelnfc4\\levelstartat1\\levelfollow1{\\leveltext\\'04\\'00.\\'01);}"
      "{\\levelnumbers\\'01\\'03;}}{\\listname ;}\\listid7}"
      "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\f1}\\listid8}"
      "{\\list{\\listlevel\\levelnfc2\\levelstartat4{\\leveltext\\'02\\'00:;}}\\listid9}}"
      "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
      "{\\listoverride\\listid8\\listoverridecount0\\ls2}{\\listoverride\\listid9\\ls3}"
      "{\\listoverride\\listid7\\ls4}}";
  struct Case {
    std::string rtf;
    Lines paragraphs;
  } cases[] = {
      // Numbers count per list and level; a deeper level starts again under each number.
      {"\\pard\\ls1\\ilvl0 One\\par\\pard\\ls1\\ilvl1 Sub\\par\\pard\\ls1\\ilvl1 Sub\\par"
       "\\pard\\ls1\\ilvl0 Two\\par\\pard\\ls1\\ilvl1 Sub\\par\\pard Plain\\par\\pard\\ls1 Three\\par",
       {"1.\tOne", "1.a) Sub", "1.b) Sub", "2.\tTwo", "2.a) Sub", "Plain", "3.\tThree"}},
      // A bullet in the Symbol font; roman numbers from 4; a second override of list 7 counts on.
      {"\\pard\\ls1 First\\par\\pard\\ls2 Dot\\par\\pard\\ls3 Four\\par\\pard\\ls3 Five\\par\\pard\\ls4 On\\par",
       {"1.\tFirst", "\xE2\x80\xA2\tDot", "iv:\tFour", "v:\tFive", "2.\tOn"}},
      // A label the file spells out is kept, and counted.
      {"\\pard\\ls1{\\listtext 1.\\tab}Own\\par\\pard\\ls1 Made\\par", {"1.\tOwn", "2.\tMade"}},
      // An \ls with no list is no list.
      {"\\pard\\ls9 None\\par", {"None"}},
      // The older paragraph numbering: a number with the text after it, a bullet before,
      // capitals and roman numbers; a paragraph without a number starts the body numbers again.
      {"\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}A\\par"
       "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}B\\par"
       "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb \\'B7}}C\\par"
       "\\pard{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart1{\\pntxtb (}{\\pntxta )}}D\\par"
       "\\pard Plain\\par\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart3}E\\par",
       {"1.\tA", "2.\tB", "\xE2\x80\xA2\tC", "(A)\tD", "Plain", "III\tE"}},
      {"\\pard{\\pntext 7.\\tab}{\\*\\pn\\pnlvlbody\\pndec}Own\\par", {"7.\tOwn"}},
      // A \\pard in a group of its own leaves the paragraph's numbering.
      {"\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}{\\pard\\plain}A\\par\\pard B\\par", {"1.\tA", "B"}},
  };
  for (const Case& c : cases) {
    RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}" + table + c.rtf + "}");
    ASSERT_TRUE(r.ok) << c.rtf;
    EXPECT_EQ(Paragraphs(r.document.blocks), c.paragraphs) << c.rtf;
    EXPECT_EQ(ReadRtf(WriteRtf(r.document)).document, r.document) << c.rtf;
  }
}

TEST(RtfReader, PageNumbersAndLanguagesAreKept) {
  Document d = Read("{\\footer\\pard Folio \\chpgn\\par}\\pard Page {\\b\\chpgn} of the offer\\par"
                    "\\pard {\\lang1036{\\field{\\*\\fldinst DATE \\\\@ \"d MMMM yyyy\"}{\\fldrslt 3 mai 2024}}}\\par");
  EXPECT_EQ(Paragraphs(d.blocks), (Lines{"Page {PAGE=} of the offer", "{DATE \\@ \"d MMMM yyyy\"=3 mai 2024}"}));
  ASSERT_EQ(d.headersFooters.size(), 1u);
  EXPECT_EQ(Paragraphs(d.headersFooters[0].blocks), (Lines{"Folio {PAGE=}"}));
  EXPECT_TRUE(Para(d, 0).runs[1].format.bold);
  EXPECT_EQ(Para(d, 1).runs[0].format.language, 1036);
  const std::string rtf = WriteRtf(d);
  EXPECT_NE(rtf.find("\\lang1036"), std::string::npos);
  EXPECT_EQ(ReadRtf(rtf).document, d);
}

TEST(Fields, AFieldWithoutAResultShowsItsValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"PAGE", "1"},
      {" NUMPAGES \\* MERGEFORMAT", "1"},
      {"SECTIONPAGES", "1"},
      {"SYMBOL 183 \\f \"Symbol\"", "\xE2\x80\xA2"},
      {"SYMBOL 253 \\f \"Wingdings\" \\s 5", "\xE2\x98\x92"},
      {"SYMBOL 0xB7 \\f Symbol", "\xE2\x80\xA2"},
      {"SYMBOL 65", "A"},
      {"SYMBOL 8364 \\u", "\xE2\x82\xAC"},
      {"SYMBOL 128", "\xE2\x82\xAC"},  // a byte of Windows-1252 without a font
      {"SYMBOL x", ""},
      {"EQ \\f(1,2)", ""},
      {"DATE", ""},
      {"", ""},
  };
  for (const auto& [instruction, value] : cases) EXPECT_EQ(FieldValue(instruction), value) << instruction;
}
