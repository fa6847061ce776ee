// The notes window of the current page.
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QPushButton>
#include <QSignalBlocker>

#include "dialogs/Notes.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {
namespace {

class NotesTest : public SampleDealTest<Notes> {
 protected:
  Notes& Open() {
    qv->Toolbar_ButtonClick(5);
    return windows.Get<Notes>();
  }
  // Types text into the box as the user does (each change reaches the window).
  static void Write(Notes& n, const std::string& text) { n.Text1->setPlainText(QString::fromStdString(text)); }
  static std::string Shown(const Notes& n) { return n.Text1->toPlainText().toStdString(); }
  // A second page "Truck" with notes of its own, stored; page 1 current again.
  void SecondPage() {
    prompt.Answer(ui::Answer::OK);
    qv->Toolbar_ButtonClick(7);
    eng.page.CarName = "Truck";
    eng.page.Memo = "truck notes";
    goTo(1);
  }
  void goTo(int page) {
    {
      QSignalBlocker block(qv->Combo2);
      qv->Combo2->setCurrentIndex(page - 1);
    }
    qv->Combo2_Click();
  }
};

TEST_F(NotesTest, OpeningShowsTheNotesOnTopAndMarksTheWorksheetModified) {
  eng.page.Memo = "call back\r\nTuesday";
  Notes& n = Open();
  EXPECT_EQ(n.windowTitle().toStdString(), "Notes");
  EXPECT_TRUE(n.isVisible());
  EXPECT_TRUE(n.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(Shown(n), "call back\nTuesday");
  EXPECT_EQ(windows.Shared().NotesOpen, -1);
  EXPECT_EQ(eng.WorksheetModified, -1);  // even with nothing typed
  EXPECT_EQ(n.Command2[0]->text().toStdString(), " &Clear");
  EXPECT_EQ(n.Command2[1]->text().toStdString(), " &OK");
  n.Command2_Click(1);
  EXPECT_EQ(windows.Shared().NotesOpen, 0);
  EXPECT_EQ(eng.page.Memo, "call back\r\nTuesday");
}

TEST_F(NotesTest, TheBoxTakesNoMoreThan256CharactersWhenTypingOrPasting) {
  const std::vector<std::string> tooLong{"Length of notes field cannot be longer than 256 characters"};
  eng.page.Memo = std::string(254, 'n');
  Notes& n = Open();
  n.Text1->moveCursor(QTextCursor::End);
  // Typing up to the limit is taken; the character after it is refused with a word.
  QTest::keyClicks(n.Text1, "ab");
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_EQ(eng.page.Memo, std::string(254, 'n') + "ab");
  prompt.Answer(ui::Answer::OK);
  QTest::keyClicks(n.Text1, "c");
  EXPECT_EQ(prompt.MessageTexts(), tooLong);
  EXPECT_EQ(Shown(n), std::string(254, 'n') + "ab");
  EXPECT_EQ(eng.page.Memo, std::string(254, 'n') + "ab");
  // A line break is two characters of the page's notes.
  QTest::keyClick(n.Text1, Qt::Key_Backspace);
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::OK);
  QTest::keyClick(n.Text1, Qt::Key_Return);
  EXPECT_EQ(prompt.MessageTexts(), tooLong);
  EXPECT_EQ(Shown(n), std::string(254, 'n') + "a");
  // A paste that does not fit is refused whole; one that fits is taken.
  QApplication::clipboard()->setText("xy");
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::OK);
  n.Text1->paste();
  EXPECT_EQ(prompt.MessageTexts(), tooLong);
  EXPECT_EQ(Shown(n), std::string(254, 'n') + "a");
  QApplication::clipboard()->setText("x");
  n.Text1->paste();
  EXPECT_EQ(eng.page.Memo, std::string(254, 'n') + "ax");
  // What is shown is what the page keeps: OK closes without a question.
  prompt.ClearAsked();
  n.Command2_Click(1);
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_EQ(windows.Shared().NotesOpen, 0);
  EXPECT_EQ(eng.page.Memo, std::string(254, 'n') + "ax");
}

TEST_F(NotesTest, NotesLongerThanThePageKeepsCanOnlyBeShortened) {
  // A worksheet written elsewhere may hold longer notes: they show whole, may be shortened,
  // and are stored only once they fit; closing with them is refused.
  eng.page.Memo = std::string(258, 'n');
  Notes& n = Open();
  n.Text1->moveCursor(QTextCursor::End);
  QTest::keyClick(n.Text1, Qt::Key_Backspace);
  EXPECT_EQ(Shown(n), std::string(257, 'n'));
  EXPECT_EQ(eng.page.Memo, std::string(258, 'n'));
  prompt.Answer(ui::Answer::OK);
  n.Command2_Click(1);
  EXPECT_EQ(prompt.MessageTexts(),
            std::vector<std::string>{"Length of notes field cannot be longer than 256 characters"});
  EXPECT_EQ(prompt.Asked()[0].buttons, ui::Buttons::OK);
  EXPECT_EQ(prompt.Asked()[0].title, std::nullopt);
  EXPECT_TRUE(n.isVisible());
  EXPECT_EQ(windows.Shared().NotesOpen, -1);
  // The text shown stays in the box through a recalculation.
  eng.RecalcPage();
  EXPECT_EQ(Shown(n), std::string(257, 'n'));
  QTest::keyClick(n.Text1, Qt::Key_Backspace);
  EXPECT_EQ(eng.page.Memo, std::string(256, 'n'));
  n.Command2_Click(1);
  EXPECT_EQ(windows.Shared().NotesOpen, 0);
}

TEST_F(NotesTest, ClearThenOkStoresAnEmptyText) {
  eng.page.Memo = "old";
  Notes& n = Open();
  n.Command2_Click(0);
  EXPECT_EQ(Shown(n), "");
  n.Command2_Click(1);
  EXPECT_EQ(eng.page.Memo, "");
}

TEST_F(NotesTest, TypedNotesSurviveRecalculationAndStayWithTheirPage) {
  SecondPage();
  Notes& n = Open();
  EXPECT_EQ(Shown(n), "");
  Write(n, "sedan notes");
  EXPECT_EQ(eng.page.Memo, "sedan notes");  // stored at once
  // A field edit recalculates the page; the typed notes stay.
  Type(4, "1500");
  EXPECT_EQ(Shown(n), "sedan notes");

  // Another page: the notes went with page 1, the window follows page 2.
  goTo(2);
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 19), "sedan notes");
  EXPECT_EQ(Shown(n), "truck notes");
  Write(n, "truck notes, revised");
  goTo(1);
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(2, 19), "truck notes, revised");
  EXPECT_EQ(eng.WKS.SheetAt(1).TextRC(1, 19), "sedan notes");
  EXPECT_EQ(Shown(n), "sedan notes");

  // Closing stores the page's own notes, not the other page's.
  n.Command2_Click(1);
  EXPECT_EQ(eng.page.Memo, "sedan notes");
  goTo(2);
  EXPECT_EQ(eng.page.Memo, "truck notes, revised");
}

TEST_F(NotesTest, TheMainWindowGoingAwayUnloadsTheNotesWithWhatWasTyped) {
  Notes& n = Open();
  Write(n, "keep this");
  qv.reset();
  EXPECT_FALSE(windows.Loaded<Notes>());
  EXPECT_EQ(windows.Shared().NotesOpen, 0);
  EXPECT_EQ(eng.page.Memo, "keep this");
}

}  // namespace
}  // namespace qv::test
