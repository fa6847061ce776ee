// Enter on a focused button presses it, as Space does, in the deal windows and the main
// window: the trade and mileage windows move the focus from their last box to OK on Enter,
// so that a second Enter closes them. The buttons are no default buttons, so Enter in a box
// still never presses one.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/Margin2.h"
#include "dialogs/Milage.h"
#include "dialogs/Trade.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

void Press(QWidget* to, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &release);
}

class EnterOnButtonTest : public SampleDealTest<Trade, Milage> {
 protected:
  // Enter in the last box, then Enter again: the window is closed.
  template <class Window>
  void EnterTwiceCloses(Window& w, QLineEdit* last, QPushButton* ok) {
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    for (int i = 0; i < 20 && QApplication::activeWindow() != &w; ++i) QApplication::processEvents();
    last->setFocus(Qt::TabFocusReason);
    last->setText("1000");
    Press(last, Qt::Key_Return, "\r");
    ASSERT_TRUE(ok->hasFocus());
    EXPECT_TRUE(w.isVisible());  // the Enter in the box pressed nothing
    Press(ok, Qt::Key_Return, "\r");
    EXPECT_FALSE(w.isVisible());
  }
};

TEST_F(EnterOnButtonTest, TradeWindowClosesOnEnterAtItsOKButton) {
  Trade& w = windows.Get<Trade>();
  EnterTwiceCloses(w, w.Text1[1], w.Command1);
  EXPECT_EQ(eng.items.TradePayoff, 1000);
  EXPECT_EQ(eng.DialogDone, -1);
}

TEST_F(EnterOnButtonTest, MileageWindowClosesOnEnterAtItsOKButton) {
  Milage& w = windows.Get<Milage>();
  EnterTwiceCloses(w, w.Text1[2], w.Command1);
}

TEST_F(EnterOnButtonTest, EnterOnAFocusedMainWindowButtonPressesIt) {
  ASSERT_TRUE(ShowActive());
  qv->Command1[2]->setFocus(Qt::TabFocusReason);  // "Mar&gin"
  std::string opened;
  prompt.Modal([&](ui::ModalWindow& w) {
    opened = w.ModalName();
    return 0;
  });
  Press(qv->Command1[2], Qt::Key_Return, "\r");
  EXPECT_EQ(opened, "Margin2");
}

}  // namespace
}  // namespace qv::test
