// The loan payment solver: closed forms for the balloon and the down payment, a damped
// secant search for the term, the rate and the margin.
#include "engine/LoanSolver.h"

#include <cmath>

namespace qv {

namespace {

// Puts back what a loan solve touched: the page fields and items, and the two loan results
// that the trial pricing writes.
class LoanScope {
 public:
  explicit LoanScope(Engine& e)
      : e_(e), saved_(e.SnapshotInputs()), principle_(e.res.LoanPrinciple), payoff_(e.res.Payoff) {}
  ~LoanScope() {
    e_.RestoreInputs(saved_);
    e_.res.LoanPrinciple = principle_;
    e_.res.Payoff = payoff_;
  }
  LoanScope(const LoanScope&) = delete;
  LoanScope& operator=(const LoanScope&) = delete;

 private:
  Engine& e_;
  PageInputs saved_;
  double principle_;
  Var payoff_;
};

// A value that gives the payment but that no loan can have (a negative rate or balloon, a
// term under one month) is not a result: the payment cannot be reached.
LoanSolveResult AtLeast(LoanSolveResult r, double lowest) {
  if (r.Solved() && !(r.value >= lowest)) {
    r.status = LoanSolveStatus::NotReached;
    r.value = 0;
  }
  return r;
}

}  // namespace

double LoanSolver::OddDaysGrowth() const {
  const double g = std::pow(1 + e.page.LoanRate / 365, e.page.DaysToFirstPayment - 30);
  return std::isfinite(g) && g != 0 ? g : 1;
}

double LoanSolver::calcnewpmt(double margin) {
  PageRecord& pg = e.page;
  StartUpItem& lux = e.items.LuxuryTax;
  const double base = e.res.TotalInvoice + margin;

  // The luxury tax of the trial selling price (rate fraction in single precision).
  double excess = base - e.tax.LuxuryThreshold;
  if (excess < 0) excess = 0;
  lux.Amount = excess * static_cast<double>(e.tax.LuxuryTaxRate / 100.0f);
  if (lux.ManualSplit == 0) {
    if (lux.Cap != 0) {
      lux.Cap = lux.Amount;
      lux.Cash = 0;
    } else if (lux.Cash != 0) {
      lux.Cash = lux.Amount;
      lux.Cap = 0;
    } else {
      lux.Cap = e.tax.LuxuryTaxCapCash * lux.Amount;
      lux.Cash = lux.Amount - lux.Cap;
    }
  }

  e.CalcSalesTax(base - e.items.TradeAllowance);  // refreshes PurchSales and PurchLuxuryTax
  e.res.LoanPrinciple = base - e.items.TradeAllowance +
                        (pg.PurchRegistration + pg.PurchTitle + pg.PurchSales + pg.PurchUseTax + pg.PurchPropertyTax +
                         pg.PurchLuxuryTax + pg.PurchOther) +
                        e.items.TradePayoff - pg.DownPmt - pg.PurchRebate;
  const double payment = e.CalcLoanPayment(pg.LoanRate, pg.LoanMonths, &lastPaymentFinite_);
  lastPaymentFinite_ = lastPaymentFinite_ && std::isfinite(e.res.LoanPrinciple);
  return payment;
}

LoanSolveResult LoanSolver::Checked(double value, double PageRecord::*field, double p) {
  LoanSolveResult r;
  if (!std::isfinite(value)) return r;
  LoanScope scope(e);
  PageRecord& pg = e.page;
  pg.*field = value;
  // The amount financed as the comparison sets it (the down payment changes it).
  e.res.LoanPrinciple = (e.res.PurchPrice - e.items.TradeAllowance) + e.res.TotalTaxFee + e.items.TradePayoff -
                        pg.DownPmt - pg.PurchRebate;
  bool finite = false;
  const double payment = e.CalcLoanPayment(pg.LoanRate, pg.LoanMonths, &finite);
  r.evaluations = 1;
  if (finite && std::fabs(p - Engine::RoundNum(payment, 2)) <= kTolerance) {
    r.status = LoanSolveStatus::Solved;
    r.value = value;
  }
  return r;
}

// Balloon: the amount left after n - 1 payments of p, paid in month n; over one month, the
// amount with its month of interest less the payment. The amount financed grows over odd
// days to the first payment as the loan payment applies it, so the stored balloon gives
// back p.
LoanSolveResult LoanSolver::LoanBalloon(double p) {
  if (p < 0) return {};
  const double i = e.page.LoanRate / 12;
  const double n = e.page.LoanMonths;
  const double P = e.res.LoanPrinciple * OddDaysGrowth();
  double balloon;
  if (n == 1) {
    balloon = P * (1 + i) - p;
  } else if (i != 0) {
    const double g = std::pow(1 + i, n);
    balloon = P * g - p * ((g - 1) / i - 1);
  } else {
    balloon = P - (n - 1) * p;
  }
  return AtLeast(Checked(balloon, &PageRecord::Balloon, p), 0);
}

// Down payment: the present value V of the payments (and the balloon) is the amount to
// finance; the rest of the price is paid down.
LoanSolveResult LoanSolver::LoanDownPmt(double& p) {
  if (p < 0) return {};
  if (p == 0) p = 0.01;
  const PageRecord& pg = e.page;
  const double i = pg.LoanRate / 12;
  const double n = pg.LoanMonths;
  const double B = pg.Balloon;
  const double g = std::pow(1 + i, n);
  double V;
  if (B == 0)
    V = i == 0 ? n * p : p * (g - 1) / (i * g);
  else if (n == 1)
    V = (p + B) / (1 + i);  // one payment beside the balloon, with its month of interest
  else
    V = i == 0 ? (n - 1) * p + B : p * (g - 1) / (i * g) + (B - p) / g;
  const PageItems& it = e.items;
  return Checked(e.res.PurchPrice - V / OddDaysGrowth() - it.TradeAllowance + e.res.TotalTaxFee + it.TradePayoff -
                     pg.PurchRebate,
                 &PageRecord::DownPmt, p);
}

// The damped secant search over points x1, x2, x3, ...: x2 is tested first (x1 never is
// the result); each further point steps from the last two. At most `limit` payments.
template <class F>
LoanSolveResult LoanSolver::Secant(F payment, double x1, double x2, int limit, double p) {
  LoanSolveResult r;
  auto eval = [&](double x) {
    ++r.evaluations;
    return payment(x);
  };
  // A payment that is not a finite number never meets p (nor does a value that is not one).
  auto accepted = [&](double f) { return std::isfinite(f) && std::fabs(p - Engine::RoundNum(f, 2)) <= kTolerance; };
  if (!std::isfinite(x1) || !std::isfinite(x2)) return r;
  double xPrev = x1, fPrev = eval(x1);
  double x = x2, f = eval(x2);
  while (!accepted(f)) {
    if (f == fPrev) {
      r.status = LoanSolveStatus::EqualPayments;
      return r;
    }
    if (r.evaluations >= limit) return r;  // the last allowed point missed too
    const double next = x + kDamping * (xPrev - x) / (fPrev - f) * (p - f);
    if (!std::isfinite(next)) return r;
    xPrev = x;
    fPrev = f;
    x = next;
    f = eval(x);
    if (!std::isfinite(f)) return r;
  }
  r.status = LoanSolveStatus::Solved;
  r.value = x;
  return r;
}

// The payment as CalcLoanPayment prices it, NaN where that is not a finite number (it would
// read as 0).
double LoanSolver::PricedPayment(double rate, double months) {
  bool finite = false;
  const double payment = e.CalcLoanPayment(rate, months, &finite);
  return finite && std::isfinite(e.res.LoanPrinciple) ? payment : std::nan("");
}

LoanSolveResult LoanSolver::NewLoanMonths(double& p) {
  if (p < 0) return {};
  if (p == 0) p = 0.01;
  LoanScope scope(e);
  return AtLeast(Secant([&](double x) { return PricedPayment(e.page.LoanRate, x); }, 23, 24, kPassLimit, p), 1);
}

LoanSolveResult LoanSolver::LoanIntRate(double& p) {
  if (p < 0) return {};
  if (p == 0) p = 0.01;
  LoanScope scope(e);
  return AtLeast(Secant([&](double x) { return PricedPayment(x, e.page.LoanMonths); }, 0.07, 0.08, kPassLimit, p), 0);
}

LoanSolveResult LoanSolver::LoanMargin(double& p) {
  if (p < 0) return {};
  if (p == 0) p = 0.01;
  LoanScope scope(e);
  const PageRecord& pg = e.page;
  const double i = pg.LoanRate / 12;
  const double n = pg.LoanMonths;
  const double g = std::pow(1 + i, n);
  // Seeds from the present value of a stream of payments q (the balloon is left out when
  // the rate is not zero).
  auto presentValue = [&](double q) { return i == 0 ? (n - 1) * q + pg.Balloon : q * (g - 1) / (i * g); };
  auto marginFor = [&](double V) {
    return V + pg.PurchRebate + pg.DownPmt - e.items.TradePayoff - e.res.TotalTaxFee + e.items.TradeAllowance -
           e.res.TotalInvoice;
  };
  const double seed1 = marginFor(presentValue(p - 1));
  const double seed2 = marginFor(presentValue(p));
  return Secant(
      [&](double x) {
        const double payment = calcnewpmt(x);
        return lastPaymentFinite_ ? payment : std::nan("");
      },
      seed1, seed2, kMarginPassLimit, p);
}

}  // namespace qv
