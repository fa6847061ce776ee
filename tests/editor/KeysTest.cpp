// The keys and the view of a document window, with real key events and the focus where it
// really is: Page Down and Page Up scroll the document a screen and take the caret along;
// opening a menu leaves the view where it is; opening a file that is open already brings
// its window forward.
#include "tests/editor/EditorFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>
#include <filesystem>

namespace qv::editor::test {
namespace {

class KeysTest : public EditorTest {
 protected:
  // The editor shown and active, document 1 holding numbered lines over several pages, the
  // caret at the start and the focus in its text.
  TextControl& LongDocument() {
    frmMDIParent& f = Frame();
    f.resize(1000, 760);
    Activate();
    TextControl& tx = Tx(1);
    QStringList lines;
    for (int i = 1; i <= 160; ++i) lines << QStringLiteral("Line %1 of the report").arg(i);
    tx.SetPlainContent(lines.join(QLatin1Char('\n')));
    tx.setFocus();
    QApplication::processEvents();
    return tx;
  }
  void Activate() {
    frame()->show();
    frame()->activateWindow();
    QApplication::setActiveWindow(frame());
    for (int i = 0; i < 50 && QApplication::activeWindow() != frame(); ++i) QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), frame());
  }
  // The top of the caret's line in the document (pixels at 100 %).
  static double CaretTop(const TextControl& tx) {
    const QTextCursor c = tx.textCursor();
    const QTextBlock block = c.block();
    double y = tx.document()->documentLayout()->blockBoundingRect(block).top();
    if (const QTextLayout* layout = block.layout()) {
      const QTextLine line = layout->lineForTextPosition(c.positionInBlock());
      if (line.isValid()) y += line.y();
    }
    return y;
  }
  // The caret's line stands inside the view.
  static bool CaretShown(const TextControl& tx) {
    const double y = tx.mapFromScene(QPointF(0, CaretTop(tx))).y();
    return y >= 0 && y < tx.viewport()->height();
  }
  static int Scroll(const TextControl& tx) { return tx.verticalScrollBar()->value(); }
  static void Key(Qt::Key key, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), key, m); }
};

TEST_F(KeysTest, PageDownAndPageUpScrollAScreenAndTakeTheCaretAlong) {
  TextControl& tx = LongDocument();
  ASSERT_GE(tx.CurrentPages(), 3);
  ASSERT_EQ(QApplication::focusWidget(), &tx);
  for (const int zoom : {100, 50}) {
    SCOPED_TRACE(zoom);
    tx.SetZoomFactor(zoom);
    Key(Qt::Key_Home, Qt::ControlModifier);
    const int top = tx.verticalScrollBar()->minimum();
    tx.verticalScrollBar()->setValue(top);
    const int screen = tx.viewport()->height();         // view pixels
    const double screenInText = screen * 100.0 / zoom;  // the same in the document's pixels
    for (int step = 1; step <= 2; ++step) {
      const int scrollBefore = Scroll(tx);
      const double caretBefore = CaretTop(tx);
      const double lineOnScreen = tx.mapFromScene(QPointF(0, caretBefore)).y();
      Key(Qt::Key_PageDown);
      // The view moves down about a screen; the caret goes down as far and stays on the
      // same line of the screen. (The caret goes by whole lines, and the margins between
      // two pages hold none: it may stop short of a screen by them.)
      EXPECT_GT(Scroll(tx) - scrollBefore, screen / 2) << step;
      EXPECT_LE(Scroll(tx) - scrollBefore, screen) << step;
      EXPECT_GT(CaretTop(tx) - caretBefore, screenInText / 2) << step;
      EXPECT_LE(CaretTop(tx) - caretBefore, screenInText) << step;
      EXPECT_TRUE(CaretShown(tx));
      EXPECT_NEAR(tx.mapFromScene(QPointF(0, CaretTop(tx))).y(), lineOnScreen, 2.0) << step;
      EXPECT_FALSE(tx.textCursor().hasSelection());
    }
    // Page Up twice comes back to the start, view and caret.
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Scroll(tx), top);
    EXPECT_EQ(tx.textCursor().position(), 0);
    // Shift+Page Down selects from the caret down a screen.
    Key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(tx.textCursor().anchor(), 0);
    EXPECT_GT(tx.textCursor().position(), 0);
    EXPECT_GT(Scroll(tx), top);
    // At the end of the document Page Down goes no further; Page Up from there scrolls back.
    Key(Qt::Key_End, Qt::ControlModifier);
    const int end = tx.textCursor().position();
    const int bottom = Scroll(tx);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(tx.textCursor().position(), end);
    EXPECT_GE(Scroll(tx), bottom);
    EXPECT_TRUE(CaretShown(tx));
    const int atEnd = Scroll(tx);
    Key(Qt::Key_PageUp);
    EXPECT_LT(tx.textCursor().position(), end);
    EXPECT_LT(Scroll(tx), atEnd);
    EXPECT_TRUE(CaretShown(tx));
  }
}

// The view scrolled away from the caret (scroll bar, wheel) stays where it is while a menu
// opens and closes, by its letter or by a click on its title.
TEST_F(KeysTest, OpeningAMenuLeavesTheViewWhereItIs) {
  TextControl& tx = LongDocument();
  QMenuBar* bar = frame()->menuBar();
  ASSERT_GE(bar->actions().size(), 5);
  const int middle = tx.verticalScrollBar()->maximum() / 2;
  ASSERT_GT(middle, tx.viewport()->height());
  for (const bool byMouse : {false, true}) {
    for (QAction* title : bar->actions()) {
      QMenu* menu = title->menu();
      if (!menu || !title->isVisible() || !title->isEnabled()) continue;
      SCOPED_TRACE(title->text().toStdString() + (byMouse ? " (mouse)" : " (letter)"));
      Activate();
      tx.setFocus();
      tx.verticalScrollBar()->setValue(middle);
      ASSERT_FALSE(CaretShown(tx));
      if (byMouse) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
      } else {
        const QString text = title->text();
        const int amp = text.indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0);
        Key(Qt::Key(QKeySequence::fromString(text.mid(amp + 1, 1).toUpper())[0].key()), Qt::AltModifier);
      }
      for (int i = 0; i < 20 && !menu->isVisible(); ++i) QApplication::processEvents();
      ASSERT_TRUE(menu->isVisible());
      EXPECT_EQ(Scroll(tx), middle);
      QTest::keyClick(menu, Qt::Key_Escape);
      if (bar->activeAction()) QTest::keyClick(bar, Qt::Key_Escape);
      QApplication::processEvents();
      EXPECT_FALSE(menu->isVisible());
      EXPECT_EQ(Scroll(tx), middle);
      EXPECT_EQ(tx.textCursor().position(), 0);
    }
  }
}

TEST_F(KeysTest, OpeningAFileThatIsOpenBringsItsWindowForward) {
  Frame();
  Activate();
  const std::string a = Write("a.rtf", "{\\rtf1\\ansi First report\\par}");
  const std::string b = Write("b.txt", "Second file\n");
  std::filesystem::create_directory(Path("other"));
  const std::string sameName = Write("other/a.rtf", "{\\rtf1\\ansi Another report\\par}");
  std::filesystem::create_symlink(a, Path("link.rtf"));

  editor->FileOpen(a);
  frmMDIChild* first = frame()->ActiveForm();
  ASSERT_NE(first, nullptr);
  // An edit not saved yet stays: the window is brought forward, not read again.
  Type(*first->TXTextControl1, "Edited ");
  const QString edited = first->TXTextControl1->document()->toPlainText();
  editor->FileOpen(b);
  frmMDIChild* second = frame()->ActiveForm();
  ASSERT_NE(second, first);
  const int windows = OpenWindows();

  struct Case {
    const char* how;
    std::function<void()> open;
  };
  const Case cases[] = {
      {"the same path", [&] { editor->FileOpen(a); }},
      {"the open dialog", [&] {
         prompt.File(a);
         editor->FileOpen("");
       }},
      {"a path through . and ..", [&] { editor->FileOpen(Path("other/../././a.rtf")); }},
      {"a link to the file", [&] { editor->FileOpen(Path("link.rtf")); }},
      {"in quotes", [&] { editor->FileOpen("\"" + a + "\""); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    frame()->MdiArea()->setActiveSubWindow(second->SubWindow());
    ASSERT_EQ(frame()->ActiveForm(), second);
    c.open();
    EXPECT_EQ(OpenWindows(), windows);
    EXPECT_EQ(frame()->ActiveForm(), first);
    EXPECT_EQ(frame()->MdiArea()->activeSubWindow(), first->SubWindow());
    EXPECT_EQ(QApplication::focusWidget(), first->TXTextControl1);
    EXPECT_EQ(first->TXTextControl1->document()->toPlainText(), edited);
  }
  // A file of the same name in another folder is another file.
  editor->FileOpen(sameName);
  EXPECT_EQ(OpenWindows(), windows + 1);
  EXPECT_NE(frame()->ActiveForm(), first);
  EXPECT_NE(frame()->ActiveForm(), second);
}

}  // namespace
}  // namespace qv::editor::test
