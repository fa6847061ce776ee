// Opening and saving documents in the report editor, as "Open" and "Save" do them: the file
// read, the document built into a document window and laid out in pages; the shown document
// turned back into RTF and written.
//   LibreOfficeTable: a 100 x 6 table written by LibreOffice Writer (169 KB).
//   Report30Pages:    a merged report of 30 pages (headings, tabs, frames, payment tables).
//   Generated/2MB, Generated/10MB: paragraphs of mixed formats and indents, 5 x 4 tables and
//                     PNG pictures, as long letters and price lists are.
//   Table/COLUMNSxROWS: one row definition of narrow empty cells repeated by \row (1 x 256,
//                     4 x 256, 64 x 32, 1000 x 8 cells).
//   CellParagraphs:   one table cell of 2,000 paragraphs.
//   WordBorderedTable: 123 rows of 14 cells as Word writes them, a border on every side of
//                     every cell and the row's definition written again before each \row
//                     (about 850 KB).
//   LongWord/KB:      one word of 256 KB or 1 MB without a blank (goal: at most 1 s for 1 MB).
//   MergedReport:     reports the merge makes with a memo without a blank: the shipped
//                     Lease.rtf with a memo of 512 KB, and the largest report the merge
//                     allows, a template of 10,000 [Memo] fields with the memo as long as
//                     the report's cap lets it be (16 MB in one paragraph; goal: at most 5 s).
//   ReportCycles:     the memory of 200 report cycles after the first: each cycle hands a
//                     merged report to the editor as the program does, shows Print Preview,
//                     Search and Page Setup over it, closes the editor and runs the deferred
//                     deletions. The counters are the resident memory and the heap in use
//                     after cycles 1, 100 and 200, and the bytes a cycle adds from cycle 100
//                     to cycle 200 (flat: about 0).
// Each figure "peak_rss_MB" is the process's peak so far: run one benchmark a process
// (--benchmark_filter) to read the peak memory of one file. With QV_BENCH_FILES set to a
// folder, the input files are also written there (to compare other programs on them).
// QV_BENCH_OPEN names more RTF files (separated by ':') to open and save as they are, for
// example the output of a generator kept outside the source tree.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>

#include "bench/ReportDocument.h"
#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "editor/richtext/Rtf.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/ScriptedPrompt.h"
#include "reports/ReportMerge.h"
#include "sample/ReportSampleDeal.h"

namespace {

using qv::editor::ReportEditor;

// A PNG of random colours (it compresses as badly as a photograph does).
std::string RandomPng(std::mt19937& random, int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < width * 3; ++x) line[x] = uchar(random() & 0xFF);
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png.toStdString();
}

// About `target` bytes of RTF: sections of six justified paragraphs (bold, italic and
// coloured words, indents), every third section a 5 x 4 table of prices, `pictures` PNG
// pictures spread over the text, a page break every 60 sections.
std::string GeneratedRtf(size_t target, int pictures) {
  static const char* const kWords[] = {"lease", "loan",   "cash",   "residual", "factor",  "payment",
                                       "capitalised", "cost", "trade", "equity", "rebate", "term",
                                       "mileage", "dealer", "invoice", "MSRP", "option"};
  std::mt19937 random(7);
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  auto word = [&] { return std::string(kWords[pick(int(std::size(kWords)))]); };
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
      "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue160;}\n"
      "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\n";
  const int pictureEvery = std::max(1, int(target / 4000 / size_t(std::max(pictures, 1))));
  int placed = 0;
  for (int k = 1; rtf.size() < target; ++k) {
    if (k % 40 == 1) rtf += "\\pard\\plain\\qc\\sb240\\sa120{\\f1\\fs32\\b\\cf2 Section " + std::to_string(k) + "}\\par\n";
    for (int p = 0; p < 6; ++p) {
      const int count = 20 + pick(41);
      std::string first = word(), rest;
      for (int w = 1; w < count; ++w) rest += (w > 1 ? " " : "") + word();
      const size_t half = rest.size() / 2;
      rtf += "\\pard\\plain\\li" + std::to_string(360 * pick(3)) + "\\fi" + std::to_string(360 * pick(2)) +
             "\\sa120\\qj{\\b " + first + "} {\\i " + rest.substr(0, half) + "} {\\cf1 " + rest.substr(half) + "}\\par\n";
    }
    if (k % 3 == 0) {
      for (int r = 0; r < 5; ++r) {
        rtf += "\\trowd\\trgaph108\\trleft0\\cellx2340\\cellx4680\\cellx7020\\cellx9360\n";
        for (int c = 0; c < 4; ++c) {
          std::string text = word();
          if (c && r) {
            const int cents = pick(100);
            text = "$" + std::to_string(1 + pick(99999)) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
          }
          rtf += std::string("\\pard\\plain\\intbl") + (c ? "\\qr" : "") + "{" + (r == 0 ? "\\b " : "") + text + "}\\cell\n";
        }
        rtf += "\\row\n";
      }
      rtf += "\\pard\\plain\\par\n";
    }
    if (placed < pictures && k % pictureEvery == 0) {
      static const char kHex[] = "0123456789abcdef";
      const std::string png = RandomPng(random, 200, 150);
      rtf += "\\pard\\plain\\qc{\\pict\\pngblip\\picw200\\pich150\\picwgoal3000\\pichgoal2250 \n";
      for (size_t i = 0; i < png.size(); ++i) {
        rtf += kHex[uchar(png[i]) >> 4];
        rtf += kHex[uchar(png[i]) & 15];
        if (i % 64 == 63) rtf += '\n';
      }
      rtf += "}\\par\n";
      ++placed;
    }
    if (k % 60 == 0) rtf += "\\pard\\plain\\page\n";
  }
  return rtf + "}\n";
}

// Rows of `columns` empty cells 10 twips wide: one row definition, `rows` times \row.
std::string RepeatedRowsRtf(int columns, int rows) {
  std::string rtf = "{\\rtf1 \\trowd";
  for (int c = 1; c <= columns; ++c) rtf += "\\cellx" + std::to_string(10 * c);
  rtf += "\\intbl";
  for (int r = 0; r < rows; ++r) rtf += "\\row";
  return rtf + "}";
}

// `rows` rows of `columns` short cells, each row's cell edges a twip right of the row above's:
// no two rows share an edge.
std::string StaggeredRowsRtf(int columns, int rows) {
  std::string rtf = "{\\rtf1 ";
  for (int r = 0; r < rows; ++r) {
    rtf += "\\trowd";
    for (int c = 1; c <= columns; ++c) rtf += "\\cellx" + std::to_string(1000 * c + r);
    rtf += "\\pard\\intbl";
    for (int c = 1; c <= columns; ++c) rtf += " x\\cell";
    rtf += "\\row\n";
  }
  return rtf + "}";
}

// One cell of `paragraphs` one-word paragraphs.
std::string CellParagraphsRtf(int paragraphs) {
  std::string rtf = "{\\rtf1 \\intbl";
  for (int p = 0; p < paragraphs; ++p) rtf += " line\\par";
  return rtf + " last\\cell\\row}";
}

// A table as Word writes it: each row's definition (a single border on each side of each
// cell, widths, shading) before its cells and again before its \row; each cell's paragraph
// with Word's paragraph and character words.
std::string WordBorderedTableRtf(int rows, int columns) {
  std::string rtf =
      "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2 "
      "Times New Roman;}{\\f1\\fswiss\\fcharset0\\fprq2 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}\n"
      "\\paperw15840\\paperh12240\\margl720\\margr720\\margt720\\margb720\\lndscpsxn\n";
  std::string definition = "\\trowd \\irow0\\irowband0\\ltrrow\\ts11\\trgaph108\\trleft-108\\trbrdrt\\brdrs\\brdrw10 "
                           "\\trbrdrl\\brdrs\\brdrw10 \\trbrdrb\\brdrs\\brdrw10 \\trbrdrr\\brdrs\\brdrw10 "
                           "\\trbrdrh\\brdrs\\brdrw10 \\trbrdrv\\brdrs\\brdrw10 \\trftsWidth1\\trautofit1\\trpaddl108\\trpaddr108"
                           "\\trpaddfl3\\trpaddfr3\\tblind0\\tblindtype3 \n";
  const int width = 14400 / columns;
  for (int c = 1; c <= columns; ++c)
    definition += "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 "
                  "\\clbrdrr\\brdrs\\brdrw10 \\cltxlrtb\\clftsWidth3\\clwWidth" + std::to_string(width) +
                  "\\clshdrawnil \\cellx" + std::to_string(c * width - 108) + "\n";
  for (int r = 0; r < rows; ++r) {
    rtf += definition + "\\pard\\plain \\ltrpar";
    for (int c = 0; c < columns; ++c) {
      rtf += "\\ql \\li0\\ri0\\widctlpar\\intbl\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0 "
             "{\\fs20\\insrsid1 R" + std::to_string(r + 1) + "C" + std::to_string(c + 1) +
             "}\\cell \n";
    }
    rtf += "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\widctlpar\\intbl\\wrapdefault\\aspalpha\\aspnum\\faauto"
           "\\adjustright\\rin0\\lin0 \\rtlch\\fcs1 \\af0\\afs20 \\ltrch\\fcs0 \\fs20 {\\rtlch\\fcs1 \\af0 "
           "\\ltrch\\fcs0 \\insrsid1 " + definition + "\\row }\n";
  }
  return rtf + "\\pard \\ltrpar\\ql \\li0\\ri0\\widctlpar\\par }\n";
}

std::string LongWordRtf(size_t bytes) {
  return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs20 " + std::string(bytes, 'x') + "\\par}";
}

// The report the merge makes of `tmpl` for the sample deal with a memo of `memo` letters;
// empty (and the benchmark skipped) when the merge refuses it.
std::string MergedReport(benchmark::State& state, std::string tmpl, size_t memo) {
  static qv::sample::SampleDeal deal;
  deal.e.page.Memo = std::string(memo, 'm');
  const auto r = qv::reports::MergeReportFields(deal.ctx, tmpl, "[", "]", "bench");
  if (!r.ok()) {
    state.SkipWithError(r.message.c_str());
    return {};
  }
  return tmpl;
}

std::string LibreOfficeTable() {
  std::string rtf;
  qv::files::ReadWholeFile(std::string(QV_SOURCE_DIR) + "/bench/files/lo-table-100x6.rtf", rtf);
  return rtf;
}

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// One editor for every benchmark, as the program has one (left to the end of the process:
// it must not outlive the QApplication).
ReportEditor& Editor() {
  static ReportEditor* editor = new ReportEditor;
  return *editor;
}

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

std::string WriteInput(const std::string& name, const std::string& rtf) {
  const char* keep = std::getenv("QV_BENCH_FILES");
  if (keep && *keep) qv::files::WriteFileAtomic(QDir(keep).filePath(QString::fromStdString(name)).toStdString(), rtf);
  const std::string path = QDir(Folder().path()).filePath(QString::fromStdString(name)).toStdString();
  qv::files::WriteFileAtomic(path, rtf);
  return path;
}

// Opens the file in a document window and lays it out in pages.
qv::editor::frmMDIChild* Open(benchmark::State& state, const std::string& path, int& pages) {
  qv::editor::frmMDIChild* doc = Editor().LoadDocument(path, int(qv::editor::FileFormat::Rtf));
  if (!doc) {
    state.SkipWithError("the file did not open");
    return nullptr;
  }
  pages = doc->TXTextControl1->CurrentPages();
  return doc;
}

// Closes the window and deletes it at once (the event loop that would is not running).
void Close(qv::editor::frmMDIChild& doc) {
  doc.CloseWithoutAsking();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void OpenFile(benchmark::State& state, const std::string& name, const std::string& rtf) {
  const std::string path = WriteInput(name, rtf);
  int pages = 0;
  for (auto _ : state) {
    qv::editor::frmMDIChild* doc = Open(state, path, pages);
    if (!doc) break;
    state.PauseTiming();
    Close(*doc);
    state.ResumeTiming();
  }
  state.counters["bytes"] = double(rtf.size());
  state.counters["pages"] = pages;
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void SaveFile(benchmark::State& state, const std::string& name, const std::string& rtf) {
  const std::string path = WriteInput(name, rtf);
  int pages = 0;
  qv::editor::frmMDIChild* doc = Open(state, path, pages);
  if (!doc) return;
  const std::string saved = QDir(Folder().path()).filePath("saved.rtf").toStdString();
  for (auto _ : state) {
    if (!Editor().SaveDocumentOf(*doc, saved)) state.SkipWithError("the file was not saved");
  }
  Close(*doc);
  state.counters["bytes"] = double(rtf.size());
  state.counters["pages"] = pages;
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

const std::string& Report30() {
  static const std::string rtf = qv::richtext::WriteRtf(qv::bench::Report(30));
  return rtf;
}
const std::string& Generated(size_t megabytes) {
  static std::string two, ten;
  std::string& text = megabytes == 2 ? two : ten;
  if (text.empty()) text = GeneratedRtf(megabytes << 20, int(megabytes) * 2);
  return text;
}

void BM_OpenLibreOfficeTable(benchmark::State& s) { OpenFile(s, "lo-table-100x6.rtf", LibreOfficeTable()); }
void BM_SaveLibreOfficeTable(benchmark::State& s) { SaveFile(s, "lo-table-100x6.rtf", LibreOfficeTable()); }
void BM_OpenReport30Pages(benchmark::State& s) { OpenFile(s, "report-30-pages.rtf", Report30()); }
void BM_SaveReport30Pages(benchmark::State& s) { SaveFile(s, "report-30-pages.rtf", Report30()); }
void BM_OpenGenerated(benchmark::State& s) {
  OpenFile(s, "generated-" + std::to_string(s.range(0)) + "MB.rtf", Generated(size_t(s.range(0))));
}
void BM_SaveGenerated(benchmark::State& s) {
  SaveFile(s, "generated-" + std::to_string(s.range(0)) + "MB.rtf", Generated(size_t(s.range(0))));
}

void BM_OpenTable(benchmark::State& s) {
  const int columns = int(s.range(0)), rows = int(s.range(1));
  OpenFile(s, "table-" + std::to_string(columns) + "x" + std::to_string(rows) + ".rtf", RepeatedRowsRtf(columns, rows));
}
void BM_SaveTable(benchmark::State& s) {
  const int columns = int(s.range(0)), rows = int(s.range(1));
  SaveFile(s, "table-" + std::to_string(columns) + "x" + std::to_string(rows) + ".rtf", RepeatedRowsRtf(columns, rows));
}
void BM_OpenStaggeredTable(benchmark::State& s) {
  const int columns = int(s.range(0)), rows = int(s.range(1));
  OpenFile(s, "staggered-" + std::to_string(columns) + "x" + std::to_string(rows) + ".rtf",
           StaggeredRowsRtf(columns, rows));
}
void BM_OpenCellParagraphs(benchmark::State& s) { OpenFile(s, "cell-2000-paragraphs.rtf", CellParagraphsRtf(2000)); }
void BM_SaveCellParagraphs(benchmark::State& s) { SaveFile(s, "cell-2000-paragraphs.rtf", CellParagraphsRtf(2000)); }
void BM_OpenWordBorderedTable(benchmark::State& s) { OpenFile(s, "word-bordered-123x14.rtf", WordBorderedTableRtf(123, 14)); }
void BM_SaveWordBorderedTable(benchmark::State& s) { SaveFile(s, "word-bordered-123x14.rtf", WordBorderedTableRtf(123, 14)); }

void BM_OpenLongWord(benchmark::State& s) {
  OpenFile(s, "word-" + std::to_string(s.range(0)) + "KB.rtf", LongWordRtf(size_t(s.range(0)) << 10));
}
void BM_SaveLongWord(benchmark::State& s) {
  SaveFile(s, "word-" + std::to_string(s.range(0)) + "KB.rtf", LongWordRtf(size_t(s.range(0)) << 10));
}
void BM_OpenMergedReport_LeaseMemo512KB(benchmark::State& s) {
  std::string lease;
  qv::files::ReadWholeFile(qv::sample::DataFolder() + "Lease.rtf", lease);
  const std::string report = MergedReport(s, lease, 512 << 10);
  if (!report.empty()) OpenFile(s, "lease-memo-512KB.rtf", report);
}
void BM_OpenMergedReport_Memo10000Fields(benchmark::State& s) {
  constexpr size_t kFields = 10000;
  std::string tmpl = "{\\rtf1 ";
  for (size_t k = 0; k < kFields; ++k) tmpl += "[Memo]";
  tmpl += "}";
  const size_t frame = tmpl.size() - kFields * 6;
  const std::string report = MergedReport(s, tmpl, (qv::reports::kMaxReportBytes - frame) / kFields);
  if (!report.empty()) OpenFile(s, "memo-10000-fields.rtf", report);
}

BENCHMARK(BM_OpenLongWord)->ArgName("KB")->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLongWord)->ArgName("KB")->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMergedReport_LeaseMemo512KB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMergedReport_Memo10000Fields)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK(BM_OpenTable)->ArgNames({"columns", "rows"})->Args({256, 1})->Args({256, 4})->Args({32, 64})->Args({8, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTable)->ArgNames({"columns", "rows"})->Args({256, 1})->Args({256, 4})->Args({32, 64})->Args({8, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenStaggeredTable)->ArgNames({"columns", "rows"})->Args({10, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCellParagraphs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCellParagraphs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWordBorderedTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWordBorderedTable)->Unit(benchmark::kMillisecond);

// The resident memory (from /proc/self/statm) and the heap in use (mallinfo2), in bytes.
double ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE));
}
double HeapBytes() {
  const struct mallinfo2 m = mallinfo2();
  return double(m.uordblks + m.hblkhd);
}

void BM_ReportCycles(benchmark::State& state) {
  const std::string path = WriteInput("report-2-pages.rtf", qv::richtext::WriteRtf(qv::bench::Report(2)));
  // The editor's dialogs are shown and closed at once, as a user who looks and cancels.
  qv::ui::ScriptedPrompt prompt;
  qv::ui::ScopedPrompt scope{prompt};
  prompt.SetFailureHandler([&](const std::string& what) { state.SkipWithError(what.c_str()); });
  for (const char* name : {"PrintPreview", "Search", "frmPageDlg"})
    prompt.OnModal(name, [](qv::ui::ModalWindow& w) {
      auto& dialog = dynamic_cast<QWidget&>(w);
      dialog.show();
      QApplication::processEvents();
      dialog.hide();
      return 0;
    });
  ReportEditor editor;
  auto cycle = [&] {
    if (!editor.OpenReport(path) || !editor.ActiveDocument()) {
      state.SkipWithError("the report did not open");
      return;
    }
    QApplication::processEvents();
    qv::editor::frmMDIChild* doc = editor.ActiveDocument();
    doc->mnuFile_PrintPreview_Click();
    doc->mnuEdit_Search_Click();
    editor.ShowPageSetup(*doc->TXTextControl1);
    prompt.ClearAsked();
    editor.CloseEditor();
    for (int i = 0; i < 2; ++i) {
      QApplication::processEvents();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  };
  double rss[3] = {}, heap[3] = {};
  for (auto _ : state) {
    cycle();
    rss[0] = ResidentBytes();
    heap[0] = HeapBytes();
    for (int i = 2; i <= 201; ++i) {
      cycle();
      if (i == 101 || i == 201) {
        rss[i / 100] = ResidentBytes();
        heap[i / 100] = HeapBytes();
      }
    }
  }
  const char* at[3] = {"1", "100", "200"};
  for (int k = 0; k < 3; ++k) {
    state.counters[std::string("rss_kB_") + at[k]] = rss[k] / 1024;
    state.counters[std::string("heap_kB_") + at[k]] = heap[k] / 1024;
  }
  state.counters["rss_B_per_cycle"] = (rss[2] - rss[1]) / 100;
  state.counters["heap_B_per_cycle"] = (heap[2] - heap[1]) / 100;
}

BENCHMARK(BM_ReportCycles)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OpenLibreOfficeTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLibreOfficeTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenReport30Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveReport30Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenGenerated)->ArgName("MB")->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveGenerated)->ArgName("MB")->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (const char* more = std::getenv("QV_BENCH_OPEN")) {
    for (const QString& path : QString::fromLocal8Bit(more).split(':', Qt::SkipEmptyParts)) {
      std::string rtf;
      if (!qv::files::ReadWholeFile(path.toStdString(), rtf, qv::editor::kMaxDocumentFileBytes)) continue;
      const std::string name = QFileInfo(path).fileName().toStdString();
      benchmark::RegisterBenchmark(("BM_OpenGiven/" + name).c_str(),
                                   [name, rtf](benchmark::State& s) { OpenFile(s, name, rtf); })
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("BM_SaveGiven/" + name).c_str(),
                                   [name, rtf](benchmark::State& s) { SaveFile(s, name, rtf); })
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
