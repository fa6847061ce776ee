// Reading and writing a 200-page RTF report (about 2 MB).
#include <benchmark/benchmark.h>

#include <string>

#include "bench/ReportDocument.h"
#include "editor/richtext/Rtf.h"

namespace {

using namespace qv::richtext;
using qv::bench::Report;

void BM_ReadRtf200Pages(benchmark::State& state) {
  std::string rtf = WriteRtf(Report(200));
  for (auto _ : state) {
    RtfReadResult r = ReadRtf(rtf);
    benchmark::DoNotOptimize(r.document.blocks.data());
  }
  state.counters["bytes"] = double(rtf.size());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(rtf.size()));
}
BENCHMARK(BM_ReadRtf200Pages)->Unit(benchmark::kMillisecond);

void BM_WriteRtf200Pages(benchmark::State& state) {
  Document doc = Report(200);
  size_t size = 0;
  for (auto _ : state) {
    std::string rtf = WriteRtf(doc);
    size = rtf.size();
    benchmark::DoNotOptimize(rtf.data());
  }
  state.counters["bytes"] = double(size);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_WriteRtf200Pages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
