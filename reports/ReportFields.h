#pragma once
// The values of the single-value report fields: the text that replaces a field such as
// "[PaymentNT]" in a report template, for the current page. The names are the template
// vocabulary and are compared exactly (case matters; "Ford APR" holds a blank). A name
// that is not known gives the empty text.
//
// Values are plain text as the user reads them ("$1,234.50", "36.0", "N/A", a customer's
// name); the merge escapes them for RTF.
#include <string>
#include <string_view>
#include <vector>

#include "reports/CustomerList.h"
#include "reports/ReportContext.h"

namespace qv::reports {

// The value of `name` for the current page of ctx.e, with `customer` as the attached
// customer's texts (all empty when the page has none or it is not in the list).
std::string ReportFieldValue(const ReportContext& ctx, std::string_view name, const CustomerRecord& customer);

// The same, looking up the page's customer (CustomerID) in the customer list of the context
// first.
std::string ReportFieldValue(const ReportContext& ctx, std::string_view name);

// The attached customer's texts: the row of the customer list whose number is the page's
// CustomerID; all empty when CustomerID is 0 or no row holds it.
CustomerRecord AttachedCustomer(const ReportContext& ctx);

// True when `name` is one of the single-value field names.
bool IsReportFieldName(std::string_view name);

// Every single-value field name, in no particular order (for tests and template checks).
std::vector<std::string> ReportFieldNames();

}  // namespace qv::reports
