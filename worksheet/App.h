#pragma once
// The program's shared objects: the one engine (deal state) and the main window. The
// program sets them up in main(); window tests set up their own for each test.
namespace qv {

class Engine;
class QV;

struct AppContext {
  Engine* engine = nullptr;
  QV* main = nullptr;
};

AppContext& App();
inline Engine& Eng() { return *App().engine; }

}  // namespace qv
