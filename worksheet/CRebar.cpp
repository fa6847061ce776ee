#include "worksheet/CRebar.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPalette>
#include <QToolBar>
#include <QToolButton>

namespace qv {

CRebar::CRebar(QObject* owner) : QObject(owner) {}

CRebar::~CRebar() {
  if (watched_) watched_->removeEventFilter(this);
}

void CRebar::TBMakeFlat(QWidget* container, int16_t listStyle) {
  if (!container) return;
  QToolBar* bar = qobject_cast<QToolBar*>(container);
  if (!bar) bar = container->findChild<QToolBar*>();
  if (!bar) return;
  bar->setToolButtonStyle(listStyle == -1 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
  // Flat buttons that show their frame only under the mouse, on the band's own background.
  for (QToolButton* b : bar->findChildren<QToolButton*>()) b->setAutoRaise(true);
  bar->setAutoFillBackground(false);
  container->update();
}

bool CRebar::Create() {
  if (!parent_) return false;
  if (!handle_) {
    handle_ = parent_.data();
    watched_ = parent_.data();
    watched_->installEventFilter(this);
  }
  return handle_ != nullptr;
}

void CRebar::AddBands(const std::string& text, int16_t bandId, QWidget* child, int32_t styleSelector,
                      std::optional<int> minWidth) {
  if (!handle_ || !parent_ || !child) return;
  for (const BandInfo& b : bands_)
    if (b.child == child) return;  // a child sits in one band only
  BandInfo band;
  band.id = bandId;
  band.style = kBandStyle | (styleSelector == 1 ? 0u : kLineBreak);
  band.child = child;
  band.bar = qobject_cast<QToolBar*>(child);
  if (!band.bar) {
    band.bar = new QToolBar(parent_);
    band.bar->addWidget(child);
    band.wrapper = true;
  }
  QToolBar* bar = band.bar;
  bar->setWindowTitle(QString::fromStdString(text));
  bar->setMovable(false);
  bar->setFloatable(false);
  if (minWidth && *minWidth != 0) bar->setMinimumWidth(*minWidth * kTwipsPerPixel);
  else if (band.wrapper) bar->setMinimumWidth(child->width());
  // A band after the first one that breaks the line starts a new row.
  if (!bands_.empty() && (band.style & kLineBreak)) parent_->addToolBarBreak(Qt::TopToolBarArea);
  parent_->addToolBar(Qt::TopToolBarArea, bar);
  bar->show();
  bands_.push_back(band);
  ColorBand(bar);
  bar->update();
}

int32_t CRebar::GetBandId(int16_t index) const {
  if (index < 0 || index >= BandCount()) return 0;
  return bands_[static_cast<size_t>(index)].id;
}

void CRebar::ColorBand(QToolBar* bar) const {
  if (!bar) return;
  const QPalette system = QApplication::palette();
  QPalette p = bar->palette();
  p.setColor(QPalette::WindowText, system.color(QPalette::ButtonText));
  p.setColor(QPalette::ButtonText, system.color(QPalette::ButtonText));
  if (!image_.isNull()) p.setBrush(QPalette::Window, QBrush(image_));
  else p.setColor(QPalette::Window, system.color(QPalette::Button));
  bar->setPalette(p);
  bar->setAutoFillBackground(true);
}

void CRebar::SetBandColors() {
  for (const BandInfo& b : bands_) ColorBand(b.bar);
}

void CRebar::DestroyRebar() {
  for (BandInfo& b : bands_) {
    if (!b.bar) continue;
    b.bar->hide();
    if (parent_) parent_->removeToolBar(b.bar);
    if (b.wrapper) {
      if (b.child && parent_) {
        b.child->hide();
        b.child->setParent(parent_);
      }
      b.bar->deleteLater();
    } else if (parent_) {
      b.bar->setParent(parent_);
    }
  }
  bands_.clear();
}

void CRebar::RemoveBands(int16_t index) {
  if (index < 0 || index >= BandCount()) return;
  BandInfo b = bands_[static_cast<size_t>(index)];
  bands_.erase(bands_.begin() + index);
  if (!b.bar) return;
  b.bar->hide();
  if (parent_) parent_->removeToolBar(b.bar);
  if (b.wrapper) {
    if (b.child && parent_) {
      b.child->hide();
      b.child->setParent(parent_);
    }
    b.bar->deleteLater();
  }
}

void CRebar::Resize(QWidget* container) {
  for (const BandInfo& b : bands_)
    if (b.bar) b.bar->update();
}

void CRebar::Move(int left, int top, int width, int height) {
  if (!hwnd()) return;
  for (const BandInfo& b : bands_)
    if (b.bar) b.bar->update();
}

QToolBar* CRebar::Band(int index) const {
  if (index < 0 || index >= BandCount()) return nullptr;
  return bands_[static_cast<size_t>(index)].bar;
}

uint32_t CRebar::BandStyle(int index) const {
  if (index < 0 || index >= BandCount()) return 0;
  return bands_[static_cast<size_t>(index)].style;
}

bool CRebar::eventFilter(QObject* watched, QEvent* event) {
  // A change of the system colours repaints the bands in the new button colours.
  if (watched == watched_.data() && event->type() == QEvent::ApplicationPaletteChange) SetBandColors();
  return QObject::eventFilter(watched, event);
}

}  // namespace qv
