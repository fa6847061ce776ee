#pragma once
// The rich-text control of a document window: a QTextDocument laid out in pages of the
// document's paper size and margins and shown zoomed, edited in place. The members are the
// ones the editor's commands use: page size and margins in twips, zoom, the control-character
// and table-grid switches, insert or overwrite, undo and redo with the kind of the last edit,
// the clipboard, colours, the current object, tables, paragraph frames, images, and drawing
// a page for the printer and the preview.
//
// Units: the document is laid out in pixels at 96 to the inch (15 twips to the pixel) at
// every zoom; the zoom only scales the view, so a page breaks at the same place on the
// screen, in the preview and in print.
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <cstdint>
#include <functional>
#include <vector>

#include "editor/Formats.h"

class QPainter;

namespace qv::editor {

constexpr double kTwipsPerPixel = 15.0;
inline double TwipsToPixels(double twips) { return twips / kTwipsPerPixel; }
inline int32_t PixelsToTwips(double px) { return int32_t(px * kTwipsPerPixel + (px >= 0 ? 0.5 : -0.5)); }

class TextControl;

// The editable text item inside the control's scene.
class TextItem : public QGraphicsTextItem {
 public:
  explicit TextItem(TextControl& control);

 protected:
  bool sceneEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 private:
  TextControl& control_;
};

class TextControl : public QGraphicsView {
  Q_OBJECT

 public:
  // The kind of an edit, as the Edit menu names the undo and redo steps.
  enum class EditKind { Input = 1, Deletion = 2, Formatting = 3, Other = 4 };

  explicit TextControl(QWidget* parent = nullptr);
  ~TextControl() override;

  QTextDocument* document() const;
  QTextCursor textCursor() const;
  void setTextCursor(const QTextCursor& c);
  TextItem* Item() const { return item_; }

  // ---- page (twips) ----
  PageSettings Page() const { return page_; }
  void SetPage(const PageSettings& page);
  int32_t PageWidth() const { return page_.PageWidth; }
  int32_t PageHeight() const { return page_.PageHeight; }
  int32_t PageMarginL() const { return page_.PageMarginL; }
  int32_t PageMarginT() const { return page_.PageMarginT; }
  int32_t PageMarginR() const { return page_.PageMarginR; }
  int32_t PageMarginB() const { return page_.PageMarginB; }
  void SetPageWidth(int32_t v);
  void SetPageHeight(int32_t v);
  void SetPageMarginL(int32_t v);
  void SetPageMarginT(int32_t v);
  void SetPageMarginR(int32_t v);
  void SetPageMarginB(int32_t v);
  // Number of pages of the formatted document.
  int CurrentPages() const;
  // The page (from 1) the caret is on, its line on that page and its column (from 1).
  int CaretPage() const;
  int CaretLine() const;
  int CaretColumn() const;

  // ---- view ----
  int ZoomFactor() const { return zoom_; }
  void SetZoomFactor(int percent);
  int PrintZoom() const { return printZoom_; }
  void SetPrintZoom(int percent) { printZoom_ = percent; }
  bool ControlChars() const { return controlChars_; }
  void SetControlChars(bool on);
  bool TableGridLines() const { return gridLines_; }
  void SetTableGridLines(bool on);
  // True: typing inserts; false: it overwrites.
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool insert) { insertMode_ = insert; }
  // The pixel width of a page at the current zoom (what the window needs to show it).
  int PageViewWidth() const;

  // ---- editing ----
  // 1 cut, 2 copy, 3 paste, 4 delete the selection.
  void Clip(int mode);
  // Select from `start` for `length` characters (-1: to the end).
  void SetSelection(int start, int length);
  int SelStart() const;
  int SelLength() const;
  // Undo and redo kinds: 0 nothing; undo 1 input, 2 deletion, 3 formatting, 4 other;
  // redo the same plus 9.
  int UndoKind() const;
  int RedoKind() const;
  void Undo();
  void Redo();
  // Sets the kind of the edits made until the scope ends.
  class KindScope {
   public:
    KindScope(TextControl& c, EditKind k) : c_(c), old_(c.kind_) { c.kind_ = k; }
    ~KindScope() { c_.kind_ = old_; }

   private:
    TextControl& c_;
    EditKind old_;
  };
  // Forget the undo steps (after a load).
  void ResetUndo();
  // Replaces the document with a new one that `build` fills: an empty document without a
  // layout, and the page record (the control's) to change. The new document gets its page
  // first and is laid out once, when it is shown; when `build` gives false the old one
  // stays. No Change is sent; the undo steps are forgotten and the caret is at the start.
  bool ReplaceDocument(const std::function<bool(QTextDocument&, PageSettings&)>& build);
  // Replace the content with plain text or HTML, or clear it. No Change is sent.
  void SetPlainContent(const QString& text);
  void SetHtmlContent(const QString& html);

  // Colours of the selection as 24-bit blue-green-red; -1 when the selection has more than
  // one. The text colour of unformatted text is black, its background white.
  int32_t ForeColor() const;
  void SetForeColor(int32_t bgr);
  int32_t TextBkColor() const;
  void SetTextBkColor(int32_t bgr);
  // Formats the selection (or the word at the caret) and the selected paragraphs.
  void MergeCharFormat(const QTextCharFormat& f);
  void MergeBlockFormat(const QTextBlockFormat& f);

  // Nonzero while an image is selected (the caret just after or before a selected image).
  int CurrentObject() const;
  // The image at the caret: its cursor selecting it, null when none.
  QTextCursor ObjectCursor() const;

  // ---- images ----
  // Of the image at the caret: how text flows round it (0 in the line as a character, 1
  // above and below it, when it stands in a paragraph of its own), its distances to the text
  // (1 left, 2 top, 3 right, 4 bottom; twips), and the display and save modes.
  int ObjectTextflow() const;
  int ObjectDistance(int index) const;
  void SetObjectDistance(int index, int twips);
  int ImageDisplayMode() const;
  void SetImageDisplayMode(int mode);
  int ImageSaveMode() const;
  void SetImageSaveMode(int mode);
  // Marks the image at the caret as a fixed object (text above and below it).
  void SetObjectTextflow(int flow);

  // ---- paragraph frames ----
  // The frame of the selected paragraphs as the frame dialog's style value (low byte: the
  // parts that are on), and its line width and distance in twips (-1 when not set or not
  // the same for all). Writing a style value switches on the parts of its low byte and off
  // those of its high byte and leaves the others.
  int FrameStyle() const;
  void SetFrameStyle(int style);
  int FrameLineWidth() const;
  void SetFrameLineWidth(int twips);
  int FrameDistance() const;
  void SetFrameDistance(int twips);

  // ---- tables ----
  bool TableCanInsert() const;
  // Inserts a table of rows x columns at the caret; false when refused.
  bool TableInsert(int rows, int columns);
  // In a table: selects the text of the next cell (the previous one when `backward`); past
  // the last cell a row is added (one undo step) and its first cell gets the caret.
  void MoveToCell(bool backward);

  // Runs quiet: changes made inside send no Change.
  void RunQuiet(const std::function<void()>& f);

  // ---- drawing pages ----
  // Draws page `page` (from 1) with its top left corner at the painter's origin, scaled by
  // `scale` (1: 96 pixels to the inch).
  void PrintPage(QPainter& painter, int page, double scale) const;

  // Handlers the document window installs: key down (VB key code, shift state 1 Shift,
  // 2 Ctrl, 4 Alt) and mouse down (button state 1 left, 2 right, 4 middle).
  std::function<void(int keyCode, int shift)> onKeyDown;
  std::function<void(int button, int shift, QPoint pos)> onMouseDown;

 signals:
  // The text or its formatting changed.
  void Change();
  // The caret moved or the format at it changed.
  void CaretMoved();
  // The zoom changed.
  void ZoomChanged(int percent);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void drawBackground(QPainter* painter, const QRectF& rect) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;
  void focusInEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  friend class TextItem;
  // Sets one value of the page record through SetPage (layout, change signal).
  void SetPageField(int32_t PageSettings::*field, int32_t v);
  void ApplyPage();
  // A document of the control's defaults (undo on, Arial 12 points) and putting one in the
  // text item with the control's connections.
  QTextDocument* NewDocument();
  void Attach(QTextDocument* doc);
  void SyncMarginsFromLayout();
  void UpdateSceneRect();
  // Page Down (down) and Page Up: the view and the caret a screen down or up.
  void PageUpDown(bool down, bool select);
  void DrawDecorations(QPainter& painter, const QRectF& rect, bool onScreen) const;
  void DrawFrames(QPainter& painter, const QRectF& rect) const;
  void ChangeFrames(const std::function<void(ParagraphFrame&)>& change);
  void ChangeImage(const std::function<void(QTextImageFormat&)>& change);
  QVariant ImageProperty(int property, const QVariant& fallback) const;
  double PageHeightPx() const { return TwipsToPixels(page_.PageHeight); }
  double PageWidthPx() const { return TwipsToPixels(page_.PageWidth); }

  QGraphicsScene* scene_;
  TextItem* item_;
  QImage layoutDevice_;
  PageSettings page_ = kLetterPage;
  int zoom_ = 100;
  int printZoom_ = 100;
  bool controlChars_ = false;
  bool gridLines_ = true;
  bool insertMode_ = true;
  int quiet_ = 0;
  EditKind kind_ = EditKind::Input;
  std::vector<EditKind> kinds_;  // kind of each undo step, oldest first
};

}  // namespace qv::editor
