// The margin window: the five parts of the margin in a one-column grid with their total.
#include "dialogs/Margin2.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"

namespace qv {

namespace {

constexpr int kRowHeight = 24;
constexpr int kEnter = 13;

const char* const kCaptions[6] = {"Profit:",   "Advertising:", "Factory-to- Dealer Incentive:",
                                  "Holdback:", "Other:",       "Total Margin:"};

}  // namespace


Margin2::Margin2(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Margin2");
  Build();
  Form_Load();
}

Margin2::~Margin2() { Form_Unload(); }

void Margin2::Build() {
  setWindowTitle("Margin");
  F1Book1Data.SetName("Margin");
  F1Book1Data.SetMaxCol(1);
  F1Book1Data.SetMaxRow(kTotal);
  F1Book1Data.SetSumFormula(kTotal, 1, kProfit, 1, kOther, 1);
  F1Book1Data.SetActiveCell(kProfit, 1);

  auto* top = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  auto* captions = new QVBoxLayout;
  captions->setSpacing(0);
  captions->setContentsMargins(0, 1, 0, 1);
  for (int i = 0; i < 6; ++i) {
    Label1[i] = new QLabel(QString::fromUtf8(kCaptions[i]), this);
    Label1[i]->setFixedHeight(kRowHeight);
    Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    captions->addWidget(Label1[i]);
  }
  QFont bold = Label1[5]->font();
  bold.setBold(true);
  Label1[5]->setFont(bold);
  captions->addStretch(1);
  row->addLayout(captions);

  F1Book1 = new grid::GridWidget(this);
  F1Book1->setObjectName("F1Book1");
  F1Book1->setSheet(&F1Book1Data);
  F1Book1->setColumnHeadersVisible(false);
  F1Book1->setRowHeadersVisible(false);
  F1Book1->setColumnWidth(1, 120);
  F1Book1->setColumnAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  F1Book1->setColumnFormatter(1, [](double v) { return Format(v, "$#,##0.00;($#,##0.00);$0.00"); });
  F1Book1->refresh();
  for (int r = 1; r <= kTotal; ++r) F1Book1->setRowHeight(r, kRowHeight);
  F1Book1->setFixedSize(124, kRowHeight * kTotal + 2);
  F1Book1->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  F1Book1->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  row->addWidget(F1Book1, 0, Qt::AlignTop);
  top->addLayout(row);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton("&OK", this);
  Command1->setAutoDefault(false);
  buttons->addWidget(Command1);
  buttons->addStretch(1);
  top->addLayout(buttons);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(F1Book1, &grid::GridWidget::endEdit, this,
          [this](int r, int c, QString* text, bool* cancel) { F1Book1_EndEdit(r, c, text, cancel); });
  connect(F1Book1, &grid::GridWidget::click, this, [this](int, int) { F1Book1_Click(); });
  connect(F1Book1, &grid::GridWidget::keyDown, this, [this](int* key, Qt::KeyboardModifiers) { F1Book1_KeyDown(key); });
  connect(F1Book1, &grid::GridWidget::keyPress, this, [this](int* ascii) { F1Book1_KeyPress(ascii); });
}

void Margin2::Form_Load() {
  PageRecord& p = eng.page;
  // Other is whatever the other four parts leave of the margin, so the total is the margin.
  const double s = p.Profit + p.Advertising + p.Incentive + p.Holdback;
  p.Other = p.Margin - s;
  loaded_ = p;
  ShowComponents();
}

void Margin2::ShowComponents() {
  const PageRecord& p = eng.page;
  F1Book1Data.SetNumberRC(kProfit, 1, p.Profit);
  F1Book1Data.SetNumberRC(kAdvertising, 1, p.Advertising);
  F1Book1Data.SetNumberRC(kIncentive, 1, p.Incentive);
  F1Book1Data.SetNumberRC(kHoldback, 1, p.Holdback);
  F1Book1Data.SetNumberRC(kOther, 1, p.Other);
  if (F1Book1) F1Book1->refresh();
}

double Margin2::Total() const { return F1Book1Data.NumberRC(kTotal, 1); }

void Margin2::F1Book1_EndEdit(int row, int col, QString* text, bool* cancel) {
  if (col != 1) return;
  const std::string typed = text->toStdString();
  double value = 0;
  if (!ReadEntryMoney(typed, value)) {
    *cancel = true;
    return;
  }
  PageRecord& p = eng.page;
  double* component = nullptr;
  double v = value;
  switch (row) {
    case kProfit: component = &p.Profit; break;
    case kAdvertising: component = &p.Advertising; break;
    case kOther: component = &p.Other; break;
    case kIncentive:
    case kHoldback: {
      component = row == kIncentive ? &p.Incentive : &p.Holdback;
      // Credits from the factory: negative unless typed with a leading "+".
      const size_t first = typed.find_first_not_of(' ');
      const bool plus = first != std::string::npos && typed[first] == '+';
      if (!plus) v = -std::fabs(value);
      break;
    }
    default:
      return;
  }
  // The margin the parts would make: a part the page cannot take is refused.
  const double old = *component;
  *component = v;
  PageInputs candidate = eng.SnapshotInputs();
  *component = old;
  const PageRecord& c = candidate.page;
  candidate.page.Margin = c.Profit + c.Advertising + c.Incentive + c.Holdback + c.Other;
  if (!AcceptCandidate(eng, candidate, {v})) {
    *cancel = true;
    return;
  }
  *component = v;
  F1Book1Data.SetNumberRC(row, 1, v);
  // The cell keeps the component as a number, whatever was typed around it ("$", ",").
  *text = QString::fromStdString(GeneralNumber(v));
}

void Margin2::F1Book1_Click() {
  if (F1Book1->activeRow() == kTotal) F1Book1->setActiveCell(kOther, 1);
}

void Margin2::F1Book1_KeyDown(int* key) {
  if (*key == Qt::Key_Down && F1Book1->activeRow() == kOther) {
    *key = 0;
    F1Book1->setActiveCell(kProfit, 1);
  }
}

void Margin2::F1Book1_KeyPress(int* ascii) {
  if (*ascii != kEnter) return;
  const int r = F1Book1->activeRow();
  if (r >= kProfit && r <= kHoldback) {
    F1Book1->setActiveCell(r + 1, 1);
  } else {
    F1Book1->setActiveCell(kProfit, 1);
    *ascii = 0;
  }
}

void Margin2::Command1_Click() {
  if (ui::CommitFocusedEntry(Command1)) done(QDialog::Accepted);
}

void Margin2::done(int r) {
  Form_Unload();
  QDialog::done(r);
}

void Margin2::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  PageRecord& p = eng.page;
  const bool edited = p.Profit != loaded_.Profit || p.Advertising != loaded_.Advertising ||
                      p.Incentive != loaded_.Incentive || p.Holdback != loaded_.Holdback ||
                      p.Other != loaded_.Other;
  // Without an edit the margin stays exactly as it was (the sum of the parts could differ
  // from it in the last binary digit).
  if (edited) {
    p.Margin = Total();
    eng.WorksheetModified = -1;
  }
  eng.RecalcPage();
}

}  // namespace qv
