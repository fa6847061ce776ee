#pragma once
// The customer list: the customer workbook "Customer.vts" in the program folder and the
// operations of the customer window on it (new, rename, field edits, delete, attach and
// un-attach), as plain data so that they are tested without a window.
//
// The workbook has one sheet, "Customers", one customer per row from row 1 (no heading row),
// 11 columns (see CustomerCol). The last customer number issued is kept as a text of the
// workbook itself (key kCounterKey), outside the customer rows. Customers are appended in
// number order and a deleted row is removed with the rows below moving up, so numbers only
// grow and a deleted customer's number is never issued again.
//
// The list is read whole when the window loads and written whole (through a temporary file
// and a rename) when it unloads; edits in between go straight into the cells.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/grid/Workbook.h"

namespace qv::reports {

// The columns of sheet "Customers".
enum CustomerCol : int {
  kColID = 1,
  kColName,
  kColAddress,
  kColCity,
  kColState,
  kColZip,
  kColDayPhone,
  kColEveningPhone,
  kColNotes,
  kColContactDate,
  kColFax,
  kCustomerColumns = kColFax
};

// The ten texts of one customer, named as the report fields that show them.
struct CustomerRecord {
  std::string Name, Address, City, State, Zip, DayPhone, HomePhone, Notes, ContactDate, Fax;
  bool operator==(const CustomerRecord&) const = default;
};

// The contact-date box's text as it is stored: an empty box takes today's date, a valid
// date is rewritten as the short date (mm/dd/yyyy), anything else is refused (nullopt; the
// window shows "Invalid date format." and stores nothing).
std::optional<std::string> ContactDateText(const std::string& typed, const Date& today);

class CustomerList {
 public:
  static constexpr const char* kFileName = "Customer.vts";
  static constexpr const char* kSheetName = "Customers";
  static constexpr const char* kCounterKey = "LastCustomerNumber";

  // An empty list (one empty row), not tied to a file.
  CustomerList();

  // ---- file ---------------------------------------------------------------------------
  enum class LoadResult {
    Loaded,   // the file was read
    Missing,  // no file yet: an empty list, which Save creates
    Damaged   // unreadable, damaged or not a customer list: `error` says why; the list is
              // empty and Save refuses, so the file is never written over
  };
  // What a customer file may hold: 96 MB and 200,000 customers (the program writes 100,000
  // customers in about 36 MB; a dealership's list of some thousands is a few MB). A larger
  // file, or one with more rows, is damaged; it is refused before it is read, or as soon as
  // the row count passes the limit.
  static constexpr std::uint64_t kMaxFileBytes = 96u << 20;
  static constexpr int kMaxCustomers = 200000;
  static grid::ReadLimits ReadLimits();

  // Reads AppFolder + "Customer.vts" (the name looked up without regard to case). Tests
  // give smaller limits.
  LoadResult Load(const std::string& appFolder, std::string& error);
  LoadResult LoadFile(const std::string& path, std::string& error, const grid::ReadLimits& limits = ReadLimits());
  // Writes the whole list to the file it was loaded from, through a temporary file and a
  // rename. False with a message naming the file when the write failed, or when the list
  // was not loaded from a sound file (never loaded, or damaged: nothing is written then).
  bool Save(std::string& error);
  bool CanSave() const { return !path_.empty() && !damaged_; }
  const std::string& Path() const { return path_; }
  bool Modified() const { return modified_; }

  // ---- reading -------------------------------------------------------------------------
  // Used rows: 1 to the row count, found at load as the rows before the first row whose ID
  // and Name cells are both empty, and never below 1 (an empty list has one empty row).
  int RowCount() const { return rowCount_; }
  const grid::Workbook& Book() const { return book_; }
  // The workbook for a grid view that only shows it (the grid widget takes it non-const);
  // edits go through the operations below.
  grid::Workbook& BookForView() { return book_; }
  const grid::Sheet& Sheet() const { return book_.SheetAt(1); }
  std::string Cell(int row, int col) const { return Sheet().TextRC(row, col); }
  std::string NameOf(int row) const { return Cell(row, kColName); }
  // The customer number cell as text (what the window's number label shows).
  std::string IdText(int row) const { return Cell(row, kColID); }
  // The last number issued, as kept in the workbook ("" when none yet).
  std::string Counter() const { return book_.BookText(kCounterKey); }

  // One entry of the name list: the Name cell's text and its row (the entry's item data).
  struct Entry {
    std::string text;
    int row = 0;
    bool operator==(const Entry&) const = default;
  };
  // The name list, one entry per used row in row order.
  std::vector<Entry> NameEntries() const;
  // The index of the first name-list entry whose text is `name`; -1 when none.
  int FindEntry(const std::string& name) const;
  // What the window shows of a row: the number, and the texts of field boxes 1 to 8
  // (box k shows column k + 2; index 0 unused).
  struct Shown {
    std::string idText;
    std::array<std::string, 9> text4;
  };
  Shown ShownFields(int row) const;
  // The first row (1 .. the sheet's last row) whose number cell equals `id`; 0 when none or
  // when `id` is 0.
  int FindById(int32_t id) const;
  // The customer texts of number `id`; nullopt when no row holds it.
  std::optional<CustomerRecord> Lookup(int32_t id) const;

  // ---- editing -------------------------------------------------------------------------
  // Issues the next customer number: one more than the counter (an empty counter reads as
  // 0) and than every number already in the list, and stores it back into the counter.
  int32_t IssueNumber();
  // Adds a customer with a name (not empty) and today's contact date, and issues its
  // number. Row 1 is reused only while it is the one empty row of an empty list (both its
  // number and name empty); otherwise the customer goes after the last used row. Returns
  // the row.
  int AddCustomer(const std::string& name, const Date& today);
  // Renames the customer of `row` (the name list entry's item data) and, when the row has
  // no number yet (the empty row of an empty list), issues one. False for a row outside
  // the used rows.
  bool Rename(int row, const std::string& name);
  // Stores the text of field box k (1..8) into column k + 2 of `row`. The contact date
  // (k = 8) must already be in its stored form (ContactDateText). False for a row or box
  // out of range.
  bool SetField(int row, int k, const std::string& text);
  // Removes the customer of `row`; the rows below move up and the row count drops by one
  // (not below 1). False, and nothing changed, for a row outside the used rows (no
  // selection).
  bool DeleteCustomer(int row);

 private:
  void CountRows();
  grid::Sheet& MutableSheet() { return book_.SheetAt(1); }

  grid::Workbook book_;
  int rowCount_ = 1;
  std::string path_;
  bool damaged_ = false;
  bool modified_ = false;
};

// ---- attaching to the current page ---------------------------------------------------------

// Attaches the customer of `row` to the current page: the page's CustomerName and the main
// window's name label take the row's name, CustomerID and the number label its number. The
// worksheet is marked modified (the page changed). False for a row outside the used rows.
bool AttachCustomer(Engine& e, const CustomerList& list, int row);
// Detaches the page's customer: empty name and labels, CustomerID 0; marks the worksheet
// modified.
void UnAttachCustomer(Engine& e);
// True when `row` holds the customer attached to the current page (by number, so that two
// customers of the same name are told apart).
bool IsAttachedRow(const Engine& e, const CustomerList& list, int row);

}  // namespace qv::reports
