#pragma once
// The searches behind the forced payment window: each finds the value of one page input
// for which the page's monthly lease payment equals a desired payment.
//
// None of them models the payment. A trial writes a candidate value into the current page,
// runs the whole page recalculation (RecalcPage) and reads the payment it produced, so
// everything the page calculation does (start-up costs and their taxes, luxury tax, first
// payment and security deposit, lease method) is part of every trial. Closed-form inverses
// of the base payment rules give the start values, so few trials are needed.
//
// Every search puts the page's inputs (all page fields and start-up items) back exactly as
// they were before it returns, but it does not recalculate: the computed results stay those
// of the last trial. The margin search also puts the computed CapCost back, which the
// cap-reduction adjustment starts from. The caller recalculates when it applies or drops
// the result.
//
// A search reports a value only when the payment it reached meets the desired payment
// within the search's tolerance. It reports no value (the window shows "N/A") when the page
// gives no start value, when two trials give the same payment while the target is not met
// (the payment does not respond to the input), when a step would leave the range of
// numbers, when a proportional search would start from 0 or from a value of the wrong sign,
// and when the trial limit is reached without meeting the target. It reports no value too
// when the desired payment is negative, and when the value that meets it is one no deal can
// have: a negative money factor, rate or term, or a residual below 0 or above the cap cost.
// No search ever writes a value that is not a finite number into the page.
#include <cstdint>

#include "engine/Engine.h"

namespace qv {

enum class SolveStatus {
  Solved,      // the value meets the desired payment
  NotReached,  // the trial limit was reached; value is the last value tried
  NoValue,     // no value can be given (degenerate page, equal payments, wrong start)
};

struct SolveResult {
  SolveStatus status = SolveStatus::NoValue;
  double value = 0;  // the value found (or the last value tried when NotReached)
  int trials = 0;    // page recalculations run
  bool Solved() const { return status == SolveStatus::Solved; }
};

// Searches on one engine for one desired payment. `DesiredPmt` and `Check1` are the forced
// payment window's desired payment and its with-tax box: with Check1 set (1) the payment
// compared is PaymentWT, otherwise PaymentNT. The margin search, and the residual and
// months searches, aim at 0.001 when the desired payment is 0 and change DesiredPmt so.
class PaymentSolver {
 public:
  PaymentSolver(Engine& engine, double desiredPmt, int16_t check1) : e(engine), DesiredPmt(desiredPmt), Check1(check1) {}

  Engine& e;
  double DesiredPmt;
  int16_t Check1;
  // While true (the default) the trials run without the result display; the display runs
  // once, after the last trial, so it shows what it would have shown had every trial been
  // displayed. The one page change the display makes (under the Ford APR method it leaves
  // the effective money factor in the page) is still made after every trial.
  bool QuietTrials = true;

  // Secant searches: n months, C cap cost, R residual, F factor (the window's base values).
  SolveResult NFordAPR(double n, double C, double R);
  SolveResult SolveFactor(double n, double C, double R);
  SolveResult SolveMargin(double n, double F, double R);
  // The margin that would give the base payment tt if the cap cost moved one for one with
  // the margin, with or without the luxury tax by the selling price. Writes nothing.
  double EstimateMargin(double n, double F, double R, double tt) const;
  // Run right after SolveMargin returned margin m: the cash cap reduction that gives the
  // desired payment. It starts from the cap reduction that gives the cap cost the margin m
  // would give and searches on from there; solved only when the page as it was, with the
  // cap reduction found, recalculates to the desired payment (within half a cent).
  SolveResult AdjustCapReduction(double m);
  // Proportional searches.
  SolveResult SolveResidual(double n, double F, double C);
  SolveResult SolveMonths(double C, double R, double F);

  // The cap cost search of the cap-cost target window and of the cap-reduction adjustment:
  // changes the margin (lever Margin) or the cash cap reduction until the page's CapCost is
  // within 0.01 of `target`, at most 101 recalculations. The page keeps the last values.
  // Returns the number of recalculations; `reached` tells whether the target was met.
  enum class CapLever { Margin, CapReduction };
  static int ReachCapCost(Engine& e, double target, CapLever lever, bool* reached = nullptr);

  // The payment a trial is judged on.
  double Payment() const;

  // Stop tolerances and limits.
  static constexpr double kCentsTolerance = 0.005;
  static constexpr double kDamping = 0.75;
  static constexpr int kSecantLimit = 250;
  static constexpr int kProportionalLimit = 1000;
  static constexpr double kResidualTolerance = 0.005;
  static constexpr double kMonthsTolerance = 0.9;

 private:
  class TrialScope;
  template <class Write>
  void Secant(SolveResult& r, Write write, double xa, double xb, double x0);
  void Proportional(SolveResult& r, double PageRecord::*field, double k0, double tolerance, bool months);
  // Runs one trial recalculation.
  void Recalc(SolveResult& r);
};

}  // namespace qv
