#pragma once
// The taxes and fees window "Taxes and Fees": the purchase side's registration fee, title
// fee, sales, use, property and luxury taxes and other fees of the current page, with their
// total. A tax typed over the value shown becomes an override (shown in bold) that the
// page calculation keeps; typing the value it already holds clears the override.
// "&Re-calculate Taxes" clears every override and recomputes the sales and luxury taxes;
// "Use Lease &Regist && Title Fee" copies the lease side's registration and title fees.
// Values reach the page as each edit ends; there is no cancel. Closing recalculates the page
// and sets DialogDone.
//
// Entry point for openers (the main window's "&Taxes && Fees"):
//   TaxFee::ShowModalAndWait(owner);  // shows it modally, returns once it closed and unloaded,
//                                 // with DialogDone cleared again
//   eng.RecalcPage();
#include <array>

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

class TaxFee : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  TaxFee(Engine& engine, Owner& owner);
  ~TaxFee() override;

  // Shows the single instance modally and unloads it; afterwards DialogDone is back at 0.
  static bool ShowModalAndWait(Owner& owner);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as "&OK" does

  // ---- controls ----
  // Rows 1..7 the seven values, row 8 their sum (a sum cell of the grid's own data).
  grid::Sheet F1Book1Data;
  grid::GridWidget* F1Book1 = nullptr;
  // Captions: 0..5 rows 1..6, 7 row 7 "Other:", 6 row 8 "Total:".
  std::array<QLabel*, 8> Label1{};
  // 0 "&OK", 1 "&Re-calculate Taxes", 2 "Use Lease &Regist && Title Fee".
  std::array<QPushButton*, 3> Command1{};

  // ---- handlers ----
  void FillTaxFee();
  void Form_Load();
  void Form_Unload();
  void Command1_Click(int Index);
  void F1Book1_Click();
  // A user edit ends in the grid's current row; the typed text is read with ParseMoneyText.
  void F1Book1_EndEdit(QString* text, bool* cancel);
  void F1Book1_KeyDown(int& KeyCode, int Shift);
  void F1Book1_KeyPress(int& KeyAscii);

 private:
  void Build();
  void Finish();
  void MoveToRow(int row);
  bool finished_ = false;
};

}  // namespace qv
