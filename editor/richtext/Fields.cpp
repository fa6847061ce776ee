// What a field without a stored result shows, from its instruction.
#include <cctype>

#include "editor/richtext/CodePage.h"
#include "editor/richtext/Document.h"
#include "editor/richtext/TextCodec.h"

namespace qv::richtext {

namespace {

// The words of an instruction: blanks apart, a quoted word as one without its quotes.
std::vector<std::string> Words(const std::string& instruction) {
  std::vector<std::string> words;
  for (size_t i = 0; i < instruction.size() && words.size() < 32;) {
    if (instruction[i] == ' ' || instruction[i] == '\t') {
      ++i;
      continue;
    }
    std::string w;
    if (instruction[i] == '"') {
      size_t end = instruction.find('"', i + 1);
      if (end == std::string::npos) end = instruction.size();
      w = instruction.substr(i + 1, end - i - 1);
      i = end + 1;
    } else {
      while (i < instruction.size() && instruction[i] != ' ' && instruction[i] != '\t') w += instruction[i++];
    }
    words.push_back(std::move(w));
  }
  return words;
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A character number as Word writes it: decimal, or hexadecimal after "0x".
long long Number(const std::string& s) {
  long long n = 0;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  for (size_t k = hex ? 2 : 0; k < s.size() && n < 0x110000; ++k) {
    const char c = s[k];
    int digit = c >= '0' && c <= '9' ? c - '0' : hex && std::isxdigit(static_cast<unsigned char>(c)) ? std::toupper(c) - 'A' + 10 : -1;
    if (digit < 0) return -1;
    n = n * (hex ? 16 : 10) + digit;
  }
  return n;
}

}  // namespace

std::string FieldValue(const std::string& instruction) {
  const std::vector<std::string> words = Words(instruction);
  if (words.empty()) return {};
  const std::string name = Upper(words[0]);
  if (name == "PAGE" || name == "NUMPAGES" || name == "SECTIONPAGES") return "1";
  if (name != "SYMBOL" || words.size() < 2) return {};
  const long long n = Number(words[1]);
  if (n <= 0 || n >= 0x110000) return {};
  std::string font;
  bool unicode = false;
  for (size_t k = 2; k < words.size(); ++k) {
    const std::string w = Upper(words[k]);
    if (w == "\\F" && k + 1 < words.size()) font = words[++k];
    if (w == "\\U") unicode = true;
  }
  char32_t c = char32_t(n);
  if (!unicode && n < 256) {
    int cp = codec::CodePageOfFont(font, 0);
    codec::CodePageDecoder decoder;
    c = decoder.Byte(cp != 0 ? cp : 1252, uint8_t(n));
  }
  if (c < 0x20) return {};
  std::string out;
  codec::AppendUtf8(out, c);
  return out;
}

}  // namespace qv::richtext
