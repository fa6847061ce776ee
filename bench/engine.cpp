// Speed of the page calculation on the common test page: CalcLease alone and the whole
// RecalcPage (start-up sheet included) with a result display that does nothing, with the
// first payment in cash and capitalised.
#include <benchmark/benchmark.h>

#include "sample/SampleDeal.h"

namespace {

class SilentHost : public qv::EngineHost {
 public:
  void ShowPageResults() override {}
};

void SetUp(qv::Engine& e, SilentHost& host, bool capitalisedFirstPayment) {
  qv::sample::SetUpCommonPage(e);
  e.host = &host;
  if (capitalisedFirstPayment) e.items.FirstPayment.Cap = 1;
  e.RecalcPage();  // settled start
}

void BM_CalcLease(benchmark::State& state) {
  qv::Engine e;
  SilentHost host;
  SetUp(e, host, state.range(0) != 0);
  e.SkipItemReload = -1;
  for (auto _ : state) {
    e.CalcLease();
    benchmark::DoNotOptimize(e.res.PaymentWT);
  }
}
BENCHMARK(BM_CalcLease)->ArgName("capitalisedFirstPayment")->Arg(0)->Arg(1);

// The same page recalculated again (a redisplay, a tab switch).
void BM_RecalcPage(benchmark::State& state) {
  qv::Engine e;
  SilentHost host;
  SetUp(e, host, state.range(0) != 0);
  for (auto _ : state) {
    e.RecalcPage();
    benchmark::DoNotOptimize(e.res.PaymentWT);
  }
}
BENCHMARK(BM_RecalcPage)->ArgName("capitalisedFirstPayment")->Arg(0)->Arg(1);

// A changed input on every call, as a solver's trials give it: the margin moves by a
// dollar, so the deposit, the first payment and the taxes move with it.
void BM_RecalcPageNewMargin(benchmark::State& state) {
  qv::Engine e;
  SilentHost host;
  SetUp(e, host, state.range(0) != 0);
  int step = 0;
  for (auto _ : state) {
    e.page.Margin = 1000 + (step++ % 200);
    e.RecalcPage();
    benchmark::DoNotOptimize(e.res.PaymentWT);
  }
}
BENCHMARK(BM_RecalcPageNewMargin)->ArgName("capitalisedFirstPayment")->Arg(0)->Arg(1);

// Pages without a fixed point (the start-up taxes feed rounding back into the cap cost):
// 0 the tax on payments less rent at margin 1103, 1 a taxed deposit under a maximum tax at
// margin 1753.50. Each call finds the cycle and settles on the same state of it.
void BM_RecalcPageNoFixedPoint(benchmark::State& state) {
  qv::Engine e;
  SilentHost host;
  SetUp(e, host, false);
  if (state.range(0) == 0) {
    e.tax.TaxMethod = 3;
    e.page.Margin = 1103;
  } else {
    e.tax.TaxMethod = 1;
    e.tax.MaxTax = 1000;
    e.items.Security.AlsoTax = 1;
    e.page.Margin = 1753.50;
  }
  e.RecalcPage();
  for (auto _ : state) {
    e.RecalcPage();
    benchmark::DoNotOptimize(e.res.PaymentWT);
  }
}
BENCHMARK(BM_RecalcPageNoFixedPoint)->ArgName("page")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
