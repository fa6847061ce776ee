// Fuzzes the block reader over a real file: an index and a text written from the input,
// every record located and its block read, as the model grid and the option lookup do.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "pricing/GuideFiles.h"
#include "pricing/GuideLines.h"

namespace {

std::string Scratch(const char* name) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/qv-fuzz-block-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return std::string(d ? d : "/tmp");
  }();
  return dir + "/" + name;
}

void Put(const std::string& path, const std::string& bytes) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  // The first byte says how many index records lead the input.
  const size_t records = in.empty() ? 0 : static_cast<unsigned char>(in[0]) % 16;
  const size_t indexBytes = std::min(in.size() > 0 ? in.size() - 1 : 0, records * 4);
  const std::string index = in.substr(in.empty() ? 0 : 1, indexBytes);
  const std::string text = in.size() > 1 + indexBytes ? in.substr(1 + indexBytes) : std::string();
  Put(Scratch("B.ndx"), index);
  Put(Scratch("B.txt"), text);

  qv::pricing::OffsetIndex idx;
  qv::pricing::GuideTextFile file;
  if (!idx.Open(Scratch("B.ndx")) || !file.Open(Scratch("B.txt"))) return 0;
  for (int64_t k = 0; k <= idx.RecordCount() + 1; ++k) {
    const qv::pricing::BlockStart b = qv::pricing::LocateBlock(idx, file, k);
    if (b.status != qv::pricing::BlockStart::Status::Found) continue;
    if (b.pos < 1 || b.pos > file.Size()) __builtin_trap();
    const auto lines = qv::pricing::ReadBlockAt(file, b.pos, static_cast<double>(k),
                                                [](const std::string& l) { return qv::pricing::ModelLineKey(l); });
    for (const std::string& l : lines) {
      if (static_cast<int64_t>(l.size()) > file.Size()) __builtin_trap();
    }
  }
  return 0;
}
