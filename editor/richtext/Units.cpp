#include "editor/richtext/Units.h"

#include "engine/Runtime.h"

namespace qv::richtext {

namespace {
double TwipsPerUnit(MeasureUnit unit) {
  return unit == MeasureUnit::Centimetre ? kTwipsPerCentimetre : kTwipsPerInch;
}
}  // namespace

double ParseDialogNumber(std::string_view text) {
  std::string s(text);
  size_t comma = s.find(',');
  if (comma != std::string::npos) s[comma] = '.';
  return qv::TextValue(s);
}

int32_t DlgString2Twips(std::string_view text, MeasureUnit unit) {
  return qv::ToInt32(ParseDialogNumber(text) * TwipsPerUnit(unit));
}

std::string Twips2DlgString(float twips, MeasureUnit unit) {
  double t = double(twips) + 0.0005;
  return qv::Format(t / TwipsPerUnit(unit), "###0.00");
}

std::string UnitLabel(MeasureUnit unit) { return unit == MeasureUnit::Centimetre ? "cm" : "inch"; }

}  // namespace qv::richtext
