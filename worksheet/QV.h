#pragma once
// The main window QV: one deal page of the worksheet, its Lease, Loan, Cash and comparison
// views, the option list, the page selector, menus and toolbar.
//
// Controls carry the names the program has always used, and control arrays are indexable
// members (Text3[6] is the months box). Array slots that no control uses are nullptr; the
// comment of each array says which indexes exist.
//
// Handlers are ordinary member functions (Text3_LostFocus, Combo2_Click); Qt signals and
// the window's event filter call them, and tests call them directly. The behaviour is
// split over several files:
//   QV.cpp         construction and layout, control bookkeeping, the event filter
//   QVStartup.cpp  Form_Load, Form_Unload, closeEvent, recent files, custom-report menu
//   QVFields.cpp   deal field editing (Text3, Text4, Text5)
//   QVPages.cpp    page selector (Combo2, Text1), tax-setting list (Combo1), views (TabStrip1)
//   QVResults.cpp  ShowPageResults and the other engine display calls
//   QVWorksheetFile.cpp  the worksheet open sequence and the save used by shut-down
//   QVOwner.cpp    the services the windows it owns ask of it (Owner)
// Handler files add their declarations below and connect their controls in a Connect...()
// function called from the constructor's end (see ConnectHandlerFiles).
//
// QV is the owner of the program's other windows: it makes them through the WindowSet it is
// given (each window gets the engine and this window as its Owner) and keeps the
// window-side state they share (Shared(), kept in the set).
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "owner/Owner.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/grid/Workbook.h"
#include "worksheet/FileList.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolBar;
class QFrame;

namespace qv::grid {
class GridWidget;
}
namespace qv::editor {
class ReportEditor;
}

namespace qv {

class CRebar;

class QV : public QMainWindow, public EngineHost, public Owner {
  Q_OBJECT

 public:
  QV(Engine& engine, WindowSet& windows, QWidget* parent = nullptr);
  ~QV() override;

  Engine& eng;

  // ---- Owner: what the windows it owns ask of it (QVOwner.cpp) ------------------------------
  WindowSet& Windows() override { return windows_; }
  SharedState& Shared() override { return windows_.Shared(); }
  QWidget* MainWidget() override { return this; }
  bool OwnerAlive() const override { return eng.host == this; }
  int PageSelectorCount() const override;
  std::string PageSelectorText(int entry) const override;
  void SetPageSelectorEntry(int entry, const std::string& text) override;
  bool ChoosePage(int page) override;
  void StoreCurrentPage() override;
  void LoadCurrentPage() override;
  bool NewPage() override;
  int SelectedView() const override { return SelectedTab(); }
  void SelectView(int view) override { SelectTab(view); }
  void RefillOptionList() override;
  void ChooseTaxSet(const std::string& name) override;
  std::string DealFieldText(int index) const override;
  void SetDealFieldText(int index, const std::string& text) override;
  std::string MarginPercentText() const override;
  std::string CustomerNameText() const override;
  void ShowCustomerLabels() override;
  void SetDetailsRefresh(std::function<void(int view)> refresh) override { DetailsRefresh = std::move(refresh); }
  void ShowHelp(int16_t context) override;

  // ---- reports (QVReports.cpp) -------------------------------------------------------------
  // Commits the field being edited, stores and recalculates the page, then merges the report
  // of `kind` and shows it in the configured viewer (reports/ReportGen.h). LastReportPath is
  // the report written, empty when none was made.
  void GenerateReport(int16_t kind) override;
  void OpenReportInEditor(const std::string& path, const std::string& ext) override;
  std::string LastReportPath;
  // The date reports show (tests fix it); unset: today.
  std::optional<Date> ReportDate;
  // The program's report editor, made on first use.
  editor::ReportEditor& ReportEditor();
  // File > Reports: 0 lease, 1 loan, 2 cash, 3 lease / buy, 4 rebate report.
  void mnuReports_Click(int Index);
  // "Rebates": the rebate report of the current page (report kind 4).
  void Command8_Click();
  // "Other Reports": 0 "&Browse..." (report kind 5), otherwise the template named by the
  // item's caption in the program folder (CustomTemplatePath, report kind 6).
  void mnuCustomRpt_Click(int Index);
  // "Configure &Reports": the window Reports, modeless.
  void mnuConfigReports_Click();
  // Prints the report just generated (LastReportPath) through the editor's print dialog.
  void PrintDocument();
  void ConnectReports();

  // ---- start-up inputs ------------------------------------------------------------------
  // The folder of the program file (data files are read from there); set before Form_Load.
  std::string ProgramFolder;
  // The command-line text: the path of a worksheet to open at start-up, or empty.
  std::string CommandLine;
  // Ends the program after Form_Unload let it go: closes the other windows (their unload
  // duties run) and quits the event loop. Tests replace it to observe the end.
  std::function<void()> EndProgram;

  // ---- always-shown block -------------------------------------------------------------------
  QComboBox* Combo2 = nullptr;       // page selector (editable: typing renames the page)
  QLineEdit* Text1 = nullptr;        // rename box laid over Combo2 (F2), hidden otherwise
  QLineEdit* lblpagenum = nullptr;   // "Page 1 of 1" (a read-only box)
  QComboBox* Combo1 = nullptr;       // tax-setting list
  std::array<QLineEdit*, 2> Text4{};  // caption boxes "State:" (0) and "Tax Rate:" (1)
  std::array<QLineEdit*, 1> Text5{};  // sales-tax rate box (0)
  std::array<QLineEdit*, 27> Text3{};  // the deal fields 0..26
  std::array<QLabel*, 2> lblTotals{};  // 0 caption "Total MSRP:", 1 the total MSRP
  QLabel* lblPercMargin = nullptr;
  QLabel* lblPurchPrice = nullptr;
  QLabel* lblDataDate = nullptr;
  QLabel* Label25 = nullptr;         // customer name
  QLabel* lblCustID = nullptr;       // customer number
  QPushButton* Command3 = nullptr;   // "Cu&stomer:"
  QPushButton* Command8 = nullptr;   // "Rebates"
  QPushButton* cmdDealerNetwork = nullptr;
  std::array<QPushButton*, 3> Command1{};  // 0 "S&tart-Ups", 1 "Other Ad&justments", 2 "Mar&gin"
  grid::GridWidget* OptionList = nullptr;  // shows eng.OptionList

  // ---- views --------------------------------------------------------------------------------
  QTabBar* TabStrip1 = nullptr;      // tabs 1 Lease, 2 Loan, 3 Cash, 4 comparison (SelectedTab())
  std::array<QWidget*, 4> picTab{};  // the four view panels
  std::array<QWidget*, 2> Picture2{};  // 0 lease cash box, 1 loan / cash box
  QStackedWidget* viewStack = nullptr;
  QStackedWidget* cashBoxStack = nullptr;  // page 2 is empty (comparison view)

  // Lease view.
  QLabel* lblResPerc = nullptr;
  QLabel* lblResNote = nullptr;
  QLabel* lblStartUps = nullptr;
  QLabel* lblAdjust = nullptr;
  QLabel* lblGrossCap = nullptr;
  QLabel* lblAdjustedCap = nullptr;
  QLabel* lblTradeCap = nullptr;
  // Caption labels of the views: 0 months, 1 residual, 2 miles, 3 factor / Ford APR, 4 APR,
  // 5 rent, 6 lease discount rate, 7 loan months, 8 loan rate, 9 loan discount rate,
  // 10 balloon, 11 loan future cost, 12 days to first payment, 13 loan end value, 14 cash end
  // value, 15 cash discount rate, 16 cash future cost, 17-19 comparison lease / loan / cash,
  // 20 comparison discount rate, 21 comparison heading.
  std::array<QLabel*, 22> Label14{};
  // Future costs and ratios: 0 lease, 1 loan, 2 cash (their views); 3 lease, 4 loan, 5 cash,
  // 6 lease / loan, 7 lease / cash, 8 loan / cash (comparison view).
  std::array<QLabel*, 9> Label2{};
  std::array<QLabel*, 3> lblPayment{};  // 0 lease cash required, 1 lease payment, 2 loan payment
  // Vehicle, option and force buttons: 0-2, 4 Lease; 5-8 Loan; 9-11 Cash (3 unused).
  std::array<QPushButton*, 12> cmdbut2{};
  std::array<QPushButton*, 5> Command2{};  // "&Details" 0-3 by view, 4 "View &Report"
  std::array<QPushButton*, 2> Command4{};  // 1 "&Taxes && Fees" (0 unused)
  std::array<QPushButton*, 2> Command5{};  // 0 "Pa&yment", 1 "Cash Re&q'd"

  // Loan / cash box.
  std::array<QLabel*, 1> Label17{};  // "Loan Principle / Cash Required ......"
  // Captions: 0 down payment, 1 trade-in allowance, 2 trade payoff, 3 rebate.
  std::array<QLabel*, 4> Label18{};
  QLabel* lblDownPmtPerc = nullptr;
  // 0 taxable amount, 2 taxes and fees, 8 loan principle / cash required, 9 loan cash
  // required (1, 3-7 unused).
  std::array<QLabel*, 10> lblLoan{};
  std::array<QLabel*, 2> lblLoanEndPerc{};  // 0 loan view, 1 cash view

  // Slide-out panels of the Lease view (hidden until slid out).
  QFrame* Picture3 = nullptr;  // payment calculations
  QFrame* Picture5 = nullptr;  // cash required
  std::array<QLabel*, 18> lblDescrip{};
  std::array<QLabel*, 18> lblValue{};
  std::array<QPushButton*, 2> Command6{};  // "&Print", "C&lose >>"
  std::array<QPushButton*, 2> Command7{};  // "&Print", "&Close>>"
  grid::Sheet CashSheetData;               // the cash-due grid's data
  grid::GridWidget* CashSheet = nullptr;

  // Hidden helpers.
  QLineEdit* Text2 = nullptr;  // client box of a document-exchange conversation
  FileList File1;              // report templates of the program folder
  std::string CMDialog1InitialDir;  // initial folder of the file dialogs

  // ---- menus --------------------------------------------------------------------------------
  QMenu* mnuFile = nullptr;
  std::array<QAction*, 4> mnuOpenSave{};  // Open, Save, Save As, New Worksheet
  QMenu* mnuReportmenu = nullptr;
  QAction* mnuExit = nullptr;
  QAction* mnuBar111 = nullptr;           // separator before the recent files
  std::array<QAction*, 4> mnuLastFile{};  // recent worksheets (hidden until filled)
  std::array<QAction*, 5> mnuReports{};
  QMenu* mnuOtherReports = nullptr;
  std::vector<QAction*> mnuCustomRpt;     // 0 "&Browse...", then one per report template
  QAction* mnuConfigReports = nullptr;
  QMenu* mnuEdit = nullptr;
  std::array<QAction*, 2> mnuCopyPaste{};
  QMenu* mnuAnal = nullptr;
  std::array<QAction*, 4> mnuAnalysis{};  // 1 Compare Leases, 2 Tables, 3 the "&Residual" submenu (0 unused)
  QMenu* mnuResidualMenu = nullptr;       // the submenu behind mnuAnalysis[3]
  QAction* mnuSinglePayLease = nullptr;
  std::array<QAction*, 4> mnuResidual{};  // 1997 .. 2000 residuals
  QAction* mnuAdjustResidual = nullptr;
  QMenu* mnuMethod = nullptr;
  std::array<QAction*, 4> mnuType{};      // 0 constant yield, 3 Ford APR (1, 2 unused)
  QMenu* mnuOptions = nullptr;            // also the option grid's context menu
  std::array<QAction*, 2> mnuAddDelOption{};
  QAction* mnuOptionTotals = nullptr;
  QAction* mnuShowTotals = nullptr;
  QAction* mnuExpandOptions = nullptr;
  QMenu* mnuUtilties = nullptr;
  std::array<QAction*, 2> mnuUtil{};      // 1 calculator (0 unused)
  QMenu* mnuConfig = nullptr;
  std::array<QAction*, 3> mnuRate{};
  QAction* mnuTaxSettings = nullptr;
  QAction* mnuSaveConfig = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuIndex = nullptr;
  QAction* mnuOverview = nullptr;
  QAction* mnuUsing = nullptr;
  QAction* mnuGather = nullptr;
  QAction* mnuEntering = nullptr;
  QAction* mnuManipulate = nullptr;
  std::array<QAction*, 3> mnuAbout{};

  // ---- toolbar ------------------------------------------------------------------------------
  QToolBar* Toolbar = nullptr;
  // Buttons by their index 1..9 (6 is the separator; 0 unused).
  std::array<QAction*, 10> ToolbarButtons{};

  // ---- window state -------------------------------------------------------------------------
  int16_t WorksheetFileType = 0;
  bool RenameCancelled = false;

  // ---- controls and their handlers ----------------------------------------------------------
  // Every button, menu item and toolbar button starts "not ready" and disabled. The file
  // that connects its handler calls MarkReady; from then on it is enabled except where the
  // result display's rules disable it (SetEnabledByRule).
  void MarkReady(QWidget* w);
  void MarkReady(QAction* a);
  bool IsReady(const QObject* o) const;
  void SetEnabledByRule(QWidget* w, bool rule);
  // The rule last set by the result display (true when never set).
  bool EnabledByRule(const QObject* o) const;

  // ---- start-up and shut-down (QVStartup.cpp) -----------------------------------------------
  void Form_Load();
  void Form_Unload(int16_t& Cancel);
  void mnuExit_Click();
  void mnuSaveConfig_click();
  // Rewrites the settings file; a failure is reported and the program goes on.
  bool WriteConfigFile() override;
  void FillTaxSetList() override;
  void BuildCustomReportMenu() override;
  void ShowRecentFiles();
  void AddRecentFile(const std::string& path);
  void UpdateQVXINI();
  // Puts the toolbar in its place at the top of the window.
  void BuildToolbar();
  // Shows the data-update notice modeless.
  void ShowUpdateNotice();
  // Sets the caption "Quorvant:" + the name (after an open or a save as).
  void SetWorksheetCaption(const std::string& text);

  // ---- worksheet file (QVWorksheetFile.cpp) ---------------------------------------------------
  // Reads `path` into a new workbook and, only when that succeeded, makes it the worksheet:
  // page 1 loaded and shown, the page selector refilled, the page count and counter set,
  // the caption "Quorvant:" + path. On failure returns false with a message naming the
  // file in `error` and leaves the worksheet, its name and the caption as they were.
  bool OpenWorksheetSequence(const std::string& path, std::string& error);
  enum class SaveResult { Saved, Cancelled, Failed };
  // Save (saveAs false: Save As when the caption holds "UNTITLED") and Save As. A failure is
  // reported in a message box; Cancelled means the user cancelled the file dialog.
  SaveResult SaveWorksheet(bool saveAs);

  // ---- deal field editing (QVFields.cpp) ----------------------------------------------------
  void Text3_GotFocus(int Index);
  void Text3_KeyDown(int Index, int KeyCode, int Shift);
  void Text3_KeyPress(int Index, int& KeyAscii);
  void Text3_LostFocus(int Index);
  void Text4_GotFocus(int Index);
  void Text5_GotFocus(int Index);
  void Text5_KeyPress(int Index, int& KeyAscii);
  void Text5_LostFocus(int Index);
  // The box Enter moves to from deal field Index: the table's target, or the next box of the
  // table that is visible on the current view (-1: the focus stays).
  int EnterTarget(int Index) const;
  // Commits a deal field, the tax rate or the page name still being edited (runs its
  // LostFocus rules as if the focus had left it). Menu, toolbar and window commands that
  // read the page call this first.
  void CommitFieldEdit();

  // ---- page selector, tax-setting list, views (QVPages.cpp) -------------------------------
  void Combo2_Click();
  void Combo2_GotFocus();
  void Combo2_KeyPress(int& KeyAscii);
  void Combo2_KeyUp(int KeyCode, int Shift);
  void Combo2_LostFocus();
  void Text1_KeyPress(int& KeyAscii);
  void Text1_LostFocus();
  void Combo1_Click();
  // Shows the message of a tax setting whose values were out of range, once: the start-up
  // and the choice of the setting that follows it load the same line.
  void ShowTaxSetNotice(const std::string& notice);
  void TabStrip1_Click();
  // Selected tab of TabStrip1, 1..4.
  int SelectedTab() const;
  // Selects a tab from code and switches the view (runs TabStrip1_Click).
  void SelectTab(int tab);
  // Sets the page selector's text without running its handlers.
  void SetCombo2Text(const std::string& text);

  // ---- result display (QVResults.cpp) --------------------------------------------------------
  void ShowPageResults() override;
  void SetPageSelectorText(const std::string& text) override;  // EngineHost and Owner
  void OptionListShown() override;
  // The residual-basis question: the window ResBase, modally (QVButtons.cpp).
  void ShowResBase() override;
  // Set by the notes and details windows while they are loaded: the result display calls
  // them after every recalculation (notes: show Memo; details: refill for view 1..3).
  std::function<void()> NotesRefresh;
  std::function<void(int view)> DetailsRefresh;

  // ---- solvers (QVSolvers.cpp) -------------------------------------------------------------
  // The vehicle, option and force buttons cmdbut2(0..11). This file handles 4 (lease force
  // payment, ForcePmt) and 8 (loan force payment, ForceLoan); the files of the other buttons
  // put their command into cmdbut2Commands[Index] and connect their button to
  // cmdbut2_click, which runs the command and then marks the worksheet modified.
  void cmdbut2_click(int Index);
  std::array<std::function<void()>, 12> cmdbut2Commands{};
  // Double-click on the adjusted cap cost: the cap cost target window ForceCap (modeless).
  void lblAdjustedCap_DblClick();
  // "&Single-Payment Lease": the single payment becomes the cash cap reduction, then the
  // margin is solved for a monthly payment of 0.
  void mnuSinglePayLease_Click();
  void ConnectSolvers();

  // ---- analysis windows (QVAnalysis.cpp) ------------------------------------------------
  // 0 to 3, the "&Details" buttons of the views: the details window Details2, modeless.
  // 4 "View &Report" runs Command2ReportCommand (set by the reports, which also call
  // MarkReady on the button).
  void Command2_Click(int Index);
  std::function<void()> Command2ReportCommand;
  // 1 the lease comparison window Compare, 2 the payment tables window Tables (both
  // modeless); 3 only opens its submenu.
  void mnuAnalysis_Click(int Index);
  void ConnectAnalysis();

  // ---- deal input windows (QVDealInputs.cpp) ----------------------------------------------
  // Puts the start-up costs (StartUps2, after closing the customer and report windows) and
  // adjustments (Adjust) windows into Command1Commands[0] and [1] and connects the rest.
  void ConnectDealInputs();
  // 1 "&Taxes && Fees": the taxes and fees window TaxFee modally, then DialogDone = 0 and
  // the page recalculated.
  void Command4_Click(int Index);
  // The tax settings window TaxSet modally, with the hourglass on the main window meanwhile.
  void mnuTaxSettings_click();
  // Double-clicks on the tax-setting list and on the caption boxes: as mnuTaxSettings_click.
  void Combo1_DblClick();
  void Text4_DblClick(int Index);

  // ---- File menu commands (QVFiles.cpp) --------------------------------------------------
  // 0 Open, 1 Save, 2 Save As, 3 New Worksheet; a cancelled file dialog sets SaveAbandoned.
  void mnuOpenSave_click(int16_t Index);
  // Opens the recent worksheet of menu element Index (0..3).
  void mnuLastFile_Click(int16_t Index);
  // Opens a worksheet file (Open, a recent file): on success the worksheet is replaced and
  // the Method menu follows page 1; a file that cannot be opened or read is reported and
  // the worksheet, its name, the caption and the next Save stay as they were.
  bool OpenWorksheetFile(const std::string& path);
  // When the worksheet holds unsaved changes, asks "Save ... Before Loading New File?" and
  // saves on Yes (Save As for an untitled worksheet). False: stop (Cancel, or the save was
  // cancelled or failed).
  bool SaveBeforeLoading();
  // Empties the five sheets and shows one empty page 1 of "UNTITLED.QVX" with the settings'
  // default rates, the page selector with one empty entry (New Worksheet and Erase
  // Worksheet; both first offer unsaved changes for saving).
  void EraseWorksheet();
  // The page selector filled from sheet "Worksht" (one entry per page, or one empty entry)
  // with the current page's entry selected, without running its handlers.
  void RefillPageSelector() override;
  // Checks "Ford &APR Method" or "&Constant Yield Method" by the page's lease method.
  void CheckMethodMenu();
  // Connects the File menu, the toolbar and the slide-out panels (called once).
  void ConnectFilesToolbarPanels();
  void ConnectToolbar();
  void ConnectPanels();

  // ---- toolbar and page management (QVToolbar.cpp) ---------------------------------------
  // Buttons 1 erase, 2 open, 3 save, 4 report of the view, 5 notes, 7 add page, 8 copy
  // page, 9 delete page (6 is the separator); any other index does nothing.
  void Toolbar_ButtonClick(int Index);
  // Button 4 runs this with the selected view's index minus 1 (0 lease, 1 loan, 2 cash,
  // 3 lease / buy analysis), then PrintDocument. Whoever sets it (the Reports menu's
  // handler) also calls MarkReady(ToolbarButtons[4]); without it the button is disabled.
  std::function<void(int16_t Index)> ToolbarReportCommand;
  // The rebar that carries the toolbar (built by BuildToolbar at the end of start-up).
  CRebar* Rebar = nullptr;

  // ---- slide-out panels (QVPanels.cpp) ----------------------------------------------------
  // Direction 0 slides the panel out over the Lease view's deal fields, 1 slides it back
  // (12 steps, pending events run between the steps). Picture3 payment calculations,
  // Picture5 cash required.
  void SlidePaymentPanel(int Direction);
  void SlideCashPanel(int Direction);
  // Left edge and width of Picture3 (0) and Picture5 (1) in twips of the old window: a panel
  // that is back stands at 6240 with width 3145; out, Picture3 stands at 510 (width 5745)
  // and Picture5 at 2805 (width 3435). A panel counts as out when it stands at its out
  // position and is not hidden (a tab change hides it).
  std::array<float, 2> PanelLeft{6240.0f, 6240.0f};
  std::array<float, 2> PanelWidth{3145.0f, 3145.0f};
  bool PaymentPanelOut() const;
  bool CashPanelOut() const;
  // Fills the cash-due grid CashSheet (and shows Picture5).
  void FillCashDueGrid();
  // Fills the payment calculations of Picture3.
  void ShowPaymentBreakdown();
  // Puts a panel where its twips say, over the Lease view (also after a resize).
  void PlaceSlidePanels();
  // The Lease view's panel buttons: 0 "Pa&yment" (Picture3), 1 "Cash Re&q'd" (Picture5). A
  // panel that is out slides back; otherwise it is filled and slides out.
  void Command5_Click(int Index);
  // The panels' own buttons: 0 "&Print" (the payment calculations or cash required report,
  // enabled with its PanelReportCommands entry), 1 "C&lose >>" / "C&lose>>" slides the
  // panel back.
  void Command6_Click(int Index);
  void Command7_Click(int Index);
  // Set by the reports to print the payment calculations (0) and the cash required (1); the
  // reports call MarkReady on Command6[0] and Command7[0].
  std::array<std::function<void()>, 2> PanelReportCommands{};
  // "Dealer Net&work Quotes": the dealer-network window frmDealerNetwork, modally.
  void cmdDealerNetwork_Click();

  // ---- buttons and labels (QVButtons.cpp) -----------------------------------------------
  // The vehicle and option buttons put their commands into cmdbut2Commands: Car (0, 5, 11)
  // and Truck (1, 6, 10) store the page and call ShowPrices with the vehicle class "C" or
  // "T" (the page's CT changes only when a vehicle is taken); Options (2, 7, 9) call
  // ShowOptLookUp without storing the page. QVPricing.cpp sets them to show the price guide
  // and the option window modally and calls MarkReady on the buttons.
  std::function<void(const std::string& classLetter)> ShowPrices;
  std::function<void()> ShowOptLookUp;
  // Page Up / Page Down on a vehicle, option or force button step through the pages.
  void cmdbut2_KeyDown(int Index, int KeyCode, int Shift);
  // Runs Command1Commands[Index]: 0 "S&tart-Ups" and 1 "Other Ad&justments" are put there
  // by QVDealInputs.cpp, 2 "Mar&gin" (Margin2, modally) by QVButtons.cpp, which connects
  // the three buttons to this handler.
  void Command1_Click(int Index);
  std::array<std::function<void()>, 3> Command1Commands{};
  // Any caption label of the views: the residual adjustment window AdjRes, modally.
  void Label14_DblClick(int Index);
  // The miles field (8) only: the residual adjustment window AdjRes, modally.
  void Text3_DblClick(int Index);
  // Index 0, the lease cash required: asks for a desired cash required and moves the cash
  // cap reduction until the cash required meets it (at most 101 recalculations).
  void lblPayment_DblClick(int Index);
  // Asks for a desired purchase price and moves the margin by the difference.
  void lblPurchPrice_DblClick();
  void ConnectButtons();

  // ---- menus (QVMenus.cpp) -----------------------------------------------------------------
  // 0 copies the selected text of the focused box (or the option grid's selected cells) to
  // the clipboard; 1 pastes the clipboard's text over the focused box's selection.
  void mnuCopyPaste_Click(int Index);
  // 0 constant yield, 3 Ford APR: sets the page's LType, recalculates, marks modified.
  void mnuType_Click(int Index);
  void mnuAdjustResidual_Click();
  // The vehicle and option totals window Totals, modeless.
  void mnuOptionTotals_Click();
  // 1: starts the desktop's calculator (the first of CalculatorPrograms found on the PATH)
  // or says that none was found.
  void mnuUtil_Click(int Index);
  static const std::vector<std::string>& CalculatorPrograms();
  // Starts a program detached from this one; false when it could not be started. Tests
  // replace it.
  std::function<bool(const std::string& path)> StartProgram;
  // 0 default investment rate, 1 default loan rate, 2 default Ford admin factor.
  void mnuRate_Click(int Index);
  // Help topics: contents 1, using Quorvant 2, overview 3, gathering information 7,
  // manipulating the worksheet 8, entering information 18.
  void mnuIndex_Click();
  void mnuUsing_Click();
  void mnuOverview_Click();
  void mnuGather_Click();
  void mnuManipulate_Click();
  void mnuEntering_Click();
  // 0 the About window, 1 "Obtaining &Updates" (help topic 114), 2 "Technical &Support"
  // (113). Item 0 is connected by the file of the About window.
  void mnuAbout_Click(int Index);
  void ConnectMenus();

  // ---- the guides' windows (QVPricing.cpp) ------------------------------------------------
  // 0 to 3: the residual guide of 1997, 1998, 1999 or 2000 (ModelYear set first), the
  // residual lookup ALGRes modally.
  void mnuResidual_Click(int Index);
  // The price guide (Prices, hidden not unloaded when it closes) for the vehicle buttons,
  // the option window (OptLookUp) for the option buttons, and the residual menu items.
  void ConnectPricing();

  // ---- the customer window (QVCustomer.cpp) ------------------------------------------------
  // "Cu&stomer:": the customer window, modeless, made on first use.
  void Command3_Click();
  void ConnectCustomer();
  // Closes the customer window when it is open, its list written first (or its changes
  // knowingly dropped after a failed write). False when the user keeps it open.
  bool CloseCustomerWindow();

  // ---- option list editing (QVOptions.cpp) ----------------------------------------------
  // The end of a cell edit of the option grid (its active cell is the edited cell): the
  // value goes into the page's row of sheet "Options" (a new row is made for a row typed in
  // for the first time), the page is recalculated and the cursor moves along the row; after
  // an MSRP the residual question follows. EditString is replaced by what the grid keeps.
  void OptionList_EndEdit(QString& EditString, bool& Cancel);
  // Pops up the "&Options" menu at the mouse.
  void OptionList_RClick(const QPoint& globalPos);
  // 0 adds an empty row and starts editing it; 1 asks "Delete Option n?" and deletes it.
  void mnuAddDelOption_Click(int Index);
  // Totals of the invoice and MSRP columns in the column headings, on or off.
  void mnuShowTotals_Click();
  // The expanded (taller, word-wrapped) or collapsed option list.
  void mnuExpandOptions_Click();
  bool OptionListExpanded = false;
  int OptionListCollapsedHeight = 0;
  // The column headings with the totals (two lines) or plain.
  void ShowOptionTotalsInHeader(bool totals);
  void ConnectOptionList();

  // ---- helpers ----------------------------------------------------------------------------
  // The colour a label's text is drawn in, 24-bit in blue-green-red order.
  static uint32_t ForeColor(const QLabel* label);
  static void SetForeColor(QLabel* label, uint32_t bgr);
  // Index of the deal field `w` (-1 when it is none).
  int Text3Index(const QObject* w) const;

 protected:
  // Switching from the main window straight to another window of the program (details,
  // comparison, cap cost, totals) takes the field being edited first: the other window may
  // recalculate, and the redisplay would throw the typed text away. Message boxes and the
  // other questions are no such window, so their returns run no LostFocus.
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void BuildMenus();
  void BuildToolbarButtons();
  QWidget* BuildTopBlock();
  QWidget* BuildLeaseView();
  QWidget* BuildLoanView();
  QWidget* BuildCashView();
  QWidget* BuildCompareView();
  QWidget* BuildLeaseCashBox();
  QWidget* BuildLoanCashBox();
  void BuildSlidePanels(QWidget* host);
  QLineEdit* MakeDealField(int index, const char* toolTip);
  QPushButton* MakeButton(const char* caption, const char* toolTip = nullptr);
  QAction* MakeAction(QMenu* menu, const char* caption);
  void ConnectHandlers();
  // Runs the Connect...() functions of the handler files (defined in QV.cpp).
  void ConnectHandlerFiles();

  // Re-entry guards of handlers that can open message boxes.
  bool inText3LostFocus_ = false;
  std::string taxSetNoticeShown_;  // the last tax-setting notice shown (ShowTaxSetNotice)
  bool inText5LostFocus_ = false;
  bool inCombo2LostFocus_ = false;
  bool inText1LostFocus_ = false;
  bool ending_ = false;

  WindowSet& windows_;
  std::unique_ptr<editor::ReportEditor> reportEditor_;
};

}  // namespace qv
