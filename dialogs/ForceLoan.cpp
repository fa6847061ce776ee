// The loan payment solver window: desired payment, five targets with their result labels,
// OK and Cancel.
#include "dialogs/ForceLoan.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


// Button index to result label index (button 1 does not exist).
constexpr int kLabelOfButton[6] = {0, -1, 1, 2, 3, 4};
constexpr const char* kFormats[5] = {"$##,###.00;;", "0.00%", "$##,###.00;;", "##.00;;", "$##,###.00;;"};

}  // namespace


ForceLoan::ForceLoan(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("ForceLoan");
  Build();
  Form_Load();
}

ForceLoan::~ForceLoan() = default;

void ForceLoan::Build() {
  setWindowTitle("Force Payment");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel("Enter Desired Monthly Payment:", this);
  Text1 = new QLineEdit(this);
  Text1->setObjectName("Text1");
  Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Text1->installEventFilter(this);
  auto* payRow = new QHBoxLayout;
  payRow->addWidget(Label1);
  payRow->addWidget(Text1);
  top->addLayout(payRow);

  Label2 = new QLabel("Value required to achieve desired payment.", this);
  auto* grid = new QGridLayout;
  grid->addWidget(Label2, 0, 1);
  const char* captions[6] = {"&Margin Over Invoice", nullptr, "Loan &Rate", "&Down Payment", "Mo&nths",
                             "&Balloon Payment"};
  int row = 1;
  for (int b = 0; b < 6; ++b) {
    if (!captions[b]) continue;
    Command1[b] = new QPushButton(captions[b], this);
    const int l = kLabelOfButton[b];
    Label3[l] = new QLabel(this);
    Label3[l]->setObjectName(QString("Label3_%1").arg(l));
    Label3[l]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label3[l]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3[l]->setMinimumWidth(120);
    Label3[l]->setVisible(false);
    grid->addWidget(Command1[b], row, 0);
    grid->addWidget(Label3[l], row, 1);
    ++row;
    connect(Command1[b], &QPushButton::clicked, this, [this, b] { Command1_Click(b); });
  }
  top->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command2[0] = new QPushButton("&OK", this);
  Command2[1] = new QPushButton("&Cancel", this);
  buttons->addWidget(Command2[0]);
  buttons->addWidget(Command2[1]);
  top->addLayout(buttons);
  for (int i = 0; i < 2; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
}

void ForceLoan::Form_Load() {
  Text1->setText(Q(Format(eng.res.PurPmnt, "$#,###.00;($#,###.00); ")));
  Label3[0]->setText(Q(Format(eng.page.Margin, "$#,###.00;;$0")));
  visible_ = 0;
  Label3[0]->setVisible(true);
}

int ForceLoan::VisibleLabel() const { return visible_; }

// ---- the solvers -----------------------------------------------------------------------

Var ForceLoan::Report(const LoanSolveResult& r) {
  if (r.Solved()) return r.value;
  ui::GetPrompt().MsgBox(r.status == LoanSolveStatus::EqualPayments ? kEqualPaymentsMessage : kNotReachedMessage,
                         ui::Buttons::OK);
  return Var();
}

double ForceLoan::calcnewpmt(double margin) { return LoanSolver(eng).calcnewpmt(margin); }
Var ForceLoan::LoanBalloon(double p) { return Report(LoanSolver(eng).LoanBalloon(p)); }
Var ForceLoan::LoanDownPmt(double& p) { return Report(LoanSolver(eng).LoanDownPmt(p)); }
Var ForceLoan::NewLoanMonths(double& p) { return Report(LoanSolver(eng).NewLoanMonths(p)); }
Var ForceLoan::LoanIntRate(double& p) { return Report(LoanSolver(eng).LoanIntRate(p)); }
Var ForceLoan::LoanMargin(double& p) { return Report(LoanSolver(eng).LoanMargin(p)); }

Var ForceLoan::SolveVisible(double p) {
  Var v;
  if (p < 0) {
    ui::GetPrompt().MsgBox(kNegativePaymentMessage, ui::Buttons::OK, ui::Icon::Exclamation);
    return v;
  }
  switch (visible_) {
    case 0: v = LoanMargin(p); break;
    case 1: v = LoanIntRate(p); break;
    case 2: v = LoanDownPmt(p); break;
    case 3: v = NewLoanMonths(p); break;
    case 4: v = LoanBalloon(p); break;
    default: return v;
  }
  Label3[visible_]->setText(v.IsEmpty() ? QString() : Q(Format(v, kFormats[visible_])));
  return v;
}

// ---- handlers --------------------------------------------------------------------------

void ForceLoan::Command1_Click(int Index) {
  if (Index < 0 || Index > 5 || kLabelOfButton[Index] < 0) return;
  visible_ = kLabelOfButton[Index];
  for (int l = 0; l < 5; ++l) Label3[l]->setVisible(l == visible_);
  SolveVisible(ParseAmountText(S(Text1->text())));
  Command2[0]->setFocus(Qt::OtherFocusReason);
}

void ForceLoan::Command2_Click(int Index) {
  if (finished_) return;
  if (Index == 0 && !ui::CommitFocusedEntry(Command2[0])) return;
  if (Index == 1) {
    // The solves put back everything they touched: the page is as it was.
    Finish(QDialog::Rejected);
    return;
  }
  const Var v = SolveVisible(ParseAmountText(S(Text1->text())));
  if (v.IsEmpty()) return;  // the message said why; the old value stays
  FiniteEntry entry(eng);
  PageRecord& p = eng.page;
  switch (visible_) {
    case 0: p.Margin = v; break;
    case 1: p.LoanRate = v; break;
    case 2: p.DownPmt = v; break;
    case 3: p.LoanMonths = v; break;
    case 4: p.Balloon = v; break;
    default: break;
  }
  eng.WorksheetModified = -1;
  if (!entry.Accept({static_cast<double>(v)})) return;
  eng.RecalcPage();
  Finish(QDialog::Accepted);
}

void ForceLoan::Finish(int result) {
  finished_ = true;
  QDialog::done(result);
  deleteLater();
}

void ForceLoan::Text1_GotFocus() {
  owner.Shared().GotFocusText = Trim(S(Text1->text()));
  focusText_ = Text1->text();
  Text1->selectAll();
}

void ForceLoan::Text1_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    KeyAscii = 0;
    Command1[0]->setFocus(Qt::TabFocusReason);
  }
}

void ForceLoan::Text1_LostFocus() {
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  if (Trim(S(Text1->text())) == owner.Shared().GotFocusText) return;
  double p = 0;
  if (!ReadEntryAmount(S(Text1->text()), p)) {
    ui::TakeBackRefusedEntry(Text1, focusText_, isVisible());
    return;
  }
  if (p < 0) {
    ui::GetPrompt().MsgBox(kNegativePaymentMessage, ui::Buttons::OK, ui::Icon::Exclamation);
    ui::TakeBackRefusedEntry(Text1, focusText_, isVisible());
    return;
  }
  Text1->setText(Q(Format(p, "$#,##0.00")));
  owner.Shared().GotFocusText = S(Text1->text());
  if (visible_ < 0) return;
  SolveVisible(p);
  Command2[0]->setFocus(Qt::OtherFocusReason);
}

void ForceLoan::reject() {
  if (!finished_)
    Command2_Click(1);
  else
    QDialog::reject();
}

bool ForceLoan::eventFilter(QObject* watched, QEvent* event) {
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
