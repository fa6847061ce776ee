// Deal field editing: what happens while the user is in a deal field (Text3), the tax-rate
// box (Text5) or a caption box (Text4): the text remembered on entry, the Enter focus
// order, and how a typed text becomes a page value when the box is left.
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"
#include "worksheet/Settings.h"

namespace qv {

namespace {

// A rate typed as 9, 9% or .09: a value above 1 is a percentage.
double Percent(double v) { return v > 1 ? v / 100 : v; }

constexpr const char* kCR = "\r";

}  // namespace

void QV::Text3_GotFocus(int Index) {
  QLineEdit* box = Text3[Index];
  Shared().GotFocusText = box->text().toStdString();
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void QV::Text3_KeyDown(int Index, int KeyCode, int Shift) {
  if (KeyCode == 33 || KeyCode == 34) {
    // The page is stored before the step: take what is typed in the box first.
    CommitFieldEdit();
    eng.PageUpDown(KeyCode);
  }
}

void QV::Text3_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  int target = EnterTarget(Index);
  if (target >= 0) Text3[target]->setFocus(Qt::TabFocusReason);
}

int QV::EnterTarget(int Index) const {
  // The box Enter moves to, by the table of the deal fields.
  auto next = [this](int i) -> int {
    static const int table[27] = {1, 2, 3, 4, -2, 6, 7, 8, -3, 25, 11, 0, 20, 14, 16, 0,
                                  23, 18, 0, -1, 13, 22, 23, 26, 25, 10, 13};
    int t = table[i];
    if (t == -2) {
      switch (SelectedTab()) {
        case 1: return 5;
        case 2: return 21;
        case 3: return 17;
        default: return 0;
      }
    }
    if (t == -3) return eng.page.LType == 3 ? 24 : 9;
    return t;
  };
  // A box can take the focus when it is shown on the current view and no slide-out panel
  // lies over it.
  auto reachable = [this](int i) -> bool {
    QLineEdit* box = Text3[i];
    if (!box->isVisibleTo(this) || !box->isEnabled()) return false;
    for (QWidget* panel : {static_cast<QWidget*>(Picture3), static_cast<QWidget*>(Picture5)}) {
      if (!panel || !panel->isVisibleTo(this) || !panel->parentWidget()) continue;
      QWidget* host = panel->parentWidget();
      if (!host->isAncestorOf(box)) continue;
      QRect r(box->mapTo(host, QPoint(0, 0)), box->size());
      if (panel->geometry().intersects(r)) return false;
    }
    return true;
  };
  int t = next(Index);
  if (t < 0) return -1;
  bool seen[27] = {};
  while (!reachable(t)) {
    if (seen[t]) {
      // The chain of the table runs only through boxes that are not shown (the trade boxes
      // lead into the loan boxes, which the cash view hides). In the purchase box, Enter
      // goes on to the next box shown below this one, in the order they stand: trade-in,
      // payoff, down payment, rebate.
      static const int purchaseBox[] = {21, 22, 12, 20};
      const int* at = std::find(std::begin(purchaseBox), std::end(purchaseBox), Index);
      if (at != std::end(purchaseBox))
        for (const int* n = at + 1; n != std::end(purchaseBox); ++n)
          if (reachable(*n)) return *n;
      // Otherwise the first shown box after this one.
      for (int k = 1; k <= 27; ++k) {
        int c = (Index + k) % 27;
        if (reachable(c)) return c;
      }
      return -1;
    }
    seen[t] = true;
    t = next(t);
    if (t < 0) return -1;
  }
  return t;
}

void QV::Text3_LostFocus(int Index) {
  ui::ReentryGuard guard(inText3LostFocus_);
  if (!guard.Entered()) return;
  QLineEdit* box = Text3[Index];
  std::string text = box->text().toStdString();
  if (text == Shared().GotFocusText) return;

  FiniteEntry entry(eng);
  const int16_t wasModified = eng.WorksheetModified;
  eng.WorksheetModified = -1;
  // A value the page cannot hold: the message has said so; the box gets its text back.
  auto refuse = [&] {
    eng.WorksheetModified = wasModified;
    box->setText(QString::fromStdString(Shared().GotFocusText));
  };
  double v = 0;
  if (!ReadEntryAmount(text, v)) {
    refuse();
    return;
  }
  PageRecord& p = eng.page;
  PageResults& r = eng.res;
  PageItems& it = eng.items;
  ui::Prompt& prompt = ui::GetPrompt();
  // The allowed miles carry the mileage fees with them; they are stored once the entry is
  // taken.
  bool storePrePaidFee = false, storeEOLFees = false;

  switch (Index) {
    case 0:
      p.BaseInv = v;
      break;
    case 1:
    case 2:
    case 3: {
      const double oldResPerc = r.ResPerc;
      const double oldMSRP = r.MSRP;
      if (Index == 1) p.BaseMSRP = v;
      else p.Dest = v;
      eng.SkipItemReload = -1;
      eng.CalcLease();
      eng.AskRecalcResidual(oldResPerc, oldMSRP);
      break;
    }
    case 4:
      p.Margin = std::fabs(v) < 1 ? Engine::RoundNum(r.TotalInvoice * v, 0) : v;
      break;
    case 5:
      p.CapRd = std::fabs(v);
      break;
    case 6:
      p.Months = v;
      break;
    case 7:
      if (v < 1) {
        r.OptionDiscountTotal = eng.SumOptionDiscounts();
        const double base = eng.GetResidualBase(r.OptionDiscountTotal);
        p.Residual = Engine::RoundNum(base * v, 2);
      } else {
        p.Residual = v;
      }
      break;
    case 8: {
      const double miles = RoundHalfEven(v);
      if (miles < -2147483648.0 || miles > 2147483647.0) {
        prompt.MsgBox(StrNum(v) + " is not a valid number of miles.");
        refuse();
        return;
      }
      p.AllowedMiles = ToInt32(miles);
      if (p.PrePaidActualMiles != 0) {
        double extra = (static_cast<double>(p.PrePaidActualMiles) - p.AllowedMiles) * p.Months / 12;
        if (extra < 0) extra = 0;
        const double fee = p.PrePaidCentsPerMile * extra;
        if (it.PrePaidMileFee.ManualSplit != 0 && it.PrePaidMileFee.Cap != 0) {
          it.PrePaidMileFee.Cap = fee;
          it.PrePaidMileFee.Cash = 0;
        } else {
          it.PrePaidMileFee.Cash = fee;
          it.PrePaidMileFee.Cap = 0;
        }
        storePrePaidFee = true;
      }
      if (p.EOLActualMiles != 0) {
        double extra = (static_cast<double>(p.EOLActualMiles) - p.AllowedMiles) * p.Months / 12;
        if (extra < 0) extra = 0;
        it.EOLFees[1].Amount = p.EOLCentsperMile * extra;
        it.TotalEOLFees = 0;
        for (int k = 1; k <= 10; ++k) it.TotalEOLFees += it.EOLFees[k].Amount;
        storeEOLFees = true;
      }
      break;
    }
    case 9: {
      if (v < 0.01) {
        p.Factor = v;
      } else if (v > 45) {
        // Dropped: the redisplay puts the old factor back.
      } else if (p.LType == 2) {
        p.Factor = v;
      } else if (prompt.MsgBox("Is" + StrNum(v) + " an Interest Rate?", ui::Buttons::YesNo) == ui::Answer::Yes) {
        const double rate = v > 1 ? v / 100 : v;
        const double f = eng.FactorFromAPR(r.CapCost, p.Residual, rate, p.Months);
        const std::string msg = "The interest rate " + Format(rate, "##.00%") + " converts to" + kCR +
                                "a money factor of " + Format(f, ".0000000") + " for the cap cost," + kCR +
                                "residual, and number of months shown." + kCR + kCR +
                                "Use this Money Factor in the Worksheet?";
        if (prompt.MsgBox(msg, ui::Buttons::OKCancel) == ui::Answer::OK) p.Factor = f;
      } else if (v < 0.1) {
        p.Factor = v;
      } else {
        prompt.MsgBox(StrNum(v) + " is an invalid Factor.");
      }
      break;
    }
    case 10: {
      // The factor that makes the total rent charge equal to the amount typed.
      if (p.LType != 0 && p.LType != 3) break;
      const bool ford = p.LType == 3;
      auto step = [&]() -> bool {
        const double divisor = (r.CapCost + p.Residual) * p.Months;
        if (divisor == 0) return false;
        p.Factor = v / divisor;
        if (ford) {
          p.LType = 0;
          double f = p.Factor;
          p.FordAPR = eng.APRFromFactor(r.CapCost, p.Residual, f, p.Months);
          p.LType = 3;
        }
        return true;
      };
      if (eng.tax.TaxMethod == 0) {
        step();
      } else {
        for (int pass = 0; pass < 20; ++pass) {
          if (std::fabs(r.TotalRent - v) < 0.01) break;
          if (!step()) break;
          eng.RecalcPage();
        }
      }
      break;
    }
    case 11:
    case 15:
    case 18:
    case 19:
      p.InvestRate = Percent(v);
      break;
    case 12:
      p.DownPmt = (v >= 0 && v < 1) ? r.PurchPrice * v : v;
      break;
    case 13:
      p.LoanMonths = v;
      break;
    case 14:
      p.LoanRate = Percent(v);
      break;
    case 16:
    case 17:
      p.EndLoan = (v >= 0 && v < 1) ? Engine::RoundNum(r.MSRP * v, 2) : v;
      break;
    case 20:
      p.PurchRebate = v;
      break;
    case 21:
    case 22: {
      if (Index == 21) it.TradeAllowance = v;
      else it.TradePayoff = v;
      const double equity = it.TradeAllowance - it.TradePayoff;
      it.TradeEquity.Amount = equity;
      if (it.TradeEquity.Cash == 0) {
        it.TradeEquity.Cap = equity;
        it.TradeEquity.Cash = 0;
      } else {
        it.TradeEquity.Cash = equity;
        it.TradeEquity.Cap = 0;
      }
      break;
    }
    case 23:
      p.Balloon = v;
      break;
    case 24:
      p.FordAPR = Percent(v);
      break;
    case 25: {
      const double a = Percent(v);
      if (p.LType == 0) {
        p.Factor = eng.FactorFromAPR(r.CapCost, p.Residual, a, p.Months);
      } else if (p.LType == 3) {
        p.LType = 0;
        p.Factor = eng.FactorFromAPR(r.CapCost, p.Residual, a, p.Months);
        double f = p.Factor;
        p.FordAPR = eng.APRFromFactor(r.CapCost, p.Residual, f, p.Months);
        p.LType = 3;
      }
      break;
    }
    case 26: {
      const double days = RoundHalfEven(v);
      if (days < -32768 || days > 32767) {
        prompt.MsgBox(StrNum(v) + " is not a valid number of days.");
        refuse();
        return;
      }
      p.DaysToFirstPayment = ToInt16(days);
      break;
    }
    default:
      break;
  }

  if (!entry.Accept({v})) {
    refuse();
    return;
  }
  if (storePrePaidFee) {
    eng.SavePageItems();
    eng.RecalcPage();
  }
  if (storeEOLFees) eng.SavePageEOLFees();
  eng.SkipItemReload = -1;
  eng.RecalcPage();
  eng.SkipItemReload = 0;
  Shared().GotFocusText = box->text().toStdString();
}

void QV::Text4_GotFocus(int Index) {
  if (Index == 0) Combo1->setFocus(Qt::TabFocusReason);
  else Text5[0]->setFocus(Qt::TabFocusReason);
}

void QV::Text5_GotFocus(int Index) {
  QLineEdit* box = Text5[Index];
  Shared().GotFocusText = box->text().toStdString();
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void QV::Text5_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  Combo2->setFocus(Qt::TabFocusReason);
}

void QV::Text5_LostFocus(int Index) {
  ui::ReentryGuard guard(inText5LostFocus_);
  if (!guard.Entered()) return;
  QLineEdit* box = Text5[Index];
  std::string text = box->text().toStdString();
  if (text == Shared().GotFocusText) return;
  // The rate is kept in percent: "6.5" and "6.5%" both mean 6.5. A text that is no rate
  // from 0 to 100 is refused before anything is stored or written: the box shows the rate
  // it had.
  double v = 0;
  if (!ParseTaxRateText(text, v)) {
    box->setText(Q(Shared().GotFocusText));
    ui::GetPrompt().MsgBox("\"" + Trim(text) + "\" is not a tax rate. Please enter a rate from 0 to 100, such as 6.5.",
                           ui::Buttons::OK, ui::Icon::Exclamation);
    return;
  }
  eng.tax.LeaseTaxRate = static_cast<float>(v);
  eng.tax.BuyTaxRate = static_cast<float>(v);
  eng.SkipItemReload = -1;
  WriteConfigFile();
  std::string error;
  if (!eng.SaveTaxSet(&error))
    ui::GetPrompt().MsgBox("The tax setting could not be saved.\r\n" + error, ui::Buttons::OK,
                           ui::Icon::Exclamation);
  eng.RecalcPage();
  eng.SkipItemReload = 0;
  Shared().GotFocusText = box->text().toStdString();
}

void QV::CommitFieldEdit() {
  QWidget* f = focusWidget();
  if (!f) return;
  const int box = Text3Index(f);
  if (box >= 0) {
    Text3_LostFocus(box);
  } else if (f == Text5[0]) {
    Text5_LostFocus(0);
  } else if (f == Text1 && Text1->isVisibleTo(this)) {
    Text1_LostFocus();
  } else if (f == Combo2) {
    Combo2_LostFocus();
  }
}

}  // namespace qv
