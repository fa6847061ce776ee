#pragma once
// The report editor's frame: a multi-document window with the picture-button tool bar and
// the zoom box, the formatting bar, the status bar, and the document windows between them.
// The bars serve whichever document window is active; with none open, the commands that
// need a document are disabled and the frame's own File menu shows.
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>

#include <array>
#include <functional>

#include "platform/ui/Window.h"

class QAction;
class QMdiSubWindow;
class QFontComboBox;
class QMdiArea;
class QMenu;
class QToolButton;

namespace qv::editor {

class ReportEditor;
class TextControl;
class frmMDIChild;

// A picture button of the tool bar: shows its raised or its pressed face and reports the
// mouse to the frame, which decides the face and runs the command.
class PictureButton : public QWidget {
  Q_OBJECT

 public:
  PictureButton(const QString& name, const QString& tip, QWidget* parent);
  void SetFaces(const QPixmap* up, const QPixmap* down);
  void ShowUp();
  void ShowDown();
  bool ShowsDown() const { return down_; }
  QSize sizeHint() const override { return {24, 22}; }  // 360 x 330 twips

  std::function<void(int button, int shift, int x, int y)> onMouseDown, onMouseMove, onMouseUp;
  std::function<void()> onClick;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  const QPixmap* up_ = nullptr;
  const QPixmap* downFace_ = nullptr;
  bool down_ = false;
};

// The formatting bar (font, size, bold, italic, underline, alignment) of the active document.
class ButtonBar : public QWidget {
  Q_OBJECT

 public:
  explicit ButtonBar(QWidget* parent);
  // The text control it serves (null: none, the bar is disabled).
  void Bind(TextControl* control);
  TextControl* Bound() const { return control_; }
  void Refresh();

  QFontComboBox* fontBox;
  QComboBox* sizeBox;
  QToolButton *boldButton, *italicButton, *underlineButton;
  QToolButton *leftButton, *centerButton, *rightButton, *justifyButton;

 private:
  void Apply(const std::function<void(TextControl&)>& f);
  QPointer<TextControl> control_;
  QMetaObject::Connection caret_;
  bool refreshing_ = false;
};

// The status bar with the panes Page, Line and Col of the active document.
class EditorStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit EditorStatusBar(QWidget* parent);
  void Bind(TextControl* control);
  TextControl* Bound() const { return control_; }
  void Refresh();
  QLabel *pagePane, *linePane, *colPane;

 private:
  QPointer<TextControl> control_;
  QMetaObject::Connection caret_;
};

class frmAboutDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  explicit frmAboutDlg(QWidget* parent = nullptr);
  QPushButton* cmdOK;
  void cmdOK_Click();
};

#define QV_PICTURE_BUTTON(name)                                   \
  PictureButton* name = nullptr;                                  \
  QPixmap name##Up, name##Dn;                                     \
  void name##_MouseDown(int button, int shift, int x, int y);     \
  void name##_MouseMove(int button, int shift, int x, int y);     \
  void name##_MouseUp(int button, int shift, int x, int y);       \
  void name##_Click();

class frmMDIParent : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMDIParent(ReportEditor& editor);
  ~frmMDIParent() override;

  ReportEditor& Editor() const { return editor_; }

  QMdiArea* MdiArea() const { return mdi_; }
  // The active document window (the last one activated when the frame itself is not active).
  frmMDIChild* ActiveForm() const;
  // Called by a document window when it becomes active or closes.
  void DocumentActivated(frmMDIChild* child);
  void DocumentClosed(frmMDIChild* child);
  // The bars and menus follow the active document window (or show the frame's own state).
  void BindActive();

  // ---- controls ----
  QWidget* picToolbar = nullptr;
  QV_PICTURE_BUTTON(imgFileNewButton)
  QV_PICTURE_BUTTON(imgFileOpenButton)
  QV_PICTURE_BUTTON(imgFileSaveButton)
  QV_PICTURE_BUTTON(imgCutButton)
  QV_PICTURE_BUTTON(imgCopyButton)
  QV_PICTURE_BUTTON(imgPasteButton)
  QV_PICTURE_BUTTON(imgPrintButton)
  QV_PICTURE_BUTTON(imgPrintPreButton)
  QComboBox* cboZoom = nullptr;
  ButtonBar* TXButtonBar1 = nullptr;
  EditorStatusBar* TXStatusBar1 = nullptr;

  // ---- the frame's own menu (shown while no document window is open) ----
  QMenu* mnuFile = nullptr;
  QAction* mnuFile_New = nullptr;
  QAction* mnuFile_Open = nullptr;
  std::array<QAction*, 5> mnuRecentFile{};

  // ---- handlers ----
  void MDIForm_Load();
  void MDIForm_Unload();
  void mnuFile_New_Click();
  void mnuFile_Open_Click();
  void cboZoom_Click();

  // Arranging the document windows.
  // Moves and shrinks a document window until it lies wholly inside the visible area.
  void FitInside(QMdiSubWindow& sub) const;
  // Puts a new document window one title bar below and right of the active one, as far as
  // the area leaves it room to work in (else at the top left), inside the visible area.
  void PlaceNew(QMdiSubWindow& sub) const;
  void Arrange(int how);  // 0 cascade, 1 tile horizontal, 2 tile vertical, 3 arrange icons

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildToolbar();
  void ShowFrameMenu();
  void ShowDocumentMenu(frmMDIChild* child);
  // The four steps of every picture button.
  void ButtonMouseDown(PictureButton& b, int button);
  void ButtonMouseMove(PictureButton& b, int button, int x, int y);
  void ButtonMouseUp(PictureButton& b);
  void ButtonClick(PictureButton& b);
  void WireButton(PictureButton* b, void (frmMDIParent::*down)(int, int, int, int),
                  void (frmMDIParent::*move)(int, int, int, int), void (frmMDIParent::*up)(int, int, int, int),
                  void (frmMDIParent::*click)());

  ReportEditor& editor_;
  QMdiArea* mdi_ = nullptr;
  QPointer<frmMDIChild> active_;
  bool unloading_ = false;
};

#undef QV_PICTURE_BUTTON

}  // namespace qv::editor
