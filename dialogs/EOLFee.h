#pragma once
// The end-of-lease fees window "End of Lease Fees": the page's ten fees due when the lease
// ends, rows 1 to 3 of fixed kinds ("Excess Milage Fee", "Disposition Fee", "Excessive Wear
// and Tear", shown again on every opening), rows 4 to 10 described by the user. Every
// change of the grid goes into the page's fee records, their total and the page's figures
// at once; closing stores the records and the total (no recalculation). " &Milage" opens
// the mileage window in its end-of-lease mode, which computes the excess mileage fee of row
// 1.
//
// Amounts are read with the one rule of typed amounts (ParseAmountText: "$1,200" is 1200,
// "(250)" is -250) and kept in the grid as numbers. Only rows 1 to 10, columns 1 and 2, can
// be edited, and the fixed descriptions of rows 1 to 3 cannot.
//
// Entry point for openers (the details window):
//   EOLFee::ShowModalAndWait(owner);  // shows it modally, returns once it closed and unloaded
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;
class QString;

namespace qv {

class FiniteEntry;

namespace grid {
class GridWidget;
}

class EOLFee : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  EOLFee(Engine& engine, Owner& owner);
  ~EOLFee() override;

  // Shows the single instance modally and unloads it (which stores the fees).
  static void ShowModalAndWait(Owner& owner);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as " &Ok" does

  // ---- controls ----
  grid::Sheet EOLSheetData;                  // the grid's data: rows 1..10, columns 1..2
  grid::GridWidget* EOLSheet = nullptr;
  QLabel* Label1 = nullptr;                  // "Total:"
  QLabel* lblTotalFees = nullptr;
  std::array<QPushButton*, 2> Command1{};    // 0 " &Ok", 1 " &Milage"

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  // A user edit of a cell ends (the grid's active cell is the edited one): refused outside
  // the ten rows and two columns; otherwise the cell takes the value and the grid change
  // runs. The grid widget stores nothing itself afterwards.
  void EOLSheet_EndEdit(QString* text, bool* cancel);
  // After the grid has taken a change: the whole grid into the records, total, recalculation.
  // Takes the cells into the page; an entry the page cannot take is refused.
  void EOLSheet_EndRecalc(FiniteEntry* entry = nullptr);
  void EOLSheet_KeyUp(int KeyCode, int Shift);
  void Command1_Click(int Index);

  // Shows TotalEOLFees in lblTotalFees.
  void ShowTotal();

 private:
  void Build();
  void Finish();
  bool finished_ = false;
};

}  // namespace qv
