#pragma once
// What a report is merged from: the engine (the current page, its results, items, option
// list, tax setting, page number and payment-table values) and the sources that belong to
// windows and subsystems outside the engine. The window side fills ReportSources; a source
// left unset reads as closed or empty.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/grid/Workbook.h"

namespace qv::reports {

class CustomerList;

struct ReportSources {
  // The lease comparison window's grid (row 1 the three headings, rows 3 to 15 the figures,
  // columns 1 to 3) while that window is open; nullptr while it is closed. Unset: closed.
  std::function<const grid::Sheet*()> compareSheet;
  // The payment tables window's grid (column headings 1 to 6, rows from 1 to its last
  // row); nullptr when there is none. Unset: none.
  std::function<const grid::Sheet*()> tablesSheet;
  // The standard-equipment line of a vehicle line number (the page's MfgNum), as the
  // price-guide reader gives it: items separated by ";", "~" for a line break, "<x>label<"
  // tags. Unset: no standard equipment.
  std::function<std::string(int16_t mfgNum)> standardEquipment;
  // The customer list the customer window holds (it may have edits not yet written); nullptr
  // or unset: the list is read from AppFolder's "Customer.vts" for each merge.
  std::function<const CustomerList*()> customers;
};

struct ReportContext {
  explicit ReportContext(Engine& engine) : e(engine) {}
  ReportContext(Engine& engine, ReportSources s) : e(engine), sources(std::move(s)) {}

  Engine& e;
  ReportSources sources;
  // The date the "Date" field shows; unset: today.
  std::optional<Date> today;
};

}  // namespace qv::reports
