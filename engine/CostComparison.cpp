// The details sheets and panels and the lease comparison column, written from the current
// page and its last recalculation.
#include "engine/CostComparison.h"

#include "engine/Runtime.h"

namespace qv {

namespace {

constexpr int A = 1, B = 2, D = 4, E = 5;
constexpr const char* kMoney = "$#,###.00;; ";

struct Label {
  int row, col;
  const char* text;
};

// The fixed labels of each sheet.
const Label kLeaseLabels[] = {
    {1, A, "Base Price:"},          {1, D, "Cap Reduction (Cash):"},
    {2, A, "Options:"},             {2, D, "Cash StartUps w/o Trade Eq.:"},
    {3, A, "Destination:"},         {3, D, "Trade Equity:"},
    {4, A, "Margin over Invoice:"}, {4, D, "Cash Adjustments:"},
    {5, A, "Purchase Price:"},      {5, D, "Total Initial Cost:"},
    {6, D, "Sum of Remaining Payments:"},
    {7, D, "Lost Interest on Payments:"},
    {8, A, "Cap Reduction:"},       {8, D, "Lost Interest on Initial Cost:"},
    {9, A, "Start Ups:"},           {9, D, "Security Deposit Refund:"},
    {10, A, "Adjustments:"},        {10, D, "End of Lease Fees:"},
    {11, A, "Capitalized Cost:"},   {11, D, "Total Future Cost:"},
};

const Label kLoanLabels[] = {
    {1, A, "Base Price:"},          {1, D, "Down Payment (Cash):"},
    {2, A, "Options:"},
    {3, A, "Destination:"},         {3, D, "Trade Equity:"},
    {4, A, "Margin over Invoice:"},
    {5, A, "Purchase Price:"},      {5, D, "Total Initial Cost:"},
    {7, A, "Trade Allowance:"},     {7, D, "Sum of Remaining Payments:"},
    {8, A, "Taxes & Fees:"},        {8, D, "Lost Interest on Payments:"},
    {9, A, "Loan Payoff:"},         {9, D, "Lost Interest on Initial Cost:"},
    {10, A, "Down Payment:"},       {10, D, "Loan Balance (Pay-off):"},
    {11, A, "Rebate:"},             {11, D, "Value after 36.5 months:"},
    {12, A, "Loan Principle:"},     {12, D, "Total Future Cost:"},
};

const Label kCashLabels[] = {
    {2, A, "Base Price:"},          {2, D, "Cash Required:"},
    {3, A, "Options:"},
    {4, A, "Destination:"},         {4, D, "Trade Equity:"},
    {5, A, "Margin over Invoice:"},
    {6, A, "Purchase Price:"},      {6, D, "Total Initial Cost:"},
    {7, A, "Trade Allowance:"},
    {8, A, "Taxes & Fees:"},
    {9, A, "Loan Payoff:"},         {9, D, "Lost Interest on Initial Cost:"},
    {10, A, "Rebate:"},             {10, D, "Value after 36.5 months:"},
    {11, A, "Cash Required:"},      {11, D, "Total Future Cost:"},
};

// A sum of cells of one column, in the order given.
double Sum(const grid::Sheet& s, int col, std::initializer_list<int> rows) {
  double t = 0;
  for (int r : rows) t += s.NumberRC(r, col);
  return t;
}

void PaintRedCells(grid::Sheet& s, int sheet) {
  for (int r = 1; r <= s.MaxRow(); ++r)
    for (int c : {B, E}) {
      if (!IsRedCell(sheet, r, c) || !s.IsNumber(r, c)) continue;
      grid::CellFont f = s.FontRC(r, c);
      const uint32_t want = s.NumberRC(r, c) < 0 ? kRedColor : 0;
      if (f.color != want) {
        f.color = want;
        s.SetFontRC(r, c, f);
      }
    }
}

// The purchase price in column B from row `top` down: base price, options, destination and
// margin, then their sum.
void PutPurchasePrice(const Engine& e, grid::Sheet& s, int top) {
  s.SetNumberRC(top, B, e.page.BaseInv);
  s.SetNumberRC(top + 1, B, e.res.TotalOptInv);
  s.SetNumberRC(top + 2, B, e.page.Dest);
  s.SetNumberRC(top + 3, B, e.page.Margin);
  s.SetNumberRC(top + 4, B, Sum(s, B, {top, top + 1, top + 2, top + 3}));
}

// The loan and cash sheets: trade allowance, taxes and fees and the loan payoff in rows 7-9
// of column B.
void PutTradeTaxesAndPayoff(const Engine& e, grid::Sheet& s) {
  s.SetNumberRC(7, B, -e.items.TradeAllowance);
  s.SetNumberRC(8, B, e.res.TotalTaxFee);
  s.SetNumberRC(9, B, e.items.TradePayoff);
}

void FillLease(Engine& e, grid::Sheet& s) {
  const PageRecord& p = e.page;
  const PageResults& r = e.res;
  const PageItems& it = e.items;
  PutPurchasePrice(e, s, 1);
  s.SetNumberRC(8, B, -p.CapRd);
  s.SetNumberRC(9, B, r.TotalStartUps.Cap);
  s.SetNumberRC(10, B, it.TotalAdjust.Cap);
  s.SetNumberRC(1, E, p.CapRd);
  s.SetNumberRC(2, E, r.TotalStartUps.Cash);
  s.SetNumberRC(3, E, r.TotalTradeEquity);
  s.SetNumberRC(4, E, it.TotalAdjust.Cash);
  s.SetNumberRC(6, E, (p.Months - 1) * r.PaymentWT);
  s.SetNumberRC(7, E, r.LLIPmt);
  s.SetNumberRC(8, E, r.LLIIC);
  s.SetNumberRC(9, E, -(it.Security.Cap + it.Security.Cash));
  s.SetNumberRC(10, E, it.TotalEOLFees);
  // The sheet's totals.
  s.SetNumberRC(11, B, Sum(s, B, {5, 8, 9, 10}));
  s.SetNumberRC(5, E, Sum(s, E, {1, 2, 3, 4}));
  s.SetNumberRC(11, E, Sum(s, E, {5, 6, 7, 8, 9, 10}));
}

void FillLoan(Engine& e, grid::Sheet& s) {
  const PageRecord& p = e.page;
  const PageResults& r = e.res;
  PutPurchasePrice(e, s, 1);
  PutTradeTaxesAndPayoff(e, s);
  s.SetNumberRC(10, B, -p.DownPmt);
  s.SetNumberRC(11, B, -static_cast<double>(p.PurchRebate));
  s.SetNumberRC(1, E, p.DownPmt);
  s.SetNumberRC(3, E, r.TotalTradeEquity);
  s.SetNumberRC(7, E, p.Months * r.PurPmnt);
  s.SetNumberRC(8, E, r.PLIPmt);
  s.SetNumberRC(9, E, r.PLIIC);
  s.SetNumberRC(10, E, static_cast<double>(r.Payoff));
  s.SetNumberRC(11, E, -p.EndLoan);
  s.SetTextRC(11, D, ValueAfterText(p.Months));
  s.SetNumberRC(12, B, Sum(s, B, {5, 7, 8, 9, 10, 11}));
  s.SetNumberRC(5, E, Sum(s, E, {1, 2, 3, 4}));
  s.SetNumberRC(12, E, Sum(s, E, {5, 7, 8, 9, 10, 11}));
}

void FillCash(Engine& e, grid::Sheet& s) {
  const PageRecord& p = e.page;
  const PageResults& r = e.res;
  PutPurchasePrice(e, s, 2);
  PutTradeTaxesAndPayoff(e, s);
  s.SetNumberRC(10, B, -static_cast<double>(p.PurchRebate));
  s.SetNumberRC(2, E, r.CCashReqd);
  s.SetNumberRC(4, E, r.TotalTradeEquity);
  s.SetNumberRC(9, E, r.CLIIC);
  s.SetNumberRC(10, E, -p.EndLoan);
  s.SetTextRC(10, D, ValueAfterText(p.Months));
  s.SetNumberRC(11, B, Sum(s, B, {6, 7, 8, 9, 10}));
  s.SetNumberRC(6, E, Sum(s, E, {1, 2, 3, 4, 5}));
  s.SetNumberRC(11, E, Sum(s, E, {6, 9, 10}));
}

std::string Money(double v) { return Format(v, kMoney); }

}  // namespace

void SetUpCostComparisonBook(grid::Workbook& book) {
  book.SetNumSheets(3);
  const char* names[3] = {"Lease", "Loan", "Cash"};
  auto put = [&](int n, const auto& labels, int rows) {
    grid::Sheet& s = book.SheetAt(n);
    s.ClearAll();
    s.SetName(names[n - 1]);
    for (const Label& l : labels) s.SetTextRC(l.row, l.col, l.text);
    s.SetMaxRow(rows);
    s.SetMaxCol(E);
  };
  put(1, kLeaseLabels, 11);
  put(2, kLoanLabels, 12);
  put(3, kCashLabels, 11);
  book.SetSheet(1);
}

std::string ValueAfterText(double months) { return "Value after " + Format(months, "0.0") + " months:"; }

bool IsRedCell(int sheet, int row, int col) {
  switch (sheet) {
    case 1:
      return col == E || (col == B && row >= 8 && row <= 11);
    case 2:
      if (col == E) return row == 3 || row == 5 || row == 6 || (row >= 7 && row <= 12);
      return col == B && row >= 7 && row <= 11;
    case 3:
      if (col == E) return row == 4 || row == 6 || (row >= 9 && row <= 11);
      return col == B && (row == 6 || (row >= 7 && row <= 11));
    default:
      return false;
  }
}

void FillCostComparisonSheet(Engine& e, grid::Workbook& book, int tab) {
  if (book.NumSheets() < 3) SetUpCostComparisonBook(book);
  const int sheet = tab == 4 ? 1 : tab;
  if (sheet < 1 || sheet > 3) return;
  book.SetSheet(sheet);
  grid::Sheet& s = book.SheetAt(sheet);
  switch (sheet) {
    case 1: FillLease(e, s); break;
    case 2: FillLoan(e, s); break;
    default: FillCash(e, s); break;
  }
  PaintRedCells(s, sheet);
}

void FillCostComparisonPanels(const Engine& e, CostComparisonPanels& p) {
  const PageRecord& pg = e.page;
  const PageResults& r = e.res;
  const std::string months = StrNum(pg.Months);
  const std::string monthLabel = GeneralNumber(Engine::RoundNum(pg.Months, 0));
  const std::string valueAfter = "Value after " + Format(pg.Months, "#.0;; ") + " months: ";

  p.lblPicMonth[1] = monthLabel;
  p.lblLeasePmt = months + " pmts @ " + Money(r.PaymentWT);
  p.lblLeaseCash = "Initial Cost: " + Money(r.LInitCost);
  p.lblLeaseSecDep = "Security Dep: " + Money(e.items.Security.Cap + e.items.Security.Cash);

  if (LoanRunsPastLease(e)) {
    p.lblLoanDown2 = "Initial Cost: " + Money(r.PInitCost);
    p.lblLoanPmt2 = months + " pmts @ " + Money(r.PurPmnt);
    p.lblLoanLoanEnd2 = valueAfter + Money(pg.EndLoan);
    p.lblpayoff = "Payoff: " + Money(r.Payoff);
    p.lblPicMonth[2] = monthLabel;
  } else {
    p.lblLoanDown1 = "Initial Cost: " + Money(r.PInitCost) + " ";
    p.lblLoanPmt1 = months + " pmts @ " + Money(r.PurPmnt);
    p.lblLoanLoanEnd1 = valueAfter + Format(pg.EndLoan, "#,###.00;; ");
    p.lblPicMonth[3] = monthLabel;
  }

  p.lblCashPP = "Initial Cost: " + Money(r.CInitCost);
  p.lblCashLoanEnd = valueAfter + Money(pg.EndLoan);
  p.lblPicMonth[0] = monthLabel;
}

const std::array<std::string, kCompareRows + 1>& CompareRowHeadings() {
  static const std::array<std::string, kCompareRows + 1> h = {
      "",
      " ",
      " ",
      "Purchase Price",
      "Capitalized Cost",
      "Months",
      "Money Factor",
      "Effective APR",
      "Residual",
      "Security Deposit",
      "Payment (w/tax)",
      "Cash Required",
      " ",
      "Future Cost",
      "Lease / Loan Ratio",
      "Lease / Cash Ratio",
      " \r\n",
  };
  return h;
}

void WriteCompareColumn(Engine& e, grid::Sheet& s, int column) {
  if (column < 1 || column > 3) return;
  const PageRecord& p = e.page;
  const PageResults& r = e.res;
  const char* amount = "#,###.00;; ";
  const int c = column;
  s.SetTextRC(1, c, p.CarName);
  s.SetTextRC(3, c, Format(r.PurchPrice, amount));
  s.SetTextRC(4, c, Format(r.CapCost, amount));
  s.SetTextRC(5, c, Format(p.Months, amount));
  s.SetTextRC(6, c, Format(p.Factor, ".0000000;; "));
  // The page field itself, as the main window's display passes it: under the Ford APR method
  // it holds the effective money factor afterwards, as it does after every display.
  const double apr = e.APRFromFactor(r.CapCost, e.page.Residual, e.page.Factor, e.page.Months);
  s.SetTextRC(7, c, Format(apr, "#.00%;; "));
  s.SetTextRC(8, c, Format(p.Residual, "#,###;; ") + "  " + Format(r.ResPerc, "(##%);; "));
  s.SetTextRC(9, c, Format(e.items.Security.Cap + e.items.Security.Cash, amount));
  s.SetTextRC(10, c, Format(r.PaymentWT, amount));
  s.SetTextRC(11, c, Format(r.LInitCost, amount));
  s.SetTextRC(13, c, Format(r.LeaseFC, amount));
  s.SetTextRC(14, c, Format(r.LeaseLoanRatio, "#.00;; "));
  s.SetTextRC(15, c, Format(r.LeaseCashRatio, "#.00;; "));
  if (s.MaxRow() < kCompareRows) s.SetMaxRow(kCompareRows);
}

std::string CompareText(const grid::Sheet& s) {
  std::string out = "\t" + s.TextRC(1, 1) + "\t" + s.TextRC(1, 2) + "\t" + s.TextRC(1, 3) + "\r\n";
  const auto& h = CompareRowHeadings();
  for (int r = 3; r <= 15; ++r) {
    out += h[r];
    out += '\t';
    out += s.ClipRange(r, 1, r, 3);
    out += "\r\n";
  }
  return out;
}

}  // namespace qv
