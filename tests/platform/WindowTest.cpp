// The window conventions: the one instance of a window, and the double-click helper.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "platform/ui/Window.h"

namespace {

using qv::ui::WindowSlots;

int liveWindows = 0;
int unloadDutiesRun = 0;

// A modeless window that deletes itself when it closes.
class SelfClosing : public QDialog {
 public:
  SelfClosing() {
    setAttribute(Qt::WA_DeleteOnClose);
    ++liveWindows;
  }
  ~SelfClosing() override { --liveWindows; }
  void UnloadDuties() { ++unloadDutiesRun; }
  bool refuseClose = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (refuseClose) e->ignore();
    else e->accept();
  }
};

// A dialog that stays when it closes, for its caller to unload.
class Kept : public QDialog {};

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class SingleInstanceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    windows.Unload<SelfClosing>();
    windows.Unload<Kept>();
    DeleteClosedWindows();
    EXPECT_EQ(liveWindows, 0);
  }
  WindowSlots windows;
};

TEST_F(SingleInstanceTest, AWindowThatClosesItselfIsForgottenAtOnce) {
  // Closed (its button or close box) or finished as a dialog.
  for (bool finished : {false, true}) {
    SCOPED_TRACE(finished ? "done()" : "close()");
    SelfClosing& first = windows.GetDefault<SelfClosing>();
    first.show();
    EXPECT_EQ(&windows.GetDefault<SelfClosing>(), &first);
    if (finished) first.done(QDialog::Accepted);
    else first.close();
    EXPECT_FALSE(windows.Loaded<SelfClosing>());
    EXPECT_EQ(windows.IfLoaded<SelfClosing>(), nullptr);

    // The next reference makes a fresh window while Qt deletes the closing one.
    SelfClosing& next = windows.GetDefault<SelfClosing>();
    EXPECT_NE(&next, &first);
    EXPECT_EQ(liveWindows, 2);
    DeleteClosedWindows();
    EXPECT_EQ(liveWindows, 1);
    EXPECT_EQ(windows.IfLoaded<SelfClosing>(), &next);
    windows.Unload<SelfClosing>();
  }
}

TEST_F(SingleInstanceTest, AWindowHiddenRefusingToCloseOrShownModallyStaysTheOne) {
  SelfClosing& w = windows.GetDefault<SelfClosing>();
  w.show();
  w.hide();
  EXPECT_EQ(windows.IfLoaded<SelfClosing>(), &w);
  w.show();
  w.refuseClose = true;
  w.close();
  EXPECT_EQ(windows.IfLoaded<SelfClosing>(), &w);
  w.refuseClose = false;

  // Shown modally it is reached while the modal show lasts, and gone once it closed.
  bool reachedWhileModal = false;
  QTimer::singleShot(0, [this, &w, &reachedWhileModal] {
    reachedWhileModal = windows.IfLoaded<SelfClosing>() == &w && w.isVisible();
    w.close();
  });
  w.exec();
  EXPECT_TRUE(reachedWhileModal);
  EXPECT_FALSE(windows.Loaded<SelfClosing>());
}

TEST_F(SingleInstanceTest, UnloadRunsTheUnloadDutiesAndDeletesAtOnce) {
  windows.GetDefault<SelfClosing>().show();
  unloadDutiesRun = 0;
  windows.Unload<SelfClosing>();
  EXPECT_EQ(unloadDutiesRun, 1);
  EXPECT_EQ(liveWindows, 0);
  EXPECT_FALSE(windows.Loaded<SelfClosing>());

  // A window that is closing goes at once too.
  SelfClosing& closing = windows.GetDefault<SelfClosing>();
  closing.show();
  closing.close();
  windows.Unload<SelfClosing>();
  EXPECT_EQ(liveWindows, 0);

  // A dialog that does not delete itself is still loaded after it closed.
  Kept& k = windows.GetDefault<Kept>();
  k.show();
  k.close();
  EXPECT_EQ(windows.IfLoaded<Kept>(), &k);
  windows.Unload<Kept>();
  EXPECT_FALSE(windows.Loaded<Kept>());
}

TEST(OnDoubleClick, RunsTheHandlerInsteadOfTheWidget) {
  QLabel label("x");
  int runs = 0;
  qv::ui::OnDoubleClick(&label, [&runs] { ++runs; });
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  EXPECT_TRUE(QApplication::sendEvent(&label, &dbl)) << "the widget does not get the double-click";
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&label, &press);
  EXPECT_EQ(runs, 1);
}

}  // namespace
