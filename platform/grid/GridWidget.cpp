#include "platform/grid/GridWidget.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/ui/Prompt.h"

namespace qv::grid {

namespace {

QString ShownText(const std::string& s) {
  QString t = QString::fromStdString(s);
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

QFont FontFor(const CellFont& f, const QFont& base) {
  QFont font = base;
  if (!f.name.empty()) font.setFamily(QString::fromStdString(f.name));
  if (f.size > 0) font.setPointSizeF(f.size);
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeout);
  return font;
}

QColor ColorFor(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

constexpr int kCellMargin = 3;  // pixels left and right of a cell's text

}  // namespace

// ---- model -------------------------------------------------------------------------

class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(GridWidget* w) : QAbstractTableModel(w), w_(w) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : w_->rows_; }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : w_->cols_;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const Sheet* s = w_->sheet();
    if (!s || !index.isValid()) return {};
    int r = index.row() + 1, c = index.column() + 1;
    switch (role) {
      case Qt::DisplayRole: return w_->displayText(r, c);
      case Qt::EditRole: return ShownText(s->TextRC(r, c));
      case Qt::FontRole: {
        CellFont f = s->FontRC(r, c);
        if (f == CellFont{}) return {};
        return FontFor(f, w_->view()->font());
      }
      case Qt::ForegroundRole: {
        uint32_t color = s->FontRC(r, c).color;
        if (color == 0) return {};
        return ColorFor(color);
      }
      case Qt::TextAlignmentRole: {
        const auto* col = w_->Column(c);
        if (col && col->hasAlign) return QVariant::fromValue(col->align);
        return QVariant::fromValue((s->IsNumber(r, c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      }
      default: return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, o, role);
    if (o == Qt::Vertical) return section + 1;
    const Sheet* s = w_->sheet();
    return s ? ShownText(s->ColText(section + 1)) : QString();
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (w_->isCellEditable(index.row() + 1, index.column() + 1)) f |= Qt::ItemIsEditable;
    return f;
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid()) return false;
    return w_->commitEdit(index.row() + 1, index.column() + 1, value.toString());
  }

  // Structural notifications, called by GridWidget::Sync.
  void Reset(int rows, int cols) {
    beginResetModel();
    w_->rows_ = rows;
    w_->cols_ = cols;
    endResetModel();
  }
  void Resize(int rows, int cols) {
    if (rows > w_->rows_) {
      beginInsertRows({}, w_->rows_, rows - 1);
      w_->rows_ = rows;
      endInsertRows();
    } else if (rows < w_->rows_) {
      beginRemoveRows({}, rows, w_->rows_ - 1);
      w_->rows_ = rows;
      endRemoveRows();
    }
    if (cols > w_->cols_) {
      beginInsertColumns({}, w_->cols_, cols - 1);
      w_->cols_ = cols;
      endInsertColumns();
    } else if (cols < w_->cols_) {
      beginRemoveColumns({}, cols, w_->cols_ - 1);
      w_->cols_ = cols;
      endRemoveColumns();
    }
  }
  void AllChanged() {
    if (w_->rows_ > 0 && w_->cols_ > 0) emit dataChanged(index(0, 0), index(w_->rows_ - 1, w_->cols_ - 1));
    if (w_->cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, w_->cols_ - 1);
  }

 private:
  GridWidget* w_;
};

// ---- delegate: check boxes, per-column word wrap, Enter after an edit -----------------

class GridView;

class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(GridWidget* w) : QStyledItemDelegate(w), w_(w) {}

  void initStyleOption(QStyleOptionViewItem* opt, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(opt, index);
    const auto* col = w_->Column(index.column() + 1);
    if (col && col->wrap)
      opt->features |= QStyleOptionViewItem::WrapText;
    else
      opt->features &= ~QStyleOptionViewItem::WrapText;
  }

  // The rectangle of a check box drawn in a cell: centred when the cell has no text, else
  // at the left before the text.
  static QRect CheckRect(const QStyleOptionViewItem& cellOpt, const QWidget* widget, bool centred) {
    QStyle* style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem o = cellOpt;
    o.features |= QStyleOptionViewItem::HasCheckIndicator;
    QRect r = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &o, widget);
    if (centred) r.moveCenter(cellOpt.rect.center());
    return r;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const Sheet* s = w_->sheet();
    int id = s ? s->CheckBoxAt(index.row() + 1, index.column() + 1) : 0;
    if (!id) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    bool centred = opt.text.isEmpty();
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    opt.checkState = s->ObjValue(id) ? Qt::Checked : Qt::Unchecked;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    if (!centred) {
      style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
      return;
    }
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    QStyleOptionViewItem check = opt;
    check.rect = CheckRect(option, widget, true);
    check.state = check.state & ~QStyle::State_HasFocus;
    check.state |= opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    const auto* col = w_->Column(index.column() + 1);
    if (col && col->hasAlign) edit->setAlignment(col->align);
    return edit;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    // The view selects the editor's text, so typing replaces it and F2 or a double-click
    // edits it. A refresh while the user types never overwrites what was typed. A refresh
    // before the first key (the store of the cell just left, which opened this one) leaves
    // an unchanged text alone and selects a changed one again: typing must replace the
    // cell's text, not be added to its end.
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit || edit->isModified()) return;
    const QString text = index.data(Qt::EditRole).toString();
    if (edit->text() == text) return;
    const bool allSelected = edit->text().isEmpty() || edit->selectedText() == edit->text();
    edit->setText(text);
    if (allSelected) edit->selectAll();
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) model->setData(index, edit->text(), Qt::EditRole);
  }

  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  GridWidget* w_;
};

// ---- view: mouse, keys and focus as grid events -----------------------------------------

class GridView : public QTableView {
 public:
  explicit GridView(GridWidget* w) : QTableView(w), w_(w) {}

  void KeyPressFromGrid(QKeyEvent* e) { QTableView::keyPressEvent(e); }
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

  // Tab moves from cell to cell, but the grid is no trap for the keyboard: Tab from the last
  // cell (Shift+Tab from the first) goes on to the next (previous) control of the window,
  // and Ctrl+Tab (Ctrl+Shift+Tab) always does.
  static bool IsTabKey(const QKeyEvent* e) { return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; }
  static bool Forward(const QKeyEvent* e) {
    return e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier);
  }
  static bool LeavesAlways(const QKeyEvent* e) { return IsTabKey(e) && (e->modifiers() & Qt::ControlModifier); }
  // True when Tab (next) or Shift+Tab would wrap round to the other end of the grid, or has
  // no cell to go to.
  bool AtEdge(bool next) {
    const QModelIndex cur = currentIndex();
    if (!model() || model()->rowCount() == 0 || model()->columnCount() == 0) return true;
    if (!cur.isValid()) return false;
    const QModelIndex to = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!to.isValid() || to == cur) return true;
    const bool after = to.row() > cur.row() || (to.row() == cur.row() && to.column() > cur.column());
    return after != next;
  }
  // Gives the focus to the next (previous) control of the window, past the grid's cells.
  bool LeaveGrid(bool next) { return QWidget::focusNextPrevChild(next); }

 protected:
  bool focusNextPrevChild(bool next) override {
    if (AtEdge(next)) return LeaveGrid(next);
    return QTableView::focusNextPrevChild(next);
  }

  // The store of an edit may ask a question in a window of its own; the editor then loses
  // the focus before it closes, and the view would not take it back. Left so, the window
  // would give the focus to its first control (the page selector of the main window) when
  // it is active again, and the next keys would go there.
  // Tab out of the editor of the last cell (Shift+Tab, the first) stores the cell and leaves
  // the grid instead of opening the editor of the cell at the other end.
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    int leave = 0;  // 1 forward, -1 backward
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
      const bool next = hint == QAbstractItemDelegate::EditNextItem;
      if (AtEdge(next)) {
        leave = next ? 1 : -1;
        hint = QAbstractItemDelegate::NoHint;
      }
    }
    auto inEditor = [editor](QWidget* f) { return f && editor && (f == editor || editor->isAncestorOf(f)); };
    const bool heldFocus = inEditor(window()->focusWidget());
    QTableView::closeEditor(editor, hint);
    if (heldFocus) {
      QWidget* now = window()->focusWidget();
      if (!now || inEditor(now) || !now->isVisible()) setFocus(Qt::OtherFocusReason);
    }
    if (leave != 0 && hasFocus()) LeaveGrid(leave > 0);
  }

  // The cell under a point, 1-based; (0, 0) outside the cells.
  std::pair<int, int> CellAt(const QPoint& p) const {
    QModelIndex i = indexAt(p);
    if (!i.isValid()) return {0, 0};
    return {i.row() + 1, i.column() + 1};
  }

  // The check box hit by a left click at p (0: none).
  int CheckBoxHit(const QPoint& p) const {
    const Sheet* s = w_->sheet();
    if (!s || s->CheckBoxes().empty()) return 0;
    auto [r, c] = CellAt(p);
    if (!r) return 0;
    return s->CheckBoxAt(r, c);
  }

  void mousePressEvent(QMouseEvent* e) override {
    QPoint p = e->position().toPoint();
    auto [r, c] = CellAt(p);
    if (e->button() == Qt::LeftButton) {
      if (int id = CheckBoxHit(p)) {
        // A check box is an object on the sheet: its click neither selects nor edits.
        setFocus(Qt::MouseFocusReason);
        w_->toggleObj(id);
        e->accept();
        return;
      }
      QTableView::mousePressEvent(e);
      if (r) emit w_->click(r, c);
      return;
    }
    if (e->button() == Qt::RightButton) {
      if (r) emit w_->rightClick(r, c, e->globalPosition().toPoint());
      e->accept();
      return;
    }
    QTableView::mousePressEvent(e);
  }

  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QPoint p = e->position().toPoint();
    auto [r, c] = CellAt(p);
    if (e->button() == Qt::LeftButton) {
      if (int id = CheckBoxHit(p)) {  // the second click of a double-click toggles again
        w_->toggleObj(id);
        e->accept();
        return;
      }
      if (r) emit w_->dblClick(r, c);
      QTableView::mouseDoubleClickEvent(e);
      return;
    }
    if (e->button() == Qt::RightButton) {
      if (r) emit w_->rightDblClick(r, c, e->globalPosition().toPoint());
      e->accept();
      return;
    }
    QTableView::mouseDoubleClickEvent(e);
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    auto [r, c] = CellAt(e->position().toPoint());
    QTableView::mouseReleaseEvent(e);
    emit w_->mouseUp(e->button(), e->modifiers(), r, c);
  }

  void keyPressEvent(QKeyEvent* e) override {
    if (LeavesAlways(e)) {
      e->accept();
      LeaveGrid(Forward(e));
      return;
    }
    w_->DispatchKeyPress(e, false);
  }

  void keyReleaseEvent(QKeyEvent* e) override {
    emit w_->keyUp(e->key(), e->modifiers());
    QTableView::keyReleaseEvent(e);
  }

  void focusInEvent(QFocusEvent* e) override {
    QTableView::focusInEvent(e);
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) emit w_->gotFocus();
  }

  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    w_->OnCurrentChanged();
  }

  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override {
    QTableView::selectionChanged(selected, deselected);
    w_->OnSelectionChanged();
  }

  bool viewportEvent(QEvent* e) override {
    // Catch up with the sheet before painting it; the paint then runs with the new layout.
    if (e->type() == QEvent::Paint && !w_->committing_) {
      const Sheet* s = w_->sheet();
      if (s != w_->shownSheet_ || (s && s->Revision() != w_->shownRevision_)) {
        w_->Sync(false);
        viewport()->update();
        return true;
      }
    }
    return QTableView::viewportEvent(e);
  }

 private:
  GridWidget* w_;
};

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && GridView::LeavesAlways(ke)) {
      // Ctrl+Tab stores the cell being edited and leaves the grid.
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      if (auto* view = static_cast<GridView*>(w_->view()); view->hasFocus()) view->LeaveGrid(GridView::Forward(ke));
      return true;
    }
    if (editor && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)) {
      // Commit, close, then let the grid see the Enter as after any edit.
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      QKeyEvent copy(ke->type(), ke->key(), ke->modifiers(), ke->text());
      w_->DispatchKeyPress(&copy, true);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

// ---- widget ------------------------------------------------------------------------------

GridWidget::GridWidget(QWidget* parent) : QWidget(parent) {
  model_ = new GridModel(this);
  view_ = new GridView(this);
  delegate_ = new GridDelegate(this);
  view_->setModel(model_);
  view_->setItemDelegate(delegate_);
  view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  view_->setWordWrap(false);
  view_->setTabKeyNavigation(true);
  view_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->verticalHeader()->setHighlightSections(false);
  QFontMetrics fm(view_->font());
  view_->verticalHeader()->setMinimumSectionSize(fm.height() / 2);
  view_->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
  view_->horizontalHeader()->setDefaultSectionSize(fm.horizontalAdvance(QLatin1Char('0')) * 10 + 2 * kCellMargin);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  setFocusProxy(view_);
}

GridWidget::~GridWidget() {
  // The view asks the model (and the model this widget) for headers and cells while it is
  // being hidden and destroyed; end it while this widget is still whole.
  delete view_;
  view_ = nullptr;
}

QTableView* GridWidget::view() const { return view_; }

Sheet* GridWidget::sheet() const {
  if (book_) {
    int n = sheetNumber_ > 0 ? sheetNumber_ : book_->ActiveSheet();
    if (n < 1 || n > book_->NumSheets()) return nullptr;
    return &book_->SheetAt(n);
  }
  return sheet_;
}

void GridWidget::setSheet(Sheet* sheet) {
  book_ = nullptr;
  sheet_ = sheet;
  Sync(true);
}

void GridWidget::setWorkbook(Workbook* book, int sheetNumber) {
  book_ = book;
  sheet_ = nullptr;
  sheetNumber_ = sheetNumber;
  Sync(true);
}

void GridWidget::setSheetNumber(int n) {
  sheetNumber_ = n;
  Sync(true);
}

void GridWidget::refresh() { Sync(false); }

int GridWidget::rowCount() const { return rows_; }
int GridWidget::columnCount() const { return cols_; }

void GridWidget::ScheduleRefresh() {
  if (refreshQueued_) return;
  refreshQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshQueued_ = false;
    Sync(false);
  });
}

void GridWidget::Sync(bool force) {
  if (committing_) {  // no structural change while an edit is being stored
    ScheduleRefresh();
    return;
  }
  const Sheet* s = sheet();
  bool sameSheet = s == shownSheet_;
  bool changed = force || !sameSheet || (s && s->Revision() != shownRevision_);
  if (changed) {
    int rows = 0, cols = 0;
    if (s) {
      rows = s->MaxRow();
      cols = s->MaxCol() > 0 ? s->MaxCol() : std::max<int>(static_cast<int>(s->Headings().size()), s->LastCol());
      cols = std::max(cols, 1);
    }
    programmatic_ = true;
    if (!sameSheet || force) {
      model_->Reset(rows, cols);
      shownActiveRow_ = shownActiveCol_ = 0;  // apply the new sheet's cell and selection
      shownSel_[0] = 0;
    } else {
      model_->Resize(rows, cols);
      model_->AllChanged();
    }
    shownSheet_ = s;
    shownRevision_ = s ? s->Revision() : 0;
    ApplyColumnLayout();
    ApplyHeaderHeight();
    programmatic_ = false;
  }
  ApplyActiveAndSelection();
}

const GridWidget::ColumnSettings* GridWidget::Column(int col) const {
  auto it = columns_.find(col);
  return it == columns_.end() ? nullptr : &it->second;
}

GridWidget::ColumnSettings& GridWidget::ColumnRef(int col) { return columns_[col]; }

void GridWidget::ApplyColumnLayout() {
  for (const auto& [col, cs] : columns_) {
    if (col < 1 || col > cols_) continue;
    if (cs.width >= 0) view_->setColumnWidth(col - 1, cs.width);
    view_->setColumnHidden(col - 1, cs.hidden);
  }
}

void GridWidget::ApplyHeaderHeight() {
  QHeaderView* h = view_->horizontalHeader();
  int px = headerHeight_;
  if (px == 0) {
    if (const Sheet* s = sheet(); s && s->HeaderHeight() > 0) px = s->HeaderHeight() / 15;  // 15 twips a pixel
  }
  if (px > 0) {
    h->setMinimumHeight(px);
    h->setMaximumHeight(px);
  } else {
    h->setMinimumHeight(0);
    h->setMaximumHeight(QWIDGETSIZE_MAX);
  }
}

void GridWidget::ApplyActiveAndSelection() {
  const Sheet* s = sheet();
  if (!s || rows_ == 0 || cols_ == 0) return;
  int ar = s->ActiveRow(), ac = s->ActiveCol();
  int sel[4] = {s->SelStartRow(), s->SelStartCol(), s->SelEndRow(), s->SelEndCol()};
  bool activeMoved = ar != shownActiveRow_ || ac != shownActiveCol_;
  bool selMoved = !std::equal(sel, sel + 4, shownSel_);
  if (!activeMoved && !selMoved) return;
  programmatic_ = true;
  QItemSelectionModel* sm = view_->selectionModel();
  if (activeMoved) {
    QModelIndex i = model_->index(std::clamp(ar, 1, rows_) - 1, std::clamp(ac, 1, cols_) - 1);
    sm->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
  }
  if (selMoved) {
    int r1 = sel[0] == -1 ? 1 : sel[0], r2 = sel[2] == -1 ? rows_ : sel[2];
    int c1 = sel[1] == -1 ? 1 : sel[1], c2 = sel[3] == -1 ? cols_ : sel[3];
    r1 = std::clamp(r1, 1, rows_);
    r2 = std::clamp(r2, 1, rows_);
    c1 = std::clamp(c1, 1, cols_);
    c2 = std::clamp(c2, 1, cols_);
    QItemSelection selection(model_->index(r1 - 1, c1 - 1), model_->index(r2 - 1, c2 - 1));
    sm->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  shownActiveRow_ = ar;
  shownActiveCol_ = ac;
  std::copy(sel, sel + 4, shownSel_);
  programmatic_ = false;
}

void GridWidget::OnCurrentChanged() {
  if (programmatic_) return;
  Sheet* s = sheet();
  QModelIndex i = view_->currentIndex();
  if (!s || !i.isValid()) return;
  s->SetActiveCell(i.row() + 1, i.column() + 1);
  shownActiveRow_ = i.row() + 1;
  shownActiveCol_ = i.column() + 1;
  emit activeCellChanged(i.row() + 1, i.column() + 1);
}

void GridWidget::OnSelectionChanged() {
  if (programmatic_) return;
  Sheet* s = sheet();
  if (!s) return;
  const QItemSelection sel = view_->selectionModel()->selection();
  if (sel.isEmpty()) return;
  int r1 = INT32_MAX, c1 = INT32_MAX, r2 = 0, c2 = 0;
  for (const QItemSelectionRange& range : sel) {
    r1 = std::min(r1, range.top() + 1);
    c1 = std::min(c1, range.left() + 1);
    r2 = std::max(r2, range.bottom() + 1);
    c2 = std::max(c2, range.right() + 1);
  }
  s->SetSelection(r1, c1, r2, c2);
  shownSel_[0] = r1;
  shownSel_[1] = c1;
  shownSel_[2] = r2;
  shownSel_[3] = c2;
  emit selectionChanged();
}

void GridWidget::DispatchKeyPress(QKeyEvent* e, bool fromEditor) {
  int key = e->key();
  emit keyDown(&key, e->modifiers());
  if (key == 0) {
    e->accept();
    return;
  }
  QString text = e->text();
  if (!text.isEmpty()) {
    int ascii = text.at(0).unicode();
    emit keyPress(&ascii);
    if (ascii == 0) {
      e->accept();
      return;
    }
  }
  if (fromEditor) return;  // the editor already acted on the key
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    // The grid keeps Enter (it must not press a dialog's default button); the keyPress
    // handler decides where it goes.
    e->accept();
    return;
  }
  if (e->matches(QKeySequence::Copy)) {
    copyToClipboard();
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier) {
    const Sheet* s = sheet();
    if (int id = s ? s->CheckBoxAt(activeRow(), activeCol()) : 0) {
      toggleObj(id);
      e->accept();
      return;
    }
  }
  view_->KeyPressFromGrid(e);
}

// ---- layout -------------------------------------------------------------------------

void GridWidget::setColumnWidth(int col, int px) {
  ColumnRef(col).width = px;
  if (col >= 1 && col <= cols_) view_->setColumnWidth(col - 1, px);
}

int GridWidget::columnWidth(int col) const {
  if (col >= 1 && col <= cols_) return view_->columnWidth(col - 1);
  const auto* cs = Column(col);
  return cs && cs->width >= 0 ? cs->width : view_->horizontalHeader()->defaultSectionSize();
}

void GridWidget::setColumnHidden(int col, bool hidden) {
  ColumnRef(col).hidden = hidden;
  if (col >= 1 && col <= cols_) view_->setColumnHidden(col - 1, hidden);
}

void GridWidget::setRowHeight(int row, int px) {
  if (row >= 1 && row <= rows_) view_->setRowHeight(row - 1, px);
}

int GridWidget::rowHeight(int row) const {
  return row >= 1 && row <= rows_ ? view_->rowHeight(row - 1) : view_->verticalHeader()->defaultSectionSize();
}

void GridWidget::autoRowHeight(int row) {
  const Sheet* s = sheet();
  if (!s || row < 1 || row > rows_) return;
  int needed = view_->verticalHeader()->defaultSectionSize();
  for (int c = 1; c <= cols_; ++c) {
    if (view_->isColumnHidden(c - 1)) continue;
    QString text = displayText(row, c);
    if (text.isEmpty()) continue;
    QFont font = FontFor(s->FontRC(row, c), view_->font());
    if (s->FontRC(row, c) == CellFont{}) font = view_->font();
    QFontMetrics fm(font);
    const auto* cs = Column(c);
    int flags = Qt::AlignLeft | Qt::AlignTop;
    if (cs && cs->wrap) flags |= Qt::TextWordWrap;
    int width = std::max(1, view_->columnWidth(c - 1) - 2 * kCellMargin);
    QRect r = fm.boundingRect(QRect(0, 0, width, 1 << 20), flags, text);
    needed = std::max(needed, r.height() + 4);
  }
  view_->setRowHeight(row - 1, needed);
}

void GridWidget::setHeaderHeight(int px) {
  headerHeight_ = std::max(0, px);
  ApplyHeaderHeight();
}

int GridWidget::headerHeight() const { return view_->horizontalHeader()->height(); }

void GridWidget::setColumnHeadersVisible(bool visible) { view_->horizontalHeader()->setVisible(visible); }
void GridWidget::setRowHeadersVisible(bool visible) { view_->verticalHeader()->setVisible(visible); }
void GridWidget::setGridLinesVisible(bool visible) { view_->setShowGrid(visible); }

void GridWidget::setDisplayOnly() {
  view_->setSelectionMode(QAbstractItemView::NoSelection);
  QPalette pal = view_->palette();
  pal.setColor(QPalette::Highlight, pal.color(QPalette::Base));
  pal.setColor(QPalette::HighlightedText, pal.color(QPalette::Text));
  view_->setPalette(pal);
}

void GridWidget::setColumnAlignment(int col, Qt::Alignment a) {
  auto& cs = ColumnRef(col);
  cs.align = a;
  if (!(a & Qt::AlignVertical_Mask)) cs.align |= Qt::AlignVCenter;
  cs.hasAlign = true;
  view_->viewport()->update();
}

void GridWidget::setColumnWordWrap(int col, bool wrap) {
  ColumnRef(col).wrap = wrap;
  view_->viewport()->update();
}

void GridWidget::setColumnFormatter(int col, Formatter f) {
  ColumnRef(col).formatter = std::move(f);
  view_->viewport()->update();
}

void GridWidget::setSelectRows(bool rows) {
  view_->setSelectionBehavior(rows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

QString GridWidget::displayText(int row, int col) const {
  const Sheet* s = sheet();
  if (!s) return {};
  if (s->IsNumber(row, col)) {
    const auto* cs = Column(col);
    if (cs && cs->formatter) return ShownText(cs->formatter(s->NumberRC(row, col)));
  }
  return ShownText(s->TextRC(row, col));
}

// ---- editing ------------------------------------------------------------------------

void GridWidget::setReadOnly(bool readOnly) { readOnly_ = readOnly; }
void GridWidget::setColumnReadOnly(int col, bool readOnly) { ColumnRef(col).readOnly = readOnly; }

void GridWidget::setRowReadOnly(int row, bool readOnly) {
  if (readOnly)
    readOnlyRows_[row] = true;
  else
    readOnlyRows_.erase(row);
}

void GridWidget::setColumnNumeric(int col, bool numeric) { ColumnRef(col).numeric = numeric; }

bool GridWidget::isCellEditable(int row, int col) const {
  const Sheet* s = sheet();
  if (!s || readOnly_ || row < 1 || col < 1 || row > rows_ || col > cols_) return false;
  if (const auto* cs = Column(col); cs && cs->readOnly) return false;
  if (readOnlyRows_.count(row)) return false;
  if (s->CheckBoxAt(row, col) || s->IsFormula(row, col)) return false;
  return !editableRule_ || editableRule_(row, col);
}

bool GridWidget::editCell(int row, int col) {
  if (!isCellEditable(row, col)) return false;
  setActiveCell(row, col);
  QModelIndex i = model_->index(row - 1, col - 1);
  view_->edit(i);
  return view_->IsEditing();
}

bool GridWidget::commitEdit(int row, int col, const QString& text) {
  Sheet* s = sheet();
  if (!s || committing_ || !isCellEditable(row, col)) return false;
  const Sheet* edited = s;
  QString t = text;
  bool cancel = false;
  s->SetActiveCell(row, col);
  shownActiveRow_ = row;
  shownActiveCol_ = col;
  committing_ = true;
  emit endEdit(row, col, &t, &cancel);
  committing_ = false;
  s = sheet();
  bool stored = false;
  // The handler may have put another sheet in view (or read a workbook over this one): the
  // edit then belongs to a sheet that is gone and is dropped.
  if (!cancel && s == edited) {
    std::string u = t.toStdString();
    // Line breaks typed into a cell are kept as CR LF, as the sheets hold them.
    std::string v;
    for (char ch : u) {
      if (ch == '\n') v += "\r\n";
      else if (ch != '\r') v += ch;
    }
    const auto* cs = Column(col);
    bool numeric = !cs || cs->numeric;
    double number = 0;
    if (v.empty())
      s->SetTextRC(row, col, "");
    else if (numeric && ParsePlainNumber(v, number))
      s->SetNumberRC(row, col, number);
    else
      s->SetTextRC(row, col, v);
    stored = true;
  }
  // Show the stored value at once; rows and columns follow after the editor has closed.
  model_->AllChanged();
  ScheduleRefresh();
  return stored;
}

// ---- check boxes --------------------------------------------------------------------

void GridWidget::setObjValue(int id, int value) {
  if (Sheet* s = sheet()) {
    s->SetObjValue(id, value);
    view_->viewport()->update();
  }
}

int GridWidget::objValue(int id) const {
  const Sheet* s = sheet();
  return s ? s->ObjValue(id) : 0;
}

void GridWidget::toggleObj(int id) {
  Sheet* s = sheet();
  if (!s || !s->HasCheckBox(id)) return;
  s->SetObjValue(id, s->ObjValue(id) ? 0 : 1);
  view_->viewport()->update();
  emit objValueChanged(id);
}

// ---- active cell and selection --------------------------------------------------------

int GridWidget::activeRow() const {
  const Sheet* s = sheet();
  return s ? s->ActiveRow() : 0;
}

int GridWidget::activeCol() const {
  const Sheet* s = sheet();
  return s ? s->ActiveCol() : 0;
}

void GridWidget::setActiveCell(int row, int col) {
  Sheet* s = sheet();
  if (!s) return;
  // The cell made active is the selection too, as after a click: the highlight shows the
  // cell that typing and Enter work on, not the one left.
  s->SetActiveCell(row, col);
  s->SetSelection(row, col, row, col);
  Sync(false);
  showActiveCell();
}

void GridWidget::showActiveCell() {
  if (rows_ == 0 || cols_ == 0) return;
  QModelIndex i = model_->index(std::clamp(activeRow(), 1, rows_) - 1, std::clamp(activeCol(), 1, cols_) - 1);
  view_->scrollTo(i);
}

void GridWidget::setSelection(int r1, int c1, int r2, int c2) {
  Sheet* s = sheet();
  if (!s) return;
  s->SetSelection(r1, c1, r2, c2);
  Sync(false);
}

void GridWidget::copyToClipboard() {
  const Sheet* s = sheet();
  if (!s) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(s->Clip()));
}

// ---- printing -----------------------------------------------------------------------

bool GridWidget::parsePrintArea(const QString& area, int& r1, int& c1, int& r2, int& c2) {
  static const QRegularExpression re(QStringLiteral("^\\s*\\$?([A-Za-z]{1,3})\\$?(\\d+)\\s*:\\s*\\$?([A-Za-z]{1,3})\\$?(\\d+)\\s*$"));
  auto m = re.match(area);
  if (!m.hasMatch()) return false;
  auto colNumber = [](const QString& letters) {
    int n = 0;
    for (QChar ch : letters) n = n * 26 + (ch.toUpper().unicode() - 'A' + 1);
    return n;
  };
  int a = m.captured(2).toInt(), b = m.captured(4).toInt();
  if (a < 1 || b < 1) return false;
  r1 = std::min(a, b);
  r2 = std::max(a, b);
  int x = colNumber(m.captured(1)), y = colNumber(m.captured(3));
  c1 = std::min(x, y);
  c2 = std::max(x, y);
  return true;
}

std::unique_ptr<QPrinter> GridWidget::printerFor(const ui::PrintTarget& target) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!target.pdfPath.empty()) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(target.pdfPath));
  } else if (!target.printerName.empty()) {
    printer->setPrinterName(QString::fromStdString(target.printerName));
  }
  printer->setCopyCount(std::max(1, target.copies));
  printer->setPageOrientation(target.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  return printer;
}

namespace {
// The left, centre and right sections of a header with the grid's codes.
struct HeaderSections {
  QString left, centre, right;
};

HeaderSections ParseHeader(const QString& header, int page) {
  HeaderSections out;
  bool coded = header.contains(QRegularExpression(QStringLiteral("&[LCRlcr]")));
  QString* cur = coded ? &out.left : &out.centre;
  for (int i = 0; i < header.size(); ++i) {
    QChar ch = header[i];
    if (ch == QLatin1Char('&') && i + 1 < header.size()) {
      QChar code = header[i + 1].toUpper();
      ++i;
      if (code == QLatin1Char('L')) cur = &out.left;
      else if (code == QLatin1Char('C')) cur = &out.centre;
      else if (code == QLatin1Char('R')) cur = &out.right;
      else if (code == QLatin1Char('P')) *cur += QString::number(page);
      else if (code == QLatin1Char('&')) *cur += QLatin1Char('&');
      else {
        *cur += ch;  // not a code: kept as written
        *cur += header[i];
      }
      continue;
    }
    *cur += ch;
  }
  return out;
}
}  // namespace

bool GridWidget::print(QPrinter& printer, const QString& header, int r1, int c1, int r2, int c2) {
  Sync(false);
  const Sheet* s = sheet();
  if (!s) return false;
  if (r2 == -1) r2 = rows_;
  if (c2 == -1) c2 = cols_;
  r1 = std::max(1, r1);
  c1 = std::max(1, c1);
  std::vector<int> cols;
  for (int c = c1; c <= c2; ++c)
    if (c > cols_ || !view_->isColumnHidden(c - 1)) cols.push_back(c);
  QPainter p;
  if (!p.begin(&printer)) return false;

  // Work in screen pixels: scale from the screen's resolution to the printer's, and further
  // down when the columns are wider than the page.
  QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  double scale = printer.resolution() / std::max(1.0, static_cast<double>(logicalDpiX()));
  int totalWidth = 0;
  for (int c : cols) totalWidth += columnWidth(c);
  double pageWidth = page.width() / scale;
  if (totalWidth > pageWidth && totalWidth > 0) scale *= pageWidth / totalWidth;
  double pageHeight = page.height() / scale;
  p.scale(scale, scale);
  // Fonts sized in points would grow with the printer's resolution on top of the scale:
  // size them in screen pixels, as the layout was measured.
  const double screenDpi = std::max(1, logicalDpiY());
  auto onPage = [screenDpi](QFont f) {
    if (f.pointSizeF() > 0) f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pointSizeF() * screenDpi / 72.0))));
    return f;
  };

  QFont base = view_->font();
  QFontMetrics baseFm(base);
  const int lineH = baseFm.height() + 4;
  const QPen gridPen(QColor(160, 160, 160), 0);
  int pageNo = 1;
  double y = 0;

  auto drawHeader = [&] {
    y = 0;
    if (!header.isEmpty()) {
      HeaderSections h = ParseHeader(header, pageNo);
      QFont hf = base;
      hf.setBold(true);
      p.setFont(onPage(hf));
      p.setPen(Qt::black);
      int hh = QFontMetrics(hf).height() * std::max<int>(1, static_cast<int>(h.centre.count('\n')) + 1) + 4;
      QRectF band(0, 0, pageWidth, hh);
      p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, h.left);
      p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, h.centre);
      p.drawText(band, Qt::AlignRight | Qt::AlignVCenter, h.right);
      y = hh + lineH / 2;
    }
    // Column headings.
    bool anyHeading = false;
    int maxLines = 1;
    for (int c : cols) {
      QString t = ShownText(s->ColText(c));
      if (!t.isEmpty()) anyHeading = true;
      maxLines = std::max(maxLines, static_cast<int>(t.count('\n')) + 1);
    }
    if (!anyHeading) return;
    double hh = baseFm.height() * maxLines + 4;
    double x = 0;
    QFont bf = base;
    bf.setBold(true);
    p.setFont(onPage(bf));
    for (int c : cols) {
      QRectF cell(x, y, columnWidth(c), hh);
      p.setPen(gridPen);
      p.drawRect(cell);
      p.setPen(Qt::black);
      p.drawText(cell.adjusted(kCellMargin, 0, -kCellMargin, 0), Qt::AlignCenter, ShownText(s->ColText(c)));
      x += columnWidth(c);
    }
    y += hh;
  };

  drawHeader();
  for (int r = r1; r <= r2; ++r) {
    double h = r <= rows_ ? rowHeight(r) : lineH;
    if (y + h > pageHeight && y > 0) {
      printer.newPage();
      ++pageNo;
      drawHeader();
    }
    double x = 0;
    for (int c : cols) {
      double w = columnWidth(c);
      QRectF cell(x, y, w, h);
      p.setPen(gridPen);
      p.drawRect(cell);
      CellFont cf = s->FontRC(r, c);
      QString text = displayText(r, c);
      QRectF inner = cell.adjusted(kCellMargin, 1, -kCellMargin, -1);
      if (int id = s->CheckBoxAt(r, c)) {
        double side = std::min(h - 4, static_cast<double>(baseFm.height()) - 2);
        QRectF box(text.isEmpty() ? cell.center().x() - side / 2 : inner.left(), cell.center().y() - side / 2, side, side);
        p.setPen(QPen(Qt::black, 0));
        p.drawRect(box);
        if (s->ObjValue(id)) {
          p.drawLine(box.topLeft() + QPointF(side * 0.2, side * 0.5), box.topLeft() + QPointF(side * 0.45, side * 0.8));
          p.drawLine(box.topLeft() + QPointF(side * 0.45, side * 0.8), box.topLeft() + QPointF(side * 0.85, side * 0.2));
        }
        inner.setLeft(box.right() + kCellMargin);
      }
      if (!text.isEmpty()) {
        p.setFont(onPage(cf == CellFont{} ? base : FontFor(cf, base)));
        p.setPen(cf.color ? ColorFor(cf.color) : QColor(Qt::black));
        const auto* cs = Column(c);
        int flags = cs && cs->hasAlign ? static_cast<int>(cs->align)
                                       : static_cast<int>((s->IsNumber(r, c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        if (cs && cs->wrap) flags |= Qt::TextWordWrap;
        p.save();
        p.setClipRect(cell);
        p.drawText(inner, flags, text);
        p.restore();
      }
      x += w;
    }
    y += h;
  }
  return p.end();
}

}  // namespace qv::grid
