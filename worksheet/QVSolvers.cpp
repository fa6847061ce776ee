// The main window's ways into the solvers: the force payment buttons of the Lease and Loan
// views, the double-click on the adjusted cap cost and the single-payment lease command.
#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>

#include "dialogs/ForceCap.h"
#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "engine/NumText.h"
#include "owner/FiniteEntry.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr const char* kSinglePaymentPrompt =
    "Enter the dollar amount of the single payment (do not include trade equity):";

}  // namespace

void QV::ConnectSolvers() {
  for (int i : {4, 8}) {
    connect(cmdbut2[i], &QPushButton::clicked, this, [this, i] { cmdbut2_click(i); });
    MarkReady(cmdbut2[i]);
  }
  ui::OnDoubleClick(lblAdjustedCap, [this] { lblAdjustedCap_DblClick(); });
  connect(mnuSinglePayLease, &QAction::triggered, this, [this] { mnuSinglePayLease_Click(); });
  MarkReady(mnuSinglePayLease);
}

void QV::cmdbut2_click(int Index) {
  if (Index < 0 || Index >= static_cast<int>(cmdbut2.size())) return;
  switch (Index) {
    case 4:
      windows_.ShowModalAndUnload<ForcePmt>();
      break;
    case 8:
      windows_.ShowModalAndUnload<ForceLoan>();
      break;
    default:
      if (!cmdbut2Commands[Index]) return;
      cmdbut2Commands[Index]();
      break;
  }
  eng.WorksheetModified = -1;
}

void QV::lblAdjustedCap_DblClick() {
  ForceCap& w = windows_.Get<ForceCap>();
  w.show();
  w.raise();
  w.activateWindow();
}

void QV::mnuSinglePayLease_Click() {
  CommitFieldEdit();
  const std::optional<std::string> answer = ui::GetPrompt().InputBox(kSinglePaymentPrompt);
  // Cancel or an empty answer changes nothing; a text that is not a number is refused.
  double amount = 0;
  if (!answer || Trim(*answer).empty() || !ReadEntryAmount(*answer, amount)) return;
  FiniteEntry entry(eng);
  eng.page.CapRd = amount;
  if (!entry.Accept()) return;
  eng.RecalcPage();
  // The forced payment window, not shown: a monthly payment of 0 by the margin, applied.
  ForcePmt& w = windows_.Get<ForcePmt>();
  w.Text1->setText("0");
  w.Check2->setChecked(true);
  windows_.Unload<ForcePmt>();
  eng.WorksheetModified = -1;
}

}  // namespace qv
