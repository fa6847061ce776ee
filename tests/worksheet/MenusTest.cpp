// The main window's menu commands: the lease method and its check marks, the default
// rates, copy and paste, the calculator, the help topics, and a run of every command whose
// window exists.
#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include <filesystem>

#include "dialogs/AdjRes.h"
#include "dialogs/Totals.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"
#include "worksheet/Help.h"

namespace qv::test {
namespace {

class MenusTest : public SampleDealTest<HelpViewer, Totals, AdjRes> {
 protected:
  void TearDown() override {
    if (!savedPath.isEmpty()) qputenv("PATH", savedPath);
    SampleDealTest::TearDown();
  }

  // The page shown is the page calculated: a fresh calculation changes no figure.
  void ExpectConsistent() {
    const PageResults before = eng.res;
    const std::string payment = Text(qv->lblPayment[1]);
    eng.RecalcPage();
    EXPECT_DOUBLE_EQ(eng.res.PaymentWT, before.PaymentWT);
    EXPECT_DOUBLE_EQ(eng.res.CapCost, before.CapCost);
    EXPECT_DOUBLE_EQ(eng.res.LCashReqd, before.LCashReqd);
    EXPECT_DOUBLE_EQ(eng.res.PurchPrice, before.PurchPrice);
    EXPECT_EQ(payment, Format(eng.res.PaymentWT, "$#,###.00;; "));
    EXPECT_EQ(qv->mnuType[0]->isChecked(), eng.page.LType == 0);
    EXPECT_EQ(qv->mnuType[3]->isChecked(), eng.page.LType != 0);
  }

  // A folder of fake programs on the PATH (only their names matter).
  std::string FakePath(std::initializer_list<const char*> programs) {
    if (savedPath.isEmpty()) savedPath = qgetenv("PATH");
    const std::string dir = folder + "bin";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char* p : programs) {
      const std::string file = dir + "/" + p;
      WriteFile(file, "#!/bin/sh\nexit 0\n");
      std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    qputenv("PATH", QByteArray::fromStdString(dir));
    return dir;
  }
  QByteArray savedPath;
};

TEST_F(MenusTest, TheMethodMenuSetsTheMethodAndFollowsThePage) {
  ASSERT_TRUE(qv->mnuType[3]->isEnabled());
  EXPECT_TRUE(qv->mnuType[0]->isChecked());
  eng.page.FordAPR = 0.06;
  for (int pass = 0; pass < 2; ++pass) {  // choosing the method already checked does the same
    eng.WorksheetModified = 0;
    qv->mnuType[3]->trigger();
    EXPECT_EQ(eng.page.LType, 3);
    EXPECT_TRUE(qv->mnuType[3]->isChecked());
    EXPECT_FALSE(qv->mnuType[0]->isChecked());
    EXPECT_EQ(eng.WorksheetModified, -1);
    // Worked for the Ford APR method at 6 % with no admin factor.
    EXPECT_NEAR(eng.res.PaymentNT, 347.272046, 5e-7);
    EXPECT_TRUE(qv->Text3[24]->isVisibleTo(qv.get()));
    ExpectConsistent();
  }
  qv->mnuType_Click(0);
  EXPECT_EQ(eng.page.LType, 0);
  EXPECT_TRUE(qv->mnuType[0]->isChecked());
  EXPECT_FALSE(qv->mnuType[3]->isChecked());
  // The Ford APR method left its effective money factor in the page.
  EXPECT_NEAR(eng.page.Factor, 0.00248905, 5e-9);
  EXPECT_NEAR(eng.res.PaymentNT, 347.272046, 5e-7);

  // Page 2 uses the Ford APR method: the checks follow every load.
  eng.StorePage();
  eng.CurrentPage = 2;
  eng.page.LType = 3;
  eng.StorePage();
  eng.PageCount = 2;
  eng.CurrentPage = 1;
  eng.LoadPage();
  EXPECT_TRUE(qv->mnuType[0]->isChecked());
  eng.PageUpDown(33);
  EXPECT_TRUE(qv->mnuType[3]->isChecked());
  EXPECT_FALSE(qv->mnuType[0]->isChecked());
  eng.PageUpDown(34);
  EXPECT_TRUE(qv->mnuType[0]->isChecked());
  EXPECT_FALSE(qv->mnuType[3]->isChecked());
}

TEST_F(MenusTest, DefaultRatesAreAskedAndStoredForLaterPages) {
  struct Case {
    int index;
    std::optional<std::string> answer;
    double stored;
  };
  eng.cfg.DefaultInvestRate = 0.05;
  eng.cfg.DefaultLoanRate = 0.08;
  eng.cfg.DefaultAdminFactor = 0;
  const Case cases[] = {
      {1, "9", 0.09},      {1, ".09", 0.09},   {1, "9%", 0.09},     {1, "1", 1},
      {1, std::nullopt, 1}, {1, "", 1},         {1, "abc", 1},       {0, "5.5", 0.055},
      {0, "7.25%", 0.0725},    {2, ".0002", 0.0002}, {2, "2", 2},       {2, "x", 2},
  };
  const char* prompts[3] = {"Enter the Default Investment Interest Rate (Example: .05, 5, 5%)",
                            "Enter the Default Loan Rate (Example: .09, 9, 9%)",
                            "Enter the Default Ford Admin Factor:"};
  const char* titles[3] = {"Default Investment Interest Rate", "Default Loan Rate", "Default Ford Admin Factor"};
  const PageInputs page = eng.SnapshotInputs();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("<Cancel>"));
    // A text that is not a number is refused with a message.
    const bool refused = c.answer == "abc" || c.answer == "x";
    prompt.ClearAsked();
    prompt.Input(c.answer);
    if (refused) prompt.Answer(ui::Answer::OK);
    qv->mnuRate[c.index]->trigger();
    ASSERT_EQ(prompt.Asked().size(), refused ? 2u : 1u);
    if (refused) EXPECT_EQ(prompt.Asked()[1].text, "\"" + *c.answer + "\" is not a number.");
    EXPECT_EQ(prompt.Asked()[0].text, prompts[c.index]);
    EXPECT_EQ(prompt.Asked()[0].title, std::optional<std::string>(titles[c.index]));
    const double stored = c.index == 0   ? eng.cfg.DefaultInvestRate
                          : c.index == 1 ? eng.cfg.DefaultLoanRate
                                         : eng.cfg.DefaultAdminFactor;
    EXPECT_DOUBLE_EQ(stored, c.stored);
  }
  EXPECT_TRUE(eng.SnapshotInputs() == page) << "the current page keeps its rates";
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(MenusTest, TheDefaultTextIsTheCurrentValue) {
  eng.cfg.DefaultInvestRate = 0.05;
  eng.cfg.DefaultLoanRate = 0.095;
  const char* expected[3] = {"5.00%", "9.50%", " "};  // admin factor 0
  eng.cfg.DefaultAdminFactor = 0;
  for (int i = 0; i < 3; ++i) {
    prompt.Input(std::nullopt);
    qv->mnuRate_Click(i);
    // The scripted prompt keeps an input box's default text as its file name.
    EXPECT_EQ(prompt.Last()->file.fileName, expected[i]);
  }
  eng.cfg.DefaultAdminFactor = 0.0002;
  prompt.Input(std::nullopt);
  qv->mnuRate_Click(2);
  EXPECT_EQ(prompt.Last()->file.fileName, "0.000200");
}

TEST_F(MenusTest, CopyAndPasteWorkOnTheFocusedBox) {
  ASSERT_TRUE(ShowActive());
  QClipboard* clipboard = QApplication::clipboard();
  qv->Text3[0]->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(qv->focusWidget(), qv->Text3[0]);
  ASSERT_EQ(Text(qv->Text3[0]), "$20,000.00");
  qv->Text3[0]->setSelection(1, 6);  // "20,000"
  qv->mnuCopyPaste[0]->trigger();
  EXPECT_EQ(clipboard->text().toStdString(), "20,000");

  // Paste replaces the selection; the box's own rules take it when it is left.
  qv->Text3[1]->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  qv->Text3[1]->selectAll();
  prompt.Answer(ui::Answer::No);  // the MSRP changed: keep the residual
  qv->mnuCopyPaste_Click(1);
  EXPECT_EQ(Text(qv->Text3[1]), "20,000");
  qv->CommitFieldEdit();
  EXPECT_DOUBLE_EQ(eng.page.BaseMSRP, 20000);
  EXPECT_EQ(eng.WorksheetModified, -1);

  // In a grid: the option list's selected cells, cells separated by a TAB.
  eng.WKS.SetSheet(2);
  eng.WKS.SetNumberRC(1, 1, 1);
  eng.WKS.SetTextRC(1, 2, "Moonroof");
  eng.WKS.SetNumberRC(1, 3, 1250);
  eng.WKS.SetNumberRC(1, 4, 1400);
  eng.ShowPageOptions();
  qv->OptionList->refresh();
  qv->OptionList->view()->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  qv->OptionList->setSelection(1, 1, 1, 3);
  qv->mnuCopyPaste_Click(0);
  EXPECT_EQ(clipboard->text().toStdString(), "Moonroof\t1250\t1400");
  // Paste into a grid does nothing.
  clipboard->setText("999");
  qv->mnuCopyPaste_Click(1);
  EXPECT_EQ(eng.OptionList.TextRC(1, 1), "Moonroof");
}

TEST_F(MenusTest, TheCalculatorIsTheFirstKnownProgramOnThePath) {
  std::vector<std::string> started;
  bool startOk = true;
  qv->StartProgram = [&](const std::string& path) {
    started.push_back(path);
    return startOk;
  };
  ASSERT_TRUE(qv->mnuUtil[1]->isEnabled());
  std::string dir = FakePath({"xcalc", "galculator"});
  qv->mnuUtil[1]->trigger();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], dir + "/galculator");
  EXPECT_TRUE(prompt.Asked().empty());

  const std::string message =
      "Quorvant Pro cannot find the Windows calculator application. This may be because the calculator "
      "aplication was not installed with Windows. To install the calculator, open Control Panel (Start, "
      "Settings, Control Panel) then double-click on Add/Remove Programs. Select the Windows Setup Tab then "
      "select Accessories. Click the Details button then check the calculator check box then click OK.";
  // None on the path, or none that starts: the message.
  FakePath({});
  started.clear();
  prompt.Answer(ui::Answer::OK);
  qv->mnuUtil_Click(1);
  EXPECT_TRUE(started.empty());
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].text, message);
  EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::OK);

  dir = FakePath({"xcalc"});
  startOk = false;
  prompt.Answer(ui::Answer::OK);
  qv->mnuUtil_Click(1);
  EXPECT_EQ(started, std::vector<std::string>{dir + "/xcalc"});
  EXPECT_EQ(prompt.Asked().size(), 2u);
}

TEST_F(MenusTest, HelpItemsOpenTheirTopics) {
  const std::pair<QAction*, int> items[] = {
      {qv->mnuIndex, 1},   {qv->mnuUsing, 2},       {qv->mnuOverview, 3},  {qv->mnuGather, 7},
      {qv->mnuManipulate, 8}, {qv->mnuEntering, 18}, {qv->mnuAbout[1], 114}, {qv->mnuAbout[2], 113},
  };
  for (const auto& [action, topic] : items) {
    SCOPED_TRACE(action->text().toStdString());
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    HelpViewer* viewer = windows.IfLoaded<HelpViewer>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->Context(), topic);
  }
}

TEST_F(MenusTest, SinglePaymentWithoutANumberChangesNothing) {
  const PageInputs before = eng.SnapshotInputs();
  for (const char* typed : {"abc", "$", "none"}) {
    prompt.Input(std::string(typed)).Answer(ui::Answer::OK);
    qv->mnuSinglePayLease_Click();
    EXPECT_EQ(prompt.MessageTexts().back(), "\"" + std::string(typed) + "\" is not a number.");
  }
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

// Every command of this window's menus whose window exists, run with scripted answers: the
// page afterwards is consistent with its display.
TEST_F(MenusTest, EveryReadyCommandRunsAndLeavesThePageConsistent) {
  qv->StartProgram = [](const std::string&) { return true; };
  FakePath({"xcalc"});
  struct Step {
    QAction* action;
    std::function<void()> script;
  };
  auto adjust = [this] {
    prompt.Modal([](ui::ModalWindow& m) {
      auto& w = dynamic_cast<AdjRes&>(m);
      w.txtAdditionalMiles->setText("1000");
      w.txtCentsPerMile->setText("20");
      w.Command1_Click(0);
      return 1;
    });
  };
  const Step steps[] = {
      {qv->mnuType[3], [] {}},
      {qv->mnuType[0], [] {}},
      {qv->mnuAdjustResidual, adjust},
      {qv->mnuOptionTotals, [] {}},
      {qv->mnuUtil[1], [] {}},
      {qv->mnuRate[0], [this] { prompt.Input("4"); }},
      {qv->mnuRate[1], [this] { prompt.Input("7%"); }},
      {qv->mnuRate[2], [this] { prompt.Input(".0001"); }},
      {qv->mnuCopyPaste[0], [] {}},
      {qv->mnuCopyPaste[1], [] {}},
      {qv->mnuAddDelOption[0], [] {}},
      {qv->mnuAddDelOption[1], [this] { prompt.Answer(ui::Answer::OK); }},
      {qv->mnuShowTotals, [] {}},
      {qv->mnuExpandOptions, [] {}},
      {qv->mnuExpandOptions, [] {}},
      {qv->mnuShowTotals, [] {}},
      {qv->mnuIndex, [] {}},
      {qv->mnuSinglePayLease, [this] { prompt.Input("$5,000"); }},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.action->text().toStdString());
    ASSERT_TRUE(s.action->isEnabled());
    s.script();
    s.action->trigger();
    EXPECT_TRUE(prompt.Exhausted());
    ExpectConsistent();
  }
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11800);
  EXPECT_DOUBLE_EQ(eng.page.CapRd, 5000);
  EXPECT_NEAR(eng.res.PaymentWT, 0, 0.011);
  EXPECT_DOUBLE_EQ(eng.cfg.DefaultLoanRate, 0.07);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

}  // namespace
}  // namespace qv::test
