#pragma once
// The forced payment window "Force Payment": which value one input of the current page must
// take so that the monthly lease payment comes out at a desired amount. The user types the
// payment, picks the item to solve for and reads the required value; OK writes that value
// into the page, Cancel leaves the page exactly as it was when the window opened.
//
// The searches themselves are the engine's (PaymentSolver): each trial recalculates the
// page and every search puts the page's inputs back. OK applies only a result this window
// computed for the page's current inputs, the desired payment now in the box and the
// with-tax box as it is now; with no such result (none yet, or "N/A") OK changes nothing.
// A negative desired payment is refused as typed; a payment that only a value no deal can
// have would give (a negative factor, rate or term, a residual below 0 or above the cap
// cost) shows "N/A".
//
// A caller can run the window without showing it: load it, put the desired payment into
// Text1, then check Check2. That computes for the selected item (the margin unless the
// caller chose another) and presses OK.
#include <QString>

#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qv {

class ForcePmt : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  ForcePmt(Engine& engine, Owner& owner);
  ~ForcePmt() override;

  Engine& eng;
  Owner& owner;

  // ---- controls ----
  QLabel* Label1 = nullptr;   // "Enter Desired Monthly Payment:"
  QLineEdit* Text1 = nullptr;  // the desired monthly payment
  QCheckBox* Check1 = nullptr;  // "Desired Payment Includes Sales Tax"
  QLabel* Label4 = nullptr;   // "Select Item To Solve For:"
  // 0 margin, 1 cap reduction, 2 factor, 3 Ford APR, 4 residual, 5 months.
  std::array<QRadioButton*, 6> Option1{};
  QLabel* Label2 = nullptr;   // "Value required to achieve desired payment."
  QLabel* Label3 = nullptr;   // the required value
  std::array<QPushButton*, 2> Command2{};  // 0 "&OK", 1 "&Cancel"
  QCheckBox* Check2 = nullptr;  // hidden "Trigger Command1(0)"

  // ---- window state ----
  double DesiredPmt = 0;
  double BaseMonths = 0, BaseFactor = 0, BaseResidual = 0;
  double ReqMargin = 0, ReqCapRd = 0, ReqFactor = 0, ReqResidual = 0, ReqMonths = 0;
  Var ReqFordAPR;
  double SavedLuxuryCap = 0, SavedLuxuryCash = 0;

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void CalcRequiredValue();
  // The Ford APR that gives the desired payment, or no value.
  Var NFordAPR(double& months, double& capCost, double& residual);
  void Command2_Click(int Index);
  void Text1_GotFocus();
  void Text1_KeyPress(int& KeyAscii);
  void Text1_LostFocus();
  void Option1_Click(int Index);
  void Check1_Click();
  void Check2_Click();

  // A negative desired payment is refused with this message; the box gets its text back.
  static constexpr const char* kNegativePaymentMessage = "The desired payment cannot be negative.";

  // The selected item, 0..5.
  int SelectedItem() const;
  // True when OK would store a value into the page now.
  bool HasApplicableResult() const;
  // True once OK or Cancel ran (the window is unloading).
  bool Finished() const { return finished_; }

 protected:
  void reject() override;  // Escape and the close box: Cancel
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void Finish(int result);
  void SetResultText(const std::string& text);
  void Forget();

  PageInputs loadInputs_;
  // The last result computed, with what it was computed for.
  struct Applicable {
    int item = -1;  // -1: none
    double value = 0;
    double desired = 0;
    bool withTax = true;
    PageInputs inputs;
  } applicable_;
  bool finished_ = false;
  bool inLostFocus_ = false;
  QString focusText_;  // the box's text when it took the focus
};

}  // namespace qv
