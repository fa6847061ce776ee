#include "engine/NumText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "engine/Runtime.h"

namespace qv {

namespace {

// A working copy of a short text on the stack; long texts go to the heap.
class Scratch {
 public:
  explicit Scratch(std::string_view text) {
    if (text.size() <= sizeof small_) {
      std::copy(text.begin(), text.end(), small_);
      p_ = small_;
    } else {
      big_.assign(text);
      p_ = big_.data();
    }
    n_ = text.size();
  }
  // Blanks the first `c`; true when there was one.
  bool BlankFirst(char c) {
    for (size_t i = 0; i < n_; ++i)
      if (p_[i] == c) {
        p_[i] = ' ';
        return true;
      }
    return false;
  }
  void BlankEvery(char c) {
    for (size_t i = 0; i < n_; ++i)
      if (p_[i] == c) p_[i] = ' ';
  }
  std::string_view View() const { return {p_, n_}; }

 private:
  char small_[128];
  std::string big_;
  char* p_ = nullptr;
  size_t n_ = 0;
};

inline bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

double ParseAmountText(std::string_view text) {
  Scratch s(text);
  s.BlankFirst('$');
  s.BlankEvery(',');
  bool open = s.BlankFirst('(');
  bool close = s.BlankFirst(')');
  double v = s.BlankFirst('%') ? TextValue(s.View()) / 100 : TextValue(s.View());
  if (open && close) v = -v;
  return v == 0 ? 0.0 : v;
}

double ParseAmountText(const std::string* text) { return text ? ParseAmountText(std::string_view(*text)) : 0.0; }

namespace {

// The value of a text the strict readers have blanked: false when it is not one number as a
// whole. A number out of a double's range upwards is an infinity of its sign.
bool WholeNumber(std::string_view original, std::string_view t, double& v) {
  if (!IsNumberText(t)) return false;
  // Nothing at all is 0; marks without a number ("$", "%", "()") are no number.
  auto blank = [](std::string_view x) { return x.find_first_not_of(" \t\n") == std::string_view::npos; };
  if (blank(t) && !blank(original)) return false;
  v = TextValue(t);
  if (v != 0) return true;
  // TextValue reads a number out of range as 0: a nonzero digit before an exponent that is
  // not negative means it was too large, not too small.
  bool nonzero = false, negative = false;
  size_t i = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '-' && !nonzero) negative = true;
    if (c >= '1' && c <= '9') nonzero = true;
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') break;
  }
  if (!nonzero) return true;
  for (++i; i < t.size(); ++i)
    if (t[i] == '-') return true;
  v = negative ? -HUGE_VAL : HUGE_VAL;
  return true;
}

}  // namespace

bool ReadAmountText(std::string_view text, double& v) {
  Scratch s(text);
  s.BlankFirst('$');
  s.BlankEvery(',');
  const bool open = s.BlankFirst('(');
  const bool close = s.BlankFirst(')');
  const bool percent = s.BlankFirst('%');
  double r = 0;
  if (!WholeNumber(text, s.View(), r)) return false;
  if (percent) r /= 100;
  if (open && close) r = -r;
  v = r == 0 ? 0.0 : r;
  return true;
}

bool ReadMoneyText(std::string_view text, double& v) {
  Scratch s(text);
  s.BlankFirst('$');
  s.BlankEvery(',');
  double r = 0;
  if (!WholeNumber(text, s.View(), r)) return false;
  v = r == 0 ? 0.0 : r;
  return true;
}

bool IsDealValue(double v) { return std::isfinite(v) && std::fabs(v) < kMaxDealAmount; }

double ParseMoneyText(std::string_view text) {
  Scratch s(text);
  s.BlankFirst('$');
  s.BlankEvery(',');
  return TextValue(s.View());
}

double ParseMoneyText(const std::string* text) { return text ? ParseMoneyText(std::string_view(*text)) : 0.0; }

std::string PadRight(std::string_view text, int16_t width) {
  if (text.empty()) return {};
  size_t chars = 0;
  for (char c : text)
    if (!IsContinuationByte(c)) ++chars;
  std::string out;
  if (width > 0 && chars < static_cast<size_t>(width)) out.assign(static_cast<size_t>(width) - chars, ' ');
  out += text;
  return out;
}

std::string& CleanGridText(std::string& text) {
  size_t w = 0;
  for (size_t r = 0; r < text.size(); ++r) {
    char c = text[r];
    if (c == '\n') continue;
    text[w++] = c == '\r' ? ' ' : c;
  }
  text.resize(w);
  return text;
}

void StripLineBreaks(std::string& text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
             text.end());
}

std::string WrapText(int16_t width, std::string_view text, std::string_view prefix) {
  std::string t(text);
  if (width < 1) return t;
  // Positions count from 1, as t[p - 1]. B is where the last prefix starts (0 before the
  // first break); candidates for the next break start after that prefix, at cStart.
  const size_t w = static_cast<size_t>(width);
  const size_t prefixRoom = std::max<size_t>(prefix.size(), 1);
  size_t B = 0, cStart = 1;
  for (;;) {
    const size_t E = std::max(B + w, cStart);  // last position of this line's window
    if (t.size() <= E) break;                  // the rest fits
    size_t brk = 0;
    for (size_t p = E; p >= cStart; --p)
      if (t[p - 1] == ' ') {
        brk = p;
        break;
      }
    const size_t lineEnd = brk ? brk - 1 : E;  // the line is cStart..lineEnd
    size_t cr = 0;
    for (size_t p = cStart; p <= lineEnd; ++p)
      if (t[p - 1] == '\r') {
        cr = p;
        break;
      }
    size_t q;
    bool replace;
    if (cr) {
      q = cr + 1;
      replace = t[q - 1] == '\n' || t[q - 1] == ' ';
    } else if (brk) {
      q = brk;
      replace = true;
    } else if (t[E] == ' ') {
      // The line fills the window exactly and a blank follows it: break there.
      q = E + 1;
      replace = true;
    } else {
      // No blank: break after the window, but never inside a UTF-8 character.
      q = E + 1;
      while (q > cStart + 1 && IsContinuationByte(t[q - 1])) --q;
      if (IsContinuationByte(t[q - 1])) {
        q = E + 1;
        while (q <= t.size() && IsContinuationByte(t[q - 1])) ++q;
        if (q > t.size()) break;
      }
      replace = false;
    }
    if (replace) t.replace(q - 1, 1, prefix);
    else t.insert(q - 1, prefix);
    B = q;
    cStart = q + prefixRoom;
  }
  return t;
}

bool ParseTaxRateText(std::string_view text, double& rate) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.back() == '%') {
    text.remove_suffix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  }
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) return false;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v < 0 || v > 100) return false;
  rate = v;
  return true;
}

}  // namespace qv
