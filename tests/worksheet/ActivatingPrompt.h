#pragma once
// A scripted prompt whose message boxes take the activation as the real ones do.
#include <QApplication>
#include <QWidget>

#include <string>

#include "platform/ui/ScriptedPrompt.h"

namespace qv::test {

// A message box as the real one acts on the desktop: while it is shown it holds the
// activation, and when it closes it gives the activation back to the window that had it,
// whose focus widget then gets a focus-in with the activation reason. A box's LostFocus
// handler runs while the focus is already on its way to the next box, so that next box is
// the one the activation comes back to.
//
// Some desktops give the activation back only after the message has returned (an X11
// window manager does it a moment later): with `late`, the test gives it back itself with
// GiveBack().
class ActivatingPrompt : public ui::ScriptedPrompt {
 public:
  ui::Answer MsgBox(const std::string& text, ui::Buttons buttons, ui::Icon icon, const ui::Title& title) override {
    back_ = QApplication::activeWindow();
    // The activation alone, as the desktop hands it over (a window shown here would bring
    // window-system events that outlast the message).
    QApplication::setActiveWindow(&message_);
    const ui::Answer a = ui::ScriptedPrompt::MsgBox(text, buttons, icon, title);
    if (!late) GiveBack();
    return a;
  }
  void GiveBack() {
    if (back_) QApplication::setActiveWindow(back_);
    back_ = nullptr;
  }
  bool late = false;

 private:
  QWidget message_;
  QWidget* back_ = nullptr;
};

}  // namespace qv::test
