#include "worksheet/DealerNet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/ui/Prompt.h"

namespace qv {

DealerNetworkPicture::DealerNetworkPicture(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture1");
  setMinimumSize(sizeHint());
  timer_ = new QTimer(this);
  timer_->setInterval(120);
  connect(timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % 24;
    update();
  });
}

void DealerNetworkPicture::showEvent(QShowEvent* e) {
  timer_->start();
  QWidget::showEvent(e);
}

void DealerNetworkPicture::hideEvent(QHideEvent* e) {
  timer_->stop();
  QWidget::hideEvent(e);
}

void DealerNetworkPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = rect().adjusted(2, 2, -2, -2);
  p.fillRect(rect(), palette().color(QPalette::Base));
  // Three dealers on the left, the customer's house on the right.
  const QPointF home(r.right() - 22, r.center().y());
  const QPointF dealers[3] = {{r.left() + 22, r.top() + 16}, {r.left() + 22, r.center().y()},
                              {r.left() + 22, r.bottom() - 16}};
  p.setPen(QPen(QColor(190, 195, 205), 1.5, Qt::DashLine));
  for (const QPointF& d : dealers) p.drawLine(d, home);
  p.setPen(QPen(QColor(40, 60, 110), 1.5));
  p.setBrush(QColor(90, 130, 200));
  for (const QPointF& d : dealers) p.drawRect(QRectF(d.x() - 12, d.y() - 8, 24, 16));
  p.setBrush(QColor(230, 170, 60));
  QPolygonF house;
  house << QPointF(home.x() - 14, home.y()) << QPointF(home.x(), home.y() - 14) << QPointF(home.x() + 14, home.y())
        << QPointF(home.x() + 14, home.y() + 14) << QPointF(home.x() - 14, home.y() + 14);
  p.drawPolygon(house);
  // A quote on its way from each dealer, one after the other.
  const int dealer = (frame_ / 8) % 3;
  const double t = (frame_ % 8) / 7.0;
  const QPointF from = dealers[dealer] + QPointF(12, 0);
  const QPointF to = home - QPointF(14, 0);
  const QPointF at = from + (to - from) * t;
  p.setPen(QPen(QColor(30, 120, 50), 1.2));
  p.setBrush(QColor(80, 190, 100));
  p.drawEllipse(at, 6, 6);
  p.setPen(Qt::white);
  QFont f = font();
  f.setPixelSize(9);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(at.x() - 6, at.y() - 6, 12, 12), Qt::AlignCenter, "$");
}

frmDealerNetwork::frmDealerNetwork(QWidget* parent) : ui::QvDialog(parent) {
  setObjectName("frmDealerNetwork");
  setWindowTitle("Dealer Network Quotes");
  auto* v = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  auto* texts = new QVBoxLayout();
  Label1 = new QLabel("Dealer Network Quotes", this);
  QFont big = Label1->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  Label1->setFont(big);
  texts->addWidget(Label1);
  Label3 = new QLabel("Let dealers compete for your business:", this);
  QFont bold = Label3->font();
  bold.setBold(true);
  Label3->setFont(bold);
  texts->addWidget(Label3);
  Text1 = new QPlainTextEdit(this);
  Text1->setReadOnly(true);
  Text1->setPlainText(
      "No Cost or Obligation.\nMake Dealers Compete for Your Business.\nSave Time and Frustration by Shopping "
      "from Home.");
  Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 4 + 12);
  texts->addWidget(Text1);
  top->addLayout(texts, 1);
  Picture1 = new DealerNetworkPicture(this);
  top->addWidget(Picture1, 0, Qt::AlignTop);
  v->addLayout(top);
  Label2 = new QLabel(
      "The quote service is free. Request Quote... opens the request page in your web browser. Describe the "
      "vehicle you want; the request goes to a dealer of the network in your area, who answers with a "
      "competitive quote.",
      this);
  Label2->setTextFormat(Qt::PlainText);
  Label2->setWordWrap(true);
  v->addWidget(Label2);
  auto* row = new QHBoxLayout();
  Command1[0] = new QPushButton("Request &Quote...", this);
  Command1[1] = new QPushButton("&Cancel", this);
  Command1[0]->setDefault(true);
  row->addStretch(1);
  row->addWidget(Command1[0]);
  row->addWidget(Command1[1]);
  v->addLayout(row);
  for (int i = 0; i < 2; ++i) connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  resize(520, sizeHint().height());
}

void frmDealerNetwork::Command1_Click(int Index) {
  if (Index == 0) {
    // The page opens in the browser; the window stays for another request.
    ui::GetPrompt().OpenExternal(kQuoteAddress);
    return;
  }
  if (Index == 1) reject();
}

}  // namespace qv
