#include "worksheet/App.h"

namespace qv {

AppContext& App() {
  static AppContext ctx;
  return ctx;
}

}  // namespace qv
