#include "reports/RtfText.h"

#include <algorithm>
#include <cstdint>

namespace qv::reports {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// True when the backslash run that ends at text[end - 1] has odd length.
bool OddBackslashRunBefore(std::string_view text, size_t end) {
  size_t n = 0;
  while (end > 0 && text[end - 1] == '\\') {
    ++n;
    --end;
  }
  return n % 2 == 1;
}

void AppendHexByte(std::string& out, unsigned b) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[(b >> 4) & 0xF];
  out += kHex[b & 0xF];
}

void AppendUnicodeUnit(std::string& out, unsigned unit) {
  // RTF writes \u with a signed 16-bit number and one fallback character (\uc1).
  const int n = unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
  out += "\\u";
  out += std::to_string(n);
  out += '?';
}

// Decodes one UTF-8 character at text[i]; returns its length (0 when the bytes there are not
// a valid, shortest-form character).
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  size_t len;
  uint32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string EscapeRtf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      switch (c) {
        case '\\': out += "\\\\"; break;
        case '{': out += "\\{"; break;
        case '}': out += "\\}"; break;
        case '\t': out += "\\tab "; break;
        case '\r':
          out += "\\line ";
          if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
          break;
        case '\n': out += "\\line "; break;
        default:
          if (c >= 0x20 && c != 0x7F) out += static_cast<char>(c);
          break;
      }
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      // Not UTF-8: most likely a Windows-1252 text of an older file; keep the byte as such.
      AppendHexByte(out, c);
      ++i;
      continue;
    }
    i += len;
    if (cp < 0xA0) continue;  // C1 control characters
    if (cp <= 0xFF) {
      AppendHexByte(out, cp);
    } else if (cp <= 0xFFFF) {
      AppendUnicodeUnit(out, cp);
    } else {
      const uint32_t v = cp - 0x10000;
      AppendUnicodeUnit(out, 0xD800 + (v >> 10));
      AppendUnicodeUnit(out, 0xDC00 + (v & 0x3FF));
    }
  }
  return out;
}

bool EndsWithLoneBackslash(std::string_view text) { return OddBackslashRunBefore(text, text.size()); }

bool EndsOpen(std::string_view s) {
  const size_t n = s.size();
  if (n == 0) return false;
  if (OddBackslashRunBefore(s, n)) return true;  // a lone "\"
  // "\'" or "\'h": the two hex digits are not complete.
  if (s[n - 1] == '\'' && OddBackslashRunBefore(s, n - 1)) return true;
  if (n >= 2 && IsHex(s[n - 1]) && s[n - 2] == '\'' && OddBackslashRunBefore(s, n - 2)) return true;
  // A control word: "\" letters, then an optional "-" and digits, up to the end. A word
  // has at most kMaxControlWord letters and its parameter as many digits at most: a longer
  // run is text, and the scan back never goes further (a long value stays linear to merge).
  size_t p = n;
  while (p > 0 && n - p < kMaxControlWord && IsDigit(s[p - 1])) --p;
  if (p > 0 && IsDigit(s[p - 1])) return false;
  if (p > 0 && s[p - 1] == '-') --p;
  size_t q = p;
  while (q > 0 && p - q < kMaxControlWord && IsLetter(s[q - 1])) --q;
  if (q > 0 && IsLetter(s[q - 1])) return false;
  return q < p && q > 0 && s[q - 1] == '\\' && OddBackslashRunBefore(s, q);
}

void AppendRtf(std::string& out, std::string_view piece) {
  if (piece.empty()) return;
  if (EndsOpen(out)) out += ' ';
  out.append(piece);
}

std::string GroupMarks(std::string_view markup) {
  std::string out;
  for (size_t i = 0; i < markup.size(); ++i) {
    const char c = markup[i];
    if (c == '\\') {
      ++i;  // the escaped character, whatever it is, is not a group mark
    } else if (c == '{' || c == '}') {
      out += c;
    }
  }
  return out;
}

std::string PlainText(std::string_view markup) {
  std::string out;
  for (size_t i = 0; i < markup.size(); ++i) {
    const char c = markup[i];
    if (c == '{' || c == '}') continue;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 >= markup.size()) break;
    const char next = markup[i + 1];
    if (IsLetter(next)) {
      size_t j = i + 1;
      while (j < markup.size() && IsLetter(markup[j])) ++j;
      if (j < markup.size() && markup[j] == '-') ++j;
      while (j < markup.size() && IsDigit(markup[j])) ++j;
      if (j < markup.size() && markup[j] == ' ') ++j;
      i = j - 1;
    } else if (next == '\'') {
      i = std::min(markup.size(), i + 4) - 1;
    } else {
      if (next == '{' || next == '}' || next == '\\') out += next;
      ++i;
    }
  }
  return out;
}

bool BracesBalanced(std::string_view rtf) {
  long depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '\\') {
      ++i;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      if (depth == 0) return false;
      --depth;
    }
  }
  return depth == 0;
}

std::string StripTemplateLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      ++i;
      continue;
    }
    // A run of line breaks.
    while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
    if (EndsWithLoneBackslash(out)) {
      out += "par ";  // "\" + line break is a paragraph mark
    } else if (EndsOpen(out)) {
      out += ' ';  // the line break ended the control word
    }
  }
  return out;
}

}  // namespace qv::reports
