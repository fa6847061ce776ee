// The main window's ways into the deal input windows: "S&tart-Ups" and "Other
// Ad&justments" (the commands of Command1 0 and 1), "&Taxes && Fees" (Command4 1), the
// "&Tax Settings" menu item and the double-clicks on the tax-setting list and on the tax
// caption boxes.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "dialogs/Adjust.h"
#include "dialogs/StartUps2.h"
#include "dialogs/TaxFee.h"
#include "dialogs/TaxSet.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

// The report configuration is closed before the start-up costs window opens (the customer
// list too, through CloseCustomerWindow); it is found by its window name.
void UnloadWindowsNamed(std::initializer_list<const char*> names) {
  QList<QPointer<QWidget>> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    for (const char* n : names)
      if (w->objectName() == QLatin1String(n)) found.append(w);
  for (const QPointer<QWidget>& w : found) {
    if (w) w->close();
    if (w) delete w.data();
  }
}

}  // namespace

void QV::ConnectDealInputs() {
  // The buttons themselves are connected to Command1_Click with the other buttons.
  Command1Commands[0] = [this] {
    if (!CloseCustomerWindow()) return;
    UnloadWindowsNamed({"Reports"});
    StartUps2::ShowModalAndWait(*this);
  };
  Command1Commands[1] = [this] { Adjust::ShowModalAndWait(*this); };
  MarkReady(Command1[0]);
  MarkReady(Command1[1]);
  connect(Command4[1], &QPushButton::clicked, this, [this] { Command4_Click(1); });
  MarkReady(Command4[1]);
  connect(mnuTaxSettings, &QAction::triggered, this, [this] { mnuTaxSettings_click(); });
  MarkReady(mnuTaxSettings);
  ui::OnDoubleClick(Combo1, [this] { Combo1_DblClick(); });
  for (int i = 0; i < 2; ++i) ui::OnDoubleClick(Text4[i], [this, i] { Text4_DblClick(i); });
}

void QV::Command4_Click(int Index) {
  if (Index != 1) return;
  TaxFee::ShowModalAndWait(*this);
  eng.DialogDone = 0;
  eng.RecalcPage();
}

void QV::mnuTaxSettings_click() {
  CommitFieldEdit();
  setCursor(Qt::WaitCursor);
  TaxSet::ShowModalAndWait(*this);
  unsetCursor();
}

void QV::Combo1_DblClick() { mnuTaxSettings_click(); }

void QV::Text4_DblClick(int Index) {
  if (Index < 0 || Index > 1) return;
  mnuTaxSettings_click();
}

}  // namespace qv
