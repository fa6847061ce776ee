// The computed start-up items and their placement, the purchase sales tax, trade equity
// and the mileage fees.
#include <gtest/gtest.h>

#include "tests/engine/CommonPage.h"

namespace qv {
namespace {

class StartUpTaxesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::SetUpCommonPage(e);
    e.res.PurchPrice = 21500;  // what CalcLease gives the common page
  }
  Engine e;
};

TEST_F(StartUpTaxesTest, LuxuryTaxAboveTheThreshold) {
  e.res.PurchPrice = 40000;
  e.CalcStartUpTaxes();
  // 4000 x (6 / 100 in single precision).
  EXPECT_EQ(e.items.LuxuryTax.Amount, 239.99999463558197);
  EXPECT_EQ(e.items.LuxuryTax.Cap, 239.99999463558197) << "capitalised by the setting";
  EXPECT_EQ(e.items.LuxuryTax.Cash, 0);

  // Below the threshold the capitalised part becomes 0 on the same side.
  e.res.PurchPrice = 30000;
  e.CalcStartUpTaxes();
  EXPECT_EQ(e.items.LuxuryTax.Amount, 0);
  EXPECT_EQ(e.items.LuxuryTax.Cap, 0);
  EXPECT_EQ(e.items.LuxuryTax.Cash, 0);

  // Paid in cash by the setting; a hand split keeps its parts.
  e.tax.LuxuryTaxCapCash = 0;
  e.res.PurchPrice = 40000;
  e.CalcStartUpTaxes();
  EXPECT_EQ(e.items.LuxuryTax.Cash, 239.99999463558197);
  EXPECT_EQ(e.items.LuxuryTax.Cap, 0);
  e.items.LuxuryTax.ManualSplit = 1;
  e.items.LuxuryTax.Cap = 40;
  e.items.LuxuryTax.Cash = 60;
  e.res.PurchPrice = 41000;
  e.CalcStartUpTaxes();
  EXPECT_DOUBLE_EQ(e.items.LuxuryTax.Amount, 5000 * 0.059999998658895493);
  EXPECT_EQ(e.items.LuxuryTax.Cap, 40);
  EXPECT_EQ(e.items.LuxuryTax.Cash, 60);
}

// The lease tax on the sum of payments S = RN(base payment on 21500) x 36 = 347.64 x 36 = 12515.04.
TEST_F(StartUpTaxesTest, TaxOnSumOfPaymentsByMethod) {
  struct Case {
    const char* what;
    float method;
    int16_t defaultCapCash;
    double capBefore, cashBefore;
    int16_t manual;
    double tradeAllowance;
    int16_t exclTrade;
    double totalRent;
    double amount, cap, cash;
  };
  const Case cases[] = {
      {"method 0", 0, 1, 100, 50, 0, 0, 1, 0, 0, 0, 0},
      {"method 0 split by hand", 0, 1, 100, 50, 1, 0, 1, 0, 0, 100, 50},
      {"method 1", 1, 1, 0, 0, 0, 1500, 1, 0, 1200, 1200, 0},
      {"method 1 trade above price, excluded", 1, 1, 0, 0, 0, 25000, 1, 0, 0, 0, 0},
      {"method 1 trade above price", 1, 1, 0, 0, 0, 25000, 0, 0, 1290, 1290, 0},
      {"method 2 in cash", 2, 0, 0, 0, 0, 0, 1, 0, 750.9024, 0, 750.9024},
      {"method 2 capitalised", 2, 0, 1, 0, 0, 0, 1, 0, 798.8323424516644, 798.8323424516644, 0},
      {"method 3", 3, 0, 0, 0, 0, 0, 1, 3015, 570.0024, 0, 570.0024},
      {"method 3 rent above payments", 3, 0, 0, 0, 0, 0, 1, 20000, 0, 0, 0},
      {"no such method", 2.5f, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    e.tax.TaxMethod = c.method;
    e.tax.DefaultCapCash = c.defaultCapCash;
    e.tax.ExclTradeFromLocal = c.exclTrade;
    e.items.STaxSumPmt.Cap = c.capBefore;
    e.items.STaxSumPmt.Cash = c.cashBefore;
    e.items.STaxSumPmt.ManualSplit = c.manual;
    e.items.TradeAllowance = c.tradeAllowance;
    e.res.TotalRent = c.totalRent;
    e.CalcStartUpTaxes();
    EXPECT_NEAR(e.items.STaxSumPmt.Amount, c.amount, 1e-9) << c.what;
    EXPECT_NEAR(e.items.STaxSumPmt.Cap, c.cap, 1e-9) << c.what;
    EXPECT_NEAR(e.items.STaxSumPmt.Cash, c.cash, 1e-9) << c.what;
  }
}

// Which capitalised amounts carry the lease tax through the payments (method 2, in cash).
TEST_F(StartUpTaxesTest, TaxableCapitalisedAmount) {
  struct Case {
    const char* what;
    double registrationCap;
    int16_t registrationTaxed;
    double tradeEquityCap;
    int16_t tradeEquityTaxed;
    double amount;  // S x 6 %
  };
  const Case cases[] = {
      {"price only", 0, 0, 0, 0, 750.9024},
      {"taxed registration", 1000, 1, 0, 0, 816.3072},   // S = 377.92 x 36
      {"untaxed registration", 1000, 0, 0, 0, 750.9024},
      {"untaxed trade equity", 0, 0, 1000, 0, 685.4976},  // S = 317.36 x 36
      {"taxed trade equity", 0, 0, 1000, 1, 750.9024},
  };
  for (const Case& c : cases) {
    SetUp();
    e.tax.TaxMethod = 2;
    e.tax.DefaultCapCash = 0;
    e.items.Registration.Cap = c.registrationCap;
    e.items.Registration.AlsoTax = c.registrationTaxed;
    e.items.TradeEquity.Cap = c.tradeEquityCap;
    e.items.TradeEquity.AlsoTax = c.tradeEquityTaxed;
    e.CalcStartUpTaxes();
    EXPECT_NEAR(e.items.STaxSumPmt.Amount, c.amount, 1e-9) << c.what;
  }
}

TEST_F(StartUpTaxesTest, MaximumLeaseTax) {
  // Method 1 on a price of 15000 gives 900; the cap reduction of 5000 a tax of 300.
  e.tax.TaxMethod = 1;
  e.tax.DefaultCapCash = 0;
  e.res.PurchPrice = 15000;
  e.page.CapRd = 5000;
  e.tax.MaxTax = 1000;
  e.CalcStartUpTaxes();
  EXPECT_NEAR(e.items.CapRedTax.Cash, 300, 1e-9);
  EXPECT_NEAR(e.items.STaxSumPmt.Amount, 700, 1e-9);
  EXPECT_NEAR(e.items.STaxSumPmt.Cash, 700, 1e-9);

  // The other taxes alone above the limit: the tax on payments stops at 0.
  SetUp();
  e.tax.TaxMethod = 1;
  e.tax.DefaultCapCash = 0;
  e.res.PurchPrice = 15000;
  e.page.CapRd = 5000;
  e.tax.MaxTax = 200;
  e.CalcStartUpTaxes();
  EXPECT_EQ(e.items.STaxSumPmt.Amount, 0);
  EXPECT_EQ(e.items.STaxSumPmt.Cash, 0);
}

TEST_F(StartUpTaxesTest, TaxOnCapReductionAndRebate) {
  e.page.CapRd = 2000;
  e.items.LeaseRebate.Cap = 1000;
  e.items.LeaseRebate.Cash = 500;
  e.CalcStartUpTaxes();
  EXPECT_NEAR(e.items.CapRedTax.Amount, 120, 1e-9);
  EXPECT_NEAR(e.items.CapRedTax.Cash, 120, 1e-9);
  EXPECT_NEAR(e.items.RebateTax.Amount, 60, 1e-9) << "the cash rebate is not taxed";
  EXPECT_NEAR(e.items.RebateTax.Cash, 60, 1e-9);

  // Capitalised items stay capitalised; the cash rebate taxed too.
  e.items.CapRedTax.Cap = 1;
  e.items.CapRedTax.Cash = 0;
  e.tax.AlsoTaxRebateCash = 1;
  e.CalcStartUpTaxes();
  EXPECT_NEAR(e.items.CapRedTax.Cap, 120, 1e-9);
  EXPECT_EQ(e.items.CapRedTax.Cash, 0);
  EXPECT_NEAR(e.items.RebateTax.Amount, 90, 1e-9);
  e.tax.AlsoTaxRebateCash = -1;  // a hand-edited file: still the flag, not a factor
  e.CalcStartUpTaxes();
  EXPECT_NEAR(e.items.RebateTax.Amount, 90, 1e-9);

  // Not taxed: all three parts 0; split by hand: left alone.
  e.tax.AlsoTaxCapRedCash = 0;
  e.items.LeaseRebate.AlsoTax = 0;
  e.CalcStartUpTaxes();
  EXPECT_EQ(e.items.CapRedTax, StartUpItem{});
  EXPECT_EQ(e.items.RebateTax.Amount, 0);
  EXPECT_EQ(e.items.RebateTax.Cap + e.items.RebateTax.Cash, 0);
  e.items.CapRedTax = StartUpItem{5, 6, 11, 1, 0, 0, 0};
  e.CalcStartUpTaxes();
  EXPECT_EQ(e.items.CapRedTax, (StartUpItem{5, 6, 11, 1, 0, 0, 0}));
}

TEST_F(StartUpTaxesTest, ItemTaxesAndTaxOnFees) {
  e.items.Registration = StartUpItem{100, 200, 300, 0, 0, 1, 0};
  e.items.Title = StartUpItem{50, 0, 50, 0, 0, 0, 0};
  e.items.DocumentFee = StartUpItem{0, 75, 75, 0, 0, 1, 0};
  e.CalcStartUpTaxes();
  EXPECT_NEAR(e.items.Registration.Tax, 18, 1e-9);
  EXPECT_EQ(e.items.Title.Tax, 0);
  EXPECT_NEAR(e.items.DocumentFee.Tax, 4.5, 1e-9);
  EXPECT_NEAR(e.items.STaxOnFeesTaxes.Amount, 22.5, 1e-9);
  EXPECT_NEAR(e.items.STaxOnFeesTaxes.Cash, 22.5, 1e-9);

  // Methods 2 and 3 tax only the cash parts up front.
  for (float method : {2.0f, 3.0f}) {
    e.tax.TaxMethod = method;
    e.CalcStartUpTaxes();
    EXPECT_NEAR(e.items.Registration.Tax, 12, 1e-9) << method;
    EXPECT_NEAR(e.items.STaxOnFeesTaxes.Amount, 16.5, 1e-9) << method;
  }
}

TEST_F(StartUpTaxesTest, SalesTaxOfAPurchase) {
  struct Case {
    const char* what;
    double amount;
    float localRate, maxLocal, maxTax;
    int16_t exclTrade;
    double tradeAllowance;
    double expected;
  };
  const Case cases[] = {
      {"local tax capped", 20000, 1, 150, 0, 1, 0, 1349.9999731779099},
      {"trade added back to the local base", 20000, 1, 0, 0, 0, 5000, 1449.9999675899744},
      {"total capped", 20000, 1, 0, 1000, 1, 0, 1000},
      {"negative amount", -500, 1, 0, 0, 1, 0, 0},
      {"negative amount, trade added back", -500, 1, 0, 0, 0, 5000, 44.99999899417162},
  };
  for (const Case& c : cases) {
    SetUp();
    e.tax.LocalTaxRate = c.localRate;
    e.tax.MaxLocalTax = c.maxLocal;
    e.tax.MaxTax = c.maxTax;
    e.tax.ExclTradeFromLocal = c.exclTrade;
    e.items.TradeAllowance = c.tradeAllowance;
    EXPECT_DOUBLE_EQ(e.CalcSalesTax(c.amount), c.expected) << c.what;
    EXPECT_DOUBLE_EQ(e.page.PurchSales, c.expected) << c.what;
  }

  // Typed values are kept.
  SetUp();
  e.items.LuxuryTax.Cap = 100;
  e.items.LuxuryTax.Cash = 20;
  e.CalcSalesTax(20000);
  EXPECT_EQ(double(e.page.PurchLuxuryTax), 120);
  e.page.PurchSalesOverride = -1;
  e.page.PurchLuxuryTaxOverride = -1;
  e.page.PurchSales = 77;
  e.items.LuxuryTax.Cash = 0;
  EXPECT_DOUBLE_EQ(e.CalcSalesTax(20000), 1199.9999731779099);
  EXPECT_EQ(double(e.page.PurchSales), 77);
  EXPECT_EQ(double(e.page.PurchLuxuryTax), 120);
}

TEST_F(StartUpTaxesTest, TradeEquity) {
  e.items.TradeAllowance = 5000;
  e.items.TradePayoff = 3000;
  e.CalcTradeEquity();
  EXPECT_EQ(e.items.TradeEquity.Amount, 2000);
  EXPECT_EQ(e.items.TradeEquity.Cash, 2000);
  EXPECT_EQ(e.items.TradeEquity.Cap, 0);

  e.items.TradeEquity.Cap = 1;
  e.items.TradePayoff = 4000;
  e.CalcTradeEquity();
  EXPECT_EQ(e.items.TradeEquity.Cap, 1000);
  EXPECT_EQ(e.items.TradeEquity.Cash, 0);

  e.items.TradeEquity.ManualSplit = 1;
  e.items.TradeEquity.Cash = 300;
  e.items.TradePayoff = 0;
  e.CalcTradeEquity();
  EXPECT_EQ(e.items.TradeEquity.Amount, 5000);
  EXPECT_EQ(e.items.TradeEquity.Cap, 1000);
  EXPECT_EQ(e.items.TradeEquity.Cash, 300);
}

TEST_F(StartUpTaxesTest, MileageFees) {
  e.page.AllowedMiles = 12000;
  e.page.PrePaidActualMiles = 15000;
  e.page.PrePaidCentsPerMile = 0.15;
  e.page.EOLActualMiles = 14000;
  e.page.EOLCentsperMile = 0.20;
  e.items.EOLFees[2].Amount = 395;
  e.CalcMileageFees();
  // 3000 miles a year over 36 months at 0.15; 2000 a year at 0.20.
  EXPECT_NEAR(e.items.PrePaidMileFee.Amount, 1350.00, 1e-9);
  EXPECT_NEAR(e.items.PrePaidMileFee.Cash, 1350.00, 1e-9);
  EXPECT_NEAR(e.items.EOLFees[1].Amount, 1200.00, 1e-9);
  EXPECT_NEAR(e.items.TotalEOLFees, 1595.00, 1e-9);

  // The items were stored with the page.
  const PageItems computed = e.items;
  e.items.PrePaidMileFee = StartUpItem{};
  e.LoadPageItems();
  EXPECT_NEAR(e.items.PrePaidMileFee.Cash, 1350.00, 1e-9);

  // A capitalised fee stays capitalised; fewer miles than allowed cost nothing.
  e.items = computed;
  e.items.PrePaidMileFee.Cap = 1;
  e.items.PrePaidMileFee.Cash = 0;
  e.page.PrePaidActualMiles = 16000;
  e.page.EOLActualMiles = 10000;
  e.CalcMileageFees();
  EXPECT_NEAR(e.items.PrePaidMileFee.Cap, 1800.00, 1e-9);
  EXPECT_EQ(e.items.PrePaidMileFee.Cash, 0);
  EXPECT_EQ(e.items.EOLFees[1].Amount, 0);
  EXPECT_NEAR(e.items.TotalEOLFees, 395, 1e-9);
}

}  // namespace
}  // namespace qv
