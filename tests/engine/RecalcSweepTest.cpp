// RecalcPage over many random pages (every lease method and tax method, first payment in
// cash and capitalised, taxed deposits, maximum taxes): a second recalculation changes
// nothing, no figure is NaN or infinite, the first payment equals the payment, and every
// figure the recalculation leaves behind agrees with the items and totals it leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Runtime.h"
#include "tests/engine/CommonPage.h"

namespace qv {
namespace {

// A small deterministic source of page values (the same pages on every platform).
class Dice {
 public:
  explicit Dice(uint32_t seed) : gen_(seed) {}
  // A value from lo to hi in steps of `step`.
  double Range(double lo, double hi, double step) {
    const auto steps = static_cast<uint32_t>(std::llround((hi - lo) / step));
    return lo + step * static_cast<double>(gen_() % (steps + 1));
  }
  int Pick(int n) { return static_cast<int>(gen_() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }

 private:
  std::mt19937 gen_;
};

constexpr StartUpItem PageItems::*kItems[] = {
    &PageItems::Security,     &PageItems::Registration, &PageItems::Title,           &PageItems::SalesTax,
    &PageItems::CapRedTax,    &PageItems::FirstPayment, &PageItems::Acquisition,     &PageItems::PrePaidMileFee,
    &PageItems::LuxuryTax,    &PageItems::TradeEquity,  &PageItems::LeaseRebate,     &PageItems::DocumentFee,
    &PageItems::RebateTax,    &PageItems::OtherFee,     &PageItems::STaxOnFeesTaxes, &PageItems::STaxSumPmt};

// A random page on the common page's engine.
void RandomPage(Engine& e, Dice& d) {
  test::SetUpCommonPage(e);
  PageRecord& p = e.page;
  p.BaseInv = d.Range(12000, 60000, 0.5);
  p.BaseMSRP = p.BaseInv * d.Range(1.04, 1.15, 0.001);
  p.Dest = d.Range(0, 1500, 5);
  p.Margin = d.Range(-500, 5000, 0.5);
  p.LType = static_cast<int16_t>(d.Pick(4));
  p.Factor = d.Range(0.0005, 0.004, 0.00001);
  p.Factor2 = p.LType == 2 ? p.Factor * d.Range(0.3, 0.9, 0.01) : 0;
  p.FordAPR = d.Range(0.005, 0.12, 0.0005);
  p.FordAdminFactor = d.Chance(50) ? d.Range(0, 0.0004, 0.00001) : 0;
  static const double kTerms[] = {12, 24, 36, 39, 42, 48, 60};
  p.Months = kTerms[d.Pick(7)];
  p.Residual = std::round((p.BaseMSRP + p.Dest) * d.Range(0.3, 0.65, 0.01));
  p.CapRd = d.Chance(50) ? d.Range(0, 6000, 0.5) : 0;
  p.InvestRate = d.Range(0, 0.08, 0.005);
  p.LoanRate = d.Range(0, 0.1, 0.005);
  p.DownPmt = d.Range(0, 5000, 100);

  TaxSetting& t = e.tax;
  t.TaxMethod = static_cast<float>(d.Pick(4));
  t.LeaseTaxRate = static_cast<float>(d.Range(0, 10, 0.125));
  t.DefaultCapCash = static_cast<int16_t>(d.Pick(2));
  t.AlsoTaxCapRedCash = static_cast<int16_t>(d.Pick(2));
  t.AlsoTaxRebateCash = static_cast<int16_t>(d.Pick(2));
  t.LuxuryTaxCapCash = static_cast<int16_t>(d.Pick(2));
  t.NoInterestOnLuxuryTax = static_cast<int16_t>(d.Pick(2));
  t.LuxuryThreshold = d.Chance(50) ? 36000 : 30000;
  t.MaxTax = d.Chance(40) ? static_cast<float>(d.Range(200, 2000, 1)) : 0;
  t.BuyTaxRate = static_cast<float>(d.Range(0, 8, 0.25));
  t.LocalTaxRate = static_cast<float>(d.Range(0, 2, 0.25));
  t.MaxLocalTax = d.Chance(50) ? 150 : 0;

  PageItems& it = e.items;
  for (StartUpItem PageItems::*m : kItems) (it.*m).AlsoTax = static_cast<int16_t>(d.Chance(35) ? 1 : 0);
  it.Security.AlsoTax = static_cast<int16_t>(d.Chance(50) ? 1 : 0);
  // The first payment capitalised on half the pages; the deposit now and then capitalised.
  if (d.Chance(50)) it.FirstPayment.Cap = 1;
  if (d.Chance(15)) it.Security.Cap = 1;
  // Fees typed by the user on either side.
  auto fee = [&](StartUpItem& item, double hi) {
    if (!d.Chance(50)) return;
    const double v = d.Range(0, hi, 0.5);
    (d.Chance(50) ? item.Cap : item.Cash) = v;
  };
  fee(it.Registration, 400);
  fee(it.Title, 100);
  fee(it.DocumentFee, 300);
  fee(it.Acquisition, 700);
  fee(it.OtherFee, 500);
  fee(it.LeaseRebate, 1500);
  // Taxes already placed on one side by an earlier calculation.
  if (d.Chance(30)) it.STaxSumPmt.Cap = 1;
  if (d.Chance(20)) it.STaxSumPmt.Cash = 1;
  if (d.Chance(20)) it.CapRedTax.Cap = 1;
  if (d.Chance(20)) it.STaxOnFeesTaxes.Cap = 1;
}

struct Snapshot {
  std::vector<double> numbers;
  std::vector<std::string> texts;
  bool operator==(const Snapshot&) const = default;
};

// Every figure the recalculation leaves behind: results, items, the page fields it writes,
// the start-up sheet and its labels.
Snapshot Take(const Engine& e) {
  Snapshot s;
  const PageResults& r = e.res;
  s.numbers = {r.TotalOptInv, r.TotalOptMSRP, r.TotalInvoice, r.TotalMSRP, r.MSRP, r.MarginPerc, r.PurchPrice,
               r.TotalTradeEquity, r.GrossCapCost, r.CapCost, r.OptionDiscountTotal, r.ResPerc, r.PaymentNT,
               r.PaymentWT, r.TotalRent, r.TotalStartUps.Cap, r.TotalStartUps.Cash, r.LCashReqd, r.LInitCost,
               r.PInitCost, r.CInitCost, r.LLIIC, r.PLIIC, r.CLIIC, r.LLIPmt, r.PLIPmt, r.LeaseFC, r.PurchFC,
               r.CashFC, r.TotalTaxFee, r.LoanPrinciple, r.PurPmnt, r.Payoff, r.PCashReqd, r.CCashReqd,
               r.LeaseCashRatio, r.LeaseLoanRatio, r.LoanCashRatio, e.page.Factor, e.page.PurchSales,
               e.page.PurchLuxuryTax, e.page.LoanMonths, e.page.EndLoan, e.items.TotalEOLFees};
  for (StartUpItem PageItems::*m : kItems) {
    const StartUpItem& item = e.items.*m;
    s.numbers.insert(s.numbers.end(), {item.Cap, item.Cash, item.Amount, item.Tax});
  }
  for (int row = 2; row <= 17; ++row)
    s.numbers.insert(s.numbers.end(), {e.StartUpsSheet.NumberRC(row, 2), e.StartUpsSheet.NumberRC(row, 3)});
  s.texts = {e.StartUpsLabel2[0], e.StartUpsLabel2[1]};
  for (int row = 2; row <= 16; ++row) s.texts.push_back(e.StartUpsSheet.TextRC(row, 5));
  return s;
}

double RN(double v) { return Engine::RoundNum(v, 2); }

// The base payment of cap cost c by the page's method, from the money factor the
// calculation left in the page (the Ford APR method's factor follows its APR).
double BasePayment(const Engine& e, double c) {
  const PageRecord& p = e.page;
  const double r = p.Residual, f = p.Factor, n = p.Months;
  switch (p.LType) {
    case 0: return (c + r) * f + (c - r) / n;
    case 1: return (c - r) / n + c * f;
    case 2: return c * f - r * p.Factor2;
    default: return (c + r) * f + (c - r) / n + c * p.FordAdminFactor;
  }
}

// What is wrong with the figures one recalculation left behind; empty when nothing is.
std::string Disagreements(Engine& e) {
  std::ostringstream out;
  const PageResults& r = e.res;
  const PageItems& it = e.items;
  auto check = [&](bool ok, const char* what, double a, double b) {
    if (!ok) out << what << ": " << a << " against " << b << "; ";
  };
  auto same = [&](const char* what, double a, double b, double tol = 1e-7) {
    check(std::fabs(a - b) <= tol, what, a, b);
  };

  for (double v : Take(e).numbers) check(std::isfinite(v), "not finite", v, 0);
  check(!e.res.NonFinite, "figures cleared as not finite", 0, 0);

  const StartUpItem& fp = it.FirstPayment;
  if (fp.ManualSplit == 0) same("first payment", fp.Cap + fp.Cash, r.PaymentWT, 1e-6);

  // The totals are those of the items left behind (rounded where the program computes them).
  const auto sum = [&](double StartUpItem::*side) {
    return RN(it.FirstPayment.*side) + it.Security.*side + it.Registration.*side + it.Title.*side +
           RN(it.STaxSumPmt.*side) + RN(it.CapRedTax.*side) + RN(it.PrePaidMileFee.*side) +
           RN(it.LuxuryTax.*side) + it.DocumentFee.*side + RN(it.RebateTax.*side) - it.TradeEquity.*side +
           it.Acquisition.*side - it.LeaseRebate.*side + it.OtherFee.*side + RN(it.STaxOnFeesTaxes.*side);
  };
  same("cap total", r.TotalStartUps.Cap, sum(&StartUpItem::Cap));
  same("cash total", r.TotalStartUps.Cash, sum(&StartUpItem::Cash));
  same("cap cost", r.CapCost, r.PurchPrice - e.page.CapRd + r.TotalStartUps.Cap + it.TotalAdjust.Cap);

  // The payment is the one of that cap cost.
  double nt;
  if (e.page.Months == 0)
    nt = 0;
  else if (e.tax.NoInterestOnLuxuryTax == 0)
    nt = BasePayment(e, r.CapCost);
  else
    nt = BasePayment(e, r.CapCost - it.LuxuryTax.Cap) + it.LuxuryTax.Cap / e.page.Months;
  same("payment", r.PaymentNT, nt, 1e-6);

  // Each item's tax is the tax of the split it shows, and their sum is the tax on fees.
  const double rate = e.tax.LeaseTaxRate;
  const double k = (e.tax.TaxMethod == 2 || e.tax.TaxMethod == 3) ? 0 : 1;
  double feeTaxes = 0;
  for (const StartUpItem* item : {&it.Security, &it.Registration, &it.Title, &it.DocumentFee, &it.CapRedTax,
                                  &it.RebateTax, &it.LuxuryTax, &it.TradeEquity, &it.Acquisition,
                                  &it.PrePaidMileFee, &it.OtherFee}) {
    const double tax = item->AlsoTax != 0 ? (item->Cap * k + item->Cash) * rate / 100 : 0;
    same("item tax", item->Tax, tax);
    feeTaxes += item->Tax;
  }
  same("tax on fees", it.STaxOnFeesTaxes.Amount, feeTaxes);

  // The comparison and the labels use the same totals and the same deposit.
  same("cash required", r.LCashReqd, RN(e.page.CapRd) + RN(r.TotalStartUps.Cash) + RN(it.TotalAdjust.Cash));
  same("lease future cost", r.LeaseFC,
       r.LInitCost + (e.page.Months - 1) * r.PaymentWT + r.LLIIC + r.LLIPmt - (it.Security.Cap + it.Security.Cash) +
           it.TotalEOLFees,
       1e-6);
  check(e.StartUpsLabel2[1] == Format(r.TotalStartUps.Cash + e.page.CapRd, "$#,###.00;; "), "label", 0, 0);
  for (int row = 2; row <= 16; ++row) {
    const StartUpItem* item = e.ItemOfRow(row);
    same("sheet cap", e.StartUpsSheet.NumberRC(row, 2), item->Cap, 0);
    same("sheet cash", e.StartUpsSheet.NumberRC(row, 3), item->Cash, 0);
  }
  same("sheet cap total", e.StartUpsSheet.NumberRC(17, 2), r.TotalStartUps.Cap, 0);
  same("sheet cash total", e.StartUpsSheet.NumberRC(17, 3), r.TotalStartUps.Cash, 0);
  return out.str();
}

// One recalculation and a second one: what is wrong, or empty.
std::string CheckPage(Engine& e) {
  e.RecalcPage();
  const Snapshot first = Take(e);
  std::string wrong = Disagreements(e);
  e.RecalcPage();
  if (!(Take(e) == first)) wrong += "a second recalculation changes the figures";
  return wrong;
}

TEST(RecalcSweep, EveryRandomPageSettlesOnOneConsistentAnswer) {
  Engine e;
  test::CountingHost host;
  e.host = &host;
  Dice dice(20240611);
  int failures = 0;
  for (int n = 0; n < 6000 && failures < 5; ++n) {
    RandomPage(e, dice);
    const std::string wrong = CheckPage(e);
    if (!wrong.empty()) {
      ++failures;
      ADD_FAILURE() << "page " << n << " (method " << e.page.LType << ", tax method " << e.tax.TaxMethod
                    << ", margin " << e.page.Margin << "): " << wrong;
    }
  }
}

// The common page over a range of margins, in the settings where rounding to cents and the
// $25 steps of the deposit feed back through the start-up taxes (pages without a fixed
// point are found among them).
TEST(RecalcSweep, MarginRangesWhereRoundingFeedsBack) {
  Engine e;
  test::CountingHost host;
  e.host = &host;
  struct Family {
    const char* what;
    void (*setup)(Engine&);
  };
  const Family families[] = {
      {"tax on payments less rent", [](Engine& e) { e.tax.TaxMethod = 3; }},
      {"tax on payments less rent, first payment capitalised",
       [](Engine& e) {
         e.tax.TaxMethod = 3;
         e.items.FirstPayment.Cap = 1;
       }},
      {"taxed deposit under a maximum tax",
       [](Engine& e) {
         e.tax.TaxMethod = 1;
         e.tax.MaxTax = 1000;
         e.items.Security.AlsoTax = 1;
       }},
      {"taxed deposit under a maximum tax, first payment capitalised",
       [](Engine& e) {
         e.tax.TaxMethod = 1;
         e.tax.MaxTax = 1000;
         e.items.Security.AlsoTax = 1;
         e.items.FirstPayment.Cap = 1;
       }},
      {"tax on payments, first payment capitalised, taxed deposit",
       [](Engine& e) {
         e.tax.TaxMethod = 2;
         e.items.FirstPayment.Cap = 1;
         e.items.Security.AlsoTax = 1;
       }},
  };
  for (const Family& f : families) {
    int failures = 0;
    for (int n = 0; n < 3000 && failures < 3; ++n) {
      test::SetUpCommonPage(e);
      f.setup(e);
      e.page.Margin = 1000 + 0.5 * n;
      const std::string wrong = CheckPage(e);
      if (!wrong.empty()) {
        ++failures;
        ADD_FAILURE() << f.what << ", margin " << e.page.Margin << ": " << wrong;
      }
    }
  }
}

}  // namespace
}  // namespace qv
