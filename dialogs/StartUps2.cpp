// The start-up costs window: the engine's start-up sheet in a grid, its edit, double-click,
// right double-click and check-box handlers, the Miles, Trade, Taxes and Calculate Value
// buttons, and OK with the question about a changed tax setting.
#include "dialogs/StartUps2.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

#include "dialogs/Milage.h"
#include "dialogs/Trade.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/QtText.h"

namespace qv {


namespace {

constexpr int kFirstItemRow = 2;
constexpr int kLastItemRow = 16;
constexpr int kTradeRow = static_cast<int>(StartUpRow::TradeEquity);
constexpr int kMilesRow = static_cast<int>(StartUpRow::PrePaidMileFee);

// The items whose amount the calculation works out (the others are typed by the user).
bool HasComputedAmount(int row) {
  using R = StartUpRow;
  switch (static_cast<R>(row)) {
    case R::FirstPayment: case R::Security: case R::STaxSumPmt: case R::CapRedTax: case R::RebateTax:
    case R::LuxuryTax: case R::TradeEquity: case R::PrePaidMileFee: case R::STaxOnFeesTaxes:
      return true;
    default:
      return false;
  }
}

// Window widths and left edges of the two states of the Taxes toggle, in twips.
constexpr int kCollapsedWidth = 4605, kCollapsedLeft = 4935;
constexpr int kExpandedWidth = 6180, kExpandedLeft = 3280;

const grid::CellFont kPlain{"MS Sans Serif", 8, false, false, false, false, 0};
const grid::CellFont kBold{"MS Sans Serif", 8, true, false, false, false, 0};

}  // namespace


StartUps2::StartUps2(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("StartUps2");
  Build();
  Form_Load();
}

StartUps2::~StartUps2() = default;

void StartUps2::ShowModalAndWait(Owner& owner) {
  StartUps2& w = owner.Windows().Get<StartUps2>();
  w.Form_Activate();
  ui::ShowModalWindow(w);
}

void StartUps2::Build() {
  setWindowTitle("Start Ups");
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);

  StartUpsSheet = new grid::GridWidget(this);
  StartUpsSheet->setObjectName("StartUpsSheet");
  StartUpsSheet->setSheet(&eng.StartUpsSheet);
  StartUpsSheet->setColumnHeadersVisible(false);
  StartUpsSheet->setRowHeadersVisible(false);
  StartUpsSheet->setColumnNumeric(1, false);
  StartUpsSheet->setColumnNumeric(5, false);
  const int widths[6] = {0, 160, 66, 66, 46, 58};
  for (int c = 1; c <= 5; ++c) StartUpsSheet->setColumnWidth(c, widths[c]);
  for (int c : {2, 3})
    StartUpsSheet->setColumnFormatter(c, [](double v) { return Format(v, "#,###.00;(#,###.00); "); });
  StartUpsSheet->setColumnAlignment(5, Qt::AlignRight);
  // Only the two amount columns of the item rows take typing.
  StartUpsSheet->setEditableRule([](int row, int col) {
    return row >= kFirstItemRow && row <= kLastItemRow && (col == 2 || col == 3);
  });
  QTableView* v = StartUpsSheet->view();
  QFont small = v->font();
  small.setPointSizeF(8);
  v->setFont(small);
  v->setTextElideMode(Qt::ElideNone);
  v->setWordWrap(false);
  // A double-click moves an item into a column; typing or F2 edits a cell.
  v->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int rowHeight = QFontMetrics(small).height() + 5;
  for (int r = 1; r <= 17; ++r) StartUpsSheet->setRowHeight(r, rowHeight);
  StartUpsSheet->setMinimumHeight(17 * rowHeight + 2 * v->frameWidth() + 2);
  top->addWidget(StartUpsSheet, 1);

  // The Trade and Miles buttons sit in the gaps of their row captions.
  Command1[2] = new QPushButton(" &Trade", v->viewport());
  Command1[1] = new QPushButton(" &Miles", v->viewport());
  for (int i : {1, 2}) {
    Command1[i]->setFont(small);
    Command1[i]->setStyleSheet("QPushButton { padding: 0px 2px; }");
    Command1[i]->setFocusPolicy(Qt::TabFocus);
  }

  auto* labels = new QGridLayout;
  Label1[0] = new QLabel("Cap Reduction (Cash)", this);
  Label1[1] = new QLabel("Total Cash Required at Signing:", this);
  for (int i = 0; i < 2; ++i) {
    Label2[i] = new QLabel(this);
    Label2[i]->setObjectName(QString("Label2_%1").arg(i));
    Label2[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label2[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2[i]->setMinimumWidth(80);
    labels->addWidget(Label1[i], i, 0);
    labels->addWidget(Label2[i], i, 1);
  }
  labels->setColumnStretch(0, 1);
  top->addLayout(labels);

  auto* buttons = new QHBoxLayout;
  Command1[0] = new QPushButton(" &OK", this);
  Command1[3] = new QPushButton("T&axes >>", this);
  Command1[4] = new QPushButton("&Calculate Value", this);
  buttons->addWidget(Command1[4]);
  buttons->addWidget(Command1[3]);
  buttons->addStretch(1);
  buttons->addWidget(Command1[0]);
  top->addLayout(buttons);
  for (int i = 0; i < 5; ++i) {
    Command1[i]->setAutoDefault(false);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }

  connect(StartUpsSheet, &grid::GridWidget::endEdit, this,
          [this](int row, int col, QString* text, bool* cancel) { StartUpsSheet_EndEdit(row, col, text, cancel); });
  connect(StartUpsSheet, &grid::GridWidget::dblClick, this, [this](int r, int c) { StartUpsSheet_DblClick(r, c); });
  connect(StartUpsSheet, &grid::GridWidget::rightDblClick, this,
          [this](int r, int c, const QPoint&) { StartUpsSheet_RightDblClick(r, c); });
  connect(StartUpsSheet, &grid::GridWidget::objValueChanged, this, [this](int id) { StartUpsSheet_ObjValueChanged(id); });
  connect(StartUpsSheet, &grid::GridWidget::click, this, [this](int, int) { StartUpsSheet_Click(); });
  connect(StartUpsSheet, &grid::GridWidget::gotFocus, this, [this] { StartUpsSheet_GotFocus(); });
  connect(v->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int) { PlaceRowButtons(); });
  connect(v->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int, int, int) { PlaceRowButtons(); });

  resize(Px(kCollapsedWidth), sizeHint().height());
  move(Px(kCollapsedLeft), y());
}

void StartUps2::Form_Load() {
  // The sheet stands behind the buttons laid over it.
  StartUpsSheet->lower();
  refresh();
}

void StartUps2::Form_Activate() {
  eng.RecalcPage();
  TaxSettingChanged = 0;
  refresh();
}

bool StartUps2::Expanded() const { return eng.StartUpsSheet.MaxCol() > 3; }

void StartUps2::refresh() {
  grid::Sheet& s = eng.StartUpsSheet;
  // The grid highlights the active cell only; the selection the formatting leaves behind
  // (the last item row) is no choice of the user's.
  s.SetSelection(s.ActiveRow(), s.ActiveCol(), s.ActiveRow(), s.ActiveCol());
  StartUpsSheet->refresh();
  QTableView* v = StartUpsSheet->view();
  // The column titles of row 1 run on over the Taxable and Tax columns when they are shown.
  if (Expanded()) {
    if (v->columnSpan(0, 2) != 3) v->setSpan(0, 2, 1, 3);
  } else if (v->columnSpan(0, 2) != 1) {
    v->setSpan(0, 2, 1, 1);
  }
  for (int i = 0; i < 2; ++i) Label2[i]->setText(Q(eng.StartUpsLabel2[i]));
  PlaceRowButtons();
}

void StartUps2::PlaceRowButtons() {
  QTableView* v = StartUpsSheet->view();
  if (!v->model()) return;
  const QFontMetrics fm(v->font());
  auto place = [&](QPushButton* b, int row, const QString& before) {
    const QRect cell = v->visualRect(v->model()->index(row - 1, 0));
    if (!cell.isValid()) {
      b->hide();
      return;
    }
    const int x = cell.left() + 3 + fm.horizontalAdvance(before);
    const int w = std::max(fm.horizontalAdvance(b->text().remove('&')) + 8, 44);
    b->setGeometry(x, cell.top() + 1, w, cell.height() - 1);
    b->show();
    b->raise();
  };
  place(Command1[2], kTradeRow, "Less ");
  place(Command1[1], kMilesRow, "Pre-Paid ");
}

void StartUps2::showEvent(QShowEvent* e) {
  ui::QvDialog::showEvent(e);
  refresh();
}

void StartUps2::resizeEvent(QResizeEvent* e) {
  ui::QvDialog::resizeEvent(e);
  PlaceRowButtons();
}

void StartUps2::AfterChange() {
  eng.WorksheetModified = -1;
  refresh();
}

void StartUps2::CheckManualSplit(int item) {
  if (item < 0 || item > 14) return;
  const int row = item + kFirstItemRow;
  StartUpItem* it = eng.ItemOfRow(row);
  it->ManualSplit = std::fabs(it->Cap + it->Cash - it->Amount) >= 0.01 ? 1 : 0;
  // The item's two amounts show the marking at once (the formatting of the sheet is
  // skipped during the edit's own recalculation).
  const grid::CellFont& f = it->ManualSplit == 1 ? kBold : kPlain;
  eng.StartUpsSheet.SetFontRC(row, 2, f);
  eng.StartUpsSheet.SetFontRC(row, 3, f);
}

void StartUps2::Command1_Click(int Index) {
  ui::Prompt& prompt = ui::GetPrompt();
  switch (Index) {
    case 0: {
      if (inOk_) return;
      inOk_ = true;
      ui::BusyCursor busy;
      eng.SavePageItems();
      eng.SkipItemReload = 0;
      eng.RecalcPage();
      QDialog::done(QDialog::Accepted);  // hidden, not unloaded
      busy.release();
      if (TaxSettingChanged) {
        const std::string text =
            "The " + eng.tax.TaxSetName + " tax setting has changed. Do you wish to save changes?";
        if (prompt.MsgBox(text, ui::Buttons::YesNo) == ui::Answer::Yes) {
          std::string error;
          if (!eng.SaveTaxSet(&error)) prompt.MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
        }
      }
      TaxSettingChanged = 0;
      inOk_ = false;
      return;
    }
    case 1:
    case 2:
      if (Index == 1)
        Milage::ShowModalAndWait(owner, 0);
      else
        Trade::ShowModalAndWait(owner);
      eng.RecalcPage();
      StartUpsSheet->setFocus(Qt::OtherFocusReason);
      AfterChange();
      return;
    case 3:
      if (!Expanded()) {
        eng.StartUpsSheet.SetMaxCol(5);
        Command1[3]->setText("<<T&axes");
        resize(Px(kExpandedWidth), height());
        move(Px(kExpandedLeft), y());
      } else {
        eng.StartUpsSheet.SetMaxCol(3);
        Command1[3]->setText("T&axes>>");
        resize(Px(kCollapsedWidth), height());
        move(Px(kCollapsedLeft), y());
      }
      refresh();
      return;
    case 4:
      StartUpsSheet_RightDblClick(eng.StartUpsSheet.ActiveRow(), eng.StartUpsSheet.ActiveCol());
      StartUpsSheet->setFocus(Qt::OtherFocusReason);
      eng.WorksheetModified = -1;
      return;
    default:
      return;
  }
}

void StartUps2::StartUpsSheet_EndEdit(int row, int col, QString* text, bool* cancel) {
  // The recalculation writes the sheet; the grid stores nothing of its own afterwards.
  *cancel = true;
  double value = 0;
  if (!ReadEntryAmount(S(*text), value)) return;
  FiniteEntry entry(eng);
  if (StartUpItem* it = eng.ItemOfRow(row)) {
    if (col == 2)
      it->Cap = value;
    else
      it->Cash = value;
    // The trade equity keeps its total: the other part takes the rest.
    const double total = eng.res.TotalTradeEquity;
    if (row == kTradeRow && total != 0) {
      if (col == 2)
        it->Cash = total - value;
      else
        it->Cap = total - value;
    }
  }
  CheckManualSplit(row - kFirstItemRow);
  if (!entry.Accept({value})) {
    refresh();
    return;
  }
  eng.SkipSheetFormat = -1;
  eng.CalcStartUpTaxes();
  eng.RecalcPage();
  eng.SkipSheetFormat = 0;
  AfterChange();
}

void StartUps2::StartUpsSheet_DblClick(int row, int col) {
  if (col != 2 && col != 3) return;
  if (StartUpItem* it = eng.ItemOfRow(row)) {
    const grid::Sheet& s = eng.StartUpsSheet;
    const double total = s.NumberRC(row, 3) + s.NumberRC(row, 2);
    if (col == 2) {
      it->Cap = total;
      it->Cash = 0;
    } else {
      it->Cash = total;
      it->Cap = 0;
    }
  }
  CheckManualSplit(row - kFirstItemRow);
  eng.RecalcPage();
  AfterChange();
}

void StartUps2::StartUpsSheet_RightDblClick(int row, int col) {
  if (col != 2 && col != 3) return;
  if (StartUpItem* it = eng.ItemOfRow(row)) {
    // The calculation places the item's computed amount again. Its parts are cleared first:
    // the calculation keeps an item that has both parts, so a hand split would stay beside
    // the computed amount; cleared, the amount goes to the side the tax setting chooses for
    // it (cash for the deposit, the first payment and the fees).
    it->ManualSplit = 0;
    if (HasComputedAmount(row)) {
      it->Cap = 0;
      it->Cash = 0;
    }
    if (row == kTradeRow) eng.CalcTradeEquity();
    if (row == kMilesRow) eng.CalcMileageFees();
  }
  eng.RecalcPage();
  AfterChange();
}

void StartUps2::StartUpsSheet_ObjValueChanged(int /*id*/) {
  const grid::Sheet& s = eng.StartUpsSheet;
  for (int row = kFirstItemRow; row <= kLastItemRow; ++row) {
    const int box = StartUpCheckBoxId(row);
    if (box != 0) eng.ItemOfRow(row)->AlsoTax = s.ObjValue(box) != 0 ? 1 : 0;
  }
  eng.RecalcPage();
  TaxSettingChanged = -1;
  AfterChange();
}

void StartUps2::StartUpsSheet_Click() {
  const grid::Sheet& s = eng.StartUpsSheet;
  int row = s.ActiveRow(), col = s.ActiveCol();
  if (col < 2 || col > 3) col = 2;
  if (row < kFirstItemRow || row > kLastItemRow) row = kFirstItemRow;
  if (row != s.ActiveRow() || col != s.ActiveCol()) {
    StartUpsSheet->setSelection(row, col, row, col);
    StartUpsSheet->setActiveCell(row, col);
  }
}

void StartUps2::StartUpsSheet_GotFocus() {
  const grid::Sheet& s = eng.StartUpsSheet;
  int row = s.ActiveRow(), col = s.ActiveCol();
  if (col < 2 || col > 3) col = 2;
  if (row < kFirstItemRow || row > 14) row = kFirstItemRow;
  if (row != s.ActiveRow() || col != s.ActiveCol()) {
    StartUpsSheet->setSelection(row, col, row, col);
    StartUpsSheet->setActiveCell(row, col);
  }
}

void StartUps2::reject() {
  if (isVisible() && !inOk_) {
    Command1_Click(0);
    return;
  }
  QDialog::reject();
}

}  // namespace qv
