#pragma once
// The notes window "Notes": the free-text notes of the current page (at most 256
// characters), modeless and on top of the other windows. Opened from the main window's
// toolbar.
//
// What is typed is stored into the page's Memo at every change, so a recalculation (which
// shows Memo again) never throws typed notes away, and a page change never carries them
// into another page: the page being left keeps them, and the window then shows the notes
// of the page that was loaded. The box takes no more than the page keeps: an edit (typing
// or a paste) that would make the text longer than 256 characters is taken back with a
// message, so nothing typed is dropped without a word. Notes already longer (read from a
// file) can be shortened but not lengthened; such a text is not stored, and closing the
// window with it is refused with the same message.
#include <QDialog>

#include <array>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace qv {

class Engine;
class Owner;

class Notes : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxLength = 256;
  // Loads the window on the engine, over its owner (the main window).
  Notes(Engine& engine, Owner& owner);
  ~Notes() override;

  Engine& eng;
  Owner& owner;

  QPlainTextEdit* Text1 = nullptr;
  std::array<QPushButton*, 2> Command2{};  // 0 " &Clear", 1 " &OK"

  // On loading: on top, NotesOpen set, the page's Memo shown, the worksheet marked modified.
  void Form_Load();
  // 0 empties the text, 1 closes the window.
  void Command2_Click(int Index);
  // Cancel is set (and the window stays, nothing stored) when the text is too long;
  // otherwise Memo takes the text and NotesOpen is cleared.
  void Form_Unload(int16_t& Cancel);
  // Every change of the text: stored into Memo when it is not too long.
  void Text1_Change();
  // After a recalculation (the main window's NotesRefresh calls it while NotesOpen is set):
  // shows the page's Memo, unless it is what this window stored last for the same page
  // (the text typed stays as it is, cursor included).
  void ShowMemo();

  // The text as Memo keeps it (line breaks as CR LF).
  std::string MemoText() const;

  // Escape closes the window as the close box does.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  bool unloaded_ = false;
  // Shows `box` in the text box without running Text1_Change, as the text accepted last.
  void SetBoxText(const QString& box);

  std::string lastStored_;
  QString accepted_;  // the box's text after the last edit it took
  bool refusing_ = false;
  int shownPage_ = 0;
};

}  // namespace qv
