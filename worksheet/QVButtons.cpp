// The main window's buttons and double-click labels: the vehicle and option buttons (their
// windows plug in through ShowPrices and ShowOptLookUp, QVPricing.cpp), the margin window, the residual
// adjustment from the caption labels and the miles field, the desired cash required and
// the desired purchase price, and the residual-basis question of the residual field.
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "dialogs/AdjRes.h"
#include "dialogs/Margin2.h"
#include "dialogs/ResBase.h"
#include "engine/Engine.h"
#include "engine/NumText.h"
#include "owner/FiniteEntry.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

// Passes the keys pressed on a button to its KeyDown handler (the key still reaches it).
class KeyDownFilter : public QObject {
 public:
  KeyDownFilter(QObject* parent, std::function<void(int key, int shift)> handler)
      : QObject(parent), handler_(std::move(handler)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      handler_(VbKeyCode(k->key()), static_cast<int>(k->modifiers()));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(int, int)> handler_;
};

constexpr const char* kCashRequiredPrompt = "Enter desired Cash Required:";
constexpr const char* kPurchasePricePrompt = "Enter desired Purchase Price:";
constexpr int kMaxCashRequiredPasses = 100;

}  // namespace

void QV::ConnectButtons() {
  // Vehicle and option buttons: commands for the windows of the price guide and the
  // option guide.
  for (int i : {0, 5, 11, 1, 6, 10}) {
    const std::string ct = (i == 0 || i == 5 || i == 11) ? "C" : "T";
    cmdbut2Commands[i] = [this, ct] {
      eng.SavePageItems();
      eng.SavePageFields();
      if (ShowPrices) ShowPrices(ct);
    };
  }
  for (int i : {2, 7, 9}) {
    cmdbut2Commands[i] = [this] {
      if (ShowOptLookUp) ShowOptLookUp();
    };
  }
  for (int i = 0; i < static_cast<int>(cmdbut2.size()); ++i) {
    if (!cmdbut2[i]) continue;
    if (i != 4 && i != 8) connect(cmdbut2[i], &QPushButton::clicked, this, [this, i] { cmdbut2_click(i); });
    cmdbut2[i]->installEventFilter(
        new KeyDownFilter(this, [this, i](int key, int shift) { cmdbut2_KeyDown(i, key, shift); }));
  }

  // "Mar&gin": the margin window writes the margin and recalculates when it unloads.
  Command1Commands[2] = [this] {
    windows_.ShowModalAndUnload<Margin2>();
  };
  // All three buttons run their command; the files of the start-up costs and adjustments
  // windows put theirs into Command1Commands[0] and [1].
  for (int i = 0; i < 3; ++i) connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  MarkReady(Command1[2]);

  for (int i = 0; i < static_cast<int>(Label14.size()); ++i)
    if (Label14[i]) ui::OnDoubleClick(Label14[i], [this, i] { Label14_DblClick(i); });
  ui::OnDoubleClick(Text3[8], [this] { Text3_DblClick(8); });
  for (int i = 0; i < static_cast<int>(lblPayment.size()); ++i)
    ui::OnDoubleClick(lblPayment[i], [this, i] { lblPayment_DblClick(i); });
  ui::OnDoubleClick(lblPurchPrice, [this] { lblPurchPrice_DblClick(); });
}

void QV::cmdbut2_KeyDown(int Index, int KeyCode, int Shift) {
  if (KeyCode == 33 || KeyCode == 34) eng.PageUpDown(KeyCode);
}

void QV::Command1_Click(int Index) {
  if (Index < 0 || Index >= static_cast<int>(Command1Commands.size())) return;
  if (Command1Commands[Index]) Command1Commands[Index]();
}

void QV::Label14_DblClick(int Index) {
  CommitFieldEdit();
  windows_.ShowModalAndUnload<AdjRes>();
  eng.WorksheetModified = -1;
}

void QV::Text3_DblClick(int Index) {
  if (Index != 8) return;
  CommitFieldEdit();
  windows_.ShowModalAndUnload<AdjRes>();
  eng.WorksheetModified = -1;
}

void QV::lblPayment_DblClick(int Index) {
  if (Index != 0) return;
  CommitFieldEdit();
  const std::optional<std::string> answer = ui::GetPrompt().InputBox(kCashRequiredPrompt);
  // Cancel or an empty answer changes nothing; a text that is not a number is refused.
  double target = 0;
  if (!answer || Trim(*answer).empty() || !ReadEntryAmount(*answer, target)) return;
  FiniteEntry entry(eng);
  eng.WorksheetModified = -1;
  // The cash cap reduction takes what the cash start-ups and adjustments leave of the
  // target; the start-ups follow the new payment, so this is repeated until it settles.
  for (int pass = 0; std::fabs(eng.res.LCashReqd - target) > 0.01;) {
    ++pass;
    eng.page.CapRd = target - eng.res.TotalStartUps.Cash - eng.items.TotalAdjust.Cash;
    eng.RecalcPage();
    if (pass > kMaxCashRequiredPasses) break;
  }
  entry.Accept({target});
}

void QV::lblPurchPrice_DblClick() {
  CommitFieldEdit();
  const std::optional<std::string> answer = ui::GetPrompt().InputBox(kPurchasePricePrompt);
  double p = 0;
  if (!answer || Trim(*answer).empty() || !ReadEntryAmount(*answer, p)) return;
  // The purchase price is the total invoice plus the margin: one step reaches it.
  FiniteEntry entry(eng);
  eng.page.Margin = eng.page.Margin + (p - eng.res.PurchPrice);
  if (!entry.Accept({p})) return;
  eng.RecalcPage();
  eng.WorksheetModified = -1;
}

void QV::ShowResBase() {
  // The window sets UseFullMSRP by the button chosen and, however it closes, DialogDone.
  windows_.ShowModalAndUnload<ResBase>();
}

}  // namespace qv
