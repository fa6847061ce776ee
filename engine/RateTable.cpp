// The payment-tables column sets packed into the page text TabParam, and the choice of the
// residual basis (full or discounted MSRP).
#include "engine/Engine.h"
#include "engine/Runtime.h"

namespace qv {

namespace {

constexpr size_t kFieldWidth = 9;
constexpr size_t kSetWidth = 3 * kFieldWidth;

// A formatted value left-aligned in a field of 9 characters; a longer text is cut.
std::string Field(const std::string& s) {
  if (s.size() >= kFieldWidth) return s.substr(0, kFieldWidth);
  return s + std::string(kFieldWidth - s.size(), ' ');
}

// The value of the 9 characters at `offset`; characters past the end count as empty.
double FieldValue(const std::string& text, size_t offset) {
  if (offset >= text.size()) return 0;
  return TextValue(std::string_view(text).substr(offset, kFieldWidth));
}

}  // namespace

void Engine::PackRateTable() {
  std::string t;
  t.reserve(4 * kSetWidth);
  for (int i = 1; i <= 4; ++i) {
    t += Field(Format(TableMonths[i], "##"));
    t += Field(Format(TableFactors[i], "0.000000"));
    t += Field(Format(TableResiduals[i], "####.00"));
  }
  page.TabParam = std::move(t);
}

void Engine::UnpackRateTable() {
  if (page.TabParam.empty()) page.TabParam = std::string(81, ' ');
  const std::string& t = page.TabParam;
  for (int i = 1; i <= 4; ++i) {
    const size_t set = kSetWidth * static_cast<size_t>(i - 1);
    TableMonths[i] = FieldValue(t, set);
    TableFactors[i] = FieldValue(t, set + kFieldWidth);
    TableResiduals[i] = FieldValue(t, set + 2 * kFieldWidth);
  }
}

double Engine::GetResidualBase(double amount) {
  if (amount == 0) return res.MSRP;

  // The window is shown modally: when the call returns it has closed, and the flag it sets
  // on closing is only cleared here (no event loop waits for it). UseFullMSRP holds the
  // choice, or the page's own value when the window was closed without one.
  if (host) host->ShowResBase();
  DialogDone = 0;

  return page.UseFullMSRP != 0 ? res.MSRP + amount : res.MSRP;
}

}  // namespace qv
