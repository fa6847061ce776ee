#pragma once
// The trade window "Trade": the trade allowance the dealer gives for the customer's old
// vehicle and the payoff still owed on it. Their difference, the trade equity, becomes the
// start-up item TradeEquity: it stays on the cash side once it is there and otherwise goes
// into the capitalised cost. The boxes write the page at every focus loss; there is no
// cancel. The window never recalculates: its opener does, after the window closed.
//
// Entry point for openers (the start-up costs window, the details window):
//   Trade::ShowModalAndWait(owner);   // shows it modally, returns once it closed and unloaded,
//                                 // with DialogDone (set by the window) cleared again
//   eng.RecalcPage();
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class Trade : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Trade(Engine& engine, Owner& owner);
  ~Trade() override;

  // Shows the single instance modally and unloads it; afterwards DialogDone is back at 0.
  // Returns true when the window reported its closing through DialogDone.
  static bool ShowModalAndWait(Owner& owner);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as OK does

  // ---- controls ----
  QLabel* Label2 = nullptr;            // "Trade Allowance:"
  QLabel* Label1 = nullptr;            // "Trade Payoff:"
  QLabel* Label3 = nullptr;            // "Trade Equity:"
  std::array<QLineEdit*, 2> Text1{};   // 0 allowance, 1 payoff
  QLabel* lblTradeEquity = nullptr;
  QPushButton* Command1 = nullptr;     // "OK"

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void Text1_GotFocus(int Index);
  void Text1_KeyPress(int Index, int& KeyAscii);
  void Text1_LostFocus(int Index);
  void Command1_Click();

 private:
  void Build();
  void UpdateTradeEquity();
  void Finish();

  std::array<ui::EntryBoxFilter*, 2> filters_{};
  bool finished_ = false;
};

}  // namespace qv
