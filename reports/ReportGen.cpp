#include "reports/ReportGen.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "owner/Owner.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "platform/ui/ProgramStart.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "reports/FileError.h"
#include "reports/ReportMerge.h"

namespace qv::reports {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsFolder(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(files::NormalizeSeparators(folder), ec);
}

// The template of a kind; nullopt when none (kind 5's dialog cancelled, unknown kind).
std::optional<std::string> TemplateOf(ReportDesk& d, int16_t kind) {
  Engine& e = d.eng;
  if (std::string* s = TemplatePathSetting(e.cfg, kind)) return *s;
  switch (kind) {
    case 5: {
      ui::FileDialogRequest req;
      req.title = "Custom Report RTF File";
      req.filter = "Rich Text Format (*.rtf)|*.rtf";
      req.defaultExt = "rtf";
      req.initialDir = e.AppFolder;
      req.mustExist = true;
      return ui::GetPrompt().OpenFile(req);
    }
    case 4: return files::ResolveNoCase(e.AppFolder + "RovOzevi.rtf");
    case 6: return d.owner.Shared().CustomTemplatePath;
    case 7: return e.AppFolder + "Compare.rtf";
    case 8: return e.AppFolder + "Tables.rtf";
    case 9: return e.AppFolder + "pmtcalc.rtf";
    case 10: return e.AppFolder + "cashreqd.rtf";
    default: return std::nullopt;
  }
}

// Kind 4: the merged rebate report, in the editor whatever the viewer, with half-inch
// margins.
std::optional<std::string> ShowRebateReport(ReportDesk& d, const std::string& path) {
  if (!d.editor.OpenReport(path)) return std::nullopt;
  if (editor::TextControl* tx = d.editor.ActiveText()) {
    constexpr int32_t kHalfInch = 720;
    tx->SetPageMarginL(kHalfInch);
    tx->SetPageMarginR(kHalfInch);
    tx->SetPageMarginT(kHalfInch);
    tx->SetPageMarginB(kHalfInch);
  }
  return path;
}

bool IsLibreOffice(const std::string& program) {
  const size_t slash = program.find_last_of('/');
  const std::string base = Lower(slash == std::string::npos ? program : program.substr(slash + 1));
  return base.rfind("soffice", 0) == 0 || base.rfind("libreoffice", 0) == 0 || base.rfind("lowriter", 0) == 0;
}

}  // namespace

std::string* TemplatePathSetting(ProgramSettings& cfg, int kind) {
  switch (kind) {
    case 0: return &cfg.LeaseTemplatePath;
    case 1: return &cfg.LoanTemplatePath;
    case 2: return &cfg.CashTemplatePath;
    case 3: return &cfg.LVBTemplatePath;
    default: return nullptr;
  }
}

void SplitFilePath(const std::string& path, std::string& folder, std::string& name, std::string& ext) {
  const size_t sep = path.find_last_of("/\\");
  size_t start = 0;
  if (sep != std::string::npos) {
    folder = path.substr(0, sep + 1);
    start = sep + 1;
  }
  name = path.substr(start);
  const size_t dot = name.find('.');
  if (dot != std::string::npos) {
    ext = name.substr(dot + 1);
    name.erase(dot);
  } else {
    ext = ".QVX";
  }
}

std::vector<std::string> CustomReportCaptions(const std::string& appFolder, const std::vector<std::string>& entries,
                                              const ProgramSettings& cfg) {
  std::vector<std::string> skip = {cfg.LeaseTemplatePath,       cfg.LoanTemplatePath,        cfg.CashTemplatePath,
                                   cfg.LVBTemplatePath,         appFolder + "Tables.rtf",    appFolder + "Compare.RTF",
                                   appFolder + "StdEquip.RTF"};
  for (std::string& s : skip) s = Lower(files::NormalizeSeparators(s));
  std::vector<std::string> captions;
  for (const std::string& entry : entries) {
    if (std::find(skip.begin(), skip.end(), Lower(appFolder + entry)) != skip.end()) continue;
    std::string caption = Lower(entry.substr(0, entry.find('.')));
    if (caption.empty()) continue;  // ".rtf": nothing to show
    caption[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[0])));
    captions.push_back(caption);
  }
  return captions;
}

ProgramCall ViewerCall(const std::string& viewer, const ProgramSettings& cfg, const std::string& file) {
  ProgramCall call;
  if (viewer == kViewerWord) {
    call.program = cfg.WordPath.empty() ? "soffice" : cfg.WordPath;
    if (IsLibreOffice(call.program)) call.args.push_back("--writer");
    call.args.push_back(file);
  } else if (viewer == kViewerWordPad) {
    call.program = cfg.WordPadPath.empty() ? "xdg-open" : cfg.WordPadPath;
    call.args.push_back(file);
  }
  return call;
}

bool HandOff(ReportDesk& d, const std::string& file) {
  Engine& e = d.eng;
  const std::string viewer = e.cfg.ReportViewer;
  if (viewer == kViewerEditor) return d.editor.OpenReport(file);
  if (viewer != kViewerWord && viewer != kViewerWordPad) return false;
  for (;;) {
    const ProgramCall call = ViewerCall(viewer, e.cfg, file);
    if (ui::StartProgram(call.program, call.args)) return true;
    WindowSet& windows = d.owner.Windows();
    FileError& w = windows.Get<FileError>();
    w.Label1->setText("Could not find File.");
    w.Text1->setText(Q(viewer == kViewerWord ? e.cfg.WordPath : e.cfg.WordPadPath));
    const int result = ui::ShowModalWindow(w);
    windows.Unload<FileError>();
    if (result != QDialog::Accepted) {
      // Cancelled: the window left DialogDone set for whoever waited on it; nobody else does.
      e.DialogDone = 0;
      return false;
    }
  }
}

std::optional<std::string> GenerateReport(ReportDesk& d, int16_t kind) {
  Engine& e = d.eng;
  const std::optional<std::string> tmpl = TemplateOf(d, kind);
  if (!tmpl) return std::nullopt;
  std::string folder, name, ext;
  SplitFilePath(*tmpl, folder, name, ext);
  // A template named without a folder, or in a folder that is gone, is read from the program
  // folder; a configured template's setting follows it and is saved.
  if (folder.empty() || !IsFolder(folder)) {
    folder = e.AppFolder;
    if (std::string* setting = TemplatePathSetting(e.cfg, kind)) {
      *setting = e.AppFolder + name + ".rtf";
      d.owner.WriteConfigFile();
    }
  }
  ReportContext ctx(e, d.sources);
  ctx.today = d.today;
  std::string report;
  ui::BusyCursor busy;
  const MergeResult r = MergeTemplateFile(ctx, folder + name + ".rtf", report);
  if (!r.ok()) {
    busy.release();
    ui::GetPrompt().MsgBox(r.message);
    return std::nullopt;
  }
  const std::string out = files::NormalizeSeparators(folder) + name + ".QVR";
  std::string error;
  if (!files::WriteFileAtomic(out, report, &error)) {
    busy.release();
    ui::GetPrompt().MsgBox(error);
    return std::nullopt;
  }
  busy.release();
  if (kind == 4) return ShowRebateReport(d, out);
  HandOff(d, out);
  return out;
}

bool OpenReportInEditor(ReportDesk& d, const std::string& path, const std::string& ext) {
  std::string folder, name, unused;
  SplitFilePath(path, folder, name, unused);
  const std::string file = files::ResolveNoCase(folder + name + ext);
  if (!files::FileExistsNoCase(file)) {
    ui::GetPrompt().MsgBox("Can't open file: " + file);
    return false;
  }
  return HandOff(d, file);
}

void PrintReport(editor::ReportEditor& ed, const std::string& file) {
  editor::frmMDIChild* doc = ed.ActiveDocument();
  const bool shown = doc && ed.EditorOpen() && doc->filePath == file;
  if (!shown && !ed.OpenReport(file)) return;
  ed.PrintDocument();
}

}  // namespace qv::reports
