// The forced-payment searches: damped secant searches on the Ford APR, the money factor and
// the margin, the cap-reduction adjustment, and proportional searches on the residual and
// the term. See Solvers.h for what each puts back and when it reports no value.
#include "engine/Solvers.h"

#include <cmath>

#include "engine/QuietHost.h"

namespace qv {

namespace {

double Round2(double p) { return Engine::RoundNum(p, 2); }

// A value that meets the payment but that no deal can have: reported as no value.
SolveResult OutOfRange(SolveResult r) {
  r.status = SolveStatus::NoValue;
  r.value = 0;
  return r;
}

}  // namespace

// One search's hold on the page: takes a snapshot of the inputs on entry and puts them back
// on exit; in quiet mode it lets the trials run without the display and shows the last
// trial once at the end, before the inputs are put back (as a displayed last trial would).
class PaymentSolver::TrialScope {
 public:
  TrialScope(PaymentSolver& s, const SolveResult& r)
      : s_(s), r_(r), saved_(s.e.SnapshotInputs()), cycle_(s.e.settledCycle), host_(s.e.host), quiet_(s.e) {
    if (s_.QuietTrials) s_.e.host = &quiet_;
  }
  ~TrialScope() {
    Engine& e = s_.e;
    if (s_.QuietTrials) {
      e.host = host_;
      if (r_.trials > 0 && host_ != nullptr) host_->ShowPageResults();
    }
    PutBack();
  }
  // The page as the search found it (inputs, and the state its next recalculation starts
  // from): what a window applies a result to.
  void PutBack() {
    s_.e.RestoreInputs(saved_);
    s_.e.settledCycle = cycle_;
  }
  TrialScope(const TrialScope&) = delete;
  TrialScope& operator=(const TrialScope&) = delete;

 private:
  PaymentSolver& s_;
  const SolveResult& r_;
  PageInputs saved_;
  Engine::SettledCycle cycle_;
  EngineHost* host_;
  QuietHost quiet_;
};

double PaymentSolver::Payment() const { return Check1 == 1 ? e.res.PaymentWT : e.res.PaymentNT; }

void PaymentSolver::Recalc(SolveResult& r) {
  e.RecalcPage();
  ++r.trials;
}

// The damped secant search. `write(x, phase)` puts a trial value into the page: phase 0 for
// the first trial x0, 1 for the second start value xb, 2 for the trials of the loop. The
// stop tests use the payment rounded to cents, the step the unrounded payment. At most 251
// trials: x0, xb, then 249 in the loop.
template <class Write>
void PaymentSolver::Secant(SolveResult& r, Write write, double xa, double xb, double x0) {
  const double T = DesiredPmt;

  // One trial; false when the value or its payment is not a finite number.
  double p = 0;
  auto trial = [&](double x, int phase) {
    if (!std::isfinite(x)) return false;
    write(x, phase);
    Recalc(r);
    p = Payment();
    return std::isfinite(p);
  };
  auto stop = [&](SolveStatus status, double value) {
    r.status = status;
    r.value = value;
  };

  if (!trial(x0, 0)) return stop(SolveStatus::NoValue, 0);
  if (std::fabs(T - Round2(p)) < kCentsTolerance) return stop(SolveStatus::Solved, x0);
  const double p0 = p;
  if (!trial(xb, 1)) return stop(SolveStatus::NoValue, 0);
  double pb = p;
  double xc = xa;
  double pc = p0;
  double tested = x0;  // the value whose payment is pc
  for (int count = 0;;) {
    if (std::fabs(T - Round2(pc)) <= kCentsTolerance) return stop(SolveStatus::Solved, tested);
    if (++count == kSecantLimit) return stop(SolveStatus::NotReached, tested);
    if (!trial(xc, 2)) return stop(SolveStatus::NoValue, 0);
    pc = p;
    tested = xc;
    if (std::fabs(T - Round2(pc)) <= kCentsTolerance) return stop(SolveStatus::Solved, tested);
    // Two trials with the same payment: the payment does not follow this input here.
    if (pb == pc) return stop(SolveStatus::NoValue, 0);
    const double xn = xc + kDamping * (xb - xc) / (pb - pc) * (T - pc);
    if (!std::isfinite(xn)) return stop(SolveStatus::NoValue, 0);
    xb = xc;
    pb = pc;
    xc = xn;
  }
}

SolveResult PaymentSolver::NFordAPR(double n, double C, double R) {
  SolveResult r;
  if (n * C + n * R == 0 || DesiredPmt < 0) return r;
  const double t = DesiredPmt;
  const double A = e.page.FordAdminFactor;
  // Start factors by the Ford APR payment rule, without the admin fee part.
  const double Fa = (t - (C - R) / n - A * C) / (C + R);
  const double Fb = (t - 1 - (C - R) / n - A * C) / (C + R);
  {
    TrialScope scope(*this, r);
    // Those are constant-yield factors: convert them with the constant-yield conversion.
    // The page's own conversion under the Ford APR method would replace each factor by the
    // one implied by the current payment, and both start values would come out the same.
    const int16_t method = e.page.LType;
    e.page.LType = 0;
    double fa = Fa, fb = Fb;
    const double xa = e.APRFromFactor(C, R, fa, n);
    const double xb = e.APRFromFactor(C, R, fb, n);
    e.page.LType = method;

    e.page.Months = n;
    e.page.Residual = R;
    Secant(
        r,
        [&](double x, int phase) {
          e.page.FordAPR = x;
          if (phase == 0) e.page.Factor = Fa;
          if (phase == 1) e.page.Factor = Fb;
        },
        xa, xb, xa);
  }
  // A negative rate meets the payment only on paper.
  if (r.Solved() && r.value < 0) return OutOfRange(r);
  return r;
}

SolveResult PaymentSolver::SolveFactor(double n, double C, double R) {
  SolveResult r;
  if (n * C + n * R == 0 || DesiredPmt < 0) return r;
  const double t = DesiredPmt;
  // Start values by the constant-yield rule, whatever the page's method.
  const double Fa = (n * t - C + R) / (n * C + n * R);
  const double Fb = (n * (t - 1) - C + R) / (n * C + n * R);
  {
    TrialScope scope(*this, r);
    e.page.Months = n;
    e.page.Residual = R;
    Secant(r, [&](double x, int) { e.page.Factor = x; }, Fa, Fb, Fa);
  }
  if (r.Solved() && r.value < 0) return OutOfRange(r);
  return r;
}

SolveResult PaymentSolver::SolveMargin(double n, double F, double R) {
  SolveResult r;
  if (1 + n * F == 0 || n == 0 || DesiredPmt < 0) return r;
  const double savedCapCost = e.res.CapCost;
  if (DesiredPmt == 0) DesiredPmt = 0.001;
  const double t = DesiredPmt;
  const double xb = EstimateMargin(n, F, R, t - 1);
  const double xa = EstimateMargin(n, F, R, t);
  {
    TrialScope scope(*this, r);
    // The first trial recalculates the page as it stands, so a page that already meets the
    // desired payment keeps its margin.
    const double x0 = e.page.Margin;
    e.page.Months = n;
    e.page.Residual = R;
    e.page.Factor = F;
    Secant(r, [&](double x, int) { e.page.Margin = x; }, xa, xb, x0);
  }
  e.res.CapCost = savedCapCost;
  return r;
}

double PaymentSolver::EstimateMargin(double n, double F, double R, double tt) const {
  const PageRecord& p = e.page;
  if (1 + n * F == 0 || n == 0) return p.Margin;
  const double lr = static_cast<double>(e.tax.LuxuryTaxRate / 100.0f);
  const double Th = e.tax.LuxuryThreshold;
  const double I = e.res.TotalInvoice;
  const double Cr = p.CapRd;
  const double A = e.items.TotalAdjust.Cap;
  const double S = e.res.TotalStartUps.Cap - e.items.LuxuryTax.Cap;

  // The cap cost that gives tt by the page's method (the admin fee of the Ford APR method
  // is left out: it shares the constant-yield relation).
  double K;
  switch (p.LType) {
    case 0:
    case 3:
      K = (n * tt - R * (n * F - 1)) / (1 + n * F);
      break;
    case 1:
      K = (tt + R / n) / (F + 1 / n);
      break;
    case 2:
      K = (tt + R * p.Factor2) / F;
      break;
    default:
      return p.Margin;
  }
  if (!std::isfinite(K)) return p.Margin;

  const double m0 = K - I + Cr - A - S;                            // no luxury tax
  const double m1 = (K + lr * Th + Cr - A - S) / (1 + lr) - I;     // luxury tax, all capitalised
  double m;
  if (e.res.PurchPrice < Th)
    m = (m0 + I > Th) ? m1 : m0;
  else
    m = (m1 + I <= Th) ? m0 : m1;
  return std::isfinite(m) ? m : p.Margin;
}

int PaymentSolver::ReachCapCost(Engine& e, double target, CapLever lever, bool* reached) {
  int count = 0;
  bool met = false;
  for (;;) {
    if (std::fabs(target - e.res.CapCost) <= 0.01) {
      met = true;
      break;
    }
    ++count;
    double v;
    if (lever == CapLever::Margin)
      v = target - e.res.TotalInvoice + e.page.CapRd - e.res.TotalStartUps.Cap - e.items.TotalAdjust.Cap;
    else
      v = e.res.PurchPrice - target + e.res.TotalStartUps.Cap + e.items.TotalAdjust.Cap;
    if (!std::isfinite(v)) break;
    (lever == CapLever::Margin ? e.page.Margin : e.page.CapRd) = v;
    e.RecalcPage();
    if (count > 100) {
      met = std::fabs(target - e.res.CapCost) <= 0.01;
      break;
    }
  }
  if (reached) *reached = met;
  return count;
}

SolveResult PaymentSolver::AdjustCapReduction(double m) {
  SolveResult r;
  // The cap cost the solved margin produces, by the start-up total of the margin search's
  // last trial.
  const double D = m + e.res.TotalInvoice - e.page.CapRd + e.res.TotalStartUps.Cap + e.items.TotalAdjust.Cap;
  if (!std::isfinite(D)) return r;
  {
    TrialScope scope(*this, r);
    r.trials = ReachCapCost(e, D, CapLever::CapReduction);
    const double x0 = e.page.CapRd;
    // The same cap cost need not give the same payment (the luxury tax follows the selling
    // price, and a capitalised luxury tax can be kept out of the rent charge), so a result
    // counts only by the payment it gives once applied: the page as it was, with this cap
    // reduction, recalculated. Where the cap cost's value misses, the search goes on over
    // the cap reduction itself, each trial applied that way.
    auto apply = [&](double x) {
      scope.PutBack();
      e.page.CapRd = x;
    };
    if (std::isfinite(x0)) {
      Secant(r, [&](double x, int) { apply(x); }, x0 - 1, x0 + 1, x0);
    } else {
      r.status = SolveStatus::NoValue;
      r.value = 0;
    }
  }
  return r;
}

// The proportional search on `field`, whose start value is already in the page: the value
// moves by k times its own size times the relative payment error; a step that makes the
// error worse goes back to the start point with half the factor. At most 1000 trials.
void PaymentSolver::Proportional(SolveResult& r, double PageRecord::*field, double k0, double tolerance,
                                 bool months) {
  double& X = e.page.*field;
  const double T = DesiredPmt;
  auto stop = [&](SolveStatus status, double value) {
    r.status = status;
    r.value = value;
  };

  Recalc(r);
  double p = Payment();
  if (!std::isfinite(p)) return stop(SolveStatus::NoValue, 0);
  double d = T - p;
  const double p0 = p;
  const double X0 = X;
  double k = k0;
  for (int count = 0;;) {
    if (std::fabs(d) <= tolerance) return stop(SolveStatus::Solved, X);
    if (++count == kProportionalLimit) return stop(SolveStatus::NotReached, X);
    double next = X + k * X * (p - T) / T;
    if (!std::isfinite(next)) return stop(SolveStatus::NoValue, 0);
    if (months && next < 1) {
      // Never fewer than one month: a payment that needs less than a month has no term.
      if (X <= 1) return stop(SolveStatus::NoValue, 0);
      next = 1;
    }
    X = next;
    Recalc(r);
    p = Payment();
    if (!std::isfinite(p)) return stop(SolveStatus::NoValue, 0);
    const double dOld = d;
    d = T - p;
    if (std::fabs(d) > std::fabs(dOld)) {
      // Worse: step again from the start point with half the factor. d keeps the worse
      // value, so that step is judged against it.
      p = p0;
      X = X0;
      k = k / 2;
    }
  }
}

SolveResult PaymentSolver::SolveResidual(double n, double F, double C) {
  if (n * F - 1 == 0 || n == 0) return {};
  // The step divides by the desired payment and assumes it is positive.
  if (DesiredPmt == 0) DesiredPmt = 0.001;
  if (DesiredPmt < 0) return {};
  const double t = DesiredPmt;
  const PageRecord& pg = e.page;
  double start;
  switch (pg.LType) {
    case 0:
      start = (n * t - C - n * F * C) / (n * F - 1);
      break;
    case 1:
      start = C + n * F * C - n * t;
      break;
    case 2:
      start = pg.Factor2 != 0 ? (F * C - t) / pg.Factor2 : pg.Residual;
      break;
    default:
      start = pg.Residual;
      break;
  }
  // A start of 0 never moves; a negative one moves the wrong way.
  if (!std::isfinite(start) || start <= 0) return {};
  SolveResult r;
  {
    TrialScope scope(*this, r);
    e.page.Residual = start;
    Proportional(r, &PageRecord::Residual, 0.5, kResidualTolerance, false);
  }
  // The car is not worth less than nothing at the end, nor more than it was leased for.
  if (r.Solved() && (r.value < 0 || r.value > C)) return OutOfRange(r);
  return r;
}

SolveResult PaymentSolver::SolveMonths(double C, double R, double F) {
  if (DesiredPmt == 0) DesiredPmt = 0.001;
  if (DesiredPmt < 0) return {};
  const double t = DesiredPmt;
  const PageRecord& pg = e.page;
  double start;
  switch (pg.LType) {
    case 0: {
      const double divisor = t - F * (C + R);
      if (divisor == 0) return {};  // the payment only nears the rent charge as the term grows
      start = (C - R) / divisor;
      break;
    }
    case 1: {
      const double divisor = t - F * C;
      if (divisor == 0) return {};
      start = (C - R) / divisor;
      break;
    }
    default:
      start = pg.Months;
      break;
  }
  if (!std::isfinite(start) || start <= 0) return {};
  if (start < 1) start = 1;
  SolveResult r;
  {
    TrialScope scope(*this, r);
    e.page.Residual = R;
    e.page.Factor = F;
    e.page.Months = start;
    Proportional(r, &PageRecord::Months, 1, kMonthsTolerance, true);
  }
  if (r.Solved() && r.value <= 0) return OutOfRange(r);
  return r;
}

}  // namespace qv
