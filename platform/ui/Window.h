#pragma once
// Window conventions shared by the main window and the deal dialogs.
//
// - Single-instance windows live in a WindowSlots set (owner/WindowSet.h for the program's
//   windows), which creates a window on first reference and forgets it when it unloads or
//   closes itself.
// - Modal windows derive from QvDialog and are shown with ShowModalWindow(), which goes
//   through the prompt seam so tests can script them.
// - Focus-out handlers run only for real focus moves (not when the window deactivates or a
//   popup opens): IsRealFocusMove().
// - A handler that opens message boxes guards itself against re-entry with ReentryGuard.
// - A double-click on a control runs its DblClick handler through OnDoubleClick().
#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
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
#include <typeindex>
#include <unordered_map>
#include <vector>
#include <utility>

#include "platform/ui/Prompt.h"

namespace qv {

// Key codes of the old keyboard interface for a Qt key (Backspace 8, Tab 9, Enter 13,
// Escape 27, Space 32, PageUp 33, PageDown 34, End 35, Home 36, the arrows 37 to 40, Insert
// 45, Delete 46, F1 112 to F24, letters and digits as their upper-case character); 0 for
// others.
inline int VbKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: break;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  return 0;
}

}  // namespace qv

namespace qv::ui {

inline void ReleaseWindow(QWidget* window);

// The single instances of a program's windows: each window type has one slot; the window
// is created on first reference and forgotten when it unloads. The application owns one
// set (owner/WindowSet.h adds how a window is made from the engine and its owner); each test
// builds its own, so no window outlives the test that made it.
//
// A window that closes itself (its own button, the close box, Escape) deletes itself on
// close (Qt::WA_DeleteOnClose). It is forgotten the moment its close goes through, not only
// once Qt has deleted it, so the next Get makes a fresh window and never hands out the
// closing one, and IfLoaded() no longer reaches it. Qt takes the flag off when it schedules
// the deletion (a close or QDialog::done()), and the closed window is hidden: that is how a
// closing window is told from one that is only hidden or shown modally.
class WindowSlots {
 public:
  WindowSlots() = default;
  ~WindowSlots() { DeleteAll(); }
  WindowSlots(const WindowSlots&) = delete;
  WindowSlots& operator=(const WindowSlots&) = delete;

  // The window, made by `make` (returning a new T*) on first reference; not shown.
  template <class T, class Make>
  T& GetOrMake(Make&& make) {
    if (!Loaded<T>()) {
      T* w = make();
      State& s = Slot<T>();
      s.window = w;
      s.deletesOnClose = w->testAttribute(Qt::WA_DeleteOnClose);
    }
    return *static_cast<T*>(Slot<T>().window.data());
  }
  // A window that needs nothing to be made.
  template <class T>
  T& GetDefault() {
    return GetOrMake<T>([] { return new T(); });
  }
  template <class T>
  bool Loaded() {
    return IfLoaded<T>() != nullptr;
  }
  template <class T>
  T* IfLoaded() {
    State& s = Slot<T>();
    QWidget* w = s.window.data();
    return w && !Closing(s, *w) ? static_cast<T*>(w) : nullptr;
  }
  // Unloads the window at once (also one that is closing and not yet deleted): the
  // window's UnloadDuties() run first where it has them (a window also destroyed with its
  // parent at the end of the program keeps them out of its destructor), otherwise its unload
  // duties run in its destructor or close event, as the window defines them.
  // Deletes every window still there (their destructors run their unload duties), for the
  // end of the set's owner: no window outlives the engine and owner it was made for.
  void DeleteAll() {
    std::vector<QPointer<QWidget>> live;
    for (auto& [type, s] : slots_)
      if (s.window) live.push_back(s.window);
    slots_.clear();
    for (const QPointer<QWidget>& w : live)
      if (w) {
        ReleaseWindow(w.data());
        delete w.data();
      }
  }
  // True when `w` is one of the set's windows (loaded, not closing).
  bool Holds(const QWidget* w) {
    for (auto& [type, s] : slots_)
      if (s.window && s.window.data() == w && !Closing(s, *s.window)) return true;
    return false;
  }
  template <class T>
  void Unload() {
    State& s = Slot<T>();
    if (QWidget* found = s.window.data()) {
      T* w = static_cast<T*>(found);
      s.window.clear();
      if constexpr (requires { w->UnloadDuties(); }) w->UnloadDuties();
      ReleaseWindow(w);
      delete w;
    }
  }

 private:
  struct State {
    QPointer<QWidget> window;
    bool deletesOnClose = false;
  };
  template <class T>
  State& Slot() {
    return slots_[std::type_index(typeid(T))];
  }
  static bool Closing(const State& s, const QWidget& w) {
    return s.deletesOnClose && !w.testAttribute(Qt::WA_DeleteOnClose) && w.isHidden();
  }
  std::unordered_map<std::type_index, State> slots_;
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

// Commits the entry being edited before an OK does its work. A click by mouse, or Enter
// after the box moved the focus to OK, takes the focus from the box first, which runs the
// box's LostFocus handler (a grid's cell editor stores its cell the same way). A button's
// accelerator (Alt+letter) clicks without moving the focus, so what was typed would be
// lost: the focus is moved to the button here, as a real focus move. Every OK calls it
// first. False when the handler kept or put the focus back in the box (it refused what was
// typed): the OK then does nothing more. A window that is not active has no focus to move.
inline bool CommitFocusedEntry(QWidget* button) {
  QWidget* window = button->window();
  QWidget* focus = window->focusWidget();
  if (!window->isActiveWindow() || !focus || focus == button || !focus->isVisible()) return true;
  button->setFocus(Qt::ShortcutFocusReason);
  QWidget* now = window->focusWidget();
  return !(now == focus || (now && focus->isAncestorOf(now)));
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
// A box the focus was moved to while a message took the activation (see RunEntryBoxHandlers)
// is owed its GotFocus, which the focus-in of the activation coming back then runs.
inline const char* const kGotFocusOwed = "qvGotFocusOwed";

inline bool IsGotFocus(QObject* box, const QFocusEvent* e) {
  static const char* const kHadFocus = "qvHadFocus";
  const bool first = !box->property(kHadFocus).toBool();
  if (first) box->setProperty(kHadFocus, true);
  const bool owed = box->property(kGotFocusOwed).toBool();
  if (owed) box->setProperty(kGotFocusOwed, false);
  return IsRealFocusMove(e) || first || owed;
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

// A box whose entry was refused shows `text` again and, when `keepFocus`, keeps the focus
// with its text selected once the focus change under way is over (leaving a box clears its
// selection last), so that what is typed next replaces it.
inline void TakeBackRefusedEntry(QLineEdit* box, const QString& text, bool keepFocus) {
  box->setText(text);
  if (!keepFocus) return;
  box->setFocus(Qt::OtherFocusReason);
  QTimer::singleShot(0, box, [keep = QPointer<QLineEdit>(box)] {
    if (keep && keep->hasFocus()) keep->selectAll();
  });
}

// The entry-box convention of every window, written once. Runs a box's handlers from one of
// its events: gotFocus on a focus-in IsGotFocus() takes (the text then selected again after
// a click), lostFocus on a real focus move out (not when the window deactivates or a popup
// opens), keyPress with 13 for Enter. A handler that sets the code to 0 takes the key, as
// KeyAscii = 0 always did: the box and the window then never see it (so it never presses a
// default button); otherwise the key goes on. An empty handler is not wanted. True when the
// event was taken.
//
// A LostFocus handler runs while the focus is already on its way to the next box: Qt has
// made that box the focus widget (the window's focusWidget()) but not yet told it. Until
// the handler returns, what a window remembers of the box being edited (the text it had on
// entry) still belongs to the box being left, which may refuse what was typed and put that
// text back. So, while one runs (InLostFocus()): a message the handler shows takes the
// activation and gives it back to the next box with the activation reason, which is not
// that box's GotFocus (the focus move that follows tells the box with its real reason); and
// a window that refreshes its figures does not take the next box for the box being edited.
// Where the desktop gives the activation back only after the handler has returned, Qt no
// longer tells the next box of the move: the activation's focus-in runs its GotFocus then.
namespace detail {
inline int& LostFocusDepth() {
  static int depth = 0;
  return depth;
}
}  // namespace detail

// True while an entry box's LostFocus handler runs (see above).
inline bool InLostFocus() { return detail::LostFocusDepth() > 0; }

inline bool RunEntryBoxHandlers(QObject* box, QEvent* event, const std::function<void()>& gotFocus,
                                const std::function<void()>& lostFocus, const std::function<void(int&)>& keyPress) {
  switch (event->type()) {
    case QEvent::FocusIn: {
      auto* e = static_cast<QFocusEvent*>(event);
      if (detail::LostFocusDepth() > 0 && !IsRealFocusMove(e)) return false;
      if (gotFocus && IsGotFocus(box, e)) {
        gotFocus();
        SelectAllAfterClick(box, e);
      }
      return false;
    }
    case QEvent::FocusOut:
      if (lostFocus && IsRealFocusMove(static_cast<QFocusEvent*>(event))) {
        auto* w = qobject_cast<QWidget*>(box);
        QPointer<QWidget> next = w ? w->window()->focusWidget() : nullptr;
        {
          struct Depth {
            Depth() { ++detail::LostFocusDepth(); }
            ~Depth() { --detail::LostFocusDepth(); }
          } depth;
          lostFocus();
        }
        // A message took the activation on the way: the next box is not told of the move.
        if (next && next != w && next->window()->focusWidget() == next && QApplication::focusWidget() != next)
          next->setProperty(kGotFocusOwed, true);
      }
      return false;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (!keyPress || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
      int ascii = 13;
      keyPress(ascii);
      return ascii == 0;
    }
    default:
      return false;
  }
}

// RunEntryBoxHandlers as an event filter of its own, for a window that has no filter of
// its own to call it from. The filter belongs to the window given as parent.
class EntryBoxFilter : public QObject {
 public:
  EntryBoxFilter(QObject* parent, std::function<void()> gotFocus, std::function<void()> lostFocus,
                 std::function<void(int&)> keyPress)
      : QObject(parent), gotFocus_(std::move(gotFocus)), lostFocus_(std::move(lostFocus)),
        keyPress_(std::move(keyPress)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (RunEntryBoxHandlers(watched, event, gotFocus_, lostFocus_, keyPress_)) return true;
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> gotFocus_;
  std::function<void()> lostFocus_;
  std::function<void(int&)> keyPress_;
};

// Takes every entry-box filter that belongs to `window` off the window's boxes. A window
// calls it when it closes and first thing in its destructor: the focus leaves its boxes
// while it is destroyed, and no handler of the half-destroyed window may run then.
inline void ReleaseEntryBoxFilters(QObject* window) {
  std::vector<EntryBoxFilter*> filters;
  for (QObject* c : window->children())
    if (auto* f = dynamic_cast<EntryBoxFilter*>(c)) filters.push_back(f);
  for (QObject* o : window->findChildren<QObject*>())
    for (EntryBoxFilter* f : filters) o->removeEventFilter(f);
}

// Takes every handler of `window` off its parts before it is destroyed: its entry-box
// filters, its own filters on its controls, every connection of its controls' signals to it,
// and the store of its item views' cell editors (a cell edit still open is dropped). The focus
// leaves the window's controls while the window is destroyed, when its own parts are gone;
// nothing of the window may run then, and a cell editor must not store into a sheet that
// belonged to it. The window set calls it before it deletes a window; a window destroyed
// otherwise calls it first thing in its destructor.
inline void ReleaseWindow(QWidget* window) {
  ReleaseEntryBoxFilters(window);
  for (QObject* o : window->findChildren<QObject*>()) {
    o->removeEventFilter(window);
    QObject::disconnect(o, nullptr, window, nullptr);
    if (auto* view = qobject_cast<QAbstractItemView*>(o))
      if (QAbstractItemDelegate* d = view->itemDelegate())
        QObject::disconnect(d, &QAbstractItemDelegate::commitData, view, nullptr);
  }
}

// Watches an entry box with its handlers (see RunEntryBoxHandlers); the filter belongs to
// `owner` and goes with it.
inline EntryBoxFilter* WatchEntryBox(QObject* owner, QObject* box, std::function<void()> gotFocus,
                                     std::function<void()> lostFocus, std::function<void(int&)> keyPress) {
  auto* f = new EntryBoxFilter(owner, std::move(gotFocus), std::move(lostFocus), std::move(keyPress));
  box->installEventFilter(f);
  return f;
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
