// The result display of the sample page in each view, and its rules.
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class ResultsTest : public SampleDealTest<> {};

struct Shown {
  const char* control;
  std::function<std::string(const QV&)> text;
  const char* expected;
};

void ExpectTexts(const QV& qv, const std::vector<Shown>& rows) {
  for (const Shown& r : rows) EXPECT_EQ(r.text(qv), r.expected) << r.control;
}

std::function<std::string(const QV&)> Box(int i) {
  return [i](const QV& q) { return q.Text3[i]->text().toStdString(); };
}
std::function<std::string(const QV&)> Lbl(QLabel* QV::*m) {
  return [m](const QV& q) { return (q.*m)->text().toStdString(); };
}
template <size_t N>
std::function<std::string(const QV&)> Lbl(std::array<QLabel*, N> QV::*m, int i) {
  return [m, i](const QV& q) { return (q.*m)[i]->text().toStdString(); };
}

// Figures worked out by hand for the sample page:
//   total invoice 20500, total MSRP 22500, purchase price and cap cost 21500;
//   payment (33500 x .0025) + 9500 / 36 = 347.638889, with 6 % tax 368.497222;
//   cash due: first payment 368.50 + security deposit 375 = 743.50;
//   lease future cost 743.50 + 35 x 368.497222 - 375 = 13265.90;
//   purchase tax 6 % of 21500 = 1290; loan 21500 + 1290 - 2000 = 20790 over 36 months at
//   0 % = 577.50; loan future cost 2000 + 20790 - 12000 = 10790; cash 22790 - 12000 = 10790;
//   residual 12000 / 22500 = 53.3 %; margin 1000 / 20500 = 4.88 %; down 2000 / 21500 = 9.30 %;
//   the factor .0025 is an annual rate of 6.03 % by the annuity-due formula.
TEST_F(ResultsTest, AlwaysShownBlock) {
  for (int tab = 1; tab <= 4; ++tab) {
    SCOPED_TRACE(tab);
    qv->SelectTab(tab);
    ExpectTexts(*qv, {
                         {"lblpagenum", [](const QV& q) { return q.lblpagenum->text().toStdString(); }, "Page 1 of 1"},
                         {"Text5(0)", [](const QV& q) { return q.Text5[0]->text().toStdString(); }, "6.0"},
                         {"lblPercMargin", Lbl(&QV::lblPercMargin), " 4.88%"},
                         {"lblTotals(1)", Lbl(&QV::lblTotals, 1), "$22,500.00"},
                         {"lblPurchPrice", Lbl(&QV::lblPurchPrice), "$21,500.00"},
                         {"Text3(0)", Box(0), "$20,000.00"},
                         {"Text3(1)", Box(1), "$22,000.00"},
                         {"Text3(2)", Box(2), "$500.00"},
                         {"Text3(3)", Box(3), "$500.00"},
                         {"Text3(4)", Box(4), "$1,000.00"},
                     });
  }
}

TEST_F(ResultsTest, LeaseView) {
  qv->SelectTab(1);
  ExpectTexts(*qv, {
                       {"Text3(6)", Box(6), "36.00"},
                       {"Text3(7)", Box(7), "$12,000.00"},
                       {"Text3(8)", Box(8), " "},
                       {"Text3(5)", Box(5), " "},
                       {"lblResPerc", Lbl(&QV::lblResPerc), "53.3%"},
                       {"lblResNote", Lbl(&QV::lblResNote), ""},
                       {"lblStartUps", Lbl(&QV::lblStartUps), " "},
                       {"lblAdjust", Lbl(&QV::lblAdjust), " "},
                       {"lblGrossCap", Lbl(&QV::lblGrossCap), "$21,500.00"},
                       {"lblAdjustedCap", Lbl(&QV::lblAdjustedCap), "$21,500.00"},
                       {"lblTradeCap", Lbl(&QV::lblTradeCap), " "},
                       {"Text3(9)", Box(9), ".0025000"},
                       {"Label14(3)", Lbl(&QV::Label14, 3), "Factor:"},
                       {"Text3(25)", Box(25), "6.03%"},
                       {"Text3(10)", Box(10), "$3,015.00"},
                       {"Text3(11)", Box(11), "0.00%"},
                       {"Label2(0)", Lbl(&QV::Label2, 0), "$13,265.90"},
                       {"lblPayment(0)", Lbl(&QV::lblPayment, 0), "$743.50"},
                       {"lblPayment(1)", Lbl(&QV::lblPayment, 1), "$368.50"},
                   });
  EXPECT_TRUE(qv->Text3[9]->isVisibleTo(qv.get()));
  EXPECT_FALSE(qv->Text3[24]->isVisibleTo(qv.get()));
  EXPECT_FALSE(qv->EnabledByRule(qv->cmdbut2[2]));  // no vehicle from the price guide
}

TEST_F(ResultsTest, LoanView) {
  qv->SelectTab(2);
  ExpectTexts(*qv, {
                       {"Text3(13)", Box(13), "36.00"},
                       {"Text3(16)", Box(16), "$12,000.00"},
                       {"Text3(23)", Box(23), " "},
                       {"Label17(0)", Lbl(&QV::Label17, 0), "Loan Principle / Cash Required ......"},
                       {"lblDownPmtPerc", Lbl(&QV::lblDownPmtPerc), "9.30%"},
                       {"Text3(15)", Box(15), "0.00%"},
                       {"Text3(14)", Box(14), "0.00%"},
                       {"lblPayment(2)", Lbl(&QV::lblPayment, 2), "$577.50"},
                       {"Label14(13)", Lbl(&QV::Label14, 13), "Value after 36.0 months:"},
                       {"Label14(11)", Lbl(&QV::Label14, 11), "Total Future Cost after 36.0 months:"},
                       {"Label2(1)", Lbl(&QV::Label2, 1), "$10,790.00"},
                       {"lblLoanEndPerc(0)", Lbl(&QV::lblLoanEndPerc, 0), "53.3%"},
                       {"lblLoan(2)", Lbl(&QV::lblLoan, 2), "$1,290.00"},
                       {"lblLoan(0)", Lbl(&QV::lblLoan, 0), "$21,500.00"},
                       {"Text3(21)", Box(21), " "},
                       {"Text3(22)", Box(22), " "},
                       {"Text3(12)", Box(12), "$2,000.00"},
                       {"Text3(20)", Box(20), " "},
                       {"Text3(26)", Box(26), "30"},
                       {"lblLoan(8)", Lbl(&QV::lblLoan, 8), "$20,790.00"},
                       {"lblLoan(9)", Lbl(&QV::lblLoan, 9), "$2,000.00"},
                   });
  EXPECT_TRUE(qv->Text3[12]->isVisibleTo(qv.get()));
  EXPECT_TRUE(qv->EnabledByRule(qv->Command2[1]));
}

TEST_F(ResultsTest, CashView) {
  qv->SelectTab(3);
  ExpectTexts(*qv, {
                       {"Text3(17)", Box(17), "$12,000.00"},
                       {"Label14(14)", Lbl(&QV::Label14, 14), "Value after 36.0 months:"},
                       {"Label14(16)", Lbl(&QV::Label14, 16), "Total Future Cost after 36.0 months:"},
                       {"lblLoanEndPerc(1)", Lbl(&QV::lblLoanEndPerc, 1), "53.3%"},
                       {"Label2(2)", Lbl(&QV::Label2, 2), "$10,790.00"},
                       {"Text3(18)", Box(18), "0.00%"},
                       {"lblLoan(9)", Lbl(&QV::lblLoan, 9), ""},
                       {"Label17(0)", Lbl(&QV::Label17, 0), "Cash Required .............................."},
                       {"lblLoan(2)", Lbl(&QV::lblLoan, 2), "$1,290.00"},
                       {"lblLoan(0)", Lbl(&QV::lblLoan, 0), "$21,500.00"},
                       {"lblLoan(8)", Lbl(&QV::lblLoan, 8), "$22,790.00"},
                   });
  EXPECT_FALSE(qv->Text3[12]->isVisibleTo(qv.get()));
  EXPECT_FALSE(qv->Label18[0]->isVisibleTo(qv.get()));
  EXPECT_FALSE(qv->lblDownPmtPerc->isVisibleTo(qv.get()));
}

TEST_F(ResultsTest, ComparisonView) {
  qv->SelectTab(4);
  ExpectTexts(*qv, {
                       {"Label14(21)", Lbl(&QV::Label14, 21), "Total Future Cost (36.0 months)"},
                       {"Label2(3)", Lbl(&QV::Label2, 3), "$13,265.90"},
                       {"Label2(4)", Lbl(&QV::Label2, 4), "$10,790.00"},
                       {"Label2(5)", Lbl(&QV::Label2, 5), "$10,790.00"},
                       {"Label2(6)", Lbl(&QV::Label2, 6), "1.23"},
                       {"Label2(7)", Lbl(&QV::Label2, 7), "1.23"},
                       {"Label2(8)", Lbl(&QV::Label2, 8), "1.00"},
                       {"Text3(19)", Box(19), "0.00%"},
                   });
}

TEST_F(ResultsTest, CheapestWayIsBlueOnlyWhenUniqueAndShown) {
  const uint32_t blue = 0xFF0000, black = 0;
  auto colours = [this] {
    return std::vector<uint32_t>{QV::ForeColor(qv->Label2[3]), QV::ForeColor(qv->Label2[4]),
                                 QV::ForeColor(qv->Label2[5])};
  };
  qv->SelectTab(4);
  // Loan and cash cost the same to the cent: nobody is blue.
  EXPECT_EQ(colours(), (std::vector<uint32_t>{black, black, black}));
  // A loan at 5 % costs more than cash: cash is the cheapest.
  eng.page.LoanRate = 0.05;
  eng.RecalcPage();
  EXPECT_EQ(colours(), (std::vector<uint32_t>{black, black, blue}));
  // Back to the tie: the blue of the last display does not stay.
  eng.page.LoanRate = 0;
  eng.RecalcPage();
  EXPECT_EQ(colours(), (std::vector<uint32_t>{black, black, black}));
  // A loan shorter than the lease shows N/A and is never blue; a cheap lease is.
  eng.page.LoanMonths = 24;
  eng.page.Residual = 20000;
  eng.page.EndLoan = 5000;
  eng.RecalcPage();
  EXPECT_EQ(Text(qv->Label2[4]), "N/A");
  EXPECT_EQ(Text(qv->Label2[6]), "N/A");
  EXPECT_EQ(Text(qv->Label2[8]), "N/A");
  EXPECT_LT(eng.res.LeaseFC, eng.res.CashFC);
  EXPECT_EQ(colours(), (std::vector<uint32_t>{blue, black, black}));
  // Figures that differ below the cent show the same and tie; a cent apart, the lower wins.
  struct Case {
    double lease, loan, cash;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {13000.001, 14000, 13000.004, {black, black, black}},
      {13000.004, 13000.001, 14000, {black, black, black}},
      {13000.001, 14000, 13000.006, {blue, black, black}},
      {14000, 12999.996, 13000.004, {black, black, black}},
  };
  eng.page.LoanMonths = 36;
  for (const Case& c : cases) {
    eng.res.LeaseFC = c.lease;
    eng.res.PurchFC = c.loan;
    eng.res.CashFC = c.cash;
    qv->ShowPageResults();
    EXPECT_EQ(colours(), c.expected) << c.lease << " " << c.loan << " " << c.cash;
  }
}

TEST_F(ResultsTest, LoanShorterThanTheLease) {
  struct Case {
    double months, loanMonths;
    bool tooShort;
  };
  for (const Case c : {Case{48, 36, true}, Case{36, 36, false}}) {
    eng.page.Months = c.months;
    eng.page.LoanMonths = c.loanMonths;
    qv->SelectTab(2);
    EXPECT_EQ(Text(qv->Label2[1]) == "Loan too short", c.tooShort);
    EXPECT_EQ(qv->EnabledByRule(qv->Command2[1]), !c.tooShort);
  }
}

TEST_F(ResultsTest, FordAprMethodShowsTheAprBox) {
  eng.page.LType = 3;
  eng.page.FordAPR = 0.06;
  eng.page.FordAdminFactor = 0;
  qv->SelectTab(1);
  EXPECT_EQ(Text(qv->Label14[3]), "Ford APR:");
  EXPECT_FALSE(qv->Text3[9]->isVisibleTo(qv.get()));
  EXPECT_TRUE(qv->Text3[24]->isVisibleTo(qv.get()));
  EXPECT_EQ(Text(qv->Text3[24]), "6.000%");
  EXPECT_EQ(Text(qv->Text3[25]), "6.00%");
  // Method 2 leaves the rate boxes as they were.
  eng.page.LType = 2;
  eng.page.Factor2 = 0.001;
  eng.RecalcPage();
  EXPECT_EQ(Text(qv->Label14[3]), "Ford APR:");
  EXPECT_TRUE(qv->Text3[24]->isVisibleTo(qv.get()));
}

TEST_F(ResultsTest, FullMsrpResidualNote) {
  eng.page.UseFullMSRP = -1;
  qv->SelectTab(1);
  EXPECT_EQ(Text(qv->lblResPerc), "53.3%**");
  EXPECT_EQ(Text(qv->lblResNote), "**Residual is 53.3% of Full MSRP: 22500 + 0 Opt Disc = 22500");
}

TEST_F(ResultsTest, PageCounter) {
  eng.CurrentPage = 3;
  eng.PageCount = 7;
  eng.RecalcPage();
  EXPECT_EQ(Text(qv->lblpagenum), "Page 3 of 7");
}

}  // namespace
}  // namespace qv::test
