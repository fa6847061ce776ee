// The profile file "QVX.INI": the bytes are its text; the recent-files keys are read,
// then set to values taken from the text. Properties: the values set read back the same,
// and every key of the other sections reads as before.
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile/Profile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace qv;

namespace {

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string Trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The (section, key) pairs named in a profile text, in order.
std::vector<std::pair<std::string, std::string>> Keys(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    const std::string line = Trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
      section = Trimmed(line.substr(1, line.find(']') - 1));
    } else if (line.find('=') != std::string::npos && !Trimmed(line.substr(0, line.find('='))).empty()) {
      keys.emplace_back(section, Trimmed(line.substr(0, line.find('='))));
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ByteReader in(data, size);
  ProfileValues values;
  for (int k = 0; k < 4; ++k) values.emplace_back(std::to_string(k), in.Text(40));
  const std::string text = in.Rest();
  const std::string section = "Last File List";

  for (const auto& [key, value] : values) (void)ProfileValue(text, section, key, "");
  for (auto& [key, value] : values)
    if (!FitsProfileLine(value)) value.clear();  // the writer refuses these (tested apart)

  const std::string written = ProfileWithValues(text, section, values);
  for (const auto& [key, value] : values)
    if (ProfileValue(written, section, key, "(none)") != value) fuzz::FuzzFailure("a value set reads back different");
  for (const auto& [s, k] : Keys(text)) {
    if (SameName(s, section)) continue;
    if (ProfileValue(written, s, k, "(none)") != ProfileValue(text, s, k, "(none)"))
      fuzz::FuzzFailure("a key of another section changed");
  }
  return 0;
}
