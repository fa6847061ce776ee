#pragma once
// The margin window "Margin": splits the page's dealer margin over invoice into profit,
// advertising, factory-to-dealer incentive, holdback and other, and sets the margin to the
// total of the five when it closes. Shown modally from the main window's margin button.
//
// The grid F1Book1 has one value column and six rows: the five components and their sum
// (row 6, the grid's own formula, not editable). When the window loads, Other takes the
// margin less the other four parts, so the total shown is the margin and closing without
// an edit leaves the margin as it was. Incentive and holdback are taken as negative amounts
// unless typed with a leading "+". However the window closes, its unload writes the margin
// back and recalculates the page; an edit marks the worksheet modified.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QString;

namespace qv::grid {
class GridWidget;
}

namespace qv {

class Margin2 : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Margin2(Engine& engine, Owner& owner);
  ~Margin2() override;

  Engine& eng;
  Owner& owner;

  // Rows of the grid.
  enum Row { kProfit = 1, kAdvertising, kIncentive, kHoldback, kOther, kTotal };

  grid::Sheet F1Book1Data;
  grid::GridWidget* F1Book1 = nullptr;
  std::array<QLabel*, 6> Label1{};  // captions of rows 1..6 (index = row - 1)
  QPushButton* Command1 = nullptr;   // "&OK"

  void Form_Load();
  void Form_Unload();
  void F1Book1_EndEdit(int row, int col, QString* text, bool* cancel);
  void F1Book1_Click();
  // Setting *key or *ascii to 0 swallows the key.
  void F1Book1_KeyDown(int* key);
  void F1Book1_KeyPress(int* ascii);
  void Command1_Click();

  // The total the grid shows in row 6.
  double Total() const;

 protected:
  void done(int r) override;

 private:
  void Build();
  void ShowComponents();
  PageRecord loaded_;  // the page as the window showed it first
  bool unloaded_ = false;
};

}  // namespace qv
