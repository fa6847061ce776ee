// Whatever lengths and counts an RTF file gives, what reaches Qt is bounded: every length is
// one a page can hold, the QTextDocument holds a bounded multiple of the file, and its
// layout ends (a layout that ran without end would show as the test's time-out).
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/richtext/Rtf.h"
#include "editor/richtextqt/RichTextQt.h"

using namespace qv::richtext;
namespace rq = qv::richtext::qt;
namespace fs = std::filesystem;

namespace {

constexpr double kMaxPx = kMaxPageTwips / rq::kTwipsPerPixel;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs, paragraphs and cells of the model: what the reader's budget counts.
long long Elements(const Document& doc) {
  long long n = 0;
  auto paragraph = [&](const Paragraph& p) { n += 1 + (long long)p.runs.size(); };
  for (const Block& b : doc.blocks) {
    if (auto* p = std::get_if<Paragraph>(&b)) {
      paragraph(*p);
      continue;
    }
    for (const TableRow& row : std::get<Table>(b).rows)
      for (const TableCell& cell : row.cells) {
        ++n;
        for (const Paragraph& p : cell.paragraphs) paragraph(p);
      }
  }
  return n;
}

// The document on its page as the editor lays it out: the page's size at 96 pixels to the
// inch, its margins as the root frame's.
void LayOut(QTextDocument& qdoc, const PageSetup& page) {
  QTextFrameFormat root = qdoc.rootFrame()->frameFormat();
  root.setLeftMargin(page.marginLeft / rq::kTwipsPerPixel);
  root.setRightMargin(page.marginRight / rq::kTwipsPerPixel);
  root.setTopMargin(page.marginTop / rq::kTwipsPerPixel);
  root.setBottomMargin(page.marginBottom / rq::kTwipsPerPixel);
  qdoc.rootFrame()->setFrameFormat(root);
  qdoc.setPageSize(QSizeF(page.width / rq::kTwipsPerPixel, page.height / rq::kTwipsPerPixel));
}

bool Within(double px, double limit = kMaxPx) { return std::isfinite(px) && std::abs(px) <= limit; }

// Checks every length of the Qt document against what a page holds; counts its table cells.
void CheckLengths(const QTextDocument& qdoc, const PageSetup& page, const std::string& what, long long& qtCells) {
  for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat f = b.blockFormat();
    for (double v : {f.leftMargin(), f.rightMargin(), f.textIndent(), f.topMargin(), f.bottomMargin()})
      EXPECT_TRUE(Within(v)) << what << ": block length " << v;
    // A proportional line height is a percentage of single spacing.
    const bool percent = f.lineHeightType() == QTextBlockFormat::ProportionalHeight;
    EXPECT_TRUE(Within(f.lineHeight(), percent ? kMaxPageTwips * 100.0 / 240 : kMaxPx)) << what << ": line height";
    for (const QTextOption::Tab& t : f.tabPositions()) EXPECT_TRUE(Within(t.position)) << what << ": tab";
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat c = it.fragment().charFormat();
      EXPECT_LE(c.fontPointSize(), 1638) << what;
      if (c.isImageFormat()) {
        EXPECT_TRUE(Within(c.toImageFormat().width())) << what;
        EXPECT_TRUE(Within(c.toImageFormat().height())) << what;
      }
    }
  }
  const double maxGap = std::min(page.width, page.height) / 4 / rq::kTwipsPerPixel;
  for (QTextFrame* frame : qdoc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    qtCells += (long long)table->rows() * table->columns();
    const QTextTableFormat tf = table->format();
    EXPECT_TRUE(Within(tf.cellPadding(), maxGap)) << what << ": cell padding " << tf.cellPadding();
    for (const QTextLength& w : tf.columnWidthConstraints()) {
      EXPECT_GT(w.rawValue(), 0) << what;
      EXPECT_TRUE(Within(w.rawValue(), 2 * kMaxPx)) << what << ": column width " << w.rawValue();
    }
  }
}

// Reads the RTF, builds it into a QTextDocument and lays it out on its page, checking each
// step's bounds. A refused file is a bounded outcome too.
void CheckBounded(const std::string& rtf, const std::string& what) {
  const RtfReadResult r = ReadRtf(rtf);
  if (!r.ok) return;
  const long long budget = 20000 + 2 * (long long)rtf.size();
  const long long elements = Elements(r.document);
  EXPECT_LE(elements, budget) << what;
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  const PageSetup page = rq::PageSetupOf(qdoc);
  EXPECT_LE(page.width, kMaxPageTwips) << what;
  EXPECT_LE(page.height, kMaxPageTwips) << what;
  EXPECT_LE(page.marginLeft + page.marginRight, page.width - kMinTextTwips) << what;
  EXPECT_LE(page.marginTop + page.marginBottom, page.height - kMinTextTwips) << what;
  long long qtCells = 0;
  CheckLengths(qdoc, page, what, qtCells);
  // Qt holds a block per paragraph and per cell, and a few around each table.
  EXPECT_LE(qdoc.blockCount(), 3 * budget) << what;
  EXPECT_LE(qtCells, 2 * budget) << what;
  EXPECT_LE(qdoc.characterCount(), 2 * (long long)rtf.size() + 1000) << what;
  LayOut(qdoc, page);
  const QSizeF size = qdoc.documentLayout()->documentSize();
  EXPECT_TRUE(std::isfinite(size.width()) && std::isfinite(size.height())) << what;
  EXPECT_GT(size.height(), 0) << what;
  EXPECT_LE(qdoc.pageCount(), (elements + 1) * 8 * (kMaxPageTwips / kMinPageTwips)) << what;
  // What the file said is kept for writing back (the model's own values, not Qt's).
  const Document back = rq::FromQTextDocument(qdoc);
  EXPECT_EQ(back.blocks.size(), r.document.blocks.size()) << what;
}

}  // namespace

// Lengths near the int range in every place the bridge turns into a Qt length.
TEST(Bounds, LengthsReachQtWithinThePage) {
  struct Case {
    const char* what;
    const char* rtf;
  } cases[] = {
      {"huge cell gap", "{\\rtf1 \\trowd\\trgaph2147483647\\cellx1000\\intbl a\\cell\\row}"},
      {"row from far left to far right",
       "{\\rtf1 \\trowd\\trleft-2147483647\\cellx2147483647\\intbl a\\cell\\row}"},
      {"cell edges out of order", "{\\rtf1 \\trowd\\cellx2147483647\\cellx-5\\intbl a\\cell b\\cell\\row}"},
      {"far left row edge", "{\\rtf1 \\trowd\\trleft-2147483648\\cellx-2147483648\\intbl a\\cell\\row}"},
      {"huge cell borders",
       "{\\rtf1 \\trowd\\clbrdrt\\brdrs\\brdrw2147483647\\clbrdrl\\brdrs\\brdrw2147483647\\cellx1000\\intbl a\\cell\\row}"},
      {"huge indents", "{\\rtf1 \\li2147483647\\ri2147483647\\fi-2147483648 a\\par}"},
      {"huge spacing", "{\\rtf1 \\sb2147483647\\sa2147483647 a\\par b\\par}"},
      {"exact line spacing at the int's end", "{\\rtf1 \\sl-2147483648 a\\par}"},
      {"at-least line spacing", "{\\rtf1 \\sl2147483647 a\\par}"},
      {"multiple line spacing", "{\\rtf1 \\sl2147483647\\slmult1 a\\par}"},
      {"far tab stop", "{\\rtf1 \\tx2147483647\\tqr\\tx2147483646 a\\tab b\\par}"},
      {"huge font and raise", "{\\rtf1 \\fs2147483647\\up2147483647 a\\par}"},
      {"huge picture",
       "{\\rtf1 {\\pict\\pngblip\\picwgoal2147483647\\pichgoal2147483647 89504e470d0a1a0a}\\par}"},
      {"huge page", "{\\rtf1 \\paperw2147483647\\paperh2147483647\\margl2147483000\\margr5 a\\par}"},
      {"page smaller than its margins", "{\\rtf1 \\paperw100\\paperh100\\margl5000\\margr5000 a\\par}"},
  };
  for (const Case& c : cases) CheckBounded(c.rtf, c.what);

  // The file's own values are what a save writes back.
  const RtfReadResult r = ReadRtf(cases[1].rtf);
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  rq::ToQTextDocument(r.document, qdoc);
  const Document back = rq::FromQTextDocument(qdoc);
  ASSERT_EQ(back.blocks.size(), 1u);
  const TableRow& row = std::get<Table>(back.blocks[0]).rows.at(0);
  EXPECT_EQ(row.leftEdge, -2147483647);
  EXPECT_EQ(row.cells.at(0).rightEdge, 2147483647);
}

// Every seed of the RTF fuzz target and the edge files beside this test, through the reader,
// the bridge and the layout.
TEST(Bounds, EveryEdgeFileIsReadBuiltAndLaidOutWithinBounds) {
  const fs::path source(QV_SOURCE_DIR);
  int files = 0;
  for (const fs::path& folder : {source / "tests/fuzz/corpus/rtf", source / "tests/richtext/fixtures/bounds"}) {
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
      if (e.path().extension() != ".rtf") continue;
      ++files;
      SCOPED_TRACE(e.path().string());
      CheckBounded(ReadFile(e.path()), e.path().filename().string());
    }
  }
  EXPECT_GE(files, 15);
}
