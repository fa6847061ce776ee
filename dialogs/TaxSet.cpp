// The tax settings window: the list of named settings, the two tabs of rates, methods and
// flags, Add, Delete and OK, over the tax-settings file "Taxset.txt" of the program folder.
#include "dialogs/TaxSet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "owner/FiniteEntry.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/QtText.h"

namespace qv {


namespace {

constexpr const char* kTitle = "Tax Settings";
constexpr const char* kRatePattern = "#.000;; ";
constexpr const char* kMoneyPattern = "$#,###.00;; ";
constexpr const char* kMaxTaxPattern = "$#,###;;N/A";

// Captions of the "Also Tax:" boxes, by index.
const char* const kAlsoTaxCaptions[14] = {"Security Deposit",
                                          "Registration Fee",
                                          "Title Fee",
                                          "Document Fee",
                                          "Tax on Cap Reduction",
                                          "Tax on Rebate",
                                          "Luxury Tax",
                                          "Trade Equity",
                                          "Acquisition Fee",
                                          "Factory-to-Customer Rebate (Capitalized)",
                                          "Pre-Paid Miles",
                                          "Other",
                                          "Cap Reduction Cash",
                                          "Factory-to-Customer Rebate (Cash)"};

// The flag an "Also Tax:" box carries.
int16_t& AlsoTaxFlag(Engine& e, int index) {
  PageItems& it = e.items;
  switch (index) {
    case 0: return it.Security.AlsoTax;
    case 1: return it.Registration.AlsoTax;
    case 2: return it.Title.AlsoTax;
    case 3: return it.DocumentFee.AlsoTax;
    case 4: return it.CapRedTax.AlsoTax;
    case 5: return it.RebateTax.AlsoTax;
    case 6: return it.LuxuryTax.AlsoTax;
    case 7: return it.TradeEquity.AlsoTax;
    case 8: return it.Acquisition.AlsoTax;
    case 9: return it.LeaseRebate.AlsoTax;
    case 10: return it.PrePaidMileFee.AlsoTax;
    case 11: return it.OtherFee.AlsoTax;
    case 12: return e.tax.AlsoTaxCapRedCash;
    default: return e.tax.AlsoTaxRebateCash;
  }
}

// The key of a settings line: the text before its first comma; none without a comma.
bool LineKey(const std::string& line, std::string& key) {
  const size_t comma = line.find(',');
  if (comma == std::string::npos) return false;
  key = line.substr(0, comma);
  return true;
}

// True when a float can hold `v` (finite and within its range).
bool FitsFloat(double v) { return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max(); }

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Checks the radio button of `index` in a group; an index outside the group checks none.
void CheckIndex(QButtonGroup* group, int index) {
  if (QAbstractButton* b = group->button(index)) {
    b->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

}  // namespace


TaxSet::TaxSet(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("TaxSet");
  Build();
  Form_Load();
}

TaxSet::~TaxSet() {
  ui::ReleaseEntryBoxFilters(this);
  if (!finished_) Form_Unload();
}

void TaxSet::ShowModalAndWait(Owner& owner) {
  owner.Windows().ShowModalAndUnload<TaxSet>();
}

bool TaxSet::ReadTaxSetNames(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  std::string content;
  if (!files::ReadWholeFile(path, content)) return false;
  const std::vector<std::string> lines = SplitLines(content);
  std::string key;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) break;
    if (LineKey(lines[i], key)) names.push_back(key);
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Layout

void TaxSet::Build() {
  setWindowTitle(kTitle);
  auto* top = new QVBoxLayout(this);

  auto* nameRow = new QHBoxLayout;
  Label19 = new QLabel("Name:", this);
  Combo1 = new QComboBox(this);
  Combo1->setObjectName("Combo1");
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setCompleter(nullptr);
  Combo1->setMinimumWidth(200);
  nameRow->addWidget(Label19);
  nameRow->addWidget(Combo1, 1);
  const char* captions[3] = {"&Add", " &Delete", " &Ok"};
  for (int i = 0; i < 3; ++i) {
    Command1[i] = new QPushButton(captions[i], this);
    Command1[i]->setAutoDefault(false);
    nameRow->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  top->addLayout(nameRow);

  TabStrip1 = new QTabBar(this);
  TabStrip1->setObjectName("TabStrip1");
  TabStrip1->addTab("&Sales/Use Tax");
  TabStrip1->addTab("  &Luxury Tax  ");
  TabStrip1->setDrawBase(true);
  top->addWidget(TabStrip1);
  tabPages = new QStackedWidget(this);
  tabPages->addWidget(BuildSalesTab());
  tabPages->addWidget(BuildLuxuryTab());
  top->addWidget(tabPages, 1);

  for (int i = 0; i < 7; ++i) {
    filters_[i] = new ui::EntryBoxFilter(
        this, [this, i] { Text2_GotFocus(i); }, [this, i] { Text2_LostFocus(i); },
        [this, i](int& k) { Text2_KeyPress(i, k); });
    Text2[i]->installEventFilter(filters_[i]);
  }
  connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  auto* comboFilter = new ui::EntryBoxFilter(
      this, nullptr, [this] { Combo1_LostFocus(); }, [this](int& k) { Combo1_KeyPress(k); });
  Combo1->installEventFilter(comboFilter);
  if (Combo1->lineEdit()) Combo1->lineEdit()->installEventFilter(comboFilter);
  for (int i = 0; i < 4; ++i)
    connect(optTaxMethod[i], &QRadioButton::clicked, this, [this, i] { optTaxMethod_Click(i); });
}

QWidget* TaxSet::BuildSalesTab() {
  auto* page = new QFrame(this);
  frameTab[0] = page;
  auto* v = new QVBoxLayout(page);

  auto rateBox = [this](int index) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString("Text2_%1").arg(index));
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setFixedWidth(90);
    Text2[index] = e;
    return e;
  };

  frameLease = new QGroupBox("Lease Tax Settings", page);
  auto* lg = new QGridLayout(frameLease);
  lg->addWidget(new QLabel("Rate:", frameLease), 0, 0);
  lg->addWidget(rateBox(0), 0, 1, Qt::AlignLeft);
  lg->addWidget(new QLabel("Method:", frameLease), 1, 0, Qt::AlignTop);
  auto* methods = new QVBoxLayout;
  const char* methodCaptions[4] = {"Tax Payment Stream", "Tax Purchase Price", "Tax Sum of Payments ",
                                   "Tax Sum of Payments Less Finance Charge"};
  auto* methodGroup = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    optTaxMethod[i] = new QRadioButton(methodCaptions[i], frameLease);
    methodGroup->addButton(optTaxMethod[i], i);
    methods->addWidget(optTaxMethod[i]);
  }
  lg->addLayout(methods, 1, 1);
  lg->addWidget(new QLabel("Default:", frameLease), 2, 0);
  auto* capCash = new QHBoxLayout;
  auto* capCashGroup = new QButtonGroup(this);
  optCapCash[0] = new QRadioButton("Cash", frameLease);
  optCapCash[1] = new QRadioButton("Capitalize", frameLease);
  for (int i = 0; i < 2; ++i) {
    capCashGroup->addButton(optCapCash[i], i);
    capCash->addWidget(optCapCash[i]);
  }
  capCash->addStretch(1);
  lg->addLayout(capCash, 2, 1);
  lg->addWidget(new QLabel("Also Tax:", frameLease), 3, 0, Qt::AlignTop);
  auto* also = new QGridLayout;
  also->setVerticalSpacing(2);
  for (int i = 0; i < 14; ++i) {
    chkAlsoTax[i] = new QCheckBox(kAlsoTaxCaptions[i], frameLease);
    chkAlsoTax[i]->setObjectName(QString("chkAlsoTax_%1").arg(i));
    also->addWidget(chkAlsoTax[i], i % 7, i / 7);
  }
  lg->addLayout(also, 3, 1);
  lg->setColumnStretch(1, 1);

  frameBuy = new QGroupBox("Buy Tax Settings", page);
  auto* bg = new QGridLayout(frameBuy);
  bg->addWidget(new QLabel("Basis:", frameBuy), 0, 0);
  bg->addWidget(new QLabel("Purchase Price", frameBuy), 0, 1);
  bg->addWidget(new QLabel("Rate:", frameBuy), 1, 0);
  bg->addWidget(rateBox(1), 1, 1);
  bg->addWidget(new QLabel("Local Rate:", frameBuy), 2, 0);
  bg->addWidget(rateBox(2), 2, 1);
  bg->addWidget(new QLabel("Maximum Local Tax:", frameBuy), 3, 0);
  bg->addWidget(rateBox(3), 3, 1);
  bg->setRowStretch(4, 1);

  auto* frames = new QHBoxLayout;
  frames->addWidget(frameLease, 3);
  frames->addWidget(frameBuy, 1, Qt::AlignTop);
  v->addLayout(frames);

  auto* below = new QHBoxLayout;
  chkExclTradeFromLocal = new QCheckBox("&Exclude Trade Allowance from Local Taxes", page);
  below->addWidget(chkExclTradeFromLocal);
  below->addStretch(1);
  below->addWidget(new QLabel("Maximum Tax:", page));
  below->addWidget(rateBox(6));
  v->addLayout(below);
  v->addStretch(1);
  return page;
}

QWidget* TaxSet::BuildLuxuryTab() {
  auto* page = new QFrame(this);
  frameTab[1] = page;
  auto* v = new QVBoxLayout(page);
  auto* g = new QGridLayout;
  g->addWidget(new QLabel("Basis", page), 0, 0);
  g->addWidget(new QLabel("Rate", page), 0, 1);
  g->addWidget(new QLabel("Default Payment Method", page), 0, 2);
  g->addWidget(new QLabel("Purchase Price", page), 1, 0);
  Text2[4] = new QLineEdit(page);
  Text2[4]->setObjectName("Text2_4");
  Text2[4]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Text2[4]->setFixedWidth(90);
  g->addWidget(Text2[4], 1, 1);
  auto* cc = new QHBoxLayout;
  auto* ccGroup = new QButtonGroup(this);
  optLuxuryTaxCC[0] = new QRadioButton("Cash", page);
  optLuxuryTaxCC[1] = new QRadioButton("Capitalize", page);
  for (int i = 0; i < 2; ++i) {
    ccGroup->addButton(optLuxuryTaxCC[i], i);
    cc->addWidget(optLuxuryTaxCC[i]);
  }
  g->addLayout(cc, 1, 2);
  g->addWidget(new QLabel("Tax Amount of Purchase Price Over:", page), 2, 0, 1, 2);
  Text2[5] = new QLineEdit(page);
  Text2[5]->setObjectName("Text2_5");
  Text2[5]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Text2[5]->setFixedWidth(110);
  g->addWidget(Text2[5], 2, 2, Qt::AlignLeft);
  g->setColumnStretch(3, 1);
  v->addLayout(g);
  chkInterestOnLuxuryTax = new QCheckBox("No Interest on Capitalized Luxury Tax", page);
  v->addWidget(chkInterestOnLuxuryTax);
  v->addStretch(1);
  return page;
}

// ---------------------------------------------------------------------------------------
// Form and variables

void TaxSet::FillTaxSetForm() {
  const TaxSetting& t = eng.tax;
  Text2[0]->setText(Q(Format(t.LeaseTaxRate, kRatePattern)));
  Text2[1]->setText(Q(Format(t.BuyTaxRate, kRatePattern)));
  Text2[2]->setText(Q(Format(t.LocalTaxRate, kRatePattern)));
  Text2[3]->setText(Q(Format(t.MaxLocalTax, kMoneyPattern)));
  Text2[4]->setText(Q(Format(t.LuxuryTaxRate, kRatePattern)));
  Text2[5]->setText(Q(Format(t.LuxuryThreshold, kMoneyPattern)));
  Text2[6]->setText(Q(Format(t.MaxTax, kMaxTaxPattern)));
  CheckIndex(optTaxMethod[0]->group(), ToInt16(t.TaxMethod));
  CheckIndex(optCapCash[0]->group(), t.DefaultCapCash);
  CheckIndex(optLuxuryTaxCC[0]->group(), t.LuxuryTaxCapCash);
  for (int i = 0; i < 14; ++i) chkAlsoTax[i]->setChecked(AlsoTaxFlag(eng, i) != 0);
  chkExclTradeFromLocal->setChecked(t.ExclTradeFromLocal != 0);
  chkInterestOnLuxuryTax->setChecked(t.NoInterestOnLuxuryTax != 0);
}

void TaxSet::ReadTaxSetForm() {
  TaxSetting& t = eng.tax;
  // A box whose value no float can hold leaves the setting's value as it was.
  auto box = [this](int i, float& to) {
    const double v = ParseMoneyText(S(Text2[i]->text()));
    if (FitsFloat(v)) to = static_cast<float>(v);
  };
  box(0, t.LeaseTaxRate);
  box(1, t.BuyTaxRate);
  box(2, t.LocalTaxRate);
  box(3, t.MaxLocalTax);
  box(4, t.LuxuryTaxRate);
  t.LuxuryThreshold = ToInt32(ParseMoneyText(S(Text2[5]->text())));
  box(6, t.MaxTax);
  if (const int m = optTaxMethod[0]->group()->checkedId(); m >= 0) t.TaxMethod = static_cast<float>(m);
  if (const int d = optCapCash[0]->group()->checkedId(); d >= 0) t.DefaultCapCash = static_cast<int16_t>(d);
  if (const int d = optLuxuryTaxCC[0]->group()->checkedId(); d >= 0) t.LuxuryTaxCapCash = static_cast<int16_t>(d);
  for (int i = 0; i < 14; ++i) AlsoTaxFlag(eng, i) = chkAlsoTax[i]->isChecked() ? 1 : 0;
  t.ExclTradeFromLocal = chkExclTradeFromLocal->isChecked() ? 1 : 0;
  t.NoInterestOnLuxuryTax = chkInterestOnLuxuryTax->isChecked() ? 1 : 0;
}

std::string TaxSet::ListText() const { return S(Combo1->currentText()); }

void TaxSet::SetListText(const std::string& text) {
  settingList_ = -1;
  {
    QSignalBlocker block(Combo1);
    Combo1->setEditText(Q(text));
  }
  settingList_ = 0;
}

bool TaxSet::FillNames() {
  std::vector<std::string> names;
  const bool ok = ReadTaxSetNames(eng.TaxSetPath(), names);
  settingList_ = -1;
  {
    QSignalBlocker block(Combo1);
    Combo1->clear();
    for (const std::string& n : names) Combo1->addItem(Q(n));
  }
  settingList_ = 0;
  if (!ok)
    ui::GetPrompt().MsgBox("Unable to open the tax settings file " + eng.TaxSetPath() + ".", ui::Buttons::OK,
                           ui::Icon::Exclamation, std::string(kTitle));
  return ok;
}

void TaxSet::SelectCurrentName() {
  const int found = Combo1->findText(Q(eng.tax.TaxSetName), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (found >= 0) {
    settingList_ = -1;
    {
      QSignalBlocker block(Combo1);
      Combo1->setCurrentIndex(found);
    }
    settingList_ = 0;
  } else if (Combo1->count() > 0) {
    // The current name has no line in the file: the first setting becomes current. The
    // values shown are not saved under the missing name, which would add a setting nobody
    // asked for (after a delete, the deleted one again under another name).
    settingList_ = -1;
    {
      QSignalBlocker block(Combo1);
      Combo1->setCurrentIndex(0);
    }
    settingList_ = 0;
    eng.tax.TaxSetName = ListText();
    std::string error;
    if (!eng.LoadTaxSet(&error))
      ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation, std::string(kTitle));
    FillTaxSetForm();
  }
  // With no setting at all the list stays empty and shows the current name; Add is offered.
  SetListText(eng.tax.TaxSetName);
}

void TaxSet::Form_Load() {
  FillNames();
  FillTaxSetForm();
  SelectCurrentName();
  TabStrip1_Click();
}

void TaxSet::ReportSaveFailure(const std::string& error) {
  ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation, std::string(kTitle));
}

void TaxSet::SaveShownSetting() {
  ReadTaxSetForm();
  std::string error;
  if (!eng.SaveTaxSet(&error)) ReportSaveFailure(error);
}

void TaxSet::Form_Unload() {
  // A name typed into the list becomes a setting only through Add and its checks: closing
  // drops it (as leaving the list does), so the current name, the settings file and the
  // settings list stay one setting that exists.
  if (ListText() != eng.tax.TaxSetName) SetListText(eng.tax.TaxSetName);
  owner.WriteConfigFile();
  SaveShownSetting();
  eng.RecalcPage();
  // The main window's lists take part only while it is not itself being taken down.
  if (!owner.OwnerAlive()) return;
  // The main window's list follows the file; selecting the current name there loads it again.
  owner.FillTaxSetList();
  owner.ChooseTaxSet(eng.tax.TaxSetName);
}

// ---------------------------------------------------------------------------------------
// Handlers

void TaxSet::Combo1_Click() {
  if (settingList_) return;
  SaveShownSetting();  // the edits go to the setting that was current
  eng.tax.TaxSetName = ListText();
  std::string error, notice;
  if (!eng.LoadTaxSet(&error, &notice)) ReportSaveFailure(error);
  if (!notice.empty()) ui::GetPrompt().MsgBox(notice, ui::Buttons::OK, ui::Icon::Exclamation, std::string(kTitle));
  FillTaxSetForm();
}

void TaxSet::Combo1_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  KeyAscii = 0;
  TabStrip1->setFocus(Qt::TabFocusReason);
}

void TaxSet::Combo1_LostFocus() {
  ui::ReentryGuard guard(inCombo1LostFocus_);
  if (!guard.Entered() || finished_) return;
  // A name typed into the list without Add is thrown away.
  if (ListText() != eng.tax.TaxSetName) SetListText(eng.tax.TaxSetName);
}

void TaxSet::Command1_Click(int Index) {
  ui::Prompt& prompt = ui::GetPrompt();
  switch (Index) {
    case 0: {  // Add
      const std::optional<std::string> answer = prompt.InputBox("Enter New Tax Setting Name:");
      if (!answer) return;
      const std::string& name = *answer;
      if (Blank(name)) {
        prompt.MsgBox("Please enter a name for the new tax setting.", ui::Buttons::OK, ui::Icon::Exclamation,
                      std::string(kTitle));
        return;
      }
      if (name.find(',') != std::string::npos) {
        prompt.MsgBox("A tax setting name can not contain a comma.", ui::Buttons::OK, ui::Icon::Exclamation,
                      std::string(kTitle));
        return;
      }
      if (Combo1->findText(Q(name), Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
        prompt.MsgBox("A tax setting named " + name + " already exists.", ui::Buttons::OK, ui::Icon::Exclamation,
                      std::string(kTitle));
        return;
      }
      // The setting shown keeps its edits, as when switching to another (a name that is no
      // setting of the file, as in a file without settings, is not made one here).
      if (Combo1->findText(Q(eng.tax.TaxSetName), Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        SaveShownSetting();
      settingList_ = -1;
      {
        QSignalBlocker block(Combo1);
        Combo1->addItem(Q(name));
        Combo1->setCurrentIndex(Combo1->count() - 1);
      }
      settingList_ = 0;
      Combo1->setFocus(Qt::OtherFocusReason);
      eng.tax.TaxSetName = name;
      eng.SetDefaultTaxSet();
      FillTaxSetForm();
      return;
    }
    case 1: {  // Delete
      const std::string name = ListText();
      if (name == "Default") {
        prompt.MsgBox("You can not delete the default tax setting.");
        return;
      }
      if (prompt.MsgBox("Delete tax setting: " + name + "?", ui::Buttons::OKCancel) != ui::Answer::OK) return;
      std::string error;
      if (!eng.DeleteTaxSet(name, &error)) {
        ReportSaveFailure(error);
        return;
      }
      eng.tax.TaxSetName = "Default";
      if (!eng.LoadTaxSet(&error)) ReportSaveFailure(error);
      Form_Load();
      return;
    }
    case 2:
      if (ui::CommitFocusedEntry(Command1[2])) Finish();
      return;
    default:
      return;
  }
}

void TaxSet::TabStrip1_Click() {
  const int t = TabStrip1->currentIndex();
  if (t >= 0 && t < 2) tabPages->setCurrentIndex(t);
}

void TaxSet::optTaxMethod_Click(int /*Index*/) {}

void TaxSet::Text2_GotFocus(int Index) {
  if (Index < 0 || Index > 6) return;
  owner.Shared().GotFocusText = S(Text2[Index]->text());
  Text2[Index]->selectAll();
}

void TaxSet::Text2_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13 || Index < 0 || Index > 6) return;
  KeyAscii = 0;
  const int next = (Index == 3 || Index == 6) ? 0 : Index + 1;
  // The next box may stand on the other tab: show that tab first.
  const int tab = next == 4 || next == 5 ? 1 : 0;
  if (TabStrip1->currentIndex() != tab) TabStrip1->setCurrentIndex(tab);
  Text2[next]->setFocus(Qt::TabFocusReason);
}

void TaxSet::Text2_LostFocus(int Index) {
  if (Index < 0 || Index > 6) return;
  const std::string text = S(Text2[Index]->text());
  if (text == owner.Shared().GotFocusText) return;
  double v = 0;
  if (!ReadEntryAmount(text, v)) {
    Text2[Index]->setText(Q(owner.Shared().GotFocusText));
    return;
  }
  // A rate typed as a fraction becomes percent (whatever the box).
  if (v < 1) v *= 100;
  // The settings keep single-precision numbers and rates in percent: a value no float can
  // hold, or a rate outside 0 to 100, is refused and the box shows what it had.
  const bool rate = Index == 0 || Index == 1 || Index == 2 || Index == 4;
  if (rate ? !IsTaxRateValue(v) : !IsDealValue(v)) {
    Text2[Index]->setText(Q(owner.Shared().GotFocusText));
    ui::GetPrompt().MsgBox("\"" + Trim(text) + "\" is " +
                               (rate ? "not a tax rate. Please enter a rate from 0 to 100, such as 6.5."
                                     : "too large for this box."),
                           ui::Buttons::OK, ui::Icon::Exclamation, std::string(kTitle));
    return;
  }
  const char* pattern = (Index == 3 || Index == 5) ? kMoneyPattern : (Index == 6 ? kMaxTaxPattern : "0.000###;; ");
  Text2[Index]->setText(Q(Format(v, pattern)));
  owner.Shared().GotFocusText = S(Text2[Index]->text());
}

void TaxSet::Finish() {
  if (finished_) return;
  // A box still being edited keeps what was typed.
  for (int i = 0; i < 7; ++i)
    if (Text2[i]->hasFocus()) Text2_LostFocus(i);
  ui::ReleaseEntryBoxFilters(this);
  finished_ = true;
  Form_Unload();
  QDialog::done(QDialog::Accepted);
}

void TaxSet::reject() {
  if (!finished_) {
    Finish();
    return;
  }
  QDialog::reject();
}

}  // namespace qv
