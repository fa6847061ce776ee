#pragma once
// The window FileError ("File Error"): the report hand-off could not start the word
// processor of the configured viewer and asks for the program's path. OK stores the path
// for the viewer ("WinWord": WordPath, "WordPad": WordPadPath), writes the settings file and
// closes with QDialog::Accepted; Cancel, or cancelling the browse dialog, stores nothing,
// sets DialogDone and closes with QDialog::Rejected. The hand-off tells the two apart by the
// window's result.
#include <array>

#include "engine/Engine.h"
#include "platform/ui/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class Owner;

class FileError : public ui::QvDialog {
 public:
  FileError(Engine& engine, Owner& owner);

  QLabel* Label1 = nullptr;     // the message
  QLineEdit* Text1 = nullptr;   // the program's path
  std::array<QPushButton*, 3> Command1{};  // "&OK", "&Cancel", "&Browse..."

  void Command1_Click(int Index);

 private:
  Engine& eng;
  Owner& owner;
};

}  // namespace qv
