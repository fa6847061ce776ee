// Speed of the report merge for the sample deal of the report tests:
//   Lease:   the shipped lease worksheet "Lease.rtf" (about 90 fields, options, adjustment and
//            end-of-lease sections, the attached customer).
//   Tables:  the payment-table report "Tables.rtf" with a table of 2,001 margin rows.
//   Memo:    200 memo fields of 64 KB each.
// The template is read once; each iteration merges a fresh copy of its text.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/PaymentTable.h"
#include "platform/files/AtomicFile.h"
#include "reports/ReportMerge.h"
#include "sample/ReportSampleDeal.h"

namespace {

using qv::sample::SampleDeal;

std::string Template(const char* name) {
  std::string text;
  qv::files::ReadWholeFile(qv::sample::DataFolder() + name, text);
  return text;
}

void Merge(benchmark::State& state, SampleDeal& d, const std::string& tmpl) {
  size_t bytes = 0;
  for (auto _ : state) {
    std::string doc = tmpl;
    const auto r = qv::reports::MergeReportFields(d.ctx, doc, "[", "]", "bench");
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    bytes = doc.size();
    benchmark::DoNotOptimize(doc.data());
  }
  state.counters["report_bytes"] = static_cast<double>(bytes);
}

void BM_MergeLease(benchmark::State& state) {
  static SampleDeal d;
  static const std::string tmpl = Template("Lease.rtf");
  Merge(state, d, tmpl);
}
BENCHMARK(BM_MergeLease)->Unit(benchmark::kMicrosecond);

void BM_MergePaymentTable2001Rows(benchmark::State& state) {
  static SampleDeal* d = [] {
    auto* deal = new SampleDeal;
    deal->e.TableMarginStart = 0;
    deal->e.TableMarginEnd = 2000;
    deal->e.TableMarginStep = 1;
    qv::FillPaymentTableSheet(deal->e, deal->tables, true);
    return deal;
  }();
  static const std::string tmpl = Template("Tables.rtf");
  if (d->tables.MaxRow() != qv::kMaxTableRows) state.SkipWithError("the table does not have 2,001 rows");
  Merge(state, *d, tmpl);
}
BENCHMARK(BM_MergePaymentTable2001Rows)->Unit(benchmark::kMicrosecond);

// 200 "[Memo]" fields with a memo of 64 KB of letters (a 12.5 MB report): the join of one
// value to the next looks back over a bounded run of letters only.
void BM_MergeLongMemo200Times(benchmark::State& state) {
  static SampleDeal d;
  d.e.page.Memo = std::string(64 * 1024, 'm');
  std::string tmpl;
  for (int k = 0; k < 200; ++k) tmpl += "[Memo]";
  Merge(state, d, tmpl);
}
BENCHMARK(BM_MergeLongMemo200Times)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
