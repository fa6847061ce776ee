// Commands on the active document: clipboard, select all, search and replace, colours,
// the font dialog, the page-setup hand-off, the Tab keys in and out of tables.
#include "tests/editor/EditorFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QTextTable>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"

namespace qv::editor::test {

TEST_F(EditorTest, ClipboardCommandsWorkOnTheActiveDocument) {
  Frame();
  Type(Tx(1), "cut this");
  Tx(1).SetSelection(0, 4);
  editor->EditCut();
  EXPECT_EQ(Tx(1).document()->toPlainText(), "this");
  EXPECT_EQ(QApplication::clipboard()->text(), "cut ");
  editor->NewDocument();
  editor->EditPaste();
  EXPECT_EQ(Tx(2).document()->toPlainText(), "cut ");
  Tx(2).SetSelection(0, 3);
  editor->EditCopy();
  EXPECT_EQ(QApplication::clipboard()->text(), "cut");
  editor->EditDelete();
  EXPECT_EQ(Tx(2).document()->toPlainText(), " ");
  Doc(2).mnuEdit_Click();
  EXPECT_EQ(Doc(2).mnuUndo->text(), "Undo Deletion");
}

TEST_F(EditorTest, SelectAllSelectsToTheEndWithTheHourglass) {
  Frame();
  Type(Tx(1), "all of it");
  Tx(1).SetSelection(2, 0);
  editor->EditSelectAll();
  EXPECT_EQ(Tx(1).SelStart(), 0);
  EXPECT_EQ(Tx(1).SelLength(), 9);
  EXPECT_FALSE(prompt.Busy());
}

TEST_F(EditorTest, SearchFindsRoundTheDocumentAndReplaceAllIsOneUndoStep) {
  Frame();
  Type(Tx(1), "one two one two");
  Tx(1).SetSelection(5, 0);
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& dlg = dynamic_cast<FindReplaceDlg&>(w);
    EXPECT_EQ(dlg.ModalName(), "Search");
    dlg.txtFind->setText("one");
    EXPECT_TRUE(dlg.FindNext());
    EXPECT_EQ(Tx(1).SelStart(), 8);
    EXPECT_TRUE(dlg.FindNext());  // round from the top
    EXPECT_EQ(Tx(1).SelStart(), 0);
    dlg.txtFind->setText("three");
    EXPECT_FALSE(dlg.FindNext());
    EXPECT_EQ(dlg.lblResult->text(), "Not found.");
    return 0;
  });
  Doc(1).mnuEdit_Search_Click();
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& dlg = dynamic_cast<FindReplaceDlg&>(w);
    EXPECT_EQ(dlg.ModalName(), "Replace");
    dlg.txtFind->setText("two");
    dlg.txtReplace->setText("2");
    EXPECT_EQ(dlg.ReplaceAll(), 2);
    return 0;
  });
  Doc(1).mnuEdit_Replace_Click();
  EXPECT_EQ(Tx(1).document()->toPlainText(), "one 2 one 2");
  Tx(1).Undo();
  EXPECT_EQ(Tx(1).document()->toPlainText(), "one two one two");
}

TEST_F(EditorTest, ChooseColorWritesOnlyAChangedColour) {
  Frame();
  Type(Tx(1), "red and blue");
  Tx(1).SetSelection(0, 3);
  const int stepsBefore = Tx(1).document()->availableUndoSteps();
  prompt.Color(0x000000);  // black, as the text already is: nothing written
  editor->ChooseColor(1);
  EXPECT_EQ(Tx(1).document()->availableUndoSteps(), stepsBefore);
  prompt.Color(0x0000FF);  // red as blue-green-red
  Doc(1).mnuFormat_TColor_Click();
  EXPECT_EQ(Tx(1).ForeColor(), 0x0000FF);
  // A selection of two colours opens the dialog at black and always writes the choice.
  Tx(1).SetSelection(0, 7);
  EXPECT_EQ(Tx(1).ForeColor(), -1);
  prompt.Color(0x000000);
  editor->ChooseColor(1);
  EXPECT_EQ(Tx(1).ForeColor(), 0);
  // Background colour; cancel changes nothing.
  prompt.Color(0x00FFFF);
  Doc(1).mnuFormat_BColor_Click();
  EXPECT_EQ(Tx(1).TextBkColor(), 0x00FFFF);
  prompt.Color(std::nullopt);
  editor->ChooseColor(2);
  EXPECT_EQ(Tx(1).TextBkColor(), 0x00FFFF);
}

TEST_F(EditorTest, TheFontDialogFormatsTheSelection) {
  Frame();
  Type(Tx(1), "font");
  Tx(1).SetSelection(0, 4);
  ui::FontChoice chosen;
  chosen.family = "DejaVu Serif";
  chosen.pointSize = 18;
  chosen.italic = true;
  prompt.Font(chosen);
  Doc(1).mnuFormat_Character_Click();
  EXPECT_EQ(prompt.Last()->kind, ui::PromptRecord::Kind::Font);
  const QFont f = Tx(1).textCursor().charFormat().font();
  EXPECT_EQ(f.pointSizeF(), 18);
  EXPECT_TRUE(f.italic());
  prompt.Font(std::nullopt);
  Doc(1).mnuFormat_Character_Click();
  EXPECT_EQ(Tx(1).textCursor().charFormat().font().pointSizeF(), 18);
}

TEST_F(EditorTest, CancelledPageSetupWritesTheUnchangedValuesBack) {
  Frame();
  PageSettings page = Tx(1).Page();
  page.PageMarginL = 720;
  Tx(1).SetPage(page);
  prompt.Modal([&](ui::ModalWindow& w) {
    EXPECT_EQ(w.ModalName(), "frmPageDlg");
    EXPECT_EQ(editor->PageSettings.PageMarginL, 720);
    EXPECT_EQ(editor->PageSettings.PageWidth, 12240);
    dynamic_cast<frmPageDlg&>(w).btnCancel_Click();
    return 0;
  });
  Doc(1).mnuFormat_Document_Click();
  EXPECT_EQ(Tx(1).Page().PageMarginL, 720);
  EXPECT_EQ(Tx(1).Page().PageWidth, 12240);
}

TEST_F(EditorTest, ResizeEditorGreysTheBackgroundBesideANarrowerControl) {
  Frame();
  frmMDIChild& d = Doc(1);
  d.SubWindow()->resize(1400, 500);
  QApplication::processEvents();
  EXPECT_GT(d.width(), Tx(1).width());
  EXPECT_EQ(d.Background(), QColor(0xC0, 0xC0, 0xC0));
  d.SubWindow()->resize(300, 500);
  QApplication::processEvents();
  EXPECT_EQ(d.width(), Tx(1).width());
  EXPECT_EQ(d.Background(), QColor(0xFF, 0xFF, 0xFF));
  // A minimised window keeps its control's height.
  const int h = Tx(1).height();
  d.SubWindow()->showMinimized();
  QApplication::processEvents();
  editor->ResizeEditor(d);
  EXPECT_EQ(Tx(1).height(), h);
}

namespace {
QString CellText(QTextTable& table, int row, int col) {
  const QTextTableCell cell = table.cellAt(row, col);
  QTextCursor c = cell.firstCursorPosition();
  c.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
  return c.selectedText();
}
// The cell the caret is in, as row * 10 + column; -1 outside a table.
int CaretCell(const TextControl& tx) {
  const QTextCursor c = tx.textCursor();
  QTextTable* t = c.currentTable();
  if (!t) return -1;
  const QTextTableCell cell = t->cellAt(c);
  return cell.row() * 10 + cell.column();
}
void Key(TextControl& tx, Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&tx, key, m); }
}  // namespace

TEST_F(EditorTest, TabMovesThroughTheCellsOfATableAndAddsARowAfterTheLast) {
  Frame();
  TextControl& tx = Tx(1);
  tx.setFocus();
  ASSERT_TRUE(tx.TableInsert(2, 2));
  QTextTable* table = tx.textCursor().currentTable();
  ASSERT_NE(table, nullptr);
  Type(tx, "Cell A");
  Key(tx, Qt::Key_Tab);
  Type(tx, "Cell B");
  Key(tx, Qt::Key_Tab);
  Type(tx, "Cell C");
  Key(tx, Qt::Key_Tab);
  Type(tx, "Cell D");
  EXPECT_EQ(CellText(*table, 0, 0), "Cell A");
  EXPECT_EQ(CellText(*table, 0, 1), "Cell B");
  EXPECT_EQ(CellText(*table, 1, 0), "Cell C");
  EXPECT_EQ(CellText(*table, 1, 1), "Cell D");

  // Moving between the cells selects their text and changes nothing in the document.
  tx.document()->setModified(false);
  const int steps = tx.document()->availableUndoSteps();
  Key(tx, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(CaretCell(tx), 10);
  EXPECT_EQ(tx.textCursor().selectedText(), "Cell C");
  Key(tx, Qt::Key_Backtab, Qt::ShiftModifier);  // what the keyboard sends for Shift+Tab
  EXPECT_EQ(CaretCell(tx), 1);
  EXPECT_EQ(tx.textCursor().selectedText(), "Cell B");
  Key(tx, Qt::Key_Tab);
  Key(tx, Qt::Key_Tab);
  EXPECT_EQ(CaretCell(tx), 11);
  EXPECT_EQ(tx.textCursor().selectedText(), "Cell D");
  EXPECT_EQ(tx.document()->availableUndoSteps(), steps);
  EXPECT_FALSE(tx.document()->isModified());
  EXPECT_EQ(table->rows(), 2);

  // Tab in the last cell adds a row, as one undo step, and goes into its first cell.
  Key(tx, Qt::Key_Tab);
  EXPECT_EQ(table->rows(), 3);
  EXPECT_EQ(CaretCell(tx), 20);
  EXPECT_TRUE(tx.document()->isModified());
  tx.Undo();  // one step takes the row away
  EXPECT_EQ(table->rows(), 2);
  EXPECT_EQ(CellText(*table, 1, 1), "Cell D");
  EXPECT_FALSE(tx.document()->isModified());
  tx.Redo();
  EXPECT_EQ(table->rows(), 3);
  tx.SetSelection(table->cellAt(2, 0).firstPosition(), 0);
  Type(tx, "Cell E");
  EXPECT_EQ(CellText(*table, 2, 0), "Cell E");
  EXPECT_EQ(tx.document()->toPlainText().count('\t'), 0);

  // Shift+Tab in the first cell stays there.
  tx.SetSelection(table->cellAt(0, 0).firstPosition(), 0);
  Key(tx, Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(CaretCell(tx), 0);
  EXPECT_EQ(table->rows(), 3);
}

TEST_F(EditorTest, TabSkipsThePlacesOfAMergedCell) {
  Frame();
  TextControl& tx = Tx(1);
  ASSERT_TRUE(tx.TableInsert(2, 3));
  QTextTable* table = tx.textCursor().currentTable();
  ASSERT_NE(table, nullptr);
  table->mergeCells(0, 0, 1, 2);  // row 0: one cell over columns 0 and 1, then column 2
  table->mergeCells(0, 2, 2, 1);  // column 2: one cell over both rows
  struct Case {
    int from;
    Qt::KeyboardModifiers m;
    int to;
  };
  const Case cases[] = {
      {0, Qt::NoModifier, 2},      {2, Qt::NoModifier, 10},    {10, Qt::NoModifier, 11},
      {11, Qt::ShiftModifier, 10}, {10, Qt::ShiftModifier, 2}, {2, Qt::ShiftModifier, 0},
  };
  for (const Case& c : cases) {
    tx.SetSelection(table->cellAt(c.from / 10, c.from % 10).firstPosition(), 0);
    Key(tx, Qt::Key_Tab, c.m);
    EXPECT_EQ(CaretCell(tx), c.to) << "from " << c.from << (c.m ? " with Shift" : "");
  }
  EXPECT_EQ(table->rows(), 2);
}

TEST_F(EditorTest, CtrlTabTypesATabAndTabOutsideATableTypesOne) {
  Frame();
  editor->NewDocument();  // two windows: Ctrl+Tab is not a switch between them here
  TextControl& tx = Tx(2);
  ASSERT_EQ(editor->ActiveText(), &tx);
  Type(tx, "a");
  Key(tx, Qt::Key_Tab);
  Type(tx, "b");
  EXPECT_EQ(tx.document()->toPlainText(), "a\tb");
  Key(tx, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(tx.document()->toPlainText(), "a\tb\t");
  Key(tx, Qt::Key_Return);
  ASSERT_TRUE(tx.TableInsert(1, 2));
  QTextTable* table = tx.textCursor().currentTable();
  ASSERT_NE(table, nullptr);
  Type(tx, "x");
  Key(tx, Qt::Key_Tab, Qt::ControlModifier);
  Type(tx, "y");
  EXPECT_EQ(CellText(*table, 0, 0), "x\ty");
  EXPECT_EQ(CaretCell(tx), 0);
  EXPECT_EQ(editor->ActiveText(), &tx);
  EXPECT_EQ(table->rows(), 1);
}

}  // namespace qv::editor::test

namespace qv::editor::test {

// The dotted guide lines of borderless cells hug each cell, a table inside a cell included:
// none is drawn beside the table, where Qt reports the empty paragraph that ends a cell after
// the table inside it.
TEST_F(EditorTest, GuideLinesOfANestedTableStayWithinTheTable) {
  const std::string path = Write(
      "nested.rtf",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Before\\par"
      "\\trowd\\cellx5000\\cellx9000"
      "\\pard\\intbl\\itap2 A\\nestcell B\\nestcell"
      "\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\cellx2500\\cellx4800\\nestrow}{\\nonesttables\\par}"
      "\\pard\\intbl\\itap2 C\\nestcell D\\nestcell"
      "\\pard\\intbl\\itap2{\\*\\nesttableprops\\trowd\\cellx2500\\cellx4800\\nestrow}{\\nonesttables\\par}"
      "\\pard\\intbl\\cell Right\\cell\\row\\pard After\\par}");
  frmMDIChild* doc = editor->LoadDocument(path, int(FileFormat::Rtf));
  ASSERT_NE(doc, nullptr);
  TextControl& tx = *doc->TXTextControl1;
  ASSERT_TRUE(tx.TableGridLines());
  tx.SetZoomFactor(100);
  QApplication::processEvents();
  QTextTable* outer = nullptr;
  for (QTextFrame* f : tx.document()->rootFrame()->childFrames())
    if (auto* t = qobject_cast<QTextTable*>(f)) outer = t;
  ASSERT_NE(outer, nullptr);
  const QRectF table = tx.document()->documentLayout()->frameBoundingRect(outer);
  tx.ensureVisible(table);
  QApplication::processEvents();
  const QRect shown = tx.mapFromScene(table).boundingRect();
  const QImage screen = tx.viewport()->grab().toImage();
  const QRgb guide = qRgb(0x80, 0x80, 0xC0);
  int inside = 0, beside = 0;
  for (int y = std::max(shown.top(), 0); y <= std::min(shown.bottom(), screen.height() - 1); ++y)
    for (int x = 0; x < screen.width(); ++x) {
      if (screen.pixel(x, y) != guide) continue;
      (x > shown.right() + 2 ? beside : inside) += 1;
    }
  EXPECT_GT(inside, 0);  // the inner table's and the right cell's lines
  EXPECT_EQ(beside, 0);
}

}  // namespace qv::editor::test
