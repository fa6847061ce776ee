// Deal fields fed values the arithmetic cannot carry: the entry is refused with one
// message, the page and its figures stay as they were; ordinary values still go through.
#include <cmath>
#include <functional>
#include <vector>

#include "owner/FiniteEntry.h"
#include "platform/grid/GridWidget.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

using ui::Answer;

// Answers every message box with the same answer and keeps the texts asked.
class SameAnswer : public ui::ScriptedPrompt {
 public:
  explicit SameAnswer(ui::Answer a) : answer_(a) {}
  ui::Answer MsgBox(const std::string& text, ui::Buttons, ui::Icon, const ui::Title&) override {
    texts.push_back(text);
    return answer_;
  }
  std::vector<std::string> texts;

 private:
  ui::Answer answer_;
};

// Every figure of the page's results.
std::vector<double> Figures(const PageResults& r) {
  std::vector<double> v = {r.TotalOptInv, r.TotalOptMSRP, r.TotalInvoice, r.TotalMSRP, r.MSRP, r.MarginPerc,
                           r.PurchPrice, r.TotalTradeEquity, r.GrossCapCost, r.CapCost, r.OptionDiscountTotal,
                           r.PaymentNT, r.PaymentWT, r.TotalRent, r.TotalStartUps.Cap, r.TotalStartUps.Cash,
                           r.LCashReqd, r.LInitCost, r.PInitCost, r.CInitCost, r.LLIIC, r.PLIIC, r.CLIIC,
                           r.LLIPmt, r.PLIPmt, r.LeaseFC, r.PurchFC, r.CashFC, r.TotalTaxFee, r.LoanPrinciple,
                           r.PurPmnt, r.PCashReqd, r.CCashReqd};
  for (const Var* x : {&r.ResPerc, &r.Payoff, &r.LeaseCashRatio, &r.LeaseLoanRatio, &r.LoanCashRatio})
    if (!x->IsEmpty()) v.push_back(static_cast<double>(*x));
  return v;
}

class FiniteEntryTest : public SampleDealTest<> {};

TEST_F(FiniteEntryTest, EntriesThatOverflowThePageAreRefused) {
  struct Case {
    int box;
    const char* what;
    const char* bad;
    const char* good;
    std::vector<Answer> answers;  // the residual question, for the MSRP and the destination
  };
  const Case cases[] = {
      {7, "residual", "-1e308", "12,500", {}},
      {2, "destination", "1e308", "600", {Answer::Yes}},
      {6, "months", "1e-320", "48", {}},
      {0, "invoice", "-1e308", "21,000", {}},
      {4, "margin", "1e308", "1,500", {}},
      {4, "margin", "-1e308", "-300", {}},
      {5, "cap reduction", "1e308", "500", {}},
      {9, "money factor", "-1e308", ".003", {}},
      {10, "rent charge", "1e308", "3618", {}},
      {21, "trade allowance", "1e308", "5000", {}},
      {22, "trade payoff", "1e308", "1500", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " " + c.bad);
    Reset();
    const PageInputs before = eng.SnapshotInputs();
    const double payment = eng.res.PaymentWT;
    const std::string paymentText = Text(qv->lblPayment[1]);
    const std::string boxText = Text(qv->Text3[c.box]);
    prompt.ClearAsked();
    for (Answer a : c.answers) prompt.Answer(a);
    prompt.Answer(Answer::OK);
    Type(c.box, c.bad);
    ASSERT_FALSE(prompt.MessageTexts().empty());
    EXPECT_EQ(prompt.MessageTexts().back(), kEntryTooLargeMessage);
    EXPECT_EQ(prompt.Asked().back().icon, ui::Icon::Exclamation);
    EXPECT_TRUE(eng.SnapshotInputs() == before) << "the page is as it was";
    EXPECT_EQ(eng.res.PaymentWT, payment);
    EXPECT_EQ(Text(qv->lblPayment[1]), paymentText);
    EXPECT_EQ(Text(qv->Text3[c.box]), boxText);
    EXPECT_EQ(eng.WorksheetModified, 0);
    EXPECT_FALSE(eng.res.NonFinite);

    // An ordinary value in the same box is taken.
    prompt.ClearAsked();
    for (Answer a : c.answers) prompt.Answer(a);
    Type(c.box, c.good);
    for (const std::string& t : prompt.MessageTexts()) EXPECT_NE(t, kEntryTooLargeMessage);
    EXPECT_FALSE(eng.SnapshotInputs() == before);
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_TRUE(prompt.Exhausted());
  }
}

// The amounts asked for by double-clicks and menu items are refused the same way.
TEST_F(FiniteEntryTest, AnswersThatOverflowThePageAreRefused) {
  struct Case {
    const char* what;
    std::function<void()> ask;
    const char* bad;
    const char* good;
  };
  const Case cases[] = {
      {"cash required", [this] { qv->lblPayment_DblClick(0); }, "1e308", "1500"},
      {"purchase price", [this] { qv->lblPurchPrice_DblClick(); }, "1e308", "22,000"},
      {"single-payment lease", [this] { qv->mnuSinglePayLease_Click(); }, "-1e308", "5000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    const PageInputs before = eng.SnapshotInputs();
    const double payment = eng.res.PaymentWT;
    const std::string paymentText = Text(qv->lblPayment[1]);
    prompt.ClearAsked();
    prompt.Input(c.bad).Answer(Answer::OK);
    c.ask();
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{kEntryTooLargeMessage});
    EXPECT_TRUE(eng.SnapshotInputs() == before);
    EXPECT_EQ(eng.res.PaymentWT, payment);
    EXPECT_EQ(Text(qv->lblPayment[1]), paymentText);
    EXPECT_EQ(eng.WorksheetModified, 0);

    prompt.ClearAsked();
    prompt.Input(c.good);
    c.ask();
    EXPECT_TRUE(prompt.MessageTexts().empty());
    EXPECT_FALSE(eng.SnapshotInputs() == before);
    EXPECT_EQ(eng.WorksheetModified, -1);
  }
}

// Option amounts that overflow the page's totals are refused before anything is stored.
TEST_F(FiniteEntryTest, OptionAmountsThatOverflowAreRefused) {
  auto edit = [this](int row, int col, const char* text) {
    qv->OptionList->refresh();
    return qv->OptionList->commitEdit(row, col, QString::fromUtf8(text));
  };
  // Refused in the empty row of an empty page: no option row is made for it.
  prompt.Answer(Answer::OK);
  EXPECT_FALSE(edit(1, 2, "-1e308"));
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{kEntryTooLargeMessage});
  EXPECT_EQ(eng.WKS.SheetAt(2).MaxRow(), 1) << "no option row was stored";
  EXPECT_EQ(eng.OptionList.NumberRC(1, 5), 0) << "the row links to no option";
  EXPECT_EQ(eng.WorksheetModified, 0);

  // Refused in an option's row: the option keeps its amounts, the page its figures.
  ASSERT_TRUE(edit(1, 1, "Moon roof"));
  prompt.Answer(Answer::No);
  ASSERT_TRUE(edit(1, 3, "90,000,000"));  // a huge MSRP alone gives finite figures
  eng.WorksheetModified = 0;
  const PageInputs before = eng.SnapshotInputs();
  const double payment = eng.res.PaymentWT;
  const std::string paymentText = Text(qv->lblPayment[1]);
  prompt.ClearAsked();
  prompt.Answer(Answer::OK);
  EXPECT_FALSE(edit(1, 2, "-1e308"));
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{kEntryTooLargeMessage});
  EXPECT_EQ(eng.WKS.SheetAt(2).TextRC(2, 3), "");
  EXPECT_EQ(eng.OptionList.TextRC(1, 2), "");
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.res.PaymentWT, payment);
  EXPECT_EQ(Text(qv->lblPayment[1]), paymentText);
  EXPECT_EQ(eng.WorksheetModified, 0);

  prompt.ClearAsked();
  EXPECT_TRUE(edit(1, 2, "1,250"));
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_DOUBLE_EQ(eng.res.TotalOptInv, 1250);
  EXPECT_EQ(eng.WorksheetModified, -1);
}

// Every deal field, fed every extreme text, with every question answered Yes and then No:
// whatever is taken, the page holds finite values and every figure is finite.
TEST_F(FiniteEntryTest, NoDealFieldStoresANonFiniteValue) {
  const char* texts[] = {"1e308", "-1e308", "1e-320", "nan", "inf", "-inf", "1e400"};
  for (int16_t ltype : {0, 3}) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
      SameAnswer answers(answer);
      ui::ScopedPrompt scoped(answers);
      for (int box = 0; box < 27; ++box) {
        for (const char* text : texts) {
          SCOPED_TRACE("method " + std::to_string(ltype) + " box " + std::to_string(box) + " " + text);
          Reset();
          eng.page.LType = ltype;
          eng.RecalcPage();
          Type(box, text);
          EXPECT_TRUE(Engine::IsFinite(eng.SnapshotInputs()));
          EXPECT_FALSE(eng.res.NonFinite);
          for (double v : Figures(eng.res)) EXPECT_TRUE(std::isfinite(v));
          EXPECT_FALSE(Text(qv->lblPayment[1]).empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace qv::test
