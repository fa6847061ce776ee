// The Alt letters of the guides' windows: no two visible controls or menu titles of a window
// share one, in every view and button state a window has (Qt otherwise only moves the focus
// between them, and a menu title's letter no longer opens its menu at the first press).
#include <QApplication>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <string>

#include "GuideWindowFixture.h"
#include "pricing/ALGRes.h"
#include "pricing/OptLookUp.h"
#include "pricing/Prices.h"
#include "pricing/StdEquip.h"
#include "tests/dialogs/AltLetters.h"

namespace qv::test {
namespace {

class GuideAltKeysTest : public GuideWindowTest<Prices, OptLookUp, StdEquip, ALGRes> {
 protected:
  void SetUp() override {
    GuideWindowTest::SetUp();
    PutGuideVehicle();
  }

  // The price guide in the view that `into` leads to from the list view.
  std::string PricesIn(std::function<void(Prices&)> into) {
    std::string clashes;
    prompt.Modal([&](ui::ModalWindow& mw) {
      auto& p = dynamic_cast<Prices&>(mw);
      into(p);
      clashes = ClashReport(&p);
      if (p.CurrentView() == Prices::View::StandardEquipment) p.Command1_Click(5);
      p.Command1_Click(1);
      return 0;
    });
    qv->cmdbut2_click(0);
    return clashes;
  }

  // The residual window of the 2000 models once `into` has chosen a line.
  std::string ResidualsWith(std::function<void(ALGRes&)> into) {
    std::string clashes;
    prompt.Modal([&](ui::ModalWindow& mw) {
      auto& w = dynamic_cast<ALGRes&>(mw);
      into(w);
      clashes = ClashReport(&w);
      w.cmdbutUse_Click(1);
      return 0;
    });
    qv->mnuResidual_Click(3);
    return clashes;
  }
  // Chooses the first manufacturer's first line that holds `text` (that starts with it when
  // it starts with a blank, as an add line does).
  static void Choose(ALGRes& w, const std::string& text) {
    w.lstMfg->setCurrentRow(0);
    const QString t = QString::fromStdString(text);
    for (int i = 0; i < w.lstModel->count(); ++i)
      if (t.startsWith(' ') ? w.lstModel->item(i)->text().startsWith(t) : w.lstModel->item(i)->text().contains(t)) {
        w.lstModel->setCurrentRow(i);
        return;
      }
    ADD_FAILURE() << "no line " << text;
  }
};

TEST_F(GuideAltKeysTest, NoTwoCaptionsOfAGuideWindowShareAnAltLetterInAnyView) {
  const std::pair<const char*, std::function<std::string()>> windowsToWalk[] = {
      {"Prices, list view", [this] { return PricesIn([](Prices&) {}); }},
      {"Prices, model view",
       [this] {
         return PricesIn([](Prices& p) {
           p.SelectVehicle(0);
           p.Command1_Click(0);
           EXPECT_EQ(p.CurrentView(), Prices::View::Model);
         });
       }},
      {"Prices, standard-equipment view",
       [this] {
         return PricesIn([](Prices& p) {
           p.SelectVehicle(0);
           p.Command1_Click(2);
           EXPECT_EQ(p.CurrentView(), Prices::View::StandardEquipment);
           EXPECT_TRUE(p.menuBar->isVisibleTo(&p));
         });
       }},
      {"OptLookUp",
       [this] {
         OptLookUp& w = windows.Get<OptLookUp>();
         w.show();
         EXPECT_TRUE(w.Command1[3]->isEnabled());
         std::string clashes = ClashReport(&w);
         windows.Unload<OptLookUp>();
         return clashes;
       }},
      {"StdEquip",
       [this] {
         std::string clashes;
         prompt.Modal([&](ui::ModalWindow& mw) {
           auto& s = dynamic_cast<StdEquip&>(mw);
           clashes = ClashReport(&s);
           s.Command1_Click(1);
           return 0;
         });
         windows.Get<OptLookUp>().Command1_Click(3);
         windows.Unload<OptLookUp>();
         return clashes;
       }},
      {"ALGRes", [this] { return ResidualsWith([](ALGRes&) {}); }},
      {"ALGRes, an add line",
       [this] {
         return ResidualsWith([](ALGRes& w) {
           Choose(w, std::string(10, ' ') + "POWER MOONROOF");
           EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "&Add");
         });
       }},
      {"ALGRes, a deduct line",
       [this] {
         return ResidualsWith([](ALGRes& w) {
           Choose(w, "w/o AIR CONDITIONING Deduct");
           EXPECT_TRUE(w.cmdbutUse[2]->isVisibleTo(&w));
         });
       }},
      {"ALGRes, a locked line",
       [this] {
         return ResidualsWith([](ALGRes& w) {
           Choose(w, std::string(10, ' ') + "POWER MOONROOF");
           w.cmdbutUse_Click(2);
           EXPECT_TRUE(w.Lookup().HasLocks());
           EXPECT_TRUE(w.cmdbutUse[2]->isVisibleTo(&w));
         });
       }},
  };
  for (const auto& [name, clashes] : windowsToWalk) {
    SCOPED_TRACE(name);
    EXPECT_EQ(clashes(), "");
  }
}

}  // namespace
}  // namespace qv::test
