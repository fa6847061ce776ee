#pragma once
// The application object: it owns the one engine, the single instances of the windows
// (the windows' factory) and the main window, in that order, so the main window and the
// windows go before the engine they were made for. main() makes one; tests make their own
// engine, window set and main window the same way.
#include <memory>

#include "engine/Engine.h"
#include "owner/WindowSet.h"
#include "worksheet/QV.h"

namespace qv {

class Application {
 public:
  Application() : windows(engine), main(std::make_unique<QV>(engine, windows)) {}
  ~Application() { main.reset(); }
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Engine engine;
  WindowSet windows;
  std::unique_ptr<QV> main;
};

}  // namespace qv
