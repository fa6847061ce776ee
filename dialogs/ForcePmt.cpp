// The forced payment window: the desired payment, the item to solve for, the required
// value, OK and Cancel, and the hidden drive of the single-payment lease.
#include "dialogs/ForcePmt.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "engine/Solvers.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


constexpr const char* kMoneyOrZero = "$#,###.00;;$0";

}  // namespace


ForcePmt::ForcePmt(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("ForcePmt");
  Build();
  Form_Load();
}

ForcePmt::~ForcePmt() {
  if (!finished_) Form_Unload();
}

void ForcePmt::Build() {
  setWindowTitle("Force Payment");
  auto* top = new QVBoxLayout(this);

  Label1 = new QLabel("Enter Desired Monthly Payment:", this);
  Text1 = new QLineEdit("$0.00", this);
  Text1->setObjectName("Text1");
  Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Text1->installEventFilter(this);
  auto* payRow = new QHBoxLayout;
  payRow->addWidget(Label1);
  payRow->addWidget(Text1);
  top->addLayout(payRow);

  Check1 = new QCheckBox("Desired Payment Includes Sales Tax", this);
  Check1->setChecked(true);
  top->addWidget(Check1);

  Label4 = new QLabel("Select Item To Solve For:", this);
  top->addWidget(Label4);
  auto* items = new QGridLayout;
  const char* captions[6] = {"&Margin Over Invoice", "&Cap Reduction (Cash)", "&Factor",
                             "Ford &APR",            "&Residual Value",       "Mon&ths"};
  for (int i = 0; i < 6; ++i) {
    Option1[i] = new QRadioButton(captions[i], this);
    items->addWidget(Option1[i], i % 3, i / 3);
  }
  Option1[0]->setChecked(true);
  top->addLayout(items);

  Label2 = new QLabel("Value required to achieve desired payment.", this);
  top->addWidget(Label2);
  Label3 = new QLabel(this);
  Label3->setObjectName("Label3");
  Label3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Label3->setAlignment(Qt::AlignCenter);
  Label3->setMinimumHeight(24);
  top->addWidget(Label3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command2[0] = new QPushButton("&OK", this);
  Command2[1] = new QPushButton("Ca&ncel", this);
  buttons->addWidget(Command2[0]);
  buttons->addWidget(Command2[1]);
  top->addLayout(buttons);

  Check2 = new QCheckBox("Trigger Command1(0)", this);
  Check2->setVisible(false);

  for (int i = 0; i < 6; ++i)
    connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) Option1_Click(i);
    });
  connect(Check1, &QCheckBox::toggled, this, [this](bool) { Check1_Click(); });
  connect(Check2, &QCheckBox::toggled, this, [this](bool on) {
    if (on) Check2_Click();
  });
  for (int i = 0; i < 2; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
}

void ForcePmt::Form_Load() {
  loadInputs_ = eng.SnapshotInputs();
  SavedLuxuryCap = eng.items.LuxuryTax.Cap;
  SavedLuxuryCash = eng.items.LuxuryTax.Cash;

  const double p = Check1->isChecked() ? eng.res.PaymentWT : eng.res.PaymentNT;
  Text1->setText(Q(PadRight(Format(p, "$#,###.00;($#,###.00); "), 7)));

  // What each lease method lets the window solve for.
  const int16_t method = eng.page.LType;
  if (method == 0 || method == 1 || method == 2) Option1[3]->setEnabled(false);
  if (method == 2) {
    Option1[2]->setEnabled(false);
    Option1[5]->setEnabled(false);
  }
  if (method == 3) Option1[2]->setEnabled(false);

  // The current margin: the margin is the item selected at load.
  std::string perc;
  perc = Trim(owner.MarginPercentText());
  SetResultText(Format(eng.page.Margin, kMoneyOrZero) + "   (" + perc + ")");
  owner.Shared().ForcePmtOpen = -1;
}

void ForcePmt::Form_Unload() { owner.Shared().ForcePmtOpen = 0; }

int ForcePmt::SelectedItem() const {
  for (int i = 0; i < 6; ++i)
    if (Option1[i]->isChecked()) return i;
  return 0;
}

void ForcePmt::SetResultText(const std::string& text) { Label3->setText(Q(text)); }

void ForcePmt::Forget() { applicable_.item = -1; }

void ForcePmt::CalcRequiredValue() {
  ui::BusyCursor busy;
  const double typed = ParseAmountText(S(Text1->text()));
  DesiredPmt = typed;
  BaseMonths = eng.page.Months;
  BaseFactor = eng.page.Factor;
  BaseResidual = eng.page.Residual;
  const double C = eng.res.CapCost;
  const double I = eng.res.TotalInvoice;
  const int item = SelectedItem();
  const int16_t method = eng.page.LType;
  const bool withTax = Check1->isChecked();

  // A months search on a method-2 page does nothing at all.
  if (item == 5 && method == 2) return;

  Forget();
  auto notAvailable = [this] { SetResultText("N/A"); };
  // No deal has a negative payment to aim at.
  if (DesiredPmt < 0) return notAvailable();
  auto remember = [&](double value) {
    applicable_.item = item;
    applicable_.value = value;
    applicable_.desired = ParseAmountText(S(Text1->text()));
    applicable_.withTax = withTax;
    applicable_.inputs = eng.SnapshotInputs();
  };

  PaymentSolver s(eng, DesiredPmt, withTax ? 1 : 0);
  switch (item) {
    case 0:
    case 1: {
      if (BaseMonths == 0 || (BaseFactor == 0 && method == 2)) return notAvailable();
      const SolveResult m = s.SolveMargin(BaseMonths, BaseFactor, BaseResidual);
      DesiredPmt = s.DesiredPmt;
      if (!m.Solved()) return notAvailable();
      ReqMargin = m.value;
      if (item == 0) {
        SetResultText(Format(m.value, kMoneyOrZero) + "   (" + (I != 0 ? Format(m.value / I, "0.00%") : "") + ")");
        remember(m.value);
        return;
      }
      const SolveResult c = s.AdjustCapReduction(m.value);
      if (!c.Solved()) return notAvailable();
      ReqCapRd = c.value;
      SetResultText(Format(c.value, kMoneyOrZero));
      remember(c.value);
      return;
    }
    case 2: {
      if (BaseMonths == 0) return notAvailable();
      const SolveResult f = s.SolveFactor(BaseMonths, C, BaseResidual);
      if (!f.Solved()) return notAvailable();
      ReqFactor = f.value;
      double factor = f.value;
      const double apr = eng.APRFromFactor(C, BaseResidual, factor, BaseMonths);
      SetResultText(Format(f.value, "0.000000") + "   (" + Format(apr, "##.0%") + " APR)");
      remember(f.value);
      return;
    }
    case 3: {
      if (BaseMonths == 0) return notAvailable();
      double n = BaseMonths, cap = C, r = BaseResidual;
      const Var apr = NFordAPR(n, cap, r);
      if (apr.IsEmpty()) return notAvailable();
      ReqFordAPR = apr;
      SetResultText(Format(apr, "##.000%"));
      remember(apr);
      return;
    }
    case 4: {
      if (BaseMonths == 0) return notAvailable();
      const SolveResult v = s.SolveResidual(BaseMonths, BaseFactor, C);
      if (!v.Solved()) return notAvailable();
      ReqResidual = v.value;
      const double msrp = eng.res.MSRP;
      SetResultText(Format(v.value, kMoneyOrZero) + "  (" + Format(msrp != 0 ? v.value / msrp : 0, "##.0%") + ")");
      remember(v.value);
      return;
    }
    case 5: {
      const SolveResult n = s.SolveMonths(C, BaseResidual, BaseFactor);
      Text1->setText(Q(Format(DesiredPmt, "$#,###.00;($#,###.00); ")));
      if (!n.Solved()) return notAvailable();
      ReqMonths = n.value;
      SetResultText(Format(n.value, "##.00;;N/A"));
      remember(n.value);
      return;
    }
    default:
      return;
  }
}

Var ForcePmt::NFordAPR(double& months, double& capCost, double& residual) {
  PaymentSolver s(eng, DesiredPmt, Check1->isChecked() ? 1 : 0);
  const SolveResult r = s.NFordAPR(months, capCost, residual);
  return r.Solved() ? Var(r.value) : Var();
}

bool ForcePmt::HasApplicableResult() const {
  const Applicable& a = applicable_;
  return a.item >= 0 && a.item == SelectedItem() && a.withTax == Check1->isChecked() &&
         a.desired == ParseAmountText(S(Text1->text())) && a.inputs == eng.SnapshotInputs();
}

void ForcePmt::Command2_Click(int Index) {
  if (finished_) return;
  if (Index == 0 && !ui::CommitFocusedEntry(Command2[0])) return;
  if (Index == 0 && HasApplicableResult()) {
    const double v = applicable_.value;
    FiniteEntry entry(eng);
    PageRecord& p = eng.page;
    switch (applicable_.item) {
      case 0: p.Margin = Engine::RoundNum(v, 2); break;
      case 1: p.CapRd = v; break;
      case 2: p.Factor = v; break;
      case 3: p.FordAPR = v; break;
      case 4: p.Residual = Engine::RoundNum(v, 2); break;
      case 5: p.Months = Engine::RoundNum(v, 2); break;
      default: break;
    }
    eng.WorksheetModified = -1;
    if (!entry.Accept({v})) return;
    Finish(QDialog::Accepted);
  } else {
    // Cancel, or OK with nothing computed for these inputs: the page exactly as it was at
    // load, every input and start-up item split (the luxury-tax split among them).
    eng.RestoreInputs(loadInputs_);
    Finish(Index == 0 ? QDialog::Accepted : QDialog::Rejected);
  }
  eng.RecalcPage();
}

void ForcePmt::Finish(int result) {
  finished_ = true;
  Form_Unload();
  QDialog::done(result);
  deleteLater();
}

void ForcePmt::reject() {
  if (!finished_) {
    Command2_Click(1);
    return;
  }
  QDialog::reject();
}

void ForcePmt::Text1_GotFocus() {
  owner.Shared().GotFocusText = Trim(S(Text1->text()));
  focusText_ = Text1->text();
  Text1->selectAll();
}

void ForcePmt::Text1_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    KeyAscii = 0;
    Command2[0]->setFocus(Qt::TabFocusReason);
  }
}

void ForcePmt::Text1_LostFocus() {
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  // Leaving the box without an edit does nothing (the box may show blanks in front of the
  // payment it was loaded with).
  if (Trim(S(Text1->text())) == owner.Shared().GotFocusText) return;
  // Refused: the box shows what it held, the result and the page stay, and the focus goes
  // back to the box (an OK that asked for this commit then does nothing).
  double value = 0;
  if (!ReadEntryAmount(S(Text1->text()), value)) {
    ui::TakeBackRefusedEntry(Text1, focusText_, isVisible());
    return;
  }
  if (value < 0) {
    ui::GetPrompt().MsgBox(kNegativePaymentMessage, ui::Buttons::OK, ui::Icon::Exclamation);
    ui::TakeBackRefusedEntry(Text1, focusText_, isVisible());
    return;
  }
  Text1->setText(Q(Format(value, "$#,##0.00")));
  owner.Shared().GotFocusText = S(Text1->text());
  CalcRequiredValue();
  if (isVisible()) Command2[0]->setFocus(Qt::OtherFocusReason);
}

void ForcePmt::Option1_Click(int Index) {
  CalcRequiredValue();
  if (isVisible()) Command2[0]->setFocus(Qt::OtherFocusReason);
}

void ForcePmt::Check1_Click() { CalcRequiredValue(); }

void ForcePmt::Check2_Click() {
  // The caller's payment is always computed, whatever the box showed before.
  const double value = ParseAmountText(TrimRight(S(Text1->text())));
  Text1->setText(Q(Format(value, "$#,##0.00")));
  owner.Shared().GotFocusText = S(Text1->text());
  CalcRequiredValue();
  Command2_Click(0);
}

bool ForcePmt::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1 &&
      ui::RunEntryBoxHandlers(
          Text1, event, [this] { Text1_GotFocus(); },
          [this] {
            if (!finished_) Text1_LostFocus();
          },
          [this](int& ascii) { Text1_KeyPress(ascii); }))
    return true;
  return ui::QvDialog::eventFilter(watched, event);
}

}  // namespace qv
