// The RTF writer: what it writes the reader reads back as the same document.
#include <gtest/gtest.h>

#include "editor/richtext/Rtf.h"
#include "tests/richtext/Samples.h"

using namespace qv::richtext;

namespace {
// Describes the first difference of two documents, for a readable failure.
std::string FirstDifference(const Document& a, const Document& b) {
  if (a.page != b.page) return "page";
  if (a.defaultFont != b.defaultFont) return "default font " + a.defaultFont + " / " + b.defaultFont;
  if (a.blocks.size() != b.blocks.size())
    return "block count " + std::to_string(a.blocks.size()) + " / " + std::to_string(b.blocks.size());
  for (size_t k = 0; k < a.blocks.size(); ++k)
    if (!(a.blocks[k] == b.blocks[k])) return "block " + std::to_string(k);
  return "none";
}
}  // namespace

TEST(RtfWriter, WhatItWritesReadsBackUnchanged) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    samples::DocumentMaker maker(seed);
    Document doc = maker.Make();
    std::string rtf = WriteRtf(doc);
    RtfReadResult back = ReadRtf(rtf);
    ASSERT_TRUE(back.ok) << back.error;
    if (!(back.document == doc)) {
      FAIL() << "seed " << seed << ": " << FirstDifference(back.document, doc) << "\n"
             << samples::DumpDifference(back.document, doc);
    }
    EXPECT_EQ(WriteRtf(back.document), rtf) << "seed " << seed;  // and writes the same again
  }
}

TEST(RtfWriter, NormalizeGivesTheReadersForm) {
  // A document built in code with what RTF cannot tell apart is brought to the read form.
  Document doc;
  Paragraph p;
  TextRun a, b, c, empty, pic;
  a.text = "one\r\ntwo";
  b.text = "\x01three";
  b.format.font = "Times New Roman";  // the default font, named
  c.kind = TextRun::Kind::LineBreak;
  c.text = "ignored";
  pic.kind = TextRun::Kind::Picture;  // no data: nothing to show
  p.runs = {a, b, empty, c, pic};
  doc.blocks.push_back(p);
  doc.blocks.push_back(Table{{TableRow{}}});  // a row with no cell
  TableRow row;
  row.cells.resize(1);
  doc.blocks.push_back(Table{{row}});
  doc.blocks.push_back(Table{{row}});  // two tables with nothing between them are one
  Normalize(doc);
  ASSERT_EQ(doc.blocks.size(), 2u);
  const Paragraph& n = std::get<Paragraph>(doc.blocks[0]);
  ASSERT_EQ(n.runs.size(), 4u);
  EXPECT_EQ(n.runs[0].text, "one");
  EXPECT_EQ(n.runs[1].kind, TextRun::Kind::LineBreak);
  EXPECT_EQ(n.runs[2].text, "twothree");
  EXPECT_EQ(n.runs[3].kind, TextRun::Kind::LineBreak);
  EXPECT_TRUE(n.runs[3].text.empty());
  const Table& t = std::get<Table>(doc.blocks[1]);
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[0].cells[0].paragraphs.size(), 1u);
  EXPECT_EQ(ReadRtf(WriteRtf(doc)).document, doc);
}

TEST(RtfWriter, WritesPlainRtfThatOtherReadersTake) {
  Document doc;
  doc.page = {11906, 16837, 1440, 1440, 1440, 1440};
  Paragraph p;
  p.format.alignment = Alignment::Center;
  TextRun bold;
  bold.format.bold = true;
  bold.text = "Caf\xC3\xA9 \xE2\x82\xAC 5 {x}";
  p.runs.push_back(bold);
  doc.blocks.push_back(p);
  std::string rtf = WriteRtf(doc);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u);
  EXPECT_NE(rtf.find("\\paperw11906\\paperh16837\\margl1440"), std::string::npos);
  EXPECT_NE(rtf.find("\\pard\\plain\\qc{\\b Caf\\u233? \\u8364? 5 \\{x\\}}\\par"), std::string::npos)
      << rtf;
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);  // 7-bit text only
}

TEST(RtfWriter, EscapesMergedValues) {
  struct Case {
    const char* text;
    const char* rtf;
  } cases[] = {
      {"plain", "plain"},
      {"a\\b{c}", "a\\\\b\\{c\\}"},
      {"tab\there", "tab\\tab here"},
      {"two\nlines", "two\\line lines"},
      {"\xC3\xA9", "\\u233?"},
      {"\xC5\x82", "\\u322?"},
      {"\xEF\xBF\xBF", "\\u-1?"},
      {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeRtfText(c.text), c.rtf) << c.text;
}

// A table inside a cell is written as Word writes it: its paragraphs at their "\itap"
// level, cells ended by "\nestcell", each row's definition after its cells in
// "\*\nesttableprops" ended by "\nestrow", a "\nonesttables" paragraph for older readers,
// and the outer cell closed by "\cell". Reading it back gives the same document.
TEST(RtfWriter, NestedTablesAreWrittenNested) {
  Document doc;
  Paragraph text;
  text.runs.push_back({TextRun::Kind::Text, {}, "Inner", {}});
  auto cellWith = [](int edge, std::vector<Paragraph> paragraphs) {
    TableCell c;
    c.rightEdge = edge;
    c.bottom = BorderLine{BorderStyle::Single, 10, 0, std::nullopt};
    c.paragraphs = std::move(paragraphs);
    return c;
  };
  Table deepest;
  deepest.rows.push_back({});
  deepest.rows[0].cells.push_back(cellWith(1500, {text}));
  Table inner;
  for (int r = 0; r < 2; ++r) {
    TableRow row;
    row.gap = 108;
    row.cells.push_back(cellWith(2500, {text}));
    row.cells.push_back(cellWith(4800, {Paragraph{}}));
    inner.rows.push_back(row);
  }
  inner.rows[1].cells[1].tables.push_back({0, deepest});
  inner.rows[0].cells[0].mergeAcross = CellMerge::First;
  inner.rows[0].cells[1].mergeAcross = CellMerge::Next;
  Table outer;
  outer.rows.push_back({});
  outer.rows[0].cells.push_back(cellWith(5000, {text, Paragraph{}}));
  outer.rows[0].cells[0].tables.push_back({1, inner});
  outer.rows[0].cells.push_back(cellWith(9000, {text}));
  doc.blocks.push_back(outer);
  doc.blocks.push_back(text);
  Normalize(doc);

  const std::string rtf = WriteRtf(doc);
  auto count = [&](const std::string& word) {
    size_t n = 0;
    for (size_t at = rtf.find(word); at != std::string::npos; at = rtf.find(word, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("\\nestcell"), 5u) << rtf;  // four cells at level 2, one at level 3
  EXPECT_EQ(count("{\\*\\nesttableprops\\trowd"), 3u) << rtf;
  EXPECT_EQ(count("\\nestrow}{\\nonesttables\\par}"), 3u) << rtf;
  EXPECT_EQ(count("\\itap3"), 2u) << rtf;  // the cell's paragraph and its row's
  EXPECT_EQ(count("\\cell\n"), 2u) << rtf;
  EXPECT_EQ(count("\\row\n"), 1u) << rtf;
  EXPECT_EQ(count("\\clmgf"), 1u) << rtf;
  // The inner table's paragraphs come between the outer cell's first paragraph and its last.
  const size_t first = rtf.find("Inner}\\par");
  const size_t nested = rtf.find("\\itap2");
  const size_t closing = rtf.find("\\pard\\plain\\intbl\\itap1\\cell");
  EXPECT_LT(first, nested);
  EXPECT_LT(nested, closing);
  EXPECT_NE(closing, std::string::npos) << rtf;

  RtfReadResult back = ReadRtf(rtf);
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_EQ(back.document, doc) << samples::DumpDifference(back.document, doc);
  EXPECT_EQ(WriteRtf(back.document), rtf);
}

TEST(RtfWriter, WritesFieldsHeadersHiddenTextAndSectionMargins) {
  Document d;
  d.page.marginTop = 720;
  d.page.sectionExtraTop = 414;
  d.titlePage = true;
  d.facingPages = true;
  auto paragraph = [](std::vector<TextRun> runs) {
    Paragraph p;
    p.runs = std::move(runs);
    return p;
  };
  auto text = [](std::string s, bool hidden = false) {
    TextRun r;
    r.text = std::move(s);
    r.format.hidden = hidden;
    return r;
  };
  auto field = [](std::string instruction, std::string result) {
    TextRun r;
    r.kind = TextRun::Kind::Field;
    r.instruction = std::move(instruction);
    r.text = std::move(result);
    return r;
  };
  d.headersFooters.push_back({"header", {paragraph({text("Page "), field("PAGE", "1")})}});
  d.headersFooters.push_back({"footerf", {paragraph({field("NUMPAGES", "")})}});
  d.blocks.push_back(paragraph({text("Dear "), field("MERGEFIELD Name", "\xC2\xABName\xC2\xBB"), text("note", true)}));
  Normalize(d);
  const std::string rtf = WriteRtf(d);
  for (const char* words : {"\\margt720", "\\margb1440\\facingp\n", "\\sectd\\titlepg\\margtsxn1134\n", "{\\header\n", "{\\footerf\n",
                            "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}", "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt }}",
                            "{\\field{\\*\\fldinst MERGEFIELD Name}{\\fldrslt \\u171?Name\\u187?}}", "{\\v note}"})
    EXPECT_NE(rtf.find(words), std::string::npos) << words << "\n" << rtf;
  EXPECT_LT(rtf.find("{\\footerf"), rtf.find("Dear"));  // headers come before the text
  RtfReadResult back = ReadRtf(rtf);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.document, d) << samples::DumpDifference(back.document, d);
}
