// The details window: the three cost sheets, the cash-flow panels, the choice between the
// two views, the buttons to the trade, start-up, adjustments and end-of-lease windows, and
// its place on top of other windows.
#include "dialogs/Details2.h"

#include <QCloseEvent>
#include <QTableView>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWindow>

#include "dialogs/Adjust.h"
#include "dialogs/EOLFee.h"
#include "dialogs/StartUps2.h"
#include "dialogs/Trade.h"
#include "engine/Runtime.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"

namespace qv {

namespace {


constexpr const char* kTop = "qvTopTwips";
constexpr int kTwipsPerPixel = 15;
constexpr int kPictureLeft = 4;
constexpr int kPictureWidth = 250;
// Fits between the panel tops of the cash-flow view (1925 - 90 twips = 122 pixels).
constexpr int kPictureHeight = 118;

}  // namespace


Details2::Details2(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Details2");
  setAttribute(Qt::WA_DeleteOnClose);
  Build();
  Form_Load();
}

Details2::~Details2() {
  // Destroyed with the main window at the end of the program: only the flag is left to clear.
  if (!unloaded_) owner.Shared().DetailsOpen = 0;
  // The grid outlives the workbook it shows (a shown dialog hides its children last).
  F1Book1->setWorkbook(nullptr);
}

QFrame* Details2::MakePicture(const char* name, const char* title, int monthIndex,
                              std::initializer_list<QLabel**> values) {
  auto* p = new QFrame(panelArea_);
  p->setObjectName(name);
  p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  p->setAutoFillBackground(true);
  p->setGeometry(kPictureLeft, kNumbersTop / kTwipsPerPixel, kPictureWidth, kPictureHeight);
  p->setProperty(kTop, kNumbersTop);
  auto* v = new QVBoxLayout(p);
  v->setContentsMargins(8, 4, 8, 4);
  v->setSpacing(2);
  auto* head = new QHBoxLayout;
  auto* t = new QLabel(title, p);
  QFont bold = t->font();
  bold.setBold(true);
  t->setFont(bold);
  head->addWidget(t);
  head->addStretch(1);
  head->addWidget(new QLabel("Months:", p));
  lblPicMonth[monthIndex] = new QLabel(p);
  lblPicMonth[monthIndex]->setObjectName(Q("lblPicMonth" + std::to_string(monthIndex)));
  lblPicMonth[monthIndex]->setToolTip("Months of the lease term");
  head->addWidget(lblPicMonth[monthIndex]);
  v->addLayout(head);
  for (QLabel** slot : values) {
    *slot = new QLabel(p);
    v->addWidget(*slot);
  }
  v->addStretch(1);
  return p;
}

void Details2::Build() {
  setWindowTitle("Lease/Buy Details");
  setSizeGripEnabled(true);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);
  auto* body = new QHBoxLayout;

  panelArea_ = new QWidget(this);
  panelArea_->setObjectName("panelArea");
  panelArea_->setFixedWidth(kPictureLeft * 2 + kPictureWidth);
  panelArea_->setMinimumHeight(kCashTop / kTwipsPerPixel + kPictureHeight + 4);
  // Stacked from the back: the lease panel is in front at first.
  Picture2 = MakePicture("Picture2", "CASH", 0, {&lblCashPP, &lblCashLoanEnd});
  Picture4 = MakePicture("Picture4", "LOAN", 2, {&lblLoanDown2, &lblLoanPmt2, &lblLoanLoanEnd2, &lblpayoff});
  Picture3 = MakePicture("Picture3", "LOAN", 3, {&lblLoanDown1, &lblLoanPmt1, &lblLoanLoanEnd1});
  Picture1 = MakePicture("Picture1", "LEASE", 1, {&lblLeasePmt, &lblLeaseCash, &lblLeaseSecDep});
  front_ = Picture1;
  const std::pair<QLabel**, const char*> names[] = {
      {&lblLeasePmt, "lblLeasePmt"},         {&lblLeaseCash, "lblLeaseCash"},   {&lblLeaseSecDep, "lblLeaseSecDep"},
      {&lblLoanDown1, "lblLoanDown1"},       {&lblLoanPmt1, "lblLoanPmt1"},     {&lblLoanLoanEnd1, "lblLoanLoanEnd1"},
      {&lblLoanDown2, "lblLoanDown2"},       {&lblLoanPmt2, "lblLoanPmt2"},     {&lblLoanLoanEnd2, "lblLoanLoanEnd2"},
      {&lblpayoff, "lblpayoff"},             {&lblCashPP, "lblCashPP"},         {&lblCashLoanEnd, "lblCashLoanEnd"}};
  for (const auto& [slot, name] : names) (*slot)->setObjectName(name);
  body->addWidget(panelArea_, 0, Qt::AlignTop);

  auto* right = new QVBoxLayout;
  right->setSpacing(0);
  SetUpCostComparisonBook(F1Book1Data);
  F1Book1 = new grid::GridWidget(this);
  F1Book1->setObjectName("F1Book1");
  F1Book1->setWorkbook(&F1Book1Data, 0);
  F1Book1->setReadOnly(true);
  F1Book1->setColumnHeadersVisible(false);
  F1Book1->setRowHeadersVisible(false);
  const int widths[5] = {150, 96, 14, 200, 96};
  for (int c = 1; c <= 5; ++c) F1Book1->setColumnWidth(c, widths[c - 1]);
  F1Book1->setDisplayOnly();
  for (int c : {2, 5}) {
    F1Book1->setColumnFormatter(c, [](double v) { return Format(v, "$#,##0.00;($#,##0.00)"); });
    F1Book1->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  }
  right->addWidget(F1Book1, 1);
  sheetTabs = new QTabBar(this);
  sheetTabs->setObjectName("sheetTabs");
  sheetTabs->setShape(QTabBar::RoundedSouth);
  sheetTabs->setDrawBase(false);
  for (int n = 1; n <= 3; ++n) sheetTabs->addTab(Q(F1Book1Data.SheetName(n)));
  auto* tabRow = new QHBoxLayout;
  tabRow->addWidget(sheetTabs);
  tabRow->addStretch(1);
  right->addLayout(tabRow);
  body->addLayout(right, 1);
  top->addLayout(body, 1);

  auto* bottom = new QHBoxLayout;
  Frame1 = new QGroupBox("Show", this);
  auto* opts = new QHBoxLayout(Frame1);
  opts->setContentsMargins(6, 2, 6, 2);
  Option1[0] = new QRadioButton("&Numbers", Frame1);
  Option1[1] = new QRadioButton("&Cash Flows", Frame1);
  Option1[0]->setChecked(true);
  for (QRadioButton* o : Option1) opts->addWidget(o);
  bottom->addWidget(Frame1);
  bottom->addStretch(1);
  const std::pair<int, const char*> buttons[] = {
      {0, "Trade Equity"}, {1, "Start Ups"}, {2, "Adjustments"}, {5, "End-of-Lease Fees"}, {3, "C&lose"}};
  for (const auto& [i, caption] : buttons) {
    Command1[i] = new QPushButton(caption, this);
    Command1[i]->setObjectName(Q("Command1_" + std::to_string(i)));
    Command1[i]->setAutoDefault(false);
    // A dialog button is enabled once its window is set (SetDealWindow).
    if (i != 3) Command1[i]->setEnabled(false);
    bottom->addWidget(Command1[i], 0, Qt::AlignBottom);
    connect(Command1[i], &QPushButton::clicked, this, [this, i = i] { Command1_Click(i); });
  }
  top->addLayout(bottom);

  for (int i = 0; i < 2; ++i)
    connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) Option1_Click(i);
    });
  connect(F1Book1, &grid::GridWidget::click, this, [this](int r, int c) { F1Book1_Click(r, c); });
  connect(F1Book1, &grid::GridWidget::mouseUp, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { F1Book1_MouseUp(); });
  connect(sheetTabs, &QTabBar::tabBarClicked, this, [this](int index) {
    if (index >= 0) SheetTab_Click(index + 1);
  });
  resize(880, 420);
}

// ---------------------------------------------------------------------------------------
// Loading and unloading

void Details2::Form_Load() {
  owner.Shared().DetailsOpen = -1;
  SetDealWindow(0, [this] { Trade::ShowModalAndWait(owner); });
  SetDealWindow(1, [this] { StartUps2::ShowModalAndWait(owner); });
  SetDealWindow(2, [this] { Adjust::ShowModalAndWait(owner); });
  SetDealWindow(5, [this] { EOLFee::ShowModalAndWait(owner); });
  QPointer<Details2> self(this);
  owner.SetDetailsRefresh([self](int view) {
    if (self) self->Refresh(view);
  });
}

void Details2::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  owner.Shared().DetailsOpen = 0;
  owner.SetDetailsRefresh(nullptr);
}

void Details2::UnloadDuties() { Form_Unload(); }

void Details2::closeEvent(QCloseEvent* e) {
  Form_Unload();
  e->accept();
}

void Details2::reject() { close(); }

bool Details2::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate && !unloaded_) Form_Activate();
  return handled;
}

void Details2::Form_Activate() {
  SetTopmost(true);
  FillCostComparison(owner.SelectedView());
}

// ---------------------------------------------------------------------------------------
// Filling and views

void Details2::BringToFront(QFrame* picture) {
  front_ = picture;
  picture->raise();
}

void Details2::FillCostComparison(int Tab) {
  FillCostComparisonSheet(eng, F1Book1Data, Tab);
  {
    QSignalBlocker block(sheetTabs);
    sheetTabs->setCurrentIndex(F1Book1Data.ActiveSheet() - 1);
  }
  switch (Tab) {
    case 1:
    case 4: BringToFront(Picture1); break;
    case 2: BringToFront(LoanRunsPastLease(eng) ? Picture4 : Picture3); break;
    case 3: BringToFront(Picture2); break;
    default: break;
  }
  FillCostComparisonPanels(eng, panels_);
  ShowPanels();
  F1Book1->refresh();
}

void Details2::ShowPanels() {
  const CostComparisonPanels& p = panels_;
  for (int i = 0; i < 4; ++i) lblPicMonth[i]->setText(Q(p.lblPicMonth[i]));
  const std::pair<QLabel*, const std::string*> labels[] = {
      {lblLeasePmt, &p.lblLeasePmt},         {lblLeaseCash, &p.lblLeaseCash},   {lblLeaseSecDep, &p.lblLeaseSecDep},
      {lblLoanDown1, &p.lblLoanDown1},       {lblLoanPmt1, &p.lblLoanPmt1},     {lblLoanLoanEnd1, &p.lblLoanLoanEnd1},
      {lblLoanDown2, &p.lblLoanDown2},       {lblLoanPmt2, &p.lblLoanPmt2},     {lblLoanLoanEnd2, &p.lblLoanLoanEnd2},
      {lblpayoff, &p.lblpayoff},             {lblCashPP, &p.lblCashPP},         {lblCashLoanEnd, &p.lblCashLoanEnd}};
  for (const auto& [label, text] : labels) label->setText(Q(*text));
}

int Details2::PictureTop(const QFrame* picture) { return picture->property(kTop).toInt(); }

void Details2::SetPictureTop(QFrame* picture, int twips) {
  picture->setProperty(kTop, twips);
  picture->move(kPictureLeft, twips / kTwipsPerPixel);
}

void Details2::ToggleDetailsView() {
  const bool longLoan = LoanRunsPastLease(eng);
  if (PictureTop(Picture2) == kNumbersTop) {
    // To the cash flows: the lease, the loan that applies and the cash purchase, stacked.
    F1Book1->hide();
    sheetTabs->hide();
    QFrame* loan = longLoan ? Picture4 : Picture3;
    QFrame* other = longLoan ? Picture3 : Picture4;
    other->hide();
    loan->show();
    SetPictureTop(loan, kLoanTop);
    SetPictureTop(Picture2, kCashTop);
  } else {
    // Back to the numbers: every panel at the top again, whichever loan panel moved while
    // the cash flows were shown, and the one last brought to the front seen.
    F1Book1->show();
    sheetTabs->show();
    for (QFrame* p : {Picture3, Picture4, Picture2}) {
      p->show();
      SetPictureTop(p, kNumbersTop);
    }
    if (front_) front_->raise();
  }
  const bool cashFlows = IsCashFlowView();
  QSignalBlocker b0(Option1[0]);
  QSignalBlocker b1(Option1[1]);
  Option1[1]->setChecked(cashFlows);
  Option1[0]->setChecked(!cashFlows);
}

void Details2::Option1_Click(int Index) {
  // Each option stands for its view: choosing the other one switches.
  if ((Index == 1) != IsCashFlowView()) ToggleDetailsView();
}

void Details2::Refresh(int view) {
  FillCostComparison(view);
  if (!Option1[1]->isChecked()) return;
  if (LoanRunsPastLease(eng)) {
    Picture4->show();
    Picture3->hide();
    SetPictureTop(Picture4, kLoanTop);
  } else {
    Picture3->show();
    Picture4->hide();
    SetPictureTop(Picture3, kLoanTop);
  }
}

// ---------------------------------------------------------------------------------------
// Grid and sheet tabs

void Details2::F1Book1_Click(int, int) { cellClicked_ = true; }

void Details2::F1Book1_MouseUp() {
  // A mouse-up that did not follow a click on a cell chose a sheet: the main window shows
  // the view of that sheet.
  if (!cellClicked_) owner.SelectView(F1Book1Data.ActiveSheet());
  cellClicked_ = false;
}

void Details2::SheetTab_Click(int sheet) {
  if (sheet < 1 || sheet > 3) return;
  F1Book1Data.SetSheet(sheet);
  F1Book1->refresh();
  cellClicked_ = false;
  F1Book1_MouseUp();
}

// ---------------------------------------------------------------------------------------
// Buttons and the topmost band

void Details2::SetDealWindow(int Index, std::function<void()> showModal) {
  if (Index < 0 || Index >= static_cast<int>(Command1.size()) || Index == 3 || !Command1[Index]) return;
  dealWindows_[Index] = std::move(showModal);
  Command1[Index]->setEnabled(static_cast<bool>(dealWindows_[Index]));
}

void Details2::Command1_Click(int Index) {
  if (Index == 3) {
    close();
    return;
  }
  if (Index < 0 || Index >= static_cast<int>(dealWindows_.size()) || !dealWindows_[Index]) return;
  QPointer<Details2> self(this);
  // Out of the topmost band, so that the dialog can come to the front.
  SetTopmost(false);
  dealWindows_[Index]();
  // The trade window leaves the recalculation to its opener; the others recalculate when
  // they apply a change, and the recalculation refreshes this window.
  if (Index == 0) eng.RecalcPage();
  if (self && !unloaded_) SetTopmost(true);
}

bool Details2::IsTopmost() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void Details2::SetTopmost(bool on) {
  if (IsTopmost() == on) return;
  // Changing the widget's own flags would hide the window (and end a modal show); the
  // window system is told through the window handle instead.
  Qt::WindowFlags f = windowFlags();
  f.setFlag(Qt::WindowStaysOnTopHint, on);
  overrideWindowFlags(f);
  if (QWindow* h = windowHandle()) h->setFlag(Qt::WindowStaysOnTopHint, on);
}

int Details2::ShowModalReusing() {
  // A window shown modeless cannot become modal while it is shown: it is hidden first and
  // shown again modally, with everything it holds.
  if (isVisible()) hide();
  return ui::ShowModalWindow(*this);
}

}  // namespace qv
