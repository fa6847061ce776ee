// The solver windows open with the focus in their payment box: that first focus selects the
// box's text and remembers it, so that what the user types replaces the payment shown, and
// giving the window back its activation later does not forget an edit under way.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <string>

#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
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

class FirstFocusTest : public SampleDealTest<ForcePmt, ForceLoan> {
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
    EXPECT_NE(eng.GotFocusText, "399");
  }
};

TEST_F(FirstFocusTest, ForcedPaymentTakesTheTypedPaymentWhole) {
  ForcePmt& w = ui::SingleInstance<ForcePmt>::Get();
  const std::string shown = w.Text1->text().trimmed().toStdString();
  OpenAndType(w, shown);
  w.Text1_LostFocus();
  EXPECT_EQ(w.Text1->text().toStdString(), "$399.00");
}

TEST_F(FirstFocusTest, LoanPaymentSolverTakesTheTypedPaymentWhole) {
  ForceLoan& w = ui::SingleInstance<ForceLoan>::Get();
  const std::string shown = w.Text1->text().trimmed().toStdString();
  OpenAndType(w, shown);
  w.Text1_LostFocus();
  EXPECT_EQ(w.Text1->text().toStdString(), "$399.00");
}

}  // namespace
}  // namespace qv::test
