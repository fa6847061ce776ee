// Timing of the guide readers on large synthetic guides written by the guide writer: the
// vehicle list of a 5,000-line "MANUF.TXT", the model grid of a vehicle line with 1,000
// types, the option grid of a block of 1,000 options, and the run listing of a
// manufacturer with 2,000 residual records; with the windows (offscreen platform): the
// residual window's maker list of a 10 MB maker file, and the price-guide window's model
// grid filled to the grid's row limit.
#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "owner/SharedState.h"
#include "platform/ui/ScriptedPrompt.h"
#include "pricing/ALGRes.h"
#include "pricing/OptionGuide.h"
#include "pricing/Prices.h"
#include "pricing/PriceGuide.h"
#include "pricing/ResidualLookup.h"
#include "pricing/gen/GuideSource.h"
#include "worksheet/QV.h"

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

// One engine and one main window for the window benchmarks.
struct Desk {
  qv::Engine e;
  qv::WindowSet windows{e};
  std::unique_ptr<qv::QV> window;
  Desk() {
    window = std::make_unique<qv::QV>(e, windows);
    e.host = window.get();
  }
  ~Desk() { window.reset(); }
};

std::unique_ptr<Desk> desk;

Desk& TheDesk() {
  if (!desk) desk = std::make_unique<Desk>();
  return *desk;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void BM_ResidualMakerList10MB(benchmark::State& state) {
  // 455,903 maker lines of 23 bytes.
  static Folder f("makers");
  static const bool written = [] {
    std::string dr1 = "HDR\r\nMANUFACTURER     REC\r\n";
    const std::string item = "TARVIC              1\r\n";
    dr1.reserve(10 * 1024 * 1024 + 64);
    for (size_t i = 0; i < 10 * 1024 * 1024 / item.size(); ++i) dr1 += item;
    WriteBytes(f.path + "ALG99.DR1", dr1);
    return true;
  }();
  benchmark::DoNotOptimize(written);
  Desk& d = TheDesk();
  d.e.AppFolder = f.path;
  d.windows.Shared().ModelYear = "1999";
  qv::ALGRes& w = d.windows.Get<qv::ALGRes>();
  for (auto _ : state) {
    w.Form_Load();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(w.lstMfg->count());
  }
  state.counters["makers"] = w.lstMfg->count();
  d.windows.Unload<qv::ALGRes>();
}
BENCHMARK(BM_ResidualMakerList10MB)->Unit(benchmark::kMillisecond);

// 400 models that all name one block of 3,000 types: 1,200,400 rows, stopped at 1,000,000.
const Folder& QuadGuide() {
  static Folder f("quad");
  static const bool written = [] {
    WriteBytes(f.path + "CMANUF.TXT", "Tarvic|2000|Quad|500|0\r\n");
    std::string models;
    for (int i = 0; i < 400; ++i) models += "Model " + std::to_string(i) + "|1|1\r\n";
    WriteBytes(f.path + "CModel.txt", models);
    WriteBytes(f.path + "CModel.ndx", std::string("\x01\x00\x00\x00", 4));
    std::string types;
    for (int i = 0; i < 3000; ++i) types += "Type " + std::to_string(i) + "|20000|22000|1|0\r\n";
    WriteBytes(f.path + "CType.txt", types);
    WriteBytes(f.path + "CType.ndx", std::string("\x01\x00\x00\x00", 4));
    return true;
  }();
  benchmark::DoNotOptimize(written);
  return f;
}

void BM_ModelGridAtRowLimit(benchmark::State& state) {
  const PriceGuide guide(QuadGuide().path, "C");
  size_t rows = 0;
  for (auto _ : state) {
    const ModelGrid g = guide.ShowModels(1);
    rows = g.rows.size();
    benchmark::DoNotOptimize(g.rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ModelGridAtRowLimit)->Unit(benchmark::kMillisecond);

void BM_ModelGridWindowAtRowLimit(benchmark::State& state) {
  Desk& d = TheDesk();
  d.e.AppFolder = QuadGuide().path;
  d.e.page.CT = "C";
  qv::Prices& w = d.windows.Get<qv::Prices>();
  qv::ui::ScriptedPrompt prompt;
  qv::ui::ScopedPrompt scoped{prompt};
  prompt.SetFailureHandler([](const std::string&) {});
  for (auto _ : state) {
    w.ShowModels(1);
    QCoreApplication::processEvents();
    prompt.ClearAsked();
    benchmark::DoNotOptimize(w.Price1Data.MaxRow());
  }
  state.counters["rows"] = w.Price1Data.MaxRow();
  d.windows.Unload<qv::Prices>();
}
BENCHMARK(BM_ModelGridWindowAtRowLimit)->Unit(benchmark::kMillisecond)->Iterations(2);

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
