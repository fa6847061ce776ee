// Fuzzes the residual guide's record file (".RV1"): records of 114 bytes read, classed and
// listed as a manufacturer's run from every record number.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pricing/ResidualFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const qv::pricing::ResidualRecord one = qv::pricing::ParseResidualRecord(in);
  (void)qv::pricing::ListText(one);
  (void)one.TermValue(0);
  const int64_t count = static_cast<int64_t>(in.size() / qv::pricing::kResidualRecordSize);
  for (int64_t first = 0; first <= count + 1; ++first) {
    const qv::pricing::ResidualRun run = qv::pricing::ListRunFromBytes(in, first);
    for (size_t i = 0; i < run.lines.size(); ++i) {
      if (run.lines[i].recordNumber != first + static_cast<int64_t>(i)) __builtin_trap();
    }
  }
  return 0;
}
