// The cap-cost target window: the target, the value to change, OK and Cancel.
#include "dialogs/ForceCap.h"

#include <QEvent>
#include <QGroupBox>
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

namespace qv {


ForceCap::ForceCap(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("ForceCap");
  setAttribute(Qt::WA_DeleteOnClose);
  Build();
  Form_Load();
}

void ForceCap::Build() {
  setWindowTitle("Cap Cost");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel("Enter Desired Cap Cost:", this);
  Text1 = new QLineEdit(this);
  Text1->setObjectName("Text1");
  Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Text1->installEventFilter(this);
  auto* row = new QHBoxLayout;
  row->addWidget(Label1);
  row->addWidget(Text1);
  top->addLayout(row);

  Frame1 = new QGroupBox("Select Value To Change:", this);
  auto* frame = new QVBoxLayout(Frame1);
  Option1[0] = new QRadioButton("&Margin Over Invoice", Frame1);
  Option1[1] = new QRadioButton("&Cap Reduction (Cash)", Frame1);
  Option1[0]->setChecked(true);
  frame->addWidget(Option1[0]);
  frame->addWidget(Option1[1]);
  top->addWidget(Frame1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1[0] = new QPushButton("&OK", this);
  Command1[1] = new QPushButton("Ca&ncel", this);
  buttons->addWidget(Command1[0]);
  buttons->addWidget(Command1[1]);
  top->addLayout(buttons);
  for (int i = 0; i < 2; ++i) connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
}

void ForceCap::Form_Load() { Text1->setText(QString::fromStdString(Format(eng.res.CapCost, "$#,###.00;; "))); }

void ForceCap::Text1_GotFocus() { Text1->selectAll(); }

void ForceCap::Text1_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    KeyAscii = 0;
    Command1[0]->setFocus(Qt::TabFocusReason);
  }
}

void ForceCap::Command1_Click(int Index) {
  if (finished_) return;
  if (Index == 0 && !ui::CommitFocusedEntry(Command1[0])) return;
  if (Index == 0) {
    double target = 0;
    if (!ReadEntryAmount(Text1->text().toStdString(), target)) return;
    if (target < 0) {
      ui::GetPrompt().MsgBox(kNegativeCapCostMessage, ui::Buttons::OK, ui::Icon::Exclamation);
      Form_Load();
      Text1->setFocus(Qt::OtherFocusReason);
      return;
    }
    const auto lever =
        Option1[1]->isChecked() ? PaymentSolver::CapLever::CapReduction : PaymentSolver::CapLever::Margin;
    FiniteEntry entry(eng);
    passes_ = PaymentSolver::ReachCapCost(eng, target, lever, &reached_);
    if (passes_ > 0) eng.WorksheetModified = -1;
    if (!entry.Accept({target})) {
      // The page is as it was; the box shows its cap cost again.
      passes_ = 0;
      reached_ = false;
      Form_Load();
      return;
    }
  }
  finished_ = true;
  QDialog::done(Index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void ForceCap::reject() {
  if (!finished_)
    Command1_Click(1);
  else
    QDialog::reject();
}

bool ForceCap::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1 &&
      ui::RunEntryBoxHandlers(Text1, event, [this] { Text1_GotFocus(); }, nullptr,
                              [this](int& ascii) { Text1_KeyPress(ascii); }))
    return true;
  return ui::QvDialog::eventFilter(watched, event);
}

}  // namespace qv
