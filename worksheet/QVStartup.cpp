// Start-up and shut-down of the main window, the settings file writer, the tax-setting
// list, the custom-report menu and the recent-files list.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>

#include <algorithm>
#include <cctype>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "platform/profile/Profile.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"
#include "worksheet/Settings.h"
#include "worksheet/Update.h"

namespace qv {

namespace {


std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void Report(const StartupError& e) { ui::GetPrompt().MsgBox(StartupErrorText(e)); }

constexpr const char* kRecentSection = "Last File List";

}  // namespace

void QV::Form_Load() {
  ui::Prompt& prompt = ui::GetPrompt();
  // The hourglass until the window is filled (also when a message is shown on the way).
  ui::BusyCursor busy;
  eng.ReleaseString = "5.0 Pro";
  setWindowState(windowState() | Qt::WindowMaximized);

  std::string folder = files::NormalizeSeparators(ProgramFolder);
  if (folder.empty() || folder.back() != '/') folder += '/';
  eng.AppFolder = folder;
  CMDialog1InitialDir = folder.substr(0, folder.size() - 1);

  Shared().PageListBusy = true;
  for (const StartupError& e : ReadConfigFile(eng)) Report(e);

  std::string error, notice;
  if (!eng.LoadTaxSet(&error, &notice)) prompt.MsgBox(error);
  ShowTaxSetNotice(notice);

  {
    QSignalBlocker block(Combo2);
    Combo2->clear();
    Combo2->addItem("");
  }
  eng.PageCount = 1;
  eng.CurrentPage = 1;
  Shared().PageListBusy = false;
  eng.page.LoanRate = eng.cfg.DefaultLoanRate;
  eng.page.InvestRate = eng.cfg.DefaultInvestRate;
  eng.page.FordAdminFactor = eng.cfg.DefaultAdminFactor;
  SetCombo2Text("");
  lblpagenum->setText("Page 1 of 1");
  if (eng.WorksheetFileName.empty()) eng.WorksheetFileName = "Untitled.vts";
  SetEnabledByRule(cmdbut2[2], false);
  setWindowTitle(Q("Quorvant: " + Upper(eng.WorksheetFileName)));

  // The data date and the reminder to get newer data.
  std::string dataDate;
  bool haveDate = false;
  {
    std::string content, why;
    const files::ReadResult read =
        files::ReadFileIfAny(files::ResolveNoCase(eng.AppFolder + "UpDate.Dat"), content, files::kDefaultReadLimit, &why);
    if (read == files::ReadResult::Missing) {
      Report({53, "File not found: UpDate.Dat"});
    } else if (read != files::ReadResult::Read) {
      Report({75, "Path/File access error: UpDate.Dat: " + why});
    } else {
      RecordReader r(content);
      std::string second;
      if (!r.NextText(dataDate)) Report({62, "Input past end of file: UpDate.Dat"});
      r.NextText(second);
      haveDate = true;
    }
  }
  lblDataDate->setText(Q("Rel: " + Trim(eng.ReleaseString) + "   Data: " + dataDate));
  if (haveDate) {
    std::optional<Date> d = ParseDateText(dataDate);
    if (!d) {
      Report({13, "Type mismatch: UpDate.Dat"});
    } else if (NowSerial() - d->Serial() > 60 && eng.cfg.NoUpdateReminder == 0) {
      show();
      ShowUpdateNotice();
    }
  }

  File1.Path = eng.AppFolder;
  File1.Pattern = "*.rtf";
  File1.Refresh();
  BuildCustomReportMenu();
  eng.page.DaysToFirstPayment = 30;

  // Where the profile file with the recent-files list lives: the folder named by
  // "Wini.pat", or the program folder when that file is missing or empty.
  {
    std::string iniFolder;
    std::string content;
    if (files::ReadWholeFile(files::ResolveNoCase(eng.AppFolder + "Wini.pat"), content)) {
      RecordReader r(content);
      r.NextText(iniFolder);
      iniFolder = files::NormalizeSeparators(Trim(iniFolder));
    }
    while (!iniFolder.empty() && iniFolder.back() == '/') iniFolder.pop_back();
    if (iniFolder.empty()) iniFolder = CMDialog1InitialDir;
    else if (iniFolder.front() != '/') iniFolder = eng.AppFolder + iniFolder;
    eng.SettingsIniPath = iniFolder + "/QVX.INI";
  }
  for (int k = 0; k < 4; ++k)
    eng.RecentFiles[k] = ReadProfileString(kRecentSection, std::to_string(k), "", eng.SettingsIniPath);
  ShowRecentFiles();

  if (!CommandLine.empty()) {
    WorksheetFileType = 5;
    if (!OpenWorksheetSequence(CommandLine, error)) prompt.MsgBox(error);
  }

  FillTaxSetList();
  int entry = Combo1->findText(Q(eng.tax.TaxSetName), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (Combo1->count() > 0) {
    {
      QSignalBlocker block(Combo1);
      Combo1->setCurrentIndex(entry >= 0 ? entry : 0);
    }
    Combo1_Click();
  } else {
    // No tax setting to choose (the file was reported missing): show the page as it is.
    eng.RecalcPage();
  }
  {
    QSignalBlocker block(Combo1);
    int i = Combo1->findText(Q(eng.tax.TaxSetName), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) Combo1->setCurrentIndex(i);
  }
  Text5[0]->setText(Q(Format(eng.tax.LeaseTaxRate, "0.0##;;")));
  busy.release();
  BuildToolbar();
  eng.WorksheetModified = 0;
}

void QV::Form_Unload(int16_t& Cancel) {
  Shared().SaveAbandoned = 0;
  // The customer list is written (or its changes knowingly dropped) before anything goes;
  // a user who keeps its window open keeps the program open.
  auto end = [&] {
    if (!CloseCustomerWindow()) {
      Cancel = -1;
      return;
    }
    UpdateQVXINI();
    ending_ = true;
    EndProgram();
  };
  if (eng.WorksheetModified != -1) {
    end();
    return;
  }
  switch (ui::GetPrompt().MsgBox("Save Worksheet Before Exiting?", ui::Buttons::YesNoCancel, ui::Icon::None,
                                 std::string("Exit"))) {
    case ui::Answer::Yes:
      switch (SaveWorksheet(false)) {
        case SaveResult::Saved:
          end();
          return;
        case SaveResult::Cancelled:
          Shared().SaveAbandoned = -1;
          Cancel = -1;
          return;
        case SaveResult::Failed:
          // The failure was reported; the worksheet stays open so that nothing is lost.
          Cancel = -1;
          return;
      }
      return;
    case ui::Answer::No:
      end();
      return;
    default:
      Cancel = -1;
      return;
  }
}

void QV::closeEvent(QCloseEvent* e) {
  if (ending_) {
    e->accept();
    return;
  }
  CommitFieldEdit();
  int16_t Cancel = 0;
  Form_Unload(Cancel);
  if (Cancel) e->ignore();
  else e->accept();
}

void QV::mnuExit_Click() { close(); }

void QV::mnuSaveConfig_click() { WriteConfigFile(); }

bool QV::WriteConfigFile() { return qv::WriteConfigFile(eng); }

void QV::FillTaxSetList() {
  QSignalBlocker block(Combo1);
  Combo1->clear();
  std::string content;
  if (!files::ReadWholeFile(eng.TaxSetPath(), content)) return;
  std::vector<std::string> lines = SplitLines(content);
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) break;
    size_t comma = lines[i].find(',');
    if (comma == std::string::npos) continue;  // not a setting line
    Combo1->addItem(Q(lines[i].substr(0, comma)));
  }
}

void QV::ShowRecentFiles() {
  auto show = [this](int k) {
    QString path = Q(eng.RecentFiles[k]);
    mnuLastFile[k]->setData(path);
    mnuLastFile[k]->setText(QString(path).replace("&", "&&"));
    mnuLastFile[k]->setVisible(true);
  };
  if (!eng.RecentFiles[0].empty()) {
    mnuBar111->setVisible(true);
    show(0);
  }
  for (int k = 1; k <= 3; ++k)
    if (!eng.RecentFiles[k].empty()) show(k);
}

void QV::AddRecentFile(const std::string& path) {
  auto& r = eng.RecentFiles;
  if (path.empty() || path.find("UNTITLED") != std::string::npos || path == r[0]) return;
  // A path with a line break cannot stand in a line of the profile file: not listed.
  if (!FitsProfileLine(path)) return;
  int found = -1;
  for (int k = 1; k <= 3; ++k)
    if (path == r[k]) {
      found = k;
      break;
    }
  if (found > 0) {
    std::string moved = r[found];
    for (int k = found; k > 0; --k) r[k] = r[k - 1];
    r[0] = moved;
  } else {
    for (int k = 3; k > 0; --k) r[k] = r[k - 1];
    r[0] = path;
  }
  ShowRecentFiles();
}

void QV::UpdateQVXINI() {
  if (eng.SettingsIniPath.empty()) return;  // the start-up never found where the list lives
  ProfileValues values;
  for (int k = 0; k < 4; ++k) values.emplace_back(std::to_string(k), eng.RecentFiles[k]);
  std::string error;
  if (!WriteProfileStrings(kRecentSection, values, eng.SettingsIniPath, &error))
    ui::GetPrompt().MsgBox("The list of recent worksheets could not be saved.\r\n" + error, ui::Buttons::OK,
                           ui::Icon::Exclamation);
}

void QV::ShowUpdateNotice() {
  Update& u = windows_.Get<Update>();
  u.show();
  u.raise();
}

void QV::SetWorksheetCaption(const std::string& text) { setWindowTitle(Q("Quorvant:" + text)); }

}  // namespace qv
