// Option list editing: the user types option names and prices straight into the option
// grid; each finished cell edit is written to the page's rows of sheet "Options" and the
// page is recalculated. The "&Options" menu, which is also the grid's context menu, adds
// and deletes options and switches the totals in the column headings and the expanded,
// word-wrapped list.
#include <QAction>
#include <QMenu>

#include <algorithm>

#include "engine/Engine.h"
#include "engine/PageStore.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr int kOptionsSheet = 2;
constexpr int kLinkColumn = 5;  // grid column 5: the option's row in sheet "Options"
constexpr const char* kMoney = "$#,###.00;; ";
// Column heading heights in twips: one line, and two lines with the totals.
constexpr int kPlainHeaderHeight = 240;
constexpr int kTotalsHeaderHeight = 480;
// Heights of the list in pixels when expanded (4550 twips).
constexpr int kExpandedHeight = 4550 / 15;

}  // namespace

void QV::ConnectOptionList() {
  OptionList->setReadOnly(false);
  OptionListCollapsedHeight = OptionList->minimumHeight();
  connect(OptionList, &grid::GridWidget::endEdit, this, [this](int, int, QString* text, bool* cancel) {
    OptionList_EndEdit(*text, *cancel);
  });
  connect(OptionList, &grid::GridWidget::rightClick, this,
          [this](int, int, const QPoint& pos) { OptionList_RClick(pos); });
  for (int i = 0; i < 2; ++i) {
    connect(mnuAddDelOption[i], &QAction::triggered, this, [this, i] { mnuAddDelOption_Click(i); });
    MarkReady(mnuAddDelOption[i]);
  }
  // The handler decides the check mark from the state before the click.
  connect(mnuShowTotals, &QAction::triggered, this, [this](bool checked) {
    mnuShowTotals->setChecked(!checked);
    mnuShowTotals_Click();
  });
  MarkReady(mnuShowTotals);
  connect(mnuExpandOptions, &QAction::triggered, this, [this] { mnuExpandOptions_Click(); });
  MarkReady(mnuExpandOptions);
}

void QV::OptionList_EndEdit(QString& EditString, bool& Cancel) {
  grid::Sheet& grid = eng.OptionList;
  grid::Workbook& wks = eng.WKS;
  const int r = grid.ActiveRow();
  const int c = grid.ActiveCol();

  // An amount the page cannot take is refused before anything is stored: the cell keeps its
  // text and the page its figures.
  if (c == 2 || c == 3) {
    double v = 0;
    if (!ReadEntryAmount(EditString.toStdString(), v)) {
      Cancel = true;
      return;
    }
    const grid::Cell* cell = grid.CellAt(r, c);
    const grid::Cell old = cell ? *cell : grid::Cell{};
    grid.SetNumberRC(r, c, v);
    const bool taken = AcceptCandidate(eng, eng.SnapshotInputs(), {v});
    grid.SetCell(r, c, old);
    if (!taken) {
      Cancel = true;
      return;
    }
  }

  // A row typed in for the first time gets its row in sheet "Options", for this page,
  // before anything is stored.
  wks.SetSheet(kOptionsSheet);
  if (static_cast<int>(grid.NumberRC(r, kLinkColumn)) == 0) {
    const int added = wks.MaxRow() + 1;
    wks.SetNumberRC(added, 1, eng.CurrentPage);
    grid.SetNumberRC(r, kLinkColumn, added);
  }
  const int s = static_cast<int>(grid.NumberRC(r, kLinkColumn));

  switch (c) {
    case 1: {
      // Descriptions are kept without TABs: a TAB would split the cell when it is read back.
      const std::string name = TabFreeText(EditString.toStdString());
      wks.SetTextRC(s, 2, name);
      EditString = QString::fromStdString(name);
      grid.SetTextRC(r, 1, name);
      break;
    }
    case 2:
    case 3: {
      const double v = ParseAmountText(EditString.toStdString());
      wks.SetNumberRC(s, c + 1, v);
      // The grid holds the number itself ("$1,250" is kept as 1250), and the calculation
      // below already sees it.
      EditString = QString::fromStdString(GeneralNumber(v));
      grid.SetNumberRC(r, c, v);
      break;
    }
    default:
      break;
  }

  const double oldResPerc = eng.res.ResPerc;
  const double oldMSRP = eng.res.MSRP;
  eng.RecalcPage();

  // Along the row: name, invoice, MSRP.
  if (c == 1) {
    OptionList->setActiveCell(r, 2);
  } else if (c == 2) {
    OptionList->setActiveCell(r, 3);
  } else if (c == 3) {
    eng.AskRecalcResidual(oldResPerc, oldMSRP);
    eng.RecalcPage();
  }
  eng.WorksheetModified = -1;
}

void QV::OptionList_RClick(const QPoint& globalPos) { mnuOptions->popup(globalPos); }

void QV::mnuAddDelOption_Click(int Index) {
  grid::Sheet& grid = eng.OptionList;
  if (Index == 0) {
    // One more row at the bottom; nothing is stored until its first edit ends.
    const int n = grid.MaxRow() + 1;
    grid.SetMaxRow(n);
    OptionList->refresh();
    OptionList->setActiveCell(n, 1);
    OptionList->setFocus(Qt::OtherFocusReason);
    OptionList->editCell(n, 1);
    eng.WorksheetModified = -1;
    return;
  }
  if (Index != 1) return;

  const int r = grid.ActiveRow();
  if (ui::GetPrompt().MsgBox("Delete Option" + StrNum(r) + "?", ui::Buttons::OKCancel) != ui::Answer::OK) return;
  const int s = static_cast<int>(grid.NumberRC(r, kLinkColumn));
  if (s != 0) {
    // The rows below move up; the sheet keeps at least one row.
    eng.WKS.SetSheet(kOptionsSheet);
    eng.WKS.DeleteRange(s, -1, s, -1, 3);
  }
  ui::GetPrompt().DoEvents();
  // A row that was never stored is simply not shown again.
  eng.ShowPageOptions();
  eng.RecalcPage();
  eng.WorksheetModified = -1;
}

void QV::ShowOptionTotalsInHeader(bool totals) {
  grid::Sheet& grid = eng.OptionList;
  if (totals) {
    grid.SetColText(2, "Invoice\r\n" + Format(eng.res.TotalOptInv, kMoney));
    grid.SetColText(3, "MSRP\r\n" + Format(eng.res.TotalOptMSRP, kMoney));
    grid.SetHeaderHeight(kTotalsHeaderHeight);
  } else {
    grid.SetColText(2, "Invoice");
    grid.SetColText(3, "MSRP");
    grid.SetHeaderHeight(kPlainHeaderHeight);
  }
  OptionList->refresh();
}

void QV::mnuShowTotals_Click() {
  const bool show = !mnuShowTotals->isChecked();
  mnuShowTotals->setChecked(show);
  ShowOptionTotalsInHeader(show);
}

void QV::mnuExpandOptions_Click() {
  grid::Sheet& grid = eng.OptionList;
  if (OptionListExpanded) {
    OptionListExpanded = false;
    OptionList->setMinimumHeight(OptionListCollapsedHeight);
    OptionList->setColumnWordWrap(1, false);
    if (!mnuShowTotals->isChecked()) ShowOptionTotalsInHeader(false);
    mnuExpandOptions->setText("&Expand Option List");
  } else {
    OptionListExpanded = true;
    OptionList->raise();
    OptionList->setMinimumHeight(std::max(kExpandedHeight, OptionListCollapsedHeight));
    OptionList->setColumnWordWrap(1, true);
    // The totals show in the headings of an expanded list in any case.
    ShowOptionTotalsInHeader(true);
    mnuExpandOptions->setText("&Collapse Option List");
  }
  OptionList->refresh();
  for (int r = 1; r <= grid.MaxRow(); ++r) OptionList->autoRowHeight(r);
}

}  // namespace qv
