#include "editor/ControlDialogs.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "editor/Formats.h"
#include "editor/TextControl.h"
#include "platform/ui/Prompt.h"

namespace qv::editor {

namespace {
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}
}  // namespace

// ---- character -------------------------------------------------------------------------------

void FontDialog(TextControl& tx) {
  const QTextCharFormat f = tx.textCursor().charFormat();
  const QFont font = f.font();
  ui::FontChoice initial;
  initial.family = font.family().toStdString();
  initial.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 12;
  initial.bold = font.bold();
  initial.italic = font.italic();
  initial.underline = font.underline();
  initial.strikeOut = font.strikeOut();
  const std::optional<ui::FontChoice> chosen = ui::GetPrompt().FontDialog(initial);
  if (!chosen || *chosen == initial) return;
  QTextCharFormat out;
  out.setFontFamilies({QString::fromStdString(chosen->family)});
  if (chosen->pointSize > 0) out.setFontPointSize(chosen->pointSize);
  out.setFontWeight(chosen->bold ? QFont::Bold : QFont::Normal);
  out.setFontItalic(chosen->italic);
  out.setFontUnderline(chosen->underline);
  out.setFontStrikeOut(chosen->strikeOut);
  tx.MergeCharFormat(out);
}

// ---- search and replace ------------------------------------------------------------------------

FindReplaceDlg::FindReplaceDlg(TextControl& tx, bool replace, QWidget* parent) : ui::QvDialog(parent), tx_(tx) {
  setObjectName(replace ? QStringLiteral("Replace") : QStringLiteral("Search"));
  setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Search"));
  auto* form = new QFormLayout;
  txtFind = new QLineEdit(this);
  txtFind->setObjectName("txtFind");
  txtReplace = new QLineEdit(this);
  txtReplace->setObjectName("txtReplace");
  form->addRow(QStringLiteral("&Find what:"), txtFind);
  if (replace) form->addRow(QStringLiteral("Re&place with:"), txtReplace);
  txtReplace->setVisible(replace);
  chkMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
  chkWholeWord = new QCheckBox(QStringLiteral("&Whole words only"), this);
  lblResult = new QLabel(this);
  lblResult->setObjectName("lblResult");
  cmdFindNext = new QPushButton(QStringLiteral("Find &Next"), this);
  cmdReplace = new QPushButton(QStringLiteral("&Replace"), this);
  cmdReplaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
  cmdClose = new QPushButton(QStringLiteral("Close"), this);
  cmdReplace->setVisible(replace);
  cmdReplaceAll->setVisible(replace);
  auto* col = new QVBoxLayout(this);
  col->addLayout(form);
  col->addWidget(chkMatchCase);
  col->addWidget(chkWholeWord);
  col->addWidget(lblResult);
  col->addLayout(ButtonRow({cmdFindNext, cmdReplace, cmdReplaceAll, cmdClose}));
  connect(cmdFindNext, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(cmdReplace, &QPushButton::clicked, this, [this] { Replace(); });
  connect(cmdReplaceAll, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  // The selection is the first thing looked for.
  const QString selected = tx_.textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) txtFind->setText(selected);
}

int FindReplaceDlg::Flags() const {
  int f = 0;
  if (chkMatchCase->isChecked()) f |= QTextDocument::FindCaseSensitively;
  if (chkWholeWord->isChecked()) f |= QTextDocument::FindWholeWords;
  return f;
}

bool FindReplaceDlg::FindNext() {
  const QString what = txtFind->text();
  if (what.isEmpty()) return false;
  QTextDocument* doc = tx_.document();
  const auto flags = QTextDocument::FindFlags(Flags());
  QTextCursor found = doc->find(what, tx_.textCursor(), flags);
  if (found.isNull()) found = doc->find(what, 0, flags);  // round from the top
  if (found.isNull()) {
    lblResult->setText(QStringLiteral("Not found."));
    return false;
  }
  lblResult->clear();
  tx_.setTextCursor(found);
  return true;
}

void FindReplaceDlg::Replace() {
  QTextCursor c = tx_.textCursor();
  const Qt::CaseSensitivity cs = chkMatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (c.hasSelection() && c.selectedText().compare(txtFind->text(), cs) == 0) {
    TextControl::KindScope scope(tx_, TextControl::EditKind::Input);
    c.insertText(txtReplace->text());
    tx_.setTextCursor(c);
  }
  FindNext();
}

int FindReplaceDlg::ReplaceAll() {
  const QString what = txtFind->text();
  if (what.isEmpty()) return 0;
  QTextDocument* doc = tx_.document();
  const auto flags = QTextDocument::FindFlags(Flags());
  int n = 0;
  TextControl::KindScope scope(tx_, TextControl::EditKind::Input);
  QTextCursor edit(doc);
  edit.beginEditBlock();
  QTextCursor found = doc->find(what, 0, flags);
  while (!found.isNull()) {
    found.insertText(txtReplace->text());
    ++n;
    found = doc->find(what, found, flags);
  }
  edit.endEditBlock();
  lblResult->setText(QStringLiteral("%1 replaced.").arg(n));
  return n;
}

// ---- paragraph -------------------------------------------------------------------------------------

ParagraphDlg::ParagraphDlg(TextControl& tx, int measureUnit, QWidget* parent)
    : ui::QvDialog(parent), tx_(tx), unit_(measureUnit) {
  setObjectName(QStringLiteral("Paragraph"));
  setWindowTitle(QStringLiteral("Paragraph"));
  const QTextBlockFormat f = tx.textCursor().blockFormat();
  cboAlignment = new QComboBox(this);
  cboAlignment->addItems({"Left", "Centred", "Right", "Justified"});
  const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
  cboAlignment->setCurrentIndex(a == Qt::AlignHCenter ? 1 : a.testFlag(Qt::AlignRight) ? 2 : a == Qt::AlignJustify ? 3 : 0);
  auto box = [&](const char* name, double px) {
    auto* e = new QLineEdit(QString::fromStdString(Twips2DlgString(float(PixelsToTwips(px)), unit_)), this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  txtLeft = box("txtLeft", f.leftMargin());
  txtRight = box("txtRight", f.rightMargin());
  txtFirstLine = box("txtFirstLine", f.textIndent());
  txtBefore = box("txtBefore", f.topMargin());
  txtAfter = box("txtAfter", f.bottomMargin());
  const QString unit = QString::fromStdString(UnitLabel(unit_));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Alignment:"), cboAlignment);
  form->addRow(QStringLiteral("&Left indent (%1):").arg(unit), txtLeft);
  form->addRow(QStringLiteral("&Right indent (%1):").arg(unit), txtRight);
  form->addRow(QStringLiteral("&First line (%1):").arg(unit), txtFirstLine);
  form->addRow(QStringLiteral("Space &before (%1):").arg(unit), txtBefore);
  form->addRow(QStringLiteral("Space af&ter (%1):").arg(unit), txtAfter);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* col = new QVBoxLayout(this);
  col->addLayout(form);
  col->addLayout(ButtonRow({cmdOK, cmdCancel}));
  connect(cmdOK, &QPushButton::clicked, this, &ParagraphDlg::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ParagraphDlg::cmdOK_Click() {
  auto px = [&](QLineEdit* e) { return TwipsToPixels(DlgString2Twips(e->text().toStdString(), unit_)); };
  QTextBlockFormat f;
  const Qt::Alignment aligns[] = {Qt::AlignLeft | Qt::AlignAbsolute, Qt::AlignHCenter, Qt::AlignRight | Qt::AlignAbsolute,
                                  Qt::AlignJustify};
  f.setAlignment(aligns[std::max(0, cboAlignment->currentIndex())]);
  f.setLeftMargin(std::max(0.0, px(txtLeft)));
  f.setRightMargin(std::max(0.0, px(txtRight)));
  f.setTextIndent(px(txtFirstLine));
  f.setTopMargin(std::max(0.0, px(txtBefore)));
  f.setBottomMargin(std::max(0.0, px(txtAfter)));
  tx_.MergeBlockFormat(f);
  accept();
}

// ---- table attributes ----------------------------------------------------------------------------

TableAttrDlg::TableAttrDlg(TextControl& tx, QWidget* parent) : ui::QvDialog(parent), tx_(tx) {
  setObjectName(QStringLiteral("TableAttributes"));
  setWindowTitle(QStringLiteral("Table"));
  QTextTable* table = tx.textCursor().currentTable();
  spnBorder = new QSpinBox(this);
  spnBorder->setRange(0, 6);
  spnPadding = new QSpinBox(this);
  spnPadding->setRange(0, 20);
  if (table) {
    spnBorder->setValue(int(std::lround(table->format().border() * 0.75)));
    spnPadding->setValue(int(std::lround(table->format().cellPadding() * 0.75)));
  }
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Border width (pt):"), spnBorder);
  form->addRow(QStringLiteral("Cell &padding (pt):"), spnPadding);
  cmdInsertRow = new QPushButton(QStringLiteral("Insert &Row"), this);
  cmdInsertColumn = new QPushButton(QStringLiteral("Insert &Column"), this);
  cmdDeleteRow = new QPushButton(QStringLiteral("&Delete Row"), this);
  cmdDeleteColumn = new QPushButton(QStringLiteral("D&elete Column"), this);
  auto* grid = new QGridLayout;
  grid->addWidget(cmdInsertRow, 0, 0);
  grid->addWidget(cmdInsertColumn, 0, 1);
  grid->addWidget(cmdDeleteRow, 1, 0);
  grid->addWidget(cmdDeleteColumn, 1, 1);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  auto* col = new QVBoxLayout(this);
  col->addLayout(form);
  col->addLayout(grid);
  col->addLayout(ButtonRow({cmdOK, cmdCancel}));
  connect(cmdInsertRow, &QPushButton::clicked, this, &TableAttrDlg::InsertRow);
  connect(cmdInsertColumn, &QPushButton::clicked, this, &TableAttrDlg::InsertColumn);
  connect(cmdDeleteRow, &QPushButton::clicked, this, &TableAttrDlg::DeleteRow);
  connect(cmdDeleteColumn, &QPushButton::clicked, this, &TableAttrDlg::DeleteColumn);
  connect(cmdOK, &QPushButton::clicked, this, &TableAttrDlg::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TableAttrDlg::cmdOK_Click() {
  if (QTextTable* table = tx_.textCursor().currentTable()) {
    TextControl::KindScope scope(tx_, TextControl::EditKind::Formatting);
    QTextTableFormat f = table->format();
    f.setBorder(spnBorder->value() / 0.75);
    f.setBorderStyle(spnBorder->value() > 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    f.setCellPadding(spnPadding->value() / 0.75);
    table->setFormat(f);
  }
  accept();
}

void TableAttrDlg::InsertRow() {
  QTextTable* table = tx_.textCursor().currentTable();
  if (!table) return;
  TextControl::KindScope scope(tx_, TextControl::EditKind::Input);
  table->insertRows(table->cellAt(tx_.textCursor()).row() + 1, 1);
}

void TableAttrDlg::InsertColumn() {
  QTextTable* table = tx_.textCursor().currentTable();
  if (!table || table->columns() >= 63) return;
  TextControl::KindScope scope(tx_, TextControl::EditKind::Input);
  table->insertColumns(table->cellAt(tx_.textCursor()).column() + 1, 1);
}

void TableAttrDlg::DeleteRow() {
  QTextTable* table = tx_.textCursor().currentTable();
  if (!table || table->rows() <= 1) return;
  TextControl::KindScope scope(tx_, TextControl::EditKind::Deletion);
  const QTextTableCell cell = table->cellAt(tx_.textCursor());
  table->removeRows(cell.row(), 1);
  // The caret stays in the table, in the row that took the removed one's place.
  tx_.setTextCursor(table->cellAt(std::min(cell.row(), table->rows() - 1), cell.column()).firstCursorPosition());
}

void TableAttrDlg::DeleteColumn() {
  QTextTable* table = tx_.textCursor().currentTable();
  if (!table || table->columns() <= 1) return;
  TextControl::KindScope scope(tx_, TextControl::EditKind::Deletion);
  const QTextTableCell cell = table->cellAt(tx_.textCursor());
  table->removeColumns(cell.column(), 1);
  tx_.setTextCursor(table->cellAt(cell.row(), std::min(cell.column(), table->columns() - 1)).firstCursorPosition());
}

}  // namespace qv::editor
