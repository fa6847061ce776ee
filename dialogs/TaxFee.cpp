// The taxes and fees window: the seven purchase taxes and fees of the page in a one-column
// grid with their sum, the override marking of the four taxes, and the two helper buttons.
#include "dialogs/TaxFee.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/QtText.h"

namespace qv {


namespace {

constexpr int kRowHeight = 22;
constexpr int kTotalRow = 8;

const grid::CellFont kPlain{"MS Sans Serif", 8, false, false, false, false, 0};
const grid::CellFont kBold{"MS Sans Serif", 8, true, false, false, false, 0};

// The page field of a grid row (1..7), and the override flag of rows 3..6.
Var* FieldOfRow(PageRecord& p, int row) {
  switch (row) {
    case 1: return &p.PurchRegistration;
    case 2: return &p.PurchTitle;
    case 3: return &p.PurchSales;
    case 4: return &p.PurchUseTax;
    case 5: return &p.PurchPropertyTax;
    case 6: return &p.PurchLuxuryTax;
    case 7: return &p.PurchOther;
    default: return nullptr;
  }
}

int16_t* OverrideOfRow(PageRecord& p, int row) {
  switch (row) {
    case 3: return &p.PurchSalesOverride;
    case 4: return &p.PurchUseTaxOverride;
    case 5: return &p.PurchPropertyTaxOverride;
    case 6: return &p.PurchLuxuryTaxOverride;
    default: return nullptr;
  }
}

// The key code of the old keyboard interface for the down arrow.
constexpr int kKeyDown = 40;

}  // namespace


TaxFee::TaxFee(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("TaxFee");
  Build();
  Form_Load();
}

TaxFee::~TaxFee() {
  if (!finished_) Form_Unload();
}

bool TaxFee::ShowModalAndWait(Owner& owner) { return owner.Windows().ShowModalAndClearDone<TaxFee>(); }

void TaxFee::Build() {
  setWindowTitle("Taxes and Fees");
  auto* top = new QVBoxLayout(this);

  grid::Sheet& s = F1Book1Data;
  s.SetName("F1Book1");
  s.SetMaxRow(kTotalRow);
  s.SetMaxCol(1);
  s.SetSumFormula(kTotalRow, 1, 1, 1, 7, 1);
  s.SetActiveCell(1, 1);
  s.SetSelection(1, 1, 1, 1);

  F1Book1 = new grid::GridWidget(this);
  F1Book1->setObjectName("F1Book1");
  F1Book1->setSheet(&s);
  F1Book1->setColumnHeadersVisible(false);
  F1Book1->setRowHeadersVisible(false);
  F1Book1->setColumnWidth(1, 110);
  F1Book1->setColumnFormatter(1, [](double v) { return Format(v, "$#,##0.00;($#,##0.00)"); });
  F1Book1->setEditableRule([](int row, int col) { return col == 1 && row >= 1 && row <= 7; });
  for (int r = 1; r <= kTotalRow; ++r) F1Book1->setRowHeight(r, kRowHeight);
  QTableView* v = F1Book1->view();
  // The cells of the four taxes carry the 8-point font of their marking; the others match.
  QFont small = v->font();
  small.setPointSizeF(8);
  v->setFont(small);
  v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->horizontalHeader()->setStretchLastSection(true);
  const int frame = v->frameWidth();
  F1Book1->setFixedSize(130, kTotalRow * kRowHeight + 2 * frame + 1);

  // The captions stand beside the rows: 0..5 for rows 1..6, 7 for row 7, 6 for the total.
  const char* captions[8] = {"Registration Fee:", "Title Fee:", "Sales Tax:", "Use Tax:",
                             "Property Tax:",     "Luxury Tax:", "Total:",    "Other:"};
  auto* captionsBox = new QVBoxLayout;
  captionsBox->setSpacing(0);
  captionsBox->setContentsMargins(0, frame, 0, frame);
  for (int i = 0; i < 8; ++i) Label1[i] = new QLabel(captions[i], this);
  for (int row = 1; row <= kTotalRow; ++row) {
    QLabel* l = row <= 6 ? Label1[row - 1] : (row == 7 ? Label1[7] : Label1[6]);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFixedHeight(kRowHeight);
    captionsBox->addWidget(l);
  }
  // A line above the total.
  Label1[6]->setStyleSheet("QLabel { border-top: 1px solid palette(window-text); font-weight: bold; }");
  captionsBox->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addLayout(captionsBox);
  body->addWidget(F1Book1, 0, Qt::AlignTop);
  top->addLayout(body);

  auto* buttons = new QVBoxLayout;
  Command1[0] = new QPushButton("&OK", this);
  Command1[1] = new QPushButton("&Re-calculate Taxes", this);
  Command1[2] = new QPushButton("Use Lease Regist && &Title Fee", this);
  auto* okRow = new QHBoxLayout;
  okRow->addWidget(Command1[1]);
  okRow->addWidget(Command1[2]);
  buttons->addLayout(okRow);
  auto* okLine = new QHBoxLayout;
  okLine->addStretch(1);
  okLine->addWidget(Command1[0]);
  buttons->addLayout(okLine);
  top->addLayout(buttons);
  for (int i = 0; i < 3; ++i) {
    Command1[i]->setAutoDefault(false);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }

  connect(F1Book1, &grid::GridWidget::click, this, [this](int, int) { F1Book1_Click(); });
  connect(F1Book1, &grid::GridWidget::endEdit, this,
          [this](int, int, QString* text, bool* cancel) { F1Book1_EndEdit(text, cancel); });
  connect(F1Book1, &grid::GridWidget::keyDown, this, [this](int* key, Qt::KeyboardModifiers m) {
    int code = *key == Qt::Key_Down ? kKeyDown : VbKeyCode(*key);
    const int was = code;
    F1Book1_KeyDown(code, static_cast<int>(m));
    if (code == 0 && was != 0) *key = 0;
  });
  connect(F1Book1, &grid::GridWidget::keyPress, this, [this](int* ascii) { F1Book1_KeyPress(*ascii); });
}

void TaxFee::FillTaxFee() {
  grid::Sheet& s = F1Book1Data;
  PageRecord& p = eng.page;
  for (int row = 1; row <= 7; ++row) s.SetNumberRC(row, 1, *FieldOfRow(p, row));
  for (int row = 3; row <= 6; ++row) s.SetFontRC(row, 1, *OverrideOfRow(p, row) ? kBold : kPlain);
  F1Book1->refresh();
}

void TaxFee::Form_Load() { FillTaxFee(); }

void TaxFee::MoveToRow(int row) {
  F1Book1->setSelection(row, 1, row, 1);
  F1Book1->setActiveCell(row, 1);
}

void TaxFee::F1Book1_EndEdit(QString* text, bool* cancel) {
  const int row = F1Book1Data.ActiveRow();
  PageRecord& p = eng.page;
  Var* field = FieldOfRow(p, row);
  if (!field) {
    *cancel = true;
    return;
  }
  double v = 0;
  if (!ReadEntryMoney(S(*text), v)) {
    *cancel = true;
    return;
  }
  FiniteEntry entry(eng);
  if (int16_t* flag = OverrideOfRow(p, row)) {
    // A value other than the one shown is the user's own; the value shown gives the tax back
    // to the calculation. Taxes computed with single-precision rates lie a hair off the
    // cents they show (1289.99997 for $1,290.00), so the two are compared in cents.
    const bool same = Engine::RoundNum(v, 2) == Engine::RoundNum(static_cast<double>(*field), 2);
    const int16_t now = same ? 0 : -1;
    if (now != *flag) eng.WorksheetModified = -1;
    *flag = now;
  }
  if (field->IsEmpty() || static_cast<double>(*field) != v) eng.WorksheetModified = -1;
  *field = v;
  // A refused amount: the cell keeps its text and the page its value.
  if (!entry.Accept({v})) {
    *cancel = true;
    return;
  }
  if (const int16_t* flag = OverrideOfRow(p, row)) F1Book1Data.SetFontRC(row, 1, *flag ? kBold : kPlain);
  // The cell holds the number stored, so the total row adds what the page holds.
  *text = Q(grid::NumberCellText(v));
}

void TaxFee::Command1_Click(int Index) {
  PageRecord& p = eng.page;
  PageItems& it = eng.items;
  switch (Index) {
    case 0:
      if (ui::CommitFocusedEntry(Command1[0])) Finish();
      return;
    case 1:
      p.PurchLuxuryTax = it.LuxuryTax.Cap + it.LuxuryTax.Cash;
      p.PurchSalesOverride = 0;
      p.PurchUseTaxOverride = 0;
      p.PurchPropertyTaxOverride = 0;
      p.PurchLuxuryTaxOverride = 0;
      eng.CalcSalesTax(eng.res.PurchPrice - it.TradeAllowance);
      eng.WorksheetModified = -1;
      FillTaxFee();
      return;
    case 2:
      p.PurchRegistration = it.Registration.Cap + it.Registration.Cash;
      p.PurchTitle = it.Title.Cap + it.Title.Cash;
      F1Book1Data.SetNumberRC(1, 1, p.PurchRegistration);
      F1Book1Data.SetNumberRC(2, 1, p.PurchTitle);
      F1Book1->refresh();
      eng.WorksheetModified = -1;
      return;
    default:
      return;
  }
}

void TaxFee::F1Book1_Click() {
  // A click never leaves the total selected.
  if (F1Book1Data.ActiveRow() == kTotalRow) MoveToRow(7);
}

void TaxFee::F1Book1_KeyDown(int& KeyCode, int /*Shift*/) {
  if (KeyCode == kKeyDown && F1Book1Data.ActiveRow() == 7) {
    KeyCode = 0;
    MoveToRow(1);
  }
}

void TaxFee::F1Book1_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  const int row = F1Book1Data.ActiveRow();
  KeyAscii = 0;
  MoveToRow(row >= 1 && row <= 6 ? row + 1 : 1);
}

void TaxFee::Finish() {
  if (finished_) return;
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void TaxFee::Form_Unload() {
  eng.RecalcPage();
  eng.DialogDone = -1;
}

void TaxFee::reject() {
  if (!finished_) {
    Finish();
    return;
  }
  QDialog::reject();
}

}  // namespace qv
