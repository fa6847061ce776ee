#pragma once
// Puts a sheet of the workbook layer into a grid widget of the window.
#include "platform/grid/GridWidget.h"
#include "platform/grid/Workbook.h"

namespace qv {

inline void AttachSheet(grid::GridWidget* widget, grid::Sheet* sheet) {
  widget->setSheet(sheet);
  widget->refresh();
}

}  // namespace qv
