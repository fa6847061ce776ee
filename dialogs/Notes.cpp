#include "dialogs/Notes.h"

#include <algorithm>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "owner/SharedState.h"
#include "owner/WindowSet.h"
#include "platform/ui/Prompt.h"

namespace qv {

namespace {

constexpr const char* kTooLong = "Length of notes field cannot be longer than 256 characters";

// Memo keeps CR LF line breaks; the text box works with LF.
QString ToBox(const std::string& memo) {
  QString s = QString::fromStdString(memo);
  s.replace("\r\n", "\n");
  s.replace('\r', '\n');
  return s;
}

}  // namespace


Notes::Notes(Engine& engine, Owner& theOwner) : QDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("Notes");
  setWindowTitle("Notes");
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* v = new QVBoxLayout(this);
  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName("Text1");
  Text1->setTabChangesFocus(true);
  v->addWidget(Text1, 1);
  auto* row = new QHBoxLayout();
  Command2[0] = new QPushButton(" &Clear", this);
  Command2[1] = new QPushButton(" &OK", this);
  for (QPushButton* b : Command2) b->setAutoDefault(false);
  row->addStretch(1);
  row->addWidget(Command2[0]);
  row->addWidget(Command2[1]);
  row->addStretch(1);
  v->addLayout(row);
  resize(360, 240);
  for (int i = 0; i < 2; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
  connect(Text1, &QPlainTextEdit::textChanged, this, [this] { Text1_Change(); });
  Form_Load();
}

Notes::~Notes() {
  // Unloaded without a close (the program ends): what can be kept is already in Memo.
  if (!unloaded_) {
    unloaded_ = true;
    owner.Shared().NotesOpen = 0;
  }
}

void Notes::Form_Load() {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  owner.Shared().NotesOpen = -1;
  SetBoxText(ToBox(eng.page.Memo));
  lastStored_ = eng.page.Memo;
  shownPage_ = eng.CurrentPage;
  eng.WorksheetModified = -1;
}

std::string Notes::MemoText() const {
  QString s = Text1->toPlainText();
  s.replace("\n", "\r\n");
  return s.toStdString();
}

void Notes::SetBoxText(const QString& box) {
  QSignalBlocker block(Text1);
  Text1->setPlainText(box);
  accepted_ = box;
}

void Notes::Text1_Change() {
  if (refusing_) return;
  const std::string text = MemoText();
  const int length = QString::fromStdString(text).length();
  if (length > kMaxLength) {
    // An edit that makes the text longer than the page keeps is taken back whole (the
    // cursor where it was before), and the user is told.
    QString before = accepted_;
    before.replace("\n", "\r\n");
    if (length > before.length()) {
      refusing_ = true;
      const int cursor = std::min(Text1->textCursor().position(), static_cast<int>(accepted_.length()));
      SetBoxText(accepted_);
      QTextCursor c = Text1->textCursor();
      c.setPosition(std::min(cursor, static_cast<int>(accepted_.length())));
      Text1->setTextCursor(c);
      ui::GetPrompt().MsgBox(kTooLong);
      refusing_ = false;
      return;
    }
    accepted_ = Text1->toPlainText();
    return;
  }
  accepted_ = Text1->toPlainText();
  if (text != eng.page.Memo) {
    eng.page.Memo = text;
    eng.WorksheetModified = -1;
  }
  lastStored_ = text;
  shownPage_ = eng.CurrentPage;
}

void Notes::ShowMemo() {
  if (eng.page.Memo == lastStored_ && eng.CurrentPage == shownPage_) return;
  SetBoxText(ToBox(eng.page.Memo));
  lastStored_ = eng.page.Memo;
  shownPage_ = eng.CurrentPage;
}

void Notes::Command2_Click(int Index) {
  if (Index == 0) Text1->clear();
  else if (Index == 1) close();
}

void Notes::Form_Unload(int16_t& Cancel) {
  const std::string text = MemoText();
  if (QString::fromStdString(text).length() > kMaxLength) {
    ui::GetPrompt().MsgBox(kTooLong);
    Cancel = -1;
    return;
  }
  eng.page.Memo = text;
  owner.Shared().NotesOpen = 0;
  unloaded_ = true;
}

void Notes::closeEvent(QCloseEvent* e) {
  if (unloaded_) {
    e->accept();
    return;
  }
  int16_t Cancel = 0;
  Form_Unload(Cancel);
  if (Cancel) e->ignore();
  else e->accept();
}

void Notes::reject() { close(); }

}  // namespace qv
