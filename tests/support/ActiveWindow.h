#pragma once
// Shows a window and makes it the active one, as a click on it would, for tests of real
// focus moves and key events. False where the platform gives no active window.
#include <QApplication>
#include <QWidget>

namespace qv::test {

inline bool MakeActive(QWidget* w) {
  w->show();
  w->activateWindow();
  QApplication::setActiveWindow(w);
  for (int i = 0; i < 50 && QApplication::activeWindow() != w; ++i) QApplication::processEvents();
  return QApplication::activeWindow() == w;
}

}  // namespace qv::test
