// The model in and out of QTextDocument.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
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

// Paragraph shading is the block's background, character shading the characters'; both come
// back from Qt.
TEST(RichTextQt, ShadingIsTheBackgroundOfBlocksAndCharacters) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                            "\\pard\\cbpat1{\\chcbpat2 x}y\\par\\pard z\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  const QTextBlock first = qdoc.begin();
  EXPECT_EQ(first.blockFormat().background().color(), QColor(255, 0, 0));
  EXPECT_EQ(first.next().blockFormat().background().style(), Qt::NoBrush);
  QTextCursor c(first);
  c.setPosition(1);
  EXPECT_EQ(c.charFormat().background().color(), QColor(0, 0, 255));
  c.setPosition(2);
  EXPECT_EQ(c.charFormat().background().style(), Qt::NoBrush);
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
}

namespace {

// A page whose lines are 576 pixels (8640 twips) long, like the default RTF page's.
const char* kTabPage = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\paperw12240\\margl1800\\margr1800";

void LayOutAsOnThePage(QTextDocument& qdoc) {
  qdoc.setDocumentMargin(0);
  qdoc.setTextWidth(576);
  qdoc.documentLayout()->documentSize();
}

}  // namespace

// A right tab stop past the right margin keeps the text after it on its line, at the margin
// (as LibreOffice shows it); the stop's own position is what a save writes. A stop moved in
// the editor is saved where it now stands.
TEST(RichTextQt, ARightTabPastTheMarginKeepsItsTextOnTheLine) {
  RtfReadResult r = ReadRtf(std::string(kTabPage) +
                            "\\pard\\tqr\\tldot\\tx9072 Summary\\tab 2\\par"
                            "\\pard\\li720\\ri360\\tqr\\tx9500 Indented\\tab 3\\par"
                            "\\pard\\tqr\\tx8640 At the margin\\tab 4\\par"
                            "\\pard\\tx9072 Left\\tab 5\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  LayOutAsOnThePage(qdoc);
  const double rightEdge[] = {576, 576 - 24, 576};
  int k = 0;
  for (QTextBlock b = qdoc.begin(); k < 3; b = b.next(), ++k) {
    ASSERT_TRUE(b.isValid());
    ASSERT_EQ(b.layout()->lineCount(), 1) << b.text().toStdString();
    const QTextLine line = b.layout()->lineAt(0);
    EXPECT_NEAR(line.cursorToX(b.length() - 1), rightEdge[k], 1.0) << b.text().toStdString();
  }
  const Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, r.document);
  const std::string rtf = WriteRtf(back);
  EXPECT_NE(rtf.find("\\tqr\\tldot\\tx9072{Summary"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\tqr\\tx9500"), std::string::npos) << rtf;

  // The first stop moved to 300 pixels (4500 twips).
  QTextCursor c(qdoc.begin());
  QTextBlockFormat bf = c.blockFormat();
  bf.setTabPositions({QTextOption::Tab(300, QTextOption::RightTab)});
  c.setBlockFormat(bf);
  const Document edited = rq::FromQTextDocument(qdoc);
  const Paragraph& moved = std::get<Paragraph>(edited.blocks.at(0));
  ASSERT_EQ(moved.format.tabs.size(), 1u);
  EXPECT_EQ(moved.format.tabs[0].position, 4500);
}

// Each kind of leader fills the gap of its tab with ink; a tab without one leaves it blank.
TEST(RichTextQt, TabLeadersAreDrawnInTheGap) {
  const struct {
    const char* leader;
    bool ink;
  } cases[] = {{"\\tldot", true}, {"\\tlhyph", true}, {"\\tlul", true}, {"\\tlth", true}, {"\\tleq", true}, {"", false}};
  std::string rtf = kTabPage;
  for (const auto& c : cases) rtf += std::string("\\pard\\tqr") + c.leader + "\\tx7200 Entry\\tab 12\\par";
  // In a table cell too.
  rtf += "\\trowd\\cellx6000\\pard\\intbl\\tldot\\tx4000 Cell\\tab 7\\cell\\row}";
  RtfReadResult r = ReadRtf(rtf);
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  LayOutAsOnThePage(qdoc);
  QImage image(576, int(qdoc.size().height()) + 1, QImage::Format_RGB32);
  auto render = [&](bool leaders) {
    image.fill(Qt::white);
    QPainter p(&image);
    QAbstractTextDocumentLayout::PaintContext ctx;
    qdoc.documentLayout()->draw(&p, ctx);
    if (leaders) rq::DrawTabLeaders(p, qdoc, QRectF(image.rect()));
  };
  // The dark pixels between the end of the text before the tab and the start of the text after.
  auto inkInGap = [&](const QTextBlock& b) {
    const int tab = int(b.text().indexOf(QLatin1Char('\t')));
    const QTextLayout* tl = b.layout();
    const QRectF box = qdoc.documentLayout()->blockBoundingRect(b);
    const QPointF origin = box.topLeft() - tl->boundingRect().topLeft();
    const QTextLine line = tl->lineAt(0);
    const int x0 = int(origin.x() + line.cursorToX(tab)) + 2, x1 = int(origin.x() + line.cursorToX(tab + 1)) - 2;
    const int y0 = int(origin.y() + line.y()), y1 = int(origin.y() + line.y() + line.height());
    int ink = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) ink += qGray(image.pixel(x, y)) < 160;
    return ink;
  };
  std::vector<QTextBlock> blocks;
  for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next())
    if (b.text().contains(QLatin1Char('\t'))) blocks.push_back(b);
  ASSERT_EQ(blocks.size(), std::size(cases) + 1);
  render(false);
  for (const QTextBlock& b : blocks) EXPECT_EQ(inkInGap(b), 0) << b.text().toStdString();
  render(true);
  for (size_t k = 0; k < std::size(cases); ++k) {
    if (cases[k].ink) EXPECT_GT(inkInGap(blocks[k]), 10) << cases[k].leader;
    else EXPECT_EQ(inkInGap(blocks[k]), 0) << "no leader";
  }
  EXPECT_GT(inkInGap(blocks.back()), 10) << "in a cell";
}

// The characters of the Symbol and Wingdings fonts show with real glyphs (Qt falls back to a
// font that has them where the named font is missing or lacks them), and the runs keep the
// font's name through Qt and a save.
TEST(RichTextQt, SymbolFontCharactersShowWithGlyphsAndKeepTheirFont) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}"
                            "{\\f2\\fnil\\fcharset2 Wingdings;}}\\pard{\\f1\\'b7}\\tab Bullet\\par"
                            "\\pard{\\f1 a}-D-Glucosidase and {\\f1 b}\\par\\pard{\\f2\\'a7\\'d8\\'fc}\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  qdoc.documentLayout()->documentSize();
  EXPECT_EQ(qdoc.toPlainText(), QString::fromUtf8("\xE2\x80\xA2\tBullet\n\xCE\xB1-D-Glucosidase and \xCE\xB2\n"
                                                  "\xE2\x96\xAA\xE2\x9E\xA2\xE2\x9C\x93"));
  // Each block laid out again as the document shows it (its own layout keeps no glyphs): no
  // glyph is the font's missing-glyph mark.
  int glyphs = 0;
  for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next()) {
    QTextLayout layout(b.text(), qdoc.defaultFont());
    layout.setFormats(b.textFormats());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      for (quint32 glyph : run.glyphIndexes()) {
        EXPECT_NE(glyph, 0u) << b.text().toStdString() << " in " << run.rawFont().familyName().toStdString();
        ++glyphs;
      }
    }
  }
  EXPECT_GT(glyphs, 30);
  const Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, r.document);
  EXPECT_EQ(ReadRtf(WriteRtf(back)).document, r.document);
}

namespace {
std::string Fixture(const char* name) {
  QFile f(QString(QV_SOURCE_DIR) + "/tests/richtext/fixtures/" + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

QString CellText(const QTextTableCell& cell) {
  QTextCursor c = cell.firstCursorPosition();
  c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  return c.selectedText();
}

QTextTable* InnerTable(QTextFrame* frame) {
  for (QTextFrame* f : frame->childFrames())
    if (auto* t = qobject_cast<QTextTable*>(f)) return t;
  return nullptr;
}
}  // namespace

// A table inside a cell is a QTextTable in the QTextTableCell, three levels deep here, and
// comes back as the same model; one put into a cell in Qt is saved as a nested table.
TEST(RichTextQt, NestedTablesAreTablesInTheirCell) {
  RtfReadResult r = ReadRtf(Fixture("nested.rtf"));
  ASSERT_TRUE(r.ok) << r.error;
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  QTextTable* outer = InnerTable(qdoc.rootFrame());
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->rows(), 2);
  QTextTable* inner = InnerTable(outer);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(outer->cellAt(inner->firstPosition()).row(), 0);
  EXPECT_EQ(outer->cellAt(inner->firstPosition()).column(), 0);
  EXPECT_EQ(inner->rows(), 2);
  EXPECT_EQ(inner->columns(), 2);
  EXPECT_EQ(CellText(inner->cellAt(0, 0)), "Bank");
  EXPECT_EQ(CellText(inner->cellAt(1, 0)), "North");
  QTextTable* deepest = InnerTable(inner);
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(CellText(deepest->cellAt(0, 0)), "3.9");
  EXPECT_EQ(inner->cellAt(deepest->firstPosition()).column(), 1);
  // "Lenders" stays in the outer cell before the inner table.
  QTextCursor lenders = outer->cellAt(0, 0).firstCursorPosition();
  lenders.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  EXPECT_EQ(lenders.selectedText(), "Lenders");
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document) << samples::DumpDifference(rq::FromQTextDocument(qdoc), r.document);

  // Cells merged across in an inner table are one Qt cell, and come back merged.
  RtfReadResult merged = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\trowd\\cellx6000\\pard\\intbl\\itap2 Wide\\nestcell"
      "\\nestcell\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\clmgf\\cellx2000\\clmrg\\cellx4000\\nestrow}"
      "\\pard\\intbl\\cell\\row\\pard After\\par}");
  ASSERT_TRUE(merged.ok);
  QTextDocument mergedDoc;
  rq::ToQTextDocument(merged.document, mergedDoc);
  QTextTable* mergedOuter = InnerTable(mergedDoc.rootFrame());
  ASSERT_NE(mergedOuter, nullptr);
  QTextTable* mergedInner = InnerTable(mergedOuter);
  ASSERT_NE(mergedInner, nullptr);
  EXPECT_EQ(mergedInner->cellAt(0, 0).columnSpan(), 2);
  EXPECT_EQ(rq::FromQTextDocument(mergedDoc), merged.document);

  // A table the user puts into a cell, without any of our properties.
  QTextDocument edited;
  QTextCursor cur(&edited);
  cur.insertText("Top");
  QTextTable* table = cur.insertTable(1, 2);
  table->cellAt(0, 1).firstCursorPosition().insertText("Right");
  QTextCursor inCell = table->cellAt(0, 0).firstCursorPosition();
  inCell.insertText("Left");
  QTextTable* added = inCell.insertTable(2, 1);
  added->cellAt(0, 0).firstCursorPosition().insertText("A");
  added->cellAt(1, 0).firstCursorPosition().insertText("B");
  Document saved = rq::FromQTextDocument(edited);
  ASSERT_EQ(saved.blocks.size(), 3u);  // and the empty block Qt keeps after a table
  const TableCell& left = std::get<Table>(saved.blocks[1]).rows.at(0).cells.at(0);
  ASSERT_EQ(left.tables.size(), 1u);
  EXPECT_EQ(left.tables[0].table.rows.size(), 2u);
  EXPECT_EQ(saved.PlainText(), "Top\nLeft A B\tRight\n");
  std::string rtf = WriteRtf(saved);
  EXPECT_NE(rtf.find("\\itap2"), std::string::npos);
  RtfReadResult back = ReadRtf(rtf);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.document, saved);
}

TEST(RichTextQt, FieldsHeadersAndHiddenTextGoThroughQt) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\margt720\\facingp\\sectd\\titlepg\\margtsxn1134"
      "{\\header \\pard Page {\\field{\\*\\fldinst  PAGE }{\\fldrslt 1}}\\par}"
      "{\\footer \\pard {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 4}}\\par}"
      "\\pard Page {\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 3}}}{\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 3}}}"
      " of {\\field{\\*\\fldinst DATE}}{\\v  hidden}\\par}");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.document.headersFooters.size(), 2u);
  ASSERT_TRUE(r.document.titlePage);
  ASSERT_TRUE(r.document.facingPages);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  // The fields show their results; DATE without a result shows nothing (a zero-width space
  // holds its place); the headers are not shown.
  EXPECT_EQ(qdoc.toPlainText(), QStringLiteral("Page 33 of \u200B hidden"));
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
  EXPECT_NE(rtf.find("\\facingp\n\\sectd\\titlepg\\margtsxn1134"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\v  hidden}"), std::string::npos);
}

// A field without a result shows its value (a page number, a symbol's character, else
// nothing) and comes back as the field it was, its result still empty; the text's language
// goes through Qt too.
TEST(RichTextQt, FieldsWithoutAResultShowTheirValueAndStayFields) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}"
      "\\pard Sheet {\\field{\\*\\fldinst PAGE}} of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt }}, page \\chpgn\\par"
      "\\pard Mark {\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}} paid{\\field{\\*\\fldinst EQ \\\\f(1,2)}}.\\par"
      "\\pard {\\lang1036 le}\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  EXPECT_EQ(qdoc.toPlainText(), QString::fromUtf8("Sheet 1 of 1, page 1\nMark \xE2\x80\xA2 paid\xE2\x80\x8B.\nle"));
  Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);
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

namespace {

// Rows of `cells` cells whose edges each row moves by a twip (the first cell's edge stays
// put); the first column merged down over every row when `mergeDown`.
std::string StaggeredRows(int rows, int cells, bool mergeDown) {
  std::string s;
  for (int r = 0; r < rows; ++r) {
    s += "\\trowd\\trgaph60";
    for (int c = 0; c < cells; ++c) {
      if (c == 0 && mergeDown) s += r == 0 ? "\\clvmgf" : "\\clvmrg";
      s += "\\cellx" + std::to_string(c == 0 ? 1000 : 1000 * (c + 1) + r);
    }
    s += "\\pard\\intbl";
    for (int c = 0; c < cells; ++c)  // a cell merged into the one above holds no text
      s += (c == 0 && mergeDown && r > 0 ? "" : " " + std::to_string(r) + "." + std::to_string(c)) + "\\cell";
    s += "\\row";
  }
  return s;
}

// The Qt cells of the tables of a frame and of the tables inside their cells.
long long QtCells(QTextFrame* frame, int& tables) {
  long long n = 0;
  for (QTextFrame* child : frame->childFrames()) {
    if (auto* t = qobject_cast<QTextTable*>(child)) {
      n += (long long)t->rows() * t->columns();
      ++tables;
    }
    n += QtCells(child, tables);
  }
  return n;
}

}  // namespace

// Rows whose cell edges all differ a little would make a grid of every distinct edge (rows x
// rows x cells Qt cells); such a table is built as several QTextTables of a bounded grid,
// and comes back from Qt as the one table it was: the same rows and edges, a merge down
// across the whole table kept, a table inside a cell too.
TEST(RichTextQt, TablesWithStaggeredEdgesStayBoundedAndComeBackAsOne) {
  const std::string head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}";
  struct Case {
    const char* what;
    std::string rtf;
    long long modelCells;
  } cases[] = {
      {"staggered", head + StaggeredRows(60, 8, false) + "\\pard After\\par}", 60 * 8},
      {"merged down across every row", head + StaggeredRows(40, 6, true) + "\\pard After\\par}", 40 * 6},
      {"inside a cell",
       head + "\\trowd\\cellx9000\\pard\\intbl Before\\par" + [] {
         std::string inner;
         for (int r = 0; r < 30; ++r) {
           inner += "\\pard\\intbl\\itap2";
           for (int c = 0; c < 5; ++c) inner += " x\\nestcell";
           inner += "{\\*\\nesttableprops\\trowd";
           for (int c = 0; c < 5; ++c) inner += "\\cellx" + std::to_string(1000 * (c + 1) + r);
           inner += "\\nestrow}";
         }
         return inner;
       }() + "\\pard\\intbl After\\cell\\row\\pard End\\par}",
       30 * 5 + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RtfReadResult r = ReadRtf(c.rtf);
    ASSERT_TRUE(r.ok) << r.error;
    QTextDocument qdoc;
    rq::ToQTextDocument(r.document, qdoc);
    int tables = 0;
    const long long qtCells = QtCells(qdoc.rootFrame(), tables);
    EXPECT_LE(qtCells, 4 * c.modelCells);
    EXPECT_GT(tables, 2);
    const Document back = rq::FromQTextDocument(qdoc);
    EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);
    // A save writes the one table again.
    RtfReadResult saved = ReadRtf(WriteRtf(back));
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.document, r.document);
  }

  // The merge down is one Qt cell within each QTextTable.
  RtfReadResult merged = ReadRtf(head + StaggeredRows(40, 6, true) + "}");
  ASSERT_TRUE(merged.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(merged.document, qdoc);
  for (QTextFrame* f : qdoc.rootFrame()->childFrames()) {
    auto* t = qobject_cast<QTextTable*>(f);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->cellAt(t->rows() - 1, 0).row(), 0);
  }
}

namespace {
QString Repeat(const QString& unit, int times) {
  QString out;
  for (int k = 0; k < times; ++k) out += unit;
  return out;
}
}  // namespace

TEST(RichTextQt, AWordTooLongForALineIsBrokenWhereTheLineEndsAndSavedAsItWas) {
  const std::string head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs20 ";
  const std::string x(5000, 'x');
  struct Case {
    const char* what;
    std::string rtf;
    QString word;  // the long word as it shows
  } cases[] = {
      {"one run between other words", head + "Note: " + x + " end\\par}", QString::fromStdString(x)},
      {"over three runs", head + "{\\b " + std::string(700, 'b') + "}{\\i " + std::string(700, 'i') + "}" +
                              std::string(700, 'p') + " after\\par}",
       QString(700, 'b') + QString(700, 'i') + QString(700, 'p')},
      {"accents and characters beyond 16 bits", head + Repeat("e\\u769?", 900).toStdString() +
                                                     Repeat("\\u-10179?\\u-8704?", 600).toStdString() + "\\par}",
       Repeat(QString("e") + QChar(0x301), 900) + Repeat(QString::fromUtf16(u"\U0001F600"), 600)},
      {"a field's result", head + "{\\field{\\*\\fldinst MERGEFIELD Memo}{\\fldrslt " + x + "}}\\par}", QString::fromStdString(x)},
      {"in a table cell", head + "\\trowd\\cellx9000\\pard\\intbl " + x + "\\cell\\row\\pard\\par}",
       QString::fromStdString(x)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RtfReadResult r = ReadRtf(c.rtf);
    ASSERT_TRUE(r.ok) << r.error;
    QTextDocument qdoc;
    rq::ToQTextDocument(r.document, qdoc);
    qdoc.setPageSize(QSizeF(624, 864));
    ASSERT_GT(qdoc.pageCount(), 0);
    // The block holding the word: its lines end at the margin, within the few characters
    // between two of the breaks put in.
    QTextBlock block = qdoc.begin();
    while (block.isValid() && block.text().size() < c.word.size()) block = block.next();
    ASSERT_TRUE(block.isValid());
    const QTextLayout* layout = block.layout();
    ASSERT_GT(layout->lineCount(), 3);
    const double width = layout->lineAt(0).width();
    const QFont font = block.begin().fragment().charFormat().font();
    const double most = QFontMetricsF(font).horizontalAdvance(c.word.left(4 * rq::kBreakEvery));
    EXPECT_LT(most, width / 2);
    for (int k = 1; k + 1 < layout->lineCount(); ++k)
      EXPECT_GT(layout->lineAt(k).naturalTextWidth(), width - most) << "line " << k;
    // Read back, saved and plain: the text as it was.
    const Document back = rq::FromQTextDocument(qdoc);
    EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);
    RtfReadResult saved = ReadRtf(WriteRtf(back));
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.document, r.document);
    EXPECT_TRUE(rq::PlainTextOf(qdoc).contains(c.word));
    EXPECT_FALSE(rq::PlainTextOf(qdoc).contains(QChar(0x200B)));
  }
}

TEST(RichTextQt, OrdinaryTextAndItsOwnZeroWidthSpacesAreLeftAsTheyAre) {
  // Words shorter than the bound, however many, and a zero-width space of the text itself.
  std::string words;
  for (int k = 0; k < 400; ++k) words += "lease" + std::to_string(k) + " ";
  const std::string rtf = "{\\rtf1\\ansi " + words + "a\\u8203?b " + std::string(900, 'y') + "\\par}";
  RtfReadResult r = ReadRtf(rtf);
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  const QString text = qdoc.begin().text();
  EXPECT_EQ(text.count(QChar(0x200B)), 1);
  EXPECT_EQ(rq::PlainTextOf(qdoc), text);
  EXPECT_EQ(rq::FromQTextDocument(qdoc), r.document);
}

TEST(RichTextQt, AParagraphTooLongForOneBlockGoesOnInMoreAndReadsBackAsOne) {
  std::string words;
  while (words.size() < 3 * size_t(rq::kMaxBlockChars)) words += "deal ";
  const std::string head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\pard\\fi360\\sb120\\sa240 ";
  const std::string tail = "\\par\\pard Next\\par}";
  struct Case {
    const char* what;
    std::string rtf;
  } cases[] = {
      {"words", head + words + "{\\field{\\*\\fldinst MERGEFIELD Memo}{\\fldrslt " + words.substr(0, 70000) + "}}" + tail},
      {"one word", head + std::string(3 * size_t(rq::kMaxBlockChars) + 1000, 'x') + tail},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RtfReadResult r = ReadRtf(c.rtf);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.document.blocks.size(), 2u);
    QTextDocument qdoc;
    rq::ToQTextDocument(r.document, qdoc);
    ASSERT_GE(qdoc.blockCount(), 5);
    ASSERT_EQ(qdoc.lastBlock().text(), "Next");
    // Blocks of a bounded length; only the first shows the space before and the indent,
    // only the last the space after.
    QTextBlock first = qdoc.begin(), last = qdoc.lastBlock().previous();
    for (QTextBlock b = first; b != qdoc.lastBlock(); b = b.next()) {
      EXPECT_LE(b.length(), rq::kMaxBlockChars + rq::kMaxBlockChars / rq::kBreakEvery + 1);
      const QTextBlockFormat f = b.blockFormat();
      EXPECT_EQ(f.topMargin(), b == first ? 8.0 : 0.0);
      EXPECT_EQ(f.textIndent(), b == first ? 24.0 : 0.0);
      EXPECT_EQ(f.bottomMargin(), b == last ? 16.0 : 0.0);
    }
    const Document back = rq::FromQTextDocument(qdoc);
    EXPECT_EQ(back, r.document) << samples::DumpDifference(back, r.document);

    // Saved as plain text, the paragraph is one line.
    EXPECT_EQ(rq::PlainTextOf(qdoc).count('\n'), 1);

    // Enter in a continued block makes a paragraph of its own; the text stays as it was.
    auto text = [](const Block& b) {
      std::string out;
      for (const TextRun& run : std::get<Paragraph>(b).runs) out += run.text;
      return out;
    };
    QTextCursor enter(first.next());
    enter.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 10);
    enter.insertBlock();
    const Document split = rq::FromQTextDocument(qdoc);
    ASSERT_EQ(split.blocks.size(), 3u);
    const std::string a = text(split.blocks[0]);
    EXPECT_EQ(a + text(split.blocks[1]), text(r.document.blocks[0]));
    EXPECT_GT(a.size(), size_t(rq::kMaxBlockChars / 2));
    EXPECT_LT(a.size(), size_t(2 * rq::kMaxBlockChars));
  }

  // In a table cell, between two paragraphs of the cell.
  RtfReadResult cell = ReadRtf("{\\rtf1\\ansi\\trowd\\cellx9000\\pard\\intbl First\\par " + words +
                               "\\par Last\\cell\\row\\pard Next\\par}");
  ASSERT_TRUE(cell.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(cell.document, qdoc);
  EXPECT_GE(qdoc.blockCount(), 7);
  const Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back, cell.document) << samples::DumpDifference(back, cell.document);
}
