// Fuzzes the three price-guide line parsers, tag stripping, the amount codes and the
// standard-equipment layout with arbitrary lines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pricing/GuideLines.h"
#include "pricing/PriceGuide.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  std::string a, b, c;
  double x, y, z, w, v;

  std::string line = in;
  qv::pricing::ParseManuf(line, a, b, c, x, y);
  line = in;
  qv::pricing::ParseModel(line, a, x, y);
  line = in;
  qv::pricing::ParseType(line, a, x, y, z, w);
  (void)qv::pricing::AmountText(x);
  (void)qv::pricing::AmountText(y);
  std::string t = a;
  if (qv::pricing::HasTag(t)) qv::pricing::StripTags(t);
  v = qv::pricing::GuideNumber(in);
  (void)v;
  (void)qv::pricing::YearFilter{true, true, true}.Passes(in);
  (void)qv::pricing::LayoutStandardEquipment(in);
  (void)qv::pricing::StdEquipText(in);
  return 0;
}
