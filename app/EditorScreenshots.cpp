#include "app/EditorScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QBuffer>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

#include <cstdio>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"
#include "editor/Formats.h"
#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "editor/frmMDIParent.h"

namespace {

using namespace qv::editor;

bool Grab(QWidget& w, const QString& folder, const QString& name) {
  w.show();
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(name + ".png");
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// A short lease report: a heading, framed terms, a table of figures and a small picture.
void WriteReport(TextControl& tx) {
  QTextCursor c(tx.document());
  QTextBlockFormat centre;
  centre.setAlignment(Qt::AlignHCenter);
  QTextCharFormat heading;
  heading.setFontPointSize(18);
  heading.setFontWeight(QFont::Bold);
  c.setBlockFormat(centre);
  c.insertText("Lease Proposal", heading);
  QTextCharFormat plain;
  plain.setFontPointSize(12);
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  c.insertBlock(left, plain);
  c.insertText("Prepared for ", plain);
  QTextCharFormat italic = plain;
  italic.setFontItalic(true);
  c.insertText("Pat Customer", italic);
  c.insertText(", 1999 Sample Sedan 4-Door.", plain);
  QTextBlockFormat framed = left;
  framed.setTopMargin(8);
  framed.setBottomMargin(8);
  framed.setLeftMargin(12);
  framed.setRightMargin(12);
  ParagraphFrame frame;
  frame.left = frame.right = frame.top = frame.bottom = true;
  frame.lineWidth = 20;
  frame.distance = 60;
  SetParagraphFrame(framed, frame);
  c.insertBlock(framed, plain);
  c.insertText("36 monthly payments of $389.42 with $1,500.00 due at signing. 12,000 miles a year are included.", plain);
  c.insertBlock(left, plain);
  QTextTableFormat tf;
  tf.setBorder(1);
  tf.setBorderCollapse(true);
  tf.setCellPadding(3);
  tf.setCellSpacing(0);
  tf.setWidth(QTextLength(QTextLength::PercentageLength, 80));
  QTextTable* table = c.insertTable(4, 2, tf);
  const char* cells[4][2] = {{"Item", "Amount"}, {"Selling price", "$24,150.00"}, {"Cap reduction", "$1,000.00"},
                             {"Residual", "$13,980.00"}};
  for (int r = 0; r < 4; ++r) {
    for (int col = 0; col < 2; ++col) {
      QTextCursor cell = table->cellAt(r, col).firstCursorPosition();
      QTextCharFormat f = plain;
      if (r == 0) f.setFontWeight(QFont::Bold);
      cell.insertText(cells[r][col], f);
    }
  }
  c.movePosition(QTextCursor::End);
  c.insertBlock(left, plain);
  QImage logo(96, 48, QImage::Format_RGB32);
  logo.fill(QColor(0x30, 0x60, 0xA0));
  {
    QPainter p(&logo);
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 14, QFont::Bold));
    p.drawText(logo.rect(), Qt::AlignCenter, "QV");
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  logo.save(&buffer, "PNG");
  InsertPictureAt(png.toStdString(), c);
  c.insertText("  Thank you for your business.", plain);
  tx.setTextCursor(QTextCursor(tx.document()));
}

// The frame at the size it opens with: after two File > New (each new window inside the
// area, its caption showing), then after Window > Cascade with the three documents.
bool SaveEditorArrangements(const QString& folder) {
  ReportEditor editor(EditorOptions{1});
  frmMDIParent& frame = editor.ShowEditor();
  QApplication::processEvents();
  const char* notes[] = {"", "First document: the lease proposal.", "Second document: notes for the finance desk.",
                         "Third document: the trade-in appraisal."};
  QTextCursor(editor.Documents[1]->TXTextControl1->document()).insertText(notes[1]);
  for (int k = 2; k <= 3; ++k) {
    editor.ActiveDocument()->mnuFile_New_Click();
    QApplication::processEvents();
    QTextCursor(editor.ActiveText()->document()).insertText(notes[k]);
  }
  bool ok = Grab(frame, folder, "Editor-10-TwoNew");
  editor.ActiveDocument()->mnuWindow_Cascade_Click();
  ok = Grab(frame, folder, "Editor-11-Cascade") && ok;
  frame.MDIForm_Unload();
  return ok;
}

}  // namespace

bool SaveEditorWindows(const QString& folder) {
  bool ok = true;
  ReportEditor editor(EditorOptions{1});
  frmMDIParent& frame = editor.ShowEditor();
  frame.resize(1280, 800);
  WriteReport(*editor.Documents[1]->TXTextControl1);
  frmMDIChild* second = editor.NewDocument();
  QTextCursor c(second->TXTextControl1->document());
  c.insertText("A second document: notes for the finance desk.");
  frame.Arrange(1);  // one above the other
  frame.MdiArea()->setActiveSubWindow(editor.Documents[1]->SubWindow());
  frame.DocumentActivated(editor.Documents[1]);
  ok = Grab(frame, folder, "Editor-1-Frame") && ok;

  TextControl& tx = *editor.Documents[1]->TXTextControl1;
  {
    PrintPreview preview(tx, &frame);
    ok = Grab(preview, folder, "Editor-2-PrintPreview") && ok;
    preview.done(0);
  }
  editor.PageSettings = tx.Page();
  {
    frmPageDlg dlg(editor, &frame);
    ok = Grab(dlg, folder, "Editor-3-PageSetup") && ok;
  }
  editor.DialogTarget = &tx;
  tx.SetSelection(tx.document()->findBlockByNumber(2).position(), 0);
  {
    frmFramesDlg dlg(editor, &frame);
    ok = Grab(dlg, folder, "Editor-4-ParagraphFrames") && ok;
  }
  {
    frmTableDlg dlg(editor, &frame);
    ok = Grab(dlg, folder, "Editor-5-Table") && ok;
  }
  {
    frmImageDlg dlg(editor, &frame);
    ok = Grab(dlg, folder, "Editor-6-Image") && ok;
  }
  {
    ParagraphDlg dlg(tx, editor.MeasureUnit, &frame);
    ok = Grab(dlg, folder, "Editor-7-Paragraph") && ok;
  }
  {
    FindReplaceDlg dlg(tx, true, &frame);
    ok = Grab(dlg, folder, "Editor-8-Replace") && ok;
  }
  {
    frmAboutDlg dlg(&frame);
    ok = Grab(dlg, folder, "Editor-9-About") && ok;
  }
  frame.MDIForm_Unload();
  ok = SaveEditorArrangements(folder) && ok;
  return ok;
}
