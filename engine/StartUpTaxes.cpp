// The start-up items whose amount the program derives (luxury tax, lease taxes, each
// item's own tax, trade equity, pre-paid miles and the excess-mileage fee), the rules by
// which a computed amount goes to the capitalised or the cash side, and the purchase sales
// tax of the loan and cash comparison.
#include <cmath>

#include "engine/Engine.h"

namespace qv {

namespace {

// An item with both parts 0 takes the default side d (1 capitalise, 0 cash); otherwise the
// amount goes to the side already in use.
void PlaceWithDefault(StartUpItem& it, double d) {
  if (it.Cap == 0 && it.Cash == 0) {
    it.Cap = d * it.Amount;
    it.Cash = it.Amount - it.Cap;
  } else if (it.Cap != 0) {
    it.Cap = it.Amount;
    it.Cash = 0;
  } else {
    it.Cash = it.Amount;
    it.Cap = 0;
  }
}

// Cash unless the item is already capitalised (also the rule that keeps a capitalised
// pre-paid mileage fee capitalised).
void PlaceCashDefault(StartUpItem& it) {
  if (it.Cap != 0) {
    it.Cap = it.Amount;
    it.Cash = 0;
  } else {
    it.Cash = it.Amount;
    it.Cap = 0;
  }
}

// A 0 / 1 setting read as 0 or 1 whatever a hand-edited settings file holds.
double Flag01(int16_t v) { return v != 0 ? 1 : 0; }

void ClearItem(StartUpItem& it) {
  it.Amount = 0;
  it.Cap = 0;
  it.Cash = 0;
}

// Miles over the allowance for the term; never negative.
double ExcessMiles(int32_t actualPerYear, int32_t allowedPerYear, double months) {
  const double excess = (static_cast<double>(actualPerYear) - allowedPerYear) * months / 12;
  return excess < 0 ? 0 : excess;
}

}  // namespace

void Engine::CalcStartUpTaxes() {
  PageItems& it = items;
  const double r = tax.LeaseTaxRate;
  const float method = tax.TaxMethod;

  // The lease tax on the sum of payments: no up-front item under method 0.
  auto placeSumPmt = [&] {
    if (method == 0)
      ClearItem(it.STaxSumPmt);
    else
      PlaceWithDefault(it.STaxSumPmt, Flag01(tax.DefaultCapCash));
  };

  // 1. Luxury tax on the price above the threshold (rate fraction in single precision).
  double over = res.PurchPrice - tax.LuxuryThreshold;
  if (over < 0) over = 0;
  it.LuxuryTax.Amount = over * static_cast<double>(tax.LuxuryTaxRate / 100.0f);
  if (it.LuxuryTax.ManualSplit == 0) PlaceWithDefault(it.LuxuryTax, Flag01(tax.LuxuryTaxCapCash));

  // 2. The capitalised amount whose payments carry the lease tax.
  const bool method3 = method == 3;
  double b = res.PurchPrice - page.CapRd + it.TotalAdjust.Cap + it.FirstPayment.Cap;
  if (it.Security.AlsoTax != 0) b += it.Security.Cap;
  if (it.Registration.AlsoTax != 0) b += it.Registration.Cap;
  if (it.Title.AlsoTax != 0) b += it.Title.Cap;
  if (it.DocumentFee.AlsoTax != 0) b += it.DocumentFee.Cap;
  if (method3 || it.CapRedTax.AlsoTax != 0) b += it.CapRedTax.Cap;
  if (method3 || it.RebateTax.AlsoTax != 0) b += it.RebateTax.Cap;
  if (it.LuxuryTax.AlsoTax != 0) b += it.LuxuryTax.Cap;
  if (it.TradeEquity.AlsoTax == 0) b -= it.TradeEquity.Cap;
  if (it.Acquisition.AlsoTax != 0) b += it.Acquisition.Cap;
  if (tax.AlsoTaxCapRedCash != 0) b -= it.LeaseRebate.Cap;
  if (it.PrePaidMileFee.AlsoTax != 0) b += it.PrePaidMileFee.Cap;
  if (it.OtherFee.AlsoTax != 0) b += it.OtherFee.Cap;
  b += it.STaxOnFeesTaxes.Cap;
  if (method3) b += it.STaxSumPmt.Cap;

  // 3. Sum of payments on that amount.
  const double s = RoundNum(CalcBasePayment(b, page.Residual, page.Factor, page.Factor2, page.Months), 2) * page.Months;

  // 4. Lease tax by method; never below 0.
  double sumPmtTax = 0;
  if (method == 1) {
    if (it.TradeAllowance <= res.PurchPrice)
      sumPmtTax = (res.PurchPrice - it.TradeAllowance) * r / 100;
    else
      sumPmtTax = tax.ExclTradeFromLocal == 1 ? 0 : res.PurchPrice * r / 100;
  } else if (method == 2) {
    if (it.STaxSumPmt.Cap != 0) {
      // The capitalised tax is itself part of the payments: S * r / (100 - r).
      const float divisor = 1.0f - tax.LeaseTaxRate / 100.0f;
      sumPmtTax = divisor != 0 ? s / static_cast<double>(divisor) * r / 100 : 0;
    } else {
      sumPmtTax = s * r / 100;
    }
  } else if (method3) {
    // Sum of payments less the rent charge (of the previous calculation).
    sumPmtTax = (s - res.TotalRent) * r / 100;
  }
  if (!(sumPmtTax > 0)) sumPmtTax = 0;
  it.STaxSumPmt.Amount = sumPmtTax;
  if (it.STaxSumPmt.ManualSplit == 0) placeSumPmt();

  // 5. Tax on the cash cap reduction.
  if (it.CapRedTax.ManualSplit == 0) {
    if (tax.AlsoTaxCapRedCash == 0) {
      ClearItem(it.CapRedTax);
    } else {
      it.CapRedTax.Amount = r * page.CapRd / 100;
      PlaceCashDefault(it.CapRedTax);
    }
  }

  // 6. Tax on the factory-to-customer rebate.
  if (it.RebateTax.ManualSplit == 0) {
    if (it.LeaseRebate.AlsoTax == 0) {
      ClearItem(it.RebateTax);
    } else {
      it.RebateTax.Amount = (Flag01(tax.AlsoTaxRebateCash) * it.LeaseRebate.Cash * r + r * it.LeaseRebate.Cap) / 100;
      PlaceCashDefault(it.RebateTax);
    }
  }

  // 7. Each taxed item's own tax; under methods 2 and 3 the capitalised parts are already
  // taxed through the payments.
  const double k = (method != 2 && method != 3) ? 1 : 0;
  StartUpItem* const taxed[] = {&it.Security,    &it.Registration, &it.Title,      &it.DocumentFee,
                                &it.CapRedTax,   &it.RebateTax,    &it.LuxuryTax,  &it.TradeEquity,
                                &it.Acquisition, &it.PrePaidMileFee, &it.OtherFee};
  double feeTaxes = 0;
  for (StartUpItem* item : taxed) {
    item->Tax = item->AlsoTax != 0 ? (item->Cap * k + item->Cash) * r / 100 : 0;
    feeTaxes += item->Tax;
  }

  // 8. Tax on fees and taxes.
  it.STaxOnFeesTaxes.Amount = feeTaxes;
  if (it.STaxOnFeesTaxes.ManualSplit == 0) PlaceCashDefault(it.STaxOnFeesTaxes);

  // 9. Maximum lease tax: the tax on payments takes what the other taxes leave, not below 0.
  const double others = (it.CapRedTax.Cap + it.CapRedTax.Cash) + (it.RebateTax.Cap + it.RebateTax.Cash) +
                        (it.STaxOnFeesTaxes.Cap + it.STaxOnFeesTaxes.Cash);
  const double total = (it.STaxSumPmt.Cap + it.STaxSumPmt.Cash) + others;
  if (tax.MaxTax > 0 && total > tax.MaxTax) {
    double capped = tax.MaxTax - others;
    if (!(capped > 0)) capped = 0;
    it.STaxSumPmt.Amount = capped;
    if (it.STaxSumPmt.ManualSplit == 0) placeSumPmt();
  }
}

double Engine::CalcSalesTax(double amount) {
  // Rate fractions in single precision.
  const double buyRate = static_cast<double>(tax.BuyTaxRate / 100.0f);
  const double localRate = static_cast<double>(tax.LocalTaxRate / 100.0f);
  const double state = amount < 0 ? 0 : amount * buyRate;
  double local;
  if (tax.ExclTradeFromLocal == 1)
    local = amount < 0 ? 0 : amount * localRate;
  else
    local = (amount + items.TradeAllowance) * localRate;  // the trade allowance is added back
  if (local > tax.MaxLocalTax && tax.MaxLocalTax != 0) local = tax.MaxLocalTax;
  double total = state + local;
  if (tax.MaxTax > 0 && total > tax.MaxTax) total = tax.MaxTax;
  if (page.PurchSalesOverride == 0) page.PurchSales = total;
  if (page.PurchLuxuryTaxOverride == 0) page.PurchLuxuryTax = items.LuxuryTax.Cap + items.LuxuryTax.Cash;
  return total;
}

void Engine::CalcTradeEquity() {
  StartUpItem& te = items.TradeEquity;
  te.Amount = items.TradeAllowance - items.TradePayoff;
  if (te.ManualSplit != 0) return;
  if (te.Cap == 0) {
    te.Cash = te.Amount;
  } else {
    te.Cap = te.Amount;
    te.Cash = 0;
  }
}

void Engine::CalcMileageFees() {
  StartUpItem& fee = items.PrePaidMileFee;
  fee.Amount = ExcessMiles(page.PrePaidActualMiles, page.AllowedMiles, page.Months) * page.PrePaidCentsPerMile;
  if (fee.ManualSplit == 0) PlaceCashDefault(fee);

  items.EOLFees[1].Amount = ExcessMiles(page.EOLActualMiles, page.AllowedMiles, page.Months) * page.EOLCentsperMile;

  items.TotalEOLFees = 0;
  for (int n = 1; n <= 10; ++n) items.TotalEOLFees += items.EOLFees[n].Amount;

  SavePageItems();
}

}  // namespace qv
