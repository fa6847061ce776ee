// Opening, saving and inserting files: the format by the name, the dialogs' texts, failed
// loads that leave no window, atomic saves that keep the old file on failure.
#include "tests/editor/EditorFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QTextBlock>
#include <QUrl>

#include <cstdio>
#include <map>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/AtomicFile.h"
#include "tests/support/Sanitizers.h"

namespace qv::editor::test {

TEST_F(EditorTest, OpenAsksForAFileWithTheFourTypes) {
  Frame();
  prompt.File(std::nullopt);
  editor->FileOpen("");
  ASSERT_EQ(prompt.Asked().size(), 1u);
  const ui::FileDialogRequest& req = prompt.Last()->file;
  EXPECT_EQ(req.title, "Open file");
  EXPECT_EQ(req.filter,
            "Quorvant Report Editor (*.txm)|*.txm|Rich Text Format (*.rtf)|*.rtf|Hypertext Markup Language (*.htm)|*.htm|"
            "Text Documents (*.txt)|*.txt");
  EXPECT_EQ(req.filterIndex, 1);
  EXPECT_TRUE(req.mustExist);
  EXPECT_EQ(editor->SlotCount(), 1);  // cancelled: nothing opened, no message
}

TEST_F(EditorTest, TextAndHtmlFilesOpenInANewWindowCaptionedWithTheUpperCasePath) {
  Frame();
  const std::string txt = Write("notes.txt", "first line\nsecond line");
  frmMDIChild* d = editor->LoadDocument(txt, int(FormatForOpening(txt)));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Caption().toStdString(), QString::fromStdString(txt).toUpper().toStdString());
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), "first line\nsecond line");
  EXPECT_EQ(editor->State(d->Slot()).Dirty, kFalse);
  // The first edit after loading marks the document changed.
  Type(*d->TXTextControl1, "x");
  EXPECT_EQ(editor->State(d->Slot()).Dirty, kTrue);

  for (const char* name : {"page.htm", "page.html"}) {
    const std::string html = Write(name, "<html><body><p><b>Bold</b> text</p></body></html>");
    prompt.File(html);
    editor->FileOpen("");
    frmMDIChild* h = editor->ActiveDocument();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->TXTextControl1->document()->toPlainText(), "Bold text") << name;
    QTextCursor c(h->TXTextControl1->document());
    c.setPosition(1);
    EXPECT_TRUE(c.charFormat().font().bold()) << name;
  }
}

TEST_F(EditorTest, AQuotedPathLosesItsQuotesAndAHalfQuotedOneStaysAsItIs) {
  Frame();
  const std::string txt = Write("quoted.txt", "q");
  editor->FileOpen("\"" + txt + "\"");
  EXPECT_EQ(editor->ActiveDocument()->Caption().toStdString(), QString::fromStdString(txt).toUpper().toStdString());
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::OK);
  editor->FileOpen("\"" + txt);
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_EQ(prompt.MessageTexts()[0], "Can't open file: \"" + txt);
}

TEST_F(EditorTest, AFailedLoadShowsItsMessageAndFreesTheSlot) {
  Frame();
  const std::string missing = Path("missing.txt");
  prompt.Answer(ui::Answer::OK);
  EXPECT_EQ(editor->LoadDocument(missing, 1), nullptr);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't open file: " + missing});
  EXPECT_EQ(prompt.Last()->buttons, ui::Buttons::OK);
  EXPECT_EQ(prompt.Last()->icon, ui::Icon::None);
  QApplication::processEvents();
  EXPECT_EQ(OpenWindows(), 1);
  ASSERT_EQ(editor->SlotCount(), 2);
  EXPECT_EQ(editor->State(2).Deleted, kTrue);
  // The next document takes the freed slot.
  EXPECT_EQ(editor->NewDocument()->Tag, "2");
}

TEST_F(EditorTest, SaveOfAnUntitledDocumentAsksForANameAndCancelSavesNothing) {
  Frame();
  editor->NewDocument();
  editor->NewDocument();
  Type(Tx(3), "text");
  prompt.File(std::nullopt);
  EXPECT_FALSE(editor->FileSave());
  const ui::FileDialogRequest& req = prompt.Last()->file;
  EXPECT_EQ(req.title, "Save As");
  EXPECT_EQ(req.filter,
            "Quorvant Report Editor (*.txm)|*.txm|Rich Text Format (*.rtf)|*.rtf|Hypertext Markup Language(*.htm, "
            "*.html)|*.htm|Text Document (*.txt)|*.txt");
  EXPECT_EQ(req.defaultExt, "txm");
  EXPECT_TRUE(req.extensionFollowsFilter);
  EXPECT_TRUE(req.confirmOverwrite);
  EXPECT_EQ(Doc(3).Caption(), "Untitled:3");
  EXPECT_EQ(editor->State(3).Dirty, kTrue);
}

TEST_F(EditorTest, SavedTextAndHtmlReadBackAndTheCaptionFollowsTheName) {
  Frame();
  Type(Tx(1), "Plain words");
  const std::string txt = Path("out.txt");
  prompt.File(txt);
  ASSERT_TRUE(editor->FileSave());
  EXPECT_EQ(Read(txt), "Plain words");
  EXPECT_EQ(Doc(1).Caption().toStdString(), QString::fromStdString(txt).toUpper().toStdString());
  EXPECT_EQ(editor->State(1).Dirty, kFalse);
  // Save again writes to the caption's path without asking.
  Type(Tx(1), "!");
  prompt.ClearAsked();
  ASSERT_TRUE(editor->FileSave());
  EXPECT_TRUE(prompt.Asked().empty());
  EXPECT_EQ(Read(txt), "Plain words!");

  Tx(1).SetSelection(0, 5);
  QTextCharFormat italic;
  italic.setFontItalic(true);
  Tx(1).MergeCharFormat(italic);
  const std::string html = Path("out.html");
  prompt.File(html);
  ASSERT_TRUE(editor->FileSaveAs());
  ASSERT_NE(editor->LoadDocument(html, int(FormatForOpening(html))), nullptr);
  TextControl& back = *editor->ActiveText();
  EXPECT_EQ(back.document()->toPlainText(), "Plain words!");
  QTextCursor c(back.document());
  c.setPosition(2);
  EXPECT_TRUE(c.charFormat().fontItalic());
  c.setPosition(8);
  EXPECT_FALSE(c.charFormat().fontItalic());
}

TEST_F(EditorTest, AFailedSaveKeepsTheOldFileWholeAndTheCaption) {
  Frame();
  const std::string txt = Write("old.txt", "the old content, longer than the new");
  ASSERT_NE(editor->LoadDocument(txt, 1), nullptr);
  TextControl& tx = *editor->ActiveText();
  tx.SetPlainContent("new");
  Type(tx, "!");
  const QString caption = editor->ActiveDocument()->Caption();
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(editor->FileSave());
  files::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't save file: " + txt + "\r\nUnable to write file " +
                                                            txt + ": the write was interrupted"});
  EXPECT_EQ(Read(txt), "the old content, longer than the new");
  EXPECT_EQ(editor->ActiveDocument()->Caption(), caption);
  EXPECT_EQ(editor->State(editor->ActiveDocument()->Slot()).Dirty, kTrue);
  // A shorter save leaves nothing of the longer old file behind.
  ASSERT_TRUE(editor->FileSave());
  EXPECT_EQ(Read(txt), "!new");
}

TEST_F(EditorTest, SavingIntoAFolderThatDoesNotExistCannotOpenTheFile) {
  Frame();
  const std::string path = Path("no/such/folder/x.txt");
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(editor->SaveDocument(path));
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't open file: " + path + "\r\nUnable to write file " +
                                                            path + ": No such file or directory"});
}

// A save that fails says why, in the file layer's words, and keeps the document (its text,
// its name, its changed mark) and the old file.
TEST_F(EditorTest, AFailedSaveSaysWhyAndKeepsTheDocumentAndTheOldFile) {
  Frame();
  const std::string kept = Write("kept.txt", "kept");
  ASSERT_NE(editor->LoadDocument(kept, 1), nullptr);
  TextControl& tx = *editor->ActiveText();
  Type(tx, "new text ");
  const QString caption = editor->ActiveDocument()->Caption();
  const std::string readOnly = Write("readonly.txt", "old read-only file");
  ::chmod(readOnly.c_str(), 0444);
  const std::string folder = Path("folder.txt");
  QDir().mkpath(QString::fromStdString(folder));
  const std::string large = Write("large.txt", "old small file");
  struct Case {
    std::string path;
    const char* why;
    std::string before;  // the old file, which stays
    rlim_t sizeLimit;    // RLIM_INFINITY: none
  } cases[] = {
      {readOnly, "the file is read-only", "old read-only file", RLIM_INFINITY},
      {folder, "Is a directory", "", RLIM_INFINITY},
      {large, "File too large", "old small file", 4},
  };
  files::IgnoreFileSizeSignal();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = c.sizeLimit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = editor->SaveDocument(c.path);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't save file: " + c.path +
                                                              "\r\nUnable to write file " + c.path + ": " + c.why});
    if (!c.before.empty()) EXPECT_EQ(Read(c.path), c.before);
    EXPECT_EQ(tx.document()->toPlainText(), "new text kept");
    EXPECT_EQ(editor->ActiveDocument()->Caption(), caption);
    EXPECT_EQ(editor->State(editor->ActiveDocument()->Slot()).Dirty, kTrue);
  }
  EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
  EXPECT_EQ(Read(kept), "kept");
}

// Only a regular file no larger than the editor's limit is read: a device, a pipe, a folder
// or a file too large is refused with the reason before anything is read, and leaves no
// window; the document open stays as it was.
TEST_F(EditorTest, AFileThatIsNoDocumentOrTooLargeIsRefusedBeforeItIsRead) {
  Frame();
  const std::string kept = Write("kept.txt", "kept");
  ASSERT_NE(editor->LoadDocument(kept, 1), nullptr);
  Type(*editor->ActiveText(), "!");
  const std::string pipe = Path("pipe.txt");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string folder = Path("folder.rtf");
  QDir().mkpath(QString::fromStdString(folder));
  // A sparse file one byte over the limit: nothing of it is read.
  const std::string sparse = Write("sparse.rtf", "{");
  ASSERT_EQ(::truncate(sparse.c_str(), off_t(kMaxDocumentFileBytes) + 1), 0);
  const std::string tooLarge = "it is larger than 24 MB, the most that is read from such a file";
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/zero", "it is not a regular file (a device or a pipe)"},
      {pipe, "it is not a regular file (a device or a pipe)"},
      {folder, "it is a folder, not a file"},
      {sparse, tooLarge},
  };
  const int windows = OpenWindows();
  for (const auto& [path, why] : cases) {
    SCOPED_TRACE(path);
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    editor->FileOpen(path);
    EXPECT_EQ(prompt.MessageTexts(),
              std::vector<std::string>{"Can't open file: " + path + "\r\nUnable to open file " + path + ": " + why + "."});
    QApplication::processEvents();
    EXPECT_EQ(OpenWindows(), windows);
    EXPECT_EQ(editor->ActiveText()->document()->toPlainText(), "!kept");
  }
  // A report handed to the editor is refused the same way.
  prompt.ClearAsked();
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(editor->OpenReport(sparse));
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't import file: " + sparse +
                                                            "\r\nUnable to open file " + sparse + ": " + tooLarge + "."});
}

// An allocation that fails while a document is built is a message; the document open
// stays as it was (the child process runs with little address space to spare).
TEST_F(EditorTest, RunningOutOfMemoryWhileOpeningIsAMessage) {
  if (qv::test::kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer ends a process that runs out of memory";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Frame();
  const std::string kept = Write("kept.txt", "kept");
  ASSERT_NE(editor->LoadDocument(kept, 1), nullptr);
  const std::string big = Write("big.txt", std::string(20u << 20, 'a'));
  auto openWithLittleMemory = [&] {
    struct rlimit limit {};
    ::getrlimit(RLIMIT_AS, &limit);
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    // Room to read the file and copy it once, not to turn it into a document.
    limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (60u << 20);
    ::setrlimit(RLIMIT_AS, &limit);
    prompt.Answer(ui::Answer::OK);
    const bool opened = editor->LoadDocument(big, 1) != nullptr;
    const bool said = prompt.MessageTexts() ==
                      std::vector<std::string>{"Can't load file: " + big + "\r\nThere is not enough memory for it."};
    const bool kept = editor->ActiveText()->document()->toPlainText() == "kept";
    std::_Exit(!opened && said && kept ? 0 : 1);
  };
  EXPECT_EXIT(openWithLittleMemory(), ::testing::ExitedWithCode(0), "");
}

// An RTF file the reader refuses as too large (a row of 256 cells repeated 4,000 times:
// 17 KB making a million cells) says so.
TEST_F(EditorTest, AnRtfFileRefusedAsTooLargeSaysSo) {
  Frame();
  std::string rtf = "{\\rtf1 \\trowd";
  for (int c = 1; c <= 256; ++c) rtf += "\\cellx" + std::to_string(c * 10);
  rtf += "\\intbl";
  for (int r = 0; r < 4000; ++r) rtf += "\\row";
  const std::string path = Write("rows.rtf", rtf + "}");
  const int windows = OpenWindows();
  prompt.Answer(ui::Answer::OK);
  editor->FileOpen(path);
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"Can't load file: " + path + "\r\nThe document is too large."});
  QApplication::processEvents();
  EXPECT_EQ(OpenWindows(), windows);
}

TEST_F(EditorTest, InsertTextPutsAFileAtTheCaret) {
  Frame();
  Type(Tx(1), "AB");
  Tx(1).SetSelection(1, 0);
  const std::string txt = Write("insert.txt", "--");
  prompt.File(txt);
  editor->InsertTextFile();
  EXPECT_EQ(Tx(1).document()->toPlainText(), "A--B");
  const ui::FileDialogRequest& req = prompt.Last()->file;
  EXPECT_EQ(req.title, "Insert Text");
  EXPECT_EQ(req.filter, "Text (*.txt)|*.txt|RTF Format (*.rtf)|*.rtf");
  // The shared dialog opens on the last name it held.
  prompt.File(std::nullopt);
  editor->InsertTextFile();
  EXPECT_EQ(prompt.Last()->file.fileName, txt);
  const std::string missing = Path("gone.txt");
  prompt.File(missing).Answer(ui::Answer::OK);
  editor->InsertTextFile();
  EXPECT_EQ(prompt.MessageTexts().back(), "Can't import file: " + missing);
}

TEST_F(EditorTest, AnRtfFileReadsInItsCodePageAndNamesOneWithUnreadBytes) {
  Frame();
  const std::string cyrillic = Write("cyrillic.rtf", "{\\rtf1\\ansi\\ansicpg1251 \\'d2\\'e0\\par}");
  frmMDIChild* d = editor->LoadDocument(cyrillic, int(FormatForOpening(cyrillic)));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), QString::fromUtf8("\xD0\xA2\xD0\xB0"));
  EXPECT_TRUE(prompt.MessageTexts().empty());

  prompt.Answer(ui::Answer::OK);
  const std::string greek = Write("greek.rtf", "{\\rtf1\\ansi\\ansicpg1253 a\\'aab\\par}");
  d = editor->LoadDocument(greek, int(FormatForOpening(greek)));
  ASSERT_NE(d, nullptr);  // opened, with the byte shown as a replacement mark
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), QString::fromUtf8("a\xEF\xBF\xBD" "b"));
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_NE(prompt.MessageTexts()[0].find("code page 1253"), std::string::npos) << prompt.MessageTexts()[0];
}

// An HTML file's pictures come only from the file itself (data: URLs); a picture naming a
// file, beside the document, by a full path or a device, shows as a missing picture and
// nothing is read from it.
TEST_F(EditorTest, AnHtmlFileLoadsOnlyThePicturesItCarries) {
  Frame();
  const std::string png = PngBytes(4, 2, Qt::red);
  Write("beside.png", png);
  const QString inside = QString::fromLatin1(QByteArray::fromStdString(PngBytes(3, 3, Qt::green)).toBase64());
  const QString absolute = QUrl::fromLocalFile(QString::fromStdString(Path("beside.png"))).toString();
  const std::string html = Write(
      "pictures.htm", ("<html><body><p>before <img src=\"beside.png\"> <img src=\"" + absolute +
                       "\"> <img src=\"/dev/zero\" width=\"10\" height=\"10\"> <img src=\"../../../../etc/hostname\">"
                       " <img src=\"data:image/png;base64," + inside + "\"> after</p></body></html>")
                          .toStdString());
  frmMDIChild* d = editor->LoadDocument(html, int(FormatForOpening(html)));
  ASSERT_NE(d, nullptr);
  QTextDocument& doc = *d->TXTextControl1->document();
  EXPECT_TRUE(doc.toPlainText().startsWith("before ")) << doc.toPlainText().toStdString();
  EXPECT_TRUE(doc.toPlainText().endsWith(" after"));
  doc.documentLayout()->documentSize();
  std::map<QString, bool> loaded;  // picture name: whether the document has its bytes
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (!f.isImageFormat()) continue;
      const QString name = f.toImageFormat().name();
      loaded[name] = !doc.resource(QTextDocument::ImageResource, QUrl(name)).isNull();
    }
  }
  ASSERT_EQ(loaded.size(), 5u);
  for (const auto& [name, has] : loaded) EXPECT_EQ(has, name.startsWith("data:")) << name.toStdString();
}

}  // namespace qv::editor::test
