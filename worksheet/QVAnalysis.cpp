// The main window's ways into the analysis windows: the "&Details" buttons of the four views
// (the details window, modeless) and the Analysis menu's "&Compare Leases" and "&Tables".
#include <QAction>
#include <QPushButton>

#include "dialogs/Compare.h"
#include "dialogs/Details2.h"
#include "dialogs/Tables.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

// Shows a modeless window and brings it to the front.
void ShowInFront(QWidget& w) {
  w.show();
  w.raise();
  w.activateWindow();
}

}  // namespace

void QV::ConnectAnalysis() {
  for (int i = 0; i <= 3; ++i) {
    connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    MarkReady(Command2[i]);
  }
  for (int i : {1, 2}) {
    connect(mnuAnalysis[i], &QAction::triggered, this, [this, i] { mnuAnalysis_Click(i); });
    MarkReady(mnuAnalysis[i]);
  }
}

void QV::Command2_Click(int Index) {
  if (Index >= 0 && Index <= 3) {
    CommitFieldEdit();
    ShowInFront(windows_.Get<Details2>());
    return;
  }
  if (Index == 4 && Command2ReportCommand) Command2ReportCommand();
}

void QV::mnuAnalysis_Click(int Index) {
  switch (Index) {
    case 1:
      CommitFieldEdit();
      ShowInFront(windows_.Get<Compare>());
      break;
    case 2:
      CommitFieldEdit();
      ShowInFront(windows_.Get<Tables>());
      break;
    default:
      // 3 only opens its submenu.
      break;
  }
}

}  // namespace qv
