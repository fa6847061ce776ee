// The lease / loan / cash comparison: cash at signing, initial cost, interest lost on money
// paid out and the total future cost of each way after the lease term, with their ratios;
// and the loan payment with odd days to the first payment and a balloon.
#include <cmath>

#include "engine/Engine.h"

namespace qv {

namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0; }

}  // namespace

void Engine::CompareBlock() {
  auto rn = [](double x) { return RoundNum(x, 2); };
  PageResults& r = res;

  // Lease.
  r.LCashReqd = rn(page.CapRd) + rn(r.TotalStartUps.Cash) + rn(items.TotalAdjust.Cash);
  r.LInitCost = rn(page.CapRd) + rn(r.TotalStartUps.Cash) + rn(items.TotalAdjust.Cash) + r.TotalTradeEquity;
  r.LLIIC = LostInterestLump(r.LInitCost, page.InvestRate, page.Months);
  r.LLIPmt = LostInterestStream(r.PaymentWT, page.InvestRate, page.Months, 1);
  r.LeaseFC = r.LInitCost + (page.Months - 1) * r.PaymentWT + r.LLIIC + r.LLIPmt -
              (items.Security.Cap + items.Security.Cash) + items.TotalEOLFees;

  // Loan.
  if (page.LoanMonths == 0) page.LoanMonths = page.Months;
  CalcSalesTax(r.PurchPrice - items.TradeAllowance);  // refreshes PurchSales and PurchLuxuryTax
  r.TotalTaxFee = page.PurchRegistration + page.PurchTitle + page.PurchSales + page.PurchUseTax +
                  page.PurchPropertyTax + page.PurchLuxuryTax + page.PurchOther;
  r.LoanPrinciple =
      (r.PurchPrice - items.TradeAllowance) + r.TotalTaxFee + items.TradePayoff - page.DownPmt - page.PurchRebate;
  r.PurPmnt = CalcLoanPayment(page.LoanRate, page.LoanMonths);
  r.PCashReqd = page.DownPmt;
  r.PInitCost = page.DownPmt + r.TotalTradeEquity;
  r.PLIIC = LostInterestLump(r.PInitCost, page.InvestRate, page.Months);
  r.PLIPmt = LostInterestStream(r.PurPmnt, page.InvestRate, page.Months, 0);
  if (page.EndLoan == 0) page.EndLoan = page.Residual;
  r.PurchFC = r.PInitCost + r.PurPmnt * page.Months + r.PLIIC + r.PLIPmt - page.EndLoan + r.Payoff;

  // Cash.
  r.CCashReqd = (r.PurchPrice - items.TradeAllowance) + r.TotalTaxFee + items.TradePayoff - page.PurchRebate;
  r.CInitCost = r.CCashReqd + r.TotalTradeEquity;
  r.CLIIC = LostInterestLump(r.CInitCost, page.InvestRate, page.Months);
  r.CashFC = r.CInitCost + r.CLIIC - page.EndLoan;

  if (r.CashFC != 0) {
    r.LeaseCashRatio = r.LeaseFC / r.CashFC;
    r.LoanCashRatio = r.PurchFC / r.CashFC;
  } else {
    r.LeaseCashRatio = 0.0;
    r.LoanCashRatio = 0.0;
  }
  r.LeaseLoanRatio = r.PurchFC != 0 ? Var(r.LeaseFC / r.PurchFC) : Var(0.0);
}

double Engine::CalcLoanPayment(double rate, double months, bool* finite) {
  if (finite) *finite = true;
  // No loan term: no payment and nothing owed (a kept Payoff would belong to an earlier
  // calculation, possibly of another page).
  if (months == 0) {
    res.Payoff.Clear();
    return 0;
  }
  const double i = rate / 12;
  // Odd days: 30 days to the first payment leave the principal as it is. (The powers are
  // skipped where they are exactly 1: no odd days, no rate.)
  const int days = page.DaysToFirstPayment - 30;
  const double principal = days == 0 ? res.LoanPrinciple : res.LoanPrinciple * std::pow(1 + rate / 365, days);
  const bool balloon = page.Balloon != 0;
  const double g = i == 0 ? 1 : std::pow(1 + i, months);
  const bool zeroRate = i == 0 || g - 1 == 0;

  double payment;
  if (balloon && months == 1) {
    // One payment: the principal with its interest, the balloon owed beside it.
    payment = principal * (zeroRate ? 1 : 1 + i) - page.Balloon;
  } else if (zeroRate) {
    payment = balloon ? (principal - page.Balloon) / (months - 1) : principal / months;
  } else if (balloon) {
    // months - 1 level payments, the balloon in place of the last one.
    const double denominator = (g - 1) / i - 1;
    payment = denominator != 0 ? (principal * g - page.Balloon) / denominator : 0;
  } else {
    payment = principal * g * i / (g - 1);
  }
  if (finite) *finite = std::isfinite(payment);
  payment = Finite(payment);

  // The balance still owed after the lease term, when the loan runs that long.
  if (page.Months <= months) {
    double owed;
    if (zeroRate) {
      owed = principal - payment * page.Months;
    } else {
      const double gl = std::pow(1 + i, page.Months);
      owed = principal * gl - payment * (gl - 1) / i;
    }
    res.Payoff = Finite(owed);
  } else {
    res.Payoff.Clear();
  }
  return payment;
}

double Engine::LostInterestLump(double amount, double rate, double months) {
  if (rate == 0) return 0;  // no interest (the growth would be exactly 1)
  return Finite(amount * std::pow(1 + rate / 12, months) - amount);
}

double Engine::LostInterestStream(double payment, double rate, double months, int16_t inAdvance) {
  const double i = rate / 12;
  if (i == 0) return 0;
  double v;
  if (inAdvance == 1)
    v = payment * ((1 + i) * (std::pow(1 + i, months - 1) - 1) / i - (months - 1));
  else
    v = payment * ((std::pow(1 + i, months) - 1) / i - months);
  return Finite(v);
}

}  // namespace qv
