#include "engine/SettingsFile.h"

#include "engine/NumText.h"
#include "engine/Runtime.h"

namespace qv {

std::string StartupErrorText(const StartupError& e) {
  if (e.number == 0) return e.description;
  return "Error " + StrNum(e.number) + ".  " + e.description;
}

std::string ValuesReplacedText(const std::string& file, const std::vector<int>& lines) {
  std::string where;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) where += i + 1 == lines.size() ? " and " : ", ";
    where += std::to_string(lines[i]);
  }
  if (lines.size() == 1)
    return file + ", line " + where + ": a value that is not a number, or is out of range, was replaced by its default.";
  return file + ", lines " + where + ": values that are not numbers, or are out of range, were replaced by their defaults.";
}

namespace {

class ConfigReader {
 public:
  ConfigReader(RecordReader& r, std::vector<StartupError>& errors) : r_(r), errors_(errors) {}

  void Text(std::string& out) {
    if (ended_) return;
    std::string v;
    if (!r_.NextText(v)) return PastEnd();
    out = v;
  }
  // A value that is not a number, or that no deal can have (the limits of what is typed,
  // IsDealValue), leaves `out` as it was and its line is noted.
  void Number(double& out) {
    if (ended_) return;
    std::string t;
    if (!r_.NextText(t)) return PastEnd();
    double d = 0;
    if (t == "#TRUE#" || t == "#FALSE#") {
      d = t == "#TRUE#" ? -1 : 0;
    } else if (!ReadMoneyText(t, d) || !IsDealValue(d)) {
      const int line = r_.LineOfLastValue();
      if (badLines_.empty() || badLines_.back() != line) badLines_.push_back(line);
      return;
    }
    out = d;
  }
  void Int16(int16_t& out) {
    double d = out;
    Number(d);
    out = ToInt16(d);
  }

  // One message for every value that was replaced, naming the lines.
  void ReportBadValues() {
    if (!badLines_.empty())
      errors_.insert(errors_.begin(), StartupError{0, ValuesReplacedText(kSettingsFileName, badLines_)});
  }

 private:
  void PastEnd() {
    ended_ = true;
    errors_.push_back({62, "Input past end of file: " + std::string(kSettingsFileName)});
  }
  RecordReader& r_;
  std::vector<StartupError>& errors_;
  std::vector<int> badLines_;
  bool ended_ = false;
};

}  // namespace

std::vector<StartupError> ParseConfigText(const std::string& content, ProgramSettings& c, TaxSetting& tax) {
  std::vector<StartupError> errors;
  RecordReader rr(content);
  ConfigReader r(rr, errors);
  r.Number(c.DefaultInvestRate);
  r.Number(c.DefaultLoanRate);
  r.Text(c.ReportViewer);
  double unused = 0;
  r.Number(unused);
  r.Text(tax.TaxSetName);
  r.Text(c.SpareCfgText);
  r.Text(c.WordPath);
  r.Text(c.WordPadPath);
  r.Text(c.LeaseTemplatePath);
  r.Text(c.LoanTemplatePath);
  r.Text(c.CashTemplatePath);
  r.Text(c.LVBTemplatePath);
  r.Number(c.DefaultAdminFactor);
  r.Int16(tax.ExclTradeFromLocal);
  // A 0 / 1 flag whatever a hand-edited file holds (the tax rules test it for 1).
  tax.ExclTradeFromLocal = tax.ExclTradeFromLocal != 0 ? 1 : 0;
  r.Int16(c.NoUpdateReminder);
  r.ReportBadValues();
  return errors;
}

std::string BuildConfigText(const ProgramSettings& c, const TaxSetting& tax) {
  using V = RecordValue;
  const std::vector<std::vector<V>> lines = {
      {V::Number(c.DefaultInvestRate), V::Number(c.DefaultLoanRate)},
      {V::Text(c.ReportViewer), V::Number(0)},
      {V::Text(tax.TaxSetName)},
      {V::Text(c.SpareCfgText)},
      {V::Text(c.WordPath)},
      {V::Text(c.WordPadPath)},
      {V::Text(c.LeaseTemplatePath)},
      {V::Text(c.LoanTemplatePath)},
      {V::Text(c.CashTemplatePath)},
      {V::Text(c.LVBTemplatePath)},
      {V::Number(c.DefaultAdminFactor)},
      {V::Number(tax.ExclTradeFromLocal)},
      {V::Number(c.NoUpdateReminder)},
  };
  std::string out;
  for (const auto& l : lines) out += WriteRecord(l) + "\r\n";
  return out;
}

}  // namespace qv
