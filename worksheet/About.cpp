#include "worksheet/About.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "owner/Owner.h"
#include "owner/WindowSet.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "platform/ui/Window.h"

namespace qv {

namespace {

// The program's picture: a blue rounded square with a white "Q" and a payment line.
QPixmap ProgramPicture(int s) {
  QPixmap pm(s, s);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 70, 150));
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
  p.setPen(QPen(Qt::white, s * 0.1, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  const QRectF ring(s * 0.2, s * 0.16, s * 0.6, s * 0.6);
  p.drawEllipse(ring);
  p.drawLine(QPointF(s * 0.56, s * 0.6), QPointF(s * 0.8, s * 0.84));
  return pm;
}

}  // namespace

About::About(Engine& engine, Owner& owner) : QDialog(nullptr), eng(engine) {
  setObjectName("About");
  setWindowTitle("About Quorvant Pro");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* v = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  Image1 = new QLabel(this);
  Image1->setPixmap(ProgramPicture(64));
  Image1->setAlignment(Qt::AlignTop);
  top->addWidget(Image1, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout();
  Label1 = new QLabel(this);
  QFont bold = Label1->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  Label1->setFont(bold);
  texts->addWidget(Label1);
  Label2 = new QLabel(this);
  Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
  texts->addWidget(Label2);
  top->addLayout(texts, 1);
  v->addLayout(top);
  auto* row = new QHBoxLayout();
  Command1 = new QPushButton("&Ok", this);
  Command1->setDefault(true);
  row->addStretch(1);
  row->addWidget(Command1);
  v->addLayout(row);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  Form_Load();
}

void About::Form_Load() {
  const std::string folder = eng.AppFolder;
  std::string dataDate = "unknown";
  std::string content;
  if (files::ReadWholeFile(files::ResolveNoCase(folder + "UpDate.Dat"), content)) {
    RecordReader r(content);
    std::string first, second;
    if (r.NextText(first)) dataDate = first;
    r.NextText(second);
  }
  Label1->setText(QString::fromStdString("Quorvant Pro   Release " + Trim(eng.ReleaseString)));
  const std::string text = std::string("This program is protected by copyright law.\r") +
                           "Pricing, residual and incentive data are estimates;\r" +
                           "confirm every figure with the lender before signing.\r" + "\r" +
                           "Data last updated: " + dataDate + "\r" + "\r" +
                           "Updates for this product may be purchased\r" + "and downloaded from:\r" +
                           kUpdatesAddress + "\r";
  // The label shows the carriage returns as line breaks.
  QString shown = QString::fromStdString(text);
  shown.replace('\r', '\n');
  Label2->setText(shown.trimmed());
}

void About::Command1_Click() { close(); }

void ShowAbout(WindowSet& windows) {
  About& a = windows.Get<About>();
  a.show();
  a.raise();
  a.activateWindow();
}

}  // namespace qv
