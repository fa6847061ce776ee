// RecalcPage: brings every result of the current page up to date, fills the start-up costs
// sheet with its labels and hands over to the result display.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"

namespace qv {

namespace {

constexpr const char* kMoneyPattern = "$#,###.00;; ";

// Settling. Each pass moves a capitalised first payment to the payment the last calculation
// gave (the payment depends on it through the cap cost), lets the deposit follow, and
// calculates again. The state each pass starts from is kept: when one comes back, the page
// has settled (the same state twice running) or goes round a cycle, because rounding to
// cents and the $25 steps of the deposit, fed back through the start-up taxes, can leave a
// page without any state that reproduces itself.
constexpr int kMaxPasses = 200;
// A capitalised first payment whose steps grow this many times running moves away from any
// solution (a one-month term, a money factor near 1); a cycle repeats before that.
constexpr int kDivergingSteps = 8;
constexpr int kMaxFirstPaymentSteps = 100;
// Values that differ by less than this are the same.
constexpr double kSettledTolerance = 1e-9;

constexpr StartUpItem PageItems::*kAllItems[16] = {
    &PageItems::Security,     &PageItems::Registration, &PageItems::Title,           &PageItems::SalesTax,
    &PageItems::CapRedTax,    &PageItems::FirstPayment, &PageItems::Acquisition,     &PageItems::PrePaidMileFee,
    &PageItems::LuxuryTax,    &PageItems::TradeEquity,  &PageItems::LeaseRebate,     &PageItems::DocumentFee,
    &PageItems::RebateTax,    &PageItems::OtherFee,     &PageItems::STaxOnFeesTaxes, &PageItems::STaxSumPmt};
constexpr size_t kSecurity = 0, kFirstPayment = 5;

CarriedState Capture(const Engine& e) {
  CarriedState s;
  for (size_t n = 0; n < 16; ++n) s.items[n] = e.items.*kAllItems[n];
  s.totalRent = e.res.TotalRent;
  return s;
}

void Restore(Engine& e, const CarriedState& s) {
  for (size_t n = 0; n < 16; ++n) e.items.*kAllItems[n] = s.items[n];
  e.res.TotalRent = s.totalRent;
}

bool Near(double a, double b) { return std::fabs(a - b) <= kSettledTolerance; }

// The same starting point for a calculation: the split of every item and the rent charge.
bool Same(const CarriedState& a, const CarriedState& b) {
  for (size_t n = 0; n < 16; ++n)
    if (!Near(a.items[n].Cap, b.items[n].Cap) || !Near(a.items[n].Cash, b.items[n].Cash)) return false;
  return Near(a.totalRent, b.totalRent);
}

bool AllFinite(const CarriedState& s) {
  for (const StartUpItem& it : s.items)
    if (!std::isfinite(it.Cap) || !std::isfinite(it.Cash)) return false;
  return std::isfinite(s.totalRent);
}

// A fixed order of states (item by item, capitalised part before cash part), the last
// tie-break when two states of a cycle are otherwise equal.
bool Before(const CarriedState& a, const CarriedState& b) {
  for (size_t n = 0; n < 16; ++n) {
    if (a.items[n].Cap != b.items[n].Cap) return a.items[n].Cap < b.items[n].Cap;
    if (a.items[n].Cash != b.items[n].Cash) return a.items[n].Cash < b.items[n].Cash;
  }
  return a.totalRent < b.totalRent;
}

// Makes the figures of the calculation just run from `from` agree with one state: the
// deposit stays the one the taxes and totals were computed with, and whatever of the payment
// the capitalised part of the first payment does not hold is paid in cash, so that the first
// payment is the payment. Returns the change of the first payment's cash part.
double FinishPass(Engine& e, const CarriedState& from) {
  StartUpItem& sec = e.items.Security;
  const StartUpItem& sec0 = from.items[kSecurity];
  sec.Cap = sec0.Cap;
  sec.Cash = sec0.Cash;
  sec.Amount = sec0.Amount;
  StartUpItem& fp = e.items.FirstPayment;
  const StartUpItem& fp0 = from.items[kFirstPayment];
  fp.Cap = fp0.Cap;
  fp.Cash = fp0.Cash;
  double moved = 0;
  if (fp.ManualSplit == 0 && std::isfinite(e.res.PaymentWT)) {
    const double cash = fp.Cap == 0 ? e.res.PaymentWT : e.res.PaymentWT - fp.Cap;
    if (!Near(fp.Cap + fp.Cash, e.res.PaymentWT) || fp.Cap == 0) {
      moved = cash - fp.Cash;
      fp.Cash = cash;
    }
  }
  e.SumStartUps();
  return moved;
}

// How one state of a cycle ends: preferred are states whose first payment does not take
// back cash, then the lower cash required at signing, the lower payment, the lower cap cost.
struct CycleEnd {
  size_t index = 0;
  bool takesCash = false;
  double cash = 0, payment = 0, capCost = 0;
};

CycleEnd Judge(const Engine& e, size_t index, double moved) {
  auto rn = [](double x) { return Engine::RoundNum(x, 2); };
  CycleEnd c;
  c.index = index;
  c.takesCash = e.items.FirstPayment.Cap != 0 && moved < -kSettledTolerance;
  c.cash = rn(e.page.CapRd) + rn(e.res.TotalStartUps.Cash) + rn(e.items.TotalAdjust.Cash);
  c.payment = e.res.PaymentWT;
  c.capCost = e.res.CapCost;
  return c;
}

bool Better(const CycleEnd& a, const CycleEnd& b, const std::vector<CarriedState>& states) {
  if (a.takesCash != b.takesCash) return !a.takesCash;
  if (a.cash != b.cash) return a.cash < b.cash;
  if (a.payment != b.payment) return a.payment < b.payment;
  if (a.capCost != b.capCost) return a.capCost < b.capCost;
  return Before(states[a.index], states[b.index]);
}

// Clears what the calculation could not compute as a finite number (inputs that overflow
// the arithmetic); true when there was any.
bool ClearNonFinite(Engine& e) {
  bool cleared = false;
  auto fix = [&cleared](double& v) {
    if (!std::isfinite(v)) {
      v = 0;
      cleared = true;
    }
  };
  auto fixVar = [&cleared](Var& v) {
    if (!v.IsEmpty() && !std::isfinite(static_cast<double>(v))) {
      v = 0.0;
      cleared = true;
    }
  };
  PageResults& r = e.res;
  for (double* v : {&r.TotalOptInv, &r.TotalOptMSRP, &r.TotalInvoice, &r.TotalMSRP, &r.MSRP, &r.MarginPerc,
                    &r.PurchPrice, &r.TotalTradeEquity, &r.GrossCapCost, &r.CapCost, &r.OptionDiscountTotal,
                    &r.PaymentNT, &r.PaymentWT, &r.TotalRent, &r.TotalStartUps.Cap, &r.TotalStartUps.Cash,
                    &r.LCashReqd, &r.LInitCost, &r.PInitCost, &r.CInitCost, &r.LLIIC, &r.PLIIC, &r.CLIIC, &r.LLIPmt,
                    &r.PLIPmt, &r.LeaseFC, &r.PurchFC, &r.CashFC, &r.TotalTaxFee, &r.LoanPrinciple, &r.PurPmnt,
                    &r.PCashReqd, &r.CCashReqd})
    fix(*v);
  for (Var* v : {&r.ResPerc, &r.Payoff, &r.LeaseCashRatio, &r.LeaseLoanRatio, &r.LoanCashRatio}) fixVar(*v);
  for (StartUpItem PageItems::*m : kAllItems) {
    StartUpItem& it = e.items.*m;
    for (double* v : {&it.Cap, &it.Cash, &it.Amount, &it.Tax}) fix(*v);
  }
  fix(e.items.TotalAdjust.Cap);
  fix(e.items.TotalAdjust.Cash);
  fix(e.items.TotalEOLFees);
  // The page fields the calculation writes.
  fix(e.page.Factor);
  fix(e.page.LoanMonths);
  fix(e.page.EndLoan);
  fixVar(e.page.PurchSales);
  fixVar(e.page.PurchLuxuryTax);
  return cleared;
}

const std::string kCaptionPurchasePrice = "Tax on Purchase Price";
const std::string kCaptionSumOfPayments = "Tax on Sum of Pmts";

// Rows of the start-up sheet whose column 5 shows the item's tax.
constexpr int kTaxRows[] = {3, 4, 5, 6, 8, 9, 10, 11, 12, 14, 15};

}  // namespace

void Engine::SettlePage() {
  SkipItemReload = -1;
  SkipCompare = -1;
  // A page left on a state of a cycle resumes from that state, so that it ends there again.
  if (settledCycle.valid) {
    const CarriedState now = Capture(*this);
    bool unchanged = now.totalRent == settledCycle.left.totalRent;
    for (size_t n = 0; unchanged && n < 16; ++n) unchanged = now.items[n] == settledCycle.left.items[n];
    if (unchanged) Restore(*this, settledCycle.member);
  }
  settledCycle.valid = false;

  StartUpItem& fp = items.FirstPayment;
  StartUpItem& sec = items.Security;
  std::vector<CarriedState> seen;
  seen.reserve(8);
  seen.push_back(Capture(*this));
  const StartUpItem fpStart = fp;
  const StartUpItem secStart = sec;
  CalcLease();

  bool settlingFirst = fp.ManualSplit == 0;
  int steps = 0;
  int growing = 0;
  double lastStep = 0;
  size_t repeatOf = SIZE_MAX;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (settlingFirst) {
      const double delta = res.PaymentWT - (fp.Cap + fp.Cash);
      if (!std::isfinite(delta)) {
        settlingFirst = false;
      } else if (std::fabs(delta) > kSettledTolerance) {
        if (fp.Cap + delta >= 0) {
          fp.Cap += delta;
        } else if (fp.Cash + delta >= 0) {
          fp.Cash += delta;
        } else {
          // Neither side can take the difference (a negative payment): the first payment
          // keeps its split and the rest goes to cash at the end.
          settlingFirst = false;
        }
        if (settlingFirst) {
          growing = (steps > 0 && std::fabs(delta) > lastStep) ? growing + 1 : 0;
          lastStep = std::fabs(delta);
          if (++steps > kMaxFirstPaymentSteps || growing >= kDivergingSteps) {
            // No settled first payment: back to the page's own split; the rest of the
            // payment goes to cash at the end. The states seen so far do not come back.
            fp.Cap = fpStart.Cap;
            fp.Cash = fpStart.Cash;
            sec.Cap = secStart.Cap;
            sec.Cash = secStart.Cash;
            sec.Amount = secStart.Amount;
            settlingFirst = false;
            seen.clear();
          } else {
            // The deposit follows the payment; a split deposit keeps its split.
            sec.Amount = RoundSecurityDeposit();
            if (sec.ManualSplit == 0) {
              if (sec.Cap == 0)
                sec.Cash = sec.Amount;
              else if (sec.Cash == 0)
                sec.Cap = sec.Amount;
            }
          }
        }
      }
    }
    CarriedState now = Capture(*this);
    if (!seen.empty() && !AllFinite(now)) break;
    for (size_t j = seen.size(); j-- > 0;) {
      if (Same(now, seen[j])) {
        repeatOf = j;
        break;
      }
    }
    if (repeatOf != SIZE_MAX) break;
    seen.push_back(std::move(now));
    CalcLease();
  }

  // The current calculation is the one of the last state seen.
  const size_t last = seen.size() - 1;
  if (repeatOf == SIZE_MAX || repeatOf == last) {
    // Settled (or stopped): the last calculation stands.
    FinishPass(*this, seen[last]);
  } else {
    // A cycle of the states from repeatOf to last: every state of it is calculated and
    // judged by the same rule, so the page ends on the same state whichever state of the
    // cycle it entered by.
    CycleEnd best = Judge(*this, last, FinishPass(*this, seen[last]));
    size_t current = last;
    for (size_t j = repeatOf; j < last; ++j) {
      Restore(*this, seen[j]);
      CalcLease();
      current = j;
      const CycleEnd c = Judge(*this, j, FinishPass(*this, seen[j]));
      if (Better(c, best, seen)) best = c;
    }
    if (best.index != current) {
      Restore(*this, seen[best.index]);
      CalcLease();
      FinishPass(*this, seen[best.index]);
    }
    settledCycle.valid = true;
    settledCycle.member = seen[best.index];
  }
  res.FirstPaymentUnsettled = fp.ManualSplit == 0 && fp.Cap != 0 && fp.Cash != 0;
  CompareBlock();
  SkipCompare = 0;
  SkipItemReload = 0;
  res.NonFinite = ClearNonFinite(*this);
  if (settledCycle.valid) settledCycle.left = Capture(*this);
}

void Engine::RecalcPage() {
  SettlePage();

  // The start-up costs sheet.
  for (int row = 2; row <= 16; ++row) {
    const StartUpItem* item = ItemOfRow(row);
    if (row == static_cast<int>(StartUpRow::STaxSumPmt))
      StartUpsSheet.SetTextRC(row, 1, tax.TaxMethod == 1 ? kCaptionPurchasePrice : kCaptionSumOfPayments);
    StartUpsSheet.SetNumberRC(row, 2, item->Cap);
    StartUpsSheet.SetNumberRC(row, 3, item->Cash);
  }
  StartUpsLabel2[0] = Format(page.CapRd, kMoneyPattern);
  ShowTaxableChecks();
  ShowItemTaxes();
  SumStartUps();
  for (double* total : {&res.TotalStartUps.Cap, &res.TotalStartUps.Cash})
    if (!std::isfinite(*total)) *total = 0;  // items too large to add up (NonFinite is set)
  const int totals = static_cast<int>(StartUpRow::Totals);
  StartUpsSheet.SetNumberRC(totals, 2, res.TotalStartUps.Cap);
  StartUpsSheet.SetNumberRC(totals, 3, res.TotalStartUps.Cash);
  // The whole cash required at signing, cash adjustments included: the main window's figure.
  StartUpsLabel2[1] = Format(res.LCashReqd, kMoneyPattern);
  if (SkipSheetFormat == 0) FormatStartUpsSheet();
  if (host != nullptr) host->ShowPageResults();
}

namespace {

// Calls `f` with every number of a page's inputs; stops at the first for which it is false.
template <class F>
bool EveryInputNumber(const PageInputs& in, F f) {
  const PageRecord& p = in.page;
  for (double v : {p.BaseInv, p.BaseMSRP, p.Dest, p.Margin, p.Factor, p.Factor2, p.Months, p.Residual, p.CapRd,
                   p.CashMonths, p.LoanMonths, p.DownPmt, p.EndLoan, p.LoanRate, p.InvestRate,
                   p.PrePaidCentsPerMile, p.EOLCentsperMile, p.Profit, p.Incentive, p.Advertising, p.Holdback,
                   p.Other, static_cast<double>(p.PurchRebate), static_cast<double>(p.PurchRegistration),
                   static_cast<double>(p.PurchTitle), static_cast<double>(p.PurchSales),
                   static_cast<double>(p.PurchUseTax), static_cast<double>(p.PurchPropertyTax),
                   static_cast<double>(p.PurchLuxuryTax), static_cast<double>(p.PurchOther), p.Balloon, p.FordAPR,
                   p.FordAdminFactor})
    if (!f(v)) return false;
  const PageItems& it = in.items;
  for (StartUpItem PageItems::*m : kAllItems) {
    const StartUpItem& item = it.*m;
    for (double v : {item.Cap, item.Cash, item.Amount, item.Tax})
      if (!f(v)) return false;
  }
  for (double v : {it.TradePayoff, it.TradeAllowance, it.TotalAdjust.Cap, it.TotalAdjust.Cash, it.TotalEOLFees})
    if (!f(v)) return false;
  for (int n = 1; n <= 10; ++n) {
    if (!f(it.Adjustments[n].Cap) || !f(it.Adjustments[n].Cash)) return false;
    if (!f(it.EOLFees[n].Amount)) return false;
  }
  return true;
}

}  // namespace

bool Engine::IsFinite(const PageInputs& in) {
  return EveryInputNumber(in, [](double v) { return std::isfinite(v); });
}

Engine::InputFault Engine::CheckDealInputs(const PageInputs& in) {
  const PageRecord& p = in.page;
  if (!EveryInputNumber(in, [](double v) { return IsDealValue(v); }) ||
      !IsDealValue(static_cast<double>(p.AllowedMiles)) || !IsDealValue(static_cast<double>(p.PrePaidActualMiles)) ||
      !IsDealValue(static_cast<double>(p.EOLActualMiles)))
    return InputFault::TooLarge;
  if (p.Months < 0 || p.LoanMonths < 0 || p.CashMonths < 0) return InputFault::NegativeTerm;
  return InputFault::None;
}

bool Engine::GivesFiniteResults(const PageInputs& candidate) {
  if (!IsFinite(candidate)) return false;
  // Everything the calculation changes is put back afterwards.
  const PageInputs savedInputs = SnapshotInputs();
  const PageResults savedResults = res;
  const SettledCycle savedCycle = settledCycle;
  const std::vector<std::string> savedHeadings = OptionList.Headings();
  const int16_t savedReload = SkipItemReload, savedCompare = SkipCompare;
  page = candidate.page;
  items = candidate.items;
  SettlePage();
  const bool finite = !res.NonFinite;
  page = savedInputs.page;
  items = savedInputs.items;
  res = savedResults;
  settledCycle = savedCycle;
  const std::vector<std::string>& headings = OptionList.Headings();
  for (size_t col = 0; col < savedHeadings.size(); ++col)
    if (col >= headings.size() || headings[col] != savedHeadings[col])
      OptionList.SetColText(static_cast<int>(col + 1), savedHeadings[col]);
  SkipItemReload = savedReload;
  SkipCompare = savedCompare;
  return finite;
}

void Engine::ShowTaxableChecks() {
  for (int row = 2; row <= 16; ++row) {
    const int id = StartUpCheckBoxId(row);
    if (id == 0) continue;
    StartUpsSheet.SetObjValue(id, ItemOfRow(row)->AlsoTax != 0 ? 1 : 0);
  }
}

void Engine::ShowItemTaxes() {
  // Most items are untaxed: their text, the pattern's zero section, is formatted once.
  static const std::string kZeroText = Format(0, kMoneyPattern);
  for (int row : kTaxRows) {
    const double tax = ItemOfRow(row)->Tax;
    StartUpsSheet.SetTextRC(row, 5, tax == 0 ? kZeroText : Format(tax, kMoneyPattern));
  }
}

// Amounts split by hand are shown in bold.
void Engine::FormatStartUpsSheet() {
  static const grid::CellFont kPlain{"MS Sans Serif", 8, false, false, false, false, 0};
  static const grid::CellFont kBold{"MS Sans Serif", 8, true, false, false, false, 0};
  const int row0 = StartUpsSheet.ActiveRow();
  const int col0 = StartUpsSheet.ActiveCol();
  bool changed = false;
  for (int row = 2; row <= 16; ++row) {
    const grid::CellFont& font = ItemOfRow(row)->ManualSplit == 1 ? kBold : kPlain;
    // Rows already in their type are left alone (most recalculations change none).
    const grid::Cell* cap = StartUpsSheet.CellAt(row, 2);
    const grid::Cell* cash = StartUpsSheet.CellAt(row, 3);
    if (cap != nullptr && cash != nullptr && cap->font == font && cash->font == font) continue;
    StartUpsSheet.SetSelection(row, 2, row, 3);
    StartUpsSheet.SetSelectionFont(font);
    changed = true;
  }
  if (changed) StartUpsSheet.SetActiveCell(row0, col0);
}

}  // namespace qv
