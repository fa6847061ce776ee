// The worksheet open sequence (start-up with a file on the command line, Open, a recent
// file) and the save that shut-down offers.
#include <filesystem>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "engine/Engine.h"
#include "engine/PageStore.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"
#include "worksheet/QV.h"

namespace qv {

bool QV::OpenWorksheetSequence(const std::string& path, std::string& error) {
  // Read into a workbook of its own: a file that cannot be read changes nothing.
  grid::Workbook wb;
  if (!wb.Read(path, error, WorksheetReadLimits())) return false;
  std::string why;
  if (!Engine::IsWorksheetWorkbook(wb, why)) {
    error = "The file " + path + " is not a Quorvant worksheet: " + why + ".";
    return false;
  }
  if (!FitsWorksheet(wb, why)) {
    error = "The file " + path + " cannot be read: " + why + ".";
    return false;
  }
  if (!HoldsDealValues(wb, why)) {
    error = "The file " + path + " cannot be opened: " + why + ".";
    return false;
  }
  eng.WKS = std::move(wb);
  eng.WorksheetFileName = path;

  eng.CurrentPage = 1;
  eng.LoadPageFields();
  eng.LoadPageItems();
  eng.ShowPageOptions();
  eng.RecalcPage();

  {
    QSignalBlocker block(Combo2);
    Combo2->clear();
    eng.WKS.SetSheet(1);
    for (int r = 1; r <= eng.WKS.MaxRow(); ++r) Combo2->addItem(QString::fromStdString(eng.WKS.TextRC(r, 2)));
    Combo2->setEditText(QString::fromStdString(eng.page.CarName));
    Shared().PageListBusy = true;
    Combo2->setCurrentIndex(0);
    Shared().PageListBusy = false;
  }
  eng.ShowPageOptions();
  eng.WKS.SetSheet(1);
  eng.PageCount = ToInt16(eng.WKS.MaxRow());
  lblpagenum->setText(QString::fromStdString("Page" + StrNum(eng.CurrentPage) + " of" + StrNum(eng.PageCount)));
  SetWorksheetCaption(path);
  eng.RecalcPage();
  return true;
}

QV::SaveResult QV::SaveWorksheet(bool saveAs) {
  ui::Prompt& prompt = ui::GetPrompt();
  WorksheetFileType = 5;
  // An untitled worksheet is saved under a name the user chooses. The caption decides; the
  // start-up name also counts as untitled, since a caption rewritten after deleting the
  // only page no longer shows it in capitals.
  if (!saveAs && (windowTitle().contains("UNTITLED") || eng.WorksheetFileName == "Untitled.vts")) saveAs = true;
  std::string path = eng.WorksheetFileName;
  if (saveAs) {
    ui::FileDialogRequest req;
    req.title = "Save As";
    req.filter = "Quorvant (*.QVX)|*.QVX";
    req.filterIndex = 0;
    req.initialDir = CMDialog1InitialDir;
    req.confirmOverwrite = true;
    std::optional<std::string> chosen = prompt.SaveFile(req);
    if (!chosen) {
      Shared().SaveAbandoned = -1;
      return SaveResult::Cancelled;
    }
    path = *chosen;
    // The extension is judged on the file name alone: a dot in a folder's name ("j.smith")
    // does not make a name without one a name with an extension.
    if (std::filesystem::path(path).filename().string().find('.') == std::string::npos) path += ".QVX";
  }
  eng.SavePageItems();
  eng.SavePageFields();
  std::string error;
  ui::BusyCursor busy;
  const bool ok = eng.WKS.Write(path, error);
  busy.release();
  if (!ok) {
    prompt.MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
    return SaveResult::Failed;
  }
  if (saveAs) {
    eng.WorksheetFileName = path;
    SetWorksheetCaption(path);
    AddRecentFile(path);
  }
  eng.WorksheetModified = 0;
  return SaveResult::Saved;
}

}  // namespace qv
