// What a salesperson types at the edges of the deal fields, with real key events and focus
// moves: a refused entry shows its own value again, text that is not a number is refused
// rather than read as 0, values no deal can have are refused, and no text widens the window.
#include <QTest>

#include <string>
#include <vector>

#include "owner/FiniteEntry.h"
#include "tests/worksheet/ActivatingPrompt.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class RefusedEntryTest : public SampleDealTest<> {
 protected:
  void SetUp() override {
    SampleDealTest<>::SetUp();
    active.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected question: " << what; });
    qv->SelectTab(1);
    ASSERT_TRUE(ShowActive());
    QApplication::processEvents();
  }

  // Tabs into `box` as the user does (a real focus move), types `text` over what the box
  // selected and presses Tab.
  void TypeAndTab(QLineEdit* box, const std::string& text) {
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), box);
    QTest::keyClicks(box, QString::fromStdString(text));
    QTest::keyClick(box, Qt::Key_Tab);
    QApplication::processEvents();
  }

  ActivatingPrompt active;
  ui::ScopedPrompt scopedActive{active};
};

struct BadEntry {
  int box;
  const char* typed;
  std::string message;
};

// Every refusal, whatever its reason, leaves the page, its figures and the box as they were,
// and the box that the focus went on to keeps its own text.
TEST_F(RefusedEntryTest, ARefusedEntryShowsItsOwnValueAgain) {
  const BadEntry cases[] = {
      {0, "1e308", kEntryTooLargeMessage},
      {0, "999999999999999999999", kEntryTooLargeMessage},
      {0, "100000000", kEntryTooLargeMessage},
      {0, "abc", "\"abc\" is not a number."},
      {5, "Down payment: $1,234.50 (cash)", "\"Down payment: $1,234.50 (cash)\" is not a number."},
      {7, "1e308", kEntryTooLargeMessage},
      {6, "-12", kNegativeTermMessage},
      {12, "1e-999x", "\"1e-999x\" is not a number."},
  };
  for (const BadEntry& c : cases) {
    SCOPED_TRACE(std::to_string(c.box) + " " + c.typed);
    Reset();
    eng.page.CapRd = 2000;
    eng.RecalcPage();
    eng.WorksheetModified = 0;
    qv->SelectTab(c.box == 12 ? 2 : 1);
    QApplication::processEvents();
    QLineEdit* box = qv->Text3[c.box];
    const std::string own = Text(box);
    const PageInputs before = eng.SnapshotInputs();
    const std::string payment = Text(qv->lblPayment[1]);
    active.ClearAsked();
    active.Answer(ui::Answer::OK);
    TypeAndTab(box, c.typed);
    ASSERT_EQ(active.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(Text(box), own) << "the box shows its own value again";
    EXPECT_TRUE(eng.SnapshotInputs() == before) << "the page keeps its value";
    EXPECT_EQ(Text(qv->lblPayment[1]), payment);
    EXPECT_EQ(eng.WorksheetModified, 0);
    // The focus went on; the box it went to remembers its own text, so leaving it unchanged
    // changes nothing.
    auto* next = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QWidget* moved = QApplication::focusWidget();
    ASSERT_NE(moved, nullptr);
    ASSERT_NE(moved, box);
    if (next) EXPECT_EQ(windows.Shared().GotFocusText, Text(next));
    QTest::keyClick(moved, Qt::Key_Tab);
    EXPECT_TRUE(eng.SnapshotInputs() == before);
  }
}

// The desktop gives the activation back after the message has returned: the box the focus
// went to then gets its GotFocus (its text remembered and selected), and the refused box
// shows its own value.
TEST_F(RefusedEntryTest, TheNextBoxIsEnteredWhenTheActivationComesBackLate) {
  // Both boxes have had the focus before.
  TypeAndTab(qv->Text3[0], "20500");
  TypeAndTab(qv->Text3[1], "22000");
  const std::string own = Text(qv->Text3[0]);
  active.late = true;
  active.Answer(ui::Answer::OK);
  qv->Text3[0]->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  QTest::keyClicks(qv->Text3[0], "abc");
  QTest::keyClick(qv->Text3[0], Qt::Key_Tab);
  active.GiveBack();
  QApplication::processEvents();
  EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{"\"abc\" is not a number."});
  EXPECT_EQ(Text(qv->Text3[0]), own);
  ASSERT_EQ(QApplication::focusWidget(), qv->Text3[1]);
  EXPECT_EQ(windows.Shared().GotFocusText, Text(qv->Text3[1]));
  EXPECT_EQ(qv->Text3[1]->selectedText(), qv->Text3[1]->text()) << "typing replaces the figure";
}

// What the amount rule reads keeps working, typed with real keys.
TEST_F(RefusedEntryTest, TheShapesOfTypedAmountsStillRead) {
  struct Case {
    int box;
    const char* typed;
    double PageRecord::*field;
    double value;
  } cases[] = {
      {0, "$21,234.50", &PageRecord::BaseInv, 21234.5},
      {4, "(500)", &PageRecord::Margin, -500},
      {0, "20500 ", &PageRecord::BaseInv, 20500},
      {5, "", &PageRecord::CapRd, 0},
      {6, "48", &PageRecord::Months, 48},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Reset();
    eng.page.CapRd = 2000;
    eng.RecalcPage();
    active.ClearAsked();
    QLineEdit* box = qv->Text3[c.box];
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (std::string(c.typed).empty()) QTest::keyClick(box, Qt::Key_Delete);
    TypeAndTab(box, c.typed);
    EXPECT_TRUE(active.MessageTexts().empty());
    EXPECT_DOUBLE_EQ(eng.page.*c.field, c.value);
  }
  // Rates: "9%", "9" and ".09" are all 9 percent.
  qv->SelectTab(2);
  for (const char* typed : {"9%", "9", ".09"}) {
    SCOPED_TRACE(typed);
    eng.page.LoanRate = 0;
    TypeAndTab(qv->Text3[14], typed);
    EXPECT_DOUBLE_EQ(eng.page.LoanRate, 0.09);
  }
}

TEST_F(RefusedEntryTest, ANegativeLoanTermIsRefused) {
  qv->SelectTab(2);
  QApplication::processEvents();
  const PageInputs before = eng.SnapshotInputs();
  const std::string own = Text(qv->Text3[13]);
  active.Answer(ui::Answer::OK);
  TypeAndTab(qv->Text3[13], "-5");
  EXPECT_EQ(active.MessageTexts(), std::vector<std::string>{kNegativeTermMessage});
  EXPECT_EQ(Text(qv->Text3[13]), own);
  EXPECT_TRUE(eng.SnapshotInputs() == before);
}

// Long texts and the largest amounts a deal takes leave the window as wide as it was.
TEST_F(RefusedEntryTest, NoTextWidensTheWindow) {
  qv->resize(1000, 760);
  QApplication::processEvents();
  const QSize size = qv->size();
  const QSize minimum = qv->minimumSizeHint();
  // Where the boxes and figures stand, and how wide they are.
  auto places = [this] {
    std::vector<QRect> r;
    const std::vector<QWidget*> shown = {qv->Text3[0], qv->Text3[1],    qv->Text3[4],       qv->Text3[5],
                                         qv->lblPurchPrice, qv->lblGrossCap, qv->lblPayment[1], qv->lblPercMargin};
    for (QWidget* w : shown)
      r.push_back(QRect(w->mapTo(qv.get(), QPoint(0, 0)), w->size()));
    return r;
  };
  const std::vector<QRect> before = places();
  active.Answer(ui::Answer::OK);
  TypeAndTab(qv->Text3[0], "999999999999999999999");
  // Amounts just below the limit: results in the hundreds of millions.
  for (int box : {0, 4, 5}) TypeAndTab(qv->Text3[box], "99,999,999.99");
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 99999999.99);
  EXPECT_EQ(qv->size(), size);
  EXPECT_EQ(places(), before) << "no box or figure moved or widened";
  // Whatever a figure's text, its label keeps its width: a long text is cut, not shown whole.
  for (QLabel* figure : {qv->lblPayment[0], qv->lblPayment[1], qv->lblGrossCap, qv->lblPurchPrice, qv->lblTotals[1]})
    figure->setText(QString(60, '9'));
  QApplication::processEvents();
  EXPECT_EQ(qv->size(), size);
  EXPECT_LE(qv->minimumSizeHint().width(), minimum.width());
  EXPECT_LE(qv->minimumWidth(), minimum.width());
  EXPECT_EQ(places(), before);
  EXPECT_LE(qv->minimumSizeHint().width(), minimum.width());
}

}  // namespace
}  // namespace qv::test
