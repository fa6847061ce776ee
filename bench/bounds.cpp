// The largest files the readers take, and files beyond their limits, as the program opens
// them: time and peak resident memory ("peak_rss_MB": the process's peak while the
// benchmark ran; the peak is reset through /proc/self/clear_refs before it starts, but what
// earlier benchmarks left in the process counts too: run one benchmark a process
// (--benchmark_filter) to read the peak of one file alone).
//   Worksheet/32767:   a worksheet of the most pages a worksheet holds (each page the cells of
//                      a saved deal, written as the program writes them: about 119 MB).
//   Worksheet/40000:   40,000 pages (about 145 MB, under the size limit): refused at the
//                      first row past the page limit.
//   Worksheet/100000:  100,000 pages (about 364 MB): refused before it is read.
//   Customers/100000:  a customer list of 100,000 customers (about 36 MB as the program
//                      writes it).
//   Customers/200000:  200,000 customers (about 72 MB), the most a list holds.
//   EditorText/MB, EditorRtf/MB: the report editor's Open of text or RTF paragraphs of
//                      ordinary words (16 and 24 MB, 24 MB being the editor's limit).
// Goal for every file the program takes: a peak of at most 10 times the file's size plus
// 150 MB, and under 1 GB.
//
// The program also opens one given file as the program does and prints what it took, for
// /usr/bin/time -v: `bench_bounds --open worksheet|customers|editor PATH`.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

#include "editor/ReportEditor.h"
#include "engine/PageStore.h"
#include "platform/files/AtomicFile.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/ScriptedPrompt.h"
#include "reports/CustomerList.h"

namespace {

// The peak resident memory of the process (VmHWM), in MB.
double PeakRssMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}
// Starts a new peak at the memory in use now (what the heap kept of earlier runs given back
// first).
void ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}
std::string InFolder(const std::string& name) { return Folder().filePath(QString::fromStdString(name)).toStdString(); }

// Workbook text laid out as the program writes it (one member a line, indented), written
// straight out: building a workbook of this size to write it would take far more memory
// than reading it back does.
class BookText {
 public:
  explicit BookText(const std::string& path) : out_(path, std::ios::binary) {
    out_ << "{\n \"format\": \"Quorvant workbook\",\n \"sheets\": [";
  }
  void Sheet(const std::string& name, int maxRow) {
    if (open_) EndSheet();
    out_ << (sheets_++ ? ",\n" : "\n") << "  {\n   \"cells\": [";
    name_ = name;
    maxRow_ = maxRow;
    cells_ = 0;
    open_ = true;
  }
  void Cell(int row, int col, const std::string& json) {
    out_ << (cells_++ ? ",\n" : "\n") << "    [\n     " << row << ",\n     " << col << ",\n     " << json << "\n    ]";
  }
  void Finish(const std::string& texts) {
    if (open_) EndSheet();
    out_ << "\n ],\n" << texts << " \"version\": 1\n}\n";
  }

 private:
  void EndSheet() {
    out_ << "\n   ],\n   \"headings\": [],\n   \"maxRow\": " << maxRow_ << ",\n   \"name\": \"" << name_ << "\"\n  }";
    open_ = false;
  }
  std::ofstream out_;
  std::string name_;
  int maxRow_ = 1, sheets_ = 0;
  long long cells_ = 0;
  bool open_ = false;
};

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '\t' ? std::string("\\t") : std::string(1, c);
  return out + "\"";
}

// A worksheet of `pages` pages, each with the cells of a saved one-page deal (about 1.7 KB
// a page).
std::string WorksheetFile(int pages) {
  const std::string path = InFolder("ws-" + std::to_string(pages) + ".QVX");
  if (QFile::exists(QString::fromStdString(path))) return path;
  BookText book(path);
  book.Sheet("Worksht", pages);
  for (int r = 1; r <= pages; ++r) {
    book.Cell(r, 2, Quoted("Car " + std::to_string(r)));
    for (int c = 3; c <= 48; ++c)
      book.Cell(r, c, c == 19 ? Quoted("memo text") : (c % 7 == 0 ? "1289.999971166253" : std::to_string(36 * c) + ".0"));
  }
  book.Sheet("Options", 1);
  const std::pair<const char*, std::pair<int, const char*>> sheets[] = {
      {"StartUps", {17, ".\t375.\t 0\t 0"}}, {"Adjustments", {6, "\t\t 0\t 0\t 0\t 0"}}, {"EOLFees", {6, "\t\t 0\t 0"}}};
  for (const auto& [name, cells] : sheets) {
    book.Sheet(name, pages);
    for (int r = 1; r <= pages; ++r)
      for (int c = 1; c <= cells.first; ++c) book.Cell(r, c, Quoted(cells.second));
  }
  book.Finish("");
  return path;
}

std::string CustomerFile(int customers) {
  const std::string path = InFolder("cust-" + std::to_string(customers) + ".vts");
  if (QFile::exists(QString::fromStdString(path))) return path;
  BookText book(path);
  book.Sheet("Customers", customers);
  for (int r = 1; r <= customers; ++r) {
    char id[16];
    std::snprintf(id, sizeof id, "%06d", r);
    book.Cell(r, 1, std::to_string(r) + ".0");
    book.Cell(r, 2, Quoted(std::string("Customer ") + id));
    book.Cell(r, 3, Quoted(std::to_string(r) + " Main Street"));
    book.Cell(r, 4, Quoted("Springfield"));
    book.Cell(r, 5, Quoted("IL"));
    book.Cell(r, 6, Quoted("62701"));
    book.Cell(r, 7, Quoted("555-0100"));
    book.Cell(r, 10, Quoted("01/02/2024"));
  }
  book.Finish(" \"texts\": {\n  \"LastCustomerNumber\": \"" + std::to_string(customers) + "\"\n },\n");
  return path;
}

std::string EditorFile(int megabytes, bool rtf) {
  const std::string path = InFolder("ed-" + std::to_string(megabytes) + (rtf ? "MB.rtf" : "MB.txt"));
  if (QFile::exists(QString::fromStdString(path))) return path;
  const std::string line = "The quick brown fox jumps over the lazy dog and the deal is signed today. ";
  std::string text = rtf ? "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs20 " : "";
  while (text.size() < (size_t(megabytes) << 20) - 200) text += line + (rtf ? "\\par\n" : "\n");
  if (rtf) text += "}";
  qv::files::WriteFileAtomic(path, text);
  return path;
}

// What opening the file as the program does took: false and `message` when it was refused.
bool OpenAs(const std::string& kind, const std::string& path, std::string& message) {
  if (kind == "worksheet") {
    qv::grid::Workbook wb;
    if (!wb.Read(path, message, qv::WorksheetReadLimits())) return false;
    std::string why;
    if (!qv::FitsWorksheet(wb, why)) {
      message = why;
      return false;
    }
    return true;
  }
  if (kind == "customers") {
    qv::reports::CustomerList list;
    return list.LoadFile(path, message) == qv::reports::CustomerList::LoadResult::Loaded;
  }
  qv::ui::ScriptedPrompt prompt;
  qv::ui::ScopedPrompt scope{prompt};
  prompt.SetFailureHandler([&](const std::string& what) { message = what; });
  prompt.Answer(qv::ui::Answer::OK);
  qv::editor::ReportEditor editor(qv::editor::EditorOptions{1});
  editor.ShowEditor();
  const bool ok = editor.LoadDocument(path, int(qv::editor::FormatForOpening(path))) != nullptr;
  if (!prompt.MessageTexts().empty()) message = prompt.MessageTexts().back();
  return ok;
}

void Open(benchmark::State& state, const std::string& kind, const std::string& path, bool accepted) {
  const double size = double(QFileInfo(QString::fromStdString(path)).size());
  double peak = 0;
  for (auto _ : state) {
    ResetPeak();
    std::string message;
    if (OpenAs(kind, path, message) != accepted) state.SkipWithError(("unexpected: " + message).c_str());
    peak = std::max(peak, PeakRssMB());
  }
  state.counters["file_MB"] = size / (1 << 20);
  state.counters["peak_rss_MB"] = peak;
  state.counters["goal_MB"] = std::min(10 * size / (1 << 20) + 150, 1024.0);
}

void BM_Worksheet(benchmark::State& s) {
  const int pages = int(s.range(0));
  Open(s, "worksheet", WorksheetFile(pages), pages <= qv::kMaxPages);
}
void BM_Customers(benchmark::State& s) { Open(s, "customers", CustomerFile(int(s.range(0))), true); }
void BM_EditorText(benchmark::State& s) { Open(s, "editor", EditorFile(int(s.range(0)), false), true); }
void BM_EditorRtf(benchmark::State& s) { Open(s, "editor", EditorFile(int(s.range(0)), true), true); }

BENCHMARK(BM_Worksheet)->Arg(32767)->Arg(40000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Customers)->Arg(100000)->Arg(200000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorText)->Arg(16)->Arg(24)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorRtf)->Arg(16)->Arg(24)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (argc == 4 && std::string(argv[1]) == "--open") {
    const auto start = std::chrono::steady_clock::now();
    std::string message;
    const bool ok = OpenAs(argv[2], argv[3], message);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %.2f s, peak %.0f MB%s%s\n", ok ? "opened" : "refused", seconds, PeakRssMB(),
                message.empty() ? "" : ": ", message.c_str());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
