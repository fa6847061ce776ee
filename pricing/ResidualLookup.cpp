// The residual lookup: manufacturers, runs, group lines, residual lines, locks, mileage
// points and the residual put on the page.
#include "pricing/ResidualLookup.h"

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"
#include "pricing/GuideFiles.h"

namespace qv::pricing {

namespace {

constexpr const char* kTermLabels[4] = {" 24 Months:", " 36 Months:", " 48 Months:", " 60 Months:"};
// Points added for 12,000 miles a year: in the list, and in the residual taken.
constexpr double kShownMilePoints[4] = {1, 2, 2, 3};
constexpr double kTakenMilePoints[4] = {2, 2, 2, 3};

}  // namespace

bool ResidualLookup::Load(const std::string& appFolder, const std::string& modelYear, std::string& error) {
  appFolder_ = appFolder;
  modelYear_ = modelYear;
  lines_.clear();
  locked_.clear();
  ClearLocks();
  index_ = ReadResidualIndex(ResidualFilePath(appFolder, modelYear, ".DR1"));
  error = index_.error;
  return error.empty();
}

std::string ResidualLookup::Caption() const { return "ALG Residuals for " + modelYear_ + " Models"; }

std::vector<std::string> ResidualLookup::ManufacturerTexts() const {
  std::vector<std::string> out;
  out.reserve(index_.items.size());
  for (const ResidualIndexItem& i : index_.items) out.push_back(i.name);
  return out;
}

bool ResidualLookup::UpdateModel(int mfg, std::string& error) {
  error.clear();
  lines_.clear();
  locked_.clear();
  ClearLocks();
  if (mfg < 0 || mfg >= static_cast<int>(index_.items.size())) return false;
  ResidualRecordFile file;
  if (!file.Open(ResidualFilePath(appFolder_, modelYear_, ".RV1"))) {
    error = MissingFileMessage(file.Path());
    return false;
  }
  ResidualRun run = ListRun(file, index_.items[static_cast<size_t>(mfg)].firstRecord);
  if (!run.error.empty()) {
    error = run.error;
    return false;
  }
  lines_ = std::move(run.lines);
  locked_.assign(lines_.size(), false);
  return true;
}

std::string ResidualLookup::LineText(int i) const {
  if (i < 0 || i >= LineCount()) return {};
  return IsLocked(i) ? kLockMarker + lines_[static_cast<size_t>(i)].text : lines_[static_cast<size_t>(i)].text;
}

std::vector<std::string> ResidualLookup::LineTexts() const {
  std::vector<std::string> out;
  out.reserve(lines_.size());
  for (int i = 0; i < LineCount(); ++i) out.push_back(LineText(i));
  return out;
}

bool ResidualLookup::IsLocked(int i) const {
  return i >= 0 && i < static_cast<int>(locked_.size()) && locked_[static_cast<size_t>(i)];
}

bool ResidualLookup::IsGroupLine(int i) const {
  if (i == 0) return true;
  const std::string& t = lines_[static_cast<size_t>(i)].text;
  return !Trim(std::string_view(t).substr(0, 10)).empty();
}

bool ResidualLookup::ShowsResidual(int i) const {
  if (i < 0 || i >= LineCount()) return false;
  const ResidualRecord& r = lines_[static_cast<size_t>(i)].record;
  return r.HasResidualData() && !r.IsAdd() && !r.IsDeductAdjust();
}

int ResidualLookup::GroupIndex(int sel) const {
  if (sel < 0 || sel >= LineCount()) return -1;
  for (int i = sel - 1; i >= 0; --i) {
    if (IsGroupLine(i)) return i;
  }
  return -1;
}

std::optional<int> ResidualLookup::GroupLineOf(int sel) const {
  const int g = GroupIndex(sel);
  if (g < 0) return std::nullopt;
  return g;
}

std::string ResidualLookup::FindModelHeader(int sel) const {
  const int g = GroupIndex(sel);
  return g < 0 ? std::string() : lines_[static_cast<size_t>(g)].text;
}

double ResidualLookup::LockFor(int sel, int term) const {
  if (!HasLocks() || lockedHeader_ != GroupIndex(sel)) return 0;
  return lockedAdjust_[static_cast<size_t>(term)];
}

void ResidualLookup::ClearLocks() {
  lockedHeader_ = kNoLocks;
  lockedAdjust_ = {};
}

ResidualLookup::ResView ResidualLookup::UpdateRes(int sel) const {
  ResView v;
  if (sel < 0 || sel >= LineCount()) return v;
  const ResidualRecord& r = lines_[static_cast<size_t>(sel)].record;
  if (!r.HasResidualData()) return v;
  v.showsResidual = true;

  if (r.IsAdd() || r.IsDeductAdjust()) {
    const bool add = r.IsAdd();
    v.label1 = add ? "Add (Click 'Add' to Lock In)" : "Deduct (Click 'Deduct' to Lock In)";
    if (IsLocked(sel)) {
      v.button2Visible = true;
      v.button2Caption = "Un-&Lock";
    } else if (!HasLocks() || lockedHeader_ == GroupIndex(sel)) {
      v.button2Visible = true;
      v.button2Caption = add ? "&Add" : "&Deduct";
    }
    for (int t = 0; t < 4; ++t) v.lines.push_back(kTermLabels[t] + std::string(" ") + r.field(10 + t) + "%  of  MSRP");
    return v;
  }

  v.label1 = "Residual Value in % of MSRP";
  const double flag = miles12000_ ? 1 : 0;
  for (int t = 0; t < 4; ++t) {
    const double e = LockFor(sel, t);
    const double q = flag * kShownMilePoints[t] + r.TermValue(t);
    v.lines.push_back(kTermLabels[t] + StrNum(q) + Format(e, " + 0; - 0") + " =" + StrNum(e + q) + "%  of  MSRP");
  }
  return v;
}

bool ResidualLookup::ToggleLock(int sel) {
  if (sel < 0 || sel >= LineCount()) return false;
  const ResidualRecord& r = lines_[static_cast<size_t>(sel)].record;
  if (!(r.IsAdd() || r.IsDeductAdjust()) || !r.HasResidualData()) return false;
  double sign = r.IsDeductAdjust() ? -1 : 1;
  if (IsLocked(sel)) {
    sign = -sign;
    locked_[static_cast<size_t>(sel)] = false;
  } else {
    const int g = GroupIndex(sel);
    // Locks of one group at a time.
    if (HasLocks() && lockedHeader_ != g) return false;
    locked_[static_cast<size_t>(sel)] = true;
    lockedHeader_ = g;
  }
  for (int t = 0; t < 4; ++t) lockedAdjust_[static_cast<size_t>(t)] += sign * r.TermValue(t);
  bool any = false;
  for (bool l : locked_) any = any || l;
  if (!any) ClearLocks();
  return true;
}

ResidualLookup::UseChoice ResidualLookup::PrepareUse(int sel, int resIndex, double msrp, int currentPage) const {
  UseChoice c;
  if (msrp == 0) {
    c.refusal = "CANNOT CALCULATE RESIDUAL VALUE\rBECAUSE MSRP IS ZERO.";
    return c;
  }
  if (resIndex < 0 || resIndex > 3) {
    c.refusal = "RESIDUAL VALUE MUST BE SELECTED";
    return c;
  }
  if (!ShowsResidual(sel)) {
    c.refusal = "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE";
    return c;
  }
  const ResidualRecord& r = lines_[static_cast<size_t>(sel)].record;
  const double flag = miles12000_ ? 1 : 0;
  c.months = 24 + 12 * resIndex;
  c.fraction = (flag * kTakenMilePoints[resIndex] + LockFor(sel, resIndex) + r.TermValue(resIndex)) / 100;
  c.value = Engine::RoundNum(msrp * c.fraction, 2);
  c.allowedMiles = miles12000_ ? 12000 : 15000;
  c.question = "Page" + StrNum(currentPage) + " of the Worksheet will be modified to include\ra residual value of $" +
               GeneralNumber(msrp) + " x" + StrNum(c.fraction) + " = $" + GeneralNumber(c.value);
  c.ok = true;
  return c;
}

std::string ResidualLookup::ApplyUse(Engine& eng, const UseChoice& choice) {
  eng.page.Residual = Engine::RoundNum(choice.value, 2);
  eng.page.AllowedMiles = choice.allowedMiles;
  eng.page.Months = choice.months;
  const std::string milesText = Format(eng.page.AllowedMiles, "#,###;; ");
  eng.CalcMileageFees();
  eng.RecalcPage();
  return milesText;
}

bool ResidualLookup::UseResidual(Engine& eng, int sel, int resIndex, std::string* allowedMilesText) const {
  const UseChoice c = PrepareUse(sel, resIndex, eng.res.MSRP, eng.CurrentPage);
  ui::Prompt& prompt = ui::GetPrompt();
  if (!c.ok) {
    prompt.MsgBox(c.refusal, ui::Buttons::OK);
    return false;
  }
  if (prompt.MsgBox(c.question, ui::Buttons::OKCancel) != ui::Answer::OK) return false;
  const std::string text = ApplyUse(eng, c);
  if (allowedMilesText) *allowedMilesText = text;
  return true;
}

}  // namespace qv::pricing
