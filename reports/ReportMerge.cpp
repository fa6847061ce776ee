#include "reports/ReportMerge.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/CostComparison.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "reports/ReportFields.h"
#include "reports/RtfText.h"

namespace qv::reports {

namespace {

constexpr const char* kMoney = "$#,###.00;($#,###.00); ";
constexpr std::string_view kPar = "\\par ";
constexpr std::string_view kTab = "\\tab ";
// Stands for a line break inside data until the data is escaped (escaping drops control
// characters, so data cannot bring one of its own).
constexpr char kBreak = '\x01';

bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

std::string Money(double v) { return Format(v, kMoney); }

// Escapes text that holds kBreak marks and writes "\par " for each of them.
std::string EscapeWithBreaks(std::string_view text) {
  std::string out;
  size_t start = 0;
  for (;;) {
    const size_t b = text.find(kBreak, start);
    out += EscapeRtf(text.substr(start, b == std::string_view::npos ? std::string_view::npos : b - start));
    if (b == std::string_view::npos) break;
    out += kPar;
    start = b + 1;
  }
  return out;
}

std::string WithoutBreakMarks(std::string_view text) {
  std::string s(text);
  std::erase(s, kBreak);
  return s;
}

// The length of the UTF-8 character that starts with byte c (1 for anything else).
size_t CharLength(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF4) return 4;
  if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
  if (c >= 0xC2) return 2;
  return 1;
}

// A payment-table cell as the payment tables window shows it: margins as whole dollars,
// capitalised costs and payments with cents, grouped by thousands.
std::string PaymentTableCellText(const grid::Sheet& sheet, int r, int c) {
  if (!sheet.IsNumber(r, c)) return sheet.TextRC(r, c);
  return Format(sheet.NumberRC(r, c), c == 1 ? "#,##0" : "#,##0.00");
}

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  out += s;
  out += '"';
  return out;
}

// What a field between the marks stands for: a section of rows, a table, or one value.
enum class FieldKind { Options, Adjustments, EOLFees, Compare, TableData, StdEquipment, Single };

FieldKind KindOf(std::string_view field) {
  auto any = [field](std::initializer_list<std::string_view> parts) {
    return std::any_of(parts.begin(), parts.end(), [field](std::string_view p) { return Contains(field, p); });
  };
  if (any({"OptName.All", "OptInv.All", "OptMSRP.All"})) return FieldKind::Options;
  if (any({"AdjustAll.Desc", "AdjustAll.Cap", "AdjustAll.Cash", "AdjustAll.Total", "AdjustmentsAll.Total"}))
    return FieldKind::Adjustments;
  if (any({"EOLFeesAll.Desc", "EOLFeesAll.Cap", "EOLFeesAll.Cash", "EOLFeesAll.Total", "EOLFeesAll.Amount"}))
    return FieldKind::EOLFees;
  if (Contains(field, "Compare")) return FieldKind::Compare;
  if (Contains(field, "TableData")) return FieldKind::TableData;
  if (field == "StdEquipment") return FieldKind::StdEquipment;
  return FieldKind::Single;
}

// True when the text names a field the merge knows: a section, a table or a single value.
bool IsKnownField(std::string_view text) {
  return KindOf(text) != FieldKind::Single || IsReportFieldName(text);
}

}  // namespace

ReportMerger::ReportMerger(const ReportContext& ctx, std::string_view openMark, std::string_view closeMark,
                           std::string_view templateName)
    : ctx_(ctx), open_(openMark), close_(closeMark), name_(templateName) {}

bool ReportMerger::Fault(const std::string& what) {
  result_.status = MergeResult::Status::TemplateFault;
  result_.message = "The report template " + (name_.empty() ? std::string() : Quoted(name_) + " ") +
                    "cannot be merged: " + what + ".";
  return false;
}

const CustomerRecord& ReportMerger::Customer() {
  if (!customerRead_) {
    customer_ = AttachedCustomer(ctx_);
    customerRead_ = true;
  }
  return customer_;
}

void ReportMerger::Emit(std::string_view rtf) { AppendRtf(out_, rtf); }
void ReportMerger::EmitText(std::string_view text) { AppendRtf(out_, EscapeRtf(text)); }

MergeResult ReportMerger::Merge(std::string& doc) {
  result_ = MergeResult{};
  if (open_.empty() || close_.empty()) {
    Fault("the field marks are empty");
    return result_;
  }
  src_ = StripTemplateLineBreaks(doc);
  pos_ = 0;
  out_.clear();
  out_.reserve(src_.size() + src_.size() / 2);

  for (;;) {
    const size_t p = src_.find(open_, pos_);
    if (p == std::string::npos) {
      Emit(std::string_view(src_).substr(pos_));
      break;
    }
    const size_t nameStart = p + open_.size();
    const size_t c = src_.find(close_, nameStart);
    if (c == std::string::npos) {
      const std::string context = src_.substr(p, 40);
      Fault("the " + Quoted(open_) + " of " + Quoted(context) + " has no " + Quoted(close_) + " after it");
      return result_;
    }
    Emit(std::string_view(src_).substr(pos_, p - pos_));
    const std::string field = src_.substr(nameStart, c - nameStart);
    pos_ = c + close_.size();
    if (field.find_first_of("{}\\") != std::string::npos) {
      // A known field name split by markup cannot be merged; any other "[" is the text's
      // own, kept as written, and the search goes on after it.
      if (IsKnownField(PlainText(field))) {
        Fault("the field " + Quoted(open_ + field + close_) +
              " holds RTF markup between its marks (retype the field name in one piece, in one format)");
        return result_;
      }
      Emit(open_);
      pos_ = nameStart;
      continue;
    }

    bool ok = true;
    switch (KindOf(field)) {
      case FieldKind::Options: ok = MergeOptionRows(field); break;
      case FieldKind::Adjustments: ok = MergeAdjustmentRows(field); break;
      case FieldKind::EOLFees: ok = MergeEOLFeeRows(field); break;
      case FieldKind::Compare: ok = MergeCompareTable(field); break;
      case FieldKind::TableData: ok = MergeTableData(field); break;
      case FieldKind::StdEquipment: ok = MergeStdEquipment(); break;
      case FieldKind::Single: EmitText(ReportFieldValue(ctx_, field, Customer())); break;
    }
    if (!ok) return result_;
    if (out_.size() > kMaxReportBytes) {
      Fault("the report would be larger than " + std::to_string(kMaxReportBytes >> 20) +
            " MB");
      return result_;
    }
  }
  doc = std::move(out_);
  out_.clear();
  return result_;
}

std::string ReportMerger::SkipTemplateChars(size_t count) {
  size_t end = std::min(src_.size(), pos_ + count);
  // A backslash at the end would escape the first character kept: take that one too.
  if (end < src_.size() && EndsWithLoneBackslash(std::string_view(src_).substr(pos_, end - pos_))) ++end;
  std::string marks = GroupMarks(std::string_view(src_).substr(pos_, end - pos_));
  pos_ = end;
  return marks;
}

bool ReportMerger::ReadSection(const std::string& field, bool withWidth, bool withRow, Section& s) {
  const std::string shown = Quoted(open_ + field + close_);
  if (withWidth) {
    // Three characters of width, read as a number (" 30" is 30, "abc" is 0: no wrapping),
    // and one more character.
    if (src_.size() - pos_ < 4)
      return Fault("the field " + shown + " must be followed by a width of three digits (such as 030) and a blank");
    const double w = TextValue(std::string_view(src_).substr(pos_, 3));
    s.wrapped = true;
    s.width = w >= 1 ? static_cast<int>(std::min(w, 999.0)) : 0;
    s.dropped += SkipTemplateChars(4);
  }
  if (withRow) {
    const size_t q = src_.find(kPar, pos_);
    if (q == std::string::npos)
      return Fault("the section field " + shown + " has no \"\\par \" after it to end its row template");
    s.rowTemplate = src_.substr(pos_, q - pos_);
    s.dropped += GroupMarks(s.rowTemplate);
    pos_ = q + kPar.size();
  }
  return true;
}

void ReportMerger::WrapDescription(const Section& s, const std::string& text, std::string& first, std::string& lead,
                                   std::string& more) const {
  first.clear();
  lead.clear();
  more.clear();
  if (!s.wrapped) return;
  // Wrapped with a stand-in break of the same length as "\par ", then escaped piece by piece.
  static const std::string kStandIn(kPar.size(), kBreak);
  const std::string w = WrapText(static_cast<int16_t>(s.width), WithoutBreakMarks(text), kStandIn);
  const size_t b = w.find(kStandIn);
  if (b == std::string::npos) {
    first = EscapeRtf(w);
  } else {
    first = EscapeRtf(w.substr(0, b));
    std::string rest = w.substr(b + kStandIn.size());
    std::string pieces;
    size_t start = 0;
    for (;;) {
      const size_t n = rest.find(kStandIn, start);
      pieces += EscapeRtf(std::string_view(rest).substr(start, n == std::string::npos ? std::string::npos : n - start));
      if (n == std::string::npos) break;
      pieces += kPar;
      start = n + kStandIn.size();
    }
    more = pieces + std::string(kPar);
  }
  lead = kTab;
}

bool ReportMerger::MergeAdjustmentRows(const std::string& field) {
  Section s;
  if (!ReadSection(field, Contains(field, "AdjustAll.Desc"), true, s)) return false;
  const PageItems& it = ctx_.e.items;
  auto present = [&](int r) {
    const AdjustmentRec& a = it.Adjustments[r];
    return !a.Desc.empty() || a.Cap != 0 || a.Cash != 0;
  };
  if (!present(1)) {
    Emit("No Adjustments \\par \\par ");
  } else {
    const bool capCol = Contains(s.rowTemplate, "AdjustAll.Cap") || Contains(field, "AdjustAll.Cap");
    const bool cashCol = Contains(s.rowTemplate, "AdjustAll.Cash") || Contains(field, "AdjustAll.Cash");
    const bool totalCol = Contains(s.rowTemplate, "AdjustAll.Total") || Contains(field, "AdjustAll.Cash") ||
                          Contains(field, "AdjustAll.Total") || Contains(field, "AdjustmentsAll.Total");
    for (int r = 1; r <= 10 && present(r); ++r) {
      const AdjustmentRec& a = it.Adjustments[r];
      std::string cells = capCol ? Money(a.Cap) : std::string();
      cells += kTab;
      cells += cashCol ? Money(a.Cash) : std::string();
      cells += kTab;
      if (totalCol) {
        cells += Money(a.Cap + a.Cash);
        if (r == 1) cells += kTab;
      }
      cells += kPar;
      std::string first, lead, more;
      WrapDescription(s, a.Desc, first, lead, more);
      Emit(first + lead + cells + more);
    }
  }
  Emit(s.dropped);
  return true;
}

bool ReportMerger::MergeEOLFeeRows(const std::string& field) {
  Section s;
  if (!ReadSection(field, Contains(field, "EOLFeesAll.Desc"), true, s)) return false;
  const PageItems& it = ctx_.e.items;
  auto present = [&](int r) { return !it.EOLFees[r].Desc.empty() || it.EOLFees[r].Amount != 0; };
  if (!present(1)) {
    Emit("No End-of-lease Fees \\par \\par ");
  } else {
    const bool amountCol = Contains(s.rowTemplate, "EOLFeesAll.Amount") || Contains(field, "EOLFeesAll.Amount");
    for (int r = 1; r <= 10 && present(r); ++r) {
      const EOLFeeRec& f = it.EOLFees[r];
      std::string cells = amountCol ? Money(f.Amount) : std::string();
      cells += kPar;
      std::string first, lead, more;
      WrapDescription(s, f.Desc, first, lead, more);
      Emit(first + lead + cells + more);
    }
  }
  Emit(s.dropped);
  return true;
}

bool ReportMerger::MergeOptionRows(const std::string& field) {
  Section s;
  if (!ReadSection(field, Contains(field, "OptName.All"), true, s)) return false;
  const grid::Sheet& list = ctx_.e.OptionList;
  if (list.TextRC(1, 1).empty() && list.MaxRow() == 1) {
    Emit("No Options \\par \\par ");
  } else {
    const bool invCol = Contains(s.rowTemplate, "OptInv.All") || Contains(field, "OptInv.All");
    const bool msrpCol = Contains(s.rowTemplate, "OptMSRP.All") || Contains(field, "OptMSRP.All");
    for (int r = 1; r <= list.MaxRow(); ++r) {
      std::string cells = invCol ? Money(list.NumberRC(r, 2)) : std::string();
      if (invCol && msrpCol) cells += kTab;
      if (msrpCol) cells += Money(list.NumberRC(r, 3));
      cells += kPar;
      std::string first, lead, more;
      WrapDescription(s, list.TextRC(r, 1), first, lead, more);
      Emit(first + lead + cells + more + std::string(kPar));
    }
  }
  Emit(s.dropped);
  return true;
}

bool ReportMerger::MergeCompareTable(const std::string& field) {
  const grid::Sheet* sheet = ctx_.sources.compareSheet ? ctx_.sources.compareSheet() : nullptr;
  if (!sheet) {
    result_.status = MergeResult::Status::CompareClosed;
    result_.message = kCompareClosedMessage;
    return false;
  }
  Section s;
  if (!ReadSection(field, true, false, s)) return false;

  // The three headings, each broken into lines at its own line breaks and wrapped to the
  // width; one heading line per step, the three side by side.
  std::array<std::vector<std::string>, 3> lines;
  for (int c = 1; c <= 3; ++c) {
    std::string h = sheet->TextRC(1, c);
    std::string cur;
    auto flush = [&] {
      const std::string w = WrapText(static_cast<int16_t>(s.width), cur, "\r");
      size_t start = 0;
      for (;;) {
        const size_t n = w.find('\r', start);
        lines[c - 1].push_back(w.substr(start, n == std::string::npos ? std::string::npos : n - start));
        if (n == std::string::npos) break;
        start = n + 1;
      }
      cur.clear();
    };
    if (h.empty()) continue;
    for (size_t i = 0; i < h.size(); ++i) {
      if (h[i] == '\r' || h[i] == '\n') {
        if (h[i] == '\r' && i + 1 < h.size() && h[i + 1] == '\n') ++i;
        flush();
      } else {
        cur += h[i];
      }
    }
    flush();
  }
  std::string block = "\r\n";
  const size_t n = std::max({lines[0].size(), lines[1].size(), lines[2].size()});
  for (size_t k = 0; k < n; ++k) {
    for (int c = 0; c < 3; ++c) {
      block += kTab;
      if (k < lines[c].size()) block += EscapeRtf(lines[c][k]);
    }
    block += "\r\n";
    block += kPar;
  }
  const auto& headings = CompareRowHeadings();
  for (int r = 3; r <= 15; ++r) {
    block += EscapeRtf(headings[r]);
    for (int c = 1; c <= 3; ++c) {
      block += kTab;
      block += EscapeRtf(sheet->TextRC(r, c));
    }
    block += "\r\n";
    block += kPar;
  }
  Emit(block);
  Emit(s.dropped);
  return true;
}

bool ReportMerger::MergeTableData(const std::string& field) {
  if (src_.size() - pos_ < 4)
    return Fault("the field " + Quoted(open_ + field + close_) + " must be followed by four characters (such as 000 and a blank)");
  const std::string dropped = SkipTemplateChars(4);
  const grid::Sheet* sheet = ctx_.sources.tablesSheet ? ctx_.sources.tablesSheet() : nullptr;
  if (sheet) {
    std::string t;
    std::string c1 = sheet->ColText(1), c2 = sheet->ColText(2);
    t += EscapeRtf(CleanGridText(c1));
    t += kTab;
    t += EscapeRtf(CleanGridText(c2));
    for (int c = 3; c <= 6; ++c) {
      std::string h = sheet->ColText(c);
      h = h.substr(0, h.find('\r'));
      const size_t sp = h.find(' ');
      if (sp != std::string::npos) h = h.substr(sp + 1);
      t += kTab;
      // A column set that is not in use has no heading, and gets none here.
      if (!h.empty()) {
        t += "Months=";
        t += EscapeRtf(h);
      }
    }
    t += kPar;
    // Every row of the table, from the first.
    for (int r = 1; r <= sheet->MaxRow(); ++r) {
      for (int c = 1; c <= 6; ++c) {
        if (c > 1) t += kTab;
        t += EscapeRtf(PaymentTableCellText(*sheet, r, c));
      }
      t += kPar;
    }
    Emit(t);
  }
  Emit(dropped);
  return true;
}

bool ReportMerger::MergeStdEquipment() {
  std::string s = ctx_.sources.standardEquipment ? ctx_.sources.standardEquipment(ctx_.e.page.MfgNum) : std::string();
  // "~" is a line break of the list; it becomes "\par " once the text is escaped.
  s = WithoutBreakMarks(s);
  for (char& ch : s)
    if (ch == '~') ch = kBreak;

  std::string out;
  size_t start = 0;
  for (;;) {
    const size_t semi = s.find(';', start);
    if (semi == std::string::npos) break;  // text after the last ";" is not an item
    std::string item = s.substr(start, semi - start);
    // The ";" and the one character after it (the blank between items) are dropped.
    start = semi + 1;
    if (start < s.size()) start += CharLength(static_cast<unsigned char>(s[start]));
    start = std::min(start, s.size());

    const size_t q = item.find('<');
    if (q == std::string::npos) {
      out += EscapeWithBreaks(item);
      out += kPar;
      continue;
    }
    if (q > 0) {
      out += EscapeWithBreaks(item.substr(0, q));
      out += kPar;
      item = item.substr(q);
    }
    // "<tag>label</tag>name: value": the opening tag runs to its ">".
    const size_t tagEnd = item.find('>');
    const size_t second = tagEnd == std::string::npos ? std::string::npos : item.find('<', tagEnd + 1);
    if (second == std::string::npos)
      return Fault("the standard equipment of vehicle line " + std::to_string(ctx_.e.page.MfgNum) + " has the item " +
                   Quoted(WithoutBreakMarks(item)) + " with an opening tag and no closing tag");
    const std::string label = item.substr(tagEnd + 1, second - tagEnd - 1);
    const size_t close = item.find('>', second);
    const std::string r = close == std::string::npos ? std::string() : item.substr(close + 1);
    std::string name, value;
    const size_t colon = r.find(':');
    if (colon != std::string::npos) {
      name = r.substr(0, colon + 1);
      value = r.substr(colon + 1);
    } else {
      name = r;  // an item without "name:" prints its text after the label
    }
    out += EscapeWithBreaks(label);
    out += ' ';
    out += EscapeWithBreaks(name);
    out += kPar;
    if (!Trim(WithoutBreakMarks(value)).empty()) {
      out += EscapeWithBreaks(value);
      out += kPar;
    }
  }
  Emit(out);
  return true;
}

MergeResult MergeReportFields(const ReportContext& ctx, std::string& doc, std::string_view openMark,
                              std::string_view closeMark, std::string_view templateName) {
  ReportMerger m(ctx, openMark, closeMark, templateName);
  return m.Merge(doc);
}

MergeResult MergeTemplateFile(const ReportContext& ctx, const std::string& path, std::string& report) {
  MergeResult r;
  const std::string real = files::ResolveNoCase(path);
  std::string text;
  // The size is looked at before the file is read: a template larger than a template may be
  // is refused without reading it.
  std::string why;
  const files::ReadResult read = files::ReadFileIfAny(real, text, kMaxTemplateBytes, &why);
  if (read != files::ReadResult::Read && read != files::ReadResult::TooLarge) {
    r.status = MergeResult::Status::TemplateFault;
    r.message = "Can't open file: " + real + (why.empty() ? "" : " (" + why + ")");
    return r;
  }
  if (read == files::ReadResult::TooLarge) {
    r.status = MergeResult::Status::TemplateFault;
    r.message = "Textfile too big: " + real;
    return r;
  }
  const size_t slash = real.find_last_of('/');
  r = MergeReportFields(ctx, text, "[", "]", slash == std::string::npos ? real : real.substr(slash + 1));
  if (r.ok()) report = std::move(text);
  return r;
}

}  // namespace qv::reports
