// Lengths between twips and the inch or centimetre text of the editor's dialogs.
#include <gtest/gtest.h>

#include "editor/richtext/Units.h"

using namespace qv::richtext;

TEST(Units, DialogTextToTwips) {
  struct Case {
    const char* text;
    MeasureUnit unit;
    int32_t twips;
  } cases[] = {
      {"1", MeasureUnit::Inch, 1440},
      {"0.5", MeasureUnit::Inch, 720},
      {"2,54", MeasureUnit::Centimetre, 1440},  // 1440.18, a decimal comma
      {"1.00", MeasureUnit::Centimetre, 567},
      {"21.00", MeasureUnit::Centimetre, 11907},
      {"29.69", MeasureUnit::Centimetre, 16834},
      {" 1 . 5 ", MeasureUnit::Inch, 2160},  // blanks are skipped
      {"1,234,5", MeasureUnit::Inch, 1777},  // only the first comma is a point: 1.234
      {"abc", MeasureUnit::Inch, 0},
      {"", MeasureUnit::Centimetre, 0},
      {"-1", MeasureUnit::Inch, -1440},
      {"3cm", MeasureUnit::Centimetre, 1701},
      {"1E300", MeasureUnit::Inch, 2147483647},  // beyond the 32-bit range: kept within it
      {"-1E300", MeasureUnit::Inch, -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(DlgString2Twips(c.text, c.unit), c.twips) << c.text;
}

TEST(Units, ExactHalvesGoToTheEvenTwip) {
  // 0.003125 inch is 4.5 twips, 0.003819444 is 5.5; with 1/1440 steps build exact halves.
  EXPECT_EQ(DlgString2Twips("0.003125", MeasureUnit::Inch), 4);
  EXPECT_EQ(DlgString2Twips("0.00381944444444444", MeasureUnit::Inch), 5);  // 5.4999...
  EXPECT_EQ(DlgString2Twips("0.0038194444444444446", MeasureUnit::Inch), 6);  // 5.5
}

TEST(Units, TwipsToDialogText) {
  struct Case {
    float twips;
    MeasureUnit unit;
    const char* text;
  } cases[] = {
      {720, MeasureUnit::Inch, "0.50"},     {567, MeasureUnit::Centimetre, "1.00"},
      {0, MeasureUnit::Inch, "0.00"},       {11906, MeasureUnit::Centimetre, "21.00"},
      {16837, MeasureUnit::Centimetre, "29.69"}, {12240, MeasureUnit::Inch, "8.50"},
      {1440000, MeasureUnit::Inch, "1000.00"},  {-720, MeasureUnit::Inch, "-0.50"},
  };
  for (const Case& c : cases) EXPECT_EQ(Twips2DlgString(c.twips, c.unit), c.text) << c.twips;
  EXPECT_EQ(UnitLabel(MeasureUnit::Inch), "inch");
  EXPECT_EQ(UnitLabel(MeasureUnit::Centimetre), "cm");
}
