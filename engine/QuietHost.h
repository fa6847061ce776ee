#pragma once
// Stands in for the result display while trial recalculations run without showing (the
// solvers' searches, the payment table's fill). The display's one page change is made here
// too: under the Ford APR method the effective APR step leaves the effective money factor
// (admin fee included) in the page's Factor.
#include "engine/Engine.h"

namespace qv {

class QuietHost : public EngineHost {
 public:
  explicit QuietHost(Engine& e) : e_(e) {}
  void ShowPageResults() override {
    if (e_.page.LType == 3) e_.APRFromFactor(e_.res.CapCost, e_.page.Residual, e_.page.Factor, e_.page.Months);
  }

 private:
  Engine& e_;
};

}  // namespace qv
