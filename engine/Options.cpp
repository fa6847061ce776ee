// The current page's option grid and stepping through the pages with Page Up / Page Down.
#include "engine/Engine.h"
#include "engine/PageStore.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"

namespace qv {

namespace {
constexpr int kOptionsSheet = 2;
constexpr int kPageUpKey = 33;
constexpr int kPageDownKey = 34;
}  // namespace

void Engine::ShowPageOptions() {
  OptionList.ClearAll();

  WKS.SetSheet(kOptionsSheet);
  const int rows = WKS.MaxRow();
  int n = 0;
  for (int r = 1; r <= rows; ++r) {
    if (WKS.NumberRC(r, 1) != CurrentPage) continue;
    ++n;
    // A name from a file gets the rule of a typed one: a TAB becomes a blank.
    OptionList.SetTextRC(n, 1, TabFreeText(WKS.TextRC(r, 2)));
    OptionList.SetNumberRC(n, 2, WKS.NumberRC(r, 3));
    OptionList.SetNumberRC(n, 3, WKS.NumberRC(r, 4));
    // The link back to the option's row in sheet "Options".
    OptionList.SetNumberRC(n, 5, r);
  }
  // A page without options shows one empty row.
  OptionList.SetMaxRow(n == 0 ? 1 : n);
  OptionList.SetActiveCell(1, 1);
  OptionList.SetSelection(1, 1, 1, 1);

  // The grid repaints and pending events run once; a handler running here sees the new
  // page's fields and items, not yet recalculated.
  if (host) host->OptionListShown();
  ui::GetPrompt().DoEvents();

  if (page.CustomerID != 0) {
    Label25Caption = page.CustomerName;
    lblCustIDCaption = StrNum(page.CustomerID);
  } else {
    Label25Caption.clear();
    lblCustIDCaption.clear();
  }
  // The customer labels changed as well.
  if (host) host->OptionListShown();
  // Sheet "Options" stays active.
}

void Engine::PageUpDown(int keyCode) {
  if (keyCode == kPageUpKey) {
    if (CurrentPage >= PageCount) return;
    StorePage();
    ++CurrentPage;
  } else if (keyCode == kPageDownKey) {
    if (CurrentPage < 2) return;
    StorePage();
    --CurrentPage;
  } else {
    return;
  }
  LoadPage();
  if (host) host->SetPageSelectorText(page.CarName);
}

}  // namespace qv
