#pragma once
// The payment tables window "Payment Tables": monthly lease payments of the current page over
// a range of dealer margins (one row per margin) for up to four column sets of term, money
// factor and residual (one payment column per set), with or without sales tax.
//
// The column sets belong to the page the window shows: they are unpacked from its rate-table
// text when the window opens and packed back into that same page when it closes. The window
// always shows the current page: when another page becomes current while it is open
// (FollowCurrentPage, run after every display of the main window), the sets go back into
// the page they were taken from and the window is built again for the current page (its
// title, its sets, a fresh margin range), so a fill never mixes one page's deal with
// another's sets. The margin range starts afresh at every opening: 0 to a tenth of the
// purchase price in steps of 50.
//
// Every fill recalculates the current page once per cell in use, without the main window's
// display, then puts the page back exactly as it was and recalculates it once (see
// engine/PaymentTable.h for the table's rules).
//
// The window is modeless and single-instance: ui::SingleInstance<Tables>::Get() (created with
// its Form_Load on first reference), closed by "&Close", the close box or Escape.
#include <QString>

#include <array>
#include <string>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace qv {

namespace grid {
class GridWidget;
}

class Tables : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Tables(Engine& engine, Owner& owner);
  ~Tables() override;

  Engine& eng;
  Owner& owner;

  // ---- controls ----
  std::array<QLineEdit*, 3> txtMargin{};    // 0 starting margin, 1 ending margin, 2 step
  std::array<QGroupBox*, 4> Frame{};        // one per column set
  std::array<QLineEdit*, 4> txtMonths{};
  std::array<QLineEdit*, 4> txtFactor{};
  std::array<QLineEdit*, 4> txtResidual{};
  std::array<QLabel*, 4> lblRes{};          // residual as a percentage of the MSRP
  QCheckBox* chkTax = nullptr;              // "Include Sales Tax"
  QLabel* Label1 = nullptr;                 // vehicle description
  std::array<QPushButton*, 2> Command1{};   // 0 "&Close", 1 "&Print Table"
  grid::Sheet TablesSheetData;              // the table: columns 1..6, rows from 1
  grid::GridWidget* TablesSheet = nullptr;  // shows TablesSheetData
  QMenuBar* menuBar = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuPrint = nullptr;
  QMenu* mnuReport = nullptr;
  QAction* mnuCopy = nullptr;               // "&Copy Table"
  QAction* mnuPageSetup = nullptr;          // "Page &Setup"
  QAction* mnuPrintTable = nullptr;         // "&Print Table"
  QAction* mnuViewReport = nullptr;         // "&View Report": the payment-tables report

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void txtMargin_GotFocus(int Index);
  void txtmonths_GotFocus(int Index);
  void txtFactor_GotFocus(int Index);
  void txtResidual_GotFocus(int Index);
  void txtMargin_KeyPress(int Index, int& KeyAscii);
  void txtmonths_KeyPress(int Index, int& KeyAscii);
  void txtFactor_KeyPress(int Index, int& KeyAscii);
  void txtResidual_KeyPress(int Index, int& KeyAscii);
  void txtMargin_LostFocus(int Index);
  void txtmonths_LostFocus(int Index);
  void txtFactor_LostFocus(int Index);
  void txtResidual_LostFocus(int Index);
  void chkTax_Click();
  void Command1_Click(int Index);
  void mnuPrintTable_Click();
  void mnuPageSetup_Click();
  void mnuCopy_Click();
  void mnuViewReport_Click();

  // ---- window procedures ----
  void ShowTableInputs();
  void FillPaymentTable();
  void ShowTableHeadings();

  // The page the column sets belong to (the current page when the window opened).
  int TablePage() const { return tablePage_; }
  // Trial recalculations of the last fill.
  int LastFillTrials() const { return lastTrials_; }
  // Menu commands take no focus: a box still being edited is taken first (its entry rule
  // runs as if the focus had left it).
  void CommitBoxEdit();
  // What ui::SingleInstance<Tables>::Unload() runs before deleting the window.
  void UnloadDuties();
  // When the current page is no longer the table's page: the box being edited is taken
  // into the sets, the sets are packed into the table's page, and the window is loaded
  // again for the current page. True when it was.
  bool FollowCurrentPage();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;  // Escape: close
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  QLineEdit* MakeBox(const char* name);
  void SetBox(QLineEdit* box, const std::string& text);
  // The text of a box with its trailing blanks removed, and whether it differs from the
  // text it had when it took the focus.
  // Reads a box that was changed: a text that is not a number, or a value no deal can hold,
  // is refused with its message and the box shows `held` (its value) again.
  bool ReadBox(QLineEdit* box, const std::string& held, double& v);
  bool Changed(const QLineEdit* box) const;
  // Packs the column sets into the table's page (the current page, or its stored row).
  void PackIntoTablePage();

  int tablePage_ = 1;
  int lastTrials_ = 0;
  bool unloaded_ = false;
  bool inLostFocus_ = false;
  bool following_ = false;  // set while the window moves to the current page
};

}  // namespace qv
