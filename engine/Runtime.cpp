#include "engine/Runtime.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qv {

double TextValue(std::string_view text) {
  // Gather the characters that matter, skipping blanks, TABs and line feeds.
  std::string s;
  s.reserve(text.size());
  for (char ch : text)
    if (ch != ' ' && ch != '\t' && ch != '\n') s += ch;
  size_t i = 0;
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    double v = 0;
    bool any = false;
    for (i = 2; i < s.size(); ++i) {
      int d;
      char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
      if (c >= '0' && c <= '9') d = c - '0';
      else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else break;
      if (d >= base) break;
      v = v * base + d;
      any = true;
    }
    return any && std::isfinite(v) ? v : 0;
  }
  std::string num;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
  bool digits = false;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    num += s[i++];
    digits = true;
  }
  if (i < s.size() && s[i] == '.') {
    num += s[i++];
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      num += s[i++];
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = i + 1;
    std::string ex = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ex += s[j++];
    bool exDigits = false;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
      ex += s[j++];
      exDigits = true;
    }
    if (exDigits) num += ex;
  }
  const char* b = num.c_str();
  if (*b == '+') ++b;
  double v = 0;
  auto r = std::from_chars(b, num.c_str() + num.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large reads as 0; too small underflows to 0 as well.
    return 0;
  }
  if (r.ec != std::errc() || !std::isfinite(v)) return 0;
  return v;
}

namespace {
// Shortest text of `v` with at most `sig` significant digits, in plain or exponent form.
std::string Significant(double v, int sig, bool& exponent) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", sig - 1, v);
  // buf: d.ddddde[+-]xx
  std::string s(buf);
  size_t e = s.find('e');
  std::string mant = s.substr(0, e);
  int exp = std::atoi(s.c_str() + e + 1);
  bool neg = mant[0] == '-';
  if (neg) mant.erase(0, 1);
  std::string digits;
  for (char c : mant)
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  exponent = exp >= 15 || exp < -4;
  if (exponent) {
    out = digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char eb[16];
    std::snprintf(eb, sizeof eb, "E%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
    out += eb;
  } else if (exp >= 0) {
    if (static_cast<int>(digits.size()) <= exp + 1) {
      out = digits + std::string(exp + 1 - digits.size(), '0');
    } else {
      out = digits.substr(0, exp + 1) + "." + digits.substr(exp + 1);
    }
  } else {
    out = "0." + std::string(-exp - 1, '0') + digits;
  }
  return (neg ? "-" : "") + out;
}
}  // namespace

std::string GeneralNumber(double v) {
  if (!std::isfinite(v) || v == 0) return "0";
  bool ex;
  return Significant(v, 15, ex);
}

std::string GeneralNumber(float v) {
  if (!std::isfinite(v) || v == 0) return "0";
  bool ex;
  return Significant(static_cast<double>(v), 7, ex);
}

std::string StrNum(double v) {
  std::string g = GeneralNumber(v);
  // No zero before the point: "0.5" -> ".5", "-0.5" -> "-.5".
  if (g.rfind("0.", 0) == 0) g.erase(0, 1);
  else if (g.rfind("-0.", 0) == 0) g.erase(1, 1);
  return (g[0] == '-') ? g : " " + g;
}

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return 0;
  return std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
}

int16_t ToInt16(double v) {
  double r = RoundHalfEven(v);
  if (r > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (r < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(r);
}

int32_t ToInt32(double v) {
  double r = RoundHalfEven(v);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

int64_t IntDiv(double a, double b) {
  double x = RoundHalfEven(a), y = RoundHalfEven(b);
  if (y == 0) return 0;
  double q = std::trunc(x / y);
  if (q > 9.2e18 || q < -9.2e18) return 0;
  return static_cast<int64_t>(q);
}

// Placeholder until the full pattern formatter lands: plain two decimals.
std::string Format(double v, std::string_view pattern) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

}  // namespace qv
