// The window Reports ("Configure Reports"): what it opens on, the viewer questions, View,
// Edit, Browse, Create, OK and Cancel.
#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>

#include "tests/dialogs/AltLetters.h"
#include "tests/reportwin/ReportFixture.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class ReportsWindow : public ReportTest {
 protected:
  Reports& Open() {
    qv->mnuConfigReports->trigger();
    Reports* w = windows.IfLoaded<Reports>();
    EXPECT_NE(w, nullptr);
    return *w;
  }
};

TEST_F(ReportsWindow, OpensOnTheReportOfTheViewWithoutAskingForPaths) {
  eng.cfg.ReportViewer = "WinWord";
  qv->SelectTab(2);  // Loan
  Reports& w = Open();
  EXPECT_EQ(w.windowTitle().toStdString(), "Configure Reports");
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.Option1[1]->isChecked());
  EXPECT_EQ(w.TextStack->currentWidget(), w.Text1[1]);
  EXPECT_EQ(w.Text1[1]->text().toStdString(), folder + "Loan.rtf");
  EXPECT_EQ(w.Text1[3]->text().toStdString(), folder + "LVB.rtf");
  EXPECT_TRUE(w.Option2[1]->isChecked());
  EXPECT_TRUE(prompt.Asked().empty());  // the path question is not asked while loading
  EXPECT_FALSE(windows.Shared().PageListBusy);
  // The word processors of this platform are named.
  EXPECT_EQ(w.Option2[0]->text().toStdString(), "Quorvant Report Editor");
  EXPECT_EQ(w.Option2[1]->text().toStdString(), "LibreOffice &Writer");
  // Every Alt letter opens one thing, here and in the word-processor path window.
  EXPECT_EQ(Clashes(&w), "") << All(&w);
  FileError& f = windows.Get<FileError>();
  f.show();
  EXPECT_EQ(Clashes(&f), "") << All(&f);
  windows.Unload<FileError>();
  EXPECT_EQ(w.Option2[2]->text().toStdString(), "&Desktop RTF Program");

  w.Option1[3]->click();
  EXPECT_EQ(w.TextStack->currentWidget(), w.Text1[3]);
}

TEST_F(ReportsWindow, ChoosingAWordProcessorAsksForItsPath) {
  eng.cfg.WordPath = "/opt/lo/soffice";
  Reports& w = Open();
  prompt.Input("");  // empty: the old path stays
  w.Option2[1]->click();
  EXPECT_EQ(prompt.Last()->text, "Enter the complete path to soffice (LibreOffice); empty: soffice on PATH");
  EXPECT_EQ(eng.cfg.WordPath, "/opt/lo/soffice");
  prompt.Input("/usr/bin/ted");
  w.Option2[2]->click();
  EXPECT_EQ(prompt.Last()->text, "Enter the complete path to the program for RTF files; empty: xdg-open");
  EXPECT_EQ(eng.cfg.WordPadPath, "/usr/bin/ted");
  w.Option2[0]->click();  // the built-in editor asks nothing
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(ReportsWindow, ViewMergesTheTemplateInTheBoxAndCancelKeepsItForThisRunOnly) {
  const std::string cfgBefore = ReadFile(folder + "Quorvant.Cfg");
  fs::copy_file(folder + "Lease.rtf", folder + "Lease2.rtf");
  Reports& w = Open();
  w.Text1[0]->setText(QString::fromStdString(folder + "Lease2.rtf"));
  w.Command1_Click(0);
  EXPECT_EQ(qv->LastReportPath, folder + "Lease2.QVR");
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease2.rtf");
  w.Command2_Click(1);
  EXPECT_EQ(windows.IfLoaded<Reports>(), nullptr);
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease2.rtf");
  EXPECT_EQ(ReadFile(folder + "Quorvant.Cfg"), cfgBefore);
}

TEST_F(ReportsWindow, EditOpensTheTemplateItselfAndBrowseOnlyFillsTheBox) {
  Reports& w = Open();
  w.Option2[0]->click();  // the built-in editor
  w.Command1_Click(1);
  ASSERT_NE(EditorDocument(), nullptr);
  EXPECT_EQ(EditorDocument()->Caption().toStdString(), Upper(folder + "Lease.RTF"));
  EXPECT_EQ(EditorDocument()->filePath, folder + "Lease.rtf");
  EXPECT_EQ(eng.cfg.ReportViewer, "QVEdit");
  EXPECT_FALSE(Exists("Lease.QVR"));

  prompt.File(folder + "Cash.rtf");
  w.Command1_Click(2);
  EXPECT_EQ(prompt.Last()->file.title, "Open");
  EXPECT_EQ(prompt.Last()->file.filter, "Rich Text Format (*.rtf)|*.rtf");
  EXPECT_EQ(w.Text1[0]->text().toStdString(), folder + "Cash.rtf");
  EXPECT_EQ(eng.cfg.LeaseTemplatePath, folder + "Lease.rtf");
  prompt.File(std::nullopt);
  w.Command1_Click(2);
  EXPECT_EQ(w.Text1[0]->text().toStdString(), folder + "Cash.rtf");
}

TEST_F(ReportsWindow, CreateMakesAnEmptyTemplateAndNeverEmptiesOne) {
  Reports& w = Open();
  w.Option2[0]->click();
  // Nothing for an empty answer.
  prompt.Input("");
  w.Command1_Click(3);
  EXPECT_EQ(prompt.Last()->text, "Enter File Name of New Report File (eight characters max):");
  EXPECT_EQ(EditorDocument(), nullptr);

  // "Spring.doc" becomes Spring.rtf in the program folder, opened for editing.
  prompt.Input("Spring.doc");
  w.Command1_Click(3);
  ASSERT_TRUE(Exists("Spring.rtf"));
  EXPECT_EQ(ReadFile(folder + "Spring.rtf").rfind("{\\rtf1", 0), 0u);
  ASSERT_NE(EditorDocument(), nullptr);
  EXPECT_EQ(EditorDocument()->Caption().toStdString(), Upper(folder + "Spring.RTF"));

  // An existing name, in any case, is refused and the template kept.
  const std::string lease = ReadFile(folder + "Lease.rtf");
  prompt.Input("LEASE").Answer(ui::Answer::OK);
  w.Command1_Click(3);
  EXPECT_EQ(prompt.MessageTexts().back(), "The report file " + folder +
                                              "Lease.rtf exists already. Choose another name, or edit it with "
                                              "Edit Report File.");
  EXPECT_EQ(ReadFile(folder + "Lease.rtf"), lease);

  // A name that cannot be a file name is refused.
  prompt.Input("a:b").Answer(ui::Answer::OK);
  w.Command1_Click(3);
  EXPECT_EQ(prompt.MessageTexts().back(), "\"a:b\" cannot be the name of a report file.");
  EXPECT_FALSE(Exists("a:b.rtf"));
  EXPECT_TRUE(prompt.Exhausted());

  // OK: the settings file is written and the new template is in the custom-report menu.
  w.Command2_Click(0);
  EXPECT_EQ(windows.IfLoaded<Reports>(), nullptr);
  EXPECT_EQ(CustomMenu(), (std::vector<std::string>{"Cashreqd", "Pmtcalc", "Rovozevi", "Spring"}));
  EXPECT_NE(ReadFile(folder + "Quorvant.Cfg").find("\"QVEdit\""), std::string::npos);
}

TEST_F(ReportsWindow, OkSavesTheTemplatesAndTheViewer) {
  Reports& w = Open();
  w.Text1[2]->setText(QString::fromStdString(folder + "pmtcalc.rtf"));
  prompt.Input(std::nullopt);
  w.Option2[2]->click();
  w.Command2_Click(0);
  EXPECT_EQ(eng.cfg.CashTemplatePath, folder + "pmtcalc.rtf");
  EXPECT_EQ(eng.cfg.ReportViewer, "WordPad");
  const std::string cfg = ReadFile(folder + "Quorvant.Cfg");
  EXPECT_NE(cfg.find("\"" + folder + "pmtcalc.rtf\""), std::string::npos);
  EXPECT_NE(cfg.find("\"WordPad\""), std::string::npos);
  // pmtcalc.rtf is now a configured template: it leaves the menu, Cash.rtf joins it.
  EXPECT_EQ(CustomMenu(), (std::vector<std::string>{"Cash", "Cashreqd", "Rovozevi"}));
}

}  // namespace
}  // namespace qv::test
