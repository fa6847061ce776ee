// The residual-basis window: full or discounted MSRP as the base of a residual percentage.
#include "dialogs/ResBase.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


QLabel* Figure(QWidget* parent, int width) {
  auto* l = new QLabel(parent);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMinimumWidth(width);
  l->setContentsMargins(4, 0, 4, 0);
  return l;
}

constexpr const char* kMoney = "$#,###.00;; ";

}  // namespace


ResBase::ResBase(Engine& engine, Owner& theOwner)
    : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner),
      residualText_(QString::fromStdString(theOwner.DealFieldText(7))) {
  setObjectName("ResBase");
  Build();
  Form_Load();
}

ResBase::~ResBase() { Form_Unload(); }

void ResBase::Build() {
  setWindowTitle("Residual Basis");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel(
      "Some options contain discounts. Do you wish to base residual on full MSRP or discounted MSRP?", this);
  Label1->setWordWrap(true);
  top->addWidget(Label1);

  auto* g = new QGridLayout;
  g->setHorizontalSpacing(8);
  lblFullMSRP = Figure(this, 96);
  lblDiscountMSRP = Figure(this, 96);
  for (int i = 0; i < 2; ++i) {
    lblPerc[i] = Figure(this, 56);
    lblAmount[i] = Figure(this, 96);
  }
  QLabel* const msrp[2] = {lblFullMSRP, lblDiscountMSRP};
  const char* captions[2] = {"Full MSRP:", "Discounted MSRP:"};
  for (int i = 0; i < 2; ++i) {
    g->addWidget(new QLabel(captions[i], this), i, 0);
    g->addWidget(msrp[i], i, 1);
    g->addWidget(new QLabel("% Residual:    x", this), i, 2);
    g->addWidget(lblPerc[i], i, 3);
    g->addWidget(new QLabel("=", this), i, 4);
    g->addWidget(lblAmount[i], i, 5);
  }
  top->addLayout(g);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1[1] = new QPushButton("Use &Full MSRP", this);
  Command1[0] = new QPushButton("Use &Discounted MSRP", this);
  for (int i : {1, 0}) {
    Command1[i]->setAutoDefault(false);
    buttons->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  buttons->addStretch(1);
  top->addLayout(buttons);
}

void ResBase::Form_Load() {
  const double p = ParseAmountText(residualText_.toStdString());
  const double full = eng.res.MSRP + eng.res.OptionDiscountTotal;
  const double discounted = eng.res.MSRP;
  lblFullMSRP->setText(Q(Format(full, kMoney)));
  lblDiscountMSRP->setText(Q(Format(discounted, kMoney)));
  for (QLabel* l : lblPerc) l->setText(Q(Format(p, "#.0%")));
  lblAmount[0]->setText(Q(Format(Engine::RoundNum(full * p, 2), kMoney)));
  lblAmount[1]->setText(Q(Format(Engine::RoundNum(discounted * p, 2), kMoney)));
}

void ResBase::Command1_Click(int Index) {
  eng.page.UseFullMSRP = Index == 1 ? -1 : 0;
  done(QDialog::Accepted);
}

void ResBase::done(int r) {
  Form_Unload();
  QDialog::done(r);
}

void ResBase::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  eng.DialogDone = -1;
}

}  // namespace qv
