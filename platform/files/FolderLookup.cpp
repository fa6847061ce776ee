#include "platform/files/FolderLookup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace qv::files {

std::string NormalizeSeparators(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

static bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string ResolveNoCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::string norm = NormalizeSeparators(path);
  std::error_code ec;
  if (fs::exists(norm, ec)) return norm;
  fs::path p(norm);
  fs::path dir = p.parent_path();
  std::string name = p.filename().string();
  fs::path scan = dir.empty() ? fs::path(".") : dir;
  for (fs::directory_iterator it(scan, ec), end; !ec && it != end; it.increment(ec)) {
    if (SameNoCase(it->path().filename().string(), name)) return (dir / it->path().filename()).string();
  }
  return norm;
}

bool FileExistsNoCase(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(ResolveNoCase(path), ec);
}

}  // namespace qv::files
