// The mileage window: actual miles and price per mile, the excess miles and the fee, for
// the pre-paid miles of the start-up costs or the excess miles at the end of the lease.
#include "dialogs/Milage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/EOLFee.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"

namespace qv {


namespace {

QLabel* ValueLabel(QWidget* parent, const char* name, int height) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMinimumHeight(height);
  return l;
}

}  // namespace


Milage::Milage(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Milage");
  Build();
  Form_Load();
}

Milage::~Milage() {
  ui::ReleaseEntryBoxFilters(this);
  if (!finished_) Form_Unload();
}

bool Milage::ShowModalAndWait(Owner& owner, int16_t mode) {
  owner.Shared().MileageEOLMode = mode;
  Milage& w = owner.Windows().Get<Milage>();
  // Beside the end-of-lease fees window, at the place it has always opened.
  if (w.Mode() == 1) w.move(Px(5055), Px(315));
  return owner.Windows().ShowModalAndClearDone<Milage>();
}

void Milage::Build() {
  setWindowTitle("Pre-Paid Miles");
  auto* top = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  for (int i = 1; i <= 2; ++i) {
    Text1[i] = new QLineEdit(this);
    Text1[i]->setObjectName(QString("Text1_%1").arg(i));
    Text1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text1[i]->setMinimumWidth(100);
    filters_[i] = new ui::EntryBoxFilter(
        this, [this, i] { Text1_GotFocus(i); }, [this, i] { Text1_LostFocus(i); },
        [this, i](int& k) { Text1_KeyPress(i, k); });
    Text1[i]->installEventFilter(filters_[i]);
  }
  const int h = Text1[1]->sizeHint().height();
  Label1 = new QLabel("Allowed Miles Per Year:", this);
  Label6 = ValueLabel(this, "Label6", h);
  Label2 = new QLabel("Actual Miles Per Year:", this);
  Label3 = new QLabel("Total Excess Miles:", this);
  lblExcessMiles = ValueLabel(this, "lblExcessMiles", h);
  Label4 = new QLabel("Cents Per Mile:", this);
  Label5 = new QLabel("Mileage Fee:", this);
  lblMilagefee = ValueLabel(this, "lblMilagefee", h);
  int r = 0;
  g->addWidget(Label1, r, 0);
  g->addWidget(Label6, r++, 1);
  g->addWidget(Label2, r, 0);
  g->addWidget(Text1[1], r++, 1);
  g->addWidget(Label3, r, 0);
  g->addWidget(lblExcessMiles, r++, 1);
  g->addWidget(Label4, r, 0);
  g->addWidget(Text1[2], r++, 1);
  g->addWidget(Label5, r, 0);
  g->addWidget(lblMilagefee, r++, 1);
  g->setColumnStretch(1, 1);
  top->addLayout(g);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton("&OK", this);
  Command1->setAutoDefault(false);
  buttons->addWidget(Command1);
  top->addLayout(buttons);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Milage::Form_Load() {
  mode_ = owner.Shared().MileageEOLMode == 1 ? 1 : 0;
  if (owner.Shared().MileageEOLMode != 0) setWindowTitle("End-of-Lease Miles");
  const PageRecord& p = eng.page;
  if (mode_ == 1) {
    ActualMiles = p.EOLActualMiles;
    CentsPerMile = p.EOLCentsperMile;
  } else {
    ActualMiles = p.PrePaidActualMiles;
    CentsPerMile = p.PrePaidCentsPerMile;
  }
  UpdateMileageFee();
}

void Milage::UpdateMileageFee() {
  const PageRecord& p = eng.page;
  Label6->setText(Q(PadRight(Format(p.AllowedMiles, "#,###;; "), 10)));
  Text1[1]->setText(Q(PadRight(Format(ActualMiles, "#,###;; "), 10)));
  Text1[2]->setText(Q(PadRight(Format(CentsPerMile, ".00#;; "), 6)));
  // The yearly excess over the whole term; never below 0, not rounded.
  double x = (ActualMiles - p.AllowedMiles) * p.Months / 12;
  if (x < 0) x = 0;
  lblExcessMiles->setText(Q(PadRight(Format(x, "#,###;; "), 12)));
  MileageFee = CentsPerMile * x;
  lblMilagefee->setText(Q(PadRight(Format(MileageFee, "$#,###.00;; "), 10)));
  if (mode_ == 0) {
    // The pre-paid fee follows at once: capitalised when it already is, else in cash.
    StartUpItem& fee = eng.items.PrePaidMileFee;
    fee.Amount = MileageFee;
    if (fee.Cap != 0) {
      fee.Cap = MileageFee;
      fee.Cash = 0;
    } else {
      fee.Cash = MileageFee;
      fee.Cap = 0;
    }
  }
}

PageInputs Milage::WithEntry(double actualMiles, double centsPerMile) const {
  PageInputs in = eng.SnapshotInputs();
  PageRecord& p = in.page;
  double x = (actualMiles - p.AllowedMiles) * p.Months / 12;
  if (x < 0) x = 0;
  const double fee = centsPerMile * x;
  if (mode_ == 0) {
    p.PrePaidCentsPerMile = centsPerMile;
    p.PrePaidActualMiles = ToInt32(actualMiles);
    StartUpItem& item = in.items.PrePaidMileFee;
    item.Amount = fee;
    item.Cap = item.Cap != 0 ? fee : 0;
    item.Cash = item.Cap != 0 ? 0 : fee;
    item.ManualSplit = 0;
  } else {
    p.EOLCentsperMile = centsPerMile;
    p.EOLActualMiles = ToInt32(actualMiles);
    in.items.EOLFees[1].Amount = fee;
    in.items.TotalEOLFees = 0;
    for (int n = 1; n <= 10; ++n) in.items.TotalEOLFees += in.items.EOLFees[n].Amount;
  }
  return in;
}

void Milage::Text1_GotFocus(int Index) {
  if (Index < 1 || Index > 2) return;
  Text1[Index]->selectAll();
}

void Milage::Text1_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13 || Index < 1 || Index > 2) return;
  KeyAscii = 0;
  if (Index == 1)
    Text1[2]->setFocus(Qt::TabFocusReason);
  else
    Command1->setFocus(Qt::TabFocusReason);
}

void Milage::Text1_LostFocus(int Index) {
  if (Index < 1 || Index > 2) return;
  double v = 0;
  if (!ReadEntryAmount(S(Text1[Index]->text()), v)) {
    UpdateMileageFee();
    return;
  }
  const double actual = Index == 1 ? v : ActualMiles;
  // A price typed as whole cents (15) is fifteen cents.
  const double perMile = Index == 2 ? (v < 1 ? v : v / 100) : CentsPerMile;
  // The page keeps the miles as a whole number; a refused entry leaves the boxes as they were.
  const double miles = RoundHalfEven(actual);
  if (miles < -2147483648.0 || miles > 2147483647.0) {
    ui::GetPrompt().MsgBox(StrNum(v) + " is not a valid number of miles.");
    UpdateMileageFee();
    return;
  }
  if (!AcceptCandidate(eng, WithEntry(actual, perMile), {v})) {
    UpdateMileageFee();
    return;
  }
  if (actual != ActualMiles || perMile != CentsPerMile) eng.WorksheetModified = -1;
  ActualMiles = actual;
  CentsPerMile = perMile;
  UpdateMileageFee();
}

void Milage::Command1_Click() {
  if (ui::CommitFocusedEntry(Command1)) Finish();
}

void Milage::Finish() {
  if (finished_) return;
  for (int i = 1; i <= 2; ++i)
    if (Text1[i]->hasFocus()) Text1_LostFocus(i);
  ui::ReleaseEntryBoxFilters(this);
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void Milage::Form_Unload() {
  PageRecord& p = eng.page;
  if (mode_ == 0) {
    p.PrePaidCentsPerMile = CentsPerMile;
    p.PrePaidActualMiles = ToInt32(ActualMiles);
    // The start-up costs window recalculates when its wait ends.
    eng.items.PrePaidMileFee.ManualSplit = 0;
    eng.DialogDone = -1;
    return;
  }
  p.EOLCentsperMile = CentsPerMile;
  p.EOLActualMiles = ToInt32(ActualMiles);
  owner.Shared().MileageEOLMode = 0;
  // Row 1 of the end-of-lease fees is the excess mileage fee.
  if (EOLFee* fees = owner.Windows().IfLoaded<EOLFee>()) {
    fees->EOLSheetData.SetActiveCell(1, 2);
    fees->EOLSheetData.SetNumberRC(1, 2, MileageFee);
  }
  PageItems& it = eng.items;
  if (it.EOLFees[1].Amount != MileageFee) eng.WorksheetModified = -1;
  it.EOLFees[1].Amount = MileageFee;
  it.TotalEOLFees = 0;
  for (int n = 1; n <= 10; ++n) it.TotalEOLFees += it.EOLFees[n].Amount;
  if (EOLFee* fees = owner.Windows().IfLoaded<EOLFee>()) {
    fees->ShowTotal();
    fees->EOLSheet->refresh();
  }
  eng.RecalcPage();
  eng.DialogDone = -1;
}

void Milage::reject() {
  if (!finished_) {
    Finish();
    return;
  }
  QDialog::reject();
}

}  // namespace qv
