#pragma once
// The About window "About Quorvant Pro": the release, the date of the pricing data (from
// "UpDate.Dat" in the program folder) and where updates come from. Modeless, a single
// instance; "&Ok" closes it.
#include <QDialog>

class QLabel;
class QPushButton;

namespace qv {

class Engine;
class Owner;
class WindowSet;

class About : public QDialog {
  Q_OBJECT

 public:
  About(Engine& engine, Owner& owner);

  Engine& eng;

  QLabel* Label1 = nullptr;  // "Quorvant Pro   Release " + the release
  QLabel* Label2 = nullptr;  // notices, the data date, where to get updates
  QLabel* Image1 = nullptr;  // the program's picture
  QPushButton* Command1 = nullptr;  // "&Ok"

  // Fills the labels (run when the window is made).
  void Form_Load();
  void Command1_Click();

  // The web address for updates shown in the window.
  static constexpr const char* kUpdatesAddress = "https://updates.example.com/quorvant";
};

// Shows the About window (modeless, brought to the front).
void ShowAbout(WindowSet& windows);

}  // namespace qv
