#pragma once
// The main window on the common test page, for the tests of the deal input windows: the
// program folder of QVTest (copies of the shipped settings and tax-settings files), start-up
// run, then the common page of the engine tests stored as page 1 and recalculated.
//
// Worked by hand for the common page (see sample/SampleDeal.h): CapCost 21500,
// PaymentWT 368.497222 (first payment 368.50 in cash), security deposit 375 in cash, cash
// required 743.50, LeaseFC 13265.902778.
#include <cmath>
#include <string>

#include "platform/grid/GridWidget.h"
#include "tests/engine/CommonPage.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {

// The payment with the 6 % tax of the "Home" setting, constant yield, no cap reduction.
inline double HomePaymentWT(double cap, double residual = 12000, double factor = 0.0025, double months = 36) {
  return ((cap + residual) * factor + (cap - residual) / months) * 1.06;
}

// The security deposit the page takes for a payment: the next multiple of 25.
inline double DepositFor(double payment) { return std::ceil(payment / 25) * 25; }

inline double Cents(double v) { return std::floor(v * 100 + 0.5) / 100; }

class DealInputsTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    Load();
    SetUpCommonPage(eng);
    eng.SavePageFields();
    eng.SavePageItems();
    eng.RecalcPage();
    eng.WorksheetModified = 0;
  }

  // Ends a cell edit in a grid as the user does (the grid's endEdit, then its store).
  static bool TypeInCell(grid::GridWidget* grid, int row, int col, const std::string& text) {
    grid->refresh();
    return grid->commitEdit(row, col, QString::fromStdString(text));
  }

  std::string TaxSetFile() const { return ReadFile(folder + "Taxset.txt"); }
};

}  // namespace qv::test
