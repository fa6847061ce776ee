// The model in and out of QTextDocument.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "editor/richtext/TxmFile.h"
#include "editor/richtextqt/RichTextQt.h"
#include "tests/richtext/Samples.h"

using namespace qv::richtext;
namespace rq = qv::richtext::qt;

TEST(RichTextQt, ModelThroughQTextDocumentAndBack) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    samples::DocumentMaker maker(seed);
    Document doc = maker.Make();
    QTextDocument qdoc;
    rq::ToQTextDocument(doc, qdoc);
    Document back = rq::FromQTextDocument(qdoc);
    if (!(back == doc)) FAIL() << "seed " << seed << "\n" << samples::DumpDifference(back, doc);
  }
}

TEST(RichTextQt, WhatQtHoldsIsInQtsOwnProperties) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}"
      "{\\colortbl;\\red255\\green0\\blue0;}\\paperw11906\\paperh16837\\margl1134"
      "\\pard\\qc\\li720\\fi-360\\sb120\\tqr\\tldot\\tx4320\\brdrt\\brdrs\\brdrw20\\brsp60"
      "{\\b\\f1\\fs28\\cf1 Bold}{\\i italic}\\line next\\par"
      "\\trowd\\cellx1440\\cellx4320\\pard\\intbl A\\cell B\\cell\\row"
      "\\pard\\pagebb After\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  QTextBlock first = qdoc.begin();
  EXPECT_EQ(first.text(), QString("Bolditalic") + QChar::LineSeparator + "next");
  QTextBlockFormat bf = first.blockFormat();
  EXPECT_EQ(bf.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_DOUBLE_EQ(bf.leftMargin(), 48.0);  // 720 twips at 15 to the pixel
  EXPECT_DOUBLE_EQ(bf.textIndent(), -24.0);
  EXPECT_DOUBLE_EQ(bf.topMargin(), 8.0);
  ASSERT_EQ(bf.tabPositions().size(), 1);
  EXPECT_EQ(bf.tabPositions()[0].type, QTextOption::RightTab);
  EXPECT_DOUBLE_EQ(bf.tabPositions()[0].position, 240.0);  // 4320 twips from the margin, less the indent
  ParagraphBorders borders = rq::ParagraphBordersOf(bf);
  EXPECT_EQ(borders.top, (BorderLine{BorderStyle::Single, 20, 60, std::nullopt}));
  QTextCharFormat bold = first.begin().fragment().charFormat();
  EXPECT_EQ(bold.fontWeight(), QFont::Bold);
  EXPECT_EQ(bold.fontFamilies().toStringList(), QStringList{"Arial"});
  EXPECT_DOUBLE_EQ(bold.fontPointSize(), 14.0);
  EXPECT_EQ(bold.foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(rq::PageSetupOf(qdoc), (PageSetup{11906, 16837, 1134, 1800, 1440, 1440}));
  // The table, then the page break before the last paragraph.
  QTextTable* table = nullptr;
  for (auto it = qdoc.rootFrame()->begin(); !it.atEnd(); ++it)
    if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) table = t;
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rows(), 1);
  EXPECT_EQ(table->columns(), 2);
  EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), "B");
  ASSERT_EQ(table->format().columnWidthConstraints().size(), 2);
  EXPECT_DOUBLE_EQ(table->format().columnWidthConstraints()[1].rawValue(), 192.0);
  QTextBlock last = qdoc.lastBlock();
  EXPECT_EQ(last.text(), "After");
  EXPECT_TRUE(last.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
}

TEST(RichTextQt, EditsMadeThroughQtAreExported) {
  QTextDocument qdoc;
  ASSERT_TRUE(rq::ImportRtf("{\\rtf1\\pard Lease\\par}", qdoc));
  QTextCursor cur(&qdoc);
  cur.movePosition(QTextCursor::End);
  QTextCharFormat italic;
  italic.setFontItalic(true);
  cur.insertText(" payment", italic);
  QTextBlockFormat right;
  right.setAlignment(Qt::AlignRight);
  cur.insertBlock(right);
  cur.insertText("$412.50");
  ASSERT_TRUE(rq::InsertPicture(cur, samples::TinyPng()));
  EXPECT_FALSE(rq::InsertPicture(cur, "not a picture"));
  QTextTableFormat tf;
  tf.setBorder(1);
  tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 96), QTextLength(QTextLength::FixedLength, 48)});
  cur.movePosition(QTextCursor::End);
  QTextTable* t = cur.insertTable(2, 2, tf);
  t->cellAt(1, 1).firstCursorPosition().insertText("x");
  RtfReadResult back = ReadRtf(rq::ExportRtf(qdoc));
  ASSERT_TRUE(back.ok);
  const Document& d = back.document;
  ASSERT_GE(d.blocks.size(), 3u);
  const Paragraph& p0 = std::get<Paragraph>(d.blocks[0]);
  ASSERT_EQ(p0.runs.size(), 2u);
  EXPECT_TRUE(p0.runs[1].format.italic);
  const Paragraph& p1 = std::get<Paragraph>(d.blocks[1]);
  EXPECT_EQ(p1.format.alignment, Alignment::Right);
  ASSERT_EQ(p1.runs.size(), 2u);
  EXPECT_EQ(p1.runs[1].kind, TextRun::Kind::Picture);
  EXPECT_EQ(p1.runs[1].picture.width, 30);  // 2 x 1 pixels
  EXPECT_EQ(p1.runs[1].picture.height, 15);
  const Table* table = nullptr;
  for (const Block& b : d.blocks)
    if (auto* tb = std::get_if<Table>(&b)) table = tb;
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rows.size(), 2u);
  EXPECT_EQ(table->rows[1].cells[0].rightEdge, 1440);
  EXPECT_EQ(table->rows[1].cells[1].rightEdge, 2160);
  EXPECT_EQ(table->rows[1].cells[1].paragraphs[0].PlainText(), "x");
  EXPECT_EQ(table->rows[0].cells[0].top.style, BorderStyle::Single);  // the table's grid
}

TEST(RichTextQt, RefusedRtfLeavesTheDocument) {
  QTextDocument qdoc;
  qdoc.setPlainText("kept");
  std::string error;
  EXPECT_FALSE(rq::ImportRtf("no rtf", qdoc, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(qdoc.toPlainText(), "kept");
}

// A footnote shows as its number at its mark and its note at the end of the document; the
// model of the shown document has the footnotes at their marks and no paragraphs of notes.
TEST(RichTextQt, FootnotesShowTheirNumbersAndTheirNotesAtTheEnd) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\pard A{\\super\\chftn{\\footnote\\pard"
      "{\\super\\chftn} First note.}}{\\super\\chftn{\\footnote\\pard{\\super\\chftn} Second\\par line}} b\\par"
      "\\trowd\\cellx1440\\pard\\intbl C{\\super\\chftn{\\footnote\\pard{\\super\\chftn} Third}}\\cell\\row}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  EXPECT_EQ(qdoc.begin().text(), "A12 b");
  QTextCursor mark(qdoc.begin());
  mark.setPosition(2);
  EXPECT_EQ(mark.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
  QStringList notes;
  for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next())
    if (b.blockFormat().boolProperty(rq::kFootnoteBlock)) notes << b.text();
  EXPECT_EQ(notes, (QStringList{"1 First note.", QString("2 Second") + QChar::LineSeparator + "line", "3 Third"}));
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
}

// Cells merged down and across are one Qt cell each, and come back merged.
TEST(RichTextQt, MergedCellsAreOneCell) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
      "\\trowd\\clvmgf\\clbrdrt\\brdrs\\brdrw10\\cellx3000\\clmgf\\cellx6000\\clmrg\\cellx9000"
      "\\pard\\plain\\intbl Merged\\cell Across\\cell\\cell\\row"
      "\\trowd\\clvmrg\\clbrdrt\\brdrs\\brdrw10\\cellx3000\\cellx6000\\cellx9000"
      "\\pard\\plain\\intbl\\cell 2,2\\cell 2,3\\cell\\row\\pard After\\par}");
  ASSERT_TRUE(r.ok);
  const Table& model = std::get<Table>(r.document.blocks[0]);
  EXPECT_EQ(model.rows[0].cells[0].mergeDown, CellMerge::First);
  EXPECT_EQ(model.rows[1].cells[0].mergeDown, CellMerge::Next);
  EXPECT_EQ(model.rows[0].cells[1].mergeAcross, CellMerge::First);
  EXPECT_EQ(model.rows[0].cells[2].mergeAcross, CellMerge::Next);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  QTextTable* table = nullptr;
  for (QTextFrame* f : qdoc.rootFrame()->childFrames())
    if ((table = qobject_cast<QTextTable*>(f))) break;
  ASSERT_NE(table, nullptr);
  QTextTableCell down = table->cellAt(1, 0);
  EXPECT_EQ(down.row(), 0);
  EXPECT_EQ(down.rowSpan(), 2);
  QTextCursor c = down.firstCursorPosition();
  c.setPosition(down.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  EXPECT_EQ(c.selectedText(), "Merged");  // the merged-in cell adds no paragraph
  EXPECT_EQ(table->cellAt(0, 2).column(), table->cellAt(0, 1).column());
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
  // A save keeps the merges.
  std::string rtf = WriteRtf(rq::FromQTextDocument(qdoc));
  for (const char* word : {"\\clvmgf", "\\clvmrg", "\\clmgf", "\\clmrg"}) EXPECT_NE(rtf.find(word), std::string::npos) << word;
}

// Capitals and small capitals are Qt's font capitalization, kept through RTF and Qt.
TEST(RichTextQt, CapitalsAndSmallCapitals) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\pard{\\caps all}{\\scaps small}"
                            "{\\caps\\caps0 none}\\par}");
  ASSERT_TRUE(r.ok);
  const Paragraph& p = std::get<Paragraph>(r.document.blocks[0]);
  ASSERT_EQ(p.runs.size(), 3u);
  EXPECT_EQ(p.runs[0].format.capitals, Capitals::All);
  EXPECT_EQ(p.runs[1].format.capitals, Capitals::Small);
  EXPECT_EQ(p.runs[2].format.capitals, Capitals::None);
  EXPECT_EQ(ReadRtf(WriteRtf(r.document)).document, r.document);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  QTextCursor c(qdoc.begin());
  c.setPosition(1);
  EXPECT_EQ(c.charFormat().fontCapitalization(), QFont::AllUppercase);
  c.setPosition(5);
  EXPECT_EQ(c.charFormat().fontCapitalization(), QFont::SmallCaps);
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
}

// A section's columns are kept through RTF, Qt and ".txm".
TEST(RichTextQt, ColumnsAreKept) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\sectd\\cols2\\colsx360\\pard Text\\par}");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.document.page.columns, 2);
  EXPECT_EQ(r.document.page.columnSpace, 360);
  EXPECT_EQ(ReadRtf(WriteRtf(r.document)).document, r.document);
  EXPECT_EQ(ReadTxm(WriteTxm(r.document)).document.page, r.document.page);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  EXPECT_EQ(rq::FromQTextDocument(qdoc).page, r.document.page);
}

TEST(RichTextQt, FieldsHeadersAndHiddenTextGoThroughQt) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\margt720\\sectd\\margtsxn1134"
      "{\\header \\pard Page {\\field{\\*\\fldinst  PAGE }{\\fldrslt 1}}\\par}"
      "{\\footer \\pard {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 4}}\\par}"
      "\\pard Page {\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 3}}}{\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 3}}}"
      " of {\\field{\\*\\fldinst DATE}}{\\v  hidden}\\par}");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.document.headersFooters.size(), 2u);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  // The fields show their results, one without a result its instruction; the headers are not shown.
  EXPECT_EQ(qdoc.toPlainText(), "Page 33 of {DATE} hidden");
  EXPECT_EQ(rq::PageSetupOf(qdoc).sectionExtraTop, 414);
  Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);
  // Text typed before the fields leaves them as they are.
  QTextCursor c(&qdoc);
  c.insertText("Now: ");
  back = rq::FromQTextDocument(qdoc);
  ASSERT_EQ(back.blocks.size(), 1u);
  const Paragraph& p = std::get<Paragraph>(back.blocks[0]);
  std::vector<std::string> instructions;
  for (const TextRun& run : p.runs)
    if (run.kind == TextRun::Kind::Field) instructions.push_back(run.instruction + "=" + run.text);
  EXPECT_EQ(instructions, (std::vector<std::string>{"PAGE=3", "PAGE=3", "DATE="}));
  EXPECT_EQ(back.headersFooters, r.document.headersFooters);
  const std::string rtf = rq::ExportRtf(qdoc);
  EXPECT_NE(rtf.find("{\\header"), std::string::npos);
  EXPECT_NE(rtf.find("\\margtsxn1134"), std::string::npos);
  EXPECT_NE(rtf.find("{\\v  hidden}"), std::string::npos);
}

TEST(RichTextQt, TabStopsFromTheMarginBecomeQtsFromTheIndentAndBack) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\paperw12240\\paperh15840\\margl1440\\margr1440"
      "\\pard\\tqr\\tx7200 No indent\\tab RIGHT\\par"
      "\\pard\\li1440\\tqr\\tx7200 Indent\\tab RIGHT\\par"
      "\\pard\\li1440\\fi-720\\tx720\\tx3600 Hanging\\tab X\\par}";
  RtfReadResult r = ReadRtf(rtf);
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  std::vector<std::vector<double>> positions;
  for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next()) {
    positions.emplace_back();
    for (const QTextOption::Tab& t : b.blockFormat().tabPositions()) positions.back().push_back(t.position);
  }
  EXPECT_EQ(positions, (std::vector<std::vector<double>>{{480}, {384}, {-48, 144}}));
  Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);
  const std::string out = rq::ExportRtf(qdoc);
  EXPECT_NE(out.find("\\li1440\\tqr\\tx7200"), std::string::npos) << out;
  EXPECT_NE(out.find("\\tx720\\tx3600"), std::string::npos) << out;
}

TEST(RichTextQt, TablesWithoutFixedWidthsAreSavedAsWideAsTheyShow) {
  struct Case {
    QTextLength tableWidth;
    QList<QTextLength> columns;
    int count;
    std::vector<int> edges;  // twips from the margin
  } cases[] = {
      // "Insert Table": the text's width, shared evenly. The text is 12240 - 2 x 1800 twips wide.
      {QTextLength(QTextLength::PercentageLength, 100), {}, 3, {2880, 5760, 8640}},
      {QTextLength(QTextLength::PercentageLength, 50), {}, 2, {2160, 4320}},
      {QTextLength(QTextLength::PercentageLength, 100),
       {QTextLength(QTextLength::PercentageLength, 25), QTextLength(QTextLength::PercentageLength, 75)}, 2,
       {2160, 8640}},
      {QTextLength(QTextLength::VariableLength, 0),
       {QTextLength(QTextLength::FixedLength, 96), QTextLength()}, 2, {1440, 8640}},
  };
  for (const Case& c : cases) {
    QTextDocument qdoc;
    rq::SetPageSetup(qdoc, PageSetup{});
    QTextTableFormat f;
    f.setWidth(c.tableWidth);
    if (!c.columns.isEmpty()) f.setColumnWidthConstraints(c.columns);
    QTextCursor cur(&qdoc);
    cur.insertTable(2, c.count, f);
    Document back = rq::FromQTextDocument(qdoc);
    const Table* t = nullptr;
    for (const Block& b : back.blocks)
      if (auto* table = std::get_if<Table>(&b)) t = table;
    ASSERT_NE(t, nullptr);
    for (const TableRow& row : t->rows) {
      std::vector<int> edges;
      for (const TableCell& cell : row.cells) edges.push_back(cell.rightEdge);
      EXPECT_EQ(edges, c.edges) << c.count;
    }
  }
}
