#include "platform/grid/Workbook.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/files/AtomicFile.h"

namespace qv::grid {

std::string NumberCellText(double v) {
  if (v == 0 || !std::isfinite(v)) return "0";
  // Large enough for the fixed form of every double (up to 309 integer digits, or 324
  // decimals for the smallest subnormal).
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, v);  // shortest round-trip form
  std::string s(buf, res.ptr);
  // Keep plain decimal notation (no exponent) so every reader sees digits and a point.
  if (s.find_first_of("eE") != std::string::npos) {
    res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec == std::errc()) s.assign(buf, res.ptr);
  }
  return s;
}

bool ParsePlainNumber(const std::string& s, double& out) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  size_t e = s.find_last_not_of(' ');
  const char* first = s.data() + b;
  const char* last = s.data() + e + 1;
  if (*first == '+') {
    ++first;
    if (first == last || *first == '-') return false;
  }
  // from_chars also takes "inf", "nan" and hexadecimal-free forms only; the first character
  // must start a number so that words such as "infinity" stay text.
  char c0 = *first == '-' && first + 1 < last ? first[1] : *first;
  if (!(std::isdigit(static_cast<unsigned char>(c0)) || c0 == '.')) return false;
  double v = 0;
  auto res = std::from_chars(first, last, v);
  if (res.ec != std::errc() || res.ptr != last || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// ---- Sheet -------------------------------------------------------------------------

namespace {
std::atomic<uint64_t> g_revision{0};
uint64_t NextRevision() { return g_revision.fetch_add(1, std::memory_order_relaxed) + 1; }
}  // namespace

Sheet::Sheet() : revision_(NextRevision()) {}
Sheet::Sheet(std::string name) : name_(std::move(name)), revision_(NextRevision()) {}
void Sheet::Touch() { revision_ = NextRevision(); }

std::string Sheet::ColText(int col) const {
  if (col < 1 || col > static_cast<int>(headings_.size())) return "";
  return headings_[col - 1];
}

void Sheet::SetColText(int col, const std::string& text) {
  if (col < 1) return;
  if (static_cast<int>(headings_.size()) < col) headings_.resize(col);
  headings_[col - 1] = text;
  Touch();
}

void Sheet::SetMaxRow(int n) {
  if (n < 1) n = 1;
  maxRow_ = n;
  if (static_cast<int>(rows_.size()) > n) rows_.resize(n);
  Touch();
}

int Sheet::LastCol() const {
  int last = 0;
  for (const auto& r : rows_)
    for (int c = static_cast<int>(r.size()); c > last; --c)
      if (r[c - 1].kind != Cell::Kind::Empty) {
        last = c;
        break;
      }
  return last;
}

const Cell* Sheet::CellAt(int row, int col) const {
  if (row < 1 || col < 1 || row > static_cast<int>(rows_.size())) return nullptr;
  const auto& r = rows_[row - 1];
  if (col > static_cast<int>(r.size())) return nullptr;
  return &r[col - 1];
}

Cell& Sheet::At(int row, int col) {
  if (static_cast<int>(rows_.size()) < row) rows_.resize(row);
  auto& r = rows_[row - 1];
  if (static_cast<int>(r.size()) < col) r.resize(col);
  if (row > maxRow_) maxRow_ = row;
  return r[col - 1];
}

std::string Sheet::TextRC(int row, int col) const {
  if (!sums_.empty()) {
    auto f = sums_.find({row, col});
    if (f != sums_.end()) return NumberCellText(SumOf(f->second));
  }
  const Cell* c = CellAt(row, col);
  if (!c) return "";
  switch (c->kind) {
    case Cell::Kind::Text: return c->text;
    case Cell::Kind::Number: return NumberCellText(c->number);
    default: return "";
  }
}

void Sheet::SetTextRC(int row, int col, const std::string& text) {
  if (row < 1 || col < 1) return;
  DropFormula(row, col);
  Cell& c = At(row, col);
  c.kind = text.empty() ? Cell::Kind::Empty : Cell::Kind::Text;
  c.text = text;
  c.number = 0;
  Touch();
}

double Sheet::NumberRC(int row, int col) const {
  if (!sums_.empty()) {
    auto f = sums_.find({row, col});
    if (f != sums_.end()) return SumOf(f->second);
  }
  const Cell* c = CellAt(row, col);
  if (!c) return 0;
  if (c->kind == Cell::Kind::Number) return c->number;
  double v = 0;
  if (c->kind == Cell::Kind::Text && ParsePlainNumber(c->text, v)) return v;
  return 0;
}

double Sheet::SumOf(const std::array<int, 4>& range) const {
  int r2 = std::min<int>(range[2], static_cast<int>(rows_.size()));
  double sum = 0;
  for (int r = std::max(1, range[0]); r <= r2; ++r) {
    const auto& row = rows_[r - 1];
    int c2 = std::min<int>(range[3], static_cast<int>(row.size()));
    for (int c = std::max(1, range[1]); c <= c2; ++c) {
      const Cell& cell = row[c - 1];
      if (cell.kind == Cell::Kind::Number && !sums_.count({r, c})) sum += cell.number;
    }
  }
  return sum;
}

void Sheet::SetSumFormula(int row, int col, int r1, int c1, int r2, int c2) {
  if (row < 1 || col < 1) return;
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  Cell& c = At(row, col);
  c.kind = Cell::Kind::Number;
  c.number = 0;
  c.text.clear();
  sums_[{row, col}] = {r1, c1, r2, c2};
  Touch();
}

void Sheet::SetNumberRC(int row, int col, double v) {
  if (row < 1 || col < 1) return;
  DropFormula(row, col);
  Cell& c = At(row, col);
  c.kind = Cell::Kind::Number;
  c.number = std::isfinite(v) ? v : 0;  // a grid cell never holds NaN or infinity
  c.text.clear();
  Touch();
}

bool Sheet::IsNumber(int row, int col) const {
  if (IsFormula(row, col)) return true;
  const Cell* c = CellAt(row, col);
  return c && c->kind == Cell::Kind::Number;
}

bool Sheet::IsEmpty(int row, int col) const {
  const Cell* c = CellAt(row, col);
  return !c || c->kind == Cell::Kind::Empty;
}

void Sheet::SetCell(int row, int col, const Cell& cell) {
  if (row < 1 || col < 1) return;
  DropFormula(row, col);
  At(row, col) = cell;
  Touch();
}

void Sheet::ClearRange(int r1, int c1, int r2, int c2) {
  if (r1 == -1) r1 = 1;
  if (r2 == -1) r2 = static_cast<int>(rows_.size());
  if (c1 == -1) c1 = 1;
  for (auto it = sums_.begin(); it != sums_.end();) {
    auto [r, c] = it->first;
    if (r >= r1 && r <= r2 && c >= c1 && (c2 == -1 || c <= c2))
      it = sums_.erase(it);
    else
      ++it;
  }
  for (int r = std::max(1, r1); r <= r2 && r <= static_cast<int>(rows_.size()); ++r) {
    auto& row = rows_[r - 1];
    int last = c2 == -1 ? static_cast<int>(row.size()) : std::min<int>(c2, static_cast<int>(row.size()));
    for (int c = std::max(1, c1); c <= last; ++c) {
      Cell& cell = row[c - 1];
      cell.kind = Cell::Kind::Empty;
      cell.text.clear();
      cell.number = 0;
    }
  }
  Touch();
}

void Sheet::ClearAll() {
  rows_.clear();
  sums_.clear();
  Touch();
}

void Sheet::ShiftRowsForDelete(int r1, int r2) {
  int count = r2 - r1 + 1;
  for (auto it = checks_.begin(); it != checks_.end();) {
    if (it->second.row >= r1 && it->second.row <= r2) {
      it = checks_.erase(it);
    } else {
      if (it->second.row > r2) it->second.row -= count;
      ++it;
    }
  }
  if (sums_.empty()) return;
  std::map<std::pair<int, int>, std::array<int, 4>> moved;
  for (const auto& [at, summed] : sums_) {
    std::pair<int, int> pos = at;
    std::array<int, 4> range = summed;
    if (pos.first >= r1 && pos.first <= r2) continue;
    if (pos.first > r2) pos.first -= count;
    // The summed rows shrink by the removed rows they held.
    auto shiftRow = [&](int r) { return r > r2 ? r - count : (r >= r1 ? r1 : r); };
    int a = range[0] >= r1 && range[0] <= r2 ? r1 : shiftRow(range[0]);
    int b = range[2] >= r1 && range[2] <= r2 ? r1 - 1 : shiftRow(range[2]);
    range[0] = a;
    range[2] = b;
    moved[pos] = range;
  }
  sums_ = std::move(moved);
}

void Sheet::ShiftRowsForInsert(int r1, int count) {
  for (auto& [id, cb] : checks_)
    if (cb.row >= r1) cb.row += count;
  if (sums_.empty()) return;
  std::map<std::pair<int, int>, std::array<int, 4>> moved;
  for (const auto& [at, summed] : sums_) {
    std::pair<int, int> pos = at;
    std::array<int, 4> range = summed;
    if (pos.first >= r1) pos.first += count;
    if (range[0] >= r1) range[0] += count;
    if (range[2] >= r1) range[2] += count;
    moved[pos] = range;
  }
  sums_ = std::move(moved);
}

void Sheet::DeleteRange(int r1, int c1, int r2, int c2, int shift) {
  bool allRows = r1 == -1 || r2 == -1;
  if (allRows) {
    r1 = 1;
    r2 = std::max<int>(maxRow_, static_cast<int>(rows_.size()));
  }
  if (r1 < 1) r1 = 1;
  if (r2 < r1) return;
  int count = r2 - r1 + 1;
  if (shift == 3 || c1 == -1 || c2 == -1) {
    // Whole rows: the rows below move up.
    if (r1 <= static_cast<int>(rows_.size())) {
      int end = std::min<int>(r2, static_cast<int>(rows_.size()));
      rows_.erase(rows_.begin() + (r1 - 1), rows_.begin() + end);
    }
    // Check boxes and sum cells in removed rows go; those below move up.
    ShiftRowsForDelete(r1, r2);
    maxRow_ = std::max(1, maxRow_ - std::max(0, std::min(r2, maxRow_) - r1 + 1));
    if (static_cast<int>(rows_.size()) > maxRow_) maxRow_ = static_cast<int>(rows_.size());
  } else {
    // Cells of columns c1..c2 move up; the rows themselves stay.
    if (c1 < 1) c1 = 1;
    int nrows = static_cast<int>(rows_.size());
    for (int c = c1; c <= c2; ++c) {
      for (int r = r1; r <= nrows; ++r) {
        int from = r + count;
        Cell moved;
        if (const Cell* src = CellAt(from, c)) moved = *src;
        if (CellAt(r, c) || moved.kind != Cell::Kind::Empty) At(r, c) = moved;
      }
    }
  }
  Touch();
}

void Sheet::InsertRange(int r1, int c1, int r2, int c2, int shift) {
  if (r1 < 1) r1 = 1;
  if (r2 < r1) r2 = r1;
  int count = r2 - r1 + 1;
  if (shift == 3 || c1 == -1 || c2 == -1) {
    if (r1 <= static_cast<int>(rows_.size()))
      rows_.insert(rows_.begin() + (r1 - 1), count, std::vector<Cell>{});
    ShiftRowsForInsert(r1, count);
    maxRow_ += (r1 <= maxRow_) ? count : 0;
    if (r2 > maxRow_) maxRow_ = r2;
  } else {
    if (c1 < 1) c1 = 1;
    int nrows = static_cast<int>(rows_.size());
    for (int c = c1; c <= c2; ++c) {
      for (int r = nrows + count; r >= r1 + count; --r) {
        Cell moved;
        if (const Cell* src = CellAt(r - count, c)) moved = *src;
        if (CellAt(r, c) || moved.kind != Cell::Kind::Empty) At(r, c) = moved;
      }
      for (int r = r1; r <= r2; ++r)
        if (CellAt(r, c)) At(r, c) = Cell{};
    }
  }
  Touch();
}

void Sheet::SetSelection(int r1, int c1, int r2, int c2) {
  // A rectangle given corner to corner in either order; -1 (all) stays as it is.
  if (r1 != -1 && r2 != -1 && r1 > r2) std::swap(r1, r2);
  if (c1 != -1 && c2 != -1 && c1 > c2) std::swap(c1, c2);
  selR1_ = r1;
  selC1_ = c1;
  selR2_ = r2;
  selC2_ = c2;
}

std::string Sheet::ClipRange(int r1, int c1, int r2, int c2) const {
  if (r1 == -1) r1 = 1;
  if (r2 == -1) r2 = maxRow_;
  if (c1 == -1) c1 = 1;
  if (c2 == -1) c2 = std::max(1, LastCol());
  std::string out;
  bool multi = r2 > r1;
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) {
      if (c > c1) out += '\t';
      out += TextRC(r, c);
    }
    if (multi) out += "\r\n";
  }
  return out;
}

std::string Sheet::Clip() const { return ClipRange(selR1_, selC1_, selR2_, selC2_); }

void Sheet::SetActiveCell(int row, int col) {
  activeRow_ = row;
  activeCol_ = col;
}

void Sheet::SetFontRC(int row, int col, const CellFont& f) {
  if (row < 1 || col < 1) return;
  At(row, col).font = f;
  Touch();
}

CellFont Sheet::FontRC(int row, int col) const {
  const Cell* c = CellAt(row, col);
  return c ? c->font : CellFont{};
}

// Formatting a cell below MaxRow extends MaxRow, as writing it does: every stored cell lies
// within the used rows.
void Sheet::SetSelectionFont(const CellFont& f) {
  for (int r = selR1_; r <= selR2_; ++r)
    for (int c = selC1_; c <= selC2_; ++c) {
      if (r < 1 || c < 1) continue;
      At(r, c).font = f;
    }
  Touch();
}

void Sheet::SetSelectionBold(bool bold) {
  for (int r = selR1_; r <= selR2_; ++r)
    for (int c = selC1_; c <= selC2_; ++c) {
      if (r < 1 || c < 1) continue;
      At(r, c).font.bold = bold;
    }
  Touch();
}

void Sheet::AddCheckBox(int id, int row, int col, const std::string& name) {
  checks_[id] = CheckBoxObject{row, col, 0, name};
  Touch();
}

int Sheet::ObjValue(int id) const {
  auto it = checks_.find(id);
  return it == checks_.end() ? 0 : it->second.value;
}

void Sheet::SetObjValue(int id, int value) {
  auto it = checks_.find(id);
  if (it == checks_.end()) return;
  if (it->second.value != value) {
    it->second.value = value;
    Touch();
  }
}

int Sheet::CheckBoxAt(int row, int col) const {
  for (const auto& [id, cb] : checks_)
    if (cb.row == row && cb.col == col) return id;
  return 0;
}

bool Sheet::SameContent(const Sheet& o) const {
  if (name_ != o.name_ || maxRow_ != o.maxRow_) return false;
  if (headings_.size() != o.headings_.size() || headings_ != o.headings_) return false;
  int rows = std::max(rows_.size(), o.rows_.size());
  int cols = std::max(LastCol(), o.LastCol());
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      const Cell* a = CellAt(r, c);
      const Cell* b = o.CellAt(r, c);
      Cell ea, eb;
      if (!(a ? *a : ea).operator==(b ? *b : eb)) return false;
    }
  return checks_ == o.checks_ && sums_ == o.sums_;
}

// ---- Workbook ----------------------------------------------------------------------

Workbook::Workbook() { sheets_.emplace_back("Sheet1"); }

void Workbook::SetNumSheets(int n) {
  if (n < 1) n = 1;
  while (static_cast<int>(sheets_.size()) < n) sheets_.emplace_back("Sheet" + std::to_string(sheets_.size() + 1));
  sheets_.resize(n);
  if (active_ > n) active_ = n;
}

void Workbook::SetSheet(int n) {
  if (n >= 1 && n <= NumSheets()) active_ = n;
}

namespace {
// The rectangle of the last EditCopy of any workbook.
std::vector<std::vector<Cell>>& CopyBuffer() {
  static std::vector<std::vector<Cell>> buffer;
  return buffer;
}
}  // namespace

void Workbook::EditCopy() {
  auto& copied = CopyBuffer();
  const Sheet& s = ActiveSheetRef();
  copied.clear();
  // Bounds of -1 mean every used row or column.
  int r1 = s.SelStartRow() == -1 ? 1 : s.SelStartRow();
  int r2 = s.SelEndRow() == -1 ? s.MaxRow() : s.SelEndRow();
  int c1 = s.SelStartCol() == -1 ? 1 : s.SelStartCol();
  int c2 = s.SelEndCol() == -1 ? std::max(1, s.LastCol()) : s.SelEndCol();
  for (int r = std::max(1, r1); r <= r2; ++r) {
    std::vector<Cell> row;
    for (int c = std::max(1, c1); c <= c2; ++c) {
      const Cell* cell = s.CellAt(r, c);
      Cell copy = cell ? *cell : Cell{};
      if (s.IsFormula(r, c)) {  // a sum cell is copied as its value
        copy.kind = Cell::Kind::Number;
        copy.number = s.NumberRC(r, c);
      }
      row.push_back(std::move(copy));
    }
    copied.push_back(std::move(row));
  }
}

void Workbook::EditPaste() {
  const auto& copied = CopyBuffer();
  Sheet& s = ActiveSheetRef();
  int r0 = std::max(1, s.SelStartRow()), c0 = std::max(1, s.SelStartCol());
  for (size_t i = 0; i < copied.size(); ++i)
    for (size_t j = 0; j < copied[i].size(); ++j) {
      const Cell& cell = copied[i][j];
      int r = r0 + static_cast<int>(i), c = c0 + static_cast<int>(j);
      if (cell.kind == Cell::Kind::Empty && s.IsEmpty(r, c)) {
        if (r > s.MaxRow()) s.SetMaxRow(r);
        continue;
      }
      s.SetCell(r, c, cell);
    }
}

bool Workbook::SameContent(const Workbook& o) const {
  if (sheets_.size() != o.sheets_.size()) return false;
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (!sheets_[i].SameContent(o.sheets_[i])) return false;
  return bookTexts_ == o.bookTexts_;
}

std::string Workbook::BookText(const std::string& key) const {
  auto it = bookTexts_.find(key);
  return it == bookTexts_.end() ? std::string() : it->second;
}

void Workbook::SetBookText(const std::string& key, const std::string& value) {
  if (value.empty())
    bookTexts_.erase(key);
  else
    bookTexts_[key] = value;
}

namespace {
// JSON strings must be UTF-8. Texts that reached a cell from an older 8-bit file may hold
// single bytes that are not; each such byte is kept as the Latin-1 character of that value
// rather than refused, so a save never fails on one odd character.
std::string ValidUtf8(const std::string& s) {
  auto isCont = [&](size_t i) { return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; };
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    if (b < 0x80) len = 1;
    else if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) len = 3;
    else if (b >= 0xF0 && b <= 0xF4) len = 4;
    bool ok = len > 0;
    for (size_t k = 1; ok && k < len; ++k) ok = isCont(i + k);
    if (ok && len == 3) {
      unsigned char b1 = static_cast<unsigned char>(s[i + 1]);
      ok = !(b == 0xE0 && b1 < 0xA0) && !(b == 0xED && b1 >= 0xA0);  // overlong, surrogates
    } else if (ok && len == 4) {
      unsigned char b1 = static_cast<unsigned char>(s[i + 1]);
      ok = !(b == 0xF0 && b1 < 0x90) && !(b == 0xF4 && b1 >= 0x90);
    }
    if (ok) {
      out.append(s, i, len);
      i += len;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
      ++i;
    }
  }
  return out;
}

nlohmann::json FontJson(const CellFont& f) {
  nlohmann::json j = nlohmann::json::object();
  if (f.bold) j["bold"] = true;
  if (f.italic) j["italic"] = true;
  if (f.underline) j["underline"] = true;
  if (f.strikeout) j["strikeout"] = true;
  if (!f.name.empty()) j["font"] = ValidUtf8(f.name);
  if (f.size != 0) j["size"] = f.size;
  if (f.color != 0) j["color"] = f.color;
  return j;
}

// Reads the attributes written by FontJson; false when one has the wrong type.
bool FontFromJson(const nlohmann::json& j, CellFont& f) {
  auto flag = [&](const char* key, bool& out) {
    if (!j.contains(key)) return true;
    if (!j[key].is_boolean()) return false;
    out = j[key].get<bool>();
    return true;
  };
  if (!flag("bold", f.bold) || !flag("italic", f.italic) || !flag("underline", f.underline) ||
      !flag("strikeout", f.strikeout))
    return false;
  if (j.contains("font")) {
    if (!j["font"].is_string()) return false;
    f.name = j["font"].get<std::string>();
  }
  if (j.contains("size")) {
    if (!j["size"].is_number()) return false;
    f.size = j["size"].get<double>();
    if (!std::isfinite(f.size) || f.size < 0 || f.size > 1000) return false;
  }
  if (j.contains("color")) {
    if (!j["color"].is_number_unsigned() || j["color"].get<uint64_t>() > 0xFFFFFF) return false;
    f.color = static_cast<uint32_t>(j["color"].get<uint64_t>());
  }
  return true;
}

// An integer member within [lo, hi], or false.
bool IntIn(const nlohmann::json& j, int64_t lo, int64_t hi, int& out) {
  if (!j.is_number_integer()) return false;
  int64_t v = j.is_number_unsigned() ? static_cast<int64_t>(std::min<uint64_t>(j.get<uint64_t>(), INT64_MAX))
                                     : j.get<int64_t>();
  if (v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}
}  // namespace

// File format: {"format": "Quorvant workbook", "version": 1,
//   "sheets": [{"name", "headings", "maxRow", "headerHeight"?, "maxCol"?,
//               "cells": [[row, col, value, font?], ...], "checkBoxes": [...]?}],
//   "texts": {key: text}?}
// A cell value is a text, a number (written with enough digits to read back the same
// double), null (an empty cell that carries a font) or {"sum": [r1, c1, r2, c2]}. The font
// object holds only the attributes that differ from the default.
std::string Workbook::ToJson() const {
  using nlohmann::json;
  json doc;
  doc["format"] = kFormatName;
  doc["version"] = kFormatVersion;
  json sheets = json::array();
  for (const auto& s : sheets_) {
    json js;
    js["name"] = ValidUtf8(s.Name());
    json heads = json::array();
    for (const auto& h : s.Headings()) heads.push_back(ValidUtf8(h));
    js["headings"] = std::move(heads);
    js["maxRow"] = s.MaxRow();
    if (s.HeaderHeight() != 0) js["headerHeight"] = s.HeaderHeight();
    if (s.MaxCol() != 0) js["maxCol"] = s.MaxCol();
    json cells = json::array();
    const auto& rows = s.Rows();
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) {
        const Cell& cell = rows[r][c];
        int row = static_cast<int>(r + 1), col = static_cast<int>(c + 1);
        bool plainFont = cell.font == CellFont{};
        auto sum = s.SumFormulas().find({row, col});
        if (cell.kind == Cell::Kind::Empty && plainFont && sum == s.SumFormulas().end()) continue;
        json jc = json::array({row, col});
        if (sum != s.SumFormulas().end())
          jc.push_back(json{{"sum", json::array({sum->second[0], sum->second[1], sum->second[2], sum->second[3]})}});
        else if (cell.kind == Cell::Kind::Number)
          jc.push_back(cell.number);
        else if (cell.kind == Cell::Kind::Text)
          jc.push_back(ValidUtf8(cell.text));
        else
          jc.push_back(nullptr);
        if (!plainFont) jc.push_back(FontJson(cell.font));
        cells.push_back(std::move(jc));
      }
    js["cells"] = std::move(cells);
    if (!s.CheckBoxes().empty()) {
      json cbs = json::array();
      for (const auto& [id, cb] : s.CheckBoxes())
        cbs.push_back(json{{"id", id}, {"row", cb.row}, {"col", cb.col}, {"value", cb.value}, {"name", ValidUtf8(cb.name)}});
      js["checkBoxes"] = std::move(cbs);
    }
    sheets.push_back(std::move(js));
  }
  doc["sheets"] = std::move(sheets);
  if (!bookTexts_.empty()) {
    json texts = json::object();
    for (const auto& [k, v] : bookTexts_) texts[ValidUtf8(k)] = ValidUtf8(v);
    doc["texts"] = std::move(texts);
  }
  return doc.dump(1) + "\n";
}

bool Workbook::FromJson(const std::string& text, std::string& why) {
  // Every member is type-checked before use; the catch is a last guard so that no damaged
  // file can end the program.
  try {
    return FromJsonChecked(text, why);
  } catch (const std::exception&) {
    why = "it is damaged";
    return false;
  }
}

bool Workbook::FromJsonChecked(const std::string& text, std::string& why) {
  using nlohmann::json;
  json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    why = "it is not a workbook file (damaged or of another kind)";
    return false;
  }
  if (!doc.is_object() || !doc.contains("format") || doc["format"] != kFormatName) {
    why = "it is not a Quorvant workbook";
    return false;
  }
  int version = 0;
  if (!doc.contains("version") || !doc["version"].is_number_integer()) {
    why = "it has no format version";
    return false;
  }
  if (!IntIn(doc["version"], 1, kFormatVersion, version)) {
    const json& v = doc["version"];
    bool newer = v.is_number_unsigned() ? v.get<uint64_t>() > static_cast<uint64_t>(kFormatVersion)
                                        : v.get<int64_t>() > kFormatVersion;
    why = newer ? "it was written by a newer release of the program" : "its format version is not valid";
    return false;
  }
  if (!doc.contains("sheets") || !doc["sheets"].is_array() || doc["sheets"].empty()) {
    why = "it holds no sheets";
    return false;
  }
  std::vector<Sheet> sheets;
  constexpr int kMaxRows = 1000000, kMaxCols = 1000;
  for (const auto& js : doc["sheets"]) {
    if (!js.is_object() || !js.contains("name") || !js["name"].is_string()) {
      why = "a sheet has no name";
      return false;
    }
    Sheet s(js["name"].get<std::string>());
    const std::string damaged = " of sheet " + s.Name() + " are damaged";
    if (js.contains("headings")) {
      if (!js["headings"].is_array() || js["headings"].size() > static_cast<size_t>(kMaxCols)) {
        why = "the column headings" + damaged;
        return false;
      }
      int col = 1;
      for (const auto& h : js["headings"]) {
        if (!h.is_string()) {
          why = "the column headings" + damaged;
          return false;
        }
        s.SetColText(col++, h.get<std::string>());
      }
    }
    int number = 0;
    if (js.contains("headerHeight")) {
      if (!IntIn(js["headerHeight"], 0, 100000, number)) {
        why = "the settings" + damaged;
        return false;
      }
      s.SetHeaderHeight(number);
    }
    if (js.contains("maxCol")) {
      if (!IntIn(js["maxCol"], 0, kMaxCols, number)) {
        why = "the settings" + damaged;
        return false;
      }
      s.SetMaxCol(number);
    }
    if (js.contains("cells")) {
      if (!js["cells"].is_array()) {
        why = "the cells" + damaged;
        return false;
      }
      for (const auto& jc : js["cells"]) {
        int r = 0, c = 0;
        if (!jc.is_array() || jc.size() < 3 || !jc[0].is_number_integer() || !jc[1].is_number_integer()) {
          why = "a cell of sheet " + s.Name() + " is damaged";
          return false;
        }
        if (!IntIn(jc[0], 1, kMaxRows, r) || !IntIn(jc[1], 1, kMaxCols, c)) {
          why = "a cell of sheet " + s.Name() + " lies outside the sheet";
          return false;
        }
        const json& v = jc[2];
        if (v.is_number()) {
          s.SetNumberRC(r, c, v.get<double>());
        } else if (v.is_string()) {
          s.SetTextRC(r, c, v.get<std::string>());
        } else if (v.is_null()) {
          s.SetCell(r, c, Cell{});
        } else if (v.is_object() && v.contains("sum") && v["sum"].is_array() && v["sum"].size() == 4) {
          int b[4];
          for (int k = 0; k < 4; ++k)
            if (!IntIn(v["sum"][k], 1, k % 2 == 0 ? kMaxRows : kMaxCols, b[k])) {
              why = "a cell of sheet " + s.Name() + " is damaged";
              return false;
            }
          s.SetSumFormula(r, c, b[0], b[1], b[2], b[3]);
        } else {
          why = "a cell of sheet " + s.Name() + " is damaged";
          return false;
        }
        if (jc.size() > 3) {
          CellFont f;
          if (!jc[3].is_object() || !FontFromJson(jc[3], f)) {
            why = "a cell of sheet " + s.Name() + " is damaged";
            return false;
          }
          s.SetFontRC(r, c, f);
        }
      }
    }
    if (js.contains("checkBoxes")) {
      if (!js["checkBoxes"].is_array()) {
        why = "the check boxes" + damaged;
        return false;
      }
      for (const auto& cb : js["checkBoxes"]) {
        int id = 0, row = 0, col = 0, value = 0;
        if (!cb.is_object() || !cb.contains("id") || !IntIn(cb["id"], INT32_MIN, INT32_MAX, id) ||
            !cb.contains("row") || !IntIn(cb["row"], 1, kMaxRows, row) || !cb.contains("col") ||
            !IntIn(cb["col"], 1, kMaxCols, col) || (cb.contains("value") && !IntIn(cb["value"], 0, 2, value)) ||
            (cb.contains("name") && !cb["name"].is_string())) {
          why = "the check boxes" + damaged;
          return false;
        }
        s.AddCheckBox(id, row, col, cb.contains("name") ? cb["name"].get<std::string>() : std::string());
        s.SetObjValue(id, value);
      }
    }
    if (js.contains("maxRow")) {
      int m = 0;
      if (!IntIn(js["maxRow"], 1, kMaxRows, m)) {
        why = "the row count of sheet " + s.Name() + " is damaged";
        return false;
      }
      if (m < s.MaxRow()) {
        why = "the row count of sheet " + s.Name() + " does not match its cells";
        return false;
      }
      s.SetMaxRow(m);
    }
    sheets.push_back(std::move(s));
  }
  std::map<std::string, std::string> texts;
  if (doc.contains("texts")) {
    if (!doc["texts"].is_object()) {
      why = "its workbook texts are damaged";
      return false;
    }
    for (const auto& [k, v] : doc["texts"].items()) {
      if (!v.is_string()) {
        why = "its workbook texts are damaged";
        return false;
      }
      texts[k] = v.get<std::string>();
    }
  }
  sheets_ = std::move(sheets);
  bookTexts_ = std::move(texts);
  active_ = 1;
  return true;
}

bool Workbook::Read(const std::string& path, std::string& error) {
  std::string text;
  if (!files::ReadWholeFile(path, text)) {
    error = "Unable to open file " + path + ".";
    return false;
  }
  Workbook fresh;
  std::string why;
  if (!fresh.FromJson(text, why)) {
    error = "The file " + path + " cannot be read: " + why + ".";
    return false;
  }
  *this = std::move(fresh);
  return true;
}

bool Workbook::Write(const std::string& path, std::string& error) const {
  return files::WriteFileAtomic(path, ToJson(), &error);
}

}  // namespace qv::grid
