// The vehicle totals window: two columns of figures, invoice and MSRP.
#include "dialogs/Totals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Runtime.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"

namespace qv {


Totals::Totals(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Totals");
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  Build();
  Form_Load();
}

void Totals::Build() {
  setWindowTitle("Current Vehicle Totals");
  auto* top = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  g->setHorizontalSpacing(10);
  g->setVerticalSpacing(4);
  auto heading = [this](const char* text) {
    auto* l = new QLabel(text, this);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };
  g->addWidget(heading("Invoice"), 0, 1);
  g->addWidget(heading("MSRP"), 0, 2);
  const char* rows[6] = {"Base Price",           "Options",           "Destination",
                         "Total Invoice / MSRP", "Margin over Invoice", "Purchase Price"};
  for (int r = 0; r < 6; ++r) g->addWidget(new QLabel(rows[r], this), r + 1, 0);
  for (int i = 0; i < 10; ++i) {
    Label3[i] = new QLabel(this);
    Label3[i]->setObjectName(QString("Label3_%1").arg(i));
    Label3[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label3[i]->setMinimumWidth(100);
    Label3[i]->setContentsMargins(4, 0, 4, 0);
    // 0..5 down the invoice column, 6..9 down the MSRP column.
    if (i < 6) g->addWidget(Label3[i], i + 1, 1);
    else g->addWidget(Label3[i], i - 6 + 1, 2);
  }
  top->addLayout(g);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton("OK", this);
  buttons->addWidget(Command1);
  buttons->addStretch(1);
  top->addLayout(buttons);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Totals::Form_Load() {
  const PageRecord& p = eng.page;
  const PageResults& r = eng.res;
  const double values[10] = {p.BaseInv,        r.TotalOptInv, p.Dest, r.TotalInvoice, p.Margin,
                             r.PurchPrice,     p.BaseMSRP,    r.TotalOptMSRP, p.Dest, r.TotalMSRP};
  for (int i = 0; i < 10; ++i) Label3[i]->setText(QString::fromStdString(Format(values[i], "$#,##0.00;; ")));
}

void Totals::Command1_Click() { close(); }

}  // namespace qv
