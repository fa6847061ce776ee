// The File menu's worksheet commands: Open, Save, Save As, New Worksheet and the recent
// worksheets at the end of the menu.
#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <fstream>

#include <unistd.h>

#include "engine/Engine.h"
#include "platform/ui/Prompt.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr const char* kUnableToOpen = "Unable to open file. This file may have been deleted or moved to a new path.";
constexpr const char* kEraseQuestion = "All Worksheet pages will be erased. Continue?";

}  // namespace

void QV::ConnectFilesToolbarPanels() {
  for (int i = 0; i < 4; ++i) {
    connect(mnuOpenSave[i], &QAction::triggered, this, [this, i] { mnuOpenSave_click(static_cast<int16_t>(i)); });
    MarkReady(mnuOpenSave[i]);
    connect(mnuLastFile[i], &QAction::triggered, this, [this, i] { mnuLastFile_Click(static_cast<int16_t>(i)); });
    MarkReady(mnuLastFile[i]);
  }
  ConnectToolbar();
  ConnectPanels();
}

void QV::mnuOpenSave_click(int16_t Index) {
  ui::Prompt& prompt = ui::GetPrompt();
  WorksheetFileType = 5;
  switch (Index) {
    case 0: {
      ui::FileDialogRequest req;
      req.title = "Open";
      req.filter = "Quorvant Pro|*.QVX|Quorvant 2.X|*.QDB";
      req.filterIndex = 0;
      req.initialDir = CMDialog1InitialDir;
      req.mustExist = true;
      std::optional<std::string> chosen = prompt.OpenFile(req);
      if (!chosen) {
        Shared().SaveAbandoned = -1;
        return;
      }
      // Unsaved pages are offered for saving before another worksheet replaces them.
      if (!SaveBeforeLoading()) return;
      if (!OpenWorksheetFile(*chosen)) return;
      eng.WorksheetModified = 0;
      AddRecentFile(eng.WorksheetFileName);
      return;
    }
    case 1:
      SaveWorksheet(false);
      return;
    case 2:
      SaveWorksheet(true);
      return;
    case 3:
      // Unsaved pages are offered for saving before they are erased, as Open offers them.
      if (!SaveBeforeLoading()) return;
      if (prompt.MsgBox(kEraseQuestion, ui::Buttons::OKCancel, ui::Icon::Exclamation, std::string("")) !=
          ui::Answer::OK)
        return;
      EraseWorksheet();
      eng.WorksheetModified = 0;
      return;
    default:
      return;
  }
}

void QV::mnuLastFile_Click(int16_t Index) {
  if (Index < 0 || Index >= static_cast<int16_t>(mnuLastFile.size())) return;
  // The menu element keeps the whole path; its caption only shows it.
  const std::string path = mnuLastFile[Index]->data().toString().toStdString();
  if (path.empty()) return;
  if (!SaveBeforeLoading()) return;
  if (!OpenWorksheetFile(path)) return;
  eng.WorksheetModified = 0;
  AddRecentFile(eng.WorksheetFileName);
}

bool QV::SaveBeforeLoading() {
  if (eng.WorksheetModified != -1) return true;
  switch (ui::GetPrompt().MsgBox("Save " + eng.WorksheetFileName + " Before Loading New File?",
                                 ui::Buttons::YesNoCancel, ui::Icon::None, std::string("Exit"))) {
    case ui::Answer::Yes:
      // An untitled worksheet asks for its name; a cancelled or failed save stops the open.
      return SaveWorksheet(false) == SaveResult::Saved;
    case ui::Answer::No:
      return true;
    default:
      return false;
  }
}

bool QV::OpenWorksheetFile(const std::string& path) {
  ui::Prompt& prompt = ui::GetPrompt();
  // A file that is not there or may not be read gets the short message; one that is there
  // is looked at by the reader, which says why it refuses it (without opening a pipe,
  // which would wait for a writer).
  if (::access(path.c_str(), R_OK) != 0) {
    prompt.MsgBox(kUnableToOpen);
    return false;
  }
  std::string error;
  ui::BusyCursor busy;
  const bool ok = OpenWorksheetSequence(path, error);
  busy.release();
  if (!ok) {
    prompt.MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
    return false;
  }
  CheckMethodMenu();
  return true;
}

void QV::CheckMethodMenu() {
  const bool ford = eng.page.LType != 0;
  for (int i : {0, 3}) {
    if (!mnuType[i]) continue;
    QSignalBlocker block(mnuType[i]);
    mnuType[i]->setChecked(i == 3 ? ford : !ford);
  }
}

void QV::EraseWorksheet() {
  for (int s : {2, 1, 3, 4, 5}) {
    eng.WKS.SetSheet(s);
    eng.WKS.DeleteRange(-1, -1, -1, -1, 3);
    eng.WKS.SetMaxRow(1);
    if (s == 1) eng.CurrentPage = 1;
  }
  eng.PageCount = 1;
  eng.LoadPageFields();
  // The new page quotes the settings' rates, as the first page at start-up does (an empty
  // row would give a loan at 0 %).
  eng.ApplyDefaultRates();
  eng.LoadPageItems();
  eng.ShowPageOptions();
  eng.RecalcPage();
  eng.WorksheetFileName = "UNTITLED.QVX";
  SetWorksheetCaption(eng.WorksheetFileName);
  RefillPageSelector();
}

void QV::RefillPageSelector() {
  grid::Workbook& wks = eng.WKS;
  const int active = wks.ActiveSheet();
  wks.SetSheet(1);
  QSignalBlocker block(Combo2);
  Combo2->clear();
  for (int r = 1; r <= eng.PageCount; ++r) {
    // The current page's description may not be stored yet.
    const std::string name = r == eng.CurrentPage ? eng.page.CarName : wks.TextRC(r, 2);
    Combo2->addItem(QString::fromStdString(name));
  }
  if (Combo2->count() == 0) Combo2->addItem("");
  wks.SetSheet(active);
  const bool busy = Shared().PageListBusy;
  Shared().PageListBusy = true;
  Combo2->setCurrentIndex(std::clamp(eng.CurrentPage - 1, 0, Combo2->count() - 1));
  Shared().PageListBusy = busy;
  Combo2->setEditText(QString::fromStdString(eng.page.CarName));
}

}  // namespace qv
