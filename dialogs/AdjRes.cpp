// The residual adjustment window: additional miles at a price per mile off the residual.
#include "dialogs/AdjRes.h"

#include <QEvent>
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
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {

QLabel* Figure(QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMinimumWidth(100);
  l->setContentsMargins(4, 0, 4, 0);
  return l;
}


}  // namespace


AdjRes::AdjRes(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("AdjRes");
  Build();
  Form_Load();
}

void AdjRes::Build() {
  setWindowTitle("Adjust Residual");
  auto* top = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  g->setHorizontalSpacing(8);
  lblCurrentResidual = Figure(this);
  txtAdditionalMiles = new QLineEdit(this);
  txtCentsPerMile = new QLineEdit(this);
  for (QLineEdit* e : {txtAdditionalMiles, txtCentsPerMile}) {
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->installEventFilter(this);
  }
  txtAdditionalMiles->setObjectName("txtAdditionalMiles");
  txtCentsPerMile->setObjectName("txtCentsPerMile");
  lblAdjustment = Figure(this);
  lblAdjustedResidual = Figure(this);
  int r = 0;
  g->addWidget(new QLabel("Current Residual", this), r, 0);
  g->addWidget(lblCurrentResidual, r++, 1);
  g->addWidget(new QLabel("Additional Miles", this), r, 0);
  g->addWidget(txtAdditionalMiles, r++, 1);
  g->addWidget(new QLabel("Cents / mile", this), r, 0);
  g->addWidget(txtCentsPerMile, r++, 1);
  g->addWidget(new QLabel("Adjustment", this), r, 0);
  g->addWidget(lblAdjustment, r++, 1);
  g->addWidget(new QLabel("Adjusted Residual", this), r, 0);
  g->addWidget(lblAdjustedResidual, r++, 1);
  top->addLayout(g);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1[0] = new QPushButton("&OK", this);
  Command1[1] = new QPushButton("&Cancel", this);
  for (int i = 0; i < 2; ++i) {
    Command1[i]->setAutoDefault(false);
    buttons->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  top->addLayout(buttons);
}

void AdjRes::Form_Load() {
  lblCurrentResidual->setText(Q(Format(eng.page.Residual, "$0.00")));
  CalcAdjustment();
}

void AdjRes::CalcAdjustment() {
  miles_ = ParseAmountText(txtAdditionalMiles->text().toStdString());
  double cents = ParseAmountText(txtCentsPerMile->text().toStdString());
  // A price typed in dollars (0.15) is taken as cents (15).
  if (cents < 1) cents = cents * 100;
  const double adjustment = cents * miles_ / 100;
  lblAdjustment->setText(Q(Format(adjustment, "$0.00")));
  adjusted_ = eng.page.Residual - adjustment;
  lblAdjustedResidual->setText(Q(Format(adjusted_, "$0.00")));
}

PageInputs AdjRes::Adjusted() const {
  PageInputs in = eng.SnapshotInputs();
  in.page.Residual = adjusted_;
  in.page.AllowedMiles = ToInt32(static_cast<double>(eng.page.AllowedMiles) + miles_);
  return in;
}

void AdjRes::Box_GotFocus(QLineEdit* box) { focusText_ = S(box->text()); }

void AdjRes::Box_LostFocus(QLineEdit* box) {
  double typed = 0;
  if (S(box->text()) != focusText_ && !ReadEntryAmount(S(box->text()), typed)) {
    box->setText(Q(focusText_));
    CalcAdjustment();
    return;
  }
  CalcAdjustment();
  if (S(box->text()) == focusText_ || AcceptCandidate(eng, Adjusted(), {miles_, adjusted_})) return;
  box->setText(Q(focusText_));
  CalcAdjustment();
}

void AdjRes::txtAdditionalMiles_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  txtCentsPerMile->setFocus(Qt::TabFocusReason);
}

void AdjRes::txtCentsPerMile_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  Command1[0]->setFocus(Qt::TabFocusReason);
}

void AdjRes::Command1_Click(int Index) {
  if (finished_) return;
  if (Index == 0 && !ui::CommitFocusedEntry(Command1[0])) return;
  if (Index == 0) {
    // What is typed counts, even when the box still has the focus.
    CalcAdjustment();
    const double miles = RoundHalfEven(static_cast<double>(eng.page.AllowedMiles) + miles_);
    if (miles < -2147483648.0 || miles > 2147483647.0) {
      ui::GetPrompt().MsgBox(StrNum(miles_) + " is not a valid number of miles.");
      return;
    }
    FiniteEntry entry(eng);
    eng.page.Residual = adjusted_;
    eng.page.AllowedMiles = ToInt32(miles);
    eng.WorksheetModified = -1;
    if (!entry.Accept({miles_, adjusted_})) return;
    eng.RecalcPage();
  }
  finished_ = true;
  QDialog::done(Index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void AdjRes::reject() {
  if (!finished_) Command1_Click(1);
  else QDialog::reject();
}

bool AdjRes::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtAdditionalMiles || watched == txtCentsPerMile) {
    const bool miles = watched == txtAdditionalMiles;
    auto* box = static_cast<QLineEdit*>(watched);
    if (ui::RunEntryBoxHandlers(watched, event, [this, box] { Box_GotFocus(box); },
                                [this, box] { Box_LostFocus(box); },
                                [this, miles](int& ascii) {
                                  if (miles) txtAdditionalMiles_KeyPress(ascii);
                                  else txtCentsPerMile_KeyPress(ascii);
                                }))
      return true;
  }
  return ui::QvDialog::eventFilter(watched, event);
}

}  // namespace qv
