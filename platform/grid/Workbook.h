#pragma once
// The workbook data behind every grid of the program: the hidden worksheet workbook,
// the option list, the start-up costs sheet and the dialog grids. Standard C++ only; the
// grid widget (GridWidget.h) shows a sheet of it.
//
// Rows and columns count from 1. A sheet always has at least one row (MaxRow never below
// 1). Cells hold nothing, a text, or a number.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qv::grid {

struct CellFont {
  std::string name;       // empty: the grid's default font
  double size = 0;        // 0: the default size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  uint32_t color = 0;     // 24-bit, blue-green-red order
  bool operator==(const CellFont&) const = default;
};

struct Cell {
  enum class Kind : uint8_t { Empty, Text, Number };
  Kind kind = Kind::Empty;
  double number = 0;
  std::string text;
  CellFont font;
  bool operator==(const Cell&) const = default;
};

// A check-box object placed in a cell, addressed by its id.
struct CheckBoxObject {
  int row = 0;
  int col = 0;
  int value = 0;  // 0 unchecked, 1 checked
  std::string name;
  bool operator==(const CheckBoxObject&) const = default;
};

// The plain decimal text of a number cell: no grouping, "." as the point, the shortest
// text that reads back as the same double.
std::string NumberCellText(double v);

// True when `s` is a plain number (optional blanks around, optional sign, digits with an
// optional point and exponent, nothing else); the value goes to `out`. This is what a cell
// edit stores as a number, and what NumberRC reads from a text cell.
bool ParsePlainNumber(const std::string& s, double& out);

class Sheet {
 public:
  Sheet();
  explicit Sheet(std::string name);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& n) { name_ = n; }

  // Column heading texts (the grid shows them above the columns; no code looks them up).
  std::string ColText(int col) const;
  void SetColText(int col, const std::string& text);
  const std::vector<std::string>& Headings() const { return headings_; }
  // Height of the column heading row in twips (0: the grid's default single line).
  int HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(int h) { headerHeight_ = h; Touch(); }

  // Number of rows in use, never below 1. Writing below it extends it; setting it smaller
  // drops the rows beyond.
  int MaxRow() const { return maxRow_; }
  void SetMaxRow(int n);
  // Highest column that holds a cell in any row (0 when none).
  int LastCol() const;
  // Number of columns the grid shows (0: as many as are used or headed).
  int MaxCol() const { return maxCol_; }
  void SetMaxCol(int n) { maxCol_ = n; Touch(); }

  // Cell text: a text cell's text, a number cell's plain decimal text, "" when empty.
  std::string TextRC(int row, int col) const;
  void SetTextRC(int row, int col, const std::string& text);
  // Cell number: a number cell's value; a text cell that is a plain number reads as that
  // number, any other text and an empty cell as 0. A sum cell reads as its sum.
  double NumberRC(int row, int col) const;
  void SetNumberRC(int row, int col, double v);
  bool IsNumber(int row, int col) const;
  bool IsEmpty(int row, int col) const;
  // The stored cell (nullptr when never written). A sum cell's stored number is not its
  // value: read values through TextRC / NumberRC.
  const Cell* CellAt(int row, int col) const;
  void SetCell(int row, int col, const Cell& c);

  // Sum cells (the grid's SUM formula designed into a sheet): the cell shows the sum of the
  // numbers in the rectangle r1..r2, c1..c2 and follows every change of it. Other sum cells
  // inside the rectangle are not counted. Writing or clearing the cell removes the formula.
  void SetSumFormula(int row, int col, int r1, int c1, int r2, int c2);
  bool IsFormula(int row, int col) const { return sums_.count({row, col}) != 0; }
  const std::map<std::pair<int, int>, std::array<int, 4>>& SumFormulas() const { return sums_; }

  // Empties the cells of a rectangle (rows and columns kept); bounds of -1 mean all.
  void ClearRange(int r1, int c1, int r2, int c2);
  void ClearAll();

  // Removal and insertion. shift 3 removes or inserts whole rows (the rows below move);
  // shift 2 moves only the cells of the columns c1..c2 up (or down). Bounds of -1 mean all.
  void DeleteRange(int r1, int c1, int r2, int c2, int shift);
  void InsertRange(int r1, int c1, int r2, int c2, int shift);

  // Selection and its text: the cells of each row joined by one TAB, rows ended by CR LF
  // except that a single-row selection has no line end; empty cells included.
  void SetSelection(int r1, int c1, int r2, int c2);
  int SelStartRow() const { return selR1_; }
  int SelStartCol() const { return selC1_; }
  int SelEndRow() const { return selR2_; }
  int SelEndCol() const { return selC2_; }
  std::string Clip() const;
  std::string ClipRange(int r1, int c1, int r2, int c2) const;

  // Active cell.
  int ActiveRow() const { return activeRow_; }
  int ActiveCol() const { return activeCol_; }
  void SetActiveCell(int row, int col);

  // Fonts of cells: of the selection, or of one cell.
  void SetSelectionFont(const CellFont& f);
  void SetSelectionBold(bool bold);
  CellFont FontRC(int row, int col) const;
  void SetFontRC(int row, int col, const CellFont& f);

  // Check-box objects.
  void AddCheckBox(int id, int row, int col, const std::string& name = "");
  bool HasCheckBox(int id) const { return checks_.count(id) != 0; }
  int ObjValue(int id) const;
  void SetObjValue(int id, int value);
  const std::map<int, CheckBoxObject>& CheckBoxes() const { return checks_; }
  // The id of the check box in a cell, 0 when none.
  int CheckBoxAt(int row, int col) const;

  // Changes every time the content changes; the grid widget redraws when it moved. The
  // values are unique across all sheets of the program, so a sheet that replaced another
  // (a workbook read from a file) never shows the revision of the one it replaced; a copy
  // keeps the revision of its original, whose content it has.
  uint64_t Revision() const { return revision_; }

  bool SameContent(const Sheet& other) const;

  // Direct access for the file format and the widget.
  const std::vector<std::vector<Cell>>& Rows() const { return rows_; }

 private:
  Cell& At(int row, int col);  // creates the cell, extends MaxRow
  void Touch();
  double SumOf(const std::array<int, 4>& range) const;
  void DropFormula(int row, int col) { if (!sums_.empty()) sums_.erase({row, col}); }
  void ShiftRowsForDelete(int r1, int r2);
  void ShiftRowsForInsert(int r1, int count);

  std::string name_;
  std::vector<std::string> headings_;
  int headerHeight_ = 0;
  int maxRow_ = 1;
  int maxCol_ = 0;
  std::vector<std::vector<Cell>> rows_;  // rows_[r-1][c-1]; short rows are padded with empty cells on demand
  int selR1_ = 1, selC1_ = 1, selR2_ = 1, selC2_ = 1;
  int activeRow_ = 1, activeCol_ = 1;
  std::map<int, CheckBoxObject> checks_;
  std::map<std::pair<int, int>, std::array<int, 4>> sums_;  // (row, col) -> r1, c1, r2, c2
  uint64_t revision_ = 0;
};

// A workbook of numbered sheets (from 1) with one active sheet; the cell operations act on
// the active sheet, as the grid control did.
class Workbook {
 public:
  Workbook();  // one empty sheet named "Sheet1"

  int NumSheets() const { return static_cast<int>(sheets_.size()); }
  void SetNumSheets(int n);
  // The active sheet by number (1-based).
  int ActiveSheet() const { return active_; }
  void SetSheet(int n);
  Sheet& ActiveSheetRef() { return sheets_[active_ - 1]; }
  const Sheet& ActiveSheetRef() const { return sheets_[active_ - 1]; }
  Sheet& SheetAt(int n) { return sheets_[n - 1]; }
  const Sheet& SheetAt(int n) const { return sheets_[n - 1]; }
  std::string SheetName(int n) const { return sheets_[n - 1].Name(); }
  void SetSheetName(int n, const std::string& name) { sheets_[n - 1].SetName(name); }

  // Active-sheet shorthands.
  std::string TextRC(int r, int c) const { return ActiveSheetRef().TextRC(r, c); }
  void SetTextRC(int r, int c, const std::string& t) { ActiveSheetRef().SetTextRC(r, c, t); }
  double NumberRC(int r, int c) const { return ActiveSheetRef().NumberRC(r, c); }
  void SetNumberRC(int r, int c, double v) { ActiveSheetRef().SetNumberRC(r, c, v); }
  int MaxRow() const { return ActiveSheetRef().MaxRow(); }
  void SetMaxRow(int n) { ActiveSheetRef().SetMaxRow(n); }
  void SetSelection(int r1, int c1, int r2, int c2) { ActiveSheetRef().SetSelection(r1, c1, r2, c2); }
  std::string Clip() const { return ActiveSheetRef().Clip(); }
  void DeleteRange(int r1, int c1, int r2, int c2, int shift) { ActiveSheetRef().DeleteRange(r1, c1, r2, c2, shift); }
  void InsertRange(int r1, int c1, int r2, int c2, int shift) { ActiveSheetRef().InsertRange(r1, c1, r2, c2, shift); }
  void ClearRange(int r1, int c1, int r2, int c2) { ActiveSheetRef().ClearRange(r1, c1, r2, c2); }
  std::string ColText(int c) const { return ActiveSheetRef().ColText(c); }
  void SetColText(int c, const std::string& t) { ActiveSheetRef().SetColText(c, t); }

  // Copy and paste of the active sheet's selection, through one copy buffer that all
  // workbooks of the program share (not the system clipboard), so a rectangle copied from
  // one grid can be pasted into another (the option list into the worksheet workbook).
  // Paste puts the copied rectangle at the top left of the selection.
  void EditCopy();
  void EditPaste();

  // Texts kept with the workbook outside every sheet (saved and read with the file), such as
  // the customer workbook's last issued customer number. An unknown key reads as "".
  std::string BookText(const std::string& key) const;
  void SetBookText(const std::string& key, const std::string& value);

  // Reads a workbook file. On any failure (missing, truncated, not JSON, another format,
  // a newer version, a bad sheet) returns false with a message naming the file in `error`,
  // and leaves this workbook as it was.
  bool Read(const std::string& path, std::string& error);
  // Writes the workbook through a temporary file and a rename; on failure the old file
  // stays whole and `error` names the file.
  bool Write(const std::string& path, std::string& error) const;

  // The file text (for tests and for Write).
  std::string ToJson() const;
  bool FromJson(const std::string& text, std::string& why);

  bool SameContent(const Workbook& other) const;

  static constexpr const char* kFormatName = "Quorvant workbook";
  static constexpr int kFormatVersion = 1;

 private:
  bool FromJsonChecked(const std::string& text, std::string& why);

  std::vector<Sheet> sheets_;
  int active_ = 1;
  std::map<std::string, std::string> bookTexts_;
};

}  // namespace qv::grid
