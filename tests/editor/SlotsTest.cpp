// Document slots: the frame's load, new documents in reused slots, closing, and the editor
// opening again from slot 1.
#include "tests/editor/EditorFixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace qv::editor::test {

TEST_F(EditorTest, FrameLoadsWithDocumentOneAtTheTopLeftOfTheScreen) {
  EXPECT_FALSE(editor->EditorOpen());
  frmMDIParent& f = Frame();
  EXPECT_TRUE(editor->EditorOpen());
  EXPECT_EQ(f.windowTitle(), "Quorvant Pro Report Editor");
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(f.pos(), screen.topLeft());
  EXPECT_EQ(f.width(), screen.width());
  EXPECT_EQ(f.height(), int(screen.height() * 0.85));
  ASSERT_EQ(editor->SlotCount(), 1);
  EXPECT_EQ(Doc(1).Tag, "1");
  EXPECT_EQ(Doc(1).Caption(), "Untitled");
  EXPECT_EQ(editor->State(1).Dirty, kFalse);
  EXPECT_EQ(editor->ActiveDocument(), &Doc(1));
}

TEST_F(EditorTest, NewDocumentsTakeTheFirstFreeSlotThenANewOne) {
  Frame();
  editor->NewDocument();
  editor->NewDocument();
  ASSERT_EQ(editor->SlotCount(), 3);
  EXPECT_EQ(Doc(2).Caption(), "Untitled:2");
  EXPECT_EQ(Doc(3).Tag, "3");
  ASSERT_TRUE(Doc(2).CloseWindow());
  QApplication::processEvents();
  EXPECT_EQ(editor->State(2).Deleted, kTrue);
  EXPECT_EQ(OpenWindows(), 2);

  editor->State(2).Dirty = kTrue;  // the reused slot keeps it until the next load, save or change
  frmMDIChild* again = editor->NewDocument();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Tag, "2");
  EXPECT_EQ(again->Caption(), "Untitled:2");
  EXPECT_EQ(editor->State(2).Deleted, kFalse);
  EXPECT_EQ(editor->State(2).SuppressChange, kFalse);
  EXPECT_EQ(editor->State(2).Dirty, kTrue);
  EXPECT_EQ(editor->ActiveDocument(), again);

  editor->NewDocument();
  EXPECT_EQ(editor->SlotCount(), 4);
  EXPECT_EQ(Doc(4).Caption(), "Untitled:4");
}

TEST_F(EditorTest, ClosingTheEditorAndShowingItAgainStartsFromSlotOne) {
  Frame();
  editor->NewDocument();
  editor->NewDocument();
  ASSERT_TRUE(editor->CloseEditor());
  QApplication::processEvents();
  EXPECT_FALSE(editor->EditorOpen());
  Frame();
  EXPECT_EQ(editor->SlotCount(), 1);
  EXPECT_EQ(Doc(1).Caption(), "Untitled");
  EXPECT_EQ(Doc(1).Tag, "1");
  EXPECT_EQ(OpenWindows(), 1);
}

TEST_F(EditorTest, ChangesMarkTheDocumentDirtyUnlessSuppressed) {
  Frame();
  Type(Tx(1), "a");
  EXPECT_EQ(editor->State(1).Dirty, kTrue);
  editor->State(1).Dirty = kFalse;
  editor->State(1).SuppressChange = kTrue;
  Type(Tx(1), "b");
  EXPECT_EQ(editor->State(1).SuppressChange, kFalse);
  EXPECT_EQ(editor->State(1).Dirty, kFalse);
  Type(Tx(1), "c");
  EXPECT_EQ(editor->State(1).Dirty, kTrue);
}

TEST_F(EditorTest, ClosingAChangedDocumentAsksToSaveIt) {
  Frame();
  editor->NewDocument();
  Type(Tx(2), "draft");
  // Cancel keeps the window; No closes it without saving.
  prompt.Answer(ui::Answer::Cancel);
  EXPECT_FALSE(Doc(2).CloseWindow());
  EXPECT_EQ(OpenWindows(), 2);
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0], "Save changes to Untitled:2?");
  EXPECT_EQ(prompt.Last()->buttons, ui::Buttons::YesNoCancel);
  prompt.Answer(ui::Answer::No);
  EXPECT_TRUE(Doc(2).CloseWindow());
  QApplication::processEvents();
  EXPECT_EQ(OpenWindows(), 1);
  EXPECT_EQ(editor->State(2).Deleted, kTrue);
}

TEST_F(EditorTest, YesSavesBeforeClosingAndACancelledSaveKeepsTheWindow) {
  Frame();
  Type(Tx(1), "keep me");
  prompt.Answer(ui::Answer::Yes).File(std::nullopt);  // the Save As dialog cancelled
  EXPECT_FALSE(Doc(1).CloseWindow());
  EXPECT_EQ(OpenWindows(), 1);
  const std::string path = Path("kept.txt");
  prompt.Answer(ui::Answer::Yes).File(path);
  EXPECT_TRUE(Doc(1).CloseWindow());
  EXPECT_EQ(Read(path), "keep me");
}

TEST_F(EditorTest, ClosingTheEditorAsksForEachChangedDocumentAndCancelKeepsItOpen) {
  Frame();
  editor->NewDocument();
  editor->NewDocument();
  Type(Tx(1), "one");
  Type(Tx(3), "three");
  prompt.Answer(ui::Answer::No).Answer(ui::Answer::Cancel);
  EXPECT_FALSE(editor->CloseEditor());
  EXPECT_TRUE(editor->EditorOpen());
  EXPECT_EQ(prompt.MessageTexts(), (std::vector<std::string>{"Save changes to Untitled?", "Save changes to Untitled:3?"}));
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::No).Answer(ui::Answer::No);
  EXPECT_TRUE(editor->CloseEditor());
  QApplication::processEvents();
  EXPECT_FALSE(editor->EditorOpen());
}

}  // namespace qv::editor::test
