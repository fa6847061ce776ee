// The main window's menu commands: copy and paste, the lease method with its check marks,
// the residual adjustment, the vehicle totals, the calculator, the default rates and the
// help topics. The file commands, reports, analysis windows and tax settings are connected
// by the files that own those windows.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>

#include "dialogs/AdjRes.h"
#include "dialogs/Totals.h"
#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"
#include "worksheet/About.h"
#include "worksheet/Help.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr const char* kNoCalculator =
    "Quorvant Pro cannot find the Windows calculator application. This may be because the calculator "
    "aplication was not installed with Windows. To install the calculator, open Control Panel (Start, "
    "Settings, Control Panel) then double-click on Add/Remove Programs. Select the Windows Setup Tab then "
    "select Accessories. Click the Details button then check the calculator check box then click OK.";

struct RateItem {
  const char* prompt;
  const char* title;
  const char* pattern;
  bool percent;  // a value above 1 is a percentage
};
constexpr RateItem kRateItems[3] = {
    {"Enter the Default Investment Interest Rate (Example: .05, 5, 5%)", "Default Investment Interest Rate",
     "##.00%", true},
    {"Enter the Default Loan Rate (Example: .09, 9, 9%)", "Default Loan Rate", "##.00%", true},
    {"Enter the Default Ford Admin Factor:", "Default Ford Admin Factor", "0.000000;; ", false},
};

// The grid widget a focused control belongs to (the grid's table view or its cell editor).
grid::GridWidget* GridOf(QWidget* w) {
  for (QWidget* p = w; p; p = p->parentWidget())
    if (auto* g = qobject_cast<grid::GridWidget*>(p)) return g;
  return nullptr;
}

}  // namespace

const std::vector<std::string>& QV::CalculatorPrograms() {
  static const std::vector<std::string> programs = {"gnome-calculator", "kcalc",    "galculator",
                                                    "qalculate-gtk",    "mate-calc", "xcalc"};
  return programs;
}

void QV::ConnectMenus() {
  for (int i = 0; i < 2; ++i) {
    connect(mnuCopyPaste[i], &QAction::triggered, this, [this, i] { mnuCopyPaste_Click(i); });
    MarkReady(mnuCopyPaste[i]);
  }
  for (int i : {0, 3}) {
    connect(mnuType[i], &QAction::triggered, this, [this, i] { mnuType_Click(i); });
    MarkReady(mnuType[i]);
  }
  connect(mnuAdjustResidual, &QAction::triggered, this, [this] { mnuAdjustResidual_Click(); });
  MarkReady(mnuAdjustResidual);
  connect(mnuOptionTotals, &QAction::triggered, this, [this] { mnuOptionTotals_Click(); });
  MarkReady(mnuOptionTotals);
  connect(mnuUtil[1], &QAction::triggered, this, [this] { mnuUtil_Click(1); });
  MarkReady(mnuUtil[1]);
  for (int i = 0; i < 3; ++i) {
    connect(mnuRate[i], &QAction::triggered, this, [this, i] { mnuRate_Click(i); });
    MarkReady(mnuRate[i]);
  }
  const std::pair<QAction*, void (QV::*)()> help[] = {
      {mnuIndex, &QV::mnuIndex_Click},       {mnuOverview, &QV::mnuOverview_Click},
      {mnuUsing, &QV::mnuUsing_Click},       {mnuGather, &QV::mnuGather_Click},
      {mnuEntering, &QV::mnuEntering_Click}, {mnuManipulate, &QV::mnuManipulate_Click},
  };
  for (const auto& [action, handler] : help) {
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
    MarkReady(action);
  }
  for (int i : {1, 2}) {
    connect(mnuAbout[i], &QAction::triggered, this, [this, i] { mnuAbout_Click(i); });
    MarkReady(mnuAbout[i]);
  }
  if (!StartProgram)
    StartProgram = [](const std::string& path) { return QProcess::startDetached(QString::fromStdString(path), {}); };
  CheckMethodMenu();
}

// ---- Edit ------------------------------------------------------------------------------

void QV::mnuCopyPaste_Click(int Index) {
  QWidget* f = focusWidget();
  auto* box = qobject_cast<QLineEdit*>(f);
  QClipboard* clipboard = QApplication::clipboard();
  if (Index == 0) {
    if (box) {
      clipboard->setText(box->selectedText());
    } else if (GridOf(f)) {
      // Any grid: the selected cells of the option list, as text.
      OptionList->copyToClipboard();
    }
  } else if (Index == 1) {
    // The box's own rules take the pasted text when it is left.
    if (box && !box->isReadOnly()) box->insert(clipboard->text());
  }
}

// ---- Method ------------------------------------------------------------------------------

void QV::mnuType_Click(int Index) {
  eng.page.LType = Index == 0 ? 0 : 3;
  CheckMethodMenu();
  eng.RecalcPage();
  eng.WorksheetModified = -1;
}

// ---- Residual and options ---------------------------------------------------------------

void QV::mnuAdjustResidual_Click() {
  CommitFieldEdit();
  windows_.ShowModalAndUnload<AdjRes>();
}

void QV::mnuOptionTotals_Click() {
  CommitFieldEdit();
  // A window that is closing is not handed out again: a fresh one is shown.
  Totals& w = windows_.Get<Totals>();
  w.show();
  w.raise();
  w.activateWindow();
}

// ---- Utilities ---------------------------------------------------------------------------

void QV::mnuUtil_Click(int Index) {
  if (Index != 1) return;
  // The desktop's calculator: the first of the known programs found on the PATH.
  for (const std::string& name : CalculatorPrograms()) {
    const QString path = QStandardPaths::findExecutable(QString::fromStdString(name));
    if (path.isEmpty()) continue;
    if (StartProgram && StartProgram(path.toStdString())) return;
  }
  ui::GetPrompt().MsgBox(kNoCalculator);
}

// ---- Configuration -----------------------------------------------------------------------

void QV::mnuRate_Click(int Index) {
  if (Index < 0 || Index > 2) return;
  const RateItem& item = kRateItems[Index];
  double* target = Index == 0 ? &eng.cfg.DefaultInvestRate
                   : Index == 1 ? &eng.cfg.DefaultLoanRate
                                : &eng.cfg.DefaultAdminFactor;
  const std::optional<std::string> answer =
      ui::GetPrompt().InputBox(item.prompt, std::string(item.title), Format(*target, item.pattern));
  // Cancel or an empty answer changes nothing; a text that is not a number, or a value no
  // deal can have, is refused.
  double v = 0;
  if (!answer || Trim(*answer).empty() || !ReadEntryAmount(*answer, v)) return;
  if (!IsDealValue(v)) {
    ui::GetPrompt().MsgBox(kEntryTooLargeMessage, ui::Buttons::OK, ui::Icon::Exclamation);
    return;
  }
  if (item.percent && v > 1) v = v / 100;
  *target = v;
}

// ---- Help --------------------------------------------------------------------------------

void QV::mnuIndex_Click() { ShowHelp(1); }
void QV::mnuUsing_Click() { ShowHelp(2); }
void QV::mnuOverview_Click() { ShowHelp(3); }
void QV::mnuGather_Click() { ShowHelp(7); }
void QV::mnuManipulate_Click() { ShowHelp(8); }
void QV::mnuEntering_Click() { ShowHelp(18); }

void QV::mnuAbout_Click(int Index) {
  switch (Index) {
    case 0: ShowAbout(windows_); break;
    case 1: ShowHelp(114); break;
    case 2: ShowHelp(113); break;
    default: break;
  }
}

}  // namespace qv
