#include "engine/SettingsFile.h"

#include "engine/Runtime.h"

namespace qv {

std::string StartupErrorText(const StartupError& e) {
  return "Error " + StrNum(e.number) + ".  " + e.description;
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
  void Number(double& out) {
    if (ended_) return;
    double d = 0;
    bool isNumber = false;
    if (!r_.NextNumber(d, &isNumber)) return PastEnd();
    if (!isNumber) {
      errors_.push_back({13, "Type mismatch: " + std::string(kSettingsFileName)});
      return;
    }
    out = d;
  }
  void Int16(int16_t& out) {
    double d = out;
    Number(d);
    out = ToInt16(d);
  }

 private:
  void PastEnd() {
    ended_ = true;
    errors_.push_back({62, "Input past end of file: " + std::string(kSettingsFileName)});
  }
  RecordReader& r_;
  std::vector<StartupError>& errors_;
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
