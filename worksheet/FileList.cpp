#include "worksheet/FileList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace qv {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool Wild(const char* n, const char* p) {
  // Iterative wildcard match with back-tracking on the last "*".
  const char* star = nullptr;
  const char* mark = nullptr;
  while (*n) {
    if (*p == '?' || (*p && *p != '*' && Lower(*p) == Lower(*n))) {
      ++n;
      ++p;
    } else if (*p == '*') {
      star = p++;
      mark = n;
    } else if (star) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

}  // namespace

bool FileList::Matches(const std::string& name, const std::string& pattern) {
  size_t start = 0;
  while (start <= pattern.size()) {
    size_t semi = pattern.find(';', start);
    std::string one = pattern.substr(start, semi == std::string::npos ? std::string::npos : semi - start);
    if (!one.empty() && Wild(name.c_str(), one.c_str())) return true;
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  return false;
}

void FileList::Refresh() {
  entries_.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(Path.empty() ? "." : Path, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (Matches(name, Pattern.empty() ? "*" : Pattern)) entries_.push_back(name);
  }
  std::sort(entries_.begin(), entries_.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
  });
}

}  // namespace qv
