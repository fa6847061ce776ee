#pragma once
// The vehicle totals window "Current Vehicle Totals": the invoice and MSRP build-up of the
// current vehicle (base price, options, destination, totals, margin and purchase price) as
// the last page calculation left them. Shown modeless from the main window's options menu;
// it does not follow later changes. "OK" or the close box unloads it.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QPushButton;

namespace qv {

class Totals : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Totals(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  // 0 base invoice, 1 option invoice, 2 destination, 3 total invoice, 4 margin, 5 purchase
  // price; 6 base MSRP, 7 option MSRP, 8 destination, 9 total MSRP.
  std::array<QLabel*, 10> Label3{};
  QPushButton* Command1 = nullptr;  // "OK"

  void Form_Load();
  void Command1_Click();

 private:
  void Build();
};

}  // namespace qv
