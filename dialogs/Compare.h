#pragma once
// The lease comparison window "Compare Leases": up to three pages of the worksheet side by
// side, each column showing the key lease figures of one page (price, capitalised cost,
// term, money factor, effective rate, residual, security deposit, payment, cash required,
// future cost and the lease / loan and lease / cash ratios).
//
// Choosing the page of a column makes it the main window's current page, so the figures
// are those of a freshly recalculated page. Each column remembers its page by number, so
// pages without a description, or with the same one, show and open the right page.
//
// The window is modeless and single-instance (ui::SingleInstance<Compare>); CompareOpen is True while
// it is loaded. Closing it unloads the details window, recalculates the current page and
// shows its options again.
#include <QString>

#include <array>
#include <cstdint>
#include <string>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/grid/Workbook.h"
#include "platform/ui/Window.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;

namespace qv {


namespace grid {
class GridWidget;
}

class Compare : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  Compare(Engine& engine, Owner& owner);
  ~Compare() override;

  Engine& eng;
  Owner& owner;

  // ---- controls ----
  grid::Sheet CompareSheetData;              // columns 1..3, rows 1..16
  grid::GridWidget* CompareSheet = nullptr;
  grid::Sheet RowHeadingData;                // the fixed row headings beside the grid
  grid::GridWidget* RowHeadings = nullptr;
  grid::Sheet PageListData;                  // row i: the description of page i
  grid::GridWidget* PageList = nullptr;      // drop-down page list, hidden until "Lease..."
  std::array<QPushButton*, 3> Command3{};    // "Lease..." per column
  std::array<QPushButton*, 3> Command1{};    // "&Details..." per column
  std::array<QPushButton*, 2> Command2{};    // 0 "&Close", 1 "View &Report": the comparison report
  QMenuBar* menuBar = nullptr;
  QMenu* mnuEdit = nullptr;
  QAction* mnuCopy = nullptr;                // "&Copy"

  // ---- window state ----
  int16_t CompareColumn = 1;                 // the column the last "Lease..." or "&Details..." chose
  // The page number shown in each column (1..3; 0: none chosen yet).
  std::array<int, 4> ColumnPage{};

  // ---- handlers ----
  void Form_Load();
  void Form_Unload();
  void FillCompareColumn(int16_t& column);
  void Command3_Click(int Index);
  void PageList_DblClick(int row, int col);
  void PageList_KeyPress(int& KeyAscii);
  void PageList_LostFocus();
  void Command1_Click(int Index);
  void Command2_Click(int Index);
  void mnuCopy_Click();

  // What ui::SingleInstance<Compare>::Unload() runs before deleting the window.
  void UnloadDuties();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;  // Escape: close
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  // Makes `page` the main window's current page through its page selector; false (nothing
  // changed) for a page the worksheet no longer has.
  bool SelectPage(int page);
  void FillPageList();

  bool unloaded_ = false;
};

}  // namespace qv
