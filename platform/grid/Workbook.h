#pragma once
// The workbook data behind every grid of the program: the hidden worksheet workbook,
// the option list, the start-up costs sheet and the dialog grids. Standard C++ only; the
// grid widget (GridWidget.h) shows a sheet of it.
//
// Rows and columns count from 1. A sheet always has at least one row (MaxRow never below
// 1). Cells hold nothing, a text, or a number.
//
// Storage is sparse: a sheet keeps only the cells that hold something (a value, a font or a
// sum), so memory follows the number of cells written, not the rectangle they span. A
// sheet has at most Sheet::kMaxRows rows and kMaxCols columns: writes outside are ignored,
// and no operation moves a cell beyond, so every sheet can be written to a file and read
// back the same. (Texts are kept as they are given; a byte that is not part of UTF-8, from
// an older 8-bit file, is written as the Latin-1 character of that value.)
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

// What a workbook file may hold; a larger file, or one with more of anything, is refused
// (the size before the file is read, the counts as soon as they pass). The defaults take any
// workbook the grid can hold whose file is no larger than maxFileBytes; a reader of one kind
// of workbook (the worksheet, the customer list) gives its own.
struct ReadLimits {
  std::uint64_t maxFileBytes = 64u << 20;
  int maxRows = 1000000;         // in every sheet (at most the grid's kMaxRows)
  long long maxCells = 4000000;  // in the whole workbook
  int maxSheets = 100;
  // What the rows are, for the refusal of too many: "pages a worksheet can hold" makes "it
  // holds more than the N pages a worksheet can hold"; empty: "sheet NAME holds more than
  // N rows".
  std::string rowsAre;
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
  // The size of every sheet; the file reader refuses a sheet that reaches beyond.
  static constexpr int kMaxRows = 1000000;
  static constexpr int kMaxCols = 1000;
  // Sum cells a sheet can hold (the program's grids use one or two).
  static constexpr int kMaxSumCells = 100;

  Sheet();
  explicit Sheet(std::string name);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& n);

  // Column heading texts (the grid shows them above the columns; no code looks them up).
  std::string ColText(int col) const;
  void SetColText(int col, const std::string& text);
  const std::vector<std::string>& Headings() const { return headings_; }
  // Height of the column heading row in twips (0: the grid's default single line).
  int HeaderHeight() const { return headerHeight_; }
  static constexpr int kMaxHeaderHeight = 100000;
  void SetHeaderHeight(int h);

  // Number of rows in use, never below 1 nor above kMaxRows. Writing below it extends it;
  // setting it smaller drops the rows beyond, with the sum cells in them.
  int MaxRow() const { return maxRow_; }
  void SetMaxRow(int n);
  // Highest column that holds a cell in any row (0 when none).
  int LastCol() const;
  // Number of columns the grid shows (0: as many as are used or headed; at most kMaxCols).
  int MaxCol() const { return maxCol_; }
  void SetMaxCol(int n);

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
  // The sums are worked out once after each change of the sheet, when one is first read.
  // Returns false (and changes nothing) for a cell outside the sheet or when the sheet
  // already holds kMaxSumCells other sums; a rectangle reaching outside is cut to the sheet.
  bool SetSumFormula(int row, int col, int r1, int c1, int r2, int c2);
  bool IsFormula(int row, int col) const { return !sums_.empty() && sums_.count({row, col}) != 0; }
  // How many times the sums of this sheet were worked out (tests check that reading sums
  // does not repeat the work).
  uint64_t SumPasses() const { return sumPasses_; }
  const std::map<std::pair<int, int>, std::array<int, 4>>& SumFormulas() const { return sums_; }

  // Empties the cells of a rectangle (rows and columns kept); bounds of -1 mean all.
  void ClearRange(int r1, int c1, int r2, int c2);
  void ClearAll();

  // Removal and insertion. shift 3 removes or inserts whole rows (the rows below move);
  // shift 2 moves only the cells of the columns c1..c2 up (or down). Bounds of -1 mean all.
  // Sum cells move with their cells, and a summed rectangle that lies in the moved cells
  // grows or shrinks with them; a sum whose rows are all removed becomes the number 0.
  // An insertion that would push a cell, a sum or a check box past the last row of the
  // sheet is refused (returns false) and changes nothing.
  void DeleteRange(int r1, int c1, int r2, int c2, int shift);
  bool InsertRange(int r1, int c1, int r2, int c2, int shift);

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

  // Check-box objects (a cell outside the sheet is ignored). Values: 0 unchecked, 1 checked,
  // 2 grey; other values are ignored.
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

  // The stored cells, row by row and column by column (for the file format).
  using Row = std::map<int, Cell>;
  const std::map<int, Row>& Rows() const { return rows_; }

  static bool InSheet(int row, int col) { return row >= 1 && row <= kMaxRows && col >= 1 && col <= kMaxCols; }

 private:
  Cell& At(int row, int col);  // creates the cell, extends MaxRow; the caller checks InSheet
  void Prune(int row, int col);  // forgets the cell when it holds nothing
  void Touch();
  void WorkOutSums() const;
  double SumValue(std::pair<int, int> at) const;
  void DropFormula(int row, int col) { if (!sums_.empty()) sums_.erase({row, col}); }
  // Turns a sum whose rectangle lost every row into the plain number 0.
  void DropEmptySums();
  // Row moves of the cells in columns c1..c2 (all columns for whole rows): the rows r1..r2
  // go and the rows below move up; or `count` rows open at r1.
  void RemoveRows(int r1, int r2, int c1, int c2, bool wholeRows);
  bool OpenRows(int r1, int count, int c1, int c2, bool wholeRows);

  std::string name_;
  std::vector<std::string> headings_;
  int headerHeight_ = 0;
  int maxRow_ = 1;
  int maxCol_ = 0;
  std::map<int, Row> rows_;  // only rows that hold a cell; every row <= maxRow_
  int selR1_ = 1, selC1_ = 1, selR2_ = 1, selC2_ = 1;
  int activeRow_ = 1, activeCol_ = 1;
  std::map<int, CheckBoxObject> checks_;
  std::map<std::pair<int, int>, std::array<int, 4>> sums_;  // (row, col) -> r1, c1, r2, c2
  uint64_t revision_ = 0;
  // The values of the sum cells, worked out for the content of revision sumsAt_.
  mutable std::map<std::pair<int, int>, double> sumValues_;
  mutable uint64_t sumsAt_ = 0;
  mutable uint64_t sumPasses_ = 0;
};

// A rectangle of cells taken by EditCopy: its size and the cells that hold something, at
// offsets from its top left corner (0-based).
struct CopiedCells {
  int rows = 0;
  int cols = 0;
  std::map<std::pair<int, int>, Cell> cells;
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
  bool InsertRange(int r1, int c1, int r2, int c2, int shift) { return ActiveSheetRef().InsertRange(r1, c1, r2, c2, shift); }
  void ClearRange(int r1, int c1, int r2, int c2) { ActiveSheetRef().ClearRange(r1, c1, r2, c2); }
  std::string ColText(int c) const { return ActiveSheetRef().ColText(c); }
  void SetColText(int c, const std::string& t) { ActiveSheetRef().SetColText(c, t); }

  // Copy and paste of the active sheet's selection through the workbook's own copy buffer
  // (not the system clipboard): a sum cell is copied as its value. Paste puts the copied
  // rectangle at the top left of the selection; EditPasteFrom pastes the rectangle last
  // copied in another workbook (the option list into the worksheet workbook). Cells that
  // would fall outside the sheet are left out.
  void EditCopy();
  void EditPaste() { PasteCells(copied_); }
  void EditPasteFrom(const Workbook& source) { PasteCells(source.copied_); }
  const CopiedCells& Copied() const { return copied_; }

  // Texts kept with the workbook outside every sheet (saved and read with the file), such as
  // the customer workbook's last issued customer number. An unknown key reads as "".
  std::string BookText(const std::string& key) const;
  void SetBookText(const std::string& key, const std::string& value);

  // Reads a workbook file. On any failure (missing, not a regular file, larger than the
  // limits, truncated, not JSON, another format, a newer version, a bad sheet) returns false
  // with a message naming the file in `error`, and leaves this workbook as it was. The size
  // is looked at before the file is read and the counts while it is read.
  bool Read(const std::string& path, std::string& error, const ReadLimits& limits = {});
  // Writes the workbook through a temporary file and a rename; on failure the old file
  // stays whole and `error` names the file.
  bool Write(const std::string& path, std::string& error) const;

  // The file text (for tests and for Write).
  std::string ToJson() const;
  bool FromJson(const std::string& text, std::string& why, const ReadLimits& limits = {});

  bool SameContent(const Workbook& other) const;

  static constexpr const char* kFormatName = "Quorvant workbook";
  static constexpr int kFormatVersion = 1;

 private:
  bool FromJsonChecked(const std::string& text, std::string& why, const ReadLimits& limits);
  void PasteCells(const CopiedCells& copied);

  std::vector<Sheet> sheets_;
  int active_ = 1;
  std::map<std::string, std::string> bookTexts_;
  CopiedCells copied_;
};

}  // namespace qv::grid
