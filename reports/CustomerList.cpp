#include "reports/CustomerList.h"

#include <algorithm>
#include <cmath>

#include "platform/files/FolderLookup.h"

namespace qv::reports {

namespace {

const char* const kHeadings[kCustomerColumns + 1] = {"",      "ID",       "Name",         "Address",
                                                     "City",  "State",    "Zip",          "DayPhone",
                                                     "EveningPhone", "Notes", "ContactDate", "Fax"};

void SetUpCustomerBook(grid::Workbook& book) {
  book = grid::Workbook();
  book.SetSheetName(1, CustomerList::kSheetName);
  for (int c = 1; c <= kCustomerColumns; ++c) book.SheetAt(1).SetColText(c, kHeadings[c]);
}

bool Blank(const std::string& s) { return Trim(s).empty(); }

}  // namespace

std::optional<std::string> ContactDateText(const std::string& typed, const Date& today) {
  if (Blank(typed)) return FormatDateMDY(today);
  const std::optional<Date> d = ParseDateText(typed);
  if (!d) return std::nullopt;
  return FormatDateMDY(*d);
}

CustomerList::CustomerList() { SetUpCustomerBook(book_); }

CustomerList::LoadResult CustomerList::Load(const std::string& appFolder, std::string& error) {
  return LoadFile(files::ResolveNoCase(appFolder + kFileName), error);
}

grid::ReadLimits CustomerList::ReadLimits() {
  grid::ReadLimits limits;
  limits.maxFileBytes = kMaxFileBytes;
  limits.maxRows = kMaxCustomers;
  limits.maxCells = static_cast<long long>(kMaxCustomers) * kCustomerColumns;
  limits.maxSheets = 10;
  limits.rowsAre = "customers a list can hold";
  return limits;
}

CustomerList::LoadResult CustomerList::LoadFile(const std::string& path, std::string& error,
                                                const grid::ReadLimits& limits) {
  SetUpCustomerBook(book_);
  rowCount_ = 1;
  modified_ = false;
  damaged_ = false;
  path_ = files::ResolveNoCase(path);
  if (!files::FileExistsNoCase(path_)) return LoadResult::Missing;

  grid::Workbook read;
  std::string why;
  if (!read.Read(path_, why, limits)) {
    damaged_ = true;
    error = why + " The customer list is not saved, so the file stays as it is.";
    return LoadResult::Damaged;
  }
  if (read.NumSheets() < 1 || read.SheetName(1) != kSheetName) {
    damaged_ = true;
    error = "The file " + path_ + " is not a customer list (it has no sheet \"" + kSheetName +
            "\"). The customer list is not saved, so the file stays as it is.";
    return LoadResult::Damaged;
  }
  book_ = std::move(read);
  book_.SetSheet(1);
  // The headings are the column names, whatever an older file carried.
  for (int c = 1; c <= kCustomerColumns; ++c) book_.SheetAt(1).SetColText(c, kHeadings[c]);
  CountRows();
  return LoadResult::Loaded;
}

bool CustomerList::Save(std::string& error) {
  if (path_.empty()) {
    error = "The customer list was not read from a file, so it is not saved.";
    return false;
  }
  if (damaged_) {
    error = "The customer list file " + path_ + " could not be read, so it is not written over.";
    return false;
  }
  if (!book_.Write(path_, error)) return false;
  modified_ = false;
  return true;
}

void CustomerList::CountRows() {
  const grid::Sheet& s = Sheet();
  int r = 1;
  while (r <= s.MaxRow() && !(Blank(s.TextRC(r, kColID)) && Blank(s.TextRC(r, kColName)))) ++r;
  rowCount_ = std::max(1, r - 1);
}

std::vector<CustomerList::Entry> CustomerList::NameEntries() const {
  std::vector<Entry> out;
  out.reserve(rowCount_);
  for (int r = 1; r <= rowCount_; ++r) out.push_back({NameOf(r), r});
  return out;
}

int CustomerList::FindEntry(const std::string& name) const {
  for (int r = 1; r <= rowCount_; ++r)
    if (NameOf(r) == name) return r - 1;
  return -1;
}

CustomerList::Shown CustomerList::ShownFields(int row) const {
  Shown s;
  s.idText = IdText(row);
  for (int k = 1; k <= 8; ++k) s.text4[k] = Cell(row, k + 2);
  return s;
}

int CustomerList::FindById(int32_t id) const {
  if (id == 0) return 0;
  const grid::Sheet& s = Sheet();
  for (int r = 1; r <= s.MaxRow(); ++r)
    if (!s.IsEmpty(r, kColID) && TextValue(s.TextRC(r, kColID)) == static_cast<double>(id)) return r;
  return 0;
}

std::optional<CustomerRecord> CustomerList::Lookup(int32_t id) const {
  const int r = FindById(id);
  if (r == 0) return std::nullopt;
  CustomerRecord c;
  c.Name = Cell(r, kColName);
  c.Address = Cell(r, kColAddress);
  c.City = Cell(r, kColCity);
  c.State = Cell(r, kColState);
  c.Zip = Cell(r, kColZip);
  c.DayPhone = Cell(r, kColDayPhone);
  c.HomePhone = Cell(r, kColEveningPhone);
  c.Notes = Cell(r, kColNotes);
  c.ContactDate = Cell(r, kColContactDate);
  c.Fax = Cell(r, kColFax);
  return c;
}

int32_t CustomerList::IssueNumber() {
  // The counter alone decides in a sound file; the highest number present guards against
  // a counter that was lost or is behind, which would otherwise issue a number twice.
  double last = std::max(0.0, std::floor(TextValue(Counter())));
  const grid::Sheet& s = Sheet();
  for (int r = 1; r <= s.MaxRow(); ++r)
    if (!s.IsEmpty(r, kColID)) last = std::max(last, std::floor(TextValue(s.TextRC(r, kColID))));
  const int32_t next = last >= 2147483646.0 ? 2147483647 : static_cast<int32_t>(last) + 1;
  book_.SetBookText(kCounterKey, std::to_string(next));
  modified_ = true;
  return next;
}

int CustomerList::AddCustomer(const std::string& name, const Date& today) {
  grid::Sheet& s = MutableSheet();
  int row;
  if (rowCount_ == 1 && Blank(s.TextRC(1, kColID)) && Blank(s.TextRC(1, kColName))) {
    row = 1;
  } else {
    row = rowCount_ + 1;
    // Rows kept below the used rows (after an empty row) move down rather than being
    // written over.
    if (row <= s.MaxRow()) s.InsertRange(row, -1, row, -1, 3);
    rowCount_ = row;
  }
  s.SetNumberRC(row, kColID, IssueNumber());
  s.SetTextRC(row, kColName, name);
  s.SetTextRC(row, kColContactDate, FormatDateMDY(today));
  modified_ = true;
  return row;
}

bool CustomerList::Rename(int row, const std::string& name) {
  if (row < 1 || row > rowCount_) return false;
  grid::Sheet& s = MutableSheet();
  s.SetTextRC(row, kColName, name);
  if (Blank(s.TextRC(row, kColID))) s.SetNumberRC(row, kColID, IssueNumber());
  modified_ = true;
  return true;
}

bool CustomerList::SetField(int row, int k, const std::string& text) {
  if (row < 1 || row > rowCount_ || k < 1 || k > 8) return false;
  MutableSheet().SetTextRC(row, k + 2, text);
  modified_ = true;
  return true;
}

bool CustomerList::DeleteCustomer(int row) {
  if (row < 1 || row > rowCount_) return false;
  MutableSheet().DeleteRange(row, -1, row, -1, 3);
  if (rowCount_ != 1) --rowCount_;
  modified_ = true;
  return true;
}

bool AttachCustomer(Engine& e, const CustomerList& list, int row) {
  if (row < 1 || row > list.RowCount()) return false;
  const std::string name = list.NameOf(row);
  e.Label25Caption = name;
  e.page.CustomerName = name;
  e.page.CustomerID = ToInt32(TextValue(list.IdText(row)));
  e.lblCustIDCaption = std::to_string(e.page.CustomerID);
  e.WorksheetModified = -1;
  return true;
}

void UnAttachCustomer(Engine& e) {
  e.Label25Caption.clear();
  e.lblCustIDCaption.clear();
  e.page.CustomerName.clear();
  e.page.CustomerID = 0;
  e.WorksheetModified = -1;
}

bool IsAttachedRow(const Engine& e, const CustomerList& list, int row) {
  if (row < 1 || row > list.RowCount() || e.page.CustomerID == 0) return false;
  return ToInt32(TextValue(list.IdText(row))) == e.page.CustomerID;
}

}  // namespace qv::reports
