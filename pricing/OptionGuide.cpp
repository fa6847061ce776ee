// The option guide: option lines, the option grid rows, the marks of the page's options,
// and selecting and un-selecting options on the engine's "Options" sheet.
#include "pricing/OptionGuide.h"

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "platform/grid/Workbook.h"
#include "pricing/GuideFiles.h"
#include "pricing/GuideLines.h"

namespace qv::pricing {

namespace {

constexpr size_t kMatchLength = 51; // the beginning of a name that identifies an option
constexpr int kOptionsSheet = 2;

std::string MatchKey(std::string_view name) {
  const std::string t = Trim(name);
  return t.substr(0, kMatchLength);
}

double OptionKey(const std::string& line) { return ParseOptionLine(line).key; }

}  // namespace

OptionLine ParseOptionLine(const std::string& line) {
  // The first five "|" one after the other; the fields lie between them.
  size_t bars[5];
  int found = 0;
  size_t from = 0;
  while (found < 5) {
    const size_t b = line.find('|', from);
    if (b == std::string::npos) break;
    bars[found++] = b;
    from = b + 1;
  }
  // Field n (1..6) runs from after the (n-1)-th "|" to the n-th (field 6 to the end); a
  // field whose starting "|" is missing is empty, one whose ending "|" is missing runs to
  // the end of the line.
  auto field = [&](int n) -> std::string_view {
    size_t start = 0;
    if (n > 1) {
      if (found < n - 1) return {};
      start = bars[n - 2] + 1;
    }
    const size_t end = (n <= 5 && found >= n) ? bars[n - 1] : line.size();
    return std::string_view(line).substr(start, end - start);
  };
  OptionLine o;
  o.group = std::string(field(1));
  o.description = std::string(field(2));
  o.code = TextValue(field(3));
  o.msrp = TextValue(field(4));
  o.key = TextValue(field(5));
  o.extra = TextValue(field(6));
  return o;
}

OptionPriceTexts OptionPrices(double code, double msrp) {
  if (code == kNoCharge) return {"   N/C", "   N/C"};
  if (code == kOptionNotAvailable) return {"   N/A", "   N/A"};
  if (code == kPackageCode) return {"   Pkg", "   Pkg"};
  if (code == kStandardCode) return {"   Std", "   Std"};
  if (code == kBlankPriceCode) return {"      ", "      "};
  return {Format(code, "$#,###;; "), Format(msrp, "$#,###;; ")};
}

OptionGrid OptionRowsFromLines(const std::vector<std::string>& lines, int64_t mfgNum) {
  OptionGrid grid;
  std::vector<OptionRow>& rows = grid.rows;
  std::string group;  // the last group name shown as a heading
  const double key = static_cast<double>(mfgNum);

  // The lines of the block: the first whatever its key, then while the key holds.
  size_t end = lines.empty() ? 0 : 1;
  while (end < lines.size() && OptionKey(lines[end]) == key) ++end;

  auto headingFor = [&](const std::string& g) {
    if (TrimRight(g).empty() || g == group) return;
    OptionRow h;
    h.kind = OptionRow::Kind::Heading;
    h.mark = g;
    rows.push_back(std::move(h));
    group = g;
  };

  size_t i = 0;
  while (i < end) {
    OptionLine o = ParseOptionLine(lines[i++]);
    if (o.code == kSubHeadingCode) {
      // The sub-heading goes before the next option of the block; sub-headings after the
      // first are passed over. The block key ends the search.
      const OptionLine saved = o;
      bool merged = false;
      while (i < end) {
        OptionLine next = ParseOptionLine(lines[i++]);
        if (next.code == kSubHeadingCode) continue;
        o = next;
        o.group = saved.group;
        o.extra = saved.extra;
        o.description = saved.description + next.description;
        merged = true;
        break;
      }
      if (!merged) {
        // Nothing follows it in its block: it shows as a text row without prices.
        headingFor(saved.group);
        OptionRow r;
        r.kind = OptionRow::Kind::SubHeading;
        r.description = saved.description;
        r.fullDescription = saved.description;
        rows.push_back(std::move(r));
        continue;
      }
    }

    const OptionPriceTexts prices = OptionPrices(o.code, o.msrp);
    headingFor(o.group);
    OptionRow r;
    r.kind = OptionRow::Kind::Option;
    r.fullDescription = o.description;
    r.invoiceText = prices.invoice;
    r.msrpText = prices.msrp;
    r.invoice = ParseMoneyText(prices.invoice);
    r.msrp = ParseMoneyText(prices.msrp);
    if (o.description.size() <= kCellLimit) {
      r.description = o.description;
      rows.push_back(std::move(r));
      continue;
    }
    // A long description is split at the last blank at or before character 255 (at 255
    // when there is none); the second row carries only the rest of the text.
    const size_t cut = RowCut(o.description);
    r.description = o.description.substr(0, cut);
    OptionRow rest;
    rest.kind = OptionRow::Kind::Continuation;
    rest.description = o.description.substr(cut);
    rows.push_back(std::move(r));
    rows.push_back(std::move(rest));
  }
  return grid;
}

OptionGrid LoadOptions(const std::string& appFolder, const std::string& classLetter, int64_t mfgNum) {
  OptionGrid grid;
  GuideTextFile text;
  OffsetIndex index;
  if (!text.Open(GuideFilePath(appFolder, classLetter, "Options.txt"))) {
    grid.error = MissingFileMessage(text.Path());
    return grid;
  }
  if (!index.Open(GuideFilePath(appFolder, classLetter, "Options.ndx"))) {
    grid.error = MissingFileMessage(index.Path());
    return grid;
  }
  if (mfgNum < 1) return grid;
  const BlockStart start = LocateBlock(index, text, mfgNum);
  if (start.status == BlockStart::Status::Damaged) grid.error = start.message;
  if (start.status != BlockStart::Status::Found) return grid;
  const std::vector<std::string> lines = ReadBlockAt(text, start.pos, static_cast<double>(mfgNum), OptionKey);
  std::string error = std::move(grid.error);
  grid = OptionRowsFromLines(lines, mfgNum);
  grid.error = std::move(error);
  return grid;
}

void MarkChosenOptions(OptionGrid& grid, const grid::Sheet& optionList) {
  const int last = optionList.MaxRow();
  if (last == 1 && optionList.TextRC(1, 1).empty() && optionList.NumberRC(1, 2) == 0 &&
      optionList.NumberRC(1, 3) == 0)
    return;
  for (int i = 1; i <= last; ++i) {
    const std::string n = MatchKey(optionList.TextRC(i, 1));
    if (n.empty()) continue;
    for (OptionRow& r : grid.rows) {
      if (!r.Selectable() || r.Marked()) continue;
      if (MatchKey(r.fullDescription) != n) continue;
      r.mark = kChosenMark;
      r.sheetRow = ToInt32(optionList.NumberRC(i, 5));
      break;
    }
  }
}

bool SelectOpt(Engine& eng, OptionGrid& grid, int row) {
  if (row < 1 || row > static_cast<int>(grid.rows.size())) return false;
  OptionRow& r = grid.rows[static_cast<size_t>(row - 1)];
  if (!r.Selectable() || !r.mark.empty()) return false;

  eng.WKS.SetSheet(kOptionsSheet);
  grid::Sheet& options = eng.WKS.SheetAt(kOptionsSheet);
  int s;
  if (options.MaxRow() == 1 && options.NumberRC(1, 1) == 0) {
    s = 1;
  } else {
    s = options.MaxRow() + 1;
    options.SetMaxRow(s);
  }
  if (eng.OptionCount < 32767) ++eng.OptionCount;
  eng.LastOptionCount = eng.OptionCount;

  options.SetNumberRC(s, 1, eng.CurrentPage);
  options.SetTextRC(s, 2, r.fullDescription);
  options.SetNumberRC(s, 3, r.invoice);
  options.SetNumberRC(s, 4, r.msrp);

  r.mark = kChosenMark;
  r.sheetRow = s;
  return true;
}

bool UnSelectOpt(Engine& eng, OptionGrid& grid, int row) {
  if (row < 1 || row > static_cast<int>(grid.rows.size())) return false;
  OptionRow& r = grid.rows[static_cast<size_t>(row - 1)];
  if (!r.Marked()) return false;

  eng.WKS.SetSheet(kOptionsSheet);
  grid::Sheet& options = eng.WKS.SheetAt(kOptionsSheet);
  const std::string key = MatchKey(r.fullDescription);
  auto holdsThisOption = [&](int s) {
    return s >= 1 && s <= options.MaxRow() && options.NumberRC(s, 1) == eng.CurrentPage &&
           MatchKey(options.TextRC(s, 2)) == key;
  };
  int s = r.sheetRow;
  if (!holdsThisOption(s)) {
    s = 0;
    for (int x = 1; x <= options.MaxRow(); ++x) {
      if (holdsThisOption(x)) {
        s = x;
        break;
      }
    }
  }
  r.mark.clear();
  r.sheetRow = 0;
  if (s == 0) return true;  // the option is no longer on the sheet: only the mark goes

  options.DeleteRange(s, -1, s, -1, 3);
  for (OptionRow& other : grid.rows) {
    if (other.Marked() && other.sheetRow > s) --other.sheetRow;
  }
  return true;
}

OptionButtons ButtonsForRow(const OptionGrid& grid, int row) {
  if (row < 1 || row > static_cast<int>(grid.rows.size())) return {};
  const OptionRow& r = grid.rows[static_cast<size_t>(row - 1)];
  if (r.Marked()) return {false, true};
  return {r.Selectable(), false};
}

std::string OptionWindowLabel(const std::string& carName) {
  const size_t p = carName.find(':');
  const size_t d = carName.find('-', p == std::string::npos ? 0 : p);
  return d == std::string::npos ? carName : carName.substr(0, d);
}

bool StdEquipEnabled(const std::string& label) { return label.find(':') != std::string::npos; }

void FinishOptionLookup(Engine& eng, const std::function<void()>& hideWindow) {
  const double oldMSRP = eng.res.MSRP;
  const double oldResPerc = eng.res.ResPerc;
  eng.ShowPageOptions();
  eng.SkipItemReload = -1;
  eng.CalcLease();
  eng.SkipItemReload = 0;
  if (hideWindow) hideWindow();
  eng.AskRecalcResidual(oldResPerc, oldMSRP);
  eng.RecalcPage();
}

}  // namespace qv::pricing
