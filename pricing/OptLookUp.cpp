// The option window: the option grid, selecting and un-selecting, standard equipment,
// copy, print and page setup.
#include "pricing/OptLookUp.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/Runtime.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "pricing/GuideFiles.h"
#include "pricing/StdEquip.h"

namespace qv {

namespace {

constexpr uint32_t kBlue = 0xFF0000;  // blue-green-red

}  // namespace

OptLookUp::OptLookUp(Engine& engine, Owner& theOwner)
    : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("OptLookUp");
  Build();
  Form_Load();
}

void OptLookUp::Build() {
  setWindowTitle("Option Data");
  auto* top = new QVBoxLayout(this);
  menuBar = new QMenuBar(this);
  mnuEdit = menuBar->addMenu("&Edit");
  mnuCopy = mnuEdit->addAction("&Copy Text");
  mnuPrint = menuBar->addMenu("&Print");
  mnuPageSetup = mnuPrint->addAction("Page &Setup");
  top->setMenuBar(menuBar);

  lblCarname = new QLabel(this);
  lblCarname->setObjectName("lblCarname");
  lblCarname->setTextFormat(Qt::PlainText);
  QFont bold = lblCarname->font();
  bold.setBold(true);
  lblCarname->setFont(bold);
  top->addWidget(lblCarname);

  OptionLookUp = new grid::GridWidget(this);
  OptionLookUp->setObjectName("OptionLookUp");
  OptionLookUp->setSheet(&OptionLookUpData);
  OptionLookUp->setReadOnly(true);
  OptionLookUp->setRowHeadersVisible(false);
  OptionLookUp->setColumnWidth(1, 130);
  OptionLookUp->setColumnWidth(2, 420);
  OptionLookUp->setColumnWidth(3, 80);
  OptionLookUp->setColumnWidth(4, 80);
  OptionLookUp->setColumnWordWrap(2, true);
  OptionLookUp->setColumnAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  OptionLookUp->setColumnAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
  OptionLookUp->setColumnHidden(5, true);  // the "Options" sheet row of a marked option
  top->addWidget(OptionLookUp, 1);

  auto* buttons = new QHBoxLayout;
  const char* captions[5] = {"&Select", "&Close", "&Un-Select", "Std E&quip", " Print &All Options"};
  for (int i : {0, 2, 3, 4, 1}) {
    Command1[i] = new QPushButton(captions[i], this);
    Command1[i]->setObjectName(QString("Command1_%1").arg(i));
    Command1[i]->setAutoDefault(false);
    buttons->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  buttons->insertStretch(4, 1);
  top->addLayout(buttons);

  connect(OptionLookUp, &grid::GridWidget::click, this, [this](int r, int c) { OptionLookUp_Click(r, c); });
  connect(OptionLookUp, &grid::GridWidget::dblClick, this, [this](int r, int c) { OptionLookUp_DblClick(r, c); });
  connect(OptionLookUp, &grid::GridWidget::keyUp, this, [this](int key, Qt::KeyboardModifiers m) {
    const int code = key == Qt::Key_Up ? 38 : key == Qt::Key_Down ? 40 : VbKeyCode(key);
    OptionLookUp_KeyUp(code, static_cast<int>(m));
  });
  connect(mnuCopy, &QAction::triggered, this, [this] { mnuCopy_Click(); });
  connect(mnuPageSetup, &QAction::triggered, this, [this] { mnuPageSetup_Click(); });
  resize(780, 540);
}

// ---------------------------------------------------------------------------------------
// Opening and closing

void OptLookUp::Form_Load() {
  const std::string label = pricing::OptionWindowLabel(eng.page.CarName);
  lblCarname->setText(Q(label));
  Command1[3]->setEnabled(pricing::StdEquipEnabled(label));
  LoadOptions();
  MarkChosenOptions();
  printHeader_ = "&C" + label;
  SetButtons(OptionLookUp->activeRow());
  if (!grid_.error.empty()) ui::GetPrompt().MsgBox(grid_.error, ui::Buttons::OK, ui::Icon::Exclamation);
}

void OptLookUp::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  // At the end of the program the page is not recomputed for a main window that is going.
  if (!owner.OwnerAlive()) return;
  pricing::FinishOptionLookup(eng, [this] { hide(); });
}

void OptLookUp::UnloadDuties() { Form_Unload(); }

void OptLookUp::closeEvent(QCloseEvent* e) {
  Form_Unload();
  e->accept();
}

// ---------------------------------------------------------------------------------------
// The grid

void OptLookUp::ShowRow(int row) {
  if (row < 1 || row > static_cast<int>(grid_.rows.size())) return;
  const pricing::OptionRow& r = grid_.rows[static_cast<size_t>(row - 1)];
  grid::Sheet& s = OptionLookUpData;
  s.SetTextRC(row, 1, r.mark);
  if (r.kind == pricing::OptionRow::Kind::Heading) {
    grid::CellFont f;
    f.bold = true;
    f.color = kBlue;
    s.SetFontRC(row, 1, f);
  }
  s.SetTextRC(row, 2, pricing::GuideText(r.description));
  s.SetTextRC(row, 3, r.invoiceText);
  s.SetTextRC(row, 4, r.msrpText);
  if (r.Marked()) s.SetNumberRC(row, 5, r.sheetRow);
  else s.SetTextRC(row, 5, "");
}

void OptLookUp::LoadOptions() {
  grid_ = pricing::LoadOptions(eng.AppFolder, eng.page.CT, eng.page.MfgNum);
  grid::Sheet& s = OptionLookUpData;
  s.ClearAll();
  s.SetColText(1, " ");
  s.SetColText(2, "Option");
  s.SetColText(3, "Invoice");
  s.SetColText(4, "MSRP");
  s.SetMaxCol(5);
  const int rows = static_cast<int>(grid_.rows.size());
  for (int r = 1; r <= rows; ++r) ShowRow(r);
  // One empty row after the last, as the model grid has.
  s.SetMaxRow(rows + 1);
  s.SetActiveCell(1, 1);
  s.SetSelection(1, 1, 1, 1);
  OptionLookUp->refresh();
  OptionLookUp->setActiveCell(1, 1);
  for (int r = 1; r <= rows + 1; ++r) OptionLookUp->autoRowHeight(r);
}

void OptLookUp::MarkChosenOptions() {
  pricing::MarkChosenOptions(grid_, eng.OptionList);
  for (int r = 1; r <= static_cast<int>(grid_.rows.size()); ++r) ShowRow(r);
}

void OptLookUp::SelectOpt(int row) {
  if (!pricing::SelectOpt(eng, grid_, row)) return;
  ShowRow(row);
  // The view is told of the changed mark, so it draws it now.
  OptionLookUp->refresh();
  SetButtons(row);
}

void OptLookUp::UnSelectOpt(int row) {
  if (!pricing::UnSelectOpt(eng, grid_, row)) return;
  // The remembered sheet rows of the options below moved up with their rows.
  for (int r = 1; r <= static_cast<int>(grid_.rows.size()); ++r) ShowRow(r);
  OptionLookUp->refresh();
  SetButtons(row);
}

void OptLookUp::SetButtons(int row) {
  const pricing::OptionButtons b = pricing::ButtonsForRow(grid_, row);
  Command1[0]->setEnabled(b.select);
  Command1[2]->setEnabled(b.unSelect);
}

// ---------------------------------------------------------------------------------------
// Handlers

void OptLookUp::Command1_Click(int Index) {
  const int row = OptionLookUp->activeRow();
  switch (Index) {
    case 0:
      SelectOpt(row);
      break;
    case 1:
      close();
      return;
    case 2:
      UnSelectOpt(row);
      break;
    case 3:
      if (Trim(S(lblCarname->text())).find(':') == std::string::npos) {
        ui::GetPrompt().MsgBox("Cannot Identify Model Group", ui::Buttons::OK);
      } else {
        owner.Windows().ShowModalAndUnload<StdEquip>();
      }
      break;
    case 4:
      // Printing ends quietly on any failure, a cancelled print dialog included.
      try {
        const std::optional<ui::PrintTarget> target = ui::GetPrompt().PrintDialog({"Option Data", 1});
        if (target) {
          std::unique_ptr<QPrinter> printer = grid::GridWidget::printerFor(*target);
          QString header = Q(printHeader_.substr(2));
          header.replace('&', "&&");
          OptionLookUp->print(*printer, "&C" + header, 1, 1, OptionLookUpData.MaxRow(), 4);
        }
      } catch (...) {
      }
      break;
    default:
      return;
  }
  OptionLookUp->setFocus();
}

void OptLookUp::OptionLookUp_Click(int row, int col) {
  if (row == 0) {
    Command1[0]->setEnabled(false);
    Command1[2]->setEnabled(false);
    return;
  }
  SetButtons(row);
}

void OptLookUp::OptionLookUp_DblClick(int row, int col) {
  if (row < 1 || row > static_cast<int>(grid_.rows.size())) return;
  if (grid_.rows[static_cast<size_t>(row - 1)].Marked()) UnSelectOpt(row);
  else SelectOpt(row);
}

void OptLookUp::OptionLookUp_KeyUp(int KeyCode, int Shift) {
  if (KeyCode == 38 || KeyCode == 40) SetButtons(OptionLookUp->activeRow());
}

void OptLookUp::mnuCopy_Click() { OptionLookUp->copyToClipboard(); }

void OptLookUp::mnuPageSetup_Click() { ui::GetPrompt().PageSetupDialog(); }

}  // namespace qv
