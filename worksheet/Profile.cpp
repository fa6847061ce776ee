#include "worksheet/Profile.h"

#include <algorithm>
#include <cctype>

#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"

namespace qv {

namespace {

// The text without its leading and trailing spaces and tabs.
std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The section name of a "[name]" line, or false.
bool SectionOf(const std::string& line, std::string& name) {
  std::string t = TrimBlanks(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = TrimBlanks(t.substr(1, close - 1));
  return true;
}

// The key and value of a "key=value" line, or false.
bool KeyOf(const std::string& line, std::string& key, std::string& value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = TrimBlanks(line.substr(0, eq));
  value = TrimBlanks(line.substr(eq + 1));
  return !key.empty();
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              int size, const std::string& file) {
  if (size <= 0) return {};
  std::string result = ReadProfileString(section, key, defaultText, file);
  if (static_cast<int>(result.size()) > size - 1) result.resize(size - 1);
  return result;
}

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              const std::string& file) {
  std::string result = defaultText;
  std::string content;
  if (files::ReadWholeFile(file, content)) {
    bool inSection = false;
    for (const std::string& line : SplitLines(content)) {
      std::string name, k, v;
      if (SectionOf(line, name)) {
        inSection = SameName(name, section);
      } else if (inSection && KeyOf(line, k, v) && SameName(k, key)) {
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
          v = v.substr(1, v.size() - 2);
        result = v;
        break;
      }
    }
  }
  return result;
}

bool WriteProfileStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values,
                         const std::string& file, std::string* error) {
  std::string content;
  std::vector<std::string> lines;
  if (files::ReadWholeFile(file, content)) lines = SplitLines(content);
  std::vector<bool> written(values.size(), false);
  // Values that the reader would trim or unquote are quoted.
  auto quoted = [](const std::string& v) {
    if (v.empty()) return v;
    const char f = v.front(), l = v.back();
    const bool needs = f == ' ' || f == '\t' || l == ' ' || l == '\t' || f == '"' || f == '\'' || l == '"' || l == '\'';
    return needs ? "\"" + v + "\"" : v;
  };

  // Index just past the last line of the wanted section (npos when there is none).
  size_t sectionEnd = std::string::npos;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name, k, v;
    if (SectionOf(lines[i], name)) {
      inSection = SameName(name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    sectionEnd = i + 1;
    if (!KeyOf(lines[i], k, v)) continue;
    for (size_t j = 0; j < values.size(); ++j) {
      if (!written[j] && SameName(k, values[j].first)) {
        lines[i] = values[j].first + "=" + quoted(values[j].second);
        written[j] = true;
        break;
      }
    }
  }
  std::vector<std::string> missing;
  for (size_t j = 0; j < values.size(); ++j)
    if (!written[j]) missing.push_back(values[j].first + "=" + quoted(values[j].second));
  if (sectionEnd == std::string::npos) {
    if (!lines.empty() && !TrimBlanks(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.insert(lines.end(), missing.begin(), missing.end());
  } else {
    // New keys go after the section's last non-empty line.
    size_t at = sectionEnd;
    while (at > 0 && TrimBlanks(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), missing.begin(), missing.end());
  }
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return files::WriteFileAtomic(file, out, error);
}

}  // namespace qv
