#pragma once
// The customer window "Customer" (caption "Customers"): the dealership's customer list, kept
// in the customer workbook "Customer.vts" of the program folder, and the customer attached
// to the current page. Modeless and on top of the other windows; opened by the main
// window's "Cu&stomer:" button.
//
// The list (reports/CustomerList.h) is read whole when the window loads and written back
// whole, through a temporary file and a rename, when it unloads (its " &Close" button, the
// close box, the start-up costs window unloading it, the end of the program); every edit in
// between goes straight into the workbook's cells, which the grid at the bottom shows.
// A damaged file is reported when the window loads and never written over; the window is
// read-only then (no New, Delete, rename or field edit), and its message says so.
//
// Attaching sets the page's CustomerID and CustomerName and the main window's customer
// labels (Owner::ShowCustomerLabels); the report fields of the customer read the list this
// window holds while it is loaded, else the file (CustomerListSource).
#include <array>
#include <functional>
#include <string>

#include "platform/ui/Window.h"
#include "reports/CustomerList.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class Engine;
class Owner;
class WindowSet;

namespace grid {
class GridWidget;
}

class Customer : public ui::QvDialog {
  Q_OBJECT

 public:
  Customer(Engine& engine, Owner& owner);
  ~Customer() override;

  // Shows the window modelessly, made on first use, and brings it to the front.
  static Customer& ShowModeless(WindowSet& windows);

  Engine& eng;
  Owner& owner;
  reports::CustomerList list;

  QComboBox* Combo1 = nullptr;             // the name box with its list
  QLabel* Label2 = nullptr;                // the customer number
  std::array<QLineEdit*, 9> Text4{};       // 1 Address, 2 City, 3 State, 4 Zip, 5 day phone,
                                           // 6 evening phone, 7 Notes, 8 contact date (0 unused)
  std::array<QLabel*, 7> Label24{};        // "Name:" ... "Date:"
  std::array<QPushButton*, 6> Command3{};  // 0 New, 1 Delete, 2 Close, 3 Attach, 5 Un-Attach
  grid::GridWidget* F1Book1 = nullptr;     // the workbook's sheet "Customers"

  // ---- procedures ----
  void Form_Load();
  // The name list refilled from the used rows (text the Name cell, item data the row).
  void FillCombo();
  // Shows one row: the number and the eight field boxes.
  void fillcustomers(int row);
  // The row of the selected name-list entry (its item data); 0 when none is selected.
  int SelectedRow() const;
  // Selects a name-list entry from code and runs the choice as a user's click does.
  void SelectEntry(int index);

  // ---- events ----
  void Combo1_Click();
  void Combo1_GotFocus();
  void Combo1_LostFocus();
  void Combo1_KeyPress(int& KeyAscii);
  void Text4_LostFocus(int Index);
  void Text4_KeyPress(int Index, int& KeyAscii);
  void Command3_Click(int Index);
  // Writes the list back when it changed. A failed write shows the reason and offers to
  // retry; declined, a question asks whether to close and lose the changes. True when the
  // window may unload (nothing to write, written, or the changes knowingly dropped); false
  // when it stays open with its list. The close button, the close box, Escape, the start-up
  // costs window and the end of the program ask this before the window goes.
  bool WriteBack();
  // The last duty when the window goes: a list not yet written (unloaded without WriteBack)
  // is written once more, and a failure reported.
  void Form_Unload();
  void UnloadDuties() { Form_Unload(); }

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Build();
  void NewCustomer();
  void DeleteCustomer();
  void Attach();
  void UnAttach();
  // The buttons and boxes that need a customer, and Attach / Un-Attach by whether the
  // shown customer is the page's.
  void UpdateControls();
  // Puts the remembered name back into the name box.
  void RestoreName();
  std::string BoxText() const;

  std::string rememberedName_;
  int rememberedIndex_ = -1;
  void CommitFocusedField();

  bool unloaded_ = false;
  bool dropped_ = false;
  bool readOnly_ = false;  // the file is damaged: shown, never edited (nothing could be saved)  // the user chose to close without the changes that failed to write
  bool inLostFocus_ = false;
};

// The customer list the report fields read: the list of the customer window while it is
// loaded (its edits not yet written included); nullptr otherwise, when the report fields
// read "Customer.vts" themselves. For ReportSources::customers.
std::function<const reports::CustomerList*()> CustomerListSource(WindowSet& windows);

}  // namespace qv
