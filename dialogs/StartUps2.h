#pragma once
// The start-up costs window "Start Ups": the page's start-up (drive-off) costs, one row per
// item, each split into a part capitalised into the cap cost and a part paid in cash at
// signing, with the Taxable boxes of the current tax setting, the tax on each item and the
// totals. Its grid shows the engine's StartUpsSheet, which every RecalcPage fills whether
// the window is loaded, shown or neither; the window reads cells back and writes the items.
//
// The window stays loaded while the main window lives: OK stores the items, recalculates
// and hides it (asking whether to save the tax setting when a Taxable box was changed);
// the main window unloads it at the end of the program. Unloading stores nothing.
//
// The "tax setting changed" state is cleared when the window is opened, not when it
// becomes active again after the mileage or trade window or a message box; check boxes set
// by a recalculation never count as a change (the grid reports only the user's clicks).
//
// Entry point for openers (the main window's "S&tart-Ups", the details window):
//   StartUps2::ShowModalAndWait(owner);  // recalculates, shows the window modally and returns
//                                    // when it was hidden
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QString;

namespace qv {

namespace grid {
class GridWidget;
}

class StartUps2 : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  StartUps2(Engine& engine, Owner& owner);
  ~StartUps2() override;

  // Opens the single instance (creating it on first use): Form_Activate, then the modal
  // show; returns when OK (or the close box) has hidden it again.
  static void ShowModalAndWait(Owner& owner);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as OK does

  // ---- controls ----
  grid::GridWidget* StartUpsSheet = nullptr;  // shows eng.StartUpsSheet
  std::array<QLabel*, 2> Label1{};            // "Cap Reduction (Cash)", "Total Cash Required at Signing:"
  std::array<QLabel*, 2> Label2{};            // their amounts (eng.StartUpsLabel2)
  // 0 " &OK", 1 " &Miles", 2 " &Trade", 3 the Taxes toggle, 4 "&Calculate Value".
  std::array<QPushButton*, 5> Command1{};

  // A Taxable box was changed since the window was opened.
  int16_t TaxSettingChanged = 0;

  // ---- procedures and handlers ----
  void CheckManualSplit(int item);
  void Form_Load();
  // The opening: recalculates the page and forgets earlier check-box changes.
  void Form_Activate();
  void Command1_Click(int Index);
  void StartUpsSheet_EndEdit(int row, int col, QString* text, bool* cancel);
  void StartUpsSheet_DblClick(int row, int col);
  void StartUpsSheet_RightDblClick(int row, int col);
  void StartUpsSheet_ObjValueChanged(int id);
  void StartUpsSheet_Click();
  void StartUpsSheet_GotFocus();

  // Brings the grid and the two labels up to date with the engine (cheap when nothing
  // changed). The main window's result display calls it while the window is shown.
  void refresh();

  // True while the Taxable and Tax columns are shown.
  bool Expanded() const;

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Build();
  void PlaceRowButtons();
  void AfterChange();
  bool inOk_ = false;
};

}  // namespace qv
