// The program's one rounding operation, the default security deposit and the two totals
// of the start-up cost items.
#include <cmath>

#include "engine/Engine.h"

namespace qv {

// Half up on the binary value: 2.5 -> 3, -2.5 -> -2, and 1.005 to two decimals gives 1.00
// because 1.005 * 100 is just below 100.5 in double arithmetic.
double Engine::RoundNum(double value, int16_t digits) {
  const double p = std::pow(10.0, digits);
  const double t = value * p;
  const double whole = std::floor(t);
  const double r = (t - whole >= 0.5) ? whole + 1 : whole;
  return r / p;
}

// The payment with tax rounded up to the next multiple of 25 dollars (a negative payment
// rounds up too, toward zero).
double Engine::RoundSecurityDeposit() const {
  const double q = res.PaymentWT / 25;
  if (q != std::floor(q)) return (std::floor(q) + 1) * 25;
  return res.PaymentWT;
}

// The items the program computes are rounded to cents, the amounts the user types are not;
// trade equity and the lease rebate are credits.
void Engine::SumStartUps() {
  const PageItems& it = items;
  auto rn = [](double x) { return RoundNum(x, 2); };
  res.TotalStartUps.Cap = rn(it.FirstPayment.Cap) + it.Security.Cap + it.Registration.Cap + it.Title.Cap +
                          rn(it.STaxSumPmt.Cap) + rn(it.CapRedTax.Cap) + rn(it.PrePaidMileFee.Cap) +
                          rn(it.LuxuryTax.Cap) + it.DocumentFee.Cap + rn(it.RebateTax.Cap) - it.TradeEquity.Cap +
                          it.Acquisition.Cap - it.LeaseRebate.Cap + it.OtherFee.Cap + rn(it.STaxOnFeesTaxes.Cap);
  res.TotalStartUps.Cash = rn(it.FirstPayment.Cash) + it.Security.Cash + it.Registration.Cash + it.Title.Cash +
                           rn(it.STaxSumPmt.Cash) + rn(it.CapRedTax.Cash) + rn(it.PrePaidMileFee.Cash) +
                           rn(it.LuxuryTax.Cash) + it.DocumentFee.Cash + rn(it.RebateTax.Cash) - it.TradeEquity.Cash +
                           it.Acquisition.Cash - it.LeaseRebate.Cash + it.OtherFee.Cash +
                           rn(it.STaxOnFeesTaxes.Cash);
}

}  // namespace qv
