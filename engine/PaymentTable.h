#pragma once
// The payment table of the current page: one row per dealer margin over a range, one payment
// column for each of four column sets of term, money factor and residual.
//
// The table lives in a grid::Sheet of six columns: 1 the row's margin, 2 the row's
// capitalised cost (the page's own deal recalculated at that margin), 3..6 the payment of
// column sets 1..4. Rows start at row 1; the column
// headings are the sheet's column texts. A column set is in use when both its months and its
// residual are non-zero; the columns of sets not in use are left empty, headings included,
// so whatever reads the sheet sees only what was computed.
//
// The margin range: rows run from TableMarginStart towards TableMarginEnd (downwards when the
// end is below the start) in steps of TableMarginStep, which is never below 1. The number of
// rows is the whole part of the real quotient range / step, plus one, and never more than
// kMaxTableRows: a step that would give more rows is raised until the table fits.
#include <string>

#include "engine/Engine.h"
#include "platform/grid/Workbook.h"

namespace qv {

inline constexpr int kMaxTableRows = 2001;

// The step as the step box takes it: at least 1, no larger than the range (when the range is
// 1 or more), then raised so that the table has at most kMaxTableRows rows.
double TableStepFromEntry(double typed, double start, double end);

// The step a fill uses: at least 1 and raised so that the table has at most kMaxTableRows
// rows. A step that already fits is returned unchanged.
double FittedTableStep(double start, double end, double step);

// The number of rows of the table for a fitted step (1 .. kMaxTableRows).
int TableRowCount(double start, double end, double step);

// The margin of row r (1-based) for a fitted step.
double TableRowMargin(double start, double end, double step, int row);

// True when column set i (1..4) of the engine's table values is in use.
bool TableSetInUse(const Engine& e, int set);

// The default column headings (before any column set is shown).
std::string DefaultTableHeading(int col);

// Writes the heading of payment column set i (1..4): three lines (months, residual, factor)
// for a set in use, an empty heading for one that is not.
void WriteTableSetHeading(const Engine& e, grid::Sheet& sheet, int set);

// Empties the cells and the heading of column set i (1..4).
void ClearTableSet(grid::Sheet& sheet, int set);

// Computes the whole table into `sheet` from the engine's table values, fitting
// TableMarginStep first. Each cell of a set in use is a full recalculation of the current
// page with that row's margin and the set's months, factor and residual; the trials run
// without the result display. Afterwards the page's inputs (fields, start-up items and their
// splits) are put back exactly as they were and the page is recalculated once, with the
// display. Returns the number of trial recalculations: one a cell, and one a row for the
// cap cost unless a set in use is the page's own term, factor and residual.
int FillPaymentTableSheet(Engine& e, grid::Sheet& sheet, bool withTax);

// The table as text: the six headings made one-line and joined by TAB, then every row from
// the first, cells joined by TAB; every line ends with CR LF.
std::string PaymentTableText(const grid::Sheet& sheet);

// The rate-table text of the engine's table values, without touching the current page.
std::string PackedRateTableText(Engine& e);

}  // namespace qv
