#pragma once
// Window conventions shared by the main window and the deal dialogs.
//
// - Single-instance windows are reached through SingleInstance<T>::Get(), which creates the
//   window on first reference; it forgets the window when the window unloads or closes itself.
// - Modal windows derive from QvDialog and are shown with ShowModalWindow(), which goes
//   through the prompt seam so tests can script them.
// - Focus-out handlers run only for real focus moves (not when the window deactivates or a
//   popup opens): IsRealFocusMove().
// - A handler that opens message boxes guards itself against re-entry with ReentryGuard.
// - A double-click on a control runs its DblClick handler through OnDoubleClick().
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <utility>

#include "platform/ui/Prompt.h"

namespace qv::ui {

// The one instance of a window: created on first reference, forgotten when it unloads.
//
// A window that closes itself (its own button, the close box, Escape) deletes itself on
// close (Qt::WA_DeleteOnClose). It is forgotten the moment its close goes through, not only
// once Qt has deleted it, so the next Get() makes a fresh window and never hands out the
// closing one, and IfLoaded() no longer reaches it. Qt takes the flag off when it schedules
// the deletion (a close or QDialog::done()), and the closed window is hidden: that is how a
// closing window is told from one that is only hidden or shown modally.
template <class T>
class SingleInstance {
 public:
  // The window, created (not shown) on first reference.
  static T& Get() {
    if (!Loaded()) {
      T* w = new T();
      State& s = Slot();
      s.window = w;
      s.deletesOnClose = w->testAttribute(Qt::WA_DeleteOnClose);
    }
    return *Slot().window;
  }
  static bool Loaded() { return IfLoaded() != nullptr; }
  static T* IfLoaded() {
    T* w = Slot().window.data();
    return w && !Closing(*w) ? w : nullptr;
  }
  // Unloads the window at once (also one that is closing and not yet deleted): the
  // window's UnloadDuties() run first where it has them (a window also destroyed with its
  // parent at the end of the program keeps them out of its destructor), otherwise its unload
  // duties run in its destructor or close event, as the window defines them.
  static void Unload() {
    if (T* w = Slot().window.data()) {
      Slot().window.clear();
      if constexpr (requires { w->UnloadDuties(); }) w->UnloadDuties();
      delete w;
    }
  }

 private:
  struct State {
    QPointer<T> window;
    bool deletesOnClose = false;
  };
  static State& Slot() {
    static State s;
    return s;
  }
  static bool Closing(const T& w) {
    return Slot().deletesOnClose && !w.testAttribute(Qt::WA_DeleteOnClose) && w.isHidden();
  }
};

// Enter presses the button of `window` that has the focus, as Space does. The program's
// buttons are no default buttons (Enter in a box must not press one), and such a button
// ignores Enter. True when the key was taken.
inline bool PressFocusedButton(QWidget* window, QKeyEvent* e) {
  if ((e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) || e->modifiers() != Qt::NoModifier) return false;
  auto* button = qobject_cast<QPushButton*>(window->focusWidget());
  if (!button || !button->isEnabled()) return false;
  e->accept();
  button->click();
  return true;
}

// A dialog that can be shown modally through the prompt seam.
class QvDialog : public QDialog, public ModalWindow {
 public:
  explicit QvDialog(QWidget* parent = nullptr) : QDialog(parent) {}
  std::string ModalName() const override { return objectName().toStdString(); }
  int ExecModal() override { return exec(); }

 protected:
  // The windows that move the focus to OK on Enter close on the next one.
  void keyPressEvent(QKeyEvent* e) override {
    if (!PressFocusedButton(this, e)) QDialog::keyPressEvent(e);
  }
};

// Shows a modal window through the prompt seam and returns its result.
inline int ShowModalWindow(ModalWindow& w) { return GetPrompt().ShowModal(w); }

// True for a focus change the user made (Tab, click, shortcut, code); false when the window
// only lost activation or a popup (menu, combo list) opened.
inline bool IsRealFocusMove(const QFocusEvent* e) {
  return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

// True when a focus-in is a GotFocus of the box: a real focus move, or the very first focus
// the box gets. A window that opens with the focus in a box gives it with the activation
// reason; that first focus must still select the box's text and remember it, or typing is
// added to the text shown. Later activations only give the focus back to the box that held
// it, with nothing to redo.
inline bool IsGotFocus(QObject* box, const QFocusEvent* e) {
  static const char* const kHadFocus = "qvHadFocus";
  const bool first = !box->property(kHadFocus).toBool();
  if (first) box->setProperty(kHadFocus, true);
  return IsRealFocusMove(e) || first;
}

// A click that gives a box the focus places the cursor where it lands, after the GotFocus
// handler selected the whole text: select it again once the click is done, so that typing
// replaces the text as it does after Tab (a click left of right-aligned figures would put
// what is typed in front of them).
inline void SelectAllAfterClick(QObject* box, const QFocusEvent* e) {
  auto* edit = qobject_cast<QLineEdit*>(box);
  if (!edit || e->reason() != Qt::MouseFocusReason) return;
  QPointer<QLineEdit> keep(edit);
  QTimer::singleShot(0, edit, [keep] {
    if (keep && keep->hasFocus()) keep->selectAll();
  });
}

// Runs an entry box's handlers from one of its events: gotFocus on a focus-in IsGotFocus()
// takes, lostFocus on a real focus move out, keyPress with 13 for Enter, the key then taken so
// that it never presses the window's default button. An empty handler is not wanted. True
// when the event was taken.
inline bool RunEntryBoxHandlers(QObject* box, QEvent* event, const std::function<void()>& gotFocus,
                                const std::function<void()>& lostFocus, const std::function<void(int&)>& keyPress) {
  switch (event->type()) {
    case QEvent::FocusIn:
      if (gotFocus && IsGotFocus(box, static_cast<QFocusEvent*>(event))) {
        gotFocus();
        SelectAllAfterClick(box, static_cast<QFocusEvent*>(event));
      }
      return false;
    case QEvent::FocusOut:
      if (lostFocus && IsRealFocusMove(static_cast<QFocusEvent*>(event))) lostFocus();
      return false;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (!keyPress || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
      int ascii = 13;
      keyPress(ascii);
      return true;
    }
    default:
      return false;
  }
}

namespace detail {
// Turns a double-click on the widget it watches into a handler (the widget does not see it).
class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> handler) : QObject(parent), handler_(std::move(handler)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick) {
      handler_();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> handler_;
};
}  // namespace detail

// Runs handler when the widget is double-clicked; the widget itself does not get the
// double-click. The filter belongs to the widget and goes with it.
inline void OnDoubleClick(QWidget* w, std::function<void()> handler) {
  w->installEventFilter(new detail::DoubleClickFilter(w, std::move(handler)));
}

// Keeps a handler from running again while it is already running (a message box it opens
// moves the focus and could call it again).
class ReentryGuard {
 public:
  explicit ReentryGuard(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
  ~ReentryGuard() {
    if (entered_) flag_ = false;
  }
  bool Entered() const { return entered_; }
  ReentryGuard(const ReentryGuard&) = delete;
  ReentryGuard& operator=(const ReentryGuard&) = delete;

 private:
  bool& flag_;
  bool entered_;
};

}  // namespace qv::ui
