// The price guide of one class: vehicle list, model grid, standard equipment, and taking a
// type onto a page.
#include "pricing/PriceGuide.h"

#include <cmath>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"
#include "pricing/GuideFiles.h"

namespace qv::pricing {

namespace {

constexpr int64_t kMaxMfgNum = 32767;  // the page keeps the line number in 16 bits
constexpr int kMaxPages = 32767;

// The grid row `row` (1-based), the vector grown with empty rows as needed.
ModelRow& RowAt(std::vector<ModelRow>& rows, int row) {
  if (static_cast<int>(rows.size()) < row) rows.resize(static_cast<size_t>(row));
  return rows[static_cast<size_t>(row - 1)];
}

// A record number read from a text field, as a whole number (fractions dropped); 0 when it
// is no usable record number.
int64_t RecordNumber(double v) {
  if (!std::isfinite(v) || v < 1 || v > 2147483647.0) return 0;
  return static_cast<int64_t>(std::trunc(v));
}

struct TypeFiles {
  OffsetIndex index;
  GuideTextFile text;
};

// Appends the rows of type block k after `row` (`ShowTypes`); `group` carries the group
// name from row to row. The first failure goes to `error`. False when a row would pass
// `limit` (the rows stop there).
bool AppendTypes(TypeFiles& f, int64_t k, int& row, std::string& group, std::vector<ModelRow>& rows,
                 std::string& error, int limit) {
  if (k < 1) return true;
  const BlockStart start = LocateBlock(f.index, f.text, k);
  if (start.status == BlockStart::Status::Damaged) {
    if (error.empty()) error = start.message;
    return true;
  }
  if (start.status != BlockStart::Status::Found) return true;
  const std::vector<std::string> lines =
      ReadBlockAt(f.text, start.pos, static_cast<double>(k), [](const std::string& l) { return TypeLineKey(l); });
  std::string name;
  double invoice, msrp, key, fifth;
  for (std::string line : lines) {
    ParseType(line, name, invoice, msrp, key, fifth);
    const std::string invoiceText = AmountText(invoice);
    const std::string msrpText = AmountText(msrp);
    std::string t = TrimRight(name);
    // A row of nothing (no name, no amount) is not written.
    const bool nothing = Trim(t).empty() && TextValue(invoiceText) == 0 && TextValue(msrpText) == 0;
    if (!nothing && row >= limit) return false;
    if (IsHeadingCode(invoice)) {
      if (HasTag(t)) StripTags(t);
      group = t;
      if (nothing) continue;
      ModelRow& r = RowAt(rows, ++row);
      r = {ModelRow::Kind::TypeHeading, "** " + t + " **", invoiceText, msrpText, group};
    } else {
      if (nothing) continue;
      ModelRow& r = RowAt(rows, ++row);
      r = {ModelRow::Kind::Type, t, invoiceText, msrpText, group};
    }
  }
  return true;
}

bool OpenTypeFiles(const PriceGuide& g, TypeFiles& f, std::string& error) {
  if (!f.text.Open(g.Path("Type.txt"))) {
    error = MissingFileMessage(f.text.Path());
    return false;
  }
  if (!f.index.Open(g.Path("Type.ndx"))) {
    error = MissingFileMessage(f.index.Path());
    return false;
  }
  return true;
}

}  // namespace

PriceGuide::PriceGuide(std::string appFolder, std::string classLetter)
    : folder_(std::move(appFolder)), class_(std::move(classLetter)) {}

std::string PriceGuide::Path(const std::string& name) const { return GuideFilePath(folder_, class_, name); }

VehicleList PriceGuide::ShowManufacturers(const YearFilter& filter) const {
  VehicleList list;
  GuideTextFile f;
  if (!f.Open(Path("MANUF.TXT"))) {
    list.error = MissingFileMessage(f.Path());
    return list;
  }
  if (f.Size() == 0) {
    list.error = EmptyFileMessage(f.Path());
    return list;
  }
  std::string line, name1, year, name2;
  double dest, extra;
  int64_t n = 0;
  while (f.ReadLine(line)) {
    ++n;
    ParseManuf(line, name1, year, name2, dest, extra);
    if (!filter.Passes(year)) continue;
    VehicleLineEntry e;
    e.text = MakeListEntry(name1, year, name2, dest, n);
    e.lineNumber = n;
    e.dest = dest;
    e.description = TrimRight(std::string_view(e.text).substr(0, 36));
    list.entries.push_back(std::move(e));
  }
  return list;
}

std::string RowLimitMessage(int rowLimit) {
  return "This vehicle has more models and types than the grid can hold; only the first " +
         Format(rowLimit, "#,###") + " rows are shown.";
}

ModelGrid PriceGuide::ShowModels(int64_t lineNumber, int rowLimit) const {
  ModelGrid grid;
  GuideTextFile models;
  OffsetIndex modelIndex;
  TypeFiles types;
  if (!models.Open(Path("Model.txt"))) {
    grid.error = MissingFileMessage(models.Path());
    return grid;
  }
  if (!modelIndex.Open(Path("Model.ndx"))) {
    grid.error = MissingFileMessage(modelIndex.Path());
    return grid;
  }
  if (!OpenTypeFiles(*this, types, grid.error)) return grid;
  if (lineNumber < 1) return grid;

  const BlockStart start = LocateBlock(modelIndex, models, lineNumber);
  if (start.status == BlockStart::Status::Damaged) grid.error = start.message;
  if (start.status != BlockStart::Status::Found) return grid;

  bool endedByOtherKey = false;
  const std::vector<std::string> lines =
      ReadBlockAt(models, start.pos, static_cast<double>(lineNumber),
                  [](const std::string& l) { return ModelLineKey(l); }, &endedByOtherKey);
  std::string group, name;
  double key, typeRecord;
  int row = 0;
  bool full = false;
  for (size_t i = 0; i < lines.size() && !full; ++i) {
    std::string line = lines[i];
    ParseModel(line, name, key, typeRecord);
    if (row >= rowLimit) {
      full = true;
      break;
    }
    ++row;
    group = name;
    // The first model's heading is always written; a later model with a blank name leaves
    // its row empty.
    if (i == 0 || !TrimRight(name).empty()) RowAt(grid.rows, row) = {ModelRow::Kind::ModelHeading, "** " + name + " **"};
    else RowAt(grid.rows, row);
    full = !AppendTypes(types, RecordNumber(typeRecord), row, group, grid.rows, grid.error, rowLimit);
  }
  if (full) {
    // The message says why the grid ends here; a failure found first comes before it.
    grid.error = grid.error.empty() ? RowLimitMessage(rowLimit) : grid.error + "\r" + RowLimitMessage(rowLimit);
  } else if (endedByOtherKey && row < rowLimit) {
    // The row taken for the line that ended the block stays as an empty last row.
    RowAt(grid.rows, ++row);
  }
  grid.rows.resize(static_cast<size_t>(row));
  return grid;
}

ModelGrid PriceGuide::ShowTypes(int64_t typeBlock) const {
  ModelGrid grid;
  TypeFiles types;
  if (!OpenTypeFiles(*this, types, grid.error)) return grid;
  int row = 0;
  std::string group;
  if (!AppendTypes(types, typeBlock, row, group, grid.rows, grid.error, kModelRowLimit))
    grid.error = RowLimitMessage(kModelRowLimit);
  grid.rows.resize(static_cast<size_t>(row));
  return grid;
}

std::optional<std::string> PriceGuide::GetMajorSELine(double key, std::string* error) const {
  if (error) error->clear();
  if (key == 0) return std::nullopt;
  const int64_t k = ToInt32(key);
  if (k < 1) return std::nullopt;
  GuideTextFile text;
  OffsetIndex index;
  auto fail = [&](const std::string& message) -> std::optional<std::string> {
    if (error) *error = message;
    return std::nullopt;
  };
  if (!text.Open(Path("MajorSE.txt"))) return fail(MissingFileMessage(text.Path()));
  if (!index.Open(Path("MajorSE.ndx"))) return fail(MissingFileMessage(index.Path()));
  const BlockStart start = LocateBlock(index, text, k);
  if (start.status == BlockStart::Status::Damaged) return fail(start.message);
  if (start.status != BlockStart::Status::Found) return std::nullopt;
  std::string line;
  if (!text.SeekTo(start.pos) || !text.ReadLine(line)) return std::nullopt;
  return line;
}

std::string StdEquipText(const std::string& line) {
  std::string out;
  out.reserve(line.size() + 16);
  for (char c : line) {
    if (c == '~') out += "\r\n";
    else out += c;
  }
  return out;
}

std::vector<StdEquipRow> LayoutStandardEquipment(const std::string& line) {
  std::vector<StdEquipRow> rows;
  std::string text = StdEquipText(line);
  auto put = [&](std::string s, bool bold) { rows.push_back({std::move(s), bold}); };
  // A long untagged item goes over as many rows as it needs, split as option descriptions
  // are, so that no word is cut.
  auto putLong = [&](std::string_view s) {
    do {
      const size_t n = RowCut(s);
      put(std::string(s.substr(0, n)), false);
      s.remove_prefix(n);
    } while (!s.empty());
  };

  size_t at = 0;
  for (;;) {
    const size_t semi = text.find(';', at);
    if (semi == std::string::npos) break;  // the text after the last ";" is not shown
    std::string item = text.substr(at, semi - at);
    at = semi + 2;  // the character after ";" (a blank) is skipped
    if (at > text.size()) at = text.size();

    const size_t q = item.find('<');
    if (q == std::string::npos) {
      putLong(item);
      continue;
    }
    if (q > 0) {
      put(item.substr(0, q), false);
      item.erase(0, q);
    }
    const std::string rest = item.size() > 3 ? item.substr(3) : std::string();
    const size_t lt = rest.find('<');
    const std::string label = lt == std::string::npos ? rest : rest.substr(0, lt);
    const size_t gt = rest.find('>');
    const std::string after = gt == std::string::npos ? std::string() : rest.substr(gt + 1);
    // An item without ":" after its tag has no suffix (not the suffix of an earlier item).
    std::string suffix, value;
    const size_t colon = after.find(':');
    if (colon != std::string::npos) {
      suffix = after.substr(0, colon + 1);
      value = after.substr(colon + 1);
    } else {
      value = after;
    }
    put(label + " " + suffix, true);
    if (Trim(value).empty()) continue;
    if (value.size() > kCellLimit) {
      put(value.substr(0, kCellLimit), false);
      put(value.substr(kCellLimit), false);
    } else {
      put(value, false);
    }
  }
  return rows;
}

std::string StdEquipPrintHeader(const std::string& entryText) {
  return "&C" + Trim(std::string_view(entryText).substr(0, 86));
}

std::string VehicleText(const std::string& description, const ModelRow& row) {
  std::string g = row.group;
  if (description.find(g) != std::string::npos) g.clear();
  return description + ": " + g + " " + row.name;
}

TakeTypeResult TakeType(Engine& eng, const std::string& classLetter, const VehicleLineEntry& entry,
                        const ModelGrid& grid, int activeRow) {
  TakeTypeResult result;
  ui::Prompt& prompt = ui::GetPrompt();
  if (entry.lineNumber < 1 || entry.lineNumber > kMaxMfgNum) {
    prompt.MsgBox("This vehicle cannot be put on a page: its line number in the price guide (" +
                      std::to_string(entry.lineNumber) + ") is beyond 32767.",
                  ui::Buttons::OK, ui::Icon::Exclamation);
    return result;
  }

  const bool pageHoldsVehicle = !(eng.page.CarName.empty() && eng.page.BaseInv == 0);
  if (pageHoldsVehicle) {
    if (prompt.MsgBox("A new page will be created to contain pricing data.", ui::Buttons::OKCancel) !=
        ui::Answer::OK)
      return result;
    if (eng.PageCount >= kMaxPages) {
      prompt.MsgBox("The worksheet already holds 32767 pages, the most it can hold.", ui::Buttons::OK,
                    ui::Icon::Exclamation);
      return result;
    }
  }
  ui::BusyCursor busy;
  if (pageHoldsVehicle) {
    // The page being left keeps what it holds.
    eng.StorePage();
    ++eng.PageCount;
    eng.OptionCount = 0;
    eng.CurrentPage = eng.PageCount;
    for (int s : {1, 3, 4, 5}) {
      eng.WKS.SetSheet(s);
      eng.WKS.SetMaxRow(eng.CurrentPage);
    }
    eng.LoadPageFields();
    eng.LoadPageItems();
    result.newPage = true;
  }

  const ModelRow empty;
  const ModelRow& row =
      activeRow >= 1 && activeRow <= static_cast<int>(grid.rows.size()) ? grid.rows[activeRow - 1] : empty;

  PageRecord& p = eng.page;
  p.CT = classLetter;
  p.MfgNum = static_cast<int16_t>(entry.lineNumber);
  p.Dest = entry.dest;
  p.CarName = VehicleText(entry.description, row);
  p.BaseInv = TextValue(row.invoiceText);
  p.BaseMSRP = TextValue(row.msrpText);
  eng.ApplyDefaultRates();
  eng.ShowPageOptions();
  eng.RecalcPage();

  result.taken = true;
  result.carName = p.CarName;
  return result;
}

}  // namespace qv::pricing
