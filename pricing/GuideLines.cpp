// Price-guide line parsing, amount codes, the year filter and the vehicle-list entry.
#include "pricing/GuideLines.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "engine/NumText.h"
#include "engine/Runtime.h"

namespace qv::pricing {

double GuideNumber(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  const size_t start = i;
  if (i < field.size() && field[i] == '-') ++i;
  bool digits = false, point = false;
  while (i < field.size()) {
    const char c = field[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    ++i;
  }
  if (!digits) return 0;
  double v = 0;
  const char* first = field.data() + start;
  const auto [ptr, ec] = std::from_chars(first, field.data() + i, v);
  if (ec != std::errc() || !std::isfinite(v) || v == 0) return 0;
  return v;
}

namespace {

// The text before the next "|"; the line keeps what follows it. Without a "|" the field is
// the whole rest and the line becomes empty.
std::string TakeField(std::string& line) {
  const size_t bar = line.find('|');
  std::string field;
  if (bar == std::string::npos) {
    field.swap(line);
    line.clear();
  } else {
    field = line.substr(0, bar);
    line.erase(0, bar + 1);
  }
  return field;
}

// The n-th field (1-based) of a line without consuming it.
std::string_view FieldOf(std::string_view line, int n) {
  size_t start = 0;
  for (int i = 1; i < n; ++i) {
    const size_t bar = line.find('|', start);
    if (bar == std::string_view::npos) return {};
    start = bar + 1;
  }
  const size_t end = line.find('|', start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

void ParseManuf(std::string& line, std::string& name1, std::string& year, std::string& name2, double& dest,
                double& extra) {
  name1.clear();
  year.clear();
  name2.clear();
  dest = 0;
  extra = 0;
  if (line.empty()) return;
  name1 = TakeField(line);
  year = TakeField(line);
  name2 = TakeField(line);
  dest = GuideNumber(TakeField(line));
  extra = GuideNumber(line);
}

void ParseModel(std::string& line, std::string& name, double& key, double& typeRecord) {
  name.clear();
  key = 0;
  typeRecord = 0;
  if (line.empty()) return;
  name = TakeField(line);
  key = GuideNumber(TakeField(line));
  typeRecord = GuideNumber(line);
}

void ParseType(std::string& line, std::string& name, double& invoice, double& msrp, double& key, double& fifth) {
  name.clear();
  invoice = 0;
  msrp = 0;
  key = 0;
  fifth = 0;
  if (line.empty()) return;
  name = TakeField(line);
  invoice = GuideNumber(TakeField(line));
  msrp = GuideNumber(TakeField(line));
  key = GuideNumber(TakeField(line));
  fifth = GuideNumber(line);
}

double ModelLineKey(const std::string& line) { return GuideNumber(FieldOf(line, 2)); }
double TypeLineKey(const std::string& line) { return GuideNumber(FieldOf(line, 4)); }

void StripTags(std::string& text) {
  if (text.size() <= 6) {
    text.clear();
    return;
  }
  text = text.substr(3, text.size() - 6);
}

bool HasTag(std::string_view name) {
  const std::string t = TrimRight(name);
  return t.find("<B>") != std::string::npos || t.find("<D>") != std::string::npos;
}

bool IsHeadingCode(double invoice) { return invoice == kHeadingCode || invoice == kHeadingCodeAlt; }

std::string AmountText(double value) {
  if (value == kHeadingCode || value == kHeadingCodeAlt) return std::string(11, ' ');
  if (value == kNotAvailableCode) return "N/A";
  return GeneralNumber(value);
}

bool YearFilter::Passes(std::string_view year) const {
  return (y2000 && year.find("00") != std::string_view::npos) ||
         (y1999 && year.find("999") != std::string_view::npos) ||
         (y1998 && year.find('8') != std::string_view::npos);
}

std::string MakeListEntry(const std::string& name1, const std::string& year, const std::string& name2, double dest,
                          int64_t lineNumber) {
  std::string head = year + " " + name1 + " " + name2;
  head.resize(36, ' ');
  head.append(50, ' ');
  head += PadRight(GeneralNumber(dest), 4);
  head += PadRight(std::to_string(lineNumber), 4);
  return head;
}

namespace {

// The last four characters of `s` (all of it when shorter), and `s` without them.
std::string_view CutLast4(std::string_view& s) {
  const size_t n = s.size() < 4 ? s.size() : 4;
  std::string_view tail = s.substr(s.size() - n);
  s.remove_suffix(n);
  return tail;
}

void TrimRightView(std::string_view& s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
}

}  // namespace

DecodedEntry DecodeListEntry(std::string_view entry) {
  DecodedEntry d;
  std::string_view s = entry;
  d.lineNumber = TextValue(CutLast4(s));
  TrimRightView(s);
  d.dest = TextValue(CutLast4(s));
  TrimRightView(s);
  d.description = std::string(s);
  return d;
}

size_t RowCut(std::string_view text) {
  if (text.size() <= kCellLimit) return text.size();
  const size_t blank = text.rfind(' ', kCellLimit - 1);
  return blank == std::string_view::npos ? kCellLimit : blank + 1;
}

int TypeAheadIndex(const std::vector<std::string>& entries, char key, int current) {
  const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].size() >= 6 && entries[i][5] == up) return static_cast<int>(i);
  }
  return current;
}

}  // namespace qv::pricing
