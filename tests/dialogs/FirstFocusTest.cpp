// Entry boxes that take the focus select their whole text, so that what the user types
// replaces the figure shown: the payment box the solver windows open with, and a box the user
// clicks into, wherever the click lands. Giving a window back its activation later does not
// forget an edit under way.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include <string>

#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "dialogs/Tables.h"
#include "dialogs/TaxSet.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

void TypeKeys(QWidget* to, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(to, &press);
  }
}

void Activate(QWidget* w) {
  w->activateWindow();
  QApplication::setActiveWindow(w);
  for (int i = 0; i < 20 && QApplication::activeWindow() != w; ++i) QApplication::processEvents();
}

class FirstFocusTest : public SampleDealTest<ForcePmt, ForceLoan, TaxSet, Tables> {
 protected:
  // Shows the window as it opens for the user and types a payment into its box.
  template <class Window>
  void OpenAndType(Window& w, const std::string& shownBefore) {
    w.show();
    Activate(&w);
    ASSERT_TRUE(w.Text1->hasFocus());
    EXPECT_EQ(w.Text1->selectedText().toStdString(), w.Text1->text().toStdString());
    EXPECT_EQ(w.Text1->text().trimmed().toStdString(), shownBefore);

    TypeKeys(w.Text1, "39");
    // Another window comes up and goes (a message, another program): the box keeps what
    // was typed and the window still sees it as an edit when the box is left.
    QWidget other;
    other.show();
    Activate(&other);
    other.hide();
    Activate(&w);
    TypeKeys(w.Text1, "9");
    EXPECT_EQ(w.Text1->text().toStdString(), "399");
    EXPECT_NE(windows.Shared().GotFocusText, "399");
  }
};

TEST_F(FirstFocusTest, ForcedPaymentTakesTheTypedPaymentWhole) {
  ForcePmt& w = windows.Get<ForcePmt>();
  const std::string shown = w.Text1->text().trimmed().toStdString();
  OpenAndType(w, shown);
  w.Text1_LostFocus();
  EXPECT_EQ(w.Text1->text().toStdString(), "$399.00");
}

TEST_F(FirstFocusTest, LoanPaymentSolverTakesTheTypedPaymentWhole) {
  ForceLoan& w = windows.Get<ForceLoan>();
  const std::string shown = w.Text1->text().trimmed().toStdString();
  OpenAndType(w, shown);
  w.Text1_LostFocus();
  EXPECT_EQ(w.Text1->text().toStdString(), "$399.00");
}

TEST_F(FirstFocusTest, AClickIntoABoxSelectsItsWholeText) {
  ASSERT_TRUE(ShowActive());
  ForcePmt& force = windows.Get<ForcePmt>();
  TaxSet& taxes = windows.Get<TaxSet>();
  Tables& tables = windows.Get<Tables>();
  struct Case {
    const char* what;
    QWidget* window;
    QWidget* focusFirst;  // where the focus is before the click
    QLineEdit* box;
  } cases[] = {
      {"base invoice", qv.get(), qv->Combo2, qv->Text3[0]},
      {"sales tax rate", qv.get(), qv->Combo2, qv->Text5[0]},
      {"desired payment", &force, force.Command2[0], force.Text1},
      {"lease tax rate", &taxes, taxes.Command1[2], taxes.Text2[0]},
      {"starting margin", &tables, tables.Command1[0], tables.txtMargin[1]},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.window->show();
    Activate(c.window);
    c.focusFirst->setFocus(Qt::TabFocusReason);
    ASSERT_FALSE(c.box->text().trimmed().isEmpty());
    // A click at the box's left edge, in front of its right-aligned figures: the focus
    // comes first, then the press places the cursor.
    c.box->setFocus(Qt::MouseFocusReason);
    const QPoint at(2, c.box->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, c.box->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(c.box, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, c.box->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(c.box, &release);
    QApplication::processEvents();
    ASSERT_TRUE(c.box->hasFocus());
    EXPECT_EQ(c.box->selectedText().toStdString(), c.box->text().toStdString());
    TypeKeys(c.box, "7");
    EXPECT_EQ(c.box->text().toStdString(), "7");
    c.focusFirst->setFocus(Qt::TabFocusReason);
    if (c.window != qv.get()) c.window->hide();
  }
}

}  // namespace
}  // namespace qv::test
