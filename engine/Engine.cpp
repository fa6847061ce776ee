#include "engine/Engine.h"

#include "engine/Runtime.h"

namespace qv {

namespace {

// Column heading texts of sheet "Worksht"; columns 48 to 50 carry none.
constexpr const char* kWorkshtHeadings[] = {
    "CT",          "CarName",        "BaseInv",          "BaseMSRP",        "Dest",
    "Margin",      "Factor",         "Factor2",          "Months",          "Residual",
    "CapRd",       "TabParam",       "LType",            "MfgNum",          "CashMonths",
    "LoanMonths",  "DownPmt",        "EndLoan",          "Memo",            "CustomerID",
    "LoanRate",    "InvestRate",     "AllowedMiles",     "PrePaidActualMiles", "EOLActualMiles",
    "PrePaidCentsPerMile", "EOLCentsperMile", "Profit",  "Incentive",       "Advertising",
    "Holdback",    "Other",          "DiscMSRP",         "PurchRebate",     "PurchRegistration",
    "PurchTitle",  "PurchSales",     "PurchUse",         "PurchProperty",   "PurchLuxuryTax",
    "PurchOther",  "PurchSalesForced", "PurchUseForced", "PurchPropForced", "PurchLTForced",
    "CustomerName", "Balloon"};

constexpr const char* kOptionsHeadings[] = {"WorkshtNum", "OptionName", "OptInv", "OptMSRP", "Dummy"};

// Columns 1 to 19; from column 15 on the items are stored one column to the right of
// their heading (column 20 has none), as every worksheet file has it.
constexpr const char* kStartUpsHeadings[] = {
    "Security",   "Registration", "Title",     "SalesTax",    "CapRedTax",      "FirstPayment", "Acquisition",
    "PrePaidMileFee", "LuxuryTax", "TradeEquity", "PersPropTax", "UseTax",       "LeaseRebate",  "Trade",
    "DocumentFee", "RebateTax",   "OtherFee",  "STaxOnFeesTaxes", "STaxSumPmt"};

constexpr const char* kAdjustmentsHeadings[] = {"Adjustment1/2", "Adjustment3/4", "Adjustment5/6",
                                                "Adjustment7/8", "Adjustment9/10", "TotalAdjust"};

constexpr const char* kEOLFeesHeadings[] = {"EOLFees1/2", "EOLFees3/4", "EOLFees5/6",
                                            "EOLFees7/8", "EOLFees9/10", "TotalEOLFees"};

struct SheetLayout {
  const char* name;
  const char* const* headings;
  int count;
};

template <size_t N>
constexpr SheetLayout Layout(const char* name, const char* const (&h)[N]) {
  return {name, h, static_cast<int>(N)};
}

const SheetLayout kSheets[5] = {
    Layout("Worksht", kWorkshtHeadings),         Layout("Options", kOptionsHeadings),
    Layout("StartUps", kStartUpsHeadings),       Layout("Adjustments", kAdjustmentsHeadings),
    Layout("EOLFees", kEOLFeesHeadings)};

// The start-up costs sheet: captions of rows 1 to 17 (row 1 holds the column titles in
// columns 2 and 3, not a caption), and the check-box objects of column 4.
struct StartUpRowLayout {
  const char* caption;
  int checkBoxId;
  const char* checkBoxName;
};

const StartUpRowLayout kStartUpRows[18] = {
    {"", 0, ""},                                         // (no row 0)
    {"", 0, ""},                                         // 1 column titles
    {"First Payment", 0, ""},                            // 2
    {"Security Deposit", 1, "chkSecurity"},              // 3
    {"Registration Fee", 2, "chkRegistration"},          // 4
    {"Title Fee", 3, "chkTitle"},                        // 5
    {"Document Fee", 4, "chkDocFee"},                    // 6
    {"Tax on Sum of Pmts", 0, ""},                       // 7 (rewritten by tax method)
    {"Tax on Cap Reduction", 6, "chkCapRedTax"},         // 8
    {"Tax on Rebate", 7, "chkTaxOnRebate"},              // 9
    {"Luxury Tax", 8, "chkLuxuryTax"},                   // 10
    {"Less              Equity", 9, "chkTradeEquity"},   // 11 (the Trade button sits in the gap)
    {"Acquisition Fee", 10, "chkAcquisition"},           // 12
    {"Factory-to-Customer Rebate", 11, "chkRebate"},     // 13
    {"Pre-Paid             ", 12, "chkPrePaidMileFee"},  // 14 (the Miles button sits in the gap)
    {"Other", 13, "chkOther"},                           // 15
    {"Tax on Fees & Taxes", 0, ""},                      // 16
    {"Total", 0, ""},                                    // 17
};

}  // namespace

int StartUpCheckBoxId(int row) {
  if (row < 1 || row > 17) return 0;
  return kStartUpRows[row].checkBoxId;
}

const char* StartUpCaption(int row) {
  if (row < 1 || row > 17) return "";
  return kStartUpRows[row].caption;
}

Engine::Engine() {
  ResetWorkbook();

  OptionList.SetName("OptionList");
  OptionList.SetColText(2, "Invoice");
  OptionList.SetColText(3, "MSRP");

  StartUpsSheet.SetName("StartUps");
  StartUpsSheet.SetTextRC(1, 2, "Capitalize");
  StartUpsSheet.SetTextRC(1, 3, "      Cash     Taxable     Tax");
  for (int row = 2; row <= 17; ++row) {
    StartUpsSheet.SetTextRC(row, 1, kStartUpRows[row].caption);
    if (kStartUpRows[row].checkBoxId != 0)
      StartUpsSheet.AddCheckBox(kStartUpRows[row].checkBoxId, row, 4, kStartUpRows[row].checkBoxName);
  }
  StartUpsSheet.SetMaxRow(17);
  // The window opens with the Taxable and Tax columns folded away.
  StartUpsSheet.SetMaxCol(3);
  StartUpsSheet.SetActiveCell(2, 2);
}

void Engine::ResetWorkbook() {
  WKS = grid::Workbook();
  WKS.SetNumSheets(5);
  for (int n = 1; n <= 5; ++n) {
    grid::Sheet& s = WKS.SheetAt(n);
    s = grid::Sheet(kSheets[n - 1].name);
    for (int c = 1; c <= kSheets[n - 1].count; ++c) s.SetColText(c, kSheets[n - 1].headings[c - 1]);
  }
  WKS.SetSheet(1);
}

bool Engine::IsWorksheetWorkbook(const grid::Workbook& wb, std::string& why) {
  if (wb.NumSheets() < 5) {
    why = "it holds " + std::to_string(wb.NumSheets()) + " sheet(s) instead of the five sheets of a worksheet";
    return false;
  }
  for (int n = 1; n <= 5; ++n) {
    if (wb.SheetName(n) != kSheets[n - 1].name) {
      why = "sheet " + std::to_string(n) + " is \"" + wb.SheetName(n) + "\" where a worksheet has \"" +
            kSheets[n - 1].name + "\"";
      return false;
    }
  }
  why.clear();
  return true;
}

void Engine::RestoreInputs(const PageInputs& in) {
  page = in.page;
  items = in.items;
}

StartUpItem* Engine::ItemOfRow(int row) {
  switch (static_cast<StartUpRow>(row)) {
    case StartUpRow::FirstPayment: return &items.FirstPayment;
    case StartUpRow::Security: return &items.Security;
    case StartUpRow::Registration: return &items.Registration;
    case StartUpRow::Title: return &items.Title;
    case StartUpRow::DocumentFee: return &items.DocumentFee;
    case StartUpRow::STaxSumPmt: return &items.STaxSumPmt;
    case StartUpRow::CapRedTax: return &items.CapRedTax;
    case StartUpRow::RebateTax: return &items.RebateTax;
    case StartUpRow::LuxuryTax: return &items.LuxuryTax;
    case StartUpRow::TradeEquity: return &items.TradeEquity;
    case StartUpRow::Acquisition: return &items.Acquisition;
    case StartUpRow::LeaseRebate: return &items.LeaseRebate;
    case StartUpRow::PrePaidMileFee: return &items.PrePaidMileFee;
    case StartUpRow::OtherFee: return &items.OtherFee;
    case StartUpRow::STaxOnFeesTaxes: return &items.STaxOnFeesTaxes;
    default: return nullptr;
  }
}

void Engine::ApplyDefaultRates() {
  page.LoanRate = cfg.DefaultLoanRate;
  page.InvestRate = cfg.DefaultInvestRate;
  page.FordAdminFactor = cfg.DefaultAdminFactor;
}

void Engine::StorePage() {
  SavePageFields();
  SavePageItems();
}

void Engine::LoadPage() {
  LoadPageFields();
  LoadPageItems();
  ShowPageOptions();
  RecalcPage();
}

}  // namespace qv
