// Where the document windows go: new windows wholly inside the frame's visible area, and
// Cascade leaving each one big enough to work in, one title bar from the one before.
#include <QMdiSubWindow>
#include <QStyle>

#include "tests/editor/EditorFixture.h"

namespace qv::editor::test {

namespace {
QRect Area(frmMDIParent& f) { return f.MdiArea()->viewport()->rect(); }
}  // namespace

TEST_F(EditorTest, NewWindowsOpenWhollyInsideTheVisibleArea) {
  frmMDIParent& f = Frame();
  for (QSize frameSize : {QSize(800, 585), QSize(1280, 900)}) {
    SCOPED_TRACE(frameSize.width());
    f.resize(frameSize);
    QApplication::processEvents();
    for (int k = 0; k < 3; ++k) {  // File > New, and reports handed to the open editor
      frmMDIChild* d = editor->NewDocument();
      ASSERT_NE(d, nullptr);
      QApplication::processEvents();
      const QRect g = d->SubWindow()->geometry();
      EXPECT_TRUE(Area(f).contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
      EXPECT_GE(g.height(), std::min(300, Area(f).height()));
    }
  }
}

TEST_F(EditorTest, EachNewWindowOpensOneTitleBarFromTheActiveOne) {
  frmMDIParent& f = Frame();  // at the size the frame opens with
  QApplication::processEvents();
  const QList<QMdiSubWindow*> first = f.MdiArea()->subWindowList();
  ASSERT_EQ(first.size(), 1);
  const int step = std::max(f.MdiArea()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, first[0]), 18);
  QRect before = first[0]->geometry();
  EXPECT_EQ(before.topLeft(), QPoint(0, 0));
  for (int k = 0; k < 2; ++k) {  // two File > New
    SCOPED_TRACE(k);
    editor->ActiveDocument()->mnuFile_New_Click();
    QApplication::processEvents();
    const QRect g = editor->ActiveDocument()->SubWindow()->geometry();
    EXPECT_TRUE(Area(f).contains(g));
    EXPECT_EQ(g.topLeft(), before.topLeft() + QPoint(step, step));  // the caption below the one before
    EXPECT_GE(g.height(), std::min(300, Area(f).height()));
    before = g;
  }
  // With no room left below and right, a new window starts again at the top left.
  for (int k = 0; k < 30; ++k) editor->NewDocument();
  QApplication::processEvents();
  for (QMdiSubWindow* s : f.MdiArea()->subWindowList()) {
    EXPECT_TRUE(Area(f).contains(s->geometry()));
    EXPECT_GE(s->height(), std::min(300, Area(f).height()));
  }
}

TEST_F(EditorTest, CascadeLeavesEveryWindowWorkableOneTitleBarApart) {
  frmMDIParent& f = Frame();
  f.resize(1000, 760);
  QApplication::processEvents();
  for (int k = 0; k < 3; ++k) ASSERT_NE(editor->NewDocument(), nullptr);
  QApplication::processEvents();
  Doc(2).mnuWindow_Cascade_Click();
  QApplication::processEvents();
  const QList<QMdiSubWindow*> subs = f.MdiArea()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(subs.size(), 4);
  const int step = std::max(f.MdiArea()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subs[0]), 18);
  const QRect area = Area(f);
  for (int k = 0; k < 4; ++k) {
    const QRect g = subs[k]->geometry();
    SCOPED_TRACE(k);
    EXPECT_TRUE(area.contains(g));
    EXPECT_EQ(g.topLeft(), QPoint(k * step, k * step));
    EXPECT_EQ(g.size(), QSize(area.width() - 3 * step, area.height() - 3 * step));
    // Big enough to read and work in: the text shows a good part of a page.
    EXPECT_GE(Doc(k + 1).TXTextControl1->height(), 300);
  }
  EXPECT_EQ(f.MdiArea()->activeSubWindow(), subs[3]);
}

}  // namespace qv::editor::test
