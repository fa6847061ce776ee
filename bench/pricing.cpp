// Timing of the guide readers on large synthetic guides written by the guide writer: the
// vehicle list of a 5,000-line "MANUF.TXT", the model grid of a vehicle line with 1,000
// types, the option grid of a block of 1,000 options, and the run listing of a
// manufacturer with 2,000 residual records.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "pricing/OptionGuide.h"
#include "pricing/PriceGuide.h"
#include "pricing/ResidualLookup.h"
#include "pricing/gen/GuideSource.h"

namespace {

using namespace qv::pricing;

// A scratch folder holding one synthetic guide, removed at exit.
struct Folder {
  std::string path;
  explicit Folder(const char* tag) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string("qv-bench-") + tag + "-XXXXXX")).string();
    if (char* p = mkdtemp(tmpl.data())) path = std::string(p) + "/";
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const Folder& GuideFolder(const char* tag, int lines, int models, int types, int options) {
  static std::map<std::string, std::unique_ptr<Folder>> folders;
  auto& f = folders[tag];
  if (!f) {
    f = std::make_unique<Folder>(tag);
    std::string error;
    if (!gen::WriteFiles(gen::BuildGuideFiles(gen::SyntheticGuide(lines, models, types, options)), f->path, "C",
                         error))
      std::abort();
  }
  return *f;
}

void BM_ListManufacturers5000(benchmark::State& state) {
  const Folder& f = GuideFolder("manuf", 5000, 1, 1, 0);
  const PriceGuide guide(f.path, "C");
  size_t n = 0;
  for (auto _ : state) {
    const VehicleList list = guide.ShowManufacturers({true, true, true});
    n = list.entries.size();
    benchmark::DoNotOptimize(list.entries.data());
  }
  state.counters["entries"] = static_cast<double>(n);
}
BENCHMARK(BM_ListManufacturers5000)->Unit(benchmark::kMillisecond);

void BM_ModelGrid1000Types(benchmark::State& state) {
  // 10 models of 100 types each (and a heading every tenth type) per vehicle line.
  const Folder& f = GuideFolder("models", 3, 10, 100, 0);
  const PriceGuide guide(f.path, "C");
  size_t rows = 0;
  for (auto _ : state) {
    const ModelGrid g = guide.ShowModels(2);
    rows = g.rows.size();
    benchmark::DoNotOptimize(g.rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ModelGrid1000Types)->Unit(benchmark::kMillisecond);

void BM_OptionGrid1000Options(benchmark::State& state) {
  const Folder& f = GuideFolder("options", 3, 1, 1, 1000);
  size_t rows = 0;
  for (auto _ : state) {
    const OptionGrid g = LoadOptions(f.path, "C", 2);
    rows = g.rows.size();
    benchmark::DoNotOptimize(g.rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_OptionGrid1000Options)->Unit(benchmark::kMillisecond);

void BM_ResidualRun2000Records(benchmark::State& state) {
  static Folder f("residuals");
  static const bool written = [] {
    std::string error;
    return gen::WriteFiles(gen::BuildResidualFiles(gen::SyntheticResidualYear(3, 2000)), f.path, "", error);
  }();
  if (!written) std::abort();
  ResidualLookup look;
  std::string error;
  if (!look.Load(f.path, "2000", error)) std::abort();
  for (auto _ : state) {
    if (!look.UpdateModel(1, error)) std::abort();
    benchmark::DoNotOptimize(look.LineCount());
  }
  state.counters["lines"] = look.LineCount();
}
BENCHMARK(BM_ResidualRun2000Records)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
