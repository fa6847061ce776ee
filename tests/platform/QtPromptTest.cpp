// The text conversions of the Qt prompt (the dialogs themselves need a person).
#include <gtest/gtest.h>

#include "platform/ui/QtPrompt.h"

TEST(QtPrompt, DialogFiltersAndMessageLines) {
  struct Case {
    const char* filter;
    const char* qt;
  } cases[] = {
      {"Quorvant Pro|*.QVX|Quorvant 2.X|*.QDB", "Quorvant Pro (*.QVX);;Quorvant 2.X (*.QDB)"},
      {"Reports (*.rtf)|*.rtf", "Reports (*.rtf)"},
      {"Documents|*.txm;*.rtf", "Documents (*.txm *.rtf)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::ui::QtFilterFromDialogFilter(c.filter).toStdString(), c.qt) << c.filter;
  EXPECT_EQ(qv::ui::MessageText("one\r\ntwo\rthree\nfour").toStdString(), "one\ntwo\nthree\nfour");
}
