#pragma once
// The residual adjustment window "Adjust Residual": lowers the page's residual for miles
// bought beyond the residual's allowance. The user types the additional miles and a price
// per mile (in cents, or in dollars below 1: 0.15 is 15 cents) and sees the adjustment and
// the adjusted residual; OK takes the adjusted residual into the page, adds the miles to
// the allowance, recalculates and marks the worksheet modified. Cancel changes nothing.
// Shown modally from the main window (menu, residual caption, miles field).
#include <array>
#include <string>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class AdjRes : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  AdjRes(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  QLabel* lblCurrentResidual = nullptr;
  QLineEdit* txtAdditionalMiles = nullptr;
  QLineEdit* txtCentsPerMile = nullptr;
  QLabel* lblAdjustment = nullptr;
  QLabel* lblAdjustedResidual = nullptr;
  std::array<QPushButton*, 2> Command1{};  // 0 "&OK", 1 "&Cancel"

  void Form_Load();
  void CalcAdjustment();
  void txtAdditionalMiles_KeyPress(int& KeyAscii);
  void txtCentsPerMile_KeyPress(int& KeyAscii);
  void Command1_Click(int Index);
  // Leaving a box: the adjustment follows it, unless the page could not take it; then the
  // box gets back the text it had when it got the focus.
  void Box_GotFocus(QLineEdit* box);
  void Box_LostFocus(QLineEdit* box);

  // The values of the last CalcAdjustment.
  double AdditionalMiles() const { return miles_; }
  double AdjustedResidual() const { return adjusted_; }

  void reject() override;  // Escape and the close box: Cancel

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  // The page's inputs with the adjustment taken.
  PageInputs Adjusted() const;
  std::string focusText_;
  double miles_ = 0;
  double adjusted_ = 0;
  bool finished_ = false;
};

}  // namespace qv
