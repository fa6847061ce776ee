#include "editor/frmMDIParent.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "editor/ReportEditor.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "engine/Runtime.h"

namespace qv::editor {

namespace {

int MouseButtons(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}
int MouseButton(Qt::MouseButton b) { return MouseButtons(Qt::MouseButtons(b)); }
int Shift(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// ---- the faces of the picture buttons, drawn here --------------------------------------------

enum class Picture { New, Open, Save, Cut, Copy, Paste, Print, Preview };

void DrawSheet(QPainter& p, QRectF r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 4, r.top());
  path.lineTo(r.right(), r.top() + 4);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(Qt::white);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
  p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void DrawPicture(QPainter& p, Picture pic) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  switch (pic) {
    case Picture::New:
      DrawSheet(p, QRectF(6.5, 3.5, 11, 14));
      break;
    case Picture::Open:
      p.setBrush(QColor(0xE8, 0xC8, 0x50));
      p.drawRect(QRectF(3.5, 7.5, 14, 10));
      p.setBrush(QColor(0xF8, 0xE0, 0x80));
      {
        QPainterPath lid;
        lid.moveTo(5.5, 10.5);
        lid.lineTo(20.5, 10.5);
        lid.lineTo(17.5, 17.5);
        lid.lineTo(3.5, 17.5);
        lid.closeSubpath();
        p.drawPath(lid);
      }
      p.drawLine(QPointF(13.5, 4.5), QPointF(17.5, 4.5));
      p.drawLine(QPointF(17.5, 4.5), QPointF(15.5, 2.5));
      break;
    case Picture::Save:
      p.setBrush(QColor(0x30, 0x50, 0xA0));
      p.drawRect(QRectF(4.5, 3.5, 14, 14));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7.5, 3.5, 8, 6));
      p.setBrush(QColor(0xC0, 0xC0, 0xC0));
      p.drawRect(QRectF(7.5, 12.5, 8, 5));
      break;
    case Picture::Cut:
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(8, 3), QPointF(14, 13));
      p.drawLine(QPointF(16, 3), QPointF(10, 13));
      p.setPen(QPen(QColor(0x20, 0x20, 0x90), 1.5));
      p.drawEllipse(QPointF(8.5, 15.5), 2.5, 2.5);
      p.drawEllipse(QPointF(15.5, 15.5), 2.5, 2.5);
      break;
    case Picture::Copy:
      DrawSheet(p, QRectF(3.5, 2.5, 10, 12));
      DrawSheet(p, QRectF(9.5, 6.5, 10, 12));
      break;
    case Picture::Paste:
      p.setBrush(QColor(0xB0, 0x80, 0x40));
      p.drawRect(QRectF(4.5, 4.5, 11, 14));
      p.setBrush(QColor(0xC0, 0xC0, 0xC0));
      p.drawRect(QRectF(7.5, 2.5, 5, 3));
      DrawSheet(p, QRectF(10.5, 8.5, 9, 11));
      break;
    case Picture::Print:
      DrawSheet(p, QRectF(7.5, 2.5, 9, 7));
      p.setBrush(QColor(0xC0, 0xC0, 0xC0));
      p.drawRect(QRectF(3.5, 9.5, 17, 7));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7.5, 14.5, 9, 4));
      p.setBrush(Qt::green);
      p.drawEllipse(QPointF(17.5, 11.5), 1, 1);
      break;
    case Picture::Preview:
      DrawSheet(p, QRectF(4.5, 2.5, 11, 15));
      p.setBrush(QColor(0xD0, 0xE8, 0xFF));
      p.drawEllipse(QPointF(13, 11), 4, 4);
      p.setPen(QPen(Qt::black, 2));
      p.drawLine(QPointF(16, 14), QPointF(20, 18));
      break;
  }
}

// A face of a button: raised (light top left, dark bottom right) or pressed (the other way
// round, the picture one pixel down and right).
QPixmap Face(Picture pic, bool pressed) {
  QPixmap pm(24, 22);
  pm.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter p(&pm);
  const QColor light = pressed ? QColor(0x80, 0x80, 0x80) : Qt::white;
  const QColor dark = pressed ? Qt::white : QColor(0x80, 0x80, 0x80);
  p.setPen(light);
  p.drawLine(0, 0, 23, 0);
  p.drawLine(0, 0, 0, 21);
  p.setPen(dark);
  p.drawLine(0, 21, 23, 21);
  p.drawLine(23, 0, 23, 21);
  if (pressed) p.translate(1, 1);
  DrawPicture(p, pic);
  return pm;
}

}  // namespace

// ---- PictureButton -------------------------------------------------------------------------

PictureButton::PictureButton(const QString& name, const QString& tip, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  setToolTip(tip);
  setFixedSize(24, 22);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureButton::SetFaces(const QPixmap* up, const QPixmap* down) {
  up_ = up;
  downFace_ = down;
  update();
}

void PictureButton::ShowUp() {
  down_ = false;
  update();
}

void PictureButton::ShowDown() {
  down_ = true;
  update();
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPixmap* face = down_ ? downFace_ : up_;
  if (face) p.drawPixmap(0, 0, *face);
  if (!isEnabled()) p.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0, 150));
}

void PictureButton::mousePressEvent(QMouseEvent* e) {
  if (onMouseDown) onMouseDown(MouseButton(e->button()), Shift(e->modifiers()), int(e->position().x()), int(e->position().y()));
}

void PictureButton::mouseMoveEvent(QMouseEvent* e) {
  if (onMouseMove) onMouseMove(MouseButtons(e->buttons()), Shift(e->modifiers()), int(e->position().x()), int(e->position().y()));
}

void PictureButton::mouseReleaseEvent(QMouseEvent* e) {
  const int x = int(e->position().x()), y = int(e->position().y());
  if (onMouseUp) onMouseUp(MouseButton(e->button()), Shift(e->modifiers()), x, y);
  // A click is a press and release of the left button over the button.
  if (e->button() == Qt::LeftButton && x > 0 && x <= width() && y >= 0 && y <= height() && onClick) onClick();
}

// ---- the tool bar's panel -------------------------------------------------------------------

namespace {
// Paints its grey itself: a palette of its own would be a new palette for every frame, and
// the style caches the drawings of the font boxes on it under each palette.
class GreyPanel : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
  }
};
}  // namespace

// ---- ButtonBar ------------------------------------------------------------------------------

namespace {
QToolButton* BarButton(QWidget* parent, const QString& name, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(tip);
  b->setCheckable(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setAutoRaise(true);
  b->setFixedSize(24, 22);
  return b;
}
}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TXButtonBar1"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(2);
  fontBox = new QFontComboBox(this);
  fontBox->setObjectName(QStringLiteral("fontBox"));
  fontBox->setFocusPolicy(Qt::ClickFocus);
  fontBox->setMaximumWidth(180);
  sizeBox = new QComboBox(this);
  sizeBox->setObjectName(QStringLiteral("sizeBox"));
  sizeBox->setEditable(true);
  sizeBox->setFocusPolicy(Qt::ClickFocus);
  for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 36, 48, 72}) sizeBox->addItem(QString::number(s));
  sizeBox->setFixedWidth(56);
  boldButton = BarButton(this, "boldButton", "B", "Bold");
  QFont bf = boldButton->font();
  bf.setBold(true);
  boldButton->setFont(bf);
  italicButton = BarButton(this, "italicButton", "I", "Italic");
  QFont itf = italicButton->font();
  itf.setItalic(true);
  italicButton->setFont(itf);
  underlineButton = BarButton(this, "underlineButton", "U", "Underline");
  QFont uf = underlineButton->font();
  uf.setUnderline(true);
  underlineButton->setFont(uf);
  leftButton = BarButton(this, "leftButton", QString::fromUtf8("\u2261"), "Align left");
  centerButton = BarButton(this, "centerButton", QString::fromUtf8("\u2263"), "Centre");
  rightButton = BarButton(this, "rightButton", QString::fromUtf8("\u2261"), "Align right");
  justifyButton = BarButton(this, "justifyButton", QString::fromUtf8("\u2630"), "Justify");
  leftButton->setText("L");
  centerButton->setText("C");
  rightButton->setText("R");
  justifyButton->setText("J");
  row->addWidget(fontBox);
  row->addWidget(sizeBox);
  row->addSpacing(8);
  row->addWidget(boldButton);
  row->addWidget(italicButton);
  row->addWidget(underlineButton);
  row->addSpacing(8);
  row->addWidget(leftButton);
  row->addWidget(centerButton);
  row->addWidget(rightButton);
  row->addWidget(justifyButton);
  row->addStretch(1);

  connect(fontBox, &QFontComboBox::currentFontChanged, this, [this](const QFont& f) {
    Apply([&](TextControl& c) {
      QTextCharFormat fmt;
      fmt.setFontFamilies({f.family()});
      c.MergeCharFormat(fmt);
    });
  });
  auto applySize = [this] {
    const double size = TextValue(sizeBox->currentText().toStdString());
    if (size <= 0 || size > 1638) return;
    Apply([&](TextControl& c) {
      QTextCharFormat fmt;
      fmt.setFontPointSize(size);
      c.MergeCharFormat(fmt);
    });
  };
  connect(sizeBox, &QComboBox::textActivated, this, applySize);
  connect(boldButton, &QToolButton::clicked, this, [this](bool on) {
    Apply([&](TextControl& c) {
      QTextCharFormat fmt;
      fmt.setFontWeight(on ? QFont::Bold : QFont::Normal);
      c.MergeCharFormat(fmt);
    });
  });
  connect(italicButton, &QToolButton::clicked, this, [this](bool on) {
    Apply([&](TextControl& c) {
      QTextCharFormat fmt;
      fmt.setFontItalic(on);
      c.MergeCharFormat(fmt);
    });
  });
  connect(underlineButton, &QToolButton::clicked, this, [this](bool on) {
    Apply([&](TextControl& c) {
      QTextCharFormat fmt;
      fmt.setFontUnderline(on);
      c.MergeCharFormat(fmt);
    });
  });
  auto align = [this](Qt::Alignment a) {
    Apply([&](TextControl& c) {
      QTextBlockFormat fmt;
      fmt.setAlignment(a);
      c.MergeBlockFormat(fmt);
    });
  };
  connect(leftButton, &QToolButton::clicked, this, [=] { align(Qt::AlignLeft | Qt::AlignAbsolute); });
  connect(centerButton, &QToolButton::clicked, this, [=] { align(Qt::AlignHCenter); });
  connect(rightButton, &QToolButton::clicked, this, [=] { align(Qt::AlignRight | Qt::AlignAbsolute); });
  connect(justifyButton, &QToolButton::clicked, this, [=] { align(Qt::AlignJustify); });
  Bind(nullptr);
}

void ButtonBar::Bind(TextControl* control) {
  if (caret_) disconnect(caret_);
  control_ = control;
  if (control) caret_ = connect(control, &TextControl::CaretMoved, this, &ButtonBar::Refresh);
  setEnabled(control != nullptr);
  Refresh();
}

void ButtonBar::Apply(const std::function<void(TextControl&)>& f) {
  if (refreshing_ || !control_) return;
  f(*control_);
  Refresh();
  control_->setFocus();
}

void ButtonBar::Refresh() {
  if (!control_) return;
  refreshing_ = true;
  const QTextCursor c = control_->textCursor();
  const QTextCharFormat f = c.charFormat();
  const QFont font = f.font();
  {
    QSignalBlocker b1(fontBox), b2(sizeBox);
    fontBox->setCurrentFont(font);
    sizeBox->setEditText(QString::number(font.pointSizeF() > 0 ? font.pointSizeF() : 12));
  }
  boldButton->setChecked(font.bold());
  italicButton->setChecked(font.italic());
  underlineButton->setChecked(font.underline());
  const Qt::Alignment a = c.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
  centerButton->setChecked(a == Qt::AlignHCenter);
  rightButton->setChecked(a.testFlag(Qt::AlignRight));
  justifyButton->setChecked(a == Qt::AlignJustify);
  leftButton->setChecked(!centerButton->isChecked() && !rightButton->isChecked() && !justifyButton->isChecked());
  refreshing_ = false;
}

// ---- EditorStatusBar ------------------------------------------------------------------------

EditorStatusBar::EditorStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("TXStatusBar1"));
  pagePane = new QLabel(this);
  linePane = new QLabel(this);
  colPane = new QLabel(this);
  for (QLabel* l : {pagePane, linePane, colPane}) {
    l->setMinimumWidth(90);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    addWidget(l);
  }
  setSizeGripEnabled(true);
  Bind(nullptr);
}

void EditorStatusBar::Bind(TextControl* control) {
  if (caret_) disconnect(caret_);
  control_ = control;
  if (control) caret_ = connect(control, &TextControl::CaretMoved, this, &EditorStatusBar::Refresh);
  Refresh();
}

void EditorStatusBar::Refresh() {
  if (!control_) {
    pagePane->setText(QStringLiteral("Page"));
    linePane->setText(QStringLiteral("Line"));
    colPane->setText(QStringLiteral("Col"));
    return;
  }
  pagePane->setText(QStringLiteral("Page %1/%2").arg(control_->CaretPage()).arg(control_->CurrentPages()));
  linePane->setText(QStringLiteral("Line %1").arg(control_->CaretLine()));
  colPane->setText(QStringLiteral("Col %1").arg(control_->CaretColumn()));
}

// ---- frmAboutDlg ----------------------------------------------------------------------------

frmAboutDlg::frmAboutDlg(QWidget* parent) : ui::QvDialog(parent) {
  setObjectName(QStringLiteral("frmAboutDlg"));
  setWindowTitle(QStringLiteral("About"));
  auto* col = new QVBoxLayout(this);
  auto* title = new QLabel(QStringLiteral("Quorvant Pro Report Editor"), this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 2);
  title->setFont(f);
  col->addWidget(title);
  col->addWidget(new QLabel(QStringLiteral("Edits, prints and saves the reports of the deal calculator."), this));
  col->addWidget(new QLabel(QStringLiteral("Documents are kept as .txm, RTF, HTML or plain text."), this));
  cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(cmdOK);
  col->addLayout(row);
  connect(cmdOK, &QPushButton::clicked, this, &frmAboutDlg::cmdOK_Click);
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void frmAboutDlg::cmdOK_Click() { accept(); }

// ---- frmMDIParent ---------------------------------------------------------------------------

frmMDIParent::frmMDIParent(ReportEditor& editor) : QMainWindow(nullptr), editor_(editor) {
  setObjectName(QStringLiteral("frmMDIParent"));
  setWindowTitle(QStringLiteral("Quorvant Pro Report Editor"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* central = new QWidget(this);
  auto* col = new QVBoxLayout(central);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  BuildToolbar();
  col->addWidget(picToolbar);
  TXButtonBar1 = new ButtonBar(central);
  col->addWidget(TXButtonBar1);
  mdi_ = new QMdiArea(central);
  mdi_->setObjectName(QStringLiteral("mdiArea"));
  mdi_->setBackground(QColor(0x80, 0x80, 0x80));
  col->addWidget(mdi_, 1);
  setCentralWidget(central);
  TXStatusBar1 = new EditorStatusBar(this);
  setStatusBar(TXStatusBar1);

  mnuFile = new QMenu(QStringLiteral("&File"), this);
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuFile_New = mnuFile->addAction(QStringLiteral("&New"), this, &frmMDIParent::mnuFile_New_Click);
  mnuFile_New->setObjectName(QStringLiteral("mnuFile_New"));
  mnuFile_Open = mnuFile->addAction(QStringLiteral("&Open..."), this, &frmMDIParent::mnuFile_Open_Click);
  mnuFile_Open->setObjectName(QStringLiteral("mnuFile_Open"));
  // The recent-file items stand in the menu, hidden: the editor keeps no list of recent files.
  mnuRecentFile[0] = mnuFile->addSeparator();
  for (int k = 1; k <= 4; ++k) mnuRecentFile[size_t(k)] = mnuFile->addAction(QStringLiteral("Recent file %1").arg(k));
  for (QAction* a : mnuRecentFile) {
    a->setObjectName(QStringLiteral("mnuRecentFile"));
    a->setVisible(false);
  }

  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (unloading_ || !sub) return;
    if (auto* child = qobject_cast<frmMDIChild*>(sub->widget())) DocumentActivated(child);
  });
  ShowFrameMenu();
  BindActive();
}

frmMDIParent::~frmMDIParent() {
  if (!unloading_) MDIForm_Unload();
}

void frmMDIParent::BuildToolbar() {
  picToolbar = new GreyPanel(this);
  picToolbar->setObjectName(QStringLiteral("picToolbar"));
  auto* row = new QHBoxLayout(picToolbar);
  row->setContentsMargins(4, 3, 4, 3);
  row->setSpacing(1);
  struct ButtonPlan {
    PictureButton** button;
    QPixmap* up;
    QPixmap* down;
    Picture picture;
    const char* name;
    const char* tip;
  };
  const ButtonPlan plans[] = {
      {&imgFileNewButton, &imgFileNewButtonUp, &imgFileNewButtonDn, Picture::New, "imgFileNewButton", "New"},
      {&imgFileOpenButton, &imgFileOpenButtonUp, &imgFileOpenButtonDn, Picture::Open, "imgFileOpenButton", "Open"},
      {&imgFileSaveButton, &imgFileSaveButtonUp, &imgFileSaveButtonDn, Picture::Save, "imgFileSaveButton", "Save"},
      {&imgCutButton, &imgCutButtonUp, &imgCutButtonDn, Picture::Cut, "imgCutButton", "Cut"},
      {&imgCopyButton, &imgCopyButtonUp, &imgCopyButtonDn, Picture::Copy, "imgCopyButton", "Copy"},
      {&imgPasteButton, &imgPasteButtonUp, &imgPasteButtonDn, Picture::Paste, "imgPasteButton", "Paste"},
      {&imgPrintButton, &imgPrintButtonUp, &imgPrintButtonDn, Picture::Print, "imgPrintButton", "Print"},
      {&imgPrintPreButton, &imgPrintPreButtonUp, &imgPrintPreButtonDn, Picture::Preview, "imgPrintpreButton",
       "Print preview"},
  };
  int k = 0;
  for (const ButtonPlan& s : plans) {
    *s.up = Face(s.picture, false);
    *s.down = Face(s.picture, true);
    *s.button = new PictureButton(QString::fromLatin1(s.name), QString::fromLatin1(s.tip), picToolbar);
    (*s.button)->SetFaces(s.up, s.down);
    if (k == 3 || k == 6) row->addSpacing(8);  // the groups: files, clipboard, printing
    row->addWidget(*s.button);
    ++k;
  }
  WireButton(imgFileNewButton, &frmMDIParent::imgFileNewButton_MouseDown, &frmMDIParent::imgFileNewButton_MouseMove,
             &frmMDIParent::imgFileNewButton_MouseUp, &frmMDIParent::imgFileNewButton_Click);
  WireButton(imgFileOpenButton, &frmMDIParent::imgFileOpenButton_MouseDown, &frmMDIParent::imgFileOpenButton_MouseMove,
             &frmMDIParent::imgFileOpenButton_MouseUp, &frmMDIParent::imgFileOpenButton_Click);
  WireButton(imgFileSaveButton, &frmMDIParent::imgFileSaveButton_MouseDown, &frmMDIParent::imgFileSaveButton_MouseMove,
             &frmMDIParent::imgFileSaveButton_MouseUp, &frmMDIParent::imgFileSaveButton_Click);
  WireButton(imgCutButton, &frmMDIParent::imgCutButton_MouseDown, &frmMDIParent::imgCutButton_MouseMove,
             &frmMDIParent::imgCutButton_MouseUp, &frmMDIParent::imgCutButton_Click);
  WireButton(imgCopyButton, &frmMDIParent::imgCopyButton_MouseDown, &frmMDIParent::imgCopyButton_MouseMove,
             &frmMDIParent::imgCopyButton_MouseUp, &frmMDIParent::imgCopyButton_Click);
  WireButton(imgPasteButton, &frmMDIParent::imgPasteButton_MouseDown, &frmMDIParent::imgPasteButton_MouseMove,
             &frmMDIParent::imgPasteButton_MouseUp, &frmMDIParent::imgPasteButton_Click);
  WireButton(imgPrintButton, &frmMDIParent::imgPrintButton_MouseDown, &frmMDIParent::imgPrintButton_MouseMove,
             &frmMDIParent::imgPrintButton_MouseUp, &frmMDIParent::imgPrintButton_Click);
  WireButton(imgPrintPreButton, &frmMDIParent::imgPrintPreButton_MouseDown, &frmMDIParent::imgPrintPreButton_MouseMove,
             &frmMDIParent::imgPrintPreButton_MouseUp, &frmMDIParent::imgPrintPreButton_Click);

  row->addSpacing(12);
  cboZoom = new QComboBox(picToolbar);
  cboZoom->setObjectName(QStringLiteral("cboZoom"));
  cboZoom->setEditable(true);
  cboZoom->setFocusPolicy(Qt::ClickFocus);
  cboZoom->addItems({"30%", "50%", "75%", "100%", "200%"});
  cboZoom->setCurrentIndex(3);
  cboZoom->setEditText(QStringLiteral("100%"));
  cboZoom->setFixedWidth(70);
  connect(cboZoom, &QComboBox::activated, this, [this](int) { cboZoom_Click(); });
  row->addWidget(cboZoom);
  row->addStretch(1);
}

void frmMDIParent::WireButton(PictureButton* b, void (frmMDIParent::*down)(int, int, int, int),
                              void (frmMDIParent::*move)(int, int, int, int),
                              void (frmMDIParent::*up)(int, int, int, int), void (frmMDIParent::*click)()) {
  b->onMouseDown = [this, down](int button, int shift, int x, int y) { (this->*down)(button, shift, x, y); };
  b->onMouseMove = [this, move](int button, int shift, int x, int y) { (this->*move)(button, shift, x, y); };
  b->onMouseUp = [this, up](int button, int shift, int x, int y) { (this->*up)(button, shift, x, y); };
  b->onClick = [this, click] { (this->*click)(); };
}

// ---- the four steps of a picture button --------------------------------------------------

void frmMDIParent::ButtonMouseDown(PictureButton& b, int) { b.ShowDown(); }

void frmMDIParent::ButtonMouseMove(PictureButton& b, int button, int x, int y) {
  if (button != 1) return;  // only with the left button, and only that one, held
  if (x <= 0 || x > b.width() || y < 0 || y > b.height()) {
    b.ShowUp();
  } else {
    b.ShowDown();
  }
}

void frmMDIParent::ButtonMouseUp(PictureButton& b) { b.ShowUp(); }

void frmMDIParent::ButtonClick(PictureButton& b) { b.repaint(); }

#define QV_BUTTON_STEPS(name, command)                                                                            \
  void frmMDIParent::name##_MouseDown(int button, int, int, int) { ButtonMouseDown(*name, button); }             \
  void frmMDIParent::name##_MouseMove(int button, int, int x, int y) { ButtonMouseMove(*name, button, x, y); }   \
  void frmMDIParent::name##_MouseUp(int, int, int, int) { ButtonMouseUp(*name); }                                 \
  void frmMDIParent::name##_Click() {                                                                             \
    ButtonClick(*name);                                                                                           \
    command;                                                                                                      \
  }

QV_BUTTON_STEPS(imgFileNewButton, editor_.NewDocument())
QV_BUTTON_STEPS(imgFileOpenButton, editor_.FileOpen(""))
QV_BUTTON_STEPS(imgFileSaveButton, editor_.FileSave())
QV_BUTTON_STEPS(imgCutButton, editor_.EditCut())
QV_BUTTON_STEPS(imgCopyButton, editor_.EditCopy())
QV_BUTTON_STEPS(imgPasteButton, editor_.EditPaste())
QV_BUTTON_STEPS(imgPrintButton, editor_.PrintDocument())
QV_BUTTON_STEPS(imgPrintPreButton, editor_.ShowPrintPreview())

#undef QV_BUTTON_STEPS

// ---- load, unload, menus ----------------------------------------------------------------

void frmMDIParent::MDIForm_Load() {
  // At the top left corner of the screen, as wide as the screen and 85 % of its height.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect g = screen->geometry();
    move(g.topLeft());
    resize(g.width(), int(g.height() * 0.85));
  }
  show();
  // The slots start anew with document window 1. Nothing is opened from the command line:
  // the editor is part of the program, whose command line names a worksheet.
  editor_.Documents.assign(2, nullptr);
  editor_.DocumentStates.assign(2, DocumentState{});
  frmMDIChild& first = editor_.DocumentWindow(1);
  first.Tag = QStringLiteral("1");
  editor_.State(1).Dirty = kFalse;
  first.ShowWindow();
}

void frmMDIParent::MDIForm_Unload() {
  unloading_ = true;
  // The document windows go with the frame; each marks its slot free.
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (auto* child = qobject_cast<frmMDIChild*>(sub->widget())) child->CloseWithoutAsking();
  }
  TXButtonBar1->Bind(nullptr);
  TXStatusBar1->Bind(nullptr);
  // Nothing reaches the frame any more while it waits for its deletion, and its area's
  // signals (sent while it is destroyed) find no handler of the half-destroyed frame.
  disconnect(mdi_, nullptr, this, nullptr);
  editor_.FrameUnloaded();
}

void frmMDIParent::closeEvent(QCloseEvent* e) {
  if (unloading_) {
    e->accept();
    return;
  }
  // Every changed document is offered for saving first; Cancel keeps the editor open.
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    auto* child = qobject_cast<frmMDIChild*>(sub->widget());
    if (!child) continue;
    bool cancel = false;
    child->Form_QueryUnload(cancel);
    if (cancel) {
      e->ignore();
      return;
    }
  }
  MDIForm_Unload();
  e->accept();
}

void frmMDIParent::mnuFile_New_Click() { editor_.NewDocument(); }
void frmMDIParent::mnuFile_Open_Click() { editor_.FileOpen(""); }

void frmMDIParent::cboZoom_Click() {
  TextControl* tx = editor_.ActiveText();
  if (!tx) return;
  const double zoom = TextValue(cboZoom->currentText().toStdString());
  if (zoom <= 0) return;
  tx->SetZoomFactor(int(std::lround(zoom)));
  if (frmMDIChild* child = ActiveForm()) editor_.ResizeEditor(*child);
}

void frmMDIParent::FitInside(QMdiSubWindow& sub) const {
  const QRect area = mdi_->viewport()->rect();
  QRect g = sub.geometry();
  g.setWidth(std::min(g.width(), area.width()));
  g.setHeight(std::min(g.height(), area.height()));
  g.moveLeft(std::clamp(g.left(), 0, area.width() - g.width()));
  g.moveTop(std::clamp(g.top(), 0, area.height() - g.height()));
  sub.setGeometry(g);
}

void frmMDIParent::PlaceNew(QMdiSubWindow& sub) const {
  const QRect area = mdi_->viewport()->rect();
  const int step = std::max(mdi_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &sub), 18);
  const QSize wanted = sub.size().boundedTo(area.size());
  QPoint at(0, 0);
  QMdiSubWindow* before = nullptr;
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::ActivationHistoryOrder)) {
    if (s != &sub && s->isVisible() && !s->isMinimized() && !s->isMaximized()) before = s;
  }
  if (before) at = before->geometry().topLeft() + QPoint(step, step);
  QSize size = wanted.boundedTo(QSize(area.width() - at.x(), area.height() - at.y()));
  // Too little room left below and right: the window starts again at the top left.
  if (size.width() < std::min(wanted.width(), area.width() / 2) || size.height() < std::min(wanted.height(), 300)) {
    at = QPoint(0, 0);
    size = wanted;
  }
  sub.setGeometry(QRect(at, size));
}

frmMDIChild* frmMDIParent::ActiveForm() const {
  if (QMdiSubWindow* sub = mdi_->currentSubWindow()) {
    if (auto* child = qobject_cast<frmMDIChild*>(sub->widget())) return child;
  }
  return active_.data();
}

void frmMDIParent::DocumentActivated(frmMDIChild* child) {
  active_ = child;
  BindActive();
}

void frmMDIParent::DocumentClosed(frmMDIChild* child) {
  if (active_ == child) active_ = nullptr;
  if (unloading_) return;
  // Another window becomes active; with none left, the frame's own menu returns.
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::ActivationHistoryOrder)) {
    auto* other = qobject_cast<frmMDIChild*>(sub->widget());
    if (other && other != child) active_ = other;
  }
  BindActive();
}

void frmMDIParent::BindActive() {
  frmMDIChild* child = active_.data();
  TextControl* tx = child ? child->TXTextControl1 : nullptr;
  TXButtonBar1->Bind(tx);
  TXStatusBar1->Bind(tx);
  for (PictureButton* b : {imgFileSaveButton, imgCutButton, imgCopyButton, imgPasteButton, imgPrintButton, imgPrintPreButton}) {
    b->setEnabled(tx != nullptr);
  }
  cboZoom->setEnabled(tx != nullptr);
  if (child) {
    ShowDocumentMenu(child);
  } else {
    ShowFrameMenu();
  }
}

void frmMDIParent::ShowFrameMenu() {
  QMenuBar* bar = menuBar();
  bar->clear();
  bar->addMenu(mnuFile);
}

void frmMDIParent::ShowDocumentMenu(frmMDIChild* child) {
  QMenuBar* bar = menuBar();
  bar->clear();
  for (QMenu* m : child->Menus()) bar->addMenu(m);
}

void frmMDIParent::Arrange(int how) {
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* s : subs) {
    if (!s->isMinimized()) shown.append(s);
  }
  const QRect area = mdi_->viewport()->rect();
  switch (how) {
    case 0: {
      // Each window one title bar below and right of the one before, all as large as the
      // last one leaves room for (never below half the area), in the order they were made.
      const int n = int(shown.size());
      if (n == 0) break;
      const int step = std::max(mdi_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown[0]), 18);
      const int w = std::max(area.width() - step * (n - 1), area.width() / 2);
      const int h = std::max(area.height() - step * (n - 1), area.height() / 2);
      for (int k = 0; k < n; ++k) {
        QMdiSubWindow* s = shown[k];
        s->showNormal();
        const int x = std::min(k * step, area.width() - w), y = std::min(k * step, area.height() - h);
        s->setGeometry(std::max(x, 0), std::max(y, 0), w, h);
        s->raise();
      }
      if (QMdiSubWindow* last = shown.back()) mdi_->setActiveSubWindow(last);
      break;
    }
    case 1:  // one above the other, each as wide as the frame
    case 2: {  // side by side, each as high as the frame
      const int n = int(shown.size());
      for (int k = 0; k < n; ++k) {
        QMdiSubWindow* s = shown[k];
        s->showNormal();
        if (how == 1) {
          const int h = area.height() / n;
          s->setGeometry(0, k * h, area.width(), h);
        } else {
          const int w = area.width() / n;
          s->setGeometry(k * w, 0, w, area.height());
        }
      }
      break;
    }
    case 3: {  // the minimised windows in a row along the bottom
      int x = 0;
      for (QMdiSubWindow* s : subs) {
        if (!s->isMinimized()) continue;
        const QSize size = s->size();
        s->move(x, area.height() - size.height());
        x += size.width();
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace qv::editor
