// The lease comparison window: three columns of pages, the page drop-down, the details
// buttons and the copy of the comparison.
#include "dialogs/Compare.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "dialogs/Details2.h"
#include "engine/CostComparison.h"
#include "engine/NumText.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


constexpr int kColumnWidth = 160;
constexpr int kHeadingWidth = 130;

}  // namespace


Compare::Compare(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Compare");
  setAttribute(Qt::WA_DeleteOnClose);
  Build();
  Form_Load();
}

Compare::~Compare() {
  // Destroyed with the main window at the end of the program: only the flag is left to clear.
  if (!unloaded_) owner.Shared().CompareOpen = 0;
  PageList->view()->removeEventFilter(this);
  // The grids outlive the sheets they show (a shown dialog hides its children last).
  PageList->setSheet(nullptr);
  CompareSheet->setSheet(nullptr);
  RowHeadings->setSheet(nullptr);
}

void Compare::Build() {
  setWindowTitle("Compare Leases");
  setSizeGripEnabled(true);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 4, 6, 6);

  menuBar = new QMenuBar(this);
  mnuEdit = menuBar->addMenu("&Edit");
  mnuCopy = mnuEdit->addAction("&Copy");
  top->setMenuBar(menuBar);

  auto* g = new QGridLayout;
  g->setHorizontalSpacing(0);
  g->setVerticalSpacing(4);
  for (int i = 0; i < 3; ++i) {
    Command3[i] = new QPushButton("Lease...", this);
    Command3[i]->setObjectName(Q("Command3_" + std::to_string(i)));
    // One Alt letter each: the three buttons are shown together.
    static const char* const kDetails[3] = {"&Details...", "De&tails...", "Det&ails..."};
    Command1[i] = new QPushButton(kDetails[i], this);
    Command1[i]->setObjectName(Q("Command1_" + std::to_string(i)));
    for (QPushButton* b : {Command3[i], Command1[i]}) {
      b->setAutoDefault(false);
      b->setFixedWidth(kColumnWidth);
    }
    g->addWidget(Command3[i], 0, i + 1);
    g->addWidget(Command1[i], 2, i + 1);
  }

  const auto& headings = CompareRowHeadings();
  // Shown on one line each; the headings themselves (row 16 ends in a line break) are what
  // the copy and the report take.
  for (int r = 1; r <= kCompareRows; ++r) {
    std::string shown = headings[r];
    RowHeadingData.SetTextRC(r, 1, CleanGridText(shown));
  }
  RowHeadings = new grid::GridWidget(this);
  RowHeadings->setObjectName("RowHeadings");
  RowHeadings->setSheet(&RowHeadingData);
  RowHeadings->setReadOnly(true);
  RowHeadings->setColumnHeadersVisible(false);
  RowHeadings->setRowHeadersVisible(false);
  RowHeadings->setColumnWidth(1, kHeadingWidth);
  RowHeadings->setFixedWidth(kHeadingWidth + 4);
  RowHeadings->setDisplayOnly();
  RowHeadings->view()->setFocusPolicy(Qt::NoFocus);
  g->addWidget(RowHeadings, 1, 0);

  CompareSheetData.SetName("CompareSheet");
  CompareSheetData.SetMaxRow(kCompareRows);
  CompareSheetData.SetMaxCol(3);
  CompareSheet = new grid::GridWidget(this);
  CompareSheet->setObjectName("CompareSheet");
  CompareSheet->setSheet(&CompareSheetData);
  CompareSheet->setReadOnly(true);
  CompareSheet->setColumnHeadersVisible(false);
  CompareSheet->setRowHeadersVisible(false);
  for (int c = 1; c <= 3; ++c) {
    CompareSheet->setColumnWidth(c, kColumnWidth);
    CompareSheet->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  }
  CompareSheet->setColumnWordWrap(1, true);
  CompareSheet->setColumnWordWrap(2, true);
  CompareSheet->setColumnWordWrap(3, true);
  CompareSheet->setFixedWidth(3 * kColumnWidth + 4);
  CompareSheet->setDisplayOnly();
  g->addWidget(CompareSheet, 1, 1, 1, 3);
  g->setRowStretch(1, 1);
  top->addLayout(g, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command2[1] = new QPushButton("View &Report", this);
  Command2[0] = new QPushButton("&Close", this);
  for (QPushButton* b : {Command2[1], Command2[0]}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  top->addLayout(buttons);

  PageListData.SetName("PageList");
  PageList = new grid::GridWidget(this);
  PageList->setObjectName("PageList");
  PageList->setSheet(&PageListData);
  PageList->setReadOnly(true);
  PageList->setColumnHeadersVisible(false);
  PageList->setRowHeadersVisible(false);
  PageList->setColumnWordWrap(1, true);
  PageList->setColumnWidth(1, kColumnWidth - 6);
  PageList->setSelectRows(true);
  PageList->hide();
  PageList->view()->installEventFilter(this);

  for (int i = 0; i < 3; ++i) {
    connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  for (int i = 0; i < 2; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
  connect(mnuCopy, &QAction::triggered, this, [this] { mnuCopy_Click(); });
  connect(PageList, &grid::GridWidget::dblClick, this, [this](int r, int c) { PageList_DblClick(r, c); });
  connect(PageList, &grid::GridWidget::keyPress, this, [this](int* ascii) { PageList_KeyPress(*ascii); });
  resize(kHeadingWidth + 3 * kColumnWidth + 30, 480);
}

// ---------------------------------------------------------------------------------------
// Loading and unloading

void Compare::Form_Load() {
  owner.Shared().CompareOpen = -1;
  eng.SavePageFields();
  eng.SavePageItems();
  // Defaults of the loan and cash purchase; they reach the workbook at the next store.
  if (eng.page.DownPmt == 0) eng.page.DownPmt = eng.res.PurchPrice * 0.1;
  if (eng.page.CashMonths == 0) eng.page.CashMonths = eng.page.Months;
  int16_t first = 1;
  FillCompareColumn(first);
  FillPageList();
}

void Compare::FillPageList() {
  const grid::Sheet& worksht = eng.WKS.SheetAt(1);
  const int pages = worksht.MaxRow();
  PageListData.ClearAll();
  for (int r = 1; r <= pages; ++r) PageListData.SetTextRC(r, 1, worksht.TextRC(r, 2));
  PageListData.SetMaxRow(std::max(1, pages));
  PageListData.SetActiveCell(1, 1);
  PageList->refresh();
  for (int r = 1; r <= PageListData.MaxRow(); ++r) PageList->autoRowHeight(r);
}

void Compare::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  owner.Shared().CompareOpen = 0;
  owner.Windows().Unload<Details2>();
  eng.RecalcPage();
  eng.ShowPageOptions();
}

void Compare::UnloadDuties() { Form_Unload(); }

void Compare::closeEvent(QCloseEvent* e) {
  Form_Unload();
  e->accept();
}

void Compare::reject() {
  // Escape in the open page list only closes the list.
  if (PageList->isVisible()) {
    PageList->hide();
    return;
  }
  close();
}

// ---------------------------------------------------------------------------------------
// Columns

void Compare::FillCompareColumn(int16_t& column) {
  if (column < 1 || column > 3) return;
  WriteCompareColumn(eng, CompareSheetData, column);
  ColumnPage[column] = eng.CurrentPage;
  grid::CellFont bold = CompareSheetData.FontRC(1, column);
  bold.bold = true;
  CompareSheetData.SetFontRC(1, column, bold);
  CompareSheet->refresh();
  // The vehicle descriptions may take two lines; the headings beside them follow.
  CompareSheet->autoRowHeight(1);
  RowHeadings->setRowHeight(1, CompareSheet->rowHeight(1));
}

bool Compare::SelectPage(int page) {
  // The list was made when the window opened: a page deleted since is not chosen.
  if (page < 1 || page > eng.PageCount) return false;
  if (owner.ChoosePage(page)) return true;
  // Without the main window's page selector: the same store and load.
  eng.StorePage();
  eng.CurrentPage = static_cast<int16_t>(page);
  eng.LoadPage();
  return true;
}

void Compare::Command3_Click(int Index) {
  if (Index < 0 || Index > 2) return;
  CompareColumn = static_cast<int16_t>(Index + 1);
  // Over the column, marking the page the column shows.
  const QRect button = Command3[Index]->geometry();
  const QRect sheet = CompareSheet->geometry();
  PageList->setGeometry(button.x(), sheet.y(), button.width(), std::max(80, sheet.height() * 2 / 3));
  const int page = ColumnPage[CompareColumn];
  if (page >= 1 && page <= PageListData.MaxRow()) {
    PageListData.SetActiveCell(page, 1);
    PageList->setActiveCell(page, 1);
  }
  PageList->show();
  PageList->raise();
  PageList->setFocus(Qt::OtherFocusReason);
  PageList->view()->setFocus(Qt::OtherFocusReason);
}

void Compare::PageList_DblClick(int row, int) {
  if (row < 1 || row > PageListData.MaxRow()) return;
  const bool chosen = SelectPage(row);
  PageList->hide();
  if (chosen) FillCompareColumn(CompareColumn);
}

void Compare::PageList_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    KeyAscii = 0;
    PageList_DblClick(PageList->activeRow(), 1);
  } else if (KeyAscii == 27) {
    KeyAscii = 0;
    PageList->hide();
  }
}

void Compare::PageList_LostFocus() { PageList->hide(); }

void Compare::Command1_Click(int Index) {
  if (Index < 0 || Index > 2) return;
  ui::BusyCursor busy;
  CompareColumn = static_cast<int16_t>(Index + 1);
  const int page = ColumnPage[CompareColumn];
  if (page != eng.CurrentPage) SelectPage(page);

  Details2& details = owner.Windows().Get<Details2>();
  const std::string& name = eng.page.CarName;
  const size_t dash = name.find('-');
  if (dash != std::string::npos) details.setWindowTitle(Q(name.substr(0, dash)));
  busy.release();

  QPointer<Compare> self(this);
  details.ShowModalReusing();
  if (!self || unloaded_) return;
  FillCompareColumn(CompareColumn);
}

void Compare::Command2_Click(int Index) {
  if (Index == 0) close();
  // The comparison report reads this window's grid.
  if (Index == 1) owner.GenerateReport(7);
}

void Compare::mnuCopy_Click() { QGuiApplication::clipboard()->setText(Q(CompareText(CompareSheetData))); }

bool Compare::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PageList->view() && event->type() == QEvent::FocusOut &&
      ui::IsRealFocusMove(static_cast<QFocusEvent*>(event)))
    PageList_LostFocus();
  return QDialog::eventFilter(watched, event);
}

}  // namespace qv
