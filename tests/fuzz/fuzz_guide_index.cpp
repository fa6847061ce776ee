// Fuzzes the offset index of the price guide: records read from arbitrary bytes, and the
// block located through them in a text held beside the index (the input's first half is
// the index, the second the text).
#include <cstddef>
#include <cstdint>
#include <string>

#include "pricing/GuideFiles.h"
#include "pricing/GuideLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const size_t half = in.size() / 2;
  const std::string index = in.substr(0, half), text = in.substr(half);
  const int64_t count = static_cast<int64_t>(index.size() / 4);
  for (int64_t k = -1; k <= count + 1; ++k) {
    const std::optional<int32_t> rec = qv::pricing::IndexRecord(index, k);
    if (!rec) continue;
    const auto lines = qv::pricing::ReadBlockFrom(text, *rec, static_cast<double>(k),
                                                  [](const std::string& l) { return qv::pricing::TypeLineKey(l); });
    for (const std::string& l : lines) {
      if (l.size() > text.size()) __builtin_trap();
    }
  }
  return 0;
}
