// The payment tables window: margin range, four column sets, the table grid, copy, print
// and page setup.
#include "dialogs/Tables.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "engine/NumText.h"
#include "owner/FiniteEntry.h"
#include "engine/PaymentTable.h"
#include "engine/Runtime.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


constexpr const char* kMonths = "##;; ";
constexpr const char* kFactor = "0.000000;; ";
constexpr const char* kResidual = "$#,###.00;; ";
constexpr const char* kPercent = "##.0%;; ";

// Which box an event belongs to: kind 0 margin, 1 months, 2 factor, 3 residual.
constexpr const char* kKind = "qvTableBox";
constexpr const char* kIndex = "qvTableIndex";

}  // namespace


Tables::Tables(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Tables");
  setAttribute(Qt::WA_DeleteOnClose);
  Build();
  Form_Load();
}

Tables::~Tables() {
  // Destroyed with its parent at the end of the program: nothing left to put back. The
  // boxes lose the focus while they go: no entry rule may run then.
  unloaded_ = true;
  for (auto* boxes : {&txtMonths, &txtFactor, &txtResidual})
    for (QLineEdit* b : *boxes) b->removeEventFilter(this);
  for (QLineEdit* b : txtMargin) b->removeEventFilter(this);
  // The grid outlives the sheet it shows (a shown dialog hides its children last).
  TablesSheet->setSheet(nullptr);
}

QLineEdit* Tables::MakeBox(const char* name) {
  auto* e = new QLineEdit(this);
  e->setObjectName(name);
  e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  e->setMinimumWidth(84);
  e->installEventFilter(this);
  return e;
}

void Tables::Build() {
  setWindowTitle("Payment Tables");
  setSizeGripEnabled(true);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 4, 6, 6);
  top->setSpacing(6);

  menuBar = new QMenuBar(this);
  mnuEdit = menuBar->addMenu("&Edit");
  mnuCopy = mnuEdit->addAction("&Copy Table");
  mnuPrint = menuBar->addMenu("&Print");
  mnuPageSetup = mnuPrint->addAction("Page &Setup");
  mnuPrintTable = mnuPrint->addAction("&Print Table");
  mnuReport = menuBar->addMenu("&Report");
  mnuViewReport = mnuReport->addAction("&View Report");
  top->setMenuBar(menuBar);

  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  top->addWidget(Label1);

  auto* inputs = new QHBoxLayout;
  inputs->setSpacing(8);
  auto* margins = new QGridLayout;
  margins->setVerticalSpacing(4);
  const char* marginCaptions[3] = {"Starting Margin:", "Ending Margin:", "Step Size:"};
  for (int i = 0; i < 3; ++i) {
    txtMargin[i] = MakeBox(("txtMargin" + std::to_string(i)).c_str());
    txtMargin[i]->setProperty(kKind, 0);
    txtMargin[i]->setProperty(kIndex, i);
    margins->addWidget(new QLabel(marginCaptions[i], this), i, 0);
    margins->addWidget(txtMargin[i], i, 1);
  }
  chkTax = new QCheckBox("Include Sales Tax", this);
  chkTax->setObjectName("chkTax");
  margins->addWidget(chkTax, 3, 0, 1, 2);
  margins->setRowStretch(4, 1);
  inputs->addLayout(margins);

  for (int i = 0; i < 4; ++i) {
    Frame[i] = new QGroupBox(Q("Column " + std::to_string(i + 1)), this);
    auto* g = new QGridLayout(Frame[i]);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(3);
    txtMonths[i] = MakeBox(("txtMonths" + std::to_string(i)).c_str());
    txtFactor[i] = MakeBox(("txtFactor" + std::to_string(i)).c_str());
    txtResidual[i] = MakeBox(("txtResidual" + std::to_string(i)).c_str());
    QLineEdit* boxes[3] = {txtMonths[i], txtFactor[i], txtResidual[i]};
    const char* captions[3] = {"Months", "Factor", "Residual"};
    for (int k = 0; k < 3; ++k) {
      boxes[k]->setProperty(kKind, k + 1);
      boxes[k]->setProperty(kIndex, i);
      g->addWidget(new QLabel(captions[k], Frame[i]), k, 0);
      g->addWidget(boxes[k], k, 1);
    }
    lblRes[i] = new QLabel(Frame[i]);
    lblRes[i]->setObjectName(Q("lblRes" + std::to_string(i)));
    lblRes[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(lblRes[i], 3, 1);
    inputs->addWidget(Frame[i]);
  }
  inputs->addStretch(1);
  top->addLayout(inputs);

  TablesSheetData.SetName("TablesSheet");
  for (int c = 1; c <= 6; ++c) TablesSheetData.SetColText(c, DefaultTableHeading(c));
  TablesSheetData.SetMaxCol(6);
  TablesSheet = new grid::GridWidget(this);
  TablesSheet->setObjectName("TablesSheet");
  TablesSheet->setSheet(&TablesSheetData);
  TablesSheet->setReadOnly(true);
  TablesSheet->setRowHeadersVisible(false);
  TablesSheet->setColumnFormatter(1, [](double v) { return Format(v, "#,##0"); });
  TablesSheet->setColumnFormatter(2, [](double v) { return Format(v, "#,##0.00"); });
  for (int c = 3; c <= 6; ++c) TablesSheet->setColumnFormatter(c, [](double v) { return Format(v, "#,##0.00"); });
  for (int c = 1; c <= 6; ++c) {
    TablesSheet->setColumnWidth(c, c <= 2 ? 90 : 110);
    TablesSheet->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  }
  top->addWidget(TablesSheet, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1[1] = new QPushButton("Print &Table", this);
  Command1[0] = new QPushButton("&Close", this);
  for (QPushButton* b : {Command1[1], Command1[0]}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  top->addLayout(buttons);

  connect(chkTax, &QCheckBox::clicked, this, [this] { chkTax_Click(); });
  for (int i = 0; i < 2; ++i) connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  connect(mnuCopy, &QAction::triggered, this, [this] { mnuCopy_Click(); });
  connect(mnuPageSetup, &QAction::triggered, this, [this] { mnuPageSetup_Click(); });
  connect(mnuPrintTable, &QAction::triggered, this, [this] { mnuPrintTable_Click(); });
  connect(mnuViewReport, &QAction::triggered, this, [this] { mnuViewReport_Click(); });
  resize(780, 560);
}

// ---------------------------------------------------------------------------------------
// Opening and closing

void Tables::Form_Load() {
  tablePage_ = eng.CurrentPage;
  Label1->setText(Q(eng.page.CarName));
  if (eng.tax.TaxMethod != 0) chkTax->setEnabled(false);

  eng.TableMarginStart = 0;
  eng.TableMarginEnd = eng.res.PurchPrice * 0.1;
  eng.TableMarginStep = 50;
  eng.UnpackRateTable();

  // The page's own deal goes into the set of its term when that set is still empty.
  const double months = eng.page.Months;
  const int set = months == 24 ? 1 : months == 36 ? 2 : months == 48 ? 3 : months == 60 ? 4 : 1;
  if (static_cast<double>(eng.TableFactors[set]) == 0) {
    eng.TableMonths[set] = eng.page.Months;
    eng.TableFactors[set] = eng.page.Factor;
    eng.TableResiduals[set] = eng.page.Residual;
  }

  ShowTableInputs();
  FillPaymentTable();
}

void Tables::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  PackIntoTablePage();
}

void Tables::PackIntoTablePage() {
  // The column sets go back into the page they were taken from.
  if (eng.CurrentPage == tablePage_) {
    eng.PackRateTable();
  } else if (tablePage_ >= 1 && tablePage_ <= eng.PageCount) {
    const std::string text = PackedRateTableText(eng);
    grid::Sheet& worksht = eng.WKS.SheetAt(1);
    worksht.SetTextRC(tablePage_, 12, text);
  }
}

void Tables::UnloadDuties() { Form_Unload(); }

bool Tables::FollowCurrentPage() {
  if (unloaded_ || following_ || eng.CurrentPage == tablePage_) return false;
  following_ = true;
  // What is typed in a box belongs to the sets of the page being left (no fill runs now).
  CommitBoxEdit();
  PackIntoTablePage();
  following_ = false;
  Form_Load();
  return true;
}

void Tables::closeEvent(QCloseEvent* e) {
  Form_Unload();
  e->accept();
}

void Tables::reject() { close(); }

// ---------------------------------------------------------------------------------------
// Window procedures

void Tables::SetBox(QLineEdit* box, const std::string& text) { box->setText(Q(text)); }

void Tables::ShowTableInputs() {
  for (int i = 1; i <= 4; ++i) {
    const int b = i - 1;
    const double months = eng.TableMonths[i];
    SetBox(txtMonths[b], Format(months, kMonths));
    if (months != 0) TablesSheetData.SetColText(i + 2, GeneralNumber(months) + "\r\nMonths");
    SetBox(txtFactor[b], Format(eng.TableFactors[i], kFactor));
    SetBox(txtResidual[b], Format(eng.TableResiduals[i], kResidual));
    if (eng.res.TotalMSRP != 0) {
      eng.res.OptionDiscountTotal = eng.page.UseFullMSRP != 0 ? eng.SumOptionDiscounts() : 0;
      const double basis = eng.res.TotalMSRP + eng.res.OptionDiscountTotal;
      if (basis != 0) lblRes[b]->setText(Q(Format(eng.TableResiduals[i] / basis, kPercent)));
    }
  }
}

void Tables::FillPaymentTable() {
  // While the window moves to another page nothing is filled; a fill on a page that is no
  // longer the table's page moves the window to the current page first (which fills).
  if (following_ || FollowCurrentPage()) return;
  ui::BusyCursor busy;
  eng.TableMarginStep = FittedTableStep(eng.TableMarginStart, eng.TableMarginEnd, eng.TableMarginStep);
  SetBox(txtMargin[0], Format(eng.TableMarginStart, "#,##0"));
  SetBox(txtMargin[1], Format(eng.TableMarginEnd, "#,###"));
  SetBox(txtMargin[2], Format(eng.TableMarginStep, "#,###"));
  lastTrials_ = FillPaymentTableSheet(eng, TablesSheetData, chkTax->isChecked());
  ShowTableHeadings();
  // The grid shows the finished table in one redraw.
  TablesSheet->refresh();
}

void Tables::ShowTableHeadings() {
  for (int i = 1; i <= 4; ++i) WriteTableSetHeading(eng, TablesSheetData, i);
}

// ---------------------------------------------------------------------------------------
// Boxes

bool Tables::Changed(const QLineEdit* box) const { return TrimRight(S(box->text())) != owner.Shared().GotFocusText; }

bool Tables::ReadBox(QLineEdit* box, const std::string& held, double& v) {
  double typed = 0;
  if (!ReadEntryAmount(S(box->text()), typed)) {
    SetBox(box, held);
    return false;
  }
  if (!IsDealValue(typed)) {
    ui::GetPrompt().MsgBox(kEntryTooLargeMessage, ui::Buttons::OK, ui::Icon::Exclamation);
    SetBox(box, held);
    return false;
  }
  v = typed;
  return true;
}

void Tables::txtMargin_GotFocus(int Index) {
  owner.Shared().GotFocusText = S(txtMargin[Index]->text());
  txtMargin[Index]->selectAll();
}

void Tables::txtmonths_GotFocus(int Index) {
  owner.Shared().GotFocusText = S(txtMonths[Index]->text());
  txtMonths[Index]->selectAll();
}

void Tables::txtFactor_GotFocus(int Index) {
  owner.Shared().GotFocusText = S(txtFactor[Index]->text());
  txtFactor[Index]->selectAll();
}

void Tables::txtResidual_GotFocus(int Index) {
  owner.Shared().GotFocusText = S(txtResidual[Index]->text());
  txtResidual[Index]->selectAll();
}

void Tables::txtMargin_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  QWidget* next = Index < 2 ? static_cast<QWidget*>(txtMargin[Index + 1]) : Command1[0];
  next->setFocus(Qt::TabFocusReason);
}

void Tables::txtmonths_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  txtFactor[Index]->setFocus(Qt::TabFocusReason);
}

void Tables::txtFactor_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  txtResidual[Index]->setFocus(Qt::TabFocusReason);
}

void Tables::txtResidual_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  txtMonths[Index]->setFocus(Qt::TabFocusReason);
}

void Tables::txtMargin_LostFocus(int Index) {
  if (!Changed(txtMargin[Index])) return;
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  const double held = Index == 0 ? eng.TableMarginStart : Index == 1 ? eng.TableMarginEnd : eng.TableMarginStep;
  double v = 0;
  if (!ReadBox(txtMargin[Index], Format(held, Index == 0 ? "#,##0" : "#,###"), v)) return;
  switch (Index) {
    case 0: eng.TableMarginStart = v; break;
    case 1: eng.TableMarginEnd = v; break;
    default: eng.TableMarginStep = TableStepFromEntry(v, eng.TableMarginStart, eng.TableMarginEnd); break;
  }
  FillPaymentTable();
}

void Tables::txtmonths_LostFocus(int Index) {
  if (!Changed(txtMonths[Index])) return;
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  const int set = Index + 1;
  double v = 0;
  if (!ReadBox(txtMonths[Index], Format(eng.TableMonths[set], kMonths), v)) return;
  // A term is a number of months from 1 up; 0 (or nothing) takes the set out of the table.
  if (v != 0 && !(v >= 1)) {
    ui::GetPrompt().MsgBox(StrNum(v) + " is an invalid number of months.");
    SetBox(txtMonths[Index], Format(eng.TableMonths[set], kMonths));
    return;
  }
  eng.TableMonths[set] = v;
  SetBox(txtMonths[Index], Format(v, kMonths));
  if (TableSetInUse(eng, set)) {
    FillPaymentTable();
  } else {
    ClearTableSet(TablesSheetData, set);
    TablesSheet->refresh();
  }
  ShowTableHeadings();
}

void Tables::txtResidual_LostFocus(int Index) {
  if (!Changed(txtResidual[Index])) return;
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  const int set = Index + 1;
  double v = 0;
  if (!ReadBox(txtResidual[Index], Format(eng.TableResiduals[set], kResidual), v)) return;
  // Below 1 the residual is a fraction of the MSRP, in whole dollars.
  eng.TableResiduals[set] = v < 1 ? Engine::RoundNum(v * eng.res.MSRP, 0) : v;
  SetBox(txtResidual[Index], Format(eng.TableResiduals[set], kResidual));
  if (eng.res.TotalMSRP != 0)
    lblRes[Index]->setText(Q(Format(eng.TableResiduals[set] / eng.res.TotalMSRP, kPercent)));
  if (TableSetInUse(eng, set)) {
    FillPaymentTable();
  } else {
    ClearTableSet(TablesSheetData, set);
    TablesSheet->refresh();
  }
}

void Tables::txtFactor_LostFocus(int Index) {
  if (!Changed(txtFactor[Index])) return;
  ui::ReentryGuard guard(inLostFocus_);
  if (!guard.Entered()) return;
  const int set = Index + 1;
  double v = 0;
  if (!ReadBox(txtFactor[Index], Format(eng.TableFactors[set], kFactor), v)) return;
  ui::Prompt& prompt = ui::GetPrompt();
  if (v < 0.01) {
    eng.TableFactors[set] = v;
  } else if (prompt.MsgBox("Is" + StrNum(v) + " an Interest Rate?", ui::Buttons::YesNo) == ui::Answer::No) {
    if (v < 0.1)
      eng.TableFactors[set] = v;
    else
      prompt.MsgBox(StrNum(v) + " is an invalid Factor.");
  } else {
    if (v > 1) v /= 100;
    const double f = eng.FactorFromAPR(eng.res.CapCost, eng.page.Residual, v, eng.page.Months);
    const std::string text = "The interest rate " + Format(v, "##.00%") + " converts to\r" + "a money factor of " +
                             Format(f, ".000000") + " for the cap cost,\r" + "residual, and number of months shown.\r" +
                             "\r" + "Use this Money Factor in the Table?";
    if (prompt.MsgBox(text, ui::Buttons::OKCancel) == ui::Answer::OK) eng.TableFactors[set] = f;
  }
  SetBox(txtFactor[Index], Format(eng.TableFactors[set], kFactor));
  if (TableSetInUse(eng, set)) FillPaymentTable();
}

void Tables::chkTax_Click() { FillPaymentTable(); }

// ---------------------------------------------------------------------------------------
// Buttons and menus

void Tables::Command1_Click(int Index) {
  if (Index == 0) {
    close();
    return;
  }
  if (Index != 1) return;
  // Print errors, a cancelled print dialog included, end the command quietly.
  try {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 6;
    const QString area = Q("A1:F" + std::to_string(TablesSheetData.MaxRow()));
    if (!grid::GridWidget::parsePrintArea(area, r1, c1, r2, c2)) return;
    const std::optional<ui::PrintTarget> target = ui::GetPrompt().PrintDialog({"Payment Tables", 1});
    if (!target) return;
    std::unique_ptr<QPrinter> printer = grid::GridWidget::printerFor(*target);
    QString header = Label1->text();
    header.replace('&', "&&");
    TablesSheet->print(*printer, "&C" + header, r1, c1, r2, c2);
  } catch (...) {
  }
}

void Tables::mnuPrintTable_Click() {
  CommitBoxEdit();
  Command1_Click(1);
}

void Tables::mnuPageSetup_Click() { ui::GetPrompt().PageSetupDialog(); }

void Tables::CommitBoxEdit() {
  QWidget* f = focusWidget();
  if (!f || !f->property(kKind).isValid()) return;
  const int i = f->property(kIndex).toInt();
  switch (f->property(kKind).toInt()) {
    case 0: txtMargin_LostFocus(i); break;
    case 1: txtmonths_LostFocus(i); break;
    case 2: txtFactor_LostFocus(i); break;
    default: txtResidual_LostFocus(i); break;
  }
  // The box keeps the focus: leaving it later without typing changes nothing.
  owner.Shared().GotFocusText = S(static_cast<QLineEdit*>(f)->text());
}

void Tables::mnuCopy_Click() {
  CommitBoxEdit();
  ui::BusyCursor busy;
  QGuiApplication::clipboard()->setText(Q(PaymentTableText(TablesSheetData)));
}

void Tables::mnuViewReport_Click() {
  // The payment-tables report reads this window's grid and table values.
  owner.GenerateReport(8);
}

// ---------------------------------------------------------------------------------------
// Events

bool Tables::eventFilter(QObject* watched, QEvent* event) {
  const QVariant kind = watched->property(kKind);
  if (!kind.isValid()) return QDialog::eventFilter(watched, event);
  const int k = kind.toInt();
  const int i = watched->property(kIndex).toInt();
  const auto gotFocus = [this, k, i] {
    switch (k) {
      case 0: txtMargin_GotFocus(i); break;
      case 1: txtmonths_GotFocus(i); break;
      case 2: txtFactor_GotFocus(i); break;
      default: txtResidual_GotFocus(i); break;
    }
  };
  const auto lostFocus = [this, k, i] {
    switch (k) {
      case 0: txtMargin_LostFocus(i); break;
      case 1: txtmonths_LostFocus(i); break;
      case 2: txtFactor_LostFocus(i); break;
      default: txtResidual_LostFocus(i); break;
    }
  };
  const auto keyPress = [this, k, i](int& ascii) {
    switch (k) {
      case 0: txtMargin_KeyPress(i, ascii); break;
      case 1: txtmonths_KeyPress(i, ascii); break;
      case 2: txtFactor_KeyPress(i, ascii); break;
      default: txtResidual_KeyPress(i, ascii); break;
    }
  };
  if (ui::RunEntryBoxHandlers(watched, event, gotFocus, lostFocus, keyPress)) return true;
  return QDialog::eventFilter(watched, event);
}

}  // namespace qv
