// The RTF reader on any input: it never crashes, hangs or keeps unbounded memory, and what
// the writer writes of the document it read reads back as the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "editor/richtext/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qv::richtext;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  RtfReadResult first = ReadRtf(input);
  if (!first.ok) return 0;
  std::string rtf = WriteRtf(first.document);
  RtfReadResult second = ReadRtf(rtf);
  if (!second.ok || !(second.document == first.document)) std::abort();
  return 0;
}
