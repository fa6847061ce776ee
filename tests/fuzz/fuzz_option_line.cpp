// Fuzzes the option-line parser and the option grid built from a block of fuzzed lines
// (sub-heading merge, price codes, long descriptions), with a select and un-select round.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "pricing/OptionGuide.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= in.size() && lines.size() < 200) {
    const size_t nl = in.find('\n', at);
    lines.push_back(in.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
    if (nl == std::string::npos) break;
    at = nl + 1;
  }
  for (const std::string& l : lines) (void)qv::pricing::ParseOptionLine(l);
  const double k = lines.empty() ? 0 : qv::pricing::ParseOptionLine(lines[0]).key;
  const int64_t key = k > -1e9 && k < 1e9 ? static_cast<int64_t>(k) : 0;
  qv::pricing::OptionGrid g = qv::pricing::OptionRowsFromLines(lines, key);
  for (const qv::pricing::OptionRow& r : g.rows) {
    if (r.description.size() > 255 && r.kind == qv::pricing::OptionRow::Kind::Option) __builtin_trap();
  }
  static qv::Engine eng;
  eng.ResetWorkbook();
  for (int r = 1; r <= static_cast<int>(g.rows.size()) && r <= 20; ++r) qv::pricing::SelectOpt(eng, g, r);
  for (int r = static_cast<int>(g.rows.size()); r >= 1; --r) qv::pricing::UnSelectOpt(eng, g, r);
  if (eng.WKS.SheetAt(2).MaxRow() != 1) __builtin_trap();
  return 0;
}
