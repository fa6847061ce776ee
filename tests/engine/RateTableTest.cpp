// The rate-table text TabParam and the choice of the residual basis.
#include <gtest/gtest.h>

#include "PageModelSupport.h"
#include "engine/Engine.h"

namespace qv {
namespace {

using testing_support::RecordingHost;
using testing_support::StrictPrompt;

void SetColumn(Engine& e, int i, double months, double factor, double residual) {
  e.TableMonths[i] = months;
  e.TableFactors[i] = factor;
  e.TableResiduals[i] = residual;
}

void ExpectColumn(const Engine& e, int i, double months, double factor, double residual) {
  SCOPED_TRACE("column " + std::to_string(i));
  EXPECT_FALSE(e.TableMonths[i].IsEmpty());
  EXPECT_DOUBLE_EQ(e.TableMonths[i], months);
  EXPECT_DOUBLE_EQ(e.TableFactors[i], factor);
  EXPECT_DOUBLE_EQ(e.TableResiduals[i], residual);
}

TEST(RateTable, ZerosPackToBlankMonthsAndPointZeroZero) {
  Engine e;
  for (int i = 1; i <= 4; ++i) SetColumn(e, i, 0, 0, 0);
  e.PackRateTable();
  const std::string set = std::string(9, ' ') + "0.000000 " + ".00      ";
  EXPECT_EQ(e.page.TabParam, set + set + set + set);

  for (int i = 1; i <= 4; ++i) SetColumn(e, i, 9, 9, 9);
  e.UnpackRateTable();
  for (int i = 1; i <= 4; ++i) ExpectColumn(e, i, 0, 0, 0);
}

TEST(RateTable, WideValuesFitOrAreCut) {
  Engine e;
  SetColumn(e, 1, 120, 12.5, 1234567.891);  // a million or more is cut to 9 characters
  SetColumn(e, 2, 35.6, 0.00250049, 12000);
  SetColumn(e, 3, 0, 0.0031, 0.5);
  SetColumn(e, 4, 48, 0.001, -250);
  e.PackRateTable();
  EXPECT_EQ(e.page.TabParam,
            "120      12.5000001234567.8"
            "36       0.002500 12000.00 "
            "         0.003100 .50      "
            "48       0.001000 -250.00  ");
  ASSERT_EQ(e.page.TabParam.size(), 108u);

  e.UnpackRateTable();
  ExpectColumn(e, 1, 120, 12.5, 1234567.8);
  ExpectColumn(e, 2, 36, 0.0025, 12000);
  ExpectColumn(e, 3, 0, 0.0031, 0.5);
  ExpectColumn(e, 4, 48, 0.001, -250);
}

TEST(RateTable, ShortTextsUnpackWithZerosForWhatIsMissing) {
  Engine e;
  // Three sets of 27 characters: column 4 reads as zeros.
  for (int i = 1; i <= 4; ++i) SetColumn(e, i, 9, 9, 9);
  e.page.TabParam =
      "24       0.003000 15000.00 "
      "36       0.002800 13000.00 "
      "48       0.002600 11000.00 ";
  e.UnpackRateTable();
  ExpectColumn(e, 1, 24, 0.003, 15000);
  ExpectColumn(e, 3, 48, 0.0026, 11000);
  ExpectColumn(e, 4, 0, 0, 0);

  // A text that ends inside a set.
  e.page.TabParam = "24       0.0031";
  e.UnpackRateTable();
  ExpectColumn(e, 1, 24, 0.0031, 0);
  ExpectColumn(e, 2, 0, 0, 0);
}

TEST(RateTable, EmptyTextBecomes81BlanksUntilTheNextPack) {
  Engine e;
  for (int i = 1; i <= 4; ++i) SetColumn(e, i, 9, 9, 9);
  e.page.TabParam.clear();
  e.UnpackRateTable();
  EXPECT_EQ(e.page.TabParam, std::string(81, ' '));
  for (int i = 1; i <= 4; ++i) ExpectColumn(e, i, 0, 0, 0);
  e.PackRateTable();
  EXPECT_EQ(e.page.TabParam.size(), 108u);
}

// ---- residual basis ----------------------------------------------------------------------

struct ResBaseFixture : ::testing::Test {
  StrictPrompt sp;
  RecordingHost host;
  Engine e;
  void SetUp() override {
    e.host = &host;
    e.res.MSRP = 30000;
  }
};

TEST_F(ResBaseFixture, ZeroAmountNeverShowsTheWindow) {
  for (int16_t full : {int16_t{0}, int16_t{-1}}) {
    e.page.UseFullMSRP = full;
    EXPECT_EQ(e.GetResidualBase(0), 30000);
  }
  EXPECT_EQ(host.resBaseShown, 0);
  EXPECT_EQ(sp.prompt.DoEventsCount(), 0);
}

TEST_F(ResBaseFixture, TheChoiceGivesTheBasis) {
  struct Case {
    int16_t before;
    std::optional<int16_t> chosen;  // nullopt: closed without a choice
    double base;
  } cases[] = {
      {0, int16_t{-1}, 31000},
      {-1, int16_t{0}, 30000},
      {-1, std::nullopt, 31000},
      {0, std::nullopt, 30000},
  };
  for (const Case& c : cases) {
    e.page.UseFullMSRP = c.before;
    host.onResBase = [&] {
      if (c.chosen) e.page.UseFullMSRP = *c.chosen;
      e.DialogDone = -1;
    };
    EXPECT_EQ(e.GetResidualBase(1000), c.base);
    EXPECT_EQ(e.DialogDone, 0);
  }
  EXPECT_EQ(host.resBaseShown, 4);
  EXPECT_EQ(sp.prompt.DoEventsCount(), 0);  // the flag was set when the window closed
}

// The window is modal: whatever flag it left, the choice stands once it has closed, and no
// event loop runs for it.
TEST_F(ResBaseFixture, NoWaitAfterTheWindowHasClosed) {
  for (int16_t flag : {int16_t{1}, int16_t{0}}) {
    host.onResBase = [&] {
      e.page.UseFullMSRP = -1;
      e.DialogDone = flag;
    };
    e.page.UseFullMSRP = 0;
    EXPECT_EQ(e.GetResidualBase(1000), 31000) << flag;
    EXPECT_EQ(e.DialogDone, 0);
  }
  EXPECT_EQ(host.resBaseShown, 2);
  EXPECT_EQ(sp.prompt.DoEventsCount(), 0);

  // Without a window side the page's own choice gives the basis.
  e.host = nullptr;
  e.page.UseFullMSRP = 0;
  EXPECT_EQ(e.GetResidualBase(500), 30000);
  e.page.UseFullMSRP = -1;
  EXPECT_EQ(e.GetResidualBase(500), 30500);
}

}  // namespace
}  // namespace qv
