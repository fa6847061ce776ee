#pragma once
// The option window "Option Data": the factory options of the current page's vehicle line
// from the option guide, grouped under blue headings with their price codes. Selecting an
// option puts it on the page (a row of sheet "Options"), un-selecting takes it off again;
// the options already on the page are marked "<TAG>" when the window opens. The window also
// shows the vehicle's standard equipment, prints the option list and copies it.
//
// Shown modally by the main window's "Opt&ions" buttons; closing it refills the main
// window's option list, recomputes the page and asks about the residual when the MSRP
// changed.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"
#include "pricing/OptionGuide.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

namespace qv::grid {
class GridWidget;
}

namespace qv {

class OptLookUp : public ui::QvDialog {
  Q_OBJECT

 public:
  OptLookUp(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  QLabel* lblCarname = nullptr;
  grid::Sheet OptionLookUpData;  // 1 mark or group, 2 "Option", 3 "Invoice", 4 "MSRP", 5 sheet row
  grid::GridWidget* OptionLookUp = nullptr;
  // 0 "&Select", 1 "&Close", 2 "&Un-Select", 3 "Std E&quip", 4 " Print &All Options" (E and P
  // belong to the menu titles).
  std::array<QPushButton*, 5> Command1{};
  QMenuBar* menuBar = nullptr;
  QMenu* mnuEdit = nullptr;
  QAction* mnuCopy = nullptr;       // "&Copy Text"
  QMenu* mnuPrint = nullptr;
  QAction* mnuPageSetup = nullptr;  // "Page &Setup"

  // ---- handlers ----
  void Form_Load();
  // Refill of the main window's option list, the lease computed, the residual question
  // when the MSRP changed, the page recalculated (once, however the window closes).
  void Form_Unload();
  void Command1_Click(int Index);
  void OptionLookUp_Click(int row, int col);
  void OptionLookUp_DblClick(int row, int col);
  void OptionLookUp_KeyUp(int KeyCode, int Shift);
  void mnuCopy_Click();
  void mnuPageSetup_Click();

  // ---- window procedures ----
  void LoadOptions();
  void MarkChosenOptions();
  void SelectOpt(int row);
  void UnSelectOpt(int row);

  // The rows behind the grid (row i + 1 of the grid is Rows().rows[i]).
  const pricing::OptionGrid& Rows() const { return grid_; }
  // What the window's unload runs from the window set.
  void UnloadDuties();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Build();
  // Writes grid row `row` (1-based) of the rows into the sheet.
  void ShowRow(int row);
  void SetButtons(int row);

  pricing::OptionGrid grid_;
  std::string printHeader_;
  bool unloaded_ = false;
};

}  // namespace qv
