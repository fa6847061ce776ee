// The payment tables window on the sample worksheet: what it opens with, the margin, months,
// residual and factor boxes, the page put back after every fill, copy, print, and the column
// sets packed into the page the table was built for.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <filesystem>
#include <string>

#include "engine/PaymentTable.h"
#include "platform/grid/GridWidget.h"
#include "tests/dialogs/AnalysisFixture.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {
namespace {

// Constant-yield payment without tax.
double PaymentNT(double cap, double residual, double factor, double months) {
  return (cap + residual) * factor + (cap - residual) / months;
}
double Cents(double v) { return Engine::RoundNum(v, 2); }

// The constant-yield money factor of an annual rate: the level payment in advance that pays
// the cap down to the residual, less the straight-line part, per dollar of cap and residual.
double FactorOfRate(double cap, double residual, double apr, double months) {
  const double i = apr / 12;
  const double p = std::pow(1 + i, months);
  const double a = (cap - residual / p) * i * std::pow(1 + i, months - 1) / (p - 1);
  return (a - (cap - residual) / months) / (cap + residual);
}

class TablesTest : public AnalysisTest {
 protected:
  Tables& Open() { return windows.Get<Tables>(); }
  static void Enter(Tables& w, QLineEdit* box, const std::string& text) {
    const int i = box->property("qvTableIndex").toInt();
    const int kind = box->property("qvTableBox").toInt();
    switch (kind) {
      case 0: w.txtMargin_GotFocus(i); break;
      case 1: w.txtmonths_GotFocus(i); break;
      case 2: w.txtFactor_GotFocus(i); break;
      default: w.txtResidual_GotFocus(i); break;
    }
    box->setText(QString::fromStdString(text));
    switch (kind) {
      case 0: w.txtMargin_LostFocus(i); break;
      case 1: w.txtmonths_LostFocus(i); break;
      case 2: w.txtFactor_LostFocus(i); break;
      default: w.txtResidual_LostFocus(i); break;
    }
  }
  static std::string Box(const QLineEdit* e) { return e->text().toStdString(); }
  static const grid::Sheet& Table(const Tables& w) { return w.TablesSheetData; }
};

TEST_F(TablesTest, OpensOnTheCurrentPageWithItsOwnDealInTheSetOfItsTerm) {
  const PageInputs before = eng.SnapshotInputs();
  Tables& w = Open();
  EXPECT_EQ(w.windowTitle().toStdString(), "Payment Tables");
  EXPECT_EQ(Text(w.Label1), kSampleName);
  EXPECT_EQ(Box(w.txtMargin[0]), "0");
  EXPECT_EQ(Box(w.txtMargin[1]), "2,150");  // a tenth of the purchase price 21500
  EXPECT_EQ(Box(w.txtMargin[2]), "50");
  EXPECT_EQ(Box(w.txtMonths[1]), "36");
  EXPECT_EQ(Box(w.txtFactor[1]), "0.002500");
  EXPECT_EQ(Box(w.txtResidual[1]), "$12,000.00");
  EXPECT_EQ(Text(w.lblRes[1]), "53.3%");  // 12000 of 22500
  EXPECT_EQ(Box(w.txtMonths[0]), " ");
  EXPECT_FALSE(w.chkTax->isChecked());
  EXPECT_TRUE(w.chkTax->isEnabled());
  EXPECT_TRUE(w.mnuViewReport->isEnabled());

  const grid::Sheet& t = Table(w);
  ASSERT_EQ(t.MaxRow(), 44);  // 0 to 2150 by 50
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 1), 1000);
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 4), 347.64);
  EXPECT_DOUBLE_EQ(t.NumberRC(44, 1), 2150);
  EXPECT_DOUBLE_EQ(t.NumberRC(44, 4), Cents(PaymentNT(22650, 12000, 0.0025, 36)));
  EXPECT_EQ(t.ColText(1), "Margin");
  EXPECT_EQ(t.ColText(4), "Months 36\r\nRes 12,000\r\nFact 0.00250");
  EXPECT_EQ(t.ColText(3), "");

  w.chkTax->setChecked(true);
  w.chkTax_Click();
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 4), 368.50);

  // The page is as it was, apart from its empty rate-table text, now the blank text of
  // three empty column sets, and the main window shows it.
  PageInputs after = eng.SnapshotInputs();
  EXPECT_EQ(after.page.TabParam, std::string(81, ' '));
  after.page.TabParam = before.page.TabParam;
  EXPECT_EQ(after, before);
  EXPECT_EQ(Text(qv->lblPayment[1]), "$368.50");
}

TEST_F(TablesTest, TheDealGoesIntoTheSetOfItsTermOnlyWhenThatSetIsEmpty) {
  struct Case {
    double months;
    std::string tabParam;
    int set;        // 1..4: where the page's deal shows
    double shown;   // months shown in that set
  };
  const std::string set2 = std::string(27, ' ') + "36       0.002200 11000.00 ";
  const Case cases[] = {
      {39, "", 1, 39},
      {48, "", 3, 48},
      {36, set2, 2, 36},  // set 2 already holds a factor: it keeps its own values
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.months);
    eng.page.Months = c.months;
    eng.page.TabParam = c.tabParam;
    eng.RecalcPage();
    Tables& w = Open();
    EXPECT_DOUBLE_EQ(eng.TableMonths[c.set], c.shown);
    if (c.tabParam.empty()) {
      EXPECT_DOUBLE_EQ(eng.TableFactors[c.set], 0.0025);
      EXPECT_DOUBLE_EQ(eng.TableResiduals[c.set], 12000);
    } else {
      EXPECT_DOUBLE_EQ(eng.TableFactors[2], 0.0022);
      EXPECT_DOUBLE_EQ(eng.TableResiduals[2], 11000);
      EXPECT_EQ(Box(w.txtFactor[1]), "0.002200");
    }
    windows.Unload<Tables>();
  }
}

TEST_F(TablesTest, WithALeaseTaxMethodTheTaxBoxIsDisabled) {
  eng.tax.TaxMethod = 2;
  Tables& w = Open();
  EXPECT_FALSE(w.chkTax->isEnabled());
}

TEST_F(TablesTest, MarginBoxesNeverDivideByZeroAndKeepTheTableWithin2001Rows) {
  struct Case {
    std::string start, end, step;
    std::string stepShown;
    int rows;
    double last;
  };
  const Case cases[] = {
      {"0", "2,150", ".4", "2", 1076, 2150},     // raised to 1, then to fit 2001 rows
      {"0", "1000", ".4", "1", 1001, 1000},
      {"0", "1000", "5000", "1,000", 2, 1000},   // larger than the range: the range
      {"0", "10000", "1", "6", 1667, 9996},
      {"500", "500", "0", "1", 1, 500},          // a zero range: one row
      {"1000", "0", "5000", "1,000", 2, 0},      // downwards: 1000 and 0
      {"1000", "0", "50", "50", 21, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start + " " + c.end + " " + c.step);
    Tables& w = Open();
    Enter(w, w.txtMargin[0], c.start);
    Enter(w, w.txtMargin[1], c.end);
    Enter(w, w.txtMargin[2], c.step);
    EXPECT_EQ(Box(w.txtMargin[2]), c.stepShown);
    ASSERT_EQ(Table(w).MaxRow(), c.rows);
    EXPECT_DOUBLE_EQ(Table(w).NumberRC(c.rows, 1), c.last);
    windows.Unload<Tables>();
  }

  // A step typed first, then an end that would give more rows: the step is raised.
  Tables& w = Open();
  Enter(w, w.txtMargin[2], "1");
  Enter(w, w.txtMargin[1], "50000");
  EXPECT_EQ(Box(w.txtMargin[2]), "26");
  EXPECT_EQ(Table(w).MaxRow(), 1924);
}

TEST_F(TablesTest, MonthsAndResidualBoxesTakeSetsInAndOutOfTheTable) {
  Tables& w = Open();
  const grid::Sheet& t = Table(w);

  // Set 3 gets months but no residual yet: not in the table.
  Enter(w, w.txtMonths[2], "48");
  EXPECT_EQ(Box(w.txtMonths[2]), "48");
  EXPECT_TRUE(t.IsEmpty(1, 5));
  EXPECT_EQ(t.ColText(5), "");

  // A residual typed as a fraction of the MSRP: 55 % of 22500 is 12375.
  Enter(w, w.txtFactor[2], ".002");
  Enter(w, w.txtResidual[2], "55%");
  EXPECT_EQ(Box(w.txtResidual[2]), "$12,375.00");
  EXPECT_EQ(Text(w.lblRes[2]), "55.0%");
  EXPECT_DOUBLE_EQ(t.NumberRC(11, 5), Cents(PaymentNT(21000, 12375, 0.002, 48)));
  EXPECT_EQ(t.ColText(5), "Months 48\r\nRes 12,375\r\nFact 0.00200");

  // Months 0 takes set 2 out: its column and heading are emptied.
  Enter(w, w.txtMonths[1], "0");
  EXPECT_EQ(t.ColText(4), "");
  for (int r = 1; r <= t.MaxRow(); ++r) EXPECT_TRUE(t.IsEmpty(r, 4));
  EXPECT_FALSE(t.IsEmpty(1, 5));

  // A term below one month is refused.
  prompt.Answer(ui::Answer::OK);
  Enter(w, w.txtMonths[2], ".5");
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0], " .5 is an invalid number of months.");
  EXPECT_EQ(Box(w.txtMonths[2]), "48");
  EXPECT_DOUBLE_EQ(eng.TableMonths[3], 48);
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(TablesTest, FactorBoxesTellRatesFromFactors) {
  Tables& w = Open();
  const grid::Sheet& t = Table(w);

  // A factor below .01 is taken as it is.
  Enter(w, w.txtFactor[1], ".0021");
  EXPECT_DOUBLE_EQ(eng.TableFactors[2], 0.0021);
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 4), Cents(PaymentNT(21500, 12000, 0.0021, 36)));
  EXPECT_TRUE(prompt.Asked().empty());

  // 6.9, a rate: converted at .069 with the page's own cap cost, residual and term.
  const double f = FactorOfRate(21500, 12000, 0.069, 36);
  prompt.Answer(ui::Answer::Yes).Answer(ui::Answer::OK);
  Enter(w, w.txtFactor[1], "6.9");
  ASSERT_EQ(prompt.Asked().size(), 2u);
  EXPECT_EQ(prompt.Asked()[0].text, "Is 6.9 an Interest Rate?");
  EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::YesNo);
  EXPECT_FALSE(prompt.Asked()[0].title.has_value());
  EXPECT_EQ(prompt.Asked()[1].text, "The interest rate 6.90% converts to\ra money factor of " + Format(f, ".000000") +
                                        " for the cap cost,\rresidual, and number of months shown.\r\r"
                                        "Use this Money Factor in the Table?");
  EXPECT_EQ(prompt.Asked()[1].buttons, ui::Buttons::OKCancel);
  EXPECT_NEAR(eng.TableFactors[2], f, 1e-12);
  EXPECT_EQ(Box(w.txtFactor[1]), Format(f, "0.000000"));
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 4), Cents(PaymentNT(21500, 12000, f, 36)));

  // The same, cancelled: the factor stays.
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::Yes).Answer(ui::Answer::Cancel);
  Enter(w, w.txtFactor[1], "7.5");
  EXPECT_NEAR(eng.TableFactors[2], f, 1e-12);

  // .05, not a rate: a factor.
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::No);
  Enter(w, w.txtFactor[1], ".05");
  EXPECT_EQ(prompt.Asked()[0].text, "Is .05 an Interest Rate?");
  EXPECT_DOUBLE_EQ(eng.TableFactors[2], 0.05);

  // .5, not a rate: refused, the old factor shown again.
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::No).Answer(ui::Answer::OK);
  Enter(w, w.txtFactor[1], ".5");
  ASSERT_EQ(prompt.Asked().size(), 2u);
  EXPECT_EQ(prompt.Asked()[1].text, " .5 is an invalid Factor.");
  EXPECT_DOUBLE_EQ(eng.TableFactors[2], 0.05);
  EXPECT_EQ(Box(w.txtFactor[1]), "0.050000");
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(TablesTest, AnUnchangedBoxDoesNothing) {
  Tables& w = Open();
  grid::Sheet& t = w.TablesSheetData;
  t.SetNumberRC(1, 4, -1);  // a marker a fill would overwrite
  for (QLineEdit* box : {w.txtMargin[2], w.txtMonths[1], w.txtFactor[1], w.txtResidual[1]}) {
    Enter(w, box, Box(box));
    EXPECT_DOUBLE_EQ(t.NumberRC(1, 4), -1);
  }
  EXPECT_TRUE(prompt.Asked().empty());
}

TEST_F(TablesTest, TextThatIsNotANumberOrTooLargeIsRefusedAndTheBoxKeepsItsValue) {
  Tables& w = Open();
  grid::Sheet& t = w.TablesSheetData;
  t.SetNumberRC(1, 4, -1);  // a marker a fill would overwrite
  struct Case {
    QLineEdit* box;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {w.txtMargin[1], "abc", "\"abc\" is not a number."},
      {w.txtMargin[2], "1e308", "That value is too large for this deal."},
      {w.txtMonths[1], "36 months", "\"36 months\" is not a number."},
      {w.txtFactor[1], "x.0025", "\"x.0025\" is not a number."},
      {w.txtResidual[1], "100000000", "That value is too large for this deal."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string held = Box(c.box);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    Enter(w, c.box, c.typed);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, c.message);
    EXPECT_EQ(Box(c.box), held);
    EXPECT_DOUBLE_EQ(t.NumberRC(1, 4), -1);  // no fill
  }
  EXPECT_DOUBLE_EQ(eng.TableMarginEnd, 2150);
  EXPECT_DOUBLE_EQ(eng.TableMarginStep, 50);
  EXPECT_DOUBLE_EQ(eng.TableMonths[2], 36);
  EXPECT_DOUBLE_EQ(eng.TableFactors[2], 0.0025);
  EXPECT_DOUBLE_EQ(eng.TableResiduals[2], 12000);
}

TEST_F(TablesTest, EveryFillPutsThePageBack) {
  Tables& w = Open();
  const PageInputs before = eng.SnapshotInputs();
  Enter(w, w.txtMonths[3], "60");
  Enter(w, w.txtFactor[3], ".0019");
  Enter(w, w.txtResidual[3], "9000");
  Enter(w, w.txtMargin[2], "25");
  EXPECT_EQ(Table(w).MaxRow(), 87);
  EXPECT_EQ(eng.SnapshotInputs(), before);
  EXPECT_EQ(Text(qv->lblPayment[1]), "$368.50");
  EXPECT_EQ(Text(qv->Text3[4]), "$1,000.00");
}

TEST_F(TablesTest, CopyTakesTheHeadingsAndEveryRowFromTheFirst) {
  Tables& w = Open();
  Enter(w, w.txtMargin[1], "100");
  w.mnuCopy_Click();
  const std::string text = QGuiApplication::clipboard()->text().toStdString();
  const std::string expected = "Margin\tCap Cost\t\tMonths 36 Res 12,000 Fact 0.00250\t\t\r\n"
                               "0\t20500\t\t" + GeneralNumber(Cents(PaymentNT(20500, 12000, 0.0025, 36))) + "\t\t\r\n"
                               "50\t20550\t\t" + GeneralNumber(Cents(PaymentNT(20550, 12000, 0.0025, 36))) + "\t\t\r\n"
                               "100\t20600\t\t" + GeneralNumber(Cents(PaymentNT(20600, 12000, 0.0025, 36))) + "\t\t\r\n";
  EXPECT_EQ(text, expected);
  EXPECT_FALSE(prompt.Busy());
}

TEST_F(TablesTest, PrintGoesThroughThePrintDialogAndACancelIsQuiet) {
  Tables& w = Open();
  const std::string pdf = folder + "table.pdf";
  ui::PrintTarget target;
  target.pdfPath = pdf;
  prompt.Print(target);
  w.Command1_Click(1);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(ReadFile(pdf).substr(0, 4), "%PDF");
  EXPECT_EQ(prompt.Asked().back().kind, ui::PromptRecord::Kind::Print);

  prompt.Print(std::nullopt);
  w.mnuPrintTable_Click();
  prompt.PageSetup(true);
  w.mnuPageSetup_Click();
  EXPECT_EQ(prompt.Asked().back().kind, ui::PromptRecord::Kind::PageSetup);
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(TablesTest, TheWindowFollowsTheCurrentPageAndPacksEachPagesSets) {
  Tables& w = Open();
  Enter(w, w.txtMonths[0], "24");
  Enter(w, w.txtFactor[0], ".003");
  Enter(w, w.txtResidual[0], "14000");
  const std::string packed = "24       0.003000 14000.00 36       0.002500 12000.00 " + std::string(9, ' ') +
                             "0.000000 .00      " + std::string(9, ' ') + "0.000000 .00      ";

  // Another page becomes current and the tax box is ticked at once: the sets go into page
  // 1, and the table is page 2's (no description, its own deal in the 36-month set).
  GoToPage(2);
  w.chkTax->setChecked(true);
  w.chkTax_Click();
  EXPECT_EQ(w.TablePage(), 2);
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 12), packed);
  EXPECT_EQ(Text(w.Label1), "");
  EXPECT_EQ(Box(w.txtMonths[0]), " ");
  EXPECT_EQ(Box(w.txtMonths[1]), "36");
  EXPECT_TRUE(w.chkTax->isChecked());
  // Margin 500 on page 2: its cap cost is 500 below page 1's at the same margin.
  const grid::Sheet& t = Table(w);
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 1), 1000);
  EXPECT_DOUBLE_EQ(t.NumberRC(21, 4), 368.50);

  // Page 3 becomes current: the window moves once the main window's display is done.
  GoToPage(3);
  QApplication::processEvents();
  EXPECT_EQ(w.TablePage(), 3);
  EXPECT_EQ(Text(w.Label1), kSampleName);
  EXPECT_EQ(Box(w.txtMonths[2]), "48");
  EXPECT_EQ(Box(w.txtFactor[2]), "0.002000");
  EXPECT_EQ(Box(w.txtResidual[2]), "$10,000.00");
  EXPECT_EQ(t.ColText(5), "Months 48\r\nRes 10,000\r\nFact 0.00200");
  // Page 2 got its own sets back.
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(2, 12).substr(27, 27), "36       0.002500 12000.00 ");

  // Closed on page 3: packed into page 3; page 1 keeps its sets.
  w.Command1_Click(0);
  DeleteClosedWindows();
  EXPECT_FALSE(windows.Loaded<Tables>());
  EXPECT_EQ(eng.page.TabParam.substr(54, 27), "48       0.002000 10000.00 ");
  GoToPage(1);
  EXPECT_EQ(eng.page.TabParam, packed);
  Tables& again = Open();
  EXPECT_EQ(Box(again.txtMonths[0]), "24");
  EXPECT_EQ(Box(again.txtResidual[0]), "$14,000.00");
  again.close();
  DeleteClosedWindows();
  EXPECT_EQ(eng.page.TabParam, packed);
}

TEST_F(TablesTest, EnterMovesOnAndAMenuCommandTakesTheBoxBeingEdited) {
  Tables& w = Open();
  ASSERT_TRUE(MakeActive(&w));

  // Enter in the ending margin: the focus moves to the step box, and leaving ran the rule.
  w.txtMargin[1]->setFocus(Qt::TabFocusReason);
  w.txtMargin[1]->setText("500");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(w.txtMargin[1], &enter);
  EXPECT_EQ(QApplication::focusWidget(), w.txtMargin[2]);
  EXPECT_EQ(Table(w).MaxRow(), 11);
  // Within a column set the focus goes round: months, factor, residual, months.
  w.txtResidual[1]->setFocus(Qt::TabFocusReason);
  QKeyEvent enter2(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(w.txtResidual[1], &enter2);
  EXPECT_EQ(QApplication::focusWidget(), w.txtMonths[1]);

  // A new end typed and not yet left: the copy takes it first, and leaving the box later
  // does not run the rule again.
  w.txtMargin[1]->setFocus(Qt::TabFocusReason);
  w.txtMargin[1]->setText("100");
  w.mnuCopy_Click();
  EXPECT_EQ(Table(w).MaxRow(), 3);
  grid::Sheet& t = w.TablesSheetData;
  t.SetNumberRC(1, 4, -1);
  w.txtMargin[0]->setFocus(Qt::TabFocusReason);
  EXPECT_DOUBLE_EQ(t.NumberRC(1, 4), -1);
}

TEST_F(TablesTest, TheAnalysisMenuOpensTheWindow) {
  ASSERT_TRUE(qv->mnuAnalysis[2]->isEnabled());
  qv->mnuAnalysis[2]->trigger();
  ASSERT_TRUE(windows.Loaded<Tables>());
  EXPECT_TRUE(windows.IfLoaded<Tables>()->isVisible());
  // A second time the same window comes to the front.
  Tables* first = windows.IfLoaded<Tables>();
  qv->mnuAnalysis_Click(2);
  EXPECT_EQ(windows.IfLoaded<Tables>(), first);
}

}  // namespace
}  // namespace qv::test
