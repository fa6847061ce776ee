#include "platform/grid/Workbook.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>
#include <istream>
#include <memory>
#include <tuple>
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

// ---- stored forms --------------------------------------------------------------------

namespace {

std::atomic<uint64_t> g_revision{0};
uint64_t NextRevision() { return g_revision.fetch_add(1, std::memory_order_relaxed) + 1; }

// The largest font size a cell keeps (and the file reader takes).
constexpr double kMaxFontSize = 1000;

// JSON strings must be UTF-8. Texts that reached a cell from an older 8-bit file may hold
// single bytes that are not; each such byte is written as the Latin-1 character of that
// value rather than refused, so a save never fails on one odd character.
std::string ValidUtf8(const std::string& s) {
  if (std::all_of(s.begin(), s.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) return s;
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

// A font in the form a cell keeps: a size within 0..kMaxFontSize, a 24-bit colour.
CellFont StorableFont(CellFont f) {
  if (!std::isfinite(f.size) || f.size < 0) f.size = 0;
  f.size = std::min(f.size, kMaxFontSize);
  f.color &= 0xFFFFFFu;
  return f;
}

// A cell in the form a sheet keeps: an empty text is an empty cell, a number is finite, and
// a cell holds only the value of its kind.
Cell StorableCell(Cell c) {
  c.font = StorableFont(std::move(c.font));
  switch (c.kind) {
    case Cell::Kind::Text:
      c.number = 0;
      if (c.text.empty()) c.kind = Cell::Kind::Empty;
      break;
    case Cell::Kind::Number:
      c.text.clear();
      if (!std::isfinite(c.number)) c.number = 0;
      break;
    default:
      c.kind = Cell::Kind::Empty;
      c.text.clear();
      c.number = 0;
      break;
  }
  return c;
}

bool HoldsNothing(const Cell& c) { return c.kind == Cell::Kind::Empty && c.font == CellFont{}; }

}  // namespace

// ---- Sheet -------------------------------------------------------------------------

Sheet::Sheet() : revision_(NextRevision()) {}
Sheet::Sheet(std::string name) : name_(std::move(name)), revision_(NextRevision()) {}
void Sheet::Touch() { revision_ = NextRevision(); }
void Sheet::SetName(const std::string& n) { name_ = n; }

std::string Sheet::ColText(int col) const {
  if (col < 1 || col > static_cast<int>(headings_.size())) return "";
  return headings_[col - 1];
}

void Sheet::SetColText(int col, const std::string& text) {
  if (col < 1 || col > kMaxCols) return;
  if (static_cast<int>(headings_.size()) < col) headings_.resize(col);
  headings_[col - 1] = text;
  Touch();
}

void Sheet::SetHeaderHeight(int h) {
  headerHeight_ = std::clamp(h, 0, kMaxHeaderHeight);
  Touch();
}

void Sheet::SetMaxCol(int n) {
  maxCol_ = std::clamp(n, 0, kMaxCols);
  Touch();
}

void Sheet::SetMaxRow(int n) {
  n = std::clamp(n, 1, kMaxRows);
  maxRow_ = n;
  rows_.erase(rows_.upper_bound(n), rows_.end());
  sums_.erase(sums_.lower_bound({n + 1, INT_MIN}), sums_.end());
  Touch();
}

int Sheet::LastCol() const {
  int last = 0;
  for (const auto& [r, row] : rows_)
    for (auto it = row.rbegin(); it != row.rend() && it->first > last; ++it)
      if (it->second.kind != Cell::Kind::Empty) {
        last = it->first;
        break;
      }
  return last;
}

const Cell* Sheet::CellAt(int row, int col) const {
  auto r = rows_.find(row);
  if (r == rows_.end()) return nullptr;
  auto c = r->second.find(col);
  return c == r->second.end() ? nullptr : &c->second;
}

Cell& Sheet::At(int row, int col) {
  if (row > maxRow_) maxRow_ = row;
  return rows_[row][col];
}

void Sheet::Prune(int row, int col) {
  auto r = rows_.find(row);
  if (r == rows_.end()) return;
  auto c = r->second.find(col);
  if (c == r->second.end() || !HoldsNothing(c->second) || IsFormula(row, col)) return;
  r->second.erase(c);
  if (r->second.empty()) rows_.erase(r);
}

void Sheet::WorkOutSums() const {
  if (sumsAt_ == revision_) return;
  sumValues_.clear();
  for (const auto& [at, range] : sums_) {
    double sum = 0;
    for (auto r = rows_.lower_bound(range[0]); r != rows_.end() && r->first <= range[2]; ++r)
      for (auto c = r->second.lower_bound(range[1]); c != r->second.end() && c->first <= range[3]; ++c)
        if (c->second.kind == Cell::Kind::Number && !sums_.count({r->first, c->first})) sum += c->second.number;
    sumValues_[at] = sum;
  }
  sumsAt_ = revision_;
  ++sumPasses_;
}

double Sheet::SumValue(std::pair<int, int> at) const {
  WorkOutSums();
  auto it = sumValues_.find(at);
  return it == sumValues_.end() ? 0 : it->second;
}

std::string Sheet::TextRC(int row, int col) const {
  if (IsFormula(row, col)) return NumberCellText(SumValue({row, col}));
  const Cell* c = CellAt(row, col);
  if (!c) return "";
  switch (c->kind) {
    case Cell::Kind::Text: return c->text;
    case Cell::Kind::Number: return NumberCellText(c->number);
    default: return "";
  }
}

void Sheet::SetTextRC(int row, int col, const std::string& text) {
  if (!InSheet(row, col)) return;
  DropFormula(row, col);
  Cell& c = At(row, col);
  c.text = text;
  c.kind = c.text.empty() ? Cell::Kind::Empty : Cell::Kind::Text;
  c.number = 0;
  Prune(row, col);
  Touch();
}

double Sheet::NumberRC(int row, int col) const {
  if (IsFormula(row, col)) return SumValue({row, col});
  const Cell* c = CellAt(row, col);
  if (!c) return 0;
  if (c->kind == Cell::Kind::Number) return c->number;
  double v = 0;
  if (c->kind == Cell::Kind::Text && ParsePlainNumber(c->text, v)) return v;
  return 0;
}

bool Sheet::SetSumFormula(int row, int col, int r1, int c1, int r2, int c2) {
  if (!InSheet(row, col)) return false;
  if (!IsFormula(row, col) && static_cast<int>(sums_.size()) >= kMaxSumCells) return false;
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  Cell& c = At(row, col);
  c.kind = Cell::Kind::Number;
  c.number = 0;
  c.text.clear();
  sums_[{row, col}] = {std::clamp(r1, 1, kMaxRows), std::clamp(c1, 1, kMaxCols), std::clamp(r2, 1, kMaxRows),
                       std::clamp(c2, 1, kMaxCols)};
  Touch();
  return true;
}

void Sheet::SetNumberRC(int row, int col, double v) {
  if (!InSheet(row, col)) return;
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
  if (!InSheet(row, col)) return;
  DropFormula(row, col);
  At(row, col) = StorableCell(cell);
  Prune(row, col);
  Touch();
}

void Sheet::ClearRange(int r1, int c1, int r2, int c2) {
  if (r1 == -1) r1 = 1;
  if (r2 == -1) r2 = kMaxRows;
  if (c1 == -1) c1 = 1;
  if (c2 == -1) c2 = kMaxCols;
  for (auto it = sums_.begin(); it != sums_.end();) {
    auto [r, c] = it->first;
    if (r >= r1 && r <= r2 && c >= c1 && c <= c2)
      it = sums_.erase(it);
    else
      ++it;
  }
  for (auto r = rows_.lower_bound(std::max(1, r1)); r != rows_.end() && r->first <= r2;) {
    Row& row = r->second;
    for (auto c = row.lower_bound(std::max(1, c1)); c != row.end() && c->first <= c2;) {
      Cell& cell = c->second;
      cell.kind = Cell::Kind::Empty;
      cell.text.clear();
      cell.number = 0;
      c = HoldsNothing(cell) ? row.erase(c) : std::next(c);
    }
    r = row.empty() ? rows_.erase(r) : std::next(r);
  }
  Touch();
}

void Sheet::ClearAll() {
  rows_.clear();
  sums_.clear();
  Touch();
}

void Sheet::DropEmptySums() {
  for (auto it = sums_.begin(); it != sums_.end();) {
    const auto& range = it->second;
    if (range[0] <= range[2] && range[1] <= range[3]) {
      ++it;
      continue;
    }
    // The cell keeps the value of a sum over nothing.
    Cell& c = At(it->first.first, it->first.second);
    c.kind = Cell::Kind::Number;
    c.number = 0;
    it = sums_.erase(it);
  }
}

void Sheet::RemoveRows(int r1, int r2, int c1, int c2, bool wholeRows) {
  const int count = r2 - r1 + 1;
  auto inCols = [&](int c) { return c >= c1 && c <= c2; };

  // Cells: those of the removed rows go, those below move up.
  std::vector<std::tuple<int, int, Cell>> moved;
  for (auto r = rows_.lower_bound(r1); r != rows_.end();) {
    Row& row = r->second;
    for (auto c = row.lower_bound(c1); c != row.end() && c->first <= c2;) {
      if (r->first > r2) moved.emplace_back(r->first - count, c->first, std::move(c->second));
      c = row.erase(c);
    }
    r = row.empty() ? rows_.erase(r) : std::next(r);
  }
  for (auto& [r, c, cell] : moved) rows_[r][c] = std::move(cell);

  // Sum cells move with their cells; a summed rectangle within the moved columns loses the
  // removed rows it held.
  std::map<std::pair<int, int>, std::array<int, 4>> sums;
  for (const auto& [at, summed] : sums_) {
    std::pair<int, int> pos = at;
    std::array<int, 4> range = summed;
    if (inCols(pos.second)) {
      if (pos.first >= r1 && pos.first <= r2) continue;
      if (pos.first > r2) pos.first -= count;
    }
    if (inCols(range[1]) && inCols(range[3])) {
      auto shiftRow = [&](int r) { return r > r2 ? r - count : r; };
      range[0] = range[0] >= r1 && range[0] <= r2 ? r1 : shiftRow(range[0]);
      range[2] = range[2] >= r1 && range[2] <= r2 ? r1 - 1 : shiftRow(range[2]);
    }
    sums[pos] = range;
  }
  sums_ = std::move(sums);
  DropEmptySums();

  if (!wholeRows) return;
  // Check boxes in removed rows go; those below move up.
  for (auto it = checks_.begin(); it != checks_.end();) {
    if (it->second.row >= r1 && it->second.row <= r2) {
      it = checks_.erase(it);
    } else {
      if (it->second.row > r2) it->second.row -= count;
      ++it;
    }
  }
  maxRow_ = std::max(1, maxRow_ - std::max(0, std::min(r2, maxRow_) - r1 + 1));
  if (!rows_.empty()) maxRow_ = std::max(maxRow_, rows_.rbegin()->first);
}

bool Sheet::OpenRows(int r1, int count, int c1, int c2, bool wholeRows) {
  auto inCols = [&](int c) { return c >= c1 && c <= c2; };

  // The last row holding something that would move: refuse when it would leave the sheet.
  int last = 0;
  for (auto r = rows_.lower_bound(r1); r != rows_.end(); ++r) {
    auto c = r->second.lower_bound(c1);
    if (c != r->second.end() && c->first <= c2) last = r->first;
  }
  for (const auto& [at, range] : sums_)
    if (at.first >= r1 && inCols(at.second)) last = std::max(last, at.first);
  if (wholeRows)
    for (const auto& [id, cb] : checks_)
      if (cb.row >= r1) last = std::max(last, cb.row);
  if (last > 0 && last > kMaxRows - count) return false;

  std::vector<std::tuple<int, int, Cell>> moved;
  for (auto r = rows_.lower_bound(r1); r != rows_.end();) {
    Row& row = r->second;
    for (auto c = row.lower_bound(c1); c != row.end() && c->first <= c2;) {
      moved.emplace_back(r->first + count, c->first, std::move(c->second));
      c = row.erase(c);
    }
    r = row.empty() ? rows_.erase(r) : std::next(r);
  }
  int lastMoved = 0;
  for (auto& [r, c, cell] : moved) {
    rows_[r][c] = std::move(cell);
    lastMoved = std::max(lastMoved, r);
  }

  std::map<std::pair<int, int>, std::array<int, 4>> sums;
  for (const auto& [at, summed] : sums_) {
    std::pair<int, int> pos = at;
    std::array<int, 4> range = summed;
    if (pos.first >= r1 && inCols(pos.second)) pos.first += count;
    if (inCols(range[1]) && inCols(range[3])) {
      if (range[0] >= r1) range[0] = std::min(range[0] + count, kMaxRows);
      if (range[2] >= r1) range[2] = std::min(range[2] + count, kMaxRows);
    }
    sums[pos] = range;
  }
  sums_ = std::move(sums);

  if (wholeRows) {
    for (auto& [id, cb] : checks_)
      if (cb.row >= r1) cb.row += count;
    if (r1 <= maxRow_) maxRow_ += count;
    maxRow_ = std::min(std::max(maxRow_, r1 + count - 1), kMaxRows);
  } else {
    maxRow_ = std::max(maxRow_, lastMoved);
  }
  return true;
}

void Sheet::DeleteRange(int r1, int c1, int r2, int c2, int shift) {
  if (r1 == -1 || r2 == -1) {
    r1 = 1;
    r2 = std::max(maxRow_, rows_.empty() ? 0 : rows_.rbegin()->first);
  }
  r1 = std::max(r1, 1);
  r2 = std::min(r2, kMaxRows);
  if (r2 < r1) return;
  if (shift == 3 || c1 == -1 || c2 == -1) {
    RemoveRows(r1, r2, 1, kMaxCols, true);
  } else {
    c1 = std::max(c1, 1);
    c2 = std::min(c2, kMaxCols);
    if (c2 < c1) return;
    RemoveRows(r1, r2, c1, c2, false);
  }
  Touch();
}

bool Sheet::InsertRange(int r1, int c1, int r2, int c2, int shift) {
  r1 = std::max(r1, 1);
  if (r2 < r1) r2 = r1;
  if (r1 > kMaxRows) return false;
  r2 = std::min(r2, kMaxRows);
  const int count = r2 - r1 + 1;
  bool done = false;
  if (shift == 3 || c1 == -1 || c2 == -1) {
    done = OpenRows(r1, count, 1, kMaxCols, true);
  } else {
    c1 = std::max(c1, 1);
    c2 = std::min(c2, kMaxCols);
    if (c2 < c1) return true;
    done = OpenRows(r1, count, c1, c2, false);
  }
  if (done) Touch();
  return done;
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
  if (!InSheet(row, col)) return;
  At(row, col).font = StorableFont(f);
  Prune(row, col);
  Touch();
}

CellFont Sheet::FontRC(int row, int col) const {
  const Cell* c = CellAt(row, col);
  return c ? c->font : CellFont{};
}

// Formatting a cell below MaxRow extends MaxRow, as writing it does: every stored cell lies
// within the used rows.
void Sheet::SetSelectionFont(const CellFont& f) {
  const CellFont font = StorableFont(f);
  for (int r = std::max(1, selR1_); r <= std::min(selR2_, kMaxRows); ++r)
    for (int c = std::max(1, selC1_); c <= std::min(selC2_, kMaxCols); ++c) {
      At(r, c).font = font;
      Prune(r, c);
    }
  Touch();
}

void Sheet::SetSelectionBold(bool bold) {
  for (int r = std::max(1, selR1_); r <= std::min(selR2_, kMaxRows); ++r)
    for (int c = std::max(1, selC1_); c <= std::min(selC2_, kMaxCols); ++c) {
      At(r, c).font.bold = bold;
      Prune(r, c);
    }
  Touch();
}

void Sheet::AddCheckBox(int id, int row, int col, const std::string& name) {
  if (!InSheet(row, col)) return;
  checks_[id] = CheckBoxObject{row, col, 0, name};
  Touch();
}

int Sheet::ObjValue(int id) const {
  auto it = checks_.find(id);
  return it == checks_.end() ? 0 : it->second.value;
}

void Sheet::SetObjValue(int id, int value) {
  auto it = checks_.find(id);
  if (it == checks_.end() || value < 0 || value > 2) return;
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
  if (name_ != o.name_ || maxRow_ != o.maxRow_ || headings_ != o.headings_) return false;
  // Every cell stored in one sheet matches the other's (a cell never written reads empty).
  auto within = [](const Sheet& a, const Sheet& b) {
    for (const auto& [r, row] : a.rows_)
      for (const auto& [c, cell] : row) {
        const Cell* other = b.CellAt(r, c);
        if (!(cell == (other ? *other : Cell{}))) return false;
      }
    return true;
  };
  return within(*this, o) && within(o, *this) && checks_ == o.checks_ && sums_ == o.sums_;
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

void Workbook::EditCopy() {
  const Sheet& s = ActiveSheetRef();
  copied_ = CopiedCells{};
  // Bounds of -1 mean every used row or column.
  int r1 = s.SelStartRow() == -1 ? 1 : s.SelStartRow();
  int r2 = s.SelEndRow() == -1 ? s.MaxRow() : s.SelEndRow();
  int c1 = s.SelStartCol() == -1 ? 1 : s.SelStartCol();
  int c2 = s.SelEndCol() == -1 ? std::max(1, s.LastCol()) : s.SelEndCol();
  r1 = std::max(r1, 1);
  c1 = std::max(c1, 1);
  r2 = std::min(r2, Sheet::kMaxRows);
  c2 = std::min(c2, Sheet::kMaxCols);
  if (r2 < r1 || c2 < c1) return;
  copied_.rows = r2 - r1 + 1;
  copied_.cols = c2 - c1 + 1;
  const auto& rows = s.Rows();
  for (auto r = rows.lower_bound(r1); r != rows.end() && r->first <= r2; ++r)
    for (auto c = r->second.lower_bound(c1); c != r->second.end() && c->first <= c2; ++c) {
      Cell copy = c->second;
      if (s.IsFormula(r->first, c->first)) {  // a sum cell is copied as its value
        copy.kind = Cell::Kind::Number;
        copy.number = s.NumberRC(r->first, c->first);
      }
      copied_.cells[{r->first - r1, c->first - c1}] = std::move(copy);
    }
}

void Workbook::PasteCells(const CopiedCells& copied) {
  if (copied.rows == 0 || copied.cols == 0) return;
  Sheet& s = ActiveSheetRef();
  const int r0 = std::max(1, s.SelStartRow()), c0 = std::max(1, s.SelStartCol());
  if (r0 > Sheet::kMaxRows || c0 > Sheet::kMaxCols) return;
  const int rEnd = std::min(r0 + copied.rows - 1, Sheet::kMaxRows);
  const int cEnd = std::min(c0 + copied.cols - 1, Sheet::kMaxCols);
  // Cells of the rectangle that hold a value where the copy holds none are emptied.
  std::vector<std::pair<int, int>> emptied;
  const auto& rows = s.Rows();
  for (auto r = rows.lower_bound(r0); r != rows.end() && r->first <= rEnd; ++r)
    for (auto c = r->second.lower_bound(c0); c != r->second.end() && c->first <= cEnd; ++c)
      if (c->second.kind != Cell::Kind::Empty && !copied.cells.count({r->first - r0, c->first - c0}))
        emptied.emplace_back(r->first, c->first);
  for (auto [r, c] : emptied) s.SetCell(r, c, Cell{});
  for (const auto& [offset, cell] : copied.cells) {
    const int r = r0 + offset.first, c = c0 + offset.second;
    if (r > rEnd || c > cEnd) continue;
    if (cell.kind == Cell::Kind::Empty && s.IsEmpty(r, c)) continue;
    s.SetCell(r, c, cell);
  }
  if (rEnd > s.MaxRow()) s.SetMaxRow(rEnd);
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
    if (!std::isfinite(f.size) || f.size < 0 || f.size > kMaxFontSize) return false;
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
    for (const auto& [row, cellsOfRow] : s.Rows())
      for (const auto& [col, cell] : cellsOfRow) {
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
  return doc.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool Workbook::FromJson(const std::string& text, std::string& why, const ReadLimits& limits) {
  // Every member is type-checked before use; the catch is a last guard so that no damaged
  // file can end the program.
  try {
    return FromJsonChecked(text, why, limits);
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory to read it";
    return false;
  } catch (const std::length_error&) {
    why = "there is not enough memory to read it";
    return false;
  } catch (const std::exception&) {
    why = "it is damaged";
    return false;
  }
}

namespace {

// Thrown by the reader to stop a parse at the first thing it refuses.
struct Refused {
  std::string why;
};

// Reads a workbook file's JSON a piece at a time: each cell goes into its sheet as soon as
// it is read and each sheet into the list as soon as it ends, so that the whole text never
// stands as one tree beside the sheets, and a count beyond the limits stops the read at
// once. What is left of the tree (format, version, texts, emptied sheets) is checked after.
class WorkbookParser {
 public:
  using json = nlohmann::json;

  WorkbookParser(const ReadLimits& limits, std::vector<Sheet>& sheets) : limits_(limits), sheets_(sheets) {}

  bool operator()(int depth, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    switch (event) {
      case E::object_start:
      case E::array_start:
        if (depth == 0 && event == E::array_start) throw Refused{"it is not a Quorvant workbook"};
        if (depth == 1) inSheets_ = event == E::array_start && rootKey_ == "sheets";
        if (depth == 2 && inSheets_) StartSheet(event);
        if (depth == 3) inCells_ = inSheet_ && event == E::array_start && sheetKey_ == "cells";
        return true;
      case E::key:
        if (depth == 1) rootKey_ = parsed.get<std::string>();
        if (depth == 3) sheetKey_ = parsed.get<std::string>();
        return true;
      case E::value:
        if (depth == 1) CheckRootValue(parsed);
        if (depth == 2 && inSheets_) throw Refused{"a sheet has no name"};
        if (depth == 3 && inSheet_) CheckSheetValue(parsed);
        return true;
      case E::array_end:
        if (depth == 4 && inCells_) {
          AddCell(parsed);
          return false;  // the cell is in its sheet; the tree does not keep it
        }
        if (depth == 3) inCells_ = false;
        if (depth == 1) inSheets_ = false;
        return true;
      case E::object_end:
        if (depth == 2 && inSheet_) {
          EndSheet(parsed);
          return false;
        }
        return true;
    }
    return true;
  }

  int SheetsSeen() const { return static_cast<int>(sheets_.size()); }

 private:
  void StartSheet(json::parse_event_t event) {
    if (event != json::parse_event_t::object_start) throw Refused{"a sheet has no name"};
    if (static_cast<int>(sheets_.size()) >= limits_.maxSheets)
      throw Refused{"it holds more than " + std::to_string(limits_.maxSheets) + " sheets"};
    sheet_ = Sheet("");
    inSheet_ = true;
  }

  // The sheet's name when it came before the cells, else its place in the file.
  std::string SheetLabel() const {
    return sheet_.Name().empty() ? "number " + std::to_string(sheets_.size() + 1) : sheet_.Name();
  }

  void CheckRootValue(const json& v) {
    if (rootKey_ == "format" && v != Workbook::kFormatName) throw Refused{"it is not a Quorvant workbook"};
    if (rootKey_ == "version") {
      std::string why;
      if (!VersionFits(v, why)) throw Refused{why};
    }
  }

  void CheckSheetValue(const json& v) {
    if (sheetKey_ == "name" && v.is_string()) sheet_.SetName(v.get<std::string>());
    int rows = 0;
    if (sheetKey_ == "maxRow" && IntIn(v, 1, Sheet::kMaxRows, rows) && rows > limits_.maxRows) throw TooManyRows();
  }

  Refused TooManyRows() const {
    if (!limits_.rowsAre.empty())
      return Refused{"it holds more than the " + std::to_string(limits_.maxRows) + " " + limits_.rowsAre};
    return Refused{"sheet " + SheetLabel() + " holds more than " + std::to_string(limits_.maxRows) + " rows"};
  }

  void AddCell(const json& jc) {
    constexpr int kMaxRows = Sheet::kMaxRows, kMaxCols = Sheet::kMaxCols;
    if (++cells_ > limits_.maxCells)
      throw Refused{"it holds more than " + std::to_string(limits_.maxCells) + " cells"};
    auto damaged = [this] { return Refused{"a cell of sheet " + SheetLabel() + " is damaged"}; };
    int r = 0, c = 0;
    if (jc.size() < 3 || !jc[0].is_number_integer() || !jc[1].is_number_integer()) throw damaged();
    if (!IntIn(jc[0], 1, kMaxRows, r) || !IntIn(jc[1], 1, kMaxCols, c))
      throw Refused{"a cell of sheet " + SheetLabel() + " lies outside the sheet"};
    if (r > limits_.maxRows) throw TooManyRows();
    const json& v = jc[2];
    if (v.is_number()) {
      sheet_.SetNumberRC(r, c, v.get<double>());
    } else if (v.is_string()) {
      sheet_.SetTextRC(r, c, v.get<std::string>());
    } else if (v.is_null()) {
      sheet_.SetCell(r, c, Cell{});
    } else if (v.is_object() && v.contains("sum") && v["sum"].is_array() && v["sum"].size() == 4) {
      int b[4];
      for (int k = 0; k < 4; ++k)
        if (!IntIn(v["sum"][k], 1, k % 2 == 0 ? kMaxRows : kMaxCols, b[k])) throw damaged();
      if (!sheet_.SetSumFormula(r, c, b[0], b[1], b[2], b[3]))
        throw Refused{"sheet " + SheetLabel() + " holds more than " + std::to_string(Sheet::kMaxSumCells) +
                      " sum cells"};
    } else {
      throw damaged();
    }
    if (jc.size() > 3) {
      CellFont f;
      if (!jc[3].is_object() || !FontFromJson(jc[3], f)) throw damaged();
      sheet_.SetFontRC(r, c, f);
    }
  }

  // The sheet's other members, now that its cells are in.
  void EndSheet(const json& js) {
    constexpr int kMaxRows = Sheet::kMaxRows, kMaxCols = Sheet::kMaxCols;
    inSheet_ = false;
    if (!js.contains("name") || !js["name"].is_string()) throw Refused{"a sheet has no name"};
    Sheet& s = sheet_;
    s.SetName(js["name"].get<std::string>());
    const std::string damaged = " of sheet " + s.Name() + " are damaged";
    if (js.contains("headings")) {
      if (!js["headings"].is_array() || js["headings"].size() > static_cast<size_t>(kMaxCols))
        throw Refused{"the column headings" + damaged};
      int col = 1;
      for (const auto& h : js["headings"]) {
        if (!h.is_string()) throw Refused{"the column headings" + damaged};
        s.SetColText(col++, h.get<std::string>());
      }
    }
    int number = 0;
    if (js.contains("headerHeight")) {
      if (!IntIn(js["headerHeight"], 0, Sheet::kMaxHeaderHeight, number)) throw Refused{"the settings" + damaged};
      s.SetHeaderHeight(number);
    }
    if (js.contains("maxCol")) {
      if (!IntIn(js["maxCol"], 0, kMaxCols, number)) throw Refused{"the settings" + damaged};
      s.SetMaxCol(number);
    }
    if (js.contains("cells") && !js["cells"].is_array()) throw Refused{"the cells" + damaged};
    if (js.contains("checkBoxes")) {
      if (!js["checkBoxes"].is_array()) throw Refused{"the check boxes" + damaged};
      for (const auto& cb : js["checkBoxes"]) {
        int id = 0, row = 0, col = 0, value = 0;
        if (!cb.is_object() || !cb.contains("id") || !IntIn(cb["id"], INT32_MIN, INT32_MAX, id) ||
            !cb.contains("row") || !IntIn(cb["row"], 1, kMaxRows, row) || !cb.contains("col") ||
            !IntIn(cb["col"], 1, kMaxCols, col) || (cb.contains("value") && !IntIn(cb["value"], 0, 2, value)) ||
            (cb.contains("name") && !cb["name"].is_string()))
          throw Refused{"the check boxes" + damaged};
        s.AddCheckBox(id, row, col, cb.contains("name") ? cb["name"].get<std::string>() : std::string());
        s.SetObjValue(id, value);
      }
    }
    if (js.contains("maxRow")) {
      int m = 0;
      if (!IntIn(js["maxRow"], 1, kMaxRows, m)) throw Refused{"the row count of sheet " + s.Name() + " is damaged"};
      if (m > limits_.maxRows) throw TooManyRows();
      if (m < s.MaxRow()) throw Refused{"the row count of sheet " + s.Name() + " does not match its cells"};
      s.SetMaxRow(m);
    }
    sheets_.push_back(std::move(sheet_));
    sheet_ = Sheet("");
  }

  const ReadLimits& limits_;
  std::vector<Sheet>& sheets_;
  Sheet sheet_{""};
  std::string rootKey_, sheetKey_;
  bool inSheets_ = false, inSheet_ = false, inCells_ = false;
  long long cells_ = 0;

 public:
  static bool VersionFits(const json& v, std::string& why) {
    int version = 0;
    if (!v.is_number_integer()) {
      why = "it has no format version";
      return false;
    }
    if (!IntIn(v, 1, Workbook::kFormatVersion, version)) {
      const bool newer = v.is_number_unsigned() ? v.get<uint64_t>() > static_cast<uint64_t>(Workbook::kFormatVersion)
                                                : v.get<int64_t>() > Workbook::kFormatVersion;
      why = newer ? "it was written by a newer release of the program" : "its format version is not valid";
      return false;
    }
    return true;
  }
};

}  // namespace

// Parses a workbook's JSON from `input` (a text, or a file read as it is parsed) into its
// sheets and texts.
namespace {
template <class Input>
bool ParseWorkbook(Input&& input, std::vector<Sheet>& sheets, std::map<std::string, std::string>& texts,
                   std::string& why, const ReadLimits& limits) {
  using nlohmann::json;
  WorkbookParser parser(limits, sheets);
  json doc;
  try {
    doc = json::parse(
        std::forward<Input>(input),
        [&parser](int depth, json::parse_event_t event, json& parsed) { return parser(depth, event, parsed); }, false);
  } catch (const Refused& refused) {
    why = refused.why;
    return false;
  }
  if (doc.is_discarded()) {
    why = "it is not a workbook file (damaged or of another kind)";
    return false;
  }
  if (!doc.is_object() || !doc.contains("format") || doc["format"] != Workbook::kFormatName) {
    why = "it is not a Quorvant workbook";
    return false;
  }
  if (!doc.contains("version") || !WorkbookParser::VersionFits(doc["version"], why)) {
    if (!doc.contains("version")) why = "it has no format version";
    return false;
  }
  if (!doc.contains("sheets") || !doc["sheets"].is_array() || sheets.empty()) {
    why = "it holds no sheets";
    return false;
  }
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
      texts[k] = v.template get<std::string>();
    }
  }
  return true;
}
}  // namespace

bool Workbook::FromJsonChecked(const std::string& text, std::string& why, const ReadLimits& limits) {
  std::vector<Sheet> sheets;
  std::map<std::string, std::string> texts;
  if (!ParseWorkbook(text, sheets, texts, why, limits)) return false;
  sheets_ = std::move(sheets);
  bookTexts_ = std::move(texts);
  active_ = 1;
  return true;
}

bool Workbook::Read(const std::string& path, std::string& error, const ReadLimits& limits) {
  // The file is parsed as it is read: its text is never held whole beside the sheets.
  std::unique_ptr<files::FileStream> file;
  std::string why;
  const files::ReadResult opened = files::OpenFileIfAny(path, limits.maxFileBytes, file, &why);
  if (opened != files::ReadResult::Read) {
    error = files::ReadFailureText(path, opened, why);
    return false;
  }
  std::vector<Sheet> sheets;
  std::map<std::string, std::string> texts;
  bool ok = false;
  try {
    std::istream in(file.get());
    ok = ParseWorkbook(in, sheets, texts, why, limits);
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory to read it";
  } catch (const std::length_error&) {
    why = "there is not enough memory to read it";
  } catch (const std::exception&) {
    why = "it is damaged";
  }
  if (file->TooLarge()) {
    error = files::ReadFailureText(path, files::ReadResult::TooLarge,
                                   "it is larger than " + files::SizeText(limits.maxFileBytes) +
                                       ", the most that is read from such a file");
    return false;
  }
  if (file->Failed()) {
    error = files::ReadFailureText(path, files::ReadResult::Unreadable, "it could not be read to its end");
    return false;
  }
  if (!ok) {
    error = "The file " + path + " cannot be read: " + why + ".";
    return false;
  }
  Workbook fresh;  // nothing of this workbook stays (its copied cells neither)
  fresh.sheets_ = std::move(sheets);
  fresh.bookTexts_ = std::move(texts);
  *this = std::move(fresh);
  return true;
}

bool Workbook::Write(const std::string& path, std::string& error) const {
  return files::WriteFileAtomic(path, ToJson(), &error);
}

}  // namespace qv::grid
