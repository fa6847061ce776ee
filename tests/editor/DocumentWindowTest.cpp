// The document window: its menu bar (captions, checks, enabled states), undo and redo
// captions, zoom, the Insert key and the right mouse button, the unit and default page.
#include "tests/editor/EditorFixture.h"

#include <QAction>
#include <QMenuBar>

namespace qv::editor::test {

namespace {
std::vector<std::string> Captions(QMenu* m) {
  std::vector<std::string> out;
  for (QAction* a : m->actions()) out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  return out;
}
}  // namespace

TEST_F(EditorTest, MenusHaveTheirCaptionsSeparatorsAndShortcuts) {
  Frame();
  frmMDIChild& d = Doc(1);
  std::vector<std::string> bar;
  for (QMenu* m : d.Menus()) bar.push_back(m->title().toStdString());
  EXPECT_EQ(bar, (std::vector<std::string>{"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Window"}));
  EXPECT_EQ(Captions(d.mnuFile), (std::vector<std::string>{"&New", "&Open...", "&Save", "Sa&ve As...", "-", "&Print...",
                                                           "P&rint Preview...", "-", "&About...", "E&xit"}));
  EXPECT_EQ(Captions(d.mnuEdit), (std::vector<std::string>{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "&Delete",
                                                           "-", "&Search...", "&Replace...", "-", "Select &All"}));
  EXPECT_EQ(Captions(d.mnuView),
            (std::vector<std::string>{"&Tool Bar", "&Paragraph Bar", "&Ruler", "&Status Bar", "-", "&Control Characters",
                                      "&Table Grid Lines", "-", "&Zoom"}));
  EXPECT_EQ(Captions(d.mnuView_Zoom), (std::vector<std::string>{"&30%", "&50%", "&75%", "&100%", "&200%"}));
  EXPECT_EQ(Captions(d.mnuInsert), (std::vector<std::string>{"&Text...", "&Image", "&Object", "T&able..."}));
  EXPECT_EQ(Captions(d.mnuInsert_Image), (std::vector<std::string>{"&At caret position...", "As &fixed object..."}));
  EXPECT_EQ(Captions(d.mnuFormat),
            (std::vector<std::string>{"&Character...", "&Text Color...", "&Background Color...", "-", "&Paragraph...",
                                      "&Paragraph Frames...", "&Table...", "&Image...", "-", "&Document..."}));
  EXPECT_EQ(Captions(d.mnuWindow), (std::vector<std::string>{"&Cascade", "Tile &Horizontal", "Tile &Vertical", "&Arrange Icons"}));
  EXPECT_EQ(d.mnuFile_New->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  EXPECT_EQ(d.mnuFile_Print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(d.mnuEdit_SelectAll->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
  // Designer check marks.
  EXPECT_TRUE(d.mnuView_Toolbar->isChecked());
  EXPECT_TRUE(d.mnuView_Ruler->isChecked());
  EXPECT_TRUE(d.mnuView_ZoomItem[4]->isChecked());
  // Objects of other programs cannot be embedded here: the items are disabled.
  d.mnuInsert_Click();
  EXPECT_FALSE(d.mnuInsert_ObjectAtCaretPosition->isEnabled());
  EXPECT_FALSE(d.mnuInsert_ObjectAsFixedObject->isEnabled());
  EXPECT_FALSE(d.mnuObject->isEnabled());
}

TEST_F(EditorTest, UndoAndRedoCaptionsFollowTheKindOfTheLastEdit) {
  Frame();
  frmMDIChild& d = Doc(1);
  d.mnuEdit_Click();
  EXPECT_EQ(d.mnuUndo->text(), "Undo");
  EXPECT_EQ(d.mnuRedo->text(), "Redo");
  EXPECT_FALSE(d.mnuUndo->isEnabled());
  EXPECT_FALSE(d.mnuRedo->isEnabled());

  Type(Tx(1), "abc");
  d.mnuEdit_Click();
  EXPECT_EQ(d.mnuUndo->text(), "Undo Input");
  EXPECT_TRUE(d.mnuUndo->isEnabled());
  EXPECT_EQ(d.mnuRedo->text(), "Redo");
  EXPECT_FALSE(d.mnuRedo->isEnabled());

  QTest::keyClick(&Tx(1), Qt::Key_Backspace);
  d.mnuEdit_Click();
  EXPECT_EQ(d.mnuUndo->text(), "Undo Deletion");
  d.mnuUndo_Click();
  d.mnuEdit_Click();
  EXPECT_EQ(Tx(1).RedoKind(), 11);
  EXPECT_EQ(d.mnuRedo->text(), "Redo Deletion");
  EXPECT_TRUE(d.mnuRedo->isEnabled());
  EXPECT_EQ(Tx(1).document()->toPlainText(), "abc");

  Tx(1).SetSelection(0, 1);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  Tx(1).MergeCharFormat(bold);
  d.mnuEdit_Click();
  EXPECT_EQ(d.mnuUndo->text(), "Undo Formatting");
  EXPECT_FALSE(d.mnuRedo->isEnabled());
  d.mnuUndo_Click();
  d.mnuEdit_Click();
  EXPECT_EQ(d.mnuRedo->text(), "Redo Formatting");
}

TEST_F(EditorTest, ZoomItemsSetTheZoomAndTheViewMenuChecksTheMatchingOne) {
  Frame();
  frmMDIChild& d = Doc(1);
  d.mnuView_ZoomItem_Click(3);
  EXPECT_EQ(Tx(1).ZoomFactor(), 75);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(d.mnuView_ZoomItem[size_t(k)]->isChecked(), k == 3) << k;
  // The right button toggles between 100 and 50; the menu catches up when it opens.
  d.TXTextControl1_MouseDown(2, 0, 10, 10);
  EXPECT_EQ(Tx(1).ZoomFactor(), 100);
  d.TXTextControl1_MouseDown(3, 0, 10, 10);  // right with left held still toggles
  EXPECT_EQ(Tx(1).ZoomFactor(), 50);
  d.TXTextControl1_MouseDown(1, 0, 10, 10);
  EXPECT_EQ(Tx(1).ZoomFactor(), 50);
  d.mnuView_Click();
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(d.mnuView_ZoomItem[size_t(k)]->isChecked(), k == 2) << k;
  Tx(1).SetZoomFactor(150);
  d.mnuView_Click();
  for (int k = 1; k <= 5; ++k) EXPECT_FALSE(d.mnuView_ZoomItem[size_t(k)]->isChecked()) << k;
}

TEST_F(EditorTest, InsertAloneFlipsTheInsertionModeAndOverwriteReplaces) {
  Frame();
  frmMDIChild& d = Doc(1);
  Type(Tx(1), "abcd");
  Tx(1).SetSelection(1, 0);
  for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    QTest::keyClick(&Tx(1), Qt::Key_Insert, m);
    EXPECT_TRUE(Tx(1).InsertMode()) << m;
  }
  QTest::keyClick(&Tx(1), Qt::Key_Insert);
  EXPECT_FALSE(Tx(1).InsertMode());
  Tx(1).SetSelection(1, 0);
  Type(Tx(1), "XY");
  EXPECT_EQ(Tx(1).document()->toPlainText(), "aXYd");
  d.TXTextControl1_KeyDown(45, 0);
  EXPECT_TRUE(Tx(1).InsertMode());
}

TEST_F(EditorTest, ViewMenuMarksFollowTheBarsAndTheRulerTogglesTheTextHeight) {
  frmMDIParent& f = Frame();
  frmMDIChild& d = Doc(1);
  d.mnuView_StatusBar_Click();
  EXPECT_FALSE(f.TXStatusBar1->isVisibleTo(&f));
  EXPECT_FALSE(d.mnuView_StatusBar->isChecked());
  d.mnuView_Toolbar_Click();
  d.mnuView_ParagraphBar_Click();
  d.mnuView_Click();
  EXPECT_FALSE(d.mnuView_Toolbar->isChecked());
  EXPECT_FALSE(d.mnuView_ParagraphBar->isChecked());
  d.mnuView_Toolbar_Click();
  d.mnuView_Click();
  EXPECT_TRUE(d.mnuView_Toolbar->isChecked());

  const int inner = d.ScaleHeight();
  const int ruler = d.TXRuler1->height();
  EXPECT_EQ(Tx(1).height(), inner - ruler);
  d.mnuView_Ruler_Click();
  EXPECT_FALSE(d.mnuView_Ruler->isChecked());
  EXPECT_EQ(Tx(1).height(), inner);
  d.mnuView_Ruler_Click();
  EXPECT_EQ(Tx(1).height(), inner - ruler);
}

TEST_F(EditorTest, InsertTableAndFormatImageAreEnabledByWhereTheCaretIs) {
  Frame();
  frmMDIChild& d = Doc(1);
  d.mnuInsert_Click();
  EXPECT_TRUE(d.mnuInsert_Table->isEnabled());
  ASSERT_TRUE(Tx(1).TableInsert(2, 2));
  d.mnuInsert_Click();
  EXPECT_FALSE(d.mnuInsert_Table->isEnabled());  // the caret is in the table
  d.mnuFormat_Click();
  EXPECT_FALSE(d.mnuFormat_Image->isEnabled());  // no image selected
  EXPECT_TRUE(d.mnuFormat_Table->isEnabled());
}

TEST_F(EditorTest, APageChangeIsAFormattingStepThatUndoTakesBack) {
  Frame();
  Type(Tx(1), "abc");
  PageSettings p = Tx(1).Page();
  p.PageMarginL = 1000;
  Tx(1).SetPage(p);
  EXPECT_EQ(Tx(1).UndoKind(), 3);
  Tx(1).Undo();
  EXPECT_EQ(Tx(1).PageMarginL(), 1440);
  Tx(1).Redo();
  EXPECT_EQ(Tx(1).PageMarginL(), 1000);
  EXPECT_EQ(Tx(1).document()->toPlainText(), "abc");
}

class MetricEditorTest : public EditorTest {
 protected:
  MetricEditorTest() { localeCode = 49; }
};

TEST_F(MetricEditorTest, LocaleCode49GivesCentimetresAndA4) {
  Frame();
  EXPECT_EQ(editor->MeasureUnit, 2);
  EXPECT_EQ(Tx(1).PageWidth(), 11906);
  EXPECT_EQ(Tx(1).PageHeight(), 16837);
}

TEST_F(EditorTest, OtherLocaleCodesGiveInchesAndLetter) {
  Frame();
  EXPECT_EQ(editor->MeasureUnit, 1);
  EXPECT_EQ(Tx(1).PageWidth(), 12240);
  EXPECT_EQ(Tx(1).PageHeight(), 15840);
}

TEST_F(EditorTest, TextIsLaidOutInPagesOfThePaperAndMargins) {
  Frame();
  QTextCursor c = Tx(1).textCursor();
  for (int k = 0; k < 100; ++k) c.insertText(QStringLiteral("Line %1\n").arg(k));
  EXPECT_GE(Tx(1).CurrentPages(), 2);
  const int letterPages = Tx(1).CurrentPages();
  PageSettings legal = Tx(1).Page();
  legal.PageHeight = 32000;
  Tx(1).SetPage(legal);
  EXPECT_LT(Tx(1).CurrentPages(), letterPages);
  Tx(1).SetSelection(0, 0);
  EXPECT_EQ(Tx(1).CaretPage(), 1);
  EXPECT_EQ(Tx(1).CaretLine(), 1);
  EXPECT_EQ(Tx(1).CaretColumn(), 1);
}

}  // namespace qv::editor::test
