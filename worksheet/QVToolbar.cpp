// The toolbar in its rebar band, its buttons, and the page management they own: erase the
// worksheet, add a blank page, copy the current page to a new last page, delete the
// current page. Each page operation works on the five sheets of the worksheet workbook,
// keeps the page count, the current page and the page selector in step, and ends with the
// page loaded and recalculated.
#include <QAction>
#include <QComboBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>

#include "dialogs/Notes.h"
#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"
#include "worksheet/CRebar.h"
#include "worksheet/QV.h"

namespace qv {

namespace {

constexpr int kMaxPages = 32767;
constexpr const char* kTooManyPages = "The worksheet already holds 32767 pages, the most it can hold.";

// The toolbar pictures, drawn for this program: a page, a folder, a disk, a printer, a note.
void DrawPage(QPainter& p, const QRectF& r) {
  QPainterPath path;
  const qreal fold = r.width() * 0.3;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(QColor(70, 80, 95), r.width() * 0.07));
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void DrawLines(QPainter& p, const QRectF& r, int n) {
  p.setPen(QPen(QColor(140, 150, 165), r.height() * 0.05));
  for (int i = 0; i < n; ++i) {
    const qreal y = r.top() + r.height() * (0.35 + 0.15 * i);
    p.drawLine(QPointF(r.left() + r.width() * 0.2, y), QPointF(r.right() - r.width() * 0.2, y));
  }
}

void DrawBadge(QPainter& p, const QPointF& c, qreal size, const QColor& color, char mark) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawEllipse(c, size, size);
  p.setPen(QPen(Qt::white, size * 0.45, Qt::SolidLine, Qt::RoundCap));
  const qreal a = size * 0.5;
  if (mark == '+' || mark == '-') p.drawLine(QPointF(c.x() - a, c.y()), QPointF(c.x() + a, c.y()));
  if (mark == '+') p.drawLine(QPointF(c.x(), c.y() - a), QPointF(c.x(), c.y() + a));
  if (mark == 'x') {
    p.drawLine(QPointF(c.x() - a, c.y() - a), QPointF(c.x() + a, c.y() + a));
    p.drawLine(QPointF(c.x() - a, c.y() + a), QPointF(c.x() + a, c.y() - a));
  }
}

QPixmap Picture(int index, int s) {
  QPixmap pm(s, s);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal u = s / 20.0;
  const QRectF page(3 * u, 1.5 * u, 12 * u, 16 * u);
  switch (index) {
    case 1:  // erase the worksheet: a page crossed out
      DrawPage(p, page);
      DrawLines(p, page, 4);
      DrawBadge(p, QPointF(14.5 * u, 14.5 * u), 4.5 * u, QColor(200, 40, 40), 'x');
      break;
    case 2: {  // open: a folder
      p.setPen(QPen(QColor(150, 110, 20), 1.2 * u));
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(QRectF(1.5 * u, 4.5 * u, 15 * u, 12 * u));
      p.setBrush(QColor(250, 220, 110));
      QPainterPath flap;
      flap.moveTo(4 * u, 8 * u);
      flap.lineTo(19 * u, 8 * u);
      flap.lineTo(16.5 * u, 16.5 * u);
      flap.lineTo(1.5 * u, 16.5 * u);
      flap.closeSubpath();
      p.drawPath(flap);
      break;
    }
    case 3:  // save: a disk
      p.setPen(QPen(QColor(30, 50, 100), 1.2 * u));
      p.setBrush(QColor(60, 100, 180));
      p.drawRoundedRect(QRectF(2 * u, 2 * u, 16 * u, 16 * u), 1.5 * u, 1.5 * u);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5 * u, 2 * u, 10 * u, 6 * u));
      p.setBrush(QColor(200, 205, 215));
      p.drawRect(QRectF(5 * u, 11 * u, 10 * u, 7 * u));
      break;
    case 4:  // report: a printer with its sheet
      p.setPen(QPen(QColor(60, 60, 70), 1.1 * u));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5 * u, 1.5 * u, 10 * u, 7 * u));
      p.setBrush(QColor(150, 155, 165));
      p.drawRoundedRect(QRectF(1.5 * u, 7 * u, 17 * u, 8 * u), 1.5 * u, 1.5 * u);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5 * u, 12 * u, 10 * u, 6.5 * u));
      break;
    case 5:  // notes: a note with lines
      p.setPen(QPen(QColor(150, 120, 30), 1.1 * u));
      p.setBrush(QColor(255, 235, 120));
      p.drawRect(QRectF(2.5 * u, 2.5 * u, 15 * u, 15 * u));
      DrawLines(p, QRectF(2.5 * u, 0.5 * u, 15 * u, 16 * u), 4);
      break;
    case 7:  // add a blank page
      DrawPage(p, page);
      DrawBadge(p, QPointF(14.5 * u, 14.5 * u), 4.5 * u, QColor(40, 150, 60), '+');
      break;
    case 8:  // copy the page: two pages
      DrawPage(p, QRectF(1.5 * u, 1 * u, 11 * u, 14 * u));
      DrawPage(p, QRectF(7 * u, 5 * u, 11 * u, 14 * u));
      DrawLines(p, QRectF(7 * u, 5 * u, 11 * u, 14 * u), 4);
      break;
    case 9:  // delete the page
      DrawPage(p, page);
      DrawLines(p, page, 4);
      DrawBadge(p, QPointF(14.5 * u, 14.5 * u), 4.5 * u, QColor(200, 40, 40), '-');
      break;
    default:
      break;
  }
  return pm;
}

QIcon ToolbarIcon(int index) {
  QIcon icon;
  icon.addPixmap(Picture(index, 20));
  icon.addPixmap(Picture(index, 40));
  return icon;
}

// Copies the cells c1..c2 of a row to another row (and sheet), starting at column toC1.
void CopyCells(const grid::Sheet& from, int fromRow, int c1, int c2, grid::Sheet& to, int toRow, int toC1) {
  for (int c = c1; c <= c2; ++c) {
    const grid::Cell* cell = from.CellAt(fromRow, c);
    to.SetCell(toRow, toC1 + (c - c1), cell ? *cell : grid::Cell{});
  }
}

bool Confirm(const std::string& text, ui::Icon icon = ui::Icon::None) {
  return ui::GetPrompt().MsgBox(text, ui::Buttons::OKCancel, icon, std::string("")) == ui::Answer::OK;
}

}  // namespace

void QV::ConnectToolbar() {
  // The notes window, while it is open, follows every recalculation.
  NotesRefresh = [this] {
    if (Notes* n = windows_.IfLoaded<Notes>()) n->ShowMemo();
  };
  for (int i = 1; i < static_cast<int>(ToolbarButtons.size()); ++i) {
    QAction* a = ToolbarButtons[i];
    if (!a || i == 6) continue;
    a->setIcon(ToolbarIcon(i));
    connect(a, &QAction::triggered, this, [this, i] { Toolbar_ButtonClick(i); });
    // The report button is made ready by whoever sets ToolbarReportCommand.
    if (i != 4) MarkReady(a);
  }
}

void QV::BuildToolbar() {
  if (!Rebar) Rebar = new CRebar(this);
  if (Rebar->BandCount() == 0) {
    Rebar->TBMakeFlat(Toolbar, 0);
    Rebar->SetParent(this);
    if (Rebar->Create()) Rebar->AddBands("", 1, Toolbar, 0, 10);
  }
  Toolbar->show();
}

bool QV::NewPage() {
  if (eng.PageCount >= kMaxPages) {
    ui::GetPrompt().MsgBox(kTooManyPages, ui::Buttons::OK, ui::Icon::Exclamation);
    return false;
  }
  eng.SavePageFields();
  eng.SavePageItems();
  ++eng.PageCount;
  eng.CurrentPage = eng.PageCount;
  // The new last row of each page sheet is empty; the options sheet is not touched.
  for (int s : {1, 3, 4, 5}) {
    eng.WKS.SetSheet(s);
    eng.WKS.SetMaxRow(eng.CurrentPage);
  }
  eng.LoadPageFields();
  eng.ApplyDefaultRates();
  eng.OptionCount = 0;
  eng.LoadPageItems();
  eng.ShowPageOptions();
  eng.RecalcPage();
  RefillPageSelector();
  eng.WorksheetModified = -1;
  return true;
}

void QV::Toolbar_ButtonClick(int Index) {
  // Toolbar buttons take no focus: the field being edited is committed before the command
  // runs. This happens here, once the click is complete, and not when the button is pressed:
  // a question the commit asks would take the button's release, and the command was lost.
  CommitFieldEdit();
  switch (Index) {
    case 1: {
      // Unsaved pages are offered for saving first, as File > New Worksheet does.
      if (!SaveBeforeLoading()) return;
      if (!Confirm("All Worksheet pages will be erased. Continue?", ui::Icon::Exclamation)) return;
      // The modified flag stays as it was.
      EraseWorksheet();
      return;
    }
    case 2:
      mnuOpenSave_click(0);
      return;
    case 3:
      mnuOpenSave_click(1);
      return;
    case 4:
      // The report of the selected view goes to the report editor and is printed there.
      if (!ToolbarReportCommand) return;
      LastReportPath.clear();
      ToolbarReportCommand(static_cast<int16_t>(SelectedTab() - 1));
      PrintDocument();
      return;
    case 5: {
      Notes& n = windows_.Get<Notes>();
      n.show();
      n.setWindowState(Qt::WindowNoState);
      n.raise();
      n.activateWindow();
      return;
    }
    case 7:
      if (!Confirm("Add a new page to the Worksheet?")) return;
      NewPage();
      return;
    case 8: {
      const int16_t c = eng.CurrentPage;
      if (!Confirm("Copy the contents of Page" + StrNum(c) + " to a new page?")) return;
      if (eng.PageCount >= kMaxPages) {
        ui::GetPrompt().MsgBox(kTooManyPages, ui::Buttons::OK, ui::Icon::Exclamation);
        return;
      }
      eng.SavePageFields();
      eng.SavePageItems();
      const std::string kept = eng.page.CarName;
      grid::Workbook& wks = eng.WKS;

      wks.SetSheet(1);
      ++eng.PageCount;
      wks.SetMaxRow(eng.PageCount);
      CopyCells(wks.SheetAt(1), c, 1, 50, wks.SheetAt(1), eng.PageCount, 1);

      // The page's options, as the option grid shows them, tagged with the new page.
      wks.SetSheet(2);
      grid::Sheet& options = wks.SheetAt(2);
      const int rows = eng.OptionList.MaxRow();
      for (int r = 1; r <= rows; ++r) {
        const int row = options.MaxRow() + 1;
        options.SetMaxRow(row);
        options.SetNumberRC(row, 1, eng.PageCount);
        CopyCells(eng.OptionList, r, 1, 3, options, row, 2);
      }

      for (int s : {3, 4, 5}) {
        wks.SetSheet(s);
        wks.SetMaxRow(eng.PageCount);
        CopyCells(wks.SheetAt(s), c, 1, s == 5 ? 6 : 22, wks.SheetAt(s), eng.PageCount, 1);
      }

      eng.CurrentPage = eng.PageCount;
      eng.LoadPageFields();
      eng.LoadPageItems();
      eng.ShowPageOptions();
      eng.RecalcPage();
      // The new description reaches sheet "Worksht" at the next store of the page.
      eng.page.CarName = "*Copy* " + kept;
      RefillPageSelector();
      eng.WorksheetModified = -1;
      return;
    }
    case 9: {
      const int16_t c = eng.CurrentPage;
      if (!Confirm("Delete Page" + StrNum(c) + " From the Worksheet?")) return;
      grid::Workbook& wks = eng.WKS;

      // The deleted page's option rows go; the rows of later pages follow their page.
      wks.SetSheet(2);
      const int n = wks.MaxRow();
      int deleted = 0;
      for (int r = 1; r + deleted <= n;) {
        const double v = wks.NumberRC(r, 1);
        if (v == c) {
          wks.DeleteRange(r, -1, r, -1, 3);
          ++deleted;
          continue;  // the next row moved up into row r
        }
        if (v > c) wks.SetNumberRC(r, 1, v - 1);
        ++r;
      }
      wks.SetMaxRow(n - deleted < 1 ? 1 : n - deleted);

      wks.SetSheet(1);
      if (eng.PageCount == 1) {
        // The only page: one empty page 1 under the same file name.
        eng.CurrentPage = 1;
        for (int s : {1, 3, 4, 5}) {
          wks.SetSheet(s);
          wks.DeleteRange(1, -1, 1, -1, 3);
          wks.SetMaxRow(1);
        }
        ui::BusyCursor busy;
        eng.LoadPageFields();
        eng.LoadPageItems();
        eng.ShowPageOptions();
        eng.RecalcPage();
        SetWorksheetCaption(eng.WorksheetFileName);
      } else {
        --eng.PageCount;
        for (int s : {1, 3, 4, 5}) {
          wks.SetSheet(s);
          wks.DeleteRange(c, -1, c, -1, 3);
          wks.SetMaxRow(eng.PageCount);
        }
        // Deleting the last page shows the new last page; any other shows the page that
        // moved into its place.
        if (eng.CurrentPage > eng.PageCount) eng.CurrentPage = eng.PageCount;
        eng.LoadPageFields();
        eng.LoadPageItems();
        eng.ShowPageOptions();
        eng.RecalcPage();
      }
      RefillPageSelector();
      eng.WorksheetModified = -1;
      return;
    }
    default:
      return;
  }
}

}  // namespace qv
