// The hand-off of a report: to the built-in editor (a document window captioned with the
// report's path in upper case, saved back to that file), to a word processor started with
// the report as its one argument, and the window FileError when the program cannot be
// started. The last test starts the real LibreOffice through the same code path.
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "editor/TextControl.h"
#include "reports/ReportFields.h"
#include "reports/ReportGen.h"
#include "tests/reportwin/ReportFixture.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

using HandOff = ReportTest;

TEST_F(HandOff, TheEditorShowsTheReportUnderItsPathInUpperCaseAndSavesItBack) {
  eng.cfg.ReportViewer = "QVEdit";
  qv->mnuReports_Click(0);
  editor::frmMDIChild* doc = EditorDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Caption().toStdString(), Upper(folder + "Lease.QVR"));
  EXPECT_NE(doc->TXTextControl1->document()->toPlainText().indexOf("368.50"), -1);
  EXPECT_TRUE(starts.empty());

  // Save writes the report file, not a file named by the upper-case caption.
  QTextCursor c(doc->TXTextControl1->document());
  c.insertText("Approved by the finance desk. ");
  ASSERT_TRUE(qv->ReportEditor().FileSave());
  const std::string saved = ReadFile(folder + "Lease.QVR");
  EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
  EXPECT_NE(saved.find("Approved by the finance desk."), std::string::npos);

  // A second report opens a second document window.
  qv->mnuReports_Click(1);
  ASSERT_NE(EditorDocument(), doc);
  EXPECT_EQ(EditorDocument()->Caption().toStdString(), Upper(folder + "Loan.QVR"));
}

TEST_F(HandOff, TheRebateReportIsMergedAndShownWithHalfInchMargins) {
  eng.cfg.ReportViewer = "WinWord";  // the rebate report always goes to the editor
  reports::ReportContext ctx(eng);
  // The rebates button and the File > Reports item of kind 4.
  for (const bool button : {true, false}) {
    SCOPED_TRACE(button ? "button" : "menu");
    fs::remove(folder + "RovOzevi.QVR");
    if (button) qv->Command8->click();
    else qv->mnuReports_Click(4);
    editor::frmMDIChild* doc = EditorDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Caption().toStdString(), Upper(folder + "RovOzevi.QVR"));
    EXPECT_EQ(doc->TXTextControl1->PageMarginL(), 720);
    EXPECT_EQ(doc->TXTextControl1->PageMarginB(), 720);
    EXPECT_TRUE(starts.empty());
    const QString text = doc->TXTextControl1->document()->toPlainText();
    for (const char* field : {"[Name]", "[Margin]", "[CarName]", "[Holdback]", "[Date]"})
      EXPECT_EQ(text.indexOf(field), -1) << field;
    const std::string margin = reports::ReportFieldValue(ctx, "Margin");
    ASSERT_FALSE(margin.empty());
    EXPECT_NE(text.indexOf(QString::fromStdString(margin)), -1) << margin;
    ASSERT_TRUE(Exists("RovOzevi.QVR"));
  }
}

TEST_F(HandOff, TheWordProcessorsGetTheReportAsTheirOneArgument) {
  struct Case {
    std::string viewer, wordPath, wordPadPath, program;
    std::vector<std::string> firstArgs;
  } cases[] = {
      {"WinWord", "", "", "soffice", {"--writer"}},
      {"WinWord", "/opt/libreoffice/program/soffice", "", "/opt/libreoffice/program/soffice", {"--writer"}},
      {"WinWord", "/usr/bin/abiword", "", "/usr/bin/abiword", {}},
      {"WordPad", "", "", "xdg-open", {}},
      {"WordPad", "", "/usr/bin/ted", "/usr/bin/ted", {}},
  };
  // A folder with a blank and a quote stays inside the one argument.
  fs::create_directories(folder + "my \"forms\"");
  fs::copy_file(folder + "Lease.rtf", folder + "my \"forms\"/Lease.rtf");
  eng.cfg.LeaseTemplatePath = folder + "my \"forms\"/Lease.rtf";
  for (const Case& c : cases) {
    starts.clear();
    eng.cfg.ReportViewer = c.viewer;
    eng.cfg.WordPath = c.wordPath;
    eng.cfg.WordPadPath = c.wordPadPath;
    qv->mnuReports_Click(0);
    ASSERT_EQ(starts.size(), 1u) << c.program;
    EXPECT_EQ(starts[0].program, c.program);
    std::vector<std::string> args = c.firstArgs;
    args.push_back(folder + "my \"forms\"/Lease.QVR");
    EXPECT_EQ(starts[0].args, args) << c.program;
  }
  EXPECT_EQ(EditorDocument(), nullptr);
}

TEST_F(HandOff, AProgramThatCannotBeStartedAsksForItsPath) {
  const std::string cfgBefore = ReadFile(folder + "Quorvant.Cfg");
  eng.cfg.ReportViewer = "WordPad";
  eng.cfg.WordPath = "/opt/word";
  eng.cfg.WordPadPath = "/nowhere/wordpad";
  startResults = {false};

  // Cancel: nothing stored, nothing written, DialogDone not left set.
  prompt.Modal([&](ui::ModalWindow& m) {
    auto& w = dynamic_cast<FileError&>(m);
    EXPECT_EQ(w.windowTitle().toStdString(), "File Error");
    EXPECT_EQ(w.Label1->text().toStdString(), "Could not find File.");
    EXPECT_EQ(w.Text1->text().toStdString(), "/nowhere/wordpad");
    w.Text1->setText("/typed/but/cancelled");
    w.Command1_Click(1);
    return w.result();
  });
  qv->mnuReports_Click(0);
  EXPECT_TRUE(prompt.Exhausted());
  EXPECT_EQ(starts.size(), 1u);
  EXPECT_EQ(eng.cfg.WordPadPath, "/nowhere/wordpad");
  EXPECT_EQ(eng.DialogDone, 0);
  EXPECT_EQ(ReadFile(folder + "Quorvant.Cfg"), cfgBefore);

  // Browse cancelled: as Cancel.
  starts.clear();
  prompt.Modal([&](ui::ModalWindow& m) {
    auto& w = dynamic_cast<FileError&>(m);
    w.Command1_Click(2);
    return w.result();
  });
  prompt.File(std::nullopt);
  qv->mnuReports_Click(0);
  EXPECT_TRUE(prompt.Exhausted());
  EXPECT_EQ(starts.size(), 1u);
  EXPECT_EQ(prompt.Last()->file.filter, "Programs (*)|*");
  EXPECT_EQ(eng.cfg.WordPadPath, "/nowhere/wordpad");
  EXPECT_EQ(eng.DialogDone, 0);

  // Browse to a program, then OK: the path is stored and saved, and the start is tried again
  // with it. A DialogDone left by an earlier window does not make OK a cancel.
  starts.clear();
  startResults = {false, true};
  eng.DialogDone = -1;
  prompt.Modal([&](ui::ModalWindow& m) {
    auto& w = dynamic_cast<FileError&>(m);
    w.Command1_Click(2);
    EXPECT_EQ(w.Text1->text().toStdString(), "/usr/bin/ted");
    EXPECT_EQ(eng.cfg.WordPadPath, "/nowhere/wordpad");  // stored only by OK
    w.Command1_Click(0);
    return w.result();
  });
  prompt.File("/usr/bin/ted");
  qv->mnuReports_Click(0);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[1].program, "/usr/bin/ted");
  EXPECT_EQ(starts[1].args, std::vector<std::string>{folder + "Lease.QVR"});
  EXPECT_EQ(eng.cfg.WordPadPath, "/usr/bin/ted");
  EXPECT_EQ(eng.cfg.WordPath, "/opt/word");
  EXPECT_NE(ReadFile(folder + "Quorvant.Cfg").find("\"/usr/bin/ted\""), std::string::npos);
}

TEST_F(HandOff, TheToolbarPrintsTheReportJustGeneratedWhateverTheViewer) {
  eng.cfg.ReportViewer = "WinWord";
  // Another document is open in the editor; it is not the one printed.
  qv->ReportEditor().ShowEditor();
  qv->SelectTab(2);  // the Loan view: the loan report
  ui::PrintTarget pdf;
  pdf.pdfPath = folder + "printed.pdf";
  prompt.Print(pdf);
  qv->Toolbar_ButtonClick(4);
  ASSERT_EQ(starts.size(), 1u);
  ASSERT_NE(EditorDocument(), nullptr);
  EXPECT_EQ(EditorDocument()->Caption().toStdString(), Upper(folder + "Loan.QVR"));
  ASSERT_TRUE(Exists("printed.pdf"));
  QProcess p;
  p.start("pdftotext", {QString::fromStdString(folder + "printed.pdf"), "-"});
  ASSERT_TRUE(p.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed: scripts/setup.sh installs it";
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(text.contains("Loan")) << text.toStdString();

  // No report (a missing template): nothing is printed.
  fs::remove(folder + "Loan.rtf");
  prompt.Answer(ui::Answer::OK);
  qv->Toolbar_ButtonClick(4);
  EXPECT_TRUE(prompt.Exhausted());
}

// The path of a program on PATH, empty when there is none.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string p = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (::access(p.c_str(), X_OK) == 0) return p;
  }
  return {};
}

std::string Money(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  const size_t dot = s.find('.');
  for (int i = int(dot) - 3; i > 0; i -= 3) s.insert(size_t(i), ",");
  return "$" + s;
}

TEST_F(HandOff, LibreOfficeShowsTheLeaseReportOfTheSampleDeal) {
  ASSERT_FALSE(FindOnPath("soffice").empty())
      << "LibreOffice (soffice) is not on PATH. Install it with scripts/setup.sh (Debian packages "
         "libreoffice-writer and poppler-utils).";
  ASSERT_FALSE(FindOnPath("pdftotext").empty())
      << "pdftotext is not on PATH. Install it with scripts/setup.sh (Debian package poppler-utils).";
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const std::string out = tmp.path().toStdString();
  // The real start, made to convert to PDF and waited for: the hand-off gives the program
  // and the arguments; the test adds the headless conversion and a profile of its own.
  std::string log;
  ui::ScopedProgramStarter real([&](const std::string& program, const std::vector<std::string>& args) {
    starts.push_back({program, args});
    QStringList list = {QString::fromStdString("-env:UserInstallation=file://" + out + "/profile"), "--headless",
                        "--norestore", "--convert-to", "pdf", "--outdir", QString::fromStdString(out)};
    for (const std::string& a : args) list << QString::fromStdString(a);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString::fromStdString(program), list);
    if (!p.waitForStarted(30000)) return false;
    p.waitForFinished(240000);
    log = p.readAll().toStdString();
    return true;
  });
  eng.cfg.ReportViewer = "WinWord";
  eng.cfg.WordPath.clear();
  qv->mnuReports_Click(0);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].program, "soffice");
  const std::string pdf = out + "/Lease.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << log;

  QProcess p;
  p.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(p.waitForFinished(60000));
  const std::string text = QString::fromUtf8(p.readAllStandardOutput()).toStdString();
  // Worked by hand: cap cost 20000 + 500 + 1000 = 21500; payment (21500 - 12000) / 36 +
  // (21500 + 12000) x .0025 = 347.638889, with 6 % tax 368.497222 -> $368.50; the cash due
  // is the first payment and a security deposit of the payment rounded up to 25: 368.50 +
  // 375 = $743.50. The engine's results agree.
  EXPECT_EQ(Money(eng.res.PaymentWT), "$368.50");
  EXPECT_EQ(Money(eng.res.LCashReqd), "$743.50");
  EXPECT_NE(text.find("$368.50"), std::string::npos) << text;
  EXPECT_NE(text.find("$743.50"), std::string::npos) << text;
  EXPECT_EQ(text.find('['), std::string::npos) << text;
}

}  // namespace
}  // namespace qv::test
