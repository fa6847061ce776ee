#include "platform/profile/Profile.h"

#include <algorithm>
#include <cctype>

#include "platform/files/AtomicFile.h"

namespace qv {

namespace {

// The lines of a text; a line ends at CR LF, CR or LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text, start, i - start);
      ++i;
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
  return lines;
}

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

// Values that the reader would trim or unquote are quoted.
std::string Quoted(const std::string& v) {
  if (v.empty()) return v;
  const char f = v.front(), l = v.back();
  const bool needs = f == ' ' || f == '\t' || l == ' ' || l == '\t' || f == '"' || f == '\'' || l == '"' || l == '\'';
  return needs ? "\"" + v + "\"" : v;
}

// A key or section name that reads back as itself: one line, no "=" or "]", not starting
// with "[" (the line would read as a section), not blank.
bool FitsAsName(const std::string& name) {
  return FitsProfileLine(name) && name.find_first_of("=]") == std::string::npos && !TrimBlanks(name).empty() &&
         TrimBlanks(name).front() != '[';
}

}  // namespace

bool FitsProfileLine(const std::string& value) { return value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

std::string ProfileValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& defaultText) {
  bool inSection = false;
  for (const std::string& line : Lines(text)) {
    std::string name, k, v;
    if (SectionOf(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, k, v) && SameName(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return v;
    }
  }
  return defaultText;
}

std::string ProfileWithValues(const std::string& text, const std::string& section, const ProfileValues& values) {
  std::vector<std::string> lines = Lines(text);
  std::vector<bool> written(values.size(), false);

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
        lines[i] = values[j].first + "=" + Quoted(values[j].second);
        written[j] = true;
        break;
      }
    }
  }
  std::vector<std::string> missing;
  for (size_t j = 0; j < values.size(); ++j)
    if (!written[j]) missing.push_back(values[j].first + "=" + Quoted(values[j].second));
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
  return out;
}

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              int size, const std::string& file) {
  if (size <= 0) return {};
  std::string result = ReadProfileString(section, key, defaultText, file);
  if (static_cast<int>(result.size()) > size - 1) result.resize(size - 1);
  return result;
}

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              const std::string& file) {
  std::string content;
  if (!files::ReadWholeFile(file, content)) return defaultText;
  return ProfileValue(content, section, key, defaultText);
}

bool WriteProfileStrings(const std::string& section, const ProfileValues& values, const std::string& file,
                         std::string* error) {
  auto refuse = [&](const std::string& why) {
    if (error) *error = "Unable to write file " + file + ": " + why;
    return false;
  };
  if (!FitsAsName(section)) return refuse("the section name \"" + section + "\" cannot stand in a line");
  for (const auto& [key, value] : values) {
    if (!FitsAsName(key)) return refuse("the key \"" + key + "\" cannot stand in a line");
    if (!FitsProfileLine(value)) return refuse("the value of " + key + " holds a line break");
  }
  std::string content;
  switch (files::ReadFileIfAny(file, content)) {
    case files::ReadResult::Read:
      break;
    case files::ReadResult::Missing:
      content.clear();
      break;
    case files::ReadResult::Unreadable:
    case files::ReadResult::TooLarge:
      return refuse("the file cannot be read, so it is left as it is");
  }
  return files::WriteFileAtomic(file, ProfileWithValues(content, section, values), error);
}

}  // namespace qv
