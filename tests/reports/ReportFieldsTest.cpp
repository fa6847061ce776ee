// The single-value report fields: each name's value and pattern, the computed figures, the
// start-up items, mileage, payment-table columns, the attached customer and the date. The
// expected texts are worked out by hand from the values set in each case.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include <unistd.h>

#include "reports/ReportFields.h"
#include "reports/SampleDeal.h"

namespace qv::reports {
namespace {

struct FieldCase {
  const char* name;
  std::function<void(Engine&)> set;
  const char* expected;
};

class ReportFieldsTest : public ::testing::Test {
 protected:
  std::string Value(const char* name) { return ReportFieldValue(ctx, name, customer); }
  Engine e;
  ReportContext ctx{e};
  CustomerRecord customer;
};

TEST_F(ReportFieldsTest, ValuesAndTheirPatterns) {
  const FieldCase cases[] = {
      {"PaymentNT", [](Engine& e) { e.res.PaymentNT = 347.638889; }, "$347.64"},
      {"PaymentWT", [](Engine& e) { e.res.PaymentWT = 1234567.891; }, "$1,234,567.89"},
      {"Margin", [](Engine& e) { e.page.Margin = -123.45; }, "($123.45)"},
      {"Margin", [](Engine& e) { e.page.Margin = 0; }, " "},
      {"CapCost", [](Engine& e) { e.res.CapCost = 21500; }, "$21,500.00"},
      {"MSRP", [](Engine& e) { e.res.MSRP = 0.5; }, "$.50"},
      {"PurchRebate", [](Engine& e) { e.page.PurchRebate = 750; }, "$750.00"},
      {"PurchRebate", [](Engine& e) { e.page.PurchRebate.Clear(); }, " "},
      {"Payoff", [](Engine& e) { e.res.Payoff = 9876.5; }, "$9,876.50"},
      {"TradeAllowance", [](Engine& e) { e.items.TradeAllowance = 4000; }, "$4,000.00"},
      {"LeaseCashRatio", [](Engine& e) { e.res.LeaseCashRatio = 1.284; }, "1.28"},
      {"LoanCashRatio", [](Engine& e) { e.res.LoanCashRatio = 0.5; }, ".50"},
      {"Months", [](Engine& e) { e.page.Months = 36; }, "36.0"},
      {"Months", [](Engine& e) { e.page.Months = 0; }, " "},
      {"Factor", [](Engine& e) { e.page.Factor = 0.0025; }, ".0025000"},
      {"ResPerc", [](Engine& e) { e.res.ResPerc = 12000.0 / 22500.0; }, "53.3%"},
      {"LoanRate", [](Engine& e) { e.page.LoanRate = 0.0725; }, "7.25%"},
      {"InvestRate", [](Engine& e) { e.page.InvestRate = 0; }, " "},
      {"LoanMonths", [](Engine& e) { e.page.LoanMonths = 48; }, "48.00"},
      {"CashMonths", [](Engine& e) { e.page.CashMonths = -1.5; }, "-1.50"},
      {"MarginPerc", [](Engine& e) { e.res.MarginPerc = 1000.0 / 20500.0; }, "4.88%"},
      {"MarginPerc", [](Engine& e) { e.res.MarginPerc = 0; }, "0.00%"},
      {"CarName", [](Engine& e) { e.page.CarName = "2026 Corvane Stratos"; }, "2026 Corvane Stratos"},
      {"Memo", [](Engine& e) { e.page.Memo = "Call back [Memo]"; }, "Call back [Memo]"},
      {"Pagenum", [](Engine& e) { e.CurrentPage = 3; }, "3"},
      {"LType", [](Engine& e) { e.page.LType = 2; }, "2"},
      {"CustomerID", [](Engine& e) { e.page.CustomerID = 17; }, "17"},
      // Computed lease figures.
      {"PaymentTax", [](Engine& e) { e.tax.TaxMethod = 0; e.res.PaymentNT = 300; e.res.PaymentWT = 318; }, "$18.00"},
      {"PaymentTax", [](Engine& e) { e.tax.TaxMethod = 2; e.res.PaymentNT = 300; e.res.PaymentWT = 318; }, "N/A"},
      {"SumLeasePayments", [](Engine& e) { e.page.Months = 36; e.res.PaymentWT = 368.497222; }, "$13,265.90"},
      {"SumRemLsePmts", [](Engine& e) { e.page.Months = 36; e.res.PaymentWT = 368.497222; }, "$12,897.40"},
      {"SumLoanPmts", [](Engine& e) { e.page.Months = 24; e.res.PurPmnt = 500.25; }, "$12,006.00"},
      {"Depreciation", [](Engine& e) { e.res.CapCost = 21500; e.page.Residual = 12000; }, "$9,500.00"},
      {"MonthlyDepreciation", [](Engine& e) { e.res.CapCost = 21500; e.page.Residual = 12000; e.page.Months = 36; },
       "$263.89"},
      {"MonthlyDepreciation", [](Engine& e) { e.res.CapCost = 21500; e.page.Residual = 12000; e.page.Months = 0; },
       " "},
      {"Cap+Residual", [](Engine& e) { e.res.CapCost = 21500; e.page.Residual = 12000; }, "$33,500.00"},
      {"MonthlyRentChg", [](Engine& e) { e.res.CapCost = 21500; e.page.Residual = 12000; e.page.Factor = 0.0025; },
       "$83.75"},
      {"TotalTaxable", [](Engine& e) { e.res.PurchPrice = 21500; e.items.TradeAllowance = 3000; }, "$18,500.00"},
      {"Ford APR", [](Engine& e) { e.page.LType = 3; e.page.FordAPR = 0.059; }, "$.06"},
      {"Ford APR", [](Engine& e) { e.page.LType = 0; e.page.FordAPR = 0.059; }, "N/A"},
      {"FordAdminFee", [](Engine& e) { e.page.LType = 3; e.res.CapCost = 21500; e.page.FordAdminFactor = 0.0001; },
       "$2.15"},
      {"FordAdminFee", [](Engine& e) { e.page.LType = 1; }, "N/A"},
      // Start-up items and totals.
      {"FirstPayment.Cash", [](Engine& e) { e.items.FirstPayment.Cash = 368.5; }, "$368.50"},
      {"TitleFee.Cap", [](Engine& e) { e.items.Title.Cap = 15; }, "$15.00"},
      {"Security.Total", [](Engine& e) { e.items.Security = {100, 275}; }, "$375.00"},
      {"STaxOnFeesTaxes.Total", [](Engine& e) { e.items.STaxOnFeesTaxes = {1.25, 2.5}; }, "$3.75"},
      {"TradeEquity.Cash", [](Engine& e) { e.items.TradeEquity.Cash = 1200; }, "$1,200.00"},
      {"TradeEquity.Total", [](Engine& e) { e.items.TradeEquity = {1, 2}; }, ""},
      {"TotalStartUps.Total", [](Engine& e) { e.res.TotalStartUps = {100, 743.5}; }, "$843.50"},
      {"TotalStartUpsCapNTE", [](Engine& e) { e.res.TotalStartUps.Cap = 100; e.items.TradeEquity.Cap = 50; },
       "$150.00"},
      {"STartupsCashWOtrade", [](Engine& e) { e.res.TotalStartUps.Cash = 743.5; e.items.TradeEquity.Cash = 1000; },
       "$1,743.50"},
      {"TotalAdjust.Total", [](Engine& e) { e.items.TotalAdjust = {300, 250}; }, "$550.00"},
      {"TotalEOLFees", [](Engine& e) { e.items.TotalEOLFees = 395; }, "$395.00"},
      // Mileage.
      {"AllowedMiles", [](Engine& e) { e.page.AllowedMiles = 12000; }, "12000"},
      {"AllowedMilesTotal", [](Engine& e) { e.page.AllowedMiles = 12000; e.page.Months = 39; }, "39000"},
      {"Years", [](Engine& e) { e.page.Months = 30; }, "2.5"},
      {"PrePaidAdditionalMiles",
       [](Engine& e) { e.page.PrePaidActualMiles = 15000; e.page.AllowedMiles = 12000; e.page.Months = 36; }, "9000"},
      {"PrePaidAdditionalMiles",
       [](Engine& e) { e.page.PrePaidActualMiles = 12000; e.page.AllowedMiles = 12000; e.page.Months = 36; }, "0"},
      {"TotalMiles", [](Engine& e) { e.page.PrePaidActualMiles = 10000; e.page.AllowedMiles = 12000; e.page.Months = 24; },
       "24000"},
      {"TotalMiles", [](Engine& e) { e.page.PrePaidActualMiles = 15000; e.page.AllowedMiles = 12000; e.page.Months = 24; },
       "30000"},
      {"PrePaidCentsPerMile", [](Engine& e) { e.page.PrePaidCentsPerMile = 0.12; }, "0.12"},
      {"EOLCentsPerMile", [](Engine& e) { e.page.EOLCentsperMile = 15; }, "15"},
      // Payment tables window columns.
      {"MonthsColB", [](Engine& e) { e.TableMonths[2] = 36; }, "36.00"},
      {"FactorColA", [](Engine& e) { e.TableFactors[1] = 0.0025; }, ".002500"},
      {"ResColC", [](Engine& e) { e.TableResiduals[3] = 12000; }, "$12,000.00"},
      // Names that are not fields.
      {"paymentnt", [](Engine& e) { e.res.PaymentNT = 300; }, ""},
      {"FordAPR", [](Engine& e) { e.page.LType = 3; }, ""},
      {"", [](Engine&) {}, ""},
  };
  for (const auto& c : cases) {
    e = Engine();
    c.set(e);
    EXPECT_EQ(Value(c.name), c.expected) << c.name;
  }
}

TEST_F(ReportFieldsTest, EffectiveRateLeavesTheFactorAlone) {
  e.page.LType = 1;  // the rate search starts from factor * 12
  e.page.Factor = 0.0025;
  e.page.Months = 36;
  e.page.Residual = 12000;
  e.res.CapCost = 21500;
  const std::string apr = Value("APR");
  EXPECT_EQ(e.page.Factor, 0.0025);
  // Read back, the rate gives the factor again (to the rate's two decimals of a percent).
  ASSERT_FALSE(apr.empty());
  const double rate = std::stod(apr) / 100;
  EXPECT_NEAR(e.FactorFromAPR(21500, 12000, rate, 36), 0.0025, 0.0025 * 0.003) << apr;
}

TEST_F(ReportFieldsTest, DateIsWrittenInFull) {
  ctx.today = Date{2026, 3, 7};
  EXPECT_EQ(Value("Date"), "March 7, 2026");
}

TEST_F(ReportFieldsTest, CustomerFieldsComeFromTheAttachedCustomer) {
  CustomerList list;
  const int row = list.AddCustomer("Dana Reyes", Date{2026, 10, 5});
  const char* texts[] = {"", "4 Harbor Rd", "Lakeview", "MI", "49001", "555-0100", "555-0111", "Prefers email"};
  for (int k = 1; k <= 7; ++k) list.SetField(row, k, texts[k]);
  ctx.sources.customers = [&] { return &list; };

  EXPECT_EQ(ReportFieldValue(ctx, "Name"), "") << "no customer attached";
  ASSERT_TRUE(AttachCustomer(e, list, row));
  const std::pair<const char*, const char*> expected[] = {
      {"Name", "Dana Reyes"}, {"Address", "4 Harbor Rd"}, {"City", "Lakeview"},     {"State", "MI"},
      {"Zip", "49001"},       {"DayPhone", "555-0100"},   {"HomePhone", "555-0111"}, {"Notes", "Prefers email"},
      {"ContactDate", "10/05/2026"}, {"Fax", ""},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(ReportFieldValue(ctx, name), value) << name;

  list.DeleteCustomer(row);
  EXPECT_EQ(ReportFieldValue(ctx, "Name"), "") << "the attached customer was deleted from the list";
}

TEST_F(ReportFieldsTest, CustomerListIsReadFromItsFileWhenNoWindowHoldsIt) {
  const std::string folder = ::testing::TempDir() + "qv-fields-" + std::to_string(::getpid()) + "/";
  std::filesystem::create_directories(folder);
  CustomerList list;
  std::string error;
  ASSERT_EQ(list.Load(folder, error), CustomerList::LoadResult::Missing);
  list.AddCustomer("Lee Park", Date{2026, 1, 2});
  ASSERT_TRUE(list.Save(error)) << error;

  e.AppFolder = folder;
  e.page.CustomerID = 1;
  EXPECT_EQ(ReportFieldValue(ctx, "Name"), "Lee Park");
  std::filesystem::remove_all(folder);
}

TEST_F(ReportFieldsTest, KnowsEveryNameOfTheVocabulary) {
  const std::vector<std::string> names = ReportFieldNames();
  EXPECT_EQ(names.size(), 160u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  EXPECT_TRUE(IsReportFieldName("Ford APR"));
  EXPECT_TRUE(IsReportFieldName("STartupsCashWOtrade"));
  EXPECT_FALSE(IsReportFieldName("StartupsCashWOtrade"));
}

// The common test page, calculated: the values worked out by hand in CommonPage.h.
TEST(ReportFieldsCommonPage, ShowsTheCalculatedDeal) {
  Engine e;
  qv::test::CountingHost host;
  qv::test::SetUpCommonPage(e);
  e.host = &host;
  e.RecalcPage();
  ReportContext ctx(e);
  const std::pair<const char*, const char*> expected[] = {
      {"PurchPrice", "$21,500.00"},   {"CapCost", "$21,500.00"},         {"PaymentNT", "$347.64"},
      {"PaymentWT", "$368.50"},       {"PaymentTax", "$20.86"},          {"TotalRent", "$3,015.00"},
      {"Security.Cash", "$375.00"},   {"FirstPayment.Cash", "$368.50"},  {"LInitCost", "$743.50"},
      {"LCashReqd", "$743.50"},       {"LeaseFC", "$13,265.90"},         {"Depreciation", "$9,500.00"},
      {"MonthlyDepreciation", "$263.89"}, {"MonthlyRentChg", "$83.75"},  {"ResPerc", "53.3%"},
      {"MarginPerc", "4.88%"},        {"Residual", "$12,000.00"},        {"Months", "36.0"},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(ReportFieldValue(ctx, name), value) << name;
}

}  // namespace
}  // namespace qv::reports
