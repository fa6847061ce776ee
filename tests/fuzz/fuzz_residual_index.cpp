// Fuzzes the reader of the residual guide's manufacturer index (".DR1").
#include <cstddef>
#include <cstdint>
#include <string>

#include "pricing/ResidualFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const qv::pricing::ResidualIndex idx = qv::pricing::ParseResidualIndex(in);
  for (const qv::pricing::ResidualIndexItem& i : idx.items) {
    if (i.name.size() > 17 || i.firstRecord < 0) __builtin_trap();
  }
  return 0;
}
