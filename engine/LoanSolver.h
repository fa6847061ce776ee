#pragma once
// The loan side of the current page worked backwards: the margin over invoice, loan rate,
// down payment, loan term or balloon that gives a desired monthly loan payment.
//
// Trials are priced with CalcLoanPayment (and, for the margin, CalcSalesTax) without a page
// recalculation. The balloon and the down payment are closed forms; the term, the rate and
// the margin are found by a damped secant search (at most 500 payments for the term and
// the rate, 250 re-pricings for the margin). A solve is solved only with a finite value
// whose payment, priced as the page prices it, meets the desired payment within half a
// cent: the closed forms are checked that way too. A negative desired payment, and a value
// no loan can have (a negative rate or balloon, a term under one month), is not reached.
//
// Every solve puts the page back as it found it: the page fields, the start-up items (the
// margin trials re-price the luxury tax) and the loan results it touched (LoanPrinciple and
// Payoff). The caller stores a result and recalculates.
#include "engine/Engine.h"

namespace qv {

enum class LoanSolveStatus {
  Solved,         // the value gives the desired payment
  EqualPayments,  // two successive trials gave the same payment: no secant step possible
  NotReached,     // the pass limit ended the search, or a step left the range of numbers
};

struct LoanSolveResult {
  LoanSolveStatus status = LoanSolveStatus::NotReached;
  double value = 0;      // the value found; 0 unless Solved
  int evaluations = 0;   // payments computed
  bool Solved() const { return status == LoanSolveStatus::Solved; }
};

class LoanSolver {
 public:
  explicit LoanSolver(Engine& engine) : e(engine) {}
  Engine& e;

  // The monthly loan payment at selling price TotalInvoice + margin: re-prices the luxury
  // tax and the purchase sales tax for that price and sets LoanPrinciple. Changes the page
  // (luxury-tax item, PurchSales, PurchLuxuryTax, LoanPrinciple, Payoff). The payment is 0
  // when it is not a finite number; lastPaymentFinite_ tells which.
  double calcnewpmt(double margin);

  // The solvers; p is the desired monthly payment. The down payment, months, rate and
  // margin solvers take a payment of 0 as 0.01 (and change p so).
  LoanSolveResult LoanBalloon(double p);
  LoanSolveResult LoanDownPmt(double& p);
  LoanSolveResult NewLoanMonths(double& p);
  LoanSolveResult LoanIntRate(double& p);
  LoanSolveResult LoanMargin(double& p);

  static constexpr double kTolerance = 0.005;
  static constexpr double kDamping = 0.75;
  static constexpr int kPassLimit = 500;
  static constexpr int kMarginPassLimit = 250;

 private:
  // The growth of the amount financed over the days to the first payment beyond 30, as
  // CalcLoanPayment applies it.
  double OddDaysGrowth() const;
  double PricedPayment(double rate, double months);
  bool lastPaymentFinite_ = true;
  // A closed form's value, solved when it is finite and, stored into `field`, gives p.
  LoanSolveResult Checked(double value, double PageRecord::*field, double p);
  template <class F>
  LoanSolveResult Secant(F payment, double x1, double x2, int limit, double p);
};

}  // namespace qv
