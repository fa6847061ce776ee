// Fuzzes the report merge: both the template and the values merged into it come from the
// input. Properties: no crash, no sanitizer report, and when the template's groups balance
// and the merge succeeds, the report's groups balance too (values are escaped and markup
// that the merge drops leaves its group marks).
//
// Input layout: a few bytes of numbers, then texts separated by NUL bytes in this order:
// the car name, the memo, the customer's name and address, two option names, two
// adjustment descriptions, an end-of-lease fee description, the standard-equipment line, a
// comparison heading, a payment-table heading; the rest is the template.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/Engine.h"
#include "reports/CustomerList.h"
#include "reports/ReportMerge.h"
#include "reports/RtfText.h"

namespace {

using qv::reports::CustomerList;

struct Input {
  std::string_view rest;
  std::string Next() {
    const size_t n = rest.find('\0');
    std::string out(rest.substr(0, n));
    rest = n == std::string_view::npos ? std::string_view() : rest.substr(n + 1);
    return out;
  }
  uint8_t Byte() {
    if (rest.empty()) return 0;
    const auto b = static_cast<uint8_t>(rest[0]);
    rest.remove_prefix(1);
    return b;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qv::Engine* e = new qv::Engine();
  Input in{std::string_view(reinterpret_cast<const char*>(data), size)};

  e->page = qv::PageRecord{};
  e->items = qv::PageItems{};
  e->res = qv::PageResults{};
  e->OptionList.ClearAll();
  e->OptionList.SetMaxRow(1);
  const uint8_t a = in.Byte(), b = in.Byte(), c = in.Byte();
  e->page.Margin = (a - 100) * 12.5;
  e->page.Months = b % 73;
  e->page.Factor = c / 10000.0;
  e->page.Residual = a * 100.0;
  e->res.CapCost = b * 250.0;
  e->page.LType = static_cast<int16_t>(c % 4);
  e->page.MfgNum = a;

  e->page.CarName = in.Next();
  e->page.Memo = in.Next();
  CustomerList customers;
  const int row = customers.AddCustomer(in.Next(), qv::Date{2026, 1, 2});
  customers.SetField(row, 1, in.Next());
  qv::reports::AttachCustomer(*e, customers, row);
  e->OptionList.SetTextRC(1, 1, in.Next());
  e->OptionList.SetNumberRC(1, 2, a);
  e->OptionList.SetTextRC(2, 1, in.Next());
  e->items.Adjustments[1] = {in.Next(), static_cast<double>(b), -1.5};
  e->items.Adjustments[2] = {in.Next(), 0, static_cast<double>(c)};
  e->items.EOLFees[1] = {in.Next(), 395};
  const std::string equipment = in.Next();
  qv::grid::Sheet compare;
  compare.SetTextRC(1, 1, in.Next());
  compare.SetTextRC(4, 2, e->page.CarName);
  qv::grid::Sheet table;
  table.SetColText(3, in.Next());
  table.SetNumberRC(1, 1, a);
  table.SetTextRC(2, 6, e->page.Memo);

  qv::reports::ReportContext ctx(*e);
  ctx.today = qv::Date{2026, 10, 5};
  ctx.sources.customers = [&] { return &customers; };
  if (a & 1) ctx.sources.compareSheet = [&] { return &compare; };
  ctx.sources.tablesSheet = [&] { return &table; };
  ctx.sources.standardEquipment = [&](int16_t) { return equipment; };

  const std::string tmpl(in.rest);
  std::string doc = tmpl;
  const qv::reports::MergeResult r = qv::reports::MergeReportFields(ctx, doc, "[", "]", "fuzz.rtf");
  if (!r.ok()) {
    if (doc != tmpl) std::abort();  // a failed merge leaves the document as it was
    if (r.message.empty()) std::abort();
  } else if (qv::reports::BracesBalanced(tmpl) && !qv::reports::BracesBalanced(doc)) {
    std::abort();
  }
  return 0;
}
