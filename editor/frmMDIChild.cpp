#include "editor/frmMDIChild.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"
#include "editor/ReportEditor.h"
#include "editor/Ruler.h"
#include "editor/TextControl.h"
#include "editor/frmMDIParent.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"

namespace qv::editor {

frmMDIChild::frmMDIChild(ReportEditor& editor) : QWidget(nullptr), editor_(editor) {
  setObjectName(QStringLiteral("frmMDIChild"));
  setWindowTitle(QStringLiteral("Untitled"));
  setAutoFillBackground(true);
  TXTextControl1 = new TextControl(this);
  TXTextControl1->setObjectName(QStringLiteral("TXTextControl1"));
  TXRuler1 = new Ruler(*TXTextControl1, this);
  TXRuler1->move(0, 0);
  TXTextControl1->move(0, TXRuler1->height());
  BuildMenus();
  connect(TXTextControl1, &TextControl::Change, this, &frmMDIChild::TXTextControl1_Change);
  TXTextControl1->onKeyDown = [this](int key, int shift) { TXTextControl1_KeyDown(key, shift); };
  TXTextControl1->onMouseDown = [this](int button, int shift, QPoint p) {
    TXTextControl1_MouseDown(button, shift, p.x(), p.y());
  };
  // The control is as wide as a page at its zoom (the window shows its background beside
  // it when wider); a zoom change widens or narrows it.
  connect(TXTextControl1, &TextControl::ZoomChanged, this, [this] { Form_Resize(); });
  resize(TXTextControl1->PageViewWidth() + 4, 480);
  Form_Load();
}

frmMDIChild::~frmMDIChild() {
  if (!unloaded_) Form_Unload();
}

void frmMDIChild::SetCaption(const QString& caption) {
  setWindowTitle(caption);
  if (sub_) sub_->setWindowTitle(caption);
}

QAction* frmMDIChild::Item(QMenu* menu, const char* name, const QString& caption, void (frmMDIChild::*handler)(),
                           const QKeySequence& shortcut) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  if (handler) connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  return a;
}

void frmMDIChild::BuildMenus() {
  using C = frmMDIChild;
  mnuFile = new QMenu(QStringLiteral("&File"), this);
  mnuFile->setObjectName("mnuFile");
  mnuFile_New = Item(mnuFile, "mnuFile_New", "&New", &C::mnuFile_New_Click, QKeySequence(Qt::CTRL | Qt::Key_N));
  mnuFile_Open = Item(mnuFile, "mnuFile_Open", "&Open...", &C::mnuFile_Open_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuFileSave = Item(mnuFile, "mnuFileSave", "&Save", &C::mnuFileSave_Click, QKeySequence(Qt::CTRL | Qt::Key_S));
  mnuFile_SaveAs = Item(mnuFile, "mnuFile_SaveAs", "Sa&ve As...", &C::mnuFile_SaveAs_Click);
  mnuFile->addSeparator();
  mnuFile_Print = Item(mnuFile, "mnuFile_Print", "&Print...", &C::mnuFile_Print_Click, QKeySequence(Qt::CTRL | Qt::Key_P));
  mnuFile_PrintPreview = Item(mnuFile, "mnuFile_PrintPreview", "P&rint Preview...", &C::mnuFile_PrintPreview_Click);
  mnuFile->addSeparator();
  mnuFile_About = Item(mnuFile, "mnuFile_About", "&About...", &C::mnuFile_About_Click);
  mnuFile_Exit = Item(mnuFile, "mnuFile_Exit", "E&xit", &C::mnuFile_Exit_Click);

  mnuEdit = new QMenu(QStringLiteral("&Edit"), this);
  mnuEdit->setObjectName("mnuEdit");
  mnuUndo = Item(mnuEdit, "mnuUndo", "&Undo", &C::mnuUndo_Click);
  mnuRedo = Item(mnuEdit, "mnuRedo", "&Redo", &C::mnuRedo_Click);
  mnuEdit->addSeparator();
  mnuEdit_Cut = Item(mnuEdit, "mnuEdit_Cut", "Cu&t", &C::mnuEdit_Cut_Click);
  mnuEdit_Copy = Item(mnuEdit, "mnuEdit_Copy", "&Copy", &C::mnuEdit_Copy_Click);
  mnuEdit_Paste = Item(mnuEdit, "mnuEdit_Paste", "&Paste", &C::mnuEdit_Paste_Click);
  mnuEdit_Delete = Item(mnuEdit, "mnuEdit_Delete", "&Delete", &C::mnuEdit_Delete_Click);
  mnuEdit->addSeparator();
  mnuEdit_Search = Item(mnuEdit, "mnuEdit_Search", "&Search...", &C::mnuEdit_Search_Click);
  mnuEdit_Replace = Item(mnuEdit, "mnuEdit_Replace", "&Replace...", &C::mnuEdit_Replace_Click);
  mnuEdit->addSeparator();
  mnuEdit_SelectAll =
      Item(mnuEdit, "mnuEdit_SelectAll", "Select &All", &C::mnuEdit_SelectAll_Click, QKeySequence(Qt::CTRL | Qt::Key_A));
  connect(mnuEdit, &QMenu::aboutToShow, this, &C::mnuEdit_Click);

  mnuView = new QMenu(QStringLiteral("&View"), this);
  mnuView->setObjectName("mnuView");
  mnuView_Toolbar = Item(mnuView, "mnuView_Toolbar", "&Tool Bar", &C::mnuView_Toolbar_Click);
  mnuView_ParagraphBar = Item(mnuView, "mnuView_ParagraphBar", "&Paragraph Bar", &C::mnuView_ParagraphBar_Click);
  mnuView_Ruler = Item(mnuView, "mnuView_Ruler", "&Ruler", &C::mnuView_Ruler_Click);
  mnuView_StatusBar = Item(mnuView, "mnuView_StatusBar", "&Status Bar", &C::mnuView_StatusBar_Click);
  mnuView->addSeparator();
  mnuView_ControlChars = Item(mnuView, "mnuView_ControlChars", "&Control Characters", &C::mnuView_ControlChars_Click);
  mnuView_TableGridLines = Item(mnuView, "mnuView_TableGridLines", "&Table Grid Lines", &C::mnuView_TableGridLines_Click);
  mnuView->addSeparator();
  mnuView_Zoom = mnuView->addMenu(QStringLiteral("&Zoom"));
  mnuView_Zoom->setObjectName("mnuView_Zoom");
  const char* zooms[] = {"", "&30%", "&50%", "&75%", "&100%", "&200%"};
  for (int k = 1; k <= 5; ++k) {
    QAction* a = mnuView_Zoom->addAction(QString::fromLatin1(zooms[k]));
    a->setObjectName(QStringLiteral("mnuView_ZoomItem"));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, k] { mnuView_ZoomItem_Click(k); });
    mnuView_ZoomItem[size_t(k)] = a;
  }
  for (QAction* a : {mnuView_Toolbar, mnuView_ParagraphBar, mnuView_Ruler, mnuView_StatusBar, mnuView_ControlChars,
                     mnuView_TableGridLines}) {
    a->setCheckable(true);
  }
  // Designer check marks.
  mnuView_Toolbar->setChecked(true);
  mnuView_ParagraphBar->setChecked(true);
  mnuView_Ruler->setChecked(true);
  mnuView_StatusBar->setChecked(true);
  mnuView_ZoomItem[4]->setChecked(true);
  connect(mnuView, &QMenu::aboutToShow, this, &C::mnuView_Click);

  mnuInsert = new QMenu(QStringLiteral("&Insert"), this);
  mnuInsert->setObjectName("mnuInsert");
  mnuInsert_Text = Item(mnuInsert, "mnuInsert_Text", "&Text...", &C::mnuInsert_Text_Click);
  mnuInsert_Image = mnuInsert->addMenu(QStringLiteral("&Image"));
  mnuInsert_Image->setObjectName("mnuInsert_Image");
  mnuInsert_ImageAtCaretPosition = Item(mnuInsert_Image, "mnuInsert_ImageAtCaretPosition", "&At caret position...",
                                        &C::mnuInsert_ImageAtCaretPosition_Click);
  mnuInsert_ImageAsFixedObject =
      Item(mnuInsert_Image, "mnuInsert_ImageAsFixedObject", "As &fixed object...", &C::mnuInsert_ImageAsFixedObject_Click);
  mnuObject = mnuInsert->addMenu(QStringLiteral("&Object"));
  mnuObject->setObjectName("mnuObject");
  // Embedded objects of other programs do not exist on this platform: the items stand in
  // the menu, disabled.
  mnuInsert_ObjectAtCaretPosition = Item(mnuObject, "mnuInsert_ObjectAtCaretPosition", "&At caret position...", nullptr);
  mnuInsert_ObjectAsFixedObject = Item(mnuObject, "mnuInsert_ObjectAsFixedObject", "As &fixed object...", nullptr);
  mnuInsert_ObjectAtCaretPosition->setEnabled(false);
  mnuInsert_ObjectAsFixedObject->setEnabled(false);
  mnuObject->setEnabled(false);
  mnuInsert_Table = Item(mnuInsert, "mnuInsert_Table", "T&able...", &C::mnuInsert_Table_Click);
  connect(mnuInsert, &QMenu::aboutToShow, this, &C::mnuInsert_Click);

  mnuFormat = new QMenu(QStringLiteral("F&ormat"), this);
  mnuFormat->setObjectName("mnuFormat");
  mnuFormat_Character = Item(mnuFormat, "mnuFormat_Character", "&Character...", &C::mnuFormat_Character_Click);
  mnuFormat_TColor = Item(mnuFormat, "mnuFormat_TColor", "&Text Color...", &C::mnuFormat_TColor_Click);
  mnuFormat_BColor = Item(mnuFormat, "mnuFormat_BColor", "&Background Color...", &C::mnuFormat_BColor_Click);
  mnuFormat->addSeparator();
  mnuFormat_Paragraph = Item(mnuFormat, "mnuFormat_Paragraph", "&Paragraph...", &C::mnuFormat_Paragraph_Click);
  mnuFormat_Frames = Item(mnuFormat, "mnuFormat_Frames", "&Paragraph Frames...", &C::mnuFormat_Frames_Click);
  mnuFormat_Table = Item(mnuFormat, "mnuFormat_Table", "&Table...", &C::mnuFormat_Table_Click);
  mnuFormat_Image = Item(mnuFormat, "mnuFormat_Image", "&Image...", &C::mnuFormat_Image_Click);
  mnuFormat->addSeparator();
  mnuFormat_Document = Item(mnuFormat, "mnuFormat_Document", "&Document...", &C::mnuFormat_Document_Click);
  connect(mnuFormat, &QMenu::aboutToShow, this, &C::mnuFormat_Click);

  mnuWindow = new QMenu(QStringLiteral("&Window"), this);
  mnuWindow->setObjectName("mnuWindow");
  mnuWindow_Cascade = Item(mnuWindow, "mnuWindow_Cascade", "&Cascade", &C::mnuWindow_Cascade_Click);
  mnuWindow_TileHorizontal = Item(mnuWindow, "mnuWindow_TileHorizontal", "Tile &Horizontal", &C::mnuWindow_TileHorizontal_Click);
  mnuWindow_TileVertical = Item(mnuWindow, "mnuWindow_TileVertical", "Tile &Vertical", &C::mnuWindow_TileVertical_Click);
  mnuWindow_ArrangeIcons = Item(mnuWindow, "mnuWindow_ArrangeIcons", "&Arrange Icons", &C::mnuWindow_ArrangeIcons_Click);
  connect(mnuWindow, &QMenu::aboutToShow, this, &C::mnuWindow_Click);
}

// ---- showing and closing -------------------------------------------------------------------

void frmMDIChild::ShowWindow() {
  frmMDIParent* frame = editor_.Frame();
  if (!frame) return;
  const bool added = !sub_;
  if (added) {
    sub_ = frame->MdiArea()->addSubWindow(this);
    sub_->setAttribute(Qt::WA_DeleteOnClose);
    sub_->setWindowTitle(windowTitle());
    sub_->setWindowIcon(editor_.DocumentIcon());
    subObject_ = sub_.data();
    sub_->installEventFilter(this);
    sub_->resize(TXTextControl1->PageViewWidth() + 24, std::max(300, frame->MdiArea()->height() - 40));
  }
  sub_->show();
  // The area places a new window where it overlaps least, which can be mostly outside it:
  // a new window steps one title bar from the active one instead, and every window goes
  // wholly inside, never larger than the area (the page scrolls in it).
  if (added) frame->PlaceNew(*sub_);
  frame->FitInside(*sub_);
  frame->MdiArea()->setActiveSubWindow(sub_);
  frame->DocumentActivated(this);
  TXTextControl1->setFocus();
}

bool frmMDIChild::CloseWindow() {
  if (!sub_) {
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) return false;
    Form_Unload();
    deleteLater();
    return true;
  }
  return sub_->close();
}

void frmMDIChild::CloseWithoutAsking() {
  closingWithoutAsking_ = true;
  if (sub_) {
    sub_->close();
  } else {
    Form_Unload();
    deleteLater();
  }
}

bool frmMDIChild::eventFilter(QObject* watched, QEvent* event) {
  // The type first: while the sub-window is being destroyed it still sends events, and it is
  // no sub-window any more then (compared as the object it was).
  if (event->type() == QEvent::Close && watched == subObject_.data()) {
    if (!closingWithoutAsking_) {
      bool cancel = false;
      Form_QueryUnload(cancel);
      if (cancel) {
        event->ignore();
        return true;
      }
    }
    Form_Unload();
    return false;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- handlers ------------------------------------------------------------------------------

void frmMDIChild::Form_Load() {
  // The unit and the default page follow the system: centimetres and A4 where it measures
  // in metric (locale code 49), else inches and Letter.
  PageSettings page = TXTextControl1->Page();
  if (editor_.Options().localeCode == 49) {
    editor_.MeasureUnit = 2;
    page.PageWidth = 11906;
    page.PageHeight = 16837;
  } else {
    editor_.MeasureUnit = 1;
    page.PageWidth = 12240;
    page.PageHeight = 15840;
  }
  TXTextControl1->RunQuiet([&] { TXTextControl1->SetPage(page); });
  TXTextControl1->setProperty("qvMeasureUnit", int(editor_.MeasureUnit));
}

void frmMDIChild::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

void frmMDIChild::SetBackground(const QColor& colour) {
  if (colour == background_) return;
  background_ = colour;
  update();
}

void frmMDIChild::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), background_);
}

void frmMDIChild::Form_Resize() {
  // The control is as wide as a page (and no wider than the window); the ruler goes with it.
  const int w = std::min(width(), TXTextControl1->PageViewWidth() + TXTextControl1->verticalScrollBar()->sizeHint().width());
  TXTextControl1->setFixedWidth(std::max(w, 50));
  TXRuler1->setFixedWidth(TXTextControl1->width());
  editor_.ResizeEditor(*this);
}

void frmMDIChild::Form_QueryUnload(bool& cancel) {
  cancel = false;
  const int slot = Slot();
  if (slot < 1 || slot > editor_.SlotCount() || editor_.State(slot).Dirty == kFalse) return;
  // A changed document is offered for saving before it closes.
  const ui::Answer a = ui::GetPrompt().MsgBox("Save changes to " + Caption().toStdString() + "?", ui::Buttons::YesNoCancel,
                                              ui::Icon::Exclamation);
  if (a == ui::Answer::Cancel) {
    cancel = true;
  } else if (a == ui::Answer::Yes) {
    cancel = !editor_.FileSaveOf(*this);
  }
}

void frmMDIChild::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  // The sub-window sends events until it is destroyed; none of them reaches this window.
  if (subObject_) subObject_->removeEventFilter(this);
  const int slot = Slot();
  if (slot >= 1 && slot <= editor_.SlotCount()) {
    editor_.State(slot).Deleted = kTrue;
    // The slot is used again with a new window (a closed window is gone).
    if (editor_.Documents[size_t(slot)] == this) editor_.Documents[size_t(slot)] = nullptr;
  }
  if (editor_.DialogTarget == TXTextControl1) editor_.DialogTarget = nullptr;
  if (frmMDIParent* frame = editor_.Frame()) frame->DocumentClosed(this);
}

void frmMDIChild::mnuEdit_Click() {
  const int undo = TXTextControl1->UndoKind();
  const int redo = TXTextControl1->RedoKind();
  switch (undo) {
    case 1: mnuUndo->setText(QStringLiteral("Undo Input")); break;
    case 2: mnuUndo->setText(QStringLiteral("Undo Deletion")); break;
    case 3: mnuUndo->setText(QStringLiteral("Undo Formatting")); break;
    default: mnuUndo->setText(QStringLiteral("Undo")); break;
  }
  switch (redo) {
    case 10: mnuRedo->setText(QStringLiteral("Redo Input")); break;
    case 11: mnuRedo->setText(QStringLiteral("Redo Deletion")); break;
    case 12: mnuRedo->setText(QStringLiteral("Redo Formatting")); break;
    default: mnuRedo->setText(QStringLiteral("Redo")); break;
  }
  mnuUndo->setEnabled(undo != 0);
  mnuRedo->setEnabled(redo != 0);
  const bool selection = TXTextControl1->SelLength() > 0;
  mnuEdit_Cut->setEnabled(selection);
  mnuEdit_Copy->setEnabled(selection);
  mnuEdit_Delete->setEnabled(selection);
}

void frmMDIChild::mnuView_Click() {
  frmMDIParent* frame = editor_.Frame();
  if (frame) {
    mnuView_StatusBar->setChecked(frame->TXStatusBar1->isVisibleTo(frame));
    mnuView_Toolbar->setChecked(frame->picToolbar->isVisibleTo(frame));
    mnuView_ParagraphBar->setChecked(frame->TXButtonBar1->isVisibleTo(frame));
  }
  mnuView_ControlChars->setChecked(TXTextControl1->ControlChars());
  mnuView_TableGridLines->setChecked(TXTextControl1->TableGridLines());
  const int values[] = {0, 30, 50, 75, 100, 200};
  for (int k = 1; k <= 5; ++k) mnuView_ZoomItem[size_t(k)]->setChecked(false);
  for (int k = 1; k <= 5; ++k) {
    if (TXTextControl1->ZoomFactor() == values[k]) mnuView_ZoomItem[size_t(k)]->setChecked(true);
  }
}

void frmMDIChild::mnuInsert_Click() {
  mnuInsert_Table->setEnabled(TXTextControl1->TableCanInsert());
}

void frmMDIChild::mnuFormat_Click() {
  mnuFormat_Image->setEnabled(TXTextControl1->CurrentObject() != 0);
  mnuFormat_Table->setEnabled(TXTextControl1->textCursor().currentTable() != nullptr);
}

void frmMDIChild::mnuWindow_Click() {
  // The window list below the four items: one entry per open document, the active checked.
  const QList<QAction*> actions = mnuWindow->actions();
  for (QAction* a : actions) {
    if (a->property("qvWindowList").toBool()) {
      mnuWindow->removeAction(a);
      a->deleteLater();
    }
  }
  frmMDIParent* frame = editor_.Frame();
  if (!frame) return;
  const QList<QMdiSubWindow*> subs = frame->MdiArea()->subWindowList(QMdiArea::CreationOrder);
  if (subs.isEmpty()) return;
  QAction* sep = mnuWindow->addSeparator();
  sep->setProperty("qvWindowList", true);
  int n = 0;
  for (QMdiSubWindow* s : subs) {
    auto* child = qobject_cast<frmMDIChild*>(s->widget());
    if (!child) continue;
    ++n;
    QAction* a = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(n).arg(child->Caption()));
    a->setProperty("qvWindowList", true);
    a->setCheckable(true);
    a->setChecked(child == frame->ActiveForm());
    QPointer<QMdiSubWindow> target(s);
    connect(a, &QAction::triggered, this, [frame, target] {
      if (target) frame->MdiArea()->setActiveSubWindow(target);
    });
  }
}

void frmMDIChild::mnuView_ZoomItem_Click(int index) {
  if (index < 1 || index > 5) return;
  // The value of the caption after its access-key mark: "&75%" gives 75.
  const std::string caption = mnuView_ZoomItem[size_t(index)]->text().toStdString();
  const int zoom = int(std::lround(TextValue(caption.substr(1))));
  TXTextControl1->SetZoomFactor(zoom);
  for (int k = 1; k <= 5; ++k) mnuView_ZoomItem[size_t(k)]->setChecked(k == index);
}

void frmMDIChild::TXTextControl1_Change() {
  const int slot = Slot();
  if (slot < 1 || slot > editor_.SlotCount()) return;
  DocumentState& st = editor_.State(slot);
  if (st.SuppressChange != kFalse) {
    st.SuppressChange = kFalse;
  } else {
    st.Dirty = kTrue;
  }
}

void frmMDIChild::TXTextControl1_KeyDown(int keyCode, int shift) {
  if (keyCode == 45 && shift == 0) TXTextControl1->SetInsertMode(!TXTextControl1->InsertMode());
}

void frmMDIChild::TXTextControl1_MouseDown(int button, int, int, int) {
  if (button & 2) TXTextControl1->SetZoomFactor(TXTextControl1->ZoomFactor() == 100 ? 50 : 100);
}

// ---- menu items ------------------------------------------------------------------------------

void frmMDIChild::mnuFile_New_Click() { editor_.NewDocument(); }
void frmMDIChild::mnuFile_Open_Click() { editor_.FileOpen(""); }
void frmMDIChild::mnuFileSave_Click() { editor_.FileSave(); }
void frmMDIChild::mnuFile_SaveAs_Click() { editor_.FileSaveAs(); }
void frmMDIChild::mnuFile_Print_Click() { editor_.PrintDocument(); }
void frmMDIChild::mnuFile_PrintPreview_Click() { editor_.ShowPrintPreview(); }

void frmMDIChild::mnuFile_About_Click() {
  frmAboutDlg box(editor_.Frame());
  editor_.ShowDialog(box);
}

void frmMDIChild::mnuFile_Exit_Click() { editor_.CloseEditor(); }

void frmMDIChild::mnuUndo_Click() { TXTextControl1->Undo(); }
void frmMDIChild::mnuRedo_Click() { TXTextControl1->Redo(); }
void frmMDIChild::mnuEdit_Cut_Click() { editor_.EditCut(); }
void frmMDIChild::mnuEdit_Copy_Click() { editor_.EditCopy(); }
void frmMDIChild::mnuEdit_Paste_Click() { editor_.EditPaste(); }
void frmMDIChild::mnuEdit_Delete_Click() { editor_.EditDelete(); }

void frmMDIChild::mnuEdit_Search_Click() {
  int mode = 1;
  editor_.EditFindReplace(mode);
}

void frmMDIChild::mnuEdit_Replace_Click() {
  int mode = 2;
  editor_.EditFindReplace(mode);
}

void frmMDIChild::mnuEdit_SelectAll_Click() { editor_.EditSelectAll(); }
void frmMDIChild::mnuView_Toolbar_Click() { editor_.ToggleToolbar(*this); }
void frmMDIChild::mnuView_ParagraphBar_Click() { editor_.ToggleParagraphBar(*this); }
void frmMDIChild::mnuView_Ruler_Click() { editor_.ToggleRuler(*this); }
void frmMDIChild::mnuView_StatusBar_Click() { editor_.ToggleStatusBar(*this); }

void frmMDIChild::mnuView_ControlChars_Click() {
  TXTextControl1->SetControlChars(!TXTextControl1->ControlChars());
  mnuView_ControlChars->setChecked(TXTextControl1->ControlChars());
}

void frmMDIChild::mnuView_TableGridLines_Click() {
  TXTextControl1->SetTableGridLines(!TXTextControl1->TableGridLines());
  mnuView_TableGridLines->setChecked(TXTextControl1->TableGridLines());
}

void frmMDIChild::mnuInsert_Text_Click() { editor_.InsertTextFile(); }

void frmMDIChild::mnuInsert_ImageAtCaretPosition_Click() {
  if (TextControl* tx = editor_.ActiveText()) editor_.InsertImage(true, *tx, 0, 0);
}

void frmMDIChild::mnuInsert_ImageAsFixedObject_Click() {
  if (TextControl* tx = editor_.ActiveText()) editor_.InsertImage(false, *tx, 1000, 1000);
}

void frmMDIChild::mnuInsert_Table_Click() {
  editor_.DialogTarget = editor_.ActiveText();
  if (!editor_.DialogTarget) return;
  frmTableDlg dlg(editor_, editor_.Frame());
  editor_.ShowDialog(dlg);
}

void frmMDIChild::mnuFormat_Character_Click() {
  if (TextControl* tx = editor_.ActiveText()) {
    ReportEditor::DialogFocus focus(editor_);
    FontDialog(*tx);
  }
}

void frmMDIChild::mnuFormat_TColor_Click() { editor_.ChooseColor(1); }
void frmMDIChild::mnuFormat_BColor_Click() { editor_.ChooseColor(2); }

void frmMDIChild::mnuFormat_Paragraph_Click() {
  if (TextControl* tx = editor_.ActiveText()) {
    ParagraphDlg dlg(*tx, editor_.MeasureUnit, editor_.Frame());
    editor_.ShowDialog(dlg);
  }
}

void frmMDIChild::mnuFormat_Frames_Click() {
  editor_.DialogTarget = TXTextControl1;
  frmFramesDlg dlg(editor_, editor_.Frame());
  editor_.ShowDialog(dlg);
}

void frmMDIChild::mnuFormat_Table_Click() {
  if (TextControl* tx = editor_.ActiveText()) {
    if (!tx->textCursor().currentTable()) return;
    TableAttrDlg dlg(*tx, editor_.Frame());
    editor_.ShowDialog(dlg);
  }
}

void frmMDIChild::mnuFormat_Image_Click() {
  editor_.DialogTarget = editor_.ActiveText();
  if (!editor_.DialogTarget || editor_.DialogTarget->CurrentObject() == 0) return;
  frmImageDlg dlg(editor_, editor_.Frame());
  editor_.ShowDialog(dlg);
}

void frmMDIChild::mnuFormat_Document_Click() { editor_.ShowPageSetup(*TXTextControl1); }

void frmMDIChild::mnuWindow_Cascade_Click() {
  if (frmMDIParent* f = editor_.Frame()) f->Arrange(0);
}
void frmMDIChild::mnuWindow_TileHorizontal_Click() {
  if (frmMDIParent* f = editor_.Frame()) f->Arrange(1);
}
void frmMDIChild::mnuWindow_TileVertical_Click() {
  if (frmMDIParent* f = editor_.Frame()) f->Arrange(2);
}
void frmMDIChild::mnuWindow_ArrangeIcons_Click() {
  if (frmMDIParent* f = editor_.Frame()) f->Arrange(3);
}

}  // namespace qv::editor
