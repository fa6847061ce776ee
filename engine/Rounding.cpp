// The program's one rounding operation, the default security deposit and the two totals
// of the start-up cost items.
#include <cmath>
#include <iterator>

#include "engine/Engine.h"

namespace qv {

namespace {

// The powers of ten RoundNum scales by. 10^0 to 10^22 are exact doubles, so the table
// holds exactly what std::pow(10, digits) gives for them; other digit counts still call it.
// (Rounding runs many times in every page calculation, and the call was most of its cost.)
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int16_t kTableDigits = static_cast<int16_t>(std::size(kPowersOfTen));

double PowerOfTen(int16_t digits) {
  if (digits >= 0 && digits < kTableDigits) return kPowersOfTen[digits];
  return std::pow(10.0, digits);
}

}  // namespace

// Half up on the binary value: 2.5 -> 3, -2.5 -> -2, and 1.005 to two decimals gives 1.00
// because 1.005 * 100 is just below 100.5 in double arithmetic.
double Engine::RoundNum(double value, int16_t digits) {
  const double p = PowerOfTen(digits);
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
