// The Lease view's two slide-out panels: the payment calculations (Picture3) and the cash
// required at signing (Picture5) with its cash-due grid. A panel slides in twelve steps
// from its place behind the cash box over the deal fields and back; pending events run
// between the steps so the window repaints and stays responsive.
//
// The panels keep their position in the twips of the old window layout (PanelLeft,
// PanelWidth); PlaceSlidePanels maps them onto the view area: 510 twips is the left edge of
// the deal fields, 6240 twips the left edge of the cash box.
#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

#include <algorithm>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"
#include "worksheet/About.h"
#include "worksheet/DealerNet.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr float kBackLeft = 6240.0f;
constexpr float kBackWidth = 3145.0f;
constexpr float kOutLeft[2] = {510.0f, 2805.0f};
constexpr float kOutWidth[2] = {5745.0f, 3435.0f};
constexpr int kSteps = 12;

// Re-places the panels when the view area changes size. It lives on the view area and
// knows it by address, so it never reads the window while the window is being destroyed.
class PanelWatcher : public QObject {
 public:
  PanelWatcher(QV* w, QWidget* host) : QObject(host), w_(w), host_(host) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == host_ && event->type() == QEvent::Resize) w_->PlaceSlidePanels();
    return QObject::eventFilter(watched, event);
  }

 private:
  QV* w_;
  QObject* host_;
};

// One start-up item of the cash-due list: its label and its cash part.
struct CashRow {
  const char* label;
  StartUpItem PageItems::*item;
};

}  // namespace

void QV::ConnectPanels() {
  // The figures stand beside their captions; the panel's spare width stays at the right.
  if (auto* grid = qobject_cast<QGridLayout*>(Picture3->layout())) {
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(24);
    // The buttons keep to the panel's right edge.
    if (QLayoutItem* buttons = grid->itemAtPosition(20, 0)) {
      grid->removeItem(buttons);
      grid->addItem(buttons, 20, 0, 1, 3);
    }
    grid->setRowMinimumHeight(19, 8);
  }
  // The monthly payment stands out.
  for (QLabel* l : {lblDescrip[14], lblValue[15]}) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  QWidget* host = Picture3->parentWidget();
  host->installEventFilter(new PanelWatcher(this, host));
  for (int i = 0; i < 2; ++i) {
    connect(Command5[i], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
    MarkReady(Command5[i]);
    connect(Command6[i], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    connect(Command7[i], &QPushButton::clicked, this, [this, i] { Command7_Click(i); });
  }
  // "&Print" is made ready by whoever sets its PanelReportCommands entry.
  MarkReady(Command6[1]);
  MarkReady(Command7[1]);
  connect(cmdDealerNetwork, &QPushButton::clicked, this, [this] { cmdDealerNetwork_Click(); });
  MarkReady(cmdDealerNetwork);
  connect(mnuAbout[0], &QAction::triggered, this, [this] { ShowAbout(windows_); });
  MarkReady(mnuAbout[0]);
}

bool QV::PaymentPanelOut() const { return PanelLeft[0] == kOutLeft[0] && !Picture3->isHidden(); }

bool QV::CashPanelOut() const { return PanelLeft[1] == kOutLeft[1] && !Picture5->isHidden(); }

void QV::PlaceSlidePanels() {
  QWidget* host = Picture3->parentWidget();
  const QRect fields = viewStack->geometry();
  const int a = fields.left();
  const int b = std::max(cashBoxStack->geometry().left(), a + 1);
  const double scale = (b - a) / static_cast<double>(kBackLeft - kOutLeft[0]);
  for (int i = 0; i < 2; ++i) {
    QFrame* panel = i == 0 ? Picture3 : Picture5;
    const int x = a + static_cast<int>((PanelLeft[i] - kOutLeft[0]) * scale + 0.5);
    const int w = std::max(1, static_cast<int>(PanelWidth[i] * scale + 0.5));
    const int top = fields.top();
    const int room = std::max(1, host->height() - top - 4);
    const int h = std::min(std::max(panel->sizeHint().height(), fields.height()), room);
    panel->setGeometry(x, top, w, h);
  }
}

namespace {

// Moves panel `which` (0 Picture3, 1 Picture5) of the window in twelve steps.
void Slide(QV& w, int which, int Direction) {
  QFrame* panel = which == 0 ? w.Picture3 : w.Picture5;
  const bool out = Direction == 0;
  if (out && panel->isHidden()) {
    // A panel that is in starts behind the cash box.
    w.PanelLeft[which] = kBackLeft;
    w.PanelWidth[which] = kBackWidth;
  }
  const float startLeft = out ? kBackLeft : kOutLeft[which];
  const float endLeft = out ? kOutLeft[which] : kBackLeft;
  const float startWidth = out ? kBackWidth : kOutWidth[which];
  const float endWidth = out ? kOutWidth[which] : kBackWidth;
  if (out) {
    panel->show();
    panel->raise();
  }
  for (int k = 1; k <= kSteps; ++k) {
    // The fractions carry over from step to step; the last step lands on the end values.
    w.PanelWidth[which] = k == kSteps ? endWidth : startWidth + (endWidth - startWidth) * k / kSteps;
    w.PanelLeft[which] = k == kSteps ? endLeft : startLeft + (endLeft - startLeft) * k / kSteps;
    w.PlaceSlidePanels();
    ui::GetPrompt().DoEvents();
  }
  // Back behind the cash box, the panel is out of sight.
  if (!out) panel->hide();
}

}  // namespace

void QV::SlidePaymentPanel(int Direction) { Slide(*this, 0, Direction); }

void QV::SlideCashPanel(int Direction) { Slide(*this, 1, Direction); }

void QV::Command5_Click(int Index) {
  if (Index != 0 && Index != 1) return;
  QFrame* panel = Index == 0 ? Picture3 : Picture5;
  const bool out = Index == 0 ? PaymentPanelOut() : CashPanelOut();
  if (out) {
    if (Index == 0) SlidePaymentPanel(1);
    else SlideCashPanel(1);
    return;
  }
  // One panel at a time: the other one covers the same deal fields and has buttons with the
  // same letters ("&Print", "C&lose"), so it slides back first.
  QFrame* other = Index == 0 ? Picture5 : Picture3;
  if (!other->isHidden()) {
    if (Index == 0) SlideCashPanel(1);
    else SlidePaymentPanel(1);
  }
  panel->hide();
  panel->raise();
  panel->show();
  if (Index == 0) {
    ShowPaymentBreakdown();
    SlidePaymentPanel(0);
  } else {
    FillCashDueGrid();
    SlideCashPanel(0);
  }
}

void QV::Command6_Click(int Index) {
  if (Index == 0) {
    if (PanelReportCommands[0]) PanelReportCommands[0]();
  } else if (Index == 1) {
    SlidePaymentPanel(1);
  }
}

void QV::Command7_Click(int Index) {
  if (Index == 0) {
    if (PanelReportCommands[1]) PanelReportCommands[1]();
  } else if (Index == 1) {
    SlideCashPanel(1);
  }
}

void QV::cmdDealerNetwork_Click() {
  windows_.ShowModalAndUnload<frmDealerNetwork>();
}

void QV::FillCashDueGrid() {
  Picture5->show();
  static const CashRow rows[15] = {
      {"First Payment", &PageItems::FirstPayment},
      {"Security Deposit", &PageItems::Security},
      {"Registration", &PageItems::Registration},
      {"Title Fee", &PageItems::Title},
      {"Document Fee", &PageItems::DocumentFee},
      {nullptr, &PageItems::STaxSumPmt},  // labelled by the tax method
      {"Tax on Cap Reduction", &PageItems::CapRedTax},
      {"Tax on Rebate", &PageItems::RebateTax},
      {"Luxury Tax", &PageItems::LuxuryTax},
      {"Less Trade Equity", &PageItems::TradeEquity},
      {"Acquisition Fee", &PageItems::Acquisition},
      {"Less Rebate", &PageItems::LeaseRebate},
      {"Pre-Paid Miles", &PageItems::PrePaidMileFee},
      {"Other", &PageItems::OtherFee},
      {"Tax on Fees & Taxes", &PageItems::STaxOnFeesTaxes},
  };
  grid::Sheet& g = CashSheetData;
  // The rows of the previous fill go; the list is written anew, items then totals.
  g.ClearAll();
  g.SetMaxRow(1);
  int n = 0;
  for (const CashRow& row : rows) {
    const double cash = (eng.items.*row.item).Cash;
    if (cash == 0) continue;
    ++n;
    const char* label =
        row.label ? row.label : (eng.tax.TaxMethod == 1 ? "Tax on Purchase Price" : "Tax on Sum of Pmts");
    g.SetTextRC(n, 1, label);
    g.SetNumberRC(n, 2, cash);
  }
  const std::pair<const char*, double> totals[4] = {
      {"Total Cash Start-Ups", eng.res.TotalStartUps.Cash},
      {"Cap Reduction Cash", eng.page.CapRd},
      {"Cash Adjustments", eng.items.TotalAdjust.Cash},
      {"Total Cash Required", eng.res.LCashReqd},
  };
  for (int k = 0; k < 4; ++k) {
    g.SetTextRC(n + 1 + k, 1, totals[k].first);
    g.SetNumberRC(n + 1 + k, 2, totals[k].second);
  }
  g.SetMaxRow(n + 4);
  g.SetMaxCol(2);
  // The total the customer pays stands out.
  grid::CellFont bold;
  bold.bold = true;
  g.SetFontRC(n + 4, 1, bold);
  g.SetFontRC(n + 4, 2, bold);
}

void QV::ShowPaymentBreakdown() {
  const PageRecord& p = eng.page;
  const double cap = eng.res.CapCost;
  const char* money = "$#,###.00;; ";
  auto put = [](QLabel* l, const std::string& text) { l->setText(QString::fromStdString(text)); };

  const double depreciation = p.Months == 0 ? 0 : (cap - p.Residual) / p.Months;
  const double factor = p.LType == 3 ? eng.FactorFromAPR(cap, p.Residual, p.FordAPR, p.Months) : p.Factor;
  const double rent = (cap + p.Residual) * factor;
  const double base = Engine::RoundNum(depreciation + rent, 2);
  const double fee = p.LType == 3 ? Engine::RoundNum(p.FordAdminFactor * cap, 2) : 0;
  // The tax rate as a fraction, taken in single precision.
  const float rate = eng.tax.LeaseTaxRate / 100.0f;
  const double tax = eng.tax.TaxMethod == 0 ? Engine::RoundNum((base + fee) * static_cast<double>(rate), 2) : 0;
  const double payment = base + tax + fee;

  put(lblValue[0], Format(cap, money));
  put(lblValue[1], Format(p.Residual, money));
  put(lblValue[2], Format(cap - p.Residual, money));
  put(lblValue[3], Format(p.Months, "##.00;; "));
  put(lblValue[4], Format(depreciation, money));
  put(lblValue[5], Format(cap, money));
  put(lblValue[6], Format(p.Residual, money));
  put(lblValue[7], Format(cap + p.Residual, money));
  put(lblValue[8], Format(factor, ".000000;; "));
  put(lblValue[9], Format(rent, money));
  put(lblValue[10], Format(depreciation, money));
  put(lblValue[11], Format(rent, money));
  put(lblValue[12], Format(base, money));
  if (p.LType == 3) {
    put(lblDescrip[15], "Ford Admin Fee: (" + Format(p.FordAdminFactor, ".00000;; ") + " x " + Format(cap, money) + ")");
    put(lblValue[13], Format(fee, money));
  } else {
    put(lblDescrip[15], "Ford Admin Fee:");
    put(lblValue[13], "N/A ");
  }
  put(lblDescrip[11], "Sales Tax: (" + Format(static_cast<double>(rate), ".0000") + " x " + Format(base, money) + ")");
  put(lblValue[14], eng.tax.TaxMethod == 0 ? Format(tax, money) : std::string("N/A "));
  put(lblValue[15], Format(payment, money));
  put(lblValue[16], Format(p.Months, "##.00") + " x " + Format(payment, money) + " = " + Format(payment * p.Months, money));
  put(lblValue[17], Format(p.Months, "##.00") + " x " + Format(rent, money) + " = " + Format(rent * p.Months, money));
}

}  // namespace qv
