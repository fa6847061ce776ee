#pragma once
// The sample deal: one page worked by hand, used by the tests, the benchmarks and the
// screenshot program (standard C++, no test framework).
//
// SetUpCommonPage(e) gives a fresh page:
//   BaseInv 20000, BaseMSRP 22000, Dest 500, no options, Margin 1000, Factor 0.0025,
//   Months 36, Residual 12000, CapRd 0, LType 0 (constant yield), DownPmt 2000, loan and
//   investment rates 0, DaysToFirstPayment 30; every start-up item 0 and placed by the
//   calculation (ManualSplit 0); no adjustments, fees or trade.
// and the "Home" tax setting with the default values of a new setting:
//   LeaseTaxRate 6, TaxMethod 0, DefaultCapCash 1, AlsoTaxCapRedCash 1, BuyTaxRate 6,
//   LocalTaxRate 0, MaxLocalTax 0, ExclTradeFromLocal 1, LuxuryTaxRate 6,
//   LuxuryTaxCapCash 1, LuxuryThreshold 36000, NoInterestOnLuxuryTax 1, MaxTax 0,
//   AlsoTaxRebateCash 0; of the items only RebateTax and LeaseRebate are also taxed.
//
// Worked by hand for that page: TotalInvoice 20500, TotalMSRP 22500, PurchPrice 21500,
// CapCost 21500, PaymentNT 347.638889, PaymentWT 368.497222, TotalRent 3015.00, security
// deposit 375 in cash, LInitCost 743.50, LeaseFC 13265.902778.
//
// The helpers set values only; they call no engine procedure, so a test of one procedure
// does not depend on another.
#include "engine/Engine.h"

namespace qv::sample {

// The deal fields of the common page (the values above); the other fields stay as they are.
inline void SetCommonDealFields(PageRecord& p) {
  p.BaseInv = 20000;
  p.BaseMSRP = 22000;
  p.Dest = 500;
  p.Margin = 1000;
  p.Factor = 0.0025;
  p.Months = 36;
  p.Residual = 12000;
  p.CapRd = 0;
  p.LType = 0;
  p.DownPmt = 2000;
  p.LoanRate = 0;
  p.InvestRate = 0;
  p.DaysToFirstPayment = 30;
}

// The vehicle of the sample guide (data-src/guide) that the screens show: vehicle line 1 of
// the car guide, "2000 Tarvic Solvane", type "4dr Sedan Plus" under the heading "Sedans"
// (invoice 17301, MSRP 18995, destination 485), with its residual line TARVIC
// "SOLVANE 4DR PLUS" of the 2000 residual guide (36 months: 52 %).
inline constexpr const char* kGuideCarName = "2000 Tarvic Solvane: Sedans 4dr Sedan Plus";
inline constexpr int16_t kGuideMfgNum = 1;

// Names the page's vehicle as the guide's vehicle (class, vehicle line, vehicle text) and
// keeps its figures: the deal figures worked by hand above stay as they are.
inline void SetGuideVehicle(PageRecord& p) {
  p.CT = "C";
  p.MfgNum = kGuideMfgNum;
  p.CarName = kGuideCarName;
}

inline void SetHomeTaxSetting(Engine& e) {
  TaxSetting& t = e.tax;
  t = TaxSetting{};
  t.TaxSetName = "Home";
  t.LeaseTaxRate = 6;
  t.TaxMethod = 0;
  t.DefaultCapCash = 1;
  t.AlsoTaxCapRedCash = 1;
  t.BuyTaxRate = 6;
  t.LocalTaxRate = 0;
  t.MaxLocalTax = 0;
  t.ExclTradeFromLocal = 1;
  t.LuxuryTaxRate = 6;
  t.LuxuryTaxCapCash = 1;
  t.LuxuryThreshold = 36000;
  t.NoInterestOnLuxuryTax = 1;
  t.MaxTax = 0;
  t.AlsoTaxRebateCash = 0;
  PageItems& it = e.items;
  for (StartUpItem* item : {&it.Security, &it.Registration, &it.Title, &it.SalesTax, &it.CapRedTax,
                            &it.FirstPayment, &it.Acquisition, &it.PrePaidMileFee, &it.LuxuryTax, &it.TradeEquity,
                            &it.LeaseRebate, &it.DocumentFee, &it.RebateTax, &it.OtherFee, &it.STaxOnFeesTaxes,
                            &it.STaxSumPmt})
    item->AlsoTax = 0;
  it.RebateTax.AlsoTax = 1;
  it.LeaseRebate.AlsoTax = 1;
}

inline void SetUpCommonPage(Engine& e) {
  e.page = PageRecord{};
  e.items = PageItems{};
  e.res = PageResults{};
  e.settledCycle = {};
  PageRecord& p = e.page;
  p.CT = "C";
  p.CarName = "Common test page";
  SetCommonDealFields(p);
  e.OptionList.ClearAll();
  e.OptionList.SetMaxRow(1);
  SetHomeTaxSetting(e);
  e.SkipItemReload = 0;
  e.SkipCompare = 0;
  e.SkipSheetFormat = 0;
}

// A result display that only counts its calls.
class CountingHost : public EngineHost {
 public:
  void ShowPageResults() override { ++shown; }
  int shown = 0;
};

}  // namespace qv::sample
