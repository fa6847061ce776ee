// The current tax setting and the tax-settings file "Taxset.txt": a header line, then one
// setting per line, its name and 26 values separated by commas. An empty line ends the data
// for the readers; a save or a delete rewrites the settings before it and keeps everything
// from that line on as it was (notes a user keeps there stay notes).
#include <cfloat>
#include <charconv>
#include <cmath>
#include <type_traits>
#include <vector>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "engine/SettingsFile.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"

namespace qv {

namespace {

constexpr const char* kTaxSetFileName = "Taxset.txt";
// The largest tax-settings file read (at most 52 settings of a line each: a few KB). The
// main window and the tax-settings window read it with the same, default, limit.
constexpr std::uint64_t kMaxTaxSetFileBytes = files::kDefaultReadLimit;

// True when a value of field 2..27 of a line is one the setting can hold, by the limits of
// what is typed into the tax settings: rates from 0 to 100 percent, a tax method from 0 to
// 3; amounts and the 0/1 flags take any number of a deal's size (IsDealValue).
bool TaxSetValueFitsField(int field, double v) {
  if (!IsDealValue(v)) return false;
  switch (field) {
    case 2: case 18: case 19: case 22: return IsTaxRateValue(v);
    case 3: return v >= 0 && v <= 3;
    default: return true;
  }
}

// The header line of a tax-settings file that a save has to create.
constexpr const char* kTaxSetHeader =
    "Name,LeaseTaxRate,TaxMethod,DefaultCapCash,AlsoTaxCapRedCash,Security,Registration,Title,DocumentFee,"
    "CapRedTax,RebateTax,LuxuryTax,TradeEquity,Acquisition,LeaseRebate,PrePaidMileFee,OtherFee,BuyTaxRate,"
    "LocalTaxRate,MaxLocalTax,ExclTradeFromLocal,LuxuryTaxRate,LuxuryTaxCapCash,LuxuryThreshold,"
    "NoInterestOnLuxuryTax,MaxTax,AlsoTaxRebateCash";

// The key of a line: the text before its first comma. A line without a comma is no setting
// and has no key.
bool LineKey(const std::string& line, std::string& key) {
  size_t comma = line.find(',');
  if (comma == std::string::npos) return false;
  key = line.substr(0, comma);
  return true;
}

// The name as it can stand as a key: a comma or a line break inside it would split the line
// or the key, so they are written as blanks.
std::string KeyOfName(const std::string& name) {
  std::string k = name;
  for (char& ch : k)
    if (ch == ',' || ch == '\r' || ch == '\n') ch = ' ';
  return k;
}

float ToFloat(double v) {
  if (v > FLT_MAX) return FLT_MAX;
  if (v < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(v);
}

// A 0/1 flag of the setting, whatever a hand-edited file holds: nonzero reads as 1.
int16_t ToFlag(double v) { return ToInt16(v) != 0 ? 1 : 0; }

// Reading and writing of one value of a line, by the type of the field it goes to.
void Assign(float& field, double v) { field = ToFloat(v); }
void Assign(int16_t& field, double v) { field = ToFlag(v); }  // every 16-bit field is a 0/1 flag
void Assign(int32_t& field, double v) { field = ToInt32(v); }
// A single with the fewest digits that read back as the same single (6.1 stays "6.1",
// 7.1234567 keeps all its digits).
std::string ValueText(float v) {
  if (!std::isfinite(v) || v == 0) return "0";
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  if (ec != std::errc()) return GeneralNumber(v);
  std::string text(buf, end);
  for (char& ch : text)
    if (ch == 'e') ch = 'E';
  return text;
}
std::string ValueText(int16_t v) { return GeneralNumber(static_cast<double>(v)); }
std::string ValueText(int32_t v) { return GeneralNumber(static_cast<double>(v)); }

constexpr int kFirstField = 2, kLastField = 27;

// Calls fn with the variable of field 2..27 of a line (the AlsoTax flags are fields of the
// start-up items).
template <class Tax, class Items, class Fn>
void VisitField(Tax& t, Items& it, int field, Fn&& fn) {
  switch (field) {
    case 2: fn(t.LeaseTaxRate); break;
    case 3: fn(t.TaxMethod); break;
    case 4: fn(t.DefaultCapCash); break;
    case 5: fn(t.AlsoTaxCapRedCash); break;
    case 6: fn(it.Security.AlsoTax); break;
    case 7: fn(it.Registration.AlsoTax); break;
    case 8: fn(it.Title.AlsoTax); break;
    case 9: fn(it.DocumentFee.AlsoTax); break;
    case 10: fn(it.CapRedTax.AlsoTax); break;
    case 11: fn(it.RebateTax.AlsoTax); break;
    case 12: fn(it.LuxuryTax.AlsoTax); break;
    case 13: fn(it.TradeEquity.AlsoTax); break;
    case 14: fn(it.Acquisition.AlsoTax); break;
    case 15: fn(it.LeaseRebate.AlsoTax); break;
    case 16: fn(it.PrePaidMileFee.AlsoTax); break;
    case 17: fn(it.OtherFee.AlsoTax); break;
    case 18: fn(t.BuyTaxRate); break;
    case 19: fn(t.LocalTaxRate); break;
    case 20: fn(t.MaxLocalTax); break;
    case 21: fn(t.ExclTradeFromLocal); break;
    case 22: fn(t.LuxuryTaxRate); break;
    case 23: fn(t.LuxuryTaxCapCash); break;
    case 24: fn(t.LuxuryThreshold); break;
    case 25: fn(t.NoInterestOnLuxuryTax); break;
    case 26: fn(t.MaxTax); break;
    case 27: fn(t.AlsoTaxRebateCash); break;
    default: break;
  }
}

// The tax-settings file cut where a rewrite needs it: the header line, the setting lines
// up to the first empty line after the header, and everything from that empty line on
// exactly as it stands (with its own line ends).
struct TaxSetFileParts {
  std::string header;
  std::vector<std::string> settings;
  std::string rest;
};

TaxSetFileParts SplitTaxSetFile(const std::string& content) {
  TaxSetFileParts parts;
  size_t pos = 0;
  for (size_t line = 0; pos < content.size(); ++line) {
    size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = content.size();
    if (line > 0 && end == pos) {
      parts.rest = content.substr(pos);
      break;
    }
    std::string text = content.substr(pos, end - pos);
    if (line == 0)
      parts.header = std::move(text);
    else
      parts.settings.push_back(std::move(text));
    pos = end;
    if (pos < content.size() && content[pos] == '\r') ++pos;
    if (pos < content.size() && content[pos] == '\n') ++pos;
  }
  return parts;
}

std::string JoinTaxSetFile(const TaxSetFileParts& parts) {
  std::string text = parts.header + "\r\n";
  for (const std::string& line : parts.settings) text += line + "\r\n";
  return text + parts.rest;
}

// Reads the tax-settings file whole; a file that is not there, not a regular file or larger
// than any tax-settings file can be is refused with the reason.
bool ReadTaxSetFile(const std::string& path, std::string& content, std::string* error) {
  std::string why;
  if (files::ReadFileIfAny(path, content, kMaxTaxSetFileBytes, &why) == files::ReadResult::Read) return true;
  if (error) *error = "Unable to open the tax settings file " + path + (why.empty() ? "." : ": " + why + ".");
  return false;
}

// Reads the file for a rewrite; a missing file is an empty one.
bool ReadForRewrite(const std::string& path, TaxSetFileParts& parts, std::string* error) {
  std::string content;
  if (files::FileExistsNoCase(path) && !ReadTaxSetFile(path, content, error)) return false;
  parts = SplitTaxSetFile(content);
  // A missing or empty file gets a header line.
  if (content.empty()) parts.header = kTaxSetHeader;
  return true;
}

}  // namespace

std::string Engine::TaxSetPath() const {
  std::string folder = AppFolder;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  return files::ResolveNoCase(folder + kTaxSetFileName);
}

bool Engine::LoadTaxSet(std::string* error, std::string* notice) {
  const std::string path = TaxSetPath();
  std::string content;
  if (!ReadTaxSetFile(path, content, error)) return false;
  const std::vector<std::string> lines = SplitLines(content);
  const std::string key = KeyOfName(tax.TaxSetName);
  std::string lineKey;
  // Line 1 is the header; the data end at the first empty line.
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) break;
    if (LineKey(lines[i], lineKey) && lineKey == key) {
      if (!ParseTaxSetLine(lines[i]) && notice)
        *notice = ValuesReplacedText(kTaxSetFileName, {static_cast<int>(i + 1)});
      break;
    }
  }
  return true;
}

bool Engine::ParseTaxSetLine(std::string line) {
  if (line.empty()) return true;
  // The name is passed over.
  size_t comma = line.find(',');
  if (comma == std::string::npos) return true;
  line.erase(0, comma + 1);
  // The values of a new setting, for a value out of range.
  TaxSetting defaultTax;
  PageItems defaultItems;
  bool haveDefaults = false;
  bool fits = true;
  // Fields 2 to 26 each end at the next comma; field 27 is all that is left. A line with
  // fewer fields stores those it has and leaves the others as they were.
  for (int f = kFirstField; f <= kLastField; ++f) {
    comma = f == kLastField ? std::string::npos : line.find(',');
    const double v = TextValue(std::string_view(line).substr(0, comma));
    // Both the value read and the value as the field keeps it (a single, a whole number)
    // must fit, so that what a save writes reads back the same.
    bool taken = false;
    VisitField(tax, items, f, [&](auto& field) {
      auto kept = field;
      Assign(kept, v);
      if (TaxSetValueFitsField(f, v) && TaxSetValueFitsField(f, static_cast<double>(kept))) {
        field = kept;
        taken = true;
      }
    });
    if (!taken) {
      fits = false;
      if (!haveDefaults) {
        const TaxSetting keptTax = tax;
        const PageItems keptItems = items;
        SetDefaultTaxSet();
        defaultTax = tax;
        defaultItems = items;
        tax = keptTax;
        items = keptItems;
        haveDefaults = true;
      }
      VisitField(defaultTax, defaultItems, f, [&](const auto& d) {
        VisitField(tax, items, f, [&d](auto& field) { field = static_cast<std::remove_cvref_t<decltype(field)>>(d); });
      });
    }
    if (comma == std::string::npos) {
      line.clear();
      return fits;
    }
    line.erase(0, comma + 1);
  }
  return fits;
}

std::string Engine::BuildTaxSetLine() const {
  std::string line = KeyOfName(tax.TaxSetName);
  for (int f = kFirstField; f <= kLastField; ++f) {
    line += ',';
    VisitField(tax, items, f, [&line](const auto& field) { line += ValueText(field); });
  }
  return line;
}

bool Engine::SaveTaxSet(std::string* error) {
  const std::string path = TaxSetPath();
  TaxSetFileParts parts;
  if (!ReadForRewrite(path, parts, error)) return false;
  const std::string key = KeyOfName(tax.TaxSetName);
  std::string lineKey;
  bool found = false;
  for (std::string& line : parts.settings) {
    if (LineKey(line, lineKey) && lineKey == key) {
      line = BuildTaxSetLine();
      found = true;
    }
  }
  if (!found) parts.settings.push_back(BuildTaxSetLine());
  return files::WriteFileAtomic(path, JoinTaxSetFile(parts), error);
}

bool Engine::DeleteTaxSet(const std::string& name, std::string* error) {
  const std::string path = TaxSetPath();
  std::string content;
  if (!ReadTaxSetFile(path, content, error)) return false;
  TaxSetFileParts parts = SplitTaxSetFile(content);
  const std::string key = KeyOfName(name);
  std::string lineKey;
  // A line without a comma is no setting: it stays as it is.
  std::erase_if(parts.settings, [&](const std::string& line) { return LineKey(line, lineKey) && lineKey == key; });
  return files::WriteFileAtomic(path, JoinTaxSetFile(parts), error);
}

void Engine::SetDefaultTaxSet() {
  tax.LeaseTaxRate = 6;
  tax.TaxMethod = 0;
  tax.DefaultCapCash = 1;
  tax.AlsoTaxCapRedCash = 1;
  items.Security.AlsoTax = 0;
  items.Registration.AlsoTax = 0;
  items.Title.AlsoTax = 0;
  items.DocumentFee.AlsoTax = 0;
  items.CapRedTax.AlsoTax = 0;
  items.RebateTax.AlsoTax = 1;
  items.LuxuryTax.AlsoTax = 0;
  items.TradeEquity.AlsoTax = 0;
  items.Acquisition.AlsoTax = 0;
  items.LeaseRebate.AlsoTax = 1;
  items.PrePaidMileFee.AlsoTax = 0;
  items.OtherFee.AlsoTax = 0;
  tax.BuyTaxRate = 6;
  tax.LocalTaxRate = 0;
  tax.MaxLocalTax = 0;
  tax.ExclTradeFromLocal = 1;
  tax.LuxuryTaxRate = 6;
  tax.LuxuryTaxCapCash = 1;
  tax.LuxuryThreshold = 36000;
  tax.NoInterestOnLuxuryTax = 1;
  tax.MaxTax = 0;
  // A new setting does not tax the cash part of the rebate unless the user ticks it, rather
  // than inheriting the flag of whatever setting was shown before.
  tax.AlsoTaxRebateCash = 0;
}

}  // namespace qv
