// Workbook operations, then a write and a read. The bytes choose a sequence of operations
// (cell writes, sums, row deletes and inserts, row counts, fonts, check boxes, copy and
// paste, sheets and workbook texts) with row and column numbers around both ends of the
// sheet. Properties: every sum reads as the sum of its rectangle, and whatever the
// operations leave is written by the writer and read back the same by the reader (texts
// that are not UTF-8 come back as their Latin-1 characters, and then stay so).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/grid/Workbook.h"
#include "tests/fuzz/FuzzSupport.h"

using qv::grid::Cell;
using qv::grid::CellFont;
using qv::grid::Sheet;
using qv::grid::Workbook;

namespace {

// A row number: mostly small, sometimes -1 (all), 0 or near the last row of the sheet.
int Row(qv::fuzz::ByteReader& in) {
  switch (in.IntIn(0, 7)) {
    case 0: return -1;
    case 1: return Sheet::kMaxRows - 3 + in.IntIn(0, 6);
    case 2: return in.Int32();
    default: return in.IntIn(0, 40);
  }
}

int Col(qv::fuzz::ByteReader& in) {
  switch (in.IntIn(0, 7)) {
    case 0: return -1;
    case 1: return Sheet::kMaxCols - 3 + in.IntIn(0, 6);
    case 2: return in.Int32();
    default: return in.IntIn(0, 12);
  }
}

// Whether a text of this run holds bytes that are not UTF-8 (from an older 8-bit file):
// the writer writes those as Latin-1 characters, so such a workbook reads back with the
// converted texts.
bool g_rawText = false;

// A text: mostly valid UTF-8 (each byte above 127 as its Latin-1 character), sometimes the
// bytes as they come.
std::string Text(qv::fuzz::ByteReader& in, size_t maxLength = 24) {
  const bool raw = in.Int(0, 7) == 0;
  std::string bytes = in.Text(maxLength);
  if (raw) {
    g_rawText = true;
    return bytes;
  }
  std::string text;
  for (char ch : bytes) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      text += ch;
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

double Number(qv::fuzz::ByteReader& in) {
  switch (in.IntIn(0, 3)) {
    case 0: return in.AnyDouble();  // NaN, infinity and the extremes too
    case 1: return in.IntIn(-1000, 1000) / 8.0;
    default: return in.IntIn(-100000, 100000);
  }
}

CellFont Font(qv::fuzz::ByteReader& in) {
  CellFont f;
  f.name = Text(in, 8);
  f.size = in.Bool() ? in.AnyDouble() : in.IntIn(0, 20);
  f.bold = in.Bool();
  f.italic = in.Bool();
  f.underline = in.Bool();
  f.strikeout = in.Bool();
  f.color = static_cast<uint32_t>(in.Int(0, UINT32_MAX));
  return f;
}

// a + d without overflow.
int Plus(int a, int d) { return static_cast<int>(std::clamp<int64_t>(int64_t{a} + d, INT_MIN, INT_MAX)); }

// A selection of at most a few rows and columns (formatting a selection touches every
// cell of it), anywhere in the sheet.
void SmallSelection(qv::fuzz::ByteReader& in, Sheet& s) {
  const int r = Row(in), c = Col(in);
  s.SetSelection(r, c, Plus(r, in.IntIn(0, 3)), Plus(c, in.IntIn(0, 3)));
}

// The sum of a rectangle worked out cell by cell.
double SumByHand(const Sheet& s, const std::array<int, 4>& range) {
  double sum = 0;
  for (const auto& [r, row] : s.Rows())
    for (const auto& [c, cell] : row)
      if (r >= range[0] && r <= range[2] && c >= range[1] && c <= range[3] && cell.kind == Cell::Kind::Number &&
          !s.IsFormula(r, c))
        sum += cell.number;
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::fuzz::ByteReader in(data, size);
  g_rawText = false;
  Workbook wb, other;
  other.SetTextRC(1, 1, "from the other workbook");
  other.SetSelection(1, 1, 2, 2);
  other.EditCopy();
  for (int op = 0; op < 64 && in.Remaining() > 0; ++op) {
    Sheet& s = wb.ActiveSheetRef();
    switch (in.IntIn(0, 24)) {
      case 0: s.SetTextRC(Row(in), Col(in), Text(in)); break;
      case 1: s.SetNumberRC(Row(in), Col(in), Number(in)); break;
      case 2: {
        Cell c;
        c.kind = static_cast<Cell::Kind>(in.IntIn(0, 3));
        c.number = Number(in);
        c.text = Text(in);
        c.font = Font(in);
        s.SetCell(Row(in), Col(in), c);
        break;
      }
      case 3: s.SetSumFormula(Row(in), Col(in), Row(in), Col(in), Row(in), Col(in)); break;
      case 4: s.ClearRange(Row(in), Col(in), Row(in), Col(in)); break;
      case 5: s.ClearAll(); break;
      case 6: s.DeleteRange(Row(in), Col(in), Row(in), Col(in), in.Bool() ? 3 : 2); break;
      case 7: {
        const int r1 = Row(in);
        s.InsertRange(r1, Col(in), Plus(r1, in.IntIn(-1, 5)), Col(in), in.Bool() ? 3 : 2);
        break;
      }
      case 8: s.SetMaxRow(Row(in)); break;
      case 9: s.SetMaxCol(Col(in)); break;
      case 10: s.SetHeaderHeight(in.Int32()); break;
      case 11: s.SetColText(Col(in), Text(in)); break;
      case 12: s.SetFontRC(Row(in), Col(in), Font(in)); break;
      case 13:
        SmallSelection(in, s);
        s.SetSelectionFont(Font(in));
        break;
      case 14:
        SmallSelection(in, s);
        s.SetSelectionBold(in.Bool());
        break;
      case 15: s.AddCheckBox(in.Int32() % 8, Row(in), Col(in), Text(in)); break;
      case 16: s.SetObjValue(in.Int32() % 8, in.IntIn(-1, 3)); break;
      case 17:
        s.SetSelection(Row(in), Col(in), Row(in), Col(in));
        wb.EditCopy();
        break;
      case 18:
        s.SetSelection(Row(in), Col(in), Row(in), Col(in));
        wb.EditPaste();
        break;
      case 19:
        s.SetSelection(Row(in), Col(in), Row(in), Col(in));
        wb.EditPasteFrom(other);
        break;
      case 20: wb.SetNumSheets(in.IntIn(-1, 6)); break;
      case 21: wb.SetSheet(in.IntIn(0, 7)); break;
      case 22: wb.SetSheetName(wb.ActiveSheet(), Text(in)); break;
      case 23: wb.SetBookText(Text(in), Text(in)); break;
      default: {
        // Reading a cell works the sums out.
        const int r = Row(in), c = Col(in);
        (void)s.TextRC(r, c);
        (void)s.NumberRC(r, c);
        break;
      }
    }
  }

  for (int n = 1; n <= wb.NumSheets(); ++n) {
    const Sheet& s = wb.SheetAt(n);
    for (const auto& [at, range] : s.SumFormulas()) {
      const double got = s.NumberRC(at.first, at.second), want = SumByHand(s, range);
      if (!(got == want || (std::isnan(got) && std::isnan(want))))
        qv::fuzz::FuzzFailure("a sum cell does not read as the sum of its rectangle");
      if (!s.CellAt(at.first, at.second)) qv::fuzz::FuzzFailure("a sum cell has no cell");
    }
    for (const auto& [r, row] : s.Rows())
      if (r > s.MaxRow()) qv::fuzz::FuzzFailure("a cell lies below the row count");
  }

  const std::string text = wb.ToJson();
  Workbook back;
  std::string why;
  if (!back.FromJson(text, why)) qv::fuzz::FuzzFailure("the reader refuses what the writer wrote");
  if (!g_rawText && !back.SameContent(wb)) qv::fuzz::FuzzFailure("the workbook reads back different");
  if (back.ToJson() != text) qv::fuzz::FuzzFailure("the workbook file reads back to another text");
  return 0;
}
