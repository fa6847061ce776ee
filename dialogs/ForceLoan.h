#pragma once
// The loan payment solver window "Force Payment": the value of one loan input (margin over
// invoice, loan rate, down payment, term in months or balloon) that gives a desired monthly
// loan payment. The result shows beside the input's button; OK stores it into the page and
// recalculates, Cancel leaves the page as it was (the solves put back what they touched).
//
// A solve that cannot give a value (two trials with the same payment, or no convergence)
// says so in a message box and leaves its label blank; OK then stores nothing.
#include <array>

#include <QString>

#include "engine/Engine.h"
#include "engine/LoanSolver.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class ForceLoan : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  ForceLoan(Engine& engine, Owner& owner);
  ~ForceLoan() override;

  Engine& eng;
  Owner& owner;

  QLabel* Label1 = nullptr;    // "Enter Desired Monthly Payment:"
  QLineEdit* Text1 = nullptr;  // the desired monthly payment
  // Buttons 0 margin, 2 rate, 3 down payment, 4 months, 5 balloon (1 does not exist).
  std::array<QPushButton*, 6> Command1{};
  // Result labels 0 margin, 1 rate, 2 down payment, 3 months, 4 balloon.
  std::array<QLabel*, 5> Label3{};
  QLabel* Label2 = nullptr;    // "Value required to achieve desired payment."
  std::array<QPushButton*, 2> Command2{};  // 0 "&OK", 1 "&Cancel"

  void Form_Load();
  void Command1_Click(int Index);
  void Command2_Click(int Index);
  void Text1_GotFocus();
  void Text1_KeyPress(int& KeyAscii);
  void Text1_LostFocus();

  // The solvers of the window (see LoanSolver); no value when the solve failed.
  double calcnewpmt(double margin);
  Var LoanBalloon(double p);
  Var LoanDownPmt(double& p);
  Var NewLoanMonths(double& p);
  Var LoanIntRate(double& p);
  Var LoanMargin(double& p);

  // Index of the visible result label (the current target), -1 when none.
  int VisibleLabel() const;

  static constexpr const char* kEqualPaymentsMessage = "Cannot solve due to division by zero.";
  static constexpr const char* kNotReachedMessage = "The desired payment cannot be reached.";
  static constexpr const char* kNegativePaymentMessage = "The desired payment cannot be negative.";

 protected:
  void reject() override;  // Escape and the close box: Cancel
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  // Runs the solver of the visible label on p; reports a failure; shows the result.
  Var SolveVisible(double p);
  Var Report(const LoanSolveResult& r);
  void Finish(int result);

  int visible_ = 0;
  bool finished_ = false;
  bool inLostFocus_ = false;
  QString focusText_;  // the box's text when it took the focus
};

}  // namespace qv
