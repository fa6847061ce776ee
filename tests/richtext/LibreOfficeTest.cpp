// Against LibreOffice Writer, the word processor of this platform: it reads what our writer
// writes, and our reader reads what it writes.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <QTextDocument>

#include "editor/richtext/Rtf.h"
#include "editor/richtextqt/RichTextQt.h"
#include "tests/richtext/Samples.h"

namespace fs = std::filesystem;
using namespace qv::richtext;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

Document ReadFixture(const char* name) {
  std::string rtf = ReadFile(fs::path(QV_SOURCE_DIR) / "tests/richtext/fixtures" / name);
  EXPECT_FALSE(rtf.empty()) << name;
  RtfReadResult r = ReadRtf(rtf);
  EXPECT_TRUE(r.ok) << name << ": " << r.error;
  return r.document;
}

const Paragraph& ParagraphWith(const Document& d, const std::string& text) {
  for (const Block& b : d.blocks)
    if (auto* p = std::get_if<Paragraph>(&b); p && p->PlainText().find(text) != std::string::npos) return *p;
  static const Paragraph none;
  ADD_FAILURE() << "no paragraph with " << text;
  return none;
}

const TextRun& RunWith(const Paragraph& p, const std::string& text) {
  for (const TextRun& r : p.runs)
    if (r.kind == TextRun::Kind::Text && r.text.find(text) != std::string::npos) return r;
  static const TextRun none;
  ADD_FAILURE() << "no run with " << text;
  return none;
}

const Table& FirstTable(const Document& d) {
  for (const Block& b : d.blocks)
    if (auto* t = std::get_if<Table>(&b)) return *t;
  static const Table none;
  ADD_FAILURE() << "no table";
  return none;
}

std::string CellText(const Table& t, size_t row, size_t cell) {
  if (row >= t.rows.size() || cell >= t.rows[row].cells.size()) return "(none)";
  std::string s;
  for (const Paragraph& p : t.rows[row].cells[cell].paragraphs) s += p.PlainText();
  return s;
}

// Runs LibreOffice in a folder of its own, with its own profile (tests run in parallel and
// two instances on one profile collide) and a time limit.
class LibreOffice : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "qv-soffice-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
      GTEST_FAIL() << "LibreOffice (soffice) is missing: scripts/setup.sh installs it "
                      "(Debian package libreoffice-writer)";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Converts a file; gives the path of the result, or an empty path with the log in a
  // test failure.
  fs::path Convert(const fs::path& input, const std::string& to, const std::string& extension,
                   const std::string& outName) {
    fs::path out = dir_ / outName;
    fs::create_directories(out);
    fs::path log = dir_ / (outName + ".log");
    std::string cmd = "timeout 180 soffice -env:UserInstallation=file://" + (dir_ / "profile").string() +
                      " --headless --norestore --convert-to '" + to + "' --outdir '" + out.string() + "' '" +
                      input.string() + "' >'" + log.string() + "' 2>&1";
    int rc = std::system(cmd.c_str());
    fs::path result = out / (input.stem().string() + "." + extension);
    if (rc != 0 || !fs::exists(result)) {
      ADD_FAILURE() << "soffice failed (" << rc << "): " << cmd << "\n" << ReadFile(log);
      return {};
    }
    return result;
  }

  // Writes the document with our writer to `name`.rtf and gives LibreOffice's HTML of it
  // (empty, with a test failure, when it made none).
  std::string HtmlOfOurSave(const Document& d, const std::string& name) {
    const fs::path rtf = dir_ / (name + ".rtf");
    WriteFile(rtf, WriteRtf(d));
    const fs::path html = Convert(rtf, "html", "html", "html");
    return html.empty() ? std::string() : ReadFile(html);
  }

  fs::path dir_;
};

// A report as our writer writes it: formats, alignments, a table, characters beyond ASCII.
Document Report() {
  Document d;
  auto para = [&](Alignment a, std::vector<std::pair<std::string, CharFormat>> runs) {
    Paragraph p;
    p.format.alignment = a;
    for (auto& [text, f] : runs) {
      TextRun r;
      r.text = text;
      r.format = f;
      p.runs.push_back(r);
    }
    return p;
  };
  CharFormat plain, bold, italic;
  bold.bold = true;
  italic.italic = true;
  d.blocks.push_back(para(Alignment::Center, {{"Lease Worksheet", bold}}));
  d.blocks.push_back(para(Alignment::Left, {{"Plain then ", plain}, {"bold words", bold}, {" and ", plain},
                                            {"italic words", italic}}));
  d.blocks.push_back(para(Alignment::Right, {{"Right aligned total", plain}}));
  d.blocks.push_back(para(Alignment::Justify, {{"Caf\xC3\xA9 \xE2\x82\xAC" "5 \xC5\x81\xC3\xB3" "d\xC5\xBA {braces} back\\slash", plain}}));
  Table t;
  const char* cells[2][3] = {{"Term", "Payment", "Due"}, {"36", "$412.50", "$1,000.00"}};
  for (auto& rowText : cells) {
    TableRow row;
    int edge = 0;
    for (const char* text : rowText) {
      TableCell cell;
      edge += 2000;
      cell.rightEdge = edge;
      cell.top = cell.bottom = cell.left = cell.right = BorderLine{BorderStyle::Single, 10, 0, std::nullopt};
      cell.paragraphs.push_back(para(Alignment::Left, {{text, row.cells.empty() ? bold : plain}}));
      row.cells.push_back(cell);
    }
    t.rows.push_back(row);
  }
  d.blocks.push_back(t);
  d.blocks.push_back(para(Alignment::Left, {{"After the table", plain}}));
  Normalize(d);
  return d;
}

}  // namespace

TEST_F(LibreOffice, ReadsOurRtfWithItsTextFormatsAlignmentAndTables) {
  fs::path rtf = dir_ / "report.rtf";
  WriteFile(rtf, WriteRtf(Report()));

  fs::path txt = Convert(rtf, "txt:Text (encoded):UTF8", "txt", "txt");
  ASSERT_FALSE(txt.empty());
  std::string text = ReadFile(txt);
  for (const char* expected : {"Lease Worksheet", "Plain then bold words and italic words", "Right aligned total",
                               "Caf\xC3\xA9 \xE2\x82\xAC" "5 \xC5\x81\xC3\xB3" "d\xC5\xBA {braces} back\\slash",
                               "Term", "$412.50", "$1,000.00", "After the table"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;

  // Through LibreOffice's own document (odt) and back to RTF, read by our reader.
  fs::path odt = Convert(rtf, "odt", "odt", "odt");
  ASSERT_FALSE(odt.empty());
  fs::path again = Convert(odt, "rtf", "rtf", "again");
  ASSERT_FALSE(again.empty());
  RtfReadResult r = ReadRtf(ReadFile(again));
  ASSERT_TRUE(r.ok) << r.error;
  const Document& d = r.document;
  EXPECT_EQ(ParagraphWith(d, "Lease Worksheet").format.alignment, Alignment::Center);
  EXPECT_TRUE(RunWith(ParagraphWith(d, "Lease Worksheet"), "Lease").format.bold);
  const Paragraph& mixed = ParagraphWith(d, "bold words");
  EXPECT_TRUE(RunWith(mixed, "bold words").format.bold);
  EXPECT_FALSE(RunWith(mixed, "Plain then").format.bold);
  EXPECT_TRUE(RunWith(mixed, "italic words").format.italic);
  EXPECT_FALSE(RunWith(mixed, "italic words").format.bold);
  EXPECT_EQ(ParagraphWith(d, "Right aligned").format.alignment, Alignment::Right);
  EXPECT_EQ(ParagraphWith(d, "braces").format.alignment, Alignment::Justify);
  const Table& t = FirstTable(d);
  ASSERT_EQ(t.rows.size(), 2u);
  ASSERT_EQ(t.rows[0].cells.size(), 3u);
  EXPECT_EQ(CellText(t, 0, 1), "Payment");
  EXPECT_EQ(CellText(t, 1, 2), "$1,000.00");
  EXPECT_NEAR(t.rows[1].cells[2].rightEdge, 6000, 20);  // LibreOffice keeps hundredths of a millimetre
  EXPECT_TRUE(t.rows[0].cells[0].paragraphs[0].runs[0].format.bold);
  EXPECT_EQ(ParagraphWith(d, "After the table").PlainText(), "After the table");
}

TEST(LibreOfficeRtf, FormatsAndAlignment) {
  Document d = ReadFixture("formats.rtf");
  EXPECT_EQ(d.page.width, 11906);  // A4 from its page table and section
  const Paragraph& first = ParagraphWith(d, "Plain");
  EXPECT_EQ(first.PlainText(), "Plain bold italic underlined struck both.");
  struct Case {
    const char* text;
    bool bold, italic, strike;
    Underline underline;
  } cases[] = {
      {"Plain", false, false, false, Underline::None},
      {"bold", true, false, false, Underline::None},
      {"italic", false, true, false, Underline::None},
      {"underlined", false, false, false, Underline::Single},
      {"struck", false, false, true, Underline::None},
      {"both", true, true, false, Underline::None},
  };
  for (const Case& c : cases) {
    const CharFormat& f = RunWith(first, c.text).format;
    EXPECT_EQ(f.bold, c.bold) << c.text;
    EXPECT_EQ(f.italic, c.italic) << c.text;
    EXPECT_EQ(f.strike, c.strike) << c.text;
    EXPECT_EQ(f.underline, c.underline) << c.text;
  }
  EXPECT_EQ(ParagraphWith(d, "Centered").format.alignment, Alignment::Center);
  EXPECT_EQ(ParagraphWith(d, "Right line").format.alignment, Alignment::Right);
  EXPECT_EQ(ParagraphWith(d, "Justified").format.alignment, Alignment::Justify);
  EXPECT_EQ(first.format.alignment, Alignment::Left);
  const Paragraph& colours = ParagraphWith(d, "Red text");
  EXPECT_EQ(RunWith(colours, "Red text").format.color, (Color{255, 0, 0}));
  EXPECT_EQ(RunWith(colours, "yellow").format.background, (Color{255, 255, 0}));
  const Paragraph& fonts = ParagraphWith(d, "Big mono");
  EXPECT_EQ(RunWith(fonts, "Big mono").format.font, "Courier New");
  EXPECT_EQ(RunWith(fonts, "Big mono").format.sizeHalfPoints, 36);
  EXPECT_GT(fonts.runs[2].format.raiseHalfPoints, 0);  // x squared
  EXPECT_EQ(fonts.PlainText(), "Big mono x2 H2O");
  EXPECT_EQ(ParagraphWith(d, "Caf").PlainText(),
            "Caf\xC3\xA9 \xE2\x82\xAC" "5 \xE2\x80\x9Cquoted\xE2\x80\x9D \xC5\x81\xC3\xB3" "d\xC5\xBA \xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(LibreOfficeRtf, Tables) {
  Document d = ReadFixture("table.rtf");
  EXPECT_EQ(d.PlainText(), "Before the table\nTerm\tPayment\tDue\n36\t$412.50\t$1,000.00\n48\t$331.20\t$0.00\nAfter the table");
  const Table& t = FirstTable(d);
  ASSERT_EQ(t.rows.size(), 3u);
  for (const TableRow& row : t.rows) ASSERT_EQ(row.cells.size(), 3u);
  EXPECT_TRUE(t.rows[0].cells[0].paragraphs[0].runs[0].format.bold);
  EXPECT_EQ(t.rows[1].cells[1].paragraphs[0].format.alignment, Alignment::Right);
  EXPECT_TRUE(t.rows[2].cells[2].paragraphs[0].runs[0].format.italic);
  EXPECT_LT(t.rows[0].cells[0].rightEdge, t.rows[0].cells[1].rightEdge);
  EXPECT_TRUE(t.rows[1].cells[0].left.present());  // the grid lines
}

TEST(LibreOfficeRtf, PicturesAndLineBreaks) {
  Document d = ReadFixture("picture.rtf");
  const Paragraph& p = ParagraphWith(d, "Logo");
  ASSERT_EQ(p.runs.size(), 3u);  // the picture once: its copy for old readers is skipped
  ASSERT_EQ(p.runs[1].kind, TextRun::Kind::Picture);
  EXPECT_EQ(p.runs[1].picture.format, PictureFormat::Png);
  EXPECT_EQ(p.runs[1].picture.width, 1440);  // 96 by 48 pixels
  EXPECT_EQ(p.runs[1].picture.height, 720);
  PixelSize px = ImagePixelSize(p.runs[1].picture.data);
  EXPECT_EQ(px.width, 4);
  EXPECT_EQ(px.height, 2);
  EXPECT_EQ(ParagraphWith(d, "Second").PlainText(), "Second paragraph\nwith a line break");
}

// Files as Word, WordPad and Word for Mac write them: LibreOffice reads our save of each
// with the same paragraphs and characters as the file itself (one conversion a folder).
TEST_F(LibreOffice, ReadsOurSaveOfWordProcessorsFilesAsTheFilesThemselves) {
  const std::pair<const char*, const char*> files[] = {
      {"cp1251", "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}"
                 "\\pard\\plain\\f0 \\'d2\\'e0\\'e1\\'eb\\'e8\\'f6\\'ff\\par}"},
      {"charset238", "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset238 Arial CE;}}"
                     "\\pard\\plain{\\f1 \\'c8l\\'e1nek t\\'fddne \\'fb\\'f5}\\par}"},
      {"cp932", "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\pard\\f0 "
                "\\'83\\'6f\\'81\\'5b\\'83\\'57\\'83\\'87\\'83\\'93\\par}"},
      {"mac", "{\\rtf1\\mac\\deff0{\\fonttbl{\\f0 Times;}}\\pard\\plain\\f0 Don\\'d5t \\'d2quoted\\'d3 caf\\'8e\\par}"},
      {"cpg-alone", "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fswiss\\cpg1251 Arial;}}"
                    "\\pard\\plain\\f1 \\'cf\\'f0\\'ee\\'e1\\'e5\\'e3\\par}"},
      {"sjis-raw-trail", "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}"
                         "\\pard\\plain\\f0 \x95\\\x96{\x83}\\par\\pard\\plain\\f0 \x90}x\\par}"},  // 表本マ, 図x
      {"mac-japanese", "{\\rtf1\\mac\\ansicpg10001\\cocoartf1038{\\fonttbl\\f0\\fnil\\fcharset78 HiraKakuProN-W3;"
                       "\\f1\\fswiss\\fcharset77 Helvetica;}\\pard\\f1 Kind: \\f0 \\'8c\\'a9\\'95\\'5c\\f1 \\'8e\\\n"
                       "\\f0 \\'97\\'5c\\\n}"},  // lines ended by a backslash and a line feed, as TextEdit writes them
      {"mac-greek-cyrillic", "{\\rtf1\\mac\\deff0{\\fonttbl{\\f0\\fcharset77 Helvetica;}{\\f1\\fcharset85 Lucida Grande;}"
                             "{\\f2\\fcharset89 Helvetica CY;}}\\pard\\plain\\f1 \\'e1\\'e3\\f2 \\'88\\'e2\\'e0\\'ed\\f0 \\'c6\\par}"},
      {"symbol", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}"
                 "\\pard\\f1 a\\f0 -D and \\f1 b\\f0 -D \\f1\\'b7\\'b9\\f0\\par}"},
      {"super", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\plain {Service Plan}{\\super \\'ae\\par}"
                "\\pard\\plain Second{\\sub 2}\\par\\pard\\plain Third\\par}"},
  };
  fs::create_directories(dir_ / "file");
  fs::create_directories(dir_ / "save");
  std::string names;
  for (const auto& [name, rtf] : files) {
    WriteFile(dir_ / "file" / (std::string(name) + ".rtf"), rtf);
    RtfReadResult r = ReadRtf(rtf);
    ASSERT_TRUE(r.ok) << name;
    WriteFile(dir_ / "save" / (std::string(name) + ".rtf"), WriteRtf(r.document));
    names += " '" + (dir_ / "file" / (std::string(name) + ".rtf")).string() + "' '" +
             (dir_ / "save" / (std::string(name) + ".rtf")).string() + "'";
  }
  // Both folders' files have the same names: convert each folder on its own.
  for (const char* folder : {"file", "save"}) {
    std::string cmd = "cd '" + (dir_ / folder).string() + "' && timeout 180 soffice -env:UserInstallation=file://" +
                      (dir_ / "profile").string() + " --headless --norestore --convert-to 'txt:Text (encoded):UTF8'" +
                      " --outdir txt *.rtf >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  for (const auto& [name, rtf] : files) {
    std::string original = ReadFile(dir_ / "file" / "txt" / (std::string(name) + ".txt"));
    std::string saved = ReadFile(dir_ / "save" / "txt" / (std::string(name) + ".txt"));
    EXPECT_FALSE(original.empty()) << name;
    // LibreOffice's text of a Symbol font keeps the font's private characters (U+F0xx); the
    // save has the Unicode characters they show.
    if (std::string_view(name) != "symbol") {
      EXPECT_EQ(saved, original) << name;
    }
  }
  EXPECT_NE(ReadFile(dir_ / "save" / "txt" / "symbol.txt").find("\xCE\xB1-D and \xCE\xB2-D \xE2\x80\xA2\xE2\x89\xA0"),
            std::string::npos);
  EXPECT_NE(ReadFile(dir_ / "save" / "txt" / "super.txt").find("Service Plan\xC2\xAE\nSecond2\nThird"), std::string::npos);
}

// A footnote read from Word's form and saved: LibreOffice shows it as a footnote with its text.
TEST_F(LibreOffice, ShowsTheFootnotesOfOurSave) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\plain Footnote here{\\super\\chftn"
                            "{\\footnote\\pard\\plain{\\super\\chftn} This is a footnote.}} and on.\\par}");
  ASSERT_TRUE(r.ok);
  const std::string text = HtmlOfOurSave(r.document, "note");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("sdfootnote1anc"), std::string::npos) << text;  // the mark, as a footnote's
  EXPECT_NE(text.find("This is a footnote."), std::string::npos) << text;
  EXPECT_NE(text.find("and on."), std::string::npos) << text;
}

// Text boxes, list labels the file does not spell out, page numbers, fields without a result
// and shape properties, as the editor opens and saves them: LibreOffice reads the save with
// the text, labels and footer it reads in the file itself.
TEST_F(LibreOffice, ReadsOurSaveOfBoxesListsAndPageNumbersAsTheFiles) {
  const std::string fonts = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}";
  struct File {
    const char* name;
    std::string rtf;
    std::vector<std::string> shown;  // what LibreOffice shows of the save, in order
  } files[] = {
      {"do", fonts + "\\pard Order 12.\\par\\pard {\\*\\do\\dobxcolumn\\dobypara\\dodhgt8192\\dptxbx{\\dptxbxtext"
                     "\\pard Two keys\\par}\\dpx0\\dpy0\\dpxsize3600\\dpysize720}Signed.\\par}",
       {"Order 12.", "Two keys", "Signed."}},
      {"shp", fonts + "\\pard Notes.\\par\\pard {\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright4320\\shpbottom864"
                      "{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt\\pard Spare wheel\\par}}{\\shprslt{\\*\\do\\dptxbx"
                      "{\\dptxbxtext\\pard Spare wheel\\par}}}}Checked.\\par}",
       {"Notes.", "Spare wheel", "Checked."}},
      {"ls", fonts + "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
                     "{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid5}{\\list{\\listlevel\\levelnfc23"
                     "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}\\listid6}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}{\\listoverride\\listid6\\ls2}}"
                     "\\pard Steps:\\par\\pard\\ls1\\fi-360\\li720 Paint\\par\\pard\\ls1\\fi-360\\li720 Papers\\par"
                     "\\pard\\ls2\\fi-360\\li720 Manual\\par\\pard End.\\par}",
       {"Steps:", "1.", "Paint", "2.", "Papers", "\xE2\x80\xA2", "Manual", "End."}},
      {"pn", fonts + "\\pard Before:\\par\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li720 Licence\\par"
                     "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li720 Tank\\par"
                     "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb \\'B7}}\\fi-360\\li720 Plates\\par\\pard End.\\par}",
       {"Before:", "1.", "Licence", "2.", "Tank", "Plates", "End."}},
      {"chpgn", fonts + "{\\footer\\pard\\qc Folio \\chpgn\\par}\\pard This is page {\\chpgn} of the offer.\\par}",
       {"This is page 1 of the offer."}},
      {"fields", fonts + "\\pard Sheet {\\field{\\*\\fldinst PAGE}} of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt }}\\par"
                         "\\pard Mark {\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}} paid\\par}",
       {"Sheet 1 of 1", "Mark", "paid"}},
      {"sp", fonts + "\\pard Stock 7781{\\shp{\\sp{\\sn fFilled}{\\sv 0}}{\\sp{\\sn fLine}{\\sv 0}}} ready\\par}",
       {"Stock 7781 ready"}},
  };
  fs::create_directories(dir_ / "save");
  for (const File& f : files) {
    RtfReadResult r = ReadRtf(f.rtf);
    ASSERT_TRUE(r.ok) << f.name;
    QTextDocument shown;
    qt::ToQTextDocument(r.document, shown);
    WriteFile(dir_ / "save" / (std::string(f.name) + ".rtf"), qt::ExportRtf(shown));
  }
  const std::string cmd = "cd '" + (dir_ / "save").string() + "' && timeout 180 soffice -env:UserInstallation=file://" +
                          (dir_ / "profile").string() + " --headless --norestore --convert-to 'txt:Text (encoded):UTF8'" +
                          " --outdir txt *.rtf >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (const File& f : files) {
    const std::string text = ReadFile(dir_ / "save" / "txt" / (std::string(f.name) + ".txt"));
    size_t at = 0;
    for (const std::string& s : f.shown) {
      const size_t found = text.find(s, at);
      EXPECT_NE(found, std::string::npos) << f.name << ": no \"" << s << "\" in order in\n" << text;
      if (found != std::string::npos) at = found + s.size();
    }
    // Nothing of a shape's properties or a field's instruction shows.
    for (const char* never : {"7781001", "SYMBOL", "PAGE", "{"})
      EXPECT_EQ(text.find(never), std::string::npos) << f.name << ": " << never << " in\n" << text;
  }
  // The box's text once; the footer's page number a page number field.
  const std::string shp = ReadFile(dir_ / "save" / "txt" / "shp.txt");
  EXPECT_EQ(shp.find("Spare wheel"), shp.rfind("Spare wheel")) << shp;
  const fs::path flat = Convert(dir_ / "save" / "chpgn.rtf", "fodt", "fodt", "fodt");
  ASSERT_FALSE(flat.empty());
  const std::string xml = ReadFile(flat);
  const size_t footer = xml.find("<style:footer>");
  ASSERT_NE(footer, std::string::npos) << xml;
  const size_t folio = xml.find("Folio ", footer);
  EXPECT_NE(folio, std::string::npos) << xml;
  EXPECT_NE(xml.find("<text:page-number", folio), std::string::npos) << xml;
  EXPECT_LT(xml.find("<text:page-number", folio), xml.find("</style:footer>", footer)) << xml;
}

// Cells merged down and across, saved: LibreOffice reads them merged.
TEST_F(LibreOffice, ReadsTheMergedCellsOfOurSave) {
  RtfReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\trowd\\clvmgf\\cellx3000\\clmgf\\cellx6000\\clmrg\\cellx9000"
      "\\pard\\plain\\intbl Merged\\cell Across\\cell\\cell\\row\\trowd\\clvmrg\\cellx3000\\cellx6000\\cellx9000"
      "\\pard\\plain\\intbl\\cell 2,2\\cell 2,3\\cell\\row\\pard After\\par}");
  ASSERT_TRUE(r.ok);
  const std::string text = HtmlOfOurSave(r.document, "merged");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("rowspan=\"2\""), std::string::npos) << text;
  EXPECT_NE(text.find("colspan=\"2\""), std::string::npos) << text;
}

// Word's nested tables, read and saved: LibreOffice reads the save with the inner tables as
// tables inside their cells, three levels as in the file, with their text.
TEST_F(LibreOffice, ReadsTheNestedTablesOfOurSave) {
  const std::string text = HtmlOfOurSave(ReadFixture("nested.rtf"), "nested");
  ASSERT_FALSE(text.empty());
  // Each table opens inside a cell of the one before it.
  size_t tables = 0, depth = 0, deepest = 0;
  for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
    if (text.compare(at, 6, "<table") == 0) {
      ++tables;
      deepest = std::max(deepest, ++depth);
    } else if (text.compare(at, 8, "</table>") == 0 && depth > 0) {
      --depth;
    }
  }
  EXPECT_EQ(tables, 3u) << text;
  EXPECT_EQ(deepest, 3u) << text;
  for (const char* word : {"Lenders", "Bank", "Rate", "North", "3.9", "Outer right", "After"})
    EXPECT_NE(text.find(word), std::string::npos) << word;
  EXPECT_LT(text.find("Lenders"), text.find("Bank"));
  EXPECT_LT(text.find("3.9"), text.find("Outer right"));
}

// Shading and a right tab stop past the margin, through the editor's document and saved:
// LibreOffice shows the backgrounds, and the dot leader and the number on the entry's line.
TEST_F(LibreOffice, ReadsTheShadingAndTabStopsOfOurSave) {
  RtfReadResult r = ReadRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                            "\\paperw12240\\margl1800\\margr1800\\pard\\cbpat1{\\chshdng10000\\chcfpat2 Shaded}\\par"
                            "\\pard\\tqr\\tldot\\tx9072 Summary\\tab 2\\par}");
  ASSERT_TRUE(r.ok);
  QTextDocument qdoc;
  qv::richtext::qt::ToQTextDocument(r.document, qdoc);
  const std::string text = HtmlOfOurSave(qv::richtext::qt::FromQTextDocument(qdoc), "shaded");
  ASSERT_FALSE(text.empty());
  const fs::path rtf = dir_ / "shaded.rtf";
  EXPECT_NE(text.find("background: #ff0000"), std::string::npos) << text;
  EXPECT_NE(text.find("background: #0000ff"), std::string::npos) << text;
  fs::path pdf = Convert(rtf, "pdf", "pdf", "pdf");
  ASSERT_FALSE(pdf.empty());
  fs::path txt = dir_ / "shaded.txt";
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'").c_str()), 0);
  const std::string shown = ReadFile(txt);
  EXPECT_TRUE(std::regex_search(shown, std::regex("Summary *\\.{20,} *2\\n"))) << shown;
}

// A letter with a header, a footer, page numbers, a merge field and hidden text, as
// LibreOffice writes it, opened and saved the editor's way (through the QTextDocument the
// editor shows): LibreOffice finds each of them in the save.
TEST_F(LibreOffice, FindsTheHeadersFootersAndFieldsOfOurSave) {
  fs::path letter = dir_ / "letter.rtf";
  WriteFile(letter,
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
            "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1134\\margb1134"
            "{\\header \\pard\\plain Lease header {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
            "{\\footer \\pard\\plain Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of "
            "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}"
            "\\pard\\plain Dear {\\field{\\*\\fldinst MERGEFIELD CustomerName}{\\fldrslt \\'abCustomerName\\'bb}},\\par"
            "\\pard\\plain {\\v secret} shown\\par}");
  fs::path written = Convert(letter, "rtf", "rtf", "lo");
  ASSERT_FALSE(written.empty());
  RtfReadResult r = ReadRtf(ReadFile(written));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_GE(r.document.headersFooters.size(), 2u);
  QTextDocument shown;
  qt::ToQTextDocument(r.document, shown);
  EXPECT_NE(shown.toPlainText().indexOf(QString::fromUtf8("Dear \xC2\xAB" "CustomerName\xC2\xBB,")), -1)
      << shown.toPlainText().toStdString();
  fs::create_directories(dir_ / "save");
  fs::path saved = dir_ / "save" / "letter.rtf";
  WriteFile(saved, qt::ExportRtf(shown));
  fs::path flat = Convert(saved, "fodt", "fodt", "fodt");
  ASSERT_FALSE(flat.empty());
  const std::string xml = ReadFile(flat);
  for (const char* what : {"<style:header>", "<style:footer>", "Lease header", "<text:page-number",
                           "<text:page-count", "text:column-name=\"CustomerName\"", "text:display=\"none\""})
    EXPECT_NE(xml.find(what), std::string::npos) << what;
  // The page keeps its top margin: LibreOffice's header stands in it as in the file it wrote.
  fs::path original = Convert(written, "fodt", "fodt", "fodt-lo");
  ASSERT_FALSE(original.empty());
  auto topMargin = [](const std::string& x) {
    size_t at = x.find("<style:page-layout-properties");
    if (at == std::string::npos) return std::string("none");
    at = x.find("fo:margin-top=\"", at);
    return at == std::string::npos ? std::string("none") : x.substr(at, x.find('"', at + 15) - at);
  };
  EXPECT_EQ(topMargin(xml), topMargin(ReadFile(original)));
}

// First-page, left and right headers and footers, opened and saved the editor's way: LibreOffice
// shows each page of the save with the header and footer it shows on that page of the file.
TEST_F(LibreOffice, ShowsTheFirstAndLeftPageHeadersOfOurSave) {
  const std::pair<const char*, const char*> files[] = {
      {"facing", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\paperw11906\\paperh16838\\facingp"
                 "\\sectd\\titlepg{\\headerf\\pard Front head\\par}{\\headerl\\pard Verso head\\par}"
                 "{\\headerr\\pard Recto head\\par}{\\footerf\\pard Front foot\\par}{\\footerl\\pard Verso foot\\par}"
                 "{\\footerr\\pard Recto foot\\par}\\pard Sheet one\\par\\page Sheet two\\par\\page Sheet three\\par}"},
      {"title", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\paperw11906\\paperh16838\\sectd\\titlepg"
                "{\\header\\pard Running head\\par}{\\headerf\\pard Letterhead\\par}{\\footerf\\pard Office address\\par}"
                "\\pard Sheet one\\par\\page Sheet two\\par}"},
  };
  const std::map<std::string, std::vector<std::string>> pages = {
      {"facing", {"Front head Sheet one Front foot", "Verso head Sheet two Verso foot", "Recto head Sheet three Recto foot"}},
      {"title", {"Letterhead Sheet one Office address", "Running head Sheet two"}},
  };
  // The words of each page of a PDF, one blank between them.
  auto pageTexts = [&](const fs::path& pdf, size_t count) {
    std::vector<std::string> texts;
    for (size_t k = 1; k <= count; ++k) {
      const fs::path txt = dir_ / "page.txt";
      const std::string cmd = "pdftotext -f " + std::to_string(k) + " -l " + std::to_string(k) + " '" +
                              pdf.string() + "' '" + txt.string() + "'";
      if (std::system(cmd.c_str()) != 0) return std::vector<std::string>{"pdftotext failed"};
      std::istringstream words(ReadFile(txt));
      std::string text, word;
      while (words >> word) text += (text.empty() ? "" : " ") + word;
      texts.push_back(text);
    }
    return texts;
  };
  for (const auto& [name, rtf] : files) {
    RtfReadResult r = ReadRtf(rtf);
    ASSERT_TRUE(r.ok) << name;
    QTextDocument shown;
    qt::ToQTextDocument(r.document, shown);
    const fs::path file = dir_ / "file" / (std::string(name) + ".rtf");
    const fs::path saved = dir_ / "save" / (std::string(name) + ".rtf");
    fs::create_directories(file.parent_path());
    fs::create_directories(saved.parent_path());
    WriteFile(file, rtf);
    WriteFile(saved, qt::ExportRtf(shown));
    const fs::path filePdf = Convert(file, "pdf", "pdf", std::string("file-") + name);
    const fs::path savedPdf = Convert(saved, "pdf", "pdf", std::string("save-") + name);
    ASSERT_FALSE(filePdf.empty() || savedPdf.empty()) << name;
    const std::vector<std::string>& expected = pages.at(name);
    EXPECT_EQ(pageTexts(filePdf, expected.size()), expected) << name;
    EXPECT_EQ(pageTexts(savedPdf, expected.size()), expected) << name;
  }
}
