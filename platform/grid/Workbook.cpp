#include "platform/grid/Workbook.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/files/AtomicFile.h"

namespace qv::grid {

std::string NumberCellText(double v) {
  if (v == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v);  // shortest round-trip form
  std::string s(buf, res.ptr);
  // Keep plain decimal notation (no exponent) so every reader sees digits and a point.
  if (s.find_first_of("eE") != std::string::npos) {
    res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec == std::errc()) s.assign(buf, res.ptr);
  }
  return s;
}

// ---- Sheet -------------------------------------------------------------------------

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
  Cell& c = At(row, col);
  c.kind = text.empty() ? Cell::Kind::Empty : Cell::Kind::Text;
  c.text = text;
  c.number = 0;
  Touch();
}

static bool PlainNumber(const std::string& s, double& out) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  size_t e = s.find_last_not_of(' ');
  const char* first = s.data() + b;
  const char* last = s.data() + e + 1;
  if (*first == '+') ++first;
  auto res = std::from_chars(first, last, out);
  return res.ec == std::errc() && res.ptr == last && std::isfinite(out);
}

double Sheet::NumberRC(int row, int col) const {
  const Cell* c = CellAt(row, col);
  if (!c) return 0;
  if (c->kind == Cell::Kind::Number) return c->number;
  double v = 0;
  if (c->kind == Cell::Kind::Text && PlainNumber(c->text, v)) return v;
  return 0;
}

void Sheet::SetNumberRC(int row, int col, double v) {
  if (row < 1 || col < 1) return;
  Cell& c = At(row, col);
  c.kind = Cell::Kind::Number;
  c.number = std::isfinite(v) ? v : 0;  // a grid cell never holds NaN or infinity
  c.text.clear();
  Touch();
}

bool Sheet::IsNumber(int row, int col) const {
  const Cell* c = CellAt(row, col);
  return c && c->kind == Cell::Kind::Number;
}

bool Sheet::IsEmpty(int row, int col) const {
  const Cell* c = CellAt(row, col);
  return !c || c->kind == Cell::Kind::Empty;
}

void Sheet::SetCell(int row, int col, const Cell& cell) {
  if (row < 1 || col < 1) return;
  At(row, col) = cell;
  Touch();
}

void Sheet::ClearRange(int r1, int c1, int r2, int c2) {
  if (r1 == -1) r1 = 1;
  if (r2 == -1) r2 = static_cast<int>(rows_.size());
  if (c1 == -1) c1 = 1;
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
  Touch();
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
    if (static_cast<int>(rows_.size()) > maxRow_) maxRow_ = static_cast<int>(rows_.size());
  } else {
    // Cells of columns c1..c2 move up; the rows themselves stay.
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
    for (auto& [id, cb] : checks_)
      if (cb.row >= r1) cb.row += count;
    maxRow_ += (r1 <= maxRow_) ? count : 0;
    if (r2 > maxRow_) maxRow_ = r2;
  } else {
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

void Sheet::SetSelectionFont(const CellFont& f) {
  for (int r = selR1_; r <= selR2_; ++r)
    for (int c = selC1_; c <= selC2_; ++c) {
      if (r < 1 || c < 1) continue;
      // Formatting alone does not make a row "used".
      int keep = maxRow_;
      At(r, c).font = f;
      maxRow_ = std::max(keep, 1);
      if (static_cast<int>(rows_.size()) > maxRow_) maxRow_ = static_cast<int>(rows_.size());
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
  return checks_ == o.checks_;
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
  copied_.clear();
  for (int r = s.SelStartRow(); r <= s.SelEndRow(); ++r) {
    std::vector<Cell> row;
    for (int c = s.SelStartCol(); c <= s.SelEndCol(); ++c) {
      const Cell* cell = s.CellAt(r, c);
      row.push_back(cell ? *cell : Cell{});
    }
    copied_.push_back(std::move(row));
  }
}

void Workbook::EditPaste() {
  Sheet& s = ActiveSheetRef();
  int r0 = s.SelStartRow(), c0 = s.SelStartCol();
  for (size_t i = 0; i < copied_.size(); ++i)
    for (size_t j = 0; j < copied_[i].size(); ++j) {
      const Cell& cell = copied_[i][j];
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
  return true;
}

// File format: {"format": "Quorvant workbook", "version": 1, "sheets": [{"name", "headings",
// "maxRow", "cells": [[row, col, text-or-number, (bold)], ...], "checkBoxes": [...]}]}.
std::string Workbook::ToJson() const {
  using nlohmann::json;
  json doc;
  doc["format"] = kFormatName;
  doc["version"] = kFormatVersion;
  json sheets = json::array();
  for (const auto& s : sheets_) {
    json js;
    js["name"] = s.Name();
    js["headings"] = s.Headings();
    js["maxRow"] = s.MaxRow();
    json cells = json::array();
    const auto& rows = s.Rows();
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) {
        const Cell& cell = rows[r][c];
        if (cell.kind == Cell::Kind::Empty) continue;
        json jc = json::array({r + 1, c + 1});
        if (cell.kind == Cell::Kind::Number)
          jc.push_back(cell.number);
        else
          jc.push_back(cell.text);
        if (cell.font.bold) jc.push_back(json{{"bold", true}});
        cells.push_back(std::move(jc));
      }
    js["cells"] = std::move(cells);
    if (!s.CheckBoxes().empty()) {
      json cbs = json::array();
      for (const auto& [id, cb] : s.CheckBoxes())
        cbs.push_back(json{{"id", id}, {"row", cb.row}, {"col", cb.col}, {"value", cb.value}, {"name", cb.name}});
      js["checkBoxes"] = std::move(cbs);
    }
    sheets.push_back(std::move(js));
  }
  doc["sheets"] = std::move(sheets);
  return doc.dump(1) + "\n";
}

bool Workbook::FromJson(const std::string& text, std::string& why) {
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
  if (!doc.contains("version") || !doc["version"].is_number_integer()) {
    why = "it has no format version";
    return false;
  }
  if (doc["version"].get<int>() > kFormatVersion) {
    why = "it was written by a newer release of the program";
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
    if (js.contains("headings")) {
      if (!js["headings"].is_array()) {
        why = "the column headings of sheet " + s.Name() + " are damaged";
        return false;
      }
      int col = 1;
      for (const auto& h : js["headings"]) {
        if (!h.is_string()) {
          why = "the column headings of sheet " + s.Name() + " are damaged";
          return false;
        }
        s.SetColText(col++, h.get<std::string>());
      }
    }
    if (js.contains("cells")) {
      if (!js["cells"].is_array()) {
        why = "the cells of sheet " + s.Name() + " are damaged";
        return false;
      }
      for (const auto& jc : js["cells"]) {
        if (!jc.is_array() || jc.size() < 3 || !jc[0].is_number_integer() || !jc[1].is_number_integer()) {
          why = "a cell of sheet " + s.Name() + " is damaged";
          return false;
        }
        int r = jc[0].get<int>(), c = jc[1].get<int>();
        if (r < 1 || c < 1 || r > kMaxRows || c > kMaxCols) {
          why = "a cell of sheet " + s.Name() + " lies outside the sheet";
          return false;
        }
        if (jc[2].is_number()) {
          double v = jc[2].get<double>();
          s.SetNumberRC(r, c, v);
        } else if (jc[2].is_string()) {
          s.SetTextRC(r, c, jc[2].get<std::string>());
        } else {
          why = "a cell of sheet " + s.Name() + " is damaged";
          return false;
        }
        if (jc.size() > 3 && jc[3].is_object() && jc[3].value("bold", false)) {
          CellFont f = s.FontRC(r, c);
          f.bold = true;
          s.SetFontRC(r, c, f);
        }
      }
    }
    if (js.contains("checkBoxes") && js["checkBoxes"].is_array()) {
      for (const auto& cb : js["checkBoxes"]) {
        if (!cb.is_object()) continue;
        int id = cb.value("id", 0);
        s.AddCheckBox(id, cb.value("row", 0), cb.value("col", 0), cb.value("name", std::string()));
        s.SetObjValue(id, cb.value("value", 0));
      }
    }
    if (js.contains("maxRow")) {
      if (!js["maxRow"].is_number_integer()) {
        why = "the row count of sheet " + s.Name() + " is damaged";
        return false;
      }
      int m = js["maxRow"].get<int>();
      if (m < 1 || m > kMaxRows) {
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
  sheets_ = std::move(sheets);
  active_ = 1;
  copied_.clear();
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
