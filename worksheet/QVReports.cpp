// The main window's report controls: File > Reports and its custom-report menu, Configure
// Reports, "View &Report" of the comparison view, the toolbar's print-report button and the
// panels' "&Print" buttons. Each commits the field being edited and stores and recalculates
// the page before the report is merged (reports/ReportGen.h).
#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "dialogs/Compare.h"
#include "dialogs/Tables.h"
#include "editor/ReportEditor.h"
#include "platform/ui/QtText.h"
#include "pricing/PriceGuide.h"
#include "reports/ReportGen.h"
#include "reports/Customer.h"
#include "reports/Reports.h"
#include "worksheet/QV.h"

namespace qv {

editor::ReportEditor& QV::ReportEditor() {
  if (!reportEditor_)
    reportEditor_ = std::make_unique<editor::ReportEditor>(editor::EditorOptions{editor::SystemLocaleCode()});
  return *reportEditor_;
}

namespace {

reports::ReportDesk MakeDesk(QV& qv, WindowSet& windows) {
  Engine& e = qv.eng;
  reports::ReportDesk desk{e, qv, qv.ReportEditor(), {}, qv.ReportDate};
  desk.sources.compareSheet = [&windows]() -> const grid::Sheet* {
    Compare* c = windows.IfLoaded<Compare>();
    return c && windows.Shared().CompareOpen ? &c->CompareSheetData : nullptr;
  };
  desk.sources.tablesSheet = [&windows]() -> const grid::Sheet* {
    Tables* t = windows.IfLoaded<Tables>();
    return t ? &t->TablesSheetData : nullptr;
  };
  desk.sources.standardEquipment = [&e](int16_t mfgNum) {
    const pricing::PriceGuide guide(e.AppFolder, e.page.CT);
    return guide.GetMajorSELine(mfgNum).value_or(std::string());
  };
  // The customer window's list with its unsaved edits while it is open; else the file.
  desk.sources.customers = CustomerListSource(windows);
  return desk;
}

}  // namespace

void QV::GenerateReport(int16_t kind) {
  LastReportPath.clear();
  StoreCurrentPage();
  eng.RecalcPage();
  reports::ReportDesk desk = MakeDesk(*this, windows_);
  LastReportPath = reports::GenerateReport(desk, kind).value_or(std::string());
}

void QV::OpenReportInEditor(const std::string& path, const std::string& ext) {
  reports::ReportDesk desk = MakeDesk(*this, windows_);
  reports::OpenReportInEditor(desk, path, ext);
}

void QV::mnuReports_Click(int Index) { GenerateReport(static_cast<int16_t>(Index)); }

void QV::Command8_Click() { GenerateReport(4); }

void QV::mnuCustomRpt_Click(int Index) {
  if (Index == 0) {
    GenerateReport(5);
    return;
  }
  if (Index < 0 || Index >= static_cast<int>(mnuCustomRpt.size())) return;
  // The caption is the file's name up to its first "."; the file is found without regard
  // to case.
  Shared().CustomTemplatePath = eng.AppFolder + S(mnuCustomRpt[Index]->text()) + ".rtf";
  GenerateReport(6);
}

void QV::mnuConfigReports_Click() {
  CommitFieldEdit();
  Reports& w = windows_.Get<Reports>();
  w.show();
  w.raise();
  w.activateWindow();
}

void QV::PrintDocument() {
  if (LastReportPath.empty()) return;
  reports::PrintReport(ReportEditor(), LastReportPath);
}

void QV::BuildCustomReportMenu() {
  for (size_t i = 1; i < mnuCustomRpt.size(); ++i) {
    mnuOtherReports->removeAction(mnuCustomRpt[i]);
    delete mnuCustomRpt[i];
  }
  mnuCustomRpt.resize(1);
  File1.Refresh();
  std::vector<std::string> entries;
  for (int i = 0; i < File1.ListCount(); ++i) entries.push_back(File1.List(i));
  for (const std::string& caption : reports::CustomReportCaptions(eng.AppFolder, entries, eng.cfg)) {
    QAction* a = MakeAction(mnuOtherReports, "");
    a->setText(Q(caption));
    const int index = static_cast<int>(mnuCustomRpt.size());
    connect(a, &QAction::triggered, this, [this, index] { mnuCustomRpt_Click(index); });
    MarkReady(a);
    mnuCustomRpt.push_back(a);
  }
}

void QV::ConnectReports() {
  for (int i = 0; i < 5; ++i) {
    connect(mnuReports[i], &QAction::triggered, this, [this, i] { mnuReports_Click(i); });
    MarkReady(mnuReports[i]);
  }
  connect(mnuCustomRpt[0], &QAction::triggered, this, [this] { mnuCustomRpt_Click(0); });
  MarkReady(mnuCustomRpt[0]);
  connect(mnuConfigReports, &QAction::triggered, this, [this] { mnuConfigReports_Click(); });
  MarkReady(mnuConfigReports);

  Command2ReportCommand = [this] { GenerateReport(3); };
  connect(Command2[4], &QPushButton::clicked, this, [this] { Command2_Click(4); });
  MarkReady(Command2[4]);
  ToolbarReportCommand = [this](int16_t Index) { mnuReports_Click(Index); };
  MarkReady(ToolbarButtons[4]);
  PanelReportCommands[0] = [this] { GenerateReport(9); };
  PanelReportCommands[1] = [this] { GenerateReport(10); };
  MarkReady(Command6[0]);
  MarkReady(Command7[0]);
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  MarkReady(Command8);
}

}  // namespace qv
