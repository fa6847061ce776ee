// Number texts and the rate-table text. The bytes are read as a typed amount, a grid-cell
// amount, a leading number, a tax rate and a plain cell number, shown through the program's format
// patterns, and read as the payment-tables text of a page (TabParam). Properties: a plain
// number cell's text reads back as the same double, and the rate-table text packed from
// what was read reads back to the same text.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Engine.h"
#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool installed = (fuzz::SilentPrompt::Install(), true);
  (void)installed;
  const std::string text = fuzz::Bytes(data, size);

  const double values[] = {ParseAmountText(text), ParseMoneyText(text), TextValue(text)};
  (void)ParseAmountText(&text);
  // The strict readers take only what the lenient ones read the same.
  if (double v = 0; ReadAmountText(text, v) && std::isfinite(v) && v != ParseAmountText(text))
    fuzz::FuzzFailure("the strict amount reader reads another number");
  if (double v = 0; ReadMoneyText(text, v) && std::isfinite(v) && v != ParseMoneyText(text))
    fuzz::FuzzFailure("the strict money reader reads another number");
  (void)IsNumberText(text);
  if (double rate = 0; ParseTaxRateText(text, rate) && !(rate >= 0 && rate <= 100))
    fuzz::FuzzFailure("a tax rate outside 0 to 100 was taken");
  for (double v : values)
    for (const char* pattern : {"$#,###.00;; ", "##.00%;; ", "0.000000;; ", "#.###", "##", "####.00", "0.0##;;",
                                "$#,##0.00;($#,##0.00)", "General"})
      (void)Format(v, pattern);

  double plain = 0;
  if (grid::ParsePlainNumber(text, plain)) {
    double again = 0;
    const std::string shown = grid::NumberCellText(plain);
    if (!grid::ParsePlainNumber(shown, again) || std::memcmp(&again, &plain, sizeof plain) != 0) {
      if (!(plain == 0 && again == 0)) fuzz::FuzzFailure("a number cell's text reads back as another number");
    }
  }

  static Engine eng;
  eng.page.TabParam = text;
  eng.UnpackRateTable();
  eng.PackRateTable();
  const std::string packed = eng.page.TabParam;
  eng.UnpackRateTable();
  eng.PackRateTable();
  if (eng.page.TabParam != packed) fuzz::FuzzFailure("the rate-table text does not read back to itself");
  return 0;
}
