#pragma once
// The standard-equipment window "Standard Equipment": the standard-equipment text of the
// current page's vehicle line, one item a line, under the vehicle text of the option
// window. Opened modally from the option window; "&Close" unloads it.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qv {

class StdEquip : public ui::QvDialog {
  Q_OBJECT

 public:
  StdEquip(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  QLabel* Label1 = nullptr;                // the vehicle text
  QPlainTextEdit* Text1 = nullptr;         // the equipment text (read only)
  std::array<QPushButton*, 2> Command1{};  // 1 "&Close" (0 unused)

  // Reads the line of the page's vehicle line (MfgNum) from the page's class's guide. A
  // missing or damaged file is reported once and leaves the text empty; a page without a
  // vehicle from the guide (MfgNum 0) shows no text.
  void Form_Load();
  void Command1_Click(int Index);

 private:
  void Build();
};

}  // namespace qv
