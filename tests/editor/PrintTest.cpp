// Printing to PDF through the print dialog of the prompt seam, read back with pdfinfo and
// pdftotext: copies, page ranges, paper size and margins; and the print preview.
#include "tests/editor/EditorFixture.h"
#include "tests/editor/Programs.h"

#include <QAbstractTextDocumentLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/EditorDialogs.h"

namespace qv::editor::test {

namespace {

int PdfPages(const std::string& pdf) {
  const QString info = QString::fromStdString(RunProgram("pdfinfo", {QString::fromStdString(pdf)}));
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The page size in points as pdfinfo reports it.
QSizeF PdfPageSize(const std::string& pdf) {
  const QString info = QString::fromStdString(RunProgram("pdfinfo", {QString::fromStdString(pdf)}));
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
  return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

std::string PdfText(const std::string& pdf, int page) {
  return RunProgram("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page),
                           QString::fromStdString(pdf), "-"});
}

// The horizontal position (points) of the first word of a page, from pdftotext's boxes.
double FirstWordX(const std::string& pdf, int page) {
  const QString html = QString::fromStdString(
      RunProgram("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), QString::fromStdString(pdf), "-"}));
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\"")).match(html);
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

}  // namespace

class PrintTest : public EditorTest {
 protected:
  // A document of three pages, each beginning with "Page N".
  void ThreePages() {
    Frame();
    TextControl& tx = Tx(1);
    QTextCursor c(tx.document());
    for (int page = 1; page <= 3; ++page) {
      if (page > 1) {
        QTextBlockFormat br;
        br.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        c.insertBlock(br);
      }
      c.insertText(QStringLiteral("Page %1").arg(page));
      QTextBlockFormat plain;
      c.insertBlock(plain);
      c.insertText(QStringLiteral("Some words on page %1.").arg(page));
    }
    ASSERT_EQ(tx.CurrentPages(), 3);
  }
  ui::PrintTarget Pdf(const std::string& name, int copies = 1) {
    ui::PrintTarget t;
    t.pdfPath = Path(name);
    t.copies = copies;
    return t;
  }
};

TEST_F(PrintTest, ThePrintDialogOffersThePagesAndCancelPrintsNothing) {
  ThreePages();
  prompt.Print(std::nullopt);
  editor->PrintDocument();
  ASSERT_EQ(prompt.Asked().size(), 1u);
  const ui::PrintRequest& req = prompt.Last()->print;
  EXPECT_EQ(req.copies, 1);
  EXPECT_EQ(req.minPage, 1);
  EXPECT_EQ(req.maxPage, 3);
  EXPECT_EQ(req.fromPage, 1);
  EXPECT_EQ(req.toPage, 3);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(PrintTest, AllPagesPrintOnePerSheet) {
  ThreePages();
  const ui::PrintTarget t = Pdf("all.pdf");
  prompt.Print(t);
  Doc(1).mnuFile_Print_Click();
  ASSERT_EQ(PdfPages(t.pdfPath), 3);
  for (int page = 1; page <= 3; ++page) {
    EXPECT_NE(PdfText(t.pdfPath, page).find("Page " + std::to_string(page)), std::string::npos) << page;
  }
}

TEST_F(PrintTest, TwoCopiesOfThreePagesGiveSixSheetsEachCopyFromANewSheet) {
  ThreePages();
  const ui::PrintTarget t = Pdf("copies.pdf", 2);
  prompt.Print(t);
  Frame().imgPrintButton_Click();
  ASSERT_EQ(PdfPages(t.pdfPath), 6);
  const char* expected[] = {"Page 1", "Page 2", "Page 3", "Page 1", "Page 2", "Page 3"};
  for (int sheet = 1; sheet <= 6; ++sheet) {
    EXPECT_NE(PdfText(t.pdfPath, sheet).find(expected[sheet - 1]), std::string::npos) << sheet;
  }
}

TEST_F(PrintTest, APageRangePrintsOnlyThosePages) {
  ThreePages();
  ui::PrintTarget t = Pdf("range.pdf", 2);
  t.pageRange = true;
  t.fromPage = 2;
  t.toPage = 3;
  prompt.Print(t);
  editor->PrintDocument();
  ASSERT_EQ(PdfPages(t.pdfPath), 4);
  EXPECT_NE(PdfText(t.pdfPath, 1).find("Page 2"), std::string::npos);
  EXPECT_NE(PdfText(t.pdfPath, 2).find("Page 3"), std::string::npos);
  EXPECT_NE(PdfText(t.pdfPath, 3).find("Page 2"), std::string::npos);
  // A range whose first page is after its last prints nothing.
  ui::PrintTarget none = Pdf("none.pdf");
  none.pageRange = true;
  none.fromPage = 3;
  none.toPage = 2;
  prompt.Print(none);
  editor->PrintDocument();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(none.pdfPath)));
}

TEST_F(PrintTest, PaperSizeAndMarginsChangeWhereTheTextFalls) {
  ThreePages();
  const ui::PrintTarget letter = Pdf("letter.pdf");
  prompt.Print(letter);
  editor->PrintDocument();
  const QSizeF size = PdfPageSize(letter.pdfPath);
  EXPECT_NEAR(size.width(), 612, 1);  // 12240 twips
  EXPECT_NEAR(size.height(), 792, 1);
  EXPECT_NEAR(FirstWordX(letter.pdfPath, 1), 72, 2);  // one-inch left margin

  PageSettings page = Tx(1).Page();
  page.PageWidth = 11906;
  page.PageHeight = 16837;
  page.PageMarginL = 2880;
  Tx(1).SetPage(page);
  const ui::PrintTarget a4 = Pdf("a4.pdf");
  prompt.Print(a4);
  editor->PrintDocument();
  const QSizeF a4size = PdfPageSize(a4.pdfPath);
  EXPECT_NEAR(a4size.width(), 595.3, 1);
  EXPECT_NEAR(a4size.height(), 841.85, 1);
  EXPECT_NEAR(FirstWordX(a4.pdfPath, 1), 144, 2);  // two inches
}

TEST_F(PrintTest, NoDocumentNoPrintDialog) {
  Frame();
  ASSERT_TRUE(Doc(1).CloseWindow());
  editor->PrintDocument();
  EXPECT_TRUE(prompt.Asked().empty());
}

// ---- the preview ----

TEST(PrintPreviewZoom, FitsThePageIntoTheBox) {
  EXPECT_EQ(FitPrintZoom(3132, 3852, 11906, 16837), 23);  // width 26, height 23
  EXPECT_EQ(FitPrintZoom(3132, 3852, 12240, 15840), 24);  // width 25.6, height 24.3
  EXPECT_EQ(FitPrintZoom(6264, 7704, 11906, 16837), 46);
}

TEST_F(PrintTest, ThePreviewShowsTwoPagesAtATimeAndPutsTheZoomBackHoweverClosed) {
  ThreePages();
  Tx(1).SetPrintZoom(80);
  for (int way = 0; way < 3; ++way) {
    PrintPreview preview(Tx(1), frame());
    preview.show();
    EXPECT_EQ(preview.windowTitle(), "Print Preview");
    EXPECT_EQ(preview.Cancel->text(), "Close");
    EXPECT_EQ(preview.SavedPrintZoom, 80);
    EXPECT_EQ(Tx(1).PrintZoom(), FitPrintZoom(PrintPreview::kBoxWidthTwips, PrintPreview::kBoxHeightTwips, 12240, 15840));
    EXPECT_EQ(preview.VScroll1->minimum(), 0);
    EXPECT_EQ(preview.VScroll1->maximum(), 1);
    EXPECT_EQ(preview.Label1->text(), "Pages  1 - 2");
    EXPECT_EQ(preview.Picture1->page, 1);
    EXPECT_EQ(preview.Picture2->page, 2);
    preview.VScroll1->setValue(1);
    EXPECT_EQ(preview.Label1->text(), "Pages  3 - 4");
    EXPECT_EQ(preview.Picture1->page, 3);
    EXPECT_EQ(preview.Picture2->page, 4);
    switch (way) {
      case 0: preview.Cancel_Click(); break;
      case 1: QTest::keyClick(&preview, Qt::Key_Escape); break;
      case 2: preview.close(); break;
    }
    EXPECT_EQ(Tx(1).PrintZoom(), 80) << way;
  }
}

TEST_F(PrintTest, PreviewScrollRangeFollowsThePageCount) {
  Frame();
  {
    PrintPreview one(Tx(1), frame());
    EXPECT_EQ(one.VScroll1->maximum(), 0);
  }
  QTextCursor c(Tx(1).document());
  for (int k = 0; k < 4; ++k) {
    QTextBlockFormat br;
    br.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.insertBlock(br);
    c.insertText("x");
  }
  ASSERT_EQ(Tx(1).CurrentPages(), 5);
  PrintPreview five(Tx(1), frame());
  EXPECT_EQ(five.VScroll1->maximum(), 2);
  five.VScroll1->setValue(2);
  EXPECT_EQ(five.Picture1->page, 5);
  EXPECT_EQ(five.Picture2->page, 6);  // past the end: the box stays empty
}

TEST_F(PrintTest, ThePreviewOpensModallyFromTheMenuAndTheButton) {
  ThreePages();
  int shown = 0;
  prompt.OnModal("PrintPreview", [&](ui::ModalWindow& w) {
    ++shown;
    dynamic_cast<PrintPreview&>(w).Cancel_Click();
    return 0;
  });
  Doc(1).mnuFile_PrintPreview_Click();
  Frame().imgPrintPreButton_Click();
  EXPECT_EQ(shown, 2);
}

}  // namespace qv::editor::test

namespace qv::editor::test {

// Tab leaders are drawn on the screen and on paper, and a right tab stop past the right
// margin keeps its number on its line: pdftotext reads the dots and hyphens between the
// words, and the screen has ink in the gap.
TEST_F(PrintTest, TabLeadersShowAndPrintAndARightTabPastTheMarginKeepsItsLine) {
  Frame();
  const std::string rtf = Write("contents.rtf",
                                "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\paperw12240\\paperh15840"
                                "\\margl1800\\margr1800\\pard\\tqr\\tldot\\tx9072 Summary\\tab 2\\par"
                                "\\pard\\tqr\\tlhyph\\tx8640 Introduction\\tab 3\\par}");
  frmMDIChild* d = editor->LoadDocument(rtf, int(FormatForOpening(rtf)));
  ASSERT_NE(d, nullptr);
  TextControl& tx = *d->TXTextControl1;
  ASSERT_TRUE(PrintPages(tx, Pdf("contents.pdf"), 1, 1, 1));
  const QString text = QString::fromStdString(PdfText(Path("contents.pdf"), 1));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("Summary *\\.{20,} *2\\n")).match(text).hasMatch()) << text.toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("Introduction *-{20,} *3\\n")).match(text).hasMatch()) << text.toStdString();

  // The screen: the gap of the first line, shown at 100 %.
  tx.SetZoomFactor(100);
  QApplication::processEvents();
  const QTextBlock first = tx.document()->begin();
  const QTextLayout* tl = first.layout();
  ASSERT_EQ(tl->lineCount(), 1);
  const QTextLine line = tl->lineAt(0);
  const QRectF box = tx.document()->documentLayout()->blockBoundingRect(first);
  const QPointF origin = box.topLeft() - tl->boundingRect().topLeft();
  const QRectF gap(origin.x() + line.cursorToX(7) + 4, origin.y() + line.y(), line.cursorToX(8) - line.cursorToX(7) - 8,
                   line.height());
  tx.ensureVisible(gap);
  QApplication::processEvents();
  const QRect shown = tx.mapFromScene(gap).boundingRect().intersected(tx.viewport()->rect());
  ASSERT_GT(shown.width(), 50);
  const QImage screen = tx.viewport()->grab().toImage();
  int ink = 0;
  for (int y = shown.top(); y <= shown.bottom(); ++y)
    for (int x = shown.left(); x <= shown.right(); ++x) ink += qGray(screen.pixel(x, y)) < 160;
  EXPECT_GT(ink, 10);
}

}  // namespace qv::editor::test
