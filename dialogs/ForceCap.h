#pragma once
// The cap-cost target window "Cap Cost": reaches a capitalised cost the user asks for by
// changing the margin over invoice or the cash cap reduction, recalculating the page after
// each change until the cap cost is within one cent of the target (at most 101 passes).
// Shown modeless from a double-click on the main window's adjusted cap cost.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace qv {

class ForceCap : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  ForceCap(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  QLabel* Label1 = nullptr;       // "Enter Desired Cap Cost:"
  QLineEdit* Text1 = nullptr;     // the target cap cost
  QGroupBox* Frame1 = nullptr;    // "Select Value To Change:"
  std::array<QRadioButton*, 2> Option1{};  // 0 margin, 1 cash cap reduction
  std::array<QPushButton*, 2> Command1{};  // 0 "&OK", 1 "&Cancel"

  void Form_Load();
  void Text1_GotFocus();
  void Text1_KeyPress(int& KeyAscii);
  void Command1_Click(int Index);

  // Recalculations the last OK ran, and whether it reached the target.
  int Passes() const { return passes_; }
  // A negative cap cost is refused with this message; the page stays as it is.
  static constexpr const char* kNegativeCapCostMessage = "The desired cap cost cannot be negative.";
  bool Reached() const { return reached_; }

 protected:
  void reject() override;  // Escape and the close box: Cancel
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  int passes_ = 0;
  bool reached_ = false;
  bool finished_ = false;
};

}  // namespace qv
