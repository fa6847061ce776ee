// The frame: picture buttons and their faces, the zoom box, the bars and menus that follow
// the active document, the commands disabled with no document open, the About box.
#include "tests/editor/EditorFixture.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

namespace qv::editor::test {

TEST_F(EditorTest, PictureButtonFacesFollowTheMouse) {
  frmMDIParent& f = Frame();
  PictureButton& b = *f.imgCutButton;
  const int w = b.width(), h = b.height();
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseDown(1, 0, 5, 5);
  EXPECT_TRUE(b.ShowsDown());
  f.imgCutButton_MouseMove(1, 0, w + 1, 5);  // off the right edge
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseMove(1, 0, 5, 5);  // back in
  EXPECT_TRUE(b.ShowsDown());
  f.imgCutButton_MouseMove(1, 0, 0, 5);  // the left edge counts as outside
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseMove(1, 0, 5, 0);  // the top edge as inside
  EXPECT_TRUE(b.ShowsDown());
  f.imgCutButton_MouseMove(1, 0, 5, h + 1);
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseMove(2, 0, 5, 5);  // another button held: nothing changes
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseMove(3, 0, 5, 5);
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseUp(1, 0, 5, 5);
  EXPECT_FALSE(b.ShowsDown());
  f.imgCutButton_MouseDown(2, 0, 5, 5);  // the right button shows the pressed face too
  EXPECT_TRUE(b.ShowsDown());
  f.imgCutButton_MouseUp(2, 0, 5, 5);
  EXPECT_FALSE(b.ShowsDown());
}

TEST_F(EditorTest, AClickRunsTheCommandAndAReleaseOutsideDoesNot) {
  frmMDIParent& f = Frame();
  PictureButton& b = *f.imgFileNewButton;
  QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(b.width() + 10, 5));
  EXPECT_EQ(editor->SlotCount(), 1);
  EXPECT_FALSE(b.ShowsDown());
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(editor->SlotCount(), 2);
  EXPECT_EQ(Doc(2).Caption(), "Untitled:2");
  EXPECT_FALSE(b.ShowsDown());
}

TEST_F(EditorTest, TheZoomBoxSetsTheActiveDocumentsZoom) {
  frmMDIParent& f = Frame();
  EXPECT_EQ(f.cboZoom->currentText(), "100%");
  EXPECT_EQ(f.cboZoom->count(), 5);
  f.cboZoom->setCurrentIndex(4);
  f.cboZoom_Click();
  EXPECT_EQ(Tx(1).ZoomFactor(), 200);
  f.cboZoom->setCurrentIndex(0);
  f.cboZoom_Click();
  EXPECT_EQ(Tx(1).ZoomFactor(), 30);
}

TEST_F(EditorTest, BarsAndMenusServeTheActiveDocument) {
  frmMDIParent& f = Frame();
  editor->NewDocument();
  EXPECT_EQ(f.TXButtonBar1->Bound(), &Tx(2));
  EXPECT_EQ(f.TXStatusBar1->Bound(), &Tx(2));
  EXPECT_EQ(f.menuBar()->actions().value(0), Doc(2).mnuFile->menuAction());
  // Activating the first window again binds the bars to it (they served the last loaded).
  f.MdiArea()->setActiveSubWindow(Doc(1).SubWindow());
  f.DocumentActivated(&Doc(1));
  EXPECT_EQ(f.TXButtonBar1->Bound(), &Tx(1));
  EXPECT_EQ(f.TXStatusBar1->Bound(), &Tx(1));
  EXPECT_EQ(f.menuBar()->actions().value(0), Doc(1).mnuFile->menuAction());
  Type(Tx(1), "xy");
  EXPECT_EQ(f.TXStatusBar1->colPane->text(), "Col 3");
  // Bold from the bar goes to the active document.
  Tx(1).SetSelection(0, 2);
  f.TXButtonBar1->boldButton->click();
  EXPECT_TRUE(Tx(1).textCursor().charFormat().font().bold());
  EXPECT_FALSE(Tx(2).textCursor().charFormat().font().bold());
}

TEST_F(EditorTest, WithNoDocumentTheDocumentCommandsAreDisabledAndDoNothing) {
  frmMDIParent& f = Frame();
  EXPECT_TRUE(f.imgCutButton->isEnabled());
  ASSERT_TRUE(Doc(1).CloseWindow());
  QApplication::processEvents();
  for (PictureButton* b : {f.imgFileSaveButton, f.imgCutButton, f.imgCopyButton, f.imgPasteButton, f.imgPrintButton,
                           f.imgPrintPreButton}) {
    EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  }
  EXPECT_TRUE(f.imgFileNewButton->isEnabled());
  EXPECT_TRUE(f.imgFileOpenButton->isEnabled());
  EXPECT_FALSE(f.cboZoom->isEnabled());
  EXPECT_FALSE(f.TXButtonBar1->isEnabled());
  // The frame's own File menu: New, Open, and the hidden recent-file items.
  ASSERT_EQ(f.menuBar()->actions().size(), 1);
  EXPECT_EQ(f.menuBar()->actions()[0]->text(), "&File");
  EXPECT_EQ(f.mnuFile_New->text(), "&New");
  EXPECT_EQ(f.mnuFile_Open->text(), "&Open...");
  for (QAction* a : f.mnuRecentFile) EXPECT_FALSE(a->isVisible());
  // The handlers themselves do nothing and ask nothing.
  f.imgFileSaveButton_Click();
  f.imgCutButton_Click();
  f.imgPasteButton_Click();
  f.imgPrintButton_Click();
  f.imgPrintPreButton_Click();
  f.cboZoom_Click();
  EXPECT_TRUE(prompt.Asked().empty());
  f.mnuFile_New_Click();
  EXPECT_TRUE(f.imgCutButton->isEnabled());
}

TEST_F(EditorTest, TheAboutBoxClosesOnOk) {
  Frame();
  bool shown = false;
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& box = dynamic_cast<frmAboutDlg&>(w);
    EXPECT_EQ(box.cmdOK->text(), "&Ok");
    box.cmdOK_Click();
    shown = true;
    return box.result();
  });
  Doc(1).mnuFile_About_Click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(prompt.Last()->text, "frmAboutDlg");
}

TEST_F(EditorTest, ExitClosesTheWholeEditor) {
  Frame();
  editor->NewDocument();
  Doc(2).mnuFile_Exit_Click();
  QApplication::processEvents();
  EXPECT_FALSE(editor->EditorOpen());
}

}  // namespace qv::editor::test
