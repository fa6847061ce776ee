// The result display: the last step of every recalculation writes the page's fields and
// results into the window as formatted text, for the always-shown block and the view that
// is selected.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include "dialogs/StartUps2.h"
#include "dialogs/Tables.h"
#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

namespace {


void Put(QLineEdit* box, const std::string& text) {
  const QString t = Q(text);
  if (box->text() != t) box->setText(t);
}

void Put(QLabel* label, const std::string& text) { label->setText(Q(text)); }

constexpr uint32_t kBlue = 0xFF0000;  // blue-green-red order
constexpr uint32_t kBlack = 0;

}  // namespace

void QV::ShowPageResults() {
  PageRecord& p = eng.page;
  const PageResults& r = eng.res;
  const PageItems& it = eng.items;
  const char* money = "$#,###.00;; ";

  // The always-shown block.
  Put(lblpagenum, "Page" + StrNum(eng.CurrentPage) + " of" + StrNum(eng.PageCount));
  Put(Text5[0], Format(eng.tax.LeaseTaxRate, "0.0##;;"));
  Put(lblPercMargin, PadRight(Format(r.MarginPerc, " ##.00%;; "), 6));
  // With the Ford APR method this also leaves the effective money factor in the page.
  const double apr = eng.APRFromFactor(r.CapCost, p.Residual, p.Factor, p.Months);
  Put(lblTotals[1], Format(r.MSRP, "$##,###.00;; "));
  Put(lblPurchPrice, Format(r.PurchPrice, money));
  Put(Text3[0], Format(p.BaseInv, money));
  Put(Text3[1], Format(p.BaseMSRP, money));
  Put(Text3[2], Format(p.Dest, money));
  Put(Text3[3], Format(p.Dest, money));
  Put(Text3[4], Format(p.Margin, money));

  if (Shared().NotesOpen && NotesRefresh) NotesRefresh();
  // The payment tables window follows the current page once this display is done (moving
  // it fills its table, which recalculates and displays the page again).
  if (Tables* tables = windows_.IfLoaded<Tables>(); tables && tables->TablePage() != eng.CurrentPage)
    QTimer::singleShot(0, tables, [tables] { tables->FollowCurrentPage(); });
  // The start-up costs window, while shown, follows the start-up sheet and its labels.
  if (StartUps2* startUps = windows_.IfLoaded<StartUps2>(); startUps && startUps->isVisible())
    startUps->refresh();
  // The Method menu follows the page's lease method after every load and change.
  CheckMethodMenu();

  const int view = SelectedTab();
  switch (view) {
    case 1: {
      Put(Text3[6], Format(p.Months, "##.00;; "));
      Put(Text3[7], Format(p.Residual, money));
      Put(Text3[8], Format(p.AllowedMiles, "#,###;; "));
      Put(Text3[5], Format(p.CapRd, money));
      const std::string perc = Format(r.ResPerc, "##.0%;; ");
      if (p.UseFullMSRP) {
        Put(lblResPerc, perc + "**");
        Put(lblResNote, "**Residual is " + perc + " of Full MSRP:" + StrNum(r.TotalMSRP) + " +" +
                            StrNum(r.OptionDiscountTotal) + " Opt Disc =" +
                            StrNum(r.TotalMSRP + r.OptionDiscountTotal));
      } else {
        Put(lblResPerc, perc);
        Put(lblResNote, "");
      }
      Put(lblStartUps, Format(r.TotalStartUps.Cap + it.TradeEquity.Cap, "$#,###.00;($#,###.00); "));
      Put(lblAdjust, Format(it.TotalAdjust.Cap, "$#,###.00;($#,###.00); "));
      Put(lblGrossCap, Format(r.GrossCapCost, "$##,###.00;; "));
      Put(lblAdjustedCap, Format(r.CapCost, "$##,###.00;; "));
      Put(lblTradeCap, Format(it.TradeEquity.Cap, "$##,###.00;; "));
      if (p.LType == 0 || p.LType == 1) {
        Text3[9]->setVisible(true);
        Put(Text3[9], Format(p.Factor, ".0000000;; "));
        Put(Label14[3], "Factor:");
        Text3[24]->setVisible(false);
      } else if (p.LType == 3) {
        Text3[9]->setVisible(false);
        Put(Label14[3], "Ford APR:");
        Text3[24]->setVisible(true);
        Put(Text3[24], Format(p.FordAPR, "0.000%;; "));
      }
      Put(Text3[25], Format(apr, "##.00%;; "));
      Put(Text3[10], Format(r.TotalRent, money));
      Put(Text3[11], Format(p.InvestRate, "0.00%;;"));
      Put(Label2[0], Format(r.LeaseFC, money));
      Put(lblPayment[0], Format(r.LCashReqd, money));
      Put(lblPayment[1], Format(r.PaymentWT, money));
      SetEnabledByRule(cmdbut2[2], p.MfgNum != 0);
      break;
    }
    case 2: {
      Put(Text3[13], Format(p.LoanMonths, "##.00;; "));
      Put(Text3[16], Format(p.EndLoan, money));
      Put(Text3[23], Format(p.Balloon, "$##,###.00;; "));
      Put(Label17[0], "Loan Principle / Cash Required ......");
      Label18[0]->setVisible(true);
      lblDownPmtPerc->setVisible(true);
      Put(lblDownPmtPerc, r.PurchPrice != 0 ? Format(p.DownPmt / r.PurchPrice, "0.00%;; ") : "");
      Text3[12]->setVisible(true);
      Put(Text3[15], Format(p.InvestRate, "0.00%;;"));
      Put(Text3[14], Format(p.LoanRate, "0.00%;;"));
      Put(lblPayment[2], Format(r.PurPmnt, "$####.00;; "));
      const std::string m = Format(p.Months, "#.0;;  ");
      Put(Label14[13], "Value after " + m + " months:");
      Put(Label14[11], "Total Future Cost after " + m + " months:");
      if (p.Months > p.LoanMonths) {
        Put(Label2[1], "Loan too short");
        SetEnabledByRule(Command2[1], false);
      } else {
        Put(Label2[1], Format(r.PurchFC, money));
        SetEnabledByRule(Command2[1], true);
      }
      Put(lblLoanEndPerc[0], Format(r.MSRP != 0 ? p.EndLoan / r.MSRP : 0, "0.0%;;"));
      Put(lblLoan[2], Format(r.TotalTaxFee, money));
      Put(lblLoan[0], Format(r.PurchPrice - it.TradeAllowance, money));
      Put(Text3[21], Format(it.TradeAllowance, money));
      Put(Text3[22], Format(it.TradePayoff, money));
      Put(Text3[12], Format(p.DownPmt, money));
      Put(Text3[20], Format(p.PurchRebate, money));
      Put(Text3[26], Format(p.DaysToFirstPayment, "0;; "));
      Put(lblLoan[8], Format(r.LoanPrinciple, money));
      Put(lblLoan[9], Format(r.PCashReqd, money));
      SetEnabledByRule(cmdbut2[7], p.MfgNum != 0);
      break;
    }
    case 3: {
      Put(Text3[17], Format(p.EndLoan, money));
      const std::string m = Format(p.Months, "#.0;;  ");
      Put(Label14[14], "Value after " + m + " months:");
      Put(Label14[16], "Total Future Cost after " + m + " months:");
      Put(lblLoanEndPerc[1], Format(r.MSRP != 0 ? p.EndLoan / r.MSRP : 0, "0.0%;;"));
      Put(Label2[2], Format(r.CashFC, money));
      Put(Text3[18], Format(p.InvestRate, "0.00%;;"));
      Label18[0]->setVisible(false);
      lblDownPmtPerc->setVisible(false);
      Text3[12]->setVisible(false);
      Put(lblLoan[9], "");
      Put(Label17[0], "Cash Required ..............................");
      Put(lblLoan[2], Format(r.TotalTaxFee, money));
      Put(lblLoan[0], Format(r.PurchPrice - it.TradeAllowance, money));
      Put(Text3[21], Format(it.TradeAllowance, money));
      Put(Text3[22], Format(it.TradePayoff, money));
      Put(Text3[20], Format(p.PurchRebate, money));
      Put(lblLoan[8], Format(r.CCashReqd, money));
      SetEnabledByRule(cmdbut2[9], p.MfgNum != 0);
      break;
    }
    case 4: {
      Put(Label14[21], "Total Future Cost (" + Format(p.Months, "0.0") + " months)");
      Put(Label2[3], Format(r.LeaseFC, money));
      Put(Label2[5], Format(r.CashFC, money));
      const bool loanShort = p.LoanMonths < p.Months;
      if (loanShort) {
        Put(Label2[4], "N/A");
        Put(Label2[6], "N/A");
        Put(Label2[8], "N/A");
      } else {
        Put(Label2[4], Format(r.PurchFC, money));
        Put(Label2[6], Format(r.LeaseLoanRatio, "#.00;; "));
        Put(Label2[8], Format(r.LoanCashRatio, "#.00;; "));
      }
      Put(Label2[7], Format(r.LeaseCashRatio, "#.00;; "));
      Put(Text3[19], Format(p.InvestRate, "0.00%;;"));
      // The cheapest way in blue: only a unique lowest figure, and never one shown as N/A.
      for (int i = 3; i <= 5; ++i) SetForeColor(Label2[i], kBlack);
      // Compared on the cents shown: two figures that show the same are a tie.
      auto cents = [](double v) { return Engine::RoundNum(v, 2); };
      const double lease = cents(r.LeaseFC), loan = cents(r.PurchFC), cash = cents(r.CashFC);
      if (loanShort) {
        if (lease < cash) SetForeColor(Label2[3], kBlue);
        else if (cash < lease) SetForeColor(Label2[5], kBlue);
      } else if (lease < loan && lease < cash) {
        SetForeColor(Label2[3], kBlue);
      } else if (loan < lease && loan < cash) {
        SetForeColor(Label2[4], kBlue);
      } else if (cash < lease && cash < loan) {
        SetForeColor(Label2[5], kBlue);
      }
      break;
    }
    default:
      break;
  }

  if (Shared().DetailsOpen && view >= 1 && view <= 3 && DetailsRefresh) DetailsRefresh(view);

  // A box that keeps the focus now shows a new text: leaving it without typing must not
  // read that text back as an edit, and, as for a box just entered, the new figure is
  // selected so that typing replaces it (the cursor would be left at its end). While a box's
  // LostFocus runs, the focus widget is the box the focus goes to, which has not been
  // entered yet: the text remembered is still the box's being left.
  QWidget* f = focusWidget();
  if (f && !ui::InLostFocus() && (Text3Index(f) >= 0 || f == Text5[0])) {
    auto* box = static_cast<QLineEdit*>(f);
    const std::string shown = box->text().toStdString();
    if (shown != Shared().GotFocusText) box->selectAll();
    Shared().GotFocusText = shown;
  }
}

void QV::SetPageSelectorText(const std::string& text) { SetCombo2Text(text); }

void QV::OptionListShown() {
  // The grid catches up with its sheet when it paints, and nothing else asks it to paint
  // after a load that leaves the rest of the window as it was (a recent file opened from
  // the menu, a page stepped to with the keys): show the new page's options now.
  OptionList->refresh();
  ShowCustomerLabels();
}

}  // namespace qv
