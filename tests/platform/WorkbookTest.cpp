// The workbook data layer: cells, rows, selection text, copy and paste, check boxes, sum
// cells and the workbook file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/files/AtomicFile.h"
#include "platform/grid/Workbook.h"

namespace fs = std::filesystem;
using qv::grid::Cell;
using qv::grid::CellFont;
using qv::grid::Sheet;
using qv::grid::Workbook;

namespace {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "qv-wb-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (fs::path(path_) / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
    return out;
  }

 private:
  std::string path_;
};

std::string ReadText(const std::string& path) {
  std::string s;
  EXPECT_TRUE(qv::files::ReadWholeFile(path, s, std::uint64_t(1) << 30));
  return s;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

uint64_t Bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

// A workbook that uses every kind of content the file keeps.
Workbook RichWorkbook() {
  Workbook wb;
  wb.SetNumSheets(3);
  wb.SetSheetName(1, "Worksht");
  wb.SetSheetName(2, "Options");
  wb.SetSheetName(3, "StartUps");
  Sheet& s = wb.SheetAt(1);
  s.SetColText(1, "Vehicle");
  s.SetColText(3, "Cap\r\nCost");
  s.SetTextRC(1, 1, "Sedan \xC3\xA9 \"LX\"");
  s.SetTextRC(1, 2, "line one\r\nline two");
  const double numbers[] = {0.1, 1.0 / 3.0, -1e-300, 1e300, 123456789.125, 2.5e-7, -42, 5e-324};
  int col = 3;
  for (double v : numbers) s.SetNumberRC(2, col++, v);
  CellFont f;
  f.bold = true;
  f.italic = true;
  f.name = "MS Sans Serif";
  f.size = 8;
  f.color = 0x0000FF;
  s.SetFontRC(1, 1, f);
  CellFont onlyBold;
  onlyBold.bold = true;
  s.SetFontRC(4, 2, onlyBold);  // a formatted empty cell
  s.SetMaxRow(7);
  s.SetHeaderHeight(450);
  s.SetMaxCol(12);
  Sheet& st = wb.SheetAt(3);
  st.AddCheckBox(4, 5, 4, "Check4");
  st.AddCheckBox(7, 8, 4);
  st.SetObjValue(7, 1);
  st.SetNumberRC(1, 1, 10);
  st.SetNumberRC(2, 1, 32.5);
  st.SetSumFormula(3, 1, 1, 1, 2, 1);
  wb.SetBookText("LastCustomer", "17");
  return wb;
}

// The "cells" member of a sheet with n sum cells in column 1, each over all of column 2.
std::string ManySums(int n) {
  std::string cells = R"("cells": [)";
  for (int r = 1; r <= n; ++r)
    cells += (r > 1 ? "," : "") + ("[" + std::to_string(r) + R"(, 1, {"sum": [1, 2, 1000000, 2]}])");
  return cells + "]";
}

// Writes the workbook to its file text, reads that back, and checks that the reader took
// it and that nothing was lost or changed on the way.
void ExpectReadsBackTheSame(const Workbook& wb) {
  const std::string text = wb.ToJson();
  Workbook back;
  std::string why;
  ASSERT_TRUE(back.FromJson(text, why)) << why << "\n" << text;
  EXPECT_TRUE(back.SameContent(wb)) << text;
  EXPECT_EQ(back.ToJson(), text);
}

}  // namespace

TEST(WorkbookFile, WriteThenReadGivesTheSameWorkbook) {
  TempDir dir;
  std::string path = dir.File("deal.QVX");
  Workbook wb = RichWorkbook();
  std::string error;
  ASSERT_TRUE(wb.Write(path, error)) << error;

  Workbook back;
  back.SetTextRC(9, 9, "replaced by the read");
  ASSERT_TRUE(back.Read(path, error)) << error;
  EXPECT_TRUE(back.SameContent(wb));
  ASSERT_EQ(back.NumSheets(), 3);
  EXPECT_EQ(back.SheetName(2), "Options");
  const Sheet& s = back.SheetAt(1);
  EXPECT_EQ(s.TextRC(1, 1), "Sedan \xC3\xA9 \"LX\"");
  EXPECT_EQ(s.TextRC(1, 2), "line one\r\nline two");
  EXPECT_EQ(s.ColText(3), "Cap\r\nCost");
  EXPECT_EQ(s.ColText(2), "");
  EXPECT_EQ(s.MaxRow(), 7);
  EXPECT_EQ(s.HeaderHeight(), 450);
  EXPECT_EQ(s.MaxCol(), 12);
  const double numbers[] = {0.1, 1.0 / 3.0, -1e-300, 1e300, 123456789.125, 2.5e-7, -42, 5e-324};
  int col = 3;
  for (double v : numbers) {
    EXPECT_TRUE(s.IsNumber(2, col));
    EXPECT_EQ(Bits(s.NumberRC(2, col++)), Bits(v)) << v;
  }
  CellFont f = s.FontRC(1, 1);
  EXPECT_TRUE(f.bold && f.italic);
  EXPECT_EQ(f.name, "MS Sans Serif");
  EXPECT_EQ(f.size, 8);
  EXPECT_EQ(f.color, 0x0000FFu);
  EXPECT_TRUE(s.FontRC(4, 2).bold);
  EXPECT_TRUE(s.IsEmpty(4, 2));
  const Sheet& st = back.SheetAt(3);
  EXPECT_EQ(st.ObjValue(7), 1);
  EXPECT_EQ(st.ObjValue(4), 0);
  EXPECT_EQ(st.CheckBoxAt(5, 4), 4);
  EXPECT_EQ(st.CheckBoxes().at(4).name, "Check4");
  EXPECT_EQ(back.BookText("LastCustomer"), "17");
  // The sum cell is still a formula: it follows a change of its rows.
  EXPECT_EQ(st.NumberRC(3, 1), 42.5);
  back.SheetAt(3).SetNumberRC(1, 1, 20);
  EXPECT_EQ(back.SheetAt(3).NumberRC(3, 1), 52.5);
}

TEST(WorkbookFile, TextThatIsNotUtf8IsSavedAsLatin1) {
  TempDir dir;
  std::string path = dir.File("old.QVX");
  Workbook wb;
  wb.SetTextRC(1, 1, "Caf\xE9");  // one byte of an 8-bit character set
  std::string error;
  ASSERT_TRUE(wb.Write(path, error)) << error;
  Workbook back;
  ASSERT_TRUE(back.Read(path, error)) << error;
  EXPECT_EQ(back.TextRC(1, 1), "Caf\xC3\xA9");
}

TEST(WorkbookFile, BadFilesAreRefusedAndTheWorkbookStaysAsItWas) {
  TempDir dir;
  std::string good;
  {
    Workbook one;
    one.SetTextRC(1, 1, "a");
    good = one.ToJson();
  }
  const std::string head = R"({"format": "Quorvant workbook", "version": 1, "sheets": [{"name": "S", )";
  struct Case {
    const char* name;
    const char* file;  // nullptr: no file at all
    std::string content;
    const char* reason;  // part of the message
  } cases[] = {
      {"missing", nullptr, "", "Unable to open file"},
      {"empty", "empty.QVX", "", "damaged"},
      {"truncated", "cut.QVX", good.substr(0, good.size() / 2), "damaged"},
      {"not JSON", "text.QVX", "Quorvant 2.X worksheet\r\n1,2,3\r\n", "damaged"},
      {"foreign format", "other.QVX", R"({"format": "Spreadsheet", "version": 1, "sheets": [{"name": "S"}]})",
       "not a Quorvant workbook"},
      {"JSON but no object", "list.QVX", "[1, 2, 3]", "not a Quorvant workbook"},
      {"newer version", "new.QVX", R"({"format": "Quorvant workbook", "version": 2, "sheets": [{"name": "S"}]})",
       "newer release"},
      {"huge version", "huge.QVX",
       R"({"format": "Quorvant workbook", "version": 4294967297, "sheets": [{"name": "S"}]})", "newer release"},
      {"version zero", "zero.QVX", R"({"format": "Quorvant workbook", "version": 0, "sheets": [{"name": "S"}]})",
       "version"},
      {"no sheets", "nosheet.QVX", R"({"format": "Quorvant workbook", "version": 1, "sheets": []})", "no sheets"},
      {"cell outside", "far.QVX", head + R"("cells": [[0, 1, "x"]]}]})", "outside"},
      {"cell row wraps", "wrap.QVX", head + R"("cells": [[4294967297, 1, "x"]]}]})", "outside"},
      {"cell of a wrong kind", "kind.QVX", head + R"("cells": [[1, 1, true]]}]})", "damaged"},
      {"font of a wrong kind", "font.QVX", head + R"("cells": [[1, 1, "x", {"bold": "yes"}]]}]})", "damaged"},
      {"check box of a wrong kind", "cb.QVX", head + R"("checkBoxes": [{"id": "x", "row": 1, "col": 1}]}]})",
       "damaged"},
      {"row count below the cells", "rows.QVX", head + R"("maxRow": 1, "cells": [[3, 1, "x"]]}]})",
       "does not match"},
      {"more sum cells than a sheet holds", "sums.QVX", head + ManySums(Sheet::kMaxSumCells + 1) + "}]}",
       "holds more than 100 sum cells"},
      {"row past the sheet", "far2.QVX", head + R"("cells": [[1000001, 1, "x"]]}]})", "outside"},
      {"column past the sheet", "wide.QVX", head + R"("cells": [[1, 1001, "x"]]}]})", "outside"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.File(c.file ? c.file : "absent.QVX");
    if (c.file) WriteText(path, c.content);
    Workbook wb = RichWorkbook();
    wb.SetSheet(2);
    Workbook before = RichWorkbook();
    std::string error;
    EXPECT_FALSE(wb.Read(path, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_TRUE(wb.SameContent(before));
    EXPECT_EQ(wb.ActiveSheet(), 2);
  }
}

TEST(WorkbookFile, AFileBeyondTheReadersLimitsIsRefusedAsSoonAsItPassesThem) {
  TempDir dir;
  const std::string head = R"({"format": "Quorvant workbook", "version": 1, "sheets": [)";
  qv::grid::ReadLimits small;
  small.maxRows = 3;
  small.maxCells = 4;
  small.maxSheets = 2;
  small.maxFileBytes = 400;
  struct Case {
    const char* name;
    std::string content;
    const char* reason;  // empty: read
  } cases[] = {
      {"within every limit", head + R"({"name": "S", "maxRow": 3, "cells": [[3, 1, "x"], [1, 1, 2]]}]})", ""},
      {"a cell below the last row", head + R"({"name": "S", "cells": [[4, 1, "x"]]}]})",
       "sheet S holds more than 3 rows"},
      {"a row count above it", head + R"({"name": "S", "maxRow": 4}]})", "sheet S holds more than 3 rows"},
      {"more cells", head + R"({"name": "S", "cells": [[1, 1, 1], [1, 2, 1], [2, 1, 1], [2, 2, 1], [3, 1, 1]]}]})",
       "it holds more than 4 cells"},
      {"more sheets", head + R"({"name": "A"}, {"name": "B"}, {"name": "C"}]})", "it holds more than 2 sheets"},
      // The parse stops at the first row too many: what follows is never read, so the
      // damage after it is not what the message names.
      {"stopped before the end", head + R"({"cells": [[9, 1, "x"], [1, 1, "y"]], not json at all)",
       "sheet number 1 holds more than 3 rows"},
      {"larger than the file limit", head + R"({"name": "S", "cells": [[1, 1, ")" + std::string(400, 'x') + R"("]]}]})",
       "it is larger than 400 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("limits.QVX");
    WriteText(path, c.content);
    Workbook wb = RichWorkbook();
    const Workbook before = RichWorkbook();
    std::string error;
    const bool read = wb.Read(path, error, small);
    if (*c.reason == 0) {
      EXPECT_TRUE(read) << error;
      EXPECT_EQ(wb.TextRC(3, 1), "x");
      continue;
    }
    EXPECT_FALSE(read);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_TRUE(wb.SameContent(before));
  }
}

TEST(WorkbookFile, InterruptedWriteKeepsThePreviousFile) {
  TempDir dir;
  std::string path = dir.File("deal.QVX");
  Workbook first;
  first.SetTextRC(1, 1, "first");
  std::string error;
  ASSERT_TRUE(first.Write(path, error)) << error;
  std::string before = ReadText(path);

  Workbook second = RichWorkbook();
  qv::files::SetWriteFaultForTesting([&](const std::string& p) { return p == path; });
  bool ok = second.Write(path, error);
  qv::files::SetWriteFaultForTesting(nullptr);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"deal.QVX"});  // no temporary file left

  ASSERT_TRUE(second.Write(path, error)) << error;
  Workbook back;
  ASSERT_TRUE(back.Read(path, error));
  EXPECT_TRUE(back.SameContent(second));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"deal.QVX"});
}

TEST(WorkbookFile, WriteIntoAMissingFolderFailsWithTheFileName) {
  TempDir dir;
  std::string path = dir.File("no-such-folder/deal.QVX");
  std::string error;
  EXPECT_FALSE(Workbook().Write(path, error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
}

TEST(SheetCells, TextAndNumberAccess) {
  Sheet s;
  s.SetTextRC(2, 3, "12.5");
  s.SetTextRC(2, 4, "$1,200");
  s.SetTextRC(2, 5, " -7 ");
  s.SetTextRC(2, 6, "nan");
  s.SetTextRC(2, 7, "+-5");
  s.SetNumberRC(2, 8, std::nan(""));
  EXPECT_EQ(s.NumberRC(2, 3), 12.5);  // a text that is a plain number reads as it
  EXPECT_EQ(s.NumberRC(2, 4), 0);
  EXPECT_EQ(s.NumberRC(2, 5), -7);
  EXPECT_EQ(s.NumberRC(2, 6), 0);
  EXPECT_EQ(s.NumberRC(2, 7), 0);
  EXPECT_EQ(s.NumberRC(2, 8), 0);     // a cell never holds NaN
  EXPECT_FALSE(s.IsNumber(2, 3));
  EXPECT_EQ(s.TextRC(9, 9), "");
  EXPECT_EQ(s.NumberRC(9, 9), 0);
  EXPECT_EQ(s.TextRC(0, 1), "");
  s.SetTextRC(2, 3, "");
  EXPECT_TRUE(s.IsEmpty(2, 3));
}

TEST(SheetCells, RevisionMovesWithContentOnly) {
  Sheet s;
  uint64_t r0 = s.Revision();
  s.SetNumberRC(1, 1, 5);
  uint64_t r1 = s.Revision();
  EXPECT_NE(r1, r0);
  s.SetSelection(1, 1, 2, 2);
  s.SetActiveCell(2, 2);
  EXPECT_EQ(s.Revision(), r1);
  // A sheet built afresh never repeats the revision of another one.
  Sheet other;
  EXPECT_NE(other.Revision(), r1);
  EXPECT_NE(other.Revision(), r0);
  Sheet copy = s;
  EXPECT_EQ(copy.Revision(), s.Revision());
}

TEST(SheetClip, SelectionText) {
  Sheet s;
  s.SetTextRC(1, 1, "Base");
  s.SetNumberRC(1, 3, 1234567.5);
  s.SetNumberRC(2, 1, -3);
  s.SetTextRC(2, 2, "x");
  s.SetNumberRC(3, 2, 0.1);
  struct Case {
    int r1, c1, r2, c2;
    const char* clip;
  } cases[] = {
      {1, 1, 1, 3, "Base\t\t1234567.5"},               // one row: no line end, empty cell kept
      {1, 1, 1, 4, "Base\t\t1234567.5\t"},             // trailing empty cell keeps its TAB
      {1, 1, 3, 2, "Base\t\r\n-3\tx\r\n\t0.1\r\n"},   // rows ended by CR LF
      {2, 2, 2, 2, "x"},
      {5, 1, 5, 2, "\t"},                               // beyond the used rows
      {3, 2, 1, 1, "Base\t\r\n-3\tx\r\n\t0.1\r\n"},   // corners in either order
  };
  for (const auto& c : cases) {
    s.SetSelection(c.r1, c.c1, c.r2, c.c2);
    EXPECT_EQ(s.Clip(), c.clip) << c.r1 << "," << c.c1 << "-" << c.r2 << "," << c.c2;
  }
  Workbook wb;
  wb.SetNumberRC(3, 50, 7);
  wb.SetSelection(3, 1, 3, 51);
  std::string row = wb.Clip();
  EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 50);
  EXPECT_EQ(row.substr(row.size() - 2), "7\t");
}

TEST(SheetClip, NumberCellsArePlainDecimalThatReadsBack) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {
      {0, "0"}, {-0.0, "0"}, {0.1, "0.1"}, {-3, "-3"}, {1234567.5, "1234567.5"}, {1e21, "1000000000000000000000"},
      {1e-7, "0.0000001"}, {-2.5e-5, "-0.000025"}, {123456789012.34, "123456789012.34"},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::grid::NumberCellText(c.v), c.text) << c.v;
  const double others[] = {1.0 / 3.0, 2.0 / 3.0, 1e300, -1e-300, 5e-324, 1.7976931348623157e308, 0.30000000000000004,
                           99999.995, 0.0025};
  for (double v : others) {
    std::string t = qv::grid::NumberCellText(v);
    EXPECT_EQ(t.find_first_of("eE,"), std::string::npos) << t;
    EXPECT_EQ(Bits(std::strtod(t.c_str(), nullptr)), Bits(v)) << t;
  }
}

TEST(SheetRows, MaxRowNeverBelowOneAndSettable) {
  Sheet s;
  EXPECT_EQ(s.MaxRow(), 1);
  s.SetMaxRow(0);
  EXPECT_EQ(s.MaxRow(), 1);
  s.SetMaxRow(-5);
  EXPECT_EQ(s.MaxRow(), 1);
  s.SetMaxRow(10);
  EXPECT_EQ(s.MaxRow(), 10);
  s.SetTextRC(15, 1, "far");
  EXPECT_EQ(s.MaxRow(), 15);
  s.SetNumberRC(3, 1, 3);
  EXPECT_EQ(s.MaxRow(), 15);
  s.SetMaxRow(3);  // the rows beyond go
  EXPECT_EQ(s.MaxRow(), 3);
  s.SetMaxRow(20);
  EXPECT_EQ(s.TextRC(15, 1), "");
  EXPECT_EQ(s.NumberRC(3, 1), 3);
}

namespace {
// Rows 1..5 with "r<row>c<col>" in columns 1..3.
Sheet FiveRows() {
  Sheet s;
  for (int r = 1; r <= 5; ++r)
    for (int c = 1; c <= 3; ++c) s.SetTextRC(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  return s;
}
std::string Column(const Sheet& s, int col) {
  std::string out;
  for (int r = 1; r <= s.MaxRow(); ++r) out += (s.TextRC(r, col).empty() ? "-" : s.TextRC(r, col).substr(0, 2)) + " ";
  return out;
}
}  // namespace

TEST(SheetRows, DeleteRange) {
  struct Case {
    const char* name;
    int r1, c1, r2, c2, shift;
    const char* col1;  // column 1 afterwards, one entry per row up to MaxRow
    const char* col2;
    int maxRow;
  } cases[] = {
      {"one whole row", 2, -1, 2, -1, 3, "r1 r3 r4 r5 ", "r1 r3 r4 r5 ", 4},
      {"whole rows by shift 3 with columns given", 2, 1, 3, 3, 3, "r1 r4 r5 ", "r1 r4 r5 ", 3},
      {"last row", 5, -1, 5, -1, 3, "r1 r2 r3 r4 ", "r1 r2 r3 r4 ", 4},
      {"all rows", -1, -1, -1, -1, 3, "- ", "- ", 1},
      {"rows beyond the used ones", 7, -1, 9, -1, 3, "r1 r2 r3 r4 r5 ", "r1 r2 r3 r4 r5 ", 5},
      {"cells of column 1 move up", 2, 1, 3, 1, 2, "r1 r4 r5 - - ", "r1 r2 r3 r4 r5 ", 5},
      {"cells of columns 1 and 2 move up", 1, 1, 1, 2, 2, "r2 r3 r4 r5 - ", "r2 r3 r4 r5 - ", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Sheet s = FiveRows();
    s.DeleteRange(c.r1, c.c1, c.r2, c.c2, c.shift);
    EXPECT_EQ(Column(s, 1), c.col1);
    EXPECT_EQ(Column(s, 2), c.col2);
    EXPECT_EQ(s.MaxRow(), c.maxRow);
    if (c.shift == 2) {
      EXPECT_EQ(Column(s, 3), "r1 r2 r3 r4 r5 ");  // other columns stay
    }
  }
}

TEST(SheetRows, DeletingRowsMovesCheckBoxesAndSums) {
  Sheet s;
  for (int r = 1; r <= 6; ++r) s.SetNumberRC(r, 1, r);
  s.SetSumFormula(8, 1, 1, 1, 6, 1);  // 21
  s.AddCheckBox(1, 2, 2);
  s.AddCheckBox(2, 5, 2);
  s.DeleteRange(2, -1, 3, -1, 3);  // drops 2 and 3
  EXPECT_FALSE(s.HasCheckBox(1));
  EXPECT_EQ(s.CheckBoxAt(3, 2), 2);
  EXPECT_TRUE(s.IsFormula(6, 1));
  EXPECT_EQ(s.NumberRC(6, 1), 1 + 4 + 5 + 6);
  s.InsertRange(2, -1, 2, -1, 3);  // inside the summed rows: the sum takes the new row in
  s.SetNumberRC(2, 1, 100);
  EXPECT_EQ(s.NumberRC(7, 1), 116);
  EXPECT_EQ(s.CheckBoxAt(4, 2), 2);
}

TEST(SheetRows, OptionRowsOfAPageAreDeletedOneByOne) {
  // The page-delete walk over sheet "Options": delete a matching row and look at the same
  // row again, since the next one moved up.
  Sheet s;
  const int pages[] = {1, 2, 2, 3, 2};
  for (int r = 1; r <= 5; ++r) {
    s.SetNumberRC(r, 1, pages[r - 1]);
    s.SetTextRC(r, 2, "opt" + std::to_string(r));
  }
  int n = s.MaxRow(), r = 1;
  while (r <= n) {
    if (s.NumberRC(r, 1) == 2) {
      s.DeleteRange(r, -1, r, -1, 3);
      --n;
    } else {
      ++r;
    }
  }
  EXPECT_EQ(s.MaxRow(), 2);
  s.SetSelection(1, 1, 2, 2);
  EXPECT_EQ(s.Clip(), "1\topt1\r\n3\topt4\r\n");
}

TEST(SheetRows, InsertRange) {
  Sheet s = FiveRows();
  s.InsertRange(2, -1, 3, -1, 3);
  EXPECT_EQ(Column(s, 1), "r1 - - r2 r3 r4 r5 ");
  EXPECT_EQ(s.MaxRow(), 7);
  Sheet t = FiveRows();
  t.InsertRange(2, 2, 2, 2, 2);  // cells of column 2 move down
  EXPECT_EQ(Column(t, 2), "r1 - r2 r3 r4 r5 ");
  EXPECT_EQ(Column(t, 1), "r1 r2 r3 r4 r5 - ");
}

TEST(WorkbookCopy, EditCopyAndPaste) {
  Workbook wb;
  wb.SetNumSheets(2);
  wb.SetSheet(1);
  wb.SetTextRC(2, 1, "Coupe");
  wb.SetNumberRC(2, 2, 19999.5);
  CellFont bold;
  bold.bold = true;
  wb.ActiveSheetRef().SetFontRC(2, 2, bold);
  wb.SetTextRC(5, 2, "overwritten");
  wb.SetSelection(2, 1, 2, 3);
  wb.EditCopy();
  wb.SetMaxRow(5);
  wb.SetSelection(5, 1, 5, 3);
  wb.EditPaste();
  EXPECT_EQ(wb.TextRC(5, 1), "Coupe");
  EXPECT_TRUE(wb.ActiveSheetRef().IsNumber(5, 2));
  EXPECT_EQ(wb.NumberRC(5, 2), 19999.5);
  EXPECT_TRUE(wb.ActiveSheetRef().FontRC(5, 2).bold);
  EXPECT_EQ(wb.TextRC(2, 1), "Coupe");  // the source stays

  // Each workbook keeps its own copy: a copy in another one neither replaces this one's nor
  // reaches a workbook that copied nothing.
  Workbook optionList;
  optionList.SetTextRC(1, 1, "Sunroof");
  optionList.SetNumberRC(1, 2, 800);
  optionList.SetNumberRC(1, 3, 950);
  optionList.SetSelection(1, 1, 1, 3);
  optionList.EditCopy();
  Workbook fresh;
  fresh.EditPaste();
  EXPECT_TRUE(fresh.SameContent(Workbook()));
  wb.SetSheet(2);
  wb.SetNumberRC(1, 1, 4);
  wb.SetSelection(1, 2, 1, 4);
  wb.EditPaste();
  wb.SetSelection(1, 1, 1, 4);
  EXPECT_EQ(wb.Clip(), "4\tCoupe\t19999.5\t");
  // The other workbook's copy is pasted by name (option list into "Options").
  wb.SetSelection(1, 2, 1, 4);
  wb.EditPasteFrom(optionList);
  wb.SetSelection(1, 1, 1, 4);
  EXPECT_EQ(wb.Clip(), "4\tSunroof\t800\t950");
  // Pasting a row of empty cells past MaxRow makes the row exist.
  wb.SetSelection(3, 5, 3, 6);
  wb.EditCopy();
  wb.SetSelection(6, 1, 6, 2);
  wb.EditPaste();
  EXPECT_EQ(wb.MaxRow(), 6);
}

TEST(SheetCheckBoxes, ValuesById) {
  Sheet s;
  s.AddCheckBox(3, 4, 4, "Reg");
  EXPECT_TRUE(s.HasCheckBox(3));
  EXPECT_EQ(s.ObjValue(3), 0);
  uint64_t rev = s.Revision();
  s.SetObjValue(3, 1);
  EXPECT_EQ(s.ObjValue(3), 1);
  EXPECT_NE(s.Revision(), rev);
  rev = s.Revision();
  s.SetObjValue(3, 1);  // same value: nothing changed
  EXPECT_EQ(s.Revision(), rev);
  s.SetObjValue(99, 1);  // no such object
  EXPECT_FALSE(s.HasCheckBox(99));
  EXPECT_EQ(s.ObjValue(99), 0);
  EXPECT_EQ(s.CheckBoxAt(4, 4), 3);
  EXPECT_EQ(s.CheckBoxAt(4, 5), 0);
}

TEST(SheetFonts, SelectionFontAndBold) {
  Sheet s;
  s.SetNumberRC(3, 1, 5);
  s.SetSelection(3, 1, 3, 2);
  CellFont f;
  f.name = "MS Sans Serif";
  f.size = 8;
  f.bold = true;
  s.SetSelectionFont(f);
  EXPECT_EQ(s.FontRC(3, 1), f);
  EXPECT_EQ(s.FontRC(3, 2), f);
  EXPECT_EQ(s.NumberRC(3, 1), 5);  // formatting leaves the value
  s.SetSelection(3, 1, 3, 1);
  s.SetSelectionBold(false);
  EXPECT_FALSE(s.FontRC(3, 1).bold);
  EXPECT_EQ(s.FontRC(3, 1).name, "MS Sans Serif");
  s.SetNumberRC(3, 1, 6);  // writing keeps the font
  EXPECT_EQ(s.FontRC(3, 1).name, "MS Sans Serif");
}

TEST(SheetSums, SumCellFollowsItsRange) {
  Sheet s;
  for (int r = 1; r <= 7; ++r) s.SetNumberRC(r, 1, r * 1.25);
  s.SetTextRC(4, 1, "text is not counted");
  s.SetSumFormula(8, 1, 1, 1, 7, 1);
  EXPECT_EQ(s.NumberRC(8, 1), 1.25 * (1 + 2 + 3 + 5 + 6 + 7));
  EXPECT_TRUE(s.IsNumber(8, 1));
  s.SetNumberRC(4, 1, 100);
  EXPECT_EQ(s.TextRC(8, 1), qv::grid::NumberCellText(1.25 * 24 + 100));
  s.SetSelection(7, 1, 8, 1);
  EXPECT_EQ(s.Clip(), "8.75\r\n130\r\n");
  s.SetNumberRC(8, 1, 1);  // writing the cell replaces the formula
  EXPECT_FALSE(s.IsFormula(8, 1));
  EXPECT_EQ(s.NumberRC(8, 1), 1);
  s.SetSumFormula(9, 1, 1, 1, 9, 1);  // a sum over itself does not count itself
  EXPECT_EQ(s.NumberRC(9, 1), 1.25 * 24 + 100 + 1);
}

TEST(SheetStorage, OnlyCellsThatHoldSomethingAreKept) {
  // Cells far out in their rows do not fill the rows up to them.
  Sheet s;
  for (int r = 1; r <= 10000; ++r) s.SetNumberRC(r, Sheet::kMaxCols, 1);
  size_t stored = 0;
  for (const auto& [r, row] : s.Rows()) stored += row.size();
  EXPECT_EQ(stored, 10000u);
  EXPECT_EQ(s.LastCol(), Sheet::kMaxCols);
  // A cell on the last row makes no rows in between.
  s.SetTextRC(Sheet::kMaxRows, 1, "last");
  EXPECT_EQ(s.Rows().size(), 10001u);
  EXPECT_EQ(s.MaxRow(), Sheet::kMaxRows);
  // Emptied cells are forgotten; a formatted empty cell stays.
  CellFont bold;
  bold.bold = true;
  s.SetFontRC(5, 5, bold);
  s.ClearRange(1, -1, 10000, -1);
  s.SetTextRC(Sheet::kMaxRows, 1, "");
  ASSERT_EQ(s.Rows().size(), 1u);
  EXPECT_EQ(s.Rows().begin()->first, 5);
  EXPECT_TRUE(s.FontRC(5, 5).bold);

  // A file of such cells reads into as little.
  std::string cells;
  for (int r = 1; r <= 10000; ++r) cells += (r > 1 ? "," : "") + ("[" + std::to_string(r) + ", 1000, 1]");
  Workbook wb;
  std::string why;
  ASSERT_TRUE(wb.FromJson(R"({"format": "Quorvant workbook", "version": 1, "sheets": [{"name": "S", "cells": [)" +
                              cells + "]}]}",
                          why))
      << why;
  stored = 0;
  for (const auto& [r, row] : wb.SheetAt(1).Rows()) stored += row.size();
  EXPECT_EQ(stored, 10000u);
}

TEST(SheetSums, SumsAreWorkedOutOncePerChange) {
  Sheet s;
  for (int r = 1; r <= 50; ++r) s.SetNumberRC(r, 1, r);
  for (int k = 1; k <= Sheet::kMaxSumCells; ++k) ASSERT_TRUE(s.SetSumFormula(k, 2, 1, 1, Sheet::kMaxRows, 1));
  const uint64_t before = s.SumPasses();
  for (int k = 1; k <= Sheet::kMaxSumCells; ++k) EXPECT_EQ(s.NumberRC(k, 2), 1275);
  EXPECT_EQ(s.TextRC(7, 2), "1275");
  EXPECT_EQ(s.SumPasses(), before + 1);
  s.SetNumberRC(1, 1, 2);
  for (int k = 1; k <= Sheet::kMaxSumCells; ++k) EXPECT_EQ(s.NumberRC(k, 2), 1276);
  EXPECT_EQ(s.SumPasses(), before + 2);
  // A copy keeps the worked-out values of the content it copied.
  Sheet copy = s;
  EXPECT_EQ(copy.NumberRC(3, 2), 1276);
  EXPECT_EQ(copy.SumPasses(), before + 2);
  // One sum more than a sheet holds is refused; a sum cell can still be given a new range.
  EXPECT_FALSE(s.SetSumFormula(Sheet::kMaxSumCells + 1, 2, 1, 1, 2, 1));
  EXPECT_FALSE(s.IsFormula(Sheet::kMaxSumCells + 1, 2));
  EXPECT_TRUE(s.SetSumFormula(1, 2, 1, 1, 2, 1));
  EXPECT_EQ(s.NumberRC(1, 2), 2 + 2);
  EXPECT_FALSE(s.SetSumFormula(0, 2, 1, 1, 2, 1));
}

TEST(WorkbookFile, WhatTheOperationsLeaveIsWrittenAndReadBackTheSame) {
  CellFont bold;
  bold.bold = true;
  struct Case {
    const char* name;
    std::function<void(Sheet&)> operations;
    std::function<void(const Sheet&)> check;
  } cases[] = {
      {"the rows of a sum all deleted",
       [](Sheet& s) {
         s.SetNumberRC(1, 1, 5);
         s.SetSumFormula(3, 1, 1, 1, 1, 1);
         s.DeleteRange(1, -1, 1, -1, 3);
       },
       [](const Sheet& s) {
         EXPECT_FALSE(s.IsFormula(2, 1));
         EXPECT_TRUE(s.IsNumber(2, 1));
         EXPECT_EQ(s.NumberRC(2, 1), 0);
       }},
      {"a sum below a lowered row count",
       [](Sheet& s) {
         for (int r = 1; r <= 3; ++r) s.SetNumberRC(r, 1, r);
         s.SetSumFormula(5, 1, 1, 1, 3, 1);
         s.SetMaxRow(4);
       },
       [](const Sheet& s) {
         EXPECT_FALSE(s.IsFormula(5, 1));
         EXPECT_EQ(s.MaxRow(), 4);
       }},
      {"cells and objects outside the sheet",
       [&](Sheet& s) {
         s.SetTextRC(Sheet::kMaxRows + 1, 1, "below");
         s.SetNumberRC(1, Sheet::kMaxCols + 1, 1);
         s.SetCell(0, 1, Cell{Cell::Kind::Text, 0, "x", {}});
         s.SetFontRC(1, -3, bold);
         s.SetColText(Sheet::kMaxCols + 1, "heading");
         s.AddCheckBox(1, Sheet::kMaxRows + 1, 1);
         s.SetSumFormula(2, Sheet::kMaxCols + 1, 1, 1, 1, 1);
         s.SetMaxRow(Sheet::kMaxRows + 10);
       },
       [](const Sheet& s) {
         EXPECT_TRUE(s.Rows().empty());
         EXPECT_TRUE(s.Headings().empty());
         EXPECT_TRUE(s.CheckBoxes().empty());
         EXPECT_TRUE(s.SumFormulas().empty());
         EXPECT_EQ(s.MaxRow(), Sheet::kMaxRows);
       }},
      {"rows inserted above the last row of the sheet",
       [](Sheet& s) {
         s.SetTextRC(Sheet::kMaxRows - 1, 1, "last but one");
         EXPECT_TRUE(s.InsertRange(1, -1, 1, -1, 3));
         EXPECT_FALSE(s.InsertRange(1, -1, 1, -1, 3));  // the text would fall off the sheet
         EXPECT_FALSE(s.InsertRange(5, 1, 5, 1, 2));
         EXPECT_TRUE(s.InsertRange(5, 2, 6, 2, 2));     // other columns have room
       },
       [](const Sheet& s) {
         EXPECT_EQ(s.TextRC(Sheet::kMaxRows, 1), "last but one");
         EXPECT_EQ(s.MaxRow(), Sheet::kMaxRows);
       }},
      {"a sum rectangle reaching past the sheet is cut to it",
       [](Sheet& s) {
         s.SetNumberRC(2, 2, 4);
         s.SetSumFormula(1, 1, -5, 2, Sheet::kMaxRows + 5, Sheet::kMaxCols + 9);
         s.InsertRange(1, -1, 1, -1, 3);
       },
       [](const Sheet& s) {
         EXPECT_EQ(s.SumFormulas().at({2, 1}), (std::array<int, 4>{2, 2, Sheet::kMaxRows, Sheet::kMaxCols}));
         EXPECT_EQ(s.NumberRC(2, 1), 4);
       }},
      {"cells moved up and down within columns take their sums along",
       [](Sheet& s) {
         for (int r = 1; r <= 4; ++r) s.SetNumberRC(r, 1, r);
         s.SetNumberRC(1, 2, 100);
         s.SetSumFormula(6, 1, 1, 1, 4, 1);
         s.SetSumFormula(6, 2, 1, 1, 4, 2);    // over both columns: stays
         s.DeleteRange(1, 1, 1, 1, 2);         // 2 3 4 move up, the sum to row 5
       },
       [](const Sheet& s) {
         EXPECT_TRUE(s.IsFormula(5, 1));
         EXPECT_FALSE(s.IsFormula(6, 1));
         EXPECT_EQ(s.NumberRC(5, 1), 2 + 3 + 4);
         EXPECT_EQ(s.SumFormulas().at({6, 2}), (std::array<int, 4>{1, 1, 4, 2}));
         Sheet t = s;
         t.InsertRange(1, 1, 2, 1, 2);          // down again by two
         EXPECT_TRUE(t.IsFormula(7, 1));
         EXPECT_EQ(t.NumberRC(7, 1), 2 + 3 + 4);
         EXPECT_EQ(t.TextRC(3, 1), "2");
         EXPECT_EQ(t.MaxRow(), 7);
       }},
      {"values that the file cannot hold",
       [](Sheet& s) {
         CellFont odd;
         odd.size = 5000;
         odd.color = 0xFF123456;
         s.SetFontRC(1, 1, odd);
         odd.size = std::nan("");
         s.SetFontRC(1, 2, odd);
         s.SetHeaderHeight(1 << 30);
         s.SetMaxCol(5000);
         s.AddCheckBox(3, 2, 2);
         s.SetObjValue(3, 9);
         s.SetCell(2, 1, Cell{Cell::Kind::Number, std::nan(""), "", {}});
         s.SetCell(2, 2, Cell{Cell::Kind::Text, 0, "", {}});
         s.SetCell(2, 3, Cell{Cell::Kind::Empty, 7, "hidden", {}});
       },
       [](const Sheet& s) {
         EXPECT_EQ(s.FontRC(1, 1).size, 1000);
         EXPECT_EQ(s.FontRC(1, 1).color, 0x123456u);
         EXPECT_EQ(s.FontRC(1, 2).size, 0);
         EXPECT_EQ(s.HeaderHeight(), Sheet::kMaxHeaderHeight);
         EXPECT_EQ(s.MaxCol(), Sheet::kMaxCols);
         EXPECT_EQ(s.ObjValue(3), 0);
         EXPECT_EQ(s.NumberRC(2, 1), 0);
         EXPECT_TRUE(s.IsEmpty(2, 2));
         EXPECT_TRUE(s.IsEmpty(2, 3));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workbook wb;
    c.operations(wb.SheetAt(1));
    c.check(wb.SheetAt(1));
    ExpectReadsBackTheSame(wb);
  }
}
