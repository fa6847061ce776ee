#pragma once
// The residual-basis window "Residual Basis": when some options carry discounts and a
// residual is typed as a percentage, asks whether the residual is based on the full MSRP
// (before the option discounts) or on the discounted MSRP, showing both lines with the
// residual each gives. "Use &Full MSRP" and "Use &Discounted MSRP" set the page's
// UseFullMSRP and close the window. However it closes it sets DialogDone, which ends the
// wait of the residual-basis question; closed without a choice, UseFullMSRP stays as it was.
// Shown modally by the main window while the residual field is being applied.
#include <QString>

#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;

namespace qv {

class ResBase : public ui::QvDialog {
  Q_OBJECT

 public:
  // `residualText` is the text of the residual field (such as "58%").
  // Loads the window on the engine, over its owner (the main window).
  ResBase(Engine& engine, Owner& owner);
  ~ResBase() override;

  Engine& eng;
  Owner& owner;

  QLabel* Label1 = nullptr;  // the question
  QLabel* lblFullMSRP = nullptr;
  QLabel* lblDiscountMSRP = nullptr;
  std::array<QLabel*, 2> lblPerc{};    // 0 full line, 1 discounted line
  std::array<QLabel*, 2> lblAmount{};  // the residual of each line: 0 full, 1 discounted
  std::array<QPushButton*, 2> Command1{};  // 0 "Use &Discounted MSRP", 1 "Use &Full MSRP"

  void Form_Load();
  void Form_Unload();
  void Command1_Click(int Index);

 protected:
  void done(int r) override;

 private:
  void Build();
  QString residualText_;
  bool unloaded_ = false;
};

}  // namespace qv
