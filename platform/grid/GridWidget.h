#pragma once
// The grid widget: a dense spreadsheet-like view of one sheet of the workbook layer
// (Workbook.h). It reads the sheet directly; it keeps no copy of the cells.
//
// - What is shown: a Sheet given by pointer, or a sheet of a Workbook by number (0: the
//   workbook's active sheet), resolved afresh every time so that a workbook read from a file
//   or a switch of the active sheet is followed. Rows 1..MaxRow; columns 1..MaxCol when the
//   sheet sets it, else as many as are headed or used.
// - Updates: code writes the sheet as often as it likes (the engine writes the start-up
//   sheet hundreds of times per solve); the widget does no work per write. refresh() brings
//   the view up to date and costs two comparisons when nothing changed; the widget also
//   refreshes itself before it paints.
// - Signals come from the user only. Writing the sheet, refresh(), setActiveCell(),
//   setSelection() and setObjValue() emit nothing.
// - A user edit ends in endEdit(row, col, &text, &cancel) before anything is stored: the
//   handler may replace the text or cancel; then the text is stored, as a number when it is
//   a plain number and the column is numeric, else as text (an empty text empties the cell).
//   During endEdit the sheet's active cell is the edited cell.
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/grid/Workbook.h"

class QPrinter;
class QTableView;

namespace qv::ui {
struct PrintTarget;
}

namespace qv::grid {

class GridModel;
class GridView;
class GridDelegate;

class GridWidget : public QWidget {
  Q_OBJECT

 public:
  explicit GridWidget(QWidget* parent = nullptr);
  ~GridWidget() override;

  // ---- what is shown ----
  void setSheet(Sheet* sheet);  // not owned; nullptr shows nothing
  void setWorkbook(Workbook* book, int sheetNumber = 0);  // not owned; 0: its active sheet
  void setSheetNumber(int n);                             // with a workbook: the sheet shown
  int sheetNumber() const { return sheetNumber_; }
  Workbook* workbook() const { return book_; }
  Sheet* sheet() const;  // the sheet shown now (nullptr when none)
  // Brings the view up to date with the sheet: rows, columns, headings, cells, active cell
  // and selection. Cheap when the sheet did not change.
  void refresh();
  int rowCount() const;     // rows shown (the sheet's MaxRow)
  int columnCount() const;  // columns shown

  // ---- layout ----
  void setColumnWidth(int col, int px);
  int columnWidth(int col) const;
  void setColumnHidden(int col, bool hidden);
  void setRowHeight(int row, int px);
  int rowHeight(int row) const;
  // Fits the height of a row to its contents (wrapped text, several lines, fonts).
  void autoRowHeight(int row);
  // Height of the column heading row in pixels (0: fit the heading texts; a sheet's own
  // HeaderHeight, in twips, is used when this is 0 and the sheet sets one).
  void setHeaderHeight(int px);
  int headerHeight() const;
  void setColumnHeadersVisible(bool visible);
  void setRowHeadersVisible(bool visible);
  void setGridLinesVisible(bool visible);
  // A grid that only displays: nothing is selected and the current cell is drawn like every
  // other cell.
  void setDisplayOnly();
  // Alignment of a column's cells; without one, numbers align right and texts left.
  void setColumnAlignment(int col, Qt::Alignment a);
  void setColumnWordWrap(int col, bool wrap);
  // How a column shows its number cells (the sheet keeps the number), e.g.
  // [](double v) { return Format(v, "$#,###.00;; "); }.
  using Formatter = std::function<std::string(double)>;
  void setColumnFormatter(int col, Formatter f);
  // The text a cell shows (formatted number, text with its line breaks as new lines).
  QString displayText(int row, int col) const;
  // Selecting whole rows (lists) instead of cell rectangles.
  void setSelectRows(bool rows);

  // ---- editing ----
  void setReadOnly(bool readOnly);
  bool isReadOnly() const { return readOnly_; }
  void setColumnReadOnly(int col, bool readOnly);
  void setRowReadOnly(int row, bool readOnly);
  // A further rule for which cells the user may edit (true: editable).
  void setEditableRule(std::function<bool(int row, int col)> rule) { editableRule_ = std::move(rule); }
  bool isCellEditable(int row, int col) const;
  // Numeric columns store a typed plain number as a number (default: every column).
  void setColumnNumeric(int col, bool numeric);
  // Opens the cell editor on a cell, as a double-click does; false when it is not editable.
  bool editCell(int row, int col);
  // Ends a user edit of a cell with this text: endEdit, then the store unless cancelled.
  // The editor calls it; tests may too. Returns true when the text was stored.
  bool commitEdit(int row, int col, const QString& text);

  // ---- check boxes ----
  void setObjValue(int id, int value);  // from code: no signal
  int objValue(int id) const;
  // What a click on the check box does: toggles it and emits objValueChanged.
  void toggleObj(int id);

  // ---- active cell and selection ----
  int activeRow() const;
  int activeCol() const;
  void setActiveCell(int row, int col);  // also scrolls it into view
  void showActiveCell();
  void setSelection(int r1, int c1, int r2, int c2);
  // The selection's text (Sheet::Clip) to the system clipboard.
  void copyToClipboard();

  // ---- printing ----
  // Prints rows r1..r2 and columns c1..c2 (-1: to the last) with their column headings and
  // the header text on every page. The header takes the grid's header codes: "&L", "&C",
  // "&R" start the left, centre and right sections, "&P" is the page number, "&&" an "&";
  // a text without section codes is centred. Wide ranges are scaled to the page width.
  // Returns false when the printer could not be started.
  bool print(QPrinter& printer, const QString& header = QString(), int r1 = 1, int c1 = 1, int r2 = -1,
             int c2 = -1);
  // A print area such as "A1:F11" as rows and columns; false when it is not one.
  static bool parsePrintArea(const QString& area, int& r1, int& c1, int& r2, int& c2);
  // A printer for a print target chosen through the prompt seam (printer name or PDF file).
  static std::unique_ptr<QPrinter> printerFor(const ui::PrintTarget& target);

  QTableView* view() const;

 signals:
  void click(int row, int col);
  void dblClick(int row, int col);
  void rightClick(int row, int col, const QPoint& globalPos);
  void rightDblClick(int row, int col, const QPoint& globalPos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int row, int col);
  // Key events before the grid acts on them: setting *key (or *ascii) to 0 swallows the key.
  // keyPress carries the character code (13 for Enter, 8 for Backspace, 27 for Escape).
  void keyDown(int* key, Qt::KeyboardModifiers modifiers);
  void keyPress(int* ascii);
  void keyUp(int key, Qt::KeyboardModifiers modifiers);
  void endEdit(int row, int col, QString* text, bool* cancel);
  void objValueChanged(int id);
  void activeCellChanged(int row, int col);
  void selectionChanged();
  void gotFocus();

 private:
  friend class GridModel;
  friend class GridView;
  friend class GridDelegate;

  struct ColumnSettings {
    int width = -1;
    bool hidden = false;
    bool readOnly = false;
    bool numeric = true;
    bool wrap = false;
    Qt::Alignment align;
    bool hasAlign = false;
    Formatter formatter;
  };
  const ColumnSettings* Column(int col) const;
  ColumnSettings& ColumnRef(int col);
  void Sync(bool force);
  void ApplyColumnLayout();
  void ApplyHeaderHeight();
  void ApplyActiveAndSelection();
  void OnCurrentChanged();
  void OnSelectionChanged();
  void DispatchKeyPress(QKeyEvent* e, bool fromEditor);
  void ScheduleRefresh();

  GridModel* model_ = nullptr;
  GridView* view_ = nullptr;
  GridDelegate* delegate_ = nullptr;

  Sheet* sheet_ = nullptr;
  Workbook* book_ = nullptr;
  int sheetNumber_ = 0;

  // What the view shows now.
  const Sheet* shownSheet_ = nullptr;
  uint64_t shownRevision_ = 0;
  int rows_ = 0;
  int cols_ = 0;
  int shownActiveRow_ = 0, shownActiveCol_ = 0;
  int shownSel_[4] = {0, 0, 0, 0};

  std::map<int, ColumnSettings> columns_;
  std::map<int, bool> readOnlyRows_;
  std::function<bool(int, int)> editableRule_;
  bool readOnly_ = false;
  int headerHeight_ = 0;
  bool programmatic_ = false;  // view changes made by code: no signals
  bool committing_ = false;
  bool refreshQueued_ = false;
};

}  // namespace qv::grid
