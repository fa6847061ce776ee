#include "editor/Ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockFormat>

#include <algorithm>
#include <cmath>

#include "editor/TextControl.h"

namespace qv::editor {

namespace {
constexpr int kHeight = 34;  // 510 twips
constexpr int kGrab = 5;     // how near a marker the pointer must be to take it
}  // namespace

Ruler::Ruler(TextControl& control, QWidget* parent) : QWidget(parent), control_(control) {
  setObjectName(QStringLiteral("TXRuler1"));
  setFixedHeight(kHeight);
  setMouseTracking(false);
  connect(&control_, &TextControl::CaretMoved, this, qOverload<>(&QWidget::update));
  connect(&control_, &TextControl::ZoomChanged, this, qOverload<>(&QWidget::update));
  connect(control_.horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize Ruler::sizeHint() const { return {587, kHeight}; }

double Ruler::Scale() const { return control_.ZoomFactor() / 100.0; }

double Ruler::Origin() const {
  // The view's position of the scene's x = 0, in the ruler's coordinates.
  const QPoint inView = control_.mapFromScene(QPointF(0, 0));
  const QPoint global = control_.viewport()->mapToGlobal(inView);
  return mapFromGlobal(global).x();
}

double Ruler::XOfTwips(double twips) const {
  return Origin() + TwipsToPixels(control_.PageMarginL() + twips) * Scale();
}

int Ruler::TwipsOfX(double x) const {
  return PixelsToTwips((x - Origin()) / Scale()) - control_.PageMarginL();
}

Ruler::Marks Ruler::Current() const {
  Marks m;
  const QTextBlockFormat f = control_.textCursor().blockFormat();
  m.leftIndent = PixelsToTwips(f.leftMargin());
  m.firstLine = m.leftIndent + PixelsToTwips(f.textIndent());
  m.rightIndent = PixelsToTwips(f.rightMargin());
  // Qt's tab positions start at the indent; the ruler's at the margin.
  for (const QTextOption::Tab& t : f.tabPositions()) m.tabs.push_back(PixelsToTwips(f.leftMargin() + t.position));
  std::sort(m.tabs.begin(), m.tabs.end());
  return m;
}

void Ruler::SetLeftIndent(int twips) {
  const QTextBlockFormat old = control_.textCursor().blockFormat();
  const double firstAbs = old.leftMargin() + old.textIndent();
  QTextBlockFormat f;
  f.setLeftMargin(std::max(0.0, TwipsToPixels(twips)));
  f.setTextIndent(firstAbs - f.leftMargin());
  control_.MergeBlockFormat(f);
}

void Ruler::SetFirstLine(int twips) {
  const QTextBlockFormat old = control_.textCursor().blockFormat();
  QTextBlockFormat f;
  f.setTextIndent(std::max(0.0, TwipsToPixels(twips)) - old.leftMargin());
  control_.MergeBlockFormat(f);
}

void Ruler::SetRightIndent(int twips) {
  QTextBlockFormat f;
  f.setRightMargin(std::max(0.0, TwipsToPixels(twips)));
  control_.MergeBlockFormat(f);
}

void Ruler::AddTab(int twips) {
  if (twips <= 0) return;
  const QTextBlockFormat old = control_.textCursor().blockFormat();
  QList<QTextOption::Tab> tabs = old.tabPositions();
  for (const QTextOption::Tab& t : tabs) {
    if (PixelsToTwips(old.leftMargin() + t.position) == twips) return;
  }
  tabs.append(QTextOption::Tab(TwipsToPixels(twips) - old.leftMargin(), QTextOption::LeftTab));
  std::sort(tabs.begin(), tabs.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
  QTextBlockFormat f;
  f.setTabPositions(tabs);
  control_.MergeBlockFormat(f);
}

void Ruler::RemoveTab(int twips) {
  const QTextBlockFormat old = control_.textCursor().blockFormat();
  QList<QTextOption::Tab> tabs = old.tabPositions();
  tabs.erase(std::remove_if(tabs.begin(), tabs.end(),
                            [&](const auto& t) { return PixelsToTwips(old.leftMargin() + t.position) == twips; }),
             tabs.end());
  QTextBlockFormat f;
  f.setTabPositions(tabs);
  control_.MergeBlockFormat(f);
}

void Ruler::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const double s = Scale();
  const double left = Origin();
  const double width = TwipsToPixels(control_.PageWidth()) * s;
  const double ml = TwipsToPixels(control_.PageMarginL()) * s;
  const double mr = TwipsToPixels(control_.PageMarginR()) * s;
  const QRectF band(left, 6, width, height() - 14);
  p.fillRect(band, QColor(0xC8, 0xC8, 0xC8));
  p.fillRect(QRectF(left + ml, band.top(), std::max(0.0, width - ml - mr), band.height()), Qt::white);
  p.setPen(Qt::darkGray);
  p.drawRect(band);

  // Scale: inches or centimetres from the left margin, as the editor's unit is.
  p.setPen(Qt::black);
  QFont small = font();
  small.setPixelSize(9);
  p.setFont(small);
  const bool metric = control_.property("qvMeasureUnit").toInt() == 2;
  const double unitTwips = metric ? 567.0 : 1440.0;
  const int ticksPerUnit = metric ? 2 : 8;
  const double step = unitTwips / ticksPerUnit;
  const int count = int(control_.PageWidth() / step) + 1;
  const int first = -int(control_.PageMarginL() / step);
  for (int k = first; k <= count; ++k) {
    const double x = XOfTwips(k * step);
    if (x < band.left() || x > band.right()) continue;
    const bool whole = k % ticksPerUnit == 0;
    if (whole && k != 0) {
      p.drawText(QRectF(x - 10, band.top(), 20, band.height()), Qt::AlignCenter, QString::number(std::abs(k / ticksPerUnit)));
    } else if (!whole) {
      const double len = (k % (ticksPerUnit / 2 == 0 ? 1 : ticksPerUnit / 2) == 0) ? 5 : 3;
      p.drawLine(QPointF(x, band.center().y() - len / 2), QPointF(x, band.center().y() + len / 2));
    }
  }

  Marks shown = Current();
  if (dragTo_) {
    switch (dragging_) {
      case Handle::Left:
        shown.firstLine += *dragTo_ - shown.leftIndent;
        shown.leftIndent = *dragTo_;
        break;
      case Handle::FirstLine: shown.firstLine = *dragTo_; break;
      case Handle::Right: shown.rightIndent = *dragTo_; break;
      case Handle::Tab:
        std::replace(shown.tabs.begin(), shown.tabs.end(), dragTab_, *dragTo_);
        break;
      default: break;
    }
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::black);
  p.setBrush(QColor(0xE0, 0xE0, 0xE0));
  auto triangle = [&](double x, bool pointingDown, double y) {
    QPainterPath path;
    if (pointingDown) {
      path.moveTo(x - 4, y);
      path.lineTo(x + 4, y);
      path.lineTo(x, y + 5);
    } else {
      path.moveTo(x - 4, y + 5);
      path.lineTo(x + 4, y + 5);
      path.lineTo(x, y);
    }
    path.closeSubpath();
    p.drawPath(path);
  };
  triangle(XOfTwips(shown.firstLine), true, 1);                                  // first line, top
  triangle(XOfTwips(shown.leftIndent), false, height() - 8);                      // left indent, bottom
  const double rightX = XOfTwips(control_.PageWidth() - control_.PageMarginL() - control_.PageMarginR() - shown.rightIndent);
  triangle(rightX, false, height() - 8);                                          // right indent
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::black, 1.5));
  for (int t : shown.tabs) {
    const double x = XOfTwips(t);
    const double y = height() - 4;
    p.drawLine(QPointF(x, y - 5), QPointF(x, y));
    p.drawLine(QPointF(x, y), QPointF(x + 5, y));
  }
}

void Ruler::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const double x = e->position().x();
  const double y = e->position().y();
  const Marks m = Current();
  const double rightX = XOfTwips(control_.PageWidth() - control_.PageMarginL() - control_.PageMarginR() - m.rightIndent);
  dragging_ = Handle::None;
  if (y < height() / 2.0 && std::abs(x - XOfTwips(m.firstLine)) <= kGrab) {
    dragging_ = Handle::FirstLine;
  } else if (y >= height() / 2.0 && std::abs(x - XOfTwips(m.leftIndent)) <= kGrab) {
    dragging_ = Handle::Left;
  } else if (std::abs(x - rightX) <= kGrab) {
    dragging_ = Handle::Right;
  } else {
    for (int t : m.tabs) {
      if (std::abs(x - XOfTwips(t)) <= kGrab) {
        dragging_ = Handle::Tab;
        dragTab_ = t;
        break;
      }
    }
  }
  if (dragging_ == Handle::None && y >= height() / 2.0) {
    // A click on the lower half sets a left tab stop there.
    AddTab(TwipsOfX(x));
    return;
  }
}

void Ruler::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ == Handle::None) return;
  const int at = TwipsOfX(e->position().x());
  if (dragging_ == Handle::Right) {
    dragTo_ = control_.PageWidth() - control_.PageMarginL() - control_.PageMarginR() - at;
  } else {
    dragTo_ = at;
  }
  update();
}

void Ruler::mouseReleaseEvent(QMouseEvent* e) {
  const Handle h = dragging_;
  dragging_ = Handle::None;
  const std::optional<int> to = dragTo_;
  dragTo_.reset();
  if (h == Handle::Tab) {
    // A tab stop pulled off the ruler goes; one moved along it moves.
    const double y = e->position().y();
    RemoveTab(dragTab_);
    if (y >= 0 && y <= height() && to) AddTab(*to);
  } else if (to) {
    if (h == Handle::Left) SetLeftIndent(std::max(0, *to));
    if (h == Handle::FirstLine) SetFirstLine(std::max(0, *to));
    if (h == Handle::Right) SetRightIndent(std::max(0, *to));
  }
  update();
}

}  // namespace qv::editor
