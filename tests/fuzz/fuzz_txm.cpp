// The ".txm" reader on any input: it never crashes or hangs, refuses what it cannot read
// with one of the file messages, and a file written from what it read reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "editor/richtext/TxmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qv::richtext;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  DocumentReadResult first = ReadTxm(input);
  if (!first.ok) {
    if (FileMessageText(first.failure, "x").empty()) std::abort();
    return 0;
  }
  DocumentReadResult second = ReadTxm(WriteTxm(first.document));
  if (!second.ok || !(second.document == first.document)) std::abort();
  return 0;
}
