// Store and load of the current page: its 50 fields in sheet "Worksht", its start-up items
// and trade values in "StartUps", its adjustments in "Adjustments" and its end-of-lease fees
// in "EOLFees", one row per page. Several values share a cell, joined by TABs.
#include <array>
#include <cmath>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/PageStore.h"
#include "engine/Runtime.h"

namespace qv {

std::string TabFreeText(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    if (ch == '\t') ch = ' ';
  return out;
}

namespace {

constexpr int kWorksht = 1, kStartUps = 3, kAdjustments = 4, kEOLFees = 5;

}  // namespace

grid::ReadLimits WorksheetReadLimits() {
  grid::ReadLimits limits;
  limits.maxFileBytes = 256u << 20;
  limits.maxRows = kMaxPages;
  limits.maxCells = 4000000;
  limits.maxSheets = 10;
  limits.rowsAre = "pages a worksheet can hold";
  return limits;
}

bool FitsWorksheet(const grid::Workbook& wb, std::string& why) {
  const int pages = wb.SheetAt(kWorksht).MaxRow();
  if (pages > kMaxPages) {
    why = "it holds " + std::to_string(pages) + " pages, more than the " + std::to_string(kMaxPages) +
          " a worksheet can hold";
    return false;
  }
  for (int n : {kStartUps, kAdjustments, kEOLFees}) {
    const int rows = wb.SheetAt(n).MaxRow();
    if (rows > kMaxPages) {
      why = "its sheet " + wb.SheetName(n) + " holds " + std::to_string(rows) + " rows, more than the " +
            std::to_string(kMaxPages) + " pages a worksheet can hold";
      return false;
    }
  }
  why.clear();
  return true;
}

bool HoldsDealValues(grid::Workbook& wb, std::string& why) {
  constexpr int kOptions = 2;
  // The option prices: columns 3 and 4 of the options sheet.
  const grid::Sheet& options = wb.SheetAt(kOptions);
  for (int r = 1; r <= options.MaxRow(); ++r)
    for (int c : {3, 4})
      if (!IsDealValue(options.NumberRC(r, c))) {
        why = "page " + std::to_string(static_cast<int>(options.NumberRC(r, 1))) +
              " has an option price too large for a deal";
        return false;
      }
  Engine scratch;
  scratch.WKS = std::move(wb);
  const int pages = scratch.WKS.SheetAt(kWorksht).MaxRow();
  bool fits = true;
  for (int n = 1; n <= pages && fits; ++n) {
    scratch.CurrentPage = static_cast<int16_t>(n);
    scratch.LoadPageFields();
    scratch.LoadPageItems();
    switch (Engine::CheckDealInputs(scratch.SnapshotInputs())) {
      case Engine::InputFault::None:
        break;
      case Engine::InputFault::TooLarge:
        why = "page " + std::to_string(n) + " holds an amount too large for a deal";
        fits = false;
        break;
      case Engine::InputFault::NegativeTerm:
        why = "page " + std::to_string(n) + " holds a negative number of months";
        fits = false;
        break;
    }
  }
  wb = std::move(scratch.WKS);
  if (fits) why.clear();
  return fits;
}

namespace {

// Start-up items and their columns in sheet "StartUps" (column 14 holds the trade values;
// 11, 12 and 15 are never written).
struct ItemColumn {
  int col;
  StartUpItem PageItems::*item;
};
constexpr ItemColumn kItemColumns[] = {
    {1, &PageItems::Security},        {2, &PageItems::Registration},     {3, &PageItems::Title},
    {4, &PageItems::SalesTax},        {5, &PageItems::CapRedTax},        {6, &PageItems::FirstPayment},
    {7, &PageItems::Acquisition},     {8, &PageItems::PrePaidMileFee},   {9, &PageItems::LuxuryTax},
    {10, &PageItems::TradeEquity},    {13, &PageItems::LeaseRebate},     {16, &PageItems::DocumentFee},
    {17, &PageItems::RebateTax},      {18, &PageItems::OtherFee},        {19, &PageItems::STaxOnFeesTaxes},
    {20, &PageItems::STaxSumPmt}};
constexpr int kTradeColumn = 14;

// Amounts of the start-up cells: at most three decimals, a point always written.
std::string ItemAmountText(double v) { return Format(v, "#.###"); }

// Splits a cell into N fields: each but the last is the text before the next TAB, the last
// is all that remains. Missing fields (a cell with fewer TABs) are empty.
template <size_t N>
std::array<std::string, N> SplitCell(const std::string& cell) {
  std::array<std::string, N> f{};
  if (cell.empty()) return f;
  std::string rest = cell;
  for (size_t i = 0; i + 1 < N; ++i) f[i] = Engine::NextTabField(rest);
  f[N - 1] = std::move(rest);
  return f;
}

}  // namespace

// ---- page fields ---------------------------------------------------------------------

std::string Engine::NextTabField(std::string& text) {
  size_t tab = text.find('\t');
  if (tab == std::string::npos) {
    // No TAB left: the whole text is the field, and nothing remains.
    std::string all = std::move(text);
    text.clear();
    return all;
  }
  std::string head = text.substr(0, tab);
  text.erase(0, tab + 1);
  return head;
}

void Engine::SavePageFields() {
  WKS.SetSheet(kWorksht);
  const int r = CurrentPage;
  auto text = [&](int col, const std::string& s) { WKS.SetTextRC(r, col, TabFreeText(s)); };
  // A value that is not a finite number is never stored: it goes in as 0.
  auto num = [&](int col, double v) { WKS.SetNumberRC(r, col, std::isfinite(v) ? v : 0); };
  const PageRecord& p = page;
  text(1, p.CT);
  text(2, p.CarName);
  num(3, p.BaseInv);
  num(4, p.BaseMSRP);
  num(5, p.Dest);
  num(6, p.Margin);
  num(7, p.Factor);
  num(8, p.Factor2);
  num(9, p.Months);
  num(10, p.Residual);
  num(11, p.CapRd);
  text(12, p.TabParam);
  num(13, p.LType);
  num(14, p.MfgNum);
  num(15, p.CashMonths);
  num(16, p.LoanMonths);
  num(17, p.DownPmt);
  num(18, p.EndLoan);
  text(19, p.Memo);
  num(20, p.CustomerID);
  num(21, p.LoanRate);
  num(22, p.InvestRate);
  num(23, p.AllowedMiles);
  num(24, p.PrePaidActualMiles);
  num(25, p.EOLActualMiles);
  num(26, p.PrePaidCentsPerMile);
  num(27, p.EOLCentsperMile);
  num(28, p.Profit);
  num(29, p.Incentive);
  num(30, p.Advertising);
  num(31, p.Holdback);
  num(32, p.Other);
  num(33, p.UseFullMSRP);
  num(34, p.PurchRebate);
  num(35, p.PurchRegistration);
  num(36, p.PurchTitle);
  num(37, p.PurchSales);
  num(38, p.PurchUseTax);
  num(39, p.PurchPropertyTax);
  num(40, p.PurchLuxuryTax);
  num(41, p.PurchOther);
  num(42, p.PurchSalesOverride);
  num(43, p.PurchUseTaxOverride);
  num(44, p.PurchPropertyTaxOverride);
  num(45, p.PurchLuxuryTaxOverride);
  text(46, p.CustomerName);
  num(47, p.Balloon);
  num(48, p.FordAPR);
  num(49, p.FordAdminFactor);
  num(50, p.DaysToFirstPayment);
  // Column 51 is never written, so the row text always ends with the TAB after field 50.
}

void Engine::LoadPageFields() {
  WKS.SetSheet(kWorksht);
  const int r = CurrentPage;
  // The whole row in one text: 51 cells joined by 50 TABs. A TAB inside a cell of a file
  // written elsewhere would move every later field, so it reads as a blank, as a typed one
  // is stored.
  WKS.SetSelection(r, 1, r, 51);
  std::string row;
  for (int c = 1; c <= 51; ++c) {
    if (c > 1) row += '\t';
    row += TabFreeText(WKS.TextRC(r, c));
  }

  auto text = [&] { return NextTabField(row); };
  auto dbl = [&] { return TextValue(NextTabField(row)); };
  // 16- and 32-bit fields round halves to the even neighbour and are clamped to their range.
  auto i16 = [&] { return ToInt16(TextValue(NextTabField(row))); };
  auto i32 = [&] { return ToInt32(TextValue(NextTabField(row))); };

  PageRecord& p = page;
  p.CT = text();
  p.CarName = text();
  p.BaseInv = dbl();
  p.BaseMSRP = dbl();
  p.Dest = dbl();
  p.Margin = dbl();
  p.Factor = dbl();
  p.Factor2 = dbl();
  p.Months = dbl();
  p.Residual = dbl();
  p.CapRd = dbl();
  p.TabParam = text();
  p.LType = i16();
  p.MfgNum = i16();
  p.CashMonths = dbl();
  p.LoanMonths = dbl();
  p.DownPmt = dbl();
  p.EndLoan = dbl();
  p.Memo = text();
  p.CustomerID = i32();
  p.LoanRate = dbl();
  p.InvestRate = dbl();
  p.AllowedMiles = i32();
  p.PrePaidActualMiles = i32();
  p.EOLActualMiles = i32();
  p.PrePaidCentsPerMile = dbl();
  p.EOLCentsperMile = dbl();
  p.Profit = dbl();
  p.Incentive = dbl();
  p.Advertising = dbl();
  p.Holdback = dbl();
  p.Other = dbl();
  p.UseFullMSRP = i16();
  p.PurchRebate = dbl();
  p.PurchRegistration = dbl();
  p.PurchTitle = dbl();
  p.PurchSales = dbl();
  p.PurchUseTax = dbl();
  p.PurchPropertyTax = dbl();
  p.PurchLuxuryTax = dbl();
  p.PurchOther = dbl();
  p.PurchSalesOverride = i16();
  p.PurchUseTaxOverride = i16();
  p.PurchPropertyTaxOverride = i16();
  p.PurchLuxuryTaxOverride = i16();
  p.CustomerName = text();
  p.Balloon = dbl();
  p.FordAPR = dbl();
  p.FordAdminFactor = dbl();
  p.DaysToFirstPayment = i16();
  if (p.DaysToFirstPayment == 0) p.DaysToFirstPayment = 30;
}

// ---- start-up items, adjustments, end-of-lease fees ----------------------------------

void Engine::SavePageItems() {
  WKS.SetSheet(kStartUps);
  const int r = CurrentPage;
  for (const ItemColumn& ic : kItemColumns) {
    const StartUpItem& it = items.*(ic.item);
    WKS.SetTextRC(r, ic.col,
                  ItemAmountText(it.Cap) + '\t' + ItemAmountText(it.Cash) + '\t' + StrNum(it.ManualSplit) + '\t' +
                      StrNum(it.SplitAux));
  }
  WKS.SetTextRC(r, kTradeColumn, ItemAmountText(items.TradePayoff) + '\t' + ItemAmountText(items.TradeAllowance));
  SavePageAdjustments();
  SavePageEOLFees();
  WKS.SetSheet(kWorksht);
}

void Engine::SavePageAdjustments() {
  WKS.SetSheet(kAdjustments);
  const int r = CurrentPage;
  for (int k = 1; k <= 5; ++k) {
    const AdjustmentRec& a = items.Adjustments[2 * k - 1];
    const AdjustmentRec& b = items.Adjustments[2 * k];
    WKS.SetTextRC(r, k,
                  TabFreeText(a.Desc) + '\t' + TabFreeText(b.Desc) + '\t' + StrNum(a.Cap) + '\t' + StrNum(b.Cap) +
                      '\t' + StrNum(a.Cash) + '\t' + StrNum(b.Cash));
  }
  WKS.SetTextRC(r, 6, StrNum(items.TotalAdjust.Cap) + '\t' + StrNum(items.TotalAdjust.Cash));
}

void Engine::SavePageEOLFees() {
  WKS.SetSheet(kEOLFees);
  const int r = CurrentPage;
  for (int k = 1; k <= 5; ++k) {
    const EOLFeeRec& a = items.EOLFees[2 * k - 1];
    const EOLFeeRec& b = items.EOLFees[2 * k];
    WKS.SetTextRC(r, k,
                  TabFreeText(a.Desc) + '\t' + TabFreeText(b.Desc) + '\t' + StrNum(a.Amount) + '\t' +
                      StrNum(b.Amount));
  }
  WKS.SetTextRC(r, 6, GeneralNumber(items.TotalEOLFees));
}

void Engine::LoadPageItems() {
  const int r = CurrentPage;
  WKS.SetSheet(kStartUps);
  for (const ItemColumn& ic : kItemColumns) {
    StartUpItem& it = items.*(ic.item);
    SplitItemCell(WKS.TextRC(r, ic.col), it.Cap, it.Cash, it.ManualSplit, it.SplitAux);
  }
  SplitTradeCell(WKS.TextRC(r, kTradeColumn), items.TradePayoff, items.TradeAllowance);

  WKS.SetSheet(kAdjustments);
  for (int k = 1; k <= 5; ++k) {
    AdjustmentRec& a = items.Adjustments[2 * k - 1];
    AdjustmentRec& b = items.Adjustments[2 * k];
    SplitAdjustmentCell(WKS.TextRC(r, k), a.Desc, b.Desc, a.Cap, b.Cap, a.Cash, b.Cash);
  }
  SplitTradeCell(WKS.TextRC(r, 6), items.TotalAdjust.Cap, items.TotalAdjust.Cash);

  WKS.SetSheet(kEOLFees);
  for (int k = 1; k <= 5; ++k) {
    EOLFeeRec& a = items.EOLFees[2 * k - 1];
    EOLFeeRec& b = items.EOLFees[2 * k];
    SplitEOLFeeCell(WKS.TextRC(r, k), a.Desc, b.Desc, a.Amount, b.Amount);
  }
  items.TotalEOLFees = ParseAmountText(WKS.TextRC(r, 6));

  WKS.SetSheet(kWorksht);
}

// ---- cell parsers ----------------------------------------------------------------------

void Engine::SplitItemCell(const std::string& cell, double& cap, double& cash, int16_t& manual, int16_t& aux) {
  auto f = SplitCell<4>(cell);
  cap = TextValue(f[0]);
  cash = TextValue(f[1]);
  manual = ToInt16(TextValue(f[2]));
  aux = ToInt16(TextValue(f[3]));
}

void Engine::SplitTradeCell(const std::string& cell, double& first, double& second) {
  auto f = SplitCell<2>(cell);
  first = TextValue(f[0]);
  second = TextValue(f[1]);
}

void Engine::SplitAdjustmentCell(const std::string& cell, std::string& desc1, std::string& desc2, double& cap1,
                                 double& cap2, double& cash1, double& cash2) {
  auto f = SplitCell<6>(cell);
  desc1 = std::move(f[0]);
  desc2 = std::move(f[1]);
  cap1 = TextValue(f[2]);
  cap2 = TextValue(f[3]);
  cash1 = TextValue(f[4]);
  cash2 = TextValue(f[5]);
}

void Engine::SplitEOLFeeCell(const std::string& cell, std::string& desc1, std::string& desc2, double& amount1,
                             double& amount2) {
  auto f = SplitCell<4>(cell);
  desc1 = std::move(f[0]);
  desc2 = std::move(f[1]);
  amount1 = TextValue(f[2]);
  amount2 = TextValue(f[3]);
}

}  // namespace qv
