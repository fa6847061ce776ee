#pragma once
// The main window on a worksheet of three pages, for the payment tables, the lease
// comparison and the details window:
//   page 1 "Sample Sedan - LX": the sample deal (margin 1000, factor .0025, 36 months,
//     residual 12000; purchase and cap cost 21500, payment 347.64 without tax, 368.50 with);
//   page 2, no description: the same deal with a margin of 500;
//   page 3 "Sample Sedan - LX" again: 48 months at a factor of .0020, residual 10000.
// Page 1 is current and shown; the analysis windows are unloaded after each test.
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QSignalBlocker>

#include <string>

#include "dialogs/Compare.h"
#include "dialogs/Details2.h"
#include "dialogs/Tables.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {

inline const std::string kSampleName = "Sample Sedan - LX";

class AnalysisTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    Load();
    CommonPage();
    eng.page.CarName = kSampleName;
    eng.SavePageFields();

    PageRecord page1 = eng.page;
    PageRecord page2 = page1;
    page2.CarName = "";
    page2.Margin = 500;
    PageRecord page3 = page1;
    page3.Months = 48;
    page3.Factor = 0.0020;
    page3.Residual = 10000;
    const PageRecord pages[3] = {page1, page2, page3};
    for (int n = 2; n <= 3; ++n) {
      eng.CurrentPage = static_cast<int16_t>(n);
      eng.page = pages[n - 1];
      eng.SavePageFields();
      eng.SavePageItems();
    }
    eng.PageCount = 3;
    {
      QSignalBlocker block(qv->Combo2);
      qv->Combo2->clear();
      for (const PageRecord& p : pages) qv->Combo2->addItem(QString::fromStdString(p.CarName));
      qv->Combo2->setCurrentIndex(0);
    }
    eng.CurrentPage = 1;
    eng.LoadPage();
    eng.WorksheetModified = 0;
    prompt.ClearAsked();
  }

  void TearDown() override {
    windows.Unload<Compare>();
    windows.Unload<Tables>();
    windows.Unload<Details2>();
    // Windows that closed themselves are deleted once events run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVTest::TearDown();
  }

  // Makes page n current through the main window's page selector.
  void GoToPage(int n) {
    {
      QSignalBlocker block(qv->Combo2);
      qv->Combo2->setCurrentIndex(n - 1);
    }
    qv->Combo2_Click();
  }

  static void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

}  // namespace qv::test
