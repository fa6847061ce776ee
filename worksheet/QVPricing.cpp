// The main window's doors to the guides: the Car and Truck buttons open the price guide,
// the Options buttons the option window, the residual menu items the residual lookup.
#include <QAction>
#include <QPushButton>

#include "owner/SharedState.h"
#include "platform/ui/Window.h"
#include "pricing/ALGRes.h"
#include "pricing/OptLookUp.h"
#include "pricing/Prices.h"
#include "worksheet/QV.h"

namespace qv {

void QV::ConnectPricing() {
  // The price guide keeps its state between showings: it is hidden, not unloaded.
  ShowPrices = [this](const std::string& classLetter) { windows_.Get<Prices>().ShowModalFor(classLetter); };
  ShowOptLookUp = [this] { windows_.ShowModalAndUnload<OptLookUp>(); };
  for (int i : {0, 1, 2, 5, 6, 7, 9, 10, 11}) MarkReady(cmdbut2[i]);
  for (int i = 0; i < static_cast<int>(mnuResidual.size()); ++i) {
    connect(mnuResidual[i], &QAction::triggered, this, [this, i] { mnuResidual_Click(i); });
    MarkReady(mnuResidual[i]);
  }
}

void QV::mnuResidual_Click(int Index) {
  static const char* const kYears[4] = {"1997", "1998", "1999", "2000"};
  if (Index < 0 || Index > 3) return;
  CommitFieldEdit();
  Shared().ModelYear = kYears[Index];
  windows_.ShowModalAndUnload<ALGRes>();
}

}  // namespace qv
