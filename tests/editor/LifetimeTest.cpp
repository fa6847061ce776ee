// How long the editor's windows live and what they leave behind: palettes shared between
// frames, the heap flat over many report cycles, a closed frame never reused.
#include <QFontComboBox>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <malloc.h>

#include "tests/editor/EditorFixture.h"

namespace qv::editor::test {

namespace {

void Drain() {
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
}

long HeapKb() {
  const struct mallinfo2 m = mallinfo2();
  return long((m.uordblks + m.hblkhd) / 1024);
}

// The palette keys under which the style draws the frame's font box and the document's scroll bar.
std::pair<qint64, qint64> DrawingKeys(frmMDIParent& frame, TextControl& tx) {
  auto* font = frame.findChild<QFontComboBox*>();
  EXPECT_NE(font, nullptr);
  return {font ? font->palette().cacheKey() : 0, tx.verticalScrollBar()->palette().cacheKey()};
}

}  // namespace

TEST_F(EditorTest, FramesAndResizesDrawUnderTheSamePalette) {
  frmMDIParent& first = Frame();
  const auto keys = DrawingKeys(first, Tx(1));
  Doc(1).SubWindow()->resize(1400, 500);
  QApplication::processEvents();
  Doc(1).SubWindow()->resize(300, 500);
  QApplication::processEvents();
  EXPECT_EQ(DrawingKeys(first, Tx(1)), keys);
  ASSERT_TRUE(editor->CloseEditor());
  Drain();
  frmMDIParent& second = Frame();
  ASSERT_NE(editor->NewDocument(), nullptr);
  EXPECT_EQ(DrawingKeys(second, *editor->ActiveText()), keys);
  EXPECT_EQ(DrawingKeys(second, Tx(1)), keys);
  // The document windows' title bars draw one icon.
  EXPECT_EQ(editor->ActiveDocument()->SubWindow()->windowIcon().cacheKey(), Doc(1).SubWindow()->windowIcon().cacheKey());
}

// One report cycle as the desk makes it: the editor shown, a second document opened and
// resized, the print preview shown and closed, the editor closed. After the first cycle
// (fonts, first-use caches) the heap settles, and from then on it stays where it is.
TEST_F(EditorTest, HeapStaysFlatOverTwoHundredReportCycles) {
  prompt.OnModal("PrintPreview", [](ui::ModalWindow& w) {
    auto& preview = dynamic_cast<QWidget&>(w);
    preview.show();
    QApplication::processEvents();
    preview.hide();
    return 0;
  });
  auto cycle = [&] {
    Frame();
    frmMDIChild* doc = editor->NewDocument();
    ASSERT_NE(doc, nullptr);
    Type(*doc->TXTextControl1, "Lease");
    for (int width : {1400, 300}) {
      doc->SubWindow()->resize(width, 500);
      QApplication::processEvents();
    }
    doc->mnuFile_PrintPreview_Click();
    editor->State(doc->Slot()).Dirty = kFalse;
    prompt.ClearAsked();
    ASSERT_TRUE(editor->CloseEditor());
    Drain();
  };
  cycle();
  const long first = HeapKb();
  long middle = 0;
  for (int i = 1; i <= 200; ++i) {
    cycle();
    if (i == 100) middle = HeapKb();
  }
  const long last = HeapKb();
  std::printf("editor heap %ld kB after the first report cycle; +%ld kB after 200 more, +%ld kB from cycle 100 to 200\n",
              first, last - first, last - middle);
  EXPECT_LT(last - first, 256);
  EXPECT_LT(last - middle, 32);
}

// A report made while the closed frame still waits for its deletion (a nested event loop can
// do that) opens a new frame, and the report survives the old frame's deletion.
TEST_F(EditorTest, AReportMadeRightAfterTheEditorClosedShowsInANewFrame) {
  const std::string first = Write("Loan.QVR", "{\\rtf1\\ansi Loan payment $412.07\\par}");
  const std::string second = Write("Lease.QVR", "{\\rtf1\\ansi Lease payment $389.42\\par}");
  ASSERT_TRUE(editor->OpenReport(first));
  Drain();
  QPointer<frmMDIParent> closed = frame();
  ASSERT_TRUE(editor->CloseEditor());
  EXPECT_FALSE(editor->EditorOpen());
  EXPECT_EQ(editor->Frame(), nullptr);
  EXPECT_EQ(editor->ActiveDocument(), nullptr);
  ASSERT_TRUE(editor->OpenReport(second));  // no event processing in between
  QPointer<frmMDIParent> opened = frame();
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, closed);
  Drain();
  EXPECT_TRUE(closed.isNull());
  ASSERT_FALSE(opened.isNull());
  EXPECT_TRUE(editor->EditorOpen());
  EXPECT_TRUE(opened->isVisible());
  EXPECT_EQ(OpenWindows(), 1);
  frmMDIChild* d = editor->ActiveDocument();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d, &Doc(1));
  EXPECT_TRUE(d->SubWindow()->isVisible());
  EXPECT_EQ(d->Caption(), QString::fromStdString(second).toUpper());
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), "Lease payment $389.42");
  // The new frame works on: a window opened and activated in it is the active document.
  frmMDIChild* next = editor->NewDocument();
  ASSERT_NE(next, nullptr);
  QApplication::processEvents();
  EXPECT_EQ(editor->ActiveDocument(), next);
  EXPECT_EQ(OpenWindows(), 2);
}

}  // namespace qv::editor::test
