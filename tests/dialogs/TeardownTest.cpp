// Every deal window destroyed as it stands, with the focus in one of its boxes or a cell of
// one of its grids being edited: the focus leaves the box while the window is destroyed, and
// none of the window's handlers may run on the half-destroyed window then (the sanitizer
// build checks that), nor may the dying window change the deal.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>

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
#include "tests/dialogs/DealInputsFixture.h"

namespace qv::test {
namespace {

// The places of a window the focus can be in when it is destroyed: its enabled, visible
// entry boxes, and the grids (whose cell editor then holds the focus).
std::vector<QWidget*> FocusTargets(QWidget& w) {
  std::vector<QWidget*> out;
  for (QWidget* c : w.findChildren<QWidget*>()) {
    if (!c->isVisible() || !c->isEnabled()) continue;
    if (qobject_cast<grid::GridWidget*>(c)) {
      out.push_back(c);
      continue;
    }
    if (c->parentWidget() && qobject_cast<QComboBox*>(c->parentWidget())) continue;  // a combo box's own line
    if (c->window() != &w) continue;
    bool inGrid = false;
    for (QWidget* p = c->parentWidget(); p && p != &w; p = p->parentWidget()) inGrid |= qobject_cast<grid::GridWidget*>(p) != nullptr;
    if (inGrid) continue;
    if (qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) || qobject_cast<QPlainTextEdit*>(c))
      out.push_back(c);
  }
  return out;
}

// Opens the editor of the grid's first editable cell and types into it, as a user who has
// not left the cell yet. False when the grid has no editable cell.
bool EditACell(grid::GridWidget& g) {
  g.refresh();
  QApplication::processEvents();
  for (int r = 1; r <= 12; ++r)
    for (int c = 1; c <= 6; ++c)
      if (g.editCell(r, c)) {
        QWidget* editor = QApplication::focusWidget();
        if (auto* e = qobject_cast<QLineEdit*>(editor)) e->setText("7");
        return true;
      }
  return false;
}

class TeardownTest : public DealInputsTest {
 protected:
  // Destroys window W once for each of its focus targets, with the focus there.
  template <class W>
  void Sweep(const char* name) {
    SCOPED_TRACE(name);
    // What the window's own unload duties leave (some write their figures back): the deal
    // as one unload of the window with the focus nowhere in it leaves it.
    windows.Get<W>().show();
    QApplication::processEvents();
    windows.Unload<W>();
    const PageInputs before = eng.SnapshotInputs();
    int targets = 0;
    for (int k = 0;; ++k) {
      W& w = windows.Get<W>();
      w.show();
      w.activateWindow();
      QApplication::setActiveWindow(&w);
      QApplication::processEvents();
      std::vector<QWidget*> places = FocusTargets(w);
      if (k >= static_cast<int>(places.size())) {
        windows.Unload<W>();
        break;
      }
      SCOPED_TRACE(places[k]->metaObject()->className() + std::string(" ") + places[k]->objectName().toStdString());
      if (auto* g = qobject_cast<grid::GridWidget*>(places[k])) {
        if (!EditACell(*g)) {
          windows.Unload<W>();
          continue;
        }
      } else {
        places[k]->setFocus(Qt::TabFocusReason);
      }
      QApplication::processEvents();
      ++targets;
      windows.Unload<W>();  // no close first: the window goes as it stands
      QApplication::processEvents();
      EXPECT_EQ(windows.IfLoaded<W>(), nullptr);
      EXPECT_TRUE(eng.SnapshotInputs() == before);
    }
    EXPECT_GT(targets, 0);
  }
};

TEST_F(TeardownTest, AWindowDestroyedWithTheFocusInABoxRunsNoHandlerOfItsOwn) {
  Sweep<AdjRes>("AdjRes");
  Sweep<Adjust>("Adjust");
  Sweep<EOLFee>("EOLFee");
  Sweep<ForceCap>("ForceCap");
  Sweep<ForceLoan>("ForceLoan");
  Sweep<ForcePmt>("ForcePmt");
  Sweep<Margin2>("Margin2");
  Sweep<Milage>("Milage");
  Sweep<Notes>("Notes");
  Sweep<StartUps2>("StartUps2");
  Sweep<Tables>("Tables");
  Sweep<TaxFee>("TaxFee");
  Sweep<TaxSet>("TaxSet");
  Sweep<Trade>("Trade");
}

}  // namespace
}  // namespace qv::test
