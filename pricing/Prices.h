#pragma once
// The price-guide browser "Prices": the vehicle lines of the checked model years (list
// view), the models and types of one vehicle line with their prices (model view, grid
// Price1) and the standard equipment of a vehicle line (grid Price2), for the car or the
// truck guide. Taking a type puts the vehicle on the current page, or on a new page when
// the current one already holds a vehicle, and recalculates it.
//
// The window is hidden, not unloaded, when it closes: it keeps its state between showings,
// and each showing outside the standard-equipment view starts again from the list view.
// The main window shows it with ShowModalFor(class letter); the page's class letter CT
// changes only when a vehicle is taken (a Cancel leaves the page as it was).
#include <QString>

#include <array>
#include <string>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"
#include "pricing/PriceGuide.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QAction;
class QPushButton;

namespace qv::grid {
class GridWidget;
}

namespace qv {

class Prices : public ui::QvDialog {
  Q_OBJECT

 public:
  Prices(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  // ---- controls ----
  std::array<QListWidget*, 1> List1{};    // the vehicle lines (list view)
  std::array<QCheckBox*, 3> Check1{};     // 2 " 200&0 Models", 1 " 199&9 Models", 0 " 199&8 Models"
  QLabel* Label1 = nullptr;               // the chosen vehicle line's entry
  QLabel* Label2 = nullptr;               // "Double-Click to Make Selection"
  QLabel* Label3 = nullptr;               // "Highlight Model then click OK."
  grid::Sheet Price1Data;                 // models and types: name, invoice, MSRP, group
  grid::GridWidget* Price1 = nullptr;
  grid::Sheet Price2Data;                 // standard equipment, one text column
  grid::GridWidget* Price2 = nullptr;
  // 0 "&OK", 1 "&Cancel", 2 "&Standard Equipment", 3 "&Help", 4 "P&rint", 5 "&Close"
  // (P belongs to the Print menu shown beside it).
  std::array<QPushButton*, 6> Command1{};
  QMenuBar* menuBar = nullptr;
  QMenu* mnuPrintMenu = nullptr;          // "&Print" (standard-equipment view)
  QAction* mnuPageSetup = nullptr;        // "&Page Setup"

  // Shows the window modally on the guide of `classLetter` ("C" cars, "T" trucks) and
  // returns when it is hidden again.
  int ShowModalFor(const std::string& classLetter);
  // The guide the window shows.
  const std::string& VehicleClass() const { return class_; }

  // ---- handlers ----
  // The window is shown: outside the standard-equipment view, back to the list view.
  void Form_Activate();
  void Check1_Click(int Index);
  void List1_DblClick();
  // Enter opens the selected vehicle line; any other key selects the first entry whose
  // maker starts with it.
  void List1_KeyPress(int& KeyAscii);
  void Command1_Click(int Index);
  void Price1_DblClick();
  // Enter takes the highlighted type; Escape goes back to the list view.
  void Price1_KeyPress(int& KeyAscii);
  void mnuPageSetup_Click();

  // ---- window procedures ----
  // The list view with the 2000 and 1999 models checked, listed once.
  void ResetListView();
  // Lists the vehicle lines of the checked model years.
  void ShowManufacturers();
  // Fills Price1 with the models and types of vehicle line N.
  void ShowModels(int64_t lineNumber);
  // Fits the height of each model-grid row whose name is wider than column 1 (it wraps).
  void FitLongNameRows();
  // From the list view to the model view of the selected vehicle line.
  void OpenVehicleLine();
  // Takes the type of Price1's active row onto a page.
  void TakeType();
  // The standard-equipment view of the selected vehicle line, and back.
  void ShowStandardEquipment();
  void CloseStandardEquipment();
  // Back from the model view to the list view, not relisted.
  void BackToList();

  // ---- what the window shows (for its users and tests) ----
  enum class View { List, Model, StandardEquipment };
  View CurrentView() const { return view_; }
  const pricing::VehicleList& Vehicles() const { return vehicles_; }
  const pricing::ModelGrid& Models() const { return models_; }
  // The entry of the vehicle line shown in the model or standard-equipment view.
  const pricing::VehicleLineEntry& OpenEntry() const { return open_; }
  // The print header of the standard equipment ("&C" and the vehicle-line description).
  const std::string& StdEquipHeader() const { return stdEquipHeader_; }
  // Selects entry i of the vehicle list (-1: none), as a click does.
  void SelectVehicle(int i);
  int SelectedVehicle() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void SetView(View v);
  pricing::PriceGuide Guide() const;
  // The entry of the selected vehicle line; nullptr when none is selected.
  const pricing::VehicleLineEntry* SelectedEntry() const;
  void ShowError(const std::string& message);

  std::string class_ = "C";
  View view_ = View::List;
  pricing::VehicleList vehicles_;
  pricing::ModelGrid models_;
  pricing::VehicleLineEntry open_;
  std::string stdEquipHeader_;
};

}  // namespace qv
