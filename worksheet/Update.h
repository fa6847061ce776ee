#pragma once
// The data-update notice: shown modeless at start-up when the pricing data are more than
// 60 days old. Ticking "Do not show this message again." and closing the window switches
// the reminder off in the settings file.
#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace qv {

class Engine;
class Owner;

class Update : public QDialog {
  Q_OBJECT

 public:
  Update(Engine& engine, Owner& owner);
  ~Update() override;

  QLabel* Label1 = nullptr;
  QCheckBox* Check1 = nullptr;
  // 0 "How to Obtain an Update" (the help topic on updates), 1 "Close".
  std::array<QPushButton*, 2> Command1{};

  void Command1_Click(int Index);
  // The window's unload duty: with the box ticked, NoUpdateReminder is set and the
  // settings file rewritten.
  void Form_Unload();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Engine& eng;
  Owner& owner;
  bool unloaded_ = false;
};

}  // namespace qv
