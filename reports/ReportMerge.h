#pragma once
// The report merge: a template is RTF text in which every place that receives a value of the
// current page holds a field, a name between the field marks ("[PaymentNT]"). The merge
// replaces every field and gives back the finished RTF.
//
// The template is read once from left to right; text that a field puts in is never searched
// for fields again, so a memo holding "[Memo]" is printed as it stands. Every value that
// comes from data (amounts, names, memo, customer, option, adjustment and fee descriptions,
// grid cells, standard equipment) is escaped for RTF; the markup the merge writes itself
// ("\par ", "\tab ") is not.
//
// Single-value fields take their text from ReportFieldValue. Five families of section fields
// expand into rows, and "StdEquipment" into the vehicle's standard-equipment list:
//   options      "[OptName.All]www " (wrapped names), "[OptInv.All]", "[OptMSRP.All]"
//   adjustments  "[AdjustAll.Desc]www ", "[AdjustAll.Cap]", "[AdjustAll.Cash]", "[AdjustAll.Total]"
//                ("[AdjustmentsAll.Total]" is read as "[AdjustAll.Total]")
//   fees         "[EOLFeesAll.Desc]www ", "[EOLFeesAll.Amount]" (also "EOLFeesAll.Cap", ".Cash",
//                ".Total" start the section)
//   comparison   "[Compare]www " (the lease comparison window's three columns)
//   table        "[TableData]xxxx" (the payment tables window's rows; the four characters
//                after the field are dropped)
// For the three row families, the section field is followed by its row template: the text
// up to the next "\par ", which only tells which columns to print through the markers it
// holds (the names above written as fields); it is replaced by the rows. "www" is a width
// of three characters, read as a number ("030", "30 " and " 30" give 30; "abc" gives 0, no
// wrapping), followed by one more character; neither is copied. Descriptions longer than the width are wrapped.
//
// An opening mark whose text up to the closing mark holds RTF markup and, without it, names
// no known field is the text's own ("Options [see page 2\par "): it is kept as written and
// the merge goes on after it.
//
// Faults of a template (an opening mark with no closing mark after it, a known field name
// split by RTF markup, a section field without its width or without "\par " after its row template, a
// standard-equipment item with an opening tag and no second "<") stop the merge with a
// message naming the template and the fault; the document is then left as it was.
#include <cstddef>
#include <string>
#include <string_view>

#include "reports/CustomerList.h"
#include "reports/ReportContext.h"

namespace qv::reports {

inline constexpr const char* kCompareClosedMessage = "Compare Leases Window must be open.";
inline constexpr size_t kMaxTemplateBytes = 64000;
// A merged report larger than this is refused (a template fault naming the template).
inline constexpr size_t kMaxReportBytes = 16u << 20;

struct MergeResult {
  enum class Status {
    Merged,
    CompareClosed,  // a "[Compare]" field while the comparison window is closed: message is
                    // kCompareClosedMessage, to be shown once; no report is made
    TemplateFault   // message names the template and what is wrong with it
  };
  Status status = Status::Merged;
  std::string message;
  bool ok() const { return status == Status::Merged; }
};

// Merges every field of `doc` (changed in place only when the merge succeeds). The report
// generation passes "[" and "]". `templateName` names the template in fault messages.
MergeResult MergeReportFields(const ReportContext& ctx, std::string& doc, std::string_view openMark = "[",
                              std::string_view closeMark = "]", std::string_view templateName = {});

// Reads the template file at `path` (its name looked up without regard to case) and merges
// it into `report`. Faults: the file cannot be read ("Can't open file: " and the path), it is
// longer than kMaxTemplateBytes ("Textfile too big: " and the path), or the merge fails.
MergeResult MergeTemplateFile(const ReportContext& ctx, const std::string& path, std::string& report);

// The merge of one document. MergeReportFields is the way to use it; the family operations
// are members so that each reads the template from where the main loop stands.
class ReportMerger {
 public:
  ReportMerger(const ReportContext& ctx, std::string_view openMark, std::string_view closeMark,
               std::string_view templateName);

  MergeResult Merge(std::string& doc);

  // The families. Each is called with the field just read (the main loop stands behind its
  // closing mark), writes its rows and moves the read position past what it consumed.
  // False when the template is faulty there (the result holds the message).
  bool MergeOptionRows(const std::string& field);
  bool MergeAdjustmentRows(const std::string& field);
  bool MergeEOLFeeRows(const std::string& field);
  bool MergeCompareTable(const std::string& field);
  bool MergeTableData(const std::string& field);
  bool MergeStdEquipment();

 private:
  struct Section {
    bool wrapped = false;  // the width field was merged
    int width = 0;
    std::string rowTemplate;
    std::string dropped;  // group marks of the text removed with the width and row template
  };
  // Reads the width (when `withWidth`) and the row template (when `withRow`) after a section
  // field; false on a template fault.
  bool ReadSection(const std::string& field, bool withWidth, bool withRow, Section& s);
  // Skips `count` characters of the template (more when the last one escapes the next),
  // giving back their group marks.
  std::string SkipTemplateChars(size_t count);
  // first, lead and more of a wrapped description (escaped, with the break markup).
  void WrapDescription(const Section& s, const std::string& text, std::string& first, std::string& lead,
                       std::string& more) const;
  bool Fault(const std::string& what);
  const CustomerRecord& Customer();
  void Emit(std::string_view rtf);
  void EmitText(std::string_view text);

  const ReportContext& ctx_;
  std::string open_, close_, name_;
  std::string src_;
  size_t pos_ = 0;
  std::string out_;
  MergeResult result_;
  bool customerRead_ = false;
  CustomerRecord customer_;
};

}  // namespace qv::reports
