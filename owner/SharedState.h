#pragma once
// Window-side state that several windows share. The engine never reads it; the window set
// (owner/WindowSet.h) keeps it beside the windows, and a window reaches it through
// Owner::Shared().
#include <cstdint>
#include <string>

namespace qv {

struct SharedState {
  // The text a box had when it got the focus; its LostFocus acts only when the text differs.
  std::string GotFocusText;
  // True (-1) while the window of that name is loaded; the result display reads the first two.
  int16_t NotesOpen = 0;
  int16_t DetailsOpen = 0;
  int16_t CompareOpen = 0;
  int16_t ForcePmtOpen = 0;
  // True while code fills or positions the page selector, so that its click handler neither
  // stores nor loads a page.
  bool PageListBusy = false;
  // The mileage window's use: 0 pre-paid miles, 1 end-of-lease excess miles.
  int16_t MileageEOLMode = 0;
  // Set when a save was abandoned in its file dialog.
  int16_t SaveAbandoned = 0;
  // The model year of the residual files ("1997" to "2000"), set by the residual menu item
  // before it shows the residual lookup.
  std::string ModelYear;
  // The template chosen from the custom-report menu (not saved).
  std::string CustomTemplatePath;
};

}  // namespace qv
