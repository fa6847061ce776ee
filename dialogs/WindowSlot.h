#pragma once
// The one instance of a modeless analysis window (payment tables, lease comparison,
// details): created on first reference, forgotten as soon as it unloads.
//
// A window that closes itself (its Close button, the close box, Escape) runs its unload
// duties in its close event, is forgotten at once and is deleted once its own handlers have
// returned, so a later Get() always makes a fresh window, never the closing one. Unload()
// from outside the window runs the duties and deletes it at once.
#include <QPointer>

namespace qv {

template <class T>
class WindowSlot {
 public:
  static T& Get() {
    if (!Ptr()) Ptr() = new T();
    return *Ptr();
  }
  static T* IfLoaded() { return Ptr().data(); }
  static bool Loaded() { return !Ptr().isNull(); }
  // Unloads the window from outside it: T::UnloadDuties() runs, then the window is deleted.
  static void Unload() {
    if (T* w = Ptr().data()) {
      Ptr().clear();
      w->UnloadDuties();
      delete w;
    }
  }
  // The window is closing itself.
  static void Forget(const T* w) {
    if (Ptr().data() == w) Ptr().clear();
  }

 private:
  static QPointer<T>& Ptr() {
    static QPointer<T> p;
    return p;
  }
};

}  // namespace qv
