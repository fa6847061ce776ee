#pragma once
// Small pieces the deal input windows (start-ups, tax settings, taxes and fees, mileage,
// trade, adjustments, end-of-lease fees) share: text conversion, the entry box behaviour
// (got focus, lost focus on a real focus move, Enter) and the modal-show helper that turns
// the old "wait for DialogDone" loop into a check after the window closed.
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/ui/Window.h"

namespace qv::dealinputs {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Twips to pixels (15 twips a pixel).
constexpr int Px(int twips) { return (twips + 7) / 15; }

// Runs a box's GotFocus / LostFocus / Enter handlers from its Qt events. LostFocus runs only
// for a real focus move (not when the window deactivates or a popup opens); Enter goes to
// the KeyPress handler with 13, and a handler that sets the code to 0 swallows the key (so
// it never presses the dialog's default button).
class EntryBoxFilter : public QObject {
 public:
  EntryBoxFilter(QObject* parent, std::function<void()> gotFocus, std::function<void()> lostFocus,
                 std::function<void(int&)> keyPress)
      : QObject(parent), gotFocus_(std::move(gotFocus)), lostFocus_(std::move(lostFocus)),
        keyPress_(std::move(keyPress)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::FocusIn:
        if (ui::IsGotFocus(watched, static_cast<QFocusEvent*>(event)) && gotFocus_) {
          gotFocus_();
          ui::SelectAllAfterClick(watched, static_cast<QFocusEvent*>(event));
        }
        break;
      case QEvent::FocusOut:
        if (ui::IsRealFocusMove(static_cast<QFocusEvent*>(event)) && lostFocus_ && enabled_) lostFocus_();
        break;
      case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && keyPress_) {
          int ascii = 13;
          keyPress_(ascii);
          if (ascii == 0) return true;
        }
        break;
      }
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

  // A window that is closing turns the focus-out handling off.
  void SetEnabled(bool on) { enabled_ = on; }

 private:
  std::function<void()> gotFocus_;
  std::function<void()> lostFocus_;
  std::function<void(int&)> keyPress_;
  bool enabled_ = true;
};

// Shows a window that sets DialogDone when it closes modally, unloads it, and then does
// what the old wait loop did once the flag was set: clears it. Returns true when the window
// had set the flag.
template <class Window>
bool ShowModalAndClearDone(Engine& eng) {
  ui::ShowModalWindow(ui::SingleInstance<Window>::Get());
  ui::SingleInstance<Window>::Unload();
  const bool done = eng.DialogDone != 0;
  eng.DialogDone = 0;
  return done;
}

}  // namespace qv::dealinputs
