// The price-guide browser: list view, model view, standard-equipment view.
#include "pricing/Prices.h"

#include <QAction>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "owner/SharedState.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "pricing/GuideFiles.h"
#include "pricing/GuideLines.h"

namespace qv {

namespace {

constexpr int kHelpContext = 4;
// Heading rows and label rows: bold, blue (24-bit blue-green-red).
constexpr uint32_t kBlue = 0xFF0000;

grid::CellFont BoldBlue() {
  grid::CellFont f;
  f.bold = true;
  f.color = kBlue;
  return f;
}

// A header text for the grid's print: "&" of the text doubled, so only our codes act.
QString PrintHeader(const std::string& header) {
  // The header is "&C" followed by the text.
  QString text = Q(header.size() >= 2 ? header.substr(2) : std::string());
  text.replace('&', "&&");
  return "&C" + text;
}

}  // namespace

Prices::Prices(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Prices");
  Build();
  // The list view as the window is first loaded; the Print buttons hidden.
  SetView(View::List);
}

void Prices::Build() {
  setWindowTitle("Prices");
  auto* top = new QVBoxLayout(this);

  menuBar = new QMenuBar(this);
  mnuPrintMenu = menuBar->addMenu("&Print");
  mnuPageSetup = mnuPrintMenu->addAction("&Page Setup");
  top->setMenuBar(menuBar);
  mnuPrintMenu->menuAction()->setVisible(false);
  menuBar->setVisible(false);

  Label3 = new QLabel("Highlight Model then click OK.", this);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setTextFormat(Qt::PlainText);
  Label2 = new QLabel("Double-Click to Make Selection", this);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  Label1->setFont(fixed);
  top->addWidget(Label3);
  top->addWidget(Label1);
  top->addWidget(Label2);

  List1[0] = new QListWidget(this);
  List1[0]->setObjectName("List1");
  List1[0]->setFont(fixed);
  List1[0]->setSelectionMode(QAbstractItemView::SingleSelection);
  List1[0]->installEventFilter(this);
  top->addWidget(List1[0], 1);

  Price1 = new grid::GridWidget(this);
  Price1->setObjectName("Price1");
  Price1->setSheet(&Price1Data);
  Price1->setReadOnly(true);
  Price1->setRowHeadersVisible(false);
  Price1->setSelectRows(true);
  Price1->setColumnWidth(1, 380);
  Price1->setColumnWordWrap(1, true);  // a long type name goes over lines of its row
  Price1->setColumnWidth(2, 110);
  Price1->setColumnWidth(3, 110);
  Price1->setColumnAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  Price1->setColumnAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  Price1->setColumnHidden(4, true);  // the group name, kept for taking a type
  Price1->setColumnNumeric(2, false);
  Price1->setColumnNumeric(3, false);
  top->addWidget(Price1, 1);

  Price2 = new grid::GridWidget(this);
  Price2->setObjectName("Price2");
  Price2->setSheet(&Price2Data);
  Price2->setReadOnly(true);
  Price2->setRowHeadersVisible(false);
  Price2->setColumnHeadersVisible(false);
  Price2->setColumnWordWrap(1, true);
  Price2->setDisplayOnly();
  Price2->setColumnWidth(1, 640);
  top->addWidget(Price2, 1);

  auto* checks = new QHBoxLayout;
  const char* years[3] = {" 199&8 Models", " 199&9 Models", " 200&0 Models"};
  for (int i = 2; i >= 0; --i) {
    Check1[i] = new QCheckBox(years[i], this);
    Check1[i]->setObjectName(QString("Check1_%1").arg(i));
    checks->addWidget(Check1[i]);
    connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
  }
  checks->addStretch(1);
  top->addLayout(checks);

  auto* buttons = new QHBoxLayout;
  const char* captions[6] = {"&OK", "&Cancel", "&Standard Equipment", "&Help", "P&rint", "&Close"};
  for (int i = 0; i < 6; ++i) {
    Command1[i] = new QPushButton(captions[i], this);
    Command1[i]->setObjectName(QString("Command1_%1").arg(i));
    Command1[i]->setAutoDefault(false);
    buttons->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  buttons->addStretch(1);
  top->addLayout(buttons);

  connect(List1[0], &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
  connect(Price1, &grid::GridWidget::dblClick, this, [this](int, int) { Price1_DblClick(); });
  connect(Price1, &grid::GridWidget::keyPress, this, [this](int* ascii) { Price1_KeyPress(*ascii); });
  connect(mnuPageSetup, &QAction::triggered, this, [this] { mnuPageSetup_Click(); });
  resize(760, 520);
}

// ---------------------------------------------------------------------------------------
// Showing the window

int Prices::ShowModalFor(const std::string& classLetter) {
  if (classLetter != class_) {
    // The other guide: nothing shown of this one's vehicle lines is kept.
    class_ = classLetter;
    if (view_ == View::StandardEquipment) CloseStandardEquipment();
  }
  Form_Activate();
  return ui::ShowModalWindow(*this);
}

void Prices::Form_Activate() {
  if (view_ != View::StandardEquipment) ResetListView();
}

void Prices::SetView(View v) {
  view_ = v;
  const bool list = v == View::List;
  const bool model = v == View::Model;
  const bool equipment = v == View::StandardEquipment;
  Label3->setVisible(list);
  Label1->setVisible(!list);
  Label2->setVisible(model);
  List1[0]->setVisible(list);
  for (QCheckBox* c : Check1) c->setVisible(list);
  Price1->setVisible(model);
  Price2->setVisible(equipment);
  Command1[0]->setVisible(!equipment);
  Command1[1]->setVisible(!equipment);
  Command1[2]->setVisible(list);
  Command1[3]->setVisible(!equipment);
  Command1[4]->setVisible(equipment);
  Command1[5]->setVisible(equipment);
}

void Prices::ResetListView() {
  SetView(View::List);
  SharedState& shared = owner.Shared();
  shared.PageListBusy = true;
  List1[0]->setFocus();
  Check1[2]->setChecked(true);
  Check1[1]->setChecked(true);
  Check1[0]->setChecked(false);
  shared.PageListBusy = false;
  ShowManufacturers();
}

// ---------------------------------------------------------------------------------------
// The list view

pricing::PriceGuide Prices::Guide() const { return pricing::PriceGuide(eng.AppFolder, class_); }

void Prices::ShowError(const std::string& message) {
  ui::GetPrompt().MsgBox(message, ui::Buttons::OK, ui::Icon::Exclamation);
}

void Prices::Check1_Click(int Index) {
  if (Index < 0 || Index > 2) return;
  if (!owner.Shared().PageListBusy) ShowManufacturers();
}

void Prices::ShowManufacturers() {
  pricing::YearFilter filter;
  filter.y2000 = Check1[2]->isChecked();
  filter.y1999 = Check1[1]->isChecked();
  filter.y1998 = Check1[0]->isChecked();
  vehicles_ = Guide().ShowManufacturers(filter);
  QListWidget* list = List1[0];
  {
    QSignalBlocker block(list);
    list->clear();
    for (size_t i = 0; i < vehicles_.entries.size(); ++i) {
      auto* item = new QListWidgetItem(Q(pricing::GuideText(vehicles_.entries[i].text)), list);
      // The numbers travel beside the text: the index of the entry they belong to.
      item->setData(Qt::UserRole, static_cast<int>(i));
    }
    list->setCurrentRow(-1);
    list->clearSelection();
  }
  if (!vehicles_.error.empty()) ShowError(vehicles_.error);
}

void Prices::SelectVehicle(int i) {
  QListWidget* list = List1[0];
  if (i < 0 || i >= list->count()) {
    list->setCurrentRow(-1);
    list->clearSelection();
    return;
  }
  list->setCurrentRow(i);
  list->item(i)->setSelected(true);
}

int Prices::SelectedVehicle() const {
  const QListWidget* list = List1[0];
  const int row = list->currentRow();
  if (row < 0 || row >= list->count() || !list->item(row)->isSelected()) return -1;
  return row;
}

const pricing::VehicleLineEntry* Prices::SelectedEntry() const {
  const int row = SelectedVehicle();
  if (row < 0) return nullptr;
  const int at = List1[0]->item(row)->data(Qt::UserRole).toInt();
  if (at < 0 || at >= static_cast<int>(vehicles_.entries.size())) return nullptr;
  return &vehicles_.entries[static_cast<size_t>(at)];
}

void Prices::List1_DblClick() { OpenVehicleLine(); }

void Prices::List1_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    OpenVehicleLine();
    KeyAscii = 0;
    return;
  }
  if (KeyAscii <= 0 || KeyAscii > 255) return;
  // The entries' own bytes, which a key of the Latin range matches as the guide spells it.
  std::vector<std::string> texts;
  texts.reserve(vehicles_.entries.size());
  for (const pricing::VehicleLineEntry& e : vehicles_.entries) texts.push_back(e.text);
  const int to = pricing::TypeAheadIndex(texts, static_cast<char>(KeyAscii), SelectedVehicle());
  if (to >= 0 && to != SelectedVehicle()) SelectVehicle(to);
}

bool Prices::eventFilter(QObject* watched, QEvent* event) {
  if (watched == List1[0] && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    // With nothing selected, the first Up or Down selects the entry under the focus mark (the
    // list marks its first entry when it takes the focus) instead of moving past it.
    if ((k->key() == Qt::Key_Down || k->key() == Qt::Key_Up) && SelectedVehicle() < 0 && List1[0]->count() > 0) {
      SelectVehicle(std::max(0, List1[0]->currentRow()));
      return true;
    }
    const QString text = k->text();
    int ascii = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter ? 13 : text.isEmpty() ? 0 : text.at(0).unicode();
    if (ascii != 0) {
      List1_KeyPress(ascii);
      // Enter is taken; other keys go on to the list's own handling.
      if (ascii == 0) return true;
    }
  }
  return ui::QvDialog::eventFilter(watched, event);
}

void Prices::OpenVehicleLine() {
  const pricing::VehicleLineEntry* e = SelectedEntry();
  if (!e) {
    ui::GetPrompt().MsgBox("Vehicle Must Be Selected", ui::Buttons::OK);
    return;
  }
  open_ = *e;
  Label1->setText(Q(pricing::GuideText(open_.text)));
  ShowModels(open_.lineNumber);
  SetView(View::Model);
  Price1->setFocus();
}

// ---------------------------------------------------------------------------------------
// The model view

void Prices::FitLongNameRows() {
  // Only names wider than the column are measured and fitted: a grid can hold a million rows.
  QFont bold = Price1->font();
  bold.setBold(true);
  const QFontMetrics fm(bold);
  const int room = Price1->columnWidth(1) - 8;  // the cell's margins
  const int widest = std::max(1, fm.maxWidth());
  int row = 0;
  for (const pricing::ModelRow& r : models_.rows) {
    ++row;
    const std::string& name = r.name;
    if (static_cast<int>(name.size()) * widest <= room) continue;
    if (fm.horizontalAdvance(Q(pricing::GuideText(name))) <= room) continue;
    Price1->autoRowHeight(row);
  }
}

void Prices::ShowModels(int64_t lineNumber) {
  models_ = Guide().ShowModels(lineNumber);
  Price1Data.ClearAll();
  Price1Data.SetColText(1, " ");
  Price1Data.SetColText(2, "Invoice");
  Price1Data.SetColText(3, "MSRP");
  Price1Data.SetMaxCol(4);
  int row = 0;
  for (const pricing::ModelRow& r : models_.rows) {
    ++row;
    if (r.kind == pricing::ModelRow::Kind::Empty) continue;
    Price1Data.SetTextRC(row, 1, pricing::GuideText(r.name));
    if (!r.invoiceText.empty()) Price1Data.SetTextRC(row, 2, r.invoiceText);
    if (!r.msrpText.empty()) Price1Data.SetTextRC(row, 3, r.msrpText);
    if (!r.group.empty()) Price1Data.SetTextRC(row, 4, r.group);
    if (r.BoldBlue()) Price1Data.SetFontRC(row, 1, BoldBlue());
  }
  Price1Data.SetMaxRow(std::max(1, row));
  Price1Data.SetActiveCell(1, 1);
  Price1Data.SetSelection(1, 1, 1, 1);
  Price1->refresh();
  FitLongNameRows();
  Price1->setActiveCell(1, 1);
  if (!models_.error.empty()) ShowError(models_.error);
}

void Prices::Price1_DblClick() { TakeType(); }

void Prices::Price1_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) {
    KeyAscii = 0;
    Command1_Click(0);
  } else if (KeyAscii == 27) {
    KeyAscii = 0;
    BackToList();
  }
}

void Prices::BackToList() {
  SetView(View::List);
  List1[0]->setFocus();
}

void Prices::TakeType() {
  if (view_ != View::Model) return;
  const int row = Price1->activeRow();
  const pricing::TakeTypeResult r = pricing::TakeType(eng, class_, open_, models_, row);
  if (!r.taken) return;  // declined: the page and the window stay as they were
  // The page selector shows the vehicle as the current page's entry (a new page's too).
  owner.RefillPageSelector();
  accept();  // hidden, not unloaded
}

// ---------------------------------------------------------------------------------------
// Buttons

void Prices::Command1_Click(int Index) {
  switch (Index) {
    case 0:
      if (view_ == View::List) List1_DblClick();
      else TakeType();
      break;
    case 1:
      reject();  // hidden; nothing changes on the page
      break;
    case 2:
      ShowStandardEquipment();
      break;
    case 3:
      owner.ShowHelp(kHelpContext);
      break;
    case 4:
      // Printing ends quietly on any failure, a cancelled print dialog included.
      try {
        const std::optional<ui::PrintTarget> target = ui::GetPrompt().PrintDialog({"Standard Equipment", 1});
        if (!target) return;
        std::unique_ptr<QPrinter> printer = grid::GridWidget::printerFor(*target);
        Price2->print(*printer, PrintHeader(stdEquipHeader_), 1, 1, Price2Data.MaxRow(), 1);
      } catch (...) {
      }
      break;
    case 5:
      CloseStandardEquipment();
      break;
    default:
      break;
  }
}

void Prices::mnuPageSetup_Click() { ui::GetPrompt().PageSetupDialog(); }

// ---------------------------------------------------------------------------------------
// The standard-equipment view

void Prices::ShowStandardEquipment() {
  menuBar->setVisible(true);
  mnuPrintMenu->menuAction()->setVisible(true);
  const pricing::VehicleLineEntry* e = SelectedEntry();
  if (!e) {
    ui::GetPrompt().MsgBox("Model must be selected first.", ui::Buttons::OK);
    return;
  }
  open_ = *e;
  SetView(View::StandardEquipment);
  Label1->setText(Q(pricing::GuideText(open_.text)));

  std::string error;
  const std::optional<std::string> line = Guide().GetMajorSELine(static_cast<double>(open_.lineNumber), &error);
  const std::vector<pricing::StdEquipRow> rows =
      line ? pricing::LayoutStandardEquipment(*line) : std::vector<pricing::StdEquipRow>{};
  Price2Data.ClearAll();
  Price2Data.SetMaxCol(1);
  int r = 0;
  for (const pricing::StdEquipRow& row : rows) {
    ++r;
    // Line breaks inside an item show as new lines of its row.
    Price2Data.SetTextRC(r, 1, pricing::GuideText(row.text));
    if (row.boldBlue) Price2Data.SetFontRC(r, 1, BoldBlue());
  }
  Price2Data.SetMaxRow(r + 1);  // one empty row at the end
  Price2Data.SetActiveCell(1, 1);
  Price2->refresh();
  Price2->setColumnWidth(1, std::max(300, Price2->width() - 24));
  for (int i = 1; i <= r + 1; ++i) Price2->autoRowHeight(i);
  // Nothing of this display is selected, so the active row keeps its own colour (a
  // selected cell is drawn in the selection's text colour).
  Price2->view()->selectionModel()->clearSelection();
  Price2->setFocus();
  stdEquipHeader_ = pricing::StdEquipPrintHeader(open_.text);
  if (!error.empty()) ShowError(error);
}

void Prices::CloseStandardEquipment() {
  mnuPrintMenu->menuAction()->setVisible(false);
  menuBar->setVisible(false);
  SetView(View::List);
  List1[0]->setFocus();
}

}  // namespace qv
