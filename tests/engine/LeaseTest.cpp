// The page calculation CalcLease, the base payment by lease method, the money factor and
// APR conversions, the option discounts and the residual question.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/ScriptedPrompt.h"
#include "tests/engine/CommonPage.h"

namespace qv {
namespace {

class LeaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prompt.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected question: " << what; });
    test::SetUpCommonPage(e);
  }
  void AddOption(int row, const std::string& name, double inv, double msrp) {
    e.OptionList.SetTextRC(row, 1, name);
    e.OptionList.SetNumberRC(row, 2, inv);
    e.OptionList.SetNumberRC(row, 3, msrp);
  }

  ui::ScriptedPrompt prompt;
  ui::ScopedPrompt scoped{prompt};
  Engine e;
};

TEST_F(LeaseTest, CommonPageEndToEnd) {
  test::CalcLeaseInMemory(e);
  const PageResults& r = e.res;
  EXPECT_DOUBLE_EQ(r.TotalInvoice, 20500);
  EXPECT_DOUBLE_EQ(r.TotalMSRP, 22500);
  EXPECT_DOUBLE_EQ(r.MSRP, 22500);
  EXPECT_DOUBLE_EQ(r.PurchPrice, 21500);
  EXPECT_DOUBLE_EQ(r.CapCost, 21500);
  EXPECT_DOUBLE_EQ(r.GrossCapCost, 21500);
  EXPECT_DOUBLE_EQ(r.MarginPerc, 1000.0 / 20500);
  EXPECT_DOUBLE_EQ(r.ResPerc, 12000.0 / 22500);
  EXPECT_NEAR(r.PaymentNT, 347.638889, 5e-7);
  EXPECT_NEAR(r.PaymentWT, 368.497222, 5e-7);
  EXPECT_NEAR(r.TotalRent, 3015.00, 1e-9);
  EXPECT_DOUBLE_EQ(e.items.Security.Amount, 375);
  EXPECT_DOUBLE_EQ(e.items.Security.Cash, 375);
  EXPECT_EQ(e.items.Security.Cap, 0);
  EXPECT_DOUBLE_EQ(e.items.FirstPayment.Cash, r.PaymentWT);
  EXPECT_DOUBLE_EQ(e.items.FirstPayment.Amount, r.PaymentWT);
}

// (C + R) F + (C - R) / n and its variants, for C 21500, R 12000, n 36.
TEST_F(LeaseTest, PaymentByLeaseMethod) {
  struct Case {
    int16_t type;
    double factor, factor2, fordAPR, admin;
    double paymentNT, paymentWT, deposit;
  };
  const Case cases[] = {
      {0, 0.0025, 0, 0, 0, 347.638889, 368.497222, 375},
      {1, 0.0025, 0, 0, 0, 317.638889, 336.697222, 350},
      {2, 0.03, 0.021, 0, 0, 393.00, 416.58, 425},
      {3, 0.0025, 0, 0.06, 0, 347.272046, 368.108368, 375},
      {3, 0.0025, 0, 0.06, 0.0002, 351.572046, 372.666368, 375},
      {7, 0.0025, 0, 0, 0, 0, 0, 0},  // no such method
  };
  for (const Case& c : cases) {
    test::SetUpCommonPage(e);
    e.page.LType = c.type;
    e.page.Factor = c.factor;
    e.page.Factor2 = c.factor2;
    e.page.FordAPR = c.fordAPR;
    e.page.FordAdminFactor = c.admin;
    test::CalcLeaseInMemory(e);
    EXPECT_NEAR(e.res.PaymentNT, c.paymentNT, 5e-7) << "LType " << c.type;
    EXPECT_NEAR(e.res.PaymentWT, c.paymentWT, 5e-7) << "LType " << c.type;
    EXPECT_DOUBLE_EQ(e.items.Security.Cash, c.deposit) << "LType " << c.type;
    if (c.type == 3) {
      EXPECT_NEAR(e.page.Factor, 0.00248905, 5e-9) << "the factor follows the APR";
    }
  }
}

TEST_F(LeaseTest, BasePaymentExamples) {
  double f = 0.003;
  EXPECT_NEAR(e.CalcBasePayment(20000, 12000, f, 0, 36), 318.2222, 5e-5);
  e.tax.LeaseTaxRate = 6;
  // Months 0: an empty base payment, and no payment or rent at all.
  EXPECT_TRUE(e.CalcBasePayment(20000, 12000, f, 0, 0).IsEmpty());
  e.page.Months = 0;
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(e.res.PaymentNT, 0);
  EXPECT_EQ(e.res.PaymentWT, 0);
  EXPECT_EQ(e.res.TotalRent, 0);
  // Method 2 ignores the term except for the zero test.
  e.page.LType = 2;
  double f2 = 0.03;
  EXPECT_DOUBLE_EQ(e.CalcBasePayment(21500, 12000, f2, 0.021, 60), 393.0);
  EXPECT_DOUBLE_EQ(e.CalcBasePayment(21500, 12000, f2, 0.021, 12), 393.0);
}

TEST_F(LeaseTest, PaymentWithTaxMethod0IsTaxedMonthly) {
  // C 20000 (invoice 19500 + margin 500), R 12000, F 0.003: 318.2222 and 337.3156 with 6 %.
  e.page.BaseInv = 19000;
  e.page.Margin = 500;
  e.page.Factor = 0.003;
  test::CalcLeaseInMemory(e);
  EXPECT_NEAR(e.res.PaymentNT, 318.2222, 5e-5);
  EXPECT_NEAR(e.res.PaymentWT, 337.3156, 5e-5);
  // Methods 1 to 3 tax the lease up front, not monthly.
  for (float method : {1.0f, 2.0f, 3.0f}) {
    e.tax.TaxMethod = method;
    test::CalcLeaseInMemory(e);
    EXPECT_DOUBLE_EQ(e.res.PaymentWT, e.res.PaymentNT) << method;
  }
}

// A capitalised luxury tax of 3600 (split by hand, so the low price leaves it in place).
TEST_F(LeaseTest, LuxuryTaxWithoutRentCharge) {
  test::CalcLeaseInMemory(e);
  const double plain = e.res.PaymentNT;
  e.items.LuxuryTax.ManualSplit = 1;
  e.items.LuxuryTax.Cap = 3600;

  e.tax.NoInterestOnLuxuryTax = 1;
  test::CalcLeaseInMemory(e);
  EXPECT_NEAR(e.res.PaymentNT - plain, 100.00, 1e-9) << "3600 over 36 months, no rent charge";
  EXPECT_NEAR(e.res.TotalRent, (21500 + 3600 + 12000) * 0.0025 * 36, 1e-9);

  // Its monthly part is not taxed again when the luxury tax carries its own tax.
  e.items.LuxuryTax.AlsoTax = 1;
  test::CalcLeaseInMemory(e);
  EXPECT_NEAR(e.res.PaymentWT, 447.638889 + 347.638889 * 0.06, 1e-6);
  e.tax.TaxMethod = 2;
  test::CalcLeaseInMemory(e);
  EXPECT_DOUBLE_EQ(e.res.PaymentWT, e.res.PaymentNT);

  e.tax.TaxMethod = 0;
  e.items.LuxuryTax.AlsoTax = 0;
  e.tax.NoInterestOnLuxuryTax = 0;
  test::CalcLeaseInMemory(e);
  EXPECT_NEAR(e.res.PaymentNT - plain, 3600 * (0.0025 + 1.0 / 36), 1e-9) << "with rent charge";
}

TEST_F(LeaseTest, OptionsAndDiscounts) {
  AddOption(1, "Sunroof", 800, 1000);
  AddOption(2, "Package Discount X/1500; dealer", -1200, -1500);
  e.OptionList.SetHeaderHeight(480);
  test::CalcLeaseInMemory(e);
  EXPECT_DOUBLE_EQ(e.res.TotalOptInv, -400);
  EXPECT_DOUBLE_EQ(e.res.TotalOptMSRP, -500);
  EXPECT_DOUBLE_EQ(e.res.TotalInvoice, 20100);
  EXPECT_DOUBLE_EQ(e.res.TotalMSRP, 22000);
  EXPECT_DOUBLE_EQ(e.res.PurchPrice, 21100);
  EXPECT_EQ(e.OptionList.ColText(2), "Invoice\r\n-$400.00");
  EXPECT_EQ(e.OptionList.ColText(3), "MSRP\r\n-$500.00");
  // Discounted basis by default, the full MSRP when the page asks for it.
  EXPECT_EQ(e.res.OptionDiscountTotal, 0);
  EXPECT_DOUBLE_EQ(e.res.ResPerc, 12000.0 / 22000);
  e.page.UseFullMSRP = -1;
  test::CalcLeaseInMemory(e);
  EXPECT_DOUBLE_EQ(e.res.OptionDiscountTotal, 1500);
  EXPECT_DOUBLE_EQ(e.res.ResPerc, 12000.0 / 23500);
}

TEST_F(LeaseTest, SumOptionDiscountsReadsTheAmountAfterTheWord) {
  struct Case {
    const char* text;
    double amount;
  };
  const Case cases[] = {
      {"Package Discount X/1500; more text", 1500},
      {"Package Discount X/1500", 1500},
      {"Discount 500 off", 500},          // no slash: the number at the start
      {"Value Discount A/250 B", 250},
      {"package discount X/700", 0},      // the word must be capitalised
      {"Sunroof", 0},
  };
  for (const Case& c : cases) {
    e.OptionList.ClearAll();
    e.OptionList.SetMaxRow(1);
    e.OptionList.SetTextRC(1, 1, c.text);
    EXPECT_DOUBLE_EQ(e.SumOptionDiscounts(), c.amount) << c.text;
    EXPECT_DOUBLE_EQ(e.res.OptionDiscountTotal, c.amount) << c.text;
  }
  e.OptionList.SetTextRC(1, 1, "Discount X/100");
  e.OptionList.SetTextRC(2, 1, "Radio");
  e.OptionList.SetTextRC(3, 1, "Cash Discount Y/25.5;");
  EXPECT_DOUBLE_EQ(e.SumOptionDiscounts(), 125.5);
}

TEST_F(LeaseTest, ResidualFractionIsGuarded) {
  // A discount that cancels the MSRP leaves no residual basis.
  AddOption(1, "Discount X/-22500", 0, 0);
  e.page.UseFullMSRP = -1;
  test::CalcLeaseInMemory(e);
  EXPECT_FALSE(e.res.ResPerc.IsEmpty());
  EXPECT_EQ(double(e.res.ResPerc), 0);
  // No MSRP at all.
  test::SetUpCommonPage(e);
  e.page.BaseMSRP = 0;
  e.page.Dest = 0;
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(double(e.res.ResPerc), 0);
  // No invoice: no margin fraction.
  e.page.BaseInv = 0;
  test::CalcLeaseInMemory(e);
  EXPECT_EQ(e.res.MarginPerc, 0);
}

TEST_F(LeaseTest, FactorFromAPRAndBack) {
  // Method 0: the factor of 6.026305 % is 0.0025 for this cap and residual.
  EXPECT_NEAR(e.FactorFromAPR(21500, 12000, 0.06, 36), 0.00248905, 5e-9);
  EXPECT_NEAR(e.FactorFromAPR(21500, 12000, 0.060263054, 36), 0.0025, 1e-10);
  double f = 0.0025;
  EXPECT_NEAR(e.APRFromFactor(21500, 12000, f, 36), 0.060263054, 2e-6);
  EXPECT_EQ(f, 0.0025);

  e.page.LType = 1;
  EXPECT_NEAR(e.APRFromFactor(21500, 12000, f, 36), 0.038724697, 2e-6);
  EXPECT_EQ(e.FactorFromAPR(0, 12000, 0.06, 36), 0) << "method 1 has no factor without a cap";

  e.page.LType = 2;
  EXPECT_EQ(e.FactorFromAPR(21500, 12000, 0.06, 36), 0) << "method 2 has no APR factor";

  // Zero rate, term, or cap + residual: no factor.
  e.page.LType = 0;
  EXPECT_EQ(e.FactorFromAPR(21500, 12000, 0, 36), 0);
  EXPECT_EQ(e.FactorFromAPR(21500, 12000, 0.06, 0), 0);
  EXPECT_EQ(e.FactorFromAPR(12000, -12000, 0.06, 36), 0);
}

TEST_F(LeaseTest, APRFromFactorMethod3UsesThePayment) {
  e.page.LType = 3;
  e.page.FordAPR = 0.06;
  test::CalcLeaseInMemory(e);
  double f = 1;  // replaced by the factor implied by PaymentNT
  EXPECT_NEAR(e.APRFromFactor(21500, 12000, f, 36), 0.06, 2e-6);
  EXPECT_NEAR(f, 0.00248905, 5e-9);
}

TEST_F(LeaseTest, APRFromFactorMethod2Scans) {
  e.page.LType = 2;
  e.page.Factor2 = 0.021;
  double f = 0.03;
  // The annual rate whose level payment (in advance) meets 21500 x 0.03 - 12000 x 0.021 = 393.
  EXPECT_NEAR(e.APRFromFactor(21500, 12000, f, 36), 0.0927307, 1.5e-5);
  double low = 0.021;
  EXPECT_EQ(e.APRFromFactor(21500, 12000, low, 36), 0) << "factor not above Factor2";
  e.page.Factor2 = 0;
  EXPECT_EQ(e.APRFromFactor(21500, 12000, f, 36), 0) << "no Factor2";
}

// A target payment just below the zero-rate payment (21500 - 12000) / 36 = 263.888889: the
// scan starts at 2 %, steps down through exactly 0 and settles just below it.
TEST_F(LeaseTest, APRFromFactorMethod2PassesThroughAZeroRate) {
  e.page.LType = 2;
  const double factor2 = 0.005;
  double f = 0.015;
  ASSERT_EQ(f + factor2, 0.02);
  ASSERT_EQ(0.02 - 0.01 - 0.01, 0.0);
  e.page.Factor2 = factor2;
  const double target = 21500 * f - 12000 * factor2;  // 262.5
  const double x = e.APRFromFactor(21500, 12000, f, 36);
  ASSERT_TRUE(std::isfinite(x));
  // The payment at that rate meets the target to within one fine step.
  const double g = 1 + x / 12;
  const double pmt = (21500 - 12000 / std::pow(g, 36)) * (x / 12) * std::pow(g, 35) / (std::pow(g, 36) - 1);
  EXPECT_LT(x, 0);
  EXPECT_GT(x, -0.01);
  EXPECT_NEAR(pmt, target, 0.02);
}

TEST_F(LeaseTest, APRFromFactorNeverBlowsUp) {
  double f = 0.0025;
  EXPECT_EQ(e.APRFromFactor(21500, 0, f, 36), 0) << "residual 0";
  EXPECT_EQ(e.APRFromFactor(21500, 12000, f, 0), 0) << "term 0";
  double zero = 0;
  EXPECT_EQ(e.APRFromFactor(21500, 12000, zero, 36), 0) << "factor 0";
  // Trial factors of 0: cap + residual 0 (method 0) or no cap (method 1).
  EXPECT_EQ(e.APRFromFactor(-12000, 12000, f, 36), 0);
  e.page.LType = 1;
  EXPECT_EQ(e.APRFromFactor(0, 12000, f, 36), 0);
  // Method 3 with cap + residual 0 leaves the caller's factor alone.
  e.page.LType = 3;
  EXPECT_EQ(e.APRFromFactor(-12000, 12000, f, 36), 0);
  EXPECT_EQ(f, 0.0025);
}

TEST_F(LeaseTest, AskRecalcResidualAfterAnMSRPChange) {
  test::CalcLeaseInMemory(e);  // TotalMSRP 22500
  prompt.Answer(ui::Answer::Yes);
  e.AskRecalcResidual(12000.0 / 22000, 22000);
  ASSERT_EQ(prompt.Asked().size(), 1u);
  const ui::PromptRecord& asked = prompt.Asked()[0];
  EXPECT_EQ(asked.text, "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n54.5% of MSRP?");
  EXPECT_EQ(asked.buttons, ui::Buttons::YesNo);
  EXPECT_EQ(asked.title, ui::Title{""});
  EXPECT_DOUBLE_EQ(e.page.Residual, 12272.73);  // 22500 x 54.5454...%

  // No changes nothing.
  prompt.Answer(ui::Answer::No);
  e.AskRecalcResidual(0.5, 22000);
  EXPECT_DOUBLE_EQ(e.page.Residual, 12272.73);

  // With the full MSRP the discounts are added back to the basis.
  AddOption(1, "Discount X/1000", 0, -1000);
  e.page.UseFullMSRP = -1;
  test::CalcLeaseInMemory(e);  // MSRP 21500
  prompt.Answer(ui::Answer::Yes);
  e.AskRecalcResidual(0.5, 22500);
  EXPECT_DOUBLE_EQ(e.page.Residual, 11250);

  // Silent when there is no residual or the MSRP did not change.
  e.AskRecalcResidual(0.5, e.res.TotalMSRP);
  e.page.Residual = 0;
  e.AskRecalcResidual(0.5, 1);
  EXPECT_EQ(prompt.Asked().size(), 3u);
  EXPECT_TRUE(prompt.Exhausted());
}

}  // namespace
}  // namespace qv
