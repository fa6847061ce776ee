// The deal windows' entries fed values the arithmetic cannot carry: each is refused with one
// message and leaves the page, its payment and the modified mark as they were; an ordinary
// value in the same place still goes through.
#include <QLineEdit>
#include <QRadioButton>

#include <cmath>
#include <functional>

#include "dialogs/AdjRes.h"
#include "dialogs/Adjust.h"
#include "dialogs/EOLFee.h"
#include "dialogs/ForceCap.h"
#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "dialogs/Margin2.h"
#include "dialogs/Milage.h"
#include "dialogs/StartUps2.h"
#include "dialogs/TaxFee.h"
#include "dialogs/Trade.h"
#include "owner/FiniteEntry.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

using ui::Answer;

class FiniteEntryTest
    : public SampleDealTest<AdjRes, Adjust, EOLFee, ForceCap, ForceLoan, ForcePmt, Margin2, Milage, StartUps2, TaxFee,
                            Trade> {
 protected:
  static void Type(QLineEdit* box, const std::function<void()>& gotFocus, const std::function<void()>& lostFocus,
                   const std::string& text) {
    gotFocus();
    box->setText(QString::fromStdString(text));
    lostFocus();
  }
  static bool TypeInCell(grid::GridWidget* grid, int row, int col, const std::string& text) {
    grid->refresh();
    return grid->commitEdit(row, col, QString::fromStdString(text));
  }
  void UnloadAll() {
    windows.Unload<AdjRes>();
    windows.Unload<Adjust>();
    windows.Unload<EOLFee>();
    windows.Unload<ForceCap>();
    windows.Unload<Margin2>();
    windows.Unload<Milage>();
    windows.Unload<StartUps2>();
    windows.Unload<TaxFee>();
    windows.Unload<Trade>();
  }
};

TEST_F(FiniteEntryTest, EntriesThatOverflowThePageAreRefused) {
  struct Case {
    const char* what;
    std::function<void()> before;  // what the page holds already (taken)
    std::function<void(const std::string&)> enter;
    const char* bad;
    const char* good;
  };
  auto adjRes = [this](const std::string& cents) {
    AdjRes& w = windows.Get<AdjRes>();
    w.txtAdditionalMiles->setText("1000");
    w.txtCentsPerMile->setText(QString::fromStdString(cents));
    w.Command1_Click(0);
  };
  // The miles are taken first; the price per mile is the entry.
  auto milesTaken = [this](int16_t mode) {
    return [this, mode] {
      windows.Shared().MileageEOLMode = mode;
      Milage& w = windows.Get<Milage>();
      Type(w.Text1[1], [&] { w.Text1_GotFocus(1); }, [&] { w.Text1_LostFocus(1); }, "30000");
      w.Command1_Click();
      windows.Unload<Milage>();
    };
  };
  auto milage = [this](int16_t mode) {
    return [this, mode](const std::string& cents) {
      windows.Shared().MileageEOLMode = mode;
      Milage& w = windows.Get<Milage>();
      Type(w.Text1[2], [&] { w.Text1_GotFocus(2); }, [&] { w.Text1_LostFocus(2); }, cents);
      w.Command1_Click();
    };
  };
  auto trade = [this](const std::string& amount) {
    Trade& w = windows.Get<Trade>();
    Type(w.Text1[0], [&] { w.Text1_GotFocus(0); }, [&] { w.Text1_LostFocus(0); }, amount);
  };
  auto taxFee = [this](const std::string& amount) { TypeInCell(windows.Get<TaxFee>().F1Book1, 1, 1, amount); };
  auto startUps = [this](const std::string& amount) {
    TypeInCell(windows.Get<StartUps2>().StartUpsSheet, 4, 3, amount);
  };
  auto adjust = [this](const std::string& amount) {
    TypeInCell(windows.Get<Adjust>().AdjustmentSheet, 1, 2, amount);
  };
  auto eolFee = [this](const std::string& amount) { TypeInCell(windows.Get<EOLFee>().EOLSheet, 2, 2, amount); };
  auto margin = [this](const std::string& amount) {
    Margin2& w = windows.Get<Margin2>();
    TypeInCell(w.F1Book1, Margin2::kProfit, 1, amount);
    w.Command1_Click();
  };
  auto forceCap = [this](const std::string& target) {
    ForceCap& w = windows.Get<ForceCap>();
    w.Text1->setText(QString::fromStdString(target));
    w.Command1_Click(0);
  };
  const Case cases[] = {
      {"residual adjustment cents", nullptr, adjRes, "1e308", "15"},
      {"pre-paid miles' cents", milesTaken(0), milage(0), "1e308", "15"},
      {"end-of-lease miles' cents", milesTaken(1), milage(1), "1e308", "15"},
      {"trade allowance", nullptr, trade, "1e308", "5000"},
      {"purchase registration beside a title of 90,000,000",
       [this] { TypeInCell(windows.Get<TaxFee>().F1Book1, 2, 1, "90000000"); }, taxFee, "1e308", "150"},
      {"start-up registration in cash", nullptr, startUps, "1e308", "150"},
      {"adjustment capitalised", nullptr, adjust, "1e308", "500"},
      {"second end-of-lease fee of 90,000,000",
       [this] { TypeInCell(windows.Get<EOLFee>().EOLSheet, 3, 2, "90000000"); }, eolFee, "1e308", "350"},
      {"margin profit", [this] { windows.Get<Margin2>(); }, margin, "1e308", "600"},
      {"cap cost target", nullptr, forceCap, "1e308", "$22,000.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UnloadAll();
    Reset();
    if (c.before) c.before();
    const PageInputs before = eng.SnapshotInputs();
    const double payment = eng.res.PaymentWT;
    const std::string paymentText = Text(qv->lblPayment[1]);
    const int16_t modified = eng.WorksheetModified;
    prompt.ClearAsked();
    prompt.Answer(Answer::OK);
    c.enter(c.bad);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{kEntryTooLargeMessage});
    EXPECT_TRUE(eng.SnapshotInputs() == before) << "the page is as it was";
    EXPECT_EQ(eng.res.PaymentWT, payment);
    EXPECT_EQ(Text(qv->lblPayment[1]), paymentText);
    EXPECT_EQ(eng.WorksheetModified, modified);
    EXPECT_FALSE(eng.res.NonFinite);

    // An ordinary value in the same place is taken.
    UnloadAll();
    prompt.ClearAsked();
    c.enter(c.good);
    EXPECT_TRUE(prompt.MessageTexts().empty());
    EXPECT_FALSE(eng.SnapshotInputs() == before) << "the entry was taken";
    EXPECT_EQ(eng.WorksheetModified, -1);
  }
  UnloadAll();
}

// A box left with a refused value gets back the text it had when it got the focus.
TEST_F(FiniteEntryTest, ARefusedBoxGetsItsTextBack) {
  AdjRes& a = windows.Get<AdjRes>();
  a.txtAdditionalMiles->setText("1000");
  a.txtCentsPerMile->setText("15");
  prompt.Answer(Answer::OK);
  Type(a.txtCentsPerMile, [&] { a.Box_GotFocus(a.txtCentsPerMile); }, [&] { a.Box_LostFocus(a.txtCentsPerMile); },
       "1e308");
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{kEntryTooLargeMessage});
  EXPECT_EQ(a.txtCentsPerMile->text(), "15");
  EXPECT_EQ(Text(a.lblAdjustment), "$150.00");
  a.Command1_Click(0);
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11850);

  Trade& t = windows.Get<Trade>();
  const std::string shown = Text(t.Text1[0]);
  prompt.Answer(Answer::OK);
  Type(t.Text1[0], [&] { t.Text1_GotFocus(0); }, [&] { t.Text1_LostFocus(0); }, "1e308");
  EXPECT_EQ(Text(t.Text1[0]), shown);
  EXPECT_EQ(eng.items.TradeAllowance, 0);

  // Miles the page cannot hold as a whole number are refused as the deal field refuses them.
  Milage& m = windows.Get<Milage>();
  const std::string milesShown = Text(m.Text1[1]);
  for (const char* miles : {"3e9", "1e308"}) {
    prompt.Answer(Answer::OK);
    Type(m.Text1[1], [&] { m.Text1_GotFocus(1); }, [&] { m.Text1_LostFocus(1); }, miles);
    EXPECT_EQ(m.ActualMiles, 0);
    EXPECT_EQ(Text(m.Text1[1]), milesShown);
  }
  EXPECT_EQ(prompt.MessageTexts().back(), " 1E+308 is not a valid number of miles.");
}

// The payment and loan searches never put a non-finite value into the page, whatever
// payment is asked for.
TEST_F(FiniteEntryTest, SearchesForExtremePaymentsLeaveTheDealFinite) {
  for (const char* desired : {"1e308", "-1e308", "1e-320"}) {
    SCOPED_TRACE(desired);
    for (int item = 0; item < 6; ++item) {
      Reset();
      ForcePmt& w = windows.Get<ForcePmt>();
      w.Option1[item]->setChecked(true);
      prompt.SetFailureHandler([](const std::string&) {});
      Type(w.Text1, [&] { w.Text1_GotFocus(); }, [&] { w.Text1_LostFocus(); }, desired);
      w.Command2_Click(0);
      EXPECT_TRUE(Engine::IsFinite(eng.SnapshotInputs())) << item;
      EXPECT_FALSE(eng.res.NonFinite) << item;
      windows.Unload<ForcePmt>();
    }
    for (int button : {0, 2, 3, 4, 5}) {
      Reset();
      ForceLoan& w = windows.Get<ForceLoan>();
      w.Text1->setText(desired);
      w.Command1_Click(button);
      w.Command2_Click(0);
      EXPECT_TRUE(Engine::IsFinite(eng.SnapshotInputs())) << button;
      EXPECT_FALSE(eng.res.NonFinite) << button;
      windows.Unload<ForceLoan>();
    }
  }
}

}  // namespace
}  // namespace qv::test
