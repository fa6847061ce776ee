#include "engine/Runtime.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>

namespace qv {

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Index of the next character at or after i that is not skipped by the leading-number rule.
inline size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && IsSkipped(s[i])) ++i;
  return i;
}

struct LeadingNumber {
  double value = 0;
  size_t end = 0;  // index just after the last character that belongs to the number
};

// The leading-number rule of TextValue. `end` tells how far the number reached, so that
// IsNumberText can see whether anything follows it.
LeadingNumber ReadLeadingNumber(std::string_view s) {
  LeadingNumber r;
  size_t i = SkipBlanks(s, 0);

  // "&H" and "&O": hexadecimal and octal integers.
  if (i < s.size() && s[i] == '&') {
    size_t j = SkipBlanks(s, i + 1);
    if (j < s.size()) {
      char k = s[j];
      int base = (k == 'H' || k == 'h') ? 16 : (k == 'O' || k == 'o') ? 8 : 0;
      if (base) {
        double v = 0;
        bool any = false;
        size_t end = i;
        for (j = SkipBlanks(s, j + 1); j < s.size(); j = SkipBlanks(s, j + 1)) {
          char c = s[j];
          int d;
          if (IsDigit(c)) d = c - '0';
          else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
          else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
          else break;
          if (d >= base) break;
          v = v * base + d;
          any = true;
          end = j + 1;
        }
        if (any && std::isfinite(v)) {
          r.value = v;
          r.end = end;
        }
        return r;
      }
    }
    return r;
  }

  // Mantissa digits go into a fixed buffer; integer digits beyond its room only raise the
  // exponent and fraction digits beyond it cannot change a double.
  constexpr size_t kRoom = 400;
  char buf[kRoom + 32];
  size_t n = 0;
  long extraExp = 0;
  bool digits = false;
  size_t end = 0;

  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') buf[n++] = '-';
    i = SkipBlanks(s, i + 1);
  }
  for (; i < s.size() && IsDigit(s[i]); i = SkipBlanks(s, i + 1)) {
    if (n < kRoom) buf[n++] = s[i];
    else ++extraExp;
    digits = true;
    end = i + 1;
  }
  if (i < s.size() && s[i] == '.') {
    if (n < kRoom) buf[n++] = '.';
    bool pointKept = n <= kRoom;
    size_t afterPoint = i + 1;
    for (i = SkipBlanks(s, i + 1); i < s.size() && IsDigit(s[i]); i = SkipBlanks(s, i + 1)) {
      if (n < kRoom && pointKept) buf[n++] = s[i];
      digits = true;
      end = i + 1;
    }
    if (digits && end < afterPoint) end = afterPoint;  // "5." reaches past its point
  }
  if (!digits) return r;

  long exp = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = SkipBlanks(s, i + 1);
    bool negExp = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      negExp = s[j] == '-';
      j = SkipBlanks(s, j + 1);
    }
    bool expDigits = false;
    for (; j < s.size() && IsDigit(s[j]); j = SkipBlanks(s, j + 1)) {
      if (exp < 100000) exp = exp * 10 + (s[j] - '0');
      expDigits = true;
      end = j + 1;
    }
    if (!expDigits) exp = 0;
    if (negExp) exp = -exp;
  }
  exp += extraExp;
  if (exp != 0) {
    buf[n++] = 'e';
    auto er = std::to_chars(buf + n, buf + sizeof buf, exp);
    n = static_cast<size_t>(er.ptr - buf);
  }
  double v = 0;
  auto fr = std::from_chars(buf, buf + n, v);
  r.end = end;
  // Out of range (too large, or too small for a double) reads as 0.
  if (fr.ec != std::errc() || !std::isfinite(v) || v == 0) return r;
  r.value = v;
  return r;
}

// The decimal digits of |v| rounded to `sig` significant digits: digits[0..n) with no
// trailing zeros and the decimal exponent of the first digit (v = d.ddd x 10^exp10).
struct Digits {
  char d[24];
  int n = 0;
  int exp10 = 0;
};

Digits Decompose(double v, int sig) {
  Digits r;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                           sig - 1);
  const char* p = buf;
  const char* e = res.ptr;
  for (; p < e && *p != 'e'; ++p)
    if (IsDigit(*p)) r.d[r.n++] = *p;
  int x = 0;
  if (p < e) std::from_chars(p + (p[1] == '+' ? 2 : 1), e, x);
  r.exp10 = x;
  while (r.n > 1 && r.d[r.n - 1] == '0') --r.n;
  return r;
}

// Plain or exponent text of a nonzero finite v with `sig` significant digits; exponent
// form from 10^expFrom up and below 1E-4. `leadZero` writes "0.5" rather than ".5".
std::string NumberText(double v, int sig, int expFrom, bool leadZero, bool leadBlank) {
  char out[64];
  size_t n = 0;
  if (v < 0) out[n++] = '-';
  else if (leadBlank) out[n++] = ' ';
  Digits g = Decompose(v, sig);
  int e = g.exp10;
  if (e >= expFrom || e < -4) {
    out[n++] = g.d[0];
    if (g.n > 1) {
      out[n++] = '.';
      for (int k = 1; k < g.n; ++k) out[n++] = g.d[k];
    }
    out[n++] = 'E';
    out[n++] = e < 0 ? '-' : '+';
    int a = e < 0 ? -e : e;
    if (a < 10) out[n++] = '0';
    auto r = std::to_chars(out + n, out + sizeof out, a);
    n = static_cast<size_t>(r.ptr - out);
  } else if (e >= 0) {
    for (int k = 0; k <= e; ++k) out[n++] = k < g.n ? g.d[k] : '0';
    if (g.n > e + 1) {
      out[n++] = '.';
      for (int k = e + 1; k < g.n; ++k) out[n++] = g.d[k];
    }
  } else {
    if (leadZero) out[n++] = '0';
    out[n++] = '.';
    for (int k = 0; k < -e - 1; ++k) out[n++] = '0';
    for (int k = 0; k < g.n; ++k) out[n++] = g.d[k];
  }
  return std::string(out, n);
}

}  // namespace

double TextValue(std::string_view text) { return ReadLeadingNumber(text).value; }

bool IsNumberText(std::string_view text) {
  size_t first = SkipBlanks(text, 0);
  if (first == text.size()) return true;
  LeadingNumber r = ReadLeadingNumber(text);
  return r.end > 0 && SkipBlanks(text, r.end) == text.size();
}

std::string GeneralNumber(double v) {
  if (!std::isfinite(v) || v == 0) return "0";
  return NumberText(v, 15, 15, true, false);
}

std::string GeneralNumber(float v) {
  if (!std::isfinite(v) || v == 0) return "0";
  return NumberText(static_cast<double>(v), 7, 7, true, false);
}

std::string StrNum(double v) {
  if (!std::isfinite(v) || v == 0) return " 0";
  return NumberText(v, 15, 15, false, true);
}

// ---- format patterns ---------------------------------------------------------------------

namespace {

// Appends to a fixed buffer and moves to the heap only for very long texts (the digits of
// huge values with grouping).
class Out {
 public:
  void Put(char c) {
    if (n_ < sizeof buf_) buf_[n_++] = c;
    else spill_ += c;
  }
  void Put(const char* p, size_t k) {
    for (size_t i = 0; i < k; ++i) Put(p[i]);
  }
  size_t Size() const { return n_ + spill_.size(); }
  std::string Take() {
    std::string s(buf_, n_);
    s += spill_;
    return s;
  }

 private:
  char buf_[160];
  size_t n_ = 0;
  std::string spill_;
};

// Splits a pattern into up to three sections at ";" outside quotes and after no "\".
int SplitSections(std::string_view pat, std::string_view sec[3]) {
  int count = 0;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < pat.size(); ++i) {
    char c = pat[i];
    if (quoted) {
      if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '\\') {
      ++i;
    } else if (c == ';') {
      if (count < 3) sec[count++] = pat.substr(start, i - start);
      start = i + 1;
      if (count == 3) return 3;
    }
  }
  if (count < 3) sec[count++] = pat.substr(start);
  return count;
}

// A literal of a pattern at s[i]: a quoted text, or the character after a "\". Moves i to the
// literal's last character and gives its text; nothing when s[i] starts no literal.
std::optional<std::string_view> LiteralAt(std::string_view s, size_t& i) {
  if (s[i] == '"') {
    const size_t q = s.find('"', i + 1);
    const size_t stop = q == std::string_view::npos ? s.size() : q;
    const std::string_view text = s.substr(i + 1, stop - i - 1);
    i = stop;
    return text;
  }
  if (s[i] == '\\') {
    if (i + 1 >= s.size()) return std::string_view();
    return s.substr(++i, 1);
  }
  return std::nullopt;
}

struct SectionLayout {
  int intPlaces = 0;     // "#" and "0" before the point
  int intRequired = 0;   // integer places from the first "0" on
  int decPlaces = 0;     // placeholders after the point
  int decRequired = 0;   // decimal places up to the last "0"
  bool point = false;
  bool grouping = false;
  int percent = 0;
  bool HasNumber() const { return intPlaces > 0 || decPlaces > 0 || point; }
};

SectionLayout Analyse(std::string_view s) {
  SectionLayout L;
  int firstZero = -1;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (LiteralAt(s, i)) {
      // a literal holds no placeholder
    } else if (c == '#' || c == '0') {
      if (!L.point) {
        if (c == '0' && firstZero < 0) firstZero = L.intPlaces;
        ++L.intPlaces;
      } else {
        ++L.decPlaces;
        if (c == '0') L.decRequired = L.decPlaces;
      }
    } else if (c == '.') {
      L.point = true;  // a second point is copied as it stands
    } else if (c == ',') {
      if (!L.point && L.intPlaces > 0) L.grouping = true;
    } else if (c == '%') {
      ++L.percent;
    }
  }
  if (firstZero >= 0) L.intRequired = L.intPlaces - firstZero;
  if (L.decPlaces > 30) L.decPlaces = 30;
  if (L.decRequired > 30) L.decRequired = 30;
  return L;
}

// The value laid out for a section: integer digits (without grouping) and decimals.
struct Rendered {
  std::string_view intDigits;  // may be empty
  char frac[32];
  int fracLen = 0;
  bool anyNonZero = false;
};

// Rounds |x| half away from zero at `dec` decimals on its 15 significant digits and fills
// `store` with the integer digits, `r` with the decimals (trailing zeros beyond `decReq`
// dropped).
void Render(double x, const SectionLayout& L, std::string& store, Rendered& r) {
  char d[24];
  int nd = 0;
  int P = 0;  // digits before the point: value = 0.d0d1d2... x 10^P
  if (x != 0) {
    Digits g = Decompose(x, 15);
    std::memcpy(d, g.d, g.n);
    nd = g.n;
    P = g.exp10 + 1;
    int keep = P + L.decPlaces;  // digits kept from the first significant one
    if (keep < 0) {
      nd = 0;
    } else if (keep < nd) {
      bool up = d[keep] >= '5';
      nd = keep;
      if (up) {
        int k = nd - 1;
        while (k >= 0 && d[k] == '9') d[k--] = '0';
        if (k >= 0) {
          ++d[k];
        } else {
          // Every kept digit was 9 (or none was kept): the value gains a digit.
          std::memmove(d + 1, d, nd);
          d[0] = '1';
          ++nd;
          ++P;
        }
      }
    }
    while (nd > 0 && d[nd - 1] == '0') --nd;
    if (nd == 0) P = 0;
  }
  auto digitAt = [&](int idx) { return idx >= 0 && idx < nd ? d[idx] : '0'; };

  // Integer digits.
  store.clear();
  int intCount = P > 0 ? P : 0;
  for (int k = intCount; k < L.intRequired; ++k) store += '0';
  for (int k = 0; k < intCount; ++k) store += digitAt(k);
  r.intDigits = store;

  // Decimals.
  r.fracLen = 0;
  for (int j = 0; j < L.decPlaces; ++j) r.frac[r.fracLen++] = digitAt(P + j);
  while (r.fracLen > L.decRequired && r.frac[r.fracLen - 1] == '0') --r.fracLen;
  r.anyNonZero = nd > 0;
}

void PutInteger(Out& out, std::string_view digits, bool grouping) {
  size_t n = digits.size();
  for (size_t k = 0; k < n; ++k) {
    out.Put(digits[k]);
    size_t left = n - k - 1;
    if (grouping && left > 0 && left % 3 == 0) out.Put(',');
  }
}

// Writes one section with the magnitude x; `minus` puts a "-" in front when a digit shown
// is not zero.
std::string FormatSection(double x, std::string_view s, bool minus) {
  SectionLayout L = Analyse(s);
  Out out;
  if (!L.HasNumber()) {
    // Only characters to copy.
    for (size_t i = 0; i < s.size(); ++i) {
      if (const auto literal = LiteralAt(s, i)) out.Put(literal->data(), literal->size());
      else out.Put(s[i]);
    }
    return out.Take();
  }

  for (int k = 0; k < L.percent; ++k) x *= 100;
  if (!std::isfinite(x)) x = 0;
  std::string intStore;
  Rendered r;
  Render(x, L, intStore, r);
  if (minus && r.anyNonZero) out.Put('-');

  bool intWritten = false, point = false;
  int decIndex = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (const auto literal = LiteralAt(s, i)) {
      out.Put(literal->data(), literal->size());
    } else if ((c == '#' || c == '0') && !point) {
      if (!intWritten) {
        PutInteger(out, r.intDigits, L.grouping);
        intWritten = true;
      }
    } else if (c == '#' || c == '0') {
      if (decIndex < r.fracLen) out.Put(r.frac[decIndex]);
      ++decIndex;
    } else if (c == '.' && !point) {
      if (!intWritten) {
        PutInteger(out, r.intDigits, L.grouping);
        intWritten = true;
      }
      out.Put('.');
      point = true;
    } else if (c == ',' && !point && L.intPlaces > 0 && intWritten) {
      // grouping mark: the digits carry the separators
    } else {
      out.Put(c);
    }
  }
  return out.Take();
}

}  // namespace

std::string Format(double v, std::string_view pattern) {
  if (!std::isfinite(v)) v = 0;
  std::string_view sec[3];
  int count = SplitSections(pattern, sec);
  if (v > 0) return FormatSection(v, sec[0], false);
  if (v < 0) {
    if (count >= 2 && !sec[1].empty()) return FormatSection(-v, sec[1], false);
    return FormatSection(-v, sec[0], true);
  }
  if (count >= 3 && !sec[2].empty()) return FormatSection(0, sec[2], false);
  return FormatSection(0, sec[0], false);
}

// ---- integer conversions ---------------------------------------------------------------

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode: to nearest, ties to even
  return r == 0 ? 0.0 : r;
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
  // 2^63 is exactly representable; anything at or beyond it is clamped.
  if (q >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (q < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(q);
}

// ---- comma-delimited text records --------------------------------------------------

std::string WriteRecord(const std::vector<RecordValue>& values) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) line += ',';
    const RecordValue& v = values[i];
    if (v.isText) {
      line += '"';
      for (char c : v.text) {
        if (c == '"') line += '"';
        line += c;
      }
      line += '"';
    } else {
      line += GeneralNumber(v.number);
    }
  }
  return line;
}

RecordReader::RecordReader(std::string content) : s_(std::move(content)) {}

bool RecordReader::AtEnd() const {
  if (afterComma_) return false;
  for (size_t i = pos_; i < s_.size(); ++i) {
    char c = s_[i];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

bool RecordReader::NextText(std::string& out) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
  // Before a value that no comma announced, blank lines are passed over.
  if (afterComma_) {
    while (pos_ < s_.size() && blank(s_[pos_])) ++pos_;
  } else {
    while (pos_ < s_.size() && (blank(s_[pos_]) || lineEnd(s_[pos_]))) ++pos_;
    if (pos_ >= s_.size()) return false;
  }
  lastStart_ = pos_;
  out.clear();
  if (pos_ < s_.size() && s_[pos_] == '"') {
    ++pos_;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '"') {
        if (pos_ < s_.size() && s_[pos_] == '"') {
          out += '"';
          ++pos_;
          continue;
        }
        break;
      }
      out += c;
    }
    while (pos_ < s_.size() && s_[pos_] != ',' && !lineEnd(s_[pos_])) ++pos_;
  } else {
    size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != ',' && !lineEnd(s_[pos_])) ++pos_;
    size_t stop = pos_;
    while (stop > start && blank(s_[stop - 1])) --stop;
    out.assign(s_, start, stop - start);
  }
  afterComma_ = false;
  if (pos_ < s_.size()) {
    if (s_[pos_] == ',') {
      ++pos_;
      afterComma_ = true;
    } else if (s_[pos_] == '\r') {
      ++pos_;
      if (pos_ < s_.size() && s_[pos_] == '\n') ++pos_;
    } else {
      ++pos_;  // '\n'
    }
  }
  return true;
}

int RecordReader::LineOfLastValue() const {
  int line = 1;
  for (size_t i = 0; i < lastStart_ && i < s_.size(); ++i) {
    if (s_[i] == '\n') ++line;
    else if (s_[i] == '\r' && !(i + 1 < s_.size() && s_[i + 1] == '\n')) ++line;
  }
  return line;
}

bool RecordReader::NextNumber(double& out, bool* isNumber) {
  std::string t;
  if (!NextText(t)) return false;
  if (t == "#TRUE#" || t == "#FALSE#") {
    out = t == "#TRUE#" ? -1 : 0;
    if (isNumber) *isNumber = true;
    return true;
  }
  out = TextValue(t);
  if (isNumber) *isNumber = IsNumberText(t);
  return true;
}

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < content.size()) {
    char c = content[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(content, start, i - start);
      ++i;
      if (c == '\r' && i < content.size() && content[i] == '\n') ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < content.size()) lines.emplace_back(content, start, content.size() - start);
  return lines;
}

std::string Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

std::string TrimRight(std::string_view s) {
  const size_t b = s.find_last_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(0, b + 1));
}

// ---- dates ---------------------------------------------------------------------------

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (and back), after H. Hinnant's
// civil-calendar algorithms.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

Date CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return Date{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr int64_t kSerialBase = 25569;  // serial of 1 January 1970

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

const char* const kMonthNames[12] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};

// Month number of a name in full or cut to at least three letters; 0 when none.
int MonthFromName(std::string_view w) {
  if (w.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    std::string_view name = kMonthNames[m];
    if (w.size() > name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < w.size() && same; ++k) {
      char a = w[k], b = name[k];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      same = a == b;
    }
    if (same) return m + 1;
  }
  return 0;
}

// Tokens of a date text: numbers (with their digit count), words and separators.
struct DateToken {
  enum Kind { Number, Word, Sep } kind;
  int value = 0;
  int width = 0;
  std::string_view text;
  char sep = 0;
};

int FullYear(int y, int width) {
  if (width <= 2) return y < 30 ? 2000 + y : 1900 + y;
  return y;
}

std::optional<Date> MakeDate(int y, int m, int d) {
  if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
    return std::nullopt;
  return Date{y, m, d};
}

}  // namespace

double Date::Serial() const {
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) +
                             kSerialBase);
}

Date Date::FromSerial(double serial) {
  if (!std::isfinite(serial)) serial = 0;
  // Serials outside the dates the old runtime knew (1 January 100 to 31 December 9999) are
  // held at those ends, so the conversion to whole days never leaves the integer range.
  constexpr double kFirstSerial = -657434, kLastSerial = 2958465;
  if (serial < kFirstSerial) serial = kFirstSerial;
  if (serial > kLastSerial) serial = kLastSerial;
  return CivilFromDays(static_cast<int64_t>(std::trunc(serial)) - kSerialBase);
}

std::optional<Date> ParseDateText(std::string_view text) {
  DateToken tok[8];
  int nt = 0;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (nt == 8) return std::nullopt;
    DateToken& t = tok[nt++];
    if (IsDigit(c)) {
      t.kind = DateToken::Number;
      size_t s = i;
      while (i < text.size() && IsDigit(text[i])) {
        if (i - s < 6) t.value = t.value * 10 + (text[i] - '0');
        ++i;
      }
      t.width = static_cast<int>(i - s);
      if (t.width > 4) return std::nullopt;
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      t.kind = DateToken::Word;
      size_t s = i;
      while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') ||
                                 (text[i] >= 'a' && text[i] <= 'z') || text[i] == '.'))
        ++i;
      t.text = text.substr(s, i - s);
      if (!t.text.empty() && t.text.back() == '.') t.text.remove_suffix(1);
    } else if (c == '/' || c == '-' || c == '.' || c == ',') {
      t.kind = DateToken::Sep;
      t.sep = c;
      ++i;
    } else {
      return std::nullopt;
    }
  }

  auto isNum = [&](int k) { return tok[k].kind == DateToken::Number; };
  auto isSep = [&](int k, char c) { return tok[k].kind == DateToken::Sep && tok[k].sep == c; };

  // Numeric: a SEP b SEP c, with one kind of separator.
  if (nt == 5 && isNum(0) && isNum(2) && isNum(4) && tok[1].kind == DateToken::Sep &&
      tok[3].kind == DateToken::Sep && tok[1].sep == tok[3].sep && tok[1].sep != ',') {
    const DateToken &a = tok[0], &b = tok[2], &c = tok[4];
    if (a.width >= 3) return MakeDate(a.value, b.value, c.value);  // year first
    int y = FullYear(c.value, c.width);
    if (a.value > 12 && b.value <= 12) return MakeDate(y, b.value, a.value);
    return MakeDate(y, a.value, b.value);
  }
  // "Month d, yyyy" and "Month d yyyy".
  if ((nt == 3 || nt == 4) && tok[0].kind == DateToken::Word && isNum(1) && isNum(nt - 1) &&
      (nt == 3 || isSep(2, ','))) {
    int m = MonthFromName(tok[0].text);
    if (!m) return std::nullopt;
    return MakeDate(FullYear(tok[nt - 1].value, tok[nt - 1].width), m, tok[1].value);
  }
  // "d Month yyyy" (also "d-Month-yyyy").
  if (nt == 3 && isNum(0) && tok[1].kind == DateToken::Word && isNum(2)) {
    int m = MonthFromName(tok[1].text);
    if (!m) return std::nullopt;
    return MakeDate(FullYear(tok[2].value, tok[2].width), m, tok[0].value);
  }
  if (nt == 5 && isNum(0) && tok[2].kind == DateToken::Word && isNum(4) && isSep(1, '-') &&
      isSep(3, '-')) {
    int m = MonthFromName(tok[2].text);
    if (!m) return std::nullopt;
    return MakeDate(FullYear(tok[4].value, tok[4].width), m, tok[0].value);
  }
  return std::nullopt;
}

std::string FormatDateMDY(const Date& d) {
  char buf[32];
  auto two = [](char* p, int v) {
    p[0] = static_cast<char>('0' + (v / 10) % 10);
    p[1] = static_cast<char>('0' + v % 10);
  };
  two(buf, d.month);
  buf[2] = '/';
  two(buf + 3, d.day);
  buf[5] = '/';
  auto r = std::to_chars(buf + 6, buf + sizeof buf, d.year);
  return std::string(buf, r.ptr);
}

std::string FormatDateLong(const Date& d) {
  std::string s = d.month >= 1 && d.month <= 12 ? kMonthNames[d.month - 1] : "";
  s += ' ';
  s += std::to_string(d.day);
  s += ", ";
  s += std::to_string(d.year);
  return s;
}

Date Today() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

double NowSerial() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  Date d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  return d.Serial() + (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec) / 86400.0;
}

}  // namespace qv
