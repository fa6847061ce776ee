#pragma once
// The deal model and calculation engine: the current page record, its start-up items,
// adjustments and end-of-lease fees, the worksheet workbook that holds every page, the
// current tax setting, the program settings, the computed results and the procedures that
// store, load and calculate a page.
//
// One Engine object holds what the program keeps as shared state. The application owns
// one; each test builds its own; windows get a reference to it. The engine never touches a
// window: grids it fills are sheets of the workbook layer, labels it writes are strings, and
// the result display is called through EngineHost.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/grid/Workbook.h"

namespace qv {

// A value that can be empty (reads as 0 when empty), for the results and page fields that
// the calculation leaves undefined in some cases (ResPerc, Payoff, the ratios, the
// purchase fees before the first load, the rate-table values).
class Var {
 public:
  Var() = default;
  Var(double d) : v_(d) {}  // NOLINT: converts like the number it holds
  operator double() const { return v_.value_or(0.0); }  // NOLINT
  bool IsEmpty() const { return !v_.has_value(); }
  void Clear() { v_.reset(); }
  bool operator==(const Var&) const = default;

 private:
  std::optional<double> v_;
};

// The 50 fields of a page, in the column order of sheet "Worksht". Flags hold -1 (true) or 0.
struct PageRecord {
  std::string CT;               // 1  vehicle class "C" or "T"
  std::string CarName;          // 2  vehicle description
  double BaseInv = 0;           // 3
  double BaseMSRP = 0;          // 4
  double Dest = 0;              // 5
  double Margin = 0;            // 6
  double Factor = 0;            // 7
  double Factor2 = 0;           // 8
  double Months = 0;            // 9
  double Residual = 0;          // 10
  double CapRd = 0;             // 11
  std::string TabParam;         // 12 rate-table text
  int16_t LType = 0;            // 13 lease method 0..3
  int16_t MfgNum = 0;           // 14
  double CashMonths = 0;        // 15
  double LoanMonths = 0;        // 16
  double DownPmt = 0;           // 17
  double EndLoan = 0;           // 18
  std::string Memo;             // 19
  int32_t CustomerID = 0;       // 20
  double LoanRate = 0;          // 21 fraction
  double InvestRate = 0;        // 22 fraction
  int32_t AllowedMiles = 0;     // 23
  int32_t PrePaidActualMiles = 0;  // 24
  int32_t EOLActualMiles = 0;   // 25
  double PrePaidCentsPerMile = 0;  // 26
  double EOLCentsperMile = 0;   // 27
  double Profit = 0;            // 28
  double Incentive = 0;         // 29
  double Advertising = 0;       // 30
  double Holdback = 0;          // 31
  double Other = 0;             // 32
  int16_t UseFullMSRP = 0;      // 33 heading "DiscMSRP"
  Var PurchRebate;              // 34
  Var PurchRegistration;        // 35
  Var PurchTitle;               // 36
  Var PurchSales;               // 37
  Var PurchUseTax;              // 38
  Var PurchPropertyTax;         // 39
  Var PurchLuxuryTax;           // 40
  Var PurchOther;               // 41
  int16_t PurchSalesOverride = 0;        // 42
  int16_t PurchUseTaxOverride = 0;       // 43
  int16_t PurchPropertyTaxOverride = 0;  // 44
  int16_t PurchLuxuryTaxOverride = 0;    // 45
  std::string CustomerName;     // 46
  double Balloon = 0;           // 47
  double FordAPR = 0;           // 48 fraction
  double FordAdminFactor = 0;   // 49
  int16_t DaysToFirstPayment = 30;  // 50

  bool operator==(const PageRecord&) const = default;
};

// One start-up cost item: an amount due at signing split into a capitalised and a cash part.
struct StartUpItem {
  double Cap = 0;
  double Cash = 0;
  double Amount = 0;        // computed, not stored
  int16_t ManualSplit = 0;  // 1: split by hand
  int16_t SplitAux = 0;     // stored and loaded only
  int16_t AlsoTax = 0;      // from the tax setting, not stored with the page
  double Tax = 0;           // computed, not stored
  bool operator==(const StartUpItem&) const = default;
};

struct CapCash {
  double Cap = 0;
  double Cash = 0;
  bool operator==(const CapCash&) const = default;
};

struct AdjustmentRec {
  std::string Desc;
  double Cap = 0;
  double Cash = 0;
  bool operator==(const AdjustmentRec&) const = default;
};

struct EOLFeeRec {
  std::string Desc;
  double Amount = 0;
  bool operator==(const EOLFeeRec&) const = default;
};

// The page's lists: start-up items with the trade-in values, adjustments and fees.
struct PageItems {
  StartUpItem Security, Registration, Title, SalesTax, CapRedTax, FirstPayment, Acquisition, PrePaidMileFee,
      LuxuryTax, TradeEquity, LeaseRebate, DocumentFee, RebateTax, OtherFee, STaxOnFeesTaxes, STaxSumPmt;
  double TradePayoff = 0;
  double TradeAllowance = 0;
  std::array<AdjustmentRec, 11> Adjustments{};  // rows 1..10 (0 unused)
  CapCash TotalAdjust;
  std::array<EOLFeeRec, 11> EOLFees{};          // rows 1..10 (0 unused); row 1 the excess-mileage fee
  double TotalEOLFees = 0;
  bool operator==(const PageItems&) const = default;
};

// The current tax setting (one line of "Taxset.txt"); the AlsoTax flags live in the items.
struct TaxSetting {
  std::string TaxSetName;
  float LeaseTaxRate = 0;        // percent
  float TaxMethod = 0;           // 0..3
  int16_t DefaultCapCash = 0;    // 0 cash, 1 capitalised
  int16_t AlsoTaxCapRedCash = 0;
  float BuyTaxRate = 0;          // percent
  float LocalTaxRate = 0;        // percent
  float MaxLocalTax = 0;         // dollars, 0 = none
  int16_t ExclTradeFromLocal = 0;
  float LuxuryTaxRate = 0;       // percent
  int16_t LuxuryTaxCapCash = 0;
  int32_t LuxuryThreshold = 0;   // dollars
  int16_t NoInterestOnLuxuryTax = 0;
  float MaxTax = 0;              // dollars, 0 = none
  int16_t AlsoTaxRebateCash = 0;
  bool operator==(const TaxSetting&) const = default;
};

// The values of the settings file "Quorvant.Cfg" (TaxSetName and ExclTradeFromLocal are
// kept in the tax setting).
struct ProgramSettings {
  double DefaultInvestRate = 0;
  double DefaultLoanRate = 0;
  std::string ReportViewer;
  std::string SpareCfgText;
  std::string WordPath;
  std::string WordPadPath;
  std::string LeaseTemplatePath;
  std::string LoanTemplatePath;
  std::string CashTemplatePath;
  std::string LVBTemplatePath;
  double DefaultAdminFactor = 0;
  int16_t NoUpdateReminder = 0;
};

// Everything CalcLease and the comparison block compute; not stored with the page.
struct PageResults {
  double TotalOptInv = 0, TotalOptMSRP = 0;
  double TotalInvoice = 0, TotalMSRP = 0, MSRP = 0;
  double MarginPerc = 0;
  double PurchPrice = 0;
  double TotalTradeEquity = 0;
  double GrossCapCost = 0;
  double CapCost = 0;
  double OptionDiscountTotal = 0;
  Var ResPerc;
  double PaymentNT = 0, PaymentWT = 0;
  double TotalRent = 0;
  CapCash TotalStartUps;
  // The lease / loan / cash comparison.
  double LCashReqd = 0, LInitCost = 0, PInitCost = 0, CInitCost = 0;
  double LLIIC = 0, PLIIC = 0, CLIIC = 0;
  double LLIPmt = 0, PLIPmt = 0;
  double LeaseFC = 0, PurchFC = 0, CashFC = 0;
  double TotalTaxFee = 0;
  double LoanPrinciple = 0;
  double PurPmnt = 0;
  Var Payoff;
  double PCashReqd = 0, CCashReqd = 0;
  Var LeaseCashRatio, LeaseLoanRatio, LoanCashRatio;
  // Set when a capitalised first payment could not be settled in full, so part of it is
  // paid in cash (RecalcPage).
  bool FirstPaymentUnsettled = false;
  // Set when a figure of the last recalculation was not a finite number (the inputs overflow
  // the arithmetic); such figures are left as 0.
  bool NonFinite = false;
};

// The inputs of the current page: what a search or a Cancel puts back.
struct PageInputs {
  PageRecord page;
  PageItems items;
  bool operator==(const PageInputs&) const = default;
};

// What one page calculation leaves for the next: the start-up items (their taxes depend on
// amounts of the previous calculation) and the rent charge.
struct CarriedState {
  std::array<StartUpItem, 16> items{};
  double totalRent = 0;
};

// What the engine asks of the window side. The main window implements it; tests give
// their own.
class EngineHost {
 public:
  virtual ~EngineHost() = default;
  // Writes the current page's results into the windows (called last by RecalcPage).
  virtual void ShowPageResults() = 0;
  // Shows the residual-basis window modally; it sets page.UseFullMSRP and DialogDone.
  virtual void ShowResBase() {}
  // Puts a text into the page selector (after a page step).
  virtual void SetPageSelectorText(const std::string& text) {}
  // The option grid and the customer labels were refilled.
  virtual void OptionListShown() {}
};

// Rows of the start-up costs sheet, in sheet order: rows 2..16 hold these items.
enum class StartUpRow : int {
  FirstPayment = 2, Security, Registration, Title, DocumentFee, STaxSumPmt, CapRedTax, RebateTax, LuxuryTax,
  TradeEquity, Acquisition, LeaseRebate, PrePaidMileFee, OtherFee, STaxOnFeesTaxes, Totals
};

class Engine {
 public:
  Engine();

  // ---- shared state ----------------------------------------------------------------
  PageRecord page;
  PageItems items;
  PageResults res;
  TaxSetting tax;
  ProgramSettings cfg;

  int16_t CurrentPage = 1;
  int16_t PageCount = 1;

  // The worksheet workbook: 1 "Worksht", 2 "Options", 3 "StartUps", 4 "Adjustments", 5 "EOLFees".
  grid::Workbook WKS;
  // The main window's option grid: column 1 name, 2 invoice, 3 MSRP, 5 the "Options" row.
  grid::Sheet OptionList;
  // The start-up costs window's grid and its two value labels (0 cap reduction cash,
  // 1 total cash required at signing).
  grid::Sheet StartUpsSheet;
  std::array<std::string, 2> StartUpsLabel2;
  // The customer labels of the main window (Label25 name, lblCustID number).
  std::string Label25Caption;
  std::string lblCustIDCaption;

  // Recalculation switches (-1 true, 0 false).
  int16_t SkipItemReload = 0;
  int16_t SkipCompare = 0;
  int16_t SkipSheetFormat = 0;

  // Set by a window its opener waits for when it unloads; GetResidualBase waits for it.
  int16_t DialogDone = 0;
  // The worksheet has changes that are not saved.
  int16_t WorksheetModified = 0;
  // Options added to the current page from the option guide since the page was made.
  int16_t OptionCount = 0, LastOptionCount = 0;

  // Program and worksheet values.
  std::string ReleaseString;
  std::string AppFolder;        // with a trailing "/"
  std::string SettingsIniPath;
  std::string WorksheetFileName;
  std::array<std::string, 5> RecentFiles;  // 0..3 used

  // Payment-table values (elements 1..4).
  std::array<Var, 5> TableMonths{}, TableFactors{}, TableResiduals{};
  double TableMarginStart = 0, TableMarginEnd = 0, TableMarginStep = 0;

  EngineHost* host = nullptr;

  // ---- page store and load -----------------------------------------------------------
  void SavePageFields();
  void LoadPageFields();
  static std::string NextTabField(std::string& text);
  void SavePageItems();
  void SavePageAdjustments();
  void SavePageEOLFees();
  void LoadPageItems();
  static void SplitItemCell(const std::string& cell, double& cap, double& cash, int16_t& manual, int16_t& aux);
  static void SplitTradeCell(const std::string& cell, double& first, double& second);
  static void SplitAdjustmentCell(const std::string& cell, std::string& desc1, std::string& desc2, double& cap1,
                                  double& cap2, double& cash1, double& cash2);
  static void SplitEOLFeeCell(const std::string& cell, std::string& desc1, std::string& desc2, double& amount1,
                              double& amount2);
  // Store the current page (fields and items), and the full load sequence.
  void StorePage();
  void LoadPage();
  // Empties the five sheets and gives them their names and headings.
  void ResetWorkbook();
  // True when a workbook read from a file has the five worksheet sheets.
  static bool IsWorksheetWorkbook(const grid::Workbook& wb, std::string& why);

  // ---- options and page stepping -----------------------------------------------------
  void ShowPageOptions();
  void PageUpDown(int keyCode);

  // ---- rate table and residual basis ---------------------------------------------------
  void PackRateTable();
  void UnpackRateTable();
  double GetResidualBase(double amount);

  // ---- rounding and totals --------------------------------------------------------------
  static double RoundNum(double value, int16_t digits);
  double RoundSecurityDeposit() const;
  void SumStartUps();

  // ---- lease payment ------------------------------------------------------------------
  void CalcLease();
  Var CalcBasePayment(double cap, double residual, double& factor, double factor2, double months);
  double FactorFromAPR(double cap, double residual, double apr, double months) const;
  double APRFromFactor(double cap, double residual, double& factor, double months);
  double SumOptionDiscounts();
  void AskRecalcResidual(double oldResPerc, double oldMSRP);

  // ---- start-up costs and taxes -------------------------------------------------------
  void CalcStartUpTaxes();
  double CalcSalesTax(double amount);
  void CalcTradeEquity();
  void CalcMileageFees();

  // ---- loan and cash comparison ---------------------------------------------------------
  void CompareBlock();
  // The loan payment (0 when it is not a finite number); `finite`, when given, tells
  // whether it was one.
  double CalcLoanPayment(double rate, double months, bool* finite = nullptr);
  static double LostInterestLump(double amount, double rate, double months);
  static double LostInterestStream(double payment, double rate, double months, int16_t inAdvance);

  // ---- recalculation -------------------------------------------------------------------
  void RecalcPage();
  // The calculation part of RecalcPage: settles the page's results (comparison included)
  // without writing the start-up sheet, its labels or the display.
  void SettlePage();
  // True when `candidate` as the current page's inputs gives finite inputs and finite
  // results. It recalculates on the side: the engine's state is as before and nothing is
  // shown. A window asks it before it stores an entry.
  bool GivesFiniteResults(const PageInputs& candidate);
  static bool IsFinite(const PageInputs& in);
  // What keeps a page's inputs from being a deal: an amount, rate or count that is not a
  // finite number smaller than kMaxDealAmount in size (TooLarge), or a term in months below
  // 0 (NegativeTerm). The one rule for what is typed and for what the files hold.
  enum class InputFault { None, TooLarge, NegativeTerm };
  static InputFault CheckDealInputs(const PageInputs& in);
  // A page whose calculation has no single answer is left on one chosen state; the next
  // recalculation resumes from that state while the items are still those it left.
  struct SettledCycle {
    bool valid = false;
    CarriedState left, member;
  } settledCycle;
  void ShowItemTaxes();
  void ShowTaxableChecks();
  void FormatStartUpsSheet();

  // ---- tax settings file -----------------------------------------------------------------
  // Each returns false (with a message naming the file in `error`) when the file cannot be
  // read or written; the current setting is then unchanged.
  // A setting whose line holds values out of range (rates outside 0 to 100, amounts no deal
  // can have) takes the values of a new setting for them, and `notice` gets one message
  // naming the file and the line.
  bool LoadTaxSet(std::string* error = nullptr, std::string* notice = nullptr);
  // Stores the values of a setting's line; false when some were out of range and took the
  // values of a new setting (SetDefaultTaxSet) instead.
  bool ParseTaxSetLine(std::string line);
  std::string BuildTaxSetLine() const;
  bool SaveTaxSet(std::string* error = nullptr);
  // Removes the setting `name` from the file (the lines from the first empty line on stay
  // as they are).
  bool DeleteTaxSet(const std::string& name, std::string* error = nullptr);
  void SetDefaultTaxSet();
  std::string TaxSetPath() const;

  // ---- helpers --------------------------------------------------------------------------
  PageInputs SnapshotInputs() const { return {page, items}; }
  void RestoreInputs(const PageInputs& in);
  // The start-up item of a start-up sheet row (2..16), nullptr for other rows.
  StartUpItem* ItemOfRow(int row);
  // A new page's default rates from the settings.
  void ApplyDefaultRates();
};

// Start-up sheet layout: the check-box object id of a row (0 when none) and the caption.
int StartUpCheckBoxId(int row);
const char* StartUpCaption(int row);

}  // namespace qv
