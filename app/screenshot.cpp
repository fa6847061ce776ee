// Renders the program's windows to PNG files, for looking at the screens without a
// display: the main window in each of its four views with a sample deal page, and the
// windows start-up shows. Run it under the offscreen platform (scripts/screenshot.sh):
//   quorvant_screenshot [folder [WIDTHxHEIGHT]]
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTabBar>
#include <QWidget>

#include <array>
#include <cstdio>

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/Application.h"
#include "app/EditorScreenshots.h"
#include "dialogs/AdjRes.h"
#include "dialogs/Adjust.h"
#include "dialogs/Compare.h"
#include "dialogs/Details2.h"
#include "dialogs/EOLFee.h"
#include "dialogs/Margin2.h"
#include "dialogs/Milage.h"
#include "dialogs/Notes.h"
#include "dialogs/ResBase.h"
#include "dialogs/StartUps2.h"
#include "dialogs/Tables.h"
#include "dialogs/TaxFee.h"
#include "dialogs/TaxSet.h"
#include "dialogs/Totals.h"
#include "dialogs/Trade.h"
#include "platform/grid/GridWidget.h"
#include "platform/ui/ScriptedPrompt.h"
#include "reports/Customer.h"
#include "pricing/ALGRes.h"
#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "editor/frmMDIParent.h"
#include "reports/FileError.h"
#include "reports/Reports.h"
#include "pricing/OptLookUp.h"
#include "pricing/Prices.h"
#include "pricing/StdEquip.h"
#include "sample/SampleDeal.h"
#include "worksheet/About.h"
#include "worksheet/DealerNet.h"
#include "worksheet/Help.h"
#include "worksheet/Update.h"

namespace {

// The windows of the one application this program makes (set in main).
qv::WindowSet* theWindows = nullptr;
qv::WindowSet& Windows() { return *theWindows; }

// Copies what the program reads from its folder (the files beside the executable that are
// not programs, and the help topics) into `to`. The program then runs on the copy: what it
// writes on the way (the settings and tax-settings files, when a window unloads) never
// reaches the real program folder.
bool CopyProgramData(const QString& from, const QString& to) {
  QDir src(from);
  for (const QFileInfo& f : src.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
    if (f.isExecutable()) continue;
    if (!QFile::copy(f.filePath(), QDir(to).filePath(f.fileName()))) return false;
  }
  const QString help = src.filePath("help");
  if (QDir(help).exists()) {
    QDir(to).mkpath("help");
    for (const QFileInfo& f : QDir(help).entryInfoList(QDir::Files | QDir::NoDotAndDotDot))
      if (!QFile::copy(f.filePath(), QDir(to).filePath("help/" + f.fileName()))) return false;
  }
  return true;
}

bool Save(QWidget& w, const QString& folder, const QString& name) {
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(name + ".png");
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

// The deal input windows, on the sample page with a few start-up costs, a trade-in, an
// adjustment and end-of-lease fees filled in.
template <class W>
bool SaveWindow(const QString& folder, const QString& name, bool unload = true) {
  W& w = Windows().Get<W>();
  w.show();
  const bool ok = Save(w, folder, name);
  w.hide();
  if (unload) Windows().Unload<W>();
  return ok;
}

bool SaveDealInputWindows(qv::Engine& eng, const QString& folder) {
  qv::PageItems& it = eng.items;
  it.Registration.Cash = 120;
  it.Title.Cash = 35;
  it.DocumentFee.Cap = 75;
  it.Acquisition.Cap = 595;
  it.Acquisition.ManualSplit = 1;
  it.TradeAllowance = 8000;
  it.TradePayoff = 5500;
  it.TradeEquity.Cap = 2500;
  it.Adjustments[1] = {"Extended warranty", 1295, 0};
  it.Adjustments[2] = {"Customer deposit", 0, -500};
  it.TotalAdjust = {1295, -500};
  it.EOLFees[2] = {"Disposition Fee", 350};
  it.TotalEOLFees = 350;
  eng.page.AllowedMiles = 12000;
  eng.page.PrePaidActualMiles = 15000;
  eng.page.PrePaidCentsPerMile = 0.15;
  eng.RecalcPage();
  bool ok = SaveWindow<qv::StartUps2>(folder, "StartUps2", false);
  qv::StartUps2& s = Windows().Get<qv::StartUps2>();
  s.Command1_Click(3);
  ok = SaveWindow<qv::StartUps2>(folder, "StartUps2-Taxes", false) && ok;
  s.Command1_Click(3);
  ok = SaveWindow<qv::Milage>(folder, "Milage") && ok;
  eng.DialogDone = 0;
  ok = SaveWindow<qv::Trade>(folder, "Trade") && ok;
  eng.DialogDone = 0;
  ok = SaveWindow<qv::Adjust>(folder, "Adjust") && ok;
  ok = SaveWindow<qv::EOLFee>(folder, "EOLFee") && ok;
  ok = SaveWindow<qv::TaxFee>(folder, "TaxFee") && ok;
  eng.DialogDone = 0;
  ok = SaveWindow<qv::TaxSet>(folder, "TaxSet", false) && ok;
  qv::TaxSet& t = Windows().Get<qv::TaxSet>();
  t.TabStrip1->setCurrentIndex(1);
  ok = SaveWindow<qv::TaxSet>(folder, "TaxSet-Luxury", false) && ok;
  return ok;
}

// The margin, residual adjustment, residual basis and vehicle totals windows, and the main
// window with options in its expanded option list, on the sample page.
template <class W>
bool SaveOneWindow(W& w, const QString& folder, const QString& name) {
  w.show();
  const bool ok = Save(w, folder, name);
  w.hide();
  Windows().Unload<W>();
  return ok;
}

bool SaveMarginAndTotalsWindows(qv::Engine& eng, qv::QV& main, const QString& folder) {
  main.SelectTab(1);
  eng.WKS.SetSheet(2);
  const struct {
    const char* name;
    double inv, msrp;
  } options[] = {{"Power moonroof with sunshade and express open", 850, 995},
                 {"Premium sound package, 6-disc changer", 420, 510},
                 {"Value Package Discount 750", -600, -750}};
  int r = eng.WKS.MaxRow();
  for (const auto& o : options) {
    ++r;
    eng.WKS.SetNumberRC(r, 1, eng.CurrentPage);
    eng.WKS.SetTextRC(r, 2, o.name);
    eng.WKS.SetNumberRC(r, 3, o.inv);
    eng.WKS.SetNumberRC(r, 4, o.msrp);
  }
  eng.page.Profit = 600;
  eng.page.Advertising = 150;
  eng.page.Incentive = -250;
  eng.page.Holdback = -400;
  eng.ShowPageOptions();
  eng.RecalcPage();
  main.mnuExpandOptions_Click();
  bool ok = Save(main, folder, "QV-5-Options-Expanded");
  main.mnuExpandOptions_Click();
  main.mnuShowTotals_Click();
  ok = Save(main, folder, "QV-6-Option-Totals") && ok;
  main.mnuShowTotals_Click();

  ok = SaveOneWindow(Windows().Get<qv::Margin2>(), folder, "Margin2") && ok;
  qv::AdjRes& adj = Windows().Get<qv::AdjRes>();
  adj.txtAdditionalMiles->setText("5,000");
  adj.txtCentsPerMile->setText("15");
  adj.CalcAdjustment();
  ok = SaveOneWindow(adj, folder, "AdjRes") && ok;
  main.Text3[7]->setText("58%");
  eng.res.OptionDiscountTotal = eng.SumOptionDiscounts();
  ok = SaveOneWindow(Windows().Get<qv::ResBase>(), folder, "ResBase") && ok;
  eng.DialogDone = 0;
  eng.RecalcPage();
  ok = SaveOneWindow(Windows().Get<qv::Totals>(), folder, "Totals") && ok;
  return ok;
}

// The worksheet windows: the Lease view with its two slide-out panels out, the notes, the
// help viewer, the About and the dealer-network windows.
bool SaveWorksheetWindows(qv::Engine& eng, qv::QV& main, const QString& folder) {
  main.SelectTab(1);
  eng.RecalcPage();
  main.Command5_Click(0);
  bool ok = Save(main, folder, "QV-7-Payment-Panel");
  main.Command5_Click(0);
  main.Command5_Click(1);
  ok = Save(main, folder, "QV-8-Cash-Panel") && ok;
  main.Command5_Click(1);

  eng.page.Memo = "Customer also wants the 48-month figures.\r\nCall back Tuesday after 4.";
  main.Toolbar_ButtonClick(5);
  qv::Notes& notes = Windows().Get<qv::Notes>();
  ok = Save(notes, folder, "Notes") && ok;
  notes.Command2_Click(1);

  main.ShowHelp(1);
  qv::HelpViewer& help = Windows().Get<qv::HelpViewer>();
  ok = Save(help, folder, "Help-1-Contents") && ok;
  main.ShowHelp(8);
  ok = Save(help, folder, "Help-8-Worksheet") && ok;
  Windows().Unload<qv::HelpViewer>();

  qv::ShowAbout(Windows());
  ok = Save(Windows().Get<qv::About>(), folder, "About") && ok;
  Windows().Unload<qv::About>();

  qv::frmDealerNetwork& dealers = Windows().Get<qv::frmDealerNetwork>();
  dealers.show();
  ok = Save(dealers, folder, "frmDealerNetwork") && ok;
  Windows().Unload<qv::frmDealerNetwork>();
  return ok;
}

// The customer window with a few customers, the second attached to the page, and the main
// window showing it.
bool SaveCustomerWindow(qv::QV& main, const QString& folder) {
  main.Command3_Click();
  qv::Customer& c = Windows().Get<qv::Customer>();
  struct Sample {
    const char* name;
    std::array<const char*, 9> fields;
  };
  const Sample customers[] = {
      {"Dana Reyes", {"", "418 Larkspur Lane", "Springfield", "IL", "62704", "(217) 555-0142", "(217) 555-0199",
                      "Trade-in: 2019 sedan, wants 36 months", "11/02/2026"}},
      {"Marcus Whitfield", {"", "77 Harbor View Dr.", "Decatur", "IL", "62521", "(217) 555-0310", "(217) 555-0388",
                            "Lease return in March; prefers email", "11/18/2026"}},
      {"Priya Natarajan", {"", "1203 Old Mill Road", "Champaign", "IL", "61820", "(217) 555-0457", "",
                           "Pre-approved with credit union", "12/01/2026"}},
  };
  for (const Sample& s : customers) {
    const int row = c.list.AddCustomer(s.name, qv::Today());
    for (int k = 1; k <= 8; ++k) c.list.SetField(row, k, s.fields[k]);
  }
  c.FillCombo();
  c.SelectEntry(1);
  c.Command3_Click(3);
  bool ok = Save(c, folder, "Customer");
  c.Command3_Click(2);
  ok = Save(main, folder, "QV-9-Customer-Attached") && ok;
  return ok;
}

// The analysis windows on a worksheet of two pages: the payment tables, the lease
// comparison (with its page list open) and the details window in both views.
bool SaveAnalysisWindows(qv::Engine& eng, qv::QV& main, const QString& folder) {
  main.SelectTab(1);
  eng.StorePage();
  const qv::PageRecord first = eng.page;
  qv::PageRecord second = first;
  second.CarName = std::string(qv::sample::kGuideCarName) + " - 48 months";
  second.Months = 48;
  second.Factor = 0.0021;
  second.Residual = 9500;
  second.LoanMonths = 60;
  eng.CurrentPage = 2;
  eng.page = second;
  eng.SavePageFields();
  eng.SavePageItems();
  eng.PageCount = 2;
  eng.CurrentPage = 1;
  eng.LoadPage();
  main.RefillPageSelector();

  qv::Tables& t = Windows().Get<qv::Tables>();
  const double months[5] = {0, 24, 36, 48, 60};
  const double factors[5] = {0, 0.0028, 0.0025, 0.0023, 0.0021};
  const double residuals[5] = {0, 14000, 12000, 10000, 8000};
  for (int i = 1; i <= 4; ++i) {
    eng.TableMonths[i] = months[i];
    eng.TableFactors[i] = factors[i];
    eng.TableResiduals[i] = residuals[i];
  }
  t.ShowTableInputs();
  t.FillPaymentTable();
  t.resize(820, 600);
  t.show();
  bool ok = Save(t, folder, "Tables");
  Windows().Unload<qv::Tables>();

  qv::Compare& c = Windows().Get<qv::Compare>();
  c.show();
  c.Command3_Click(1);
  c.PageList_DblClick(2, 1);
  ok = Save(c, folder, "Compare") && ok;
  c.Command3_Click(2);
  ok = Save(c, folder, "Compare-PageList") && ok;
  c.PageList_LostFocus();

  qv::Details2& d = Windows().Get<qv::Details2>();
  d.show();
  d.Form_Activate();
  ok = Save(d, folder, "Details2-Lease") && ok;
  main.SelectTab(2);
  ok = Save(d, folder, "Details2-Loan") && ok;
  d.Option1[1]->setChecked(true);
  ok = Save(d, folder, "Details2-CashFlows") && ok;
  Windows().Unload<qv::Compare>();
  return ok;
}

// The guides' windows for the sample page's vehicle: the price guide in its three views,
// the option window with one option on the page, the standard equipment, and the residual
// lookup with an adjustment locked in.
bool SaveGuideWindows(qv::Engine& eng, const QString& folder) {
  qv::Prices& p = Windows().Get<qv::Prices>();
  p.Form_Activate();
  p.SelectVehicle(0);
  p.show();
  bool ok = Save(p, folder, "Prices-1-List");
  p.OpenVehicleLine();
  p.Price1->setActiveCell(4, 1);
  ok = Save(p, folder, "Prices-2-Models") && ok;
  int escape = 27;
  p.Price1_KeyPress(escape);
  p.ShowStandardEquipment();
  ok = Save(p, folder, "Prices-3-StandardEquipment") && ok;
  p.CloseStandardEquipment();
  p.hide();
  Windows().Unload<qv::Prices>();

  qv::OptLookUp& o = Windows().Get<qv::OptLookUp>();
  const int row = 2;  // the Convenience Group, under its heading
  o.SelectOpt(row);
  o.OptionLookUp->setActiveCell(row, 2);
  o.show();
  ok = Save(o, folder, "OptLookUp") && ok;
  // The selected option's mark, with the cursor moved on to another row.
  o.OptionLookUp->setActiveCell(row + 2, 2);
  o.OptionLookUp_Click(row + 2, 2);  // the buttons follow, as after the user's click
  ok = Save(o, folder, "OptLookUp-Selected") && ok;
  o.UnSelectOpt(row);  // the page as it was: no residual question on the way out
  o.hide();
  Windows().Unload<qv::OptLookUp>();
  ok = SaveWindow<qv::StdEquip>(folder, "StdEquip") && ok;

  eng.WorksheetModified = 0;
  Windows().Shared().ModelYear = "2000";
  qv::ALGRes& a = Windows().Get<qv::ALGRes>();
  a.lstMfg->setCurrentRow(0);
  for (int i = 0; i < a.lstModel->count(); ++i)
    if (a.lstModel->item(i)->text().contains("POWER MOONROOF") && a.lstModel->item(i)->text().startsWith("          ")) {
      a.lstModel->setCurrentRow(i);
      a.cmdbutUse_Click(2);
    }
  for (int i = 0; i < a.lstModel->count(); ++i)
    if (a.lstModel->item(i)->text().contains("SOLVANE 4DR PLUS")) a.lstModel->setCurrentRow(i);
  a.lstResValues->setCurrentRow(1);
  a.show();
  ok = Save(a, folder, "ALGRes") && ok;
  a.hide();
  Windows().Unload<qv::ALGRes>();
  return ok;
}

// The report windows: the configuration window, the word-processor path window, and the
// lease report of the sample deal in the built-in editor.
bool SaveReportWindows(qv::Engine& eng, qv::QV& main, const QString& folder) {
  qv::Reports& r = Windows().Get<qv::Reports>();
  r.show();
  bool ok = Save(r, folder, "Reports");
  Windows().Unload<qv::Reports>();
  qv::FileError& f = Windows().Get<qv::FileError>();
  f.Label1->setText("Could not find File.");
  f.Text1->setText("/opt/libreoffice/program/soffice");
  f.show();
  ok = Save(f, folder, "FileError") && ok;
  Windows().Unload<qv::FileError>();
  const std::string viewer = eng.cfg.ReportViewer;
  eng.cfg.ReportViewer = "QVEdit";
  main.GenerateReport(0);
  eng.cfg.ReportViewer = viewer;
  if (qv::editor::frmMDIParent* frame = main.ReportEditor().Frame()) {
    frame->resize(1000, 760);
    ok = Save(*frame, folder, "Report-Lease-Editor") && ok;
  }
  return ok;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("screenshots");
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
    return 1;
  }

  // Questions asked on the way are answered with Cancel and listed.
  qv::ui::ScriptedPrompt prompt;
  prompt.SetFailureHandler([](const std::string& what) { std::fprintf(stderr, "asked: %s\n", what.c_str()); });
  qv::ui::ScopedPrompt scoped(prompt);

  // The program runs on a copy of its folder, removed at the end.
  QTemporaryDir programFolder;
  if (!programFolder.isValid() ||
      !CopyProgramData(QCoreApplication::applicationDirPath(), programFolder.path())) {
    std::fprintf(stderr, "cannot copy the program folder to a temporary folder\n");
    return 1;
  }

  qv::Application application;
  theWindows = &application.windows;
  qv::Engine& eng = application.engine;
  qv::QV& w = *application.main;
  w.EndProgram = [] {};
  w.ProgramFolder = programFolder.path().toStdString();
  w.Form_Load();

  // The sample deal, no options, a 36-month lease at a money factor of .0025.
  qv::PageRecord& p = eng.page;
  qv::sample::SetGuideVehicle(p);
  qv::sample::SetCommonDealFields(p);
  eng.SavePageFields();
  eng.SavePageItems();
  w.SetCombo2Text(p.CarName);
  w.Combo2->setItemText(0, QString::fromStdString(p.CarName));

  // The window size: 1280x800, or a second argument such as 1024x700.
  QSize size(1280, 800);
  if (argc > 2) {
    const QStringList wh = QString::fromLocal8Bit(argv[2]).split('x');
    if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
  }
  w.setWindowState(Qt::WindowNoState);
  w.resize(size);
  w.show();
  bool ok = true;
  const char* names[4] = {"QV-1-Lease", "QV-2-Loan", "QV-3-Cash", "QV-4-Comparison"};
  for (int t = 1; t <= 4; ++t) {
    w.SelectTab(t);
    ok = Save(w, folder, names[t - 1]) && ok;
  }
  if (qv::Update* u = Windows().IfLoaded<qv::Update>()) ok = Save(*u, folder, "Update") && ok;
  Windows().Unload<qv::Update>();
  ok = SaveMarginAndTotalsWindows(eng, w, folder) && ok;
  ok = SaveDealInputWindows(eng, folder) && ok;
  ok = SaveWorksheetWindows(eng, w, folder) && ok;
  ok = SaveCustomerWindow(w, folder) && ok;
  ok = SaveAnalysisWindows(eng, w, folder) && ok;
  ok = SaveEditorWindows(folder) && ok;
  ok = SaveGuideWindows(eng, folder) && ok;
  ok = SaveReportWindows(eng, w, folder) && ok;
  application.main.reset();
  theWindows = nullptr;
  return ok ? 0 : 1;
}
