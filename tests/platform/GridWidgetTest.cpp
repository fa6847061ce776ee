// The grid widget over a sheet, under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"

using qv::grid::CellFont;
using qv::grid::GridWidget;
using qv::grid::Sheet;
using qv::grid::Workbook;

namespace {

// One QApplication for the widget tests of this executable.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) app_ = new QApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  int argc_ = 1;
  char name_[16] = "platform_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};
[[maybe_unused]] auto* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QString Shown(GridWidget& g, int row, int col) {
  return g.view()->model()->data(g.view()->model()->index(row - 1, col - 1), Qt::DisplayRole).toString();
}

// Counts every signal the grid sends.
struct SignalCounter {
  explicit SignalCounter(GridWidget& g) {
    auto bump = [this] { ++count; };
    QObject::connect(&g, &GridWidget::click, bump);
    QObject::connect(&g, &GridWidget::dblClick, bump);
    QObject::connect(&g, &GridWidget::rightClick, bump);
    QObject::connect(&g, &GridWidget::keyDown, bump);
    QObject::connect(&g, &GridWidget::keyPress, bump);
    QObject::connect(&g, &GridWidget::keyUp, bump);
    QObject::connect(&g, &GridWidget::endEdit, bump);
    QObject::connect(&g, &GridWidget::objValueChanged, bump);
    QObject::connect(&g, &GridWidget::activeCellChanged, bump);
    QObject::connect(&g, &GridWidget::selectionChanged, bump);
  }
  int count = 0;
};

// Money the way the dialogs show it (a stand-in for the engine's format patterns).
std::string Money(double v) {
  if (v == 0) return " ";
  char buf[64];
  std::snprintf(buf, sizeof buf, "$%.2f", v);
  return buf;
}

void Click(GridWidget& g, int row, int col) {
  QWidget* vp = g.view()->viewport();
  QRect r = g.view()->visualRect(g.view()->model()->index(row - 1, col - 1));
  QPoint at = r.center();
  QMouseEvent press(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(vp, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(vp, &release);
}

void Key(QWidget* to, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &release);
}

// An option list: name, invoice, MSRP.
Sheet OptionSheet() {
  Sheet s("Options");
  s.SetColText(1, "Option\r\nName");
  s.SetColText(2, "Invoice");
  s.SetColText(3, "MSRP");
  s.SetTextRC(1, 1, "Sunroof");
  s.SetNumberRC(1, 2, 1234.5);
  s.SetNumberRC(1, 3, 0);
  s.SetTextRC(2, 1, "Floor mats");
  s.SetNumberRC(2, 2, 60);
  s.SetNumberRC(2, 3, 85.25);
  s.SetMaxRow(3);
  return s;
}

}  // namespace

TEST(GridWidget, ShowsTheSheetTextsAndFormattedNumbers) {
  Sheet s = OptionSheet();
  CellFont bold;
  bold.bold = true;
  bold.color = 0x0000FF;  // red in blue-green-red order
  s.SetFontRC(2, 1, bold);
  GridWidget g;
  g.setColumnFormatter(2, Money);
  g.setColumnFormatter(3, Money);
  g.setSheet(&s);
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(g.columnCount(), 3);
  EXPECT_EQ(Shown(g, 1, 1), "Sunroof");
  EXPECT_EQ(Shown(g, 1, 2), "$1234.50");
  EXPECT_EQ(Shown(g, 1, 3), " ");
  EXPECT_EQ(Shown(g, 2, 3), "$85.25");
  EXPECT_EQ(Shown(g, 3, 1), "");
  EXPECT_EQ(s.NumberRC(1, 2), 1234.5);  // the sheet keeps the number
  auto* m = g.view()->model();
  EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Option\nName");
  EXPECT_TRUE(m->data(m->index(1, 0), Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(m->data(m->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_FALSE(m->data(m->index(0, 0), Qt::FontRole).isValid());
  auto align = [&](int r, int c) { return m->data(m->index(r, c), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask; };
  EXPECT_EQ(align(0, 0), Qt::AlignLeft);   // text
  EXPECT_EQ(align(0, 1), Qt::AlignRight);  // number
  g.setColumnAlignment(1, Qt::AlignHCenter);
  EXPECT_EQ(align(0, 0), Qt::AlignHCenter);

  // A text with line breaks shows on separate lines; a sheet that fixes its column count
  // shows that many columns.
  s.SetTextRC(3, 1, "two\r\nlines");
  s.SetMaxCol(5);
  EXPECT_EQ(g.columnCount(), 3);  // nothing moves before a refresh
  g.refresh();
  EXPECT_EQ(g.columnCount(), 5);
  EXPECT_EQ(Shown(g, 3, 1), "two\nlines");
}

TEST(GridWidget, RefreshFollowsRowsAndDoesNothingWhenTheSheetDidNotChange) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.setSheet(&s);
  int notices = 0;
  auto* m = g.view()->model();
  QObject::connect(m, &QAbstractItemModel::dataChanged, [&] { ++notices; });
  QObject::connect(m, &QAbstractItemModel::rowsInserted, [&] { ++notices; });
  QObject::connect(m, &QAbstractItemModel::modelReset, [&] { ++notices; });
  g.refresh();
  g.refresh();
  EXPECT_EQ(notices, 0);
  for (int i = 0; i < 500; ++i) s.SetNumberRC(2, 2, i);  // many writes, no work in the grid
  EXPECT_EQ(notices, 0);
  s.SetMaxRow(6);
  g.refresh();
  EXPECT_GT(notices, 0);
  EXPECT_EQ(g.rowCount(), 6);
  EXPECT_EQ(Shown(g, 2, 2), "499");
  s.DeleteRange(-1, -1, -1, -1, 3);
  s.SetMaxRow(1);
  g.refresh();
  EXPECT_EQ(g.rowCount(), 1);
  EXPECT_EQ(Shown(g, 1, 1), "");
}

TEST(GridWidget, FollowsTheSheetsOfAWorkbookAcrossARead) {
  Workbook wb;
  wb.SetNumSheets(3);
  wb.SheetAt(2).SetTextRC(1, 1, "second");
  wb.SheetAt(3).SetTextRC(1, 1, "third");
  GridWidget g;
  g.setWorkbook(&wb, 2);
  EXPECT_EQ(Shown(g, 1, 1), "second");
  g.setSheetNumber(3);
  EXPECT_EQ(Shown(g, 1, 1), "third");
  g.setSheetNumber(0);  // the workbook's active sheet
  wb.SetSheet(2);
  g.refresh();
  EXPECT_EQ(Shown(g, 1, 1), "second");

  Workbook other;
  other.SetNumSheets(2);
  other.SheetAt(2).SetTextRC(4, 1, "read from file");
  std::string path = (std::filesystem::temp_directory_path() / "qv-grid-read.QVX").string();
  std::string error;
  ASSERT_TRUE(other.Write(path, error)) << error;
  ASSERT_TRUE(wb.Read(path, error)) << error;  // replaces every sheet the grid looked at
  std::filesystem::remove(path);
  wb.SetSheet(2);
  g.refresh();
  EXPECT_EQ(g.rowCount(), 4);
  EXPECT_EQ(Shown(g, 4, 1), "read from file");
}

TEST(GridWidget, EditCommitAsksEndEditFirstThenStores) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.setSheet(&s);
  g.setColumnNumeric(1, false);
  struct Seen {
    int row, col;
    QString text;
    std::string cellBefore;
    int activeRow, activeCol;
  };
  std::vector<Seen> seen;
  QString replacement;
  bool cancel = false;
  QObject::connect(&g, &GridWidget::endEdit, [&](int r, int c, QString* text, bool* cancelled) {
    seen.push_back({r, c, *text, s.TextRC(r, c), s.ActiveRow(), s.ActiveCol()});
    if (!replacement.isEmpty()) *text = replacement;
    *cancelled = cancel;
  });

  EXPECT_TRUE(g.commitEdit(2, 2, "1500"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].row, 2);
  EXPECT_EQ(seen[0].col, 2);
  EXPECT_EQ(seen[0].text, "1500");
  EXPECT_EQ(seen[0].cellBefore, "60");  // the handler runs before the store
  EXPECT_EQ(seen[0].activeRow, 2);      // with the edited cell active
  EXPECT_EQ(seen[0].activeCol, 2);
  EXPECT_TRUE(s.IsNumber(2, 2));
  EXPECT_EQ(s.NumberRC(2, 2), 1500);

  struct Case {
    int col;
    const char* typed;
    const char* replaced;  // "" none
    bool cancel;
    bool stored;
    bool number;
    const char* cell;  // TextRC afterwards
  } cases[] = {
      {2, "$1,200", "", false, true, false, "$1,200"},  // not a plain number: text
      {2, "$1,200", "1200", false, true, true, "1200"},  // the handler's text is stored
      {2, "77", "", true, false, true, "1200"},          // cancelled: the cell stays
      {1, "2000", "", false, true, false, "2000"},       // a text column keeps digits as text
      {2, "", "", false, true, false, ""},               // empty text empties the cell
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    replacement = c.replaced;
    cancel = c.cancel;
    EXPECT_EQ(g.commitEdit(3, c.col, c.typed), c.stored);
    EXPECT_EQ(s.IsNumber(3, c.col), c.number);
    EXPECT_EQ(s.TextRC(3, c.col), c.cell);
  }
  replacement.clear();
  cancel = false;

  // Read-only cells neither ask nor store.
  seen.clear();
  g.setColumnReadOnly(3, true);
  g.setRowReadOnly(1, true);
  EXPECT_FALSE(g.commitEdit(2, 3, "5"));
  EXPECT_FALSE(g.commitEdit(1, 2, "5"));
  EXPECT_FALSE(g.editCell(2, 3));
  g.setReadOnly(true);
  EXPECT_FALSE(g.commitEdit(2, 2, "5"));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(s.NumberRC(2, 3), 85.25);
}

TEST(GridWidget, TypingIntoTheEditorAndPressingEnterGoesThroughEndEdit) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.resize(400, 300);
  g.show();
  g.setSheet(&s);
  std::vector<int> keys;
  int edits = 0;
  QObject::connect(&g, &GridWidget::endEdit, [&](int r, int c, QString* text, bool*) {
    ++edits;
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(*text, "99.5");
  });
  QObject::connect(&g, &GridWidget::keyPress, [&](int* ascii) { keys.push_back(*ascii); });
  ASSERT_TRUE(g.editCell(2, 3));
  auto* editor = g.view()->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "85.25");
  editor->selectAll();
  editor->insert("99.5");
  Key(editor, Qt::Key_Return, "\r");
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(s.NumberRC(2, 3), 99.5);
  EXPECT_EQ(keys, std::vector<int>{13});  // the grid sees the Enter after the edit
  QApplication::processEvents();

  // Escape leaves the cell as it was, without an end-of-edit.
  ASSERT_TRUE(g.editCell(2, 3));
  editor = g.view()->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  editor->insert("1");
  Key(editor, Qt::Key_Escape, QString(QChar(27)));
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(s.NumberRC(2, 3), 99.5);
}

// Typing a key into the open editor, as the keyboard does.
void Type(QWidget* editor, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(editor, &press);
  }
}

TEST(GridWidget, TypingReplacesTheCellTextAfterTheSheetWasRefreshedUnderTheEditor) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.resize(400, 300);
  g.show();
  g.setSheet(&s);
  // Each stored edit writes elsewhere in the sheet, as a recalculation does.
  QObject::connect(&g, &GridWidget::endEdit, [&](int, int, QString*, bool*) { s.SetNumberRC(3, 2, 999); });

  // An editor opened on a cell that a refresh then rewrites: its text is all selected again,
  // so what is typed replaces it instead of being added to it.
  ASSERT_TRUE(g.editCell(1, 2));
  auto* editor = g.view()->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  s.SetNumberRC(1, 2, 0);
  g.refresh();
  QApplication::processEvents();
  EXPECT_EQ(editor->text(), "0");
  Type(editor, "-200");
  Key(editor, Qt::Key_Return, "\r");
  EXPECT_EQ(s.NumberRC(1, 2), -200);
  QApplication::processEvents();

  // Tab stores the cell and opens the next one; the refresh after the store leaves the next
  // editor's text selected, whether or not its text changed.
  struct Case {
    int row, col;
    const char* typed;
    double stored;  // in the cell after the first
  } cases[] = {{2, 1, "-75", -75}, {1, 2, "-12.5", -12.5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ASSERT_TRUE(g.editCell(c.row, c.col));
    editor = g.view()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->insert("x");
    Key(editor, Qt::Key_Tab, "\t");
    QApplication::processEvents();
    QLineEdit* next = nullptr;
    for (auto* e : g.view()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) next = e;
    ASSERT_NE(next, nullptr);
    Type(next, c.typed);
    Key(next, Qt::Key_Return, "\r");
    EXPECT_EQ(s.NumberRC(c.row, c.col + 1), c.stored);
    QApplication::processEvents();
  }
}

TEST(GridWidget, KeepsTheFocusWhenTheEndOfAnEditOpensADialog) {
  Sheet s = OptionSheet();
  QWidget window;
  auto* other = new QLineEdit(&window);  // first in the window's focus chain
  auto* g = new GridWidget(&window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(other);
  layout->addWidget(g);
  window.resize(400, 300);
  window.show();
  QApplication::setActiveWindow(&window);
  g->setSheet(&s);
  // The store asks a question in a window of its own, as the offer to recalculate the
  // residual does.
  QObject::connect(g, &GridWidget::endEdit, [&](int, int, QString*, bool*) {
    QDialog question;
    auto* answer = new QLineEdit(&question);
    QTimer::singleShot(0, &question, [&] {
      answer->setFocus();
      question.accept();
    });
    question.exec();
  });
  for (int key : {Qt::Key_Return, Qt::Key_Tab}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(g->editCell(1, 2));
    auto* editor = g->view()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    editor->selectAll();
    editor->insert("5");
    Key(editor, key, key == Qt::Key_Tab ? "\t" : "\r");
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
    QWidget* f = window.focusWidget();
    EXPECT_TRUE(f && (f == g->view() || g->isAncestorOf(f))) << (f ? f->metaObject()->className() : "none");
    g->view()->closePersistentEditor(g->view()->currentIndex());
    QApplication::processEvents();
  }
}

TEST(GridWidget, TabLeavesTheGridAtItsEndsAndCtrlTabAlways) {
  Sheet s = OptionSheet();  // 3 rows of 3 cells
  QWidget window;
  auto* before = new QLineEdit(&window);
  auto* g = new GridWidget(&window);
  auto* after = new QLineEdit(&window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(before);
  layout->addWidget(g);
  layout->addWidget(after);
  window.resize(400, 300);
  window.show();
  QApplication::setActiveWindow(&window);
  g->setSheet(&s);
  auto press = [](QWidget* to, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent e(QEvent::KeyPress, key, mods, key == Qt::Key_Tab ? "\t" : QString());
    QApplication::sendEvent(to, &e);
    QApplication::processEvents();
  };
  struct Case {
    const char* name;
    int row, col;
    int key;
    Qt::KeyboardModifiers mods;
    QWidget* focus;  // nullptr: stays in the grid
    int toRow, toCol;
  };
  const Case cases[] = {
      {"Tab inside", 1, 1, Qt::Key_Tab, Qt::NoModifier, nullptr, 1, 2},
      {"Tab at the row's end", 1, 3, Qt::Key_Tab, Qt::NoModifier, nullptr, 2, 1},
      {"Tab from the last cell", 3, 3, Qt::Key_Tab, Qt::NoModifier, after, 0, 0},
      {"Shift+Tab inside", 2, 1, Qt::Key_Backtab, Qt::ShiftModifier, nullptr, 1, 3},
      {"Shift+Tab from the first cell", 1, 1, Qt::Key_Backtab, Qt::ShiftModifier, before, 0, 0},
      {"Ctrl+Tab", 1, 1, Qt::Key_Tab, Qt::ControlModifier, after, 0, 0},
      {"Ctrl+Shift+Tab", 2, 2, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, before, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Not editing.
    g->view()->setFocus(Qt::OtherFocusReason);
    g->setActiveCell(c.row, c.col);
    QApplication::processEvents();
    press(g->view(), c.key, c.mods);
    if (c.focus) {
      EXPECT_EQ(window.focusWidget(), c.focus);
    } else {
      EXPECT_EQ(window.focusWidget(), g->view());
      EXPECT_EQ(g->activeRow(), c.toRow);
      EXPECT_EQ(g->activeCol(), c.toCol);
    }
    // Editing: the cell is stored either way.
    g->view()->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(g->editCell(c.row, c.col));
    QLineEdit* editor = nullptr;
    for (auto* e : g->view()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) editor = e;
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    editor->selectAll();
    editor->insert("77");
    press(editor, c.key, c.mods);
    EXPECT_EQ(s.NumberRC(c.row, c.col), 77);
    if (c.focus) EXPECT_EQ(window.focusWidget(), c.focus);
    else EXPECT_TRUE(g->isAncestorOf(window.focusWidget()));
    g->view()->closePersistentEditor(g->view()->currentIndex());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    s = OptionSheet();
    g->refresh();
  }
}

TEST(GridWidget, ChangesFromCodeSendNoSignal) {
  Sheet s = OptionSheet();
  s.AddCheckBox(1, 2, 4);
  GridWidget g;
  g.resize(400, 300);
  g.show();
  SignalCounter counter(g);
  g.setSheet(&s);
  s.SetTextRC(1, 1, "Moonroof");
  s.SetActiveCell(2, 2);
  s.SetSelection(1, 1, 2, 3);
  g.refresh();
  g.setActiveCell(3, 1);
  g.setSelection(2, 1, 3, 2);
  g.setObjValue(1, 1);
  s.SetMaxRow(10);
  g.refresh();
  QApplication::processEvents();
  EXPECT_EQ(counter.count, 0);
  EXPECT_EQ(g.objValue(1), 1);
  // The view follows what code set in the sheet.
  EXPECT_EQ(g.view()->currentIndex().row(), 2);
  EXPECT_EQ(g.view()->currentIndex().column(), 0);
  EXPECT_TRUE(g.view()->selectionModel()->isSelected(g.view()->model()->index(2, 1)));
  EXPECT_FALSE(g.view()->selectionModel()->isSelected(g.view()->model()->index(0, 0)));
}

// A cell made active from code (Enter moving down a column, a chosen page in a list) takes
// the highlight with it.
TEST(GridWidget, ACellMadeActiveIsTheSelection) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.resize(400, 300);
  g.show();
  g.setSheet(&s);
  g.setSelection(1, 1, 1, 1);
  g.setActiveCell(3, 2);
  EXPECT_EQ(s.SelStartRow(), 3);
  EXPECT_EQ(s.SelStartCol(), 2);
  EXPECT_EQ(s.SelEndRow(), 3);
  EXPECT_EQ(s.SelEndCol(), 2);
  QItemSelectionModel* sm = g.view()->selectionModel();
  EXPECT_TRUE(sm->isSelected(g.view()->model()->index(2, 1)));
  EXPECT_FALSE(sm->isSelected(g.view()->model()->index(0, 0)));
  EXPECT_EQ(g.view()->currentIndex(), g.view()->model()->index(2, 1));
}

TEST(GridWidget, UserMovesUpdateTheSheetAndSignal) {
  Sheet s = OptionSheet();
  GridWidget g;
  g.resize(400, 300);
  g.show();
  g.setSheet(&s);
  std::vector<std::pair<int, int>> clicks, moves;
  QObject::connect(&g, &GridWidget::click, [&](int r, int c) { clicks.push_back({r, c}); });
  QObject::connect(&g, &GridWidget::activeCellChanged, [&](int r, int c) { moves.push_back({r, c}); });
  Click(g, 2, 3);
  EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 3}}));
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{2, 3}}));
  EXPECT_EQ(s.ActiveRow(), 2);
  EXPECT_EQ(s.ActiveCol(), 3);
  EXPECT_EQ(s.SelStartRow(), 2);
  EXPECT_EQ(s.SelEndCol(), 3);

  // keyDown may swallow a key: the down arrow then does not move.
  bool swallow = true;
  QObject::connect(&g, &GridWidget::keyDown, [&](int* key, Qt::KeyboardModifiers) {
    if (swallow && *key == Qt::Key_Down) *key = 0;
  });
  Key(g.view(), Qt::Key_Down);
  EXPECT_EQ(s.ActiveRow(), 2);
  swallow = false;
  Key(g.view(), Qt::Key_Down);
  EXPECT_EQ(s.ActiveRow(), 3);
  EXPECT_EQ(moves.back(), std::make_pair(3, 3));

  // Ctrl+C puts the selection's text on the clipboard.
  g.setSelection(1, 1, 2, 2);
  QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "c");
  QApplication::sendEvent(g.view(), &copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Sunroof\t1234.5\r\nFloor mats\t60\r\n");
}

TEST(GridWidget, CheckBoxClickTogglesAndSignals) {
  Sheet s("StartUps");
  s.SetMaxRow(4);
  s.SetMaxCol(4);
  s.AddCheckBox(3, 2, 4);
  GridWidget g;
  g.resize(500, 300);
  g.show();
  g.setSheet(&s);
  std::vector<int> changed, valuesSeen;
  QObject::connect(&g, &GridWidget::objValueChanged, [&](int id) {
    changed.push_back(id);
    valuesSeen.push_back(s.ObjValue(id));  // the handler sees the new value
  });
  int clicks = 0;
  QObject::connect(&g, &GridWidget::click, [&] { ++clicks; });
  Click(g, 2, 4);
  EXPECT_EQ(changed, std::vector<int>{3});
  EXPECT_EQ(s.ObjValue(3), 1);
  Click(g, 2, 4);
  EXPECT_EQ(s.ObjValue(3), 0);
  EXPECT_EQ(changed.size(), 2u);
  EXPECT_EQ(clicks, 0);  // a check box click is not a cell click
  EXPECT_FALSE(g.isCellEditable(2, 4));
  g.setObjValue(3, 1);  // from code: no signal
  EXPECT_EQ(changed.size(), 2u);
  EXPECT_EQ(s.ObjValue(3), 1);
  // Space on the active check-box cell toggles as well.
  g.setActiveCell(2, 4);
  Key(g.view(), Qt::Key_Space, " ");
  EXPECT_EQ(s.ObjValue(3), 0);
  EXPECT_EQ(changed.size(), 3u);
  EXPECT_EQ(valuesSeen, (std::vector<int>{1, 0, 0}));
}

TEST(GridWidget, AutoRowHeightFitsWrappedText) {
  Sheet s;
  s.SetTextRC(1, 1, "a long description of a dealer installed option that needs several lines");
  s.SetTextRC(2, 1, "line one\r\nline two\r\nline three");
  GridWidget g;
  g.setSheet(&s);
  g.setColumnWidth(1, 80);
  g.setColumnWordWrap(1, true);
  int single = g.rowHeight(1);
  g.autoRowHeight(1);
  g.autoRowHeight(2);
  QFontMetrics fm(g.view()->font());
  EXPECT_GE(g.rowHeight(1), 3 * fm.height());
  EXPECT_GE(g.rowHeight(2), 3 * fm.height());
  EXPECT_GT(g.rowHeight(1), single);
  EXPECT_EQ(g.columnWidth(1), 80);
  g.setHeaderHeight(40);
  EXPECT_EQ(g.view()->horizontalHeader()->maximumHeight(), 40);
}

TEST(GridWidget, PrintsARangeToPdf) {
  Sheet s = OptionSheet();
  s.AddCheckBox(1, 1, 4);
  s.SetObjValue(1, 1);
  for (int r = 4; r <= 150; ++r) s.SetNumberRC(r, 2, r * 10.5);  // more than one page
  GridWidget g;
  g.setSheet(&s);
  g.setColumnFormatter(2, Money);
  int r1, c1, r2, c2;
  ASSERT_TRUE(GridWidget::parsePrintArea("A1:F11", r1, c1, r2, c2));
  EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({1, 1, 11, 6}));
  EXPECT_FALSE(GridWidget::parsePrintArea("A1-F11", r1, c1, r2, c2));

  std::string path = (std::filesystem::temp_directory_path() / "qv-grid-print.pdf").string();
  std::filesystem::remove(path);
  qv::ui::PrintTarget target;
  target.pdfPath = path;
  target.landscape = true;
  auto printer = GridWidget::printerFor(target);
  EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape);
  ASSERT_TRUE(g.print(*printer, "&CPayment Tables", 1, 1, -1, 4));
  printer.reset();  // closes the file
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  std::ifstream in(path, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  std::filesystem::remove(path);
}
