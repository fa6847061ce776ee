// RecalcPage: brings every result of the current page up to date, fills the start-up costs
// sheet with its labels and hands over to the result display.
#include <array>
#include <cmath>
#include <string>

#include "engine/Engine.h"
#include "engine/Runtime.h"

namespace qv {

namespace {

constexpr const char* kMoneyPattern = "$#,###.00;; ";

// A capitalised first payment is raised step by step towards the payment it produces. A
// step that does not shrink the remaining difference three times running means the steps
// move away from a solution (a one-month term, a money factor near 1): the page then keeps
// the split it had.
constexpr int kMaxFirstPaymentSteps = 100;
constexpr int kDivergingSteps = 3;
// All page calculations of one recalculation, first-payment steps and tax settling together.
constexpr int kMaxPasses = 200;
// Start-up values that moved by less than this between two calculations count as settled.
constexpr double kSettledTolerance = 1e-9;

// The values one page calculation leaves for the next: the start-up items (their taxes are
// computed before some of the amounts they depend on) and the rent charge that the tax on
// the sum of payments less rent uses.
struct CarriedState {
  std::array<StartUpItem, 16> items;
  double totalRent = 0;
};

constexpr StartUpItem PageItems::*kAllItems[16] = {
    &PageItems::Security,     &PageItems::Registration, &PageItems::Title,           &PageItems::SalesTax,
    &PageItems::CapRedTax,    &PageItems::FirstPayment, &PageItems::Acquisition,     &PageItems::PrePaidMileFee,
    &PageItems::LuxuryTax,    &PageItems::TradeEquity,  &PageItems::LeaseRebate,     &PageItems::DocumentFee,
    &PageItems::RebateTax,    &PageItems::OtherFee,     &PageItems::STaxOnFeesTaxes, &PageItems::STaxSumPmt};

CarriedState Capture(const PageItems& items, const PageResults& res) {
  CarriedState s;
  for (int n = 0; n < 16; ++n) s.items[n] = items.*kAllItems[n];
  s.totalRent = res.TotalRent;
  return s;
}

bool Near(double a, double b) { return std::fabs(a - b) <= kSettledTolerance; }

bool Settled(const CarriedState& a, const CarriedState& b) {
  for (int n = 0; n < 16; ++n) {
    const StartUpItem& x = a.items[n];
    const StartUpItem& y = b.items[n];
    if (!Near(x.Cap, y.Cap) || !Near(x.Cash, y.Cash) || !Near(x.Amount, y.Amount) || !Near(x.Tax, y.Tax))
      return false;
  }
  return Near(a.totalRent, b.totalRent);
}

const std::string kCaptionPurchasePrice = "Tax on Purchase Price";
const std::string kCaptionSumOfPayments = "Tax on Sum of Pmts";

// Rows of the start-up sheet whose column 5 shows the item's tax.
constexpr int kTaxRows[] = {3, 4, 5, 6, 8, 9, 10, 11, 12, 14, 15};

}  // namespace

void Engine::RecalcPage() {
  SkipItemReload = -1;
  SkipCompare = -1;
  res.FirstPaymentUnsettled = false;
  CalcLease();

  StartUpItem& fp = items.FirstPayment;
  StartUpItem& sec = items.Security;
  const CapCash fpStart{fp.Cap, fp.Cash};
  const CapCash secStart{sec.Cap, sec.Cash};
  bool settlingFirst = fp.ManualSplit == 0;
  int firstSteps = 0;
  int growing = 0;
  double lastStep = 0;

  // Each pass first moves a capitalised first payment towards the payment (a fixed point,
  // since the payment depends on it through the cap cost), then recalculates. The page is
  // settled when a pass that moved nothing leaves every carried value where it was: a
  // further RecalcPage then gives the same results. Passes that moved nothing compute the
  // comparison too, so the settling pass is also the final one.
  bool settled = false;
  bool comparedLast = false;
  for (int pass = 0; pass < kMaxPasses && !settled; ++pass) {
    bool moved = false;
    if (settlingFirst) {
      const double old = fp.Cap + fp.Cash;
      if (std::fabs(res.PaymentWT - old) >= 0.01) {
        const double delta = res.PaymentWT - old;
        if (fp.Cap + delta >= 0) {
          fp.Cap += delta;
          moved = true;
        } else if (fp.Cash + delta >= 0) {
          fp.Cash += delta;
          moved = true;
        } else {
          // Neither side can take the difference (a negative payment): stop at once.
          res.FirstPaymentUnsettled = true;
          settlingFirst = false;
        }
        if (moved) {
          growing = (firstSteps > 0 && std::fabs(delta) >= lastStep) ? growing + 1 : 0;
          lastStep = std::fabs(delta);
          ++firstSteps;
          if (firstSteps > kMaxFirstPaymentSteps || growing >= kDivergingSteps) {
            // No settled first payment: keep the split the page came with.
            fp.Cap = fpStart.Cap;
            fp.Cash = fpStart.Cash;
            sec.Cap = secStart.Cap;
            sec.Cash = secStart.Cash;
            res.FirstPaymentUnsettled = true;
            settlingFirst = false;
            moved = false;
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
    SkipCompare = moved ? -1 : 0;
    const CarriedState before = Capture(items, res);
    CalcLease();
    comparedLast = !moved;
    settled = !moved && Settled(before, Capture(items, res));
  }
  if (!comparedLast) {
    SkipCompare = 0;
    CalcLease();
  }
  SkipCompare = 0;
  SkipItemReload = 0;

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
  const int totals = static_cast<int>(StartUpRow::Totals);
  StartUpsSheet.SetNumberRC(totals, 2, res.TotalStartUps.Cap);
  StartUpsSheet.SetNumberRC(totals, 3, res.TotalStartUps.Cash);
  // Cash required at signing before cash adjustments.
  StartUpsLabel2[1] = Format(StartUpsSheet.NumberRC(totals, 3) + page.CapRd, kMoneyPattern);
  if (SkipSheetFormat == 0) FormatStartUpsSheet();
  if (host != nullptr) host->ShowPageResults();
}

void Engine::ShowTaxableChecks() {
  for (int row = 2; row <= 16; ++row) {
    const int id = StartUpCheckBoxId(row);
    if (id == 0) continue;
    StartUpsSheet.SetObjValue(id, ItemOfRow(row)->AlsoTax != 0 ? 1 : 0);
  }
}

void Engine::ShowItemTaxes() {
  for (int row : kTaxRows) StartUpsSheet.SetTextRC(row, 5, Format(ItemOfRow(row)->Tax, kMoneyPattern));
}

// Amounts split by hand are shown in bold.
void Engine::FormatStartUpsSheet() {
  static const grid::CellFont kPlain{"MS Sans Serif", 8, false, false, false, false, 0};
  static const grid::CellFont kBold{"MS Sans Serif", 8, true, false, false, false, 0};
  const int row0 = StartUpsSheet.ActiveRow();
  const int col0 = StartUpsSheet.ActiveCol();
  for (int row = 2; row <= 16; ++row) {
    StartUpsSheet.SetSelection(row, 2, row, 3);
    StartUpsSheet.SetSelectionFont(ItemOfRow(row)->ManualSplit == 1 ? kBold : kPlain);
  }
  StartUpsSheet.SetActiveCell(row0, col0);
}

}  // namespace qv
