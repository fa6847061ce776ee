// Speed of a payment-table fill on the common test page: 61 margins (0 to 3000 by 50) by four
// column sets (24, 36, 48 and 60 months), 244 trial recalculations, with the main window
// shown (offscreen platform). The trials run without the main window's display; the page is
// put back and shown once at the end.
//
//   Engine: the fill of the table sheet alone, the main window as the display.
//   Window: the payment tables window's fill, then the pending repaint of both windows
//           processed, as the event loop would when the fill returns.
#include <QApplication>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

#include "dialogs/Tables.h"
#include "engine/PaymentTable.h"
#include "sample/SampleDeal.h"
#include "worksheet/QV.h"

namespace {

using qv::Engine;

// One engine, one main window and one payment tables window for the whole run.
struct Desk {
  Engine e;
  qv::WindowSet windows{e};
  std::unique_ptr<qv::QV> window;
  std::unique_ptr<qv::Tables> tables;
  Desk() {
    window = std::make_unique<qv::QV>(e, windows);
    e.host = window.get();
    qv::sample::SetUpCommonPage(e);
    e.RecalcPage();
    window->show();
    tables = std::make_unique<qv::Tables>(e, *window);
    tables->show();
    QCoreApplication::processEvents();
  }
  ~Desk() {
    tables.reset();
    window.reset();
  }
};

std::unique_ptr<Desk> desk;

Desk& TheDesk() {
  if (!desk) desk = std::make_unique<Desk>();
  return *desk;
}

// The table's inputs: four column sets and the 61 margins.
void SetTable(Engine& e) {
  const double months[5] = {0, 24, 36, 48, 60};
  const double factors[5] = {0, 0.0028, 0.0025, 0.0023, 0.0021};
  const double residuals[5] = {0, 14000, 12000, 10000, 8000};
  for (int i = 1; i <= 4; ++i) {
    e.TableMonths[i] = months[i];
    e.TableFactors[i] = factors[i];
    e.TableResiduals[i] = residuals[i];
  }
  e.TableMarginStart = 0;
  e.TableMarginEnd = 3000;
  e.TableMarginStep = 50;
}

void BM_TableFillEngine(benchmark::State& state) {
  Desk& d = TheDesk();
  SetTable(d.e);
  qv::grid::Sheet sheet;
  int trials = 0;
  for (auto _ : state) {
    trials = qv::FillPaymentTableSheet(d.e, sheet, true);
    benchmark::DoNotOptimize(sheet.NumberRC(61, 6));
  }
  state.counters["rows"] = sheet.MaxRow();
  state.counters["trials"] = trials;
}
BENCHMARK(BM_TableFillEngine)->Unit(benchmark::kMillisecond);

void BM_TableFillWindow(benchmark::State& state) {
  Desk& d = TheDesk();
  SetTable(d.e);
  for (auto _ : state) {
    d.tables->FillPaymentTable();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(d.tables->TablesSheetData.NumberRC(61, 6));
  }
  state.counters["rows"] = d.tables->TablesSheetData.MaxRow();
  state.counters["trials"] = d.tables->LastFillTrials();
}
BENCHMARK(BM_TableFillWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  desk.reset();
  return 0;
}
