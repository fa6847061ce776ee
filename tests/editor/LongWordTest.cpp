// A document holding a word too long for a line: it opens laid out in lines that end at the
// margin, and every way its text leaves the editor (saves, the clipboard) has the text as
// the file had it.
#include "tests/editor/EditorFixture.h"

#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/richtext/Rtf.h"

namespace qv::editor::test {

TEST_F(EditorTest, ADocumentWithALongWordOpensInLinesAndSavesTheSameText) {
  Frame();
  const std::string word(70000, 'w');  // longer than a block of Qt holds, too
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs20 Memo: " + word + " signed.\\par}";
  frmMDIChild* d = editor->LoadDocument(Write("word.rtf", rtf), int(FileFormat::Rtf));
  ASSERT_NE(d, nullptr);
  TextControl& tx = *d->TXTextControl1;
  const QTextBlock block = tx.document()->begin();
  ASSERT_NE(block.layout(), nullptr);
  EXPECT_GT(block.layout()->lineCount(), 100);
  EXPECT_GT(tx.CurrentPages(), 2);

  const std::string expected = "Memo: " + word + " signed.";
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("saved.rtf")));
  const richtext::RtfReadResult saved = richtext::ReadRtf(Read(Path("saved.rtf")));
  ASSERT_TRUE(saved.ok);
  const richtext::RtfReadResult original = richtext::ReadRtf(rtf);
  EXPECT_EQ(saved.document.blocks, original.document.blocks);
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("saved.txt")));
  EXPECT_EQ(Read(Path("saved.txt")), expected);
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("saved.htm")));
  EXPECT_EQ(Read(Path("saved.htm")).find("\xE2\x80\x8B"), std::string::npos);  // no U+200B
  EXPECT_NE(Read(Path("saved.htm")).find(word), std::string::npos);

  // Copied, the text is the file's; pasted back, it saves the same.
  QTextCursor all(tx.document());
  all.select(QTextCursor::Document);
  tx.setTextCursor(all);
  tx.Clip(2);
  const QString copied = QApplication::clipboard()->text();
  EXPECT_EQ(copied.toStdString(), expected);
  EXPECT_FALSE(QApplication::clipboard()->mimeData()->html().contains(QChar(0x200B)));
  QTextCursor end(tx.document());
  end.movePosition(QTextCursor::End);
  tx.setTextCursor(end);
  tx.Clip(3);
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("pasted.txt")));
  EXPECT_EQ(Read(Path("pasted.txt")), expected + expected);
}

TEST_F(EditorTest, PlainTextAndPastedTextWithALongWordGetTheBreaksAndSaveWithout) {
  Frame();
  const std::string text = "Memo: " + std::string(70000, 'w') + " end\nsecond line";
  frmMDIChild* d = editor->LoadDocument(Write("word.txt", text), int(FileFormat::Text));
  ASSERT_NE(d, nullptr);
  TextControl& tx = *d->TXTextControl1;
  EXPECT_TRUE(tx.document()->toPlainText().contains(QChar(0x200B)));
  EXPECT_GT(tx.document()->blockCount(), 2);  // the long paragraph in more than one block
  EXPECT_GT(tx.document()->begin().layout()->lineCount(), 100);
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("saved.txt")));
  EXPECT_EQ(Read(Path("saved.txt")), text);

  // Pasted as plain text, at the end of the first line.
  QApplication::clipboard()->setText(QString(5000, 'p'));
  QTextCursor c(tx.document());
  c.movePosition(QTextCursor::End);
  tx.setTextCursor(c);
  tx.Clip(3);
  const QTextBlock last = tx.document()->lastBlock();
  EXPECT_TRUE(last.text().contains(QChar(0x200B)));
  EXPECT_GT(last.layout()->lineCount(), 10);
  ASSERT_TRUE(editor->SaveDocumentOf(*d, Path("pasted.txt")));
  EXPECT_EQ(Read(Path("pasted.txt")), text + std::string(5000, 'p'));
}

}  // namespace qv::editor::test
