// The page calculation: invoice and MSRP totals with the options, selling price, start-up
// totals, capitalised cost, residual fraction, the base payment by lease method, the
// payment with tax and the rent charge; and the conversions between a money factor and an
// annual rate, the option-discount total and the residual question after an MSRP change.
#include <cmath>
#include <string_view>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"

namespace qv {

namespace {

constexpr const char* kMoneyPattern = "$#,###.00;; ";

int Sgn(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Writes a column heading only when it changed, so an unchanged grid is not redrawn.
void SetHeading(grid::Sheet& sheet, int col, const std::string& text) {
  const auto& h = sheet.Headings();
  if (col <= static_cast<int>(h.size()) && h[col - 1] == text) return;
  sheet.SetColText(col, text);
}

}  // namespace

void Engine::CalcLease() {
  if (SkipItemReload == 0) LoadPageItems();

  res.TotalInvoice = page.BaseInv + page.Dest;
  res.TotalMSRP = page.BaseMSRP + page.Dest;
  res.TotalOptInv = 0;
  res.TotalOptMSRP = 0;
  const int optionRows = OptionList.MaxRow();
  for (int k = 1; k <= optionRows; ++k) {
    double v = OptionList.NumberRC(k, 2);
    res.TotalInvoice += v;
    res.TotalOptInv += v;
    v = OptionList.NumberRC(k, 3);
    res.TotalMSRP += v;
    res.TotalOptMSRP += v;
  }

  // Two-line headings: the option totals are shown under the column titles.
  if (OptionList.HeaderHeight() == 480) {
    SetHeading(OptionList, 2, "Invoice\r\n" + Format(res.TotalOptInv, kMoneyPattern));
    SetHeading(OptionList, 3, "MSRP\r\n" + Format(res.TotalOptMSRP, kMoneyPattern));
  }

  res.MarginPerc = res.TotalInvoice != 0 ? page.Margin / res.TotalInvoice : 0;
  res.PurchPrice = res.TotalInvoice + page.Margin;

  CalcStartUpTaxes();
  SumStartUps();

  res.TotalTradeEquity = items.TradeEquity.Cap + items.TradeEquity.Cash;
  res.MSRP = res.TotalMSRP;
  res.GrossCapCost = res.PurchPrice + res.TotalStartUps.Cap + items.TotalAdjust.Cap + items.TradeEquity.Cap;
  res.CapCost = res.PurchPrice - page.CapRd + res.TotalStartUps.Cap + items.TotalAdjust.Cap;

  res.OptionDiscountTotal = page.UseFullMSRP != 0 ? SumOptionDiscounts() : 0;

  // The residual basis: the MSRP before option discounts when the page uses the full MSRP.
  const double basis = res.TotalMSRP + res.OptionDiscountTotal;
  res.ResPerc = (res.TotalMSRP != 0 && basis != 0) ? page.Residual / basis : 0.0;

  if (tax.NoInterestOnLuxuryTax == 0) {
    res.PaymentNT = CalcBasePayment(res.CapCost, page.Residual, page.Factor, page.Factor2, page.Months);
  } else if (page.Months == 0) {
    res.PaymentNT = 0;
  } else {
    // A capitalised luxury tax is repaid over the term without rent charge.
    res.PaymentNT = CalcBasePayment(res.CapCost - items.LuxuryTax.Cap, page.Residual, page.Factor, page.Factor2,
                                    page.Months) +
                    items.LuxuryTax.Cap / page.Months;
  }

  const double rate = tax.LeaseTaxRate;
  if (tax.TaxMethod == 0) {
    if (items.LuxuryTax.AlsoTax == 0) {
      res.PaymentWT = res.PaymentNT * (1 + rate / 100);
    } else if (page.Months == 0) {
      res.PaymentWT = 0;
    } else {
      // The luxury tax carries its own up-front tax, so its monthly part is not taxed again.
      res.PaymentWT = res.PaymentNT + (res.PaymentNT - items.LuxuryTax.Cap / page.Months) * rate / 100;
    }
  } else {
    // Methods 1 to 3 charge the lease tax up front (the STaxSumPmt item).
    res.PaymentWT = res.PaymentNT;
  }

  res.TotalRent = (res.CapCost + page.Residual) * page.Factor * page.Months;

  const double depositCash = items.Security.Cash, firstCash = items.FirstPayment.Cash;
  items.Security.Amount = RoundSecurityDeposit();
  if (items.Security.ManualSplit == 0 && items.Security.Cap == 0) items.Security.Cash = items.Security.Amount;

  items.FirstPayment.Amount = res.PaymentWT;
  if (items.FirstPayment.ManualSplit == 0 && items.FirstPayment.Cap == 0) items.FirstPayment.Cash = res.PaymentWT;

  if (SkipCompare == 0) {
    // The comparison counts the deposit and the first payment just set: the cash total is
    // brought up to them first (only cash parts change here, so the cap cost stands).
    if (items.Security.Cash != depositCash || items.FirstPayment.Cash != firstCash) SumStartUps();
    CompareBlock();
  }
}

Var Engine::CalcBasePayment(double cap, double residual, double& factor, double factor2, double months) {
  if (months == 0) return Var();
  switch (page.LType) {
    case 0:  // constant yield
      return (cap + residual) * factor + (cap - residual) / months;
    case 1:
      return (cap - residual) / months + cap * factor;
    case 2:
      return cap * factor - residual * factor2;
    case 3:  // the factor follows from the APR; the admin factor is charged on the cap
      factor = FactorFromAPR(cap, residual, page.FordAPR, months);
      return (cap + residual) * factor + (cap - residual) / months + cap * page.FordAdminFactor;
    default:
      return 0.0;
  }
}

double Engine::FactorFromAPR(double cap, double residual, double apr, double months) const {
  const double i = apr / 12;
  if (i == 0 || months == 0 || cap + residual == 0) return 0;
  const double p = std::pow(1 + i, months);
  const double q = std::pow(1 + i, months - 1);
  // A rate of -100 % a month, or one too small to move (1 + i) away from 1, has no factor.
  if (p == 0 || p - 1 == 0) return 0;
  // The level payment at the start of each month that pays the cap down to the residual.
  const double a = (cap - residual / p) * i * q / (p - 1);
  double f = 0;
  switch (page.LType) {
    case 0:
    case 3:
      f = (a - (cap - residual) / months) / (cap + residual);
      break;
    case 1:
      if (cap == 0) return 0;
      f = a / cap - (cap - residual) / (months * cap);
      break;
    default:
      return 0;
  }
  return std::isfinite(f) ? f : 0;
}

double Engine::APRFromFactor(double cap, double residual, double& factor, double months) {
  if (factor == 0 || months == 0 || residual == 0) return 0;

  // Methods 0, 1 and 3: adjust the trial rate until its factor meets the given one.
  auto search = [&](double x) -> double {
    for (int k = 1;; ++k) {
      const double f = FactorFromAPR(cap, residual, x, months);
      if (f == 0) return 0;  // the trial rate gives no factor: there is no rate to report
      const double e = (factor - f) / factor;
      if (std::fabs(e) < 0.00001 || k == 50) break;
      x = x * (1 + e / 4);
    }
    return std::isfinite(x) ? x : 0;
  };

  switch (page.LType) {
    case 0:
      return search(factor * 24);
    case 1:
      return search(factor * 12);
    case 3:
      if (cap + residual == 0) return 0;
      // The factor implied by the payment, admin part included.
      factor = (res.PaymentNT - (cap - residual) / months) / (cap + residual);
      if (factor == 0) return 0;
      return search(factor * 24);
    case 2: {
      const double factor2 = page.Factor2;
      if (factor2 == 0 || factor <= factor2) return 0;
      const double target = cap * factor - residual * factor2;
      bool ok = true;
      // The payment at a trial annual rate; at a rate of 0 its limit (cap - residual) / months.
      auto pmt = [&](double x) -> double {
        if (x == 0) return (cap - residual) / months;
        const double g = 1 + x / 12;
        const double gn = std::pow(g, months);
        if (gn - 1 == 0) return (cap - residual) / months;
        const double v = (cap - residual / gn) * (x / 12) * std::pow(g, months - 1) / (gn - 1);
        if (!std::isfinite(v)) ok = false;
        return v;
      };
      double x = factor + factor2;
      // Coarse scan in steps of 1 %, then a fine scan in steps of 0.001 %.
      double d = target - pmt(x);
      if (!ok) return 0;
      const int s0 = Sgn(d);
      for (int k = 1;; ++k) {
        if (k > 1) {
          d = target - pmt(x);
          if (!ok) return 0;
        }
        if (Sgn(d) != s0 || k == 2000 || d == 0) break;
        x = x + 0.01 * Sgn(d);
      }
      d = target - pmt(x);
      if (!ok) return 0;
      const int s1 = Sgn(d);
      for (int k = 1;; ++k) {
        if (k > 1) {
          d = target - pmt(x);
          if (!ok) return 0;
        }
        if (std::fabs(d) < 0.001 || Sgn(d) != s1 || k == 2000) break;
        x = x + 0.00001 * Sgn(d);
      }
      return x;
    }
    default:
      return 0;
  }
}

// Discount rows carry the amount in their description: "... Discount X/1500; ...".
double Engine::SumOptionDiscounts() {
  res.OptionDiscountTotal = 0;
  const int rows = OptionList.MaxRow();
  for (int k = 1; k <= rows; ++k) {
    const grid::Cell* cell = OptionList.CellAt(k, 1);
    if (cell == nullptr || cell->kind != grid::Cell::Kind::Text) continue;
    const std::string_view t = cell->text;
    const size_t p = t.find("Discount");
    if (p == std::string_view::npos) continue;
    // The word and the one character after it are skipped.
    const std::string_view s = p + 9 <= t.size() ? t.substr(p + 9) : std::string_view();
    const size_t slash = s.find('/');
    const size_t from = slash == std::string_view::npos ? 0 : slash + 1;
    size_t to = s.find_first_of("; ", from);
    if (to == std::string_view::npos) to = s.size();
    res.OptionDiscountTotal += TextValue(s.substr(from, to - from));
  }
  return res.OptionDiscountTotal;
}

void Engine::AskRecalcResidual(double oldResPerc, double oldMSRP) {
  if (page.Residual == 0 || oldMSRP == res.TotalMSRP) return;
  const std::string text = "The MSRP has changed. Do you wish to\r\nrecalculate the Residual based on\r\n" +
                           Format(oldResPerc, "##.0%") + " of MSRP?";
  if (ui::GetPrompt().MsgBox(text, ui::Buttons::YesNo, ui::Icon::None, ui::Title{""}) != ui::Answer::Yes) return;
  res.OptionDiscountTotal = page.UseFullMSRP != 0 ? SumOptionDiscounts() : 0;
  const double residual = RoundNum((res.MSRP + res.OptionDiscountTotal) * oldResPerc, 2);
  // An MSRP beyond the range of numbers gives no residual: the old one stays.
  if (std::isfinite(residual)) page.Residual = residual;
}

}  // namespace qv
