// The main window: construction, layout, control bookkeeping and the event filter that
// turns Qt events into the window's handlers.
#include "worksheet/QV.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/Runtime.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/Window.h"
#include "editor/ReportEditor.h"
#include "worksheet/GridView.h"

namespace qv {

namespace {

constexpr const char* kReady = "qvReady";
constexpr const char* kRule = "qvRule";
constexpr const char* kIndex = "qvIndex";
constexpr const char* kForeColor = "qvForeColor";

// A label whose width never follows its text: the layout gives it its minimum width or
// more, so that no figure widens the window or moves the boxes beside it. A text longer
// than the label is shown from its start with "..." where it is cut (a figure cut at its
// start would read as a smaller one).
class FigureLabel : public QLabel {
 public:
  using QLabel::QLabel;
  QSize sizeHint() const override { return {minimumWidth(), QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {minimumWidth(), QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent* e) override {
    const QRect r = contentsRect();
    const QString t = text();
    if (fontMetrics().horizontalAdvance(t) <= r.width()) return QLabel::paintEvent(e);
    QFrame::paintEvent(e);
    QPainter p(this);
    style()->drawItemText(&p, r, static_cast<int>(alignment()), palette(), isEnabled(),
                          fontMetrics().elidedText(t, Qt::ElideRight, r.width()), foregroundRole());
  }
};

// A label that shows a figure: sunken, white, right-aligned.
QLabel* ValueLabel(QWidget* parent, int minWidth = 92) {
  static const int height = QLineEdit().sizeHint().height();
  auto* l = new FigureLabel(parent);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setLineWidth(1);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, p.color(QPalette::Base));
  l->setPalette(p);
  l->setAutoFillBackground(true);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setMinimumWidth(minWidth);
  l->setFixedHeight(height);
  l->setContentsMargins(4, 0, 4, 0);
  return l;
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

QGroupBox* Group(const QString& title, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  return g;
}

// A view of the tab area: its widget, the column it is laid out in, and the grid of captions
// and figures the view puts into the column.
struct View {
  QWidget* w;
  QVBoxLayout* v;
  QGridLayout* g;
};

View NewView() {
  auto* w = new QWidget();
  auto* v = new QVBoxLayout(w);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(4);
  auto* g = new QGridLayout();
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(3);
  return {w, v, g};
}

// A row of buttons at the left of a view.
void AddButtonRow(QVBoxLayout* v, std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout();
  row->setSpacing(4);
  for (QPushButton* b : buttons) row->addWidget(b);
  row->addStretch(1);
  v->addLayout(row);
}

// The monthly payment of a view: bold and a quarter larger than the other figures.
void SetPaymentFont(QLabel* l) {
  QFont big = l->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  l->setFont(big);
}

}  // namespace

QV::QV(Engine& engine, WindowSet& windows, QWidget* parent)
    : QMainWindow(parent), eng(engine), windows_(windows) {
  setObjectName("QV");
  eng.host = this;
  windows_.SetOwner(this);
  EndProgram = [this] {
    // Close every other window so their unload duties run, then leave the event loop.
    QList<QPointer<QWidget>> others;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)) others.append(w);
    for (const QPointer<QWidget>& w : others)
      if (w) w->close();
    for (const QPointer<QWidget>& w : others)
      if (w && !w->parentWidget() && w != this) delete w.data();
    QCoreApplication::quit();
  };

  BuildMenus();
  BuildToolbarButtons();

  auto* central = new QWidget(this);
  auto* root = new QVBoxLayout(central);
  root->setContentsMargins(4, 4, 4, 4);
  root->setSpacing(4);
  root->addWidget(BuildTopBlock(), 0);

  TabStrip1 = new QTabBar(central);
  TabStrip1->setObjectName("TabStrip1");
  TabStrip1->addTab("Lease");
  TabStrip1->addTab("Loan");
  TabStrip1->addTab("Cash");
  TabStrip1->addTab("Comparison");
  TabStrip1->setExpanding(false);
  TabStrip1->setDrawBase(false);
  // Clicking a tab takes the focus, so a field being edited is committed first.
  TabStrip1->setFocusPolicy(Qt::StrongFocus);
  root->addWidget(TabStrip1, 0);

  auto* viewArea = new QFrame(central);
  viewArea->setObjectName("viewArea");
  viewArea->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  auto* viewRow = new QHBoxLayout(viewArea);
  viewRow->setContentsMargins(6, 6, 6, 6);
  viewRow->setSpacing(6);
  viewStack = new QStackedWidget(viewArea);
  picTab[0] = BuildLeaseView();
  picTab[1] = BuildLoanView();
  picTab[2] = BuildCashView();
  picTab[3] = BuildCompareView();
  for (int i = 0; i < 4; ++i) {
    picTab[i]->setObjectName(QString("picTab_%1").arg(i));
    viewStack->addWidget(picTab[i]);
  }
  cashBoxStack = new QStackedWidget(viewArea);
  Picture2[0] = BuildLeaseCashBox();
  Picture2[1] = BuildLoanCashBox();
  Picture2[0]->setObjectName("Picture2_0");
  Picture2[1]->setObjectName("Picture2_1");
  for (QWidget* box : Picture2) {
    // Each box keeps its own height at the top of the stack.
    auto* page = new QWidget(cashBoxStack);
    auto* pl = new QVBoxLayout(page);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(box);
    pl->addStretch(1);
    cashBoxStack->addWidget(page);
  }
  cashBoxStack->addWidget(new QWidget(cashBoxStack));
  viewRow->addWidget(viewStack, 3, Qt::AlignTop);
  viewRow->addWidget(cashBoxStack, 2, Qt::AlignTop);
  root->addWidget(viewArea, 1);
  BuildSlidePanels(viewArea);

  // Hidden helpers.
  Text2 = new QLineEdit(central);
  Text2->setObjectName("Text2");
  Text2->hide();

  // Below the form's own minimum size the window scrolls instead of squeezing the fields.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("formScroll");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(central);
  setCentralWidget(scroll);
  setWindowTitle("Quorvant");
  resize(1280, 860);

  // Every command button starts disabled until its handler is connected.
  for (QPushButton* b : findChildren<QPushButton*>()) {
    b->setProperty(kReady, false);
    b->setEnabled(false);
  }
  ConnectHandlers();
  ConnectHandlerFiles();
}

QV::~QV() {
  if (eng.host == this) eng.host = nullptr;
  // The windows it owns go while it is still whole: their unload duties may ask it for
  // services (OwnerAlive() now tells them it is going).
  windows_.DeleteAll();
  if (windows_.GetOwner() == this) windows_.SetOwner(nullptr);
  // Its own handlers come off its controls: an option cell still being edited would store
  // itself through them as the focus leaves it during the destruction.
  ui::ReleaseWindow(this);
}

// ---------------------------------------------------------------------------------------
// Menus and toolbar

QAction* QV::MakeAction(QMenu* menu, const char* caption) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setProperty(kReady, false);
  a->setEnabled(false);
  return a;
}

void QV::BuildMenus() {
  QMenuBar* bar = menuBar();

  mnuFile = bar->addMenu("&File");
  mnuFile->setObjectName("mnuFile");
  const char* fileItems[4] = {"&Open", "&Save", "Save &As", "&New Worksheet"};
  for (int i = 0; i < 4; ++i) mnuOpenSave[i] = MakeAction(mnuFile, fileItems[i]);
  mnuFile->addSeparator();
  mnuReportmenu = mnuFile->addMenu("&Reports");
  mnuReportmenu->setObjectName("mnuReportmenu");
  const char* reportItems[5] = {"&Lease", "L&oan", "&Cash", "&Lease/Buy Analysis", "RovOzevi &Rebate Report"};
  for (int i = 0; i < 5; ++i) mnuReports[i] = MakeAction(mnuReportmenu, reportItems[i]);
  mnuOtherReports = mnuReportmenu->addMenu("Other Reports");
  mnuOtherReports->setObjectName("mnuOtherReports");
  mnuCustomRpt.push_back(MakeAction(mnuOtherReports, "&Browse..."));
  mnuConfigReports = MakeAction(mnuReportmenu, "Configure &Reports");
  mnuFile->addSeparator();
  mnuExit = MakeAction(mnuFile, "E&xit");
  mnuBar111 = mnuFile->addSeparator();
  mnuBar111->setVisible(false);
  for (int i = 0; i < 4; ++i) {
    mnuLastFile[i] = MakeAction(mnuFile, "");
    mnuLastFile[i]->setVisible(false);
  }

  mnuEdit = bar->addMenu("&Edit");
  mnuCopyPaste[0] = MakeAction(mnuEdit, "&Copy");
  mnuCopyPaste[1] = MakeAction(mnuEdit, "&Paste");

  mnuAnal = bar->addMenu("&Analysis");
  mnuAnalysis[1] = MakeAction(mnuAnal, "&Compare Leases");
  mnuAnalysis[2] = MakeAction(mnuAnal, "&Tables");
  mnuResidualMenu = mnuAnal->addMenu("&Residual");
  mnuAnalysis[3] = mnuResidualMenu->menuAction();
  const char* years[4] = {"199&7 Residuals", "199&8 Residuals", "199&9 Residuals", "200&0 Residuals"};
  for (int i = 0; i < 4; ++i) mnuResidual[i] = MakeAction(mnuResidualMenu, years[i]);
  mnuResidualMenu->addSeparator();
  mnuAdjustResidual = MakeAction(mnuResidualMenu, "&Adjust Residual");
  mnuSinglePayLease = MakeAction(mnuAnal, "&Single-Payment Lease");

  mnuMethod = bar->addMenu("&Method");
  mnuType[0] = MakeAction(mnuMethod, "&Constant Yield Method");
  mnuType[3] = MakeAction(mnuMethod, "Ford &APR Method");
  mnuType[0]->setCheckable(true);
  mnuType[3]->setCheckable(true);
  mnuType[0]->setChecked(true);

  mnuOptions = bar->addMenu("&Options");
  mnuOptions->setObjectName("mnuOptions");
  mnuAddDelOption[0] = MakeAction(mnuOptions, "&Add Option");
  mnuAddDelOption[1] = MakeAction(mnuOptions, "&Delete Option");
  mnuOptions->addSeparator();
  mnuOptionTotals = MakeAction(mnuOptions, "Vehicle && Option &Totals");
  mnuOptions->addSeparator();
  mnuShowTotals = MakeAction(mnuOptions, "Show Option &Totals in Header");
  mnuShowTotals->setCheckable(true);
  mnuExpandOptions = MakeAction(mnuOptions, "&Expand Option List");

  mnuUtilties = bar->addMenu("&Utilities");
  mnuUtil[1] = MakeAction(mnuUtilties, "&Calculator");

  mnuConfig = bar->addMenu("&Configuration");
  mnuRate[0] = MakeAction(mnuConfig, "Default &Investment Interest Rate");
  mnuRate[1] = MakeAction(mnuConfig, "Default &Loan Interest Rate");
  mnuRate[2] = MakeAction(mnuConfig, "Default Ford &Admin Factor");
  mnuConfig->addSeparator();
  mnuTaxSettings = MakeAction(mnuConfig, "&Tax Settings");
  mnuConfig->addSeparator();
  mnuSaveConfig = MakeAction(mnuConfig, "&Save Configuration");

  mnuHelp = bar->addMenu("&Help");
  mnuIndex = MakeAction(mnuHelp, "&Contents");
  mnuOverview = MakeAction(mnuHelp, "&Overview");
  mnuUsing = MakeAction(mnuHelp, "&Using Quorvant");
  mnuGather = MakeAction(mnuHelp, "&Gathering Information");
  mnuEntering = MakeAction(mnuHelp, "&Entering Information");
  mnuManipulate = MakeAction(mnuHelp, "&Manipulating the Worksheet");
  mnuHelp->addSeparator();
  mnuAbout[0] = MakeAction(mnuHelp, "&About Quorvant");
  mnuAbout[1] = MakeAction(mnuHelp, "Obtaining &Updates");
  mnuAbout[2] = MakeAction(mnuHelp, "Technical &Support");

  // Menus take no focus: a field still being edited is committed when one opens.
  for (QMenu* m : bar->findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, [this] { CommitFieldEdit(); });
}

void QV::BuildToolbarButtons() {
  Toolbar = new QToolBar("Toolbar", this);
  Toolbar->setObjectName("Toolbar");
  Toolbar->setMovable(false);
  Toolbar->setFloatable(false);
  Toolbar->setIconSize(QSize(20, 20));
  Toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  struct Btn {
    int index;
    const char* tip;
    QStyle::StandardPixmap icon;
  };
  const Btn buttons[] = {
      {1, "Erase Worksheet", QStyle::SP_TrashIcon},
      {2, "Open", QStyle::SP_DialogOpenButton},
      {3, "Save All Pages", QStyle::SP_DialogSaveButton},
      {4, "Print/Preview Report", QStyle::SP_FileDialogDetailedView},
      {5, "Attach Note to Worksheet Page", QStyle::SP_FileDialogInfoView},
      {7, "Add Blank Page", QStyle::SP_FileIcon},
      {8, "Copy Current Page To New Page", QStyle::SP_FileDialogContentsView},
      {9, "Delete Current Page", QStyle::SP_DialogDiscardButton},
  };
  for (const Btn& b : buttons) {
    if (b.index == 7) ToolbarButtons[6] = Toolbar->addSeparator();
    QAction* a = Toolbar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.tip));
    a->setToolTip(QString::fromUtf8(b.tip));
    a->setProperty(kReady, false);
    a->setEnabled(false);
    ToolbarButtons[b.index] = a;
  }
  addToolBar(Qt::TopToolBarArea, Toolbar);
}

// ---------------------------------------------------------------------------------------
// Controls

QLineEdit* QV::MakeDealField(int index, const char* toolTip) {
  auto* e = new QLineEdit();
  e->setObjectName(QString("Text3_%1").arg(index));
  e->setProperty(kIndex, index);
  e->setAlignment(Qt::AlignRight);
  e->setFixedWidth(92);
  if (toolTip) e->setToolTip(QString::fromUtf8(toolTip));
  e->installEventFilter(this);
  Text3[index] = e;
  return e;
}

QPushButton* QV::MakeButton(const char* caption, const char* toolTip) {
  auto* b = new QPushButton(QString::fromUtf8(caption));
  if (toolTip) b->setToolTip(QString::fromUtf8(toolTip));
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::StrongFocus);
  return b;
}

QWidget* QV::BuildTopBlock() {
  auto* top = new QWidget();
  auto* v = new QVBoxLayout(top);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(4);

  // Page line: selector, counter, customer, release and data date.
  auto* pageRow = new QHBoxLayout();
  pageRow->setSpacing(6);
  pageRow->addWidget(Caption("Vehicle / Page:", top));
  auto* selector = new QWidget(top);
  auto* selLayout = new QHBoxLayout(selector);
  selLayout->setContentsMargins(0, 0, 0, 0);
  Combo2 = new QComboBox(selector);
  Combo2->setObjectName("Combo2");
  Combo2->setEditable(true);
  Combo2->setInsertPolicy(QComboBox::NoInsert);
  Combo2->setCompleter(nullptr);
  Combo2->setMinimumWidth(240);
  Combo2->installEventFilter(this);
  selLayout->addWidget(Combo2);
  Text1 = new QLineEdit(selector);
  Text1->setObjectName("Text1");
  Text1->hide();
  Text1->installEventFilter(this);
  pageRow->addWidget(selector, 3);
  lblpagenum = new QLineEdit(top);
  lblpagenum->setObjectName("lblpagenum");
  lblpagenum->setReadOnly(true);
  lblpagenum->setFocusPolicy(Qt::NoFocus);
  lblpagenum->setAlignment(Qt::AlignCenter);
  lblpagenum->setFixedWidth(120);
  pageRow->addWidget(lblpagenum);
  pageRow->addSpacing(16);
  Command3 = MakeButton("Cu&stomer:");
  pageRow->addWidget(Command3);
  Label25 = ValueLabel(top, 120);
  Label25->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pageRow->addWidget(Label25, 2);
  lblCustID = ValueLabel(top, 60);
  pageRow->addWidget(lblCustID);
  pageRow->addStretch(1);
  lblDataDate = new QLabel(top);
  lblDataDate->setObjectName("lblDataDate");
  lblDataDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  pageRow->addWidget(lblDataDate);
  v->addLayout(pageRow);

  auto* row = new QHBoxLayout();
  row->setSpacing(8);

  // Vehicle price block.
  auto* price = Group("Vehicle Price", top);
  auto* g = new QGridLayout(price);
  g->setContentsMargins(8, 4, 8, 6);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(3);
  auto* inv = Caption("Invoice", price);
  auto* msrp = Caption("MSRP", price);
  inv->setAlignment(Qt::AlignCenter);
  msrp->setAlignment(Qt::AlignCenter);
  g->addWidget(inv, 0, 1);
  g->addWidget(msrp, 0, 2);
  g->addWidget(Caption("Base Vehicle:", price), 1, 0);
  g->addWidget(MakeDealField(0, nullptr), 1, 1);
  g->addWidget(MakeDealField(1, nullptr), 1, 2);
  g->addWidget(Caption("Destination:", price), 2, 0);
  g->addWidget(MakeDealField(2, "Destination (Transportation Charge)"), 2, 1);
  g->addWidget(MakeDealField(3, "Destination (Transportation Charge)"), 2, 2);
  lblTotals[0] = Caption("Total MSRP:", price);
  g->addWidget(lblTotals[0], 3, 0);
  lblTotals[1] = ValueLabel(price, 92);
  g->addWidget(lblTotals[1], 3, 2);
  g->addWidget(Caption("Margin:", price), 4, 0);
  g->addWidget(MakeDealField(4, nullptr), 4, 1);
  lblPercMargin = ValueLabel(price, 70);
  lblPercMargin->setObjectName("lblPercMargin");
  g->addWidget(lblPercMargin, 4, 2);
  Command1[2] = MakeButton("Mar&gin");
  g->addWidget(Command1[2], 4, 3);
  g->addWidget(Caption("Purchase Price:", price), 5, 0);
  lblPurchPrice = ValueLabel(price, 92);
  lblPurchPrice->setObjectName("lblPurchPrice");
  lblPurchPrice->setToolTip("Purchase Price (Double-click to Force)");
  g->addWidget(lblPurchPrice, 5, 1);
  g->setColumnStretch(4, 1);
  g->setRowStretch(6, 1);
  row->addWidget(price, 0);

  // Option list.
  auto* opts = Group("Options", top);
  auto* ol = new QVBoxLayout(opts);
  ol->setContentsMargins(6, 4, 6, 6);
  OptionList = new grid::GridWidget(opts);
  OptionList->setObjectName("OptionList");
  OptionList->setMinimumSize(240, 130);
  eng.OptionList.SetColText(1, "Option");
  eng.OptionList.SetMaxCol(3);
  AttachSheet(OptionList, &eng.OptionList);
  OptionList->setColumnNumeric(1, false);
  OptionList->setColumnWidth(2, 96);
  OptionList->setColumnWidth(3, 96);
  for (int c : {2, 3}) OptionList->setColumnFormatter(c, [](double v) { return Format(v, "$#,###.00;; "); });
  OptionList->setRowHeadersVisible(false);
  OptionList->view()->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  // Edits of the option list are taken once their handler is connected.
  OptionList->setReadOnly(true);
  ol->addWidget(OptionList);
  row->addWidget(opts, 1);

  // Taxes and the outside services.
  auto* tax = Group("Taxes", top);
  auto* tg = new QGridLayout(tax);
  tg->setContentsMargins(8, 4, 8, 6);
  tg->setVerticalSpacing(3);
  for (int i = 0; i < 2; ++i) {
    Text4[i] = new QLineEdit(i == 0 ? "State:" : "Tax Rate:", tax);
    Text4[i]->setObjectName(QString("Text4_%1").arg(i));
    Text4[i]->setReadOnly(true);
    Text4[i]->setFrame(false);
    Text4[i]->setFocusPolicy(Qt::ClickFocus);
    Text4[i]->setFixedWidth(64);
    QPalette p = Text4[i]->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    Text4[i]->setPalette(p);
    Text4[i]->installEventFilter(this);
  }
  Combo1 = new QComboBox(tax);
  Combo1->setObjectName("Combo1");
  Combo1->setToolTip("Current Tax Setting");
  Combo1->setMinimumWidth(120);
  Combo1->installEventFilter(this);
  Text5[0] = new QLineEdit(tax);
  Text5[0]->setObjectName("Text5_0");
  Text5[0]->setToolTip("Sales/Use Tax Rate");
  Text5[0]->setAlignment(Qt::AlignRight);
  Text5[0]->setFixedWidth(72);
  Text5[0]->installEventFilter(this);
  tg->addWidget(Text4[0], 0, 0);
  tg->addWidget(Combo1, 0, 1, 1, 2);
  tg->addWidget(Text4[1], 1, 0);
  tg->addWidget(Text5[0], 1, 1);
  tg->addWidget(Caption("%", tax), 1, 2);
  cmdDealerNetwork = MakeButton("Dealer Net&work Quotes");
  Command8 = MakeButton("Rebates", "RovOzevi Rebate & Incentive Report");
  tg->addWidget(cmdDealerNetwork, 2, 0, 1, 3);
  tg->addWidget(Command8, 3, 0, 1, 3);
  tg->setRowStretch(4, 1);
  row->addWidget(tax, 0);

  v->addLayout(row);
  return top;
}

// A label / field grid: caption in column c, the field in column c + 1.
static void AddPair(QGridLayout* g, int row, int col, QLabel* caption, QWidget* field, QWidget* extra = nullptr) {
  g->addWidget(caption, row, col);
  g->addWidget(field, row, col + 1);
  if (extra) g->addWidget(extra, row, col + 2);
}

QWidget* QV::BuildLeaseView() {
  const auto [w, v, g] = NewView();

  Label14[0] = Caption("Months:", w);
  Label14[1] = Caption("Residual:", w);
  Label14[1]->setToolTip("Double-click to Adjust");
  Label14[2] = Caption("Miles/Year:", w);
  Label14[3] = Caption("Factor:", w);
  Label14[4] = Caption("APR:", w);
  Label14[5] = Caption("Total Rent:", w);
  Label14[6] = Caption("Discount Rate:", w);
  lblResPerc = ValueLabel(w, 64);
  lblResPerc->setObjectName("lblResPerc");
  AddPair(g, 0, 0, Label14[0], MakeDealField(6, "Months"));
  AddPair(g, 1, 0, Label14[1], MakeDealField(7, "Residual in $ or % of MSRP"), lblResPerc);
  AddPair(g, 2, 0, Label14[2], MakeDealField(8, "Miles/Year Allowed By Residual"));
  // The money factor and the Ford APR share one place; the lease method shows one of them.
  g->addWidget(Label14[3], 3, 0);
  g->addWidget(MakeDealField(9, "Money Factor"), 3, 1);
  g->addWidget(MakeDealField(24, "Ford APR (Interest Rate Quoted by Ford Motor Credit)"), 3, 1);
  Text3[24]->hide();
  AddPair(g, 4, 0, Label14[4], MakeDealField(25, "Annual Percentage Rate"));
  AddPair(g, 5, 0, Label14[5], MakeDealField(10, "Total Rent Charge"));
  AddPair(g, 6, 0, Label14[6], MakeDealField(11, "Discount Rate For Total Future Cost"));
  g->setColumnMinimumWidth(3, 16);

  lblStartUps = ValueLabel(w);
  lblAdjust = ValueLabel(w);
  lblTradeCap = ValueLabel(w);
  lblGrossCap = ValueLabel(w);
  lblAdjustedCap = ValueLabel(w);
  lblAdjustedCap->setObjectName("lblAdjustedCap");
  lblAdjustedCap->setToolTip("Adjusted Capitalized Cost (Double-Click To Force)");
  AddPair(g, 0, 4, Caption("Start-Ups (Cap):", w), lblStartUps);
  AddPair(g, 1, 4, Caption("Other Adjustments:", w), lblAdjust);
  AddPair(g, 2, 4, Caption("Trade Equity (Cap):", w), lblTradeCap);
  AddPair(g, 3, 4, Caption("Gross Cap Cost:", w), lblGrossCap);
  AddPair(g, 4, 4, Caption("Adjusted Cap Cost:", w), lblAdjustedCap);

  lblPayment[1] = ValueLabel(w, 100);
  lblPayment[1]->setToolTip("Monthly Payment w/Tax");
  SetPaymentFont(lblPayment[1]);
  lblPayment[0] = ValueLabel(w, 100);
  lblPayment[0]->setToolTip("Cash Req'd (Double-click to Force)");
  Label2[0] = ValueLabel(w, 100);
  AddPair(g, 5, 4, Caption("Monthly Payment w/Tax:", w), lblPayment[1]);
  AddPair(g, 6, 4, Caption("Cash Req'd:", w), lblPayment[0]);
  AddPair(g, 7, 4, Caption("Total Future Cost:", w), Label2[0]);
  g->setColumnStretch(6, 1);
  v->addLayout(g);

  lblResNote = new QLabel(w);
  lblResNote->setObjectName("lblResNote");
  v->addWidget(lblResNote);

  cmdbut2[0] = MakeButton("Ca&r", "Click To Select Car");
  cmdbut2[1] = MakeButton("Truc&k", "Click To Select Trucks & Vans");
  cmdbut2[2] = MakeButton("Opt&ions", "Clcik to Select Vehicle Options");
  cmdbut2[4] = MakeButton(" Force Payme&nt", "Force Payment");
  Command2[0] = MakeButton("&Details", "Total Future Cost Detail Calculations");
  Command5[0] = MakeButton("Pa&yment");
  Command5[1] = MakeButton("Cash Re&q'd");
  AddButtonRow(v, {cmdbut2[0], cmdbut2[1], cmdbut2[2], cmdbut2[4]});
  AddButtonRow(v, {Command2[0], Command5[0], Command5[1]});
  return w;
}

QWidget* QV::BuildLoanView() {
  const auto [w, v, g] = NewView();
  Label14[7] = Caption("Loan Months:", w);
  Label14[8] = Caption("Loan Rate:", w);
  Label14[12] = Caption("Days To First Payment:", w);
  Label14[10] = Caption("Balloon Payment:", w);
  Label14[13] = Caption("Value after 36.0 months:", w);
  Label14[9] = Caption("Discount Rate:", w);
  lblLoanEndPerc[0] = ValueLabel(w, 64);
  AddPair(g, 0, 0, Label14[7], MakeDealField(13, "Loan Months"));
  AddPair(g, 1, 0, Label14[8], MakeDealField(14, "Loan Interest Rate"));
  AddPair(g, 2, 0, Label14[12], MakeDealField(26, "Days To First Payment"));
  AddPair(g, 3, 0, Label14[10], MakeDealField(23, "Balloon Payment"));
  AddPair(g, 4, 0, Label14[13], MakeDealField(16, "Value After Number of Months In Lease"), lblLoanEndPerc[0]);
  AddPair(g, 5, 0, Label14[9], MakeDealField(15, "Discount Rate For Total Future Cost"));
  lblPayment[2] = ValueLabel(w, 100);
  SetPaymentFont(lblPayment[2]);
  Label14[11] = Caption("Total Future Cost after 36.0 months:", w);
  Label2[1] = ValueLabel(w, 100);
  g->setRowMinimumHeight(6, 8);
  AddPair(g, 7, 0, Caption("Monthly Payment:", w), lblPayment[2]);
  AddPair(g, 8, 0, Label14[11], Label2[1]);
  g->setColumnStretch(3, 1);
  v->addLayout(g);

  cmdbut2[5] = MakeButton(" Ca&r", "Click to Select Car");
  cmdbut2[6] = MakeButton("Truc&k", "Click to Select Trucks & Vans");
  cmdbut2[7] = MakeButton("Opt&ions", "Click To Select Options");
  cmdbut2[8] = MakeButton(" Force Payme&nt", "Force Payment");
  Command2[1] = MakeButton("&Details", "Total Future Cost Detail Calculations");
  AddButtonRow(v, {cmdbut2[5], cmdbut2[6], cmdbut2[7], cmdbut2[8], Command2[1]});
  v->addStretch(1);
  return w;
}

QWidget* QV::BuildCashView() {
  const auto [w, v, g] = NewView();
  Label14[14] = Caption("Value after 36.0 months:", w);
  Label14[15] = Caption("Discount Rate:", w);
  Label14[16] = Caption("Total Future Cost after 36.0 months:", w);
  lblLoanEndPerc[1] = ValueLabel(w, 64);
  Label2[2] = ValueLabel(w, 100);
  AddPair(g, 0, 0, Label14[14], MakeDealField(17, "Value After Number of Months In Lease"), lblLoanEndPerc[1]);
  AddPair(g, 1, 0, Label14[15], MakeDealField(18, "Discount Rate For Total Future Cost"));
  g->setRowMinimumHeight(2, 8);
  AddPair(g, 3, 0, Label14[16], Label2[2]);
  g->setColumnStretch(3, 1);
  v->addLayout(g);
  cmdbut2[11] = MakeButton(" Ca&r", "Click to Select Car");
  cmdbut2[10] = MakeButton("Truc&k", "Click To Select Trucks & Vans");
  cmdbut2[9] = MakeButton("Opt&ions", "Click To Select Options");
  Command2[2] = MakeButton(
      "&Details", "Total Future Cost After Number of Months in Lease (Future Value of Cash Flow)");
  AddButtonRow(v, {cmdbut2[11], cmdbut2[10], cmdbut2[9], Command2[2]});
  v->addStretch(1);
  return w;
}

QWidget* QV::BuildCompareView() {
  const auto [w, v, g] = NewView();
  Label14[21] = Caption("Total Future Cost (36.0 months)", w);
  QFont bold = Label14[21]->font();
  bold.setBold(true);
  Label14[21]->setFont(bold);
  v->addWidget(Label14[21]);
  Label14[17] = Caption("Lease:", w);
  Label14[18] = Caption("Loan:", w);
  Label14[19] = Caption("Cash:", w);
  for (int i = 3; i <= 5; ++i) Label2[i] = ValueLabel(w, 100);
  for (int i = 6; i <= 8; ++i) Label2[i] = ValueLabel(w, 64);
  AddPair(g, 0, 0, Label14[17], Label2[3]);
  AddPair(g, 1, 0, Label14[18], Label2[4]);
  AddPair(g, 2, 0, Label14[19], Label2[5]);
  g->setColumnMinimumWidth(2, 16);
  AddPair(g, 0, 3, Caption("Lease / Loan Ratio:", w), Label2[6]);
  AddPair(g, 1, 3, Caption("Lease / Cash Ratio:", w), Label2[7]);
  AddPair(g, 2, 3, Caption("Loan / Cash Ratio:", w), Label2[8]);
  g->setColumnMinimumWidth(5, 16);
  Label14[20] = Caption("Discount Rate:", w);
  AddPair(g, 0, 6, Label14[20], MakeDealField(19, "Discount Rate For Total Future Cost"));
  g->setColumnStretch(8, 1);
  v->addLayout(g);
  Command2[3] = MakeButton(
      "&Details", "Total Future Cost After Number of Months in Lease (Future Value of Cash Flow)");
  Command2[4] = MakeButton("View &Report", "View/Print Lease Buy Analysis Report");
  AddButtonRow(v, {Command2[3], Command2[4]});
  v->addStretch(1);
  return w;
}

QWidget* QV::BuildLeaseCashBox() {
  auto* box = Group("Cash Due at Signing", nullptr);
  auto* g = new QGridLayout(box);
  g->setContentsMargins(8, 4, 8, 6);
  g->setVerticalSpacing(3);
  g->addWidget(Caption("Cap Reduction (Cash):", box), 0, 0);
  g->addWidget(MakeDealField(5, "Cap Reduction Paid in Cash"), 0, 1);
  Command1[0] = MakeButton("S&tart-Ups");
  Command1[1] = MakeButton("Other Ad&justments");
  g->addWidget(Command1[0], 1, 0);
  g->addWidget(Command1[1], 1, 1);
  g->setColumnStretch(2, 1);
  g->setRowStretch(2, 1);
  return box;
}

QWidget* QV::BuildLoanCashBox() {
  auto* box = Group("Purchase", nullptr);
  auto* g = new QGridLayout(box);
  g->setContentsMargins(8, 4, 8, 6);
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(3);
  Label18[1] = Caption("Less:  Trade-In Allowance ..............", box);
  Label18[2] = Caption("Plus: Trade Payoff..........................", box);
  Label18[0] = Caption("Less: Down Payment .......", box);
  Label18[3] = Caption("Less: Factory-to-Customer Rebate....", box);
  lblLoan[0] = ValueLabel(box);
  lblLoan[2] = ValueLabel(box);
  lblLoan[8] = ValueLabel(box);
  lblLoan[9] = ValueLabel(box, 84);
  QFont bold = lblLoan[8]->font();
  bold.setBold(true);
  lblLoan[8]->setFont(bold);
  lblLoan[9]->setFont(bold);
  lblDownPmtPerc = ValueLabel(box, 64);
  Command4[1] = MakeButton("&Taxes && Fees");
  Label17[0] = Caption("Loan Principle / Cash Required ......", box);

  int r = 0;
  g->addWidget(Label18[1], r, 0);
  g->addWidget(MakeDealField(21, nullptr), r++, 1);
  g->addWidget(Caption("Taxable Amount ..........................", box), r, 0);
  g->addWidget(lblLoan[0], r++, 1);
  g->addWidget(Command4[1], r, 0, Qt::AlignLeft);
  g->addWidget(lblLoan[2], r++, 1);
  g->addWidget(Label18[2], r, 0);
  g->addWidget(MakeDealField(22, nullptr), r++, 1);
  g->addWidget(Label18[0], r, 0);
  g->addWidget(MakeDealField(12, nullptr), r, 1);
  g->addWidget(lblDownPmtPerc, r++, 2);
  g->addWidget(Label18[3], r, 0);
  g->addWidget(MakeDealField(20, nullptr), r++, 1);
  g->addWidget(Label17[0], r, 0);
  g->addWidget(lblLoan[8], r, 1);
  g->addWidget(lblLoan[9], r++, 2);
  g->setColumnStretch(3, 1);
  g->setRowStretch(r, 1);
  return box;
}

void QV::BuildSlidePanels(QWidget* host) {
  // Payment calculations: figure k beside its design caption; descriptions 11 (sales tax)
  // and 15 (admin fee) are written by the breakdown, the others are fixed.
  Picture3 = new QFrame(host);
  Picture3->setObjectName("Picture3");
  Picture3->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Picture3->setAutoFillBackground(true);
  auto* pg = new QGridLayout(Picture3);
  pg->setContentsMargins(8, 6, 8, 6);
  pg->setVerticalSpacing(1);
  auto* title = Caption("Payment Calculations", Picture3);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  pg->addWidget(title, 0, 0, 1, 2);
  struct Line {
    int value;
    int descrip;
    const char* caption;
  };
  const Line lines[18] = {
      {0, 0, "Adjusted Cap Cost:"},       {1, 1, "Residual Value:"},
      {2, 2, "Total Depreciation:"},      {3, 3, "Divide by Months:"},
      {4, 4, "Monthly Depreciation:"},    {5, 5, "Adjusted Cap Cost:"},
      {6, 6, "Residual Value:"},          {7, 7, "Cap Cost + Residual:"},
      {8, 8, "Times Money Factor:"},      {9, 9, "Monthly Rent Charge:"},
      {10, 10, "Monthly Depreciation:"},  {11, 13, "Monthly Rent Charge:"},
      {12, 12, "Base Monthly Payment:"},  {13, 15, "Ford Admin Fee:"},
      {14, 11, "Sales Tax:"},             {15, 14, "Monthly Payment:"},
      {16, 16, "Total Monthly Payments:"}, {17, 17, "Total Rent Charges:"},
  };
  for (const Line& l : lines) {
    lblDescrip[l.descrip] = Caption(l.caption, Picture3);
    lblValue[l.value] = new QLabel(Picture3);
    lblValue[l.value]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pg->addWidget(lblDescrip[l.descrip], l.value + 1, 0);
    pg->addWidget(lblValue[l.value], l.value + 1, 1);
  }
  auto* pb = new QHBoxLayout();
  Command6[0] = MakeButton("&Print");
  Command6[1] = MakeButton("C&lose >>");
  pb->addStretch(1);
  pb->addWidget(Command6[0]);
  pb->addWidget(Command6[1]);
  pg->addLayout(pb, 20, 0, 1, 2);
  Picture3->hide();

  // Cash required: the cash-due grid and its buttons.
  Picture5 = new QFrame(host);
  Picture5->setObjectName("Picture5");
  Picture5->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Picture5->setAutoFillBackground(true);
  auto* cg = new QVBoxLayout(Picture5);
  cg->setContentsMargins(8, 6, 8, 6);
  auto* ctitle = Caption("Cash Required", Picture5);
  ctitle->setFont(bold);
  cg->addWidget(ctitle);
  const char* totals[4] = {"Total Cash Start-Ups", "Cap Reduction Cash", "Cash Adjustments", "Total Cash Required"};
  for (int r = 1; r <= 4; ++r) CashSheetData.SetTextRC(r, 1, totals[r - 1]);
  CashSheetData.SetMaxCol(2);
  CashSheet = new grid::GridWidget(Picture5);
  CashSheet->setObjectName("CashSheet");
  AttachSheet(CashSheet, &CashSheetData);
  CashSheet->setReadOnly(true);
  CashSheet->setColumnHeadersVisible(false);
  CashSheet->setRowHeadersVisible(false);
  CashSheet->setColumnNumeric(1, false);
  CashSheet->setColumnWidth(1, 170);
  CashSheet->setColumnWidth(2, 96);
  CashSheet->setColumnFormatter(2, [](double v) { return Format(v, "$#,###.00;($#,###.00); "); });
  cg->addWidget(CashSheet, 1);
  auto* cb = new QHBoxLayout();
  Command7[0] = MakeButton("&Print");
  Command7[1] = MakeButton("C&lose>>");
  cb->addStretch(1);
  cb->addWidget(Command7[0]);
  cb->addWidget(Command7[1]);
  cg->addLayout(cb);
  Picture5->hide();
}

// ---------------------------------------------------------------------------------------
// Readiness of controls

void QV::MarkReady(QWidget* w) {
  if (!w) return;
  w->setProperty(kReady, true);
  w->setEnabled(EnabledByRule(w));
}

void QV::MarkReady(QAction* a) {
  if (!a) return;
  a->setProperty(kReady, true);
  a->setEnabled(EnabledByRule(a));
}

bool QV::IsReady(const QObject* o) const {
  QVariant v = o->property(kReady);
  return !v.isValid() || v.toBool();
}

bool QV::EnabledByRule(const QObject* o) const {
  QVariant v = o->property(kRule);
  return !v.isValid() || v.toBool();
}

void QV::SetEnabledByRule(QWidget* w, bool rule) {
  w->setProperty(kRule, rule);
  w->setEnabled(rule && IsReady(w));
}

uint32_t QV::ForeColor(const QLabel* label) {
  QVariant v = label->property(kForeColor);
  return v.isValid() ? v.toUInt() : 0;
}

void QV::SetForeColor(QLabel* label, uint32_t bgr) {
  label->setProperty(kForeColor, bgr);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
  label->setPalette(p);
}

int QV::Text3Index(const QObject* w) const {
  if (!w) return -1;
  QVariant v = w->property(kIndex);
  if (!v.isValid()) return -1;
  int i = v.toInt();
  return (i >= 0 && i < 27 && Text3[i] == w) ? i : -1;
}

// ---------------------------------------------------------------------------------------
// Signals and events

void QV::ConnectHandlers() {
  connect(Combo2, &QComboBox::activated, this, [this](int) { Combo2_Click(); });
  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
  connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
  MarkReady(mnuExit);
  connect(mnuSaveConfig, &QAction::triggered, this, [this] { mnuSaveConfig_click(); });
  MarkReady(mnuSaveConfig);
}

void QV::ConnectHandlerFiles() {
  ConnectSolvers();
  ConnectAnalysis();
  ConnectButtons();
  ConnectMenus();
  ConnectOptionList();
  ConnectFilesToolbarPanels();
  ConnectDealInputs();
  ConnectReports();
  ConnectPricing();
  ConnectCustomer();
}

void QV::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() != QEvent::ActivationChange || isActiveWindow()) return;
  QWidget* now = QApplication::activeWindow();
  if (now && now != this && windows_.Holds(now)) CommitFieldEdit();
}

// Enter on a focused button of the window presses it, as in the deal windows. Escape slides
// an open panel back, as its "C&lose" button does: the keys no box, list or button of the
// window took come here, wherever the focus was when the panel came out.
void QV::keyPressEvent(QKeyEvent* e) {
  if (ui::PressFocusedButton(this, e)) return;
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && (PaymentPanelOut() || CashPanelOut())) {
    e->accept();
    if (PaymentPanelOut()) Command6_Click(1);
    else Command7_Click(1);
    return;
  }
  QMainWindow::keyPressEvent(e);
}

bool QV::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();

  const int box = Text3Index(watched);
  if (box >= 0) {
    if (type == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      Text3_KeyDown(box, VbKeyCode(k->key()), static_cast<int>(k->modifiers()));
    }
    return ui::RunEntryBoxHandlers(
        watched, event, [this, box] { Text3_GotFocus(box); }, [this, box] { Text3_LostFocus(box); },
        [this, box](int& ascii) { Text3_KeyPress(box, ascii); });
  }

  if (watched == Text5[0]) {
    return ui::RunEntryBoxHandlers(
        watched, event, [this] { Text5_GotFocus(0); }, [this] { Text5_LostFocus(0); },
        [this](int& ascii) { Text5_KeyPress(0, ascii); });
  }

  for (int i = 0; i < 2; ++i) {
    if (watched == Text4[i]) {
      if (type == QEvent::FocusIn) Text4_GotFocus(i);
      return false;
    }
  }

  if (watched == Combo2) {
    if (type == QEvent::KeyRelease) {
      auto* k = static_cast<QKeyEvent*>(event);
      Combo2_KeyUp(VbKeyCode(k->key()), static_cast<int>(k->modifiers()));
    }
    return ui::RunEntryBoxHandlers(
        watched, event, [this] { Combo2_GotFocus(); }, [this] { Combo2_LostFocus(); },
        [this](int& ascii) { Combo2_KeyPress(ascii); });
  }

  if (watched == Text1) {
    if (type == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Escape) {
        int ascii = 27;
        Text1_KeyPress(ascii);
        return true;
      }
    }
    if (type == QEvent::FocusOut && ui::IsRealFocusMove(static_cast<QFocusEvent*>(event))) Text1_LostFocus();
    return false;
  }

  return QMainWindow::eventFilter(watched, event);
}

}  // namespace qv
