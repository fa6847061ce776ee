#pragma once
// The sample deal the report tests and benchmarks merge: the common test page with two options, a cash
// adjustment, two end-of-lease fees, an attached customer, a lease comparison of three
// terms, a small payment table and a standard-equipment line. Texts hold characters that
// RTF must escape (braces, a backslash, accented letters).
//
// Worked by hand (options add 600 to the invoice and 800 to the MSRP):
//   CapCost = 20000 + 500 + 600 + 1000 = 22100
//   PaymentNT = (22100 - 12000) / 36 + (22100 + 12000) * 0.0025 = 280.555556 + 85.25 = 365.805556
//   PaymentWT = 365.805556 * 1.06 = 387.753889                      -> $387.75
//   security deposit = the payment rounded up to 25 = 400
//   start-up cash = 387.75 + 400 = 787.75; cash due = 787.75 + 250 (adjustment) = 1037.75
#include <filesystem>
#include <string>

#include "engine/CostComparison.h"
#include "engine/PaymentTable.h"
#include "reports/CustomerList.h"
#include "reports/ReportContext.h"
#include "sample/SampleDeal.h"

namespace qv::sample {

using reports::AttachCustomer;
using reports::CustomerList;
using reports::ReportContext;

inline constexpr const char* kSampleCustomer = "Jos\xC3\xA9 Ortiz-Whitfield";
inline constexpr const char* kSampleStdEquipment =
    "<b>Engine</b>Type: 2.4 litre four-cylinder; <b>Brakes</b>Front: ventilated discs; Air conditioning; "
    "Power windows~Power door locks; end";

struct SampleDeal {
  Engine e;
  CountingHost host;
  CustomerList customers;
  grid::Sheet compare;
  grid::Sheet tables;
  ReportContext ctx{e};

  SampleDeal() {
    SetUpCommonPage(e);
    e.host = &host;
    e.page.CarName = "2026 Corvane Stratos LX Sedan";
    e.page.Memo = "Customer prefers {weekday} delivery; papers to C:\\deals\\ortiz.";
    e.page.AllowedMiles = 12000;
    e.page.EOLCentsperMile = 15;

    e.OptionList.SetTextRC(1, 1, "Moonroof and premium sound package with navigation and heated seats");
    e.OptionList.SetNumberRC(1, 2, 400);
    e.OptionList.SetNumberRC(1, 3, 500);
    e.OptionList.SetTextRC(2, 1, "All-weather floor mats {set of 4}");
    e.OptionList.SetNumberRC(2, 2, 200);
    e.OptionList.SetNumberRC(2, 3, 300);

    e.items.Adjustments[1] = {"Paint & fabric protection", 0, 250};
    e.items.TotalAdjust = {0, 250};
    e.items.EOLFees[1] = {"Excess mileage", 0};
    e.items.EOLFees[2] = {"Disposition fee", 395};
    e.items.TotalEOLFees = 395;
    e.SavePageItems();
    e.RecalcPage();

    const Date day{2026, 10, 5};
    const int row = customers.AddCustomer(kSampleCustomer, day);
    customers.SetField(row, 1, "12 Elm Court");
    customers.SetField(row, 2, "Riverton");
    customers.SetField(row, 3, "OH");
    customers.SetField(row, 4, "43001");
    customers.SetField(row, 5, "555-0142");
    customers.SetField(row, 6, "555-0199");
    AttachCustomer(e, customers, row);

    // Three terms side by side; the page ends as it was.
    const double months = e.page.Months;
    int16_t col = 1;
    for (double m : {24.0, 36.0, 48.0}) {
      e.page.Months = m;
      e.RecalcPage();
      WriteCompareColumn(e, compare, col);
      compare.SetTextRC(1, col, e.page.CarName + " " + GeneralNumber(m) + " months");
      ++col;
    }
    e.page.Months = months;
    e.RecalcPage();

    e.TableMonths[1] = 24;
    e.TableMonths[2] = 36;
    e.TableMonths[3] = 48;
    for (int i = 1; i <= 3; ++i) {
      e.TableFactors[i] = 0.0025;
      e.TableResiduals[i] = 12000;
    }
    e.TableMarginStart = 500;
    e.TableMarginEnd = 1500;
    e.TableMarginStep = 250;
    tables.SetColText(1, DefaultTableHeading(1));
    tables.SetColText(2, DefaultTableHeading(2));
    FillPaymentTableSheet(e, tables, true);

    ctx.today = day;
    ctx.sources.customers = [this] { return &customers; };
    ctx.sources.compareSheet = [this] { return &compare; };
    ctx.sources.tablesSheet = [this] { return &tables; };
    ctx.sources.standardEquipment = [](int16_t) { return std::string(kSampleStdEquipment); };
  }
};

// The shipped templates, in the source tree's data folder (the includer defines QV_SOURCE_DIR).
inline std::string DataFolder() { return std::string(QV_SOURCE_DIR) + "/data/"; }

}  // namespace qv::sample
