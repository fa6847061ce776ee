#pragma once
// What a window below the main window asks of it. The main window QV implements it; a window
// gets its owner (and the engine) through its constructor, T(Engine&, Owner&), and never
// includes the main window's header nor touches its widgets.
//
// The services are named for what they do. Page numbers are 1-based; entries of the page
// selector are 0-based (entry n - 1 is page n); views are 1 Lease, 2 Loan, 3 Cash, 4 the
// comparison view; deal fields are numbered as the main window's Text3 array (7 residual,
// 8 allowed miles).
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace qv {

class WindowSet;
struct SharedState;

class Owner {
 public:
  virtual ~Owner() = default;

  // ---- the program's windows -----------------------------------------------------------
  // The single instances of the windows: a window opens another through it.
  virtual WindowSet& Windows() = 0;
  // Window-side state shared between windows (the focus text, which windows are open, ...).
  virtual SharedState& Shared() = 0;
  // The main window as the parent of the windows it owns.
  virtual QWidget* MainWidget() = 0;
  // False while the main window is being taken down: windows closing then leave it alone.
  virtual bool OwnerAlive() const = 0;

  // ---- the page selector ---------------------------------------------------------------
  virtual int PageSelectorCount() const = 0;
  virtual std::string PageSelectorText(int entry) const = 0;
  // Sets the text of one entry without running the selector's handlers.
  virtual void SetPageSelectorEntry(int entry, const std::string& text) = 0;
  // Shows a text as the selector's current text without running its handlers.
  virtual void SetPageSelectorText(const std::string& text) = 0;
  // Refills the selector from sheet "Worksht", the current page's entry selected.
  virtual void RefillPageSelector() = 0;

  // ---- the current page ------------------------------------------------------------------
  // Makes `page` current as choosing it in the page selector does: the current page stored,
  // the chosen one loaded, shown and recalculated. False when the selector has no such entry.
  virtual bool ChoosePage(int page) = 0;
  // Commits the field being edited, then stores the current page (items, then fields) into
  // the worksheet.
  virtual void StoreCurrentPage() = 0;
  // Loads the current page (CurrentPage) from the worksheet and shows it, recalculated.
  virtual void LoadCurrentPage() = 0;
  // Stores the current page and adds an empty page at the end, made current and shown, the
  // page selector refilled (as the toolbar's add-page button does after asking). False, with
  // a message, when the worksheet already holds as many pages as it can.
  virtual bool NewPage() = 0;

  // ---- views ------------------------------------------------------------------------------
  virtual int SelectedView() const = 0;
  // Selects a view's tab and switches the view, as a click on the tab does.
  virtual void SelectView(int view) = 0;

  // ---- lists, menus and settings ------------------------------------------------------------
  // The option grid refilled from sheet "Options" for the current page (ShowPageOptions).
  virtual void RefillOptionList() = 0;
  // The tax-setting list refilled from "Taxset.txt".
  virtual void FillTaxSetList() = 0;
  // Selects `name` in the tax-setting list (its first entry when the name is not there) and
  // runs the list's click: the setting is loaded and the page recalculated.
  virtual void ChooseTaxSet(const std::string& name) = 0;
  // Rewrites the settings file "Quorvant.Cfg"; a failure is reported and false returned.
  virtual bool WriteConfigFile() = 0;
  // The custom-report menu rebuilt from the report templates of the program folder.
  virtual void BuildCustomReportMenu() = 0;

  // ---- reports ------------------------------------------------------------------------------
  // Makes the report of `kind` (0 lease, 1 loan, 2 cash, 3 lease / buy, 4 rebate, 5 a template
  // picked in a file dialog, 6 CustomTemplatePath, 7 comparison, 8 payment tables, 9 payment
  // calculations, 10 cash required) for the current page, committed, stored and recalculated
  // first, and shows it in the configured viewer.
  virtual void GenerateReport(int16_t kind) = 0;
  // Opens folder & name of `path` & `ext` unmerged in the configured viewer (a template to edit).
  virtual void OpenReportInEditor(const std::string& path, const std::string& ext) = 0;

  // ---- fields and labels ----------------------------------------------------------------------
  virtual std::string DealFieldText(int index) const = 0;
  virtual void SetDealFieldText(int index, const std::string& text) = 0;
  // The margin percentage label beside the margin field.
  virtual std::string MarginPercentText() const = 0;
  // The name of the customer attached to the current page, as the main window shows it.
  virtual std::string CustomerNameText() const = 0;
  // The customer labels (name and number) show the engine's Label25Caption and
  // lblCustIDCaption again, after the customer window attached or detached a customer.
  virtual void ShowCustomerLabels() = 0;

  // ---- after a recalculation ----------------------------------------------------------------
  // What the result display runs for the details window while it is open (view 1 to 3);
  // nullptr to stop.
  virtual void SetDetailsRefresh(std::function<void(int view)> refresh) = 0;

  // ---- help -------------------------------------------------------------------------------------
  // Opens the help file at a context number (0: help on help).
  virtual void ShowHelp(int16_t context) = 0;
};

}  // namespace qv
