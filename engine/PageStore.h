#pragma once
// Helpers of the page store that other writers and readers of the worksheet workbook share.
#include <string>
#include <string_view>

#include "platform/grid/Workbook.h"

namespace qv {

// The most pages a worksheet holds: page numbers and the page count are 16-bit.
inline constexpr int kMaxPages = 32767;

// What a worksheet file may hold: at most 256 MB (the program writes a worksheet of
// kMaxPages pages in about 120 MB), kMaxPages rows in every sheet, 4,000,000 cells (a page
// fills about 80) and 10 sheets (a worksheet has five). A
// file beyond them is refused before it is read, or as soon as a count passes its limit.
grid::ReadLimits WorksheetReadLimits();

// True when a workbook read from a worksheet file fits what a worksheet holds: no more
// rows on the sheets of one row per page ("Worksht", "StartUps", "Adjustments",
// "EOLFees") than kMaxPages. Otherwise `why` says what is too large. The workbook is
// known to have the five worksheet sheets.
bool FitsWorksheet(const grid::Workbook& wb, std::string& why);

// True when every page of a worksheet workbook holds values a deal can have, by the rule of
// what is typed (Engine::CheckDealInputs; option prices by IsDealValue). Otherwise `why`
// names the first page that does not and what it holds. The workbook is lent to a scratch
// engine for the check and given back as it was read (no copy of it is made).
bool HoldsDealValues(grid::Workbook& wb, std::string& why);

// A text as it may be stored in a worksheet cell: each TAB becomes a blank. Cells are read
// back split at TABs, so a TAB kept inside a description or a text field would move every
// later field one place on.
std::string TabFreeText(std::string_view text);

}  // namespace qv
