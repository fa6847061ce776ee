#pragma once
// The adjustments window "Adjustments": the page's ten free adjustments, each a description
// with a part added to the capitalised cost and a part paid in cash at signing, and their
// two totals. Every ended cell edit goes into the page's records at once; closing (" &Ok"
// or the close box) stores the records and totals and recalculates the page.
//
// Amounts are read with one rule everywhere, the rule of typed amounts (ParseAmountText:
// "$1,200" is 1200, "(250)" is -250); the grid keeps them as numbers, so " &Ok", which reads
// the whole grid back and totals it again, stores exactly what the edits stored. Only rows
// 1 to 10 and columns 1 to 3 can be edited.
//
// Entry point for openers (the main window, the details window):
//   Adjust::ShowModalAndWait(owner);  // shows it modally, returns once it closed and unloaded
#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QString;

namespace qv {

namespace grid {
class GridWidget;
}

class Adjust : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Adjust(Engine& engine, Owner& owner);
  ~Adjust() override;

  // Shows the single instance modally and unloads it (which stores and recalculates).
  static void ShowModalAndWait(Owner& owner);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box: the edits are kept, as with " &Ok"

  // ---- controls ----
  grid::Sheet AdjustmentSheetData;  // the grid's data: rows 1..10, columns 1..3
  grid::GridWidget* AdjustmentSheet = nullptr;
  QLabel* Label1 = nullptr;         // "Total:"
  QLabel* lblTotalCap = nullptr;
  QLabel* lblTotalCash = nullptr;
  QPushButton* Command1 = nullptr;  // " &Ok"

  // ---- handlers ----
  // TotalAdjust: the two totals of records 1 to 10.
  void TotalAdjust();
  void Form_Load();
  void Form_Unload();
  // A user edit of a cell ends (the grid's active cell is the edited one): refused outside
  // the ten rows and three columns; an amount is replaced by the number it reads as.
  void AdjustmentSheet_EndEdit(QString* text, bool* cancel);
  void AdjustmentSheet_KeyUp(int KeyCode, int Shift);
  void Command1_Click();

 private:
  void Build();
  void ShowTotals();
  void Finish();
  bool finished_ = false;
};

}  // namespace qv
