#pragma once
// The window Reports ("Configure Reports"), modeless: the template of each of the four
// standard reports (lease, loan, cash, lease / buy) and the viewer of merged reports (the
// built-in editor, LibreOffice Writer, or the desktop's program for RTF). View merges the
// current page into the chosen template and shows it; Edit opens the template itself; Browse
// picks a template file; Create makes a new, empty template in the program folder and opens
// it (a name that exists already is refused, so no template is ever emptied). OK writes the
// settings file and rebuilds the custom-report menu; Cancel keeps what View, Edit, Create
// and the path questions changed in memory only.
#include <array>
#include <string>

#include "engine/Engine.h"
#include "platform/ui/Window.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace qv {

class Owner;

class Reports : public ui::QvDialog {
 public:
  Reports(Engine& engine, Owner& owner);

  std::array<QRadioButton*, 4> Option1{};  // "&Lease", "L&oan", "&Cash", "Lease/&Buy"
  std::array<QLineEdit*, 4> Text1{};       // the four template paths, one in front
  QStackedWidget* TextStack = nullptr;
  std::array<QRadioButton*, 3> Option2{};  // the viewers "QVEdit", "WinWord", "WordPad"
  std::array<QPushButton*, 4> Command1{};  // View, Edit, Browse, Create
  std::array<QPushButton*, 2> Command2{};  // OK, Cancel

  void Form_Load();
  void Option1_Click(int Index);
  void Option2_Click(int Index);
  void Command1_Click(int Index);
  void Command2_Click(int Index);

  // The chosen report kind 0..3, -1 when none.
  int ChosenKind() const;

 private:
  // ReportViewer from the viewer buttons (unchanged when none is chosen).
  void ViewerFromButtons();
  void CreateReport();

  Engine& eng;
  Owner& owner;
};

}  // namespace qv
