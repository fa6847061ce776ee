// The customer list: the customer workbook file (missing, damaged, round trip) and the
// operations of the customer window on it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/files/AtomicFile.h"
#include "reports/CustomerList.h"

namespace fs = std::filesystem;

namespace qv::reports {
namespace {

const Date kToday{2026, 10, 5};

class CustomerListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "qv-customers-XXXXXX").string();
    folder_ = std::string(::mkdtemp(tmpl.data())) + "/";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::string FilePath() const { return folder_ + CustomerList::kFileName; }
  std::string FileText() const {
    std::string s;
    files::ReadWholeFile(FilePath(), s, std::uint64_t(1) << 30);
    return s;
  }
  // A list of customers "C1".."Cn" in a loaded (missing) file.
  CustomerList ListOf(int n) {
    CustomerList list;
    std::string error;
    list.Load(folder_, error);
    for (int i = 1; i <= n; ++i) list.AddCustomer("C" + std::to_string(i), kToday);
    return list;
  }
  std::vector<std::string> Names(const CustomerList& list) {
    std::vector<std::string> out;
    for (const auto& entry : list.NameEntries()) out.push_back(entry.text);
    return out;
  }

  std::string folder_;
  std::string error_;
};

TEST_F(CustomerListTest, MissingFileIsAnEmptyListThatSaveCreates) {
  CustomerList list;
  EXPECT_EQ(list.Load(folder_, error_), CustomerList::LoadResult::Missing);
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.NameEntries(), (std::vector<CustomerList::Entry>{{"", 1}}));
  EXPECT_TRUE(list.CanSave());

  list.AddCustomer("Dana Reyes", kToday);
  ASSERT_TRUE(list.Save(error_)) << error_;
  CustomerList back;
  EXPECT_EQ(back.Load(folder_, error_), CustomerList::LoadResult::Loaded);
  EXPECT_EQ(back.Sheet().Name(), "Customers");
  EXPECT_EQ(back.Sheet().ColText(8), "EveningPhone");
  EXPECT_EQ(Names(back), std::vector<std::string>{"Dana Reyes"});
  EXPECT_EQ(back.IdText(1), "1");
  EXPECT_EQ(back.Cell(1, kColContactDate), "10/05/2026");
  EXPECT_EQ(back.Counter(), "1");
}

TEST_F(CustomerListTest, DamagedOrForeignFileIsNeverWrittenOver) {
  struct Case {
    const char* content;
    const char* says;
  };
  grid::Workbook foreign;
  foreign.SetSheetName(1, "Worksht");
  const std::string foreignText = foreign.ToJson();
  const Case cases[] = {
      {"{\"format\": \"Quorvant workbook\", \"version\": 1, \"sheets\": [", "cannot be read"},
      {"not a workbook at all", "cannot be read"},
      {foreignText.c_str(), "is not a customer list"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(files::WriteFileAtomic(FilePath(), c.content));
    CustomerList list;
    std::string error;
    EXPECT_EQ(list.Load(folder_, error), CustomerList::LoadResult::Damaged);
    EXPECT_NE(error.find(FilePath()), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_FALSE(list.CanSave());
    list.AddCustomer("Someone", kToday);
    EXPECT_FALSE(list.Save(error));
    EXPECT_EQ(FileText(), c.content) << "the damaged file stays as it was";
  }
}

// A file beyond the list's limits is damaged: too large, refused before it is read; too
// many customers, refused at the first row past the limit (lowered here to 3). It is never
// written over.
TEST_F(CustomerListTest, AFileBeyondTheLimitsIsRefusedAndNeverWrittenOver) {
  std::string fourRows;
  {
    CustomerList four = ListOf(4);
    ASSERT_TRUE(four.Save(error_));
    fourRows = FileText();
  }
  grid::ReadLimits three = CustomerList::ReadLimits();
  three.maxRows = 3;
  struct Case {
    const char* name;
    bool sparse;  // a file one byte over the size limit, made without writing it
    const char* says;
  } cases[] = {
      {"too many customers", false, "it holds more than the 3 customers a list can hold"},
      {"too large", true, "it is larger than 96 MB, the most that is read from such a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.sparse) ASSERT_EQ(::truncate(FilePath().c_str(), off_t(CustomerList::kMaxFileBytes) + 1), 0);
    const uintmax_t size = fs::file_size(FilePath());
    CustomerList list;
    std::string error;
    EXPECT_EQ(list.LoadFile(FilePath(), error, three), CustomerList::LoadResult::Damaged);
    EXPECT_NE(error.find(FilePath()), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_FALSE(list.CanSave());
    list.AddCustomer("Someone", kToday);
    EXPECT_FALSE(list.Save(error));
    EXPECT_EQ(fs::file_size(FilePath()), size);
    if (!c.sparse) EXPECT_EQ(FileText(), fourRows);
  }
  ASSERT_TRUE(files::WriteFileAtomic(FilePath(), fourRows));
  CustomerList all;
  EXPECT_EQ(all.Load(folder_, error_), CustomerList::LoadResult::Loaded) << error_;
  EXPECT_EQ(all.RowCount(), 4);
}

TEST_F(CustomerListTest, FileNameIsFoundWithoutRegardToCase) {
  CustomerList list = ListOf(1);
  ASSERT_TRUE(list.Save(error_));
  fs::rename(FilePath(), folder_ + "CUSTOMER.VTS");
  CustomerList back;
  EXPECT_EQ(back.Load(folder_, error_), CustomerList::LoadResult::Loaded);
  EXPECT_EQ(back.Path(), folder_ + "CUSTOMER.VTS");
}

TEST_F(CustomerListTest, RowsEndAtTheFirstRowWithoutNumberAndName) {
  CustomerList list = ListOf(2);
  grid::Workbook book = list.Book();
  book.SheetAt(1).SetTextRC(3, kColAddress, "an address only");  // row 3: no number, no name
  book.SheetAt(1).SetNumberRC(4, kColID, 9);
  book.SheetAt(1).SetTextRC(4, kColName, "Kept below");
  book.SheetAt(1).SetNumberRC(5, kColID, 10);  // a number only still counts, but lies below
  ASSERT_TRUE(book.Write(FilePath(), error_));

  CustomerList back;
  ASSERT_EQ(back.Load(folder_, error_), CustomerList::LoadResult::Loaded);
  EXPECT_EQ(back.RowCount(), 2);
  // A new customer goes after the used rows without writing over the rows kept below.
  const int row = back.AddCustomer("New", kToday);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(back.IdText(row), "11") << "numbers go on from the highest number in the file";
  ASSERT_TRUE(back.Save(error_));
  CustomerList again;
  again.Load(folder_, error_);
  EXPECT_EQ(again.Cell(4, kColAddress), "an address only");
  EXPECT_EQ(again.Cell(5, kColName), "Kept below");
}

TEST_F(CustomerListTest, FirstNewCustomerReusesTheEmptyRowAndTheCounterGoesOn) {
  CustomerList list;
  list.Load(folder_, error_);
  grid::Workbook book = list.Book();
  book.SetBookText(CustomerList::kCounterKey, "4");
  ASSERT_TRUE(book.Write(FilePath(), error_));
  list.Load(folder_, error_);

  EXPECT_EQ(list.AddCustomer("Dana Reyes", kToday), 1);
  EXPECT_EQ(list.IdText(1), "5");
  EXPECT_EQ(list.Counter(), "5");
  EXPECT_EQ(list.AddCustomer("Lee Park", kToday), 2);
  EXPECT_EQ(list.IdText(2), "6");
  EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(CustomerListTest, RowOneWithANameIsNotReused) {
  CustomerList list = ListOf(0);
  ASSERT_TRUE(list.Rename(1, "Typed in"));  // the empty entry named: it gets a number
  EXPECT_EQ(list.IdText(1), "1");
  grid::Workbook book = list.Book();
  book.SheetAt(1).ClearRange(1, kColID, 1, kColID);  // a name without a number
  ASSERT_TRUE(book.Write(FilePath(), error_));
  list.Load(folder_, error_);
  EXPECT_EQ(list.AddCustomer("Second", kToday), 2);
  EXPECT_EQ(list.NameOf(1), "Typed in");
}

TEST_F(CustomerListTest, RenameKeepsANumberAndGivesOneToARowWithout) {
  CustomerList list = ListOf(2);
  EXPECT_TRUE(list.Rename(2, "C2 renamed"));
  EXPECT_EQ(list.IdText(2), "2");
  EXPECT_EQ(Names(list), (std::vector<std::string>{"C1", "C2 renamed"}));
  EXPECT_FALSE(list.Rename(3, "beyond the list"));
  EXPECT_FALSE(list.Rename(0, "no entry"));
}

TEST_F(CustomerListTest, NumbersAreNeverReused) {
  CustomerList list = ListOf(5);
  EXPECT_TRUE(list.DeleteCustomer(5));
  EXPECT_EQ(list.RowCount(), 4);
  const int row = list.AddCustomer("C6", kToday);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(list.IdText(row), "6");
}

TEST_F(CustomerListTest, DeleteMovesTheRowsBelowUp) {
  CustomerList list = ListOf(3);
  EXPECT_TRUE(list.DeleteCustomer(2));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"C1", "C3"}));
  EXPECT_EQ(list.NameEntries()[1], (CustomerList::Entry{"C3", 2}));
  EXPECT_EQ(list.IdText(2), "3");
}

TEST_F(CustomerListTest, DeletingTheOnlyCustomerLeavesOneEmptyEntry) {
  CustomerList list = ListOf(1);
  EXPECT_TRUE(list.DeleteCustomer(1));
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(Names(list), std::vector<std::string>{""});
}

TEST_F(CustomerListTest, DeleteWithoutASelectionDoesNothing) {
  CustomerList list = ListOf(2);
  const grid::Workbook before = list.Book();
  EXPECT_FALSE(list.DeleteCustomer(-1));
  EXPECT_FALSE(list.DeleteCustomer(0));
  EXPECT_FALSE(list.DeleteCustomer(3));
  EXPECT_TRUE(list.Book().SameContent(before));
  EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(CustomerListTest, FieldEditsGoToTheEntrysOwnRow) {
  CustomerList list = ListOf(0);
  list.AddCustomer("Sam Lee", kToday);
  list.AddCustomer("Sam Lee", kToday);
  // The second entry of the same name edits and shows its own row, not the first.
  EXPECT_TRUE(list.SetField(2, 1, "9 Oak St"));
  EXPECT_EQ(list.ShownFields(2).text4[1], "9 Oak St");
  EXPECT_EQ(list.ShownFields(2).idText, "2");
  EXPECT_EQ(list.ShownFields(1).text4[1], "");
  EXPECT_TRUE(list.SetField(2, 8, "10/06/2026"));
  EXPECT_EQ(list.Cell(2, kColContactDate), "10/06/2026");
  EXPECT_FALSE(list.SetField(2, 9, "no such box"));
  EXPECT_FALSE(list.SetField(3, 1, "no such row"));
}

TEST_F(CustomerListTest, ContactDateText) {
  EXPECT_EQ(ContactDateText("", kToday), "10/05/2026");
  EXPECT_EQ(ContactDateText("  ", kToday), "10/05/2026");
  EXPECT_EQ(ContactDateText("2026-11-30", kToday), "11/30/2026");
  EXPECT_EQ(ContactDateText("March 7, 2027", kToday), "03/07/2027");
  EXPECT_EQ(ContactDateText("next week", kToday), std::nullopt);
  EXPECT_EQ(ContactDateText("2/30/2026", kToday), std::nullopt);
}

TEST_F(CustomerListTest, AttachAndUnAttachChangeThePageAndMarkTheWorksheet) {
  CustomerList list = ListOf(0);
  list.AddCustomer("Sam Lee", kToday);
  list.AddCustomer("Sam Lee", kToday);
  Engine e;
  e.WorksheetModified = 0;
  ASSERT_TRUE(AttachCustomer(e, list, 2));
  EXPECT_EQ(e.page.CustomerID, 2);
  EXPECT_EQ(e.page.CustomerName, "Sam Lee");
  EXPECT_EQ(e.Label25Caption, "Sam Lee");
  EXPECT_EQ(e.lblCustIDCaption, "2");
  EXPECT_EQ(e.WorksheetModified, -1);
  // Two customers of one name are told apart by number.
  EXPECT_TRUE(IsAttachedRow(e, list, 2));
  EXPECT_FALSE(IsAttachedRow(e, list, 1));

  e.WorksheetModified = 0;
  UnAttachCustomer(e);
  EXPECT_EQ(e.page.CustomerID, 0);
  EXPECT_EQ(e.page.CustomerName, "");
  EXPECT_EQ(e.Label25Caption, "");
  EXPECT_EQ(e.lblCustIDCaption, "");
  EXPECT_EQ(e.WorksheetModified, -1);
  EXPECT_FALSE(IsAttachedRow(e, list, 2));
  EXPECT_FALSE(AttachCustomer(e, list, 3));
}

TEST_F(CustomerListTest, LookupByNumber) {
  CustomerList list = ListOf(3);
  list.SetField(2, 6, "555-0101");
  ASSERT_TRUE(list.Lookup(2).has_value());
  EXPECT_EQ(list.Lookup(2)->Name, "C2");
  EXPECT_EQ(list.Lookup(2)->HomePhone, "555-0101");
  EXPECT_FALSE(list.Lookup(0).has_value());
  EXPECT_FALSE(list.Lookup(4).has_value());
  EXPECT_EQ(list.FindEntry("C3"), 2);
  EXPECT_EQ(list.FindEntry("c3"), -1);
}

TEST_F(CustomerListTest, AFailedWriteKeepsTheOldFile) {
  CustomerList list = ListOf(1);
  ASSERT_TRUE(list.Save(error_));
  const std::string before = FileText();
  list.AddCustomer("C2", kToday);
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  EXPECT_FALSE(list.Save(error_));
  files::SetWriteFaultForTesting(nullptr);
  EXPECT_NE(error_.find(CustomerList::kFileName), std::string::npos) << error_;
  EXPECT_EQ(FileText(), before);
}

}  // namespace
}  // namespace qv::reports
