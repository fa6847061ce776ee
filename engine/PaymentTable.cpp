// The payment table: margin rows by column sets, each cell a full page recalculation.
#include "engine/PaymentTable.h"

#include <cmath>

#include "engine/NumText.h"
#include "engine/QuietHost.h"
#include "engine/Runtime.h"

namespace qv {

namespace {

constexpr int kMaxSteps = kMaxTableRows - 1;
// Keeps a quotient such as 2150 / 50 from landing just below a whole number.
constexpr double kQuotientSlack = 1e-9;

double Range(double start, double end) {
  const double r = std::fabs(end - start);
  return std::isfinite(r) ? r : 0;
}

// The number of whole steps in the range.
double Steps(double range, double step) { return std::floor(range / step + kQuotientSlack); }

// The fill's hold on the page: quiet trials, then the inputs put back and one displayed
// recalculation, also when a trial throws.
class TableScope {
 public:
  explicit TableScope(Engine& e) : e_(e), saved_(e.SnapshotInputs()), host_(e.host), quiet_(e) { e_.host = &quiet_; }
  ~TableScope() {
    e_.host = host_;
    e_.RestoreInputs(saved_);
    e_.RecalcPage();
  }
  TableScope(const TableScope&) = delete;
  TableScope& operator=(const TableScope&) = delete;

 private:
  Engine& e_;
  PageInputs saved_;
  EngineHost* host_;
  QuietHost quiet_;
};

}  // namespace

double FittedTableStep(double start, double end, double step) {
  if (!std::isfinite(step) || step < 1) step = 1;
  const double range = Range(start, end);
  if (Steps(range, step) > kMaxSteps) step = std::floor(range / kMaxSteps) + 1;
  return step;
}

double TableStepFromEntry(double typed, double start, double end) {
  double v = std::isfinite(typed) ? typed : 1;
  if (v < 1) v = 1;
  const double range = Range(start, end);
  if (range >= 1 && v > range) v = range;
  return FittedTableStep(start, end, v);
}

int TableRowCount(double start, double end, double step) {
  const double s = FittedTableStep(start, end, step);
  const double n = Steps(Range(start, end), s);
  return static_cast<int>(std::min<double>(n, kMaxSteps)) + 1;
}

double TableRowMargin(double start, double end, double step, int row) {
  const double s = FittedTableStep(start, end, step);
  const double direction = end < start ? -1 : 1;
  return start + direction * s * (row - 1);
}

bool TableSetInUse(const Engine& e, int set) {
  return static_cast<double>(e.TableMonths[set]) != 0 && static_cast<double>(e.TableResiduals[set]) != 0;
}

std::string DefaultTableHeading(int col) {
  switch (col) {
    case 1: return "Margin";
    case 2: return "Cap\r\nCost";
    case 3: return "24\r\nMonths";
    case 4: return "36\r\nMonths";
    case 5: return "48\r\nMonths";
    case 6: return "60\r\nMonths";
    default: return {};
  }
}

void WriteTableSetHeading(const Engine& e, grid::Sheet& sheet, int set) {
  if (!TableSetInUse(e, set)) {
    sheet.SetColText(set + 2, "");
    return;
  }
  sheet.SetColText(set + 2, "Months" + StrNum(e.TableMonths[set]) + "\r\nRes " +
                                Format(e.TableResiduals[set], "#,##0;; ") + "\r\nFact " +
                                Format(e.TableFactors[set], "0.00000;; "));
}

void ClearTableSet(grid::Sheet& sheet, int set) {
  sheet.ClearRange(1, set + 2, sheet.MaxRow(), set + 2);
  sheet.SetColText(set + 2, "");
}

int FillPaymentTableSheet(Engine& e, grid::Sheet& sheet, bool withTax) {
  e.TableMarginStep = FittedTableStep(e.TableMarginStart, e.TableMarginEnd, e.TableMarginStep);
  const double start = e.TableMarginStart, end = e.TableMarginEnd, step = e.TableMarginStep;
  const int rows = TableRowCount(start, end, step);

  bool inUse[5] = {false, false, false, false, false};
  for (int i = 1; i <= 4; ++i) inUse[i] = TableSetInUse(e, i);

  // Rows and columns of an earlier table do not survive into this one.
  sheet.ClearRange(1, 1, sheet.MaxRow(), 6);
  sheet.SetMaxRow(rows);
  sheet.SetMaxCol(6);

  // The row's cap cost is the page's own deal at the row's margin: what a set whose term,
  // factor and residual are the page's own recalculates anyway, else one more recalculation
  // per row. (The cap cost follows the margin by more than one for one where a luxury tax or
  // a capitalised item that depends on the price or the payment is part of it.)
  const double ownMonths = e.page.Months, ownFactor = e.page.Factor, ownResidual = e.page.Residual;
  int ownSet = 0;
  for (int i = 1; i <= 4 && ownSet == 0; ++i)
    if (inUse[i] && static_cast<double>(e.TableMonths[i]) == ownMonths &&
        static_cast<double>(e.TableFactors[i]) == ownFactor && static_cast<double>(e.TableResiduals[i]) == ownResidual)
      ownSet = i;

  int trials = 0;
  {
    TableScope scope(e);
    auto trial = [&](double m, double months, double factor, double residual) {
      e.page.Margin = m;
      e.page.Residual = residual;
      e.page.Factor = factor;
      e.page.Months = months;
      e.RecalcPage();
      ++trials;
    };
    for (int r = 1; r <= rows; ++r) {
      const double m = TableRowMargin(start, end, step, r);
      sheet.SetNumberRC(r, 1, m);
      if (ownSet == 0) {
        trial(m, ownMonths, ownFactor, ownResidual);
        sheet.SetNumberRC(r, 2, e.res.CapCost);
      }
      for (int i = 1; i <= 4; ++i) {
        if (!inUse[i]) continue;
        trial(m, e.TableMonths[i], e.TableFactors[i], e.TableResiduals[i]);
        if (i == ownSet) sheet.SetNumberRC(r, 2, e.res.CapCost);
        const double payment = withTax ? e.res.PaymentWT : e.res.PaymentNT;
        sheet.SetNumberRC(r, i + 2, Engine::RoundNum(payment, 2));
      }
    }
  }
  for (int i = 1; i <= 4; ++i) WriteTableSetHeading(e, sheet, i);
  return trials;
}

std::string PaymentTableText(const grid::Sheet& sheet) {
  std::string out;
  for (int c = 1; c <= 6; ++c) {
    std::string h = sheet.ColText(c);
    out += CleanGridText(h);
    out += c < 6 ? "\t" : "\r\n";
  }
  // A one-row selection's text has no line end: each row gets its own.
  for (int r = 1; r <= sheet.MaxRow(); ++r) {
    out += sheet.ClipRange(r, 1, r, 6);
    out += "\r\n";
  }
  return out;
}

std::string PackedRateTableText(Engine& e) {
  std::string own = std::move(e.page.TabParam);
  e.PackRateTable();
  std::string packed = std::move(e.page.TabParam);
  e.page.TabParam = std::move(own);
  return packed;
}

}  // namespace qv
