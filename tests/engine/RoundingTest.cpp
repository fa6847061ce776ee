// RoundNum, the default security deposit and the start-up totals.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/engine/CommonPage.h"

namespace qv {
namespace {

TEST(Rounding, RoundNumIsHalfUpOnTheBinaryValue) {
  struct Case {
    double value;
    int16_t digits;
    double expected;
  };
  const Case cases[] = {
      {2.5, 0, 3},          {-2.5, 0, -2},         {-2.6, 0, -3},        {1.005, 2, 1.00},  // 100.49999999999999
      {368.497222, 2, 368.50}, {1234.5649, 2, 1234.56}, {-0.125, 2, -0.12}, {0.125, 2, 0.13},
      {7, 0, 7},            {12345.6789, 3, 12345.679},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(Engine::RoundNum(c.value, c.digits), c.expected) << c.value << " to " << c.digits;
}

// The rounding rule written out with the power of ten computed on every call: RoundNum
// must give exactly its result for every value and digit count.
double RoundNumByFormula(double value, int16_t digits) {
  const double p = std::pow(10.0, digits);
  const double t = value * p;
  const double r = (t - std::floor(t) >= 0.5) ? std::floor(t) + 1 : std::floor(t);
  return r / p;
}

TEST(Rounding, RoundNumGivesExactlyTheFormulaResult) {
  std::mt19937_64 gen(7);
  int compared = 0;
  for (int16_t digits = -25; digits <= 25; ++digits) {
    for (int n = 0; n < 4000; ++n) {
      // Money-sized values with many decimals, exact halves, and values of every magnitude.
      double v;
      switch (n % 4) {
        case 0: v = static_cast<double>(gen() % 200000000) / 1000.0 - 100000; break;
        case 1: v = (static_cast<double>(gen() % 2000001) - 1000000 + 0.5) / std::pow(10.0, n % 7); break;
        case 2: v = std::ldexp(static_cast<double>(gen() >> 11), static_cast<int>(gen() % 200) - 150); break;
        default: v = -std::ldexp(static_cast<double>(gen() >> 11), static_cast<int>(gen() % 120) - 80); break;
      }
      const double expected = RoundNumByFormula(v, digits);
      const double got = Engine::RoundNum(v, digits);
      if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(got)) << v << " to " << digits;
      } else {
        ASSERT_EQ(got, expected) << v << " to " << digits;
      }
      ++compared;
    }
  }
  EXPECT_EQ(compared, 51 * 4000);
}

TEST(Rounding, SecurityDepositIsThePaymentRoundedUpToTwentyFive) {
  Engine e;
  const std::pair<double, double> cases[] = {{300, 300}, {301, 325}, {0, 0}, {-30, -25}, {368.497222, 375}, {24.99, 25}};
  for (auto [payment, deposit] : cases) {
    e.res.PaymentWT = payment;
    EXPECT_DOUBLE_EQ(e.RoundSecurityDeposit(), deposit) << payment;
  }
}

TEST(Rounding, SumStartUpsRoundsComputedItemsOnlyAndSubtractsTheCredits) {
  Engine e;
  test::SetUpCommonPage(e);
  PageItems& it = e.items;
  // Amounts the user typed are added as they are.
  it.Registration.Cap = 100.004;
  it.Title.Cap = 50.003;
  it.DocumentFee.Cash = 75.001;
  e.SumStartUps();
  EXPECT_DOUBLE_EQ(e.res.TotalStartUps.Cap, 150.007);
  EXPECT_DOUBLE_EQ(e.res.TotalStartUps.Cash, 75.001);

  // Computed items are rounded to cents; trade equity and the rebate are credits.
  it.FirstPayment.Cap = 368.497222;
  it.STaxSumPmt.Cash = 10.004;
  it.LuxuryTax.Cap = 239.99999463558197;
  it.TradeEquity.Cap = 1000;
  it.LeaseRebate.Cash = 500;
  e.SumStartUps();
  EXPECT_NEAR(e.res.TotalStartUps.Cap, 150.007 + 368.50 + 240.00 - 1000, 1e-9);
  EXPECT_NEAR(e.res.TotalStartUps.Cash, 75.001 + 10.00 - 500, 1e-9);
}

}  // namespace
}  // namespace qv
