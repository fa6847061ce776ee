// Speed of the forced-payment searches on the common test page, with the main window shown
// (offscreen platform) and its result display after the trials. Each search is timed with
// quiet trials (the display runs once, after the last trial) and with the display after
// every trial. The window's pending repaint is processed after each search, as the event
// loop would when the search returns.
//
// The worst case is a proportional search that runs all of its 1000 trials: the residual
// of a method-2 page without a residual factor, whose payment does not follow the residual.
#include <QApplication>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "engine/Solvers.h"
#include "sample/SampleDeal.h"
#include "worksheet/QV.h"

namespace {

using qv::Engine;
using qv::PaymentSolver;
using qv::SolveResult;

// One engine and one main window for the whole run.
struct Desk {
  Engine e;
  qv::WindowSet windows{e};
  std::unique_ptr<qv::QV> window;
  Desk() {
    window = std::make_unique<qv::QV>(e, windows);
    e.host = window.get();
    window->show();
    QCoreApplication::processEvents();
  }
};

// Made after the application object and gone before it.
std::unique_ptr<Desk> desk;

Desk& TheDesk() {
  if (!desk) desk = std::make_unique<Desk>();
  return *desk;
}

// The common page with one input moved away from the value the search should find.
using Change = std::function<void(Engine&)>;
using Search = std::function<SolveResult(PaymentSolver&, Engine&)>;

void Run(benchmark::State& state, const Change& change, double desired, const Search& search) {
  Desk& d = TheDesk();
  Engine& e = d.e;
  qv::sample::SetUpCommonPage(e);
  change(e);
  e.RecalcPage();
  const qv::PageInputs start = e.SnapshotInputs();
  const bool quiet = state.range(0) != 0;
  int trials = 0;
  int solved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    e.RestoreInputs(start);
    e.RecalcPage();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    PaymentSolver s(e, desired, 1);
    s.QuietTrials = quiet;
    const SolveResult r = search(s, e);
    QCoreApplication::processEvents();
    trials = r.trials;
    solved = r.Solved() ? 1 : 0;
    benchmark::DoNotOptimize(r.value);
  }
  state.counters["trials"] = trials;
  state.counters["solved"] = solved;
}

void Quiet(benchmark::internal::Benchmark* b) { b->ArgName("quiet")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond); }

void BM_Margin(benchmark::State& state) {
  Run(state, [](Engine& e) { e.page.Margin = 400; }, 368.50,
      [](PaymentSolver& s, Engine& e) { return s.SolveMargin(e.page.Months, e.page.Factor, e.page.Residual); });
}
BENCHMARK(BM_Margin)->Apply(Quiet);

void BM_CapReduction(benchmark::State& state) {
  Run(state, [](Engine& e) { e.page.Margin = 1500; }, 368.50, [](PaymentSolver& s, Engine& e) {
    const SolveResult m = s.SolveMargin(e.page.Months, e.page.Factor, e.page.Residual);
    SolveResult c = s.AdjustCapReduction(m.value);
    c.trials += m.trials;
    return c;
  });
}
BENCHMARK(BM_CapReduction)->Apply(Quiet);

void BM_Factor(benchmark::State& state) {
  Run(state, [](Engine& e) { e.page.Factor = 0.0031; }, 368.50,
      [](PaymentSolver& s, Engine& e) { return s.SolveFactor(e.page.Months, e.res.CapCost, e.page.Residual); });
}
BENCHMARK(BM_Factor)->Apply(Quiet);

void BM_FordAPR(benchmark::State& state) {
  Run(
      state,
      [](Engine& e) {
        e.page.LType = 3;
        e.page.FordAdminFactor = 0.0002;
        e.page.FordAPR = 0.09;
      },
      372.67, [](PaymentSolver& s, Engine& e) { return s.NFordAPR(e.page.Months, e.res.CapCost, e.page.Residual); });
}
BENCHMARK(BM_FordAPR)->Apply(Quiet);

void BM_Residual(benchmark::State& state) {
  Run(state, [](Engine& e) { e.page.Residual = 10500; }, 368.50,
      [](PaymentSolver& s, Engine& e) { return s.SolveResidual(e.page.Months, e.page.Factor, e.res.CapCost); });
}
BENCHMARK(BM_Residual)->Apply(Quiet);

void BM_Months(benchmark::State& state) {
  Run(state, [](Engine& e) { e.page.Months = 30; }, 368.50,
      [](PaymentSolver& s, Engine& e) { return s.SolveMonths(e.res.CapCost, e.page.Residual, e.page.Factor); });
}
BENCHMARK(BM_Months)->Apply(Quiet);

// All 1000 trials of a proportional search.
void BM_ResidualAllTrials(benchmark::State& state) {
  Run(
      state,
      [](Engine& e) {
        e.page.LType = 2;
        e.page.Factor2 = 0;
      },
      368.50, [](PaymentSolver& s, Engine& e) { return s.SolveResidual(e.page.Months, e.page.Factor, e.res.CapCost); });
}
BENCHMARK(BM_ResidualAllTrials)->Apply(Quiet);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  desk.reset();
  return 0;
}
