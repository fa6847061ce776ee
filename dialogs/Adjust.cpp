// The adjustments window: ten described amounts split into a capitalised and a cash part,
// with their totals.
#include "dialogs/Adjust.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "engine/NumText.h"
#include "engine/PageStore.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/QtText.h"

namespace qv {


namespace {

constexpr int kRows = 10;
constexpr const char* kTotalPattern = "$#,###.00;($#,###.00); ";

// An amount typed into a cell, or kept in one, by the one rule of typed amounts.
double Amount(const std::string& text) { return ParseAmountText(text); }

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

}  // namespace


Adjust::Adjust(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Adjust");
  Build();
  Form_Load();
}

Adjust::~Adjust() {
  if (!finished_) Form_Unload();
}

void Adjust::ShowModalAndWait(Owner& owner) {
  owner.Windows().ShowModalAndUnload<Adjust>();
}

void Adjust::Build() {
  setWindowTitle("Adjustments");
  auto* top = new QVBoxLayout(this);

  grid::Sheet& s = AdjustmentSheetData;
  s.SetName("AdjustmentSheet");
  s.SetColText(1, "Adjustment");
  s.SetColText(2, "Capitalize");
  s.SetColText(3, "Cash");
  s.SetMaxRow(kRows);
  s.SetMaxCol(3);
  s.SetActiveCell(1, 1);
  s.SetSelection(1, 1, 1, 1);

  AdjustmentSheet = new grid::GridWidget(this);
  AdjustmentSheet->setObjectName("AdjustmentSheet");
  AdjustmentSheet->setSheet(&s);
  AdjustmentSheet->setColumnNumeric(1, false);
  AdjustmentSheet->setColumnWidth(1, 200);
  AdjustmentSheet->setColumnWidth(2, 100);
  AdjustmentSheet->setColumnWidth(3, 100);
  for (int c : {2, 3}) AdjustmentSheet->setColumnFormatter(c, [](double v) { return Format(v, kTotalPattern); });
  AdjustmentSheet->setEditableRule([](int row, int col) { return row >= 1 && row <= kRows && col >= 1 && col <= 3; });
  // Ten rows and the headings, nothing to scroll.
  AdjustmentSheet->refresh();
  QTableView* view = AdjustmentSheet->view();
  AdjustmentSheet->setMinimumSize(430, view->horizontalHeader()->sizeHint().height() + view->verticalHeader()->length() +
                                     2 * view->frameWidth() + 2);
  top->addWidget(AdjustmentSheet, 1);

  // The totals stand under their columns.
  auto* totals = new QHBoxLayout;
  totals->addStretch(1);
  Label1 = new QLabel("Total:", this);
  lblTotalCap = new QLabel(this);
  lblTotalCash = new QLabel(this);
  lblTotalCap->setObjectName("lblTotalCap");
  lblTotalCash->setObjectName("lblTotalCash");
  totals->addWidget(Label1);
  for (QLabel* l : {lblTotalCap, lblTotalCash}) {
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFixedWidth(100);
    totals->addWidget(l);
  }
  top->addLayout(totals);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton(" &Ok", this);
  Command1->setAutoDefault(false);
  buttons->addWidget(Command1);
  top->addLayout(buttons);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

  connect(AdjustmentSheet, &grid::GridWidget::endEdit, this,
          [this](int, int, QString* text, bool* cancel) { AdjustmentSheet_EndEdit(text, cancel); });
  connect(AdjustmentSheet, &grid::GridWidget::keyUp, this, [this](int key, Qt::KeyboardModifiers m) {
    AdjustmentSheet_KeyUp(VbKeyCode(key), static_cast<int>(m));
  });
}

void Adjust::TotalAdjust() {
  PageItems& it = eng.items;
  it.TotalAdjust.Cap = 0;
  it.TotalAdjust.Cash = 0;
  for (int i = 1; i <= kRows; ++i) {
    it.TotalAdjust.Cap += it.Adjustments[i].Cap;
    it.TotalAdjust.Cash += it.Adjustments[i].Cash;
  }
}

void Adjust::ShowTotals() {
  lblTotalCap->setText(Q(Format(eng.items.TotalAdjust.Cap, kTotalPattern)));
  lblTotalCash->setText(Q(Format(eng.items.TotalAdjust.Cash, kTotalPattern)));
}

void Adjust::Form_Load() {
  grid::Sheet& s = AdjustmentSheetData;
  const PageItems& it = eng.items;
  for (int i = 1; i <= kRows; ++i) {
    const AdjustmentRec& a = it.Adjustments[i];
    s.SetTextRC(i, 1, a.Desc);
    // Zero amounts leave their cells empty.
    if (a.Cap != 0) s.SetNumberRC(i, 2, a.Cap); else s.SetTextRC(i, 2, "");
    if (a.Cash != 0) s.SetNumberRC(i, 3, a.Cash); else s.SetTextRC(i, 3, "");
  }
  TotalAdjust();
  ShowTotals();
  AdjustmentSheet->refresh();
}

void Adjust::AdjustmentSheet_EndEdit(QString* text, bool* cancel) {
  const int r = AdjustmentSheetData.ActiveRow(), c = AdjustmentSheetData.ActiveCol();
  if (r < 1 || r > kRows || c < 1 || c > 3) {
    *cancel = true;  // only the ten rows and three columns are records
    return;
  }
  FiniteEntry entry(eng);
  AdjustmentRec& a = eng.items.Adjustments[r];
  const AdjustmentRec before = a;
  const std::string typed = S(*text);
  if (c == 1) {
    a.Desc = TabFreeText(typed);
    *text = Q(a.Desc);
  } else {
    double v = 0;
    if (!ReadEntryAmount(typed, v)) {
      // Not a number: the cell keeps its text and the record its amount.
      *cancel = true;
      return;
    }
    (c == 2 ? a.Cap : a.Cash) = v;
    // The cell keeps the number the record got, so reading the grid back gives it again.
    *text = Blank(typed) ? QString() : Q(grid::NumberCellText(v));
  }
  if (!(before == a)) eng.WorksheetModified = -1;
  TotalAdjust();
  // A refused amount: the cell keeps its text and the records their amounts.
  if (!entry.Accept()) *cancel = true;
  ShowTotals();
}

void Adjust::AdjustmentSheet_KeyUp(int KeyCode, int /*Shift*/) {
  if (KeyCode != 13) return;
  const int r = AdjustmentSheetData.ActiveRow(), c = AdjustmentSheetData.ActiveCol();
  int row = r, col = c + 1;
  if (c >= 3) {
    col = 1;
    row = r <= 9 ? r + 1 : 10;
  }
  AdjustmentSheet->setSelection(row, col, row, col);
  AdjustmentSheet->setActiveCell(row, col);
}

void Adjust::Command1_Click() {
  if (finished_) return;
  const grid::Sheet& s = AdjustmentSheetData;
  PageItems& it = eng.items;
  const auto before = it.Adjustments;
  for (int i = 1; i <= kRows; ++i) {
    it.Adjustments[i].Desc = s.TextRC(i, 1);
    it.Adjustments[i].Cap = Amount(s.TextRC(i, 2));
    it.Adjustments[i].Cash = Amount(s.TextRC(i, 3));
  }
  if (before != it.Adjustments) eng.WorksheetModified = -1;
  // The totals stored are the totals of the records stored.
  TotalAdjust();
  ShowTotals();
  Finish();
}

void Adjust::Finish() {
  if (finished_) return;
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void Adjust::Form_Unload() {
  eng.SavePageAdjustments();
  eng.RecalcPage();
}

void Adjust::reject() {
  if (!finished_) {
    Command1_Click();
    return;
  }
  QDialog::reject();
}

}  // namespace qv
