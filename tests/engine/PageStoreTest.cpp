// Storing and loading a page: the 50 fields in sheet "Worksht", the start-up items, trade
// values, adjustments and end-of-lease fees in their tab-joined cells, and the layout of the
// workbook and the start-up costs sheet.
#include <gtest/gtest.h>

#include <cmath>

#include <climits>
#include <functional>
#include <string>

#include "engine/Engine.h"
#include "engine/PageStore.h"

namespace qv {
namespace {

// A page with a distinct value in every field.
PageRecord FullPage() {
  PageRecord p;
  p.CT = "T";
  p.CarName = "1998 Explorer XLT 4dr 4x4";
  p.BaseInv = 24123.45;
  p.BaseMSRP = 27310.1;
  p.Dest = 525;
  p.Margin = 1234.5678;
  p.Factor = 0.00275;
  p.Factor2 = 0.021;
  p.Months = 36;
  p.Residual = 15021.06;
  p.CapRd = 1500;
  p.TabParam = "36       0.002500 12000.00 ";
  p.LType = 3;
  p.MfgNum = 117;
  p.CashMonths = 48;
  p.LoanMonths = 60;
  p.DownPmt = 2500;
  p.EndLoan = 9800.75;
  p.Memo = "Call back Tuesday.\r\nWants the red one.\r\n";
  p.CustomerID = 123456;
  p.LoanRate = 0.0875;
  p.InvestRate = 0.05;
  p.AllowedMiles = 12000;
  p.PrePaidActualMiles = 15000;
  p.EOLActualMiles = 18000;
  p.PrePaidCentsPerMile = 0.1;
  p.EOLCentsperMile = 0.15;
  p.Profit = 400;
  p.Incentive = 300;
  p.Advertising = 200;
  p.Holdback = 100;
  p.Other = 50;
  p.UseFullMSRP = -1;
  p.PurchRebate = 1000;
  p.PurchRegistration = 85.5;
  p.PurchTitle = 12;
  p.PurchSales = 1448.1;
  p.PurchUseTax = 3;
  p.PurchPropertyTax = 4.25;
  p.PurchLuxuryTax = 0.5;
  p.PurchOther = 7;
  p.PurchSalesOverride = -1;
  p.PurchUseTaxOverride = 0;
  p.PurchPropertyTaxOverride = -1;
  p.PurchLuxuryTaxOverride = 0;
  p.CustomerName = "Jane Roe";
  p.Balloon = 5000;
  p.FordAPR = 0.0599;
  p.FordAdminFactor = 0.0002;
  p.DaysToFirstPayment = 45;
  return p;
}

TEST(PageFields, StoreThenLoadGivesBackEveryField) {
  Engine e;
  e.PageCount = 2;
  e.CurrentPage = 2;
  const PageRecord stored = FullPage();
  e.page = stored;
  e.SavePageFields();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);

  e.page = PageRecord{};
  e.page.CarName = "something else";
  e.LoadPageFields();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
  EXPECT_EQ(e.page, stored);
  EXPECT_EQ(e.page.UseFullMSRP, -1);
  EXPECT_EQ(e.page.Memo, "Call back Tuesday.\r\nWants the red one.\r\n");

  // Column 29 holds Incentive and column 30 Advertising; column 51 stays empty.
  grid::Sheet& s = e.WKS.SheetAt(1);
  EXPECT_EQ(s.NumberRC(2, 29), 300);
  EXPECT_EQ(s.NumberRC(2, 30), 200);
  EXPECT_EQ(s.TextRC(2, 33), "-1");
  EXPECT_TRUE(s.IsEmpty(2, 51));
  // Page 1 was never stored.
  EXPECT_TRUE(s.IsEmpty(1, 2));
}

TEST(PageFields, AValueThatIsNotAFiniteNumberIsStoredAsZero) {
  Engine e;
  e.page = FullPage();
  e.page.Margin = HUGE_VAL;
  e.page.Residual = -HUGE_VAL;
  e.page.Months = std::nan("");
  e.page.PurchSales = HUGE_VAL;
  e.SavePageFields();
  const grid::Sheet& s = e.WKS.SheetAt(1);
  for (int col : {6, 9, 10, 37}) {
    EXPECT_FALSE(s.IsEmpty(1, col)) << col;
    EXPECT_EQ(s.NumberRC(1, col), 0) << col;
  }
  EXPECT_EQ(s.NumberRC(1, 3), FullPage().BaseInv) << "the other fields as they are";
}

TEST(PageFields, NeverStoredRowLoadsEmpty) {
  Engine e;
  e.CurrentPage = 4;
  e.page = FullPage();
  e.LoadPageFields();

  PageRecord expected;  // empty texts, zeros, false flags
  expected.DaysToFirstPayment = 30;
  // Once loaded, the purchase fees hold numbers, not empty values.
  for (Var* v : {&expected.PurchRebate, &expected.PurchRegistration, &expected.PurchTitle, &expected.PurchSales,
                 &expected.PurchUseTax, &expected.PurchPropertyTax, &expected.PurchLuxuryTax, &expected.PurchOther})
    *v = 0.0;
  EXPECT_EQ(e.page, expected);
  EXPECT_FALSE(e.page.PurchSales.IsEmpty());
}

TEST(PageFields, TabsInTextFieldsAreStoredAsBlanks) {
  Engine e;
  PageRecord p = FullPage();
  p.CT = "C\t";
  p.CarName = "Taurus\tGL";
  p.TabParam = "\t36";
  p.Memo = "one\ttwo\tthree";
  p.CustomerName = "Roe,\tJane";
  e.page = p;
  e.SavePageFields();
  e.LoadPageFields();

  EXPECT_EQ(e.page.CT, "C ");
  EXPECT_EQ(e.page.CarName, "Taurus GL");
  EXPECT_EQ(e.page.TabParam, " 36");
  EXPECT_EQ(e.page.Memo, "one two three");
  EXPECT_EQ(e.page.CustomerName, "Roe, Jane");
  // Nothing after the texts moved.
  EXPECT_EQ(e.page.BaseInv, p.BaseInv);
  EXPECT_EQ(e.page.LType, p.LType);
  EXPECT_EQ(e.page.CustomerID, p.CustomerID);
  EXPECT_EQ(e.page.Balloon, p.Balloon);
  EXPECT_EQ(e.page.DaysToFirstPayment, p.DaysToFirstPayment);
}

// A file written elsewhere may hold a TAB inside a text cell; it reads as a blank, as a
// typed one is stored, and every later field stays in its place.
TEST(PageFields, TabsInTextCellsOfAFileLoadAsBlanks) {
  Engine e;
  grid::Sheet& s = e.WKS.SheetAt(1);
  s.SetTextRC(1, 2, "A\tB\tC");
  s.SetNumberRC(1, 3, 20000);
  s.SetNumberRC(1, 4, 22000);
  s.SetNumberRC(1, 7, 0.0025);
  s.SetNumberRC(1, 9, 36);
  s.SetNumberRC(1, 10, 12000);
  s.SetTextRC(1, 19, "memo\t");
  s.SetNumberRC(1, 20, 42);
  e.LoadPageFields();
  EXPECT_EQ(e.page.CarName, "A B C");
  EXPECT_EQ(e.page.BaseInv, 20000);
  EXPECT_EQ(e.page.BaseMSRP, 22000);
  EXPECT_EQ(e.page.Factor, 0.0025);
  EXPECT_EQ(e.page.Months, 36);
  EXPECT_EQ(e.page.Residual, 12000);
  EXPECT_EQ(e.page.Memo, "memo ");
  EXPECT_EQ(e.page.CustomerID, 42);
}

TEST(PageFields, AWorksheetHoldsAtMost32767Pages) {
  struct Case {
    const char* name;
    int sheet;
    int rows;
    const char* why;  // "" when it fits
  } cases[] = {
      {"every page the count holds", 1, 32767, ""},
      {"one page more", 1, 32768, "it holds 32768 pages, more than the 32767 a worksheet can hold"},
      {"70000 pages", 1, 70000, "it holds 70000 pages, more than the 32767 a worksheet can hold"},
      {"start-up rows past the pages", 3, 40000,
       "its sheet StartUps holds 40000 rows, more than the 32767 pages a worksheet can hold"},
      {"fee rows past the pages", 5, 32768,
       "its sheet EOLFees holds 32768 rows, more than the 32767 pages a worksheet can hold"},
      {"many option rows", 2, 100000, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Engine e;
    e.WKS.SheetAt(c.sheet).SetMaxRow(c.rows);
    std::string why = "left over";
    EXPECT_EQ(FitsWorksheet(e.WKS, why), std::string(c.why).empty());
    EXPECT_EQ(why, c.why);
  }
}

// A worksheet whose pages hold values no deal can have is refused whole, naming the page;
// the workbook checked is handed back as it was.
TEST(PageFields, AWorksheetHoldsOnlyValuesADealCanHave) {
  struct Case {
    const char* name;
    std::function<void(Engine&)> change;  // on page 2
    const char* why;                      // "" when it fits
  } cases[] = {
      {"ordinary pages", [](Engine&) {}, ""},
      {"an invoice of 1e308", [](Engine& e) { e.page.BaseInv = 1e308; },
       "page 2 holds an amount too large for a deal"},
      {"a loan rate of -1e308", [](Engine& e) { e.page.LoanRate = -1e308; },
       "page 2 holds an amount too large for a deal"},
      {"a residual of $100,000,000", [](Engine& e) { e.page.Residual = 1e8; },
       "page 2 holds an amount too large for a deal"},
      {"a start-up item of 1e20", [](Engine& e) { e.items.Security.Cash = 1e20; },
       "page 2 holds an amount too large for a deal"},
      {"negative months", [](Engine& e) { e.page.Months = -12; }, "page 2 holds a negative number of months"},
      {"negative loan months", [](Engine& e) { e.page.LoanMonths = -5; },
       "page 2 holds a negative number of months"},
      {"an option price of 1e308",
       [](Engine& e) {
         e.WKS.SetSheet(2);
         e.WKS.SetNumberRC(1, 1, 2);
         e.WKS.SetNumberRC(1, 3, 1e308);
         e.WKS.SetSheet(1);
       },
       "page 2 has an option price too large for a deal"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Engine e;
    e.page = FullPage();
    for (int16_t n : {1, 2, 3}) {
      e.CurrentPage = n;
      if (n == 2) c.change(e);
      e.SavePageFields();
      e.SavePageItems();
      e.page = FullPage();
      e.items = PageItems{};
    }
    const std::string before = e.WKS.SheetAt(1).TextRC(2, 3) + "|" + e.WKS.SheetAt(1).TextRC(3, 2);
    std::string why = "left over";
    EXPECT_EQ(HoldsDealValues(e.WKS, why), std::string(c.why).empty());
    EXPECT_EQ(why, c.why);
    EXPECT_EQ(e.WKS.SheetAt(1).MaxRow(), 3) << "the workbook is given back";
    EXPECT_EQ(e.WKS.SheetAt(1).TextRC(2, 3) + "|" + e.WKS.SheetAt(1).TextRC(3, 2), before);
  }
}

// Cells of a worksheet file changed outside the program.
TEST(PageFields, OddCellsAreReadSafely) {
  struct Case {
    int col;
    std::string cell;
    std::function<double(const PageRecord&)> field;
    double expected;
  } cases[] = {
      {13, "40000", [](const PageRecord& p) { return p.LType; }, 32767},
      {14, "-1000000", [](const PageRecord& p) { return p.MfgNum; }, -32768},
      {33, "1E10", [](const PageRecord& p) { return p.UseFullMSRP; }, 32767},
      {20, "1E12", [](const PageRecord& p) { return p.CustomerID; }, INT32_MAX},
      {23, "-3E10", [](const PageRecord& p) { return p.AllowedMiles; }, INT32_MIN},
      {24, "2.5", [](const PageRecord& p) { return p.PrePaidActualMiles; }, 2},  // half to even
      {50, "3.5", [](const PageRecord& p) { return p.DaysToFirstPayment; }, 4},
      {50, "0", [](const PageRecord& p) { return p.DaysToFirstPayment; }, 30},
      {50, "99999", [](const PageRecord& p) { return p.DaysToFirstPayment; }, 32767},
      {3, "12abc", [](const PageRecord& p) { return p.BaseInv; }, 12},
      {4, "abc", [](const PageRecord& p) { return p.BaseMSRP; }, 0},
      {37, "1,5", [](const PageRecord& p) { return p.PurchSales; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("column " + std::to_string(c.col) + " holding \"" + c.cell + "\"");
    Engine e;
    e.WKS.SheetAt(1).SetTextRC(1, c.col, c.cell);
    e.LoadPageFields();
    EXPECT_EQ(c.field(e.page), c.expected);
  }
}

TEST(PageFields, NextTabField) {
  struct Case {
    std::string text, field, rest;
  } cases[] = {
      {"a\tb\tc", "a", "b\tc"},
      {"\tb", "", "b"},
      {"last", "last", ""},  // no TAB: the whole text, nothing left
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string t = c.text;
    EXPECT_EQ(Engine::NextTabField(t), c.field) << c.text;
    EXPECT_EQ(t, c.rest) << c.text;
  }
}

// ---- items, adjustments, fees --------------------------------------------------------

PageItems SampleItems() {
  PageItems it;
  it.Security = {0, 375, 0, 0, 0};
  it.Registration = {123.4567, 0.0004, 0, 1, 0};
  it.Title = {12, 3.5, 0, 0, 1};
  it.SalesTax = {1, 2, 0, 1, 1};
  it.CapRedTax = {0, 90, 0, 0, 0};
  it.FirstPayment = {368.497222, 0, 0, 0, 0};
  it.Acquisition = {450, 0, 0, 0, 0};
  it.PrePaidMileFee = {0, 300, 0, 1, 0};
  it.LuxuryTax = {0, 0, 0, 0, 0};
  it.TradeEquity = {-1000, -999.9996, 0, 1, 0};
  it.LeaseRebate = {0, 500, 0, 0, 0};
  it.DocumentFee = {0, 65, 0, 0, 0};
  it.RebateTax = {0, 30, 0, 0, 0};
  it.OtherFee = {10.125, 0, 0, 0, 0};
  it.STaxOnFeesTaxes = {0, 7.77, 0, 0, 0};
  it.STaxSumPmt = {1325.6789, 0, 0, 0, 0};
  it.TradePayoff = 4000.0006;
  it.TradeAllowance = 5000;
  it.Adjustments[1] = {"Dealer credit", -500, 0};
  it.Adjustments[2] = {"Etching", 0, 199.99};
  it.Adjustments[7] = {"Warranty", 1234.56789012345, 0.5};
  it.Adjustments[10] = {"Last row", 1, -1};
  it.TotalAdjust = {735.56789012345, 199.49};
  it.EOLFees[1] = {"Excess miles", 412.5};
  it.EOLFees[2] = {"Disposition", 350};
  it.EOLFees[10] = {"Wear", 0.25};
  it.TotalEOLFees = 762.75;
  return it;
}

// What the store keeps: Cap, Cash and the trade values at three decimals.
PageItems AsStored(PageItems it) {
  it.Registration.Cap = 123.457;
  it.Registration.Cash = 0;
  it.TradeEquity.Cash = -1000;
  it.OtherFee.Cap = 10.125;
  it.STaxSumPmt.Cap = 1325.679;
  it.FirstPayment.Cap = 368.497;
  it.TradePayoff = 4000.001;
  return it;
}

TEST(PageItems, StoreThenLoadGivesBackTheItems) {
  Engine e;
  e.PageCount = 3;
  e.CurrentPage = 3;
  e.items = SampleItems();
  e.SavePageItems();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);

  // Amount, AlsoTax and Tax are not stored and not touched by the load.
  e.items = PageItems{};
  e.items.Security.Amount = 11;
  e.items.Security.AlsoTax = 1;
  e.items.Security.Tax = 22;
  e.LoadPageItems();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);

  PageItems expected = AsStored(SampleItems());
  expected.Security.Amount = 11;
  expected.Security.AlsoTax = 1;
  expected.Security.Tax = 22;
  EXPECT_EQ(e.items, expected);
  EXPECT_EQ(e.items.Adjustments[1].Cap, -500);  // a credit keeps its sign
}

TEST(PageItems, CellTexts) {
  Engine e;
  e.items = SampleItems();
  e.items.LuxuryTax = {};
  e.items.Adjustments[3] = {"Tab\tin it", 0.25, -0.75};
  e.items.EOLFees[3] = {"Wear\tand tear", 0.5};
  e.SavePageItems();

  const grid::Sheet& su = e.WKS.SheetAt(3);
  EXPECT_EQ(su.TextRC(1, 9), ".\t.\t 0\t 0");  // an all-zero item
  EXPECT_EQ(su.TextRC(1, 1), ".\t375.\t 0\t 0");
  EXPECT_EQ(su.TextRC(1, 2), "123.457\t.\t 1\t 0");
  EXPECT_EQ(su.TextRC(1, 3), "12.\t3.5\t 0\t 1");
  EXPECT_EQ(su.TextRC(1, 10), "-1000.\t-1000.\t 1\t 0");
  EXPECT_EQ(su.TextRC(1, 14), "4000.001\t5000.");
  EXPECT_EQ(su.TextRC(1, 20), "1325.679\t.\t 0\t 0");  // STaxSumPmt
  for (int col : {11, 12, 15}) EXPECT_TRUE(su.IsEmpty(1, col)) << col;

  const grid::Sheet& adj = e.WKS.SheetAt(4);
  EXPECT_EQ(adj.TextRC(1, 1), "Dealer credit\tEtching\t-500\t 0\t 0\t 199.99");
  EXPECT_EQ(adj.TextRC(1, 2), "Tab in it\t\t .25\t 0\t-.75\t 0");
  EXPECT_EQ(adj.TextRC(1, 4), "Warranty\t\t 1234.56789012345\t 0\t .5\t 0");
  EXPECT_EQ(adj.TextRC(1, 5), "\tLast row\t 0\t 1\t 0\t-1");
  EXPECT_EQ(adj.TextRC(1, 6), " 735.56789012345\t 199.49");

  const grid::Sheet& fees = e.WKS.SheetAt(5);
  EXPECT_EQ(fees.TextRC(1, 1), "Excess miles\tDisposition\t 412.5\t 350");
  EXPECT_EQ(fees.TextRC(1, 2), "Wear and tear\t\t .5\t 0");
  EXPECT_EQ(fees.TextRC(1, 5), "\tWear\t 0\t .25");
  EXPECT_EQ(fees.TextRC(1, 6), "762.75");

  // The blanked descriptions come back without shifting anything.
  e.items = PageItems{};
  e.LoadPageItems();
  EXPECT_EQ(e.items.Adjustments[3].Desc, "Tab in it");
  EXPECT_EQ(e.items.Adjustments[3].Cap, 0.25);
  EXPECT_EQ(e.items.Adjustments[4].Desc, "");
  EXPECT_EQ(e.items.Adjustments[3].Cash, -0.75);
  EXPECT_EQ(e.items.EOLFees[3].Desc, "Wear and tear");
  EXPECT_EQ(e.items.EOLFees[3].Amount, 0.5);
  EXPECT_EQ(e.items.EOLFees[4].Amount, 0);
}

TEST(PageItems, TotalFeesBelowOneHaveALeadingZero) {
  Engine e;
  e.items.TotalEOLFees = 0.75;
  e.SavePageEOLFees();
  EXPECT_EQ(e.WKS.SheetAt(5).TextRC(1, 6), "0.75");
  e.items.TotalEOLFees = -0.5;
  e.SavePageEOLFees();
  EXPECT_EQ(e.WKS.SheetAt(5).TextRC(1, 6), "-0.5");
  e.items.TotalEOLFees = 0;
  e.LoadPageItems();
  EXPECT_EQ(e.items.TotalEOLFees, -0.5);
}

TEST(PageItems, NeverStoredRowLoadsAsZeros) {
  Engine e;
  e.CurrentPage = 2;
  e.items = SampleItems();
  e.LoadPageItems();
  EXPECT_EQ(e.items, PageItems{});
}

TEST(PageItems, UnusedStartUpColumnsAreIgnored) {
  Engine e;
  grid::Sheet& su = e.WKS.SheetAt(3);
  for (int col : {11, 12, 15}) su.SetTextRC(1, col, "99\t99\t1\t1");
  e.LoadPageItems();
  EXPECT_EQ(e.items, PageItems{});
}

TEST(PageItems, ActiveSheetAfterEachRoutine) {
  Engine e;
  e.SavePageAdjustments();
  EXPECT_EQ(e.WKS.ActiveSheet(), 4);
  e.SavePageEOLFees();
  EXPECT_EQ(e.WKS.ActiveSheet(), 5);
  e.SavePageItems();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
  e.WKS.SetSheet(2);
  e.LoadPageItems();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
  e.WKS.SetSheet(3);
  e.SavePageFields();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
  e.WKS.SetSheet(3);
  e.LoadPageFields();
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
}

TEST(PageItems, CellParsers) {
  // Outputs start from garbage to show that every one is set.
  double cap = 9, cash = 9;
  int16_t manual = 9, aux = 9;
  struct ItemCase {
    std::string cell;
    double cap, cash;
    int16_t manual, aux;
  } itemCases[] = {
      {"", 0, 0, 0, 0},
      {"12.5", 12.5, 0, 0, 0},                // fewer TABs: the rest is 0
      {"12.5\t3", 12.5, 3, 0, 0},
      {"1.\t2.\t 1\t 0", 1, 2, 1, 0},
      {"1\t2\t1\t0\t7", 1, 2, 1, 7},          // more TABs: the last field reads past them
      {"0\t0\t99999\t-99999", 0, 0, 32767, -32768},  // flags clamped to 16 bits
      {"x\t-.5\t1.5\t2.5", 0, -0.5, 2, 2},    // halves to the even neighbour
  };
  for (const ItemCase& c : itemCases) {
    cap = cash = 9;
    manual = aux = 9;
    Engine::SplitItemCell(c.cell, cap, cash, manual, aux);
    EXPECT_EQ(cap, c.cap) << c.cell;
    EXPECT_EQ(cash, c.cash) << c.cell;
    EXPECT_EQ(manual, c.manual) << c.cell;
    EXPECT_EQ(aux, c.aux) << c.cell;
  }

  std::string d1 = "x", d2 = "x";
  double a = 9, b = 9, c1 = 9, c2 = 9;
  Engine::SplitAdjustmentCell("Only one", d1, d2, a, b, c1, c2);
  EXPECT_EQ(d1, "Only one");
  EXPECT_EQ(d2, "");
  EXPECT_EQ(a + b + c1 + c2, 0);
  Engine::SplitAdjustmentCell("A\tB\t1\t2\t3\t4", d1, d2, a, b, c1, c2);
  EXPECT_EQ(d1 + "|" + d2, "A|B");
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c1, 3);
  EXPECT_EQ(c2, 4);

  Engine::SplitEOLFeeCell("A\tB\t 5", d1, d2, a, b);
  EXPECT_EQ(d1 + "|" + d2, "A|B");
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 0);
  Engine::SplitEOLFeeCell("", d1, d2, a, b);
  EXPECT_EQ(d1 + d2, "");
  EXPECT_EQ(a + b, 0);

  Engine::SplitTradeCell("7", a, b);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 0);
}

TEST(PageStore, TabFreeText) {
  EXPECT_EQ(TabFreeText("a\tb\t\tc"), "a b  c");
  EXPECT_EQ(TabFreeText("line\r\nbreak"), "line\r\nbreak");
}

// ---- workbook and start-up sheet layout ------------------------------------------------

TEST(WorkbookLayout, FiveSheetsWithTheirHeadings) {
  Engine e;
  ASSERT_EQ(e.WKS.NumSheets(), 5);
  const char* names[] = {"Worksht", "Options", "StartUps", "Adjustments", "EOLFees"};
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(e.WKS.SheetName(n), names[n - 1]);
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);

  const grid::Sheet& w = e.WKS.SheetAt(1);
  EXPECT_EQ(w.ColText(1), "CT");
  EXPECT_EQ(w.ColText(29), "Incentive");
  EXPECT_EQ(w.ColText(30), "Advertising");
  EXPECT_EQ(w.ColText(33), "DiscMSRP");
  EXPECT_EQ(w.ColText(38), "PurchUse");
  EXPECT_EQ(w.ColText(44), "PurchPropForced");
  EXPECT_EQ(w.ColText(47), "Balloon");
  EXPECT_EQ(w.ColText(48), "");
  EXPECT_EQ(e.WKS.SheetAt(2).ColText(1), "WorkshtNum");
  EXPECT_EQ(e.WKS.SheetAt(2).ColText(5), "Dummy");
  const grid::Sheet& su = e.WKS.SheetAt(3);
  EXPECT_EQ(su.ColText(11), "PersPropTax");
  EXPECT_EQ(su.ColText(14), "Trade");
  EXPECT_EQ(su.ColText(19), "STaxSumPmt");
  EXPECT_EQ(su.ColText(20), "");
  EXPECT_EQ(e.WKS.SheetAt(4).ColText(5), "Adjustment9/10");
  EXPECT_EQ(e.WKS.SheetAt(4).ColText(6), "TotalAdjust");
  EXPECT_EQ(e.WKS.SheetAt(5).ColText(1), "EOLFees1/2");
  EXPECT_EQ(e.WKS.SheetAt(5).ColText(6), "TotalEOLFees");
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(e.WKS.SheetAt(n).LastCol(), 0) << "sheet " << n << " holds no data";

  // A reset after use empties the sheets again and keeps their layout.
  e.WKS.SheetAt(2).SetNumberRC(4, 1, 1);
  e.WKS.SetSheet(3);
  e.ResetWorkbook();
  EXPECT_EQ(e.WKS.SheetAt(2).LastCol(), 0);
  EXPECT_EQ(e.WKS.SheetAt(2).MaxRow(), 1);
  EXPECT_EQ(e.WKS.SheetAt(2).NumberRC(1, 1), 0);
  EXPECT_EQ(e.WKS.SheetName(4), "Adjustments");
  EXPECT_EQ(e.WKS.ActiveSheet(), 1);
}

TEST(WorkbookLayout, ForeignWorkbooksAreRecognised) {
  Engine e;
  std::string why;
  EXPECT_TRUE(Engine::IsWorksheetWorkbook(e.WKS, why));

  grid::Workbook renamed = e.WKS;
  renamed.SetSheetName(3, "Startups");
  EXPECT_FALSE(Engine::IsWorksheetWorkbook(renamed, why));
  EXPECT_NE(why.find("StartUps"), std::string::npos) << why;

  grid::Workbook fewer;
  fewer.SetNumSheets(4);
  EXPECT_FALSE(Engine::IsWorksheetWorkbook(fewer, why));
  EXPECT_FALSE(why.empty());
}

TEST(StartUpsSheetLayout, TitlesCaptionsAndCheckBoxes) {
  Engine e;
  const grid::Sheet& s = e.StartUpsSheet;
  EXPECT_EQ(s.TextRC(1, 2), "Capitalize");
  EXPECT_EQ(s.TextRC(1, 3), "      Cash     Taxable     Tax");
  struct Row {
    int row;
    const char* caption;
    int checkBox;
  } rows[] = {
      {2, "First Payment", 0},           {3, "Security Deposit", 1},
      {4, "Registration Fee", 2},        {5, "Title Fee", 3},
      {6, "Document Fee", 4},            {7, "Tax on Sum of Pmts", 0},
      {8, "Tax on Cap Reduction", 6},    {9, "Tax on Rebate", 7},
      {10, "Luxury Tax", 8},             {11, "Less              Equity", 9},
      {12, "Acquisition Fee", 10},       {13, "Factory-to-Customer Rebate", 11},
      {14, "Pre-Paid             ", 12}, {15, "Other", 13},
      {16, "Tax on Fees & Taxes", 0},    {17, "Total", 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(s.TextRC(r.row, 1), r.caption) << r.row;
    EXPECT_EQ(StartUpCaption(r.row), std::string(r.caption)) << r.row;
    EXPECT_EQ(StartUpCheckBoxId(r.row), r.checkBox) << r.row;
    EXPECT_EQ(s.CheckBoxAt(r.row, 4), r.checkBox) << r.row;
  }
  EXPECT_EQ(s.CheckBoxes().size(), 12u);
  EXPECT_FALSE(s.HasCheckBox(5));
  EXPECT_EQ(s.MaxRow(), 17);
  EXPECT_EQ(StartUpCheckBoxId(1), 0);
  EXPECT_EQ(StartUpCheckBoxId(18), 0);
}

TEST(StartUpsSheetLayout, ItemOfRow) {
  Engine e;
  EXPECT_EQ(e.ItemOfRow(2), &e.items.FirstPayment);
  EXPECT_EQ(e.ItemOfRow(7), &e.items.STaxSumPmt);
  EXPECT_EQ(e.ItemOfRow(11), &e.items.TradeEquity);
  EXPECT_EQ(e.ItemOfRow(13), &e.items.LeaseRebate);
  EXPECT_EQ(e.ItemOfRow(16), &e.items.STaxOnFeesTaxes);
  EXPECT_EQ(e.ItemOfRow(1), nullptr);
  EXPECT_EQ(e.ItemOfRow(17), nullptr);
}

TEST(PageInputsTest, RestoreAndDefaultRates) {
  Engine e;
  e.page = FullPage();
  e.items = SampleItems();
  const PageInputs saved = e.SnapshotInputs();
  e.page.Margin = 1;
  e.items.Security.Cash = 2;
  e.RestoreInputs(saved);
  EXPECT_EQ(e.SnapshotInputs(), saved);

  e.cfg.DefaultLoanRate = 0.0799;
  e.cfg.DefaultInvestRate = 0.04;
  e.cfg.DefaultAdminFactor = 0.0003;
  e.ApplyDefaultRates();
  EXPECT_EQ(e.page.LoanRate, 0.0799);
  EXPECT_EQ(e.page.InvestRate, 0.04);
  EXPECT_EQ(e.page.FordAdminFactor, 0.0003);
}

}  // namespace
}  // namespace qv
