#pragma once
// The price guide of one vehicle class as the browser and the lookups use it: the vehicle
// list ("MANUF.TXT"), the model grid of one vehicle line (models from "Model.txt", their
// types from "Type.txt"), the standard-equipment line ("MajorSE.txt") and its layouts,
// and taking a type onto a page of the engine.
//
// Every reader returns its rows and, when a file is missing or damaged, an empty result
// with one message in `error` that names the file; the window shows that message. An
// index record of 0 (no block) gives an empty result without a message.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/grid/Workbook.h"
#include "pricing/GuideLines.h"

namespace qv {
class Engine;
}

namespace qv::pricing {

// One entry of the vehicle list. The window shows `text`; the numbers travel beside it
// (as item data), since the text holds them only while they have four digits at most.
struct VehicleLineEntry {
  std::string text;         // the fixed-width entry
  int64_t lineNumber = 0;   // N, the 1-based line of "MANUF.TXT" (the page's MfgNum)
  double dest = 0;          // destination charge
  std::string description;  // characters 1-36 of the entry without trailing blanks
};

struct VehicleList {
  std::vector<VehicleLineEntry> entries;  // in file order
  std::string error;
};

// One row of the model grid (`Price1`): columns 1 to 4.
struct ModelRow {
  enum class Kind { Empty, ModelHeading, TypeHeading, Type };
  Kind kind = Kind::Empty;
  std::string name;          // column 1: "** model **", "** heading **" or the type name
  std::string invoiceText;   // column 2 (empty on a model heading)
  std::string msrpText;      // column 3 (empty on a model heading)
  std::string group;         // column 4: the group name when the row was written
  bool BoldBlue() const { return kind == Kind::ModelHeading || kind == Kind::TypeHeading; }
};

struct ModelGrid {
  // rows[i] is grid row i + 1; the vector is as long as the grid's last row, which may be
  // one empty row after the last type (the row taken for the line that ended the block).
  std::vector<ModelRow> rows;
  std::string error;
};

// One row of the standard-equipment grid (`Price2`).
struct StdEquipRow {
  std::string text;
  bool boldBlue = false;  // a label row
};

class PriceGuide {
 public:
  // appFolder ends in a separator; classLetter is "C" or "T".
  PriceGuide(std::string appFolder, std::string classLetter);

  const std::string& ClassLetter() const { return class_; }
  // The path of one of this class's files, found without regard to case.
  std::string Path(const std::string& name) const;

  // The vehicle lines that pass the year filter, in file order (`ShowManufacturers`).
  VehicleList ShowManufacturers(const YearFilter& filter) const;

  // The most rows a model grid holds: the grid's own limit.
  static constexpr int kModelRowLimit = grid::Sheet::kMaxRows;
  // The model grid of vehicle line N (`ShowModels`). Rows stop at `rowLimit` (models that
  // name large type blocks can multiply far past any grid), with RowLimitMessage in
  // `error`.
  ModelGrid ShowModels(int64_t lineNumber, int rowLimit = kModelRowLimit) const;
  // The rows of type block k alone, as `ShowTypes` appends them after row 0 with an empty
  // group name (for the grid of one block and for measuring).
  ModelGrid ShowTypes(int64_t typeBlock) const;

  // The standard-equipment line of vehicle record `key` (`GetMajorSELine`): nullopt when
  // the key is 0 (no file is touched), when the record has no line, or on a failure (then
  // `error` names the file). "~" marks stay in the text.
  std::optional<std::string> GetMajorSELine(double key, std::string* error = nullptr) const;

 private:
  std::string folder_;
  std::string class_;
};

// The message of a model grid stopped at its row limit.
std::string RowLimitMessage(int rowLimit);

// The text the standard-equipment window shows: every "~" turned into CR LF.
std::string StdEquipText(const std::string& line);

// The rows of the browser's standard-equipment view for one line: items end at ";" (the
// character after it is skipped, the text after the last ";" is not shown); an item
// "<B>label<B>suffix: value" gives a bold blue row "label suffix:" and the value on the
// row below it (a value over 255 characters takes two rows), text before the tag its own
// row; an item without a tag is one row. "~" marks become CR LF inside the rows. The grid
// shows one empty row after these.
std::vector<StdEquipRow> LayoutStandardEquipment(const std::string& line);

// The print header of the standard equipment: "&C" and the vehicle-line description
// (the entry's first 86 characters, trimmed).
std::string StdEquipPrintHeader(const std::string& entryText);

// ---- putting a type on a page ----------------------------------------------------------

// What TakeType did. The window hides itself when `taken`, and then refills the page
// selector (the current page's entry is `carName`).
struct TakeTypeResult {
  bool taken = false;
  bool newPage = false;
  std::string carName;
};

// The vehicle text of a type: description & ": " & group & " " & type name, the group
// left out when the description holds it.
std::string VehicleText(const std::string& description, const ModelRow& row);

// Takes grid row `activeRow` (1-based) of `grid` for the vehicle line `entry` of class
// `classLetter` onto the engine's current page, or onto a new page when the current page
// already holds a vehicle (after asking "A new page will be created to contain pricing
// data." with OK and Cancel; Cancel changes nothing). Sets CT, CarName, BaseInv, BaseMSRP,
// Dest, MfgNum and the default rates, refills the page's options and recalculates. The
// page's class letter changes only here, when a vehicle is taken.
TakeTypeResult TakeType(Engine& eng, const std::string& classLetter, const VehicleLineEntry& entry,
                        const ModelGrid& grid, int activeRow);

}  // namespace qv::pricing
