// Fuzzes the tax-settings file as a save and a delete rewrite it: the file's text is fuzzed,
// the current setting is read from its first data line, saved back, then deleted. What a
// rewrite must hold: a setting line built and read back gives the same setting (singles to
// the last bit), everything from the first empty line after the header stays byte for byte,
// and the saved setting reads back as saved.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"

namespace {

// Everything from the first empty line after the header line on: the part a rewrite keeps.
std::string KeptPart(const std::string& text) {
  size_t pos = 0;
  for (size_t line = 0; pos < text.size(); ++line) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) return {};
    if (line > 0 && end == pos) return text.substr(pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return {};
}

bool SameSetting(const qv::Engine& a, const qv::Engine& b) {
  return a.BuildTaxSetLine() == b.BuildTaxSetLine();
}

const std::string& Folder() {
  static const std::string folder = [] {
    char tmpl[] = "/tmp/qv-fuzz-taxset-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return std::string(dir ? dir : "/tmp") + "/";
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = Folder() + "Taxset.txt";
  if (!qv::files::WriteFileAtomic(path, text)) return 0;

  // The setting of the file's second line, by its name.
  const std::vector<std::string> lines = qv::SplitLines(text);
  qv::Engine e;
  e.AppFolder = Folder();
  e.tax.TaxSetName = lines.size() > 1 ? lines[1].substr(0, lines[1].find(',')) : "Home";
  if (!e.LoadTaxSet()) __builtin_trap();

  // A line built and read back is the same setting.
  qv::Engine again;
  again.tax.TaxSetName = e.tax.TaxSetName;
  again.ParseTaxSetLine(e.BuildTaxSetLine());
  if (!SameSetting(e, again)) __builtin_trap();

  const std::string kept = KeptPart(text);
  if (!e.SaveTaxSet()) __builtin_trap();
  std::string saved;
  if (!qv::files::ReadWholeFile(path, saved)) __builtin_trap();
  if (KeptPart(saved) != kept) __builtin_trap();
  qv::Engine reread;
  reread.AppFolder = Folder();
  reread.tax.TaxSetName = e.tax.TaxSetName;
  if (!reread.LoadTaxSet() || !SameSetting(reread, e)) __builtin_trap();

  if (!e.DeleteTaxSet(e.tax.TaxSetName)) __builtin_trap();
  std::string deleted;
  if (!qv::files::ReadWholeFile(path, deleted)) __builtin_trap();
  if (KeptPart(deleted) != kept) __builtin_trap();
  return 0;
}
