// The customer window over the main window: loading the customer workbook (missing, empty,
// damaged), new, rename, field edits, delete, attach and un-attach, the Enter moves, the
// write-back at unload, the main window's button and labels, and the report fields of the
// attached customer.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

#include <fstream>
#include <iterator>

#include "platform/grid/GridWidget.h"
#include "reports/Customer.h"
#include "reports/ReportFields.h"
#include "tests/dialogs/AltLetters.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

using reports::CustomerList;

class CustomerTest : public SampleDealTest<Customer> {
 protected:
  std::string FilePath() const { return folder + CustomerList::kFileName; }

  // A customer workbook with the rows given (number, name, address, fax), the counter at
  // the highest number.
  struct Row {
    int id;
    std::string name, address, fax;
  };
  void WriteCustomers(const std::vector<Row>& rows) {
    CustomerList list;
    std::string error;
    list.Load(folder, error);
    grid::Workbook& book = list.BookForView();
    int r = 0, last = 0;
    for (const Row& row : rows) {
      ++r;
      book.SheetAt(1).SetNumberRC(r, reports::kColID, row.id);
      book.SheetAt(1).SetTextRC(r, reports::kColName, row.name);
      book.SheetAt(1).SetTextRC(r, reports::kColAddress, row.address);
      book.SheetAt(1).SetTextRC(r, reports::kColFax, row.fax);
      last = std::max(last, row.id);
    }
    book.SetBookText(CustomerList::kCounterKey, std::to_string(last));
    ASSERT_TRUE(book.Write(FilePath(), error)) << error;
  }
  CustomerList ReadBack() {
    CustomerList list;
    std::string error;
    EXPECT_EQ(list.Load(folder, error), CustomerList::LoadResult::Loaded) << error;
    return list;
  }

  Customer& Open() {
    qv->Command3->click();
    return windows.Get<Customer>();
  }
  static std::vector<std::string> Entries(const Customer& c) {
    std::vector<std::string> out;
    for (int i = 0; i < c.Combo1->count(); ++i) out.push_back(c.Combo1->itemText(i).toStdString());
    return out;
  }
  static std::string Box(const Customer& c) { return c.Combo1->currentText().toStdString(); }
  // Types a name into the name box and leaves it.
  static void TypeName(Customer& c, const std::string& name) {
    c.Combo1_GotFocus();
    c.Combo1->setEditText(QString::fromStdString(name));
    c.Combo1_LostFocus();
  }
  static void TypeField(Customer& c, int k, const std::string& text) {
    c.Text4[k]->setText(QString::fromStdString(text));
    c.Text4_LostFocus(k);
  }
  Customer& AddCustomer(Customer& c, const std::string& name) {
    prompt.Input(name);
    c.Command3_Click(0);
    return c;
  }
  std::string Label25() const { return Text(qv->Label25); }
  std::string CustID() const { return Text(qv->lblCustID); }
};

TEST_F(CustomerTest, TheButtonShowsTheWindowModelessOnTopWithItsCaptions) {
  ASSERT_TRUE(qv->Command3->isEnabled());
  Customer& c = Open();
  EXPECT_TRUE(c.isVisible());
  EXPECT_FALSE(c.isModal());
  EXPECT_TRUE(c.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(c.windowTitle().toStdString(), "Customers");
  const std::pair<int, const char*> buttons[] = {
      {0, " &New"}, {1, " &Delete"}, {2, " &Close"}, {3, " &Attach to Worksheet"}, {5, "&Un-Attach"}};
  for (const auto& [i, caption] : buttons) EXPECT_EQ(c.Command3[i]->text().toStdString(), caption);
  EXPECT_EQ(c.Command3[4], nullptr);
  const char* labels[] = {"Name:", "Address:", "Day-Time Phone:", "Evening Phone:", "Customer Number:", "Notes:", "Date:"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(c.Label24[i]->text().toStdString(), labels[i]);
  EXPECT_EQ(Clashes(&c), "") << All(&c);
  // A second click brings the same window forward.
  qv->Command3->click();
  EXPECT_EQ(&windows.Get<Customer>(), &c);
}

TEST_F(CustomerTest, LoadingAMissingEmptyOrDamagedFile) {
  struct Case {
    const char* name;
    std::optional<std::string> content;  // nullopt: no file
    bool damaged;
  };
  grid::Workbook empty;
  empty.SetSheetName(1, CustomerList::kSheetName);
  for (const Case& k : {Case{"missing", std::nullopt, false}, Case{"empty", empty.ToJson(), false},
                        Case{"damaged", std::string("{\"sheets\": [ broken"), true}}) {
    SCOPED_TRACE(k.name);
    std::filesystem::remove(FilePath());
    if (k.content) WriteFile(FilePath(), *k.content);
    if (k.damaged) prompt.Answer(ui::Answer::OK);
    Customer& c = Open();
    if (k.damaged) {
      ASSERT_NE(prompt.Last(), nullptr);
      const std::string& text = prompt.Last()->text;
      EXPECT_NE(text.find(FilePath()), std::string::npos) << text;
      EXPECT_NE(text.find("The customer window is read-only: no customer can be added, changed or deleted"),
                std::string::npos)
          << text;
    }
    // One empty entry; nothing to delete or attach.
    EXPECT_EQ(Entries(c), std::vector<std::string>{""});
    EXPECT_EQ(Text(c.Label2), "");
    EXPECT_FALSE(c.Command3[1]->isEnabled());
    EXPECT_FALSE(c.Command3[3]->isEnabled());
    EXPECT_FALSE(c.Command3[5]->isEnabled());
    EXPECT_EQ(c.Command3[0]->isEnabled(), !k.damaged);
    EXPECT_EQ(c.Combo1->lineEdit()->isReadOnly(), k.damaged);
    if (k.damaged) {
      // Read-only: a typed name and New change nothing, and nothing is dropped unsaid.
      TypeName(c, "Ada Quinn");
      c.Command3_Click(0);
      EXPECT_EQ(Entries(c), std::vector<std::string>{""});
      EXPECT_FALSE(c.list.Modified());
    } else {
      // Typing a name into the empty entry names row 1 without a question and numbers it.
      TypeName(c, "Ada Quinn");
      EXPECT_EQ(Entries(c), std::vector<std::string>{"Ada Quinn"});
      EXPECT_EQ(Text(c.Label2), "1");
    }
    c.Command3_Click(2);
    EXPECT_FALSE(windows.Loaded<Customer>());
    if (k.damaged) {
      EXPECT_EQ(ReadFile(FilePath()), *k.content);  // never written over
    } else {
      EXPECT_EQ(ReadBack().NameEntries(), (std::vector<CustomerList::Entry>{{"Ada Quinn", 1}}));
    }
    prompt.ClearAsked();
  }
}

TEST_F(CustomerTest, OpeningWithoutChangesWritesNothing) {
  Customer& c = Open();
  c.Command3_Click(2);
  EXPECT_FALSE(std::filesystem::exists(FilePath()));
}

TEST_F(CustomerTest, NewThenAttachSetsThePageAndTheLabels) {
  Customer& c = Open();
  prompt.Input(std::nullopt);  // cancelled: nothing added, no number used
  c.Command3_Click(0);
  EXPECT_EQ(c.list.Counter(), "");
  AddCustomer(c, "Dana Reyes");
  EXPECT_EQ(prompt.Last()->kind, ui::PromptRecord::Kind::InputBox);
  EXPECT_EQ(prompt.Last()->text, "Enter Name of New Customer:");
  EXPECT_EQ(Box(c), "Dana Reyes");
  EXPECT_EQ(Text(c.Label2), "1");
  EXPECT_EQ(Text(c.Text4[8]), FormatDateMDY(Today()));
  EXPECT_TRUE(c.Command3[3]->isEnabled());
  EXPECT_FALSE(c.Command3[5]->isEnabled());

  AddCustomer(c, "Sam Lee");
  EXPECT_EQ(Entries(c), (std::vector<std::string>{"Dana Reyes", "Sam Lee"}));
  EXPECT_EQ(Text(c.Label2), "2");
  c.Command3_Click(3);
  EXPECT_EQ(eng.page.CustomerID, 2);
  EXPECT_EQ(eng.page.CustomerName, "Sam Lee");
  EXPECT_EQ(Label25(), "Sam Lee");
  EXPECT_EQ(CustID(), "2");
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_FALSE(c.Command3[3]->isEnabled());
  EXPECT_TRUE(c.Command3[5]->isEnabled());
  // The other customer can be attached instead.
  c.SelectEntry(0);
  EXPECT_TRUE(c.Command3[3]->isEnabled());

  eng.WorksheetModified = 0;
  c.SelectEntry(1);
  c.Command3_Click(5);
  EXPECT_EQ(eng.page.CustomerID, 0);
  EXPECT_EQ(eng.page.CustomerName, "");
  EXPECT_EQ(Label25(), "");
  EXPECT_EQ(CustID(), "");
  EXPECT_EQ(eng.WorksheetModified, -1);
  EXPECT_TRUE(c.Command3[3]->isEnabled());
  EXPECT_FALSE(c.Command3[5]->isEnabled());
}

TEST_F(CustomerTest, ReopeningFindsTheAttachedCustomerOrSaysItIsNotFound) {
  WriteCustomers({{1, "Pat Kim", "1 Elm"}, {2, "Pat Kim", "2 Oak"}, {3, "Lou Park", "3 Ash"}});
  {
    Customer& c = Open();
    c.SelectEntry(1);  // the second Pat Kim, by its own row
    EXPECT_EQ(Text(c.Text4[1]), "2 Oak");
    c.Command3_Click(3);
    c.Command3_Click(2);
  }
  EXPECT_EQ(eng.page.CustomerID, 2);
  {
    Customer& c = Open();
    EXPECT_EQ(c.Combo1->currentIndex(), 1);
    EXPECT_EQ(Text(c.Text4[1]), "2 Oak");
    // Renamed while attached: the labels keep the old name.
    prompt.Answer(ui::Answer::OK);
    TypeName(c, "Pat Kim-Lee");
    EXPECT_EQ(Label25(), "Pat Kim");
    c.Command3_Click(2);
  }
  // The first Pat Kim is taken by name now; with no such name at all, the message.
  {
    Customer& c = Open();
    EXPECT_EQ(c.Combo1->currentIndex(), 0);
    c.Command3_Click(2);
  }
  eng.page.CustomerID = 9;
  eng.Label25Caption = "Nobody";
  qv->ShowCustomerLabels();
  prompt.Answer(ui::Answer::OK);
  Customer& c = Open();
  EXPECT_EQ(prompt.Last()->text, "Nobody not found.");
  EXPECT_EQ(c.Combo1->currentIndex(), 0);
  EXPECT_EQ(Text(c.Label2), "1");
  EXPECT_EQ(eng.page.CustomerID, 9);  // the attachment stays as it was
}

TEST_F(CustomerTest, RenamingAsksAndCancelRestores) {
  WriteCustomers({{1, "Ann Cole", ""}, {2, "Ben Dale", ""}});
  Customer& c = Open();
  c.SelectEntry(1);
  struct Case {
    const char* typed;
    std::optional<ui::Answer> answer;  // the "Change Name to" question; nullopt: not asked
    const char* message;               // a refusal; nullptr: none
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"Ben Dale Jr", ui::Answer::Cancel, nullptr, {"Ann Cole", "Ben Dale"}},
      {"", std::nullopt, "A customer's name cannot be empty.", {"Ann Cole", "Ben Dale"}},
      {"Ben Dale Jr", ui::Answer::OK, nullptr, {"Ann Cole", "Ben Dale Jr"}},
      // Two customers may share a name.
      {"Ann Cole", ui::Answer::OK, nullptr, {"Ann Cole", "Ann Cole"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.typed);
    c.SelectEntry(1);
    prompt.ClearAsked();
    if (k.answer) prompt.Answer(*k.answer);
    if (k.message) prompt.Answer(ui::Answer::OK);
    TypeName(c, k.typed);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    if (k.answer) {
      EXPECT_EQ(prompt.Last()->text, std::string("Change Name to: ") + k.typed + "?");
    }
    if (k.message) {
      EXPECT_EQ(prompt.Last()->text, k.message);
    }
    EXPECT_EQ(Entries(c), k.entries);
    if (k.answer == ui::Answer::OK) {
      EXPECT_EQ(c.Combo1->currentIndex(), 0);  // the list refilled, the first entry shown
      EXPECT_EQ(Box(c), "Ann Cole");
    } else {
      EXPECT_EQ(Box(c), "Ben Dale");
    }
  }
  EXPECT_EQ(c.list.IdText(2), "2");
}

TEST_F(CustomerTest, NewWarnsOnceOfANameInUseAndAddsItWhenTheUserGoesOn) {
  WriteCustomers({{1, "John Smith", "1 Elm", ""}});
  Customer& c = Open();
  for (const ui::Answer answer : {ui::Answer::Cancel, ui::Answer::OK}) {
    prompt.ClearAsked();
    prompt.Input("John Smith").Answer(answer);
    c.Command3_Click(0);
    ASSERT_EQ(prompt.Asked().size(), 2u);  // the name, then the one warning
    EXPECT_EQ(prompt.Asked()[1].text, "Another customer is already named John Smith. Add this one as well?");
  }
  EXPECT_EQ(Entries(c), (std::vector<std::string>{"John Smith", "John Smith"}));
  EXPECT_EQ(Text(c.Label2), "2");  // the new one is shown, under its own number
  c.Command3_Click(2);
  const CustomerList back = ReadBack();
  EXPECT_EQ(back.NameEntries(), (std::vector<CustomerList::Entry>{{"John Smith", 1}, {"John Smith", 2}}));
  EXPECT_EQ(back.Cell(1, reports::kColAddress), "1 Elm");
  EXPECT_EQ(back.Cell(2, reports::kColAddress), "");
}

TEST_F(CustomerTest, DeleteDetachesMovesRowsUpAndNeverReusesANumber) {
  Customer& c = Open();
  for (const char* n : {"C1", "C2", "C3"}) AddCustomer(c, n);
  c.Command3_Click(3);  // C3 attached
  ASSERT_EQ(eng.page.CustomerID, 3);

  prompt.Answer(ui::Answer::Cancel);
  c.Command3_Click(1);
  EXPECT_EQ(prompt.Last()->text, "Delete: C3?");
  EXPECT_EQ(Entries(c).size(), 3u);

  prompt.Answer(ui::Answer::OK);
  c.Command3_Click(1);
  EXPECT_EQ(Entries(c), (std::vector<std::string>{"C1", "C2"}));
  EXPECT_EQ(eng.page.CustomerID, 0);
  EXPECT_EQ(Label25(), "");

  AddCustomer(c, "C4");
  EXPECT_EQ(Text(c.Label2), "4");  // 3 is not issued again
  EXPECT_EQ(c.list.NameOf(3), "C4");

  c.SelectEntry(0);
  prompt.Answer(ui::Answer::OK);
  c.Command3_Click(1);  // the rows below move up
  EXPECT_EQ(Entries(c), (std::vector<std::string>{"C2", "C4"}));
  EXPECT_EQ(c.list.IdText(1), "2");
  EXPECT_EQ(c.list.IdText(2), "4");

  // Down to the one empty entry: nothing to delete.
  for (int i = 0; i < 2; ++i) {
    prompt.Answer(ui::Answer::OK);
    c.Command3_Click(1);
  }
  EXPECT_EQ(Entries(c), std::vector<std::string>{""});
  prompt.ClearAsked();
  c.Command3_Click(1);
  c.Command3_Click(3);
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_EQ(eng.page.CustomerID, 0);
  AddCustomer(c, "C5");
  EXPECT_EQ(Text(c.Label2), "5");
  EXPECT_EQ(c.list.RowCount(), 1);
}

TEST_F(CustomerTest, ContactDateIsCheckedAndStoredAsAShortDate) {
  Customer& c = Open();
  AddCustomer(c, "Dana Reyes");
  struct Case {
    const char* typed;
    const char* stored;  // nullptr: refused with the message, the cell as it was
  };
  TypeField(c, 8, "03/04/2025");
  for (const Case k : {Case{"2/3/2025", "02/03/2025"}, Case{"not a date", nullptr}, Case{"", nullptr}}) {
    SCOPED_TRACE(k.typed);
    const std::string before = c.list.Cell(1, reports::kColContactDate);
    if (!k.stored && *k.typed) prompt.Answer(ui::Answer::OK);
    TypeField(c, 8, k.typed);
    if (*k.typed == '\0') {
      EXPECT_EQ(c.list.Cell(1, reports::kColContactDate), FormatDateMDY(Today()));
    } else if (k.stored) {
      EXPECT_EQ(c.list.Cell(1, reports::kColContactDate), k.stored);
      EXPECT_EQ(Text(c.Text4[8]), k.stored);
    } else {
      EXPECT_EQ(prompt.Last()->text, "Invalid date format.");
      EXPECT_EQ(c.list.Cell(1, reports::kColContactDate), before);
    }
  }
}

TEST_F(CustomerTest, EnterMovesThroughTheBoxes) {
  Customer& c = Open();
  AddCustomer(c, "Dana Reyes");
  c.activateWindow();
  QApplication::setActiveWindow(&c);
  for (int i = 0; i < 50 && QApplication::activeWindow() != &c; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &c);
  std::vector<QWidget*> order{c.Combo1};
  for (int k = 1; k <= 7; ++k) order.push_back(c.Text4[k]);
  order.push_back(c.Command3[2]);
  c.Combo1->setFocus();
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    QWidget* from = order[i];
    QTest::keyClick(from == c.Combo1 ? static_cast<QWidget*>(c.Combo1->lineEdit()) : from, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget() == c.Combo1->lineEdit() ? c.Combo1 : QApplication::focusWidget(),
              order[i + 1])
        << "after " << i;
  }
  c.Text4[8]->setFocus();
  QTest::keyClick(c.Text4[8], Qt::Key_Return);
  QWidget* f = QApplication::focusWidget();
  EXPECT_TRUE(f == c.Combo1 || f == c.Combo1->lineEdit());
  // The boxes stored what they showed on the way.
  EXPECT_EQ(c.list.Cell(1, reports::kColContactDate), FormatDateMDY(Today()));
  // Escape closes the window; what was typed into the box that had the focus is kept.
  c.Text4[1]->setFocus();
  QTest::keyClicks(c.Text4[1], "9 Pine St");
  QTest::keyClick(c.Text4[1], Qt::Key_Escape);
  EXPECT_FALSE(windows.Loaded<Customer>());
  EXPECT_EQ(ReadBack().Cell(1, reports::kColAddress), "9 Pine St");
}

TEST_F(CustomerTest, TabGoesThroughTheBoxesBeforeTheButtons) {
  WriteCustomers({{1, "Ann Cole", "1 Elm", ""}, {2, "Ben Dale", "2 Oak", ""}});
  Customer& c = Open();
  c.activateWindow();
  QApplication::setActiveWindow(&c);
  for (int i = 0; i < 50 && QApplication::activeWindow() != &c; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &c);
  const int rows = c.list.RowCount();
  const std::vector<std::string> entries = Entries(c);
  auto focused = [&c]() -> QWidget* {
    QWidget* f = QApplication::focusWidget();
    return f && f == c.Combo1->lineEdit() ? c.Combo1 : f;
  };

  // The name box is clicked, Tab goes on to the address, and an address is typed there.
  QTest::mouseClick(c.Combo1->lineEdit(), Qt::LeftButton);
  ASSERT_EQ(focused(), c.Combo1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(focused(), c.Text4[1]);
  QTest::keyClicks(QApplication::focusWidget(), "12 Main St");
  EXPECT_EQ(Text(c.Text4[1]), "12 Main St");
  EXPECT_EQ(c.list.RowCount(), rows);  // no new customer (the prompt fails on a question)
  EXPECT_EQ(Entries(c), entries);

  // Then the other boxes in the form's reading order, then the buttons.
  std::vector<QWidget*> order;
  for (int k = 2; k <= 8; ++k) order.push_back(c.Text4[k]);
  for (int i : {0, 1, 3, 2}) order.push_back(c.Command3[i]);
  for (QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), expected) << expected->objectName().toStdString();
  }
  // Leaving the address stored it in the customer's row.
  EXPECT_EQ(c.list.Cell(1, reports::kColAddress), "12 Main St");
  EXPECT_EQ(c.list.RowCount(), rows);
}

TEST_F(CustomerTest, TheWorkbookIsWrittenBackWholeAtUnload) {
  WriteCustomers({{1, "Ann Cole", "1 Elm", "555-0100"}, {2, "Ben Dale", "2 Oak", "555-0200"}});
  const std::vector<std::string> fields = {"", "9 Pine St", "Springfield", "IL", "62704", "555-0111",
                                           "555-0112", "prefers email", "01/02/2026"};
  {
    Customer& c = Open();
    c.SelectEntry(1);
    for (int k = 1; k <= 8; ++k) TypeField(c, k, fields[k]);
    AddCustomer(c, "Cy Ford");
    windows.Unload<Customer>();  // as the start-up costs window and the end of the program do
  }
  const CustomerList back = ReadBack();
  EXPECT_EQ(back.NameEntries(), (std::vector<CustomerList::Entry>{{"Ann Cole", 1}, {"Ben Dale", 2}, {"Cy Ford", 3}}));
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(back.Cell(2, k + 2), fields[k]) << k;
  EXPECT_EQ(back.Cell(1, reports::kColFax), "555-0100");  // the fax column is kept
  EXPECT_EQ(back.Cell(2, reports::kColFax), "555-0200");
  EXPECT_EQ(back.Counter(), "3");
  // And read again it shows the same.
  Customer& c = Open();
  c.SelectEntry(1);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(Text(c.Text4[k]), fields[k]) << k;
}

TEST_F(CustomerTest, TheStartUpCostsWindowAndTheEndOfTheProgramUnloadIt) {
  for (const bool startUps : {true, false}) {
    SCOPED_TRACE(startUps ? "start-ups" : "end of program");
    std::filesystem::remove(FilePath());
    AddCustomer(Open(), "Dana Reyes");
    if (startUps) {
      prompt.Modal([](ui::ModalWindow&) { return 0; });
      qv->Command1_Click(0);
      EXPECT_FALSE(windows.Loaded<Customer>());
    } else {
      windows.DeleteAll();  // what the main window does when it goes
    }
    EXPECT_EQ(ReadBack().NameOf(1), "Dana Reyes");
  }
}

// Ways the customer file cannot be written, set up after the window read it; each undone
// by `mend`.
struct WriteFault {
  const char* name;
  const char* reason;  // in the message
  std::function<void(const std::string& path)> make, mend;
};

std::vector<WriteFault> WriteFaults() {
  namespace fs = std::filesystem;
  return {
      {"read-only file", "read-only", [](const std::string& p) { fs::permissions(p, fs::perms::owner_read); },
       [](const std::string& p) { fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write); }},
      {"a folder in its place", "Is a directory",
       [](const std::string& p) {
         fs::rename(p, p + ".kept");
         fs::create_directory(p);
       },
       [](const std::string& p) {
         fs::remove(p);
         fs::rename(p + ".kept", p);
       }},
      {"a dangling link", "No such file or directory",
       [](const std::string& p) {
         fs::rename(p, p + ".kept");
         fs::create_symlink("no-such-folder/Customer.vts", p);
       },
       [](const std::string& p) {
         fs::remove(p);
         fs::rename(p + ".kept", p);
       }},
      {"a write that fails part-way (a full disk)", "interrupted",
       [](const std::string&) { files::SetWriteFaultForTesting([](const std::string&) { return true; }); },
       [](const std::string&) { files::SetWriteFaultForTesting(nullptr); }},
  };
}

TEST_F(CustomerTest, AFailedWriteKeepsTheWindowAndItsListUntilTheUserDropsThem) {
  for (const WriteFault& f : WriteFaults()) {
    SCOPED_TRACE(f.name);
    std::filesystem::remove(FilePath());
    WriteCustomers({{1, "Ann Cole", "1 Elm", ""}});
    const std::string before = ReadFile(FilePath());
    Customer& c = Open();
    AddCustomer(c, "Dana Reyes");
    f.make(FilePath());
    // Cancel, then No: the window stays open with the new customer.
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::Cancel).Answer(ui::Answer::No);
    c.Command3_Click(2);
    ASSERT_EQ(prompt.Asked().size(), 2u);
    const std::string& message = prompt.Asked()[0].text;
    EXPECT_NE(message.find(FilePath()), std::string::npos) << message;
    EXPECT_NE(message.find(f.reason), std::string::npos) << message;
    EXPECT_NE(message.find("The customer list is not saved."), std::string::npos) << message;
    EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::RetryCancel);
    EXPECT_EQ(prompt.Asked()[1].text,
              "Close the customer list anyway? The changes that could not be saved will be lost.");
    ASSERT_TRUE(windows.Loaded<Customer>());
    EXPECT_EQ(Entries(c), (std::vector<std::string>{"Ann Cole", "Dana Reyes"}));
    EXPECT_EQ(c.list.NameOf(2), "Dana Reyes");
    // Mended, the next close writes the list.
    f.mend(FilePath());
    EXPECT_EQ(ReadFile(FilePath()), before);
    prompt.ClearAsked();
    c.Command3_Click(2);
    EXPECT_TRUE(prompt.Asked().empty());
    EXPECT_FALSE(windows.Loaded<Customer>());
    EXPECT_EQ(ReadBack().NameOf(2), "Dana Reyes");
  }
}

TEST_F(CustomerTest, RetryWritesAgainAndYesDropsTheChangesKnowingly) {
  WriteCustomers({{1, "Ann Cole", "1 Elm", ""}});
  const std::string before = ReadFile(FilePath());
  {
    // The first write fails, the retry succeeds.
    int failures = 1;
    files::SetWriteFaultForTesting([&failures](const std::string&) { return failures-- > 0; });
    Customer& c = Open();
    AddCustomer(c, "Dana Reyes");
    prompt.Answer(ui::Answer::Retry);
    c.Command3_Click(2);
    files::SetWriteFaultForTesting(nullptr);
    EXPECT_FALSE(windows.Loaded<Customer>());
    EXPECT_EQ(ReadBack().NameOf(2), "Dana Reyes");
  }
  std::filesystem::remove(FilePath());
  WriteCustomers({{1, "Ann Cole", "1 Elm", ""}});
  Customer& c = Open();
  AddCustomer(c, "Eve Hart");
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  prompt.Answer(ui::Answer::Cancel).Answer(ui::Answer::Yes);
  c.Command3_Click(2);
  files::SetWriteFaultForTesting(nullptr);
  EXPECT_FALSE(windows.Loaded<Customer>());
  EXPECT_EQ(ReadFile(FilePath()), before);  // the old file, untouched
}

TEST_F(CustomerTest, TheStartUpCostsWindowAndTheProgramsEndAskBeforeDroppingAFailedList) {
  for (const bool startUps : {true, false}) {
    SCOPED_TRACE(startUps ? "start-ups" : "end of program");
    std::filesystem::remove(FilePath());
    WriteCustomers({{1, "Ann Cole", "1 Elm", ""}});
    const std::string before = ReadFile(FilePath());
    Customer& c = Open();
    AddCustomer(c, "Dana Reyes");
    eng.WorksheetModified = 0;  // no worksheet question at the end
    files::SetWriteFaultForTesting([](const std::string&) { return true; });
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::Cancel).Answer(ui::Answer::No);
    if (startUps) {
      qv->Command1_Click(0);  // the start-up costs window does not open (no modal scripted)
    } else {
      int16_t cancel = 0;
      qv->Form_Unload(cancel);
      EXPECT_NE(cancel, 0);  // the program stays
    }
    files::SetWriteFaultForTesting(nullptr);
    ASSERT_EQ(prompt.Asked().size(), 2u);
    ASSERT_TRUE(windows.Loaded<Customer>());
    EXPECT_EQ(c.list.NameOf(2), "Dana Reyes");
    EXPECT_EQ(ReadFile(FilePath()), before);
    c.Command3_Click(2);
    EXPECT_EQ(ReadBack().NameOf(2), "Dana Reyes");
  }
}

TEST_F(CustomerTest, APageLoadShowsThePagesCustomer) {
  Customer& c = Open();
  AddCustomer(c, "Dana Reyes");
  c.Command3_Click(3);
  prompt.Answer(ui::Answer::OK);
  qv->Toolbar_ButtonClick(7);  // a new page: no customer
  EXPECT_EQ(Label25(), "");
  EXPECT_EQ(CustID(), "");
  ASSERT_TRUE(qv->ChoosePage(1));
  EXPECT_EQ(eng.page.CustomerID, 1);
  EXPECT_EQ(Label25(), "Dana Reyes");
  EXPECT_EQ(CustID(), " 1");
}

TEST_F(CustomerTest, ReportFieldsReadTheOpenWindowsListElseTheFile) {
  reports::ReportContext ctx(eng);
  ctx.sources.customers = CustomerListSource(windows);
  Customer& c = Open();
  AddCustomer(c, "Dana Reyes");
  TypeField(c, 1, "9 Pine St");
  c.Command3_Click(3);
  EXPECT_FALSE(std::filesystem::exists(FilePath()));  // not written yet: the window's list
  EXPECT_EQ(reports::ReportFieldValue(ctx, "Name"), "Dana Reyes");
  EXPECT_EQ(reports::ReportFieldValue(ctx, "Address"), "9 Pine St");
  // The main window's lease report reads the same open list.
  std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/data/Lease.rtf", folder + "Lease.rtf");
  eng.cfg.LeaseTemplatePath = folder + "Lease.rtf";
  eng.cfg.ReportViewer = "None";
  qv->GenerateReport(0);
  std::ifstream in(folder + "Lease.QVR", std::ios::binary);
  const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(report.find("Dana Reyes"), std::string::npos);
  EXPECT_NE(report.find("9 Pine St"), std::string::npos);
  c.Command3_Click(2);
  EXPECT_EQ(ctx.sources.customers(), nullptr);
  EXPECT_EQ(reports::ReportFieldValue(ctx, "Address"), "9 Pine St");  // from the file
}

}  // namespace
}  // namespace qv::test
