// The tax settings window over a tax-settings file of the test's program folder: what it
// shows, the boxes, add (with its refusals), change, switch and delete, the file written
// back and read back, the main window's list, and files without settings, with lines that
// are no settings, with many settings, or that cannot be written.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTabBar>

#include <filesystem>
#include <vector>

#include "dialogs/TaxSet.h"
#include "tests/dialogs/DealInputsFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

const std::string kHeader =
    "Name,LeaseTaxRate,TaxMethod,DefaultCapCash,AlsoTaxCapRedCash,Security,Registration,Title,DocumentFee,"
    "CapRedTax,RebateTax,LuxuryTax,TradeEquity,Acquisition,LeaseRebate,PrePaidMileFee,OtherFee,BuyTaxRate,"
    "LocalTaxRate,MaxLocalTax,ExclTradeFromLocal,LuxuryTaxRate,LuxuryTaxCapCash,LuxuryThreshold,"
    "NoInterestOnLuxuryTax,MaxTax,AlsoTaxRebateCash";
// The defaults of a new setting, after its name.
const std::string kDefaults = ",6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6,0,0,1,6,1,36000,1,0,0";
const std::string kHome = "Home" + kDefaults;
const std::string kCity = "City,7.5,2,0,0,1,0,0,0,0,0,0,0,1,0,0,1,5,1.5,150,0,8,0,40000,0,900,1";

class TaxSetWindowTest : public DealInputsTest {
 protected:
  void TearDown() override {
    windows.Unload<TaxSet>();
    DealInputsTest::TearDown();
  }
  void WriteSettings(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    WriteFile(folder + "Taxset.txt", text);
  }
  TaxSet& Open() { return windows.Get<TaxSet>(); }
  void Close() { windows.Get<TaxSet>().Command1_Click(2); windows.Unload<TaxSet>(); }
  static void Type(TaxSet& w, int box, const std::string& text) {
    w.Text2_GotFocus(box);
    w.Text2[box]->setText(QString::fromStdString(text));
    w.Text2_LostFocus(box);
  }
  static std::vector<std::string> Names(const QComboBox* c) {
    std::vector<std::string> v;
    for (int i = 0; i < c->count(); ++i) v.push_back(c->itemText(i).toStdString());
    return v;
  }
  static void Choose(TaxSet& w, const std::string& name) {
    w.Combo1->setCurrentIndex(w.Combo1->findText(QString::fromStdString(name)));
    w.Combo1_Click();
  }
  std::string ConfigTaxSetName() const {
    std::string cfg = ReadFile(folder + "Quorvant.Cfg");
    return SplitLines(cfg).size() > 2 ? SplitLines(cfg)[2] : "";
  }
  // "Home" is still the setting in use, in the configuration file and the main window, and
  // the settings file still holds "Home" and "City" only.
  void ExpectHomeAndCityUnchanged() const {
    EXPECT_EQ(eng.tax.TaxSetName, "Home");
    EXPECT_EQ(ConfigTaxSetName(), "\"Home\"");
    std::vector<std::string> names;
    ASSERT_TRUE(TaxSet::ReadTaxSetNames(folder + "Taxset.txt", names));
    EXPECT_EQ(names, (std::vector<std::string>{"Home", "City"}));
    EXPECT_EQ(qv->Combo1->currentText().toStdString(), "Home");
  }
};

TEST_F(TaxSetWindowTest, ShowsTheCurrentSettingInItsBoxes) {
  WriteSettings({kHeader, kHome, kCity});
  eng.tax.TaxSetName = "City";
  ASSERT_TRUE(eng.LoadTaxSet());
  TaxSet& w = Open();
  EXPECT_EQ(w.windowTitle(), "Tax Settings");
  EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "City"}));
  EXPECT_EQ(w.ListText(), "City");
  EXPECT_EQ(w.TabStrip1->tabText(0), "&Sales/Use Tax");
  EXPECT_EQ(w.TabStrip1->tabText(1), "  &Luxury Tax  ");
  const char* shown[7] = {"7.500", "5.000", "1.500", "$150.00", "8.000", "$40,000.00", "$900"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Text(w.Text2[i]), shown[i]) << i;
  EXPECT_TRUE(w.optTaxMethod[2]->isChecked());
  EXPECT_TRUE(w.optCapCash[0]->isChecked());
  EXPECT_TRUE(w.optLuxuryTaxCC[0]->isChecked());
  const bool also[14] = {true, false, false, false, false, false, false, false, true, false, false, true, false, true};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(w.chkAlsoTax[i]->isChecked(), also[i]) << i;
  EXPECT_FALSE(w.chkExclTradeFromLocal->isChecked());
  EXPECT_FALSE(w.chkInterestOnLuxuryTax->isChecked());
  Close();
  // Closing without a change writes the same line back.
  EXPECT_NE(TaxSetFile().find(kCity + "\r\n"), std::string::npos) << TaxSetFile();
}

TEST_F(TaxSetWindowTest, BoxesReformatWhatIsTyped) {
  TaxSet& w = Open();
  struct Case {
    int box;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {0, "0.06", "6.000"},      // a fraction becomes percent
      {0, "7.25%", "7.250"},     // so does a percent sign
      {3, "0.5", "$50.00"},      // below 1 is multiplied by 100 whatever the box
      {3, "1,250", "$1,250.00"},
      {6, "0", "N/A"},
      {6, "$1,000", "$1,000"},
      {5, "40000", "$40,000.00"},
  };
  for (const Case& c : cases) {
    Type(w, c.box, c.typed);
    EXPECT_EQ(Text(w.Text2[c.box]), c.shown) << c.box << " " << c.typed;
  }
  // The variables change only when the form is read.
  EXPECT_EQ(eng.tax.LeaseTaxRate, 6.0f);
  w.ReadTaxSetForm();
  EXPECT_EQ(eng.tax.LeaseTaxRate, 7.25f);
  EXPECT_EQ(eng.tax.MaxLocalTax, 1250.0f);
  EXPECT_EQ(eng.tax.MaxTax, 1000.0f);
  EXPECT_EQ(eng.tax.LuxuryThreshold, 40000);
}

TEST_F(TaxSetWindowTest, BoxesRefuseRatesOutside0To100AndValuesNoFloatHolds) {
  TaxSet& w = Open();
  struct Case {
    int box;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {0, "150", "\"150\" is not a tax rate. Please enter a rate from 0 to 100, such as 6.5."},
      {4, "1e39", "\"1e39\" is not a tax rate. Please enter a rate from 0 to 100, such as 6.5."},
      {3, "1e39", "\"1e39\" is too large for this box."},
      {6, "-1e39", "\"-1e39\" is too large for this box."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string before = Text(w.Text2[c.box]);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    Type(w, c.box, c.typed);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(Text(w.Text2[c.box]), before);
  }
  // A value no float holds that reaches the box otherwise is never cast: the setting keeps
  // its value.
  const float maxTax = eng.tax.MaxTax;
  w.Text2[6]->setText("$1e39");
  w.ReadTaxSetForm();
  EXPECT_EQ(eng.tax.MaxTax, maxTax);
  w.Text2[6]->setText("$1,000");
  w.ReadTaxSetForm();
  EXPECT_EQ(eng.tax.MaxTax, 1000.0f);
}

TEST_F(TaxSetWindowTest, EnterMovesThroughTheBoxes) {
  TaxSet& w = Open();
  ASSERT_TRUE(MakeActive(&w));
  struct Move {
    int from, to;
  };
  for (const Move& m : {Move{0, 1}, Move{2, 3}, Move{3, 0}, Move{4, 5}, Move{5, 6}, Move{6, 0}}) {
    w.Text2[m.from]->setFocus();
    int key = 13;
    w.Text2_KeyPress(m.from, key);
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(w.Text2[m.to]->hasFocus()) << m.from;
    EXPECT_EQ(w.TabStrip1->currentIndex(), (m.to == 4 || m.to == 5) ? 1 : 0) << m.from;
  }
  w.hide();
}

TEST_F(TaxSetWindowTest, AddChangeAndOkWriteTheNewSettingAndTheMainWindowFollows) {
  prompt.Modal([this](ui::ModalWindow& m) {
    auto& w = dynamic_cast<TaxSet&>(m);
    EXPECT_EQ(qv->cursor().shape(), Qt::WaitCursor);
    // The shown setting's edit is kept when a new one is added.
    Type(w, 2, "1");
    prompt.Input("Work");
    w.Command1_Click(0);
    EXPECT_EQ(w.ListText(), "Work");
    EXPECT_EQ(Text(w.Text2[2]), " ");  // the defaults: no local rate
    Type(w, 0, "7");
    w.optLuxuryTaxCC[0]->setChecked(true);
    w.chkAlsoTax[8]->setChecked(true);
    w.Command1_Click(2);
    return 1;
  });
  ASSERT_TRUE(qv->mnuTaxSettings->isEnabled());
  qv->mnuTaxSettings->trigger();
  EXPECT_EQ(qv->cursor().shape(), Qt::ArrowCursor);
  const std::vector<std::string> lines = SplitLines(TaxSetFile());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Home,6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6,1,0,1,6,1,36000,1,0,0");
  EXPECT_EQ(lines[2], "Work,7,0,1,1,0,0,0,0,0,1,0,0,1,1,0,0,6,0,0,1,6,0,36000,1,0,0");
  EXPECT_EQ(Names(qv->Combo1), (std::vector<std::string>{"Home", "Work"}));
  EXPECT_EQ(qv->Combo1->currentText(), "Work");
  EXPECT_EQ(eng.tax.TaxSetName, "Work");
  EXPECT_EQ(eng.tax.LeaseTaxRate, 7.0f);
  EXPECT_EQ(ConfigTaxSetName(), "\"Work\"");
  // The file read back gives the same setting.
  const TaxSetting shown = eng.tax;
  eng.tax = TaxSetting{};
  eng.tax.TaxSetName = "Work";
  ASSERT_TRUE(eng.LoadTaxSet());
  EXPECT_EQ(eng.tax, shown);
  // The page follows the 7 % setting.
  EXPECT_NEAR(eng.res.PaymentWT, 347.638889 * 1.07, 1e-6);

  // A capitalised luxury tax goes wholly into the item's capitalised part, in cash otherwise.
  for (int choice : {1, 0}) {
    TaxSet& w = Open();
    w.optLuxuryTaxCC[choice]->setChecked(true);
    Close();
    EXPECT_EQ(eng.tax.LuxuryTaxCapCash, choice);
    eng.page.BaseInv = 39500;  // price 41000, 5000 above the threshold
    eng.items.LuxuryTax = StartUpItem{};
    eng.RecalcPage();
    const double luxury = 5000 * static_cast<double>(6.0f / 100.0f);
    EXPECT_NEAR(eng.items.LuxuryTax.Cap, choice ? luxury : 0, 1e-9);
    EXPECT_NEAR(eng.items.LuxuryTax.Cash, choice ? 0 : luxury, 1e-9);
  }
}

TEST_F(TaxSetWindowTest, AddRefusesEmptyDuplicateAndCommaNames) {
  WriteSettings({kHeader, kHome, kCity});
  TaxSet& w = Open();
  const std::string before = TaxSetFile();
  struct Case {
    std::optional<std::string> answer;
    const char* message;  // nullptr: no message (Cancel)
  };
  const Case cases[] = {
      {std::nullopt, nullptr},
      {"", "Please enter a name for the new tax setting."},
      {"   ", "Please enter a name for the new tax setting."},
      {"City", "A tax setting named City already exists."},
      {"North, South", "A tax setting name can not contain a comma."},
  };
  for (const Case& c : cases) {
    prompt.ClearAsked();
    prompt.Input(c.answer);
    if (c.message) prompt.Answer(ui::Answer::OK);
    w.Command1_Click(0);
    ASSERT_EQ(prompt.Asked().size(), c.message ? 2u : 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Enter New Tax Setting Name:");
    if (c.message) {
      EXPECT_EQ(prompt.Asked()[1].text, c.message);
      EXPECT_EQ(prompt.Asked()[1].title, std::optional<std::string>("Tax Settings"));
    }
    EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "City"}));
    EXPECT_EQ(eng.tax.TaxSetName, "Home");
  }
  EXPECT_EQ(TaxSetFile(), before);
  // A name that differs only in case is another setting.
  prompt.Input("city");
  w.Command1_Click(0);
  EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "City", "city"}));
}

TEST_F(TaxSetWindowTest, ANameTypedIntoTheListIsDroppedOnClosing) {
  // Typed over the current name, then Escape, the close box or OK: never a setting without
  // Add's checks; the settings, the file and the current name stay consistent.
  for (const char* typed : {"New,Name", "Brand New", "City"}) {
    for (int how = 0; how < 2; ++how) {
      SCOPED_TRACE(std::string(typed) + (how == 0 ? " Escape" : " OK"));
      WriteSettings({kHeader, kHome, kCity});
      eng.tax.TaxSetName = "Home";
      eng.LoadTaxSet();
      TaxSet& w = Open();
      w.Combo1->setEditText(typed);
      if (how == 0) w.reject();
      else w.Command1_Click(2);
      windows.Unload<TaxSet>();
      ExpectHomeAndCityUnchanged();
    }
  }
}

TEST_F(TaxSetWindowTest, ClosingWithTheFocusInTheNameBoxRunsNoHandlerOfTheClosedWindow) {
  // The focus leaves the name box while the window is destroyed; the window's handlers are
  // off its boxes by then (the sanitizer build checks that none runs on the dead window).
  // Closed by Escape, by OK, or unloaded as it stands (the program takes it down).
  for (int how = 0; how < 3; ++how) {
    SCOPED_TRACE(how);
    WriteSettings({kHeader, kHome, kCity});
    eng.tax.TaxSetName = "Home";
    eng.LoadTaxSet();
    TaxSet& w = Open();
    w.show();
    w.activateWindow();
    QApplication::processEvents();
    w.Combo1->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(w.Combo1->hasFocus());
    w.Combo1->setEditText("Brand New");
    if (how == 0) w.reject();
    if (how == 1) w.Command1_Click(2);
    windows.Unload<TaxSet>();
    QApplication::processEvents();
    EXPECT_EQ(windows.IfLoaded<TaxSet>(), nullptr);
    ExpectHomeAndCityUnchanged();
  }
}

TEST_F(TaxSetWindowTest, SwitchingSavesTheShownSettingAndLoadsTheChosenOne) {
  WriteSettings({kHeader, kHome, kCity});
  TaxSet& w = Open();
  Type(w, 1, "6.5");
  Choose(w, "City");
  EXPECT_EQ(eng.tax.TaxSetName, "City");
  EXPECT_EQ(Text(w.Text2[0]), "7.500");
  EXPECT_TRUE(w.optTaxMethod[2]->isChecked());
  Choose(w, "Home");
  EXPECT_EQ(Text(w.Text2[1]), "6.500");
  const std::vector<std::string> lines = SplitLines(TaxSetFile());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Home,6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6.5,0,0,1,6,1,36000,1,0,0");
  EXPECT_EQ(lines[2], kCity);
  // A name typed over the list without Add is thrown away.
  w.Combo1->setEditText("Typed");
  w.Combo1_LostFocus();
  EXPECT_EQ(w.ListText(), "Home");
}

TEST_F(TaxSetWindowTest, DeleteKeepsEveryOtherLineAndNeverMakesUpASetting) {
  WriteSettings({kHeader, kHome, "a line that is no setting", kCity, "Default" + kDefaults, "Last" + kDefaults});
  eng.tax.TaxSetName = "City";
  ASSERT_TRUE(eng.LoadTaxSet());
  TaxSet& w = Open();
  EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "City", "Default", "Last"}));

  prompt.Answer(ui::Answer::Cancel);
  w.Command1_Click(1);
  EXPECT_EQ(prompt.Asked().back().text, "Delete tax setting: City?");
  EXPECT_EQ(prompt.Asked().back().buttons, ui::Buttons::OKCancel);
  EXPECT_EQ(Names(w.Combo1).size(), 4u);

  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(1);
  EXPECT_EQ(SplitLines(TaxSetFile()), (std::vector<std::string>{kHeader, kHome, "a line that is no setting",
                                                                 "Default" + kDefaults, "Last" + kDefaults}));
  EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "Default", "Last"}));
  EXPECT_EQ(w.ListText(), "Default");
  EXPECT_EQ(eng.tax.TaxSetName, "Default");
  EXPECT_EQ(eng.tax.LeaseTaxRate, 6.0f);

  // "Default" itself stays.
  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(1);
  EXPECT_EQ(prompt.Asked().back().text, "You can not delete the default tax setting.");
  EXPECT_EQ(Names(w.Combo1).size(), 3u);

  // Without a "Default" line the first setting becomes current; the deleted one's values are
  // not saved again under another name.
  WriteSettings({kHeader, kCity, kHome});
  eng.tax.TaxSetName = "City";
  ASSERT_TRUE(eng.LoadTaxSet());
  w.Form_Load();
  prompt.Answer(ui::Answer::OK);
  w.Command1_Click(1);
  EXPECT_EQ(SplitLines(TaxSetFile()), (std::vector<std::string>{kHeader, kHome}));
  EXPECT_EQ(w.ListText(), "Home");
  EXPECT_EQ(eng.tax.TaxSetName, "Home");
  EXPECT_EQ(eng.tax.LeaseTaxRate, 6.0f);
  Close();
  EXPECT_EQ(SplitLines(TaxSetFile()), (std::vector<std::string>{kHeader, kHome}));
  EXPECT_EQ(Names(qv->Combo1), (std::vector<std::string>{"Home"}));
}

TEST_F(TaxSetWindowTest, AFileWithoutSettingsStillOpensAndOffersAdd) {
  WriteSettings({kHeader});
  TaxSet& w = Open();
  EXPECT_EQ(w.Combo1->count(), 0);
  EXPECT_EQ(w.ListText(), "Home");
  EXPECT_TRUE(w.Command1[0]->isEnabled());
  prompt.Input("First");
  w.Command1_Click(0);
  Close();
  EXPECT_EQ(SplitLines(TaxSetFile()), (std::vector<std::string>{kHeader, "First" + kDefaults}));
  EXPECT_EQ(Names(qv->Combo1), (std::vector<std::string>{"First"}));
  EXPECT_EQ(eng.tax.TaxSetName, "First");
}

TEST_F(TaxSetWindowTest, ManySettingsAndTheProgramFolderWhateverTheCurrentFolder) {
  std::vector<std::string> lines = {kHeader};
  for (int i = 1; i <= 60; ++i) lines.push_back("S" + std::to_string(i) + kDefaults);
  WriteSettings(lines);
  // The file is the program folder's, not one beside the current folder or a file dialog's.
  const std::filesystem::path elsewhere = std::filesystem::path(folder) / "elsewhere";
  std::filesystem::create_directories(elsewhere);
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere);
  qv->CMDialog1InitialDir = elsewhere.string();
  eng.tax.TaxSetName = "S60";
  TaxSet& w = Open();
  EXPECT_EQ(w.Combo1->count(), 60);
  prompt.Input("S61");
  w.Command1_Click(0);
  prompt.Answer(ui::Answer::OK);
  w.Combo1->setCurrentIndex(0);
  w.Combo1_Click();
  w.Command1_Click(1);  // deletes S1
  Close();
  std::filesystem::current_path(cwd);
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "Taxset.txt"));
  const std::vector<std::string> after = SplitLines(TaxSetFile());
  ASSERT_EQ(after.size(), 61u);  // header, S2..S60, S61
  EXPECT_EQ(after[1], "S2" + kDefaults);
  EXPECT_EQ(after[60], "S61" + kDefaults);
  EXPECT_EQ(qv->Combo1->count(), 60);
}

TEST_F(TaxSetWindowTest, AFailedWriteLeavesTheFileWholeAndSaysSo) {
  WriteSettings({kHeader, kHome, kCity});
  const std::string before = TaxSetFile();
  TaxSet& w = Open();
  files::SetWriteFaultForTesting([](const std::string& path) { return path.find("Taxset") != std::string::npos; });
  prompt.Answer(ui::Answer::OK).Answer(ui::Answer::OK).Answer(ui::Answer::OK);
  Choose(w, "City");
  w.Command1_Click(1);
  files::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(TaxSetFile(), before);
  ASSERT_GE(prompt.Asked().size(), 2u);
  EXPECT_NE(prompt.Asked().back().text.find("Taxset.txt"), std::string::npos) << prompt.Asked().back().text;
  EXPECT_EQ(Names(w.Combo1), (std::vector<std::string>{"Home", "City"}));
}

TEST_F(TaxSetWindowTest, TheMainWindowOpensItFromTheListAndTheCaptionBoxes) {
  int opened = 0;
  prompt.OnModal("TaxSet", [&opened](ui::ModalWindow& m) {
    ++opened;
    dynamic_cast<TaxSet&>(m).Command1_Click(2);
    return 1;
  });
  qv->Combo1_DblClick();
  qv->Text4_DblClick(0);
  qv->Text4_DblClick(1);
  EXPECT_EQ(opened, 3);
  EXPECT_FALSE(windows.Loaded<TaxSet>());
  EXPECT_EQ(eng.WorksheetModified, 0);
}

}  // namespace
}  // namespace qv::test
