#include "reports/ReportFields.h"

#include <functional>
#include <unordered_map>

#include "engine/Runtime.h"

namespace qv::reports {

namespace {

constexpr const char* kMoney = "$#,###.00;($#,###.00); ";

struct Env {
  Engine& e;
  const CustomerRecord& c;
  const Date& today;
};

using Rule = std::function<std::string(const Env&)>;

std::string Money(double v) { return Format(v, kMoney); }

// The money-pattern rule of a value read from the engine.
template <class F>
Rule MoneyOf(F get) {
  return [get](const Env& env) { return Money(get(env.e)); };
}
template <class F>
Rule PatternOf(const char* pattern, F get) {
  return [get, pattern](const Env& env) { return Format(get(env.e), pattern); };
}
template <class F>
Rule GeneralOf(F get) {
  return [get](const Env& env) { return GeneralNumber(static_cast<double>(get(env.e))); };
}

using Table = std::unordered_map<std::string, Rule>;

void AddStartUpItem(Table& t, const std::string& stem, StartUpItem PageItems::*item, bool withTotal = true) {
  t[stem + ".Cap"] = MoneyOf([item](const Engine& e) { return (e.items.*item).Cap; });
  t[stem + ".Cash"] = MoneyOf([item](const Engine& e) { return (e.items.*item).Cash; });
  if (withTotal)
    t[stem + ".Total"] = MoneyOf([item](const Engine& e) { return (e.items.*item).Cap + (e.items.*item).Cash; });
}

Table BuildTable() {
  Table t;
  // ---- page fields and results, money pattern
  t["PaymentNT"] = MoneyOf([](const Engine& e) { return e.res.PaymentNT; });
  t["PaymentWT"] = MoneyOf([](const Engine& e) { return e.res.PaymentWT; });
  t["Margin"] = MoneyOf([](const Engine& e) { return e.page.Margin; });
  t["PurchPrice"] = MoneyOf([](const Engine& e) { return e.res.PurchPrice; });
  t["CapCost"] = MoneyOf([](const Engine& e) { return e.res.CapCost; });
  t["GrossCapCost"] = MoneyOf([](const Engine& e) { return e.res.GrossCapCost; });
  t["MSRP"] = MoneyOf([](const Engine& e) { return e.res.MSRP; });
  t["Residual"] = MoneyOf([](const Engine& e) { return e.page.Residual; });
  t["BaseInv"] = MoneyOf([](const Engine& e) { return e.page.BaseInv; });
  t["BaseMSRP"] = MoneyOf([](const Engine& e) { return e.page.BaseMSRP; });
  t["Dest"] = MoneyOf([](const Engine& e) { return e.page.Dest; });
  t["CapRd"] = MoneyOf([](const Engine& e) { return e.page.CapRd; });
  t["TotalRent"] = MoneyOf([](const Engine& e) { return e.res.TotalRent; });
  t["DownPmt"] = MoneyOf([](const Engine& e) { return e.page.DownPmt; });
  t["EndLoan"] = MoneyOf([](const Engine& e) { return e.page.EndLoan; });
  t["Balloon"] = MoneyOf([](const Engine& e) { return e.page.Balloon; });
  t["Profit"] = MoneyOf([](const Engine& e) { return e.page.Profit; });
  t["Advertising"] = MoneyOf([](const Engine& e) { return e.page.Advertising; });
  t["Incentive"] = MoneyOf([](const Engine& e) { return e.page.Incentive; });
  t["Holdback"] = MoneyOf([](const Engine& e) { return e.page.Holdback; });
  t["Other"] = MoneyOf([](const Engine& e) { return e.page.Other; });
  t["PurchRebate"] = MoneyOf([](const Engine& e) { return double(e.page.PurchRebate); });
  t["PurchRegistration"] = MoneyOf([](const Engine& e) { return double(e.page.PurchRegistration); });
  t["PurchTitle"] = MoneyOf([](const Engine& e) { return double(e.page.PurchTitle); });
  t["PurchSales"] = MoneyOf([](const Engine& e) { return double(e.page.PurchSales); });
  t["PurchLuxuryTax"] = MoneyOf([](const Engine& e) { return double(e.page.PurchLuxuryTax); });
  t["PurchOther"] = MoneyOf([](const Engine& e) { return double(e.page.PurchOther); });
  t["PurchUseTax"] = MoneyOf([](const Engine& e) { return double(e.page.PurchUseTax); });
  t["PurchPropertyTax"] = MoneyOf([](const Engine& e) { return double(e.page.PurchPropertyTax); });
  t["TotalTaxFee"] = MoneyOf([](const Engine& e) { return e.res.TotalTaxFee; });
  t["TradePayoff"] = MoneyOf([](const Engine& e) { return e.items.TradePayoff; });
  t["TradeAllowance"] = MoneyOf([](const Engine& e) { return e.items.TradeAllowance; });
  t["TotalTradeEquity"] = MoneyOf([](const Engine& e) { return e.res.TotalTradeEquity; });

  // ---- lease / loan / cash comparison
  t["LeaseFC"] = MoneyOf([](const Engine& e) { return e.res.LeaseFC; });
  t["LLIIC"] = MoneyOf([](const Engine& e) { return e.res.LLIIC; });
  t["LLIPmt"] = MoneyOf([](const Engine& e) { return e.res.LLIPmt; });
  t["LCashReqd"] = MoneyOf([](const Engine& e) { return e.res.LCashReqd; });
  t["PurchFC"] = MoneyOf([](const Engine& e) { return e.res.PurchFC; });
  t["PLIIC"] = MoneyOf([](const Engine& e) { return e.res.PLIIC; });
  t["PLIPmt"] = MoneyOf([](const Engine& e) { return e.res.PLIPmt; });
  t["PurPmnt"] = MoneyOf([](const Engine& e) { return e.res.PurPmnt; });
  t["PCashReqd"] = MoneyOf([](const Engine& e) { return e.res.PCashReqd; });
  t["PInitCost"] = MoneyOf([](const Engine& e) { return e.res.PInitCost; });
  t["LoanPrinciple"] = MoneyOf([](const Engine& e) { return e.res.LoanPrinciple; });
  t["Payoff"] = MoneyOf([](const Engine& e) { return double(e.res.Payoff); });
  t["CashFC"] = MoneyOf([](const Engine& e) { return e.res.CashFC; });
  t["CLIIC"] = MoneyOf([](const Engine& e) { return e.res.CLIIC; });
  t["CCashReqd"] = MoneyOf([](const Engine& e) { return e.res.CCashReqd; });
  t["CInitCost"] = MoneyOf([](const Engine& e) { return e.res.CInitCost; });
  t["LInitCost"] = MoneyOf([](const Engine& e) { return e.res.LInitCost; });
  t["LeaseCashRatio"] = PatternOf("#.00", [](const Engine& e) { return double(e.res.LeaseCashRatio); });
  t["LeaseLoanRatio"] = PatternOf("#.00", [](const Engine& e) { return double(e.res.LeaseLoanRatio); });
  t["LoanCashRatio"] = PatternOf("#.00", [](const Engine& e) { return double(e.res.LoanCashRatio); });

  // ---- page values with their own pattern
  t["Months"] = PatternOf("##.0;; ", [](const Engine& e) { return e.page.Months; });
  t["Factor"] = PatternOf(".0000000;; ", [](const Engine& e) { return e.page.Factor; });
  t["ResPerc"] = PatternOf("##.0%;; ", [](const Engine& e) { return double(e.res.ResPerc); });
  t["LoanRate"] = PatternOf("##.00%;; ", [](const Engine& e) { return e.page.LoanRate; });
  t["InvestRate"] = PatternOf("##.00%;; ", [](const Engine& e) { return e.page.InvestRate; });
  t["CashMonths"] = PatternOf("#.00;; ", [](const Engine& e) { return e.page.CashMonths; });
  t["LoanMonths"] = PatternOf("#.00;; ", [](const Engine& e) { return e.page.LoanMonths; });
  t["MarginPerc"] = PatternOf("0.00%", [](const Engine& e) { return e.res.MarginPerc; });
  t["APR"] = [](const Env& env) {
    Engine& e = env.e;
    double factor = e.page.Factor;  // the rate search may change the factor it is given
    return Format(e.APRFromFactor(e.res.CapCost, e.page.Residual, factor, e.page.Months), "##.00%");
  };
  t["CarName"] = [](const Env& env) { return env.e.page.CarName; };
  t["Memo"] = [](const Env& env) { return env.e.page.Memo; };
  t["Pagenum"] = GeneralOf([](const Engine& e) { return e.CurrentPage; });
  t["LType"] = GeneralOf([](const Engine& e) { return e.page.LType; });
  t["CustomerID"] = GeneralOf([](const Engine& e) { return e.page.CustomerID; });

  // ---- computed lease figures
  t["PaymentTax"] = [](const Env& env) {
    const Engine& e = env.e;
    return e.tax.TaxMethod == 0 ? Money(e.res.PaymentWT - e.res.PaymentNT) : std::string("N/A");
  };
  t["SumLeasePayments"] = MoneyOf([](const Engine& e) { return e.page.Months * e.res.PaymentWT; });
  t["SumRemLsePmts"] = MoneyOf([](const Engine& e) { return (e.page.Months - 1) * e.res.PaymentWT; });
  t["SumLoanPmts"] = MoneyOf([](const Engine& e) { return e.page.Months * e.res.PurPmnt; });
  t["Depreciation"] = MoneyOf([](const Engine& e) { return e.res.CapCost - e.page.Residual; });
  // With no term there is no monthly share: the zero section (a blank), not a division by 0.
  t["MonthlyDepreciation"] = MoneyOf(
      [](const Engine& e) { return e.page.Months == 0 ? 0.0 : (e.res.CapCost - e.page.Residual) / e.page.Months; });
  t["Cap+Residual"] = MoneyOf([](const Engine& e) { return e.res.CapCost + e.page.Residual; });
  t["MonthlyRentChg"] = MoneyOf([](const Engine& e) { return (e.res.CapCost + e.page.Residual) * e.page.Factor; });
  t["TotalTaxable"] = MoneyOf([](const Engine& e) { return e.res.PurchPrice - e.items.TradeAllowance; });
  t["Ford APR"] = [](const Env& env) {
    return env.e.page.LType == 3 ? Money(env.e.page.FordAPR) : std::string("N/A");
  };
  t["FordAdminFee"] = [](const Env& env) {
    const Engine& e = env.e;
    return e.page.LType == 3 ? Money(e.res.CapCost * e.page.FordAdminFactor) : std::string("N/A");
  };

  // ---- start-up cost items
  AddStartUpItem(t, "FirstPayment", &PageItems::FirstPayment);
  AddStartUpItem(t, "Security", &PageItems::Security);
  AddStartUpItem(t, "Registration", &PageItems::Registration);
  AddStartUpItem(t, "TitleFee", &PageItems::Title);
  AddStartUpItem(t, "DocumentFee", &PageItems::DocumentFee);
  AddStartUpItem(t, "STaxSumPmt", &PageItems::STaxSumPmt);
  // What the up-front lease tax is charged on under the setting's method.
  t["STaxSumPmt.Caption"] = [](const Env& env) {
    return std::string(env.e.tax.TaxMethod == 1 ? "Tax on the purchase price" : "Tax on the sum of payments");
  };
  AddStartUpItem(t, "CapRedTax", &PageItems::CapRedTax);
  AddStartUpItem(t, "RebateTax", &PageItems::RebateTax);
  AddStartUpItem(t, "LuxuryTax", &PageItems::LuxuryTax);
  AddStartUpItem(t, "Acquisition", &PageItems::Acquisition);
  AddStartUpItem(t, "LeaseRebate", &PageItems::LeaseRebate);
  AddStartUpItem(t, "PrePaidMileFee", &PageItems::PrePaidMileFee);
  AddStartUpItem(t, "OtherFee", &PageItems::OtherFee);
  AddStartUpItem(t, "STaxOnFeesTaxes", &PageItems::STaxOnFeesTaxes);
  AddStartUpItem(t, "TradeEquity", &PageItems::TradeEquity, false);
  t["TotalStartUps.Cap"] = MoneyOf([](const Engine& e) { return e.res.TotalStartUps.Cap; });
  t["TotalStartUps.Cash"] = MoneyOf([](const Engine& e) { return e.res.TotalStartUps.Cash; });
  t["TotalStartUps.Total"] =
      MoneyOf([](const Engine& e) { return e.res.TotalStartUps.Cap + e.res.TotalStartUps.Cash; });
  t["TotalStartUpsCapNTE"] =
      MoneyOf([](const Engine& e) { return e.res.TotalStartUps.Cap + e.items.TradeEquity.Cap; });
  t["STartupsCashWOtrade"] =
      MoneyOf([](const Engine& e) { return e.res.TotalStartUps.Cash + e.items.TradeEquity.Cash; });

  // ---- adjustments and end-of-lease fees
  t["TotalAdjust.Cap"] = MoneyOf([](const Engine& e) { return e.items.TotalAdjust.Cap; });
  t["TotalAdjust.Cash"] = MoneyOf([](const Engine& e) { return e.items.TotalAdjust.Cash; });
  t["TotalAdjust.Total"] = MoneyOf([](const Engine& e) { return e.items.TotalAdjust.Cap + e.items.TotalAdjust.Cash; });
  t["TotalEOLFees"] = MoneyOf([](const Engine& e) { return e.items.TotalEOLFees; });

  // ---- mileage
  t["AllowedMiles"] = GeneralOf([](const Engine& e) { return e.page.AllowedMiles; });
  t["AllowedMilesTotal"] = GeneralOf([](const Engine& e) { return e.page.AllowedMiles * e.page.Months / 12; });
  t["Years"] = PatternOf("#.0", [](const Engine& e) { return e.page.Months / 12; });
  t["PrePaidAdditionalMiles"] = [](const Env& env) {
    const PageRecord& p = env.e.page;
    if (p.PrePaidActualMiles > p.AllowedMiles)
      return GeneralNumber((static_cast<double>(p.PrePaidActualMiles) - p.AllowedMiles) / 12 * p.Months);
    return std::string("0");
  };
  t["TotalMiles"] = GeneralOf([](const Engine& e) {
    const PageRecord& p = e.page;
    return p.PrePaidActualMiles > p.AllowedMiles ? static_cast<double>(p.PrePaidActualMiles) / 12 * p.Months
                                                 : static_cast<double>(p.AllowedMiles) / 12 * p.Months;
  });
  t["PrePaidCentsPerMile"] = GeneralOf([](const Engine& e) { return e.page.PrePaidCentsPerMile; });
  t["EOLActualMiles"] = GeneralOf([](const Engine& e) { return e.page.EOLActualMiles; });
  t["EOLCentsPerMile"] = GeneralOf([](const Engine& e) { return e.page.EOLCentsperMile; });

  // ---- payment tables window columns A, B, C
  const char* const cols[] = {"A", "B", "C"};
  for (int i = 1; i <= 3; ++i) {
    const std::string c = cols[i - 1];
    t["MonthsCol" + c] = PatternOf("#.00", [i](const Engine& e) { return double(e.TableMonths[i]); });
    t["FactorCol" + c] = PatternOf(".000000", [i](const Engine& e) { return double(e.TableFactors[i]); });
    t["ResCol" + c] = MoneyOf([i](const Engine& e) { return double(e.TableResiduals[i]); });
  }

  // ---- customer
  t["Name"] = [](const Env& env) { return env.c.Name; };
  t["Address"] = [](const Env& env) { return env.c.Address; };
  t["City"] = [](const Env& env) { return env.c.City; };
  t["State"] = [](const Env& env) { return env.c.State; };
  t["Zip"] = [](const Env& env) { return env.c.Zip; };
  t["HomePhone"] = [](const Env& env) { return env.c.HomePhone; };
  t["DayPhone"] = [](const Env& env) { return env.c.DayPhone; };
  t["Fax"] = [](const Env& env) { return env.c.Fax; };
  t["Notes"] = [](const Env& env) { return env.c.Notes; };
  t["ContactDate"] = [](const Env& env) { return env.c.ContactDate; };

  // ---- date
  t["Date"] = [](const Env& env) { return FormatDateLong(env.today); };
  return t;
}

const Table& FieldTable() {
  static const Table t = BuildTable();
  return t;
}

}  // namespace

std::string ReportFieldValue(const ReportContext& ctx, std::string_view name, const CustomerRecord& customer) {
  const Table& t = FieldTable();
  const auto it = t.find(std::string(name));
  if (it == t.end()) return {};
  const Date today = ctx.today ? *ctx.today : Today();
  return it->second(Env{ctx.e, customer, today});
}

std::string ReportFieldValue(const ReportContext& ctx, std::string_view name) {
  return ReportFieldValue(ctx, name, AttachedCustomer(ctx));
}

CustomerRecord AttachedCustomer(const ReportContext& ctx) {
  const int32_t id = ctx.e.page.CustomerID;
  if (id == 0) return {};
  const CustomerList* list = ctx.sources.customers ? ctx.sources.customers() : nullptr;
  if (list) return list->Lookup(id).value_or(CustomerRecord{});
  // The customer window is not loaded: read the list from its file.
  CustomerList fromFile;
  std::string error;
  if (fromFile.Load(ctx.e.AppFolder, error) != CustomerList::LoadResult::Loaded) return {};
  return fromFile.Lookup(id).value_or(CustomerRecord{});
}

bool IsReportFieldName(std::string_view name) { return FieldTable().count(std::string(name)) != 0; }

std::vector<std::string> ReportFieldNames() {
  std::vector<std::string> out;
  for (const auto& [k, v] : FieldTable()) out.push_back(k);
  return out;
}

}  // namespace qv::reports
