#pragma once
// The single instances of the program's windows and the window-side state they share. The
// application owns one set (app/), the main window gets it through its constructor and hands
// it to the windows it owns through Owner::Windows(); each test builds its own set.
//
// Get<T>() makes a window on first reference with the constructor every window of the
// program has, T(Engine&, Owner&), and hands out the same window until it unloads (closes
// itself or is unloaded). Windows that need neither (tests' own) are made with T().
#include <cassert>
#include <type_traits>

#include "engine/Engine.h"
#include "owner/SharedState.h"
#include "platform/ui/Window.h"

namespace qv {

class Owner;

class WindowSet : public ui::WindowSlots {
 public:
  explicit WindowSet(Engine& engine) : engine_(engine) {}

  // The owner the windows are made for (the main window sets itself when it is made and
  // takes itself off when it goes).
  void SetOwner(Owner* owner) { owner_ = owner; }
  Owner* GetOwner() const { return owner_; }
  Engine& GetEngine() const { return engine_; }
  // The window-side state the windows share; it lasts as long as the set.
  SharedState& Shared() { return shared_; }

  template <class T>
  T& Get() {
    if constexpr (std::is_constructible_v<T, Engine&, Owner&>) {
      assert(owner_ && "a window is made only while its owner exists");
      return GetOrMake<T>([this] { return new T(engine_, *owner_); });
    } else {
      return GetDefault<T>();
    }
  }

  // Shows the window modally (through the prompt seam) and unloads it afterwards; returns
  // the window's result.
  template <class T>
  int ShowModalAndUnload() {
    const int result = ui::ShowModalWindow(Get<T>());
    Unload<T>();
    return result;
  }

  // For a window that sets DialogDone when it closes: shows it modally, unloads it, and
  // then does what the old wait loop did once the flag was set, clearing it. True when the
  // window had set the flag.
  template <class T>
  bool ShowModalAndClearDone() {
    ShowModalAndUnload<T>();
    const bool done = engine_.DialogDone != 0;
    engine_.DialogDone = 0;
    return done;
  }

 private:
  Engine& engine_;
  Owner* owner_ = nullptr;
  SharedState shared_;
};

}  // namespace qv
