#pragma once
// The mileage window: the miles a year the customer will actually drive and the price of
// each mile over the allowance, with the excess miles over the term and the mileage fee.
// It serves two uses, chosen by the engine's MileageEOLMode when it loads:
//   0 pre-paid miles (caption "Pre-Paid Miles"): the fee is the start-up item
//     PrePaidMileFee, updated at every change; closing stores the page's pre-paid fields;
//   1 end-of-lease excess miles (caption "End-of-Lease Miles"): closing stores the page's
//     end-of-lease fields, puts the fee into end-of-lease fee row 1 (and into row 1 of the
//     end-of-lease fees window's grid when that window is loaded), recalculates the page and
//     sets MileageEOLMode back to 0.
// Closing, either way, sets DialogDone.
//
// Entry point for openers (the start-up costs window, the end-of-lease fees window):
//   Milage::ShowModalAndWait(owner, mode);  // sets MileageEOLMode, shows the window modally,
//                                     // returns once it closed, DialogDone cleared again
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class Milage : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Milage(Engine& engine, Owner& owner);
  ~Milage() override;

  // Sets MileageEOLMode to `mode` (0 pre-paid, 1 end of lease), shows the single instance
  // modally and unloads it; afterwards DialogDone is back at 0. In end-of-lease mode the
  // window stands at the position the end-of-lease fees window gives it.
  static bool ShowModalAndWait(Owner& owner, int16_t mode);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as OK does

  // ---- controls ----
  QLabel* Label1 = nullptr;  // "Allowed Miles Per Year:"
  QLabel* Label6 = nullptr;  // the page's allowed miles
  QLabel* Label2 = nullptr;  // "Actual Miles Per Year:"
  QLabel* Label3 = nullptr;  // "Total Excess Miles:"
  QLabel* lblExcessMiles = nullptr;
  QLabel* Label4 = nullptr;  // "Cents Per Mile:"
  QLabel* Label5 = nullptr;  // "Mileage Fee:"
  QLabel* lblMilagefee = nullptr;
  std::array<QLineEdit*, 3> Text1{};  // 1 actual miles per year, 2 price per mile (0 unused)
  QPushButton* Command1 = nullptr;    // "&OK"

  // ---- window fields ----
  double ActualMiles = 0;
  double CentsPerMile = 0;  // dollars per mile: 0.15 is fifteen cents
  double MileageFee = 0;

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void Text1_GotFocus(int Index);
  void Text1_KeyPress(int Index, int& KeyAscii);
  void Text1_LostFocus(int Index);
  void Command1_Click();

  // The use the window loaded for (MileageEOLMode at load).
  int16_t Mode() const { return mode_; }

 private:
  void Build();
  void UpdateMileageFee();
  // The page's inputs with these miles and price stored as the window stores them.
  PageInputs WithEntry(double actualMiles, double centsPerMile) const;
  void Finish();

  int16_t mode_ = 0;
  std::array<ui::EntryBoxFilter*, 3> filters_{};
  bool finished_ = false;
};

}  // namespace qv
