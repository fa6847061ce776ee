#pragma once
// The text control's own dialogs: character (the font dialog of the prompt seam), search and
// replace, paragraph, and table attributes. Each works on one text control.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "platform/ui/Window.h"

namespace qv::editor {

class TextControl;

// Shows the font dialog for the selection and applies the choice (as one formatting step).
void FontDialog(TextControl& tx);

class FindReplaceDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  FindReplaceDlg(TextControl& tx, bool replace, QWidget* parent = nullptr);

  QLineEdit* txtFind;
  QLineEdit* txtReplace;
  QCheckBox* chkMatchCase;
  QCheckBox* chkWholeWord;
  QPushButton *cmdFindNext, *cmdReplace, *cmdReplaceAll, *cmdClose;
  QLabel* lblResult;

  // Selects the next occurrence after the caret (from the top when none follows). False,
  // with "Not found." shown, when there is none.
  bool FindNext();
  // Replaces the selected occurrence and finds the next.
  void Replace();
  // Replaces every occurrence (one undo step); the number replaced.
  int ReplaceAll();

 private:
  int Flags() const;
  TextControl& tx_;
};

class ParagraphDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  ParagraphDlg(TextControl& tx, int measureUnit, QWidget* parent = nullptr);

  QComboBox* cboAlignment;
  QLineEdit *txtLeft, *txtRight, *txtFirstLine, *txtBefore, *txtAfter;
  QPushButton *cmdOK, *cmdCancel;
  void cmdOK_Click();

 private:
  TextControl& tx_;
  int unit_;
};

class TableAttrDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  TableAttrDlg(TextControl& tx, QWidget* parent = nullptr);

  QSpinBox* spnBorder;   // points
  QSpinBox* spnPadding;  // points
  QPushButton *cmdInsertRow, *cmdInsertColumn, *cmdDeleteRow, *cmdDeleteColumn;
  QPushButton *cmdOK, *cmdCancel;
  void cmdOK_Click();
  void InsertRow();
  void InsertColumn();
  void DeleteRow();
  void DeleteColumn();

 private:
  TextControl& tx_;
};

}  // namespace qv::editor
