#pragma once
// Lengths in the editor are twips (1440 to the inch, 567 to the centimetre); its dialogs
// show and take them as decimal text in inches or centimetres.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::richtext {

// The unit of every length the editor's dialogs show. The values are the editor's
// MeasureUnit codes. Being an enumeration, no other unit can reach the conversions (the
// old conversions ended the program on an unknown unit code).
enum class MeasureUnit { Inch = 1, Centimetre = 2 };

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerCentimetre = 567;

// The number in a dialog entry: the first comma counts as the decimal point, then the
// leading number is read ("2,5" is 2.5, "1,234,5" is 1.234, "abc" is 0).
double ParseDialogNumber(std::string_view text);

// Twips for a dialog entry in the unit, rounded to the nearest whole twip (halves to the
// even neighbour) and kept within the 32-bit range: "1" inch is 1440, "2,54" cm is 1440.
int32_t DlgString2Twips(std::string_view text, MeasureUnit unit);

// Dialog text for a length: the value in the unit with two decimals ("0.50", "21.00").
std::string Twips2DlgString(float twips, MeasureUnit unit);

// The unit's label beside a length box: "inch" or "cm".
std::string UnitLabel(MeasureUnit unit);

}  // namespace qv::richtext
