// The editor's ".txm" files, the format chosen by file name and the file messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/richtext/Rtf.h"
#include "editor/richtext/TxmFile.h"

using namespace qv::richtext;

namespace {

std::string Int32(int32_t v) {
  std::string s;
  for (int k = 0; k < 4; ++k) s += char((uint32_t(v) >> (8 * k)) & 0xFF);
  return s;
}

std::string Header23(int32_t l, int32_t t, int32_t r, int32_t b, int32_t h, int32_t w) {
  return Int32(23) + Int32(l) + Int32(t) + Int32(r) + Int32(b) + Int32(h) + Int32(w) + std::string("\x05\x00", 2);
}

Document Sample() {
  Document d;
  d.page = {12240, 15840, 720, 1080, 1440, 1800};  // width, height, left, right, top, bottom
  Paragraph p;
  TextRun r;
  r.text = "Lease payment";
  r.format.bold = true;
  p.runs.push_back(r);
  d.blocks.push_back(p);
  return d;
}

}  // namespace

TEST(TxmFile, WritesVersionPageRecordThenTheDocument) {
  std::string bytes = WriteTxm(Sample());
  ASSERT_GT(bytes.size(), kTxmHeaderSize);
  // 23, then left, top, right, bottom margins, height before width, a zero paper index.
  EXPECT_EQ(bytes.substr(0, 30), Int32(23) + Int32(720) + Int32(1440) + Int32(1080) + Int32(1800) +
                                     Int32(15840) + Int32(12240) + std::string("\0\0", 2));
  EXPECT_EQ(bytes.substr(30, 6), "{\\rtf1");
  DocumentReadResult back = ReadTxm(bytes);
  ASSERT_TRUE(back.ok) << back.detail;
  EXPECT_EQ(back.version, 23);
  EXPECT_EQ(back.document, Sample());
}

TEST(TxmFile, TheHeaderPageIsTheDocumentsPage) {
  std::string body = "{\\rtf1\\paperw100\\paperh100 \\pard x\\par}";
  DocumentReadResult r = ReadTxm(Header23(1, 2, 3, 4, 16000, 12000) + body);
  ASSERT_TRUE(r.ok) << r.detail;
  EXPECT_EQ(r.page.PaperSizeIndex, 5);  // read back, otherwise ignored
  EXPECT_EQ(r.document.page, (PageSetup{12000, 16000, 1, 3, 2, 4}));
}

TEST(TxmFile, OlderVersionGetsAnA4PageWithInchMargins) {
  DocumentReadResult r = ReadTxm(Int32(20) + "{\\rtf1 old}");
  ASSERT_TRUE(r.ok) << r.detail;
  EXPECT_EQ(r.version, 20);
  EXPECT_EQ(r.document.page, (PageSetup{11906, 16837, 1440, 1440, 1440, 1440}));
  EXPECT_EQ(r.document.PlainText(), "old");
  // Saved again, it is a version-23 file with a 30-byte header.
  std::string again = WriteTxm(r.document);
  EXPECT_EQ(again.substr(0, 4), Int32(23));
  EXPECT_EQ(again.substr(20, 8), Int32(16837) + Int32(11906));
  EXPECT_EQ(again.substr(30, 5), "{\\rtf");
}

TEST(TxmFile, FailuresAndTheirMessages) {
  std::string rtf = "{\\rtf1 x}";
  struct Case {
    std::string bytes;
    FileMessage failure;
  } cases[] = {
      {"", FileMessage::WrongFileType},
      {std::string("\x17\x00", 2), FileMessage::WrongFileType},  // shorter than a version
      {Int32(21) + rtf, FileMessage::WrongFileType},
      {Int32(-23) + rtf, FileMessage::WrongFileType},
      {"{\\rtf1 an RTF file named .txm}", FileMessage::WrongFileType},
      {Int32(23) + Int32(1440), FileMessage::CantLoad},  // page record cut short
      {Header23(1440, 1440, 1440, 1440, 16837, 11906) + "not RTF", FileMessage::CantLoad},
      {Header23(1440, 1440, 1440, 1440, 16837, 11906), FileMessage::CantLoad},  // no body
      {Int32(20) + "native data of another editor", FileMessage::CantLoad},
      {Header23(1440, 1440, 1440, 1440, 16837, 0) + rtf, FileMessage::CantLoad},  // no width
      {Header23(1440, 1440, 1440, 1440, -5, 11906) + rtf, FileMessage::CantLoad},
      {Header23(-1, 1440, 1440, 1440, 16837, 11906) + rtf, FileMessage::CantLoad},
      {Header23(1440, 1440, 20000, 1440, 16837, 11906) + rtf, FileMessage::CantLoad},
      {Header23(1440, 1440, 1440, 1440, 2000000000, 11906) + rtf, FileMessage::CantLoad},
  };
  for (const Case& c : cases) {
    DocumentReadResult r = ReadTxm(c.bytes);
    EXPECT_FALSE(r.ok) << c.bytes;
    EXPECT_EQ(r.failure, c.failure) << c.bytes;
  }
  const std::string path = "C:\\Reports\\DEAL.TXM";
  struct Text {
    FileMessage message;
    const char* text;
    const char* title;
  } texts[] = {
      {FileMessage::CantOpen, "Can't open file: C:\\Reports\\DEAL.TXM", ""},
      {FileMessage::WrongFileType, "Wrong file type: C:\\Reports\\DEAL.TXM", ""},
      {FileMessage::CantLoad, "Can't load file: C:\\Reports\\DEAL.TXM", ""},
      {FileMessage::CantSave, "Can't save file: C:\\Reports\\DEAL.TXM", ""},
      {FileMessage::CantImport, "Can't import file: C:\\Reports\\DEAL.TXM", ""},
      {FileMessage::InvalidImagePath, "Invalid image path: C:\\Reports\\DEAL.TXM", "Viewer"},
  };
  for (const Text& t : texts) {
    EXPECT_EQ(FileMessageText(t.message, path), t.text);
    EXPECT_EQ(FileMessageTitle(t.message), t.title);
    EXPECT_EQ(FileMessageHasExclamation(t.message), std::string(t.title) == "Viewer");
  }
}

TEST(TxmFile, FormatByFileName) {
  struct Case {
    const char* name;
    FileFormat open, save;
  } cases[] = {
      {"deal.txm", FileFormat::Txm, FileFormat::Txm},
      {"DEAL.RTF", FileFormat::Rtf, FileFormat::Rtf},
      {"page.htm", FileFormat::Html, FileFormat::Html},
      {"page.html", FileFormat::Html, FileFormat::Html},
      {"notes.txt", FileFormat::Text, FileFormat::Text},
      {"data.dat", FileFormat::Text, FileFormat::Txm},
      {"C:\\LEASE.QVR", FileFormat::Text, FileFormat::Txm},  // a merged report saves as .txm
      {"noextension", FileFormat::Text, FileFormat::Txm},
      {"reportrtf", FileFormat::Rtf, FileFormat::Rtf},  // the end of the name decides
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatForOpening(c.name), c.open) << c.name;
    EXPECT_EQ(FormatForSaving(c.name), c.save) << c.name;
  }
}

TEST(TxmFile, PathHelpers) {
  EXPECT_EQ(StripPathQuotes("\"C:\\My Deals\\a.rtf\""), "C:\\My Deals\\a.rtf");
  EXPECT_EQ(StripPathQuotes("\"C:\\a.rtf"), "\"C:\\a.rtf");  // a quote at one end stays
  EXPECT_EQ(StripPathQuotes("\""), "\"");
  EXPECT_EQ(ImageFolderOf("C:\\Reports\\deal.rtf"), "C:\\Reports\\");
  EXPECT_EQ(ImageFolderOf("/home/desk/deal.rtf"), "/home/desk/");
  EXPECT_EQ(ImageFolderOf("A:deal.rtf"), "A:");
  EXPECT_EQ(ImageFolderOf("deal.rtf"), "");
}

TEST(TxmFile, SaveFailureNamesOpenOrSave) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path();
  EXPECT_EQ(SaveFailureMessage((dir / "no-such-folder-qv" / "a.txm").string()), FileMessage::CantOpen);
  EXPECT_EQ(SaveFailureMessage(dir.string()), FileMessage::CantOpen);  // a folder is no file
  EXPECT_EQ(SaveFailureMessage((dir / "a.txm").string()), FileMessage::CantSave);
}

TEST(TxmFile, RtfFilesAndTheirFailure) {
  DocumentReadResult ok = ReadRtfFile("{\\rtf1\\paperw11906 \\pard x\\par}");
  ASSERT_TRUE(ok.ok);
  EXPECT_EQ(ok.page.PageWidth, 11906);
  DocumentReadResult bad = ReadRtfFile("plain text");
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.failure, FileMessage::CantLoad);
}

// Whatever page an RTF file gives, its document saved as ".txm" opens again, on the page
// the RTF reader made of it (within the page limits).
TEST(TxmFile, AnyRtfPageSavedAsTxmOpensAgain) {
  struct Case {
    const char* rtf;
    PageSetup page;  // width, height, left, right, top, bottom
  } cases[] = {
      // Paper near the int range, margins almost as large.
      {"{\\rtf1 \\paperw2147483647\\paperh2147483647\\margl2147483000\\margr5\\margt2147483000\\margb5 x\\par}",
       {kMaxPageTwips, kMaxPageTwips, (kMaxPageTwips - kMinTextTwips) / 2, (kMaxPageTwips - kMinTextTwips) / 2,
        (kMaxPageTwips - kMinTextTwips) / 2, (kMaxPageTwips - kMinTextTwips) / 2}},
      // A tiny paper with margins larger than itself.
      {"{\\rtf1 \\paperw100\\paperh100\\margl5000\\margr5000\\margt5000\\margb5000 x\\par}",
       {kMinPageTwips, kMinPageTwips, 540, 540, 540, 540}},
      // One margin wider than the paper, the other zero.
      {"{\\rtf1 \\paperw12240\\paperh15840\\margl20000\\margr0\\margt0\\margb15840 x\\par}",
       {12240, 15840, 5940, 5940, 7740, 7740}},
      // An ordinary page is left as it is.
      {"{\\rtf1 \\paperw12240\\paperh15840\\margl1800\\margr1440\\margt720\\margb1080 x\\par}",
       {12240, 15840, 1800, 1440, 720, 1080}},
  };
  for (const Case& c : cases) {
    DocumentReadResult rtf = ReadRtfFile(c.rtf);
    ASSERT_TRUE(rtf.ok) << c.rtf;
    EXPECT_EQ(rtf.document.page, c.page) << c.rtf;
    EXPECT_EQ(rtf.page, PageSettingsOf(c.page)) << c.rtf;
    DocumentReadResult txm = ReadTxm(WriteTxm(rtf.document));
    ASSERT_TRUE(txm.ok) << c.rtf << ": " << txm.detail;
    EXPECT_EQ(txm.document.page, c.page) << c.rtf;
    EXPECT_EQ(txm.document.PlainText(), "x");
  }
}

// A ".txm" page record within the largest page whose margins leave no room is opened on
// the page limits, not refused (as files written before the limits may hold).
TEST(TxmFile, TxmPageIsBroughtWithinTheLimits) {
  DocumentReadResult r = ReadTxm(Header23(12000, 1440, 12000, 1440, 16837, 12000) + "{\\rtf1 x}");
  ASSERT_TRUE(r.ok) << r.detail;
  EXPECT_EQ(r.page.PageMarginL, (12000 - kMinTextTwips) / 2);
  EXPECT_EQ(r.page.PageMarginR, (12000 - kMinTextTwips) / 2);
  EXPECT_EQ(r.page.PaperSizeIndex, 5);
  EXPECT_EQ(r.document.page.marginLeft, r.page.PageMarginL);
}

TEST(TxmFile, KeepsHeadersFieldsHiddenTextAndSectionMargins) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\margt720\\sectd\\margtsxn1134"
      "{\\footer \\pard Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 2}}\\par}"
      "\\pard Dear {\\field{\\*\\fldinst MERGEFIELD Name}{\\fldrslt Name}}{\\v  aside}\\par}");
  ASSERT_TRUE(r.ok);
  DocumentReadResult back = ReadTxm(WriteTxm(r.document));
  ASSERT_TRUE(back.ok) << back.detail;
  EXPECT_EQ(back.document, r.document);
  EXPECT_EQ(back.document.headersFooters.size(), 1u);
  EXPECT_EQ(back.document.page.sectionExtraTop, 414);
}
