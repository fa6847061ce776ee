#pragma once
// One document of the report editor: a ruler over a text control shown as pages, and the
// editor's full menu bar, which the frame shows while this window is active. The window
// knows its slot through its Tag and finds its flags there.
#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "editor/Formats.h"

class QAction;
#include <QMdiSubWindow>

namespace qv::editor {

class ReportEditor;
class Ruler;
class TextControl;

class frmMDIChild : public QWidget {
  Q_OBJECT

 public:
  explicit frmMDIChild(ReportEditor& editor);
  ~frmMDIChild() override;

  ReportEditor& Editor() const { return editor_; }

  // The slot number as text, and the caption (the document's name).
  QString Tag;
  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption);
  int Slot() const { return Tag.toInt(); }
  // The path of the document's file as it was given (the caption shows it in upper case,
  // which names another file where names differ by case). Empty while untitled.
  std::string filePath;
  // The format the document came from (text when new): a name the editor does not know
  // saves in it when it is RTF.
  FileFormat sourceFormat = FileFormat::Text;

  // The sub-window of the frame that holds this window, once shown.
  QMdiSubWindow* SubWindow() const { return sub_; }
  // Shows the window in the frame, modeless, and makes it active.
  void ShowWindow();
  // Closes the window as its close box does (asking about unsaved changes). False when the
  // user kept it open.
  bool CloseWindow();
  // Closes it without asking (the editor closes after it asked itself).
  void CloseWithoutAsking();

  // ---- controls ----
  Ruler* TXRuler1 = nullptr;
  TextControl* TXTextControl1 = nullptr;

  // ---- menus ----
  QMenu* mnuFile = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuInsert = nullptr;
  QMenu* mnuFormat = nullptr;
  QMenu* mnuWindow = nullptr;
  QMenu* mnuView_Zoom = nullptr;
  QMenu* mnuInsert_Image = nullptr;
  QMenu* mnuObject = nullptr;
  QAction *mnuFile_New, *mnuFile_Open, *mnuFileSave, *mnuFile_SaveAs, *mnuFile_Print, *mnuFile_PrintPreview,
      *mnuFile_About, *mnuFile_Exit;
  QAction *mnuUndo, *mnuRedo, *mnuEdit_Cut, *mnuEdit_Copy, *mnuEdit_Paste, *mnuEdit_Delete, *mnuEdit_Search,
      *mnuEdit_Replace, *mnuEdit_SelectAll;
  QAction *mnuView_Toolbar, *mnuView_ParagraphBar, *mnuView_Ruler, *mnuView_StatusBar, *mnuView_ControlChars,
      *mnuView_TableGridLines;
  std::array<QAction*, 6> mnuView_ZoomItem{};  // 1 to 5
  QAction *mnuInsert_Text, *mnuInsert_ImageAtCaretPosition, *mnuInsert_ImageAsFixedObject,
      *mnuInsert_ObjectAtCaretPosition, *mnuInsert_ObjectAsFixedObject, *mnuInsert_Table;
  QAction *mnuFormat_Character, *mnuFormat_TColor, *mnuFormat_BColor, *mnuFormat_Paragraph, *mnuFormat_Frames,
      *mnuFormat_Table, *mnuFormat_Image, *mnuFormat_Document;
  QAction *mnuWindow_Cascade, *mnuWindow_TileHorizontal, *mnuWindow_TileVertical, *mnuWindow_ArrangeIcons;
  // The menus of the bar, left to right.
  std::vector<QMenu*> Menus() const { return {mnuFile, mnuEdit, mnuView, mnuInsert, mnuFormat, mnuWindow}; }

  // ---- handlers ----
  void Form_Load();
  void Form_Resize();
  void Form_QueryUnload(bool& cancel);
  void Form_Unload();
  void mnuEdit_Click();
  void mnuView_Click();
  void mnuInsert_Click();
  void mnuFormat_Click();
  void mnuWindow_Click();
  void mnuView_ZoomItem_Click(int index);
  void TXTextControl1_Change();
  void TXTextControl1_KeyDown(int keyCode, int shift);
  void TXTextControl1_MouseDown(int button, int shift, int x, int y);

  void mnuFile_New_Click();
  void mnuFile_Open_Click();
  void mnuFileSave_Click();
  void mnuFile_SaveAs_Click();
  void mnuFile_Print_Click();
  void mnuFile_PrintPreview_Click();
  void mnuFile_About_Click();
  void mnuFile_Exit_Click();
  void mnuUndo_Click();
  void mnuRedo_Click();
  void mnuEdit_Cut_Click();
  void mnuEdit_Copy_Click();
  void mnuEdit_Paste_Click();
  void mnuEdit_Delete_Click();
  void mnuEdit_Search_Click();
  void mnuEdit_Replace_Click();
  void mnuEdit_SelectAll_Click();
  void mnuView_Toolbar_Click();
  void mnuView_ParagraphBar_Click();
  void mnuView_Ruler_Click();
  void mnuView_StatusBar_Click();
  void mnuView_ControlChars_Click();
  void mnuView_TableGridLines_Click();
  void mnuInsert_Text_Click();
  void mnuInsert_ImageAtCaretPosition_Click();
  void mnuInsert_ImageAsFixedObject_Click();
  void mnuInsert_Table_Click();
  void mnuFormat_Character_Click();
  void mnuFormat_TColor_Click();
  void mnuFormat_BColor_Click();
  void mnuFormat_Paragraph_Click();
  void mnuFormat_Frames_Click();
  void mnuFormat_Table_Click();
  void mnuFormat_Image_Click();
  void mnuFormat_Document_Click();
  void mnuWindow_Cascade_Click();
  void mnuWindow_TileHorizontal_Click();
  void mnuWindow_TileVertical_Click();
  void mnuWindow_ArrangeIcons_Click();

  // The height of the window's inside (what the text control and the ruler share).
  int ScaleHeight() const { return height(); }
  // The colour painted beside the text control. It is painted, not set in a palette: every
  // new palette would give the control's scroll bars new entries in the style's drawing cache.
  QColor Background() const { return background_; }
  void SetBackground(const QColor& colour);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  QAction* Item(QMenu* menu, const char* name, const QString& caption, void (frmMDIChild::*handler)(),
                const QKeySequence& shortcut = {});

  ReportEditor& editor_;
  QPointer<QMdiSubWindow> sub_;
  QPointer<QObject> subObject_;
  bool closingWithoutAsking_ = false;
  bool unloaded_ = false;
  QColor background_{0xFF, 0xFF, 0xFF};
};

}  // namespace qv::editor
