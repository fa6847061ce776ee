#pragma once
// The one refusal path of the deal entries: an entry whose text is not a number, whose
// value no deal can have (not finite, $100,000,000 or more in size, a negative term), or
// whose page result would not be a finite number is refused with a message and changes
// nothing.
//
// A box reads what was typed with ReadEntryAmount (or ReadEntryMoney for the grids that
// read plain money): text that is not a number as a whole is refused there, with a message
// that names it.
//
// A box's commit makes a FiniteEntry before it touches the page, applies the entry to the
// engine's page as it always has (questions included), and asks Accept before it stores
// anything else or recalculates. On refusal the page, its results, the settled state and
// the modified mark are as they were before the entry, the page is shown again, and the
// caller puts its box's text back.
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"

namespace qv {

inline constexpr const char* kEntryTooLargeMessage = "That value is too large for this deal.";
inline constexpr const char* kNegativeTermMessage = "A number of months cannot be negative.";

// The message for a typed text that is not a number: "\"abc\" is not a number.". A long
// text is cut short.
inline std::string NotANumberMessage(std::string_view typed) {
  std::string t = Trim(typed);
  if (t.size() > 40) {
    size_t n = 37;
    while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;  // not inside a character
    t = t.substr(0, n) + "...";
  }
  return "\"" + t + "\" is not a number.";
}

// Reads a typed deal entry by the rule of typed amounts (ReadAmountText). A text that is
// not a number is refused with a message naming it: false, `v` unchanged.
inline bool ReadEntryAmount(std::string_view text, double& v) {
  if (ReadAmountText(text, v)) return true;
  ui::GetPrompt().MsgBox(NotANumberMessage(text), ui::Buttons::OK, ui::Icon::Exclamation);
  return false;
}

// The same for the grids that read plain money (ReadMoneyText).
inline bool ReadEntryMoney(std::string_view text, double& v) {
  if (ReadMoneyText(text, v)) return true;
  ui::GetPrompt().MsgBox(NotANumberMessage(text), ui::Buttons::OK, ui::Icon::Exclamation);
  return false;
}

// True when the values typed are ones a deal can hold and `candidate`, as the page's inputs,
// is a deal (Engine::CheckDealInputs) that gives finite results; otherwise the message says
// why. The engine is left as it was.
inline bool AcceptCandidate(Engine& e, const PageInputs& candidate, std::initializer_list<double> typed = {}) {
  bool fits = true;
  for (double v : typed) fits = fits && IsDealValue(v);
  const Engine::InputFault fault = fits ? Engine::CheckDealInputs(candidate) : Engine::InputFault::TooLarge;
  if (fault == Engine::InputFault::None && e.GivesFiniteResults(candidate)) return true;
  ui::GetPrompt().MsgBox(fault == Engine::InputFault::NegativeTerm ? kNegativeTermMessage : kEntryTooLargeMessage,
                         ui::Buttons::OK, ui::Icon::Exclamation);
  return false;
}

class FiniteEntry {
 public:
  explicit FiniteEntry(Engine& e)
      : eng_(e), inputs_(e.SnapshotInputs()), results_(e.res), cycle_(e.settledCycle), modified_(e.WorksheetModified) {}
  FiniteEntry(const FiniteEntry&) = delete;
  FiniteEntry& operator=(const FiniteEntry&) = delete;

  // True when the values typed and the engine's page as it now stands (the entry applied)
  // give finite inputs and finite results. Otherwise everything is put back, the message is
  // shown and the result is false.
  bool Accept(std::initializer_list<double> typed = {}) {
    const PageInputs candidate = eng_.SnapshotInputs();
    const PageResults results = eng_.res;
    const Engine::SettledCycle cycle = eng_.settledCycle;
    // The check starts from the page as it was: what the entry calculated on the way (a
    // residual question, a rent search) does not count.
    Restore();
    if (AcceptCandidate(eng_, candidate, typed)) {
      // Taken: the engine is as the entry left it.
      eng_.RestoreInputs(candidate);
      eng_.res = results;
      eng_.settledCycle = cycle;
      return true;
    }
    // The page is shown again as it was.
    eng_.WorksheetModified = modified_;
    const int16_t reload = eng_.SkipItemReload;
    eng_.SkipItemReload = -1;
    eng_.RecalcPage();
    eng_.SkipItemReload = reload;
    Restore();
    return false;
  }

 private:
  void Restore() {
    eng_.RestoreInputs(inputs_);
    eng_.res = results_;
    eng_.settledCycle = cycle_;
  }

  Engine& eng_;
  const PageInputs inputs_;
  const PageResults results_;
  const Engine::SettledCycle cycle_;
  const int16_t modified_;
};

}  // namespace qv
