#include "editor/TextControl.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/ui/Window.h"

namespace qv::editor {

namespace {

constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 500;
const QColor kDeskColor(0xA0, 0xA0, 0xA0);

int32_t ToBgr(const QColor& c) { return int32_t(c.red() | (c.green() << 8) | (c.blue() << 16)); }
QColor FromBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The shift state of a key or mouse event: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// The frames inside `frame`, depth first.
void CollectTables(QTextFrame* frame, std::vector<QTextTable*>& out) {
  for (QTextFrame* child : frame->childFrames()) {
    if (auto* t = qobject_cast<QTextTable*>(child)) out.push_back(t);
    CollectTables(child, out);
  }
}

// The paper of a page record in pixels. A page too small to hold a line would leave the
// layout nowhere to put text: it keeps at least an inch of paper and a quarter inch of room
// between the margins.
struct PageGeometry {
  QSizeF size;
  double left = 0, right = 0, top = 0, bottom = 0;
};

PageGeometry GeometryOf(const PageSettings& page) {
  PageGeometry g;
  const double w = std::max(TwipsToPixels(page.PageWidth), 96.0);
  const double h = std::max(TwipsToPixels(page.PageHeight), 96.0);
  g.size = QSizeF(w, h);
  g.left = std::clamp(TwipsToPixels(page.PageMarginL), 0.0, w);
  g.right = std::clamp(TwipsToPixels(page.PageMarginR), 0.0, w);
  g.top = std::clamp(TwipsToPixels(page.PageMarginT), 0.0, h);
  g.bottom = std::clamp(TwipsToPixels(page.PageMarginB), 0.0, h);
  if (g.left + g.right > w - 24) g.left = g.right = std::max(0.0, (w - 24) / 2);
  if (g.top + g.bottom > h - 24) g.top = g.bottom = std::max(0.0, (h - 24) / 2);
  return g;
}

// Gives the root frame the page's margins (and no padding or border) when it has others.
void SetFrameMargins(QTextDocument& doc, const PageGeometry& g) {
  QTextFrameFormat f = doc.rootFrame()->frameFormat();
  if (f.leftMargin() == g.left && f.rightMargin() == g.right && f.topMargin() == g.top &&
      f.bottomMargin() == g.bottom && f.padding() == 0 && f.border() == 0) {
    return;
  }
  f.setLeftMargin(g.left);
  f.setRightMargin(g.right);
  f.setTopMargin(g.top);
  f.setBottomMargin(g.bottom);
  f.setPadding(0);
  f.setBorder(0);
  doc.rootFrame()->setFrameFormat(f);
}

// The box of what a table cell of `table` shows: its paragraphs, those of the tables inside
// it included. The empty paragraph that ends the cell after a table inside it is left out:
// Qt gives it no room and reports it beside that table, across the next cells.
QRectF CellContentBox(QAbstractTextDocumentLayout& lay, const QTextTable& table, const QTextTableCell& cell) {
  QRectF box;
  const QTextDocument& doc = *table.document();
  for (QTextBlock b = doc.findBlock(cell.firstPosition()); b.isValid() && b.position() <= cell.lastPosition();
       b = b.next()) {
    const bool afterInnerTable = b.length() <= 1 && QTextCursor(b).currentTable() == &table && b.previous().isValid() &&
                                 QTextCursor(b.previous()).currentTable() != &table;
    if (!afterInnerTable) box = box.united(lay.blockBoundingRect(b));
  }
  return box;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TextItem::TextItem(TextControl& control) : control_(control) {}

bool TextItem::sceneEvent(QEvent* e) {
  // The text item hands Tab keys straight to its text, past keyPressEvent: they come here
  // like every other key.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  return QGraphicsTextItem::sceneEvent(e);
}

void TextItem::keyPressEvent(QKeyEvent* e) {
  using Kind = TextControl::EditKind;
  Kind kind = control_.kind_;
  const bool deletes = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete || e->matches(QKeySequence::Cut) ||
                       e->matches(QKeySequence::DeleteEndOfWord) || e->matches(QKeySequence::DeleteStartOfWord);
  const bool undoKey = e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo);
  if (deletes) {
    kind = Kind::Deletion;
  } else if (e->matches(QKeySequence::Paste) || !e->text().isEmpty()) {
    kind = Kind::Input;
  }
  if (undoKey) {
    if (e->matches(QKeySequence::Undo)) control_.Undo();
    else control_.Redo();
    e->accept();
    return;
  }
  // Tab keys. In a table Tab and Shift+Tab move to the next and the previous cell (Tab in
  // the last cell adds a row); Ctrl+Tab types a tab character, in a table and elsewhere;
  // outside a table Tab types one as any character key does.
  if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
    const Qt::KeyboardModifiers m = e->modifiers();
    const bool backward = e->key() == Qt::Key_Backtab || (m & Qt::ShiftModifier);
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier) && !backward) {
      TextControl::KindScope scope(control_, Kind::Input);
      QTextCursor c = textCursor();
      c.insertText(QStringLiteral("\t"));
      control_.setTextCursor(c);
      e->accept();
      return;
    }
    if (!(m & (Qt::ControlModifier | Qt::AltModifier)) && textCursor().currentTable()) {
      control_.MoveToCell(backward);
      e->accept();
      return;
    }
  }
  // Overwrite: a typed character replaces the one after the caret (not a paragraph end).
  const QString text = e->text();
  if (!control_.insertMode_ && !text.isEmpty() && text.at(0).isPrint() && !(e->modifiers() & Qt::ControlModifier)) {
    QTextCursor c = textCursor();
    if (!c.hasSelection() && !c.atBlockEnd()) {
      c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
      setTextCursor(c);
    }
  }
  TextControl::KindScope scope(control_, kind);
  QGraphicsTextItem::keyPressEvent(e);
}

void TextItem::inputMethodEvent(QInputMethodEvent* e) {
  TextControl::KindScope scope(control_, TextControl::EditKind::Input);
  QGraphicsTextItem::inputMethodEvent(e);
}

void TextItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) {
  // The page is the text's frame: no focus rectangle round the whole document.
  QStyleOptionGraphicsItem plain(*option);
  plain.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
  QGraphicsTextItem::paint(painter, &plain, widget);
}

// ---------------------------------------------------------------------------------------------

TextControl::TextControl(QWidget* parent)
    : QGraphicsView(parent), scene_(new QGraphicsScene(this)), layoutDevice_(1, 1, QImage::Format_RGB32) {
  // The layout measures at 96 pixels to the inch whatever the screen: 15 twips a pixel.
  layoutDevice_.setDotsPerMeterX(3780);
  layoutDevice_.setDotsPerMeterY(3780);
  setScene(scene_);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundBrush(kDeskColor);
  setDragMode(QGraphicsView::NoDrag);
  setFocusPolicy(Qt::StrongFocus);
  setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

  item_ = new TextItem(*this);
  item_->setTextInteractionFlags(Qt::TextEditorInteraction);
  item_->setPos(0, 0);
  scene_->addItem(item_);
  scene_->setFocusItem(item_);
  // See focusInEvent: Ctrl+Tab is the text's.
  qApp->installEventFilter(this);
  QTextDocument* doc = NewDocument();
  doc->documentLayout()->setPaintDevice(&layoutDevice_);
  Attach(doc);
  ApplyPage();
  ResetUndo();
}

namespace {
// A document that loads only the pictures it carries: those added as its resources and
// data: URLs. Qt's own loading reads any file a picture's name points to (relative names
// from the working folder, /dev/zero until memory runs out); here such a picture shows as
// a missing picture and nothing outside the document is read.
class ContainedDocument : public QTextDocument {
 public:
  using QTextDocument::QTextDocument;

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0) return {};
    return QTextDocument::loadResource(type, name);
  }
};
}  // namespace

QTextDocument* TextControl::NewDocument() {
  auto* doc = new ContainedDocument(item_);
  doc->setUndoRedoEnabled(true);
  doc->setDefaultFont(QFont(QStringLiteral("Arial"), 12));
  return doc;
}

void TextControl::Attach(QTextDocument* doc) {
  item_->setDocument(doc);
  connect(doc, &QTextDocument::contentsChanged, this, [this] {
    if (quiet_ == 0) emit Change();
    emit CaretMoved();
  });
  connect(doc, &QTextDocument::undoCommandAdded, this, [this] {
    const int n = document()->availableUndoSteps();
    kinds_.resize(size_t(std::max(n - 1, 0)), EditKind::Other);
    kinds_.push_back(kind_);
  });
  connect(doc->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
          [this](const QSizeF&) { UpdateSceneRect(); });
  // The text item's own control tells when the caret moves (keys, clicks, code).
  for (QObject* child : item_->children()) {
    if (qstrcmp(child->metaObject()->className(), "QWidgetTextControl") == 0) {
      connect(child, SIGNAL(cursorPositionChanged()), this, SIGNAL(CaretMoved()), Qt::UniqueConnection);
      connect(child, SIGNAL(currentCharFormatChanged(QTextCharFormat)), this, SIGNAL(CaretMoved()),
              Qt::UniqueConnection);
    }
  }
}

bool TextControl::ReplaceDocument(const std::function<bool(QTextDocument&, PageSettings&)>& build) {
  std::unique_ptr<QTextDocument> fresh(NewDocument());
  PageSettings page = page_;
  if (!build(*fresh, page)) return false;
  // Plain text and HTML get the breaks of long words and the blocks of long paragraphs
  // that the RTF bridge gives its documents.
  AddLayoutAids(*fresh);
  // The layout is made, and the document shown, while the page has no size (nothing to lay
  // out); it then gets its page and is laid out once, measured at 96 pixels to the inch.
  const PageGeometry g = GeometryOf(page);
  SetFrameMargins(*fresh, g);
  fresh->setPageSize(QSizeF(0, 0));
  fresh->documentLayout()->setPaintDevice(&layoutDevice_);
  fresh->clearUndoRedoStacks();
  std::unique_ptr<QTextDocument> old(document());
  page_ = page;
  ++quiet_;
  Attach(fresh.release());
  document()->setPageSize(g.size);
  ShowPageNumbers(*document());
  --quiet_;
  old.reset();
  ResetUndo();
  UpdateSceneRect();
  viewport()->update();
  setTextCursor(QTextCursor(document()));
  return true;
}

TextControl::~TextControl() = default;

QTextDocument* TextControl::document() const { return item_->document(); }
QTextCursor TextControl::textCursor() const { return item_->textCursor(); }
void TextControl::setTextCursor(const QTextCursor& c) {
  item_->setTextCursor(c);
  emit CaretMoved();
}

// ---- page --------------------------------------------------------------------------------

void TextControl::SetPage(const PageSettings& page) {
  const bool changed = page.PageWidth != page_.PageWidth || page.PageHeight != page_.PageHeight ||
                       page.PageMarginL != page_.PageMarginL || page.PageMarginR != page_.PageMarginR ||
                       page.PageMarginT != page_.PageMarginT || page.PageMarginB != page_.PageMarginB;
  page_ = page;
  // Laid out again also when unchanged: a new content may have brought other frame margins.
  ApplyPage();
  if (changed && quiet_ == 0) emit Change();
}

void TextControl::SetPageField(int32_t PageSettings::*field, int32_t v) {
  PageSettings p = page_;
  p.*field = v;
  SetPage(p);
}
void TextControl::SetPageWidth(int32_t v) { SetPageField(&PageSettings::PageWidth, v); }
void TextControl::SetPageHeight(int32_t v) { SetPageField(&PageSettings::PageHeight, v); }
void TextControl::SetPageMarginL(int32_t v) { SetPageField(&PageSettings::PageMarginL, v); }
void TextControl::SetPageMarginT(int32_t v) { SetPageField(&PageSettings::PageMarginT, v); }
void TextControl::SetPageMarginR(int32_t v) { SetPageField(&PageSettings::PageMarginR, v); }
void TextControl::SetPageMarginB(int32_t v) { SetPageField(&PageSettings::PageMarginB, v); }

void TextControl::ApplyPage() {
  const PageGeometry g = GeometryOf(page_);
  QTextDocument* doc = document();
  ++quiet_;
  {
    // The margins are the root frame's, and changing them is an undo step of its own.
    KindScope scope(*this, EditKind::Formatting);
    SetFrameMargins(*doc, g);
  }
  doc->setPageSize(g.size);
  --quiet_;
  UpdateSceneRect();
  viewport()->update();
}

int TextControl::CurrentPages() const { return std::max(1, document()->pageCount()); }

int TextControl::CaretPage() const {
  const QTextCursor c = textCursor();
  const QTextBlock block = c.block();
  const QTextLayout* layout = block.layout();
  double y = document()->documentLayout()->blockBoundingRect(block).top();
  if (layout) {
    const QTextLine line = layout->lineForTextPosition(c.position() - block.position());
    if (line.isValid()) y += line.y();
  }
  return int(std::floor(y / PageHeightPx())) + 1;
}

int TextControl::CaretLine() const {
  const QTextCursor c = textCursor();
  const double pageTop = (CaretPage() - 1) * PageHeightPx();
  QAbstractTextDocumentLayout* lay = document()->documentLayout();
  int lines = 0;
  QTextBlock block = c.block();
  // Lines of the caret's block up to and including the caret's line.
  if (const QTextLayout* layout = block.layout()) {
    const QTextLine line = layout->lineForTextPosition(c.position() - block.position());
    const double top = lay->blockBoundingRect(block).top();
    for (int k = 0; k < layout->lineCount(); ++k) {
      const QTextLine l = layout->lineAt(k);
      if (top + l.y() >= pageTop - 0.5) ++lines;
      if (line.isValid() && k == line.lineNumber()) break;
    }
  }
  // Lines of the blocks above it on the same page.
  for (block = block.previous(); block.isValid(); block = block.previous()) {
    const QRectF r = lay->blockBoundingRect(block);
    if (r.bottom() <= pageTop) break;
    if (const QTextLayout* layout = block.layout()) {
      for (int k = 0; k < layout->lineCount(); ++k) {
        if (r.top() + layout->lineAt(k).y() >= pageTop - 0.5) ++lines;
      }
    }
  }
  return std::max(lines, 1);
}

int TextControl::CaretColumn() const {
  const QTextCursor c = textCursor();
  const QTextBlock block = c.block();
  const int inBlock = c.position() - block.position();
  if (const QTextLayout* layout = block.layout()) {
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (line.isValid()) return inBlock - line.textStart() + 1;
  }
  return inBlock + 1;
}

// ---- view --------------------------------------------------------------------------------

void TextControl::SetZoomFactor(int percent) {
  percent = std::clamp(percent, kMinZoom, kMaxZoom);
  if (percent == zoom_) return;
  zoom_ = percent;
  setTransform(QTransform::fromScale(zoom_ / 100.0, zoom_ / 100.0));
  emit ZoomChanged(zoom_);
}

int TextControl::PageViewWidth() const { return int(std::ceil(PageWidthPx() * zoom_ / 100.0)) + 16; }

void TextControl::SetControlChars(bool on) {
  controlChars_ = on;
  QTextOption o = document()->defaultTextOption();
  QTextOption::Flags flags = o.flags();
  flags.setFlag(QTextOption::ShowTabsAndSpaces, on);
  flags.setFlag(QTextOption::ShowLineAndParagraphSeparators, on);
  o.setFlags(flags);
  RunQuiet([&] { document()->setDefaultTextOption(o); });
  document()->markContentsDirty(0, document()->characterCount());
  viewport()->update();
}

void TextControl::SetTableGridLines(bool on) {
  gridLines_ = on;
  viewport()->update();
}

void TextControl::UpdateSceneRect() {
  const int pages = CurrentPages();
  scene_->setSceneRect(QRectF(-8, -8, PageWidthPx() + 16, pages * PageHeightPx() + 16));
}

// ---- editing -----------------------------------------------------------------------------

void TextControl::Clip(int mode) {
  QTextCursor c = textCursor();
  switch (mode) {
    case 1:  // cut
      if (!c.hasSelection()) return;
      {
        auto* data = new QMimeData;
        const QTextDocumentFragment frag = WithoutLayoutAids(c.selection());
        data->setHtml(frag.toHtml());
        data->setText(frag.toPlainText());
        QApplication::clipboard()->setMimeData(data);
        KindScope scope(*this, EditKind::Deletion);
        c.removeSelectedText();
        setTextCursor(c);
      }
      break;
    case 2:  // copy
      if (!c.hasSelection()) return;
      {
        auto* data = new QMimeData;
        const QTextDocumentFragment frag = WithoutLayoutAids(c.selection());
        data->setHtml(frag.toHtml());
        data->setText(frag.toPlainText());
        QApplication::clipboard()->setMimeData(data);
      }
      break;
    case 3: {  // paste
      const QMimeData* data = QApplication::clipboard()->mimeData();
      if (!data) return;
      KindScope scope(*this, EditKind::Input);
      if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        InsertPictureAt(png.toStdString(), c);
      } else if (data->hasHtml()) {
        c.insertFragment(WithLayoutAids(QTextDocumentFragment::fromHtml(data->html(), document())));
      } else if (data->hasText()) {
        QTextDocument text;
        QTextCursor(&text).insertText(data->text(), c.charFormat());
        c.insertFragment(WithLayoutAids(QTextDocumentFragment(&text)));
      } else {
        return;
      }
      setTextCursor(c);
      break;
    }
    case 4:  // delete
      if (!c.hasSelection()) return;
      {
        KindScope scope(*this, EditKind::Deletion);
        c.removeSelectedText();
        setTextCursor(c);
      }
      break;
    default:
      break;
  }
}

void TextControl::SetSelection(int start, int length) {
  QTextCursor c(document());
  const int end = std::max(0, document()->characterCount() - 1);
  start = std::clamp(start, 0, end);
  c.setPosition(start);
  const int to = length < 0 ? end : std::clamp(start + length, 0, end);
  c.setPosition(to, QTextCursor::KeepAnchor);
  setTextCursor(c);
}

int TextControl::SelStart() const { return textCursor().selectionStart(); }
int TextControl::SelLength() const {
  const QTextCursor c = textCursor();
  return c.selectionEnd() - c.selectionStart();
}

int TextControl::UndoKind() const {
  const int n = document()->availableUndoSteps();
  if (n <= 0 || !document()->isUndoAvailable()) return 0;
  const EditKind k = size_t(n - 1) < kinds_.size() ? kinds_[size_t(n - 1)] : EditKind::Other;
  return int(k);
}

int TextControl::RedoKind() const {
  // (availableRedoSteps() does not count a step undone after a merge; isRedoAvailable does.)
  if (!document()->isRedoAvailable()) return 0;
  const int n = document()->availableUndoSteps();
  const EditKind k = size_t(n) < kinds_.size() ? kinds_[size_t(n)] : EditKind::Other;
  return int(k) + 9;
}

void TextControl::Undo() {
  document()->undo(nullptr);
  SyncMarginsFromLayout();
  QTextCursor c = textCursor();
  setTextCursor(c);
}

void TextControl::Redo() {
  document()->redo(nullptr);
  SyncMarginsFromLayout();
  QTextCursor c = textCursor();
  setTextCursor(c);
}

void TextControl::SyncMarginsFromLayout() {
  // An undone or redone page change brings the root frame's margins back: the page record
  // follows them.
  const QTextFrameFormat f = document()->rootFrame()->frameFormat();
  page_.PageMarginL = PixelsToTwips(f.leftMargin());
  page_.PageMarginR = PixelsToTwips(f.rightMargin());
  page_.PageMarginT = PixelsToTwips(f.topMargin());
  page_.PageMarginB = PixelsToTwips(f.bottomMargin());
  UpdateSceneRect();
  viewport()->update();
}

void TextControl::ResetUndo() {
  document()->clearUndoRedoStacks();
  kinds_.clear();
}

void TextControl::RunQuiet(const std::function<void()>& f) {
  ++quiet_;
  f();
  --quiet_;
}

void TextControl::SetPlainContent(const QString& text) {
  ReplaceDocument([&](QTextDocument& doc, PageSettings&) {
    doc.setPlainText(text);
    return true;
  });
}

void TextControl::SetHtmlContent(const QString& html) {
  ReplaceDocument([&](QTextDocument& doc, PageSettings&) {
    doc.setHtml(html);
    return true;
  });
}

namespace {
// The char formats of the selection (or the one at the caret).
template <class F>
void ForEachFormat(const QTextCursor& c, F&& f) {
  if (!c.hasSelection()) {
    f(c.charFormat());
    return;
  }
  const int start = c.selectionStart(), end = c.selectionEnd();
  QTextDocument* doc = c.document();
  for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (frag.position() + frag.length() <= start || frag.position() >= end) continue;
      f(frag.charFormat());
    }
  }
}
}  // namespace

int32_t TextControl::ForeColor() const {
  std::optional<int32_t> color;
  bool mixed = false;
  ForEachFormat(textCursor(), [&](const QTextCharFormat& f) {
    const int32_t c = f.hasProperty(QTextFormat::ForegroundBrush) ? ToBgr(f.foreground().color()) : 0;
    if (color && *color != c) mixed = true;
    color = c;
  });
  if (mixed) return -1;
  return color.value_or(0);
}

void TextControl::SetForeColor(int32_t bgr) {
  QTextCharFormat f;
  f.setForeground(FromBgr(bgr));
  MergeCharFormat(f);
}

int32_t TextControl::TextBkColor() const {
  std::optional<int32_t> color;
  bool mixed = false;
  ForEachFormat(textCursor(), [&](const QTextCharFormat& f) {
    const int32_t c = f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush
                          ? ToBgr(f.background().color())
                          : 0xFFFFFF;
    if (color && *color != c) mixed = true;
    color = c;
  });
  if (mixed) return -1;
  return color.value_or(0xFFFFFF);
}

void TextControl::SetTextBkColor(int32_t bgr) {
  QTextCharFormat f;
  f.setBackground(FromBgr(bgr));
  MergeCharFormat(f);
}

void TextControl::MergeCharFormat(const QTextCharFormat& f) {
  KindScope scope(*this, EditKind::Formatting);
  QTextCursor c = textCursor();
  c.mergeCharFormat(f);
  setTextCursor(c);
}

void TextControl::MergeBlockFormat(const QTextBlockFormat& f) {
  KindScope scope(*this, EditKind::Formatting);
  QTextCursor c = textCursor();
  if (!f.hasProperty(QTextFormat::BlockLeftMargin) || f.hasProperty(QTextFormat::TabPositions)) {
    c.mergeBlockFormat(f);
    setTextCursor(c);
    return;
  }
  // Tab stops stay where they are on the page when the left indent moves: Qt measures them
  // from the indent, so each paragraph's are moved back by what its indent moved.
  c.beginEditBlock();
  QTextCursor each(document());
  for (QTextBlock b = document()->findBlock(c.selectionStart()); b.isValid() && b.position() <= c.selectionEnd();
       b = b.next()) {
    QTextBlockFormat merged = b.blockFormat();
    const double shift = merged.leftMargin() - f.leftMargin();
    merged.merge(f);
    QList<QTextOption::Tab> tabs = merged.tabPositions();
    for (QTextOption::Tab& t : tabs) t.position += shift;
    if (!tabs.isEmpty()) merged.setTabPositions(tabs);
    each.setPosition(b.position());
    each.setBlockFormat(merged);
  }
  c.endEditBlock();
  setTextCursor(c);
}

QTextCursor TextControl::ObjectCursor() const {
  const QTextCursor c = textCursor();
  auto isImage = [&](int pos) {
    if (pos < 0 || pos >= document()->characterCount() - 1) return false;
    QTextCursor probe(document());
    probe.setPosition(pos);
    probe.setPosition(pos + 1, QTextCursor::KeepAnchor);
    return probe.charFormat().isImageFormat();
  };
  int pos = -1;
  if (c.hasSelection()) {
    if (c.selectionEnd() - c.selectionStart() == 1 && isImage(c.selectionStart())) pos = c.selectionStart();
  } else if (isImage(c.position() - 1)) {
    pos = c.position() - 1;
  } else if (isImage(c.position())) {
    pos = c.position();
  }
  if (pos < 0) return QTextCursor();
  QTextCursor out(document());
  out.setPosition(pos);
  out.setPosition(pos + 1, QTextCursor::KeepAnchor);
  return out;
}

int TextControl::CurrentObject() const { return ObjectCursor().isNull() ? 0 : 1; }

bool TextControl::TableCanInsert() const { return textCursor().currentTable() == nullptr; }

bool TextControl::TableInsert(int rows, int columns) {
  if (rows < 1 || columns < 1 || !TableCanInsert()) return false;
  KindScope scope(*this, EditKind::Input);
  QTextCursor c = textCursor();
  QTextTableFormat f;
  f.setBorder(1);
  f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
  f.setBorderCollapse(true);
  f.setCellPadding(3);
  f.setCellSpacing(0);
  f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  c.insertTable(rows, columns, f);
  setTextCursor(c);
  return true;
}

namespace {
// The cell after `cell` in reading order (rows top to bottom, cells left to right), skipping
// the places a merged cell covers; invalid after the last.
QTextTableCell NextCell(QTextTable& table, const QTextTableCell& cell) {
  int row = cell.row(), col = cell.column() + cell.columnSpan();
  while (row < table.rows()) {
    if (col >= table.columns()) {
      ++row;
      col = 0;
      continue;
    }
    const QTextTableCell next = table.cellAt(row, col);
    if (next.row() == row && next.column() == col) return next;
    col = next.column() + next.columnSpan();
  }
  return {};
}

// The cell before `cell` in reading order; invalid before the first.
QTextTableCell PreviousCell(QTextTable& table, const QTextTableCell& cell) {
  int row = cell.row(), col = cell.column() - 1;
  while (row >= 0) {
    if (col < 0) {
      --row;
      col = table.columns() - 1;
      continue;
    }
    const QTextTableCell prev = table.cellAt(row, col);
    if (prev.row() == row) return prev;  // a cell that starts on a row above was passed there
    col = prev.column() - 1;
  }
  return {};
}
}  // namespace

void TextControl::MoveToCell(bool backward) {
  QTextCursor c = textCursor();
  QTextTable* table = c.currentTable();
  if (!table) return;
  const QTextTableCell cell = table->cellAt(c);
  QTextTableCell target = backward ? PreviousCell(*table, cell) : NextCell(*table, cell);
  if (!target.isValid()) {
    if (backward) return;  // Shift+Tab in the first cell stays there
    // Tab in the last cell adds a row: one undo step.
    KindScope scope(*this, EditKind::Input);
    c.beginEditBlock();
    table->appendRows(1);
    c.endEditBlock();
    target = table->cellAt(table->rows() - 1, 0);
  }
  // The cell's text is selected, so that typing replaces it; an empty cell gets the caret.
  QTextCursor to = target.lastCursorPosition();
  to.setPosition(target.firstPosition(), QTextCursor::KeepAnchor);
  setTextCursor(to);
}

// ---- events ------------------------------------------------------------------------------

bool TextControl::event(QEvent* e) {
  // Tab and Shift+Tab are the text's keys (a tab character, or the next cell of a table), not
  // a move of the focus to the next widget or the next item of the scene.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  return QGraphicsView::event(e);
}

void TextControl::keyPressEvent(QKeyEvent* e) {
  if (onKeyDown) onKeyDown(VbKeyCode(e->key()), ShiftState(e->modifiers()));
  // The Insert key is the document window's (it flips the insertion mode there).
  if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) return;
  // The text item knows no view, so Page Down and Page Up are the control's.
  const bool select = e->matches(QKeySequence::SelectNextPage) || e->matches(QKeySequence::SelectPreviousPage);
  if (select || e->matches(QKeySequence::MoveToNextPage) || e->matches(QKeySequence::MoveToPreviousPage)) {
    PageUpDown(e->matches(QKeySequence::MoveToNextPage) || e->matches(QKeySequence::SelectNextPage), select);
    e->accept();
    return;
  }
  scene_->setFocusItem(item_);
  scene_->sendEvent(item_, e);
}

namespace {
// The top of the caret's line in the document (pixels at 96 to the inch).
double LineTop(const QTextCursor& c) {
  const QTextBlock block = c.block();
  double y = c.document()->documentLayout()->blockBoundingRect(block).top();
  if (const QTextLayout* layout = block.layout()) {
    const QTextLine line = layout->lineForTextPosition(c.positionInBlock());
    if (line.isValid()) y += line.y();
  }
  return y;
}
}  // namespace

void TextControl::PageUpDown(bool down, bool select) {
  // As a word processor does: the caret goes line by line (keeping its place in the line) as
  // far as the view's height reaches, and the view scrolls as far as the caret went, so the
  // caret stays on its line of the screen. Where less than a screen is left, the caret stops
  // at the first or last line (and from there goes to the start or the end of the text).
  const double screen = viewport()->height() * 100.0 / std::max(zoom_, 1);
  const QTextCursor::MoveMode mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
  const QTextCursor::MoveOperation op = down ? QTextCursor::Down : QTextCursor::Up;
  const QTextCursor start = textCursor();
  const double from = LineTop(start);
  QTextCursor to = start;
  bool linesBeyond = true;
  for (;;) {
    QTextCursor next = to;
    if (!next.movePosition(op, mode) || next.position() == to.position()) {
      linesBeyond = false;
      break;
    }
    if (std::abs(LineTop(next) - from) > screen) break;
    to = next;
  }
  // On the first or the last line already: to the start or the end of the text.
  if (to.position() == start.position()) to.movePosition(down ? QTextCursor::End : QTextCursor::Start, mode);
  // The view first, so that the caret is seen where it lands and setting it scrolls no more;
  // at the first or last line the view goes a whole screen, and then back as far as the
  // caret needs to stay in sight.
  QScrollBar* bar = verticalScrollBar();
  const int step = linesBeyond ? int(std::lround((LineTop(to) - from) * zoom_ / 100.0))
                               : (down ? bar->pageStep() : -bar->pageStep());
  bar->setValue(bar->value() + step);
  setTextCursor(to);
}

void TextControl::mousePressEvent(QMouseEvent* e) {
  int buttons = 0;
  if (e->buttons() & Qt::LeftButton) buttons |= 1;
  if (e->buttons() & Qt::RightButton) buttons |= 2;
  if (e->buttons() & Qt::MiddleButton) buttons |= 4;
  if (onMouseDown) onMouseDown(buttons, ShiftState(e->modifiers()), e->position().toPoint());
  if (e->button() == Qt::RightButton) return;  // the right button zooms; it does not move the caret
  QGraphicsView::mousePressEvent(e);
}

void TextControl::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

void TextControl::focusInEvent(QFocusEvent* e) {
  QGraphicsView::focusInEvent(e);
  scene_->setFocusItem(item_);
  // The multi-document area watches the whole program for Ctrl+Tab (its switch between the
  // windows); while the text has the focus, the control looks first (the filter installed
  // last runs first), so that Ctrl+Tab types a tab here.
  qApp->installEventFilter(this);
}

bool TextControl::eventFilter(QObject* watched, QEvent* e) {
  if (watched == this && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab && (k->modifiers() & Qt::ControlModifier) && !(k->modifiers() & Qt::ShiftModifier)) {
      if (e->type() == QEvent::KeyPress) keyPressEvent(k);
      return true;
    }
  }
  return QGraphicsView::eventFilter(watched, e);
}

// ---- drawing -----------------------------------------------------------------------------

void TextControl::drawBackground(QPainter* painter, const QRectF& rect) {
  painter->fillRect(rect, kDeskColor);
  const double w = PageWidthPx(), h = PageHeightPx();
  const int pages = CurrentPages();
  const int first = std::max(0, int(std::floor(rect.top() / h)));
  const int last = std::min(pages - 1, int(std::floor(rect.bottom() / h)));
  for (int k = first; k <= last; ++k) {
    const QRectF page(0, k * h, w, h);
    painter->fillRect(page.translated(3, 3), QColor(0x70, 0x70, 0x70));
    painter->fillRect(page, Qt::white);
  }
}

void TextControl::drawForeground(QPainter* painter, const QRectF& rect) {
  DrawDecorations(*painter, rect, true);
  // The pages are laid out one below the other; a band of the desk between them shows
  // where one ends and the next begins.
  const double w = PageWidthPx(), h = PageHeightPx();
  const int pages = CurrentPages();
  const double band = std::min(3.0, TwipsToPixels(std::min(page_.PageMarginT, page_.PageMarginB)));
  for (int k = 1; k < pages; ++k) {
    const double y = k * h;
    if (y + band < rect.top() || y - band > rect.bottom()) continue;
    painter->fillRect(QRectF(-8, y - band, w + 16, 2 * band), kDeskColor);
  }
}

void TextControl::DrawDecorations(QPainter& painter, const QRectF& rect, bool onScreen) const {
  QTextDocument* doc = document();
  QAbstractTextDocumentLayout* lay = doc->documentLayout();
  if (onScreen && gridLines_) {
    std::vector<QTextTable*> tables;
    CollectTables(doc->rootFrame(), tables);
    painter.save();
    painter.setPen(QPen(QColor(0x80, 0x80, 0xC0), 0, Qt::DotLine));
    for (QTextTable* table : tables) {
      if (table->format().border() > 0) continue;
      for (int r = 0; r < table->rows(); ++r) {
        for (int col = 0; col < table->columns(); ++col) {
          const QTextTableCell cell = table->cellAt(r, col);
          if (cell.row() != r || cell.column() != col) continue;
          QRectF box = CellContentBox(*lay, *table, cell);
          const double pad = table->format().cellPadding();
          box.adjust(-pad, -pad, pad, pad);
          if (box.intersects(rect)) painter.drawRect(box);
        }
      }
    }
    painter.restore();
  }
  DrawTabLeaders(painter, *doc, rect);
  DrawFrames(painter, rect);
}

void TextControl::PrintPage(QPainter& painter, int page, double scale) const {
  const double w = PageWidthPx(), h = PageHeightPx();
  const QRectF pageRect(0, (page - 1) * h, w, h);
  painter.save();
  painter.scale(scale, scale);
  painter.translate(0, -(page - 1) * h);
  painter.setClipRect(pageRect);
  QAbstractTextDocumentLayout::PaintContext ctx;
  ctx.clip = pageRect;
  ctx.palette.setColor(QPalette::Text, Qt::black);
  document()->documentLayout()->draw(&painter, ctx);
  DrawDecorations(painter, pageRect, false);
  painter.restore();
}

}  // namespace qv::editor

namespace qv::editor {

// ---- images ------------------------------------------------------------------------------------

namespace {
enum ImageProperty {
  kImageTextflow = QTextFormat::UserProperty + 0x5E00,
  kImageDistanceLeft,
  kImageDistanceTop,
  kImageDistanceRight,
  kImageDistanceBottom,
  kImageDisplayMode,
  kImageSaveMode,
};
}  // namespace

QVariant TextControl::ImageProperty(int property, const QVariant& fallback) const {
  const QTextCursor c = ObjectCursor();
  if (c.isNull()) return fallback;
  const QTextCharFormat f = c.charFormat();
  return f.hasProperty(property) ? f.property(property) : fallback;
}

void TextControl::ChangeImage(const std::function<void(QTextImageFormat&)>& change) {
  QTextCursor c = ObjectCursor();
  if (c.isNull()) return;
  QTextImageFormat f = c.charFormat().toImageFormat();
  change(f);
  KindScope scope(*this, EditKind::Formatting);
  c.beginEditBlock();
  c.setCharFormat(f);
  // A fixed image stands in a paragraph of its own: its distances are that paragraph's.
  if (f.intProperty(kImageTextflow) != 0 && c.block().length() == 2) {
    QTextBlockFormat b;
    b.setLeftMargin(TwipsToPixels(f.intProperty(kImageDistanceLeft)));
    b.setTopMargin(TwipsToPixels(f.intProperty(kImageDistanceTop)));
    b.setRightMargin(TwipsToPixels(f.intProperty(kImageDistanceRight)));
    b.setBottomMargin(TwipsToPixels(f.intProperty(kImageDistanceBottom)));
    c.mergeBlockFormat(b);
  }
  c.endEditBlock();
}

int TextControl::ObjectTextflow() const { return ImageProperty(kImageTextflow, 0).toInt(); }
void TextControl::SetObjectTextflow(int flow) {
  ChangeImage([&](QTextImageFormat& f) { f.setProperty(kImageTextflow, flow); });
}
int TextControl::ObjectDistance(int index) const {
  if (index < 1 || index > 4) return 0;
  return ImageProperty(kImageDistanceLeft + index - 1, 0).toInt();
}
void TextControl::SetObjectDistance(int index, int twips) {
  if (index < 1 || index > 4) return;
  ChangeImage([&](QTextImageFormat& f) { f.setProperty(kImageDistanceLeft + index - 1, twips); });
}
int TextControl::ImageDisplayMode() const { return ImageProperty(kImageDisplayMode, 0).toInt(); }
void TextControl::SetImageDisplayMode(int mode) {
  ChangeImage([&](QTextImageFormat& f) { f.setProperty(kImageDisplayMode, mode); });
}
int TextControl::ImageSaveMode() const { return ImageProperty(kImageSaveMode, 0).toInt(); }
void TextControl::SetImageSaveMode(int mode) {
  ChangeImage([&](QTextImageFormat& f) { f.setProperty(kImageSaveMode, mode); });
}

// ---- paragraph frames --------------------------------------------------------------------------

namespace {
// The blocks of the selection (or the caret's block).
std::vector<QTextBlock> SelectedBlocks(const QTextCursor& c) {
  std::vector<QTextBlock> out;
  QTextDocument* doc = c.document();
  const QTextBlock last = doc->findBlock(c.selectionEnd());
  for (QTextBlock b = doc->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
    out.push_back(b);
    if (b == last) break;
  }
  return out;
}
}  // namespace

int TextControl::FrameStyle() const {
  const ParagraphFrame f = ParagraphFrameOf(textCursor().blockFormat());
  return (f.left ? 1 : 0) | (f.right ? 2 : 0) | (f.top ? 4 : 0) | (f.bottom ? 8 : 0) | (f.tabLines ? 16 : 0) |
         (f.doubleLines ? 64 : 0) | (f.connected ? 128 : 0);
}

int TextControl::FrameLineWidth() const {
  std::optional<int> v;
  for (const QTextBlock& b : SelectedBlocks(textCursor())) {
    const int w = ParagraphFrameOf(b.blockFormat()).lineWidth;
    if (v && *v != w) return -1;
    v = w;
  }
  return v.value_or(-1);
}

int TextControl::FrameDistance() const {
  std::optional<int> v;
  for (const QTextBlock& b : SelectedBlocks(textCursor())) {
    const int d = ParagraphFrameOf(b.blockFormat()).distance;
    if (v && *v != d) return -1;
    v = d;
  }
  return v.value_or(-1);
}

void TextControl::ChangeFrames(const std::function<void(ParagraphFrame&)>& change) {
  KindScope scope(*this, EditKind::Formatting);
  QTextCursor edit(document());
  edit.beginEditBlock();
  for (const QTextBlock& b : SelectedBlocks(textCursor())) {
    QTextBlockFormat f = b.blockFormat();
    ParagraphFrame frame = ParagraphFrameOf(f);
    const ParagraphFrame before = frame;
    change(frame);
    if (frame == before) continue;
    SetParagraphFrame(f, frame);
    QTextCursor c(b);
    c.setBlockFormat(f);
  }
  edit.endEditBlock();
  viewport()->update();
}

void TextControl::SetFrameStyle(int style) {
  ChangeFrames([style](ParagraphFrame& f) {
    auto part = [style](bool& flag, int on, int off) {
      if (style & on) flag = true;
      else if (off && (style & off)) flag = false;
    };
    part(f.left, 1, 256);
    part(f.right, 2, 512);
    part(f.top, 4, 1024);
    part(f.bottom, 8, 2048);
    part(f.tabLines, 16, 4096);
    part(f.doubleLines, 64, 32);
    part(f.connected, 128, 0);
  });
}

void TextControl::SetFrameLineWidth(int twips) {
  ChangeFrames([twips](ParagraphFrame& f) { f.lineWidth = twips; });
}

void TextControl::SetFrameDistance(int twips) {
  ChangeFrames([twips](ParagraphFrame& f) { f.distance = twips; });
}

void TextControl::DrawFrames(QPainter& painter, const QRectF& rect) const {
  QTextDocument* doc = document();
  QAbstractTextDocumentLayout* lay = doc->documentLayout();
  const QTextFrameFormat root = doc->rootFrame()->frameFormat();
  const double contentLeft = root.leftMargin();
  const double contentRight = PageWidthPx() - root.rightMargin();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    const ParagraphFrame f = ParagraphFrameOf(bf);
    if (!f.any() && !f.tabLines) continue;
    if (QTextCursor(b).currentTable()) continue;
    const QRectF r = lay->blockBoundingRect(b);
    if (r.bottom() < rect.top() - 20 || r.top() > rect.bottom() + 20) continue;
    const QTextLayout* tl = b.layout();
    if (!tl || tl->lineCount() == 0) continue;
    // The lines' own extent: the frame stands round the text, its distance away.
    const double textTop = tl->position().y() + tl->lineAt(0).y();
    const QTextLine lastLine = tl->lineAt(tl->lineCount() - 1);
    const double textBottom = tl->position().y() + lastLine.y() + lastLine.height();
    const double width = TwipsToPixels(f.lineWidth > 0 ? f.lineWidth : 20);
    const double dist = TwipsToPixels(f.distance > 0 ? f.distance : 0);
    // A connected frame runs on through the following paragraphs with the same frame: no
    // line between them.
    auto sameFrame = [&](const QTextBlock& other) {
      return other.isValid() && f.connected && ParagraphFrameOf(other.blockFormat()) == f;
    };
    const bool joinAbove = sameFrame(b.previous());
    const bool joinBelow = sameFrame(b.next());
    const double left = contentLeft + bf.leftMargin() - dist - width / 2;
    const double right = contentRight - bf.rightMargin() + dist + width / 2;
    const double top = textTop - dist - width / 2;
    const double bottom = textBottom + dist + width / 2;
    const double gap = f.doubleLines ? width * 2 : 0;
    QPen pen(Qt::black, width);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    auto line = [&](QPointF a, QPointF z, QPointF inward) {
      painter.drawLine(a, z);
      if (f.doubleLines) painter.drawLine(a + inward * gap, z + inward * gap);
    };
    const double yTop = joinAbove ? r.top() : top;
    const double yBottom = joinBelow ? r.bottom() : bottom;
    if (f.left) line({left, yTop}, {left, yBottom}, {1, 0});
    if (f.right) line({right, yTop}, {right, yBottom}, {-1, 0});
    if (f.top && !joinAbove) line({left, top}, {right, top}, {0, 1});
    if (f.bottom && !joinBelow) line({left, bottom}, {right, bottom}, {0, -1});
    if (f.tabLines) {
      for (const QTextOption::Tab& t : bf.tabPositions()) {
        const double x = contentLeft + bf.leftMargin() + t.position;  // Qt's tabs start at the indent
        if (x > left && x < right) painter.drawLine(QPointF(x, yTop), QPointF(x, yBottom));
      }
    }
  }
  painter.restore();
}

}  // namespace qv::editor
