#include "reports/Customer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <vector>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "owner/Owner.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"

namespace qv {

using reports::CustomerList;

namespace {

constexpr const char* kInvalidDate = "Invalid date format.";
constexpr const char* kEmptyName = "A customer's name cannot be empty.";
constexpr const char* kReadOnly =
    "The customer window is read-only: no customer can be added, changed or deleted until the file is mended.";
constexpr const char* kNotWritten =
    "The customer list is not saved. Retry writes it again; Cancel keeps the window open with its list.";
constexpr const char* kDropChanges =
    "Close the customer list anyway? The changes that could not be saved will be lost.";

std::string DuplicateName(const std::string& name) {
  return "Another customer is already named " + name + ". Add this one as well?";
}

bool Blank(const std::string& s) { return Trim(s).empty(); }

// A row that holds a customer: it has a number or a name (the empty row of an empty list
// has neither).
bool IsCustomerRow(const CustomerList& list, int row) {
  return row >= 1 && row <= list.RowCount() && !(Blank(list.IdText(row)) && Blank(list.NameOf(row)));
}

}  // namespace

Customer::Customer(Engine& engine, Owner& theOwner)
    : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Customer");
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  Build();
  Form_Load();
}

Customer::~Customer() {
  ui::ReleaseEntryBoxFilters(this);
  // Unloaded without a close (by the owner, or the program ends): the list is written now.
  Form_Unload();
  // The grid shows the list's workbook: it goes first, before the list it reads (child
  // widgets are deleted only after the members).
  delete F1Book1;
  F1Book1 = nullptr;
}

Customer& Customer::ShowModeless(WindowSet& windows) {
  Customer& c = windows.Get<Customer>();
  c.show();
  c.setWindowState(Qt::WindowNoState);
  c.raise();
  c.activateWindow();
  return c;
}

// ---------------------------------------------------------------------------------------
// Layout: a dense form, the buttons on the right, the whole list in the grid below.

void Customer::Build() {
  setWindowTitle("Customers");
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(8, 8, 8, 8);
  top->setSpacing(6);
  auto* upper = new QHBoxLayout;
  upper->setSpacing(10);
  top->addLayout(upper);

  auto* form = new QGridLayout;
  form->setHorizontalSpacing(6);
  form->setVerticalSpacing(4);
  upper->addLayout(form, 1);

  const char* captions[7] = {"Name:", "Address:", "Day-Time Phone:", "Evening Phone:", "Customer Number:",
                             "Notes:", "Date:"};
  for (int i = 0; i < 7; ++i) {
    Label24[i] = new QLabel(captions[i], this);
    Label24[i]->setObjectName(QString("Label24_%1").arg(i));
    Label24[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  for (int k = 1; k <= 8; ++k) {
    Text4[k] = new QLineEdit(this);
    Text4[k]->setObjectName(QString("Text4_%1").arg(k));
  }
  Text4[2]->setPlaceholderText("City");
  Text4[3]->setPlaceholderText("State");
  Text4[4]->setPlaceholderText("Zip");
  Text4[3]->setMaxLength(20);
  Text4[3]->setFixedWidth(52);
  Text4[4]->setFixedWidth(80);
  Text4[8]->setFixedWidth(96);

  Combo1 = new QComboBox(this);
  Combo1->setObjectName("Combo1");
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setCompleter(nullptr);
  Combo1->setMinimumWidth(220);
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setFrameShape(QFrame::Panel);
  Label2->setFrameShadow(QFrame::Sunken);
  Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2->setFixedWidth(90);

  // Label and box pairs in two columns: name and number; the address block over the whole
  // width; the two phones; notes; the contact date.
  form->addWidget(Label24[0], 0, 0);
  form->addWidget(Combo1, 0, 1);
  form->addWidget(Label24[4], 0, 2);
  form->addWidget(Label2, 0, 3, Qt::AlignLeft);
  form->addWidget(Label24[1], 1, 0);
  form->addWidget(Text4[1], 1, 1, 1, 3);
  auto* cityRow = new QHBoxLayout;
  cityRow->setSpacing(6);
  cityRow->addWidget(Text4[2], 1);
  cityRow->addWidget(Text4[3]);
  cityRow->addWidget(Text4[4]);
  form->addLayout(cityRow, 2, 1, 1, 3);
  form->addWidget(Label24[2], 3, 0);
  form->addWidget(Text4[5], 3, 1);
  form->addWidget(Label24[3], 3, 2);
  form->addWidget(Text4[6], 3, 3);
  form->addWidget(Label24[5], 4, 0);
  form->addWidget(Text4[7], 4, 1, 1, 3);
  form->addWidget(Label24[6], 5, 0);
  form->addWidget(Text4[8], 5, 1, Qt::AlignLeft);
  Text4[6]->setMinimumWidth(130);
  form->setColumnStretch(1, 3);
  form->setColumnStretch(3, 2);

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(4);
  upper->addLayout(buttons);
  const std::array<const char*, 6> texts = {" &New", " &Delete", " &Close", " &Attach to Worksheet", nullptr,
                                            "&Un-Attach"};
  for (int i : {0, 1, 3, 5, 2}) {
    Command3[i] = new QPushButton(texts[i], this);
    Command3[i]->setObjectName(QString("Command3_%1").arg(i));
    Command3[i]->setAutoDefault(false);
    buttons->addWidget(Command3[i]);
    if (i == 5) buttons->addStretch(1);
    connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
  }

  F1Book1 = new grid::GridWidget(this);
  F1Book1->setObjectName("F1Book1");
  F1Book1->setWorkbook(&list.BookForView(), 1);
  F1Book1->setReadOnly(true);
  F1Book1->setSelectRows(true);
  F1Book1->setRowHeadersVisible(false);
  F1Book1->setColumnHidden(reports::kColFax, true);  // kept in the file, not shown
  const int widths[] = {0, 36, 120, 132, 86, 38, 50, 104, 104, 170, 76};
  for (int c = reports::kColID; c < reports::kColFax; ++c) F1Book1->setColumnWidth(c, widths[c]);
  F1Book1->setColumnAlignment(reports::kColID, Qt::AlignRight | Qt::AlignVCenter);
  F1Book1->setMinimumHeight(110);
  top->addWidget(F1Book1, 1);
  // A click on a customer in the grid chooses it as the name list does.
  connect(F1Book1, &grid::GridWidget::click, this, [this](int row, int) {
    if (row >= 1 && row <= Combo1->count()) SelectEntry(row - 1);
  });

  auto* comboFilter = new ui::EntryBoxFilter(
      this, [this] { Combo1_GotFocus(); }, [this] { Combo1_LostFocus(); }, [this](int& k) { Combo1_KeyPress(k); });
  Combo1->installEventFilter(comboFilter);
  if (Combo1->lineEdit()) Combo1->lineEdit()->installEventFilter(comboFilter);
  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  for (int k = 1; k <= 8; ++k)
    ui::WatchEntryBox(
        this, Text4[k], nullptr, [this, k] { Text4_LostFocus(k); }, [this, k](int& a) { Text4_KeyPress(k, a); });
  // Tab goes down the form as it reads, from the name through the eight boxes, then to the
  // buttons and the list. (The boxes are made before the name box, and the buttons would
  // otherwise come straight after it: an address typed after Tab pressed New at its first
  // space.)
  std::vector<QWidget*> order{Combo1};
  for (int k = 1; k <= 8; ++k) order.push_back(Text4[k]);
  for (int i : {0, 1, 3, 5, 2}) order.push_back(Command3[i]);
  order.push_back(F1Book1);
  for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  resize(760, 330);
}

// ---------------------------------------------------------------------------------------
// Loading and the name list

void Customer::Form_Load() {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  std::string error;
  readOnly_ = list.Load(eng.AppFolder, error) == CustomerList::LoadResult::Damaged;
  if (readOnly_) {
    ui::GetPrompt().MsgBox(error + "\r\n\r\n" + kReadOnly, ui::Buttons::OK, ui::Icon::Exclamation);
    setWindowTitle("Customers (read-only)");
    if (Combo1->lineEdit()) Combo1->lineEdit()->setReadOnly(true);
  }
  F1Book1->refresh();
  FillCombo();

  const std::string attached = owner.CustomerNameText();
  if (attached.empty()) {
    SelectEntry(0);
    return;
  }
  Combo1->setEditText(Q(attached));
  // The page's own customer when its row still carries the attached name (two customers
  // of one name are told apart by number); else the first entry of that name.
  int index = -1;
  const int byId = list.FindById(eng.page.CustomerID);
  if (byId >= 1 && byId <= list.RowCount() && list.NameOf(byId) == attached) index = byId - 1;
  if (index < 0) index = list.FindEntry(attached);
  if (index >= 0) {
    SelectEntry(index);
    return;
  }
  show();
  ui::GetPrompt().MsgBox(attached + " not found.");
  SelectEntry(0);
}

void Customer::FillCombo() {
  QSignalBlocker block(Combo1);
  Combo1->clear();
  for (const CustomerList::Entry& e : list.NameEntries()) Combo1->addItem(Q(e.text), e.row);
}

void Customer::fillcustomers(int row) {
  const CustomerList::Shown s = list.ShownFields(row);
  Label2->setText(Q(s.idText));
  for (int k = 1; k <= 8; ++k) Text4[k]->setText(Q(s.text4[k]));
  F1Book1->refresh();
  F1Book1->setActiveCell(row, reports::kColID);
  F1Book1->setSelection(row, 1, row, reports::kColContactDate);
}

int Customer::SelectedRow() const {
  const int i = Combo1->currentIndex();
  return i < 0 ? 0 : Combo1->itemData(i).toInt();
}

void Customer::SelectEntry(int index) {
  if (index < 0 || index >= Combo1->count()) return;
  {
    QSignalBlocker block(Combo1);
    Combo1->setCurrentIndex(index);
    // An editable box keeps a typed text when the index does not change.
    Combo1->setEditText(Combo1->itemText(index));
  }
  Combo1_Click();
}

std::string Customer::BoxText() const { return S(Combo1->currentText()); }

void Customer::RestoreName() {
  QSignalBlocker block(Combo1);
  Combo1->setEditText(Q(rememberedName_));
}

void Customer::UpdateControls() {
  const int row = SelectedRow();
  const bool customer = IsCustomerRow(list, row);
  const bool attached = customer && reports::IsAttachedRow(eng, list, row);
  Command3[0]->setEnabled(!readOnly_);
  Command3[1]->setEnabled(customer && !readOnly_);
  Command3[3]->setEnabled(customer && !attached);
  Command3[5]->setEnabled(attached);
  for (int k = 1; k <= 8; ++k) Text4[k]->setEnabled(customer && !readOnly_);
}

// ---------------------------------------------------------------------------------------
// Events of the name box

void Customer::Combo1_Click() {
  rememberedName_ = BoxText();
  rememberedIndex_ = Combo1->currentIndex();
  // The entry's own row (its item data), so that two customers of one name are each
  // shown and edited as themselves.
  const int row = SelectedRow();
  if (row < 1 || row > list.RowCount()) return;
  fillcustomers(row);
  UpdateControls();
}

void Customer::Combo1_GotFocus() {
  if (Combo1->currentIndex() == -1) return;
  rememberedName_ = BoxText();
  rememberedIndex_ = Combo1->currentIndex();
}

void Customer::Combo1_LostFocus() {
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered() || unloaded_) return;
  const std::string text = BoxText();
  if (text == rememberedName_) return;
  if (readOnly_) {
    RestoreName();
    return;
  }
  const int row = rememberedIndex_ >= 0 && rememberedIndex_ < Combo1->count()
                      ? Combo1->itemData(rememberedIndex_).toInt()
                      : 0;
  if (row < 1 || row > list.RowCount()) {
    RestoreName();
    return;
  }
  // A customer keeps a name; two customers may share one (they are told apart by number).
  if (Blank(text)) {
    ui::GetPrompt().MsgBox(kEmptyName, ui::Buttons::OK, ui::Icon::Exclamation);
    RestoreName();
    return;
  }
  if (!rememberedName_.empty() &&
      ui::GetPrompt().MsgBox("Change Name to: " + text + "?", ui::Buttons::OKCancel) != ui::Answer::OK) {
    RestoreName();
    return;
  }
  list.Rename(row, text);
  FillCombo();
  SelectEntry(0);
}

void Customer::Combo1_KeyPress(int& KeyAscii) {
  // Enter goes on to the address; the key itself is passed on.
  if (KeyAscii == 13) Text4[1]->setFocus();
}

// ---------------------------------------------------------------------------------------
// The field boxes

void Customer::Text4_LostFocus(int Index) {
  if (Index < 1 || Index > 8 || unloaded_ || readOnly_) return;
  const int row = SelectedRow();
  if (!IsCustomerRow(list, row)) return;
  std::string text = S(Text4[Index]->text());
  if (Index == reports::kColContactDate - 2) {
    const std::optional<std::string> date = reports::ContactDateText(text, Today());
    if (!date) {
      ui::GetPrompt().MsgBox(kInvalidDate);
      Text4[Index]->setFocus();
      return;
    }
    text = *date;
    Text4[Index]->setText(Q(text));
  }
  if (text == list.Cell(row, Index + 2)) return;
  list.SetField(row, Index, text);
  F1Book1->refresh();
}

void Customer::Text4_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  if (Index >= 1 && Index <= 6) Text4[Index + 1]->setFocus();
  else if (Index == 7) Command3[2]->setFocus();
  else if (Index == 8) Combo1->setFocus();
}

// ---------------------------------------------------------------------------------------
// The buttons

void Customer::Command3_Click(int Index) {
  switch (Index) {
    case 0: NewCustomer(); return;
    case 1: DeleteCustomer(); return;
    case 2: close(); return;
    case 3: Attach(); return;
    case 5: UnAttach(); return;
    default: return;
  }
}

void Customer::NewCustomer() {
  if (readOnly_) return;
  // The name is asked first: a cancelled question leaves no numbered row without a name.
  const std::optional<std::string> answer = ui::GetPrompt().InputBox("Enter Name of New Customer:");
  if (!answer || answer->empty()) return;
  // Dealerships do have two John Smiths: a name already used is asked about once.
  if (list.FindEntry(*answer) >= 0 &&
      ui::GetPrompt().MsgBox(DuplicateName(*answer), ui::Buttons::OKCancel, ui::Icon::Question) != ui::Answer::OK)
    return;
  Combo1->setFocus();
  const int row = list.AddCustomer(*answer, Today());
  FillCombo();
  SelectEntry(row - 1);
}

void Customer::DeleteCustomer() {
  const int row = SelectedRow();
  if (!IsCustomerRow(list, row) || readOnly_) return;
  if (ui::GetPrompt().MsgBox("Delete: " + BoxText() + "?", ui::Buttons::OKCancel) != ui::Answer::OK) return;
  if (reports::IsAttachedRow(eng, list, row)) UnAttach();
  list.DeleteCustomer(row);
  FillCombo();
  SelectEntry(0);
}

void Customer::Attach() {
  const int row = SelectedRow();
  if (!IsCustomerRow(list, row) || Blank(list.IdText(row))) return;
  reports::AttachCustomer(eng, list, row);
  owner.ShowCustomerLabels();
  UpdateControls();
}

void Customer::UnAttach() {
  if (eng.page.CustomerID != 0 || !eng.page.CustomerName.empty() || !eng.Label25Caption.empty()) {
    reports::UnAttachCustomer(eng);
    owner.ShowCustomerLabels();
  }
  UpdateControls();
}

// ---------------------------------------------------------------------------------------
// Unloading

void Customer::CommitFocusedField() {
  // A field box left by closing the window keeps what was typed into it.
  for (int k = 1; k <= 8; ++k)
    if (Text4[k] && Text4[k]->hasFocus()) Text4_LostFocus(k);
}

bool Customer::WriteBack() {
  if (unloaded_ || dropped_) return true;
  CommitFocusedField();
  // Nothing changed: nothing to write. A damaged file was reported at load and is kept.
  if (!list.Modified() || !list.CanSave()) return true;
  for (;;) {
    std::string error;
    if (list.Save(error)) return true;
    if (ui::GetPrompt().MsgBox(error + "\r\n\r\n" + kNotWritten, ui::Buttons::RetryCancel, ui::Icon::Exclamation) ==
        ui::Answer::Retry)
      continue;
    if (ui::GetPrompt().MsgBox(kDropChanges, ui::Buttons::YesNo, ui::Icon::Question) != ui::Answer::Yes) {
      show();
      raise();
      return false;
    }
    dropped_ = true;
    return true;
  }
}

void Customer::Form_Unload() {
  if (unloaded_) return;
  CommitFocusedField();
  unloaded_ = true;
  // Unloaded without the question (the set of windows goes): one last write, reported when
  // it fails.
  if (dropped_ || !list.Modified() || !list.CanSave()) return;
  std::string error;
  if (!list.Save(error)) ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
}

void Customer::closeEvent(QCloseEvent* e) {
  if (!WriteBack()) {
    e->ignore();
    return;
  }
  Form_Unload();
  e->accept();
}

void Customer::reject() { close(); }

std::function<const reports::CustomerList*()> CustomerListSource(WindowSet& windows) {
  return [&windows]() -> const reports::CustomerList* {
    Customer* c = windows.IfLoaded<Customer>();
    return c ? &c->list : nullptr;
  };
}

}  // namespace qv
