// The trade window: allowance and payoff boxes, the trade equity and its placement.
#include "dialogs/Trade.h"

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



Trade::Trade(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Trade");
  Build();
  Form_Load();
}

Trade::~Trade() {
  ui::ReleaseEntryBoxFilters(this);
  if (!finished_) Form_Unload();
}

bool Trade::ShowModalAndWait(Owner& owner) { return owner.Windows().ShowModalAndClearDone<Trade>(); }

void Trade::Build() {
  setWindowTitle("Trade");
  auto* top = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  Label2 = new QLabel("Trade Allowance:", this);
  Label1 = new QLabel("Trade Payoff:", this);
  Label3 = new QLabel("Trade Equity:", this);
  for (int i = 0; i < 2; ++i) {
    Text1[i] = new QLineEdit(this);
    Text1[i]->setObjectName(QString("Text1_%1").arg(i));
    Text1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text1[i]->setMinimumWidth(110);
    filters_[i] = new ui::EntryBoxFilter(
        this, [this, i] { Text1_GotFocus(i); }, [this, i] { Text1_LostFocus(i); },
        [this, i](int& k) { Text1_KeyPress(i, k); });
    Text1[i]->installEventFilter(filters_[i]);
  }
  lblTradeEquity = new QLabel(this);
  lblTradeEquity->setObjectName("lblTradeEquity");
  lblTradeEquity->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblTradeEquity->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblTradeEquity->setMinimumHeight(Text1[0]->sizeHint().height());
  g->addWidget(Label2, 0, 0);
  g->addWidget(Text1[0], 0, 1);
  g->addWidget(Label1, 1, 0);
  g->addWidget(Text1[1], 1, 1);
  g->addWidget(Label3, 2, 0);
  g->addWidget(lblTradeEquity, 2, 1);
  g->setColumnStretch(1, 1);
  top->addLayout(g);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton("OK", this);
  Command1->setAutoDefault(false);
  buttons->addWidget(Command1);
  top->addLayout(buttons);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Trade::Form_Load() { UpdateTradeEquity(); }

void Trade::UpdateTradeEquity() {
  PageItems& it = eng.items;
  Text1[0]->setText(Q(PadRight(Format(it.TradeAllowance, "$#,###.00;; "), 10)));
  Text1[1]->setText(Q(PadRight(Format(it.TradePayoff, "$#,###.00;; "), 10)));
  const double e = it.TradeAllowance - it.TradePayoff;
  StartUpItem& te = it.TradeEquity;
  te.Amount = e;
  // Once on the cash side the equity stays there; otherwise it is capitalised.
  if (te.Cash != 0) {
    te.Cash = e;
    te.Cap = 0;
  } else {
    te.Cap = e;
    te.Cash = 0;
  }
  lblTradeEquity->setText(Q(PadRight(Format(te.Cap + te.Cash, "$#,###.00;($#,###.00); "), 10)));
}

void Trade::Text1_GotFocus(int Index) {
  if (Index < 0 || Index > 1) return;
  Text1[Index]->selectAll();
}

void Trade::Text1_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13 || Index < 0 || Index > 1) return;
  KeyAscii = 0;
  if (Index == 0)
    Text1[1]->setFocus(Qt::TabFocusReason);
  else
    Command1->setFocus(Qt::TabFocusReason);
}

void Trade::Text1_LostFocus(int Index) {
  if (Index < 0 || Index > 1) return;
  double v = 0;
  if (!ReadEntryAmount(S(Text1[Index]->text()), v)) {
    // The boxes show the page's amounts again.
    UpdateTradeEquity();
    return;
  }
  FiniteEntry entry(eng);
  double& field = Index == 0 ? eng.items.TradeAllowance : eng.items.TradePayoff;
  if (field != v) eng.WorksheetModified = -1;
  field = v;
  UpdateTradeEquity();
  // A refused amount: the boxes show the page's amounts again.
  if (!entry.Accept({v})) UpdateTradeEquity();
}

void Trade::Command1_Click() {
  if (ui::CommitFocusedEntry(Command1)) Finish();
}

void Trade::Finish() {
  if (finished_) return;
  // A box still being edited when the window closes keeps what was typed.
  for (int i = 0; i < 2; ++i)
    if (Text1[i]->hasFocus()) Text1_LostFocus(i);
  ui::ReleaseEntryBoxFilters(this);
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void Trade::Form_Unload() {
  eng.DialogDone = -1;
  // The page calculation owns the placement again.
  if (eng.items.TradeEquity.ManualSplit != 0) eng.WorksheetModified = -1;
  eng.items.TradeEquity.ManualSplit = 0;
}

void Trade::reject() {
  if (!finished_) {
    Finish();
    return;
  }
  QDialog::reject();
}

}  // namespace qv
