// The end-of-lease fees window: ten described fees, the first three of fixed kinds, their
// total, and the way into the end-of-lease mileage window.
#include "dialogs/EOLFee.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "dialogs/Milage.h"
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
constexpr int kFixedRows = 3;
const char* const kFixedDescriptions[kFixedRows] = {"Excess Milage Fee", "Disposition Fee", "Excessive Wear and Tear"};
constexpr const char* kTotalPattern = "$#,###.00;($#,###.00); ";

// The amount a cell of the grid holds, by the one rule of typed amounts.
double CellAmount(const grid::Sheet& s, int row) { return ParseAmountText(s.TextRC(row, 2)); }

}  // namespace


EOLFee::EOLFee(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("EOLFee");
  Build();
  Form_Load();
}

EOLFee::~EOLFee() {
  if (!finished_) Form_Unload();
}

void EOLFee::ShowModalAndWait(Owner& owner) {
  owner.Windows().ShowModalAndUnload<EOLFee>();
}

void EOLFee::Build() {
  setWindowTitle("End of Lease Fees");
  auto* top = new QVBoxLayout(this);

  EOLSheetData.SetName("EOLSheet");
  EOLSheetData.SetColText(1, "Fee Description");
  EOLSheetData.SetColText(2, "Amount");
  EOLSheetData.SetMaxRow(kRows);
  EOLSheetData.SetMaxCol(2);
  EOLSheetData.SetActiveCell(1, 2);
  EOLSheetData.SetSelection(1, 2, 1, 2);

  EOLSheet = new grid::GridWidget(this);
  EOLSheet->setObjectName("EOLSheet");
  EOLSheet->setSheet(&EOLSheetData);
  EOLSheet->setColumnNumeric(1, false);
  EOLSheet->setColumnWidth(1, 200);
  EOLSheet->setColumnWidth(2, 100);
  EOLSheet->setColumnFormatter(2, [](double v) { return Format(v, kTotalPattern); });
  // The fixed kinds keep their descriptions; nothing outside the ten rows and two columns.
  EOLSheet->setEditableRule([](int row, int col) {
    if (row < 1 || row > kRows || col < 1 || col > 2) return false;
    return !(col == 1 && row <= kFixedRows);
  });
  EOLSheet->view()->horizontalHeader()->setStretchLastSection(true);
  // Ten rows and the headings, nothing to scroll.
  EOLSheet->refresh();
  QTableView* view = EOLSheet->view();
  EOLSheet->setMinimumSize(330, view->horizontalHeader()->sizeHint().height() + view->verticalHeader()->length() +
                                     2 * view->frameWidth() + 2);
  top->addWidget(EOLSheet, 1);

  auto* totals = new QHBoxLayout;
  totals->addStretch(1);
  Label1 = new QLabel("Total:", this);
  lblTotalFees = new QLabel(this);
  lblTotalFees->setObjectName("lblTotalFees");
  lblTotalFees->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblTotalFees->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblTotalFees->setMinimumWidth(100);
  totals->addWidget(Label1);
  totals->addWidget(lblTotalFees);
  top->addLayout(totals);

  auto* buttons = new QHBoxLayout;
  Command1[1] = new QPushButton(" &Milage", this);
  Command1[0] = new QPushButton(" &Ok", this);
  buttons->addWidget(Command1[1]);
  buttons->addStretch(1);
  buttons->addWidget(Command1[0]);
  top->addLayout(buttons);
  for (int i = 0; i < 2; ++i) {
    Command1[i]->setAutoDefault(false);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }

  connect(EOLSheet, &grid::GridWidget::endEdit, this,
          [this](int, int, QString* text, bool* cancel) { EOLSheet_EndEdit(text, cancel); });
  connect(EOLSheet, &grid::GridWidget::keyUp, this,
          [this](int key, Qt::KeyboardModifiers m) { EOLSheet_KeyUp(VbKeyCode(key), static_cast<int>(m)); });
}

void EOLFee::Form_Load() {
  const PageItems& it = eng.items;
  grid::Sheet& s = EOLSheetData;
  for (int i = 1; i <= kRows; ++i) {
    s.SetTextRC(i, 1, i <= kFixedRows ? kFixedDescriptions[i - 1] : it.EOLFees[i].Desc);
    if (it.EOLFees[i].Amount != 0)
      s.SetNumberRC(i, 2, it.EOLFees[i].Amount);
    else
      s.SetTextRC(i, 2, "");
  }
  double total = 0;
  for (int i = 1; i <= kRows; ++i) total += it.EOLFees[i].Amount;
  eng.items.TotalEOLFees = total;
  ShowTotal();
  EOLSheet->refresh();
}

void EOLFee::ShowTotal() { lblTotalFees->setText(Q(Format(eng.items.TotalEOLFees, kTotalPattern))); }

void EOLFee::EOLSheet_EndEdit(QString* text, bool* cancel) {
  grid::Sheet& s = EOLSheetData;
  const int r = s.ActiveRow(), c = s.ActiveCol();
  // The grid itself stores nothing: the cell is written here, in the form the records take.
  *cancel = true;
  if (r < 1 || r > kRows || c < 1 || c > 2 || (c == 1 && r <= kFixedRows)) return;
  const std::string typed = S(*text);
  double amount = 0;
  if (c == 2 && !ReadEntryAmount(typed, amount)) return;  // not a number: the cell keeps its amount
  FiniteEntry entry(eng);
  if (c == 1) {
    s.SetTextRC(r, 1, TabFreeText(typed));
  } else if (TrimRight(typed).find_first_not_of(' ') == std::string::npos) {
    s.SetTextRC(r, 2, "");
  } else {
    s.SetNumberRC(r, 2, amount);
  }
  EOLSheet_EndRecalc(&entry);
}

void EOLFee::EOLSheet_EndRecalc(FiniteEntry* entry) {
  PageItems& it = eng.items;
  grid::Sheet& s = EOLSheetData;
  const auto before = it.EOLFees;
  it.TotalEOLFees = 0;
  for (int i = 1; i <= kRows; ++i) {
    it.EOLFees[i].Desc = s.TextRC(i, 1);
    it.EOLFees[i].Amount = CellAmount(s, i);
    it.TotalEOLFees += it.EOLFees[i].Amount;
  }
  if (before != it.EOLFees) eng.WorksheetModified = -1;
  if (entry && !entry->Accept()) {
    // A refused amount: the cells show the page's amounts again.
    for (int i = 1; i <= kRows; ++i) {
      if (it.EOLFees[i].Amount != 0) s.SetNumberRC(i, 2, it.EOLFees[i].Amount);
      else s.SetTextRC(i, 2, "");
    }
    EOLSheet->refresh();
    ShowTotal();
    return;
  }
  ShowTotal();
  eng.RecalcPage();
}

void EOLFee::EOLSheet_KeyUp(int KeyCode, int /*Shift*/) {
  if (KeyCode != 13) return;
  const int r = EOLSheetData.ActiveRow(), c = EOLSheetData.ActiveCol();
  int row = r, col = 1;
  if (c == 1)
    col = 2;
  else
    row = r <= 9 ? r + 1 : 10;
  EOLSheet->setSelection(row, col, row, col);
  EOLSheet->setActiveCell(row, col);
}

void EOLFee::Command1_Click(int Index) {
  if (Index == 0) {
    PageItems& it = eng.items;
    const grid::Sheet& s = EOLSheetData;
    const auto before = it.EOLFees;
    for (int i = 1; i <= kRows; ++i) {
      if (i > kFixedRows) it.EOLFees[i].Desc = s.TextRC(i, 1);
      it.EOLFees[i].Amount = CellAmount(s, i);
    }
    // The total stored is the total of the amounts stored.
    it.TotalEOLFees = 0;
    for (int i = 1; i <= kRows; ++i) it.TotalEOLFees += it.EOLFees[i].Amount;
    if (before != it.EOLFees) eng.WorksheetModified = -1;
    Finish();
    return;
  }
  if (Index == 1) {
    Milage::ShowModalAndWait(owner, 1);
    EOLSheet->refresh();
  }
}

void EOLFee::Finish() {
  if (finished_) return;
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void EOLFee::Form_Unload() { eng.SavePageEOLFees(); }

void EOLFee::reject() {
  if (!finished_) {
    Command1_Click(0);
    return;
  }
  QDialog::reject();
}

}  // namespace qv
