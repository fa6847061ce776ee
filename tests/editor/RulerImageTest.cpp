// The ruler's indents and tab stops, and pictures inserted from files.
#include "tests/editor/EditorFixture.h"

#include <QTextBlock>

namespace qv::editor::test {

TEST_F(EditorTest, TheRulerShowsAndSetsIndentsAndTabStops) {
  Frame();
  Ruler& r = *Doc(1).TXRuler1;
  Type(Tx(1), "indented");
  r.SetLeftIndent(720);
  r.SetFirstLine(1440);
  r.SetRightIndent(360);
  r.AddTab(2880);
  r.AddTab(1440);
  r.AddTab(2880);  // once only
  Ruler::Marks m = r.Current();
  EXPECT_EQ(m.leftIndent, 720);
  EXPECT_EQ(m.firstLine, 1440);
  EXPECT_EQ(m.rightIndent, 360);
  EXPECT_EQ(m.tabs, (std::vector<int>{1440, 2880}));
  // Moving the left indent keeps the first line where it is.
  r.SetLeftIndent(0);
  EXPECT_EQ(r.Current().firstLine, 1440);
  r.RemoveTab(1440);
  EXPECT_EQ(r.Current().tabs, std::vector<int>{2880});
  // Positions on the ruler follow the zoom.
  const double at100 = r.XOfTwips(1440) - r.XOfTwips(0);
  Tx(1).SetZoomFactor(200);
  EXPECT_NEAR(r.XOfTwips(1440) - r.XOfTwips(0), 2 * at100, 1);
  EXPECT_NEAR(r.TwipsOfX(r.XOfTwips(2880)), 2880, 15);
  Doc(1).mnuEdit_Click();
  EXPECT_EQ(Doc(1).mnuUndo->text(), "Undo Formatting");
}

TEST_F(EditorTest, AClickOnTheRulersLowerHalfSetsATabStop) {
  Frame();
  Ruler& r = *Doc(1).TXRuler1;
  const int x = int(r.XOfTwips(1440));
  QTest::mouseClick(&r, Qt::LeftButton, {}, QPoint(x, r.height() - 4));
  ASSERT_EQ(r.Current().tabs.size(), 1u);
  EXPECT_NEAR(r.Current().tabs[0], 1440, 15);
}

TEST_F(EditorTest, InsertImagePutsAPictureAtTheCaretOrInAParagraphOfItsOwn) {
  Frame();
  const std::string path = Write("red.png", PngBytes(30, 20, Qt::red));
  Type(Tx(1), "ab");
  Tx(1).SetSelection(1, 0);
  prompt.File(path);
  Doc(1).mnuInsert_ImageAtCaretPosition_Click();
  EXPECT_EQ(prompt.Last()->file.title, "Insert Image");
  EXPECT_EQ(Tx(1).document()->characterCount(), 4);  // a, picture, b and the end
  EXPECT_NE(Tx(1).CurrentObject(), 0);
  EXPECT_EQ(Tx(1).ObjectTextflow(), 0);
  Doc(1).mnuFormat_Click();
  EXPECT_TRUE(Doc(1).mnuFormat_Image->isEnabled());

  prompt.File(path);
  Doc(1).mnuInsert_ImageAsFixedObject_Click();
  EXPECT_EQ(Tx(1).document()->blockCount(), 3);
  Tx(1).SetSelection(Tx(1).document()->findBlockByNumber(1).position() + 1, 0);
  EXPECT_EQ(Tx(1).ObjectTextflow(), 1);

  // Cancel shows nothing; a file that is no picture says so.
  prompt.File(std::nullopt);
  Doc(1).mnuInsert_ImageAtCaretPosition_Click();
  const std::string bad = Write("bad.png", "not a picture");
  prompt.File(bad).Answer(ui::Answer::OK);
  Doc(1).mnuInsert_ImageAtCaretPosition_Click();
  EXPECT_EQ(prompt.MessageTexts(),
            std::vector<std::string>{"Cannot Insert image: " + bad + ". Error it is not a PNG or JPEG picture."});
}

}  // namespace qv::editor::test
