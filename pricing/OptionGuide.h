#pragma once
// The option guide of a vehicle line as the option window (`OptLookUp`) uses it: the
// option lines of "Options.txt" found through "Options.ndx", the rows of the option grid
// (group headings, price codes, sub-headings put before the next option, long
// descriptions over two rows), the marks of the options already on the page, and what
// selecting and un-selecting an option does to the engine's "Options" sheet.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {
class Engine;
namespace grid {
class Sheet;
}
}  // namespace qv

namespace qv::pricing {

// Price codes of an option line's invoice field.
inline constexpr double kNoCharge = 0;           // "   N/C"
inline constexpr double kOptionNotAvailable = -888;  // "   N/A"
inline constexpr double kPackageCode = -777;     // "   Pkg"
inline constexpr double kStandardCode = -666;    // "   Std"
inline constexpr double kBlankPriceCode = -555;  // six blanks
inline constexpr double kSubHeadingCode = -999;  // a sub-heading put before the next option

// The mark of an option row that is on the page.
inline constexpr const char* kChosenMark = "<TAG>";

// One line of "Options.txt": group | description | invoice or code | MSRP | block key | n.
// Fields 3 to 6 read the leading number of their text (0 when none); a line with fewer
// "|" reads its missing fields as empty and 0.
struct OptionLine {
  std::string group;
  std::string description;
  double code = 0;   // field 3: invoice or price code
  double msrp = 0;   // field 4
  double key = 0;    // field 5: the vehicle line number
  double extra = 0;  // field 6: read, not used
};
OptionLine ParseOptionLine(const std::string& line);

// The texts of the "Invoice" and "MSRP" columns for an option's field 3 and field 4.
struct OptionPriceTexts {
  std::string invoice;
  std::string msrp;
};
OptionPriceTexts OptionPrices(double code, double msrp);

// One row of the option grid `OptionLookUp` (columns 1 to 5).
struct OptionRow {
  enum class Kind {
    Heading,       // column 1 holds the group name (bold blue); not selectable
    Option,        // an option that can be put on the page
    Continuation,  // the second row of a long description; not selectable
    SubHeading,    // a sub-heading with no option after it in its block; not selectable
  };
  Kind kind = Kind::Option;
  std::string mark;            // column 1: the group on a heading, "<TAG>" when on the page
  std::string description;     // column 2 (the first part of a long description)
  std::string invoiceText;     // column 3
  std::string msrpText;        // column 4
  int sheetRow = 0;            // column 5: the "Options" sheet row of a marked option, else 0
  // What selecting puts on the page: the whole description, and the shown amounts read
  // back as numbers (whole dollars; a code text reads 0).
  std::string fullDescription;
  double invoice = 0;
  double msrp = 0;

  bool Selectable() const { return kind == Kind::Option; }
  bool Marked() const { return mark == kChosenMark; }
};

struct OptionGrid {
  std::vector<OptionRow> rows;  // rows[i] is grid row i + 1
  std::string error;            // a missing or damaged file, named
};

// The option grid of vehicle line `mfgNum` of class `classLetter` (`LoadOptions`). A
// vehicle line number of 0 or an index record of 0 gives an empty grid without a message.
OptionGrid LoadOptions(const std::string& appFolder, const std::string& classLetter, int64_t mfgNum);
// The same from the lines of one block (the first line is taken whatever its key; the
// block ends at the first line whose key is not `mfgNum`): for tests, fuzzing and timing.
OptionGrid OptionRowsFromLines(const std::vector<std::string>& lines, int64_t mfgNum);

// Marks the grid rows of options already on the page (`MarkChosenOptions`): for each row
// of the main window's option list (column 1 name, column 5 its "Options" sheet row), the
// first unmarked option row whose trimmed description equals the trimmed name in their
// first 51 characters gets "<TAG>" and that sheet row. An empty option list marks nothing.
void MarkChosenOptions(OptionGrid& grid, const grid::Sheet& optionList);

// Puts the option of grid row `row` (1-based) on the current page (`SelectOpt`): a new row
// of the "Options" sheet (row 1 when the sheet holds no option), OptionCount raised, the
// grid row marked with that sheet row. Only for an unmarked option row; false otherwise.
bool SelectOpt(Engine& eng, OptionGrid& grid, int row);

// Takes the option of grid row `row` off the page (`UnSelectOpt`): its "Options" sheet row
// is deleted (the rows below move up) and the mark cleared; the remembered sheet rows of
// the other marked options below it move up with their rows. When the remembered row no
// longer holds this option of this page, the option's row is looked up by page and name.
// Only for a marked row; false otherwise.
bool UnSelectOpt(Engine& eng, OptionGrid& grid, int row);

// Which of "&Select" and "&Un-Select" a grid row allows (row 0 is the heading row: none).
struct OptionButtons {
  bool select = false;
  bool unSelect = false;
};
OptionButtons ButtonsForRow(const OptionGrid& grid, int row);

// The option window's vehicle label from the page's CarName: the text before the first
// "-" at or after the first ":" (the whole name when there is none).
std::string OptionWindowLabel(const std::string& carName);
// "Std E&quip" is enabled when the label holds ":".
bool StdEquipEnabled(const std::string& label);

// What closing the option window does, in order: refill the page's option list, compute
// the lease without reloading the page items, `hideWindow`, ask whether the residual is to
// be recomputed when the MSRP changed, and recalculate the page.
void FinishOptionLookup(Engine& eng, const std::function<void()>& hideWindow);

}  // namespace qv::pricing
