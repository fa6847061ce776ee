#pragma once
// The details window "Lease/Buy Details": how the current page's lease, loan and cash
// purchase come about and what each costs after the lease term, as three itemised sheets
// "Lease", "Loan" and "Cash" (the numbers view) or as three cash-flow panels (the cash-flow
// view). Its buttons open the windows that change the parts of the deal it shows.
//
// The window is single-instance (ui::SingleInstance<Details2>), shown modeless from the main
// window's "&Details" buttons and modally from the lease comparison; a modal show while the
// window is already open modeless takes that window over (ShowModalReusing). While it is
// loaded DetailsOpen is True and the main window's result display refreshes it after every
// recalculation (Refresh). It stays on top of other windows while open, except while one of
// its dialogs is shown.
//
// The panels stand at positions in twips, as the view test relies on: in the numbers view
// every panel is at Top 90 and the one brought to the front is seen; in the cash-flow view
// the grid is hidden, Picture1 (lease) stays at 90, the applicable loan panel stands at 1925
// and Picture2 (cash) at 3760. Picture3 is the loan ending within the lease term, Picture4 the
// loan running past it.
#include <QString>

#include <array>
#include <functional>
#include <string>

#include "engine/CostComparison.h"
#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabBar;
class QWidget;

namespace qv {


namespace grid {
class GridWidget;
}

class Details2 : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Details2(Engine& engine, Owner& owner);
  ~Details2() override;

  Engine& eng;
  Owner& owner;

  // ---- controls ----
  grid::Workbook F1Book1Data;            // sheets 1 "Lease", 2 "Loan", 3 "Cash"
  grid::GridWidget* F1Book1 = nullptr;   // shows the active sheet of F1Book1Data
  QTabBar* sheetTabs = nullptr;          // the grid's sheet tabs
  QFrame* Picture1 = nullptr;            // lease
  QFrame* Picture2 = nullptr;            // cash
  QFrame* Picture3 = nullptr;            // loan ending within the lease term
  QFrame* Picture4 = nullptr;            // loan running past the lease term
  QLabel* lblLeasePmt = nullptr;
  QLabel* lblLeaseCash = nullptr;
  QLabel* lblLeaseSecDep = nullptr;
  QLabel* lblLoanDown1 = nullptr;
  QLabel* lblLoanPmt1 = nullptr;
  QLabel* lblLoanLoanEnd1 = nullptr;
  QLabel* lblLoanDown2 = nullptr;
  QLabel* lblLoanPmt2 = nullptr;
  QLabel* lblLoanLoanEnd2 = nullptr;
  QLabel* lblpayoff = nullptr;
  QLabel* lblCashPP = nullptr;
  QLabel* lblCashLoanEnd = nullptr;
  std::array<QLabel*, 4> lblPicMonth{};   // 0 cash, 1 lease, 2 long loan, 3 short loan
  QGroupBox* Frame1 = nullptr;            // "Show"
  std::array<QRadioButton*, 2> Option1{};  // 0 "&Numbers", 1 "&Cash Flows"
  // 0 "Trade Equity", 1 "Start Ups", 2 "Adjustments", 3 "&Close", 5 "End-of-Lease Fees"
  // (there is no button 4).
  std::array<QPushButton*, 6> Command1{};

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void Form_Activate();
  void Option1_Click(int Index);
  void Command1_Click(int Index);
  void F1Book1_Click(int row, int col);
  void F1Book1_MouseUp();
  // A click on a sheet tab (sheet 1..3).
  void SheetTab_Click(int sheet);

  // ---- procedures ----
  // Selects the sheet of view `Tab` (1..4; 4 shows the lease sheet), writes its amounts and
  // fills every panel.
  void FillCostComparison(int Tab);
  // Switches between the numbers view and the cash-flow view.
  void ToggleDetailsView();
  void SwitchDetailsView() { ToggleDetailsView(); }
  // What the main window's display runs after a recalculation (view 1..3).
  void Refresh(int view);

  // Shows the window modally; a window already shown modeless is taken over for it.
  int ShowModalReusing();

  // ---- panel positions and topmost state ----
  static int PictureTop(const QFrame* picture);
  void SetPictureTop(QFrame* picture, int twips);
  bool IsCashFlowView() const { return PictureTop(Picture2) != kNumbersTop; }
  // The panel last brought to the front.
  QFrame* FrontPicture() const { return front_; }
  bool IsTopmost() const;
  void SetTopmost(bool on);

  // The windows behind the buttons 0 (trade), 1 (start-ups), 2 (adjustments) and 5
  // (end-of-lease fees): each function shows its window modally and returns once it closed
  // (for the trade window: and its DialogDone was seen and cleared). A button whose window is
  // not set stays disabled.
  void SetDealWindow(int Index, std::function<void()> showModal);

  // What ui::SingleInstance<Details2>::Unload() runs before deleting the window.
  void UnloadDuties();

  static constexpr int kNumbersTop = 90;
  static constexpr int kLoanTop = 1925;
  static constexpr int kCashTop = 3760;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;  // Escape: close
  bool event(QEvent* e) override;

 private:
  void Build();
  QFrame* MakePicture(const char* name, const char* title, int monthIndex, std::initializer_list<QLabel**> values);
  void ShowPanels();
  void BringToFront(QFrame* picture);

  QWidget* panelArea_ = nullptr;
  CostComparisonPanels panels_;
  QFrame* front_ = nullptr;
  std::array<std::function<void()>, 6> dealWindows_{};
  bool cellClicked_ = false;
  bool unloaded_ = false;
};

}  // namespace qv
