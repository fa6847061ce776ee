// What the editor keeps of a file it opens and saves again: headers, footers, fields, hidden
// text, the widths of tables, tab stops where the file puts them; and the one message that
// names what it cannot keep.
#include "tests/editor/EditorFixture.h"
#include "tests/editor/Programs.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextTable>

#include "editor/Formats.h"
#include "editor/richtext/Rtf.h"

namespace qv::editor::test {

namespace rt = qv::richtext;

namespace {

// The boxes (xMin, xMax in points) of the words of the first page of a PDF that read `word`.
std::vector<std::pair<double, double>> WordBoxes(const std::string& pdf, const QString& word) {
  const QString html = QString::fromStdString(
      RunProgram("pdftotext", {"-bbox", "-f", "1", "-l", "1", QString::fromStdString(pdf), "-"}));
  std::vector<std::pair<double, double>> boxes;
  const QRegularExpression re(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">") +
                              QRegularExpression::escape(word) + "</word>");
  for (auto it = re.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    boxes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
  }
  return boxes;
}

rt::Document ReadSaved(const std::string& bytes) {
  rt::RtfReadResult r = rt::ReadRtf(bytes);
  EXPECT_TRUE(r.ok) << r.error;
  return r.document;
}

}  // namespace

class KeepTest : public EditorTest {};

TEST_F(KeepTest, OpeningNamesWhatIsNotKeptOnceAndSavingKeepsTheRest) {
  const std::string path = Write(
      "letter.rtf",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\margt720\\sectd\\margtsxn1134"
      "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}\\listid1}}"
      "{\\header \\pard Lease {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
      "\\pard\\ls1{\\listtext 1.\\tab}Dear {\\field{\\*\\fldinst MERGEFIELD Name}{\\fldrslt Name}}{\\v  note}\\par"
      "\\pard{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 0102}\\par}");
  prompt.Answer(ui::Answer::OK);
  frmMDIChild* window = editor->LoadDocument(path, int(FormatForOpening(path)));
  ASSERT_NE(window, nullptr);
  TextControl& tx = *window->TXTextControl1;
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  const std::string message = prompt.MessageTexts()[0];
  EXPECT_NE(message.find("1 picture in a form other than PNG or JPEG (such as WMF or EMF)"), std::string::npos) << message;
  EXPECT_NE(message.find("lists"), std::string::npos) << message;
  // The shown text: the list's number, the field's result and the hidden text.
  EXPECT_EQ(tx.document()->toPlainText().toStdString(), "1.\tDear Name note\n");
  // Page Setup shows the document's margin, not the section's.
  EXPECT_EQ(tx.PageMarginT(), 720);

  const std::string saved = Path("saved.rtf");
  ASSERT_TRUE(editor->SaveDocument(saved));
  EXPECT_EQ(prompt.MessageTexts().size(), 1u);  // the save says nothing more
  const rt::Document d = ReadSaved(Read(saved));
  ASSERT_EQ(d.headersFooters.size(), 1u);
  EXPECT_EQ(d.headersFooters[0].kind, "header");
  const auto& top = std::get<rt::Paragraph>(d.headersFooters[0].blocks.at(0));
  ASSERT_EQ(top.runs.size(), 2u);
  EXPECT_EQ(top.runs[1].instruction, "PAGE");
  EXPECT_EQ(d.page.marginTop, 720);
  EXPECT_EQ(d.page.sectionExtraTop, 414);
  const auto& body = std::get<rt::Paragraph>(d.blocks.at(0));
  std::vector<std::string> runs;
  for (const rt::TextRun& r : body.runs)
    runs.push_back((r.kind == rt::TextRun::Kind::Field ? "field " + r.instruction + "=" : "") + r.text +
                   (r.format.hidden ? " (hidden)" : ""));
  EXPECT_EQ(runs, (std::vector<std::string>{"1.\tDear ", "field MERGEFIELD Name=Name", " note (hidden)"}));
}

// A Word file with a drawing-object text box, a list without its labels, page numbers, a
// symbol field and shape properties: the window shows the box's text, the labels, the numbers
// and the symbol, never the properties or a field's code; a save keeps all of it.
TEST_F(KeepTest, BoxesListLabelsAndFieldValuesShowAndAreSaved) {
  const std::string path = Write(
      "word.rtf",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}"
      "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
      "\\listid3}}{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}"
      "{\\footer \\pard Folio \\chpgn\\par}"
      "\\pard Order{\\shp{\\sp{\\sn fLine}{\\sv 0}}} 12\\par"
      "\\pard {\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext\\pard Two keys\\par}\\dpx0\\dpy0}Signed\\par"
      "\\pard\\ls1\\fi-360\\li720 Paint\\par\\pard\\ls1\\fi-360\\li720 Papers\\par"
      "\\pard Page {\\field{\\*\\fldinst PAGE}} {\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}}\\par}");
  prompt.Answer(ui::Answer::OK);
  frmMDIChild* window = editor->LoadDocument(path, int(FormatForOpening(path)));
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_NE(prompt.MessageTexts()[0].find("1 text box"), std::string::npos) << prompt.MessageTexts()[0];
  TextControl& tx = *window->TXTextControl1;
  EXPECT_EQ(tx.document()->toPlainText().toStdString(),
            "Order 12\nTwo keys\nSigned\n1.\tPaint\n2.\tPapers\nPage 1 \xE2\x80\xA2");

  const std::string saved = Path("saved.rtf");
  ASSERT_TRUE(editor->SaveDocument(saved));
  const rt::Document d = ReadSaved(Read(saved));
  EXPECT_EQ(d.PlainText(), "Order 12\nTwo keys\nSigned\n1.\tPaint\n2.\tPapers\nPage  ");
  const auto& last = std::get<rt::Paragraph>(d.blocks.back());
  ASSERT_EQ(last.runs.size(), 4u);
  EXPECT_EQ(last.runs[1].instruction, "PAGE");
  EXPECT_EQ(last.runs[1].text, "");
  EXPECT_EQ(last.runs[3].instruction, "SYMBOL 183 \\f \"Symbol\"");
  EXPECT_EQ(last.runs[3].text, "");
  ASSERT_EQ(d.headersFooters.size(), 1u);
  const auto& folio = std::get<rt::Paragraph>(d.headersFooters[0].blocks.at(0));
  ASSERT_EQ(folio.runs.size(), 2u);
  EXPECT_EQ(folio.runs[1].instruction, "PAGE");
}

// Page number fields without a result show the page their text stands on and the number of
// pages; a save leaves them without a result, for the program that opens it to number, and
// nothing was changed by opening.
TEST_F(KeepTest, PageNumberFieldsShowTheirPages) {
  const std::string path = Write(
      "pages.rtf",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
      "\\pard Page {\\field{\\*\\fldinst PAGE}} of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt }}\\par"
      "\\pard\\page Page \\chpgn\\par"
      "\\pard\\page Page {\\field{\\*\\fldinst PAGE}} of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 7}}\\par}");
  frmMDIChild* window = editor->LoadDocument(path, int(FormatForOpening(path)));
  ASSERT_NE(window, nullptr);
  TextControl& tx = *window->TXTextControl1;
  ASSERT_EQ(tx.CurrentPages(), 3);
  // A stored result (7) is shown as it is.
  EXPECT_EQ(tx.document()->toPlainText().toStdString(), "Page 1 of 3\nPage 2\nPage 3 of 7");
  EXPECT_FALSE(tx.document()->isUndoAvailable());

  const std::string saved = Path("saved.rtf");
  ASSERT_TRUE(editor->SaveDocument(saved));
  const rt::Document d = ReadSaved(Read(saved));
  std::vector<std::string> fields;
  for (const rt::Block& b : d.blocks)
    for (const rt::TextRun& r : std::get<rt::Paragraph>(b).runs)
      if (r.kind == rt::TextRun::Kind::Field) fields.push_back(r.instruction + "=" + r.text);
  EXPECT_EQ(fields, (std::vector<std::string>{"PAGE=", "NUMPAGES=", "PAGE=", "PAGE=", "NUMPAGES=7"}));
}

// A report handed to the editor names what it cannot keep, as opening does, and keeps the rest.
TEST_F(KeepTest, AReportHandedOverNamesWhatIsNotKept) {
  const std::string path = Write(
      "report.rtf",
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
      "\\pard Lease for {\\field{\\*\\fldinst MERGEFIELD Name}{\\fldrslt Dana}}\\par"
      "\\pard{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 0102}\\par}");
  prompt.Answer(ui::Answer::OK);
  ASSERT_TRUE(editor->OpenReport(path));
  ASSERT_EQ(prompt.MessageTexts().size(), 1u);
  EXPECT_NE(prompt.MessageTexts()[0].find("1 picture in a form other than PNG or JPEG"), std::string::npos)
      << prompt.MessageTexts()[0];
  ASSERT_NE(editor->ActiveDocument(), nullptr);
  EXPECT_EQ(editor->ActiveDocument()->TXTextControl1->document()->toPlainText().toStdString(), "Lease for Dana\n");
}

TEST_F(KeepTest, AnInsertedTableIsSavedAsWideAsTheText) {
  Frame();
  TextControl& tx = Tx(1);
  ASSERT_TRUE(tx.TableInsert(2, 3));
  const std::string saved = Path("table.rtf");
  ASSERT_TRUE(editor->SaveDocument(saved));
  const rt::Document d = ReadSaved(Read(saved));
  const int textWidth = d.page.width - d.page.marginLeft - d.page.marginRight;
  const rt::Table* table = nullptr;
  for (const rt::Block& b : d.blocks)
    if (auto* t = std::get_if<rt::Table>(&b)) table = t;
  ASSERT_NE(table, nullptr);
  for (const rt::TableRow& row : table->rows) {
    ASSERT_EQ(row.cells.size(), 3u);
    EXPECT_EQ(row.cells.back().rightEdge - row.leftEdge, textWidth);
    EXPECT_NEAR(row.cells[0].rightEdge - row.leftEdge, textWidth / 3, 1);
  }
  // Opened again, the table is as wide as before.
  ASSERT_NE(editor->LoadDocument(saved, int(FormatForOpening(saved))), nullptr);
  TextControl& again = Tx(2);
  QTextTable* reopened = nullptr;
  for (QTextBlock b = again.document()->begin(); b.isValid() && !reopened; b = b.next())
    reopened = QTextCursor(b).currentTable();
  ASSERT_NE(reopened, nullptr);
  double width = 0;
  for (const QTextLength& l : reopened->format().columnWidthConstraints()) width += l.rawValue();
  EXPECT_NEAR(width * 15, textWidth, 3);
}

TEST_F(KeepTest, TabStopsPrintWhereLibreOfficePrintsThem) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\paperw12240\\paperh15840\\margl1440\\margr1440\n"
      "\\pard\\tqr\\tx7200 No indent\\tab RIGHT\\par\n"
      "\\pard\\li1440\\tqr\\tx7200 Indent 1 inch\\tab RIGHT\\par\n"
      "\\pard\\li1440\\tx3600 Left tab\\tab Xa\\par\n"
      "\\pard\\tx3600 Left tab\\tab Xa\\par\n}";
  const std::string path = Write("tabs.rtf", rtf);
  ASSERT_NE(editor->LoadDocument(path, int(FormatForOpening(path))), nullptr);
  ui::PrintTarget target;
  target.pdfPath = Path("editor.pdf");
  prompt.Print(target);
  Doc(1).mnuFile_Print_Click();
  const QString out = QDir(dir.path()).filePath("lo");
  RunProgram("timeout", {"180", "soffice", "-env:UserInstallation=file://" + QDir(dir.path()).filePath("profile"), "--headless",
                  "--norestore", "--convert-to", "pdf", "--outdir", out, QString::fromStdString(path)},
             190000);
  const std::string lo = QDir(out).filePath("tabs.pdf").toStdString();
  const auto oursRight = WordBoxes(target.pdfPath, "RIGHT"), theirsRight = WordBoxes(lo, "RIGHT");
  const auto oursLeft = WordBoxes(target.pdfPath, "Xa"), theirsLeft = WordBoxes(lo, "Xa");
  ASSERT_EQ(oursRight.size(), 2u);
  ASSERT_EQ(theirsRight.size(), 2u) << "LibreOffice made no PDF of " << path;
  ASSERT_EQ(oursLeft.size(), 2u);
  ASSERT_EQ(theirsLeft.size(), 2u);
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_NEAR(theirsRight[k].second, 432, 2) << k;  // a right tab 5 inches from the margin
    EXPECT_NEAR(oursRight[k].second, theirsRight[k].second, 2) << k;
    EXPECT_NEAR(theirsLeft[k].first, 252, 2) << k;  // a left tab 2.5 inches from the margin
    EXPECT_NEAR(oursLeft[k].first, theirsLeft[k].first, 2) << k;
  }
  // Saved again, the tab stops are the file's.
  const std::string saved = Path("tabs-saved.rtf");
  ASSERT_TRUE(editor->SaveDocument(saved));
  const rt::Document d = ReadSaved(Read(saved));
  std::vector<int> stops;
  for (const rt::Block& b : d.blocks)
    for (const rt::TabStop& t : std::get<rt::Paragraph>(b).format.tabs) stops.push_back(t.position);
  EXPECT_EQ(stops, (std::vector<int>{7200, 7200, 3600, 3600}));
}

}  // namespace qv::editor::test
