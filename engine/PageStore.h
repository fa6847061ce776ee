#pragma once
// Helpers of the page store that other writers of the worksheet workbook share.
#include <string>
#include <string_view>

namespace qv {

// A text as it may be stored in a worksheet cell: each TAB becomes a blank. Cells are read
// back split at TABs, so a TAB kept inside a description or a text field would move every
// later field one place on.
std::string TabFreeText(std::string_view text);

}  // namespace qv
