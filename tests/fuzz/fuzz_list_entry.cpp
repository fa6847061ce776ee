// Fuzzes the vehicle-list entry: decoding arbitrary entry texts, and building an entry
// from a fuzzed "MANUF.TXT" line and decoding it back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pricing/GuideLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  (void)qv::pricing::DecodeListEntry(in);

  std::string line = in, name1, year, name2;
  double dest, extra;
  qv::pricing::ParseManuf(line, name1, year, name2, dest, extra);
  const std::string entry = qv::pricing::MakeListEntry(name1, year, name2, dest, static_cast<int64_t>(size));
  const qv::pricing::DecodedEntry d = qv::pricing::DecodeListEntry(entry);
  // While both numbers have four characters at most, the text decodes back.
  if (entry.size() == 94) {
    if (d.description.size() > 36) __builtin_trap();
    if (size <= 9999 && d.lineNumber != static_cast<double>(size)) __builtin_trap();
  }
  (void)qv::pricing::TypeAheadIndex({entry, in}, in.empty() ? 'a' : in[0], 0);
  return 0;
}
