#pragma once
// What the lease / loan / cash details and the lease comparison show of the current page:
// the three itemised cost sheets, the texts of the cash-flow panels and one column of the
// comparison grid. Nothing here computes a deal figure; everything comes from the page and
// its last recalculation.
#include <array>
#include <string>

#include "engine/Engine.h"
#include "platform/grid/Workbook.h"

namespace qv {

// ---- cost sheets -------------------------------------------------------------------------

// The details workbook: sheets 1 "Lease", 2 "Loan", 3 "Cash", with their fixed labels in
// columns A and D; amounts go in columns B and E.
void SetUpCostComparisonBook(grid::Workbook& book);

// Makes sheet `tab` (1..4; 4, the comparison view, is the lease sheet) active and writes its
// amounts and totals; a tab outside 1..4 writes nothing. Amount cells of the sheets' red
// cells get a red font while negative.
void FillCostComparisonSheet(Engine& e, grid::Workbook& book, int tab);

// "Value after " + months in "0.0" + " months:" (the loan and cash sheets' last label).
std::string ValueAfterText(double months);

// True for the cells that show a negative amount in red (sheet 1..3, row, column).
bool IsRedCell(int sheet, int row, int col);
inline constexpr uint32_t kRedColor = 0x0000FF;  // blue-green-red order

// ---- cash-flow panels ----------------------------------------------------------------------

// The captions of the four panels. lblPicMonth: 0 cash, 1 lease, 2 long loan, 3 short loan.
struct CostComparisonPanels {
  std::array<std::string, 4> lblPicMonth;
  std::string lblLeasePmt, lblLeaseCash, lblLeaseSecDep;
  std::string lblLoanDown1, lblLoanPmt1, lblLoanLoanEnd1;             // loan ending within the lease
  std::string lblLoanDown2, lblLoanPmt2, lblLoanLoanEnd2, lblpayoff;  // loan running past it
  std::string lblCashPP, lblCashLoanEnd;
};

// True when the loan runs past the lease term (the panel with the payoff applies).
inline bool LoanRunsPastLease(const Engine& e) { return e.page.LoanMonths > e.page.Months; }

// Writes the lease and cash panels and the loan panel that applies; the other loan panel
// keeps its captions.
void FillCostComparisonPanels(const Engine& e, CostComparisonPanels& p);

// ---- lease comparison column ------------------------------------------------------------------

inline constexpr int kCompareRows = 16;

// The row headings of the comparison grid (index 1..16; 0 unused).
const std::array<std::string, kCompareRows + 1>& CompareRowHeadings();

// Writes the figures of the current page into column 1..3 of the comparison grid.
void WriteCompareColumn(Engine& e, grid::Sheet& sheet, int column);

// The comparison as text: TAB and the three column heads, then rows 3 to 15, each its
// heading, TAB and its three cells joined by TAB; every line ends with CR LF.
std::string CompareText(const grid::Sheet& sheet);

}  // namespace qv
