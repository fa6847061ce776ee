// The Alt letters of every window: a menu title's letter opens its menu at the first press,
// so no two visible controls or menu titles of a window may share one (Qt then only moves
// the focus between them at each press).
#include <QApplication>
#include <QFrame>
#include <QMenuBar>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/AdjRes.h"
#include "dialogs/Adjust.h"
#include "dialogs/Compare.h"
#include "dialogs/Details2.h"
#include "dialogs/EOLFee.h"
#include "dialogs/ForceCap.h"
#include "dialogs/ForceLoan.h"
#include "dialogs/ForcePmt.h"
#include "dialogs/Margin2.h"
#include "dialogs/Milage.h"
#include "dialogs/Notes.h"
#include "dialogs/ResBase.h"
#include "dialogs/StartUps2.h"
#include "dialogs/Tables.h"
#include "dialogs/TaxFee.h"
#include "dialogs/TaxSet.h"
#include "dialogs/Totals.h"
#include "dialogs/Trade.h"
#include "tests/dialogs/AltLetters.h"
#include "tests/dialogs/AnalysisFixture.h"

namespace qv::test {
namespace {

class AltKeysTest : public AnalysisTest {
 protected:
  void TearDown() override {
    windows.Unload<AdjRes>();
    windows.Unload<Adjust>();
    windows.Unload<Compare>();
    windows.Unload<Details2>();
    windows.Unload<EOLFee>();
    windows.Unload<ForceCap>();
    windows.Unload<ForceLoan>();
    windows.Unload<ForcePmt>();
    windows.Unload<Margin2>();
    windows.Unload<Milage>();
    windows.Unload<Notes>();
    windows.Unload<ResBase>();
    windows.Unload<StartUps2>();
    windows.Unload<Tables>();
    windows.Unload<TaxFee>();
    windows.Unload<TaxSet>();
    windows.Unload<Totals>();
    windows.Unload<Trade>();
    AnalysisTest::TearDown();
  }
  // Shows a deal window of the set and returns its clashes.
  template <class W>
  std::string Of() {
    W& w = windows.Get<W>();
    w.show();
    std::string clashes = ClashReport(&w);
    w.hide();
    return clashes;
  }
};

TEST_F(AltKeysTest, NoTwoCaptionsOfTheMainWindowShareAnAltLetterOnAnyView) {
  qv->show();
  for (int view = 1; view <= 4; ++view) {
    SCOPED_TRACE(view);
    qv->SelectTab(view);
    QApplication::processEvents();
    EXPECT_EQ(Clashes(qv.get()), "") << All(qv.get());
  }
  // The lease view with either slide-out panel out.
  qv->SelectTab(1);
  for (int panel = 0; panel < 2; ++panel) {
    SCOPED_TRACE(panel == 0 ? "payment panel" : "cash panel");
    qv->Command5_Click(panel);
    QApplication::processEvents();
    QFrame* shown = panel == 0 ? qv->Picture3 : qv->Picture5;
    ASSERT_TRUE(shown->isVisibleTo(qv.get()));
    EXPECT_EQ(Clashes(qv.get()), "") << All(qv.get());
    shown->hide();
  }
}

// A caption a window sets later (a toggle, a panel that slides out) keeps the window's
// letters free: each window is checked after every press of its buttons that change
// captions.
TEST_F(AltKeysTest, CaptionsSetByButtonsKeepTheLettersFree) {
  struct Presses {
    const char* name;
    std::function<QWidget*()> window;
    std::vector<std::pair<const char*, std::function<void()>>> presses;
  };
  auto startUps = [this] { return &windows.Get<StartUps2>(); };
  auto taxes = [this] { windows.Get<StartUps2>().Command1_Click(3); };
  auto mainWindow = [this] {
    qv->SelectTab(1);
    return static_cast<QWidget*>(qv.get());
  };
  auto panel = [this](int i) { return [this, i] { qv->Command5_Click(i); }; };
  const Presses cases[] = {
      {"StartUps2", startUps, {{"Taxes out", taxes}, {"Taxes in", taxes}, {"Taxes out again", taxes}}},
      {"QV",
       mainWindow,
       {{"Payment", panel(0)}, {"Cash Req'd over Payment", panel(1)}, {"Payment over Cash Req'd", panel(0)},
        {"Payment back", panel(0)}}},
  };
  for (const Presses& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* w = c.window();
    w->show();
    for (const auto& [what, press] : c.presses) {
      SCOPED_TRACE(what);
      press();
      EXPECT_EQ(ClashReport(w), "");
    }
    w->hide();
  }
}

TEST_F(AltKeysTest, AMenuTitlesLetterOpensItsMenuAtTheFirstPress) {
  ASSERT_TRUE(ShowActive());
  qv->SelectTab(1);
  QApplication::processEvents();
  QTest::keyClick(qv.get(), Qt::Key_F, Qt::AltModifier);
  QApplication::processEvents();
  EXPECT_TRUE(qv->mnuFile->isVisible());
  qv->mnuFile->close();
  QApplication::processEvents();
}

TEST_F(AltKeysTest, NoTwoCaptionsOfADealWindowShareAnAltLetter) {
  const std::pair<const char*, std::function<std::string()>> windowsToWalk[] = {
      {"AdjRes", [this] { return Of<AdjRes>(); }},       {"Adjust", [this] { return Of<Adjust>(); }},
      {"Compare", [this] { return Of<Compare>(); }},     {"Details2", [this] { return Of<Details2>(); }},
      {"EOLFee", [this] { return Of<EOLFee>(); }},       {"ForceCap", [this] { return Of<ForceCap>(); }},
      {"ForceLoan", [this] { return Of<ForceLoan>(); }}, {"ForcePmt", [this] { return Of<ForcePmt>(); }},
      {"Margin2", [this] { return Of<Margin2>(); }},     {"Milage", [this] { return Of<Milage>(); }},
      {"Notes", [this] { return Of<Notes>(); }},         {"ResBase", [this] { return Of<ResBase>(); }},
      {"StartUps2", [this] { return Of<StartUps2>(); }}, {"Tables", [this] { return Of<Tables>(); }},
      {"TaxFee", [this] { return Of<TaxFee>(); }},       {"TaxSet", [this] { return Of<TaxSet>(); }},
      {"Totals", [this] { return Of<Totals>(); }},       {"Trade", [this] { return Of<Trade>(); }},
  };
  for (const auto& [name, clashes] : windowsToWalk) {
    SCOPED_TRACE(name);
    EXPECT_EQ(clashes(), "");
  }
}

}  // namespace
}  // namespace qv::test
