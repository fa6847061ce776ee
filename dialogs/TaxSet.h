#pragma once
// The tax settings window "Tax Settings": the named tax settings of "Taxset.txt" in the
// program folder. It lists them, shows the current one (lease tax rate, method, default
// payment and the start-up items the lease tax also taxes; the buy tax rates; the luxury
// tax), switches to another (saving the shown one first), adds a setting with the default
// values, deletes one, and on closing writes the settings file, saves the current setting,
// recalculates the page and refills the main window's tax-setting list.
//
// The form holds no copy of a setting: FillTaxSetForm shows the engine's tax-setting
// variables, ReadTaxSetForm takes the controls back into them.
//
// Add refuses an empty name, a name already in the list and a name with a comma, with a
// message; a name typed into the list without Add is dropped when the list is left or the
// window closes; Add and a switch both keep the edits of the setting shown. Lines of the file
// without a comma are no settings: they are not listed and are kept as they are when a
// setting is deleted. A file with no setting still opens the window, with Add offered.
//
// Entry point for openers (the main window's menu item and double-clicks):
//   TaxSet::ShowModalAndWait(owner);  // shows it modally, returns once it closed and unloaded
#include <array>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;

namespace qv {

class TaxSet : public ui::QvDialog {
  Q_OBJECT

 public:
  // Loads the window on the engine, over its owner (the main window).
  TaxSet(Engine& engine, Owner& owner);
  ~TaxSet() override;

  // Shows the single instance modally and unloads it (which saves and recalculates).
  static void ShowModalAndWait(Owner& owner);

  // The names of the settings in a tax-settings file, in file order: the text before the
  // first comma of each line after the header, up to the end or the first empty line.
  // Lines without a comma are passed over. False when the file cannot be read.
  static bool ReadTaxSetNames(const std::string& path, std::vector<std::string>& names);

  Engine& eng;
  Owner& owner;

  void reject() override;  // Escape and the close box close it as " &Ok" does

  // ---- controls ----
  QLabel* Label19 = nullptr;                  // "Name:"
  QComboBox* Combo1 = nullptr;                // the setting names (editable text)
  std::array<QPushButton*, 3> Command1{};     // 0 "&Add", 1 " &Delete", 2 " &Ok"
  QTabBar* TabStrip1 = nullptr;               // "&Sales/Use Tax", "  &Luxury Tax  "
  QStackedWidget* tabPages = nullptr;
  std::array<QFrame*, 2> frameTab{};
  QGroupBox* frameLease = nullptr;            // "Lease Tax Settings"
  QGroupBox* frameBuy = nullptr;              // "Buy Tax Settings"
  // 0 lease rate, 1 buy rate, 2 local rate, 3 maximum local tax, 4 luxury rate,
  // 5 luxury threshold, 6 maximum tax.
  std::array<QLineEdit*, 7> Text2{};
  std::array<QRadioButton*, 4> optTaxMethod{};
  std::array<QRadioButton*, 2> optCapCash{};      // 0 "Cash", 1 "Capitalize"
  std::array<QCheckBox*, 14> chkAlsoTax{};
  QCheckBox* chkExclTradeFromLocal = nullptr;
  std::array<QRadioButton*, 2> optLuxuryTaxCC{};  // 0 "Cash", 1 "Capitalize"
  QCheckBox* chkInterestOnLuxuryTax = nullptr;

  // ---- procedures and handlers ----
  void FillTaxSetForm();
  void ReadTaxSetForm();
  void Form_Load();
  void Form_Unload();
  void Combo1_Click();
  void Combo1_KeyPress(int& KeyAscii);
  void Combo1_LostFocus();
  void Command1_Click(int Index);
  void TabStrip1_Click();
  void optTaxMethod_Click(int Index);
  void Text2_GotFocus(int Index);
  void Text2_KeyPress(int Index, int& KeyAscii);
  void Text2_LostFocus(int Index);

  // The text the list shows (the current name, or what was typed over it).
  std::string ListText() const;

 private:
  void Build();
  QWidget* BuildSalesTab();
  QWidget* BuildLuxuryTab();
  // Fills the list from the file; false (after a message) when the file cannot be read.
  bool FillNames();
  // Selects the entry of the current name, or the first entry (switching to it) when the
  // name is not listed.
  void SelectCurrentName();
  void SetListText(const std::string& text);
  // Saves the setting shown (its edits) under the current name.
  void SaveShownSetting();
  void Finish();
  void ReportSaveFailure(const std::string& error);

  // Set while the window itself changes the list's selection, so Combo1_Click ignores it.
  int16_t settingList_ = 0;
  std::array<ui::EntryBoxFilter*, 7> filters_{};
  bool finished_ = false;
  bool inCombo1LostFocus_ = false;
};

}  // namespace qv
