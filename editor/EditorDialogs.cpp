#include "editor/EditorDialogs.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "engine/Runtime.h"

namespace qv::editor {

namespace {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

// The dark-red line under a dialog's boxes that says why OK is disabled.
QLabel* ProblemLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName("lblProblem");
  label->setWordWrap(true);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, QColor(0xA0, 0, 0));
  label->setPalette(pal);
  return label;
}

QPushButton* DialogButton(QWidget* parent, const char* caption, const char* name) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

// A length box wide enough for any value a page can have ("1234.56").
QLineEdit* LengthBox(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00000.000")) + 12);
  e->setAlignment(Qt::AlignRight);
  return e;
}

}  // namespace

// ---- page setup ------------------------------------------------------------------------------

const std::array<PaperSize, 6> kPaperSizes = {{
    {"A4", 11906, 16837},
    {"A5", 8418, 11906},
    {"B5", 9978, 14174},
    {"Letter", 12240, 15840},
    {"Legal", 12240, 20160},
    {"User Defined", 0, 0},
}};

int MatchPaper(double widthTwips, double heightTwips) {
  for (int k = 0; k < 5; ++k) {
    if (std::abs(heightTwips - kPaperSizes[size_t(k)].height) < 5 && std::abs(widthTwips - kPaperSizes[size_t(k)].width) < 5) {
      return k;
    }
  }
  return 5;
}

frmPageDlg::frmPageDlg(ReportEditor& editor, QWidget* parent) : ui::QvDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("frmPageDlg"));
  setWindowTitle(QStringLiteral("Page Setup"));
  auto* paper = new QGroupBox(QStringLiteral("&Paper"), this);
  cboPaperSize = new QComboBox(paper);
  cboPaperSize->setObjectName("cboPaperSize");
  txtPaperWidth = LengthBox(paper, "txtPaperWidth");
  txtPaperHeight = LengthBox(paper, "txtPaperHeight");
  auto* margins = new QGroupBox(QStringLiteral("Page Margins"), this);
  txtLeftMargin = LengthBox(margins, "txtLeftMargin");
  txtTopMargin = LengthBox(margins, "txtTopMargin");
  txtRightMargin = LengthBox(margins, "txtRightMargin");
  txtBottomMargin = LengthBox(margins, "txtBottomMargin");
  for (auto& l : lblMeasurement) l = new QLabel(this);
  auto* pg = new QGridLayout(paper);
  pg->addWidget(cboPaperSize, 0, 0, 1, 3);
  pg->addWidget(new QLabel(QStringLiteral("&Width:"), paper), 1, 0);
  pg->addWidget(txtPaperWidth, 1, 1);
  pg->addWidget(lblMeasurement[4], 1, 2);
  pg->addWidget(new QLabel(QStringLiteral("&Height:"), paper), 2, 0);
  pg->addWidget(txtPaperHeight, 2, 1);
  pg->addWidget(lblMeasurement[5], 2, 2);
  qobject_cast<QLabel*>(pg->itemAtPosition(1, 0)->widget())->setBuddy(txtPaperWidth);
  qobject_cast<QLabel*>(pg->itemAtPosition(2, 0)->widget())->setBuddy(txtPaperHeight);
  auto* mg = new QGridLayout(margins);
  const std::pair<const char*, QLineEdit*> rows[] = {
      {"&Left:", txtLeftMargin}, {"&Top:", txtTopMargin}, {"&Right:", txtRightMargin}, {"&Bottom:", txtBottomMargin}};
  for (int k = 0; k < 4; ++k) {
    auto* l = new QLabel(QString::fromLatin1(rows[k].first), margins);
    l->setBuddy(rows[k].second);
    mg->addWidget(l, k, 0);
    mg->addWidget(rows[k].second, k, 1);
    mg->addWidget(lblMeasurement[size_t(k)], k, 2);
  }
  lblProblem = ProblemLabel(this);
  btnOK = DialogButton(this, "Ok", "btnOK");
  btnCancel = DialogButton(this, "Cancel", "btnCancel");
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(paper);
  boxes->addWidget(margins);
  auto* col = new QVBoxLayout(this);
  col->addLayout(boxes);
  col->addWidget(lblProblem);
  col->addLayout(ButtonRow({btnOK, btnCancel}));
  setMinimumWidth(460);

  for (QLineEdit* e : {txtLeftMargin, txtTopMargin, txtRightMargin, txtBottomMargin, txtPaperWidth, txtPaperHeight}) {
    connect(e, &QLineEdit::textChanged, this, &frmPageDlg::EntryChanged);
  }
  for (QLineEdit* e : {txtPaperWidth, txtPaperHeight}) {
    connect(e, &QLineEdit::editingFinished, this, [this] { MatchPaperSize(); });
  }
  connect(cboPaperSize, &QComboBox::activated, this, [this](int) { cboPaperSize_Click(); });
  connect(btnOK, &QPushButton::clicked, this, &frmPageDlg::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmPageDlg::btnCancel_Click);
  Form_Load();
}

void frmPageDlg::Form_Load() {
  const QString unit = QString::fromStdString(UnitLabel(editor_.MeasureUnit));
  for (QLabel* l : lblMeasurement) l->setText(unit);
  for (const PaperSize& p : kPaperSizes) cboPaperSize->addItem(QString::fromLatin1(p.name));
  cboPaperSize->setCurrentIndex(-1);
  const editor::PageSettings& s = editor_.PageSettings;
  auto put = [&](QLineEdit* e, int32_t v) { e->setText(QString::fromStdString(editor_.Twips2DlgString(float(v)))); };
  put(txtLeftMargin, s.PageMarginL);
  put(txtTopMargin, s.PageMarginT);
  put(txtRightMargin, s.PageMarginR);
  put(txtBottomMargin, s.PageMarginB);
  put(txtPaperWidth, s.PageWidth);
  put(txtPaperHeight, s.PageHeight);
  MatchPaperSize();
}

std::optional<double> frmPageDlg::EntryTwips(const QLineEdit* box) const {
  std::string text = box->text().toStdString();
  const size_t comma = text.find(',');
  if (comma != std::string::npos) text[comma] = '.';
  bool digit = false;
  for (char ch : text) digit = digit || std::isdigit(static_cast<unsigned char>(ch));
  if (!digit) return std::nullopt;
  const double perUnit = editor_.MeasureUnit == 2 ? 567.0 : 1440.0;
  return std::round(ParseDialogNumber(box->text().toStdString()) * perUnit);
}

bool frmPageDlg::ValidatePageEntries() {
  const QString unit = QString::fromStdString(UnitLabel(editor_.MeasureUnit));
  auto show = [&](double twips) { return editor_.Twips2DlgString(float(twips)) + " " + unit.toStdString(); };
  const std::pair<QLineEdit*, const char*> names[] = {{txtPaperWidth, "paper width"},   {txtPaperHeight, "paper height"},
                                                      {txtLeftMargin, "left margin"},   {txtTopMargin, "top margin"},
                                                      {txtRightMargin, "right margin"}, {txtBottomMargin, "bottom margin"}};
  problem_.clear();
  for (const auto& [box, name] : names) {
    if (!EntryTwips(box)) {
      problem_ = std::string("The ") + name + " is not a number.";
      return false;
    }
  }
  const double w = *EntryTwips(txtPaperWidth), h = *EntryTwips(txtPaperHeight);
  const double l = *EntryTwips(txtLeftMargin), t = *EntryTwips(txtTopMargin);
  const double r = *EntryTwips(txtRightMargin), b = *EntryTwips(txtBottomMargin);
  // A page may be at most 16383 twips wide and 32767 high; margins more than 0 and inside
  // the paper, with room left between each pair.
  if (w <= 0 || 2 * w > 32767) {
    problem_ = "The paper width must be more than 0 and at most " + show(16383) + ".";
  } else if (h <= 0 || h > 32767) {
    problem_ = "The paper height must be more than 0 and at most " + show(32767) + ".";
  } else if (l <= 0 || l > w) {
    problem_ = "The left margin must be more than 0 and within the paper width.";
  } else if (r <= 0 || r > w) {
    problem_ = "The right margin must be more than 0 and within the paper width.";
  } else if (t <= 0 || t > h) {
    problem_ = "The top margin must be more than 0 and within the paper height.";
  } else if (b <= 0 || b > h) {
    problem_ = "The bottom margin must be more than 0 and within the paper height.";
  } else if (l + r >= w) {
    problem_ = "The left and right margins leave no room on the paper.";
  } else if (t + b >= h) {
    problem_ = "The top and bottom margins leave no room on the paper.";
  }
  return problem_.empty();
}

void frmPageDlg::EntryChanged() {
  const bool ok = ValidatePageEntries();
  btnOK->setEnabled(ok);
  lblProblem->setText(QString::fromStdString(problem_));
}

void frmPageDlg::MatchPaperSize() {
  const std::optional<double> h = EntryTwips(txtPaperHeight);
  const std::optional<double> w = EntryTwips(txtPaperWidth);
  const int k = (h && w) ? MatchPaper(*w, *h) : 5;
  cboPaperSize->setCurrentIndex(k);
  cboPaperSize_Click();
}

void frmPageDlg::cboPaperSize_Click() {
  const int k = cboPaperSize->currentIndex();
  if (k < 0 || k > 4) return;  // "User Defined" leaves the boxes as they are
  txtPaperWidth->setText(QString::fromStdString(editor_.Twips2DlgString(float(kPaperSizes[size_t(k)].width))));
  txtPaperHeight->setText(QString::fromStdString(editor_.Twips2DlgString(float(kPaperSizes[size_t(k)].height))));
}

void frmPageDlg::btnOK_Click() {
  if (!ValidatePageEntries()) return;
  editor::PageSettings& s = editor_.PageSettings;
  s.PageMarginL = editor_.DlgString2Twips(txtLeftMargin->text().toStdString());
  s.PageMarginT = editor_.DlgString2Twips(txtTopMargin->text().toStdString());
  s.PageMarginR = editor_.DlgString2Twips(txtRightMargin->text().toStdString());
  s.PageMarginB = editor_.DlgString2Twips(txtBottomMargin->text().toStdString());
  s.PageWidth = editor_.DlgString2Twips(txtPaperWidth->text().toStdString());
  s.PageHeight = editor_.DlgString2Twips(txtPaperHeight->text().toStdString());
  s.PaperSizeIndex = int16_t(cboPaperSize->currentIndex());
  accept();
}

void frmPageDlg::btnCancel_Click() { reject(); }

// ---- paragraph frames ------------------------------------------------------------------------------

frmFramesDlg::frmFramesDlg(ReportEditor& editor, QWidget* parent) : ui::QvDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("frmFramesDlg"));
  setWindowTitle(QStringLiteral("Paragraph Frames"));
  auto* parts = new QGroupBox(QStringLiteral("Parts:"), this);
  chkLeft = new QCheckBox(QStringLiteral("&Left"), parts);
  chkRight = new QCheckBox(QStringLiteral("&Right"), parts);
  chkTop = new QCheckBox(QStringLiteral("&Top"), parts);
  chkBottom = new QCheckBox(QStringLiteral("&Bottom"), parts);
  chkTabLines = new QCheckBox(QStringLiteral("T&ab Lines"), parts);
  auto* pl = new QVBoxLayout(parts);
  for (QCheckBox* c : {chkLeft, chkRight, chkTop, chkBottom, chkTabLines}) pl->addWidget(c);
  auto* styles = new QGroupBox(QStringLiteral("Styles:"), this);
  chkDoubleLines = new QCheckBox(QStringLiteral("&Double Lines"), styles);
  chkConnectedFrames = new QCheckBox(QStringLiteral("Connected &Frames"), styles);
  auto* sl = new QVBoxLayout(styles);
  sl->addWidget(chkDoubleLines);
  sl->addWidget(chkConnectedFrames);
  cboLineWidth = new QComboBox(this);
  cboLineWidth->setObjectName("cboLineWidth");
  cboLineWidth->setEditable(true);
  cboTextDistance = new QComboBox(this);
  cboTextDistance->setObjectName("cboTextDistance");
  cboTextDistance->setEditable(true);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Line &Width:"), cboLineWidth);
  form->addRow(QStringLiteral("Text Di&stance:"), cboTextDistance);
  sl->addLayout(form);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName("cmdOK");
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName("cmdCancel");
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(parts);
  boxes->addWidget(styles);
  auto* col = new QVBoxLayout(this);
  col->addLayout(boxes);
  col->addLayout(ButtonRow({cmdOK, cmdCancel}));

  const std::pair<QCheckBox*, int> bits[] = {{chkLeft, 1},     {chkRight, 2},        {chkTop, 4},
                                             {chkBottom, 8},   {chkTabLines, 16},    {chkDoubleLines, 64},
                                             {chkConnectedFrames, 128}};
  for (const auto& [box, bit] : bits) {
    // Every click of a box names its part in the value written back, whatever its state.
    connect(box, &QCheckBox::clicked, this, [this, bit = bit] { ClickedParts = int16_t(ClickedParts | bit); });
  }
  connect(cmdOK, &QPushButton::clicked, this, &frmFramesDlg::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmFramesDlg::cmdCancel_Click);
  Form_Load();
}

namespace {
// Width text of the frame dialog: the number with a leading blank, then " pt".
QString PointEntry(int n) { return QStringLiteral(" %1 pt").arg(n); }
}  // namespace

void frmFramesDlg::Form_Load() {
  TextControl* tx = editor_.DialogTarget;
  const int width = tx ? tx->FrameLineWidth() : -1;
  const int distance = tx ? tx->FrameDistance() : -1;
  const int style = tx ? tx->FrameStyle() : 0;
  chkLeft->setChecked(style & 1);
  chkRight->setChecked(style & 2);
  chkTop->setChecked(style & 4);
  chkBottom->setChecked(style & 8);
  chkTabLines->setChecked(style & 16);
  chkConnectedFrames->setChecked(style & 128);
  chkDoubleLines->setChecked(style & 64);
  ClickedParts = 0;
  for (int k = 1; k <= 12; ++k) cboLineWidth->addItem(PointEntry(k));
  for (int k = 0; k <= 12; ++k) cboTextDistance->addItem(PointEntry(k));
  cboLineWidth->setCurrentIndex(-1);
  cboTextDistance->setCurrentIndex(-1);
  cboLineWidth->setEditText(width != -1 ? QString::fromStdString(GeneralNumber(width / 20.0)) + " pt" : QString());
  cboTextDistance->setEditText(distance != -1 ? QString::fromStdString(GeneralNumber(distance / 20.0)) + " pt"
                                              : QString());
}

void frmFramesDlg::cmdOK_Click() {
  TextControl* tx = editor_.DialogTarget;
  if (tx) {
    int style = 0;
    const std::pair<QCheckBox*, FramePart> parts[] = {{chkLeft, kFrameLeft},           {chkRight, kFrameRight},
                                                      {chkTop, kFrameTop},             {chkBottom, kFrameBottom},
                                                      {chkTabLines, kFrameTabLines},   {chkConnectedFrames, kFrameConnected},
                                                      {chkDoubleLines, kFrameDouble}};
    for (const auto& [box, part] : parts) {
      if (!(ClickedParts & part.on)) continue;
      style += box->checkState() != Qt::Unchecked ? part.on : part.off;
    }
    tx->SetFrameStyle(style);
    auto points = [](const QString& text, int low, int high) {
      const double v = RoundHalfEven(TextValue(text.toStdString()));
      return int(std::clamp(v, double(low), double(high))) * 20;
    };
    if (!cboLineWidth->currentText().isEmpty()) tx->SetFrameLineWidth(points(cboLineWidth->currentText(), 1, 12));
    if (!cboTextDistance->currentText().isEmpty()) tx->SetFrameDistance(points(cboTextDistance->currentText(), 0, 12));
  }
  accept();
}

void frmFramesDlg::cmdCancel_Click() { reject(); }

// ---- image attributes ----------------------------------------------------------------------------------

frmImageDlg::frmImageDlg(ReportEditor& editor, QWidget* parent) : ui::QvDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("frmImageDlg"));
  setWindowTitle(QStringLiteral("Image Attributes"));
  frmBorders = new QGroupBox(QStringLiteral("Image Borders"), this);
  frmBorders->setObjectName("frm3D(1)");
  txtLeftBorder = LengthBox(frmBorders, "txtLeftBorder");
  txtTopBorder = LengthBox(frmBorders, "txtTopBorder");
  txtRightBorder = LengthBox(frmBorders, "txtRightBorder");
  txtBottomBorder = LengthBox(frmBorders, "txtBottomBorder");
  auto* bg = new QGridLayout(frmBorders);
  const std::pair<const char*, QLineEdit*> rows[] = {
      {"&Left:", txtLeftBorder}, {"&Top:", txtTopBorder}, {"&Right:", txtRightBorder}, {"&Bottom:", txtBottomBorder}};
  for (int k = 0; k < 4; ++k) {
    lblBorder[size_t(k)] = new QLabel(QString::fromLatin1(rows[k].first), frmBorders);
    lblBorder[size_t(k)]->setBuddy(rows[k].second);
    lblMeasurement[size_t(k)] = new QLabel(frmBorders);
    bg->addWidget(lblBorder[size_t(k)], k, 0);
    bg->addWidget(rows[k].second, k, 1);
    bg->addWidget(lblMeasurement[size_t(k)], k, 2);
  }
  auto* options = new QGroupBox(QStringLiteral("Options"), this);
  options->setObjectName("frm3D(2)");
  chkFastDisplay = new QCheckBox(QStringLiteral("&Fast Display"), options);
  chkSaveAsData = new QCheckBox(QStringLiteral("&Save As Data"), options);
  auto* ol = new QVBoxLayout(options);
  ol->addWidget(chkFastDisplay);
  ol->addWidget(chkSaveAsData);
  ol->addStretch(1);
  btnOK = DialogButton(this, "Ok", "btnOK");
  btnCancel = DialogButton(this, "Cancel", "btnCancel");
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(frmBorders);
  boxes->addWidget(options);
  auto* col = new QVBoxLayout(this);
  col->addLayout(boxes);
  col->addLayout(ButtonRow({btnOK, btnCancel}));
  connect(btnOK, &QPushButton::clicked, this, &frmImageDlg::btnOk_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmImageDlg::btnCancel_Click);
  Form_Load();
}

void frmImageDlg::Form_Load() {
  TextControl* tx = editor_.DialogTarget;
  const bool flows = tx && tx->ObjectTextflow() != 0;
  QLineEdit* boxes[] = {txtLeftBorder, txtTopBorder, txtRightBorder, txtBottomBorder};
  for (int k = 0; k < 4; ++k) {
    boxes[k]->setEnabled(flows);
    lblBorder[size_t(k)]->setEnabled(flows);
    lblMeasurement[size_t(k)]->setEnabled(flows);
    if (flows) boxes[k]->setText(QString::fromStdString(editor_.Twips2DlgString(float(tx->ObjectDistance(k + 1)))));
  }
  frmBorders->setEnabled(flows);
  chkFastDisplay->setChecked(tx && tx->ImageDisplayMode() != 0);
  chkSaveAsData->setChecked(tx && tx->ImageSaveMode() != 0);
  const QString unit = QString::fromStdString(UnitLabel(editor_.MeasureUnit));
  for (QLabel* l : lblMeasurement) l->setText(unit);
}

void frmImageDlg::btnOk_Click() {
  if (TextControl* tx = editor_.DialogTarget) {
    if (tx->ObjectTextflow() != 0) {
      QLineEdit* boxes[] = {txtLeftBorder, txtTopBorder, txtRightBorder, txtBottomBorder};
      for (int k = 0; k < 4; ++k) tx->SetObjectDistance(k + 1, editor_.DlgString2Twips(boxes[k]->text().toStdString()));
    }
    tx->SetImageDisplayMode(chkFastDisplay->isChecked() ? 1 : 0);
    tx->SetImageSaveMode(chkSaveAsData->isChecked() ? 1 : 0);
  }
  accept();
}

void frmImageDlg::btnCancel_Click() { reject(); }

// ---- table insertion ------------------------------------------------------------------------------------

frmTableDlg::frmTableDlg(ReportEditor& editor, QWidget* parent) : ui::QvDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("frmTableDlg"));
  setWindowTitle(QStringLiteral("Table Attributes"));
  cboRows = new QComboBox(this);
  cboRows->setObjectName("cboRows");
  cboRows->setEditable(true);
  cboColumns = new QComboBox(this);
  cboColumns->setObjectName("cboColumns");
  cboColumns->setEditable(true);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Rows:"), cboRows);
  form->addRow(QStringLiteral("Columns:"), cboColumns);
  lblProblem = ProblemLabel(this);
  btnOK = DialogButton(this, "Ok", "btnOK");
  btnCancel = DialogButton(this, "Cancel", "btnCancel");
  auto* col = new QVBoxLayout(this);
  col->addLayout(form);
  col->addWidget(lblProblem);
  col->addLayout(ButtonRow({btnOK, btnCancel}));
  setMinimumWidth(260);
  connect(cboRows, &QComboBox::editTextChanged, this, &frmTableDlg::EntryChanged);
  connect(cboColumns, &QComboBox::editTextChanged, this, &frmTableDlg::EntryChanged);
  connect(btnOK, &QPushButton::clicked, this, &frmTableDlg::btnOk_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmTableDlg::btnCancel_Click);
  Form_Load();
}

void frmTableDlg::Form_Load() {
  for (int k = 1; k <= kMaxTableColumns; ++k) cboColumns->addItem(QString::number(k));
  for (int k = 1; k <= kMaxTableRows; ++k) cboRows->addItem(QString::number(k));
  cboColumns->setCurrentIndex(1);
  cboRows->setCurrentIndex(1);
  EntryChanged();
}

std::optional<std::pair<int, int>> frmTableDlg::Size() const {
  auto whole = [](const QString& text, int high) -> std::optional<int> {
    const std::string s = text.trimmed().toStdString();
    if (s.empty() || !IsNumberText(s)) return std::nullopt;
    const double v = TextValue(s);
    if (v != std::floor(v) || v < 1 || v > high) return std::nullopt;
    return int(v);
  };
  const auto rows = whole(cboRows->currentText(), kMaxTableRows);
  const auto cols = whole(cboColumns->currentText(), kMaxTableColumns);
  if (!rows || !cols) return std::nullopt;
  return std::make_pair(*rows, *cols);
}

void frmTableDlg::EntryChanged() {
  const bool ok = Size().has_value();
  btnOK->setEnabled(ok);
  lblProblem->setText(ok ? QString()
                         : QStringLiteral("Rows must be a whole number from 1 to %1 and columns from 1 to %2.")
                               .arg(kMaxTableRows)
                               .arg(kMaxTableColumns));
}

void frmTableDlg::btnOk_Click() {
  const auto size = Size();
  if (!size) return;  // refused: OK is disabled and says why
  const auto [rows, columns] = *size;
  if (TextControl* tx = editor_.DialogTarget) tx->TableInsert(rows, columns);
  accept();
}

void frmTableDlg::btnCancel_Click() { reject(); }

// ---- print preview ---------------------------------------------------------------------------------------

int FitPrintZoom(double boxWidthTwips, double boxHeightTwips, double pageWidthTwips, double pageHeightTwips) {
  if (pageWidthTwips <= 0 || pageHeightTwips <= 0) return 100;
  const double h = RoundHalfEven(boxHeightTwips * 100 / pageHeightTwips);
  const double w = RoundHalfEven(boxWidthTwips * 100 / pageWidthTwips);
  return int(std::max(1.0, h >= w ? w : h));
}

PreviewPage::PreviewPage(TextControl& tx, QWidget* parent) : QWidget(parent), tx_(tx) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(sizeHint());
}

QSize PreviewPage::sizeHint() const {
  return {int(std::lround(TwipsToPixels(PrintPreview::kBoxWidthTwips))),
          int(std::lround(TwipsToPixels(PrintPreview::kBoxHeightTwips)))};
}

void PreviewPage::paintEvent(QPaintEvent*) {
  // The grey box is painted here rather than set in a palette of its own (a new palette for
  // every preview would leave entries in the style's drawing cache).
  QPainter p(this);
  p.fillRect(rect(), QColor(0xA0, 0xA0, 0xA0));
  if (page > tx_.CurrentPages()) return;  // past the last page: the box stays empty
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const double scale = tx_.PrintZoom() / 100.0;
  const QRectF sheet(0, 0, TwipsToPixels(tx_.PageWidth()) * scale, TwipsToPixels(tx_.PageHeight()) * scale);
  p.fillRect(sheet, Qt::white);
  tx_.PrintPage(p, page, scale);
}

PrintPreview::PrintPreview(TextControl& tx, QWidget* parent) : ui::QvDialog(parent), tx_(&tx) {
  setObjectName(QStringLiteral("PrintPreview"));
  setWindowTitle(QStringLiteral("Print Preview"));
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Picture1 = new PreviewPage(tx, this);
  Picture1->setObjectName("Picture1");
  Picture2 = new PreviewPage(tx, this);
  Picture2->setObjectName("Picture2");
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setObjectName("VScroll1");
  Cancel = new QPushButton(QStringLiteral("Close"), this);
  Cancel->setObjectName("Cancel");
  cmdPrint = new QPushButton(QStringLiteral("&Print..."), this);
  cmdPrint->setObjectName("cmdPrint");
  auto* pages = new QHBoxLayout;
  pages->addWidget(Picture1);
  pages->addWidget(Picture2);
  auto* left = new QVBoxLayout;
  left->addWidget(Label1);
  left->addLayout(pages);
  left->addLayout(ButtonRow({cmdPrint, Cancel}));
  auto* row = new QHBoxLayout(this);
  row->addLayout(left);
  row->addWidget(VScroll1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border
  connect(VScroll1, &QScrollBar::valueChanged, this, &PrintPreview::VScroll1_Change);
  connect(Cancel, &QPushButton::clicked, this, &PrintPreview::Cancel_Click);
  connect(cmdPrint, &QPushButton::clicked, this, &PrintPreview::cmdPrint_Click);
  Form_Load();
}

PrintPreview::~PrintPreview() {
  if (!restored_ && tx_) tx_->SetPrintZoom(SavedPrintZoom);
}

void PrintPreview::Form_Load() {
  VScroll1->setMinimum(0);
  VScroll1->setMaximum(0);
  const int pages = tx_->CurrentPages();
  if (pages > 2) VScroll1->setMaximum((pages - 1) / 2);
  VScroll1->setPageStep(1);
  VScroll1->setValue(0);
  SavedPrintZoom = ToInt16(tx_->PrintZoom());
  tx_->SetPrintZoom(FitPrintZoom(kBoxWidthTwips, kBoxHeightTwips, tx_->PageWidth(), tx_->PageHeight()));
  Form_Paint();
}

void PrintPreview::Form_Paint() {
  const int v = VScroll1->value();
  Picture1->page = 2 * v + 1;
  Picture2->page = 2 * v + 2;
  Label1->setText(QStringLiteral("Pages  %1 - %2").arg(2 * v + 1).arg(2 * v + 2));
}

void PrintPreview::VScroll1_Change() {
  Form_Paint();
  Picture1->update();
  Picture2->update();
}

void PrintPreview::Cancel_Click() { accept(); }

void PrintPreview::cmdPrint_Click() {
  if (!tx_) return;
  // The document prints at its own zoom; the preview's fitted zoom returns when it is done.
  const int fitted = tx_->PrintZoom();
  tx_->SetPrintZoom(SavedPrintZoom);
  PrintTextControl(*tx_);
  tx_->SetPrintZoom(fitted);
}

void PrintPreview::done(int r) {
  if (!restored_ && tx_) {
    tx_->SetPrintZoom(SavedPrintZoom);
    restored_ = true;
  }
  ui::QvDialog::done(r);
}

// ---- printing ----------------------------------------------------------------------------------------------

void PrintTextControl(TextControl& tx, const std::string& title) {
  int first = 1;
  int last = tx.CurrentPages();
  ui::PrintRequest req;
  req.title = title;
  req.copies = 1;
  req.minPage = 1;
  req.maxPage = last;
  req.fromPage = 1;
  req.toPage = last;
  const std::optional<ui::PrintTarget> target = ui::GetPrompt().PrintDialog(req);
  if (!target) return;  // cancelled: nothing is printed
  if (target->pageRange) {
    first = target->fromPage;
    last = target->toPage;
  }
  ui::BusyCursor busy;
  PrintPages(tx, *target, first, last, std::max(1, target->copies));
}

bool PrintPages(TextControl& tx, const ui::PrintTarget& target, int first, int last, int copies) {
  first = std::max(first, 1);
  last = std::min(last, tx.CurrentPages());
  if (first > last) return true;  // nothing to print
  QPrinter printer(QPrinter::HighResolution);
  if (!target.pdfPath.empty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(target.pdfPath));
  } else if (!target.printerName.empty()) {
    printer.setPrinterName(QString::fromStdString(target.printerName));
  }
  // The sheet is the document's paper; the page carries its own margins.
  const QSizeF paper(tx.PageWidth() / 20.0, tx.PageHeight() / 20.0);
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(paper, QPageSize::Point), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  printer.setCopyCount(1);  // the copies are printed here, each from a new sheet
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const double scale = printer.resolution() / 96.0;
  bool firstSheet = true;
  for (int copy = 1; copy <= copies; ++copy) {
    for (int page = first; page <= last; ++page) {
      if (!firstSheet) printer.newPage();
      firstSheet = false;
      tx.PrintPage(painter, page, scale);
    }
  }
  painter.end();
  return true;
}

}  // namespace qv::editor
